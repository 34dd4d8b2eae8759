#include "app/cli/CommandLine.h"

#include "app/cli/Command.h"
#include "core/platform/Platform.h"

#include <QCoreApplication>
#include <QTextStream>

#include <optional>

namespace {

// A usage error: the reason on its own line, before the usage text.
int usage(QTextStream& err, const QString& reason)
{
    err << reason << '\n';
    return ExitUsage;
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
    return !CommandNamed(own.constFirst());
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
    const Command* command = CommandNamed(args.value(0));
    if (command && command->program == Program::Editor)
        return drawingCommand(argc, argv);
    // A closed standard output is a failure of what is printed, and so is a
    // reader that went away (`| head`): reported with 3, not a silent death.
    Platform::prepareStandardStreams();
    QCoreApplication app(argc, argv);
    // The editor's name: its data folder holds the user's names of special numbers.
    QCoreApplication::setApplicationName(QStringLiteral("wzqxprog"));
    QString printed;
    QTextStream out(&printed);
    QTextStream err(stderr);
    const int status = command ? RunCommand(*command, args, out, err)
                               : usage(err, QStringLiteral("不明なコマンドまたはオプションです: ") + args.value(0));
    if (status == ExitUsage)
        err << UsageText();
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
