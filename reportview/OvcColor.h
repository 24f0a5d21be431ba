#pragma once
// A text and background colour pair with defaults to return to (the
// colours of the virtual list box and of the report view).
#include "platform/classes/Properties.h"
#include "platform/gfx/Types.h"

class TOvcColors : public TPersistent {
    ZELMOR_CLASS(TOvcColors, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcColors(TColor DefaultText, TColor DefaultBack);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    // Whether both colours are their defaults; set true, it brings them back.
    bool UseDefault() const { return FUseDefault; }
    void SetUseDefault(bool Value);
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnColorChange;

protected:
    virtual void DoOnColorChange();
    virtual void ResetToDefaultColors();
    // Older forms store UseDefault itself: it is read and dropped.
    void DefineProperties(TFiler* Filer) override;

private:
    void Store(TColor& Field, TColor Value, TColor Default);
    TColor FBackColor;
    TColor FTextColor;
    bool FUseDefault = true;
    TColor FDefaultBack;
    TColor FDefaultText;
};
