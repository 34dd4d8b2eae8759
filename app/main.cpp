// The editor program (wzqxprog-gui; wzqxprog.exe on Windows): the editor,
// `pdf`, and every other command as wzqxprog runs them.
#include "app/Startup.h"
#include "app/cli/CommandLine.h"
#include "app/cli/PdfCommand.h"

int main(int argc, char** argv)
{
    if (wantsCommandLine(argc, argv))
        return runCommandLine(argc, argv, runPdfCommand);
    if (editorLacksDisplay(argc, argv))
        return refuseWithoutDisplay();
    return runEditor(argc, argv, editorFileArgument(argc, argv));
}
