#include "kit/props_storage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

namespace {

const EnumInfo PitchEnum{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const EnumInfo StyleEnum{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
constexpr unsigned fsBold = 1, fsItalic = 2, fsUnderline = 4;

class TFakeFont : public TPersistent {
  HL_REFLECTABLE
public:
  int charset = 1, height = -11, pitch = 0, size = 8;
  std::string name = "Arial";
  unsigned style = 0;
};

const ClassInfo* TFakeFont::StaticClassInfo() {
  using F = TFakeFont;
  static const ClassInfo ci =
      ClassBuilder<F>("TFont", nullptr)
          .Int("Charset", [](const F& f) { return f.charset; }, [](F& f, int v) { f.charset = v; }, 0, 255)
          .Int("Height", [](const F& f) { return f.height; }, [](F& f, int v) { f.height = v; })
          .Str("Name", [](const F& f) { return f.name; }, [](F& f, const std::string& v) { f.name = v; })
          .Enum("Pitch", [](const F& f) { return f.pitch; }, [](F& f, int v) { f.pitch = v; }, &PitchEnum)
          .Int("Size", [](const F& f) { return f.size; }, [](F& f, int v) { f.size = v; })
          .Set("Style", [](const F& f) { return f.style; }, [](F& f, unsigned v) { f.style = v; }, &StyleEnum)
          .Build();
  return &ci;
}

class TFakeMenu : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
};

const ClassInfo* TFakeMenu::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TFakeMenu>("TPopupMenu", TComponent::StaticClassInfo()).Build();
  return &ci;
}

class TFakeItem : public TCollectionItem {
  HL_REFLECTABLE
public:
  std::string caption;
  int width = 0;
};

const ClassInfo* TFakeItem::StaticClassInfo() {
  using I = TFakeItem;
  static const ClassInfo ci =
      ClassBuilder<I>("TFakeItem", TCollectionItem::StaticClassInfo())
          .Str("Caption", [](const I& i) { return i.caption; }, [](I& i, const std::string& v) { i.caption = v; })
          .Int("Width", [](const I& i) { return i.width; }, [](I& i, int v) { i.width = v; })
          .Build();
  return &ci;
}

// An object that holds itself: following it must stop somewhere.
class TLoop : public TPersistent {
  HL_REFLECTABLE
public:
  int value = 1;
};

const ClassInfo* TLoop::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TLoop>("TLoop", nullptr)
          .Int("Value", [](const TLoop& l) { return l.value; }, [](TLoop& l, int v) { l.value = v; })
          .Obj("Next", [](const TLoop& l) { return &l; }, nullptr)
          .Build();
  return &ci;
}

class TFakeControl : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
  std::string caption;
  bool checked = false;
  int count = 0;
  double ratio = 0;
  char letter = 'a';
  long long big = 0;
  TFakeFont font;
  TStringList lines;
  TCollection items{TCollection::ItemClass<TFakeItem>()};
  TFakeMenu* popup = nullptr;
  TLoop loop;
};

using C = TFakeControl;
const ClassInfo* TFakeControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<C>("TFakeControl", TComponent::StaticClassInfo())
          .Str("Caption", [](const C& c) { return c.caption; }, [](C& c, const std::string& v) { c.caption = v; })
          .Bool("Checked", [](const C& c) { return c.checked; }, [](C& c, bool v) { c.checked = v; })
          .Int("Count", [](const C& c) { return c.count; }, [](C& c, int v) { c.count = v; })
          .Float("Ratio", [](const C& c) { return c.ratio; }, [](C& c, double v) { c.ratio = v; })
          .Char("Letter", [](const C& c) { return c.letter; }, [](C& c, char v) { c.letter = v; })
          .Int64("Big", [](const C& c) { return c.big; }, [](C& c, long long v) { c.big = v; })
          .Obj("Font", [](const C& c) { return &c.font; }, TFakeFont::StaticClassInfo())
          .Obj("Lines", [](const C& c) { return &c.lines; }, nullptr)
          .Obj("Items", [](const C& c) { return &c.items; }, TCollection::StaticClassInfo())
          .Ref("PopupMenu", [](const C& c) { return c.popup; }, [](C& c, TFakeMenu* m) { c.popup = m; },
               TFakeMenu::StaticClassInfo())
          .Obj("Loop", [](const C& c) { return &c.loop; }, TLoop::StaticClassInfo())
          .Build();
  return &ci;
}

class TFakeForm : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
};

const ClassInfo* TFakeForm::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TFakeForm>("TformOptions", TComponent::StaticClassInfo()).Build();
  return &ci;
}

std::vector<TComponent*> liveForms;
std::vector<TComponent*> LiveForms() { return liveForms; }

// A form with one control and a popup menu, a second form with a menu of its own, and a
// storage that keeps its values in an in-memory INI file, section "Options".
class PropsStorageTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    form = std::make_unique<TFakeForm>(nullptr);
    form->SetName("formOptions");
    control = new TFakeControl(form.get());
    control->SetName("edUser");
    menu = new TFakeMenu(form.get());
    menu->SetName("pmTray");
    other = std::make_unique<TFakeForm>(nullptr);
    other->SetName("formMain");
    otherMenu = new TFakeMenu(other.get());
    otherMenu->SetName("pmMain");
    liveForms = {form.get(), other.get()};
    previousSource = SetTopLevelComponents(&LiveForms);

    storage.SetValueSection("Options");
    storage.OnReadString = [this](const std::string& s, const std::string& n, const std::string& d) {
      return ini.ReadString(s, n, d);
    };
    storage.OnWriteString = [this](const std::string& s, const std::string& n, const std::string& v) {
      ini.WriteString(s, n, v);
    };
    storage.OnEraseSection = [this](const std::string& s) { ini.EraseSection(s); };
  }
  void TearDown() override {
    SetTopLevelComponents(previousSource);
    liveForms.clear();
    ResetFormatSettings();
  }

  void Save(std::initializer_list<const char*> lines) { Run(lines, true); }
  void Load(std::initializer_list<const char*> lines) { Run(lines, false); }
  void Run(std::initializer_list<const char*> lines, bool saving) {
    TStringList stored;
    for (const char* line : lines) stored.Add(line);
    SyncStoredList(form.get(), &stored, true);
    if (saving)
      storage.SaveStoredProps(form.get(), &stored);
    else
      storage.LoadStoredProps(form.get(), &stored);
    EXPECT_EQ(storage.RootComponent(), nullptr);
  }
  std::string Value(const std::string& name, const std::string& section = "Options") {
    return ini.ReadString(section, name, "<none>");
  }

  TMemIniFile ini{"no such folder/props.ini"};
  TPropsStorage storage;
  std::unique_ptr<TFakeForm> form, other;
  TFakeControl* control = nullptr;
  TFakeMenu* menu = nullptr;
  TFakeMenu* otherMenu = nullptr;
  TTopLevelComponentsFn previousSource = nullptr;
};

}  // namespace

TEST_F(PropsStorageTest, ValuesAreWrittenAsTextByKind) {
  FormatSettings().DecimalSeparator = ',';
  control->caption = "  Hello  ";
  control->checked = true;
  control->count = -42;
  control->ratio = 2.5;
  control->letter = 'x';
  control->big = 1234567890123LL;
  control->font.style = fsBold | fsItalic;
  Save({"edUser.Caption", "edUser.Checked", "edUser.Count", "edUser.Ratio", "edUser.Letter",
        "edUser.Big", "edUser.Font"});
  EXPECT_EQ(Value("edUser_Caption"), "Hello");
  EXPECT_EQ(Value("edUser_Checked"), "True");
  EXPECT_EQ(Value("edUser_Count"), "-42");
  EXPECT_EQ(Value("edUser_Ratio"), "2.5");
  EXPECT_EQ(Value("edUser_Letter"), "x");
  EXPECT_EQ(Value("edUser_Big"), "1234567890123");
  EXPECT_EQ(Value("edUser_FontCharset"), "1");
  EXPECT_EQ(Value("edUser_FontHeight"), "-11");
  EXPECT_EQ(Value("edUser_FontName"), "Arial");
  EXPECT_EQ(Value("edUser_FontPitch"), "fpDefault");
  EXPECT_EQ(Value("edUser_FontStyle"), "[fsBold,fsItalic]");

  // An emptied text is stored; a blank character is not.
  control->caption = "";
  control->letter = ' ';
  control->font.style = 0;
  Save({"edUser.Caption", "edUser.Letter", "edUser.Font"});
  EXPECT_EQ(Value("edUser_Caption"), "");
  EXPECT_EQ(Value("edUser_Letter"), "x");
  EXPECT_EQ(Value("edUser_FontStyle"), "[]");
}

TEST_F(PropsStorageTest, ValuesAreReadBackByKindAndBadTextSpoilsOnlyItsProperty) {
  control->count = 7;
  control->checked = false;
  control->ratio = 1.0;
  control->font.pitch = 2;
  control->font.charset = 1;
  ini.WriteString("Options", "edUser_Checked", "true");
  ini.WriteString("Options", "edUser_Count", "seven");
  ini.WriteString("Options", "edUser_Ratio", "2,5");
  ini.WriteString("Options", "edUser_Caption", "  padded  ");
  ini.WriteString("Options", "edUser_FontStyle", "fsBold fsUnderline fsWobbly");
  ini.WriteString("Options", "edUser_FontPitch", "fpNarrow");
  ini.WriteString("Options", "edUser_FontCharset", "300");
  ini.WriteString("Options", "edUser_Letter", "");
  Load({"edUser.Checked", "edUser.Count", "edUser.Ratio", "edUser.Caption", "edUser.Font",
        "edUser.Letter"});
  EXPECT_TRUE(control->checked);
  EXPECT_EQ(control->count, 0);          // no number reads as 0
  EXPECT_EQ(control->ratio, 1.0);        // "," is not the separator here
  EXPECT_EQ(control->caption, "padded");
  EXPECT_EQ(control->font.style, fsBold | fsUnderline);
  EXPECT_EQ(control->font.pitch, 2);     // unknown name
  EXPECT_EQ(control->font.charset, 1);   // out of range
  EXPECT_EQ(control->letter, 'a');       // empty text

  FormatSettings().DecimalSeparator = ',';
  ini.WriteString("Options", "edUser_Ratio", "0.125");
  ini.WriteString("Options", "edUser_FontStyle", "[]");
  Load({"edUser.Ratio", "edUser.Font"});
  EXPECT_EQ(control->ratio, 0.125);
  EXPECT_EQ(control->font.style, 0u);
}

TEST_F(PropsStorageTest, MissingValuesLeaveEveryPropertyAsItIs) {
  control->caption = "  keep my blanks ";
  control->count = 5;
  control->lines.Add("line");
  control->popup = menu;
  Load({"edUser.Caption", "edUser.Count", "edUser.Lines", "edUser.PopupMenu", "edUser.Font"});
  EXPECT_EQ(control->caption, "  keep my blanks ");
  EXPECT_EQ(control->count, 5);
  EXPECT_EQ(control->lines.Text(), "line\r\n");
  EXPECT_EQ(control->popup, menu);

  // Without callbacks nothing is written.
  TPropsStorage bare;
  TStringList stored;
  stored.AddObject("edUser.Lines", control);
  bare.SaveStoredProps(form.get(), &stored);
  EXPECT_EQ(stored.Count(), 1);
}

TEST_F(PropsStorageTest, StringListsKeepTheirLinesInASectionOfTheirOwn) {
  control->lines.SetText("first\r\n  indented\r\n");
  Save({"edUser.Lines"});
  const std::string section = "Options.edUser_Lines";
  EXPECT_EQ(Value("Count", section), "2");
  EXPECT_EQ(Value("Item0", section), "first");
  EXPECT_EQ(Value("Item1", section), "  indented");

  control->lines.Clear();
  Load({"edUser.Lines"});
  EXPECT_EQ(control->lines.Text(), "first\r\n  indented\r\n");

  // An emptied list leaves an erased section, and the next load keeps what the list holds.
  control->lines.Clear();
  Save({"edUser.Lines"});
  EXPECT_FALSE(ini.SectionExists(section));
  control->lines.Add("kept");
  Load({"edUser.Lines"});
  EXPECT_EQ(control->lines.Text(), "kept\r\n");
}

TEST_F(PropsStorageTest, DamagedListCountsLeaveTheListUnchanged) {
  const std::string section = "Options.edUser_Lines";
  control->lines.Add("kept");
  ini.WriteString(section, "Item0", "stored");
  for (const char* count : {"2000000000", "2", "-3", "many", "65537"}) {
    ini.WriteString(section, "Count", count);
    Load({"edUser.Lines"});
    EXPECT_EQ(control->lines.Text(), "kept\r\n") << "Count " << count;
  }
  ini.WriteString(section, "Count", " 1 ");
  Load({"edUser.Lines"});
  EXPECT_EQ(control->lines.Text(), "stored\r\n");
}

TEST_F(PropsStorageTest, CollectionItemsUseNumberedPrefixesAndAreNeverAddedOrRemoved) {
  auto* first = static_cast<TFakeItem*>(control->items.Add());
  auto* second = static_cast<TFakeItem*>(control->items.Add());
  first->caption = "Task";
  first->width = 120;
  second->caption = "Time";
  Save({"edUser.Items"});
  const std::string section = "Options.edUser_Items";
  EXPECT_EQ(Value("Item0_Caption", section), "Task");
  EXPECT_EQ(Value("Item0_Width", section), "120");
  EXPECT_EQ(Value("Item1_Caption", section), "Time");
  EXPECT_EQ(Value("Count", section), "<none>");

  ini.WriteString(section, "Item1_Width", "75");
  ini.WriteString(section, "Item2_Caption", "Extra");
  control->items.Delete(0);
  Load({"edUser.Items"});
  ASSERT_EQ(control->items.Count(), 1);
  EXPECT_EQ(static_cast<TFakeItem*>(control->items.Items(0))->caption, "Task");
  EXPECT_EQ(static_cast<TFakeItem*>(control->items.Items(0))->width, 120);
}

TEST_F(PropsStorageTest, ComponentReferencesNameTheirOwnerWhenItIsNotTheRoot) {
  control->popup = menu;
  Save({"edUser.PopupMenu"});
  EXPECT_EQ(Value("edUser_PopupMenu"), "pmTray");
  control->popup = otherMenu;
  Save({"edUser.PopupMenu"});
  EXPECT_EQ(Value("edUser_PopupMenu"), "formMain.pmMain");
  control->popup = nullptr;
  Save({"edUser.PopupMenu"});
  EXPECT_EQ(Value("edUser_PopupMenu"), "(null)");

  ini.WriteString("Options", "edUser_PopupMenu", " FORMMAIN . pmmain ");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, otherMenu);
  ini.WriteString("Options", "edUser_PopupMenu", "pmTray");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, menu);
  ini.WriteString("Options", "edUser_PopupMenu", "(NULL)");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, nullptr);
}

TEST_F(PropsStorageTest, ReferencesThatCannotBeResolvedSafelyChangeNothing) {
  control->popup = menu;
  // A component of the wrong class under the stored name.
  ini.WriteString("Options", "edUser_PopupMenu", "edUser");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, menu);
  // A form that does not exist.
  ini.WriteString("Options", "edUser_PopupMenu", "formGone.pmMain");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, menu);
  // A root that exists but owns no such component clears the reference.
  ini.WriteString("Options", "edUser_PopupMenu", "formMain.pmGone");
  Load({"edUser.PopupMenu"});
  EXPECT_EQ(control->popup, nullptr);
}

TEST_F(PropsStorageTest, StoredListsFollowTheirComponents) {
  EXPECT_EQ(MakeStoredItem("edUser", "Text"), "edUser.Text");
  EXPECT_EQ(MakeStoredItem("", "Text"), "");
  std::string comp, prop;
  EXPECT_TRUE(SplitStoredItem(" lMark1 . Font.Color ", comp, prop));
  EXPECT_EQ(comp, "lMark1");
  EXPECT_EQ(prop, "Font.Color");
  EXPECT_FALSE(SplitStoredItem("", comp, prop));
  EXPECT_FALSE(SplitStoredItem(".Text", comp, prop));
  EXPECT_FALSE(SplitStoredItem("edUser.", comp, prop));
  EXPECT_EQ(RenameStoredItem("edUser.Text", "edName"), "edName.Text");
  EXPECT_EQ(RenameStoredItem("broken", "edName"), "");

  TStringList stored;
  stored.SetText("edUser.Caption\r\nnoDot\r\nedGone.Text\r\npmTray.Tag\r\n");
  SyncStoredList(form.get(), &stored, true);
  ASSERT_EQ(stored.Count(), 2);
  EXPECT_EQ(stored.Objects(0), control);
  EXPECT_EQ(stored.Objects(1), menu);

  // A renamed component keeps its lines; its values are then stored under the new name.
  control->SetName("edLogin");
  control->caption = "me";
  storage.SaveStoredProps(form.get(), &stored);
  EXPECT_EQ(stored.Strings(0), "edLogin.Caption");
  EXPECT_EQ(Value("edLogin_Caption"), "me");
  EXPECT_EQ(Value("pmTray_Tag"), "0");

  stored.SetObjects(1, nullptr);
  SyncStoredList(form.get(), &stored, false);
  EXPECT_EQ(stored.Count(), 1);

  TPropInfoList props(control);
  EXPECT_EQ(props.FindByName("caption")->Name, "Caption");
  EXPECT_EQ(props.FindByName("Nothing"), nullptr);
  EXPECT_EQ(TPropInfoList(nullptr).Count(), 0);
}

TEST_F(PropsStorageTest, ObjectsThatHoldThemselvesStopAtTheNestingLimit) {
  control->loop.value = 3;
  Save({"edUser.Loop"});
  EXPECT_EQ(Value("edUser_LoopValue"), "3");
  std::string name = "edUser_Loop";
  for (int level = 1; level < TPropsStorage::MaxNesting; ++level) name += "Next";
  EXPECT_EQ(Value(name + "Value"), "3");
  EXPECT_EQ(Value(name + "NextValue"), "<none>");
  ini.EraseSection("Options");
  ini.WriteString("Options", "edUser_LoopNextValue", "9");
  Load({"edUser.Loop"});
  EXPECT_EQ(control->loop.value, 9);
}
