// HTTP GET on libcurl's easy interface: one address into memory, and one
// address into one local file written only after a complete status-200 answer.
#pragma once

#include <curl/curl.h>
#include <string>

// How long a transfer may make no progress before it is given up. A slow but
// moving transfer is never cut: there is no limit on the whole.
struct THttpLimits {
    long connectMilliseconds = 30000;
    long lowSpeedSeconds = 60; // less than 1 byte a second over this long
};

// A transfer handle for a run of fetches on one thread. Its transfers end at once
// when the stop signal of the thread's worker pool comes.
class CHttpHandle {
public:
    explicit CHttpHandle(THttpLimits limits = {});
    ~CHttpHandle();
    CHttpHandle(const CHttpHandle &) = delete;
    CHttpHandle &operator=(const CHttpHandle &) = delete;

    CURL *Get() const { return m_curl; }

private:
    CURL *m_curl;
};

// Sets the address, the write target and the write function (the handle's limits
// and libcurl's defaults apply to everything else), performs the transfer and
// reads the status code (0 when there was no answer). Returns the transfer result.
CURLcode FetchToMemory(CURL *curl, const std::string &url, std::string &body, long &responseCode);

// Fetches url into the file at path, replacing it through an atomic write.
// 1 when the file was written; 0 after one log line otherwise, the file untouched.
int GetHttpData(CURL *curl, std::string url, std::string path);
