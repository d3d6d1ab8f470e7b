#pragma once
// The MIF/MID reader behind TMapLayer::LoadFromFile: a MIF file gives the
// layer its columns and, object by object, geometry and styles; the MID file
// beside it gives each object one record of attribute values.
//
// Statements are recognised by the first word of a line (the run of ASCII
// letters after leading blanks, letter case ignored), never by a keyword
// inside a longer word or a text. Every object statement consumes one MID
// record, also the kinds that make no map object (LINE, ARC, ELLIPSE, RECT,
// ROUNDRECT, TEXT, MULTIPOINT, COLLECTION, NONE), so each object keeps its
// own record. Only REGION, PLINE and POINT become objects (TRegion,
// TPolyline, TSymbol); of the styles, PEN, BRUSH and SYMBOL are applied.
//
// Counts written in the file never drive the work: a count larger than what
// follows ends at the end of the input, and no list is reserved beyond what
// the rest of the input could hold.

#include "Graphics.h"
#include "MapLayer.h"
#include "MapObject.h"
#include "StringParserU.h"
#include "SyntaxParser.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TLumara;

// A MIF colour (red * 65536 + green * 256 + blue) as a platform colour (red in
// the lowest byte). Each component saturates at 255; division truncates
// toward zero and the remainder keeps the sign of the dividend, each
// component then reduced to its lowest 8 bits.
[[nodiscard]] TColor MIFColorToColor(int Value);

// Lines of one input, a file or text in memory. It owns the input, its name
// for messages and the number of the last line read, and nothing else counts
// lines. A line ends at CR LF, LF or CR; the final line needs no end. A UTF-8
// byte order mark before the first line is dropped. Files are streamed
// through a buffer that grows only to hold a line longer than it.
class TMifLineReader {
public:
  // Reads Text, which must outlive the reader; Name stands for it in messages.
  TMifLineReader(std::string_view Text, std::string Name);
  // Opens FileName for reading; raises EInOutError naming it when it cannot.
  explicit TMifLineReader(const std::string& FileName);
  ~TMifLineReader();
  TMifLineReader(const TMifLineReader&) = delete;
  TMifLineReader& operator=(const TMifLineReader&) = delete;

  // The next line without its end, valid until the next call; false at the
  // end of the input. Raises EInOutError when the file cannot be read.
  bool ReadLine(std::string_view& Line);

  // The bytes after the last line read, from its line end on, up to this
  // end stay readable until the next ReadLine (at the end of the input, the
  // line's own end).
  [[nodiscard]] const char* Readable() const { return FEnd; }

  [[nodiscard]] const std::string& Name() const { return FName; }
  // 1-based number of the last line read; 0 before the first.
  [[nodiscard]] std::int64_t Line() const { return FLine; }
  // "Name:Line", the place of the last line read, for messages.
  [[nodiscard]] std::string Where() const;
  // Bytes of the input, and bytes read so far (line ends included).
  [[nodiscard]] std::uint64_t Size() const { return FSize; }
  [[nodiscard]] std::uint64_t Position() const;
  [[nodiscard]] std::uint64_t Remaining() const {
    return FSize > Position() ? FSize - Position() : 0;
  }

private:
  // Moves the unread bytes to the front of the buffer (growing it when they
  // fill it) and reads more behind them; false when nothing more came.
  bool Refill();

  std::string FName;
  std::FILE* FFile = nullptr; // owned; null for text in memory
  std::unique_ptr<char[]> FBuffer;
  std::size_t FCapacity = 0;
  const char* FStart = nullptr; // the window of input in hand: FStart .. FEnd
  const char* FPos = nullptr;   // the next unread byte
  const char* FEnd = nullptr;
  bool FAtEnd = false;             // nothing lies beyond FEnd
  std::uint64_t FWindowOffset = 0; // input offset of FStart
  std::uint64_t FSize = 0;
  std::int64_t FLine = 0;
};

// Reads one MIF/MID pair into a layer. A reader is used for one load.
class TMifReader {
public:
  explicit TMifReader(TMapLayer& Layer);
  ~TMifReader();
  TMifReader(const TMifReader&) = delete;
  TMifReader& operator=(const TMifReader&) = delete;

  // Reads the MIF file FileName and the MID file beside it (FindMidFile).
  // Raises EInOutError when a file cannot be opened or read.
  void ReadFile(const std::string& FileName);
  // Reads MIF text and, when given, MID text; Name stands for the MIF input in
  // messages (the MID input is named after it with the extension .mid).
  void ReadText(std::string_view Mif, std::optional<std::string_view> Mid, std::string_view Name);

  // The MID file of a MIF file: the name with the extension .mid, then .MID,
  // then any letter case of it (of the extension first, then of the whole
  // name) in the MIF file's directory. Empty when there is none.
  [[nodiscard]] static std::string FindMidFile(const std::string& MifFileName);

private:
  void Run(TMifLineReader& Mif, TMifLineReader* Mid);
  void Scan();
  void ReadDelimiter(std::string_view Rest);
  void ReadCharset(std::string_view Rest);
  void ReadColumns(std::string_view Rest);
  void ReadRegion(TCustomMapObject& Object, std::string_view Rest);
  void ReadPolyline(TCustomMapObject& Object, std::string_view Rest);
  void ReadPoint(TCustomMapObject& Object, std::string_view Line);
  // Applies the clause lines that follow an object; the line that ends them
  // is left in Line (false when the input ended).
  bool ReadClauses(TCustomMapObject& Object, std::string_view& Line);
  void ApplyClause(TCustomMapObject& Object, TObjectAttribute Attribute, std::string_view Line);
  // Reads the next record of the MID input into Object's fields (or, for
  // null, passes it over).
  void ReadRecord(TCustomMapObject* Object);
  // The count given after a statement word, or on the next line when the
  // statement has none.
  std::int64_t StatementCount(std::string_view Rest, const char* Statement, const char* What);
  // Reads the point count of a ring or section: false at the end of the input.
  bool ReadPartCount(std::int64_t& Count, const char* What);
  // Reads Count points into Part, a new part of Parts: false when the input
  // ended first.
  bool ReadPoints(TPart& Part, TParts& Parts, std::int64_t Count);
  [[nodiscard]] int IntegerItem(int Index, const char* Clause) const;
  void ReportProgress();

  TMapLayer& FLayer;
  TLumara* FMap;                  // not owned: the layer's map; may be null
  TMifLineReader* FMif = nullptr; // not owned: the input of the load in progress
  TMifLineReader* FMid = nullptr; // not owned: may be null (no MID input)
  TSyntaxParser FClauses;         // clause and POINT lines
  TStringParser FRecord;          // MID records, quote-aware
  int FNested = 0;                // sections of a COLLECTION still to come
  unsigned FNestedSeen = 0;       // the kinds of those already seen (bits)
  bool FMidEnded = false;
};
