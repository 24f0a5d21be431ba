#include "reportview/OvcCalc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcMisc.h"

namespace {
// A result the display cannot hold ends the calculation as an overflow would.
long double Checked(long double Value) {
    if (!std::isfinite(Value)) throw EOverflow("Floating point overflow");
    return Value;
}

long double Divided(long double A, long double B) {
    if (B == 0) throw EZeroDivide("Floating point division by zero");
    return Checked(A / B);
}
}  // namespace

// --- TOvcCustomCalculatorEngine ---

void TOvcCustomCalculatorEngine::ClearAll() {
    FStack.fill(0);
    LastOperation = coNone;
    OperationCount = 0;
    State = {csValid, csClear};
}

void TOvcCustomCalculatorEngine::PushOperand(long double Value) {
    for (size_t i = FStack.size() - 1; i > 0; --i) FStack[i] = FStack[i - 1];
    FStack[0] = Value;
}

long double TOvcCustomCalculatorEngine::PopOperand() {
    long double top = FStack[0];
    for (size_t i = 0; i + 1 < FStack.size(); ++i) FStack[i] = FStack[i + 1];
    FStack.back() = 0;
    return top;
}

// --- TOvcBasicCalculatorEngine ---

bool TOvcBasicCalculatorEngine::AddOperand(long double Value, TOvcCalculatorOperation Operation) {
    if (Operation == coNone || !State.Contains(csValid)) return false;
    PushOperand(Value);
    return true;
}

void TOvcBasicCalculatorEngine::EvaluateOperation(TOvcCalculatorOperation Operation) {
    if (!State.Contains(csValid)) return;
    long double& s0 = FStack[0];
    long double& s1 = FStack[1];
    switch (Operation) {
    case coAdd:
        s1 = Checked(s1 + s0);
        PopOperand();
        break;
    case coSub:
        s1 = Checked(s1 - s0);
        PopOperand();
        break;
    case coMul:
        s1 = Checked(s1 * s0);
        PopOperand();
        break;
    case coDiv:
        s1 = Divided(s1, s0);
        PopOperand();
        break;
    case coInvert: s0 = Divided(1, s0); break;
    case coPercent:
        s0 = (LastOperation == coAdd || LastOperation == coSub) ? Checked(s0 / 100 * s1) : s0 / 100;
        State = {csValid, csClear};
        break;
    case coSqrt:
        if (s0 < 0) throw EInvalidOp("Invalid floating point operation");
        s0 = std::sqrt(s0);
        break;
    case coMemClear: Memory = 0; break;
    case coMemRecall:
        s0 = Memory;
        State = {csValid, csClear};
        break;
    case coMemStore:
        Memory = s0;
        State.Include(csClear);
        break;
    case coMemAdd:
        Memory = Checked(Memory + s0);
        State.Include(csClear);
        break;
    case coMemSub:
        Memory = Checked(Memory - s0);
        State.Include(csClear);
        break;
    default: break;
    }
}

bool TOvcBasicCalculatorEngine::AddOperation(TOvcCalculatorOperation Operation) {
    if (!State.Contains(csValid)) return false;
    switch (Operation) {
    case coAdd:
    case coSub:
    case coMul:
    case coDiv: {
        EvaluateOperation(LastOperation);
        State = {csValid, csClear};
        bool sameKind = (Operation == coAdd || Operation == coSub)
                            ? (LastOperation == coAdd || LastOperation == coSub)
                            : LastOperation == Operation;
        OperationCount = sameKind ? OperationCount + 1 : 1;
        LastOperation = Operation;
        return true;
    }
    case coEqual:
        State.Include(csClear);
        if (LastOperation != coNone) {
            EvaluateOperation(LastOperation);
            State = {csValid, csClear};
            LastOperation = LastOperation == coEqual ? coNone : coEqual;
        }
        return true;
    case coPercent:
        EvaluateOperation(coPercent);
        if (!ShowSeparatePercent) {
            EvaluateOperation(LastOperation);
            State = {csValid, csClear};
        }
        OperationCount = LastOperation == coPercent ? OperationCount + 1 : 0;
        if (!ShowSeparatePercent) LastOperation = coEqual;
        return true;
    case coInvert:
    case coSqrt:
    case coMemRecall: EvaluateOperation(Operation); return true;
    case coMemClear:
    case coMemStore:
    case coMemAdd:
    case coMemSub: EvaluateOperation(Operation); return false;
    case coNone: return true;
    default: return false;
    }
}

// --- colours ---

ZELMOR_IMPLEMENT_ENUM(TOvcCalculatorOption, "coShowItemCount", "coShowMemoryButtons", "coShowClearTapeButton",
                      "coShowTape", "coShowSeparatePercent")
ZELMOR_IMPLEMENT_ENUM(TOvcCalcColorScheme, "cscalcCustom", "cscalcWindows", "cscalcDark", "cscalcOcean",
                      "cscalcPlain")
ZELMOR_IMPLEMENT_CLASS(TOvcCalcColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcCalcPanel, TPanel)
ZELMOR_IMPLEMENT_CLASS(TOvcCustomCalculator, TOvcCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TOvcCalculator, TOvcCustomCalculator)

namespace {
using TSchemeColors = std::array<TColor, 8>;
const TSchemeColors kSchemes[5] = {
    {},
    {clGray, clWindow, clWindowText, clMaroon, clNavy, clRed, clBlue, clRed},
    {clGray, clBlack, clAqua, clBlack, clTeal, clNavy, clMaroon, clBlue},
    {clGray, clAqua, clBlack, clPurple, clNavy, clNavy, clAqua, clBlue},
    {clGray, clWhite, clNavy, clBlack, clNavy, clNavy, clBlue, clBlue},
};
}  // namespace

TOvcCalcColors::TOvcCalcColors() : FColors(kSchemes[cscalcWindows]) {}

void TOvcCalcColors::DescribeProperties(TPropertyTable& T) {
    using C = TOvcCalcColors;
    static const char* names[8] = {"DisabledMemoryButtons", "Display",         "DisplayTextColor",
                                   "EditButtons",           "FunctionButtons", "MemoryButtons",
                                   "NumberButtons",         "OperatorButtons"};
    for (int i = 0; i < 8; ++i) {
        auto idx = static_cast<TIndex>(i);
        T.PropertyOf<C>(
             names[i], [idx](C& K) { return K.Color(idx); }, [idx](C& K, TColor V) { K.SetColor(idx, V); })
            .OfType(ColorTypeInfo());
    }
    T.Property("ColorScheme", &C::ColorScheme, &C::SetColorScheme).NoDefault();
}

void TOvcCalcColors::Changed() {
    if (FUpdating > 0) return;
    if (!FApplying) FScheme = cscalcCustom;
    if (OnChange) OnChange(this);
}

void TOvcCalcColors::SetColor(TIndex I, TColor Value) {
    if (FColors[I] == Value) return;
    FColors[I] = Value;
    Changed();
}

void TOvcCalcColors::SetColorScheme(TOvcCalcColorScheme Value) {
    FScheme = Value;
    if (Value == cscalcCustom) return;
    FApplying = true;
    FColors = kSchemes[Value];
    if (FUpdating == 0 && OnChange) OnChange(this);
    FApplying = false;
}

void TOvcCalcColors::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) Changed();
}

void TOvcCalcColors::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TOvcCalcColors*>(Source)) {
        FColors = other->FColors;
        FScheme = other->FScheme;
        OnChange = other->OnChange;
        return;
    }
    TPersistent::Assign(Source);
}

// --- tape ---

TOvcCalcTape::TOvcCalcTape(TOvcCustomCalculator* AOwner) : FOwner(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Courier New");
    FFont->SetSize(10);
    FFont->OnChange = [this](TObject*) {
        if (!FListBox) return;
        FListBox->Font()->Assign(FFont.get());
        FListBox->SetItemHeight(TextHeight());
        ScrollToEnd();
    };
}

void TOvcCalcTape::SetFont(TFont* Value) { FFont->Assign(Value); }

int TOvcCalcTape::TextHeight() {
    TCanvas* c = FOwner->Canvas();
    c->Font()->Assign(FFont.get());
    return std::max(c->TextHeight(" 0123456789"), 1);
}

TListBox* TOvcCalcTape::ListBox() {
    if (FListBox) return FListBox;
    FListBox = new TListBox(FOwner);
    FListBox->SetStyle(lbOwnerDrawFixed);
    FListBox->SetTabStop(false);
    FListBox->SetBorderStyle(bsSingle);
    FListBox->SetParentFont(false);
    FListBox->Font()->Assign(FFont.get());
    FListBox->SetColor(FColor);
    FListBox->SetItemHeight(TextHeight());
    FListBox->SetVisible(false);
    FListBox->OnDrawItem = [this](TWinControl* C, int I, TRect R, TOwnerDrawState S) {
        DrawItem(C, I, R, S);
    };
    FListBox->OnDblClick = [this](TObject* Sender) { LineDblClick(Sender); };
    FListBox->OnClick = [this](TObject*) {
        if (FOwner->CanFocus()) FOwner->SetFocus();
    };
    FListBox->SetParent(FOwner);
    SyncItems();
    return FListBox;
}

void TOvcCalcTape::Place(const TRect& Bounds, bool Show) {
    if (!Show && !FListBox) return;  // made when first shown
    TListBox* lb = ListBox();
    lb->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    lb->SetVisible(Show);
    ScrollToEnd();
}

int TOvcCalcTape::DisplayedLines() {
    if (!FListBox) return 3;
    return std::max(FListBox->ClientHeight() / TextHeight(), 3);
}

void TOvcCalcTape::ScrollToEnd() {
    if (!FListBox || !FListBox->HandleAllocated()) return;
    FListBox->SetTopIndex(std::max(Lines.Count() - DisplayedLines() + 2, 0));
}

void TOvcCalcTape::SyncItems() {
    if (!FListBox) return;
    FListBox->Items()->Assign(&Lines);
    ScrollToEnd();
}

bool TOvcCalcTape::PastPaperCount(int Index) const {
    int first = 0;
    while (first < Lines.Count() && Lines.Strings(first).empty()) ++first;
    return first < Lines.Count() && Index - first >= MaxPaperCount;
}

void TOvcCalcTape::DrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
    TCanvas* c = FListBox->Canvas();
    c->Font()->Assign(FFont.get());
    c->Brush()->SetColor(FColor);
    c->FillRect(Rect);
    if (Index < 0 || Index >= Lines.Count()) return;
    AnsiString line = Lines.Strings(Index);
    if (line.empty()) return;
    // Negative values in red (the value after the padding of a right-aligned line).
    size_t start = line.find_first_not_of(' ');
    c->Font()->SetColor(start != AnsiString::npos && line[start] == '-' ? clRed : clWindowText);
    if (int(line.size()) < TapeWidth) line.resize(size_t(TapeWidth), ' ');
    // The last character goes after the rest, on red once the paper count is passed.
    AnsiString body = line.substr(0, line.size() - 1);
    c->SetBkMode(OPAQUE);
    c->TextOut(Rect.Left + 2, Rect.Top, body);
    int x = Rect.Left + 2 + c->TextWidth(body);
    if (PastPaperCount(Index)) {
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect(x, Rect.Top, x + c->TextWidth(line.substr(line.size() - 1)), Rect.Bottom));
    }
    c->SetBkMode(TRANSPARENT);
    c->TextOut(x, Rect.Top, line.substr(line.size() - 1));
}

void TOvcCalcTape::LineDblClick(TObject*) {
    int i = FListBox->ItemIndex();
    if (i < 0 || i >= Lines.Count()) return;
    const AnsiString& line = Lines.Strings(i);
    if (int(line.size()) <= OperatorWidth) return;
    AnsiString text = TrimLeft(TrimRight(line.substr(0, line.size() - size_t(OperatorWidth))));
    if (text.empty() ||
        (text[0] == '0' && text.compare(0, 2, AnsiString("0") + FormatSettings().DecimalSeparator) != 0))
        return;
    std::replace(text.begin(), text.end(), FormatSettings().DecimalSeparator, '.');
    char* end = nullptr;
    long double v = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return;  // not a number: ignored
    FOwner->TakeFromTape(v);
}

void TOvcCalcTape::Append(const AnsiString& Line) {
    // Empty lines at the top give way first: the paper scrolls up.
    bool dropFirst = Lines.Count() > 0 && Lines.Strings(0).empty();
    if (dropFirst) Lines.Delete(0);
    Lines.Add(Line);
    if (FListBox) {
        if (dropFirst && FListBox->Items()->Count() > 0) FListBox->Items()->Delete(0);
        FListBox->Items()->Add(Line);
        ScrollToEnd();
    }
}

void TOvcCalcTape::AddToTape(const AnsiString& Value, const AnsiString& OpText) {
    AnsiString body = Value + " " + OpText;
    int pad = TapeWidth - OperatorWidth - int(Value.size());
    Append(AnsiString(size_t(std::max(pad, 0)), ' ') + body);
}

void TOvcCalcTape::AddToTapeLeft(const AnsiString& Value) {
    AnsiString s = Value;
    if (int(s.size()) < TapeWidth) s.resize(size_t(TapeWidth), ' ');
    Append(s);
}

void TOvcCalcTape::SpaceTape(char C) { Append(AnsiString(size_t(std::max(TapeWidth, 1)), C)); }

void TOvcCalcTape::ClearTape() {
    Lines.Clear();
    for (int i = 0; i < 30; ++i) Lines.Add("");
    SyncItems();
}

void TOvcCalcTape::Refit(int NewWidth) {
    int delta = NewWidth - TapeWidth;
    TapeWidth = NewWidth;
    if (delta == 0) return;
    for (int i = 0; i < Lines.Count(); ++i) {
        AnsiString s = Lines.Strings(i);
        if (s.empty()) continue;
        bool separator =
            s.find_first_not_of(s[0]) == AnsiString::npos && !(s[0] >= '0' && s[0] <= '9') && s[0] != ' ';
        if (separator) s = AnsiString(size_t(std::max(NewWidth, 1)), s[0]);
        else if (s[0] != ' ' && s[0] != '-' && !(s[0] >= '1' && s[0] <= '9')) {
            // left-aligned (the item count, "0."): padded on the right
            s = TrimRight(s);
            if (int(s.size()) < NewWidth) s.resize(size_t(NewWidth), ' ');
        } else if (delta > 0) s.insert(0, size_t(delta), ' ');
        else if (s.compare(0, size_t(-delta), AnsiString(size_t(-delta), ' ')) == 0)
            s.erase(0, size_t(-delta));
        Lines.SetStrings(i, s);
    }
    SyncItems();
}

// --- the control ---

void TOvcCalcPanel::Click() {
    TPanel::Click();
    if (auto* calc = dynamic_cast<TWinControl*>(Parent()); calc && calc->CanFocus()) calc->SetFocus();
}

namespace {
struct TButtonDef {
    TOvcCalculatorButton Button;
    const char* Caption;
    uint16_t CaptionId;
    TOvcCalculatorOperation Op;
    const char* TapeText;
};
const TButtonDef kButtons[] = {
    {cbNone, "", 0, coNone, "  "},
    {cbTape, "", 30299, coNone, "  "},
    {cbBack, "", 30293, coNone, "  "},
    {cbClearEntry, "", 30300, coNone, "CE"},
    {cbClear, "", 30301, coNone, "C"},
    {cbAdd, "+", 0, coAdd, "+"},
    {cbSub, "-", 0, coSub, "-"},
    {cbMul, "*", 0, coMul, "*"},
    {cbDiv, "/", 0, coDiv, "/"},
    {cb0, "0", 0, coNone, "  "},
    {cb1, "1", 0, coNone, "  "},
    {cb2, "2", 0, coNone, "  "},
    {cb3, "3", 0, coNone, "  "},
    {cb4, "4", 0, coNone, "  "},
    {cb5, "5", 0, coNone, "  "},
    {cb6, "6", 0, coNone, "  "},
    {cb7, "7", 0, coNone, "  "},
    {cb8, "8", 0, coNone, "  "},
    {cb9, "9", 0, coNone, "  "},
    {cbDecimal, "", 0, coNone, "  "},
    {cbEqual, "=", 0, coEqual, "="},
    {cbInvert, "1/x", 0, coInvert, "1/"},
    {cbChangeSign, "+/-", 0, coNone, "-+"},
    {cbPercent, "%", 0, coPercent, "%"},
    {cbSqrt, "", 30302, coSqrt, "SQ"},
    {cbMemClear, "", 30294, coMemClear, "MC"},
    {cbMemRecall, "", 30295, coMemRecall, "MR"},
    {cbMemStore, "", 30296, coMemStore, "MS"},
    {cbMemAdd, "", 30297, coMemAdd, "M+"},
    {cbMemSub, "", 30298, coMemSub, "M-"},
    {cbSubTotal, "", 0, coSubTotal, "*"},
};

bool IsOperator(TOvcCalculatorButton B) { return B >= cbAdd && B <= cbDiv; }
bool IsMemory(TOvcCalculatorButton B) { return B >= cbMemClear && B <= cbMemSub; }
}  // namespace

TOvcCustomCalculator::TOvcCustomCalculator(TComponent* AOwner) : TOvcCustomCalculator(AOwner, false) {}

TOvcCustomCalculator::TOvcCustomCalculator(TComponent* AOwner, bool AsPopup)
    : TOvcCustomControl(AOwner), FEngine(std::make_unique<TOvcBasicCalculatorEngine>()), FTape(this),
      FColors(std::make_unique<TOvcCalcColors>()), FPopup(AsPopup) {
    SetColor(clBtnFace);
    SetTabStop(true);
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(8);
    FPanel = new TOvcCalcPanel(this);
    FPanel->SetAlignment(taLeftJustify);
    FPanel->SetBevelOuter(bvLowered);
    FPanel->SetBevelWidth(2);
    FPanel->SetColor(clWindow);
    FPanel->Font()->SetName("Courier New");
    FPanel->Font()->SetSize(10);
    FPanel->SetCaption("0 ");
    FColors->OnChange = [this](TObject*) {
        if (HandleAllocated()) CalculateLook();
        Invalidate();
    };
    for (const TButtonDef& d : kButtons)
        FButtons[d.Button].Caption = d.CaptionId ? GetRvLibStr(d.CaptionId) : AnsiString(d.Caption);
    FButtons[cbDecimal].Caption = AnsiString(1, FormatSettings().DecimalSeparator);
    FEngine->Decimals = 2;
    FTape.MaxPaperCount = 9999;
    SetBounds(Left(), Top(), 200, 140);
    FTapeHeight = 140 / 3;
}

TOvcCustomCalculator::~TOvcCustomCalculator() = default;

void TOvcCustomCalculator::SetTapeFont(TFont* Value) { FTape.SetFont(Value); }

void TOvcCustomCalculator::SetMaxPaperCount(int Value) {
    FTape.MaxPaperCount = Value;
    if (FTape.HasListBox()) FTape.ListBox()->Invalidate();
}

void TOvcCustomCalculator::TakeFromTape(long double Value) {
    FDisplay = Value;
    FLastOperand = Value;
    FEngine->PopOperand();
    FEngine->PushOperand(Value);
    FDisplayStr = FormatValue(Value);
    ShowDisplay();
    if (CanFocus()) SetFocus();
}

void TOvcCustomCalculator::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcCustomCalculator::SetDecimals(int Value) {
    FEngine->Decimals = Value;
    ShowDisplay();
}

void TOvcCustomCalculator::SetOptions(TOvcCalculatorOptions Value) {
    FOptions = Value;
    FEngine->ShowSeparatePercent = Value.Contains(coShowSeparatePercent);
    if (HandleAllocated()) CalculateLook();
    Invalidate();
}

void TOvcCustomCalculator::SetTapeHeight(int Value) {
    FTapeHeight = std::max(Value, 30);
    if (HandleAllocated()) CalculateLook();
}

void TOvcCustomCalculator::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    bool tape = FOptions.Contains(coShowTape);
    int dh = AHeight - Height();
    bool topMoved = ATop != Top();
    TOvcCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (tape && dh != 0 && topMoved) FTapeHeight = std::max(FTapeHeight + dh, 30);
    if (HandleAllocated()) CalculateLook();
}

void TOvcCustomCalculator::CreateParams(TCreateParams& Params) {
    TOvcCustomControl::CreateParams(Params);
    if (FPopup) {
        Params.Style = WS_POPUP | WS_BORDER;
        Params.WindowClass.Style |= CS_SAVEBITS;
    } else if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TOvcCustomCalculator::CreateWnd() {
    TOvcCustomControl::CreateWnd();
    FPanel->SetParent(this);
    CalculateLook();
    ClearAll();
    FPanel->SetColor(FColors->Color(TOvcCalcColors::Display));
    FPanel->Font()->SetColor(FColors->Color(TOvcCalcColors::DisplayTextColor));
}

void TOvcCustomCalculator::CalculateLook() {
    int cw = ClientWidth(), ch = ClientHeight();
    int m = cw > 200 ? 6 : 4, g = cw > 200 ? 4 : 2;
    Canvas()->Font()->Assign(FPanel->Font());
    int charWidth = std::max(Canvas()->TextWidth(" 0123456789") / 11, 1);
    int panelHeight = Canvas()->TextHeight("0") + 8;
    int top = m;
    bool tape = FOptions.Contains(coShowTape);
    if (tape) top += FTapeHeight + g;
    FPanel->SetBounds(m, top, cw - 2 * m, panelHeight);
    int tapeWidthPx = tape ? cw - 2 * m : cw - 2 * m;
    FTape.Refit(std::max((tapeWidthPx - 18 - charWidth / 2) / charWidth, 4));
    FTape.Place(TRect(m, m, cw - m, m + FTapeHeight), tape);
    bool memory = FOptions.Contains(coShowMemoryButtons);
    int w = memory ? (cw - 3 * m - 4 * g) / 6 : (cw - 2 * m - 4 * g) / 5;
    int y0 = top + panelHeight + g;
    int rh = std::max((ch - m - y0 - 4 * g) / 5, 1);
    int x1 = cw - m - (5 * w + 4 * g);
    auto place = [&](TOvcCalculatorButton b, int x, int row, int width) {
        int y = y0 + row * (rh + g);
        FButtons[b].Position = TRect(x, y, x + width, y + rh);
        FButtons[b].Visible = true;
    };
    // Row 1: the wide buttons, from the right edge.
    bool tapeButton = FOptions.Contains(coShowClearTapeButton);
    int n = tapeButton ? 4 : 3;
    int bw = tapeButton ? (g + 5 * w) / 4 : (g + 4 * w) / 3;
    TOvcCalculatorButton wide[] = {cbTape, cbBack, cbClearEntry, cbClear};
    FButtons[cbTape].Visible = tapeButton;
    for (int k = 0; k < n; ++k) {
        TOvcCalculatorButton b = wide[4 - n + k];
        place(b, cw - m - (n - k) * bw - (n - 1 - k) * g, 0, bw);
    }
    const TOvcCalculatorButton grid[4][5] = {{cb7, cb8, cb9, cbDiv, cbSqrt},
                                             {cb4, cb5, cb6, cbMul, cbPercent},
                                             {cb1, cb2, cb3, cbSub, cbInvert},
                                             {cb0, cbChangeSign, cbDecimal, cbAdd, cbEqual}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) place(grid[r][c], x1 + c * (w + g), r + 1, w);
    TOvcCalculatorButton mem[] = {cbMemClear, cbMemRecall, cbMemStore, cbMemAdd, cbMemSub};
    for (int r = 0; r < 5; ++r) {
        place(mem[r], m, r, w);
        FButtons[mem[r]].Visible = memory;
    }
    FButtons[cbNone].Visible = FButtons[cbSubTotal].Visible = false;
    ShowDisplay();
}

AnsiString TOvcCustomCalculator::FormatValue(long double Value) const {
    char buf[512];
    int d = FEngine->Decimals;
    if (d != 0) std::snprintf(buf, sizeof buf, "%.*Lf", std::abs(d), Value);
    else std::snprintf(buf, sizeof buf, "%Lg", Value);
    AnsiString s = buf;
    std::replace(s.begin(), s.end(), '.', FormatSettings().DecimalSeparator);
    return s;
}

AnsiString TOvcCustomCalculator::PanelText() const {
    int pad = FTape.TapeWidth - 2 - int(FDisplayStr.size());
    return AnsiString(size_t(std::max(pad, 0)), ' ') + FDisplayStr + "  ";
}

void TOvcCustomCalculator::ShowDisplay() { FPanel->SetCaption(PanelText()); }

void TOvcCustomCalculator::ClearAll() {
    FEngine->ClearAll();
    FLastOperand = 0;
    FDisplay = 0;
    FDisplayStr = "0";
    FMinusArmed = false;
    FDecimalEntered = false;
    FFixedDigits.clear();
    if (!FTapeCleared) {
        FTape.ClearTape();
        FTapeCleared = true;
    }
    ShowDisplay();
}

void TOvcCustomCalculator::ErrorDisplay() {
    FDisplayStr = "****** ";
    FPanel->SetCaption(PanelText());
    FEngine->State = {csLocked};
    MessageBeep(0);
}

void TOvcCustomCalculator::PushOperand(long double Value) {
    FEngine->PushOperand(Value);
    FLastOperand = Value;
    FDisplay = Value;
    FDisplayStr = FormatValue(Value);
    ShowDisplay();
}

void TOvcCustomCalculator::SetOperand(long double Value) {
    if (Value != FEngine->TopOperand()) PushOperand(Value);
}

void TOvcCustomCalculator::EvaluateButton(TOvcCalculatorButton Button, TOvcCalculatorOperation Op) {
    if (!FEngine->AddOperation(Op)) return;
    const char* tapeText = kButtons[Button].TapeText;
    if (Button == FLastButton && IsOperator(Button)) FTape.AddToTape(FormatValue(FLastOperand), tapeText);
    else if (IsOperator(Button) || Button == cbEqual || Button == cbPercent || Button == cbNone)
        FTape.AddToTape(FDisplayStr, tapeText);
    FDisplay = FEngine->TopOperand();
    if (Button == cbEqual && FEngine->LastOperation == coEqual) {
        if (FOptions.Contains(coShowItemCount)) {
            char count[16];
            std::snprintf(count, sizeof count, "%3.3d", FEngine->OperationCount + 1);
            FTape.AddToTapeLeft(count);
        }
        FTape.AddToTape(FormatValue(FDisplay), "*");
        FTape.SpaceTape(FTapeSeparatorChar);
    }
    FDisplayStr = FormatValue(FDisplay);
    ShowDisplay();
}

void TOvcCustomCalculator::TypeDigit(int Digit) {
    if (FLastButton == cbEqual) ClearAll();
    bool fresh = FEngine->State.Contains(csClear);
    if (fresh) {
        FDisplayStr.clear();
        FDecimalEntered = false;
        FFixedDigits.clear();
    }
    if (FixedPoint() && !FDecimalEntered) {
        // The separator moves right with every digit: 1, 2, 3 give 0.01, 0.12, 1.23.
        FFixedDigits += char('0' + Digit);
        long double v = std::strtold(FFixedDigits.c_str(), nullptr) / std::pow(10.0L, -FEngine->Decimals);
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.*Lf", -FEngine->Decimals, v);
        FDisplayStr = buf;
        std::replace(FDisplayStr.begin(), FDisplayStr.end(), '.', FormatSettings().DecimalSeparator);
    } else FDisplayStr += char('0' + Digit);
    if (FMinusArmed) {
        FDisplayStr.insert(0, 1, '-');
        FMinusArmed = false;
    }
    AnsiString t = FDisplayStr;
    std::replace(t.begin(), t.end(), FormatSettings().DecimalSeparator, '.');
    FLastOperand = std::strtold(t.c_str(), nullptr);
    FDisplay = FLastOperand;
    if (FLastOperand == 0 && !FDecimalEntered && !FixedPoint()) {
        FDisplayStr = "0";
        FEngine->State = {csValid, csClear};
    } else FEngine->State = {csValid};
    ShowDisplay();
}

void TOvcCustomCalculator::TypeSeparator() {
    char sep = FormatSettings().DecimalSeparator;
    if (FEngine->State.Contains(csClear)) {
        FDisplayStr = AnsiString("0") + sep;
        FFixedDigits.clear();
    } else if (FDecimalEntered) return;
    else if (FDisplayStr.empty()) FDisplayStr = AnsiString("0") + sep;
    else if (!FixedPoint()) FDisplayStr += sep;
    FDecimalEntered = true;
    FEngine->State = {csValid};
    ShowDisplay();
}

void TOvcCustomCalculator::Back() {
    AnsiString t = FDisplayStr;
    std::replace(t.begin(), t.end(), FormatSettings().DecimalSeparator, '.');
    if (std::strtold(t.c_str(), nullptr) == 0) return;
    if (FixedPoint() && !FFixedDigits.empty()) {
        FFixedDigits.pop_back();
        if (FFixedDigits.empty()) FFixedDigits = "0";
        long double v = std::strtold(FFixedDigits.c_str(), nullptr) / std::pow(10.0L, -FEngine->Decimals);
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.*Lf", -FEngine->Decimals, v);
        FDisplayStr = buf;
        std::replace(FDisplayStr.begin(), FDisplayStr.end(), '.', FormatSettings().DecimalSeparator);
    } else FDisplayStr.pop_back();
    if (FDisplayStr.size() < 2 && (FDisplayStr.empty() || FDisplayStr == "-")) FDisplayStr = "0";
    t = FDisplayStr;
    std::replace(t.begin(), t.end(), FormatSettings().DecimalSeparator, '.');
    FLastOperand = std::strtold(t.c_str(), nullptr);
    FDisplay = FLastOperand;
    ShowDisplay();
}

void TOvcCustomCalculator::PressButton(TOvcCalculatorButton Button) {
    if (!HandleAllocated()) return;
    FPressed = Button;
    try {
        if (FLastButton != cbClear && Button == cbClear) {
            ClearAll();
            FTape.SpaceTape(FTapeSeparatorChar);
        }
        if (FEngine->State.Contains(csLocked)) {
            MessageBeep(0);
            FPressed = cbNone;
            return;
        }
        if (Button == cbEqual &&
            (FLastButton == cbEqual || FLastButton == cbClear || FLastButton == cbNone)) {
            ClearAll();
        } else {
            TOvcCalculatorOperation op = kButtons[Button].Op;
            bool direct = (FLastButton == cbPercent && (IsOperator(Button) || Button == cbEqual)) ||
                          ((FLastButton == cbEqual || FLastButton == cbMemRecall) && IsOperator(Button));
            if (direct) {
                if (FLastButton == cbEqual || FLastButton == cbMemRecall) {
                    AnsiString t = FDisplayStr;
                    std::replace(t.begin(), t.end(), FormatSettings().DecimalSeparator, '.');
                    FEngine->PushOperand(std::strtold(t.c_str(), nullptr));
                }
                EvaluateButton(Button, op);
            } else if (Button == cbMemStore) {
                if (FLastButton != cbEqual) FEngine->AddOperation(coMemStore);
                FEngine->Memory = FDisplay;
            } else if (op != coNone && FEngine->AddOperand(FLastOperand, op)) {
                EvaluateButton(Button, op);
                if (Button == cbEqual || Button == cbInvert || Button == cbSqrt)
                    FLastOperand = FEngine->PopOperand();
            }
            switch (Button) {
            case cbTape: FTape.ClearTape(); break;
            case cbBack: Back(); break;
            case cbClearEntry:
                FDisplayStr = "0";
                FLastOperand = 0;
                FDisplay = 0;
                FFixedDigits.clear();
                ShowDisplay();
                break;
            case cbDecimal: TypeSeparator(); break;
            case cbChangeSign:
                if (FEngine->State.Contains(csClear) && FLastButton != cbEqual) FMinusArmed = !FMinusArmed;
                else {
                    if (!FDisplayStr.empty() && FDisplayStr[0] == '-') FDisplayStr.erase(0, 1);
                    else FDisplayStr.insert(0, 1, '-');
                    FLastOperand = -FLastOperand;
                    FDisplay = FLastOperand;
                    ShowDisplay();
                }
                break;
            default:
                if (Button >= cb0 && Button <= cb9) TypeDigit(Button - cb0);
                else if (IsMemory(Button)) Invalidate();
                break;
            }
        }
    } catch (...) {
        ErrorDisplay();
    }
    if (!(Focused() && GetAsyncKeyState(VK_LBUTTON) < 0)) FPressed = cbNone;
    FLastButton = Button;
    Invalidate();
    if (OnButtonPressed) OnButtonPressed(this, Button);
}

void TOvcCustomCalculator::CopyToClipboard() { ClipboardSetText(TrimLeft(TrimRight(FDisplayStr))); }

void TOvcCustomCalculator::PasteFromClipboard() {
    AnsiString text = ClipboardGetText();
    ClearAll();
    char sep = FormatSettings().DecimalSeparator;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == '%' || c == '*' || c == '+' || c == '-' || c == '.' || c == '/' ||
            c == '=' || c == sep) {
            char k = c;
            KeyPress(k);
        }
}

void TOvcCustomCalculator::SetCalcText(const AnsiString& Text) {
    ClearAll();
    for (char c : Text) {
        char k = c;
        KeyPress(k);
    }
}

void TOvcCustomCalculator::KeyPress(char& Key) {
    TOvcCustomControl::KeyPress(Key);
    char sep = FormatSettings().DecimalSeparator;
    TOvcCalculatorButton b = cbNone;
    switch (Key) {
    case 3: CopyToClipboard(); return;
    case 22: PasteFromClipboard(); return;
    case 8: b = cbBack; break;
    case 12: b = cbMemClear; break;
    case 16: b = cbMemAdd; break;
    case 18: b = cbMemRecall; break;
    case 19: b = cbMemSub; break;
    case 20: b = cbTape; break;
    case 27: b = cbClear; break;
    case '%': b = cbPercent; break;
    case '*': b = cbMul; break;
    case '+': b = cbAdd; break;
    case '-': b = cbSub; break;
    case '/': b = cbDiv; break;
    case '=': b = cbEqual; break;
    case '@': b = cbSqrt; break;
    case 'r': b = cbInvert; break;
    default:
        if (Key >= '0' && Key <= '9') b = TOvcCalculatorButton(cb0 + (Key - '0'));
        else if (Key == '.' || Key == sep) b = cbDecimal;
        break;
    }
    if (b != cbNone) PressButton(b);
}

void TOvcCustomCalculator::KeyDown(WORD& Key, TShiftState Shift) {
    TOvcCustomControl::KeyDown(Key, Shift);
    bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    if (Key == VK_DELETE && plain) PressButton(cbClearEntry);
    else if (Key == VK_F9 && plain) PressButton(cbChangeSign);
    else if (Key == VK_RETURN) PressButton(cbEqual);
    else if (Key == 'M' && Shift.Contains(ssCtrl)) PressButton(cbMemStore);
}

TOvcCalculatorButton TOvcCustomCalculator::ButtonAt(int X, int Y) const {
    for (int b = cbTape; b < cbSubTotal; ++b)
        if (FButtons[size_t(b)].Visible && PtInRect(FButtons[size_t(b)].Position, TPoint(X, Y)))
            return TOvcCalculatorButton(b);
    return cbNone;
}

void TOvcCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TOvcCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (!FPopup && CanFocus()) SetFocus();
    TOvcCalculatorButton b = ButtonAt(X, Y);
    if ((b == cbMemClear || b == cbMemRecall) && FEngine->Memory == 0) return;
    FPressed = b;
    Invalidate();
}

void TOvcCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TOvcCustomControl::MouseUp(Button, Shift, X, Y);
    TOvcCalculatorButton b = ButtonAt(X, Y);
    TOvcCalculatorButton pressed = FPressed;
    FPressed = cbNone;
    if (Button == mbLeft && b != cbNone && b == pressed) PressButton(b);
    Invalidate();
}

void TOvcCustomCalculator::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
}

void TOvcCustomCalculator::WndProc(TMessage& Message) {
    if (Message.Msg == WM_GETTEXT && FPanel) {
        AnsiString text = FPanel->Caption();
        size_t n = std::min(text.size(), size_t(Message.WParam) > 0 ? size_t(Message.WParam) - 1 : 0);
        if (Message.LParam && Message.WParam) {
            std::memcpy(reinterpret_cast<char*>(Message.LParam), text.data(), n);
            reinterpret_cast<char*>(Message.LParam)[n] = '\0';
        }
        Message.Result = LRESULT(n);
        return;
    }
    if (Message.Msg == WM_SETTEXT && Message.LParam) {
        SetCalcText(reinterpret_cast<const char*>(Message.LParam));
        Message.Result = 1;
        return;
    }
    TOvcCustomControl::WndProc(Message);
}

void TOvcCustomCalculator::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    for (int i = cbTape; i < cbSubTotal; ++i) {
        auto b = TOvcCalculatorButton(i);
        const TOvcButtonInfo& info = FButtons[b];
        if (!info.Visible) continue;
        TRect inner = DrawButtonFrame(c, info.Position, FPressed == b, false, bsNew);
        TOvcCalcColors::TIndex group = TOvcCalcColors::NumberButtons;
        if (b <= cbClear) group = TOvcCalcColors::EditButtons;
        else if (IsOperator(b) || b == cbEqual) group = TOvcCalcColors::OperatorButtons;
        else if (b == cbInvert || b == cbChangeSign || b == cbPercent || b == cbSqrt)
            group = TOvcCalcColors::FunctionButtons;
        else if (IsMemory(b))
            group = (b == cbMemClear || b == cbMemRecall) && FEngine->Memory == 0
                        ? TOvcCalcColors::DisabledMemoryButtons
                        : TOvcCalcColors::MemoryButtons;
        c->Font()->SetColor(FColors->Color(group));
        c->SetBkMode(TRANSPARENT);
        c->DrawText(info.Caption, inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (Focused()) {
        TRect r = FButtons[cbEqual].Position;
        c->DrawFocusRect(TRect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3));
    }
}

void TOvcCalculator::DescribeProperties(TPropertyTable& T) {
    using K = TOvcCustomCalculator;
    TControl::PublishStandard(T, {"Align",       "Color",       "Ctl3D",      "Enabled",        "Font",
                                  "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",
                                  "ShowHint",    "TabOrder",    "TabStop",    "Visible",        "OnClick",
                                  "OnEnter",     "OnExit",      "OnKeyDown",  "OnKeyPress",     "OnKeyUp",
                                  "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    T.Property("About", &K::About, &K::SetAbout);
    T.Property("BorderStyle", &K::BorderStyle, &K::SetBorderStyle).Default(bsNone);
    T.Property("Colors", &K::Colors, &K::SetColors);
    T.Property("Decimals", &K::Decimals, &K::SetDecimals).Default(2);
    T.Property("MaxPaperCount", &K::MaxPaperCount, &K::SetMaxPaperCount).Default(9999);
    T.Property("Options", &K::Options, &K::SetOptions);
    T.Property("TapeFont", &K::TapeFont, &K::SetTapeFont);
    T.Property("TapeHeight", &K::TapeHeight, &K::SetTapeHeight).NoDefault();
    T.PropertyOf<K>(
        "LabelInfo", [](K& C) { return C.LabelInfo(); }, [](K& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.Event("OnButtonPressed", &K::OnButtonPressed);
}
