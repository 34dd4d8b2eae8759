#include "app/cli/WhenRunsCommands.h"

#include "progfile/ProgramFileReader.h"
#include "store/ScheduleDocument.h"
#include "whenruns/DayReport.h"
#include "whenruns/DayResolution.h"
#include "whenruns/ScheduleDiff.h"

#include <QDate>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

using namespace WhenRuns;

namespace {

struct LoadedFile {
    ProgramFileReader::ReadStatus status = ProgramFileReader::ReadStatus::Accepted;
    QString refusal;  // why the file was not read; empty when it was
    Schedule schedule;
};

// Throws ProgramFileError or StoreError when the file cannot be read at all.
// A refused file never reaches a store; an accepted one is resolved through
// a private in-memory store, never the editor's.
LoadedFile loadFile(const QString& path)
{
    LoadedFile loaded;
    const ProgramFileReader::ParsedFile parsed = ProgramFileReader::parseProgramFile(path);
    loaded.status = parsed.verdict.status;
    if (loaded.status != ProgramFileReader::ReadStatus::Accepted) {
        loaded.refusal = ProgramFileReader::refusalLine(parsed.verdict);
        return loaded;
    }
    PrivateStore document;
    ProgramFileReader::importParsed(document, parsed);
    loaded.schedule = ReadSchedule(document);
    return loaded;
}

// A file that could not be read at all: the reader's message names the file
// already; the store's does not.
QString failureText(const QString& path, const std::exception& failure)
{
    const QString text = QString::fromUtf8(failure.what());
    return text.startsWith(path) ? text : path + QStringLiteral(": ") + text;
}

// YYYY-MM-DD of a real date from 2000 to 2099; invalid otherwise.
QDate parseDate(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!shape.match(text).hasMatch())
        return {};
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() && date.year() >= 2000 && date.year() <= 2099 ? date : QDate();
}

}  // namespace

int runDayCommand(const CommandWords& args, QTextStream& out, QTextStream& err)
{
    const QStringList& words = args.positional;
    const bool json = args.flags.contains(QStringLiteral("--json"));
    const QDate date = parseDate(words.at(1));
    if (!date.isValid()) {
        err << QStringLiteral("日付が不正です: %1（2000-01-01～2099-12-31 を YYYY-MM-DD で指定してください）\n")
                   .arg(words.at(1));
        return ExitUsage;
    }
    try {
        const LoadedFile loaded = loadFile(words.at(0));
        if (!loaded.refusal.isEmpty()) {
            err << words.at(0) << QStringLiteral(": ") << loaded.refusal << '\n';
            return ProgramFileReader::exitStatusOf(loaded.status);
        }
        const DayPreview preview = ResolveDay(loaded.schedule, date);
        if (json)
            out << QString::fromUtf8(QJsonDocument(dayJson(preview)).toJson(QJsonDocument::Indented));
        else
            out << dayText(preview);
        return ExitDone;
    } catch (const std::exception& failure) {
        err << failureText(words.at(0), failure) << '\n';
        return ExitFileError;
    }
}

int runDiffCommand(const CommandWords& words, QTextStream& out, QTextStream& err)
{
    const QStringList& args = words.positional;
    Schedule schedules[2];
    for (int i = 0; i < 2; ++i) {
        try {
            const LoadedFile loaded = loadFile(args.at(i));
            if (!loaded.refusal.isEmpty()) {
                err << args.at(i) << QStringLiteral(": ") << loaded.refusal << '\n';
                return ExitFileError;
            }
            schedules[i] = loaded.schedule;
        } catch (const std::exception& failure) {
            err << failureText(args.at(i), failure) << '\n';
            return ExitFileError;
        }
    }
    const QList<CircuitChanges> changes = DiffSchedules(schedules[0], schedules[1]);
    if (changes.isEmpty())
        return ExitDone;
    out << diffText(changes, args.at(0), args.at(1));
    return ExitDifferent;
}
