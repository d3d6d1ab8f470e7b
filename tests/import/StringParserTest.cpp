#include "StringParserU.h"

#include "DateTime.h"
#include "Errors.h"
#include "Recorders.h"

#include <QLocale>
#include <clocale>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

void PrintTo(const TCurrency& Value, std::ostream* Out) {
  *Out << Value.TenThousandths << " ten-thousandths";
}

namespace {

using TTexts = std::vector<std::string>;

TTexts TextsOf(const TStringParser& Parser) {
  TTexts Texts;
  for (const TParserItem& Item : Parser) Texts.push_back(Item.RawData());
  return Texts;
}

void SetTexts(TStringParser& Parser, const TTexts& Texts) {
  Parser.Clear();
  for (const std::string& Text : Texts) Parser.Add().SetRawData(Text);
}

// An item of another class, to prove that copies refuse it.
class TDummyItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
};

// ---------------------------------------------------------------------------
// Splitting and joining

struct TSplitCase {
  const char* Name;
  const char* Delimiter;
  bool Quoted;
  const char* Line;
  TTexts Items;
};

const TSplitCase SplitCases[] = {
    {"three_fields", ";", false, "a;b;c", {"a", "b", "c"}},
    {"empty_middle_field", ";", false, "a;;c", {"a", "", "c"}},
    {"trailing_separator_gives_empty_last_field", ";", false, "a;b;", {"a", "b", ""}},
    {"empty_line_is_one_empty_field", ";", false, "", {""}},
    {"lone_separator_is_two_empty_fields", ";", false, ";", {"", ""}},
    {"spaces_are_kept", ";", false, " a ; b ", {" a ", " b "}},
    {"quotes_are_text_by_default", ",", false, "\"Smith, J\",12", {"\"Smith", " J\"", "12"}},
    {"quoted_value_keeps_its_separator", ",", true, "\"Smith, J\",12", {"\"Smith, J\"", "12"}},
    {"doubled_quotes_stay_inside_the_value",
     ",",
     true,
     "\"say \"\"hi, you\"\"\",1",
     {"\"say \"\"hi, you\"\"\"", "1"}},
    {"doubled_quote_before_closing_quote", ",", true, "\"a\"\"\",b", {"\"a\"\"\"", "b"}},
    {"empty_quoted_value", ",", true, "\"\",x,\"\"", {"\"\"", "x", "\"\""}},
    {"quote_inside_bare_value_is_text", ",", true, "5\" disk,3", {"5\" disk", "3"}},
    {"text_after_closing_quote_stays_in_field", ",", true, "\"ab\"c,d", {"\"ab\"c", "d"}},
    {"unclosed_quote_runs_to_end_of_line", ",", true, "1,\"open, end", {"1", "\"open, end"}},
    {"quote_in_separator_switches_quoting_off", "\"", true, "\"a\"b", {"", "a", "b"}},
    {"long_separator_is_removed_whole", "::", false, "a::b::c", {"a", "b", "c"}},
    {"long_separator_at_end", "::", false, "a::", {"a", ""}},
    {"part_of_long_separator_is_text", "::", false, "a:b::c:", {"a:b", "c:"}},
    {"long_separators_do_not_overlap", ";;", false, "a;;;b", {"a", ";b"}},
    {"long_separator_inside_quoted_value", "||", true, "\"x||y\"||z", {"\"x||y\"", "z"}},
    {"empty_separator_never_matches", "", false, "a;b", {"a;b"}},
    {"empty_separator_on_empty_line", "", true, "", {""}},
};

TEST(StringParser, FromStringSplitsFieldsAndToStringJoinsThem) {
  for (const TSplitCase& Case : SplitCases) {
    SCOPED_TRACE(Case.Name);
    TStringParser Parser;
    Parser.SetDelimiter(Case.Delimiter);
    Parser.SetQuoted(Case.Quoted);
    Parser.FromString(Case.Line);
    EXPECT_EQ(TextsOf(Parser), Case.Items);
    // Joining with the same separator gives back exactly the line that was split.
    EXPECT_EQ(Parser.ToString(), Case.Line);
  }
}

TEST(StringParser, DefaultsToSemicolonWithoutQuoting) {
  TStringParser Parser;
  EXPECT_EQ(Parser.Delimiter(), ";");
  EXPECT_FALSE(Parser.Quoted());
  EXPECT_EQ(Parser.Count(), 0);
}

// Records of different lengths through one parser, as a reader does line by line.
TEST(StringParser, FromStringReplacesTheItemsOfTheLastRecord) {
  TStringParser Parser;
  Parser.FromString("a;b;c;d");
  const TParserItem* First = &Parser.GetItem(0);

  Parser.FromString("x;y");
  EXPECT_EQ(TextsOf(Parser), (TTexts{"x", "y"}));
  EXPECT_EQ(&Parser.GetItem(0), First) << "the first item is reused, not replaced";
  EXPECT_EQ(Parser.GetItem(1).Index(), 1);

  Parser.FromString("1;;3");
  EXPECT_EQ(TextsOf(Parser), (TTexts{"1", "", "3"}));
  EXPECT_EQ(Parser.GetItem(2).Index(), 2);
}

struct TJoinCase {
  const char* Name;
  const char* Delimiter;
  TTexts Items;
  const char* Expected;
};

const TJoinCase JoinCases[] = {
    {"no_items", ";", {}, ""},
    {"two_items", ";", {"a", "b"}, "a;b"},
    {"one_empty_item", ";", {""}, ""},
    {"two_empty_items", ";", {"", ""}, ";"},
    {"empty_last_item", ";", {"a", "b", ""}, "a;b;"},
    {"long_separator_whole", "::", {"a", "b", "c"}, "a::b::c"},
    {"long_separator_empty_last_item", "::", {"a", ""}, "a::"},
    {"empty_separator_loses_nothing", "", {"a", "b"}, "ab"},
};

TEST(StringParser, ToStringJoinsItemsWithTheWholeSeparator) {
  for (const TJoinCase& Case : JoinCases) {
    SCOPED_TRACE(Case.Name);
    TStringParser Parser;
    Parser.SetDelimiter(Case.Delimiter);
    SetTexts(Parser, Case.Items);
    EXPECT_EQ(Parser.ToString(), Case.Expected);
  }
}

TEST(StringParser, FromStringOfToStringReproducesTheItems) {
  const TTexts Items = {"a", "", " b c ", "12.5", ""};
  for (const char* Delimiter : {";", ",", "::", "\t"}) {
    SCOPED_TRACE(Delimiter);
    TStringParser Parser;
    Parser.SetDelimiter(Delimiter);
    SetTexts(Parser, Items);
    TStringParser Copy;
    Copy.SetDelimiter(Delimiter);
    Copy.FromString(Parser.ToString());
    EXPECT_EQ(TextsOf(Copy), Items);
  }
}

// ---------------------------------------------------------------------------
// Quoted values

struct TUnquoteCase {
  const char* Name;
  const char* Text;
  const char* Expected;
};

const TUnquoteCase UnquoteCases[] = {
    {"enclosing_pair_removed", "\"abc\"", "abc"},
    {"bare_text_unchanged", "abc", "abc"},
    {"empty_text", "", ""},
    {"empty_quoted_value", "\"\"", ""},
    {"doubled_quotes_become_one", "\"say \"\"hi\"\"\"", "say \"hi\""},
    {"only_a_doubled_quote", "\"\"\"\"", "\""},
    {"lone_quote_unchanged", "\"", "\""},
    {"unclosed_value_unchanged", "\"abc", "\"abc"},
    {"closing_quote_only_unchanged", "abc\"", "abc\""},
    {"single_inner_quote_kept", "\"a\"b\"", "a\"b"},
    {"leading_blank_means_not_quoted", " \"a\"", " \"a\""},
};

TEST(StringParser, UnquotedStripsOnePairOfEnclosingQuotes) {
  for (const TUnquoteCase& Case : UnquoteCases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Unquoted(Case.Text), Case.Expected);
  }
}

TEST(StringParser, QuotedRecordTellsQuotedValuesFromBareOnes) {
  TStringParser Parser;
  Parser.SetDelimiter(",");
  Parser.SetQuoted(true);
  Parser.FromString("\"Main St, 5\",\"say \"\"hi\"\"\",42,");
  ASSERT_EQ(Parser.Count(), 4);

  EXPECT_EQ(Parser.GetItem(0).RawData(), "\"Main St, 5\"");
  EXPECT_EQ(Parser.GetItem(0).Unquoted(), "Main St, 5");
  EXPECT_EQ(Parser.GetItem(1).Unquoted(), "say \"hi\"");
  EXPECT_EQ(Parser.GetItem(2).RawData(), "42");
  EXPECT_EQ(Parser.GetItem(2).Unquoted(), "42");
  EXPECT_EQ(Parser.GetItem(2).AsInteger(), 42);
  EXPECT_EQ(Parser.GetItem(3).Unquoted(), "");
}

// ---------------------------------------------------------------------------
// Typed views

struct TViewCase {
  const char* Name;
  const char* Text;
  std::int32_t Integer;
  double Float;
  std::int64_t TenThousandths;
  bool Boolean;
};

const TViewCase ViewCases[] = {
    {"integer", "12", 12, 12, 120000, false},
    {"fraction_is_no_integer", "12.5", 0, 12.5, 125000, false},
    {"empty_text", "", 0, 0, 0, false},
    {"one_is_true", "1", 1, 1, 10000, true},
    {"two_is_not_true", "2", 2, 2, 20000, false},
    {"zero", "0", 0, 0, 0, false},
    {"word_true_is_not_true", "true", 0, 0, 0, false},
    {"negative", "-7", -7, -7, -70000, false},
    {"point_decimal", "2.5", 0, 2.5, 25000, false},
    {"comma_decimal_is_no_number", "2,5", 0, 0, 0, false},
    {"letters", "abc", 0, 0, 0, false},
    {"currency_rounds_to_nearest", "1.23456", 0, 1.23456, 12346, false},
    {"negative_currency_rounds_to_nearest", "-1.23456", 0, -1.23456, -12346, false},
    // 0.03125 and 0.09375 are exact binary fractions, so these are true halves.
    {"currency_half_to_even_down", "0.03125", 0, 0.03125, 312, false},
    {"currency_half_to_even_up", "0.09375", 0, 0.09375, 938, false},
    {"beyond_32_bits", "2147483648", 0, 2147483648.0, 21474836480000, false},
    {"beyond_currency_range", "1e15", 0, 1e15, 0, false},
    {"beyond_double_range", "1e400", 0, 0, 0, false},
};

void ExpectViews(const TViewCase& Case) {
  TParserItem Item(nullptr);
  Item.SetRawData(Case.Text);
  EXPECT_EQ(Item.AsInteger(), Case.Integer);
  EXPECT_DOUBLE_EQ(Item.AsFloat(), Case.Float);
  EXPECT_EQ(Item.AsCurrency(), TCurrency{Case.TenThousandths});
  EXPECT_EQ(Item.AsBoolean(), Case.Boolean);
  EXPECT_EQ(Item.AsString(), Case.Text);
}

TEST(ParserItem, TypedViewsReadTheTextOrFallBack) {
  for (const TViewCase& Case : ViewCases) {
    SCOPED_TRACE(Case.Name);
    ExpectViews(Case);
  }
}

// Both the C locale and the Qt default locale use a decimal comma for the
// scope of a test, as on a German desktop.
class ParserItemUnderCommaLocale : public testing::Test {
protected:
  void SetUp() override {
    FPreviousCLocale = std::setlocale(LC_ALL, nullptr);
    for (const char* Name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
      if (std::setlocale(LC_ALL, Name) != nullptr) break;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  void TearDown() override {
    std::setlocale(LC_ALL, FPreviousCLocale.c_str());
    QLocale::setDefault(FPreviousQtLocale);
  }

private:
  std::string FPreviousCLocale;
  QLocale FPreviousQtLocale;
};

TEST_F(ParserItemUnderCommaLocale, PointStaysTheDecimalSeparator) {
  ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
  for (const TViewCase& Case : ViewCases) {
    SCOPED_TRACE(Case.Name);
    ExpectViews(Case);
  }
  TParserItem Item(nullptr);
  Item.SetAsFloat(2.5);
  EXPECT_EQ(Item.RawData(), "2.5");
  Item.SetAsCurrency({12346});
  EXPECT_EQ(Item.RawData(), "1.2346");
}

struct TWriteCase {
  const char* Name;
  std::function<void(TParserItem&)> Write;
  const char* Expected;
};

const TWriteCase WriteCases[] = {
    {"integer", [](TParserItem& Item) { Item.SetAsInteger(-42); }, "-42"},
    {"float", [](TParserItem& Item) { Item.SetAsFloat(2.5); }, "2.5"},
    {"float_shortest", [](TParserItem& Item) { Item.SetAsFloat(0.1); }, "0.1"},
    {"float_15_digits", [](TParserItem& Item) { Item.SetAsFloat(1.0 / 3); }, "0.333333333333333"},
    {"float_large", [](TParserItem& Item) { Item.SetAsFloat(1e20); }, "1E20"},
    {"currency", [](TParserItem& Item) { Item.SetAsCurrency({12346}); }, "1.2346"},
    {"currency_whole", [](TParserItem& Item) { Item.SetAsCurrency({120000}); }, "12"},
    {"currency_small_negative", [](TParserItem& Item) { Item.SetAsCurrency({-5}); }, "-0.0005"},
    {"currency_zero", [](TParserItem& Item) { Item.SetAsCurrency({}); }, "0"},
    {"currency_all_digits", [](TParserItem& Item) { Item.SetAsCurrency({1234567890123456789}); },
     "123456789012345.6789"},
    {"currency_most_negative",
     [](TParserItem& Item) { Item.SetAsCurrency({std::numeric_limits<std::int64_t>::min()}); },
     "-922337203685477.5808"},
    {"boolean_true", [](TParserItem& Item) { Item.SetAsBoolean(true); }, "1"},
    {"boolean_false", [](TParserItem& Item) { Item.SetAsBoolean(false); }, "0"},
    {"string", [](TParserItem& Item) { Item.SetAsString(" x;y "); }, " x;y "},
};

TEST(ParserItem, TypedWritersStoreText) {
  for (const TWriteCase& Case : WriteCases) {
    SCOPED_TRACE(Case.Name);
    TParserItem Item(nullptr);
    Item.SetRawData("old");
    Case.Write(Item);
    EXPECT_EQ(Item.RawData(), Case.Expected);
  }
}

TEST(ParserItem, CurrencyReadsBackWhatItWrote) {
  for (const std::int64_t Count :
       {std::int64_t{1}, std::int64_t{-5}, std::int64_t{12346}, std::int64_t{999999999999999},
        std::int64_t{1234567890123456789}}) {
    SCOPED_TRACE(Count);
    TParserItem Item(nullptr);
    Item.SetAsCurrency({Count});
    EXPECT_EQ(Item.AsCurrency(), TCurrency{Count});
  }
}

class ParserItemDates : public testing::Test {
protected:
  TScopedDateSettings Settings{TDateSettings{"dd/mm/yyyy", "hh:nn:ss", '/', ':'}};
};

TEST_F(ParserItemDates, DatesAndTimesFollowTheDateSettings) {
  TParserItem Item(nullptr);
  Item.SetRawData("24/12/2023");
  EXPECT_DOUBLE_EQ(Item.AsDate(), EncodeDate(2023, 12, 24));
  Item.SetRawData("13:45:30");
  EXPECT_NEAR(Item.AsTime(), EncodeTime(13, 45, 30, 0), 1e-9);

  Item.SetAsDate(EncodeDate(2001, 2, 3));
  EXPECT_EQ(Item.RawData(), "03/02/2001");
  Item.SetAsTime(EncodeTime(7, 8, 9, 0));
  EXPECT_EQ(Item.RawData(), "07:08:09");
}

TEST_F(ParserItemDates, UnreadableDateOrTimeGivesTheCurrentMoment) {
  for (const char* Text : {"", "not a date", "31/02/2023", "25:61:00", "12.5"}) {
    SCOPED_TRACE(Text);
    TParserItem Item(nullptr);
    Item.SetRawData(Text);
    const TDateTime Before = Now();
    const TDateTime Date = Item.AsDate();
    const TDateTime Time = Item.AsTime();
    const TDateTime After = Now();
    EXPECT_GE(Date, Before);
    EXPECT_LE(Date, After);
    EXPECT_GE(Time, Before);
    EXPECT_LE(Time, After);
  }
}

// ---------------------------------------------------------------------------
// Access and copies

TEST(StringParser, GetItemsPastTheEndShowsOneErrorBoxAndAnswersNull) {
  TRecordingMessages Messages;
  TStringParser Parser;
  Parser.FromString("a;b");

  ASSERT_NE(Parser.GetItems(1), nullptr);
  EXPECT_EQ(Parser.GetItems(1)->RawData(), "b");
  EXPECT_EQ(Messages.Count(), 0);

  EXPECT_EQ(Parser.GetItems(2), nullptr);
  ASSERT_EQ(Messages.Count(), 1);
  EXPECT_EQ(Messages.Messages()[0].Text, "Error reading object properties from string!");
  EXPECT_EQ(Messages.Messages()[0].Icon, miError);

  EXPECT_THROW((void)Parser.GetItems(-1), EListError);
  EXPECT_EQ(Messages.Count(), 1);
}

TEST(StringParser, SetItemsCopiesTheText) {
  TStringParser Parser;
  Parser.FromString("a;b;c");
  TParserItem Source(nullptr);
  Source.SetRawData("new");

  Parser.SetItems(1, Source);
  EXPECT_EQ(TextsOf(Parser), (TTexts{"a", "new", "c"}));
  EXPECT_THROW(Parser.SetItems(3, Source), EListError);
}

TEST(ParserItem, CopiesOnlyIntoAParserItem) {
  TParserItem Source(nullptr);
  Source.SetRawData("12;x");
  TParserItem Target(nullptr);
  Target.Assign(Source);
  EXPECT_EQ(Target.RawData(), "12;x");

  TDummyItem Other(nullptr);
  EXPECT_THROW(Other.Assign(Source), EInvalidCast);
}

TEST(StringParser, AssignToReplacesItemsAndKeepsTheDestinationsSettings) {
  TStringParser Source;
  Source.FromString("a;;c");
  TStringParser Target;
  Target.SetDelimiter(",");
  Target.SetQuoted(true);
  Target.FromString("w,x,y,z");

  Source.AssignTo(Target);
  EXPECT_EQ(TextsOf(Target), (TTexts{"a", "", "c"}));
  EXPECT_EQ(Target.Delimiter(), ",");
  EXPECT_TRUE(Target.Quoted());
  EXPECT_EQ(Target.ToString(), "a,,c");
  EXPECT_EQ(TextsOf(Source), (TTexts{"a", "", "c"}));
}

TEST(StringParser, AssignToItselfKeepsTheItems) {
  TStringParser Parser;
  Parser.FromString("a;b");
  Parser.AssignTo(Parser);
  EXPECT_EQ(TextsOf(Parser), (TTexts{"a", "b"}));
}

TEST(StringParser, AssignToAnotherCollectionClassRaisesInvalidCast) {
  TStringParser Source;
  Source.FromString("a;b");
  TCollection<TDummyItem> Other;
  Other.Add();
  EXPECT_THROW(Source.AssignTo(Other), EInvalidCast);
  EXPECT_EQ(Other.Count(), 1);
}

} // namespace
