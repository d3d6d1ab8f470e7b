#pragma once
// The framework's Format: "%S", "%s" text, "%D", "%d" integers, "%F", "%f"
// fixed with 2 decimals (or ".n"), "%G", "%g" general numbers, "%X", "%x"
// hexadecimal, "%%" a percent sign; an optional "-", width and ".precision"
// as the framework reads them ("%5d", "%-8s", "%.3f"). Conversion letters
// ignore case. A missing argument or one of the wrong kind raises
// EConvertError.

#include "Types.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class TFormatArg {
public:
  TFormatArg(int Value) : FValue(std::int64_t{Value}) {}
  TFormatArg(long Value) : FValue(std::int64_t{Value}) {}
  TFormatArg(long long Value) : FValue(std::int64_t{Value}) {}
  TFormatArg(unsigned Value) : FValue(std::int64_t{Value}) {}
  TFormatArg(double Value) : FValue(Extended{Value}) {}
  TFormatArg(long double Value) : FValue(Value) {}
  TFormatArg(const char* Value) : FValue(std::string(Value)) {}
  TFormatArg(std::string Value) : FValue(std::move(Value)) {}
  TFormatArg(std::string_view Value) : FValue(std::string(Value)) {}

  [[nodiscard]] const std::variant<std::int64_t, Extended, std::string>& Value() const {
    return FValue;
  }

private:
  std::variant<std::int64_t, Extended, std::string> FValue;
};

[[nodiscard]] std::string Format(std::string_view Pattern, std::initializer_list<TFormatArg> Args);
