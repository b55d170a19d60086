#include "demo/win/gif_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../gif_test_bytes.h"
#include "demo/demo_texts.h"
#include "platform/rtl/streams.h"

using namespace gif_test;

namespace {

void LoadInto(TGIFImage& image, const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  image.LoadFromStream(stream);
}

std::unique_ptr<TBitmap> Surface(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(color);
  bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
  return bitmap;
}

TColor Pixel(TBitmap& bitmap, int x, int y) { return bitmap.Canvas()->Pixels(x, y) & 0xFFFFFF; }

// 2 x 1: red, blue (global table black, red, green, blue), red keyed when transparent.
Bytes RedBlue(bool keyRed) {
  Bytes file = Header("GIF89a", 2, 1, FourColors());
  if (keyRed) Append(file, GraphicControl(1, 0, 1));
  Append(file, Image(0, 0, 2, 1, Raster(2, PackCodes({{4, 3}, {1, 3}, {3, 3}, {5, 3}}))));
  file.push_back(0x3B);
  return file;
}

}  // namespace

TEST(GifImage, LoadsAndDecodesTheFirstFrame) {
  TGIFImage image;
  int changes = 0;
  image.OnChange = [&](TObject*) { ++changes; };
  LoadInto(image, SmallGif());
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.CurrentFrame(), 0);
  EXPECT_FALSE(image.Empty());
  EXPECT_EQ(image.Width(), 4);
  EXPECT_EQ(image.Height(), 1);
  EXPECT_EQ(image.LogicalWidth(), 4);
  EXPECT_EQ(image.VersionIndex(), 1);
  TBitmap* bitmap = image.Frames(0)->Bitmap();
  EXPECT_EQ(bitmap->PixelFormat(), pf1bit);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(*bitmap, x, 0), x % 2 ? clWhite : clBlack) << x;
  EXPECT_FALSE(image.Transparent());
}

TEST(GifImage, DrawsTheCurrentFrameStretchedWithItsKeyColourSeeThrough) {
  TGIFImage image;
  LoadInto(image, RedBlue(false));
  std::unique_ptr<TBitmap> target = Surface(6, 2, clWhite);
  image.Draw(target->Canvas(), RECT{1, 0, 5, 2});
  EXPECT_EQ(Pixel(*target, 0, 0), clWhite);
  EXPECT_EQ(Pixel(*target, 1, 1), clRed);
  EXPECT_EQ(Pixel(*target, 2, 0), clRed);
  EXPECT_EQ(Pixel(*target, 3, 1), clBlue);
  EXPECT_EQ(Pixel(*target, 4, 0), clBlue);
  EXPECT_EQ(Pixel(*target, 5, 0), clWhite);

  LoadInto(image, RedBlue(true));
  EXPECT_TRUE(image.Transparent());
  target = Surface(2, 1, clLime);
  image.Draw(target->Canvas(), RECT{0, 0, 2, 1});
  EXPECT_EQ(Pixel(*target, 0, 0), clLime);
  EXPECT_EQ(Pixel(*target, 1, 0), clBlue);

  image.SetTransparent(false);
  image.Draw(target->Canvas(), RECT{0, 0, 2, 1});
  EXPECT_EQ(Pixel(*target, 0, 0), clRed);
}

TEST(GifImage, FirstFrameThatCannotBeDecodedFailsTheLoadAndLeavesNothingToDraw) {
  // Codes run out after one of four pixels.
  Bytes file = Header("GIF87a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster(2, PackCodes({{4, 3}, {1, 3}}))));
  file.push_back(0x3B);
  TGIFImage image;
  EXPECT_THROW(LoadInto(image, file), EReadError);
  EXPECT_EQ(image.FrameCount(), 0);
  EXPECT_EQ(image.CurrentFrame(), -1);
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.Width(), 0);
  std::unique_ptr<TBitmap> target = Surface(2, 2, clWhite);
  image.Draw(target->Canvas(), RECT{0, 0, 2, 2});
  EXPECT_EQ(Pixel(*target, 0, 0), clWhite);
}

TEST(GifImage, LaterDamagedFrameShowsTheRowsItHas) {
  Bytes file = Header("GIF89a", 4, 2, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  // 4 x 2 frame whose codes end after the first row: 1, 0, 1, 0.
  Append(file, Image(0, 0, 4, 2, Raster(2, PackCodes({{4, 3}, {1, 3}, {0, 3}, {6, 3}}))));
  file.push_back(0x3B);
  TGIFImage image;
  LoadInto(image, file);
  ASSERT_EQ(image.FrameCount(), 2);
  TGIFFrame* frame = image.Frames(1);
  EXPECT_FALSE(frame->Damaged());
  TBitmap* bitmap = frame->Bitmap();
  EXPECT_TRUE(frame->Damaged());
  ASSERT_EQ(bitmap->Width(), 4);
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clWhite);
  EXPECT_EQ(Pixel(*bitmap, 1, 0), clBlack);
  EXPECT_EQ(Pixel(*bitmap, 2, 0), clWhite);
  EXPECT_EQ(Pixel(*bitmap, 0, 1), clBlack);
  image.SetCurrentFrame(1);
  std::unique_ptr<TBitmap> target = Surface(4, 2, clLime);
  image.Draw(target->Canvas(), RECT{0, 0, 4, 2});
  EXPECT_EQ(Pixel(*target, 0, 0), clWhite);
}

TEST(GifImage, SizeCannotBeSet) {
  TGIFImage image;
  LoadInto(image, SmallGif());
  try {
    image.SetWidth(10);
    FAIL();
  } catch (const EInvalidGraphicOperation& error) {
    EXPECT_EQ(error.Message(), SGIFSizeFixed);
  }
  EXPECT_THROW(image.SetHeight(10), EInvalidGraphicOperation);
}

TEST(GifImage, StoredFormRefusesLengthsBeyondTheData) {
  TMemoryStream stream;
  Bytes prefix{0xFF, 0xFF, 0xFF, 0x7F};
  stream.WriteBuffer(prefix.data(), 4);
  Bytes gif = SmallGif();
  stream.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
  stream.SetPosition(0);
  TGIFImage image;
  EXPECT_THROW(image.ReadData(stream), EReadError);
}

TEST(GifImage, ReportsDecodingProgressAndAnAbortKeepsThePicture) {
  TGIFImage image;
  std::vector<TProgressStage> stages;
  image.OnProgress = [&](TObject* sender, TProgressStage stage, int percent, const std::string& message) {
    EXPECT_EQ(sender, &image);
    stages.push_back(stage);
    if (stage == psEnding) {
      EXPECT_EQ(percent, 100);
    }
  };
  LoadInto(image, SmallGif());
  ASSERT_GE(stages.size(), 3u);
  EXPECT_EQ(stages.front(), psStarting);
  EXPECT_EQ(stages[1], psRunning);
  EXPECT_EQ(stages.back(), psEnding);

  image.OnProgress = [](TObject*, TProgressStage stage, int, const std::string&) {
    if (stage == psRunning) throw EAbort("");
  };
  LoadInto(image, SmallGif());
  EXPECT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.Width(), 4);
}

TEST(GifImage, AssignmentSharesRastersAndHandsOutTheCurrentFrame) {
  TGIFImage source;
  LoadInto(source, RedBlue(true));
  TGIFImage copy;
  copy.Assign(&source);
  ASSERT_EQ(copy.FrameCount(), 1);
  EXPECT_EQ(copy.Frames(0)->Info().Raster, source.Frames(0)->Info().Raster);
  EXPECT_EQ(copy.Info().Header, source.Info().Header);
  EXPECT_EQ(copy.Frames(0)->KeyColor(), clRed);
  EXPECT_EQ(copy.CurrentFrame(), 0);

  TBitmap bitmap;
  bitmap.Assign(&copy);
  ASSERT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(Pixel(bitmap, 1, 0), clBlue);
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.TransparentColor() & 0xFFFFFF, clRed);

  TGIFImage fromBitmap;
  std::unique_ptr<TBitmap> picture = Surface(3, 2, clYellow);
  fromBitmap.Assign(picture.get());
  EXPECT_EQ(fromBitmap.FrameCount(), 1);
  EXPECT_EQ(fromBitmap.VersionIndex(), 1);
  EXPECT_EQ(fromBitmap.LogicalWidth(), 3);
  EXPECT_EQ(fromBitmap.LogicalHeight(), 2);

  fromBitmap.Assign(nullptr);
  EXPECT_EQ(fromBitmap.FrameCount(), 0);
  EXPECT_TRUE(fromBitmap.Empty());
}
