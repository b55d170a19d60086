#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/streams.h"
#include "platform/wcl/ico_format.h"
#include "platform/wcl/le_bytes.h"
#include "platform/wcl/win/bitmap.h"

#include <psapi.h>

namespace {

std::vector<uint8_t> BytesOf(TMemoryStream& stream) {
  const auto* data = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(data, data + stream.Size());
}

TMemoryStream StreamOf(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

void ExpectSamePixels(TBitmap& a, TBitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      ASSERT_EQ(a.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y)) << x << "," << y;
}

SIZE_T PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

// A 32 x 32 icon, all of one colour, fully opaque.
std::vector<uint8_t> SolidIcon(int size, uint8_t red, uint8_t green, uint8_t blue) {
  TDibImage color;
  color.Width = color.Height = size;
  color.BitCount = 24;
  color.Bits.resize(color.Stride() * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint8_t* p = &color.Bits[color.Stride() * y + 3 * x];
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  TDibImage mask;
  mask.Width = mask.Height = size;
  mask.BitCount = 1;
  mask.Palette = {TDibColor{}, TDibColor{255, 255, 255, 0}};
  mask.Bits.assign(mask.Stride() * size, 0);
  return EncodeIconFile(color, mask);
}

}  // namespace

TEST(Bitmap, BmpStreamsRoundTripAtEveryDepth) {
  const TColor colours[] = {clBlack, clWhite, clRed, clBlue, clLime, clYellow};
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
    SCOPED_TRACE(format);
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(7, 5);
    for (int i = 0; i < 6; ++i) bitmap.Canvas()->SetPixels(i, i % 5, colours[format == pf1bit ? i % 2 : i]);

    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    std::vector<uint8_t> file = BytesOf(stream);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLe32(&file[2]), file.size());
    const uint8_t trailer[3] = {9, 9, 9};
    stream.WriteBuffer(trailer, 3);

    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(file.size()));  // exactly its own bytes
    EXPECT_EQ(loaded.PixelFormat(), format == pfDevice ? pf24bit : format);
    ExpectSamePixels(bitmap, loaded);
  }
}

TEST(Bitmap, DamagedStreamsRaiseAndKeepThePicture) {
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  TMemoryStream good;
  bitmap.SaveToStream(good);
  std::vector<uint8_t> file = BytesOf(good);

  TBitmap target;
  target.SetSize(3, 3);
  TMemoryStream truncated = StreamOf(std::vector<uint8_t>(file.begin(), file.end() - 5));
  EXPECT_THROW(target.LoadFromStream(truncated), EReadError);
  TMemoryStream headerOnly = StreamOf(std::vector<uint8_t>(file.begin(), file.begin() + 20));
  EXPECT_THROW(target.LoadFromStream(headerOnly), EReadError);
  std::vector<uint8_t> wide = file;
  wide[19] = 0x50;  // width 0x5004
  TMemoryStream tooWide = StreamOf(wide);
  EXPECT_THROW(target.LoadFromStream(tooWide), EInvalidGraphic);
  std::vector<uint8_t> notBitmap = file;
  notBitmap[0] = 'G';
  TMemoryStream gif = StreamOf(notBitmap);
  EXPECT_THROW(target.LoadFromStream(gif), EInvalidGraphic);
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Height(), 3);

  // A header announcing 16384 x 16384 x 32 bits before 0 pixel bytes: refused before a
  // gigabyte is reserved for it.
  std::vector<uint8_t> huge(file.begin(), file.begin() + 54);
  huge[18] = 0;
  huge[19] = 0x40;
  huge[22] = 0;
  huge[23] = 0x40;
  huge[28] = 32;
  SIZE_T before = PeakMemory();
  TMemoryStream hugeStream = StreamOf(huge);
  EXPECT_THROW(target.LoadFromStream(hugeStream), EReadError);
  EXPECT_LT(PeakMemory() - before, SIZE_T{64} << 20);
}

TEST(Bitmap, ResizingKeepsThePictureAndNewPartsAreWhite) {
  TBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  int changes = 0;
  bitmap.OnChange = [&](TObject*) { ++changes; };
  bitmap.SetSize(4, 4);
  bitmap.Canvas()->Brush()->SetColor(clMaroon);
  bitmap.Canvas()->FillRect(RECT{0, 0, 4, 4});
  bitmap.SetSize(8, 6);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 3), clMaroon);
  EXPECT_EQ(bitmap.Canvas()->Pixels(4, 3), clWhite);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 5), clWhite);
  EXPECT_GE(changes, 3);  // two sizes and the drawing
  EXPECT_THROW(bitmap.SetSize(16385, 2), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 8);
  bitmap.SetSize(0, 6);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Handle(), nullptr);
}

TEST(Bitmap, MonochromeKeepsTheBrushColourAsWhite) {
  TBitmap bitmap;
  bitmap.SetSize(4, 2);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(RECT{0, 0, 2, 2});  // left half red, right half white
  bitmap.SetMonochrome(true);
  EXPECT_TRUE(bitmap.Monochrome());
  EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 0), clBlack);
  bitmap.SetMonochrome(false);
  EXPECT_FALSE(bitmap.Monochrome());
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clWhite);
}

TEST(Bitmap, TransparentDrawingLeavesTheKeyColourOut) {
  TBitmap sprite;
  sprite.SetSize(4, 4);
  sprite.Canvas()->Brush()->SetColor(clFuchsia);
  sprite.Canvas()->FillRect(RECT{0, 0, 4, 4});
  sprite.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(sprite.TransparentMode(), tmAuto);
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia | clPaletteRelative);
  sprite.SetTransparentColor(clBlue);
  EXPECT_EQ(sprite.TransparentMode(), tmFixed);
  sprite.SetTransparentMode(tmAuto);
  sprite.SetTransparent(true);

  TBitmap sheet;
  sheet.SetPixelFormat(pf24bit);
  sheet.SetSize(10, 10);
  sheet.Canvas()->Draw(2, 2, &sprite);
  EXPECT_EQ(sheet.Canvas()->Pixels(2, 2), clWhite);
  EXPECT_EQ(sheet.Canvas()->Pixels(3, 3), clBlue);

  sprite.SetTransparent(false);
  sheet.Canvas()->StretchDraw(RECT{0, 0, 8, 8}, &sprite);
  EXPECT_EQ(sheet.Canvas()->Pixels(0, 0), clFuchsia);
  EXPECT_EQ(sheet.Canvas()->Pixels(2, 2), clBlue);  // the blue pixel doubled
  EXPECT_EQ(sheet.Canvas()->Pixels(3, 3), clBlue);
}

TEST(Bitmap, AssignCopiesDeeplyAndHandlesAreTakenOver) {
  TBitmap original;
  original.SetPixelFormat(pf8bit);
  original.SetSize(3, 3);
  original.Canvas()->SetPixels(1, 1, clRed);
  TBitmap copy;
  copy.Assign(&original);
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_NE(copy.Handle(), original.Handle());
  copy.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(original.Canvas()->Pixels(1, 1), clRed);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  TIcon icon;
  EXPECT_THROW(copy.Assign(&icon), EConvertError);

  // A device-dependent bitmap handed over becomes the bitmap's own picture.
  HDC screen = GetDC(nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 5, 2);
  ReleaseDC(nullptr, screen);
  {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ScopedSelectObject select(dc.get(), ddb);
    SetPixel(dc.get(), 4, 1, RGB(0, 0, 255));
  }
  TBitmap adopted;
  adopted.SetHandle(ddb);
  EXPECT_EQ(adopted.Width(), 5);
  EXPECT_EQ(adopted.Canvas()->Pixels(4, 1), clBlue);
  EXPECT_EQ(GetObjectType(ddb), 0u);
}

TEST(Bitmap, ScanLinesPalettesAndResources) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(2, 3);
  bitmap.Canvas()->SetPixels(0, 0, clRed);
  auto* top = static_cast<uint8_t*>(bitmap.ScanLine(0));
  EXPECT_EQ(top[0], 0);
  EXPECT_EQ(top[2], 255);
  EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphicOperation);

  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(2, 2);
  HPALETTE palette = indexed.Palette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 256u);
  EXPECT_EQ(indexed.Canvas()->Pixels(0, 0), clWhite);
  // Recolour entry 15 (white, the index the pixels use) through a new palette.
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
  auto* logPalette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  logPalette->palVersion = 0x300;
  logPalette->palNumEntries = 16;
  for (int i = 0; i < 16; ++i) logPalette->palPalEntry[i] = PALETTEENTRY{0, 0, 0, 0};
  logPalette->palPalEntry[15] = PALETTEENTRY{0, 128, 0, 0};
  indexed.SetPalette(CreatePalette(logPalette));
  EXPECT_EQ(indexed.Canvas()->Pixels(0, 0), clGreen);

  EXPECT_THROW(bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"), EResNotFound);
  EXPECT_EQ(bitmap.Width(), 2);
}

TEST(Icon, LoadedBytesAreKeptExactly) {
  std::vector<uint8_t> small = SolidIcon(16, 0, 0, 255);
  std::vector<uint8_t> large = SolidIcon(32, 255, 0, 0);
  // One file with both images: 16 x 16 blue and 32 x 32 red.
  std::vector<uint8_t> file = {0, 0, 1, 0, 2, 0};
  uint32_t offset = 6 + 32;
  for (const auto* one : {&small, &large}) {
    file.insert(file.end(), one->begin() + 6, one->begin() + 18);
    AppendLe32(file, offset);
    offset += static_cast<uint32_t>(one->size() - 22);
  }
  for (const auto* one : {&small, &large}) file.insert(file.end(), one->begin() + 22, one->end());

  TMemoryStream in = StreamOf(file);
  TIcon icon;
  icon.LoadFromStream(in);
  EXPECT_EQ(icon.Width(), 32);  // the system icon size is chosen
  EXPECT_EQ(icon.Height(), 32);
  TMemoryStream out;
  icon.SaveToStream(out);
  EXPECT_EQ(BytesOf(out), file);

  ASSERT_NE(icon.Handle(), nullptr);
  TBitmap sheet;
  sheet.SetSize(40, 40);
  sheet.Canvas()->Draw(4, 4, &icon);
  EXPECT_EQ(sheet.Canvas()->Pixels(20, 20), clRed);

  TIcon copy;
  copy.Assign(&icon);
  TMemoryStream copied;
  copy.SaveToStream(copied);
  EXPECT_EQ(BytesOf(copied), file);

  // A damaged file leaves the icon as it was.
  TMemoryStream truncated = StreamOf(std::vector<uint8_t>(file.begin(), file.end() - 1));
  EXPECT_THROW(icon.LoadFromStream(truncated), EReadError);
  std::vector<uint8_t> damaged = file;
  damaged[4] = 0;  // no images
  TMemoryStream empty = StreamOf(damaged);
  EXPECT_THROW(icon.LoadFromStream(empty), EInvalidGraphic);
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_THROW(icon.SetWidth(16), EInvalidGraphicOperation);

  // A cursor file makes a cursor handle behind its hot spot.
  std::vector<uint8_t> cursorFile = SolidIcon(32, 0, 255, 0);
  cursorFile[2] = 2;
  cursorFile[10] = 5;
  TMemoryStream cursorStream = StreamOf(cursorFile);
  TIcon cursor;
  cursor.LoadFromStream(cursorStream);
  EXPECT_TRUE(cursor.IsCursor());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor.Handle(), &info));
  UniqueBitmap infoColor(info.hbmColor), infoMask(info.hbmMask);
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
}

TEST(Icon, AHandleOnlyIconSavesAnIcoThatLoadsBack) {
  TIcon source;
  TMemoryStream file = StreamOf(SolidIcon(32, 0, 0, 255));
  source.LoadFromStream(file);
  TIcon handleOnly;
  handleOnly.SetHandle(CopyIcon(source.Handle()));
  EXPECT_FALSE(handleOnly.Empty());
  EXPECT_EQ(handleOnly.Width(), 32);

  TMemoryStream saved;
  handleOnly.SaveToStream(saved);
  std::vector<uint8_t> bytes = BytesOf(saved);
  TIconDirectory directory = ParseIconFile(bytes.data(), bytes.size());
  EXPECT_EQ(directory.Entries.size(), 1u);
  saved.SetPosition(0);
  TIcon reloaded;
  reloaded.LoadFromStream(saved);
  TBitmap sheet;
  sheet.SetSize(32, 32);
  sheet.Canvas()->Draw(0, 0, &reloaded);
  EXPECT_EQ(sheet.Canvas()->Pixels(16, 16), clBlue);

  TIcon copy;
  copy.Assign(&handleOnly);  // a copy of the handle, owned by the copy
  EXPECT_NE(copy.Handle(), handleOnly.Handle());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

TEST(Picture, HoldsCopiesAndReportsChanges) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.Bitmap()->SetSize(5, 4);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_GE(changes, 2);  // the new bitmap, then its size

  TBitmap other;
  other.SetSize(2, 2);
  picture.SetGraphic(&other);
  EXPECT_NE(picture.Graphic(), &other);
  EXPECT_EQ(picture.Height(), 2);
  other.SetSize(9, 9);
  EXPECT_EQ(picture.Height(), 2);

  TIcon* icon = picture.Icon();  // replaces the bitmap
  EXPECT_TRUE(icon->Empty());
  EXPECT_EQ(picture.Width(), 0);

  TPicture second;
  second.Assign(&picture);
  EXPECT_NE(dynamic_cast<TIcon*>(second.Graphic()), nullptr);
  second.Assign(nullptr);
  EXPECT_EQ(second.Graphic(), nullptr);
}
