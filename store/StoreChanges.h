#pragma once
#include <QFlags>
#include <QObject>

// The one place that says "the store changed": every committed transaction
// that wrote a schedule table is announced once, after its commit, with the
// tables it wrote (the store notes them itself, see Transaction); a
// transaction rolled back announces nothing. Windows refresh their lists,
// counts and calendar marks from it.
class StoreChanges : public QObject
{
    Q_OBJECT
public:
    enum Change {
        Settings = 0x1,        // T_Setting
        WeekAndSpecial = 0x2,  // T_Week: week and special programs
        Dated = 0x4,           // T_Year
        EveryYear = 0x8,       // T_YearE
    };
    Q_DECLARE_FLAGS(Changes, Change)

    static StoreChanges& instance();

signals:
    void changed(StoreChanges::Changes changes);

private:
    StoreChanges() = default;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(StoreChanges::Changes)

// What emptying or replacing the whole store changes.
inline constexpr StoreChanges::Changes EveryStoreChange =
    StoreChanges::Settings | StoreChanges::WeekAndSpecial | StoreChanges::Dated | StoreChanges::EveryYear;
