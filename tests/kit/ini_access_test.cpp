#include "kit/ini_access.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/ini_file.h"

namespace {

struct FakeGrid {
  std::vector<int> widths;
  int ColCount() const { return static_cast<int>(widths.size()); }
  int ColWidths(int i) const { return widths.at(static_cast<size_t>(i)); }
  void SetColWidths(int i, int w) { widths.at(static_cast<size_t>(i)) = w; }
};

}  // namespace

TEST(IniAccess, DefaultNamesComeFromTheProgramFile) {
  EXPECT_EQ(DefaultIniFileName("C:\\Tools\\Hourlark.exe"), "Hourlark.INI");
  EXPECT_EQ(DefaultIniFileName("hl2demo"), "hl2demo.INI");
  EXPECT_EQ(DefaultRegistryKey("C:\\Tools\\Hourlark.exe"), "Software\\Hourlark");
}

TEST(IniAccess, OnlyStoresReadAndWrite) {
  TMemIniFile ini("no such folder/a.ini");
  IniWriteText(&ini, "S", "Text", "\"quoted\"");
  IniWriteNumber(&ini, "S", "Number", -5);
  EXPECT_EQ(ini.ReadString("S", "Text", ""), "\"quoted\"");  // kept as it is
  EXPECT_EQ(IniReadText(&ini, "S", "Text", "d"), "\"quoted\"");
  EXPECT_EQ(IniReadNumber(&ini, "S", "Number", 0), -5);
  EXPECT_EQ(IniReadNumber(&ini, "S", "Text", 9), 9);
  EXPECT_EQ(IniReadText(&ini, "S", "Missing", "d"), "d");

  TObject notAStore;
  IniWriteText(&notAStore, "S", "Text", "x");
  IniWriteNumber(nullptr, "S", "Number", 1);
  EXPECT_EQ(IniReadText(&notAStore, "S", "Text", "d"), "d");
  EXPECT_EQ(IniReadNumber(nullptr, "S", "Number", 3), 3);
}

TEST(IniAccess, ScreenKeyedValuesPreferTheCurrentResolution) {
  TMemIniFile ini("no such folder/b.ini");
  EXPECT_EQ(ScreenSizeSuffix(1024, 768), "(1024x768)");
  ini.WriteString("S", "NormPos", "plain");
  EXPECT_EQ(ReadScreenKeyed(&ini, "S", "NormPos", "(1024x768)"), "plain");
  WriteScreenKeyed(&ini, "S", "NormPos", "big", "(1280x1024)");
  EXPECT_EQ(ini.ReadString("S", "NormPos(1280x1024)", ""), "big");
  EXPECT_EQ(ini.ReadString("S", "NormPos", ""), "big");
  ini.WriteString("S", "NormPos", "other");
  EXPECT_EQ(ReadScreenKeyed(&ini, "S", "NormPos", "(1280x1024)"), "big");
}

TEST(IniAccess, GridWidthsRoundTripAndIgnoreMissingOrAbsurdValues) {
  TMemIniFile ini("no such folder/c.ini");
  FakeGrid grid{{64, 120, 30}};
  GridWidthsLoad(&grid, &ini, "Grid");
  EXPECT_EQ(grid.widths, (std::vector<int>{64, 120, 30}));
  GridWidthsSave(&grid, &ini, "Grid");
  EXPECT_EQ(ini.ReadString("Grid", "Item1", ""), "120");

  FakeGrid restored{{10, 10, 10, 10}};
  ini.WriteString("Grid", "Item2", "-40");
  ini.WriteString("Grid", "Item3", "99999999");
  GridWidthsLoad(&restored, &ini, "Grid");
  EXPECT_EQ(restored.widths, (std::vector<int>{64, 120, 10, 10}));
}
