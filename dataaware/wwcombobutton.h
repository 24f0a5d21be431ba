#pragma once
// The windowless push button of the library's drop-down edits; used on its
// own it is a complete speed button: a glyph of up to four state cells (up,
// disabled, down, exclusive) side by side, an optional caption, a raised or
// flat look, transparent or opaque painting, latching in groups, an
// accelerator and an action.
//
// The state images are made on demand and kept in image lists that every
// combo button of the program shares, one list per image size (the glyph
// cache): a slot one button frees is reused by the next image of that size.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/gfx/ImageList.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"

class TwwComboButton;

// An image list of one size whose slots are handed out and given back.
class TGlyphList : public TImageList {
    ZELMOR_CLASS(TGlyphList, TImageList)
public:
    TGlyphList(int AWidth, int AHeight) : TImageList(nullptr, AWidth, AHeight) {}
    // The first free slot; an empty image is added when every slot is used.
    int TakeSlot();
    int AddMaskedImage(const TBitmap* Image, TColor MaskColor);
    // The slot's image stays in the list for the next one.
    void FreeSlot(int Index);
    int UsedCount() const { return FCount; }

private:
    std::vector<bool> FUsed;
    int FCount = 0;
};

class TGlyphCache {
public:
    TGlyphCache() = default;
    ~TGlyphCache();
    TGlyphCache(const TGlyphCache&) = delete;
    TGlyphCache& operator=(const TGlyphCache&) = delete;
    TGlyphList* ListForSize(int AWidth, int AHeight);
    // Frees a list that holds no image any more.
    void ReleaseList(TGlyphList* List);
    bool IsEmpty() const { return FLists.empty(); }

private:
    std::vector<TGlyphList*> FLists;  // owned
};

// The cache all combo buttons share while one glyph object exists; null otherwise.
TGlyphCache* SharedGlyphCache();

class TwwComboButtonGlyph : public TObject {
    ZELMOR_CLASS(TwwComboButtonGlyph, TObject)
public:
    explicit TwwComboButtonGlyph(TwwComboButton* Button);
    ~TwwComboButtonGlyph() override;
    TwwComboButtonGlyph(const TwwComboButtonGlyph&) = delete;
    TwwComboButtonGlyph& operator=(const TwwComboButtonGlyph&) = delete;

    TBitmap* Bitmap() const { return FBitmap.get(); }
    // A copy of the bitmap; a strip of square cells (up to four) sets the cell count.
    void SetBitmap(const TBitmap* Value);
    int CellCount() const { return FCellCount; }
    void SetCellCount(int Value);
    TColor TransparentColor() const { return FTransparentColor; }
    TGlyphList* ImageList() const { return FList; }
    int ImageIndex(TButtonState State) const { return FIndexes[State]; }
    void ReleaseImages();
    int MakeStateImage(TButtonState State);
    void PaintContents(TCanvas* Canvas, const TRect& Client, TPoint Offset, const AnsiString& Caption,
                       TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent,
                       uint32_t TextFlags);

    TNotifyEvent OnChange;

private:
    void BitmapChanged(TObject* Sender);
    void DrawStateImage(TCanvas* Canvas, TPoint At, TButtonState State, bool Transparent);
    void DrawCaption(TCanvas* Canvas, const AnsiString& Caption, TRect Bounds, TButtonState State,
                     uint32_t TextFlags);
    std::unique_ptr<TBitmap> FBitmap;
    TGlyphList* FList = nullptr;
    std::array<int, 4> FIndexes{-1, -1, -1, -1};
    TColor FTransparentColor = static_cast<TColor>(0x008080);
    int FCellCount = 1;
    TwwComboButton* FButton;
};

// The action link of a combo button: Checked follows Down only in a group
// that allows all buttons up, and only while the two agree.
class TwwComboButtonActionLink : public TControlActionLink {
    ZELMOR_CLASS(TwwComboButtonActionLink, TControlActionLink)
public:
    explicit TwwComboButtonActionLink(TwwComboButton* Client);
    bool IsCheckedLinked() override;
    void SetChecked(bool Value) override;

private:
    TwwComboButton* FButton;
};

class TwwComboButton : public TGraphicControl {
    ZELMOR_CLASS(TwwComboButton, TGraphicControl)
public:
    explicit TwwComboButton(TComponent* AOwner);
    ~TwwComboButton() override;
    static void DescribeProperties(TPropertyTable& T);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Bitmap(); }
    void SetGlyph(TBitmap* Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // -1: the contents centred; below -1 is ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int NumGlyphs() const { return FGlyph->CellCount(); }
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // What descendants read when they draw their own faces.
    TButtonState State() const { return FState; }
    bool MouseInside() const { return FMouseInside; }
    bool Tracking() const { return FTracking; }
    TwwComboButtonGlyph* GlyphObject() const { return FGlyph.get(); }

    void Click() override;
    // Brings the hot flag in line with where the mouse is.
    void RefreshHotState();
    void NotifyGroup();
    void CopyActionImage(const TCustomImageList* Images, int Index);

protected:
    void Paint() override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    TControlActionLink* CreateActionLink() override;

    void WMLButtonDblClk(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMButtonPressed(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    // Inside for a click: the bottom row counts, the right column does not.
    bool InsideForClick(int X, int Y) const;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FTracking = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    bool FTransparent = true;
    int FMargin = -1;
    bool FFlat = false;
    bool FMouseInside = false;
    std::unique_ptr<TwwComboButtonGlyph> FGlyph;
    TButtonState FState = bsUp;
};
