#include "platform/wcl/win/handles.h"  // first: it tidies the system header's macros

#include "app/win/options_pictures.h"

#include <cstdint>

#include "platform/wcl/colors.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"
#include "platform/wcl/win/image_list.h"

namespace {

constexpr TColor KeyColour = clFuchsia;

void Blank(TBitmap* bitmap, int width, int height) {
  bitmap->SetSize(width, height);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(KeyColour);
  canvas->FillRect({0, 0, width, height});
}

void Shape(TCanvas* canvas, TColor pen, TColor brush) {
  canvas->Pen()->SetColor(pen);
  canvas->Brush()->SetColor(brush);
}

// A 32 x 32 disc with a mark of two bars on it.
void AddDiscPicture(TImageList* images, TColor rim, TColor disc, TColor mark, const RECT& bar1, const RECT& bar2) {
  TBitmap picture;
  Blank(&picture, 32, 32);
  TCanvas* c = picture.Canvas();
  Shape(c, rim, disc);
  c->Ellipse(2, 2, 30, 30);
  Shape(c, mark, mark);
  c->Rectangle(bar1);
  c->Rectangle(bar2);
  images->AddMasked(&picture, KeyColour);
}

// Adds a picture to a list of 32-bit pictures with see-through pixels (no mask): the key
// colour's pixels become fully transparent, every other pixel opaque.
void AddWithAlpha(TImageList* images, TBitmap* picture) {
  const uint32_t key = static_cast<uint32_t>(GetRValue(KeyColour)) << 16 |
                       static_cast<uint32_t>(GetGValue(KeyColour)) << 8 | GetBValue(KeyColour);
  picture->Canvas();  // drawing is finished before the pixels are read
  GdiFlush();
  for (int y = 0; y < picture->Height(); ++y) {
    auto* row = static_cast<uint32_t*>(picture->ScanLine(y));
    for (int x = 0; x < picture->Width(); ++x)
      row[x] = (row[x] & 0xFFFFFF) == key ? 0 : (row[x] | 0xFF000000u);
  }
  images->Add(picture, nullptr);
}

}  // namespace

void FillPageChooserPictures(TImageList* images) {
  TBitmap picture;
  // The tracker: a clock face with its hands.
  Blank(&picture, 32, 32);
  TCanvas* c = picture.Canvas();
  Shape(c, clNavy, clWhite);
  c->Pen()->SetWidth(2);
  c->Ellipse(3, 3, 29, 29);
  c->MoveTo(16, 16);
  c->LineTo(16, 7);
  c->MoveTo(16, 16);
  c->LineTo(23, 19);
  c->Pen()->SetWidth(1);
  images->AddMasked(&picture, KeyColour);
  // Health alarm: a red cross on a white disc.
  AddDiscPicture(images, clMaroon, clWhite, clRed, {13, 7, 19, 25}, {7, 13, 25, 19});
  // About: an "i" in a blue disc.
  AddDiscPicture(images, clNavy, clBlue, clWhite, {14, 8, 18, 12}, {14, 14, 18, 25});
  // Task list: a sheet with lines.
  Blank(&picture, 32, 32);
  c = picture.Canvas();
  Shape(c, clBlack, clWhite);
  c->Rectangle(6, 3, 26, 29);
  Shape(c, clGreen, clGreen);
  for (int y = 8; y < 26; y += 5) {
    c->Rectangle(9, y, 12, y + 3);
    c->Pen()->SetColor(clGray);
    c->MoveTo(14, y + 1);
    c->LineTo(23, y + 1);
    c->Pen()->SetColor(clGreen);
  }
  images->AddMasked(&picture, KeyColour);
}

void DrawSoundGlyph(TBitmap* glyph, bool play) {
  Blank(glyph, 12, 12);
  TCanvas* c = glyph->Canvas();
  if (play) {
    Shape(c, clGreen, clGreen);
    c->Polygon({{3, 1}, {9, 6}, {3, 11}});
  } else {
    Shape(c, clMaroon, clMaroon);
    c->Rectangle(2, 2, 10, 10);
  }
}

void DrawAboutLogo(TBitmap* bitmap, int width, int height) {
  bitmap->SetSize(width, height);
  TCanvas* c = bitmap->Canvas();
  // A band from dark blue to light blue with the name in white.
  for (int x = 0; x < width; ++x) {
    const int level = width > 1 ? x * 160 / (width - 1) : 0;
    c->Pen()->SetColor(static_cast<TColor>(RGB(0, 40 + level / 2, 96 + level)));
    c->MoveTo(x, 0);
    c->LineTo(x, height);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(clWhite);
  c->Font()->SetSize(20);
  c->Font()->SetStyle(fsBold);
  c->TextOut(14, (height - c->TextHeight("H")) / 2, "Hourlark 2.02");
}

void FillGroupPictures(TImageList* images) {
  static const TColor Colours[16] = {clGray,   clBlue,   clTeal, clPurple, clOlive,  clGreen, clRed,    clNavy,
                                     clMaroon, clFuchsia, clLime, clAqua,   clYellow, clSilver, clBlack, clWhite};
  TBitmap picture;
  for (int group = 0; group < 16; ++group) {
    Blank(&picture, 16, 16);
    TCanvas* c = picture.Canvas();
    // Fuchsia is the key colour: that group's square gets a darker rim and a light face.
    const TColor face = Colours[group] == KeyColour ? static_cast<TColor>(RGB(255, 128, 255)) : Colours[group];
    Shape(c, clBlack, face);
    if (group == 6) {
      // The restricted group: a no-entry mark.
      Shape(c, clMaroon, clRed);
      c->Ellipse(1, 1, 15, 15);
      Shape(c, clWhite, clWhite);
      c->Rectangle(4, 7, 12, 9);
    } else if (group == 0) {
      // The hidden group: a grey square with a dotted face.
      Shape(c, clGray, clSilver);
      c->Rectangle(2, 2, 14, 14);
      c->Pen()->SetColor(clGray);
      for (int y = 4; y < 12; y += 3)
        for (int x = 4; x < 12; x += 3) c->Rectangle(x, y, x + 1, y + 1);
    } else {
      c->Rectangle(2, 2, 14, 14);
    }
    AddWithAlpha(images, &picture);
  }
}
