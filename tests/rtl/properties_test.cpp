#include "platform/rtl/properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/exceptions.h"

namespace {

enum class TPitch { fpDefault, fpVariable, fpFixed };
const EnumInfo PitchEnum{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const EnumInfo StyleEnum{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
const EnumInfo AlignmentEnum{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

class TTestFont : public TPersistent {
  HL_REFLECTABLE
public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; ++changes; }
  int Charset() const { return charset_; }
  void SetCharset(int v) { charset_ = v; ++changes; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; ++changes; }
  TPitch Pitch() const { return pitch_; }
  void SetPitch(TPitch v) { pitch_ = v; ++changes; }
  unsigned Style() const { return style_; }
  void SetStyle(unsigned v) { style_ = v; ++changes; }
  int changes = 0;

private:
  std::string name_ = "Arial";
  int charset_ = 1;
  int size_ = 8;
  TPitch pitch_ = TPitch::fpDefault;
  unsigned style_ = 0;
};

const ClassInfo* TTestFont::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTestFont>("TFont", nullptr)
                                  .Int("Charset", &TTestFont::Charset, &TTestFont::SetCharset, 0, 255)
                                  .Str("Name", &TTestFont::Name, &TTestFont::SetName)
                                  .Enum("Pitch", &TTestFont::Pitch, &TTestFont::SetPitch, &PitchEnum)
                                  .Int("Size", &TTestFont::Size, &TTestFont::SetSize)
                                  .Set("Style", &TTestFont::Style, &TTestFont::SetStyle, &StyleEnum)
                                  .Build();
  return &ci;
}

// A string list: no published properties, only the text role.
class TTestLines : public TPersistent {
public:
  bool GetAsText(std::string& text) const override {
    text = text_;
    return true;
  }
  bool SetAsText(const std::string& text) override {
    text_ = text;
    return true;
  }
  std::string text_;
};

class TTestMenu : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
};

const ClassInfo* TTestMenu::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTestMenu>("TPopupMenu", TComponent::StaticClassInfo()).Build();
  return &ci;
}

class TTestPanel : public TCollectionItem {
  HL_REFLECTABLE
public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) { text_ = v; }

private:
  std::string text_;
};

const ClassInfo* TTestPanel::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TTestPanel>("TStatusPanel", TCollectionItem::StaticClassInfo())
                                  .Str("Text", &TTestPanel::Text, &TTestPanel::SetText)
                                  .Build();
  return &ci;
}

class TTestControl : public TComponent {
  HL_REFLECTABLE
public:
  using TComponent::TComponent;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) {
    caption_ = v;
    if (OnChange) OnChange(this);
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  int Height() const { return height_; }
  void SetHeight(int v) { height_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  long long Big() const { return big_; }
  void SetBig(long long v) { big_ = v; }
  char Accel() const { return accel_; }
  void SetAccel(char v) { accel_ = v; }
  TTestFont* Font() const { return &font_; }
  TTestLines* Lines() const { return &lines_; }
  TCollection* Panels() const { return &panels_; }
  TTestMenu* PopupMenu() const { return popup_; }
  void SetPopupMenu(TTestMenu* v) { popup_ = v; }
  TComponent* Helper() const { return helper_; }
  void SetHelper(TComponent* v) { helper_ = v; }

  TNotifyEvent OnChange;

private:
  std::string caption_;
  bool visible_ = true;
  int height_ = 20;
  TAlignment alignment_ = taLeftJustify;
  double ratio_ = 0.5;
  long long big_ = 0;
  char accel_ = 'A';
  mutable TTestFont font_;
  mutable TTestLines lines_;
  mutable TCollection panels_{TCollection::ItemClass<TTestPanel>(), this};
  TTestMenu* popup_ = nullptr;
  TComponent* helper_ = nullptr;
};

const ClassInfo* TTestControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TTestControl>("TControl", TComponent::StaticClassInfo())
          .Str("Caption", &TTestControl::Caption, &TTestControl::SetCaption)
          .Bool("Visible", &TTestControl::Visible, &TTestControl::SetVisible)
          .Int("Height", &TTestControl::Height, &TTestControl::SetHeight)
          .Enum("Alignment", &TTestControl::Alignment, &TTestControl::SetAlignment, &AlignmentEnum)
          .Float("Ratio", &TTestControl::Ratio, &TTestControl::SetRatio)
          .Int64("Big", &TTestControl::Big, &TTestControl::SetBig)
          .Char("Accel", &TTestControl::Accel, &TTestControl::SetAccel)
          .Obj("Font", &TTestControl::Font, TTestFont::StaticClassInfo())
          .Obj("Lines", &TTestControl::Lines, nullptr)
          .Obj("Panels", &TTestControl::Panels, TCollection::StaticClassInfo())
          .Ref("PopupMenu", &TTestControl::PopupMenu, &TTestControl::SetPopupMenu,
               TTestMenu::StaticClassInfo())
          .Stored(false)
          // A reference declared with a class the registry does not know.
          .Ref("Helper", &TTestControl::Helper, &TTestControl::SetHelper, nullptr)
          .Build();
  return &ci;
}

// Publishes one property of its own and publishes Caption again.
class TTestButton : public TTestControl {
  HL_REFLECTABLE
public:
  using TTestControl::TTestControl;
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }

private:
  bool default_ = false;
};

const ClassInfo* TTestButton::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TTestButton>("TButton", TTestControl::StaticClassInfo())
          .Bool("Default", &TTestButton::Default, &TTestButton::SetDefault)
          .Str("Caption", &TTestButton::Caption, nullptr)
          .Build();
  return &ci;
}

std::vector<std::string> Names(const TPersistent* obj) {
  std::vector<std::string> names;
  for (const PropInfo* p : PublishedProps(obj)) names.push_back(p->Name);
  return names;
}

TEST(Properties, PublishedInParentThenDeclarationOrder) {
  TTestButton button(nullptr);
  EXPECT_EQ(Names(&button),
            (std::vector<std::string>{"Tag", "Caption", "Visible", "Height", "Alignment", "Ratio",
                                      "Big", "Accel", "Font", "Lines", "Panels", "PopupMenu",
                                      "Helper", "Default"}));
  // The class's own declaration of Caption replaces its parent's, in the parent's place.
  EXPECT_FALSE(FindProp(&button, "caption")->IsWritable());
  TTestControl control(nullptr);
  EXPECT_TRUE(FindProp(&control, "CAPTION")->IsWritable());

  EXPECT_EQ(button.ClassName(), "TButton");
  EXPECT_TRUE(Names(nullptr).empty());
  TTestLines lines;
  EXPECT_TRUE(Names(&lines).empty());
  EXPECT_EQ(lines.ClassName(), "TPersistent");
  EXPECT_EQ(FindProp(&button, "NoSuch"), nullptr);
  EXPECT_FALSE(FindProp(&control, "PopupMenu")->Stored);
  EXPECT_TRUE(FindProp(&control, "Font")->Stored);
}

TEST(Properties, WritesGoThroughTheSetters) {
  TTestControl control(nullptr);
  int changes = 0;
  control.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &control);
    ++changes;
  };
  SetStrProp(&control, "caption", "Start");
  EXPECT_EQ(control.Caption(), "Start");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(GetStrProp(&control, "Caption"), "Start");

  SetOrdProp(&control, "Visible", 0);
  EXPECT_FALSE(control.Visible());
  EXPECT_EQ(GetOrdProp(&control, "Visible"), 0);
  SetOrdProp(&control, "Alignment", taCenter);
  EXPECT_EQ(control.Alignment(), taCenter);
  SetFloatProp(&control, "Ratio", 2.25);
  EXPECT_EQ(GetFloatProp(&control, "Ratio"), 2.25);
  SetOrdProp(&control, "Big", 1LL << 40);
  EXPECT_EQ(GetInt64Prop(&control, "Big"), 1LL << 40);
  SetOrdProp(&control, "Accel", 0xE9);  // upper half of the code page stays unsigned
  EXPECT_EQ(control.Accel(), '\xE9');
  EXPECT_EQ(GetOrdProp(&control, "Accel"), 0xE9);

  TPersistent* font = GetObjProp(&control, "Font");
  ASSERT_EQ(font, control.Font());
  SetOrdProp(font, "Pitch", 2);
  EXPECT_EQ(control.Font()->Pitch(), TPitch::fpFixed);
  EXPECT_EQ(control.Font()->changes, 1);
}

TEST(Properties, RefusedWritesLeaveTheValueUnchanged) {
  TTestControl control(nullptr);
  TTestFont* font = control.Font();
  EXPECT_THROW(SetOrdProp(font, "Charset", 300), EPropertyError);
  EXPECT_THROW(SetOrdProp(font, "Charset", -1), EPropertyError);
  SetOrdProp(font, "Charset", 255);
  EXPECT_THROW(SetOrdProp(font, "Style", 16), EPropertyError);  // no fifth style
  EXPECT_THROW(SetOrdProp(font, "Style", -1), EPropertyError);
  EXPECT_EQ(font->Charset(), 255);
  EXPECT_EQ(font->Style(), 0u);
  EXPECT_EQ(font->changes, 1);

  EXPECT_THROW(SetOrdProp(&control, "Visible", 2), EPropertyError);
  EXPECT_THROW(SetOrdProp(&control, "Alignment", 3), EPropertyError);
  EXPECT_THROW(SetOrdProp(&control, "Height", 1LL << 40), EPropertyError);
  EXPECT_THROW(SetOrdProp(&control, "Accel", 256), EPropertyError);
  EXPECT_TRUE(control.Visible());
  EXPECT_EQ(control.Alignment(), taLeftJustify);
  EXPECT_EQ(control.Height(), 20);

  // Wrong kind, read-only, unknown, no object.
  EXPECT_THROW(GetStrProp(&control, "Height"), EPropertyError);
  EXPECT_THROW(SetOrdProp(&control, "Caption", 1), EPropertyError);
  EXPECT_THROW(SetObjProp(&control, "Font", nullptr), EPropertyError);
  EXPECT_THROW(GetOrdProp(&control, "Nothing"), EPropertyError);
  EXPECT_THROW(GetOrdProp(nullptr, "Height"), EPropertyError);
  TTestButton button(nullptr);
  EXPECT_THROW(SetStrProp(&button, "Caption", "x"), EPropertyError);
  // A property used on an object of another class.
  const PropInfo* height = FindProp(&control, "Height");
  EXPECT_THROW(GetOrdProp(font, *height), EPropertyError);
}

TEST(Properties, EnumerationsAndSetsAsText) {
  EXPECT_EQ(GetEnumName(&PitchEnum, 1), "fpVariable");
  EXPECT_EQ(GetEnumName(&PitchEnum, 3), "");
  EXPECT_EQ(GetEnumName(&PitchEnum, -1), "");
  EXPECT_EQ(GetEnumValue(&PitchEnum, "FPFIXED"), 2);
  EXPECT_EQ(GetEnumValue(&PitchEnum, "fpFix"), -1);
  EXPECT_EQ(GetEnumValue(&BooleanEnum, "true"), 1);

  EXPECT_EQ(SetToString(&StyleEnum, 0), "[]");
  EXPECT_EQ(SetToString(&StyleEnum, 0b1010), "[fsItalic,fsStrikeOut]");
  long long mask = 99;
  ASSERT_TRUE(StringToSet(&StyleEnum, "[fsItalic,fsStrikeOut]", mask));
  EXPECT_EQ(mask, 0b1010);
  ASSERT_TRUE(StringToSet(&StyleEnum, " fsbold , FSUNDERLINE ", mask));
  EXPECT_EQ(mask, 0b0101);
  ASSERT_TRUE(StringToSet(&StyleEnum, "[ ]", mask));
  EXPECT_EQ(mask, 0);
  mask = 7;
  EXPECT_FALSE(StringToSet(&StyleEnum, "[fsBold,fsHeavy]", mask));
  EXPECT_FALSE(StringToSet(&StyleEnum, "[fsBold,]", mask));
  EXPECT_FALSE(StringToSet(&StyleEnum, "[fsBold", mask));
  EXPECT_EQ(mask, 7);
}

TEST(Properties, ClassPropertiesKnowTheirDeclaredClass) {
  TComponent form(nullptr);
  auto* control = new TTestControl(&form);
  auto* menu = new TTestMenu(&form);
  auto* plain = new TComponent(&form);

  const PropInfo* font = FindProp(control, "Font");
  EXPECT_EQ(font->Kind, TTypeKind::Class);
  EXPECT_EQ(font->DeclaredClass, TTestFont::StaticClassInfo());
  EXPECT_FALSE(IsComponentClass(font->DeclaredClass));
  const PropInfo* popup = FindProp(control, "PopupMenu");
  EXPECT_TRUE(IsComponentClass(popup->DeclaredClass));
  EXPECT_TRUE(popup->DeclaredClass->InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_FALSE(TComponent::StaticClassInfo()->InheritsFrom(popup->DeclaredClass));

  SetObjProp(control, "PopupMenu", menu);
  EXPECT_EQ(control->PopupMenu(), menu);
  EXPECT_THROW(SetObjProp(control, "PopupMenu", plain), EPropertyError);
  EXPECT_EQ(control->PopupMenu(), menu);
  SetObjProp(control, "PopupMenu", nullptr);
  EXPECT_EQ(control->PopupMenu(), nullptr);
}

TEST(Properties, PathsReachComponentsNestedObjectsAndItems) {
  TTestControl form(nullptr);
  auto* bt = new TTestControl(&form);
  bt->SetName("btStart");
  auto* inner = new TTestControl(bt);
  inner->SetName("Inner");
  auto* menu = new TTestMenu(&form);
  bt->SetPopupMenu(menu);
  bt->SetHelper(inner);
  bt->Panels()->Add();
  static_cast<TTestPanel*>(bt->Panels()->Add())->SetText("second");

  EXPECT_EQ(ResolvePath(&form, "BTSTART"), bt);
  EXPECT_EQ(ResolvePath(&form, "btStart.font"), bt->Font());
  EXPECT_EQ(ResolvePath(&form, "Font"), form.Font());
  EXPECT_EQ(ResolvePath(&form, "btStart.Panels.item1"), bt->Panels()->Items(1));
  EXPECT_EQ(ResolvePath(&form, "btStart.Panels.Item2"), nullptr);
  EXPECT_EQ(ResolvePath(&form, "btStart.Panels.Itemx"), nullptr);
  EXPECT_EQ(ResolvePath(&form, "btStart.Inner"), nullptr);  // only the root's own components
  EXPECT_EQ(ResolvePath(&form, "btStart.PopupMenu"), nullptr);
  EXPECT_EQ(ResolvePath(&form, "btStart.Helper"), nullptr);
  EXPECT_EQ(ResolvePath(&form, "btStart..Font"), nullptr);
  EXPECT_EQ(ResolvePath(nullptr, "btStart"), nullptr);

  EXPECT_EQ(GetTextByPath(&form, "btStart.Panels.Item1.Text"), "second");
  SetTextByPath(&form, "btStart.Panels.Item0.Text", "first");
  EXPECT_EQ(GetTextByPath(&form, "btStart.Panels.Item0.Text"), "first");
  EXPECT_THROW(GetTextByPath(&form, "btStart.PopupMenu.Tag"), EPropertyError);
  EXPECT_THROW(GetTextByPath(&form, "btStart.Nothing"), EPropertyError);
  EXPECT_THROW(GetTextByPath(&form, "btStart.Font"), EPropertyError);  // no text form

  // A string list is its whole text.
  SetTextByPath(&form, "btStart.Lines", "one\r\ntwo");
  EXPECT_EQ(bt->Lines()->text_, "one\r\ntwo");
  EXPECT_EQ(GetTextByPath(&form, "btStart.Lines"), "one\r\ntwo");
}

TEST(Properties, TextByPathConvertsEveryKind) {
  TTestControl form(nullptr);
  SetTextByPath(&form, "Height", "-42");
  SetTextByPath(&form, "Visible", "false");
  SetTextByPath(&form, "Alignment", "taRightJustify");
  SetTextByPath(&form, "Ratio", "1.5");
  SetTextByPath(&form, "Big", "-9223372036854775808");
  SetTextByPath(&form, "Accel", "z");
  SetTextByPath(&form, "Font.Style", "[fsBold,fsUnderline]");
  SetTextByPath(&form, "Tag", "7");
  EXPECT_EQ(GetTextByPath(&form, "height"), "-42");
  EXPECT_EQ(GetTextByPath(&form, "Visible"), "False");
  EXPECT_EQ(GetTextByPath(&form, "Alignment"), "taRightJustify");
  EXPECT_EQ(GetTextByPath(&form, "Ratio"), "1.5");
  EXPECT_EQ(GetTextByPath(&form, "Big"), "-9223372036854775808");
  EXPECT_EQ(GetTextByPath(&form, "Accel"), "z");
  EXPECT_EQ(GetTextByPath(&form, "Font.Style"), "[fsBold,fsUnderline]");
  EXPECT_EQ(GetTextByPath(&form, "Tag"), "7");
  SetTextByPath(&form, "Ratio", "0.1");
  EXPECT_EQ(GetTextByPath(&form, "Ratio"), "0.1");

  // Text that does not convert leaves the value as it was.
  for (const char* bad : {"", "12a", " 5", "0x10", "+", "99999999999999999999"})
    EXPECT_THROW(SetTextByPath(&form, "Height", bad), EConvertError) << bad;
  EXPECT_THROW(SetTextByPath(&form, "Height", "3000000000"), EPropertyError);
  EXPECT_THROW(SetTextByPath(&form, "Big", "9223372036854775808"), EConvertError);
  EXPECT_THROW(SetTextByPath(&form, "Ratio", "inf"), EConvertError);
  EXPECT_THROW(SetTextByPath(&form, "Ratio", "1,5"), EConvertError);
  EXPECT_THROW(SetTextByPath(&form, "Visible", "yes"), EConvertError);
  EXPECT_THROW(SetTextByPath(&form, "Accel", "ab"), EConvertError);
  EXPECT_THROW(SetTextByPath(&form, "Font.Style", "[fsHeavy]"), EConvertError);
  EXPECT_EQ(form.Height(), -42);
  EXPECT_EQ(form.Ratio(), 0.1);
  EXPECT_EQ(form.Font()->Style(), 0b101u);
}

}  // namespace
