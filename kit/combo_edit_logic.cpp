#include "kit/combo_edit_logic.h"

#include <algorithm>

bool PopupValueIsNull(const TPopupValue& value) { return std::holds_alternative<std::monostate>(value); }

std::string PopupValueText(const TPopupValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* date = std::get_if<TDateTime>(&value)) return DateToStr(*date);
  return "";
}

TPopupPlace PopupPlace(const TComboRect& editRect, int popupWidth, int popupHeight, const TComboRect& workArea,
                       TPopupAlign align) {
  const int areaRight = workArea.Left + workArea.Width;
  const int areaBottom = workArea.Top + workArea.Height;
  TPopupPlace place;
  place.Y = editRect.Top + editRect.Height;
  if (place.Y + popupHeight > areaBottom) place.Y = std::max(editRect.Top - popupHeight, workArea.Top);
  if (align == epaRight) {
    place.X = editRect.Left - (popupWidth - editRect.Width);
    if (place.X < workArea.Left) place.X = editRect.Left;
  } else {
    place.X = editRect.Left;
    if (place.X + popupWidth > areaRight) place.X -= popupWidth - editRect.Width;
  }
  if (place.X + popupWidth > areaRight) place.X = areaRight - popupWidth;
  if (place.X < workArea.Left) place.X = workArea.Left;
  return place;
}

TComboRect ComboButtonPlace(int width, int height, int buttonWidth, bool sunkenBorder) {
  if (sunkenBorder) return {width - buttonWidth - 4, 0, buttonWidth, height - 4};
  return {width - buttonWidth, 0, buttonWidth, height};
}

int ComboTextRight(int clientWidth, int hostWidth) { return clientWidth - hostWidth - 2; }

int ComboMinHeight(int systemFontHeight, int fontHeight, int borderHeight) {
  return std::min(systemFontHeight, fontHeight) + 4 * borderHeight + 1;
}

int ComboButtonWidthFor(TGlyphKind kind, int glyphWidth, int numGlyphs, int currentWidth, int scrollBarWidth) {
  switch (kind) {
    case gkDefault:
      if (glyphWidth <= 0) return currentWidth;
      return std::max(glyphWidth / std::max(numGlyphs, 1) + 6, currentWidth);
    case gkDropDown: return scrollBarWidth;
    default: return currentWidth;
  }
}

TEllipsisDots ComboEllipsisDots(int buttonWidth) {
  TEllipsisDots dots;
  dots.BitmapWidth = std::max(1, buttonWidth - 6);
  const int w = dots.BitmapWidth;
  dots.Gap = std::clamp((w - 6) / 2, 1, 3);
  dots.FirstX = (w - 6 - 2 * dots.Gap) / 2;
  return dots;
}

unsigned short ComboShortCut(unsigned short key, bool shift, bool ctrl, bool alt) {
  unsigned short code = key & 0xFF;
  if (shift) code |= scShift;
  if (ctrl) code |= scCtrl;
  if (alt) code |= scAlt;
  return code;
}
