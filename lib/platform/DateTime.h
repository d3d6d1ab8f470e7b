#pragma once
// Dates and times. A TDateTime counts days since 30 December 1899, with the
// time of day as the fraction (a negative value counts days backwards, its
// fraction is still the time of day).
//
// Date and time text follows one settings object: the short date format and
// the long time format in the framework's notation ("dd/mm/yyyy",
// "hh:nn:ss"; '/' and ':' stand for the date and time separators, m after an
// h is minutes, n is minutes, z milliseconds, "am/pm" a twelve-hour clock,
// text in quotes is literal). The settings are filled from the system locale
// on first use; tests and hosts may set them.

#include <string>
#include <string_view>

using TDateTime = double;

struct TDateSettings {
  std::string ShortDateFormat = "dd/mm/yyyy";
  std::string LongTimeFormat = "hh:nn:ss";
  char DateSeparator = '/';
  char TimeSeparator = ':';

  // Settings that follow the system locale's short date and long time format.
  [[nodiscard]] static TDateSettings FromSystemLocale();
};

// The process-wide date settings object.
[[nodiscard]] TDateSettings& DateSettings();

[[nodiscard]] TDateTime EncodeDate(int Year, int Month, int Day); // EConvertError when invalid
[[nodiscard]] TDateTime EncodeTime(int Hour, int Minute, int Second, int MilliSecond);
[[nodiscard]] bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value);
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Minute, int& Second, int& MilliSecond);

[[nodiscard]] TDateTime Now();

[[nodiscard]] std::string FormatDateTime(std::string_view Pattern, TDateTime Value);
[[nodiscard]] std::string DateToStr(TDateTime Value);
[[nodiscard]] std::string TimeToStr(TDateTime Value);
// The date, and the time when the value has one.
[[nodiscard]] std::string DateTimeToStr(TDateTime Value);

// Numeric dates in the order of the short date format, separated by the date
// separator; two numbers mean this year, two-digit years fall within 50 years
// of this year. Raise EConvertError when the text is not a valid date or time.
[[nodiscard]] bool TryStrToDate(std::string_view Text, TDateTime& Value);
[[nodiscard]] bool TryStrToTime(std::string_view Text, TDateTime& Value);
[[nodiscard]] TDateTime StrToDate(std::string_view Text);
[[nodiscard]] TDateTime StrToTime(std::string_view Text);
