#include "platform/rtl/string_list.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

// Keeps a BeginUpdate/EndUpdate pair balanced when an operation raises half-way.
class UpdateScope {
public:
  explicit UpdateScope(TStrings& strings) : strings_(strings) { strings_.BeginUpdate(); }
  ~UpdateScope() { strings_.EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

private:
  TStrings& strings_;
};

}  // namespace

// ---- TStrings --------------------------------------------------------------------------

void TStrings::IndexError(int index) {
  throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  return AnsiCompareText(a, b);
}

int TStrings::Add(const std::string& s) {
  int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Put(int index, const std::string& s) {
  TObject* object = GetObject(index);
  UpdateScope scope(*this);
  Delete(index);
  InsertObject(index, s, object);
}

void TStrings::Exchange(int index1, int index2) {
  std::string s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  UpdateScope scope(*this);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  // Check the destination before the line is taken out, so a bad index loses nothing.
  if (newIndex < 0 || newIndex >= GetCount()) IndexError(newIndex);
  std::string s = Get(curIndex);
  TObject* object = GetObject(curIndex);
  UpdateScope scope(*this);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

void TStrings::AddStrings(TStrings* strings) {
  // A copy first: adding a list to itself must not see its own new lines.
  std::vector<std::pair<std::string, TObject*>> lines;
  for (int i = 0, n = strings->Count(); i < n; ++i)
    lines.emplace_back(strings->Get(i), strings->GetObject(i));
  UpdateScope scope(*this);
  for (const auto& line : lines) AddObject(line.first, line.second);
}

bool TStrings::Equals(TStrings* strings) const {
  int n = GetCount();
  if (n != strings->Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != strings->Get(i)) return false;
  return true;
}

std::string TStrings::Names(int index) const {
  std::string line = Get(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  std::string line = Get(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0, n = GetCount(); i < n; ++i) {
    std::string line = Get(i);
    size_t eq = line.find('=');
    if (eq != std::string::npos && AnsiSameText(line.substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStrings::Values(const std::string& name) const {
  int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + "=" + value);
  } else {
    Put(index, name + "=" + value);
  }
}

void TStrings::VisitStrings(const std::function<void(const std::string&)>& visit) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i) visit(Get(i));
}

std::string TStrings::GetTextStr() const {
  int n = GetCount();
  std::vector<std::string> lines(n);
  size_t total = 0;
  for (int i = 0; i < n; ++i) total += (lines[i] = Get(i)).size() + 2;
  std::string text;
  text.reserve(total);
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

void TStrings::SetTextStr(const std::string& text) {
  UpdateScope scope(*this);
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
      Add(text.substr(pos));
      break;
    }
    Add(text.substr(pos, end - pos));
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  auto* strings = dynamic_cast<TStrings*>(source);
  if (strings == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;  // clearing first would lose the lines being copied
  UpdateScope scope(*this);
  Clear();
  AddStrings(strings);
}

bool TStrings::GetAsText(std::string& text) const {
  text = GetTextStr();
  return true;
}

bool TStrings::SetAsText(const std::string& text) {
  SetTextStr(text);
  return true;
}

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStrings::LoadFromStream(TStream& stream) { SetTextStr(stream.ReadRest()); }

void TStrings::SaveToFile(const std::string& fileName) const {
  WriteFileAtomically(fileName, GetTextStr());
}

void TStrings::SaveToStream(TStream& stream) const {
  std::string text = GetTextStr();
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// ---- TStringList -----------------------------------------------------------------------

void TStringList::VisitStrings(const std::function<void(const std::string&)>& visit) const {
  for (const Item& item : items_) visit(item.text);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) IndexError(index);
}

void TStringList::CheckUnsorted() const {
  // Placing a line by index would break the order that Find relies on.
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
}

void TStringList::Changing() {
  if (UpdateCount() > 0) {
    if (changingSent_) return;
    changingSent_ = true;
  }
  if (OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() > 0) {
    changePending_ = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  bool fire = !updating && changePending_;
  changingSent_ = false;
  changePending_ = false;
  if (fire && OnChange) OnChange(this);
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].text;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::Put(int index, const std::string& s) {
  CheckUnsorted();
  CheckIndex(index);
  Changing();
  items_[index].text = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = GetCount();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  CheckUnsorted();
  if (index < 0 || index > GetCount()) IndexError(index);
  InsertItem(index, s, object);
}

void TStringList::SetTextStr(const std::string& text) {
  // Added one by one, each line of a sorted list moves every line after its place: a
  // million lines in no order would take hours. They are sorted at once instead, into the
  // order adding them one by one gives. A list refusing duplicates stops at the first one,
  // as adding does.
  if (!sorted_ || duplicates_ == dupError) {
    TStrings::SetTextStr(text);
    return;
  }
  UpdateScope scope(*this);
  Clear();
  std::vector<Item> lines;
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    lines.push_back(Item{text.substr(pos, end - pos), nullptr});
    if (end == text.size()) break;
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  if (lines.empty()) return;
  // Positions are sorted rather than the lines: a far smaller buffer for a stable sort.
  std::vector<uint32_t> order(lines.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return CompareStrings(lines[a].text, lines[b].text) < 0; });
  // A line added goes before the equal lines already there, or is dropped when duplicates
  // are ignored: equal lines end up last added first, or only the first one stays. The
  // positions in their final order, the dropped ones last.
  std::vector<uint32_t> place;
  place.reserve(order.size());
  std::vector<uint32_t> dropped;
  for (size_t run = 0; run < order.size();) {
    size_t end = run + 1;
    while (end < order.size() && CompareStrings(lines[order[run]].text, lines[order[end]].text) == 0) ++end;
    if (duplicates_ == dupIgnore) {
      place.push_back(order[run]);
      dropped.insert(dropped.end(), order.begin() + static_cast<std::ptrdiff_t>(run) + 1,
                     order.begin() + static_cast<std::ptrdiff_t>(end));
    } else {
      for (size_t i = end; i > run; --i) place.push_back(order[i - 1]);
    }
    run = end;
  }
  const size_t kept = place.size();
  place.insert(place.end(), dropped.begin(), dropped.end());
  order = {};
  // The lines are moved to their places in the list itself, one cycle of places at a time.
  for (uint32_t start = 0; start < place.size(); ++start) {
    if (place[start] == start) continue;
    Item moving = std::move(lines[start]);
    uint32_t at = start;
    while (place[at] != start) {
      const uint32_t from = place[at];
      lines[at] = std::move(lines[from]);
      place[at] = at;
      at = from;
    }
    lines[at] = std::move(moving);
    place[at] = at;
  }
  lines.resize(kept);
  Changing();
  items_ = std::move(lines);
  Changed();
}

void TStringList::SaveToFile(const std::string& fileName) const {
  size_t next = 0;
  std::string piece;
  WriteFileAtomically(fileName, [&]() -> std::string_view {
    piece.clear();
    for (; next < items_.size() && piece.size() < (1u << 20); ++next) piece.append(items_[next].text).append("\r\n");
    return piece;
  });
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckUnsorted();
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  CheckUnsorted();
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  if (curIndex == newIndex) return;
  Changing();
  auto first = items_.begin();
  if (curIndex < newIndex)
    std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
  else
    std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
  Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Lower bound: with equal lines present this is the first of them.
  int low = 0, high = GetCount();
  bool found = false;
  while (low < high) {
    int mid = low + (high - low) / 2;
    int c = CompareStrings(items_[mid].text, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid;
      if (c == 0) found = true;
    }
  }
  index = low;
  return found;
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (sorted_ || items_.size() < 2) return;
  // Sort positions, not lines, so compare always sees the list as it was.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(this, a, b) < 0; });
  Changing();
  std::vector<Item> sortedItems;
  sortedItems.reserve(items_.size());
  for (int i : order) sortedItems.push_back(std::move(items_[i]));
  items_.swap(sortedItems);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[a].text, list->items_[b].text);
  });
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) {
    sorted_ = false;
    SetSorted(true);
  }
}

void TStringList::SetCapacity(int capacity) {
  if (capacity > GetCount()) items_.reserve(static_cast<size_t>(capacity));
}
