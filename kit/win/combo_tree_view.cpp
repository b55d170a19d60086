#include "kit/win/combo_tree_view.h"

#include "kit/win/combo_edit.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"

namespace {

// The tree's handler on its combo edit; recognisable, so the tree takes off only its own.
struct ButtonClickBinding {
  TQComboTreeView* Tree;
  void operator()(TObject* sender) const { Tree->ButtonClick(sender); }
};

bool BoundTo(const TComboEdit* edit, const TQComboTreeView* tree) {
  const ButtonClickBinding* binding = edit->OnButtonClick.target<ButtonClickBinding>();
  return binding != nullptr && binding->Tree == tree;
}

}  // namespace

const ClassInfo* TQComboTreeView::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TQComboTreeView>("TQComboTreeView", TTreeView::StaticClassInfo())
                                  .Ref("ComboEdit", &TQComboTreeView::ComboEdit, &TQComboTreeView::SetComboEdit,
                                       TComboEdit::StaticClassInfo())
                                  .Build();
  return &ci;
}

TQComboTreeView::TQComboTreeView(TComponent* owner) : TTreeView(owner) { SetVisible(false); }

TQComboTreeView::~TQComboTreeView() {
  OnPopup = nullptr;
  AfterSelect = nullptr;
  Unbind();
}

void TQComboTreeView::Unbind() {
  if (comboEdit_ == nullptr) return;
  if (BoundTo(comboEdit_, this)) comboEdit_->OnButtonClick = nullptr;
  comboEdit_->RemoveFreeNotification(this);
  comboEdit_ = nullptr;
}

void TQComboTreeView::SetComboEdit(TComboEdit* value) {
  if (value == comboEdit_) return;
  Unbind();
  comboEdit_ = value;
  if (comboEdit_ == nullptr) return;
  comboEdit_->FreeNotification(this);
  comboEdit_->OnButtonClick = ButtonClickBinding{this};
}

void TQComboTreeView::Notification(TComponent* component, TOperation operation) {
  TTreeView::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == comboEdit_) comboEdit_ = nullptr;
}

void TQComboTreeView::SetPosition(int x, int y) {
  SetLeft(x);
  SetTop(y);
}

void TQComboTreeView::ButtonClick(TObject*) {
  if (!Visible()) {
    // The handler fills the tree and selects a node without change notifications.
    TScopedState quiet(OnChange, nullptr);
    if (OnPopup) OnPopup(this);
  }
  ToggleDrop();
}

void TQComboTreeView::ToggleDrop() {
  SetVisible(!Visible());
  if (Visible()) {
    if (CanFocus()) SetFocus();
  } else if (AfterSelect) {
    AfterSelect(nullptr);
  }
}

void TQComboTreeView::HiddenNow() {
  if (!Visible() && AfterSelect && !IsDestroying()) AfterSelect(nullptr);
}

bool TQComboTreeView::CanExpand(TTreeNode* node) {
  choice_.ExpandAsked();
  return TTreeView::CanExpand(node);
}

bool TQComboTreeView::CanCollapse(TTreeNode* node) {
  choice_.ExpandAsked();
  return TTreeView::CanCollapse(node);
}

void TQComboTreeView::Choose() {
  if (comboEdit_ != nullptr && Selected() != nullptr) comboEdit_->SetText(Selected()->Text());
  SetVisible(false);
  if (comboEdit_ != nullptr && comboEdit_->CanFocus()) comboEdit_->SetFocus();
}

void TQComboTreeView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TTreeView::MouseUp(button, shift, x, y);
  if (choice_.Release()) Choose();
  HiddenNow();
}

void TQComboTreeView::KeyPress(char& key) {
  if (key != '\r') {
    TTreeView::KeyPress(key);
    return;
  }
  // Enter chooses the selected node as a left release at (0, 0) does (OnMouseUp included);
  // the tree never sees the key.
  choice_.EnterPressed();
  MouseUp(mbLeft, 0, 0, 0);
  key = 0;
}

void TQComboTreeView::DoExit() {
  TTreeView::DoExit();
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  const bool onComboEdit = form != nullptr && comboEdit_ != nullptr &&
                           form->ActiveControl() == static_cast<TWinControl*>(comboEdit_);
  if (TComboTreeChoice::HideOnExit(form != nullptr, onComboEdit)) SetVisible(false);
  HiddenNow();
}

void TQComboTreeView::WndProc(TMessage& msg) {
  // Enter must reach the tree rather than the form's default button; Tab still moves the
  // focus on (which hides the tree).
  if (msg.Msg == WM_GETDLGCODE) {
    TTreeView::WndProc(msg);
    if (msg.WParam != VK_TAB) msg.Result |= DLGC_WANTALLKEYS;
    return;
  }
  TTreeView::WndProc(msg);
}
