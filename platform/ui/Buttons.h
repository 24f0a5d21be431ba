#pragma once
// Buttons with pictures: the bit button (a push button with a glyph, and
// standard kinds such as OK and Cancel) and the speed button (a windowless
// button that can stay down, alone or in a group).
//
// A glyph bitmap holds NumGlyphs pictures side by side: up, disabled,
// clicked, down. Its bottom-left pixel's colour is transparent. Without a
// disabled picture, a grey etched one is made from the up picture.
#include <cstdint>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/StdCtrls.h"

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
ZELMOR_DECLARE_ENUM(TButtonLayout);
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
enum TButtonStyle : uint8_t { bsAutoDetect, bsWin31, bsNew };
ZELMOR_DECLARE_ENUM(TButtonStyle);
enum TBitBtnKind : uint8_t {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
ZELMOR_DECLARE_ENUM(TBitBtnKind);

// Where the glyph and the caption of a button go: Margin is the glyph's
// distance from the edge on its side (-1: glyph and caption centred as a
// pair), Spacing the distance between them (-1: the room left is shared out).
struct TButtonLayoutResult {
    TPoint GlyphPos;
    TRect TextBounds;
};
TButtonLayoutResult CalcButtonLayout(TCanvas& Canvas, const TRect& Client, TPoint Offset,
                                     const AnsiString& Caption, TSize GlyphSize, TButtonLayout Layout,
                                     int Margin, int Spacing);

class TButtonGlyph;

class TBitBtn : public TButton {
    ZELMOR_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    static void DescribeProperties(TPropertyTable& T);

    // bkClose closes the form and bkHelp asks for help on the nearest help context; the others click.
    void Click() override;
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* Value);
    // Choosing a kind sets the caption, the glyph, Default, Cancel and ModalResult.
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value) { FStyle = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;
    virtual void DrawItem(const TDrawItemStruct& Item);
    void CNDrawItem(TMessage& Message) override;
    void CNMeasureItem(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;

private:
    std::unique_ptr<TButtonGlyph> FGlyph;
    TControlCanvas* FCanvas;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonStyle FStyle = bsAutoDetect;
    bool FIsFocused = false;
};

// A windowless button. With a GroupIndex it stays down when clicked and the
// other buttons of its parent with the same GroupIndex come up; AllowAllUp
// lets the one that is down come up again.
class TSpeedButton : public TGraphicControl {
    ZELMOR_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    static void DescribeProperties(TPropertyTable& T);

    void Click() override;
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // A flat button shows its edge only while the mouse is over it or it is down.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMButtonPressed(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    void UpdateExclusive();
    std::unique_ptr<TButtonGlyph> FGlyph;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FDragging = false;
    bool FFlat = false;
    bool FMouseInControl = false;
    bool FTransparent = true;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonState FState = bsUp;
};

void RegisterButtonControls();
