#include "app/cli/FileEditCommand.h"

#include "store/ScheduleDocument.h"

int runFileEdit(const std::optional<Refusal>& argumentsRefused,
                const std::function<std::optional<Refusal>(ScheduleDocument&)>& edit, QTextStream& err)
{
    if (argumentsRefused) {
        err << argumentsRefused->reason << '\n';
        return ExitUsage;
    }
    std::optional<Refusal> refused;
    try {
        ScheduleDocument document(QStringLiteral(":memory:"));
        refused = edit(document);
    } catch (const std::exception& failure) {
        refused = Refusal{ExitFileError, QString::fromUtf8(failure.what()).simplified()};
    }
    if (!refused)
        return ExitDone;
    err << refused->reason << '\n';
    return refused->status;
}
