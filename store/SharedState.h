#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// The circuit settings as the editing windows read them; index 0 is never
// used, circuits are 1..8.
struct CircuitSetting {
    qint16 PulseTime = 0;
    qint16 Program = 0;
    qint16 Chime = 0;
};
extern std::array<CircuitSetting, 9> CircuitSettings;

// Checked access: an index outside 0..8 throws StoreError.
CircuitSetting& CircuitSettingAt(int index);
