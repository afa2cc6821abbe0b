// CKVButton: a label with up to eight state pictures (normal, hover, pressed,
// disabled, and the same for a selected toggle button), the state machine
// that switches between them on mouse input, and picture drawing, whole or
// nine-sliced.
#pragma once

#include "ui/core/slice.h"
#include "ui/image.h"
#include "ui/label.h"

class CKVButton : public CKVLabel {
 public:
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kReleased = 3, kReapply = 4 };

  CKVButton();
  ~CKVButton() override;

  bool OnLButtonDown(WPARAM wParam, const POINT* point) override;
  bool OnLButtonUp(WPARAM wParam, const POINT* point) override;
  bool OnMouseMove(WPARAM wParam, const POINT* point) override;
  void Draw(HDC hdc) override;
  void SetEnabled(bool enabled, bool redraw) override;

  virtual int GetImageWidth();
  virtual int GetImageHeight();
  // kReapply shows the picture of the current state again (after m_selected
  // was flipped).
  virtual void SetState(int state, bool redraw);

  int m_state = kNormal;
  bool m_fitImage = true;
  bool m_stretch = true;
  bool m_selected = false;
  bool m_hasAlpha = false;
  SliceBorders m_slice;
  RECT m_textMargins{};
  CImage m_current;  // alias of one of the eight below
  CImage m_normal;
  CImage m_hoverImage;
  CImage m_pressed;
  CImage m_disabled;
  CImage m_selNormal;
  CImage m_selHover;
  CImage m_selPressed;
  CImage m_selDisabled;

 private:
  // Makes `image` current when it holds a bitmap.
  bool Show(const CImage& image);
  void CopyPicture(HDC hdc, const SliceBox& dest, const SliceBox& source, BYTE alpha);
  void DrawText(HDC hdc);
};

// Loads the normal, hover and pressed pictures of `button` from `module` and
// shows the normal one; m_hasAlpha tells whether the normal one was a PNG.
void LoadButtonImages(UINT normalId, HINSTANCE module, CKVButton* button, UINT hoverId,
                      UINT pressedId);
