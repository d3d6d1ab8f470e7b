#include "ToolOptions.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <string>

namespace {

[[noreturn]] void Refuse(const QString& Option, const QString& Text, const char* Expected) {
  throw EUsageError(("--" + Option + ": \"" + Text + "\" is not " + Expected).toStdString());
}

template <class TNumber>
bool ParseWhole(const std::string& Text, TNumber& Value) {
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  return !Text.empty() && Error == std::errc{} && End == Text.data() + Text.size();
}

bool ParseFinite(const QString& Text, double& Value) {
  return ParseWhole(Text.toStdString(), Value) && std::isfinite(Value);
}

} // namespace

QSize ParseSize(const QString& Option, const QString& Text) {
  const char* const Expected = "a size WIDTHxHEIGHT in pixels (e.g. 1024x512)";
  const QStringList Sides = Text.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
  int Width = 0, Height = 0;
  if (Sides.size() != 2 || !ParseWhole(Sides[0].toStdString(), Width) ||
      !ParseWhole(Sides[1].toStdString(), Height))
    Refuse(Option, Text, Expected);
  if (Width < 1 || Height < 1 || Width > MaxPictureSide || Height > MaxPictureSide ||
      qint64{Width} * Height > MaxPicturePixels)
    Refuse(Option, Text,
           ("a size with sides from 1 to " + std::to_string(MaxPictureSide) + " and at most " +
            std::to_string(MaxPicturePixels) + " pixels")
               .c_str());
  return {Width, Height};
}

TMapPosition ParsePosition(const QString& Option, const QString& Text) {
  const QStringList Parts = Text.split(QLatin1Char(','));
  TMapPosition Position;
  if (Parts.size() != 2 || !ParseFinite(Parts[0], Position.X) || !ParseFinite(Parts[1], Position.Y))
    Refuse(Option, Text, "a map position X,Y (e.g. 37.6,55.75)");
  return Position;
}

double ParsePositiveNumber(const QString& Option, const QString& Text) {
  double Value = 0;
  if (!ParseFinite(Text, Value) || Value <= 0) Refuse(Option, Text, "a number above 0");
  return Value;
}

int ParseCount(const QString& Option, const QString& Text, int Max) {
  int Value = 0;
  if (!ParseWhole(Text.toStdString(), Value) || Value < 1 || Value > Max)
    Refuse(Option, Text, ("a whole number from 1 to " + std::to_string(Max)).c_str());
  return Value;
}
