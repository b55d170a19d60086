#include "demo/gif_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "demo/demo_texts.h"
#include "gif_test_bytes.h"
#include "platform/rtl/exceptions.h"

using namespace gif_test;

namespace {

TGifDocument Read(const Bytes& bytes) {
  TGifDocument doc;
  ReadGif(bytes.data(), bytes.size(), doc);
  return doc;
}

// The palette index of pixel (x, y) (y = 0 is the top row) of a decoded picture.
unsigned PixelAt(const TDibImage& picture, int x, int y) {
  const uint8_t* row = picture.Bits.data() + static_cast<size_t>(picture.Height - 1 - y) * picture.Stride();
  switch (picture.BitCount) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15;
    default: return row[x];
  }
}

std::string MessageOf(const Bytes& bytes) {
  try {
    Read(bytes);
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(no error)";
}

Bytes WithTrailer(Bytes bytes) {
  bytes.push_back(0x3B);
  return bytes;
}

}  // namespace

TEST(GifReader, ReadsHeaderScreenAndFrameOfAHandBuiltFile) {
  Bytes file = Header("GIF87a", 4, 1, BlackWhite(), 1);
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  TGifDocument doc = Read(WithTrailer(file));
  EXPECT_EQ(doc.Image.VersionIndex, 1);
  EXPECT_EQ(doc.Image.LogicalWidth, 4);
  EXPECT_EQ(doc.Image.LogicalHeight, 1);
  EXPECT_EQ(doc.Image.BackdropColor, 0xFFFFFF);
  EXPECT_FALSE(doc.Image.LoopEnabled);
  EXPECT_EQ(doc.Image.LoopCount, 1);
  ASSERT_EQ(doc.Frames.size(), 1u);
  const TGifFrameInfo& frame = doc.Frames[0];
  EXPECT_FALSE(frame.HasLocalTable);
  EXPECT_FALSE(frame.Damaged);
  EXPECT_EQ(frame.KeyColor, clNone);
  EXPECT_EQ(frame.Raster->BitsPerPixel, 1);
  EXPECT_EQ(frame.Raster->Data, Raster0101());

  TDibImage picture;
  EXPECT_EQ(DecodeGifFrame(frame, picture), TGifDecodeResult::Complete);
  EXPECT_EQ(picture.BitCount, 1);
  ASSERT_EQ(picture.Width, 4);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(picture, x, 0), static_cast<unsigned>(x % 2)) << x;
  EXPECT_EQ(picture.Palette[1].Red, 255);
}

TEST(GifReader, AcceptsAnyCaseOfSignatureAndVersionButOnlyKnownVersions) {
  EXPECT_EQ(Read(SmallGif("gif89A")).Image.VersionIndex, 2);
  EXPECT_EQ(MessageOf(SmallGif("GIF88a")), SGIFUnknownVersion);
  EXPECT_EQ(MessageOf(SmallGif("JIF89a")), SGIFUnknownVersion);
  EXPECT_EQ(MessageOf(Bytes{'G', 'I'}), SGIFUnknownVersion);
  EXPECT_TRUE(Read(Bytes{}).Frames.empty());
}

TEST(GifReader, LoopExtensionSetsLoopCountUpToItsLimit) {
  for (auto [count, expected] : {std::pair<int, int>{0, 0}, {7, 7}, {65535, 30000}}) {
    Bytes file = Header("GIF89a", 4, 1, BlackWhite());
    Append(file, Loop(count));
    Append(file, Image(0, 0, 4, 1, Raster0101()));
    TGifDocument doc = Read(WithTrailer(file));
    EXPECT_TRUE(doc.Image.LoopEnabled);
    EXPECT_EQ(doc.Image.LoopCount, expected);
    EXPECT_EQ(doc.Frames.size(), 1u);
  }
}

TEST(GifReader, GraphicControlsGiveDelayDisposalAndKeyColor) {
  // Two controls: the larger delay wins; disposal and key colour come from the last.
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, GraphicControl(2 << 2, 50, 0));
  Append(file, GraphicControl((1 << 2) | 1, 20, 1));
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  TGifFrameInfo frame = Read(WithTrailer(file)).Frames.at(0);
  EXPECT_EQ(frame.DelayMs, 500);
  EXPECT_EQ(frame.Disposal, 1);
  EXPECT_EQ(frame.KeyColor, 0xFFFFFF);
  EXPECT_EQ(frame.Extensions.size(), 2u);

  // A transparent index beyond the table leaves the key colour unset.
  file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, GraphicControl(1, 0, 2));
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  EXPECT_EQ(Read(WithTrailer(file)).Frames.at(0).KeyColor, clNone);

  // Delays longer than the 16-bit field holds are kept as the longest one.
  file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, GraphicControl(0, 6554, 0));
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  EXPECT_EQ(Read(WithTrailer(file)).Frames.at(0).DelayMs, 65535);
}

TEST(GifReader, PlainTextDropsTheExtensionsBeforeIt) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, GraphicControl(1, 30, 1));
  Append(file, PlainText());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  TGifFrameInfo frame = Read(WithTrailer(file)).Frames.at(0);
  EXPECT_TRUE(frame.Extensions.empty());
  EXPECT_EQ(frame.DelayMs, 0);
  EXPECT_EQ(frame.KeyColor, clNone);
}

TEST(GifReader, TrailingCommentsBecomeTheImageComment) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  Append(file, Comment({"first", "line"}));
  Append(file, GraphicControl(0, 10, 0));  // not a comment: dropped
  Append(file, Comment({"second"}));
  TGifDocument doc = Read(WithTrailer(file));
  EXPECT_EQ(doc.Frames.size(), 1u);
  EXPECT_EQ(doc.Image.Header->Comments, (std::vector<std::string>{"first", "line", "\r\n\r\n", "second"}));
}

TEST(GifReader, CommentBeforeAnImageStaysWithTheFrame) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Comment({"about the frame"}));
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  TGifDocument doc = Read(WithTrailer(file));
  ASSERT_EQ(doc.Frames.at(0).Extensions.size(), 1u);
  EXPECT_EQ(doc.Frames[0].Extensions[0].SubBlocks, std::vector<std::string>{"about the frame"});
  EXPECT_TRUE(doc.Image.Header->Comments.empty());
}

TEST(GifReader, FailsOnUnknownExtensionsAndMissingTables) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  file.insert(file.end(), {0x21, 0x7A, 0});
  std::string expected = SGIFUnknownExtension;
  expected.replace(expected.find("%.2x"), 4, "7a");
  EXPECT_EQ(MessageOf(WithTrailer(file)), expected);

  file = Header("GIF89a", 4, 1);
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  EXPECT_EQ(MessageOf(WithTrailer(file)), SGIFWrongPaletteSize);

  // Garbage where a block should start.
  file = Header("GIF89a", 4, 1, BlackWhite());
  file.push_back(0x55);
  EXPECT_THROW(Read(file), EReadError);
}

TEST(GifReader, CutFileKeepsFramesReadBeforeTheFailure) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  file.push_back(0x2C);
  file.insert(file.end(), {0, 0, 0});  // a descriptor cut short
  TGifDocument doc;
  EXPECT_THROW(ReadGif(file.data(), file.size(), doc), EReadError);
  EXPECT_EQ(doc.Frames.size(), 1u);
}

TEST(GifReader, FileEndingInsideAnExtensionKeepsWhatCameBefore) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  Append(file, Comment({"whole"}));
  file.insert(file.end(), {0x21, 0xFE, 5, 'h', 'e'});
  TGifDocument doc = Read(file);
  EXPECT_EQ(doc.Frames.size(), 1u);
  EXPECT_EQ(doc.Image.Header->Comments, std::vector<std::string>{"whole"});
  file.resize(file.size() - 4);  // cut after the introducer
  EXPECT_EQ(Read(file).Frames.size(), 1u);
}

TEST(GifReader, ShortLastSubBlockMarksTheFrameDamagedAndKeepsAWellFormedRaster) {
  Bytes raster{2, 10, 0x8C};  // promises 10 bytes, holds 1
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, raster));
  TGifDocument doc = Read(file);
  ASSERT_EQ(doc.Frames.size(), 1u);
  EXPECT_TRUE(doc.Frames[0].Damaged);
  EXPECT_EQ(doc.Frames[0].Raster->Data, (Bytes{2, 1, 0x8C, 0}));
  TDibImage picture;
  EXPECT_EQ(DecodeGifFrame(doc.Frames[0], picture), TGifDecodeResult::Truncated);
}

TEST(GifReader, RefusesPicturesOverTheSizeCapsBeforeAllocating) {
  EXPECT_THROW(Read(Header("GIF89a", 20000, 1, BlackWhite())), EReadError);
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 16385, 1, Raster0101()));
  EXPECT_THROW(Read(WithTrailer(file)), EReadError);
  file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 60000, 4, 1, Raster0101()));  // far outside any screen
  EXPECT_THROW(Read(WithTrailer(file)), EReadError);

  // Within the caps but with far too little data to fill: known cut, nothing allocated.
  file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 16384, 16384, Raster0101()));
  TGifDocument doc = Read(WithTrailer(file));
  TDibImage picture;
  EXPECT_EQ(DecodeGifFrame(doc.Frames.at(0), picture), TGifDecodeResult::Truncated);
  EXPECT_TRUE(picture.Bits.empty());
}

TEST(GifReader, BitmapBitsFollowTheFrameBits) {
  Bytes eight(8 * 3, 0);
  for (int i = 0; i < 8; ++i) eight[static_cast<size_t>(i) * 3] = static_cast<uint8_t>(i * 30);
  Bytes file = Header("GIF87a", 4, 1);
  Append(file, Image(0, 0, 4, 1, Raster(3, PackCodes({{8, 4}, {7, 4}, {1, 4}, {7, 4}, {1, 4}, {9, 4}})), eight));
  TGifDocument doc = Read(WithTrailer(file));
  TDibImage picture;
  ASSERT_EQ(DecodeGifFrame(doc.Frames.at(0), picture), TGifDecodeResult::Complete);
  EXPECT_EQ(picture.BitCount, 4);
  ASSERT_EQ(picture.Palette.size(), 16u);
  EXPECT_EQ(picture.Palette[7].Red, 210);
  EXPECT_EQ(picture.Palette[8].Red, 128);
  EXPECT_EQ(picture.Palette[15].Blue, 128);
  EXPECT_EQ(PixelAt(picture, 0, 0), 7u);
  EXPECT_EQ(PixelAt(picture, 1, 0), 1u);
}

TEST(GifReader, InterlacedRowsLandInTheirPasses) {
  // 1 x 8 picture whose stored rows hold 0..7: stored row k is picture row 0, 4, 2, 6, 1, 3, 5, 7.
  Bytes colors(16 * 3, 0);
  Bytes file = Header("GIF87a", 1, 8, colors);
  Append(file, Image(0, 0, 1, 8,
                     Raster(4, PackCodes({{16, 5}, {0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5},
                                          {17, 5}})),
                     {}, true));
  TGifDocument doc = Read(WithTrailer(file));
  EXPECT_TRUE(doc.Frames.at(0).RowsInterlaced);
  TDibImage picture;
  ASSERT_EQ(DecodeGifFrame(doc.Frames[0], picture), TGifDecodeResult::Complete);
  const int rowOfStored[8] = {0, 4, 2, 6, 1, 3, 5, 7};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(PixelAt(picture, 0, rowOfStored[k]), static_cast<unsigned>(k)) << k;
}

// ---- Writing --------------------------------------------------------------------------

namespace {

TDibImage IndexedPicture(int width, int height, int bits, unsigned seed) {
  TDibImage picture;
  picture.Width = width;
  picture.Height = height;
  picture.BitCount = bits;
  picture.Palette.resize(size_t{1} << bits);
  for (size_t i = 0; i < picture.Palette.size(); ++i)
    picture.Palette[i] = TDibColor{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(i), 0};
  std::mt19937 random(seed);
  picture.Bits.resize(picture.Stride() * static_cast<size_t>(height));
  for (uint8_t& b : picture.Bits) b = static_cast<uint8_t>(random());
  return picture;
}

std::string Version(const Bytes& file) { return std::string(file.begin() + 3, file.begin() + 6); }

}  // namespace

TEST(GifWriter, RoundTripKeepsFramesDelaysDisposalKeyColorsAndLoop) {
  Bytes file = Header("GIF89a", 6, 3, FourColors(), 2);
  Append(file, Loop(3));
  Append(file, GraphicControl((2 << 2) | 1, 12, 1));
  Append(file, Image(0, 0, 4, 1, Raster0101()));
  Append(file, GraphicControl(1 << 2, 7, 0));
  Append(file, Image(2, 2, 4, 1, Raster0101(), BlackWhite()));
  TGifDocument doc = Read(WithTrailer(file));
  Bytes written = WriteGif(doc);
  TGifDocument again = Read(written);
  ASSERT_EQ(again.Frames.size(), 2u);
  EXPECT_TRUE(again.Image.LoopEnabled);
  EXPECT_EQ(again.Image.LoopCount, 3);
  EXPECT_EQ(again.Image.BackdropColor, 0x00FF00);
  EXPECT_EQ(again.Image.LogicalWidth, 6);
  EXPECT_EQ(again.Image.LogicalHeight, 3);
  EXPECT_EQ(again.Frames[0].DelayMs, 120);
  EXPECT_EQ(again.Frames[0].Disposal, 2);
  EXPECT_EQ(again.Frames[0].KeyColor, 0x0000FF);
  EXPECT_EQ(again.Frames[1].DelayMs, 70);
  EXPECT_EQ(again.Frames[1].Disposal, 1);
  EXPECT_EQ(again.Frames[1].KeyColor, clNone);
  EXPECT_TRUE(again.Frames[1].HasLocalTable);
  EXPECT_EQ(again.Frames[1].OriginLeft, 2);
  EXPECT_EQ(again.Frames[1].OriginTop, 2);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(again.Frames[i].Raster->Data, doc.Frames[i].Raster->Data);
  EXPECT_EQ(WriteGif(again), written);
}

TEST(GifWriter, VersionFollowsWhatTheFileNeeds) {
  TGifDocument doc = Read(SmallGif("GIF87a"));
  EXPECT_EQ(Version(WriteGif(doc)), "87a");
  doc.Image.Header->Comments = {"made here"};
  Bytes written = WriteGif(doc);
  EXPECT_EQ(Version(written), "89a");
  EXPECT_EQ(Read(written).Image.Header->Comments, std::vector<std::string>{"made here"});
}

TEST(GifWriter, LoopIsWrittenOnlyForSeveralFrames) {
  TGifDocument doc = Read(SmallGif());
  doc.Image.LoopEnabled = true;
  EXPECT_FALSE(Read(WriteGif(doc)).Image.LoopEnabled);
  doc.Frames.push_back(doc.Frames[0]);
  EXPECT_TRUE(Read(WriteGif(doc)).Image.LoopEnabled);
}

TEST(GifWriter, CommentLinesAreCutTo255Bytes) {
  TGifDocument doc = Read(SmallGif());
  doc.Image.Header->Comments = {std::string(300, 'c'), "", "short"};
  TGifDocument again = Read(WriteGif(doc));
  EXPECT_EQ(again.Image.Header->Comments, (std::vector<std::string>{std::string(255, 'c'), "short"}));
}

TEST(GifWriter, KeyColorOutsideTheTableClearsTheTransparentFlag) {
  TGifDocument doc = Read(SmallGif());
  doc.Frames[0].KeyColor = 0x123456;
  Bytes written = WriteGif(doc);
  ASSERT_EQ(doc.Frames[0].Extensions.size(), 1u);
  EXPECT_EQ(doc.Frames[0].Extensions[0].Fixed[1] & 1, 0);
  EXPECT_EQ(Version(written), "89a");
  EXPECT_EQ(Read(written).Frames[0].KeyColor, clNone);

  doc.Frames[0].KeyColor = clWhite;
  EXPECT_EQ(Read(WriteGif(doc)).Frames[0].KeyColor, clWhite);
}

TEST(GifWriter, EncodedFramesShareTheFirstTableAndLaterOnesGetTheirOwn) {
  TGifDocument doc;
  doc.Frames.resize(2);
  EncodeGifFrame(doc.Image, doc.Frames[0], IndexedPicture(5, 3, 8, 1));
  EncodeGifFrame(doc.Image, doc.Frames[1], IndexedPicture(3, 2, 1, 2));
  EXPECT_FALSE(doc.Frames[0].HasLocalTable);
  EXPECT_TRUE(doc.Frames[1].HasLocalTable);
  EXPECT_EQ(doc.Frames[1].Raster->BitsPerPixel, 1);
  EXPECT_EQ(doc.Frames[1].Raster->Data[0], 2);  // a 1-bit picture codes with size 2
  EXPECT_EQ(doc.Image.Header->GlobalTable.Count, 256);
  Bytes written = WriteGif(doc);
  TGifDocument again = Read(written);
  ASSERT_EQ(again.Frames.size(), 2u);
  EXPECT_EQ(again.Frames[1].Raster->Table.Count, 2);
  for (int i = 0; i < 2; ++i) {
    TDibImage original = IndexedPicture(i == 0 ? 5 : 3, i == 0 ? 3 : 2, i == 0 ? 8 : 1, static_cast<unsigned>(i + 1));
    TDibImage decoded;
    ASSERT_EQ(DecodeGifFrame(again.Frames[static_cast<size_t>(i)], decoded), TGifDecodeResult::Complete);
    for (int y = 0; y < original.Height; ++y)
      for (int x = 0; x < original.Width; ++x) EXPECT_EQ(PixelAt(decoded, x, y), PixelAt(original, x, y));
  }
}

TEST(GifWriter, FailsWithoutFramesAndWhenASizeDoesNotFit) {
  TGifDocument empty;
  try {
    WriteGif(empty);
    FAIL();
  } catch (const EInvalidGraphicOperation& error) {
    EXPECT_EQ(error.Message(), SGIFNoData);
  }
  // Everything written must read back: no side beyond the readers' caps.
  TGifDocument doc = Read(SmallGif());
  doc.Frames[0].OriginLeft = kMaxPictureSide - 4;
  EXPECT_EQ(Read(WriteGif(doc)).Image.LogicalWidth, kMaxPictureSide);
  doc.Frames[0].OriginLeft = kMaxPictureSide - 3;
  EXPECT_THROW(WriteGif(doc), EInvalidGraphicOperation);
  doc.Frames[0].OriginLeft = 65534;
  EXPECT_THROW(WriteGif(doc), EInvalidGraphicOperation);
}

TEST(GifWriter, DamagedFrameWritesAFileWhoseLaterBlocksSurvive) {
  Bytes file = Header("GIF89a", 4, 1, BlackWhite());
  Append(file, Image(0, 0, 4, 1, Bytes{2, 10, 0x8C}));
  TGifDocument doc = Read(file);
  doc.Frames.push_back(Read(SmallGif()).Frames[0]);
  doc.Image.Header->Comments = {"after"};
  TGifDocument again = Read(WriteGif(doc));
  EXPECT_EQ(again.Frames.size(), 2u);
  EXPECT_FALSE(again.Frames[1].Damaged);
  EXPECT_EQ(again.Image.Header->Comments, std::vector<std::string>{"after"});
}
