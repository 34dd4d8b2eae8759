#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// Process-wide values the windows hand to each other.

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

// A job handed from a list window to an entry or copy dialog.
struct EditRequestData {
    qint16 ID = 0;
    qint16 EditMode = 0;  // 0 new, -1 change
    qint16 CircuitNO = 0;
    qint16 SpecialNO = 0;
    qint16 Repeat = 0;
    qint16 ChimeNO = 0;
    qint16 YobiON = 0;  // day code 0..8 (7 平日, 8 毎日)
    qint16 YobiOFF = 0;
    qint16 TimeONH = 0;
    qint16 TimeONM = 0;
    qint16 TimeONS = 0;
    qint16 TimeOFFH = 0;
    qint16 TimeOFFM = 0;
    qint16 Origin = 0;  // 1 week list, 2 special window
};
extern EditRequestData EditRequest;

// Set by the print selection before it fills the print tables.
struct PrintHandOverData {
    qint16 PrintKind = 0;  // 1 week, 2 special, 3 year listing
    qint16 PrintCircuit = 0;
    QString PrintProgramTitle;
    qint16 PrintPulse = 0;
    qint16 PrintYear = 0;  // two-digit year, 0 for every year
    QString PrintYearTitle;
};
extern PrintHandOverData PrintHandOver;

// The run of days the year calendar hands to its date dialog (two-digit
// years). The circuit and the special number travel in EditRequest, which
// the year and special windows share.
struct YearHandOverData {
    qint16 RangeFromYear = 0;
    qint16 RangeFromMonth = 0;
    qint16 RangeFromDay = 0;
    qint16 RangeToYear = 0;
    qint16 RangeToMonth = 0;
    qint16 RangeToDay = 0;
};
extern YearHandOverData YearHandOver;
