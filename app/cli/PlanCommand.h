#pragma once
#include "app/cli/Command.h"

// wzqxprog plan IN OUT --circuit N --table FILE|- [--school-year YYYY]
// [--column HEADER|N] --map 名前=なし|停止|M … [--keep | --overwrite]
// [--force]: reads a school's 行事予定 table, sets each day's dated entry
// by its 日課 as the maps say and writes OUT.
std::unique_ptr<FileEdit> planEdit();
