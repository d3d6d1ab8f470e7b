#include "Strings.h"

#include "Errors.h"
#include "Text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
void CheckIndex(int Index, int Count) {
  if (Index < 0 || Index >= Count) RaiseListIndexError(Index);
}
} // namespace

int TStringList::Add(std::string Line) {
  FStrings.push_back(std::move(Line));
  return Count() - 1;
}

void TStringList::Insert(int Index, std::string Line) {
  if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
  FStrings.insert(FStrings.begin() + Index, std::move(Line));
}

void TStringList::Delete(int Index) {
  CheckIndex(Index, Count());
  FStrings.erase(FStrings.begin() + Index);
}

const std::string& TStringList::Strings(int Index) const {
  CheckIndex(Index, Count());
  return FStrings[static_cast<std::size_t>(Index)];
}

void TStringList::SetStrings(int Index, std::string Line) {
  CheckIndex(Index, Count());
  FStrings[static_cast<std::size_t>(Index)] = std::move(Line);
}

int TStringList::IndexOf(std::string_view Value) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (SameText(FStrings[static_cast<std::size_t>(Index)], Value)) return Index;
  return -1;
}

void TStringList::LoadFromFile(const std::string& FileName) {
  std::ifstream File(FileName, std::ios::binary);
  if (!File) throw EInOutError(FileName + ": cannot open the file: " + std::strerror(errno));
  std::ostringstream Content;
  Content << File.rdbuf();
  if (File.bad()) throw EInOutError(FileName + ": cannot read the file");
  SetText(Content.str());
}

std::string TStringList::Text() const {
  std::string Result;
  for (const std::string& Line : FStrings) Result.append(Line).push_back('\n');
  return Result;
}

void TStringList::SetText(std::string_view Text) {
  FStrings.clear();
  std::size_t Start = 0;
  while (Start < Text.size()) {
    const std::size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string_view::npos) {
      FStrings.emplace_back(Text.substr(Start));
      break;
    }
    FStrings.emplace_back(Text.substr(Start, End - Start));
    Start = End + (Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n' ? 2 : 1);
  }
}
