#include "kit/win/combo_tree_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/win/combo_edit.h"
#include "platform/wcl/win/edit_controls.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/tree_clicks.h"

namespace {

class ComboTreeViewTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 320, 260);
    combo = new TComboEdit(form.get());
    combo->SetParent(form.get());
    combo->SetBounds(10, 10, 150, 21);
    other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(170, 10, 100, 21);
    tree = new TQComboTreeView(form.get());
    tree->SetParent(form.get());
    tree->SetComboEdit(combo);
    tree->SetPosition(10, 31);
    tree->SetWidth(150);
    tree->SetHeight(150);
    tree->OnChange = [this](TObject*, TTreeNode* node) { log.push_back("change:" + (node ? node->Text() : "-")); };
    tree->AfterSelect = [this](TObject* sender) { log.push_back(sender == nullptr ? "after" : "after:sender"); };
    tree->OnPopup = [this](TObject* sender) {
      log.push_back(sender == tree ? "popup" : "popup:other");
      if (tree->Items()->Count() == 0) Fill();
    };
  }
  void TearDown() override {
    form.reset();
    real_input::ProcessMessages();  // what the closing posted
    AppTest::TearDown();
  }

  // Work (Editor, Compiler), Games (Chess); Games selected.
  void Fill() {
    work = tree->Items()->AddChild(nullptr, "Work");
    tree->Items()->AddChild(work, "Editor");
    tree->Items()->AddChild(work, "Compiler");
    games = tree->Items()->Add(work, "Games");
    tree->Items()->AddChild(games, "Chess");
    tree->SetSelected(games);
  }

  void Drop() {
    form->Show();
    combo->SetFocus();
    combo->EditButtonClick();
    ASSERT_TRUE(tree->Visible());
    log.clear();
  }

  std::unique_ptr<TForm> form;
  TComboEdit* combo = nullptr;
  TEdit* other = nullptr;
  TQComboTreeView* tree = nullptr;
  TTreeNode* work = nullptr;
  TTreeNode* games = nullptr;
  std::vector<std::string> log;
};

}  // namespace

TEST_F(ComboTreeViewTest, TheButtonFillsAndShowsTheTreeWithoutChangeThenHidesIt) {
  EXPECT_FALSE(tree->Visible());
  form->Show();
  combo->EditButtonClick();
  EXPECT_EQ((std::vector<std::string>{"popup"}), log);
  EXPECT_TRUE(tree->Visible());
  EXPECT_TRUE(tree->Focused());
  real_input::HoldForLooking();

  log.clear();
  combo->EditButtonClick();
  EXPECT_FALSE(tree->Visible());
  EXPECT_EQ((std::vector<std::string>{"after"}), log);

  // A failing popup handler: the change handler is back and the tree stays hidden.
  log.clear();
  tree->OnPopup = [](TObject*) { throw std::runtime_error("no tasks"); };
  EXPECT_THROW(tree->ButtonClick(combo), std::runtime_error);
  EXPECT_FALSE(tree->Visible());
  tree->SetSelected(work);
  EXPECT_EQ((std::vector<std::string>{"change:Work"}), log);
}

TEST_F(ComboTreeViewTest, AClickOnANodeChoosesItButAClickOnItsButtonOnlyOpensIt) {
  Drop();
  ClickTreeAt(tree, NodeButtonPoint(tree, work));
  EXPECT_TRUE(work->Expanded());
  EXPECT_TRUE(tree->Visible());
  EXPECT_EQ("", combo->Text());

  ClickTreeAt(tree, NodeTextPoint(tree, work->Item(1)));
  EXPECT_EQ("Compiler", combo->Text());
  EXPECT_FALSE(tree->Visible());
  EXPECT_TRUE(combo->Focused());
  // The release hides and fires AfterSelect; the focus leaving the tree may fire it again.
  ASSERT_FALSE(log.empty());
  EXPECT_EQ("change:Compiler", log.front());
  EXPECT_EQ("after", log.back());
}

TEST_F(ComboTreeViewTest, OpeningByKeySwallowsTheNextReleaseAndEnterChooses) {
  Drop();
  ASSERT_EQ(games, tree->Selected());
  tree->Perform(WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_TRUE(games->Expanded());
  // This release belongs to the opening: nothing is chosen.
  tree->Perform(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  EXPECT_TRUE(tree->Visible());
  EXPECT_EQ("", combo->Text());

  int keyPresses = 0;
  tree->OnKeyPress = [&](TObject*, char&) { ++keyPresses; };
  tree->Perform(WM_CHAR, '\r', 1);
  EXPECT_EQ("Games", combo->Text());
  EXPECT_FALSE(tree->Visible());
  EXPECT_EQ(0, keyPresses);
  EXPECT_EQ("after", log.back());
}

TEST_F(ComboTreeViewTest, TheFocusMovingToTheComboEditKeepsTheTreeElsewhereHidesIt) {
  Drop();
  combo->SetFocus();
  EXPECT_TRUE(tree->Visible());
  EXPECT_TRUE(log.empty());
  tree->SetFocus();
  other->SetFocus();
  EXPECT_FALSE(tree->Visible());
  EXPECT_EQ((std::vector<std::string>{"after"}), log);
}

TEST_F(ComboTreeViewTest, TheTreeNeverHoldsAComboEditThatIsGoneNorLeavesItsHandlerBehind) {
  Drop();
  // The edit goes first: the tree forgets it and a choice only hides the tree.
  delete combo;
  EXPECT_EQ(nullptr, tree->ComboEdit());
  tree->Perform(WM_CHAR, '\r', 1);
  EXPECT_FALSE(tree->Visible());

  // Another edit: the first one's handler is taken off; going, the tree takes off its own.
  auto* first = new TComboEdit(form.get());
  auto* second = new TComboEdit(form.get());
  tree->SetComboEdit(first);
  EXPECT_TRUE(static_cast<bool>(first->OnButtonClick));
  tree->SetComboEdit(second);
  EXPECT_FALSE(static_cast<bool>(first->OnButtonClick));
  EXPECT_TRUE(static_cast<bool>(second->OnButtonClick));
  // A handler someone else put on the edit meanwhile stays.
  tree->SetComboEdit(first);
  second->OnButtonClick = [](TObject*) {};
  tree->SetComboEdit(nullptr);
  EXPECT_TRUE(static_cast<bool>(second->OnButtonClick));
  EXPECT_FALSE(static_cast<bool>(first->OnButtonClick));
  tree->SetComboEdit(first);
  delete tree;
  EXPECT_FALSE(static_cast<bool>(first->OnButtonClick));
}
