#include "RvModel.h"

#include <algorithm>

namespace rvtest {

int CompareRows(const Row* A, const Row* B, int Field) {
    switch (Field) {
    case 0: return A->X < B->X ? -1 : (A->X > B->X ? 1 : 0);
    case 1: return A->Y < B->Y ? -1 : (A->Y > B->Y ? 1 : 0);
    default: return A->N < B->N ? -1 : (A->N > B->N ? 1 : 0);
    }
}

double RowValue(const Row* R, int Field) { return Field == 2 ? R->N : 0; }

std::string FieldText(const Row* R, int Field) {
    return Field == 0 ? R->X : (Field == 1 ? R->Y : std::to_string(R->N));
}

bool KeepRow(const Row* R, int Filter) { return Filter != 0 || R->N % 2 == 0; }

int Host::DoCompareFields(void* A, void* B, int Field) {
    ++Compares;
    return CompareRows(static_cast<Row*>(A), static_cast<Row*>(B), Field);
}

void Host::DoEnumEvent(void* Data, bool& Stop, void*) {
    Visited.push_back(static_cast<Row*>(Data));
    if (StopAfter >= 0 && int(Visited.size()) >= StopAfter) Stop = true;
}

TOvcRvViewShape* Host::RvFindView(const AnsiString& Name) const {
    for (const auto& v : Views)
        if (v->Name == Name) return v.get();
    return nullptr;
}

View& Host::AddView(std::string Name, std::vector<ViewField> Fields, int Filter) {
    Views.push_back(std::make_unique<View>(std::move(Name), std::move(Fields), Filter));
    return *Views.back();
}

Row* Host::NewRow(std::string Name, std::string X, std::string Y, int N) {
    Rows.push_back(std::make_unique<Row>(Row{std::move(Name), std::move(X), std::move(Y), N}));
    return Rows.back().get();
}

std::vector<std::string> Render(const LineSource& Source) {
    std::vector<std::string> lines;
    const int n = Source.Count();
    for (int i = 0; i < n; ++i) {
        Row* item = nullptr;
        std::string keys;
        bool expanded = false;
        std::string text;
        if (Source.At(i, item, keys, expanded)) text = "G:" + keys + (expanded ? "+" : "");
        else text = "I:" + item->Name;
        if (Source.Selected && Source.Selected(i)) text += "*";
        lines.push_back(text);
    }
    return lines;
}

namespace {
std::string KeyPath(TOvcRvIndexGroup* G) {
    std::string keys;
    for (TOvcRvIndexGroup* g = G; g && g->Level() > 0; g = g->Parent()) {
        std::string key = FieldText(static_cast<Row*>(g->GetData()), g->KeyField());
        keys = keys.empty() ? key : key + "/" + keys;
    }
    return keys;
}
}  // namespace

std::vector<std::string> Host::Lines() {
    LineSource source;
    source.Count = [this] { return Engine.GetLines(); };
    source.At = [this](int Line, Row*& Item, std::string& Keys, bool& Expanded) {
        if (TOvcRvIndexGroup* g = Engine.GetElementAtLine(Line)) {
            Keys = KeyPath(g);
            Expanded = g->Expanded();
            return true;
        }
        Item = static_cast<Row*>(Engine.GetDataAtLine(Line));
        return false;
    };
    if (Engine.MultiSelect) source.Selected = [this](int Line) { return Engine.GetSelected(Line); };
    return Render(source);
}

std::vector<std::string> Host::Enumerate(bool Selected) {
    Visited.clear();
    if (Selected) Engine.DoEnumerateSelected(nullptr);
    else Engine.DoEnumerate(nullptr);
    std::vector<std::string> names;
    for (Row* r : Visited) names.push_back(r->Name);
    return names;
}

// --- the model ---

struct Model::Group {
    bool Expanded = false;
    Group* Parent = nullptr;
    int KeyField = -1;
    int Level = 0;
    bool HasSub = false;
    bool Pending = false;
    bool Selected = false;
    std::vector<void*> E;  // sub-groups or rows
    ~Group() {
        if (HasSub)
            for (void* e : E) delete static_cast<Group*>(e);
    }
    Group* Sub(size_t I) const { return static_cast<Group*>(E[I]); }
};

struct Model::Index {
    const View* V = nullptr;
    Group* Root = nullptr;
    int SortColumn = 0, SortViewField = -1, SortField = -1;
    bool ByTotals = false;
    std::vector<std::pair<Row*, Group*>> Map;
    std::vector<Group*> Pending;
    ~Index() { delete Root; }
};

namespace {
Model::Group* NewGroup(const View* V, Model::Group* Parent, int Level) {
    auto* g = new Model::Group;
    g->Parent = Parent;
    g->Level = Level;
    if (Level > 0) g->KeyField = V->Fields[size_t(Level - 1)].Field;
    g->HasSub = Level < int(V->Fields.size()) && V->Fields[size_t(Level)].GroupBy;
    return g;
}
Row* FirstItem(const Model::Group* G) {
    if (G->E.empty()) return nullptr;
    return G->HasSub ? FirstItem(G->Sub(0)) : static_cast<Row*>(G->E[0]);
}
double TotalOf(const Model::Group* G, int Field) {
    double t = 0;
    for (size_t i = 0; i < G->E.size(); ++i)
        t += G->HasSub ? TotalOf(G->Sub(i), Field) : RowValue(static_cast<Row*>(G->E[i]), Field);
    return t;
}
int Find(const std::vector<Row*>& L, Row* R) {
    for (int i = int(L.size()) - 1; i >= 0; --i)
        if (L[size_t(i)] == R) return i;
    return -1;
}
template <class E>
int FindEntry(const std::vector<E>& L, Row* R) {
    for (int i = int(L.size()) - 1; i >= 0; --i)
        if (L[size_t(i)].Item == R) return i;
    return -1;
}
}  // namespace

Model::~Model() {
    for (auto& [key, index] : FIndexes) delete index;
}

Model::Group* Model::LeafOf(Index& I, Row* R) const {
    for (int i = int(I.Map.size()) - 1; i >= 0; --i)
        if (I.Map[size_t(i)].first == R) return I.Map[size_t(i)].second;
    return nullptr;
}

void Model::End() {
    --FDepth;
    if (FDepth <= 0) {
        FDepth = 0;
        Update();
    }
}

void Model::Add(Row* R) {
    FAll.push_back(R);
    if (FindEntry(FAdds, R) < 0) FAdds.push_back({R, 0});
    if (FDepth == 0) Update();
}

void Model::Change(Row* R) {
    if (FindEntry(FAdds, R) >= 0 || FindEntry(FRemoves, R) >= 0) return;
    if (FindEntry(FChanges, R) < 0) FChanges.push_back({R, 0});
    if (FDepth == 0) Update();
}

void Model::Remove(Row* R) {
    FAll.erase(FAll.begin() + Find(FAll, R));
    int s = Find(FSelected, R);
    if (s >= 0) FSelected.erase(FSelected.begin() + s);
    int a = FindEntry(FAdds, R);
    if (a >= 0) FAdds.erase(FAdds.begin() + a);
    int c = FindEntry(FChanges, R);
    if (c >= 0) FChanges.erase(FChanges.begin() + c);
    if (FindEntry(FRemoves, R) < 0) FRemoves.push_back({R, 0});
    if (FDepth == 0) Update();
}

void Model::Register(Index& I, Group* G) {
    if (G->Pending) return;
    G->Pending = true;
    I.Pending.push_back(G);
}

void Model::ProcessAdds(Index& I, Group* G, std::vector<Entry>& List, int First, int Last, int Mark) {
    Row* ref = FirstItem(G);
    bool any = false;
    const int from = Last, to = First;
    for (int i = from; i >= to; --i) {
        Entry& e = List[size_t(i)];
        if (e.Mark < Mark - 1) continue;
        bool match;
        if (G->Level == 0) match = true;
        else if (ref) match = Cmp(ref, e.Item, G->KeyField) == 0;
        else {
            match = true;
            ref = e.Item;
        }
        if (!match) continue;
        e.Mark = Mark;
        if (!any) Last = i;
        any = true;
        First = i;
    }
    if (!any) return;
    auto narrow = [&] {
        while (Last >= First && List[size_t(Last)].Mark < Mark) --Last;
        while (First <= Last && List[size_t(First)].Mark < Mark) ++First;
    };
    if (G->HasSub) {
        for (int s = int(G->E.size()) - 1; s >= 0 && First <= Last; --s) {
            ProcessAdds(I, G->Sub(size_t(s)), List, First, Last, Mark + 1);
            narrow();
        }
        while (First <= Last) {
            Group* sub = NewGroup(I.V, G, G->Level + 1);
            G->E.push_back(sub);
            ProcessAdds(I, sub, List, First, Last, Mark + 1);
            narrow();
        }
    } else {
        for (int i = Last; i >= First; --i) {
            Entry& e = List[size_t(i)];
            if (e.Mark < Mark) continue;
            G->E.push_back(e.Item);
            I.Map.push_back({e.Item, G});
            e.Mark = 0;
        }
    }
    Register(I, G);
}

void Model::GroupDeletes(Index& I, Group* G, void* Removed) {
    while (true) {
        auto it = std::find(G->E.begin(), G->E.end(), Removed);
        G->E.erase(it);
        if (G->HasSub) delete static_cast<Group*>(Removed);
        if (!G->E.empty()) {
            for (Group* g = G; g; g = g->Parent) Register(I, g);
            return;
        }
        std::erase(I.Pending, G);
        G->Pending = false;
        if (!G->Parent) return;
        Removed = G;
        G = G->Parent;
    }
}

void Model::ProcessDeletes(Index& I, std::vector<Entry>& List) {
    for (int i = int(List.size()) - 1; i >= 0; --i) {
        if (List[size_t(i)].Mark != 1) continue;
        Row* r = List[size_t(i)].Item;
        for (int m = int(I.Map.size()) - 1; m >= 0; --m)
            if (I.Map[size_t(m)].first == r) {
                Group* leaf = I.Map[size_t(m)].second;
                I.Map.erase(I.Map.begin() + m);
                GroupDeletes(I, leaf, r);
                break;
            }
    }
}

void Model::ProcessUpdates(Index& I, std::vector<Entry>& List) {
    for (int i = int(List.size()) - 1; i >= 0; --i) {
        Entry& e = List[size_t(i)];
        if (e.Mark != 2) continue;
        Group* leaf = LeafOf(I, e.Item);
        bool stays = false;
        if (leaf == I.Root) stays = true;
        else if (leaf->E.size() > 1) {
            for (void* o : leaf->E) {
                if (o == e.Item) continue;
                bool differs = false;
                for (Group* g = leaf; g->Level > 0; g = g->Parent)
                    if (Cmp(e.Item, static_cast<Row*>(o), g->KeyField) != 0) differs = true;
                if (differs) break;
                if (FindEntry(List, static_cast<Row*>(o)) < 0) {
                    stays = true;
                    break;
                }
            }
        }
        if (stays) {
            e.Mark = 0;
            Register(I, leaf);
        } else e.Mark = 1;
    }
}

void Model::SetIndexSort(Index& I, int Column) {
    if (Column == 0) {
        I.SortColumn = 0;
        I.SortViewField = -1;
        I.ByTotals = false;
        I.SortField = -1;
        return;
    }
    I.SortColumn = Column;
    I.SortViewField = std::abs(Column) - 1;
    const int n = int(I.V->Fields.size());
    if (n > 0 && I.SortViewField < n && !FCanSort[size_t(I.V->Fields[size_t(I.SortViewField)].Field)]) {
        int found = -1;
        for (int k = 0; k < n; ++k)
            if (found < 0 && FCanSort[size_t(I.V->Fields[size_t(k)].Field)]) found = k;
        if (found < 0) return SetIndexSort(I, 0);
        I.SortViewField = found;
        I.SortColumn = found + 1;
    }
    if (I.SortViewField < n) {
        I.ByTotals = I.V->Fields[size_t(I.SortViewField)].Totals;
        I.SortField = I.V->Fields[size_t(I.SortViewField)].Field;
    } else {
        I.ByTotals = false;
        I.SortField = -1;
    }
}

int Model::CompareElements(Index& I, Group* G, void* A, void* B) {
    Row* d1 = G->HasSub ? FirstItem(static_cast<Group*>(A)) : static_cast<Row*>(A);
    Row* d2 = G->HasSub ? FirstItem(static_cast<Group*>(B)) : static_cast<Row*>(B);
    int r;
    if (!I.ByTotals) r = Cmp(d1, d2, I.SortField);
    else {
        double v1 = G->HasSub ? TotalOf(static_cast<Group*>(A), I.SortField) : RowValue(d1, I.SortField);
        double v2 = G->HasSub ? TotalOf(static_cast<Group*>(B), I.SortField) : RowValue(d2, I.SortField);
        r = v1 < v2 ? -1 : (v1 > v2 ? 1 : 0);
    }
    for (int f = 0; r == 0 && f < 3; ++f)
        if (f != I.SortField) r = Cmp(d1, d2, f);
    return I.SortColumn < 0 ? -r : r;
}

void Model::Sort(Index& I, Group* G) {
    if (I.V->Fields.empty() || I.SortField < 0) return;
    std::vector<void*>& a = G->E;
    int n = int(a.size());
    int h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (int i = h; i < n; ++i) {
            void* v = a[size_t(i)];
            int j = i;
            while (j >= h && CompareElements(I, G, a[size_t(j - h)], v) > 0) {
                a[size_t(j)] = a[size_t(j - h)];
                j -= h;
            }
            a[size_t(j)] = v;
        }
    } while (h > 1);
}

void Model::SortPending(Index& I) {
    const bool sorted = I.SortViewField != -1;
    if (sorted) {
        bool again = true;
        while (again) {
            again = false;
            for (int k = int(I.Pending.size()) - 1; k >= 0; --k) {
                Group* p = I.Pending[size_t(k)]->Parent;
                if (p && !p->Pending) {
                    Register(I, p);
                    again = true;
                    break;
                }
            }
        }
    }
    for (int k = int(I.Pending.size()) - 1; k >= 0; --k) {
        if (sorted) Sort(I, I.Pending[size_t(k)]);
        I.Pending[size_t(k)]->Pending = false;
    }
    I.Pending.clear();
}

Model::Index* Model::FindIndex(const std::string& Name, int Column) {
    const View* v = nullptr;
    for (const View* w : FViews)
        if (w->Name == Name) v = w;
    if (std::abs(Column) > int(v->Fields.size())) Column = 1;
    std::string key = Name + "%" + std::to_string(std::abs(Column));
    for (auto& [k, index] : FIndexes)
        if (k == key) return index;
    auto* index = new Index;
    index->V = v;
    SetIndexSort(*index, std::abs(Column));
    index->Root = NewGroup(v, nullptr, 0);
    index->Root->Expanded = true;
    FIndexes.push_back({key, index});
    std::sort(FIndexes.begin(), FIndexes.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return index;
}

void Model::Populate(Index& I) {
    std::vector<Entry> list;
    for (Row* r : FAll) list.push_back({r, I.V->Filter == -1 || KeepRow(r, I.V->Filter) ? 1 : 0});
    if (!list.empty()) ProcessAdds(I, I.Root, list, 0, int(list.size()) - 1, 2);
}

void Model::Activate(const std::string& Name) {
    if (Name == FActiveName) return;
    FActiveName = Name;
    FActive = FindIndex(Name, FSortColumn);
    FSortColumn = FActive->SortColumn;
    if (FActive->Root->E.empty() && !FAll.empty()) {
        Populate(*FActive);
        SortPending(*FActive);
    }
    if (FAll.empty()) KeepOnlyActive();
}

void Model::Update() {
    for (auto& [key, index] : FIndexes) {
        Index& I = *index;
        const int filter = I.V->Filter;
        for (Entry& e : FRemoves) e.Mark = 1;
        ProcessDeletes(I, FRemoves);
        if (filter != -1) {
            for (Entry& e : FChanges) e.Mark = KeepRow(e.Item, filter) ? 0 : 1;
            ProcessDeletes(I, FChanges);
        }
        for (Entry& e : FChanges) {
            if (e.Mark == 1) e.Mark = 0;
            else e.Mark = LeafOf(I, e.Item) ? 2 : 3;
        }
        if (FChanges.size() * 20 > I.Map.size()) {
            for (Entry& e : FChanges)
                if (e.Mark != 0) e.Mark = 1;
        } else ProcessUpdates(I, FChanges);
        ProcessDeletes(I, FChanges);
        for (Entry& e : FChanges)
            if (e.Mark != 0) e.Mark = 2;
        if (!FChanges.empty()) ProcessAdds(I, I.Root, FChanges, 0, int(FChanges.size()) - 1, 2);
        for (Entry& e : FAdds) e.Mark = filter == -1 || KeepRow(e.Item, filter) ? 1 : 0;
        if (!FAdds.empty()) ProcessAdds(I, I.Root, FAdds, 0, int(FAdds.size()) - 1, 2);
        SortPending(I);
    }
    FAdds.clear();
    FRemoves.clear();
    FChanges.clear();
    if (FAll.empty()) KeepOnlyActive();
}

void Model::KeepOnlyActive() {
    for (size_t k = FIndexes.size(); k-- > 0;)
        if (FIndexes[k].second != FActive) {
            delete FIndexes[k].second;
            FIndexes.erase(FIndexes.begin() + ptrdiff_t(k));
        }
}

void Model::SetSort(int Column) {
    if (Column == FSortColumn || !FActive) return;
    std::function<void(Group*)> reverse = [&](Group* g) {
        if (g->HasSub)
            for (void* e : g->E) reverse(static_cast<Group*>(e));
        std::reverse(g->E.begin(), g->E.end());
    };
    std::function<void(Group*)> all = [&](Group* g) {
        Register(*FActive, g);
        if (g->HasSub)
            for (void* e : g->E) all(static_cast<Group*>(e));
    };
    bool negation = Column == -FSortColumn;
    SetIndexSort(*FActive, Column);
    FSortColumn = FActive->SortColumn;
    if (negation) reverse(FActive->Root);
    else {
        all(FActive->Root);
        SortPending(*FActive);
    }
}

namespace {
void ExpandUp(Model::Group* G) {
    if (G->Expanded) return;
    if (G->Parent) ExpandUp(G->Parent);
    G->Expanded = true;
}
void SetGroupExpanded(Model::Group* G, bool Value) {
    if (Value) ExpandUp(G);
    else G->Expanded = false;
}
void ExpandTree(Model::Group* G, bool Value) {
    SetGroupExpanded(G, Value);
    if (G->HasSub)
        for (void* e : G->E) ExpandTree(static_cast<Model::Group*>(e), Value);
}
}  // namespace

void Model::ExpandAll(bool Value) {
    if (!FActive) return;
    ExpandTree(FActive->Root, Value);
    SetGroupExpanded(FActive->Root, true);
}

int Model::GroupLines(const Group* G) const {
    int n = 1;
    if (G->Expanded)
        for (size_t i = 0; i < G->E.size(); ++i) n += G->HasSub ? GroupLines(G->Sub(i)) : 1;
    return n;
}

bool Model::Locate(int Line, Group*& G, Row*& R) const {
    G = nullptr;
    R = nullptr;
    int l = Line;
    std::function<bool(const Group*)> walk = [&](const Group* g) {
        for (size_t i = 0; i < g->E.size(); ++i) {
            if (!g->HasSub) {
                if (l == 0) {
                    R = static_cast<Row*>(g->E[i]);
                    return true;
                }
                --l;
                continue;
            }
            Group* s = g->Sub(i);
            if (l == 0) {
                G = s;
                return true;
            }
            --l;
            if (s->Expanded && walk(s)) return true;
        }
        return false;
    };
    return FActive && Line >= 0 && walk(FActive->Root);
}

void Model::SetExpanded(int Line, bool Value) {
    Group* g;
    Row* r;
    if (Locate(Line, g, r) && g) SetGroupExpanded(g, Value);
}

bool Model::SelectedGroup(const Group* G) const {
    for (const Group* g = G; g; g = g->Parent)
        if (g->Selected) return true;
    return false;
}

bool Model::SelectedItem(Row* R) const {
    if (Find(FSelected, R) >= 0) return true;
    return SelectedGroup(LeafOf(*FActive, R));
}

void Model::Collect(Group* G, bool Inherited, bool SelectedOnly, std::vector<Row*>& Out) const {
    bool sel = Inherited || G->Selected;
    for (int i = int(G->E.size()) - 1; i >= 0; --i) {
        if (G->HasSub) Collect(G->Sub(size_t(i)), sel, SelectedOnly, Out);
        else if (!SelectedOnly || sel || Find(FSelected, static_cast<Row*>(G->E[size_t(i)])) >= 0)
            Out.push_back(static_cast<Row*>(G->E[size_t(i)]));
    }
}

void Model::SetSelected(int Line, bool Value) {
    Group* g;
    Row* r;
    if (!Locate(Line, g, r)) return;
    Group* from = g ? g : LeafOf(*FActive, r);
    Group* top = nullptr;
    for (Group* p = from; p; p = p->Parent)
        if (p->Selected) top = p;
    if (g && Value) {
        g->Selected = true;
        return;
    }
    if (r && Value) {
        if (Find(FSelected, r) < 0) FSelected.push_back(r);
        return;
    }
    if (r) {
        int s = Find(FSelected, r);
        if (s >= 0) FSelected.erase(FSelected.begin() + s);
    }
    if (!top) return;
    std::vector<Row*> under;
    Collect(top, false, false, under);
    for (Row* u : under) {
        if (u == r) continue;
        bool inside = false;
        if (g)
            for (Group* p = LeafOf(*FActive, u); p; p = p->Parent) inside = inside || p == g;
        if (!inside && Find(FSelected, u) < 0) FSelected.push_back(u);
    }
    for (Group* p = from; p != top->Parent; p = p->Parent) p->Selected = false;
}

void Model::SelectAll(bool Value) {
    if (!FActive) return;
    FSelected.clear();
    if (Value) FSelected = FAll;
    std::function<void(Group*)> flag = [&](Group* g) {
        g->Selected = Value;
        if (g->HasSub)
            for (void* e : g->E) flag(static_cast<Group*>(e));
    };
    flag(FActive->Root);
}

std::vector<std::string> Model::Lines() {
    LineSource source;
    source.Count = [this] { return FActive ? GroupLines(FActive->Root) - 1 : 0; };
    source.At = [this](int Line, Row*& Item, std::string& Keys, bool& Expanded) {
        Group* g;
        Locate(Line, g, Item);
        if (!g) return false;
        for (Group* p = g; p->Level > 0; p = p->Parent) {
            std::string key = FieldText(FirstItem(p), p->KeyField);
            Keys = Keys.empty() ? key : key + "/" + Keys;
        }
        Expanded = g->Expanded;
        return true;
    };
    if (MultiSelect)
        source.Selected = [this](int Line) {
            Group* g;
            Row* r;
            Locate(Line, g, r);
            return g ? SelectedGroup(g) : SelectedItem(r);
        };
    return Render(source);
}

std::vector<std::string> Model::EnumerateSelected() {
    std::vector<Row*> rows;
    if (FActive) Collect(FActive->Root, false, true, rows);
    std::vector<std::string> names;
    for (Row* r : rows) names.push_back(r->Name);
    return names;
}

std::vector<std::string> Model::Trees() const {
    std::vector<std::string> trees;
    std::function<std::string(const Group*)> dump = [&](const Group* g) {
        std::string s = "(";
        for (size_t i = 0; i < g->E.size(); ++i)
            s += g->HasSub ? dump(g->Sub(i)) : static_cast<Row*>(g->E[i])->Name + " ";
        return s + ")";
    };
    for (const auto& [key, index] : FIndexes) trees.push_back(key + ": " + dump(index->Root));
    return trees;
}

double Model::GroupTotal(int Line, int Field) {
    Group* g;
    Row* r;
    Locate(Line, g, r);
    return g ? TotalOf(g, Field) : 0;
}

}  // namespace rvtest
