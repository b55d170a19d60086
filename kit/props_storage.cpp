#include "kit/props_storage.h"

#include <memory>

#include "kit/str_utils.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"

namespace {

// Words of a stored set.
const char* const SetDelimiters = " ,[]";
// Sets hold the members of ordinals 0..31.
constexpr int MaxSetOrdinal = 31;
const char* const NullReference = "(null)";

// A default no store can give back (stored texts hold no NUL byte): a value read with it
// and answered with it is absent.
const std::string& Absent() {
  static const std::string absent("\0absent", 7);
  return absent;
}

TStrings* AsLines(TPersistent* object) { return dynamic_cast<TStrings*>(object); }
TCollection* AsCollection(TPersistent* object) { return dynamic_cast<TCollection*>(object); }

bool IsReference(const PropInfo& prop) {
  return prop.Kind == TTypeKind::Class && IsComponentClass(prop.DeclaredClass);
}

// Strings are stored also when empty, so that an emptied text is kept.
bool StoredWhenEmpty(const PropInfo& prop) { return prop.Kind == TTypeKind::String; }

std::string SetText(const EnumInfo* type, long long mask) {
  std::string text;
  const int last = type == nullptr ? -1 : static_cast<int>(type->Names.size()) - 1;
  for (int i = 0; i <= last && i <= MaxSetOrdinal; ++i) {
    if ((mask & (1LL << i)) == 0) continue;
    if (!text.empty()) text += ',';
    text += type->Names[static_cast<size_t>(i)];
  }
  return "[" + text + "]";
}

long long SetFromText(const EnumInfo* type, const std::string& text) {
  long long mask = 0;
  const int words = CountWords(text, SetDelimiters);
  for (int n = 1; n <= words; ++n) {
    const int ordinal = GetEnumValue(type, GetWord(n, text, SetDelimiters));
    if (ordinal >= 0 && ordinal <= MaxSetOrdinal) mask |= 1LL << ordinal;
  }
  return mask;
}

// A number of the text; text that is no number gives 0.
long long NumberOrZero(const std::string& text) {
  int64_t value;
  return TryStrToInt64(text, value) ? value : 0;
}

// The class name of a component without its leading "T".
std::string BareClassName(const TComponent* component) {
  std::string name = component->ClassName();
  if (!name.empty() && (name[0] == 'T' || name[0] == 't')) name.erase(0, 1);
  return name;
}

TTopLevelComponentsFn topLevelSource = nullptr;

}  // namespace

// ---- TPropInfoList ------------------------------------------------------------------------

TPropInfoList::TPropInfoList(const TPersistent* object) {
  for (const PropInfo* prop : PublishedProps(object))
    if (prop->Kind != TTypeKind::Method) props_.push_back(prop);
}

const PropInfo* TPropInfoList::FindByName(const std::string& name) const {
  for (const PropInfo* prop : props_)
    if (SameText(prop->Name, name)) return prop;
  return nullptr;
}

// ---- Stored lists -------------------------------------------------------------------------

std::string MakeStoredItem(const std::string& component, const std::string& property) {
  return component.empty() || property.empty() ? std::string() : component + "." + property;
}

bool SplitStoredItem(const std::string& item, std::string& component, std::string& property) {
  const size_t dot = item.find('.');
  if (dot == std::string::npos) return false;
  std::string left = Trim(item.substr(0, dot));
  std::string right = Trim(item.substr(dot + 1));
  if (left.empty() || right.empty()) return false;
  component = std::move(left);
  property = std::move(right);
  return true;
}

std::string RenameStoredItem(const std::string& item, const std::string& component) {
  std::string oldComponent, property;
  if (!SplitStoredItem(item, oldComponent, property)) return std::string();
  return MakeStoredItem(component, property);
}

void SyncStoredList(TComponent* root, TStrings* storedList, bool fromForm) {
  if (storedList == nullptr) return;
  for (int i = storedList->Count() - 1; i >= 0; --i) {
    std::string component, property;
    if (!SplitStoredItem(storedList->Strings(i), component, property)) {
      storedList->Delete(i);
    } else if (fromForm) {
      TComponent* bound = root != nullptr ? root->FindComponent(component) : nullptr;
      if (bound != nullptr)
        storedList->SetObjects(i, bound);
      else
        storedList->Delete(i);
    } else if (auto* bound = dynamic_cast<TComponent*>(storedList->Objects(i))) {
      storedList->SetStrings(i, MakeStoredItem(bound->Name(), property));
    } else {
      storedList->Delete(i);
    }
  }
}

TTopLevelComponentsFn SetTopLevelComponents(TTopLevelComponentsFn source) {
  TTopLevelComponentsFn previous = topLevelSource;
  topLevelSource = source;
  return previous;
}

TComponent* FindTopLevelComponent(const std::string& name) {
  if (topLevelSource == nullptr) return nullptr;
  for (TComponent* component : topLevelSource())
    if (component != nullptr && SameText(component->Name(), name)) return component;
  return nullptr;
}

TStringList* BuildPropListIndex(TComponent* root, TStrings* storedList) {
  SyncStoredList(root, storedList, false);
  auto index = std::make_unique<TStringList>();
  index->SetSorted(true);
  for (int i = 0; i < storedList->Count(); ++i) {
    auto* component = dynamic_cast<TComponent*>(storedList->Objects(i));
    int at;
    if (component == nullptr || index->Find(component->Name(), at)) continue;
    auto props = std::make_unique<TPropInfoList>(component);
    index->AddObject(component->Name(), props.get());
    props.release();
  }
  return index.release();
}

void FreePropListIndex(TStringList* index) {
  if (index == nullptr) return;
  for (int i = index->Count() - 1; i >= 0; --i) delete index->Objects(i);
  delete index;
}

// ---- TPropsStorage ------------------------------------------------------------------------

std::string TPropsStorage::ReadValue(const std::string& section, const std::string& name,
                                     const std::string& defaultValue) {
  return OnReadString ? OnReadString(section, name, defaultValue) : std::string();
}

void TPropsStorage::WriteValue(const std::string& section, const std::string& name,
                               const std::string& value) {
  if (OnWriteString) OnWriteString(section, name, value);
}

void TPropsStorage::EraseValues(const std::string& section) {
  if (OnEraseSection) OnEraseSection(section);
}

std::string TPropsStorage::ValueName(const PropInfo& prop) const { return namePrefix_ + prop.Name; }

TPropsStorage* TPropsStorage::CreateNested() { return new TPropsStorage(); }

void TPropsStorage::SaveStoredProps(TComponent* root, TStrings* storedList) {
  WalkStoredList(root, storedList, true);
}

void TPropsStorage::LoadStoredProps(TComponent* root, TStrings* storedList) {
  WalkStoredList(root, storedList, false);
}

void TPropsStorage::WalkStoredList(TComponent* root, TStrings* storedList, bool saving) {
  if (storedList == nullptr) return;
  std::unique_ptr<TStringList, void (*)(TStringList*)> index(
      BuildPropListIndex(root, storedList), &FreePropListIndex);
  struct RootScope {
    TComponent*& slot;
    ~RootScope() { slot = nullptr; }
  } scope{root_};
  root_ = root;
  for (int i = 0; i < storedList->Count(); ++i) {
    std::string componentName, propertyName;
    if (!SplitStoredItem(storedList->Strings(i), componentName, propertyName)) continue;
    auto* component = dynamic_cast<TComponent*>(storedList->Objects(i));
    if (component == nullptr) continue;
    target_ = component;
    namePrefix_ = component->Name();
    int at;
    if (!index->Find(component->Name(), at)) continue;
    namePrefix_ = component->Name() + "_";
    const PropInfo* prop = static_cast<TPropInfoList*>(index->Objects(at))->FindByName(propertyName);
    if (saving)
      SaveProperty(prop);
    else
      LoadProperty(prop);
  }
}

std::string TPropsStorage::PropertyText(const PropInfo& prop) {
  switch (prop.Kind) {
    case TTypeKind::Integer: return IntToStr(GetOrdProp(target_, prop));
    case TTypeKind::Int64: return IntToStr(GetInt64Prop(target_, prop));
    case TTypeKind::Char: return std::string(1, static_cast<char>(GetOrdProp(target_, prop)));
    case TTypeKind::Enumeration: return GetEnumName(prop.EnumType, GetOrdProp(target_, prop));
    case TTypeKind::Float: return FloatToStr(GetFloatProp(target_, prop), '.');
    case TTypeKind::String: return GetStrProp(target_, prop);
    case TTypeKind::Set: return SetText(prop.EnumType, GetOrdProp(target_, prop));
    case TTypeKind::Class: return IsReference(prop) ? ReferenceText(prop) : std::string();
    case TTypeKind::Method: break;
  }
  return std::string();
}

std::string TPropsStorage::ReferenceText(const PropInfo& prop) {
  auto* component = dynamic_cast<TComponent*>(GetObjProp(target_, prop));
  if (component == nullptr) return NullReference;
  const TComponent* owner = component->Owner();
  if (owner == nullptr || owner == root_) return component->Name();
  const std::string ownerName = owner->Name().empty() ? BareClassName(owner) : owner->Name();
  return ownerName + "." + component->Name();
}

void TPropsStorage::SaveProperty(const PropInfo* prop) {
  if (prop == nullptr || target_ == nullptr || prop->Kind == TTypeKind::Method) return;
  if (prop->Kind == TTypeKind::Class && !IsReference(*prop)) {
    SaveObject(*prop, GetObjProp(target_, *prop));
    return;
  }
  const std::string text = Trim(PropertyText(*prop));
  if (!text.empty() || StoredWhenEmpty(*prop)) WriteValue(valueSection_, ValueName(*prop), text);
}

void TPropsStorage::LoadProperty(const PropInfo* prop) {
  if (prop == nullptr || target_ == nullptr || prop->Kind == TTypeKind::Method) return;
  try {
    if (prop->Kind == TTypeKind::Class && !IsReference(*prop)) {
      LoadObject(*prop, GetObjProp(target_, *prop));
      return;
    }
    const std::string current = PropertyText(*prop);
    if (current.empty() && prop->Kind != TTypeKind::String && !IsReference(*prop)) return;
    const std::string stored = ReadValue(valueSection_, ValueName(*prop), current);
    // A value that is absent comes back as the current one: nothing to change.
    if (stored == current) return;
    ApplyText(*prop, Trim(stored));
  } catch (...) {
    // One bad stored value spoils only its own property.
  }
}

void TPropsStorage::ApplyText(const PropInfo& prop, const std::string& text) {
  switch (prop.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Int64:
      SetOrdProp(target_, prop, NumberOrZero(text));
      break;
    case TTypeKind::Char:
      if (!text.empty()) SetOrdProp(target_, prop, static_cast<unsigned char>(text[0]));
      break;
    case TTypeKind::Enumeration: {
      const int ordinal = GetEnumValue(prop.EnumType, text);
      if (ordinal >= 0) SetOrdProp(target_, prop, ordinal);
      break;
    }
    case TTypeKind::Float: {
      const char separator = FormatSettings().DecimalSeparator;
      double value;
      if (TryStrToFloat(ReplaceAllText(text, ".", std::string(1, separator)), value, separator))
        SetFloatProp(target_, prop, value);
      break;
    }
    case TTypeKind::String:
      SetStrProp(target_, prop, text);
      break;
    case TTypeKind::Set:
      SetOrdProp(target_, prop, SetFromText(prop.EnumType, text));
      break;
    case TTypeKind::Class:
      ApplyReference(prop, text);
      break;
    case TTypeKind::Method:
      break;
  }
}

void TPropsStorage::ApplyReference(const PropInfo& prop, const std::string& text) {
  if (text.empty()) return;
  if (SameText(text, NullReference)) {
    SetObjProp(target_, prop, nullptr);
    return;
  }
  TComponent* root = root_;
  std::string name = text;
  const size_t dot = text.find('.');
  if (dot != std::string::npos) {
    root = FindTopLevelComponent(Trim(text.substr(0, dot)));
    name = Trim(text.substr(dot + 1));
  }
  if (root == nullptr) return;
  TComponent* found = root->FindComponent(name);
  // A component of another class under that name (renamed, or a value edited by hand) is
  // not put into the property.
  if (found != nullptr && prop.DeclaredClass != nullptr &&
      (found->GetClassInfo() == nullptr || !found->GetClassInfo()->InheritsFrom(prop.DeclaredClass)))
    return;
  SetObjProp(target_, prop, found);
}

void TPropsStorage::SaveObject(const PropInfo& prop, TPersistent* object) {
  const std::string section = valueSection_ + "." + ValueName(prop);
  if (TStrings* lines = AsLines(object)) {
    SaveLines(section, lines);
  } else if (TCollection* collection = AsCollection(object)) {
    EraseValues(section);
    for (int i = 0; i < collection->Count(); ++i)
      WithNested(collection->Items(i), section, "Item" + std::to_string(i) + "_",
                 [](TPropsStorage& nested) { nested.SaveAll(); });
  }
  WithNested(object, valueSection_, ValueName(prop),
             [](TPropsStorage& nested) { nested.SaveAll(); });
}

void TPropsStorage::LoadObject(const PropInfo& prop, TPersistent* object) {
  const std::string section = valueSection_ + "." + ValueName(prop);
  if (TStrings* lines = AsLines(object)) {
    LoadLines(section, lines);
  } else if (TCollection* collection = AsCollection(object)) {
    collection->BeginUpdate();
    struct UpdateScope {
      TCollection* c;
      ~UpdateScope() { c->EndUpdate(); }
    } scope{collection};
    for (int i = 0; i < collection->Count(); ++i)
      WithNested(collection->Items(i), section, "Item" + std::to_string(i) + "_",
                 [](TPropsStorage& nested) { nested.LoadAll(); });
  }
  WithNested(object, valueSection_, ValueName(prop),
             [](TPropsStorage& nested) { nested.LoadAll(); });
}

void TPropsStorage::SaveLines(const std::string& section, TStrings* lines) {
  EraseValues(section);
  if (lines->Count() == 0) return;
  WriteValue(section, "Count", IntToStr(lines->Count()));
  for (int i = 0; i < lines->Count(); ++i)
    WriteValue(section, "Item" + std::to_string(i), lines->Strings(i));
}

void TPropsStorage::LoadLines(const std::string& section, TStrings* lines) {
  int count;
  if (!TryStrToInt(Trim(ReadValue(section, "Count", "0")), count) || count <= 0) return;
  // A count the stored lines cannot back (over the cap, or an item missing) is damage: the
  // list keeps what it holds.
  if (count > MaxStoredLines) return;
  TStringList read;
  for (int i = 0; i < count; ++i) {
    std::string line = ReadValue(section, "Item" + std::to_string(i), Absent());
    if (line == Absent()) return;
    read.Add(line);
  }
  lines->Assign(&read);
}

void TPropsStorage::WithNested(TPersistent* object, const std::string& section,
                               const std::string& prefix,
                               const std::function<void(TPropsStorage&)>& work) {
  if (object == nullptr || depth_ >= MaxNesting) return;
  std::unique_ptr<TPropsStorage> nested(CreateNested());
  nested->OnReadString = OnReadString;
  nested->OnWriteString = OnWriteString;
  nested->OnEraseSection = OnEraseSection;
  nested->depth_ = depth_ + 1;
  nested->target_ = object;
  nested->valueSection_ = section;
  nested->namePrefix_ = prefix;
  work(*nested);
}

void TPropsStorage::SaveAll() {
  TPropInfoList props(target_);
  for (int i = 0; i < props.Count(); ++i) SaveProperty(props.Items(i));
}

void TPropsStorage::LoadAll() {
  TPropInfoList props(target_);
  for (int i = 0; i < props.Count(); ++i) LoadProperty(props.Items(i));
}
