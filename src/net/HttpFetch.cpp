#include "net/HttpFetch.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "net/WorkerThreads.h"

namespace {

size_t AppendBody(void *data, size_t size, size_t count, void *target)
{
    const size_t bytes = size * count;
    if (bytes == 0 || !data)
        return 0;
    static_cast<std::string *>(target)->append(static_cast<const char *>(data), bytes);
    return bytes;
}

// Called by libcurl during a transfer; non-zero ends it (CURLE_ABORTED_BY_CALLBACK).
int AbortOnStop(void *stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const CStopSignal *>(stop)->Stopped() ? 1 : 0;
}

} // namespace

CHttpHandle::CHttpHandle(THttpLimits limits)
{
    // Initialised once, before the first handle of any thread.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)initialised;
    m_curl = curl_easy_init();
    if (!m_curl)
        return;
    // Options stay on the handle for every fetch of its run. No signals: the
    // time-outs run on worker threads.
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectMilliseconds);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
    // The signal lives as long as the pool's threads, so as long as this handle.
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, AbortOnStop);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, const_cast<CStopSignal *>(&CurrentStopSignal()));
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
}

CHttpHandle::~CHttpHandle() { curl_easy_cleanup(m_curl); }

CURLcode FetchToMemory(CURL *curl, const std::string &url, std::string &body, long &responseCode)
{
    body.clear();
    responseCode = 0;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &responseCode);
    return result;
}

int GetHttpData(CURL *curl, std::string url, std::string path)
{
    std::string body;
    long code = 0;
    const CURLcode result = FetchToMemory(curl, url, body, code);
    if (result != CURLE_OK || code != 200) {
        DebugLog("GetHttpData %s error[%d][%d]", path.c_str(), static_cast<int>(result), static_cast<int>(code));
        return 0;
    }
    int error = 0;
    if (!WriteFileAtomic(path, body, &error)) {
        DebugLog("Create file %s error[%d]", path.c_str(), error);
        return 0;
    }
    return 1;
}
