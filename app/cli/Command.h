#pragma once
#include "app/cli/ExitStatus.h"
#include "core/CommandWords.h"
#include "progfile/ProgramFileReader.h"
#include "store/ScheduleDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

// A refused command or file: the exit status and the one-line reason (empty
// when the command said it already).
struct Refusal {
    int status;
    QString reason;
};

inline Refusal usageRefusal(const QString& reason)
{
    return Refusal{ExitUsage, reason};
}

// A new document on a private in-memory store that a command reads program
// files into, never the editor's; gone with it. Every command makes its
// documents here (diff two).
class PrivateStore : public ScheduleDocument
{
public:
    PrivateStore();
};

// A command that reads IN, changes it and writes OUT. The runner owns the
// order: OUT's lock taken, IN read into a private store, the change, OUT
// written only while IN is as it was read; the command gives the steps
// between. `in`, `out` and `force` are set before `prepare`.
class FileEdit
{
public:
    virtual ~FileEdit() = default;
    // The words beyond IN and OUT, checked before anything is read.
    virtual std::optional<Refusal> prepare(const CommandWords& words);
    // IN as read, before the change: an accepted file goes on, any other is
    // refused with its verdict.
    virtual std::optional<Refusal> read(const ProgramFileReader::ReadResult& result, QTextStream& report,
                                        QTextStream& err);
    // The change to IN's programs in `document`. What it writes to `report`
    // is printed once OUT is written.
    virtual std::optional<Refusal> change(ScheduleDocument& document, QTextStream& report);
    // What OUT gets: the program file of `document`.
    virtual QByteArray content(ScheduleDocument& document);
    // After OUT is written: what else the command keeps. Its failures are
    // warnings on `err`; the command still succeeded.
    virtual void written(QTextStream& err);

    QString in;
    QString out;
    bool force = false;
};

// A command that reads only; returns the exit status.
using ReadOnlyBody = int (*)(const CommandWords& words, QTextStream& out, QTextStream& err);

// Which program runs a command: what draws needs the editor program's Qt GUI.
enum class Program { Commands, Editor };

// One line of the usage text: the command with its arguments and what it
// does, each maybe over several lines ('\n').
struct HelpForm {
    const char* synopsis;
    const char* summary;
};

// A command as the registry declares it. The runner splits its words by
// `options` (each with a value), `repeatable` and `flags`, refusing any other option with
// the splitter's reason, or with `wrongWords` when `ownReason` is set; then
// it refuses a count of other words than `positional` (-1: the body counts)
// with `wrongWords` ("%1": the command word).
struct Command {
    QStringList words;  // the command word, then any other name of it
    Program program = Program::Commands;
    QStringList options;
    QStringList flags;
    QStringList repeatable;  // options with a value that may be given more than once
    int positional = -1;
    const char* wrongWords = nullptr;
    bool ownReason = false;
    std::vector<HelpForm> help;
    std::vector<int> exits;  // the statuses it ends with (3 also when standard output fails)
    ReadOnlyBody readOnly = nullptr;
    std::unique_ptr<FileEdit> (*edit)() = nullptr;  // an edit-a-file command's steps
};

// Every command, in the order of the usage text.
const std::deque<Command>& CommandRegistry();
// The command named `word`, or null.
const Command* CommandNamed(const QString& word);
// The usage text, made from the registry.
QString UsageText();

// Runs `command` with `args` (the command word first): the words split and
// counted as it declares, then its body (an edit on `edit` when given,
// else on the one it declares). Prints a refusal's reason on `err`; returns
// the exit status.
int RunCommand(const Command& command, const QStringList& args, QTextStream& out, QTextStream& err,
               std::unique_ptr<FileEdit> edit = nullptr);
