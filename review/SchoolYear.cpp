#include "review/SchoolYear.h"

#include <QMap>
#include <algorithm>

namespace Review {

namespace {

// 令和 began on 1 May 2019; its first 年度 is called 令和元年度 all the same.
constexpr int kFirstReiwaYear = 2019;
constexpr int kFirstHeiseiYear = 1989;

QString eraYear(int number)
{
    return number == 1 ? QStringLiteral("元") : QString::number(number);
}

}  // namespace

bool isSchoolYear(int schoolYear)
{
    return schoolYear >= kFirstSchoolYear && schoolYear <= kLastSchoolYear;
}

QDate firstDayOf(int schoolYear)
{
    return QDate(schoolYear, 4, 1);
}

QDate lastDayOf(int schoolYear)
{
    return QDate(schoolYear + 1, 3, 31);
}

int schoolYearOf(const QDate& date)
{
    return date.month() >= 4 ? date.year() : date.year() - 1;
}

QString schoolYearTitle(int schoolYear)
{
    const QString era = schoolYear >= kFirstReiwaYear
        ? QStringLiteral("令和") + eraYear(schoolYear - kFirstReiwaYear + 1)
        : QStringLiteral("平成") + eraYear(schoolYear - kFirstHeiseiYear + 1);
    return QStringLiteral("%1年度（%2年度）").arg(schoolYear).arg(era);
}

QString schoolYearRefusal(int schoolYear)
{
    if (isSchoolYear(schoolYear))
        return QString();
    return QStringLiteral("年度は %1 から %2 までの西暦 4 桁で指定してください: %3")
        .arg(kFirstSchoolYear)
        .arg(kLastSchoolYear)
        .arg(schoolYear);
}

int SchoolYearOfEntries(const WhenRuns::Schedule& schedule, int circuit, const QDate& today)
{
    QMap<int, int> counts;
    for (const WhenRuns::YearEntry& e : schedule.dated) {
        const QDate date(e.year + 2000, e.month, e.day);
        if ((circuit == 0 || e.circuit == circuit) && date.isValid())
            ++counts[std::clamp(schoolYearOf(date), kFirstSchoolYear, kLastSchoolYear)];
    }
    if (counts.isEmpty())
        return std::clamp(schoolYearOf(today), kFirstSchoolYear, kLastSchoolYear);
    int best = counts.firstKey();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() >= counts.value(best))
            best = it.key();
    return best;
}

}  // namespace Review
