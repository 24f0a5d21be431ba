#include "dataaware/wwpaintoptions.h"

#include "dataaware/Wwdbigrd.h"
#include "dataaware/wwbitmap.h"

ZELMOR_IMPLEMENT_ENUM(TwwBackgroundDrawStyle, "bdsTile", "bdsStretch", "bdsTopLeft", "bdsCenter")
ZELMOR_IMPLEMENT_ENUM(TwwAlternatingRowRegion, "arrFixedColumns", "arrDataColumns", "arrActiveDataColumn")
ZELMOR_IMPLEMENT_ENUM(TwwBackgroundOption, "coFillDataCells", "coBlendFixedRow", "coBlendFixedColumn",
                      "coBlendActiveRecord", "coBlendAlternatingRow")
ZELMOR_IMPLEMENT_CLASS(TwwGridPaintOptions, TPersistent)

TwwGridPaintOptions::TwwGridPaintOptions(TwwCustomDBGrid* Grid, TBitmap* PaintBitmap)
    : FGrid(Grid), FPaintBitmap(PaintBitmap), FBackgroundBitmap(std::make_unique<TPicture>()) {
    FBackgroundBitmap->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TwwGridPaintOptions::~TwwGridPaintOptions() = default;

void TwwGridPaintOptions::DescribeProperties(TPropertyTable& T) {
    using C = TwwGridPaintOptions;
    T.Property("BackgroundBitmap", &C::BackgroundBitmap, &C::SetBackgroundBitmap);
    T.Property("BackgroundDrawStyle", &C::BackgroundDrawStyle, &C::SetBackgroundDrawStyle).Default(bdsTile);
    T.Property("AlternatingRowRegions", &C::AlternatingRowRegions, &C::SetAlternatingRowRegions)
        .Default(TwwAlternatingRowRegions{arrFixedColumns, arrDataColumns, arrActiveDataColumn});
    T.Property("FastRecordScrolling", &C::FastRecordScrolling, &C::SetFastRecordScrolling).Default(true);
    T.Property("AlternatingRowColor", &C::AlternatingRowColor, &C::SetAlternatingRowColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("ActiveRecordColor", &C::ActiveRecordColor, &C::SetActiveRecordColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("BackgroundOptions", &C::BackgroundOptions, &C::SetBackgroundOptions)
        .Default(TwwBackgroundOptions{});
}

void TwwGridPaintOptions::Changed(bool Rebuild) {
    if (Rebuild) FRebuild = true;
    if (FGrid) FGrid->Invalidate();
}

// A picture cleared at run time takes its blended bitmaps with it: nothing
// prepares them again while there is no picture, and painting the last ones
// would show a background that is gone.
void TwwGridPaintOptions::PictureChanged(TObject*) {
    if (!HasPicture()) FreeBlendBitmaps();
}

void TwwGridPaintOptions::FreeBlendBitmaps() {
    FBackground.reset();
    FAlternating.reset();
    FActiveRecord.reset();
    FFixedColumn.reset();
    FFixedRow.reset();
}

void TwwGridPaintOptions::SetBackgroundBitmap(TPicture* Value) {
    FBackgroundBitmap->Assign(Value);
    PictureChanged(nullptr);
    if (FGrid) Changed(true);
}

void TwwGridPaintOptions::SetBackgroundDrawStyle(TwwBackgroundDrawStyle Value) {
    if (Value == FBackgroundDrawStyle) return;
    FBackgroundDrawStyle = Value;
    Changed(true);
}

void TwwGridPaintOptions::SetAlternatingRowRegions(TwwAlternatingRowRegions Value) {
    if (Value == FAlternatingRowRegions) return;
    FAlternatingRowRegions = Value;
    Changed(false);
}

void TwwGridPaintOptions::SetAlternatingRowColor(TColor Value) {
    if (Value == FAlternatingRowColor) return;
    FAlternatingRowColor = Value;
    Changed(true);
}

void TwwGridPaintOptions::SetActiveRecordColor(TColor Value) {
    if (Value == FActiveRecordColor) return;
    FActiveRecordColor = Value;
    Changed(true);
}

void TwwGridPaintOptions::SetBackgroundOptions(TwwBackgroundOptions Value) {
    if (Value == FBackgroundOptions) return;
    FBackgroundOptions = Value;
    if (FGrid) Changed(true);
}

void TwwGridPaintOptions::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwGridPaintOptions*>(Source)) {
        SetBackgroundBitmap(S->BackgroundBitmap());
        SetBackgroundDrawStyle(S->FBackgroundDrawStyle);
        SetAlternatingRowRegions(S->FAlternatingRowRegions);
        FFastRecordScrolling = S->FFastRecordScrolling;
        SetAlternatingRowColor(S->FAlternatingRowColor);
        SetActiveRecordColor(S->FActiveRecordColor);
        SetBackgroundOptions(S->FBackgroundOptions);
        return;
    }
    TPersistent::Assign(Source);
}

bool TwwGridPaintOptions::HasPicture() const { return FBackgroundBitmap->Width() > 0; }

bool TwwGridPaintOptions::FillsDataCells() const {
    return FBackground && FBackgroundOptions.Contains(coFillDataCells);
}

namespace {

// A copy of Width x Height of the painted background from Top down, tinted.
std::unique_ptr<TwwBitmap> Blended(TBitmap* Paint, int Width, int Height, int Top, TColor Tint) {
    auto B = std::make_unique<TwwBitmap>();
    B->SetDimensions(Width, Height);
    B->Canvas()->CopyRect(TRect(0, 0, Width, Height), Paint->Canvas(), TRect(0, Top, Width, Top + Height));
    if (Tint != clNone) {
        TwwPixel24 P;
        ColorToBGR(Tint, P);
        B->TintChannels(P.Red, P.Green, P.Blue);
    }
    return B;
}

}  // namespace

void TwwGridPaintOptions::UpdateBlendBitmaps(bool Force) {
    if (!Force && !FRebuild) return;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } Clear{FRebuild};
    if (!FGrid || !FPaintBitmap) return;
    const int W = FGrid->Width(), H = FGrid->Height();
    FPaintBitmap->SetSize(W, H);
    TCanvas* C = FPaintBitmap->Canvas();
    C->Brush()->SetColor(clWhite);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(TRect(0, 0, W, H));
    TGraphic* G = FBackgroundBitmap->Graphic();
    const bool Picture = HasPicture() && G;
    if (Picture) {
        const int PW = FBackgroundBitmap->Width(), PH = std::max(1, FBackgroundBitmap->Height());
        switch (FBackgroundDrawStyle) {
        case bdsTile:
            for (int I = 0; I <= W / PW; ++I)
                for (int J = 0; J <= H / PH; ++J) C->Draw(I * PW, J * PH, G);
            break;
        case bdsStretch: C->StretchDraw(TRect(0, 0, W, H), G); break;
        case bdsTopLeft: C->Draw(0, 0, G); break;
        case bdsCenter: C->Draw((W - PW) / 2, (H - PH) / 2, G); break;
        }
    }
    // On a screen of 256 colours or fewer a blended picture would only show
    // its dithering: the bitmaps keep whatever they were.
    if (GetDeviceCaps(C, BITSPIXEL) <= 8) return;
    if (Picture) FBackground = Blended(FPaintBitmap, W, H, 0, clNone);
    else FBackground.reset();
    if (FActiveRecordColor != clNone && Picture && FBackgroundOptions.Contains(coBlendActiveRecord))
        FActiveRecord = Blended(FPaintBitmap, W, H, 0, FActiveRecordColor);
    else FActiveRecord.reset();
    if (FAlternatingRowColor != clNone && !FAlternatingRowRegions.Empty() && Picture &&
        FBackgroundOptions.Contains(coBlendAlternatingRow))
        FAlternating = Blended(FPaintBitmap, W, H, 0, FAlternatingRowColor);
    else FAlternating.reset();
    if (Picture && FBackgroundOptions.Contains(coBlendFixedRow)) {
        int TitleHeight =
            FGrid->Options().Contains(dgTitles) && FGrid->RowCount() > 0 ? FGrid->RowHeights(0) : 0;
        FFixedRow = Blended(FPaintBitmap, W, TitleHeight, 0, FFixedRowColor);
    } else {
        FFixedRow.reset();
    }
    if (Picture && FBackgroundOptions.Contains(coBlendFixedColumn))
        FFixedColumn =
            Blended(FPaintBitmap, W, H, 0, FGrid->FixedColor() == clNone ? clNone : FFixedColumnColor);
    else FFixedColumn.reset();
}
