#include "platform/rtl/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {

// Records its own destruction and the notifications it receives.
class Probe : public TComponent {
public:
  Probe(TComponent* owner, const std::string& name, std::vector<std::string>* log)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Probe() override {
    if (log_ != nullptr) log_->push_back("~" + Name());
  }
  void Loaded() override {
    if (log_ != nullptr) log_->push_back("loaded " + Name() + (ComponentState() & csLoading ? " (loading)" : ""));
    TComponent::Loaded();
  }
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component == target) target = nullptr;
    if (operation == opRemove) ++removals;
    TComponent::Notification(component, operation);
  }
  // A weak reference kept valid by free notifications.
  void SetTarget(TComponent* value) {
    target = value;
    if (value != nullptr) value->FreeNotification(this);
  }

  TComponent* target = nullptr;
  int removals = 0;

private:
  std::vector<std::string>* log_;
};

TEST(Component, OwnerDeletesComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* form = new Probe(nullptr, "Form", &log);
  new Probe(form, "a", &log);
  auto* b = new Probe(form, "b", &log);
  new Probe(b, "b1", &log);
  new Probe(form, "c", &log);

  EXPECT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(1), b);
  EXPECT_EQ(b->Owner(), form);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_THROW(form->Components(3), EListError);

  delete form;
  EXPECT_EQ(log, (std::vector<std::string>{"~Form", "~c", "~b", "~b1", "~a"}));
}

TEST(Component, DeletingAComponentTakesItOutOfItsOwner) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  delete a;
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
  TComponent form(nullptr);
  TComponent other(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  a->SetName("btStart");
  EXPECT_THROW(b->SetName("BTSTART"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  try {
    b->SetName("btStart");
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named btStart already exists");
  }
  a->SetName("BtStart");  // renaming itself in another case is fine
  EXPECT_EQ(a->Name(), "BtStart");
  EXPECT_THROW(b->SetName("1st"), EComponentError);
  EXPECT_THROW(b->SetName("bt Stop"), EComponentError);
  EXPECT_THROW(b->SetName("bt.Stop"), EComponentError);
  b->SetName("_bt2");
  b->SetName("");
  EXPECT_EQ(b->Name(), "");

  // A component moving in must not bring a duplicate name.
  auto* stray = new TComponent(&other);
  stray->SetName("btStart");
  EXPECT_THROW(form.InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->Owner(), &other);
}

TEST(Component, FindComponentSearchesOnlyDirectChildrenIgnoringCase) {
  TComponent form(nullptr);
  auto* panel = new TComponent(&form);
  panel->SetName("Panel1");
  auto* inner = new TComponent(panel);
  inner->SetName("Button1");

  EXPECT_EQ(form.FindComponent("panel1"), panel);
  EXPECT_EQ(form.FindComponent("Button1"), nullptr);
  EXPECT_EQ(panel->FindComponent("BUTTON1"), inner);
  EXPECT_EQ(form.FindComponent(""), nullptr);
}

TEST(Component, InsertAndRemoveMoveOwnershipAndNotify) {
  Probe form(nullptr, "Form", nullptr);
  Probe other(nullptr, "Other", nullptr);
  auto* c = new TComponent(&other);
  form.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &form);
  EXPECT_EQ(other.ComponentCount(), 0);
  EXPECT_EQ(other.removals, 1);

  form.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.removals, 1);

  // An ownership cycle would delete twice.
  form.InsertComponent(c);
  EXPECT_THROW(c->InsertComponent(&form), EComponentError);
  EXPECT_THROW(form.InsertComponent(&form), EComponentError);
}

TEST(Component, FreeNotificationClearsReferencesToDestroyedComponents) {
  TComponent formA(nullptr);
  TComponent formB(nullptr);
  auto* holder = new Probe(&formA, "holder", nullptr);
  auto* menu = new TComponent(&formB);
  holder->SetTarget(menu);
  delete menu;  // owned elsewhere: told through the free notification
  EXPECT_EQ(holder->target, nullptr);
  EXPECT_EQ(holder->removals, 1);

  // Siblings are told through the owner, once.
  auto* sibling = new TComponent(&formA);
  holder->SetTarget(sibling);
  delete sibling;
  EXPECT_EQ(holder->target, nullptr);
  EXPECT_EQ(holder->removals, 2);

  // The link is mutual: the holder dying first leaves nothing dangling in the target.
  auto* target = new TComponent(&formB);
  auto* shortLived = new Probe(&formA, "short", nullptr);
  shortLived->SetTarget(target);
  delete shortLived;
  delete target;  // would touch the dead holder if the link were left behind

  // Removed notifications are not sent.
  auto* again = new TComponent(&formB);
  holder->SetTarget(again);
  again->RemoveFreeNotification(holder);
  const int before = holder->removals;
  delete again;
  EXPECT_EQ(holder->removals, before);
}

TEST(Component, SiblingReferencesStayValidWhileTheOwnerIsDestroyed) {
  std::vector<std::string> log;
  auto* form = new TComponent(nullptr);
  auto* first = new Probe(form, "first", &log);
  auto* later = new TComponent(form);
  first->SetTarget(later);  // later is deleted before first
  auto* outside = new TComponent(nullptr);
  auto* fromOutside = new Probe(outside, "out", &log);
  fromOutside->SetTarget(first);
  delete form;
  EXPECT_EQ(fromOutside->target, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"~first"}));
  delete outside;
}

TEST(Component, LoadedAllEndsTheLoadingPhaseInCreationOrder) {
  std::vector<std::string> log;
  Probe form(nullptr, "Form", &log);
  form.BeginLoading();
  auto* a = new Probe(&form, "a", &log);
  new Probe(&form, "b", &log);
  EXPECT_TRUE(a->ComponentState() & csLoading);
  LoadedAll(&form);
  EXPECT_EQ(log, (std::vector<std::string>{"loaded a (loading)", "loaded b (loading)",
                                           "loaded Form (loading)"}));
  EXPECT_FALSE(a->ComponentState() & csLoading);
  EXPECT_FALSE(form.ComponentState() & csLoading);
  // Components created later are not loading.
  auto* c = new TComponent(&form);
  EXPECT_EQ(c->ComponentState(), 0u);
}

TEST(Component, DestroyingMarksTheWholeTree) {
  TComponent form(nullptr);
  auto* panel = new TComponent(&form);
  auto* button = new TComponent(panel);
  form.Destroying();
  EXPECT_TRUE(panel->ComponentState() & csDestroying);
  EXPECT_TRUE(button->ComponentState() & csDestroying);
}

TEST(Component, PublishesTagButNotName) {
  TComponent c(nullptr);
  EXPECT_EQ(c.ClassName(), "TComponent");
  SetOrdProp(&c, "tag", 42);
  EXPECT_EQ(c.Tag(), 42);
  EXPECT_EQ(FindProp(&c, "Name"), nullptr);
}

}  // namespace
