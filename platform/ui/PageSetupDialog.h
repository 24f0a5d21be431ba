#pragma once
// The page setup dialog: the paper, its orientation and the four margins.
// Margins are kept in thousandths of an inch (pmInches) or hundredths of a
// millimetre (pmMillimeters) and shown in inches or centimetres: both are
// the value over 1000. No margin may reach into what the printer cannot
// print: one below the printer's printable offset becomes that offset, and
// margins that leave no room on the paper are refused with a message. It is
// a modal form of ours: the combo box "Paper" (PaperSizes), the radio
// buttons "Portrait" and "Landscape", the edits "LeftMargin", "RightMargin",
// "TopMargin" and "BottomMargin", the buttons "OK" and "Cancel"; Execute
// asks the dialog script first (CommonDialogs.h).
#include <cstdint>

#include "platform/classes/Properties.h"
#include "platform/gfx/Printers.h"
#include "platform/ui/CommonDialogs.h"

enum TPageMeasureUnits : uint8_t { pmInches, pmMillimeters };
ZELMOR_DECLARE_ENUM(TPageMeasureUnits);
enum TPageSetupOption : uint8_t { psoDisableMargins, psoDisableOrientation, psoDisablePaper };
ZELMOR_DECLARE_ENUM(TPageSetupOption);
using TPageSetupOptions = TSet<TPageSetupOption>;

class TPageSetupDialog : public TCommonDialog {
    ZELMOR_CLASS(TPageSetupDialog, TCommonDialog)
public:
    explicit TPageSetupDialog(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    TPageMeasureUnits Units() const { return FUnits; }
    void SetUnits(TPageMeasureUnits Value) { FUnits = Value; }
    int MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(int Value) { FMarginLeft = Value; }
    int MarginTop() const { return FMarginTop; }
    void SetMarginTop(int Value) { FMarginTop = Value; }
    int MarginRight() const { return FMarginRight; }
    void SetMarginRight(int Value) { FMarginRight = Value; }
    int MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(int Value) { FMarginBottom = Value; }
    // The paper by its printer code (PaperSizes); 0 starts with the printer's.
    int PaperCode() const { return FPaperCode; }
    void SetPaperCode(int Value) { FPaperCode = Value; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value) { FOrientation = Value; }
    TPageSetupOptions Options() const { return FOptions; }
    void SetOptions(TPageSetupOptions Value) { FOptions = Value; }
    // The least margin across and down, in Units: the printer's printable offsets.
    int MinMarginX() const;
    int MinMarginY() const;
    // The paper's width and height in Units for a code and orientation.
    int PaperWidthOf(int Code, TPrinterOrientation Orientation) const;
    int PaperHeightOf(int Code, TPrinterOrientation Orientation) const;
    // Margins kept off the unprintable edge (what OK does to what was typed).
    void ClampMargins();
    // True when the user confirmed: the properties hold the choice.
    bool Execute() override;

private:
    TPageMeasureUnits FUnits = pmInches;
    int FMarginLeft = 1000, FMarginTop = 1000, FMarginRight = 1000, FMarginBottom = 1000;
    int FPaperCode = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TPageSetupOptions FOptions;
};

void RegisterPageSetupDialogClasses();
