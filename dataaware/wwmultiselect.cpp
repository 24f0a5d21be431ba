#include "dataaware/wwmultiselect.h"

#include <algorithm>

#include "dataaware/Wwdbgrid.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DataSet.h"

namespace {

// 0 and 2 both mean the same record.
bool SameRecord(TDataSet* DS, const TBookmark& A, const TBookmark& B) {
    const int C = CompareBookmarksOf(DS, A, B);
    return C == 0 || C == 2;
}
bool Before(TDataSet* DS, const TBookmark& A, const TBookmark& B) {
    return CompareBookmarksOf(DS, A, B) == -1;
}
bool After(TDataSet* DS, const TBookmark& A, const TBookmark& B) { return CompareBookmarksOf(DS, A, B) == 1; }

}  // namespace

bool TwwMultiSelection::Contains(TDataSet* DS, const TBookmark& Mark) {
    if (List.empty() || Mark.empty()) return false;
    if (!FSortedValid) {
        FSorted = List;
        std::sort(FSorted.begin(), FSorted.end(),
                  [DS](const TBookmark& A, const TBookmark& B) { return Before(DS, A, B); });
        FSortedValid = true;
    }
    const auto It =
        std::lower_bound(FSorted.begin(), FSorted.end(), Mark,
                         [DS](const TBookmark& A, const TBookmark& B) { return Before(DS, A, B); });
    return It != FSorted.end() && SameRecord(DS, *It, Mark);
}

void TwwMultiSelection::Add(TDataSet* DS, const TBookmark& Mark) {
    List.push_back(Mark);
    if (!FSortedValid) return;
    const auto It =
        std::lower_bound(FSorted.begin(), FSorted.end(), Mark,
                         [DS](const TBookmark& A, const TBookmark& B) { return Before(DS, A, B); });
    FSorted.insert(It, Mark);
}

void TwwMultiSelection::RemoveAt(TDataSet* DS, size_t Index) {
    const TBookmark Mark = List[Index];
    List.erase(List.begin() + static_cast<std::ptrdiff_t>(Index));
    if (!FSortedValid) return;
    auto It = std::lower_bound(FSorted.begin(), FSorted.end(), Mark,
                               [DS](const TBookmark& A, const TBookmark& B) { return Before(DS, A, B); });
    while (It != FSorted.end() && *It != Mark && SameRecord(DS, *It, Mark)) ++It;
    if (It != FSorted.end() && *It == Mark) FSorted.erase(It);
    else FSortedValid = false;
}

TDataSet* TwwDBGrid::SelectionDataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }

bool TwwDBGrid::FireSelectRecord(bool Selecting) {
    bool Accept = true;
    if (Assigned(OnMultiSelectRecord)) OnMultiSelectRecord(this, Selecting, Accept);
    return Accept;
}

int TwwDBGrid::FindSelectedIndex() {
    TDataSet* DS = SelectionDataSet();
    if (!DS || !DS->Active()) return -1;
    const TBookmark Current = DS->GetBookmark();
    if (Current.empty()) return -1;
    for (size_t I = 0; I < FSelection->List.size(); ++I)
        if (SameRecord(DS, FSelection->List[I], Current)) return static_cast<int>(I);
    return -1;
}

const TBookmark* TwwDBGrid::FindSelectedBookmark() {
    const int I = FindSelectedIndex();
    return I < 0 ? nullptr : &FSelection->List[I];
}

bool TwwDBGrid::IsBookmarkSelected() {
    TDataSet* DS = SelectionDataSet();
    if (!DS || !DS->Active() || DS->State() == dsEdit || DS->State() == dsInsert) return false;
    return FSelection->Contains(DS, DS->GetBookmark());
}

void TwwDBGrid::CacheRowSelection() {
    std::vector<bool>& Cache = FSelection->RowCache;
    Cache.clear();
    if (FSelection->List.empty() || !DataLink()->Active()) {
        Cache.assign(std::max(0, VisibleRowCount()), false);
        return;
    }
    const int Rows = std::min(VisibleRowCount() + RowOffset(), DataLink()->RecordCount());
    TActiveRecordScope Keep(this, DataLink()->ActiveRecord());
    for (int I = 0; I < Rows; ++I) {
        DataLink()->SetActiveRecord(I);
        Cache.push_back(IsBookmarkSelected());
    }
}

bool TwwDBGrid::IsRecordSelected(int BufferRow) {
    const std::vector<bool>& Cache = FSelection->RowCache;
    return BufferRow >= 0 && BufferRow < static_cast<int>(Cache.size()) && Cache[BufferRow];
}

bool TwwDBGrid::IsCurrentRecordSelected() { return IsRecordSelected(DataLink()->ActiveRecord()); }

void TwwDBGrid::SelectRecord() {
    TDataSet* DS = SelectionDataSet();
    if (!DS || !DS->Active()) return;
    if (FSelection->AnchorValid) {
        DS->CheckBrowseMode();
        FSelection->Anchor = DS->GetBookmark();
    }
    DS->CheckBrowseMode();
    CacheRowSelection();
    if (IsCurrentRecordSelected()) return;
    if (!FireSelectRecord(true)) return;
    const TBookmark Mark = DS->GetBookmark();
    if (Mark.empty()) return;
    if (!FSelection->Contains(DS, Mark)) FSelection->Add(DS, Mark);
    CacheRowSelection();
    InvalidateCurrentRow();
}

void TwwDBGrid::UnselectRecord() {
    CacheRowSelection();
    if (!IsCurrentRecordSelected()) return;
    if (!FireSelectRecord(false)) return;
    const int I = FindSelectedIndex();
    if (I >= 0) FSelection->RemoveAt(SelectionDataSet(), static_cast<size_t>(I));
    CacheRowSelection();
    InvalidateCurrentRow();
}

void TwwDBGrid::UnselectAll() {
    if (Assigned(OnMultiSelectAllRecords)) {
        bool Accept = true;
        OnMultiSelectAllRecords(this, false, Accept);
        if (!Accept) return;
    }
    FSelection->ClearList();
    Invalidate();
    FSelection->RowCache.assign(std::max(0, VisibleRowCount()), false);
}

void TwwDBGrid::ToggleRecordSelection() {
    CacheRowSelection();
    if (IsCurrentRecordSelected()) UnselectRecord();
    else SelectRecord();
}

void TwwDBGrid::UnselectRecordRange(const TBookmark& Low, const TBookmark& High) {
    TDataSet* DS = SelectionDataSet();
    if (!DS) return;
    const std::vector<TBookmark>& List = FSelection->List;
    for (size_t I = 0; I < List.size();) {
        if (!Before(DS, List[I], Low) && !After(DS, List[I], High) && FireSelectRecord(false)) {
            FSelection->RemoveAt(DS, I);
            continue;
        }
        ++I;
    }
    Invalidate();
}

void TwwDBGrid::SelectRecordRange(TBookmark From, TBookmark To) {
    TDataSet* DS = SelectionDataSet();
    if (!DS || !DS->Active() || From.empty() || To.empty()) return;
    const int Row = DataLink()->ActiveRecord();
    {
        TControlsDisabled Disabled(DS);
        // Adds the current record, when it is not selected and the handler accepts.
        auto Add = [&] {
            const TBookmark Mark = DS->GetBookmark();
            if (Mark.empty() || FSelection->Contains(DS, Mark) || !FireSelectRecord(true)) return;
            FSelection->Add(DS, Mark);
        };
        if (Before(DS, From, To)) {
            UnselectRecordRange(From, To);
            Add();
            while (Before(DS, DS->GetBookmark(), To)) {
                DS->Next();
                if (DS->Eof()) break;
                Add();
            }
            DS->GotoBookmark(From);
        } else {
            DS->GotoBookmark(To);
            UnselectRecordRange(To, From);
            try {
                Add();
                while (Before(DS, DS->GetBookmark(), From)) {
                    DS->Next();
                    if (DS->Eof()) break;
                    Add();
                }
            } catch (const Exception&) {
                // The walk ends where it failed; what was added stays.
            }
        }
    }
    From.clear();
    KeepRecordOnRow(Row);
    Invalidate();
}

void TwwDBGrid::SortSelectedBookmarks() {
    TDataSet* DS = SelectionDataSet();
    if (!DS) return;
    std::sort(FSelection->List.begin(), FSelection->List.end(),
              [DS](const TBookmark& A, const TBookmark& B) { return Before(DS, A, B); });
    FSelection->Reordered();
}

const std::vector<TBookmark>& TwwDBGrid::SelectedList() const { return FSelection->List; }

void TwwDBGrid::ClearSelection() { FSelection->Clear(); }

// A press on a data row, after it moved the current record.
void TwwDBGrid::MultiSelectMouseDown(TMouseButton Button, TShiftState Shift, int GridCol, int GridRow) {
    if (!Options().Contains(dgMultiSelect) || !DataLink()->Active() || GridRow < TitleOffset() ||
        IsSelectionCheckBoxColumn(GridCol))
        return;
    TDataSet* DS = SelectionDataSet();
    const bool OldValid = FSelection->AnchorValid;
    const TBookmark OldAnchor = FSelection->Anchor;
    const TwwMultiSelectOptions M = MultiSelectOptions();
    const bool Shifted = Shift.Contains(ssShift), Ctrl = Shift.Contains(ssCtrl);
    if (Ctrl || Shifted) ToggleRecordSelection();
    else if (M.Contains(msoAutoUnselect) && Button == mbLeft) {
        UnselectAll();
        SelectRecord();
    }
    const bool AnchorMoved = FSelection->AnchorValid != OldValid || FSelection->Anchor != OldAnchor;
    if (M.Contains(msoShiftSelect) && (Shifted || Ctrl || M.Contains(msoAutoUnselect))) {
        FSelection->AnchorValid = true;
        DS->CheckBrowseMode();
        if (!AnchorMoved) FSelection->Anchor = DS->GetBookmark();
    }
    if (Button == mbLeft && IsValidDataCell(GridCol, GridRow) && Shifted && OldValid && !OldAnchor.empty() &&
        DS->BookmarkValid(OldAnchor))
        SelectRecordRange(DS->GetBookmark(), OldAnchor);
}
