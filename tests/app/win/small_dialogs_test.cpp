// The list picker, the wait window, the language-support box and StripTitleBar. The
// dialogs' logic is checked on forms that are never shown; a few runs show them for real
// (under Wine on the X display), drive them with the mouse and keys as a user would, and
// leave screenshots in the test program's folder for people to look at.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/win/input_strings_form.h"
#include "app/win/lingrove_info_form.h"
#include "app/win/strip_title_bar.h"
#include "app/win/wait_form.h"
#include "lang/app_language.h"
#include "lang/lang_file.h"
#include "lang/win/lang_collector.h"
#include "platform/rtl/string_list.h"
#include "tests/lang/win/lang_win_fixture.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using window_test::After;
using window_test::DropPending;
using window_test::Screenshot;

// ---- Message boxes answered by the test ------------------------------------------------

int g_boxAnswer = IDYES;
std::vector<std::string> g_boxes;

int AnswerBox(const std::string& text, const std::string& caption, unsigned flags) {
  g_boxes.push_back(caption + ": " + text + (flags == (MB_YESNO | MB_ICONQUESTION) ? " [yes/no?]" : ""));
  return g_boxAnswer;
}

// ---- Screenshots -----------------------------------------------------------------------

// The delete question: text 35 of the language files, or the picker's own when they have none.
std::string DeleteQuestion() {
  const std::string text = GetLangString(35);
  return text.empty() || text == kUndefinedLangString ? "Delete this entry?" : text;
}

// ---- Driving controls ------------------------------------------------------------------

// A left click in the middle of a non-windowed control, as its parent window gets it.
void ClickControl(TControl* control) {
  HWND parent = control->Parent()->Handle();
  const LPARAM at = MAKELPARAM(control->Left() + control->Width() / 2, control->Top() + control->Height() / 2);
  SendMessageA(parent, WM_MOUSEMOVE, 0, at);
  SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(parent, WM_LBUTTONUP, 0, at);
}

void TypeText(TWinControl* control, const std::string& text) {
  for (char c : text) SendMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

class SmallDialogs : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    g_boxes.clear();
    g_boxAnswer = IDYES;
    previousBox_ = SetMessageBoxEdge(&AnswerBox);
    // The tracker's main window: borderless, away from the screen's edges.
    main_ = Application->CreateForm<TForm>();
    main_->SetBorderStyle(bsNone);
    main_->SetColor(clTeal);
    main_->SetBounds(500, 300, 320, 200);
    users_.SetText("anna\r\nbob\r\ncarl\r\ndora\r\n");
  }
  void TearDown() override {
    // Steps not run yet (watchdogs) would outlive what they look at.
    DropPending();
    SetMessageBoxEdge(previousBox_);
    AppTest::TearDown();
  }

  TformInputStrings* Picker() {
    if (formInputStrings == nullptr) formInputStrings = new TformInputStrings(Application);
    return formInputStrings;
  }

  TForm* main_ = nullptr;
  TStringList users_;
  TMessageBoxEdge previousBox_ = nullptr;
};

}  // namespace

// ---- The picker, not shown -------------------------------------------------------------

TEST_F(SmallDialogs, PickerIsPreparedNextToTheMainWindow) {
  TformInputStrings* picker = Picker();
  picker->Prepare("Choose User", &users_, false);
  EXPECT_EQ(picker->Caption(), "Choose User");
  EXPECT_EQ(picker->ClientHeight(), 77);
  EXPECT_FALSE(picker->pCanEdit->Visible());
  EXPECT_EQ(picker->Left(), 500 + 320 - picker->Width() - 10);
  EXPECT_EQ(picker->Top(), 300 + 200 - picker->Height() - 10);
  EXPECT_EQ(picker->lbUsers->Items()->Text(), users_.Text());
  EXPECT_EQ(picker->lbUsers->ItemIndex(), 0);
  EXPECT_EQ(picker->edUser->Text(), "");  // choosing copies only while editing

  // Editing: the delete strip adds its height and the chosen entry is the new text.
  picker->edUser->SetText("left over");
  picker->Prepare("Enter Comment", &users_, true);
  EXPECT_TRUE(picker->pCanEdit->Visible());
  EXPECT_EQ(picker->ClientHeight(), 88);
  EXPECT_EQ(picker->edUser->Text(), "anna");

  // A main window close to the screen's top-left corner: the picker stays on the screen.
  main_->SetBounds(-40, 20, 150, 60);
  picker->Prepare("Choose User", nullptr, false);
  EXPECT_EQ(picker->Left(), 0);
  EXPECT_EQ(picker->Top(), 0);
  EXPECT_EQ(picker->lbUsers->Items()->Count(), 0);
  EXPECT_EQ(picker->lbUsers->ItemIndex(), -1);
}

TEST_F(SmallDialogs, PickerOkAndCancelOutsideTheList) {
  TformInputStrings* picker = Picker();
  picker->Prepare("Enter Comment", &users_, true);
  picker->edUser->SetText("tea");
  picker->btOkClick(picker->btOk);
  EXPECT_EQ(picker->ModalResult(), mrOk);
  EXPECT_EQ(picker->lbUsers->Items()->Count(), 5);
  EXPECT_EQ(picker->lbUsers->Items()->Strings(4), "tea");

  // OK with nothing typed still adds the empty entry.
  picker->Prepare("Choose User", &users_, false);
  picker->btOkClick(picker->btOk);
  EXPECT_EQ(picker->lbUsers->Items()->Count(), 5);
  EXPECT_EQ(picker->lbUsers->Items()->Strings(4), "");
  EXPECT_EQ(picker->edUser->Text(), "");

  picker->SetModalResult(mrNone);
  picker->btCancelClick(picker->btCancel);
  EXPECT_EQ(picker->ModalResult(), mrCancel);
  // The list handed in is never changed.
  EXPECT_EQ(users_.Count(), 4);
}

TEST_F(SmallDialogs, PickerDeletesOnlyWhatTheUserConfirms) {
  TformInputStrings* picker = Picker();
  picker->Prepare("Enter Comment", &users_, true);
  picker->lbUsers->SetItemIndex(2);
  picker->edUser->SetText("typed");

  g_boxAnswer = IDNO;
  picker->btDeleteClick(picker->btDelete);
  EXPECT_EQ(g_boxes, (std::vector<std::string>{"carl: " + DeleteQuestion() + " [yes/no?]"}));
  EXPECT_EQ(picker->lbUsers->Items()->Count(), 4);
  // Answered or not, the first entry is chosen again and copied over the typed text.
  EXPECT_EQ(picker->lbUsers->ItemIndex(), 0);
  EXPECT_EQ(picker->edUser->Text(), "anna");

  g_boxAnswer = IDYES;
  picker->lbUsers->SetItemIndex(1);
  picker->btDeleteClick(picker->btDelete);
  EXPECT_EQ(picker->lbUsers->Items()->Text(), "anna\r\ncarl\r\ndora\r\n");

  // Down to the last entry, then none: an empty list with nothing chosen.
  TStringList one;
  one.Add("only");
  picker->Prepare("Enter Comment", &one, true);
  picker->btDeleteClick(picker->btDelete);
  EXPECT_EQ(picker->lbUsers->Items()->Count(), 0);
  EXPECT_EQ(picker->lbUsers->ItemIndex(), -1);
  g_boxes.clear();
  picker->btDeleteClick(picker->btDelete);  // nothing chosen: nothing asked
  EXPECT_TRUE(g_boxes.empty());
}

// ---- Languages -------------------------------------------------------------------------

using SmallDialogsLanguage = LangWinTest;

TEST_F(SmallDialogsLanguage, TheDialogsTextsGoIntoTheBaseLanguageAndTheQuestionComesFromIt) {
  std::vector<TLangFormClass> forms;
  for (const TLangFormClass& form : RegisteredLangForms())
    if (form.Name == "TformInputStrings" || form.Name == "TformWait" || form.Name == "TformLingroveInfo")
      forms.push_back(form);
  ASSERT_EQ(forms.size(), 3u);
  CollectBaseLanguage(dir_, {{35, "Remove this name?"}}, forms, DEFAULT_CHARSET);
  {
    TLingroveLangFile native(PathOf("native.lng"));
    auto textOf = [&](const std::string& form, const std::string& path) {
      TLingroveLangStr* entry = native.Find(form, path);
      return entry == nullptr ? std::string("-") : entry->GetText();
    };
    EXPECT_EQ(textOf("formInputStrings", "btOk.Caption"), "Ok");
    EXPECT_EQ(textOf("formInputStrings", "Label1.Caption"), "New");
    EXPECT_EQ(textOf("formInputStrings", "edUser.Text"), "-");  // the user's own text
    EXPECT_EQ(textOf("formWait", "Caption"), "Please, wait");
    EXPECT_EQ(textOf("formLingroveInfo", "Label6.Caption"), "Powered by");
  }

  TformInputStrings picker(nullptr);
  TStringList names;
  names.Add("anna");
  picker.Prepare("Enter Comment", &names, true);
  g_boxes.clear();
  TMessageBoxEdge previous = SetMessageBoxEdge(&AnswerBox);
  g_boxAnswer = IDNO;
  picker.btDeleteClick(picker.btDelete);
  SetMessageBoxEdge(previous);
  EXPECT_EQ(g_boxes, (std::vector<std::string>{"anna: Remove this name? [yes/no?]"}));
}

// ---- StripTitleBar ---------------------------------------------------------------------

TEST_F(SmallDialogs, StripTitleBarTakesTheCaptionOffFramedWindowsOnly) {
  auto styleOf = [](TForm& form) { return static_cast<DWORD>(GetWindowLongPtrA(form.Handle(), GWL_STYLE)); };
  const int caption = GetSystemMetrics(SM_CYCAPTION);

  TForm single(nullptr);
  single.SetBorderStyle(bsSingle);
  single.SetBounds(10, 10, 200, 150);
  StripTitleBar(&single);
  EXPECT_EQ(styleOf(single) & WS_CAPTION, static_cast<DWORD>(WS_BORDER));
  EXPECT_EQ(single.Height(), 150 - caption);
  // Once stripped, there is no caption left to take off.
  StripTitleBar(&single);
  EXPECT_EQ(single.Height(), 150 - caption);

  TForm dialog(nullptr);
  dialog.SetBorderStyle(bsDialog);
  dialog.SetBounds(10, 10, 200, 150);
  StripTitleBar(&dialog);
  EXPECT_EQ(styleOf(dialog) & (WS_CAPTION | DS_MODALFRAME), static_cast<DWORD>(WS_DLGFRAME | DS_MODALFRAME));
  EXPECT_EQ(dialog.Height(), 150 - caption);

  // A tool window keeps its caption, and so its height.
  TForm tool(nullptr);
  tool.SetBorderStyle(bsToolWindow);
  tool.SetBounds(10, 10, 200, 150);
  StripTitleBar(&tool);
  EXPECT_EQ(styleOf(tool) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_EQ(tool.Height(), 150);

  TForm borderless(nullptr);
  borderless.SetBorderStyle(bsNone);
  borderless.SetBounds(10, 10, 200, 150);
  StripTitleBar(&borderless);
  EXPECT_EQ(borderless.Height(), 150);
}

// ---- Shown on the display --------------------------------------------------------------

TEST_F(SmallDialogs, UserPickerShownTakesTheEntryChosenInTheList) {
  main_->Show();
  std::string shownCaption;
  After(50, [&] {
    TformInputStrings* picker = formInputStrings;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(picker->Handle()) != FALSE; }));
    real_input::SettlePainted();
    shownCaption = picker->Caption();
    EXPECT_TRUE(Screenshot("picker-users.png"));
    ASSERT_TRUE(real_input::BringToForeground(picker->Handle()));
    real_input::ExpectTabOrder({picker->lbUsers, picker->edUser}, "user picker");
    // The list has the focus; a mouse click on the flat OK leaves it there.
    picker->lbUsers->SetFocus();
    SendMessageA(picker->lbUsers->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(picker->lbUsers->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    ClickControl(picker->btOk);
  });
  After(20000, [] {
    if (formInputStrings != nullptr && formInputStrings->Visible()) formInputStrings->SetModalResult(mrAbort);
  });
  EXPECT_EQ(InputFromList("Choose User", &users_, false), "carl");
  EXPECT_EQ(shownCaption, "Choose User");
  EXPECT_EQ(formInputStrings->lbUsers->Items()->Count(), 4);  // nothing added

  // Cancel with the mouse gives the empty text.
  After(50, [&] {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(formInputStrings->Handle()) != FALSE; }));
    ClickControl(formInputStrings->btCancel);
  });
  EXPECT_EQ(InputFromList("Choose User", &users_, false), "");
}

TEST_F(SmallDialogs, CommentPickerShownDeletesAfterTheQuestionAndAddsTheTypedText) {
  main_->Show();
  SetMessageBoxEdge(nullptr);  // the system's question box, answered below
  std::string question;
  After(50, [&] {
    TformInputStrings* picker = formInputStrings;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(picker->Handle()) != FALSE; }));
    ASSERT_TRUE(real_input::BringToForeground(picker->Handle()));
    real_input::ExpectTabOrder({picker->lbUsers, picker->edUser}, "comment picker");
    picker->lbUsers->SetFocus();
    SendMessageA(picker->lbUsers->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    // The question shows while the click on the delete glyph waits for it.
    After(300, [&] {
      HWND box = nullptr;
      PumpUntil([&] { return (box = FindWindowA("#32770", "bob")) != nullptr && IsWindowVisible(box); });
      ASSERT_NE(box, nullptr);
      real_input::SettlePainted();
      EXPECT_TRUE(Screenshot("picker-delete-question.png"));
      char text[64] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      question = text;
      SendMessageA(box, WM_COMMAND, IDYES, 0);
    });
    ClickControl(picker->btDelete);
    EXPECT_EQ(picker->lbUsers->Items()->Text(), "anna\r\ncarl\r\ndora\r\n");
    EXPECT_EQ(picker->edUser->Text(), "anna");
    picker->edUser->SetFocus();
    SendMessageA(picker->edUser->Handle(), EM_SETSEL, 0, -1);
    TypeText(picker->edUser, "coffee break");
    real_input::SettlePainted();
    EXPECT_TRUE(Screenshot("picker-comments.png"));
    ClickControl(picker->btOk);
  });
  After(30000, [] {
    if (formInputStrings != nullptr && formInputStrings->Visible()) formInputStrings->SetModalResult(mrAbort);
  });
  EXPECT_EQ(InputFromList("Enter Comment", &users_, true), "coffee break");
  EXPECT_EQ(question, DeleteQuestion());
  EXPECT_EQ(formInputStrings->lbUsers->Items()->Text(), "anna\r\ncarl\r\ndora\r\ncoffee break\r\n");
}

// The pickers are finished from the keyboard as by their flat buttons: Enter in the list
// takes the chosen entry, Enter in the new-text edit takes the typed text, Escape cancels.
TEST_F(SmallDialogs, EnterAndEscapeFinishThePickersAsOkAndCancelDo) {
  struct Case {
    const char* name;
    bool canEdit;
    bool inEdit;       // Tab to the new-text edit and type there
    WORD lastKey;      // what finishes the dialog
    const char* want;  // the picker's answer
  };
  const Case cases[] = {
      {"user, Enter in the list", false, false, VK_RETURN, "carl"},
      {"user, Escape", false, false, VK_ESCAPE, ""},
      {"comment, Enter in the list", true, false, VK_RETURN, "carl"},
      {"comment, Enter after typing", true, true, VK_RETURN, "tea"},
      {"comment, Escape after typing", true, true, VK_ESCAPE, ""},
  };
  main_->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    After(50, [&] {
      TformInputStrings* picker = formInputStrings;
      ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(picker->Handle()) != FALSE; }));
      ASSERT_TRUE(real_input::BringToForeground(picker->Handle()));
      // The picker keeps the control last used; Tab goes between the two.
      auto focusOn = [](TWinControl* control) {
        for (int i = 0; i < 2 && !real_input::FocusIsIn(control->Handle()); ++i) real_input::PressKey(VK_TAB);
        return real_input::WaitForFocusIn(control->Handle());
      };
      ASSERT_TRUE(focusOn(picker->lbUsers));
      real_input::PressKey(VK_DOWN);
      real_input::PressKey(VK_DOWN);
      if (c.inEdit) {
        ASSERT_TRUE(focusOn(picker->edUser));
        real_input::PressKey(VK_END);
        real_input::PressKey(VK_HOME, real_input::kShift);
        real_input::TypeText("tea");
      }
      real_input::PressKey(c.lastKey);
    });
    After(15000, [] {
      if (formInputStrings != nullptr && formInputStrings->Visible()) formInputStrings->SetModalResult(mrAbort);
    });
    EXPECT_EQ(InputFromList(c.canEdit ? "Enter Comment" : "Choose User", &users_, c.canEdit), c.want);
    DropPending();
  }
}

TEST_F(SmallDialogs, WaitWindowEndsOnCancelAndWhenLeft) {
  main_->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(main_->Handle()) != FALSE; }));
  formWait = new TformWait(Application);
  TformWait* wait = formWait;
  EXPECT_EQ(wait->ClientWidth(), 279);
  EXPECT_EQ(wait->ClientHeight(), 62);
  wait->lInfo->SetCaption("Adding up the week...");
  for (int i = 0; i < 40; ++i) wait->ProgressBar1->StepIt();
  wait->Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(wait->Handle()) != FALSE; }));
  EXPECT_NE(GetWindowLongPtrA(wait->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  RECT frame;
  GetWindowRect(wait->Handle(), &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  real_input::SettlePainted();
  EXPECT_TRUE(Screenshot("wait.png"));
  SendMessageA(wait->btCancel->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !wait->Visible() && IsWindowVisible(wait->Handle()) == FALSE; }));

  // Clicking elsewhere ends the wait as well.
  wait->Show();
  ASSERT_TRUE(PumpUntil([&] { return wait->Active(); }));
  SetActiveWindow(main_->Handle());
  EXPECT_TRUE(PumpUntil([&] { return !wait->Visible(); }));
  delete wait;
  EXPECT_EQ(formWait, nullptr);
}

TEST_F(SmallDialogs, LanguageInfoShowsItsPicturesAndTurnsTheGlobe) {
  auto* info = new TformLingroveInfo(Application);
  EXPECT_EQ(info->ClientWidth(), 373);
  // As designed, or higher where the wrapped texts need it: the mark stands below them.
  EXPECT_GE(info->ClientHeight(), 134);
  EXPECT_GE(info->imLingroveLogo->Top(), info->Label5->Top() + info->Label5->Height());
  EXPECT_EQ(info->AnimatedImage1->NumGlyphs(), 16);
  EXPECT_EQ(info->AnimatedImage1->Width(), 16);
  EXPECT_TRUE(info->AnimatedImage1->Active());
  EXPECT_EQ(info->imLingroveLogo->Picture()->Width(), 24);
  EXPECT_EQ(info->imLingroveLogo->Picture()->Height(), 24);
  // Every text fits in the box.
  for (TLabel* label : {info->Label1, info->Label2, info->Label3, info->Label4, info->Label5, info->Label6})
    EXPECT_LE(label->Left() + label->Width(), info->ClientWidth()) << label->Caption();

  std::vector<int> frames;
  info->AnimatedImage1->OnFrameChanged = [&](TObject*) { frames.push_back(info->AnimatedImage1->GlyphNum()); };
  After(50, [&] {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(info->Handle()) != FALSE; }));
    EXPECT_TRUE(PumpUntil([&] { return frames.size() >= 4; }));
    real_input::SettlePainted();
    EXPECT_TRUE(Screenshot("language-info.png"));
    PostMessageA(info->Handle(), WM_CLOSE, 0, 0);
  });
  After(20000, [info] {
    if (info->Visible()) info->SetModalResult(mrAbort);
  });
  EXPECT_EQ(info->ShowModal(), mrCancel);
  EXPECT_GE(frames.size(), 4u);
  delete info;
}
