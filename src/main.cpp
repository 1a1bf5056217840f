// The program: the application object runs the start-up sequence, the main
// loop and the shutdown.
#include "ui/CMainApp.h"

wxIMPLEMENT_APP(CMainApp);
