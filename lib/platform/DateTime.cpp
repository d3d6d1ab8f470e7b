#include "DateTime.h"

#include "Errors.h"
#include "Text.h"

#include <QLocale>
#include <array>
#include <cmath>
#include <ctime>

namespace {

constexpr long long MillisecondsPerDay = 86'400'000;
constexpr long long UnixEpochSerial = 25'569; // 1 January 1970 as a day count

constexpr std::array<const char*, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> LongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};

// Days since 1 January 1970 of a proleptic Gregorian date, and back.
long long DaysFromCivil(long long Year, unsigned Month, unsigned Day) {
  Year -= Month <= 2;
  const long long Era = (Year >= 0 ? Year : Year - 399) / 400;
  const auto YearOfEra = static_cast<unsigned>(Year - Era * 400);
  const unsigned DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const unsigned DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + static_cast<long long>(DayOfEra) - 719468;
}

void CivilFromDays(long long Days, int& Year, int& Month, int& Day) {
  Days += 719468;
  const long long Era = (Days >= 0 ? Days : Days - 146096) / 146097;
  const auto DayOfEra = static_cast<unsigned>(Days - Era * 146097);
  const unsigned YearOfEra =
      (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const unsigned MonthIndex = (5 * DayOfYear + 2) / 153;
  Day = static_cast<int>(DayOfYear - (153 * MonthIndex + 2) / 5 + 1);
  Month = static_cast<int>(MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9);
  Year = static_cast<int>(static_cast<long long>(YearOfEra) + Era * 400 + (Month <= 2));
}

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInMonth(int Year, int Month) {
  constexpr std::array<int, 12> Days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return Month == 2 && IsLeapYear(Year) ? 29 : Days[static_cast<std::size_t>(Month - 1)];
}

long long DayPart(TDateTime Value) { return static_cast<long long>(std::trunc(Value)); }

long long MillisecondOfDay(TDateTime Value) {
  const long long Milliseconds =
      std::llround(std::fabs(Value - std::trunc(Value)) * MillisecondsPerDay);
  return Milliseconds >= MillisecondsPerDay ? MillisecondsPerDay - 1 : Milliseconds;
}

int DayOfWeek(TDateTime Value) { // 0 = Sunday; 30 December 1899 was a Saturday
  const long long Day = (DayPart(Value) + 6) % 7;
  return static_cast<int>(Day < 0 ? Day + 7 : Day);
}

std::string Padded(int Value, std::size_t Width) {
  std::string Digits = std::to_string(Value);
  return Digits.size() < Width ? std::string(Width - Digits.size(), '0') + Digits : Digits;
}

bool StartsWithNoCase(std::string_view Text, std::size_t At, std::string_view Word) {
  return Text.size() - At >= Word.size() && SameText(Text.substr(At, Word.size()), Word);
}

// Counts how often the letter at At repeats, case ignored.
std::size_t RunLength(std::string_view Text, std::size_t At) {
  const char Letter = UpperCaseAscii(Text.substr(At, 1))[0];
  std::size_t End = At;
  while (End < Text.size() && UpperCaseAscii(Text.substr(End, 1))[0] == Letter) ++End;
  return End - At;
}

bool HasTwelveHourMarker(std::string_view Pattern) {
  const std::string Upper = UpperCaseAscii(Pattern);
  return Upper.find("AM/PM") != std::string::npos || Upper.find("A/P") != std::string::npos ||
         Upper.find("AMPM") != std::string::npos;
}

class TDateFormatter {
public:
  TDateFormatter(TDateTime Value, const TDateSettings& Settings)
      : FValue(Value), FSettings(Settings) {
    CivilFromDays(DayPart(Value) - UnixEpochSerial, FYear, FMonth, FDay);
    long long Rest = MillisecondOfDay(Value);
    FMilliSecond = static_cast<int>(Rest % 1000);
    Rest /= 1000;
    FSecond = static_cast<int>(Rest % 60);
    Rest /= 60;
    FMinute = static_cast<int>(Rest % 60);
    FHour = static_cast<int>(Rest / 60);
  }

  // Depth 1 formats a nested settings format, which may not nest again.
  std::string Run(std::string_view Pattern, int Depth = 0) {
    std::string Result;
    const bool TwelveHour = HasTwelveHourMarker(Pattern);
    bool MinutesNext = false; // an m right after an hour means minutes
    std::size_t At = 0;
    while (At < Pattern.size()) {
      const char C = Pattern[At];
      if (C == '\'' || C == '"') {
        const std::size_t Close = Pattern.find(C, At + 1);
        const std::size_t End = Close == std::string_view::npos ? Pattern.size() : Close;
        Result.append(Pattern.substr(At + 1, End - At - 1));
        At = End == Pattern.size() ? End : End + 1;
        continue;
      }
      if (const std::size_t Length = MarkerLength(Pattern, At)) {
        const bool Short = Length == 3;
        std::string Marker = FHour < 12 ? (Short ? "A" : "AM") : (Short ? "P" : "PM");
        Result += C == 'a' ? LowerCaseAscii(Marker) : Marker;
        At += Length;
        continue;
      }
      const char Upper = UpperCaseAscii(Pattern.substr(At, 1))[0];
      const std::size_t Repeat = RunLength(Pattern, At);
      std::size_t Used = Repeat;
      switch (Upper) {
      case '/':
        Result += FSettings.DateSeparator;
        Used = 1;
        break;
      case ':':
        Result += FSettings.TimeSeparator;
        Used = 1;
        break;
      case 'C':
        if (Depth == 0) Result += DateTimeText();
        Used = 1;
        break;
      case 'D':
        Result += DayText(Repeat, Depth);
        MinutesNext = false;
        break;
      case 'Y':
        Result += Repeat <= 2 ? Padded(FYear % 100, 2) : Padded(FYear, 4);
        MinutesNext = false;
        break;
      case 'M':
        Result += MinutesNext ? Padded(FMinute, Repeat >= 2 ? 2 : 1) : MonthText(Repeat);
        MinutesNext = false;
        break;
      case 'H': {
        const int Hour = TwelveHour ? (FHour % 12 == 0 ? 12 : FHour % 12) : FHour;
        Used = std::min<std::size_t>(Repeat, 2);
        Result += Padded(Hour, Used);
        MinutesNext = true;
        break;
      }
      case 'N':
        Result += Padded(FMinute, Repeat >= 2 ? 2 : 1);
        break;
      case 'S':
        Result += Padded(FSecond, Repeat >= 2 ? 2 : 1);
        break;
      case 'Z':
        Result += Padded(FMilliSecond, Repeat >= 3 ? 3 : 1);
        break;
      case 'T':
        if (Depth == 0) Result += Run(FSettings.LongTimeFormat, 1);
        break;
      default:
        Result += C;
        Used = 1;
        break;
      }
      At += Used;
    }
    return Result;
  }

private:
  // Length of an "am/pm", "ampm" or "a/p" marker at At, or 0.
  static std::size_t MarkerLength(std::string_view Pattern, std::size_t At) {
    if (StartsWithNoCase(Pattern, At, "am/pm")) return 5;
    if (StartsWithNoCase(Pattern, At, "ampm")) return 4;
    if (StartsWithNoCase(Pattern, At, "a/p")) return 3;
    return 0;
  }

  std::string DateTimeText() {
    std::string Result = Run(FSettings.ShortDateFormat, 1);
    if (MillisecondOfDay(FValue) != 0) Result += " " + Run(FSettings.LongTimeFormat, 1);
    return Result;
  }

  std::string DayText(std::size_t Repeat, int Depth) {
    if (Repeat <= 2) return Padded(FDay, Repeat);
    if (Repeat == 3) return ShortDayNames[static_cast<std::size_t>(DayOfWeek(FValue))];
    if (Repeat == 4) return LongDayNames[static_cast<std::size_t>(DayOfWeek(FValue))];
    return Depth == 0 ? Run(FSettings.ShortDateFormat, 1) : std::string();
  }

  std::string MonthText(std::size_t Repeat) const {
    if (Repeat <= 2) return Padded(FMonth, Repeat);
    const auto Index = static_cast<std::size_t>(FMonth - 1);
    return Repeat == 3 ? ShortMonthNames[Index] : LongMonthNames[Index];
  }

  TDateTime FValue;
  const TDateSettings& FSettings;
  int FYear = 0, FMonth = 0, FDay = 0;
  int FHour = 0, FMinute = 0, FSecond = 0, FMilliSecond = 0;
};

// The order of day, month and year in a short date format: "DMY", "MDY" or "YMD".
std::string DateOrder(std::string_view Pattern) {
  std::string Order;
  bool Quoted = false;
  for (const char C : UpperCaseAscii(Pattern)) {
    if (C == '\'' || C == '"') Quoted = !Quoted;
    if (!Quoted && (C == 'D' || C == 'M' || C == 'Y') && Order.find(C) == std::string::npos)
      Order += C;
  }
  return Order.size() == 3 ? Order : "DMY";
}

class TScanner {
public:
  explicit TScanner(std::string_view Text) : FText(Text) {}
  void SkipBlanks() {
    while (FAt < FText.size() && FText[FAt] == ' ') ++FAt;
  }
  bool Number(int& Value, std::size_t& Digits) {
    SkipBlanks();
    const std::size_t Start = FAt;
    Value = 0;
    while (FAt < FText.size() && FText[FAt] >= '0' && FText[FAt] <= '9' && FAt - Start < 9)
      Value = Value * 10 + (FText[FAt++] - '0');
    Digits = FAt - Start;
    return Digits > 0;
  }
  bool Char(char C) {
    SkipBlanks();
    if (FAt < FText.size() && FText[FAt] == C) {
      ++FAt;
      return true;
    }
    return false;
  }
  bool Word(std::string_view W) {
    SkipBlanks();
    if (!StartsWithNoCase(FText, FAt, W)) return false;
    FAt += W.size();
    return true;
  }
  bool AtEnd() {
    SkipBlanks();
    return FAt == FText.size();
  }

private:
  std::string_view FText;
  std::size_t FAt = 0;
};

int CurrentYear() {
  int Year = 0, Month = 0, Day = 0;
  DecodeDate(Now(), Year, Month, Day);
  return Year;
}

int ExpandTwoDigitYear(int Year) {
  const int CenturyBase = CurrentYear() - 50;
  Year += CenturyBase / 100 * 100;
  return Year < CenturyBase ? Year + 100 : Year;
}

bool ScanDate(TScanner& Scanner, TDateTime& Value) {
  const TDateSettings& Settings = DateSettings();
  std::array<int, 3> Numbers{};
  std::array<std::size_t, 3> Digits{};
  int Count = 0;
  if (!Scanner.Number(Numbers[0], Digits[0])) return false;
  Count = 1;
  while (Count < 3 && Scanner.Char(Settings.DateSeparator)) {
    if (!Scanner.Number(Numbers[static_cast<std::size_t>(Count)],
                        Digits[static_cast<std::size_t>(Count)]))
      return false;
    ++Count;
  }
  if (Count < 2) return false;
  const std::string Order = DateOrder(Settings.ShortDateFormat);
  int Year = 0, Month = 0, Day = 0;
  std::size_t YearDigits = 4;
  if (Count == 2) {
    Year = CurrentYear();
    const bool DayFirst = Order == "DMY";
    Day = DayFirst ? Numbers[0] : Numbers[1];
    Month = DayFirst ? Numbers[1] : Numbers[0];
  } else {
    for (std::size_t I = 0; I < 3; ++I) {
      if (Order[I] == 'D') Day = Numbers[I];
      if (Order[I] == 'M') Month = Numbers[I];
      if (Order[I] == 'Y') {
        Year = Numbers[I];
        YearDigits = Digits[I];
      }
    }
  }
  if (YearDigits <= 2) Year = ExpandTwoDigitYear(Year);
  return TryEncodeDate(Year, Month, Day, Value);
}

bool ScanTime(TScanner& Scanner, TDateTime& Value) {
  const TDateSettings& Settings = DateSettings();
  int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
  std::size_t Digits = 0;
  if (!Scanner.Number(Hour, Digits)) return false;
  const bool HasMinutes = Scanner.Char(Settings.TimeSeparator);
  if (HasMinutes) {
    if (!Scanner.Number(Minute, Digits)) return false;
    if (Scanner.Char(Settings.TimeSeparator)) {
      if (!Scanner.Number(Second, Digits)) return false;
      if (Scanner.Char('.') && !Scanner.Number(MilliSecond, Digits)) return false;
    }
  }
  const bool PM = Scanner.Word("PM") || Scanner.Word("P");
  const bool AM = !PM && (Scanner.Word("AM") || Scanner.Word("A"));
  if (!HasMinutes && !PM && !AM) return false;
  if (AM || PM) {
    if (Hour < 1 || Hour > 12) return false;
    Hour = Hour % 12 + (PM ? 12 : 0);
  }
  if (Hour > 23 || Minute > 59 || Second > 59 || MilliSecond > 999) return false;
  Value = EncodeTime(Hour, Minute, Second, MilliSecond);
  return true;
}

// Qt's date-time format letters turned into the framework's notation; the
// first separator met becomes the settings' separator.
std::string FromQtFormat(const QString& QtFormat, char& Separator, char Default) {
  std::string Result;
  Separator = 0;
  const std::string Text = QtFormat.toStdString();
  for (std::size_t At = 0; At < Text.size();) {
    const char C = Text[At];
    std::size_t Run = 1;
    while (At + Run < Text.size() && Text[At + Run] == C) ++Run;
    if (C == '\'') {
      const std::size_t Close = Text.find('\'', At + 1);
      const std::size_t End = Close == std::string::npos ? Text.size() : Close + 1;
      Result += "\"" + Text.substr(At + 1, End - At - 2) + "\"";
      At = End;
      continue;
    }
    switch (C) {
    case 'd':
    case 'y':
    case 'h':
    case 's':
    case 'z':
      Result += Text.substr(At, Run);
      break;
    case 'M':
      Result += std::string(Run, 'm');
      break;
    case 'H':
      Result += std::string(Run, 'h');
      break;
    case 'm':
      Result += std::string(Run, 'n');
      break;
    case 'A':
    case 'a':
      Result += "AMPM";
      break;
    case 't':
      while (!Result.empty() && Result.back() == ' ') Result.pop_back();
      break;
    default:
      if (C >= 'A' && C <= 'z' && std::isalpha(static_cast<unsigned char>(C))) break;
      if (C != ' ' && Separator == 0) Separator = C;
      if (C == Separator)
        Result += Default;
      else
        Result += Text.substr(At, Run);
    }
    At += Run;
  }
  if (Separator == 0) Separator = Default;
  return Result;
}

} // namespace

TDateSettings TDateSettings::FromSystemLocale() {
  const QLocale Locale = QLocale::system();
  TDateSettings Settings;
  Settings.ShortDateFormat =
      FromQtFormat(Locale.dateFormat(QLocale::ShortFormat), Settings.DateSeparator, '/');
  Settings.LongTimeFormat =
      FromQtFormat(Locale.timeFormat(QLocale::LongFormat), Settings.TimeSeparator, ':');
  return Settings;
}

TDateSettings& DateSettings() {
  static TDateSettings Settings = TDateSettings::FromSystemLocale();
  return Settings;
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInMonth(Year, Month))
    return false;
  Value = static_cast<TDateTime>(
      DaysFromCivil(Year, static_cast<unsigned>(Month), static_cast<unsigned>(Day)) +
      UnixEpochSerial);
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime Value = 0;
  if (!TryEncodeDate(Year, Month, Day, Value))
    throw EConvertError("Invalid date " + std::to_string(Year) + "-" + std::to_string(Month) + "-" +
                        std::to_string(Day));
  return Value;
}

TDateTime EncodeTime(int Hour, int Minute, int Second, int MilliSecond) {
  if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 ||
      MilliSecond < 0 || MilliSecond > 999)
    throw EConvertError("Invalid time " + std::to_string(Hour) + ":" + std::to_string(Minute) +
                        ":" + std::to_string(Second) + "." + std::to_string(MilliSecond));
  return static_cast<TDateTime>(((Hour * 60LL + Minute) * 60 + Second) * 1000 + MilliSecond) /
         MillisecondsPerDay;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
  CivilFromDays(DayPart(Value) - UnixEpochSerial, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Minute, int& Second, int& MilliSecond) {
  long long Rest = MillisecondOfDay(Value);
  MilliSecond = static_cast<int>(Rest % 1000);
  Rest /= 1000;
  Second = static_cast<int>(Rest % 60);
  Rest /= 60;
  Minute = static_cast<int>(Rest % 60);
  Hour = static_cast<int>(Rest / 60);
}

TDateTime Now() {
  timespec Time{};
  clock_gettime(CLOCK_REALTIME, &Time);
  std::tm Local{};
  localtime_r(&Time.tv_sec, &Local);
  return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday) +
         EncodeTime(Local.tm_hour, Local.tm_min, std::min(Local.tm_sec, 59),
                    static_cast<int>(Time.tv_nsec / 1000000));
}

std::string FormatDateTime(std::string_view Pattern, TDateTime Value) {
  return TDateFormatter(Value, DateSettings()).Run(Pattern);
}

std::string DateToStr(TDateTime Value) {
  return FormatDateTime(DateSettings().ShortDateFormat, Value);
}

std::string TimeToStr(TDateTime Value) {
  return FormatDateTime(DateSettings().LongTimeFormat, Value);
}

std::string DateTimeToStr(TDateTime Value) { return FormatDateTime("c", Value); }

bool TryStrToDate(std::string_view Text, TDateTime& Value) {
  TScanner Scanner(Text);
  return ScanDate(Scanner, Value) && Scanner.AtEnd();
}

bool TryStrToTime(std::string_view Text, TDateTime& Value) {
  TScanner Scanner(Text);
  return ScanTime(Scanner, Value) && Scanner.AtEnd();
}

TDateTime StrToDate(std::string_view Text) {
  TDateTime Value = 0;
  if (!TryStrToDate(Text, Value))
    throw EConvertError("\"" + std::string(Text) + "\" is not a valid date");
  return Value;
}

TDateTime StrToTime(std::string_view Text) {
  TDateTime Value = 0;
  if (!TryStrToTime(Text, Value))
    throw EConvertError("\"" + std::string(Text) + "\" is not a valid time");
  return Value;
}
