// The registry: every command word, what it takes, its usage lines and its
// exit statuses, and the body that runs it. A new command is one entry here
// and its body.
#include "app/cli/BellsCommand.h"
#include "app/cli/Command.h"
#include "app/cli/DatesCommand.h"
#include "app/cli/HolidaysCommand.h"
#include "app/cli/PlanCommand.h"
#include "app/cli/ProgramFileCommands.h"
#include "app/cli/ReviewCommand.h"
#include "app/cli/WhenRunsCommands.h"
#include "core/Version.h"

namespace {

const char* const kUsageHead = "使い方: wzqxprog [FILE | コマンド]\n"
                               "  (コマンドなし)          エディタを起動します\n"
                               "  FILE                    エディタを起動し、プログラムファイル FILE を読み込みます\n";

const char* const kUsageFoot =
    "\n"
    "OUT に - を指定すると標準出力に書き出します。書き込み中のファイルはほかの wzqxprog を待たせます。\n"
    "読み取り専用のファイルと、ほかの名前 (ハードリンク) もあるファイルは --force のときだけ置き換えます。\n"
    "\n"
    "終了コード: 0 読込可, 1 データ不正, 2 プログラム数超過,\n"
    "            3 ファイルまたは標準出力を読み書きできない, 64 コマンドまたはオプションの誤り\n";

// Where a command's summary starts when its synopsis leaves room.
constexpr int kSummaryColumn = 26;

int printHelp(const CommandWords&, QTextStream& out, QTextStream&)
{
    out << UsageText();
    return ExitDone;
}

int printVersion(const CommandWords&, QTextStream& out, QTextStream&)
{
    out << "wzqxprog " WZ_VERSION "\n";
    return ExitDone;
}

std::deque<Command> declare()
{
    const QStringList force{QStringLiteral("--force")};
    std::deque<Command> commands;  // its elements stay where they are as it grows
    Command& check = commands.emplace_back();
    check.words = QStringList{"check"};
    check.positional = 1;
    check.wrongWords = "%1 には FILE を一つ指定してください。";
    check.ownReason = true;
    check.help = {{"check FILE", "プログラムファイルを検査します"}};
    check.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    check.readOnly = runCheck;

    Command& normalize = commands.emplace_back();
    normalize.words = QStringList{"normalize"};
    normalize.flags = force;
    normalize.positional = 2;
    normalize.wrongWords = "%1 には IN と OUT を指定してください。";
    normalize.help = {{"normalize IN OUT [--force]", "IN を読み込み、エディタと同じ形式で OUT に書き込みます"}};
    normalize.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    normalize.edit = normalizeEdit;

    Command& holidays = commands.emplace_back();
    holidays.words = QStringList{"holidays"};
    holidays.options = QStringList{"--school-year"};
    holidays.help = {
        {"holidays YEAR", "YEAR 年 (2000〜2099) の祝日・休日を日付順に表示します"},
        {"holidays --school-year YEAR", "YEAR 年度 (2000〜2098、4 月 1 日〜翌年 3 月 31 日) の祝日・休日を表示します"}};
    holidays.exits = {ExitDone, ExitUsage};
    holidays.readOnly = runHolidays;

    // Its body is in the editor program (PdfCommand).
    Command& pdf = commands.emplace_back();
    pdf.words = QStringList{"pdf"};
    pdf.program = Program::Editor;
    pdf.options = QStringList{"--circuit", "--listing", "--year", "--school-year", "--names", "--paper"};
    pdf.flags = force;
    pdf.positional = 2;
    pdf.wrongWords = "FILE と OUT.pdf を指定してください。";
    pdf.help = {{"pdf FILE OUT.pdf --circuit N --listing week|special|year [--year YY|every] [--force]",
                 "一覧表を PDF にします (終了コード 4: 印刷するデータなし)"},
                {"pdf FILE OUT.pdf --circuit N --listing calendar --school-year YYYY\n"
                 "      [--names 1=短縮,2=行事] [--paper A4|A3] [--force]",
                 "年度の年間カレンダーを 1 ページの PDF にします (A4 横、--paper A3 で A3 横)"}};
    pdf.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitNothingToPrint, ExitUsage};

    Command& day = commands.emplace_back();
    day.words = QStringList{"day"};
    day.flags = QStringList{"--json"};
    day.positional = 2;
    day.wrongWords = "%1 には FILE と YYYY-MM-DD を指定してください（--json は任意）。";
    day.ownReason = true;
    day.help = {{"day FILE YYYY-MM-DD [--json]", "その日に各回路で実行されるプログラムを表示します"}};
    day.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    day.readOnly = runDayCommand;

    Command& bells = commands.emplace_back();
    bells.words = QStringList{"bells"};
    bells.options = QStringList{"--circuit", "--days", "--periods", "--pre-bell", "--tunes", "--type", "--pulse"};
    bells.flags = force;
    bells.positional = 2;
    bells.wrongWords = "IN と OUT を指定してください。";
    bells.help = {{"bells IN OUT --circuit N --days 平日|毎日|日|月|火|水|木|金|土|P01～P99\n"
                   "      --periods H:MM-H:MM[,H:MM-H:MM...] [--pre-bell M] [--tunes S,E,P]\n"
                   "      [--type 報時|チャイム --pulse 秒] [--force]",
                   "時程の開始・終了 (と予鈴) に報時・チャイムを加えて OUT に書き込みます\n"
                   "(--type: IN にその回路のプログラムがないときの種類と出力時間／起動時間)"}};
    bells.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    bells.edit = bellsEdit;

    Command& dates = commands.emplace_back();
    dates.words = QStringList{"dates"};
    dates.options = QStringList{"--circuit", "--from", "--to", "--rule", "--special"};
    dates.flags = QStringList{"--stop", "--keep", "--overwrite", "--force"};
    dates.positional = 2;
    dates.wrongWords = "IN と OUT を指定してください。";
    dates.help = {{"dates IN OUT --circuit N --from YYYY-MM-DD --to YYYY-MM-DD\n"
                   "      --rule 毎日|曜日:月,水|第N:金|最終:金|日:15 (--stop | --special M)\n"
                   "      [--keep | --overwrite] [--force]",
                   "期間のうち規則に当たる日を停止または特殊プログラムにして OUT に書き込みます\n"
                   "(設定済みで異なる日があるときは --keep か --overwrite が必要です)"}};
    dates.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    dates.edit = datesEdit;

    Command& plan = commands.emplace_back();
    plan.words = QStringList{"plan"};
    plan.options = QStringList{"--circuit", "--table", "--school-year", "--column"};
    plan.repeatable = QStringList{"--map"};
    plan.flags = QStringList{"--keep", "--overwrite", "--force"};
    plan.positional = 2;
    plan.wrongWords = "IN と OUT を指定してください。";
    plan.help = {{"plan IN OUT --circuit N --table FILE|- [--school-year YYYY] [--column 見出し|N]\n"
                  "      --map 日課=なし|停止|M ... [--keep | --overwrite] [--force]",
                  "行事予定の表 (CSV・TSV・.xlsx、- は標準入力) の日課ごとに日付指定を設定なし・停止・\n"
                  "特殊プログラムにして OUT に書き込みます (表にあるすべての日課に --map が必要です)"}};
    plan.exits = {ExitDone, ExitInvalid, ExitOverCapacity, ExitFileError, ExitUsage};
    plan.edit = planEdit;

    Command& diff = commands.emplace_back();
    diff.words = QStringList{"diff"};
    diff.positional = 2;
    diff.wrongWords = "%1 には OLD と NEW を指定してください。";
    diff.ownReason = true;
    diff.help = {{"diff OLD NEW",
                  "二つのプログラムファイルの違いを回路ごとに表示します\n"
                  "(終了コード: 0 同じ, 1 違いあり, 3 読み込めない)"}};
    diff.exits = {ExitDone, ExitDifferent, ExitFileError, ExitUsage};
    diff.readOnly = runDiffCommand;

    Command& review = commands.emplace_back();
    review.words = QStringList{"review"};
    review.options = QStringList{"--school-year", "--circuit"};
    review.flags = QStringList{"--json"};
    review.positional = 1;
    review.wrongWords = "%1 には FILE を一つ指定してください。";
    review.help = {{"review FILE [--school-year YYYY] [--circuit N] [--json]",
                    "年度の年間プログラムを点検します (年度の省略時は日付指定の多い年度)\n"
                    "(終了コード: 0 指摘なし, 1 指摘あり, 3 読み込めない, 4 回路が初期設定されていない)"}};
    review.exits = {ExitDone, ExitFindings, ExitFileError, ExitNothingToPrint, ExitUsage};
    review.readOnly = runReviewCommand;

    Command& help = commands.emplace_back();
    help.words = QStringList{"--help", "-h"};
    help.positional = 0;
    help.wrongWords = "%1 にはほかの語を指定できません。";
    help.ownReason = true;
    help.help = {{"--help", "この説明を表示します"}};
    help.exits = {ExitDone, ExitUsage};
    help.readOnly = printHelp;

    Command& version = commands.emplace_back();
    version.words = QStringList{"--version"};
    version.positional = 0;
    version.wrongWords = help.wrongWords;
    version.ownReason = true;
    version.help = {{"--version", "バージョンを表示します"}};
    version.exits = {ExitDone, ExitUsage};
    version.readOnly = printVersion;
    return commands;
}

// "  synopsis   summary" when the synopsis is one line that leaves room,
// else the synopsis lines and then the summary's, each at the summary column.
QString helpLines(const HelpForm& form)
{
    const QStringList synopsis = QString::fromUtf8(form.synopsis).split('\n');
    const QStringList summary = QString::fromUtf8(form.summary).split('\n');
    const QString indent(kSummaryColumn, ' ');
    QString text;
    int next = 0;
    if (synopsis.size() == 1 && synopsis[0].size() + 4 <= kSummaryColumn) {
        text = QStringLiteral("  ") + synopsis[0].leftJustified(kSummaryColumn - 2) + summary[0] + '\n';
        next = 1;
    } else {
        for (const QString& line : synopsis)
            text += QStringLiteral("  ") + line + '\n';
    }
    for (const QString& line : summary.mid(next))
        text += indent + line + '\n';
    return text;
}

}  // namespace

const std::deque<Command>& CommandRegistry()
{
    static const std::deque<Command> commands = declare();
    return commands;
}

const Command* CommandNamed(const QString& word)
{
    for (const Command& command : CommandRegistry())
        if (command.words.contains(word))
            return &command;
    return nullptr;
}

QString UsageText()
{
    QString text = QString::fromUtf8(kUsageHead);
    for (const Command& command : CommandRegistry())
        for (const HelpForm& form : command.help)
            text += helpLines(form);
    return text + QString::fromUtf8(kUsageFoot);
}
