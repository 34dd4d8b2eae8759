#pragma once
#include <QString>
#include <QStringList>

// Program type codes of a circuit (T_Setting.Program, CircuitSettings and
// the second character of every program file line).
enum ProgramType { TypeNone = 0, TypeTimeSignal = 1, TypeChime = 2, TypeTimer = 3, TypeRepeat = 4 };

// "", "報時", "チャイム", "タイマ", "繰返し": the names by code.
QStringList ProgramTypeNames();
// The name of one code; "" for none and for anything that is not a type.
QString ProgramTypeName(int type);
