#pragma once
// TCustomMaskEdit: a one-line edit that lays its text out under an edit mask (see
// platform/wcl/edit_mask.h for the mask's syntax). The window always shows every place of
// the mask: its literals, and the placeholder where nothing was typed. Typing overwrites
// the place at the caret and only where the place takes the character (anything else
// beeps); the caret steps over the literals; Backspace and Delete put the placeholder back;
// pasted text is filtered by the mask; Text reads the shown text back through the mask.
// Without a mask (EditMask empty) it is a plain edit.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <string>

#include "platform/wcl/edit_mask.h"
#include "platform/wcl/win/edit_controls.h"

// The text on the clipboard; false when there is none or the clipboard cannot be opened.
bool ClipboardText(HWND owner, std::string& text);

class TCustomMaskEdit : public TCustomEdit {
  HL_REFLECTABLE
public:
  explicit TCustomMaskEdit(TComponent* owner);

  // Setting another mask lays the text, as read through the old one, out under the new one.
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& value);
  bool IsMasked() const { return !Mask().Empty(); }
  // What the edit shows: under a mask, with its literals and placeholders.
  std::string EditText() const;
  // Text from elsewhere (the clipboard, on every paste) put in place of the selection:
  // under a mask it is typed into the places that take it, and beeps when none does.
  virtual void PasteText(const std::string& text);

  void WndProc(TMessage& msg) override;

protected:
  std::string GetText() const override;
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;

private:
  // The mask with the separators of the format settings as they stand now.
  TEditMask Mask() const;
  TMaskEditState State() const;
  // Shows the state: the changed characters replaced as the user's change (one OnChange,
  // Modified set), then the caret; a refused edit beeps.
  void Show(const TMaskEditState& before, const TMaskEditState& after);
  void Refuse();
  bool RouteEditKey(WORD key, TShiftState shift);
  bool CanEdit() const { return IsMasked() && !TCustomEdit::ReadOnly(); }

  std::string editMask_;
  std::string laidText_;
};

class TMaskEdit : public TCustomMaskEdit {
  HL_REFLECTABLE
public:
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};
