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

// --- TOvcDoubleLinkManager ---

void TOvcDoubleLinkManager::Clear() {
    FFirst = FLast = nullptr;
    FCount = 0;
    FRover = nullptr;
    FRoverIndex = -1;
}

void TOvcDoubleLinkManager::InsertAfter(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Anchor) {
    if (!FFirst) {
        SetPrev(Node, nullptr);
        SetNext(Node, nullptr);
        FFirst = FLast = Node;
    } else {
        TOvcDoubleLinkNode next = GetNext(Anchor);
        SetPrev(Node, Anchor);
        SetNext(Node, next);
        SetNext(Anchor, Node);
        if (next) SetPrev(next, Node);
        else FLast = Node;
        // The rover keeps its position only when it stands at or before the anchor for sure.
        if (FRover != FFirst && FRover != Anchor) {
            FRover = nullptr;
            FRoverIndex = -1;
        }
    }
    ++FCount;
}

void TOvcDoubleLinkManager::InsertBefore(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode Anchor) {
    if (!FFirst) {
        InsertAfter(Node, nullptr);
        return;
    }
    TOvcDoubleLinkNode prev = GetPrev(Anchor);
    SetPrev(Node, prev);
    SetNext(Node, Anchor);
    SetPrev(Anchor, Node);
    if (prev) SetNext(prev, Node);
    else FFirst = Node;
    FRover = nullptr;
    FRoverIndex = -1;
    ++FCount;
}

void TOvcDoubleLinkManager::DeleteNode(TOvcDoubleLinkNode Node) {
    if (FCount <= 1) {
        Clear();
        return;
    }
    if (Node == FFirst) {
        FFirst = GetNext(Node);
        SetPrev(FFirst, nullptr);
        if (FRover == Node) {
            FRover = FFirst;
            FRoverIndex = 0;
        } else {
            FRover = nullptr;
            FRoverIndex = -1;
        }
    } else if (Node == FLast) {
        FLast = GetPrev(Node);
        SetNext(FLast, nullptr);
        if (FRover == Node) {
            FRover = FLast;
            --FRoverIndex;
        } else {
            FRover = nullptr;
            FRoverIndex = -1;
        }
    } else {
        SetNext(GetPrev(Node), GetNext(Node));
        SetPrev(GetNext(Node), GetPrev(Node));
        FRover = nullptr;
        FRoverIndex = -1;
    }
    --FCount;
}

TOvcDoubleLinkNode TOvcDoubleLinkManager::GetNode(int Index) {
    if (Index < 0 || Index >= FCount) throw Exception("Node index out of bounds");
    if (Index == 0) return FFirst;
    if (Index == FCount - 1) return FLast;
    TOvcDoubleLinkNode node;
    int pos;
    bool forward;
    if (!FRover) {
        forward = Index < FCount / 2;
        node = forward ? GetNext(FFirst) : GetPrev(FLast);
        pos = forward ? 1 : FCount - 2;
    } else if (Index == FRoverIndex) {
        return FRover;
    } else if (Index < FRoverIndex) {
        forward = Index < FRoverIndex / 2;
        node = forward ? FFirst : FRover;
        pos = forward ? 0 : FRoverIndex;
    } else {
        forward = Index < FCount - FRoverIndex / 2;
        node = forward ? FRover : FLast;
        pos = forward ? FRoverIndex : FCount - 1;
    }
    for (; pos != Index; pos += forward ? 1 : -1) node = forward ? GetNext(node) : GetPrev(node);
    FRover = node;
    FRoverIndex = Index;
    return node;
}

// --- TOvcSortedDoubleLinkManager ---

TOvcSortedDoubleLinkManager::TOvcSortedDoubleLinkManager(int RoverCount, int LinkIndex,
                                                         TOvcCompareNodes Compare, int KeyNumber)
    : TOvcDoubleLinkManager(LinkIndex), FMaxRovers(RoverCount), FCompare(std::move(Compare)),
      FKeyNumber(KeyNumber) {
    if (RoverCount > MaxKeyRovers) throw Exception("Too many key rovers requested");
    FRovers.resize(size_t(std::max(RoverCount, 0)));
}

void TOvcSortedDoubleLinkManager::Clear() {
    TOvcDoubleLinkManager::Clear();
    FRoverCount = 0;
    FPendingInserts = 0;
}

int TOvcSortedDoubleLinkManager::FirstRoverFrom(int Position) const {
    auto end = FRovers.begin() + FRoverCount;
    auto it =
        std::lower_bound(FRovers.begin(), end, Position, [](const TRover& R, int P) { return R.Index < P; });
    return it == end ? -1 : int(it - FRovers.begin());
}

int TOvcSortedDoubleLinkManager::Search(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode& Prev,
                                        TOvcDoubleLinkNode& Next, int& RoverIndex, bool& Found) {
    if (!FCompare) throw Exception("Compare not assigned");
    Found = false;
    Prev = Next = nullptr;
    RoverIndex = -1;
    if (FCount == 0) return 0;
    auto found = [&](TOvcDoubleLinkNode At, int Position) {
        Prev = Next = At;
        Found = true;
        RoverIndex = FirstRoverFrom(Position + 1);
        return Position;
    };
    int c = Compare(Node, FLast);
    if (c > 0) {
        Prev = FLast;
        return FCount;
    }
    if (c == 0) return found(FLast, FCount - 1);
    c = Compare(Node, FFirst);
    if (c < 0) {
        Next = FFirst;
        RoverIndex = FirstRoverFrom(0);
        return 0;
    }
    if (c == 0) return found(FFirst, 0);
    // The first rover not below Node; the walk starts at the rover before it.
    int lo = 0, hi = FRoverCount;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (Compare(Node, FRovers[size_t(mid)].Node) > 0) lo = mid + 1;
        else hi = mid;
    }
    if (lo < FRoverCount && Compare(Node, FRovers[size_t(lo)].Node) == 0)
        return found(FRovers[size_t(lo)].Node, FRovers[size_t(lo)].Index);
    TOvcDoubleLinkNode node = lo > 0 ? FRovers[size_t(lo - 1)].Node : FFirst;
    int pos = lo > 0 ? FRovers[size_t(lo - 1)].Index : 0;
    for (;;) {
        node = GetNext(node);
        ++pos;
        // Node is below the last node, so the walk ends before the chain does.
        c = node ? Compare(Node, node) : -1;
        if (c == 0) return found(node, pos);
        if (c < 0) {
            Prev = node ? GetPrev(node) : FLast;
            Next = node;
            RoverIndex = FirstRoverFrom(pos);
            return pos;
        }
    }
}

void TOvcSortedDoubleLinkManager::Find(TOvcDoubleLinkNode Node, TOvcDoubleLinkNode& Prev,
                                       TOvcDoubleLinkNode& Next, int& RoverIndex) {
    bool found;
    Search(Node, Prev, Next, RoverIndex, found);
}

int TOvcSortedDoubleLinkManager::FindIndex(TOvcDoubleLinkNode Node) {
    TOvcDoubleLinkNode prev, next;
    int roverIndex;
    bool found;
    int pos = Search(Node, prev, next, roverIndex, found);
    return found ? pos : -1;
}

void TOvcSortedDoubleLinkManager::Insert(TOvcDoubleLinkNode Node) {
    TOvcDoubleLinkNode prev, next;
    int roverIndex;
    bool found;
    Search(Node, prev, next, roverIndex, found);
    if (found && prev == Node) throw Exception("Duplicate item");
    if (prev) InsertAfter(Node, prev);
    else InsertBefore(Node, next);
    if (roverIndex >= 0)
        for (int j = roverIndex; j < FRoverCount; ++j) ++FRovers[size_t(j)].Index;
    if (++FPendingInserts > 64) Balance();
}

void TOvcSortedDoubleLinkManager::DeleteNode(TOvcDoubleLinkNode Node) {
    if (FPendingInserts > 0) Balance();
    TOvcDoubleLinkNode prev, next;
    int roverIndex;
    bool found;
    Search(Node, prev, next, roverIndex, found);
    if (!found || prev != Node) throw Exception("Node not found");
    for (int j = 0; j < FRoverCount; ++j) {
        TRover& r = FRovers[size_t(j)];
        if (r.Node != Node) continue;
        if (Node == FLast) {
            r.Node = GetPrev(Node);
            --r.Index;
        } else r.Node = GetNext(Node);
    }
    if (roverIndex >= 0)
        for (int j = roverIndex; j < FRoverCount; ++j) --FRovers[size_t(j)].Index;
    TOvcDoubleLinkManager::DeleteNode(Node);
    Balance();
}

void TOvcSortedDoubleLinkManager::Balance() {
    FPendingInserts = 0;
    FRoverCount = FCount < 3 ? 0 : std::min((FCount - 1) / 2, FMaxRovers);
    if (FRoverCount == 0) return;
    int step = (FCount - 1) / FRoverCount;
    TOvcDoubleLinkNode node = FFirst;
    int pos = 0;
    for (int j = 0; j < FRoverCount; ++j) {
        int target = std::clamp(step * (j + 1) - step / 2, 0, FCount - 1);
        for (; pos < target; ++pos) node = GetNext(node);
        FRovers[size_t(j)] = {pos, node};
    }
}

// --- TOvcPoolManager ---

TOvcPoolManager::TOvcPoolManager(size_t ItemSize) {
    if (ItemSize > ItemArea) throw Exception("PoolManager does not support items > 4K");
    constexpr size_t unit = sizeof(void*);
    FItemSize = (std::max<size_t>(ItemSize, 1) + unit - 1) / unit * unit;
    FItemsPerPage = ItemArea / FItemSize;
}

TOvcPoolManager::~TOvcPoolManager() { Clear(); }

namespace {
unsigned char*& NextPage(unsigned char* Page) {
    return *reinterpret_cast<unsigned char**>(Page + TOvcPoolManager::ItemArea);
}
}  // namespace

void TOvcPoolManager::NewPage() {
    auto* page = new unsigned char[PageSize]();
    if (FLastPage) NextPage(FLastPage) = page;
    else FFirstPage = page;
    FLastPage = page;
    FNextFree = page;
    FAreaEnd = page + FItemsPerPage * FItemSize;
}

void* TOvcPoolManager::NewItem() {
    if (FFreeList) {
        void* item = FFreeList;
        FFreeList = *static_cast<void**>(item);
        std::memset(item, 0, FItemSize);
        return item;
    }
    if (!FLastPage || FNextFree + FItemSize > FAreaEnd) NewPage();
    void* item = FNextFree;
    FNextFree += FItemSize;
    return item;
}

void TOvcPoolManager::DeleteItem(void* Item) {
    *static_cast<void**>(Item) = FFreeList;
    FFreeList = Item;
}

void TOvcPoolManager::Clear() {
    for (unsigned char* page = FFirstPage; page;) {
        unsigned char* next = NextPage(page);
        delete[] page;
        page = next;
    }
    FFirstPage = FLastPage = FNextFree = FAreaEnd = nullptr;
    FFreeList = nullptr;
}

int TOvcPoolManager::PageCount() const {
    int n = 0;
    for (unsigned char* page = FFirstPage; page; page = NextPage(page)) ++n;
    return n;
}

// --- TOvcList ---

TOvcList::TOvcList(bool Large)
    : FList(std::make_unique<TOvcSortedDoubleLinkManager>(
          Large ? 512 : 32, 0,
          [this](TOvcDoubleLinkNode A, TOvcDoubleLinkNode B, int Key) { return ListComp(A, B, Key); }, 0)) {}

TOvcList::~TOvcList() = default;

int TOvcList::ListComp(TOvcDoubleLinkNode Node1, TOvcDoubleLinkNode Node2, int) const {
    if (Node1 == Node2) return 0;
    auto a = reinterpret_cast<intptr_t>(NodeData(Node1)), b = reinterpret_cast<intptr_t>(NodeData(Node2));
    if (a != b) return a < b ? -1 : 1;
    if (FSearching) return 0;
    auto na = reinterpret_cast<uintptr_t>(Node1), nb = reinterpret_cast<uintptr_t>(Node2);
    return na < nb ? -1 : 1;
}

TOvcDoubleLinkNode TOvcList::NewNode() {
    if (!FPool) FPool = std::make_unique<TOvcPoolManager>(FNodeSize);
    return FPool->NewItem();
}

void TOvcList::FreeNode(TOvcDoubleLinkNode Node) { FPool->DeleteItem(Node); }

void* TOvcList::GetItems(int Index) { return NodeData(FList->GetNode(Index)); }
void* TOvcList::GetUserData(int Index) { return NodeUserData(FList->GetNode(Index)); }
void TOvcList::SetUserData(int Index, void* Data) { NodeUserData(FList->GetNode(Index)) = Data; }
TOvcDoubleLinkNode TOvcList::GetNode(int Index) { return FList->GetNode(Index); }

void TOvcList::SetAllUserData(void* Data) {
    for (TOvcDoubleLinkNode n = FList->First(); n; n = FList->GetNext(n)) NodeUserData(n) = Data;
}

int TOvcList::IndexOf(void* P) {
    std::vector<void*> probe(FNodeSize / sizeof(void*));
    probe[0] = P;
    return Searching([&] { return FList->FindIndex(probe.data()); });
}

TOvcDoubleLinkNode TOvcList::Add(void* P) {
    TOvcDoubleLinkNode node = NewNode();
    NodeData(node) = P;
    try {
        FList->Insert(node);
    } catch (...) {
        FreeNode(node);
        throw;
    }
    return node;
}

TOvcDoubleLinkNode TOvcList::AddObject(void* P, void* Data) {
    TOvcDoubleLinkNode node = Add(P);
    NodeUserData(node) = Data;
    return node;
}

TOvcDoubleLinkNode TOvcList::AddIfUnique(void* P) { return IndexOf(P) >= 0 ? nullptr : Add(P); }

void TOvcList::Delete(int Index) {
    TOvcDoubleLinkNode node = FList->GetNode(Index);
    FList->DeleteNode(node);
    FreeNode(node);
}

void TOvcList::Clear() {
    FList->Clear();
    FPool.reset();
}

// --- TOvcSortedList ---

TOvcSortedList::TOvcSortedList(int KeyCount, TCompare Compare, bool Large)
    : TOvcList(Large), FCompare(std::move(Compare)), FKeyCount(KeyCount) {
    if (KeyCount > MaxKeys) throw Exception("Too many keys in list");
    FKeyCount = std::max(KeyCount, 0);
    FNodeSize = (4 + 2 * size_t(FKeyCount)) * sizeof(void*);
    for (int k = 0; k < FKeyCount; ++k)
        FKeys.push_back(std::make_unique<TOvcSortedDoubleLinkManager>(
            Large ? 512 : 32, k + 1,
            [this](TOvcDoubleLinkNode A, TOvcDoubleLinkNode B, int Key) { return MultiComp(A, B, Key); }, k));
}

TOvcSortedList::~TOvcSortedList() = default;

int TOvcSortedList::MultiComp(TOvcDoubleLinkNode Node1, TOvcDoubleLinkNode Node2, int Key) const {
    if (Node1 == Node2) return 0;
    int r = FCompare ? FCompare(Key, NodeData(Node1), NodeData(Node2)) : 0;
    return r != 0 || FValueSearch ? r : ListComp(Node1, Node2, Key);
}

TOvcSortedDoubleLinkManager* TOvcSortedList::Current() const {
    return FCurrentKey < 0 ? FList.get() : FKeys[size_t(FCurrentKey)].get();
}

void TOvcSortedList::SetCurrentKey(int Key) {
    if (Key < -1 || Key >= FKeyCount) throw Exception("Key number out of range");
    FCurrentKey = Key;
}

void* TOvcSortedList::GetItems(int Index) { return NodeData(Current()->GetNode(Index)); }
void* TOvcSortedList::GetUserData(int Index) { return NodeUserData(Current()->GetNode(Index)); }
void TOvcSortedList::SetUserData(int Index, void* Data) { NodeUserData(Current()->GetNode(Index)) = Data; }

int TOvcSortedList::IndexOf(void* P) {
    int base = TOvcList::IndexOf(P);
    if (base < 0 || FCurrentKey < 0) return base;
    return Current()->FindIndex(FList->GetNode(base));
}

int TOvcSortedList::IndexOfValue(void* P) {
    if (FCurrentKey < 0) return TOvcList::IndexOf(P);
    std::vector<void*> probe(FNodeSize / sizeof(void*));
    probe[0] = P;
    struct TRestore {
        bool& Flag;
        ~TRestore() { Flag = false; }
    } restore{FValueSearch};
    FValueSearch = true;
    return Current()->FindIndex(probe.data());
}

TOvcDoubleLinkNode TOvcSortedList::Add(void* P) {
    TOvcDoubleLinkNode node = TOvcList::Add(P);
    int done = 0;
    try {
        for (; done < FKeyCount; ++done) FKeys[size_t(done)]->Insert(node);
    } catch (...) {
        // A compare that raises leaves the list as it was.
        for (int k = 0; k < done; ++k) FKeys[size_t(k)]->DeleteNode(node);
        FList->DeleteNode(node);
        FreeNode(node);
        throw;
    }
    return node;
}

void TOvcSortedList::Delete(int Index) {
    if (Index < 0 || Index >= GetCount()) throw Exception("List index out of bounds");
    TOvcDoubleLinkNode node = Current()->GetNode(Index);
    for (auto& key : FKeys) key->DeleteNode(node);
    FList->DeleteNode(node);
    FreeNode(node);
}
