#pragma once
// The edit mask of a masked edit, apart from any window: what each place of the text takes,
// how a text is laid out under the mask and read back from it, and what typing, erasing and
// pasting do to the text and the caret.
//
// A mask is up to three fields separated by ";": the places, whether the literals are part of
// the text read back ("0" no; anything else, or no field, yes), and the placeholder shown in
// unfilled places ("_" when the field is missing or empty). Places:
//   0 9       a digit (0 required, 9 optional)
//   #         a digit, "+" or "-"
//   L l       a letter (any character from 0x80 up counts as one: 8-bit text)
//   A a       a letter or a digit
//   C c       any character from the blank up
//   > <       what follows is typed in upper / lower case; "<>" ends the conversion
//   \         the next character is a literal
//   /  :      the date and the time separator
//   _         a blank
//   !         accepted; unfilled places read back as blanks where they stand in any case
// Any other character is a literal. Required places are kept as typed; leaving a required
// place empty is not refused.

#include <string>
#include <vector>

class TEditMask {
public:
  // No mask: every operation below is meaningless; Empty() answers true.
  TEditMask() = default;
  // The separators are those of the process format settings when the mask is used.
  TEditMask(const std::string& mask, char dateSeparator, char timeSeparator);

  bool Empty() const { return places_.empty(); }
  // The number of characters the edit shows.
  int Length() const { return static_cast<int>(places_.size()); }
  bool SaveLiterals() const { return saveLiterals_; }
  char Blank() const { return blank_; }

  bool IsLiteral(int pos) const;
  // What literal place pos shows ('\0' for a place that takes typing).
  char LiteralAt(int pos) const;
  // c as place pos stores it (case converted), or '\0' when the place does not take c.
  char Accept(int pos, char c) const;
  // The first place at or after pos that takes typing; Length() when none.
  int NextEditable(int pos) const;
  // The last place before pos that takes typing; -1 when none.
  int PrevEditable(int pos) const;

  // What the edit shows with nothing typed: literals and placeholders.
  std::string BlankText() const;
  // A text (as Text is set) shown under the mask. With saved literals each literal place
  // uses up one character of text, whatever it is; without, text holds only the typed
  // characters. A character that a place does not take leaves the place unfilled.
  std::string Lay(const std::string& text) const;
  // The text of what the edit shows: placeholders read as blanks, literals kept only when
  // they are saved.
  std::string Read(const std::string& shown) const;

private:
  struct Place {
    char kind;     // the mask character of a place that takes typing; '\0' for a literal
    char literal;  // what a literal place shows
    int letterCase;  // -1 lower, 0 as typed, 1 upper
  };
  std::vector<Place> places_;
  bool saveLiterals_ = true;
  char blank_ = '_';
};

// What the edit shows and its selection (start <= end, both within the text).
struct TMaskEditState {
  std::string Shown;
  int SelStart = 0;
  int SelEnd = 0;
};

// The editing operations under a mask. Each answers false when it refused (nothing changed:
// the edit beeps); otherwise the state holds the new text with the caret (an empty
// selection) where the next character goes.

// A typed character: it fills the first place at or after the selection's start that takes
// typing (the selection is emptied first); the caret then skips the literals that follow.
// Typing a literal that stands at the caret, or that the caret has just skipped, only moves
// the caret past it.
bool MaskTypeChar(const TEditMask& mask, TMaskEditState& state, char c);
// Backspace: empties the selection, or else the place before the caret, and puts the caret
// there.
bool MaskBackspace(const TEditMask& mask, TMaskEditState& state);
// Delete: empties the selection, or else the place at the caret; the caret goes past it.
bool MaskDelete(const TEditMask& mask, TMaskEditState& state);
// Empties the selection's places (Cut and Clear); false when the selection is empty.
bool MaskClearSelection(const TEditMask& mask, TMaskEditState& state);
// Pasted text, typed character by character from the selection's start: characters that no
// place takes are left out, literals of the text that match the mask's are stepped over.
// False when nothing of it could be placed.
bool MaskPaste(const TEditMask& mask, TMaskEditState& state, const std::string& text);

// Where the caret goes with the arrow keys and Home: one place to the right or left, over
// the literals in between; Home goes to the first place that takes typing.
int MaskCaretRight(const TEditMask& mask, int caret);
int MaskCaretLeft(const TEditMask& mask, int caret);
int MaskCaretHome(const TEditMask& mask);
