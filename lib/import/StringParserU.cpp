#include "StringParserU.h"

#include "Errors.h"
#include "MessageBox.h"
#include "NumberText.h"

#include <cmath>
#include <limits>

namespace {

constexpr char Quote = '"';
constexpr std::int64_t TenThousandthsPerUnit = 10'000;

[[noreturn]] void RaiseInvalidCopy(const std::type_info& Source, const std::type_info& Dest) {
  throw EInvalidCast("Invalid class typecast: a " + ClassNameOf(Source) +
                     " can be copied only into its own class, not into a " + ClassNameOf(Dest));
}

// The offset just past the quote that closes the value opened at Open, or the
// end of Line when the value is never closed: a malformed line keeps its text
// in one field rather than losing it.
std::size_t EndOfQuotedValue(std::string_view Line, std::size_t Open) {
  std::size_t At = Open + 1;
  for (;;) {
    At = Line.find(Quote, At);
    if (At == std::string_view::npos) return Line.size();
    if (At + 1 < Line.size() && Line[At + 1] == Quote) {
      At += 2;
      continue;
    }
    return At + 1;
  }
}

} // namespace

std::string Unquoted(std::string_view Text) {
  if (Text.size() < 2 || Text.front() != Quote || Text.back() != Quote) return std::string(Text);
  const std::string_view Inner = Text.substr(1, Text.size() - 2);
  std::string Result;
  Result.reserve(Inner.size());
  for (std::size_t At = 0; At < Inner.size(); ++At) {
    Result += Inner[At];
    if (Inner[At] == Quote && At + 1 < Inner.size() && Inner[At + 1] == Quote) ++At;
  }
  return Result;
}

// ---------------------------------------------------------------------------
// TParserItem

std::int32_t TParserItem::AsInteger() const {
  std::int32_t Value = 0;
  return TryStrToInt(FRawData, Value) ? Value : 0;
}

void TParserItem::SetAsInteger(std::int32_t Value) { FRawData = IntToStr(Value); }

double TParserItem::AsFloat() const {
  Extended Value = 0;
  if (!TryStrToFloat(FRawData, Value)) return 0;
  // Text beyond the range of a double is as unusable as text that is no number.
  if (std::fabs(Value) > std::numeric_limits<double>::max()) return 0;
  return static_cast<double>(Value);
}

void TParserItem::SetAsFloat(double Value) { FRawData = FloatToStr(Value); }

TCurrency TParserItem::AsCurrency() const {
  Extended Value = 0;
  if (!TryStrToFloat(FRawData, Value)) return {};
  // The default rounding mode takes halves to even, like every conversion of
  // the library.
  const Extended Count = std::nearbyint(Value * TenThousandthsPerUnit);
  // 2^63 is exact in Extended; a count outside the 64-bit range has no value.
  constexpr Extended Limit = 9223372036854775808.0L;
  if (!(Count >= -Limit && Count < Limit)) return {};
  return {static_cast<std::int64_t>(Count)};
}

// Written as exact decimal text: the general float text would keep only 15
// significant digits and so change amounts of a hundred billion and more.
void TParserItem::SetAsCurrency(TCurrency Value) {
  const bool Negative = Value.TenThousandths < 0;
  // Unsigned arithmetic, so that the most negative count has a magnitude too.
  const std::uint64_t Magnitude = Negative ? 0 - static_cast<std::uint64_t>(Value.TenThousandths)
                                           : static_cast<std::uint64_t>(Value.TenThousandths);
  std::string Text = Negative ? "-" : "";
  Text += std::to_string(Magnitude / TenThousandthsPerUnit);
  const auto Fraction = static_cast<unsigned>(Magnitude % TenThousandthsPerUnit);
  if (Fraction != 0) {
    std::string Digits = std::to_string(Fraction);
    Digits.insert(0, 4 - Digits.size(), '0');
    while (Digits.back() == '0') Digits.pop_back();
    Text += "." + Digits;
  }
  FRawData = std::move(Text);
}

bool TParserItem::AsBoolean() const {
  std::int32_t Value = 0;
  return TryStrToInt(FRawData, Value) && Value == 1;
}

void TParserItem::SetAsBoolean(bool Value) { FRawData = Value ? "1" : "0"; }

TDateTime TParserItem::AsDate() const {
  TDateTime Value = 0;
  return TryStrToDate(FRawData, Value) ? Value : Now();
}

void TParserItem::SetAsDate(TDateTime Value) { FRawData = DateToStr(Value); }

TDateTime TParserItem::AsTime() const {
  TDateTime Value = 0;
  return TryStrToTime(FRawData, Value) ? Value : Now();
}

void TParserItem::SetAsTime(TDateTime Value) { FRawData = TimeToStr(Value); }

void TParserItem::AssignTo(TCollectionItem& Dest) const {
  auto* Target = dynamic_cast<TParserItem*>(&Dest);
  if (Target == nullptr) RaiseInvalidCopy(typeid(*this), typeid(Dest));
  Target->FRawData = FRawData;
}

// ---------------------------------------------------------------------------
// TStringParser

void TStringParser::PutField(int& Used, std::string_view Field) {
  if (Used < Count()) {
    GetItem(Used).SetRawData(Field);
  } else {
    Add().SetRawData(Field);
  }
  ++Used;
}

// One pass over the line by offsets: each field is copied once, into an item
// that is reused when the previous record had one there, so a file of many
// records of the same shape allocates only for fields that grow.
void TStringParser::FromString(std::string_view Line) {
  int Used = 0;
  if (FDelimiter.empty()) {
    PutField(Used, Line);
  } else {
    const bool Quoting = FQuoted && FDelimiter.find(Quote) == std::string::npos;
    std::size_t Start = 0;
    for (;;) {
      const std::size_t SearchFrom = Quoting && Start < Line.size() && Line[Start] == Quote
                                         ? EndOfQuotedValue(Line, Start)
                                         : Start;
      const std::size_t At = Line.find(FDelimiter, SearchFrom);
      if (At == std::string_view::npos) {
        PutField(Used, Line.substr(Start));
        break;
      }
      PutField(Used, Line.substr(Start, At - Start));
      Start = At + FDelimiter.size();
    }
  }
  while (Count() > Used) Delete(Count() - 1);
}

std::string TStringParser::ToString() const {
  std::size_t Length = 0;
  for (const TParserItem& Item : *this) Length += Item.RawData().size() + FDelimiter.size();
  std::string Result;
  Result.reserve(Length);
  bool First = true;
  for (const TParserItem& Item : *this) {
    if (!First) Result += FDelimiter;
    Result += Item.RawData();
    First = false;
  }
  return Result;
}

TParserItem* TStringParser::GetItems(int Index) const {
  if (Index < 0) RaiseListIndexError(Index);
  if (Index >= Count()) {
    ShowMessageBox("Error reading object properties from string!", "Error", miError);
    return nullptr;
  }
  return &GetItem(Index);
}

void TStringParser::AssignTo(TCollectionBase& Dest) const {
  auto* Target = dynamic_cast<TStringParser*>(&Dest);
  if (Target == nullptr) RaiseInvalidCopy(typeid(*this), typeid(Dest));
  // Clearing first would leave nothing to copy when a parser is its own destination.
  if (Target == this) return;
  Target->Clear();
  for (const TParserItem& Item : *this) Target->Add().SetRawData(Item.RawData());
}
