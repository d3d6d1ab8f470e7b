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
// Display text of byte text in a character set as a MIF
// Charset statement names it (letter case ignored): WindowsLatin1 is
// Windows-1252, WindowsCyrillic Windows-1251, UTF-8 UTF-8, the other MIF
// charsets their code pages; a code page's own name (CP1251, windows-1251)
// works too. Neutral (no conversion, which common writers put over UTF-8
// text), an empty name and a name no decoder knows follow the one-argument
// rule above.
[[nodiscard]] QString DisplayText(std::string_view Text, std::string_view Charset);
[[nodiscard]] bool IsValidUtf8(std::string_view Text);
[[nodiscard]] QString FromWindows1252(std::string_view Text);
