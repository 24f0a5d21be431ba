#pragma once
// The colour dialog: the user picks a colour among the basic ones or mixes
// it by its red, green and blue parts, and may keep up to 16 colours of his
// own. It is a modal form of ours (swatches "Basic0".."Basic47" and
// "Custom0".."Custom15", edits "Red", "Green", "Blue", the swatch "Current",
// buttons "AddCustom", "OK" and "Cancel"), which tests answer by script like
// any modal form.
#include <memory>

#include "platform/classes/Component.h"
#include "platform/gfx/Types.h"
#include "platform/rtl/StringList.h"

class TColorDialog : public TComponent {
    ZELMOR_CLASS(TColorDialog, TComponent)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // The custom colours as the lines "ColorA=RRGGBB" .. "ColorP=RRGGBB"
    // (the colour value in hexadecimal, blue first); a missing line is white.
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    // True when the user confirmed: Color and CustomColors then hold his choice.
    bool Execute();

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStringList> FCustomColors;
};

// The 48 colours the dialog offers.
extern const TColor BasicDialogColors[48];
