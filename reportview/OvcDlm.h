#pragma once
// The library's containers: growable pointer lists (plain, and with a
// user-data pointer per item) and fixed-capacity caches keyed by a pointer.
// None of them owns what the pointers designate, but for the string copies
// of TOvcLiteStringCache. Then the sorted, multi-key doubly linked lists
// whose nodes come from pages of a node pool.
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

// --- Linked lists over pooled nodes ---
//
// A node is a block of pointers: the data pointer, the user-data pointer,
// then one (previous, next) pair per chain the node sits in. On this machine
// a pointer is 8 bytes, so a node of one chain is 32 bytes and each further
// key adds 16. A chain is bound to one pair by its link index (pair k sits
// at pointer 2 + 2k).
using TOvcDoubleLinkNode = void*;
// Compares the searched node (first) with a node of the chain for key Key:
// negative, zero or positive.
using TOvcCompareNodes = std::function<int(TOvcDoubleLinkNode Node1, TOvcDoubleLinkNode Node2, int Key)>;

inline void*& NodeData(TOvcDoubleLinkNode Node) { return static_cast<void**>(Node)[0]; }
inline void*& NodeUserData(TOvcDoubleLinkNode Node) { return static_cast<void**>(Node)[1]; }

// Links caller-owned nodes by position. The rover is the node last reached
// by position, kept to shorten the next walk.
class TOvcDoubleLinkManager : public TObject {
public:
    explicit TOvcDoubleLinkManager(int LinkIndex) : FLinkIndex(LinkIndex) {}

    // Forgets the chain; the nodes are not touched.
    virtual void Clear();
    // Into an empty chain the node becomes first and last; Anchor is ignored then.
    void InsertAfter(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Anchor);
    void InsertBefore(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Anchor);
    void SetFirst(TOvcDoubleLinkNode Node) { InsertBefore(Node, FFirst); }
    void SetLast(TOvcDoubleLinkNode Node) { InsertAfter(Node, FLast); }
    void DeleteNode(TOvcDoubleLinkNode Node);
    // Exception "Node index out of bounds" outside 0..Count-1.
    TOvcDoubleLinkNode GetNode(int Index);

    TOvcDoubleLinkNode GetNext(TOvcDoubleLinkNode Node) const { return Link(Node)[1]; }
    TOvcDoubleLinkNode GetPrev(TOvcDoubleLinkNode Node) const { return Link(Node)[0]; }
    void SetNext(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Next) { Link(Node)[1] = Next; }
    void SetPrev(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Prev) { Link(Node)[0] = Prev; }

    int Count() const { return FCount; }
    int LinkIndex() const { return FLinkIndex; }
    TOvcDoubleLinkNode First() const { return FFirst; }
    TOvcDoubleLinkNode Last() const { return FLast; }
    int RoverIndex() const { return FRoverIndex; }

protected:
    void** Link(TOvcDoubleLinkNode Node) const { return static_cast<void**>(Node) + 2 + 2 * FLinkIndex; }

    int FLinkIndex;
    TOvcDoubleLinkNode FFirst = nullptr;
    TOvcDoubleLinkNode FLast = nullptr;
    int FCount = 0;
    TOvcDoubleLinkNode FRover = nullptr;
    int FRoverIndex = -1;
};

// A chain kept in the order of a compare, with key rovers (nodes at known
// positions spread over the chain) where a search starts its walk.
class TOvcSortedDoubleLinkManager : public TOvcDoubleLinkManager {
public:
    static constexpr int MaxKeyRovers = 512;
    // Exception "Too many key rovers requested" above MaxKeyRovers.
    TOvcSortedDoubleLinkManager(int RoverCount, int LinkIndex, TOvcCompareNodes Compare, int KeyNumber);

    void Clear() override;
    // Exception "Duplicate item" when Node is in the chain already. A node
    // equal to one in the chain goes after it.
    void Insert(TOvcDoubleLinkNode Node);
    // Exception "Node not found" when the search does not meet Node itself.
    void DeleteNode(TOvcDoubleLinkNode Node);
    // Where Node belongs: between Prev and Next, or Prev = Next = the node
    // that compares equal. RoverIndex: the first rover after the place, -1
    // when none. Exception "Compare not assigned" without a compare.
    void Find(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode& Prev, TOvcDoubleLinkNode& Next, int& RoverIndex);
    // The position of the node that compares equal to Node, or -1.
    int FindIndex(TOvcDoubleLinkNode Node);
    // Spreads the rovers evenly over the chain.
    void Balance();

    int RoversInUse() const { return FRoverCount; }
    // The position of rover J (0 .. RoversInUse-1).
    int RoverPosition(int J) const { return FRovers[size_t(J)].Index; }
    TOvcDoubleLinkNode RoverNode(int J) const { return FRovers[size_t(J)].Node; }

private:
    struct TRover {
        int Index = 0;
        TOvcDoubleLinkNode Node = nullptr;
    };
    int Search(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode& Prev, TOvcDoubleLinkNode& Next, int& RoverIndex,
               bool& Found);
    int FirstRoverFrom(int Position) const;
    int Compare(TOvcDoubleLinkNode A, TOvcDoubleLinkNode B) const { return FCompare(A, B, FKeyNumber); }

    std::vector<TRover> FRovers;
    int FRoverCount = 0;
    int FMaxRovers;
    int FPendingInserts = 0;
    TOvcCompareNodes FCompare;
    int FKeyNumber;
};

// Fixed-size items from zero-filled pages of 4,096 bytes. A page's last
// pointer (at 4,088) links the next page, so 4,088 bytes hold items; the
// item size is rounded up to a whole number of pointers, since a freed item
// keeps the free list's link in its first pointer (5 bytes become 8: 511 a
// page).
class TOvcPoolManager : public TObject {
public:
    static constexpr size_t PageSize = 4096;
    static constexpr size_t ItemArea = PageSize - sizeof(void*);
    // Exception "PoolManager does not support items > 4K" above ItemArea.
    explicit TOvcPoolManager(size_t ItemSize);
    ~TOvcPoolManager() override;
    TOvcPoolManager(const TOvcPoolManager&) = delete;
    TOvcPoolManager& operator=(const TOvcPoolManager&) = delete;

    // The last freed item first, else the next one of the last page.
    void* NewItem();
    void DeleteItem(void* Item);
    void NewPage();
    // Frees every page: every item is gone at once.
    void Clear();

    size_t ItemSize() const { return FItemSize; }
    size_t ItemsPerPage() const { return FItemsPerPage; }
    int PageCount() const;

private:
    unsigned char* FFirstPage = nullptr;
    unsigned char* FLastPage = nullptr;
    unsigned char* FNextFree = nullptr;
    unsigned char* FAreaEnd = nullptr;
    size_t FItemSize;
    size_t FItemsPerPage;
    void* FFreeList = nullptr;
};

// Pointers kept in the order of their values (signed), with positional
// access. Two items of the same pointer are told apart by their nodes'
// addresses, so either can be deleted.
class TOvcList : public TObject {
public:
    explicit TOvcList(bool Large);
    ~TOvcList() override;
    TOvcList(const TOvcList&) = delete;
    TOvcList& operator=(const TOvcList&) = delete;

    virtual void* GetItems(int Index);
    virtual void* GetUserData(int Index);
    virtual void SetUserData(int Index, void* Data);
    virtual TOvcDoubleLinkNode GetNode(int Index);
    // The position of an item holding P, or -1.
    virtual int IndexOf(void* P);
    virtual TOvcDoubleLinkNode Add(void* P);
    virtual TOvcDoubleLinkNode AddObject(void* P, void* Data);
    virtual void Delete(int Index);
    // Nothing (nullptr) when an item holding P is there already.
    TOvcDoubleLinkNode AddIfUnique(void* P);
    void SetAllUserData(void* Data);
    int GetCount() const { return FList->Count(); }
    void Clear();
    TOvcPoolManager* Pool() const { return FPool.get(); }
    TOvcSortedDoubleLinkManager* Manager() const { return FList.get(); }

protected:
    TOvcDoubleLinkNode NewNode();
    void FreeNode(TOvcDoubleLinkNode Node);
    // Data pointers as signed numbers; then, but while searching, the nodes' addresses.
    int ListComp(TOvcDoubleLinkNode Node1, TOvcDoubleLinkNode Node2, int Key) const;
    // Runs Search with the searching flag on (the probe's address decides nothing).
    template <typename F>
    auto Searching(F&& Search) {
        struct TRestore {
            bool& Flag;
            ~TRestore() { Flag = false; }
        } restore{FSearching};
        FSearching = true;
        return Search();
    }

    size_t FNodeSize = 4 * sizeof(void*);
    std::unique_ptr<TOvcSortedDoubleLinkManager> FList;
    std::unique_ptr<TOvcPoolManager> FPool;
    bool FSearching = false;
};

// The same items ordered also by up to 64 keys of a user compare; positions
// count in the order of the current key (-1: the order of the pointers).
class TOvcSortedList : public TOvcList {
public:
    static constexpr int MaxKeys = 64;
    using TCompare = std::function<int(int Key, void* Data1, void* Data2)>;
    // Exception "Too many keys in list" above MaxKeys.
    TOvcSortedList(int KeyCount, TCompare Compare, bool Large);
    ~TOvcSortedList() override;

    void* GetItems(int Index) override;
    void* GetUserData(int Index) override;
    void SetUserData(int Index, void* Data) override;
    int IndexOf(void* P) override;
    // AddObject of the list comes here too.
    TOvcDoubleLinkNode Add(void* P) override;
    // Exception "List index out of bounds" outside 0..Count-1.
    void Delete(int Index) override;
    // An item whose key compares equal to the probe P under the current key.
    int IndexOfValue(void* P);
    // Exception "Key number out of range" outside -1..KeyCount-1.
    void SetCurrentKey(int Key);
    int CurrentKey() const { return FCurrentKey; }
    int KeyCount() const { return FKeyCount; }

private:
    int MultiComp(TOvcDoubleLinkNode Node1, TOvcDoubleLinkNode Node2, int Key) const;
    TOvcSortedDoubleLinkManager* Current() const;
    TCompare FCompare;
    int FCurrentKey = -1;
    int FKeyCount;
    std::vector<std::unique_ptr<TOvcSortedDoubleLinkManager>> FKeys;
    bool FValueSearch = false;
};
