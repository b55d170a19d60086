#include <gtest/gtest.h>

#include "platform/wcl/win/form.h"
#include "platform/wcl/win/menus.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/timer.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/test_controls.h"

namespace {

// A dialog built in code: an edit with the focus, OK (default) and Cancel buttons.
class TTestDialog : public TForm {
public:
  explicit TTestDialog(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetBorderStyle(bsDialog);
    SetBounds(50, 50, 300, 150);
    edit = new TTestEdit(this);
    edit->SetName("edText");
    edit->SetParent(this);
    ok = new TCustomButton(this);
    ok->SetName("btOk");
    ok->SetParent(this);
    ok->SetBounds(10, 60, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel = new TCustomButton(this);
    cancel->SetName("btCancel");
    cancel->SetParent(this);
    cancel->SetBounds(100, 60, 75, 25);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    SetActiveControl(edit);
    LoadedAll(this);
    DoCreate();
  }
  TTestEdit* edit;
  TCustomButton* ok;
  TCustomButton* cancel;
};

// Counts its own deletion.
class TCountedComponent : public TComponent {
public:
  TCountedComponent(TComponent* owner, int* deleted) : TComponent(owner), deleted_(deleted) {}
  ~TCountedComponent() override { ++*deleted_; }

private:
  int* deleted_;
};

void PostKey(HWND window, WORD key, char ch) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

}  // namespace

using FormTest = AppTest;

TEST_F(FormTest, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  TForm owner(nullptr);
  owner.Show();
  TTestDialog dialog(nullptr);
  PostKey(dialog.edit->Handle(), VK_RETURN, '\r');
  bool ownerDisabled = false;
  dialog.OnShow = [&](TObject*) { ownerDisabled = !IsWindowEnabled(owner.Handle()); };
  int charsSeen = 0;
  dialog.edit->OnKeyPress = [&](TObject*, char&) { ++charsSeen; };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  // The Enter's character did not reach the edit afterwards (nor is it still waiting).
  real_input::ProcessMessages();
  EXPECT_EQ(charsSeen, 0);

  PostKey(dialog.edit->Handle(), VK_ESCAPE, '\x1b');
  EXPECT_EQ(dialog.ShowModal(), mrCancel);

  // With the focus on a button Enter clicks that button, not the default one.
  dialog.SetActiveControl(dialog.cancel);
  PostKey(dialog.cancel->Handle(), VK_RETURN, '\r');
  EXPECT_EQ(dialog.ShowModal(), mrCancel);

  // A click on a button with a modal result ends the form with it.
  dialog.SetActiveControl(dialog.edit);
  PostMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.ok->Handle()));
  EXPECT_EQ(dialog.ShowModal(), mrOk);

  EXPECT_THROW(owner.ShowModal(), EInvalidOperation);
}

TEST_F(FormTest, KeyPreviewAndKeyHandlersSeeKeysFirst) {
  TTestDialog dialog(nullptr);
  dialog.Show();
  HWND edit = dialog.edit->Handle();
  std::vector<std::string> seen;
  dialog.SetKeyPreview(true);
  dialog.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    seen.push_back("form " + std::to_string(key));
    if (key == VK_F2) key = 0;
  };
  dialog.edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen.push_back("edit " + std::to_string(key)); };
  dialog.edit->OnKeyPress = [&](TObject*, char& key) {
    if (key == 'a') key = 'b';
    if (key == 'x') key = 0;
  };
  SendMessageA(edit, WM_KEYDOWN, VK_F2, 1);
  SendMessageA(edit, WM_KEYDOWN, VK_F3, 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"form 113", "form 114", "edit 114"}));
  SendMessageA(edit, WM_CHAR, 'a', 1);
  SendMessageA(edit, WM_CHAR, 'x', 1);
  EXPECT_EQ(dialog.edit->Text(), "b");

  // Escape swallowed by the preview never reaches the cancel button.
  dialog.OnKeyDown = [](TObject*, WORD& key, TShiftState) { key = 0; };
  PostKey(edit, VK_ESCAPE, '\x1b');
  dialog.Hide();
  TTimer timer(nullptr);
  timer.SetInterval(200);
  timer.OnTimer = [&](TObject*) { dialog.SetModalResult(mrAbort); };
  EXPECT_EQ(dialog.ShowModal(), mrAbort);
}

TEST_F(FormTest, FocusMovesInTabOrderWithEnterAndExit) {
  TForm form(nullptr);
  auto* first = new TTestEdit(&form);
  first->SetParent(&form);
  auto* second = new TTestEdit(&form);
  second->SetParent(&form);
  auto* skipped = new TTestEdit(&form);
  skipped->SetParent(&form);
  skipped->SetTabStop(false);
  auto* third = new TTestEdit(&form);
  third->SetParent(&form);
  third->SetTabOrder(0);
  form.Show();
  // The first control in Tab order has the focus when the form is shown.
  ASSERT_TRUE(PumpUntil([&] { return third->Focused(); }));
  EXPECT_EQ(form.ActiveControl(), third);
  EXPECT_EQ(third->enters, 1);

  SendMessageA(third->Handle(), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(first->Focused());
  EXPECT_EQ(third->exits, 1);
  EXPECT_EQ(first->enters, 1);
  SendMessageA(first->Handle(), WM_KEYDOWN, VK_TAB, 1);
  SendMessageA(second->Handle(), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(third->Focused());
  EXPECT_EQ(skipped->enters, 0);

  second->SetFocus();
  EXPECT_EQ(Screen->ActiveControl(), second);
  second->SetVisible(false);
  EXPECT_FALSE(second->CanFocus());
  EXPECT_THROW(second->SetFocus(), EInvalidOperation);
}

TEST_F(FormTest, CloseAsksTheFormAndDoesWhatOnCloseSays) {
  TForm form(nullptr);
  bool allow = false;
  TCloseAction action = caHide;
  int destroyed = 0;
  form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
  form.OnClose = [&](TObject*, TCloseAction& a) { a = action; };
  form.Show();
  form.Close();
  EXPECT_TRUE(form.Visible());
  // Logging off asks the same question.
  EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
  allow = true;
  EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  action = caNone;
  form.Close();
  EXPECT_TRUE(form.Visible());
  action = caHide;
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Visible());

  // caFree deletes the form once the pending messages are handled.
  auto* freed = new TForm(nullptr);
  freed->OnDestroy = [&](TObject*) { ++destroyed; };
  freed->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
  freed->Show();
  freed->Close();
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(PumpUntil([&] { return destroyed == 1; }));

  // Closing a modal form cancels it.
  TTestDialog dialog(nullptr);
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) { dialog.Close(); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(FormTest, ClosingTheMainFormEndsTheProgram) {
  TForm* main = app_->CreateForm<TForm>();
  TForm* other = app_->CreateForm<TForm>();
  EXPECT_EQ(app_->MainForm(), main);
  bool shown = false;
  main->OnShow = [&](TObject*) {
    shown = true;
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  };
  app_->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(app_->Terminated());
  EXPECT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(1), other);

  // The next application of the thread does not see a quit request left behind.
  app_->Terminate();
  app_.reset();
  app_ = std::make_unique<TApplication>();
  real_input::ProcessMessages();
  EXPECT_FALSE(app_->Terminated());
}

TEST_F(FormTest, OwnedComponentsGoWithTheForm) {
  int deleted = 0;
  bool componentsAliveInOnDestroy = false;
  auto* form = new TTestDialog(nullptr);
  new TCountedComponent(form, &deleted);
  new TCountedComponent(form, &deleted);
  form->OnDestroy = [&](TObject*) { componentsAliveInOnDestroy = form->FindComponent("btOk") != nullptr && deleted == 0; };
  form->edit->Handle();
  EXPECT_EQ(Screen->FormCount(), 1);
  delete form;
  EXPECT_EQ(deleted, 2);
  EXPECT_TRUE(componentsAliveInOnDestroy);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormTest, OnCreateErrorIsReportedAndTheFormIsMade) {
  struct TFailingForm : TForm {
    explicit TFailingForm(TComponent* owner) : TForm(owner) {
      OnCreate = [](TObject*) { throw Exception("cannot create"); };
      DoCreate();
    }
  };
  app_->SetTitle("Form test");
  TFailingForm form(nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Form test: cannot create"});
}

TEST_F(FormTest, ClientSizeAndPositionHoldWithAndWithoutAWindow) {
  TScreenSizeEdge previous = SetScreenSizeEdge([] { return TScreenSize{1000, 800}; });
  for (TFormBorderStyle style : {bsNone, bsSingle, bsSizeable, bsToolWindow}) {
    TForm form(nullptr);
    form.SetBorderStyle(style);
    form.SetClientWidth(132);
    form.SetClientHeight(78);
    EXPECT_EQ(form.ClientWidth(), 132);
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 132) << style;
    EXPECT_EQ(client.bottom, 78) << style;
  }
  TForm centred(nullptr);
  centred.SetBounds(0, 0, 200, 100);
  centred.SetPosition(poScreenCenter);
  centred.Show();
  EXPECT_EQ(centred.Left(), 400);
  EXPECT_EQ(centred.Top(), 350);
  RECT r;
  GetWindowRect(centred.Handle(), &r);
  EXPECT_EQ(r.left, 400);
  EXPECT_EQ(r.top, 350);
  SetScreenSizeEdge(previous);
}

TEST_F(FormTest, PublishedPropertiesGoThroughTheSetters) {
  TTestDialog dialog(nullptr);
  auto* item = new TMenuItem(&dialog);
  item->SetName("mnWeek");
  auto* sibling = new TMenuItem(&dialog);
  auto* menu = new TPopupMenu(&dialog);
  menu->SetName("popDates");
  menu->Items()->Add(item);
  menu->Items()->Add(sibling);
  item->SetRadioItem(true);
  sibling->SetRadioItem(true);
  sibling->SetChecked(true);
  HWND window = dialog.Handle();

  SetTextByPath(&dialog, "Caption", "Options");
  EXPECT_EQ(WindowText(window), "Options");
  SetTextByPath(&dialog, "edText.Visible", "False");
  EXPECT_FALSE(IsWindowVisible(dialog.edit->Handle()));
  SetTextByPath(&dialog, "btOk.Default", "False");
  EXPECT_FALSE(dialog.ok->Default());
  SetTextByPath(&dialog, "btCancel.ModalResult", "3");
  EXPECT_EQ(dialog.cancel->ModalResult(), mrAbort);
  SetTextByPath(&dialog, "mnWeek.Checked", "True");
  EXPECT_FALSE(sibling->Checked());
  SetTextByPath(&dialog, "BorderIcons", "[biSystemMenu]");
  EXPECT_FALSE(GetWindowLongPtrA(dialog.Handle(), GWL_STYLE) & WS_MINIMIZEBOX);
  EXPECT_EQ(GetTextByPath(&dialog, "Position"), "poDesigned");
  SetTextByPath(&dialog, "edText.Font.Size", "12");
  EXPECT_EQ(dialog.edit->Font()->Size(), 12);
  EXPECT_FALSE(dialog.edit->ParentFont());
  SetObjProp(dialog.edit, "PopupMenu", menu);
  EXPECT_EQ(dialog.edit->PopupMenu(), menu);
  EXPECT_THROW(SetObjProp(dialog.edit, "PopupMenu", item), EPropertyError);
}

// This test program carries the programs' MAINICON (program_icon.rc), as Hourlark.exe and
// hl2demo.exe do.
TEST_F(FormTest, AFormWithoutAnIconOfItsOwnShowsTheProgramsIcon) {
  auto shown = [](TForm& form, WPARAM kind) {
    return reinterpret_cast<HICON>(SendMessageA(form.Handle(), WM_GETICON, kind, 0));
  };
  TForm plain(nullptr);
  const HICON program = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(shown(plain, ICON_BIG), program);
  EXPECT_NE(shown(plain, ICON_SMALL), nullptr);

  TForm own(nullptr);
  own.Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
  EXPECT_EQ(shown(own, ICON_BIG), own.Icon()->Handle());
  EXPECT_EQ(shown(own, ICON_SMALL), own.Icon()->Handle());
}
