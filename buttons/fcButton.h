#pragma once
// The owner-drawn push button under the image and shape buttons: glyph and
// caption layout, shade colours for bevels, press and release with hot
// tracking, toggle groups, the standard kinds, Enter, Escape and
// accelerators, change links, and a window region with its form data. Every
// paint composes the whole face off-screen in one bitmap and copies it to the
// window once, so the button never flickers.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "buttons/fcBitmap.h"
#include "buttons/fcChangeNotify.h"
#include "buttons/fcText.h"
#include "platform/gfx/Region.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"

class TfcCustomBitBtn;

enum TfcShadeStyle : uint8_t { fbsNormal, fbsRaised, fbsHighlight, fbsFlat };
ZELMOR_DECLARE_ENUM(TfcShadeStyle);
enum TfcButtonOption : uint8_t { boFocusable, boOverrideActionGlyph, boToggleOnUp, boFocusRect, boAutoBold };
ZELMOR_DECLARE_ENUM(TfcButtonOption);
using TfcButtonOptions = TSet<TfcButtonOption>;

// How far glyph and caption move: always, and while the button is down.
class TfcOffsets : public TPersistent {
    ZELMOR_CLASS(TfcOffsets, TPersistent)
public:
    explicit TfcOffsets(TfcCustomBitBtn* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    int GlyphX() const { return FGlyphX; }
    void SetGlyphX(int Value);
    int GlyphY() const { return FGlyphY; }
    void SetGlyphY(int Value);
    int TextX() const { return FTextX; }
    void SetTextX(int Value);
    int TextY() const { return FTextY; }
    void SetTextY(int Value);
    int TextDownX() const { return FTextDownX; }
    void SetTextDownX(int Value) { FTextDownX = Value; }
    int TextDownY() const { return FTextDownY; }
    void SetTextDownY(int Value) { FTextDownY = Value; }

protected:
    void AssignTo(TPersistent* Dest) override;
    TfcCustomBitBtn* FOwner;

private:
    void Set(int& Field, int Value);
    int FGlyphX = 0, FGlyphY = 0, FTextX = 0, FTextY = 0, FTextDownX = 1, FTextDownY = 1;
};

// The six colours of the bevels and the shadow.
class TfcShadeColors : public TPersistent {
    ZELMOR_CLASS(TfcShadeColors, TPersistent)
public:
    explicit TfcShadeColors(TfcCustomBitBtn* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    TColor BtnHighlight() const { return FBtnHighlight; }
    void SetBtnHighlight(TColor Value) { Set(FBtnHighlight, Value); }
    TColor Btn3DLight() const { return FBtn3DLight; }
    void SetBtn3DLight(TColor Value) { Set(FBtn3DLight, Value); }
    TColor BtnShadow() const { return FBtnShadow; }
    void SetBtnShadow(TColor Value) { Set(FBtnShadow, Value); }
    TColor BtnBlack() const { return FBtnBlack; }
    void SetBtnBlack(TColor Value) { Set(FBtnBlack, Value); }
    TColor BtnFocus() const { return FBtnFocus; }
    void SetBtnFocus(TColor Value) { Set(FBtnFocus, Value); }
    TColor Shadow() const { return FShadow; }
    void SetShadow(TColor Value) { Set(FShadow, Value); }

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void Set(TColor& Field, TColor Value);
    TfcCustomBitBtn* FOwner;
    TColor FBtnHighlight = clBtnHighlight, FBtn3DLight = cl3DLight, FBtnShadow = clBtnShadow,
           FBtnBlack = clBlack, FBtnFocus = clBlack, FShadow = clBlack;
};

// A state's region as the form carries it: the platform's region data, a
// 32-byte header and the rectangles. No buffer means no data.
struct TfcRegionData {
    int32_t Size = 0;
    std::optional<std::vector<uint8_t>> Buffer;
};

class TfcCustomBitBtn : public TWinControl {
    ZELMOR_CLASS(TfcCustomBitBtn, TWinControl)
public:
    explicit TfcCustomBitBtn(TComponent* AOwner);
    ~TfcCustomBitBtn() override;

    // bkHelp asks for help, bkClose closes the form; any other kind gives the
    // form its ModalResult before OnClick runs.
    void Click() override;

    // --- properties ---
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Down() const { return FDown; }
    // Only a group button goes down, except while the form is read.
    void SetDown(bool Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // A kind whose Default, Cancel or ModalResult was changed reads bkCustom.
    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TfcOffsets* Offsets() const { return FOffsets.get(); }
    // Copies the values: the button keeps its own offsets object.
    void SetOffsets(TfcOffsets* Value);
    TfcButtonOptions Options() const { return FOptions; }
    void SetOptions(TfcButtonOptions Value);
    TfcShadeColors* ShadeColors() const { return FShadeColors.get(); }
    void SetShadeColors(TfcShadeColors* Value);
    TfcShadeStyle ShadeStyle() const { return FShadeStyle; }
    void SetShadeStyle(TfcShadeStyle Value);
    bool SmoothFont() const { return FSmoothFont; }
    void SetSmoothFont(bool Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);
    TfcCaptionText* TextOptions() const { return FTextOptions.get(); }
    void SetTextOptions(TfcCaptionText* Value);
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnSelChange;

    // --- state ---
    // The button answers the Enter key now.
    bool IsDefaultActive = false;
    TRect GlyphRect, TextRect;
    // A left-button press began on the button and has not been released.
    bool Tracking = false;
    bool DownAtPress = false;
    bool ClickInProgress = false;
    bool UseHalftonePalette = false;
    const TfcRegionData& UpRegionData() const { return FUpRegionData; }
    const TfcRegionData& DownRegionData() const { return FDownRegionData; }
    // The region last handed to the window, if any.
    bool HasWindowRegion() const { return FHasWindowRegion; }
    const std::optional<TRegion>& PrevRegion() const { return FPrevRegion; }

    // --- the operations descendants build on ---
    virtual TfcOffsets* CreateOffsets();
    // The region of a state: here only from its stored data (none without);
    // descendants compute one from picture or shape when allowed.
    virtual std::optional<TRegion> CreateRegion(bool FromPicture, bool ADown);
    virtual void CalcLayout(TCanvas* Canvas, const TRect& Client, TSize TextSize, TRect& AGlyphRect,
                            TRect& ATextRect);
    virtual int GetGlyphWidth() const;
    virtual bool StoresGlyph() const;
    virtual bool StoresCaption() const;
    virtual bool StoresRegionData() const { return false; }
    virtual void UpdateDownRegion();
    virtual void ClearRegion();
    virtual void FreeRegionData(TfcRegionData& Data);
    virtual void DrawGlyph(TCanvas* Canvas, const TRect& R);
    virtual void DrawCaption(TCanvas* Canvas, const TRect& R);
    virtual void DrawItem(const TDrawItemStruct& Item);
    virtual void PaintFace(TfcBitmap& Bitmap, bool MaskOnly, TfcShadeStyle Shade, bool ADown);
    virtual void GlyphChanged();
    virtual void NotifyLinksChange();
    virtual void NotifyLinksDown();
    virtual void NotifyLinksLoaded();
    virtual void PaintButton();
    // Paints at once through the window's own device context.
    virtual void PaintToWindow();
    virtual void ReadRegionData(TStream& Stream);
    virtual void ReadDownRegionData(TStream& Stream);
    virtual void SaveRegionData(const std::optional<TRegion>& Region, bool ADown);
    virtual void DoSelChange();
    virtual void WriteRegionData(TStream& Stream);
    virtual void WriteDownRegionData(TStream& Stream);
    virtual void UpdateExclusive();
    virtual bool CanUseRegion() const { return false; }
    virtual void ApplyRegion();
    virtual void InvalidateOutsideRegion(bool Erase);
    virtual void DrawContents(TCanvas* Canvas);
    virtual bool HasDistinctDownRegion() const { return false; }
    virtual void SizeToContents() {}
    virtual void DeriveShadeColors(TColor Color);
    virtual void AddChangeLink(TfcChangeLink* Link) { FChangeLinks.Add(Link); }
    virtual void RemoveChangeLink(TfcChangeLink* Link) { FChangeLinks.Remove(Link); }
    virtual bool GetTextEnabled() const { return Enabled(); }
    virtual void AdjustBounds() {}

    // Whether (X, Y) of the client area (-1, -1: the cursor) is on the
    // button; with tracking required, only while a press lasts.
    bool MouseInControl(int X, int Y, bool TrackingRequired);
    void SetDownState(bool ADown, bool Exclusive, bool Repaint);
    void PressDown();
    void Release(bool Inside);
    const TfcChangeLinks& ChangeLinks() const { return FChangeLinks; }

protected:
    void AssignTo(TPersistent* Dest) override;
    // The action's caption, enabled state, hint and visibility, and a button
    // without a glyph of its own shows the action's image.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // RegionData and DownRegionData: each a 32-bit byte count, then the bytes.
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMButtonPressed(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CNMeasureItem(TMessage& Message) override;
    void CNDrawItem(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;
    TfcRegionData& RegionDataOf(bool ADown) { return ADown ? FDownRegionData : FUpRegionData; }
    const TfcRegionData& RegionDataOf(bool ADown) const { return ADown ? FDownRegionData : FUpRegionData; }
    // The offsets object of the class in force (a descendant's constructor calls it again).
    void RecreateOffsets() { FOffsets.reset(CreateOffsets()); }
    // The bit button's published properties, for the published button classes.
    static void PublishBitBtn(TPropertyTable& T);

    TControlCanvas* FPaintCanvas;

private:
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    void ReadData(TStream& Stream, TfcRegionData& Data);
    static void WriteData(TStream& Stream, TfcRegionData& Data);
    void ApplyAutoBold();

    bool FAllowAllUp = false;
    bool FCancel = false;
    bool FDefault = false;
    bool FDown = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGroupIndex = 0;
    mutable TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    TModalResult FModalResult = 0;
    int FNumGlyphs = 0;
    std::unique_ptr<TfcOffsets> FOffsets;
    TfcButtonOptions FOptions;
    std::unique_ptr<TfcShadeColors> FShadeColors;
    TfcShadeStyle FShadeStyle = fbsNormal;
    bool FSmoothFont = false;
    int FSpacing = 4;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TfcCaptionText> FTextOptions;
    TfcChangeLinks FChangeLinks;
    TfcRegionData FUpRegionData, FDownRegionData;
    bool FHasWindowRegion = false;
    std::optional<TRegion> FPrevRegion;
};

// Places the glyph and the caption around Anchor: side by side or one above
// the other as Layout says, Spacing between them (with no glyph, the caption
// takes (Spacing - 6) div 2).
void fcPlaceGlyphAndText(TPoint Anchor, int Spacing, TButtonLayout Layout, TSize GlyphSize, TSize TextSize,
                         TRect& GlyphRect, TRect& TextRect);

// The ten kind glyphs, loaded from their resources once and kept for the
// process ("WWOK" ... "WWALL"); null for bkCustom.
const TBitmap* fcKindGlyph(TBitBtnKind Kind);
AnsiString fcKindCaption(TBitBtnKind Kind);
