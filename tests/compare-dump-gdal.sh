#!/usr/bin/env bash
# Compares `lumara dump` of each demo map with GDAL's own reading of the same
# file: the same features in the same order, the same vertices (to a
# tolerance) and the same attribute values. Prints a summary; exits 1 on a
# difference. Runs only where GDAL's ogr2ogr is installed (Debian's
# gdal-bin); it installs nothing.
#
#   tests/compare-dump-gdal.sh [MIF files...]    (default: demo/maps/*.mif)
#   LUMARA=path/to/lumara                       (default: build/bin/lumara)
set -euo pipefail

Root=$(cd "$(dirname "$0")/.." && pwd)
Lumara=${LUMARA:-$Root/build/bin/lumara}

if ! command -v ogr2ogr >/dev/null; then
  echo "compare-dump-gdal: GDAL's ogr2ogr is not installed (Debian package gdal-bin); nothing compared"
  exit 0
fi
command -v python3 >/dev/null || { echo "compare-dump-gdal: python3 is missing" >&2; exit 1; }
[ -x "$Lumara" ] || { echo "compare-dump-gdal: $Lumara is not built (run make, or set LUMARA)" >&2; exit 1; }

if [ $# -eq 0 ]; then set -- "$Root"/demo/maps/*.mif; fi
Work=$(mktemp -d)
trap 'rm -rf "$Work"' EXIT

Status=0
for Mif in "$@"; do
  Name=$(basename "$Mif")
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$Lumara" dump "$Mif" >"$Work/lumara.json" 2>"$Work/lumara.err" ||
    { echo "$Name: lumara dump failed: $(grep -v XDG_RUNTIME_DIR "$Work/lumara.err")"; Status=1; continue; }
  ogr2ogr -f GeoJSON -lco RFC7946=NO /vsistdout/ "$Mif" >"$Work/gdal.json" 2>"$Work/gdal.err" ||
    { echo "$Name: ogr2ogr failed: $(cat "$Work/gdal.err")"; Status=1; continue; }
  python3 - "$Name" "$Work/lumara.json" "$Work/gdal.json" <<'PY' || Status=1
import json, math, sys

name, ours_path, gdal_path = sys.argv[1:]
with open(ours_path, encoding="utf-8") as f:
    ours = json.load(f)["features"]
with open(gdal_path, encoding="utf-8") as f:
    gdal = json.load(f)["features"]

TOLERANCE = 1e-9  # map units; both sides read the same decimal text
differences = []
notes = {"empty numbers that GDAL reads as 0": 0, "rings not following the right-hand rule": 0}
vertices = 0


def differ(index, what):
    differences.append(f"feature {index}: {what}")


def area(ring):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(ring, ring[1:]))


def canonical_ring(ring):
    # Orientation aside (GDAL keeps the file's, lumara follows the
    # right-hand rule), a ring is its closed vertex sequence from its first
    # vertex; reversing a closed ring keeps that vertex first.
    return ring if area(ring) >= 0 else ring[:1] + ring[-2::-1]


def key(ring):
    return (round(ring[0][0], 6), round(ring[0][1], 6), len(ring))


def canonical_polygons(geometry):
    polygons = geometry["coordinates"] if geometry["type"] == "MultiPolygon" else [geometry["coordinates"]]
    result = []
    for rings in polygons:
        outer, holes = canonical_ring(rings[0]), sorted((canonical_ring(r) for r in rings[1:]), key=key)
        result.append([outer] + holes)
    return sorted(result, key=lambda rings: key(rings[0]))


def same_positions(a, b):
    return len(a) == len(b) and all(
        len(p) >= 2 and len(q) >= 2 and abs(p[0] - q[0]) <= TOLERANCE and abs(p[1] - q[1]) <= TOLERANCE
        for p, q in zip(a, b))


def check_right_hand_rule(geometry):
    polygons = geometry["coordinates"] if geometry["type"] == "MultiPolygon" else [geometry["coordinates"]]
    for rings in polygons:
        for index, ring in enumerate(rings):
            a = area(ring)
            if (index == 0 and a < 0) or (index > 0 and a > 0):
                notes["rings not following the right-hand rule"] += 1


def compare_geometry(index, mine, theirs):
    global vertices
    if mine is None or theirs is None:
        if mine != theirs:
            differ(index, f"geometry {mine and mine['type']} against GDAL's {theirs and theirs['type']}")
        return
    if mine["type"] != theirs["type"]:
        differ(index, f"geometry type {mine['type']} against GDAL's {theirs['type']}")
        return
    kind = mine["type"]
    if kind == "Point":
        vertices += 1
        if not same_positions([mine["coordinates"]], [theirs["coordinates"]]):
            differ(index, f"point {mine['coordinates']} against GDAL's {theirs['coordinates']}")
        return
    if kind in ("LineString", "MultiLineString"):
        a = [mine["coordinates"]] if kind == "LineString" else mine["coordinates"]
        b = [theirs["coordinates"]] if kind == "LineString" else theirs["coordinates"]
        vertices += sum(map(len, a))
        if len(a) != len(b) or not all(same_positions(p, q) for p, q in zip(a, b)):
            differ(index, f"{kind} vertices differ")
        return
    check_right_hand_rule(mine)
    a, b = canonical_polygons(mine), canonical_polygons(theirs)
    vertices += sum(len(r) for rings in a for r in rings)
    if [len(rings) for rings in a] != [len(rings) for rings in b]:
        differ(index, f"rings grouped as {[len(r) for r in a]} against GDAL's {[len(r) for r in b]}")
    elif not all(same_positions(p, q) for rings_a, rings_b in zip(a, b) for p, q in zip(rings_a, rings_b)):
        differ(index, "polygon vertices differ")


def compare_properties(index, mine, theirs):
    if set(mine) != set(theirs):
        differ(index, f"fields {sorted(mine)} against GDAL's {sorted(theirs)}")
        return
    for field, value in mine.items():
        other = theirs[field]
        if value is None and other in (0, 0.0):
            notes["empty numbers that GDAL reads as 0"] += 1
        elif isinstance(value, (int, float)) and isinstance(other, (int, float)):
            if not math.isclose(value, other, rel_tol=1e-12, abs_tol=1e-12):
                differ(index, f"{field} = {value!r} against GDAL's {other!r}")
        elif value != other:
            differ(index, f"{field} = {value!r} against GDAL's {other!r}")


if len(ours) != len(gdal):
    differences.append(f"{len(ours)} features against GDAL's {len(gdal)}")
for index, (mine, theirs) in enumerate(zip(ours, gdal)):
    compare_geometry(index, mine["geometry"], theirs["geometry"])
    compare_properties(index, mine["properties"], theirs["properties"])

summary = f"{name}: {len(ours)} features, {vertices} vertices"
summary += "".join(f", {count} {what}" for what, count in notes.items() if count)
bad = notes["rings not following the right-hand rule"]
if differences or bad:
    print(f"{summary}: DIFFERENT ({len(differences)} differences)")
    for line in differences[:20]:
        print("  " + line)
    if len(differences) > 20:
        print(f"  ... and {len(differences) - 20} more")
    sys.exit(1)
print(f"{summary}: same as GDAL")
PY
done
exit $Status
