#include "platform/gfx/Bitmap.h"

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/gfx/Bmp.h"
#include "platform/gfx/Metafile.h"
#include "platform/rtl/Streams.h"
#include "platform/sys/FileStream.h"

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

void TGraphic::LoadFromFile(std::string_view FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TGraphic::SaveToFile(std::string_view FileName) const {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

void TGraphic::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}

// --- TBitmap ---
namespace {
TSurfaceFormat FormatOf(TPixelFormat F) {
    return F == pf24bit ? TSurfaceFormat::Bgr24 : TSurfaceFormat::Xrgb32;
}

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

// What GetDeviceCaps reports for a bitmap of the format: a device bitmap
// has the screen's depth, a 15-bit one counts as 16.
int DeviceDepthOf(TPixelFormat F) {
    switch (F) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return ScreenBitsPerPixel;
    }
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
    FCanvas->SetBitsPerPixel(DeviceDepthOf(Value));
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

void TBitmap::TakeImage(TBmpImage& Image) {
    FPixelFormat = FormatOfDepth(Image.BitCount);
    FColorTable = std::move(Image.ColorTable);
    TSurfaceFormat f = FormatOf(FPixelFormat);
    FSurface = f == TSurfaceFormat::Xrgb32 ? std::move(Image.Pixels) : Converted(Image.Pixels, f);
    // A two-colour black-and-white file is a monochrome bitmap.
    if (FPixelFormat == pf1bit) FSurface.SetMonochrome(true);
    FCanvas->SetSurface(&FSurface);
    FCanvas->SetBitsPerPixel(DeviceDepthOf(FPixelFormat));
    Changed();
}

void TBitmap::LoadFromStream(TStream& Stream) {
    if (Stream.Position() >= Stream.Size()) {
        Assign(nullptr);
        return;
    }
    TBmpImage img = ReadBmp(Stream);  // raises before anything changes
    TakeImage(img);
}

void TBitmap::SaveToStream(TStream& Stream) const {
    if (!Empty()) WriteBmp(Stream, FSurface, DepthOf(FPixelFormat), FColorTable);
}

void TBitmap::LoadFromResourceName(std::string_view Name) {
    TResourceStream resource(rkBitmap, Name);
    LoadFromStream(resource);
}

void TBitmap::ReadData(TStream& Stream) {
    int32_t size = Stream.ReadInt32();
    if (size < 0 || size > Stream.Size() - Stream.Position()) throw EReadError("Bitmap data is truncated");
    if (size == 0) {
        Assign(nullptr);
        return;
    }
    TBmpImage img;
    try {
        img = ReadBmp(Stream, size);
    } catch (const EInvalidGraphic& e) {
        throw EReadError(e.Message());
    }
    TakeImage(img);
}

void TBitmap::WriteData(TStream& Stream) const {
    TMemoryStream file;
    SaveToStream(file);
    Stream.WriteInt32(static_cast<int32_t>(file.Size()));
    file.SaveToStream(Stream);
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
        FCanvas->SetBitsPerPixel(DeviceDepthOf(FPixelFormat));
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
    std::unique_ptr<TGraphic> copy;
    if (Value) {
        copy.reset(static_cast<TGraphic*>(Value->ClassInfo()->Create(nullptr)));
        copy->Assign(Value);
    }
    Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
    auto* b = dynamic_cast<TBitmap*>(FGraphic.get());
    if (!b) {
        auto made = std::make_unique<TBitmap>();
        b = made.get();
        Adopt(std::move(made));
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

void TPicture::Adopt(std::unique_ptr<TGraphic> Graphic) {
    if (Graphic) Graphic->OnChange = TNotifyEvent([this](TObject* s) { GraphicChanged(s); });
    FGraphic = std::move(Graphic);
    Changed();
}

void TPicture::LoadFromStream(TStream& Stream) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromStream(Stream);
    Adopt(std::move(b));
}

void TPicture::SaveToStream(TStream& Stream) const {
    if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::LoadFromFile(std::string_view FileName) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(FileName);
    Adopt(std::move(b));
}

void TPicture::SaveToFile(std::string_view FileName) const {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); },
        FGraphic != nullptr);
}

void TPicture::ReadData(TStream& Stream) {
    uint8_t length = 0;
    if (Stream.Read(&length, 1) != 1) throw EReadError("Picture data is empty");
    AnsiString name = Stream.ReadString(length);
    if (name.size() != length) throw EReadError("Picture data is truncated");
    if (name.empty()) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> graphic;
    if (name == TBitmap::StaticClassInfo().Name) graphic = std::make_unique<TBitmap>();
    else if (name == TMetafile::StaticClassInfo().Name) graphic = std::make_unique<TMetafile>();
    else throw EReadError("Unknown picture format " + name);
    graphic->ReadData(Stream);
    Adopt(std::move(graphic));
}

void TPicture::WriteData(TStream& Stream) const {
    AnsiString name = FGraphic ? FGraphic->ClassName() : AnsiString();
    uint8_t length = static_cast<uint8_t>(name.size());
    Stream.WriteBuffer(&length, 1);
    Stream.WriteString(name);
    if (FGraphic) FGraphic->WriteData(Stream);
}

void TPicture::GraphicChanged(TObject*) { Changed(); }

void TPicture::Changed() {
    if (Assigned(OnChange)) OnChange(this);
}
