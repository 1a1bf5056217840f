// Starting another program without a window and without waiting for it.
#pragma once

#include <string>
#include <vector>

// Starts argv[0] (a path, or a name looked up in PATH) with the given arguments,
// in a session of its own with its standard streams on /dev/null, and returns
// without waiting for it: 0, or the system error number. Paths are GBK.
int StartDetached(const std::vector<std::string> &argv);
