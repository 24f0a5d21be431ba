#pragma once
// Borders drawn on each side of a control (the combo boxes and the bordered
// edits): a pen per side, off until enabled.
#include <cstdint>
#include <memory>

#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
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
