#include "MifReader.h"

#include "Application.h"
#include "DataFields.h"
#include "Errors.h"
#include "FileNames.h"
#include "Lumara.h"
#include "MapLayer.h"
#include "Polylines.h"
#include "Symbol.h"
#include "Text.h"
#include "TraceMessage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---------------------------------------------------------------------------
// Bytes and words

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\v' || C == '\f'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
char Upper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

bool SameAscii(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(),
                                            [](char X, char Y) { return Upper(X) == Upper(Y); });
}

std::string_view SkipBlanks(std::string_view Text) {
  std::size_t At = 0;
  while (At < Text.size() && IsBlank(Text[At])) ++At;
  return Text.substr(At);
}

std::string_view TrimBlanks(std::string_view Text) {
  Text = SkipBlanks(Text);
  while (!Text.empty() && IsBlank(Text.back())) Text.remove_suffix(1);
  return Text;
}

bool IsBlankLine(std::string_view Line) { return SkipBlanks(Line).empty(); }

// Splits off the first blank-separated token of Text.
std::string_view NextToken(std::string_view& Text) {
  Text = SkipBlanks(Text);
  std::size_t End = 0;
  while (End < Text.size() && !IsBlank(Text[End])) ++End;
  const std::string_view Token = Text.substr(0, End);
  Text.remove_prefix(End);
  return Token;
}

// Found text for messages: at most 60 bytes, control bytes written as \xNN.
std::string Shown(std::string_view Text) {
  constexpr std::size_t Limit = 60;
  std::string Result = "\"";
  for (const char C : Text.substr(0, Limit)) {
    const auto Byte = static_cast<unsigned char>(C);
    if (Byte < 32 || Byte == 127) {
      static const char Hex[] = "0123456789ABCDEF";
      Result += "\\x";
      Result += Hex[Byte >> 4];
      Result += Hex[Byte & 15];
    } else {
      Result += C;
    }
  }
  Result += Text.size() > Limit ? "\"..." : "\"";
  return Result;
}

// The statement words, and the clause words, of a MIF line.
enum TMifWord : std::uint8_t {
  mwNone, // no word: the line starts with no letter after its blanks
  mwOther,
  mwDelimiter,
  mwCharset,
  mwColumns,
  mwData,
  mwRegion,
  mwPline,
  mwPoint,
  mwLine,
  mwArc,
  mwEllipse,
  mwRect,
  mwRoundRect,
  mwText,
  mwMultiPoint,
  mwCollection,
  mwNoneObject,
  mwPen,
  mwBrush,
  mwCenter,
  mwFont,
  mwSymbol,
};

struct TWordName {
  std::string_view Text;
  TMifWord Word;
};
constexpr TWordName WordNames[] = {
    {"DELIMITER", mwDelimiter},
    {"CHARSET", mwCharset},
    {"COLUMNS", mwColumns},
    {"DATA", mwData},
    {"REGION", mwRegion},
    {"PLINE", mwPline},
    {"POINT", mwPoint},
    {"LINE", mwLine},
    {"ARC", mwArc},
    {"ELLIPSE", mwEllipse},
    {"RECT", mwRect},
    {"ROUNDRECT", mwRoundRect},
    {"TEXT", mwText},
    {"MULTIPOINT", mwMultiPoint},
    {"COLLECTION", mwCollection},
    {"NONE", mwNoneObject},
    {"PEN", mwPen},
    {"BRUSH", mwBrush},
    {"CENTER", mwCenter},
    {"FONT", mwFont},
    {"SYMBOL", mwSymbol},
};
constexpr std::size_t LongestWord = 10;

// The first word of Line: the run of ASCII letters after its leading blanks,
// letter case ignored. Rest is what follows the word.
TMifWord FirstWord(std::string_view Line, std::string_view& Rest) {
  std::size_t At = 0;
  while (At < Line.size() && IsBlank(Line[At])) ++At;
  const std::size_t Start = At;
  while (At < Line.size() && IsLetter(Line[At])) ++At;
  Rest = Line.substr(At);
  const std::size_t Length = At - Start;
  if (Length == 0) return mwNone;
  if (Length > LongestWord) return mwOther;
  char Word[LongestWord];
  for (std::size_t I = 0; I < Length; ++I) Word[I] = Upper(Line[Start + I]);
  const std::string_view Text(Word, Length);
  for (const TWordName& Name : WordNames)
    if (Name.Text == Text) return Name.Word;
  return mwOther;
}

bool IsObjectWord(TMifWord Word) { return Word >= mwRegion && Word <= mwNoneObject; }

TObjectAttribute AttributeOf(TMifWord Word) {
  switch (Word) {
  case mwPen:
    return oaPen;
  case mwBrush:
    return oaBrush;
  case mwCenter:
    return oaCenter;
  case mwFont:
    return oaFont;
  case mwSymbol:
    return oaSymbol;
  default:
    return oaNone;
  }
}

// The kinds of section a COLLECTION holds, one bit each.
unsigned NestedBit(TMifWord Word) {
  switch (Word) {
  case mwRegion:
    return 1;
  case mwPline:
    return 2;
  case mwMultiPoint:
    return 4;
  default:
    return 0;
  }
}

// ---------------------------------------------------------------------------
// Numbers. The whole token must be the number; a leading + is accepted, as
// the platform's number reading accepted it; words (inf, nan), hexadecimal
// and a decimal comma are not numbers. No locale is read.

constexpr long double Powers10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                    1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                    1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                    1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr long ExactPowers = 27; // 10^27 = 2^27 * 5^27 and 5^27 < 2^64: exact in 80 bits

// The magnitude of a decimal number of Digits significant digits in
// Mantissa times 10^Exponent, as the nearest Extended. With up to 19 digits
// (so Mantissa is exact) and a power of ten up to 10^27 it takes one exact
// multiplication or division, which the hardware rounds correctly; anything
// else goes to std::from_chars over Text, which rounds correctly too, only
// slower.
[[gnu::always_inline]] inline bool ToExtended(std::uint64_t Mantissa, int Digits, long Exponent,
                                              const char* First, const char* Last,
                                              Extended& Magnitude) {
  if (Mantissa == 0 && Digits <= 19) {
    Magnitude = 0;
    return true;
  }
  if (Digits <= 19) {
    const Extended Exact = Mantissa < (std::uint64_t{1} << 63)
                               ? static_cast<Extended>(static_cast<std::int64_t>(Mantissa))
                               : static_cast<Extended>(Mantissa);
    if (Exponent >= 0 && Exponent <= ExactPowers) {
      Magnitude = Exact * Powers10[Exponent];
      return true;
    }
    if (Exponent < 0 && Exponent >= -ExactPowers) {
      Magnitude = Exact / Powers10[-Exponent];
      return true;
    }
  }
  const auto [Stop, Error] = std::from_chars(First, Last, Magnitude, std::chars_format::general);
  return Error == std::errc{} && Stop == Last;
}

// Eight bytes from P, the first in the lowest byte.
std::uint64_t LoadWord(const char* P) {
  std::uint64_t Word = 0;
  std::memcpy(&Word, P, sizeof Word);
  if constexpr (std::endian::native == std::endian::big) Word = __builtin_bswap64(Word);
  return Word;
}

// How many of the eight bytes of Word, from the first on, are digits. A byte
// of 0xFA or more carries into the next byte, which can only spoil the
// answer for bytes after the first that is no digit.
int LeadingDigits(std::uint64_t Word) {
  const std::uint64_t High = 0xF0F0F0F0F0F0F0F0ULL;
  const std::uint64_t Flags = (Word & High) | (((Word + 0x0606060606060606ULL) & High) >> 4);
  const std::uint64_t Others = Flags ^ 0x3333333333333333ULL; // non-zero bytes: no digit
  return Others == 0 ? 8 : __builtin_ctzll(Others) / 8;
}

// The value of the first Count (1 to 8) digits of Word.
std::uint64_t DigitsValue(std::uint64_t Word, int Count) {
  const int Shift = 8 * (8 - Count); // the digits to the high bytes, zeros before them
  std::uint64_t Value = (Word << Shift) - (0x3030303030303030ULL << Shift);
  Value = Value * 10 + (Value >> 8);
  Value = (((Value & 0x000000FF000000FFULL) * 0x000F424000000064ULL) +
           (((Value >> 16) & 0x000000FF000000FFULL) * 0x0000271000000001ULL)) >>
          32;
  return Value;
}

constexpr std::uint64_t IntegerPowers10[] = {1,      10,      100,      1000,     10000,
                                             100000, 1000000, 10000000, 100000000};

// Scans a decimal number from Cursor: an optional sign, digits with an
// optional point (at least one digit), an optional exponent. Answers the
// number and moves Cursor past it, or sets Cursor to null when it holds
// none. The caller decides what may follow. (The value is answered, not
// stored through a reference: an 80-bit store loaded again at once stalls.)
Extended ScanNumber(const char*& Cursor, const char* const End) {
  const char* P = Cursor;
  const bool Negative = P < End && *P == '-';
  P += P < End && (*P == '-' || *P == '+');
  const char* const Unsigned = P;
  std::uint64_t Mantissa = 0; // wraps beyond 19 digits; then ToExtended does not use it
  while (P < End && IsDigit(*P)) Mantissa = Mantissa * 10 + static_cast<unsigned>(*P++ - '0');
  const char* const Integer = P;
  long Fraction = 0;
  if (P < End && *P == '.') {
    const char* const First = ++P;
    while (P < End && IsDigit(*P)) Mantissa = Mantissa * 10 + static_cast<unsigned>(*P++ - '0');
    Fraction = P - First;
  }
  const long Digits = (Integer - Unsigned) + Fraction;
  long Exponent = -Fraction;
  bool Valid = Digits > 0;
  if (Valid && P < End && (*P == 'e' || *P == 'E')) {
    ++P;
    bool NegativeExponent = false;
    if (P < End && (*P == '+' || *P == '-')) {
      NegativeExponent = *P == '-';
      ++P;
    }
    Valid = P < End && IsDigit(*P);
    long Written = 0;
    for (; P < End && IsDigit(*P); ++P)
      Written = std::min<long>(Written * 10 + (*P - '0'), 1'000'000);
    Exponent += NegativeExponent ? -Written : Written;
  }
  int Significant = static_cast<int>(std::min<long>(Digits, 20));
  if (Significant > 19) {
    // Leading zeros are no significant digits: count again without them.
    const char* Q = Unsigned;
    while (Q < P && (*Q == '0' || *Q == '.')) ++Q;
    long Remaining = 0;
    for (const char* R = Q; R < P && *R != 'e' && *R != 'E'; ++R) Remaining += IsDigit(*R);
    if (Remaining <= 19) Significant = static_cast<int>(Remaining);
  }
  Extended Magnitude = 0;
  if (!Valid || !ToExtended(Mantissa, Significant, Exponent, Unsigned, P, Magnitude)) {
    Cursor = nullptr;
    return 0;
  }
  Cursor = P;
  return Negative ? -Magnitude : Magnitude;
}

// The common shape of a coordinate, taken eight bytes at a time without a
// branch per digit: a sign, up to seven integer digits, a point and up to
// seven decimals, no exponent. Bytes from End up to Readable may be looked
// at (they are the line end, which is no digit, and what follows it); at
// least sixteen from the digits on must be readable. Answers false,
// consuming nothing, for anything else, which ScanNumber then reads.
// Fourteen digits at most, so the mantissa is exact and one division by a
// power of ten gives the nearest Extended.
bool ScanCoordinate(const char*& Cursor, const char* const End, const char* const Readable,
                    Extended& Value) {
  const char* P = Cursor;
  const bool Negative = *P == '-';
  P += *P == '-' || *P == '+';
  if (Readable - P < 16) return false;
  const std::uint64_t Word = LoadWord(P);
  const int Head = LeadingDigits(Word);
  if (Head == 8) return false;
  std::uint64_t Mantissa = Head > 0 ? DigitsValue(Word, Head) : 0;
  P += Head;
  int Tail = 0;
  if (P < End && *P == '.') {
    const std::uint64_t Decimals = LoadWord(P + 1);
    Tail = LeadingDigits(Decimals);
    if (Tail == 8) return false;
    if (Tail > 0) Mantissa = Mantissa * IntegerPowers10[Tail] + DigitsValue(Decimals, Tail);
    P += 1 + Tail;
  }
  if (Head + Tail == 0 || (P < End && (*P == 'e' || *P == 'E'))) return false;
  const Extended Magnitude =
      static_cast<Extended>(static_cast<std::int64_t>(Mantissa)) / Powers10[Tail];
  Value = Negative ? -Magnitude : Magnitude;
  Cursor = P;
  return true;
}

// The whole of Text as a decimal number. A leading + is accepted, as the
// platform's number reading accepted it; words (inf, nan), hexadecimal and a
// decimal comma are not numbers.
bool ParseNumber(std::string_view Text, Extended& Value) {
  const char* const End = Text.data() + Text.size();
  const char* P = Text.data();
  const Extended Number = ScanNumber(P, End);
  if (P != End) return false;
  Value = Number;
  return true;
}

enum TPointLine : std::uint8_t { plPoint, plBlank, plMalformed };

// A point line: blanks, X, blanks, Y, then blanks or anything after a blank.
// Bytes from the end of Line up to Readable may be looked at.
TPointLine ParsePointLine(std::string_view Line, const char* Readable, Extended& X, Extended& Y) {
  const char* P = Line.data();
  const char* const End = P + Line.size();
  while (P < End && IsBlank(*P)) ++P;
  if (P == End) return plBlank;
  if (!ScanCoordinate(P, End, Readable, X)) X = ScanNumber(P, End);
  if (!P || P == End || !IsBlank(*P)) return plMalformed;
  while (P < End && IsBlank(*P)) ++P;
  if (P == End) return plMalformed;
  if (!ScanCoordinate(P, End, Readable, Y)) Y = ScanNumber(P, End);
  if (!P || (P < End && !IsBlank(*P))) return plMalformed;
  return plPoint;
}

// A whole-token decimal integer with an optional sign.
bool ParseInteger(std::string_view Text, std::int64_t& Value) {
  bool Negative = false;
  if (!Text.empty() && (Text.front() == '+' || Text.front() == '-')) {
    Negative = Text.front() == '-';
    Text.remove_prefix(1);
  }
  if (Text.empty() || !IsDigit(Text.front())) return false;
  std::int64_t Magnitude = 0;
  const auto [Stop, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Magnitude);
  if (Error != std::errc{} || Stop != Text.data() + Text.size()) return false;
  Value = Negative ? -Magnitude : Magnitude;
  return true;
}

// ---------------------------------------------------------------------------
// Errors: the class callers expect, with the place and the text found.

template <class TError>
[[noreturn]] void Fail(const TMifLineReader& Reader, const std::string& What) {
  throw TError(Reader.Where() + ": " + What);
}

// At most this many bytes of a clause or POINT line go to the tokenizer: the
// values used stand at the start, and a line of megabytes must not become
// millions of tokens.
constexpr std::size_t TokenizedBytes = 4096;

// The shortest point line: a digit, a blank, a digit and the line end.
constexpr std::uint64_t ShortestPointLine = 4;

// The most points that the rest of the input could hold.
int MostPoints(const TMifLineReader& Reader, std::int64_t Count) {
  const std::uint64_t Possible = Reader.Remaining() / ShortestPointLine + 1;
  const std::uint64_t Wanted = Count < 0 ? 0 : static_cast<std::uint64_t>(Count);
  return static_cast<int>(
      std::min<std::uint64_t>({Wanted, Possible, static_cast<std::uint64_t>(INT_MAX)}));
}

// ---------------------------------------------------------------------------
// MID values

// YYYYMMDD, optionally followed by the time of a date-time value (hhmmss or
// hhmmssmmm); the time counts only when WithTime is set.
bool ParseMidDate(std::string_view Text, bool WithTime, TDateTime& Value) {
  if (Text.size() < 8 || !std::all_of(Text.begin(), Text.end(), IsDigit)) return false;
  if (Text.size() != 8 && Text.size() != 14 && Text.size() != 17) return false;
  const auto Number = [&](std::size_t From, std::size_t Count) {
    int Result = 0;
    for (std::size_t I = From; I < From + Count; ++I) Result = Result * 10 + (Text[I] - '0');
    return Result;
  };
  TDateTime Date = 0;
  if (!TryEncodeDate(Number(0, 4), Number(4, 2), Number(6, 2), Date)) return false;
  if (WithTime && Text.size() > 8) {
    const int Hour = Number(8, 2), Minute = Number(10, 2), Second = Number(12, 2);
    const int MilliSecond = Text.size() == 17 ? Number(14, 3) : 0;
    if (Hour > 23 || Minute > 59 || Second > 59) return false;
    const TDateTime Time = EncodeTime(Hour, Minute, Second, MilliSecond);
    Date = Date < 0 ? Date - Time : Date + Time;
  }
  Value = Date;
  return true;
}

void StoreValue(TDataField& Field, const std::string& Raw) {
  switch (Field.DataType()) {
  case dtString:
    Field.SetValue(TVariant(Unquoted(Raw)));
    return;
  case dtDate:
  case dtDateTime: {
    const std::string Text = Unquoted(TrimBlanks(Raw));
    TDateTime Date = 0;
    if (Text.empty())
      Field.SetValue(TVariant());
    else if (ParseMidDate(Text, Field.DataType() == dtDateTime, Date))
      Field.SetValue(Field.DataType() == dtDate ? TVariant(Date) : TVariant::FromDateTime(Date));
    else
      Field.SetValue(TVariant(Raw));
    return;
  }
  default:
    Field.SetValue(TVariant(Raw));
    return;
  }
}

// The type of a column by the words its type text contains, later words of
// the table winning; a type with none of them is dtFloat.
TDataType ColumnType(std::string_view TypeText) {
  const std::string Type = UpperCaseAscii(TypeText);
  struct TTypeWord {
    const char* Word;
    TDataType Type;
  };
  static constexpr TTypeWord TypeWords[] = {{"CHAR", dtString},       {"FLOAT", dtFloat},
                                            {"DECIMAL", dtDecimal},   {"INTEGER", dtInteger},
                                            {"SMALLINT", dtSmallInt}, {"DATE", dtDate}};
  TDataType Result = dtFloat;
  for (const TTypeWord& Word : TypeWords)
    if (Type.find(Word.Word) != std::string::npos) Result = Word.Type;
  return Result;
}

// ---------------------------------------------------------------------------
// The end step: whatever happens, progress is stopped, the files are closed
// and the map leaves its update bracket with one repaint request. The guards
// are declared so that they end in that order.

class TUpdateBracket {
public:
  explicit TUpdateBracket(TLumara* Map) : FMap(Map) {
    if (FMap) FMap->BeginUpdate();
  }
  ~TUpdateBracket() {
    if (!FMap) return;
    try {
      FMap->EndUpdate(true);
    } catch (...) {
      Application->HandleException(FMap);
    }
  }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
  TLumara* FMap; // not owned; may be null
};

class TLoadProgress {
public:
  TLoadProgress(TLumara* Map, std::uint64_t Size) : FMap(Map) {
    if (FMap)
      FMap->StartProgress(0, static_cast<int>(std::min<std::uint64_t>(Size / 128, INT_MAX)),
                          "Reading");
  }
  ~TLoadProgress() {
    if (!FMap) return;
    try {
      FMap->StopProgress();
    } catch (...) {
      Application->HandleException(FMap);
    }
  }
  TLoadProgress(const TLoadProgress&) = delete;
  TLoadProgress& operator=(const TLoadProgress&) = delete;

private:
  TLumara* FMap; // not owned; may be null
};

} // namespace

// ---------------------------------------------------------------------------
// MIFColorToColor

TColor MIFColorToColor(int Value) {
  const int Red = std::min(255, Value / 65536);
  const int Rest = Value % 65536;
  const int Green = std::min(255, Rest / 256);
  const int Blue = std::min(255, Rest % 256);
  return static_cast<TColor>((Red & 0xFF) | (Green & 0xFF) << 8 | (Blue & 0xFF) << 16);
}

// ---------------------------------------------------------------------------
// TMifLineReader

namespace {
constexpr std::size_t InitialBuffer = 256 * 1024;
}

TMifLineReader::TMifLineReader(std::string_view Text, std::string Name)
    : FName(std::move(Name)), FStart(Text.data()), FPos(Text.data()),
      FEnd(Text.data() + Text.size()), FAtEnd(true), FSize(Text.size()) {}

TMifLineReader::TMifLineReader(const std::string& FileName) : FName(FileName) {
  errno = 0;
  FFile = std::fopen(FileName.c_str(), "rb");
  if (!FFile) throw EInOutError("Cannot open file \"" + FileName + "\": " + std::strerror(errno));
  std::setvbuf(FFile, nullptr, _IONBF, 0); // the reader has its own buffer
  std::error_code Error;
  const std::uintmax_t Size = std::filesystem::file_size(FileName, Error);
  FSize = Error ? 0 : static_cast<std::uint64_t>(Size);
  FCapacity = static_cast<std::size_t>(
      std::min<std::uint64_t>(InitialBuffer, std::max<std::uint64_t>(FSize, 4096)));
  FBuffer = std::make_unique<char[]>(FCapacity);
  FStart = FPos = FEnd = FBuffer.get();
}

TMifLineReader::~TMifLineReader() {
  if (FFile) std::fclose(FFile);
}

std::string TMifLineReader::Where() const { return FName + ":" + std::to_string(FLine); }

std::uint64_t TMifLineReader::Position() const {
  return FWindowOffset + static_cast<std::uint64_t>(FPos - FStart);
}

bool TMifLineReader::Refill() {
  if (FAtEnd || !FFile) return false;
  const std::size_t Kept = static_cast<std::size_t>(FEnd - FPos);
  FWindowOffset += static_cast<std::uint64_t>(FPos - FStart);
  if (Kept == FCapacity) {
    // A line longer than the buffer: the buffer grows to hold it.
    const std::size_t Capacity = FCapacity * 2;
    auto Grown = std::make_unique<char[]>(Capacity);
    std::memcpy(Grown.get(), FPos, Kept);
    FBuffer = std::move(Grown);
    FCapacity = Capacity;
  } else if (Kept > 0 && FPos != FBuffer.get()) {
    std::memmove(FBuffer.get(), FPos, Kept);
  }
  char* const Buffer = FBuffer.get();
  errno = 0;
  const std::size_t Got = std::fread(Buffer + Kept, 1, FCapacity - Kept, FFile);
  if (Got < FCapacity - Kept) {
    if (std::ferror(FFile))
      throw EInOutError(FName + ":" + std::to_string(FLine + 1) +
                        ": cannot read the file: " + std::strerror(errno));
    FAtEnd = true;
  }
  FStart = FPos = Buffer;
  FEnd = Buffer + Kept + Got;
  return Got > 0;
}

namespace {
// The first CR or LF in P .. End, or End; sixteen bytes at a time where it can.
const char* FindLineEnd(const char* P, const char* const End) {
#if defined(__SSE2__)
  const __m128i LF = _mm_set1_epi8('\n');
  const __m128i CR = _mm_set1_epi8('\r');
  while (End - P >= 16) {
    const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
    const int Mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(Bytes, LF), _mm_cmpeq_epi8(Bytes, CR)));
    if (Mask != 0) return P + __builtin_ctz(static_cast<unsigned>(Mask));
    P += 16;
  }
#endif
  while (P < End && *P != '\n' && *P != '\r') ++P;
  return P;
}
} // namespace

// A line ends at the first CR or LF; a CR directly followed by an LF ends it
// together with the LF.
bool TMifLineReader::ReadLine(std::string_view& Line) {
  for (;;) {
    const char* const Found = FindLineEnd(FPos, FEnd);
    const char* Next = nullptr;
    if (Found < FEnd) {
      if (*Found == '\n' || Found + 1 < FEnd)
        Next = *Found == '\r' && Found[1] == '\n' ? Found + 2 : Found + 1;
      else if (FAtEnd)
        Next = Found + 1; // a CR at the very end of the input
      // Otherwise a CR ends the window, and an LF may follow it.
    } else if (FAtEnd) {
      if (FPos == FEnd) return false;
      Next = FEnd; // the last line has no line end
    }
    if (!Next) {
      Refill();
      continue;
    }
    Line = std::string_view(FPos, static_cast<std::size_t>(Found - FPos));
    FPos = Next;
    if (++FLine == 1 && Line.starts_with("\xEF\xBB\xBF")) Line.remove_prefix(3);
    return true;
  }
}

// ---------------------------------------------------------------------------
// TMifReader

TMifReader::TMifReader(TMapLayer& Layer) : FLayer(Layer), FMap(Layer.Map()) {
  // Signed and exponent numbers stay whole; blanks, tabs, parentheses and
  // commas only separate.
  FClauses.SetDelimiters(TSyntaxParser::DefaultDelimiters() - TDelimiters{'+', '-', '.'});
  FClauses.SetSkipChars(TSetOfChar{' ', '\t', '(', ')', ','});
  FRecord.SetQuoted(true);
  FRecord.SetDelimiter("\t");
}

TMifReader::~TMifReader() = default;

std::string TMifReader::FindMidFile(const std::string& MifFileName) {
  for (const char* Extension : {".mid", ".MID"}) {
    const std::string Candidate = ChangeFileExt(MifFileName, Extension);
    if (FileExists(Candidate)) return Candidate;
  }
  const std::string Directory = ExtractFilePath(MifFileName);
  const std::string Wanted = ExtractFileName(ChangeFileExt(MifFileName, ".mid"));
  const std::string Base = Wanted.substr(0, Wanted.size() - 4);
  std::error_code Error;
  std::filesystem::directory_iterator Entries(Directory.empty() ? "." : Directory, Error);
  if (Error) return {};
  // The first choice keeps the base name as written; the second takes any
  // letter case of the whole name. The smallest name wins, so the choice
  // does not depend on the order of the directory.
  std::string ExactBase, AnyCase;
  for (const std::filesystem::directory_entry& Entry : Entries) {
    std::error_code EntryError;
    if (!Entry.is_regular_file(EntryError)) continue;
    const std::string Name = Entry.path().filename().string();
    if (!SameAscii(Name, Wanted)) continue;
    if (Name.starts_with(Base) && (ExactBase.empty() || Name < ExactBase)) ExactBase = Name;
    if (AnyCase.empty() || Name < AnyCase) AnyCase = Name;
  }
  const std::string& Found = ExactBase.empty() ? AnyCase : ExactBase;
  return Found.empty() ? std::string() : Directory + Found;
}

void TMifReader::ReadFile(const std::string& FileName) {
  const std::string MidName = FindMidFile(FileName);
  const TUpdateBracket Update(FMap);
  TMifLineReader Mif(FileName);
  std::optional<TMifLineReader> Mid;
  if (!MidName.empty())
    Mid.emplace(MidName);
  else
    TraceMessage("missing data file for vector file %S!", {FileName});
  Run(Mif, Mid ? &*Mid : nullptr);
}

void TMifReader::ReadText(std::string_view Mif, std::optional<std::string_view> Mid,
                          std::string_view Name) {
  const TUpdateBracket Update(FMap);
  TMifLineReader MifLines(Mif, std::string(Name));
  std::optional<TMifLineReader> MidLines;
  if (Mid) MidLines.emplace(*Mid, ChangeFileExt(Name, ".mid"));
  Run(MifLines, MidLines ? &*MidLines : nullptr);
}

void TMifReader::Run(TMifLineReader& Mif, TMifLineReader* Mid) {
  FMif = &Mif;
  FMid = Mid;
  FMidEnded = false;
  FNested = 0;
  FNestedSeen = 0;
  FLayer.SetCharset("");
  const TLoadProgress Progress(FMap, Mif.Size());
  Scan();
}

void TMifReader::ReportProgress() {
  if (FMap)
    FMap->ShowProgress(static_cast<int>(std::min<std::uint64_t>(FMif->Position() / 128, INT_MAX)));
}

// Every line is examined by its first word. Lines without a word (numbers,
// quoted texts, empty lines) are passed over; so are statements that are not
// read, and the geometry and clause lines of objects that are not read.
void TMifReader::Scan() {
  std::string_view Line;
  bool Have = FMif->ReadLine(Line);
  while (Have) {
    std::string_view Rest;
    const TMifWord Word = FirstWord(Line, Rest);
    if (Word == mwNone) {
      Have = FMif->ReadLine(Line);
      continue;
    }
    ReportProgress();
    if (IsObjectWord(Word)) {
      if (FNested > 0) {
        // A section of a COLLECTION: it belongs to the collection. A kind
        // seen before, or another object, ends the collection instead.
        const unsigned Bit = NestedBit(Word);
        if (Bit != 0 && (FNestedSeen & Bit) == 0) {
          FNestedSeen |= Bit;
          --FNested;
          Have = FMif->ReadLine(Line);
          continue;
        }
        FNested = 0;
      }
      TCustomMapObject* Object = nullptr;
      if (Word == mwRegion)
        Object = FLayer.NewObject(&NewMapObject<TRegion>);
      else if (Word == mwPline)
        Object = FLayer.NewObject(&NewMapObject<TPolyline>);
      else if (Word == mwPoint)
        Object = FLayer.NewObject(&NewMapObject<TSymbol>);
      ReadRecord(Object);
      if (Object) {
        if (Word == mwRegion)
          ReadRegion(*Object, Rest);
        else if (Word == mwPline)
          ReadPolyline(*Object, Rest);
        else
          ReadPoint(*Object, Rest);
        Have = ReadClauses(*Object, Line);
        continue;
      }
      if (Word == mwCollection) {
        std::string_view Text = Rest;
        const std::string_view Token = NextToken(Text);
        std::int64_t Count = 0;
        if (!ParseInteger(Token, Count) || Count < 0)
          Fail<EConvertError>(*FMif,
                              "expected a part count after COLLECTION, found " + Shown(Token));
        FNested = static_cast<int>(std::min<std::int64_t>(Count, 3));
        FNestedSeen = 0;
      }
    } else if (Word == mwDelimiter) {
      ReadDelimiter(Rest);
    } else if (Word == mwCharset) {
      ReadCharset(Rest);
    } else if (Word == mwColumns) {
      ReadColumns(Rest);
    }
    Have = FMif->ReadLine(Line);
  }
}

// The separator is the text between the quotes, as written (not
// upper-cased); without quotes, the text as written. A \t between the quotes
// stands for the tab.
void TMifReader::ReadDelimiter(std::string_view Rest) {
  std::string_view Text = TrimBlanks(Rest);
  if (!Text.empty() && Text.front() == '"') {
    Text.remove_prefix(1);
    const std::size_t Close = Text.find('"');
    if (Close != std::string_view::npos) Text = Text.substr(0, Close);
  }
  if (Text == "\\t") Text = "\t";
  if (Text.empty()) return; // no separator given: keep the tab of the format
  FRecord.SetDelimiter(Text);
}

void TMifReader::ReadCharset(std::string_view Rest) {
  std::string_view Text = TrimBlanks(Rest);
  if (!Text.empty() && Text.front() == '"') {
    Text.remove_prefix(1);
    const std::size_t Close = Text.find('"');
    if (Close != std::string_view::npos) Text = Text.substr(0, Close);
  }
  FLayer.SetCharset(std::string(TrimBlanks(Text)));
}

// n column lines follow, each a name (its letter case kept), blanks and a
// type. A DATA statement ends a list that is shorter than its count; blank
// lines are not columns.
void TMifReader::ReadColumns(std::string_view Rest) {
  std::string_view Text = Rest;
  const std::string_view Token = NextToken(Text);
  std::int64_t Count = 0;
  if (!ParseInteger(Token, Count) || Count < 0)
    Fail<EConvertError>(*FMif, "expected a column count after COLUMNS, found " + Shown(Token));
  TDataFields& Fields = FLayer.Fields();
  Fields.Clear();
  std::string_view Line;
  for (std::int64_t Column = 0; Column < Count;) {
    if (!FMif->ReadLine(Line)) return;
    std::string_view Definition = TrimBlanks(Line);
    if (Definition.empty()) continue;
    std::string_view After;
    if (FirstWord(Definition, After) == mwData && TrimBlanks(After).empty()) return;
    const std::string_view Name = NextToken(Definition);
    Fields.Add(std::string(Name), ColumnType(SkipBlanks(Definition)), 0);
    ++Column;
  }
}

void TMifReader::ReadRecord(TCustomMapObject* Object) {
  if (!FMid || FMidEnded) return;
  std::string_view Record;
  if (!FMid->ReadLine(Record)) {
    // Objects beyond the last record keep the values they were made with.
    FMidEnded = true;
    return;
  }
  if (!Object) return;
  FRecord.FromString(Record);
  TDataFields& Fields = Object->Fields();
  const int Count = std::min(Fields.Count(), FRecord.Count());
  for (int Index = 0; Index < Count; ++Index)
    StoreValue(Fields.GetFields(Index), FRecord[Index].RawData());
}

std::int64_t TMifReader::StatementCount(std::string_view Rest, const char* Statement,
                                        const char* What) {
  std::string_view Text = Rest;
  std::string_view Token = NextToken(Text);
  if (Token.empty()) {
    // The count on a line of its own.
    std::string_view Line;
    do {
      if (!FMif->ReadLine(Line)) return 0;
    } while (IsBlankLine(Line));
    Text = Line;
    Token = NextToken(Text);
    if (!SkipBlanks(Text).empty()) Token = TrimBlanks(Line);
  }
  std::int64_t Count = 0;
  if (!ParseInteger(Token, Count) || Count < 0)
    Fail<EConvertError>(*FMif, std::string("expected ") + What + " after " + Statement +
                                   ", found " + Shown(Token));
  return Count;
}

bool TMifReader::ReadPartCount(std::int64_t& Count, const char* What) {
  std::string_view Line;
  do {
    if (!FMif->ReadLine(Line)) return false;
  } while (IsBlankLine(Line));
  std::string_view Text = Line;
  const std::string_view Token = NextToken(Text);
  if (!ParseInteger(Token, Count) || Count < 0)
    Fail<EInOutError>(*FMif, std::string("expected the point count of ") + What + ", found " +
                                 Shown(TrimBlanks(Line)));
  return true;
}

// One point a line: X, blanks, Y; the rest of the line is not read. Blank
// lines between points are passed over.
//
// A new part reports each added point to its part list, which widens its
// bounds by it. Widening the part list once by the corners of the part's own
// bounds gives the same bounds, so the report is held back while the points
// are added (it is the hot path of every load) and made once at the end.
bool TMifReader::ReadPoints(TPart& Part, TParts& Parts, std::int64_t Count) {
  TMapPoints& Points = Part.Points();
  Points.Reserve(MostPoints(*FMif, Count));
  const TAddPointEvent Report = Points.OnAddPoint();
  Points.SetOnAddPoint({});
  struct TRestore {
    TMapPoints& Points;
    TParts& Parts;
    const TAddPointEvent& Report;
    ~TRestore() {
      if (Points.Count() > 0) {
        Parts.AddPoint(Points.MinX(), Points.MinY(), 0);
        Parts.AddPoint(Points.MaxX(), Points.MaxY(), 0);
      }
      Points.SetOnAddPoint(Report);
    }
  } Restore{Points, Parts, Report};

  std::string_view Line;
  Extended X = 0, Y = 0;
  for (std::int64_t Index = 0; Index < Count;) {
    if (!FMif->ReadLine(Line)) {
      Points.ShrinkToFit();
      return false;
    }
    switch (ParsePointLine(Line, FMif->Readable(), X, Y)) {
    case plPoint:
      Points.Add(X, Y, 0);
      ++Index;
      break;
    case plBlank:
      break;
    case plMalformed:
      Fail<EInOutError>(*FMif, "expected X and Y, found " + Shown(TrimBlanks(Line)));
    }
  }
  return true;
}

void TMifReader::ReadRegion(TCustomMapObject& Object, std::string_view Rest) {
  const std::int64_t Rings = StatementCount(Rest, "REGION", "a ring count");
  for (std::int64_t Ring = 0; Ring < Rings; ++Ring) {
    std::int64_t Count = 0;
    if (!ReadPartCount(Count, "a ring")) return;
    if (!ReadPoints(Object.Parts().Add(), Object.Parts(), Count)) return;
  }
}

// PLINE n: one part of n points; PLINE MULTIPLE n: n sections, each a point
// count and its points, one part each. A count missing from the statement
// line stands on the next line.
void TMifReader::ReadPolyline(TCustomMapObject& Object, std::string_view Rest) {
  std::string_view Text = Rest;
  const std::string_view Token = NextToken(Text);
  if (SameAscii(Token, "MULTIPLE")) {
    const std::int64_t Sections = StatementCount(Text, "PLINE MULTIPLE", "a section count");
    for (std::int64_t Section = 0; Section < Sections; ++Section) {
      std::int64_t Count = 0;
      if (!ReadPartCount(Count, "a section")) return;
      if (!ReadPoints(Object.Parts().Add(), Object.Parts(), Count)) return;
    }
    return;
  }
  const std::int64_t Count = StatementCount(Rest, "PLINE", "a point count");
  ReadPoints(Object.Parts().Add(), Object.Parts(), Count);
}

void TMifReader::ReadPoint(TCustomMapObject& Object, std::string_view Rest) {
  const std::string_view Text = SkipBlanks(Rest).substr(0, TokenizedBytes);
  FClauses.Read(Text, static_cast<std::int32_t>(std::min<std::int64_t>(FMif->Line(), INT32_MAX)),
                false, true);
  if (FClauses.Count() < 2)
    Fail<EListError>(*FMif,
                     "POINT needs X and Y, found " + std::to_string(FClauses.Count()) + " values");
  Extended X = 0, Y = 0;
  for (int Index = 0; Index < 2; ++Index) {
    const std::string& Value = FClauses.Items(Index).Value();
    if (!ParseNumber(Value, Index == 0 ? X : Y))
      Fail<EConvertError>(*FMif, Shown(Value) + " is not a valid coordinate in POINT");
  }
  auto& Symbol = static_cast<TSymbol&>(Object);
  Symbol.SetX(X);
  Symbol.SetY(Y);
}

bool TMifReader::ReadClauses(TCustomMapObject& Object, std::string_view& Line) {
  for (;;) {
    if (!FMif->ReadLine(Line)) return false;
    std::string_view Rest;
    const TObjectAttribute Attribute = AttributeOf(FirstWord(Line, Rest));
    if (Attribute == oaNone) return true;
    ApplyClause(Object, Attribute, Rest);
  }
}

int TMifReader::IntegerItem(int Index, const char* Clause) const {
  const std::string& Value = FClauses.Items(Index).Value();
  std::int64_t Number = 0;
  if (!ParseInteger(Value, Number) || Number < INT32_MIN || Number > INT32_MAX)
    Fail<EConvertError>(*FMif, Shown(Value) + " is not a valid integer in " + Clause);
  return static_cast<int>(Number);
}

// PEN (width, pattern, colour) sets the pen colour; BRUSH (pattern,
// foreground[, background]) the brush colour; SYMBOL (shape, colour, size[,
// font name, style, rotation]) the shape of a point object and the font's
// colour, size and name of any object. A custom symbol ("file", colour,
// size, style) has no shape: its colour and size apply. CENTER and FONT
// clauses are consumed without effect.
void TMifReader::ApplyClause(TCustomMapObject& Object, TObjectAttribute Attribute,
                             std::string_view Rest) {
  if (Attribute == oaCenter || Attribute == oaFont) return;
  FClauses.Read(SkipBlanks(Rest).substr(0, TokenizedBytes),
                static_cast<std::int32_t>(std::min<std::int64_t>(FMif->Line(), INT32_MAX)), false,
                true);
  const int Values = FClauses.Count();
  const auto Need = [&](int Count, const char* Clause) {
    if (Values < Count)
      Fail<EListError>(*FMif, std::string(Clause) + " needs " + std::to_string(Count) +
                                  " values, found " + std::to_string(Values));
  };
  switch (Attribute) {
  case oaPen:
    Need(3, "PEN");
    Object.Pen().SetColor(MIFColorToColor(IntegerItem(2, "PEN")));
    return;
  case oaBrush:
    Need(2, "BRUSH");
    Object.Brush().SetColor(MIFColorToColor(IntegerItem(1, "BRUSH")));
    return;
  case oaSymbol: {
    Need(3, "SYMBOL");
    const bool Custom = FClauses.Items(0).Value().starts_with('"');
    const int Shape = Custom ? 0 : IntegerItem(0, "SYMBOL");
    const TColor Color = MIFColorToColor(IntegerItem(1, "SYMBOL"));
    const int Size = IntegerItem(2, "SYMBOL");
    if (auto* Symbol = dynamic_cast<TSymbol*>(&Object); Symbol && !Custom) Symbol->SetShape(Shape);
    Object.Font().SetColor(Color);
    Object.Font().SetSize(Size);
    if (!Custom && Values >= 4) Object.Font().SetName(Unquoted(FClauses.Items(3).Value()));
    return;
  }
  default:
    return;
  }
}

// ---------------------------------------------------------------------------
// The layer's side

void TMapLayer::LoadFromFile(const std::string& FileName, const std::string& Name) {
  SetFileName(FileName);
  if (Name.empty()) SetName(ChangeFileExt(ExtractFileName(FileName), ""));
  TMifReader(*this).ReadFile(FileName);
}

TObjectAttribute TMapLayer::IsObjAttrString(std::string_view Line) {
  std::string_view Rest;
  return AttributeOf(FirstWord(Line, Rest));
}

QString TMapLayer::DisplayText(std::string_view Text) const {
  return ::DisplayText(Text, FCharset);
}
