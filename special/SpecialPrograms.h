#pragma once
#include <QList>

class ScheduleDocument;

// Special programs are the week rows with SpecialNO 1..99 (YobiON 0).
// A special number exists for a circuit while one of its rows carries it;
// dated and every-year entries refer to it by circuit and number.
namespace SpecialPrograms {

constexpr int HighestSpecialNumber = 99;

// The numbers in use by the circuit, ascending, each once.
QList<int> SpecialNumbersInUse(ScheduleDocument& document, int circuit);
// The smallest number not in use (gaps are refilled first); 100 when 1..99
// are all taken.
int FirstFreeSpecialNumber(ScheduleDocument& document, int circuit);

int ProgramCount(ScheduleDocument& document, int circuit, int special);
// The dated and every-year entries that run the special number.
int YearEntriesUsing(ScheduleDocument& document, int circuit, int special);

// Deletes the program row `id` of the circuit's special number. When it was
// the number's last program, the number's dated and every-year entries go
// too and true is returned. One transaction; the tables are renumbered.
bool DeleteSpecialProgram(ScheduleDocument& document, int id, int circuit, int special);
// Deletes every program of the special number and its year entries.
void DeleteAllSpecialPrograms(ScheduleDocument& document, int circuit, int special);

}  // namespace SpecialPrograms
