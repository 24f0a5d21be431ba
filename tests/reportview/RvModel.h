#pragma once
// What the engine's tests share: rows with three fields (X and Y texts, N a
// number), views made of them, a host that answers the engine's questions
// about rows and records what it is told, the lines of the active index as
// texts ("G:a" a group of key a, "G:a/p" a group one level down, "I:a1" an
// item; "*" marks a selected line, "+" an expanded group), and a reference
// model of the engine written from its description with plain lists and
// loops, sharing no code with it.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reportview/OvcRVIdx.h"

namespace rvtest {

struct Row {
    std::string Name;
    std::string X, Y;
    int N = 0;
};

// Field 0 is X, 1 is Y, 2 is N.
int CompareRows(const Row* A, const Row* B, int Field);
double RowValue(const Row* R, int Field);
std::string FieldText(const Row* R, int Field);

struct ViewField {
    int Field;
    bool GroupBy = false;
    bool Totals = false;
};

class View : public TOvcRvViewShape {
public:
    View(std::string Name, std::vector<ViewField> Fields, int Filter = -1)
        : Name(std::move(Name)), Fields(std::move(Fields)), Filter(Filter) {}
    AnsiString ShapeName() const override { return Name; }
    int ShapeFilterIndex() const override { return Filter; }
    int ShapeFieldCount() const override { return static_cast<int>(Fields.size()); }
    bool ShapeGroupBy(int I) const override { return Fields.at(size_t(I)).GroupBy; }
    bool ShapeComputeTotals(int I) const override { return Fields.at(size_t(I)).Totals; }
    int ShapeFieldIndex(int I) const override { return Fields.at(size_t(I)).Field; }
    std::string Name;
    std::vector<ViewField> Fields;
    int Filter;
};

// Filter 0 keeps rows with an even N.
bool KeepRow(const Row* R, int Filter);

class Host : public TOvcRvEngineHost {
public:
    Host() : Engine(*this) {}
    int DoCompareFields(void* A, void* B, int Field) override;
    bool DoFilter(void* Data, int Filter) override { return KeepRow(static_cast<Row*>(Data), Filter); }
    double DoGetFieldAsFloat(void* Data, int Field) override {
        return RowValue(static_cast<Row*>(Data), Field);
    }
    void DoEnumEvent(void* Data, bool& Stop, void*) override;
    void DoLinesChanged(int Delta, int Start) override { Changed.push_back({Delta, Start}); }
    void DoLinesWillChange() override { ++WillChange; }
    void DoSortingChanged() override { ++SortingChanged; }
    int RvFieldCount() const override { return 3; }
    bool RvFieldCanSort(int Field) const override { return CanSort.at(size_t(Field)); }
    TOvcRvViewShape* RvFindView(const AnsiString& Name) const override;

    View& AddView(std::string Name, std::vector<ViewField> Fields, int Filter = -1);
    Row* NewRow(std::string Name, std::string X, std::string Y = "", int N = 0);
    // Rows as "a1" (X a, Y the digit as text ... see the tests) made and added one by one.
    std::vector<std::string> Lines();
    std::vector<std::string> Enumerate(bool Selected);

    TOvcRvEngine Engine;
    std::vector<bool> CanSort{true, true, true};
    std::vector<std::unique_ptr<View>> Views;
    std::vector<std::unique_ptr<Row>> Rows;
    std::vector<std::pair<int, int>> Changed;
    int WillChange = 0;
    int SortingChanged = 0;
    int Compares = 0;
    std::vector<Row*> Visited;
    int StopAfter = -1;  // the enumeration handler stops after this many items
};

// The lines of an index as texts (see above), computed by whoever maps lines.
struct LineSource {
    std::function<int()> Count;
    // The row on the line, or the group's key path (and its expansion) when it is a group line.
    std::function<bool(int Line, Row*& Item, std::string& Keys, bool& Expanded)> At;
    std::function<bool(int Line)> Selected;  // null without multi-select
};
std::vector<std::string> Render(const LineSource& Source);

// The reference model.
class Model {
public:
    explicit Model(const std::vector<bool>& CanSort) : FCanSort(CanSort) {}
    ~Model();
    void AddView(const View* V) { FViews.push_back(V); }
    void Begin() { ++FDepth; }
    void End();
    void Add(Row* R);
    void Change(Row* R);
    void Remove(Row* R);
    void Activate(const std::string& Name);
    void SetSort(int Column);
    int SortColumn() const { return FSortColumn; }
    void ExpandAll(bool Value);
    void SetExpanded(int Line, bool Value);
    void SetSelected(int Line, bool Value);
    void SelectAll(bool Value);
    bool MultiSelect = true;
    std::vector<std::string> Lines();
    std::vector<std::string> EnumerateSelected();
    double GroupTotal(int Line, int Field);
    // Every cached index as "key: tree" (expanded or not).
    std::vector<std::string> Trees() const;

    struct Group;
    struct Index;

private:
    struct Entry {
        Row* Item;
        int Mark;
    };
    int Cmp(const Row* A, const Row* B, int Field) const { return CompareRows(A, B, Field); }
    void Update();
    void KeepOnlyActive();
    void ProcessAdds(Index& I, Group* G, std::vector<Entry>& List, int First, int Last, int Mark);
    void ProcessDeletes(Index& I, std::vector<Entry>& List);
    void GroupDeletes(Index& I, Group* G, void* Removed);
    void ProcessUpdates(Index& I, std::vector<Entry>& List);
    void Register(Index& I, Group* G);
    void SortPending(Index& I);
    void Sort(Index& I, Group* G);
    int CompareElements(Index& I, Group* G, void* A, void* B);
    void SetIndexSort(Index& I, int Column);
    Index* FindIndex(const std::string& Name, int Column);
    void Populate(Index& I);
    int GroupLines(const Group* G) const;
    bool Locate(int Line, Group*& G, Row*& R) const;
    void Collect(Group* G, bool Inherited, bool SelectedOnly, std::vector<Row*>& Out) const;
    bool SelectedItem(Row* R) const;
    bool SelectedGroup(const Group* G) const;
    Group* LeafOf(Index& I, Row* R) const;

    std::vector<bool> FCanSort;
    std::vector<const View*> FViews;
    std::vector<std::pair<std::string, Index*>> FIndexes;  // sorted by key
    Index* FActive = nullptr;
    std::string FActiveName;
    int FSortColumn = 1;
    int FDepth = 0;
    std::vector<Row*> FAll;
    std::vector<Entry> FAdds, FRemoves, FChanges;
    std::vector<Row*> FSelected;
};

}  // namespace rvtest
