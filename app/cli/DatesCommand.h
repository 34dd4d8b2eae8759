#pragma once
#include <QStringList>
#include <QTextStream>

// wzqxprog dates IN OUT --circuit N --from YYYY-MM-DD --to YYYY-MM-DD
// --rule R (--stop | --special M) [--keep | --overwrite] [--force]: reads
// IN, sets the days the rule gives in the span to 停止 or a special program
// and writes OUT. `args` starts with the command word. Returns the exit
// status.
int runDatesCommand(const QStringList& args, QTextStream& out, QTextStream& err);
