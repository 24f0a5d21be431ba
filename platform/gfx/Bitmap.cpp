#include "platform/gfx/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/Bmp.h"

ZELMOR_IMPLEMENT_CLASS(TGraphic, TPersistent)
ZELMOR_IMPLEMENT_CLASS_FACTORY(TBitmap, TGraphic, [](TObject*) -> TObject* { return new TBitmap; })
ZELMOR_IMPLEMENT_CLASS(TPicture, TPersistent)

// --- TGraphic ---
void TGraphic::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value) Changed();
    else FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    if (Assigned(OnChange)) OnChange(this);
}

// --- TBitmap ---
namespace {
TSurfaceFormat FormatOf(TPixelFormat F) { return F == pf24bit ? TSurfaceFormat::Bgr24 : TSurfaceFormat::Xrgb32; }

TPixelFormat FormatOfDepth(int Bits) {
    switch (Bits) {
        case 1: return pf1bit;
        case 4: return pf4bit;
        case 8: return pf8bit;
        case 16: return pf16bit;
        case 24: return pf24bit;
        case 32: return pf32bit;
        default: return pfDevice;
    }
}

// The same pixels in another layout (colour again when the source was monochrome).
TSurface Converted(const TSurface& Source, TSurfaceFormat Format) {
    TSurface out;
    out.Reset(Source.Width(), Source.Height(), Format);
    std::vector<uint32_t> row(static_cast<size_t>(Source.Width()));
    for (int y = 0; y < Source.Height(); ++y) {
        Source.ReadSpan(0, y, Source.Width(), row.data());
        out.WriteSpan(0, y, Source.Width(), row.data());
    }
    return out;
}

int DepthOf(TPixelFormat F) {
    switch (F) {
        case pf1bit: return 1;
        case pf4bit: return 4;
        case pf8bit: return 8;
        case pf32bit: return 32;
        default: return 24;
    }
}
}  // namespace

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(&FSurface)) {
    FCanvas->OnChange = TNotifyEvent([this](TObject* s) { CanvasChanged(s); });
}

TBitmap::TBitmap(int Width, int Height) : TBitmap() { SetSize(Width, Height); }

TBitmap::~TBitmap() = default;

bool TBitmap::Empty() const { return FSurface.Empty(); }
int TBitmap::Width() const { return FSurface.Width(); }
int TBitmap::Height() const { return FSurface.Height(); }
void TBitmap::SetWidth(int Value) { SetSize(Value, Height()); }
void TBitmap::SetHeight(int Value) { SetSize(Width(), Value); }

void TBitmap::Resurface(int W, int H, TSurfaceFormat Format, bool Keep) {
    W = std::max(W, 0);
    H = std::max(H, 0);
    if (W == FSurface.Width() && H == FSurface.Height() && Format == FSurface.Format()) return;
    TSurface old = std::move(FSurface);
    bool mono = old.Monochrome() || FPixelFormat == pf1bit;
    FSurface = TSurface();
    FSurface.Reset(W, H, Format, 0xFFFFFF);
    if (Keep && !old.Empty() && !FSurface.Empty()) {
        int cw = std::min(W, old.Width()), ch = std::min(H, old.Height());
        std::vector<uint32_t> row(static_cast<size_t>(cw));
        for (int y = 0; y < ch; ++y) {
            old.ReadSpan(0, y, cw, row.data());
            FSurface.WriteSpan(0, y, cw, row.data());
        }
    }
    if (mono) FSurface.SetMonochrome(true);
    // The canvas keeps its pen, brush and font; only the device changes.
    FCanvas->SetSurface(&FSurface);
}

void TBitmap::SetSize(int Width, int Height) {
    if (Width == this->Width() && Height == this->Height()) return;
    Resurface(Width, Height, FormatOf(FPixelFormat), true);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    FPixelFormat = Value;
    TSurfaceFormat f = FormatOf(Value);
    if (f != FSurface.Format() || (Value != pf1bit && FSurface.Monochrome())) {
        FSurface = Converted(FSurface, f);
        FCanvas->SetSurface(&FSurface);
    }
    if (Value == pf1bit) FSurface.SetMonochrome(true);
    Changed();
}

bool TBitmap::Monochrome() const { return FSurface.Monochrome() || FPixelFormat == pf1bit; }

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome()) return;
    if (Value) SetPixelFormat(pf1bit);
    else SetPixelFormat(pfDevice);
}

void TBitmap::SetColorTable(std::vector<uint32_t> Table) {
    FColorTable = std::move(Table);
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    return TColor(PixelToColorRef(FSurface.GetPixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    FTransparentMode = Value;
    if (Value == tmAuto) FTransparentColor = clDefault;
    else FTransparentColor = TransparentColor();
    Changed();
}

TCanvas* TBitmap::Canvas() { return FCanvas.get(); }
const TCanvas* TBitmap::Canvas() const { return FCanvas.get(); }

uint8_t* TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
    return FSurface.ScanLine(Row);
}

std::unique_ptr<TBitmap> TBitmap::CreateMask(TColor TransparentColor) const {
    auto mask = std::make_unique<TBitmap>();
    mask->SetPixelFormat(pf1bit);
    mask->SetSize(Width(), Height());
    uint32_t key = ColorRefToPixel(ColorToRGB(TransparentColor));
    std::vector<uint32_t> row(static_cast<size_t>(Width()));
    for (int y = 0; y < Height(); ++y) {
        FSurface.ReadSpan(0, y, Width(), row.data());
        for (auto& p : row) p = p == key ? 0xFFFFFF : 0;
        mask->FSurface.WriteSpan(0, y, Width(), row.data());
    }
    return mask;
}

void TBitmap::LoadFromBytes(std::span<const uint8_t> Bytes) {
    TBmpImage img = ReadBmp(Bytes);  // raises before anything changes
    FPixelFormat = FormatOfDepth(img.BitCount);
    FColorTable = std::move(img.ColorTable);
    TSurfaceFormat f = FormatOf(FPixelFormat);
    FSurface = f == TSurfaceFormat::Xrgb32 ? std::move(img.Pixels) : Converted(img.Pixels, f);
    // A two-colour black-and-white file is a monochrome bitmap.
    if (FPixelFormat == pf1bit) FSurface.SetMonochrome(true);
    FCanvas->SetSurface(&FSurface);
    Changed();
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
    if (Empty()) return {};
    return WriteBmp(FSurface, DepthOf(FPixelFormat), FColorTable);
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        FSurface = b->FSurface;
        FPixelFormat = b->FPixelFormat;
        FColorTable = b->FColorTable;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        FTransparent = b->FTransparent;
        FCanvas->SetSurface(&FSurface);
        Changed();
        return;
    }
    if (Source == nullptr) {
        FSurface = TSurface();
        FCanvas->SetSurface(&FSurface);
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Any other graphic is drawn onto a bitmap of its size.
        SetSize(g->Width(), g->Height());
        FCanvas->Brush()->SetColor(clWhite);
        FCanvas->FillRect({0, 0, Width(), Height()});
        FCanvas->Draw(0, 0, g);
        return;
    }
    inherited::Assign(Source);
}

void TBitmap::AssignTo(TPersistent* Dest) {
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        p->SetGraphic(this);
        return;
    }
    inherited::AssignTo(Dest);
}

void TBitmap::Draw(TCanvas* Canvas, const TRect& R) const {
    if (Empty()) return;
    if (Transparent()) {
        Canvas->TransparentBlt(R.Left, R.Top, R.Width(), R.Height(), FCanvas.get(), 0, 0, Width(), Height(),
                               TransparentColor());
        return;
    }
    int old = Canvas->SetStretchBltMode(Monochrome() ? BLACKONWHITE : COLORONCOLOR);
    Canvas->StretchBlt(R.Left, R.Top, R.Width(), R.Height(), FCanvas.get(), 0, 0, Width(), Height(),
                       Canvas->CopyMode());
    Canvas->SetStretchBltMode(old);
}

void TBitmap::CanvasChanged(TObject*) { Changed(); }

// --- TPicture ---
TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    if (!Value) {
        FGraphic.reset();
    } else {
        auto copy = std::unique_ptr<TGraphic>(static_cast<TGraphic*>(Value->ClassInfo()->Create(nullptr)));
        copy->Assign(Value);
        FGraphic = std::move(copy);
        FGraphic->OnChange = TNotifyEvent([this](TObject* s) { GraphicChanged(s); });
    }
    Changed();
}

TBitmap* TPicture::Bitmap() {
    auto* b = dynamic_cast<TBitmap*>(FGraphic.get());
    if (!b) {
        FGraphic = std::make_unique<TBitmap>();
        FGraphic->OnChange = TNotifyEvent([this](TObject* s) { GraphicChanged(s); });
        b = static_cast<TBitmap*>(FGraphic.get());
        Changed();
    }
    return b;
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (FGraphic && dynamic_cast<TGraphic*>(Dest)) {
        Dest->Assign(FGraphic.get());
        return;
    }
    inherited::AssignTo(Dest);
}

void TPicture::LoadFromBytes(std::span<const uint8_t> Bytes) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromBytes(Bytes);
    b->OnChange = TNotifyEvent([this](TObject* s) { GraphicChanged(s); });
    FGraphic = std::move(b);
    Changed();
}

std::vector<uint8_t> TPicture::SaveToBytes() const { return FGraphic ? FGraphic->SaveToBytes() : std::vector<uint8_t>{}; }

void TPicture::ReadData(std::span<const uint8_t> Bytes) {
    if (Bytes.empty()) throw EReadError("Picture data is empty");
    size_t n = Bytes[0];
    if (1 + n > Bytes.size()) throw EReadError("Picture data is truncated");
    AnsiString name(reinterpret_cast<const char*>(Bytes.data() + 1), n);
    std::span<const uint8_t> rest = Bytes.subspan(1 + n);
    if (name.empty()) {
        SetGraphic(nullptr);
        return;
    }
    if (name != "TBitmap") throw EReadError("Unknown picture format " + name);
    if (rest.size() < 4) throw EReadError("Picture data is truncated");
    uint32_t size = uint32_t(rest[0]) | (uint32_t(rest[1]) << 8) | (uint32_t(rest[2]) << 16) | (uint32_t(rest[3]) << 24);
    if (size > rest.size() - 4) throw EReadError("Picture data is truncated");
    auto b = std::make_unique<TBitmap>();
    if (size > 0) {
        try {
            b->LoadFromBytes(rest.subspan(4, size));
        } catch (const EInvalidGraphic& e) {
            throw EReadError(e.Message());
        }
    }
    b->OnChange = TNotifyEvent([this](TObject* s) { GraphicChanged(s); });
    FGraphic = std::move(b);
    Changed();
}

std::vector<uint8_t> TPicture::WriteData() const {
    std::vector<uint8_t> out;
    if (!FGraphic) {
        out.push_back(0);
        return out;
    }
    AnsiString name = FGraphic->ClassName();
    out.push_back(uint8_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    std::vector<uint8_t> bytes = FGraphic->SaveToBytes();
    for (int k = 0; k < 4; ++k) out.push_back(uint8_t(bytes.size() >> (8 * k)));
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

void TPicture::GraphicChanged(TObject*) { Changed(); }

void TPicture::Changed() {
    if (Assigned(OnChange)) OnChange(this);
}
