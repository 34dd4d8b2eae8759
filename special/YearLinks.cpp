#include "special/YearLinks.h"

#include "app/ui/WindowUtil.h"

#include <QWidget>

void RefreshYearSide(int circuit)
{
    if (auto* calendar = dynamic_cast<YearMarksHost*>(FindForm(QStringLiteral("Form_Year"))))
        calendar->RefreshYearBold(circuit);
    UpdateYearProgramCount();
}
