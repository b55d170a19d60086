#include "kit/win/animated_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/wcl/win/std_controls.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kKey = 0xFF00FF;  // fuchsia

// The colour of cell i of a test strip.
TColor CellColor(int i) { return static_cast<TColor>(RGB(20 * i + 10, 200 - 20 * i, 40)); }

// A strip of square cells, each filled with its own colour and with a key-coloured left
// column (so the strip's bottom-left pixel, its key, is fuchsia).
std::unique_ptr<TBitmap> MakeStrip(int cells, int size, TGlyphOrientation orientation = goHorizontal) {
  auto strip = std::make_unique<TBitmap>();
  const bool across = orientation == goHorizontal;
  strip->SetSize(across ? cells * size : size, across ? size : cells * size);
  TCanvas* canvas = strip->Canvas();
  for (int i = 0; i < cells; ++i) {
    const int x = across ? i * size : 0;
    const int y = across ? 0 : i * size;
    canvas->Brush()->SetColor(CellColor(i));
    canvas->FillRect(RECT{x, y, x + size, y + size});
    canvas->Brush()->SetColor(kKey);
    canvas->FillRect(RECT{x, y, x + 1, y + size});
  }
  return strip;
}

// Lets the tests deliver timer ticks themselves.
class TSteppedImage : public TAnimatedImage {
public:
  using TAnimatedImage::TAnimatedImage;
  using TAnimatedImage::TimerStep;
};

class AnimatedImageTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    parent_ = std::make_unique<TPanel>(nullptr);
    parent_->SetBevelOuter(bvNone);
    parent_->SetBounds(0, 0, 200, 60);
    parent_->SetColor(clRed);
    image_ = new TSteppedImage(parent_.get());
    image_->SetParent(parent_.get());
    image_->SetLeft(10);
    image_->SetTop(10);
    image_->OnFrameChanged = [this](TObject*) { events_.push_back("frame " + std::to_string(image_->GlyphNum())); };
    image_->OnStart = [this](TObject*) { events_.push_back("start"); };
    image_->OnStop = [this](TObject*) { events_.push_back("stop"); };
  }
  void TearDown() override {
    parent_.reset();
    AppTest::TearDown();
  }

  void SetStrip(int cells, int size, TGlyphOrientation orientation = goHorizontal) {
    image_->SetOrientation(orientation);
    image_->SetGlyph(MakeStrip(cells, size, orientation).get());
  }

  // The control painted as its parent paints it, then the colour at (x, y).
  TColor PaintedPixel(int x, int y) {
    TBitmap target;
    target.SetSize(image_->Width(), image_->Height());
    image_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas()->Handle()), 0);
    return static_cast<TColor>(target.Canvas()->Pixels(x, y) & 0xFFFFFF);
  }

  std::unique_ptr<TPanel> parent_;
  TSteppedImage* image_ = nullptr;
  std::vector<std::string> events_;
};

}  // namespace

TEST_F(AnimatedImageTest, AStripIsCountedIntoCellsAndTheControlTakesTheirSize) {
  EXPECT_EQ(image_->Width(), 32);
  EXPECT_EQ(image_->TransparentColor(), clNone);

  SetStrip(8, 16);
  EXPECT_EQ(image_->NumGlyphs(), 8);
  EXPECT_EQ(image_->Width(), 16);
  EXPECT_EQ(image_->Height(), 16);
  EXPECT_EQ(image_->Left(), 10);
  // The strip's own key colour, without the palette-relative mark.
  EXPECT_EQ(image_->TransparentColor(), kKey);

  // Not a whole number of squares: one cell of the whole strip.
  TBitmap odd;
  odd.SetSize(100, 30);
  image_->SetGlyph(&odd);
  EXPECT_EQ(image_->NumGlyphs(), 1);
  EXPECT_EQ(image_->Width(), 100);
  EXPECT_EQ(image_->Height(), 30);

  // A vertical strip, and a size change that auto-size undoes.
  SetStrip(4, 12, goVertical);
  EXPECT_EQ(image_->NumGlyphs(), 4);
  EXPECT_EQ(image_->Height(), 12);
  image_->SetWidth(50);
  EXPECT_EQ(image_->Width(), 12);
  image_->SetAutoSize(false);
  image_->SetWidth(50);
  EXPECT_EQ(image_->Width(), 50);
}

TEST_F(AnimatedImageTest, DrawsTheShownCellWithTheKeyColourSeeThrough) {
  SetStrip(8, 16);
  image_->SetGlyphNum(3);
  EXPECT_EQ(PaintedPixel(8, 8), CellColor(3));
  EXPECT_EQ(PaintedPixel(0, 8), clRed);  // the parent behind the key colour

  image_->SetOpaque(true);
  image_->SetColor(clBlue);
  EXPECT_EQ(PaintedPixel(0, 8), clBlue);  // opaque: the control's own colour

  // Centred at its own size in a larger control, or stretched over it.
  image_->SetAutoSize(false);
  image_->SetBounds(10, 10, 40, 30);
  image_->SetStretch(false);
  image_->SetCenter(true);
  EXPECT_EQ(PaintedPixel(12 + 8, 7 + 8), CellColor(3));
  EXPECT_EQ(PaintedPixel(5, 5), clBlue);
  image_->SetStretch(true);
  EXPECT_EQ(PaintedPixel(5, 5), CellColor(3));
  EXPECT_EQ(PaintedPixel(39, 29), CellColor(3));

  // A count of 0 shows the whole strip as one cell.
  image_->SetAutoSize(true);
  image_->SetNumGlyphs(0);
  EXPECT_EQ(image_->Width(), 128);
  EXPECT_EQ(PaintedPixel(100, 8), CellColor(6));
}

TEST_F(AnimatedImageTest, StepsPassOverTheInactiveCellAndStoppingShowsIt) {
  SetStrip(8, 16);
  image_->SetInactiveGlyph(2);
  EXPECT_EQ(image_->GlyphNum(), 2);
  EXPECT_EQ(PaintedPixel(8, 8), CellColor(2));
  events_.clear();

  image_->SetActive(true);
  ASSERT_TRUE(image_->Active());
  for (int i = 0; i < 7; ++i) image_->TimerStep();
  EXPECT_EQ(events_, (std::vector<std::string>{"start", "frame 3", "frame 4", "frame 5", "frame 6", "frame 7",
                                               "frame 0", "frame 1"}));
  image_->TimerStep();
  EXPECT_EQ(image_->GlyphNum(), 3);

  // Hidden, the animation stands still.
  image_->SetVisible(false);
  image_->TimerStep();
  EXPECT_EQ(image_->GlyphNum(), 3);
  image_->SetVisible(true);

  events_.clear();
  image_->SetActive(false);
  EXPECT_EQ(events_, (std::vector<std::string>{"frame 2", "stop"}));
  EXPECT_EQ(PaintedPixel(8, 8), CellColor(2));

  // GlyphNum outside the strip changes nothing.
  events_.clear();
  image_->SetInactiveGlyph(-1);
  image_->SetGlyphNum(8);
  EXPECT_EQ(image_->GlyphNum(), 2);
  EXPECT_EQ(events_, (std::vector<std::string>{"frame 2"}));
}

TEST_F(AnimatedImageTest, FewerCellsThanTheShownOneStillDrawInsideTheStrip) {
  SetStrip(8, 16);
  image_->SetActive(true);
  image_->SetGlyphNum(5);
  image_->SetNumGlyphs(3);
  EXPECT_EQ(image_->GlyphNum(), 0);
  // The cells are now a third of the strip wide; the first one starts with cell 0's colour.
  EXPECT_EQ(image_->CellWidth(), 42);
  EXPECT_EQ(PaintedPixel(8, 8), CellColor(0));
  image_->SetActive(false);
}

TEST_F(AnimatedImageTest, TheTimerRunsOnlyWithAnInterval) {
  SetStrip(8, 16);
  image_->SetInactiveGlyph(0);
  events_.clear();

  // An interval of 0 never ticks: nothing starts and nobody is told it did.
  image_->SetInterval(0);
  image_->SetActive(true);
  EXPECT_FALSE(image_->Active());
  EXPECT_TRUE(events_.empty());

  image_->SetInterval(15);
  image_->SetActive(true);
  ASSERT_TRUE(image_->Active());
  std::vector<int> shown;
  image_->OnFrameChanged = [&](TObject*) { shown.push_back(image_->GlyphNum()); };
  ASSERT_TRUE(PumpUntil([&] { return shown.size() >= 9; }));
  image_->SetActive(false);
  for (size_t i = 0; i + 1 < shown.size(); ++i) EXPECT_NE(shown[i], 0) << "tick " << i;
  EXPECT_EQ(shown.back(), 0);
  const size_t ticks = shown.size();
  PumpFor(100);  // several intervals without a frame
  EXPECT_EQ(shown.size(), ticks);
}

// Under a hidden window the animation neither steps nor keeps its timer going; painted
// again, it goes on.
TEST_F(AnimatedImageTest, UnderAHiddenWindowTheTimerRestsUntilPainted) {
  SetStrip(8, 16);
  image_->SetInterval(15);
  parent_->SetVisible(false);
  image_->SetActive(true);
  ASSERT_TRUE(image_->Active());
  std::vector<int> shown;
  image_->OnFrameChanged = [&](TObject*) { shown.push_back(image_->GlyphNum()); };
  image_->TimerStep();
  PumpFor(150);  // ten intervals without a frame
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(image_->GlyphNum(), 0);
  EXPECT_TRUE(image_->Active());

  parent_->SetVisible(true);
  PaintedPixel(8, 8);
  ASSERT_TRUE(PumpUntil([&] { return shown.size() >= 3; }));
  image_->SetActive(false);
}

TEST_F(AnimatedImageTest, NoStartOrStopWhileTheFormIsBuilt) {
  TComponent root(nullptr);
  root.BeginLoading();
  auto* image = new TAnimatedImage(&root);
  int starts = 0;
  image->OnStart = [&](TObject*) { ++starts; };
  image->SetGlyph(MakeStrip(4, 16).get());
  EXPECT_EQ(image->Width(), 32);  // no auto-size while loading
  image->SetInactiveGlyph(6);     // the count may still grow while loading
  EXPECT_EQ(image->InactiveGlyph(), 6);
  image->SetActive(true);
  EXPECT_TRUE(image->Active());
  LoadedAll(&root);
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(image->Width(), 16);
  image->SetActive(false);
  image->SetActive(true);
  EXPECT_EQ(starts, 1);
}
