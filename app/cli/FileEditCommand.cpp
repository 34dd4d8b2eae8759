#include "app/cli/FileEditCommand.h"

#include "store/ProgramStore.h"

int runFileEdit(const std::optional<Refusal>& argumentsRefused, const std::function<std::optional<Refusal>()>& edit,
                QTextStream& err)
{
    if (argumentsRefused) {
        err << argumentsRefused->reason << '\n';
        return ExitUsage;
    }
    std::optional<Refusal> refused;
    try {
        ProgramStore::open(QStringLiteral(":memory:"));
        refused = edit();
    } catch (const std::exception& failure) {
        refused = Refusal{ExitFileError, QString::fromUtf8(failure.what()).simplified()};
    }
    ProgramStore::close();
    if (!refused)
        return ExitDone;
    err << refused->reason << '\n';
    return refused->status;
}
