#include "app/message_loop.h"

#include <algorithm>

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { filters_.push_back(filter); }

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it) {
    if ((*it)->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

int CMessageLoop::Run() {
  MSG msg{};
  for (;;) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (!got) break;
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
