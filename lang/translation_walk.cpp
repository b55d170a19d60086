#include "lang/translation_walk.h"

#include <algorithm>

#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

bool HasText(const std::string& text) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u > '9' && !(u >= ':' && u <= '?') && !(u >= '[' && u <= '^')) return true;
  }
  return false;
}

// ---- Rules -------------------------------------------------------------------------------

void TLangRules::Assign(const TStrings& rules) {
  rules_.clear();
  for (int i = 0; i < rules.Count(); ++i) rules_.insert(LowerCase(rules.Strings(i)));
}

void TLangRules::Merge(const TStrings& localRules, const TStrings& globalRules) {
  Assign(localRules);
  for (int i = 0; i < globalRules.Count(); ++i) rules_.insert(LowerCase(globalRules.Strings(i)));
}

bool TLangRules::Contains(const std::string& rule) const {
  return rules_.count(LowerCase(rule)) != 0;
}

bool TLangRules::IsTranslatable(const std::string& className, const std::string& objPath,
                                const std::string& propName) const {
  const size_t dot = objPath.rfind('.');
  const std::string object = dot == std::string::npos ? objPath : objPath.substr(dot + 1);
  return !Contains("-" + className) && !Contains("-" + object) &&
         !Contains("-" + object + "." + propName) &&
         (Contains("+" + propName) || Contains("+" + className + "." + propName)) &&
         !Contains("-" + className + "." + propName);
}

// ---- The walk ----------------------------------------------------------------------------

namespace {

enum TLangWalkMode { wmCollect, wmTranslate, wmRemove };

// What the visitor is handed: a string property, a string list standing for the property
// that holds it, or a list-view item's caption.
enum class Target { Property, StringList, ListItem };

std::string Join(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + "." + name;
}

// True when obj's class is className or derives from it.
bool InheritsFromClass(const TPersistent* obj, const char* className) {
  for (const ClassInfo* c = obj->GetClassInfo(); c != nullptr; c = c->Parent)
    if (c->Name == className) return true;
  return false;
}

// Property access that leaves objects without the property (or with another kind of it)
// alone. An ordinal outside the property's range is not written.
bool SetOrdinal(TPersistent* obj, const char* name, long long value) {
  const PropInfo* p = FindProp(obj, name);
  if (p == nullptr || !p->IsOrdinal() || !p->SetOrd || value < p->MinValue || value > p->MaxValue)
    return false;
  SetOrdProp(obj, *p, value);
  return true;
}

long long GetOrdinal(const TPersistent* obj, const char* name, long long fallback) {
  const PropInfo* p = FindProp(obj, name);
  return p != nullptr && p->IsOrdinal() ? GetOrdProp(obj, *p) : fallback;
}

const PropInfo* StringProp(const TPersistent* obj, const char* name) {
  const PropInfo* p = FindProp(obj, name);
  return p != nullptr && p->Kind == TTypeKind::String ? p : nullptr;
}

TPersistent* ObjectProp(const TPersistent* obj, const char* name) {
  const PropInfo* p = FindProp(obj, name);
  return p != nullptr && p->Kind == TTypeKind::Class ? GetObjProp(obj, *p) : nullptr;
}

// Font style bits as the language file keeps them: bold, italic, underline, strike-out.
constexpr long long kFontStyleBits = 0x0F;

void ApplyFont(TPersistent* font, const TLingroveFontItem& item) {
  if (const PropInfo* name = StringProp(font, "Name")) {
    if (name->SetStr) SetStrProp(font, *name, item.Name);
  }
  SetOrdinal(font, "Size", item.Size);
  SetOrdinal(font, "Style", item.Style & kFontStyleBits);
}

// A combo box's chosen item, kept across a change of its texts. When the new item list is
// shorter than the item chosen, nothing is chosen afterwards.
class ComboChoice {
public:
  explicit ComboChoice(TComponent* component) {
    if (component != nullptr && InheritsFromClass(component, "TCustomComboBox")) {
      combo_ = component;
      index_ = GetOrdinal(component, "ItemIndex", -1);
    }
  }
  void Restore() const {
    if (combo_ == nullptr) return;
    long long index = index_;
    if (auto* items = dynamic_cast<TStrings*>(ObjectProp(combo_, "Items")))
      if (index >= items->Count()) index = -1;
    SetOrdinal(combo_, "ItemIndex", index);
  }

private:
  TComponent* combo_ = nullptr;
  long long index_ = -1;
};

class Walk {
public:
  Walk(TComponent* form, const TLangRules& rules, TLangWalkMode mode)
      : form_(form), formName_(form->Name()), rules_(rules), mode_(mode) {}

  // Where character set and text direction come from (nullptr: 0 for both).
  const TLingroveLangFile* look = nullptr;
  // Translate: the entries applied.
  TLingroveLangFile* entries = nullptr;
  // Collect and remove: the file changed.
  TLingroveLangFileEdit* edit = nullptr;
  bool addNew = true;

  void WalkObject(TPersistent* obj, const std::string& path, bool listItem = false);

private:
  void WalkChildren(TPersistent* obj, const std::string& path, bool listItem);
  void EnterFont(TPersistent* obj);
  void Visit(TPersistent* obj, const std::string& path, const PropInfo* prop, Target target);
  void Apply(TPersistent* obj, const PropInfo* prop, const std::string& key);
  void Collect(TPersistent* obj, const PropInfo* prop, const std::string& key);
  uint16_t NextIdent() const;

  TComponent* form_;
  std::string formName_;
  const TLangRules& rules_;
  TLangWalkMode mode_;
  // The font of the object most recently met that has one: an object without a font of its
  // own (a menu item) takes the font of the object walked before it.
  TPersistent* curFont_ = nullptr;
  uint16_t curFontIndex_ = 0;
  TComponent* curComp_ = nullptr;
  // The objects being walked, outermost first: a property leading back up is not followed.
  std::vector<const TPersistent*> walking_;
};

struct ListItemCaptionAccess {
  TListItemCaptionGet get = nullptr;
  TListItemCaptionSet set = nullptr;
};

ListItemCaptionAccess& ItemAccess() {
  static ListItemCaptionAccess access;
  return access;
}

// The text of a string list or of a list-view item: through the string-list role, or for an
// item through the installed access.
bool GetRoleText(const TPersistent* obj, std::string& text) {
  if (obj->GetAsText(text)) return true;
  return ItemAccess().get != nullptr && ItemAccess().get(obj, text);
}

// Text of a string property, or of a string list or list-view item (prop nullptr).
std::string ReadText(const TPersistent* obj, const PropInfo* prop) {
  if (prop != nullptr) return GetStrProp(obj, *prop);
  std::string text;
  GetRoleText(obj, text);
  return text;
}

void WriteText(TPersistent* obj, const PropInfo* prop, const std::string& text) {
  if (prop != nullptr)
    SetStrProp(obj, *prop, text);
  else if (!obj->SetAsText(text) && ItemAccess().set != nullptr)
    ItemAccess().set(obj, text);
}

void Walk::WalkObject(TPersistent* obj, const std::string& path, bool listItem) {
  if (obj == nullptr || dynamic_cast<TLangFormTranslator*>(obj) != nullptr) return;
  if (std::find(walking_.begin(), walking_.end(), obj) != walking_.end()) return;
  if (auto* component = dynamic_cast<TComponent*>(obj)) {
    // Only the form and what it owns itself: the parts of a component are its own business.
    if (component != form_ && component->Owner() != form_) return;
    curComp_ = component;
  }
  walking_.push_back(obj);
  struct Leave {
    std::vector<const TPersistent*>& walking;
    ~Leave() { walking.pop_back(); }
  } leave{walking_};

  if (obj->GetClassInfo() != nullptr) {
    if (mode_ != wmRemove) {
      EnterFont(obj);
      const long long direction = look != nullptr ? look->TextDirection() : 0;
      // A direction the object does not know reads as left to right.
      if (!SetOrdinal(obj, "BiDiMode", direction)) SetOrdinal(obj, "BiDiMode", 0);
    }
    for (const PropInfo* p : PublishedProps(obj)) {
      if (p->Kind == TTypeKind::String) {
        // A read-only text can never take a translation.
        if (p->SetStr) Visit(obj, path, p, Target::Property);
      } else if (p->Kind == TTypeKind::Class && !IsComponentClass(p->DeclaredClass)) {
        TPersistent* value = GetObjProp(obj, *p);
        if (value != nullptr && dynamic_cast<TComponent*>(value) == nullptr)
          WalkObject(value, Join(path, p->Name));
      }
    }
  }
  WalkChildren(obj, path, listItem);
}

void Walk::WalkChildren(TPersistent* obj, const std::string& path, bool listItem) {
  if (auto* component = dynamic_cast<TComponent*>(obj)) {
    for (int i = 0; i < component->ComponentCount(); ++i) {
      TComponent* child = component->Components(i);
      if (!child->Name().empty()) WalkObject(child, Join(path, child->Name()));
    }
    return;
  }
  if (obj->ListedItemCount() >= 0) {
    // Anything listing items that is not a collection is a list view's item list.
    const bool listView = dynamic_cast<TCollection*>(obj) == nullptr;
    if (listView && mode_ == wmRemove) {
      edit->DeleteObjectStrings(formName_, path + ".");
      return;
    }
    for (int i = 0; i < obj->ListedItemCount(); ++i)
      WalkObject(obj->ListedItem(i), Join(path, "Item" + std::to_string(i)), listView);
    return;
  }
  std::string text;
  if (!listItem) {
    if (obj->GetAsText(text)) Visit(obj, path, nullptr, Target::StringList);
  } else if (StringProp(obj, "Caption") == nullptr && GetRoleText(obj, text)) {
    // (a published caption was visited with the other properties)
    Visit(obj, path, nullptr, Target::ListItem);
  }
}

void Walk::EnterFont(TPersistent* obj) {
  TPersistent* font = ObjectProp(obj, "Font");
  if (font == nullptr) return;
  curFont_ = font;
  if (mode_ == wmTranslate) {
    SetOrdinal(font, "Charset", look != nullptr ? look->FontCharset() : 0);
  } else if (mode_ == wmCollect) {
    const PropInfo* name = StringProp(font, "Name");
    const long long size = std::clamp(GetOrdinal(font, "Size", 0), 0LL, 0xFFFFLL);
    const long long style = GetOrdinal(font, "Style", 0) & kFontStyleBits;
    const int index = edit->AddFont(name != nullptr ? GetStrProp(font, *name) : std::string(),
                                    static_cast<uint16_t>(size), static_cast<uint8_t>(style));
    curFontIndex_ = static_cast<uint16_t>(index + 1);
  }
}

void Walk::Visit(TPersistent* obj, const std::string& path, const PropInfo* prop, Target target) {
  std::string objPath = path;
  std::string name;
  if (target == Target::StringList) {
    // A string list stands for the property holding it: "Memo1.Lines" is Memo1's Lines.
    const size_t dot = path.rfind('.');
    objPath = dot == std::string::npos ? std::string() : path.substr(0, dot);
    name = dot == std::string::npos ? path : path.substr(dot + 1);
  } else {
    name = target == Target::ListItem ? "Caption" : prop->Name;
  }
  if (!rules_.IsTranslatable(obj->ClassName(), objPath, name)) return;
  const std::string key = Join(objPath, name);
  switch (mode_) {
    case wmTranslate:
      Apply(obj, prop, key);
      break;
    case wmCollect:
      Collect(obj, prop, key);
      break;
    case wmRemove:
      edit->DeleteString(formName_, key);
      break;
  }
}

void Walk::Apply(TPersistent* obj, const PropInfo* prop, const std::string& key) {
  TLingroveLangStr* entry = entries != nullptr ? entries->Find(formName_, key) : nullptr;
  if (entry == nullptr || entry->HasFlag(lsDoNotTranslate)) return;
  // The entry describes its text only until the next lookup in the file.
  const std::string text = entry->GetText();
  const int fontIndex = entry->GetFontIndex();
  const ComboChoice choice(curComp_);
  WriteText(obj, prop, text);
  if (curFont_ != nullptr && fontIndex >= 1 && fontIndex <= entries->FontCount())
    ApplyFont(curFont_, entries->Fonts(fontIndex - 1));
  choice.Restore();
}

void Walk::Collect(TPersistent* obj, const PropInfo* prop, const std::string& key) {
  const std::string value = ReadText(obj, prop);
  const bool worth = HasText(value);
  TLingroveLangProps& map = edit->Props();
  if (map.Find(formName_, key)) {
    const uint16_t ident = map.GetIdent();
    if (!worth)
      edit->DeleteString(formName_, key);
    else if (edit->SearchIdent(ident, 0, edit->GetCount() - 1) >= 0)
      edit->SetString(ident, value, curFontIndex_);
    else if (addNew)  // the key had lost its entry: it gets a new one
      edit->AddKeyedString(NextIdent(), formName_, key, curFontIndex_, value);
  } else if (worth && addNew) {
    edit->AddKeyedString(NextIdent(), formName_, key, curFontIndex_, value);
  }
}

uint16_t Walk::NextIdent() const {
  const uint16_t highest = edit->MaxIdent();
  if (highest == 0xFFFF) throw ELangFileError("No free string number left in " + edit->FileName());
  return static_cast<uint16_t>(highest + 1);
}

}  // namespace

void SetListItemCaptionAccess(TListItemCaptionGet get, TListItemCaptionSet set) {
  ItemAccess().get = get;
  ItemAccess().set = set;
}

void TranslateForm(TComponent* form, const TLangRules& rules, TLingroveLangFile* file) {
  Walk walk(form, rules, wmTranslate);
  walk.look = file;
  walk.entries = file;
  walk.WalkObject(form, "");
}

void CollectFormStrings(TComponent* form, const TLangRules& rules, TLingroveLangFileEdit& edit,
                        const TLingroveLangFile* current, bool addNew) {
  Walk walk(form, rules, wmCollect);
  walk.look = current;
  walk.edit = &edit;
  walk.addNew = addNew;
  walk.WalkObject(form, "");
}

void RemoveComponentStrings(TComponent* form, TComponent* component, const TLangRules& rules,
                            TLingroveLangFileEdit& edit) {
  if (component != form && component->Name().empty()) return;  // it never had a key
  Walk walk(form, rules, wmRemove);
  walk.edit = &edit;
  walk.WalkObject(component, component == form ? std::string() : component->Name());
}

// ---- Rename tracking ---------------------------------------------------------------------

namespace {

using PathIdents = std::vector<std::pair<std::string, uint16_t>>;

// The pairs of one object of the property map.
PathIdents PairsOf(const TLingroveLangProps& map, const std::string& objName) {
  PathIdents pairs;
  map.ForEachObject([&](const std::string& name, const TLingroveLangProps::PropMap& paths) {
    if (SameText(name, objName))
      for (const auto& p : paths) pairs.emplace_back(p.first, p.second);
  });
  return pairs;
}

struct Move {
  std::string from;
  std::string to;
  uint16_t ident;
};

// Takes every pair to move out of fromObj first, then enters each under toObj, where a pair
// already standing at the new path is stale: it goes with its entry.
void ApplyMoves(TLingroveLangFileEdit& edit, const std::string& fromObj, const std::string& toObj,
                const std::vector<Move>& moves) {
  TLingroveLangProps& map = edit.Props();
  for (const Move& m : moves)
    if (map.Find(fromObj, m.from)) map.Delete();
  for (const Move& m : moves) {
    try {
      edit.DeleteString(toObj, m.to);
    } catch (const ELangStrNotFound&) {
      // The stale pair had no entry; it is gone all the same.
    }
    map.Add(toObj, m.to, m.ident);
  }
}

}  // namespace

TLangCompList TakeCompSnapshot(const TComponent* form) {
  TLangCompList snapshot;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* component = form->Components(i);
    if (dynamic_cast<TLangFormTranslator*>(component) == nullptr)
      snapshot.push_back({component, component->Name()});
  }
  return snapshot;
}

void TrackRenames(TLingroveLangFileEdit& edit, std::string& formNameSnapshot,
                  TLangCompList& snapshot, const TComponent* form) {
  const std::string& formName = form->Name();
  if (formName != formNameSnapshot && !formName.empty()) {
    std::vector<Move> moves;
    for (const auto& [path, ident] : PairsOf(edit.Props(), formNameSnapshot))
      moves.push_back({path, path, ident});
    ApplyMoves(edit, formNameSnapshot, formName, moves);
    formNameSnapshot = formName;
  }

  std::vector<std::pair<std::string, std::string>> renames;  // old name, new name
  for (const TLangCompRec& rec : snapshot) {
    const std::string& now = rec.Component->Name();
    if (now != rec.Name && !rec.Name.empty() && !now.empty()) renames.emplace_back(rec.Name, now);
  }
  if (!renames.empty()) {
    std::vector<Move> moves;
    for (const auto& [path, ident] : PairsOf(edit.Props(), formName)) {
      const size_t dot = path.find('.');
      if (dot == std::string::npos) continue;  // the form's own properties
      for (const auto& [oldName, newName] : renames) {
        if (SameText(path.substr(0, dot), oldName)) {
          moves.push_back({path, newName + path.substr(dot), ident});
          break;
        }
      }
    }
    ApplyMoves(edit, formName, formName, moves);
  }
  snapshot = TakeCompSnapshot(form);
}
