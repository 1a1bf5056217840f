/* libtovixsock: the download engine. Seventeen plain C functions; strings are
 * GBK bytes (the engine converts paths for the file system itself). */
#ifndef TOVIXSOCK_H
#define TOVIXSOCK_H

#ifdef __cplusplus
extern "C" {
#endif

/* The window the engine notifies. The engine calls post(context, 0x464) from its
 * own thread whenever download state changes; the owner keeps this record alive
 * until after CleanUp and makes post harmless once its window is gone. */
typedef struct TovixWndHandle {
    void (*post)(void *context, unsigned message);
    void *context;
} TovixWndHandle;

#define TOVIX_WM_DOWNLOAD_CHANGED 0x464u

#if defined(__GNUC__)
#define TOVIXSOCK_API __attribute__((visibility("default")))
#else
#define TOVIXSOCK_API
#endif

TOVIXSOCK_API int InitDownloader(void);
TOVIXSOCK_API void SetWndHandle(TovixWndHandle *handle);
TOVIXSOCK_API void SetMaxDownload(int count);
TOVIXSOCK_API void SetMaxDLSpeed(int kilobytesPerSecond);
TOVIXSOCK_API void SetMaxULSpeed(int kilobytesPerSecond);
TOVIXSOCK_API int AddDownload(const char *torrentPath, const char *savePath);
TOVIXSOCK_API int DelDownload(const char *torrentPath, const char *savePath);
TOVIXSOCK_API int GetPosByTorrent(const char *torrentPath);
TOVIXSOCK_API int IsFinished(int pos);
TOVIXSOCK_API int IsDownloading(int pos);
TOVIXSOCK_API int IsPending(int pos);
TOVIXSOCK_API double GetProgress(int pos);
TOVIXSOCK_API int GetDLSpeed(int pos);
TOVIXSOCK_API int GetULSpeed(int pos);
TOVIXSOCK_API int GetDownloadingNum(void);
TOVIXSOCK_API int GetPendingNum(void);
TOVIXSOCK_API void CleanUp(void);

#ifdef __cplusplus
}
#endif

#endif
