#pragma once
// The calculator: its arithmetic engine, a simple left-to-right calculator
// with a four-level operand stack, a memory register and the pending
// operation (each operator completes the one before it: 2 + 3 x 4 = 20);
// and the control, a display, an optional paper tape and 29 buttons drawn
// by the control, worked by mouse, keys and the clipboard, also as a popup.
#include <array>
#include <cstdint>
#include <memory>

#include "platform/rtl/Object.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcBase.h"

enum TOvcCalculatorOperation : uint8_t {
    coNone,
    coAdd,
    coSub,
    coMul,
    coDiv,
    coEqual,
    coInvert,
    coPercent,
    coSqrt,
    coMemClear,
    coMemRecall,
    coMemStore,
    coMemAdd,
    coMemSub,
    coSubTotal
};

enum TOvcCalcState : uint8_t { csValid, csLocked, csClear };
using TOvcCalcStates = TSet<TOvcCalcState>;

class TOvcCustomCalculatorEngine : public TObject {
public:
    // Empties the stack and the pending operation; the memory stays.
    void ClearAll();
    // The bottom slot's value is lost.
    void PushOperand(long double Value);
    // The bottom slot becomes 0.
    long double PopOperand();
    long double TopOperand() const { return FStack[0]; }
    // False (nothing pushed) for coNone or without csValid.
    virtual bool AddOperand(long double Value, TOvcCalculatorOperation Operation) = 0;
    // True when the display must show the new top. Division by zero, the
    // square root of a negative number and a result out of range raise
    // EZeroDivide, EInvalidOp and EOverflow, found by checks (no trap).
    virtual bool AddOperation(TOvcCalculatorOperation Operation) = 0;

    int32_t Decimals = 2;
    bool ShowSeparatePercent = false;
    TOvcCalculatorOperation LastOperation = coNone;
    int32_t OperationCount = 0;
    long double Memory = 0;
    TOvcCalcStates State{csValid, csClear};

    long double Operand(int Slot) const { return FStack[size_t(Slot)]; }

protected:
    std::array<long double, 4> FStack{};
};

class TOvcBasicCalculatorEngine : public TOvcCustomCalculatorEngine {
public:
    bool AddOperand(long double Value, TOvcCalculatorOperation Operation) override;
    bool AddOperation(TOvcCalculatorOperation Operation) override;

private:
    void EvaluateOperation(TOvcCalculatorOperation Operation);
};

// --- the control ---

// The display: a click focuses the calculator.
class TOvcCalcPanel : public TPanel {
    ZELMOR_CLASS(TOvcCalcPanel, TPanel)
public:
    explicit TOvcCalcPanel(TComponent* AOwner) : TPanel(AOwner) {}

protected:
    void Click() override;
};

enum TOvcCalculatorButton : uint8_t {
    cbNone,
    cbTape,
    cbBack,
    cbClearEntry,
    cbClear,
    cbAdd,
    cbSub,
    cbMul,
    cbDiv,
    cb0,
    cb1,
    cb2,
    cb3,
    cb4,
    cb5,
    cb6,
    cb7,
    cb8,
    cb9,
    cbDecimal,
    cbEqual,
    cbInvert,
    cbChangeSign,
    cbPercent,
    cbSqrt,
    cbMemClear,
    cbMemRecall,
    cbMemStore,
    cbMemAdd,
    cbMemSub,
    cbSubTotal
};

enum TOvcCalculatorOption : uint8_t {
    coShowItemCount,
    coShowMemoryButtons,
    coShowClearTapeButton,
    coShowTape,
    coShowSeparatePercent
};
ZELMOR_DECLARE_ENUM(TOvcCalculatorOption);
using TOvcCalculatorOptions = TSet<TOvcCalculatorOption>;

enum TOvcCalcColorScheme : uint8_t { cscalcCustom, cscalcWindows, cscalcDark, cscalcOcean, cscalcPlain };
ZELMOR_DECLARE_ENUM(TOvcCalcColorScheme);

// The colours of the display and the five groups of buttons.
class TOvcCalcColors : public TPersistent {
    ZELMOR_CLASS(TOvcCalcColors, TPersistent)
public:
    enum TIndex : uint8_t {
        DisabledMemoryButtons,
        Display,
        DisplayTextColor,
        EditButtons,
        FunctionButtons,
        MemoryButtons,
        NumberButtons,
        OperatorButtons
    };
    static void DescribeProperties(TPropertyTable& T);
    TOvcCalcColors();
    TColor Color(TIndex I) const { return FColors[I]; }
    void SetColor(TIndex I, TColor Value);
    TOvcCalcColorScheme ColorScheme() const { return FScheme; }
    void SetColorScheme(TOvcCalcColorScheme Value);
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    std::array<TColor, 8> FColors{};
    TOvcCalcColorScheme FScheme = cscalcCustom;
    int FUpdating = 0;
    bool FApplying = false;
};

class TOvcCustomCalculator;

// The paper tape: lines of TapeWidth characters, the value right-aligned
// before its operator column, shown in an owner-drawn list box of the
// calculator made the first time it is needed.
class TOvcCalcTape {
public:
    static constexpr int OperatorWidth = 2;
    explicit TOvcCalcTape(TOvcCustomCalculator* AOwner);
    int TapeWidth = 20;
    int MaxPaperCount = 9999;
    TStringList Lines;

    // value, a space and the operator text, right-aligned
    void AddToTape(const AnsiString& Value, const AnsiString& OpText);
    void AddToTapeLeft(const AnsiString& Value);
    void SpaceTape(char C);
    // 30 empty lines
    void ClearTape();
    // Re-fits every line to a new tape width.
    void Refit(int NewWidth);

    // The list box (made on first use).
    TListBox* ListBox();
    bool HasListBox() const { return FListBox != nullptr; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TColor Color() const { return FColor; }
    // Places the list box and shows or hides it.
    void Place(const TRect& Bounds, bool Show);
    // The first line shown: line count - displayed lines + 2.
    void ScrollToEnd();
    // The lines the list box shows, at least 3.
    int DisplayedLines();
    // Whether the operator column of line Index is past the paper count.
    bool PastPaperCount(int Index) const;

private:
    void Append(const AnsiString& Line);
    void SyncItems();
    void DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void LineDblClick(TObject* Sender);
    int TextHeight();

    TOvcCustomCalculator* FOwner;
    TListBox* FListBox = nullptr;
    std::unique_ptr<TFont> FFont;
    TColor FColor = clWindow;
};

struct TOvcButtonInfo {
    TRect Position;
    AnsiString Caption;
    bool Visible = true;
};

using TOvcCalcButtonPressedEvent = TEvent<void(TObject* Sender, TOvcCalculatorButton Button)>;

class TOvcCustomCalculator : public TOvcCustomControl {
    ZELMOR_CLASS(TOvcCustomCalculator, TOvcCustomControl)
public:
    explicit TOvcCustomCalculator(TComponent* AOwner);
    TOvcCustomCalculator(TComponent* AOwner, bool AsPopup);
    ~TOvcCustomCalculator() override;

    void PressButton(TOvcCalculatorButton Button);
    void PushOperand(long double Value);
    void CopyToClipboard();
    void PasteFromClipboard();
    // Clears all and feeds each character to the keys.
    void SetCalcText(const AnsiString& Text);

    long double Display() const { return FDisplay; }
    const AnsiString& DisplayStr() const { return FDisplayStr; }
    // What the display panel shows: right-aligned in the tape width.
    AnsiString PanelText() const;
    long double Memory() const { return FEngine->Memory; }
    long double Operand() const { return FEngine->TopOperand(); }
    void SetOperand(long double Value);
    TStrings* Tape() { return &FTape.Lines; }
    const TOvcCalcTape& TapeObject() const { return FTape; }
    TOvcCustomCalculatorEngine* Engine() const { return FEngine.get(); }
    const TOvcButtonInfo& ButtonInfo(TOvcCalculatorButton B) const { return FButtons[B]; }
    TOvcCalcPanel* Panel() const { return FPanel; }
    bool IsPopup() const { return FPopup; }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TOvcCalcColors* Colors() const { return FColors.get(); }
    void SetColors(TOvcCalcColors* Value) { FColors->Assign(Value); }
    int Decimals() const { return FEngine->Decimals; }
    void SetDecimals(int Value);
    int MaxPaperCount() const { return FTape.MaxPaperCount; }
    void SetMaxPaperCount(int Value);
    TOvcCalculatorOptions Options() const { return FOptions; }
    void SetOptions(TOvcCalculatorOptions Value);
    int TapeHeight() const { return FTapeHeight; }
    void SetTapeHeight(int Value);
    TFont* TapeFont() const { return FTape.Font(); }
    void SetTapeFont(TFont* Value);
    // The tape's list box (made on first use).
    TListBox* TapeListBox() { return FTape.ListBox(); }
    // A number taken from the tape: display, last operand, the engine's top
    // and the display text; the calculator takes the focus.
    void TakeFromTape(long double Value);
    char TapeSeparatorChar() const { return FTapeSeparatorChar; }
    void SetTapeSeparatorChar(char Value) { FTapeSeparatorChar = Value; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Margin and gap of the layout: 6 and 4 above 200 pixels of width, else 4 and 2.
    void CalculateLook();

    TOvcCalcButtonPressedEvent OnButtonPressed;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

private:
    void ClearAll();
    void ErrorDisplay();
    AnsiString FormatValue(long double Value) const;
    void EvaluateButton(TOvcCalculatorButton Button, TOvcCalculatorOperation Op);
    void TypeDigit(int Digit);
    void TypeSeparator();
    void Back();
    void ShowDisplay();
    TOvcCalculatorButton ButtonAt(int X, int Y) const;
    bool FixedPoint() const { return FEngine->Decimals < 0; }

    std::unique_ptr<TOvcBasicCalculatorEngine> FEngine;
    TOvcCalcTape FTape;
    TOvcCalcPanel* FPanel = nullptr;
    std::unique_ptr<TOvcCalcColors> FColors;
    long double FDisplay = 0;
    AnsiString FDisplayStr = "0";
    long double FLastOperand = 0;
    std::array<TOvcButtonInfo, 31> FButtons;
    TOvcCalculatorButton FPressed = cbNone;
    TOvcCalculatorButton FLastButton = cbNone;
    bool FDecimalEntered = false;
    bool FMinusArmed = false;
    bool FPopup = false;
    bool FTapeCleared = false;
    TBorderStyle FBorderStyle = bsNone;
    TOvcCalculatorOptions FOptions{coShowItemCount, coShowMemoryButtons};
    int FTapeHeight = 0;
    char FTapeSeparatorChar = '_';
    AnsiString FFixedDigits;
};

class TOvcCalculator : public TOvcCustomCalculator {
    ZELMOR_CLASS(TOvcCalculator, TOvcCustomCalculator)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcCalculator(TComponent* AOwner) : TOvcCustomCalculator(AOwner) {}
    TOvcCalculator(TComponent* AOwner, bool AsPopup) : TOvcCustomCalculator(AOwner, AsPopup) {}
};
