#include "net/WorkerThreads.h"

#include <thread>

CWorkerThreads::~CWorkerThreads() = default;

void CWorkerThreads::Start(std::function<void()> work) { std::thread(std::move(work)).detach(); }
