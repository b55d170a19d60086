// The kit's cuts and searches on a double-byte code page: shortened texts, the tray tip, button
// captions, the pick list's type-ahead and file names keep every character whole.

#include <string>

#include "kit/draw_grid_logic.h"
#include "kit/draw_utils.h"
#include "kit/file_utils.h"
#include "kit/filename_edit_logic.h"
#include "kit/glyph_layout.h"
#include "kit/sort_grid_logic.h"
#include "kit/tray_icon_logic.h"
#include "tests/support/code_page_932.h"

namespace {

class DoubleByteKit : public CodePage932Test {};

// Five pixels a byte: a double-byte character is as wide as two single ones.
int ByteWidth(const std::string& text) { return static_cast<int>(text.size()) * 5; }

TEST_F(DoubleByteKit, ShorteningDropsWholeCharacters) {
  struct Case {
    std::string text;
    int maxWidth;
    std::string withThreeDots;
    std::string withTwoDots;
  } cases[] = {
      {CP932_HYO CP932_HYO CP932_HYO CP932_HYO, 30, CP932_HYO "...", CP932_HYO CP932_HYO ".."},
      {"ab" CP932_PO "cdef", 30, "ab...", "ab" CP932_PO ".."},
      {"ab" CP932_PO "cdef", 25, "ab...", "ab.."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.withThreeDots, ShortenTextToWidth(c.text, ByteWidth, c.maxWidth)) << c.maxWidth;
    EXPECT_EQ(c.withTwoDots, ShortenHeaderText(c.text, c.maxWidth, ByteWidth)) << c.maxWidth;
  }
}

TEST_F(DoubleByteKit, GridSearchFindsOnlyWholeCharacters) {
  struct Case {
    std::string cell;
    std::string text;
    bool caseSensitive;
    bool found;
  } cases[] = {
      {CP932_A, "A", true, false},
      {CP932_A, "a", false, false},
      {CP932_DI, "A", false, false},
      {CP932_A "a", "A", false, true},
      {CP932_A "x", CP932_A, true, true},
  };
  for (const Case& c : cases) {
    TSearchSpec spec;
    spec.Text = c.text;
    spec.CaseSensitive = c.caseSensitive;
    EXPECT_EQ(c.found, CellContains(c.cell, spec)) << c.cell << " / " << c.text;
  }
}

TEST_F(DoubleByteKit, TrayTipSplitsAtARealBarAndCutsWholeCharacters) {
  struct Case {
    std::string hint;
    std::string tip;
  } cases[] = {
      {CP932_PO "ru", CP932_PO "ru"},
      {CP932_PO "ru|long hint", CP932_PO "ru"},
      {std::string(62, 'x') + CP932_HYO, std::string(62, 'x')},
      {std::string(61, 'x') + CP932_HYO, std::string(61, 'x') + CP932_HYO},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.tip, TrayTipText(c.hint));
    EXPECT_EQ(c.tip, MakeTrayRecord(1, 2, c.hint).Tip);
  }
}

TEST_F(DoubleByteKit, ButtonCaptionIsCutToWholeCharacters) {
  const std::string caption = std::string(254, 'a') + CP932_HYO;
  EXPECT_EQ(std::string(254, 'a'), MinimizeCaption(caption, 10000, true, ByteWidth));
}

TEST_F(DoubleByteKit, TypeAheadAddsADoubleByteCharacterWholeOrNotAtAll) {
  TTypeAheadText text;
  for (int i = 0; i < 30; ++i) text.Add('x', 1000);
  text.Add(CP932_PO[0], 1000);
  EXPECT_EQ(std::string(30, 'x') + CP932_PO, text.Add(CP932_PO[1], 1000));
  text.Clear();
  for (int i = 0; i < 31; ++i) text.Add('x', 1000);
  text.Add(CP932_PO[0], 1000);
  EXPECT_EQ(std::string(31, 'x'), text.Add(CP932_PO[1], 1000)) << "no room for both bytes";
}

TEST_F(DoubleByteKit, FileNamesWithTrailBytesOfReservedCharactersAreAccepted) {
  EXPECT_TRUE(AcceptableFileName(CP932_PO ".txt"));
  EXPECT_TRUE(IsValidFileName(CP932_ZE CP932_PO ".txt"));
  EXPECT_FALSE(IsValidFileName(CP932_ZE "|.txt"));
  EXPECT_EQ(std::string(CP932_PO "\0*.txt\0\0\0", 10), DialogFilterBuffer(CP932_PO "|*.txt"));
  const char result[] = "C:\\" CP932_HYO "\0a.txt\0";
  const std::vector<std::string> names = DialogResultNames(result, sizeof result);
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ("C:\\" CP932_HYO "\\a.txt", names[0]);
}

}  // namespace
