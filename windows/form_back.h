// CFormBack: the backdrop behind the login window. A captionless layered window
// showing one per-pixel-alpha picture (the soft frame and shadow a colour key
// cannot draw); it owns the login window, carries the pair's taskbar button,
// and dragging it moves both.
#pragma once

#include <windows.h>

#include "ui/form.h"

class CFormBack : public CKVForm {
 public:
  // Creates the window hidden at the screen origin and sets its styles; the
  // picture is applied from the message loop, once start-up's messages are
  // handled.
  virtual bool Initialize();

  // Shows the backdrop with its taskbar button, centred on the work area or,
  // with `keepPosition`, where it is.
  void PresentBackdrop(bool keepPosition);

  // Draws picture 170 into the layered window, which also moves it to the
  // screen origin unless `keepPosition`; without the picture the window is
  // fully transparent.
  void PaintLayered(bool keepPosition = false);

  // Decodes the PNG resource `png` of `module`, premultiplies it with rounding
  // and draws it at (0, 0) into `target`. False when it cannot be read.
  static bool RenderPngResource(HINSTANCE module, HRSRC png, HDC target);

  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  void OnMove() override;
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};
