#pragma once
// The framework's pointer list: an ordered list of references that owns
// nothing. Index errors raise EListError.

#include "Errors.h"

#include <algorithm>
#include <vector>

template <class T>
class TList {
public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  // Derived lists whose Clear does more must call it from their own destructor.
  virtual ~TList() = default;

  [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
  [[nodiscard]] bool Empty() const { return FItems.empty(); }

  int Add(T* Item) {
    FItems.push_back(Item);
    return Count() - 1;
  }
  void Insert(int Index, T* Item) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
  }
  void Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
  }
  [[nodiscard]] int IndexOf(const T* Item) const {
    const auto Found = std::find(FItems.begin(), FItems.end(), Item);
    return Found == FItems.end() ? -1 : static_cast<int>(Found - FItems.begin());
  }
  // Removes the first entry of Item; answers its former index, or -1.
  int Remove(const T* Item) {
    const int Index = IndexOf(Item);
    if (Index >= 0) FItems.erase(FItems.begin() + Index);
    return Index;
  }
  void Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(NewIndex);
    T* Item = Get(CurIndex);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, Item);
  }
  void Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
  }
  virtual void Clear() { FItems.clear(); }

  [[nodiscard]] T* Get(int Index) const {
    CheckIndex(Index);
    return FItems[Index];
  }
  void Put(int Index, T* Item) {
    CheckIndex(Index);
    FItems[Index] = Item;
  }
  [[nodiscard]] T* First() const { return Get(0); }
  [[nodiscard]] T* Last() const { return Get(Count() - 1); }

  [[nodiscard]] auto begin() const { return FItems.begin(); }
  [[nodiscard]] auto end() const { return FItems.end(); }

protected:
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  }

  std::vector<T*> FItems; // not owned
};
