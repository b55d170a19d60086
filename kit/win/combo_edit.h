#pragma once
// TCustomComboEdit: a one-line masked edit with a small push button inside its right edge
// that can drop a window (a TPopupWindow) down under the edit. The file-name edit, the date
// edit and the popup calendar build on it; TComboEdit is the plain one, whose button only
// runs OnButtonClick (the tree drop-down binds itself there).
//
// Typing is allowed only while ReadOnly is off and DirectInput on; the button and the
// drop-down still work with DirectInput off and may change the text. ClickKey (Alt+Down)
// presses the button from the keyboard; Enter in an open drop-down takes its value, Escape
// closes it and keeps the text.

#include "platform/wcl/win/mask_edit.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/combo_edit_logic.h"
#include "kit/win/speed_button.h"
#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/std_controls.h"

// Raised by the file-name edit for a name that cannot be a file's.
HL_DECLARE_EXCEPTION(EComboEditError, Exception);

class TCustomComboEdit;

// Run when a drop-down closes: Accept says whether its value is to be taken.
using TCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// The base of every drop-down window: a borderless-but-framed pop-up that never takes the
// activation from the edit that opened it, so that the edit keeps the focus and the keys.
class TPopupWindow : public TCustomControl {
  HL_REFLECTABLE
public:
  // editor: the edit that drops the window down (also its owner).
  explicit TPopupWindow(TWinControl* editor);

  TWinControl* Editor() const { return editor_; }
  virtual TPopupValue GetValue() = 0;
  virtual void SetValue(const TPopupValue& value) = 0;
  // Runs OnCloseUp.
  virtual void CloseUp(bool accept);
  virtual std::string GetPopupText() { return ""; }

  // Shows the window with its top-left corner at a screen point, above other windows,
  // without activating it; hides it likewise.
  void ShowAt(POINT screenPoint);
  void HideWindow();

  void WndProc(TMessage& msg) override;

  TCloseUpEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& params) override;
  // A left release inside the window accepts, outside it (while it holds the mouse) cancels.
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TWinControl* editor_;
};

// The button inside the combo edit. The press that closes an open drop-down does not open
// it again with its click.
class TEditButton : public TKitSpeedButton {
  HL_REFLECTABLE
public:
  explicit TEditButton(TCustomComboEdit* edit);
  void Click() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TCustomComboEdit* edit_;
  bool noAction_ = false;
};

class TCustomComboEdit : public TCustomMaskEdit {
  HL_REFLECTABLE
public:
  explicit TCustomComboEdit(TComponent* owner);
  ~TCustomComboEdit() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  const std::string& ButtonHint() const;
  void SetButtonHint(const std::string& value);
  // The button's width; below 2 the button is hidden (ClickKey still works above 0). A
  // width not below the client width is refused.
  int ButtonWidth() const;
  void SetButtonWidth(int value);
  unsigned short ClickKey() const { return clickKey_; }
  void SetClickKey(unsigned short value) { clickKey_ = value; }
  bool DirectInput() const { return directInput_; }
  void SetDirectInput(bool value);
  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* value);
  TGlyphKind GlyphKind() const { return glyphKind_; }
  void SetGlyphKind(TGlyphKind value);
  int NumGlyphs() const;
  void SetNumGlyphs(int value);
  TPopupAlign PopupAlign() const { return popupAlign_; }
  void SetPopupAlign(TPopupAlign value) { popupAlign_ = value; }
  // The component's own read-only state: no typing, no button, no drop-down.
  bool ReadOnly() const { return GetReadOnly(); }
  void SetReadOnly(bool value);

  TEditButton* Button() const { return button_; }
  TPopupWindow* Popup() const { return popup_; }
  bool PopupVisible() const { return popupVisible_; }

  // The button's press: DoButtonClick unless read-only.
  void EditButtonClick();
  // Closes an open drop-down; with accept, its value goes into the edit when AcceptPopup
  // and the edit allow it. Also the OnCloseUp handler of the drop-downs of descendants.
  void ClosePopup(TObject* sender, bool accept);
  void PopupDropDown(bool disableEdit);

  void CancelMode(TControl* sender) override;
  void WndProc(TMessage& msg) override;

  TNotifyEvent OnButtonClick;

protected:
  // The edit class's own glyph (shared, not owned), or nullptr.
  virtual TBitmap* GetDefaultGlyph() { return nullptr; }
  virtual void ShowPopup(POINT screenPoint);
  virtual void HidePopup();
  virtual bool AcceptPopup(TPopupValue& value) { return true; }
  virtual void AcceptValue(const TPopupValue& value);
  virtual void SetPopupValue(const TPopupValue& value);
  virtual TPopupValue GetPopupValue();
  // Told of text changes while the drop-down is open, instead of OnChange.
  virtual void PopupChange() {}
  virtual bool GetReadOnly() const { return readOnly_; }
  virtual void DoButtonClick();
  // Whether the text may change (the masked edit's question).
  virtual bool EditCanModify() const { return !GetReadOnly(); }

  // The drop-down; owned by the descendant that makes it.
  void SetPopup(TPopupWindow* popup) { popup_ = popup; }
  void SetDefaultNumGlyphs(int value) { defNumGlyphs_ = value; }
  // Makes the glyph of GlyphKind again.
  void RecreateGlyph();
  // The text, set the way the user's own change is (OnChange runs once).
  void ChangeText(const std::string& text);

  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  // Only while typing is allowed, and only the first line (see one_line_edit.h).
  void PasteText(const std::string& text) override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DoEnter() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void BiDiModeChanged() override;
  void Resize() override;

private:
  friend class TEditButton;
  void PlaceButton();
  void SetEditRect();
  int MinHeight() const;
  bool CanType() const { return directInput_ && !GetReadOnly(); }
  // The edit's window read-only state: no typing unless DirectInput and not ReadOnly.
  void ApplyInputState();
  void HidePopupCaret(bool hide);
  void CloseDropDown(bool accept, bool refocus);

  TEditButton* button_ = nullptr;
  TWinControl* buttonHost_ = nullptr;
  unsigned short clickKey_ = kComboClickKey;
  bool readOnly_ = false;
  bool directInput_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool popupVisible_ = false;
  bool focused_ = false;
  TPopupAlign popupAlign_ = epaRight;
  TGlyphKind glyphKind_ = gkCustom;
  TPopupWindow* popup_ = nullptr;
  int defNumGlyphs_ = 1;
  bool caretHidden_ = false;
  bool suppressChange_ = false;
  bool creating_ = true;
};

class TComboEdit : public TCustomComboEdit {
  HL_REFLECTABLE
public:
  explicit TComboEdit(TComponent* owner) : TCustomComboEdit(owner) {}
};
