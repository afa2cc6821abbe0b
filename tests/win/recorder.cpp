// Stands in for the web browser in tests: appends the arguments it was started
// with to the file named by QB_RECORDER_LOG, one record per start:
//   one line per argument (UTF-8, after the program name), then "--end--".
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/handles.h"

namespace {

void Append(HANDLE file, const std::wstring& text) {
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
  bytes.pop_back();  // the terminator
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int, wchar_t**);

int wmain(int, wchar_t**) {
  wchar_t logPath[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"QB_RECORDER_LOG", logPath, MAX_PATH) == 0) return 2;
  ScopedHandle file(::CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, 0, nullptr));
  if (!file) return 3;
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::wstring record;
  for (int i = 1; argv != nullptr && i < argc; ++i) record += std::wstring(argv[i]) + L"\n";
  record += L"--end--\n";
  Append(file.Get(), record);
  ::LocalFree(argv);
  return 0;
}
