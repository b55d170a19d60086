#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/timer.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/test_controls.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, TComponent* owner, const std::string& caption) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

MENUITEMINFOA ItemInfo(HMENU menu, UINT command) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
  GetMenuItemInfoA(menu, command, FALSE, &info);
  return info;
}

std::string ItemText(HMENU menu, UINT command) {
  char text[128] = {};
  GetMenuStringA(menu, command, text, sizeof text, MF_BYCOMMAND);
  return text;
}

// Closes whatever menu is open shortly after it opens.
class MenuCloser {
public:
  MenuCloser() : timer_(nullptr) {
    timer_.SetInterval(100);
    timer_.OnTimer = [this](TObject*) {
      timer_.SetEnabled(false);
      EndMenu();
    };
  }

private:
  TTimer timer_;
};

}  // namespace

using MenuTest = AppTest;

TEST_F(MenuTest, RadioItemsUncheckTheirGroupAndTheHandleShowsTheItems) {
  TPopupMenu menu(nullptr);
  TMenuItem* root = menu.Items();
  TMenuItem* day = AddItem(root, &menu, "&Day");
  TMenuItem* week = AddItem(root, &menu, "&Week");
  TMenuItem* month = AddItem(root, &menu, "&Month");
  TMenuItem* line = AddItem(root, &menu, "-");
  TMenuItem* other = AddItem(root, &menu, "Other");
  for (TMenuItem* item : {day, week, month, other}) {
    item->SetRadioItem(true);
    item->SetGroupIndex(item == other ? 2 : 1);
  }
  week->SetChecked(true);
  other->SetChecked(true);
  month->SetChecked(true);
  EXPECT_FALSE(week->Checked());
  EXPECT_TRUE(month->Checked());
  EXPECT_TRUE(other->Checked());

  day->SetEnabled(false);
  HMENU handle = menu.Handle();
  EXPECT_EQ(GetMenuItemCount(handle), 5);
  EXPECT_TRUE(ItemInfo(handle, month->Command()).fState & MFS_CHECKED);
  EXPECT_FALSE(ItemInfo(handle, week->Command()).fState & MFS_CHECKED);
  EXPECT_TRUE(ItemInfo(handle, month->Command()).fType & MFT_RADIOCHECK);
  EXPECT_TRUE(ItemInfo(handle, line->Command()).fType & MFT_SEPARATOR);
  EXPECT_TRUE(ItemInfo(handle, day->Command()).fState & MFS_DISABLED);

  // Changes reach the next handle; hidden items are left out, subitems make a submenu.
  week->SetCaption("Two &weeks");
  other->SetVisible(false);
  TMenuItem* sub = AddItem(day, &menu, "Sub");
  handle = menu.Handle();
  EXPECT_EQ(ItemText(handle, week->Command()), "Two &weeks");
  EXPECT_EQ(GetMenuItemCount(handle), 4);
  HMENU submenu = ItemInfo(handle, day->Command()).hSubMenu;
  ASSERT_NE(submenu, nullptr);
  EXPECT_EQ(submenu, day->Handle());
  EXPECT_EQ(GetMenuItemID(submenu, 0), sub->Command());
}

TEST_F(MenuTest, OneDefaultItemPerLevel) {
  TPopupMenu menu(nullptr);
  TMenuItem* restore = AddItem(menu.Items(), &menu, "Restore");
  TMenuItem* hide = AddItem(menu.Items(), &menu, "Hide");
  hide->SetDefault(true);
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), FALSE, 0), hide->Command());
  restore->SetDefault(true);
  EXPECT_FALSE(hide->Default());
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), FALSE, 0), restore->Command());
}

TEST_F(MenuTest, PopupRunsOnPopupAndAPostedCommandClicksTheItem) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  TMenuItem* start = AddItem(menu->Items(), &form, "Start");
  TMenuItem* stop = AddItem(menu->Items(), &form, "Stop");
  stop->SetEnabled(false);
  int popups = 0;
  std::vector<TMenuItem*> clicked;
  menu->OnPopup = [&](TObject*) { ++popups; };
  start->OnClick = stop->OnClick = [&](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)); };
  {
    MenuCloser closer;
    menu->Popup(10, 10);
  }
  EXPECT_EQ(popups, 1);

  PostMessageA(menu->WindowHandle(), WM_COMMAND, start->Command(), 0);
  PostMessageA(menu->WindowHandle(), WM_COMMAND, stop->Command(), 0);
  real_input::ProcessMessages();
  EXPECT_EQ(clicked, std::vector<TMenuItem*>{start});
  EXPECT_FALSE(DispatchMenuCommand(0xFFFF));

  // A right click on a control pops up its menu for it.
  auto* image = new TTestGraphic(&form);
  image->SetParent(&form);
  image->SetBounds(10, 10, 40, 40);
  image->SetPopupMenu(menu);
  POINT screen = form.ClientToScreen(POINT{20, 20});
  {
    MenuCloser closer;
    SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()),
                 MAKELPARAM(screen.x, screen.y));
  }
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(menu->PopupComponent(), image);
  menu->SetAutoPopup(false);
  SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(popups, 2);

  // Neither keeps a pointer to the other once it is gone.
  delete image;
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  auto* label = new TTestGraphic(&form);
  label->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(label->PopupMenu(), nullptr);
}

TEST_F(MenuTest, MainMenuIsTheFormsMenuBar) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = AddItem(menu->Items(), &form, "&File");
  TMenuItem* exit = AddItem(file, &form, "E&xit");
  int exits = 0;
  exit->OnClick = [&](TObject*) { ++exits; };
  form.SetMenu(menu);
  HWND window = form.Handle();
  EXPECT_EQ(GetMenu(window), menu->Handle());

  file->SetCaption("&Datei");
  EXPECT_EQ(GetMenu(window), menu->Handle());
  EXPECT_EQ(ItemText(GetMenu(window), file->Command()), "&Datei");
  SendMessageA(window, WM_COMMAND, exit->Command(), 0);
  EXPECT_EQ(exits, 1);

  HMENU old = menu->Handle();
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_FALSE(IsMenu(old));
}

TEST_F(MenuTest, ItemsFormATree) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  TMenuItem* root = menu->Items();
  TMenuItem* a = AddItem(root, &form, "a");
  TMenuItem* c = AddItem(root, &form, "c");
  auto* b = new TMenuItem(&form);
  root->Insert(1, b);
  EXPECT_EQ(root->Count(), 3);
  EXPECT_EQ(root->IndexOf(b), 1);
  EXPECT_EQ(b->Parent(), root);
  EXPECT_EQ(b->GetParentMenu(), menu);
  EXPECT_THROW(b->Add(root), EInvalidOperation);

  // Delete and Remove take an item out without deleting it; moving re-parents.
  root->Delete(0);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(root->Items(0), b);
  b->Add(a);
  root->Remove(c);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(a->GetParentMenu(), menu);

  // Deleting an item takes it out of its parent; Clear deletes the subitems.
  const int components = form.ComponentCount();
  delete c;
  b->Clear();
  EXPECT_EQ(b->Count(), 0);
  EXPECT_EQ(form.ComponentCount(), components - 2);
  delete b;
  EXPECT_EQ(root->Count(), 0);
}
