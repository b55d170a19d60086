#include "app/win/wait_form.h"

#include "app/win/form_parts.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"

TformWait* formWait = nullptr;

namespace {

TLangFormRegistrar registrar("TformWait", [](TComponent* owner) { return new TformWait(owner); });

}  // namespace

const ClassInfo* TformWait::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformWait>("TformWait", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformWait::TformWait(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formWait");
  SetCaption("Please, wait");
  SetBorderStyle(bsDialog);
  SetBorderIcons(0);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(279);
  SetClientHeight(62);
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };

  lInfo = MakeControl<TLabel>(this, "lInfo", this, 8, 8, 263, 13);
  lInfo->SetAutoSize(false);
  ProgressBar1 = MakeControl<TProgressBar>(this, "ProgressBar1", this, 8, 30, 182, 18);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(100);
  ProgressBar1->SetStep(1);
  btCancel = MakeControl<TButton>(this, "btCancel", this, 198, 27, 73, 25);
  btCancel->SetCaption("Cancel");
  btCancel->OnClick = [this](TObject* sender) { btCancelClick(sender); };

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  LingroveLang1->AfterTrans = [this](TObject*, const std::string&) { FitButton(); };
  LoadedAll(this);
  FitButton();
  DoCreate();
}

// A longer caption widens the button, and the window with it.
void TformWait::FitButton() {
  const int extra = CaptionShortfall(btCancel, ScaleValue(12));
  if (extra == 0) return;
  SetClientWidth(ClientWidth() + extra);
  btCancel->SetWidth(btCancel->Width() + extra);
  lInfo->SetWidth(lInfo->Width() + extra);
}

TformWait::~TformWait() {
  if (formWait == this) formWait = nullptr;
}

void TformWait::btCancelClick(TObject*) { Close(); }

void TformWait::FormDeactivate(TObject*) { Hide(); }
