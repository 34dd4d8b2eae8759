#include "app/cli/HolidaysCommand.h"

#include "holidays/Holidays.h"

namespace {

// Four ASCII digits only: "2027", not "+2027", " 2027" or "２０２７".
int parseYear(const QString& text)
{
    if (text.size() != 4)
        return 0;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    return text.toInt();
}

bool refuseYear(const QString& yearText, const QString& unit, int last, QTextStream& err)
{
    err << QStringLiteral("%1は %2 から %3 までの西暦 4 桁で指定してください: %4\n")
               .arg(unit)
               .arg(kFirstHolidayYear)
               .arg(last)
               .arg(yearText);
    return false;
}

void printForecastNote(const QString& span, QTextStream& err)
{
    err << QStringLiteral("注意: %1の祝日は予測です（内閣府の公表は %2 年まで）。\n")
               .arg(span)
               .arg(kLatestAnnouncedHolidayYear);
}

void printLines(const QList<Holiday>& holidays, QTextStream& out)
{
    for (const Holiday& holiday : holidays)
        out << holiday.date.toString(Qt::ISODate) << '\t' << holiday.name << '\n';
}

// One "YYYY-MM-DD<TAB>name" line per holiday on out, a note on err when
// the year is a forecast. False (nothing printed on out, the reason on err)
// when yearText is not a year 2000..2099.
bool PrintHolidays(const QString& yearText, QTextStream& out, QTextStream& err)
{
    const int year = parseYear(yearText);
    if (year < kFirstHolidayYear || year > kLastHolidayYear)
        return refuseYear(yearText, QStringLiteral("年"), kLastHolidayYear, err);
    if (IsHolidayForecast(year))
        printForecastNote(QStringLiteral("%1 年").arg(year), err);
    printLines(NationalHolidays(year), out);
    return true;
}

// The same for YEAR-04-01 to (YEAR + 1)-03-31, YEAR 2000..2098; the note
// when either year is a forecast.
bool PrintSchoolYearHolidays(const QString& yearText, QTextStream& out, QTextStream& err)
{
    const int year = parseYear(yearText);
    if (year < kFirstHolidayYear || year > kLastHolidaySchoolYear)
        return refuseYear(yearText, QStringLiteral("年度"), kLastHolidaySchoolYear, err);
    // Its January to March belong to the next calendar year, which may be
    // the first forecast one.
    if (IsHolidayForecast(year))
        printForecastNote(QStringLiteral("%1 年度").arg(year), err);
    else if (IsHolidayForecast(year + 1))
        printForecastNote(QStringLiteral("%1 年度のうち %2 年").arg(year).arg(year + 1), err);
    printLines(SchoolYearHolidays(year), out);
    return true;
}
}  // namespace

int runHolidays(const CommandWords& words, QTextStream& out, QTextStream& err)
{
    const QString schoolYear = QStringLiteral("--school-year");
    if (words.positional.size() + words.values.size() != 1) {
        err << QStringLiteral("holidays には年 (YEAR または --school-year YEAR) を一つ指定してください。") << '\n';
        return ExitUsage;
    }
    const bool printed = words.values.contains(schoolYear)
        ? PrintSchoolYearHolidays(words.values.value(schoolYear), out, err)
        : PrintHolidays(words.positional.constFirst(), out, err);
    return printed ? ExitDone : ExitUsage;
}
