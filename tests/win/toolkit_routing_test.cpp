// Mouse input on a real form: which control each window message reaches, in
// what order, and at which client point.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit_form_fixture.h"
#include "ui/control.h"

namespace {

// Records every mouse operation the form calls on it as "name.event x,y".
class Probe : public CKVBaseControl {
 public:
  Probe(const char* name, RECT rect, std::vector<std::string>* log) : name_(name), log_(log) {
    m_rect = rect;
  }
  bool OnLButtonDown(WPARAM, const POINT* p) override { return Log("down", p); }
  bool OnLButtonUp(WPARAM, const POINT* p) override { return Log("up", p); }
  bool OnMouseMove(WPARAM, const POINT* p) override { return Log("move", p); }
  bool OnMouseWheel(WPARAM, const POINT* p) override { return Log("wheel", p); }

 private:
  bool Log(const char* event, const POINT* p) {
    log_->push_back(name_ + "." + event + " " + std::to_string(p->x) + "," + std::to_string(p->y));
    return false;
  }
  std::string name_;
  std::vector<std::string>* log_;
};

using Log = std::vector<std::string>;

class ToolkitRoutingTest : public ProbeFormTest {
 protected:
  // WM_MOUSEWHEEL carries screen coordinates.
  void Wheel(int screenX, int screenY) {
    ::SendMessageW(form_.GetHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                   MAKELPARAM(screenX, screenY));
  }
  void MoveFormTo(int x, int y) {
    ::SetWindowPos(form_.GetHwnd(), nullptr, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed{};
    ::GetWindowRect(form_.GetHwnd(), &placed);
    ASSERT_EQ(placed.left, x);
    ASSERT_EQ(placed.top, y);
  }
  Log log_;
};

TEST_F(ToolkitRoutingTest, OverlapGoesToTheLaterControlAndMovesLeaveTheOthers) {
  Probe a("a", {10, 10, 60, 60}, &log_);
  Probe b("b", {40, 40, 100, 100}, &log_);
  form_.AddControl(&a);
  form_.AddControl(&b);

  Send(WM_MOUSEMOVE, 50, 50);  // both accept; a, underneath, hears nothing
  Send(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
  Send(WM_LBUTTONUP, 50, 50);
  Wheel(50, 50);               // the form sits at (0, 0): screen = client
  Send(WM_MOUSEMOVE, 20, 20);  // only a: b is told the pointer is outside it
  Send(WM_MOUSEMOVE, 200, 20);
  Send(WM_LBUTTONDOWN, 200, 20, MK_LBUTTON);
  Wheel(200, 20);
  const Log expected = {"b.move 50,50", "b.down 50,50", "b.up 50,50",    "b.wheel 50,50",
                        "b.move 20,20", "a.move 20,20", "b.move 200,20", "a.move 200,20"};
  EXPECT_EQ(log_, expected);
}

TEST_F(ToolkitRoutingTest, HiddenAndDisabledControlsAreNeverHit) {
  struct Case {
    const char* what;
    bool visible, enabled;
  } cases[] = {{"hidden", false, true}, {"disabled", true, false}, {"both", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log_.clear();
    Probe a("a", {10, 10, 60, 60}, &log_);
    Probe b("b", {40, 40, 100, 100}, &log_);
    form_.AddControl(&a);
    form_.AddControl(&b);
    b.SetVisible(c.visible, false);
    b.SetEnabled(c.enabled, false);

    Send(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);  // overlap: falls through to a
    Wheel(50, 50);
    Send(WM_LBUTTONDOWN, 90, 90, MK_LBUTTON);  // b alone: nobody
    Wheel(90, 90);
    Send(WM_MOUSEMOVE, 90, 90);  // b only ever hears "outside"
    const Log expected = {"a.down 50,50", "a.wheel 50,50", "b.move 90,90", "a.move 90,90"};
    EXPECT_EQ(log_, expected);
    form_.RemoveControl(&b);
    form_.RemoveControl(&a);
  }
}

TEST_F(ToolkitRoutingTest, LeftAndTopEdgesHitRightAndBottomEdgesDoNot) {
  Probe p("p", {10, 20, 30, 40}, &log_);
  form_.AddControl(&p);
  struct Case {
    int x, y;
    bool hit;
  } cases[] = {{10, 20, true},  {29, 39, true},  {10, 39, true}, {29, 20, true}, {30, 25, false},
               {15, 40, false}, {30, 40, false}, {9, 25, false}, {15, 19, false}};
  for (const Case& c : cases) {
    log_.clear();
    Send(WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
    Wheel(c.x, c.y);
    const Log expected = c.hit ? Log{"p.down " + std::to_string(c.x) + "," + std::to_string(c.y),
                                     "p.wheel " + std::to_string(c.x) + "," + std::to_string(c.y)}
                               : Log{};
    EXPECT_EQ(log_, expected) << "at " << c.x << "," << c.y;
  }
}

TEST_F(ToolkitRoutingTest, LeavingTheWindowIsOneMovePassAtTheOrigin) {
  Probe background("bg", {0, 0, 300, 120}, &log_);
  Probe button("btn", {100, 40, 150, 80}, &log_);
  form_.AddControl(&background);
  form_.AddControl(&button);

  Send(WM_MOUSEMOVE, 120, 60);
  EXPECT_TRUE(form_.m_tracking);
  Send(WM_MOUSELEAVE, 120, 60);  // the position in the message is not used
  EXPECT_FALSE(form_.m_tracking) << "the next real move arms tracking again";
  const Log expected = {"btn.move 120,60", "btn.move 0,0", "bg.move 0,0"};
  EXPECT_EQ(log_, expected);

  // Without anything under (0, 0) the pass only tells the others they were left.
  log_.clear();
  form_.RemoveControl(&background);
  Send(WM_MOUSEMOVE, 120, 60);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(log_, (Log{"btn.move 120,60", "btn.move 0,0"}));
  Send(WM_MOUSEMOVE, 5, 5);
  EXPECT_TRUE(form_.m_tracking);
}

TEST_F(ToolkitRoutingTest, WheelIsRoutedByItsClientPoint) {
  Probe a("a", {10, 10, 60, 60}, &log_);
  Probe b("b", {60, 10, 110, 60}, &log_);
  form_.AddControl(&a);
  form_.AddControl(&b);
  struct Case {
    int formX, formY;
  } cases[] = {{200, 150}, {37, 400}, {-250, 40}, {30, -100}};  // also left of / above the screen
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.formX) + "," + std::to_string(c.formY));
    log_.clear();
    MoveFormTo(c.formX, c.formY);
    Wheel(c.formX + 70, c.formY + 30);
    Wheel(c.formX + 20, c.formY + 59);
    Wheel(c.formX + 70, c.formY + 60);  // below both
    EXPECT_EQ(log_, (Log{"b.wheel 70,30", "a.wheel 20,59"}));
  }
}

}  // namespace
