#pragma once
// Borders drawn on each side of a control (the combo boxes and the bordered
// edits): a pen per side, off until enabled.
#include <cstdint>
#include <memory>

#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcData.h"

enum TOvcBorderStyle : uint8_t { bpsSolid };
ZELMOR_DECLARE_ENUM(TOvcBorderStyle);

class TOvcBorder : public TPersistent {
    ZELMOR_CLASS(TOvcBorder, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcBorder() { SetDefaults(); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Store(FEnabled, Value); }
    TOvcBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TOvcBorderStyle Value) { Store(FBorderStyle, Value); }
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor Value) { Store(FPenColor, Value); }
    TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle Value) { Store(FPenStyle, Value); }
    int PenWidth() const { return FPenWidth; }
    // Only widths above 0 are taken.
    void SetPenWidth(int Value) {
        if (Value > 0) Store(FPenWidth, Value);
    }
    void SetDefaults();
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    template <class T>
    void Store(T& Field, T Value) {
        StoreChange(Field, Value, OnChange, this);
    }
    bool FEnabled = false;
    TOvcBorderStyle FBorderStyle = bpsSolid;
    TColor FPenColor = clBlack;
    TPenStyle FPenStyle = psSolid;
    int FPenWidth = 2;
};

class TOvcBorders : public TPersistent {
    ZELMOR_CLASS(TOvcBorders, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcBorders();
    TOvcBorder* BottomBorder() const { return FBottom.get(); }
    TOvcBorder* LeftBorder() const { return FLeft.get(); }
    TOvcBorder* RightBorder() const { return FRight.get(); }
    TOvcBorder* TopBorder() const { return FTop.get(); }
    void SetBottomBorder(TOvcBorder* Value) { FBottom->Assign(Value); }
    void SetLeftBorder(TOvcBorder* Value) { FLeft->Assign(Value); }
    void SetRightBorder(TOvcBorder* Value) { FRight->Assign(Value); }
    void SetTopBorder(TOvcBorder* Value) { FTop->Assign(Value); }
    void Assign(TPersistent* Source) override;
    bool AnyEnabled() const;

private:
    std::unique_ptr<TOvcBorder> FBottom, FLeft, FRight, FTop;
};

// Draws the enabled borders on a control of Width x Height: left at x = pen
// width div 2, top at y = pen width div 2, right and bottom that far in from
// the far edge (one pixel more for odd widths). With ShortEvenBottom an
// even-width bottom line ends half a pen width before the right edge.
void PaintOvcBorders(TCanvas* Canvas, const TOvcBorders& Borders, int Width, int Height,
                     bool ShortEvenBottom);
// The pen width of a border when it is enabled, else 0.
int EnabledWidth(const TOvcBorder* Border);

// A frame that hosts one edit and draws up to four border lines around it;
// its height is fixed (21).
class TOvcBorderParent : public TOvcCustomControl {
    ZELMOR_CLASS(TOvcBorderParent, TOvcCustomControl)
public:
    explicit TOvcBorderParent(TComponent* AOwner);
    ~TOvcBorderParent() override;
    TOvcBorders* Borders() const { return FBorders.get(); }
    void SetBorders(TOvcBorders* Value) { FBorders->Assign(Value); }
    TWinControl* EditControl() const { return FEditControl; }
    virtual void SetEditControl(TWinControl* Value) { FEditControl = Value; }
    // Lays the edit out inside the borders and draws them.
    virtual void PaintBorders();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    bool LabelAutoSize() const override { return false; }
    void Paint() override;
    void WMSetFocus(TMessage& Message) override;

    std::unique_ptr<TOvcBorders> FBorders;
    TWinControl* FEditControl = nullptr;
    int FFixedHeight = 21;
    int FButtonReserve = 0;
    bool FShowButtonCopy = false;
};
