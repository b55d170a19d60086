#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using ListViewTest = AppTest;

TListView* MakeListView(TForm& form, const std::string& name) {
  auto* view = new TListView(&form);
  view->SetName(name);
  view->SetParent(&form);
  return view;
}

std::string ItemText(HWND window, int item, int subItem) {
  char text[256] = {};
  LVITEMA lvi{};
  lvi.iSubItem = subItem;
  lvi.pszText = text;
  lvi.cchTextMax = sizeof text;
  SendMessageA(window, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
  return text;
}

std::string ColumnCaption(HWND window, int column) {
  char text[256] = {};
  LVCOLUMNA lvc{};
  lvc.mask = LVCF_TEXT;
  lvc.pszText = text;
  lvc.cchTextMax = sizeof text;
  SendMessageA(window, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lvc));
  return text;
}

UINT ItemState(HWND window, int item, UINT mask) {
  return static_cast<UINT>(SendMessageA(window, LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
}

// Changes an item's state in the window as the user's click would.
void UserSetsState(HWND window, int item, UINT state, UINT mask) {
  LVITEMA lvi{};
  lvi.state = state;
  lvi.stateMask = mask;
  SendMessageA(window, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
}

}  // namespace

// The same list shown both ways: with copies of the items in the window, and with the window
// asking for the items it draws.
class ListViewShownTest : public ListViewTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(CopiesOrOnDemand, ListViewShownTest, ::testing::Bool());

TEST_P(ListViewShownTest, ReportItemsAndColumnsWaitForTheWindow) {
  TForm form(nullptr);
  TListView* view = MakeListView(form, "ListView");
  view->SetItemsOnDemand(GetParam());
  view->SetViewStyle(vsReport);
  view->SetReadOnly(true);
  view->SetRowSelect(true);
  view->SetColumnClick(false);
  TListColumn* name = view->Columns()->Add();
  name->SetCaption("Task name");
  name->SetWidth(300);
  TListColumn* time = view->Columns()->Add();
  time->SetCaption("Worked time");
  time->SetWidth(100);
  time->SetAlignment(taRightJustify);
  int value = 7;
  for (const char* task : {"editor", "browser", "mail"}) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(task);
    item->SubItems()->Add(std::string(task) + " time");
    item->SetImageIndex(view->Items()->Count());
    item->SetData(&value);
  }
  view->Items()->Insert(0)->SetCaption("first");
  EXPECT_EQ(view->Items()->Count(), 4);
  EXPECT_EQ(view->Items()->Items(2)->Caption(), "browser");
  EXPECT_EQ(view->Items()->Items(2)->Index(), 2);
  EXPECT_EQ(view->Items()->Items(3)->Data(), &value);
  EXPECT_THROW(view->Items()->Items(4), EListError);
  EXPECT_EQ(ResolvePath(&form, "ListView.Items.Item1"), view->Items()->Items(1));
  EXPECT_EQ(GetTextByPath(&form, "ListView.Columns.Item1.Caption"), "Worked time");

  HWND window = view->Handle();
  ASSERT_EQ(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(ItemText(window, 1, 0), "editor");
  EXPECT_EQ(ItemText(window, 3, 1), "mail time");
  EXPECT_EQ(ItemText(window, 0, 1), "");
  EXPECT_EQ(ColumnCaption(window, 0), "Task name");
  EXPECT_EQ(SendMessageA(window, LVM_GETCOLUMNWIDTH, 1, 0), 100);
  EXPECT_TRUE(SendMessageA(window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & LVS_NOSORTHEADER);
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & LVS_EDITLABELS);
  LVITEMA image{};
  image.mask = LVIF_IMAGE;
  image.iItem = 2;
  SendMessageA(window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&image));
  EXPECT_EQ(image.iImage, 2);
  EXPECT_EQ((GetWindowLongPtrA(window, GWL_STYLE) & LVS_OWNERDATA) != 0, GetParam());

  // The selection from code and from the window; an item put in before it moves it along.
  view->SetItemIndex(2);
  EXPECT_EQ(ItemState(window, 2, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
  UserSetsState(window, 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(view->ItemIndex(), 1);
  view->Items()->BeginUpdate();
  view->Items()->Insert(0)->SetCaption("new");
  EXPECT_EQ(view->ItemIndex(), 2);
  view->Items()->EndUpdate();
  EXPECT_EQ(ItemState(window, 2, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
  EXPECT_EQ(ItemState(window, 1, LVIS_SELECTED), 0u);
  EXPECT_EQ(ItemText(window, 0, 0), "new");
  // The row drawn at a point is the item there.
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(window, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row)));
  LVHITTESTINFO hit{};
  hit.pt = POINT{row.left + 40, (row.top + row.bottom) / 2};
  EXPECT_EQ(SendMessageA(window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 3);
  view->Items()->Delete(0);
  EXPECT_EQ(ItemState(window, 1, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));

  // Changes reach the window at once.
  view->Items()->Items(1)->SetCaption("editor 2");
  view->Items()->Items(3)->SubItems()->Clear();
  view->Items()->Delete(0);
  SetTextByPath(&form, "ListView.Columns.Item0.Caption", "Task");
  ASSERT_EQ(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ItemText(window, 0, 0), "editor 2");
  EXPECT_EQ(ItemText(window, 2, 1), "");
  EXPECT_EQ(ColumnCaption(window, 0), "Task");
  EXPECT_EQ(SendMessageA(window, LVM_GETCOLUMNWIDTH, 0, 0), 300);

  // A column the user makes narrower keeps its width when the window goes.
  SendMessageA(window, LVM_SETCOLUMNWIDTH, 0, 123);
  EXPECT_EQ(name->Width(), 123);
  view->Columns()->Add()->SetCaption("Third");
  EXPECT_EQ(SendMessageA(window, LVM_GETCOLUMNWIDTH, 0, 0), 123);
  form.DestroyHandle();
  EXPECT_EQ(name->Width(), 123);
  view->Items()->Clear();
  EXPECT_EQ(SendMessageA(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, ChangesFromCodeAndFromTheWindowRunTheEvents) {
  TForm form(nullptr);
  TListView* view = MakeListView(form, "lvGroupList");
  view->SetViewStyle(vsList);
  view->SetCheckboxes(true);
  for (const char* group : {"Work", "Games", "Web"}) view->Items()->Add()->SetCaption(group);
  std::vector<std::pair<int, TItemChange>> changes;
  std::vector<std::pair<int, bool>> selections;
  const TLVChangeEvent onChange = [&](TObject*, TListItem* item, TItemChange change) {
    changes.emplace_back(item->Index(), change);
  };
  view->OnChange = onChange;
  view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) { selections.emplace_back(item->Index(), selected); };
  view->Items()->Items(1)->SetChecked(true);
  view->Items()->Items(1)->SetChecked(true);
  EXPECT_EQ(changes, (std::vector<std::pair<int, TItemChange>>{{1, ctState}}));

  HWND window = view->Handle();
  EXPECT_EQ(ItemState(window, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
  EXPECT_EQ(ItemState(window, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
  EXPECT_EQ(changes.size(), 1u);  // showing the items is no change

  // The user checks an item: taken back and reported; detached, nothing is reported.
  UserSetsState(window, 2, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  EXPECT_TRUE(view->Items()->Items(2)->Checked());
  EXPECT_EQ(changes.back(), std::make_pair(2, ctState));
  view->OnChange = nullptr;
  UserSetsState(window, 2, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
  view->Items()->Items(0)->SetCaption("Office");
  EXPECT_FALSE(view->Items()->Items(2)->Checked());
  EXPECT_EQ(changes.size(), 2u);
  view->OnChange = onChange;

  // One selected item at the most, from code or from the window.
  view->SetItemIndex(1);
  view->SetItemIndex(0);
  EXPECT_EQ(view->Selected(), view->Items()->Items(0));
  EXPECT_EQ(ItemState(window, 0, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
  EXPECT_EQ(ItemState(window, 1, LVIS_SELECTED), 0u);
  UserSetsState(window, 2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(view->ItemIndex(), 2);
  EXPECT_EQ(selections, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}, {0, true}, {0, false}, {2, true}}));
  view->SetItemIndex(9);
  EXPECT_EQ(view->Selected(), nullptr);

  // A caption edited in place by the user.
  NMLVDISPINFOA edit{};
  edit.hdr = {window, static_cast<UINT_PTR>(GetDlgCtrlID(window)), static_cast<UINT>(LVN_ENDLABELEDITA)};
  edit.item.iItem = 1;
  char text[] = "Fun";
  edit.item.pszText = text;
  SendMessageA(form.Handle(), WM_NOTIFY, edit.hdr.idFrom, reinterpret_cast<LPARAM>(&edit));
  EXPECT_EQ(view->Items()->Items(1)->Caption(), "Fun");
  EXPECT_EQ(changes.back(), std::make_pair(1, ctText));
}
