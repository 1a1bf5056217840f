#include "WxBenchSupport.h"

#include <wx/evtloop.h>
#include <wx/timer.h>

void RunLoop(int milliseconds)
{
    wxEventLoop loop;
    wxTimer stop;
    stop.Bind(wxEVT_TIMER, [&](wxTimerEvent &) { loop.Exit(); });
    stop.StartOnce(milliseconds);
    loop.Run();
}
