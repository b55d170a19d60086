#include "platform/wcl/edit_mask.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters of 8-bit text: the ASCII ones and whatever lies above ASCII.
bool IsLetter(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
}

char ToCase(char c, int letterCase) {
  if (letterCase > 0 && c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (letterCase < 0 && c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

bool IsPlaceChar(char c) {
  switch (c) {
    case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': return true;
    default: return false;
  }
}

// The text of a field of the mask: from start up to the next ";" or the end.
std::string FieldAt(const std::string& mask, size_t start) {
  if (start >= mask.size()) return std::string();
  const size_t end = mask.find(';', start);
  return mask.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// Where the caret goes once place pos is filled or emptied: past it and the literals after
// it, unless nothing after them takes typing.
int CaretAfter(const TEditMask& mask, int pos) {
  const int next = mask.NextEditable(pos + 1);
  return next < mask.Length() ? next : pos + 1;
}

// The shown text cut or padded to the mask's length, so that every place has its character.
void Fit(const TEditMask& mask, TMaskEditState& state) {
  const std::string blank = mask.BlankText();
  if (state.Shown.size() > blank.size()) state.Shown.resize(blank.size());
  else if (state.Shown.size() < blank.size()) state.Shown += blank.substr(state.Shown.size());
  const int length = mask.Length();
  if (state.SelStart < 0) state.SelStart = 0;
  if (state.SelStart > length) state.SelStart = length;
  if (state.SelEnd < state.SelStart) state.SelEnd = state.SelStart;
  if (state.SelEnd > length) state.SelEnd = length;
}

void SetCaret(TMaskEditState& state, int caret) { state.SelStart = state.SelEnd = caret; }

// c is a literal that the caret stands on or has just stepped over: the caret goes past it.
bool StepsOverLiteral(const TEditMask& mask, TMaskEditState& state, char c) {
  for (int pos = state.SelStart; pos < mask.Length() && mask.IsLiteral(pos); ++pos)
    if (mask.LiteralAt(pos) == c) {
      SetCaret(state, CaretAfter(mask, pos));
      return true;
    }
  const int before = state.SelStart - 1;
  if (state.SelStart == state.SelEnd && before >= 0 && mask.IsLiteral(before) && mask.LiteralAt(before) == c)
    return true;
  return false;
}

}  // namespace

TEditMask::TEditMask(const std::string& mask, char dateSeparator, char timeSeparator) {
  int letterCase = 0;
  size_t i = 0;
  auto literal = [this, &letterCase](char c) { places_.push_back(Place{'\0', c, letterCase}); };
  for (; i < mask.size() && mask[i] != ';'; ++i) {
    const char c = mask[i];
    switch (c) {
      case '!': break;
      case '>': letterCase = 1; break;
      case '<':
        if (i + 1 < mask.size() && mask[i + 1] == '>') {
          letterCase = 0;
          ++i;
        } else {
          letterCase = -1;
        }
        break;
      case '\\':
        if (i + 1 < mask.size()) literal(mask[++i]);
        break;
      case '/': literal(dateSeparator); break;
      case ':': literal(timeSeparator); break;
      case '_': literal(' '); break;
      default:
        if (IsPlaceChar(c)) places_.push_back(Place{c, '\0', letterCase});
        else literal(c);
        break;
    }
  }
  if (i >= mask.size()) return;
  const std::string save = FieldAt(mask, i + 1);
  saveLiterals_ = save.empty() || save[0] != '0';
  const size_t blankField = mask.find(';', i + 1);
  if (blankField != std::string::npos && blankField + 1 < mask.size()) blank_ = mask[blankField + 1];
}

bool TEditMask::IsLiteral(int pos) const {
  return pos >= 0 && pos < Length() && places_[static_cast<size_t>(pos)].kind == '\0';
}

char TEditMask::LiteralAt(int pos) const { return IsLiteral(pos) ? places_[static_cast<size_t>(pos)].literal : '\0'; }

char TEditMask::Accept(int pos, char c) const {
  if (pos < 0 || pos >= Length() || static_cast<unsigned char>(c) < ' ') return '\0';
  const Place& place = places_[static_cast<size_t>(pos)];
  bool takes = false;
  switch (place.kind) {
    case '0': case '9': takes = IsDigit(c); break;
    case '#': takes = IsDigit(c) || c == '+' || c == '-'; break;
    case 'L': case 'l': takes = IsLetter(c); break;
    case 'A': case 'a': takes = IsLetter(c) || IsDigit(c); break;
    case 'C': case 'c': takes = true; break;
    default: break;
  }
  return takes ? ToCase(c, place.letterCase) : '\0';
}

int TEditMask::NextEditable(int pos) const {
  if (pos < 0) pos = 0;
  while (pos < Length() && IsLiteral(pos)) ++pos;
  return pos < Length() ? pos : Length();
}

int TEditMask::PrevEditable(int pos) const {
  if (pos > Length()) pos = Length();
  for (--pos; pos >= 0; --pos)
    if (!IsLiteral(pos)) return pos;
  return -1;
}

std::string TEditMask::BlankText() const {
  std::string text;
  text.reserve(places_.size());
  for (const Place& place : places_) text += place.kind == '\0' ? place.literal : blank_;
  return text;
}

std::string TEditMask::Lay(const std::string& text) const {
  std::string shown = BlankText();
  size_t next = 0;
  for (int pos = 0; pos < Length(); ++pos) {
    if (IsLiteral(pos)) {
      if (saveLiterals_ && next < text.size()) ++next;
      continue;
    }
    if (next >= text.size()) continue;
    if (const char c = Accept(pos, text[next++])) shown[static_cast<size_t>(pos)] = c;
  }
  return shown;
}

std::string TEditMask::Read(const std::string& shown) const {
  std::string text;
  for (int pos = 0; pos < Length(); ++pos) {
    const bool inside = static_cast<size_t>(pos) < shown.size();
    if (IsLiteral(pos)) {
      if (saveLiterals_) text += inside ? shown[static_cast<size_t>(pos)] : LiteralAt(pos);
      continue;
    }
    const char c = inside ? shown[static_cast<size_t>(pos)] : blank_;
    text += c == blank_ ? ' ' : c;
  }
  return text;
}

bool MaskClearSelection(const TEditMask& mask, TMaskEditState& state) {
  Fit(mask, state);
  if (state.SelStart == state.SelEnd) return false;
  for (int pos = state.SelStart; pos < state.SelEnd; ++pos)
    if (!mask.IsLiteral(pos)) state.Shown[static_cast<size_t>(pos)] = mask.Blank();
  SetCaret(state, state.SelStart);
  return true;
}

bool MaskTypeChar(const TEditMask& mask, TMaskEditState& state, char c) {
  Fit(mask, state);
  if (StepsOverLiteral(mask, state, c)) return true;
  const int pos = mask.NextEditable(state.SelStart);
  const char stored = mask.Accept(pos, c);
  if (stored == '\0') return false;
  MaskClearSelection(mask, state);
  state.Shown[static_cast<size_t>(pos)] = stored;
  SetCaret(state, CaretAfter(mask, pos));
  return true;
}

bool MaskBackspace(const TEditMask& mask, TMaskEditState& state) {
  Fit(mask, state);
  if (MaskClearSelection(mask, state)) return true;
  const int pos = mask.PrevEditable(state.SelStart);
  if (pos < 0) return false;
  state.Shown[static_cast<size_t>(pos)] = mask.Blank();
  SetCaret(state, pos);
  return true;
}

bool MaskDelete(const TEditMask& mask, TMaskEditState& state) {
  Fit(mask, state);
  if (MaskClearSelection(mask, state)) return true;
  const int pos = mask.NextEditable(state.SelStart);
  if (pos >= mask.Length()) return false;
  state.Shown[static_cast<size_t>(pos)] = mask.Blank();
  SetCaret(state, CaretAfter(mask, pos));
  return true;
}

bool MaskPaste(const TEditMask& mask, TMaskEditState& state, const std::string& text) {
  TMaskEditState work = state;
  Fit(mask, work);
  MaskClearSelection(mask, work);
  bool placed = false;
  for (char c : text) {
    if (work.SelStart >= mask.Length()) break;
    if (StepsOverLiteral(mask, work, c)) continue;
    const int pos = mask.NextEditable(work.SelStart);
    const char stored = mask.Accept(pos, c);
    if (stored == '\0') continue;
    work.Shown[static_cast<size_t>(pos)] = stored;
    SetCaret(work, CaretAfter(mask, pos));
    placed = true;
  }
  if (!placed) return false;
  state = work;
  return true;
}

int MaskCaretRight(const TEditMask& mask, int caret) {
  if (caret >= mask.Length()) return mask.Length();
  const int next = mask.NextEditable(caret + 1);
  return next < mask.Length() ? next : caret + 1;
}

int MaskCaretLeft(const TEditMask& mask, int caret) {
  const int previous = mask.PrevEditable(caret);
  return previous >= 0 ? previous : caret;
}

int MaskCaretHome(const TEditMask& mask) {
  const int first = mask.NextEditable(0);
  return first < mask.Length() ? first : 0;
}
