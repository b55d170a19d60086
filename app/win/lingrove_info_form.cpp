#include "app/win/lingrove_info_form.h"

#include <algorithm>

#include "app/win/app_pictures.h"
#include "app/win/form_parts.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"

namespace {

TLangFormRegistrar registrar("TformLingroveInfo", [](TComponent* owner) { return new TformLingroveInfo(owner); });

}  // namespace

const ClassInfo* TformLingroveInfo::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformLingroveInfo>("TformLingroveInfo", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformLingroveInfo::TformLingroveInfo(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formLingroveInfo");
  SetCaption("Multi Language Support");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(373);
  SetClientHeight(134);

  AnimatedImage1 = MakeControl<TAnimatedImage>(this, "AnimatedImage1", this, 10, 8, 16, 16);
  {
    TBitmap strip;
    LoadAppPicture(&strip, kPictureLingroveAnim);
    AnimatedImage1->SetGlyph(&strip);
  }
  AnimatedImage1->SetInterval(120);
  AnimatedImage1->SetActive(true);

  Label1 = MakeControl<TLabel>(this, "Label1", this, 34, 10, 0, 0);
  Label1->Font()->SetStyle(fsBold);
  Label1->SetCaption("Hourlark includes MultiLanguage support!");
  // The texts stand one below the other; a text too long for the box (in a wider font)
  // wraps, and the texts below start under it.
  const int textWidth = ClientWidth() - 20;
  auto line = [this, textWidth](const std::string& name, int top, const std::string& caption) {
    auto* label = MakeControl<TLabel>(this, name, this, 10, top, textWidth, 13);
    label->SetWordWrap(true);
    label->SetCaption(caption);
    return label;
  };
  Label2 = line("Label2", 30, "Just right-click on tray icon and select Help -> Languages -> [your language]");
  Label3 = line("Label3", 47, "Download your language file from:");
  Label4 = line("Label4", 64, "Also you can download free language file editor and ");
  Label5 = line("Label5", 77, "modify existent languages or even create yours one!");

  imLingroveLogo = MakeControl<TImage>(this, "imLingroveLogo", this, 339, 104, 24, 24);
  LoadAppPicture(imLingroveLogo->Picture()->Bitmap(), kPictureLingroveLogo);
  imLingroveLogo->SetTransparent(true);
  Label6 = MakeControl<TLabel>(this, "Label6", this, 0, 110, 0, 0);
  Label6->SetCaption("Powered by");
  // Right-aligned: the label ends just before the logo whatever the language makes of it.
  Label6->SetAlignment(taRightJustify);
  Label6->SetLeft(imLingroveLogo->Left() - 6 - Label6->Width());

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  LingroveLang1->AfterTrans = [this](TObject*, const std::string&) { Arrange(); };
  LoadedAll(this);
  Arrange();
  DoCreate();
}

void TformLingroveInfo::Arrange() {
  // The labels know their wrapped height once loaded.
  Label3->SetTop(Label2->Top() + Label2->Height() + ScaleValue(4));
  Label4->SetTop(Label3->Top() + Label3->Height() + ScaleValue(4));
  Label5->SetTop(Label4->Top() + Label4->Height());
  imLingroveLogo->SetTop(std::max(ScaleValue(104), Label5->Top() + Label5->Height() + ScaleValue(4)));
  Label6->SetTop(imLingroveLogo->Top() + (imLingroveLogo->Height() - Label6->Height()) / 2);
  Label6->SetLeft(imLingroveLogo->Left() - ScaleValue(6) - Label6->Width());
  SetClientHeight(imLingroveLogo->Top() + imLingroveLogo->Height() + ScaleValue(6));
  WidenToHold(this, ScaleValue(6));
}
