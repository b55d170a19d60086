#pragma once
// Checks that the texts of a shown window fit their controls: each label, button, check box,
// radio button, group box caption, speed button and status panel is measured in its own font
// and compared with the room the control gives it. Used at every screen resolution the tests
// run at, so that a window that grows its fonts but not its controls is caught.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "kit/win/speed_button.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/handles.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"

namespace text_fit {

// The size of text drawn in font; a width limit above 0 wraps it at that width.
inline SIZE Measure(TFont* font, const std::string& text, bool prefix, int wrapWidth = 0) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  ScopedSelectObject chosen(dc.get(), font->Handle());
  RECT rect{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
  const bool lines = text.find('\n') != std::string::npos;
  UINT format = DT_CALCRECT | (prefix ? 0 : DT_NOPREFIX) | (wrapWidth > 0 ? DT_WORDBREAK : lines ? 0 : DT_SINGLELINE);
  // Measured as it is shown: the built-in texts from their own code page.
  const std::wstring shown = ShownText(text);
  DrawTextW(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &rect, format);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The controls of a window whose texts do not fit, one line each: where, what, and the room.
class Checker {
public:
  std::vector<std::string> Problems;

  void Check(TWinControl* root) {
    for (int i = 0; i < root->ControlCount(); ++i) {
      TControl* control = root->Controls(i);
      if (!control->Visible()) continue;
      // A control kept outside its parent's area (a focus holder) shows nothing.
      const RECT area = root->ClientRect();
      if (control->Left() >= area.right || control->Top() >= area.bottom || control->Left() + control->Width() <= 0 ||
          control->Top() + control->Height() <= 0)
        continue;
      CheckOne(control);
      if (auto* inner = dynamic_cast<TWinControl*>(control)) Check(inner);
    }
  }

private:
  void Report(TControl* control, const std::string& text, SIZE need, int width, int height) {
    Problems.push_back(control->Name() + " \"" + text + "\" needs " + std::to_string(need.cx) + "x" +
                       std::to_string(need.cy) + ", has " + std::to_string(width) + "x" + std::to_string(height));
  }

  void Expect(TControl* control, const std::string& text, SIZE need, int width, int height) {
    if (need.cx > width || need.cy > height) Report(control, text, need, width, height);
  }

  void CheckOne(TControl* control) {
    const std::string text = control->Caption();
    if (auto* label = dynamic_cast<TLabel*>(control)) {
      if (text.empty()) return;
      const bool wrap = label->WordWrap();
      SIZE need = Measure(label->Font(), text, label->ShowAccelChar(), wrap ? label->Width() : 0);
      Expect(control, text, need, label->Width(), label->Height());
    } else if (auto* check = dynamic_cast<TButtonControl*>(control)) {
      if (text.empty()) return;
      // The box, the gap after it and the focus rectangle's margin.
      const int box = GetSystemMetrics(SM_CXMENUCHECK) + 6;
      SIZE need = Measure(check->Font(), text, true);
      Expect(control, text, need, check->Width() - box, check->Height());
    } else if (dynamic_cast<TCustomButton*>(control) != nullptr) {
      if (text.empty()) return;
      SIZE need = Measure(control->Font(), text, true);
      Expect(control, text, need, control->Width() - 6, control->Height() - 4);
    } else if (auto* group = dynamic_cast<TGroupBox*>(control)) {
      if (text.empty()) return;
      SIZE need = Measure(group->Font(), text, true);
      Expect(control, text, need, group->Width() - 16, group->Height());
    } else if (auto* speed = dynamic_cast<TKitSpeedButton*>(control)) {
      if (text.empty()) return;
      SIZE need = Measure(speed->Font(), text, true);
      TBitmap* glyph = speed->Glyph();
      int glyphWidth = 0;
      if (glyph != nullptr && glyph->Width() > 0) glyphWidth = glyph->Width() / std::max(1, speed->NumGlyphs());
      const bool beside = speed->Layout() == blGlyphLeft || speed->Layout() == blGlyphRight;
      if (beside && glyphWidth > 0) need.cx += glyphWidth + std::max(0, speed->Spacing());
      Expect(control, text, need, speed->Width() - 4, speed->Height() - 2);
    } else if (auto* bar = dynamic_cast<TStatusBar*>(control)) {
      // Every panel but the last, which takes what is left of the bar.
      for (int i = 0; i + 1 < bar->Panels()->Count(); ++i) {
        TStatusPanel* panel = bar->Panels()->Items(i);
        if (panel->Text().empty()) continue;
        SIZE need = Measure(bar->Font(), panel->Text(), false);
        Expect(control, panel->Text(), need, panel->Width() - 6, bar->Height());
      }
    }
  }
};

// The problems of a window, joined for a test's message; empty when everything fits.
inline std::string ClippedTexts(TWinControl* window) {
  Checker checker;
  checker.Check(window);
  std::string joined;
  for (const std::string& line : checker.Problems) joined += line + "\n";
  return joined;
}

// The resolution the test run expects (HL_EXPECT_DPI), 0 when it does not say.
inline int ExpectedDpi() {
  const char* value = std::getenv("HL_EXPECT_DPI");
  return value != nullptr ? std::atoi(value) : 0;
}

}  // namespace text_fit
