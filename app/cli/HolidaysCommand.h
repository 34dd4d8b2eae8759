#pragma once
#include "app/cli/Command.h"

// `wzqxprog holidays YEAR` or `holidays --school-year YEAR`: one
// "YYYY-MM-DD<TAB>name" line per holiday, a note on err when the year is a
// forecast.
int runHolidays(const CommandWords& words, QTextStream& out, QTextStream& err);
