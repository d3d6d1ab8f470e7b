// libFuzzer target: MID records. The first byte picks a separator; the rest
// is read two ways.
//   1. As field contents, split at 0xFF bytes (line ends removed): each is
//      written as MIF writers do (in quotes, a quote doubled), the fields are
//      joined by the separator, and the quote-aware record parser must give
//      back exactly the fields.
//   2. As the text of a MID file for a MIF file with a column of every type
//      and as many points as the text has lines: the load must not fail.
#include "MapObjects.h"
#include "MifReader.h"
#include "StringParserU.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Separators[] = {",", "\t", ";", "|", "::", " ", "ab", "\"", ",\""};

[[noreturn]] void Broken(const char* What) {
  std::fprintf(stderr, "FuzzMidRecord: %s\n", What);
  std::abort();
}

void RoundTrip(std::string_view Separator, std::string_view Text) {
  std::vector<std::string> Fields(1);
  for (const char C : Text) {
    if (C == '\xFF')
      Fields.emplace_back();
    else if (C != '\n' && C != '\r')
      Fields.back() += C;
  }
  std::string Line;
  for (std::size_t Index = 0; Index < Fields.size(); ++Index) {
    if (Index > 0) Line += Separator;
    Line += '"';
    for (const char C : Fields[Index]) Line += C == '"' ? std::string("\"\"") : std::string(1, C);
    Line += '"';
  }
  TStringParser Parser;
  Parser.SetQuoted(true);
  Parser.SetDelimiter(Separator);
  Parser.FromString(Line);
  if (Separator.find('"') != std::string_view::npos) return; // quoting is off with such a separator
  if (Parser.Count() != static_cast<int>(Fields.size()))
    Broken("a quoted field was split or joined");
  for (int Index = 0; Index < Parser.Count(); ++Index)
    if (Parser[Index].Unquoted() != Fields[static_cast<std::size_t>(Index)])
      Broken("a field changed");
  if (Parser.ToString() != Line) Broken("the record does not join back to its line");
}

void Load(std::string_view Separator, std::string_view Mid) {
  std::string Mif = "Version 300\nDelimiter \"";
  Mif += Separator;
  Mif += "\"\nColumns 8\n S Char(20)\n F Float\n D Decimal(8,2)\n I Integer\n SI SmallInt\n"
         " DT Date\n L Logical\n DTT DateTime\nData\n";
  std::size_t Lines = 1;
  for (const char C : Mid) Lines += C == '\n' || C == '\r';
  for (std::size_t Index = 0; Index < Lines && Index < 1000; ++Index) Mif += "Point 1 2\n";
  TMapLayer Layer;
  try {
    TMifReader(Layer).ReadText(Mif, Mid, "record.mif");
  } catch (const Exception&) {
    Broken("a MID record made the load fail");
  }
  for (const auto& Object : Layer)
    for (const TDataField& Field : Object->Fields()) (void)Field.GetAsString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  const std::string_view Separator = Separators[Data[0] % std::size(Separators)];
  const std::string_view Text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  RoundTrip(Separator, Text);
  Load(Separator, Text);
  return 0;
}
