#pragma once
// File-name helpers. The directory separator is '/'.

#include <string>
#include <string_view>

// Replaces the extension of the name part (the text from its last dot on) by
// Extension, which includes its dot; a name without extension gets it appended.
[[nodiscard]] std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
// The name part after the last directory separator.
[[nodiscard]] std::string ExtractFileName(std::string_view FileName);
// The extension of the name part, dot included; empty when there is none.
[[nodiscard]] std::string ExtractFileExt(std::string_view FileName);
// The directory part, up to and including the last separator.
[[nodiscard]] std::string ExtractFilePath(std::string_view FileName);
// True for an existing regular file (not a directory).
[[nodiscard]] bool FileExists(const std::string& FileName);
