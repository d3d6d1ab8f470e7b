#pragma once
// The framework's string list: an ordered list of byte strings that can be
// loaded from a text file line by line.

#include <string>
#include <string_view>
#include <vector>

class TStringList {
public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> Lines) : FStrings(Lines) {}

  [[nodiscard]] int Count() const { return static_cast<int>(FStrings.size()); }
  int Add(std::string Line);
  void Insert(int Index, std::string Line);
  void Delete(int Index);
  void Clear() { FStrings.clear(); }
  [[nodiscard]] const std::string& Strings(int Index) const;
  [[nodiscard]] const std::string& operator[](int Index) const { return Strings(Index); }
  void SetStrings(int Index, std::string Line);
  // First index of a string equal to Value ignoring letter case; -1 when none.
  [[nodiscard]] int IndexOf(std::string_view Value) const;
  void Assign(const TStringList& Source) { FStrings = Source.FStrings; }

  // Replaces the lines by those of a text file: CR LF, LF and CR all end a
  // line and are not kept. Raises EInOutError naming the file when it cannot
  // be read.
  void LoadFromFile(const std::string& FileName);
  // The lines, each followed by a line feed.
  [[nodiscard]] std::string Text() const;
  void SetText(std::string_view Text);

  [[nodiscard]] auto begin() const { return FStrings.begin(); }
  [[nodiscard]] auto end() const { return FStrings.end(); }

private:
  std::vector<std::string> FStrings;
};
