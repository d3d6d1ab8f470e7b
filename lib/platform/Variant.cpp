#include "Variant.h"

#include "Errors.h"
#include "NumberText.h"

#include <cmath>

namespace {
std::int32_t RoundToInteger(double Value, const std::string& Text) {
  const double Rounded = std::nearbyint(Value);
  if (!(Rounded >= INT32_MIN && Rounded <= INT32_MAX))
    throw EConvertError("\"" + Text + "\" is out of the integer range");
  return static_cast<std::int32_t>(Rounded);
}
} // namespace

TVariant TVariant::FromDateTime(TDateTime Value) {
  TVariant Result;
  Result.FValue = TDateValue{Value};
  return Result;
}

std::string TVariant::ToString() const {
  switch (VarType()) {
  case varEmpty:
    return {};
  case varInteger:
    return IntToStr(std::get<std::int32_t>(FValue));
  case varDouble:
    return FloatToStr(std::get<double>(FValue));
  case varDate:
    return DateTimeToStr(std::get<TDateValue>(FValue).Serial);
  case varString:
    return std::get<std::string>(FValue);
  }
  return {};
}

std::int32_t TVariant::ToInteger() const {
  switch (VarType()) {
  case varEmpty:
    return 0;
  case varInteger:
    return std::get<std::int32_t>(FValue);
  case varDouble:
    return RoundToInteger(std::get<double>(FValue), ToString());
  case varDate:
    return RoundToInteger(std::get<TDateValue>(FValue).Serial, ToString());
  case varString: {
    const std::string& Text = std::get<std::string>(FValue);
    std::int32_t Value = 0;
    if (TryStrToInt(Text, Value)) return Value;
    Extended Number = 0;
    if (TryStrToFloat(Text, Number)) return RoundToInteger(static_cast<double>(Number), Text);
    throw EConvertError("\"" + Text + "\" is not a valid integer value");
  }
  }
  return 0;
}

double TVariant::ToDouble() const {
  switch (VarType()) {
  case varEmpty:
    return 0;
  case varInteger:
    return std::get<std::int32_t>(FValue);
  case varDouble:
    return std::get<double>(FValue);
  case varDate:
    return std::get<TDateValue>(FValue).Serial;
  case varString:
    return static_cast<double>(StrToFloat(std::get<std::string>(FValue)));
  }
  return 0;
}
