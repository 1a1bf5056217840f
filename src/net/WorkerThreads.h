// Starts the short-lived worker threads (fetchers, torrent fetch workers).
#pragma once

#include <functional>

class CWorkerThreads {
public:
    virtual ~CWorkerThreads();

    // Runs work once on a new thread that nobody waits for; it ends with the
    // process at the latest, so work owns copies of everything it uses except
    // the process-wide objects (catalogue store, main-window link).
    virtual void Start(std::function<void()> work);
};
