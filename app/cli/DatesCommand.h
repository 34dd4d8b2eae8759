#pragma once
#include "app/cli/Command.h"

// wzqxprog dates IN OUT --circuit N --from YYYY-MM-DD --to YYYY-MM-DD
// --rule R (--stop | --special M) [--keep | --overwrite] [--force]: reads
// IN, sets the days the rule gives in the span to 停止 or a special program
// and writes OUT.
std::unique_ptr<FileEdit> datesEdit();
