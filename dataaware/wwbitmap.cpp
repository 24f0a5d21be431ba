#include "dataaware/wwbitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_CLASS(TwwBitmap, TGraphic)

namespace {
uint8_t Clamp(int Value) { return static_cast<uint8_t>(std::clamp(Value, 0, 255)); }

// Every channel through one table.
void MapChannels(TwwBitmap& Bitmap, const uint8_t (&Table)[256]) {
    for (int y = 0; y < Bitmap.Height(); ++y) {
        TwwPixel24* row = Bitmap.Row(y);
        for (int x = 0; x < Bitmap.Width(); ++x) {
            row[x].Blue = Table[row[x].Blue];
            row[x].Green = Table[row[x].Green];
            row[x].Red = Table[row[x].Red];
        }
    }
}

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
    // Bilinear weights in 15-bit fixed point; a neighbour beyond the last
    // column or row is that column or row itself.
    const int stepX = ((FWidth - 1) * 32768) / width, stepY = ((FHeight - 1) * 32768) / height;
    for (int j = 0; j < height; ++j) {
        const int acY = j * stepY;
        const int r = acY >> 15, below = std::min(r + 1, FHeight - 1);
        const int fy = acY & 0x7FFF;
        const TwwPixel24* top = Row(r);
        const TwwPixel24* bottom = Row(below);
        TwwPixel24* out = work.Row(j);
        for (int i = 0; i < width; ++i) {
            const int acX = i * stepX;
            const int c = acX >> 15, right = std::min(c + 1, FWidth - 1);
            const int fx = acX & 0x7FFF;
            const int a = (fx * (32768 - fy)) >> 15, b = (fx * fy) >> 15;
            const int w00 = (32768 - fy) - a, w10 = a, w01 = fy - b, w11 = b;
            auto mix = [&](uint8_t TwwPixel24::*Channel) {
                return static_cast<uint8_t>((top[c].*Channel * w00 + top[right].*Channel * w10 +
                                             bottom[c].*Channel * w01 + bottom[right].*Channel * w11) >>
                                            15);
            };
            out[i] = {mix(&TwwPixel24::Blue), mix(&TwwPixel24::Green), mix(&TwwPixel24::Red)};
        }
    }
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

std::vector<TwwPixel24> TwwBitmap::Snapshot() const {
    std::vector<TwwPixel24> pixels;
    pixels.reserve(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight));
    for (int y = 0; y < FHeight; ++y) pixels.insert(pixels.end(), Row(y), Row(y) + FWidth);
    return pixels;
}

void TwwBitmap::ReplacePixels(const std::vector<TwwPixel24>& Pixels) {
    for (int y = 0; y < FHeight; ++y)
        std::copy_n(Pixels.begin() + static_cast<std::ptrdiff_t>(y) * FWidth, FWidth, Row(y));
}

TwwPixel24 TwwBitmap::Clamped(int X, int Y) const {
    return Pixel(std::clamp(X, 0, FWidth - 1), std::clamp(Y, 0, FHeight - 1));
}

void TwwBitmap::Lighten(int Amount) {
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] =
            Amount > 0 ? Clamp(v + (((255 - v) * Amount) >> 8)) : Clamp(v - ((v * std::abs(Amount)) >> 8));
    MapChannels(*this, table);
}

void TwwBitmap::Contrast(int Amount) {
    uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        const int step = (std::abs(128 - v) * Amount) / 256;
        table[v] = Clamp(v <= 126 ? v - step : v + step);
    }
    MapChannels(*this, table);
}

void TwwBitmap::Saturation(int Amount) {
    int third[256], scaled[256];
    for (int v = 0; v < 256; ++v) {
        third[v] = v / 3;
        scaled[v] = (v * Amount) >> 8;
    }
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x) {
            TwwPixel24& p = row[x];
            const int grey = third[p.Red] + third[p.Green] + third[p.Blue];
            const int offset = grey - scaled[grey];
            p = {Clamp(offset + scaled[p.Blue]), Clamp(offset + scaled[p.Green]),
                 Clamp(offset + scaled[p.Red])};
        }
    }
}

void TwwBitmap::AddToChannels(int Red, int Green, int Blue) {
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x)
            row[x] = {Clamp(row[x].Blue + Blue), Clamp(row[x].Green + Green), Clamp(row[x].Red + Red)};
    }
}

void TwwBitmap::TintChannels(int Red, int Green, int Blue) {
    const int red = Clamp(static_cast<int>(Red * 0.5)), green = Clamp(static_cast<int>(Green * 0.5)),
              blue = Clamp(static_cast<int>(Blue * 0.5));
    const bool keep = FTransparentColor != clNone;
    TwwPixel24 key;
    if (keep) ColorToBGR(FTransparentColor, key);
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x) {
            if (keep && row[x] == key) continue;
            row[x] = {Clamp(row[x].Blue - 128 + blue), Clamp(row[x].Green - 128 + green),
                      Clamp(row[x].Red - 128 + red)};
        }
    }
}

void TwwBitmap::GrayScale() {
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x) {
            const auto grey = static_cast<uint8_t>(row[x].Red / 3 + row[x].Green / 3 + row[x].Blue / 3);
            row[x] = {grey, grey, grey};
        }
    }
}

void TwwBitmap::Invert() {
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x)
            row[x] = {static_cast<uint8_t>(255 - row[x].Blue), static_cast<uint8_t>(255 - row[x].Green),
                      static_cast<uint8_t>(255 - row[x].Red)};
    }
}

void TwwBitmap::Flip(bool Horizontal) {
    if (Empty()) return;
    if (Horizontal) {
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x <= (FWidth - 1) / 2; ++x) std::swap(Row(y)[x], Row(y)[FWidth - 1 - x]);
        return;
    }
    for (int y = 0; y <= (FHeight - 1) / 2; ++y)
        std::swap_ranges(Row(y), Row(y) + FWidth, Row(FHeight - 1 - y));
}

void TwwBitmap::Blur(int Distance) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const TwwPixel24 corners[4] = {
                Clamped(x + Distance, y + Distance), Clamped(x + Distance, y - Distance),
                Clamped(x - Distance, y + Distance), Clamped(x - Distance, y - Distance)};
            auto average = [&corners](uint8_t TwwPixel24::*C) {
                return static_cast<uint8_t>((corners[0].*C + corners[1].*C + corners[2].*C + corners[3].*C) >>
                                            2);
            };
            Pixel(x, y) = {average(&TwwPixel24::Blue), average(&TwwPixel24::Green),
                           average(&TwwPixel24::Red)};
        }
}

void TwwBitmap::BlurTimes(int Count) {
    for (int d = Count; d >= 1; --d) Blur(d);
}

void TwwBitmap::Sharpen(int Distance) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            int sum[3] = {0, 0, 0};
            for (int dy : {-Distance, 0, Distance})
                for (int dx : {-Distance, 0, Distance}) {
                    if (dx == 0 && dy == 0) continue;
                    const TwwPixel24 n = Clamped(x + dx, y + dy);
                    sum[0] += n.Blue;
                    sum[1] += n.Green;
                    sum[2] += n.Red;
                }
            TwwPixel24& p = Pixel(x, y);
            p = {Clamp((256 * p.Blue - 16 * sum[0]) / 128), Clamp((256 * p.Green - 16 * sum[1]) / 128),
                 Clamp((256 * p.Red - 16 * sum[2]) / 128)};
        }
}

void TwwBitmap::Emboss() {
    if (Empty()) return;
    const std::vector<TwwPixel24> lastRow(Row(FHeight - 1), Row(FHeight - 1) + FWidth);
    auto emboss = [](TwwPixel24& P, TwwPixel24 N) {
        P = {static_cast<uint8_t>((P.Blue + (255 - N.Blue)) >> 1),
             static_cast<uint8_t>((P.Green + (255 - N.Green)) >> 1),
             static_cast<uint8_t>((P.Red + (255 - N.Red)) >> 1)};
    };
    const int second = std::min(1, FWidth - 1);
    for (int y = 0; y < FHeight; ++y) {
        TwwPixel24* row = Row(y);
        for (int x = 0; x < FWidth; ++x) {
            TwwPixel24 neighbour;
            if (y == FHeight - 1) neighbour = lastRow[static_cast<size_t>(second)];
            else if (y == FHeight - 2) neighbour = Pixel(second, FHeight - 1);
            else neighbour = Pixel(std::min(x + 1, FWidth - 1), y + 1);
            emboss(row[x], neighbour);
        }
    }
}

void TwwBitmap::AddNoise(int Amount) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const int k = RandomBelow(FRandom, Amount);
            const int sx = x + k - RandomBelow(FRandom, 2 * k);
            const int sy = y + k - RandomBelow(FRandom, 2 * k);
            Pixel(x, y) = Clamped(sx, sy);
        }
}

void TwwBitmap::MaskFromColor(TwwPixel24 Key) {
    const TwwPixel24 black{0, 0, 0}, white{255, 255, 255};
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) Pixel(x, y) = Pixel(x, y) == Key ? black : white;
}

void TwwBitmap::ReplaceColor(TwwPixel24 OldPixel, TwwPixel24 NewPixel) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            if (Pixel(x, y) == OldPixel) Pixel(x, y) = NewPixel;
}

void TwwBitmap::Rotate(TPoint Centre, double Angle) {
    if (Empty()) return;
    const int cx = Centre.x < 0 ? FWidth / 2 : Centre.x, cy = Centre.y < 0 ? FHeight / 2 : Centre.y;
    std::vector<TwwPixel24> result(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), Pixel(0, 0));
    const double t = -Angle * std::numbers::pi / 180.0, s = std::sin(t), c = std::cos(t);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const int64_t dx = 2 * static_cast<int64_t>(x - cx) + 1,
                          dy = 2 * static_cast<int64_t>(y - cy) + 1;
            // Twice the coordinates, so that the centre of a pixel lands on whole numbers.
            const auto sx = (static_cast<int64_t>(std::nearbyint(dx * c - dy * s)) - 1) / 2 + cx;
            const auto sy = (static_cast<int64_t>(std::nearbyint(dx * s + dy * c)) - 1) / 2 + cy;
            if (sx >= 0 && sx < FWidth && sy >= 0 && sy < FHeight)
                result[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] =
                    Pixel(static_cast<int>(sx), static_cast<int>(sy));
        }
    ReplacePixels(result);
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
