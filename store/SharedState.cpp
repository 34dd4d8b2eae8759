#include "store/SharedState.h"

#include "store/ProgramStore.h"

std::array<CircuitSetting, 9> CircuitSettings{};

CircuitSetting& CircuitSettingAt(int index)
{
    if (index < 0 || index >= static_cast<int>(CircuitSettings.size()))
        throw StoreError(QStringLiteral("Subscript out of range (circuit %1)").arg(index));
    return CircuitSettings[static_cast<size_t>(index)];
}
