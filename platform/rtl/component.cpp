#include "platform/rtl/component.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {

bool IsIdentStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsValidIdent(const std::string& text) {
  if (text.empty() || !IsIdentStart(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(text.begin(), text.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return IsIdentStart(c) || (c >= '0' && c <= '9');
  });
}

void Erase(std::vector<TComponent*>& list, const TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

bool Contains(const std::vector<TComponent*>& list, const TComponent* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

const ClassInfo* TComponent::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TComponent>("TComponent", nullptr)
                                  .Int("Tag", &TComponent::Tag, &TComponent::SetTag)
                                  .Build();
  return &ci;
}

TComponent::TComponent(TComponent* owner) {
  if (owner == nullptr) return;
  if (owner->state_ & csLoading) state_ |= csLoading;
  owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Whoever holds a pointer to this component hears of its end now. Components of the same
  // owner hear it below through the owner, so they are told once.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(other->freeNotifies_, this);
    if (owner_ == nullptr || other->owner_ != owner_) other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  // Each component takes itself out of the list as it goes (and tells the ones remaining).
  while (!components_.empty()) delete components_.back();
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_ != nullptr) owner_->CheckUniqueName(name, this);
  name_ = name;
}

void TComponent::CheckUniqueName(const std::string& name, const TComponent* except) const {
  TComponent* found = FindComponent(name);
  if (found != nullptr && found != except)
    throw EComponentError("A component named " + name + " already exists");
}

TPersistent* TComponent::GetOwner() const { return owner_; }

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (property_detail::SameName(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->owner_ == this) return;
  // An ownership cycle would delete components twice.
  for (const TComponent* p = this; p != nullptr; p = p->owner_)
    if (p == component) throw EComponentError("A component cannot own itself");
  CheckUniqueName(component->name_, component);
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Erase(components_, component);
  component->owner_ = nullptr;
  Notification(component, opRemove);
}

void TComponent::Loaded() { state_ &= ~static_cast<TComponentState>(csLoading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  // A handler may delete components, so the list is re-checked at every step.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) continue;
    components_[static_cast<size_t>(i)]->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (!Contains(freeNotifies_, component)) freeNotifies_.push_back(component);
  if (!Contains(component->freeNotifies_, this)) component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  Erase(freeNotifies_, component);
  Erase(component->freeNotifies_, this);
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void LoadedAll(TComponent* root) {
  if (root == nullptr) return;
  // Loaded() may create or delete components, so the list is read afresh at every step.
  for (int i = 0; i < root->ComponentCount(); ++i) root->Components(i)->Loaded();
  root->Loaded();
}
