#include "app/win/input_strings_form.h"

#include <algorithm>

#include "app/win/app_pictures.h"
#include "app/win/form_parts.h"
#include "lang/app_language.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/string_list.h"
#include "platform/wcl/win/application.h"

TformInputStrings* formInputStrings = nullptr;

namespace {

// The question asked before an entry is deleted: message text 35 of the language files,
// or the picker's own base text when they hold none.
std::string DeleteQuestion() {
  std::string text;
  try {
    text = GetLangString(35);
  } catch (...) {
    // No language file to ask: the base text stands.
  }
  return text.empty() || text == kUndefinedLangString ? "Delete this entry?" : text;
}

TLangFormRegistrar registrar("TformInputStrings", [](TComponent* owner) { return new TformInputStrings(owner); });

}  // namespace

const ClassInfo* TformInputStrings::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformInputStrings>("TformInputStrings", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformInputStrings::TformInputStrings(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formInputStrings");
  SetBorderStyle(bsToolWindow);
  SetClientWidth(185);
  SetClientHeight(88);

  pCanEdit = MakeControl<TPanel>(this, "pCanEdit", this, 0, 0, 185, 11);
  pCanEdit->SetAlign(alTop);
  pCanEdit->SetBevelOuter(bvNone);
  btDelete = MakeControl<TKitSpeedButton>(this, "btDelete", pCanEdit, 3, 0, 13, 11);
  btDelete->SetFlat(true);
  {
    TBitmap glyph;
    LoadAppPicture(&glyph, kPicturePickerDelete);
    btDelete->SetGlyph(&glyph);
  }
  btDelete->OnClick = [this](TObject* sender) { btDeleteClick(sender); };

  Panel1 = MakeControl<TPanel>(this, "Panel1", this, 0, 11, 185, 77);
  Panel1->SetAlign(alClient);
  lbUsers = MakeControl<TListBox>(this, "lbUsers", Panel1, 3, 1, 121, 56);
  lbUsers->SetTabStop(true);
  lbUsers->OnClick = [this](TObject* sender) { lbUsersClick(sender); };
  lbUsers->OnDblClick = [this](TObject* sender) { btOkClick(sender); };
  Label1 = MakeControl<TLabel>(this, "Label1", Panel1, 4, 61, 22, 13);
  Label1->SetCaption("New");
  // Holds what the user types, so a language switch leaves it alone.
  edUser = MakeControl<TCatEdit97>(this, "edUser", Panel1, 30, 58, 152, 17);
  edUser->SetTabStop(true);
  btOk = MakeControl<TKitSpeedButton>(this, "btOk", Panel1, 129, 3, 52, 22);
  btOk->SetFlat(true);
  btOk->SetCaption("Ok");
  btOk->OnClick = [this](TObject* sender) { btOkClick(sender); };
  btCancel = MakeControl<TKitSpeedButton>(this, "btCancel", Panel1, 129, 29, 52, 22);
  btCancel->SetFlat(true);
  btCancel->SetCaption("Cancel");
  btCancel->OnClick = [this](TObject* sender) { btCancelClick(sender); };

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  LingroveLang1->AfterTrans = [this](TObject*, const std::string&) { Arrange(); };
  LoadedAll(this);
  Arrange();
  DoCreate();
}

void TformInputStrings::Arrange() {
  // The buttons as wide as their longer caption needs; the window grows by what they gain.
  const int extra = std::max(CaptionShortfall(btOk, ScaleValue(10)), CaptionShortfall(btCancel, ScaleValue(10)));
  if (extra > 0) {
    SetClientWidth(ClientWidth() + extra);
    for (TControl* button : {btOk, btCancel}) button->SetWidth(button->Width() + extra);
    edUser->SetWidth(edUser->Width() + extra);
  }
  // The flat edit is as high as its font needs: it sits on the panel's bottom edge, under
  // the buttons (the window grows when it must), and the list takes what is left above it.
  const int below = btCancel->Top() + btCancel->Height() + ScaleValue(2) + edUser->Height() + 2;
  if (Panel1->ClientHeight() < below) SetClientHeight(ClientHeight() + below - Panel1->ClientHeight());
  edUser->SetTop(Panel1->ClientHeight() - edUser->Height() - 2);
  Label1->SetTop(edUser->Top() + (edUser->Height() - Label1->Height()) / 2);
  KeepApart({Label1, edUser}, ScaleValue(4));
  if (edUser->Left() + edUser->Width() > Panel1->ClientWidth() - ScaleValue(3))
    edUser->SetWidth(Panel1->ClientWidth() - ScaleValue(3) - edUser->Left());
  lbUsers->SetHeight(edUser->Top() - 2 - lbUsers->Top());
}

TformInputStrings::~TformInputStrings() {
  if (formInputStrings == this) formInputStrings = nullptr;
}

void TformInputStrings::Prepare(const std::string& caption, TStrings* items, bool canEdit) {
  SetCaption(caption);
  int height = Panel1->Height();
  pCanEdit->SetVisible(canEdit);
  if (canEdit) height += pCanEdit->Height();
  SetClientHeight(height);

  // Inside the main window's bottom-right corner, but never off the screen's left or top.
  if (TCustomForm* main = Application->MainForm(); main != nullptr && main != this) {
    const int top = std::max(0, main->Top() + main->Height() - Height() - 10);
    const int left = std::max(0, main->Left() + main->Width() - Width() - 10);
    SetBounds(left, top, Width(), Height());
  }

  edUser->SetText("");
  if (items != nullptr)
    lbUsers->Items()->Assign(items);
  else
    lbUsers->Items()->Clear();
  if (lbUsers->Items()->Count() > 0) {
    lbUsers->SetItemIndex(0);
    lbUsersClick(lbUsers);
  }
}

void TformInputStrings::lbUsersClick(TObject*) {
  const int index = lbUsers->ItemIndex();
  if (CanEdit() && index >= 0) edUser->SetText(lbUsers->Items()->Strings(index));
}

void TformInputStrings::btOkClick(TObject*) {
  if (lbUsers->Focused()) {
    const int index = lbUsers->ItemIndex();
    if (index < 0) return;
    edUser->SetText(lbUsers->Items()->Strings(index));
  } else {
    lbUsers->Items()->Add(edUser->Text());
  }
  SetModalResult(mrOk);
}

void TformInputStrings::btCancelClick(TObject*) { SetModalResult(mrCancel); }

bool TformInputStrings::DialogKey(WORD key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt)) return TForm::DialogKey(key, shift);
  if (key == VK_RETURN) {
    btOkClick(btOk);
    return true;
  }
  if (key == VK_ESCAPE) {
    btCancelClick(btCancel);
    return true;
  }
  return TForm::DialogKey(key, shift);
}

void TformInputStrings::btDeleteClick(TObject*) {
  const int index = lbUsers->ItemIndex();
  if (index >= 0) {
    const std::string entry = lbUsers->Items()->Strings(index);
    if (Application->MessageBox(DeleteQuestion(), entry, MB_YESNO | MB_ICONQUESTION) == IDYES)
      lbUsers->Items()->Delete(index);
  }
  if (lbUsers->Items()->Count() > 0) {
    lbUsers->SetItemIndex(0);
    lbUsersClick(lbUsers);
  }
}

std::string InputFromList(const std::string& caption, TStrings* items, bool canEdit) {
  try {
    if (formInputStrings == nullptr) formInputStrings = new TformInputStrings(Application);
    formInputStrings->Prepare(caption, items, canEdit);
    if (formInputStrings->ShowModal() == mrOk) return formInputStrings->edUser->Text();
  } catch (...) {
    // The callers treat the empty text as "nothing chosen"; an error is no more than that.
  }
  return "";
}
