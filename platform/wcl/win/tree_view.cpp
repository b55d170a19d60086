#include "platform/wcl/win/tree_view.h"

#include <algorithm>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/image_list.h"
#include "platform/wcl/win/messages.h"

// ---- TTreeNode ---------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

TTreeView* TTreeNode::TreeView() const { return owner_->Owner(); }

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
  return level;
}

int TTreeNode::Index() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TTreeNode::SetText(const std::string& value) {
  text_ = value;
  ShowState(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  ShowState(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  ShowState(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetExpanded(bool value) {
  expanded_ = value;
  if (item_ == nullptr || children_.empty()) return;
  if (value) ShowChildren();
  TTreeView* view = TreeView();
  ++view->pushing_;
  view->Send(TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
  --view->pushing_;
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse)
    for (auto& child : children_) child->Collapse(true);
  SetExpanded(false);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  if (value) TreeView()->SetSelected(this);
  else if (Selected()) TreeView()->SetSelected(nullptr);
}

// Inserts the node into the window under parentItem, with its children when it is open.
void TTreeNode::ShowNode(HTREEITEM parentItem) {
  TTreeView* view = TreeView();
  // The text goes in UTF-16, from the code page it is shown from.
  std::wstring text = ShownText(text_);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parentItem != nullptr ? parentItem : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = text.data();
  insert.item.iImage = imageIndex_;
  insert.item.iSelectedImage = selectedIndex_;
  insert.item.cChildren = children_.empty() ? 0 : 1;
  insert.item.lParam = reinterpret_cast<LPARAM>(this);
  childrenShown_ = false;
  item_ = reinterpret_cast<HTREEITEM>(view->Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (item_ == nullptr) return;
  if (expanded_) SetExpanded(true);
}

void TTreeNode::ShowChildren() {
  if (item_ == nullptr || childrenShown_) return;
  childrenShown_ = true;
  for (auto& child : children_) child->ShowNode(item_);
}

void TTreeNode::ShowInWindow() {
  if (item_ != nullptr || parent_ == nullptr) return;
  parent_->ShowInWindow();
  parent_->ShowChildren();
}

void TTreeNode::ShowHasChildren() {
  if (item_ == nullptr) return;
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_CHILDREN;
  item.hItem = item_;
  item.cChildren = children_.empty() ? 0 : 1;
  TreeView()->Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Only what changed goes to the window: a new text makes it measure the item again, which
// a new picture of each of a few hundred shown nodes need not.
void TTreeNode::ShowState(UINT mask) {
  if (item_ == nullptr) return;
  std::wstring text = (mask & TVIF_TEXT) != 0 ? ShownText(text_) : std::wstring();
  TVITEMW item{};
  item.mask = TVIF_HANDLE | mask;
  item.hItem = item_;
  item.pszText = (mask & TVIF_TEXT) != 0 ? text.data() : nullptr;
  item.iImage = imageIndex_;
  item.iSelectedImage = selectedIndex_;
  TreeView()->Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::Forget() {
  item_ = nullptr;
  childrenShown_ = false;
  for (auto& child : children_) child->Forget();
}

// ---- TTreeNodes --------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() = default;

std::vector<std::unique_ptr<TTreeNode>>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
  return parent != nullptr ? parent->children_ : roots_;
}

namespace {

// Every node in the order shown with all of them opened.
void Flatten(TTreeNode* node, std::vector<TTreeNode*>& out) {
  out.push_back(node);
  for (int i = 0; i < node->Count(); ++i) Flatten(node->Item(i), out);
}

}  // namespace

int TTreeNodes::Count() const {
  std::vector<TTreeNode*> all;
  for (const auto& root : roots_) Flatten(root.get(), all);
  return static_cast<int>(all.size());
}

TTreeNode* TTreeNodes::Item(int index) const {
  std::vector<TTreeNode*> all;
  for (const auto& root : roots_) Flatten(root.get(), all);
  if (index < 0 || index >= static_cast<int>(all.size())) return nullptr;
  return all[static_cast<size_t>(index)];
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddChild(sibling != nullptr ? sibling->Parent() : nullptr, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  auto node = std::make_unique<TTreeNode>(this, parent);
  node->text_ = text;
  TTreeNode* added = node.get();
  SiblingsOf(parent).push_back(std::move(node));
  if (!owner_->HandleAllocated()) return added;
  if (parent == nullptr) {
    added->ShowNode(nullptr);
  } else if (parent->childrenShown_) {
    added->ShowNode(parent->item_);
  } else if (parent->children_.size() == 1) {
    parent->ShowHasChildren();
  }
  return added;
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node == nullptr) return;
  owner_->NodeDeleting(node);
  if (node->item_ != nullptr) {
    ++owner_->pushing_;
    owner_->Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    --owner_->pushing_;
  }
  TTreeNode* parent = node->Parent();
  auto& siblings = SiblingsOf(parent);
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [node](const std::unique_ptr<TTreeNode>& n) { return n.get() == node; }),
                 siblings.end());
  if (parent != nullptr && parent->children_.empty()) parent->ShowHasChildren();
}

void TTreeNodes::Clear() {
  if (owner_->selected_ != nullptr) owner_->selected_ = nullptr;
  if (owner_->HandleAllocated()) {
    ++owner_->pushing_;
    owner_->Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    --owner_->pushing_;
  }
  roots_.clear();
}

void TTreeNodes::BeginUpdate() {
  if (updating_++ > 0 || !owner_->HandleAllocated()) return;
  hiddenWhileUpdating_ = (GetWindowLongPtrA(owner_->Handle(), GWL_STYLE) & WS_VISIBLE) == 0;
  owner_->Send(WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0 || !owner_->HandleAllocated()) return;
  const HWND window = owner_->Handle();
  owner_->Send(WM_SETREDRAW, TRUE, 0);
  // Turning drawing on marks a window visible without showing it.
  if (hiddenWhileUpdating_) SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~WS_VISIBLE);
  else owner_->Invalidate();
}

// ---- TTreeView ---------------------------------------------------------------------------

const ClassInfo* TTreeView::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTreeView>("TTreeView", TWinControl::StaticClassInfo())
                                  .Bool("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection)
                                  .Int("Indent", &TTreeView::Indent, &TTreeView::SetIndent)
                                  .Bool("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly)
                                  .Bool("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect)
                                  .Bool("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons)
                                  .Bool("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines)
                                  .Bool("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot)
                                  .Bool("ToolTips", &TTreeView::ToolTips, &TTreeView::SetToolTips)
                                  .Build();
  return &ci;
}

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TTreeView::~TTreeView() {
  OnChange = nullptr;
  selected_ = nullptr;
}

LRESULT TTreeView::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  return HandleAllocated() ? SendMessageA(Handle(), msg, wParam, lParam) : 0;
}

void TTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = WC_TREEVIEWA;
  if (showButtons_) params.Style |= TVS_HASBUTTONS;
  if (showLines_ && !rowSelect_) params.Style |= TVS_HASLINES;
  if (showRoot_) params.Style |= TVS_LINESATROOT;
  if (!readOnly_) params.Style |= TVS_EDITLABELS;
  if (!hideSelection_) params.Style |= TVS_SHOWSELALWAYS;
  if (rowSelect_) params.Style |= TVS_FULLROWSELECT;
  if (!toolTips_) params.Style |= TVS_NOTOOLTIPS;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  ShowImages();
  if (indent_ > 0) Send(TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  ++pushing_;
  for (int i = 0; i < items_->TopCount(); ++i) items_->TopItem(i)->ShowNode(nullptr);
  if (selected_ != nullptr) selected_->ShowInWindow();
  if (selected_ != nullptr && selected_->item_ != nullptr)
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
  --pushing_;
}

void TTreeView::SaveWindowState() {
  TWinControl::SaveWindowState();
  // The window's items go with it; what the nodes hold stays.
  for (int i = 0; i < items_->TopCount(); ++i) items_->TopItem(i)->Forget();
}

void TTreeView::ShowImages() {
  Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_ != nullptr ? images_->Handle() : nullptr));
}

void TTreeView::SetImages(TImageList* value) {
  images_ = value;
  ShowImages();
}

void TTreeView::SetIndent(int value) {
  indent_ = value;
  if (value > 0) Send(TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

namespace {

// Stores a window style flag and makes the window again when it exists.
void ChangeStyle(TTreeView* view, bool& field, bool value) {
  if (field == value) return;
  field = value;
  if (view->HandleAllocated()) view->RecreateWnd();
}

}  // namespace

void TTreeView::SetReadOnly(bool value) { ChangeStyle(this, readOnly_, value); }
void TTreeView::SetRowSelect(bool value) { ChangeStyle(this, rowSelect_, value); }
void TTreeView::SetToolTips(bool value) { ChangeStyle(this, toolTips_, value); }
void TTreeView::SetShowButtons(bool value) { ChangeStyle(this, showButtons_, value); }
void TTreeView::SetShowLines(bool value) { ChangeStyle(this, showLines_, value); }
void TTreeView::SetShowRoot(bool value) { ChangeStyle(this, showRoot_, value); }
void TTreeView::SetHideSelection(bool value) { ChangeStyle(this, hideSelection_, value); }

void TTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  selected_ = node;
  ++pushing_;
  if (node != nullptr && HandleAllocated()) node->ShowInWindow();
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node != nullptr ? node->item_ : nullptr));
  --pushing_;
  Change(node);
}

void TTreeView::NodeDeleting(TTreeNode* node) {
  for (TTreeNode* p = selected_; p != nullptr; p = p->Parent())
    if (p == node) {
      selected_ = nullptr;
      return;
    }
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  auto item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item == nullptr || (hit.flags & TVHT_ONITEM) == 0) return nullptr;
  TVITEMA tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_PARAM;
  tvi.hItem = item;
  if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi))) return nullptr;
  return NodeOf(tvi.lParam);
}

void TTreeView::FullExpand() {
  for (int i = 0; i < items_->TopCount(); ++i) items_->TopItem(i)->Expand(true);
}

void TTreeView::FullCollapse() {
  for (int i = 0; i < items_->TopCount(); ++i) items_->TopItem(i)->Collapse(true);
}

bool TTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding && !IsDestroying()) OnExpanding(this, node, allow);
  return allow;
}

bool TTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  if (OnCollapsing && !IsDestroying()) OnCollapsing(this, node, allow);
  return allow;
}

void TTreeView::Change(TTreeNode* node) {
  if (OnChange && !IsDestroying()) OnChange(this, node);
}

void TTreeView::WndProc(TMessage& msg) {
  if (msg.Msg == CN_NOTIFY) {
    HandleNotify(msg);
    return;
  }
  if (msg.Msg != WM_LBUTTONDOWN) {
    TWinControl::WndProc(msg);
    return;
  }
  const HWND window = HandleAllocated() ? Handle() : nullptr;
  TWinControl::WndProc(msg);
  // A click on a node: the system's tree waited for the release to see whether a drag
  // starts and took it from the queue. Report it as the release it was.
  if (window == nullptr || !HandleAllocated() || Handle() != window) return;
  if ((ControlState() & csLButtonDown) == 0 || (GetKeyState(VK_LBUTTON) & 0x8000) != 0) return;
  MSG pending{};
  if (PeekMessageA(&pending, window, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) return;
  TMessage release{WM_LBUTTONUP, 0, msg.LParam, 0};
  TControl::WndProc(release);
}

void TTreeView::HandleNotify(TMessage& msg) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(msg.LParam);
  // The notification's node parts are laid out alike in the A and W forms.
  const auto* tree = reinterpret_cast<const NMTREEVIEWA*>(msg.LParam);
  msg.Result = 0;
  switch (hdr->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      if (pushing_ > 0) return;
      TTreeNode* node = tree->itemNew.hItem != nullptr ? NodeOf(tree->itemNew.lParam) : nullptr;
      // Nothing while the window goes: its items are forgotten first.
      if (node == selected_ || (node != nullptr && node->item_ == nullptr)) return;
      selected_ = node;
      Change(node);
      return;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      if (pushing_ > 0 || tree->itemNew.hItem == nullptr) return;
      TTreeNode* node = NodeOf(tree->itemNew.lParam);
      bool allow = true;
      if (tree->action & TVE_EXPAND) allow = CanExpand(node);
      else if (tree->action & TVE_COLLAPSE) allow = CanCollapse(node);
      if (allow && (tree->action & TVE_EXPAND) != 0 && node->item_ != nullptr) node->ShowChildren();
      msg.Result = allow ? FALSE : TRUE;
      return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      if (tree->itemNew.hItem == nullptr) return;
      TTreeNode* node = NodeOf(tree->itemNew.lParam);
      if (node->item_ == nullptr) return;
      node->expanded_ = (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->item_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
      if (pushing_ > 0 || IsDestroying()) return;
      if (node->expanded_) {
        if (OnExpanded) OnExpanded(this, node);
      } else if (OnCollapsed) {
        OnCollapsed(this, node);
      }
      return;
    }
    default:
      return;
  }
}
