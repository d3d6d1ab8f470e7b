#include "Commands.h"

#include "GeoJson.h"
#include "MapSession.h"
#include "ToolOptions.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <typeinfo>
#include <vector>

namespace {

// A parser for one command: its word, the files it takes, --help.
void SetUp(QCommandLineParser& Parser, const QString& Command, const QString& Description,
           const QString& Files) {
  Parser.setApplicationDescription(Description);
  Parser.addHelpOption();
  Parser.addPositionalArgument(Command, "The command.", Command);
  Parser.addPositionalArgument("files", "MIF files (with their MID files beside them).", Files);
}

// The files named after the command word; false when help was asked for
// (and printed).
bool ParseFiles(QCommandLineParser& Parser, const QStringList& Arguments, QStringList& Files) {
  if (!Parser.parse(Arguments)) throw EUsageError(Parser.errorText().toStdString());
  if (Parser.isSet("help") || Parser.isSet("help-all")) {
    QTextStream(stdout) << Parser.helpText();
    return false;
  }
  Files = Parser.positionalArguments().mid(1);
  if (Files.isEmpty()) throw EUsageError("no MIF file given");
  return true;
}

void WriteStandardOutput(const QByteArray& Bytes) {
  QFile Out;
  if (!Out.open(stdout, QIODevice::WriteOnly) || Out.write(Bytes) != Bytes.size() || !Out.flush())
    throw EInOutError("cannot write to standard output");
}

QString ClassCounts(const TMapLayer& Layer) {
  std::vector<std::pair<std::string, int>> Counts; // in order of first appearance
  for (const auto& Object : Layer) {
    const std::string Name = ClassNameOf(typeid(*Object));
    auto Found = std::find_if(Counts.begin(), Counts.end(),
                              [&](const auto& Count) { return Count.first == Name; });
    if (Found == Counts.end())
      Counts.emplace_back(Name, 1);
    else
      ++Found->second;
  }
  QStringList Parts;
  for (const auto& [Name, Count] : Counts)
    Parts << QString::fromStdString(Name) + ' ' + QString::number(Count);
  return QString::number(Layer.GetObjectCount()) +
         (Parts.isEmpty() ? "" : " (" + Parts.join(", ") + ')');
}

void PrintInfo(QTextStream& Out, const QString& FileName, const TMapLayer& Layer,
               double Milliseconds) {
  int Parts = 0, Vertices = 0;
  for (const auto& Object : Layer) {
    Parts += Object->Parts().Count();
    Vertices += VertexCount(Object->Parts());
  }
  Out << FileName << '\n';
  Out << "  layer     " << LayerText(Layer, Layer.Name()) << '\n';
  Out << "  objects   " << ClassCounts(Layer) << '\n';
  Out << "  parts     " << Parts << '\n';
  Out << "  vertices  " << Vertices << '\n';
  const TDataFields& Fields = Layer.Fields();
  Out << "  fields    " << Fields.Count() << '\n';
  for (int Index = 0; Index < Fields.Count(); ++Index) {
    const TDataField& Field = Fields.GetFields(Index);
    Out << "    " << LayerText(Layer, Field.Name()) << ' '
        << QString::fromStdString(Field.GetDataTypeName()) << '\n';
  }
  if (const std::optional<TMapBounds> Bounds = VertexBounds(Layer))
    Out << "  bounds    X " << NumberText(Bounds->MinX) << " .. " << NumberText(Bounds->MaxX)
        << ", Y " << NumberText(Bounds->MinY) << " .. " << NumberText(Bounds->MaxY) << '\n';
  else
    Out << "  bounds    none\n";
  Out << "  load      " << QString::number(Milliseconds, 'f', 1) << " ms\n";
}

// Centre and zoom that show the whole extent in the client area. At zoom 1
// the map's own extent MaxX - MinX fills the client width, and a map unit
// covers as many pixels up as across, so the height limits the zoom too.
// (A layer's Zoom takes the larger of the width and height ratios of the
// map's extent, which crops along the other axis.)
void FitView(TLumara& Map, const TMapBounds& Extent, bool SetCenter, bool SetZoom) {
  if (SetCenter) {
    Map.SetCenterX((Extent.MinX + Extent.MaxX) / 2);
    Map.SetCenterY((Extent.MinY + Extent.MaxY) / 2);
  }
  if (!SetZoom) return;
  const Extended FullWidth = Map.MaxX() - Map.MinX();
  const Extended Width = Extent.MaxX - Extent.MinX, Height = Extent.MaxY - Extent.MinY;
  Extended Zoom = 0;
  if (Width > 0) Zoom = FullWidth / Width;
  if (Height > 0) {
    const Extended ByHeight = FullWidth * Map.ClientHeight() / (Map.ClientWidth() * Height);
    Zoom = Zoom > 0 ? std::min(Zoom, ByHeight) : ByHeight;
  }
  if (Zoom > 0 && std::isfinite(static_cast<double>(Zoom))) Map.SetZoom(Zoom);
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  const std::size_t Middle = Values.size() / 2;
  return Values.size() % 2 ? Values[Middle] : (Values[Middle - 1] + Values[Middle]) / 2;
}

void WritePng(const QImage& Image, const QString& FileName) {
  QImageWriter Writer(FileName, "png");
  if (!Writer.write(Image))
    throw EInOutError(FileName.toStdString() +
                      ": cannot write the picture: " + Writer.errorString().toStdString());
}

} // namespace

int RunInfo(const QStringList& Arguments) {
  QCommandLineParser Parser;
  SetUp(Parser, "info",
        "Describes MIF files: layer, objects by class, parts, vertices, fields, bounds, load time.",
        "FILE.mif...");
  QStringList Files;
  if (!ParseFiles(Parser, Arguments, Files)) return 0;
  QTextStream Out(stdout);
  int Status = 0;
  // Each file on a map of its own, so each is described as it reads alone;
  // one that fails does not keep the others from being described.
  for (const QString& FileName : Files) {
    try {
      TMapSession Session;
      const TMapLayer& Layer = Session.Load(FileName);
      PrintInfo(Out, FileName, Layer, Session.LoadMilliseconds());
    } catch (const Exception& Error) {
      Out.flush();
      QTextStream(stderr) << "lumara info: " << QString::fromStdString(Error.Message()) << '\n';
      Status = 1;
    }
  }
  return Status;
}

int RunDump(const QStringList& Arguments) {
  QCommandLineParser Parser;
  SetUp(Parser, "dump", "Writes a MIF file as a GeoJSON FeatureCollection to standard output.",
        "FILE.mif");
  QStringList Files;
  if (!ParseFiles(Parser, Arguments, Files)) return 0;
  if (Files.size() > 1)
    throw EUsageError("dump takes one MIF file, not " + std::to_string(Files.size()));
  TMapSession Session;
  const TMapLayer& Layer = Session.Load(Files[0]);
  WriteStandardOutput(QJsonDocument(FeatureCollection(Layer)).toJson(QJsonDocument::Compact) +
                      '\n');
  return 0;
}

int RunRender(const QStringList& Arguments) {
  QCommandLineParser Parser;
  SetUp(Parser, "render",
        "Paints MIF files as layers of one map, in order, and writes the picture as PNG.",
        "FILE.mif...");
  const QCommandLineOption Output({"o", "output"}, "The PNG file to write.", "OUT.png");
  const QCommandLineOption Size("size", "Picture size in pixels (default 1024x512).", "WxH",
                                "1024x512");
  const QCommandLineOption Center("center",
                                  "Map point at the middle (default: the layers' extent).", "X,Y");
  const QCommandLineOption Zoom(
      "zoom", "Zoom; 1 shows the whole map width (default: fit the extent).", "Z");
  const QCommandLineOption Repeat("repeat", "Paint N times and print the median paint time.", "N");
  Parser.addOptions({Output, Size, Center, Zoom, Repeat});
  QStringList Files;
  if (!ParseFiles(Parser, Arguments, Files)) return 0;
  if (!Parser.isSet(Output)) throw EUsageError("render needs -o OUT.png");
  const QSize PictureSize = ParseSize("size", Parser.value(Size));
  const int Paints = Parser.isSet(Repeat) ? ParseCount("repeat", Parser.value(Repeat), 100000) : 1;
  std::optional<TMapPosition> Middle;
  if (Parser.isSet(Center)) Middle = ParsePosition("center", Parser.value(Center));
  std::optional<double> Magnification;
  if (Parser.isSet(Zoom)) Magnification = ParsePositiveNumber("zoom", Parser.value(Zoom));

  TMapSession Session;
  TLumara& Map = Session.Map();
  Map.SetBounds(0, 0, PictureSize.width(), PictureSize.height());
  for (const QString& FileName : Files) Session.Load(FileName);
  if (const std::optional<TMapBounds> Extent = VertexBounds(*Map.Layers()))
    FitView(Map, *Extent, !Middle, !Magnification);
  if (Middle) {
    Map.SetCenterX(Middle->X);
    Map.SetCenterY(Middle->Y);
  }
  if (Magnification) Map.SetZoom(*Magnification);

  std::vector<double> Milliseconds;
  for (int Paint = 0; Paint < Paints; ++Paint) {
    QElapsedTimer Timer;
    Timer.start();
    Map.Paint();
    Milliseconds.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6);
  }
  WritePng(Map.MapBitmap()->Image(), Parser.value(Output));
  if (Parser.isSet(Repeat))
    QTextStream(stdout) << "median paint time " << QString::number(Median(Milliseconds), 'f', 3)
                        << " ms over " << Paints << " paints\n";
  return 0;
}
