#include "demo/win/ani_cursor_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kit/win/icon_list_win.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/le_bytes.h"
#include "platform/wcl/win/bitmap.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A one-image 4-bit icon of size x size filled with palette colour `color`, fully opaque.
Bytes SolidIcon(int size, TDibColor color) {
  TDibImage image;
  image.Width = image.Height = size;
  image.BitCount = 4;
  image.Palette.assign(16, TDibColor{});
  image.Palette[1] = color;
  image.Bits.assign(image.Stride() * static_cast<size_t>(size), 0x11);
  TDibImage mask;
  mask.Width = mask.Height = size;
  mask.BitCount = 1;
  mask.Palette = {TDibColor{}, TDibColor{255, 255, 255, 0}};
  mask.Bits.assign(mask.Stride() * static_cast<size_t>(size), 0);
  return EncodeIconFile(image, mask);
}

void Chunk(Bytes& out, const std::string& id, const Bytes& data) {
  out.insert(out.end(), id.begin(), id.end());
  AppendLe32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
}

// An animated cursor with one frame per icon, rate 6 jiffies.
Bytes AniFile(const std::vector<Bytes>& icons) {
  Bytes anih;
  for (uint32_t v : {36u, static_cast<uint32_t>(icons.size()), static_cast<uint32_t>(icons.size()), 0u, 0u, 0u, 0u,
                     6u, 1u})
    AppendLe32(anih, v);
  Bytes fram = {'f', 'r', 'a', 'm'};
  for (const Bytes& icon : icons) Chunk(fram, "icon", icon);
  Bytes body = {'A', 'C', 'O', 'N'};
  Chunk(body, "anih", anih);
  Chunk(body, "LIST", fram);
  Bytes file;
  Chunk(file, "RIFF", body);
  return file;
}

void Load(TAnimatedCursorImage& image, const Bytes& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  image.LoadFromStream(stream);
}

constexpr TDibColor kRed{0, 0, 255, 0};    // blue, green, red, reserved
constexpr TDibColor kGreen{0, 255, 0, 0};
constexpr TDibColor kBlue{255, 0, 0, 0};

class AniCursorImageTest : public AppTest {};

TEST_F(AniCursorImageTest, ReadsIconsAndHandsThemOn) {
  TAnimatedCursorImage image;
  Load(image, AniFile({SolidIcon(32, kRed), SolidIcon(32, kGreen), SolidIcon(32, kBlue)}));
  ASSERT_EQ(image.FrameCount(), 3);
  EXPECT_EQ(image.SourceColors(), 16);
  EXPECT_EQ(image.Frames(1)->Rate(), 6u);
  EXPECT_EQ(image.Frames(1)->HotSpot().x, 16);
  EXPECT_TRUE(image.Frames(2)->IsIcon());
  EXPECT_NE(image.Icons(2)->Handle(), nullptr);
  EXPECT_THROW(image.Frames(3), EListError);

  TIcon icon;
  image.AssignTo(&icon);
  EXPECT_EQ(icon.Width(), 32);

  TIconList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  image.AssignTo(&list);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(changes, 1);

  // A copy owns its own icons.
  TAnimatedCursorImage copy;
  copy.Assign(&image);
  image.Clear();
  ASSERT_EQ(copy.FrameCount(), 3);
  EXPECT_NE(copy.Icons(0)->Handle(), nullptr);
  EXPECT_EQ(image.FrameCount(), 0);
}

TEST_F(AniCursorImageTest, StripPutsEveryFrameInACellOfFrameZerosSize) {
  TAnimatedCursorImage image;
  Load(image, AniFile({SolidIcon(32, kRed), SolidIcon(16, kGreen), SolidIcon(32, kBlue)}));
  ASSERT_EQ(image.FrameCount(), 3);
  TBitmap strip;
  strip.Canvas()->Brush()->SetColor(clWhite);
  image.AssignTo(&strip);
  ASSERT_EQ(strip.Width(), 96);
  ASSERT_EQ(strip.Height(), 32);
  TCanvas* canvas = strip.Canvas();
  EXPECT_EQ(canvas->Pixels(5, 5), static_cast<TColor>(RGB(255, 0, 0)));
  EXPECT_EQ(canvas->Pixels(32 + 5, 5), static_cast<TColor>(RGB(0, 255, 0)));
  EXPECT_EQ(canvas->Pixels(32 + 20, 20), clWhite);  // beside the small frame: background
  EXPECT_EQ(canvas->Pixels(64 + 5, 5), static_cast<TColor>(RGB(0, 0, 255)));

  image.DrawStrip(&strip, clBlack, true, false);
  EXPECT_EQ(strip.Width(), 32);
  EXPECT_EQ(strip.Height(), 96);
  EXPECT_EQ(strip.Canvas()->Pixels(5, 64 + 5), static_cast<TColor>(RGB(0, 0, 255)));
}

TEST_F(AniCursorImageTest, UnreadableInputFailsCleanly) {
  TAnimatedCursorImage image;
  Bytes file = AniFile({SolidIcon(32, kRed)});
  // An image the system cannot make an icon of gives no frame: the read fails.
  Bytes broken = file;
  for (size_t i = 98; i < 110; ++i) broken[i] = 0xFF;  // the icon's bitmap header
  EXPECT_THROW(Load(image, broken), EReadError);
  EXPECT_EQ(image.FrameCount(), 0);

  // An empty stream reads nothing and keeps what was there.
  Load(image, file);
  TMemoryStream empty;
  image.LoadFromStream(empty);
  EXPECT_EQ(image.FrameCount(), 1);

  EXPECT_THROW(image.LoadFromFile("no such folder\\nothing.ani"), EFOpenError);
  EXPECT_EQ(image.FrameCount(), 0);

  TMemoryStream out;
  EXPECT_THROW(image.SaveToStream(out), EAbort);
  EXPECT_EQ(Boxes().size(), 1u);  // the user is told
}

}  // namespace
