#pragma once
#include "holidays/Holidays.h"
#include "whenruns/Schedule.h"

#include <QDate>
#include <QString>

// A 年度 runs from 1 April to 31 March of the next year. The calendar and
// the review cover those whose holidays are known: 2000..2098.
namespace Review {

constexpr int kFirstSchoolYear = kFirstHolidayYear;
constexpr int kLastSchoolYear = kLastHolidaySchoolYear;

bool isSchoolYear(int schoolYear);
QDate firstDayOf(int schoolYear);
QDate lastDayOf(int schoolYear);
// The 年度 a date falls in: 2029-03-31 is in 2028.
int schoolYearOf(const QDate& date);

// "2028年度（令和10年度）", "2019年度（令和元年度）", "2018年度（平成30年度）".
QString schoolYearTitle(int schoolYear);

// Empty for a 年度 of 2000..2098, else the refusal, worded as the holidays
// command words it.
QString schoolYearRefusal(int schoolYear);

// The 年度 most dated entries of the circuit (0: of every circuit) fall
// in, the later one on a tie; the 年度 of `today` when there are none.
// Always one of 2000..2098.
int SchoolYearOfEntries(const WhenRuns::Schedule& schedule, int circuit, const QDate& today);

}  // namespace Review
