// The libtorrent settings the engine runs with: defaults chosen for speed on a
// LAN and sanity on the internet, then overrides from a settings file.
#pragma once

#include <libtorrent/ip_filter.hpp>
#include <libtorrent/settings_pack.hpp>

#include <string>

struct TEngineOptions {
    libtorrent::settings_pack settings;
    bool posixDiskIo = false; // pread/pwrite storage instead of memory-mapped files
};

TEngineOptions DefaultEngineOptions();

// Reads "name = value" lines (libtorrent setting names, plus "disk_io = posix|mmap";
// '#' starts a comment) over the options. A missing file changes nothing; a line
// that does not apply is logged and skipped.
void ReadSettingsFile(const std::string &path, TEngineOptions &options);

// Every address in the global peer class, so that rate limits also hold for peers
// on 127.0.0.1 and the local network (libtorrent exempts those by default).
libtorrent::ip_filter EveryAddressRateLimited();
