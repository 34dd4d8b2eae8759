#pragma once
#include "app/cli/Command.h"

// wzqxprog bells IN OUT --circuit N --days D --periods P [--pre-bell M]
// [--tunes S,E,P]: reads IN, adds the bells of the timetable and writes OUT.
std::unique_ptr<FileEdit> bellsEdit();
