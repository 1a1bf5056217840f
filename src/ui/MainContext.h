// What the application object hands the main window: the process-wide objects
// it built at start-up, all of which outlive the window.
#pragma once

class CCatalogueStore;
class CKeyStore;
class CWxMainWindowLink;
class CServiceReports;
class CWorkerThreads;
struct TovixWndHandle;

struct TMainContext {
    CCatalogueStore &store;
    CKeyStore &keys;
    CWorkerThreads &threads;     // fetchers and torrent fetch workers
    CServiceReports &reports;    // catalogue, play and text reports to the service
    CWxMainWindowLink &link;     // the core's view of the main window (the window attaches itself)
    TovixWndHandle &engineHandle; // the record given to SetWndHandle; its post reaches the main window
};
