#include "platform/rtl/Lists.h"

#include <algorithm>

#include "platform/rtl/Format.h"

TList::~TList() { Clear(); }

void TList::Error(const char* Message, int Data) { throw EListError(Format(Message, {Data})); }

void TList::Check(int Index) const {
    if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) Error("List count out of bounds (%d)", NewCount);
    while (Count() > NewCount) Delete(Count() - 1);
    FItems.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count()) Error("List capacity out of bounds (%d)", NewCapacity);
    FItems.reserve(static_cast<size_t>(NewCapacity));
}

void* TList::Items(int Index) const {
    Check(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
    Check(Index);
    void*& slot = FItems[static_cast<size_t>(Index)];
    if (slot == Item) return;
    void* old = slot;
    slot = Item;
    if (old) Notify(old, lnDeleted);
    if (Item) Notify(Item, lnAdded);
}

int TList::Add(void* Item) {
    FItems.push_back(Item);
    if (Item) Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
    FItems.insert(FItems.begin() + Index, Item);
    if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    Check(Index);
    void* item = FItems[static_cast<size_t>(Index)];
    FItems.erase(FItems.begin() + Index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    int i = IndexOf(Item);
    if (i >= 0) Delete(i);
    return i;
}

void* TList::Extract(void* Item) {
    int i = IndexOf(Item);
    if (i < 0) return nullptr;
    FItems.erase(FItems.begin() + i);
    Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Clear() {
    // One at a time from the end, so a watcher may look at the list meanwhile.
    while (!FItems.empty()) Delete(Count() - 1);
    FItems.shrink_to_fit();
}

void TList::Exchange(int Index1, int Index2) {
    Check(Index1);
    Check(Index2);
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    Check(CurIndex);
    Check(NewIndex);
    void* item = FItems[static_cast<size_t>(CurIndex)];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

void TList::Sort(const TListSortCompare& Compare) {
    std::stable_sort(FItems.begin(), FItems.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Assign(const TList& Source) {
    if (&Source == this) return;
    Clear();
    for (void* p : Source.FItems) Add(p);
}

void TBits::SetSize(int Value) {
    if (Value < 0) throw EBitsError("Bits index out of range");
    FBits.resize(static_cast<size_t>(Value), false);
    FSize = Value;
}

bool TBits::Bits(int Index) const {
    if (Index < 0 || Index >= FSize) throw EBitsError("Bits index out of range");
    return FBits[static_cast<size_t>(Index)];
}

void TBits::SetBits(int Index, bool Value) {
    if (Index < 0) throw EBitsError("Bits index out of range");
    if (Index >= FSize) SetSize(Index + 1);
    FBits[static_cast<size_t>(Index)] = Value;
}

int TBits::OpenBit() const {
    for (int i = 0; i < FSize; ++i)
        if (!FBits[static_cast<size_t>(i)]) return i;
    return FSize;
}
