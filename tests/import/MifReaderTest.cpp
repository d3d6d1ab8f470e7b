// The MIF/MID reader: the worked example of a small file with the mended results,
// one fixture per mend, the clause forms, colours, the MID file's name, line
// ends and hostile input. Fixtures live in tests/data/import/mif/.
#include "MifReader.h"

#include "DateTime.h"
#include "Errors.h"
#include "MapFixture.h"
#include "ModelPrinters.h"
#include "Recorders.h"
#include "Text.h"

#include <QApplication>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Fixture(const std::string& Name) {
  return std::string(LUMARA_TEST_DATA) + "/import/mif/" + Name;
}

std::string ReadBytes(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

// A directory of its own for files a test writes, removed afterwards.
class TTempDir {
public:
  TTempDir() {
    FPath = std::filesystem::temp_directory_path() /
            ("lumara_mif_" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(FPath);
  }
  ~TTempDir() {
    std::error_code Error;
    std::filesystem::remove_all(FPath, Error);
  }
  std::string Write(const std::string& Name, std::string_view Bytes) const {
    const std::string File = (FPath / Name).string();
    std::ofstream(File, std::ios::binary)
        .write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return File;
  }

private:
  std::filesystem::path FPath;
};

// Loads in-memory text into a layer without a map.
void ReadText(TMapLayer& Layer, std::string_view Mif,
              std::optional<std::string_view> Mid = std::nullopt,
              std::string_view Name = "memory.mif") {
  TMifReader(Layer).ReadText(Mif, Mid, Name);
}

template <class TObject>
TObject& ObjectAs(const TMapLayer& Layer, int Index) {
  auto* Object = dynamic_cast<TObject*>(Layer.GetObjects(Index));
  if (!Object) throw std::runtime_error("object " + std::to_string(Index) + " is of another class");
  return *Object;
}

std::string Value(const TCustomMapObject& Object, const char* Field) {
  const TDataField* Found = Object.Fields().FieldByName(Field);
  return Found ? Found->GetAsString() : "<no field " + std::string(Field) + ">";
}

using TPointList = std::vector<std::pair<Extended, Extended>>;

TPointList PointsOf(const TCustomMapObject& Object, int Part) {
  TPointList Points;
  for (const TMapPoint& Point : Object.Parts()[Part].Points())
    Points.emplace_back(Point.X(), Point.Y());
  return Points;
}

// Runs Load, expects an error of class TError, and answers its message.
template <class TError>
std::string MessageOf(const std::function<void()>& Load) {
  try {
    Load();
  } catch (const TError& Error) {
    return Error.Message();
  } catch (const std::exception& Other) {
    return std::string("another error: ") + Other.what();
  }
  return "no error";
}

class MifReaderTest : public TMapTest {
protected:
  // Progress events of the map, as "start 0 4 Reading", "show 3", "stop".
  void LogProgress() {
    Map->SetOnStartProgress([this](TObject*, int Min, int Max, const std::string& Title) {
      Log.Add("start " + std::to_string(Min) + " " + std::to_string(Max) + " " + Title +
              (Map->InUpdate() ? " (in update)" : ""));
    });
    Map->SetOnShowProgress(
        [this](TObject*, int Progress) { Log.Add("show " + std::to_string(Progress)); });
    Map->SetOnStopProgress([this](TObject*) {
      Log.Add(std::string("stop") + (Map->InUpdate() ? " (in update)" : ""));
    });
  }
};

// ---------------------------------------------------------------------------
// The worked example

void ExpectWorkedExample(const TMapLayer& Layer) {
  ASSERT_EQ(Layer.GetObjectCount(), 3);
  ASSERT_EQ(Layer.Fields().Count(), 3);
  EXPECT_EQ(Layer.Fields()[0].Name(), "Name");
  EXPECT_EQ(Layer.Fields()[0].DataType(), dtString);
  EXPECT_EQ(Layer.Fields()[1].DataType(), dtInteger);
  EXPECT_EQ(Layer.Fields()[2].DataType(), dtFloat);

  const auto& Lake = ObjectAs<TRegion>(Layer, 0);
  ASSERT_EQ(Lake.Parts().Count(), 1);
  EXPECT_EQ(PointsOf(Lake, 0), (TPointList{{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
  EXPECT_EQ(Lake.Pen().Color(), 0);
  EXPECT_EQ(Lake.Brush().Color(), 255) << "MIF red is the platform's 255";
  EXPECT_EQ(Value(Lake, "Name"), "Lake");
  EXPECT_EQ(Value(Lake, "Pop"), "1200") << "mended: an Integer column keeps its value";
  EXPECT_EQ(Lake.Fields()[1].GetAsInteger(), 1200);
  EXPECT_EQ(Value(Lake, "Area"), "3.5");

  const auto& Town = ObjectAs<TSymbol>(Layer, 1);
  EXPECT_EQ(Town.X(), 3.5L);
  EXPECT_EQ(Town.Y(), -2.25L);
  EXPECT_EQ(Town.Shape(), 35);
  EXPECT_EQ(Town.Font().Color(), 16711680);
  EXPECT_EQ(Town.Font().Size(), 12);
  EXPECT_EQ(Town.Font().Name(), "Map Symbols");
  EXPECT_EQ(Value(Town, "Name"), "Town");
  EXPECT_EQ(Town.Fields()[1].GetAsFloat(), 500);
  EXPECT_EQ(Value(Town, "Area"), "0");

  const auto& Road = ObjectAs<TPolyline>(Layer, 2);
  EXPECT_EQ(PointsOf(Road, 0), (TPointList{{0, 0}, {5, 5}}));
  EXPECT_EQ(Road.Pen().Color(), 65280);
  EXPECT_EQ(Value(Road, "Name"), "Road");
  EXPECT_EQ(Value(Road, "Pop"), "0");
  EXPECT_EQ(Road.Fields()[2].GetAsFloat(), 12.75L);
}

TEST_F(MifReaderTest, WorkedExampleThroughTheLayerList) {
  LogEvents();
  LogProgress();
  TRecordingLink Link(Log);
  Link.SetMap(Map);
  TMapLayer& Layer = *Map->Layers()->Add(Fixture("worked_example.mif"), "world");
  ExpectWorkedExample(Layer);
  EXPECT_EQ(Layer.Name(), "world");
  EXPECT_EQ(Layer.FileName(), Fixture("worked_example.mif"));
  EXPECT_FALSE(Map->InUpdate());

  // Progress in 128-byte blocks of the MIF file, once per statement line,
  // inside the update bracket; the layer is announced after the load.
  const auto Size = static_cast<int>(std::filesystem::file_size(Fixture("worked_example.mif")));
  std::vector<std::string> Expected = {"start 0 " + std::to_string(Size / 128) +
                                       " Reading (in update)"};
  const std::vector<std::string> Lines = Log.Take();
  ASSERT_GE(Lines.size(), 6u);
  EXPECT_EQ(Lines.front(), Expected.front());
  int Shows = 0, AddObjects = 0;
  std::size_t Stop = 0;
  for (std::size_t Index = 1; Index < Lines.size(); ++Index) {
    if (Lines[Index].starts_with("show ")) ++Shows;
    if (Lines[Index] == "mdlAddObject") ++AddObjects;
    if (Lines[Index].starts_with("stop")) Stop = Index;
  }
  // Statement lines: Version, Delimiter, Columns, Data, Region, Point, Pline,
  // Line and the final Pen (the clause lines of read objects are not scanned).
  EXPECT_EQ(Shows, 9);
  EXPECT_EQ(AddObjects, 3);
  ASSERT_EQ(Stop, Lines.size() - 3);
  EXPECT_EQ(Lines[Stop], "stop (in update)") << "progress stops before the bracket ends";
  EXPECT_EQ(Lines[Lines.size() - 2], "OnAddLayer world");
  EXPECT_EQ(Lines.back(), "mdlAfterAddLayer");
  EXPECT_EQ(Lines[Stop - 1], "show " + std::to_string(Size / 128)) << "the final line is examined";
}

TEST_F(MifReaderTest, LoadingPaintsOnceAtTheEnd) {
  Window->resize(360, 180);
  Window->show();
  QApplication::processEvents();
  int Paints = 0;
  Map->SetOnUpdate([&](TObject*) { ++Paints; });
  Map->Layers()->Add(Fixture("worked_example.mif"), "world");
  QApplication::processEvents();
  EXPECT_EQ(Paints, 1);
}

TEST_F(MifReaderTest, InsertNamesTheLayerAfterItsFile) {
  TMapLayer& Layer = *Map->Layers()->Insert(Fixture("worked_example.mif"), 0);
  EXPECT_EQ(Layer.Name(), "worked_example");
  ExpectWorkedExample(Layer);
}

TEST(MifReader, WorkedExampleWithEveryLineEnd) {
  for (const char* Name :
       {"worked_example.mif", "worked_example_crlf.mif", "worked_example_cr.mif"}) {
    SCOPED_TRACE(Name);
    TMapLayer Layer;
    Layer.LoadFromFile(Fixture(Name), "");
    ExpectWorkedExample(Layer);
  }
}

TEST(MifReader, ReadingAgainAddsObjectsAndColumnsReplaceFields) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("worked_example.mif"), "");
  Layer.LoadFromFile(Fixture("final_point.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 4);
  ASSERT_EQ(Layer.Fields().Count(), 1);
  EXPECT_EQ(Value(*Layer.GetObjects(0), "Pop"), "1200") << "objects already read keep their fields";
  EXPECT_EQ(Value(*Layer.GetObjects(3), "Name"), "last");
}

// ---------------------------------------------------------------------------
// Mend 1: statements by their first word

TEST(MifReader, KeywordsInsideWordsOrTextsMakeNothing) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("text_pointe_noire.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 1) << "a TEXT reading Pointe-Noire is no symbol";
  const auto& Town = ObjectAs<TSymbol>(Layer, 0);
  EXPECT_EQ(Town.X(), 11.86L);
  EXPECT_EQ(Town.Y(), -4.78L);
  EXPECT_EQ(Value(Town, "Name"), "Pointe-Noire") << "the two texts took their own records";
}

TEST(MifReader, IsObjAttrStringClassifiesByTheFirstWord) {
  const struct {
    const char* Line;
    TObjectAttribute Attribute;
  } Cases[] = {
      {"Pen (1,2,0)", oaPen},
      {"    BRUSH (2,0,0)", oaBrush},
      {"\tCenter 1 2", oaCenter},
      {"Font (\"Arial\",0,0,0)", oaFont},
      {"symbol (35,0,12)", oaSymbol},
      {"pen(1,2,3)", oaPen},
      {"Pen (1,2,0) Symbol", oaPen},
      {"Symbol Pen", oaSymbol},
      {"OPEN", oaNone},
      {"Penny (1,2,3)", oaNone},
      {"\"Pen\"", oaNone},
      {"Pline 2", oaNone},
      {"", oaNone},
      {"  ", oaNone},
      {"12 Pen", oaNone},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(TMapLayer::IsObjAttrString(Case.Line), Case.Attribute) << Case.Line;
}

// ---------------------------------------------------------------------------
// Mend 2: one record per object statement

TEST(MifReader, EveryObjectStatementTakesOneRecord) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("collection_records.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  const auto& Point = ObjectAs<TSymbol>(Layer, 0);
  EXPECT_EQ(Point.X(), 5);
  EXPECT_EQ(Value(Point, "Name"), "point") << "the collection took one record, its sections none";
  const auto& Region = ObjectAs<TRegion>(Layer, 1);
  EXPECT_EQ(PointsOf(Region, 0), (TPointList{{10, 10}, {11, 10}, {10, 11}}));
  EXPECT_EQ(Value(Region, "Name"), "region") << "nine objects of other kinds took one record each";
  EXPECT_EQ(Region.Pen(), Layer.DefaultPen()) << "clauses of other kinds apply to nothing";
}

TEST(MifReader, ACollectionEndsAtASecondSectionOfOneKind) {
  TMapLayer Layer;
  ReadText(Layer,
           "Columns 1\n N Char(9)\nData\nCollection 3\nRegion 1\n 3\n0 0\n1 0\n0 1\nRegion 1\n "
           "3\n5 5\n6 5\n5 6\n",
           "\"coll\"\n\"region\"\n");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(0), 0), (TPointList{{5, 5}, {6, 5}, {5, 6}}));
  EXPECT_EQ(Value(*Layer.GetObjects(0), "N"), "region");
}

TEST(MifReader, AMidShorterThanTheObjectsLeavesTheRestAlone) {
  TMapLayer Layer;
  ReadText(Layer, "Columns 2\n A Char(5)\n B Float\nData\nPoint 1 1\nPoint 2 2\nPoint 3 3\n",
           "\"a\"\t1\n");
  ASSERT_EQ(Layer.GetObjectCount(), 3);
  EXPECT_EQ(Value(*Layer.GetObjects(0), "A"), "a");
  EXPECT_TRUE(Layer.GetObjects(1)->Fields()[0].Value().IsEmpty());
  EXPECT_TRUE(Layer.GetObjects(2)->Fields()[1].Value().IsEmpty());
}

// ---------------------------------------------------------------------------
// Mend 3: the last line is examined

TEST(MifReader, AFinalPointBecomesASymbol) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("final_point.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  const auto& Point = ObjectAs<TSymbol>(Layer, 0);
  EXPECT_EQ(Point.X(), 1.5L);
  EXPECT_EQ(Point.Y(), 2.5L);
  EXPECT_EQ(Value(Point, "Name"), "last");
}

TEST(MifReader, AFinalClauseApplies) {
  TMapLayer Layer;
  ReadText(Layer, "Pline 1\n0 0\n  Pen (1,2,255)");
  EXPECT_EQ(Layer.GetObjects(0)->Pen().Color(), 16711680);
}

// ---------------------------------------------------------------------------
// Mend 4: quote-aware records, the separator as written, the tab by default

TEST(MifReader, QuotedValuesKeepTheirSeparators) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("quoted_separator.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 3);
  const TCustomMapObject& First = *Layer.GetObjects(0);
  EXPECT_EQ(Value(First, "Name"), "Smith, J");
  EXPECT_EQ(Value(First, "Pop"), "12");
  EXPECT_EQ(Value(First, "Note"), "say \"hi\"") << "two quotes in a quoted value stand for one";
  EXPECT_EQ(Value(First, "Code"), "X") << "a bare value keeps its characters";
  const TCustomMapObject& Second = *Layer.GetObjects(1);
  EXPECT_EQ(Value(Second, "Name"), "Bare");
  EXPECT_EQ(Value(Second, "Note"), "");
  EXPECT_EQ(Value(Second, "Code"), "a");
  const TCustomMapObject& Third = *Layer.GetObjects(2);
  EXPECT_EQ(Value(Third, "Name"), "\"unclosed, still one,3")
      << "an unclosed quote runs to the end of the line";
  EXPECT_TRUE(Third.Fields()[1].Value().IsEmpty());
}

TEST(MifReader, SeparatorRules) {
  const struct {
    const char* File;
    const char* A;
    const char* B;
  } Cases[] = {
      {"tab_default.mif", "Oslo; Norway", "709000"},    // no DELIMITER: the tab
      {"lower_case_delimiter.mif", "oneXtwo", "three"}, // taken before upper-casing
      {"unquoted_delimiter.mif", "a;b", "5"},           // without quotes: as written
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.File);
    TMapLayer Layer;
    Layer.LoadFromFile(Fixture(Case.File), "");
    ASSERT_EQ(Layer.GetObjectCount(), 1);
    const TCustomMapObject& Object = *Layer.GetObjects(0);
    EXPECT_EQ(Object.Fields()[0].GetAsString(), Case.A);
    EXPECT_EQ(Object.Fields()[1].GetAsString(), Case.B);
  }
}

TEST(MifReader, ALiteralBackslashTIsTheTab) {
  TMapLayer Layer;
  ReadText(Layer, "Delimiter \"\\t\"\nColumns 2\n A Char(5)\n B Char(5)\nData\nPoint 1 1\n",
           "x,y\tz\n");
  EXPECT_EQ(Value(*Layer.GetObjects(0), "A"), "x,y");
  EXPECT_EQ(Value(*Layer.GetObjects(0), "B"), "z");
}

TEST(MifReader, TheRecordParserKeepsItsOwnDefaults) {
  TStringParser Parser;
  EXPECT_FALSE(Parser.Quoted());
  EXPECT_EQ(Parser.Delimiter(), ";");
  Parser.FromString("\"a;b\";c");
  EXPECT_EQ(Parser.Count(), 3) << "quote-unaware for other callers";
}

// ---------------------------------------------------------------------------
// Mend 5: values of every column type

TEST(MifReader, EveryColumnTypeKeepsItsValue) {
  TScopedDateSettings Dates(TDateSettings{});
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("column_types.mif"), "");
  ASSERT_EQ(Layer.Fields().Count(), 11);
  const TDataType Types[] = {dtString, dtFloat, dtDecimal, dtInteger, dtSmallInt, dtDate,
                             dtFloat,  dtFloat, dtDate,    dtFloat,   dtDate};
  for (int Index = 0; Index < 11; ++Index)
    EXPECT_EQ(Layer.Fields()[Index].DataType(), Types[Index]) << Layer.Fields()[Index].Name();
  ASSERT_EQ(Layer.GetObjectCount(), 3);

  const TDataFields& A = Layer.GetObjects(0)->Fields();
  EXPECT_EQ(A[0].GetAsString(), "s");
  EXPECT_EQ(A[1].GetAsFloat(), 1.5L);
  EXPECT_EQ(A[2].GetAsString(), "2.25");
  EXPECT_EQ(A[3].GetAsInteger(), 42);
  EXPECT_EQ(A[3].GetAsFloat(), 42);
  EXPECT_EQ(A[3].GetAsString(), "42");
  EXPECT_EQ(A[4].GetAsInteger(), 7);
  EXPECT_EQ(A[5].GetAsDate(), EncodeDate(2024, 1, 31));
  EXPECT_EQ(A[5].GetAsString(), "31/01/2024");
  EXPECT_EQ(A[6].GetAsString(), "T");
  EXPECT_EQ(A[7].GetAsString(), "123456");
  EXPECT_EQ(A[8].GetAsDate(), EncodeDate(2024, 1, 31)) << "the date part of a date-time value";
  EXPECT_EQ(A[9].GetAsFloat(), 9000000000.0L);
  EXPECT_TRUE(A[10].Value().IsEmpty()) << "an empty date leaves the field empty";

  const TDataFields& B = Layer.GetObjects(1)->Fields();
  EXPECT_EQ(B[3].GetAsInteger(), -3);
  EXPECT_EQ(B[5].GetAsDate(), EncodeDate(2000, 1, 1)) << "a quoted date is read too";
  EXPECT_EQ(B[8].GetAsDate(), EncodeDate(1999, 12, 31));
  EXPECT_EQ(B[10].GetAsString(), "2024-01-31") << "an unreadable date keeps its text";

  const TDataFields& C = Layer.GetObjects(2)->Fields();
  EXPECT_EQ(C[1].GetAsString(), "abc");
  EXPECT_THROW((void)C[1].GetAsFloat(), EConvertError);
  EXPECT_EQ(C[3].GetAsString(), "");
  EXPECT_TRUE(C[5].Value().IsEmpty());
  EXPECT_EQ(C[10].GetAsString(), "20241340");
}

TEST(MifReader, ADateTimeFieldKeepsTheTime) {
  TMapLayer Layer;
  Layer.Fields().Add("When", dtDateTime, 0);
  ReadText(Layer, "Point 1 1\n", "20240131123000500\n");
  EXPECT_NEAR(static_cast<double>(Layer.GetObjects(0)->Fields()[0].GetAsDateTime()),
              EncodeDate(2024, 1, 31) + EncodeTime(12, 30, 0, 500), 1e-9);
}

TEST(MifReader, ColumnTypesByTheWordsTheyContain) {
  const struct {
    const char* Type;
    TDataType DataType;
  } Cases[] = {{"Char(20)", dtString}, {"char(254)", dtString},
               {"Float", dtFloat},     {"Decimal(10,2)", dtDecimal},
               {"Integer", dtInteger}, {"SmallInt", dtSmallInt},
               {"Date", dtDate},       {"DateTime", dtDate},
               {"Logical", dtFloat},   {"Time", dtFloat},
               {"LargeInt", dtFloat},  {"", dtFloat}};
  std::string Mif = "Columns " + std::to_string(std::size(Cases)) + "\n";
  for (const auto& Case : Cases) Mif += std::string("  Column ") + Case.Type + "\n";
  TMapLayer Layer;
  ReadText(Layer, Mif);
  ASSERT_EQ(Layer.Fields().Count(), static_cast<int>(std::size(Cases)));
  for (int Index = 0; Index < Layer.Fields().Count(); ++Index) {
    EXPECT_EQ(Layer.Fields()[Index].DataType(), Cases[Index].DataType) << Cases[Index].Type;
    EXPECT_EQ(Layer.Fields()[Index].Name(), "Column");
  }
  EXPECT_EQ(Layer.Fields()[0].Size(), 255)
      << "fields are made with size 0, a text field then gets 255";
}

TEST(MifReader, ADataStatementEndsAShortColumnList) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("short_columns.mif"), "");
  ASSERT_EQ(Layer.Fields().Count(), 2) << "blank lines are no columns";
  EXPECT_EQ(Layer.Fields()[1].Name(), "Pop");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  EXPECT_EQ(Value(*Layer.GetObjects(0), "Pop"), "3");
}

// ---------------------------------------------------------------------------
// Mend 6: tabs are blanks

TEST(MifReader, TabsAreBlanksInClauseAndPointLines) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("tabs.mif"), "");
  ASSERT_EQ(Layer.Fields().Count(), 1);
  EXPECT_EQ(Layer.Fields()[0].Name(), "Name");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  const auto& Point = ObjectAs<TSymbol>(Layer, 0);
  EXPECT_EQ(Point.X(), 1.5L);
  EXPECT_EQ(Point.Y(), 2.5L);
  EXPECT_EQ(Point.Shape(), 40);
  EXPECT_EQ(Point.Font().Color(), 16711680);
  EXPECT_EQ(Point.Font().Size(), 9);
  const auto& Region = ObjectAs<TRegion>(Layer, 1);
  EXPECT_EQ(PointsOf(Region, 0), (TPointList{{0, 0}, {1, 0}, {0, 1}}));
  EXPECT_EQ(Region.Pen().Color(), 16711680);
  EXPECT_EQ(Region.Brush().Color(), 65280);
}

// ---------------------------------------------------------------------------
// Mend 7: SYMBOL in three values, PLINE MULTIPLE, a count on the next line

TEST(MifReader, SymbolInThreeValues) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("symbol_three_values.mif"), "");
  const auto& Point = ObjectAs<TSymbol>(Layer, 0);
  EXPECT_EQ(Point.Shape(), 35);
  EXPECT_EQ(Point.Font().Color(), 255);
  EXPECT_EQ(Point.Font().Size(), 14);
  EXPECT_EQ(Point.Font().Name(), Layer.DefaultFont().Name()) << "no font name in this form";
}

TEST(MifReader, PlineMultipleReadsOnePartPerSection) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("pline_multiple.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  const auto& Line = ObjectAs<TPolyline>(Layer, 0);
  ASSERT_EQ(Line.Parts().Count(), 3);
  EXPECT_EQ(PointsOf(Line, 0), (TPointList{{0, 0}, {1, 1}}));
  EXPECT_EQ(PointsOf(Line, 1), (TPointList{{10, 10}, {11, 11}, {12, 12}}));
  EXPECT_EQ(PointsOf(Line, 2), (TPointList{{20, 20}}));
  EXPECT_EQ(Line.Pen().Color(), 16711680);
  EXPECT_EQ(Line.GetBounds(), Bounds(0, 0, 20, 20));
  EXPECT_EQ(ObjectAs<TSymbol>(Layer, 1).X(), 5);
}

TEST(MifReader, APlineCountOnTheNextLine) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("pline_count_next_line.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(0), 0), (TPointList{{0, 0}, {1, 1}, {2, 2}}));
  EXPECT_EQ(Layer.GetObjects(0)->Pen().Color(), 16711680);
  ASSERT_EQ(Layer.GetObjects(1)->Parts().Count(), 2);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(1), 1), (TPointList{{6, 6}}));
}

// ---------------------------------------------------------------------------
// Mend 8: counts never drive the work

TEST(MifReader, HugeCountsEndAtTheEndOfTheFile) {
  const auto Started = std::chrono::steady_clock::now();
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("huge_count.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  ASSERT_EQ(Layer.GetObjects(0)->Parts().Count(), 1);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(0), 0), (TPointList{{0, 0}, {1, 1}}));
  Layer.LoadFromFile(Fixture("huge_pline_count.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  EXPECT_EQ(Layer.GetObjects(1)->Parts()[0].Points().Count(), 3);
  EXPECT_LT(std::chrono::steady_clock::now() - Started, std::chrono::seconds(5));
}

TEST(MifReader, TruncatedInTheMiddleOfARing) {
  TMapLayer Layer;
  ReadText(Layer, "Region 2\n  4\n0 0\n10 0\n10 10\n0 0\n  5\n1 1\n2 2\n");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  ASSERT_EQ(Layer.GetObjects(0)->Parts().Count(), 2);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(0), 1), (TPointList{{1, 1}, {2, 2}}));
}

// ---------------------------------------------------------------------------
// Mend 9: the charset decides how texts are shown

TEST(MifReader, TheCharsetDecidesHowTextsAreShown) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("cp1251.mif"), "");
  EXPECT_EQ(Layer.Charset(), "WindowsCyrillic");
  ASSERT_EQ(Layer.GetObjectCount(), 1);
  const std::string Name = Value(*Layer.GetObjects(0), "Name");
  EXPECT_EQ(Name, "\xCC\xEE\xF1\xEA\xE2\xE0") << "stored values stay the file's bytes";
  EXPECT_EQ(Layer.DisplayText(Name), QString::fromUtf8("Москва"));
  EXPECT_EQ(DisplayText(Name), QString::fromUtf8("Ìîñêâà")) << "without the charset: Windows-1252";

  TMapLayer Other;
  ReadText(Other, "Version 300\nPoint 1 1\n");
  EXPECT_EQ(Other.Charset(), "") << "a load without a Charset statement";
}

TEST(MifReader, DisplayTextByCharset) {
  const struct {
    const char* Text;
    const char* Charset;
    const char* Shown; // UTF-8
  } Cases[] = {
      {"Z\xc3\xbcrich", "", "Zürich"},        // general rule: valid UTF-8
      {"Z\xfcrich \x80", "", "Zürich €"},     // general rule: otherwise Windows-1252
      {"Z\xc3\xbcrich", "Neutral", "Zürich"}, // no conversion: the general rule
      {"Z\xfcrich", "neutral", "Zürich"},
      {"Z\xfcrich \x80", "WindowsLatin1", "Zürich €"},
      {"\xc3\xbc", "WindowsLatin1", "Ã¼"}, // the charset wins over valid UTF-8
      {"\xcc\xee\xf1\xea\xe2\xe0", "WindowsCyrillic", "Москва"},
      {"\xcc\xee\xf1\xea\xe2\xe0", "windowscyrillic", "Москва"},
      {"Z\xc3\xbcrich", "UTF-8", "Zürich"},
      {"\xe9t\xe9", "ISO8859_1", "été"},
      {"\x8e", "CodePage437", "Ä"},
      {"\xb3\xf3\x64\x9f", "WindowsLatin2", "łódź"},
      {"\xc1\xe8\xde\xed\xe1", "WindowsGreek", "Αθήνα"},
      {"\x93\x8c\x8b\x9e", "WindowsJapanese", "東京"},
      {"\xcc\xee", "CP1251", "Мо"},             // a code page's own name
      {"Z\xfcrich", "NoSuchCharset", "Zürich"}, // unknown: the general rule
      {"plain", "WindowsCyrillic", "plain"},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(DisplayText(Case.Text, Case.Charset), QString::fromUtf8(Case.Shown)) << Case.Charset;
}

// ---------------------------------------------------------------------------
// Clauses

TEST(MifReader, SymbolAfterAnObjectWithoutShape) {
  TMapLayer Layer;
  Layer.LoadFromFile(Fixture("symbol_after_region.mif"), "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  const auto& Region = ObjectAs<TRegion>(Layer, 0);
  EXPECT_EQ(Region.Font().Color(), 16711680);
  EXPECT_EQ(Region.Font().Size(), 12);
  EXPECT_EQ(Region.Font().Name(), "Arial");
  const auto& Pin = ObjectAs<TSymbol>(Layer, 1);
  EXPECT_EQ(Pin.Shape(), 31) << "a custom (bitmap) symbol has no shape";
  EXPECT_EQ(Pin.Font().Color(), 65280);
  EXPECT_EQ(Pin.Font().Size(), 18);
  EXPECT_EQ(Pin.Font().Name(), Layer.DefaultFont().Name());
}

TEST(MifReader, ClauseForms) {
  struct TCase {
    const char* Name;
    const char* Clause;
    std::function<void(const TSymbol&)> Check;
  };
  const TCase Cases[] = {
      {"pen_colour", "Pen (1,2,255)",
       [](const TSymbol& S) { EXPECT_EQ(S.Pen().Color(), 16711680); }},
      {"pen_without_parentheses", "PEN 1 2 65280",
       [](const TSymbol& S) { EXPECT_EQ(S.Pen().Color(), 65280); }},
      {"pen_spaced", "  pen ( 1 , 2 , 16711680 )",
       [](const TSymbol& S) { EXPECT_EQ(S.Pen().Color(), 255); }},
      {"brush_two_values", "Brush (2,255)",
       [](const TSymbol& S) { EXPECT_EQ(S.Brush().Color(), 16711680); }},
      {"brush_three_values", "Brush (2,65280,16777215)",
       [](const TSymbol& S) { EXPECT_EQ(S.Brush().Color(), 65280); }},
      {"symbol_long_form", "Symbol (64,0,24,\"Wingdings\",1,45)",
       [](const TSymbol& S) {
         EXPECT_EQ(S.Shape(), 64);
         EXPECT_EQ(S.Font().Size(), 24);
         EXPECT_EQ(S.Font().Name(), "Wingdings");
       }},
      {"symbol_shape_below_31", "Symbol (20,0,10)",
       [](const TSymbol& S) { EXPECT_EQ(S.Shape(), 31); }},
      {"symbol_bare_font_name", "Symbol (50,0,10,Arial)",
       [](const TSymbol& S) { EXPECT_EQ(S.Font().Name(), "Arial"); }},
      {"signed_colour", "Pen (1,2,-1)",
       [](const TSymbol& S) { EXPECT_EQ(S.Pen().Color(), MIFColorToColor(-1)); }},
      {"plus_sign", "Pen (1,2,+255)",
       [](const TSymbol& S) { EXPECT_EQ(S.Pen().Color(), 16711680); }},
      {"center_has_no_effect", "Center 1 2", [](const TSymbol& S) { EXPECT_EQ(S.X(), 0); }},
      {"font_has_no_effect", "Font (\"Arial\",0,9,0)",
       [](const TSymbol& S) { EXPECT_EQ(S.Font().Size(), 8); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMapLayer Layer;
    ReadText(Layer, std::string("Point 0 0\n") + Case.Clause + "\n");
    ASSERT_EQ(Layer.GetObjectCount(), 1);
    Case.Check(ObjectAs<TSymbol>(Layer, 0));
  }
}

TEST(MifReader, ClauseErrorsNameTheFileAndLine) {
  const struct {
    const char* Clause;
    bool List; // EListError, otherwise EConvertError
    const char* Text;
  } Cases[] = {
      {"Pen (1,2)", true, "PEN needs 3 values, found 2"},
      {"Pen", true, "PEN needs 3 values, found 0"},
      {"Brush (2)", true, "BRUSH needs 2 values, found 1"},
      {"Symbol (35,0)", true, "SYMBOL needs 3 values, found 2"},
      {"Pen (1,2,red)", false, "\"red\" is not a valid integer in PEN"},
      {"Pen (1,2,1.5)", false, "\"1.5\" is not a valid integer in PEN"},
      {"Symbol (a,0,12)", false, "\"a\" is not a valid integer in SYMBOL"},
      {"Brush (2,99999999999)", false, "\"99999999999\" is not a valid integer in BRUSH"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Clause);
    TMapLayer Layer;
    const std::string Mif = std::string("Version 300\nPoint 0 0\n") + Case.Clause + "\n";
    const auto Load = [&] { ReadText(Layer, Mif, std::nullopt, "clauses.mif"); };
    const std::string Message =
        Case.List ? MessageOf<EListError>(Load) : MessageOf<EConvertError>(Load);
    EXPECT_EQ(Message, std::string("clauses.mif:3: ") + Case.Text);
    EXPECT_EQ(Layer.GetObjectCount(), 1) << "the object read so far stays";
  }
}

TEST(MifReader, PointLineErrors) {
  TMapLayer Layer;
  EXPECT_EQ(MessageOf<EListError>([&] { ReadText(Layer, "Point 1\n", std::nullopt, "p.mif"); }),
            "p.mif:1: POINT needs X and Y, found 1 values");
  EXPECT_EQ(MessageOf<EConvertError>(
                [&] { ReadText(Layer, "\nPoint 1 north\n", std::nullopt, "p.mif"); }),
            "p.mif:2: \"north\" is not a valid coordinate in POINT");
  EXPECT_EQ(
      MessageOf<EConvertError>([&] { ReadText(Layer, "Point 1 inf\n", std::nullopt, "p.mif"); }),
      "p.mif:1: \"inf\" is not a valid coordinate in POINT");
}

// ---------------------------------------------------------------------------
// Numbers

TEST(MifReader, CoordinatesAreTheNearestExtended) {
  std::mt19937_64 Random(7);
  std::string Mif = "Pline 400\n";
  std::vector<std::string> Texts;
  for (int Index = 0; Index < 400; ++Index) {
    // Six decimals (as common writers write them, the fast path) and twelve.
    std::string X = std::to_string(static_cast<long long>(Random() % 360) - 180) + "." +
                    std::to_string(Random() % (Index % 2 == 0 ? 1000000ULL : 1000000000000ULL));
    std::string Y = Index % 8 == 0   ? "1.2345678901234567890123e-5"
                    : Index % 8 == 4 ? std::to_string(Random() % 10000000) + "." +
                                           std::to_string(Random() % 10000000)
                    : Index % 4 == 1 ? "+" + std::to_string(Random() % 90) + "e2"
                    : Index % 4 == 2 ? "-." + std::to_string(Random() % 100000)
                                     : std::to_string(Random() % 100) + ".";
    Texts.push_back(X);
    Texts.push_back(Y);
    Mif += X + " " + Y + "\n";
  }
  TMapLayer Layer;
  ReadText(Layer, Mif);
  const TMapPoints& Points = Layer.GetObjects(0)->Parts()[0].Points();
  ASSERT_EQ(Points.Count(), 400);
  const auto Reference = [](std::string Text) {
    bool Negative = false;
    if (Text.front() == '+' || Text.front() == '-') {
      Negative = Text.front() == '-';
      Text.erase(0, 1);
    }
    long double Value = 0;
    std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Negative ? -Value : Value;
  };
  for (int Index = 0; Index < 400; ++Index) {
    EXPECT_EQ(Points[Index].X(), Reference(Texts[2 * Index])) << Texts[2 * Index];
    EXPECT_EQ(Points[Index].Y(), Reference(Texts[2 * Index + 1])) << Texts[2 * Index + 1];
  }
}

TEST(MifReader, MalformedCoordinates) {
  for (const char* Line :
       {"1,5 1", "inf 1", "nan 1", "0x10 1", "1 +-2", "1e 2", "1.2.3 4", "- 1", ". 1", "1"}) {
    SCOPED_TRACE(Line);
    TMapLayer Layer;
    EXPECT_EQ(MessageOf<EInOutError>(
                  [&] { ReadText(Layer, std::string("Pline 1\n") + Line + "\n", {}, "c.mif"); }),
              std::string("c.mif:2: expected X and Y, found \"") + Line + "\"");
  }
  TMapLayer Layer;
  ReadText(Layer, "Pline 3\n  1E3\t-2.5e-1   trailing words\n\n0 0\n-0 .5\n");
  EXPECT_EQ(PointsOf(*Layer.GetObjects(0), 0), (TPointList{{1000, -0.25L}, {0, 0}, {0, 0.5L}}))
      << "blank lines between points are passed over; the rest of a point line is not read";
}

// ---------------------------------------------------------------------------
// Colours

TEST(MifReader, MIFColorToColorTable) {
  const struct {
    int Mif;
    TColor Color;
  } Cases[] = {
      {0, 0},
      {16777215, 16777215},
      {16711680, 255}, // red
      {65280, 65280},  // green
      {255, 16711680}, // blue
      {0x123456, 0x563412},
      {16777216, 255}, // red saturates at 255
      {2147483647, 16777215},
      {-1, 16711680}, // the remainder keeps the sign, then its lowest 8 bits count
      {-65536, 255},
      {INT_MIN, 0},
  };
  for (const auto& Case : Cases) EXPECT_EQ(MIFColorToColor(Case.Mif), Case.Color) << Case.Mif;
}

// ---------------------------------------------------------------------------
// The MID file

TEST_F(MifReaderTest, AMissingMidFileLeavesTheFieldsEmpty) {
  TMapLayer& Layer = *Map->Layers()->Add(Fixture("no_mid.mif"), "no mid");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  EXPECT_EQ(Layer.Fields().Count(), 1);
  EXPECT_TRUE(Layer.GetObjects(1)->Fields()[0].Value().IsEmpty());
}

TEST(MifReader, TheMidFileInAnotherLetterCase) {
  EXPECT_EQ(TMifReader::FindMidFile(Fixture("worked_example.mif")), Fixture("worked_example.mid"));
  EXPECT_EQ(TMifReader::FindMidFile(Fixture("upper_case_mid.mif")), Fixture("upper_case_mid.MID"));
  EXPECT_EQ(TMifReader::FindMidFile(Fixture("mixed_case_mid.mif")), Fixture("mixed_case_mid.Mid"));
  EXPECT_EQ(TMifReader::FindMidFile(Fixture("no_mid.mif")), "");
  for (const char* Name : {"upper_case_mid.mif", "mixed_case_mid.mif"}) {
    TMapLayer Layer;
    Layer.LoadFromFile(Fixture(Name), "");
    ASSERT_EQ(Layer.GetObjectCount(), 1) << Name;
    EXPECT_NE(Value(*Layer.GetObjects(0), "Name"), "") << Name;
  }

  TTempDir Dir;
  Dir.Write("Roads.MIF", "Columns 1\n N Char(5)\nPoint 1 1\n");
  Dir.Write("ROADS.MID", "\"any\"\n");
  const std::string Mif = Dir.Write("Roads.MIF", "Columns 1\n N Char(5)\nPoint 1 1\n");
  EXPECT_THAT(TMifReader::FindMidFile(Mif), HasSubstr("ROADS.MID"))
      << "any letter case of the whole name";
  Dir.Write("Roads.mId", "\"ext\"\n");
  EXPECT_THAT(TMifReader::FindMidFile(Mif), HasSubstr("Roads.mId"))
      << "the base name as written comes first";
  const std::string Bare = Dir.Write("bare", "Columns 1\n N Char(5)\nPoint 1 1\n");
  Dir.Write("bare.mid", "\"b\"\n");
  EXPECT_THAT(TMifReader::FindMidFile(Bare), HasSubstr("bare.mid"));
}

// ---------------------------------------------------------------------------
// Lines

std::vector<std::string> LinesOf(std::string_view Text) {
  TMifLineReader Reader(Text, "text");
  std::vector<std::string> Lines;
  std::string_view Line;
  while (Reader.ReadLine(Line)) Lines.emplace_back(Line);
  return Lines;
}

TEST(MifLineReader, EveryLineEnd) {
  EXPECT_THAT(LinesOf("a\r\nb\nc\rd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(LinesOf("a\n\nb\r\r\nc\r\n"), ElementsAre("a", "", "b", "", "c"));
  EXPECT_THAT(LinesOf("a\r"), ElementsAre("a"));
  EXPECT_THAT(LinesOf("\n"), ElementsAre(""));
  EXPECT_THAT(LinesOf(""), ElementsAre());
  EXPECT_THAT(LinesOf("\xEF\xBB\xBFVersion 300\n\xEF\xBB\xBFx"),
              ElementsAre("Version 300", "\xEF\xBB\xBFx"))
      << "a byte order mark is dropped before the first line only";
  EXPECT_THAT(LinesOf(std::string_view("a\0b\nc", 5)), ElementsAre(std::string("a\0b", 3), "c"));
}

TEST(MifLineReader, CountsLinesAndBytes) {
  TMifLineReader Reader("ab\r\ncd\ref\n", "where.mif");
  std::string_view Line;
  EXPECT_EQ(Reader.Line(), 0);
  ASSERT_TRUE(Reader.ReadLine(Line));
  EXPECT_EQ(Reader.Position(), 4u);
  ASSERT_TRUE(Reader.ReadLine(Line));
  ASSERT_TRUE(Reader.ReadLine(Line));
  EXPECT_EQ(Reader.Where(), "where.mif:3");
  EXPECT_EQ(Reader.Position(), Reader.Size());
  EXPECT_EQ(Reader.Remaining(), 0u);
  EXPECT_FALSE(Reader.ReadLine(Line));
  EXPECT_EQ(Reader.Line(), 3);
}

TEST(MifLineReader, FilesAcrossBufferBoundaries) {
  // Lines of every length up to past the buffer, with all three line ends,
  // some of them falling on the buffer's edge.
  std::string Text;
  std::vector<std::string> Expected;
  const char* const Ends[] = {"\n", "\r\n", "\r"};
  std::mt19937 Random(3);
  for (int Index = 0; Text.size() < 1'200'000; ++Index) {
    const std::size_t Length = Index % 97 == 0 ? 300'000 : Random() % 200;
    std::string Line(Length, static_cast<char>('a' + Index % 26));
    Text += Line + Ends[Random() % 3];
    Expected.push_back(std::move(Line));
  }
  // A CR LF split exactly at the end of the first buffer.
  const std::size_t Edge = 256 * 1024;
  std::string Split(Edge - 1, 'x');
  Split += "\r\nafter\n";
  TTempDir Dir;
  for (const auto& [Input, Lines] :
       {std::pair{Text, Expected},
        std::pair{Split, std::vector<std::string>{std::string(Edge - 1, 'x'), "after"}}}) {
    TMifLineReader Reader(Dir.Write("lines.mif", Input));
    std::vector<std::string> Got;
    std::string_view Line;
    while (Reader.ReadLine(Line)) Got.emplace_back(Line);
    ASSERT_EQ(Got.size(), Lines.size());
    EXPECT_TRUE(Got == Lines);
    EXPECT_EQ(Reader.Position(), Input.size());
  }
}

// ---------------------------------------------------------------------------
// Errors and hostile files

TEST_F(MifReaderTest, ErrorsKeepTheirClassesAndNameTheFileAndLine) {
  const struct {
    const char* File;
    const char* Class;
    int Line;
    const char* Text;
    int Objects;
  } Cases[] = {
      {"bad_coordinate.mif", "EInOutError", 5, "expected X and Y, found \"1,5 1\"", 1},
      {"bad_ring_count.mif", "EInOutError", 4, "expected the point count of a ring, found \"four\"",
       1},
      {"bad_pline_count.mif", "EConvertError", 4,
       "expected a section count after PLINE MULTIPLE, found \"many\"", 2},
      {"bad_columns_count.mif", "EConvertError", 2,
       "expected a column count after COLUMNS, found \"three\"", 0},
      {"short_pen.mif", "EListError", 5, "PEN needs 3 values, found 2", 1},
      {"bad_brush_value.mif", "EConvertError", 4, "\"red\" is not a valid integer in BRUSH", 1},
      {"nul_byte.mif", "EInOutError", 8, "expected X and Y, found \"1\\x00 1\"", 2},
      {"truncated_line.mif", "EInOutError", 12, "expected X and Y, found \"3\"", 1},
  };
  LogProgress();
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.File);
    const int Before = Map->Layers()->Count();
    std::string Class = "no error", Message;
    try {
      Map->Layers()->Add(Fixture(Case.File), Case.File);
    } catch (const EInOutError& Error) {
      Class = "EInOutError", Message = Error.Message();
    } catch (const EConvertError& Error) {
      Class = "EConvertError", Message = Error.Message();
    } catch (const EListError& Error) {
      Class = "EListError", Message = Error.Message();
    }
    EXPECT_EQ(Class, Case.Class);
    EXPECT_EQ(Message, Fixture(Case.File) + ":" + std::to_string(Case.Line) + ": " + Case.Text);
    ASSERT_EQ(Map->Layers()->Count(), Before + 1);
    EXPECT_EQ(Map->Layers()->Last()->GetObjectCount(), Case.Objects)
        << "the objects read so far stay";
    EXPECT_FALSE(Map->InUpdate()) << "the update bracket ended";
    const std::vector<std::string> Lines = Log.Take();
    ASSERT_FALSE(Lines.empty());
    EXPECT_EQ(Lines.back(), "stop (in update)") << "progress stopped";
  }
}

TEST(MifReader, UnreadableFiles) {
  TMapLayer Layer;
  EXPECT_THAT(MessageOf<EInOutError>([&] { Layer.LoadFromFile(Fixture("no_such_file.mif"), ""); }),
              HasSubstr("no_such_file.mif"));
  EXPECT_THAT(MessageOf<EInOutError>([&] { Layer.LoadFromFile(Fixture(""), ""); }),
              HasSubstr("mif"))
      << "a directory cannot be read as a file";
}

TEST(MifReader, HostileFilesLoadWhatTheyCanOrSayWhere) {
  TMapLayer Empty;
  Empty.LoadFromFile(Fixture("empty.mif"), "");
  EXPECT_EQ(Empty.GetObjectCount(), 0);

  TMapLayer Truncated;
  Truncated.LoadFromFile(Fixture("truncated_ring.mif"), "");
  ASSERT_EQ(Truncated.GetObjectCount(), 1);
  EXPECT_EQ(PointsOf(*Truncated.GetObjects(0), 1), (TPointList{{1, 1}, {2, 2}}));

  TMapLayer Junk;
  try {
    Junk.LoadFromFile(Fixture("junk_bytes.mif"), "");
  } catch (const Exception& Error) {
    EXPECT_THAT(Error.Message(), HasSubstr("junk_bytes.mif:"));
  }

  TMapLayer Nul;
  EXPECT_THROW(Nul.LoadFromFile(Fixture("nul_byte.mif"), ""), EInOutError);
  ASSERT_EQ(Nul.Fields().Count(), 1);
  EXPECT_EQ(Nul.Fields()[0].Name(), std::string("Na\0me", 5)) << "a NUL byte is an ordinary byte";
}

TEST(MifReader, VeryLongLines) {
  TTempDir Dir;
  const std::string Long(6'000'000, 'x');
  const std::string Mif =
      Dir.Write("long.mif", "Version 300\n" + Long + "\nPoint 1 2 " + Long + "\n  Pen (1,2,255)" +
                                std::string(3'000'000, ' ') + "\nPline 1\n3 4 " + Long + "\n");
  TMapLayer Layer;
  Layer.LoadFromFile(Mif, "");
  ASSERT_EQ(Layer.GetObjectCount(), 2);
  EXPECT_EQ(ObjectAs<TSymbol>(Layer, 0).Y(), 2);
  EXPECT_EQ(Layer.GetObjects(0)->Pen().Color(), 16711680);
  EXPECT_EQ(PointsOf(*Layer.GetObjects(1), 0), (TPointList{{3, 4}}));
}

TEST(MifReader, FuzzCorpusLoadsOrSaysWhere) {
  // The seed corpus of the reader's fuzz target, and any finding added to it:
  // the MIF bytes, then after the first NUL byte the MID bytes. Each loads
  // or raises one of the library's errors naming the input and a line.
  const std::string Directory = std::string(LUMARA_TEST_DATA) + "/fuzz/FuzzMifReader";
  int Inputs = 0;
  for (const auto& Entry : std::filesystem::directory_iterator(Directory)) {
    SCOPED_TRACE(Entry.path().filename().string());
    const std::string Bytes = ReadBytes(Entry.path().string());
    const std::string_view View(Bytes);
    const std::size_t Split = View.find('\0');
    std::optional<std::string_view> Mid;
    if (Split != std::string_view::npos) Mid = View.substr(Split + 1);
    TMapLayer Layer;
    try {
      ReadText(Layer, View.substr(0, Split), Mid, "fuzz.mif");
    } catch (const Exception& Error) {
      EXPECT_TRUE(Error.Message().starts_with("fuzz.mif:")) << Error.Message();
    }
    ++Inputs;
  }
  EXPECT_GE(Inputs, 20);
}

} // namespace
