#include "demo/win/gif_animator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "demo/gif_format.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

// One frame of a test picture: a solid rectangle of one palette colour.
struct TFrameSpec {
  int Left, Top, Width, Height;
  int Color;  // index into kPalette
  int Disposal;
  uint16_t DelayMs;
  bool Keyed = false;  // the frame's colour is its transparent colour
};

const TDibColor kPalette[4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {0, 255, 255, 0}};
const TColor kRgb[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

// A GIF file of the frames, written by the demo's own GIF writer.
std::vector<uint8_t> MakeGif(const std::vector<TFrameSpec>& specs) {
  TGifDocument doc;
  doc.Image.VersionIndex = 2;
  for (const TFrameSpec& spec : specs) {
    TDibImage picture;
    picture.Width = spec.Width;
    picture.Height = spec.Height;
    picture.BitCount = 8;
    picture.Palette.assign(std::begin(kPalette), std::end(kPalette));
    picture.Bits.assign(picture.Stride() * static_cast<size_t>(spec.Height), static_cast<uint8_t>(spec.Color));
    TGifFrameInfo frame;
    EncodeGifFrame(doc.Image, frame, picture);
    frame.OriginLeft = spec.Left;
    frame.OriginTop = spec.Top;
    frame.Disposal = spec.Disposal;
    frame.DelayMs = spec.DelayMs;
    if (spec.Keyed) frame.KeyColor = kRgb[spec.Color];
    doc.Frames.push_back(std::move(frame));
  }
  return WriteGif(doc);
}

void LoadGif(TGIFImage* image, const std::vector<TFrameSpec>& specs) {
  const std::vector<uint8_t> bytes = MakeGif(specs);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  image->LoadFromStream(stream);
}

// Lets the tests deliver timer ticks themselves.
class TSteppedAnimator : public TKitGIFAnimator {
public:
  using TKitGIFAnimator::TimerStep;
  using TKitGIFAnimator::TKitGIFAnimator;
};

class GifAnimatorTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    parent_ = std::make_unique<TPanel>(nullptr);
    parent_->SetBounds(0, 0, 200, 100);
    animator_ = new TSteppedAnimator(parent_.get());
    animator_->SetParent(parent_.get());
    animator_->OnFrameChanged = [this](TObject*) { events_.push_back("frame " + std::to_string(animator_->FrameIndex())); };
    animator_->OnStart = [this](TObject*) { events_.push_back("start"); };
    animator_->OnStop = [this](TObject*) { events_.push_back("stop"); };
  }
  void TearDown() override {
    parent_.reset();
    AppTest::TearDown();
  }

  std::unique_ptr<TPanel> parent_;
  TSteppedAnimator* animator_ = nullptr;
  std::vector<std::string> events_;
};

const std::vector<TFrameSpec> kThreeFrames = {
    {0, 0, 20, 10, 0, 1, 50}, {0, 0, 20, 10, 1, 1, 0}, {0, 0, 20, 10, 2, 1, 70}};

TEST_F(GifAnimatorTest, LoadingSizesTheControlAndSetsTheFirstInterval) {
  animator_->SetBounds(5, 6, 100, 80);
  LoadGif(animator_->Image(), kThreeFrames);
  EXPECT_EQ(animator_->FrameIndex(), 0);
  EXPECT_EQ(animator_->Width(), 20);
  EXPECT_EQ(animator_->Height(), 10);
  EXPECT_EQ(animator_->Left(), 5);
  EXPECT_EQ(animator_->TimerInterval(), 50u);
  // Auto-size snaps back after a resize; without it the size stays.
  animator_->SetBounds(5, 6, 60, 60);
  EXPECT_EQ(animator_->Width(), 20);
  animator_->SetAutoSize(false);
  animator_->SetBounds(5, 6, 60, 60);
  EXPECT_EQ(animator_->Width(), 60);

  // A frame with no delay still steps, after 1 ms.
  animator_->SetFrameIndex(1);
  EXPECT_EQ(animator_->TimerInterval(), 1u);
  // Out-of-range indexes change nothing.
  events_.clear();
  animator_->SetFrameIndex(3);
  animator_->SetFrameIndex(-1);
  EXPECT_EQ(animator_->FrameIndex(), 1);
  EXPECT_TRUE(events_.empty());
}

TEST_F(GifAnimatorTest, AnEmptyAutoSizedControlKeepsAnySize) {
  animator_->SetBounds(0, 0, 70, 30);
  EXPECT_EQ(animator_->Width(), 70);
  EXPECT_EQ(animator_->Height(), 30);
}

TEST_F(GifAnimatorTest, WithoutLoopTheAnimationStopsBackOnFrameZero) {
  LoadGif(animator_->Image(), kThreeFrames);
  animator_->SetLoop(false);
  animator_->SetAnimate(true);
  EXPECT_TRUE(animator_->Animate());
  for (int i = 0; i < 3; ++i) animator_->TimerStep();
  EXPECT_EQ(events_, (std::vector<std::string>{"start", "frame 1", "frame 2", "frame 0", "stop"}));
  EXPECT_FALSE(animator_->Animate());
  EXPECT_EQ(animator_->TimerInterval(), 50u);
}

TEST_F(GifAnimatorTest, OneFramePicturesNeverStep) {
  LoadGif(animator_->Image(), {{0, 0, 8, 8, 0, 0, 40}});
  animator_->SetAnimate(true);
  EXPECT_EQ(animator_->TimerInterval(), 0u);
  animator_->TimerStep();
  EXPECT_EQ(animator_->FrameIndex(), 0);
  EXPECT_EQ(events_, std::vector<std::string>{"start"});
}

TEST_F(GifAnimatorTest, TheTimerStepsThroughTheFrames) {
  LoadGif(animator_->Image(), {{0, 0, 8, 8, 0, 1, 30}, {0, 0, 8, 8, 1, 1, 30}});
  animator_->SetAnimate(true);
  EXPECT_TRUE(PumpUntil([this] { return events_.size() >= 4; }));
  animator_->SetAnimate(false);
  const size_t seen = events_.size();
  PumpFor(150);  // five frames' time without a step
  EXPECT_EQ(events_.size(), seen);
  EXPECT_EQ(events_.back(), "stop");
}

TEST_F(GifAnimatorTest, CompositionFollowsTheDisposalMethods) {
  // A full red frame kept, a green patch cleared back to the background afterwards, a
  // yellow patch restored (never shown under later frames), then a blue patch.
  LoadGif(animator_->Image(), {{0, 0, 12, 12, 0, 1, 10},
                               {2, 2, 3, 3, 1, 2, 10},
                               {6, 0, 2, 2, 3, 3, 10},
                               {8, 8, 2, 2, 2, 1, 10}});
  TColor key = 0;
  std::unique_ptr<TBitmap> composed = animator_->ComposeFrame(3, key);
  EXPECT_EQ(key, clNone);
  ASSERT_EQ(composed->Width(), 12);
  TCanvas* canvas = composed->Canvas();
  EXPECT_EQ(canvas->Pixels(0, 0), kRgb[0]);
  EXPECT_EQ(canvas->Pixels(3, 3), ColorToRGB(clWindow));  // the cleared patch
  EXPECT_EQ(canvas->Pixels(6, 0), kRgb[0]);               // the restored patch is gone
  EXPECT_EQ(canvas->Pixels(8, 8), kRgb[2]);

  // Frame 1 itself is drawn even though it is cleared afterwards.
  composed = animator_->ComposeFrame(1, key);
  EXPECT_EQ(composed->Canvas()->Pixels(3, 3), kRgb[1]);
}

TEST_F(GifAnimatorTest, AFullScreenClearStartsTheComposition) {
  LoadGif(animator_->Image(), {{0, 0, 10, 10, 0, 1, 10}, {0, 0, 10, 10, 1, 2, 10}, {4, 4, 2, 2, 2, 1, 10}});
  TColor key = 0;
  std::unique_ptr<TBitmap> composed = animator_->ComposeFrame(2, key);
  // Nothing before frame 1 is drawn, and frame 1 is only cleared: the background shows.
  EXPECT_EQ(composed->Canvas()->Pixels(0, 0), ColorToRGB(clWindow));
  EXPECT_EQ(composed->Canvas()->Pixels(4, 4), kRgb[2]);
}

TEST_F(GifAnimatorTest, AKeyedFirstFrameMakesTheBackgroundTransparent) {
  LoadGif(animator_->Image(), {{0, 0, 10, 10, 3, 1, 10, true}, {2, 2, 2, 2, 1, 1, 10}});
  TColor key = clNone;
  std::unique_ptr<TBitmap> composed = animator_->ComposeFrame(1, key);
  EXPECT_EQ(key & 0xFFFFFF, kRgb[3]);
  EXPECT_TRUE(composed->Transparent());
  EXPECT_EQ(composed->Canvas()->Pixels(0, 0), kRgb[3]);
  EXPECT_EQ(composed->Canvas()->Pixels(2, 2), kRgb[1]);
  animator_->SetTransparent(false);
  EXPECT_FALSE(animator_->ComposeFrame(1, key)->Transparent());
}

}  // namespace
