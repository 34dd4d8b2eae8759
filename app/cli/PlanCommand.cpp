#include "app/cli/PlanCommand.h"

#include "core/platform/Platform.h"
#include "plan/PlanChanges.h"
#include "plan/SchoolPlan.h"
#include "plan/TextTable.h"
#include "special/SpecialPrograms.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "year/YearEntries.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace {

using Plan::DutyChoice;

struct Job {
    int circuit = 0;
    Plan::SchoolPlan plan;
    Plan::MapWords map;
    std::optional<Plan::OnExisting> existing;
    QList<Plan::NameToSet> namesToSet;  // known once the change is made
};

// The table's cells: a file that cannot be read is a file error (3), what
// it holds refused is invalid data (1).
std::optional<Refusal> readTable(const QString& source, Plan::Grid& grid)
{
    const bool standardInput = source == QLatin1String("-");
    const QString shown = standardInput ? QStringLiteral("標準入力") : source;
    QByteArray bytes;
    qint64 size = 0;
    try {
        if (standardInput) {
            bytes = Platform::readStandardInput(Plan::kMaxFileBytes);
            size = bytes.size();
        } else {
            const Platform::ReadFile file = Platform::readRegularFile(source, Plan::kMaxFileBytes);
            bytes = file.bytes;
            size = file.size;
        }
    } catch (const FileError& failure) {
        return Refusal{ExitFileError, QString::fromUtf8(failure.what())};
    }
    if (size > Plan::kMaxFileBytes)
        return Refusal{ExitInvalid,
                       QStringLiteral("%1: ファイルが大きすぎます（上限 %2 バイト）。")
                           .arg(shown, Plan::grouped(Plan::kMaxFileBytes))};
    try {
        grid = Plan::gridFromBytes(bytes, standardInput ? QString() : source);
    } catch (const Plan::TableError& error) {
        return Refusal{ExitInvalid, shown + QStringLiteral(": ") + error.message()};
    }
    return std::nullopt;
}

std::optional<Refusal> parseOptions(const CommandWords& words, Job& job, Plan::PlanOptions& options)
{
    const std::optional<int> circuit = CircuitArgument(words.values.value(QStringLiteral("--circuit")));
    if (!circuit)
        return usageRefusal(QStringLiteral("--circuit には 1～8 を指定してください。"));
    job.circuit = *circuit;
    const QString schoolYear = QStringLiteral("--school-year");
    if (words.values.contains(schoolYear)) {
        static const QRegularExpression year(QStringLiteral("^20\\d\\d$"));
        const QString text = words.values.value(schoolYear);
        if (!year.match(text).hasMatch() || text.toInt() > 2098)
            return usageRefusal(QStringLiteral("--school-year には 2000～2098 の年度を指定してください。"));
        options.schoolYear = text.toInt();
    }
    const QString column = QStringLiteral("--column");
    if (words.values.contains(column)) {
        options.column = Plan::ColumnChoice::fromArgument(words.values.value(column));
        if (!options.column.isSet() || options.column.number == 0)
            return usageRefusal(
                QStringLiteral("--column には 日課の列の見出しか、1 から数えた列番号を指定してください。"));
    }
    const bool keep = words.flags.contains(QStringLiteral("--keep"));
    const bool overwrite = words.flags.contains(QStringLiteral("--overwrite"));
    if (keep && overwrite)
        return usageRefusal(QStringLiteral("--keep と --overwrite は一緒に指定できません。"));
    if (keep || overwrite)
        job.existing = keep ? Plan::OnExisting::Keep : Plan::OnExisting::Overwrite;
    if (!words.values.contains(QStringLiteral("--table")))
        return usageRefusal(QStringLiteral("--table に行事予定の表のファイルを指定してください（- は標準入力）。"));
    return std::nullopt;
}

// The options, then the table and the maps against it: all before IN is read.
std::optional<Refusal> parse(const CommandWords& words, Job& job)
{
    Plan::PlanOptions options;
    if (std::optional<Refusal> refused = parseOptions(words, job, options))
        return refused;
    const QString source = words.values.value(QStringLiteral("--table"));
    Plan::Grid grid;
    if (std::optional<Refusal> refused = readTable(source, grid))
        return refused;
    try {
        job.plan = Plan::readPlan(grid, options);
    } catch (const Plan::TableError& error) {
        const QString shown = source == QLatin1String("-") ? QStringLiteral("標準入力") : source;
        return Refusal{ExitInvalid, shown + QStringLiteral(": ") + error.message()};
    }
    job.map = Plan::readMapWords(words.lists.value(QStringLiteral("--map")), job.plan);
    if (job.map.refusal)
        return usageRefusal(*job.map.refusal);
    QStringList unchosen;
    for (const Plan::NameCount& name : job.plan.names)
        if (!job.map.choices.contains(SpecialNames::foldName(name.name)))
            unchosen << name.name;
    if (!unchosen.isEmpty())
        return usageRefusal(Plan::unchosenText(unchosen));
    return std::nullopt;
}

QString choiceText(const DutyChoice& choice)
{
    return choice.kind == DutyChoice::Clear ? QStringLiteral("設定なし") : YearEntries::EntryText(*choice.stored());
}

// What IN holds must allow the job: a circuit with year programs and, for
// every special number mapped to, its programs.
std::optional<Refusal> checkAgainstIn(ScheduleDocument& document, const Job& job)
{
    const int type = document.circuit(job.circuit).Program;
    if (type < TypeTimeSignal || type > TypeTimer)
        return usageRefusal(QStringLiteral("回路 %1 は年間プログラムを設定できる回路ではありません"
                                           "（報時・チャイム・タイマの回路で、IN にプログラムがあるもの）。")
                                .arg(job.circuit));
    const QList<int> inUse = SpecialPrograms::SpecialNumbersInUse(document, job.circuit);
    for (const Plan::NameCount& name : job.plan.names) {
        const DutyChoice choice = job.map.choices.value(SpecialNames::foldName(name.name));
        if (choice.kind == DutyChoice::Special && !inUse.contains(choice.special))
            return usageRefusal(QStringLiteral("回路 %1 の特殊番号 %2 のプログラムが IN にありません。")
                                    .arg(job.circuit)
                                    .arg(choice.special));
    }
    return std::nullopt;
}

std::optional<Refusal> conflictRefusal(const QList<Plan::Conflict>& conflicts)
{
    QStringList days;
    for (const Plan::Conflict& conflict : conflicts.mid(0, 3))
        days << conflict.date.toString(Qt::ISODate) + QLatin1Char(' ') + YearEntries::EntriesText(conflict.held);
    return usageRefusal(QStringLiteral("設定済みの年間プログラムと異なる日が %1 日あります（%2%3）。"
                                       "--keep（そのままにする）か --overwrite（上書きする）を指定してください。")
                            .arg(conflicts.size())
                            .arg(days.join(QStringLiteral("、")))
                            .arg(conflicts.size() > 3 ? QStringLiteral(" ほか") : QString()));
}

// Cleared days first, so that the room they leave is there for the days
// that get an entry.
bool writeDays(ScheduleDocument& document, int circuit, const QList<Plan::DayWrite>& writes)
{
    QList<QDate> cleared;
    QMap<int, QList<QDate>> bySpecial;
    for (const Plan::DayWrite& write : writes) {
        if (write.choice.kind == DutyChoice::Clear)
            cleared << write.date;
        else
            bySpecial[*write.choice.stored()] << write.date;
    }
    if (!cleared.isEmpty())
        YearEntries::ClearDatedDays(document, circuit, cleared);
    for (auto days = bySpecial.cbegin(); days != bySpecial.cend(); ++days)
        if (!YearEntries::WriteDatedDays(document, circuit, days.value(), days.key(),
                                         YearEntries::OnExisting::Overwrite))
            return false;
    return true;
}

std::optional<Refusal> setPlan(ScheduleDocument& document, Job& job, QTextStream& report)
{
    if (std::optional<Refusal> refused = checkAgainstIn(document, job))
        return refused;
    QList<QDate> days;
    for (const Plan::PlanDay& day : job.plan.days)
        days << day.date;
    Plan::CurrentEntries current;
    const QMap<QDate, QList<int>> held = YearEntries::DatedEntriesOn(document, job.circuit, days);
    for (auto day = held.cbegin(); day != held.cend(); ++day)
        for (int special : day.value())
            current.entries << Plan::DatedEntry{day.key(), special};
    current.rowsInAll = YearCapacity - RemainingYearCapacity(document);
    const SpecialNames::Names names = SpecialNames::Names::read(SpecialNames::defaultPath());
    const Plan::Changes changes = Plan::planChanges(job.plan, job.map.choices, current,
                                                    job.existing.value_or(Plan::OnExisting::Overwrite), names.names());
    if (!changes.conflicts.isEmpty() && !job.existing)
        return conflictRefusal(changes.conflicts);
    int added = 0;
    for (const Plan::NameChanges& name : changes.names)
        added += name.added;
    const Refusal overCapacity{ExitOverCapacity,
                               QStringLiteral("年間プログラムの設定可能数%1を超えるため設定しません"
                                              "（新たに設定する日: %2  残り: %3）。")
                                   .arg(YearCapacity)
                                   .arg(added)
                                   .arg(std::max(0, RemainingYearCapacity(document)))};
    if (changes.overCapacity() || !writeDays(document, job.circuit, changes.writes))
        return overCapacity;
    job.namesToSet = changes.namesToSet;
    for (const Plan::NameChanges& name : changes.names)
        report << QStringLiteral("%1 (%2 日) → %3  新規: %4  置き換え: %5  そのまま: %6  消去: %7\n")
                      .arg(name.name)
                      .arg(name.days)
                      .arg(choiceText(*name.choice))
                      .arg(name.added)
                      .arg(name.replaced)
                      .arg(name.kept)
                      .arg(name.cleared);
    report << QStringLiteral("年間プログラムの残り: %1\n").arg(std::max(0, RemainingYearCapacity(document)));
    return std::nullopt;
}

// The user's own names: the special numbers that had none get their 日課's
// name, and each 日課's choice is remembered for the editor's 行事予定から設定.
// The program file is what matters, so a names file that cannot be written
// is a warning.
void keepNames(const Job& job, QTextStream& err)
{
    const QString path = SpecialNames::defaultPath();
    SpecialNames::Names names = SpecialNames::Names::read(path);
    const QMap<int, QString> namesBefore = names.names();
    const QMap<QString, DutyChoice> choicesBefore = names.choices();
    for (const Plan::NameToSet& name : job.namesToSet)
        if (names.name(name.special).isEmpty())
            names.setName(name.special, name.name);
    for (const Plan::NameCount& name : job.plan.names)
        names.setChoice(name.name, job.map.choices.value(SpecialNames::foldName(name.name)));
    if (names.names() == namesBefore && names.choices() == choicesBefore)
        return;
    if (const std::optional<QString> failed = names.write(path))
        err << QStringLiteral(
            "警告: 特殊番号の名前と日課の指定を保存できません（プログラムファイルは書き込みました）: ")
            << *failed << '\n';
}

class SetPlanEdit : public FileEdit
{
    std::optional<Refusal> prepare(const CommandWords& words) override { return parse(words, m_job); }
    std::optional<Refusal> read(const ProgramFileReader::ReadResult& result, QTextStream& report,
                                QTextStream& err) override
    {
        std::optional<Refusal> refused = FileEdit::read(result, report, err);
        if (!refused)
            for (const QString& warning : m_job.map.warnings)
                err << QStringLiteral("警告: ") << warning << '\n';
        return refused;
    }
    std::optional<Refusal> change(ScheduleDocument& document, QTextStream& report) override
    {
        return setPlan(document, m_job, report);
    }
    void written(QTextStream& err) override
    {
        try {
            keepNames(m_job, err);
        } catch (const std::exception& failure) {
            err << QStringLiteral("警告: ") << QString::fromUtf8(failure.what()) << '\n';
        }
    }

    Job m_job;
};

}  // namespace

std::unique_ptr<FileEdit> planEdit()
{
    return std::make_unique<SetPlanEdit>();
}
