// libFuzzer target: a MIF/MID pair read into a layer of a map. The input is
// the MIF bytes, then, after the first NUL byte, the MID bytes (no NUL: no
// MID file). Whatever the bytes, the load ends with one of the library's
// errors naming the input and a line, or without one; the map leaves its
// update bracket, and every object's bounds cover exactly its points.
#include "MapObjects.h"
#include "MifReader.h"
#include "Text.h"

#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

QWidget* Window = nullptr; // not owned: lives for the whole run
TLumara* Map = nullptr;    // owned by Window

[[noreturn]] void Broken(const char* What, std::string_view Detail = {}) {
  std::fprintf(stderr, "FuzzMifReader: %s %.*s\n", What, static_cast<int>(Detail.size()),
               Detail.data());
  std::abort();
}

void CheckBounds(const TCustomMapObject& Object) {
  if (dynamic_cast<const TSymbol*>(&Object)) return; // its bounds follow its position
  TMapBounds Expected;
  for (const TPart& Part : Object.Parts())
    for (const TMapPoint& Point : Part.Points()) {
      Expected.MinX = std::min(Expected.MinX, Point.X());
      Expected.MinY = std::min(Expected.MinY, Point.Y());
      Expected.MaxX = std::max(Expected.MaxX, Point.X());
      Expected.MaxY = std::max(Expected.MaxY, Point.Y());
    }
  const TMapBounds Got = Object.GetBounds();
  // NaN cannot come out of the number reading, so plain comparison holds.
  if (!(Got == Expected)) Broken("part list bounds differ from the points");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int Argc = 1;
  static char Name[] = "FuzzMifReader";
  static char* Argv[] = {Name, nullptr};
  new QApplication(Argc, Argv); // lives for the whole run
  Window = new QWidget;
  Map = new TLumara(Window);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::size_t Split = Bytes.find('\0');
  const std::string_view Mif = Bytes.substr(0, Split);
  std::optional<std::string_view> Mid;
  if (Split != std::string_view::npos) Mid = Bytes.substr(Split + 1);

  TMapLayer& Layer = *Map->Layers()->Add("", "fuzz");
  try {
    TMifReader(Layer).ReadText(Mif, Mid, "fuzz.mif");
  } catch (const Exception& Error) {
    const std::string& Message = Error.Message();
    if (!Message.starts_with("fuzz.mif:") && !Message.starts_with("fuzz.mid:"))
      Broken("error without a place:", Message);
  }
  if (Map->InUpdate()) Broken("the map is still in its update bracket");
  for (const auto& Object : Layer) {
    CheckBounds(*Object);
    for (const TDataField& Field : Object->Fields()) (void)Layer.DisplayText(Field.GetAsString());
  }
  (void)Layer.DisplayText(Layer.Name());
  Map->Layers()->Clear();
  return 0;
}
