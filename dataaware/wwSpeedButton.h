#pragma once
// A windowless button whose picture is one of an image list's, by index: a
// raised or flat look, an optional caption below the picture, a hot look
// while the mouse is over it, and separate pictures for the disabled, pressed
// and hot states (NumGlyphs consecutive pictures: normal, disabled, pressed,
// hot). The navigator's buttons stand on it. The image list is not owned and
// not watched: whoever sets it keeps it alive.
#include "platform/ui/Controls.h"

class TCustomImageList;

class TwwDisabledTextColors : public TPersistent {
    ZELMOR_CLASS(TwwDisabledTextColors, TPersistent)
public:
    explicit TwwDisabledTextColors(TControl* Control = nullptr) : FControl(Control) {}
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    // The caption itself.
    TColor ShadeColor() const { return FShadeColor; }
    void SetShadeColor(TColor Value);
    // The one-pixel highlight below and to the right.
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);

private:
    TControl* FControl;
    TColor FShadeColor = TColor(0x808080);
    TColor FHighlightColor = clBtnHighlight;
};

class TwwSpeedButton : public TGraphicControl {
    ZELMOR_CLASS(TwwSpeedButton, TGraphicControl)
public:
    explicit TwwSpeedButton(TComponent* AOwner);
    ~TwwSpeedButton() override;
    static void DescribeProperties(TPropertyTable& T);

    virtual int GetImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);
    int ImageIndex() const { return GetImageIndex(); }
    bool Flat() const { return FFlat; }
    virtual void SetFlat(bool Value);
    TCustomImageList* Images() const { return FImages; }
    virtual void SetImages(TCustomImageList* Value);
    // -1: picture and caption centred; else their offset from the face's top-left corner.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int NumGlyphs() const { return FNumGlyphs; }
    virtual void SetNumGlyphs(int Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TwwDisabledTextColors* DisabledTextColors() const { return FDisabledTextColors.get(); }
    void SetDisabledTextColors(TwwDisabledTextColors* Value) { FDisabledTextColors->Assign(Value); }
    bool MouseInside() const { return FMouseInside; }
    // Held down by the left button with the mouse inside.
    bool Pressed() const;
    // The picture of the list drawn in the present state (-1: none).
    int PictureIndex() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

private:
    template <class T>
    void Store(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    bool FTransparent = true;
    bool FFlat = false;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    int FMargin = -1;
    int FNumGlyphs = 1;
    bool FShowText = false;
    int FSpacing = 4;
    std::unique_ptr<TwwDisabledTextColors> FDisabledTextColors;
    bool FMouseInside = false;
};
