// The libtorrent settings the engine runs with: defaults chosen for speed on a
// LAN and sanity on the internet, then overrides from a settings file.
#pragma once

#include <libtorrent/ip_filter.hpp>
#include <libtorrent/settings_pack.hpp>

#include <functional>
#include <string>

struct TEngineOptions {
    libtorrent::settings_pack settings;
    bool posixDiskIo = false; // pread/pwrite storage instead of memory-mapped files
};

TEngineOptions DefaultEngineOptions();

// Reads "name = value" lines ('#' starts a comment) and hands each pair to apply. A
// missing file reads as empty; a line without "=" or one apply refuses is logged.
using NameValueApply = std::function<bool(const std::string &name, const std::string &value)>;
void ReadNameValueFile(const std::string &path, const NameValueApply &apply);

// Reads "name = value" lines (libtorrent setting names, plus "disk_io = posix|mmap";
// '#' starts a comment) over the options. A missing file changes nothing; a line
// that does not apply is logged and skipped.
void ReadSettingsFile(const std::string &path, TEngineOptions &options);

// Every address in the global peer class, so that rate limits also hold for peers
// on 127.0.0.1 and the local network (libtorrent exempts those by default).
libtorrent::ip_filter EveryAddressRateLimited();
