#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/screen.h"
#include "tests/support/code_page_932.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/test_controls.h"

using ApplicationTest = AppTest;

TEST_F(ApplicationTest, ErrorsInWindowProceduresEndInTheHandler) {
  app_->SetTitle("Hourlark test");
  std::function<void()> fail;
  TUtilityWindow window([&](TMessage& msg) {
    if (msg.Msg != WM_USER) return false;
    fail();
    return true;
  });
  fail = [] { throw Exception("boom"); };
  SendMessageA(window.Handle(), WM_USER, 0, 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Hourlark test: boom"});

  fail = [] { throw EAbort("quietly"); };
  SendMessageA(window.Handle(), WM_USER, 0, 0);
  fail = [] { throw 42; };
  SendMessageA(window.Handle(), WM_USER, 0, 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1], "Hourlark test: An unknown error occurred");

  // OnException replaces the box; a failing OnException still lets the error be seen.
  std::string handled;
  app_->OnException = [&](TObject*, const std::exception& e) { handled = e.what(); };
  fail = [] { throw EConvertError("not a number"); };
  SendMessageA(window.Handle(), WM_USER, 0, 0);
  EXPECT_EQ(handled, "not a number");
  EXPECT_EQ(Boxes().size(), 2u);
  app_->OnException = [](TObject*, const std::exception&) { throw Exception("handler broke"); };
  SendMessageA(window.Handle(), WM_USER, 0, 0);
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[2], "Hourlark test: not a number");
}

TEST_F(ApplicationTest, HintFollowsTheControlUnderTheMouse) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.SetHint("Form|The whole form");
  auto* label = new TTestGraphic(&form);
  label->SetParent(&form);
  label->SetBounds(10, 10, 50, 20);
  label->SetHint("Start|Starts counting");
  auto* plain = new TTestGraphic(&form);
  plain->SetParent(&form);
  plain->SetBounds(100, 10, 50, 20);
  std::vector<std::string> hints;
  app_->OnHint = [&](TObject*) { hints.push_back(app_->Hint()); };
  HWND window = form.Handle();

  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(25, 15));
  EXPECT_EQ(app_->Hint(), "Starts counting");
  // A control without a hint shows its parent's.
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(120, 15));
  EXPECT_EQ(app_->Hint(), "The whole form");
  SendMessageA(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(app_->Hint(), "");
  EXPECT_EQ(hints, (std::vector<std::string>{"Starts counting", "The whole form", ""}));
  EXPECT_EQ(GetShortHint("Start|Starts counting"), "Start");
  EXPECT_EQ(GetLongHint("Start"), "Start");
}

// A hint's "|" is a character of its own, never the trail byte of a double-byte character.
TEST(DoubleByteHints, SplitOnlyAtARealBar) {
  CodePage932Scope codePage;
  EXPECT_EQ(GetShortHint(CP932_PO "ru|long"), CP932_PO "ru");
  EXPECT_EQ(GetLongHint(CP932_PO "ru|long"), "long");
  EXPECT_EQ(GetLongHint(CP932_PO "ru"), CP932_PO "ru");
}

TEST_F(ApplicationTest, MinimiseRestoreAndHooksOnTheApplicationWindow) {
  int minimized = 0;
  int restored = 0;
  app_->OnMinimize = [&](TObject*) { ++minimized; };
  app_->OnRestore = [&](TObject*) { ++restored; };
  TForm* main = app_->CreateForm<TForm>();
  main->Show();
  // The main form's minimise button minimises the program.
  SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(app_->Minimized());
  app_->Minimize();
  EXPECT_EQ(minimized, 1);
  app_->Restore();
  EXPECT_FALSE(app_->Minimized());
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(GetWindow(main->Handle(), GW_OWNER), app_->Handle());

  const UINT custom = WM_APP + 77;
  int seen = 0;
  const int id = app_->HookMainWindow([&](TMessage& msg) {
    if (msg.Msg != custom) return false;
    ++seen;
    msg.Result = 5;
    return true;
  });
  EXPECT_EQ(SendMessageA(app_->Handle(), custom, 0, 0), 5);
  app_->UnhookMainWindow(id);
  EXPECT_EQ(SendMessageA(app_->Handle(), custom, 0, 0), 0);
  EXPECT_EQ(seen, 1);
}

TEST_F(ApplicationTest, ScreenKnowsTheFormsAndTheCursors) {
  auto* first = new TForm(app_.get());
  auto* second = new TForm(app_.get());
  ASSERT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), first);
  EXPECT_EQ(Screen->Forms(1), second);
  delete first;
  ASSERT_EQ(Screen->FormCount(), 1);
  EXPECT_EQ(Screen->Forms(0), second);
  EXPECT_THROW(Screen->Forms(1), EListError);

  EXPECT_EQ(Screen->Cursors(crHourGlass), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  EXPECT_EQ(Screen->Cursors(14000), Screen->Cursors(crArrow));
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
  Screen->SetCursors(14000, hand);
  EXPECT_EQ(Screen->Cursors(14000), hand);
  Screen->SetCursors(14000, nullptr);
  EXPECT_EQ(Screen->Cursors(14000), Screen->Cursors(crArrow));
}
