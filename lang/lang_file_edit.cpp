#include "lang/lang_file_edit.h"

#include <algorithm>

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/file_replace.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/sysutils.h"

namespace {

const char* const kCannotWriteMessage = "Language file is already opened by other application";
constexpr size_t kMaxCount = 0xFFFF;
constexpr size_t kMaxPStr = 255;

// Appends little-endian fields to a file image.
class ImageWriter {
public:
  std::string bytes;

  void U8(uint8_t v) { bytes.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void Zeros(size_t count) { bytes.append(count, '\0'); }
  // A length byte and the characters; a longer text is cut to whole characters that fit
  // the field and what the byte can say.
  void PStr(const std::string& s, size_t capacity = kMaxPStr) {
    const std::string cut = AnsiLeftBytes(s, std::min(capacity, kMaxPStr));
    U8(static_cast<uint8_t>(cut.size()));
    bytes += cut;
  }
};

// Writes a locale block field by field (the visitor of TLingroveLocale::ForEachField).
struct LocaleWriter {
  ImageWriter& w;
  void operator()(std::string& s, size_t capacity) { w.PStr(s, capacity); }
  void operator()(uint8_t& v) { w.U8(v); }
  void operator()(char& c) { w.U8(static_cast<uint8_t>(c)); }
  void operator()(int32_t& v) { w.U32(static_cast<uint32_t>(v)); }
  void operator()(uint16_t& v) { w.U16(v); }
};

void RequireCount(size_t count, const char* what) {
  if (count > kMaxCount)
    throw ELangFileError(std::string("Too many ") + what + " for a language file (" +
                         IntToStr(static_cast<int64_t>(count)) + ")");
}

}  // namespace

TLingroveLangFileEdit::TLingroveLangFileEdit(const std::string& fileName)
    : TLingroveLangFile(fileName) {}

TLingroveLangFileEdit::TLingroveLangFileEdit(const std::string& fileName, bool load)
    : TLingroveLangFile(fileName, load) {}

uint16_t TLingroveLangFileEdit::MaxIdent() const {
  return idents_.empty() ? 0 : idents_.back().Ident;
}

int TLingroveLangFileEdit::AddFont(const std::string& name, uint16_t size, uint8_t style) {
  int found = FindFont(name, size, style);
  if (found >= 0) return found;
  fonts_.push_back(TLingroveFontItem{name, size, style});
  return static_cast<int>(fonts_.size()) - 1;
}

int TLingroveLangFileEdit::AddString(uint16_t ident, const std::string& text,
                                     uint16_t fontIndex) {
  TLingroveIdentRec rec;
  rec.Ident = ident;
  rec.Text = text;
  rec.FontIndex = fontIndex;
  auto at = idents_.end();
  if (!idents_.empty() && idents_.back().Ident > ident) {
    at = std::lower_bound(idents_.begin(), idents_.end(), ident,
                          [](const TLingroveIdentRec& e, uint16_t v) { return e.Ident < v; });
  }
  at = idents_.insert(at, std::move(rec));
  ResetCursor();
  return static_cast<int>(at - idents_.begin());
}

int TLingroveLangFileEdit::AddKeyedString(uint16_t ident, const std::string& objName,
                                          const std::string& propPath, uint16_t fontIndex,
                                          const std::string& text) {
  int at = AddString(ident, text, fontIndex);
  props_.Add(objName, propPath, ident);
  return at;
}

void TLingroveLangFileEdit::SetString(uint16_t ident, const std::string& text,
                                      uint16_t fontIndex) {
  int i = SearchIdent(ident, 0, GetCount() - 1);
  if (i < 0) throw Exception("No such Ident number (" + IntToStr(ident) + ")");
  idents_[static_cast<size_t>(i)].Text = text;
  idents_[static_cast<size_t>(i)].FontIndex = fontIndex;
}

void TLingroveLangFileEdit::DeleteString(const std::string& objName,
                                         const std::string& propPath) {
  if (!props_.Find(objName, propPath)) return;
  int i = SearchIdent(props_.GetIdent(), 0, GetCount() - 1);
  // The pair goes in either case: a pair left without its entry would make every later
  // attempt to delete or set it fail again.
  props_.Delete();
  if (i < 0)
    throw ELangStrNotFound("Can't find language string. [" + objName + "." + propPath + "]");
  idents_.erase(idents_.begin() + i);
  ResetCursor();
}

void TLingroveLangFileEdit::Delete(int i) {
  if (i < 0 || i >= GetCount())
    throw EListError("List index out of bounds (" + IntToStr(i) + ")");
  if (props_.FindIdent(idents_[static_cast<size_t>(i)].Ident)) props_.Delete();
  idents_.erase(idents_.begin() + i);
  ResetCursor();
}

void TLingroveLangFileEdit::DeleteObjectStrings(const std::string& objName,
                                                const std::string& pathPrefix) {
  if (pathPrefix.empty()) return;
  // From the end, so that deleting an entry never moves one not yet looked at.
  for (int i = GetCount() - 1; i >= 0; --i) {
    if (!props_.FindIdent(idents_[static_cast<size_t>(i)].Ident)) continue;
    if (!objName.empty() && !SameText(props_.GetObjName(), objName)) continue;
    std::string path = props_.GetPropName();
    if (!SameText(path.substr(0, pathPrefix.size()), pathPrefix)) continue;
    Delete(i);
  }
}

void TLingroveLangFileEdit::CaptureLocale() {
  locale_.CaptureFrom(FormatSettings());
  hasLocale_ = true;
}

void TLingroveLangFileEdit::CheckCounts() const {
  RequireCount(stringList_.size(), "string list lines");
  RequireCount(static_cast<size_t>(props_.ObjectCount()), "objects");
  props_.ForEachObject([](const std::string&, const TLingroveLangProps::PropMap& paths) {
    RequireCount(paths.size(), "property paths in one object");
  });
  RequireCount(idents_.size(), "entries");
}

std::string TLingroveLangFileEdit::BuildImage() {
  ImageWriter w;
  w.bytes = "LF3.10";
  w.U8(fileFlags_);
  w.U8(hasLocale_ ? 1 : 0);
  if (hasLocale_) locale_.ForEachField(LocaleWriter{w});
  w.U8(textDirection_);
  w.Zeros(10);

  w.U8(fontCharset_);
  w.U32(static_cast<uint32_t>(fonts_.size()));
  for (const TLingroveFontItem& f : fonts_) {
    w.PStr(f.Name);
    w.U16(f.Size);
    w.U8(f.Style);
  }
  w.Zeros(20);

  w.U16(static_cast<uint16_t>(stringList_.size()));
  for (const std::string& line : stringList_) w.PStr(line);

  w.U16(static_cast<uint16_t>(props_.ObjectCount()));
  props_.ForEachObject([&w](const std::string& name, const TLingroveLangProps::PropMap& paths) {
    w.PStr(name);
    w.U16(static_cast<uint16_t>(paths.size()));
    for (const auto& p : paths) {
      w.PStr(p.first);
      w.U16(p.second);
    }
  });

  // A language other than the base one drops the texts of entries that are not to be
  // translated; the base file keeps them.
  const bool native = HasFlag(lfNative);
  std::string pool;
  w.U16(static_cast<uint16_t>(idents_.size()));
  for (TLingroveIdentRec& e : idents_) {
    if ((e.Flags & lsDoNotTranslate) && !native) {
      e.Offset = kNoTextOffset;
    } else {
      if (pool.size() >= kNoTextOffset) throw ELangFileError("Language file texts too long");
      e.Offset = static_cast<uint32_t>(pool.size());
      pool.append(e.Text);
      pool.push_back('\0');
    }
    w.U8(e.Flags);
    w.U16(e.Ident);
    w.U32(e.Offset);
    w.U16(e.FontIndex);
  }
  w.bytes.append(pool);
  return std::move(w.bytes);
}

void TLingroveLangFileEdit::Save() {
  CheckCounts();
  std::string image = BuildImage();
  CloseStream();
  try {
    WriteFileAtomically(fileName_, image);
  } catch (const Exception&) {
    throw ELangFileError(kCannotWriteMessage);
  }
  // The object now describes the file as written.
  magic_ = "LF";
  versionText_ = "3.10";
  version_ = 3.1;
  offsetWidth_ = 4;
  isEmpty_ = false;
}
