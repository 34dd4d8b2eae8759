#pragma once
#include "app/cli/Command.h"

#include <optional>

// `wzqxprog review FILE [--school-year YYYY] [--circuit N] [--json]`: the
// 年間チェック of FILE's year programs, as text or one JSON object. Without
// --school-year it looks at the 年度 most dated entries fall in, named in
// the first line. Exit 0 without findings, 1 with some, 3 when FILE cannot
// be read (an invalid file included: 1 is taken by the findings).
int runReviewCommand(const CommandWords& words, QTextStream& out, QTextStream& err);

// The value of --school-year: four ASCII digits of 2000..2098; else the
// refusal to give (status 64).
std::optional<int> SchoolYearArgument(const QString& value, QString& refusal);
