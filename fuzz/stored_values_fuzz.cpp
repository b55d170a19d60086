// Fuzz target for the values a form storage reads back from the registry or an INI file:
// the stored properties of every kind (numbers, texts, characters, enumerations, sets,
// floating point, references, string lists, collections) and the window placement. Any
// texts must load without harm; what was loaded must save and load again to the same
// values; a placement that is accepted has a width and a height.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kit/form_placement.h"
#include "kit/props_storage.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

namespace {

const EnumInfo PitchEnum{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const EnumInfo StyleEnum{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};

class TFuzzMenu : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
};

const ClassInfo* TFuzzMenu::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFuzzMenu>("TPopupMenu", TComponent::StaticClassInfo()).Build();
  return &ci;
}

class TFuzzItem : public TCollectionItem {
  HL_REFLECTABLE
public:
  std::string caption;
  int width = 0;
};

const ClassInfo* TFuzzItem::StaticClassInfo() {
  using I = TFuzzItem;
  static const ClassInfo ci =
      ClassBuilder<I>("TFuzzItem", TCollectionItem::StaticClassInfo())
          .Str("Caption", [](const I& i) { return i.caption; }, [](I& i, const std::string& v) { i.caption = v; })
          .Int("Width", [](const I& i) { return i.width; }, [](I& i, int v) { i.width = v; })
          .Build();
  return &ci;
}

class TFuzzControl : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
  std::string caption;
  bool checked = false;
  int count = 0, charset = 1, pitch = 0;
  unsigned style = 0;
  double ratio = 0;
  char letter = 'a';
  long long big = 0;
  TStringList lines;
  TCollection items{TCollection::ItemClass<TFuzzItem>()};
  TFuzzMenu* popup = nullptr;
};

using C = TFuzzControl;
const ClassInfo* TFuzzControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<C>("TFuzzControl", TComponent::StaticClassInfo())
          .Str("Caption", [](const C& c) { return c.caption; }, [](C& c, const std::string& v) { c.caption = v; })
          .Bool("Checked", [](const C& c) { return c.checked; }, [](C& c, bool v) { c.checked = v; })
          .Int("Count", [](const C& c) { return c.count; }, [](C& c, int v) { c.count = v; })
          .Int("Charset", [](const C& c) { return c.charset; }, [](C& c, int v) { c.charset = v; }, 0, 255)
          .Enum("Pitch", [](const C& c) { return c.pitch; }, [](C& c, int v) { c.pitch = v; }, &PitchEnum)
          .Set("Style", [](const C& c) { return c.style; }, [](C& c, unsigned v) { c.style = v; }, &StyleEnum)
          .Float("Ratio", [](const C& c) { return c.ratio; }, [](C& c, double v) { c.ratio = v; })
          .Char("Letter", [](const C& c) { return c.letter; }, [](C& c, char v) { c.letter = v; })
          .Int64("Big", [](const C& c) { return c.big; }, [](C& c, long long v) { c.big = v; })
          .Obj("Lines", [](const C& c) { return &c.lines; }, nullptr)
          .Obj("Items", [](const C& c) { return &c.items; }, TCollection::StaticClassInfo())
          .Ref("PopupMenu", [](const C& c) { return c.popup; }, [](C& c, TFuzzMenu* m) { c.popup = m; },
               TFuzzMenu::StaticClassInfo())
          .Build();
  return &ci;
}

class TFuzzForm : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
};

const ClassInfo* TFuzzForm::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFuzzForm>("TformOptions", TComponent::StaticClassInfo()).Build();
  return &ci;
}

const char* const kProps[] = {"edUser.Caption", "edUser.Checked", "edUser.Count",  "edUser.Charset",
                              "edUser.Pitch",   "edUser.Style",   "edUser.Ratio",  "edUser.Letter",
                              "edUser.Big",     "edUser.Lines",   "edUser.Items",  "edUser.PopupMenu"};

// The value names the input fills, in order.
const char* const kValues[][2] = {
    {"Options", "edUser_Caption"},     {"Options", "edUser_Checked"},   {"Options", "edUser_Count"},
    {"Options", "edUser_Charset"},     {"Options", "edUser_Pitch"},     {"Options", "edUser_Style"},
    {"Options", "edUser_Ratio"},       {"Options", "edUser_Letter"},    {"Options", "edUser_Big"},
    {"Options", "edUser_PopupMenu"},   {"Options.edUser_Lines", "Count"}, {"Options.edUser_Lines", "Item0"},
    {"Options.edUser_Lines", "Item1"}, {"Options.edUser_Items", "Count"}, {"Options.edUser_Items", "Item0_Caption"},
    {"Options.edUser_Items", "Item0_Width"}, {"Options.edUser_Items", "Item1_Width"},
    {"Main", "Flags"}, {"Main", "ShowCmd"}, {"Main", "PixelsPerInch"}, {"Main", "MinMaxPos(1024x768)"},
    {"Main", "MinMaxPos"}, {"Main", "NormPos(1024x768)"}, {"Main", "NormPos"}};

// Values as the registry holds them: any bytes, line breaks included.
using Store = std::map<std::pair<std::string, std::string>, std::string>;

// A form with one control and a menu, its storage reading and writing a store.
struct Scene {
  std::unique_ptr<TFuzzForm> form = std::make_unique<TFuzzForm>(nullptr);
  TFuzzControl* control = nullptr;
  TPropsStorage storage;

  explicit Scene(Store& store) {
    form->SetName("formOptions");
    control = new TFuzzControl(form.get());
    control->SetName("edUser");
    (new TFuzzMenu(form.get()))->SetName("pmTray");
    storage.SetValueSection("Options");
    storage.OnReadString = [&store](const std::string& s, const std::string& n, const std::string& d) {
      const auto found = store.find({s, n});
      return found == store.end() ? d : found->second;
    };
    WriteTo(store);
  }
  void WriteTo(Store& store) {
    storage.OnWriteString = [&store](const std::string& s, const std::string& n, const std::string& v) {
      store[{s, n}] = v;
    };
    storage.OnEraseSection = [&store](const std::string& s) {
      for (auto it = store.begin(); it != store.end();) it = it->first.first == s ? store.erase(it) : std::next(it);
    };
  }
  void Run(bool saving) {
    TStringList stored;
    for (const char* line : kProps) stored.Add(line);
    SyncStoredList(form.get(), &stored, true);
    if (saving)
      storage.SaveStoredProps(form.get(), &stored);
    else
      storage.LoadStoredProps(form.get(), &stored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool pinned = (FormatSettings() = DefaultFormatSettings(), true);
  (void)pinned;
  const std::string input(reinterpret_cast<const char*>(data), size);
  Store stored;
  // The placement is read through an INI-file store, whose values are single lines.
  TMemIniFile placementStore{"no such folder/stored.ini"};
  size_t at = 0;
  for (const auto& value : kValues) {
    if (at > input.size()) break;
    size_t end = input.find('\0', at);
    if (end == std::string::npos) end = input.size();
    std::string text = input.substr(at, end - at);
    stored[{value[0], value[1]}] = text;
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    placementStore.WriteString(value[0], value[1], text);
    at = end + 1;
  }

  // The stored properties: loaded, saved, loaded into a fresh form and saved again.
  {
    Scene first(stored);
    first.Run(false);
    Store once;
    first.WriteTo(once);
    first.Run(true);

    Scene second(once);
    second.Run(false);
    Store twice;
    second.WriteTo(twice);
    second.Run(true);
    if (once != twice) std::abort();
  }

  // The placement, for a sizeable form and one that keeps its size.
  for (bool sizeable : {true, false}) {
    TWindowPlacementData placement;
    placement.NormalPosition = {10, 10, 210, 110};
    const TPlacementForm form{10, 10, 200, 100, sizeable};
    if (ReadPlacementPosition(&placementStore, "Main", "(1024x768)", 96, form, placement)) {
      const TPlacementRect& r = placement.NormalPosition;
      if (r.Right == r.Left || r.Bottom == r.Top) std::abort();
      if (!sizeable && (static_cast<long long>(r.Right) - r.Left != 200 ||
                        static_cast<long long>(r.Bottom) - r.Top != 100))
        std::abort();
    }
  }
  (void)StateFromShowCmd(ReadStoredShowCmd(&placementStore, "Main"), TStoredState::Normal);
  return 0;
}
