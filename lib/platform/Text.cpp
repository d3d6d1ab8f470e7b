#include "Text.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

bool IsAscii(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(),
                     [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }
char LowerAscii(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// The characters of bytes 0x80..0x9F in Windows-1252; the five bytes the code
// page leaves undefined map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool SameAscii(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return UpperAscii(X) == UpperAscii(Y);
         });
}

// The charsets a MIF file names and the decoder names (ICU's, through Qt) of their
// code pages. WindowsLatin1, UTF-8 and the charsets without a code page
// (Neutral, LICS, LMBCS) are handled before this table is asked.
struct TCharsetName {
  std::string_view Mif;
  const char* Codec;
};
constexpr TCharsetName CharsetNames[] = {
    {"ISO8859_2", "ISO-8859-2"},
    {"ISO8859_3", "ISO-8859-3"},
    {"ISO8859_4", "ISO-8859-4"},
    {"ISO8859_5", "ISO-8859-5"},
    {"ISO8859_6", "ISO-8859-6"},
    {"ISO8859_7", "ISO-8859-7"},
    {"ISO8859_8", "ISO-8859-8"},
    {"ISO8859_9", "ISO-8859-9"},
    {"PackedEUCJapanese", "EUC-JP"},
    {"PackedEUCJapaese", "EUC-JP"},
    {"WindowsLatin2", "windows-1250"},
    {"WindowsCyrillic", "windows-1251"},
    {"WindowsGreek", "windows-1253"},
    {"WindowsTurkish", "windows-1254"},
    {"WindowsHebrew", "windows-1255"},
    {"WindowsArabic", "windows-1256"},
    {"WindowsBalticRim", "windows-1257"},
    {"WindowsVietnamese", "windows-1258"},
    {"WindowsThai", "windows-874"},
    {"WindowsJapanese", "Shift_JIS"},
    {"WindowsSimpChinese", "GBK"},
    {"WindowsTradChinese", "Big5"},
    {"WindowsKorean", "windows-949"},
    {"CodePage437", "IBM437"},
    {"CodePage850", "IBM850"},
    {"CodePage852", "IBM852"},
    {"CodePage855", "IBM855"},
    {"CodePage857", "IBM857"},
    {"CodePage860", "IBM860"},
    {"CodePage861", "IBM861"},
    {"CodePage862", "IBM862"},
    {"CodePage863", "IBM863"},
    {"CodePage864", "IBM864"},
    {"CodePage865", "IBM865"},
    {"CodePage866", "IBM866"},
    {"CodePage869", "IBM869"},
    {"MacRoman", "macintosh"},
    {"MacCentralEurope", "x-mac-centraleurroman"},
    {"MacCyrillic", "x-mac-cyrillic"},
    {"MacGreek", "x-mac-greek"},
    {"MacTurkish", "x-mac-turkish"},
};

// A decoder for a codec name, made once per thread and name; null when no
// decoder knows the name. Stateless, so each text is decoded on its own.
QStringDecoder* DecoderFor(const std::string& Codec) {
  thread_local std::unordered_map<std::string, std::unique_ptr<QStringDecoder>> Decoders;
  const auto Found = Decoders.find(Codec);
  if (Found != Decoders.end()) return Found->second.get();
  // Names come from files: keep the cache from growing with odd ones.
  if (Decoders.size() >= 64) Decoders.clear();
  auto Decoder = std::make_unique<QStringDecoder>(Codec.c_str(), QStringDecoder::Flag::Stateless);
  if (!Decoder->isValid()) Decoder.reset();
  return Decoders.emplace(Codec, std::move(Decoder)).first->second.get();
}

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
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
             return UpperAscii(X) == UpperAscii(Y);
           });
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

QString DisplayText(std::string_view Text, std::string_view Charset) {
  if (Charset.empty() || SameAscii(Charset, "Neutral")) return DisplayText(Text);
  // Every charset here agrees with ASCII on its first 128 bytes.
  if (IsAscii(Text)) return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
  if (SameAscii(Charset, "WindowsLatin1")) return FromWindows1252(Text);
  if (SameAscii(Charset, "ISO8859_1"))
    return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
  if (SameAscii(Charset, "UTF-8") || SameAscii(Charset, "UTF8"))
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
  std::string Codec(Charset);
  for (const TCharsetName& Name : CharsetNames)
    if (SameAscii(Charset, Name.Mif)) Codec = Name.Codec;
  QStringDecoder* Decoder = DecoderFor(Codec);
  if (!Decoder) return DisplayText(Text);
  return Decoder->decode(QByteArrayView(Text.data(), static_cast<qsizetype>(Text.size())));
}
