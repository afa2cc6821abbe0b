// Shared by the download tests: the loopback server's address, a recorder of
// download callbacks and a scratch folder.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <string>
#include <vector>

#include "net/http_downloader.h"
#include "test_support.h"

// The loopback server started by the test run (tools/http-test-server.sh), on
// port 18931 unless QB_TEST_SERVER_PORT names another (parallel sessions).
inline std::wstring ServerPort() {
  wchar_t port[16] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"QB_TEST_SERVER_PORT", port, 16);
  return length > 0 && length < 16 ? std::wstring(port) : std::wstring(L"18931");
}
inline std::wstring ServerUrl(const std::wstring& path) {
  return L"http://127.0.0.1:" + ServerPort() + path;
}

struct DownloadEvent {
  int taskId;
  int status;
  int result;
  INT_PTR detail;          // percentage for status 2; 0 for the others
  std::wstring localPath;  // the task's path at status 3
  bool fileExisted;        // whether that file existed during the status-3 call
  DWORD thread;
};

// Collects every callback of the tasks given it as userData.
class CallbackLog {
 public:
  static void Callback(void* userData, int taskId, int status, int result, INT_PTR detail);
  std::vector<DownloadEvent> Events();
  std::vector<int> Statuses();
  // Waits (without pumping) up to `ms` for a status-3 event of `taskId`.
  bool WaitForEnd(int taskId, DWORD ms);
  size_t Count(int status);

 private:
  std::mutex lock_;
  std::vector<DownloadEvent> events_;
};

// A fresh empty folder under the temp folder, with a trailing backslash.
inline std::wstring FreshFolder(const wchar_t* name);

// Runs one task on the calling thread through the manager, as a worker would.
// Returns the events recorded.
inline std::vector<DownloadEvent> RunOnThisThread(CDownloadTask task);

// Downloads a small text answer (e.g. /hits/tag) and returns it.
inline std::string FetchText(const std::wstring& path);

inline void CallbackLog::Callback(void* userData, int taskId, int status, int result,
                                  INT_PTR detail) {
  CallbackLog* self = static_cast<CallbackLog*>(userData);
  DownloadEvent event{
      taskId, status, result, status == 2 ? detail : 0, L"", false, ::GetCurrentThreadId()};
  if (status == 3) {
    event.localPath = reinterpret_cast<CDownloadTask*>(detail)->localPath;
    event.fileExisted = !event.localPath.empty() &&
                        ::GetFileAttributesW(event.localPath.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::lock_guard<std::mutex> guard(self->lock_);
  self->events_.push_back(event);
}

inline std::vector<DownloadEvent> CallbackLog::Events() {
  std::lock_guard<std::mutex> guard(lock_);
  return events_;
}

inline std::vector<int> CallbackLog::Statuses() {
  std::vector<int> statuses;
  for (const DownloadEvent& e : Events()) {
    if (e.status != 2) statuses.push_back(e.status);
  }
  return statuses;
}

inline size_t CallbackLog::Count(int status) {
  size_t count = 0;
  for (const DownloadEvent& e : Events()) count += e.status == status ? 1 : 0;
  return count;
}

inline bool CallbackLog::WaitForEnd(int taskId, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (::GetTickCount64() < end) {
    for (const DownloadEvent& e : Events()) {
      if (e.taskId == taskId && e.status == 3) return true;
    }
    ::Sleep(20);
  }
  return false;
}

inline std::wstring FreshFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"qbnet\\" + name;
  std::wstring doubleNull = folder + L'\0';
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = doubleNull.c_str();
  op.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&op);
  ::CreateDirectoryW((std::wstring(temp) + L"qbnet").c_str(), nullptr);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\";
}

inline std::vector<DownloadEvent> RunOnThisThread(CDownloadTask task) {
  CallbackLog log;
  if (task.callback == nullptr) {
    task.callback = &CallbackLog::Callback;
    task.userData = &log;
  }
  CHttpDownloader manager;
  CDownloadWorker worker;
  worker.owner = &manager;
  worker.holder.stop = 0;
  manager.AddTask(task);
  manager.RunTask(&worker, manager.TakeTask());
  return log.Events();
}

inline std::string FetchText(const std::wstring& path) {
  const std::wstring file = FreshFolder(L"fetch") + L"answer.txt";
  CDownloadTask task;
  task.url = ServerUrl(path);
  task.localPath = file;
  RunOnThisThread(task);
  return ReadFileBytes(file);
}
