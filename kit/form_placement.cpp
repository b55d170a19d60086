#include "kit/form_placement.h"

#include <climits>

#include "kit/ini_access.h"
#include "kit/str_utils.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/sysutils.h"

namespace {

// Position values are words separated by blanks or commas.
const char* const PositionDelimiters = " ,";

std::string JoinFour(int a, int b, int c, int d) {
  return IntToStr(a) + "," + IntToStr(b) + "," + IntToStr(c) + "," + IntToStr(d);
}

// Word n of a position as a number, or fallback when the word is missing or no number.
int PositionWord(const std::string& text, int n, int fallback) {
  int value;
  return TryStrToInt(GetWord(n, text, PositionDelimiters), value) ? value : fallback;
}

// A stored PixelsPerInch matches when it is absent, no number (read as the current value)
// or names the current value.
bool SameScaling(TObject* store, const std::string& section, int pixelsPerInch) {
  int stored;
  return !TryStrToInt(Trim(IniReadText(store, section, "PixelsPerInch", std::string())), stored) ||
         stored == pixelsPerInch;
}

}  // namespace

void WritePlacementValues(TObject* store, const std::string& section,
                          const TWindowPlacementData& placement, int pixelsPerInch,
                          const std::string& screenSuffix) {
  IniWriteNumber(store, section, "Flags", static_cast<int>(placement.Flags));
  IniWriteNumber(store, section, "ShowCmd", static_cast<int>(placement.ShowCmd));
  IniWriteNumber(store, section, "PixelsPerInch", pixelsPerInch);
  const auto& minPos = placement.MinPosition;
  const auto& maxPos = placement.MaxPosition;
  WriteScreenKeyed(store, section, "MinMaxPos", JoinFour(minPos.X, minPos.Y, maxPos.X, maxPos.Y),
                   screenSuffix);
  const auto& r = placement.NormalPosition;
  WriteScreenKeyed(store, section, "NormPos", JoinFour(r.Left, r.Top, r.Right, r.Bottom),
                   screenSuffix);
}

void WriteFormStateValues(TObject* store, const std::string& section,
                          const std::string& activeControl, bool destroying) {
  auto* ini = dynamic_cast<TCustomIniFile*>(store);
  if (ini == nullptr) return;
  if (!activeControl.empty()) ini->WriteString(section, "ActiveControl", activeControl);
  ini->WriteBool(section, "Visible", destroying);
}

bool ReadPlacementPosition(TObject* store, const std::string& section,
                           const std::string& screenSuffix, int pixelsPerInch,
                           const TPlacementForm& form, TWindowPlacementData& placement) {
  TWindowPlacementData read = placement;
  bool found = false;
  read.Flags = static_cast<unsigned>(
      IniReadNumber(store, section, "Flags", static_cast<int>(placement.Flags)));

  const std::string minMax = ReadScreenKeyed(store, section, "MinMaxPos", screenSuffix);
  if (!minMax.empty()) {
    found = true;
    read.MinPosition = {PositionWord(minMax, 1, 0), PositionWord(minMax, 2, 0)};
    read.MaxPosition = {PositionWord(minMax, 3, 0), PositionWord(minMax, 4, 0)};
  }
  const std::string normal = ReadScreenKeyed(store, section, "NormPos", screenSuffix);
  if (!normal.empty()) {
    found = true;
    // A missing right or bottom keeps the form's size from the stored left and top; the
    // sums are made wide so that far-out corners cannot wrap round.
    const int left = PositionWord(normal, 1, form.Left);
    const int top = PositionWord(normal, 2, form.Top);
    const long long right = static_cast<long long>(left) + form.Width;
    const long long bottom = static_cast<long long>(top) + form.Height;
    if (right > INT_MAX || bottom > INT_MAX) return false;
    read.NormalPosition = {left, top, PositionWord(normal, 3, static_cast<int>(right)),
                           PositionWord(normal, 4, static_cast<int>(bottom))};
  }
  // A placement saved at another font scaling does not fit this one.
  if (!found || !SameScaling(store, section, pixelsPerInch)) return false;

  TPlacementRect& r = read.NormalPosition;
  if (!form.Sizeable) {
    // Far-out stored corners must not overflow into a rectangle that looks sound.
    const long long right = static_cast<long long>(r.Left) + form.Width;
    const long long bottom = static_cast<long long>(r.Top) + form.Height;
    if (right > INT_MAX || bottom > INT_MAX) return false;
    r.Right = static_cast<int>(right);
    r.Bottom = static_cast<int>(bottom);
  }
  if (r.Right <= r.Left || r.Bottom <= r.Top) return false;
  placement = read;
  return true;
}

TStoredState DefaultRestoreState(bool mainFormOrNone, bool mdiFrame, bool defaultPosition) {
  return mainFormOrNone && (mdiFrame || defaultPosition) ? TStoredState::Maximized
                                                         : TStoredState::Normal;
}

TStoredState StateFromShowCmd(int showCmd, TStoredState fallback) {
  switch (showCmd) {
    case 1: case 5: case 9: return TStoredState::Normal;
    case 2: case 6: case 7: return TStoredState::Minimized;
    case 3: return TStoredState::Maximized;
    default: return fallback;
  }
}

int ReadStoredShowCmd(TObject* store, const std::string& section) {
  return IniReadNumber(store, section, "ShowCmd", 0);
}
