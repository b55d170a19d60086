#include "platform/rtl/collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

namespace {

class TPanel : public TCollectionItem {
  HL_REFLECTABLE
public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) {
    text_ = v;
    Changed(false);
  }
  void Assign(TPersistent* source) override {
    if (auto* other = dynamic_cast<TPanel*>(source)) {
      text_ = other->text_;
      return;
    }
    TCollectionItem::Assign(source);
  }

private:
  std::string text_;
};

const ClassInfo* TPanel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPanel>("TStatusPanel", TCollectionItem::StaticClassInfo())
                                  .Str("Text", &TPanel::Text, &TPanel::SetText)
                                  .Build();
  return &ci;
}

// Records the updates it is sent, as a status bar repaints.
class TPanels : public TCollection {
  HL_REFLECTABLE
public:
  explicit TPanels(TPersistent* owner = nullptr) : TCollection(ItemClass<TPanel>(), owner) {}
  TPanel* Add() { return static_cast<TPanel*>(TCollection::Add()); }
  std::vector<const TCollectionItem*> updates;

protected:
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

const ClassInfo* TPanels::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TPanels>("TStatusPanels", TCollection::StaticClassInfo()).Build();
  return &ci;
}

std::vector<std::string> Texts(const TCollection& c) {
  std::vector<std::string> texts;
  for (int i = 0; i < c.Count(); ++i) texts.push_back(static_cast<TPanel*>(c.Items(i))->Text());
  return texts;
}

void Fill(TPanels& panels, const std::vector<std::string>& texts) {
  for (const auto& t : texts) panels.Add()->SetText(t);
}

TEST(Collection, AddInsertDeleteAndMoveKeepIndexes) {
  TPanels panels;
  Fill(panels, {"a", "b", "c"});
  static_cast<TPanel*>(panels.Insert(1))->SetText("x");
  EXPECT_EQ(Texts(panels), (std::vector<std::string>{"a", "x", "b", "c"}));
  EXPECT_EQ(panels.Items(2)->Index(), 2);
  EXPECT_EQ(panels.Items(2)->Collection(), &panels);

  panels.Items(0)->SetIndex(3);
  EXPECT_EQ(Texts(panels), (std::vector<std::string>{"x", "b", "c", "a"}));
  panels.Items(3)->SetIndex(1);
  EXPECT_EQ(Texts(panels), (std::vector<std::string>{"x", "a", "b", "c"}));
  EXPECT_THROW(panels.Items(0)->SetIndex(4), EListError);

  panels.Delete(0);
  delete panels.Items(1);  // an item deleted directly leaves the collection
  EXPECT_EQ(Texts(panels), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(panels.Items(1)->Index(), 1);

  EXPECT_THROW(panels.Items(2), EListError);
  EXPECT_THROW(panels.Items(-1), EListError);
  EXPECT_THROW(panels.Delete(2), EListError);
  EXPECT_THROW(panels.Insert(3), EListError);
  EXPECT_EQ(panels.Count(), 2);
  panels.Insert(2);  // at the end
  EXPECT_EQ(panels.Count(), 3);
  panels.Clear();
  EXPECT_EQ(panels.Count(), 0);

  TPanel loose;
  EXPECT_EQ(loose.Index(), -1);
  loose.SetIndex(5);  // outside a collection: nothing to move
}

TEST(Collection, UpdatesReachTheOwnerOncePerChangeOrBatch) {
  TPanels panels;
  TPanel* a = panels.Add();
  EXPECT_EQ(panels.updates, (std::vector<const TCollectionItem*>{nullptr}));
  panels.updates.clear();

  a->SetText("one");  // one item changed
  EXPECT_EQ(panels.updates, (std::vector<const TCollectionItem*>{a}));
  panels.updates.clear();

  panels.BeginUpdate();
  panels.BeginUpdate();
  panels.Add()->SetText("two");
  panels.Insert(0);
  a->SetIndex(2);
  panels.EndUpdate();
  EXPECT_TRUE(panels.updates.empty());
  panels.EndUpdate();
  EXPECT_EQ(panels.updates, (std::vector<const TCollectionItem*>{nullptr}));
  panels.updates.clear();
  panels.EndUpdate();  // unbalanced: ignored, updates are not blocked afterwards
  a->SetText("again");
  EXPECT_EQ(panels.updates, (std::vector<const TCollectionItem*>{a}));

  panels.updates.clear();
  panels.Clear();
  EXPECT_EQ(panels.updates, (std::vector<const TCollectionItem*>{nullptr}));
}

TEST(Collection, AssignCopiesItemsOrKeepsTheOldOnes) {
  TPanels source;
  Fill(source, {"a", "b"});
  TPanels target;
  Fill(target, {"old"});
  target.Assign(&source);
  EXPECT_EQ(Texts(target), (std::vector<std::string>{"a", "b"}));
  EXPECT_NE(target.Items(0), source.Items(0));
  EXPECT_EQ(target.Items(1)->Collection(), &target);

  // Items of a class that cannot be assigned to a panel: nothing changes.
  TCollection plain(nullptr);
  plain.Add();
  EXPECT_THROW(target.Assign(&plain), EConvertError);
  EXPECT_EQ(Texts(target), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(plain.Items(0)->ClassName(), "TCollectionItem");

  target.Assign(&target);
  EXPECT_EQ(Texts(target), (std::vector<std::string>{"a", "b"}));
  EXPECT_THROW(target.Assign(static_cast<TPersistent*>(target.Items(0))), EConvertError);
}

TEST(Collection, OwnersNamesAndItemRole) {
  TPanels owner;
  TPanels panels(&owner);
  TPanel* p = panels.Add();
  EXPECT_EQ(panels.GetOwner(), &owner);
  EXPECT_EQ(p->GetOwner(), &panels);
  EXPECT_EQ(panels.ClassName(), "TStatusPanels");
  EXPECT_EQ(p->ClassName(), "TStatusPanel");
  EXPECT_EQ(panels.ListedItemCount(), 1);
  EXPECT_EQ(panels.ListedItem(0), p);
  EXPECT_EQ(panels.ListedItem(1), nullptr);
  EXPECT_EQ(p->ListedItemCount(), -1);
  SetStrProp(p, "text", "via name");
  EXPECT_EQ(p->Text(), "via name");
}

}  // namespace
