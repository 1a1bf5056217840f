// The program's command line: "--help" and "--version" answer and leave before
// anything is opened or created; with no argument the program starts.
#pragma once

#include <ostream>

// The exit code when the command line was answered here (0 for --help and
// --version, 2 for anything else, with the usage on err), or -1 to start.
int AnswerCommandLine(int argc, const char *const *argv, std::ostream &out, std::ostream &err);
