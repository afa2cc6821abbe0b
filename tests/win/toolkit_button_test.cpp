// Buttons and labels on a real form: window messages drive the button's
// states and pictures, labels make real fonts and size themselves to text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/button.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/label.h"
#include "toolkit_form_fixture.h"

namespace {

// The button and label tests share the toolkit's probe form.
class ToolkitFormTest : public ProbeFormTest {};

void MakePicture(CImage& image, COLORREF colour) {
  ASSERT_TRUE(image.Create(100, 40, 24, false));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      std::uint8_t* p = image.GetPixelAddress(x, y);
      p[0] = GetBValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetRValue(colour);
    }
  }
}

// Which of the button's pictures is showing.
std::string Showing(const CKVButton& b) {
  const std::pair<const CImage*, const char*> named[] = {
      {&b.m_normal, "normal"},        {&b.m_hoverImage, "hover"},    {&b.m_pressed, "pressed"},
      {&b.m_disabled, "disabled"},    {&b.m_selNormal, "selNormal"}, {&b.m_selHover, "selHover"},
      {&b.m_selPressed, "selPressed"}};
  if (b.m_current.IsNull()) return "none";
  for (const auto& [image, name] : named) {
    if (!image->IsNull() && image->GetHandle() == b.m_current.GetHandle()) return name;
  }
  return "unknown";
}

std::string Record(const CKVButton& b) { return std::to_string(b.m_state) + ":" + Showing(b); }

TEST_F(ToolkitFormTest, ButtonFollowsThePointerThroughItsStates) {
  CKVButton button;
  MakePicture(button.m_normal, RGB(0, 0, 200));
  MakePicture(button.m_hoverImage, RGB(0, 200, 0));
  MakePicture(button.m_pressed, RGB(200, 0, 0));
  button.m_current.AliasOf(button.m_normal);
  button.m_rect = {50, 20, 150, 60};
  form_.AddControl(&button);

  std::vector<std::string> seen{Record(button)};
  Send(WM_MOUSEMOVE, 10, 10);  // outside
  seen.push_back(Record(button));
  Send(WM_MOUSEMOVE, 60, 30);
  seen.push_back(Record(button));
  Send(WM_LBUTTONDOWN, 60, 30, MK_LBUTTON);
  seen.push_back(Record(button));
  Send(WM_MOUSEMOVE, 70, 30, MK_LBUTTON);  // moving while held shows hover again
  seen.push_back(Record(button));
  Send(WM_LBUTTONDOWN, 70, 30, MK_LBUTTON);
  seen.push_back(Record(button));
  Send(WM_LBUTTONUP, 70, 30);
  seen.push_back(Record(button));
  Send(WM_MOUSELEAVE, 0, 0);
  seen.push_back(Record(button));
  const std::vector<std::string> expected = {"0:normal", "0:normal",  "1:hover", "2:pressed",
                                             "1:hover",  "2:pressed", "3:hover", "0:normal"};
  EXPECT_EQ(seen, expected);
  form_.RemoveControl(&button);
}

TEST_F(ToolkitFormTest, DrawingShowsTheCurrentPicture) {
  CKVButton button;
  MakePicture(button.m_normal, RGB(0, 0, 200));
  MakePicture(button.m_pressed, RGB(200, 0, 0));
  button.m_current.AliasOf(button.m_normal);
  button.m_rect = {50, 20, 150, 60};
  form_.AddControl(&button);
  Send(WM_LBUTTONDOWN, 60, 30, MK_LBUTTON);
  ASSERT_EQ(Record(button), "2:pressed");

  CImage canvas;
  ASSERT_TRUE(canvas.Create(300, 120, 32, false));
  {
    CImageDc dc(canvas);
    form_.Draw(dc.Get());
    ::GdiFlush();
  }
  const std::uint8_t* inside = canvas.GetPixelAddress(100, 40);
  EXPECT_EQ(RGB(inside[2], inside[1], inside[0]), RGB(200, 0, 0));
  const std::uint8_t* outside = canvas.GetPixelAddress(10, 10);
  EXPECT_EQ(RGB(outside[2], outside[1], outside[0]), RGB(0, 0, 0));
  form_.RemoveControl(&button);
}

TEST_F(ToolkitFormTest, MissingPicturesKeepTheCurrentOneAndSelectedSetsWin) {
  CKVButton button;
  MakePicture(button.m_normal, RGB(0, 0, 200));
  MakePicture(button.m_pressed, RGB(200, 0, 0));
  MakePicture(button.m_selNormal, RGB(0, 100, 100));
  MakePicture(button.m_selHover, RGB(0, 150, 150));
  button.m_current.AliasOf(button.m_normal);
  button.m_rect = {50, 20, 150, 60};
  form_.AddControl(&button);

  std::vector<std::string> seen;
  Send(WM_MOUSEMOVE, 60, 30);  // no hover picture: normal stays
  seen.push_back(Record(button));
  button.SetState(CKVButton::kReapply, true);
  seen.push_back(Record(button));
  button.m_selected = true;  // a toggle button switched on by the application
  button.SetState(CKVButton::kReapply, true);
  seen.push_back(Record(button));
  Send(WM_LBUTTONDOWN, 60, 30, MK_LBUTTON);  // no selected pressed picture
  seen.push_back(Record(button));
  Send(WM_MOUSELEAVE, 0, 0);
  seen.push_back(Record(button));
  button.SetEnabled(false, true);
  seen.push_back(Record(button));
  button.SetEnabled(true, true);
  seen.push_back(Record(button));
  const std::vector<std::string> expected = {"1:normal",   "1:normal",    "1:selHover",
                                             "2:pressed",  "0:selNormal", "0:selNormal",
                                             "0:selNormal"};
  EXPECT_EQ(seen, expected);
  form_.RemoveControl(&button);
}

TEST_F(ToolkitFormTest, LinkLabelChangesColourAndUnderlineWhileHovered) {
  CKVLabel label;
  label.SetText(L"注册账号", false);
  label.SetLinkColors(RGB(1, 2, 3), RGB(200, 100, 0), false);
  label.SetLinkUnderline(0, 1, false);
  label.m_rect = {10, 80, 90, 100};
  label.m_autoWidth = false;
  form_.AddControl(&label);
  Send(WM_MOUSEMOVE, 20, 90);
  EXPECT_EQ(label.m_color, RGB(200, 100, 0));
  EXPECT_EQ(label.m_underline, 1);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(label.m_color, RGB(1, 2, 3));
  EXPECT_EQ(label.m_underline, 0);
  form_.RemoveControl(&label);
}

TEST_F(ToolkitFormTest, LabelFontSizeFollowsTheFace) {
  struct Case {
    const wchar_t* face;
    int size, exact, height;
  } cases[] = {{L"宋体", 26, 0, 26},
               {L"微软雅黑", 26, 0, 21},
               {L"宋体", 26, 14, 14},
               {L"微软雅黑", 26, 14, 14}};
  for (const Case& c : cases) {
    CKVLabel label;
    label.m_hwndHost = form_.GetHwnd();
    label.SetFontName(c.face, false);
    label.SetFontSize(c.size, c.exact, false);
    label.SetText(L"Ostrevane", false);
    EXPECT_GT(label.GetTextWidth(), 0);
    LOGFONTW font{};
    ASSERT_NE(label.GetFontHandle(), nullptr);
    ASSERT_EQ(::GetObjectW(label.GetFontHandle(), sizeof(font), &font), int{sizeof(font)});
    EXPECT_EQ(font.lfHeight, c.height) << c.size << "/" << c.exact;
    EXPECT_STREQ(font.lfFaceName, c.face);
  }
}

TEST_F(ToolkitFormTest, AutoWidthLabelTakesTheTextWidthUpToItsLimit) {
  CImage canvas;
  ASSERT_TRUE(canvas.Create(900, 40, 32, false));
  CImageDc dc(canvas);

  CKVLabel label;
  label.m_hwndHost = form_.GetHwnd();
  label.m_rect = {20, 5, 21, 35};
  label.SetFontSize(20, 0, false);
  label.SetText(L"A rather long line of text for the launcher", false);
  EXPECT_EQ(label.m_rect.right, 20 + 800) << "widened before measuring";
  label.Draw(dc.Get());
  const int width = label.GetTextWidth();
  ASSERT_GT(width, 100);
  EXPECT_EQ(label.m_rect.right, 20 + width);

  label.SetAutoWidth(true, width / 2);
  label.SetText(label.GetText().c_str(), false);
  label.Draw(dc.Get());
  EXPECT_EQ(label.m_rect.right, 20 + width / 2);

  // A new, short text is measured again and the box shrinks to it.
  label.SetAutoWidth(true, 0);
  label.SetText(L"Go", false);
  label.Draw(dc.Get());
  EXPECT_LT(label.m_rect.right - label.m_rect.left, 60);
}

}  // namespace
