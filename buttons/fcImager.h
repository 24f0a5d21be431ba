#pragma once
// The imager: a picture shown after a fixed chain of effects. Its result can
// serve an image button as an external picture; the button follows it
// through a change link.
#include <cstdint>
#include <memory>

#include "buttons/fcBitmap.h"
#include "buttons/fcChangeNotify.h"
#include "platform/ui/Controls.h"

class TfcCustomImager;
class TfcBitmapOptions;

class TfcRotate : public TPersistent {
    ZELMOR_CLASS(TfcRotate, TPersistent)
public:
    explicit TfcRotate(TfcBitmapOptions* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    // -1: the middle.
    int CenterX() const { return FCenterX; }
    void SetCenterX(int Value);
    int CenterY() const { return FCenterY; }
    void SetCenterY(int Value);
    int Angle() const { return FAngle; }
    void SetAngle(int Value);

private:
    TfcBitmapOptions* FOwner;
    int FCenterX = -1, FCenterY = -1, FAngle = 0;
};

class TfcWave : public TPersistent {
    ZELMOR_CLASS(TfcWave, TPersistent)
public:
    explicit TfcWave(TfcBitmapOptions* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    int XDiv() const { return FXDiv; }
    void SetXDiv(int Value);
    int YDiv() const { return FYDiv; }
    void SetYDiv(int Value);
    int Ratio() const { return FRatio; }
    void SetRatio(int Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);

private:
    TfcBitmapOptions* FOwner;
    int FXDiv = 0, FYDiv = 0, FRatio = 0;
    bool FWrap = false;
};

class TfcAlphaBlend : public TPersistent {
    ZELMOR_CLASS(TfcAlphaBlend, TPersistent)
public:
    explicit TfcAlphaBlend(TfcBitmapOptions* Owner);
    ~TfcAlphaBlend() override;
    static void DescribeProperties(TPropertyTable& T);
    // 0 .. 255.
    int Amount() const { return FAmount; }
    void SetAmount(int Value);
    TfcBitmap* Bitmap() const { return FBitmap.get(); }
    // Copies the picture.
    void SetBitmap(TfcBitmap* Value);
    bool Transparent() const { return FBitmap->Transparent(); }
    void SetTransparent(bool Value) { FBitmap->SetTransparent(Value); }
    // The blend picture changed: the options apply again, unless they are doing so.
    virtual void BitmapChanged();

private:
    TfcBitmapOptions* FOwner;
    int FAmount = 0;
    std::unique_ptr<TfcBitmap> FBitmap;
    bool FChanging = false;
};

// The effects, applied in a fixed order to the imager's picture; each
// property change applies them all again.
class TfcBitmapOptions : public TPersistent {
    ZELMOR_CLASS(TfcBitmapOptions, TPersistent)
public:
    TfcBitmapOptions(TfcCustomImager* Owner, TfcBitmap* Target, TPicture* Source);
    ~TfcBitmapOptions() override;
    static void DescribeProperties(TPropertyTable& T);

    TfcAlphaBlend* AlphaBlend() const { return FAlphaBlend.get(); }
    void SetAlphaBlend(TfcAlphaBlend* Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TintColor() const { return FTintColor; }
    void SetTintColor(TColor Value);
    TfcRotate* Rotation() const { return FRotation.get(); }
    void SetRotation(TfcRotate* Value);
    TfcWave* Wave() const { return FWave.get(); }
    void SetWave(TfcWave* Value);
    // 0 Lightness, 1 Saturation, 2 Sponge, 3 GaussianBlur, 4 Contrast, 5 Sharpen.
    int IntOption(int Index) const { return FInts[Index]; }
    void SetIntOption(int Index, int Value);
    // 0 Embossed, 1 Inverted, 2 GrayScale, 3 HorizontallyFlipped, 4 VerticallyFlipped.
    bool BoolOption(int Index) const { return FBools[Index]; }
    void SetBoolOption(int Index, bool Value);

    // Holds the effects back until the matching EndUpdate, which applies them once.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateLock() const { return FUpdateLock; }
    virtual void Apply();
    TNotifyEvent OnChange;

private:
    TfcCustomImager* FOwner;
    TfcBitmap* FTarget;
    TPicture* FSource;
    std::unique_ptr<TfcAlphaBlend> FAlphaBlend;
    TColor FColor = clNone, FTintColor = clNone;
    std::unique_ptr<TfcRotate> FRotation;
    std::unique_ptr<TfcWave> FWave;
    int FInts[6] = {0, -1, 0, 0, 0, 0};
    bool FBools[5] = {false, false, false, false, false};
    int FUpdateLock = 0;
};

class TfcCustomImager : public TGraphicControl {
    ZELMOR_CLASS(TfcCustomImager, TGraphicControl)
public:
    explicit TfcCustomImager(TComponent* AOwner);
    ~TfcCustomImager() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // The result of the effects; what a linked image button shows.
    TfcBitmap* WorkBitmap() const { return FWorkBitmap.get(); }
    TfcBitmapOptions* BitmapOptions() const { return FBitmapOptions.get(); }
    void SetBitmapOptions(TfcBitmapOptions* Value);

    virtual void BitmapChanged();
    virtual void AdjustSize() {}
    virtual bool PictureEmpty() const;
    virtual void AddChangeLink(TfcChangeLink* Link) { FChangeLinks.Add(Link); }
    virtual void SizeWorkBitmap();
    virtual void ApplyOptions();
    virtual void RemoveChangeLink(TfcChangeLink* Link) { FChangeLinks.Remove(Link); }
    // The result, as its BMP file, under CF_BITMAP.
    virtual void CopyToClipboard();
    void Invalidate() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    bool IsLoading() const { return ComponentState().Contains(csLoading); }

protected:
    void Loaded() override;
    void Paint() override;

private:
    void PictureChanged();
    void NotifyLinks();
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TfcBitmap> FWorkBitmap;
    std::unique_ptr<TfcBitmapOptions> FBitmapOptions;
    TfcChangeLinks FChangeLinks;
    bool FInvalidateSuppressed = false;
};
