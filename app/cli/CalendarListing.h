#pragma once
#include "app/cli/Command.h"

#include <memory>

// `pdf FILE OUT.pdf --circuit N --listing calendar --school-year YYYY
// [--names 1=短縮,2=行事] [--paper A4|A3]`: the circuit's 年度 on one
// landscape page, written as the other listings are.

// The options only the calendar takes.
const QStringList& CalendarOptions();

// The calendar's steps; `in`, `out` and `force` are set before `prepare`.
std::unique_ptr<FileEdit> CalendarEdit();
