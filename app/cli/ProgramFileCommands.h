#pragma once
#include "app/cli/Command.h"

// `wzqxprog check FILE`: the verdict on FILE, read into memory only.
int runCheck(const CommandWords& words, QTextStream& out, QTextStream& err);

// `wzqxprog normalize IN OUT [--force]`: IN as 読込 reads it written to OUT
// as 書込 writes, with the verdict as check gives it.
std::unique_ptr<FileEdit> normalizeEdit();
