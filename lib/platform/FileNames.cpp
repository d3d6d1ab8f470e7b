#include "FileNames.h"

#include <filesystem>
#include <system_error>

namespace {
// Index of the dot that starts the extension, or npos.
std::size_t ExtensionStart(std::string_view FileName) {
  const std::size_t Dot = FileName.find_last_of("./");
  return Dot != std::string_view::npos && FileName[Dot] == '.' ? Dot : std::string_view::npos;
}
} // namespace

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
  return std::string(FileName.substr(0, ExtensionStart(FileName))) + std::string(Extension);
}

std::string ExtractFileName(std::string_view FileName) {
  const std::size_t Slash = FileName.rfind('/');
  return std::string(Slash == std::string_view::npos ? FileName : FileName.substr(Slash + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
  const std::size_t Dot = ExtensionStart(FileName);
  return Dot == std::string_view::npos ? std::string() : std::string(FileName.substr(Dot));
}

std::string ExtractFilePath(std::string_view FileName) {
  const std::size_t Slash = FileName.rfind('/');
  return Slash == std::string_view::npos ? std::string()
                                         : std::string(FileName.substr(0, Slash + 1));
}

bool FileExists(const std::string& FileName) {
  std::error_code Error;
  return !FileName.empty() && std::filesystem::is_regular_file(FileName, Error);
}
