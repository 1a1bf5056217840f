#include "Desktop.h"

#include "TovixProcess.h"
#include "base/GbkText.h"
#include "support/TestFolder.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

using namespace std::chrono_literals;

namespace {

std::string Output(const std::string &command)
{
    std::string text;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

std::vector<TXWindow> VisibleWindows(pid_t pid)
{
    std::vector<TXWindow> windows;
    std::istringstream ids(Output("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
    for (unsigned long id; ids >> id;) {
        TXWindow window;
        window.id = id;
        windows.push_back(Geometry(window));
    }
    return windows;
}

// The main window is 800 x 600 at least; message boxes are far smaller.
bool IsMain(const TXWindow &window) { return window.width >= 700 && window.height >= 500; }

int Run(const std::string &command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::vector<std::string> MessageBoxLines(const std::string &clientFolder)
{
    std::vector<std::string> lines;
    std::istringstream log(ReadFile(clientFolder + "/skininfo.txt"));
    const std::string marker = "Message box: ";
    for (std::string line; std::getline(log, line);)
        if (const size_t at = line.find(marker); at != std::string::npos)
            lines.push_back(GbkToUtf8(line.substr(at + marker.size())));
    return lines;
}

} // namespace

TXWindow Geometry(const TXWindow &window)
{
    TXWindow placed{window.id};
    std::istringstream shell(Output("xdotool getwindowgeometry --shell " + std::to_string(window.id) + " 2>/dev/null"));
    for (std::string line; std::getline(shell, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (name == "WIDTH")
            placed.width = value;
        else if (name == "HEIGHT")
            placed.height = value;
        else if (name == "X")
            placed.x = value;
        else if (name == "Y")
            placed.y = value;
    }
    return placed;
}

TXWindow Screen()
{
    TXWindow screen;
    std::istringstream size(Output("xdotool getdisplaygeometry"));
    size >> screen.width >> screen.height;
    return screen;
}

void PressKeys(const TXWindow &window, const std::string &keys)
{
    Run("xdotool windowactivate --sync " + std::to_string(window.id) + " key --delay 150 " + keys);
}

TXWindow MainWindow(pid_t pid)
{
    for (const TXWindow &window : VisibleWindows(pid))
        if (IsMain(window))
            return window;
    return {};
}

TXWindow MessageBoxWindow(pid_t pid)
{
    for (const TXWindow &window : VisibleWindows(pid))
        if (!IsMain(window) && window.width > 50 && window.height > 30)
            return window;
    return {};
}

void Click(const TXWindow &window, int x, int y, int count)
{
    Run("xdotool mousemove --sync --window " + std::to_string(window.id) + " " + std::to_string(x) + " " +
        std::to_string(y) + " click --repeat " + std::to_string(count) + " --delay 120 1");
}

void Minimize(const TXWindow &window) { Run("xdotool windowminimize --sync " + std::to_string(window.id)); }

std::string Screenshot(const TXWindow &window, const std::string &name)
{
    const std::string folder = BinaryDir() + "/tests/e2e-shots";
    MakeFolder(folder);
    const std::string path = folder + "/" + name + ".png";
    Run("import -window " + std::to_string(window.id) + " " + path);
    return path;
}

std::string CMessageBoxes::DismissNext(int seconds)
{
    TXWindow box;
    std::vector<std::string> lines;
    if (!WaitFor(
            [&] {
                box = MessageBoxWindow(m_pid);
                lines = MessageBoxLines(m_client);
                return box && lines.size() > m_seen;
            },
            std::chrono::seconds(seconds)))
        return "";
    Run("xdotool windowactivate --sync " + std::to_string(box.id) + " key --clearmodifiers Return");
    // The next box may follow at once: wait for this one, not for none.
    WaitFor([&] { return MessageBoxWindow(m_pid).id != box.id; }, 10s);
    return lines[m_seen++];
}
