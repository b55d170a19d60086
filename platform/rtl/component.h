#pragma once
// TComponent: named objects arranged in an ownership tree. An owner keeps its components in
// creation order and deletes them (last created first) when it is deleted. Components that
// hold pointers to other components ask for free notifications, so they hear of the other's
// destruction and never keep a dangling pointer.

#include <string>
#include <vector>

#include "platform/rtl/persistent.h"

enum TOperation { opInsert, opRemove };

// Component state flags, combined in a TComponentState mask.
enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,     // the owner's form is still being built; Loaded() clears it
  csDestroying = 1u << 1,  // the component (or its owner) is being deleted
  csDesigning = 1u << 2,   // never set: there is no designer
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
  HL_REFLECTABLE
public:
  // A component created with an owner is owned (and later deleted) by it, so it is made
  // with new. It starts in the loading state when its owner is loading.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  // An empty name or a valid identifier (letter or "_", then letters, digits, "_"); raises
  // EComponentError for other text and when another component of the same owner already has
  // the name (ignoring case).
  virtual void SetName(const std::string& name);

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override;
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Owned components in creation order; EListError when index is out of range.
  TComponent* Components(int index) const;
  // Position in the owner's list, -1 without owner.
  int ComponentIndex() const;
  // The directly owned component of that name (ignoring case), or nullptr for none or "".
  TComponent* FindComponent(const std::string& name) const;
  // Takes component into this owner's list (out of any previous owner's) and tells the
  // owned components opInsert. Raises EComponentError for a duplicate name.
  void InsertComponent(TComponent* component);
  // Releases component from this owner's list without deleting it and tells opRemove.
  void RemoveComponent(TComponent* component);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  TComponentState ComponentState() const { return state_; }

  // Called once the whole form is built (see LoadedAll); clears csLoading. Overrides call
  // the base.
  virtual void Loaded();
  // Told about components inserted into or removed from the owner, and about the
  // destruction of components this one asked free notification of. Overrides must call the
  // base, which forwards the notice to the owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  // Links this component and component so that whichever is destroyed first tells the
  // other (opRemove): the one holding a reference calls `referenced->FreeNotification(this)`.
  // Linking twice is the same as once.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Marks the component as loading; components created with it as owner follow.
  void BeginLoading() { state_ |= csLoading; }

protected:
  // Deletes the owned components, last created first. The destructor does this; a derived
  // class whose components use its own members calls it first in its destructor.
  void DestroyComponents();

private:
  // Raises EComponentError when a component other than except already has the name here.
  void CheckUniqueName(const std::string& name, const TComponent* except) const;

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  int tag_ = 0;
  TComponentState state_ = 0;
};

// Ends the building of a form in code: calls Loaded() on every component root owns, in
// creation order, and then on root itself. A form constructor calls root->BeginLoading()
// first, so its components are in csLoading until then.
void LoadedAll(TComponent* root);
