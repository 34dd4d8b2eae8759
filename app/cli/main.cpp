// The commands program (wzqxprog-commands; wzqxprog.com on Windows): the
// commands that need no drawing, linked to Qt Core and Qt SQL alone, so
// that a check starts about as fast as a bare Qt program. The editor and
// `pdf` are run by the editor program beside it (Qt GUI and Widgets) in its
// place, with the same arguments, standard streams and exit status.
#include "app/cli/CommandLine.h"
#include "app/cli/ExitStatus.h"
#include "core/platform/Launch.h"
#include "core/platform/Platform.h"

#include <QDir>
#include <QTextStream>

namespace {

// Only the editor program beside this one, by its full path: none of that
// name in the current folder or on the search path.
int runEditorProgram(int, char** argv)
{
    const std::string program = Launch::ownFolder() + "/" WZ_EDITOR_PROGRAM;
    std::string why;
    int error = 0;
    const std::string trusted = Launch::trustedProgram(program, why, error);
    if (!trusted.empty()) {
        const int status = Launch::runInPlace(trusted, argv, error);
        if (error == 0)
            return status;
    }
    QTextStream(stderr) << QStringLiteral("wzqxprog: %1 を起動できません。%2\n")
                               .arg(QDir::toNativeSeparators(QString::fromStdString(program)),
                                    why.empty() ? Platform::reason(error) : QString::fromStdString(why));
    return ExitCannotStart;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!wantsCommandLine(argc, argv))
        return runEditorProgram(argc, argv);
    return runCommandLine(argc, argv, runEditorProgram);
}
