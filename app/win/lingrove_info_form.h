#pragma once
// The language-support information box: tells where languages are switched and where
// language files come from, with the localization library's mark and a turning globe.
// Made each time it is shown modally, and deleted afterwards.

#include "kit/win/animated_image.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/std_controls.h"

class TLingroveLang;

class TformLingroveInfo : public TForm {
  HL_REFLECTABLE
public:
  explicit TformLingroveInfo(TComponent* owner);

  TAnimatedImage* AnimatedImage1;
  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TLabel* Label5;
  TLabel* Label6;
  TImage* imLingroveLogo;
  TLingroveLang* LingroveLang1;

private:
  // Stacks the texts as they came out (wrapped, scaled, translated), the mark under them,
  // and makes the window as high as they need.
  void Arrange();
};
