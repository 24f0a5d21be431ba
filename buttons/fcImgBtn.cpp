#include "buttons/fcImgBtn.h"

#include "buttons/fcHelpers.h"
#include "buttons/fcImager.h"

ZELMOR_IMPLEMENT_ENUM(TfcDitherStyle, "dsDither", "dsBlendDither", "dsFill")
ZELMOR_IMPLEMENT_CLASS(TfcImgDownOffsets, TfcOffsets)
ZELMOR_IMPLEMENT_CLASS(TfcCustomImageBtn, TfcCustomBitBtn)
ZELMOR_IMPLEMENT_COMPONENT(TfcImageBtn, TfcCustomImageBtn)

// --- offsets ---

void TfcImgDownOffsets::DescribeProperties(TPropertyTable& T) {
    using O = TfcImgDownOffsets;
    T.Property("ImageDownX", &O::ImageDownX, &O::SetImageDownX).Default(2);
    T.Property("ImageDownY", &O::ImageDownY, &O::SetImageDownY).Default(2);
}

void TfcImgDownOffsets::AssignTo(TPersistent* Dest) {
    if (auto* D = dynamic_cast<TfcImgDownOffsets*>(Dest)) {
        D->FImageDownX = FImageDownX;
        D->FImageDownY = FImageDownY;
    }
    TfcOffsets::AssignTo(Dest);
}

// --- the button ---

TfcCustomImageBtn::TfcCustomImageBtn(TComponent* AOwner)
    : TfcCustomBitBtn(AOwner), FImage(std::make_unique<TfcBitmap>()),
      FImageDown(std::make_unique<TfcBitmap>()), FImageLink(std::make_unique<TfcChangeLink>()) {
    RecreateOffsets();
    UseHalftonePalette = true;
    FImage->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FImageDown->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FImageLink->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    SetColor(clNone);
}

TfcCustomImageBtn::~TfcCustomImageBtn() {
    FImage->OnChange = nullptr;
    FImageDown->OnChange = nullptr;
    // The sources keep plain pointers to the link: take it back from them.
    Unlink(FExtImage);
    Unlink(FExtImageDown);
    FExtImage = FExtImageDown = nullptr;
}

void TfcImageBtn::DescribeProperties(TPropertyTable& T) {
    using B = TfcCustomImageBtn;
    PublishBitBtn(T);
    T.Property("DitherColor", &B::DitherColor, &B::SetDitherColor).OfType(ColorTypeInfo());
    T.Property("DitherStyle", &B::DitherStyle, &B::SetDitherStyle);
    T.Property("ExtImage", &B::ExtImage, &B::SetExtImage);
    T.Property("ExtImageDown", &B::ExtImageDown, &B::SetExtImageDown);
    T.Property("Image", &B::Image, &B::SetImage);
    T.Property("ImageDown", &B::ImageDown, &B::SetImageDown);
    T.Property("Offsets", &B::ImageOffsets, &B::SetImageOffsets);
    T.Property("ParentClipping", &B::ParentClipping, &B::SetParentClipping);
    T.Property("RespectPalette", &B::RespectPalette, &B::SetRespectPalette).Default(false);
    T.Property("TransparentColor", &B::TransparentColor, &B::SetTransparentColor).OfType(ColorTypeInfo());
}

TfcOffsets* TfcCustomImageBtn::CreateOffsets() { return new TfcImgDownOffsets(this); }

TfcImgDownOffsets* TfcCustomImageBtn::ImageOffsets() const {
    return static_cast<TfcImgDownOffsets*>(Offsets());
}

// --- pictures and their sources ---

void TfcCustomImageBtn::SetImage(TfcBitmap* Value) {
    if (Value && !Value->Empty() && FExtImage) LinkExternalImage(nullptr, false);
    FImage->Assign(Value);
    if (!(Down() && !FImageDown->Empty())) RecreateWnd();
}

void TfcCustomImageBtn::SetImageDown(TfcBitmap* Value) {
    if (Value && !Value->Empty() && FExtImageDown) LinkExternalImage(nullptr, true);
    FImageDown->Assign(Value);
    if (Down()) RecreateWnd();
}

void TfcCustomImageBtn::SetExtImage(TComponent* Value) {
    if (Value) FImage->Assign(nullptr);
    LinkExternalImage(Value, false);
}

void TfcCustomImageBtn::SetExtImageDown(TComponent* Value) {
    if (Value) FImageDown->Assign(nullptr);
    LinkExternalImage(Value, true);
}

void TfcCustomImageBtn::Unlink(TComponent* Source) {
    if (!Source) return;
    // One link serves both references; it stays while the other one needs it.
    if (FExtImage == Source && FExtImageDown == Source) return;
    if (auto* Imager = dynamic_cast<TfcCustomImager*>(Source)) Imager->RemoveChangeLink(FImageLink.get());
    else if (auto* Button = dynamic_cast<TfcCustomImageBtn*>(Source))
        Button->Image()->RemoveChangeLink(FImageLink.get());
    Source->RemoveFreeNotification(this);
}

void TfcCustomImageBtn::LinkExternalImage(TComponent* Source, bool ADown) {
    TComponent*& Ref = ADown ? FExtImageDown : FExtImage;
    Unlink(Ref);
    Ref = Source;
    if (Source) {
        if (auto* Imager = dynamic_cast<TfcCustomImager*>(Source)) Imager->AddChangeLink(FImageLink.get());
        else if (auto* Button = dynamic_cast<TfcCustomImageBtn*>(Source))
            Button->Image()->AddChangeLink(FImageLink.get());
        Source->FreeNotification(this);
    }
    RecreateWnd();
}

void TfcCustomImageBtn::Notification(TComponent* AComponent, TOperation Operation) {
    TfcCustomBitBtn::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FExtImage) FExtImage = nullptr;
    if (AComponent == FExtImageDown) FExtImageDown = nullptr;
}

TfcBitmap* TfcCustomImageBtn::GetImage(bool ADown) {
    TComponent* Ext = ADown ? FExtImageDown : FExtImage;
    if (Ext && !Ext->ComponentState().Contains(csDestroying)) {
        if (auto* Imager = dynamic_cast<TfcCustomImager*>(Ext)) {
            if (Imager->WorkBitmap()->Empty() && !Imager->PictureEmpty()) Imager->ApplyOptions();
            return Imager->WorkBitmap();
        }
        if (auto* Button = dynamic_cast<TfcCustomImageBtn*>(Ext))
            return ADown ? Button->ImageDown() : Button->Image();
    }
    return ADown ? FImageDown.get() : FImage.get();
}

TfcBitmap* TfcCustomImageBtn::DownPicture() {
    TfcBitmap* D = GetImage(true);
    return D && !D->Empty() ? D : nullptr;
}

TColor TfcCustomImageBtn::EffectiveTransparentColor(bool ADown) {
    if (FTransparentColor == clNoTransparency) return clNoTransparency;
    if (FTransparentColor != clNone) return TColor(ColorToRGB(FTransparentColor));
    TfcBitmap* P = ADown && DownPicture() ? DownPicture() : GetImage(false);
    if (!P || P->Empty()) return clNone;
    return fcPixelToColor(P->Pixel(0, 0));
}

void TfcCustomImageBtn::ImageChanged(TObject* Sender) {
    auto* Bitmap = dynamic_cast<TfcBitmap*>(Sender);
    if (!Bitmap) throw EInvalidCast("Invalid class typecast");
    if (Bitmap == GetImage(false)) FreeRegionData(RegionDataOf(false));
    if (Bitmap == GetImage(true)) FreeRegionData(RegionDataOf(true));
    bool Suppressed = Bitmap->ChangesSuppressed;
    Bitmap->ChangesSuppressed = true;
    try {
        ApplyRegion();
    } catch (...) {
        Bitmap->ChangesSuppressed = Suppressed;
        throw;
    }
    Bitmap->ChangesSuppressed = Suppressed;
    fcInvalidateBounds(this, true);
    Invalidate();
}

void TfcCustomImageBtn::SetTransparentColor(TColor Value) {
    if (FTransparentColor == Value) return;
    FTransparentColor = Value;
    RecreateWnd();
    fcInvalidateBounds(this, true);
}

void TfcCustomImageBtn::SetDitherColor(TColor Value) {
    if (FDitherColor == Value) return;
    FDitherColor = Value;
    Invalidate();
}

void TfcCustomImageBtn::SetDitherStyle(TfcDitherStyle Value) {
    if (FDitherStyle == Value) return;
    FDitherStyle = Value;
    Invalidate();
}

bool TfcCustomImageBtn::ParentClipping() const {
    if (!Parent() || !Parent()->HandleAllocated()) return false;
    return (GetWindowLong(Parent()->Handle(), GWL_STYLE) & WS_CLIPCHILDREN) != 0;
}

void TfcCustomImageBtn::SetParentClipping(bool Value) {
    if (!Parent()) return;
    HWND P = Parent()->Handle();
    LONG_PTR Style = GetWindowLong(P, GWL_STYLE);
    SetWindowLong(P, GWL_STYLE, Value ? Style | WS_CLIPCHILDREN : Style & ~LONG_PTR(WS_CLIPCHILDREN));
}

void TfcCustomImageBtn::SetRespectPalette(bool Value) {
    if (FImage->RespectPalette() == Value) return;
    FImage->SetRespectPalette(Value);
    FImageDown->SetRespectPalette(Value);
    Invalidate();
}

bool TfcCustomImageBtn::HasDistinctDownRegion() const {
    auto* Self = const_cast<TfcCustomImageBtn*>(this);
    TfcBitmap* Up = Self->GetImage(false);
    bool Both = Up && !Up->Empty() && Self->DownPicture();
    return (Both || ShadeStyle() == fbsRaised) && FTransparentColor != clNoTransparency;
}

// --- painting ---

void TfcCustomImageBtn::RenderImage(TfcBitmap* Source, TfcBitmap& Target, TfcShadeStyle Shade,
                                    bool MaskOnly) {
    if (Width() <= 0 || Height() <= 0 || !Source) return;
    int W = Shade == fbsRaised ? Width() - 2 : Width(), H = Shade == fbsRaised ? Height() - 2 : Height();
    Target.SetSize(W, H);
    if (Target.Empty()) return;
    bool Dither = GroupIndex() > 0 && Down() && FDitherColor != clNone && !DownPicture();
    std::optional<TRegion> Clip;
    if (!MaskOnly && (Color() != clNone || Dither)) Clip = CreateRegion(true, Down());
    Target.Canvas()->StretchDraw(TRect(0, 0, W, H), Source);
    if (!MaskOnly && Color() != clNone) {
        TColor Key = EffectiveTransparentColor(Down());
        // No transparency at all: every pixel takes the tint.
        Target.SetTransparentColor(Key == clNoTransparency ? clNone : Key);
        TfcPixel Tint = fcColorToPixel(Color());
        Target.Colorize(Tint.Red, Tint.Green, Tint.Blue);
    }
    if (Dither && !MaskOnly) {
        TCanvas* C = Target.Canvas();
        if (Clip) {
            TRegion Area = *Clip;
            if (Shade == fbsRaised) Area.Offset(-2, -2);
            C->SelectClipRgn(&Area);
        }
        TRect All(0, 0, Width(), Height());
        switch (FDitherStyle) {
        case dsFill: {
            TBrush Fill;
            Fill.SetColor(FDitherColor);
            C->FillRect(All, Fill);
            break;
        }
        case dsDither: fcDitherFill(C, All, clSilver, FDitherColor); break;
        case dsBlendDither: fcDitherFill(C, All, clNone, FDitherColor); break;
        }
        C->SelectClipRgn(nullptr);
    }
}

void TfcCustomImageBtn::PaintFace(TfcBitmap& Bitmap, bool MaskOnly, TfcShadeStyle Shade, bool ADown) {
    Bitmap.SetSize(Width(), Height());
    TfcBitmap* Up = GetImage(false);
    if (RespectPalette() && Up) {
        Bitmap.SetColorTable(Up->ColorTable());
        Bitmap.SetColorTableValid(Up->ColorTableValid());
        Bitmap.SetDeeperThanDisplay(Up->DeeperThanDisplay());
        Bitmap.SetRespectPalette(true);
    }
    if (Bitmap.Empty()) return;
    TCanvas* C = Bitmap.Canvas();
    if (!Up || Up->Empty()) {
        C->Brush()->SetColor(clBtnFace);
        C->Pen()->SetColor(clBlack);
        C->Pen()->SetStyle(psDashDot);
        C->Rectangle(0, 0, Width(), Height());
        C->Pen()->SetStyle(psSolid);
        return;
    }
    TfcBitmap Face;
    Face.SetRespectPalette(RespectPalette());
    TfcBitmap* DownPic = ADown ? DownPicture() : nullptr;
    RenderImage(DownPic ? DownPic : Up, Face, Shade, MaskOnly);
    TPoint Offset(0, 0);
    if (ADown && !DownPic) Offset = TPoint(ImageOffsets()->ImageDownX(), ImageOffsets()->ImageDownY());
    TRect At(Offset.x, Offset.y, Offset.x + Face.Width(), Offset.y + Face.Height());
    if (Shade == fbsHighlight || (Shade == fbsFlat && MouseInControl(-1, -1, false))) {
        C->Draw(At.Left, At.Top, &Face);
        fcBevelImage(Face, Bitmap, EffectiveTransparentColor(ADown), ADown);
        return;
    }
    TBrush Shadow;
    Shadow.SetColor(ShadeColors()->Shadow());
    C->FillRect(TRect(0, 0, Width(), Height()), Shadow);
    if (FTransparentColor != clNoTransparency) {
        TColor Key = EffectiveTransparentColor(ADown);
        if (ADown && FDitherStyle == dsBlendDither) {
            Face.SetTransparentColor(Key);
            Face.SetTransparent(true);
        } else {
            Face.ReplaceColor(fcColorToPixel(Key), fcColorToPixel(ShadeColors()->Shadow()));
        }
    }
    C->Draw(At.Left, At.Top, &Face);
}

void TfcCustomImageBtn::fcBevelImage(TfcBitmap& Source, TfcBitmap& Target, TColor Transparent, bool ADown) {
    const int W = Source.Width(), H = Source.Height();
    if (Source.Empty() || W != Target.Width() || H != Target.Height()) return;
    TfcShadeColors* S = ShadeColors();
    TfcPixel Light1 = fcColorToPixel(S->BtnHighlight()), Light2 = fcColorToPixel(S->Btn3DLight());
    TfcPixel Dark2 = fcColorToPixel(S->BtnShadow()), Dark1 = fcColorToPixel(S->BtnBlack());
    TfcBitmap Copy;
    Copy.Assign(&Source);
    bool Keyed = Transparent != clNoTransparency;
    TfcPixel Key = Transparent == -1 ? Copy.Pixel(0, 0) : fcColorToPixel(Transparent);
    auto Inside = [&](int X, int Y) { return X >= 0 && Y >= 0 && X < W && Y < H; };
    auto Opaque = [&](int X, int Y) { return !Keyed || !(Copy.Pixel(X, Y) == Key); };
    auto Put = [&](int X, int Y, TfcPixel P) {
        if (Inside(X, Y)) Target.SetPixel(X, Y, P);
    };
    // The focus (or being the default) pulls both ends of a run one step in
    // for a black outline; a focusable button with the focus pulls the start
    // one step further, and the two moves add up.
    int Focus = Focused() || Default() ? 1 : 0;
    int Inner = Options().Contains(boFocusable) && Focused() ? 1 : 0;
    auto Run = [&](int SX, int SY, int EX, int EY) {
        int s = Focus + Inner, e = Focus;
        TPoint Start(SX + s, SY + s), End(EX - e, EY - e);
        if (!ADown) {
            Put(End.x - 1, End.y - 1, Dark2);
            Put(Start.x + 1, Start.y + 1, Light2);
            Put(End.x, End.y, Dark1);
            Put(Start.x, Start.y, Light1);
        } else {
            Put(End.x - 1, End.y - 1, Light2);
            Put(Start.x + 1, Start.y + 1, Dark2);
            Put(End.x, End.y, Light1);
            Put(Start.x, Start.y, Dark1);
            if (Inner) Put(Start.x - 1, Start.y - 1, TfcPixel{});
        }
        if (Focus) {
            Put(SX, SY, Dark1);
            Put(EX, EY, Dark1);
        }
    };
    // Down-right diagonals: from the top row's right end to its left, then down the left column.
    for (int d = -(W - 1); d < H; ++d) {
        int X = d < 0 ? -d : 0, Y = d < 0 ? 0 : d;
        while (Inside(X, Y)) {
            while (Inside(X, Y) && !Opaque(X, Y)) ++X, ++Y;
            if (!Inside(X, Y)) break;
            int SX = X, SY = Y;
            while (Inside(X + 1, Y + 1) && Opaque(X + 1, Y + 1)) ++X, ++Y;
            Run(SX, SY, X, Y);
            ++X, ++Y;
        }
    }
}

// --- regions ---

std::optional<TRegion> TfcCustomImageBtn::CreateRegion(bool FromPicture, bool ADown) {
    if (FTransparentColor == clNoTransparency) return std::nullopt;
    // Stored data answers, even when no region comes of it: the window then
    // stays rectangular rather than taking the picture's outline.
    if (RegionDataOf(ADown).Buffer || !FromPicture) return TfcCustomBitBtn::CreateRegion(FromPicture, ADown);
    TfcBitmap* Up = GetImage(false);
    if (!Up || Up->Empty()) return std::nullopt;
    TfcBitmap Mask;
    Mask.SetRespectPalette(RespectPalette());
    TfcBitmap* DownPic = ADown ? DownPicture() : nullptr;
    RenderImage(DownPic ? DownPic : Up, Mask, ShadeStyle(), true);
    std::optional<TRegion> R = fcRegionFromBitmap(Mask, EffectiveTransparentColor(ADown));
    if (R && ShadeStyle() == fbsRaised) {
        // The raised look: the picture and its shadow, or only the pressed-in picture.
        TRegion Moved = *R;
        Moved.Offset(2, 2);
        R = ADown ? Moved : TRegion::Combine(*R, Moved, RGN_OR);
    }
    SaveRegionData(R, ADown);
    return R;
}

void TfcCustomImageBtn::SizeToContents() {
    TfcBitmap* Up = GetImage(false);
    if (!Up || Up->Empty()) return;
    SetBounds(Left(), Top(), Up->Width(), Up->Height());
    fcInvalidateBounds(this, true);
}

TColor TfcCustomImageBtn::GetFacePixel(TPoint P) {
    TfcBitmap Face;
    PaintFace(Face, false, ShadeStyle(), Down());
    if (Face.Empty() || P.x < 0 || P.y < 0 || P.x >= Face.Width() || P.y >= Face.Height()) return clNone;
    return fcPixelToColor(Face.Pixel(P.x, P.y));
}

void TfcCustomImageBtn::BakeFaceImages() {
    TfcBitmap* Up = GetImage(false);
    if (!Up || Up->Empty()) return;
    TfcBitmap UpFace, DownFace;
    PaintFace(UpFace, false, fbsHighlight, false);
    PaintFace(DownFace, false, fbsHighlight, true);
    if (std::optional<TRegion> R = CreateRegion(true, Down())) fcFillOutsideRegion(DownFace, *R);
    Up->Assign(&UpFace);
    FImageDown->Assign(&DownFace);
    RecreateWnd();
}

// --- the window ---

void TfcCustomImageBtn::CreateWnd() {
    if (FImage->HasSavedPixels()) FImage->Restore();
    TfcCustomBitBtn::CreateWnd();
    ApplyRegion();
}

void TfcCustomImageBtn::DestroyWnd() {
    TfcCustomBitBtn::DestroyWnd();
    // Without a window only the pixels are kept, until the window comes back.
    if (!FImage->Empty()) FImage->SaveAndRelease();
}

void TfcCustomImageBtn::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcCustomImageBtn*>(Dest);
    if (!D) {
        TfcCustomBitBtn::AssignTo(Dest);
        return;
    }
    D->SetDitherColor(FDitherColor);
    D->SetDitherStyle(FDitherStyle);
    D->SetExtImage(this);
    D->SetExtImageDown(this);
    D->Offsets()->Assign(Offsets());
    D->SetRespectPalette(RespectPalette());
    D->SetTransparentColor(FTransparentColor);
    TfcCustomBitBtn::AssignTo(Dest);
}
