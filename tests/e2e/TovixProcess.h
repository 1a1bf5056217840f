// The program as a user runs it: a separate process in a working folder, with
// its own user folders (registry, plug-ins, instance lock) under a test folder.
#pragma once

#include "DemoService.h" // BinaryDir

#include <chrono>
#include <string>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

// Starts build/tovix in clientFolder; user folders go under userRoot. Each of
// environment then sets (or, with an empty value, removes) one variable.
pid_t StartTovix(const std::string &clientFolder, const std::string &userRoot,
                 const std::vector<std::pair<std::string, std::string>> &environment = {});
// The exit code within limit; 128 + the signal's number when a signal ended it
// (as a shell reports it); -1 while it still runs.
int ExitCode(pid_t pid, std::chrono::milliseconds limit);
// Stops a still running program the hard way (test clean-up).
void KillTovix(pid_t pid);

// Waits for a condition, polling, for at most limit.
template <typename Condition> bool WaitFor(Condition condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}
