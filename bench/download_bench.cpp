// One download of a large streamed body, timed, with the process's private
// memory sampled throughout. bench/download-bench.sh runs it in alternating
// rounds and compares the two ways:
//   qb_bench_download.exe client URL   the download manager, as the client uses it
//   qb_bench_download.exe loop URL [CHUNK]  a minimal WinINet loop reading 1 MiB
//                                           (or CHUNK bytes) at a time
// Prints one line: "<way> ok=1 bytes=N ms=T private_growth_kb=P committed_growth_kb=C",
// the peak growth during the download over the level just before it, by
// PrivateUsage and by the committed private regions.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/global_module.h"
#include "net/http_downloader.h"
#include "net/internet_handle.h"

// The download manager links against the program's global module.
CGlobalModule g_globalModule;

namespace {

struct Memory {
  long long privateBytes;    // PrivateUsage
  long long committedBytes;  // committed private pages, summed over the address space
};

// Wine reports no private figure (PrivateUsage stays put however much is
// committed), so the committed private regions are also summed directly; on
// Windows the two agree.
long long CommittedPrivateBytes() {
  long long total = 0;
  MEMORY_BASIC_INFORMATION info;
  BYTE* address = nullptr;
  while (::VirtualQuery(address, &info, sizeof(info)) == sizeof(info)) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) {
      total += static_cast<long long>(info.RegionSize);
    }
    BYTE* next = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

Memory Now() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return {static_cast<long long>(counters.PrivateUsage), CommittedPrivateBytes()};
}

// Samples the process's memory every few milliseconds on a thread of its own.
// The level before the download is taken once that thread runs, so its own
// stack is not counted as the download's.
class PeakSampler {
 public:
  PeakSampler() : thread_([this] { Run(); }) {
    while (!ready_) ::Sleep(1);
  }
  ~PeakSampler() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  long long PrivateGrowthKb() const { return (peak_.privateBytes - before_.privateBytes) / 1024; }
  long long CommittedGrowthKb() const {
    return (peak_.committedBytes - before_.committedBytes) / 1024;
  }

 private:
  void Take() {
    const Memory m = Now();
    if (m.privateBytes > peak_.privateBytes) peak_.privateBytes = m.privateBytes;
    if (m.committedBytes > peak_.committedBytes) peak_.committedBytes = m.committedBytes;
  }
  void Run() {
    before_ = Now();
    peak_ = before_;
    ready_ = true;
    while (!stop_) {
      Take();
      ::Sleep(3);
    }
    Take();
  }
  Memory before_ = {};
  Memory peak_ = {};
  std::atomic<bool> ready_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

std::wstring TempFile(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The baseline: what any program would write to fetch the file.
bool LoopDownload(const std::wstring& url, const std::wstring& path, DWORD chunk = 1 << 20) {
  ScopedInternetHandle session(::InternetOpenW(L"bench", 0, nullptr, nullptr, 0));
  if (!session) return false;
  ScopedInternetHandle request(::InternetOpenUrlW(session.Get(), url.c_str(), nullptr, 0, 0, 0));
  if (!request) return false;
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<BYTE> buffer(chunk);
  bool ok = true;
  for (;;) {
    DWORD read = 0;
    if (!::InternetReadFile(request.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                            &read)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    DWORD written = 0;
    if (!::WriteFile(file, buffer.data(), read, &written, nullptr) || written != read) {
      ok = false;
      break;
    }
  }
  ::CloseHandle(file);
  return ok;
}

struct Done {
  HANDLE event;
  int result;
};

void OnDone(void* userData, int, int status, int result, INT_PTR) {
  if (status != 3) return;
  Done* done = static_cast<Done*>(userData);
  done->result = result;
  ::SetEvent(done->event);
}

}  // namespace

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qb_bench_download.exe client|loop URL\n");
    return 2;
  }
  const std::wstring way = argv[1];
  const std::wstring url = argv[2];
  const std::wstring path = TempFile(L"qb-bench-download.bin");

  // Warm WinINet (its cache index, the connection machinery) outside the figures.
  {
    const std::wstring warm = url.substr(0, url.find(L'/', 7)) + L"/ok/warm.txt";
    LoopDownload(warm, TempFile(L"qb-bench-warm.txt"));
    ::DeleteUrlCacheEntryW(warm.c_str());
  }

  bool ok = false;
  long long privateKb = 0;
  long long committedKb = 0;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  if (way == L"client") {
    CHttpDownloader manager;
    manager.StartWorkers();
    Done done = {::CreateEventW(nullptr, TRUE, FALSE, nullptr), -100};
    CDownloadTask task;
    task.callback = &OnDone;
    task.userData = &done;
    // One small download through the workers first, so the figures hold
    // only what a download costs, not the first use of the code.
    task.url = url.substr(0, url.find(L'/', 7)) + L"/ok/warm-client.txt";
    task.localPath = TempFile(L"qb-bench-warm-client.txt");
    manager.AddTask(task);
    ::WaitForSingleObject(done.event, 30000);
    ::DeleteUrlCacheEntryW(task.url.c_str());
    ::ResetEvent(done.event);
    done.result = -100;
    task.url = url;
    task.localPath = path;
    ::Sleep(50);  // let the idle workers settle
    PeakSampler sampler;
    ::QueryPerformanceCounter(&start);
    manager.AddTask(task);
    const bool ended = ::WaitForSingleObject(done.event, 600000) == WAIT_OBJECT_0;
    ::QueryPerformanceCounter(&end);
    sampler.Stop();
    ok = ended && done.result == 0;
    privateKb = sampler.PrivateGrowthKb();
    committedKb = sampler.CommittedGrowthKb();
    ::CloseHandle(done.event);
  } else if (way == L"loop") {
    const DWORD chunk = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : DWORD{1 << 20};
    PeakSampler sampler;
    ::QueryPerformanceCounter(&start);
    ok = LoopDownload(url, path, chunk);
    ::QueryPerformanceCounter(&end);
    sampler.Stop();
    privateKb = sampler.PrivateGrowthKb();
    committedKb = sampler.CommittedGrowthKb();
  } else {
    std::fprintf(stderr, "unknown way\n");
    return 2;
  }
  const unsigned long long bytes = FileSize(path);
  const double ms = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart);
  // Neither the file nor WinINet's cached copy of it may outlive the round.
  ::DeleteFileW(path.c_str());
  ::DeleteUrlCacheEntryW(url.c_str());
  std::printf("%ls ok=%d bytes=%llu ms=%.1f private_growth_kb=%lld committed_growth_kb=%lld\n",
              way.c_str(), ok ? 1 : 0, bytes, ms, privateKb, committedKb);
  return ok ? 0 : 1;
}
