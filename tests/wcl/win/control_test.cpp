#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/handles.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/test_controls.h"

using ControlTest = AppTest;

TEST_F(ControlTest, StateSetBeforeTheWindowReachesItAndSurvivesRecreation) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 400, 300);
  auto* edit = new TTestEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 20, 120, 24);
  edit->SetText("before");
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_FALSE(form.HandleAllocated());

  // Asking the child for its window makes the parent's first.
  HWND window = edit->Handle();
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(GetParent(window), form.Handle());
  EXPECT_EQ(WindowText(window), "before");
  EXPECT_TRUE(SameRect(RectInParent(window), RECT{10, 20, 130, 44}));

  // What the user types is read back; what code sets is pushed.
  SetWindowTextA(window, "typed");
  EXPECT_EQ(edit->Text(), "typed");
  edit->SetText("from code");
  EXPECT_EQ(WindowText(window), "from code");
  edit->SetBounds(15, 25, 90, 22);
  EXPECT_TRUE(SameRect(RectInParent(window), RECT{15, 25, 105, 47}));

  SetWindowTextA(window, "typed again");
  form.RecreateWnd();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(WindowText(edit->Handle()), "typed again");
  EXPECT_TRUE(SameRect(RectInParent(edit->Handle()), RECT{15, 25, 105, 47}));
}

TEST_F(ControlTest, DestroyingAParentWindowLeavesTheChildObjectsUnbound) {
  TForm form(nullptr);
  auto* panel = new TTestPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 200, 100);
  auto* edit = new TTestEdit(&form);
  edit->SetParent(panel);
  HWND formWindow = form.Handle();
  HWND editWindow = edit->Handle();
  EXPECT_EQ(FindControl(editWindow), edit);
  SetWindowTextA(editWindow, "user text");

  DestroyWindow(formWindow);
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_FALSE(panel->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(FindControl(editWindow), nullptr);
  EXPECT_EQ(edit->Text(), "user text");

  // The objects work on, and make new windows when asked.
  edit->SetText("again");
  EXPECT_EQ(WindowText(edit->Handle()), "again");
  EXPECT_TRUE(panel->HandleAllocated());
}

TEST_F(ControlTest, ParentHandsNotificationsBackToTheChild) {
  TForm form(nullptr);
  auto* edit = new TTestEdit(&form);
  edit->SetParent(&form);
  HWND window = edit->Handle();
  edit->changes = 0;
  SetWindowTextA(window, "changed");
  EXPECT_EQ(edit->changes, 1);

  // Colours of a child window come from the child's object.
  edit->SetColor(clRed);
  edit->Font()->SetColor(clBlue);
  WindowDc dc = WindowDc::ForClient(window);
  LRESULT brush = SendMessageA(form.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                               reinterpret_cast<LPARAM>(window));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), edit->Brush()->Handle());
  EXPECT_EQ(GetBkColor(dc.get()), RGB(255, 0, 0));
  EXPECT_EQ(GetTextColor(dc.get()), RGB(0, 0, 255));
}

TEST_F(ControlTest, ParentPlacesAlignedChildren) {
  TTestPanel parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  auto make = [&parent](TAlign align, int width, int height) {
    auto* c = new TTestGraphic(&parent);
    c->SetBounds(0, 0, width, height);
    c->SetParent(&parent);
    c->SetAlign(align);
    return c;
  };
  TTestGraphic* top = make(alTop, 5, 10);
  TTestGraphic* bottom = make(alBottom, 5, 20);
  TTestGraphic* left = make(alLeft, 30, 5);
  TTestGraphic* right = make(alRight, 40, 5);
  TTestGraphic* client = make(alClient, 5, 5);
  EXPECT_TRUE(SameRect(top->BoundsRect(), RECT{0, 0, 200, 10}));
  EXPECT_TRUE(SameRect(bottom->BoundsRect(), RECT{0, 80, 200, 100}));
  EXPECT_TRUE(SameRect(left->BoundsRect(), RECT{0, 10, 30, 80}));
  EXPECT_TRUE(SameRect(right->BoundsRect(), RECT{160, 10, 200, 80}));
  EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{30, 10, 160, 80}));

  parent.SetBounds(0, 0, 300, 200);
  EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{30, 10, 260, 180}));
  EXPECT_TRUE(SameRect(bottom->BoundsRect(), RECT{0, 180, 300, 200}));

  // A hidden control gives its strip back; a second top strip keeps its place below.
  top->SetVisible(false);
  EXPECT_TRUE(SameRect(left->BoundsRect(), RECT{0, 0, 30, 180}));
  top->SetVisible(true);
  TTestGraphic* second = make(alNone, 5, 15);
  second->SetTop(50);
  second->SetAlign(alTop);
  EXPECT_TRUE(SameRect(top->BoundsRect(), RECT{0, 0, 300, 10}));
  EXPECT_TRUE(SameRect(second->BoundsRect(), RECT{0, 10, 300, 25}));
  EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{30, 25, 260, 180}));
}

TEST_F(ControlTest, NonWindowedChildGetsMouseAndPaintFromItsParent) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  std::vector<TTestGraphic*> order;
  auto* a = new TTestGraphic(&form, &order);
  a->SetParent(&form);
  a->SetBounds(20, 30, 50, 40);
  auto* b = new TTestGraphic(&form, &order);
  b->SetParent(&form);
  b->SetBounds(40, 50, 50, 40);
  int clicks = 0;
  int formClicks = 0;
  POINT down{-1, -1};
  a->OnClick = [&](TObject*) { ++clicks; };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = POINT{x, y}; };
  form.OnClick = [&](TObject*) { ++formClicks; };
  HWND window = form.Handle();

  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(down.x, 5);
  EXPECT_EQ(down.y, 5);
  // Released outside: the child kept the mouse, but it is no click.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(formClicks, 0);
  // The upper child takes the overlap; a disabled child lets the parent have the mouse.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 55));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(45, 55));
  EXPECT_EQ(clicks, 1);
  a->SetEnabled(false);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(25, 35));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(formClicks, 1);

  // Painted by the parent in z-order, each at its own origin and clipped to itself.
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  UniqueBitmap bitmap(CreateBitmap(300, 200, 1, 32, nullptr));
  ScopedSelectObject select(dc.get(), bitmap.get());
  form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.get()), 0);
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0], a);
  EXPECT_EQ(order[1], b);
  EXPECT_EQ(a->paintOrigin.x, 20);
  EXPECT_EQ(a->paintOrigin.y, 30);
  EXPECT_TRUE(SameRect(a->paintClip, RECT{0, 0, 50, 40}));
  order.clear();
  a->BringToFront();
  b->SetVisible(false);
  form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.get()), 0);
  ASSERT_EQ(order.size(), 1u);
  EXPECT_EQ(order[0], a);
}

TEST_F(ControlTest, SettersNotifyAndChildrenFollowTheirParent) {
  TTestPanel parent(nullptr);
  auto* child = new TTestGraphic(&parent);
  child->SetParent(&parent);
  child->fontChanges = 0;

  parent.Font()->SetSize(14);
  EXPECT_EQ(child->Font()->Size(), 14);
  EXPECT_GT(child->fontChanges, 0);
  EXPECT_TRUE(child->ParentFont());
  child->Font()->SetStyle(fsBold);
  EXPECT_FALSE(child->ParentFont());
  parent.Font()->SetSize(20);
  EXPECT_EQ(child->Font()->Size(), 14);

  child->SetParentColor(true);
  parent.SetColor(clRed);
  EXPECT_EQ(child->Color(), clRed);
  child->SetColor(clBlue);
  EXPECT_FALSE(child->ParentColor());
  parent.SetColor(clGreen);
  EXPECT_EQ(child->Color(), clBlue);

  child->SetText("a");
  child->SetText("a");
  EXPECT_EQ(child->textChanges, 1);
  EXPECT_EQ(child->Caption(), "a");

  parent.SetShowHint(true);
  EXPECT_TRUE(child->ShowHint());
  child->SetShowHint(false);
  EXPECT_FALSE(child->ShowHint());
}

TEST_F(ControlTest, ErrorInAHandlerIsReportedAndTheControlGoesOn) {
  app_->SetTitle("Control test");
  TForm form(nullptr);
  auto* button = new TTestGraphic(&form);
  button->SetParent(&form);
  button->SetBounds(0, 0, 50, 50);
  int clicks = 0;
  button->OnClick = [&](TObject*) {
    if (++clicks == 1) throw Exception("click failed");
  };
  HWND window = form.Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Control test: click failed");
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ControlTest, SystemClassesAreServedThroughTheLibrary) {
  struct TStatusDouble : TWinControl {
    explicit TStatusDouble(TComponent* owner) : TWinControl(owner) {}
    int sizes = 0;
    void WndProc(TMessage& msg) override {
      if (msg.Msg == WM_SIZE) ++sizes;
      TWinControl::WndProc(msg);
    }
    void CreateParams(TCreateParams& params) override {
      TWinControl::CreateParams(params);
      params.SysClassName = STATUSCLASSNAMEA;
    }
  };
  TForm form(nullptr);
  auto* status = new TStatusDouble(&form);
  status->SetParent(&form);
  HWND window = status->Handle();
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  EXPECT_STREQ(name, "Hlmsctls_statusbar32");
  EXPECT_EQ(FindControl(window), status);
  // The library sees the messages first; the class still does its own work.
  const int sizes = status->sizes;
  SendMessageA(window, WM_SIZE, 0, 0);
  EXPECT_EQ(status->sizes, sizes + 1);
  SendMessageA(window, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("ready"));
  char text[32] = {};
  SendMessageA(window, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "ready");
}
