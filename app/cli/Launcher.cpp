// wzqxprog on Linux, the program users run: it loads nothing but the C
// library and runs, in its place, the commands program for a command and
// the editor program for the editor and `pdf` (beside it in the build
// folder, else in WZ_PROGRAMS_FROM_BINDIR), only when nobody but us and
// root can have put it there (Launch::trustedProgram). Either program takes any
// arguments with the same texts and exit statuses, so this choice only
// decides how soon the work starts.
#include "app/cli/ExitStatus.h"
#include "app/cli/LauncherRouting.h"
#include "core/platform/Launch.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string programPath(const char* name)
{
    const std::string folder = Launch::ownFolder();
    const std::string beside = folder + "/" + name;
    return Launch::exists(beside) ? beside : folder + "/" WZ_PROGRAMS_FROM_BINDIR "/" + name;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program =
        programPath(LauncherRouting::forCommandsProgram(argc, argv) ? WZ_COMMANDS_PROGRAM : WZ_EDITOR_PROGRAM);
    std::string why;
    int error = 0;
    const std::string trusted = Launch::trustedProgram(program, why, error);
    if (!trusted.empty())
        Launch::runInPlace(trusted, argv, error);
    const char* reason = why.empty() ? Launch::reasonText(error) : why.c_str();
    std::fprintf(stderr, "wzqxprog: %s を起動できません。%s\n", program.c_str(),
                 reason ? reason : std::strerror(error));
    return ExitCannotStart;
}
