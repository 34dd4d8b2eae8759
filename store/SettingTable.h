#pragma once
#include "store/SharedState.h"

#include <array>

// T_Setting as read from the store: one entry per circuit 1..8 (index 0
// unused). A circuit number outside 1..8 is a store failure.
using SettingTable = std::array<CircuitSetting, 9>;

SettingTable ReadSettingTable();

// CircuitSettings of all eight circuits := T_Setting.
void LoadCircuitSettings();
