#pragma once
// Image lists: equal-sized images, each with a monochrome mask (1 where the
// image is transparent), drawn normally, transparently, blended or embossed
// as disabled. An image list is a component, so a form can carry one with
// its images.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/gfx/Bitmap.h"

// ImageList_DrawEx styles and colour values.
enum : uint32_t {
    ILD_NORMAL = 0,
    ILD_TRANSPARENT = 1,
    ILD_BLEND25 = 2,
    ILD_FOCUS = 2,
    ILD_BLEND50 = 4,
    ILD_SELECTED = 4,
    ILD_BLEND = 4,
    ILD_MASK = 0x10,
    ILD_IMAGE = 0x20
};
constexpr uint32_t CLR_NONE = 0xFFFFFFFF;
constexpr uint32_t CLR_DEFAULT = 0xFF000000;

enum TDrawingStyle : uint8_t { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType : uint8_t { itImage, itMask };
const TTypeInfo& TypeInfoOf(TDrawingStyle*);
const TTypeInfo& TypeInfoOf(TImageType*);

class TCustomImageList : public TComponent {
    ZELMOR_CLASS(TCustomImageList, TComponent)
public:
    // 16 by 16 images unless a size is given.
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int Width, int Height);
    ~TCustomImageList() override;
    static void DescribeProperties(TPropertyTable& T);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size empties the list.
    void SetSize(int Width, int Height);
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    int Count() const { return int(FImages.size()); }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value) { FMasked = Value; }
    // clNone: drawn transparently; otherwise the background of ILD_NORMAL drawing.
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    // Blended drawing mixes with this colour (clDefault: the highlight colour).
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);

    // Adds every Width-wide cell of Image (a strip); Mask (monochrome, 1 =
    // transparent) may be null. Answers the index of the first image added, -1 on failure.
    int Add(const TBitmap* Image, const TBitmap* Mask);
    // The mask is made from the colour: pixels of MaskColor are transparent;
    // clNone adds the images without a transparent part.
    int AddMasked(const TBitmap* Image, TColor MaskColor);
    void Replace(int Index, const TBitmap* Image, const TBitmap* Mask);
    void ReplaceMasked(int Index, const TBitmap* Image, TColor MaskColor);
    void Delete(int Index);  // -1 deletes all
    void Clear() { Delete(-1); }
    void Move(int CurIndex, int NewIndex);
    void Assign(TPersistent* Source) override;

    // The image and the mask, copied into the bitmaps (sized to one cell).
    bool GetBitmap(int Index, TBitmap* Image) const;
    bool GetMask(int Index, TBitmap* Mask) const;

    // Draws with DrawingStyle and ImageType; disabled images are embossed: the
    // mask stamped in clBtnHighlight one pixel right and down, then in clBtnShadow.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    // ILD_ style with explicit background and blend colours (CLR_NONE, CLR_DEFAULT or 00BBGGRR).
    void DrawEx(TCanvas* Canvas, int X, int Y, int Index, uint32_t Style, uint32_t BkColor,
                uint32_t BlendColor) const;
    // The embossed look of a mask, as disabled images and glyphs show it.
    static void DrawDisabledMask(TCanvas* Canvas, int X, int Y, const TBitmap& Mask);

    TNotifyEvent OnChange;

protected:
    void Changed();
    // The images travel in form files as the binary property "Bitmap": the
    // image count as 32 bits, then the images side by side as one 24-bit BMP
    // file and their masks side by side as one 1-bit BMP file, each file
    // after its byte count as 32 bits. The cells are Width by Height, so
    // Width and Height come first in the file.
    void DefineProperties(TFiler* Filer) override;

private:
    void ReadImages(TStream& Stream);
    void WriteImages(TStream& Stream) const;
    struct TImage {
        std::unique_ptr<TBitmap> Image;  // pf32bit
        std::unique_ptr<TBitmap> Mask;   // pf1bit: 1 = transparent
    };
    TImage MakeImage(const TBitmap* Image, int Left, const TBitmap* Mask, TColor MaskColor,
                     bool FromColor) const;
    int FWidth, FHeight;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<TImage> FImages;
};

class TImageList : public TCustomImageList {
    ZELMOR_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};
// The drawing layer's classes that forms create by name (TImageList).
void RegisterGfxClasses();

// The platform's flat calls on an image list.
bool ImageList_DrawEx(const TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, int Dx, int Dy,
                      uint32_t BkColor, uint32_t BlendColor, uint32_t Style);
