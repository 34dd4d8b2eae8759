#include "whenruns/Commands.h"

#include "progfile/ProgramFileReader.h"
#include "store/ScheduleDocument.h"
#include "whenruns/DayReport.h"
#include "whenruns/DayResolution.h"
#include "whenruns/ScheduleDiff.h"

#include <QDate>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

namespace WhenRuns {

namespace {

// The exit statuses beside the reader's own (ProgramFileReader::exitStatusOf):
// diff(1)'s for a comparison, a file that cannot be read, a wrong command.
enum ExitStatus {
    ExitSame = 0,
    ExitDifferent = 1,
    ExitFileError = 3,
    ExitUsage = 64,
};

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
    ScheduleDocument document(QStringLiteral(":memory:"));
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

int runDayCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList words = args;
    const bool json = words.removeOne(QStringLiteral("--json"));
    if (words.size() != 2)
        return ExitUsage;
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
        return ExitSame;
    } catch (const std::exception& failure) {
        err << failureText(words.at(0), failure) << '\n';
        return ExitFileError;
    }
}

int runDiffCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2)
        return ExitUsage;
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
        return ExitSame;
    out << diffText(changes, args.at(0), args.at(1));
    return ExitDifferent;
}

}  // namespace WhenRuns
