#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "platform/rtl/date_time.h"
#include "platform/rtl/exceptions.h"

namespace {

TDateTime PinnedNow() { return EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 30, 456); }

// Fixed English settings and a clock standing at 2026-03-15 10:20:30.456.
class DateTimeTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = DefaultFormatSettings();
    SetClock(&PinnedNow);
  }
  void TearDown() override {
    SetClock(nullptr);
    ResetFormatSettings();
  }

  static TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, m, d) + EncodeTime(h, n, s, ms);
  }
};

// 2026-03-05 14:07:09.045, a Thursday.
const TDateTime kSample = EncodeDate(2026, 3, 5) + EncodeTime(14, 7, 9, 45);

using TryParseFn = bool (*)(const std::string&, TDateTime&, const TFormatSettings&);
using ParseFn = TDateTime (*)(const std::string&, const TFormatSettings&);

// Every text must fail without touching the value.
void ExpectRejected(TryParseFn parse, std::initializer_list<const char*> texts) {
  for (const char* text : texts) {
    TDateTime value = 7;
    EXPECT_FALSE(parse(text, value, FormatSettings())) << text;
    EXPECT_EQ(value, 7) << text;
  }
}

// The message of the conversion error that the raising form gives for `text`.
std::string ErrorOf(ParseFn parse, const std::string& text) {
  try {
    parse(text, FormatSettings());
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace

TEST_F(DateTimeTest, EveryDayOfTheCalendarRoundTrips) {
  TDateTime previous = EncodeDate(1, 1, 1) - 1;
  int expectedDow = DayOfWeek(EncodeDate(1, 1, 1));
  ASSERT_EQ(expectedDow, 2);  // 0001-01-01 was a Monday
  int failures = 0;
  for (int y = 1; y <= 9999 && failures < 5; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        const TDateTime dt = EncodeDate(y, m, d);
        int yy, mm, dd;
        DecodeDate(dt, yy, mm, dd);
        if (dt != previous + 1 || yy != y || mm != m || dd != d || DayOfWeek(dt) != expectedDow) {
          ADD_FAILURE() << y << "-" << m << "-" << d << " -> " << dt << " " << yy << "-" << mm
                        << "-" << dd;
          ++failures;
        }
        previous = dt;
        expectedDow = expectedDow % 7 + 1;
      }
  EXPECT_EQ(previous, 2958465);  // 9999-12-31
}

TEST_F(DateTimeTest, KnownSerialsAndWeekdays) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(DayOfWeek(1), 1);                          // 1899-12-31, Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);     // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 5) + 0.9), 5);  // Thursday, late
  EXPECT_EQ(DayOfWeek(-1.75), 6);                      // 1899-12-29 18:00, Friday
}

TEST_F(DateTimeTest, TimesDecodeExactlyOnAnyDate) {
  const TDateTime days[] = {EncodeDate(1, 1, 1), EncodeDate(1899, 12, 29), 0,
                            EncodeDate(2026, 3, 5), EncodeDate(9999, 12, 31)};
  int failures = 0;
  for (TDateTime day : days)
    for (int sec = 0; sec < SecsPerDay && failures < 5; sec += 7) {
      const int h = sec / 3600, n = sec / 60 % 60, s = sec % 60, ms = (sec * 37) % 1000;
      const TDateTime time = EncodeTime(h, n, s, ms);
      const TDateTime dt = day >= 0 ? day + time : day - time;
      int y1, m1, d1, y2, m2, d2, hh, nn, ss, zz;
      DecodeDate(day, y1, m1, d1);
      DecodeDate(dt, y2, m2, d2);
      DecodeTime(dt, hh, nn, ss, zz);
      if (hh != h || nn != n || ss != s || zz != ms || y1 != y2 || m1 != m2 || d1 != d2) {
        ADD_FAILURE() << day << " " << h << ":" << n << ":" << s << "." << ms << " -> " << hh
                      << ":" << nn << ":" << ss << "." << zz;
        ++failures;
      }
    }
  int h, n, s, ms;
  DecodeTime(EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
}

TEST_F(DateTimeTest, NegativeValuesKeepTheFractionAsTimeOfDay) {
  int y, m, d, h, n, s, ms;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
  DecodeDate(-0.5, y, m, d);
  DecodeTime(-0.5, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
  EXPECT_EQ(h, 12);
}

TEST_F(DateTimeTest, DecodingRoundsToTheMillisecond) {
  int y, m, d, h, n, s, ms;
  const TDateTime almostMidnight = EncodeDate(2026, 3, 5) + 0.9999999999;
  DecodeDate(almostMidnight, y, m, d);
  DecodeTime(almostMidnight, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20260306);
  EXPECT_EQ(h + n + s + ms, 0);
  DecodeTime(EncodeTime(0, 0, 0, 1) * 0.6, h, n, s, ms);
  EXPECT_EQ(ms, 1);
}

TEST_F(DateTimeTest, ValuesOutsideTheCalendarDecodeAsZero) {
  const TDateTime bad[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), 1e300, -1e300,
                           EncodeDate(1, 1, 1) - 1, EncodeDate(9999, 12, 31) + 1};
  for (TDateTime dt : bad) {
    int y = 9, m = 9, d = 9, h = 9, n = 9, s = 9, ms = 9;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    EXPECT_EQ(y + m + d + h + n + s + ms, 0) << dt;
    EXPECT_EQ(DayOfWeek(dt), 0) << dt;
    // Formatting such a value must not index the name tables out of range.
    EXPECT_EQ(FormatDateTime("ddd|dddd|mmm|mmmm", dt), "|||") << dt;
  }
}

TEST_F(DateTimeTest, InvalidArgumentsAreRejected) {
  TDateTime value = 42;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, value));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, value));
  EXPECT_FALSE(TryEncodeDate(2000, 13, 1, value));
  EXPECT_FALSE(TryEncodeDate(2000, 0, 1, value));
  EXPECT_FALSE(TryEncodeDate(2000, 4, 31, value));
  EXPECT_FALSE(TryEncodeDate(2000, 1, 0, value));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, value));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, value));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, value));
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(23, 59, 59, 1000), EConvertError);
}

TEST_F(DateTimeTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_EQ(DaysInMonth(2023, 0), 0);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST_F(DateTimeTest, IncMonthCutsToTheMonthAndKeepsTheTime) {
  EXPECT_EQ(IncMonth(At(2024, 1, 31, 8, 30)), At(2024, 2, 29, 8, 30));
  EXPECT_EQ(IncMonth(At(2023, 1, 31)), At(2023, 2, 28));
  EXPECT_EQ(IncMonth(At(2023, 3, 31), -1), At(2023, 2, 28));
  EXPECT_EQ(IncMonth(At(2023, 12, 15), 1), At(2024, 1, 15));
  EXPECT_EQ(IncMonth(At(2023, 1, 15), -13), At(2021, 12, 15));
  EXPECT_EQ(IncMonth(At(2023, 5, 15), 0), At(2023, 5, 15));
  EXPECT_EQ(IncMonth(-1.25), EncodeDate(1900, 1, 29) + 0.25);
  EXPECT_THROW(IncMonth(At(9999, 12, 1)), EConvertError);
  EXPECT_THROW(IncMonth(At(1, 1, 1), -1), EConvertError);
}

TEST_F(DateTimeTest, ReplaceTimeKeepsTheDate) {
  TDateTime dt = At(2026, 3, 5, 14, 7);
  ReplaceTime(dt, At(1999, 1, 1, 6));
  EXPECT_EQ(dt, At(2026, 3, 5, 6));
  dt = -1.75;
  ReplaceTime(dt, 0.25);
  EXPECT_EQ(dt, -1.25);
}

TEST_F(DateTimeTest, NowDateAndTimeReadTheReplaceableClock) {
  EXPECT_EQ(Now(), PinnedNow());
  EXPECT_EQ(Date(), EncodeDate(2026, 3, 15));
  EXPECT_EQ(Time(), EncodeTime(10, 20, 30, 456));
  const ClockFn previous = SetClock(nullptr);
  EXPECT_EQ(previous, &PinnedNow);
  EXPECT_EQ(SetClock(&PinnedNow), &SystemClock);
  // The system clock gives a plausible local time with a time of day below one day.
  const TDateTime now = SystemClock();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_LT(now, EncodeDate(2200, 1, 1));
}

TEST_F(DateTimeTest, FormatsDayMonthAndYearTokens) {
  EXPECT_EQ(FormatDateTime("d dd ddd dddd", kSample), "5 05 Thu Thursday");
  EXPECT_EQ(FormatDateTime("m mm mmm mmmm", kSample), "3 03 Mar March");
  EXPECT_EQ(FormatDateTime("y yy yyy yyyy", kSample), "26 26 2026 2026");
  EXPECT_EQ(FormatDateTime("MMMM DD, YYYY", kSample), "March 05, 2026");
  EXPECT_EQ(FormatDateTime("ddddd|dddddd", kSample), "3/5/2026|Thursday, March 5, 2026");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(7, 1, 1)), "0007");
  EXPECT_EQ(FormatDateTime("yy", EncodeDate(2005, 1, 1)), "05");
}

TEST_F(DateTimeTest, FormatsTimeTokens) {
  EXPECT_EQ(FormatDateTime("h hh n nn s ss z zzz", kSample), "14 14 7 07 9 09 45 045");
  EXPECT_EQ(FormatDateTime("hhh:nnn:sss:zzzz", kSample), "14:07:09:045");
  EXPECT_EQ(FormatDateTime("t|tt", kSample), "2:07 PM|2:07:09 PM");
  EXPECT_EQ(FormatDateTime("c", kSample), "3/5/2026 2:07:09 PM");
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5)), "3/5/2026");
  EXPECT_EQ(FormatDateTime("", kSample), "3/5/2026 2:07:09 PM");
}

TEST_F(DateTimeTest, MonthRightAfterAnHourMeansMinutes) {
  EXPECT_EQ(FormatDateTime("hh:mm", kSample), "14:07");
  EXPECT_EQ(FormatDateTime("h:m:s", kSample), "14:7:9");
  EXPECT_EQ(FormatDateTime("hh mm", kSample), "14 07");
  EXPECT_EQ(FormatDateTime("mm hh", kSample), "03 14");
  EXPECT_EQ(FormatDateTime("hh dd mm", kSample), "14 05 03");
  EXPECT_EQ(FormatDateTime("hh:MMMM", kSample), "14:07");
}

TEST_F(DateTimeTest, AmPmTokensSwitchToTwelveHours) {
  EXPECT_EQ(FormatDateTime("h:nn am/pm", kSample), "2:07 pm");
  EXPECT_EQ(FormatDateTime("h:nn AM/PM", kSample), "2:07 PM");
  EXPECT_EQ(FormatDateTime("h:nn Am/pM", At(2026, 3, 5, 9)), "9:00 Am");
  EXPECT_EQ(FormatDateTime("h:nn a/p", kSample), "2:07 p");
  EXPECT_EQ(FormatDateTime("h:nn A/P", At(2026, 3, 5, 9)), "9:00 A");
  EXPECT_EQ(FormatDateTime("hh:nn ampm", At(2026, 3, 5, 0, 5)), "12:05 AM");
  EXPECT_EQ(FormatDateTime("hh:nn ampm", At(2026, 3, 5, 12, 5)), "12:05 PM");
  EXPECT_EQ(FormatDateTime("ampm h", kSample), "PM 2");
  EXPECT_EQ(FormatDateTime("h 'am/pm' hh", kSample), "14 am/pm 14");
  EXPECT_EQ(FormatDateTime("a x", kSample), "a x");
  TFormatSettings german = DefaultFormatSettings();
  german.TimeAMString = "vorm.";
  german.TimePMString = "nachm.";
  EXPECT_EQ(FormatDateTime("h:nn ampm", kSample, german), "2:07 nachm.");
}

TEST_F(DateTimeTest, SeparatorsAndQuotedText) {
  TFormatSettings fs = DefaultFormatSettings();
  fs.DateSeparator = '.';
  fs.TimeSeparator = '-';
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", kSample, fs), "05.03.2026 14-07");
  EXPECT_EQ(FormatDateTime("'dd/mm' \"hh:nn\" dd", kSample, fs), "dd/mm hh:nn 05");
  EXPECT_EQ(FormatDateTime("\"unclosed dd", kSample, fs), "unclosed dd");
  EXPECT_EQ(FormatDateTime("[dd] - #", kSample, fs), "[05] - #");
  fs.DateSeparator = '\0';
  EXPECT_EQ(FormatDateTime("dd/mm", kSample, fs), "0503");
}

TEST_F(DateTimeTest, SelfReferringFormatsStop) {
  FormatSettings().ShortDateFormat = "ddddd|dd";
  FormatSettings().LongTimeFormat = "c";
  EXPECT_EQ(DateToStr(kSample), "|05|05");
  EXPECT_EQ(DateTimeToStr(kSample), "|05  ");
}

TEST_F(DateTimeTest, DateTimeTextsFollowTheProcessSettings) {
  EXPECT_EQ(DateToStr(kSample), "3/5/2026");
  EXPECT_EQ(TimeToStr(kSample), "2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(kSample), "3/5/2026 2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(-1.25), "12/29/1899 6:00:00 AM");
  FormatSettings().ShortDateFormat = "dd.mm.yyyy";
  FormatSettings().LongTimeFormat = "hh:nn:ss";
  EXPECT_EQ(DateTimeToStr(kSample), "05.03.2026 14:07:09");
}

TEST_F(DateTimeTest, ParsesDatesInTheShortDateOrder) {
  EXPECT_EQ(StrToDate("3/5/2026"), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDate("  03 / 05 / 2026  "), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDate("3/5"), EncodeDate(2026, 3, 5));  // the clock's year
  EXPECT_EQ(StrToDate("3/5/2026/"), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDate("2/29/2024"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(StrToDate("12/30/1899"), 0);
  EXPECT_EQ(StrToDate("12/31/9999"), 2958465);

  TFormatSettings dmy = DefaultFormatSettings();
  dmy.ShortDateFormat = "dd/mm/yyyy";
  dmy.DateSeparator = '.';
  EXPECT_EQ(StrToDate("3.4", dmy), EncodeDate(2026, 4, 3));
  EXPECT_EQ(StrToDate("3.4.2026.", dmy), EncodeDate(2026, 4, 3));
  EXPECT_EQ(StrToDate("03.04.26", dmy), EncodeDate(2026, 4, 3));
  EXPECT_EQ(StrToDate("03.04.2027", dmy), EncodeDate(2027, 4, 3));
  TDateTime value;
  EXPECT_FALSE(TryStrToDate("3/4/2026", value, dmy));
  EXPECT_FALSE(TryStrToDate("3.4.2026x", value, dmy));

  TFormatSettings ymd = DefaultFormatSettings();
  ymd.ShortDateFormat = "yyyy/mm/dd";
  ymd.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2026-03-05", ymd), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDate("26-03-05", ymd), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDate("3-5", ymd), EncodeDate(2026, 3, 5));  // month, day
}

TEST_F(DateTimeTest, TwoDigitYearsFollowTheCenturyWindow) {
  // The clock stands in 2026; a window of 50 covers 1976..2075.
  EXPECT_EQ(StrToDate("1/1/76"), EncodeDate(1976, 1, 1));
  EXPECT_EQ(StrToDate("1/1/75"), EncodeDate(2075, 1, 1));
  EXPECT_EQ(StrToDate("1/1/00"), EncodeDate(2000, 1, 1));
  EXPECT_EQ(StrToDate("1/1/5"), EncodeDate(2005, 1, 1));
  EXPECT_EQ(StrToDate("1/1/0099"), EncodeDate(99, 1, 1));  // four digits are taken as written
  FormatSettings().TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(StrToDate("1/1/99"), EncodeDate(2099, 1, 1));
  EXPECT_EQ(StrToDate("1/1/75"), EncodeDate(2075, 1, 1));
  FormatSettings().TwoDigitYearCenturyWindow = 10;  // 2016..2115
  EXPECT_EQ(StrToDate("1/1/15"), EncodeDate(2115, 1, 1));
  EXPECT_EQ(StrToDate("1/1/16"), EncodeDate(2016, 1, 1));
}

TEST_F(DateTimeTest, RejectsInvalidDates) {
  ExpectRejected(&TryStrToDate,
                 {"", " ", "abc", "3", "3/", "/5/2026", "3//5", "3/5/", "2/30/2026", "13/1/2026",
                  "0/1/2026", "1/0/2026", "1/1/0000", "3/5/2026/7", "12345/1/1", "1/1/12345",
                  "3/5/2026 x", "3-5-2026", "-3/5/2026", "3/5/10000"});
  EXPECT_EQ(ErrorOf(&StrToDate, "31/31"), "'31/31' is not a valid date");
}

TEST_F(DateTimeTest, ParsesTimes) {
  EXPECT_EQ(StrToTime("14:07:09"), EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(StrToTime(" 14 : 07 "), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime("0"), 0);  // a bare hour
  EXPECT_EQ(StrToTime("5"), EncodeTime(5, 0, 0, 0));
  EXPECT_EQ(StrToTime("2:07 PM"), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime("2:07:09 pm"), EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(StrToTime("PM 2:07"), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime("12:30 AM"), EncodeTime(0, 30, 0, 0));
  EXPECT_EQ(StrToTime("12:30 PM"), EncodeTime(12, 30, 0, 0));
  EXPECT_EQ(StrToTime("23:59:59"), EncodeTime(23, 59, 59, 0));

  TFormatSettings german = DefaultFormatSettings();
  german.TimeSeparator = '.';
  german.TimeAMString = "vorm.";
  german.TimePMString = "nachm.";
  EXPECT_EQ(StrToTime("14.07", german), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime("2.07 NACHM.", german), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToTime("2.07 PM", german), EncodeTime(14, 7, 0, 0));
  TDateTime value;
  EXPECT_FALSE(TryStrToTime("14:07", value, german));
}

TEST_F(DateTimeTest, RejectsInvalidTimes) {
  ExpectRejected(&TryStrToTime, {"", "  ", "abc", "24:00", "12:60", "1:2:60", "1:", "1::2",
                                 "1:2:", ":30", "0:30 AM", "13:00 PM", "AM", "1:2:3:4", "1:2 x",
                                 "10000:00", "-1:00", "1:30 AM PM"});
  EXPECT_EQ(ErrorOf(&StrToTime, "25:00"), "'25:00' is not a valid time");
}

TEST_F(DateTimeTest, ParsesDateAndTimeTogether) {
  EXPECT_EQ(StrToDateTime("3/5/2026 14:07:09"), At(2026, 3, 5, 14, 7, 9));
  EXPECT_EQ(StrToDateTime("3/5/2026 2:07 PM"), At(2026, 3, 5, 14, 7));
  EXPECT_EQ(StrToDateTime("3/5/2026"), EncodeDate(2026, 3, 5));
  EXPECT_EQ(StrToDateTime("3/5 6:00"), At(2026, 3, 5, 6));
  EXPECT_EQ(StrToDateTime("14:07"), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToDateTime("12/29/1899 6:00"), -1.25);
  // Text after the time is refused as well as text after the date.
  ExpectRejected(&TryStrToDateTime,
                 {"", "3/5/2026 junk", "3/5/2026 14:07 junk", "3/5/2026 25:00", "3/5/2026 14:"});
  EXPECT_EQ(ErrorOf(&StrToDateTime, "3/5/2026 x"), "'3/5/2026 x' is not a valid date and time");
}

TEST_F(DateTimeTest, FormattedTextsParseBack) {
  TFormatSettings german = DefaultFormatSettings();
  german.DateSeparator = '.';
  german.ShortDateFormat = "dd/mm/yyyy";
  german.LongTimeFormat = "hh:nn:ss";
  TFormatSettings iso = DefaultFormatSettings();
  iso.DateSeparator = '-';
  iso.ShortDateFormat = "yyyy/mm/dd";
  for (const TFormatSettings& fs : {DefaultFormatSettings(), german, iso}) {
    for (TDateTime dt = EncodeDate(1, 1, 1); dt < EncodeDate(9999, 12, 31); dt += 997.37) {
      int y, m, d, h, n, s, ms;
      DecodeDate(dt, y, m, d);
      DecodeTime(dt, h, n, s, ms);
      const TDateTime day = EncodeDate(y, m, d), time = EncodeTime(h, n, s, 0);
      const TDateTime expected = dt >= 0 ? day + time : day - time;
      EXPECT_EQ(StrToDate(DateToStr(dt, fs), fs), day) << DateToStr(dt, fs);
      EXPECT_EQ(StrToTime(TimeToStr(dt, fs), fs), time) << TimeToStr(dt, fs);
      EXPECT_EQ(StrToDateTime(DateTimeToStr(dt, fs), fs), expected) << DateTimeToStr(dt, fs);
    }
  }
}
