#pragma once
// The library's containers: growable pointer lists (plain, and with a
// user-data pointer per item) and fixed-capacity caches keyed by a pointer.
// None of them owns what the pointers designate, but for the string copies
// of TOvcLiteStringCache.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Object.h"
#include "platform/rtl/Strings.h"

// A growable array of pointers without notification or virtual dispatch on
// access. EListError for an index, capacity or count out of range.
class TOvcFastList : public TObject {
public:
    static constexpr int MaxCount = 0x7FFFFFF;

    TOvcFastList() = default;
    ~TOvcFastList() override;

    int Count() const { return FCount; }
    void SetCount(int NewCount);  // new slots hold nullptr; lowering keeps the capacity
    int Capacity() const { return FCapacity; }
    void SetCapacity(int NewCapacity);
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* operator[](int Index) const { return Get(Index); }

    int Add(void* Item);
    // The later items move down one place; the capacity stays.
    void Delete(int Index);
    // Frees the storage: Count and Capacity become 0.
    void Clear();
    // The highest index holding Item (recent additions are found first), or -1.
    int IndexOf(const void* Item) const;

    [[noreturn]] static void BoundsError(int Index);
    [[noreturn]] static void CapacityError(int NewCapacity);
    [[noreturn]] static void CountError(int NewCount);

private:
    void Grow();
    std::unique_ptr<void*[]> FItems;
    int FCount = 0;
    int FCapacity = 0;
};

// Items with one user-data pointer each, kept in step.
class TOvcDataList : public TObject {
public:
    int Count() const { return FItems.Count(); }
    void* Items(int Index) const { return FItems.Get(Index); }
    void* UserData(int Index) const { return FUserData.Get(Index); }
    void SetUserData(int Index, void* Data) { FUserData.Put(Index, Data); }
    void SetAllUserData(void* Data);

    void Add(void* Item) { AddObject(Item, nullptr); }
    void AddObject(void* Item, void* Data);
    void AddIfUnique(void* Item);
    void Clear();
    void Delete(int Index);
    int IndexOf(const void* Item) const { return FItems.IndexOf(Item); }

private:
    TOvcFastList FItems;
    TOvcFastList FUserData;
};

// A fixed number of entries, each a pointer key and a value of ValueSize
// bytes. When full, an addition takes the entry added longest ago (a removed
// entry first): reading an entry does not make it younger. The age of an
// entry is the order of its addition, not the tick count: many entries come
// in the same millisecond, and the newest of them must not be the first to go.
class TOvcLiteCache : public TObject {
public:
    TOvcLiteCache(int ValueSize, int Capacity);
    ~TOvcLiteCache() override;
    TOvcLiteCache(const TOvcLiteCache&) = delete;
    TOvcLiteCache& operator=(const TOvcLiteCache&) = delete;

    // No search for an entry of the same key is made: callers look up first.
    void AddValue(const void* Key, const void* Value);
    // Copies the value of the first live entry of Key into Out; false (Out
    // untouched) when there is none.
    bool GetValue(const void* Key, void* Out) const;
    // Marks the entry dead; its value is not released yet.
    void RemoveValue(const void* Key);
    // Every used entry's value goes through OnRemove; then Count is 0.
    void Clear();

    // Entries used so far, dead ones included.
    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    int ValueSize() const { return FValueSize; }

    // Called with a value's address before the value is overwritten or dropped.
    std::function<void(void* Value)> OnRemove;

private:
    struct TSlot {
        const void* Key = nullptr;
        uint64_t Age = 0;  // 0: dead
    };
    int Find(const void* Key) const;
    void* ValueOf(int Index) const { return FValues.get() + size_t(Index) * size_t(FValueSize); }
    int FValueSize;
    int FCapacity;
    int FCount = 0;
    uint64_t FAdded = 0;
    std::vector<TSlot> FSlots;
    std::unique_ptr<unsigned char[]> FValues;
};

// Texts cached under a pointer key (the data-aware report view keeps one
// per field for the texts of its rows).
class TOvcLiteStringCache : public TObject {
public:
    explicit TOvcLiteStringCache(int Capacity);
    ~TOvcLiteStringCache() override;

    void AddValue(const void* Key, const AnsiString& S);
    // On a miss S stays as it was.
    bool GetValue(const void* Key, AnsiString& S) const;
    void RemoveValue(const void* Key) { FCache.RemoveValue(Key); }
    void Clear() { FCache.Clear(); }
    int Count() const { return FCache.Count(); }

private:
    void RemoveNotifier(void* Value);
    TOvcLiteCache FCache;
};
