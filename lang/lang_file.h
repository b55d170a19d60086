#pragma once
// The language file (".lng"): every translatable text of the program for one language, keyed
// by (form name, property path) and by a 16-bit string number (the "ident"), plus a font
// table, the text direction and an optional locale block that replaces the process format
// settings while the language is current. TLingroveLangFile reads such a file and answers
// lookups; TLingroveLangFileEdit (lang_file_edit.h) changes and writes it.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/persistent.h"

struct TFormatSettings;
class TFileStream;

HL_DECLARE_EXCEPTION(ELangFileError, Exception);
HL_DECLARE_EXCEPTION(ELangStrNotFound, Exception);

// Raised when a file does not start with the two magic characters.
extern const char* const kLangFileBadMagicMessage;

// Appends ".lng" when the file-name part does not contain ".lng" (in any letter case) and
// puts the current directory in front of a name without a directory part. The caller's
// letter case is kept.
std::string NormalizeLangFileName(const std::string& fileName);

// The process's current directory (without a trailing delimiter).
std::string LangCurrentDir();

// File flag bit 0: the base-language file, which keeps the texts of entries marked
// "do not translate" when written.
constexpr uint8_t lfNative = 0x01;
// Entry flag bit 0: the entry's text is not to be translated.
constexpr uint8_t lsDoNotTranslate = 0x01;

// One entry of the ident table.
struct TLingroveIdentRec {
  uint8_t Flags = 0;
  uint16_t Ident = 0;
  uint32_t Offset = 0;  // into the text pool; 0xFFFFFFFF = no text
  std::string Text;
  uint16_t FontIndex = 0;  // 1-based into the font table, 0 = none
};

constexpr uint32_t kNoTextOffset = 0xFFFFFFFFu;

// One font of the font table. Style bits: 0 bold, 1 italic, 2 underline, 3 strike-out.
struct TLingroveFontItem {
  std::string Name;
  uint16_t Size = 0;
  uint8_t Style = 0;
};

// The locale block: the values a language gives the process format settings. Texts hold at
// most the capacity given next to them; longer ones are cut when read or captured.
struct TLingroveLocale {
  std::string CurrencyString;  // 10
  uint8_t CurrencyFormat = 0;
  uint8_t NegCurrFormat = 0;
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  uint8_t CurrencyDecimals = 0;
  char DateSeparator = '/';
  std::string ShortDateFormat;  // 12
  std::string LongDateFormat;   // 30
  char TimeSeparator = ':';
  std::string TimeAMString;     // 6
  std::string TimePMString;     // 6
  std::string ShortTimeFormat;  // 20
  std::string LongTimeFormat;   // 20
  std::array<std::string, 12> ShortMonthNames;  // 6 each, January first
  std::array<std::string, 12> LongMonthNames;   // 20 each
  std::array<std::string, 7> ShortDayNames;     // 6 each, Sunday first
  std::array<std::string, 7> LongDayNames;      // 20 each
  std::array<std::string, 7> EraNames;          // 10 each
  std::array<int32_t, 7> EraYearOffsets{};
  uint16_t TwoDigitYearCenturyWindow = 0;
  char ListSeparator = ',';

  // Calls the visitor once per field in file order, with the field and (for texts) its
  // capacity: f(std::string&, size_t), f(uint8_t&), f(char&), f(int32_t&), f(uint16_t&).
  // The reader and the writer both go through this, so they cannot disagree on the layout.
  template <class F>
  void ForEachField(F&& f) {
    f(CurrencyString, size_t{10});
    f(CurrencyFormat);
    f(NegCurrFormat);
    f(ThousandSeparator);
    f(DecimalSeparator);
    f(CurrencyDecimals);
    f(DateSeparator);
    f(ShortDateFormat, size_t{12});
    f(LongDateFormat, size_t{30});
    f(TimeSeparator);
    f(TimeAMString, size_t{6});
    f(TimePMString, size_t{6});
    f(ShortTimeFormat, size_t{20});
    f(LongTimeFormat, size_t{20});
    for (auto& s : ShortMonthNames) f(s, size_t{6});
    for (auto& s : LongMonthNames) f(s, size_t{20});
    for (auto& s : ShortDayNames) f(s, size_t{6});
    for (auto& s : LongDayNames) f(s, size_t{20});
    for (auto& s : EraNames) f(s, size_t{10});
    for (auto& v : EraYearOffsets) f(v);
    f(TwoDigitYearCenturyWindow);
    f(ListSeparator);
  }

  // Copies every value into the settings (all 22 of them).
  void ApplyTo(TFormatSettings& settings) const;
  // Takes every value from the settings, each text cut to its capacity.
  void CaptureFrom(const TFormatSettings& settings);
};

// The property map: (object name, property path) -> ident. Object names and the paths within
// one object are unique and ordered ignoring ASCII letter case. A cursor marks one pair.
class TLingroveLangProps : public TObject {
public:
  TLingroveLangProps();
  // The cursor refers into the object's own tables.
  TLingroveLangProps(const TLingroveLangProps&) = delete;
  TLingroveLangProps& operator=(const TLingroveLangProps&) = delete;
  std::string ClassName() const override { return "TLingroveLangProps"; }

  // Enters the pair; an existing path (ignoring case) takes the new ident and keeps its
  // spelling. The cursor is placed on the pair.
  void Add(const std::string& objName, const std::string& propPath, uint16_t ident);
  // Places the cursor on the pair; false (and no cursor) when it is not there.
  bool Find(const std::string& objName, const std::string& propPath);
  // Places the cursor on the first pair carrying the ident, objects and paths in order.
  bool FindIdent(uint16_t ident);

  bool HasCursor() const { return hasCursor_; }
  // The pair at the cursor; GetIdent raises Exception("No such property") without one, the
  // names are empty then.
  uint16_t GetIdent() const;
  std::string GetObjName() const;
  std::string GetPropName() const;

  // Renames the object at the cursor. A name already used by another object merges the two
  // (the moved paths win); an empty name deletes the object with all its paths.
  void SetObjName(const std::string& newName);
  // Renames the path at the cursor. A path already present in the object is replaced by the
  // renamed pair; an empty path deletes the pair (and the object when it is left empty).
  void SetPropName(const std::string& newPath);
  // Deletes the pair at the cursor (and its object when it is left empty).
  void Delete();
  // In the object at the cursor, every path that starts with oldName + "." starts with
  // newName + "." afterwards. A renamed path that meets an existing one replaces it.
  void ReplacePrefix(const std::string& oldName, const std::string& newName);
  void Clear();

  int ObjectCount() const { return static_cast<int>(objects_.size()); }
  int PairCount() const { return pairCount_; }

  // Visits every object in order with its pairs in order: f(objName, paths) where paths is
  // a sequence of (path, ident).
  template <class F>
  void ForEachObject(F&& f) const {
    for (const auto& o : objects_) f(o.second.Name, o.second.Props);
  }

  // Ordering of names: ASCII letters folded to lower case, bytes compared unsigned.
  struct FoldLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  using PropMap = std::map<std::string, uint16_t, FoldLess>;  // path -> ident

private:
  struct Object {
    std::string Name;  // as first entered
    PropMap Props;
  };
  using ObjectMap = std::map<std::string, Object, FoldLess>;
  // Every pair by ident, ordered as objects and paths are, so the first element of an
  // ident's set is the first pair carrying it.
  using PairKey = std::pair<std::string, std::string>;
  struct PairLess {
    bool operator()(const PairKey& a, const PairKey& b) const;
  };

  void IndexAdd(uint16_t ident, const std::string& obj, const std::string& path);
  void IndexRemove(uint16_t ident, const std::string& obj, const std::string& path);
  // Removes one pair; the object goes too when it is left empty. Clears the cursor.
  void ErasePair(ObjectMap::iterator obj, PropMap::iterator prop);
  void Place(ObjectMap::iterator obj, PropMap::iterator prop);
  void RequireCursor() const;

  ObjectMap objects_;
  std::map<uint16_t, std::set<PairKey, PairLess>> byIdent_;
  int pairCount_ = 0;
  bool hasCursor_ = false;
  ObjectMap::iterator curObj_;
  PropMap::iterator curProp_;
};

class TLingroveLangFile;

// The cursor on one entry of a file. Each file has one, reused by every lookup: what a
// lookup returns describes its entry only until the next lookup on the same file.
class TLingroveLangStr : public TObject {
public:
  explicit TLingroveLangStr(TLingroveLangFile* owner) : owner_(owner) {}
  std::string ClassName() const override { return "TLingroveLangStr"; }

  int Index() const { return index_; }
  uint16_t GetIdent() const;
  const std::string& GetText() const;
  uint16_t GetFontIndex() const;
  // True when all bits of the mask are set in the entry's flags.
  bool HasFlag(uint8_t mask) const;
  // The text holds a carriage return.
  bool IsMultiLine() const;
  // The first pair of the property map (objects in order) that carries the entry's ident;
  // empty when there is none.
  std::string GetObjName() const;
  std::string GetPropName() const;
  // Gives the first pair carrying the entry's ident the new path (nothing without a pair).
  void SetPropName(const std::string& newPath);

private:
  friend class TLingroveLangFile;
  const TLingroveIdentRec& Rec() const;
  TLingroveLangFile* owner_;
  int index_ = -1;
};

class TLingroveLangFile : public TObject {
public:
  // Normalises the name (NormalizeLangFileName) and loads the file. A missing, locked or
  // empty file gives an empty object; a wrong magic raises Exception with
  // kLangFileBadMagicMessage; a bad version text EConvertError; a short or inconsistent
  // file EReadError.
  explicit TLingroveLangFile(const std::string& fileName);
  // The same, reading the file only when load is set; otherwise the object starts empty.
  TLingroveLangFile(const std::string& fileName, bool load);
  ~TLingroveLangFile() override;
  TLingroveLangFile(const TLingroveLangFile&) = delete;
  TLingroveLangFile& operator=(const TLingroveLangFile&) = delete;
  std::string ClassName() const override { return "TLingroveLangFile"; }

  // Opens the file for reading while others may only read it; false on any failure.
  virtual bool OpenStream(const std::string& name);
  // Opens the stream when none is open and reads the whole file. The stream stays open, so
  // the file cannot be written while the object lives (until Save or destruction).
  virtual void Load();
  // Reads a complete file image held in memory, replacing the content. On an error the
  // object is left empty and the error propagates.
  void LoadFromImage(const std::string& bytes);

  const std::string& FileName() const { return fileName_; }
  bool IsEmpty() const { return isEmpty_; }
  double Version() const { return version_; }
  const std::string& VersionText() const { return versionText_; }

  int GetCount() const { return static_cast<int>(idents_.size()); }
  // The cursor placed on entry i; nullptr when i is out of range.
  TLingroveLangStr* GetItem(int i);
  // The cursor on the entry with this ident (without a search when it already stands on
  // one), or nullptr.
  TLingroveLangStr* FindIdent(uint16_t ident);
  // Binary search of entries lo..hi (the table is in ascending ident order); -1 = none.
  int SearchIdent(uint16_t ident, int lo, int hi) const;
  // The entry of the pair (object, path), or nullptr.
  TLingroveLangStr* Find(const std::string& objName, const std::string& propPath);

  // Index of the first font with the same name (exact), size and style, or -1.
  int FindFont(const std::string& name, uint16_t size, uint8_t style) const;
  int FontCount() const { return static_cast<int>(fonts_.size()); }
  const TLingroveFontItem& Fonts(int i) const { return fonts_.at(static_cast<size_t>(i)); }
  uint8_t FontCharset() const { return fontCharset_; }
  void SetFontCharset(uint8_t charset) { fontCharset_ = charset; }
  uint8_t TextDirection() const { return textDirection_; }
  void SetTextDirection(uint8_t direction) { textDirection_ = direction; }

  // True when all bits of the mask are set in the file flags.
  bool HasFlag(uint8_t mask) const { return (fileFlags_ & mask) == mask; }
  void SetFlag(uint8_t mask, bool on);

  bool HasLocale() const { return hasLocale_; }
  const TLingroveLocale& Locale() const { return locale_; }
  // Copies the locale block into the process format settings.
  void ApplyLocale() const;

  TLingroveLangProps& Props() { return props_; }
  const TLingroveLangProps& Props() const { return props_; }
  // The string list kept from the file and written back unchanged.
  const std::vector<std::string>& StringList() const { return stringList_; }
  const std::vector<TLingroveIdentRec>& Idents() const { return idents_; }

protected:
  // Frees the content (entries, map, fonts, locale, flags); IsEmpty becomes true.
  void ClearContent();
  // Closes the open stream, ending the write lock on the file.
  void CloseStream();
  // Moves a multi-line text stored under "<path>.Text" to "<path>" (files before 3.0).
  void FixLegacyTextKeys();
  // Entries were inserted or deleted: the cursor no longer stands on a known entry.
  void ResetCursor() { cursor_.index_ = -1; }

  friend class TLingroveLangStr;

  double version_ = 0;
  std::unique_ptr<TFileStream> stream_;
  TLingroveLangProps props_;
  std::vector<std::string> stringList_;
  std::vector<TLingroveIdentRec> idents_;
  std::string fileName_;
  bool isEmpty_ = true;
  int offsetWidth_ = 4;
  bool hasLocale_ = false;
  uint8_t fontCharset_ = 0;
  std::vector<TLingroveFontItem> fonts_;
  TLingroveLangStr cursor_{this};
  uint8_t textDirection_ = 0;
  std::string magic_;
  std::string versionText_;
  uint8_t fileFlags_ = 0;
  TLingroveLocale locale_;
};
