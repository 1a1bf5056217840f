#include "net/MainWindowLink.h"

CMainWindowLink::~CMainWindowLink() = default;
ISyncWorkers::~ISyncWorkers() = default;
