#pragma once
// The font dialog: the user picks a face among the fonts installed here
// (InstalledFontNames), a style, a size and, with fdEffects, underline,
// strike-out and a colour. A face typed that is not installed shows in red,
// and OK with it (or with a size that is no number, or outside MinFontSize ..
// MaxFontSize with fdLimitSize) is refused with a message. It is a modal
// form of ours: the edit "FontName" over the list "FontNames", the list
// "FontStyle", the edit "FontSize" over the list "FontSizes", the check boxes
// "Underline" and "StrikeOut", the combo box "FontColor", the buttons "OK" and
// "Cancel"; Execute asks the dialog script first (CommonDialogs.h).
#include <cstdint>
#include <memory>

#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/CommonDialogs.h"

enum TFontDialogOption : uint8_t {
    fdAnsiOnly,
    fdTrueTypeOnly,
    fdEffects,
    fdFixedPitchOnly,
    fdForceFontExist,
    fdNoFaceSel,
    fdNoOEMFonts,
    fdNoSimulations,
    fdNoSizeSel,
    fdNoStyleSel,
    fdNoVectorFonts,
    fdShowHelp,
    fdWysiwyg,
    fdLimitSize,
    fdScalableOnly,
    fdApplyButton
};
ZELMOR_DECLARE_ENUM(TFontDialogOption);
using TFontDialogOptions = TSet<TFontDialogOption>;
enum TFontDialogDevice : uint8_t { fdScreen, fdPrinter, fdBoth };
ZELMOR_DECLARE_ENUM(TFontDialogDevice);

class TFontDialog : public TCommonDialog {
    ZELMOR_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    static void DescribeProperties(TPropertyTable& T);
    // What the dialog starts with, and the choice after OK.
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TFontDialogOptions Options() const { return FOptions; }
    void SetOptions(TFontDialogOptions Value) { FOptions = Value; }
    TFontDialogDevice Device() const { return FDevice; }
    void SetDevice(TFontDialogDevice Value) { FDevice = Value; }
    int MinFontSize() const { return FMinFontSize; }
    void SetMinFontSize(int Value) { FMinFontSize = Value; }
    int MaxFontSize() const { return FMaxFontSize; }
    void SetMaxFontSize(int Value) { FMaxFontSize = Value; }
    // True when the user confirmed: Font holds the choice.
    bool Execute() override;

private:
    std::unique_ptr<TFont> FFont;
    TFontDialogOptions FOptions{fdEffects};
    TFontDialogDevice FDevice = fdScreen;
    int FMinFontSize = 0, FMaxFontSize = 0;
};

// The colours the dialog offers, with their names.
struct TFontDialogColor {
    TColor Color;
    const char* Name;
};
extern const TFontDialogColor FontDialogColors[16];

void RegisterFontDialogClasses();
