#include "settings/CircuitRules.h"

#include "core/NumericText.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/SettingTable.h"
#include "store/StoreRoutines.h"

#include <algorithm>
#include <optional>

namespace CircuitRules {

namespace {

bool isType(int type)
{
    return type >= TypeTimeSignal && type <= TypeRepeat;
}

}  // namespace

QString typeTip(int type)
{
    switch (type) {
    case TypeTimeSignal:
        return QStringLiteral("報時プログラム･･･指定時刻に１分以内の出力をします。");
    case TypeChime:
        return QStringLiteral("チャイムプログラム･･･指定時刻に内蔵チャイムを鳴らします。");
    case TypeTimer:
        return QStringLiteral("タイマプログラム･･･１分以上の期間の出力をします。");
    case TypeRepeat:
        return QStringLiteral("繰返しプログラム･･･ある一定の期間、１分以内の出力を指定した間隔で繰返します。");
    default:
        return QStringLiteral("プログラムの種類を 報時、チャイム、タイマ、繰返しの中から選択します。");
    }
}

QString valueTip(int type)
{
    switch (type) {
    case TypeTimeSignal:
    case TypeRepeat:
        return QStringLiteral("1～59秒の範囲で出力時間を入力します。");
    case TypeChime:
        return QStringLiteral("1～59秒の範囲でチャイム起動時間を入力します。");
    case TypeTimer:
        return QStringLiteral("0～59秒の範囲で設定期間の終了時刻の秒を入力します。");
    default:
        return QStringLiteral("プログラムの種類により、出力時間、チャイム起動時間等を入力します。");
    }
}

QString chimeTip()
{
    return QStringLiteral("出力スイッチを手動に倒した時に演奏する曲目を指定します");
}

QString title()
{
    return QStringLiteral("初期設定");
}

QString typeLockedMessage()
{
    return QStringLiteral("設定済みのプログラムがあるため、回路のプログラムの種類は変更できません。");
}

QString valueProblem(int type, const QString& text)
{
    if (!isType(type))
        return QString();
    const std::optional<double> value = NumericText::toReal(text);
    if (!value)
        return NumericText::invalidValueMessage(1, 59);
    // A timer's value is the seconds of an end time, so 0 is a real choice;
    // for the other types it is a duration.
    const int lo = type == TypeTimer ? 0 : 1;
    const bool realFits = type == TypeTimer ? *value >= 0 : *value > 0;
    const std::optional<int> stored = NumericText::toInteger(text);
    if (!realFits || *value > 59 || !stored || *stored < lo || *stored > 59)
        return NumericText::rangeLine(lo, 59);
    return QString();
}

QString chimeProblem(const QString& text)
{
    return NumericText::inRange(text, 1, 7) ? QString() : NumericText::invalidValueMessage(1, 7);
}

bool typeChangeRefused(ScheduleDocument& document, int circuit, int type)
{
    const int stored = document.circuit(circuit).Program;
    return stored != TypeNone && type != stored && HasPrograms(document, circuit);
}

std::array<CircuitSetting, 8> readSettingTable(ScheduleDocument& document)
{
    const SettingTable table = ReadSettingTable(document);
    std::array<CircuitSetting, 8> settings;
    std::copy(table.begin() + 1, table.end(), settings.begin());
    return settings;
}

void writeSettings(ScheduleDocument& document, std::array<CircuitSetting, 8> settings)
{
    for (CircuitSetting& setting : settings)
        if (!isType(setting.Program)) {
            setting.Program = TypeNone;
            setting.PulseTime = 0;
        }
    // The commit reloads the document's circuit settings before it announces the change.
    ScheduleModel::setCircuits(document, settings);
}

}  // namespace CircuitRules
