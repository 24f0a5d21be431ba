#pragma once
// The number edit: a popup edit whose button opens a calculator under the
// edit and takes the calculator's result back as its text.
#include "reportview/OvcCalc.h"
#include "reportview/OvcEdPop.h"

class TOvcCustomNumberEdit : public TOvcEdPopup {
    ZELMOR_CLASS(TOvcCustomNumberEdit, TOvcEdPopup)
public:
    explicit TOvcCustomNumberEdit(TComponent* AOwner);
    ~TOvcCustomNumberEdit() override;

    bool AllowIncDec() const { return FAllowIncDec; }
    void SetAllowIncDec(bool Value) { FAllowIncDec = Value; }
    TOvcCalculator* Calculator() const { return FCalculator; }

    // The characters of the text that are "+", "-", digits or the decimal
    // separator, converted; EConvertError for anything else (an empty text too).
    double GetAsFloat();
    int32_t GetAsInteger();
    AnsiString GetAsString() { return Text(); }
    void SetAsFloat(double Value);
    void SetAsInteger(int32_t Value);
    void SetAsString(const AnsiString& Value) { SetText(Value); }
    bool GetReadOnly() const { return ReadOnly(); }
    void SetReadOnly(bool Value);

    TOvcCalcColors* PopupColors() const { return FCalculator->Colors(); }
    void SetPopupColors(TOvcCalcColors* Value) { FCalculator->SetColors(Value); }
    TFont* PopupFont() const { return FCalculator->Font(); }
    // Assigned to the calculator's font; nil is ignored.
    void SetPopupFont(TFont* Value) {
        if (Value) FCalculator->SetFont(Value);
    }
    int PopupDecimals() const { return FCalculator->Decimals(); }
    void SetPopupDecimals(int Value) { FCalculator->SetDecimals(Value); }
    int PopupHeight() const { return FCalculator->Height(); }
    void SetPopupHeight(int Value);
    int PopupWidth() const { return FCalculator->Width(); }
    void SetPopupWidth(int Value);

    void PopupOpen() override;
    void PopupClose() override;

protected:
    void GlyphChanged() override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void PopupButtonPressed(TObject* Sender, TOvcCalculatorButton Button);
    void PopupKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PopupKeyPress(TObject* Sender, char& Key);
    void PopupMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Refocus(bool CaretToEnd);

    bool FAllowIncDec = false;
    TOvcCalculator* FCalculator;
    bool FClosing = false;
    TCursor FSavedCursor = crDefault;
};

class TOvcNumberEdit : public TOvcCustomNumberEdit {
    ZELMOR_CLASS(TOvcNumberEdit, TOvcCustomNumberEdit)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcNumberEdit(TComponent* AOwner) : TOvcCustomNumberEdit(AOwner) {}
};
