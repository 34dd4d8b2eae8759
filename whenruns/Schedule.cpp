#include "whenruns/Schedule.h"

#include "store/ProgramStore.h"
#include "store/SettingTable.h"

#include <QSqlDriver>
#include <sqlite3.h>
#include <tuple>

namespace WhenRuns {

namespace {

const QString kRowFields =
    QStringLiteral("YobiON, YobiOFF, TimeONH, TimeONM, TimeONS, TimeOFFH, TimeOFFM, Repeat, ChimeNO");

// Every row of an integer-only query, read straight through SQLite: a
// whole schedule is thousands of values, and `day` and `diff` read one or
// two of them per run.
class IntRows
{
public:
    IntRows(const QString& sql, const QVariantList& values = {})
    {
        const QVariant handle = ProgramStore::database().driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            throw StoreError(QStringLiteral("The program store is not an SQLite database"));
        m_db = *static_cast<sqlite3* const*>(handle.constData());
        const QByteArray text = sql.toUtf8();
        if (!m_db || sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK)
            fail();
        int index = 0;
        for (const QVariant& value : values)
            if (sqlite3_bind_int(m_statement, ++index, value.toInt()) != SQLITE_OK)
                fail();
    }
    ~IntRows() { sqlite3_finalize(m_statement); }
    IntRows(const IntRows&) = delete;
    IntRows& operator=(const IntRows&) = delete;

    bool next()
    {
        const int result = sqlite3_step(m_statement);
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            fail();
        return result == SQLITE_ROW;
    }
    int at(int column) const { return sqlite3_column_int(m_statement, column); }

    // The nine row fields starting at column `first`.
    ProgramLists::WeekRow weekRow(int first) const
    {
        return ProgramLists::WeekRow{at(first),     at(first + 1), at(first + 2), at(first + 3), at(first + 4),
                                     at(first + 5), at(first + 6), at(first + 7), at(first + 8)};
    }

private:
    [[noreturn]] void fail() const
    {
        throw StoreError(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("The program store is not open"));
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

auto key(const ProgramLists::WeekRow& r)
{
    return std::tie(r.yobiOn, r.yobiOff, r.onH, r.onM, r.onS, r.offH, r.offM, r.repeat, r.chime);
}

QList<YearEntry> readYearEntries(const QString& sql, bool dated)
{
    QList<YearEntry> entries;
    IntRows rows(sql);
    const int shift = dated ? 1 : 0;
    while (rows.next())
        entries << YearEntry{rows.at(0), dated ? rows.at(1) : -1, rows.at(1 + shift), rows.at(2 + shift),
                             rows.at(3 + shift)};
    return entries;
}

}  // namespace

bool rowBefore(const ProgramLists::WeekRow& a, const ProgramLists::WeekRow& b)
{
    return key(a) < key(b);
}

Schedule ReadSchedule()
{
    Schedule schedule;
    const SettingTable settings = ReadSettingTable();
    for (int circuit = 1; circuit <= 8; ++circuit)
        schedule.circuits[circuit] = CircuitInfo{settings[circuit].Program, settings[circuit].PulseTime};

    IntRows week(
        QStringLiteral("SELECT CircuitNO, SpecialNO, %1 FROM T_Week ORDER BY rowid").arg(kRowFields));
    while (week.next())
        schedule.programs << StoredProgram{week.at(0), week.at(1), week.weekRow(2)};

    schedule.dated = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Year, Month, Day, SpecialNO FROM T_Year ORDER BY rowid"),
        true);
    schedule.everyYear = readYearEntries(
        QStringLiteral("SELECT CircuitNO, Month, Day, SpecialNO FROM T_YearE ORDER BY rowid"),
        false);
    return schedule;
}

QList<ProgramLists::WeekRow> ReadWeekRows(int circuit)
{
    QList<ProgramLists::WeekRow> rows;
    IntRows query(
        QStringLiteral("SELECT %1 FROM T_Week WHERE CircuitNO = ? AND SpecialNO = 0 ORDER BY rowid")
            .arg(kRowFields),
        {circuit});
    while (query.next())
        rows << query.weekRow(0);
    return rows;
}

}  // namespace WhenRuns
