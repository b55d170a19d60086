#include "platform/rtl/properties.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/component.h"

const EnumInfo BooleanEnum{"Boolean", {"False", "True"}};

namespace property_detail {

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + ('a' - 'A'));
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + ('a' - 'A'));
    if (x != y) return false;
  }
  return true;
}

}  // namespace property_detail

using property_detail::SameName;

bool PropInfo::IsOrdinal() const {
  switch (Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Char:
    case TTypeKind::Enumeration:
    case TTypeKind::Int64:
    case TTypeKind::Set:
      return true;
    default:
      return false;
  }
}

bool PropInfo::IsWritable() const { return SetOrd || SetFloat || SetStr || SetObj; }

bool ClassInfo::InheritsFrom(const ClassInfo* other) const {
  if (other == nullptr) return false;
  for (const ClassInfo* c = this; c != nullptr; c = c->Parent)
    if (c == other) return true;
  return false;
}

bool IsComponentClass(const ClassInfo* info) {
  return info != nullptr && info->InheritsFrom(TComponent::StaticClassInfo());
}

std::vector<const PropInfo*> PublishedProps(const TPersistent* obj) {
  std::vector<const PropInfo*> result;
  if (obj == nullptr) return result;
  std::vector<const ClassInfo*> chain;
  for (const ClassInfo* c = obj->GetClassInfo(); c != nullptr; c = c->Parent) chain.push_back(c);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const PropInfo& prop : (*it)->Props) {
      bool replaced = false;
      for (const PropInfo*& earlier : result) {
        if (SameName(earlier->Name, prop.Name)) {
          earlier = &prop;
          replaced = true;
          break;
        }
      }
      if (!replaced) result.push_back(&prop);
    }
  }
  return result;
}

const PropInfo* FindProp(const TPersistent* obj, const std::string& name) {
  if (obj == nullptr) return nullptr;
  // The most derived declaration wins, as in PublishedProps.
  for (const ClassInfo* c = obj->GetClassInfo(); c != nullptr; c = c->Parent)
    for (const PropInfo& prop : c->Props)
      if (SameName(prop.Name, name)) return &prop;
  return nullptr;
}

namespace {

// The object an access works on, refusing nullptr.
const TPersistent& Target(const TPersistent* obj, const PropInfo& prop) {
  if (obj == nullptr) throw EPropertyError("Property " + prop.Name + " read from no object");
  return *obj;
}
TPersistent& Target(TPersistent* obj, const PropInfo& prop) {
  if (obj == nullptr) throw EPropertyError("Property " + prop.Name + " written to no object");
  return *obj;
}

void RequireKind(const PropInfo& prop, bool ok, const char* what) {
  if (!ok) throw EPropertyError("Property " + prop.Name + " is not " + what);
}

template <class Fn>
void RequireSetter(const PropInfo& prop, const Fn& setter) {
  if (!setter) throw EPropertyError("Property " + prop.Name + " is read-only");
}

const PropInfo& Named(const TPersistent* obj, const std::string& name) {
  const PropInfo* prop = FindProp(obj, name);
  if (prop == nullptr) throw EPropertyError("Property " + name + " does not exist");
  return *prop;
}

}  // namespace

std::string GetStrProp(const TPersistent* obj, const PropInfo& prop) {
  RequireKind(prop, prop.Kind == TTypeKind::String && prop.GetStr, "a string");
  return prop.GetStr(Target(obj, prop));
}

void SetStrProp(TPersistent* obj, const PropInfo& prop, const std::string& value) {
  RequireKind(prop, prop.Kind == TTypeKind::String, "a string");
  RequireSetter(prop, prop.SetStr);
  prop.SetStr(Target(obj, prop), value);
}

long long GetOrdProp(const TPersistent* obj, const PropInfo& prop) {
  RequireKind(prop, prop.IsOrdinal() && prop.GetOrd, "an ordinal");
  return prop.GetOrd(Target(obj, prop));
}

void SetOrdProp(TPersistent* obj, const PropInfo& prop, long long value) {
  RequireKind(prop, prop.IsOrdinal(), "an ordinal");
  RequireSetter(prop, prop.SetOrd);
  const bool inRange = prop.Kind == TTypeKind::Set
                           ? value >= 0 && (value & ~prop.MaxValue) == 0
                           : value >= prop.MinValue && value <= prop.MaxValue;
  if (!inRange)
    throw EPropertyError("Invalid property value " + std::to_string(value) + " for " + prop.Name);
  prop.SetOrd(Target(obj, prop), value);
}

long long GetInt64Prop(const TPersistent* obj, const PropInfo& prop) {
  return GetOrdProp(obj, prop);
}

double GetFloatProp(const TPersistent* obj, const PropInfo& prop) {
  RequireKind(prop, prop.Kind == TTypeKind::Float && prop.GetFloat, "a float");
  return prop.GetFloat(Target(obj, prop));
}

void SetFloatProp(TPersistent* obj, const PropInfo& prop, double value) {
  RequireKind(prop, prop.Kind == TTypeKind::Float, "a float");
  RequireSetter(prop, prop.SetFloat);
  prop.SetFloat(Target(obj, prop), value);
}

TPersistent* GetObjProp(const TPersistent* obj, const PropInfo& prop) {
  RequireKind(prop, prop.Kind == TTypeKind::Class && prop.GetObj, "an object");
  return prop.GetObj(Target(obj, prop));
}

void SetObjProp(TPersistent* obj, const PropInfo& prop, TPersistent* value) {
  RequireKind(prop, prop.Kind == TTypeKind::Class, "an object");
  RequireSetter(prop, prop.SetObj);
  prop.SetObj(Target(obj, prop), value);
}

std::string GetStrProp(const TPersistent* obj, const std::string& name) {
  return GetStrProp(obj, Named(obj, name));
}
void SetStrProp(TPersistent* obj, const std::string& name, const std::string& value) {
  SetStrProp(obj, Named(obj, name), value);
}
long long GetOrdProp(const TPersistent* obj, const std::string& name) {
  return GetOrdProp(obj, Named(obj, name));
}
void SetOrdProp(TPersistent* obj, const std::string& name, long long value) {
  SetOrdProp(obj, Named(obj, name), value);
}
long long GetInt64Prop(const TPersistent* obj, const std::string& name) {
  return GetInt64Prop(obj, Named(obj, name));
}
double GetFloatProp(const TPersistent* obj, const std::string& name) {
  return GetFloatProp(obj, Named(obj, name));
}
void SetFloatProp(TPersistent* obj, const std::string& name, double value) {
  SetFloatProp(obj, Named(obj, name), value);
}
TPersistent* GetObjProp(const TPersistent* obj, const std::string& name) {
  return GetObjProp(obj, Named(obj, name));
}
void SetObjProp(TPersistent* obj, const std::string& name, TPersistent* value) {
  SetObjProp(obj, Named(obj, name), value);
}

std::string GetEnumName(const EnumInfo* type, long long value) {
  if (type == nullptr || value < 0 || value >= static_cast<long long>(type->Names.size()))
    return "";
  return type->Names[static_cast<size_t>(value)];
}

int GetEnumValue(const EnumInfo* type, const std::string& name) {
  if (type == nullptr) return -1;
  for (size_t i = 0; i < type->Names.size(); ++i)
    if (SameName(type->Names[i], name)) return static_cast<int>(i);
  return -1;
}

namespace {

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string SetToString(const EnumInfo* elementType, long long mask) {
  std::string text = "[";
  if (elementType != nullptr) {
    for (size_t i = 0; i < elementType->Names.size() && i < 63; ++i) {
      if ((mask & (1LL << i)) == 0) continue;
      if (text.size() > 1) text += ',';
      text += elementType->Names[i];
    }
  }
  return text + "]";
}

bool StringToSet(const EnumInfo* elementType, const std::string& text, long long& mask) {
  std::string body = Trim(text);
  if (!body.empty() && body.front() == '[') {
    if (body.back() != ']' || body.size() < 2) return false;
    body = Trim(body.substr(1, body.size() - 2));
  }
  long long result = 0;
  if (!body.empty()) {
    size_t start = 0;
    while (true) {
      const size_t comma = body.find(',', start);
      const std::string name = Trim(body.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      const int ordinal = GetEnumValue(elementType, name);
      if (ordinal < 0 || ordinal >= 63) return false;
      result |= 1LL << ordinal;
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  mask = result;
  return true;
}

namespace {

// "Item<i>": decimal, 0-based.
bool ParseItemSegment(const std::string& segment, int& index) {
  if (segment.size() <= 4 || segment.size() > 13 || !SameName(segment.substr(0, 4), "Item"))
    return false;
  long long value = 0;
  for (size_t i = 4; i < segment.size(); ++i) {
    if (segment[i] < '0' || segment[i] > '9') return false;
    value = value * 10 + (segment[i] - '0');
  }
  if (value > INT_MAX) return false;
  index = static_cast<int>(value);
  return true;
}

TPersistent* Step(TPersistent* current, const std::string& segment, bool first) {
  if (first) {
    if (auto* owner = dynamic_cast<TComponent*>(current))
      if (TComponent* found = owner->FindComponent(segment)) return found;
  }
  int index = 0;
  if (current->ListedItemCount() >= 0 && ParseItemSegment(segment, index))
    return index < current->ListedItemCount() ? current->ListedItem(index) : nullptr;
  const PropInfo* prop = FindProp(current, segment);
  if (prop == nullptr || prop->Kind != TTypeKind::Class || IsComponentClass(prop->DeclaredClass))
    return nullptr;
  TPersistent* value = GetObjProp(current, *prop);
  // A reference declared with a non-component class may still point at a component.
  if (dynamic_cast<TComponent*>(value) != nullptr) return nullptr;
  return value;
}

struct PathTarget {
  TPersistent* object;
  const PropInfo* prop;
};

PathTarget LocateProperty(TPersistent* root, const std::string& path) {
  const size_t dot = path.rfind('.');
  TPersistent* object = dot == std::string::npos ? root : ResolvePath(root, path.substr(0, dot));
  const std::string name = dot == std::string::npos ? path : path.substr(dot + 1);
  const PropInfo* prop = object == nullptr ? nullptr : FindProp(object, name);
  if (prop == nullptr) throw EPropertyError("Property " + path + " does not exist");
  return {object, prop};
}

bool ParseInteger(const std::string& text, long long& value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return false;
  const unsigned long long limit =
      negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : static_cast<unsigned long long>(LLONG_MAX);
  unsigned long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<long long>(~magnitude + 1) : static_cast<long long>(magnitude);
  return true;
}

bool ParseFloat(const std::string& text, double& value) {
  if (text.empty()) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

// The shortest of 15 or 17 significant digits that reads back as the same value.
std::string FormatFloat(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  if (std::strtod(buffer, nullptr) != value) std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

[[noreturn]] void NotConvertible(const std::string& text, const PropInfo& prop) {
  throw EConvertError("'" + text + "' is not a valid value for " + prop.Name);
}

}  // namespace

TPersistent* ResolvePath(TPersistent* root, const std::string& path) {
  TPersistent* current = root;
  size_t start = 0;
  bool first = true;
  while (current != nullptr && !path.empty()) {
    const size_t dot = path.find('.', start);
    const std::string segment =
        path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (segment.empty()) return nullptr;
    current = Step(current, segment, first);
    first = false;
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return current;
}

std::string GetTextByPath(TPersistent* root, const std::string& path) {
  const PathTarget target = LocateProperty(root, path);
  const PropInfo& prop = *target.prop;
  switch (prop.Kind) {
    case TTypeKind::String:
      return GetStrProp(target.object, prop);
    case TTypeKind::Integer:
    case TTypeKind::Int64:
      return std::to_string(GetOrdProp(target.object, prop));
    case TTypeKind::Char:
      return std::string(1, static_cast<char>(GetOrdProp(target.object, prop)));
    case TTypeKind::Enumeration:
      return GetEnumName(prop.EnumType, GetOrdProp(target.object, prop));
    case TTypeKind::Set:
      return SetToString(prop.EnumType, GetOrdProp(target.object, prop));
    case TTypeKind::Float:
      return FormatFloat(GetFloatProp(target.object, prop));
    case TTypeKind::Class: {
      TPersistent* value = GetObjProp(target.object, prop);
      std::string text;
      if (value == nullptr || value->GetAsText(text)) return text;
      break;
    }
    case TTypeKind::Method:
      break;
  }
  throw EPropertyError("Property " + path + " has no text value");
}

void SetTextByPath(TPersistent* root, const std::string& path, const std::string& text) {
  const PathTarget target = LocateProperty(root, path);
  const PropInfo& prop = *target.prop;
  long long ordinal = 0;
  double number = 0;
  switch (prop.Kind) {
    case TTypeKind::String:
      SetStrProp(target.object, prop, text);
      return;
    case TTypeKind::Integer:
    case TTypeKind::Int64:
      if (!ParseInteger(text, ordinal)) NotConvertible(text, prop);
      SetOrdProp(target.object, prop, ordinal);
      return;
    case TTypeKind::Char:
      if (text.size() != 1) NotConvertible(text, prop);
      SetOrdProp(target.object, prop, static_cast<unsigned char>(text[0]));
      return;
    case TTypeKind::Enumeration:
      ordinal = GetEnumValue(prop.EnumType, text);
      if (ordinal < 0) NotConvertible(text, prop);
      SetOrdProp(target.object, prop, ordinal);
      return;
    case TTypeKind::Set:
      if (!StringToSet(prop.EnumType, text, ordinal)) NotConvertible(text, prop);
      SetOrdProp(target.object, prop, ordinal);
      return;
    case TTypeKind::Float:
      if (!ParseFloat(text, number)) NotConvertible(text, prop);
      SetFloatProp(target.object, prop, number);
      return;
    case TTypeKind::Class: {
      TPersistent* value = GetObjProp(target.object, prop);
      if (value != nullptr && value->SetAsText(text)) return;
      break;
    }
    case TTypeKind::Method:
      break;
  }
  throw EPropertyError("Property " + path + " takes no text value");
}
