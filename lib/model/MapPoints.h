#pragma once
// Geometry containers: a part list (TParts) holds parts (TPart), each part a
// point list (TMapPoints) of points (TMapPoint). Points live contiguously in
// their list; parts live contiguously in theirs.
//
// Both list levels keep bounds that start inverted (MinX = MinY = 2147483647,
// MaxX = MaxY = -2147483647, covering nothing) and are widened by every point
// added through Add. Bounds never shrink: deleting points or parts, clearing,
// or moving a point with SetX/SetY leaves them as they are; only the explicit
// bound setters change them otherwise.

#include "Types.h"

#include <algorithm>
#include <functional>
#include <vector>

inline constexpr Extended InvertedMin = 2147483647;
inline constexpr Extended InvertedMax = -2147483647;

struct TMapBounds {
  Extended MinX = InvertedMin;
  Extended MinY = InvertedMin;
  Extended MaxX = InvertedMax;
  Extended MaxY = InvertedMax;
  friend bool operator==(const TMapBounds&, const TMapBounds&) = default;
};

// The bounds both list levels keep: inverted at first, widened by every
// added point, lowered only by the explicit setters.
class TGrowingBounds {
public:
  [[nodiscard]] Extended MinX() const { return FMinX; }
  [[nodiscard]] Extended MinY() const { return FMinY; }
  [[nodiscard]] Extended MaxX() const { return FMaxX; }
  [[nodiscard]] Extended MaxY() const { return FMaxY; }
  void SetMinX(Extended Value) { FMinX = Value; }
  void SetMinY(Extended Value) { FMinY = Value; }
  void SetMaxX(Extended Value) { FMaxX = Value; }
  void SetMaxY(Extended Value) { FMaxY = Value; }
  [[nodiscard]] TMapBounds Bounds() const { return {FMinX, FMinY, FMaxX, FMaxY}; }

protected:
  void Widen(Extended X, Extended Y) {
    FMaxX = std::max(X, FMaxX);
    FMaxY = std::max(Y, FMaxY);
    FMinX = std::min(X, FMinX);
    FMinY = std::min(Y, FMinY);
  }

private:
  Extended FMaxY = InvertedMax;
  Extended FMinX = InvertedMin;
  Extended FMinY = InvertedMin;
  Extended FMaxX = InvertedMax;
};

// One point in map coordinates: X east, Y north. Z is carried only.
class TMapPoint {
public:
  TMapPoint() = default;
  TMapPoint(Extended X, Extended Y, Extended Z) : FY(Y), FX(X), FZ(Z) {}

  [[nodiscard]] Extended X() const { return FX; }
  [[nodiscard]] Extended Y() const { return FY; }
  [[nodiscard]] Extended Z() const { return FZ; }
  // Plain stores: no bounds are touched and nobody is told.
  void SetX(Extended Value) { FX = Value; }
  void SetY(Extended Value) { FY = Value; }
  void SetZ(Extended Value) { FZ = Value; }

private:
  Extended FY = 0;
  Extended FX = 0;
  Extended FZ = 0;
};

// Called after a point was added, with the list's bounds already covering it.
using TAddPointEvent = std::function<void(Extended X, Extended Y, Extended Z)>;

class TMapPoints : public TGrowingBounds {
public:
  TMapPoints() = default;
  TMapPoints(const TMapPoints&) = delete;
  TMapPoints& operator=(const TMapPoints&) = delete;
  TMapPoints(TMapPoints&&) noexcept = default;
  TMapPoints& operator=(TMapPoints&&) noexcept = default;

  [[nodiscard]] int Count() const { return static_cast<int>(FPoints.size()); }
  // Appends (X, Y, Z), widens the bounds, then tells OnAddPoint. The reference
  // stays valid until the next point is added or deleted.
  TMapPoint& Add(Extended X, Extended Y, Extended Z);
  void Delete(int Index);
  void Clear() { FPoints.clear(); }
  // Room for Count points, so that adding them allocates once.
  void Reserve(int Count) { FPoints.reserve(static_cast<std::size_t>(Count)); }
  // Gives memory that growth left unused back; for lists that are complete.
  void ShrinkToFit() { FPoints.shrink_to_fit(); }

  [[nodiscard]] TMapPoint& GetPoint(int Index);
  [[nodiscard]] const TMapPoint& GetPoint(int Index) const;
  [[nodiscard]] TMapPoint& operator[](int Index) { return GetPoint(Index); }
  [[nodiscard]] const TMapPoint& operator[](int Index) const { return GetPoint(Index); }
  // Points define no copy: after the index check this raises the assignment error.
  void SetPoint(int Index, const TMapPoint& Value);
  [[nodiscard]] TMapPoint& First() { return GetPoint(0); }
  [[nodiscard]] TMapPoint& Last() { return GetPoint(Count() - 1); }
  [[nodiscard]] const TMapPoint& First() const { return GetPoint(0); }
  [[nodiscard]] const TMapPoint& Last() const { return GetPoint(Count() - 1); }

  // Clears Dest and adds a copy of every point to it. Dest's bounds are not
  // reset, so they end as the union of their old value and the copies, and
  // Dest's OnAddPoint is told of each copy.
  void AssignTo(TMapPoints& Dest) const;

  [[nodiscard]] const TAddPointEvent& OnAddPoint() const { return FOnAddPoint; }
  void SetOnAddPoint(TAddPointEvent Value) { FOnAddPoint = std::move(Value); }

  [[nodiscard]] auto begin() const { return FPoints.begin(); }
  [[nodiscard]] auto end() const { return FPoints.end(); }
  [[nodiscard]] auto begin() { return FPoints.begin(); }
  [[nodiscard]] auto end() { return FPoints.end(); }

private:
  std::vector<TMapPoint> FPoints;
  TAddPointEvent FOnAddPoint;
};

class TParts;

// One line string or ring. Its points report every added point to the part
// list that created the part, so the part list's bounds cover all its parts.
class TPart {
public:
  explicit TPart(TParts& Owner);
  TPart(const TPart&) = delete;
  TPart& operator=(const TPart&) = delete;
  TPart(TPart&&) noexcept = default;
  TPart& operator=(TPart&&) noexcept = default;

  [[nodiscard]] TMapPoints& Points() { return FPoints; }
  [[nodiscard]] const TMapPoints& Points() const { return FPoints; }
  // Replaces the points by copies of Value's, added as usual, so the part
  // list's bounds cover them too.
  void SetPoints(const TMapPoints& Value) { Value.AssignTo(FPoints); }

private:
  TMapPoints FPoints;
};

class TParts : public TGrowingBounds {
public:
  TParts() = default;
  // Parts point back here: the list stays where it was made.
  TParts(const TParts&) = delete;
  TParts& operator=(const TParts&) = delete;

  [[nodiscard]] int Count() const { return static_cast<int>(FParts.size()); }
  // Appends or inserts an empty part. References to parts stay valid until
  // the next part is added, inserted or deleted; references to points inside
  // a part are not affected by that.
  TPart& Add();
  TPart& Insert(int Index);
  void Delete(int Index);
  void Clear() { FParts.clear(); }

  // Widens the bounds; every part's point list calls it for each added point.
  void AddPoint(Extended X, Extended Y, Extended Z);

  [[nodiscard]] TPart& GetItems(int Index);
  [[nodiscard]] const TPart& GetItems(int Index) const;
  [[nodiscard]] TPart& operator[](int Index) { return GetItems(Index); }
  [[nodiscard]] const TPart& operator[](int Index) const { return GetItems(Index); }
  // Parts define no copy: after the index check these raise the assignment error.
  void SetItems(int Index, const TPart& Value);
  void SetFirst(const TPart& Value) { SetItems(0, Value); }
  void SetLast(const TPart& Value) { SetItems(Count() - 1, Value); }
  [[nodiscard]] TPart& GetFirst() { return GetItems(0); }
  [[nodiscard]] TPart& GetLast() { return GetItems(Count() - 1); }
  [[nodiscard]] const TPart& GetFirst() const { return GetItems(0); }
  [[nodiscard]] const TPart& GetLast() const { return GetItems(Count() - 1); }

  [[nodiscard]] auto begin() const { return FParts.begin(); }
  [[nodiscard]] auto end() const { return FParts.end(); }
  [[nodiscard]] auto begin() { return FParts.begin(); }
  [[nodiscard]] auto end() { return FParts.end(); }

private:
  void CheckIndex(int Index) const;

  std::vector<TPart> FParts;
};
