#pragma once
// The report view's index engine and the abstract classes of its fields and
// views.
//
// The engine (TOvcRvEngine, TRvIndex, TOvcRvIndexGroup) is a plain class: it
// holds opaque data items, queues changes to them and keeps, for each view
// and sort column, an index that arranges the items into nested groups,
// sorted, filtered and with totals. Everything it needs to know about the
// items (how two compare on a field, whether one passes a filter, what a
// field is worth as a number) and about the views (their view fields,
// grouping and totals) it asks of its host, so it runs and is tested without
// a window. The control TOvcAbstractReportView is its host and hands its
// operations on.
//
// Order rules the callers see (they are what the lines look like, so they
// never change with the bookkeeping beside them):
// - A batch of additions enters a leaf in the reverse of the order added;
//   an addition made alone (no update pending) is its own batch, so items
//   added one by one come out in the order added.
// - A group made by a batch comes after the groups that were there; the
//   groups a batch makes come in the order of the last item of each.
// - Sorting is the Shell sort with the gaps 1, 4, 13, 40 ...: not stable, so
//   items equal on every field may change places.
// - An update applies, per index, the removals, then the changes, then the
//   additions: a removed item is never compared again, whatever its user
//   did with it after removing it.
// - After an update the groups are sorted parent first (each compared
//   through the item first in it before its own sort); after a change of
//   the sort column children first.
// Beside the lists the engine keeps maps (item to its leaf, element to its
// place), the groups of each level in key order, and per group its line
// count, prefix sums of its elements' lines, its item count and its totals,
// each thrown away exactly when what it was computed from changes (the
// totals also when the host says the items' values changed unannounced).
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/rtl/Strings.h"
#include "reportview/OvcBase.h"

class TOvcRvEngine;
class TRvIndex;
class TOvcRvIndexGroup;
class TOvcAbstractReportView;
class TOvcAbstractRvFields;
class TOvcAbstractRvViews;
class TOvcAbstractRvView;
class TOvcAbstractStore;

// The printing index's expansion.
enum TRvEnumMode : uint8_t { emExpandAll, emCollapseAll };

// --- what the engine reads of a view ---
class TOvcRvViewShape {
public:
    virtual ~TOvcRvViewShape() = default;
    virtual AnsiString ShapeName() const = 0;
    // -1: no filter.
    virtual int ShapeFilterIndex() const = 0;
    virtual int ShapeFieldCount() const = 0;
    virtual bool ShapeGroupBy(int ViewField) const = 0;
    virtual bool ShapeComputeTotals(int ViewField) const = 0;
    // The position in the report fields of the view field's report field;
    // "Unable to resolve view field %s" when it is not bound.
    virtual int ShapeFieldIndex(int ViewField) const = 0;
    // The number of leading view fields with GroupBy.
    int GroupCount() const;
};

// --- what the engine asks of its host ---
class TOvcRvEngineHost {
public:
    virtual ~TOvcRvEngineHost() = default;
    virtual int DoCompareFields(void* Data1, void* Data2, int FieldIndex) = 0;
    virtual bool DoFilter(void* Data, int FilterIndex) = 0;
    virtual double DoGetFieldAsFloat(void* Data, int FieldIndex) = 0;
    virtual void DoEnumEvent(void* Data, bool& Stop, void* UserData) = 0;
    // After the lines changed: (0, -1) after updates, activation and sorting,
    // (-1, -1) after ExpandAll, SelectAll and MakeVisible, (Delta, StartLine)
    // after one group was expanded (Delta > 0) or collapsed.
    virtual void DoLinesChanged(int LineDelta, int StartLine) = 0;
    virtual void DoLinesWillChange() = 0;
    virtual void DoSortingChanged() = 0;
    virtual int RvFieldCount() const = 0;
    virtual bool RvFieldCanSort(int FieldIndex) const = 0;
    // The view of that exact name, or null.
    virtual TOvcRvViewShape* RvFindView(const AnsiString& ViewName) const = 0;
};

// One group of an index: the root (level 0, the whole view), the groups of
// equal values of the grouping view fields, and the leaves that hold items.
class TOvcRvIndexGroup {
public:
    TOvcRvIndexGroup(TRvIndex* Index, TOvcRvIndexGroup* Parent, int Level, TOvcRvViewShape* View);
    ~TOvcRvIndexGroup();
    TOvcRvIndexGroup(const TOvcRvIndexGroup&) = delete;
    TOvcRvIndexGroup& operator=(const TOvcRvIndexGroup&) = delete;

    bool Expanded() const { return FExpanded; }
    // Expanding first expands the parent when it is collapsed.
    void SetExpanded(bool Value);
    // The group, then each sub-group in order.
    void ExpandAll(bool Value);
    TOvcRvIndexGroup* Parent() const { return FParent; }
    TRvIndex* Index() const { return FIndex; }
    // The report field whose value all items of the group share; -1 for the root.
    int KeyField() const { return FKeyField; }
    int Level() const { return FLevel; }
    bool HasSubGroups() const { return FHasSubGroups; }
    bool Selected() const { return FSelected; }
    void SetSelectedFlag(bool Value) { FSelected = Value; }
    bool IsPending() const { return FPending; }

    // Elements: the sub-groups when the group has sub-groups, else the items.
    int GetCount() const { return static_cast<int>(FElements.size()); }
    void* GetElement(int Index) const { return FElements.at(size_t(Index)); }
    TOvcRvIndexGroup* GetGroup(int Index) const;
    // The position among the elements (for a group with sub-groups, of the
    // first sub-group whose GetData is Data), -1 when none.
    int FindData(void* Data);
    // The first item: nil when empty; through the first sub-group.
    void* GetData() const;
    int GetItemCount();
    // The sum over the items of DoGetFieldAsFloat (kept until an item of the
    // group is added, removed or changed, or the engine hears that values
    // changed).
    double GetTotal(int FieldIndex);
    // Its own line and, when expanded, those of its elements.
    int GetLines();

private:
    friend class TRvIndex;
    friend class TOvcRvEngine;
    // Line counts and prefix sums of this group and its ancestors are stale.
    void TouchLines();
    // Those, and the item counts and totals, are stale.
    void TouchContent();
    // The order of the elements changed (or their membership).
    void OrderChanged();
    const std::vector<int>& Prefix();
    int PositionOf(void* Element);
    void Clear();

    std::vector<void*> FElements;
    bool FExpanded = false;
    TOvcRvIndexGroup* FParent;
    TRvIndex* FIndex;
    int FKeyField = -1;
    int FLevel;
    TOvcRvViewShape* FView;
    bool FHasSubGroups = false;
    bool FPending = false;
    bool FSelected = false;
    // Bookkeeping.
    bool FDead = false;                     // emptied while items were taken out
    std::vector<TOvcRvIndexGroup*> FByKey;  // the sub-groups in the order of their key
    int FLines = -1;                        // -1: not known
    std::vector<int> FPrefix;               // lines before element i (sub-groups only)
    bool FPrefixValid = false;
    int FItemCount = -1;
    std::unordered_map<int, double> FTotals;    // by report field
    uint64_t FTotalsEpoch = 0;                  // the engine's values epoch they were summed in
    std::unordered_map<void*, int> FPositions;  // element to place
    bool FPositionsValid = false;
    std::unordered_set<void*> FGoing;  // elements marked to go
};

// A queue of items, each once, with a mark per item for the passes of an update.
struct TOvcRvQueue {
    std::vector<void*> Items;
    std::vector<int> Marks;
    std::unordered_set<void*> Set;
    int Count() const { return static_cast<int>(Items.size()); }
    bool Contains(void* Data) const { return Set.contains(Data); }
    void Add(void* Data);
    void Remove(void* Data);
    void Clear();
};

// One index: the tree of one view sorted on one column.
class TRvIndex {
public:
    TRvIndex(TOvcRvEngine* Owner, TOvcRvViewShape* View, int SortColumn);
    ~TRvIndex();
    TRvIndex(const TRvIndex&) = delete;
    TRvIndex& operator=(const TRvIndex&) = delete;

    TOvcRvIndexGroup* Root() const { return FRoot.get(); }
    TOvcRvViewShape* View() const { return FView; }
    int SortColumn() const { return FSortColumn; }
    int SortViewField() const { return FSortViewField; }
    int SortField() const { return FSortField; }
    bool SortByTotals() const { return FSortByTotals; }
    // 0 unsorted; k > 0 ascending on view field k (1-based), -k descending.
    // A view field whose report field cannot sort gives way to the first
    // that can (ascending); none that can leaves the index unsorted.
    void SetSortColumn(int Column);
    void ClearData();
    // The leaf of an indexed item, or null.
    TOvcRvIndexGroup* LeafOf(void* Data) const;
    int ItemMapCount() const { return static_cast<int>(FItemMap.size()); }
    // Expands the item's leaf and its ancestors.
    void MakeVisible(void* Data);
    // Sorts the pending groups and their ancestors.
    void SortPending();

private:
    friend class TOvcRvEngine;
    friend class TOvcRvIndexGroup;
    void Register(TOvcRvIndexGroup* Group);
    // Takes out every item of List marked 1 that is indexed.
    void ProcessDeletes(TOvcRvQueue& List);
    // Keeps changed items (marked 2) in place (mark 0) or marks them 1 to move.
    void ProcessUpdates(TOvcRvQueue& List);
    // Places the items of List marked 1 or more; their marks become 0.
    void ProcessAdds(TOvcRvQueue& List);
    struct TCandidate {
        void* Item;
        size_t Order;  // place in the list the batch came from
    };
    void Claim(TOvcRvIndexGroup* Group, std::vector<TCandidate>& Candidates);
    // The sub-group whose key (report field Key) equals Item's; else where a new one goes.
    TOvcRvIndexGroup* FindSubGroup(TOvcRvIndexGroup* Group, int Key, void* Item, size_t& Insert);
    void SortGroup(TOvcRvIndexGroup* Group);
    int CompareElements(TOvcRvIndexGroup* Group, void* E1, void* E2);
    void SortAll(TOvcRvIndexGroup* Group);
    void ReverseAll(TOvcRvIndexGroup* Group);

    TOvcRvEngine* FOwner;
    TOvcRvViewShape* FView;
    std::unique_ptr<TOvcRvIndexGroup> FRoot;
    int FSortColumn = 0;
    int FSortViewField = -1;
    int FSortField = -1;
    bool FSortByTotals = false;
    std::unordered_map<void*, TOvcRvIndexGroup*> FItemMap;
    std::vector<TOvcRvIndexGroup*> FPending;
};

// The engine: the items, the queues of changes, the indexes.
class TOvcRvEngine {
public:
    explicit TOvcRvEngine(TOvcRvEngineHost& Host);
    ~TOvcRvEngine();
    TOvcRvEngine(const TOvcRvEngine&) = delete;
    TOvcRvEngine& operator=(const TOvcRvEngine&) = delete;
    TOvcRvEngineHost& Host() const { return FHost; }

    // --- items ---
    // Adding an item that is already there raises EItemAlreadyAdded: the
    // maps of the engine hold each item once.
    void AddDataPrim(void* Data);
    // Nothing for a pending addition or removal; EItemNotFound for an item never added.
    void ChangeDataPrim(void* Data);
    // EItemNotFound for an item never added, with nothing changed. The item
    // also leaves the pending additions and changes: an item added and
    // removed within one update is never indexed.
    void RemoveDataPrim(void* Data);
    void BeginUpdateIndex() { ++FUpdateDepth; }
    void EndUpdateIndex();
    int UpdateDepth() const { return FUpdateDepth; }
    // Empties every index and the items; the queues stay.
    void ClearIndex();
    void ClearIndexList();
    // EUpdatePending while updates are pending.
    void CheckUpdate() const;
    bool IsBusy() const { return FBusy > 0; }
    bool IsEmpty() const { return FAllCount == 0; }
    int ItemCount() const { return static_cast<int>(FAllCount); }
    bool Contains(void* Data) const { return FAllPos.contains(Data); }
    // Every item in the order added.
    std::vector<void*> AllItems() const;

    // --- indexes ---
    TOvcRvViewShape* FindView(const AnsiString& ViewName) const;
    TRvIndex* FindIndex(const AnsiString& ViewName, int SortColumn);
    void SetActiveIndexerView(const AnsiString& ViewName);
    const AnsiString& ActiveIndexerView() const { return FActiveName; }
    TRvIndex* ActiveIndex() const { return FActive; }
    // Frees every index but Keep.
    void DeleteInactiveIndexes(TRvIndex* Keep);
    // Frees every cached index of the view of that name (none: nothing).
    void DeleteViewIndexes(const AnsiString& ViewName);
    // Frees every cached index of that view; a view going calls it.
    void DeleteViewIndexes(TOvcRvViewShape* View);
    void PopulateIndex(TRvIndex* Index);
    // Applies the queues to every index.
    void UpdateIndex();
    // The line of Data in the active index; an item not added is added, its
    // line read and taken out again (the key search's probe).
    int Find(void* Data);
    void BeginTemporaryIndex(TRvEnumMode Mode);
    void EndTemporaryIndex();
    bool InTemporaryIndex() const { return FTemporary != nullptr; }
    // The keys of the cached indexes ("name%column", by the views' names
    // now), in key order.
    std::vector<AnsiString> IndexKeys() const;

    // --- sorting ---
    int SortColumn() const { return FSortColumn; }
    void SetInternalSortColumn(int Column);

    // --- totals ---
    double Total(TOvcRvIndexGroup* GroupRef, int FieldIndex);
    // The items' values may have changed unannounced (a record posted in
    // place under a data-aware view): every total is summed again when next
    // asked. Order and groups stay as they are until the items are changed.
    void ValuesChanged() { ++FValuesEpoch; }
    TOvcRvIndexGroup* GetTotalRef();
    int Count(TOvcRvIndexGroup* GroupRef) { return GroupRef->GetItemCount(); }

    // --- expansion ---
    void ExpandAll(bool Value);
    void SetExpanded(TOvcRvIndexGroup* GroupRef, bool Value);
    bool GetExpanded(TOvcRvIndexGroup* GroupRef);
    void MakeVisible(void* Data);
    void InternalMakeVisible(void* Data);
    // Set by SetExpanded and by ExpandAll (false); the control clears it.
    bool ExpansionChanged = false;

    // --- selection: an item is selected when it is among the selected items
    // or a group on its path is selected; a group line when it or a group
    // above it is ---
    bool MultiSelect = false;
    void CheckMultiSelect() const;
    bool GetSelected(int Line);
    void SetSelected(int Line, bool Value);
    void InternalSelectAll(bool Value);
    void SelectAll(bool Value);
    bool IsSelectedItem(void* Data) const;
    bool IsSelectedGroup(const TOvcRvIndexGroup* Group) const;
    // Clears the group flags of every cached index (the control does it when
    // it switches views).
    void ClearGroupSelections();
    int SelectedItemCount() const { return static_cast<int>(FSelected.size()); }

    // --- lines ---
    int GetLines();
    TOvcRvIndexGroup* GetElementAtLine(int Line);
    void* GetDataAtLine(int Line);
    void* GetData(int Line);
    bool GetIsGroup(int Line);
    TOvcRvIndexGroup* GetGroupRef(int Line);
    int GetGroupColumn(int Line);
    int GetOffsetOfData(void* Data);
    int GetOffsetOfGroup(TOvcRvIndexGroup* GroupRef);

    // --- enumeration (the host's DoEnumEvent per item) ---
    void DoEnumerate(void* UserData);
    void DoEnumerateSelected(void* UserData);
    void DoEnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData);

    // While set, view fields only store their names and activation only the view name.
    bool BindingPending = false;

private:
    friend class TRvIndex;
    friend class TOvcRvIndexGroup;
    struct TBusy;
    void AppendItem(void* Data);
    void DropItem(void* Data);
    // The line of a group's header (-1 for the root), or -2 when hidden.
    int LineOfGroup(TOvcRvIndexGroup* Group);
    TOvcRvIndexGroup* CheckedActive();
    // Locates Line: the group whose header it is, or the item on it.
    bool Locate(int Line, TOvcRvIndexGroup*& Group, void*& Item);
    // The items under Group in display order (or backwards), selected ones only when asked.
    void Collect(TOvcRvIndexGroup* Group, bool Backwards, bool Inherited, bool SelectedOnly,
                 std::vector<void*>& Out) const;
    void Enumerate(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData);
    void SelectOutside(TOvcRvIndexGroup* Top, const TOvcRvIndexGroup* KeepGroup, void* KeepItem);
    TOvcRvIndexGroup* TopSelected(TOvcRvIndexGroup* Group) const;

    TOvcRvEngineHost& FHost;
    AnsiString FActiveName;
    TRvIndex* FActive = nullptr;
    int FBusy = 0;
    TRvIndex* FSaved = nullptr;            // the index put aside for a temporary one
    std::unique_ptr<TRvIndex> FTemporary;  // the temporary index while it is active
    int FFindDepth = 0;
    int FSortColumn = 1;
    int FUpdateDepth = 0;
    TOvcRvQueue FAdditions, FRemovals, FChanges;
    // An index is cached for a view object, not for its name: a view renamed
    // keeps its indexes and a view freed takes them with it, so no entry
    // outlives its view.
    struct TCachedIndex {
        TOvcRvViewShape* View;
        int Column;  // the magnitude of the sort column it was made for
        std::unique_ptr<TRvIndex> Index;
    };
    std::vector<TCachedIndex> FIndexes;
    // The cached indexes in the order of their keys.
    std::vector<TRvIndex*> IndexesInKeyOrder() const;
    // Frees the cached indexes Which picks.
    void EraseIndexes(const std::function<bool(const TCachedIndex&)>& Which);
    // All items in the order added: slots with holes where items left.
    std::vector<void*> FAllSlots;
    std::vector<bool> FAllLive;
    std::unordered_map<void*, size_t> FAllPos;
    size_t FAllCount = 0;
    std::unordered_set<void*> FSelected;
    uint64_t FValuesEpoch = 0;
};

// --- report fields, views and view fields: the abstract level ---

class TOvcAbstractRvField : public TOvcCollectible {
    ZELMOR_CLASS(TOvcAbstractRvField, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcAbstractRvField(TComponent* AOwner);
    TOvcAbstractReportView* GetOwnerReport() const;
    // A field freed while view fields name it is not refused: they lose it
    // (and say so when used), and the cached indexes, whose field positions
    // move, are dropped.
    void BeforeDestruction() override;
    bool CanSort() const { return FCanSort; }
    void SetCanSort(bool Value) { FCanSort = Value; }
    void Assign(TPersistent* Source) override;

private:
    bool FCanSort = true;
};

class TOvcAbstractRvFields : public TOvcCollection {
    ZELMOR_CLASS(TOvcAbstractRvFields, TOvcCollection)
public:
    TOvcAbstractRvFields(TComponent* AOwner, const TClassInfo* ItemClass)
        : TOvcCollection(AOwner, ItemClass) {}
    TOvcAbstractRvField* GetItem(int Index) const { return static_cast<TOvcAbstractRvField*>(Item(Index)); }
    // Clears, then one new item copying each of Source's in order.
    void Assign(TPersistent* Source) override;
};

class TOvcAbstractRvView;

class TOvcAbstractRvViewField : public TOvcCollectible {
    ZELMOR_CLASS(TOvcAbstractRvViewField, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcAbstractRvViewField(TComponent* AOwner);
    const AnsiString& FieldName() const { return FFieldName; }
    // While binding is pending only stores Value; otherwise binds to the
    // report field of that exact name ("The view field %s was not found").
    void SetFieldName(const AnsiString& Value);
    bool GroupBy() const { return FGroupBy; }
    void SetGroupBy(bool Value) { FGroupBy = Value; }
    bool ComputeTotals() const { return FComputeTotals; }
    void SetComputeTotals(bool Value) { FComputeTotals = Value; }
    TOvcAbstractRvView* OwnerView() const { return FView; }
    TOvcAbstractReportView* OwnerReport() const { return FReport; }
    // "Unable to resolve view field %s" when not bound.
    TOvcAbstractRvField* GetField() const;
    TOvcAbstractRvField* BoundField() const { return FField; }
    void ClearField() { FField = nullptr; }
    // Stores the name without resolving it.
    void SetFieldNameUnbound(const AnsiString& Value) { FFieldName = Value; }
    void Assign(TPersistent* Source) override;
    virtual void SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section);
    virtual void LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section);

private:
    AnsiString FFieldName;
    bool FGroupBy = false;
    bool FComputeTotals = false;
    TOvcAbstractRvView* FView = nullptr;
    TOvcAbstractRvField* FField = nullptr;
    TOvcAbstractReportView* FReport = nullptr;
};

class TOvcAbstractRvViewFields : public TOvcCollection {
    ZELMOR_CLASS(TOvcAbstractRvViewFields, TOvcCollection)
public:
    TOvcAbstractRvViewFields(TComponent* AOwner, const TClassInfo* ItemClass)
        : TOvcCollection(AOwner, ItemClass) {}
    TOvcAbstractRvViewField* GetItem(int Index) const {
        return static_cast<TOvcAbstractRvViewField*>(Item(Index));
    }
};

class TOvcAbstractRvView : public TOvcCollectible, public TOvcRvViewShape {
    ZELMOR_CLASS(TOvcAbstractRvView, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T);
    // ViewFieldClass: the class of its view fields.
    TOvcAbstractRvView(TComponent* AOwner, const TClassInfo* ViewFieldClass);
    ~TOvcAbstractRvView() override;
    void BeforeDestruction() override;
    TOvcAbstractReportView* OwnerReport() const { return FReport; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    TOvcAbstractRvViewFields* ViewFields() const { return FViewFields.get(); }
    void SetViewFields(TOvcAbstractRvViewFields* Value) { FViewFields->Assign(Value); }
    TOvcAbstractRvViewField* GetViewField(int Index) const { return FViewFields->GetItem(Index); }
    int GetGroupCount() const { return GroupCount(); }
    AnsiString GetDisplayText() const override;
    void Assign(TPersistent* Source) override;
    virtual void SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section);
    virtual void LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section);

    // The engine's view of it.
    AnsiString ShapeName() const override { return Name(); }
    int ShapeFilterIndex() const override { return FFilterIndex; }
    int ShapeFieldCount() const override { return FViewFields->Count(); }
    bool ShapeGroupBy(int ViewField) const override { return GetViewField(ViewField)->GroupBy(); }
    bool ShapeComputeTotals(int ViewField) const override { return GetViewField(ViewField)->ComputeTotals(); }
    int ShapeFieldIndex(int ViewField) const override;

private:
    int FFilterIndex = -1;
    std::unique_ptr<TOvcAbstractRvViewFields> FViewFields;
    TOvcAbstractReportView* FReport = nullptr;
};

class TOvcAbstractRvViews : public TOvcCollection {
    ZELMOR_CLASS(TOvcAbstractRvViews, TOvcCollection)
public:
    TOvcAbstractRvViews(TComponent* AOwner, const TClassInfo* ItemClass)
        : TOvcCollection(AOwner, ItemClass) {}
    TOvcAbstractRvView* GetItem(int Index) const { return static_cast<TOvcAbstractRvView*>(Item(Index)); }
    void Assign(TPersistent* Source) override;
};

// --- the control that hosts the engine ---
using TOvcRVCompareFieldsEvent =
    TEvent<void(TObject* Sender, void* Data1, void* Data2, int32_t FieldIndex, int32_t& Res)>;
using TOvcRVFilterEvent = TEvent<void(TObject* Sender, void* Data, int32_t FilterIndex, bool& Include)>;
using TOvcRVGetFieldAsFloatEvent =
    TEvent<void(TObject* Sender, void* Data, int32_t FieldIndex, double& Value)>;

class TOvcAbstractReportView : public TOvcCustomControlEx, public TOvcRvEngineHost {
    ZELMOR_CLASS(TOvcAbstractReportView, TOvcCustomControlEx)
public:
    explicit TOvcAbstractReportView(TComponent* AOwner);
    ~TOvcAbstractReportView() override;

    TOvcRvEngine& Engine() { return *FEngine; }
    const TOvcRvEngine& Engine() const { return *FEngine; }
    TOvcAbstractRvFields* RvFields() const { return FFields; }
    TOvcAbstractRvViews* RvViews() const { return FViews; }
    // The view of that exact name; EUnknownView when none.
    TOvcAbstractRvView* FindView(const AnsiString& ViewName) const;
    // Name, with "_1" appended until no view (or no view field of any view) bears it.
    AnsiString UniqueViewName(const AnsiString& Name) const;
    AnsiString UniqueViewFieldName(const AnsiString& Name) const;
    bool BindingPending() const { return FEngine->BindingPending; }
    void SetBindingPending(bool Value) { FEngine->BindingPending = Value; }

    // The engine's operations, as the program and the library reach them.
    void BeginUpdateIndex() { FEngine->BeginUpdateIndex(); }
    void EndUpdateIndex() { FEngine->EndUpdateIndex(); }
    void ClearIndex() { FEngine->ClearIndex(); }
    void ClearIndexList() { FEngine->ClearIndexList(); }
    bool IsBusy() const { return FEngine->IsBusy(); }
    void ExpandAll(bool Value) { FEngine->ExpandAll(Value); }
    void SetExpanded(TOvcRvIndexGroup* GroupRef, bool Value) { FEngine->SetExpanded(GroupRef, Value); }
    bool GetExpanded(TOvcRvIndexGroup* GroupRef) { return FEngine->GetExpanded(GroupRef); }
    void MakeVisible(void* Data) { FEngine->MakeVisible(Data); }
    double Total(TOvcRvIndexGroup* GroupRef, int FieldIndex) { return FEngine->Total(GroupRef, FieldIndex); }
    TOvcRvIndexGroup* GetTotalRef() { return FEngine->GetTotalRef(); }
    int Count(TOvcRvIndexGroup* GroupRef) { return FEngine->Count(GroupRef); }
    bool GetSelected(int Line) { return FEngine->GetSelected(Line); }
    void SetSelected(int Line, bool Value) { FEngine->SetSelected(Line, Value); }
    void SelectAll(bool Value) { FEngine->SelectAll(Value); }
    int GetLines() { return FEngine->GetLines(); }
    void* GetData(int Line) { return FEngine->GetData(Line); }
    bool GetIsGroup(int Line) { return FEngine->GetIsGroup(Line); }
    TOvcRvIndexGroup* GetGroupRef(int Line) { return FEngine->GetGroupRef(Line); }
    int GetOffsetOfData(void* Data) { return FEngine->GetOffsetOfData(Data); }
    int Find(void* Data) { return FEngine->Find(Data); }

    TOvcRVCompareFieldsEvent OnCompareFields;
    TOvcRVFilterEvent OnFilter;
    TOvcRVGetFieldAsFloatEvent OnGetFieldAsFloat;

    // The host's side of the engine.
    int DoCompareFields(void* Data1, void* Data2, int FieldIndex) override;
    bool DoFilter(void* Data, int FilterIndex) override;
    double DoGetFieldAsFloat(void* Data, int FieldIndex) override;
    int RvFieldCount() const override;
    bool RvFieldCanSort(int FieldIndex) const override;
    TOvcRvViewShape* RvFindView(const AnsiString& ViewName) const override;
    // A report field is about to go: the view fields that name it forget it
    // and every cached index goes.
    virtual void FieldGoing(TOvcAbstractRvField* Field);

protected:
    // Set by the descendant's constructor.
    TOvcAbstractRvFields* FFields = nullptr;
    TOvcAbstractRvViews* FViews = nullptr;

private:
    std::unique_ptr<TOvcRvEngine> FEngine;
};
