// The general tokenizer: splits lines of byte text into a flat, ordered list
// of tokens. Each token (TSyntaxItem) keeps its text, the 0-based column of
// its first byte and the line number it came from, and classifies itself on
// demand. The tokenizer (TSyntaxParser) is set up with delimiter characters,
// a quote character, a comment marker, reserved words, delimiters that end a
// token without being stored (SkipChars) and kinds that are not stored
// (SkipKinds). Used on the GUI thread only; no locking.
#pragma once

#include "Collections.h"
#include "Strings.h"

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// What a token is, as TSyntaxItem::Kind reports it. sikDelimiter and
// sikSymbol are never produced: a delimiter character reads as white space.
enum TSyntaxItemKind : std::uint8_t {
  sikWhiteSpace,
  sikDelimiter,
  sikComment,
  sikReservedWord,
  sikIdentifier,
  sikSymbol,
  sikNumber,
  sikString
};

// A set of TSyntaxItemKind: one bit per kind.
class TSyntaxItemKinds {
public:
  constexpr TSyntaxItemKinds() noexcept = default;
  constexpr TSyntaxItemKinds(std::initializer_list<TSyntaxItemKind> Kinds) noexcept {
    for (const TSyntaxItemKind Kind : Kinds) Include(Kind);
  }

  [[nodiscard]] constexpr bool Contains(TSyntaxItemKind Kind) const noexcept {
    return (FBits & Bit(Kind)) != 0;
  }
  [[nodiscard]] constexpr bool Empty() const noexcept { return FBits == 0; }
  // The set as bits: bit n stands for the kind of ordinal n.
  [[nodiscard]] constexpr std::uint8_t Bits() const noexcept { return FBits; }

  constexpr TSyntaxItemKinds& Include(TSyntaxItemKind Kind) noexcept {
    FBits = static_cast<std::uint8_t>(FBits | Bit(Kind));
    return *this;
  }
  constexpr TSyntaxItemKinds& Exclude(TSyntaxItemKind Kind) noexcept {
    FBits = static_cast<std::uint8_t>(FBits & ~Bit(Kind));
    return *this;
  }

  // Union, difference and intersection, as Pascal's + - * on sets.
  friend constexpr TSyntaxItemKinds operator+(TSyntaxItemKinds A, TSyntaxItemKinds B) noexcept {
    return FromBits(static_cast<std::uint8_t>(A.FBits | B.FBits));
  }
  friend constexpr TSyntaxItemKinds operator-(TSyntaxItemKinds A, TSyntaxItemKinds B) noexcept {
    return FromBits(static_cast<std::uint8_t>(A.FBits & ~B.FBits));
  }
  friend constexpr TSyntaxItemKinds operator*(TSyntaxItemKinds A, TSyntaxItemKinds B) noexcept {
    return FromBits(static_cast<std::uint8_t>(A.FBits & B.FBits));
  }
  friend constexpr bool operator==(TSyntaxItemKinds, TSyntaxItemKinds) noexcept = default;

private:
  static constexpr std::uint8_t Bit(TSyntaxItemKind Kind) noexcept {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(Kind));
  }
  static constexpr TSyntaxItemKinds FromBits(std::uint8_t Bits) noexcept {
    TSyntaxItemKinds Result;
    Result.FBits = Bits;
    return Result;
  }
  std::uint8_t FBits = 0;
};

// A set of byte characters: all 256 byte values can be members. Members are
// given and tested as char; bytes from 128 on are the negative chars.
class TByteCharSet {
public:
  TByteCharSet() = default;
  TByteCharSet(std::initializer_list<char> Chars) {
    for (const char C : Chars) Include(C);
  }
  // The set of the bytes of Chars (any byte, NUL included).
  [[nodiscard]] static TByteCharSet Of(std::string_view Chars) {
    TByteCharSet Result;
    for (const char C : Chars) Result.Include(C);
    return Result;
  }
  // The bytes First .. Last, both included, counted as unsigned bytes.
  [[nodiscard]] static TByteCharSet Range(char First, char Last) {
    TByteCharSet Result;
    for (unsigned C = Byte(First); C <= Byte(Last); ++C) Result.FBits.set(C);
    return Result;
  }

  [[nodiscard]] bool Contains(char C) const noexcept { return FBits[Byte(C)]; }
  [[nodiscard]] bool Empty() const noexcept { return FBits.none(); }
  [[nodiscard]] int Count() const noexcept { return static_cast<int>(FBits.count()); }

  TByteCharSet& Include(char C) noexcept {
    FBits[Byte(C)] = true;
    return *this;
  }
  TByteCharSet& Exclude(char C) noexcept {
    FBits[Byte(C)] = false;
    return *this;
  }

  friend TByteCharSet operator+(TByteCharSet A, const TByteCharSet& B) noexcept {
    A.FBits |= B.FBits;
    return A;
  }
  friend TByteCharSet operator-(TByteCharSet A, const TByteCharSet& B) noexcept {
    A.FBits &= ~B.FBits;
    return A;
  }
  friend TByteCharSet operator*(TByteCharSet A, const TByteCharSet& B) noexcept {
    A.FBits &= B.FBits;
    return A;
  }
  friend bool operator==(const TByteCharSet&, const TByteCharSet&) noexcept = default;

private:
  static constexpr unsigned Byte(char C) noexcept { return static_cast<unsigned char>(C); }
  std::bitset<256> FBits;
};

// The type of TSyntaxParser::Delimiters.
using TDelimiters = TByteCharSet;
// The type of TSyntaxParser::SkipChars.
using TSetOfChar = TByteCharSet;

class TSyntaxParser;

// One token. Its Kind is worked out from the owning tokenizer's settings each
// time it is asked for. The item has no copy of its own: Assign, and so
// TSyntaxParser::SetItems, raise the framework's assignment error.
class TSyntaxItem : public TCollectionItem {
public:
  explicit TSyntaxItem(TCollectionBase* Collection) : TCollectionItem(Collection) {}

  [[nodiscard]] const std::string& Value() const noexcept { return FValue; }
  void SetValue(std::string_view Value) { FValue.assign(Value); }
  // 0-based column (in bytes) of the token's first character in its line.
  [[nodiscard]] std::int32_t Offset() const noexcept { return FOffset; }
  void SetOffset(std::int32_t Value) noexcept { FOffset = Value; }
  // The line number given to TSyntaxParser::Read.
  [[nodiscard]] std::int32_t Line() const noexcept { return FLine; }
  void SetLine(std::int32_t Value) noexcept { FLine = Value; }

  // The number of characters (bytes) of Value.
  [[nodiscard]] int Length() const noexcept { return static_cast<int>(FValue.size()); }

  // The kind, by the first rule that matches:
  //   0. Value is empty -> sikWhiteSpace (it holds no text; the tokenizer
  //      itself never makes such an item, only Add or SetValue can);
  //   1. Value is one space -> sikWhiteSpace;
  //   2. Value is one character of Delimiters -> sikWhiteSpace;
  //   3. Value begins with CommentsFlag (an empty flag begins every value)
  //      -> sikComment;
  //   4. the first character is Quote -> sikString;
  //   5. Value reads as a floating-point number with the point as decimal
  //      separator (TryStrToFloat) -> sikNumber, otherwise sikIdentifier;
  //      either becomes sikReservedWord when Value is one of ReservedWords,
  //      ignoring letter case.
  // An item that belongs to no tokenizer is judged by the default settings.
  // Raises nothing.
  [[nodiscard]] TSyntaxItemKind Kind() const;

  // The owning tokenizer; null when the item belongs to none.
  [[nodiscard]] TSyntaxParser* SyntaxParser() const;

  // True when Text equals Value ignoring letter case (SameText).
  [[nodiscard]] bool Equal(std::string_view Text) const;

private:
  std::int32_t FOffset = 0;
  std::string FValue;
  std::int32_t FLine = 0;
};

// Makes the items of a tokenizer: the item class given to its constructor.
using TSyntaxItemClass = std::unique_ptr<TSyntaxItem> (*)(TCollectionBase* Collection);

template <class TItem>
std::unique_ptr<TSyntaxItem> MakeSyntaxItem(TCollectionBase* Collection) {
  return std::make_unique<TItem>(Collection);
}

class TSyntaxParser : public TCollection<TSyntaxItem> {
public:
  // Tab, line feed, carriage return, space, " ' ( ) * + , - . / : ; =
  [[nodiscard]] static TDelimiters DefaultDelimiters();

  explicit TSyntaxParser(TSyntaxItemClass ItemClass = &MakeSyntaxItem<TSyntaxItem>);

  // Opens and closes a string token; default the double quote.
  [[nodiscard]] char Quote() const noexcept { return FQuote; }
  void SetQuote(char Value) noexcept { FQuote = Value; }
  // Starts a comment; default one apostrophe. Read only honours a flag of
  // exactly one character, Kind tests it as a prefix of any length.
  [[nodiscard]] const std::string& CommentsFlag() const noexcept { return FCommentsFlag; }
  void SetCommentsFlag(std::string Value) { FCommentsFlag = std::move(Value); }
  // Characters that end a token and form one-character tokens of their own.
  [[nodiscard]] const TDelimiters& Delimiters() const noexcept { return FDelimiters; }
  void SetDelimiters(const TDelimiters& Value) noexcept { FDelimiters = Value; }
  // Words reported as sikReservedWord; the list is owned and never replaced.
  [[nodiscard]] const TStringList& ReservedWords() const noexcept { return FReservedWords; }
  [[nodiscard]] TStringList& ReservedWords() noexcept { return FReservedWords; }
  // Copies the strings of Value into the owned list.
  void SetReservedWords(const TStringList& Value) { FReservedWords.Assign(Value); }
  // Kinds that Read does not store; only sikComment is honoured.
  [[nodiscard]] TSyntaxItemKinds SkipKinds() const noexcept { return FSkipKinds; }
  void SetSkipKinds(TSyntaxItemKinds Value) noexcept { FSkipKinds = Value; }
  // Delimiter characters that end a token but are not stored.
  [[nodiscard]] const TSetOfChar& SkipChars() const noexcept { return FSkipChars; }
  void SetSkipChars(const TSetOfChar& Value) noexcept { FSkipChars = Value; }

  // Appends an item with the given text, column and line. A Value of exactly
  // one tab is stored as one space.
  TSyntaxItem& Add(std::string_view Value, std::int32_t Offset, std::int32_t Line);

  // Tokenizes one line; every item gets Line. ClearFirst removes all items
  // first (Text may be the text of one of them). With Raw the quote and the
  // comment marker are ordinary characters. Reports no progress.
  virtual void Read(std::string_view Text, std::int32_t Line, bool Raw, bool ClearFirst);
  // Reads every line with its 0-based index as Line, clearing before the
  // first; an empty list reads nothing and keeps the items. Reports progress
  // ("Reading source", 0 .. lines − 1).
  virtual void ReadFromStrings(const TStringList& Lines);
  // Reads the lines of an existing file through ReadFromStrings; does nothing
  // when there is no such file. Raises EInOutError naming the file when it
  // exists but cannot be read.
  virtual void ReadFromFile(const std::string& FileName);
  // Sets Text to the values of all items, in order, with nothing between.
  virtual void Write(std::string& Text) const;
  // The text Write gives.
  [[nodiscard]] std::string Text() const;

  // Deletes the items whose Value is one space or whose Kind is sikComment,
  // walking from the last item; reports progress ("Packing Data").
  void Pack();

  // The first item whose columns Offset .. Offset + Length − 1 cover Offset,
  // whatever its line; null when none does.
  [[nodiscard]] TSyntaxItem* ItemFromOffset(std::int32_t Offset) const;
  // True for 0 < Index < Count: index 0 counts as not valid.
  [[nodiscard]] bool ValidIndex(int Index) const noexcept { return Index > 0 && Index < Count(); }

  // Items[Index]: the list-index error (EListError) outside 0 .. Count − 1.
  [[nodiscard]] TSyntaxItem& GetItems(int Index) const { return GetItem(Index); }
  [[nodiscard]] TSyntaxItem& Items(int Index) const { return GetItem(Index); }
  // Copies Value into the item at Index through the item's assignment, which
  // TSyntaxItem does not have: raises EConvertError ("Cannot assign a
  // TSyntaxItem to a TSyntaxItem"), or EListError for a bad index.
  void SetItems(int Index, const TSyntaxItem& Value) { SetItem(Index, Value); }

protected:
  std::unique_ptr<TSyntaxItem> NewItem() override;

private:
  TSyntaxItemClass FItemClass;
  char FQuote = '"';
  std::string FCommentsFlag = "'";
  TDelimiters FDelimiters;
  TStringList FReservedWords;
  TSyntaxItemKinds FSkipKinds;
  TSetOfChar FSkipChars;
};
