#pragma once
#include <QtGlobal>

// The job of an entry dialog (Form_EditTime, Form_EditTimeTimer), built by
// the list that opens it: a new program, or the change of the row chosen
// there with that row's values.
struct EntryJob {
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
