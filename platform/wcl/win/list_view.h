#pragma once
// The list view: items with a caption, sub-items, an image, a check box and data of the
// program's own, shown as icons, a list, or a report with columns.
//
// The items and columns live in the objects; the window shows them. What the user changes
// in the window (the selected item, a check box, a caption edited in place, a column
// dragged wider) is taken back into the objects as the window reports it.
//
// With ItemsOnDemand the window holds no copy of the items: it is told how many there are
// and asks for an item's text and image when it draws it, so tens of thousands of items
// show at once. Lists with check boxes keep their copies in the window.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/string_list.h"
#include "platform/wcl/win/control.h"
#include "platform/wcl/win/image_list.h"
#include "platform/wcl/win/std_controls.h"

class TListView;

// A column of the report view.
class TListColumn : public TCollectionItem {
  HL_REFLECTABLE
public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // The window's width while it shows the column (the user may drag it).
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void Assign(TPersistent* source) override;

private:
  friend class TListView;
  TListView* ListView() const;

  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
  HL_REFLECTABLE
public:
  explicit TListColumns(TListView* listView);

  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }

protected:
  void Update(TCollectionItem* item) override;

private:
  TListView* listView_;
};

class TListItems;

// An item. Changing it from code shows at once and runs the list view's OnChange (and
// OnSelectItem for the selection), as a change by the user does.
class TListItem : public TPersistent {
  HL_REFLECTABLE
public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  TListView* ListView() const;
  int Index() const;
  TPersistent* GetOwner() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // An index into the list view's images; -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The program's own value for the item; the list view never looks at it.
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  // The item's check box (with the list view's Checkboxes).
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Selected() const { return selected_; }
  void SetSelected(bool value);
  // The texts of the report's further columns.
  TStrings* SubItems() const { return subItems_.get(); }

private:
  friend class TListView;
  friend class TListItems;
  void SubItemsChanged();

  TListItems* owner_;
  std::string caption_;
  int imageIndex_ = -1;
  void* data_ = nullptr;
  bool checked_ = false;
  bool selected_ = false;
  std::unique_ptr<TStringList> subItems_;
  int shownSubItems_ = 0;  // sub-item texts the window has been given
  mutable int indexHint_ = -1;  // where the item stood when last looked for
};

class TListItems : public TPersistent {
  HL_REFLECTABLE
public:
  explicit TListItems(TListView* listView);
  ~TListItems() override;
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;

  TListView* Owner() const { return listView_; }
  TPersistent* GetOwner() const override;

  int Count() const { return static_cast<int>(items_.size()); }
  // EListError when index is out of range.
  TListItem* Items(int index) const;
  TListItem* Add() { return Insert(Count()); }
  // A new item at index (0..Count).
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;

  int ListedItemCount() const override { return Count(); }
  TPersistent* ListedItem(int index) const override;

  // Between the outermost BeginUpdate and EndUpdate a shown list is not drawn; a list
  // with ItemsOnDemand learns its new items only at the end, all at once.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updating_ > 0; }

private:
  void CheckIndex(int index, int last) const;

  TListView* listView_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updating_ = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange { ctText, ctImage, ctState };

using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

// One item at the most is selected.
class TListView : public TWinControl {
  HL_REFLECTABLE
public:
  explicit TListView(TComponent* owner);
  ~TListView() override;

  TListColumns* Columns() const { return columns_.get(); }
  TListItems* Items() const { return items_.get(); }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool value);
  // Clicks on the column headers (otherwise the headers are flat).
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  // Off, the user can edit captions in place.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // The selection covers the whole row of the report.
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  // The images of the small-icon, list and report views and of the icon view. The list
  // view does not own them: they must live as long as it shows them. Setting one again
  // after its images were replaced shows the new ones.
  TImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TImageList* value);
  TImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TImageList* value);
  // The window asks for the items as it draws them instead of holding copies (see the top
  // of this file). Off by default; ignored while Checkboxes is on.
  bool ItemsOnDemand() const { return itemsOnDemand_; }
  void SetItemsOnDemand(bool value);

  TListItem* Selected() const;
  // nullptr selects nothing.
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  // An index outside the items selects nothing.
  void SetItemIndex(int value);

  void WndProc(TMessage& msg) override;

  TLVChangeEvent OnChange;
  TLVSelectItemEvent OnSelectItem;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SaveWindowState() override;
  // The columns' widths scale with the view.
  void ChangeScale(int m, int d) override;

private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;

  // The window side of the item operations; each does nothing without a window.
  void ShowInsertedItem(int index);
  void ShowItem(TListItem* item, UINT mask);
  void ShowItemState(TListItem* item);
  void ShowSubItems(TListItem* item);
  void ShowDeletedItem(int index);
  void ShowNoItems();
  void ShowColumns();
  void ShowImages();
  void ShowExtendedStyle();
  // With items on demand: the window's item count, and the selection after items moved.
  bool OnDemand() const { return itemsOnDemand_ && !checkboxes_; }
  void ShowItemCount();
  void ShowSelection();
  void BeginDrawingOff();
  void EndDrawingOff();
  // Answers the window's question for an item's text or image.
  void GiveItem(TMessage& msg);
  // Reports a change of an item (from code or from the window).
  void ItemChanged(TListItem* item, TItemChange change);
  // Selects or deselects item, the others being deselected first; reports each change.
  void SelectItem(TListItem* item, bool value);
  void HandleNotify(TMessage& msg);
  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam);

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool checkboxes_ = false;
  bool columnClick_ = true;
  bool readOnly_ = false;
  bool rowSelect_ = false;
  bool itemsOnDemand_ = false;
  bool drawingOff_ = false;
  TImageList* smallImages_ = nullptr;
  TImageList* largeImages_ = nullptr;
  int shownColumns_ = 0;
  int pushing_ = 0;  // the window's reports of what the object tells it are not the user's
};
