#pragma once
// Fonts, brushes, pens and the canvas: the drawing objects of the window class library.
// Each drawing object keeps its properties in members and makes its GDI handle when first
// asked for it, again after a change. A canvas draws on a DC it may or may not own and
// selects its font, brush and pen into that DC on demand.

#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/persistent.h"
#include "platform/wcl/colors.h"

class TGraphic;

// A colour as the GDI takes it: system colours resolved through the system colour table.
TColor ColorToRGB(TColor color);

// The screen's pixels per inch (vertical), read once.
int ScreenLogPixels();

// Base of fonts, brushes and pens: an object whose changes are announced and whose GDI
// handle is made again after a change that concerns it.
class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  void Changed(bool handleChanged = true);

  bool stale_ = true;
};

// Font styles: the set is a bit mask, bit i standing for the style with ordinal i.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

// Published: Charset, Color, Height, Name, Pitch, Size, Style.
class TFont : public TGraphicsObject {
  HL_REFLECTABLE
  TFont();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Size in points; Height is the negative character height in pixels. They are tied by
  // PixelsPerInch (the screen's, unless set): Height = -Size * PixelsPerInch / 72.
  int Size() const;
  void SetSize(int points);
  int Height() const { return height_; }
  void SetHeight(int pixels);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  // The font's HFONT, made again after any change but of the colour. The font owns it.
  HFONT Handle();
  // Takes ownership of handle and takes its properties from it.
  void SetHandle(HFONT handle);

  void Assign(TPersistent* source) override;

private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  int pixelsPerInch_;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  UniqueFont handle_;
};

class TBitmap;

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
  std::string ClassName() const override { return "TBrush"; }

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap (8 x 8 is the portable size). The brush does not own it: it must live
  // while the brush may make its handle.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  // The brush's HBRUSH; a clear brush answers the stock null brush. The brush owns it.
  HBRUSH Handle();

  void Assign(TPersistent* source) override;

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  UniqueBrush handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmCopy, pmNot, pmXor };

class TPen : public TGraphicsObject {
public:
  std::string ClassName() const override { return "TPen"; }

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // How the pen combines with what is already drawn; applied by the canvas.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  HPEN Handle();

  void Assign(TPersistent* source) override;

private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  UniquePen handle_;
};

// Raster operations of CopyRect and of drawing bitmaps.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  std::string ClassName() const override { return "TCanvas"; }

  // The DC drawn on. A canvas without one asks CreateHandle for it and raises
  // EInvalidOperation when it still has none.
  HDC Handle();
  // Draws on dc from now on (the canvas does not own it); nullptr detaches the canvas,
  // putting back the objects the DC held before.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return &font_; }
  TBrush* Brush() { return &brush_; }
  TPen* Pen() { return &pen_; }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
  POINT PenPos();
  void SetPenPos(POINT position) { MoveTo(position.x, position.y); }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<POINT>& points);
  void Polygon(const std::vector<POINT>& points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Fills with the brush, no outline.
  void FillRect(const RECT& rect);
  // A one-pixel frame in the brush's colour.
  void FrameRect(const RECT& rect);
  void DrawFocusRect(const RECT& rect);

  // Text in the font's colour; the background is the brush's colour unless the brush is
  // clear. TextOut leaves the pen position after the text.
  void TextOut(int x, int y, const std::string& text);
  // Text at (x, y) clipped to rect; rect is filled with the brush unless it is clear.
  void TextRect(const RECT& rect, int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // Draws a graphic at its own size, or stretched into rect; an empty graphic draws nothing.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& rect, TGraphic* graphic);
  // Copies source's rectangle from canvas into dest with CopyMode, stretching as needed.
  void CopyRect(const RECT& dest, TCanvas* canvas, const RECT& source);

  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Fired before and after each drawing operation.
  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

protected:
  // Called when the canvas has no DC; a subclass obtains one and calls SetHandle.
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

private:
  enum : unsigned { kFontSelected = 1, kPenSelected = 2, kBrushSelected = 4 };
  // The DC with the wanted drawing objects selected.
  HDC RequireState(unsigned objects);
  void Deselect(unsigned objects);

  HDC dc_ = nullptr;
  unsigned selected_ = 0;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  TFont font_;
  TBrush brush_;
  TPen pen_;
  TCopyMode copyMode_ = cmSrcCopy;
};

// Draws a canvas on a DC for one scope; the canvas lets go of the DC however the scope ends.
class CanvasOnDc {
public:
  CanvasOnDc(TCanvas* canvas, HDC dc) : canvas_(canvas) { canvas_->SetHandle(dc); }
  ~CanvasOnDc() { canvas_->SetHandle(nullptr); }
  CanvasOnDc(const CanvasOnDc&) = delete;
  CanvasOnDc& operator=(const CanvasOnDc&) = delete;

private:
  TCanvas* canvas_;
};

// A canvas on a window's client area (GetDC), or on the whole screen for a null window:
// usable outside painting, for measuring text or drawing at once.
class TWindowCanvas : public TCanvas {
public:
  explicit TWindowCanvas(HWND window = nullptr) : window_(window) {}
  ~TWindowCanvas() override;
  // Gives the DC back; the next drawing operation gets a new one.
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  HWND window_;
  WindowDc dc_;
};
