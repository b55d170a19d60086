// The kit on screens of other resolutions. These tests run with every kit test at the
// resolution of the test prefix (96 pixels per inch), and again in prefixes of their own at
// 120 and 144 (tests/screen_scaling.sh), where each window leaves a picture of itself.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kit/win/calendar.h"
#include "kit/win/date_edit.h"
#include "kit/win/form_storage.h"
#include "kit/win/popup_calendar.h"
#include "platform/rtl/date_time.h"
#include "platform/wcl/win/grid.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/kit/win/store_fixture.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/text_fit.h"

namespace {

int Dpi() { return Screen->PixelsPerInch(); }
int AtDpi(int pixels) { return MulDiv(pixels, Dpi(), 96); }
std::string Shot(const std::string& name) { return "dpi" + std::to_string(Dpi()) + "-" + name + ".png"; }

// A form laid out in code for 96 pixels per inch, as the program's forms are: a header panel
// aligned to the top, a label, a check box, a button, a grid with a wider first column and a
// status bar with a panel.
class TformLayout : public TForm {
public:
  explicit TformLayout(bool scaled) : TForm(nullptr) {
    BeginLoading();
    SetName("formLayout");
    SetScaled(scaled);
    SetBounds(40, 50, 300, 200);
    SetClientWidth(300);
    SetClientHeight(200);
    header = Add<TPanel>("pHeader", 0, 0, 300, 30);
    header->SetAlign(alTop);
    label = Add<TLabel>("lName", 10, 40, 80, 13);
    label->SetAutoSize(false);
    label->SetCaption("Name:");
    check = Add<TCheckBox>("cbKeep", 10, 60, 120, 17);
    check->SetCaption("Keep it");
    button = Add<TButton>("btOk", 215, 155, 75, 25);
    button->SetCaption("OK");
    grid = Add<TStringGrid>("grCells", 140, 40, 150, 100);
    grid->SetDefaultColWidth(40);
    grid->SetDefaultRowHeight(18);
    grid->SetColWidths(0, 70);
    bar = Add<TStatusBar>("sbState", 0, 0, 0, 19);
    bar->Panels()->Add()->SetWidth(60);
    LoadedAll(this);
  }
  template <typename T>
  T* Add(const char* name, int left, int top, int width, int height) {
    auto* control = new T(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(left, top, width, height);
    return control;
  }
  TPanel* header;
  TLabel* label;
  TCheckBox* check;
  TButton* button;
  TStringGrid* grid;
  TStatusBar* bar;
};

class ScreenScaling : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (text_fit::ExpectedDpi() != 0) {
      ASSERT_EQ(Dpi(), text_fit::ExpectedDpi());
    }
  }
};

// The date edit on a form of the program's kind, shown in front with the edit focused.
class ScreenScalingDate : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->BeginLoading();
    form->SetBounds(100, 100, 260, 120);
    edit = new TDateEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 120, 21);
    LoadedAll(form.get());
    edit->SetDate(EncodeDate(2026, 12, 9));
  }
  void TearDown() override {
    window_test::DropPending();
    form.reset();
    // The pointer leaves the place of the click, where the next test's controls may stand.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, 0);
    AppTest::TearDown();
  }
  std::unique_ptr<TForm> form;
  TDateEdit* edit = nullptr;
};

// A plain stdcall function, as the 32-bit build needs for the enumeration's callback.
int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

// Wine draws the title bars' buttons with Marlett: a prefix without it shows "0 1 r" in
// every title bar, and every picture of a window with it.
TEST(ScreenScalingFonts, TheTitleBarsButtonFontIsInstalled) {
  HDC screen = GetDC(nullptr);
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(wanted.lfFaceName, "Marlett");
  bool found = false;
  EnumFontFamiliesExA(screen, &wanted, &NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(found);
}

TEST_F(ScreenScaling, AFormLaidOutForNinetySixGrowsWithTheScreen) {
  TformLayout form(true);
  EXPECT_EQ(form.label->Left(), AtDpi(10));
  EXPECT_EQ(form.label->Top(), AtDpi(40));
  // Edges scale, so controls that met still meet: the button's right edge stays 10 designed
  // pixels from the client area's right edge.
  EXPECT_EQ(form.button->Left() + form.button->Width(), AtDpi(290));
  EXPECT_EQ(form.ClientWidth(), AtDpi(300));
  EXPECT_EQ(form.ClientHeight(), AtDpi(200));
  EXPECT_EQ(form.Left(), 40) << "the form keeps its place";
  EXPECT_EQ(form.header->Width(), form.ClientWidth()) << "aligned controls fill the scaled form";
  EXPECT_EQ(form.header->Height(), AtDpi(30));
  EXPECT_EQ(form.bar->Top() + form.bar->Height(), form.ClientHeight());
  EXPECT_EQ(form.Font()->Height(), MulDiv(-11, Dpi(), 96));
  EXPECT_EQ(form.label->Font()->Height(), form.Font()->Height()) << "parent fonts follow";
  EXPECT_EQ(form.grid->ColWidths(0), AtDpi(70));
  EXPECT_EQ(form.grid->ColWidths(1), AtDpi(40));
  EXPECT_EQ(form.grid->RowHeights(0), AtDpi(18));
  EXPECT_EQ(form.bar->Panels()->Items(0)->Width(), AtDpi(60));
  EXPECT_EQ(form.ScaleValue(132), AtDpi(132));
  EXPECT_EQ(form.PixelsPerInch(), Dpi());
  form.Show();
  EXPECT_EQ(text_fit::ClippedTexts(&form), "");
}

TEST_F(ScreenScaling, ScaleByScalesBoundsFontsAndPixelSizesWhateverTheScreen) {
  TformLayout form(false);
  EXPECT_EQ(form.label->Left(), 10) << "a form that is not Scaled keeps its layout";
  form.Font()->SetHeight(-12);
  form.check->SetParentFont(false);
  form.check->Font()->SetHeight(-20);
  form.ScaleBy(3, 2);
  EXPECT_EQ(form.label->Left(), 15);
  EXPECT_EQ(form.label->Width(), 120);
  EXPECT_EQ(form.ClientWidth(), 450);
  EXPECT_EQ(form.ClientHeight(), 300);
  EXPECT_EQ(form.header->Width(), 450);
  EXPECT_EQ(form.Font()->Height(), -18);
  EXPECT_EQ(form.label->Font()->Height(), -18);
  EXPECT_EQ(form.check->Font()->Height(), -30) << "its own font scales once";
  EXPECT_FALSE(form.check->ParentFont());
  EXPECT_EQ(form.grid->ColWidths(0), 105);
  EXPECT_EQ(form.grid->DefaultRowHeight(), 27);
  EXPECT_EQ(form.bar->Panels()->Items(0)->Width(), 90);
  EXPECT_EQ(form.ScaleValue(100), 150);
  // Back again: the same layout as before, to the pixel.
  form.ScaleBy(2, 3);
  EXPECT_EQ(form.label->Left(), 10);
  EXPECT_EQ(form.button->Left() + form.button->Width(), 290);
  EXPECT_EQ(form.ClientWidth(), 300);
  EXPECT_EQ(form.ScaleValue(100), 100);
}

TEST_F(ScreenScaling, PlacementSavedAtAnotherResolutionIsIgnored) {
  TformLayout form(true);
  auto* storage = new TFormStorage(&form);
  storage->SetUseRegistry(true);
  storage->SetIniFileName(key);
  storage->SetIniSection("Layout");
  form.Show();
  const int left = form.Left();
  RegSet("Layout", "NormPos", "140,150,600,500");
  RegSet("Layout", "PixelsPerInch", "96");
  storage->RestoreFromStore();
  EXPECT_EQ(form.Left(), Dpi() == 96 ? 140 : left);
  form.SetLeft(left);
  RegSet("Layout", "PixelsPerInch", std::to_string(Dpi()));
  storage->RestoreFromStore();
  EXPECT_EQ(form.Left(), 140) << "saved at this resolution, it is used";
}

TEST_F(ScreenScalingDate, PopupCalendarGrowsTakesTheKitFontAndItsTextsFit) {
  if (text_fit::ExpectedDpi() != 0) {
    ASSERT_EQ(Dpi(), text_fit::ExpectedDpi());
  }
  form->Show();
  ASSERT_TRUE(real_input::BringToForeground(form->Handle()));
  edit->SetFocus();
  ASSERT_TRUE(real_input::WaitForFocusIn(edit->Handle()));
  real_input::Click(edit->Handle(), POINT{edit->ClientWidth() - 6, edit->ClientHeight() / 2});
  ASSERT_TRUE(PumpUntil([&] { return edit->Popup() != nullptr && edit->Popup()->Visible(); }));
  auto* popup = static_cast<TPopupCalendar*>(edit->Popup());
  EXPECT_EQ(popup->Width(), AtDpi(187));
  EXPECT_EQ(popup->Height(), AtDpi(124));
  EXPECT_EQ(popup->Font()->Height(), -MulDiv(8, Dpi(), 72)) << "the kit's 8-point font at this resolution";
  EXPECT_TRUE(popup->Calendar()->ParentFont());
  EXPECT_EQ(popup->Calendar()->Font()->Height(), popup->Font()->Height());
  EXPECT_EQ(popup->TitleLabel()->Caption(), "December, 2026");
  EXPECT_EQ(text_fit::ClippedTexts(popup), "");
  // Every day number fits its cell.
  const SIZE day = text_fit::Measure(popup->Calendar()->Font(), "28", false);
  const RECT cell = popup->Calendar()->CellRect(3, 3);
  EXPECT_LE(day.cx, cell.right - cell.left);
  EXPECT_LE(day.cy, cell.bottom - cell.top);
  real_input::SettlePainted();
  EXPECT_TRUE(window_test::Screenshot(Shot("popup-calendar")));
  real_input::PressKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !popup->Visible(); }));
}

TEST_F(ScreenScalingDate, DateDialogGrowsIsCentredAgainAndItsTextsFit) {
  if (text_fit::ExpectedDpi() != 0) {
    ASSERT_EQ(Dpi(), text_fit::ExpectedDpi());
  }
  bool looked = false;
  window_test::After(300, [&] {
    auto* dialog = dynamic_cast<TSelectDateDlg*>(Screen->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ClientWidth(), AtDpi(222));
    EXPECT_EQ(dialog->ClientHeight(), AtDpi(154));
    // Centred (the showing centres it once more, rounding the other way).
    EXPECT_NEAR(dialog->Left(), Screen->Width() / 2 - dialog->Width() / 2, 1);
    EXPECT_NEAR(dialog->Top(), Screen->Height() / 2 - dialog->Height() / 2, 1);
    EXPECT_EQ(dialog->Font()->Height(), -MulDiv(8, Dpi(), 72));
    EXPECT_TRUE(dialog->Calendar->ParentFont());
    EXPECT_EQ(dialog->TitleLabel->Font()->Height(), dialog->Font()->Height());
    EXPECT_EQ(dialog->TitleLabel->Font()->Style(), static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(dialog->OkBtn->Width() + dialog->CancelBtn->Width() - 1, dialog->ClientWidth());
    EXPECT_EQ(text_fit::ClippedTexts(dialog), "");
    real_input::SettlePainted();
    EXPECT_TRUE(window_test::Screenshot(Shot("date-dialog")));
    looked = true;
    real_input::PressKey(VK_ESCAPE);
  });
  window_test::After(20000, [] {
    if (auto* dialog = dynamic_cast<TSelectDateDlg*>(Screen->ActiveForm())) dialog->SetModalResult(mrAbort);
  });
  form->Show();
  TDateTime date = EncodeDate(2026, 12, 9);
  EXPECT_FALSE(SelectDate(date, "", Mon, DayOfWeekBit(Sun), clRed, nullptr));
  EXPECT_TRUE(looked);
}
