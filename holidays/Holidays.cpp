#include "holidays/Holidays.h"

#include <algorithm>

namespace {

// The 2007 amendment: 振替休日 after any Sunday holiday reaches past other
// holidays, a Sunday between two holidays is a 国民の休日 too, and
// 4 May becomes みどりの日 with 29 April 昭和の日.
constexpr int kAmendment2007 = 2007;

QDate nthMonday(int year, int month, int n)
{
    const QDate first(year, month, 1);
    const int toMonday = (Qt::Monday - first.dayOfWeek() + 7) % 7;
    return first.addDays(toMonday + 7 * (n - 1));
}

// The formula behind the published forecasts, in millionths of a day so
// that no rounding can move a day: int(base + 0.242194 (Y-1980)) - (Y-1980)/4.
int equinoxDay(int year, long long baseMillionths)
{
    const int n = year - 1980;
    return int((baseMillionths + 242194LL * n) / 1000000) - n / 4;
}

// 2020 and 2021 moved three holidays for the Olympic Games by special law.
struct MovedHolidays {
    int year;
    QDate marineDay, sportsDay, mountainDay;
};
const MovedHolidays kOlympicYears[] = {
    {2020, QDate(2020, 7, 23), QDate(2020, 7, 24), QDate(2020, 8, 10)},
    {2021, QDate(2021, 7, 22), QDate(2021, 7, 23), QDate(2021, 8, 8)},
};

const MovedHolidays* movedHolidays(int year)
{
    for (const MovedHolidays& moved : kOlympicYears)
        if (moved.year == year)
            return &moved;
    return nullptr;
}

QDate marineDay(int year, const MovedHolidays* moved)
{
    if (moved)
        return moved->marineDay;
    return year < 2003 ? QDate(year, 7, 20) : nthMonday(year, 7, 3);
}

QDate mountainDay(int year, const MovedHolidays* moved)
{
    return moved ? moved->mountainDay : QDate(year, 8, 11);
}

QDate respectForTheAgedDay(int year)
{
    return year < 2003 ? QDate(year, 9, 15) : nthMonday(year, 9, 3);
}

void addSportsDay(QList<Holiday>& days, int year, const MovedHolidays* moved)
{
    if (moved)
        days.append({moved->sportsDay, QStringLiteral("スポーツの日")});
    else if (year < 2020)
        days.append({nthMonday(year, 10, 2), QStringLiteral("体育の日")});
    else
        days.append({nthMonday(year, 10, 2), QStringLiteral("スポーツの日")});
}

void sortByDate(QList<Holiday>& days)
{
    std::sort(days.begin(), days.end(), [](const Holiday& a, const Holiday& b) { return a.date < b.date; });
}

// The 国民の祝日 the Act names, without 振替休日 and 国民の休日.
QList<Holiday> namedHolidays(int year)
{
    const MovedHolidays* moved = movedHolidays(year);
    QList<Holiday> days;
    const auto on = [&days, year](int month, int day, const char* name) {
        days.append({QDate(year, month, day), QString::fromUtf8(name)});
    };
    on(1, 1, "元日");
    days.append({nthMonday(year, 1, 2), QStringLiteral("成人の日")});
    on(2, 11, "建国記念の日");
    if (year >= 2020)
        on(2, 23, "天皇誕生日");
    on(3, VernalEquinoxDay(year), "春分の日");
    on(4, 29, year < kAmendment2007 ? "みどりの日" : "昭和の日");
    if (year == 2019)
        on(5, 1, "即位の日");
    on(5, 3, "憲法記念日");
    if (year >= kAmendment2007)
        on(5, 4, "みどりの日");
    on(5, 5, "こどもの日");
    days.append({marineDay(year, moved), QStringLiteral("海の日")});
    if (year >= 2016)
        days.append({mountainDay(year, moved), QStringLiteral("山の日")});
    days.append({respectForTheAgedDay(year), QStringLiteral("敬老の日")});
    on(9, AutumnalEquinoxDay(year), "秋分の日");
    addSportsDay(days, year, moved);
    if (year == 2019)
        on(10, 22, "即位礼正殿の儀の行われる日");
    on(11, 3, "文化の日");
    on(11, 23, "勤労感謝の日");
    if (year <= 2018)
        on(12, 23, "天皇誕生日");
    sortByDate(days);
    return days;
}

bool contains(const QList<Holiday>& days, const QDate& date)
{
    return std::any_of(days.begin(), days.end(), [&date](const Holiday& day) { return day.date == date; });
}

// A Sunday holiday makes the next day that is no 国民の祝日 a holiday;
// before 2007 only the Monday, and only when it was no holiday itself.
QList<Holiday> substituteHolidays(const QList<Holiday>& named, int year)
{
    QList<Holiday> days;
    for (const Holiday& holiday : named) {
        if (holiday.date.dayOfWeek() != Qt::Sunday)
            continue;
        QDate next = holiday.date.addDays(1);
        while (year >= kAmendment2007 && contains(named, next))
            next = next.addDays(1);
        if (!contains(named, next))
            days.append({next, QStringLiteral("振替休日")});
    }
    return days;
}

// A day between two 国民の祝日 that is no holiday itself; before 2007 not
// on a Sunday (Saturday 4 May 2002 was one, Sunday 4 May 2003 was not).
QList<Holiday> inBetweenHolidays(const QList<Holiday>& named, const QList<Holiday>& substitutes, int year)
{
    QList<Holiday> days;
    for (int i = 1; i < named.size(); ++i) {
        const QDate between = named.at(i - 1).date.addDays(1);
        if (named.at(i).date != between.addDays(1) || contains(substitutes, between))
            continue;
        if (year < kAmendment2007 && between.dayOfWeek() == Qt::Sunday)
            continue;
        days.append({between, QStringLiteral("国民の休日")});
    }
    return days;
}

}  // namespace

int VernalEquinoxDay(int year)
{
    return equinoxDay(year, 20843100);
}

int AutumnalEquinoxDay(int year)
{
    return equinoxDay(year, 23248800);
}

QList<Holiday> NationalHolidays(int year)
{
    if (year < kFirstHolidayYear || year > kLastHolidayYear)
        return {};
    QList<Holiday> days = namedHolidays(year);
    const QList<Holiday> substitutes = substituteHolidays(days, year);
    const QList<Holiday> between = inBetweenHolidays(days, substitutes, year);
    days += substitutes;
    days += between;
    sortByDate(days);
    return days;
}

QList<Holiday> SchoolYearHolidays(int schoolYear)
{
    if (schoolYear < kFirstHolidayYear || schoolYear > kLastHolidaySchoolYear)
        return {};
    QList<Holiday> days;
    for (const Holiday& day : NationalHolidays(schoolYear))
        if (day.date.month() >= 4)
            days << day;
    for (const Holiday& day : NationalHolidays(schoolYear + 1))
        if (day.date.month() < 4)
            days << day;
    return days;
}

bool IsHolidayForecast(int year)
{
    return year > kLatestAnnouncedHolidayYear;
}
