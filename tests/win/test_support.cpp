#include "test_support.h"

#include <shlobj.h>
#include <wincodec.h>
#include <wininet.h>

#include "app/com_ptr.h"
#include "net/internet_handle.h"

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& extraEnvironment) {
  std::wstring mutableLine = commandLine;
  std::vector<wchar_t> environment;
  if (!extraEnvironment.empty()) {
    // Current environment plus one NAME=VALUE entry.
    const wchar_t* block = ::GetEnvironmentStringsW();
    const wchar_t* end = block;
    while (*end != L'\0') end += wcslen(end) + 1;
    environment.assign(block, end);
    ::FreeEnvironmentStringsW(const_cast<wchar_t*>(block));
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    environment.push_back(L'\0');
    environment.push_back(L'\0');
  }
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE,
                        environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), nullptr, &si, &pi)) {
    return false;
  }
  ScopedHandle thread(pi.hThread);
  process_.Reset(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
}

long ChildProcess::WaitForExit(DWORD ms) {
  if (!process_) return -1;
  if (::WaitForSingleObject(process_.Get(), ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.Get(), &code);
  return static_cast<long>(code);
}

bool ChildProcess::IsRunning() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
  if (IsRunning()) {
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

namespace {

struct WindowQuery {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
  auto* query = reinterpret_cast<WindowQuery*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[256] = {};
  ::GetClassNameW(hwnd, name, 256);
  if (pid == query->processId && wcscmp(name, query->className) == 0) {
    query->found.push_back(hwnd);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className) {
  WindowQuery query{processId, className, {}};
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> WaitForWindows(DWORD processId, const wchar_t* className, size_t count,
                                 DWORD ms) {
  const ULONGLONG deadline = ::GetTickCount64() + ms;
  std::vector<HWND> found;
  do {
    found = WindowsOf(processId, className);
    if (found.size() >= count) return found;
    ::Sleep(50);
  } while (::GetTickCount64() < deadline);
  return found;
}

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string ReadFileBytes(const std::wstring& path) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
  return out;
}

std::wstring AppDataFolder() {
  wchar_t buffer[MAX_PATH] = {};
  ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE);
  return buffer;
}

std::wstring ClientDataFolder() { return AppDataFolder() + L"\\Jorva游戏\\kelmi\\"; }

std::wstring ClientSettingsPath() { return ClientDataFolder() + L"Brisel.ini"; }

std::wstring SettingsValue(const wchar_t* section, const wchar_t* key) {
  wchar_t buffer[512] = {};
  ::GetPrivateProfileStringW(section, key, L"<absent>", buffer, 512, ClientSettingsPath().c_str());
  return buffer;
}

ScreenShot CaptureScreen(const RECT& area) {
  ScreenShot shot;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  if (shot.width <= 0 || shot.height <= 0) return ScreenShot{};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return ScreenShot{};
  {
    ScopedWindowDc screen(nullptr);
    ScopedMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    ScopedSelectObject select(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, shot.width, shot.height, screen.Get(), area.left, area.top,
             SRCCOPY);
    ::GdiFlush();
  }
  const auto* p = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
  for (std::uint32_t& px : shot.pixels) px &= 0x00FFFFFF;
  return shot;
}

bool SavePng(const ScreenShot& shot, const std::wstring& path) {
  ScopedComInit com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> props;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.ReceiveVoid())) ||
      FAILED(factory->CreateStream(stream.Receive())) ||
      FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive())) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.Receive(), props.Receive())) ||
      FAILED(frame->Initialize(props.Get())) || FAILED(frame->SetSize(shot.width, shot.height))) {
    return false;
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
  std::vector<std::uint32_t> copy = shot.pixels;
  const UINT stride = static_cast<UINT>(shot.width * 4);
  return SUCCEEDED(frame->SetPixelFormat(&format)) &&
         SUCCEEDED(frame->WritePixels(shot.height, stride, stride * shot.height,
                                      reinterpret_cast<BYTE*>(copy.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

std::wstring ArtifactFolder() {
  const std::wstring folder = ModuleFolder() + L"artifacts\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void ClickAt(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  INPUT inputs[2] = {};
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &inputs[0], sizeof(INPUT));
  ::Sleep(80);
  ::SendInput(1, &inputs[1], sizeof(INPUT));
}

namespace {

struct MessageBoxSearch {
  DWORD processId;
  const std::wstring* text;
  HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t className[16] = {};
  ::GetClassNameW(hwnd, className, 16);
  if (pid != search->processId || std::wstring(className) != L"#32770" ||
      !::IsWindowVisible(hwnd)) {
    return TRUE;
  }
  wchar_t text[512] = {};
  ::GetDlgItemTextW(hwnd, 0xFFFF, text, 512);
  if (*search->text == text) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForMessageBox(DWORD processId, const std::wstring& text, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  do {
    MessageBoxSearch search{processId, &text, nullptr};
    ::EnumWindows(&MatchMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    ::Sleep(50);
  } while (::GetTickCount64() < end);
  return nullptr;
}

std::string HttpGet(const std::wstring& url) {
  ScopedInternetHandle session(
      ::InternetOpenW(L"qb-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return std::string();
  ScopedInternetHandle request(
      ::InternetOpenUrlW(session.Get(), url.c_str(), nullptr, 0,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request) return std::string();
  std::string body;
  char buffer[4096];
  DWORD read = 0;
  while (::InternetReadFile(request.Get(), buffer, sizeof(buffer), &read) && read > 0) {
    body.append(buffer, read);
  }
  return body;
}

namespace {

void SetRegText(HKEY root, const std::wstring& path, const wchar_t* name,
                const std::wstring& value) {
  ScopedRegKey key;
  if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS) {
    return;
  }
  ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

void InstallRecorderBrowser(const std::wstring& log) {
  ::SetEnvironmentVariableW(L"QB_RECORDER_LOG", log.c_str());
  static bool installed = false;
  if (installed) return;
  installed = true;
  const std::wstring recorder = ModuleFolder() + L"qb_recorder.exe";
  wchar_t windowsDir[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
  wchar_t programFiles[MAX_PATH] = {};
  ::ExpandEnvironmentStringsW(L"%ProgramFiles%", programFiles, MAX_PATH);
  for (const std::wstring& browser :
       {std::wstring(windowsDir) + L"\\system32\\iexplore.exe",
        std::wstring(programFiles) + L"\\Internet Explorer\\iexplore.exe"}) {
    ::CopyFileW(recorder.c_str(), browser.c_str(), FALSE);
  }
  // Wine would otherwise load its own browser in place of the file.
  SetRegText(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"iexplore.exe", L"native");
  SetRegText(HKEY_LOCAL_MACHINE,
             L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe", nullptr,
             recorder);
  for (const wchar_t* scheme : {L"http", L"https", L"mailto", L"file"}) {
    SetRegText(HKEY_CURRENT_USER,
               std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command", nullptr,
               L"\"" + recorder + L"\" --handler \"%1\"");
  }
}

std::vector<std::vector<std::string>> RecorderRecords(const std::wstring& log, DWORD ms) {
  const ULONGLONG deadline = ::GetTickCount64() + ms;
  std::string text;
  do {
    text = ReadFileBytes(log);
    if (!text.empty()) break;
    ::Sleep(50);
  } while (::GetTickCount64() < deadline);
  ::Sleep(200);  // a second start would land by now
  text = ReadFileBytes(log);
  std::vector<std::vector<std::string>> records(1);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line == "--end--") {
      records.emplace_back();
    } else {
      records.back().push_back(line);
    }
  }
  records.pop_back();
  return records;
}
void PumpMessages(DWORD ms, const std::function<bool()>& done) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return;
    ::Sleep(10);
  }
}

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<unsigned long*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND hwnd, LPARAM count) {
  CountWindow(hwnd, count);
  ::EnumChildWindows(hwnd, &CountWindow, count);
  return TRUE;
}

}  // namespace

ResourceCounts CountResources() {
  const HANDLE self = ::GetCurrentProcess();
  ResourceCounts c{::GetGuiResources(self, GR_GDIOBJECTS), ::GetGuiResources(self, GR_USEROBJECTS),
                   0, 0};
  DWORD handles = 0;
  if (::GetProcessHandleCount(self, &handles) && handles != 0) {
    c.handles = handles;
  } else {
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
      if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++c.handles;
    }
  }
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindowAndChildren,
                      reinterpret_cast<LPARAM>(&c.windows));
  return c;
}
