#include "kit/win/kit_draw_grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/win/ini_access_win.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/edges.h"
#include "tests/kit/win/store_fixture.h"

namespace {

std::vector<unsigned>& Beeps() {
  static std::vector<unsigned> beeps;
  return beeps;
}
void RecordBeep(unsigned type) { Beeps().push_back(type); }

class KitDrawGridTest : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    Beeps().clear();
    previousBeep_ = SetMessageBeepEdge(&RecordBeep);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(80, 80, 420, 300);
    grid = new TKitDrawGrid(form.get());
    grid->SetParent(form.get());
    grid->SetBounds(8, 8, 380, 240);
    grid->SetColCount(4);
    grid->SetRowCount(6);
    grid->SetDefaultColWidth(80);
  }
  void TearDown() override {
    form.reset();
    SetMessageBeepEdge(previousBeep_);
    StoreTest::TearDown();
  }

  POINT Centre(int col, int row) {
    const RECT r = grid->CellRect(col, row);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Mouse(UINT msg, POINT p, WPARAM keys = 0) { grid->Perform(msg, keys, MAKELPARAM(p.x, p.y)); }
  void EditorKey(WORD key) {
    TInplaceEdit* editor = grid->InplaceEditor();
    editor->Perform(WM_KEYDOWN, key, 1);
  }
  TKitInplaceEdit* Editor() { return static_cast<TKitInplaceEdit*>(grid->InplaceEditor()); }
  // A pick-list editor on cell (1, 1) whose list holds items.
  void OpenPickList(const std::vector<std::string>& items) {
    form->Show();
    grid->SetOptions(grid->Options() | GridOpt(goEditing));
    grid->OnGetEditStyle = [](TObject*, int, int, TInplaceEditStyle& style) { style = iePickList; };
    grid->OnGetPicklist = [items](TObject*, int, int, TStrings* list) {
      for (const std::string& item : items) list->Add(item);
    };
    grid->SetFocus();
    grid->ShowEditor();
    ASSERT_TRUE(grid->EditorMode());
    Editor()->DropDown();
    ASSERT_TRUE(Editor()->ListVisible());
  }

  std::unique_ptr<TForm> form;
  TKitDrawGrid* grid = nullptr;

private:
  TMessageBeepEdge previousBeep_ = nullptr;
};

}  // namespace

TEST_F(KitDrawGridTest, StartsWithTheKitDefaults) {
  EXPECT_EQ(18, grid->DefaultRowHeight());
  EXPECT_TRUE(grid->HasOption(goDrawFocusSelected));
  EXPECT_TRUE(grid->HasOption(goColSizing));
  EXPECT_FALSE(grid->HasOption(goRangeSelect));
  EXPECT_FALSE(grid->FixedButtons());
}

TEST_F(KitDrawGridTest, FixedButtonsClickOnlyWhenReleasedOnThePressedCell) {
  form->Show();
  grid->SetFixedButtons(true);
  std::vector<std::string> clicks;
  grid->OnFixedCellClick = [&](TObject*, int col, int row) {
    clicks.push_back(std::to_string(col) + "," + std::to_string(row));
  };
  Mouse(WM_LBUTTONDOWN, Centre(2, 0), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(3, 0), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(3, 0));
  EXPECT_TRUE(clicks.empty()) << "moved off before the release";

  Mouse(WM_LBUTTONDOWN, Centre(2, 0), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(3, 0), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(2, 0), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(2, 0));
  EXPECT_EQ((std::vector<std::string>{"2,0"}), clicks);

  // A double click on a button is a second press, not a double click.
  int doubles = 0;
  grid->OnDblClick = [&](TObject*) { ++doubles; };
  Mouse(WM_LBUTTONDBLCLK, Centre(0, 3), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(0, 3));
  EXPECT_EQ((std::vector<std::string>{"2,0", "0,3"}), clicks);
  EXPECT_EQ(0, doubles);
  Mouse(WM_LBUTTONDBLCLK, Centre(2, 3), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(2, 3));
  EXPECT_EQ(1, doubles);
  EXPECT_EQ(2u, clicks.size());
}

TEST_F(KitDrawGridTest, WithButtonsTheRightButtonMovesColumns) {
  form->Show();
  grid->SetFixedButtons(true);
  grid->SetOptions(grid->Options() | GridOpt(goColMoving));
  grid->SetColWidths(1, 50);
  int clicks = 0;
  grid->OnFixedCellClick = [&](TObject*, int, int) { ++clicks; };
  Mouse(WM_RBUTTONDOWN, Centre(1, 0), MK_RBUTTON);
  EXPECT_EQ(gsColMoving, grid->GridState());
  Mouse(WM_MOUSEMOVE, Centre(3, 0), MK_RBUTTON);
  Mouse(WM_RBUTTONUP, Centre(3, 0));
  EXPECT_EQ(gsNormal, grid->GridState());
  EXPECT_EQ(50, grid->ColWidths(3));
  EXPECT_EQ(80, grid->ColWidths(1));
  EXPECT_EQ(0, clicks);
}

TEST_F(KitDrawGridTest, ARefusedButtonBeepsAndNeverClicks) {
  form->Show();
  grid->SetFixedButtons(true);
  int clicks = 0;
  grid->OnFixedCellClick = [&](TObject*, int, int) { ++clicks; };
  grid->OnCheckButton = [](TObject*, int col, int, bool& enabled) { enabled = col != 1; };
  Mouse(WM_LBUTTONDOWN, Centre(1, 0), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(1, 0));
  EXPECT_EQ(0, clicks);
  EXPECT_EQ(1u, Beeps().size());
  grid->SetFixedButtons(false);
  Mouse(WM_LBUTTONDOWN, Centre(2, 0), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(2, 0));
  EXPECT_EQ(0, clicks) << "without FixedButtons headers are no buttons";
}

TEST_F(KitDrawGridTest, TheEditorWritesOnEnterAndEscapeDropsTheEdit) {
  form->Show();
  grid->SetOptions(grid->Options() | GridOpt(goEditing));
  std::vector<std::string> written;
  grid->OnGetEditText = [](TObject*, int, int, std::string& value) { value = "cell"; };
  grid->OnSetEditText = [&](TObject*, int, int, const std::string& value) { written.push_back(value); };
  int cancels = 0;
  grid->OnCancelEdit = [&](TObject*) { ++cancels; };
  int changes = 0;
  grid->OnEditChange = [&](TObject*) { ++changes; };
  auto type = [this](char ch) {
    const HWND edit = grid->InplaceEditor()->Handle();
    SendMessageA(edit, EM_SETSEL, 100, 100);
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
  };
  bool refuse = true;
  grid->OnShowEditor = [&](TObject*, int, int, bool& allow) { allow = !refuse; };
  grid->SetFocus();
  grid->ShowEditor();
  EXPECT_FALSE(grid->EditorMode()) << "OnShowEditor refused";
  refuse = false;

  grid->ShowEditor();
  ASSERT_TRUE(grid->EditorMode());
  type('z');
  EXPECT_EQ(1, changes);
  EXPECT_TRUE(written.empty()) << "nothing reaches the cell while the editor is open";
  EditorKey(VK_RETURN);
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ((std::vector<std::string>{"cellz"}), written);

  grid->ShowEditor();
  type('y');
  EditorKey(VK_ESCAPE);
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(1u, written.size()) << "Escape drops the edit";
  EXPECT_EQ(1, cancels);

  grid->OnCancelEdit = [](TObject*) { throw std::runtime_error("handler failed"); };
  grid->ShowEditor();
  type('x');
  EXPECT_THROW(EditorKey(VK_ESCAPE), std::runtime_error);
  grid->ShowEditor();
  type('w');
  EditorKey(VK_RETURN);
  EXPECT_EQ((std::vector<std::string>{"cellz", "cellw"}), written) << "a failing handler leaves no gate shut";

  grid->SetOptions(grid->Options() | GridOpt(goAlwaysShowEditor));
  grid->ShowEditor();
  type('v');
  EXPECT_EQ("cellv", written.back()) << "an editor always shown writes at once";
  Mouse(WM_LBUTTONDOWN, Centre(2, 3), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(2, 3));
  EXPECT_TRUE(grid->EditorMode()) << "a click moves an editor that is always shown";
  EXPECT_EQ(3, grid->InplaceEditor()->EditRow());
}

TEST_F(KitDrawGridTest, PickListShowsItsItemsAndTakesTheChosenOneOnEnter) {
  OpenPickList({"red", "green", "blue"});
  TPopupListbox* list = Editor()->ActiveList();
  const int itemHeight = static_cast<int>(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(list->Handle(), &client);
  EXPECT_EQ(3, client.bottom / itemHeight) << "every item has its row";
  EXPECT_EQ(-1, list->ItemIndex()) << "the editor's text is no item";
  EXPECT_EQ(Editor()->Handle(), GetFocus()) << "the editor keeps the focus";

  EditorKey(VK_DOWN);
  EditorKey(VK_DOWN);
  EditorKey(VK_RETURN);
  EXPECT_FALSE(Editor()->ListVisible());
  EXPECT_EQ("green", Editor()->Text());
  EXPECT_TRUE(grid->EditorMode());

  Editor()->DropDown();
  EXPECT_EQ(1, list->ItemIndex()) << "the editor's text is found in the list";
  EditorKey(VK_ESCAPE);
  EXPECT_FALSE(Editor()->ListVisible());
  EXPECT_TRUE(grid->EditorMode()) << "Escape in an open list only closes the list";
}

TEST_F(KitDrawGridTest, AcceptingWithNothingChosenKeepsTheText) {
  OpenPickList({"red", "green"});
  const std::string before = Editor()->Text();
  EditorKey(VK_RETURN);
  EXPECT_FALSE(Editor()->ListVisible());
  EXPECT_EQ(before, Editor()->Text());
}

TEST_F(KitDrawGridTest, LongPickListsShowEightRowsAndRoomForTheScrollBar) {
  std::vector<std::string> items;
  for (int i = 0; i < 20; ++i) items.push_back("item " + std::to_string(i));
  OpenPickList(items);
  TPopupListbox* list = Editor()->ActiveList();
  const int itemHeight = static_cast<int>(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(list->Handle(), &client);
  EXPECT_EQ(8, client.bottom / itemHeight);
  RECT window;
  GetWindowRect(list->Handle(), &window);
  EXPECT_GE(window.right - window.left, Editor()->Width() + GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(KitDrawGridTest, TypingInTheOpenListFindsTheFirstItemItBegins) {
  OpenPickList({"apple", "abacus", "banana", "abbey"});
  TPopupListbox* list = Editor()->ActiveList();
  SendMessageA(Editor()->Handle(), WM_CHAR, 'a', 0);
  SendMessageA(Editor()->Handle(), WM_CHAR, 'b', 0);
  EXPECT_EQ(1, list->ItemIndex());
  EXPECT_EQ("ab", list->SearchText().Text());
  SendMessageA(Editor()->Handle(), WM_CHAR, VK_BACK, 0);
  EXPECT_EQ("", list->SearchText().Text());
}

TEST_F(KitDrawGridTest, ColumnWidthsLiveInThePlacementsStore) {
  auto* placement = new TFormPlacement(form.get());
  placement->SetUseRegistry(true);
  placement->SetIniFileName(key);
  placement->SetIniSection("Options");
  grid->SetIniStorage(placement);
  placement->RestoreFromStore();
  placement->SaveToStore();
  EXPECT_EQ("<none>", RegValue("Options\\" + DefaultSectionName(grid), "Item0")) << "a grid without a name";

  grid->SetName("gridWeek");
  const std::string section = "Options\\" + DefaultSectionName(grid);
  grid->SetColWidths(2, 123);
  placement->SaveToStore();
  EXPECT_EQ("80", RegValue(section, "Item0"));
  EXPECT_EQ("123", RegValue(section, "Item2"));
  RegSet(section, "Item1", "55");
  RegSet(section, "Item3", "-7");
  placement->RestoreFromStore();
  EXPECT_EQ(55, grid->ColWidths(1));
  EXPECT_EQ(80, grid->ColWidths(3)) << "a negative stored width is ignored";
}

TEST_F(KitDrawGridTest, WithoutDefaultDrawingOnlyTheOwnerPaints) {
  form->Show();
  grid->SetDefaultDrawing(false);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->OnDrawCell = [this](TObject*, int col, int row, const RECT& rect, TGridDrawState) {
    TCanvas* canvas = grid->Canvas();
    canvas->Brush()->SetColor(col == 1 ? 0x00FF00 : 0xFFFFFF);
    canvas->FillRect(rect);
    grid->DrawTextInRect(rect, "12:30", 2);
  };
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
  grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()), 0);
  const RECT green = grid->CellRect(1, 1);
  EXPECT_EQ(0x00FF00u, bitmap->Canvas()->Pixels(green.left + 1, green.top + 1) & 0xFFFFFF);
  const RECT white = grid->CellRect(0, 0);
  EXPECT_EQ(0xFFFFFFu, bitmap->Canvas()->Pixels(white.left + 1, white.top + 1) & 0xFFFFFF);
  bool text = false;
  for (int x = green.left; x < green.right; ++x)
    text |= (bitmap->Canvas()->Pixels(x, (green.top + green.bottom) / 2) & 0xFFFFFF) != 0x00FF00u;
  EXPECT_TRUE(text) << "the centred text crosses the cell's middle line";
  EXPECT_FALSE(grid->DefaultDrawing()) << "painting gives the setting back";
}
