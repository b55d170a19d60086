#pragma once
// TPropsStorage turns published properties of a form's components into named text values
// and back. It knows no files or registry: it reads, writes and erases through three
// callbacks its user sets (the form storage routes them to its INI or registry store).
//
// The user hands it a root component (the form) and a stored list whose lines each name a
// component of the root and one of its published properties, "lbName.Caption"; the line's
// object slot holds the bound component. Values are named Component_Property in the
// section ValueSection:
//   integer, 64-bit   decimal; text that is no number reads as 0
//   character         the character; empty text changes nothing
//   enumeration       the member's name ("True"); an unknown name changes nothing
//   floating point    15 significant digits with "." whatever the locale's separator
//   string            the text (an emptied text is stored too)
//   set               "[fsBold,fsItalic]"; unknown names are skipped when read
//   component         its Name, "Owner.Name" for a component of another owner, "(null)"
//   string list       its own section "Section.Comp_Prop" with Count and Item0..ItemN
//   collection        its own section, each item's properties as Item<i>_Property
//   other objects     their published properties, named Comp_PropSubprop
// Values are trimmed on write and on read (string-list lines excepted). A bad stored value
// spoils only its own property: whatever goes wrong reading one value is swallowed.

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/properties.h"

class TStrings;
class TStringList;

// The published properties of one object that can be stored (events are not), in the
// order the class registered them.
class TPropInfoList : public TObject {
public:
  // Empty for no object.
  explicit TPropInfoList(const TPersistent* object);
  int Count() const { return static_cast<int>(props_.size()); }
  const PropInfo* Items(int index) const { return props_.at(static_cast<size_t>(index)); }
  // The property of that name, ignoring case, or nullptr.
  const PropInfo* FindByName(const std::string& name) const;

private:
  std::vector<const PropInfo*> props_;
};

using TReadStrEvent = std::function<std::string(
    const std::string& section, const std::string& name, const std::string& defaultValue)>;
using TWriteStrEvent = std::function<void(const std::string& section, const std::string& name,
                                          const std::string& value)>;
using TEraseSectEvent = std::function<void(const std::string& section)>;

class TPropsStorage : public TObject {
public:
  // The most lines a stored string list may bring back.
  static constexpr int MaxStoredLines = 65536;
  // How deep objects held by objects are followed.
  static constexpr int MaxNesting = 8;

  TPropsStorage() = default;
  ~TPropsStorage() override = default;

  // The object whose properties SaveProperty and LoadProperty work on.
  TPersistent* Target() const { return target_; }
  void SetTarget(TPersistent* target) { target_ = target; }
  // The root component; set only while SaveStoredProps or LoadStoredProps runs.
  TComponent* RootComponent() const { return root_; }
  // Put before each property name to form the value name.
  const std::string& NamePrefix() const { return namePrefix_; }
  void SetNamePrefix(const std::string& prefix) { namePrefix_ = prefix; }
  // The section that receives the values.
  const std::string& ValueSection() const { return valueSection_; }
  void SetValueSection(const std::string& section) { valueSection_ = section; }

  // Each may be unset: reading then gives empty text, writing and erasing do nothing.
  TReadStrEvent OnReadString;
  TWriteStrEvent OnWriteString;
  TEraseSectEvent OnEraseSection;

  // Every line of storedList that names a component of root and one of its properties is
  // written (or read). Lines whose component is gone are deleted first.
  void SaveStoredProps(TComponent* root, TStrings* storedList);
  void LoadStoredProps(TComponent* root, TStrings* storedList);
  // One property of Target; nullptr does nothing.
  void SaveProperty(const PropInfo* prop);
  void LoadProperty(const PropInfo* prop);

protected:
  virtual std::string ReadValue(const std::string& section, const std::string& name,
                                const std::string& defaultValue);
  virtual void WriteValue(const std::string& section, const std::string& name,
                          const std::string& value);
  virtual void EraseValues(const std::string& section);
  // NamePrefix + the property's name.
  virtual std::string ValueName(const PropInfo& prop) const;
  // A new storage for the properties of an object held by a property.
  virtual TPropsStorage* CreateNested();

private:
  std::string PropertyText(const PropInfo& prop);
  std::string ReferenceText(const PropInfo& prop);
  void ApplyText(const PropInfo& prop, const std::string& text);
  void ApplyReference(const PropInfo& prop, const std::string& text);
  void SaveObject(const PropInfo& prop, TPersistent* object);
  void LoadObject(const PropInfo& prop, TPersistent* object);
  void SaveLines(const std::string& section, TStrings* lines);
  void LoadLines(const std::string& section, TStrings* lines);
  // Runs work on a nested storage aimed at object (nothing beyond MaxNesting).
  void WithNested(TPersistent* object, const std::string& section, const std::string& prefix,
                  const std::function<void(TPropsStorage&)>& work);
  void SaveAll();
  void LoadAll();
  void WalkStoredList(TComponent* root, TStrings* storedList, bool saving);

  TPersistent* target_ = nullptr;
  TComponent* root_ = nullptr;
  std::string namePrefix_;
  std::string valueSection_;
  int depth_ = 0;
};

// "Comp.Prop" when both names are non-empty, else empty text.
std::string MakeStoredItem(const std::string& component, const std::string& property);
// Splits at the first "."; true when both trimmed parts are non-empty.
bool SplitStoredItem(const std::string& item, std::string& component, std::string& property);
// The item with its component part replaced, or empty text when it does not split.
std::string RenameStoredItem(const std::string& item, const std::string& component);

// Walking the lines from last to first, a line that does not split is deleted. From the
// form: each line is bound to (its object slot set to) the root's component it names, or
// deleted when there is none. To the form: an unbound line is deleted, a bound one is
// renamed after its component's current Name.
void SyncStoredList(TComponent* root, TStrings* storedList, bool fromForm);

// The top-level components (the live forms, then any data modules) that "Owner.Comp"
// references are looked up in. The window library installs its own source; without one
// there are none.
using TTopLevelComponentsFn = std::vector<TComponent*> (*)();
TTopLevelComponentsFn SetTopLevelComponents(TTopLevelComponentsFn source);
// The first top-level component whose Name equals name, ignoring case, or nullptr.
TComponent* FindTopLevelComponent(const std::string& name);

// Binds storedList to the form and builds a sorted list of the bound components' names,
// each with the TPropInfoList of its component as the line's object. Free it with
// FreePropListIndex.
TStringList* BuildPropListIndex(TComponent* root, TStrings* storedList);
void FreePropListIndex(TStringList* index);
