#include "demo/win/gif_image.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "demo/ani_cursor.h"
#include "demo/color_reduction.h"
#include "demo/demo_texts.h"
#include "demo/win/ani_cursor_image.h"
#include "demo/win/kit_graph.h"
#include "kit/win/draw_utils_win.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/le_bytes.h"
#include "platform/wcl/win/graphic_formats.h"

namespace {

// The errors of the GIF units, shown in code page 1251 whatever the system's code page.
const TBuiltInTexts kBuiltInTexts{SGIFUnknownVersion, SGIFEncodeError,      SGIFInvalidData, SGIFCodeSizeError,
                                  SGIFWrongPaletteSize, SGIFUnknownExtension, SGIFNoData,      SGIFSizeFixed};

constexpr TColor kUnmatchedBackground = 0xFF00FF;

// The colour the screen shows for color (its nearest device colour).
TColor NearestColor(TColor color) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  return static_cast<TColor>(GetNearestColor(screen.get(), static_cast<COLORREF>(ColorToRGB(color))) & 0xFFFFFF);
}

TColor PlainRgb(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

std::vector<uint8_t> ReadAll(TStream& stream) {
  std::string bytes = stream.ReadRest();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A bitmap holding a decoded picture; an empty bitmap for a picture without pixels.
void LoadPicture(TBitmap& bitmap, const TDibImage& picture) {
  if (picture.Bits.empty()) {
    bitmap.Assign(nullptr);
    return;
  }
  std::vector<uint8_t> file = EncodeBmpFile(picture);
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TGIFFrame

TGIFFrame::TGIFFrame(TGIFImage* owner) : owner_(owner) {}
TGIFFrame::~TGIFFrame() = default;

void TGIFFrame::Decode(bool strict) {
  bitmap_ = std::make_unique<TBitmap>();
  if (!HasRaster()) return;
  // Decoded frames stay cached within the size of one largest picture: beyond it, the
  // pictures of other frames that can be decoded again are let go first.
  uint64_t pixels = static_cast<uint64_t>(info_.Raster->Width) * static_cast<uint64_t>(info_.Raster->Height);
  if (owner_->CachedPixels() + pixels > kMaxCachedGifPixels) owner_->ReleaseDecodedFrames(this);
  if (owner_->CachedPixels() + pixels > kMaxCachedGifPixels) throw EOutOfResources("Out of memory");
  TDibImage picture;
  owner_->Progress(psStarting, 0, std::string());
  try {
    TGifDecodeResult result = DecodeGifFrame(info_, picture, [this](int percent) {
      owner_->Progress(psRunning, percent, std::string());
    });
    if (result == TGifDecodeResult::Truncated && strict) throw EReadError("Stream read error");
    if (result != TGifDecodeResult::Complete) info_.Damaged = true;
  } catch (const EAbort&) {
    // Stopped by the progress handler: the picture stays as far as it came.
    owner_->Progress(psEnding, 100, std::string());
    LoadPicture(*bitmap_, picture);
    return;
  } catch (const Exception& error) {
    owner_->Progress(psEnding, 100, error.Message());
    bitmap_.reset();
    throw;
  }
  LoadPicture(*bitmap_, picture);
  owner_->Progress(psEnding, 100, std::string());
}

TBitmap* TGIFFrame::Bitmap() {
  if (!bitmap_) {
    try {
      Decode(false);
    } catch (...) {
      // A frame whose data cannot be decoded shows nothing; it stays marked.
      info_.Damaged = true;
      bitmap_ = std::make_unique<TBitmap>();
    }
  }
  return bitmap_.get();
}

int TGIFFrame::Width() const {
  if (bitmap_) return bitmap_->Width();
  return HasRaster() ? info_.Raster->Width : 0;
}

int TGIFFrame::Height() const {
  if (bitmap_) return bitmap_->Height();
  return HasRaster() ? info_.Raster->Height : 0;
}

void TGIFFrame::SetOriginLeft(int value) {
  info_.OriginLeft = std::max(0, value);
  owner_->RecomputeLogicalSize();
}

void TGIFFrame::SetOriginTop(int value) {
  info_.OriginTop = std::max(0, value);
  owner_->RecomputeLogicalSize();
}

void TGIFFrame::AssignGraphic(TGraphic* graphic) {
  info_.Raster = std::make_shared<TGifRaster>();
  info_.KeyColor = clNone;
  bitmap_ = std::make_unique<TBitmap>();
  if (auto* source = dynamic_cast<TBitmap*>(graphic)) {
    bitmap_->Assign(source);
    if (source->Transparent()) info_.KeyColor = PlainRgb(source->TransparentColor());
    return;
  }
  try {
    bitmap_->Assign(graphic);
  } catch (const EConvertError&) {
    // A graphic that cannot become a bitmap is drawn on one.
    bitmap_->Canvas()->Brush()->SetColor(kUnmatchedBackground);
    bitmap_->SetSize(graphic->Width(), graphic->Height());
    if (!bitmap_->Empty()) {
      RECT all{0, 0, bitmap_->Width(), bitmap_->Height()};
      bitmap_->Canvas()->FillRect(all);
      bitmap_->Canvas()->Draw(0, 0, graphic);
    }
  }
  if (graphic->Transparent()) info_.KeyColor = NearestColor(bitmap_->Canvas()->Brush()->Color());
}

void TGIFFrame::Assign(TPersistent* source) {
  if (source == this) return;
  if (auto* frame = dynamic_cast<TGIFFrame*>(source)) {
    info_.Raster = frame->info_.Raster;
    info_.OriginLeft = frame->info_.OriginLeft;
    info_.OriginTop = frame->info_.OriginTop;
    info_.RowsInterlaced = frame->info_.RowsInterlaced;
    bitmap_.reset();
    if (frame->bitmap_) {
      bitmap_ = std::make_unique<TBitmap>();
      bitmap_->Assign(frame->bitmap_.get());
    }
    info_.KeyColor = frame->info_.KeyColor;
    info_.DelayMs = frame->info_.DelayMs;
    info_.Disposal = frame->info_.Disposal;
    info_.Grayscale = frame->info_.Grayscale;
    info_.Damaged = frame->info_.Damaged;
    if (!frame->info_.Extensions.empty()) info_.Extensions = frame->info_.Extensions;
    // Another image has another global table: the frame then needs its own.
    info_.HasLocalTable = frame->owner_ == owner_ ? frame->info_.HasLocalTable : true;
  } else if (auto* image = dynamic_cast<TGIFImage*>(source)) {
    if (image->frames_.empty()) {
      info_ = TGifFrameInfo();
      bitmap_.reset();
    } else {
      Assign(image->frames_[static_cast<size_t>(std::max(image->currentFrame_, 0))].get());
      return;
    }
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    if (graphic->Empty()) {
      info_ = TGifFrameInfo();
      bitmap_.reset();
    } else {
      AssignGraphic(graphic);
    }
  } else {
    TPersistent::Assign(source);
    return;
  }
  owner_->RecomputeLogicalSize();
}

void TGIFFrame::AssignTo(TPersistent* dest) {
  if (dynamic_cast<TGIFFrame*>(dest) != nullptr || dynamic_cast<TGIFImage*>(dest) != nullptr) {
    dest->Assign(this);
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(dest)) {
    graphic->Assign(Bitmap());
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest); bitmap != nullptr && info_.KeyColor != clNone) {
      bitmap->SetTransparentColor(NearestColor(info_.KeyColor));
      bitmap->SetTransparent(true);
    }
    return;
  }
  TPersistent::AssignTo(dest);
}

// ---------------------------------------------------------------------------------------
// TGIFImage

TGIFImage::TGIFImage() { transparent_ = true; }
TGIFImage::~TGIFImage() = default;

namespace {

// Registered with the system at start-up and kept for the life of the program.
const UINT gifClipboardFormat = RegisterClipboardFormatA("GIF Image");

// At start-up the picture framework learns that GIF images read ".gif" files and the
// "GIF Image" clipboard format; at the end the class is taken out again.
struct TGifRegistration {
  TGifRegistration() {
    const auto create = [] { return std::unique_ptr<TGraphic>(std::make_unique<TGIFImage>()); };
    RegisterGraphicFileFormat("gif", SGIFImageDescription, "TGIFImage", create);
    RegisterGraphicClipboardFormat(gifClipboardFormat, "TGIFImage", create);
  }
  ~TGifRegistration() { UnregisterGraphicClass("TGIFImage"); }
} gifRegistration;

}  // namespace

UINT TGIFImage::ClipboardFormat() { return gifClipboardFormat; }

void TGIFImage::Clear() {
  frames_.clear();
  info_ = TGifImageInfo();
  currentFrame_ = -1;
}

TGIFFrame* TGIFImage::Frames(int index) const {
  if (index < 0 || index >= FrameCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return frames_[static_cast<size_t>(index)].get();
}

void TGIFImage::SetCurrentFrame(int index) {
  if (index < -1 || index >= FrameCount()) index = -1;
  if (index == currentFrame_) return;
  currentFrame_ = index;
  Changed();
}

void TGIFImage::SetLoopCount(uint16_t value) { info_.LoopCount = std::min<uint16_t>(value, kMaxGifLoopCount); }

void TGIFImage::SetComments(const std::vector<std::string>& lines) {
  info_.Header = std::make_shared<TGifHeaderData>(*info_.Header);
  info_.Header->Comments = lines;
}

bool TGIFImage::Empty() const {
  if (frames_.empty()) return true;
  size_t index = static_cast<size_t>(std::max(currentFrame_, 0));
  if (index >= frames_.size()) return true;
  const TGIFFrame& frame = *frames_[index];
  return (!frame.bitmap_ || frame.bitmap_->Empty()) && !frame.HasRaster();
}

int TGIFImage::Width() const {
  if (currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
  return frames_[static_cast<size_t>(currentFrame_)]->Bitmap()->Width();
}

int TGIFImage::Height() const {
  if (currentFrame_ < 0 || currentFrame_ >= FrameCount()) return 0;
  return frames_[static_cast<size_t>(currentFrame_)]->Bitmap()->Height();
}

void TGIFImage::SetWidth(int) { throw EInvalidGraphicOperation(SGIFSizeFixed); }
void TGIFImage::SetHeight(int) { throw EInvalidGraphicOperation(SGIFSizeFixed); }

bool TGIFImage::Transparent() const {
  if (!transparent_) return false;
  return std::any_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->KeyColor() != clNone; });
}

HPALETTE TGIFImage::Palette() {
  if (currentFrame_ < 0 || currentFrame_ >= FrameCount()) return nullptr;
  return frames_[static_cast<size_t>(currentFrame_)]->Bitmap()->Palette();
}

void TGIFImage::Draw(TCanvas* canvas, const RECT& rect) {
  if (currentFrame_ < 0 || currentFrame_ >= FrameCount()) return;
  TGIFFrame& frame = *frames_[static_cast<size_t>(currentFrame_)];
  TBitmap* bitmap = frame.Bitmap();
  if (bitmap->Empty()) return;
  TColor key = transparent_ && frame.KeyColor() != clNone ? PlainRgb(frame.KeyColor()) : clNone;
  RECT source{0, 0, bitmap->Width(), bitmap->Height()};
  StretchBitmapRectKeyed(canvas, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, bitmap,
                         key);
}

uint64_t TGIFImage::CachedPixels() const {
  uint64_t pixels = 0;
  for (const auto& frame : frames_)
    if (frame->bitmap_) pixels += static_cast<uint64_t>(frame->bitmap_->Width()) * static_cast<uint64_t>(frame->bitmap_->Height());
  return pixels;
}

void TGIFImage::ReleaseDecodedFrames(const TGIFFrame* keep) {
  for (size_t i = 0; i < frames_.size(); ++i) {
    TGIFFrame& frame = *frames_[i];
    if (&frame != keep && static_cast<int>(i) != currentFrame_ && frame.HasRaster()) frame.bitmap_.reset();
  }
}

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string& message) {
  if (OnProgress) OnProgress(this, stage, percent, message);
}

void TGIFImage::RecomputeLogicalSize() {
  int width = 0;
  int height = 0;
  for (const auto& frame : frames_) {
    width = std::max(width, frame->OriginLeft() + frame->Width());
    height = std::max(height, frame->OriginTop() + frame->Height());
  }
  info_.LogicalWidth = static_cast<uint16_t>(std::min(width, 0xFFFF));
  info_.LogicalHeight = static_cast<uint16_t>(std::min(height, 0xFFFF));
}

void TGIFImage::LoadBytes(const uint8_t* data, size_t size, bool decodeFirst) {
  Clear();
  TGifDocument doc;
  auto adopt = [&] {
    info_ = doc.Image;
    for (TGifFrameInfo& read : doc.Frames) {
      auto frame = std::make_unique<TGIFFrame>(this);
      frame->info_ = std::move(read);
      frames_.push_back(std::move(frame));
    }
  };
  try {
    ReadGif(data, size, doc);
  } catch (...) {
    // The frames read before the failure stay.
    adopt();
    throw;
  }
  adopt();
  if (!frames_.empty()) {
    currentFrame_ = 0;
    if (decodeFirst) {
      try {
        frames_[0]->Decode(true);
      } catch (...) {
        frames_.erase(frames_.begin());
        if (frames_.empty()) currentFrame_ = -1;
        throw;
      }
    }
  }
  Changed();
}

void TGIFImage::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> bytes = ReadAll(stream);
  LoadBytes(bytes.data(), bytes.size(), true);
}

void TGIFImage::ReadData(TStream& stream) {
  uint8_t prefix[4];
  stream.ReadBuffer(prefix, 4);
  uint32_t count = ReadLe32(prefix);
  if (static_cast<int64_t>(count) > stream.Size() - stream.Position()) throw EReadError("Stream read error");
  std::vector<uint8_t> bytes(count);
  stream.ReadBuffer(bytes.data(), count);
  LoadBytes(bytes.data(), bytes.size(), true);
}

void TGIFImage::SaveToStream(TStream& stream) {
  std::vector<uint8_t> bytes = WriteBytes();
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFImage::WriteData(TStream& stream) {
  std::vector<uint8_t> bytes = WriteBytes();
  std::vector<uint8_t> prefix;
  AppendLe32(prefix, static_cast<uint32_t>(bytes.size()));
  stream.WriteBuffer(prefix.data(), 4);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFImage::EncodeFrame(TGIFFrame& frame) {
  if (!frame.bitmap_ || frame.bitmap_->Empty()) throw EInvalidGraphicOperation(SGIFNoData);
  TBitmap& bitmap = *frame.bitmap_;
  TDibImage picture;
  TPixelFormat format = bitmap.PixelFormat();
  if (format != pf1bit && format != pf4bit && format != pf8bit) {
    uint8_t method = frame.Grayscale() ? kReduceGrayscale : DefaultReductionMethod;
    std::unique_ptr<TMemoryStream> reduced = BitmapToStream(&bitmap, pf8bit, method);
    if (reduced && reduced->Size() > 0) {
      picture = DecodeBmpFile(static_cast<const uint8_t*>(reduced->Memory()), static_cast<size_t>(reduced->Size()));
      if (method == kReduceGrayscale) frame.SetGrayscale(true);
      // The reduction must not lose the see-through colour, or the frame would turn opaque.
      if (frame.KeyColor() != clNone)
        KeepKeyColor(ToTrueColor(bitmap.ToDibImage()), picture, static_cast<uint32_t>(PlainRgb(frame.KeyColor())));
    }
  }
  if (picture.Bits.empty()) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    picture = DecodeBmpFile(static_cast<const uint8_t*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  }
  if (picture.BitCount != 1 && picture.BitCount != 4 && picture.BitCount != 8)
    throw EInvalidGraphicOperation(SGIFEncodeError);
  Progress(psStarting, 0, std::string());
  try {
    EncodeGifFrame(info_, frame.info_, picture, [this](int percent) { Progress(psRunning, percent, std::string()); });
  } catch (const Exception& error) {
    Progress(psEnding, 100, error.Message());
    throw;
  }
  Progress(psEnding, 100, std::string());
}

std::vector<uint8_t> TGIFImage::WriteBytes() {
  if (frames_.empty()) throw EInvalidGraphicOperation(SGIFNoData);
  std::vector<TGifFrameInfo*> infos;
  for (auto& frame : frames_) {
    if (!frame->HasRaster()) EncodeFrame(*frame);
    infos.push_back(&frame->info_);
  }
  return WriteGif(info_, infos, ColorToRGB);
}

namespace {

// A copy of a bitmap handle the clipboard owns, in a bitmap of our own.
void CopyClipboardBitmap(HANDLE handle, TBitmap& bitmap) {
  if (handle == nullptr) throw EInvalidGraphic("Bitmap image is not valid");
  auto copy = static_cast<HBITMAP>(CopyImage(handle, IMAGE_BITMAP, 0, 0, 0));
  if (copy == nullptr) throw EInvalidGraphic("Bitmap image is not valid");
  bitmap.SetHandle(copy);
}

}  // namespace

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  if (!IsClipboardFormatAvailable(ClipboardFormat())) {
    TBitmap bitmap;
    CopyClipboardBitmap(format == CF_BITMAP && data != nullptr ? data : GetClipboardData(CF_BITMAP), bitmap);
    Assign(&bitmap);
    return;
  }
  HANDLE block = GetClipboardData(ClipboardFormat());
  {
    const GlobalLockScope<const uint8_t> lock(block);
    const uint8_t* bytes = lock.get();
    if (bytes == nullptr) throw EReadError("Stream read error");
    // Another program wrote the block: its length must fit what the block holds.
    size_t size = GlobalSize(block);
    if (size < 4 || ReadLe32(bytes) > size - 4) throw EReadError("Stream read error");
    LoadBytes(bytes + 4, ReadLe32(bytes), false);
  }
  if (frames_.empty()) return;
  currentFrame_ = 0;
  if (IsClipboardFormatAvailable(CF_BITMAP)) {
    auto bitmap = std::make_unique<TBitmap>();
    CopyClipboardBitmap(GetClipboardData(CF_BITMAP), *bitmap);
    frames_[0]->bitmap_ = std::move(bitmap);
  }
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  if (frames_.empty()) return;
  TBitmap* first = frames_[0]->Bitmap();
  format = CF_BITMAP;
  data = first->Empty() ? nullptr : CopyImage(first->Handle(), IMAGE_BITMAP, 0, 0, 0);
  palette = nullptr;
  if (!std::all_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->HasRaster(); })) return;
  std::vector<uint8_t> bytes = WriteBytes();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 4);
  if (block == nullptr) throw EOutOfResources("Out of memory");
  auto* p = static_cast<uint8_t*>(GlobalLock(block));
  if (p != nullptr) {
    std::vector<uint8_t> prefix;
    AppendLe32(prefix, static_cast<uint32_t>(bytes.size()));
    std::memcpy(p, prefix.data(), 4);
    std::memcpy(p + 4, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  if (p == nullptr || SetClipboardData(ClipboardFormat(), block) == nullptr) {
    GlobalFree(block);
    throw EOutOfResources("Cannot put the picture on the clipboard");
  }
}

TGIFFrame* TGIFImage::AppendFrame(TGraphic* graphic) {
  frames_.push_back(std::make_unique<TGIFFrame>(this));
  TGIFFrame* frame = frames_.back().get();
  currentFrame_ = FrameCount() - 1;
  if (info_.VersionIndex == 0) info_.VersionIndex = 1;
  if (frames_.size() > 1) info_.VersionIndex = 2;
  frame->Assign(graphic);
  return frame;
}

void TGIFImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    Clear();
  } else if (auto* image = dynamic_cast<TGIFImage*>(source)) {
    Clear();
    info_ = image->info_;
    for (const auto& from : image->frames_) {
      frames_.push_back(std::make_unique<TGIFFrame>(this));
      frames_.back()->Assign(from.get());
      // The global table is shared too, so each frame keeps using it as before.
      frames_.back()->info_.HasLocalTable = from->info_.HasLocalTable;
    }
    info_.LogicalWidth = image->info_.LogicalWidth;
    info_.LogicalHeight = image->info_.LogicalHeight;
    currentFrame_ = image->currentFrame_;
  } else if (auto* frame = dynamic_cast<TGIFFrame*>(source)) {
    Clear();
    if (frame->owner_ != nullptr) info_.Header = frame->owner_->info_.Header;
    frames_.push_back(std::make_unique<TGIFFrame>(this));
    frames_.back()->Assign(frame);
    info_.VersionIndex = frame->owner_ != nullptr ? frame->owner_->info_.VersionIndex : 1;
    currentFrame_ = 0;
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    Clear();
    AppendFrame(bitmap);
  } else if (auto* cursor = dynamic_cast<TAnimatedCursorImage*>(source)) {
    Clear();
    info_.BackdropColor = clWindow;
    for (int i = 0; i < cursor->FrameCount(); ++i)
      AppendFrame(cursor->Icons(i))->SetDelayMs(AniRateToDelayMs(cursor->Frames(i)->Rate()));
  } else {
    TGraphic::Assign(source);
    return;
  }
  Changed();
}

void TGIFImage::AssignTo(TPersistent* dest) {
  if (dynamic_cast<TGIFImage*>(dest) != nullptr) {
    dest->Assign(this);
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(dest)) {
    if (Empty()) {
      graphic->Assign(nullptr);
    } else {
      frames_[static_cast<size_t>(std::max(currentFrame_, 0))]->AssignTo(dest);
    }
    return;
  }
  TGraphic::AssignTo(dest);
}
