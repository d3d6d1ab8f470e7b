#include "SyntaxParser.h"

#include "Errors.h"
#include "Recorders.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Readable kinds and items in failure messages. gtest finds these by
// argument-dependent lookup, so they live beside the library's types.
void PrintTo(TSyntaxItemKind Kind, std::ostream* Out) {
  static const char* const Names[] = {"sikWhiteSpace",   "sikDelimiter",  "sikComment",
                                      "sikReservedWord", "sikIdentifier", "sikSymbol",
                                      "sikNumber",       "sikString"};
  if (Kind <= sikString)
    *Out << Names[Kind];
  else
    *Out << "TSyntaxItemKind(" << static_cast<int>(Kind) << ")";
}

void PrintTo(const TSyntaxItem& Item, std::ostream* Out) {
  *Out << "{" << testing::PrintToString(Item.Value()) << " offset " << Item.Offset() << " line "
       << Item.Line() << " " << testing::PrintToString(Item.Kind()) << "}";
}

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// One token as the tests compare it.
struct TTok {
  std::string Value;
  int Offset = 0;
  TSyntaxItemKind Kind = sikWhiteSpace;
  friend bool operator==(const TTok&, const TTok&) = default;
  friend void PrintTo(const TTok& Tok, std::ostream* Out) {
    *Out << "{" << testing::PrintToString(Tok.Value) << " @" << Tok.Offset << " "
         << testing::PrintToString(Tok.Kind) << "}";
  }
};

std::vector<TTok> Tokens(const TSyntaxParser& Parser) {
  std::vector<TTok> Result;
  for (const TSyntaxItem& Item : Parser)
    Result.push_back({Item.Value(), Item.Offset(), Item.Kind()});
  return Result;
}

std::vector<int> Lines(const TSyntaxParser& Parser) {
  std::vector<int> Result;
  for (const TSyntaxItem& Item : Parser) Result.push_back(Item.Line());
  return Result;
}

std::vector<std::string> Values(const TSyntaxParser& Parser) {
  std::vector<std::string> Result;
  for (const TSyntaxItem& Item : Parser) Result.push_back(Item.Value());
  return Result;
}

// Set-ups of the tokenizer for the tables.
using TSetup = void (*)(TSyntaxParser&);

void Defaults(TSyntaxParser&) {}
void SkipComments(TSyntaxParser& Parser) { Parser.SetSkipKinds({sikComment}); }
void SkipSpaces(TSyntaxParser& Parser) { Parser.SetSkipChars({' '}); }
void TwoCharComment(TSyntaxParser& Parser) { Parser.SetCommentsFlag("//"); }
void NoComment(TSyntaxParser& Parser) { Parser.SetCommentsFlag(""); }
void NbspDelimiter(TSyntaxParser& Parser) {
  Parser.SetDelimiters(TSyntaxParser::DefaultDelimiters() + TByteCharSet{'\xA0'});
}
void SkipLetterX(TSyntaxParser& Parser) { Parser.SetSkipChars({'x'}); }
// As the MIF/MID reader sets it up for its clause lines.
void MifClauses(TSyntaxParser& Parser) {
  Parser.SetDelimiters(TSyntaxParser::DefaultDelimiters() - TByteCharSet{'+', '-', '.'});
  Parser.SetSkipChars({' ', '(', ')', ','});
}
void MifClausesReservedPen(TSyntaxParser& Parser) {
  MifClauses(Parser);
  Parser.ReservedWords().Add("Pen");
}
void Reserved(TSyntaxParser& Parser) {
  for (const char* Word : {"PEN", "42", "\"Q", ";", "'rem", "1e3"})
    Parser.ReservedWords().Add(Word);
}
void QuoteNotDelimiter(TSyntaxParser& Parser) {
  Parser.SetDelimiters(TSyntaxParser::DefaultDelimiters().Exclude('"'));
}
void ReservedEmpty(TSyntaxParser& Parser) { Parser.ReservedWords().Add(""); }

// ---------------------------------------------------------------------------
// Types and defaults

static_assert(std::is_same_v<std::underlying_type_t<TSyntaxItemKind>, std::uint8_t>);
static_assert(sikWhiteSpace == 0 && sikDelimiter == 1 && sikComment == 2 && sikReservedWord == 3 &&
              sikIdentifier == 4 && sikSymbol == 5 && sikNumber == 6 && sikString == 7);
static_assert(sizeof(TSyntaxItemKinds) == 1);
static_assert(std::is_same_v<TDelimiters, TSetOfChar>);

TEST(SyntaxItemKinds, IsASetOfKinds) {
  TSyntaxItemKinds Kinds;
  EXPECT_TRUE(Kinds.Empty());
  Kinds.Include(sikComment).Include(sikString);
  EXPECT_TRUE(Kinds.Contains(sikComment));
  EXPECT_TRUE(Kinds.Contains(sikString));
  EXPECT_FALSE(Kinds.Contains(sikWhiteSpace));
  EXPECT_EQ(Kinds.Bits(), (1 << 2) | (1 << 7));
  EXPECT_EQ(Kinds, (TSyntaxItemKinds{sikString, sikComment}));
  Kinds.Exclude(sikComment);
  EXPECT_EQ(Kinds, TSyntaxItemKinds{sikString});
  const TSyntaxItemKinds A{sikWhiteSpace, sikNumber}, B{sikNumber, sikString};
  EXPECT_EQ(A + B, (TSyntaxItemKinds{sikWhiteSpace, sikNumber, sikString}));
  EXPECT_EQ(A - B, TSyntaxItemKinds{sikWhiteSpace});
  EXPECT_EQ(A * B, TSyntaxItemKinds{sikNumber});
}

TEST(ByteCharSet, HoldsAll256Bytes) {
  TByteCharSet Set;
  EXPECT_TRUE(Set.Empty());
  Set.Include('\0').Include('\x7F').Include('\x80').Include('\xFF');
  EXPECT_EQ(Set.Count(), 4);
  for (const char C : {'\0', '\x7F', '\x80', '\xFF'}) EXPECT_TRUE(Set.Contains(C)) << int(C);
  EXPECT_FALSE(Set.Contains('\xFE'));
  Set.Exclude('\xFF');
  EXPECT_FALSE(Set.Contains('\xFF'));
  EXPECT_EQ(TByteCharSet::Range('\0', '\xFF').Count(), 256);
  EXPECT_EQ(TByteCharSet::Range('a', 'z').Count(), 26);
  EXPECT_EQ(TByteCharSet::Of(std::string_view("ab\0", 3)), (TByteCharSet{'\0', 'b', 'a'}));
  const TByteCharSet A{'a', 'b'}, B{'b', 'c'};
  EXPECT_EQ(A + B, (TByteCharSet{'a', 'b', 'c'}));
  EXPECT_EQ(A - B, TByteCharSet{'a'});
  EXPECT_EQ(A * B, TByteCharSet{'b'});
}

TEST(SyntaxParser, StartsWithTheDefaults) {
  const TSyntaxParser Parser;
  EXPECT_EQ(Parser.Count(), 0);
  EXPECT_EQ(Parser.Quote(), '"');
  EXPECT_EQ(Parser.CommentsFlag(), "'");
  EXPECT_EQ(Parser.ReservedWords().Count(), 0);
  EXPECT_TRUE(Parser.SkipKinds().Empty());
  EXPECT_TRUE(Parser.SkipChars().Empty());
  const std::string Expected = "\t\n\r \"'()*+,-./:;=";
  for (int Byte = 0; Byte < 256; ++Byte) {
    const char C = static_cast<char>(Byte);
    EXPECT_EQ(Parser.Delimiters().Contains(C), Expected.find(C) != std::string::npos) << Byte;
  }
  EXPECT_EQ(Parser.Delimiters(), TSyntaxParser::DefaultDelimiters());
}

TEST(SyntaxParser, SettersStoreTheValues) {
  TSyntaxParser Parser;
  Parser.SetQuote('\'');
  Parser.SetCommentsFlag("--");
  Parser.SetDelimiters({';'});
  Parser.SetSkipChars({';'});
  Parser.SetSkipKinds({sikComment});
  EXPECT_EQ(Parser.Quote(), '\'');
  EXPECT_EQ(Parser.CommentsFlag(), "--");
  EXPECT_EQ(Parser.Delimiters(), TDelimiters{';'});
  EXPECT_EQ(Parser.SkipChars(), TSetOfChar{';'});
  EXPECT_EQ(Parser.SkipKinds(), TSyntaxItemKinds{sikComment});
}

TEST(SyntaxParser, SetReservedWordsCopiesIntoTheOwnedList) {
  TSyntaxParser Parser;
  const TStringList* Owned = &Parser.ReservedWords();
  TStringList Words{"PEN", "BRUSH"};
  Parser.SetReservedWords(Words);
  Words.Add("SYMBOL");
  EXPECT_EQ(&Parser.ReservedWords(), Owned);
  ASSERT_EQ(Parser.ReservedWords().Count(), 2);
  EXPECT_EQ(Parser.ReservedWords()[0], "PEN");
  EXPECT_EQ(Parser.ReservedWords()[1], "BRUSH");
}

// ---------------------------------------------------------------------------
// Add and the item

TEST(SyntaxParser, AddAppendsAnItemAndStoresATabAsASpace) {
  TSyntaxParser Parser;
  TSyntaxItem& First = Parser.Add("abc", 3, 9);
  TSyntaxItem& Tab = Parser.Add("\t", 6, 9);
  TSyntaxItem& Tabs = Parser.Add("\t\t", 7, 9);
  ASSERT_EQ(Parser.Count(), 3);
  EXPECT_EQ(&Parser[0], &First);
  EXPECT_EQ(First.Value(), "abc");
  EXPECT_EQ(First.Offset(), 3);
  EXPECT_EQ(First.Line(), 9);
  EXPECT_EQ(First.Length(), 3);
  EXPECT_EQ(First.SyntaxParser(), &Parser);
  EXPECT_EQ(Tab.Value(), " ");
  EXPECT_EQ(Tab.Index(), 1);
  EXPECT_EQ(Tabs.Value(), "\t\t") << "only a single tab becomes a space";
}

TEST(SyntaxItem, SettersOnlyStore) {
  TSyntaxParser Parser;
  TSyntaxItem& Item = Parser.Add("x", 0, 0);
  Item.SetValue("\t");
  Item.SetOffset(-4);
  Item.SetLine(12);
  EXPECT_EQ(Item.Value(), "\t");
  EXPECT_EQ(Item.Offset(), -4);
  EXPECT_EQ(Item.Line(), 12);
  EXPECT_EQ(Item.Length(), 1);
}

TEST(SyntaxItem, EqualIgnoresLetterCase) {
  TSyntaxParser Parser;
  const TSyntaxItem& Item = Parser.Add("Pen", 0, 0);
  EXPECT_TRUE(Item.Equal("PEN"));
  EXPECT_TRUE(Item.Equal("pen"));
  EXPECT_FALSE(Item.Equal("Pens"));
  EXPECT_FALSE(Item.Equal(""));
  EXPECT_TRUE(Parser.Add("\xC3\x84rger", 0, 0).Equal("\xC3\xA4RGER")) << "UTF-8 letters too";
}

TEST(SyntaxItem, WithoutATokenizerUsesTheDefaultSettings) {
  const TSyntaxItem Item(nullptr);
  EXPECT_EQ(Item.SyntaxParser(), nullptr);
  EXPECT_EQ(Item.Kind(), sikWhiteSpace);
  TSyntaxParser Parser;
  Parser.SetCommentsFlag("x");
  TSyntaxItem Orphan(nullptr);
  Orphan.SetValue("x1");
  EXPECT_EQ(Orphan.Kind(), sikIdentifier);
  Orphan.SetValue("'x");
  EXPECT_EQ(Orphan.Kind(), sikComment);
}

// The item class given to the constructor makes the items.
class TTaggedItem : public TSyntaxItem {
public:
  using TSyntaxItem::TSyntaxItem;
  int Tag = 42;
};

TEST(SyntaxParser, MakesItemsOfTheItemClassGiven) {
  TSyntaxParser Parser(&MakeSyntaxItem<TTaggedItem>);
  Parser.Read("a b", 0, false, true);
  ASSERT_EQ(Parser.Count(), 3);
  for (const TSyntaxItem& Item : Parser) {
    const auto* Tagged = dynamic_cast<const TTaggedItem*>(&Item);
    ASSERT_NE(Tagged, nullptr);
    EXPECT_EQ(Tagged->Tag, 42);
  }
}

// ---------------------------------------------------------------------------
// Read

struct TReadCase {
  const char* Name;
  TSetup Setup;
  std::string Text;
  bool Raw;
  std::vector<TTok> Expected;
};

void PrintTo(const TReadCase& Case, std::ostream* Out) { *Out << Case.Name; }

class SyntaxParserRead : public testing::TestWithParam<TReadCase> {};

TEST_P(SyntaxParserRead, SplitsTheLine) {
  const TReadCase& Case = GetParam();
  TSyntaxParser Parser;
  Case.Setup(Parser);
  Parser.Read(Case.Text, 7, Case.Raw, true);
  EXPECT_EQ(Tokens(Parser), Case.Expected) << "line " << testing::PrintToString(Case.Text);
  for (const TSyntaxItem& Item : Parser) EXPECT_EQ(Item.Line(), 7);
}

// clang-format off
const TReadCase ReadCases[] = {
    {"SampleLine", Defaults, "a=b; 'x", false,
     {{"a", 0, sikIdentifier}, {"=", 1, sikWhiteSpace}, {"b", 2, sikIdentifier},
      {";", 3, sikWhiteSpace}, {" ", 4, sikWhiteSpace}, {"'x", 5, sikComment}}},
    {"SampleLineCommentsSkipped", SkipComments, "a=b; 'x = y", false,
     {{"a", 0, sikIdentifier}, {"=", 1, sikWhiteSpace}, {"b", 2, sikIdentifier},
      {";", 3, sikWhiteSpace}, {" ", 4, sikWhiteSpace}}},
    {"UnterminatedString", Defaults, "x \"a,b", false,
     {{"x", 0, sikIdentifier}, {" ", 1, sikWhiteSpace}, {"\"a,b", 2, sikString}}},
    {"TwoQuotesInARow", Defaults, "\"ab\"\"cd\"", false,
     {{"\"ab\"", 0, sikString}, {"\"cd\"", 4, sikString}}},
    {"EmptyString", Defaults, "\"\"", false, {{"\"\"", 0, sikString}}},
    {"LoneQuoteIsADelimiter", Defaults, "\"", false, {{"\"", 0, sikWhiteSpace}}},
    {"QuoteRightAfterAWord", Defaults, "ab\"cd\"ef", false,
     {{"ab", 0, sikIdentifier}, {"\"cd\"", 2, sikString}, {"ef", 6, sikIdentifier}}},
    {"CommentMarkerInString", Defaults, "\"it's\" x", false,
     {{"\"it's\"", 0, sikString}, {" ", 6, sikWhiteSpace}, {"x", 7, sikIdentifier}}},
    {"SkippedDelimiterInString", SkipSpaces, "\"a b\" c", false,
     {{"\"a b\"", 0, sikString}, {"c", 6, sikIdentifier}}},
    {"CommentAfterString", Defaults, "\"x\"'c", false,
     {{"\"x\"", 0, sikString}, {"'c", 3, sikComment}}},
    {"WholeLineComment", Defaults, "'all \"of\" it", false, {{"'all \"of\" it", 0, sikComment}}},
    {"RawQuotedWord", Defaults, "\"word\"", true,
     {{"\"", 0, sikWhiteSpace}, {"word", 1, sikIdentifier}, {"\"", 5, sikWhiteSpace}}},
    {"RawCommentMarker", Defaults, "a'b", true,
     {{"a", 0, sikIdentifier}, {"'", 1, sikWhiteSpace}, {"b", 2, sikIdentifier}}},
    {"TabStoredAsSpace", Defaults, "a\tb", false,
     {{"a", 0, sikIdentifier}, {" ", 1, sikWhiteSpace}, {"b", 2, sikIdentifier}}},
    {"CarriageReturnAndLineFeed", Defaults, "a\r\n", false,
     {{"a", 0, sikIdentifier}, {"\r", 1, sikWhiteSpace}, {"\n", 2, sikWhiteSpace}}},
    {"ConsecutiveDelimiters", Defaults, "a,,b", false,
     {{"a", 0, sikIdentifier}, {",", 1, sikWhiteSpace}, {",", 2, sikWhiteSpace},
      {"b", 3, sikIdentifier}}},
    {"TokenAtTheEnd", Defaults, "abc def", false,
     {{"abc", 0, sikIdentifier}, {" ", 3, sikWhiteSpace}, {"def", 4, sikIdentifier}}},
    {"SignAndPointSplitByDefault", Defaults, "-1.5", false,
     {{"-", 0, sikWhiteSpace}, {"1", 1, sikNumber}, {".", 2, sikWhiteSpace},
      {"5", 3, sikNumber}}},
    {"EmptyLine", Defaults, "", false, {}},
    {"MifOnlySkippedDelimiters", MifClauses, "( , )", false, {}},
    {"MifPen", MifClauses, "PEN (1,2,0)", false,
     {{"PEN", 0, sikIdentifier}, {"1", 5, sikNumber}, {"2", 7, sikNumber}, {"0", 9, sikNumber}}},
    {"MifPenReserved", MifClausesReservedPen, "pen (1,2,0)", false,
     {{"pen", 0, sikReservedWord}, {"1", 5, sikNumber}, {"2", 7, sikNumber},
      {"0", 9, sikNumber}}},
    {"MifPoint", MifClauses, "Point -12.5 +3e-2", false,
     {{"Point", 0, sikIdentifier}, {"-12.5", 6, sikNumber}, {"+3e-2", 12, sikNumber}}},
    {"MifFontWithString", MifClauses, "Font (\"Arial\",0,9,0)", false,
     {{"Font", 0, sikIdentifier}, {"\"Arial\"", 6, sikString}, {"0", 14, sikNumber},
      {"9", 16, sikNumber}, {"0", 18, sikNumber}}},
    {"TwoCharCommentsFlagNeverSplits", TwoCharComment, "a //b", false,
     {{"a", 0, sikIdentifier}, {" ", 1, sikWhiteSpace}, {"/", 2, sikWhiteSpace},
      {"/", 3, sikWhiteSpace}, {"b", 4, sikIdentifier}}},
    {"TwoCharCommentsFlagApostrophe", TwoCharComment, "a'b", false,
     {{"a", 0, sikIdentifier}, {"'", 1, sikWhiteSpace}, {"b", 2, sikIdentifier}}},
    {"EmptyCommentsFlag", NoComment, "a 'b", false,
     {{"a", 0, sikComment}, {" ", 1, sikWhiteSpace}, {"'", 2, sikWhiteSpace},
      {"b", 3, sikComment}}},
    {"NonAsciiBytes", Defaults, "\xC4\xD6=1", false,
     {{"\xC4\xD6", 0, sikIdentifier}, {"=", 2, sikWhiteSpace}, {"1", 3, sikNumber}}},
    {"NonAsciiDelimiter", NbspDelimiter, "a\xA0" "b", false,
     {{"a", 0, sikIdentifier}, {"\xA0", 1, sikWhiteSpace}, {"b", 2, sikIdentifier}}},
    {"SkipCharThatIsNoDelimiter", SkipLetterX, "axb", false, {{"axb", 0, sikIdentifier}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, SyntaxParserRead, testing::ValuesIn(ReadCases),
                         [](const testing::TestParamInfo<TReadCase>& Info) {
                           return Info.param.Name;
                         });

TEST(SyntaxParser, ReadAppendsWithoutClearFirstAndForgetsAnOpenString) {
  TSyntaxParser Parser;
  Parser.Read("\"ab", 0, false, true);
  Parser.Read("cd\"", 1, false, false);
  EXPECT_THAT(Tokens(Parser), ElementsAre(TTok{"\"ab", 0, sikString}, TTok{"cd", 0, sikIdentifier},
                                          TTok{"\"", 2, sikWhiteSpace}));
  EXPECT_THAT(Lines(Parser), ElementsAre(0, 1, 1));
  Parser.Read("z", 2, false, true);
  EXPECT_THAT(Tokens(Parser), ElementsAre(TTok{"z", 0, sikIdentifier}));
}

TEST(SyntaxParser, ReadCanReadTheTextOfItsOwnItem) {
  TSyntaxParser Parser;
  Parser.Add("a longer line that does not fit in a short string", 0, 0);
  Parser.Read(Parser[0].Value(), 1, false, true);
  EXPECT_EQ(Parser.Count(), 21);
  EXPECT_EQ(Parser.Text(), "a longer line that does not fit in a short string");
}

TEST(SyntaxParser, ReadHonoursOnlyCommentsInSkipKinds) {
  TSyntaxParser Parser;
  Parser.SetSkipKinds({sikWhiteSpace, sikIdentifier, sikString, sikNumber});
  Parser.Read("a \"s\" 1", 0, false, true);
  EXPECT_THAT(Values(Parser), ElementsAre("a", " ", "\"s\"", " ", "1"));
}

// ---------------------------------------------------------------------------
// GetKind

struct TKindCase {
  const char* Name;
  TSetup Setup;
  std::string Value;
  TSyntaxItemKind Expected;
};

void PrintTo(const TKindCase& Case, std::ostream* Out) { *Out << Case.Name; }

class SyntaxItemKind : public testing::TestWithParam<TKindCase> {};

TEST_P(SyntaxItemKind, ClassifiesTheValue) {
  const TKindCase& Case = GetParam();
  TSyntaxParser Parser;
  Case.Setup(Parser);
  TSyntaxItem& Item = Parser.Add("", 0, 0);
  Item.SetValue(Case.Value); // not through Add, which would turn a tab into a space
  EXPECT_EQ(Item.Kind(), Case.Expected) << "value " << testing::PrintToString(Case.Value);
}

// clang-format off
const TKindCase KindCases[] = {
    // Numbers, by the point-decimal conversion.
    {"Integer", Defaults, "12", sikNumber},
    {"Negative", Defaults, "-12", sikNumber},
    {"SignedExponent", Defaults, "+1.5e-3", sikNumber},
    {"UpperExponent", Defaults, "1E6", sikNumber},
    {"LeadingPoint", Defaults, ".5", sikNumber},
    {"Decimal", Defaults, "-12.25", sikNumber},
    {"ExponentWithoutDigits", Defaults, "1e", sikIdentifier},
    {"ExponentOnly", Defaults, "e5", sikIdentifier},
    {"CommaDecimal", Defaults, "1,5", sikIdentifier},
    {"Hexadecimal", Defaults, "0x1F", sikIdentifier},
    {"Infinity", Defaults, "inf", sikIdentifier},
    {"NotANumber", Defaults, "nan", sikIdentifier},
    {"DigitsThenLetters", Defaults, "12abc", sikIdentifier},
    {"SignOnly", Defaults, "+-", sikIdentifier},
    // Identifiers.
    {"Word", Defaults, "abc", sikIdentifier},
    {"Underscored", Defaults, "_x1", sikIdentifier},
    {"NonAscii", Defaults, "\xE9t\xE9", sikIdentifier},
    {"TwoSpaces", Defaults, "  ", sikIdentifier},
    // White space: a space, or one delimiter character.
    {"Space", Defaults, " ", sikWhiteSpace},
    {"Semicolon", Defaults, ";", sikWhiteSpace},
    {"Tab", Defaults, "\t", sikWhiteSpace},
    {"LineFeed", Defaults, "\n", sikWhiteSpace},
    {"QuoteAlone", Defaults, "\"", sikWhiteSpace},
    {"ApostropheAlone", Defaults, "'", sikWhiteSpace},
    {"TwoDelimiters", Defaults, ";;", sikIdentifier},
    {"NonDelimiterChar", Defaults, "a", sikIdentifier},
    // Comments and strings.
    {"Comment", Defaults, "'rem", sikComment},
    {"TwoApostrophes", Defaults, "''", sikComment},
    {"String", Defaults, "\"str\"", sikString},
    {"QuotedNumber", Defaults, "\"12\"", sikString},
    {"QuoteAloneNotDelimiter", QuoteNotDelimiter, "\"", sikString},
    // Reserved words.
    {"ReservedWord", Reserved, "PEN", sikReservedWord},
    {"ReservedWordLowerCase", Reserved, "pen", sikReservedWord},
    {"ReservedWordMixedCase", Reserved, "Pen", sikReservedWord},
    {"LongerThanReserved", Reserved, "PENS", sikIdentifier},
    {"ReservedNumber", Reserved, "42", sikReservedWord},
    {"ReservedExponentUpperCase", Reserved, "1E3", sikReservedWord},
    {"NumberNotReserved", Reserved, "42.0", sikNumber},
    {"ReservedStartingWithQuote", Reserved, "\"Q", sikString},
    {"ReservedStartingWithQuoteCase", Reserved, "\"q", sikString},
    {"ReservedDelimiter", Reserved, ";", sikWhiteSpace},
    {"ReservedComment", Reserved, "'rem", sikComment},
    // A two-character CommentsFlag is tested as a prefix.
    {"TwoCharFlagComment", TwoCharComment, "//x", sikComment},
    {"TwoCharFlagAlone", TwoCharComment, "//", sikComment},
    {"TwoCharFlagHalf", TwoCharComment, "/", sikWhiteSpace},
    {"TwoCharFlagHalfWord", TwoCharComment, "/x", sikIdentifier},
    {"TwoCharFlagApostrophe", TwoCharComment, "'x", sikIdentifier},
    // An empty CommentsFlag begins every value not caught by rules 1 and 2.
    {"EmptyFlagWord", NoComment, "abc", sikComment},
    {"EmptyFlagNumber", NoComment, "12", sikComment},
    {"EmptyFlagString", NoComment, "\"s\"", sikComment},
    {"EmptyFlagSpace", NoComment, " ", sikWhiteSpace},
    {"EmptyFlagDelimiter", NoComment, ";", sikWhiteSpace},
    // The implementer's choice: an empty value is white space, whatever the settings.
    {"EmptyValue", Defaults, "", sikWhiteSpace},
    {"EmptyValueEmptyFlag", NoComment, "", sikWhiteSpace},
    {"EmptyValueReserved", ReservedEmpty, "", sikWhiteSpace},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, SyntaxItemKind, testing::ValuesIn(KindCases),
                         [](const testing::TestParamInfo<TKindCase>& Info) {
                           return Info.param.Name;
                         });

TEST(SyntaxItem, KindFollowsTheTokenizerSettings) {
  TSyntaxParser Parser;
  const TSyntaxItem& Item = Parser.Add("#x", 0, 0);
  EXPECT_EQ(Item.Kind(), sikIdentifier);
  Parser.SetCommentsFlag("#");
  EXPECT_EQ(Item.Kind(), sikComment);
  Parser.SetCommentsFlag("'");
  Parser.SetQuote('#');
  EXPECT_EQ(Item.Kind(), sikString);
}

// ---------------------------------------------------------------------------
// Pack and Write

TEST(SyntaxParser, PackDropsSpacesAndCommentsAndWriteJoinsTheRest) {
  TSyntaxParser Parser;
  Parser.Read("a=b; 'x", 7, false, true);
  Parser.Pack();
  EXPECT_THAT(Tokens(Parser),
              ElementsAre(TTok{"a", 0, sikIdentifier}, TTok{"=", 1, sikWhiteSpace},
                          TTok{"b", 2, sikIdentifier}, TTok{";", 3, sikWhiteSpace}));
  std::string Text = "left over";
  Parser.Write(Text);
  EXPECT_EQ(Text, "a=b;");
  EXPECT_EQ(Parser.Text(), "a=b;");
  EXPECT_EQ(Parser.Count(), 4) << "Write changes nothing";
}

TEST(SyntaxParser, PackRemovesTabsButKeepsLineBreaks) {
  TSyntaxParser Parser;
  Parser.Read("a\tb\rc\nd", 0, false, true);
  Parser.Pack();
  EXPECT_THAT(Values(Parser), ElementsAre("a", "b", "\r", "c", "\n", "d"));
}

TEST(SyntaxParser, PackRemovesCommentsByKind) {
  TSyntaxParser Parser;
  Parser.SetCommentsFlag("--");
  Parser.Add("x", 0, 0);
  Parser.Add("--note", 1, 0);
  Parser.Add("", 7, 0);
  Parser.Add("  ", 8, 0);
  Parser.Pack();
  EXPECT_THAT(Values(Parser), ElementsAre("x", "", "  ")) << "an empty value is kept";
}

TEST(SyntaxParser, WriteOfARawReadGivesTheLineBack) {
  TSyntaxParser Parser;
  const std::string Line = "Pen (1, 2, 0) \"a 'b\" ' note";
  Parser.Read(Line, 0, true, true);
  std::string Text;
  Parser.Write(Text);
  EXPECT_EQ(Text, Line);
  Parser.Clear();
  Parser.Write(Text);
  EXPECT_EQ(Text, "");
}

TEST(SyntaxParser, PackReportsProgressFromTheEnd) {
  TSyntaxParser Parser;
  for (const char* Value : {"a", "b", "c"}) Parser.Add(Value, 0, 0);
  {
    TRecordingProgress Progress;
    Parser.Pack();
    EXPECT_THAT(Progress.Calls,
                ElementsAre("start 0 2 Packing Data", "show 0", "show 1", "show 2", "stop"));
  }
  Parser.Clear();
  for (const char* Value : {"a", " ", "'c"}) Parser.Add(Value, 0, 0);
  {
    // The count is taken anew on each pass: deletions hold the position back.
    TRecordingProgress Progress;
    Parser.Pack();
    EXPECT_THAT(Progress.Calls,
                ElementsAre("start 0 2 Packing Data", "show 0", "show 0", "show 0", "stop"));
    EXPECT_THAT(Values(Parser), ElementsAre("a"));
  }
}

TEST(SyntaxParser, PackOfAnEmptyTokenizer) {
  TSyntaxParser Parser;
  TRecordingProgress Progress;
  Parser.Pack();
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 -1 Packing Data", "stop"));
  EXPECT_EQ(Parser.Count(), 0);
}

TEST(SyntaxParser, PackStopsProgressOnError) {
  TSyntaxParser Parser;
  Parser.Add("a", 0, 0);
  TRecordingProgress Progress;
  ShowProgress = [&Progress](int Position) {
    Progress.Calls.push_back("show " + std::to_string(Position));
    throw Exception("cancelled");
  };
  EXPECT_THROW(Parser.Pack(), Exception);
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 0 Packing Data", "show 0", "stop"));
}

// ---------------------------------------------------------------------------
// ReadFromStrings and ReadFromFile

TEST(SyntaxParser, ReadFromStringsNumbersTheLinesFromZeroAndClearsOnce) {
  TSyntaxParser Parser;
  Parser.Add("old", 0, 5);
  TRecordingProgress Progress;
  Parser.ReadFromStrings(TStringList{"a b", "c"});
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 1 Reading source", "show 0", "show 1", "stop"));
  EXPECT_THAT(Values(Parser), ElementsAre("a", " ", "b", "c"));
  EXPECT_THAT(Lines(Parser), ElementsAre(0, 0, 0, 1));
  EXPECT_EQ(Tokens(Parser)[3], (TTok{"c", 0, sikIdentifier}));
}

TEST(SyntaxParser, ReadFromStringsOfAnEmptyListKeepsTheItems) {
  TSyntaxParser Parser;
  Parser.Add("old", 0, 5);
  TRecordingProgress Progress;
  Parser.ReadFromStrings(TStringList{});
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 -1 Reading source", "stop"));
  EXPECT_THAT(Values(Parser), ElementsAre("old"));
}

TEST(SyntaxParser, ReadFromStringsReadsWithoutRaw) {
  TSyntaxParser Parser;
  Parser.ReadFromStrings(TStringList{"\"a b\" 'c"});
  EXPECT_THAT(Values(Parser), ElementsAre("\"a b\"", " ", "'c"));
}

// Read is virtual: ReadFromStrings goes through an override.
class TFailingParser : public TSyntaxParser {
public:
  void Read(std::string_view Text, std::int32_t Line, bool Raw, bool ClearFirst) override {
    Calls.push_back(std::string(Text) + "@" + std::to_string(Line) + (ClearFirst ? " clear" : ""));
    if (Line == 1) throw EConvertError("bad line");
    TSyntaxParser::Read(Text, Line, Raw, ClearFirst);
  }
  std::vector<std::string> Calls;
};

TEST(SyntaxParser, ReadFromStringsStopsProgressOnError) {
  TFailingParser Parser;
  TRecordingProgress Progress;
  EXPECT_THROW(Parser.ReadFromStrings(TStringList{"a", "b", "c"}), EConvertError);
  EXPECT_THAT(Parser.Calls, ElementsAre("a@0 clear", "b@1"));
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 2 Reading source", "show 0", "show 1", "stop"));
  EXPECT_THAT(Values(Parser), ElementsAre("a"));
}

class SyntaxParserFile : public testing::Test {
protected:
  void SetUp() override {
    Folder = std::filesystem::temp_directory_path() /
             ("SyntaxParserTest-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Folder);
  }
  void TearDown() override {
    std::error_code Error;
    std::filesystem::permissions(Folder / "locked.txt", std::filesystem::perms::owner_all, Error);
    std::filesystem::remove_all(Folder, Error);
  }
  std::string Write(const std::string& Name, const std::string& Content) const {
    const std::filesystem::path Path = Folder / Name;
    std::ofstream(Path, std::ios::binary) << Content;
    return Path.string();
  }
  std::filesystem::path Folder;
};

TEST_F(SyntaxParserFile, MissingFileDoesNothing) {
  TSyntaxParser Parser;
  Parser.Add("old", 0, 0);
  TRecordingProgress Progress;
  Parser.ReadFromFile((Folder / "missing.txt").string());
  Parser.ReadFromFile("");
  Parser.ReadFromFile(Folder.string()); // a folder is no file
  EXPECT_THAT(Progress.Calls, IsEmpty());
  EXPECT_THAT(Values(Parser), ElementsAre("old"));
}

TEST_F(SyntaxParserFile, ReadsTheLinesOfAFixture) {
  TSyntaxParser Parser;
  TRecordingProgress Progress;
  Parser.ReadFromFile(LUMARA_TEST_DATA "/import/syntax/clauses.txt");
  EXPECT_THAT(Progress.Calls, ElementsAre("start 0 3 Reading source", "show 0", "show 1", "show 2",
                                          "show 3", "stop"));
  EXPECT_EQ(Parser.Text(), "Pen (1,2,0)Brush (2,16777215,0)' a comment lineSymbol (35,0,12)");
  ASSERT_EQ(Parser.Count(), 28);
  EXPECT_EQ(Tokens(Parser)[14], (TTok{"16777215", 9, sikNumber}));
  EXPECT_EQ(Parser[14].Line(), 1);
  const TSyntaxItem& Comment = Parser[18];
  EXPECT_EQ((TTok{Comment.Value(), Comment.Offset(), Comment.Kind()}),
            (TTok{"' a comment line", 0, sikComment}));
  EXPECT_EQ(Comment.Line(), 2);
  EXPECT_EQ(Parser[19].Value(), "Symbol");
  EXPECT_EQ(Parser[19].Line(), 3);
}

TEST_F(SyntaxParserFile, LineBreaksAreNotTokens) {
  TSyntaxParser Parser;
  Parser.ReadFromFile(Write("crlf.txt", "a b\r\nc\rd\n"));
  EXPECT_THAT(Values(Parser), ElementsAre("a", " ", "b", "c", "d"));
  EXPECT_THAT(Lines(Parser), ElementsAre(0, 0, 0, 1, 2));
}

// ---------------------------------------------------------------------------
// Item access

TEST(SyntaxParser, ValidIndexLeavesOutIndexZero) {
  TSyntaxParser Parser;
  EXPECT_FALSE(Parser.ValidIndex(0));
  EXPECT_FALSE(Parser.ValidIndex(-1));
  Parser.Add("a", 0, 0);
  EXPECT_FALSE(Parser.ValidIndex(0));
  EXPECT_FALSE(Parser.ValidIndex(1));
  Parser.Add("b", 1, 0);
  Parser.Add("c", 2, 0);
  EXPECT_FALSE(Parser.ValidIndex(-1));
  EXPECT_FALSE(Parser.ValidIndex(0));
  EXPECT_TRUE(Parser.ValidIndex(1));
  EXPECT_TRUE(Parser.ValidIndex(2));
  EXPECT_FALSE(Parser.ValidIndex(3));
}

TEST(SyntaxParser, ItemFromOffsetTakesTheFirstCoveringItemOfAnyLine) {
  TSyntaxParser Parser;
  Parser.SetSkipChars({' '});
  Parser.Read("ab cd", 0, false, true);
  Parser.Read("x", 1, false, false);
  Parser.Read("wxyz", 2, false, false);
  Parser.Add("", 9, 3);
  EXPECT_EQ(Parser.ItemFromOffset(0), &Parser[0]) << "ab, not x of line 1";
  EXPECT_EQ(Parser.ItemFromOffset(1), &Parser[0]);
  EXPECT_EQ(Parser.ItemFromOffset(2), &Parser[3]) << "the skipped space of line 0, wxyz of line 2";
  EXPECT_EQ(Parser.ItemFromOffset(3), &Parser[1]);
  EXPECT_EQ(Parser.ItemFromOffset(4), &Parser[1]);
  EXPECT_EQ(Parser.ItemFromOffset(5), nullptr);
  EXPECT_EQ(Parser.ItemFromOffset(9), nullptr) << "an empty item covers no column";
  EXPECT_EQ(Parser.ItemFromOffset(-1), nullptr);
  Parser.Delete(3);
  EXPECT_EQ(Parser.ItemFromOffset(2), nullptr) << "a column between two items";
  EXPECT_EQ(TSyntaxParser().ItemFromOffset(0), nullptr);
}

TEST(SyntaxParser, GetItemsRaisesTheListIndexErrorOutOfRange) {
  TSyntaxParser Parser;
  Parser.Add("a", 0, 0);
  EXPECT_EQ(&Parser.GetItems(0), &Parser[0]);
  EXPECT_EQ(&Parser.Items(0), &Parser[0]);
  EXPECT_THROW((void)Parser.GetItems(-1), EListError);
  try {
    (void)Parser.GetItems(1);
    FAIL() << "no error";
  } catch (const EListError& Error) {
    EXPECT_EQ(Error.Message(), "List index out of bounds (1)");
  }
}

TEST(SyntaxParser, SetItemsRaisesTheAssignmentError) {
  TSyntaxParser Parser;
  Parser.Add("a", 0, 0);
  Parser.Add("b", 5, 1);
  try {
    Parser.SetItems(0, Parser[1]);
    FAIL() << "no error";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "Cannot assign a TSyntaxItem to a TSyntaxItem");
  }
  EXPECT_EQ(Parser[0].Value(), "a");
  EXPECT_EQ(Parser[0].Offset(), 0);
  EXPECT_THROW(Parser.SetItems(2, Parser[1]), EListError);
}

} // namespace
