#include "kit/win/form_storage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/menus.h"
#include "tests/kit/win/store_fixture.h"

namespace {

// A component with a text and a list of lines, the kinds the tracker stores most.
class TNote : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
  std::string text;
  TStringList lines;
};

const ClassInfo* TNote::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TNote>("TNote", TComponent::StaticClassInfo())
          .Str("Text", [](const TNote& n) { return n.text; }, [](TNote& n, const std::string& v) { n.text = v; })
          .Obj("Lines", [](const TNote& n) { return &n.lines; }, nullptr)
          .Build();
  return &ci;
}

// A form built in code as the program's forms are: a form storage in the registry (or in an
// INI file), a note, a button and a popup menu. `building` binds events before the loading ends.
class TformTest : public TForm {
  HL_REFLECTABLE
public:
  TformTest(const std::string& store, bool useRegistry, const std::string& section,
            const std::function<void(TformTest*)>& building = nullptr)
      : TForm(nullptr) {
    BeginLoading();
    SetName("formTest");
    storage = new TFormStorage(this);
    storage->SetName("FormStorage");
    storage->SetUseRegistry(useRegistry);
    storage->SetIniFileName(store);
    storage->SetIniSection(section);
    note = new TNote(this);
    note->SetName("edNote");
    button = new TCustomButton(this);
    button->SetName("btOk");
    button->SetParent(this);
    button->SetBounds(10, 10, 80, 24);
    menu = new TPopupMenu(this);
    menu->SetName("pmNote");
    TStringList lines;
    lines.SetText("edNote.Text\r\nedNote.Lines\r\nbtOk.Font\r\nbtOk.PopupMenu\r\nbroken\r\nedGone.Text\r\n");
    storage->SetStoredProps(&lines);
    SetBounds(50, 60, 320, 240);
    if (building) building(this);
    LoadedAll(this);
  }
  TFormStorage* storage;
  TNote* note;
  TCustomButton* button;
  TPopupMenu* menu;
};

const ClassInfo* TformTest::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformTest>("TformTest", TForm::StaticClassInfo()).Build();
  return &ci;
}

std::string Bounds(const TForm& form) {
  return std::to_string(form.Left()) + "," + std::to_string(form.Top()) + " " + std::to_string(form.Width()) + "x" +
         std::to_string(form.Height());
}

class FormStorageTest : public StoreTest {
protected:
  std::unique_ptr<TformTest> Open(const std::string& section = "Options") {
    return std::make_unique<TformTest>(key, true, section);
  }
  static void CloseAndDrop(std::unique_ptr<TformTest>& form) {
    form->Close();
    form.reset();
  }
};

}  // namespace

TEST_F(FormStorageTest, PlacementAndStoredPropertiesSurviveACloseAndReopen) {
  auto form = Open();
  EXPECT_EQ(form->storage->StoredProps()->Count(), 4);  // unbound lines are gone
  form->Show();
  form->SetBounds(100, 120, 300, 200);
  form->note->text = "  remember me ";
  form->note->lines.SetText("one\r\ntwo\r\n");
  form->button->Font()->SetName("Courier New");
  form->button->SetPopupMenu(form->menu);
  CloseAndDrop(form);

  EXPECT_EQ(RegValue("Options", "NormPos(1024x768)"), "100,120,400,320");
  EXPECT_EQ(RegValue("Options", "NormPos"), "100,120,400,320");
  EXPECT_EQ(RegValue("Options", "Visible"), "0");
  EXPECT_EQ(RegValue("Options", "edNote_Text"), "remember me");
  EXPECT_EQ(RegValue("Options.edNote_Lines", "Count"), "2");
  EXPECT_EQ(RegValue("Options", "btOk_FontName"), "Courier New");
  EXPECT_EQ(RegValue("Options", "btOk_PopupMenu"), "pmNote");

  form = Open();
  form->Show();
  EXPECT_EQ(form->Left(), 100);
  EXPECT_EQ(form->Top(), 120);
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 200);
  EXPECT_EQ(form->note->text, "remember me");
  EXPECT_EQ(form->note->lines.Text(), "one\r\ntwo\r\n");
  EXPECT_EQ(form->button->Font()->Name(), "Courier New");
  EXPECT_EQ(form->button->PopupMenu(), form->menu);
}

TEST_F(FormStorageTest, TheFormsOwnShowCloseAndDestroyHandlersRunBesideThePlacement) {
  // Bound while the form is built or after it was loaded, the form's handlers take nothing
  // from the placement: it restores before OnShow, saves once OnCloseQuery lets the form
  // close, and saves a form destroyed without closing before OnDestroy.
  for (const bool whileBuilding : {true, false}) {
    const std::string section = whileBuilding ? "WhileBuilding" : "AfterLoading";
    SCOPED_TRACE(section);
    std::vector<std::string> log;
    bool refuse = true;
    const std::function<void(TformTest*)> bind = [&](TformTest* form) {
      form->OnShow = [&log, form](TObject*) { log.push_back("show at " + std::to_string(form->Left())); };
      form->OnCloseQuery = [&](TObject*, bool& canClose) {
        log.push_back("query");
        canClose = !refuse;
      };
      form->OnDestroy = [&](TObject*) { log.push_back("destroy, stored " + RegValue(section, "NormPos")); };
    };
    auto open = [&] {
      auto form = std::make_unique<TformTest>(key, true, section, whileBuilding ? bind : nullptr);
      if (!whileBuilding) bind(form.get());
      form->Show();
      return form;
    };
    RegSet(section, "NormPos", "200,210,500,410");
    auto form = open();
    form->SetBounds(70, 80, 300, 200);
    EXPECT_FALSE(form->CloseQuery());
    EXPECT_EQ(RegValue(section, "NormPos"), "200,210,500,410");
    refuse = false;
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_EQ(RegValue(section, "NormPos"), "70,80,370,280");
    form.reset();
    form = open();
    form->SetBounds(90, 100, 300, 200);
    form.reset();
    EXPECT_EQ(log, (std::vector<std::string>{"show at 200", "query", "query", "destroy, stored 70,80,370,280",
                                             "show at 70", "destroy, stored 90,100,390,300"}));
  }
}

TEST_F(FormStorageTest, SavesOnlyAfterTheFirstRestoreWhileActive) {
  auto form = Open();
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(RegValue("Options", "NormPos"), "<none>");
  form->Show();
  form->SetBounds(70, 80, 300, 200);
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_EQ(RegValue("Options", "NormPos"), "70,80,370,280");
  // Saved at its close query, the form is not saved again when it goes.
  RegSet("Options", "NormPos", "marker");
  form.reset();
  EXPECT_EQ(RegValue("Options", "NormPos"), "marker");
}

TEST_F(FormStorageTest, AFormDestroyedWithoutClosingIsStoredAsVisible) {
  auto form = Open();
  form->storage->RestoreFromStore();
  form.reset();
  EXPECT_EQ(RegValue("Options", "Visible"), "1");
}

TEST_F(FormStorageTest, InactivePlacementLeavesTheEventsAloneButObeysExplicitCalls) {
  auto form = Open();
  form->storage->SetActive(false);
  RegSet("Options", "NormPos", "200,210,500,410");
  form->Show();
  EXPECT_EQ(form->Left(), 50);
  form->Close();
  EXPECT_EQ(RegValue("Options", "Visible"), "<none>");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->Left(), 200);
  EXPECT_EQ(form->Height(), 200);
  form->storage->SaveToStore();
  EXPECT_EQ(RegValue("Options", "Visible"), "0");
}

TEST_F(FormStorageTest, WithoutOptionsOnlyTheStoredPropertiesAreWrittenAndRead) {
  // Another form's placement in the same section (the main window's, beside the options
  // dialog's settings) is neither read nor overwritten.
  auto form = Open();
  form->storage->SetOptions(0);
  RegSet("Options", "NormPos", "200,210,500,410");
  RegSet("Options", "ShowCmd", "1");
  RegSet("Options", "edNote_Text", "loaded");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->Left(), 50);
  EXPECT_EQ(form->note->text, "loaded");
  form->note->text = "saved";
  form->storage->SaveToStore();
  EXPECT_EQ(RegValue("Options", "edNote_Text"), "saved");
  EXPECT_EQ(RegValue("Options", "NormPos"), "200,210,500,410");
  EXPECT_EQ(RegValue("Options", "ShowCmd"), "1");
  for (const char* name : {"Flags", "PixelsPerInch", "MinMaxPos", "Visible", "ActiveControl"})
    EXPECT_EQ(RegValue("Options", name), "<none>") << name;
}

TEST_F(FormStorageTest, DamagedStoredValuesLeaveThePlacementAndPropertiesAlone) {
  auto form = Open();
  RegSet("Options", "PixelsPerInch", "96");
  RegSetRaw("Options", "NormPos", REG_BINARY, "40,50,300,300");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->Left(), 50);

  form->note->lines.SetText("kept\r\n");
  RegSet("Options.edNote_Lines", "Count", "2000000000");
  RegSet("Options.edNote_Lines", "Item0", "stored");
  form->button->SetPopupMenu(form->menu);
  RegSet("Options", "btOk_PopupMenu", "edNote");  // a component of the wrong class
  RegSetRaw("Options", "edNote_Text", REG_BINARY, "xyz");
  form->note->text = "mine";
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->note->lines.Text(), "kept\r\n");
  EXPECT_EQ(form->button->PopupMenu(), form->menu);
  EXPECT_EQ(form->note->text, "mine");
}

TEST_F(FormStorageTest, ActiveControlIsStoredAndRestoredOnRequest) {
  auto form = Open();
  form->storage->SetOptions((1u << fpPosition) | (1u << fpActiveControl));
  form->storage->RestoreFromStore();
  form->SetActiveControl(form->button);
  form->storage->SaveToStore();
  EXPECT_EQ(RegValue("Options", "ActiveControl"), "btOk");
  form->SetActiveControl(nullptr);
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->ActiveControl(), form->button);
  RegSet("Options", "ActiveControl", "edNote");  // no windowed control
  form->SetActiveControl(nullptr);
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(FormStorageTest, IniFilesKeepTheSameLayout) {
  const std::string file = folder + "form.ini";
  auto form = std::make_unique<TformTest>(file, false, "");
  form->storage->RestoreFromStore();
  form->SetBounds(30, 40, 300, 200);
  form->note->text = "\"quoted\"";
  form->CloseQuery();
  EXPECT_EQ(FileLine(file, "TformTest", "NormPos"), "30,40,330,240");
  EXPECT_EQ(FileLine(file, "TformTest", "Visible"), "0");
  form.reset();
  form = std::make_unique<TformTest>(file, false, "");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->Left(), 30);
  EXPECT_EQ(form->note->text, "\"quoted\"");
}

TEST_F(FormStorageTest, LinksAreToldInOrderWhileTheStoreIsOpen) {
  auto form = Open();
  std::vector<std::string> log;
  TIniLink first, second;
  auto record = [&log](const char* name, TIniLink& link) {
    return [&log, name, &link](TObject* sender) {
      log.push_back(std::string(name) + (link.StoreObject() != nullptr ? "+store" : "-store") +
                    (sender == &link ? "" : "?"));
    };
  };
  first.OnSaveSettings = record("save1", first);
  second.OnSaveSettings = record("save2", second);
  first.OnLoadSettings = record("load1", first);
  second.OnLoadSettings = record("load2", second);
  first.SetPlacement(form->storage);
  second.SetPlacement(form->storage);
  EXPECT_EQ(first.SectionPrefix(), "Options\\");
  EXPECT_EQ(first.StoreObject(), nullptr);
  form->storage->RestoreFromStore();
  form->storage->SaveToStore();
  EXPECT_EQ(log, (std::vector<std::string>{"load1+store", "load2+store", "save1+store", "save2+store"}));

  form->storage->SetIniSection("");
  EXPECT_EQ(first.SectionPrefix(), "");
  form.reset();  // the placement lets its links go
  EXPECT_EQ(first.Placement(), nullptr);
  EXPECT_EQ(second.Placement(), nullptr);
}

TEST_F(FormStorageTest, PreventResizeFreezesTheFormThroughTheHook) {
  auto form = Open();
  form->storage->SetActive(false);
  form->storage->SetPreventResize(true);
  form->Show();
  HWND window = form->Handle();
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_MAXIMIZEBOX, 0);
  ASSERT_TRUE(PumpUntil([&] {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, r.bottom - 1)) == HTNOWHERE;
  }));
  window = form->Handle();
  HMENU system = GetSystemMenu(window, FALSE);
  SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  EXPECT_NE(GetMenuState(system, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  MINMAXINFO info{};
  SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, form->Width());
  EXPECT_EQ(info.ptMaxTrackSize.y, form->Height());

  form->storage->SetPreventResize(false);
  EXPECT_NE(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
}

TEST_F(FormStorageTest, MinMaxLimitsReplaceOnlyTheFieldsThatAreSet) {
  auto form = Open();
  form->storage->SetActive(false);
  form->Show();
  MINMAXINFO plain{};
  SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&plain));
  TWinMinMaxInfo limits(nullptr);
  limits.SetMinTrackWidth(300);
  form->storage->SetMinMaxInfo(&limits);
  EXPECT_EQ(form->storage->MinMaxInfo()->MinTrackWidth(), 300);
  MINMAXINFO limited{};
  SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limited));
  EXPECT_EQ(limited.ptMinTrackSize.x, 300);
  EXPECT_EQ(limited.ptMinTrackSize.y, plain.ptMinTrackSize.y);
  EXPECT_EQ(limited.ptMaxTrackSize.x, plain.ptMaxTrackSize.x);
  EXPECT_EQ(limited.ptMaxSize.y, plain.ptMaxSize.y);
}

TEST_F(FormStorageTest, StoredLinesFollowTheirComponents) {
  auto form = Open();
  TStrings* lines = form->storage->StoredProps();
  form->note->SetName("edMemo");
  form->storage->SaveToStore();  // inactive before a restore: writes nothing
  form->storage->SetActive(false);
  form->storage->SaveToStore();
  EXPECT_EQ(lines->Strings(0), "edMemo.Text");
  delete form->button;
  EXPECT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Text(), "edMemo.Text\r\nedMemo.Lines\r\n");
}

TEST_F(FormStorageTest, StoredShowCommandSelectsTheWindowState) {
  auto form = Open();
  form->storage->SetActive(false);
  form->Show();
  RegSet("Options", "ShowCmd", "3");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->WindowState(), wsMaximized);
  RegSet("Options", "ShowCmd", "4");  // no state of its own: the default, normal
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->WindowState(), wsNormal);

  // The main form (there is none yet) is minimised with the application, not by itself.
  int minimizes = 0;
  const int id = Application->HookMainWindow([&minimizes](TMessage& msg) {
    if (msg.Msg == WM_SYSCOMMAND && (msg.WParam & 0xFFF0) == SC_MINIMIZE) ++minimizes;
    return msg.Msg == WM_SYSCOMMAND;
  });
  RegSet("Options", "ShowCmd", "2");
  form->storage->RestoreFromStore();
  EXPECT_TRUE(PumpUntil([&minimizes] { return minimizes == 1; }));
  EXPECT_EQ(form->WindowState(), wsNormal);
  Application->UnhookMainWindow(id);
}

TEST_F(FormStorageTest, FixedBorderFormsKeepTheirSize) {
  auto form = Open();
  form->SetBorderStyle(bsDialog);
  RegSet("Options", "NormPos", "40,50,900,900");
  form->storage->RestoreFromStore();
  EXPECT_EQ(form->Left(), 40);
  EXPECT_EQ(form->Top(), 50);
  EXPECT_EQ(form->Width(), 320);
  EXPECT_EQ(form->Height(), 240);
}

TEST_F(FormStorageTest, APositionWithOnlyLeftAndTopMovesTheFormWithoutResizingIt) {
  auto form = Open();
  RegSet("Options", "NormPos", "40,70");
  form->storage->RestoreFromStore();
  EXPECT_EQ(Bounds(*form), "40,70 320x240");

  // Words that are no numbers, and a font scaling that is none, fall back one by one.
  RegSet("Options", "PixelsPerInch", "ninety-six");
  RegSet("Options", "NormPos", "90,top,400,x");
  form->storage->RestoreFromStore();
  EXPECT_EQ(Bounds(*form), "90,70 310x240");
}
