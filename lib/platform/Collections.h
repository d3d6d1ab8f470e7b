#pragma once
// The framework's owning collection: the collection creates its items, each
// item knows the collection that owns it and its index there, and items are
// freed when deleted, cleared or when the collection goes.

#include "Errors.h"

#include <algorithm>
#include <memory>
#include <vector>

class TCollectionBase;

// Walks a sequence of owning pointers and yields the objects they own.
template <class TInner>
class TOwnedIterator {
public:
  explicit TOwnedIterator(TInner Position) : FPosition(Position) {}
  auto& operator*() const { return **FPosition; }
  TOwnedIterator& operator++() {
    ++FPosition;
    return *this;
  }
  bool operator!=(const TOwnedIterator& Other) const { return FPosition != Other.FPosition; }

private:
  TInner FPosition;
};

class TCollectionItem {
public:
  explicit TCollectionItem(TCollectionBase* Collection) : FCollection(Collection) {}
  virtual ~TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  [[nodiscard]] TCollectionBase* Collection() const { return FCollection; }
  // Position in the owning collection; -1 once the item belongs to none.
  [[nodiscard]] int Index() const;

  // The framework's assignment: this item takes the contents of Source, which
  // Source itself decides through its AssignTo.
  void Assign(const TCollectionItem& Source) { Source.AssignTo(*this); }
  // Copies this item into Dest; items that define no copy raise the
  // assignment error (EConvertError).
  virtual void AssignTo(TCollectionItem& Dest) const {
    RaiseAssignError(typeid(*this), typeid(Dest));
  }

private:
  friend class TCollectionBase;
  TCollectionBase* FCollection; // not owned: the collection that owns this item; may be null
};

class TCollectionBase {
public:
  virtual ~TCollectionBase() = default;
  [[nodiscard]] virtual int Count() const = 0;
  [[nodiscard]] virtual int IndexOf(const TCollectionItem* Item) const = 0;

protected:
  static void Release(TCollectionItem& Item) { Item.FCollection = nullptr; }
};

inline int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

template <class TItem>
class TCollection : public TCollectionBase {
public:
  TCollection() = default;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  ~TCollection() override { Clear(); }

  [[nodiscard]] int Count() const override { return static_cast<int>(FItems.size()); }

  TItem& Add() { return Insert(Count()); }

  TItem& Insert(int Index) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    std::unique_ptr<TItem> Item = NewItem();
    TItem& Result = *Item;
    FItems.insert(FItems.begin() + Index, std::move(Item));
    return Result;
  }

  void Delete(int Index) {
    CheckIndex(Index);
    std::unique_ptr<TItem> Item = std::move(FItems[Index]);
    FItems.erase(FItems.begin() + Index);
    Release(*Item);
  }

  // Frees the items from the last to the first.
  void Clear() {
    while (!FItems.empty()) {
      std::unique_ptr<TItem> Item = std::move(FItems.back());
      FItems.pop_back();
      Release(*Item);
    }
  }

  [[nodiscard]] TItem& GetItem(int Index) const {
    CheckIndex(Index);
    return *FItems[Index];
  }
  [[nodiscard]] TItem& operator[](int Index) const { return GetItem(Index); }
  // Replacement by index copies Value into the existing item.
  void SetItem(int Index, const TItem& Value) { GetItem(Index).Assign(Value); }

  [[nodiscard]] int IndexOf(const TCollectionItem* Item) const override {
    const auto Found =
        std::find_if(FItems.begin(), FItems.end(),
                     [Item](const std::unique_ptr<TItem>& Own) { return Own.get() == Item; });
    return Found == FItems.end() ? -1 : static_cast<int>(Found - FItems.begin());
  }

  [[nodiscard]] auto begin() const { return TOwnedIterator(FItems.begin()); }
  [[nodiscard]] auto end() const { return TOwnedIterator(FItems.end()); }

protected:
  // The item class of the collection: a collection of a derived item class
  // overrides this.
  virtual std::unique_ptr<TItem> NewItem() { return std::make_unique<TItem>(this); }

  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  }

private:
  std::vector<std::unique_ptr<TItem>> FItems;
};
