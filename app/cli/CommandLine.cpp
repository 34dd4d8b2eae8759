#include "app/cli/CommandLine.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char* const kUsage =
    "使い方: wzqxprog [コマンド]\n"
    "  (コマンドなし)          エディタを起動します\n"
    "  check FILE              プログラムファイルを検査します\n"
    "  normalize IN OUT        IN を読み込み、エディタと同じ形式で OUT に書き込みます\n"
    "  --help                  この説明を表示します\n"
    "  --version               バージョンを表示します\n";

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
        return 0;
    }
    if (command == QLatin1String("--version")) {
        out << "wzqxprog 1.28\n";
        return 0;
    }
    err << QString::fromUtf8(kUsage);
    return 64;
}
