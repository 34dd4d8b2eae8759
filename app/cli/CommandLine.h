#pragma once

// `wzqxprog check FILE`, `normalize IN OUT`, `day FILE DATE [--json]`,
// `diff OLD NEW`, `--help`, `--version`.
// Returns the process exit status.
int runCommandLine(int argc, char** argv);

// True when the arguments ask for the command line rather than the editor.
// Only Qt's own options with their values ("-platform offscreen",
// "-style fusion") start the editor; any other word or option is for the
// command line (an unknown one gets the usage text and 64).
bool wantsCommandLine(int argc, char** argv);
