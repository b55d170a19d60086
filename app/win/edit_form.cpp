#include "app/win/edit_form.h"

#include "app/win/form_parts.h"
#include "platform/rtl/properties.h"

TformEdit* formEdit = nullptr;

const ClassInfo* TformEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformEdit>("TformEdit", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformEdit::TformEdit(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formEdit");
  SetCaption("Edit custom groups");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(380);
  SetClientHeight(249);

  Panel1 = MakeControl<TPanel>(this, "Panel1", this, 0, ClientHeight() - 34, ClientWidth(), 34);
  Panel1->SetAlign(alBottom);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetCaption("");
  BitBtn2 = MakeControl<TButton>(this, "BitBtn2", Panel1, ClientWidth() - 166, 5, 75, 25);
  BitBtn2->SetCaption("OK");
  BitBtn2->SetDefault(true);
  BitBtn2->SetModalResult(mrOk);
  BitBtn1 = MakeControl<TButton>(this, "BitBtn1", Panel1, ClientWidth() - 83, 5, 75, 25);
  BitBtn1->SetCaption("Cancel");
  BitBtn1->SetCancel(true);
  BitBtn1->SetModalResult(mrCancel);

  Memo1 = MakeControl<TMemo>(this, "Memo1", this, 0, 0, ClientWidth(), ClientHeight() - 34);
  Memo1->SetAlign(alClient);
  Memo1->SetScrollBars(ssVertical);
  // Lines as typed: a long name must stay one group, never be wrapped into two.
  Memo1->SetWordWrap(false);
  Memo1->Lines()->Clear();

  LoadedAll(this);
  DoCreate();
}

TformEdit::~TformEdit() {
  if (formEdit == this) formEdit = nullptr;
}
