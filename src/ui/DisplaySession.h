// The display system the windows use. On a Wayland desktop the launcher and
// the run command start Tovix through XWayland (GDK_BACKEND x11, with
// TOVIX_XWAYLAND=1 to say they chose it): the window's rounded shape, its
// placement and the video picture are X11 features.
#pragma once

// Logs the choice and takes both variables out of the environment again, so
// that the programs Tovix starts (the browser) get the desktop's own choice.
// Under XWayland it also tells GStreamer's GL video sink to draw through X11.
// Called once the windowing toolkit has opened its display, before any player exists.
void SetUpDisplaySession();
