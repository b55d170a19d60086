#include "platform/wcl/win/image_list.h"

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/graphics.h"

namespace {

HIMAGELIST CreateList(int width, int height, TColorDepth depth) {
  UINT flags = depth == cd32Bit ? ILC_COLOR32 : (ILC_COLOR24 | ILC_MASK);
  HIMAGELIST list = ImageList_Create(width, height, flags, 0, 4);
  if (list == nullptr) throw EOutOfResources("Out of system resources");
  return list;
}

HBITMAP HandleOf(TBitmap* bitmap) { return bitmap != nullptr ? bitmap->Handle() : nullptr; }

}  // namespace

TImageList::TImageList(int width, int height, TColorDepth depth)
    : width_(width), height_(height), depth_(depth), handle_(CreateList(width, height, depth)) {}

TImageList::~TImageList() = default;

void TImageList::Changed() {
  if (OnChange) OnChange(this);
}

void TImageList::CheckIndex(int index, int last) const {
  if (index < 0 || index > last) throw EInvalidOperation("Invalid image list index " + std::to_string(index));
}

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  if (width < 1 || height < 1) throw EInvalidOperation("Invalid image list size");
  ImageList_SetIconSize(handle_.get(), width, height);
  width_ = width;
  height_ = height;
  Changed();
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_.get()); }

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  if (image == nullptr || image->Empty()) return -1;
  int index = ImageList_Add(handle_.get(), image->Handle(), HandleOf(mask));
  if (index >= 0) Changed();
  return index;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (image == nullptr || image->Empty()) return -1;
  if (maskColor == clDefault) maskColor = image->TransparentColor() & 0xFFFFFF;
  // The list blackens the see-through pixels of the bitmap it is given: give it a copy.
  TBitmap copy;
  copy.Assign(image);
  int index = ImageList_AddMasked(handle_.get(), copy.Handle(), static_cast<COLORREF>(ColorToRGB(maskColor)));
  if (index >= 0) Changed();
  return index;
}

int TImageList::AddIcon(TIcon* icon) {
  HICON handle = icon != nullptr ? icon->Handle() : nullptr;
  if (handle == nullptr) return -1;
  int index = ImageList_AddIcon(handle_.get(), handle);
  if (index >= 0) Changed();
  return index;
}

void TImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index, Count());
  if (image == nullptr || image->Empty()) return;
  int first = Count();
  if (ImageList_Add(handle_.get(), image->Handle(), HandleOf(mask)) < 0) return;
  int last = Count();
  // Copying images within one list is not reliable on every system (Wine loses them), so
  // the images from index on are taken out as icons and put back in their new order: the
  // added ones first.
  std::vector<UniqueIcon> moved;
  for (int i = first; i < last; ++i) moved.emplace_back(ImageList_GetIcon(handle_.get(), i, ILD_NORMAL));
  for (int i = index; i < first; ++i) moved.emplace_back(ImageList_GetIcon(handle_.get(), i, ILD_NORMAL));
  for (size_t k = 0; k < moved.size(); ++k)
    ImageList_ReplaceIcon(handle_.get(), index + static_cast<int>(k), moved[k].get());
  Changed();
}

void TImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index, Count() - 1);
  if (image == nullptr || image->Empty()) return;
  ImageList_Replace(handle_.get(), index, image->Handle(), HandleOf(mask));
  Changed();
}

void TImageList::Delete(int index) {
  CheckIndex(index, Count() - 1);
  ImageList_Remove(handle_.get(), index);
  Changed();
}

void TImageList::Clear() {
  ImageList_Remove(handle_.get(), -1);
  Changed();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (canvas == nullptr || index < 0 || index >= Count()) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_Draw(handle_.get(), index, dc, x, y, ILD_NORMAL);
  } else {
    ImageList_DrawEx(handle_.get(), index, dc, x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE), ILD_BLEND50);
  }
}

bool TImageList::GetBitmap(int index, TBitmap* image) {
  if (image == nullptr || index < 0 || index >= Count()) return false;
  image->SetSize(width_, height_);
  ImageList_Draw(handle_.get(), index, image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
  return true;
}

bool TImageList::GetIcon(int index, TIcon* icon) {
  if (icon == nullptr || index < 0 || index >= Count()) return false;
  HICON handle = ImageList_GetIcon(handle_.get(), index, ILD_NORMAL);
  if (handle == nullptr) return false;
  icon->SetHandle(handle);
  return true;
}

void TImageList::Assign(TPersistent* source) {
  auto* list = dynamic_cast<TImageList*>(source);
  if (source != nullptr && list == nullptr) return TPersistent::Assign(source);
  if (list == this) return;
  if (list == nullptr) return Clear();
  HIMAGELIST copy = ImageList_Duplicate(list->handle_.get());
  if (copy == nullptr) throw EOutOfResources("Out of system resources");
  handle_.reset(copy);
  width_ = list->width_;
  height_ = list->height_;
  depth_ = list->depth_;
  Changed();
}
