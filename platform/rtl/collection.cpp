#include "platform/rtl/collection.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

const ClassInfo* TCollectionItem::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCollectionItem>("TCollectionItem", nullptr).Build();
  return &ci;
}

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) collection_->Detach(this);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

int TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (collection_ == nullptr) return;
  auto& items = collection_->items_;
  if (index < 0 || index >= static_cast<int>(items.size())) IndexError(index);
  const int current = Index();
  if (current == index) return;
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr) collection_->Changed(allItems ? nullptr : this);
}

const ClassInfo* TCollection::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCollection>("TCollection", nullptr).Build();
  return &ci;
}

TCollection::TCollection(TCollectionItemFactory itemFactory, TPersistent* owner)
    : itemFactory_(std::move(itemFactory)), owner_(owner) {}

TCollection::~TCollection() {
  // The owner may be going away too: nothing is told while the items go.
  updateCount_ = 1;
  DeleteAll();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<size_t>(index)];
}

TPersistent* TCollection::ListedItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::NewItem() const {
  TCollectionItem* item = itemFactory_ ? itemFactory_() : new TCollectionItem();
  if (item == nullptr) throw EListError("The collection's item class made no item");
  return item;
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = NewItem();
  Attach(item);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  BeginUpdate();
  TCollectionItem* item = Add();
  item->SetIndex(index);
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  DeleteAll();
  EndUpdate();
}

void TCollection::DeleteAll() {
  // Each item takes itself out of the list as it goes.
  while (!items_.empty()) delete items_.back();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  Changed(nullptr);
}

void TCollection::Assign(TPersistent* source) {
  auto* from = dynamic_cast<TCollection*>(source);
  if (from == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  // Copies are made first, so a refused item leaves this collection as it was.
  std::vector<std::unique_ptr<TCollectionItem>> copies;
  for (TCollectionItem* original : from->items_) {
    copies.emplace_back(NewItem());
    copies.back()->Assign(original);
  }
  BeginUpdate();
  DeleteAll();
  for (auto& copy : copies) Attach(copy.release());
  EndUpdate();
}

void TCollection::Update(TCollectionItem* item) {}

void TCollection::Changed(TCollectionItem* item) {
  if (updateCount_ == 0) Update(item);
}

void TCollection::Attach(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  Changed(nullptr);
}

void TCollection::Detach(TCollectionItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed(nullptr);
}
