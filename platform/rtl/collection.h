#pragma once
// TCollection: an ordered list of items of one class, owned by the collection (status-bar
// panels, list-view columns). Items are TPersistent with published properties of their own;
// the collection tells its owner of changes through Update.

#include <functional>
#include <vector>

#include "platform/rtl/persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
  HL_REFLECTABLE
public:
  // Items are created by their collection (Add, Insert); an item deleted directly leaves its
  // collection first.
  TCollectionItem() = default;
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  TPersistent* GetOwner() const override;
  // Position in the collection, -1 outside one.
  int Index() const;
  // Moves the item to position index; EListError when index is out of range.
  void SetIndex(int index);

protected:
  // Tells the collection that this item changed; allItems when the change affects how the
  // other items show too.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

// Makes a new, unattached item of the collection's item class.
using TCollectionItemFactory = std::function<TCollectionItem*()>;

class TCollection : public TPersistent {
  HL_REFLECTABLE
public:
  // The factory plays the item class: TCollection(TCollection::ItemClass<TStatusPanel>()).
  // Without one the items are plain TCollectionItem.
  explicit TCollection(TCollectionItemFactory itemFactory, TPersistent* owner = nullptr);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  template <class Item>
  static TCollectionItemFactory ItemClass() {
    return [] { return new Item(); };
  }

  int Count() const { return static_cast<int>(items_.size()); }
  // EListError when index is out of range.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  // A new item at position index (0..Count).
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  // Updates are held back until the outermost EndUpdate, which sends one.
  void BeginUpdate();
  void EndUpdate();

  TPersistent* GetOwner() const override { return owner_; }
  // From another collection: its items are copied one by one with Assign. When an item
  // refuses, this collection keeps its old items.
  void Assign(TPersistent* source) override;

  int ListedItemCount() const override { return Count(); }
  TPersistent* ListedItem(int index) const override;

protected:
  // Called after a change while no update is held back: item is the item that changed, or
  // nullptr when items were added, removed, moved or all changed. Collections override it to
  // refresh what shows their items.
  virtual void Update(TCollectionItem* item);

private:
  friend class TCollectionItem;
  void Changed(TCollectionItem* item);
  void Attach(TCollectionItem* item);
  void Detach(TCollectionItem* item);
  void DeleteAll();
  TCollectionItem* NewItem() const;

  TCollectionItemFactory itemFactory_;
  TPersistent* owner_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
};
