// The combo edit under Wine: its button and drop-down with a stand-in popup, the keys that
// open, accept and cancel, typing rules of ReadOnly and DirectInput, the button's width and
// glyphs, and the focus staying with the edit while the popup is open.

#include "kit/win/combo_edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/wcl/win/bitmap.h"
#include "tests/kit/win/edit_form_fixture.h"

namespace {

// A drop-down that holds a text: what it was given, or what a test picks.
class TTextPopup : public TPopupWindow {
public:
  explicit TTextPopup(TWinControl* editor) : TPopupWindow(editor) { SetBounds(0, 0, 160, 90); }
  TPopupValue GetValue() override { return picked; }
  void SetValue(const TPopupValue& value) override {
    given = value;
    picked = PopupValueText(value);
  }
  std::string picked;
  TPopupValue given;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->FillRect(ClientRect());
    Canvas()->TextOut(4, 4, "picked: " + picked);
  }
};

// A combo edit with that drop-down, as a descendant makes one.
class TTextComboEdit : public TCustomComboEdit {
public:
  explicit TTextComboEdit(TComponent* owner) : TCustomComboEdit(owner) {
    popup = new TTextPopup(this);
    popup->OnCloseUp = [this](TObject* sender, bool accept) { ClosePopup(sender, accept); };
    SetPopup(popup);
    SetGlyphKind(gkDropDown);
  }
  TTextPopup* popup;
};

class ComboEditTest : public EditFormTest {
protected:
  void SetUp() override {
    EditFormTest::SetUp();
    edit = new TTextComboEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
  }
  void ShowFocused() { EditFormTest::ShowFocused(edit); }
  void Char(char c) { EditFormTest::Char(edit, c); }
  void AltDown() { EditFormTest::AltDown(edit); }
  // A press and release in the middle of the button, as its host window gets them.
  void ClickButton() {
    HWND host = edit->Button()->Parent()->Handle();
    const LPARAM at = MAKELPARAM(edit->ButtonWidth() / 2, 5);
    SendMessageA(host, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(host, WM_LBUTTONUP, 0, at);
  }

  TTextComboEdit* edit = nullptr;
  int changes = 0;
};

TEST_F(ComboEditTest, ButtonOpensThePopupBelowWithTheTextAndEnterAcceptsItsValueOnce) {
  ShowFocused();
  edit->SetText("first");
  changes = 0;
  ClickButton();
  ASSERT_TRUE(edit->PopupVisible());
  EXPECT_TRUE(IsWindowVisible(edit->popup->Handle()));
  EXPECT_EQ(PopupValueText(edit->popup->given), "first");
  RECT e, p;
  GetWindowRect(edit->Handle(), &e);
  GetWindowRect(edit->popup->Handle(), &p);
  EXPECT_EQ(p.top, e.bottom);
  EXPECT_EQ(p.right, e.right);
  // The popup took neither the focus nor the activation.
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  // While it is open the edit cannot be typed into.
  Char('x');
  EXPECT_EQ(edit->Text(), "first");

  edit->popup->picked = "second";
  Char('\r');
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_FALSE(IsWindowVisible(edit->popup->Handle()));
  EXPECT_EQ(edit->Text(), "second");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(edit->Modified());
  Char('y');  // typing works again
  EXPECT_EQ(edit->Text().back(), 'y');
}

TEST_F(ComboEditTest, EscapeClosesAndKeepsTheText) {
  ShowFocused();
  edit->SetText("kept");
  changes = 0;
  AltDown();
  ASSERT_TRUE(edit->PopupVisible());
  edit->popup->picked = "dropped";
  Char('\x1b');
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), "kept");
  EXPECT_EQ(changes, 0);
}

TEST_F(ComboEditTest, ButtonPressWhileOpenAcceptsAndDoesNotOpenAgain) {
  ShowFocused();
  ClickButton();
  ASSERT_TRUE(edit->PopupVisible());
  edit->popup->picked = "picked";
  ClickButton();
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), "picked");
  ClickButton();  // the next press opens it again
  EXPECT_TRUE(edit->PopupVisible());
}

TEST_F(ComboEditTest, MouseReleaseInsideThePopupAccepts) {
  ShowFocused();
  ClickButton();
  edit->popup->picked = "clicked";
  SendMessageA(edit->popup->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageA(edit->popup->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_FALSE(edit->PopupVisible());
  EXPECT_EQ(edit->Text(), "clicked");
}

TEST_F(ComboEditTest, FocusLeavingClosesWithoutAcceptingAndLetsTheFocusGo) {
  ShowFocused();
  edit->SetText("kept");
  ClickButton();
  ASSERT_TRUE(edit->PopupVisible());
  edit->popup->picked = "dropped";
  other->SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return !edit->PopupVisible(); }));
  EXPECT_EQ(edit->Text(), "kept");
  EXPECT_EQ(GetFocus(), other->Handle());
}

TEST_F(ComboEditTest, ReadOnlyBlocksTypingPasteTheButtonAndTheDropDown) {
  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  ShowFocused();
  edit->SetText("fixed");
  edit->SetReadOnly(true);
  Char('x');
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  ClickButton();
  AltDown();
  edit->PopupDropDown(true);
  EXPECT_EQ(edit->Text(), "fixed");
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(edit->PopupVisible());
}

TEST_F(ComboEditTest, WithoutDirectInputTheButtonStillChangesTheText) {
  ShowFocused();
  edit->SetText("old");
  edit->SetDirectInput(false);
  Char('x');
  EXPECT_EQ(edit->Text(), "old");
  ClickButton();
  edit->popup->picked = "new";
  Char('\r');
  EXPECT_EQ(edit->Text(), "new");
  Char('x');
  EXPECT_EQ(edit->Text(), "new");  // still no typing after the popup closed
}

TEST_F(ComboEditTest, PlainComboEditButtonRunsOnButtonClickAlsoFromClickKey) {
  auto* plain = new TComboEdit(form.get());
  plain->SetParent(form.get());
  plain->SetBounds(10, 60, 150, 21);
  int clicks = 0;
  plain->OnButtonClick = [&](TObject*) { ++clicks; };
  form->Show();
  plain->SetFocus();
  EditFormTest::AltDown(plain);
  EXPECT_EQ(clicks, 1);
  SendMessageA(plain->Handle(), WM_KEYDOWN, VK_DOWN, 1);  // Down alone is not the key
  EXPECT_EQ(clicks, 1);
  // Width 1 hides the button but keeps the key; width 0 takes the key away too.
  plain->SetButtonWidth(1);
  EXPECT_FALSE(plain->Button()->Parent()->Visible());
  EditFormTest::AltDown(plain);
  EXPECT_EQ(clicks, 2);
  plain->SetButtonWidth(0);
  EditFormTest::AltDown(plain);
  EXPECT_EQ(clicks, 2);
  // A width not below the client width is refused.
  plain->SetButtonWidth(500);
  EXPECT_EQ(plain->ButtonWidth(), 0);
}

TEST_F(ComboEditTest, GlyphKindsSetTheButton) {
  EXPECT_EQ(edit->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  ASSERT_NE(edit->Glyph(), nullptr);
  EXPECT_FALSE(edit->Glyph()->Empty());
  // The system's arrow is black on white with a black line at its foot: white is the ground.
  EXPECT_EQ(edit->Glyph()->TransparentColor() & 0xFFFFFF, clWhite);
  edit->SetGlyphKind(gkEllipsis);
  EXPECT_EQ(edit->Glyph()->Width(), std::max(1, edit->ButtonWidth() - 6));
  EXPECT_EQ(edit->NumGlyphs(), 1);
  TBitmap own;
  own.SetSize(10, 10);
  edit->SetGlyph(&own);
  EXPECT_EQ(edit->GlyphKind(), gkCustom);
}

TEST_F(ComboEditTest, PasteTakesTheFirstLineOnly) {
  ShowFocused();
  edit->SetText("");
  PutOnClipboard(edit->Handle(), "one\r\ntwo");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "one");
}

TEST_F(ComboEditTest, DisabledTextIsGrey) {
  form->Show();
  HDC dc = CreateCompatibleDC(nullptr);
  const auto textColour = [&] {
    SendMessageA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(edit->Handle()));
    return GetTextColor(dc);
  };
  EXPECT_NE(textColour(), GetSysColor(COLOR_GRAYTEXT));
  edit->SetEnabled(false);
  EXPECT_EQ(textColour(), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_FALSE(edit->Button()->Enabled());
  DeleteDC(dc);
}

TEST_F(ComboEditTest, HeightNeverGoesBelowWhatTheFontsNeed) {
  edit->SetHeight(4);
  EXPECT_GT(edit->Height(), 4);
  edit->SetHeight(40);
  EXPECT_EQ(edit->Height(), 40);
  // The smaller of the system font and the edit's own counts: a large font raises the least
  // height only to the system font's, a tiny one lowers it.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRICA system{};
  GetTextMetricsA(dc, &system);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int borders = 4 * GetSystemMetrics(SM_CYBORDER) + 1;
  edit->SetParentFont(false);
  edit->Font()->SetHeight(-50);
  edit->SetHeight(4);
  EXPECT_EQ(edit->Height(), system.tmHeight + borders);
  edit->Font()->SetHeight(-4);
  edit->SetHeight(4);
  EXPECT_LT(edit->Height(), system.tmHeight + borders);
}

// With HL_SHOW_MS set, the open drop-down stays up that long for a look.
TEST_F(ComboEditTest, OpenDropDownShows) {
  form->SetCaption("Combo edit");
  auto* dots = new TComboEdit(form.get());
  dots->SetParent(form.get());
  dots->SetBounds(10, 140, 150, 21);
  dots->SetGlyphKind(gkEllipsis);
  dots->SetText("ellipsis button");
  ShowFocused();
  edit->SetText("drop-down");
  ClickButton();
  EXPECT_TRUE(PumpUntil([&] { return edit->PopupVisible(); }));
  real_input::HoldForLooking();
}

}  // namespace
