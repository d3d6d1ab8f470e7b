#pragma once
// Number <-> text conversions. The decimal separator is the point whatever
// the C or Qt locale says; no locale is read or changed.
//
// Accepted number text: optional blanks around, an optional + or - sign, then
// digits with an optional point and exponent ("12", "-0.5", ".5", "1E6",
// "+2.5e-3"). Words such as "inf" or "nan", hexadecimal and a comma as
// decimal separator are not numbers.

#include "Types.h"

#include <cstdint>
#include <string>
#include <string_view>

[[nodiscard]] std::string IntToStr(std::int64_t Value);

[[nodiscard]] bool TryStrToInt(std::string_view Text, std::int32_t& Value);
// Raises EConvertError ("\"abc\" is not a valid integer value").
[[nodiscard]] std::int32_t StrToInt(std::string_view Text);

[[nodiscard]] bool TryStrToFloat(std::string_view Text, Extended& Value);
// Raises EConvertError ("\"abc\" is not a valid floating point value").
[[nodiscard]] Extended StrToFloat(std::string_view Text);

// General text of a floating-point number with up to 15 significant digits:
// fixed notation from 0.00001 up to 15 integer digits, otherwise scientific
// ("1E20", "1.5E-7"); trailing zeros dropped; "NAN", "INF", "-INF".
[[nodiscard]] std::string FloatToStr(Extended Value);

// Fixed notation with Digits decimals ("3.14", "-0.50").
[[nodiscard]] std::string FloatToStrFixed(Extended Value, int Digits);
