#pragma once
#include <QFlags>
#include <QObject>

// What a committed transaction changed: the kinds of schedule table it
// wrote (ScheduleDocument::changed announces them once, after its commit).
// Windows refresh their lists, counts and calendar marks from it.
class StoreChanges
{
    Q_GADGET
public:
    enum Change {
        Settings = 0x1,        // the circuit settings
        WeekAndSpecial = 0x2,  // week and special programs
        Dated = 0x4,           // dated entries
        EveryYear = 0x8,       // every-year entries
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)
};

Q_DECLARE_OPERATORS_FOR_FLAGS(StoreChanges::Changes)

// What emptying or replacing the whole store changes.
inline constexpr StoreChanges::Changes EveryStoreChange =
    StoreChanges::Settings | StoreChanges::WeekAndSpecial | StoreChanges::Dated | StoreChanges::EveryYear;
