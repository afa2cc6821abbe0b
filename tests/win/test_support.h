// Helpers for the Windows tests: child processes with deadlines, windows of a
// process, text files and the settings folder of the test prefix.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>

#include <functional>
#include <string>
#include <vector>

#include "app/handles.h"

// A started program. The destructor kills it if it is still running, so no
// test leaves a process behind, whatever it asserted.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;

  // Starts `commandLine` (program path first). False when it cannot start.
  bool Start(const std::wstring& commandLine, const std::wstring& extraEnvironment = L"");

  // Waits up to `ms` for the end; the exit code, or -1 on timeout.
  long WaitForExit(DWORD ms);
  bool IsRunning() const;
  DWORD Id() const { return id_; }
  void Kill();

 private:
  ScopedHandle process_;
  DWORD id_ = 0;
};

// Dispatches the thread's messages for up to `ms`, ending early once `done`
// holds (checked after each round of messages).
void PumpMessages(
    DWORD ms, const std::function<bool()>& done = [] { return false; });

// What this process holds: GDI and USER objects as the system reports them
// (Wine reports none), kernel handles (probed one by one where the system does
// not count them) and the windows of the calling thread, children included.
struct ResourceCounts {
  unsigned long gdi, user, handles, windows;
};
ResourceCounts CountResources();

// Top-level windows of `processId` with the class name `className`.
std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className);

// Polls until `WindowsOf` finds `count` windows or `ms` pass.
std::vector<HWND> WaitForWindows(DWORD processId, const wchar_t* className, size_t count, DWORD ms);

// The folder of the running test program, with a trailing backslash.
std::wstring ModuleFolder();

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::string Narrow(const std::wstring& text);

// The application-data folder of the test prefix and the client's files in it.
std::wstring AppDataFolder();
std::wstring ClientDataFolder();
std::wstring ClientSettingsPath();

// Reads a key of the client's settings file the way the system does.
std::wstring SettingsValue(const wchar_t* section, const wchar_t* key);

// Rectangles compare and print as {left, top, right, bottom} in expectations.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// A picture of part of the screen, 32-bit BGRA rows top-down.
struct ScreenShot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
  bool operator==(const ScreenShot& o) const {
    return width == o.width && height == o.height && pixels == o.pixels;
  }
};
ScreenShot CaptureScreen(const RECT& area);
// Writes the picture as a PNG (for test artifacts); false on failure.
bool SavePng(const ScreenShot& shot, const std::wstring& path);
// The folder for pictures a person should look at after a run, created on use.
std::wstring ArtifactFolder();

// A real click by the system's input queue, at a screen position.
void ClickAt(POINT screen);

// The visible message box of `processId` whose text is `text`; null if none
// shows up within `ms`.
HWND WaitForMessageBox(DWORD processId, const std::wstring& text, DWORD ms);

// GET of a loopback address; the answer's body, empty on failure.
std::string HttpGet(const std::wstring& url);

// Makes the recorder program (qb_recorder.exe) this prefix's web browser, by
// every way OpenUrl could start one, and sends its records to `log`.
void InstallRecorderBrowser(const std::wstring& log);

// The recorder's records written to `log` within `ms`; each record is the
// list of arguments the browser was started with (UTF-8).
std::vector<std::vector<std::string>> RecorderRecords(const std::wstring& log, DWORD ms);
