#pragma once

// What the special window brings up to date on the year side. The year
// windows implement these, so special/ needs nothing from year/.

// The year calendar (Form_Year): re-marks the dates of a circuit.
class YearMarksHost
{
public:
    virtual ~YearMarksHost() = default;
    virtual void RefreshYearBold(int circuit) = 0;
};

// The year date dialog (Form_EditYear) or 祝日設定 (Form_Holiday), told when the special window it
// opened closes: the list of special numbers is refilled and, when
// `choose`, the number shown by the special window is chosen.
class SpecialChoiceHost
{
public:
    virtual ~SpecialChoiceHost() = default;
    virtual void SpecialWindowClosed(int special, bool choose) = 0;
};

// After year entries of a circuit changed: the open calendar's marks and
// its remaining count.
void RefreshYearSide(int circuit);
