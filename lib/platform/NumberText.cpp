#include "NumberText.h"

#include "Errors.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

std::string_view TrimBlanks(std::string_view Text) {
  const auto IsBlank = [](char C) { return C == ' ' || (C >= '\t' && C <= '\r'); };
  while (!Text.empty() && IsBlank(Text.front())) Text.remove_prefix(1);
  while (!Text.empty() && IsBlank(Text.back())) Text.remove_suffix(1);
  return Text;
}

// Splits off an optional sign; answers whether it was a minus.
bool TakeSign(std::string_view& Text) {
  if (Text.empty() || (Text.front() != '+' && Text.front() != '-')) return false;
  const bool Negative = Text.front() == '-';
  Text.remove_prefix(1);
  return Negative;
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

std::string Quoted(std::string_view Text) { return "\"" + std::string(Text) + "\""; }

} // namespace

std::string IntToStr(std::int64_t Value) {
  std::array<char, 24> Buffer{};
  const auto Result = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value);
  return std::string(Buffer.data(), Result.ptr);
}

bool TryStrToInt(std::string_view Text, std::int32_t& Value) {
  Text = TrimBlanks(Text);
  const bool Negative = TakeSign(Text);
  if (Text.empty() || !IsDigit(Text.front())) return false;
  std::int64_t Magnitude = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Magnitude);
  if (Error != std::errc{} || End != Text.data() + Text.size()) return false;
  const std::int64_t Signed = Negative ? -Magnitude : Magnitude;
  if (Signed < INT32_MIN || Signed > INT32_MAX) return false;
  Value = static_cast<std::int32_t>(Signed);
  return true;
}

std::int32_t StrToInt(std::string_view Text) {
  std::int32_t Value = 0;
  if (!TryStrToInt(Text, Value))
    throw EConvertError(Quoted(Text) + " is not a valid integer value");
  return Value;
}

bool TryStrToFloat(std::string_view Text, Extended& Value) {
  Text = TrimBlanks(Text);
  const bool Negative = TakeSign(Text);
  if (Text.empty() || !(IsDigit(Text.front()) || Text.front() == '.')) return false;
  Extended Magnitude = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Magnitude,
                                            std::chars_format::general);
  if (Error != std::errc{} || End != Text.data() + Text.size()) return false;
  Value = Negative ? -Magnitude : Magnitude;
  return true;
}

Extended StrToFloat(std::string_view Text) {
  Extended Value = 0;
  if (!TryStrToFloat(Text, Value))
    throw EConvertError(Quoted(Text) + " is not a valid floating point value");
  return Value;
}

std::string FloatToStr(Extended Value) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Value == 0) return "0";

  constexpr int Precision = 15;
  std::array<char, 64> Buffer{};
  const auto Written = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value,
                                     std::chars_format::scientific, Precision - 1);
  const std::string_view Scientific(Buffer.data(), Written.ptr - Buffer.data());

  // Scientific text is [-]d.dddddddddddddde[+-]xx: gather the significant
  // digits and the decimal exponent, then lay them out.
  const bool Negative = Scientific.front() == '-';
  const std::size_t ExponentAt = Scientific.find('e');
  std::string Digits;
  for (const char C : Scientific.substr(0, ExponentAt))
    if (IsDigit(C)) Digits += C;
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  int Exponent = 0;
  std::string_view ExponentText = Scientific.substr(ExponentAt + 1);
  if (ExponentText.front() == '+') ExponentText.remove_prefix(1);
  std::from_chars(ExponentText.data(), ExponentText.data() + ExponentText.size(), Exponent);

  std::string Result = Negative ? "-" : "";
  if (Exponent < -5 || Exponent >= Precision) {
    Result += Digits.front();
    if (Digits.size() > 1) Result += "." + Digits.substr(1);
    Result += "E" + std::to_string(Exponent);
  } else if (Exponent < 0) {
    Result += "0." + std::string(static_cast<std::size_t>(-Exponent - 1), '0') + Digits;
  } else {
    const auto IntegerDigits = static_cast<std::size_t>(Exponent + 1);
    if (Digits.size() <= IntegerDigits) {
      Result += Digits + std::string(IntegerDigits - Digits.size(), '0');
    } else {
      Result += Digits.substr(0, IntegerDigits) + "." + Digits.substr(IntegerDigits);
    }
  }
  return Result;
}

std::string FloatToStrFixed(Extended Value, int Digits) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  std::array<char, 128> Buffer{};
  const auto Written = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value,
                                     std::chars_format::fixed, Digits);
  if (Written.ec != std::errc{}) return FloatToStr(Value);
  return std::string(Buffer.data(), Written.ptr);
}
