#include "app/CommandLine.h"

#include <cstring>

namespace {

const char *kUsage = "Usage: tovix [--help | --version]\n"
                     "Desktop client of the Tovix subscription video service. Without an\n"
                     "argument it opens its window and works in the current folder; the\n"
                     "installed command gives each user the working folder\n"
                     "~/.local/share/tovix/work ($XDG_DATA_HOME/tovix/work).\n"
                     "  --help     print this text and exit\n"
                     "  --version  print the version and exit\n";

} // namespace

int AnswerCommandLine(int argc, const char *const *argv, std::ostream &out, std::ostream &err)
{
    if (argc <= 1)
        return -1;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        out << kUsage;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        out << "tovix " << TOVIX_VERSION << "\n";
        return 0;
    }
    const bool known = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0;
    if (known)
        err << "tovix: unexpected argument '" << argv[2] << "' after " << argv[1] << "\n" << kUsage;
    else
        err << "tovix: unknown argument '" << argv[1] << "'\n" << kUsage;
    return 2;
}
