// Loading MIF/MID files through the layer list, as a host does: throughput
// of the input (MIF and MID bytes) and memory per stored vertex.
//
// Files: demo/maps/*.mif when the demo maps are there, the large file that
// bench/make-large-mif.sh writes (build/bench-data/large.mif, or the file
// named by LUMARA_LARGE_MIF), and any files listed in LUMARA_MIF_FILES
// (separated by ':'). Files that are missing are left out; with none, the
// benchmark says how to make one.
//
// Memory is counted by this executable's operator new during one more load
// after the timed ones: "peak B/vertex" is the most heap in use during that
// load beyond what was in use before it, per vertex read; "kept B/vertex"
// what the loaded layer still holds. "heap
// B/vertex" is the same kept figure from malloc's own statistics (mallinfo2),
// which also sees allocations made with malloc.
#include "MapObjects.h"
#include "MifReader.h"

#include <QWidget>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <new>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Counting operator new: every allocation of the program and its libraries
// through new goes here. Sizes are malloc's usable sizes, so new and delete
// count alike whichever form of delete is called.

namespace {
// Counting is switched on only for the load that measures memory, so that
// the timed loads pay nothing for it. (A block allocated while counting and
// freed after it, or the other way round, would skew the figures; the
// measured load frees nothing of the layer it makes.)
std::atomic<bool> Counting{false};
std::atomic<std::size_t> LiveBytes{0};
std::atomic<std::size_t> PeakBytes{0};

void* Counted(void* Block) {
  if (!Block) throw std::bad_alloc();
  if (!Counting.load(std::memory_order_relaxed)) return Block;
  const std::size_t Live =
      LiveBytes.fetch_add(malloc_usable_size(Block), std::memory_order_relaxed) +
      malloc_usable_size(Block);
  std::size_t Peak = PeakBytes.load(std::memory_order_relaxed);
  while (Live > Peak && !PeakBytes.compare_exchange_weak(Peak, Live, std::memory_order_relaxed)) {}
  return Block;
}

void Uncounted(void* Block) noexcept {
  if (!Block) return;
  if (Counting.load(std::memory_order_relaxed))
    LiveBytes.fetch_sub(malloc_usable_size(Block), std::memory_order_relaxed);
  std::free(Block);
}

void* Aligned(std::size_t Size, std::align_val_t Alignment) {
  const auto Align = std::max<std::size_t>(static_cast<std::size_t>(Alignment), sizeof(void*));
  return std::aligned_alloc(Align, (std::max<std::size_t>(Size, 1) + Align - 1) / Align * Align);
}
} // namespace

void* operator new(std::size_t Size) {
  return Counted(std::malloc(std::max<std::size_t>(Size, 1)));
}
void* operator new[](std::size_t Size) {
  return Counted(std::malloc(std::max<std::size_t>(Size, 1)));
}
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return operator new(Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return operator new[](Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t Size, std::align_val_t Alignment) {
  return Counted(Aligned(Size, Alignment));
}
void* operator new[](std::size_t Size, std::align_val_t Alignment) {
  return Counted(Aligned(Size, Alignment));
}
void operator delete(void* Block) noexcept { Uncounted(Block); }
void operator delete[](void* Block) noexcept { Uncounted(Block); }
void operator delete(void* Block, std::size_t) noexcept { Uncounted(Block); }
void operator delete[](void* Block, std::size_t) noexcept { Uncounted(Block); }
void operator delete(void* Block, const std::nothrow_t&) noexcept { Uncounted(Block); }
void operator delete[](void* Block, const std::nothrow_t&) noexcept { Uncounted(Block); }
void operator delete(void* Block, std::align_val_t) noexcept { Uncounted(Block); }
void operator delete[](void* Block, std::align_val_t) noexcept { Uncounted(Block); }
void operator delete(void* Block, std::size_t, std::align_val_t) noexcept { Uncounted(Block); }
void operator delete[](void* Block, std::size_t, std::align_val_t) noexcept { Uncounted(Block); }

namespace {

namespace fs = std::filesystem;

// The repository: this file lives in its bench/ folder.
fs::path Repository() { return fs::path(__FILE__).parent_path().parent_path(); }

std::vector<std::string> MifFiles() {
  std::vector<std::string> Files;
  std::error_code Error;
  const fs::path Maps = Repository() / "demo" / "maps";
  if (fs::is_directory(Maps, Error)) {
    for (const fs::directory_entry& Entry : fs::directory_iterator(Maps, Error)) {
      std::string Extension = Entry.path().extension().string();
      std::transform(Extension.begin(), Extension.end(), Extension.begin(), ::tolower);
      if (Extension == ".mif") Files.push_back(Entry.path().string());
    }
    std::sort(Files.begin(), Files.end());
  }
  const char* Large = std::getenv("LUMARA_LARGE_MIF");
  const std::string LargeFile =
      Large ? Large : (Repository() / "build" / "bench-data" / "large.mif").string();
  if (fs::is_regular_file(LargeFile, Error)) Files.push_back(LargeFile);
  if (const char* Listed = std::getenv("LUMARA_MIF_FILES")) {
    std::string List = Listed;
    for (std::size_t Start = 0; Start <= List.size();) {
      const std::size_t End = std::min(List.find(':', Start), List.size());
      const std::string File = List.substr(Start, End - Start);
      if (!File.empty() && fs::is_regular_file(File, Error)) Files.push_back(File);
      Start = End + 1;
    }
  }
  return Files;
}

std::uint64_t BytesOf(const std::string& MifFile) {
  std::error_code Error;
  std::uint64_t Bytes = fs::file_size(MifFile, Error);
  const std::string Mid = TMifReader::FindMidFile(MifFile);
  if (!Mid.empty()) Bytes += fs::file_size(Mid, Error);
  return Bytes;
}

struct TLayerSize {
  std::int64_t Objects = 0;
  std::int64_t Vertices = 0;
};

TLayerSize SizeOf(const TMapLayer& Layer) {
  TLayerSize Size;
  for (const auto& Object : Layer) {
    ++Size.Objects;
    for (const TPart& Part : Object->Parts()) Size.Vertices += Part.Points().Count();
  }
  return Size;
}

std::size_t MallocInUse() {
  const struct mallinfo2 Info = mallinfo2();
  return Info.uordblks + Info.hblkhd;
}

void BM_LoadMif(benchmark::State& State, const std::string& File) {
  QWidget Window;
  auto* Map = new TLumara(&Window);
  Map->SetBounds(0, 0, 1920, 1080);
  for (auto _ : State) {
    State.PauseTiming();
    Map->Layers()->Clear();
    State.ResumeTiming();
    benchmark::DoNotOptimize(Map->Layers()->Add(File, "bench"));
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * BytesOf(File)));

  // One more load, measured for memory from an empty map.
  Map->Layers()->Clear();
  malloc_trim(0);
  LiveBytes.store(0);
  PeakBytes.store(0);
  const std::size_t HeapBefore = MallocInUse();
  Counting.store(true);
  const TMapLayer& Layer = *Map->Layers()->Add(File, "bench");
  Counting.store(false);
  // Blocks freed during the load that were made before it count negative.
  const auto Kept = static_cast<std::size_t>(
      std::max<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(LiveBytes.load()), 0));
  const std::size_t Peak = PeakBytes.load();
  const std::size_t HeapKept = MallocInUse() - HeapBefore;
  const TLayerSize Size = SizeOf(Layer);
  const double Vertices = static_cast<double>(std::max<std::int64_t>(Size.Vertices, 1));
  State.counters["objects"] = static_cast<double>(Size.Objects);
  State.counters["vertices"] = static_cast<double>(Size.Vertices);
  State.counters["peak B/vertex"] = static_cast<double>(Peak) / Vertices;
  State.counters["kept B/vertex"] = static_cast<double>(Kept) / Vertices;
  State.counters["heap B/vertex"] = static_cast<double>(HeapKept) / Vertices;
  State.counters["kept B/object"] =
      static_cast<double>(Kept) / static_cast<double>(std::max<std::int64_t>(Size.Objects, 1));
}

void BM_LoadMifMissing(benchmark::State& State) {
  State.SkipWithError("no MIF files: run bench/make-large-mif.sh (or set LUMARA_MIF_FILES)");
  for (auto _ : State) {}
}

const bool Registered = [] {
  const std::vector<std::string> Files = MifFiles();
  for (const std::string& File : Files)
    benchmark::RegisterBenchmark(("BM_LoadMif/" + fs::path(File).filename().string()).c_str(),
                                 BM_LoadMif, File)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  if (Files.empty()) benchmark::RegisterBenchmark("BM_LoadMif", BM_LoadMifMissing);
  return true;
}();

} // namespace
