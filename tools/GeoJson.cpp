#include "GeoJson.h"

#include "MapSession.h"
#include "Polylines.h"
#include "RingNesting.h"
#include "Symbol.h"
#include "Text.h"

#include <QDate>
#include <QJsonArray>
#include <QTime>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

QJsonArray Position(const TMapPoint& Point) {
  return {static_cast<double>(Point.X()), static_cast<double>(Point.Y())};
}

QJsonArray LineCoordinates(const TMapPoints& Points) {
  QJsonArray Result;
  for (const TMapPoint& Point : Points) Result.append(Position(Point));
  return Result;
}

// Closed, and reversed when it runs against the wanted orientation; a
// reversed ring starts at the same vertex.
QJsonArray RingCoordinates(const TMapPoints& Ring, bool CounterClockwise) {
  QJsonArray Result;
  if (Ring.Count() == 0) return Result;
  const TMapPoint& First = Ring[0];
  const TMapPoint& Last = Ring[Ring.Count() - 1];
  const bool Closed = Ring.Count() > 1 && Last.X() == First.X() && Last.Y() == First.Y();
  const int Count = Closed ? Ring.Count() - 1 : Ring.Count(); // distinct vertices
  const Extended Area = DoubleSignedArea(Ring);
  const bool Reverse = Area != 0 && (Area > 0) != CounterClockwise;
  Result.append(Position(First));
  for (int Step = 1; Step < Count; ++Step)
    Result.append(Position(Ring[Reverse ? Count - Step : Step]));
  Result.append(Position(First));
  return Result;
}

QJsonObject Geometry(const char* Type, const QJsonArray& Coordinates) {
  return {{"type", Type}, {"coordinates", Coordinates}};
}

QJsonValue RegionGeometry(const TParts& Rings) {
  QJsonArray Polygons;
  for (const TRingPolygon& Polygon : GroupRings(Rings)) {
    QJsonArray Coordinates{RingCoordinates(Rings[Polygon.Outer].Points(), true)};
    for (int Hole : Polygon.Holes) Coordinates.append(RingCoordinates(Rings[Hole].Points(), false));
    Polygons.append(Coordinates);
  }
  if (Polygons.size() == 1) return Geometry("Polygon", Polygons[0].toArray());
  return Geometry("MultiPolygon", Polygons);
}

QJsonValue PolylineGeometry(const TParts& Lines) {
  if (Lines.Count() == 1) return Geometry("LineString", LineCoordinates(Lines[0].Points()));
  QJsonArray Coordinates;
  for (const TPart& Line : Lines) Coordinates.append(LineCoordinates(Line.Points()));
  return Geometry("MultiLineString", Coordinates);
}

QJsonValue ObjectGeometry(const TCustomMapObject& Object) {
  if (Object.Parts().Count() == 0) return QJsonValue::Null;
  if (dynamic_cast<const TRegion*>(&Object)) return RegionGeometry(Object.Parts());
  if (dynamic_cast<const TPolyline*>(&Object)) return PolylineGeometry(Object.Parts());
  if (const auto* Symbol = dynamic_cast<const TSymbol*>(&Object))
    return Geometry("Point", {static_cast<double>(Symbol->X()), static_cast<double>(Symbol->Y())});
  return QJsonValue::Null;
}

std::string_view TrimmedView(const std::string& Text) {
  const auto First = Text.find_first_not_of(" \t");
  if (First == std::string::npos) return {};
  return std::string_view(Text).substr(First, Text.find_last_not_of(" \t") - First + 1);
}

template <class TNumber>
bool ParseWhole(std::string_view Text, TNumber& Value) {
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  return Error == std::errc{} && End == Text.data() + Text.size();
}

// JSON has no infinities or NaN: those stay text.
QJsonValue NumberOrText(const TMapLayer& Layer, const std::string& Text) {
  const std::string_view Trimmed = TrimmedView(Text);
  if (Trimmed.empty()) return QJsonValue::Null;
  std::int64_t Integer = 0;
  if (ParseWhole(Trimmed, Integer)) return static_cast<qint64>(Integer);
  double Number = 0;
  if (ParseWhole(Trimmed, Number) && std::isfinite(Number)) return Number;
  return LayerText(Layer, Text);
}

QJsonValue NumberValue(const TMapLayer& Layer, const TVariant& Value) {
  switch (Value.VarType()) {
  case varInteger:
    return Value.ToInteger();
  case varDouble:
    if (std::isfinite(Value.ToDouble())) return Value.ToDouble();
    return LayerText(Layer, Value.ToString());
  default:
    return NumberOrText(Layer, Value.ToString());
  }
}

// Date and time apart: a local date-time could fall into a clock change.
struct TMoment {
  QDate Date;
  QTime Time;
};

TMoment FromSerial(TDateTime Serial) {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
  DecodeDate(Serial, Year, Month, Day);
  DecodeTime(Serial, Hour, Minute, Second, MilliSecond);
  return {QDate(Year, Month, Day), QTime(Hour, Minute, Second, MilliSecond)};
}

QString TimeText(const QTime& Time) {
  return Time.toString(Time.msec() != 0 ? "HH:mm:ss.zzz" : "HH:mm:ss");
}

// The reader turns MID dates (YYYYMMDD) into date values; text it could not
// read as a date is kept as it is.
QJsonValue DateValue(const TMapLayer& Layer, const TVariant& Value, TDataType Type) {
  if (Value.VarType() != varDate && Value.VarType() != varDouble) {
    const std::string Text = Value.ToString();
    if (TrimmedView(Text).empty()) return QJsonValue::Null;
    return LayerText(Layer, Text);
  }
  const TMoment Moment = FromSerial(Value.ToDouble());
  switch (Type) {
  case dtDate:
    return Moment.Date.toString(Qt::ISODate);
  case dtTime:
    return TimeText(Moment.Time);
  default:
    return Moment.Date.toString(Qt::ISODate) + 'T' + TimeText(Moment.Time);
  }
}

QJsonValue PropertyValue(const TMapLayer& Layer, const TDataField& Field) {
  const TVariant& Value = Field.Value();
  if (Value.IsEmpty()) return QJsonValue::Null;
  switch (Field.DataType()) {
  case dtString:
    return LayerText(Layer, Value.ToString());
  case dtInteger:
  case dtSmallInt:
  case dtFloat:
  case dtDecimal:
    return NumberValue(Layer, Value);
  case dtDate:
  case dtDateTime:
  case dtTime:
    return DateValue(Layer, Value, Field.DataType());
  }
  return QJsonValue::Null;
}

QString UniqueKey(const QJsonObject& Properties, const QString& Name) {
  QString Key = Name;
  for (int Suffix = 2; Properties.contains(Key); ++Suffix)
    Key = Name + '_' + QString::number(Suffix);
  return Key;
}

QJsonObject Properties(const TMapLayer& Layer, const TDataFields& Fields) {
  QJsonObject Result;
  for (int Index = 0; Index < Fields.Count(); ++Index) {
    const TDataField& Field = Fields.GetFields(Index);
    Result.insert(UniqueKey(Result, LayerText(Layer, Field.Name())), PropertyValue(Layer, Field));
  }
  return Result;
}

} // namespace

QJsonObject FeatureCollection(const TMapLayer& Layer) {
  QJsonArray Features;
  for (const auto& Object : Layer)
    Features.append(QJsonObject{{"type", "Feature"},
                                {"geometry", ObjectGeometry(*Object)},
                                {"properties", Properties(Layer, Object->Fields())}});
  return {{"type", "FeatureCollection"},
          {"name", LayerText(Layer, Layer.Name())},
          {"features", Features}};
}
