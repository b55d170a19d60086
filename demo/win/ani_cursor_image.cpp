#include "demo/win/ani_cursor_image.h"

#include <utility>

#include "demo/win/demo_helpers.h"
#include "demo/win/kit_graph.h"
#include "kit/win/icon_list_win.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"

namespace {

std::unique_ptr<TIcon> IconFromBytes(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto icon = std::make_unique<TIcon>();
  icon->LoadFromStream(stream);
  return icon;
}

// An image counts as a frame only when the system can make an icon of it.
bool LoadIconImage(const uint8_t* data, size_t size, int& width, int& height) {
  try {
    std::unique_ptr<TIcon> icon = IconFromBytes(std::vector<uint8_t>(data, data + size));
    if (icon->Handle() == nullptr) return false;
    width = icon->Width();
    height = icon->Height();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

TIconFrame::TIconFrame() : icon_(std::make_unique<TIcon>()) {}
TIconFrame::~TIconFrame() = default;

void TIconFrame::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TIconFrame*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  icon_->Assign(other->icon_.get());
  isIcon_ = other->isIcon_;
  tagId_ = other->tagId_;
  tagSize_ = other->tagSize_;
  hotSpot_ = other->hotSpot_;
  rate_ = other->rate_;
  sequence_ = other->sequence_;
}

TAnimatedCursorImage::TAnimatedCursorImage() = default;
TAnimatedCursorImage::~TAnimatedCursorImage() = default;

void TAnimatedCursorImage::Clear() {
  frames_.clear();
  header_ = TAniHeader();
  title_.clear();
  author_.clear();
  sourceColors_ = 0;
}

void TAnimatedCursorImage::Take(TAniCursorData& data) {
  Clear();
  header_ = data.Header;
  title_ = std::move(data.Title);
  author_ = std::move(data.Author);
  sourceColors_ = data.SourceColors;
  for (TAniFrameData& read : data.Frames) {
    auto frame = std::make_unique<TIconFrame>();
    if (read.HasImage) frame->icon_ = IconFromBytes(read.Image);
    frame->isIcon_ = read.IsIcon;
    frame->tagId_ = read.TagId;
    frame->tagSize_ = read.TagSize;
    frame->hotSpot_ = POINT{read.HotSpotX, read.HotSpotY};
    frame->rate_ = read.Rate;
    frame->sequence_ = read.Sequence;
    frames_.push_back(std::move(frame));
  }
}

void TAnimatedCursorImage::LoadFromStream(TStream& stream) {
  const std::string bytes = stream.ReadRest();
  if (bytes.empty()) return;
  TAniCursorData data;
  try {
    ParseAniCursor(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), data, LoadIconImage);
  } catch (...) {
    Take(data);
    throw;
  }
  Take(data);
}

void TAnimatedCursorImage::LoadFromFile(const std::string& fileName) {
  try {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(stream);
  } catch (...) {
    Clear();
    throw;
  }
}

void TAnimatedCursorImage::SaveToStream(TStream&) { ShowNotImplemented(); }

TIconFrame* TAnimatedCursorImage::Frames(int index) const {
  if (index < 0 || index >= FrameCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return frames_[static_cast<size_t>(index)].get();
}

TIcon* TAnimatedCursorImage::Icons(int index) const { return Frames(index)->Icon(); }

void TAnimatedCursorImage::Assign(TPersistent* source) {
  if (source == nullptr) {
    Clear();
    return;
  }
  auto* other = dynamic_cast<TAnimatedCursorImage*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  try {
    Clear();
    header_ = other->header_;
    title_ = other->title_;
    author_ = other->author_;
    sourceColors_ = other->sourceColors_;
    for (const auto& frame : other->frames_) {
      auto copy = std::make_unique<TIconFrame>();
      copy->Assign(frame.get());
      frames_.push_back(std::move(copy));
    }
  } catch (...) {
    Clear();
    throw;
  }
}

void TAnimatedCursorImage::AssignTo(TPersistent* dest) {
  if (auto* icon = dynamic_cast<TIcon*>(dest)) {
    icon->Assign(frames_.empty() ? nullptr : frames_[0]->Icon());
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    DrawStrip(bitmap, bitmap->Canvas()->Brush()->Color(), false, true);
  } else if (auto* list = dynamic_cast<TIconList*>(dest)) {
    list->BeginUpdate();
    try {
      list->Clear();
      for (const auto& frame : frames_) list->Add(frame->Icon());
    } catch (...) {
      list->EndUpdate();
      throw;
    }
    list->EndUpdate();
  } else {
    TPersistent::AssignTo(dest);
  }
}

void TAnimatedCursorImage::DrawStrip(TBitmap* bitmap, TColor background, bool vertical, bool reduce) const {
  if (frames_.empty()) {
    bitmap->SetSize(0, 0);
    return;
  }
  // Every frame takes a cell of frame 0's size, so frames of other sizes stay in the strip.
  const int cellWidth = frames_[0]->Icon()->Width();
  const int cellHeight = frames_[0]->Icon()->Height();
  const int count = FrameCount();
  bitmap->SetMonochrome(false);
  bitmap->SetSize(vertical ? cellWidth : cellWidth * count, vertical ? cellHeight * count : cellHeight);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(background);
  canvas->FillRect(RECT{0, 0, bitmap->Width(), bitmap->Height()});
  for (int n = 0; n < count; ++n)
    canvas->Draw(vertical ? 0 : cellWidth * n, vertical ? cellHeight * n : 0, frames_[static_cast<size_t>(n)]->Icon());
  if (reduce && sourceColors_ > 0) {
    std::unique_ptr<TMemoryStream> reduced = BitmapToStreamByColors(bitmap, sourceColors_);
    bitmap->LoadFromStream(*reduced);
  }
}
