#include "platform/rtl/StringList.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_CLASS(TStrings, TPersistent)
ZELMOR_IMPLEMENT_CLASS_FACTORY(TStringList, TStrings, [](TObject*) -> TObject* { return new TStringList; })

void TStrings::Error(const char* Message, int Data) { throw EStringListError(Format(Message, {Data})); }

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::Put(int Index, const AnsiString& S) {
    TObject* o = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, o);
}

int TStrings::Add(const AnsiString& S) {
    int i = Count();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const AnsiString& S, TObject* Object) {
    int i = Add(S);
    PutObject(i, Object);
    return i;
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* Object) {
    Insert(Index, S);
    PutObject(Index, Object);
}

void TStrings::AddStrings(const TStrings& Strings) {
    BeginUpdate();
    try {
        for (int i = 0; i < Strings.Count(); ++i) AddObject(Strings.Get(i), Strings.GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this) return;
        BeginUpdate();
        try {
            Clear();
            FNameValueSeparator = src->FNameValueSeparator;
            FDelimiter = src->FDelimiter;
            FQuoteChar = src->FQuoteChar;
            AddStrings(*src);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    try {
        AnsiString s1 = Get(Index1), s2 = Get(Index2);
        TObject* o1 = GetObject(Index1);
        TObject* o2 = GetObject(Index2);
        Put(Index1, s2);
        PutObject(Index1, o2);
        Put(Index2, s1);
        PutObject(Index2, o1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    BeginUpdate();
    try {
        AnsiString s = Get(CurIndex);
        TObject* o = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(const TStrings& Other) const {
    if (Count() != Other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Other.Get(i)) return false;
    return true;
}

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const {
    return AnsiCompareText(S1, S2);
}

int TStrings::IndexOf(const AnsiString& S) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == Object) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view Name) const {
    for (int i = 0; i < Count(); ++i) {
        AnsiString s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != AnsiString::npos && CompareStrings(std::string_view(s).substr(0, p), Name) == 0) return i;
    }
    return -1;
}

AnsiString TStrings::Names(int Index) const {
    AnsiString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::ValueFromIndex(int Index) const {
    AnsiString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

AnsiString TStrings::Values(std::string_view Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view Name, std::string_view Value) {
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    AnsiString line = AnsiString(Name) + FNameValueSeparator + AnsiString(Value);
    if (i < 0) Add(line);
    else Put(i, line);
}

void TStrings::SetValueFromIndex(int Index, std::string_view Value) {
    if (Index < 0) {
        if (!Value.empty()) Add(FNameValueSeparator + AnsiString(Value));
        return;
    }
    if (Value.empty()) {
        Delete(Index);
        return;
    }
    Put(Index, Names(Index) + FNameValueSeparator + AnsiString(Value));
}

AnsiString TStrings::Text() const {
    AnsiString out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view T) {
    BeginUpdate();
    try {
        Clear();
        size_t start = 0, i = 0;
        while (i < T.size()) {
            char c = T[i];
            if (c == '\r' || c == '\n') {
                Add(AnsiString(T.substr(start, i - start)));
                i += (c == '\r' && i + 1 < T.size() && T[i + 1] == '\n') ? 2 : 1;
                start = i;
            } else {
                ++i;
            }
        }
        if (start < T.size()) Add(AnsiString(T.substr(start)));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

AnsiString TStrings::DelimitedText() const {
    if (Count() == 1 && Get(0).empty()) return AnsiString(2, FQuoteChar);
    AnsiString out;
    for (int i = 0; i < Count(); ++i) {
        AnsiString s = Get(i);
        bool quote = false;
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == FQuoteChar || c == FDelimiter) quote = true;
        if (i) out += FDelimiter;
        out += quote ? AnsiQuotedStr(s, FQuoteChar) : s;
    }
    return out;
}

void TStrings::SetDelimitedText(std::string_view T) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0, n = T.size();
        auto blank = [&](size_t k) { return k < n && static_cast<unsigned char>(T[k]) <= ' '; };
        while (blank(i)) ++i;
        while (i < n) {
            AnsiString item;
            if (T[i] == FQuoteChar) {
                ++i;
                while (i < n) {
                    if (T[i] == FQuoteChar) {
                        if (i + 1 < n && T[i + 1] == FQuoteChar) {
                            item += FQuoteChar;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    item += T[i++];
                }
            } else {
                while (i < n && !blank(i) && T[i] != FDelimiter) item += T[i++];
            }
            Add(item);
            while (blank(i)) ++i;
            if (i < n && T[i] == FDelimiter) {
                ++i;
                while (blank(i)) ++i;
                if (i == n) Add("");  // a delimiter at the end leaves an empty last item
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

AnsiString TStrings::CommaText() const {
    TStrings& self = const_cast<TStrings&>(*this);
    char d = FDelimiter, q = FQuoteChar;
    self.FDelimiter = ',';
    self.FQuoteChar = '"';
    AnsiString r = DelimitedText();
    self.FDelimiter = d;
    self.FQuoteChar = q;
    return r;
}

void TStrings::SetCommaText(std::string_view T) {
    char d = FDelimiter, q = FQuoteChar;
    FDelimiter = ',';
    FQuoteChar = '"';
    try {
        SetDelimitedText(T);
    } catch (...) {
        FDelimiter = d;
        FQuoteChar = q;
        throw;
    }
    FDelimiter = d;
    FQuoteChar = q;
}

void TStrings::LoadFromStream(TStream& Stream) {
    int64_t size = Stream.Size() - Stream.Position();
    SetText(Stream.ReadString(size));
}

void TStrings::SaveToStream(TStream& Stream) const { Stream.WriteString(Text()); }

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

// --- TStringList ---
TStringList::~TStringList() {
    // No events from a list that is going away.
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::Check(int Index) const {
    if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && Assigned(OnChange)) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && Assigned(OnChanging)) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        if (Assigned(OnChanging)) OnChanging(this);
    } else if (Assigned(OnChange)) {
        OnChange(this);
    }
}

AnsiString TStringList::Get(int Index) const {
    Check(Index);
    return FItems[static_cast<size_t>(Index)].Text;
}

TObject* TStringList::GetObject(int Index) const {
    Check(Index);
    return FItems[static_cast<size_t>(Index)].Object;
}

void TStringList::Put(int Index, const AnsiString& S) {
    if (FSorted) Error("Operation not allowed on sorted list", 0);
    Check(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].Text = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* Object) {
    Check(Index);
    Changing();
    FItems[static_cast<size_t>(Index)].Object = Object;
    Changed();
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* Object) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) Error("String list does not allow duplicates", 0);
    }
    InsertItem(index, S, Object);
    return index;
}

void TStringList::Insert(int Index, const AnsiString& S) {
    if (FSorted) Error("Operation not allowed on sorted list", 0);
    if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* Object) {
    Changing();
    FItems.insert(FItems.begin() + Index, Item{S, Object});
    Changed();
}

void TStringList::Delete(int Index) {
    Check(Index);
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    Check(Index1);
    Check(Index2);
    Changing();
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::IndexOf(const AnsiString& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int i;
    return Find(S, i) ? i : -1;
}

bool TStringList::Find(std::string_view S, int& Index) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (CompareStrings(FItems[static_cast<size_t>(mid)].Text, S) < 0) lo = mid + 1;
        else hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareStrings(FItems[static_cast<size_t>(lo)].Text, S) == 0;
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (Count() < 2) return;
    // The comparison sees the lines where they stand now; the order is
    // applied once it is known. Equal lines keep their order.
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(*this, a, b) < 0; });
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(FItems.size());
    for (int i : order) sorted.push_back(std::move(FItems[static_cast<size_t>(i)]));
    FItems = std::move(sorted);
    Changed();
}

void TStringList::Sort() {
    CustomSort([](TStringList& L, int a, int b) {
        return L.CompareStrings(L.FItems[static_cast<size_t>(a)].Text, L.FItems[static_cast<size_t>(b)].Text);
    });
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}
