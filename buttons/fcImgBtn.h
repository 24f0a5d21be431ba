#pragma once
// The image button: a button painted from a picture (its own, or another
// image button's or an imager's), stretched to the button and tinted with
// Color, in one of four looks: pressed-shift on a shadow, raised with a drop
// shadow, a bevel traced along the picture's outline, or flat until hovered.
// Its window region is the picture's non-transparent area.
#include <cstdint>
#include <memory>

#include "buttons/fcButton.h"

enum TfcDitherStyle : uint8_t { dsDither, dsBlendDither, dsFill };
ZELMOR_DECLARE_ENUM(TfcDitherStyle);

class TfcImgDownOffsets : public TfcOffsets {
    ZELMOR_CLASS(TfcImgDownOffsets, TfcOffsets)
public:
    using TfcOffsets::TfcOffsets;
    static void DescribeProperties(TPropertyTable& T);
    // How far the up picture moves while the button is down without a down picture.
    int ImageDownX() const { return FImageDownX; }
    void SetImageDownX(int Value) { FImageDownX = Value; }
    int ImageDownY() const { return FImageDownY; }
    void SetImageDownY(int Value) { FImageDownY = Value; }

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    int FImageDownX = 2, FImageDownY = 2;
};

class TfcCustomImageBtn : public TfcCustomBitBtn {
    ZELMOR_CLASS(TfcCustomImageBtn, TfcCustomBitBtn)
public:
    explicit TfcCustomImageBtn(TComponent* AOwner);
    ~TfcCustomImageBtn() override;

    TfcBitmap* Image() const { return FImage.get(); }
    void SetImage(TfcBitmap* Value);
    TfcBitmap* ImageDown() const { return FImageDown.get(); }
    void SetImageDown(TfcBitmap* Value);
    // An imager or another image button whose picture this button shows.
    TComponent* ExtImage() const { return FExtImage; }
    void SetExtImage(TComponent* Value);
    TComponent* ExtImageDown() const { return FExtImageDown; }
    void SetExtImageDown(TComponent* Value);
    // clNone: the picture's top-left colour; clNoTransparency: none at all,
    // and no window region; any other colour (system colours resolved).
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);
    // The dither of a down group button; clNone: none.
    TColor DitherColor() const { return FDitherColor; }
    void SetDitherColor(TColor Value);
    TfcDitherStyle DitherStyle() const { return FDitherStyle; }
    void SetDitherStyle(TfcDitherStyle Value);
    TfcImgDownOffsets* ImageOffsets() const;
    void SetImageOffsets(TfcImgDownOffsets* Value) { SetOffsets(Value); }
    // The parent's clip-children style; false without a parent.
    bool ParentClipping() const;
    void SetParentClipping(bool Value);
    bool RespectPalette() const { return FImage->RespectPalette(); }
    void SetRespectPalette(bool Value);
    TfcChangeLink* ImageLink() const { return FImageLink.get(); }

    // The picture in force for a state: an external source's, or the own one.
    virtual TfcBitmap* GetImage(bool ADown);
    // Source stretched over Target, tinted with Color and, for a down group
    // button without a down picture, dithered.
    virtual void RenderImage(TfcBitmap* Source, TfcBitmap& Target, TfcShadeStyle Shade, bool MaskOnly);
    // A picture in force changed: its stored region goes and the region follows.
    virtual void ImageChanged(TObject* Bitmap);
    virtual TColor GetFacePixel(TPoint P);
    // The bevelled looks of both states become the button's pictures.
    virtual void BakeFaceImages();
    // The transparent colour of a state as an RGB value (clNoTransparency for none).
    TColor EffectiveTransparentColor(bool ADown);
    // A bevel traced along the outline of what is not transparent in Source.
    void fcBevelImage(TfcBitmap& Source, TfcBitmap& Target, TColor Transparent, bool ADown);

    std::optional<TRegion> CreateRegion(bool FromPicture, bool ADown) override;
    bool StoresRegionData() const override { return true; }
    void PaintFace(TfcBitmap& Bitmap, bool MaskOnly, TfcShadeStyle Shade, bool ADown) override;
    bool CanUseRegion() const override { return FTransparentColor != clNoTransparency; }
    bool HasDistinctDownRegion() const override;
    void SizeToContents() override;
    TfcOffsets* CreateOffsets() override;

protected:
    void AssignTo(TPersistent* Dest) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void LinkExternalImage(TComponent* Source, bool ADown);
    // The down picture in force, when it holds a picture.
    TfcBitmap* DownPicture();

private:
    void Unlink(TComponent* Source);
    std::unique_ptr<TfcBitmap> FImage, FImageDown;
    TComponent* FExtImage = nullptr;
    TComponent* FExtImageDown = nullptr;
    TColor FTransparentColor = clNone;
    TColor FDitherColor = clWhite;
    TfcDitherStyle FDitherStyle = dsDither;
    std::unique_ptr<TfcChangeLink> FImageLink;
};

class TfcImageBtn : public TfcCustomImageBtn {
    ZELMOR_CLASS(TfcImageBtn, TfcCustomImageBtn)
public:
    using TfcCustomImageBtn::TfcCustomImageBtn;
    static void DescribeProperties(TPropertyTable& T);
};
