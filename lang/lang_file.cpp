#include "lang/lang_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

const char* const kLangFileBadMagicMessage = "Not a language file or old version (1.1)";

namespace {

const char* const kReadErrorMessage = "Stream read error";
// No table of a language file may hold more items than this (counts in the file are 16-bit;
// the font count is the one 32-bit count).
constexpr int64_t kMaxListItems = 65536;

unsigned char FoldByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

int FoldCompare(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = FoldByte(a[i]), y = FoldByte(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool StartsWithFolded(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && FoldCompare(s.substr(0, prefix.size()), prefix) == 0;
}

std::string CutAtNul(std::string s) {
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

// Reads little-endian fields from a file image; every read is checked against the bytes
// that are really there, so a count or length from the file can never make it read past
// the end or allocate more than the file holds.
class ImageReader {
public:
  explicit ImageReader(const std::string& bytes) : bytes_(bytes) {}

  size_t Remaining() const { return bytes_.size() - pos_; }
  void Need(uint64_t count) const {
    if (count > Remaining()) throw EReadError(kReadErrorMessage);
  }
  // count items of at least minSize bytes each must still fit.
  void NeedItems(int64_t count, size_t minSize) const {
    if (count > kMaxListItems) throw EReadError(kReadErrorMessage);
    if (count > 0) Need(static_cast<uint64_t>(count) * minSize);
  }

  uint8_t U8() {
    Need(1);
    return static_cast<uint8_t>(bytes_[pos_++]);
  }
  uint16_t U16() {
    uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
  }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (static_cast<uint32_t>(U16()) << 16);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::string Bytes(size_t count) {
    Need(count);
    std::string s = bytes_.substr(pos_, count);
    pos_ += count;
    return s;
  }
  void Skip(size_t count) {
    Need(count);
    pos_ += count;
  }
  // A length byte and that many bytes; all of them are consumed, at most capacity bytes of
  // whole characters kept.
  std::string PStr(size_t capacity = 255) { return AnsiLeftBytes(Bytes(U8()), capacity); }
  // The rest of the image, not copied: a language file's texts may be a hundred megabytes.
  std::string_view Rest() {
    std::string_view rest(bytes_);
    rest.remove_prefix(pos_);
    pos_ = bytes_.size();
    return rest;
  }

private:
  const std::string& bytes_;
  size_t pos_ = 0;
};

// Fills a locale block field by field (the visitor of TLingroveLocale::ForEachField).
struct LocaleReader {
  ImageReader& r;
  void operator()(std::string& s, size_t capacity) { s = r.PStr(capacity); }
  void operator()(uint8_t& v) { v = r.U8(); }
  void operator()(char& c) { c = static_cast<char>(r.U8()); }
  void operator()(int32_t& v) { v = r.I32(); }
  void operator()(uint16_t& v) { v = r.U16(); }
};

template <size_t N>
void CutEach(std::array<std::string, N>& dest, const std::array<std::string, N>& src,
             size_t capacity) {
  for (size_t i = 0; i < N; ++i) dest[i] = AnsiLeftBytes(src[i], capacity);
}

}  // namespace

// ---- File names ------------------------------------------------------------------------

std::string LangCurrentDir() {
  std::vector<char> buffer(260);
  for (;;) {
#ifdef _WIN32
    if (_getcwd(buffer.data(), static_cast<int>(buffer.size()))) return buffer.data();
#else
    if (getcwd(buffer.data(), buffer.size())) return buffer.data();
#endif
    if (errno != ERANGE || buffer.size() > (1u << 16)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string NormalizeLangFileName(const std::string& fileName) {
  std::string name = fileName;
  // Only the file-name part counts: a folder such as "my.lng-pack" must not stop the
  // extension from being added.
  if (LowerCase(ExtractFileName(name)).find(".lng") == std::string::npos) name += ".lng";
  if (ExtractFilePath(name).empty()) name = IncludeTrailingBackslash(LangCurrentDir()) + name;
  return name;
}

// ---- Locale block ----------------------------------------------------------------------

void TLingroveLocale::ApplyTo(TFormatSettings& s) const {
  s.CurrencyString = CurrencyString;
  s.CurrencyFormat = CurrencyFormat;
  s.NegCurrFormat = NegCurrFormat;
  s.ThousandSeparator = ThousandSeparator;
  s.DecimalSeparator = DecimalSeparator;
  s.CurrencyDecimals = CurrencyDecimals;
  s.DateSeparator = DateSeparator;
  s.ShortDateFormat = ShortDateFormat;
  s.LongDateFormat = LongDateFormat;
  s.TimeSeparator = TimeSeparator;
  s.TimeAMString = TimeAMString;
  s.TimePMString = TimePMString;
  s.ShortTimeFormat = ShortTimeFormat;
  s.LongTimeFormat = LongTimeFormat;
  s.ShortMonthNames = ShortMonthNames;
  s.LongMonthNames = LongMonthNames;
  s.ShortDayNames = ShortDayNames;
  s.LongDayNames = LongDayNames;
  s.EraNames = EraNames;
  for (size_t i = 0; i < EraYearOffsets.size(); ++i) s.EraYearOffsets[i] = EraYearOffsets[i];
  s.TwoDigitYearCenturyWindow = TwoDigitYearCenturyWindow;
  s.ListSeparator = ListSeparator;
}

void TLingroveLocale::CaptureFrom(const TFormatSettings& s) {
  CurrencyString = AnsiLeftBytes(s.CurrencyString, 10);
  CurrencyFormat = static_cast<uint8_t>(s.CurrencyFormat);
  NegCurrFormat = static_cast<uint8_t>(s.NegCurrFormat);
  ThousandSeparator = s.ThousandSeparator;
  DecimalSeparator = s.DecimalSeparator;
  CurrencyDecimals = static_cast<uint8_t>(s.CurrencyDecimals);
  DateSeparator = s.DateSeparator;
  ShortDateFormat = AnsiLeftBytes(s.ShortDateFormat, 12);
  LongDateFormat = AnsiLeftBytes(s.LongDateFormat, 30);
  TimeSeparator = s.TimeSeparator;
  TimeAMString = AnsiLeftBytes(s.TimeAMString, 6);
  TimePMString = AnsiLeftBytes(s.TimePMString, 6);
  ShortTimeFormat = AnsiLeftBytes(s.ShortTimeFormat, 20);
  LongTimeFormat = AnsiLeftBytes(s.LongTimeFormat, 20);
  CutEach(ShortMonthNames, s.ShortMonthNames, 6);
  CutEach(LongMonthNames, s.LongMonthNames, 20);
  CutEach(ShortDayNames, s.ShortDayNames, 6);
  CutEach(LongDayNames, s.LongDayNames, 20);
  CutEach(EraNames, s.EraNames, 10);
  for (size_t i = 0; i < EraYearOffsets.size(); ++i) EraYearOffsets[i] = s.EraYearOffsets[i];
  TwoDigitYearCenturyWindow = static_cast<uint16_t>(s.TwoDigitYearCenturyWindow);
  ListSeparator = s.ListSeparator;
}

// ---- Property map ----------------------------------------------------------------------

bool TLingroveLangProps::FoldLess::operator()(const std::string& a, const std::string& b) const {
  return FoldCompare(a, b) < 0;
}

bool TLingroveLangProps::PairLess::operator()(const PairKey& a, const PairKey& b) const {
  int c = FoldCompare(a.first, b.first);
  return c != 0 ? c < 0 : FoldCompare(a.second, b.second) < 0;
}

TLingroveLangProps::TLingroveLangProps() : curObj_(objects_.end()) {}

void TLingroveLangProps::IndexAdd(uint16_t ident, const std::string& obj,
                                  const std::string& path) {
  byIdent_[ident].insert(PairKey(obj, path));
}

void TLingroveLangProps::IndexRemove(uint16_t ident, const std::string& obj,
                                     const std::string& path) {
  auto it = byIdent_.find(ident);
  if (it == byIdent_.end()) return;
  it->second.erase(PairKey(obj, path));
  if (it->second.empty()) byIdent_.erase(it);
}

void TLingroveLangProps::Place(ObjectMap::iterator obj, PropMap::iterator prop) {
  curObj_ = obj;
  curProp_ = prop;
  hasCursor_ = true;
}

void TLingroveLangProps::RequireCursor() const {
  if (!hasCursor_) throw Exception("No such property");
}

void TLingroveLangProps::Add(const std::string& objName, const std::string& propPath,
                             uint16_t ident) {
  auto obj = objects_.find(objName);
  if (obj == objects_.end()) obj = objects_.emplace(objName, Object{objName, {}}).first;
  auto prop = obj->second.Props.find(propPath);
  if (prop == obj->second.Props.end()) {
    prop = obj->second.Props.emplace(propPath, ident).first;
    ++pairCount_;
  } else {
    IndexRemove(prop->second, obj->second.Name, prop->first);
    prop->second = ident;
  }
  IndexAdd(ident, obj->second.Name, prop->first);
  Place(obj, prop);
}

bool TLingroveLangProps::Find(const std::string& objName, const std::string& propPath) {
  hasCursor_ = false;
  auto obj = objects_.find(objName);
  if (obj == objects_.end()) return false;
  auto prop = obj->second.Props.find(propPath);
  if (prop == obj->second.Props.end()) return false;
  Place(obj, prop);
  return true;
}

bool TLingroveLangProps::FindIdent(uint16_t ident) {
  hasCursor_ = false;
  auto it = byIdent_.find(ident);
  if (it == byIdent_.end()) return false;
  const PairKey& first = *it->second.begin();
  return Find(first.first, first.second);
}

uint16_t TLingroveLangProps::GetIdent() const {
  RequireCursor();
  return curProp_->second;
}

std::string TLingroveLangProps::GetObjName() const {
  return hasCursor_ ? curObj_->second.Name : std::string();
}

std::string TLingroveLangProps::GetPropName() const {
  return hasCursor_ ? curProp_->first : std::string();
}

void TLingroveLangProps::ErasePair(ObjectMap::iterator obj, PropMap::iterator prop) {
  IndexRemove(prop->second, obj->second.Name, prop->first);
  obj->second.Props.erase(prop);
  --pairCount_;
  if (obj->second.Props.empty()) objects_.erase(obj);
  hasCursor_ = false;
}

void TLingroveLangProps::Delete() {
  RequireCursor();
  ErasePair(curObj_, curProp_);
}

void TLingroveLangProps::SetPropName(const std::string& newPath) {
  RequireCursor();
  auto obj = curObj_;
  std::string objName = obj->second.Name;
  uint16_t ident = curProp_->second;
  ErasePair(obj, curProp_);
  if (!newPath.empty()) Add(objName, newPath, ident);
}

void TLingroveLangProps::SetObjName(const std::string& newName) {
  RequireCursor();
  Object moved = std::move(curObj_->second);
  objects_.erase(curObj_);
  hasCursor_ = false;
  for (const auto& p : moved.Props) IndexRemove(p.second, moved.Name, p.first);
  pairCount_ -= static_cast<int>(moved.Props.size());
  if (newName.empty()) return;
  for (const auto& p : moved.Props) Add(newName, p.first, p.second);
  Find(newName, moved.Props.begin()->first);
}

void TLingroveLangProps::ReplacePrefix(const std::string& oldName, const std::string& newName) {
  RequireCursor();
  std::string objName = curObj_->second.Name;
  std::string oldPrefix = oldName + ".";
  // Take every matching pair out first, then put them back under the new prefix, so that a
  // renamed path never meets one that is itself about to be renamed.
  std::vector<std::pair<std::string, uint16_t>> moved;
  PropMap& props = curObj_->second.Props;
  for (auto it = props.begin(); it != props.end();) {
    if (StartsWithFolded(it->first, oldPrefix)) {
      moved.emplace_back(newName + "." + it->first.substr(oldPrefix.size()), it->second);
      IndexRemove(it->second, objName, it->first);
      it = props.erase(it);
      --pairCount_;
    } else {
      ++it;
    }
  }
  for (const auto& m : moved) Add(objName, m.first, m.second);
  // The cursor stays on the object (it never ends empty: every pair taken out came back).
  auto obj = objects_.find(objName);
  Place(obj, obj->second.Props.begin());
}

void TLingroveLangProps::Clear() {
  objects_.clear();
  byIdent_.clear();
  pairCount_ = 0;
  hasCursor_ = false;
}

// ---- Cursor ----------------------------------------------------------------------------

const TLingroveIdentRec& TLingroveLangStr::Rec() const {
  return owner_->idents_.at(static_cast<size_t>(index_));
}

uint16_t TLingroveLangStr::GetIdent() const { return Rec().Ident; }
const std::string& TLingroveLangStr::GetText() const { return Rec().Text; }
uint16_t TLingroveLangStr::GetFontIndex() const { return Rec().FontIndex; }
bool TLingroveLangStr::HasFlag(uint8_t mask) const { return (Rec().Flags & mask) == mask; }
bool TLingroveLangStr::IsMultiLine() const {
  return Rec().Text.find('\r') != std::string::npos;
}

std::string TLingroveLangStr::GetObjName() const {
  TLingroveLangProps& props = owner_->props_;
  return props.FindIdent(GetIdent()) ? props.GetObjName() : std::string();
}

std::string TLingroveLangStr::GetPropName() const {
  TLingroveLangProps& props = owner_->props_;
  return props.FindIdent(GetIdent()) ? props.GetPropName() : std::string();
}

void TLingroveLangStr::SetPropName(const std::string& newPath) {
  TLingroveLangProps& props = owner_->props_;
  if (props.FindIdent(GetIdent())) props.SetPropName(newPath);
}

// ---- File ------------------------------------------------------------------------------

TLingroveLangFile::TLingroveLangFile(const std::string& fileName) : TLingroveLangFile(fileName, true) {}

TLingroveLangFile::TLingroveLangFile(const std::string& fileName, bool load)
    : fileName_(NormalizeLangFileName(fileName)) {
  if (load)
    Load();
  else
    ClearContent();
}

TLingroveLangFile::~TLingroveLangFile() = default;

bool TLingroveLangFile::OpenStream(const std::string& name) {
  try {
    stream_ = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
    return true;
  } catch (...) {
    stream_.reset();
    return false;
  }
}

void TLingroveLangFile::CloseStream() { stream_.reset(); }

void TLingroveLangFile::Load() {
  if (!stream_ && !OpenStream(fileName_)) {
    ClearContent();
    return;
  }
  stream_->SetPosition(0);
  LoadFromImage(stream_->ReadRest());
}

void TLingroveLangFile::ClearContent() {
  version_ = 0;
  props_.Clear();
  stringList_.clear();
  idents_.clear();
  isEmpty_ = true;
  offsetWidth_ = 4;
  hasLocale_ = false;
  fontCharset_ = 0;
  fonts_.clear();
  ResetCursor();
  textDirection_ = 0;
  magic_.clear();
  versionText_.clear();
  fileFlags_ = 0;
  locale_ = TLingroveLocale();
}

void TLingroveLangFile::LoadFromImage(const std::string& bytes) {
  ClearContent();
  if (bytes.empty()) return;
  isEmpty_ = false;
  try {
    ImageReader r(bytes);
    magic_ = r.Bytes(2);
    if (magic_ != "LF") throw Exception(kLangFileBadMagicMessage);
    versionText_ = r.Bytes(4);
    version_ = StrToFloat(versionText_, '.');
    offsetWidth_ = version_ > 1.5 ? 4 : 2;
    const bool entryFlags = version_ > 3.0;
    if (version_ > 3.0)
      fileFlags_ = r.U8();
    else
      fileFlags_ = SameText(ExtractFileName(fileName_), "native.lng") ? lfNative : 0;
    hasLocale_ = version_ > 2.0 ? r.U8() != 0 : true;
    if (hasLocale_) locale_.ForEachField(LocaleReader{r});
    textDirection_ = r.U8();
    if (version_ <= 2.0) textDirection_ = 0;
    r.Skip(10);

    fontCharset_ = r.U8();
    int32_t fontCount = r.I32();
    r.NeedItems(fontCount, 4);
    for (int32_t i = 0; i < fontCount; ++i) {
      TLingroveFontItem font;
      font.Name = r.PStr();
      font.Size = r.U16();
      font.Style = r.U8();
      fonts_.push_back(std::move(font));
    }
    r.Skip(20);

    uint16_t lineCount = r.U16();
    r.NeedItems(lineCount, 1);
    for (uint16_t i = 0; i < lineCount; ++i) stringList_.push_back(r.PStr());

    uint16_t objectCount = r.U16();
    r.NeedItems(objectCount, 3);
    for (uint16_t i = 0; i < objectCount; ++i) {
      std::string objName = CutAtNul(r.PStr());
      uint16_t propCount = r.U16();
      r.NeedItems(propCount, 3);
      for (uint16_t j = 0; j < propCount; ++j) {
        std::string path = CutAtNul(r.PStr());
        props_.Add(objName, path, r.U16());
      }
    }

    uint16_t entryCount = r.U16();
    r.NeedItems(entryCount, (entryFlags ? 1 : 0) + 2 + offsetWidth_ + 2);
    idents_.resize(entryCount);
    for (TLingroveIdentRec& e : idents_) {
      e.Flags = entryFlags ? r.U8() : 0;
      e.Ident = r.U16();
      e.Offset = offsetWidth_ == 4 ? r.U32() : r.U16();
      e.FontIndex = r.U16();
    }

    // An offset at or past the end of the pool gives the empty text, and a last text
    // without its NUL ends with the pool: nothing is read beyond it.
    const std::string_view pool = r.Rest();
    for (TLingroveIdentRec& e : idents_) {
      if (e.Offset == kNoTextOffset || e.Offset >= pool.size()) continue;
      const char* start = pool.data() + e.Offset;
      const void* nul = std::memchr(start, 0, pool.size() - e.Offset);
      e.Text.assign(start, nul ? static_cast<const char*>(nul) : pool.data() + pool.size());
    }
    if (version_ < 3.0) FixLegacyTextKeys();
  } catch (...) {
    ClearContent();
    throw;
  }
}

void TLingroveLangFile::FixLegacyTextKeys() {
  for (int i = 0; i < GetCount(); ++i) {
    TLingroveLangStr* entry = GetItem(i);
    if (!entry->IsMultiLine()) continue;
    std::string path = entry->GetPropName();
    size_t dot = path.rfind('.');
    // A path that is only "Text" has no owner segment to fall back to; it is kept.
    if (dot == std::string::npos || !SameText(path.substr(dot + 1), "Text")) continue;
    entry->SetPropName(path.substr(0, dot));
  }
  ResetCursor();
}

TLingroveLangStr* TLingroveLangFile::GetItem(int i) {
  if (i < 0 || i >= GetCount()) return nullptr;
  cursor_.index_ = i;
  return &cursor_;
}

int TLingroveLangFile::SearchIdent(uint16_t ident, int lo, int hi) const {
  lo = std::max(lo, 0);
  hi = std::min(hi, GetCount() - 1);
  while (lo <= hi) {
    if (lo == hi) return idents_[static_cast<size_t>(lo)].Ident == ident ? lo : -1;
    int mid = lo + (hi - lo) / 2;
    uint16_t found = idents_[static_cast<size_t>(mid)].Ident;
    if (found > ident)
      hi = mid - 1;
    else if (found < ident)
      lo = mid + 1;
    else
      return mid;
  }
  return -1;
}

TLingroveLangStr* TLingroveLangFile::FindIdent(uint16_t ident) {
  int at = cursor_.index_;
  if (at >= 0 && at < GetCount() && idents_[static_cast<size_t>(at)].Ident == ident)
    return &cursor_;
  int found = SearchIdent(ident, 0, GetCount() - 1);
  if (found < 0) return nullptr;
  cursor_.index_ = found;
  return &cursor_;
}

TLingroveLangStr* TLingroveLangFile::Find(const std::string& objName,
                                          const std::string& propPath) {
  if (!props_.Find(objName, propPath)) return nullptr;
  return FindIdent(props_.GetIdent());
}

int TLingroveLangFile::FindFont(const std::string& name, uint16_t size, uint8_t style) const {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const TLingroveFontItem& f = fonts_[i];
    if (f.Name == name && f.Size == size && f.Style == style) return static_cast<int>(i);
  }
  return -1;
}

void TLingroveLangFile::SetFlag(uint8_t mask, bool on) {
  fileFlags_ = on ? static_cast<uint8_t>(fileFlags_ | mask)
                  : static_cast<uint8_t>(fileFlags_ & ~mask);
}

void TLingroveLangFile::ApplyLocale() const {
  // A file without a locale block leaves the settings as they are.
  if (hasLocale_) locale_.ApplyTo(FormatSettings());
}
