#include "app/cli/DatesCommand.h"

#include "core/DateRules.h"
#include "special/SpecialPrograms.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "year/YearEntries.h"

#include <QRegularExpression>
#include <optional>

namespace {

struct Job {
    int circuit = 0;
    QDate from, to;
    DateRules::Rule rule;
    int special = 0;  // 0 = 停止
    std::optional<YearEntries::OnExisting> existing;
    QList<QDate> days;  // the rule's days in the span
};

// YYYY-MM-DD of a day that exists, within the years the calendar offers.
std::optional<Refusal> dateArgument(const QString& option, const QString& text, QDate& date)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const int year = text.left(4).toInt();
    if (!shape.match(text).hasMatch() || year < 2000 || year > 2099)
        return usageRefusal(
            QStringLiteral("%1 には 2000-01-01～2099-12-31 の日付を YYYY-MM-DD で指定してください。").arg(option));
    date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return usageRefusal(QStringLiteral("%1 の %2 はない日付です。").arg(option, text));
    return std::nullopt;
}

std::optional<Refusal> parseSpan(const QMap<QString, QString>& values, Job& job)
{
    const QString from = QStringLiteral("--from"), to = QStringLiteral("--to");
    if (std::optional<Refusal> refused = dateArgument(from, values.value(from), job.from))
        return refused;
    if (std::optional<Refusal> refused = dateArgument(to, values.value(to), job.to))
        return refused;
    if (job.to < job.from)
        return usageRefusal(QStringLiteral("--to には --from 以降の日付を指定してください。"));
    return std::nullopt;
}

std::optional<Refusal> parseWhat(const QMap<QString, QString>& values, const QStringList& flags, Job& job)
{
    const bool stop = flags.contains(QStringLiteral("--stop"));
    if (stop == values.contains(QStringLiteral("--special")))
        return usageRefusal(QStringLiteral("--stop か --special M のどちらか一つを指定してください。"));
    if (!stop) {
        static const QRegularExpression number(QStringLiteral("^[1-9][0-9]?$"));
        const QString special = values.value(QStringLiteral("--special"));
        if (!number.match(special).hasMatch())
            return usageRefusal(QStringLiteral("--special には 1～99 の特殊番号を指定してください。"));
        job.special = special.toInt();
    }
    const bool keep = flags.contains(QStringLiteral("--keep"));
    const bool overwrite = flags.contains(QStringLiteral("--overwrite"));
    if (keep && overwrite)
        return usageRefusal(QStringLiteral("--keep と --overwrite は一緒に指定できません。"));
    if (keep || overwrite)
        job.existing = keep ? YearEntries::OnExisting::Keep : YearEntries::OnExisting::Overwrite;
    return std::nullopt;
}

std::optional<Refusal> parse(const CommandWords& words, Job& job)
{
    const std::optional<int> circuit = CircuitArgument(words.values.value(QStringLiteral("--circuit")));
    if (!circuit)
        return usageRefusal(QStringLiteral("--circuit には 1～8 を指定してください。"));
    job.circuit = *circuit;
    if (std::optional<Refusal> refused = parseSpan(words.values, job))
        return refused;
    const std::optional<DateRules::Rule> rule = DateRules::ParseRule(words.values.value(QStringLiteral("--rule")));
    if (!rule)
        return usageRefusal(QStringLiteral("--rule には 毎日, 曜日:月,水, 第N:金 (N は 1～5), 最終:金, 日:15 "
                                           "のいずれかの形で指定してください。"));
    job.rule = *rule;
    if (std::optional<Refusal> refused = parseWhat(words.values, words.flags, job))
        return refused;
    job.days = DateRules::Expand(job.rule, job.from, job.to);
    if (job.days.isEmpty())
        return usageRefusal(
            QStringLiteral("期間 %1～%2 に該当する日がありません（%3）。")
                .arg(job.from.toString(Qt::ISODate), job.to.toString(Qt::ISODate), DateRules::RuleText(job.rule)));
    return std::nullopt;
}

// What IN holds must allow the job: a circuit with year programs, a special
// number with programs, and a choice for days that hold another entry.
std::optional<Refusal> checkAgainstIn(ScheduleDocument& document, const Job& job, const QList<QDate>& days)
{
    const int type = document.circuit(job.circuit).Program;
    if (type < TypeTimeSignal || type > TypeTimer)
        return usageRefusal(QStringLiteral("回路 %1 は年間プログラムを設定できる回路ではありません"
                                           "（報時・チャイム・タイマの回路で、IN にプログラムがあるもの）。")
                                .arg(job.circuit));
    if (job.special != 0 && !SpecialPrograms::SpecialNumbersInUse(document, job.circuit).contains(job.special))
        return usageRefusal(
            QStringLiteral("回路 %1 の特殊番号 %2 のプログラムが IN にありません。").arg(job.circuit).arg(job.special));
    if (job.existing)
        return std::nullopt;
    const QMap<QDate, QList<int>> held = YearEntries::DatedEntriesOn(document, job.circuit, days);
    QStringList others;
    for (auto entry = held.cbegin(); entry != held.cend(); ++entry)
        if (entry.value() != QList<int>{job.special})
            others << entry.key().toString(Qt::ISODate) + QLatin1Char(' ') + YearEntries::EntriesText(entry.value());
    if (others.isEmpty())
        return std::nullopt;
    return usageRefusal(QStringLiteral("設定済みの年間プログラムと異なる日が %1 日あります（%2%3）。"
                                       "--keep（そのままにする）か --overwrite（上書きする）を指定してください。")
                            .arg(others.size())
                            .arg(others.mid(0, 3).join(QStringLiteral("、")))
                            .arg(others.size() > 3 ? QStringLiteral(" ほか") : QString()));
}

std::optional<Refusal> setDates(ScheduleDocument& document, const Job& job, QTextStream& report)
{
    const QList<QDate>& days = job.days;
    if (std::optional<Refusal> refused = checkAgainstIn(document, job, days))
        return refused;
    const YearEntries::OnExisting existing = job.existing.value_or(YearEntries::OnExisting::Overwrite);
    const YearEntries::DaysPlan plan = YearEntries::PlanDatedDays(document, job.circuit, days, job.special);
    if (!YearEntries::WriteDatedDays(document, job.circuit, days, job.special, existing))
        return Refusal{ExitOverCapacity,
                       QStringLiteral("年間プログラムの設定可能数%1を超えるため設定しません"
                                      "（新たに設定する日: %2  残り: %3）。")
                           .arg(YearCapacity)
                           .arg(plan.toAdd)
                           .arg(RemainingYearCapacity(document))};
    const bool keep = existing == YearEntries::OnExisting::Keep;
    report << QStringLiteral("%1: %2 日  新規: %3  置き換え: %4  そのまま: %5\n")
                  .arg(DateRules::RuleText(job.rule))
                  .arg(days.size())
                  .arg(plan.toAdd)
                  .arg(keep ? 0 : plan.toReplace)
                  .arg(plan.unchanged + (keep ? plan.toReplace : 0));
    return std::nullopt;
}

class SetDatesEdit : public FileEdit
{
    std::optional<Refusal> prepare(const CommandWords& words) override { return parse(words, m_job); }
    std::optional<Refusal> change(ScheduleDocument& document, QTextStream& report) override
    {
        return setDates(document, m_job, report);
    }

    Job m_job;
};

}  // namespace

std::unique_ptr<FileEdit> datesEdit()
{
    return std::make_unique<SetDatesEdit>();
}
