#include "net/http_downloader.h"

#include <wininet.h>

#include <cstring>
#include <memory>
#include <new>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/paths.h"
#include "net/core/upgrade_logic.h"
#include "net/internet_handle.h"

namespace {

// The body is streamed through one fixed buffer of kReadBuffer bytes,
// allocated per attempt (the workers' stacks are the default size). Each
// InternetReadFile call has a fixed cost: with 10 KiB reads only, a 100 MB
// loopback download took about five times as long as with 1 MiB reads
// (bench/download-bench.sh). Reads start at kProgressStep bytes and grow while
// they complete within kQuickReadMs; one slower than kSlowReadMs halves them.
constexpr DWORD kReadBuffer = 1 << 20;
constexpr DWORD kProgressStep = 10240;
constexpr ULONGLONG kQuickReadMs = 50;
constexpr ULONGLONG kSlowReadMs = 200;
constexpr DWORD kStopWaitMs = 5000;
constexpr DWORD kIdleWaitMs = 10000;

bool StopRequested(const CDownloadWorker* worker) {
  return worker != nullptr && worker->holder.stop != 0;
}

}  // namespace

// --- CThreadHolder -----------------------------------------------------------

CThreadHolder::CThreadHolder() = default;

CThreadHolder::~CThreadHolder() {
  ::InterlockedExchange(&stop, 1);
  if (thread != nullptr) {
    ::WaitForSingleObject(thread, INFINITE);
    ScopedHandle owned(thread);
    thread = nullptr;
  }
}

DWORD WINAPI CThreadHolder::ThreadEntry(void* holder) {
  CThreadHolder* self = static_cast<CThreadHolder*>(holder);
  if (self != nullptr && self->routine != nullptr) self->routine(self->argument);
  return 0;
}

// --- CHttpDownloader: queue --------------------------------------------------

CHttpDownloader::CHttpDownloader() { ::InitializeCriticalSection(&queueLock_); }

CHttpDownloader::~CHttpDownloader() {
  StopWorkers();
  for (CDownloadTask* task : queue_) FreeTask(task);
  queue_.clear();
  ::DeleteCriticalSection(&queueLock_);
}

void CHttpDownloader::FreeTask(CDownloadTask* task) {
  if (task == nullptr) return;
  delete[] task->postData;
  delete task;
}

int CHttpDownloader::AddTask(const CDownloadTask& task) {
  CDownloadTask* copy = new (std::nothrow) CDownloadTask;
  if (copy == nullptr) return 0;
  copy->url = task.url;
  copy->localPath = task.localPath;
  copy->retryCount = task.retryCount;
  copy->callback = task.callback;
  copy->userData = task.userData;
  copy->taskId = task.taskId;
  copy->appendUrlName = task.appendUrlName;
  copy->uniqueName = task.uniqueName;
  copy->deleteOnFailure = task.deleteOnFailure;
  if (task.postData != nullptr && task.postLength > 0) {
    copy->postData = new (std::nothrow) BYTE[static_cast<size_t>(task.postLength)];
    if (copy->postData == nullptr) {
      delete copy;
      return 0;
    }
    std::memcpy(copy->postData, task.postData, static_cast<size_t>(task.postLength));
    copy->postLength = task.postLength;
  }
  ::EnterCriticalSection(&queueLock_);
  queue_.push_back(copy);
  ::LeaveCriticalSection(&queueLock_);
  for (CDownloadWorker* worker : workers_) {
    if (worker->wakeEvent != nullptr) ::SetEvent(worker->wakeEvent);
  }
  return 1;
}

CDownloadTask* CHttpDownloader::TakeTask() {
  CDownloadTask* task = nullptr;
  ::EnterCriticalSection(&queueLock_);
  if (!queue_.empty()) {
    task = queue_.front();
    queue_.pop_front();
  }
  ::LeaveCriticalSection(&queueLock_);
  return task;
}

void CHttpDownloader::RunTask(CDownloadWorker* worker, CDownloadTask* task) {
  if (task->callback != nullptr) task->callback(task->userData, task->taskId, 1, 0, 0);
  bool stopped = StopRequested(worker);
  if (!stopped) {
    int result = 0;
    for (int attempt = 0; attempt <= task->retryCount;) {
      result = Download(worker, task);
      if (result == kDownloadOk || StopRequested(worker)) break;
      ++attempt;
      if (attempt <= task->retryCount) {
        for (int i = 0; i < 10 && !StopRequested(worker); ++i) ::Sleep(100);
      }
      if (StopRequested(worker)) break;
    }
    stopped = StopRequested(worker);
    if (!stopped) {
      if (task->callback != nullptr) {
        task->callback(task->userData, task->taskId, 3, result, reinterpret_cast<INT_PTR>(task));
      }
      if (result == kDownloadOk) {
        FreeTask(task);
        return;
      }
    }
  }
  if (!task->localPath.empty() && task->deleteOnFailure) ::DeleteFileW(task->localPath.c_str());
  FreeTask(task);
}

int CHttpDownloader::Download(CDownloadWorker* worker, CDownloadTask* task) {
  wchar_t host[1024] = {};
  wchar_t path[1024] = {};
  wchar_t user[256] = {};
  wchar_t password[256] = {};
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = ARRAYSIZE(host);
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = ARRAYSIZE(path);
  parts.lpszUserName = user;
  parts.dwUserNameLength = ARRAYSIZE(user);
  parts.lpszPassword = password;
  parts.dwPasswordLength = ARRAYSIZE(password);
  // The scheme is cracked too, so an https address goes out as a secure request.
  if (!::InternetCrackUrlW(task->url.c_str(), static_cast<DWORD>(task->url.size()), 0, &parts)) {
    return kDownloadConnectFailed;
  }
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  ScopedInternetHandle session(::InternetOpenW(L"HTTPDownloader", 0, nullptr, nullptr, 0));
  if (!session) return kDownloadConnectFailed;
  if (StopRequested(worker)) return kDownloadStopped;
  ScopedInternetHandle connection(
      ::InternetConnectW(session.Get(), host, parts.nPort, user[0] ? user : nullptr,
                         password[0] ? password : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return kDownloadConnectFailed;
  if (StopRequested(worker)) return kDownloadStopped;

  const bool post = task->postData != nullptr;
  ScopedInternetHandle request(::HttpOpenRequestW(connection.Get(), post ? L"POST" : L"GET", path,
                                                  nullptr, nullptr, nullptr,
                                                  secure ? INTERNET_FLAG_SECURE : 0, 0));
  if (!request) return kDownloadRequestFailed;
  if (post) {
    static const wchar_t kContentType[] =
        L"Content-Type: application/x-www-form-urlencoded; charset=UTF-8;\r\n";
    if (!::HttpAddRequestHeadersW(request.Get(), kContentType, ARRAYSIZE(kContentType) - 1,
                                  HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE)) {
      return kDownloadRequestFailed;
    }
  }
  if (StopRequested(worker)) return kDownloadStopped;
  if (!::HttpSendRequestW(request.Get(), nullptr, 0, post ? task->postData : nullptr,
                          post ? static_cast<DWORD>(task->postLength) : 0)) {
    return kDownloadRequestFailed;
  }
  if (StopRequested(worker)) return kDownloadStopped;

  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr) ||
      status >= 400) {
    return kDownloadBadAnswer;
  }
  if (task->localPath.empty()) return kDownloadOk;

  if (task->appendUrlName || task->uniqueName) {
    // A later attempt names the file in the same folder again, not inside the
    // first name: keep the folder the task was queued with.
    if (task->folder.empty()) task->folder = task->localPath;
    const std::wstring dir = EnsureTrailingBackslash(task->folder);
    const std::wstring name = UrlFileName(task->url);
    task->localPath = task->appendUrlName ? dir + name : dir + NewGuidText() + L"_" + name;
  }

  DWORD length = 0;
  size = sizeof(length);
  if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length,
                        &size, nullptr)) {
    return kDownloadBadAnswer;
  }
  if (StopRequested(worker)) return kDownloadStopped;

  // An address without a usable name would name the folder itself.
  if (task->appendUrlName && UrlFileName(task->url).empty()) return kDownloadCreateFileFailed;
  ScopedHandle file(::CreateFileW(task->localPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
  if (!file) return kDownloadCreateFileFailed;

  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kReadBuffer]);
  if (!buffer) return kDownloadReadFailed;
  DWORD remaining = length;
  DWORD want = kProgressStep;
  while (remaining > 0) {
    if (StopRequested(worker)) return kDownloadStopped;
    // A read waits until it has all it asked for (or the body ends), so the
    // size asked for grows only while reads fill quickly and shrinks again
    // when one is slow: a fast link is read in large pieces, and on a slow
    // one progress and the stop flag come as often as with small reads.
    const ULONGLONG readStart = ::GetTickCount64();
    DWORD read = 0;
    if (!::InternetReadFile(request.Get(), buffer.get(), want, &read)) return kDownloadReadFailed;
    const ULONGLONG took = ::GetTickCount64() - readStart;
    if (read == want && took < kQuickReadMs) {
      want = want < kReadBuffer / 2 ? want * 2 : kReadBuffer;
    } else if (took > kSlowReadMs) {
      want = want / 2 > kProgressStep ? want / 2 : kProgressStep;
    }
    // The server closed before the announced length: the body is cut short.
    if (read == 0) return kDownloadReadFailed;
    // Progress is still told in pieces of at most kProgressStep bytes, as if
    // the body had been read that way, each before its bytes are written.
    for (DWORD told = 0; told < read;) {
      const DWORD piece = read - told < kProgressStep ? read - told : kProgressStep;
      told += piece;
      remaining -= piece < remaining ? piece : remaining;
      const ULONGLONG done = static_cast<ULONGLONG>(length - remaining);
      const int percent = static_cast<int>(done * 100 / length);
      if (task->callback != nullptr) {
        task->callback(task->userData, task->taskId, 2, 0, percent > 100 ? 100 : percent);
      }
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), buffer.get(), read, &written, nullptr) || written != read) {
      return kDownloadWriteFailed;
    }
  }
  return kDownloadOk;
}

// --- CHttpDownloader: workers ------------------------------------------------

DWORD CHttpDownloader::WorkerBody(void* argument) {
  CDownloadWorker* worker = static_cast<CDownloadWorker*>(argument);
  while (worker->holder.stop == 0) {
    CDownloadTask* task = worker->owner->TakeTask();
    if (task != nullptr) {
      worker->owner->RunTask(worker, task);
      if (worker->holder.stop != 0) break;
      continue;
    }
    if (::WaitForSingleObject(worker->wakeEvent, kIdleWaitMs) == WAIT_ABANDONED) break;
  }
  return 0;
}

void CHttpDownloader::StopWorker(CDownloadWorker* worker) {
  ::InterlockedExchange(&worker->holder.stop, 1);
  if (worker->wakeEvent != nullptr) ::SetEvent(worker->wakeEvent);
  if (worker->holder.thread != nullptr) {
    if (::WaitForSingleObject(worker->holder.thread, kStopWaitMs) == WAIT_TIMEOUT) {
      ::TerminateThread(worker->holder.thread, 0);
    }
    ScopedHandle owned(worker->holder.thread);
    worker->holder.thread = nullptr;
  }
}

int CHttpDownloader::StartWorkers() {
  if (started_) return 1;
  for (int i = 0; i < workerCount_; ++i) {
    CDownloadWorker* worker = new (std::nothrow) CDownloadWorker;
    if (worker == nullptr) continue;
    worker->owner = this;
    worker->wakeEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    worker->holder.routine = &CHttpDownloader::WorkerBody;
    worker->holder.argument = worker;
    worker->holder.stop = 0;
    worker->holder.thread =
        ::CreateThread(nullptr, 0, &CThreadHolder::ThreadEntry, &worker->holder, 0, nullptr);
    if (worker->holder.thread != nullptr) {
      workers_.push_back(worker);
      continue;
    }
    StopWorker(worker);
    ScopedHandle event(worker->wakeEvent);
    delete worker;
  }
  started_ = workers_.empty() ? 0 : 1;
  return started_;
}

void CHttpDownloader::StopWorkers() {
  for (CDownloadWorker* worker : workers_) {
    StopWorker(worker);
    ScopedHandle event(worker->wakeEvent);
    worker->wakeEvent = nullptr;
    delete worker;
  }
  workers_.clear();
  started_ = 0;
}
