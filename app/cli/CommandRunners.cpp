#include "app/cli/Command.h"

#include "progfile/OutputLock.h"
#include "progfile/ProgramFileWriter.h"

#include <QRegularExpression>
#include <algorithm>

PrivateStore::PrivateStore()
    : ScheduleDocument(QStringLiteral(":memory:"))
{
}

std::optional<Refusal> FileEdit::prepare(const CommandWords&)
{
    return std::nullopt;
}

std::optional<Refusal> FileEdit::read(const ProgramFileReader::ReadResult& result, QTextStream&, QTextStream&)
{
    if (result.status == ProgramFileReader::ReadStatus::Accepted)
        return std::nullopt;
    return Refusal{ProgramFileReader::exitStatusOf(result.status), ProgramFileReader::refusalLine(result)};
}

std::optional<Refusal> FileEdit::change(ScheduleDocument&, QTextStream&)
{
    return std::nullopt;
}

QByteArray FileEdit::content(ScheduleDocument& document)
{
    return ProgramFileWriter::buildProgramFile(document);
}

void FileEdit::written(QTextStream&)
{
}

namespace {

// A failure's reason on one line; a file name keeps its spaces.
QString oneLine(const char* what)
{
    return QString::fromUtf8(what).split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts).join(' ');
}

int runReadOnly(ReadOnlyBody body, const CommandWords& words, QTextStream& out, QTextStream& err)
{
    try {
        return body(words, out, err);
    } catch (const std::exception& failure) {
        err << QString::fromUtf8(failure.what()) << '\n';
        return ExitFileError;
    }
}

// Under OUT's lock from before IN is read, so that runs on one file follow
// one another and each changes what the one before wrote. With OUT "-" the
// file goes to standard output and the report to standard error.
int runFileEdit(FileEdit& edit, const CommandWords& words, QTextStream& out, QTextStream& err)
{
    edit.in = words.positional.value(0);
    edit.out = words.positional.value(1);
    edit.force = words.flags.contains(QStringLiteral("--force"));
    QTextStream& report = OutputLock::isStandardOutput(edit.out) ? err : out;
    std::optional<Refusal> refused = edit.prepare(words);
    if (!refused) {
        try {
            PrivateStore document;
            const OutputLock lock(edit.out);
            const ProgramFileReader::ReadResult result = ProgramFileReader::ReadProgramFile(document, edit.in);
            refused = edit.read(result, report, err);
            QString changes;
            QTextStream changed(&changes);
            if (!refused)
                refused = edit.change(document, changed);
            if (!refused) {
                ProgramFileWriter::writeCommandOutput(edit.out, edit.content(document),
                                                      {edit.force, edit.in, result.stamp, true, &lock, {}});
                changed.flush();
                report << changes;
                edit.written(err);
            }
        } catch (const std::exception& failure) {
            refused = Refusal{ExitFileError, oneLine(failure.what())};
        }
    }
    if (!refused)
        return ExitDone;
    if (!refused->reason.isEmpty())
        err << refused->reason << '\n';
    return refused->status;
}

}  // namespace

int RunCommand(const Command& command, const QStringList& args, QTextStream& out, QTextStream& err,
               std::unique_ptr<FileEdit> edit)
{
    const QString wrongWords = QString::fromUtf8(command.wrongWords).replace(QStringLiteral("%1"), args.value(0));
    CommandWords words;
    std::optional<QString> refused = SplitCommandWords(args, command.options, words, command.flags, command.repeatable);
    if (refused && command.ownReason)
        refused = wrongWords;
    else if (!refused && command.positional >= 0 && words.positional.size() != command.positional)
        refused = wrongWords;
    if (refused) {
        err << *refused << '\n';
        return ExitUsage;
    }
    if (!command.readOnly && !edit)
        edit = command.edit();
    const int status =
        command.readOnly ? runReadOnly(command.readOnly, words, out, err) : runFileEdit(*edit, words, out, err);
    Q_ASSERT_X(std::find(command.exits.begin(), command.exits.end(), status) != command.exits.end(), "RunCommand",
               "an exit status the command does not declare");
    return status;
}
