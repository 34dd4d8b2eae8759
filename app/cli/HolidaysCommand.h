#pragma once
#include "app/cli/Command.h"

#include <QString>
#include <QTextStream>

// `wzqxprog holidays YEAR` or `holidays --school-year YEAR`.
int runHolidays(const CommandWords& words, QTextStream& out, QTextStream& err);

// `wzqxprog holidays YEAR`: one "YYYY-MM-DD<TAB>name" line per holiday on
// out, a note on err when the year is a forecast. False (nothing printed
// on out, the reason on err) when yearText is not a year 2000..2099.
bool PrintHolidays(const QString& yearText, QTextStream& out, QTextStream& err);
// `wzqxprog holidays --school-year YEAR`: the same for YEAR-04-01 to
// (YEAR + 1)-03-31, YEAR 2000..2098; the note when either year is a
// forecast.
bool PrintSchoolYearHolidays(const QString& yearText, QTextStream& out, QTextStream& err);
