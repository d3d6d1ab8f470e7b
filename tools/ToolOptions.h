#pragma once
// Option values of the command line, read without the process locale: the
// point is the decimal separator, and a value must be wholly a number.
// Bad values raise EUsageError naming the option and the text found.

#include "Errors.h"

#include <QSize>
#include <QString>

// A wrong use of the command line (exit status 2), as opposed to a failure
// while doing what was asked.
class EUsageError : public Exception {
  using Exception::Exception;
};

struct TMapPosition {
  double X = 0;
  double Y = 0;
};

// Pictures are held twice in memory while painting: each side at most this.
inline constexpr int MaxPictureSide = 16384;
inline constexpr qint64 MaxPicturePixels = qint64{1} << 26;

// "WIDTHxHEIGHT", each side 1..MaxPictureSide, MaxPicturePixels in all.
[[nodiscard]] QSize ParseSize(const QString& Option, const QString& Text);
// "X,Y" in map units, finite.
[[nodiscard]] TMapPosition ParsePosition(const QString& Option, const QString& Text);
// A finite number above 0.
[[nodiscard]] double ParsePositiveNumber(const QString& Option, const QString& Text);
// A whole number from 1 to Max.
[[nodiscard]] int ParseCount(const QString& Option, const QString& Text, int Max);
