#pragma once
// The framework's variant: empty, a 32-bit integer, a double, a date-time or
// a text, with the framework's conversions between them. Numbers and text
// convert with the point as decimal separator; dates through the date
// settings.

#include "DateTime.h"

#include <cstdint>
#include <string>
#include <variant>

enum TVarType : std::uint8_t { varEmpty, varInteger, varDouble, varDate, varString };

class TVariant {
public:
  TVariant() = default;
  TVariant(std::int32_t Value) : FValue(Value) {}
  TVariant(double Value) : FValue(Value) {}
  TVariant(std::string Value) : FValue(std::move(Value)) {}
  TVariant(const char* Value) : FValue(std::string(Value)) {}
  TVariant(bool) = delete; // no Boolean kind: say which number is meant
  [[nodiscard]] static TVariant FromDateTime(TDateTime Value);

  [[nodiscard]] TVarType VarType() const { return static_cast<TVarType>(FValue.index()); }
  [[nodiscard]] bool IsEmpty() const { return VarType() == varEmpty; }

  // Empty gives "", an integer its digits, a double its general text, a date
  // its date-time text, a text itself.
  [[nodiscard]] std::string ToString() const;
  // Doubles and dates round half to even; text must be a number. Raises
  // EConvertError for text that is not a number and for values out of range.
  [[nodiscard]] std::int32_t ToInteger() const;
  // Empty gives 0; text must be a number (EConvertError otherwise).
  [[nodiscard]] double ToDouble() const;

  friend bool operator==(const TVariant&, const TVariant&) = default;

private:
  struct TDateValue {
    double Serial = 0;
    friend bool operator==(const TDateValue&, const TDateValue&) = default;
  };
  std::variant<std::monostate, std::int32_t, double, TDateValue, std::string> FValue;
};
