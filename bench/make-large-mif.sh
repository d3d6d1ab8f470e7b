#!/usr/bin/env bash
# Writes a large MIF/MID pair for the load benchmarks: regions (countries
# with islands and lakes), polylines (roads and rivers, some in several
# sections) and points (towns), with longitude/latitude coordinates of six
# decimals as common writers write them, styling clauses and one attribute record
# per object. Deterministic: the same size gives the same bytes.
#
#   bench/make-large-mif.sh [OUTPUT.mif] [MEGABYTES]
#
# Default: build/bench-data/large.mif of 64 MB (the MID file goes beside it).
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build/bench-data/large.mif}"
megabytes="${2:-64}"
mid="${out%.*}.mid"
mkdir -p "$(dirname "$out")"

awk -v target=$((megabytes * 1024 * 1024)) -v midfile="$mid" '
function rnd(lo, hi) { return lo + (hi - lo) * rand() }
function coord(x, y) { return sprintf("%.6f %.6f\n", x, y) }
# One ring of n vertices on a wobbly ellipse around (cx, cy), closed.
function ring(cx, cy, rx, ry, n,    i, a, r, s, x0, y0) {
  s = sprintf("  %d\n", n)
  for (i = 0; i < n - 1; i++) {
    a = 6.283185307 * i / (n - 1)
    r = 1 + 0.15 * sin(7 * a) + rnd(-0.04, 0.04)
    s = s coord(cx + rx * r * cos(a), cy + ry * r * sin(a))
    if (i == 0) { x0 = cx + rx * r * cos(a); y0 = cy + ry * r * sin(a) }
  }
  return s coord(x0, y0)
}
# A wandering line of n vertices from (x, y).
function walk(x, y, n,    i, s, h) {
  s = ""; h = rnd(0, 6.283185307)
  for (i = 0; i < n; i++) {
    s = s coord(x, y)
    h += rnd(-0.3, 0.3); x += 0.01 * cos(h); y += 0.01 * sin(h)
  }
  return s
}
function name(    i, s, syl) {
  split("ka na ri to mo sa el an or ve li du", syl, " ")
  s = ""
  for (i = int(rnd(2, 5)); i > 0; i--) s = s syl[int(rnd(1, 13))]
  return toupper(substr(s, 1, 1)) substr(s, 2)
}
function record(kind, pop, area) {
  printf("%d,\"%s\",\"%s\",%d,%.2f,%d%02d%02d\n", ++id, name(), kind, pop, area,
         int(rnd(1800, 2024)), int(rnd(1, 13)), int(rnd(1, 29))) > midfile
}
BEGIN {
  srand(42)
  print "Version 300"
  print "Charset \"WindowsLatin1\""
  print "Delimiter \",\""
  print "CoordSys Earth Projection 1, 104"
  print "Columns 6"
  print "  ID Integer"
  print "  Name Char(40)"
  print "  Kind Char(10)"
  print "  Pop Integer"
  print "  Area Float"
  print "  Founded Date"
  print "Data"
  print ""
  bytes = 0
  while (bytes < target) {
    k = rand()
    cx = rnd(-175, 175); cy = rnd(-80, 80)
    if (k < 0.15) {
      rings = rand() < 0.3 ? int(rnd(2, 5)) : 1
      s = sprintf("Region  %d\n", rings)
      for (r = 0; r < rings; r++)
        s = s ring(cx + rnd(-2, 2) * (r > 0), cy + rnd(-2, 2) * (r > 0), rnd(0.5, 4) / (1 + r), rnd(0.5, 3) / (1 + r), int(rnd(30, 1200)))
      s = s sprintf("    Pen (1,2,0)\n    Brush (2,%d,16777215)\n    Center %.6f %.6f\n", int(rnd(0, 16777215)), cx, cy)
      record("area", int(rnd(0, 1e7)), rnd(1, 1e6))
    } else if (k < 0.70) {
      if (rand() < 0.25) {
        sections = int(rnd(2, 5))
        s = sprintf("Pline Multiple %d\n", sections)
        for (p = 0; p < sections; p++) { n = int(rnd(2, 80)); s = s sprintf("  %d\n", n) walk(cx + p, cy, n) }
      } else {
        n = int(rnd(2, 160))
        s = sprintf("Pline %d\n", n) walk(cx, cy, n)
      }
      s = s sprintf("    Pen (%d,2,%d)\n", int(rnd(1, 4)), int(rnd(0, 16777215)))
      record("line", 0, 0)
    } else {
      s = sprintf("Point %.6f %.6f\n    Symbol (35,%d,%d)\n", cx, cy, int(rnd(0, 16777215)), int(rnd(6, 16)))
      record("town", int(rnd(100, 5e6)), 0)
    }
    printf("%s", s)
    bytes += length(s)
  }
}' > "$out"

echo "$out: $(du -m "$out" | cut -f1) MB, $(wc -l < "$mid") records in $mid"
