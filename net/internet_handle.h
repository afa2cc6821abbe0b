// Owner of a WinINet handle (session, connection or request).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "app/handles.h"

struct InternetHandleTraits {
  using Type = HINTERNET;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { ::InternetCloseHandle(h); }
};
using ScopedInternetHandle = UniqueHandle<InternetHandleTraits>;
