#include "demo/win/gif_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../gif_test_bytes.h"
#include "demo/color_reduction.h"
#include "demo/win/ani_cursor_image.h"
#include "platform/wcl/ico_format.h"
#include "demo/demo_texts.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/graphic_formats.h"

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

// The picture type is known from start-up, before any GIF image or clipboard call is made:
// ".gif" files are read as GIF images, and both of the demo's clipboard formats name the
// class that reads them.
TEST(GifImage, PictureTypeAndClipboardFormatsAreRegisteredAtStartUp) {
  EXPECT_EQ(GraphicClassOfExtension("gif"), "TGIFImage");
  EXPECT_EQ(GraphicClassOfExtension(".GIF"), "TGIFImage");
  EXPECT_EQ(GraphicDescriptionOfExtension("gif"), "CompuServe GIF Image");
  EXPECT_EQ(GraphicClassOfClipboardFormat(RegisterClipboardFormatA("GIF Image")), "TGIFImage");
  EXPECT_EQ(GraphicClassOfClipboardFormat(RegisterClipboardFormatA("Hourlark Icon")), "TIcon");

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "hl_registered.gif";
  {
    const Bytes bytes = SmallGif();
    TFileStream file(path, fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  std::unique_ptr<TGraphic> graphic = LoadGraphicFromFile(path);
  DeleteFileA(path.c_str());
  auto* gif = dynamic_cast<TGIFImage*>(graphic.get());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(gif->Width(), 4);
  EXPECT_EQ(gif->FrameCount(), 1);
}

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

// ---- Writing --------------------------------------------------------------------------

namespace {

// A true-colour bitmap of width x 1 with the given colours.
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colors) {
  std::unique_ptr<TBitmap> bitmap = Surface(static_cast<int>(colors.size()), 1, clWhite);
  for (size_t x = 0; x < colors.size(); ++x) bitmap->Canvas()->SetPixels(static_cast<int>(x), 0, colors[x]);
  return bitmap;
}

void ReloadThroughStoredForm(TGIFImage& from, TGIFImage& to) {
  TMemoryStream stream;
  from.WriteData(stream);
  stream.SetPosition(0);
  to.ReadData(stream);
}

}  // namespace

TEST(GifImage, FramesBuiltFromBitmapsSurviveTheStoredForm) {
  TGIFImage image;
  TGIFFrame* first = image.AppendFrame(Strip({clRed, clLime, clBlue}).get());
  first->SetDelayMs(120);
  first->SetDisposal(2);
  TGIFFrame* second = image.AppendFrame(Strip({clYellow, clRed}).get());
  second->SetOriginLeft(1);
  second->SetDelayMs(16);  // kept in hundredths: comes back as 10
  second->SetKeyColor(clYellow);
  image.SetLoopEnabled(true);
  image.SetLoopCount(4);
  EXPECT_EQ(image.VersionIndex(), 2);

  TGIFImage again;
  ReloadThroughStoredForm(image, again);
  ASSERT_EQ(again.FrameCount(), 2);
  EXPECT_TRUE(again.LoopEnabled());
  EXPECT_EQ(again.LoopCount(), 4);
  EXPECT_EQ(again.LogicalWidth(), 3);
  EXPECT_EQ(again.Frames(0)->DelayMs(), 120);
  EXPECT_EQ(again.Frames(0)->Disposal(), 2);
  EXPECT_EQ(again.Frames(0)->KeyColor(), clNone);
  EXPECT_EQ(again.Frames(1)->DelayMs(), 10);
  EXPECT_EQ(again.Frames(1)->KeyColor(), clYellow);
  EXPECT_EQ(again.Frames(1)->OriginLeft(), 1);
  TBitmap* bitmap = again.Frames(0)->Bitmap();
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clRed);
  EXPECT_EQ(Pixel(*bitmap, 1, 0), clLime);
  EXPECT_EQ(Pixel(*bitmap, 2, 0), clBlue);
  EXPECT_EQ(Pixel(*again.Frames(1)->Bitmap(), 1, 0), clRed);
}

TEST(GifImage, SingleFrameFromABitmapIsWrittenAs87a) {
  TGIFImage image;
  image.Assign(Strip({clRed, clBlue}).get());
  TMemoryStream stream;
  image.SaveToStream(stream);
  std::string bytes(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  EXPECT_EQ(bytes.substr(0, 6), "GIF87a");
  image.SetComments({"a comment"});
  TMemoryStream second;
  image.SaveToStream(second);
  EXPECT_EQ(std::string(static_cast<const char*>(second.Memory()), 6), "GIF89a");
}

TEST(GifImage, GrayscaleFramesAreWrittenAsGrayLevels) {
  TGIFImage image;
  image.AppendFrame(Strip({RGB(100, 150, 200)}).get())->SetGrayscale(true);
  TGIFImage again;
  ReloadThroughStoredForm(image, again);
  const int level = (77 * 100 + 150 * 150 + 29 * 200) >> 8;
  EXPECT_EQ(Pixel(*again.Frames(0)->Bitmap(), 0, 0), RGB(level, level, level));
}

TEST(GifImage, KeyColourSurvivesAReductionThatAveragesColours) {
  uint8_t saved = DefaultReductionMethod;
  DefaultReductionMethod = kReduceMedianCut;
  TGIFImage image;
  const TColor key = RGB(1, 2, 250);
  image.AppendFrame(Strip({key, RGB(3, 3, 240), clRed, key}).get())->SetKeyColor(key);
  TGIFImage again;
  ReloadThroughStoredForm(image, again);
  DefaultReductionMethod = saved;
  EXPECT_EQ(again.Frames(0)->KeyColor(), key);
  std::unique_ptr<TBitmap> target = Surface(4, 1, clLime);
  again.Draw(target->Canvas(), RECT{0, 0, 4, 1});
  EXPECT_EQ(Pixel(*target, 0, 0), clLime);
  EXPECT_NE(Pixel(*target, 1, 0), clLime);
  EXPECT_EQ(Pixel(*target, 3, 0), clLime);
}

TEST(GifImage, PalettedBitmapsKeepTheirColourTable) {
  std::unique_ptr<TBitmap> bitmap = Strip({clRed, clTeal, clNavy});
  bitmap->SetPixelFormat(pf8bit);
  TGIFImage image;
  image.Assign(bitmap.get());
  TMemoryStream stream;
  image.SaveToStream(stream);
  EXPECT_EQ(image.Info().Header->GlobalTable.Count, 256);
  TGIFImage again;
  stream.SetPosition(0);
  again.LoadFromStream(stream);
  TBitmap* decoded = again.Frames(0)->Bitmap();
  EXPECT_EQ(Pixel(*decoded, 0, 0), clRed);
  EXPECT_EQ(Pixel(*decoded, 1, 0), clTeal);
  EXPECT_EQ(Pixel(*decoded, 2, 0), clNavy);
}

TEST(GifImage, WritingNeedsFramesWithPictures) {
  TGIFImage image;
  TMemoryStream stream;
  try {
    image.SaveToStream(stream);
    FAIL();
  } catch (const EInvalidGraphicOperation& error) {
    EXPECT_EQ(error.Message(), SGIFNoData);
  }
  TBitmap empty;
  image.AppendFrame(Strip({clRed}).get());
  image.Frames(0)->Assign(&empty);
  EXPECT_THROW(image.SaveToStream(stream), EInvalidGraphicOperation);
}

TEST(GifImage, ClipboardCarriesTheGifAndTheFirstFramesBitmap) {
  TGIFImage image;
  LoadInto(image, RedBlue(false));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, static_cast<UINT>(CF_BITMAP));
  ASSERT_NE(data, nullptr);
  SetClipboardData(format, data);
  CloseClipboard();

  ASSERT_TRUE(OpenClipboard(nullptr));
  TGIFImage pasted;
  pasted.LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), nullptr);
  CloseClipboard();
  ASSERT_EQ(pasted.FrameCount(), 1);
  EXPECT_EQ(pasted.CurrentFrame(), 0);
  EXPECT_TRUE(pasted.Frames(0)->HasRaster());
  TBitmap* bitmap = pasted.Frames(0)->Bitmap();
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clRed);
  EXPECT_EQ(Pixel(*bitmap, 1, 0), clBlue);
}

TEST(GifImage, ClipboardBlockWithAnOverlongLengthIsRefused) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
  auto* p = static_cast<uint8_t*>(GlobalLock(block));
  const uint8_t bytes[8] = {0xF0, 0xFF, 0xFF, 0x0F, 'G', 'I', 'F', '8'};
  std::copy(bytes, bytes + 8, p);
  GlobalUnlock(block);
  SetClipboardData(TGIFImage::ClipboardFormat(), block);
  TGIFImage pasted;
  EXPECT_THROW(pasted.LoadFromClipboardFormat(0, nullptr, nullptr), EReadError);
  CloseClipboard();
}

TEST(GifImage, AnimatedCursorBecomesOneFramePerCursorFrame) {
  // An animated cursor of two 8 x 8 icons, shown 3 and 6 jiffies.
  auto icon = [](uint8_t index) {
    TDibImage color;
    color.Width = color.Height = 8;
    color.BitCount = 4;
    color.Palette.assign(16, TDibColor{});
    color.Palette[1] = TDibColor{0, 0, 255, 0};
    color.Palette[2] = TDibColor{255, 0, 0, 0};
    color.Palette[3] = TDibColor{255, 255, 255, 0};
    color.Bits.assign(color.Stride() * 8, static_cast<uint8_t>(index * 0x11));
    std::fill(color.Bits.begin(), color.Bits.begin() + static_cast<long>(color.Stride()), 0x33);  // bottom row white
    TDibImage mask = color;
    mask.BitCount = 1;
    mask.Palette = {TDibColor{}, TDibColor{255, 255, 255, 0}};
    mask.Bits.assign(mask.Stride() * 8, 0);
    return EncodeIconFile(color, mask);
  };
  auto chunk = [](Bytes& out, const std::string& id, const Bytes& data) {
    Append(out, id);
    Le16(out, static_cast<int>(data.size()));
    Le16(out, 0);
    Append(out, data);
    if (data.size() % 2) out.push_back(0);
  };
  Bytes header;
  for (int value : {36, 2, 2, 0, 0, 0, 0, 3, 1}) {
    Le16(header, value);
    Le16(header, 0);
  }
  Bytes rate;
  Le16(rate, 3);
  Le16(rate, 0);
  Le16(rate, 6);
  Le16(rate, 0);
  Bytes frames{'f', 'r', 'a', 'm'};
  chunk(frames, "icon", icon(1));
  chunk(frames, "icon", icon(2));
  Bytes body{'A', 'C', 'O', 'N'};
  chunk(body, "anih", header);
  chunk(body, "LIST", frames);
  Bytes file;
  chunk(file, "RIFF", body);
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  TAnimatedCursorImage cursor;
  cursor.LoadFromStream(stream);
  ASSERT_EQ(cursor.FrameCount(), 2);

  TGIFImage image;
  image.Assign(&cursor);
  ASSERT_EQ(image.FrameCount(), 2);
  EXPECT_EQ(image.BackdropColor(), clWindow);
  EXPECT_EQ(image.VersionIndex(), 2);
  EXPECT_EQ(image.CurrentFrame(), 1);
  EXPECT_EQ(image.Frames(0)->DelayMs(), cursor.Frames(0)->Rate() * 100 / 6);
  EXPECT_EQ(image.LogicalWidth(), 8);
  EXPECT_EQ(Pixel(*image.Frames(0)->Bitmap(), 3, 3), clRed);
  EXPECT_EQ(Pixel(*image.Frames(1)->Bitmap(), 3, 3), clBlue);
  // Written and read back, the window colour (white here, as in the bottom rows) stays the
  // background.
  TGIFImage again;
  ReloadThroughStoredForm(image, again);
  EXPECT_EQ(again.FrameCount(), 2);
  EXPECT_EQ(again.BackdropColor() & 0xFFFFFF, ColorToRGB(clWindow) & 0xFFFFFF);
}

TEST(GifImage, DecodedFramesTogetherStayWithinOnePictureSize) {
  // Two frames of half the largest picture each after a small first frame: decoding the
  // second lets go of the first one's picture, which decodes again when asked for.
  Bytes noise;
  for (int block = 0; block < 120; ++block) {
    noise.push_back(255);
    for (int i = 0; i < 255; ++i) noise.push_back(static_cast<uint8_t>(i * 37 + block));
  }
  noise.push_back(0);
  Bytes raster{2};
  Append(raster, noise);
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  Append(file, Image(0, 0, 16384, 8192, raster));
  Append(file, Image(0, 0, 16384, 8192, raster));
  file.push_back(0x3B);
  TGIFImage image;
  LoadInto(image, file);
  ASSERT_EQ(image.FrameCount(), 3);
  TBitmap* current = image.Frames(0)->Bitmap();
  EXPECT_EQ(image.Frames(1)->Bitmap()->Width(), 16384);
  EXPECT_EQ(image.Frames(2)->Bitmap()->Width(), 16384);
  EXPECT_EQ(image.Frames(1)->Bitmap()->Height(), 8192);
  EXPECT_EQ(image.Frames(0)->Bitmap(), current);  // the current frame's picture stays
  EXPECT_EQ(Pixel(*current, 1, 0), clWhite);
}
