#pragma once
// TScreen: what the program knows about the display (size, pixels per inch), the table of
// mouse cursors by number, the screen-wide cursor, and the live forms in creation order
// with the active one.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <map>
#include <vector>

#include "platform/rtl/component.h"

class TCustomForm;
class TWinControl;

// Cursor numbers: 0 and below are the library's predefined cursors, positive numbers are
// the program's own (registered with SetCursors).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

class TScreen : public TComponent {
public:
  // The first screen object made becomes the global Screen until it is deleted.
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // Size of the primary screen, through the replaceable screen-size function.
  int Width() const;
  int Height() const;
  int PixelsPerInch() const { return pixelsPerInch_; }

  // The screen-wide cursor: anything but crDefault overrides every control's own cursor
  // (the hourglass during long work). Takes effect at once.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  // The cursor handle for a number; unknown numbers answer the arrow. crNone answers null.
  HCURSOR Cursors(TCursor id) const;
  // Registers (or replaces) a cursor under a number; the caller keeps ownership of the
  // handle, which must live as long as the number may be used. A null handle removes the
  // number again.
  void SetCursors(TCursor id, HCURSOR cursor);

  // The live forms, in creation order.
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const;
  // The form that is active in this program, or nullptr; and its focused control.
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;

  // Kept up to date by the forms themselves.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form) { activeForm_ = form; }

private:
  int pixelsPerInch_ = 96;
  TCursor cursor_ = crDefault;
  std::map<TCursor, HCURSOR> cursors_;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
};

extern TScreen* Screen;
