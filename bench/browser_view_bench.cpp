// Browser view start-up: a window with a CBrowserView navigating to a loopback
// page, against a bare control-hosting program (bare_control_host.cpp).
// Each run is a fresh process; the time is from CreateProcess until the
// loopback server receives the page request. Runs alternate; medians compared.
// Usage: qb_bench_browser.exe [runs]      (child mode: --view URL)
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/global_module.h"
#include "app/handles.h"
#include "browser/browser_view.h"

CGlobalModule g_globalModule;

namespace {

int RunView(const wchar_t* url) {
  ::OleInitialize(nullptr);
  HWND parent = ::CreateWindowExW(0, L"STATIC", L"view", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                  nullptr, nullptr, nullptr, nullptr);
  CBrowserView view;
  const RECT rect{0, 0, 800, 600};
  view.Create(parent, rect, L"about:blank");
  view.m_blockNewWindows = true;
  view.Navigate(url);
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 20000) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(1);
  }
  return 0;
}

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Milliseconds from start to the first request on `listener`; -1 on failure.
double TimeOne(const std::wstring& commandLine, SOCKET listener) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  LARGE_INTEGER frequency, begin, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&begin);
  if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  ScopedHandle process(pi.hProcess), thread(pi.hThread);
  fd_set set;
  FD_ZERO(&set);
  FD_SET(listener, &set);
  timeval wait{20, 0};
  double ms = -1;
  if (::select(0, &set, nullptr, nullptr, &wait) == 1) {
    SOCKET client = ::accept(listener, nullptr, nullptr);
    ::QueryPerformanceCounter(&end);
    ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
         static_cast<double>(frequency.QuadPart);
    ::closesocket(client);
  }
  ::TerminateProcess(process.Get(), 0);
  ::WaitForSingleObject(process.Get(), 5000);
  return ms;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv);
int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"--view") return RunView(argv[2]);
  const int runs = argc >= 2 ? std::max(1, _wtoi(argv[1])) : 9;
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(listener, 8);
  const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/";
  const std::wstring folder = Folder();
  const std::wstring view = L"\"" + folder + L"qb_bench_browser.exe\" --view " + url;
  const std::wstring bare = L"\"" + folder + L"qb_bench_bare_host.exe\" " + url;
  std::vector<double> viewTimes, bareTimes;
  for (int i = 0; i < runs; ++i) {
    const double b = TimeOne(bare, listener);
    const double v = TimeOne(view, listener);
    if (b > 0) bareTimes.push_back(b);
    if (v > 0) viewTimes.push_back(v);
    std::printf("run %d: bare %.1f ms, view %.1f ms\n", i + 1, b, v);
  }
  const double mb = Median(bareTimes), mv = Median(viewTimes);
  std::printf("median bare %.1f ms, view %.1f ms, ratio %.3f (target <= 1.2)\n", mb, mv,
              mb > 0 ? mv / mb : 0.0);
  ::closesocket(listener);
  ::WSACleanup();
  return 0;
}
