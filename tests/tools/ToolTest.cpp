// The `lumara` program run as a user runs it: exit status, standard output
// and error, and the files it writes.

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct TToolRun {
  int ExitCode = -1;
  QByteArray Output;
  QByteArray Errors;
};

TToolRun RunTool(const QStringList& Arguments) {
  QProcess Process;
  QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
  Environment.insert("QT_QPA_PLATFORM", "offscreen");
  Process.setProcessEnvironment(Environment);
  Process.start(LUMARA_TOOL, Arguments);
  TToolRun Run;
  if (!Process.waitForFinished(120000)) {
    ADD_FAILURE() << "lumara did not finish: " << Arguments.join(' ').toStdString();
    return Run;
  }
  // A crash is never an acceptable answer, whatever the input.
  EXPECT_EQ(Process.exitStatus(), QProcess::NormalExit) << Arguments.join(' ').toStdString();
  Run.ExitCode = Process.exitCode();
  Run.Output = Process.readAllStandardOutput();
  Run.Errors = Process.readAllStandardError();
  return Run;
}

QString Fixture(const char* Name) { return QString(LUMARA_TEST_DATA "/tools/") + Name; }

QJsonArray DumpFeatures(const char* FixtureName) {
  const TToolRun Run = RunTool({"dump", Fixture(FixtureName)});
  EXPECT_EQ(Run.ExitCode, 0) << Run.Errors.toStdString();
  QJsonParseError Error;
  const QJsonDocument Document = QJsonDocument::fromJson(Run.Output, &Error);
  EXPECT_EQ(Error.error, QJsonParseError::NoError) << Error.errorString().toStdString();
  EXPECT_EQ(Document.object()["type"].toString(), "FeatureCollection");
  return Document.object()["features"].toArray();
}

QJsonValue ParseJson(const char* Text) {
  return QJsonDocument::fromJson(QByteArray("[") + Text + "]").array().at(0);
}

std::string Compact(const QJsonValue& Value) {
  return QJsonDocument(QJsonArray{Value}).toJson(QJsonDocument::Compact).toStdString();
}

bool IsRed(QRgb Pixel) { return qRed(Pixel) > 200 && qGreen(Pixel) < 60 && qBlue(Pixel) < 60; }

struct TGeometryCase {
  const char* Name;
  const char* File;
  int Feature;
  const char* Geometry; // JSON
};

// Outer rings counter-clockwise and holes clockwise, each starting at its
// first vertex in the file; polygons in the order of their outer rings.
const TGeometryCase GeometryCases[] = {
    {"island_in_lake_is_own_polygon_and_hole_joins_smallest_ring", "nested_rings.mif", 0,
     R"({"type":"MultiPolygon","coordinates":[
          [[[4,4],[6,4],[6,6],[4,6],[4,4]]],
          [[[0,0],[10,0],[10,10],[0,10],[0,0]],[[2,2],[2,8],[8,8],[8,2],[2,2]]],
          [[[20,0],[30,0],[30,10],[20,10],[20,0]]]]})"},
    {"hole_whose_first_vertex_is_on_the_outer_ring", "nested_rings.mif", 1,
     R"({"type":"Polygon","coordinates":[
          [[0,0],[10,0],[10,10],[0,10],[0,0]],[[0,10],[5,8],[5,2],[0,0],[0,10]]]})"},
    {"point", "typed_fields.mif", 0, R"({"type":"Point","coordinates":[3.5,-2.25]})"},
    {"one_part_polyline", "typed_fields.mif", 1,
     R"({"type":"LineString","coordinates":[[0,0],[5,5]]})"},
    {"multiple_section_polyline", "typed_fields.mif", 2,
     R"({"type":"MultiLineString","coordinates":[[[0,0],[1,1]],[[2,2],[3,3],[4,2]]]})"},
};

TEST(LumaraDump, GeometriesFollowTheObjects) {
  for (const TGeometryCase& Case : GeometryCases) {
    SCOPED_TRACE(Case.Name);
    const QJsonArray Features = DumpFeatures(Case.File);
    ASSERT_GT(Features.size(), Case.Feature);
    EXPECT_EQ(Compact(Features[Case.Feature].toObject()["geometry"]),
              Compact(ParseJson(Case.Geometry)));
  }
}

struct TPropertyCase {
  const char* Name;
  int Feature;
  const char* Property;
  const char* Value; // JSON
};

const TPropertyCase PropertyCases[] = {
    {"text_in_the_file_charset", 0, "Name", R"("Москва")"},
    {"integer", 0, "Pop", "1200"},
    {"float", 0, "Area", "3.5"},
    {"date_as_iso", 0, "Founded", R"("2024-01-31")"},
    {"decimal", 0, "Share", "12.75"},
    {"empty_text_stays_text", 1, "Name", R"("")"},
    {"empty_integer_is_null", 1, "Pop", "null"},
    {"empty_float_is_null", 1, "Area", "null"},
    {"empty_date_is_null", 1, "Founded", "null"},
    {"integer_column_with_text_keeps_the_text", 1, "Code", R"("abc")"},
    {"negative_integer", 2, "Pop", "-7"},
    {"exponent_float", 2, "Area", "1000"},
    {"negative_decimal", 2, "Share", "-0.5"},
    {"zero", 2, "Code", "0"},
    {"object_without_record_is_all_null", 3, "Name", "null"},
};

TEST(LumaraDump, PropertiesAreTypedByField) {
  const QJsonArray Features = DumpFeatures("typed_fields.mif");
  ASSERT_EQ(Features.size(), 4);
  for (const TPropertyCase& Case : PropertyCases) {
    SCOPED_TRACE(Case.Name);
    const QJsonObject Properties = Features[Case.Feature].toObject()["properties"].toObject();
    ASSERT_TRUE(Properties.contains(Case.Property));
    EXPECT_EQ(Compact(Properties[Case.Property]), Compact(ParseJson(Case.Value)));
  }
}

TEST(LumaraDump, CoordinatesReadBackAsTheSameDouble) {
  const QJsonArray Features = DumpFeatures("typed_fields.mif");
  ASSERT_EQ(Features.size(), 4);
  const QJsonArray Position =
      Features[3].toObject()["geometry"].toObject()["coordinates"].toArray();
  EXPECT_EQ(Position[0].toDouble(), 0.1);
  EXPECT_EQ(Position[1].toDouble(), -33.123456789012345);
}

TEST(LumaraInfo, DescribesEachFile) {
  const TToolRun Run = RunTool({"info", Fixture("typed_fields.mif"), Fixture("nested_rings.mif")});
  ASSERT_EQ(Run.ExitCode, 0) << Run.Errors.toStdString();
  const std::string Output = Run.Output.toStdString();
  for (const char* Line :
       {"typed_fields.mif\n", "  objects   4 (TSymbol 2, TPolyline 2)\n", "  parts     5\n",
        "  vertices  9\n", "  fields    6\n", "    Founded Date\n",
        "  bounds    X 0 .. 5, Y -33.123456789012344 .. 5\n", "nested_rings.mif\n",
        "  objects   2 (TRegion 2)\n", "  parts     6\n", "  vertices  25\n"}) {
    SCOPED_TRACE(Line);
    EXPECT_NE(Output.find(Line), std::string::npos) << Output;
  }
  EXPECT_NE(Output.find("  load      "), std::string::npos);
}

struct TRenderCase {
  const char* Name;
  QStringList Options;
  int X, Y;
  bool Red;
};

// The red square spans 0..10 on both axes. Fitted into 100 x 50 pixels it is
// 50 pixels high and wide, from x 25 to 75.
const TRenderCase RenderCases[] = {
    {"fitted_middle", {}, 50, 25, true},
    {"fitted_near_corner", {}, 28, 3, true},
    {"fitted_beside", {}, 20, 25, false},
    {"centre_elsewhere", {"--center", "-100,-100"}, 50, 25, false},
    {"zoom_given_keeps_fitted_centre", {"--zoom", "1"}, 50, 25, true},
    {"zoom_given_is_not_fitted", {"--zoom", "1"}, 60, 25, false},
};

TEST(LumaraRender, PaintsTheViewAsked) {
  QTemporaryDir Directory;
  for (const TRenderCase& Case : RenderCases) {
    SCOPED_TRACE(Case.Name);
    const QString Picture = Directory.filePath(QString(Case.Name) + ".png");
    const TToolRun Run = RunTool(
        QStringList{"render", Fixture("red_square.mif"), "-o", Picture, "--size", "100x50"} +
        Case.Options);
    ASSERT_EQ(Run.ExitCode, 0) << Run.Errors.toStdString();
    const QImage Image(Picture, "png");
    ASSERT_EQ(Image.size(), QSize(100, 50));
    EXPECT_EQ(IsRed(Image.pixel(Case.X, Case.Y)), Case.Red);
  }
}

TEST(LumaraRender, RepeatPrintsTheMedianPaintTime) {
  QTemporaryDir Directory;
  const QString Picture = Directory.filePath("repeat.png");
  const TToolRun Run =
      RunTool({"render", Fixture("red_square.mif"), "-o", Picture, "--repeat", "3"});
  ASSERT_EQ(Run.ExitCode, 0) << Run.Errors.toStdString();
  EXPECT_TRUE(Run.Output.startsWith("median paint time ")) << Run.Output.toStdString();
  EXPECT_TRUE(Run.Output.contains(" ms over 3 paints")) << Run.Output.toStdString();
  EXPECT_EQ(QImage(Picture, "png").size(), QSize(1024, 512));
}

struct TErrorCase {
  const char* Name;
  QStringList Arguments;
  int ExitCode;
  const char* Message; // part of standard error
};

TEST(LumaraErrors, SayWhatIsWrongAndFail) {
  QTemporaryDir Directory;
  const QString Square = Fixture("red_square.mif");
  const QString Picture = Directory.filePath("out.png");
  const std::vector<TErrorCase> Cases = {
      {"no_command", {}, 2, "no command given"},
      {"unknown_command", {"paint", Square}, 2, "unknown command \"paint\""},
      {"unknown_option", {"dump", "--pretty", Square}, 2, "Unknown option 'pretty'"},
      {"no_file", {"info"}, 2, "no MIF file given"},
      {"dump_of_two_files", {"dump", Square, Square}, 2, "dump takes one MIF file"},
      {"render_without_output", {"render", Square}, 2, "render needs -o"},
      {"size_not_a_size",
       {"render", Square, "-o", Picture, "--size", "big"},
       2,
       "--size: \"big\" is not"},
      {"size_zero", {"render", Square, "-o", Picture, "--size", "0x10"}, 2, "--size: \"0x10\""},
      {"size_too_large", {"render", Square, "-o", Picture, "--size", "100000x100000"}, 2, "--size"},
      {"size_with_decimal_comma",
       {"render", Square, "-o", Picture, "--size", "10,5x10"},
       2,
       "--size"},
      {"zoom_zero",
       {"render", Square, "-o", Picture, "--zoom", "0"},
       2,
       "--zoom: \"0\" is not a number above 0"},
      {"zoom_not_a_number", {"render", Square, "-o", Picture, "--zoom", "nan"}, 2, "--zoom"},
      {"centre_one_number",
       {"render", Square, "-o", Picture, "--center", "5"},
       2,
       "--center: \"5\""},
      {"centre_three_numbers",
       {"render", Square, "-o", Picture, "--center", "5,5,5"},
       2,
       "--center"},
      {"repeat_zero", {"render", Square, "-o", Picture, "--repeat", "0"}, 2, "--repeat: \"0\""},
      {"missing_file", {"dump", Fixture("no_such.mif")}, 1, "no_such.mif: no such file"},
      {"directory", {"info", Fixture("")}, 1, "is a directory"},
      {"reader_error_with_line",
       {"dump", Fixture("bad_ring_count.mif")},
       1,
       "bad_ring_count.mif:7:"},
      {"render_reader_error",
       {"render", Square, Fixture("bad_ring_count.mif"), "-o", Picture},
       1,
       "bad_ring_count.mif:7:"},
      {"unwritable_picture",
       {"render", Square, "-o", Directory.filePath("no/such/dir/out.png")},
       1,
       "cannot write the picture"},
  };
  for (const TErrorCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TToolRun Run = RunTool(Case.Arguments);
    EXPECT_EQ(Run.ExitCode, Case.ExitCode);
    EXPECT_TRUE(Run.Errors.contains(Case.Message)) << Run.Errors.toStdString();
    EXPECT_TRUE(Run.Output.isEmpty()) << Run.Output.toStdString();
  }
}

TEST(LumaraErrors, InfoDescribesTheGoodFilesAndFailsForTheBad) {
  const TToolRun Run = RunTool({"info", Fixture("bad_ring_count.mif"), Fixture("red_square.mif")});
  EXPECT_EQ(Run.ExitCode, 1);
  EXPECT_TRUE(Run.Errors.contains("bad_ring_count.mif:7:")) << Run.Errors.toStdString();
  EXPECT_TRUE(Run.Output.contains("red_square.mif\n  layer     red_square\n"))
      << Run.Output.toStdString();
}

} // namespace
