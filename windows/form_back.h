// CFormBack: the backdrop behind the login window (the painted frame).
#pragma once

#include "ui/form.h"

class CFormBack : public CKVForm {
 public:
  // Creates the window. The painted frame arrives with the toolkit's images.
  virtual void Initialize();

  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};
