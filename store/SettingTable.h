#pragma once
#include "store/CircuitSetting.h"

#include <array>

class ScheduleDocument;

// T_Setting as read from the store: one entry per circuit 1..8 (index 0
// unused). A circuit number outside 1..8 is a store failure.
using SettingTable = CircuitSettingArray;

SettingTable ReadSettingTable(ScheduleDocument& document);
