#include "reportview/OvcDlm.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

// --- TOvcFastList ---

TOvcFastList::~TOvcFastList() { Clear(); }

void TOvcFastList::BoundsError(int Index) { throw EListError("List index out of bounds:" + IntToStr(Index)); }

void TOvcFastList::CapacityError(int NewCapacity) {
    throw EListError("Invalid list capacity:" + IntToStr(NewCapacity));
}

void TOvcFastList::CountError(int NewCount) { throw EListError("Invalid list count:" + IntToStr(NewCount)); }

void TOvcFastList::SetCapacity(int NewCapacity) {
    if (NewCapacity < FCount || NewCapacity > MaxCount) CapacityError(NewCapacity);
    if (NewCapacity == FCapacity) return;
    std::unique_ptr<void*[]> items;
    if (NewCapacity > 0) {
        items = std::make_unique<void*[]>(size_t(NewCapacity));
        std::copy_n(FItems.get(), FCount, items.get());
    }
    FItems = std::move(items);
    FCapacity = NewCapacity;
}

void TOvcFastList::SetCount(int NewCount) {
    if (NewCount < 0 || NewCount > MaxCount) CountError(NewCount);
    if (NewCount > FCapacity) SetCapacity(NewCount);
    if (NewCount > FCount) std::fill(FItems.get() + FCount, FItems.get() + NewCount, nullptr);
    FCount = NewCount;
}

void TOvcFastList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
    SetCapacity(std::min(FCapacity + delta, MaxCount));
}

void* TOvcFastList::Get(int Index) const {
    if (Index < 0 || Index >= FCount) BoundsError(Index);
    return FItems[size_t(Index)];
}

void TOvcFastList::Put(int Index, void* Item) {
    if (Index < 0 || Index >= FCount) BoundsError(Index);
    FItems[size_t(Index)] = Item;
}

int TOvcFastList::Add(void* Item) {
    if (FCount == FCapacity) Grow();
    FItems[size_t(FCount)] = Item;
    return FCount++;
}

void TOvcFastList::Delete(int Index) {
    if (Index < 0 || Index >= FCount) BoundsError(Index);
    std::copy(FItems.get() + Index + 1, FItems.get() + FCount, FItems.get() + Index);
    --FCount;
}

void TOvcFastList::Clear() {
    FItems.reset();
    FCount = FCapacity = 0;
}

int TOvcFastList::IndexOf(const void* Item) const {
    for (int i = FCount - 1; i >= 0; --i)
        if (FItems[size_t(i)] == Item) return i;
    return -1;
}

// --- TOvcDataList ---

void TOvcDataList::SetAllUserData(void* Data) {
    for (int i = 0; i < FUserData.Count(); ++i) FUserData.Put(i, Data);
}

void TOvcDataList::AddObject(void* Item, void* Data) {
    FItems.Add(Item);
    FUserData.Add(Data);
}

void TOvcDataList::AddIfUnique(void* Item) {
    if (IndexOf(Item) < 0) Add(Item);
}

void TOvcDataList::Clear() {
    FItems.Clear();
    FUserData.Clear();
}

void TOvcDataList::Delete(int Index) {
    FItems.Delete(Index);
    FUserData.Delete(Index);
}

// --- TOvcLiteCache ---

TOvcLiteCache::TOvcLiteCache(int ValueSize, int Capacity)
    : FValueSize(std::max(ValueSize, 0)), FCapacity(std::max(Capacity, 0)), FSlots(size_t(FCapacity)),
      FValues(std::make_unique<unsigned char[]>(size_t(FCapacity) * size_t(FValueSize))) {}

TOvcLiteCache::~TOvcLiteCache() { Clear(); }

int TOvcLiteCache::Find(const void* Key) const {
    for (int i = 0; i < FCount; ++i)
        if (FSlots[size_t(i)].Age != 0 && FSlots[size_t(i)].Key == Key) return i;
    return -1;
}

void TOvcLiteCache::AddValue(const void* Key, const void* Value) {
    if (FCapacity == 0) return;
    int slot;
    if (FCount < FCapacity) {
        slot = FCount++;
    } else {
        slot = 0;
        for (int i = 1; i < FCount; ++i)
            if (FSlots[size_t(i)].Age < FSlots[size_t(slot)].Age) slot = i;
        if (OnRemove) OnRemove(ValueOf(slot));
    }
    FSlots[size_t(slot)] = TSlot{Key, ++FAdded};
    std::memcpy(ValueOf(slot), Value, size_t(FValueSize));
}

bool TOvcLiteCache::GetValue(const void* Key, void* Out) const {
    int i = Find(Key);
    if (i < 0) return false;
    std::memcpy(Out, ValueOf(i), size_t(FValueSize));
    return true;
}

void TOvcLiteCache::RemoveValue(const void* Key) {
    int i = Find(Key);
    if (i >= 0) FSlots[size_t(i)].Age = 0;
}

void TOvcLiteCache::Clear() {
    if (OnRemove)
        for (int i = 0; i < FCount; ++i) OnRemove(ValueOf(i));
    FCount = 0;
}

// --- TOvcLiteStringCache ---

TOvcLiteStringCache::TOvcLiteStringCache(int Capacity) : FCache(sizeof(AnsiString*), Capacity) {
    FCache.OnRemove = [this](void* Value) { RemoveNotifier(Value); };
}

TOvcLiteStringCache::~TOvcLiteStringCache() { FCache.Clear(); }

void TOvcLiteStringCache::AddValue(const void* Key, const AnsiString& S) {
    if (FCache.Capacity() == 0) return;
    auto copy = std::make_unique<AnsiString>(S);
    AnsiString* p = copy.get();
    FCache.AddValue(Key, &p);
    copy.release();  // the cache holds it now
}

bool TOvcLiteStringCache::GetValue(const void* Key, AnsiString& S) const {
    AnsiString* p = nullptr;
    if (!FCache.GetValue(Key, &p)) return false;
    S = *p;
    return true;
}

void TOvcLiteStringCache::RemoveNotifier(void* Value) {
    AnsiString* p = nullptr;
    std::memcpy(&p, Value, sizeof p);
    delete p;
}
