#pragma once
#include "store/WeekRow.h"

// The job of an entry dialog (Form_EditTime, Form_EditTimeTimer), built by
// the list that opens it: a new program, or the change of the row chosen
// there with that row's values.
struct EntryJob {
    enum class Mode { New, Change };
    enum class Opener { WeekList, SpecialWindow };

    // YobiON is a day code 0..8 (7 平日, 8 毎日); a group row stands for
    // several rows and has no ID.
    WeekRow row;
    Mode EditMode = Mode::New;
    Opener Origin = Opener::WeekList;

    bool fromWeekList() const { return Origin == Opener::WeekList; }
    bool isChange() const { return EditMode == Mode::Change; }
};
