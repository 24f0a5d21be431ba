#pragma once
// The library's owner-drawn radio button (TwwCustomRadioButton, published as
// TwwRadioButton) with the frame look of the library's edits, glyph and
// caption indents, glyphs from an image list, a picture beside the caption
// and transparent painting; and TwwWinButtonIndents, the indents the check
// boxes, radio buttons and radio group share. The radio group's item buttons
// stand on it, and may stand in a grid cell: several operations ask whether
// the button's parent's parent is a grid.
#include <memory>

#include "dataaware/wwframe.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/StdCtrls.h"

class TwwWinButtonIndents : public TPersistent {
    ZELMOR_CLASS(TwwWinButtonIndents, TPersistent)
public:
    explicit TwwWinButtonIndents(TComponent* Owner) : FControl(dynamic_cast<TWinControl*>(Owner)) {}
    static void DescribeProperties(TPropertyTable& T);
    int ButtonX() const { return FButtonX; }
    void SetButtonX(int Value);
    int ButtonY() const { return FButtonY; }
    void SetButtonY(int Value);
    int TextX() const { return FTextX; }
    void SetTextX(int Value);
    int TextY() const { return FTextY; }
    void SetTextY(int Value);
    void Assign(TPersistent* Source) override;
    TWinControl* Control() const { return FControl; }

protected:
    // A value changed: here the control repaints.
    virtual void Changed(TWinControl* Control);

private:
    void Set(int& Field, int Value);
    TWinControl* FControl;
    int FButtonX = 0, FButtonY = 0, FTextX = 0, FTextY = 0;
};

class TwwCustomRadioButton : public TRadioButton {
    ZELMOR_CLASS(TwwCustomRadioButton, TRadioButton)
public:
    explicit TwwCustomRadioButton(TComponent* AOwner);
    ~TwwCustomRadioButton() override;

    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    TwwWinButtonIndents* Indents() const { return FIndents.get(); }
    void SetIndents(TwwWinButtonIndents* Value) { FIndents->Assign(Value); }
    bool AlwaysTransparent() const { return FAlwaysTransparent; }
    void SetAlwaysTransparent(bool Value) { FAlwaysTransparent = Value; }
    const AnsiString& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const AnsiString& Value) { FValueChecked = Value; }
    const AnsiString& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const AnsiString& Value) { FValueUnchecked = Value; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* GlyphImages() const { return FGlyphImages; }
    void SetGlyphImages(TCustomImageList* Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    void SetChecked(bool Value) override;
    bool IsTransparent() const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void PaintToDC(HDC DC);
    virtual bool GetShowText() { return true; }
    virtual TColor GetFontColor() { return clNone; }
    virtual TColor GetBackgroundColor() { return clNone; }
    virtual int GetGlyphIndex() { return 0; }
    virtual bool GetPaintChecked() { return Checked(); }
    virtual void PaintControl();
    virtual void GetButtonRect(TRect& R);
    virtual void GetTextRect(TRect& R);
    virtual void GetGlyphRect(TRect& R);
    virtual TCanvas* GetPaintCanvas();
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void CNDrawItem(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    bool InGrid() const;
    void InvalidateParts(bool Glyph, bool Caption, bool Ring);
    void DrawFrame(HDC DC);

private:
    std::unique_ptr<TControlCanvas> FPaintCanvas;
    std::unique_ptr<TwwEditFrame> FFrame;
    std::unique_ptr<TwwWinButtonIndents> FIndents;
    bool FAlwaysTransparent = false;
    AnsiString FValueChecked = "True";
    AnsiString FValueUnchecked = "False";
    bool FShowFocusRect = true;
    bool FSpacePressed = false;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FGlyphImages = nullptr;
    bool FWordWrap = false;
};

class TwwRadioButton : public TwwCustomRadioButton {
    ZELMOR_CLASS(TwwRadioButton, TwwCustomRadioButton)
public:
    explicit TwwRadioButton(TComponent* AOwner) : TwwCustomRadioButton(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};
