#pragma once
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"

#include <QString>
#include <QStringList>
#include <array>

class ScheduleDocument;

// What the circuit settings window knows without its widgets: the program
// types, their tooltips and value ranges, the type lock, and the stored settings.
namespace CircuitRules {

// The type code is also the position in the type box (ProgramTypeNames).

// Tooltips of the type box and of the value box for a type (anything that
// is not 1..4 counts as "none").
QString typeTip(int type);
QString valueTip(int type);
QString chimeTip();

// Title of every box the window shows.
QString title();
QString typeLockedMessage();

// The message for a time value that does not suit the type, or "" when it
// does. Type none is never checked. The value is a real number; it must
// also stay in range once rounded, since only the integer is stored.
QString valueProblem(int type, const QString& text);
// The same for the manual chime tune (1..7).
QString chimeProblem(const QString& text);

// True when the circuit already has a type, `type` differs from it and
// programs are stored for the circuit: those programs were entered for the
// old type.
bool typeChangeRefused(ScheduleDocument& document, int circuit, int type);

// The stored settings as rows for circuits 1..8 (index = circuit - 1). A circuit
// without a row reads as type none, 0 seconds, tune 1.
std::array<CircuitSetting, 8> readSettingTable(ScheduleDocument& document);

// Writes the settings in one transaction (the document reloads its own). A circuit of
// type none always gets 0 seconds.
void writeSettings(ScheduleDocument& document, std::array<CircuitSetting, 8> settings);

}  // namespace CircuitRules
