#pragma once
// Menus: a tree of TMenuItem under the root item of a TMainMenu (a form's menu bar) or a
// TPopupMenu. The items hold all the state; the menu makes its HMENU from them when first
// asked and again after every change. Each item has a command number of its own, so a
// WM_COMMAND from any menu finds its item.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/wcl/win/control.h"

class TMenu;
class TImageList;

class TMenuItem : public TComponent {
  HL_REFLECTABLE
public:
  explicit TMenuItem(TComponent* owner);
  // Deletes the item's subitems and takes it out of its parent.
  ~TMenuItem() override;

  // "&" marks the access key; "-" makes the item a separator line.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool IsLine() const { return caption_ == "-"; }
  // Checking a radio item unchecks the radio items of its group (same parent, same
  // GroupIndex).
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // The default item shows in bold (a tray icon's double click runs it).
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // The picture from the menu's Images; -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  void Add(TMenuItem* item);
  // Inserts item before index (0..Count); it leaves any previous parent.
  void Insert(int index, TMenuItem* item);
  // Takes the subitem at index (or item) out of this item without deleting it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Deletes all subitems.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const { return parent_ != nullptr ? parent_->IndexOf(this) : -1; }
  // The menu the item is in, or nullptr.
  TMenu* GetParentMenu() const;

  // The number WM_COMMAND carries for this item.
  UINT Command() const { return command_; }
  // The HMENU of the item's subitems (nullptr for an item without any).
  HMENU Handle();

  // Runs OnClick when the item is enabled.
  virtual void Click();
  TNotifyEvent OnClick;

private:
  friend class TMenu;
  // Stores a new value of a property and has the menu made again when it differs.
  template <class T>
  void Update(T& field, const T& value);
  void Changed();
  void AppendTo(HMENU menu, TMenu* owner);

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool default_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  int imageIndex_ = -1;
  std::string hint_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item only
  UINT command_;
  HMENU submenu_ = nullptr;  // belongs to the menu's handle
};

class TMenu : public TComponent {
  HL_REFLECTABLE
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item: its subitems are the menu's items.
  TMenuItem* Items() const { return items_.get(); }
  // Where the items' pictures come from; the image list must outlive its use here.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  // The menu's HMENU, made from the items when first asked for and after each change.
  HMENU Handle();
  // The item with a command number, among this menu's items, or nullptr.
  TMenuItem* FindItem(UINT command) const;

protected:
  // Makes an empty HMENU of the menu's kind.
  virtual HMENU CreateMenuHandle() = 0;
  // The HMENU was made again (the old one is still valid during the call).
  virtual void HandleChanged() {}
  // An item changed: the HMENU is made again when next asked for.
  virtual void ItemsChanged();

private:
  friend class TMenuItem;
  void Rebuild();

  std::unique_ptr<TMenuItem> items_;
  TImageList* images_ = nullptr;
  UniqueMenu handle_;
  bool stale_ = false;
};

class TCustomForm;

// A form's menu bar (the form's Menu).
class TMainMenu : public TMenu {
  HL_REFLECTABLE
public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  ~TMainMenu() override;
  // The form whose menu bar this is; set by the form.
  void SetForm(TCustomForm* form) { form_ = form; }

protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void HandleChanged() override;
  void ItemsChanged() override;

private:
  TCustomForm* form_ = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

// A menu shown at a screen point: by Popup, or by a right click on a control whose
// PopupMenu it is (AutoPopup).
class TPopupMenu : public TMenu {
  HL_REFLECTABLE
public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  // Which side of the menu lies at the point.
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment value) { alignment_ = value; }
  // The component the menu was last popped up for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);

  // Runs OnPopup, then shows the menu at a screen point until the user chooses or
  // dismisses it. A chosen item's OnClick runs afterwards, from the message loop.
  virtual void Popup(int x, int y);
  // The hidden window that owns the shown menu and receives its commands.
  HWND WindowHandle();

  TNotifyEvent OnPopup;

  void Notification(TComponent* component, TOperation operation) override;

protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }

private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
  std::unique_ptr<TUtilityWindow> window_;
};

// Runs the menu item with a command number; false when no item has it.
bool DispatchMenuCommand(UINT command);
// The picture of a menu item, for the window that owns the menu (WM_MEASUREITEM and
// WM_DRAWITEM with ODT_MENU). False when the item is not one of ours.
bool MeasureMenuItemImage(MEASUREITEMSTRUCT& item, LRESULT& result);
bool DrawMenuItemImage(const DRAWITEMSTRUCT& item, LRESULT& result);
