// The persistent flat edit under Wine: its flat look and frame, the modified rule, and its
// text kept in the registry and in INI files across the life of its form.

#include "kit/win/cat_edit97.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/component.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/form.h"
#include "tests/kit/win/store_fixture.h"

namespace {

class CatEditTest : public StoreTest {
protected:
  // A form holding one edit named edUser, built as a form constructor builds it: configure
  // runs before the loaded phase.
  template <class Configure>
  TForm* MakeForm(Configure configure, TCatEdit97** edit) {
    auto* form = new TForm(nullptr);
    form->BeginLoading();
    form->SetBounds(100, 100, 300, 120);
    auto* e = new TCatEdit97(form);
    e->SetName("edUser");
    e->SetParent(form);
    e->SetBounds(10, 10, 150, e->Height());
    configure(e);
    LoadedAll(form);
    *edit = e;
    return form;
  }
  TForm* MakeForm(TCatEdit97** edit) {
    return MakeForm([](TCatEdit97*) {}, edit);
  }
  // An active edit keeping its text under the test key (and section, when one is given).
  TForm* MakeStored(const std::string& section, TCatEdit97** edit) {
    return MakeForm(
        [&](TCatEdit97* e) {
          e->SetActive(true);
          e->SetIniFile(key);
          e->SetIniSection(section);
          e->SetTextDefault("nobody");
        },
        edit);
  }

  static int ScreenCharHeight(TFont* font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
  }

  // A text value directly below HKEY_CURRENT_USER\path, "<none>" when absent.
  static std::string RawValue(const std::string& path, const std::string& name) {
    char buffer[256];
    DWORD size = sizeof(buffer);
    if (RegGetValueA(HKEY_CURRENT_USER, path.empty() ? nullptr : path.c_str(), name.c_str(),
                     RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
      return "<none>";
    return buffer;
  }
};

TEST_F(CatEditTest, FlatLookAndOrdinaryLook) {
  TCatEdit97 bare(nullptr);
  EXPECT_EQ(bare.Height(), 19);
  EXPECT_TRUE(bare.Style97());
  EXPECT_EQ(bare.BorderStyle(), bsNone);
  EXPECT_FALSE(bare.Ctl3D());
  EXPECT_FALSE(bare.AutoSize());
  EXPECT_TRUE(bare.UseRegistry());
  EXPECT_FALSE(bare.Active());

  TCatEdit97* edit = nullptr;
  std::unique_ptr<TForm> form(MakeForm(&edit));
  // Loaded fits the height to the font.
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 6);
  HWND window = edit->Handle();
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, outer.right - outer.left - 6);
  EXPECT_EQ(client.bottom, outer.bottom - outer.top - 6);

  edit->Font()->SetSize(20);
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 6);
  EXPECT_GT(edit->Height(), 25);

  edit->SetStyle97(false);
  EXPECT_EQ(edit->Height(), 21);
  EXPECT_EQ(edit->BorderStyle(), bsSingle);
  EXPECT_TRUE(edit->Ctl3D());
  EXPECT_TRUE(edit->AutoSize());
  window = edit->Handle();
  EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

// The ordinary look sizes itself to its font while AutoSize is on, with a 3-D border or,
// without Ctl3D, a flat line; both are properties of their own, not echoes of Style97.
TEST_F(CatEditTest, OrdinaryLookFollowsItsFontAndBorderSettings) {
  TCatEdit97* edit = nullptr;
  std::unique_ptr<TForm> form(MakeForm([](TCatEdit97* e) { e->SetStyle97(false); }, &edit));
  EXPECT_TRUE(edit->AutoSize());
  EXPECT_TRUE(edit->Ctl3D());
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 8);

  edit->Font()->SetSize(16);
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 8);
  EXPECT_GT(edit->Height(), 25);

  edit->SetCtl3D(false);
  EXPECT_FALSE(edit->Ctl3D());
  EXPECT_TRUE(edit->AutoSize());
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 6);
  HWND window = edit->Handle();
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

  // Without AutoSize the height is the code's again.
  SetOrdProp(edit, "AutoSize", 0);
  EXPECT_FALSE(edit->AutoSize());
  const int fixed = edit->Height();
  edit->Font()->SetSize(8);
  EXPECT_EQ(edit->Height(), fixed);
  edit->SetAutoSize(true);
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 6);

  // The flat look switches both off and keeps its own height rule.
  edit->SetStyle97(true);
  EXPECT_FALSE(edit->AutoSize());
  EXPECT_FALSE(edit->Ctl3D());
  edit->Font()->SetSize(14);
  EXPECT_EQ(edit->Height(), ScreenCharHeight(edit->Font()) + 6);
  RECT outer, client;
  GetWindowRect(edit->Handle(), &outer);
  GetClientRect(edit->Handle(), &client);
  EXPECT_EQ(client.bottom, outer.bottom - outer.top - 6);
}

TEST_F(CatEditTest, TextMarksModifiedOnlyWhenItChanges) {
  TCatEdit97* edit = nullptr;
  std::unique_ptr<TForm> form(MakeForm(&edit));
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };

  edit->SetText("Ann");
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(changes, 1);
  edit->SetModified(false);
  edit->SetText("Ann");
  EXPECT_FALSE(edit->Modified());
  EXPECT_EQ(changes, 1);
  // The comparison is exact.
  edit->SetText("ann");
  EXPECT_TRUE(edit->Modified());

  // Through the property facility (as the translation walk writes) the rule is the same.
  edit->SetModified(false);
  SetStrProp(edit, "Text", "ann");
  EXPECT_FALSE(edit->Modified());
  SetStrProp(edit, "Text", "Bob");
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(edit->Text(), "Bob");

  // And before the edit has a window.
  TCatEdit97 bare(nullptr);
  bare.SetText("x");
  EXPECT_TRUE(bare.Modified());
}

TEST_F(CatEditTest, PublishesItsProperties) {
  TCatEdit97 edit(nullptr);
  EXPECT_EQ(edit.ClassName(), "TCatEdit97");
  SetStrProp(&edit, "IniFile", "Software\\X");
  SetStrProp(&edit, "IniSection", "Y");
  SetStrProp(&edit, "TextDefault", "Z");
  SetOrdProp(&edit, "Active", 1);
  SetOrdProp(&edit, "UseRegistry", 0);
  SetOrdProp(&edit, "Style97", 0);
  EXPECT_EQ(edit.IniFile(), "Software\\X");
  EXPECT_EQ(edit.IniSection(), "Y");
  EXPECT_EQ(edit.TextDefault(), "Z");
  EXPECT_TRUE(edit.Active());
  EXPECT_FALSE(edit.UseRegistry());
  EXPECT_EQ(edit.Height(), 21);
  // Everything the ordinary edit publishes is still there.
  EXPECT_NE(FindProp(&edit, "MaxLength"), nullptr);
}

TEST_F(CatEditTest, LoadsFromTheRegistryWhenTheFormIsLoaded) {
  TCatEdit97* edit = nullptr;
  {
    // No key: the default text, and nothing is created for reading.
    std::unique_ptr<TForm> form(MakeStored("Users", &edit));
    EXPECT_EQ(edit->Text(), "nobody");
    EXPECT_FALSE(edit->Modified());
    TRegistry registry;
    EXPECT_FALSE(registry.KeyExists("\\" + key + "\\Users"));
  }
  {
    // The key without a value named like the edit: the empty text.
    RegSet("Users", "other", "x");
    std::unique_ptr<TForm> form(MakeStored("Users", &edit));
    EXPECT_EQ(edit->Text(), "");
  }
  {
    RegSet("Users", "edUser", "Ann");
    std::unique_ptr<TForm> form(MakeStored("Users", &edit));
    EXPECT_EQ(edit->Text(), "Ann");
    EXPECT_FALSE(edit->Modified());
  }
  {
    // Without a section the key is IniFile itself.
    RegSet("", "edUser", "Top");
    std::unique_ptr<TForm> form(MakeStored("", &edit));
    EXPECT_EQ(edit->Text(), "Top");
  }
  {
    // A value that is no text: the default is shown and the user is told.
    RegSetRaw("Bad", "edUser", REG_BINARY, "\x01\x02");
    Boxes().clear();
    std::unique_ptr<TForm> form(MakeStored("Bad", &edit));
    EXPECT_EQ(edit->Text(), "nobody");
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(Boxes().size(), 1u);
  }
}

TEST_F(CatEditTest, SavesAChangedTextWhenItsFormIsDestroyed) {
  TCatEdit97* edit = nullptr;
  // Loaded and never touched: nothing is written, not even the key.
  delete MakeStored("Users", &edit);
  EXPECT_EQ(RegValue("Users", "edUser"), "<none>");
  TRegistry registry;
  EXPECT_FALSE(registry.KeyExists("\\" + key + "\\Users"));

  TForm* form = MakeStored("Users", &edit);
  edit->SetText("Ann");
  delete form;
  EXPECT_EQ(RegValue("Users", "edUser"), "Ann");

  // A text the user typed counts as a change too.
  form = MakeStored("Users", &edit);
  EXPECT_EQ(edit->Text(), "Ann");
  SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Typed"));
  SendMessageA(edit->Handle(), EM_SETMODIFY, TRUE, 0);
  delete form;
  EXPECT_EQ(RegValue("Users", "edUser"), "Typed");

  // Without a section the text goes where it is loaded from.
  form = MakeStored("", &edit);
  edit->SetText("Top");
  delete form;
  form = MakeStored("", &edit);
  EXPECT_EQ(edit->Text(), "Top");
  delete form;
  EXPECT_EQ(RawValue(key, "edUser"), "Top");
}

TEST_F(CatEditTest, SavesOnlyFromItsOwnFormsEnd) {
  TCatEdit97* edit = nullptr;
  // Freed before its form: nothing saved, and the form goes without harm, running the
  // destruction handler it was given even after the edit was made.
  TForm* form = MakeStored("Users", &edit);
  int destroyed = 0;
  form->OnDestroy = [&](TObject*) { ++destroyed; };
  edit->SetText("Gone");
  delete edit;
  delete form;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(RegValue("Users", "edUser"), "<none>");

  // A handler set after the edit does not stop the save.
  form = MakeStored("Users", &edit);
  form->OnDestroy = [&](TObject*) { ++destroyed; };
  edit->SetText("Kept");
  delete form;
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(RegValue("Users", "edUser"), "Kept");

  // An owner that is no form: never saved.
  {
    TComponent owner(nullptr);
    auto* loose = new TCatEdit97(&owner);
    loose->SetName("edUser");
    loose->SetActive(true);
    loose->SetIniFile(key);
    loose->SetIniSection("Loose");
    loose->SetText("x");
  }
  EXPECT_EQ(RegValue("Loose", "edUser"), "<none>");

  // No key at all: nothing is written at the root of the current user's registry.
  form = MakeForm(
      [](TCatEdit97* e) {
        e->SetActive(true);
        e->SetName("hlCatEditStray");
      },
      &edit);
  edit->SetText("stray");
  delete form;
  EXPECT_EQ(RawValue("", "hlCatEditStray"), "<none>");
}

TEST_F(CatEditTest, KeepsItsTextInAnIniFile) {
  const std::string file = folder + "users.ini";
  auto makeIni = [&](TCatEdit97** edit) {
    return MakeForm(
        [&](TCatEdit97* e) {
          e->SetActive(true);
          e->SetUseRegistry(false);
          e->SetIniFile(file);
          e->SetIniSection("Users");
          e->SetTextDefault("nobody");
        },
        edit);
  };
  TCatEdit97* edit = nullptr;
  TForm* form = makeIni(&edit);
  EXPECT_EQ(edit->Text(), "nobody");
  delete form;
  EXPECT_EQ(FileLine(file, "Users", "edUser"), "<none>");

  // Blanks at the edges are the user's too.
  form = makeIni(&edit);
  edit->SetText(" Ann ");
  delete form;
  EXPECT_NE(FileLine(file, "Users", "edUser"), "<none>");
  form = makeIni(&edit);
  EXPECT_EQ(edit->Text(), " Ann ");
  EXPECT_FALSE(edit->Modified());
  delete form;

  // SaveText and LoadText called directly.
  form = makeIni(&edit);
  edit->SetText("Bob");
  edit->SaveText();
  EXPECT_FALSE(edit->Modified());
  EXPECT_EQ(FileLine(file, "Users", "edUser"), "Bob");
  edit->SetText("changed");
  edit->LoadText();
  EXPECT_EQ(edit->Text(), "Bob");
  EXPECT_FALSE(edit->Modified());
  delete form;
}

TEST_F(CatEditTest, FrameTurnsSunkenWithFocusOrMouse) {
  TCatEdit97* edit = nullptr;
  std::unique_ptr<TForm> form(MakeForm(&edit));
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 50, 100, 21);
  form->Show();
  real_input::SettlePainted();
  auto corner = [&] {
    HDC dc = GetWindowDC(edit->Handle());
    const COLORREF pixel = GetPixel(dc, 0, 0);
    ReleaseDC(edit->Handle(), dc);
    return pixel;
  };
  auto framedIn = [&](int colour) { return PumpUntil([&] { return corner() == GetSysColor(colour); }); };

  other->SetFocus();
  EXPECT_TRUE(framedIn(COLOR_BTNFACE));
  EXPECT_FALSE(edit->FrameHot());

  edit->SetFocus();
  EXPECT_TRUE(framedIn(COLOR_BTNSHADOW));
  EXPECT_TRUE(edit->FrameHot());

  other->SetFocus();
  EXPECT_TRUE(framedIn(COLOR_BTNFACE));
  EXPECT_FALSE(edit->FrameHot());

  SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(edit->FrameHot());
  EXPECT_EQ(corner(), GetSysColor(COLOR_BTNSHADOW));
  SendMessageA(edit->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(edit->FrameHot());
  EXPECT_EQ(corner(), GetSysColor(COLOR_BTNFACE));

  // A flat edit shows disabled in the button face colour.
  edit->SetEnabled(false);
  EXPECT_EQ(edit->Color(), clBtnFace);
  edit->SetEnabled(true);
  EXPECT_EQ(edit->Color(), clWindow);
}

}  // namespace
