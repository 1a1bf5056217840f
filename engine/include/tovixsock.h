/* libtovixsock: the download engine. Seventeen plain C functions, callable from
 * any thread; strings are GBK bytes (the engine converts paths for the file
 * system itself). */
#ifndef TOVIXSOCK_H
#define TOVIXSOCK_H

#ifdef __cplusplus
extern "C" {
#endif

/* The window the engine notifies. The engine calls post(context, 0x464) from its
 * own thread whenever download state changes; the owner keeps this record alive
 * until after CleanUp and makes post harmless once its window is gone. post only
 * queues: it returns without calling the engine (CleanUp waits for that thread). */
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

/* Starts the engine in the working directory and restores the downloads kept in
 * its state folder ("EngineState"; an optional "EngineState/settings.txt" holds
 * "name = value" libtorrent settings). 1 on success, 0 when it cannot start.
 * Called once before any other call; a second call changes nothing. */
TOVIXSOCK_API int InitDownloader(void);
/* The record the engine posts to from its own thread: on every state change and,
 * while data moves, at most twice a second. The record is kept, not copied. */
TOVIXSOCK_API void SetWndHandle(TovixWndHandle *handle);
/* Most downloads active at once; the others wait. 0 or less: no limit. */
TOVIXSOCK_API void SetMaxDownload(int count);
/* Whole-session limits in KB/s, 0 = unlimited; they hold for every peer, local ones too. */
TOVIXSOCK_API void SetMaxDLSpeed(int kilobytesPerSecond);
TOVIXSOCK_API void SetMaxULSpeed(int kilobytesPerSecond);
/* savePath is the full path of the video: a single-file torrent is saved under
 * exactly that name (a multi-file torrent's folder takes that name). Adding a
 * torrent path the engine has already does nothing and answers 1. 1 when the
 * engine has the download, 0 (one log line) when it cannot take it. */
TOVIXSOCK_API int AddDownload(const char *torrentPath, const char *savePath);
/* Forgets the download, also across restarts; its files stay on disk. 1 when the
 * engine had it, 0 otherwise. */
TOVIXSOCK_API int DelDownload(const char *torrentPath, const char *savePath);
/* The download's handle, stable while the engine has it; negative when unknown. */
TOVIXSOCK_API int GetPosByTorrent(const char *torrentPath);
/* Exclusive states: finished (complete, seeding or not), downloading (active),
 * waiting (queued behind SetMaxDownload, or held while its disk is nearly full).
 * 0 for all three when the handle is unknown or the download stopped on an error. */
TOVIXSOCK_API int IsFinished(int pos);
TOVIXSOCK_API int IsDownloading(int pos);
TOVIXSOCK_API int IsPending(int pos);
/* Percentage of the file on disk, 0 to 100. */
TOVIXSOCK_API double GetProgress(int pos);
/* Payload bytes per second; pos -1 for the whole session, else one download. */
TOVIXSOCK_API int GetDLSpeed(int pos);
TOVIXSOCK_API int GetULSpeed(int pos);
/* How many downloads are downloading / waiting. */
TOVIXSOCK_API int GetDownloadingNum(void);
TOVIXSOCK_API int GetPendingNum(void);
/* Saves every download's state and stops the engine; no posts follow. */
TOVIXSOCK_API void CleanUp(void);

/* Optional, before InitDownloader: the engine hands each log line to write (the
 * message without line prefix or line end) instead of appending it to its own
 * "skininfo.txt", so that a program with a log of its own keeps one log. write may
 * be called from any thread until CleanUp returns. Null: the engine's own log. */
typedef void (*TovixLogWriter)(const char *message, unsigned long length);
TOVIXSOCK_API void SetLogWriter(TovixLogWriter write);

#ifdef __cplusplus
}
#endif

#endif
