#include "MapPoints.h"

#include "Errors.h"

#include <algorithm>

TMapPoint& TMapPoints::Add(Extended X, Extended Y, Extended Z) {
  TMapPoint& Point = FPoints.emplace_back(X, Y, Z);
  Widen(X, Y);
  if (FOnAddPoint) FOnAddPoint(X, Y, Z);
  return Point;
}

void TMapPoints::Delete(int Index) {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  FPoints.erase(FPoints.begin() + Index);
}

TMapPoint& TMapPoints::GetPoint(int Index) {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  return FPoints[static_cast<std::size_t>(Index)];
}

const TMapPoint& TMapPoints::GetPoint(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  return FPoints[static_cast<std::size_t>(Index)];
}

void TMapPoints::SetPoint(int Index, const TMapPoint& Value) {
  const TMapPoint& Dest = GetPoint(Index);
  RaiseAssignError(typeid(Value), typeid(Dest));
}

void TMapPoints::AssignTo(TMapPoints& Dest) const {
  if (&Dest == this) return;
  Dest.Clear();
  Dest.Reserve(Count());
  for (const TMapPoint& Point : FPoints) Dest.Add(Point.X(), Point.Y(), Point.Z());
}

TPart::TPart(TParts& Owner) {
  FPoints.SetOnAddPoint(
      [Parts = &Owner](Extended X, Extended Y, Extended Z) { Parts->AddPoint(X, Y, Z); });
}

TPart& TParts::Add() { return FParts.emplace_back(*this); }

TPart& TParts::Insert(int Index) {
  if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
  return *FParts.emplace(FParts.begin() + Index, *this);
}

void TParts::Delete(int Index) {
  CheckIndex(Index);
  FParts.erase(FParts.begin() + Index);
}

void TParts::AddPoint(Extended X, Extended Y, Extended) { Widen(X, Y); }

void TParts::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
}

TPart& TParts::GetItems(int Index) {
  CheckIndex(Index);
  return FParts[static_cast<std::size_t>(Index)];
}

const TPart& TParts::GetItems(int Index) const {
  CheckIndex(Index);
  return FParts[static_cast<std::size_t>(Index)];
}

void TParts::SetItems(int Index, const TPart& Value) {
  const TPart& Dest = GetItems(Index);
  RaiseAssignError(typeid(Value), typeid(Dest));
}
