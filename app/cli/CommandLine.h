#pragma once

// `wzqxprog check FILE`, `wzqxprog normalize IN OUT`, `--help`, `--version`.
// Returns the process exit status.
int runCommandLine(int argc, char** argv);
