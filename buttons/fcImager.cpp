#include "buttons/fcImager.h"

#include <algorithm>
#include <cstring>

#include "buttons/fcHelpers.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Streams.h"
#include "platform/sys/Clipboard.h"

ZELMOR_IMPLEMENT_CLASS(TfcRotate, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcWave, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcAlphaBlend, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcBitmapOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcCustomImager, TGraphicControl)

namespace {
template <class T>
void Change(T& Field, T Value, TfcBitmapOptions* Owner) {
    if (Field == Value) return;
    Field = Value;
    Owner->Apply();
}
}  // namespace

// --- the effect settings ---

void TfcRotate::DescribeProperties(TPropertyTable& T) {
    T.Property("CenterX", &TfcRotate::CenterX, &TfcRotate::SetCenterX);
    T.Property("CenterY", &TfcRotate::CenterY, &TfcRotate::SetCenterY);
    T.Property("Angle", &TfcRotate::Angle, &TfcRotate::SetAngle);
}

void TfcRotate::SetCenterX(int Value) { Change(FCenterX, Value, FOwner); }
void TfcRotate::SetCenterY(int Value) { Change(FCenterY, Value, FOwner); }
void TfcRotate::SetAngle(int Value) { Change(FAngle, Value, FOwner); }

void TfcWave::DescribeProperties(TPropertyTable& T) {
    T.Property("XDiv", &TfcWave::XDiv, &TfcWave::SetXDiv);
    T.Property("YDiv", &TfcWave::YDiv, &TfcWave::SetYDiv);
    T.Property("Ratio", &TfcWave::Ratio, &TfcWave::SetRatio);
    T.Property("Wrap", &TfcWave::Wrap, &TfcWave::SetWrap);
}

void TfcWave::SetXDiv(int Value) { Change(FXDiv, Value, FOwner); }
void TfcWave::SetYDiv(int Value) { Change(FYDiv, Value, FOwner); }
void TfcWave::SetRatio(int Value) { Change(FRatio, Value, FOwner); }
void TfcWave::SetWrap(bool Value) { Change(FWrap, Value, FOwner); }

TfcAlphaBlend::TfcAlphaBlend(TfcBitmapOptions* Owner)
    : FOwner(Owner), FBitmap(std::make_unique<TfcBitmap>()) {
    FBitmap->OnChange = [this](TObject*) { BitmapChanged(); };
}

TfcAlphaBlend::~TfcAlphaBlend() = default;

void TfcAlphaBlend::DescribeProperties(TPropertyTable& T) {
    T.Property("Amount", &TfcAlphaBlend::Amount, &TfcAlphaBlend::SetAmount);
    T.Property("Bitmap", &TfcAlphaBlend::Bitmap, &TfcAlphaBlend::SetBitmap);
    T.Property("Transparent", &TfcAlphaBlend::Transparent, &TfcAlphaBlend::SetTransparent);
}

void TfcAlphaBlend::SetAmount(int Value) { Change(FAmount, std::clamp(Value, 0, 255), FOwner); }

void TfcAlphaBlend::SetBitmap(TfcBitmap* Value) { FBitmap->Assign(Value); }

void TfcAlphaBlend::BitmapChanged() {
    if (FChanging) return;
    FChanging = true;
    try {
        FOwner->Apply();
    } catch (...) {
        FChanging = false;
        throw;
    }
    FChanging = false;
}

// --- the options ---

TfcBitmapOptions::TfcBitmapOptions(TfcCustomImager* Owner, TfcBitmap* Target, TPicture* Source)
    : FOwner(Owner), FTarget(Target), FSource(Source), FAlphaBlend(std::make_unique<TfcAlphaBlend>(this)),
      FRotation(std::make_unique<TfcRotate>(this)), FWave(std::make_unique<TfcWave>(this)) {}

TfcBitmapOptions::~TfcBitmapOptions() = default;

void TfcBitmapOptions::DescribeProperties(TPropertyTable& T) {
    using O = TfcBitmapOptions;
    T.Property("AlphaBlend", &O::AlphaBlend, &O::SetAlphaBlend);
    T.Property("Color", &O::Color, &O::SetColor).OfType(ColorTypeInfo());
    static const char* Ints[6] = {"Lightness", "Saturation", "Sponge", "GaussianBlur", "Contrast", "Sharpen"};
    for (int i = 0; i < 6; ++i)
        T.PropertyOf<O>(
            Ints[i], [i](O& X) { return X.IntOption(i); }, [i](O& X, int V) { X.SetIntOption(i, V); });
    static const char* Bools[5] = {"Embossed", "Inverted", "GrayScale", "HorizontallyFlipped",
                                   "VerticallyFlipped"};
    for (int i = 0; i < 5; ++i)
        T.PropertyOf<O>(
            Bools[i], [i](O& X) { return X.BoolOption(i); }, [i](O& X, bool V) { X.SetBoolOption(i, V); });
    T.Property("Rotation", &O::Rotation, &O::SetRotation);
    T.Property("TintColor", &O::TintColor, &O::SetTintColor).OfType(ColorTypeInfo());
    T.Property("Wave", &O::Wave, &O::SetWave);
}

void TfcBitmapOptions::SetAlphaBlend(TfcAlphaBlend* Value) {
    FAlphaBlend->SetAmount(Value->Amount());
    FAlphaBlend->SetBitmap(Value->Bitmap());
}

void TfcBitmapOptions::SetRotation(TfcRotate* Value) {
    BeginUpdate();
    FRotation->SetCenterX(Value->CenterX());
    FRotation->SetCenterY(Value->CenterY());
    FRotation->SetAngle(Value->Angle());
    EndUpdate();
}

void TfcBitmapOptions::SetWave(TfcWave* Value) {
    BeginUpdate();
    FWave->SetXDiv(Value->XDiv());
    FWave->SetYDiv(Value->YDiv());
    FWave->SetRatio(Value->Ratio());
    FWave->SetWrap(Value->Wrap());
    EndUpdate();
}

void TfcBitmapOptions::SetColor(TColor Value) { Change(FColor, Value, this); }
void TfcBitmapOptions::SetTintColor(TColor Value) { Change(FTintColor, Value, this); }
void TfcBitmapOptions::SetIntOption(int Index, int Value) { Change(FInts[Index], Value, this); }
void TfcBitmapOptions::SetBoolOption(int Index, bool Value) { Change(FBools[Index], Value, this); }

void TfcBitmapOptions::BeginUpdate() { ++FUpdateLock; }

void TfcBitmapOptions::EndUpdate() {
    if (FUpdateLock == 0) return;
    if (--FUpdateLock == 0) Apply();
}

void TfcBitmapOptions::Apply() {
    if (FUpdateLock > 0 || (FOwner && FOwner->IsLoading()) || FTarget->Empty()) return;
    TGraphic* Graphic = FSource->Graphic();
    if (!Graphic || Graphic->Empty()) return;
    if (Graphic->Width() == FTarget->Width() && Graphic->Height() == FTarget->Height()) {
        FTarget->Assign(Graphic);
    } else {
        TfcBitmap Scratch;
        Scratch.Assign(Graphic);
        Scratch.SetSmoothStretch(FTarget->SmoothStretch());
        TRect Whole(0, 0, FTarget->Width(), FTarget->Height());
        if (FRotation->Angle() != 0) {
            // The square made for a turn holds the picture at its own size in
            // its middle, the rest in the picture's top-left colour, so the
            // turn neither distorts the picture nor cuts its corners.
            TBrush Fill;
            Fill.SetColor(fcPixelToColor(Scratch.Pixel(0, 0)));
            FTarget->Canvas()->FillRect(Whole, Fill);
            int X = (FTarget->Width() - Scratch.Width()) / 2, Y = (FTarget->Height() - Scratch.Height()) / 2;
            FTarget->Canvas()->BitBlt(X, Y, Scratch.Width(), Scratch.Height(), Scratch.Canvas(), 0, 0,
                                      SRCCOPY);
        } else {
            Scratch.SetTransparent(false);
            FTarget->Canvas()->StretchDraw(Whole, &Scratch);
        }
    }
    TfcBitmap& B = *FTarget;
    if (FBools[2]) B.GrayScale();
    if (FInts[0] != 0) B.Lightness(FInts[0]);
    if (FAlphaBlend->Amount() != 0 && !FAlphaBlend->Bitmap()->Empty())
        B.AlphaBlend(*FAlphaBlend->Bitmap(), FAlphaBlend->Amount(), true);
    if (FColor != clNone) {
        TfcPixel P = fcColorToPixel(FColor);
        B.Colorize(P.Red, P.Green, P.Blue);
    }
    if (FTintColor != clNone) {
        TfcPixel P = fcColorToPixel(FTintColor);
        B.AddRGB(P.Red / 2, P.Green / 2, P.Blue / 2);
    }
    if (FInts[2] != 0) B.Sponge(FInts[2]);
    if (FInts[1] != -1) B.Saturation(FInts[1]);
    if (FInts[3] != 0) B.GaussianBlur(FInts[3]);
    if (FBools[0]) B.Emboss();
    if (FBools[1]) B.Invert();
    if (FInts[4] != 0) B.Contrast(FInts[4]);
    if (FInts[5] != 0) B.Sharpen(FInts[5]);
    if (FBools[3]) B.Flip(true);
    if (FBools[4]) B.Flip(false);
    if (FWave->Ratio() != 0 && FWave->XDiv() != 0 && FWave->YDiv() != 0)
        B.Wave(FWave->Wrap(), FWave->Ratio(), FWave->YDiv(), FWave->XDiv());
    if (FRotation->Angle() != 0)
        B.Rotate(TPoint(FRotation->CenterX(), FRotation->CenterY()), FRotation->Angle());
    if (Assigned(OnChange)) OnChange(this);
}

// --- the imager ---

TfcCustomImager::TfcCustomImager(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()),
      FWorkBitmap(std::make_unique<TfcBitmap>()) {
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    FWorkBitmap->SetRespectPalette(true);
    FWorkBitmap->SetUseHalftonePalette(true);
    FBitmapOptions = std::make_unique<TfcBitmapOptions>(this, FWorkBitmap.get(), FPicture.get());
    FBitmapOptions->OnChange = [this](TObject*) { BitmapChanged(); };
    FControlStyle.Include(csOpaque);
    SetBounds(FLeft, FTop, 100, 100);
}

TfcCustomImager::~TfcCustomImager() { FPicture->OnChange = nullptr; }

void TfcCustomImager::SetBitmapOptions(TfcBitmapOptions* Value) {
    if (!Value || Value == FBitmapOptions.get()) return;
    FBitmapOptions->BeginUpdate();
    FBitmapOptions->SetAlphaBlend(Value->AlphaBlend());
    FBitmapOptions->SetColor(Value->Color());
    FBitmapOptions->SetTintColor(Value->TintColor());
    for (int i = 0; i < 6; ++i) FBitmapOptions->SetIntOption(i, Value->IntOption(i));
    for (int i = 0; i < 5; ++i) FBitmapOptions->SetBoolOption(i, Value->BoolOption(i));
    FBitmapOptions->SetRotation(Value->Rotation());
    FBitmapOptions->SetWave(Value->Wave());
    FBitmapOptions->EndUpdate();
}

bool TfcCustomImager::PictureEmpty() const { return !FPicture->Graphic() || FPicture->Graphic()->Empty(); }

void TfcCustomImager::NotifyLinks() { FChangeLinks.Notify(FWorkBitmap.get(), &TfcChangeLink::Changed); }

void TfcCustomImager::SizeWorkBitmap() {
    if (IsLoading()) return;
    if (PictureEmpty()) {
        FWorkBitmap->Clear();
        return;
    }
    int W = FPicture->Width(), H = FPicture->Height();
    // Room for every corner of a turned picture.
    if (FBitmapOptions->Rotation()->Angle() != 0) W = H = std::max(W, H);
    FWorkBitmap->SetSize(W, H);
    ApplyOptions();
    AdjustSize();
}

void TfcCustomImager::ApplyOptions() {
    if (PictureEmpty() || IsLoading()) return;
    if (FWorkBitmap->Empty()) SizeWorkBitmap();
    FBitmapOptions->Apply();
}

void TfcCustomImager::PictureChanged() {
    SizeWorkBitmap();
    fcInvalidateBounds(this, true);
    NotifyLinks();
}

void TfcCustomImager::BitmapChanged() {
    if (Parent()) fcInvalidateBounds(this, FPicture->Graphic() && FPicture->Graphic()->Transparent());
    NotifyLinks();
}

void TfcCustomImager::Invalidate() {
    if (!FInvalidateSuppressed) fcInvalidateBounds(this, true);
}

void TfcCustomImager::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth == Width() && AHeight == Height()) {
        TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    FInvalidateSuppressed = true;
    TWinControl* P = Parent();
    TControlStyle Saved = P ? P->ControlStyle() : TControlStyle{};
    if (P) P->SetControlStyle(Saved + TControlStyle{csOpaque});
    try {
        TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        if (P) P->SetControlStyle(Saved);
        FInvalidateSuppressed = false;
        throw;
    }
    if (P) P->SetControlStyle(Saved);
    if (Visible()) TGraphicControl::Repaint();
    SizeWorkBitmap();
    FInvalidateSuppressed = false;
}

void TfcCustomImager::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
    FBitmapOptions->Apply();
}

void TfcCustomImager::Paint() {
    if (ComponentState().Contains(csDestroying)) return;
    if (FWorkBitmap->Empty()) {
        // The result comes through BitmapChanged, which paints again.
        if (!PictureEmpty()) ApplyOptions();
        return;
    }
    Canvas()->Draw(0, 0, FWorkBitmap.get());
}

void TfcCustomImager::CopyToClipboard() {
    if (FWorkBitmap->Empty()) return;
    TMemoryStream File;
    FWorkBitmap->SaveToStream(File);
    if (!OpenClipboard(0)) return;
    EmptyClipboard();
    HGLOBAL Mem = GlobalAlloc(GHND, size_t(File.Size()));
    if (Mem) {
        std::memcpy(GlobalLock(Mem), File.Memory(), size_t(File.Size()));
        GlobalUnlock(Mem);
        if (!SetClipboardData(CF_BITMAP, Mem)) GlobalFree(Mem);
    }
    CloseClipboard();
}
