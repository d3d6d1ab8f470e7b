#include "Format.h"

#include "Errors.h"
#include "NumberText.h"

#include <array>
#include <charconv>
#include <vector>

namespace {

struct TConversion {
  bool LeftAlign = false;
  int Width = -1;
  int Precision = -1;
  char Type = 0; // lower case
};

[[noreturn]] void Invalid(std::string_view Pattern) {
  throw EConvertError("Format \"" + std::string(Pattern) +
                      "\" invalid or incompatible with argument");
}

int ReadNumber(std::string_view Pattern, std::size_t& At) {
  int Value = 0;
  const auto [End, Error] =
      std::from_chars(Pattern.data() + At, Pattern.data() + Pattern.size(), Value);
  if (Error != std::errc{}) Invalid(Pattern);
  At = static_cast<std::size_t>(End - Pattern.data());
  return Value;
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Reads the conversion after a '%' at At; leaves At after its letter.
TConversion ReadConversion(std::string_view Pattern, std::size_t& At) {
  TConversion Conversion;
  if (At < Pattern.size() && Pattern[At] == '-') {
    Conversion.LeftAlign = true;
    ++At;
  }
  if (At < Pattern.size() && IsDigit(Pattern[At])) Conversion.Width = ReadNumber(Pattern, At);
  if (At < Pattern.size() && Pattern[At] == '.') {
    ++At;
    Conversion.Precision =
        At < Pattern.size() && IsDigit(Pattern[At]) ? ReadNumber(Pattern, At) : 0;
  }
  if (At >= Pattern.size()) Invalid(Pattern);
  const char Letter = Pattern[At++];
  Conversion.Type = static_cast<char>(Letter >= 'A' && Letter <= 'Z' ? Letter - 'A' + 'a' : Letter);
  return Conversion;
}

std::string Hex(std::int64_t Value) {
  std::array<char, 24> Buffer{};
  const auto Written = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(),
                                     static_cast<std::uint64_t>(Value), 16);
  std::string Result(Buffer.data(), Written.ptr);
  for (char& C : Result)
    if (C >= 'a' && C <= 'f') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

std::string ZeroPadded(std::string Digits, int MinimumDigits) {
  const bool Negative = !Digits.empty() && Digits.front() == '-';
  const std::size_t Length = Digits.size() - (Negative ? 1 : 0);
  if (MinimumDigits > 0 && Length < static_cast<std::size_t>(MinimumDigits))
    Digits.insert(Negative ? 1 : 0, static_cast<std::size_t>(MinimumDigits) - Length, '0');
  return Digits;
}

std::string Convert(std::string_view Pattern, const TConversion& Conversion,
                    const TFormatArg& Arg) {
  const auto& Value = Arg.Value();
  const auto* Integer = std::get_if<std::int64_t>(&Value);
  const auto* Number = std::get_if<Extended>(&Value);
  const auto* Text = std::get_if<std::string>(&Value);
  switch (Conversion.Type) {
  case 'd':
    if (!Integer) Invalid(Pattern);
    return ZeroPadded(IntToStr(*Integer), Conversion.Precision);
  case 'x':
    if (!Integer) Invalid(Pattern);
    return ZeroPadded(Hex(*Integer), Conversion.Precision);
  case 's':
    if (!Text) Invalid(Pattern);
    return Conversion.Precision >= 0
               ? Text->substr(0, static_cast<std::size_t>(Conversion.Precision))
               : *Text;
  case 'f':
    if (!Number) Invalid(Pattern);
    return FloatToStrFixed(*Number, Conversion.Precision >= 0 ? Conversion.Precision : 2);
  case 'g':
    if (!Number) Invalid(Pattern);
    return FloatToStr(*Number);
  default:
    Invalid(Pattern);
  }
}

std::string Aligned(std::string Text, const TConversion& Conversion) {
  if (Conversion.Width < 0 || Text.size() >= static_cast<std::size_t>(Conversion.Width))
    return Text;
  const std::string Padding(static_cast<std::size_t>(Conversion.Width) - Text.size(), ' ');
  return Conversion.LeftAlign ? Text + Padding : Padding + Text;
}

} // namespace

std::string Format(std::string_view Pattern, std::initializer_list<TFormatArg> Args) {
  const std::vector<TFormatArg> Arguments(Args);
  std::string Result;
  std::size_t Next = 0;
  std::size_t At = 0;
  while (At < Pattern.size()) {
    const std::size_t Percent = Pattern.find('%', At);
    Result.append(Pattern.substr(At, Percent == std::string_view::npos ? std::string_view::npos
                                                                       : Percent - At));
    if (Percent == std::string_view::npos) break;
    At = Percent + 1;
    if (At < Pattern.size() && Pattern[At] == '%') {
      Result += '%';
      ++At;
      continue;
    }
    const TConversion Conversion = ReadConversion(Pattern, At);
    if (Next >= Arguments.size()) Invalid(Pattern);
    Result += Aligned(Convert(Pattern, Conversion, Arguments[Next++]), Conversion);
  }
  return Result;
}
