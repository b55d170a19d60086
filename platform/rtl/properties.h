#pragma once
// Published properties: each reflectable class registers, once, the properties it publishes
// (name, kind, range, enumeration names, declared class, typed access through the real
// getter and setter). The translation walk, the property storage and the tests all read and
// write values by name through this one facility.
//
// Registration, in the class's .cpp:
//   const ClassInfo* TLabel::StaticClassInfo() {
//     static const ClassInfo ci = ClassBuilder<TLabel>("TLabel", TControl::StaticClassInfo())
//       .Str("Caption", &TLabel::Caption, &TLabel::SetCaption)
//       .Obj("Font", &TLabel::Font, TFont::StaticClassInfo())
//       .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, &AlignmentEnum)
//       .Build();
//     return &ci;
//   }
// and `HL_REFLECTABLE` in the class body.
//
// Roles: string lists are recognised through TPersistent::GetAsText/SetAsText (TStrings
// overrides them), item lists through TPersistent::ListedItemCount/ListedItem (TCollection
// and the list-view item list override them). See persistent.h.

#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/persistent.h"

enum class TTypeKind { Integer, Char, Enumeration, Float, Int64, String, Set, Class, Method };

// The names of an enumeration type, ordinal i being Names[i]. Also the element type of a set.
struct EnumInfo {
  std::string Name;
  std::vector<std::string> Names;
};

// Boolean as an enumeration: False = 0, True = 1.
extern const EnumInfo BooleanEnum;

struct PropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::Integer;
  // Accepted range of ordinal values (Integer, Char, Enumeration, Int64; for a Set the
  // largest mask). Writes outside it are refused.
  long long MinValue = 0;
  long long MaxValue = 0;
  const EnumInfo* EnumType = nullptr;        // Enumeration, and the element type of a Set
  const ClassInfo* DeclaredClass = nullptr;  // Class: the declared class of the value
  bool Stored = true;

  // Type-erased access through the class's own getter and setter. An empty setter means the
  // property is read-only (for Class properties: an owned sub-object such as Font or Lines).
  // Use the free functions below, which check kinds and ranges.
  std::function<long long(const TPersistent&)> GetOrd;  // Integer, Char, Enumeration, Set, Int64
  std::function<void(TPersistent&, long long)> SetOrd;
  std::function<double(const TPersistent&)> GetFloat;
  std::function<void(TPersistent&, double)> SetFloat;
  std::function<std::string(const TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  std::function<TPersistent*(const TPersistent&)> GetObj;
  std::function<void(TPersistent&, TPersistent*)> SetObj;  // references only

  bool IsOrdinal() const;
  bool IsWritable() const;
};

struct ClassInfo {
  std::string Name;
  const ClassInfo* Parent = nullptr;
  std::vector<PropInfo> Props;  // the class's own published properties, declaration order

  // True when this class is other or derives from it.
  bool InheritsFrom(const ClassInfo* other) const;
};

namespace property_detail {

// Names of properties, components and enumeration members compare ignoring ASCII case.
bool SameName(const std::string& a, const std::string& b);

// The object an accessor works on, as the registering class; a property used on an object of
// another class is refused rather than reinterpreted.
template <class T>
const T& As(const TPersistent& obj, const std::string& prop) {
  if (auto* typed = dynamic_cast<const T*>(&obj)) return *typed;
  throw EPropertyError("Property " + prop + " does not belong to a " + obj.ClassName());
}
template <class T>
T& As(TPersistent& obj, const std::string& prop) {
  return const_cast<T&>(As<T>(static_cast<const TPersistent&>(obj), prop));
}

template <class R>
long long ToOrd(R value) {
  if constexpr (std::is_same_v<R, char>) return static_cast<unsigned char>(value);
  else return static_cast<long long>(value);
}
template <class R>
R FromOrd(long long value) {
  if constexpr (std::is_same_v<R, bool>) return value != 0;
  else return static_cast<R>(value);
}

template <class R>
constexpr long long OrdMin() {
  if constexpr (std::is_integral_v<R>) return static_cast<long long>(std::numeric_limits<R>::min());
  else return std::numeric_limits<int>::min();
}
template <class R>
constexpr long long OrdMax() {
  if constexpr (std::is_integral_v<R> && std::is_unsigned_v<R> && sizeof(R) >= sizeof(long long))
    return std::numeric_limits<long long>::max();
  else if constexpr (std::is_integral_v<R>) return static_cast<long long>(std::numeric_limits<R>::max());
  else return std::numeric_limits<int>::max();
}

}  // namespace property_detail

// Builds the ClassInfo of class T. Getters and setters are member-function pointers (or any
// callables taking const T& / T&); getters may return by value or by const reference; a
// setter of nullptr makes the property read-only.
template <class T>
class ClassBuilder {
public:
  ClassBuilder(std::string name, const ClassInfo* parent) {
    info_.Name = std::move(name);
    info_.Parent = parent;
  }

  template <class G, class S = std::nullptr_t>
  ClassBuilder& Str(const std::string& name, G get, S set = nullptr) {
    PropInfo& p = Add(name, TTypeKind::String);
    p.GetStr = [get, name](const TPersistent& o) -> std::string {
      return std::invoke(get, property_detail::As<T>(o, name));
    };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetStr = [set, name](TPersistent& o, const std::string& v) {
        std::invoke(set, property_detail::As<T>(o, name), v);
      };
    return *this;
  }

  // Integer property over the getter type's full range.
  template <class G, class S = std::nullptr_t>
  ClassBuilder& Int(const std::string& name, G get, S set = nullptr) {
    using R = Result<G>;
    return Ordinal(name, TTypeKind::Integer, get, set, property_detail::OrdMin<R>(),
                   property_detail::OrdMax<R>(), nullptr);
  }
  // Integer property restricted to min..max.
  template <class G, class S>
  ClassBuilder& Int(const std::string& name, G get, S set, long long min, long long max) {
    return Ordinal(name, TTypeKind::Integer, get, set, min, max, nullptr);
  }
  template <class G, class S = std::nullptr_t>
  ClassBuilder& Int64(const std::string& name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::Int64, get, set, std::numeric_limits<long long>::min(),
                   std::numeric_limits<long long>::max(), nullptr);
  }
  // A single 8-bit character, ordinal 0..255.
  template <class G, class S = std::nullptr_t>
  ClassBuilder& Char(const std::string& name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::Char, get, set, 0, 255, nullptr);
  }
  template <class G, class S = std::nullptr_t>
  ClassBuilder& Bool(const std::string& name, G get, S set = nullptr) {
    return Enum(name, get, set, &BooleanEnum);
  }
  // Enumeration over type's names; the getter may return a C++ enum or an integer.
  template <class G, class S>
  ClassBuilder& Enum(const std::string& name, G get, S set, const EnumInfo* type) {
    return Ordinal(name, TTypeKind::Enumeration, get, set, 0,
                   static_cast<long long>(type->Names.size()) - 1, type);
  }
  // Set of elementType's members as a bit mask: bit i stands for ordinal i.
  template <class G, class S>
  ClassBuilder& Set(const std::string& name, G get, S set, const EnumInfo* elementType) {
    const auto bits = elementType->Names.size();
    const long long all = bits >= 63 ? std::numeric_limits<long long>::max()
                                     : (1LL << bits) - 1;
    return Ordinal(name, TTypeKind::Set, get, set, 0, all, elementType);
  }
  template <class G, class S = std::nullptr_t>
  ClassBuilder& Float(const std::string& name, G get, S set = nullptr) {
    using R = Result<G>;
    PropInfo& p = Add(name, TTypeKind::Float);
    p.GetFloat = [get, name](const TPersistent& o) -> double {
      return static_cast<double>(std::invoke(get, property_detail::As<T>(o, name)));
    };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetFloat = [set, name](TPersistent& o, double v) {
        std::invoke(set, property_detail::As<T>(o, name), static_cast<R>(v));
      };
    return *this;
  }
  // An owned sub-object (Font, Lines, Panels): readable, never replaced through the property.
  template <class G>
  ClassBuilder& Obj(const std::string& name, G get, const ClassInfo* declaredClass) {
    PropInfo& p = Add(name, TTypeKind::Class);
    p.DeclaredClass = declaredClass;
    p.GetObj = Getter(get, name);
    return *this;
  }
  // A reference to an object owned elsewhere (PopupMenu, Images). Writing a value that is not
  // of the getter's pointee class is refused.
  template <class G, class S>
  ClassBuilder& Ref(const std::string& name, G get, S set, const ClassInfo* declaredClass) {
    using U = std::remove_cv_t<std::remove_pointer_t<Result<G>>>;
    PropInfo& p = Add(name, TTypeKind::Class);
    p.DeclaredClass = declaredClass;
    p.GetObj = Getter(get, name);
    p.SetObj = [set, name](TPersistent& o, TPersistent* v) {
      U* typed = nullptr;
      if (v != nullptr && (typed = dynamic_cast<U*>(v)) == nullptr)
        throw EPropertyError("Invalid property value for " + name + ": a " + v->ClassName());
      std::invoke(set, property_detail::As<T>(o, name), typed);
    };
    return *this;
  }

  // Marks the property added last as not stored.
  ClassBuilder& Stored(bool stored) {
    if (!info_.Props.empty()) info_.Props.back().Stored = stored;
    return *this;
  }

  ClassInfo Build() { return std::move(info_); }

private:
  template <class G>
  using Result = std::decay_t<std::invoke_result_t<G, const T&>>;

  PropInfo& Add(const std::string& name, TTypeKind kind) {
    info_.Props.emplace_back();
    PropInfo& p = info_.Props.back();
    p.Name = name;
    p.Kind = kind;
    return p;
  }

  template <class G, class S>
  ClassBuilder& Ordinal(const std::string& name, TTypeKind kind, G get, S set, long long min,
                        long long max, const EnumInfo* type) {
    using R = Result<G>;
    PropInfo& p = Add(name, kind);
    p.MinValue = min;
    p.MaxValue = max;
    p.EnumType = type;
    p.GetOrd = [get, name](const TPersistent& o) -> long long {
      return property_detail::ToOrd<R>(std::invoke(get, property_detail::As<T>(o, name)));
    };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetOrd = [set, name](TPersistent& o, long long v) {
        std::invoke(set, property_detail::As<T>(o, name), property_detail::FromOrd<R>(v));
      };
    return *this;
  }

  template <class G>
  static std::function<TPersistent*(const TPersistent&)> Getter(G get, const std::string& name) {
    static_assert(std::is_pointer_v<Result<G>>, "object properties return a pointer");
    return [get, name](const TPersistent& o) -> TPersistent* {
      return const_cast<std::remove_cv_t<std::remove_pointer_t<Result<G>>>*>(
          std::invoke(get, property_detail::As<T>(o, name)));
    };
  }

  ClassInfo info_;
};

// The published properties of obj's class: the parent's first, then the class's own, each in
// declaration order (a property a class publishes again keeps its parent's place). Empty for
// nullptr and for objects without published properties.
std::vector<const PropInfo*> PublishedProps(const TPersistent* obj);
// The property called name (ignoring case), or nullptr.
const PropInfo* FindProp(const TPersistent* obj, const std::string& name);

// Typed access. Each raises EPropertyError when the property is of another kind, is read-only
// (setters) or, for ordinals, when the value is outside MinValue..MaxValue (the property then
// keeps its value).
std::string GetStrProp(const TPersistent* obj, const PropInfo& prop);
void SetStrProp(TPersistent* obj, const PropInfo& prop, const std::string& value);
long long GetOrdProp(const TPersistent* obj, const PropInfo& prop);
void SetOrdProp(TPersistent* obj, const PropInfo& prop, long long value);
long long GetInt64Prop(const TPersistent* obj, const PropInfo& prop);
double GetFloatProp(const TPersistent* obj, const PropInfo& prop);
void SetFloatProp(TPersistent* obj, const PropInfo& prop, double value);
TPersistent* GetObjProp(const TPersistent* obj, const PropInfo& prop);
void SetObjProp(TPersistent* obj, const PropInfo& prop, TPersistent* value);

// The same by property name; an unknown name raises EPropertyError.
std::string GetStrProp(const TPersistent* obj, const std::string& name);
void SetStrProp(TPersistent* obj, const std::string& name, const std::string& value);
long long GetOrdProp(const TPersistent* obj, const std::string& name);
void SetOrdProp(TPersistent* obj, const std::string& name, long long value);
long long GetInt64Prop(const TPersistent* obj, const std::string& name);
double GetFloatProp(const TPersistent* obj, const std::string& name);
void SetFloatProp(TPersistent* obj, const std::string& name, double value);
TPersistent* GetObjProp(const TPersistent* obj, const std::string& name);
void SetObjProp(TPersistent* obj, const std::string& name, TPersistent* value);

// The name of an ordinal ("" when out of range) and the ordinal of a name (ignoring case;
// -1 when unknown).
std::string GetEnumName(const EnumInfo* type, long long value);
int GetEnumValue(const EnumInfo* type, const std::string& name);
// Set masks as text: "[fsBold,fsItalic]". StringToSet accepts the brackets or not, blanks
// around names, any case; it answers false for an unknown name and leaves mask unchanged.
std::string SetToString(const EnumInfo* elementType, long long mask);
bool StringToSet(const EnumInfo* elementType, const std::string& text, long long& mask);

// True when the class is TComponent or derives from it.
bool IsComponentClass(const ClassInfo* info);

// Paths of names separated by "." (ignoring case), from a root object:
//  - the first segment may name a component the root owns directly ("btStart.Caption");
//  - a class property is followed when its declared class is not a component class
//    ("Label1.Font.Size"); component references (PopupMenu) are never followed;
//  - "Item<i>" (decimal, 0-based) is an item of a collection or list-view item list
//    ("StatusBar1.Panels.Item0.Text").
// ResolvePath answers the object the whole path names, or nullptr.
TPersistent* ResolvePath(TPersistent* root, const std::string& path);
// Reads or writes the property the last segment names, as text: strings as they are,
// integers in decimal, characters as one byte, enumerations by name, sets as "[a,b]", floats
// with "." as decimal point, and a string list (a class property with the string-list role)
// as its whole text. An unknown path or property raises EPropertyError, text that does not
// convert raises EConvertError.
std::string GetTextByPath(TPersistent* root, const std::string& path);
void SetTextByPath(TPersistent* root, const std::string& path, const std::string& text);
