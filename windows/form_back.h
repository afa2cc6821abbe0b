// CFormBack: the backdrop behind the login window (the painted frame).
#pragma once

#include "ui/form.h"

class CFormBack : public CKVForm {
 public:
  // Creates the window. The painted frame arrives with the toolkit's images.
  virtual void Initialize();

  // Centres the backdrop on the work area with its taskbar button, as the login
  // window presents itself; `keepPosition` leaves it where it is.
  void PresentBackdrop(bool keepPosition);

  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};
