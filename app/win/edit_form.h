#pragma once
// TformEdit: the editor of the custom task groups' names, one name per line. The options
// dialog loads hl20grp.txt into Memo1, shows the editor modally and, on OK, saves the lines
// back; the form itself only holds the text. It carries no translation component: its
// texts stay as built.

#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

class TformEdit : public TForm {
  HL_REFLECTABLE
public:
  explicit TformEdit(TComponent* owner);
  ~TformEdit() override;

  TMemo* Memo1;
  TPanel* Panel1;
  TButton* BitBtn2;  // OK
  TButton* BitBtn1;  // Cancel
};

// The group editor made at start-up.
extern TformEdit* formEdit;
