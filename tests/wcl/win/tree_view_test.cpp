#include "platform/wcl/win/tree_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/form.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/tree_clicks.h"

namespace {

class TreeViewTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 260);
    view = new TTreeView(form.get());
    view->SetParent(form.get());
    view->SetBounds(10, 10, 200, 200);
    view->OnChange = [this](TObject*, TTreeNode* node) { log.push_back("change:" + (node ? node->Text() : "-")); };
    view->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    work = view->Items()->AddChild(nullptr, "Work");
    view->Items()->AddChild(work, "Editor");
    view->Items()->AddChild(work, "Compiler");
    games = view->Items()->Add(work, "Games");
    view->Items()->AddChild(games, "Chess");
  }
  void TearDown() override {
    form.reset();
    real_input::ProcessMessages();  // what the closing posted
    AppTest::TearDown();
  }

  std::unique_ptr<TForm> form;
  TTreeView* view = nullptr;
  TTreeNode* work = nullptr;
  TTreeNode* games = nullptr;
  std::vector<std::string> log;
};

}  // namespace

TEST_F(TreeViewTest, NodesLiveInTheObjectsAndSurviveTheWindow) {
  EXPECT_EQ(5, view->Items()->Count());
  EXPECT_EQ("Chess", view->Items()->Item(4)->Text());
  EXPECT_EQ(1, view->Items()->Item(4)->Level());
  EXPECT_EQ(1, games->Index());
  work->SetExpanded(true);
  view->SetSelected(work->Item(1));
  EXPECT_EQ((std::vector<std::string>{"change:Compiler"}), log);

  form->Show();
  ASSERT_NE(nullptr, work->ItemId());
  EXPECT_EQ(work->Item(1), view->GetNodeAt(NodeTextPoint(view, work->Item(1)).x, NodeTextPoint(view, work->Item(1)).y));
  // A style change makes the window again with the same nodes, opened and selected alike.
  view->SetRowSelect(true);
  ASSERT_NE(nullptr, work->Item(1)->ItemId());
  const auto caret = reinterpret_cast<HTREEITEM>(SendMessageA(view->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  EXPECT_EQ(work->Item(1)->ItemId(), caret);
  EXPECT_NE(0u, SendMessageA(view->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(work->ItemId()), TVIS_EXPANDED) &
                    TVIS_EXPANDED);

  // Deleting the selected node (with its parent) leaves no selection behind.
  view->Items()->Delete(work);
  EXPECT_EQ(nullptr, view->Selected());
  EXPECT_EQ(2, view->Items()->Count());
  view->Items()->Clear();
  EXPECT_EQ(0, view->Items()->Count());
}

TEST_F(TreeViewTest, AClickOnANodeSelectsItAndIsReleasedOnceAClickOnItsButtonOpensIt) {
  form->Show();
  // The system's tree selects its first node when it first gets the focus.
  view->SetFocus();
  EXPECT_EQ(work, view->Selected());
  log.clear();
  ClickTreeAt(view, NodeTextPoint(view, games));
  EXPECT_EQ((std::vector<std::string>{"change:Games", "up"}), log);
  EXPECT_EQ(games, view->Selected());

  log.clear();
  std::vector<std::string> asked;
  view->OnExpanding = [&](TObject*, TTreeNode* node, bool&) { asked.push_back(node->Text()); };
  const POINT button = NodeButtonPoint(view, work);
  ASSERT_GE(button.x, 0);
  ClickTreeAt(view, button);
  EXPECT_EQ((std::vector<std::string>{"Work"}), asked);
  EXPECT_TRUE(work->Expanded());
  EXPECT_EQ((std::vector<std::string>{"up"}), log);
}

TEST_F(TreeViewTest, OpeningByKeyAsksFirstAndARefusalKeepsTheNodeClosed) {
  form->Show();
  view->SetFocus();
  view->SetSelected(games);
  bool allow = false;
  view->OnExpanding = [&](TObject*, TTreeNode*, bool& a) { a = allow; };
  view->Perform(WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_FALSE(games->Expanded());
  allow = true;
  view->Perform(WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_TRUE(games->Expanded());
  // Opening from code asks nobody.
  allow = false;
  work->Expand(false);
  EXPECT_TRUE(work->Expanded());
}

// Nodes added and pictures changed inside an update are in the window at its end; a hidden
// window stays hidden (turning drawing on again marks a window visible).
TEST_F(TreeViewTest, AnUpdateShowsItsChangesAtTheEndAndAHiddenTreeStaysHidden) {
  form->Show();
  const HWND window = view->Handle();
  for (const bool visible : {false, true}) {
    SCOPED_TRACE(visible ? "shown tree" : "hidden tree");
    view->SetVisible(visible);
    view->Items()->BeginUpdate();
    view->Items()->BeginUpdate();
    TTreeNode* added = view->Items()->Add(nullptr, visible ? "Web" : "Mail");
    work->SetImageIndex(visible ? 3 : 2);
    view->Items()->EndUpdate();
    view->Items()->EndUpdate();
    EXPECT_EQ(IsWindowVisible(window) != FALSE, visible);
    EXPECT_NE(nullptr, added->ItemId());
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE;
    item.hItem = work->ItemId();
    SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(visible ? 3 : 2, item.iImage);
  }
}
