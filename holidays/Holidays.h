#pragma once

#include <QDate>
#include <QList>
#include <QString>

// Japan's national holidays by the National Holidays Act as amended up to
// now: the 国民の祝日 themselves, 振替休日 and 国民の休日.

struct Holiday {
    QDate date;
    QString name;  // the official name, e.g. "春分の日", "振替休日"
};

// The years the device's calendar covers.
constexpr int kFirstHolidayYear = 2000;
constexpr int kLastHolidayYear = 2099;

// The last year whose holidays the Cabinet Office has announced (each
// February it announces the next year's equinox days). Later years are
// forecasts: equinoxes by the astronomical formula, the law as it stands.
constexpr int kLatestAnnouncedHolidayYear = 2027;

// Every holiday of year in date order; empty outside 2000..2099.
QList<Holiday> NationalHolidays(int year);

// A school year (年度) runs from 1 April to 31 March of the next year, so
// the last one covered starts in 2098.
constexpr int kLastHolidaySchoolYear = kLastHolidayYear - 1;
// Every holiday from schoolYear-04-01 to (schoolYear + 1)-03-31 in date
// order; empty outside 2000..2098.
QList<Holiday> SchoolYearHolidays(int schoolYear);

// True when the year's holidays are a forecast rather than announced.
bool IsHolidayForecast(int year);

// Day of March / September of the equinox in Japan (1980..2099).
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);
