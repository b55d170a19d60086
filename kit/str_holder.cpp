#include "kit/str_holder.h"

#include <cstdint>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"

namespace {

const EnumInfo DuplicatesEnum{"TDuplicates", {"dupIgnore", "dupAccept", "dupError"}};

// The stored list value: one tag byte per element; a string carries its length as four
// little-endian bytes, so lines may hold any byte.
constexpr unsigned char TagListEnd = 0x00;
constexpr unsigned char TagListBegin = 0x01;
constexpr unsigned char TagString = 0x06;

void WriteTag(TStream& stream, unsigned char tag) { stream.WriteBuffer(&tag, 1); }

void WriteString(TStream& stream, const std::string& text) {
  WriteTag(stream, TagString);
  const auto size = static_cast<uint32_t>(text.size());
  const unsigned char length[4] = {static_cast<unsigned char>(size),
                                   static_cast<unsigned char>(size >> 8),
                                   static_cast<unsigned char>(size >> 16),
                                   static_cast<unsigned char>(size >> 24)};
  stream.WriteBuffer(length, 4);
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

[[noreturn]] void BadStrData(const char* what) {
  throw EReadError(std::string("Invalid stored string list: ") + what);
}

// Reads the elements of one list value, checking each length against the bytes left.
class StrDataReader {
public:
  explicit StrDataReader(TStream& stream)
      : stream_(stream), left_(stream.Size() - stream.Position()) {}

  unsigned char ReadTag() {
    unsigned char tag;
    Take(&tag, 1);
    return tag;
  }

  std::string ReadStringBody() {
    unsigned char length[4];
    Take(length, 4);
    const int64_t size = static_cast<int64_t>(length[0]) | (static_cast<int64_t>(length[1]) << 8) |
                         (static_cast<int64_t>(length[2]) << 16) |
                         (static_cast<int64_t>(length[3]) << 24);
    if (size > left_) BadStrData("a line is longer than the data");
    std::string text(static_cast<size_t>(size), '\0');
    Take(text.data(), size);
    return text;
  }

private:
  void Take(void* buffer, int64_t count) {
    if (count > left_) BadStrData("the data ends early");
    if (count > 0) stream_.ReadBuffer(buffer, count);
    left_ -= count;
  }

  TStream& stream_;
  int64_t left_;
};

}  // namespace

std::string XorWithKey(const std::string& key, const std::string& text) {
  std::string result = text;
  if (key.empty()) return result;
  for (size_t i = 0; i < result.size(); ++i)
    result[i] = static_cast<char>(static_cast<unsigned char>(result[i]) ^
                                  static_cast<unsigned char>(key[i % key.size()]));
  return result;
}

const ClassInfo* TStrHolder::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TStrHolder>("TStrHolder", TComponent::StaticClassInfo())
          .Int("Capacity", &TStrHolder::Capacity, &TStrHolder::SetCapacity)
          .Enum("Duplicates", &TStrHolder::Duplicates, &TStrHolder::SetDuplicates,
                &DuplicatesEnum)
          .Str("KeyString", &TStrHolder::KeyString, &TStrHolder::SetKeyString)
          .Stored(false)
          .Bool("Sorted", &TStrHolder::Sorted, &TStrHolder::SetSorted)
          .Obj("Strings", &TStrHolder::Strings, nullptr)
          .Stored(false)
          .Build();
  return &ci;
}

TStrHolder::TStrHolder(TComponent* owner)
    : TComponent(owner), strings_(std::make_unique<TStringList>()) {
  strings_->OnChange = [this](TObject*) {
    if (!reading_) Changed();
  };
  strings_->OnChanging = [this](TObject*) {
    if (!reading_) Changing();
  };
}

TStrHolder::~TStrHolder() {
  // Freeing the list must not reach handlers whose objects may already be gone.
  OnChange = nullptr;
  OnChanging = nullptr;
  strings_->OnChange = nullptr;
  strings_->OnChanging = nullptr;
}

void TStrHolder::Changed() {
  if (OnChange) OnChange(this);
}

void TStrHolder::Changing() {
  if (OnChanging) OnChanging(this);
}

void TStrHolder::Assign(TPersistent* source) {
  if (auto* holder = dynamic_cast<TStrHolder*>(source)) {
    strings_->Assign(holder->strings_.get());
  } else if (auto* strings = dynamic_cast<TStrings*>(source)) {
    strings_->Assign(strings);
  } else {
    TComponent::Assign(source);
  }
}

void TStrHolder::AssignTo(TPersistent* dest) {
  if (auto* strings = dynamic_cast<TStrings*>(dest))
    strings->Assign(strings_.get());
  else
    TComponent::AssignTo(dest);
}

bool TStrHolder::HasStrData() const { return strings_->Count() > 0 || !keyString_.empty(); }

void TStrHolder::WriteStrData(TStream& stream) const {
  WriteTag(stream, TagListBegin);
  WriteString(stream, keyString_);
  for (int i = 0; i < strings_->Count(); ++i)
    WriteString(stream, XorWithKey(keyString_, strings_->Strings(i)));
  WriteTag(stream, TagListEnd);
}

void TStrHolder::ReadStrData(TStream& stream) {
  StrDataReader reader(stream);
  if (reader.ReadTag() != TagListBegin) BadStrData("no list");
  // The whole value is checked before the holder changes.
  std::vector<std::string> items;
  for (unsigned char tag = reader.ReadTag(); tag != TagListEnd; tag = reader.ReadTag()) {
    if (tag != TagString) BadStrData("an element is not a string");
    if (items.size() > static_cast<size_t>(MaxStoredLines)) BadStrData("too many lines");
    items.push_back(reader.ReadStringBody());
  }

  // The lines are first gathered under the holder's own rules, so that a duplicate the
  // holder refuses raises before its key or any line is replaced.
  const std::string key = items.empty() ? keyString_ : items.front();
  TStringList lines;
  lines.SetCaseSensitive(strings_->CaseSensitive());
  lines.SetSorted(strings_->Sorted());
  lines.SetDuplicates(strings_->Duplicates());
  for (size_t i = 1; i < items.size(); ++i) lines.Add(XorWithKey(key, items[i]));

  struct ReadingScope {
    explicit ReadingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ReadingScope() { flag_ = false; }
    bool& flag_;
  } scope(reading_);
  keyString_ = key;
  strings_->Assign(&lines);
}
