// The main thread's message loop and its filters: a small stand-in for the
// message-loop pieces of a UI framework. Filters see every queued message
// before it is translated and dispatched; the newest filter is asked first.
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
 public:
  virtual BOOL PreTranslateMessage(MSG* msg) = 0;

 protected:
  ~CMessageFilter() = default;
};

class CMessageLoop {
 public:
  void AddMessageFilter(CMessageFilter* filter);
  void RemoveMessageFilter(CMessageFilter* filter);

  // Runs until WM_QUIT and returns its wParam. GetMessageW failing (-1) is
  // ignored and the loop goes on.
  int Run();

  // True when a filter consumed the message.
  BOOL PreTranslateMessage(MSG* msg);

 private:
  std::vector<CMessageFilter*> filters_;
};
