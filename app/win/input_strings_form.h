#pragma once
// The list picker: a small tool window placed in the main window's bottom-right corner
// that offers a list of texts (users, countdown comments) to choose from, or a new text to
// type, and, when editing is allowed, deletes entries after asking.
//
// One picker is made at start-up and reused; InputFromList prepares and shows it. After an
// editing run the caller may take the dialog's list (lbUsers) over as its new list. Its
// buttons are flat speed buttons, which never take the focus: OK asks whether the list
// has it, and Enter and Escape stand in for the two buttons.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <string>

#include "kit/win/cat_edit97.h"
#include "kit/win/speed_button.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

class TLingroveLang;
class TStrings;

class TformInputStrings : public TForm {
  HL_REFLECTABLE
public:
  explicit TformInputStrings(TComponent* owner);
  ~TformInputStrings() override;

  // The strip above the list with the delete button; shown only while editing is allowed.
  TPanel* pCanEdit;
  TKitSpeedButton* btDelete;
  TPanel* Panel1;
  TListBox* lbUsers;
  TLabel* Label1;
  TCatEdit97* edUser;
  TKitSpeedButton* btOk;
  TKitSpeedButton* btCancel;
  TLingroveLang* LingroveLang1;

  // Readies the dialog for one run: caption, height (with the delete strip when canEdit),
  // place next to the main window, an empty new text and a copy of items with the first
  // entry chosen.
  void Prepare(const std::string& caption, TStrings* items, bool canEdit);
  bool CanEdit() const { return pCanEdit->Visible(); }

  // A chosen entry becomes the new text while editing is allowed.
  void lbUsersClick(TObject* Sender);
  // With the focus in the list: takes the chosen entry (nothing without one). Otherwise
  // adds the new text to the list. Either way the dialog closes with OK.
  void btOkClick(TObject* Sender);
  void btCancelClick(TObject* Sender);
  // Enter does what OK does where the focus is (the list or the new text), Escape what
  // Cancel does: the flat buttons can be neither focused nor made the default.
  bool DialogKey(WORD key, TShiftState shift) override;
  // Deletes the chosen entry once the user agrees, then chooses the first entry again.
  void btDeleteClick(TObject* Sender);

private:
  // Places the buttons, the new text and the list as their fonts and captions came out.
  void Arrange();
};

// The picker made at start-up (InputFromList makes one when there is none yet).
extern TformInputStrings* formInputStrings;

// Shows the picker modally and answers the new text when it closes with OK, the empty text
// when it is cancelled or anything fails (it never raises).
std::string InputFromList(const std::string& caption, TStrings* items, bool canEdit);
