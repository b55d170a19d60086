#pragma once
// Text and list controls: the one-line edit, the memo, the combo box and the list box.
//
// Each keeps its state in members while it has no window and pushes it to the window when
// the window is made. What the user changes in a window (the text typed, the item chosen)
// is read from the window while it exists and kept when the window goes.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/string_list.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/form.h"

// Scroll bars of a memo (and of other scrolling controls).
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The character height of font as the screen shows it (0 when it cannot be measured).
int FontLineHeight(TFont* font);
// The width of a caption in font as the screen shows it, an "&" taken as the accelerator mark.
int CaptionWidth(TFont* font, const std::string& caption);

// An EDIT window. Text set from code, or typed by the user, runs OnChange; text set from
// code is not Modified, typed text is.

class TCustomEdit : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TCustomEdit(TComponent* owner);

  // Selects the whole text when the edit gets the focus from the keyboard.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // bsSingle (the default) draws a sunken border, bsNone none.
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  // The most characters the user can type; 0 for no limit. Text set from code may be
  // longer.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  // True once the user changed the text.
  bool Modified() const;
  void SetModified(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);

  // The selection, in characters from the start of the text. Setting SelStart empties the
  // selection; SelLength extends it from SelStart. Both are kept within the text.
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  void SelectAll();
  void Clear() { SetText(""); }

  void WndProc(TMessage& msg) override;

  TNotifyEvent OnChange;

protected:
  // The text changed (from code or the user): runs OnChange.
  virtual void Change();
  // Whether Tab is typed into the text. When it is not, Tab and Shift+Tab move the focus,
  // also out of a multi-line EDIT window, which would otherwise keep every key.
  virtual bool TypesTab() const { return false; }

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SaveWindowState() override;
  void TextChanged() override;
  void DoEnter() override;

private:
  void SetSelection(int start, int end);

  bool autoSelect_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  bool modified_ = false;
  bool readOnly_ = false;
  int selStart_ = 0;
  int selEnd_ = 0;
  bool creating_ = false;
  bool changeReported_ = false;
};

class TEdit : public TCustomEdit {
  HL_REFLECTABLE
public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TMemo;

// The lines of a memo: its text split at line breaks. Only the breaks in the text count,
// never where a long line wraps on the screen. Changing the lines sets the memo's text
// with every line ended by CR LF.
class TMemoLines : public TStrings {
public:
  explicit TMemoLines(TMemo* memo) : memo_(memo) {}

  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  int GetCount() const override;
  std::string GetTextStr() const override;
  void SetTextStr(const std::string& text) override;

private:
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);

  TMemo* memo_;
};

// A multi-line edit.
class TMemo : public TCustomEdit {
  HL_REFLECTABLE
public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  // Enter makes a new line (otherwise it reaches the form's default button).
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  // Tab types a tab (otherwise it moves the focus).
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  // Long lines wrap at the window's edge (no horizontal scrolling).
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;
  bool TypesTab() const override { return wantTabs_; }

private:
  std::unique_ptr<TMemoLines> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TCustomListControl;

// The items of a list box or combo box, kept by the control's object and shown by its
// window. A sorted list puts every new or changed line in its place (the user's locale,
// without regard to case), whatever index it is given.
class TListControlItems : public TStrings {
public:
  explicit TListControlItems(TCustomListControl* control) : control_(control) {}

  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  void SetUpdateState(bool updating) override;

private:
  friend class TCustomListControl;
  friend class TCustomListBox;
  struct Item {
    std::string text;
    TObject* object = nullptr;
    bool selected = false;  // multiple selection, while the window does not keep it
  };

  void CheckIndex(int index) const;
  // Where s goes in a sorted list: after the lines that sort before it or equal to it.
  int SortedIndex(const std::string& s) const;
  int InsertItem(int index, const std::string& s, TObject* object);
  void Sort();
  bool Updating() const { return UpdateCount() > 0; }

  TCustomListControl* control_;
  std::vector<Item> items_;
  bool sorted_ = false;
  bool changedInUpdate_ = false;
};

// What list boxes and combo boxes share: the items, the chosen item, and the window
// messages that show them.
class TCustomListControl : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TCustomListControl(TComponent* owner);
  ~TCustomListControl() override;

  TStrings* Items() const { return items_.get(); }
  // The chosen item, -1 for none. An index outside the items chooses none.
  int ItemIndex() const;
  void SetItemIndex(int value);
  // Keeps the items sorted; switching on sorts them at once.
  bool Sorted() const { return items_->sorted_; }
  void SetSorted(bool value);
  void Clear() { items_->Clear(); }

protected:
  // The window messages of the control's class (the chosen item's: the caret's for a list
  // box with multiple selection).
  struct TListMessages {
    UINT insertString;
    UINT deleteString;
    UINT resetContent;
    UINT getCurSel;
    UINT setCurSel;
  };
  virtual const TListMessages& Messages() const = 0;

  // True when the window shows the items and the choice as they are: there is a window and
  // no update of the items is under way. Otherwise the members hold them.
  bool Live() const;
  HWND Window() const { return const_cast<TCustomListControl*>(this)->Handle(); }
  int StoredItemIndex() const { return itemIndex_; }
  // The choice, read from the window into the members, and shown by the window.
  virtual void ReadSelection();
  virtual void WriteSelection();
  // ItemIndex was set while the window does not show it.
  virtual void ItemIndexStored() {}
  // Hands the items to the window, then the choice.
  virtual void PushItems();

  void CreateWnd() override;
  void SaveWindowState() override;

  TListControlItems* ItemList() const { return items_.get(); }

private:
  friend class TListControlItems;
  std::unique_ptr<TListControlItems> items_;
  int itemIndex_ = -1;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// A COMBOBOX window: an edit with a drop-down list (csDropDown), or a choice among the
// items only (csDropDownList, whose Text is the chosen item). Choosing an item or typing
// runs OnChange; choosing also runs OnClick. Setting ItemIndex or Text from code runs
// neither.
class TCustomComboBox : public TCustomListControl {
  HL_REFLECTABLE
public:
  explicit TCustomComboBox(TComponent* owner);

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  // The number of items the open list shows without scrolling.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& msg) override;

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  const TListMessages& Messages() const override;
  void CreateParams(TCreateParams& params) override;
  std::string GetText() const override;
  void TextChanged() override;
  void ItemIndexStored() override;
  void PushItems() override;
  void CreateWnd() override;

private:
  // The window's height with the list open.
  int DroppedHeight() const;
  // Puts text in the edit (not a change of the user's).
  void ShowEditText(const std::string& text);

  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool settingText_ = false;
};

class TComboBox : public TCustomComboBox {
  HL_REFLECTABLE
public:
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// A LISTBOX window. The user's choice runs OnClick, a double click OnDblClick. With
// MultiSelect the user can choose several items (Shift and Ctrl); ItemIndex is then the
// item with the focus rectangle.
class TCustomListBox : public TCustomListControl {
  HL_REFLECTABLE
public:
  explicit TCustomListBox(TComponent* owner);

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // Whether item index is chosen.
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  // The number of chosen items (with MultiSelect; 0 or 1 without).
  int SelCount() const;
  // Lets the window shorten itself to whole items.
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool value);
  // The height of an item: the window's, or the expected one before there is a window.
  int ItemHeight() const;

  void WndProc(TMessage& msg) override;

protected:
  const TListMessages& Messages() const override;
  void CreateParams(TCreateParams& params) override;
  void ReadSelection() override;
  void WriteSelection() override;

private:
  bool multiSelect_ = false;
  bool integralHeight_ = false;
};

class TListBox : public TCustomListBox {
  HL_REFLECTABLE
public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};
