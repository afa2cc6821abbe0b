// Labels and button texts drawn with real fonts into 32-bit pictures: what
// text is shown when it does not fit, where an anchored label lands, and which
// setters repaint the form.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "toolkit_form_fixture.h"
#include "ui/button.h"
#include "ui/image.h"
#include "ui/label.h"

namespace {

constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 40;

// What `control` leaves on a white canvas.
std::string Render(CKVBaseControl& control) {
  CImage canvas;
  if (!canvas.Create(kCanvasWidth, kCanvasHeight, 32, false)) return {};
  std::memset(canvas.GetBits(), 0xFF, static_cast<size_t>(kCanvasWidth) * kCanvasHeight * 4);
  {
    CImageDc dc(canvas);
    control.Draw(dc.Get());
    ::GdiFlush();
  }
  std::string pixels(static_cast<size_t>(kCanvasWidth) * kCanvasHeight, ' ');
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      const std::uint8_t* p = canvas.GetPixelAddress(x, y);
      if (p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF) pixels[y * kCanvasWidth + x] = '#';
    }
  }
  return pixels;
}

// Columns [first, last) that hold ink, or (-1, -1).
std::pair<int, int> InkColumns(const std::string& pixels) {
  int first = -1, last = -1;
  for (int x = 0; x < kCanvasWidth; ++x) {
    for (int y = 0; y < kCanvasHeight; ++y) {
      if (pixels[y * kCanvasWidth + x] != '#') continue;
      if (first < 0) first = x;
      last = x + 1;
    }
  }
  return {first, last};
}

// Width of `text` in `font`, measured the way the controls measure.
int TextWidth(HFONT font, const std::wstring& text) {
  ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
  ScopedSelectObject selected(dc.Get(), font);
  RECT box{0, 0, 0, 0};
  ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT);
  return box.right - box.left;
}

template <typename Control>
void Prepare(Control& control, const std::wstring& text, int left, int width) {
  control.SetFontSize(14, 0, false);
  control.SetText(text.c_str(), false);
  control.m_autoWidth = false;
  control.m_rect = {left, 8, left + width, 32};
}

// A shortened text must look exactly like the same control given the
// expected text, which fits.
template <typename Control>
void ExpectShown(const std::wstring& text, int width, const std::wstring& expected,
                 int tailLength) {
  Control shortened;
  shortened.m_tailLength = tailLength;
  Prepare(shortened, text, 10, width);
  Control reference;
  reference.m_tailLength = tailLength;
  Prepare(reference, expected, 10, width);
  EXPECT_EQ(Render(shortened), Render(reference));
  EXPECT_NE(Render(shortened), std::string(kCanvasWidth * kCanvasHeight, ' ')) << "drew nothing";
}

// The font the controls make for these tests.
ScopedFont TestFont() {
  CKVLabel probe;
  probe.SetFontSize(14, 0, false);
  return ScopedFont(::CreateFontW(14, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS,
                                  probe.m_fontName.c_str()));
}

TEST(ToolkitLabelTest, LongTextIsCutToThePrefixThatFirstReachesTheRightEdge) {
  const ScopedFont font = TestFont();
  const std::wstring text = L"Ostrevane launcher 3.0";
  auto width = [&](const wchar_t* s) { return TextWidth(font.Get(), s); };
  const struct Case {
    const char* what;
    int boxWidth;
    std::wstring shown;
  } cases[] = {
      {"fits exactly", width(text.c_str()), text},
      {"wider box", width(text.c_str()) + 50, text},
      // A candidate is taken once it comes within 16 pixels of the right edge.
      {"at the boundary", width(L"Ostr...") + 16, L"Ostre..."},
      {"one pixel less", width(L"Ostr...") + 15, L"Ostr..."},
      {"dots alone reach it", width(L"...") + 15, L"..."},
      {"first letter", width(L"...") + 16, L"O..."},
      {"tiny box", 3, L"..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectShown<CKVLabel>(text, c.boxWidth, c.shown, 0);
  }
}

TEST(ToolkitLabelTest, ShortenedButtonTextKeepsItsTail) {
  const ScopedFont font = TestFont();
  const std::wstring text = L"screenshot_2026.png";
  auto width = [&](const wchar_t* s) { return TextWidth(font.Get(), s); };
  const struct Case {
    const char* what;
    int tail;
    int boxWidth;
    std::wstring shown;
  } cases[] = {
      {"fits", 4, width(text.c_str()), text},
      {"extension kept", 4, width(L"scr....png") + 16, L"scre....png"},
      {"one pixel less", 4, width(L"scr....png") + 15, L"scr....png"},
      {"only the tail", 4, 5, L"....png"},
      {"no tail", 0, width(L"scr...") + 16, L"scre..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectShown<CKVButton>(text, c.boxWidth, c.shown, c.tail);
  }
}

TEST(ToolkitLabelTest, AutoWidthLimitCutsTheBoxAndTheText) {
  const ScopedFont font = TestFont();
  const int limit = TextWidth(font.Get(), L"Ostrevane...") + 16;
  CKVLabel label;
  label.SetFontSize(14, 0, false);
  label.SetText(L"Ostrevane launcher 3.0", false);
  label.m_rect = {10, 8, 11, 32};
  label.SetAutoWidth(true, limit);
  const std::string shown = Render(label);
  EXPECT_EQ(label.m_rect.right, 10 + limit);

  CKVLabel reference;
  Prepare(reference, L"Ostrevane ...", 10, limit);
  EXPECT_EQ(shown, Render(reference));
}

using ToolkitLabelFormTest = ProbeFormTest;

TEST_F(ToolkitLabelFormTest, RightAnchoredAutoWidthLabelFollowsTheFormWidth) {
  CKVLabel label;
  form_.AddControl(&label);
  label.m_align = L"right";
  const RECT margins{40, 5, 10, 30};
  label.SetAnchorMargins(&margins);
  EXPECT_EQ(label.m_rect.left, 300 - 40);
  EXPECT_EQ(label.m_rect.right, 300 - 10);
  label.SetFontSize(14, 0, false);
  label.SetText(L"Go", false);
  const int textWidth = label.GetTextWidth();
  ASSERT_GT(textWidth, 0);
  ASSERT_LT(textWidth, 30);

  // Resizing the window lays the label out again (WM_SIZE).
  ::SetWindowPos(form_.GetHwnd(), nullptr, 0, 0, 1024, 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(label.m_rect.left, 984);
  EXPECT_EQ(label.m_rect.top, 5);
  EXPECT_EQ(label.m_rect.right, 1014);
  EXPECT_EQ(label.m_rect.bottom, 30);

  const auto [first, last] = InkColumns(Render(label));
  EXPECT_EQ(label.m_rect.right, 984 + textWidth) << "drawing fits the box to the text";
  EXPECT_GE(first, 984);
  EXPECT_LE(last, 984 + textWidth);
  EXPECT_GT(last, first);
  form_.RemoveControl(&label);
}

TEST_F(ToolkitLabelFormTest, SettersRepaintOnlyWhenSomethingChanges) {
  ShowAndSettle();
  const struct Case {
    const char* what;
    std::function<void(CKVLabel&)> change;
    int paints;
  } cases[] = {
      {"same colour", [](CKVLabel& l) { l.SetColor(RGB(1, 2, 3), true); }, 0},
      {"new colour", [](CKVLabel& l) { l.SetColor(RGB(9, 9, 9), true); }, 1},
      {"new colour, no redraw asked", [](CKVLabel& l) { l.SetColor(RGB(9, 9, 9), false); }, 0},
      {"still visible", [](CKVLabel& l) { l.SetVisible(true, true); }, 0},
      {"hidden", [](CKVLabel& l) { l.SetVisible(false, true); }, 1},
      {"still enabled", [](CKVLabel& l) { l.SetEnabled(true, true); }, 0},
      {"disabled", [](CKVLabel& l) { l.SetEnabled(false, true); }, 1},
      {"not bold again", [](CKVLabel& l) { l.SetBold(false, true); }, 0},
      {"bold", [](CKVLabel& l) { l.SetBold(true, true); }, 1},
      {"same back colour", [](CKVLabel& l) { l.SetBackColor(0, true); }, 0},
      {"new back colour", [](CKVLabel& l) { l.SetBackColor(RGB(0, 0, 90), true); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CKVLabel label;
    label.m_rect = {10, 10, 200, 40};
    label.SetColor(RGB(1, 2, 3), false);
    label.SetText(L"Ostrevane", false);
    form_.AddControl(&label);
    form_.paints = 0;
    c.change(label);
    EXPECT_EQ(form_.paints, c.paints);
    EXPECT_FALSE(::GetUpdateRect(form_.GetHwnd(), nullptr, FALSE)) << "nothing left pending";
    form_.RemoveControl(&label);
  }
}

}  // namespace
