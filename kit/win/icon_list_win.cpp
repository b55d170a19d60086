#include "kit/win/icon_list_win.h"

#include <string>
#include <utility>

#include "kit/icon_list.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"

// An update for the scope: one notification at its end, also when an error escapes.
class TIconList::TUpdate {
public:
  explicit TUpdate(TIconList* list) : list_(list) { list_->BeginUpdate(); }
  ~TUpdate() { list_->EndUpdate(); }
  TUpdate(const TUpdate&) = delete;
  TUpdate& operator=(const TUpdate&) = delete;

private:
  TIconList* list_;
};

namespace {

// A new icon holding a copy of source (an empty icon for nullptr).
std::unique_ptr<TIcon> CopyOf(TIcon* source) {
  auto icon = std::make_unique<TIcon>();
  icon->Assign(source);
  return icon;
}

// A new icon owning its own copy of a resource icon: the handle LoadIconA gives is shared
// by the system and must not be destroyed with the icon.
std::unique_ptr<TIcon> ResourceIcon(HINSTANCE instance, const char* resourceName) {
  HICON shared = LoadIconA(instance, resourceName);
  if (shared == nullptr) {
    const bool named = !IS_INTRESOURCE(resourceName);
    throw EResNotFound("Resource " + (named ? std::string(resourceName) : std::to_string(reinterpret_cast<uintptr_t>(resourceName))) +
                       " not found");
  }
  UniqueIcon own(CopyIcon(shared));
  if (!own) throw EOutOfResources("Out of system resources");
  auto icon = std::make_unique<TIcon>();
  icon->SetHandle(own.release());
  return icon;
}

}  // namespace

TIconList::TIconList() = default;

TIconList::~TIconList() {
  OnChange = nullptr;
  Clear();
}

void TIconList::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TIconList::BeginUpdate() { ++updateCount_; }

void TIconList::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) Changed();
}

void TIconList::CheckIndex(int index, int last) const {
  if (index < 0 || index > last) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TIconList::Hook(TIcon* icon) {
  icon->OnChange = [this](TObject*) { Changed(); };
}

int TIconList::AddIcon(std::unique_ptr<TIcon> icon) {
  if (icon) Hook(icon.get());
  items_.push_back(std::move(icon));
  Changed();
  return Count() - 1;
}

void TIconList::Assign(TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) return Clear();
  if (auto* list = dynamic_cast<TIconList*>(source)) {
    TUpdate update(this);
    Clear();
    for (const std::unique_ptr<TIcon>& icon : list->items_) Add(icon.get());
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    TUpdate update(this);
    Clear();
    Add(icon);
    return;
  }
  TPersistent::Assign(source);
}

TIcon* TIconList::Get(int index) const {
  CheckIndex(index, Count() - 1);
  return items_[index].get();
}

void TIconList::Put(int index, TIcon* icon) {
  TUpdate update(this);
  if (index == Count()) Add(nullptr);
  CheckIndex(index, Count() - 1);
  std::unique_ptr<TIcon>& entry = items_[index];
  if (!entry) entry = std::make_unique<TIcon>();
  Hook(entry.get());
  entry->Assign(icon);
}

int TIconList::Add(TIcon* icon) { return AddIcon(CopyOf(icon)); }

int TIconList::AddResource(HINSTANCE instance, const char* resourceName) {
  return AddIcon(ResourceIcon(instance, resourceName));
}

void TIconList::Insert(int index, TIcon* icon) { InsertIcon(index, CopyOf(icon)); }

void TIconList::InsertResource(int index, HINSTANCE instance, const char* resourceName) {
  CheckIndex(index, Count());
  InsertIcon(index, ResourceIcon(instance, resourceName));
}

void TIconList::InsertIcon(int index, std::unique_ptr<TIcon> icon) {
  CheckIndex(index, Count());
  Hook(icon.get());
  items_.insert(items_.begin() + index, std::move(icon));
  Changed();
}

void TIconList::Clear() {
  TUpdate update(this);
  for (int i = Count() - 1; i >= 0; --i) Delete(i);
}

void TIconList::Delete(int index) {
  CheckIndex(index, Count() - 1);
  std::unique_ptr<TIcon> icon = std::move(items_[index]);
  if (icon) icon->OnChange = nullptr;
  icon.reset();
  items_.erase(items_.begin() + index);
  Changed();
}

void TIconList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count() - 1);
  CheckIndex(index2, Count() - 1);
  std::swap(items_[index1], items_[index2]);
  Changed();
}

void TIconList::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex, Count() - 1);
  CheckIndex(newIndex, Count() - 1);
  std::unique_ptr<TIcon> icon = std::move(items_[curIndex]);
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(icon));
  Changed();
}

int TIconList::IndexOf(const TIcon* icon) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].get() == icon) return i;
  return -1;
}

void TIconList::WriteData(TStream& stream) const {
  WriteIconListData(stream, Count(), [this](int index, TMemoryStream& scratch) {
    TIcon* icon = items_[index].get();
    if (icon != nullptr && !icon->Empty()) icon->SaveToStream(scratch);
  });
}

void TIconList::ReadData(TStream& stream) {
  TUpdate update(this);
  Clear();
  ReadIconListData(stream, [this](TMemoryStream* bytes) {
    if (bytes == nullptr) {
      AddIcon(nullptr);
      return;
    }
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(*bytes);
    AddIcon(std::move(icon));
  });
}
