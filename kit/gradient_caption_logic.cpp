#include "kit/gradient_caption_logic.h"

#include "kit/draw_utils.h"

unsigned EffectiveCaptionIcons(TCaptionBorderStyle style, unsigned icons) {
  switch (style) {
    case cbsDialog:
      return icons & (kCaptionSystemMenu | kCaptionHelp);
    case cbsToolWindow:
    case cbsSizeToolWin:
      return icons & kCaptionSystemMenu;
    default:
      break;
  }
  if ((icons & kCaptionSystemMenu) == 0) icons &= ~(kCaptionMinimize | kCaptionMaximize);
  if ((icons & (kCaptionMinimize | kCaptionMaximize)) != 0) icons &= ~kCaptionHelp;
  return icons;
}

int CaptionButtonCount(unsigned effectiveIcons) {
  int count = 0;
  for (unsigned icon : {kCaptionSystemMenu, kCaptionMinimize, kCaptionMaximize, kCaptionHelp})
    if ((effectiveIcons & icon) != 0) ++count;
  const bool minimize = (effectiveIcons & kCaptionMinimize) != 0;
  const bool maximize = (effectiveIcons & kCaptionMaximize) != 0;
  if (minimize != maximize) ++count;
  return count;
}

TCaptionRect CaptionRectOf(const TCaptionRect& window, TCaptionBorderStyle style, unsigned icons,
                           const TCaptionMetrics& metrics, unsigned& effectiveIcons) {
  TCaptionRect r = window;
  effectiveIcons = EffectiveCaptionIcons(style, icons);
  const int buttons = CaptionButtonCount(effectiveIcons);
  int insetX = 0;
  int insetY = 0;
  switch (style) {
    case cbsSizeable:
    case cbsSizeToolWin:
      insetX = metrics.FrameX;
      insetY = metrics.FrameY;
      break;
    case cbsSingle:
    case cbsDialog:
    case cbsToolWindow:
      insetX = metrics.DlgFrameX;
      insetY = metrics.DlgFrameY;
      break;
    case cbsNone:
      break;
  }
  r.Left += insetX;
  r.Right -= insetX;
  r.Top += insetY;
  r.Bottom -= insetY;
  if (style == cbsToolWindow || style == cbsSizeToolWin) {
    r.Bottom = r.Top + metrics.SmCaption - 1;
    r.Right -= buttons * metrics.SmSize;
  } else {
    r.Bottom = r.Top + metrics.Caption - 1;
    r.Right -= buttons * metrics.Size;
  }
  return r;
}

void CaptionIconPos(int barLeft, int barTop, int barBottom, int iconWidth, int iconHeight, int& x, int& y) {
  x = barLeft + 1 + (barTop + barBottom - iconWidth) / 2;
  y = (barTop + barBottom - iconHeight) / 2;
}

namespace {

// Draws texts into the shrinking rectangle (left, right), one after the other.
class CaptionWriter {
public:
  CaptionWriter(int left, int right, bool rightToLeft, const TCaptionTextWidth& textWidth)
      : left_(left), right_(right), rightToLeft_(rightToLeft), textWidth_(textWidth) {}

  int Room() const { return right_ - left_; }

  // Draws s in the font of part font, cut to the room left; answers whether it was drawn
  // whole. A text glued to the next one that would leave no room for it ends in "...";
  // a lone "..." is drawn only for a text glued to the previous one, in the component's
  // font and the previous part's colour.
  bool DrawPart(const std::string& s, int font, bool gluedPrev, bool gluedNext, int previous) {
    if (s.empty()) return true;
    const int room = Room();
    std::string t = ShortenTextToWidth(s, [&](const std::string& text) { return textWidth_(font, text); }, room);
    if (gluedNext && t == s && textWidth_(font, s + ".") >= room) t = gluedPrev ? "..." : s + "...";
    TCaptionDraw draw{t, font, font, left_, right_};
    if (t == "...") {
      if (!gluedPrev) return t == s;
      draw.Font = kFormCaptionPiece;
      draw.ColorOf = previous;
    }
    draws_.push_back(draw);
    const int advance = textWidth_(draw.Font, t);
    if (rightToLeft_) right_ -= advance;
    else left_ += advance;
    return t == s;
  }

  std::vector<TCaptionDraw> Take() { return std::move(draws_); }

private:
  int left_;
  int right_;
  bool rightToLeft_;
  const TCaptionTextWidth& textWidth_;
  std::vector<TCaptionDraw> draws_;
};

}  // namespace

std::vector<TCaptionDraw> LayoutCaptionTexts(const std::vector<TCaptionPartInfo>& parts,
                                             const std::string& formCaption, THideDirection direction,
                                             int left, int right, bool rightToLeft,
                                             const TCaptionTextWidth& textWidth) {
  const int count = static_cast<int>(parts.size());
  auto width = [&](int i) { return textWidth(i, parts[i].Caption); };
  CaptionWriter writer(left + 2, right, rightToLeft, textWidth);
  int w = 2;
  if (direction == hdLeftToRight) {
    for (int i = 0; i < count; ++i)
      if (parts[i].Visible) w += width(i);
    w += textWidth(kFormCaptionPiece, formCaption);
    // Drop parts from the front, with the parts glued to them, until the rest fits. The
    // widths taken off are those of the parts whether they show or not.
    int j = 0;
    while (writer.Room() < w && j < count) {
      w -= width(j);
      while (j < count - 1 && parts[j].GlueNext) {
        w -= width(j + 1);
        ++j;
      }
      ++j;
    }
    for (int i = j; i < count; ++i)
      writer.DrawPart(parts[i].Visible ? parts[i].Caption : std::string(), i, false, false, kFormCaptionPiece);
    writer.DrawPart(formCaption, kFormCaptionPiece, true, false, kFormCaptionPiece);
    return writer.Take();
  }

  // Take parts from the front while they fit, a part with those glued to it.
  int j = 0;
  while (writer.Room() > w && j < count) {
    if (parts[j].Visible) {
      w += width(j);
      while (parts[j].GlueNext && j < count - 1) {
        w += width(j + 1);
        ++j;
      }
    }
    ++j;
  }
  bool drawing = true;
  for (int i = 0; i < j; ++i) {
    if (!parts[i].Visible || !drawing || parts[i].Caption.empty()) continue;
    const bool gluedPrev = i == 0 || parts[i - 1].GlueNext;
    drawing = writer.DrawPart(parts[i].Caption, i, gluedPrev, parts[i].GlueNext, i - 1) &&
              (parts[i].GlueNext || writer.Room() > 0);
  }
  if (writer.Room() > 0 && drawing && !formCaption.empty())
    writer.DrawPart(formCaption, kFormCaptionPiece, false, false, kFormCaptionPiece);
  return writer.Take();
}
