#include "app/cli/ReviewCommand.h"

#include "progfile/ProgramFileReader.h"
#include "review/SchoolYear.h"
#include "review/YearReview.h"
#include "whenruns/Schedule.h"

#include <QDate>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

const QString kSchoolYear = QStringLiteral("--school-year");
const QString kCircuit = QStringLiteral("--circuit");

// FILE's schedule through a private in-memory store, or the status and the
// line that says why not. Throws when the file cannot be read at all.
std::optional<Refusal> loadSchedule(const QString& path, WhenRuns::Schedule& schedule)
{
    const ProgramFileReader::ParsedFile parsed = ProgramFileReader::parseProgramFile(path);
    if (parsed.verdict.status != ProgramFileReader::ReadStatus::Accepted)
        return Refusal{ExitFileError, path + QStringLiteral(": ") + ProgramFileReader::refusalLine(parsed.verdict)};
    PrivateStore document;
    ProgramFileReader::importParsed(document, parsed);
    schedule = WhenRuns::ReadSchedule(document);
    return std::nullopt;
}

}  // namespace

std::optional<int> SchoolYearArgument(const QString& value, QString& refusal)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{4}$"));
    const int year = digits.match(value).hasMatch() ? value.toInt() : 0;
    if (Review::isSchoolYear(year))
        return year;
    refusal = QStringLiteral("年度は %1 から %2 までの西暦 4 桁で指定してください: %3")
                  .arg(Review::kFirstSchoolYear)
                  .arg(Review::kLastSchoolYear)
                  .arg(value);
    return std::nullopt;
}

int runReviewCommand(const CommandWords& words, QTextStream& out, QTextStream& err)
{
    const QString& path = words.positional.at(0);
    int circuit = 0;
    if (words.values.contains(kCircuit)) {
        const std::optional<int> given = CircuitArgument(words.values.value(kCircuit));
        if (!given) {
            err << QStringLiteral("--circuit には 1～8 を指定してください。\n");
            return ExitUsage;
        }
        circuit = *given;
    }
    std::optional<int> schoolYear;
    if (words.values.contains(kSchoolYear)) {
        QString refusal;
        schoolYear = SchoolYearArgument(words.values.value(kSchoolYear), refusal);
        if (!schoolYear) {
            err << refusal << '\n';
            return ExitUsage;
        }
    }
    WhenRuns::Schedule schedule;
    try {
        if (const std::optional<Refusal> refused = loadSchedule(path, schedule)) {
            err << refused->reason << '\n';
            return refused->status;
        }
    } catch (const std::exception& failure) {
        // The reader's message names the file already; the store's does not.
        const QString text = QString::fromUtf8(failure.what());
        err << (text.startsWith(path) ? text : path + QStringLiteral(": ") + text) << '\n';
        return ExitFileError;
    }
    // "Nothing found" would be read as "all is well".
    if (circuit != 0 && schedule.circuits.at(size_t(circuit)).program == 0) {
        err << QStringLiteral("回路%1 は初期設定されていないため、確認するデータがありません。\n").arg(circuit);
        return ExitNothingToPrint;
    }
    if (!schoolYear)
        schoolYear = Review::SchoolYearOfEntries(schedule, circuit, QDate::currentDate());
    const Review::YearReview review = Review::ReviewYear(schedule, *schoolYear, circuit);
    if (words.flags.contains(QStringLiteral("--json")))
        out << QString::fromUtf8(QJsonDocument(Review::reviewJson(review)).toJson(QJsonDocument::Indented));
    else
        out << Review::reviewText(review);
    return review.findings.isEmpty() ? ExitDone : ExitFindings;
}
