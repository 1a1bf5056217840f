// The update fetcher: downloads the updater a version reply announced and
// leaves it for the next start's update hand-off.
#pragma once

#include <string>

// Writes "TovixUpdate.exe" (executable) and then the empty marker
// "TovixUpdate.txt" in the current directory; 1 when both are in place.
int GetUpdateFile(std::string address);
