#pragma once
// What the tree drop-down does with a mouse release, Enter and the focus leaving, free of
// windows. A node opened or closed (by mouse or key) marks the next release as part of that
// opening or closing: it chooses nothing. The control is kit/win/combo_tree_view.h.

class TComboTreeChoice {
public:
  // The tree asked whether a node may open or close.
  void ExpandAsked() { expandPending_ = true; }
  bool ExpandPending() const { return expandPending_; }
  // A release on the tree: true when it chooses the selected node; false when it only
  // ends an opening or closing (the mark is cleared).
  bool Release() {
    const bool choose = !expandPending_;
    expandPending_ = false;
    return choose;
  }
  // Enter always chooses: the mark goes.
  void EnterPressed() { expandPending_ = false; }
  // The focus left the tree: it hides unless the focus went to its combo edit on the form
  // that owns it.
  static bool HideOnExit(bool ownerIsForm, bool focusOnComboEdit) { return !ownerIsForm || !focusOnComboEdit; }

private:
  bool expandPending_ = false;
};
