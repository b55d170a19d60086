#pragma once
// TAnimatedCursorImage: an animated cursor file read into frames, each an icon with its
// display rate, sequence position and hot spot, plus the file's title and author. The
// frames go to an icon (the first), a bitmap strip or an icon list. Reading only: the
// chunk walk is demo/ani_cursor.h, the icons are made here.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <memory>
#include <string>
#include <vector>

#include "demo/ani_cursor.h"
#include "platform/rtl/persistent.h"
#include "platform/wcl/colors.h"

class TBitmap;
class TIcon;
class TStream;

class TIconFrame : public TPersistent {
public:
  TIconFrame();
  ~TIconFrame() override;
  std::string ClassName() const override { return "TIconFrame"; }

  TIcon* Icon() const { return icon_.get(); }
  // True when the frame's image was an icon, false for a cursor.
  bool IsIcon() const { return isIcon_; }
  // The chunk that carried the image: its id and size.
  uint32_t TagId() const { return tagId_; }
  uint32_t TagSize() const { return tagSize_; }
  POINT HotSpot() const { return hotSpot_; }
  // Display time in jiffies (1/60 s).
  uint32_t Rate() const { return rate_; }
  int Sequence() const { return sequence_; }

  // Another frame: its values and a copy of its icon.
  void Assign(TPersistent* source) override;

private:
  friend class TAnimatedCursorImage;
  std::unique_ptr<TIcon> icon_;
  bool isIcon_ = false;
  uint32_t tagId_ = 0;
  uint32_t tagSize_ = 0;
  POINT hotSpot_{0, 0};
  uint32_t rate_ = 0;
  int sequence_ = 0;
};

class TAnimatedCursorImage : public TPersistent {
public:
  TAnimatedCursorImage();
  ~TAnimatedCursorImage() override;
  std::string ClassName() const override { return "TAnimatedCursorImage"; }

  // Reads from the position to the end; a file that cannot be read raises EReadError
  // "Stream read error" (the frames read so far stay until the next Clear).
  void LoadFromStream(TStream& stream);
  // Reads a file opened for reading with sharing allowed; on failure the image is cleared
  // and the error passes on.
  void LoadFromFile(const std::string& fileName);
  // Not supported: tells the user so and ends the operation silently.
  void SaveToStream(TStream& stream);

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  // EListError outside 0..FrameCount-1.
  TIcon* Icons(int index) const;
  TIconFrame* Frames(int index) const;
  // The header as stored; after a read its step count is the number of frames kept.
  const TAniHeader& Header() const { return header_; }
  const std::string& Title() const { return title_; }
  const std::string& Author() const { return author_; }
  // The most colours met in the frame images (2, 16 or 256), 0 when none was recognised.
  int SourceColors() const { return sourceColors_; }

  void Clear();
  // nullptr clears; another animated cursor is copied (frames with copies of their icons).
  void Assign(TPersistent* source) override;
  // An icon gets frame 0's icon; a bitmap the horizontal strip on its brush colour,
  // reduced to SourceColors colours; an
  // icon list every frame's icon.
  void AssignTo(TPersistent* dest) override;

  // Draws the frames side by side (or one above the other) into bitmap, on background,
  // every frame in a cell of frame 0's size; reduce brings the strip down to SourceColors
  // colours. An image without frames empties the bitmap.
  void DrawStrip(TBitmap* bitmap, TColor background, bool vertical, bool reduce) const;

private:
  void Take(TAniCursorData& data);

  TAniHeader header_;
  std::string title_;
  std::string author_;
  int sourceColors_ = 0;
  std::vector<std::unique_ptr<TIconFrame>> frames_;
};
