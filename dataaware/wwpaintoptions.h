#pragma once
// The grid's paint options: the alternating row colour and where it
// applies, a colour for the active record, whether a small record scroll
// moves the pixels instead of repainting, and a background picture drawn
// behind the cells, optionally blended with those colours. It keeps the
// settings and prepares, once per size or setting change, the bitmaps the
// grid's background painters copy rectangle for rectangle.
#include <cstdint>
#include <memory>

#include "platform/classes/Properties.h"
#include "platform/gfx/Bitmap.h"

class TwwBitmap;
class TwwCustomDBGrid;

enum TwwBackgroundDrawStyle : uint8_t { bdsTile, bdsStretch, bdsTopLeft, bdsCenter };
ZELMOR_DECLARE_ENUM(TwwBackgroundDrawStyle);
enum TwwAlternatingRowRegion : uint8_t { arrFixedColumns, arrDataColumns, arrActiveDataColumn };
ZELMOR_DECLARE_ENUM(TwwAlternatingRowRegion);
using TwwAlternatingRowRegions = TSet<TwwAlternatingRowRegion>;
enum TwwBackgroundOption : uint8_t {
    coFillDataCells,
    coBlendFixedRow,
    coBlendFixedColumn,
    coBlendActiveRecord,
    coBlendAlternatingRow
};
ZELMOR_DECLARE_ENUM(TwwBackgroundOption);
using TwwBackgroundOptions = TSet<TwwBackgroundOption>;

class TwwGridPaintOptions : public TPersistent {
    ZELMOR_CLASS(TwwGridPaintOptions, TPersistent)
public:
    // PaintBitmap: the grid's off-screen bitmap, not owned.
    TwwGridPaintOptions(TwwCustomDBGrid* Grid, TBitmap* PaintBitmap);
    ~TwwGridPaintOptions() override;
    static void DescribeProperties(TPropertyTable& T);

    TPicture* BackgroundBitmap() const { return FBackgroundBitmap.get(); }
    virtual void SetBackgroundBitmap(TPicture* Value);
    TwwBackgroundDrawStyle BackgroundDrawStyle() const { return FBackgroundDrawStyle; }
    virtual void SetBackgroundDrawStyle(TwwBackgroundDrawStyle Value);
    TwwAlternatingRowRegions AlternatingRowRegions() const { return FAlternatingRowRegions; }
    virtual void SetAlternatingRowRegions(TwwAlternatingRowRegions Value);
    bool FastRecordScrolling() const { return FFastRecordScrolling; }
    void SetFastRecordScrolling(bool Value) { FFastRecordScrolling = Value; }
    TColor AlternatingRowColor() const { return FAlternatingRowColor; }
    virtual void SetAlternatingRowColor(TColor Value);
    TColor ActiveRecordColor() const { return FActiveRecordColor; }
    virtual void SetActiveRecordColor(TColor Value);
    TwwBackgroundOptions BackgroundOptions() const { return FBackgroundOptions; }
    virtual void SetBackgroundOptions(TwwBackgroundOptions Value);
    void Assign(TPersistent* Source) override;

    virtual TCanvas* GetPaintCanvas() { return FPaintBitmap ? FPaintBitmap->Canvas() : nullptr; }
    // The unblended background picture fills the data cells.
    virtual bool FillsDataCells() const;
    bool HasPicture() const;
    bool NeedsRebuild() const { return FRebuild; }
    void SetRebuild() { FRebuild = true; }
    // Prepares the bitmaps when forced or asked for. Clearing the picture
    // frees them at the next preparation (the grid asks for one then).
    void UpdateBlendBitmaps(bool Force);
    void SetFixedColors(TColor Color) {
        FFixedColumnColor = Color;
        FFixedRowColor = Color;
    }

    // What the painters copy from; null when not prepared.
    TwwBitmap* Background() const { return FBackground.get(); }
    TwwBitmap* AlternatingBitmap() const { return FAlternating.get(); }
    TwwBitmap* ActiveRecordBitmap() const { return FActiveRecord.get(); }
    TwwBitmap* FixedColumnBitmap() const { return FFixedColumn.get(); }
    TwwBitmap* FixedRowBitmap() const { return FFixedRow.get(); }

private:
    void Changed(bool Rebuild);
    void PictureChanged(TObject*);
    void FreeBlendBitmaps();
    TwwCustomDBGrid* FGrid;
    TBitmap* FPaintBitmap;
    std::unique_ptr<TPicture> FBackgroundBitmap;
    TwwBackgroundDrawStyle FBackgroundDrawStyle = bdsTile;
    TwwAlternatingRowRegions FAlternatingRowRegions{arrFixedColumns, arrDataColumns, arrActiveDataColumn};
    bool FFastRecordScrolling = true;
    TColor FAlternatingRowColor = clNone;
    TColor FActiveRecordColor = clNone;
    TwwBackgroundOptions FBackgroundOptions;
    TColor FFixedColumnColor = clBtnFace;
    TColor FFixedRowColor = clBtnFace;
    bool FRebuild = false;
    std::unique_ptr<TwwBitmap> FBackground, FAlternating, FActiveRecord, FFixedColumn, FFixedRow;
};
