#pragma once
// Captions with effects, for the buttons and the labels: several lines,
// word wrap, any rotation, four styles (plain, lowered, raised, outlined), a
// drop shadow, an extrusion shading from a far colour to a near one, and
// colours of their own for the disabled state. The owner hands over a
// canvas, its caption and a layout rectangle before each paint and calls
// Draw; the text asks the owner whether it is enabled, tells it when its
// extent may have changed and asks it to repaint.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/gfx/Graphics.h"

class TfcText;

enum TfcTextStyle : uint8_t { fclsDefault, fclsLowered, fclsRaised, fclsOutline };
ZELMOR_DECLARE_ENUM(TfcTextStyle);
// Where an extrusion runs; the text stands at the other end.
enum TfcOrientation : uint8_t {
    fcTopLeft,
    fcTopRight,
    fcBottomLeft,
    fcBottomRight,
    fcTop,
    fcRight,
    fcLeft,
    fcBottom
};
ZELMOR_DECLARE_ENUM(TfcOrientation);
enum TfcVAlignment : uint8_t { vaTop, vaVCenter, vaBottom };
ZELMOR_DECLARE_ENUM(TfcVAlignment);
enum TfcTextOption : uint8_t { toShowAccel, toShowEllipsis };
ZELMOR_DECLARE_ENUM(TfcTextOption);
using TfcTextOptions = TSet<TfcTextOption>;

// The step of an orientation, also the eight outline offsets in table order.
TPoint fcOrientationVector(TfcOrientation Orientation);
// x - 0.4999 rounded to the nearest whole number: every turned length passes through it.
int fcRoundDown(double X);

class TfcShadowEffects : public TPersistent {
    ZELMOR_CLASS(TfcShadowEffects, TPersistent)
public:
    explicit TfcShadowEffects(TfcText* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int XOffset() const { return FXOffset; }
    void SetXOffset(int Value);
    int YOffset() const { return FYOffset; }
    void SetYOffset(int Value);
    // The room the shadow takes in the layout: nothing while disabled, and
    // nothing on an axis where it lies on the side the extrusion already fills.
    TPoint GetOffset() const;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    TfcText* FOwner;
    TColor FColor = clBtnShadow;
    bool FEnabled = false;
    int FXOffset = 10, FYOffset = 10;
};

class TfcExtrudeEffects : public TPersistent {
    ZELMOR_CLASS(TfcExtrudeEffects, TPersistent)
public:
    explicit TfcExtrudeEffects(TfcText* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    int Depth() const { return FDepth; }
    void SetDepth(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TfcOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TfcOrientation Value);
    TColor FarColor() const { return FFarColor; }
    void SetFarColor(TColor Value);
    TColor NearColor() const { return FNearColor; }
    void SetNearColor(TColor Value);
    bool Striated() const { return FStriated; }
    void SetStriated(bool Value);
    // Depth times the orientation step on each axis, (0, 0) while disabled.
    TPoint GetOffset() const;
    // (Depth, Depth) while enabled.
    TPoint GetSquareOffset() const;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    TfcText* FOwner;
    int FDepth = 10;
    bool FEnabled = false;
    TfcOrientation FOrientation = fcBottomRight;
    TColor FFarColor = clBlack, FNearColor = clBlack;
    bool FStriated = false;
};

class TfcDisabledColors : public TPersistent {
    ZELMOR_CLASS(TfcDisabledColors, TPersistent)
public:
    explicit TfcDisabledColors(TfcText* Owner) : FOwner(Owner) {}
    static void DescribeProperties(TPropertyTable& T);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor ShadeColor() const { return FShadeColor; }
    void SetShadeColor(TColor Value);

private:
    TfcText* FOwner;
    TColor FHighlightColor = clBtnHighlight, FShadeColor = clBtnShadow;
};

class TfcText : public TPersistent {
    ZELMOR_CLASS(TfcText, TPersistent)
public:
    using TGetEnabled = std::function<bool()>;
    using TCallback = std::function<void()>;
    // The owner's callbacks, its font and the canvas it paints on.
    TfcText(TGetEnabled GetEnabled, TCallback AdjustBounds, TCallback Invalidate, TFont* OwnerFont,
            TCanvas* Canvas);
    ~TfcText() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- set by the owner around each paint or measurement ---
    TCanvas* TargetCanvas = nullptr;
    TFont* OwnerFont = nullptr;
    TRect LayoutRect;
    // Where the text is drawn: computed by PrepareFont, moved by Extrude.
    TRect DrawRect;
    // DrawText's flags; no clipping from the start.
    uint32_t DrawFlags = DT_NOCLIP;
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);

    // --- published ---
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TfcVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TfcVAlignment Value);
    TfcDisabledColors* DisabledColors() const { return FDisabledColors.get(); }
    void SetDisabledColors(TfcDisabledColors* Value);
    TfcExtrudeEffects* ExtrudeEffects() const { return FExtrudeEffects.get(); }
    void SetExtrudeEffects(TfcExtrudeEffects* Value);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value);
    TfcTextOptions Options() const { return FOptions; }
    void SetOptions(TfcTextOptions Value);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor Value);
    // Degrees counter-clockwise: v mod 360 for v >= 0, 360 - (|v| mod 360) below.
    int Rotation() const { return FRotation; }
    void SetRotation(int Value);
    TColor ShadeColor() const { return FShadeColor; }
    void SetShadeColor(TColor Value);
    TfcShadowEffects* Shadow() const { return FShadow.get(); }
    void SetShadow(TfcShadowEffects* Value);
    TfcTextStyle Style() const { return FStyle; }
    void SetStyle(TfcTextStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    // --- the owner's callbacks ---
    TGetEnabled OnGetEnabled;
    TCallback OnAdjustBounds;
    TCallback OnInvalidate;
    bool IsEnabled() const { return !OnGetEnabled || OnGetEnabled(); }
    void AdjustBounds() {
        if (OnAdjustBounds) OnAdjustBounds();
    }

    virtual TLogFont GetLogFont() const;
    // The text without its accelerator marks (when they are shown), line by line.
    virtual TSize MeasureText() const;
    // The room the drawn text takes, effects and rotation included; Clip
    // limits it to LayoutRect.
    virtual TSize GetExtent(bool Clip) const;
    virtual TRect CalcDrawRect(bool Clip) const;
    virtual void DrawHighlighted();
    virtual void DrawOutline();
    virtual void DrawShadow(const TRect& R);
    virtual void DrawLines(TRect R);
    // With the rotated font on TargetCanvas for the time of the measurement.
    virtual TRect CalcRect(bool Clip);
    virtual void Changed();
    virtual void Draw();
    virtual void DrawDefault();
    virtual void DrawOutlined();
    virtual void DrawEmbossed(bool Raised);
    virtual void PrepareFont();
    virtual void Extrude();
    virtual void DrawHighlightShade(bool Raised);

protected:
    void AssignTo(TPersistent* Dest) override;
    // Restores TargetCanvas's font when a styled draw or measurement ends.
    class TFontScope;

private:
    void InColor(TColor Color);
    double Angle() const;

    AnsiString FText;
    TAlignment FAlignment = taLeftJustify;
    TfcVAlignment FVAlignment = vaTop;
    std::unique_ptr<TfcDisabledColors> FDisabledColors;
    std::unique_ptr<TfcExtrudeEffects> FExtrudeEffects;
    TColor FHighlightColor = clBtnHighlight;
    int FLineSpacing = 5;
    TfcTextOptions FOptions{toShowAccel};
    TColor FOutlineColor = clBlack;
    int FRotation = 0;
    TColor FShadeColor = clBtnShadow;
    std::unique_ptr<TfcShadowEffects> FShadow;
    TfcTextStyle FStyle = fclsDefault;
    bool FWordWrap = false;
};

// What the buttons and labels publish as TextOptions.
class TfcCaptionText : public TfcText {
    ZELMOR_CLASS(TfcCaptionText, TfcText)
public:
    using TfcText::TfcText;
};
