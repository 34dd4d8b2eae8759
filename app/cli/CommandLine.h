#pragma once
#include <QString>

// Runs a command that draws (`pdf`) with the process's own arguments and
// returns its exit status: the command itself in the program linked to Qt
// GUI, the hand-over to that program in the one that is not. It makes its
// own application object and prepares the standard streams itself (a
// program it hands over to must see them as the user left them).
using DrawingCommand = int (*)(int argc, char** argv);

// `wzqxprog check FILE`, `normalize IN OUT`, `day FILE DATE [--json]`,
// `diff OLD NEW`, `--help`, `--version` …; `pdf` through `drawingCommand`.
// Returns the process exit status: 3 as well when what a command printed
// did not reach standard output (closed, a full disk).
int runCommandLine(int argc, char** argv, DrawingCommand drawingCommand);

// True when the arguments ask for the command line rather than the editor.
// Qt's own options with their values ("-platform offscreen", "-style
// fusion") and one word that is no command word (a program file to open)
// start the editor; a command word, any other option or a second word is
// for the command line (an unknown one gets the usage text and 64).
bool wantsCommandLine(int argc, char** argv);

// The program file the editor is started with, or empty.
QString editorFileArgument(int argc, char** argv);

// True when the editor could not open its window: a platform that needs a
// display server (xcb, wayland; Qt's default) and no DISPLAY, WAYLAND_DISPLAY
// or "-display" to name one.
bool editorLacksDisplay(int argc, char** argv);
