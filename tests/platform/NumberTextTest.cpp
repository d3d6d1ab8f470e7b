#include "NumberText.h"
#include "Errors.h"
#include "Format.h"

#include <QLocale>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct TFloatTextCase {
  const char* Name;
  const char* Text;
  bool Valid;
  Extended Value;
};

const TFloatTextCase FloatTextCases[] = {
    {"integer", "12", true, 12},
    {"fraction", "12.5", true, 12.5},
    {"leading_point", ".5", true, 0.5},
    {"trailing_point", "5.", true, 5},
    {"negative", "-2.25", true, -2.25},
    {"plus_sign", "+3", true, 3},
    {"exponent", "1E6", true, 1e6},
    {"signed_exponent", "2.5e-3", true, 2.5e-3L},
    {"blanks_around", "  7.5\t", true, 7.5},
    {"comma_is_not_a_decimal_separator", "2,5", false, 0},
    {"letters", "abc", false, 0},
    {"empty", "", false, 0},
    {"only_a_point", ".", false, 0},
    {"double_sign", "+-5", false, 0},
    {"infinity_word", "inf", false, 0},
    {"nan_word", "nan", false, 0},
    {"hexadecimal", "0x10", false, 0},
    {"trailing_garbage", "12.5m", false, 0},
    {"inner_blank", "1 2", false, 0},
    {"overflow", "1e99999", false, 0},
};

TEST(NumberText, FloatTextIsParsedWithThePointOnly) {
  for (const TFloatTextCase& Case : FloatTextCases) {
    SCOPED_TRACE(Case.Name);
    Extended Value = -1;
    EXPECT_EQ(TryStrToFloat(Case.Text, Value), Case.Valid);
    if (Case.Valid) {
      EXPECT_EQ(Value, Case.Value);
    }
  }
  EXPECT_THROW((void)StrToFloat("abc"), EConvertError);
}

TEST(NumberText, IntegerTextMustBeWholeAndInRange) {
  const struct {
    const char* Text;
    bool Valid;
    std::int32_t Value;
  } Cases[] = {{"12", true, 12},
               {"-7", true, -7},
               {"+7", true, 7},
               {" 42 ", true, 42},
               {"2147483647", true, INT32_MAX},
               {"-2147483648", true, INT32_MIN},
               {"2147483648", false, 0},
               {"12.5", false, 0},
               {"", false, 0},
               {"1e3", false, 0}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    std::int32_t Value = -1;
    EXPECT_EQ(TryStrToInt(Case.Text, Value), Case.Valid);
    if (Case.Valid) {
      EXPECT_EQ(Value, Case.Value);
    }
  }
  EXPECT_THROW((void)StrToInt("x"), EConvertError);
}

TEST(NumberText, FloatToStrGivesFifteenSignificantDigits) {
  const struct {
    Extended Value;
    const char* Text;
  } Cases[] = {{12.5L, "12.5"},
               {0.1 + 0.2, "0.3"},
               {100, "100"},
               {-2.5L, "-2.5"},
               {0, "0"},
               {1e20L, "1E20"},
               {1.5e-7L, "1.5E-7"},
               {0.00001L, "0.00001"},
               {0.000001L, "1E-6"},
               {999999999999999.0L, "999999999999999"},
               {1e15L, "1E15"},
               {123456789012345678.0L, "1.23456789012346E17"},
               {1.0L / 3, "0.333333333333333"}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(FloatToStr(Case.Value), Case.Text);
  }
}

// The library never reads the process locale: with a locale whose decimal
// separator is a comma, number text still uses the point both ways.
TEST(NumberText, CommaLocaleDoesNotChangeTheDecimalSeparator) {
  const std::string Previous = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the set-up generates this locale";
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  char Probe[16];
  std::snprintf(Probe, sizeof Probe, "%.1f", 12.5);
  EXPECT_STREQ(Probe, "12,5") << "the locale in force must really use a comma";

  Extended Value = 0;
  EXPECT_EQ(StrToFloat("12.5"), 12.5L);
  EXPECT_FALSE(TryStrToFloat("12,5", Value));
  EXPECT_EQ(FloatToStr(12.5L), "12.5");
  EXPECT_EQ(Format("%F", {12.5}), "12.50");

  QLocale::setDefault(QLocale::c());
  std::setlocale(LC_ALL, Previous.c_str());
}

TEST(Format, FormsTheLibraryUses) {
  EXPECT_EQ(Format("File \"%S\" does not exists!", {"a.mif"}), "File \"a.mif\" does not exists!");
  EXPECT_EQ(Format("Char(%D)", {20}), "Char(20)");
  EXPECT_EQ(Format("%d%% of %s", {50, "x"}), "50% of x");
  EXPECT_EQ(Format("%F|%.3f|%f", {2.0, 3.14159, -0.5}), "2.00|3.142|-0.50");
  EXPECT_EQ(Format("[%5d|%-4s|%.3d]", {42, "ab", 7}), "[   42|ab  |007]");
  EXPECT_EQ(Format("%g %x", {1e20, 255}), "1E20 FF");
}

TEST(Format, MissingOrMismatchedArgumentsRaise) {
  EXPECT_THROW((void)Format("%d", {}), EConvertError);
  EXPECT_THROW((void)Format("%d", {"text"}), EConvertError);
  EXPECT_THROW((void)Format("%s", {12}), EConvertError);
  EXPECT_THROW((void)Format("%", {1}), EConvertError);
  EXPECT_THROW((void)Format("%q", {1}), EConvertError);
}

} // namespace
