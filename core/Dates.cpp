#include "core/Dates.h"

#include <QDate>

bool IsRealDate(int year, int month, int day)
{
    // Two-digit years are the device's 2000..2099.
    if (year >= 0 && year < 100)
        year += 2000;
    return QDate::isValid(year, month, day);
}
