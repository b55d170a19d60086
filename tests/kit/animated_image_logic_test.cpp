#include "kit/animated_image_logic.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TGlyphStrip Strip(int width, int height, TGlyphOrientation orientation = goHorizontal) {
  TGlyphStrip strip;
  strip.SetOrientation(orientation);
  strip.SetStripSize(width, height);
  return strip;
}

std::vector<int> Steps(TGlyphStrip& strip, int count) {
  std::vector<int> shown;
  for (int i = 0; i < count; ++i) {
    strip.Step();
    shown.push_back(strip.GlyphNum());
  }
  return shown;
}

}  // namespace

TEST(GlyphStrip, CountsSquareCellsAlongTheStrip) {
  TGlyphStrip wide = Strip(128, 16);
  EXPECT_EQ(wide.NumGlyphs(), 8);
  EXPECT_EQ(wide.CellWidth(), 16);
  EXPECT_EQ(wide.CellHeight(), 16);

  TGlyphStrip odd = Strip(100, 30);
  EXPECT_EQ(odd.NumGlyphs(), 1);
  EXPECT_EQ(odd.CellWidth(), 100);
  EXPECT_EQ(odd.CellHeight(), 30);

  TGlyphStrip tall = Strip(16, 64, goVertical);
  EXPECT_EQ(tall.NumGlyphs(), 4);
  EXPECT_EQ(tall.CellWidth(), 16);
  EXPECT_EQ(tall.CellHeight(), 16);

  // Turning the strip recounts: a 128 x 16 strip read top to bottom is one cell.
  wide.SetOrientation(goVertical);
  EXPECT_EQ(wide.NumGlyphs(), 1);
  EXPECT_EQ(wide.CellHeight(), 16);

  TGlyphStrip empty = Strip(0, 0);
  EXPECT_EQ(empty.NumGlyphs(), 1);
  EXPECT_TRUE(empty.SourceRect().Empty());
}

TEST(GlyphStrip, RecountingStartsAgainAtTheFirstCell) {
  TGlyphStrip strip = Strip(128, 16);
  ASSERT_TRUE(strip.SetGlyphNum(5));
  strip.SetStripSize(64, 16);
  EXPECT_EQ(strip.NumGlyphs(), 4);
  EXPECT_EQ(strip.GlyphNum(), 0);
}

TEST(GlyphStrip, GlyphNumAcceptsOnlyCellsOfTheStrip) {
  TGlyphStrip strip = Strip(128, 16);
  EXPECT_FALSE(strip.SetGlyphNum(8));
  EXPECT_FALSE(strip.SetGlyphNum(-1));
  EXPECT_FALSE(strip.SetGlyphNum(0));
  EXPECT_EQ(strip.GlyphNum(), 0);
  EXPECT_TRUE(strip.SetGlyphNum(7));
  EXPECT_EQ(strip.GlyphNum(), 7);
}

TEST(GlyphStrip, StepWrapsAndPassesOverTheInactiveCell) {
  // The last cell inactive: the step from the one before it wraps straight to the first.
  TGlyphStrip strip = Strip(64, 16);
  strip.SetInactiveGlyph(3, false);
  EXPECT_EQ(strip.DisplayedCell(), 3);
  strip.SetActive(true);
  EXPECT_EQ(Steps(strip, 4), (std::vector<int>{0, 1, 2, 0}));
  strip.SetActive(false);
  EXPECT_EQ(strip.GlyphNum(), 3);

  // One cell: nothing to step.
  TGlyphStrip single = Strip(100, 30);
  EXPECT_FALSE(single.Step());
  EXPECT_EQ(single.GlyphNum(), 0);
}

TEST(GlyphStrip, InactiveGlyphRules) {
  TGlyphStrip strip = Strip(128, 16);
  EXPECT_FALSE(strip.SetInactiveGlyph(8, false));
  EXPECT_EQ(strip.InactiveGlyph(), -1);
  EXPECT_FALSE(strip.SetInactiveGlyph(-5, false));  // -5 is -1, already set
  EXPECT_TRUE(strip.SetInactiveGlyph(8, true));     // while loading the count may follow
  EXPECT_EQ(strip.InactiveGlyph(), 8);
  // Not a cell: it neither shows nor is passed over.
  EXPECT_EQ(strip.DisplayedCell(), 0);
  EXPECT_TRUE(strip.SetInactiveGlyph(-3, false));
  EXPECT_EQ(strip.InactiveGlyph(), -1);
}

TEST(GlyphStrip, FewerCellsNeverLeaveTheShownCellOutsideTheStrip) {
  TGlyphStrip strip = Strip(128, 16);
  strip.SetActive(true);
  ASSERT_TRUE(strip.SetGlyphNum(5));
  strip.SetNumGlyphs(3);
  EXPECT_EQ(strip.GlyphNum(), 0);
  TCellRect source = strip.SourceRect();
  EXPECT_LE(source.Left + source.Width, strip.StripWidth());
  EXPECT_EQ(Steps(strip, 4), (std::vector<int>{1, 2, 0, 1}));

  // An inactive cell beyond the new count is dropped.
  TGlyphStrip stopped = Strip(128, 16);
  stopped.SetInactiveGlyph(6, false);
  stopped.SetNumGlyphs(4);
  EXPECT_EQ(stopped.InactiveGlyph(), -1);
  EXPECT_EQ(stopped.GlyphNum(), 0);

  // An inactive cell still inside is shown.
  TGlyphStrip kept = Strip(128, 16);
  kept.SetInactiveGlyph(1, false);
  kept.SetNumGlyphs(2);
  EXPECT_EQ(kept.GlyphNum(), 1);
  EXPECT_EQ(kept.CellWidth(), 64);
}

TEST(GlyphStrip, SourceRectanglesOfTheShownCell) {
  TGlyphStrip wide = Strip(128, 16);
  wide.SetGlyphNum(3);
  TCellRect r = wide.SourceRect();
  EXPECT_EQ(r.Left, 48);
  EXPECT_EQ(r.Top, 0);
  EXPECT_EQ(r.Width, 16);
  EXPECT_EQ(r.Height, 16);

  TGlyphStrip tall = Strip(16, 64, goVertical);
  tall.SetGlyphNum(2);
  r = tall.SourceRect();
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 32);
  EXPECT_EQ(r.Height, 16);

  // A count of 0 draws one cell of the whole strip.
  wide.SetNumGlyphs(0);
  r = wide.SourceRect();
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Width, 128);
  EXPECT_FALSE(wide.Step());

  // More cells than pixels: the cells have no width and nothing is drawn.
  wide.SetNumGlyphs(200);
  EXPECT_TRUE(wide.SourceRect().Empty());
}

TEST(GlyphStrip, PlacementInTheClientArea) {
  TGlyphStrip strip = Strip(128, 16);
  TCellRect stretched = strip.DestRect(true, true, 40, 30);
  EXPECT_EQ(stretched.Left, 0);
  EXPECT_EQ(stretched.Width, 40);
  EXPECT_EQ(stretched.Height, 30);

  TCellRect centred = strip.DestRect(false, true, 41, 31);
  EXPECT_EQ(centred.Left, 12);
  EXPECT_EQ(centred.Top, 7);
  EXPECT_EQ(centred.Width, 16);

  // A client smaller than the cell: the halves round toward zero.
  centred = strip.DestRect(false, true, 13, 16);
  EXPECT_EQ(centred.Left, -1);
  EXPECT_EQ(centred.Top, 0);

  TCellRect plain = strip.DestRect(false, false, 41, 31);
  EXPECT_EQ(plain.Left, 0);
  EXPECT_EQ(plain.Top, 0);
}
