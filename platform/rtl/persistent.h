#pragma once
// TObject, the root of the runtime's classes, and TPersistent, the root of every object that
// can be assigned from another and whose published properties can be reached by name.

#include <functional>
#include <string>

// Published-properties description of a class; defined in platform/rtl/properties.h.
struct ClassInfo;

class TObject {
public:
  virtual ~TObject() = default;
  // The published properties of the object's class; nullptr when the class publishes none.
  virtual const ClassInfo* GetClassInfo() const { return nullptr; }
  // The class name used in stored sections and by the property registry ("TStringList").
  // Reflectable classes answer the name they registered.
  virtual std::string ClassName() const;

protected:
  // The registered class name, or fallback for classes that registered none.
  std::string RegisteredNameOr(const char* fallback) const;
};

// Declares a class reflectable in one line, inside the class body:
//   class TLabel : public TControl { HL_REFLECTABLE ... };
// The class then defines `const ClassInfo* TLabel::StaticClassInfo()` with a ClassBuilder.
// The macro leaves the access level at public. A class that does not declare itself answers
// its nearest reflectable ancestor's name, so every class whose name matters is reflectable.
#define HL_REFLECTABLE                                                       \
public:                                                                      \
  static const ClassInfo* StaticClassInfo();                                 \
  const ClassInfo* GetClassInfo() const override { return StaticClassInfo(); }

// The plain event: the first argument is always the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
  std::string ClassName() const override;
  // Copies the state of source into this object; raises EConvertError when the classes
  // cannot be assigned to each other.
  virtual void Assign(TPersistent* source);
  // The object this one belongs to (a component's owner, a collection item's collection).
  virtual TPersistent* GetOwner() const { return nullptr; }

  // Roles that the walks by name recognise without knowing the concrete classes.
  // String-list role: a string list answers its whole text (lines joined with CR LF) and
  // takes a new one (split at CR, LF or CR LF). Other objects answer false.
  virtual bool GetAsText(std::string& text) const { return false; }
  virtual bool SetAsText(const std::string& text) { return false; }
  // Item-list role: collections and list-view item lists answer their item count and items,
  // which paths address as "Item<i>". Other objects answer -1.
  virtual int ListedItemCount() const { return -1; }
  virtual TPersistent* ListedItem(int index) const { return nullptr; }

protected:
  virtual void AssignTo(TPersistent* dest);
};
