#pragma once
#include "store/SharedState.h"

#include <array>

// T_Setting as the program file sees it: one entry per circuit 1..8
// (index 0 unused).
using SettingTable = std::array<CircuitSetting, 9>;

SettingTable ReadSettingTable();

// CircuitSettings of all eight circuits := T_Setting.
void LoadCircuitSettings();
