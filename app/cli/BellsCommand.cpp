#include "app/cli/BellsCommand.h"

#include "core/CommandWords.h"
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramStore.h"
#include "week/Bells.h"

#include <QRegularExpression>
#include <optional>

namespace {

enum ExitStatus {
    ExitDone = 0,
    ExitOverCapacity = 2,
    ExitFileError = 3,
    ExitUsage = 64,
};

struct Refusal {
    int status;
    QString reason;
};

const QStringList kOptions{"--circuit", "--days", "--periods", "--pre-bell", "--tunes"};

std::optional<int> numberIn(const QString& text, int low, int high)
{
    static const QRegularExpression number(QStringLiteral("^[1-9][0-9]?$"));
    if (!number.match(text).hasMatch() || text.toInt() < low || text.toInt() > high)
        return std::nullopt;
    return text.toInt();
}

std::optional<Bells::Tunes> tunes(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    const std::optional<int> start = numberIn(parts[0], 1, 7);
    const std::optional<int> end = numberIn(parts[1], 1, 7);
    const std::optional<int> preBell = numberIn(parts[2], 1, 7);
    if (!start || !end || !preBell)
        return std::nullopt;
    return Bells::Tunes{*start, *end, *preBell};
}

std::optional<Refusal> parse(const QStringList& args, QStringList& files, Bells::Request& request)
{
    const auto usage = [](const QString& reason) { return Refusal{ExitUsage, reason}; };
    CommandWords words;
    if (std::optional<QString> refused = SplitCommandWords(args, kOptions, words))
        return usage(*refused);
    if (words.positional.size() != 2)
        return usage(QStringLiteral("IN と OUT を指定してください。"));
    files = words.positional;
    const QMap<QString, QString>& values = words.values;
    const std::optional<int> circuit = CircuitArgument(values.value(QStringLiteral("--circuit")));
    if (!circuit)
        return usage(QStringLiteral("--circuit には 1～8 を指定してください。"));
    request.circuit = *circuit;
    const std::optional<Bells::Target> target = Bells::parseTarget(values.value(QStringLiteral("--days")));
    if (!target)
        return usage(QStringLiteral("--days には 平日, 毎日, 日～土, P01～P99 のいずれかを指定してください。"));
    request.target = *target;
    const std::optional<QList<Bells::Period>> periods = Bells::parsePeriods(values.value(QStringLiteral("--periods")));
    if (!periods)
        return usage(QStringLiteral("--periods には重ならない時刻順の H:MM-H:MM を , で区切って指定してください。"));
    request.periods = *periods;
    if (values.contains(QStringLiteral("--pre-bell"))) {
        const std::optional<int> minutes = numberIn(values.value(QStringLiteral("--pre-bell")), 1, 59);
        if (!minutes)
            return usage(QStringLiteral("--pre-bell には 1～59 を指定してください。"));
        request.preBell = *minutes;
    }
    if (values.contains(QStringLiteral("--tunes"))) {
        request.tunes = tunes(values.value(QStringLiteral("--tunes")));
        if (!request.tunes)
            return usage(QStringLiteral("--tunes には 1～7 の曲番号を 開始,終了,予鈴 の順に指定してください。"));
    }
    return std::nullopt;
}

std::optional<Refusal> readFile(const QString& path)
{
    if (const auto refused = ProgramFileReader::ReadForCommand(path))
        return Refusal{refused->first, refused->second};
    return std::nullopt;
}

std::optional<Refusal> addBells(const QStringList& files, const Bells::Request& request, QTextStream& out)
{
    if (std::optional<Refusal> refused = readFile(files[0]))
        return refused;
    const Bells::Result result = Bells::AddBells(request);
    if (result.outcome == Bells::Outcome::Refused)
        return Refusal{ExitUsage, result.reason};
    if (result.outcome == Bells::Outcome::OverCapacity)
        return Refusal{ExitOverCapacity,
                       QStringLiteral("プログラム数が上限を超えるため追加しません（必要: %1  残り: %2）。")
                           .arg(result.needed)
                           .arg(result.remaining)};
    ProgramFileWriter::writeFileAtomically(files[1], ProgramFileWriter::buildProgramFile());
    out << QStringLiteral("追加: %1  既存のため追加せず: %2\n").arg(result.added).arg(result.skipped);
    return std::nullopt;
}

}  // namespace

int runBellsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList files;
    Bells::Request request;
    std::optional<Refusal> refused = parse(args, files, request);
    if (refused) {
        err << refused->reason << '\n';
        return ExitUsage;
    }
    try {
        ProgramStore::open(QStringLiteral(":memory:"));
        refused = addBells(files, request, out);
    } catch (const std::exception& failure) {
        refused = Refusal{ExitFileError, QString::fromUtf8(failure.what()).simplified()};
    }
    ProgramStore::close();
    if (!refused)
        return ExitDone;
    err << refused->reason << '\n';
    return refused->status;
}
