// A real form window for toolkit tests: messages sent to it reach
// CKVForm::HandleMessage, clicks are routed to the control under the pointer
// as the application forms do, and WM_PAINT messages are counted.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "ui/form.h"

class ProbeForm : public CKVForm {
 public:
  bool OnLButtonDown(WPARAM wParam, const POINT* point) override {
    CKVForm::OnLButtonDown(wParam, point);
    CKVBaseControl* hit = ControlAt(point);
    return hit != nullptr && hit->OnLButtonDown(wParam, point);
  }
  bool OnLButtonUp(WPARAM wParam, const POINT* point) override {
    CKVBaseControl* hit = ControlAt(point);
    return hit != nullptr && hit->OnLButtonUp(wParam, point);
  }
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) ++paints;
    return CKVForm::HandleMessage(hwnd, message, wParam, lParam);
  }

  int paints = 0;
};

inline LRESULT CALLBACK ProbeFormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<ProbeForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form != nullptr && form->HandleMessage(hwnd, message, wParam, lParam) == 0) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class ProbeFormTest : public ::testing::Test {
 protected:
  static constexpr wchar_t kClassName[] = L"QbToolkitProbeForm";

  void SetUp() override {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ProbeFormProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);  // already registered by an earlier test is fine
    form_.m_rect = {0, 0, 300, 120};
    ASSERT_TRUE(form_.Create(kClassName, L"", ::GetModuleHandleW(nullptr), nullptr));
    ::SetWindowLongPtrW(form_.GetHwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form_));
  }
  void TearDown() override {
    if (form_.GetHwnd() != nullptr) ::DestroyWindow(form_.GetHwnd());
  }

  LRESULT Send(UINT message, int x, int y, WPARAM wParam = 0) {
    return ::SendMessageW(form_.GetHwnd(), message, wParam, MAKELPARAM(x, y));
  }

  // Shows the form without activating it and lets every pending paint happen.
  void ShowAndSettle() {
    ::ShowWindow(form_.GetHwnd(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(form_.GetHwnd());
    // The display may still send exposures for a moment after the window maps.
    const ULONGLONG deadline = ::GetTickCount64() + 300;
    MSG msg;
    while (::GetTickCount64() < deadline) {
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::Sleep(10);
    }
    form_.paints = 0;
  }

  ProbeForm form_;
};
