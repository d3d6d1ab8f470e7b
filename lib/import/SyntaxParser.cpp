#include "SyntaxParser.h"

#include "FileNames.h"
#include "NumberText.h"
#include "Progresser.h"
#include "Text.h"

#include <functional>
#include <optional>

namespace {

// Rules 0 to 4 of the kind: those that need no number test. Empty when the
// value is a number, an identifier or a reserved word.
std::optional<TSyntaxItemKind> LexicalKind(const std::string& Value, const TSyntaxParser& Parser) {
  if (Value.empty()) return sikWhiteSpace;
  if (Value == " ") return sikWhiteSpace;
  if (Value.size() == 1 && Parser.Delimiters().Contains(Value.front())) return sikWhiteSpace;
  if (Value.starts_with(Parser.CommentsFlag())) return sikComment;
  if (Value.front() == Parser.Quote()) return sikString;
  return std::nullopt;
}

bool IsPacked(const TSyntaxItem& Item, const TSyntaxParser& Parser) {
  return Item.Value() == " " || LexicalKind(Item.Value(), Parser) == sikComment;
}

// Whether Text lies within the characters of one of Parser's items.
bool RefersToItem(std::string_view Text, const TSyntaxParser& Parser) {
  const std::less<const char*> Before;
  for (const TSyntaxItem& Item : Parser) {
    const std::string& Value = Item.Value();
    const char* First = Value.data();
    const char* Last = First + Value.size();
    if (!Before(Text.data(), First) && !Before(Last, Text.data() + Text.size())) return true;
  }
  return false;
}

} // namespace

// ---------------------------------------------------------------------------
// TSyntaxItem

TSyntaxItemKind TSyntaxItem::Kind() const {
  const TSyntaxParser* Owner = SyntaxParser();
  static const TSyntaxParser Defaults;
  const TSyntaxParser& Parser = Owner ? *Owner : Defaults;

  if (const std::optional<TSyntaxItemKind> Lexical = LexicalKind(FValue, Parser)) return *Lexical;
  // A reserved word replaces both results of the number test, so it can be
  // looked up first.
  if (Parser.ReservedWords().IndexOf(FValue) >= 0) return sikReservedWord;
  Extended Number = 0;
  return TryStrToFloat(FValue, Number) ? sikNumber : sikIdentifier;
}

TSyntaxParser* TSyntaxItem::SyntaxParser() const {
  return dynamic_cast<TSyntaxParser*>(Collection());
}

bool TSyntaxItem::Equal(std::string_view Text) const { return SameText(Text, FValue); }

// ---------------------------------------------------------------------------
// TSyntaxParser

TDelimiters TSyntaxParser::DefaultDelimiters() {
  return TDelimiters{'\t', '\n', '\r', ' ', '"', '\'', '(', ')', '*',
                     '+',  ',',  '-',  '.', '/', ':',  ';', '='};
}

TSyntaxParser::TSyntaxParser(TSyntaxItemClass ItemClass)
    : FItemClass(ItemClass ? ItemClass : &MakeSyntaxItem<TSyntaxItem>),
      FDelimiters(DefaultDelimiters()) {}

std::unique_ptr<TSyntaxItem> TSyntaxParser::NewItem() { return FItemClass(this); }

TSyntaxItem& TSyntaxParser::Add(std::string_view Value, std::int32_t Offset, std::int32_t Line) {
  TSyntaxItem& Item = TCollection::Add();
  Item.SetValue(Value == "\t" ? std::string_view(" ") : Value);
  Item.SetOffset(Offset);
  Item.SetLine(Line);
  return Item;
}

void TSyntaxParser::Read(std::string_view Text, std::int32_t Line, bool Raw, bool ClearFirst) {
  if (ClearFirst) {
    if (!Text.empty() && RefersToItem(Text, *this)) {
      // The text would go with the items: read a copy of it.
      const std::string Copy(Text);
      Read(Copy, Line, Raw, ClearFirst);
      return;
    }
    Clear();
  }

  // The pending token is always the run Text[Start, I): its offset is Start.
  const bool Comments = !Raw && FCommentsFlag.size() == 1;
  const char Comment = Comments ? FCommentsFlag.front() : '\0';
  const bool StoreComments = !FSkipKinds.Contains(sikComment);
  const auto Column = [](std::size_t Position) { return static_cast<std::int32_t>(Position); };
  std::size_t Start = 0;
  bool InString = false;
  const auto Flush = [&](std::size_t I) {
    if (I > Start) Add(Text.substr(Start, I - Start), Column(Start), Line);
  };

  const std::size_t Size = Text.size();
  for (std::size_t I = 0; I < Size; ++I) {
    const char C = Text[I];
    if (Comments && !InString && C == Comment) {
      Flush(I);
      if (StoreComments) Add(Text.substr(I), Column(I), Line);
      return;
    }
    if (!Raw && C == FQuote) {
      if (InString) {
        Add(Text.substr(Start, I + 1 - Start), Column(Start), Line);
        Start = I + 1;
        InString = false;
      } else {
        Flush(I);
        Start = I;
        InString = true;
      }
    } else if (!InString && FDelimiters.Contains(C)) {
      Flush(I);
      if (!FSkipChars.Contains(C)) Add(Text.substr(I, 1), Column(I), Line);
      Start = I + 1;
    }
    // Any other character joins the pending token.
  }
  Flush(Size);
}

void TSyntaxParser::ReadFromStrings(const TStringList& Lines) {
  const TProgressScope Progress(0, Lines.Count() - 1, "Reading source");
  for (int Index = 0; Index < Lines.Count(); ++Index) {
    Progress.Show(Index);
    Read(Lines[Index], Index, false, Index == 0);
  }
}

void TSyntaxParser::ReadFromFile(const std::string& FileName) {
  if (!FileExists(FileName)) return;
  TStringList Lines;
  Lines.LoadFromFile(FileName);
  ReadFromStrings(Lines);
}

void TSyntaxParser::Write(std::string& Text) const {
  std::size_t Size = 0;
  for (const TSyntaxItem& Item : *this) Size += Item.Value().size();
  Text.clear();
  Text.reserve(Size);
  for (const TSyntaxItem& Item : *this) Text += Item.Value();
}

std::string TSyntaxParser::Text() const {
  std::string Result;
  Write(Result);
  return Result;
}

void TSyntaxParser::Pack() {
  const TProgressScope Progress(0, Count() - 1, "Packing Data");
  for (int Index = Count() - 1; Index >= 0; --Index) {
    Progress.Show(Count() - Index - 1);
    if (IsPacked(GetItem(Index), *this)) Delete(Index);
  }
}

TSyntaxItem* TSyntaxParser::ItemFromOffset(std::int32_t Offset) const {
  for (TSyntaxItem& Item : *this) {
    const std::int64_t Column = std::int64_t{Offset} - Item.Offset();
    if (Column >= 0 && Column < Item.Length()) return &Item;
  }
  return nullptr;
}
