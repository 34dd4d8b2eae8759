#pragma once
#include <QStringList>
#include <QTextStream>

// wzqxprog bells IN OUT --circuit N --days D --periods P [--pre-bell M]
// [--tunes S,E,P]: reads IN, adds the bells of the timetable and writes OUT.
// `args` starts with the command word. Returns the exit status.
int runBellsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
