// The texts of a language file in another code page than the system's (a Cyrillic file on a
// Western system): every kind of window holds them as the letters they are, read back
// through the wide calls, and the objects give back the bytes they were given.

#include "platform/wcl/win/built_in_texts.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/language_texts.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/list_view.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"
#include "platform/wcl/win/tree_view.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

// Cyrillic words in code page 1251 and as the system should show them.
struct Word {
  const char* bytes;
  const wchar_t* wide;
};
const Word kOk{"\xCE\xCA", L"\x041E\x041A"};
const Word kStart{"\xCF\xF3\xF1\xEA", L"\x041F\x0443\x0441\x043A"};
const Word kWeek{"\xCD\xE5\xE4\xE5\xEB\xFF", L"\x041D\x0435\x0434\x0435\x043B\x044F"};
const Word kPages{"\xD1\xF2\xF0\xE0\xED\xE8\xF6\xFB", L"\x0421\x0442\x0440\x0430\x043D\x0438\x0446\x044B"};
const Word kReady{"\xC3\xEE\xF2\xEE\xE2\xEE", L"\x0413\x043E\x0442\x043E\x0432\x043E"};
const Word kTitle{"\xCE\xEF\xF6\xE8\xE8", L"\x041E\x043F\x0446\x0438\x0438"};

// A text message answered by the system class itself, in UTF-16.
std::wstring ClassText(HWND window, const wchar_t* sysClass, UINT message, WPARAM index) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  if (!GetClassInfoExW(nullptr, sysClass, &info)) return L"<no class>";
  wchar_t text[128] = {};
  CallWindowProcW(info.lpfnWndProc, window, message, index, reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring HeldText(HWND window) {
  wchar_t text[128] = {};
  InternalGetWindowText(window, text, 128);
  return text;
}

// The caption of the message box on screen; read and closed by a timer in its modal loop.
std::wstring g_boxCaption;

void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = AppTest::ShownDialog();
  if (box == nullptr) return;
  KillTimer(nullptr, id);
  wchar_t text[64] = {};
  GetWindowTextW(box, text, 64);
  g_boxCaption = text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

class LanguageTextsTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    BeginLanguageTexts(1251);
    for (const Word& word : {kOk, kStart, kWeek, kPages, kReady, kTitle}) AddLanguageText(word.bytes);
  }
  void TearDown() override {
    BeginLanguageTexts(0);
    AppTest::TearDown();
  }
  template <typename T>
  T* Add(TForm& form, int top) {
    auto* control = new T(&form);
    control->SetParent(&form);
    control->SetBounds(10, top, 150, 22);
    return control;
  }
};

}  // namespace

TEST_F(LanguageTextsTest, EveryKindOfWindowHoldsTheLanguagesLetters) {
  if (GetACP() == 1251) GTEST_SKIP() << "the system's own code page is the language's";
  TForm form(nullptr);
  form.SetBounds(100, 100, 400, 380);
  auto* button = Add<TButton>(form, 10);
  auto* check = Add<TCheckBox>(form, 40);
  auto* group = Add<TGroupBox>(form, 70);
  auto* combo = Add<TComboBox>(form, 100);
  auto* list = Add<TListBox>(form, 130);
  auto* view = Add<TListView>(form, 190);
  view->SetHeight(60);
  view->SetViewStyle(vsReport);
  auto* tree = Add<TTreeView>(form, 260);
  auto* bar = new TStatusBar(&form);
  bar->SetParent(&form);
  auto* menu = new TPopupMenu(&form);
  auto* item = new TMenuItem(&form);
  menu->Items()->Add(item);

  form.SetCaption(kTitle.bytes);
  button->SetCaption(kOk.bytes);
  check->SetCaption(kStart.bytes);
  group->SetCaption(kWeek.bytes);
  combo->Items()->Add(kWeek.bytes);
  combo->Items()->Add("Plain");
  combo->SetItemIndex(0);
  list->Items()->Add(kPages.bytes);
  view->Columns()->Add()->SetCaption(kPages.bytes);
  view->Items()->Add()->SetCaption(kReady.bytes);
  tree->Items()->Add(nullptr, kStart.bytes);
  bar->Panels()->Add()->SetText(kReady.bytes);
  item->SetCaption(kOk.bytes);
  form.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));

  wchar_t title[64] = {};
  GetWindowTextW(form.Handle(), title, 64);
  EXPECT_EQ(std::wstring(title), kTitle.wide);
  EXPECT_EQ(HeldText(button->Handle()), kOk.wide);
  EXPECT_EQ(HeldText(check->Handle()), kStart.wide);
  EXPECT_EQ(HeldText(group->Handle()), kWeek.wide);
  EXPECT_EQ(ClassText(combo->Handle(), L"COMBOBOX", CB_GETLBTEXT, 0), kWeek.wide);
  EXPECT_EQ(ClassText(combo->Handle(), L"COMBOBOX", WM_GETTEXT, 128), kWeek.wide);
  EXPECT_EQ(ClassText(list->Handle(), L"LISTBOX", LB_GETTEXT, 0), kPages.wide);

  wchar_t text[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = 64;
  SendMessageW(view->Handle(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(std::wstring(text), kPages.wide);
  LVITEMW row{};
  row.pszText = text;
  row.cchTextMax = 64;
  SendMessageW(view->Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(std::wstring(text), kReady.wide);
  TVITEMW node{};
  node.mask = TVIF_TEXT | TVIF_HANDLE;
  node.hItem = tree->Items()->Item(0)->ItemId();
  node.pszText = text;
  node.cchTextMax = 64;
  SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&node));
  EXPECT_EQ(std::wstring(text), kStart.wide);
  SendMessageW(bar->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::wstring(text), kReady.wide);
  GetMenuStringW(menu->Handle(), 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), kOk.wide);

  // The objects give back the bytes they were given, also from a window made again.
  EXPECT_EQ(button->Caption(), kOk.bytes);
  EXPECT_EQ(combo->Text(), kWeek.bytes);
  form.RecreateWnd();
  EXPECT_EQ(HeldText(button->Handle()), kOk.wide);
  EXPECT_EQ(check->Caption(), kStart.bytes);
  // A text that is no language text goes in the system's code page, as before.
  button->SetCaption("Caf\xE9");
  EXPECT_EQ(HeldText(button->Handle()), WideFromCodePage("Caf\xE9", CP_ACP));
  EXPECT_EQ(button->Caption(), "Caf\xE9");

  // Hebrew and Greek files alike, each from its own code page.
  struct Case {
    unsigned codePage;
    Word word;
  };
  for (const Case& c : {Case{1255, {"\xF9\xEC\xE5\xED", L"\x05E9\x05DC\x05D5\x05DD"}},
                        Case{1253, {"\xCD\xE1\xE9", L"\x039D\x03B1\x03B9"}}}) {
    BeginLanguageTexts(c.codePage);
    AddLanguageText(c.word.bytes);
    button->SetCaption(c.word.bytes);
    EXPECT_EQ(HeldText(button->Handle()), c.word.wide) << c.codePage;
    EXPECT_EQ(button->Caption(), c.word.bytes) << c.codePage;
  }
}

TEST_F(LanguageTextsTest, AMessageBoxCaptionReadsInTheLanguagesLetters) {
  if (GetACP() == 1251) GTEST_SKIP() << "the system's own code page is the language's";
  // The real system box, not the recording one.
  const TMessageBoxEdge recording = SetMessageBoxEdge(nullptr);
  g_boxCaption.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadAndCloseBox);
  app_->MessageBox(kReady.bytes, kTitle.bytes, MB_OK);
  KillTimer(nullptr, timer);
  SetMessageBoxEdge(recording);
  EXPECT_EQ(g_boxCaption, kTitle.wide);
}
