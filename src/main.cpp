// The program: the command line is answered before the toolkit starts (it needs
// no display for that); then the application object runs the start-up sequence,
// the main loop and the shutdown.
#include "app/CommandLine.h"
#include "ui/CMainApp.h"

#include <iostream>

wxIMPLEMENT_APP_NO_MAIN(CMainApp);

int main(int argc, char **argv)
{
    const int answered = AnswerCommandLine(argc, argv, std::cout, std::cerr);
    if (answered >= 0)
        return answered;
    return wxEntry(argc, argv);
}
