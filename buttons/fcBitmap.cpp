#include "buttons/fcBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "buttons/fcHelpers.h"
#include "buttons/fcPixelSwap.h"
#include "platform/gfx/Graphics.h"
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
    const int W = Width(), H = Height();
    const int XStep = int((int64_t(W - 1) * 32768) / DW), YStep = int((int64_t(H - 1) * 32768) / DH);
    for (int j = 0; j < DH; ++j) {
        int SY = j * YStep, Row = SY / 32768, FY = SY % 32768;
        int Row1 = Row < H - 1 ? Row + 1 : Row;
        const uint8_t* Top = ScanLine(Row);
        const uint8_t* Bottom = ScanLine(Row1);
        uint8_t* Out = Scratch.ScanLine(j);
        int WT = 32768 - FY, WB = FY;
        for (int i = 0; i < DW; ++i) {
            int SX = i * XStep, Col = SX / 32768, FX = SX % 32768;
            // The column to the right stops at the last one, as the row below does.
            int Col1 = std::min(Col + 1, W - 1);
            int RT = int((int64_t(FX) * WT) / 32768), RB = int((int64_t(FX) * WB) / 32768);
            for (int c = 0; c < 3; ++c) {
                int64_t V = int64_t(Top[3 * Col + c]) * (WT - RT) + int64_t(Top[3 * Col1 + c]) * RT +
                            int64_t(Bottom[3 * Col + c]) * (WB - RB) + int64_t(Bottom[3 * Col1 + c]) * RB;
                Out[3 * i + c] = uint8_t(V / 32768);
            }
        }
    }
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

template <class F>
void TfcBitmap::EachPixel(F&& Fn) {
    // The cached mask was made of the pixels as they were.
    FMask.reset();
    for (int y = 0; y < Height(); ++y) {
        uint8_t* P = ScanLine(y);
        for (int x = 0; x < Width(); ++x, P += 3) Fn(P);
    }
}

void TfcBitmap::ApplyTables(const uint8_t* Red, const uint8_t* Green, const uint8_t* Blue) {
    EachPixel([&](uint8_t* P) {
        P[0] = Blue[P[0]];
        P[1] = Green[P[1]];
        P[2] = Red[P[2]];
    });
}

void TfcBitmap::Lightness(int Amount) {
    uint8_t T[256];
    for (int i = 0; i < 256; ++i)
        T[i] = fcClampByte(Amount <= 0 ? i - ((i * std::abs(Amount)) >> 8) : i + (((255 - i) * Amount) >> 8));
    ApplyTables(T, T, T);
}

void TfcBitmap::Contrast(int Amount) {
    uint8_t T[256];
    for (int i = 0; i < 256; ++i) {
        int Step = (std::abs(128 - i) * Amount) / 256;
        T[i] = fcClampByte(i <= 126 ? i - Step : i + Step);
    }
    ApplyTables(T, T, T);
}

void TfcBitmap::AddRGB(int Red, int Green, int Blue) {
    uint8_t R[256], G[256], B[256];
    for (int i = 0; i < 256; ++i) {
        R[i] = fcClampByte(i + Red);
        G[i] = fcClampByte(i + Green);
        B[i] = fcClampByte(i + Blue);
    }
    ApplyTables(R, G, B);
}

void TfcBitmap::GrayScale() {
    EachPixel([](uint8_t* P) { P[0] = P[1] = P[2] = uint8_t(P[0] / 3 + P[1] / 3 + P[2] / 3); });
}

void TfcBitmap::Invert() {
    EachPixel([](uint8_t* P) {
        for (int c = 0; c < 3; ++c) P[c] = uint8_t(255 - P[c]);
    });
}

void TfcBitmap::Saturation(int Amount) {
    int U[256];
    for (int i = 0; i < 256; ++i) U[i] = (Amount * i) >> 8;
    EachPixel([&](uint8_t* P) {
        int G = P[0] / 3 + P[1] / 3 + P[2] / 3;
        for (int c = 0; c < 3; ++c) P[c] = fcClampByte(G + U[P[c]] - U[G]);
    });
}

void TfcBitmap::Colorize(int Red, int Green, int Blue) {
    bool Keep = FTransparentColor != clNone;
    TfcPixel Key = Keep ? fcColorToPixel(FTransparentColor) : TfcPixel{};
    int DB = Blue - 192, DG = Green - 192, DR = Red - 192;
    EachPixel([&](uint8_t* P) {
        if (Keep && P[0] == Key.Blue && P[1] == Key.Green && P[2] == Key.Red) return;
        P[0] = fcClampByte(P[0] + DB);
        P[1] = fcClampByte(P[1] + DG);
        P[2] = fcClampByte(P[2] + DR);
    });
}

void TfcBitmap::MakeMask(TfcPixel Key) {
    EachPixel([&](uint8_t* P) {
        uint8_t V = P[0] == Key.Blue && P[1] == Key.Green && P[2] == Key.Red ? 0 : 255;
        P[0] = P[1] = P[2] = V;
    });
}

void TfcBitmap::ReplaceColor(TfcPixel Old, TfcPixel New) {
    EachPixel([&](uint8_t* P) {
        if (P[0] == Old.Blue && P[1] == Old.Green && P[2] == Old.Red) {
            P[0] = New.Blue;
            P[1] = New.Green;
            P[2] = New.Red;
        }
    });
}

void TfcBitmap::BlurOnce(int Distance) {
    FMask.reset();
    const int W = Width(), H = Height();
    auto At = [&](int X, int Y) { return ScanLine(fcClamp(Y, 0, H - 1)) + 3 * fcClamp(X, 0, W - 1); };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* A = At(x + Distance, y + Distance);
            const uint8_t* B = At(x + Distance, y - Distance);
            const uint8_t* C = At(x - Distance, y + Distance);
            const uint8_t* D = At(x - Distance, y - Distance);
            uint8_t* P = At(x, y);
            for (int c = 0; c < 3; ++c) P[c] = uint8_t((A[c] + B[c] + C[c] + D[c]) >> 2);
        }
}

void TfcBitmap::GaussianBlur(int Amount) {
    for (int d = Amount; d >= 1; --d) BlurOnce(d);
}

void TfcBitmap::Sharpen(int Amount) {
    FMask.reset();
    const int W = Width(), H = Height();
    auto At = [&](int X, int Y) { return ScanLine(fcClamp(Y, 0, H - 1)) + 3 * fcClamp(X, 0, W - 1); };
    static const int Around[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int N[3] = {0, 0, 0};
            for (const auto& D : Around) {
                const uint8_t* Q = At(x + D[0] * Amount, y + D[1] * Amount);
                for (int c = 0; c < 3; ++c) N[c] += Q[c];
            }
            uint8_t* P = At(x, y);
            for (int c = 0; c < 3; ++c) {
                int V = 256 * P[c] - 16 * N[c];
                if (V < 0) V += 127;
                P[c] = fcClampByte(V >> 7);
            }
        }
}

void TfcBitmap::Emboss() {
    FMask.reset();
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    std::vector<uint8_t> LastRow(ScanLine(H - 1), ScanLine(H - 1) + 3 * W);
    const int Second = std::min(1, W - 1);
    for (int y = 0; y < H; ++y) {
        uint8_t* P = ScanLine(y);
        for (int x = 0; x < W; ++x) {
            const uint8_t* Q;
            if (y < H - 2) Q = ScanLine(y + 1) + 3 * std::min(x + 1, W - 1);
            else if (y == H - 2) Q = ScanLine(H - 1) + 3 * Second;
            else Q = LastRow.data() + 3 * Second;
            for (int c = 0; c < 3; ++c) P[3 * x + c] = uint8_t((P[3 * x + c] + (255 - Q[c])) >> 1);
        }
    }
}

void TfcBitmap::Sponge(int Amount) {
    FMask.reset();
    const int W = Width(), H = Height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int C = Random(Amount);
            int DX = Random(2 * C), DY = Random(2 * C);
            SetPixel(x, y, Pixel(fcClamp(x + C - DX, 0, W - 1), fcClamp(y + C - DY, 0, H - 1)));
        }
}

void TfcBitmap::Flip(bool Horizontal) {
    FMask.reset();
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    if (Horizontal) {
        for (int y = 0; y < H; ++y)
            for (int j = 0; j <= (W - 1) / 2; ++j) {
                TfcPixel A = Pixel(j, y);
                SetPixel(j, y, Pixel(W - 1 - j, y));
                SetPixel(W - 1 - j, y, A);
            }
        return;
    }
    std::vector<uint8_t> Row(static_cast<size_t>(RowStride()));
    for (int i = 0; i <= (H - 1) / 2; ++i) {
        uint8_t* A = ScanLine(i);
        uint8_t* B = ScanLine(H - 1 - i);
        std::memcpy(Row.data(), A, Row.size());
        std::memcpy(A, B, Row.size());
        std::memcpy(B, Row.data(), Row.size());
    }
}

void TfcBitmap::Rotate(TPoint Center, double Angle) {
    FMask.reset();
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    int CX = Center.x == -1 ? W / 2 : Center.x, CY = Center.y == -1 ? H / 2 : Center.y;
    TfcPixel Fill = Pixel(0, 0);
    std::vector<TfcPixel> Out(size_t(W) * size_t(H), Fill);
    double Theta = -Angle * M_PI / 180.0, Cos = std::cos(Theta), Sin = std::sin(Theta);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double U = 2.0 * x - 2.0 * CX + 1, V = 2.0 * y - 2.0 * CY + 1;
            int SX = CX + (int(std::nearbyint(U * Cos - V * Sin)) - 1) / 2;
            int SY = CY + (int(std::nearbyint(U * Sin + V * Cos)) - 1) / 2;
            if (SX >= 0 && SX < W && SY >= 0 && SY < H)
                Out[size_t(y) * size_t(W) + size_t(x)] = Pixel(SX, SY);
        }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) SetPixel(x, y, Out[size_t(y) * size_t(W) + size_t(x)]);
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
