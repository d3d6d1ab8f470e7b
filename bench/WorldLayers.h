#pragma once
// A world-sized layer set built in code for the benchmarks: noisy
// "countries" covering the globe, a 15-degree grid and scattered towns.

#include "MapObjects.h"

#include <cmath>
#include <random>

struct TWorldSize {
  int Regions = 0;
  long Vertices = 0;
  int Symbols = 0;
};

// Countries are ring polygons on a 20 x 10 grid of 18 x 18 degree cells, each
// with RingVertices vertices on a wobbly circle (smooth bays and capes with a
// little jitter, so that neighbouring vertices lie close together as they do
// in real coast lines); every fifth has a lake.
inline TWorldSize BuildWorld(TLumara& Map, int RingVertices = 2000, int Symbols = 5000) {
  TWorldSize Size;
  std::mt19937 Random(42);
  std::uniform_real_distribution<double> Noise(-0.02, 0.02);
  std::uniform_real_distribution<double> Phase(0, 2 * M_PI);
  TMapLayer& Countries = *Map.Layers()->Add("", "countries");
  for (int Row = 0; Row < 10; ++Row)
    for (int Column = 0; Column < 20; ++Column) {
      auto& Region = static_cast<TRegion&>(*Countries.NewObject(&NewMapObject<TRegion>));
      Region.Brush().SetColor(RGB(100 + Column * 7, 160, 90 + Row * 15));
      const double CX = -171 + Column * 18.0, CY = -81 + Row * 18.0;
      const int Rings = (Row * 20 + Column) % 5 == 0 ? 2 : 1;
      for (int Ring = 0; Ring < Rings; ++Ring) {
        const double Radius = Ring == 0 ? 8.5 : 3;
        const int Count = Ring == 0 ? RingVertices : RingVertices / 8;
        TMapPoints& Points = Region.Parts().Add().Points();
        Points.Reserve(Count);
        const double Phase1 = Phase(Random), Phase2 = Phase(Random);
        for (int I = 0; I < Count; ++I) {
          const double Angle = 2 * M_PI * I / Count;
          const double Wobble =
              0.12 * std::sin(5 * Angle + Phase1) + 0.05 * std::sin(31 * Angle + Phase2);
          const double R = Radius * (1 + Wobble) + Noise(Random);
          Points.Add(CX + R * std::cos(Angle), CY + R * std::sin(Angle), 0);
        }
        Size.Vertices += Count;
      }
      ++Size.Regions;
    }
  TMapLayer& Grid = *Map.Layers()->Add("", "grid");
  for (int Meridian = -180; Meridian <= 180; Meridian += 15) {
    TMapPoints& Points = Grid.NewObject(&NewMapObject<TPolyline>)->Parts().Add().Points();
    for (int Y = -90; Y <= 90; ++Y) Points.Add(Meridian, Y, 0);
  }
  for (int Parallel = -90; Parallel <= 90; Parallel += 15) {
    TMapPoints& Points = Grid.NewObject(&NewMapObject<TPolyline>)->Parts().Add().Points();
    for (int X = -180; X <= 180; ++X) Points.Add(X, Parallel, 0);
  }
  TMapLayer& Towns = *Map.Layers()->Add("", "towns");
  std::uniform_real_distribution<double> Longitude(-180, 180), Latitude(-85, 85);
  for (int Index = 0; Index < Symbols; ++Index) {
    auto& Town = static_cast<TSymbol&>(*Towns.NewObject(&NewMapObject<TSymbol>));
    Town.SetX(Longitude(Random));
    Town.SetY(Latitude(Random));
    Town.SetShape('o');
  }
  Size.Symbols = Symbols;
  return Size;
}
