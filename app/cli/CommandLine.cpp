#include "app/cli/CommandLine.h"

#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/ProgramStore.h"
#include "whenruns/Commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char* const kUsage =
    "使い方: wzqxprog [コマンド]\n"
    "  (コマンドなし)          エディタを起動します\n"
    "  check FILE              プログラムファイルを検査します\n"
    "  normalize IN OUT        IN を読み込み、エディタと同じ形式で OUT に書き込みます\n"
    "  day FILE YYYY-MM-DD [--json]\n"
    "                          その日に各回路で実行されるプログラムを表示します\n"
    "  diff OLD NEW            二つのプログラムファイルの違いを回路ごとに表示します\n"
    "                          (終了コード: 0 同じ, 1 違いあり, 3 読み込めない)\n"
    "  --help                  この説明を表示します\n"
    "  --version               バージョンを表示します\n"
    "\n"
    "終了コード: 0 読込可, 1 データ不正, 2 プログラム数超過, 3 ファイルを読み書きできない,\n"
    "            64 コマンドの誤り\n";

enum ExitStatus {
    ExitAccepted = 0,
    ExitInvalid = 1,
    ExitOverCapacity = 2,
    ExitFileError = 3,
    ExitUsage = 64,
};

int exitStatusOf(ProgramFileReader::ReadStatus status)
{
    switch (status) {
    case ProgramFileReader::ReadStatus::Accepted:
        return ExitAccepted;
    case ProgramFileReader::ReadStatus::Invalid:
        return ExitInvalid;
    case ProgramFileReader::ReadStatus::OverCapacity:
        break;
    }
    return ExitOverCapacity;
}

QString oneLine(const QString& text)
{
    return QString(text).remove(QStringLiteral("\r\n"));
}

void printVerdict(QTextStream& out, QTextStream& err, const ProgramFileReader::ReadResult& result)
{
    out << oneLine(ProgramFileReader::messageText(result.status)) << '\n';
    if (result.status == ProgramFileReader::ReadStatus::Invalid) {
        err << QStringLiteral("%1 行目が不正です。\n").arg(result.refusedLine);
        return;
    }
    out << QStringLiteral("週間・特別: %1  年間(日付): %2  年間(毎年): %3\n")
               .arg(result.counts.week)
               .arg(result.counts.dated)
               .arg(result.counts.everyYear);
}

// Reads IN into a private in-memory store (never the editor's store) and,
// for normalize, writes OUT when IN was accepted.
int runFileCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool normalize = args.value(0) == QLatin1String("normalize");
    try {
        ProgramStore::open(QStringLiteral(":memory:"));
        const ProgramFileReader::ReadResult result = ProgramFileReader::ReadProgramFile(args.at(1));
        printVerdict(out, err, result);
        if (normalize && result.status == ProgramFileReader::ReadStatus::Accepted)
            ProgramFileWriter::writeFileAtomically(args.at(2), ProgramFileWriter::buildProgramFile());
        ProgramStore::close();
        return exitStatusOf(result.status);
    } catch (const std::exception& failure) {
        err << QString::fromUtf8(failure.what()) << '\n';
        ProgramStore::close();
        return ExitFileError;
    }
}

}  // namespace

int runCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << QString::fromUtf8(kUsage);
        return ExitAccepted;
    }
    if (command == QLatin1String("--version")) {
        out << "wzqxprog 1.28\n";
        return ExitAccepted;
    }
    if ((command == QLatin1String("check") && args.size() == 2)
        || (command == QLatin1String("normalize") && args.size() == 3))
        return runFileCommand(args, out, err);
    if (command == QLatin1String("day")
        && (args.size() == 3 || (args.size() == 4 && args.contains(QLatin1String("--json")))))
        return WhenRuns::runDayCommand(args.mid(1), out, err);
    if (command == QLatin1String("diff") && args.size() == 3)
        return WhenRuns::runDiffCommand(args.mid(1), out, err);
    err << QString::fromUtf8(kUsage);
    return ExitUsage;
}

bool wantsCommandLine(int argc, char** argv)
{
    if (argc < 2)
        return false;
    const QByteArray first(argv[1]);
    return !first.startsWith('-') || first == "--help" || first == "-h" || first == "--version";
}
