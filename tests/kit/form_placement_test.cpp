#include "kit/form_placement.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

namespace {

std::string RectText(const TPlacementRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

class FormPlacementTest : public ::testing::Test {
protected:
  TWindowPlacementData Sample() const {
    TWindowPlacementData p;
    p.Flags = 0;
    p.ShowCmd = 1;
    p.MinPosition = {-1, -1};
    p.MaxPosition = {-4, -4};
    p.NormalPosition = {100, 50, 500, 350};
    return p;
  }
  // The window as it stands now: 10,10 to 210,110.
  TWindowPlacementData Current() const {
    TWindowPlacementData p;
    p.Flags = 2;
    p.NormalPosition = {10, 10, 210, 110};
    return p;
  }
  bool Read(TWindowPlacementData& p, const std::string& suffix = "(1024x768)", int ppi = 96,
            bool sizeable = true) {
    TPlacementForm form{10, 10, 200, 100, sizeable};
    return ReadPlacementPosition(&ini, "Main", suffix, ppi, form, p);
  }
  void Store(const std::string& name, const std::string& value) {
    ini.WriteString("Main", name, value);
  }

  TMemIniFile ini{"no such folder/placement.ini"};
};

}  // namespace

TEST_F(FormPlacementTest, LayoutIsWrittenInOrderWithAndWithoutTheScreenSuffix) {
  WritePlacementValues(&ini, "Main", Sample(), 96, "(1024x768)");
  WriteFormStateValues(&ini, "Main", "edUser", false);
  TStringList names;
  ini.ReadSection("Main", &names);
  EXPECT_EQ(names.Text(),
            "Flags\r\nShowCmd\r\nPixelsPerInch\r\nMinMaxPos(1024x768)\r\nMinMaxPos\r\n"
            "NormPos(1024x768)\r\nNormPos\r\nActiveControl\r\nVisible\r\n");
  EXPECT_EQ(ini.ReadString("Main", "ShowCmd", ""), "1");
  EXPECT_EQ(ini.ReadString("Main", "PixelsPerInch", ""), "96");
  EXPECT_EQ(ini.ReadString("Main", "MinMaxPos", ""), "-1,-1,-4,-4");
  EXPECT_EQ(ini.ReadString("Main", "NormPos(1024x768)", ""), "100,50,500,350");
  EXPECT_EQ(ini.ReadString("Main", "Visible", ""), "0");

  TMemIniFile other("no such folder/other.ini");
  WriteFormStateValues(&other, "Main", "", true);
  EXPECT_FALSE(other.ValueExists("Main", "ActiveControl"));
  EXPECT_EQ(other.ReadString("Main", "Visible", ""), "1");
}

TEST_F(FormPlacementTest, StoredPositionRoundTripsAndPrefersTheCurrentResolution) {
  WritePlacementValues(&ini, "Main", Sample(), 96, "(1024x768)");
  TWindowPlacementData p = Current();
  ASSERT_TRUE(Read(p));
  EXPECT_EQ(p.Flags, 0u);
  EXPECT_EQ(p.MaxPosition.X, -4);
  EXPECT_EQ(p.NormalPosition.Right, 500);

  // At another resolution the plain value serves; back at 1024x768 its own value wins.
  Store("NormPos", "0,0,300,200");
  p = Current();
  ASSERT_TRUE(Read(p, "(1280x1024)"));
  EXPECT_EQ(p.NormalPosition.Right, 300);
  p = Current();
  ASSERT_TRUE(Read(p, "(1024x768)"));
  EXPECT_EQ(p.NormalPosition.Right, 500);
}

TEST_F(FormPlacementTest, MissingWordsAndValuesTakeTheirDefaults) {
  // Only left and top stored: the form comes back there at its own size.
  Store("NormPos", "300 , 20");
  TWindowPlacementData p = Current();
  ASSERT_TRUE(Read(p));  // no PixelsPerInch counts as a match
  EXPECT_EQ(RectText(p.NormalPosition), "300,20,500,120");
  EXPECT_EQ(p.Flags, 2u);  // current flags

  // A word that is no number takes its default alone; the other words still count.
  Store("NormPos", "100,abc,500,x");
  p = Current();
  ASSERT_TRUE(Read(p));
  EXPECT_EQ(RectText(p.NormalPosition), "100,10,500,110");
  Store("NormPos", "1,2,301,402,5");  // words after the fourth are not read
  p = Current();
  ASSERT_TRUE(Read(p));
  EXPECT_EQ(RectText(p.NormalPosition), "1,2,301,402");
  // A font scaling that is no number counts as the current one.
  Store("PixelsPerInch", "lots");
  p = Current();
  ASSERT_TRUE(Read(p));
  EXPECT_EQ(RectText(p.NormalPosition), "1,2,301,402");
  Store("PixelsPerInch", "");

  Store("MinMaxPos", "5,x");
  Store("Flags", "junk");
  p = Current();
  ASSERT_TRUE(Read(p));
  EXPECT_EQ(p.MinPosition.X, 5);
  EXPECT_EQ(p.MinPosition.Y, 0);
  EXPECT_EQ(p.MaxPosition.Y, 0);
  EXPECT_EQ(p.Flags, 2u);
}

TEST_F(FormPlacementTest, FixedBorderFormsKeepTheirSize) {
  Store("NormPos", "40,30,900,900");
  TWindowPlacementData p = Current();
  ASSERT_TRUE(Read(p, "(1024x768)", 96, false));
  EXPECT_EQ(p.NormalPosition.Left, 40);
  EXPECT_EQ(p.NormalPosition.Right, 240);
  EXPECT_EQ(p.NormalPosition.Bottom, 130);
  Store("NormPos", "2147483600,0,2147483647,50");
  p = Current();
  EXPECT_FALSE(Read(p, "(1024x768)", 96, false));
}

TEST_F(FormPlacementTest, UnusablePositionsLeaveThePlacementUnchanged) {
  const TWindowPlacementData before = Current();
  auto unchanged = [&](const char* what) {
    TWindowPlacementData p = before;
    EXPECT_FALSE(Read(p)) << what;
    EXPECT_EQ(p.NormalPosition.Left, before.NormalPosition.Left) << what;
    EXPECT_EQ(p.Flags, before.Flags) << what;
  };
  unchanged("nothing stored");
  Store("Flags", "0");
  Store("NormPos", "100,50,100,350");
  unchanged("no width");
  Store("NormPos", "100,350,500,350");
  unchanged("bottom at top");
  Store("NormPos", "100,400,500,350");
  unchanged("bottom above top");
  Store("NormPos", "100,50,500,350");
  Store("PixelsPerInch", "120");
  unchanged("other font scaling");
  Store("PixelsPerInch", " 96 ");
  TWindowPlacementData p = before;
  EXPECT_TRUE(Read(p));
}

TEST_F(FormPlacementTest, ShowCommandsSelectTheState) {
  using S = TStoredState;
  for (int cmd : {1, 5, 9}) EXPECT_EQ(StateFromShowCmd(cmd, S::Maximized), S::Normal) << cmd;
  for (int cmd : {2, 6, 7}) EXPECT_EQ(StateFromShowCmd(cmd, S::Normal), S::Minimized) << cmd;
  EXPECT_EQ(StateFromShowCmd(3, S::Normal), S::Maximized);
  for (int cmd : {0, 4, 8, 10, -1}) EXPECT_EQ(StateFromShowCmd(cmd, S::Maximized), S::Maximized);

  EXPECT_EQ(DefaultRestoreState(true, false, true), S::Maximized);
  EXPECT_EQ(DefaultRestoreState(true, true, false), S::Maximized);
  EXPECT_EQ(DefaultRestoreState(false, true, true), S::Normal);
  EXPECT_EQ(DefaultRestoreState(true, false, false), S::Normal);

  EXPECT_EQ(ReadStoredShowCmd(&ini, "Main"), 0);
  Store("ShowCmd", "3");
  EXPECT_EQ(ReadStoredShowCmd(&ini, "Main"), 3);
}
