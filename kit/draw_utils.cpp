#include "kit/draw_utils.h"

#include <cstring>
#include <limits>

#include "platform/rtl/ansi_chars.h"

int MulDivRound(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t magnitude = product < 0 ? -product : product;
  int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
  int64_t quotient = (magnitude + divisor / 2) / divisor;
  if ((product < 0) != (denominator < 0)) quotient = -quotient;
  if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(quotient);
}

// ---- Gradient fill -----------------------------------------------------------------------

namespace {

int Channel(int32_t rgb, int shift) { return (rgb >> shift) & 0xFF; }

int32_t Rgb(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

}  // namespace

std::vector<TGradientBand> GradientBands(int left, int top, int right, int bottom, int32_t startRgb,
                                         int32_t endRgb, int direction, int colors) {
  std::vector<TGradientBand> bands;
  if (right <= left || bottom <= top || direction < gdTopToBottom || direction > gdRightToLeft) return bands;
  const bool reversed = direction == gdBottomToTop || direction == gdRightToLeft;
  const bool vertical = direction == gdTopToBottom || direction == gdBottomToTop;
  const int32_t first = reversed ? endRgb : startRgb;
  const int32_t last = reversed ? startRgb : endRgb;
  const int extent = vertical ? bottom - top : right - left;
  const int count = IntMax(1, IntMin(colors, extent));
  const int size = extent / count;
  if (size <= 0) return bands;

  // A band from offset `from` to `to` along the gradient, across the whole rectangle.
  auto band = [&](int from, int to, int32_t color) {
    return vertical ? TGradientBand{left, top + from, right, top + to, color}
                    : TGradientBand{left + from, top, left + to, bottom, color};
  };
  for (int i = 0; i < count; ++i) {
    int channels[3];
    for (int c = 0; c < 3; ++c) {
      const int a = Channel(first, c * 8);
      const int b = Channel(last, c * 8);
      channels[c] = count == 1 ? a : a + MulDivRound(i, b - a, count - 1);
    }
    bands.push_back(band(i * size, (i + 1) * size, Rgb(channels[0], channels[1], channels[2])));
  }
  if (count * size < extent) bands.push_back(band(count * size, extent, (last & 0xFFFFFF) | kPaletteRelativeFlag));
  return bands;
}

// ---- Texts -------------------------------------------------------------------------------

std::string ShortenTextToWidth(const std::string& text, const std::function<int(const std::string&)>& textWidth,
                               int maxWidth) {
  std::string result = text;
  const size_t count = AnsiCharCount(text);
  size_t removed = 0;
  while (textWidth(result) > maxWidth && removed < count) {
    removed = removed == 0 ? 2 : removed + 1;
    if (removed > count) removed = count;
    result = AnsiDropLastChars(text, removed) + "...";
  }
  return result;
}

int MirroredAlignment(int alignment) {
  if (alignment == kAlignLeft) return kAlignRight;
  if (alignment == kAlignRight) return kAlignLeft;
  return alignment;
}

int CellTextX(int left, int right, int dx, int textWidth, int alignment) {
  switch (alignment) {
    case kAlignRight:
      return right - textWidth - 3;
    case kAlignCenter:
      return left + (right - left) / 2 - textWidth / 2;
    default:
      return left + dx;
  }
}

unsigned CellTextFlags(int alignment, bool wordWrap, bool rightToLeft) {
  // Expand tabs (0x40) and no prefix character (0x800), then left 0, centre 1 or right 2.
  unsigned flags = 0x840;
  if (alignment == kAlignRight) flags |= 0x2;
  if (alignment == kAlignCenter) flags |= 0x1;
  if (wordWrap) flags |= 0x10;
  if (rightToLeft) flags |= 0x20000;
  return flags;
}

int CellTextOffsetY(int vertical, int cellHeight, int textHeight) {
  switch (vertical) {
    case 1:
      return IntMax(1, (cellHeight - textHeight) / 2);
    case 2:
      return IntMax(2, cellHeight - textHeight);
    default:
      return 2;
  }
}

// ---- Command line ------------------------------------------------------------------------

namespace {

// A blank or control character; the end of the text (0) is not one.
bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

}  // namespace

const char* GetParamToken(const char* P, std::string& Token) {
  Token.clear();
  // Blanks, and quote pairs that make an empty argument, stand before the token.
  for (;;) {
    while (IsSeparator(*P)) ++P;
    if (P[0] == '"' && P[1] == '"') {
      P += 2;
      continue;
    }
    break;
  }
  // The token grows as long as it needs: a quoted path as long as the system allows must not
  // come back cut.
  while (static_cast<unsigned char>(*P) > 32) {
    if (*P == '"') {
      ++P;
      while (*P != '\0' && *P != '"') Token += *P++;
      if (*P == '"') ++P;
    } else {
      Token += *P++;
    }
  }
  return P;
}

int CountParamTokens(const char* P) {
  int count = 0;
  std::string token;
  for (;;) {
    P = GetParamToken(P, token);
    if (token.empty()) return count;
    ++count;
  }
}

void GetParamTokenN(const char* P, int N, std::string& Token) {
  Token.clear();
  if (N < 0) return;
  for (int i = 0; i <= N; ++i) {
    P = GetParamToken(P, Token);
    if (Token.empty()) return;
  }
}

void SplitCommandLine(const std::string& CmdLine, std::string& FileName, std::string& Params) {
  FileName.clear();
  Params.clear();
  std::unique_ptr<char[]> copy = StrNewCopy(CmdLine);
  std::string token;
  const char* p = GetParamToken(copy.get(), token);
  if (token.empty()) return;
  FileName = token;
  for (p = GetParamToken(p, token); !token.empty(); p = GetParamToken(p, token)) {
    if (!Params.empty()) Params += ' ';
    // A token that came from a quoted part with a tab in it needs its quotes as much as one
    // with a blank, or Params would split differently.
    bool quote = false;
    for (char c : token) quote = quote || IsSeparator(c);
    Params += quote ? '"' + token + '"' : token;
  }
}

std::unique_ptr<char[]> StrNewCopy(const std::string& S) {
  std::unique_ptr<char[]> copy(new char[S.size() + 1]);
  std::memcpy(copy.get(), S.data(), S.size());
  copy[S.size()] = '\0';
  return copy;
}
