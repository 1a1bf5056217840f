// The program's windows as a user reaches them on the X display: found by
// process, clicked and typed into with xdotool, photographed with ImageMagick.
#pragma once

#include <string>
#include <sys/types.h>

struct TXWindow {
    unsigned long id = 0;
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    explicit operator bool() const { return id != 0; }
};

// The program's main window (the large one), or none when it is not shown.
TXWindow MainWindow(pid_t pid);
// A message box of the program (a small visible window), or none.
TXWindow MessageBoxWindow(pid_t pid);
// Clicks the left button count times at (x, y) of the window.
void Click(const TXWindow &window, int x, int y, int count = 1);
void Minimize(const TXWindow &window);
// Gives the window the keyboard focus and types the keys (xdotool key names).
void PressKeys(const TXWindow &window, const std::string &keys);
// The window's place and size on the screen now.
TXWindow Geometry(const TXWindow &window);
// The size of the screen, as a window at (0, 0).
TXWindow Screen();
// Writes a PNG of the window into the build tree's tests/e2e-shots folder
// (kept for looking at after a run); returns its path.
std::string Screenshot(const TXWindow &window, const std::string &name);

// The program's message boxes, taken one after the other as a user would.
class CMessageBoxes {
public:
    CMessageBoxes(pid_t pid, std::string clientFolder) : m_pid(pid), m_client(std::move(clientFolder)) {}
    // Waits for the next message box, presses Return on it and waits for it to
    // close. Returns its text as the program's log has it (UTF-8), or an empty
    // text when no box appeared within the limit.
    std::string DismissNext(int seconds = 30);

private:
    pid_t m_pid;
    std::string m_client;
    size_t m_seen = 0;
};
