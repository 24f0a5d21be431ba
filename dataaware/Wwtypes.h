#pragma once
// Types shared across the data-aware library.
#include <cstdint>
#include <string>

#include "platform/classes/Properties.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Object.h"

class TDataSet;
class TField;

// Where a dialog was last shown (the rich editor's and the record view's).
class TwwFormPosition : public TPersistent {
    ZELMOR_CLASS(TwwFormPosition, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    int Top() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
};

// The record filter of the library's data sets: on, with the hourglass while
// it hides records, stopped by Escape.
enum TwwOnFilterOption : uint8_t { ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape };
ZELMOR_DECLARE_ENUM(TwwOnFilterOption);
using TwwOnFilterOptions = TSet<TwwOnFilterOption>;

// (data set, field): the field that failed its picture mask before a post.
using TwwInvalidValueEvent = TEvent<void(TDataSet* DataSet, TField* Field)>;
// (sender, lookup table, search field, search value, perform lookup, var found):
// a search the program makes itself.
using TwwPerformSearchEvent =
    TEvent<void(TObject* Sender, TDataSet* LookupTable, const AnsiString& SearchField,
                const AnsiString& SearchValue, bool PerformLookup, bool& Found)>;

enum TwwEditAlignment : uint8_t { eaLeftAlignEditing, eaRightAlignEditing };
ZELMOR_DECLARE_ENUM(TwwEditAlignment);
