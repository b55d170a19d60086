#pragma once
// TGIFImage, the GIF picture: a graphic holding the frames of a GIF file, each keeping its
// LZW raster as read and decoded into a bitmap when first drawn or measured; and writing
// the frames back as a GIF file, encoding frames that exist only as bitmaps.

#include "platform/wcl/win/handles.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/gif_format.h"
#include "platform/wcl/win/bitmap.h"

class TGIFImage;

// The most pixels the decoded frames of one image hold together (the largest picture's).
// Beyond it, decoding a frame lets go of the pictures of other frames that have raster data
// (never the current frame's); a frame that still does not fit shows nothing.
constexpr uint64_t kMaxCachedGifPixels = uint64_t{kMaxPictureSide} * kMaxPictureSide;

// Stages of a long operation reported through a graphic's progress event.
enum TProgressStage { psStarting, psRunning, psEnding };
// Sender, stage, percent done, and the message of the error that ended the work (if any).
// Raising EAbort from the handler stops the work.
using TProgressEvent =
    std::function<void(TObject* Sender, TProgressStage stage, int percent, const std::string& message)>;

// One picture of a GIF sequence.
class TGIFFrame : public TPersistent {
public:
  explicit TGIFFrame(TGIFImage* owner);
  ~TGIFFrame() override;
  std::string ClassName() const override { return "TGIFFrame"; }

  TGIFImage* Owner() const { return owner_; }
  // The decoded picture, made on first use (and again after the image let it go to make
  // room, see kMaxCachedGifPixels). A frame without raster data answers an empty bitmap.
  // Undecodable rows leave the frame Damaged with the rows decoded so far.
  TBitmap* Bitmap();
  // 0 when the frame has neither a bitmap nor raster data.
  int Width() const;
  int Height() const;

  int OriginLeft() const { return info_.OriginLeft; }
  void SetOriginLeft(int value);
  int OriginTop() const { return info_.OriginTop; }
  void SetOriginTop(int value);
  uint16_t DelayMs() const { return info_.DelayMs; }
  void SetDelayMs(uint16_t value) { info_.DelayMs = value; }
  int Disposal() const { return info_.Disposal; }
  void SetDisposal(int value) { info_.Disposal = value & 7; }
  TColor KeyColor() const { return info_.KeyColor; }
  void SetKeyColor(TColor value) { info_.KeyColor = value; }
  bool RowsInterlaced() const { return info_.RowsInterlaced; }
  bool HasLocalTable() const { return info_.HasLocalTable; }
  bool Grayscale() const { return info_.Grayscale; }
  void SetGrayscale(bool value) { info_.Grayscale = value; }
  bool Damaged() const { return info_.Damaged; }
  // True when the frame has raster data (as read, or encoded for writing).
  bool HasRaster() const { return info_.Raster && !info_.Raster->Data.empty(); }

  // The frame's extensions and raster as the file holds them.
  const TGifFrameInfo& Info() const { return info_; }
  TGifFrameInfo& Info() { return info_; }

  void Assign(TPersistent* source) override;

protected:
  void AssignTo(TPersistent* dest) override;

private:
  friend class TGIFImage;
  // Decodes the raster into the bitmap. strict: a raster that ends before the last row
  // raises EReadError instead of leaving the frame Damaged.
  void Decode(bool strict);
  void AssignGraphic(TGraphic* graphic);

  TGIFImage* owner_;
  TGifFrameInfo info_;
  std::unique_ptr<TBitmap> bitmap_;
};

class TGIFImage : public TGraphic {
public:
  TGIFImage();
  ~TGIFImage() override;
  std::string ClassName() const override { return "TGIFImage"; }

  // ---- TGraphic ----
  // True without frames, or when the current frame (frame 0 when none is current) has
  // neither a bitmap nor raster data.
  bool Empty() const override;
  // The current frame's decoded size; 0 without frames.
  int Width() const override;
  int Height() const override;
  // A GIF picture's size cannot be set: raise EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  // True when switched on and at least one frame has a key colour.
  bool Transparent() const override;
  HPALETTE Palette() override;
  // Draws the current frame stretched into rect, its key colour see-through when
  // Transparent is on. A frame that cannot be decoded draws nothing.
  void Draw(TCanvas* canvas, const RECT& rect) override;
  // Reads everything from the position to the end of the stream as one GIF file and
  // decodes the first frame at once.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  std::unique_ptr<TGraphic> CreateSame() const override { return std::make_unique<TGIFImage>(); }

  // The stored form: a 32-bit little-endian byte count, then the GIF file.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  // The clipboard, opened by the caller. Loading takes the "GIF Image" format when the
  // clipboard has it (and a bitmap there as the first frame's picture), else a bitmap.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  // Puts frame 0's bitmap under format (CF_BITMAP) into data, and, when every frame has
  // raster data, the GIF file onto the clipboard under "GIF Image".
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);
  // The "GIF Image" clipboard format, registered at start-up.
  static UINT ClipboardFormat();

  // ---- Frames ----
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  TGIFFrame* Frames(int index) const;
  // The frame drawn and measured; -1 for none.
  int CurrentFrame() const { return currentFrame_; }
  void SetCurrentFrame(int index);
  // Adds a frame made from graphic and makes it current.
  virtual TGIFFrame* AppendFrame(TGraphic* graphic);
  // Frees every frame and resets the image's header data.
  void Clear();

  // ---- Header data ----
  uint8_t VersionIndex() const { return info_.VersionIndex; }
  int LogicalWidth() const { return frames_.empty() ? 0 : info_.LogicalWidth; }
  int LogicalHeight() const { return frames_.empty() ? 0 : info_.LogicalHeight; }
  TColor BackdropColor() const { return info_.BackdropColor; }
  void SetBackdropColor(TColor color) { info_.BackdropColor = color; }
  bool LoopEnabled() const { return info_.LoopEnabled; }
  void SetLoopEnabled(bool value) { info_.LoopEnabled = value; }
  uint16_t LoopCount() const { return info_.LoopCount; }
  void SetLoopCount(uint16_t value);
  const std::vector<std::string>& Comments() const { return info_.Header->Comments; }
  void SetComments(const std::vector<std::string>& lines);
  const TGifImageInfo& Info() const { return info_; }

  // nullptr clears; from another GIF image (sharing its data), a GIF frame, a bitmap, or an
  // animated cursor (one frame per cursor frame, on the window colour).
  void Assign(TPersistent* source) override;

  TProgressEvent OnProgress;

protected:
  void AssignTo(TPersistent* dest) override;

private:
  friend class TGIFFrame;
  void LoadBytes(const uint8_t* data, size_t size, bool decodeFirst);
  void RecomputeLogicalSize();
  // Pixels of the frames decoded so far.
  uint64_t CachedPixels() const;
  // Lets go of the decoded pictures of frames that can decode again, but keep's and the
  // current frame's.
  void ReleaseDecodedFrames(const TGIFFrame* keep);
  void Progress(TProgressStage stage, int percent, const std::string& message);
  std::vector<uint8_t> WriteBytes();
  void EncodeFrame(TGIFFrame& frame);

  TGifImageInfo info_;
  std::vector<std::unique_ptr<TGIFFrame>> frames_;
  int currentFrame_ = -1;
};
