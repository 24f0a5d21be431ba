// Cursors: positions along an order, under filters and a range.
#include <cstring>
#include <optional>

#include "platform/db/DbfInternal.h"

struct TDbfCursor::TImpl {
    std::shared_ptr<TDbfTable> Table;
    TDbfTableState* S = nullptr;
    int Order = -1;

    struct TFilter {
        int Handle;
        TDbfRecordFilter Fn;
        bool Active;
    };
    std::vector<TFilter> Filters;
    int NextHandle = 1;
    std::optional<TDbfKey> Start, End;

    // Gap: the cursor stands where its record was, which is no longer visible.
    enum TPos { AtBof, AtEof, OnRec, Gap } Pos = AtBof;
    uint32_t Rec = 0;
    std::vector<char> Buf, Tmp;

    size_t Idx = 0;
    uint64_t IdxVersion = 0;  // the order's version Idx belongs to (0: none)

    uint64_t Config = 1;  // grows with every change of order, range or filters
    uint64_t CountConfig = 0, CountTableVersion = 0;
    uint32_t CountValue = 0;

    TDbfOrdering& Ord() {
        S->EnsureOrder(Order);
        return *S->Orders[size_t(Order)];
    }
    bool HasActiveFilter() const {
        for (const auto& f : Filters)
            if (f.Active) return true;
        return false;
    }
    bool Passes(uint32_t R, char* Into) {
        S->ReadRecord(R, Into);
        if (Into[0] == '*') return false;
        for (const auto& f : Filters)
            if (f.Active && !f.Fn(Into)) return false;
        return true;
    }
    bool InRange(uint32_t R) {
        if (Order < 0 || (!Start && !End)) return true;
        TDbfOrdering& o = Ord();
        if (Start && o.CompareKeys(o.KeyOf(R), reinterpret_cast<const uint8_t*>(Start->Bytes.data()),
                                   Start->Bytes.size()) < 0)
            return false;
        if (End && o.CompareKeys(o.KeyOf(R), reinterpret_cast<const uint8_t*>(End->Bytes.data()),
                                 End->Bytes.size()) > 0)
            return false;
        return true;
    }
    size_t LowIdx() {
        TDbfOrdering& o = Ord();
        return Start
                   ? o.LowerBound(reinterpret_cast<const uint8_t*>(Start->Bytes.data()), Start->Bytes.size())
                   : 0;
    }
    size_t HighIdx() {
        TDbfOrdering& o = Ord();
        return End ? o.UpperBound(reinterpret_cast<const uint8_t*>(End->Bytes.data()), End->Bytes.size())
                   : o.Order.size();
    }
    // The place of the cursor's record in the order (the records that are
    // gone since an emptying sit past the end).
    size_t CurIdx() {
        TDbfOrdering& o = Ord();
        if (Rec < 1 || Rec > S->Count) return o.Order.size();
        if (IdxVersion != o.Version || Idx >= o.Order.size() || o.Order[Idx] != Rec) {
            Idx = o.PositionOf(Rec);
            IdxVersion = o.Version;
        }
        return Idx;
    }
    void Land(uint32_t R, size_t At, bool AtKnown) {
        Pos = OnRec;
        Rec = R;
        std::swap(Buf, Tmp);
        if (AtKnown && Order >= 0) {
            Idx = At;
            IdxVersion = S->Orders[size_t(Order)]->Version;
        } else {
            IdxVersion = 0;
        }
    }
    // Scans forward from position From (an index in the order, or a record
    // number in physical order) for the first visible record.
    bool Forward(size_t From) {
        Tmp.resize(size_t(S->RecordLength));
        if (Order < 0) {
            for (uint64_t r = From; r <= S->Count; ++r)
                if (r >= 1 && Passes(uint32_t(r), Tmp.data())) {
                    Land(uint32_t(r), 0, false);
                    return true;
                }
        } else {
            size_t high = HighIdx();
            for (size_t i = std::max(From, LowIdx()); i < high; ++i) {
                TDbfOrdering& o = Ord();
                if (i >= o.Order.size()) break;
                uint32_t r = o.Order[i];
                if (Passes(r, Tmp.data())) {
                    Land(r, i, true);
                    return true;
                }
            }
        }
        Pos = AtEof;
        return false;
    }
    // Scans backward from From (inclusive); From below the start means none.
    bool Backward(int64_t From) {
        Tmp.resize(size_t(S->RecordLength));
        if (Order < 0) {
            for (int64_t r = std::min<int64_t>(From, S->Count); r >= 1; --r)
                if (Passes(uint32_t(r), Tmp.data())) {
                    Land(uint32_t(r), 0, false);
                    return true;
                }
        } else {
            int64_t low = int64_t(LowIdx());
            for (int64_t i = std::min<int64_t>(From, int64_t(HighIdx()) - 1); i >= low; --i) {
                TDbfOrdering& o = Ord();
                if (size_t(i) >= o.Order.size()) continue;
                uint32_t r = o.Order[size_t(i)];
                if (Passes(r, Tmp.data())) {
                    Land(r, size_t(i), true);
                    return true;
                }
            }
        }
        Pos = AtBof;
        return false;
    }
};

TDbfCursor::TDbfCursor(std::shared_ptr<TDbfTable> Table) : F(std::make_unique<TImpl>()) {
    F->S = &Table->State();
    F->Table = std::move(Table);
    F->Buf.resize(size_t(F->S->RecordLength));
}

TDbfCursor::~TDbfCursor() = default;

TDbfTable& TDbfCursor::Table() const { return *F->Table; }
const std::shared_ptr<TDbfTable>& TDbfCursor::SharedTable() const { return F->Table; }

void TDbfCursor::SetOrder(int Order) {
    if (Order < -1 || Order >= int(F->S->Orders.size()))
        DbfRaise(dbeBadKey, "No index number " + std::to_string(Order) + " on " + F->S->Path);
    F->Order = Order;
    F->Start.reset();
    F->End.reset();
    F->IdxVersion = 0;
    ++F->Config;
}

int TDbfCursor::Order() const { return F->Order; }

int TDbfCursor::AddFilter(TDbfRecordFilter Filter, bool Active) {
    int handle = F->NextHandle++;
    F->Filters.push_back({handle, std::move(Filter), Active});
    ++F->Config;
    return handle;
}

void TDbfCursor::SetFilterActive(int Handle, bool Active) {
    for (auto& f : F->Filters)
        if (f.Handle == Handle) f.Active = Active;
    ++F->Config;
}

void TDbfCursor::RemoveFilter(int Handle) {
    std::erase_if(F->Filters, [&](const TImpl::TFilter& f) { return f.Handle == Handle; });
    ++F->Config;
}

void TDbfCursor::SetRange(const TDbfKey* Start, const TDbfKey* End) {
    if (F->Order < 0) DbfRaise(dbeBadKey, "A range needs an index on " + F->S->Path);
    for (const TDbfKey* k : {Start, End})
        if (k && k->Order != F->Order) DbfRaise(dbeBadKey, "The range key belongs to another index");
    F->Start = Start ? std::optional<TDbfKey>(*Start) : std::nullopt;
    F->End = End ? std::optional<TDbfKey>(*End) : std::nullopt;
    ++F->Config;
    F->Pos = TImpl::AtBof;
}

void TDbfCursor::ClearRange() {
    F->Start.reset();
    F->End.reset();
    ++F->Config;
}

// First, Last and Refresh are where a reader takes in what another program
// wrote: the points where a screen starts over or shows its record again.
bool TDbfCursor::First() {
    F->S->Reread();
    return F->Forward(F->Order < 0 ? 1 : 0);
}

bool TDbfCursor::Last() {
    F->S->Reread();
    if (F->Order < 0) return F->Backward(F->S->Count);
    return F->Backward(int64_t(F->Ord().Order.size()) - 1);
}

bool TDbfCursor::Next() {
    switch (F->Pos) {
    case TImpl::AtEof: return false;
    case TImpl::AtBof: return First();
    default:
        if (F->Order < 0) return F->Forward(size_t(F->Rec) + 1);
        return F->Forward(F->CurIdx() + 1);
    }
}

bool TDbfCursor::Prior() {
    switch (F->Pos) {
    case TImpl::AtBof: return false;
    case TImpl::AtEof: return Last();
    default:
        if (F->Order < 0) return F->Backward(int64_t(F->Rec) - 1);
        return F->Backward(int64_t(F->CurIdx()) - 1);
    }
}

void TDbfCursor::GoBof() { F->Pos = TImpl::AtBof; }
void TDbfCursor::GoEof() { F->Pos = TImpl::AtEof; }
bool TDbfCursor::Bof() const { return F->Pos == TImpl::AtBof; }
bool TDbfCursor::Eof() const { return F->Pos == TImpl::AtEof; }
bool TDbfCursor::OnRecord() const { return F->Pos == TImpl::OnRec; }
uint32_t TDbfCursor::RecNo() const { return F->Pos == TImpl::OnRec ? F->Rec : 0; }
const char* TDbfCursor::Record() const { return F->Buf.data(); }

bool TDbfCursor::Refresh() {
    if (F->Pos != TImpl::OnRec && F->Pos != TImpl::Gap) return false;
    F->S->Reread();
    if (F->Rec > F->S->Count) {
        F->Pos = TImpl::AtBof;
        return false;
    }
    F->Tmp.resize(size_t(F->S->RecordLength));
    if (F->Passes(F->Rec, F->Tmp.data()) && F->InRange(F->Rec)) {
        F->Land(F->Rec, 0, false);
        return true;
    }
    F->Pos = TImpl::Gap;
    return false;
}

bool TDbfCursor::Accepts(uint32_t RecNo) {
    if (RecNo < 1 || RecNo > F->S->Count) return false;
    F->Tmp.resize(size_t(F->S->RecordLength));
    return F->Passes(RecNo, F->Tmp.data()) && F->InRange(RecNo);
}

bool TDbfCursor::GotoRecord(uint32_t RecNo) {
    if (!Accepts(RecNo)) return false;
    F->Land(RecNo, 0, false);
    return true;
}

bool TDbfCursor::Seek(const TDbfKey& Key, TDbfSeekMode Mode) {
    if (F->Order < 0 || Key.Order != F->Order)
        DbfRaise(dbeBadKey, "The key belongs to another index than the cursor's");
    TDbfOrdering& o = F->Ord();
    const uint8_t* k = reinterpret_cast<const uint8_t*>(Key.Bytes.data());
    size_t from = std::max(o.LowerBound(k, Key.Bytes.size()), F->LowIdx());
    size_t high = F->HighIdx();
    F->Tmp.resize(size_t(F->S->RecordLength));
    for (size_t i = from; i < high && i < F->Ord().Order.size(); ++i) {
        TDbfOrdering& current = F->Ord();
        uint32_t r = current.Order[i];
        if (Mode == dbfSeekExact && current.CompareKeys(current.KeyOf(r), k, Key.Bytes.size()) != 0)
            return false;
        if (F->Passes(r, F->Tmp.data())) {
            F->Land(r, i, true);
            return true;
        }
    }
    if (Mode == dbfSeekNearest) F->Pos = TImpl::AtEof;
    return false;
}

uint32_t TDbfCursor::RecordCount() {
    TImpl& f = *F;
    if (f.CountConfig == f.Config && f.CountTableVersion == f.S->Version) return f.CountValue;
    uint32_t n = 0;
    bool ranged = f.Order >= 0 && (f.Start || f.End);
    if (!f.HasActiveFilter() && !ranged) {
        n = uint32_t(int64_t(f.S->Count) - f.S->Deleted());
    } else {
        f.Tmp.resize(size_t(f.S->RecordLength));
        if (ranged) {
            size_t high = f.HighIdx();
            for (size_t i = f.LowIdx(); i < high && i < f.Ord().Order.size(); ++i)
                if (f.Passes(f.Ord().Order[i], f.Tmp.data())) ++n;
        } else {
            for (uint32_t r = 1; r <= f.S->Count; ++r)
                if (f.Passes(r, f.Tmp.data())) ++n;
        }
    }
    f.CountValue = n;
    f.CountConfig = f.Config;
    f.CountTableVersion = f.S->Version;
    return n;
}

uint32_t TDbfCursor::SequenceNumber() {
    TImpl& f = *F;
    if (f.Pos != TImpl::OnRec) return 0;
    uint32_t n = 0;
    f.Tmp.resize(size_t(f.S->RecordLength));
    if (f.Order < 0) {
        for (uint32_t r = 1; r <= f.Rec && r <= f.S->Count; ++r)
            if (f.Passes(r, f.Tmp.data())) ++n;
    } else {
        size_t at = f.CurIdx();
        for (size_t i = f.LowIdx(); i <= at && i < f.Ord().Order.size(); ++i)
            if (f.Passes(f.Ord().Order[i], f.Tmp.data())) ++n;
    }
    return n;
}

int TDbfCursor::CompareRecords(uint32_t A, uint32_t B) {
    for (uint32_t r : {A, B})
        if (r < 1 || r > F->S->Count) DbfRaise(dbeBadKey, "Record " + std::to_string(r) + " does not exist");
    if (A == B) return 0;
    if (F->Order < 0) return A < B ? -1 : 1;
    return F->Ord().Before(A, B) ? -1 : 1;
}
