#include "platform/wcl/win/menus.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/image_list.h"

namespace {

// Command numbers of menu items start above the small numbers dialogs use (IDOK...).
constexpr UINT kFirstCommand = 0x100;
constexpr UINT kLastCommand = 0xFFFF;

std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> commands;
  return commands;
}

UINT AllocateCommand(TMenuItem* item) {
  static UINT next = kFirstCommand;
  auto& commands = Commands();
  if (commands.size() > kLastCommand - kFirstCommand) throw EOutOfResources("Too many menu items");
  while (commands.count(next) != 0) next = next == kLastCommand ? kFirstCommand : next + 1;
  const UINT command = next;
  commands[command] = item;
  next = next == kLastCommand ? kFirstCommand : next + 1;
  return command;
}

TMenuItem* FindCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

const EnumInfo PopupAlignmentEnum{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};

}  // namespace

bool DispatchMenuCommand(UINT command) {
  TMenuItem* item = FindCommand(command);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

bool MeasureMenuItemImage(MEASUREITEMSTRUCT& item, LRESULT& result) {
  if (item.CtlType != ODT_MENU) return false;
  TMenuItem* menuItem = FindCommand(item.itemID);
  TMenu* menu = menuItem != nullptr ? menuItem->GetParentMenu() : nullptr;
  if (menu == nullptr || menu->Images() == nullptr) return false;
  item.itemWidth = static_cast<UINT>(menu->Images()->Width());
  item.itemHeight = static_cast<UINT>(menu->Images()->Height());
  result = TRUE;
  return true;
}

bool DrawMenuItemImage(const DRAWITEMSTRUCT& item, LRESULT& result) {
  if (item.CtlType != ODT_MENU) return false;
  TMenuItem* menuItem = FindCommand(item.itemID);
  TMenu* menu = menuItem != nullptr ? menuItem->GetParentMenu() : nullptr;
  if (menu == nullptr || menu->Images() == nullptr) return false;
  TImageList* images = menu->Images();
  const int index = menuItem->ImageIndex();
  if (index >= 0 && index < images->Count()) {
    const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - images->Height()) / 2;
    ImageList_Draw(images->Handle(), index, item.hDC, item.rcItem.left, top, ILD_TRANSPARENT);
  }
  result = TRUE;
  return true;
}

// ---------------------------------------------------------------------------------------
// TMenuItem

const ClassInfo* TMenuItem::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMenuItem>("TMenuItem", TComponent::StaticClassInfo())
                                  .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                  .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                                  .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
                                  .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
                                  .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
                                  .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
                                  .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
                                  .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
                                  .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
                                  .Build();
  return &ci;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
  Destroying();
  while (!items_.empty()) delete items_.back();
  if (parent_ != nullptr) parent_->Remove(this);
  Commands().erase(command_);
}

template <class T>
void TMenuItem::Update(T& field, const T& value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TMenuItem::Changed() {
  TMenu* menu = GetParentMenu();
  if (menu != nullptr && !(menu->ComponentState() & csDestroying)) menu->ItemsChanged();
}

void TMenuItem::SetCaption(const std::string& value) { Update(caption_, value); }

void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (value && radioItem_ && parent_ != nullptr)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) { Update(radioItem_, value); }

void TMenuItem::SetGroupIndex(int value) { Update(groupIndex_, value); }

void TMenuItem::SetDefault(bool value) {
  if (value == default_) return;
  // A menu level has one default item at most.
  if (value && parent_ != nullptr)
    for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
  default_ = value;
  Changed();
}

void TMenuItem::SetEnabled(bool value) { Update(enabled_, value); }

void TMenuItem::SetVisible(bool value) { Update(visible_, value); }

void TMenuItem::SetImageIndex(int value) { Update(imageIndex_, value); }

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Menu index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
    if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
  if (item->parent_ != nullptr) item->parent_->Remove(item);
  if (index < 0 || index > Count()) throw EListError("Menu index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  return root->menu_;
}

HMENU TMenuItem::Handle() {
  if (menu_ != nullptr) return menu_->Handle();
  if (TMenu* menu = GetParentMenu()) menu->Handle();
  return submenu_;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick && !(ComponentState() & csDestroying)) OnClick(this);
}

// Adds the shown subitems to menu, each with its own submenu when it has subitems.
void TMenuItem::AppendTo(HMENU menu, TMenu* owner) {
  for (TMenuItem* item : items_) {
    item->submenu_ = nullptr;
    if (!item->visible_) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE;
    info.wID = item->command_;
    UniqueMenu submenu;
    // In UTF-16, from the code page the caption is shown from.
    std::wstring text = ShownText(item->caption_);
    if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING | MIIM_STATE;
      info.fType = item->radioItem_ ? MFT_RADIOCHECK : MFT_STRING;
      info.fState = (item->checked_ ? MFS_CHECKED : 0) | (item->enabled_ ? 0 : MFS_DISABLED) |
                    (item->default_ ? MFS_DEFAULT : 0);
      info.dwTypeData = text.data();
      info.cch = static_cast<UINT>(text.size());
      if (!item->items_.empty()) {
        submenu.reset(CreatePopupMenu());
        if (!submenu) throw EOutOfResources("Cannot make a menu");
        item->AppendTo(submenu.get(), owner);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = submenu.get();
      }
      if (owner->Images() != nullptr && item->imageIndex_ >= 0) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
      }
    }
    if (!InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info))
      throw EOutOfResources("Cannot add a menu item");
    // The submenu now belongs to menu.
    item->submenu_ = submenu.release();
  }
}

// ---------------------------------------------------------------------------------------
// TMenu

const ClassInfo* TMenu::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMenu>("TMenu", TComponent::StaticClassInfo()).Build();
  return &ci;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  Destroying();
  // The items go before the menu handle they were shown in.
  items_.reset();
}

void TMenu::SetImages(TImageList* images) {
  if (images == images_) return;
  images_ = images;
  ItemsChanged();
}

HMENU TMenu::Handle() {
  if (!handle_ || stale_) Rebuild();
  return handle_.get();
}

TMenuItem* TMenu::FindItem(UINT command) const {
  TMenuItem* item = FindCommand(command);
  return item != nullptr && item->GetParentMenu() == this ? item : nullptr;
}

void TMenu::ItemsChanged() { stale_ = true; }

// Makes the HMENU afresh from the items. The old one lives until whoever shows it has the
// new one.
void TMenu::Rebuild() {
  UniqueMenu fresh(CreateMenuHandle());
  if (!fresh) throw EOutOfResources("Cannot make a menu");
  items_->AppendTo(fresh.get(), this);
  items_->submenu_ = fresh.get();
  std::swap(handle_, fresh);
  stale_ = false;
  HandleChanged();
}

// ---------------------------------------------------------------------------------------
// TMainMenu

const ClassInfo* TMainMenu::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMainMenu>("TMainMenu", TMenu::StaticClassInfo()).Build();
  return &ci;
}

TMainMenu::~TMainMenu() {
  // The form lets go of the menu bar before its handle is destroyed.
  if (form_ != nullptr) form_->SetMenu(nullptr);
}

void TMainMenu::ItemsChanged() {
  TMenu::ItemsChanged();
  // A menu bar on show is made again at once.
  if (form_ != nullptr && form_->HandleAllocated()) Handle();
}

void TMainMenu::HandleChanged() {
  if (form_ != nullptr) form_->MenuChanged();
}

// ---------------------------------------------------------------------------------------
// TPopupMenu

const ClassInfo* TPopupMenu::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TPopupMenu>("TPopupMenu", TMenu::StaticClassInfo())
          .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, &PopupAlignmentEnum)
          .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
          .Build();
  return &ci;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  if (popupComponent_ != nullptr) RemoveFreeNotification(popupComponent_);
  popupComponent_ = component;
  if (component != nullptr) component->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupComponent_) popupComponent_ = nullptr;
}

HWND TPopupMenu::WindowHandle() {
  if (!window_) {
    window_ = std::make_unique<TUtilityWindow>(
        [](TMessage& msg) {
          switch (msg.Msg) {
            case WM_COMMAND:
              if (msg.LParam != 0 || HIWORD(msg.WParam) != 0) return false;
              msg.Result = 0;
              return DispatchMenuCommand(LOWORD(msg.WParam));
            case WM_MEASUREITEM:
              return MeasureMenuItemImage(*reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam), msg.Result);
            case WM_DRAWITEM:
              return DrawMenuItemImage(*reinterpret_cast<DRAWITEMSTRUCT*>(msg.LParam), msg.Result);
            default:
              return false;
          }
        },
        this);
  }
  return window_->Handle();
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU menu = Handle();
  UINT flags = TPM_RIGHTBUTTON;
  flags |= alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  TrackPopupMenu(menu, flags, x, y, 0, WindowHandle(), nullptr);
}
