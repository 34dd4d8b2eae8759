#include "review/YearModel.h"

#include "holidays/Holidays.h"
#include "review/SchoolYear.h"
#include "whenruns/DayResolution.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace Review {

namespace {

using WhenRuns::SourceKind;

DayKind kindOf(SourceKind kind)
{
    switch (kind) {
    case SourceKind::Stop:
        return DayKind::Stop;
    case SourceKind::Special:
        return DayKind::Special;
    case SourceKind::Conflict:
        return DayKind::Conflict;
    case SourceKind::Week:
        break;
    }
    return DayKind::Week;
}

// Runs of days on which nothing runs that begin and end with a 停止 and
// hold two of them at least.
QList<Break> findBreaks(QList<CalendarDay>& days)
{
    QList<Break> breaks;
    for (int i = 0; i < days.size();) {
        if (days[i].kind != DayKind::Stop) {
            ++i;
            continue;
        }
        int last = i;
        int stops = 1;
        for (int j = i + 1; j < days.size() && !days[j].runs; ++j) {
            if (days[j].kind == DayKind::Stop) {
                last = j;
                ++stops;
            }
        }
        if (stops >= 2) {
            for (int k = i; k <= last; ++k)
                days[k].band = int(breaks.size());
            breaks << Break{days[i].date, days[last].date};
        }
        i = last + 1;
    }
    return breaks;
}

}  // namespace

YearModel BuildYearModel(const WhenRuns::Schedule& schedule, int circuit, int schoolYear,
                         const QMap<int, QString>& names)
{
    YearModel model;
    model.schoolYear = schoolYear;
    model.circuit = circuit;
    if (!isSchoolYear(schoolYear) || circuit < 1 || circuit > 8)
        return model;
    model.type = schedule.circuits[circuit].program;

    QSet<int> weekdaysWithPrograms;
    for (const WeekRow& p : schedule.programs)
        if (p.CircuitNO == circuit && p.SpecialNO == 0)
            weekdaysWithPrograms.insert(p.YobiON);
    QHash<QDate, QString> holidays;
    for (const Holiday& h : SchoolYearHolidays(schoolYear))
        holidays.insert(h.date, h.name);

    for (QDate date = firstDayOf(schoolYear); date <= lastDayOf(schoolYear); date = date.addDays(1)) {
        const WhenRuns::DaySource source = WhenRuns::ResolveSource(schedule, circuit, date);
        CalendarDay day;
        day.date = date;
        day.kind = kindOf(source.kind);
        day.holiday = holidays.value(date);
        switch (day.kind) {
        case DayKind::Week:
            day.runs = weekdaysWithPrograms.contains(source.weekday);
            break;
        case DayKind::Stop:
            day.label = QStringLiteral("停止");
            day.runs = false;
            break;
        case DayKind::Special:
            day.special = source.special;
            day.label = QStringLiteral("特%1").arg(source.special);
            day.name = names.value(source.special);
            day.runs = source.hasPrograms;
            model.specials.insert(source.special, day.name);
            break;
        case DayKind::Conflict:
            day.label = QStringLiteral("競合");
            day.runs = false;
            break;
        }
        const QDate first(date.year(), date.month(), 1);
        day.month = (date.month() + 8) % 12;
        day.column = WhenRuns::weekdayOf(date);
        day.row = (date.day() - 1 + WhenRuns::weekdayOf(first)) / 7;
        model.days << day;
    }
    model.breaks = findBreaks(model.days);
    return model;
}

QString CalendarRefusal(const WhenRuns::Schedule& schedule, int circuit, int schoolYear)
{
    if (!isSchoolYear(schoolYear))
        return schoolYearRefusal(schoolYear);
    const bool hasPrograms = circuit >= 1 && circuit <= 8 && schedule.circuits[circuit].program != 0
        && std::any_of(schedule.programs.cbegin(), schedule.programs.cend(),
                       [circuit](const WeekRow& p) { return p.CircuitNO == circuit; });
    if (!hasPrograms)
        return QStringLiteral("回路 %1 にはプログラムがありません。年間カレンダーは印刷しません。").arg(circuit);
    return QString();
}

QString shortHolidayName(const QString& name)
{
    static const QHash<QString, QString> shortNames{
        {QStringLiteral("建国記念の日"), QStringLiteral("建国記念")},
        {QStringLiteral("天皇誕生日"), QStringLiteral("天皇誕")},
        {QStringLiteral("憲法記念日"), QStringLiteral("憲法記念")},
        {QStringLiteral("勤労感謝の日"), QStringLiteral("勤労感謝")},
        {QStringLiteral("振替休日"), QStringLiteral("振休")},
        {QStringLiteral("国民の休日"), QStringLiteral("休日")},
        {QStringLiteral("スポーツの日"), QStringLiteral("スポーツ")},
        {QStringLiteral("即位礼正殿の儀の行われる日"), QStringLiteral("即位礼")},
    };
    if (const auto it = shortNames.constFind(name); it != shortNames.cend())
        return it.value();
    if (name.endsWith(QStringLiteral("の日")) && name.size() > 3)
        return name.chopped(2);
    return name;
}

QString kindName(DayKind kind)
{
    switch (kind) {
    case DayKind::Stop:
        return QStringLiteral("停止");
    case DayKind::Special:
        return QStringLiteral("特殊番号");
    case DayKind::Conflict:
        return QStringLiteral("競合");
    case DayKind::Week:
        break;
    }
    return QStringLiteral("週間プログラム");
}

}  // namespace Review
