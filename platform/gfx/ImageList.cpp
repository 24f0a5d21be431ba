#include "platform/gfx/ImageList.h"

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_COMPONENT(TCustomImageList, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TImageList, TCustomImageList)
ZELMOR_IMPLEMENT_ENUM(TDrawingStyle, "dsFocus", "dsSelected", "dsNormal", "dsTransparent")
ZELMOR_IMPLEMENT_ENUM(TImageType, "itImage", "itMask")

void RegisterGfxClasses() { RegisterClasses({&TImageList::StaticClassInfo()}); }

TCustomImageList::TCustomImageList(TComponent* AOwner) : TCustomImageList(AOwner, 16, 16) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int Width, int Height)
    : TComponent(AOwner), FWidth(std::max(Width, 1)), FHeight(std::max(Height, 1)) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Changed() {
    if (Assigned(OnChange)) OnChange(this);
}

void TCustomImageList::SetSize(int Width, int Height) {
    Width = std::max(Width, 1);
    Height = std::max(Height, 1);
    if (Width == FWidth && Height == FHeight) return;
    FWidth = Width;
    FHeight = Height;
    FImages.clear();
    Changed();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (FBkColor == Value) return;
    FBkColor = Value;
    Changed();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (FBlendColor == Value) return;
    FBlendColor = Value;
    Changed();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (FDrawingStyle == Value) return;
    FDrawingStyle = Value;
    Changed();
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (FImageType == Value) return;
    FImageType = Value;
    Changed();
}

TCustomImageList::TImage TCustomImageList::MakeImage(const TBitmap* Image, int Left, const TBitmap* Mask,
                                                     TColor MaskColor, bool FromColor) const {
    TImage img;
    img.Image = std::make_unique<TBitmap>();
    img.Image->SetPixelFormat(pf32bit);
    img.Image->SetSize(FWidth, FHeight);
    img.Mask = std::make_unique<TBitmap>();
    img.Mask->SetPixelFormat(pf1bit);
    img.Mask->SetSize(FWidth, FHeight);
    img.Mask->Surface().Fill(0);
    int w = std::min(FWidth, Image->Width() - Left), h = std::min(FHeight, Image->Height());
    uint32_t key = ColorRefToPixel(ColorToRGB(MaskColor));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = Image->Surface().GetPixel(Left + x, y);
            img.Image->Surface().SetPixel(x, y, p);
            bool transparent = false;
            if (FromColor) transparent = MaskColor != clNone && p == key;
            else if (Mask) transparent = Mask->Surface().GetPixel(Left + x, y) == 0xFFFFFF;
            if (transparent) {
                img.Mask->Surface().SetPixel(x, y, 0xFFFFFF);
                // Transparent pixels of a masked image are black, so that the
                // image can be combined with the mask by OR.
                img.Image->Surface().SetPixel(x, y, 0);
            }
        }
    return img;
}

int TCustomImageList::Add(const TBitmap* Image, const TBitmap* Mask) {
    if (!Image || Image->Empty()) return -1;
    int first = Count();
    int cells = std::max(1, Image->Width() / FWidth);
    for (int i = 0; i < cells; ++i) FImages.push_back(MakeImage(Image, i * FWidth, Mask, clNone, false));
    Changed();
    return first;
}

int TCustomImageList::AddMasked(const TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty()) return -1;
    int first = Count();
    int cells = std::max(1, Image->Width() / FWidth);
    for (int i = 0; i < cells; ++i) FImages.push_back(MakeImage(Image, i * FWidth, nullptr, MaskColor, true));
    Changed();
    return first;
}

void TCustomImageList::Replace(int Index, const TBitmap* Image, const TBitmap* Mask) {
    if (Index < 0 || Index >= Count() || !Image) throw EInvalidOperation("Invalid image list index");
    FImages[size_t(Index)] = MakeImage(Image, 0, Mask, clNone, false);
    Changed();
}

void TCustomImageList::ReplaceMasked(int Index, const TBitmap* Image, TColor MaskColor) {
    if (Index < 0 || Index >= Count() || !Image) throw EInvalidOperation("Invalid image list index");
    FImages[size_t(Index)] = MakeImage(Image, 0, nullptr, MaskColor, true);
    Changed();
}

void TCustomImageList::Delete(int Index) {
    if (Index == -1) FImages.clear();
    else if (Index >= 0 && Index < Count()) FImages.erase(FImages.begin() + Index);
    else throw EInvalidOperation("Invalid image list index");
    Changed();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count())
        throw EInvalidOperation("Invalid image list index");
    TImage img = std::move(FImages[size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(img));
    Changed();
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* l = dynamic_cast<TCustomImageList*>(Source)) {
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FMasked = l->FMasked;
        FBkColor = l->FBkColor;
        FBlendColor = l->FBlendColor;
        FDrawingStyle = l->FDrawingStyle;
        FImageType = l->FImageType;
        FImages.clear();
        for (const TImage& i : l->FImages) {
            TImage c;
            c.Image = std::make_unique<TBitmap>();
            c.Image->Assign(i.Image.get());
            c.Mask = std::make_unique<TBitmap>();
            c.Mask->Assign(i.Mask.get());
            FImages.push_back(std::move(c));
        }
        Changed();
        return;
    }
    inherited::Assign(Source);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) const {
    if (Index < 0 || Index >= Count() || !Image) return false;
    Image->Assign(FImages[size_t(Index)].Image.get());
    return true;
}

bool TCustomImageList::GetMask(int Index, TBitmap* Mask) const {
    if (Index < 0 || Index >= Count() || !Mask) return false;
    Mask->Assign(FImages[size_t(Index)].Mask.get());
    return true;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const {
    if (Index < 0 || Index >= Count() || !Canvas) return;
    if (!Enabled) {
        DrawDisabledMask(Canvas, X, Y, *FImages[size_t(Index)].Mask);
        return;
    }
    static constexpr uint32_t Styles[4] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    uint32_t style = Styles[FDrawingStyle] | (FImageType == itMask ? ILD_MASK : 0u);
    auto value = [](TColor c) -> uint32_t {
        if (c == clNone) return CLR_NONE;
        if (c == clDefault) return CLR_DEFAULT;
        return ColorToRGB(c);
    };
    DrawEx(Canvas, X, Y, Index, style, value(FBkColor), value(FBlendColor));
}

void TCustomImageList::DrawDisabledMask(TCanvas* Canvas, int X, int Y, const TBitmap& Mask) {
    // The opaque part (mask 0) stamped twice: highlight one pixel down and
    // right, shadow in place. DSPDxax puts the brush where the source is 0.
    TColorRef oldText = Canvas->GetTextColor(), oldBk = Canvas->GetBkColor();
    int oldMode = Canvas->GetBkMode();
    TBrush keep;
    keep.Assign(Canvas->Brush());
    TBitmap inverse;
    inverse.Assign(const_cast<TBitmap*>(&Mask));
    Canvas->Brush()->SetBitmap(nullptr);
    auto stamp = [&](int At, TColor Color) {
        Canvas->Brush()->SetColor(Color);
        // After the brush: choosing a brush selects its colour as the background.
        Canvas->SetTextColor(clWhite);
        Canvas->SetBkColor(clBlack);
        Canvas->BitBlt(X + At, Y + At, Mask.Width(), Mask.Height(), inverse.Canvas(), 0, 0, ROP_DSPDxax);
    };
    stamp(1, clBtnHighlight);
    stamp(0, clBtnShadow);
    Canvas->Brush()->Assign(&keep);
    Canvas->SetTextColor(TColor(oldText));
    Canvas->SetBkColor(TColor(oldBk));
    Canvas->SetBkMode(oldMode);
}

void TCustomImageList::DrawEx(TCanvas* Canvas, int X, int Y, int Index, uint32_t Style, uint32_t BkColor,
                              uint32_t BlendColor) const {
    if (Index < 0 || Index >= Count() || !Canvas) return;
    const TImage& img = FImages[size_t(Index)];
    TColorRef oldText = Canvas->SetTextColor(clBlack), oldBk = Canvas->SetBkColor(clWhite);
    if (Style & ILD_MASK) {
        Canvas->BitBlt(X, Y, FWidth, FHeight, img.Mask->Canvas(), 0, 0, SRCCOPY);
    } else {
        bool transparent = FMasked && ((Style & ILD_TRANSPARENT) || BkColor == CLR_NONE ||
                                       (Style & (ILD_BLEND25 | ILD_BLEND50)));
        TBitmap work;
        work.Assign(img.Image.get());
        if (Style & (ILD_BLEND25 | ILD_BLEND50)) {
            // Blending mixes every second (or every fourth) pixel with the blend colour.
            TColorRef blend = BlendColor == CLR_DEFAULT || BlendColor == CLR_NONE
                                  ? GetSysColor(COLOR_HIGHLIGHT)
                                  : BlendColor;
            uint32_t bp = ColorRefToPixel(blend);
            TSurface& s = work.Surface();
            for (int y = 0; y < s.Height(); ++y)
                for (int x = 0; x < s.Width(); ++x) {
                    bool mix = (Style & ILD_BLEND50) ? ((x + y) & 1) == 0 : ((x & 1) == 0 && (y & 1) == 0);
                    if (mix && img.Mask->Surface().GetPixel(x, y) == 0) s.SetPixel(x, y, bp);
                }
        }
        if (transparent) {
            Canvas->BitBlt(X, Y, FWidth, FHeight, img.Mask->Canvas(), 0, 0, SRCAND);
            Canvas->BitBlt(X, Y, FWidth, FHeight, work.Canvas(), 0, 0, SRCPAINT);
        } else {
            if (FMasked && BkColor != CLR_NONE && BkColor != CLR_DEFAULT) {
                TBitmap back(FWidth, FHeight);
                back.Surface().Fill(ColorRefToPixel(BkColor));
                Canvas->BitBlt(X, Y, FWidth, FHeight, back.Canvas(), 0, 0, SRCCOPY);
                Canvas->BitBlt(X, Y, FWidth, FHeight, img.Mask->Canvas(), 0, 0, SRCAND);
                Canvas->BitBlt(X, Y, FWidth, FHeight, work.Canvas(), 0, 0, SRCPAINT);
            } else {
                Canvas->BitBlt(X, Y, FWidth, FHeight, work.Canvas(), 0, 0, SRCCOPY);
            }
        }
    }
    Canvas->SetTextColor(TColor(oldText));
    Canvas->SetBkColor(TColor(oldBk));
}

bool ImageList_DrawEx(const TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, int, int,
                      uint32_t BkColor, uint32_t BlendColor, uint32_t Style) {
    if (!List || Index < 0 || Index >= List->Count()) return false;
    List->DrawEx(Canvas, X, Y, Index, Style, BkColor, BlendColor);
    return true;
}

// --- streaming ---
void TCustomImageList::DescribeProperties(TPropertyTable& T) {
    T.Property("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor)
        .OfType(ColorTypeInfo())
        .Default(clNone);
    T.Property("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle)
        .Default(dsNormal);
    T.Property("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    T.Property("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    T.Property("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    T.Property("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    T.Event("OnChange", &TCustomImageList::OnChange);
}

void TCustomImageList::DefineProperties(TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Bitmap", [this](TStream& S) { ReadImages(S); }, [this](TStream& S) { WriteImages(S); }, Count() > 0);
}

namespace {
// One BMP file after its byte count; EReadError when it is cut short or unreadable.
TBmpImage ReadSizedBmp(TStream& Stream) {
    int32_t size = Stream.ReadInt32();
    if (size <= 0 || size > Stream.Size() - Stream.Position())
        throw EReadError("Image list data is truncated");
    try {
        return ReadBmp(Stream, size);
    } catch (const EInvalidGraphic& e) {
        throw EReadError("Image list data: " + e.Message());
    }
}

void WriteSizedBmp(TStream& Stream, const TSurface& Pixels, int BitCount) {
    TMemoryStream file;
    WriteBmp(file, Pixels, BitCount);
    Stream.WriteInt32(static_cast<int32_t>(file.Size()));
    file.SaveToStream(Stream);
}
}  // namespace

void TCustomImageList::ReadImages(TStream& Stream) {
    int32_t count = Stream.ReadInt32();
    if (count < 0) throw EReadError("Image list data is damaged");
    TBitmap images, masks;
    if (count > 0) {
        TBmpImage image = ReadSizedBmp(Stream), mask = ReadSizedBmp(Stream);
        // The strips must hold exactly the cells of this list's size; anything
        // else would cut images apart in the wrong places.
        for (const TSurface* strip : {&image.Pixels, &mask.Pixels})
            if (strip->Width() != int64_t(count) * FWidth || strip->Height() != FHeight)
                throw EReadError("Image list data does not match its image size");
        images.Surface() = std::move(image.Pixels);
        masks.Surface() = std::move(mask.Pixels);
    }
    std::vector<TImage> read;
    for (int i = 0; i < count; ++i) read.push_back(MakeImage(&images, i * FWidth, &masks, clNone, false));
    FImages = std::move(read);
    Changed();
}

void TCustomImageList::WriteImages(TStream& Stream) const {
    int count = Count();
    Stream.WriteInt32(count);
    TSurface images(count * FWidth, FHeight), masks(count * FWidth, FHeight);
    std::vector<uint32_t> row(static_cast<size_t>(FWidth));
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < FHeight; ++y) {
            FImages[size_t(i)].Image->Surface().ReadSpan(0, y, FWidth, row.data());
            images.WriteSpan(i * FWidth, y, FWidth, row.data());
            FImages[size_t(i)].Mask->Surface().ReadSpan(0, y, FWidth, row.data());
            masks.WriteSpan(i * FWidth, y, FWidth, row.data());
        }
    WriteSizedBmp(Stream, images, 24);
    WriteSizedBmp(Stream, masks, 1);
}
