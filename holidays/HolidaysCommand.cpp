#include "holidays/HolidaysCommand.h"

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

}  // namespace

bool PrintHolidays(const QString& yearText, QTextStream& out, QTextStream& err)
{
    const int year = parseYear(yearText);
    if (year < kFirstHolidayYear || year > kLastHolidayYear) {
        err << QStringLiteral("年は %1 から %2 までの西暦 4 桁で指定してください: %3\n")
                   .arg(kFirstHolidayYear)
                   .arg(kLastHolidayYear)
                   .arg(yearText);
        return false;
    }
    if (IsHolidayForecast(year))
        err << QStringLiteral("注意: %1 年の祝日は予測です（内閣府の公表は %2 年まで）。\n")
                   .arg(year)
                   .arg(kLatestAnnouncedHolidayYear);
    for (const Holiday& holiday : NationalHolidays(year))
        out << holiday.date.toString(Qt::ISODate) << '\t' << holiday.name << '\n';
    return true;
}
