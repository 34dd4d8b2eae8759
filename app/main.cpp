#include "app/Startup.h"
#include "app/cli/CommandLine.h"

int main(int argc, char** argv)
{
    if (wantsCommandLine(argc, argv))
        return runCommandLine(argc, argv);
    if (editorLacksDisplay(argc, argv))
        return refuseWithoutDisplay();
    return runEditor(argc, argv, editorFileArgument(argc, argv));
}
