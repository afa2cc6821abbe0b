// Helpers for tests of the application windows: a window class that feeds the
// form under test, browser events delivered as the control delivers them, and
// a driver thread that answers the modal menus and message boxes the forms
// open on the thread under test.
#pragma once

#include <windows.h>

#include <exdispid.h>
#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "test_support.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/image.h"

namespace formtest {

// The window class of the forms under test. Like the client's own window
// procedure it hands each message of the form's window to HandleMessage; a
// drag request (SC_MOVE) is recorded and not started, since the system's move
// loop would wait for a real mouse button.
struct FormRoute {
  static CKVForm*& Form() {
    static CKVForm* form = nullptr;
    return form;
  }
  static std::vector<WPARAM>& Drags() {
    static std::vector<WPARAM> drags;
    return drags;
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE) {
      Drags().push_back(wParam);
      return 0;
    }
    CKVForm* form = Form();
    if (form != nullptr && hwnd == form->GetHwnd()) {
      return form->HandleMessage(hwnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  static const wchar_t* RegisterClassOnce() {
    static const wchar_t kName[] = L"QbFormUnderTest";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    // Global: found whichever module a test names as the forms' instance.
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kName;
    ::RegisterClassExW(&wc);  // a second registration fails harmlessly
    return kName;
  }
};

// For its lifetime, forms made through the global module use the test's window
// class, this module's resources and the client's title; the old values come
// back afterwards.
class ModuleForForms {
 public:
  ModuleForForms() {
    wcscpy_s(savedClass_, g_globalModule.windowClass);
    wcscpy_s(savedTitle_, g_globalModule.title);
    g_globalModule.hInstance = ::GetModuleHandleW(nullptr);
    wcscpy_s(g_globalModule.windowClass, FormRoute::RegisterClassOnce());
    wcscpy_s(g_globalModule.title, L"Ostrevane");
    FormRoute::Drags().clear();
  }
  ~ModuleForForms() {
    FormRoute::Form() = nullptr;
    g_globalModule.hInstance = savedInstance_;
    wcscpy_s(g_globalModule.windowClass, savedClass_);
    wcscpy_s(g_globalModule.title, savedTitle_);
  }
  ModuleForForms(const ModuleForForms&) = delete;
  ModuleForForms& operator=(const ModuleForForms&) = delete;

 private:
  HINSTANCE savedInstance_ = g_globalModule.hInstance;
  wchar_t savedClass_[100] = {};
  wchar_t savedTitle_[100] = {};
};

inline RECT WorkArea() {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

inline std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

struct NamedControl {
  const char* name;
  CKVBaseControl* control;
};

// A window's layout, one line each: the controls, the title label (which
// narrows to its text when drawn, so only its right-hand limit shows) and the
// browser view in the form's client coordinates.
inline std::vector<std::string> LayoutTable(HWND form, const std::vector<NamedControl>& controls,
                                            CKVBaseControl& title, int titleLimit, HWND view) {
  std::vector<std::string> table;
  for (const NamedControl& c : controls) {
    RECT r{};
    c.control->GetRect(&r);
    table.push_back(std::string(c.name) + " " + Text(r));
  }
  RECT t{};
  title.GetRect(&t);
  const std::string limit = ",<=" + std::to_string(titleLimit) + ",";
  table.push_back("title " + std::to_string(t.left) + "," + std::to_string(t.top) +
                  (t.right > t.left && t.right <= titleLimit ? limit : ",WIDE,") +
                  std::to_string(t.bottom));
  RECT v{};
  ::GetWindowRect(view, &v);
  ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&v), 2);
  table.push_back(std::string("view ") + Text(v) + (::IsWindowVisible(view) ? "" : " hidden"));
  return table;
}

// Stand-ins for pictures the program's resources do not carry (yet): tests
// look at which picture shows, never at its pixels.
inline void EnsurePicture(CImage& image, int width, int height) {
  if (image.IsNull()) image.Create(width, height, 32, true);
}
inline void EnsureButtonPictures(CKVButton& b, int width, int height) {
  for (CImage* image : {&b.m_normal, &b.m_hoverImage, &b.m_pressed, &b.m_selNormal, &b.m_selHover,
                        &b.m_selPressed}) {
    EnsurePicture(*image, width, height);
  }
  b.SetState(CKVButton::kReapply, false);
}

// Which of the button's pictures shows.
inline std::string Showing(const CKVButton& b) {
  const std::pair<const CImage*, const char*> named[] = {
      {&b.m_normal, "normal"},       {&b.m_hoverImage, "hover"},  {&b.m_pressed, "pressed"},
      {&b.m_selNormal, "selNormal"}, {&b.m_selHover, "selHover"}, {&b.m_selPressed, "selPressed"}};
  if (b.m_current.IsNull()) return "none";
  for (const auto& [image, name] : named) {
    if (!image->IsNull() && image->GetHandle() == b.m_current.GetHandle()) return name;
  }
  return "unknown";
}

inline RECT RectOf(CKVBaseControl& control) {
  RECT r{};
  control.GetRect(&r);
  return r;
}
inline POINT CentreOf(const RECT& r) {
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Mouse messages as the system sends them to a form, at client coordinates.
inline void Click(HWND hwnd, POINT at) {
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
}
inline void DoubleClick(HWND hwnd, POINT at) {
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Whether the notification area holds the icon (hwnd, id): only an existing
// icon can be modified.
inline bool TrayIconExists(HWND hwnd, UINT id) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = hwnd;
  nid.uID = id;
  return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

struct WindowSearch {
  DWORD thread;
  const wchar_t* className;
  std::vector<HWND> found;
};

inline BOOL CALLBACK CollectThreadWindow(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<WindowSearch*>(lParam);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (::GetWindowThreadProcessId(hwnd, nullptr) == s->thread && ::IsWindowVisible(hwnd) &&
      wcscmp(name, s->className) == 0) {
    s->found.push_back(hwnd);
  }
  return TRUE;
}

// Visible top-level windows of class `className` that belong to `thread`.
inline std::vector<HWND> ThreadWindows(DWORD thread, const wchar_t* className) {
  WindowSearch search{thread, className, {}};
  ::EnumWindows(CollectThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Answers the modal menus and message boxes that the thread under test opens,
// one step after another, and records what each showed:
//   menu:  "menu 刷新|清理缓存|开机启动✓ at (x,y)"
//   box:   "box 提示: 缓存清理完毕！ [ok] default ok"
// Each step waits at most `kStepMs` (10 s). After the last step (or a step that found
// nothing) it dismisses whatever else opens, recording it as "unexpected ...",
// until Finish, so a wrong path never leaves the test stuck in a modal loop.
class ModalDriver {
 public:
  struct Step {
    bool menu;     // a popup menu, else a message box
    UINT command;  // menu: the command to choose, 0 to dismiss; box: the button id
  };
  static Step Menu(UINT command) { return {true, command}; }
  static Step Box(UINT button) { return {false, button}; }

  ModalDriver(DWORD thread, std::vector<Step> steps)
      : thread_(thread), steps_(std::move(steps)), worker_([this] { Run(); }) {}
  ~ModalDriver() { Finish(); }

  // Stops the driver; what it saw, in order.
  std::vector<std::wstring> Finish() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static constexpr DWORD kStepMs = 10000;

  void Record(std::wstring text) {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back(std::move(text));
  }

  HWND WaitFor(const wchar_t* className, DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
      const std::vector<HWND> found = ThreadWindows(thread_, className);
      if (!found.empty()) return found.front();
      ::Sleep(20);
    } while (::GetTickCount() - start < ms && !stop_);
    return nullptr;
  }

  static void WaitGone(HWND hwnd) {
    for (int i = 0; i < 250 && ::IsWindow(hwnd) && ::IsWindowVisible(hwnd); ++i) ::Sleep(20);
  }

  static void Key(HWND hwnd, WPARAM key) {
    ::PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    ::PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
  }

  std::wstring DescribeMenu(HWND window, HMENU menu) {
    std::wstring text = L"menu ";
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      wchar_t caption[64] = {};
      ::GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
      if (i > 0) text += L"|";
      text += caption;
      if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) text += L"✓";
    }
    RECT r{};
    ::GetWindowRect(window, &r);
    return text + L" at (" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")";
  }

  static std::wstring ButtonName(int id) {
    switch (id) {
      case IDOK:
        return L"ok";
      case IDCANCEL:
        return L"cancel";
      case IDYES:
        return L"yes";
      case IDNO:
        return L"no";
      default:
        return std::to_wstring(id);
    }
  }

  static std::wstring DescribeBox(HWND box) {
    wchar_t caption[64] = {}, text[256] = {};
    ::GetWindowTextW(box, caption, 64);
    ::GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message's static control
    std::wstring result = std::wstring(L"box ") + caption + L": " + text + L" [";
    std::wstring defaults;
    bool first = true;
    for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
      const HWND button = ::GetDlgItem(box, id);
      if (button == nullptr) continue;
      result += (first ? L"" : L",") + ButtonName(id);
      first = false;
      // The default button is the one drawn as such.
      if ((::GetWindowLongPtrW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
        defaults += ButtonName(id);
      }
    }
    return result + L"] default " + (defaults.empty() ? L"none" : defaults);
  }

  void ChooseInMenu(HWND window, HMENU menu, UINT command) {
    if (command == 0) {
      Key(window, VK_ESCAPE);
      return;
    }
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      if (::GetMenuItemID(menu, i) != command) continue;
      for (int k = 0; k <= i; ++k) Key(window, VK_DOWN);
      Key(window, VK_RETURN);
      return;
    }
    Record(L"no item " + std::to_wstring(command));
    Key(window, VK_ESCAPE);
  }

  bool HandleMenu(HWND window, UINT command, const wchar_t* prefix) {
    const auto menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
    Record(prefix + DescribeMenu(window, menu));
    ChooseInMenu(window, menu, command);
    WaitGone(window);
    return true;
  }

  void HandleBox(HWND box, int button, const wchar_t* prefix) {
    Record(prefix + DescribeBox(box));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
    WaitGone(box);
  }

  void Run() {
    for (const Step& step : steps_) {
      const HWND window = WaitFor(step.menu ? L"#32768" : L"#32770", kStepMs);
      if (window == nullptr) {
        Record(step.menu ? L"no menu" : L"no box");
        break;
      }
      if (step.menu) {
        HandleMenu(window, step.command, L"");
      } else {
        HandleBox(window, static_cast<int>(step.command), L"");
      }
    }
    while (!stop_) {
      if (HWND menu = WaitFor(L"#32768", 50)) HandleMenu(menu, 0, L"unexpected ");
      if (HWND box = WaitFor(L"#32770", 50)) {
        const int button = ::GetDlgItem(box, IDNO)   ? IDNO
                           : ::GetDlgItem(box, IDOK) ? IDOK
                                                     : IDCANCEL;
        HandleBox(box, button, L"unexpected ");
      }
    }
  }

  DWORD thread_;
  std::vector<Step> steps_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::wstring> seen_;
  std::thread worker_;
};

}  // namespace formtest
