#pragma once
#include "app/cli/Command.h"

// `wzqxprog day FILE YYYY-MM-DD [--json]` and `wzqxprog diff OLD NEW`.
// Each file is read as 読込 reads it, into a private in-memory store that
// is closed again before anything else is read. Both return the process
// exit status.
int runDayCommand(const CommandWords& words, QTextStream& out, QTextStream& err);
int runDiffCommand(const CommandWords& words, QTextStream& out, QTextStream& err);
