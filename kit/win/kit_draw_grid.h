#pragma once
// TKitDrawGrid: the kit's owner-drawn grid. Beside the base draw grid it has fixed cells
// that act as push buttons, an in-place editor that can carry an ellipsis button or a
// drop-down pick list (TKitInplaceEdit with TPopupListbox), events through which the owner
// decides per cell about editing, alignment, editor style, pick-list items and keys, and
// column widths kept in a form placement's store. DrawTextInRect draws a cell's text.

#include "platform/wcl/win/grid.h"

#include <functional>
#include <memory>
#include <string>

#include "kit/draw_grid_logic.h"
#include "kit/win/form_storage.h"
#include "platform/wcl/win/std_controls.h"

class TKitDrawGrid;
class TKitInplaceEdit;

enum TInplaceEditStyle { ieSimple, ieEllipsis, iePickList };

// The drop-down list of a pick-list editor: a top-level pop-up that never takes the focus;
// the editor keeps it and passes the keys on.
class TPopupListbox : public TCustomListBox {
public:
  explicit TPopupListbox(TKitInplaceEdit* editor);
  std::string ClassName() const override { return "TPopupListbox"; }

  // Adds a typed character to the search text and selects the first item it begins.
  void TypeAhead(char key);
  const TTypeAheadText& SearchText() const { return searchText_; }
  void ClearSearchText() { searchText_.Clear(); }
  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void SelectAt(int x, int y);

  TKitInplaceEdit* editor_;
  TTypeAheadText searchText_;
};

class TKitInplaceEdit : public TInplaceEdit {
public:
  explicit TKitInplaceEdit(TKitDrawGrid* grid);
  ~TKitInplaceEdit() override;
  std::string ClassName() const override { return "TKitInplaceEdit"; }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TInplaceEditStyle EditStyle() const { return editStyle_; }
  void SetEditStyle(TInplaceEditStyle value);
  int ButtonWidth() const { return buttonWidth_; }
  // Created on first need.
  TPopupListbox* PickList();
  // The pick list while the style is the pick list, else nullptr.
  TPopupListbox* ActiveList() const { return activeList_; }
  bool ListVisible() const { return listVisible_; }

  void DropDown();
  // Hides the list; with accept the selected item's text becomes the editor's text (a list
  // without a selected item leaves the text as it is).
  void CloseUp(bool accept);
  void UpdateContents() override;
  void WndProc(TMessage& msg) override;
  // A press on another control of the form closes the list.
  void CancelMode(TControl* sender) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void BoundsChanged() override;

private:
  TKitDrawGrid* KitGrid() const;
  bool HasButton() const { return editStyle_ != ieSimple; }
  RECT ButtonRect() const;
  bool OverButton(int x, int y) const;
  void PaintButton(HDC dc);
  void SetPressed(bool value);
  void StopTracking();
  bool HandleListKey(TMessage& msg);

  TAlignment alignment_ = taLeftJustify;
  int buttonWidth_;
  std::unique_ptr<TPopupListbox> pickList_;
  TPopupListbox* activeList_ = nullptr;
  TInplaceEditStyle editStyle_ = ieSimple;
  bool listVisible_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
};

using TAcceptKeyEvent = std::function<bool(TObject* Sender, char& Key)>;
using TCheckButtonEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Enabled)>;
using TFixedCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TEditLimitEvent = std::function<void(TObject* Sender, int& MaxLength)>;
using TEditShowEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& AllowEdit)>;
using TEditAlignEvent = std::function<void(TObject* Sender, int ACol, int ARow, TAlignment& Alignment)>;
using TEditStyleEvent = std::function<void(TObject* Sender, int ACol, int ARow, TInplaceEditStyle& Style)>;
using TPicklistEvent = std::function<void(TObject* Sender, int ACol, int ARow, TStrings* PickList)>;

class TKitDrawGrid : public TDrawGrid {
  HL_REFLECTABLE
public:
  explicit TKitDrawGrid(TComponent* owner);
  ~TKitDrawGrid() override;

  // The store whose save and restore also keep this grid's column widths.
  TFormPlacement* IniStorage() const { return iniLink_->Placement(); }
  void SetIniStorage(TFormPlacement* value) { iniLink_->SetPlacement(value); }
  bool FixedButtons() const { return fixedButtons_; }
  void SetFixedButtons(bool value);

  // Draws text in rect with the canvas font: vertically centred, one line; alignment 0
  // left, 1 right, 2 centre.
  void DrawTextInRect(const RECT& rect, const std::string& text, int alignment);

  TAcceptKeyEvent OnAcceptEditKey;
  TNotifyEvent OnCancelEdit;
  TCheckButtonEvent OnCheckButton;
  TNotifyEvent OnChangeFocus;
  TFixedCellClickEvent OnFixedCellClick;
  TNotifyEvent OnColumnSized;
  TNotifyEvent OnRowSized;
  TEditLimitEvent OnGetEditLimit;
  TNotifyEvent OnEditChange;
  TEditShowEvent OnShowEditor;
  TEditAlignEvent OnGetEditAlign;
  TEditStyleEvent OnGetEditStyle;
  TPicklistEvent OnGetPicklist;
  TNotifyEvent OnEditButtonClick;

  void WndProc(TMessage& msg) override;
  void CancelMode(TControl* sender) override;

protected:
  friend class TKitInplaceEdit;
  // Hooks for descendants; each fires its event.
  bool CanEditAcceptKey(char key) override;
  int GetEditLimit() override;
  virtual void EditChanged();
  virtual TAlignment GetEditAlignment(int col, int row);
  virtual TInplaceEditStyle GetEditStyle(int col, int row);
  virtual void GetPickList(int col, int row, TStrings* pickList);
  virtual void EditButtonClick();
  virtual void FixedCellClick(int col, int row);
  virtual void CheckButton(int col, int row, bool& enabled);

  bool CanEditShow() override;
  void EditorChanged() override;
  void SetEditText(int col, int row, const std::string& value) override;
  std::unique_ptr<TInplaceEdit> CreateEditor() override;
  void Paint() override;
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void TopLeftChanged() override;
  void ColWidthsChanged() override;
  void RowHeightsChanged() override;

private:
  bool IsFixedCell(TGridCoord cell) const;
  bool PointInside(int x, int y) const;
  void SaveWidths(TObject* sender);
  void LoadWidths(TObject* sender);
  void StopTracking();

  bool escaping_ = false;
  bool fixedButtons_ = false;
  bool swapped_ = false;  // a right press passed on as a left one
  TFixedButtonTracker tracker_;
  bool ownDefaultDrawing_ = true;
  std::unique_ptr<TIniLink> iniLink_;
};
