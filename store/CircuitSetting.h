#pragma once
#include <QtGlobal>
#include <array>

// A circuit's settings as the editing windows read them.
struct CircuitSetting {
    qint16 PulseTime = 0;
    qint16 Program = 0;
    qint16 Chime = 0;
};
// One per circuit 1..8; index 0 is never used.
using CircuitSettingArray = std::array<CircuitSetting, 9>;
