#include "review/YearReview.h"

#include "holidays/Holidays.h"
#include "review/SchoolYear.h"
#include "store/ProgramTypes.h"
#include "store/StoreRoutines.h"
#include "week/Days.h"
#include "whenruns/ProgramText.h"

#include <QJsonArray>
#include <QSet>
#include <QStringList>
#include <algorithm>

namespace Review {

namespace {

using WhenRuns::EntryKind;
using WhenRuns::EntryRef;
using WhenRuns::YearEntry;

// A dated listing this long is cut in the text (the JSON keeps every day).
constexpr int kDaysListed = 5;

QDate dateOf(const YearEntry& e, int year)
{
    return QDate(year, e.month, e.day);
}

QDate datedDate(const YearEntry& e)
{
    return dateOf(e, e.year + 2000);
}

// The day of an every-year entry within the 年度; invalid for 29 February
// of a common year.
QDate inSchoolYear(const YearEntry& e, int schoolYear)
{
    return dateOf(e, e.month >= 4 ? schoolYear : schoolYear + 1);
}

bool holdsPrograms(const WhenRuns::Schedule& schedule, int circuit, int special, int weekday = -1)
{
    return std::any_of(schedule.programs.cbegin(), schedule.programs.cend(), [=](const WeekRow& p) {
        return p.CircuitNO == circuit && p.SpecialNO == special && (weekday < 0 || p.YobiON == weekday);
    });
}

void holidaysThatRun(const WhenRuns::Schedule& schedule, int circuit, int schoolYear, QList<Finding>& findings)
{
    for (const Holiday& holiday : SchoolYearHolidays(schoolYear)) {
        const WhenRuns::DaySource source = WhenRuns::ResolveSource(schedule, circuit, holiday.date);
        if (source.kind == WhenRuns::SourceKind::Week && holdsPrograms(schedule, circuit, 0, source.weekday)) {
            Finding finding;
            finding.kind = FindingKind::HolidayRuns;
            finding.circuit = circuit;
            finding.days = {holiday.date};
            finding.holiday = holiday.name;
            findings << finding;
        }
    }
}

void emptySpecials(const WhenRuns::Schedule& schedule, int circuit, int schoolYear, const QMap<int, QString>& names,
                   QList<Finding>& findings)
{
    QMap<int, QList<QDate>> days;
    for (const YearEntry& e : schedule.dated)
        if (e.circuit == circuit && e.special > 0)
            days[e.special] << datedDate(e);
    for (const YearEntry& e : schedule.everyYear)
        if (e.circuit == circuit && e.special > 0)
            days[e.special] << inSchoolYear(e, schoolYear);
    for (auto it = days.begin(); it != days.end(); ++it) {
        if (holdsPrograms(schedule, circuit, it.key()))
            continue;
        Finding finding;
        finding.kind = FindingKind::EmptySpecial;
        finding.circuit = circuit;
        finding.special = it.key();
        finding.name = names.value(it.key());
        for (const QDate& day : it.value())
            if (day.isValid() && !finding.days.contains(day))
                finding.days << day;
        std::sort(finding.days.begin(), finding.days.end());
        findings << finding;
    }
}

void datedOutside(const WhenRuns::Schedule& schedule, int circuit, int schoolYear, QList<Finding>& findings)
{
    Finding finding;
    finding.kind = FindingKind::DatedOutside;
    finding.circuit = circuit;
    for (const YearEntry& e : schedule.dated) {
        const QDate day = datedDate(e);
        if (e.circuit == circuit && day.isValid() && schoolYearOf(day) != schoolYear)
            finding.days << day;
    }
    std::sort(finding.days.begin(), finding.days.end());
    if (!finding.days.isEmpty())
        findings << finding;
}

void datedAndEveryYear(const WhenRuns::Schedule& schedule, int circuit, int schoolYear, QList<Finding>& findings)
{
    QList<Finding> found;
    for (const YearEntry& dated : schedule.dated) {
        const QDate day = datedDate(dated);
        if (dated.circuit != circuit || !day.isValid() || schoolYearOf(day) != schoolYear)
            continue;
        for (const YearEntry& every : schedule.everyYear) {
            if (every.circuit == circuit && every.month == day.month() && every.day == day.day()) {
                Finding finding;
                finding.kind = FindingKind::DatedAndEveryYear;
                finding.circuit = circuit;
                finding.days = {day};
                finding.entries = {EntryRef{EntryKind::Dated, dated.special},
                                   EntryRef{EntryKind::EveryYear, every.special}};
                found << finding;
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) { return a.days < b.days; });
    findings << found;
}

QString specialWithName(int special, const QString& name)
{
    const QString text = WhenRuns::specialText(special);
    return name.isEmpty() ? text : text + QStringLiteral("（") + name + QStringLiteral("）");
}

QString daysText(const QList<QDate>& days)
{
    QStringList texts;
    for (int i = 0; i < days.size() && i < kDaysListed; ++i)
        texts << WhenRuns::dateText(days[i]);
    if (days.size() > kDaysListed)
        texts << QStringLiteral("ほか %1 日").arg(days.size() - kDaysListed);
    return texts.join(QStringLiteral("、"));
}

QString kindKey(FindingKind kind)
{
    switch (kind) {
    case FindingKind::HolidayRuns:
        return QStringLiteral("holiday-runs");
    case FindingKind::EmptySpecial:
        return QStringLiteral("empty-special");
    case FindingKind::DatedOutside:
        return QStringLiteral("dated-outside");
    case FindingKind::DatedAndEveryYear:
        break;
    }
    return QStringLiteral("dated-and-every-year");
}

QJsonValue orNull(bool present, const QJsonValue& value)
{
    return present ? value : QJsonValue(QJsonValue::Null);
}

}  // namespace

YearReview ReviewYear(const WhenRuns::Schedule& schedule, int schoolYear, int circuit, const QMap<int, QString>& names)
{
    YearReview review;
    review.schoolYear = schoolYear;
    review.room.weekAndSpecial = std::max(0, WeekCapacity - int(schedule.programs.size()));
    review.room.dated = std::max(0, YearCapacity - int(schedule.dated.size()));
    if (!isSchoolYear(schoolYear))
        return review;
    for (int c = 1; c <= 8; ++c) {
        if (schedule.circuits[c].program == TypeNone || (circuit != 0 && c != circuit))
            continue;
        review.circuits << c;
        holidaysThatRun(schedule, c, schoolYear, review.findings);
        emptySpecials(schedule, c, schoolYear, names, review.findings);
        datedOutside(schedule, c, schoolYear, review.findings);
        datedAndEveryYear(schedule, c, schoolYear, review.findings);
    }
    return review;
}

QString findingText(const Finding& finding, int schoolYear)
{
    switch (finding.kind) {
    case FindingKind::HolidayRuns: {
        const QDate day = finding.days.value(0);
        return QStringLiteral("%1 %2: 祝日ですが週間プログラム（%3）が実行されます。")
            .arg(WhenRuns::dateText(day), finding.holiday, Days::fullName(WhenRuns::weekdayOf(day)));
    }
    case FindingKind::EmptySpecial:
        return QStringLiteral("%1 にはプログラムがありません。指定した日には何も実行されません: %2")
            .arg(specialWithName(finding.special, finding.name),
                 finding.days.isEmpty() ? QStringLiteral("この年度にはなし") : daysText(finding.days));
    case FindingKind::DatedOutside:
        return QStringLiteral("%1以外の日付指定が %2 件あります: %3")
            .arg(QStringLiteral("%1年度").arg(schoolYear))
            .arg(finding.days.size())
            .arg(daysText(finding.days));
    case FindingKind::DatedAndEveryYear:
        break;
    }
    const QDate day = finding.days.value(0);
    QStringList entries;
    for (const EntryRef& e : finding.entries)
        entries << WhenRuns::entryText(e.entry, day) + WhenRuns::specialText(e.special);
    return QStringLiteral("%1: %2 が重なっています。どちらが実行されるかは決まっていません。")
        .arg(WhenRuns::dateText(day), entries.join(QStringLiteral(" と ")));
}

QString reviewText(const YearReview& review)
{
    QStringList lines{schoolYearTitle(review.schoolYear) + QStringLiteral("の年間チェック")};
    int shown = 0;
    for (const int circuit : review.circuits) {
        lines << QString();
        QStringList found;
        for (const Finding& finding : review.findings)
            if (finding.circuit == circuit)
                found << QStringLiteral("  ") + findingText(finding, review.schoolYear);
        lines << QStringLiteral("回路 %1").arg(circuit);
        lines << (found.isEmpty() ? QStringList{QStringLiteral("  指摘はありません。")} : found);
        shown += int(found.size());
    }
    lines << QString();
    lines << (shown == 0 ? QStringLiteral("指摘はありません。") : QStringLiteral("指摘 %1 件").arg(shown));
    lines << QStringLiteral("残り: 週間・特殊プログラム %1 / %2、年間プログラム（日付指定） %3 / %4")
                 .arg(review.room.weekAndSpecial)
                 .arg(WeekCapacity)
                 .arg(review.room.dated)
                 .arg(YearCapacity);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject reviewJson(const YearReview& review)
{
    QJsonArray findings;
    for (const Finding& finding : review.findings) {
        QJsonArray days;
        for (const QDate& day : finding.days)
            days.append(day.toString(Qt::ISODate));
        QJsonArray entries;
        for (const EntryRef& e : finding.entries)
            entries.append(
                QJsonObject{{QStringLiteral("entry"),
                             e.entry == EntryKind::Dated ? QStringLiteral("dated") : QStringLiteral("every-year")},
                            {QStringLiteral("special"), e.special}});
        const bool special = finding.kind == FindingKind::EmptySpecial;
        findings.append(QJsonObject{
            {QStringLiteral("kind"), kindKey(finding.kind)},
            {QStringLiteral("circuit"), finding.circuit},
            {QStringLiteral("days"), days},
            {QStringLiteral("holiday"), orNull(finding.kind == FindingKind::HolidayRuns, finding.holiday)},
            {QStringLiteral("special"), orNull(special, finding.special)},
            {QStringLiteral("name"), orNull(special && !finding.name.isEmpty(), finding.name)},
            {QStringLiteral("entries"), orNull(finding.kind == FindingKind::DatedAndEveryYear, entries)},
            {QStringLiteral("text"), findingText(finding, review.schoolYear)},
        });
    }
    QJsonArray circuits;
    for (const int circuit : review.circuits)
        circuits.append(circuit);
    return QJsonObject{
        {QStringLiteral("schoolYear"), review.schoolYear},
        {QStringLiteral("title"), schoolYearTitle(review.schoolYear)},
        {QStringLiteral("circuits"), circuits},
        {QStringLiteral("findings"), findings},
        {QStringLiteral("room"),
         QJsonObject{{QStringLiteral("weekAndSpecial"), review.room.weekAndSpecial},
                     {QStringLiteral("weekAndSpecialCapacity"), WeekCapacity},
                     {QStringLiteral("dated"), review.room.dated},
                     {QStringLiteral("datedCapacity"), YearCapacity}}},
    };
}

}  // namespace Review
