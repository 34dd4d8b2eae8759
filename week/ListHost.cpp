#include "week/ListHost.h"

#include "app/ui/WindowUtil.h"

#include <QWidget>

void RefreshList(const char* formName, int circuit, int dayOrSpecial)
{
    const QString name = QLatin1String(formName);
    if (auto* host = dynamic_cast<ListHost*>(FindForm(name)))
        host->rebuildList(circuit, dayOrSpecial);
    UpdateProgramCount(name);
}

void RefreshOpener(const EditRequestData& request)
{
    if (request.Origin == 1)
        RefreshList("Form_Week", request.CircuitNO, request.YobiON);
    else if (request.Origin == 2)
        RefreshList("Form_Special", request.CircuitNO, request.SpecialNO);
}
