#include "app/cli/CommandLine.h"

#include "app/cli/BellsCommand.h"
#include "app/cli/DatesCommand.h"
#include "core/CommandWords.h"
#include "core/Version.h"
#include "core/platform/Platform.h"
#include "holidays/HolidaysCommand.h"
#include "progfile/OutputLock.h"
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ScheduleDocument.h"
#include "whenruns/Commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <optional>

namespace {

const char* const kUsage =
    "使い方: wzqxprog [FILE | コマンド]\n"
    "  (コマンドなし)          エディタを起動します\n"
    "  FILE                    エディタを起動し、プログラムファイル FILE を読み込みます\n"
    "  check FILE              プログラムファイルを検査します\n"
    "  normalize IN OUT [--force]\n"
    "                          IN を読み込み、エディタと同じ形式で OUT に書き込みます\n"
    "  holidays YEAR           YEAR 年 (2000〜2099) の祝日・休日を日付順に表示します\n"
    "  holidays --school-year YEAR\n"
    "                          YEAR 年度 (2000〜2098、4 月 1 日〜翌年 3 月 31 日) の祝日・休日を表示します\n"
    "  pdf FILE OUT.pdf --circuit N --listing week|special|year [--year YY|every] [--force]\n"
    "                          一覧表を PDF にします (終了コード 4: 印刷するデータなし)\n"
    "  day FILE YYYY-MM-DD [--json]\n"
    "                          その日に各回路で実行されるプログラムを表示します\n"
    "  bells IN OUT --circuit N --days 平日|毎日|日|月|火|水|木|金|土|P01～P99\n"
    "        --periods H:MM-H:MM[,H:MM-H:MM...] [--pre-bell M] [--tunes S,E,P]\n"
    "        [--type 報時|チャイム --pulse 秒] [--force]\n"
    "                          時程の開始・終了 (と予鈴) に報時・チャイムを加えて OUT に書き込みます\n"
    "                          (--type: IN にその回路のプログラムがないときの種類と出力時間／起動時間)\n"
    "  dates IN OUT --circuit N --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "        --rule 毎日|曜日:月,水|第N:金|最終:金|日:15 (--stop | --special M)\n"
    "        [--keep | --overwrite] [--force]\n"
    "                          期間のうち規則に当たる日を停止または特殊プログラムにして OUT に書き込みます\n"
    "                          (設定済みで異なる日があるときは --keep か --overwrite が必要です)\n"
    "  diff OLD NEW            二つのプログラムファイルの違いを回路ごとに表示します\n"
    "                          (終了コード: 0 同じ, 1 違いあり, 3 読み込めない)\n"
    "  --help                  この説明を表示します\n"
    "  --version               バージョンを表示します\n"
    "\n"
    "OUT に - を指定すると標準出力に書き出します。書き込み中のファイルはほかの wzqxprog を待たせます。\n"
    "読み取り専用のファイルと、ほかの名前 (ハードリンク) もあるファイルは --force のときだけ置き換えます。\n"
    "\n"
    "終了コード: 0 読込可, 1 データ不正, 2 プログラム数超過,\n"
    "            3 ファイルまたは標準出力を読み書きできない, 64 コマンドまたはオプションの誤り\n";

enum ExitStatus {
    ExitAccepted = 0,
    ExitFileError = 3,
    ExitUsage = 64,
};

// A usage error: the reason on its own line, before the usage text.
int usage(QTextStream& err, const QString& reason)
{
    err << reason << '\n';
    return ExitUsage;
}

void printVerdict(QTextStream& report, QTextStream& err, const ProgramFileReader::ReadResult& result)
{
    report << ProgramFileReader::messageLine(result.status) << '\n';
    const QString detail = ProgramFileReader::detailText(result);
    if (!detail.isEmpty()) {
        err << detail << '\n';
        return;
    }
    report << QStringLiteral("週間・特殊: %1  年間(日付): %2  年間(毎年): %3\n")
                  .arg(result.counts.week)
                  .arg(result.counts.dated)
                  .arg(result.counts.everyYear);
}

// The file is read into memory only: no store is opened.
int checkFile(const QString& in, QTextStream& out, QTextStream& err)
{
    try {
        const ProgramFileReader::ReadResult verdict = ProgramFileReader::parseProgramFile(in).verdict;
        printVerdict(out, err, verdict);
        return ProgramFileReader::exitStatusOf(verdict.status);
    } catch (const std::exception& failure) {
        err << QString::fromUtf8(failure.what()) << '\n';
        return ExitFileError;
    }
}

// Reads IN into a private in-memory store (never the editor's store) and
// writes OUT when IN was accepted: under OUT's lock from before the read,
// and only while IN is as it was read. With OUT "-" the file goes to
// standard output and the verdict to standard error.
int readAndWrite(const QString& in, const QString& outPath, bool force, QTextStream& out, QTextStream& err)
{
    QTextStream& report = OutputLock::isStandardOutput(outPath) ? err : out;
    try {
        ScheduleDocument document(QStringLiteral(":memory:"));
        const OutputLock lock(outPath);
        const ProgramFileReader::ReadResult result = ProgramFileReader::ReadProgramFile(document, in);
        printVerdict(report, err, result);
        if (result.status == ProgramFileReader::ReadStatus::Accepted)
            ProgramFileWriter::writeCommandOutput(outPath, ProgramFileWriter::buildProgramFile(document),
                                                  {force, in, result.stamp, true, &lock, {}});
        return ProgramFileReader::exitStatusOf(result.status);
    } catch (const std::exception& failure) {
        err << QString::fromUtf8(failure.what()) << '\n';
        return ExitFileError;
    }
}

int runCheck(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2)
        return usage(err, QStringLiteral("check には FILE を一つ指定してください。"));
    return checkFile(args.at(1), out, err);
}

int runNormalize(const QStringList& args, QTextStream& out, QTextStream& err)
{
    CommandWords words;
    if (const std::optional<QString> refused = SplitCommandWords(args, {}, words, {QStringLiteral("--force")}))
        return usage(err, *refused);
    if (words.positional.size() != 2)
        return usage(err, QStringLiteral("normalize には IN と OUT を指定してください。"));
    return readAndWrite(words.positional[0], words.positional[1], !words.flags.isEmpty(), out, err);
}

int printHolidays(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString schoolYear = QStringLiteral("--school-year");
    CommandWords words;
    if (const std::optional<QString> refused = SplitCommandWords(args, {schoolYear}, words))
        return usage(err, *refused);
    if (words.positional.size() + words.values.size() != 1)
        return usage(err, QStringLiteral("holidays には年 (YEAR または --school-year YEAR) を一つ指定してください。"));
    const bool printed = words.values.contains(schoolYear)
        ? PrintSchoolYearHolidays(words.values.value(schoolYear), out, err)
        : PrintHolidays(words.positional.constFirst(), out, err);
    return printed ? ExitAccepted : ExitUsage;
}

int runDay(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool json = args.size() == 4 && args.contains(QLatin1String("--json"));
    if (args.size() != 3 && !json)
        return usage(err, QStringLiteral("day には FILE と YYYY-MM-DD を指定してください（--json は任意）。"));
    return WhenRuns::runDayCommand(args.mid(1), out, err);
}

int runDiff(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 3)
        return usage(err, QStringLiteral("diff には OLD と NEW を指定してください。"));
    return WhenRuns::runDiffCommand(args.mid(1), out, err);
}

int printHelp(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usage(err, args[0] + QStringLiteral(" にはほかの語を指定できません。"));
    out << QString::fromUtf8(kUsage);
    return ExitAccepted;
}

int printVersion(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usage(err, args[0] + QStringLiteral(" にはほかの語を指定できません。"));
    out << "wzqxprog " WZ_VERSION "\n";
    return ExitAccepted;
}

// The command words and what each runs (with the whole argument list,
// command word first). A command returns ExitUsage for arguments it does
// not take; the usage text is then printed for it. A command that draws
// (no `run`) is given to the program's DrawingCommand.
struct Command {
    const char* word;
    int (*run)(const QStringList& args, QTextStream& out, QTextStream& err);
};

const Command kCommands[] = {
    {"check", runCheck},         {"normalize", runNormalize},
    {"holidays", printHolidays}, {"day", runDay},
    {"diff", runDiff},           {"pdf", nullptr},
    {"--help", printHelp},       {"-h", printHelp},
    {"--version", printVersion}, {"bells", runBellsCommand},
    {"dates", runDatesCommand},
};

const Command* commandFor(const QByteArray& word)
{
    for (const Command& command : kCommands)
        if (word == command.word)
            return &command;
    return nullptr;
}

// Qt's own options, which QApplication takes out of the arguments; the
// first group takes a value ("-platform offscreen"), which may also be
// joined with "=" ("-style=fusion"). Qt reads "--x" as "-x".
const char* const kQtOptionsWithValue[] = {
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-display", "-geometry",
    "-style",       "-stylesheet",         "-qmljsdebugger",
};
const char* const kQtFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb"};

enum class QtOption { None, Flag, WithValue, WithJoinedValue };

QtOption qtOptionOf(QByteArray arg)
{
    if (arg.startsWith("--"))
        arg.remove(0, 1);
    for (const char* flag : kQtFlags)
        if (arg == flag)
            return QtOption::Flag;
    for (const char* option : kQtOptionsWithValue) {
        if (arg == option)
            return QtOption::WithValue;
        if (arg.startsWith(QByteArray(option) + '='))
            return QtOption::WithJoinedValue;
    }
    return QtOption::None;
}

// The arguments after the program name without Qt's own options; nullopt
// when a Qt option lacks its value.
std::optional<QStringList> ownArguments(int argc, char** argv)
{
    const QStringList typed = Platform::commandArguments(argc, argv);
    QStringList own;
    for (int i = 1; i < argc; ++i) {
        switch (qtOptionOf(argv[i])) {
        case QtOption::WithValue:
            if (++i == argc)
                return std::nullopt;
            break;
        case QtOption::Flag:
        case QtOption::WithJoinedValue:
            break;
        case QtOption::None:
            own << typed.value(i - 1);
            break;
        }
    }
    return own;
}

// One word that is neither a command word nor an option: a file to open.
bool isFileToOpen(const QStringList& own)
{
    if (own.size() != 1 || own.constFirst().isEmpty() || own.constFirst().startsWith(QLatin1Char('-')))
        return false;
    const QByteArray word = own.constFirst().toLocal8Bit();
    return !commandFor(word);
}

// Qt's platforms that draw through a display server: "xcb", "wayland",
// "wayland-egl", each maybe with its options ("xcb:nomitshm").
bool drawsThroughDisplayServer(const QByteArray& platform)
{
    const QByteArray name = platform.split(':').constFirst();
    return name == "xcb" || name.startsWith("wayland");
}

}  // namespace

int runCommandLine(int argc, char** argv, DrawingCommand drawingCommand)
{
    // A command takes none of Qt's options: they stay among its arguments.
    const QStringList args = Platform::commandArguments(argc, argv);
    const Command* command = commandFor(args.value(0).toLocal8Bit());
    if (command && !command->run)
        return drawingCommand(argc, argv);
    // A closed standard output is a failure of what is printed, and so is a
    // reader that went away (`| head`): reported with 3, not a silent death.
    Platform::prepareStandardStreams();
    QCoreApplication app(argc, argv);
    QString printed;
    QTextStream out(&printed);
    QTextStream err(stderr);
    const int status = command ? command->run(args, out, err)
                               : usage(err, QStringLiteral("不明なコマンドまたはオプションです: ") + args.value(0));
    if (status == ExitUsage)
        err << QString::fromUtf8(kUsage);
    out.flush();
    const int failure = printed.isEmpty() ? 0 : Platform::writeStandardOutput(printed.toUtf8());
    if (failure == 0)
        return status;
    err << QStringLiteral("wzqxprog: 標準出力に書き込めません。") << Platform::reason(failure) << '\n';
    return ExitFileError;
}

// Decided before any application object exists: without a display a GUI
// application aborts, so an unknown option must never get that far.
// Qt's own options and a single file start the editor. A command word, any
// other option and anything more go to the command line, which runs the
// command or prints the usage text and ends with 64.
bool wantsCommandLine(int argc, char** argv)
{
    const std::optional<QStringList> own = ownArguments(argc, argv);
    return !own || !(own->isEmpty() || isFileToOpen(*own));
}

QString editorFileArgument(int argc, char** argv)
{
    const std::optional<QStringList> own = ownArguments(argc, argv);
    return own && isFileToOpen(*own) ? own->constFirst() : QString();
}

// Without a display server to reach, Qt's xcb and wayland platforms abort
// the process. The platform is "-platform X", else QT_QPA_PLATFORM (a list
// "a;b" is tried in order), else Qt's default for the system.
bool editorLacksDisplay(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qtOptionOf(argv[i]) != QtOption::WithValue)
            continue;
        const QByteArray option = QByteArray(argv[i]).replace("--", "-");
        const QByteArray value = argv[++i];
        if (option == "-display")
            return false;
        if (option == "-platform")
            platforms = value;
    }
    if (platforms.isEmpty())
        platforms = Platform::defaultQtPlatform();
    for (const QByteArray& platform : platforms.split(';'))
        if (!drawsThroughDisplayServer(platform))
            return false;
    return true;
}
