#pragma once
#include "store/ScheduleDocument.h"
#include "store/YearRow.h"

#include <QList>
#include <optional>

// The dated and every-year entries of one circuit, as the year windows, the
// print and the commands read and change them. A YearRow that names a day
// gives its circuit, month and day, and for a dated entry its two-digit
// year (Year is unused on every-year entries). Every routine that writes is
// one transaction (or joins the running one) and leaves the entries
// numbered in their order; all throw StoreError when the store fails.
namespace ScheduleModel {

enum class YearKind { Dated, EveryYear };

// The circuit's entries of one kind, in stored order.
QList<YearRow> yearEntriesOf(ScheduleDocument& document, YearKind kind, int circuit);
// The same, only those in the months given (Year and Month of each row).
QList<YearRow> yearEntriesIn(ScheduleDocument& document, YearKind kind, int circuit, const QList<YearRow>& months);
// The first stored entry on the day, if there is one.
std::optional<YearRow> firstEntryOn(ScheduleDocument& document, YearKind kind, const YearRow& day);

// The two-digit years holding dated entries of the circuit, ascending.
QList<int> datedYearsOf(ScheduleDocument& document, int circuit);
bool hasEveryYearEntries(ScheduleDocument& document, int circuit);

// Changes day by day to one kind of entries: one transaction (joining a
// running one), renumbered when committed; rolled back when destroyed
// uncommitted.
class YearEntriesRun
{
public:
    YearEntriesRun(ScheduleDocument& document, YearKind kind);

    // The first stored entry on the day rewritten to `special` or deleted;
    // false when the day has none.
    bool rewriteFirstOn(const YearRow& day, int special);
    bool deleteFirstOn(const YearRow& day);
    void add(const YearRow& row);
    void commit();

private:
    ScheduleDocument& m_document;
    YearKind m_kind;
    Transaction m_transaction;
};

// Dated entries of many days at once (SpecialNO of each row is the number
// it is to hold): every entry on each row's day rewritten, new entries
// added, or every entry on each day deleted (the rows deleted returned).
void rewriteDatedDays(ScheduleDocument& document, const QList<YearRow>& days);
void addDatedEntries(ScheduleDocument& document, const QList<YearRow>& rows);
int deleteDatedDays(ScheduleDocument& document, const QList<YearRow>& days);

// Deletes the circuit's entries of the kind (dated: only those of `year`
// when given) and returns the rows deleted.
int deleteYearEntriesOf(ScheduleDocument& document, YearKind kind, int circuit, std::optional<int> year = std::nullopt);

}  // namespace ScheduleModel
