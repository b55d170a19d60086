#pragma once
// A small form without windows for the translation walk's tests: controls with captions,
// hints and fonts, a status bar with panels, a memo's lines, a combo box, a list view with
// columns and items, a menu item without a font of its own, and the awkward cases (a part
// owned by a control, a component reference, a read-only text, a property leading back up).

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/string_list.h"

inline const EnumInfo& FakeStyleEnum() {
  static const EnumInfo e{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return e;
}
inline const EnumInfo& FakeBiDiEnum() {
  static const EnumInfo e{"TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                        "bdRightToLeftReadingOnly"}};
  return e;
}

class TFakeFont : public TPersistent {
  HL_REFLECTABLE
  std::string name = "MS Sans Serif";
  int size = 8;
  unsigned style = 0;
  int charset = 1;
  const std::string& Name() const { return name; }
  void SetName(const std::string& v) { name = v; }
  int Size() const { return size; }
  void SetSize(int v) { size = v; }
  unsigned Style() const { return style; }
  void SetStyle(unsigned v) { style = v; }
  int Charset() const { return charset; }
  void SetCharset(int v) { charset = v; }
  // A property leading back to the font itself.
  TPersistent* Same() const { return const_cast<TFakeFont*>(this); }
};
inline const ClassInfo* TFakeFont::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeFont>("TFont", nullptr)
                                  .Int("Charset", &TFakeFont::Charset, &TFakeFont::SetCharset, 0, 255)
                                  .Str("Name", &TFakeFont::Name, &TFakeFont::SetName)
                                  .Int("Size", &TFakeFont::Size, &TFakeFont::SetSize)
                                  .Set("Style", &TFakeFont::Style, &TFakeFont::SetStyle, &FakeStyleEnum())
                                  .Obj("Same", &TFakeFont::Same, nullptr)
                                  .Build();
  return &ci;
}

// Caption, Hint, Font and BiDiMode, as every control has them.
class TFakeControl : public TComponent {
  HL_REFLECTABLE
  explicit TFakeControl(TComponent* owner, const std::string& name = "") : TComponent(owner) {
    if (!name.empty()) SetName(name);
  }
  std::string caption, hint;
  TFakeFont font;
  int biDiMode = 0;
  TComponent* reference = nullptr;
  const std::string& Caption() const { return caption; }
  void SetCaption(const std::string& v) { caption = v; }
  const std::string& Hint() const { return hint; }
  void SetHint(const std::string& v) { hint = v; }
  TFakeFont* Font() const { return const_cast<TFakeFont*>(&font); }
  int BiDiMode() const { return biDiMode; }
  void SetBiDiMode(int v) { biDiMode = v; }
  TComponent* Reference() const { return reference; }
  void SetReference(TComponent* v) { reference = v; }
};
inline const ClassInfo* TFakeControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TFakeControl>("TFakeControl", TComponent::StaticClassInfo())
          .Enum("BiDiMode", &TFakeControl::BiDiMode, &TFakeControl::SetBiDiMode, &FakeBiDiEnum())
          .Str("Caption", &TFakeControl::Caption, &TFakeControl::SetCaption)
          .Obj("Font", &TFakeControl::Font, TFakeFont::StaticClassInfo())
          .Str("Hint", &TFakeControl::Hint, &TFakeControl::SetHint)
          .Ref("Reference", &TFakeControl::Reference, &TFakeControl::SetReference,
               TComponent::StaticClassInfo())
          .Build();
  return &ci;
}

class TFakeLabel : public TFakeControl {
  HL_REFLECTABLE
  using TFakeControl::TFakeControl;
};
inline const ClassInfo* TFakeLabel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeLabel>("TLabel", TFakeControl::StaticClassInfo()).Build();
  return &ci;
}

// A form with a read-only text.
class TFakeForm : public TFakeControl {
  HL_REFLECTABLE
  explicit TFakeForm(const std::string& name) : TFakeControl(nullptr, name) {}
  ~TFakeForm() override { DestroyComponents(); }
  std::string Version() const { return "Version 2"; }
};
inline const ClassInfo* TFakeForm::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeForm>("TFakeForm", TFakeControl::StaticClassInfo())
                                  .Str("Version", &TFakeForm::Version)
                                  .Build();
  return &ci;
}

// A menu item: a caption, no font of its own.
class TFakeMenuItem : public TComponent {
  HL_REFLECTABLE
  TFakeMenuItem(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
  std::string caption;
  const std::string& Caption() const { return caption; }
  void SetCaption(const std::string& v) { caption = v; }
};
inline const ClassInfo* TFakeMenuItem::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeMenuItem>("TMenuItem", TComponent::StaticClassInfo())
                                  .Str("Caption", &TFakeMenuItem::Caption, &TFakeMenuItem::SetCaption)
                                  .Build();
  return &ci;
}

// A collection item with one text, published as Prop by a class called Name.
template <const char* Name, const char* Prop>
class TFakeTextItem : public TCollectionItem {
  HL_REFLECTABLE
  std::string text;
  const std::string& Text() const { return text; }
  void SetText(const std::string& v) { text = v; }
};
template <const char* Name, const char* Prop>
const ClassInfo* TFakeTextItem<Name, Prop>::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeTextItem>(Name, TCollectionItem::StaticClassInfo())
                                  .Str(Prop, &TFakeTextItem::Text, &TFakeTextItem::SetText)
                                  .Build();
  return &ci;
}
inline constexpr char kPanelClass[] = "TStatusPanel";
inline constexpr char kColumnClass[] = "TListColumn";
inline constexpr char kTextProp[] = "Text";
inline constexpr char kCaptionProp[] = "Caption";
using TFakePanel = TFakeTextItem<kPanelClass, kTextProp>;
using TFakeColumn = TFakeTextItem<kColumnClass, kCaptionProp>;

class TFakeStatusBar : public TFakeControl {
  HL_REFLECTABLE
  TFakeStatusBar(TComponent* owner, const std::string& name)
      : TFakeControl(owner, name), panels(TCollection::ItemClass<TFakePanel>()) {}
  TCollection panels;
  TFakePanel* Panel(int i) const { return static_cast<TFakePanel*>(panels.Items(i)); }
  TCollection* Panels() const { return const_cast<TCollection*>(&panels); }
};
inline const ClassInfo* TFakeStatusBar::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeStatusBar>("TStatusBar", TFakeControl::StaticClassInfo())
                                  .Obj("Panels", &TFakeStatusBar::Panels, TCollection::StaticClassInfo())
                                  .Build();
  return &ci;
}

// Lines as a plain string list.
class TFakeMemo : public TFakeControl {
  HL_REFLECTABLE
  using TFakeControl::TFakeControl;
  TStringList lines;
  TStringList* Lines() const { return const_cast<TStringList*>(&lines); }
};
inline const ClassInfo* TFakeMemo::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeMemo>("TMemo", TFakeControl::StaticClassInfo())
                                  .Obj("Lines", &TFakeMemo::Lines, nullptr)
                                  .Build();
  return &ci;
}

// A combo box: a chosen item that no longer exists chooses none.
class TFakeComboBase : public TFakeControl {
  HL_REFLECTABLE
  using TFakeControl::TFakeControl;
  TStringList items;
  int itemIndex = -1;
  TStringList* Items() const { return const_cast<TStringList*>(&items); }
  int ItemIndex() const { return itemIndex; }
  void SetItemIndex(int v) { itemIndex = v < items.Count() ? v : -1; }
};
inline const ClassInfo* TFakeComboBase::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeComboBase>("TCustomComboBox", TFakeControl::StaticClassInfo())
                                  .Obj("Items", &TFakeComboBase::Items, nullptr)
                                  .Int("ItemIndex", &TFakeComboBase::ItemIndex, &TFakeComboBase::SetItemIndex)
                                  .Build();
  return &ci;
}
// The translation of the items drops the choice, as a real combo box does.
class TFakeCombo : public TFakeComboBase {
  HL_REFLECTABLE
  TFakeCombo(TComponent* owner, const std::string& name) : TFakeComboBase(owner, name) {
    items.OnChange = [this](TObject*) { itemIndex = -1; };
  }
};
inline const ClassInfo* TFakeCombo::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeCombo>("TComboBox", TFakeComboBase::StaticClassInfo()).Build();
  return &ci;
}

// A list view's item: its caption only the window side knows how to reach (through the access the
// tests install: GetFakeItemCaption, SetFakeItemCaption).
class TFakeListItem : public TPersistent {
public:
  std::string caption;
  std::string ClassName() const override { return "TListItem"; }
};

inline bool GetFakeItemCaption(const TPersistent* item, std::string& caption) {
  auto* fake = dynamic_cast<const TFakeListItem*>(item);
  if (fake != nullptr) caption = fake->caption;
  return fake != nullptr;
}
inline bool SetFakeItemCaption(TPersistent* item, const std::string& caption) {
  auto* fake = dynamic_cast<TFakeListItem*>(item);
  if (fake != nullptr) fake->caption = caption;
  return fake != nullptr;
}

class TFakeListItems : public TPersistent {
public:
  std::vector<std::unique_ptr<TFakeListItem>> items;
  std::string ClassName() const override { return "TListItems"; }
  void Add(const std::string& caption) {
    items.push_back(std::make_unique<TFakeListItem>());
    items.back()->caption = caption;
  }
  int ListedItemCount() const override { return static_cast<int>(items.size()); }
  TPersistent* ListedItem(int i) const override { return items.at(static_cast<size_t>(i)).get(); }
};

// A list view: columns (a collection) and items (a list of captions that is no collection).
class TFakeListView : public TFakeControl {
  HL_REFLECTABLE
  TFakeListView(TComponent* owner, const std::string& name)
      : TFakeControl(owner, name), columns(TCollection::ItemClass<TFakeColumn>()) {}
  TCollection columns;
  TFakeListItems items;
  TFakeColumn* Column(int i) const { return static_cast<TFakeColumn*>(columns.Items(i)); }
  TCollection* Columns() const { return const_cast<TCollection*>(&columns); }
  TFakeListItems* Items() const { return const_cast<TFakeListItems*>(&items); }
};
inline const ClassInfo* TFakeListView::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFakeListView>("TListView", TFakeControl::StaticClassInfo())
                                  .Obj("Columns", &TFakeListView::Columns, TCollection::StaticClassInfo())
                                  .Obj("Items", &TFakeListView::Items, nullptr)
                                  .Build();
  return &ci;
}

// The test form:
//   Caption "Main", lbName (a part "Inner" owned by the label itself), sbMain with two
//   panels, mmNotes, cbUser with three items, lvTasks with two columns and two items,
//   mnStart (no font), lbClock "12:30".
struct FakeForm {
  TFakeForm* form = new TFakeForm("formMain");
  TFakeLabel* lbName = new TFakeLabel(form, "lbName");
  TFakeLabel* inner = new TFakeLabel(lbName, "Inner");
  TFakeStatusBar* sbMain = new TFakeStatusBar(form, "sbMain");
  TFakeMemo* mmNotes = new TFakeMemo(form, "mmNotes");
  TFakeCombo* cbUser = new TFakeCombo(form, "cbUser");
  TFakeListView* lvTasks = new TFakeListView(form, "lvTasks");
  TFakeMenuItem* mnStart = new TFakeMenuItem(form, "mnStart");
  TFakeLabel* lbClock = new TFakeLabel(form, "lbClock");
  std::unique_ptr<TFakeForm> owner{form};

  FakeForm() {
    form->caption = "Main";
    lbName->caption = "Name";
    lbName->hint = "Your name";
    lbName->font.name = "Arial";
    lbName->font.size = 10;
    lbName->font.style = 1;
    lbName->SetReference(form);
    inner->caption = "Inner part";
    sbMain->Panels()->Add();
    sbMain->Panels()->Add();
    sbMain->Panel(0)->text = "Ready";
    mmNotes->lines.SetText("First line\r\nSecond line");
    cbUser->items.SetText("One\r\nTwo\r\nThree");
    cbUser->itemIndex = 2;
    lvTasks->Columns()->Add();
    lvTasks->Columns()->Add();
    lvTasks->Column(0)->text = "Task";
    lvTasks->Column(1)->text = "Time";
    lvTasks->items.Add("Writing");
    lvTasks->items.Add("Reading");
    mnStart->caption = "Start";
    lbClock->caption = "12:30";
  }
};
