#pragma once

// `wzqxprog check FILE`, `normalize IN OUT`, `day FILE DATE [--json]`,
// `diff OLD NEW`, `--help`, `--version`.
// Returns the process exit status.
int runCommandLine(int argc, char** argv);

// True when the arguments ask for the command line rather than the editor.
// Qt's own options ("-platform offscreen", "-style …") still start the
// editor; any other word is a command (an unknown one gets the usage text).
bool wantsCommandLine(int argc, char** argv);
