// The real-input harness itself: keys, characters and mouse actions sent through the system
// reach the library's windows as a user's would (focus moves on Tab, typed text arrives,
// buttons click, double clicks and held buttons are told apart, the wheel scrolls).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using namespace real_input;

class TInputForm : public TForm {
public:
  explicit TInputForm(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetName("formInput");
    SetCaption("Hourlark - input");
    SetBorderStyle(bsDialog);
    SetBounds(60, 60, 360, 260);
    first = Add<TEdit>("edFirst");
    first->SetBounds(10, 10, 120, 21);
    first->SetText("one");
    second = Add<TEdit>("edSecond");
    second->SetBounds(10, 40, 120, 21);
    button = Add<TButton>("btGo");
    button->SetCaption("Go");
    button->SetBounds(10, 70, 75, 25);
    button->OnClick = [this](TObject*) { ++clicks; };
    list = Add<TListBox>("lbMany");
    list->SetBounds(150, 10, 180, 80);
    for (int i = 0; i < 40; ++i) list->Items()->Add("line " + std::to_string(i));
    pad = Add<TPanel>("pPad");
    pad->SetBounds(10, 110, 320, 100);
    pad->SetCaption("pad");
    pad->OnDblClick = [this](TObject*) { events.push_back("double"); };
    pad->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState shift, int x, int y) {
      events.push_back(std::string(b == mbRight ? "right" : "left") + " down" + ((shift & ssShift) ? " shift" : ""));
      downAt = {x, y};
    };
    pad->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
      events.push_back(std::string(b == mbRight ? "right" : "left") + " up");
      upAt = {x, y};
    };
    LoadedAll(this);
    DoCreate();
  }

  TEdit* first;
  TEdit* second;
  TButton* button;
  TListBox* list;
  TPanel* pad;
  int clicks = 0;
  std::vector<std::string> events;
  POINT downAt{}, upAt{};

private:
  template <class T>
  T* Add(const std::string& name) {
    T* control = new T(this);
    control->SetName(name);
    control->SetParent(this);
    return control;
  }
};

class RealInputTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = new TInputForm(app_.get());
    form_->Show();
    ASSERT_TRUE(BringToForeground(form_->Handle()));
    form_->first->SetFocus();
    ASSERT_TRUE(WaitForFocusIn(form_->first->Handle()));
  }
  TInputForm* form_ = nullptr;
};

TEST_F(RealInputTest, KeysMoveTheFocusAndTypeText) {
  // Tab goes round the tab stops (the panel is none) in creation order and back; Shift+Tab
  // goes the other way.
  const std::vector<HWND> forward = TabCycle(10);
  EXPECT_EQ(forward, (std::vector<HWND>{form_->second->Handle(), form_->button->Handle(), form_->list->Handle(),
                                        form_->first->Handle()}));
  const std::vector<HWND> backward = TabCycle(10, true);
  EXPECT_EQ(backward, (std::vector<HWND>{form_->list->Handle(), form_->button->Handle(), form_->second->Handle(),
                                         form_->first->Handle()}));
  EXPECT_EQ(form_->first->Text(), "one");

  // Typed characters, shifted ones and ones without a key of their own, replace the selection.
  PressKey('A', kCtrl);
  TypeText("Ab 4!?");
  EXPECT_EQ(form_->first->Text(), "Ab 4!?");
  PressKey(VK_HOME);
  PressKey(VK_RIGHT, kShift);
  PressKey(VK_DELETE);
  EXPECT_EQ(WindowText(form_->first->Handle()), "b 4!?");

  // Space on the focused button clicks it.
  form_->button->SetFocus();
  ASSERT_TRUE(WaitForFocusIn(form_->button->Handle()));
  PressKey(VK_SPACE);
  EXPECT_EQ(form_->clicks, 1);
}

TEST_F(RealInputTest, MouseClicksDoubleClicksDragsAndWheel) {
  Click(form_->button->Handle(), Centre(form_->button->Handle()));
  EXPECT_EQ(form_->clicks, 1);
  EXPECT_TRUE(FocusIsIn(form_->button->Handle()));

  HWND pad = form_->pad->Handle();
  form_->events.clear();
  Click(pad, {20, 20}, Button::Left, kShift);
  DoubleClick(pad, {40, 40});
  // The second press of a double click is a double click and a press again.
  EXPECT_EQ(form_->events, (std::vector<std::string>{"left down shift", "left up", "left down", "left up",
                                                     "double", "left down", "left up"}));

  form_->events.clear();
  Drag(pad, {10, 10}, {200, 70}, Button::Right);
  EXPECT_EQ(form_->events, (std::vector<std::string>{"right down", "right up"}));
  EXPECT_EQ(form_->downAt.x, 10);
  EXPECT_EQ(form_->upAt.x, 200);
  EXPECT_EQ(form_->upAt.y, 70);

  HWND list = form_->list->Handle();
  Click(list, {10, 5});
  const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  Wheel(list, Centre(list), -2);
  EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), top);

  EXPECT_TRUE(Screenshot("real_input.png"));
}

}  // namespace
