// Cursors: positions along an order, under filters and a range.
//
// Positions (RecNo, the record at a position, the count under a filter or a
// range) come from the cursor's position map instead of a walk from the
// first record: which records it sees (not deleted, passing the active
// filters), as bits by record number, and the same bits along its order by
// position; bits that count their set bits before any place in a few steps
// (TDbfBits). The map is made on the first question and then kept up to date
// from what changed since: the table's journal of records appended, updated
// or deleted (each of them judged again) and the order's log of records that
// moved in it (the bits after them move along). It is made anew when the
// filters change (a filter added, removed, switched on or off), when the
// table starts a new epoch (emptied, another program's rows taken in, too
// many changes to follow) and when the order was sorted or loaded anew. So a
// filter must answer by the record alone; one whose answers change for other
// reasons is switched on again to be asked anew (as TDataSet::Refresh does).
// Moving from record to record asks the filters each time, as before.
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
    uint64_t FilterConfig = 1;  // grows with every change of the filters
    std::optional<TDbfKey> Start, End;

    // Gap: the cursor stands where its record was, which is no longer visible.
    enum TPos { AtBof, AtEof, OnRec, Gap } Pos = AtBof;
    uint32_t Rec = 0;
    std::vector<char> Buf, Tmp;

    size_t Idx = 0;
    uint64_t IdxVersion = 0;  // the order's version Idx belongs to (0: none)

    // The position map (see the top of this file).
    struct TMap {
        bool Made = false;  // Visible is right for FilterConfig and Epoch up to Touched
        uint64_t FilterConfig = 0, Epoch = 0;
        size_t Touched = 0;  // entries of the table's journal taken in
        TDbfBits Visible;    // bit RecNo-1
        bool AlongMade = false;
        int Order = -1;
        uint64_t OrderVersion = 0;
        TDbfBits Along;  // bit at each position of the order
    } Map;

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
        return Judge(Into);
    }
    // The same for the record at position At along the cursor's order.
    bool PassesAlong(TDbfOrdering& O, size_t At, char* Into) {
        S->ReadAlong(O, At, O.Order[At], Into);
        return Judge(Into);
    }
    bool Judge(const char* Record) const {
        if (Record[0] == '*') return false;
        for (const auto& f : Filters)
            if (f.Active && !f.Fn(Record)) return false;
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
    // The range's first position and the one past its end, kept while the
    // order does not change.
    uint64_t BoundsVersion = 0;  // the order's version they belong to (0: none)
    size_t LowAt = 0, HighAt = 0;
    void Bounds() {
        TDbfOrdering& o = Ord();
        if (BoundsVersion == o.Version) return;
        LowAt = Start
                    ? o.LowerBound(reinterpret_cast<const uint8_t*>(Start->Bytes.data()), Start->Bytes.size())
                    : 0;
        HighAt = End ? o.UpperBound(reinterpret_cast<const uint8_t*>(End->Bytes.data()), End->Bytes.size())
                     : o.Order.size();
        BoundsVersion = o.Version;
    }
    size_t LowIdx() {
        Bounds();
        return LowAt;
    }
    size_t HighIdx() {
        Bounds();
        return HighAt;
    }
    // A walk along an order jumps from record to record across the file.
    // Whenever it reaches a multiple of Batch it touches the records of the
    // next batch in a tight loop, which the processor runs with many memory
    // fetches at once; the walk then finds them at hand. A walk in record
    // order needs none of it: the memory streams.
    static constexpr size_t Batch = 16;
    unsigned TouchSum = 0;
    void TouchAhead(const TDbfOrdering& O, size_t At, bool Forward) {
        if (At % Batch != 0) return;
        const size_t from = Forward ? At + Batch : (At >= 2 * Batch ? At - 2 * Batch : 0);
        const size_t to = std::min(Forward ? At + 2 * Batch : (At >= Batch ? At - Batch : 0), O.Order.size());
        const uint64_t generation = S->Cache.Generation();
        for (size_t i = from; i < to; ++i)
            if (!O.Copy.Holds(i, generation, O.Version)) TouchSum += S->Cache.Touch(O.Order[i]);
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
    // Judges every record anew.
    void MakeVisible() {
        if (!HasActiveFilter()) {
            S->Deleted();
            Map.Visible.AssignNot(S->DeletedBits, S->Count);
            return;
        }
        Map.Visible.Assign(S->Count, false);
        Tmp.resize(size_t(S->RecordLength));
        for (uint32_t r = 1; r <= S->Count; ++r)
            if (Passes(r, Tmp.data())) Map.Visible.Set(r - 1, true);
    }
    // Brings the map up to date: the bits by position along the cursor's
    // order (along record numbers in physical order).
    TDbfBits& Positions() {
        const bool fresh = Map.Made && Map.FilterConfig == FilterConfig && Map.Epoch == S->Epoch;
        if (fresh && Map.Touched == S->Touched.size() &&
            (Order < 0 || (Map.AlongMade && Map.Order == Order && Map.OrderVersion == Ord().Version)))
            return Order < 0 ? Map.Visible : Map.Along;
        // Whatever a filter's exception interrupts is made anew next time.
        const size_t from = Map.Touched;
        bool alongFollows = fresh && Map.AlongMade && Map.Order == Order;
        Map.Made = false;
        Map.AlongMade = false;
        if (fresh) {
            Map.Visible.Resize(S->Count);
            Tmp.resize(size_t(S->RecordLength));
            for (size_t i = from; i < S->Touched.size(); ++i) {
                const uint32_t r = S->Touched[i];
                if (r >= 1 && r <= S->Count) Map.Visible.Set(r - 1, Passes(r, Tmp.data()));
            }
        } else {
            MakeVisible();
        }
        Map.FilterConfig = FilterConfig;
        Map.Epoch = S->Epoch;
        Map.Touched = S->Touched.size();
        Map.Made = true;
        if (Order < 0) return Map.Visible;

        TDbfOrdering& o = Ord();
        alongFollows = alongFollows && Map.OrderVersion >= o.EditsFrom;
        if (alongFollows) {
            // The moves since, then the judged records at their places now.
            auto edit =
                std::partition_point(o.Edits.begin(), o.Edits.end(), [&](const TDbfOrdering::TEdit& E) {
                    return E.Version <= Map.OrderVersion;
                });
            for (; edit != o.Edits.end(); ++edit) {
                if (edit->Inserted) Map.Along.Insert(edit->Position, false);
                else Map.Along.Erase(edit->Position);
            }
            for (size_t i = from; i < S->Touched.size(); ++i) {
                const uint32_t r = S->Touched[i];
                if (r < 1 || r > S->Count) continue;
                const size_t at = o.PositionOf(r);
                if (at < Map.Along.Size()) Map.Along.Set(at, Map.Visible.Get(r - 1));
            }
            alongFollows = Map.Along.Size() == o.Order.size();
        }
        if (!alongFollows) {
            Map.Along.Assign(o.Order.size(), false);
            for (size_t i = 0; i < o.Order.size(); ++i) {
                const uint32_t r = o.Order[i];
                if (r >= 1 && r <= S->Count && Map.Visible.Get(r - 1)) Map.Along.Set(i, true);
            }
        }
        Map.Order = Order;
        Map.OrderVersion = o.Version;
        Map.AlongMade = true;
        return Map.Along;
    }
    // The positions a cursor's records can take: the range's (every record
    // number in physical order).
    std::pair<size_t, size_t> Span(TDbfBits& Bits) {
        if (Order < 0) return {0, Bits.Size()};
        const size_t high = std::min(HighIdx(), Bits.Size());
        return {std::min(LowIdx(), high), high};
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
                TouchAhead(o, i, true);
                if (PassesAlong(o, i, Tmp.data())) {
                    Land(o.Order[i], i, true);
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
                TouchAhead(o, size_t(i), false);
                if (PassesAlong(o, size_t(i), Tmp.data())) {
                    Land(o.Order[size_t(i)], size_t(i), true);
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
        DbfRaise(dbeBadKey,
                 "No hay \xEDndice n\xFAmero " + std::to_string(Order) + " en " + DbfShownPath(F->S->Path));
    F->Order = Order;
    F->Start.reset();
    F->End.reset();
    F->IdxVersion = 0;
    F->BoundsVersion = 0;
}

int TDbfCursor::Order() const { return F->Order; }

int TDbfCursor::AddFilter(TDbfRecordFilter Filter, bool Active) {
    int handle = F->NextHandle++;
    F->Filters.push_back({handle, std::move(Filter), Active});
    ++F->FilterConfig;
    return handle;
}

void TDbfCursor::SetFilterActive(int Handle, bool Active) {
    for (auto& f : F->Filters)
        if (f.Handle == Handle) f.Active = Active;
    ++F->FilterConfig;
}

void TDbfCursor::RemoveFilter(int Handle) {
    std::erase_if(F->Filters, [&](const TImpl::TFilter& f) { return f.Handle == Handle; });
    ++F->FilterConfig;
}

void TDbfCursor::SetRange(const TDbfKey* Start, const TDbfKey* End) {
    if (F->Order < 0) DbfRaise(dbeBadKey, "Un rango necesita un \xEDndice en " + DbfShownPath(F->S->Path));
    for (const TDbfKey* k : {Start, End})
        if (k && k->Order != F->Order) DbfRaise(dbeBadKey, "La clave del rango es de otro \xEDndice");
    F->Start = Start ? std::optional<TDbfKey>(*Start) : std::nullopt;
    F->End = End ? std::optional<TDbfKey>(*End) : std::nullopt;
    F->BoundsVersion = 0;
    F->Pos = TImpl::AtBof;
}

void TDbfCursor::ClearRange() {
    F->Start.reset();
    F->End.reset();
    F->BoundsVersion = 0;
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
        DbfRaise(dbeBadKey, "La clave es de otro \xEDndice que el del cursor");
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
    if (!f.HasActiveFilter() && (f.Order < 0 || (!f.Start && !f.End)))
        return uint32_t(int64_t(f.S->Count) - f.S->Deleted());
    TDbfBits& bits = f.Positions();
    auto [low, high] = f.Span(bits);
    return uint32_t(bits.Rank(high) - bits.Rank(low));
}

uint32_t TDbfCursor::SequenceNumber() {
    TImpl& f = *F;
    if (f.Pos != TImpl::OnRec) return 0;
    TDbfBits& bits = f.Positions();
    if (f.Order < 0) return uint32_t(bits.Rank(std::min(f.Rec, f.S->Count)));
    // The record is in the range when the cursor came to it, but a change
    // of its key since may have taken it out.
    const size_t low = f.LowIdx(), end = std::min(f.CurIdx() + 1, bits.Size());
    return end > low ? uint32_t(bits.Rank(end) - bits.Rank(low)) : 0;
}

bool TDbfCursor::GotoSequenceNumber(uint32_t Number) {
    TImpl& f = *F;
    f.S->Reread();
    TDbfBits& bits = f.Positions();
    auto [low, high] = f.Span(bits);
    const size_t before = bits.Rank(low), count = bits.Rank(high) - before;
    if (count == 0) {
        f.Pos = TImpl::AtEof;
        return false;
    }
    const size_t at = bits.Select(before + std::clamp<size_t>(Number, 1, count) - 1);
    const uint32_t r = f.Order < 0 ? uint32_t(at + 1) : f.Ord().Order[at];
    f.Tmp.resize(size_t(f.S->RecordLength));
    if (f.Passes(r, f.Tmp.data())) {
        f.Land(r, at, true);
        return true;
    }
    // A filter that answers otherwise than when it was asked for the map:
    // the plain way, counting from the first record.
    if (First())
        for (uint32_t i = 1; i < Number && Next(); ++i) {
        }
    if (Eof()) Last();
    return OnRecord();
}

int TDbfCursor::CompareRecords(uint32_t A, uint32_t B) {
    for (uint32_t r : {A, B})
        if (r < 1 || r > F->S->Count) DbfRaise(dbeBadKey, "No existe el registro " + std::to_string(r));
    if (A == B) return 0;
    if (F->Order < 0) return A < B ? -1 : 1;
    return F->Ord().Before(A, B) ? -1 : 1;
}
