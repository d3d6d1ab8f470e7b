#include "DateTime.h"
#include "Errors.h"
#include "Recorders.h"
#include "Variant.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TDateSettings DayMonthYear() {
  TDateSettings Settings;
  Settings.ShortDateFormat = "dd/mm/yyyy";
  Settings.LongTimeFormat = "hh:nn:ss";
  Settings.DateSeparator = '.';
  Settings.TimeSeparator = ':';
  return Settings;
}

TEST(DateTime, SerialsCountDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  for (const TDateTime Serial : {-693593.0, -1.0, 0.0, 36526.0, 60000.0, 2958465.0}) {
    int Year = 0, Month = 0, Day = 0;
    DecodeDate(Serial, Year, Month, Day);
    EXPECT_EQ(EncodeDate(Year, Month, Day), Serial);
  }
  EXPECT_THROW((void)EncodeDate(2001, 2, 29), EConvertError);
  EXPECT_THROW((void)EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(DateTime, TextFollowsTheSettings) {
  TScopedDateSettings Settings(DayMonthYear());
  const TDateTime Moment = EncodeDate(2000, 1, 2) + EncodeTime(13, 5, 9, 0);
  EXPECT_EQ(DateToStr(Moment), "02.01.2000");
  EXPECT_EQ(TimeToStr(Moment), "13:05:09");
  EXPECT_EQ(DateTimeToStr(Moment), "02.01.2000 13:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2000, 1, 2)), "02.01.2000") << "midnight shows no time";
  EXPECT_EQ(FormatDateTime("d/m/yy h:mm am/pm 'at' zzz", Moment), "2.1.00 1:05 pm at 000");
  EXPECT_EQ(FormatDateTime("ddd d mmm yyyy", Moment), "Sun 2 Jan 2000");
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", EncodeTime(0, 0, 0, 7)), "00:00:00.007");
}

TEST(DateTime, DatesParseInTheOrderOfTheShortFormat) {
  const struct {
    const char* Format;
    const char* Text;
    bool Valid;
    int Year, Month, Day;
  } Cases[] = {
      {"dd/mm/yyyy", "02.01.2000", true, 2000, 1, 2},
      {"m/d/yyyy", "1.2.2000", true, 2000, 1, 2},
      {"yyyy/mm/dd", "2000.01.02", true, 2000, 1, 2},
      {"dd/mm/yyyy", " 2 . 1 . 2000 ", true, 2000, 1, 2},
      {"dd/mm/yyyy", "31.02.2000", false, 0, 0, 0},
      {"dd/mm/yyyy", "02.01.2000x", false, 0, 0, 0},
      {"dd/mm/yyyy", "2000", false, 0, 0, 0},
      {"dd/mm/yyyy", "", false, 0, 0, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Format) + " " + Case.Text);
    TDateSettings Settings = DayMonthYear();
    Settings.ShortDateFormat = Case.Format;
    TScopedDateSettings Scoped(Settings);
    TDateTime Value = 0;
    ASSERT_EQ(TryStrToDate(Case.Text, Value), Case.Valid);
    if (Case.Valid) {
      EXPECT_EQ(Value, EncodeDate(Case.Year, Case.Month, Case.Day));
    }
  }
}

TEST(DateTime, TwoDigitYearsAndTimes) {
  TScopedDateSettings Settings(DayMonthYear());
  int ThisYear = 0, Month = 0, Day = 0;
  DecodeDate(Now(), ThisYear, Month, Day);
  int Year = 0;
  DecodeDate(StrToDate("1.1." + std::to_string((ThisYear + 10) % 100)), Year, Month, Day);
  EXPECT_EQ(Year, ThisYear + 10) << "two-digit years fall within 50 years of today";
  DecodeDate(StrToDate("5.6"), Year, Month, Day);
  EXPECT_EQ(Year, ThisYear) << "a date without year is in this year";

  EXPECT_DOUBLE_EQ(StrToTime("13:05:09"), EncodeTime(13, 5, 9, 0));
  EXPECT_DOUBLE_EQ(StrToTime("1:05 PM"), EncodeTime(13, 5, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime("12:00 am"), 0);
  EXPECT_THROW((void)StrToTime("25:00"), EConvertError);
  EXPECT_THROW((void)StrToDate("abc"), EConvertError);
}

TEST(DateTime, SystemLocaleGivesUsableSettings) {
  const TDateSettings Settings = TDateSettings::FromSystemLocale();
  EXPECT_FALSE(Settings.ShortDateFormat.empty());
  EXPECT_FALSE(Settings.LongTimeFormat.empty());
  TScopedDateSettings Scoped(Settings);
  const TDateTime Day = EncodeDate(2024, 11, 23);
  TDateTime Back = 0;
  // Text written with the system's settings reads back as the same day when
  // the format is numeric; month names are for display only.
  if (Settings.ShortDateFormat.find("mmm") == std::string::npos) {
    ASSERT_TRUE(TryStrToDate(DateToStr(Day), Back)) << DateToStr(Day);
    EXPECT_EQ(Back, Day);
  }
}

TEST(Variant, ConversionsBetweenKinds) {
  TScopedDateSettings Settings(DayMonthYear());
  EXPECT_EQ(TVariant().ToString(), "");
  EXPECT_EQ(TVariant().ToInteger(), 0);
  EXPECT_EQ(TVariant().ToDouble(), 0);
  EXPECT_EQ(TVariant(42).ToString(), "42");
  EXPECT_EQ(TVariant(12.5).ToString(), "12.5");
  EXPECT_EQ(TVariant(2.5).ToInteger(), 2) << "halves go to the even neighbour";
  EXPECT_EQ(TVariant(3.5).ToInteger(), 4);
  EXPECT_EQ(TVariant("12").ToInteger(), 12);
  EXPECT_EQ(TVariant("12.5").ToDouble(), 12.5);
  EXPECT_EQ(TVariant::FromDateTime(EncodeDate(2000, 1, 2)).ToString(), "02.01.2000");
  EXPECT_EQ(TVariant::FromDateTime(36526.25).ToDouble(), 36526.25);
  EXPECT_THROW((void)TVariant("abc").ToInteger(), EConvertError);
  EXPECT_THROW((void)TVariant("abc").ToDouble(), EConvertError);
  EXPECT_THROW((void)TVariant(1e12).ToInteger(), EConvertError);
  EXPECT_EQ(TVariant(5).VarType(), varInteger);
  EXPECT_NE(TVariant(5.0), TVariant(5)) << "kinds stay apart";
}

} // namespace
