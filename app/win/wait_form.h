#pragma once
// The "Please, wait" window: a step text and a progress bar shown on top of everything
// while a long piece of work runs. The work watches Visible and stops once the window has
// gone, which Cancel, closing it or clicking elsewhere all bring about.

#include "platform/wcl/win/form.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"

class TLingroveLang;

class TformWait : public TForm {
  HL_REFLECTABLE
public:
  explicit TformWait(TComponent* owner);
  ~TformWait() override;

  TLabel* lInfo;
  TProgressBar* ProgressBar1;
  TButton* btCancel;
  TLingroveLang* LingroveLang1;

  void btCancelClick(TObject* Sender);
  // The window lost the activation: the wait ends.
  void FormDeactivate(TObject* Sender);

private:
  void FitButton();
};

// The wait window made at start-up.
extern TformWait* formWait;
