#include "Text.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

bool IsAscii(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }
char LowerAscii(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// The characters of bytes 0x80..0x9F in Windows-1252; the five bytes the code
// page leaves undefined map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::string UpperCaseAscii(std::string_view Text) {
  std::string Result(Text);
  std::transform(Result.begin(), Result.end(), Result.begin(), UpperAscii);
  return Result;
}

std::string LowerCaseAscii(std::string_view Text) {
  std::string Result(Text);
  std::transform(Result.begin(), Result.end(), Result.begin(), LowerAscii);
  return Result;
}

std::string TrimLeft(std::string_view Text) {
  const auto First = std::find_if_not(Text.begin(), Text.end(), IsBlank);
  return std::string(First, Text.end());
}

std::string TrimRight(std::string_view Text) {
  const auto Last = std::find_if_not(Text.rbegin(), Text.rend(), IsBlank);
  return std::string(Text.begin(), Last.base());
}

std::string Trim(std::string_view Text) { return TrimLeft(TrimRight(Text)); }

bool SameText(std::string_view A, std::string_view B) {
  if (IsAscii(A) && IsAscii(B))
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return UpperAscii(X) == UpperAscii(Y); });
  return DisplayText(A).compare(DisplayText(B), Qt::CaseInsensitive) == 0;
}

bool IsValidUtf8(std::string_view Text) {
  if (IsAscii(Text)) return true;
  QStringDecoder Decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString Decoded = Decoder(QByteArrayView(Text.data(), static_cast<qsizetype>(Text.size())));
  return !Decoder.hasError();
}

QString FromWindows1252(std::string_view Text) {
  QString Result;
  Result.reserve(static_cast<qsizetype>(Text.size()));
  for (const char C : Text) {
    const auto Byte = static_cast<unsigned char>(C);
    Result.append(Byte >= 0x80 && Byte < 0xA0 ? QChar(Windows1252High[Byte - 0x80]) : QChar(Byte));
  }
  return Result;
}

QString DisplayText(std::string_view Text) {
  if (IsValidUtf8(Text)) return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
  return FromWindows1252(Text);
}
