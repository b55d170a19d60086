#pragma once
// Checks that a shown window is whole and readable: every control lies inside its parent's
// client area (inside a group box's frame), no two visible siblings overlap unless one holds
// the other, and the text of each label, button, check box, radio button, group box caption,
// speed button, status panel and one-line edit fits the room the control gives it, measured
// in its own font. Used at every screen resolution, in both directions and with a language
// longer than the native one, so that a window that grows its texts but not its controls is
// caught.

#include "platform/rtl/win/windows_api.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kit/win/speed_button.h"
#include "kit/win/spin_edit.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/edit_controls.h"
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
    RECT area = root->ClientRect();
    // A group box's frame is two pixels wide on its sides and at its foot.
    if (dynamic_cast<TGroupBox*>(root) != nullptr) InflateRect(&area, -2, 0), area.bottom -= 2;
    std::vector<TControl*> shown;
    for (int i = 0; i < root->ControlCount(); ++i) {
      TControl* control = root->Controls(i);
      if (!control->Visible()) continue;
      const RECT r = control->BoundsRect();
      // A control kept outside its parent's area (a focus holder) shows nothing.
      if (r.left >= area.right || r.top >= area.bottom || r.right <= 0 || r.bottom <= 0) continue;
      // A spin edit's button lies over the edit's own frame; an edge (a designed pixel, as
      // the screen scales it) shared with the parent's frame or a neighbour's is one line.
      const bool part = dynamic_cast<TCustomEdit*>(root) != nullptr;
      const int edge = (GetDeviceCaps(WindowDc::ForClient(nullptr).get(), LOGPIXELSY) + 95) / 96;
      if (!part && (r.left < area.left - edge || r.top < area.top - edge || r.right > area.right + edge ||
                    r.bottom > area.bottom + edge))
        Problems.push_back(control->Name() + " " + Text(r) + " leaves " + Who(root) + "'s area " + Text(area));
      for (TControl* other : shown) {
        const RECT o = other->BoundsRect();
        RECT both;
        if (IntersectRect(&both, &r, &o) && both.right - both.left > edge && both.bottom - both.top > edge &&
            !Holds(r, o) && !Holds(o, r))
          Problems.push_back(control->Name() + " " + Text(r) + " overlaps " + Who(other) + " " + Text(o));
      }
      shown.push_back(control);
      CheckOne(control);
      if (auto* inner = dynamic_cast<TWinControl*>(control)) Check(inner);
    }
  }

private:
  static std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
  }
  static std::string Who(TControl* control) {
    return control->Name().empty() ? std::string(control->ClassName()) : control->Name();
  }
  static bool Holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }

  void Report(TControl* control, const std::string& text, SIZE need, int width, int height) {
    Problems.push_back(Who(control) + " \"" + text + "\" needs " + std::to_string(need.cx) + "x" +
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
    } else if (auto* edit = dynamic_cast<TKitSpinEdit*>(control)) {
      // A number: whole within the rectangle the edit writes in (which leaves out its
      // button), at full height. (Other edits scroll a long text, as the user types it.)
      if (text.empty() || !edit->HandleAllocated()) return;
      RECT room{};
      SendMessageA(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
      RECT client{};
      GetClientRect(edit->Handle(), &client);
      IntersectRect(&room, &room, &client);
      SIZE need = Measure(edit->Font(), text, false);
      Expect(control, text, need, room.right - room.left, client.bottom - client.top);
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

// A text as a longer language would have it: letters swapped for accented ones of the 1252
// code page (some outside Latin-1: S and Z with caron, Y with diaeresis), then 40 % more
// letters at its end in short words (from the same code page, among them the wide OE). Accelerator marks,
// format specifiers ("%d", "%.2f", "%s") and every other character stay as they are.
inline std::string Pseudo(const std::string& text) {
  static const std::string from = "aeioucnsyzAEIOUCNSYZ";
  static const std::string to = "\xE1\xE9\xED\xF6\xFC\xE7\xF1\x9A\xFD\x9E\xC1\xC9\xCD\xD6\xDC\xC7\xD1\x8A\x9F\x8E";
  static const std::string padding = "\x9C\x8A\x9E\x8C";
  std::string out;
  int letters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      const size_t end = text.find_first_not_of("-+0123456789.", i + 1);
      const size_t last = end == std::string::npos ? text.size() - 1 : end;
      out += text.substr(i, last - i + 1);
      i = last;
      continue;
    }
    const size_t at = from.find(c);
    out += at == std::string::npos ? c : to[at];
    if (std::isalpha(static_cast<unsigned char>(c))) ++letters;
  }
  // Words of at most six letters, as a language's own words would be.
  const int more = static_cast<int>((text.size() * 4 + 9) / 10);
  for (int i = 0; i < more && letters > 0; ++i) out += i % 7 == 6 ? ' ' : padding[i % padding.size()];
  return out;
}

// The problems of a window shown in a setting (a direction, a language), with one line on
// the output for the table of the run: "text-fit <dpi> <setting> <window> pass|fail".
inline std::string Verdict(TWinControl* window, const std::string& name, const std::string& setting) {
  const std::string problems = ClippedTexts(window);
  std::printf("text-fit %d %s %s %s\n", GetDeviceCaps(WindowDc::ForClient(nullptr).get(), LOGPIXELSY),
              setting.c_str(), name.c_str(), problems.empty() ? "pass" : "fail");
  std::fflush(stdout);
  return problems;
}

// The resolution the test run expects (HL_EXPECT_DPI), 0 when it does not say.
inline int ExpectedDpi() {
  const char* value = std::getenv("HL_EXPECT_DPI");
  return value != nullptr ? std::atoi(value) : 0;
}

}  // namespace text_fit
