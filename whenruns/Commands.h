#pragma once
#include <QStringList>

class QTextStream;

// `wzqxprog day FILE YYYY-MM-DD [--json]` and `wzqxprog diff OLD NEW`.
// Each file is read as 読込 reads it, into a private in-memory store that
// is closed again before anything else is read. `args` are the words after
// the command's name. Both return the process exit status.
namespace WhenRuns {

int runDayCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runDiffCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace WhenRuns
