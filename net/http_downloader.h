// Background HTTP downloads: the task record, the download manager with its
// FIFO queue and its worker threads, and the thread wrapper the workers use.
#pragma once

#include <windows.h>

#include <list>
#include <string>
#include <vector>

class CHttpDownloader;
struct CDownloadTask;

// userData, taskId, status (1 taken, 2 progress, 3 ended), result, detail.
// Status 3 passes the task record as `detail`; it is valid only during the call.
typedef void (*DownloadCallback)(void* userData, int taskId, int status, int result,
                                 INT_PTR detail);

// Result codes of one attempt.
enum DownloadResult {
  kDownloadOk = 0,
  kDownloadStopped = -1,
  kDownloadConnectFailed = -2,
  kDownloadRequestFailed = -3,
  kDownloadBadAnswer = -4,
  kDownloadCreateFileFailed = -5,
  kDownloadReadFailed = -6,
  kDownloadWriteFailed = -7,
};

struct CDownloadTask {
  std::wstring url;
  std::wstring localPath;
  BYTE* postData = nullptr;  // owned by the queued copy
  int postLength = 0;
  int retryCount = 0;
  DownloadCallback callback = nullptr;
  void* userData = nullptr;
  int taskId = 0;
  int appendUrlName = 0;
  int uniqueName = 0;
  int deleteOnFailure = 1;
  // The folder a naming task was queued with, kept once `localPath` names the file.
  std::wstring folder;
};

// A thread and what it runs. The stop flag is polled by the routine.
class CThreadHolder {
 public:
  typedef DWORD (*Routine)(void* argument);

  CThreadHolder();
  virtual ~CThreadHolder();
  CThreadHolder(const CThreadHolder&) = delete;
  CThreadHolder& operator=(const CThreadHolder&) = delete;

  static DWORD WINAPI ThreadEntry(void* holder);

  HANDLE thread = nullptr;
  volatile LONG stop = 1;
  Routine routine = nullptr;
  void* argument = nullptr;
};

struct CDownloadWorker {
  CThreadHolder holder;
  CHttpDownloader* owner = nullptr;
  HANDLE wakeEvent = nullptr;
};

class CHttpDownloader {
 public:
  CHttpDownloader();
  ~CHttpDownloader();
  CHttpDownloader(const CHttpDownloader&) = delete;
  CHttpDownloader& operator=(const CHttpDownloader&) = delete;

  // Queues a copy of `task` and wakes every worker. 1, or 0 when out of memory.
  int AddTask(const CDownloadTask& task);
  // The oldest queued task, now owned by the caller; null when none.
  CDownloadTask* TakeTask();
  // Runs `task` to its end on `worker` (callbacks, attempts, clean-up) and frees it.
  void RunTask(CDownloadWorker* worker, CDownloadTask* task);
  // One attempt; a result code.
  int Download(CDownloadWorker* worker, CDownloadTask* task);

  int StartWorkers();
  void StopWorkers();
  bool WorkersStarted() const { return started_ != 0; }

 private:
  static DWORD WorkerBody(void* worker);
  static void StopWorker(CDownloadWorker* worker);
  static void FreeTask(CDownloadTask* task);

  CRITICAL_SECTION queueLock_;
  std::list<CDownloadTask*> queue_;
  std::vector<CDownloadWorker*> workers_;
  int workerCount_ = 2;
  int started_ = 0;
};
