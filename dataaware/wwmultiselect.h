#pragma once
// The multi-selection of a published grid (dgMultiSelect): the bookmarks of
// the selected records, the anchor of Shift ranges, and the per-row cache
// that painting reads (one search of the list per buffered row, once per
// paint, so painting never walks the list cell by cell). The operations are
// TwwDBGrid's own (SelectRecord, SelectRecordRange ...); their code is in
// wwmultiselect.cpp.
//
// The list and the anchor refer to the data set's cursor: they are emptied
// when the grid's data link goes inactive (the data set closed or replaced),
// so that a reopened data set starts with no selection.
#include <vector>

#include "platform/db/DB.h"

class TDataSet;

struct TwwMultiSelection {
    // In the order of selection, or in data-set order after sorting.
    std::vector<TBookmark> List;
    // One entry per buffered record: selected or not.
    std::vector<bool> RowCache;
    bool AnchorValid = false;
    TBookmark Anchor;

    // The sorted copy follows additions and removals while it is valid.
    void Add(TDataSet* DataSet, const TBookmark& Mark);
    void RemoveAt(TDataSet* DataSet, size_t Index);
    void ClearList() {
        List.clear();
        FSortedValid = false;
    }
    void Clear() {
        ClearList();
        RowCache.clear();
        AnchorValid = false;
        Anchor.clear();
    }
    // The list was reordered in place.
    void Reordered() { FSortedValid = false; }
    // Whether the list holds the record of Mark: a binary search of a
    // sorted copy, made again after each change of the list.
    bool Contains(TDataSet* DataSet, const TBookmark& Mark);

private:
    std::vector<TBookmark> FSorted;
    bool FSortedValid = false;
};
