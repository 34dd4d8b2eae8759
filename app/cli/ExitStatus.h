#pragma once

// The exit statuses of every command and of the programs that run them
// (plain C++: the launcher uses them too).
enum ExitStatus {
    ExitDone = 0,            // accepted, written, printed; diff: the same
    ExitInvalid = 1,         // the program file is invalid
    ExitDifferent = 1,       // diff: the files differ
    ExitFindings = 1,        // review: something likely amiss was found
    ExitOverCapacity = 2,    // more programs than the time switch takes
    ExitFileError = 3,       // a file or standard output could not be read or written
    ExitNothingToPrint = 4,  // pdf: nothing to print; review: a circuit not set up
    ExitUsage = 64,          // an unknown command or option, wrong arguments
    ExitCannotStart = 127,   // the program that does the work cannot be started (as a shell says)
};
