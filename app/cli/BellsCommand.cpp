#include "app/cli/BellsCommand.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/SettingTable.h"
#include "week/Bells.h"

#include <QRegularExpression>
#include <optional>

namespace {

// What the command is asked, beyond the bells themselves.
struct Job {
    int type = TypeNone;  // --type: for a circuit IN has no programs of
    int pulse = 0;
};

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

std::optional<int> typeNamed(const QString& name)
{
    if (name == QStringLiteral("報時"))
        return TypeTimeSignal;
    if (name == QStringLiteral("チャイム"))
        return TypeChime;
    return std::nullopt;
}

std::optional<Refusal> parseType(const QMap<QString, QString>& values, Job& job)
{
    const bool typeGiven = values.contains(QStringLiteral("--type"));
    if (typeGiven != values.contains(QStringLiteral("--pulse")))
        return usageRefusal(QStringLiteral("--type と --pulse は一緒に指定してください。"));
    if (!typeGiven)
        return std::nullopt;
    const std::optional<int> type = typeNamed(values.value(QStringLiteral("--type")));
    if (!type)
        return usageRefusal(QStringLiteral("--type には 報時 か チャイム を指定してください。"));
    const std::optional<int> pulse = numberIn(values.value(QStringLiteral("--pulse")), 1, 59);
    if (!pulse)
        return usageRefusal(QStringLiteral("--pulse には 1～59 の秒数を指定してください。"));
    job.type = *type;
    job.pulse = *pulse;
    return std::nullopt;
}

std::optional<Refusal> parse(const CommandWords& words, Job& job, Bells::Request& request)
{
    const QMap<QString, QString>& values = words.values;
    if (std::optional<Refusal> refused = parseType(values, job))
        return refused;
    const std::optional<int> circuit = CircuitArgument(values.value(QStringLiteral("--circuit")));
    if (!circuit)
        return usageRefusal(QStringLiteral("--circuit には 1～8 を指定してください。"));
    request.circuit = *circuit;
    const std::optional<Bells::Target> target = Bells::parseTarget(values.value(QStringLiteral("--days")));
    if (!target)
        return usageRefusal(QStringLiteral("--days には 平日, 毎日, 日～土, P01～P99 のいずれかを指定してください。"));
    request.target = *target;
    const std::optional<QList<Bells::Period>> periods = Bells::parsePeriods(values.value(QStringLiteral("--periods")));
    if (!periods)
        return usageRefusal(
            QStringLiteral("--periods には重ならない時刻順の H:MM-H:MM を , で区切って指定してください。"));
    request.periods = *periods;
    if (values.contains(QStringLiteral("--pre-bell"))) {
        const std::optional<int> minutes = numberIn(values.value(QStringLiteral("--pre-bell")), 1, 59);
        if (!minutes)
            return usageRefusal(QStringLiteral("--pre-bell には 1～59 を指定してください。"));
        request.preBell = *minutes;
    }
    if (values.contains(QStringLiteral("--tunes"))) {
        request.tunes = tunes(values.value(QStringLiteral("--tunes")));
        if (!request.tunes)
            return usageRefusal(QStringLiteral("--tunes には 1～7 の曲番号を 開始,終了,予鈴 の順に指定してください。"));
    }
    return std::nullopt;
}

// A circuit IN has no programs of has no type in the file: --type gives
// it one; a --type or --pulse the file contradicts is refused.
std::optional<Refusal> settleCircuitType(ScheduleDocument& document, const Job& job, int circuit)
{
    const CircuitSetting setting = document.circuit(circuit);
    const QString name = ProgramTypeNames().value(setting.Program);
    if (setting.Program == TypeNone && job.type == TypeNone)
        return Refusal{ExitUsage,
                       QStringLiteral("回路 %1 のプログラムが IN にないため、種類がわかりません。"
                                      "--type 報時|チャイム と --pulse を指定してください。")
                           .arg(circuit)};
    if (job.type == TypeNone)
        return std::nullopt;
    if (setting.Program != TypeNone && (setting.Program != job.type || setting.PulseTime != job.pulse))
        return Refusal{ExitUsage,
                       QStringLiteral("回路 %1 は IN では%2の回路（%3秒）です。--type と --pulse が異なります。")
                           .arg(circuit)
                           .arg(name)
                           .arg(setting.PulseTime)};
    ScheduleModel::setCircuitType(document, circuit, job.type, job.pulse);
    return std::nullopt;
}

std::optional<Refusal> addBells(ScheduleDocument& document, const Job& job, const Bells::Request& request,
                                QTextStream& report)
{
    if (std::optional<Refusal> refused = settleCircuitType(document, job, request.circuit))
        return refused;
    const Bells::Result result = Bells::AddBells(document, request);
    if (result.outcome == Bells::Outcome::Refused)
        return Refusal{ExitUsage, result.reason};
    if (result.outcome == Bells::Outcome::OverCapacity)
        return Refusal{ExitOverCapacity,
                       QStringLiteral("プログラム数が上限を超えるため追加しません（必要: %1  残り: %2）。")
                           .arg(result.needed)
                           .arg(result.remaining)};
    report << QStringLiteral("追加: %1 件（%2 行）  既存のため追加せず: %3 件（%4 行）\n")
                  .arg(result.addedBells)
                  .arg(result.added)
                  .arg(result.skippedBells)
                  .arg(result.skipped);
    return std::nullopt;
}

class AddBellsEdit : public FileEdit
{
    std::optional<Refusal> prepare(const CommandWords& words) override { return parse(words, m_job, m_request); }
    std::optional<Refusal> change(ScheduleDocument& document, QTextStream& report) override
    {
        return addBells(document, m_job, m_request, report);
    }

    Job m_job;
    Bells::Request m_request;
};

}  // namespace

std::unique_ptr<FileEdit> bellsEdit()
{
    return std::make_unique<AddBellsEdit>();
}
