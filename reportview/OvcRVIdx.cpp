#include "reportview/OvcRVIdx.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/Format.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcFiler.h"

ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvField, TOvcCollectible)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvFields, TOvcCollection)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvViewField, TOvcCollectible)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvViewFields, TOvcCollection)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvView, TOvcCollectible)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractRvViews, TOvcCollection)
ZELMOR_IMPLEMENT_CLASS(TOvcAbstractReportView, TOvcCustomControlEx)

namespace {

// The texts of the engine's errors in the library's string table.
enum : uint16_t {
    SViewFieldNotFound = 30376,
    SCantResolveField = 30377,
    SItemAlreadyExists = 30378,
    SAlreadyInTempMode = 30379,
    SItemNotFound = 30380,
    SUpdatePending = 30381,
    SOnCompareNotAsgnd = 30382,
    SOnFilterNotAsgnd = 30383,
    SGetAsFloatNotAsg = 30384,
    SNotInTempMode = 30385,
    SNoActiveView = 30388,
    SItemIsNotGroup = 30389,
    SNotMultiSelect = 30390,
    SInvalidIndex = 30391,
    SUnknownView = 30392,
};

// Comparisons answer any int32; only the sign counts (and -INT32_MIN does not exist).
int Sign(int Value) { return (Value > 0) - (Value < 0); }

int Magnitude(int Value) { return Value < 0 ? (Value == INT32_MIN ? INT32_MAX : -Value) : Value; }

AnsiString IndexKey(const AnsiString& ViewName, int SortColumn) {
    return Format("%s%%%d", {ViewName, Magnitude(SortColumn)});
}

bool IsGroupOf(const TOvcRvIndexGroup* Group, const TOvcRvIndexGroup* Ancestor) {
    for (const TOvcRvIndexGroup* g = Group; g; g = g->Parent())
        if (g == Ancestor) return true;
    return false;
}

}  // namespace

int TOvcRvViewShape::GroupCount() const {
    int n = 0;
    while (n < ShapeFieldCount() && ShapeGroupBy(n)) ++n;
    return n;
}

// --- the queues ---

void TOvcRvQueue::Add(void* Data) {
    if (!Set.insert(Data).second) return;
    Items.push_back(Data);
    Marks.push_back(0);
}

void TOvcRvQueue::Remove(void* Data) {
    if (!Set.erase(Data)) return;
    for (size_t i = Items.size(); i-- > 0;)
        if (Items[i] == Data) {
            Items.erase(Items.begin() + ptrdiff_t(i));
            Marks.erase(Marks.begin() + ptrdiff_t(i));
            return;
        }
}

void TOvcRvQueue::Clear() {
    Items.clear();
    Marks.clear();
    Set.clear();
}

// --- groups ---

TOvcRvIndexGroup::TOvcRvIndexGroup(TRvIndex* Index, TOvcRvIndexGroup* Parent, int Level,
                                   TOvcRvViewShape* View)
    : FParent(Parent), FIndex(Index), FLevel(Level < 0 ? 0 : Level), FView(View) {
    if (FLevel > 0) FKeyField = View->ShapeFieldIndex(FLevel - 1);
    FHasSubGroups = FLevel < View->ShapeFieldCount() && View->ShapeGroupBy(FLevel);
}

// A group freed is out of its parent's books already (or its parent goes
// too): it frees its sub-groups and never writes through its parent.
TOvcRvIndexGroup::~TOvcRvIndexGroup() {
    if (FHasSubGroups)
        for (void* e : FElements) delete static_cast<TOvcRvIndexGroup*>(e);
}

void TOvcRvIndexGroup::Clear() {
    if (FHasSubGroups)
        for (void* e : FElements) delete static_cast<TOvcRvIndexGroup*>(e);
    FElements.clear();
    FByKey.clear();
    FGoing.clear();
    OrderChanged();
    TouchContent();
}

TOvcRvIndexGroup* TOvcRvIndexGroup::GetGroup(int Index) const {
    return FHasSubGroups ? static_cast<TOvcRvIndexGroup*>(FElements.at(size_t(Index))) : nullptr;
}

void TOvcRvIndexGroup::TouchLines() {
    for (TOvcRvIndexGroup* g = this; g; g = g->FParent) {
        g->FLines = -1;
        g->FPrefixValid = false;
    }
}

void TOvcRvIndexGroup::TouchContent() {
    for (TOvcRvIndexGroup* g = this; g; g = g->FParent) {
        g->FLines = -1;
        g->FPrefixValid = false;
        g->FItemCount = -1;
        g->FTotals.clear();
    }
}

void TOvcRvIndexGroup::OrderChanged() {
    FPrefixValid = false;
    FPositionsValid = false;
}

void TOvcRvIndexGroup::SetExpanded(bool Value) {
    if (FExpanded == Value) return;
    if (Value && FParent && !FParent->FExpanded) FParent->SetExpanded(true);
    FExpanded = Value;
    TouchLines();
}

void TOvcRvIndexGroup::ExpandAll(bool Value) {
    SetExpanded(Value);
    if (FHasSubGroups)
        for (void* e : FElements) static_cast<TOvcRvIndexGroup*>(e)->ExpandAll(Value);
}

int TOvcRvIndexGroup::FindData(void* Data) {
    if (!FHasSubGroups) return PositionOf(Data);
    for (int i = 0; i < GetCount(); ++i)
        if (GetGroup(i)->GetData() == Data) return i;
    return -1;
}

void* TOvcRvIndexGroup::GetData() const {
    const TOvcRvIndexGroup* g = this;
    while (!g->FElements.empty()) {
        if (!g->FHasSubGroups) return g->FElements.front();
        g = static_cast<const TOvcRvIndexGroup*>(g->FElements.front());
    }
    return nullptr;
}

int TOvcRvIndexGroup::GetItemCount() {
    if (FItemCount < 0) {
        if (!FHasSubGroups) FItemCount = GetCount();
        else {
            int n = 0;
            for (void* e : FElements) n += static_cast<TOvcRvIndexGroup*>(e)->GetItemCount();
            FItemCount = n;
        }
    }
    return FItemCount;
}

double TOvcRvIndexGroup::GetTotal(int FieldIndex) {
    const uint64_t epoch = FIndex->FOwner->FValuesEpoch;
    if (FTotalsEpoch != epoch) {
        FTotals.clear();
        FTotalsEpoch = epoch;
    }
    auto it = FTotals.find(FieldIndex);
    if (it != FTotals.end()) return it->second;
    double total = 0;
    if (FHasSubGroups)
        for (void* e : FElements) total += static_cast<TOvcRvIndexGroup*>(e)->GetTotal(FieldIndex);
    else
        for (void* e : FElements) total += FIndex->FOwner->Host().DoGetFieldAsFloat(e, FieldIndex);
    FTotals[FieldIndex] = total;
    return total;
}

int TOvcRvIndexGroup::GetLines() {
    if (FLines < 0) {
        int n = 1;
        if (FExpanded) {
            if (FHasSubGroups)
                for (void* e : FElements) n += static_cast<TOvcRvIndexGroup*>(e)->GetLines();
            else n += GetCount();
        }
        FLines = n;
    }
    return FLines;
}

const std::vector<int>& TOvcRvIndexGroup::Prefix() {
    if (!FPrefixValid) {
        FPrefix.assign(FElements.size() + 1, 0);
        for (size_t i = 0; i < FElements.size(); ++i)
            FPrefix[i + 1] =
                FPrefix[i] + (FHasSubGroups ? static_cast<TOvcRvIndexGroup*>(FElements[i])->GetLines() : 1);
        FPrefixValid = true;
    }
    return FPrefix;
}

int TOvcRvIndexGroup::PositionOf(void* Element) {
    // A handful of elements are quicker to scan than to map.
    if (FElements.size() <= 16) {
        for (size_t i = 0; i < FElements.size(); ++i)
            if (FElements[i] == Element) return static_cast<int>(i);
        return -1;
    }
    if (!FPositionsValid) {
        FPositions.clear();
        FPositions.reserve(FElements.size());
        for (size_t i = 0; i < FElements.size(); ++i) FPositions.emplace(FElements[i], static_cast<int>(i));
        FPositionsValid = true;
    }
    auto it = FPositions.find(Element);
    return it == FPositions.end() ? -1 : it->second;
}

// --- indexes ---

TRvIndex::TRvIndex(TOvcRvEngine* Owner, TOvcRvViewShape* View, int SortColumn) : FOwner(Owner), FView(View) {
    SetSortColumn(SortColumn);
    FRoot = std::make_unique<TOvcRvIndexGroup>(this, nullptr, 0, View);
    FRoot->FExpanded = true;
}

TRvIndex::~TRvIndex() {
    if (FOwner->FActive == this) FOwner->FActive = nullptr;
}

void TRvIndex::SetSortColumn(int Column) {
    auto unsorted = [this] {
        FSortColumn = 0;
        FSortViewField = -1;
        FSortByTotals = false;
        FSortField = -1;
    };
    if (Column == 0) return unsorted();
    TOvcRvEngineHost& host = FOwner->Host();
    FSortColumn = Column;
    FSortViewField = Magnitude(Column) - 1;
    const int count = FView->ShapeFieldCount();
    if (count > 0 && FSortViewField < count && !host.RvFieldCanSort(FView->ShapeFieldIndex(FSortViewField))) {
        int found = -1;
        for (int i = 0; i < count && found < 0; ++i)
            if (host.RvFieldCanSort(FView->ShapeFieldIndex(i))) found = i;
        if (found < 0) return unsorted();
        FSortViewField = found;
        FSortColumn = found + 1;
    }
    if (FSortViewField < count) {
        FSortByTotals = FView->ShapeComputeTotals(FSortViewField);
        FSortField = FView->ShapeFieldIndex(FSortViewField);
    } else {
        FSortByTotals = false;
        FSortField = -1;
    }
}

void TRvIndex::ClearData() {
    FRoot->Clear();
    FItemMap.clear();
    FPending.clear();
}

TOvcRvIndexGroup* TRvIndex::LeafOf(void* Data) const {
    auto it = FItemMap.find(Data);
    return it == FItemMap.end() ? nullptr : it->second;
}

void TRvIndex::MakeVisible(void* Data) {
    if (TOvcRvIndexGroup* leaf = LeafOf(Data)) leaf->ExpandAll(true);
}

void TRvIndex::Register(TOvcRvIndexGroup* Group) {
    if (Group->FPending) return;
    Group->FPending = true;
    FPending.push_back(Group);
}

void TRvIndex::ProcessDeletes(TOvcRvQueue& List) {
    // Each item leaves its leaf at once as far as the bookkeeping goes; the
    // element lists are compacted once at the end, so taking many items out
    // of one large group costs one pass over it.
    std::vector<TOvcRvIndexGroup*> touched;
    bool anyDead = false;
    for (int i = List.Count() - 1; i >= 0; --i) {
        if (List.Marks[size_t(i)] != 1) continue;
        void* item = List.Items[size_t(i)];
        auto it = FItemMap.find(item);
        if (it == FItemMap.end()) continue;
        TOvcRvIndexGroup* g = it->second;
        FItemMap.erase(it);
        void* removed = item;
        while (true) {
            if (g->FGoing.empty()) touched.push_back(g);
            g->FGoing.insert(removed);
            g->TouchContent();
            if (g->FGoing.size() < g->FElements.size()) {
                for (TOvcRvIndexGroup* p = g; p; p = p->FParent) Register(p);
                break;
            }
            // Emptied: it leaves the pending groups and, but for the root, its parent.
            g->FPending = false;
            if (!g->FParent) break;
            g->FDead = true;
            anyDead = true;
            removed = g;
            g = g->FParent;
        }
    }
    if (anyDead) std::erase_if(FPending, [](const TOvcRvIndexGroup* g) { return g->FDead; });
    for (TOvcRvIndexGroup* g : touched) {
        if (g->FDead) continue;
        auto going = [g](void* e) { return g->FGoing.contains(e); };
        std::erase_if(g->FElements, going);
        if (g->FHasSubGroups) std::erase_if(g->FByKey, [&](TOvcRvIndexGroup* s) { return going(s); });
        g->FGoing.clear();
        g->OrderChanged();
    }
    // Children go before their parents, each on its own (its sub-groups
    // died with it), so no group outlives the parent it points to.
    std::vector<TOvcRvIndexGroup*> dead;
    for (TOvcRvIndexGroup* g : touched)
        if (g->FDead) dead.push_back(g);
    std::stable_sort(dead.begin(), dead.end(), [](const TOvcRvIndexGroup* A, const TOvcRvIndexGroup* B) {
        return A->FLevel > B->FLevel;
    });
    for (TOvcRvIndexGroup* g : dead) {
        g->FElements.clear();
        delete g;
    }
}

void TRvIndex::ProcessUpdates(TOvcRvQueue& List) {
    TOvcRvEngineHost& host = FOwner->Host();
    for (int i = List.Count() - 1; i >= 0; --i) {
        int& mark = List.Marks[size_t(i)];
        if (mark != 2) continue;
        void* item = List.Items[size_t(i)];
        TOvcRvIndexGroup* leaf = LeafOf(item);
        bool stays = false;
        if (leaf == FRoot.get()) stays = true;
        else if (leaf->GetCount() > 1) {
            // The first other element tells: one that differs on the key of
            // any level of the path means the item left its heading; an equal
            // one that did not change itself means it is still in place.
            for (void* e : leaf->FElements) {
                if (e == item) continue;
                bool differs = false;
                for (TOvcRvIndexGroup* g = leaf; g->FLevel > 0 && !differs; g = g->FParent)
                    differs = host.DoCompareFields(item, e, g->FKeyField) != 0;
                if (differs) break;
                if (!List.Contains(e)) {
                    stays = true;
                    break;
                }
            }
        }
        if (stays) {
            mark = 0;
            Register(leaf);
        } else mark = 1;
    }
}

void TRvIndex::ProcessAdds(TOvcRvQueue& List) {
    std::vector<TCandidate> candidates;
    for (int i = 0; i < List.Count(); ++i) {
        int& mark = List.Marks[size_t(i)];
        if (mark < 1) continue;
        mark = 0;
        if (!FItemMap.contains(List.Items[size_t(i)]))
            candidates.push_back({List.Items[size_t(i)], size_t(i)});
    }
    if (!candidates.empty()) Claim(FRoot.get(), candidates);
}

TOvcRvIndexGroup* TRvIndex::FindSubGroup(TOvcRvIndexGroup* Group, int Key, void* Item, size_t& Insert) {
    TOvcRvEngineHost& host = FOwner->Host();
    size_t lo = 0, hi = Group->FByKey.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        int r = host.DoCompareFields(Item, Group->FByKey[mid]->GetData(), Key);
        if (r == 0) return Group->FByKey[mid];
        if (r < 0) hi = mid;
        else lo = mid + 1;
    }
    Insert = lo;
    return nullptr;
}

void TRvIndex::Claim(TOvcRvIndexGroup* Group, std::vector<TCandidate>& Candidates) {
    if (!Group->FHasSubGroups) {
        for (size_t k = Candidates.size(); k-- > 0;) {
            Group->FElements.push_back(Candidates[k].Item);
            FItemMap[Candidates[k].Item] = Group;
        }
        Group->TouchContent();
        Group->OrderChanged();
        Register(Group);
        return;
    }
    TOvcRvEngineHost& host = FOwner->Host();
    const int key = FView->ShapeFieldIndex(Group->FLevel);
    // The candidates equal to an existing sub-group go to it; the others make new ones.
    std::unordered_map<TOvcRvIndexGroup*, std::vector<TCandidate>> existing;
    std::vector<TOvcRvIndexGroup*> touched;
    std::vector<TCandidate> fresh;
    for (const TCandidate& c : Candidates) {
        size_t insert = 0;
        if (TOvcRvIndexGroup* sub = FindSubGroup(Group, key, c.Item, insert)) {
            auto& list = existing[sub];
            if (list.empty()) touched.push_back(sub);
            list.push_back(c);
        } else fresh.push_back(c);
    }
    // Existing sub-groups take theirs from the last to the first.
    std::sort(touched.begin(), touched.end(), [&](TOvcRvIndexGroup* a, TOvcRvIndexGroup* b) {
        return Group->PositionOf(a) > Group->PositionOf(b);
    });
    for (TOvcRvIndexGroup* sub : touched) Claim(sub, existing[sub]);
    if (!fresh.empty()) {
        std::stable_sort(fresh.begin(), fresh.end(), [&](const TCandidate& a, const TCandidate& b) {
            return host.DoCompareFields(a.Item, b.Item, key) < 0;
        });
        struct TRun {
            size_t First, Last, Latest;
        };
        std::vector<TRun> runs;
        for (size_t k = 0; k < fresh.size(); ++k) {
            if (runs.empty() || host.DoCompareFields(fresh[runs.back().First].Item, fresh[k].Item, key) != 0)
                runs.push_back({k, k, fresh[k].Order});
            runs.back().Last = k;
            runs.back().Latest = std::max(runs.back().Latest, fresh[k].Order);
        }
        // A new group is made for the last item not yet placed, and so on back.
        std::sort(runs.begin(), runs.end(), [](const TRun& a, const TRun& b) { return a.Latest > b.Latest; });
        for (const TRun& run : runs) {
            std::vector<TCandidate> members(fresh.begin() + ptrdiff_t(run.First),
                                            fresh.begin() + ptrdiff_t(run.Last + 1));
            std::sort(members.begin(), members.end(),
                      [](const TCandidate& a, const TCandidate& b) { return a.Order < b.Order; });
            auto* sub = new TOvcRvIndexGroup(this, Group, Group->FLevel + 1, FView);
            Group->FElements.push_back(sub);
            Group->OrderChanged();
            Group->TouchContent();
            Claim(sub, members);
            size_t insert = 0;
            FindSubGroup(Group, key, sub->GetData(), insert);
            Group->FByKey.insert(Group->FByKey.begin() + ptrdiff_t(insert), sub);
        }
    }
    Register(Group);
}

int TRvIndex::CompareElements(TOvcRvIndexGroup* Group, void* E1, void* E2) {
    TOvcRvEngineHost& host = FOwner->Host();
    void* d1 = E1;
    void* d2 = E2;
    auto* g1 = static_cast<TOvcRvIndexGroup*>(E1);
    auto* g2 = static_cast<TOvcRvIndexGroup*>(E2);
    if (Group->FHasSubGroups) {
        d1 = g1->GetData();
        d2 = g2->GetData();
    }
    int r;
    if (!FSortByTotals) r = Sign(host.DoCompareFields(d1, d2, FSortField));
    else {
        double v1 = Group->FHasSubGroups ? g1->GetTotal(FSortField) : host.DoGetFieldAsFloat(E1, FSortField);
        double v2 = Group->FHasSubGroups ? g2->GetTotal(FSortField) : host.DoGetFieldAsFloat(E2, FSortField);
        r = v1 < v2 ? -1 : (v1 > v2 ? 1 : 0);
    }
    const int fields = host.RvFieldCount();
    for (int i = 0; r == 0 && i < fields; ++i)
        if (i != FSortField) r = Sign(host.DoCompareFields(d1, d2, i));
    return FSortColumn < 0 ? -r : r;
}

void TRvIndex::SortGroup(TOvcRvIndexGroup* Group) {
    if (FView->ShapeFieldCount() == 0 || FSortField < 0) return;
    std::vector<void*>& a = Group->FElements;
    const int n = static_cast<int>(a.size());
    Group->OrderChanged();
    int h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (int i = h; i < n; ++i) {
            void* v = a[size_t(i)];
            int j = i;
            try {
                while (j >= h && CompareElements(Group, a[size_t(j - h)], v) > 0) {
                    a[size_t(j)] = a[size_t(j - h)];
                    j -= h;
                }
            } catch (...) {
                // The element in hand goes back into the hole: the group keeps every element.
                a[size_t(j)] = v;
                throw;
            }
            a[size_t(j)] = v;
        }
    } while (h > 1);
}

void TRvIndex::SortPending() {
    const bool sorted = FSortViewField != -1;
    // Entries that left the pending groups (an emptied root) are passed over.
    if (sorted) {
        // Every ancestor of a pending group becomes pending too.
        for (size_t j = FPending.size(); j-- > 0;)
            if (FPending[j]->FPending)
                for (TOvcRvIndexGroup* p = FPending[j]->FParent; p && !p->FPending; p = p->FParent)
                    Register(p);
    }
    // Taken from the end: after an update parents come before their
    // children, after SortAll children before their parents.
    std::vector<TOvcRvIndexGroup*> pending;
    pending.swap(FPending);
    try {
        for (size_t k = pending.size(); k-- > 0;) {
            TOvcRvIndexGroup* g = pending[k];
            if (!g->FPending) continue;
            if (sorted) SortGroup(g);
            g->FPending = false;
        }
    } catch (...) {
        for (TOvcRvIndexGroup* g : pending) g->FPending = false;
        throw;
    }
}

void TRvIndex::SortAll(TOvcRvIndexGroup* Group) {
    Register(Group);
    if (Group->FHasSubGroups)
        for (void* e : Group->FElements) SortAll(static_cast<TOvcRvIndexGroup*>(e));
}

void TRvIndex::ReverseAll(TOvcRvIndexGroup* Group) {
    if (Group->FHasSubGroups)
        for (void* e : Group->FElements) ReverseAll(static_cast<TOvcRvIndexGroup*>(e));
    std::reverse(Group->FElements.begin(), Group->FElements.end());
    Group->OrderChanged();
}

// --- the engine ---

struct TOvcRvEngine::TBusy {
    explicit TBusy(TOvcRvEngine& E) : Engine(E) { ++Engine.FBusy; }
    ~TBusy() { --Engine.FBusy; }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
    TOvcRvEngine& Engine;
};

TOvcRvEngine::TOvcRvEngine(TOvcRvEngineHost& Host) : FHost(Host) {}

TOvcRvEngine::~TOvcRvEngine() {
    FTemporary.reset();
    FIndexes.clear();
}

void TOvcRvEngine::AppendItem(void* Data) {
    FAllPos.emplace(Data, FAllSlots.size());
    FAllSlots.push_back(Data);
    FAllLive.push_back(true);
    ++FAllCount;
}

void TOvcRvEngine::DropItem(void* Data) {
    auto it = FAllPos.find(Data);
    FAllLive[it->second] = false;
    FAllPos.erase(it);
    --FAllCount;
    // Holes are closed once they are the larger part.
    if (FAllSlots.size() > 64 && FAllCount * 2 < FAllSlots.size()) {
        std::vector<void*> slots;
        slots.reserve(FAllCount);
        for (size_t i = 0; i < FAllSlots.size(); ++i)
            if (FAllLive[i]) slots.push_back(FAllSlots[i]);
        FAllSlots.swap(slots);
        FAllLive.assign(FAllSlots.size(), true);
        for (size_t i = 0; i < FAllSlots.size(); ++i) FAllPos[FAllSlots[i]] = i;
    }
}

std::vector<void*> TOvcRvEngine::AllItems() const {
    std::vector<void*> items;
    items.reserve(FAllCount);
    for (size_t i = 0; i < FAllSlots.size(); ++i)
        if (FAllLive[i]) items.push_back(FAllSlots[i]);
    return items;
}

void TOvcRvEngine::AddDataPrim(void* Data) {
    if (Contains(Data)) throw EItemAlreadyAdded(SItemAlreadyExists, {Data});
    AppendItem(Data);
    FAdditions.Add(Data);
    if (FUpdateDepth == 0) UpdateIndex();
}

void TOvcRvEngine::ChangeDataPrim(void* Data) {
    if (FAdditions.Contains(Data) || FRemovals.Contains(Data)) return;
    if (!Contains(Data)) throw EItemNotFound(SItemNotFound, {Data});
    FChanges.Add(Data);
    if (FUpdateDepth == 0) UpdateIndex();
}

void TOvcRvEngine::RemoveDataPrim(void* Data) {
    if (!Contains(Data)) throw EItemNotFound(SItemNotFound, {Data});
    DropItem(Data);
    FSelected.erase(Data);
    FAdditions.Remove(Data);
    FChanges.Remove(Data);
    FRemovals.Add(Data);
    if (FUpdateDepth == 0) UpdateIndex();
}

void TOvcRvEngine::EndUpdateIndex() {
    if (FUpdateDepth > 0) --FUpdateDepth;
    if (FUpdateDepth == 0) UpdateIndex();
}

void TOvcRvEngine::ClearIndex() {
    for (TCachedIndex& cached : FIndexes) cached.Index->ClearData();
    if (FTemporary) FTemporary->ClearData();
    FSortColumn = 1;
    FAllSlots.clear();
    FAllLive.clear();
    FAllPos.clear();
    FAllCount = 0;
    FSelected.clear();
    if (FUpdateDepth == 0) FHost.DoLinesChanged(0, -1);
}

void TOvcRvEngine::ClearIndexList() {
    FTemporary.reset();
    FSaved = nullptr;
    FIndexes.clear();
    FActive = nullptr;
    FActiveName.clear();
}

void TOvcRvEngine::CheckUpdate() const {
    if (FUpdateDepth > 0) throw EUpdatePending(SUpdatePending);
}

TOvcRvViewShape* TOvcRvEngine::FindView(const AnsiString& ViewName) const {
    TOvcRvViewShape* view = FHost.RvFindView(ViewName);
    if (!view) throw EUnknownView(SUnknownView, {ViewName});
    return view;
}

TRvIndex* TOvcRvEngine::FindIndex(const AnsiString& ViewName, int SortColumn) {
    TOvcRvViewShape* view = FindView(ViewName);
    if (Magnitude(SortColumn) > view->ShapeFieldCount()) SortColumn = 1;
    const int column = Magnitude(SortColumn);
    for (const TCachedIndex& cached : FIndexes)
        if (cached.View == view && cached.Column == column) return cached.Index.get();
    FIndexes.push_back({view, column, std::make_unique<TRvIndex>(this, view, column)});
    return FIndexes.back().Index.get();
}

void TOvcRvEngine::SetActiveIndexerView(const AnsiString& ViewName) {
    CheckUpdate();
    if (ViewName == FActiveName) return;
    FHost.DoLinesWillChange();
    {
        TBusy busy(*this);
        TRvIndex* index = ViewName.empty() ? nullptr : FindIndex(ViewName, FSortColumn);
        FActiveName = ViewName;
        FActive = index;
        if (index) {
            FSortColumn = index->SortColumn();
            if (index->Root()->GetCount() == 0 && FAllCount > 0) {
                PopulateIndex(index);
                index->SortPending();
            }
        }
        if (FAllCount == 0) DeleteInactiveIndexes(FActive);
    }
    FHost.DoLinesChanged(0, -1);
}

void TOvcRvEngine::EraseIndexes(const std::function<bool(const TCachedIndex&)>& Which) {
    std::erase_if(FIndexes, [&](const TCachedIndex& cached) {
        if (!Which(cached)) return false;
        if (FSaved == cached.Index.get()) FSaved = nullptr;
        return true;
    });
}

void TOvcRvEngine::DeleteInactiveIndexes(TRvIndex* Keep) {
    EraseIndexes([Keep](const TCachedIndex& cached) { return cached.Index.get() != Keep; });
}

void TOvcRvEngine::DeleteViewIndexes(const AnsiString& ViewName) {
    if (TOvcRvViewShape* view = FHost.RvFindView(ViewName)) DeleteViewIndexes(view);
}

void TOvcRvEngine::DeleteViewIndexes(TOvcRvViewShape* View) {
    EraseIndexes([View](const TCachedIndex& cached) { return cached.View == View; });
}

std::vector<TRvIndex*> TOvcRvEngine::IndexesInKeyOrder() const {
    std::vector<std::pair<AnsiString, TRvIndex*>> keyed;
    keyed.reserve(FIndexes.size());
    for (const TCachedIndex& cached : FIndexes)
        keyed.emplace_back(IndexKey(cached.View->ShapeName(), cached.Column), cached.Index.get());
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    std::vector<TRvIndex*> order;
    order.reserve(keyed.size());
    for (const auto& entry : keyed) order.push_back(entry.second);
    return order;
}

void TOvcRvEngine::PopulateIndex(TRvIndex* Index) {
    TBusy busy(*this);
    const int filter = Index->View()->ShapeFilterIndex();
    TOvcRvQueue all;
    for (void* item : AllItems()) {
        all.Items.push_back(item);
        all.Marks.push_back(filter == -1 || FHost.DoFilter(item, filter) ? 1 : 0);
    }
    Index->ProcessAdds(all);
}

void TOvcRvEngine::UpdateIndex() {
    if (FFindDepth == 0) FHost.DoLinesWillChange();
    try {
        TBusy busy(*this);
        for (TRvIndex* index : IndexesInKeyOrder()) {
            const int filter = index->View()->ShapeFilterIndex();
            // Removed items go first: an item is never compared once it was
            // removed (a plain view's user may have freed it already).
            std::fill(FRemovals.Marks.begin(), FRemovals.Marks.end(), 1);
            index->ProcessDeletes(FRemovals);
            TOvcRvQueue& changes = FChanges;
            // Changed items that the filter now rejects leave the index.
            if (filter != -1) {
                for (int i = 0; i < changes.Count(); ++i)
                    changes.Marks[size_t(i)] = FHost.DoFilter(changes.Items[size_t(i)], filter) ? 0 : 1;
                index->ProcessDeletes(changes);
            }
            for (int i = 0; i < changes.Count(); ++i) {
                int& mark = changes.Marks[size_t(i)];
                if (mark == 1) mark = 0;
                else if (TOvcRvIndexGroup* leaf = index->LeafOf(changes.Items[size_t(i)])) {
                    mark = 2;
                    leaf->TouchContent();
                } else mark = 3;
            }
            // Many changes against the index's size: take them all out and put them back.
            if (int64_t(changes.Count()) * 20 > index->ItemMapCount()) {
                for (int& mark : changes.Marks)
                    if (mark != 0) mark = 1;
            } else index->ProcessUpdates(changes);
            index->ProcessDeletes(changes);
            for (int& mark : changes.Marks)
                if (mark != 0) mark = 2;
            index->ProcessAdds(changes);
            for (int i = 0; i < FAdditions.Count(); ++i)
                FAdditions.Marks[size_t(i)] =
                    filter == -1 || FHost.DoFilter(FAdditions.Items[size_t(i)], filter) ? 1 : 0;
            index->ProcessAdds(FAdditions);
            index->SortPending();
        }
    } catch (...) {
        FAdditions.Clear();
        FRemovals.Clear();
        FChanges.Clear();
        throw;
    }
    FAdditions.Clear();
    FRemovals.Clear();
    FChanges.Clear();
    if (FAllCount == 0) DeleteInactiveIndexes(FActive);
    if (FFindDepth == 0) FHost.DoLinesChanged(0, -1);
}

int TOvcRvEngine::Find(void* Data) {
    int line = GetOffsetOfData(Data);
    // An item that is there but hidden or filtered out is not added a second time.
    if (line >= 0 || Contains(Data) || !FActive) return line;
    ++FFindDepth;
    try {
        AddDataPrim(Data);
        line = GetOffsetOfData(Data);
    } catch (...) {
        if (Contains(Data)) RemoveDataPrim(Data);
        --FFindDepth;
        throw;
    }
    try {
        RemoveDataPrim(Data);
    } catch (...) {
        --FFindDepth;
        throw;
    }
    --FFindDepth;
    return line;
}

void TOvcRvEngine::BeginTemporaryIndex(TRvEnumMode Mode) {
    if (FTemporary) throw EReportViewError(SAlreadyInTempMode);
    if (!FActive) throw ENoActiveView(SNoActiveView);
    TBusy busy(*this);
    auto temporary = std::make_unique<TRvIndex>(this, FActive->View(), FSortColumn);
    PopulateIndex(temporary.get());
    temporary->SortPending();
    if (Mode == emExpandAll) temporary->Root()->ExpandAll(true);
    else {
        temporary->Root()->ExpandAll(false);
        temporary->Root()->SetExpanded(true);
    }
    FSaved = FActive;
    FTemporary = std::move(temporary);
    FActive = FTemporary.get();
}

void TOvcRvEngine::EndTemporaryIndex() {
    if (!FTemporary) throw EReportViewError(SNotInTempMode);
    TBusy busy(*this);
    FTemporary.reset();
    FActive = FSaved;
    if (FActive) FSortColumn = FActive->SortColumn();
    FSaved = nullptr;
}

std::vector<AnsiString> TOvcRvEngine::IndexKeys() const {
    std::vector<AnsiString> keys;
    for (const TCachedIndex& cached : FIndexes)
        keys.push_back(IndexKey(cached.View->ShapeName(), cached.Column));
    std::sort(keys.begin(), keys.end());
    return keys;
}

void TOvcRvEngine::SetInternalSortColumn(int Column) {
    CheckUpdate();
    if (Column == FSortColumn) return;
    FHost.DoLinesWillChange();
    {
        TBusy busy(*this);
        if (FActive) {
            const bool reverse = Column == -FSortColumn;
            FActive->SetSortColumn(Column);
            FSortColumn = FActive->SortColumn();
            if (reverse) FActive->ReverseAll(FActive->Root());
            else {
                FActive->SortAll(FActive->Root());
                FActive->SortPending();
            }
        }
    }
    FHost.DoLinesChanged(0, -1);
    FHost.DoSortingChanged();
}

double TOvcRvEngine::Total(TOvcRvIndexGroup* GroupRef, int FieldIndex) {
    CheckUpdate();
    return GroupRef->GetTotal(FieldIndex);
}

TOvcRvIndexGroup* TOvcRvEngine::GetTotalRef() {
    CheckUpdate();
    if (!FActive) throw ENoActiveView(SNoActiveView);
    return FActive->Root();
}

void TOvcRvEngine::ExpandAll(bool Value) {
    if (!FActive) return;
    CheckUpdate();
    FHost.DoLinesWillChange();
    if (!Value) ExpansionChanged = true;
    FActive->Root()->ExpandAll(Value);
    FActive->Root()->SetExpanded(true);
    FHost.DoLinesChanged(-1, -1);
}

void TOvcRvEngine::SetExpanded(TOvcRvIndexGroup* GroupRef, bool Value) {
    if (!FActive) return;
    CheckUpdate();
    if (GroupRef->Expanded() == Value) return;
    FHost.DoLinesWillChange();
    ExpansionChanged = true;
    int before, after;
    {
        TBusy busy(*this);
        before = FActive->Root()->GetLines();
        GroupRef->SetExpanded(Value);
        after = FActive->Root()->GetLines();
    }
    FHost.DoLinesChanged(after - before, GetOffsetOfGroup(GroupRef));
}

bool TOvcRvEngine::GetExpanded(TOvcRvIndexGroup* GroupRef) {
    CheckUpdate();
    return GroupRef->Expanded();
}

void TOvcRvEngine::MakeVisible(void* Data) {
    if (!FActive) return;
    FHost.DoLinesWillChange();
    FActive->MakeVisible(Data);
    FHost.DoLinesChanged(-1, -1);
}

void TOvcRvEngine::InternalMakeVisible(void* Data) {
    if (FActive) FActive->MakeVisible(Data);
}

void TOvcRvEngine::CheckMultiSelect() const {
    if (!MultiSelect) throw ENotMultiSelect(SNotMultiSelect);
}

TOvcRvIndexGroup* TOvcRvEngine::TopSelected(TOvcRvIndexGroup* Group) const {
    TOvcRvIndexGroup* top = nullptr;
    for (TOvcRvIndexGroup* g = Group; g; g = g->Parent())
        if (g->Selected()) top = g;
    return top;
}

bool TOvcRvEngine::IsSelectedGroup(const TOvcRvIndexGroup* Group) const {
    for (const TOvcRvIndexGroup* g = Group; g; g = g->Parent())
        if (g->Selected()) return true;
    return false;
}

bool TOvcRvEngine::IsSelectedItem(void* Data) const {
    if (FSelected.contains(Data)) return true;
    return FActive && IsSelectedGroup(FActive->LeafOf(Data));
}

bool TOvcRvEngine::GetSelected(int Line) {
    CheckUpdate();
    CheckMultiSelect();
    TOvcRvIndexGroup* group = nullptr;
    void* item = nullptr;
    if (!Locate(Line, group, item)) return false;
    return group ? IsSelectedGroup(group) : IsSelectedItem(item);
}

void TOvcRvEngine::SelectOutside(TOvcRvIndexGroup* Top, const TOvcRvIndexGroup* KeepGroup, void* KeepItem) {
    std::vector<void*> items;
    Collect(Top, false, false, false, items);
    for (void* item : items) {
        if (item == KeepItem) continue;
        if (KeepGroup && IsGroupOf(FActive->LeafOf(item), KeepGroup)) continue;
        FSelected.insert(item);
    }
}

void TOvcRvEngine::SetSelected(int Line, bool Value) {
    CheckMultiSelect();
    CheckUpdate();
    TOvcRvIndexGroup* group = nullptr;
    void* item = nullptr;
    if (!Locate(Line, group, item)) throw ELineNoOutOfRange(SInvalidIndex, {Line});
    if (group) {
        if (Value) {
            group->SetSelectedFlag(true);
            return;
        }
        // A group that reads selected through a group above it: the groups
        // above lose their flags and their other items stay selected one by one.
        if (TOvcRvIndexGroup* top = TopSelected(group)) {
            SelectOutside(top, group, nullptr);
            for (TOvcRvIndexGroup* g = group; g != top->Parent(); g = g->Parent()) g->SetSelectedFlag(false);
        }
        return;
    }
    if (Value) {
        FSelected.insert(item);
        return;
    }
    FSelected.erase(item);
    TOvcRvIndexGroup* leaf = FActive->LeafOf(item);
    if (TOvcRvIndexGroup* top = TopSelected(leaf)) {
        SelectOutside(top, nullptr, item);
        for (TOvcRvIndexGroup* g = leaf; g != top->Parent(); g = g->Parent()) g->SetSelectedFlag(false);
    }
}

namespace {
void FlagAll(TOvcRvIndexGroup* Group, bool Value) {
    Group->SetSelectedFlag(Value);
    if (Group->HasSubGroups())
        for (int i = 0; i < Group->GetCount(); ++i) FlagAll(Group->GetGroup(i), Value);
}
}  // namespace

void TOvcRvEngine::InternalSelectAll(bool Value) {
    if (!FActive) return;
    FSelected.clear();
    if (Value)
        for (void* item : AllItems()) FSelected.insert(item);
    FlagAll(FActive->Root(), Value);
}

void TOvcRvEngine::SelectAll(bool Value) {
    if (!FActive) return;
    CheckUpdate();
    CheckMultiSelect();
    FHost.DoLinesWillChange();
    InternalSelectAll(Value);
    FHost.DoLinesChanged(-1, -1);
}

void TOvcRvEngine::ClearGroupSelections() {
    for (TCachedIndex& cached : FIndexes) FlagAll(cached.Index->Root(), false);
    if (FTemporary) FlagAll(FTemporary->Root(), false);
}

TOvcRvIndexGroup* TOvcRvEngine::CheckedActive() {
    CheckUpdate();
    if (!FActive) throw ENoActiveView(SNoActiveView);
    return FActive->Root();
}

bool TOvcRvEngine::Locate(int Line, TOvcRvIndexGroup*& Group, void*& Item) {
    Group = nullptr;
    Item = nullptr;
    if (!FActive) return false;
    TOvcRvIndexGroup* g = FActive->Root();
    if (Line < 0 || Line >= g->GetLines() - 1) return false;
    int l = Line;
    while (true) {
        if (!g->HasSubGroups()) {
            Item = g->FElements[size_t(l)];
            return true;
        }
        const std::vector<int>& prefix = g->Prefix();
        size_t i = size_t(std::upper_bound(prefix.begin(), prefix.end(), l) - prefix.begin()) - 1;
        TOvcRvIndexGroup* sub = g->GetGroup(int(i));
        int offset = l - prefix[i];
        if (offset == 0) {
            Group = sub;
            return true;
        }
        g = sub;
        l = offset - 1;
    }
}

int TOvcRvEngine::GetLines() {
    CheckUpdate();
    return FActive ? FActive->Root()->GetLines() - 1 : 0;
}

TOvcRvIndexGroup* TOvcRvEngine::GetElementAtLine(int Line) {
    CheckedActive();
    TOvcRvIndexGroup* group = nullptr;
    void* item = nullptr;
    Locate(Line, group, item);
    return group;
}

void* TOvcRvEngine::GetDataAtLine(int Line) {
    CheckedActive();
    TOvcRvIndexGroup* group = nullptr;
    void* item = nullptr;
    if (!Locate(Line, group, item)) return nullptr;
    return group ? group->GetData() : item;
}

void* TOvcRvEngine::GetData(int Line) { return FActive ? GetDataAtLine(Line) : nullptr; }

bool TOvcRvEngine::GetIsGroup(int Line) { return GetElementAtLine(Line) != nullptr; }

TOvcRvIndexGroup* TOvcRvEngine::GetGroupRef(int Line) {
    TOvcRvIndexGroup* group = GetElementAtLine(Line);
    if (!group) throw EItemIsNotGroup(SItemIsNotGroup, {Line});
    return group;
}

int TOvcRvEngine::GetGroupColumn(int Line) { return GetGroupRef(Line)->Level() - 1; }

int TOvcRvEngine::LineOfGroup(TOvcRvIndexGroup* Group) {
    TOvcRvIndexGroup* parent = Group->Parent();
    if (!parent) return -1;
    if (!parent->Expanded()) return -2;
    int line = LineOfGroup(parent);
    if (line == -2) return -2;
    return line + 1 + parent->Prefix()[size_t(parent->PositionOf(Group))];
}

int TOvcRvEngine::GetOffsetOfData(void* Data) {
    CheckUpdate();
    if (!FActive) return -1;
    TOvcRvIndexGroup* leaf = FActive->LeafOf(Data);
    if (!leaf || !leaf->Expanded()) return -1;
    int line = LineOfGroup(leaf);
    if (line == -2) return -1;
    return line + 1 + leaf->PositionOf(Data);
}

int TOvcRvEngine::GetOffsetOfGroup(TOvcRvIndexGroup* GroupRef) {
    CheckUpdate();
    if (!FActive || !GroupRef || !GroupRef->Parent()) return 0;
    int line = LineOfGroup(GroupRef);
    return line == -2 ? -1 : line + 1;
}

void TOvcRvEngine::Collect(TOvcRvIndexGroup* Group, bool Backwards, bool Inherited, bool SelectedOnly,
                           std::vector<void*>& Out) const {
    const bool selected = Inherited || Group->Selected();
    const int n = Group->GetCount();
    for (int k = 0; k < n; ++k) {
        int i = Backwards ? n - 1 - k : k;
        if (Group->HasSubGroups()) Collect(Group->GetGroup(i), Backwards, selected, SelectedOnly, Out);
        else {
            void* item = Group->GetElement(i);
            if (!SelectedOnly || selected || FSelected.contains(item)) Out.push_back(item);
        }
    }
}

void TOvcRvEngine::Enumerate(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) {
    if (!FActive) return;
    // The items are taken first: a handler that changes the view does not
    // pull the tree from under the walk.
    std::vector<void*> items;
    Collect(FActive->Root(), Backwards, false, SelectedOnly, items);
    bool stop = false;
    bool met = StartAfter == nullptr;
    for (void* item : items) {
        if (!met) {
            met = item == StartAfter;
            continue;
        }
        FHost.DoEnumEvent(item, stop, UserData);
        if (stop) break;
    }
}

void TOvcRvEngine::DoEnumerate(void* UserData) { Enumerate(true, false, nullptr, UserData); }

void TOvcRvEngine::DoEnumerateSelected(void* UserData) { Enumerate(true, true, nullptr, UserData); }

void TOvcRvEngine::DoEnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) {
    Enumerate(Backwards, SelectedOnly, StartAfter, UserData);
}

// --- report fields, views and view fields ---

void TOvcAbstractRvField::DescribeProperties(TPropertyTable& T) {
    T.Property("CanSort", &TOvcAbstractRvField::CanSort, &TOvcAbstractRvField::SetCanSort).Default(true);
}

TOvcAbstractRvField::TOvcAbstractRvField(TComponent* AOwner) : TOvcCollectible(AOwner) {}

TOvcAbstractReportView* TOvcAbstractRvField::GetOwnerReport() const {
    return dynamic_cast<TOvcAbstractReportView*>(Owner());
}

void TOvcAbstractRvField::BeforeDestruction() {
    if (TOvcAbstractReportView* report = GetOwnerReport()) report->FieldGoing(this);
    TOvcCollectible::BeforeDestruction();
}

void TOvcAbstractRvField::Assign(TPersistent* Source) {
    if (auto* field = dynamic_cast<TOvcAbstractRvField*>(Source)) {
        FCanSort = field->FCanSort;
        SetName(field->Name());
        return;
    }
    TOvcCollectible::Assign(Source);
}

namespace {
// A collection of fields or views takes copies of Source's items, in order.
template <class T>
bool AssignCopies(T& Dest, TPersistent* Source) {
    auto* items = dynamic_cast<T*>(Source);
    if (!items) return false;
    Dest.Clear();
    for (int i = 0; i < items->Count(); ++i) Dest.Add()->Assign(items->Item(i));
    return true;
}
}  // namespace

void TOvcAbstractRvFields::Assign(TPersistent* Source) {
    if (!AssignCopies(*this, Source)) TOvcCollection::Assign(Source);
}

void TOvcAbstractRvViewField::DescribeProperties(TPropertyTable& T) {
    T.Property("ComputeTotals", &TOvcAbstractRvViewField::ComputeTotals,
               &TOvcAbstractRvViewField::SetComputeTotals)
        .Default(false);
    T.Property("FieldName", &TOvcAbstractRvViewField::FieldName, &TOvcAbstractRvViewField::SetFieldName);
    T.Property("GroupBy", &TOvcAbstractRvViewField::GroupBy, &TOvcAbstractRvViewField::SetGroupBy)
        .Default(false);
}

TOvcAbstractRvViewField::TOvcAbstractRvViewField(TComponent* AOwner) : TOvcCollectible(AOwner) {
    FView = dynamic_cast<TOvcAbstractRvView*>(AOwner);
    FReport = FView ? FView->OwnerReport() : nullptr;
}

void TOvcAbstractRvViewField::SetFieldName(const AnsiString& Value) {
    if (!FReport || FReport->BindingPending()) {
        FFieldName = Value;
        return;
    }
    TOvcAbstractRvFields* fields = FReport->RvFields();
    auto* field = fields ? dynamic_cast<TOvcAbstractRvField*>(fields->ItemByName(Value)) : nullptr;
    if (!field) throw EReportViewError(SViewFieldNotFound, {Value});
    FFieldName = Value;
    FField = field;
}

TOvcAbstractRvField* TOvcAbstractRvViewField::GetField() const {
    if (!FField) throw EReportViewError(SCantResolveField, {FFieldName});
    return FField;
}

void TOvcAbstractRvViewField::Assign(TPersistent* Source) {
    if (auto* field = dynamic_cast<TOvcAbstractRvViewField*>(Source)) {
        SetName(FReport ? FReport->UniqueViewFieldName(field->Name()) : field->Name());
        FComputeTotals = field->FComputeTotals;
        SetFieldName(field->FFieldName);
        FGroupBy = field->FGroupBy;
        return;
    }
    TOvcCollectible::Assign(Source);
}

void TOvcAbstractRvViewField::SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    Store->WriteBoolean(Section, "CompTotals", FComputeTotals);
    Store->WriteString(Section, "FieldName", FFieldName);
    Store->WriteBoolean(Section, "GroupBy", FGroupBy);
    Store->WriteString(Section, "Name", Name());
}

void TOvcAbstractRvViewField::LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    FComputeTotals = Store->ReadBoolean(Section, "CompTotals", false);
    SetFieldName(Store->ReadString(Section, "FieldName", ""));
    FGroupBy = Store->ReadBoolean(Section, "GroupBy", false);
    SetName(Store->ReadString(Section, "Name", ""));
}

void TOvcAbstractRvView::DescribeProperties(TPropertyTable& T) {
    T.Property("FilterIndex", &TOvcAbstractRvView::FilterIndex, &TOvcAbstractRvView::SetFilterIndex)
        .Default(-1);
}

TOvcAbstractRvView::TOvcAbstractRvView(TComponent* AOwner, const TClassInfo* ViewFieldClass)
    : TOvcCollectible(AOwner), FReport(dynamic_cast<TOvcAbstractReportView*>(AOwner)) {
    FViewFields = std::make_unique<TOvcAbstractRvViewFields>(this, ViewFieldClass);
}

TOvcAbstractRvView::~TOvcAbstractRvView() = default;

void TOvcAbstractRvView::BeforeDestruction() {
    if (FReport) FReport->Engine().DeleteViewIndexes(this);
    TOvcCollectible::BeforeDestruction();
}

AnsiString TOvcAbstractRvView::GetDisplayText() const { return Name().empty() ? ClassName() : Name(); }

int TOvcAbstractRvView::ShapeFieldIndex(int ViewField) const {
    TOvcAbstractRvField* field = GetViewField(ViewField)->GetField();
    return field->Collection() ? field->Collection()->IndexOf(field) : -1;
}

void TOvcAbstractRvView::Assign(TPersistent* Source) {
    if (auto* view = dynamic_cast<TOvcAbstractRvView*>(Source)) {
        FViewFields->Clear();
        SetName(FReport ? FReport->UniqueViewName(view->Name()) : view->Name());
        FFilterIndex = view->FFilterIndex;
        for (int i = 0; i < view->FViewFields->Count(); ++i)
            FViewFields->Add()->Assign(view->GetViewField(i));
        return;
    }
    TOvcCollectible::Assign(Source);
}

void TOvcAbstractRvView::SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    Store->WriteInteger(Section, "FilterIndex", FFilterIndex);
    Store->WriteInteger(Section, "ViewFields", FViewFields->Count());
    for (int k = 0; k < FViewFields->Count(); ++k)
        GetViewField(k)->SaveToStorage(Store, Section + "_" + IntToStr(k));
}

void TOvcAbstractRvView::LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    FFilterIndex = Store->ReadInteger(Section, "FilterIndex", -1);
    const int n = Store->ReadInteger(Section, "ViewFields", 0);
    // The view fields read are appended to those there.
    for (int k = 0; k < n; ++k) {
        auto* field = static_cast<TOvcAbstractRvViewField*>(FViewFields->Add());
        field->LoadFromStorage(Store, Section + "_" + IntToStr(k));
    }
}

void TOvcAbstractRvViews::Assign(TPersistent* Source) {
    if (!AssignCopies(*this, Source)) TOvcCollection::Assign(Source);
}

// --- the control that hosts the engine ---

TOvcAbstractReportView::TOvcAbstractReportView(TComponent* AOwner)
    : TOvcCustomControlEx(AOwner), FEngine(std::make_unique<TOvcRvEngine>(*this)) {}

TOvcAbstractReportView::~TOvcAbstractReportView() = default;

TOvcAbstractRvView* TOvcAbstractReportView::FindView(const AnsiString& ViewName) const {
    if (auto* view = dynamic_cast<TOvcAbstractRvView*>(RvFindView(ViewName))) return view;
    throw EUnknownView(SUnknownView, {ViewName});
}

TOvcRvViewShape* TOvcAbstractReportView::RvFindView(const AnsiString& ViewName) const {
    if (!FViews) return nullptr;
    for (int i = 0; i < FViews->Count(); ++i)
        if (FViews->Item(i)->Name() == ViewName) return FViews->GetItem(i);
    return nullptr;
}

AnsiString TOvcAbstractReportView::UniqueViewName(const AnsiString& Name) const {
    AnsiString name = Name;
    while (RvFindView(name)) name += "_1";
    return name;
}

AnsiString TOvcAbstractReportView::UniqueViewFieldName(const AnsiString& Name) const {
    auto taken = [this](const AnsiString& N) {
        for (int i = 0; FViews && i < FViews->Count(); ++i) {
            TOvcAbstractRvViewFields* fields = FViews->GetItem(i)->ViewFields();
            for (int k = 0; k < fields->Count(); ++k)
                if (fields->Item(k)->Name() == N) return true;
        }
        return false;
    };
    AnsiString name = Name;
    while (taken(name)) name += "_1";
    return name;
}

int TOvcAbstractReportView::DoCompareFields(void* Data1, void* Data2, int FieldIndex) {
    if (!OnCompareFields) throw EOnCompareNotAsgnd(SOnCompareNotAsgnd);
    int32_t res = 0;
    OnCompareFields(this, Data1, Data2, FieldIndex, res);
    return res;
}

bool TOvcAbstractReportView::DoFilter(void* Data, int FilterIndex) {
    if (ComponentState().Contains(csDesigning)) return true;
    if (FilterIndex >= 0 && !OnFilter) throw EOnFilterNotAsgnd(SOnFilterNotAsgnd);
    bool include = true;
    if (OnFilter) OnFilter(this, Data, FilterIndex, include);
    return include;
}

double TOvcAbstractReportView::DoGetFieldAsFloat(void* Data, int FieldIndex) {
    if (!OnGetFieldAsFloat) throw EGetAsFloatNotAsg(SGetAsFloatNotAsg);
    double value = 0;
    OnGetFieldAsFloat(this, Data, FieldIndex, value);
    return value;
}

void TOvcAbstractReportView::FieldGoing(TOvcAbstractRvField* Field) {
    if (ComponentState().Contains(csDestroying) || !FViews) return;
    for (int v = 0; v < FViews->Count(); ++v) {
        TOvcAbstractRvViewFields* fields = FViews->GetItem(v)->ViewFields();
        for (int k = 0; k < fields->Count(); ++k)
            if (fields->GetItem(k)->BoundField() == Field) fields->GetItem(k)->ClearField();
    }
    FEngine->ClearIndexList();
}

int TOvcAbstractReportView::RvFieldCount() const { return FFields ? FFields->Count() : 0; }

bool TOvcAbstractReportView::RvFieldCanSort(int FieldIndex) const {
    return FFields && FieldIndex >= 0 && FieldIndex < FFields->Count() &&
           FFields->GetItem(FieldIndex)->CanSort();
}
