#include "MapSession.h"

#include "Errors.h"
#include "Text.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

TMapSession::TMapSession()
    : FWindow(std::make_unique<QWidget>()), FMap(new TLumara(FWindow.get())) {}

namespace {

void CheckReadable(const QString& FileName) {
  const QFileInfo Info(FileName);
  const std::string Name = FileName.toStdString();
  if (!Info.exists()) throw EInOutError(Name + ": no such file");
  if (Info.isDir()) throw EInOutError(Name + ": is a directory, not a MIF file");
  if (!Info.isReadable()) throw EInOutError(Name + ": cannot be read (permission denied)");
}

// Reader messages usually start with the file and line; one that does not
// gets the file put in front, so the user knows which of several failed.
std::string WithFileName(const std::string& Message, const QString& FileName) {
  const std::string Base = QFileInfo(FileName).fileName().toStdString();
  if (Message.find(Base) != std::string::npos) return Message;
  return FileName.toStdString() + ": " + Message;
}

void Widen(TMapBounds& Bounds, const TMapBounds& Other) {
  Bounds.MinX = std::min(Bounds.MinX, Other.MinX);
  Bounds.MinY = std::min(Bounds.MinY, Other.MinY);
  Bounds.MaxX = std::max(Bounds.MaxX, Other.MaxX);
  Bounds.MaxY = std::max(Bounds.MaxY, Other.MaxY);
}

} // namespace

TMapLayer& TMapSession::Load(const QString& FileName) {
  CheckReadable(FileName);
  QElapsedTimer Timer;
  Timer.start();
  TMapLayer* Layer = nullptr;
  try {
    Layer = FMap->Layers()->Add(QFile::encodeName(FileName).toStdString(), "");
  } catch (const Exception& Error) {
    throw Exception(WithFileName(Error.Message(), FileName));
  }
  FLoadMilliseconds = static_cast<double>(Timer.nsecsElapsed()) / 1e6;
  return *Layer;
}

std::optional<TMapBounds> VertexBounds(const TMapLayer& Layer) {
  TMapBounds Bounds;
  bool Any = false;
  for (const auto& Object : Layer)
    for (const TPart& Part : Object->Parts())
      for (const TMapPoint& Point : Part.Points()) {
        Widen(Bounds, {Point.X(), Point.Y(), Point.X(), Point.Y()});
        Any = true;
      }
  if (!Any) return std::nullopt;
  return Bounds;
}

std::optional<TMapBounds> VertexBounds(const TMapLayers& Layers) {
  std::optional<TMapBounds> Result;
  for (const TMapLayer& Layer : Layers) {
    const std::optional<TMapBounds> Bounds = VertexBounds(Layer);
    if (!Bounds) continue;
    if (!Result)
      Result = Bounds;
    else
      Widen(*Result, *Bounds);
  }
  return Result;
}

QString LayerText(const TMapLayer& Layer, std::string_view Text) {
  return DisplayText(Text, Layer.Charset());
}

QString NumberText(Extended Value) {
  return QString::number(static_cast<double>(Value), 'g', QLocale::FloatingPointShortest);
}
