// End to end: a small form with the standard controls is shown on the display, a
// screenshot of the screen goes beside the test program (controls.png, and controls-after.png
// once the button worked), and a click on the button does the button's work. The screenshots
// are for people to look at; they are never compared.

#include <gtest/gtest.h>

#include <string>

#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/support/real_input.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

class TSampleForm : public TForm {
public:
  explicit TSampleForm(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetName("formSample");
    SetCaption("Hourlark - controls");
    SetBorderStyle(bsDialog);
    SetBounds(40, 40, 430, 440);

    auto* header = Add<TPanel>("pHeader", this);
    header->SetAlign(alTop);
    header->SetHeight(28);
    header->SetCaption("Today: 3 h 20 min");
    header->Font()->SetStyle(fsBold);

    auto* breaks = Add<TGroupBox>("gbBreaks", this);
    breaks->SetCaption("Breaks");
    breaks->SetBounds(8, 36, 200, 110);
    auto* remind = Add<TCheckBox>("cbRemindEvery", breaks);
    remind->SetCaption("Remind me every");
    remind->SetBounds(10, 20, 120, 17);
    remind->SetChecked(true);
    auto* minutes = Add<TEdit>("edRemindEvery", breaks);
    minutes->SetBounds(135, 18, 50, 21);
    minutes->SetText("45");
    auto* euro = Add<TRadioButton>("rbEuro", breaks);
    euro->SetCaption("Mon - Sun");
    euro->SetBounds(10, 50, 100, 17);
    euro->SetChecked(true);
    auto* amer = Add<TRadioButton>("rbAmer", breaks);
    amer->SetCaption("Sun - Sat");
    amer->SetBounds(10, 74, 100, 17);

    auto* commentLabel = Add<TLabel>("lComment", this);
    commentLabel->SetCaption("&Comment:");
    commentLabel->SetBounds(220, 40, 60, 13);
    comment = Add<TComboBox>("cbComment", this);
    comment->SetBounds(220, 56, 190, 21);
    comment->Items()->SetText("tea\r\ncoffee\r\nlunch\r\n");
    comment->SetItemIndex(0);
    auto* users = Add<TListBox>("lbUsers", this);
    users->SetBounds(220, 86, 190, 60);
    users->Items()->SetText("anna\r\nbob\r\ncarl\r\ndora\r\n");
    users->SetItemIndex(1);

    auto* line = Add<TBevel>("BevelLine", this);
    line->SetShape(bsTopLine);
    line->SetBounds(8, 154, 402, 4);
    auto* memo = Add<TMemo>("Memo1", this);
    memo->SetBounds(8, 164, 200, 60);
    memo->SetScrollBars(ssVertical);
    memo->Lines()->SetText("Working\r\nResting\r\n");
    auto* picture = Add<TImage>("imIcon", this);
    picture->SetBounds(220, 164, 32, 32);
    picture->SetStretch(true);
    TBitmap* bitmap = picture->Picture()->Bitmap();
    bitmap->SetSize(8, 8);
    bitmap->Canvas()->Brush()->SetColor(clNavy);
    bitmap->Canvas()->FillRect(RECT{0, 0, 8, 8});
    bitmap->Canvas()->Brush()->SetColor(clYellow);
    bitmap->Canvas()->FillRect(RECT{2, 2, 6, 6});
    result = Add<TLabel>("lResult", this);
    result->SetBounds(262, 172, 150, 13);
    result->Font()->SetColor(clBlue);
    result->SetCaption("Nothing copied yet");

    progress = Add<TProgressBar>("ProgressBar1", this);
    progress->SetBounds(8, 232, 200, 16);
    progress->SetStep(25);
    progress->SetPosition(50);
    copy = Add<TButton>("btCopy", this);
    copy->SetCaption("Copy");
    copy->SetBounds(220, 226, 75, 25);
    copy->SetDefault(true);
    copy->OnClick = [this](TObject*) { CopyClick(); };

    auto* tasks = Add<TListView>("ListView", this);
    tasks->SetBounds(8, 258, 402, 90);
    tasks->SetViewStyle(vsReport);
    tasks->SetReadOnly(true);
    tasks->SetRowSelect(true);
    tasks->SetCheckboxes(true);
    tasks->Columns()->Add()->SetCaption("Task name");
    tasks->Columns()->Items(0)->SetWidth(250);
    tasks->Columns()->Add()->SetCaption("Worked time");
    tasks->Columns()->Items(1)->SetWidth(120);
    tasks->Columns()->Items(1)->SetAlignment(taRightJustify);
    for (const char* task : {"editor.exe", "browser.exe", "mail.exe"}) {
      TListItem* item = tasks->Items()->Add();
      item->SetCaption(task);
      item->SubItems()->Add("1:" + std::to_string(10 + item->Index() * 7));
    }
    tasks->Items()->Items(1)->SetChecked(true);
    tasks->SetItemIndex(2);

    status = Add<TStatusBar>("StatusBar1", this);
    TStatusPanel* panel = status->Panels()->Add();
    panel->SetWidth(90);
    panel->SetAlignment(taCenter);
    panel->SetText("00:45:00");
    status->Panels()->Add()->SetText("Ready");
    LoadedAll(this);
    DoCreate();
  }

  TComboBox* comment;
  TLabel* result;
  TProgressBar* progress;
  TButton* copy;
  TStatusBar* status;
  int copies = 0;

private:
  template <class T>
  T* Add(const std::string& name, TWinControl* parent) {
    T* control = new T(this);
    control->SetName(name);
    control->SetParent(parent);
    return control;
  }

  void CopyClick() {
    ++copies;
    result->SetCaption("Copied: " + comment->Text());
    progress->StepIt();
    status->Panels()->Items(1)->SetText("Copied");
  }
};

using ControlsEndToEnd = AppTest;

}  // namespace

TEST_F(ControlsEndToEnd, AFormOfStandardControlsShowsAndItsButtonAnswersAPress) {
  TSampleForm form(nullptr);
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
  ASSERT_TRUE(real_input::BringToForeground(form.Handle()));
  real_input::SettlePainted();
  EXPECT_TRUE(real_input::Screenshot("controls.png"));

  // A click on the button.
  real_input::Click(form.copy->Handle(), {10, 10});
  ASSERT_TRUE(PumpUntil([&] { return form.copies > 0; }));
  EXPECT_EQ(form.copies, 1);
  EXPECT_EQ(form.result->Caption(), "Copied: tea");
  EXPECT_EQ(form.progress->Position(), 75);
  EXPECT_EQ(SendMessageA(form.progress->Handle(), PBM_GETPOS, 0, 0), 75);
  char text[64] = {};
  SendMessageA(form.status->Handle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Copied");

  // Enter from the list reaches the default button.
  HWND list = static_cast<TWinControl*>(form.FindComponent("lbUsers"))->Handle();
  real_input::Click(list, {10, 5});
  real_input::PressKey(VK_RETURN);
  EXPECT_EQ(form.copies, 2);
  real_input::SettlePainted();
  EXPECT_TRUE(real_input::Screenshot("controls-after.png"));
}
