#pragma once
// One record of delimited text: TStringParser splits a line into fields and
// joins fields back into a line; each TParserItem keeps its field's text as
// split and offers typed views of it that never raise.

#include "Collections.h"
#include "DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

// A currency amount as a whole count of ten-thousandths (1.2346 is 12346):
// a distinct type, so a count is never taken for an amount in units.
struct TCurrency {
  std::int64_t TenThousandths = 0;
  friend bool operator==(const TCurrency&, const TCurrency&) = default;
};

// Text without one pair of enclosing double quotes, with each doubled quote
// inside turned into one ("\"say \"\"hi\"\"\"" gives "say \"hi\""). Text that
// does not both begin and end with a quote is answered unchanged.
[[nodiscard]] std::string Unquoted(std::string_view Text);

class TParserItem : public TCollectionItem {
public:
  explicit TParserItem(TCollectionBase* Collection) : TCollectionItem(Collection) {}

  [[nodiscard]] const std::string& RawData() const { return FRawData; }
  void SetRawData(std::string_view Value) { FRawData.assign(Value); }
  [[nodiscard]] const std::string& AsString() const { return FRawData; }
  void SetAsString(std::string_view Value) { FRawData.assign(Value); }

  // The readers answer the fallback value (0, false; the current moment for
  // dates and times) when the text does not convert; numbers are read with
  // the point as decimal separator whatever the locale.
  [[nodiscard]] std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t Value);
  [[nodiscard]] double AsFloat() const;
  void SetAsFloat(double Value);
  // The number rounded to the nearest ten-thousandth, halves to even.
  [[nodiscard]] TCurrency AsCurrency() const;
  void SetAsCurrency(TCurrency Value);
  // True exactly when the text is the integer 1; written as "1" or "0".
  [[nodiscard]] bool AsBoolean() const;
  void SetAsBoolean(bool Value);
  // Dates and times follow DateSettings().
  [[nodiscard]] TDateTime AsDate() const;
  void SetAsDate(TDateTime Value);
  [[nodiscard]] TDateTime AsTime() const;
  void SetAsTime(TDateTime Value);

  // The text without its enclosing quotes, for values split in quoted mode.
  [[nodiscard]] std::string Unquoted() const { return ::Unquoted(FRawData); }

  // Copies the text into another TParserItem; any other class raises EInvalidCast.
  void AssignTo(TCollectionItem& Dest) const override;

private:
  std::string FRawData;
};

class TStringParser : public TCollection<TParserItem> {
public:
  TStringParser() = default;

  [[nodiscard]] const std::string& Delimiter() const { return FDelimiter; }
  // Any length; an empty separator never matches, so a line stays one field.
  void SetDelimiter(std::string_view Value) { FDelimiter.assign(Value); }

  // In quoted mode a field whose first character is a double quote runs to
  // its closing quote (or, when it is never closed, to the end of the line),
  // so a separator inside it does not split it; two quotes in a row inside it
  // stand for one. A quote anywhere else is ordinary text. Items keep the
  // quotes, so a caller can tell a quoted value from a bare one (see Unquoted).
  // Off by default: quotes are then ordinary text everywhere. A separator that
  // contains the quote character switches quoting off, as it cannot work with it.
  [[nodiscard]] bool Quoted() const { return FQuoted; }
  void SetQuoted(bool Value) { FQuoted = Value; }

  // Makes the items the fields of Line: n separators give n + 1 items,
  // nothing is trimmed. Existing items are reused in order, so pointers to
  // the first items stay valid; surplus items are deleted.
  void FromString(std::string_view Line);
  // The items' texts joined by the separator.
  [[nodiscard]] std::string ToString() const;

  // The item at Index. An index past the last item shows an error box and
  // answers null; a negative index raises EListError.
  [[nodiscard]] TParserItem* GetItems(int Index) const;
  // Copies the text of Value into the item at Index (EListError when out of range).
  void SetItems(int Index, const TParserItem& Value) { SetItem(Index, Value); }

  // Gives Dest, which must be a TStringParser (EInvalidCast otherwise), a
  // copy of each item; Dest keeps its own separator and quoting.
  void AssignTo(TCollectionBase& Dest) const;

private:
  // Stores Field in the item at Used, reusing it when it exists, and counts it.
  void PutField(int& Used, std::string_view Field);

  std::string FDelimiter = ";";
  bool FQuoted = false;
};
