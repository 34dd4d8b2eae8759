#pragma once
// The launcher's choice of program, in plain C++ (it loads nothing but the
// C library). It knows the command words by their shape; the words it
// names itself must be the registry's.
#include <cstddef>
#include <cstring>
#include <iterator>

namespace LauncherRouting {

// Commands that draw: the editor program runs them.
constexpr const char* kEditorCommands[] = {"pdf"};
// Options the commands program runs when given alone.
constexpr const char* kCommandOptions[] = {"--help", "-h", "--version"};

inline bool named(const char* word, const char* const* names, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (std::strcmp(word, names[i]) == 0)
            return true;
    return false;
}

// A command word with its arguments, or one of kCommandOptions alone. No
// arguments, one file to open, Qt's options ("-platform offscreen") and
// the editor's commands are the editor program's; so are the usage errors.
inline bool forCommandsProgram(int argc, const char* const* argv)
{
    if (argc == 2)
        return named(argv[1], kCommandOptions, std::size(kCommandOptions));
    return argc > 2 && argv[1][0] != '-' && !named(argv[1], kEditorCommands, std::size(kEditorCommands));
}

}  // namespace LauncherRouting
