#pragma once

// Exit statuses of the command line.
constexpr int kExitDone = 0;
constexpr int kExitUnreadable = 1; // the source cannot be read, or nothing can be worked out
constexpr int kExitUsage = 2;

// Whether the arguments ask for the command line rather than the window: --detect,
// --list-titles, --help or --version first.
bool WantsCommandLine(int argc, char* argv[]);

// Runs the command line without a display: parses the arguments, works the source out as the
// window would and prints the result. Returns the exit status.
int RunCommandLine(int argc, char* argv[]);
