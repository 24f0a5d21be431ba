#include "buttons/fcBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "buttons/fcHelpers.h"
#include "buttons/fcPixelSwap.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/PixelEffects.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_CLASS(TfcBitmap, TGraphic)

// --- pixels ---

uint8_t fcClampByte(int Value) { return uint8_t(Value < 0 ? 0 : Value > 255 ? 255 : Value); }

int fcClamp(int Value, int Min, int Max) { return Value < Min ? Min : Value > Max ? Max : Value; }

TfcPixel fcMakePixel(int Red, int Green, int Blue) {
    return TfcPixel{fcClampByte(Blue), fcClampByte(Green), fcClampByte(Red)};
}

TfcPixel fcColorToPixel(TColor Color) {
    TColorRef C = ColorToRGB(Color);
    return TfcPixel{uint8_t(GetBValue(C)), uint8_t(GetGValue(C)), uint8_t(GetRValue(C))};
}

TColor fcPixelToColor(TfcPixel Pixel) { return RGB(Pixel.Red, Pixel.Green, Pixel.Blue); }

namespace {
int BitsOf(TPixelFormat Format) {
    switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

// The screen's depth, as a device context of the screen tells it.
int DisplayBits() {
    TCanvas Screen;
    return GetDeviceCaps(&Screen, BITSPIXEL) * GetDeviceCaps(&Screen, PLANES);
}
}  // namespace

TfcBitmap::TfcBitmap() : FCanvas(std::make_unique<TCanvas>()) {
    // Its pixels are 24-bit rows, whatever surface holds them.
    FCanvas->SetBitsPerPixel(24);
}

TfcBitmap::~TfcBitmap() = default;

TfcPixel TfcBitmap::Pixel(int X, int Y) const {
    const uint8_t* P = ScanLine(Y) + 3 * X;
    return TfcPixel{P[0], P[1], P[2]};
}

void TfcBitmap::SetPixel(int X, int Y, TfcPixel Value) {
    uint8_t* P = ScanLine(Y) + 3 * X;
    P[0] = Value.Blue;
    P[1] = Value.Green;
    P[2] = Value.Red;
}

TfcPixel TfcBitmap::KeyPixel() const {
    if (FTransparentColor == clNone) return Empty() ? TfcPixel{} : Pixel(0, 0);
    return fcColorToPixel(FTransparentColor);
}

// --- the image ---

void TfcBitmap::Clear() {
    FCanvas->SetSurface(nullptr);
    FSurface = TSurface();
    FMask.reset();
}

void TfcBitmap::SetupScanlines() {
    if (FSurface.Empty()) {
        Clear();
        return;
    }
    // A new image is a new device: the canvas keeps its tools, nothing else.
    FCanvas->SetSurface(&FSurface);
    FCanvas->ResetDeviceState();
    FMask.reset();
    Changed();
}

void TfcBitmap::SetSize(int AWidth, int AHeight) {
    Clear();
    if (AWidth <= 0 || AHeight <= 0) return;
    FSurface.Reset(AWidth, AHeight, TSurfaceFormat::Bgr24, 0xFFFFFF);
    SetupScanlines();
}

void TfcBitmap::SetSizeIfChanged(int AWidth, int AHeight) {
    if (AWidth != Width() || AHeight != Height()) SetSize(AWidth, AHeight);
}

void TfcBitmap::LoadFromBitmap(const TBitmap& Bitmap) {
    Clear();
    int W = Bitmap.Width(), H = Bitmap.Height();
    if (W <= 0 || H <= 0) return;
    FSurface.Reset(W, H, TSurfaceFormat::Bgr24, 0xFFFFFF);
    std::vector<uint32_t> Row(static_cast<size_t>(W));
    for (int y = 0; y < H; ++y) {
        Bitmap.Surface().ReadSpan(0, y, W, Row.data());
        FSurface.WriteSpan(0, y, W, Row.data());
    }
    TPixelFormat Source = Bitmap.PixelFormat();
    if (Source == pfDevice) Source = Bitmap.Monochrome() ? pf1bit : pf24bit;
    FDeeperThanDisplay = DisplayBits() < BitsOf(Source);
    FPixelFormat = Source;
    FColorTable = Bitmap.ColorTable();
    if (FColorTable.size() > 256) FColorTable.resize(256);
    FColorTableValid = !FColorTable.empty();
    SetupScanlines();
}

void TfcBitmap::LoadFromGraphic(const TGraphic& Graphic) {
    TBitmap B(Graphic.Width(), Graphic.Height());
    B.Canvas()->Draw(0, 0, &Graphic);
    LoadFromBitmap(B);
}

void TfcBitmap::LoadFromPersistent(TPersistent* Source) {
    TBitmap B;
    B.Assign(Source);
    LoadFromBitmap(B);
}

void TfcBitmap::LoadFromPackedBits(const uint8_t* Bytes, size_t Count, int AWidth, int AHeight) {
    Clear();
    if (AWidth <= 0 || AHeight <= 0) return;
    FSurface.Reset(AWidth, AHeight, TSurfaceFormat::Bgr24, 0xFFFFFF);
    // The bytes keep this bitmap's own row layout, so they go back as they came.
    std::memcpy(FSurface.Bits(), Bytes, std::min(Count, FSurface.ImageSize()));
    SetupScanlines();
}

void TfcBitmap::SaveToBitmap(TBitmap& Bitmap) const {
    Bitmap.SetPixelFormat(FPixelFormat);
    Bitmap.SetSize(Width(), Height());
    Bitmap.SetColorTable(FColorTable);
    if (Empty()) return;
    DrawingToBitmap = true;
    try {
        Bitmap.Canvas()->Draw(0, 0, this);
    } catch (...) {
        DrawingToBitmap = false;
        throw;
    }
    DrawingToBitmap = false;
}

void TfcBitmap::LoadFromStream(TStream& Stream) {
    TBitmap B;
    B.LoadFromStream(Stream);  // raises before anything here changes
    Assign(&B);
}

void TfcBitmap::SaveToStream(TStream& Stream) const {
    if (Empty()) return;
    TBitmap B;
    SaveToBitmap(B);
    B.SaveToStream(Stream);
}

void TfcBitmap::ReadData(TStream& Stream) {
    try {
        LoadFromStream(Stream);
    } catch (const EInvalidGraphic& E) {
        throw EReadError(E.Message());
    }
}

void TfcBitmap::WriteData(TStream& Stream) const { SaveToStream(Stream); }

void TfcBitmap::Assign(TPersistent* Source) {
    auto* Platform = dynamic_cast<TBitmap*>(Source);
    if (!Source || (Platform && Platform->Empty())) {
        Clear();
        Changed();
        return;
    }
    if (Platform) {
        FPixelFormat = Platform->PixelFormat();
        LoadFromBitmap(*Platform);
        SetTransparent(Platform->Transparent());
        return;
    }
    if (dynamic_cast<TfcBitmap*>(Source) || !dynamic_cast<TGraphic*>(Source)) {
        TGraphic::Assign(Source);
        return;
    }
    LoadFromPersistent(Source);
}

void TfcBitmap::AssignTo(TPersistent* Dest) {
    if (auto* Platform = dynamic_cast<TBitmap*>(Dest)) {
        Platform->SetPixelFormat(FPixelFormat);
        SaveToBitmap(*Platform);
        Platform->SetTransparent(Transparent());
        if (!Empty()) Platform->SetTransparentColor(fcPixelToColor(KeyPixel()));
        return;
    }
    auto* Other = dynamic_cast<TfcBitmap*>(Dest);
    if (!Other) {
        TGraphic::AssignTo(Dest);
        return;
    }
    if (Other == this) return;
    if (Empty()) {
        Other->Clear();
    } else {
        bool Suppressed = Other->ChangesSuppressed;
        Other->ChangesSuppressed = true;
        Other->FRespectPalette = FRespectPalette;
        Other->FUseHalftonePalette = FUseHalftonePalette;
        Other->SetSize(Width(), Height());
        std::memcpy(Other->Bits(), Bits(), size_t(ImageSize()));
        Other->FTransparent = FTransparent;
        Other->FSmoothStretch = FSmoothStretch;
        Other->FTransparentColor = FTransparentColor;
        Other->FPixelFormat = FPixelFormat;
        Other->FColorTable = FColorTable;
        Other->FColorTableValid = FColorTableValid;
        Other->FDeeperThanDisplay = FDeeperThanDisplay;
        Other->ChangesSuppressed = Suppressed;
    }
    Other->Changed();
}

void TfcBitmap::Changed() {
    if (ChangesSuppressed) return;
    TGraphic::Changed();
    NotifyLinks();
}

void TfcBitmap::NotifyLinks() { FChangeLinks.Notify(this, &TfcChangeLink::Changed); }

void TfcBitmap::Resize(int AWidth, int AHeight) {
    if (AWidth == Width() && AHeight == Height()) return;
    TfcBitmap Copy;
    Copy.Assign(this);
    SetSize(AWidth, AHeight);
    if (!Empty() && !Copy.Empty()) Copy.Draw(FCanvas.get(), TRect(0, 0, AWidth, AHeight));
}

void TfcBitmap::SaveAndRelease() {
    FreeSavedPixels();
    TSaved S;
    S.Bytes.assign(Bits(), Bits() + ImageSize());
    S.Width = Width();
    S.Height = Height();
    FSaved = std::move(S);
    Clear();
}

void TfcBitmap::Restore() {
    if (!FSaved) return;
    TSaved S = std::move(*FSaved);
    FreeSavedPixels();
    LoadFromPackedBits(S.Bytes.data(), S.Bytes.size(), S.Width, S.Height);
}

void TfcBitmap::FreeSavedPixels() { FSaved.reset(); }

// --- palettes: only displays of 256 colours or fewer realize one ---

bool TfcBitmap::SelectPalette(TCanvas* Canvas) const {
    if (!(FRespectPalette || FUseHalftonePalette)) return false;
    if (GetDeviceCaps(Canvas, BITSPIXEL) * GetDeviceCaps(Canvas, PLANES) > 8) return false;
    if (FRespectPalette) CreatePalette();
    return true;
}

void TfcBitmap::RestorePalette(TCanvas*, bool Previous) const {
    if (Previous) FPalette.clear();
}

void TfcBitmap::CreatePalette() const {
    if (!FPalette.empty() || !FColorTableValid) return;
    FPalette = FColorTable;
    FPalette.resize(256, 0);
    fcSwapRedBlue(FPalette.data(), int(FPalette.size()));
}

// --- drawing ---

void TfcBitmap::Draw(TCanvas* Canvas, const TRect& R) const {
    if (Empty()) return;
    bool Selected = !PaletteHeld && SelectPalette(Canvas);
    if (R.Width() != Width() || R.Height() != Height()) {
        if (FSmoothStretch) StretchSmooth(Canvas, R);
        else StretchPlain(Canvas, R);
    } else if (Transparent() && !DrawingToBitmap) {
        DrawTransparent(Canvas, R);
    } else {
        Canvas->BitBlt(R.Left, R.Top, Width(), Height(), FCanvas.get(), 0, 0, SRCCOPY);
    }
    if (!PaletteHeld) RestorePalette(Canvas, Selected);
}

void TfcBitmap::StretchPlain(TCanvas* Canvas, const TRect& R) const {
    if (Empty() || R.Width() == 0 || R.Height() == 0) return;
    if (Transparent()) {
        TfcBitmap Scratch;
        Scratch.SetSize(std::abs(R.Width()), std::abs(R.Height()));
        Scratch.Canvas()->StretchBlt(0, 0, Scratch.Width(), Scratch.Height(), FCanvas.get(), 0, 0, Width(),
                                     Height(), SRCCOPY);
        Scratch.SetTransparent(true);
        Scratch.DrawTransparent(Canvas,
                                TRect(R.Left, R.Top, R.Left + Scratch.Width(), R.Top + Scratch.Height()));
        return;
    }
    Canvas->SetStretchBltMode(COLORONCOLOR);
    Canvas->StretchBlt(R.Left, R.Top, R.Width(), R.Height(), FCanvas.get(), 0, 0, Width(), Height(), SRCCOPY);
}

void TfcBitmap::StretchSmooth(TCanvas* Canvas, const TRect& R) const {
    int DW = R.Width(), DH = R.Height();
    // Nothing to fill, and no steps to divide by.
    if (Empty() || DW <= 0 || DH <= 0) return;
    TfcBitmap Scratch;
    Scratch.SetSize(DW, DH);
    PixelEffects::StretchSmooth(FSurface, Scratch.FSurface);
    Scratch.FTransparentColor = FTransparentColor;
    Scratch.SetTransparent(Transparent());
    TRect At(R.Left, R.Top, R.Left + DW, R.Top + DH);
    if (Transparent()) Scratch.DrawTransparent(Canvas, At);
    else Canvas->BitBlt(At.Left, At.Top, DW, DH, Scratch.Canvas(), 0, 0, SRCCOPY);
}

void TfcBitmap::TileDraw(TCanvas* Canvas, const TRect& R) const {
    if (Empty()) return;
    bool Selected = SelectPalette(Canvas);
    PaletteHeld = true;
    for (int y = 0; y < R.Bottom; y += Height())
        for (int x = 0; x < R.Right; x += Width())
            Draw(Canvas, TRect(x - R.Left, y - R.Top, x - R.Left + Width(), y - R.Top + Height()));
    PaletteHeld = false;
    RestorePalette(Canvas, Selected);
}

const TBitmap& TfcBitmap::Mask() const {
    if (!FMask) {
        TfcPixel Key = KeyPixel();
        auto M = std::make_unique<TBitmap>();
        M->SetPixelFormat(pf1bit);
        M->SetSize(Width(), Height());
        std::vector<uint32_t> Row(static_cast<size_t>(Width()));
        for (int y = 0; y < Height(); ++y) {
            const uint8_t* P = ScanLine(y);
            for (int x = 0; x < Width(); ++x) {
                bool IsKey = P[3 * x] == Key.Blue && P[3 * x + 1] == Key.Green && P[3 * x + 2] == Key.Red;
                Row[size_t(x)] = IsKey ? 0u : 0xFFFFFFu;
            }
            M->Surface().WriteSpan(0, y, Width(), Row.data());
        }
        FMask = std::move(M);
    }
    return *FMask;
}

void TfcBitmap::DrawTransparent(TCanvas* Canvas, const TRect& R) const {
    if (Empty()) return;
    fcMaskedBlit(Canvas, TRect(R.Left, R.Top, R.Left + Width(), R.Top + Height()), FCanvas.get(), true,
                 Mask());
}

// --- pixel effects ---
// The cached mask was made of the pixels as they were: every effect drops it.

namespace {
TBgr BgrOf(TfcPixel P) { return TBgr{P.Blue, P.Green, P.Red}; }
}  // namespace

void TfcBitmap::ApplyTables(const uint8_t* Red, const uint8_t* Green, const uint8_t* Blue) {
    FMask.reset();
    PixelEffects::MapChannels(FSurface, Red, Green, Blue);
}

void TfcBitmap::Lightness(int Amount) {
    uint8_t T[256];
    PixelEffects::LightnessTable(Amount, T);
    ApplyTables(T, T, T);
}

void TfcBitmap::Contrast(int Amount) {
    uint8_t T[256];
    PixelEffects::ContrastTable(Amount, T);
    ApplyTables(T, T, T);
}

void TfcBitmap::AddRGB(int Red, int Green, int Blue) {
    FMask.reset();
    PixelEffects::AddToChannels(FSurface, Red, Green, Blue);
}

void TfcBitmap::GrayScale() {
    FMask.reset();
    PixelEffects::GrayScale(FSurface);
}

void TfcBitmap::Invert() {
    FMask.reset();
    PixelEffects::Invert(FSurface);
}

void TfcBitmap::Saturation(int Amount) {
    FMask.reset();
    PixelEffects::Saturation(FSurface, Amount);
}

void TfcBitmap::Colorize(int Red, int Green, int Blue) {
    FMask.reset();
    const bool Keep = FTransparentColor != clNone;
    const TBgr Key = Keep ? BgrOf(fcColorToPixel(FTransparentColor)) : TBgr{};
    PixelEffects::AddToChannels(FSurface, Red - 192, Green - 192, Blue - 192, Keep ? &Key : nullptr);
}

void TfcBitmap::MakeMask(TfcPixel Key) {
    FMask.reset();
    PixelEffects::MaskFromKey(FSurface, BgrOf(Key));
}

void TfcBitmap::ReplaceColor(TfcPixel Old, TfcPixel New) {
    FMask.reset();
    PixelEffects::ReplaceColor(FSurface, BgrOf(Old), BgrOf(New));
}

void TfcBitmap::BlurOnce(int Distance) {
    FMask.reset();
    PixelEffects::Blur(FSurface, Distance);
}

void TfcBitmap::GaussianBlur(int Amount) {
    for (int d = Amount; d >= 1; --d) BlurOnce(d);
}

void TfcBitmap::Sharpen(int Amount) {
    FMask.reset();
    PixelEffects::Sharpen(FSurface, Amount);
}

void TfcBitmap::Emboss() {
    FMask.reset();
    PixelEffects::Emboss(FSurface);
}

void TfcBitmap::Sponge(int Amount) {
    FMask.reset();
    PixelEffects::Spread(FSurface, Amount, [](int Range) { return Random(Range); });
}

void TfcBitmap::Flip(bool Horizontal) {
    FMask.reset();
    PixelEffects::Flip(FSurface, Horizontal);
}

void TfcBitmap::Rotate(TPoint Center, double Angle) {
    FMask.reset();
    PixelEffects::Rotate(FSurface, Center.x == -1 ? Width() / 2 : Center.x,
                         Center.y == -1 ? Height() / 2 : Center.y, Angle);
}

void TfcBitmap::Wave(bool Wrap, int Ratio, int YDivisor, int XDivisor) {
    FMask.reset();
    if (YDivisor == 0 || XDivisor == 0) return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    std::vector<int> S(static_cast<size_t>(H));
    for (int i = 0; i < H; ++i) S[size_t(i)] = int(std::nearbyint(Ratio * std::sin(double(i) / YDivisor)));
    const TfcPixel White{255, 255, 255};
    std::vector<TfcPixel> Out(size_t(W) * size_t(H), White);
    for (int d = 0; d < W; ++d) {
        int F = int(std::nearbyint(Ratio * std::sin(double(d) / XDivisor)));
        int Start = F;
        if (Wrap) {
            if (Start < 0) Start = H - ((-Start) % H) - 1;
            // A start row past the picture is taken modulo one row less than
            // its height; a picture one row high has only row 0 to start from.
            else if (Start >= H) Start = H > 1 ? Start % (H - 1) : 0;
        }
        for (int j = 0; j < H; ++j) {
            int G = d + S[size_t(j)];
            int Row = Wrap ? (Start + j) % H : F + j;
            if (Wrap) {
                if (G < 0) G = W - ((-G) % W) - 1;
                else if (G >= W) G = G % W;
            } else if (G < 0 || G >= W || Row < 0 || Row >= H) {
                continue;
            }
            Out[size_t(j) * size_t(W) + size_t(d)] = Pixel(G, Row);
        }
    }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) SetPixel(x, y, Out[size_t(y) * size_t(W) + size_t(x)]);
}

void TfcBitmap::AlphaBlend(const TfcBitmap& Other, int Amount, bool AllowScaling) {
    FMask.reset();
    if (Empty() || Other.Empty()) return;
    const TfcBitmap* Blend = &Other;
    TfcBitmap Scratch;
    if (Other.Width() != Width() || Other.Height() != Height()) {
        if (!AllowScaling)
            throw EInvalidOperation("In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap");
        Scratch.SetSize(Width(), Height());
        TfcBitmap& Source = const_cast<TfcBitmap&>(Other);
        bool WasTransparent = Source.FTransparent;
        Source.FTransparent = false;
        Source.Draw(Scratch.Canvas(), TRect(0, 0, Width(), Height()));
        Source.FTransparent = WasTransparent;
        Scratch.FTransparent = WasTransparent;
        Blend = &Scratch;
    }
    bool Skip = Blend->Transparent();
    TfcPixel Key = Blend->Pixel(0, 0);
    for (int y = 0; y < Height(); ++y) {
        uint8_t* P = ScanLine(y);
        const uint8_t* O = Blend->ScanLine(y);
        for (int x = 0; x < Width(); ++x, P += 3, O += 3) {
            if (Skip && O[0] == Key.Blue && O[1] == Key.Green && O[2] == Key.Red) continue;
            for (int c = 0; c < 3; ++c) P[c] = fcClampByte(P[c] + ((Amount * (O[c] - P[c])) >> 8));
        }
    }
}
