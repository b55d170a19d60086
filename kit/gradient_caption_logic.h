#pragma once
// The arithmetic of the gradient caption, free of any window: where a form's caption bar lies
// inside its window rectangle (which border icons really show, how many buttons they take,
// how thick the frame is), where the small icon goes, and which caption parts are drawn, cut
// and where, when the bar is too narrow for all of them. The component that paints with it
// is kit/win/gradient_caption.h.

#include <functional>
#include <string>
#include <vector>

// Border styles, in the order of the window library's form border styles.
enum TCaptionBorderStyle { cbsNone, cbsSingle, cbsSizeable, cbsDialog, cbsToolWindow, cbsSizeToolWin };

// Border icons as a mask, with the values of the window library's form border icons.
constexpr unsigned kCaptionSystemMenu = 1;
constexpr unsigned kCaptionMinimize = 2;
constexpr unsigned kCaptionMaximize = 4;
constexpr unsigned kCaptionHelp = 8;

// Which parts give way when the bar is too narrow: the first ones, or the last ones.
enum THideDirection { hdLeftToRight, hdRightToLeft };

// The system metrics the caption rectangle depends on.
struct TCaptionMetrics {
  int FrameX = 4;       // SM_CXFRAME
  int FrameY = 4;       // SM_CYFRAME
  int DlgFrameX = 3;    // SM_CXDLGFRAME
  int DlgFrameY = 3;    // SM_CYDLGFRAME
  int Caption = 19;     // SM_CYCAPTION
  int SmCaption = 15;   // SM_CYSMCAPTION
  int Size = 18;        // SM_CXSIZE
  int SmSize = 15;      // SM_CXSMSIZE
};

struct TCaptionRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// The icons a form of this border style really shows: a dialog only the system menu and
// help, tool windows only the system menu; otherwise no minimise or maximise without the
// system menu, and no help beside a minimise or maximise button.
unsigned EffectiveCaptionIcons(TCaptionBorderStyle style, unsigned icons);
// The caption buttons the effective icons take; a lone minimise or maximise counts twice
// (the system shows both buttons, one disabled).
int CaptionButtonCount(unsigned effectiveIcons);
// The caption bar, text area only (the buttons cut off at the right), of a window whose
// rectangle is window; the effective icons come back in effectiveIcons.
TCaptionRect CaptionRectOf(const TCaptionRect& window, TCaptionBorderStyle style, unsigned icons,
                           const TCaptionMetrics& metrics, unsigned& effectiveIcons);
// The small icon's place in a bar of the given top and bottom (relative to the bar).
void CaptionIconPos(int barLeft, int barTop, int barBottom, int iconWidth, int iconHeight, int& x, int& y);

// One part of the caption text as the layout needs it.
struct TCaptionPartInfo {
  std::string Caption;
  bool Visible = true;
  bool GlueNext = false;  // belongs with the next part: given up together with it
};

// Index of the form caption text among the drawn pieces (after the parts).
constexpr int kFormCaptionPiece = -1;

// One text drawn in the bar: Font is the part whose font is selected (kFormCaptionPiece for
// the component's), ColorOf the part whose colour it is drawn in (kFormCaptionPiece for the
// component's font colour). Left and Right bound the rectangle it is drawn in.
struct TCaptionDraw {
  std::string Text;
  int Font = kFormCaptionPiece;
  int ColorOf = kFormCaptionPiece;
  int Left = 0;
  int Right = 0;
};

// Measures a text in the font of a part (kFormCaptionPiece: the component's font).
using TCaptionTextWidth = std::function<int(int font, const std::string& text)>;

// The texts drawn between left and right for the parts and the form caption, in the order
// drawn. Left to right: the first parts (and the parts glued to them) are dropped until the
// rest fits; every other part and the form caption is drawn, cut with "..." when needed.
// Right to left: the parts that fit are taken from the front, the form caption only when
// they all fit and room remains. rightToLeft mirrors where the texts go (they are drawn
// from the right edge back).
std::vector<TCaptionDraw> LayoutCaptionTexts(const std::vector<TCaptionPartInfo>& parts,
                                             const std::string& formCaption, THideDirection direction,
                                             int left, int right, bool rightToLeft,
                                             const TCaptionTextWidth& textWidth);
