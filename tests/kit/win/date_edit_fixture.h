#pragma once
// A date edit on the edit test form, with dates in "dd.mm.yyyy" (four-digit years) and its
// OnChange counted.

#include "kit/date_utils.h"
#include "kit/win/date_edit.h"
#include "platform/rtl/format_settings.h"
#include "tests/kit/win/edit_form_fixture.h"

class DateEditFormTest : public EditFormTest {
protected:
  void SetUp() override {
    EditFormTest::SetUp();
    FormatSettings() = DefaultFormatSettings();
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = '.';
    savedFlag_ = FourDigitYearFlag;
    FourDigitYearFlag = true;
    edit = new TDateEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 120, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
  }
  void TearDown() override {
    EditFormTest::TearDown();
    FourDigitYearFlag = savedFlag_;
    ResetFormatSettings();
  }

  TDateEdit* edit = nullptr;
  int changes = 0;

private:
  bool savedFlag_ = true;
};
