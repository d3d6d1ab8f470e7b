#!/usr/bin/env bash
# Times the load of one MIF/MID pair by LumaraLib (the BM_LoadMif benchmark)
# against GDAL reading the same pair fully through its C API: every feature,
# every vertex of its geometry and every field. Installs nothing: without
# GDAL (gdal-config and its headers) it says so and stops.
#
#   bench/compare-gdal.sh [FILE.mif]
#
# Default file: build/bench-data/large.mif (bench/make-large-mif.sh writes it).
# Needs the benchmarks built (make build); each side is timed three times
# from a warm page cache and the median is taken.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
file="$(realpath "${1:-$build/bench-data/large.mif}")"
bench="$build/bin/lumara_bench"

if ! command -v gdal-config >/dev/null 2>&1 || [[ ! -f "$(gdal-config --prefix)/include/gdal/gdal.h" && ! -f /usr/include/gdal/gdal.h ]]; then
  echo "GDAL is not installed (gdal-config and headers, e.g. Debian's libgdal-dev): nothing to compare."
  exit 0
fi
[[ -f "$file" ]] || { echo "No file $file: run bench/make-large-mif.sh first." >&2; exit 1; }
[[ -x "$bench" ]] || { echo "No $bench: run make build first." >&2; exit 1; }

work="$build/bench-gdal"
mkdir -p "$work"
cat > "$work/gdal_read_mif.cpp" <<'EOF'
// Reads a vector file fully with GDAL's C API and prints the seconds taken.
#include <gdal.h>
#include <ogr_api.h>

#include <chrono>
#include <cstdio>

static long long Vertices = 0;
static double Sum = 0;

static void Walk(OGRGeometryH Geometry) {
  const int Count = OGR_G_GetGeometryCount(Geometry);
  if (Count > 0) {
    for (int Index = 0; Index < Count; ++Index) Walk(OGR_G_GetGeometryRef(Geometry, Index));
    return;
  }
  const int Points = OGR_G_GetPointCount(Geometry);
  for (int Index = 0; Index < Points; ++Index) Sum += OGR_G_GetX(Geometry, Index) + OGR_G_GetY(Geometry, Index);
  Vertices += Points;
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  GDALAllRegister();
  const auto Started = std::chrono::steady_clock::now();
  GDALDatasetH Dataset = GDALOpenEx(argv[1], GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
  if (!Dataset) return 1;
  long long Features = 0, Fields = 0;
  for (int L = 0; L < GDALDatasetGetLayerCount(Dataset); ++L) {
    OGRLayerH Layer = GDALDatasetGetLayer(Dataset, L);
    OGR_L_ResetReading(Layer);
    while (OGRFeatureH Feature = OGR_L_GetNextFeature(Layer)) {
      ++Features;
      for (int F = 0; F < OGR_F_GetFieldCount(Feature); ++F) {
        Sum += static_cast<double>(OGR_F_GetFieldAsString(Feature, F)[0]);
        ++Fields;
      }
      if (OGRGeometryH Geometry = OGR_F_GetGeometryRef(Feature)) Walk(Geometry);
      OGR_F_Destroy(Feature);
    }
  }
  GDALClose(Dataset);
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
  std::printf("%.6f %lld features %lld fields %lld vertices (%g)\n", Seconds, Features, Fields, Vertices, Sum);
  return 0;
}
EOF
c++ -O2 -std=c++17 $(gdal-config --cflags) "$work/gdal_read_mif.cpp" -o "$work/gdal_read_mif" $(gdal-config --libs)

median() { sort -g | sed -n 2p; }

mid="${file%.*}.mid"
bytes=$(( $(stat -c %s "$file") + $( [[ -f "$mid" ]] && stat -c %s "$mid" || echo 0) ))
cat "$file" "$mid" > /dev/null 2>&1 || true # warm the page cache

gdal_runs=()
for _ in 1 2 3; do gdal_runs+=("$("$work/gdal_read_mif" "$file")"); done
gdal=$(printf '%s\n' "${gdal_runs[@]}" | cut -d' ' -f1 | median)
echo "GDAL $(gdal-config --version): ${gdal_runs[0]#* }"

name="$(basename "$file")"
ours=$(LUMARA_LARGE_MIF="$file" QT_QPA_PLATFORM=offscreen "$bench" \
         --benchmark_filter="^BM_LoadMif/${name//./\\.}/" --benchmark_repetitions=3 \
         --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null |
       awk -F, '/_median"/ { print $3 / ($5 == "ms" ? 1e3 : ($5 == "us" ? 1e6 : ($5 == "ns" ? 1e9 : 1))); exit }')
[[ -n "$ours" ]] || { echo "The benchmark did not run $name." >&2; exit 1; }

awk -v g="$gdal" -v o="$ours" -v b="$bytes" -v f="$name" 'BEGIN {
  printf "%s, %.1f MB (MIF and MID)\n", f, b / 1048576
  printf "  GDAL:      %8.3f s  %7.1f MB/s\n", g, b / 1048576 / g
  printf "  LumaraLib: %8.3f s  %7.1f MB/s\n", o, b / 1048576 / o
  printf "  LumaraLib is %.1f times as fast as GDAL\n", g / o
}'
