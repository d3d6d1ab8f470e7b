#pragma once
// Byte-text helpers. The library's text is byte text: names and values keep
// the bytes of the file they came from; display text is made from them with
// DisplayText.

#include <QString>
#include <string>
#include <string_view>

// Upper-cases the ASCII letters a-z only; every other byte is kept.
[[nodiscard]] std::string UpperCaseAscii(std::string_view Text);
[[nodiscard]] std::string LowerCaseAscii(std::string_view Text);

// Removes leading and trailing blanks and control characters (bytes up to 32).
[[nodiscard]] std::string Trim(std::string_view Text);
[[nodiscard]] std::string TrimLeft(std::string_view Text);
[[nodiscard]] std::string TrimRight(std::string_view Text);

// Equality ignoring letter case, for ASCII and for the letters of the
// display text of non-ASCII bytes.
[[nodiscard]] bool SameText(std::string_view A, std::string_view B);

// Display text of byte text: UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252.
[[nodiscard]] QString DisplayText(std::string_view Text);
[[nodiscard]] bool IsValidUtf8(std::string_view Text);
[[nodiscard]] QString FromWindows1252(std::string_view Text);
