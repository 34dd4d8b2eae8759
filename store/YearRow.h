#pragma once

// A dated entry (a day of one year) or an every-year entry (a day of every
// year, Year unused): the special program the circuit runs that day, or 停止.
struct YearRow {
    int CircuitNO = 0;
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int SpecialNO = 0;  // 0 = stop
};
