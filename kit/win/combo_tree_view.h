#pragma once
// TQComboTreeView: a tree view that serves as the drop-down list of a TComboEdit. The combo
// edit's button shows or hides the tree; choosing a node (a click on it, or Enter) copies
// its text into the combo edit and hides the tree; the focus moving anywhere but to the
// combo edit hides it too. The tree is an ordinary child of its form, placed where the form
// puts it, and hidden until the button is pressed.
//
// The tree holds its combo edit weakly: when the edit goes first, the tree forgets it, and
// the tree takes its handler off the edit when it goes or changes edits.

#include "platform/wcl/win/tree_view.h"

#include "kit/combo_tree_logic.h"

class TComboEdit;

class TQComboTreeView : public TTreeView {
  HL_REFLECTABLE
public:
  explicit TQComboTreeView(TComponent* owner);
  ~TQComboTreeView() override;

  // The combo edit whose button drives the tree (not owned); its OnButtonClick becomes the
  // tree's ButtonClick. nullptr detaches the tree from the edit it had.
  TComboEdit* ComboEdit() const { return comboEdit_; }
  void SetComboEdit(TComboEdit* value);

  // Places the tree before it drops down.
  void SetPosition(int x, int y);
  // The combo edit's button: fills the tree through OnPopup (without OnChange) when it is
  // hidden, then shows or hides it.
  void ButtonClick(TObject* sender);
  // Shows a hidden tree (with the focus) or hides a shown one (AfterSelect follows).
  void ToggleDrop();

  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& msg) override;

  // Before the tree shows; sender the tree.
  TNotifyEvent OnPopup;
  // After the tree has been hidden; the sender is always nullptr.
  TNotifyEvent AfterSelect;

protected:
  bool CanExpand(TTreeNode* node) override;
  bool CanCollapse(TTreeNode* node) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyPress(char& key) override;
  void DoExit() override;

private:
  // Takes the selected node into the combo edit, hides the tree and focuses the edit.
  void Choose();
  void HiddenNow();
  void Unbind();

  TComboEdit* comboEdit_ = nullptr;
  TComboTreeChoice choice_;
};
