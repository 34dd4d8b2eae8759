#pragma once
#include <QString>
#include <QTextStream>
#include <functional>

class ScheduleDocument;
#include <optional>

// What the commands that read IN, change it and write OUT (bells, dates)
// share: their exit statuses, a refusal with its reason, and the run on a
// private in-memory store.
enum FileEditExit {
    ExitDone = 0,
    ExitOverCapacity = 2,
    ExitFileError = 3,
    ExitUsage = 64,
};

struct Refusal {
    int status;
    QString reason;
};

inline Refusal usageRefusal(const QString& reason)
{
    return Refusal{ExitUsage, reason};
}

// Prints a refusal of the arguments, or runs `edit` on a document of its own
// on a private in-memory store (a failure there refused with exit 3); prints its refusal, if any.
// Returns the exit status.
int runFileEdit(const std::optional<Refusal>& argumentsRefused,
                const std::function<std::optional<Refusal>(ScheduleDocument&)>& edit, QTextStream& err);
