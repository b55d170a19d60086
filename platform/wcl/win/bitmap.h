#pragma once
// Pictures: TGraphic (the common base), TBitmap (a device-independent bitmap with a canvas),
// TIcon (icon or cursor bytes kept as loaded, with a handle made on demand) and TPicture
// (a holder of one graphic of any class).

#include "platform/wcl/win/handles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/persistent.h"
#include "platform/wcl/bmp_format.h"
#include "platform/wcl/ico_format.h"
#include "platform/wcl/win/graphics.h"

class TStream;

// Raised when a named resource is not in the module.
HL_DECLARE_EXCEPTION(EResNotFound, Exception);

class TGraphic : public TPersistent {
public:
  std::string ClassName() const override { return "TGraphic"; }

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  // The palette to realize when drawing, or nullptr. The graphic owns it.
  virtual HPALETTE Palette() { return nullptr; }

  // Draws the whole graphic into rect of canvas's DC.
  virtual void Draw(TCanvas* canvas, const RECT& rect) = 0;

  // Reads the graphic from the stream's position, consuming exactly its bytes.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  // A new, empty graphic of the same class (a picture copies graphics with it and Assign).
  virtual std::unique_ptr<TGraphic> CreateSame() const = 0;

  TNotifyEvent OnChange;

protected:
  void Changed();

  bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;
  std::string ClassName() const override { return "TBitmap"; }

  bool Empty() const override { return !handle_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  // Keeps the picture in the part both sizes share; new parts are white. A side of 0 (or
  // less) empties the bitmap. Sides over 16384 raise EInvalidGraphic.
  void SetSize(int width, int height);

  // pfDevice (the default) holds 32 bits a pixel and is saved with 24.
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return bitCount_ == 1; }
  // Turning monochrome maps the pixels of the canvas brush's colour to white and all
  // others to black; turning back gives a device bitmap.
  void SetMonochrome(bool monochrome);

  // A logical palette of the colour table (1, 4 and 8 bits; nullptr otherwise).
  HPALETTE Palette() override;
  // Takes ownership of palette; its colours become the colour table.
  void SetPalette(HPALETTE palette);

  // The colour drawn see-through when Transparent: fixed, or (tmAuto) the bottom-left
  // pixel's colour marked palette-relative.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // The DIB section, or nullptr when empty. The bitmap owns it. The canvas gives its DC
  // back first, so that the handle can be selected into another DC.
  HBITMAP Handle();
  // Takes ownership of bitmap: its picture is copied into the bitmap's own DIB section and
  // the handle given is freed (Handle() then answers the new DIB).
  void SetHandle(HBITMAP bitmap);

  // A canvas on a memory DC with the bitmap selected: usable at any time.
  TCanvas* Canvas();
  // The pixels of row y (0 = top); raises EInvalidGraphicOperation out of range.
  void* ScanLine(int y);

  void Draw(TCanvas* canvas, const RECT& rect) override;
  // A .bmp file: 1, 4, 8, 16, 24 and 32 bits, bottom-up or top-down, any colour table.
  void LoadFromStream(TStream& stream) override;
  // Writes a .bmp file (40-byte header, bottom-up, full colour table); an empty bitmap
  // writes nothing.
  void SaveToStream(TStream& stream) override;
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  std::unique_ptr<TGraphic> CreateSame() const override { return std::make_unique<TBitmap>(); }

  // A deep copy of another bitmap; nullptr empties this one.
  void Assign(TPersistent* source) override;

  // The picture in the canonical decoded form (rows bottom-up).
  TDibImage ToDibImage() const;

private:
  class TBitmapCanvas;
  // Replaces the DIB by one of the given shape (its Bits, when present, are copied in).
  void Adopt(const TDibImage& image, TPixelFormat format);
  // A new DIB of the given size and format, white, with the old picture copied over it.
  void Reshape(int width, int height, TPixelFormat format);
  void ReleaseCanvasDc();

  UniqueBitmap handle_;
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 32;
  TPixelFormat format_ = pfDevice;
  std::vector<uint32_t> masks_;
  std::vector<TDibColor> colors_;
  UniquePalette palette_;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;
  std::string ClassName() const override { return "TIcon"; }

  bool Empty() const override { return bytes_.empty() && !handle_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // An icon's size comes from its image: raises EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  bool Transparent() const override { return true; }

  // The icon's handle, made from the best image on first use; nullptr when empty. Raises
  // EInvalidGraphic when the image cannot be made into an icon. The icon owns it.
  HICON Handle();
  // Takes ownership of icon and forgets the loaded bytes.
  void SetHandle(HICON icon);
  // True when the bytes are a cursor file.
  bool IsCursor() const { return directory_.Cursor; }

  void Draw(TCanvas* canvas, const RECT& rect) override;
  // An .ico or .cur file; the bytes are kept exactly and written back as they were.
  void LoadFromStream(TStream& stream) override;
  // The loaded bytes, or an .ico made from the handle.
  void SaveToStream(TStream& stream) override;
  std::unique_ptr<TGraphic> CreateSame() const override { return std::make_unique<TIcon>(); }

  void Assign(TPersistent* source) override;

private:
  void Clear();
  std::vector<uint8_t> EncodeFromHandle() const;

  std::vector<uint8_t> bytes_;
  TIconDirectory directory_;
  size_t best_ = 0;
  UniqueIcon handle_;
  int width_ = 0;
  int height_ = 0;
};

class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;
  std::string ClassName() const override { return "TPicture"; }

  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of graphic (nullptr empties the picture).
  void SetGraphic(TGraphic* graphic);
  // The picture's graphic as a bitmap (or icon): another kind of graphic is replaced by an
  // empty one of the wanted kind.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // From a picture, a graphic or nullptr.
  void Assign(TPersistent* source) override;

  TNotifyEvent OnChange;

private:
  void Hold(std::unique_ptr<TGraphic> graphic);
  template <typename T>
  T* As();

  std::unique_ptr<TGraphic> graphic_;
};
