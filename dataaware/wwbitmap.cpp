#include "dataaware/wwbitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/PixelEffects.h"
#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_CLASS(TwwBitmap, TGraphic)

namespace {
TBgr BgrOf(TwwPixel24 P) { return TBgr{P.Blue, P.Green, P.Red}; }

TwwPixel24 PixelOf(uint32_t Rgb) {
    return {static_cast<uint8_t>(Rgb), static_cast<uint8_t>(Rgb >> 8), static_cast<uint8_t>(Rgb >> 16)};
}

int BitsOf(TPixelFormat Format) {
    switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

// A random integer in [0, Range); 0 for an empty range.
int RandomBelow(std::minstd_rand& Random, int Range) {
    if (Range <= 0) return 0;
    return std::uniform_int_distribution<int>(0, Range - 1)(Random);
}
}  // namespace

void ColorToBGR(TColor Color, TwwPixel24& Pixel) {
    const TColorRef rgb = ColorToRGB(Color);
    Pixel.Red = static_cast<uint8_t>(rgb & 0xFF);
    Pixel.Green = static_cast<uint8_t>((rgb >> 8) & 0xFF);
    Pixel.Blue = static_cast<uint8_t>((rgb >> 16) & 0xFF);
}

TwwBitmap::TwwBitmap() : FCanvas(std::make_unique<TCanvas>()) {}

TwwBitmap::~TwwBitmap() {
    if (!FKept.empty()) DiscardUndo();
    FreeImage();
}

// ---------------------------------------------------------------- life and size

void TwwBitmap::FreeImage() {
    FCanvas->SetSurface(nullptr);
    FSurface = TSurface();
    FRows.clear();
    FMask.reset();
    FWidth = FHeight = FImageSize = 0;
}

void TwwBitmap::Allocate(int AWidth, int AHeight) {
    FreeImage();
    if (AWidth <= 0 || AHeight <= 0) return;
    FWidth = AWidth;
    FHeight = AHeight;
    FSurface.Reset(AWidth, AHeight, TSurfaceFormat::Bgr24, 0xFFFFFF);
}

void TwwBitmap::BuildRowTable() {
    if (FSurface.Empty()) {
        FreeImage();
        return;
    }
    FRowPadding = FWidth % 4;
    FRowStride = 3 * FWidth + FRowPadding;
    FImageSize = FRowStride * FHeight;
    FRows.resize(static_cast<size_t>(FHeight));
    for (int y = 0; y < FHeight; ++y)
        FRows[static_cast<size_t>(y)] = reinterpret_cast<TwwPixel24*>(FSurface.ScanLine(y));
    FCanvas->SetSurface(&FSurface);
    Changed();
}

void TwwBitmap::SetSize(int AWidth, int AHeight) {
    Allocate(AWidth, AHeight);
    if (!FSurface.Empty()) BuildRowTable();
}

void TwwBitmap::SetDimensions(int AWidth, int AHeight) {
    if (AWidth != FWidth || AHeight != FHeight) SetSize(AWidth, AHeight);
}

void TwwBitmap::DiscardUndo() {
    FKept.clear();
    FKeptWidth = FKeptHeight = 0;
}

void TwwBitmap::SaveUndo() {
    DiscardUndo();
    FKept.assign(FSurface.Bits(), FSurface.Bits() + FSurface.ImageSize());
    FKeptWidth = FWidth;
    FKeptHeight = FHeight;
    FreeImage();
}

void TwwBitmap::RestoreUndo() {
    if (FKept.empty()) return;
    const std::vector<uint8_t> kept = std::move(FKept);
    LoadFromBits(kept.data(), static_cast<int>(kept.size()), FKeptWidth, FKeptHeight);
    DiscardUndo();
}

void TwwBitmap::LoadFromBits(const uint8_t* Bits, int Size, int AWidth, int AHeight) {
    Allocate(AWidth, AHeight);
    if (FSurface.Empty()) return;
    std::memcpy(FSurface.Bits(), Bits, std::min(static_cast<size_t>(Size), FSurface.ImageSize()));
    BuildRowTable();
}

// ---------------------------------------------------------------- copying

void TwwBitmap::Assign(TPersistent* Source) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap->Empty()) {
            FreeImage();
            Changed();
            return;
        }
        FPixelFormat = bitmap->PixelFormat();
        AssignBitmap(bitmap);
        SetTransparent(bitmap->Transparent());
        return;
    }
    if (!Source) {
        FreeImage();
        Changed();
        return;
    }
    auto* graphic = dynamic_cast<TGraphic*>(Source);
    if (!graphic || dynamic_cast<TwwBitmap*>(Source)) {
        TGraphic::Assign(Source);
        return;
    }
    AssignGraphic(graphic);
}

void TwwBitmap::AssignBitmap(const TBitmap* Bitmap) {
    Allocate(Bitmap->Width(), Bitmap->Height());
    if (FSurface.Empty()) return;
    const TSurface& source = Bitmap->Surface();
    for (int y = 0; y < FHeight; ++y) {
        auto* row = reinterpret_cast<TwwPixel24*>(FSurface.ScanLine(y));
        for (int x = 0; x < FWidth; ++x) row[x] = PixelOf(source.GetPixel(x, y));
    }
    BuildRowTable();
    FSourceDeeperThanDisplay = BitsOf(Bitmap->PixelFormat()) > GetDeviceCaps(FCanvas.get(), BITSPIXEL);
    FPixelFormat = Bitmap->PixelFormat() == pfDevice ? pf24bit : Bitmap->PixelFormat();
    FColorTable = Bitmap->ColorTable();
    if (FColorTable.size() > 256) FColorTable.resize(256);
    FHasColorTable = !FColorTable.empty();
}

void TwwBitmap::AssignGraphic(const TGraphic* Graphic) {
    TBitmap work(Graphic->Width(), Graphic->Height());
    work.Canvas()->Draw(0, 0, Graphic);
    AssignBitmap(&work);
}

void TwwBitmap::AssignFrom(TPersistent* Source) {
    TBitmap work;
    work.Assign(Source);
    AssignBitmap(&work);
}

void TwwBitmap::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->SetPixelFormat(FPixelFormat);
        AssignToBitmap(bitmap);
        bitmap->SetTransparent(Transparent());
        if (FTransparentColor != clNone) bitmap->SetTransparentColor(FTransparentColor);
        return;
    }
    auto* other = dynamic_cast<TwwBitmap*>(Dest);
    if (!other) {
        TGraphic::AssignTo(Dest);
        return;
    }
    if (Empty()) {
        other->FreeImage();
    } else {
        other->FChangeLock = true;
        other->FOptimalPalette = FOptimalPalette;
        other->FHalftonePalette = FHalftonePalette;
        other->SetSize(FWidth, FHeight);
        std::memcpy(other->FSurface.Bits(), FSurface.Bits(), FSurface.ImageSize());
        other->SetTransparent(Transparent());
        other->FSmoothStretching = FSmoothStretching;
        other->FTransparentColor = FTransparentColor;
        other->FPixelFormat = FPixelFormat;
        other->FColorTable = FColorTable;
        other->FHasColorTable = FHasColorTable;
        other->FSourceDeeperThanDisplay = FSourceDeeperThanDisplay;
        other->FChangeLock = false;
    }
    other->Changed();
}

void TwwBitmap::AssignToBitmap(TBitmap* Bitmap) const {
    Bitmap->SetPixelFormat(FPixelFormat);
    Bitmap->SetSize(FWidth, FHeight);
    if (FHasColorTable) Bitmap->SetColorTable(FColorTable);
    FDrawingIntoBitmap = true;
    Bitmap->Canvas()->Draw(0, 0, this);
    FDrawingIntoBitmap = false;
}

void TwwBitmap::LoadFromStream(TStream& Stream) {
    TBitmap bitmap;
    bitmap.LoadFromStream(Stream);
    Assign(&bitmap);
}

void TwwBitmap::SaveToStream(TStream& Stream) const {
    TBitmap bitmap;
    AssignToBitmap(&bitmap);
    bitmap.SaveToStream(Stream);
}

void TwwBitmap::ReadData(TStream& Stream) {
    int32_t size = 0;
    Stream.ReadBuffer(&size, sizeof size);
    TMemoryStream file;
    file.CopyFrom(Stream, size);
    file.SetPosition(0);
    LoadFromStream(file);
}

void TwwBitmap::WriteData(TStream& Stream) const {
    TMemoryStream file;
    SaveToStream(file);
    const auto size = static_cast<int32_t>(file.Size());
    Stream.WriteBuffer(&size, sizeof size);
    file.SetPosition(0);
    Stream.CopyFrom(file, size);
}

void TwwBitmap::Resize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    TwwBitmap copy;
    AssignTo(&copy);
    SetSize(AWidth, AHeight);
    if (!Empty() && !copy.Empty()) copy.Draw(FCanvas.get(), TRect(0, 0, AWidth, AHeight));
}

// ---------------------------------------------------------------- changes and listeners

void TwwBitmap::Changed() {
    if (FChangeLock) return;
    TGraphic::Changed();
    NotifyListeners();
}

void TwwBitmap::AddListener(TwwBitmapListener* Listener) { FListeners.push_back(Listener); }

void TwwBitmap::RemoveListener(TwwBitmapListener* Listener) {
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), Listener), FListeners.end());
}

void TwwBitmap::NotifyListeners() {
    for (TwwBitmapListener* listener : std::vector<TwwBitmapListener*>(FListeners)) {
        listener->Sender = this;
        listener->Change();
    }
}

// ---------------------------------------------------------------- drawing

void TwwBitmap::Draw(TCanvas* Target, const TRect& R) const {
    if (Empty()) return;
    if (R.Width() != FWidth || R.Height() != FHeight) {
        if (FSmoothStretching) StretchDrawSmooth(Target, R);
        else StretchDrawTo(Target, R);
    } else if (Transparent() && !FDrawingIntoBitmap) {
        DrawTransparent(Target, R);
    } else {
        Target->BitBlt(R.Left, R.Top, FWidth, FHeight, FCanvas.get(), 0, 0, SRCCOPY);
    }
}

void TwwBitmap::StretchDrawTo(TCanvas* Target, const TRect& R) const {
    if (Transparent()) {
        TwwBitmap stretched;
        stretched.SetSize(R.Width(), R.Height());
        if (stretched.Empty()) return;
        stretched.Canvas()->StretchBlt(0, 0, R.Width(), R.Height(), FCanvas.get(), 0, 0, FWidth, FHeight,
                                       SRCCOPY);
        stretched.DrawTransparent(Target, R);
        return;
    }
    Target->SetStretchBltMode(COLORONCOLOR);
    Target->StretchBlt(R.Left, R.Top, R.Width(), R.Height(), FCanvas.get(), 0, 0, FWidth, FHeight, SRCCOPY);
}

void TwwBitmap::StretchDrawSmooth(TCanvas* Target, const TRect& R) const {
    const int width = R.Width(), height = R.Height();
    if (width < 1 || height < 1 || Empty()) return;
    TwwBitmap work;
    work.SetSize(width, height);
    PixelEffects::StretchSmooth(FSurface, work.FSurface);
    if (Transparent()) work.DrawTransparent(Target, R);
    else Target->Draw(R.Left, R.Top, &work);
}

TwwPixel24 TwwBitmap::KeyPixel() const {
    if (FTransparentColor == clNone) return Pixel(0, 0);
    TwwPixel24 key;
    ColorToBGR(FTransparentColor, key);
    return key;
}

void TwwBitmap::MakeMask() const {
    if (FMask) return;
    // Black where the picture shows the key colour, white elsewhere.
    const TwwPixel24 key = KeyPixel();
    FMask = std::make_unique<TBitmap>(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) FMask->Surface().SetPixel(x, y, Pixel(x, y) == key ? 0 : 0xFFFFFF);
    FMask->SetMonochrome(true);
}

void TwwBitmap::DrawTransparent(TCanvas* Target, const TRect& R) const {
    if (Empty()) return;
    MakeMask();
    const int width = R.Width(), height = R.Height();
    TBitmap picture(FWidth, FHeight);
    picture.SetPixelFormat(pf24bit);
    picture.Canvas()->BitBlt(0, 0, FWidth, FHeight, FCanvas.get(), 0, 0, SRCCOPY);
    TBitmap work(width, height);
    work.Canvas()->BitBlt(0, 0, width, height, Target, R.Left, R.Top, SRCCOPY);
    TCanvas* w = work.Canvas();
    const TColorRef back = w->SetBkColor(clWhite), text = w->SetTextColor(clBlack);
    // Picture xor background, the key's place cleared by the mask, xor again:
    // the background where the key was, the picture elsewhere.
    w->BitBlt(0, 0, width, height, picture.Canvas(), 0, 0, SRCINVERT);
    w->BitBlt(0, 0, width, height, FMask->Canvas(), 0, 0, 0x00220326);
    w->BitBlt(0, 0, width, height, picture.Canvas(), 0, 0, SRCINVERT);
    w->SetBkColor(static_cast<TColor>(back));
    w->SetTextColor(static_cast<TColor>(text));
    Target->BitBlt(R.Left, R.Top, width, height, w, 0, 0, SRCCOPY);
}

void TwwBitmap::TileDraw(TCanvas* Target, const TRect& R) const {
    if (Empty()) return;
    for (int y = 0; y < R.Bottom; y += FHeight)
        for (int x = 0; x < R.Right; x += FWidth)
            Draw(Target, TRect(x - R.Left, y - R.Top, x - R.Left + FWidth, y - R.Top + FHeight));
}

// ---------------------------------------------------------------- effects

void TwwBitmap::ReplacePixels(const std::vector<TwwPixel24>& Pixels) {
    for (int y = 0; y < FHeight; ++y)
        std::copy_n(Pixels.begin() + static_cast<std::ptrdiff_t>(y) * FWidth, FWidth, Row(y));
}

void TwwBitmap::Lighten(int Amount) {
    uint8_t table[256];
    PixelEffects::LightnessTable(Amount, table);
    PixelEffects::MapChannels(FSurface, table, table, table);
}

void TwwBitmap::Contrast(int Amount) {
    uint8_t table[256];
    PixelEffects::ContrastTable(Amount, table);
    PixelEffects::MapChannels(FSurface, table, table, table);
}

void TwwBitmap::Saturation(int Amount) { PixelEffects::Saturation(FSurface, Amount); }

void TwwBitmap::AddToChannels(int Red, int Green, int Blue) {
    PixelEffects::AddToChannels(FSurface, Red, Green, Blue);
}

void TwwBitmap::TintChannels(int Red, int Green, int Blue) {
    auto half = [](int Value) { return PixelEffects::ClampByte(static_cast<int>(Value * 0.5)) - 128; };
    const bool keep = FTransparentColor != clNone;
    TwwPixel24 key;
    if (keep) ColorToBGR(FTransparentColor, key);
    const TBgr kept = BgrOf(key);
    PixelEffects::AddToChannels(FSurface, half(Red), half(Green), half(Blue), keep ? &kept : nullptr);
}

void TwwBitmap::GrayScale() { PixelEffects::GrayScale(FSurface); }

void TwwBitmap::Invert() { PixelEffects::Invert(FSurface); }

void TwwBitmap::Flip(bool Horizontal) { PixelEffects::Flip(FSurface, Horizontal); }

void TwwBitmap::Blur(int Distance) { PixelEffects::Blur(FSurface, Distance); }

void TwwBitmap::BlurTimes(int Count) {
    for (int d = Count; d >= 1; --d) Blur(d);
}

void TwwBitmap::Sharpen(int Distance) { PixelEffects::Sharpen(FSurface, Distance); }

void TwwBitmap::Emboss() { PixelEffects::Emboss(FSurface); }

void TwwBitmap::AddNoise(int Amount) {
    PixelEffects::Spread(FSurface, Amount, [this](int Range) { return RandomBelow(FRandom, Range); });
}

void TwwBitmap::MaskFromColor(TwwPixel24 Key) { PixelEffects::MaskFromKey(FSurface, BgrOf(Key)); }

void TwwBitmap::ReplaceColor(TwwPixel24 OldPixel, TwwPixel24 NewPixel) {
    PixelEffects::ReplaceColor(FSurface, BgrOf(OldPixel), BgrOf(NewPixel));
}

void TwwBitmap::Rotate(TPoint Centre, double Angle) {
    PixelEffects::Rotate(FSurface, Centre.x < 0 ? FWidth / 2 : Centre.x,
                         Centre.y < 0 ? FHeight / 2 : Centre.y, Angle);
}

void TwwBitmap::Wave(bool Wrap, int ColumnDivisor, int RowDivisor, int Amplitude) {
    if (ColumnDivisor == 0 || RowDivisor == 0 || Empty()) return;
    auto wrapped = [](int Value, int Size) {
        if (Value < 0) return Size - 1 - ((-Value) % Size);
        return Value >= Size ? Value % Size : Value;
    };
    std::vector<int> rowShift(static_cast<size_t>(FHeight));
    for (int j = 0; j < FHeight; ++j)
        rowShift[static_cast<size_t>(j)] =
            static_cast<int>(std::nearbyint(Amplitude * std::sin(static_cast<double>(j) / RowDivisor)));
    const TwwPixel24 white{255, 255, 255};
    std::vector<TwwPixel24> result(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), white);
    for (int x = 0; x < FWidth; ++x) {
        int start =
            static_cast<int>(std::nearbyint(Amplitude * std::sin(static_cast<double>(x) / ColumnDivisor)));
        if (Wrap) start = wrapped(start, FHeight);
        else if (start > FHeight - 1) continue;
        for (int j = 0; j < FHeight; ++j) {
            int row = start + j, column = x + rowShift[static_cast<size_t>(j)];
            if (Wrap) {
                row %= FHeight;
                column = wrapped(column, FWidth);
            } else {
                if (row > FHeight - 1) break;
                if (row < 0 || column < 0 || column >= FWidth) continue;
            }
            result[static_cast<size_t>(j) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] =
                Pixel(column, row);
        }
    }
    ReplacePixels(result);
}
