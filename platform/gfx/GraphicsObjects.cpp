#include <algorithm>

#include "platform/classes/Properties.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphics.h"

ZELMOR_IMPLEMENT_CLASS(TGraphicsObject, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TPen, TGraphicsObject)
ZELMOR_IMPLEMENT_CLASS(TBrush, TGraphicsObject)
ZELMOR_IMPLEMENT_CLASS(TFont, TGraphicsObject)

void TGraphicsObject::Changed() {
    if (Assigned(OnChange)) OnChange(this);
}

namespace {
// Pen modes in declaration order, as R2_ codes.
constexpr int PenModeRop2[16] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                 R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                 R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                 R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
}  // namespace

int PenModeToRop2(TPenMode Mode) { return PenModeRop2[Mode & 15]; }

TPenMode Rop2ToPenMode(int Rop2) {
    for (int i = 0; i < 16; ++i)
        if (PenModeRop2[i] == Rop2) return TPenMode(i);
    return pmCopy;
}

// --- TPen ---
void TPen::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    Value = std::max(Value, 1);
    if (FWidth == Value) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    if (FMode == Value) return;
    FMode = Value;
    Changed();
}

void TPen::SetCap(TPenCap Value) {
    if (FCap == Value) return;
    FCap = Value;
    Changed();
}

void TPen::SetExtended(uint32_t PenStyle, int Width, TColor Color) {
    static constexpr TPenStyle Styles[9] = {psSolid, psDash,        psDot,   psDashDot,  psDashDotDot,
                                            psClear, psInsideFrame, psSolid, psAlternate};
    uint32_t s = PenStyle & PS_STYLE_MASK;
    FStyle = s <= 8 ? Styles[s] : psSolid;
    uint32_t cap = PenStyle & PS_ENDCAP_MASK;
    FCap = cap == PS_ENDCAP_SQUARE ? pcSquare : cap == PS_ENDCAP_FLAT ? pcFlat : pcRound;
    FWidth = std::max(Width, 1);
    FColor = Color;
    Changed();
}

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        FCap = p->FCap;
        Changed();
        return;
    }
    inherited::Assign(Source);
}

bool TPen::SameAs(const TPen& O) const {
    return FColor == O.FColor && FWidth == O.FWidth && FStyle == O.FStyle && FMode == O.FMode &&
           FCap == O.FCap;
}

// --- TBrush ---
void TBrush::SetColor(TColor Value) {
    if (FColor == Value && FStyle != bsClear) return;
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(const TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) FPattern.reset();
    else {
        auto copy = std::make_shared<TSurface>(Bitmap->Width(), Bitmap->Height());
        std::vector<uint32_t> row(static_cast<size_t>(Bitmap->Width()));
        for (int y = 0; y < Bitmap->Height(); ++y) {
            Bitmap->Surface().ReadSpan(0, y, Bitmap->Width(), row.data());
            copy->WriteSpan(0, y, Bitmap->Width(), row.data());
        }
        copy->SetMonochrome(Bitmap->Monochrome());
        FPattern = std::move(copy);
    }
    Changed();
}

void TBrush::SetPattern(const TSurface& Pattern) {
    FPattern = Pattern.Empty() ? nullptr : std::make_shared<TSurface>(Pattern);
    Changed();
}

TSurface TBrush::MonoPattern8(const uint16_t Rows[8]) {
    TSurface s(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) s.SetPixel(x, y, (Rows[y] >> (15 - x)) & 1 ? 0xFFFFFF : 0);
    s.SetMonochrome(true);
    return s;
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        FPattern = b->FPattern;
        Changed();
        return;
    }
    inherited::Assign(Source);
}

// --- TFont ---
TFont::TFont() = default;

void TFont::FontChanged() {
    FResource.reset();
    Changed();
}

void TFont::SetName(const AnsiString& Value) {
    if (FName == Value || Value.empty()) return;
    FName = Value;
    FontChanged();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value) {
    if (FHeight == Value) return;
    FHeight = Value;
    FontChanged();
}

void TFont::SetStyle(TFontStyles Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    FontChanged();
}

void TFont::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (FCharset == Value) return;
    FCharset = Value;
    FontChanged();
}

void TFont::SetPitch(TFontPitch Value) {
    if (FPitch == Value) return;
    FPitch = Value;
    FontChanged();
}

void TFont::SetOrientation(int Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    FontChanged();
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value > 0) FPixelsPerInch = Value;
}

void TFont::SetLogFont(const TLogFont& F) {
    FHeight = F.lfHeight;
    FOrientation = F.lfEscapement;
    FStyle = {};
    if (F.lfWeight >= 600) FStyle.Include(fsBold);
    if (F.lfItalic) FStyle.Include(fsItalic);
    if (F.lfUnderline) FStyle.Include(fsUnderline);
    if (F.lfStrikeOut) FStyle.Include(fsStrikeOut);
    FCharset = F.lfCharSet;
    uint8_t pitch = F.lfPitchAndFamily & 3;
    FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    if (!F.lfFaceName.empty()) FName = F.lfFaceName;
    FontChanged();
}

TLogFont TFont::LogFont() const {
    TLogFont f;
    f.lfHeight = FHeight;
    f.lfEscapement = f.lfOrientation = FOrientation;
    f.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    f.lfItalic = FStyle.Contains(fsItalic);
    f.lfUnderline = FStyle.Contains(fsUnderline);
    f.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    f.lfCharSet = FCharset;
    f.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                         : FPitch == fpVariable ? VARIABLE_PITCH
                                                : DEFAULT_PITCH;
    f.lfFaceName = FName;
    return f;
}

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        // A change of resolution alone is a change: a printer canvas rescales on it.
        bool same = SameAs(*f) && FColor == f->FColor && FPixelsPerInch == f->FPixelsPerInch;
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        FOrientation = f->FOrientation;
        FPixelsPerInch = f->FPixelsPerInch;
        // The resource follows the attributes alone: of two equal fonts, the
        // one that has made it lends it to the other (a grid's cells assign
        // its font to the canvas's, one cell after another).
        if (same && !f->FResource) f->FResource = FResource;
        FResource = f->FResource;
        if (!same) Changed();
        return;
    }
    inherited::Assign(Source);
}

bool TFont::SameAs(const TFont& O) const {
    return FName == O.FName && FHeight == O.FHeight && FStyle == O.FStyle && FCharset == O.FCharset &&
           FPitch == O.FPitch && FOrientation == O.FOrientation;
}

// --- published properties ---
ZELMOR_IMPLEMENT_ENUM(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                      "psInsideFrame", "psAlternate")
ZELMOR_IMPLEMENT_ENUM(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                      "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge",
                      "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor")
ZELMOR_IMPLEMENT_ENUM(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                      "bsBDiagonal", "bsCross", "bsDiagCross")
ZELMOR_IMPLEMENT_ENUM(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
ZELMOR_IMPLEMENT_ENUM(TFontPitch, "fpDefault", "fpVariable", "fpFixed")

void TPen::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TPen::Color, &TPen::SetColor).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    T.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    T.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TBrush::DescribeProperties(TPropertyTable& T) {
    T.Property("Color", &TBrush::Color, &TBrush::SetColor).OfType(ColorTypeInfo()).Default(clWhite);
    T.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

void TFont::DescribeProperties(TPropertyTable& T) {
    T.Property("Charset", &TFont::Charset, &TFont::SetCharset)
        .OfType(CharsetTypeInfo())
        .Default(DEFAULT_CHARSET);
    T.Property("Color", &TFont::Color, &TFont::SetColor).OfType(ColorTypeInfo()).NoDefault();
    T.Property("Height", &TFont::Height, &TFont::SetHeight).NoDefault();
    T.Property("Name", &TFont::Name, &TFont::SetName);
    T.Property("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
    T.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    T.Property("Size", &TFont::Size, &TFont::SetSize).Stored(&TFont::StoresSize);
    T.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

const TTypeInfo& CharsetTypeInfo() {
    static const TTypeInfo info = MakeIntegerTypeInfo("TFontCharset", 0, 255,
                                                      {{ANSI_CHARSET, "ANSI_CHARSET"},
                                                       {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                                                       {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
                                                       {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
                                                       {OEM_CHARSET, "OEM_CHARSET"}});
    return info;
}
