#pragma once
// TImageList: a list of same-sized images over a common-controls image list, drawn with
// their masks. Indexes are checked: drawing an index that is not in the list draws nothing.

#include "platform/wcl/win/handles.h"

#include <string>

#include "platform/rtl/persistent.h"
#include "platform/wcl/colors.h"

class TBitmap;
class TCanvas;
class TIcon;

// How many colour bits the images keep.
enum TColorDepth { cd24Bit, cd32Bit };

class TImageList : public TPersistent {
public:
  explicit TImageList(int width = 16, int height = 16, TColorDepth depth = cd24Bit);
  ~TImageList() override;
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;
  std::string ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the image size empties the list.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);
  int Count() const;
  HIMAGELIST Handle() const { return handle_.get(); }

  // Each Add cuts a bitmap wider than Width into several images and returns the index of
  // the first. mask may be nullptr (the images are then fully opaque).
  int Add(TBitmap* image, TBitmap* mask);
  // Pixels of colour (the bitmap's own transparent colour for clDefault) become see-through.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  // Inserts before index (0..Count); raises EInvalidOperation out of range.
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void Delete(int index);
  void Clear();

  // A disabled image is drawn blended with the button face colour.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // Copies image index into the bitmap or icon; false (and nothing changed) out of range.
  bool GetBitmap(int index, TBitmap* image);
  bool GetIcon(int index, TIcon* icon);

  // A copy of another image list's images and size.
  void Assign(TPersistent* source) override;

  TNotifyEvent OnChange;

private:
  // Raises EInvalidOperation unless 0 <= index <= last.
  void CheckIndex(int index, int last) const;
  void Changed();

  int width_;
  int height_;
  TColorDepth depth_;
  UniqueImageList handle_;
};
