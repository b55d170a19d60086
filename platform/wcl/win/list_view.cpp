#include "platform/wcl/win/list_view.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/messages.h"

namespace {

const EnumInfo ViewStyleEnum{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};

UINT CheckStateImage(bool checked) { return INDEXTOSTATEIMAGEMASK(checked ? 2 : 1); }

}  // namespace

// ---------------------------------------------------------------------------------------
// TListColumn, TListColumns

const ClassInfo* TListColumn::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TListColumn>("TListColumn", TCollectionItem::StaticClassInfo())
          .Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, &AlignmentEnum)
          .Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
          .Int("Width", &TListColumn::Width, &TListColumn::SetWidth, 0, 100000)
          .Build();
  return &ci;
}

TListView* TListColumn::ListView() const {
  return Collection() != nullptr ? dynamic_cast<TListView*>(Collection()->GetOwner()) : nullptr;
}

void TListColumn::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Changed(false);
}

int TListColumn::Width() const { return width_; }

void TListColumn::SetWidth(int value) {
  value = std::max(value, 0);
  if (value == width_) return;
  width_ = value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Changed(false);
}

void TListColumn::Assign(TPersistent* source) {
  if (auto* column = dynamic_cast<TListColumn*>(source)) {
    caption_ = column->caption_;
    width_ = column->width_;
    alignment_ = column->alignment_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

const ClassInfo* TListColumns::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TListColumns>("TListColumns", TCollection::StaticClassInfo()).Build();
  return &ci;
}

TListColumns::TListColumns(TListView* listView) : TCollection(ItemClass<TListColumn>(), listView), listView_(listView) {}

void TListColumns::Update(TCollectionItem*) { listView_->ShowColumns(); }

// ---------------------------------------------------------------------------------------
// TListItem

// Items have no published properties: the walks by name reach their captions through the
// item list.
const ClassInfo* TListItem::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TListItem>("TListItem", nullptr).Build();
  return &ci;
}

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { SubItemsChanged(); };
}

TListItem::~TListItem() { subItems_->OnChange = nullptr; }

TListView* TListItem::ListView() const { return owner_->Owner(); }

int TListItem::Index() const { return owner_->IndexOf(this); }

TPersistent* TListItem::GetOwner() const { return owner_; }

void TListItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  ListView()->ShowItem(this, LVIF_TEXT);
  ListView()->ItemChanged(this, ctText);
}

void TListItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  ListView()->ShowItem(this, LVIF_IMAGE);
  ListView()->ItemChanged(this, ctImage);
}

void TListItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  ListView()->ShowItemState(this);
  ListView()->ItemChanged(this, ctState);
}

void TListItem::SetSelected(bool value) { ListView()->SelectItem(this, value); }

void TListItem::SubItemsChanged() {
  ListView()->ShowSubItems(this);
  ListView()->ItemChanged(this, ctText);
}

// ---------------------------------------------------------------------------------------
// TListItems

const ClassInfo* TListItems::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TListItems>("TListItems", nullptr).Build();
  return &ci;
}

TListItems::TListItems(TListView* listView) : listView_(listView) {}

TListItems::~TListItems() = default;

TPersistent* TListItems::GetOwner() const { return listView_; }

void TListItems::CheckIndex(int index, int last) const {
  if (index < 0 || index > last) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TListItem* TListItems::Items(int index) const {
  CheckIndex(index, Count() - 1);
  return items_[static_cast<size_t>(index)].get();
}

TListItem* TListItems::Insert(int index) {
  CheckIndex(index, Count());
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
  items_[static_cast<size_t>(index)]->indexHint_ = index;
  listView_->ShowInsertedItem(index);
  return items_[static_cast<size_t>(index)].get();
}

void TListItems::Delete(int index) {
  CheckIndex(index, Count() - 1);
  if (listView_->OnDemand()) {
    // A window that asks for its items is told after the item has gone.
    items_.erase(items_.begin() + index);
    listView_->ShowDeletedItem(index);
    return;
  }
  listView_->ShowDeletedItem(index);
  items_.erase(items_.begin() + index);
}

void TListItems::BeginUpdate() {
  if (updating_++ == 0) listView_->BeginDrawingOff();
}

void TListItems::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  if (listView_->OnDemand()) {
    listView_->ShowItemCount();
    listView_->ShowSelection();
  }
  listView_->EndDrawingOff();
}

void TListItems::Clear() {
  listView_->ShowNoItems();
  items_.clear();
}

int TListItems::IndexOf(const TListItem* item) const {
  // An item is mostly changed where it was last found (a list is filled item by item), so
  // the place it stood is tried before the search.
  if (item == nullptr) return -1;
  const int hint = item->indexHint_;
  if (hint >= 0 && hint < Count() && items_[static_cast<size_t>(hint)].get() == item) return hint;
  auto it = std::find_if(items_.begin(), items_.end(), [item](const auto& p) { return p.get() == item; });
  if (it == items_.end()) return -1;
  item->indexHint_ = static_cast<int>(it - items_.begin());
  return item->indexHint_;
}

TPersistent* TListItems::ListedItem(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

// ---------------------------------------------------------------------------------------
// TListView

const ClassInfo* TListView::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TListView>("TListView", TWinControl::StaticClassInfo())
                                  .Bool("Checkboxes", &TListView::Checkboxes, &TListView::SetCheckboxes)
                                  .Bool("ColumnClick", &TListView::ColumnClick, &TListView::SetColumnClick)
                                  .Obj("Columns", &TListView::Columns, TListColumns::StaticClassInfo())
                                  .Obj("Items", &TListView::Items, TListItems::StaticClassInfo())
                                  .Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly)
                                  .Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect)
                                  .Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle, &ViewStyleEnum)
                                  .Build();
  return &ci;
}

TListView::TListView(TComponent* owner)
    : TWinControl(owner), columns_(std::make_unique<TListColumns>(this)), items_(std::make_unique<TListItems>(this)) {
  // The window reports its own clicks (NM_CLICK, NM_DBLCLK).
  SetControlStyle(0);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() = default;

LRESULT TListView::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  ++pushing_;
  const LRESULT result = SendMessageA(Handle(), msg, wParam, lParam);
  --pushing_;
  return result;
}

void TListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  viewStyle_ = value;
  RecreateWnd();
}

void TListView::SetCheckboxes(bool value) {
  if (value == checkboxes_) return;
  checkboxes_ = value;
  if (!HandleAllocated()) return;
  if (itemsOnDemand_) {
    // The window holds the items' check boxes: it is made again with copies of the items.
    RecreateWnd();
    return;
  }
  ShowExtendedStyle();
  for (int i = 0; i < items_->Count(); ++i) ShowItemState(items_->Items(i));
}

void TListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  RecreateWnd();
}

void TListView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  RecreateWnd();
}

void TListView::SetRowSelect(bool value) {
  if (value == rowSelect_) return;
  rowSelect_ = value;
  ShowExtendedStyle();
}

void TListView::SetItemsOnDemand(bool value) {
  if (value == itemsOnDemand_) return;
  itemsOnDemand_ = value;
  if (!checkboxes_) RecreateWnd();
}

void TListView::SetSmallImages(TImageList* value) {
  smallImages_ = value;
  ShowImages();
}

void TListView::SetLargeImages(TImageList* value) {
  largeImages_ = value;
  ShowImages();
}

TListItem* TListView::Selected() const {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i)->selected_) return items_->Items(i);
  return nullptr;
}

void TListView::SetSelected(TListItem* item) {
  if (item != nullptr) SelectItem(item, true);
  else if (TListItem* selected = Selected()) SelectItem(selected, false);
}

int TListView::ItemIndex() const {
  TListItem* selected = Selected();
  return selected != nullptr ? selected->Index() : -1;
}

void TListView::SetItemIndex(int value) {
  SetSelected(value >= 0 && value < items_->Count() ? items_->Items(value) : nullptr);
}

void TListView::ItemChanged(TListItem* item, TItemChange change) {
  if (OnChange && !IsDestroying()) OnChange(this, item, change);
}

void TListView::SelectItem(TListItem* item, bool value) {
  if (value)
    for (int i = 0; i < items_->Count(); ++i)
      if (TListItem* other = items_->Items(i); other != item && other->selected_) SelectItem(other, false);
  if (item->selected_ == value) return;
  item->selected_ = value;
  ShowItemState(item);
  ItemChanged(item, ctState);
  if (OnSelectItem && !IsDestroying()) OnSelectItem(this, item, value);
}

void TListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = WC_LISTVIEWA;
  static const DWORD viewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  // The image lists belong to the program: the window must not destroy them.
  params.Style |= viewStyles[viewStyle_] | LVS_SHAREIMAGELISTS | LVS_SINGLESEL;
  if (!readOnly_) params.Style |= LVS_EDITLABELS;
  if (!columnClick_) params.Style |= LVS_NOSORTHEADER;
  if (OnDemand()) params.Style |= LVS_OWNERDATA;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd() {
  TWinControl::CreateWnd();
  ShowExtendedStyle();
  ShowImages();
  shownColumns_ = 0;
  ShowColumns();
  drawingOff_ = false;
  if (OnDemand()) {
    ShowItemCount();
    ShowSelection();
    return;
  }
  for (int i = 0; i < items_->Count(); ++i) ShowInsertedItem(i);
}

void TListView::SaveWindowState() {
  TWinControl::SaveWindowState();
  if (!HandleAllocated()) return;
  for (int i = 0; i < std::min(shownColumns_, columns_->Count()); ++i)
    columns_->Items(i)->width_ = static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}

void TListView::ShowExtendedStyle() {
  if (!HandleAllocated()) return;
  const DWORD style = (checkboxes_ ? LVS_EX_CHECKBOXES : 0) | (rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, style);
}

void TListView::ShowImages() {
  if (!HandleAllocated()) return;
  Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle() : nullptr));
  Send(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle() : nullptr));
}

void TListView::ShowColumns() {
  if (!HandleAllocated()) return;
  for (; shownColumns_ > 0; --shownColumns_) Send(LVM_DELETECOLUMN, 0, 0);
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* column = columns_->Items(i);
    // Texts go in UTF-16, each from the code page it is shown from.
    std::wstring caption = ShownText(column->caption_);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = column->alignment_ == taRightJustify ? LVCFMT_RIGHT : column->alignment_ == taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
    lvc.cx = column->width_;
    lvc.pszText = caption.data();
    lvc.iSubItem = i;
    Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&lvc));
    ++shownColumns_;
  }
}

void TListView::BeginDrawingOff() {
  drawingOff_ = HandleAllocated() && (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
  if (drawingOff_) Send(WM_SETREDRAW, FALSE, 0);
}

void TListView::EndDrawingOff() {
  if (!drawingOff_ || !HandleAllocated()) return;
  drawingOff_ = false;
  Send(WM_SETREDRAW, TRUE, 0);
  Invalidate();
}

void TListView::ShowItemCount() {
  if (HandleAllocated()) Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->Count()), LVSICF_NOSCROLL);
}

// A window that asks for its items keeps only their selection, by place: after items were
// put in or taken out before the selected one, it is told again where the selection is.
void TListView::ShowSelection() {
  if (!HandleAllocated()) return;
  LVITEMA none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  if (TListItem* selected = Selected()) ShowItemState(selected);
}

void TListView::ShowInsertedItem(int index) {
  if (!HandleAllocated()) return;
  if (OnDemand()) {
    if (items_->Updating()) return;
    ShowItemCount();
    // An item added at the end moves no other.
    if (index + 1 < items_->Count()) ShowSelection();
    return;
  }
  TListItem* item = items_->Items(index);
  std::wstring caption = ShownText(item->caption_);
  LVITEMW lvi{};
  lvi.mask = LVIF_TEXT | LVIF_IMAGE;
  lvi.iItem = index;
  lvi.pszText = caption.data();
  lvi.iImage = item->imageIndex_;
  Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi));
  ShowItemState(item);
  item->shownSubItems_ = 0;
  ShowSubItems(item);
}

void TListView::ShowItem(TListItem* item, UINT mask) {
  if (!HandleAllocated()) return;
  if (OnDemand()) {
    // The window asks for the new text or image when it draws the item again.
    if (!items_->Updating()) {
      const int index = item->Index();
      Send(LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
    }
    return;
  }
  std::wstring caption = ShownText(item->caption_);
  LVITEMW lvi{};
  lvi.mask = mask;
  lvi.iItem = item->Index();
  lvi.pszText = caption.data();
  lvi.iImage = item->imageIndex_;
  Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lvi));
}

void TListView::ShowItemState(TListItem* item) {
  if (!HandleAllocated()) return;
  LVITEMA lvi{};
  lvi.stateMask = LVIS_SELECTED | (item->selected_ ? LVIS_FOCUSED : 0);
  lvi.state = item->selected_ ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  if (checkboxes_) {
    lvi.stateMask |= LVIS_STATEIMAGEMASK;
    lvi.state |= CheckStateImage(item->checked_);
  }
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item->Index()), reinterpret_cast<LPARAM>(&lvi));
}

// The window is given every sub-item text, and an empty text for those it had before.
void TListView::ShowSubItems(TListItem* item) {
  if (!HandleAllocated()) return;
  if (OnDemand()) {
    ShowItem(item, LVIF_TEXT);
    return;
  }
  const int count = item->subItems_->Count();
  const int index = item->Index();
  for (int i = 0; i < std::max(count, item->shownSubItems_); ++i) {
    const std::string text = i < count ? item->subItems_->Strings(i) : std::string();
    std::wstring shown = ShownText(text);
    LVITEMW lvi{};
    lvi.iSubItem = i + 1;
    lvi.pszText = shown.data();
    Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvi));
  }
  item->shownSubItems_ = count;
}

void TListView::ShowDeletedItem(int index) {
  if (!HandleAllocated()) return;
  if (!OnDemand()) {
    Send(LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  } else if (!items_->Updating()) {
    ShowItemCount();
    ShowSelection();
    Invalidate();
  }
}

void TListView::ShowNoItems() {
  if (HandleAllocated()) Send(LVM_DELETEALLITEMS, 0, 0);
}

void TListView::WndProc(TMessage& msg) {
  if (msg.Msg == CN_NOTIFY) {
    HandleNotify(msg);
    return;
  }
  if (msg.Msg == WM_NOTIFY && pushing_ == 0) {
    // The header tells of a column the user dragged wider or narrower.
    const auto* header = reinterpret_cast<const NMHEADERA*>(msg.LParam);
    if ((header->hdr.code == HDN_ITEMCHANGEDA || header->hdr.code == HDN_ITEMCHANGEDW) && header->pitem != nullptr &&
        (header->pitem->mask & HDI_WIDTH) && header->iItem >= 0 && header->iItem < std::min(shownColumns_, columns_->Count()))
      columns_->Items(header->iItem)->width_ = header->pitem->cxy;
  }
  TWinControl::WndProc(msg);
}

// What the window tells of the user's doings: the selection and check boxes changed, a
// caption edited in place, clicks.
void TListView::HandleNotify(TMessage& msg) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(msg.LParam);
  msg.Result = 0;
  switch (hdr->code) {
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(msg.LParam);
      if (pushing_ > 0 || !(change->uChanged & LVIF_STATE)) return;
      const UINT changed = change->uOldState ^ change->uNewState;
      const int first = change->iItem < 0 ? 0 : change->iItem;
      const int last = change->iItem < 0 ? items_->Count() - 1 : std::min(change->iItem, items_->Count() - 1);
      for (int i = first; i <= last; ++i) {
        TListItem* item = items_->Items(i);
        if (checkboxes_ && (changed & LVIS_STATEIMAGEMASK)) {
          const bool checked = (change->uNewState & LVIS_STATEIMAGEMASK) == CheckStateImage(true);
          if (checked != item->checked_) {
            item->checked_ = checked;
            ItemChanged(item, ctState);
          }
        }
        if (changed & LVIS_SELECTED) {
          const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
          if (selected != item->selected_) {
            item->selected_ = selected;
            ItemChanged(item, ctState);
            if (OnSelectItem && !IsDestroying()) OnSelectItem(this, item, selected);
          }
        }
      }
      return;
    }
    case LVN_ENDLABELEDITA: {
      const auto* edit = reinterpret_cast<const NMLVDISPINFOA*>(msg.LParam);
      if (edit->item.pszText == nullptr || edit->item.iItem < 0 || edit->item.iItem >= items_->Count()) return;
      TListItem* item = items_->Items(edit->item.iItem);
      item->caption_ = edit->item.pszText;
      ItemChanged(item, ctText);
      msg.Result = TRUE;
      return;
    }
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
      GiveItem(msg);
      return;
    case NM_CLICK:
      Click();
      return;
    case NM_DBLCLK:
      DblClick();
      return;
    default:
      return;
  }
}

void TListView::GiveItem(TMessage& msg) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(msg.LParam);
  // The item parts are laid out alike in the A and W forms; the text is not.
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(msg.LParam);
  LVITEMA& asked = info->item;
  if (asked.iItem < 0 || asked.iItem >= items_->Count()) return;
  const TListItem* item = items_->Items(asked.iItem);
  if (asked.mask & LVIF_IMAGE) asked.iImage = asked.iSubItem == 0 ? item->imageIndex_ : -1;
  if ((asked.mask & LVIF_TEXT) == 0 || asked.pszText == nullptr || asked.cchTextMax <= 0) return;
  const int sub = asked.iSubItem;
  const std::string empty;
  const std::string& text = sub == 0                               ? item->caption_
                            : sub <= item->subItems_->Count() ? item->subItems_->Strings(sub - 1)
                                                                   : empty;
  const auto room = static_cast<size_t>(asked.cchTextMax - 1);
  if (hdr->code == LVN_GETDISPINFOW) {
    // Shown from its own code page, as the items the window holds.
    const std::wstring shown = ShownText(text);
    const size_t n = std::min(shown.size(), room);
    auto* target = reinterpret_cast<wchar_t*>(asked.pszText);
    std::copy_n(shown.data(), n, target);
    target[n] = L'\0';
  } else {
    const size_t n = std::min(text.size(), room);
    std::copy_n(text.data(), n, asked.pszText);
    asked.pszText[n] = '\0';
  }
}

void TListView::ChangeScale(int m, int d) {
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* column = columns_->Items(i);
    column->SetWidth(MulDiv(column->Width(), m, d));
  }
  TWinControl::ChangeScale(m, d);
}
