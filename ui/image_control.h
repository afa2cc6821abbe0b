// CKVImage: a windowless control that draws one picture inside its form,
// whole, stretched or nine-sliced, opaque or transparent.
#pragma once

#include "ui/control.h"
#include "ui/core/slice.h"
#include "ui/image.h"

class CKVImage : public CKVBaseControl {
 public:
  CKVImage();
  ~CKVImage() override;

  void Draw(HDC hdc) override;
  virtual int GetImageWidth();
  virtual int GetImageHeight();

  // Set by whoever loads m_image: true for "PNG" pictures (blend copy), false
  // for colour-keyed bitmaps.
  bool m_hasAlpha = false;
  CImage m_image;
  // False: opaque drawing (stretch or origin copy).
  bool m_blend = true;
  SliceBorders m_slice;
  // False: the picture keeps its own size.
  bool m_stretch = true;
};
