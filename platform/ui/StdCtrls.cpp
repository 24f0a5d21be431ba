#include "platform/ui/StdCtrls.h"

#include <algorithm>
#include <functional>

#include "platform/ui/Forms.h"
#include "platform/win/Display.h"
#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")
ZELMOR_IMPLEMENT_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

ZELMOR_IMPLEMENT_CLASS(TCustomEdit, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TEdit, TCustomEdit)
ZELMOR_IMPLEMENT_CLASS(TCustomMemo, TCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TMemo, TCustomMemo)
ZELMOR_IMPLEMENT_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom")
ZELMOR_IMPLEMENT_ENUM(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")
ZELMOR_IMPLEMENT_CLASS(TCustomLabel, TGraphicControl)
ZELMOR_IMPLEMENT_COMPONENT(TLabel, TCustomLabel)
ZELMOR_IMPLEMENT_CLASS(TButtonControl, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TButton, TButtonControl)
ZELMOR_IMPLEMENT_CLASS(TCustomCheckBox, TButtonControl)
ZELMOR_IMPLEMENT_COMPONENT(TCheckBox, TCustomCheckBox)
ZELMOR_IMPLEMENT_COMPONENT(TRadioButton, TButtonControl)
ZELMOR_IMPLEMENT_CLASS(TCustomGroupBox, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TGroupBox, TCustomGroupBox)
ZELMOR_IMPLEMENT_ENUM(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable")
ZELMOR_IMPLEMENT_CLASS(TCustomListBox, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TListBox, TCustomListBox)
ZELMOR_IMPLEMENT_ENUM(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                      "csOwnerDrawVariable")
ZELMOR_IMPLEMENT_CLASS(TCustomComboBox, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TComboBox, TCustomComboBox)

namespace {

// The answer to a window class asking for its colours: the control's font
// colour on its own colour.
void AnswerCtlColor(TWinControl& Control, TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (DC) {
        DC->SetTextColor(Control.Font()->Color());
        DC->SetBkColor(Control.Brush()->Color());
    }
    Message.Result = reinterpret_cast<LRESULT>(Control.Brush());
}

int TextHeightOf(TFont* Font, std::string_view Text) {
    int H = 13;
    if (HDC DC = GetDC(nullptr)) {
        DC->Font()->Assign(Font);
        H = DC->TextHeight(Text);
        ReleaseDC(nullptr, DC);
    }
    return H;
}

// The lines of a memo, read from and written into its text.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

    int Count() const override { return static_cast<int>(Split().size()); }
    AnsiString Get(int Index) const override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size())) Error("List index out of bounds (%d)", Index);
        return FMemo->Text().substr(L[static_cast<size_t>(Index)].Start,
                                    L[static_cast<size_t>(Index)].End - L[static_cast<size_t>(Index)].Start);
    }
    void Put(int Index, const AnsiString& S) override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size())) Error("List index out of bounds (%d)", Index);
        AnsiString T = FMemo->Text();
        T.replace(L[static_cast<size_t>(Index)].Start,
                  L[static_cast<size_t>(Index)].End - L[static_cast<size_t>(Index)].Start, S);
        FMemo->SetText(T);
    }
    void Insert(int Index, const AnsiString& S) override {
        auto L = Split();
        if (Index < 0 || Index > static_cast<int>(L.size())) Error("List index out of bounds (%d)", Index);
        AnsiString T = FMemo->Text();
        if (Index < static_cast<int>(L.size())) {
            T.insert(L[static_cast<size_t>(Index)].Start, S + "\r\n");
        } else if (T.empty() || T.back() == '\n' || T.back() == '\r') {
            T += S + "\r\n";
        } else {
            T += "\r\n" + S;
        }
        FMemo->SetText(T);
    }
    void Delete(int Index) override {
        auto L = Split();
        if (Index < 0 || Index >= static_cast<int>(L.size())) Error("List index out of bounds (%d)", Index);
        AnsiString T = FMemo->Text();
        T.erase(L[static_cast<size_t>(Index)].Start,
                L[static_cast<size_t>(Index)].Next - L[static_cast<size_t>(Index)].Start);
        FMemo->SetText(T);
    }
    void Clear() override { FMemo->SetText(""); }
    AnsiString Text() const override { return FMemo->Text(); }
    void SetText(std::string_view Text) override { FMemo->SetText(AnsiString(Text)); }

private:
    struct TLine {
        size_t Start, End, Next;
    };
    // The text's lines: a break ends a line, and a last empty line does not count.
    std::vector<TLine> Split() const {
        AnsiString T = FMemo->Text();
        std::vector<TLine> L;
        size_t P = 0;
        while (P < T.size()) {
            size_t E = T.find_first_of("\r\n", P);
            if (E == AnsiString::npos) {
                L.push_back({P, T.size(), T.size()});
                break;
            }
            size_t N = E + 1;
            if (T[E] == '\r' && N < T.size() && T[N] == '\n') ++N;
            L.push_back({P, E, N});
            P = N;
        }
        return L;
    }
    TCustomMemo* FMemo;
};

}  // namespace

TTextMetric MetricsOf(TFont* Font) {
    TTextMetric TM;
    TM.tmHeight = 13;
    TM.tmAveCharWidth = 6;
    if (HDC DC = GetDC(nullptr)) {
        DC->Font()->Assign(Font);
        DC->GetTextMetrics(TM);
        ReleaseDC(nullptr, DC);
    }
    return TM;
}

// ---------------------------------------------------------------------------
// TCustomEdit
// ---------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    SetBounds(FLeft, FTop, 121, 25);
    SetTabStop(true);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (Ctl3D() && FBorderStyle == bsSingle) {
        Params.Style &= ~static_cast<DWORD>(WS_BORDER);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

void TCustomEdit::CreateWnd() {
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    DoSetMaxLength(FMaxLength);
    SetModified(FModified);
    if (FPasswordChar) Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar));
    UpdateHeight();
}

void TCustomEdit::DestroyWnd() {
    FModified = Modified();
    TWinControl::DestroyWnd();
}

void TCustomEdit::DoSetMaxLength(int Value) { Perform(EM_LIMITTEXT, static_cast<WPARAM>(Value), 0); }

void TCustomEdit::AdjustHeight() {
    TTextMetric TM = MetricsOf(Font());
    int Extra = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
    SetHeight(TM.tmHeight + Extra);
}

void TCustomEdit::UpdateHeight() {
    if (FAutoSize && FBorderStyle == bsSingle) {
        FControlStyle.Include(csFixedHeight);
        AdjustHeight();
    } else {
        FControlStyle.Exclude(csFixedHeight);
    }
}

void TCustomEdit::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    UpdateHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    UpdateHeight();
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    if (HandleAllocated()) DoSetMaxLength(Value);
}

void TCustomEdit::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value) return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value));
        Invalidate();
    }
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (HandleAllocated()) Perform(EM_SETREADONLY, Value ? 1 : 0);
}

bool TCustomEdit::Modified() const {
    if (!HandleAllocated()) return FModified;
    return const_cast<TCustomEdit*>(this)->Perform(EM_GETMODIFY) != 0;
}

void TCustomEdit::SetModified(bool Value) {
    if (HandleAllocated()) Perform(EM_SETMODIFY, Value ? 1 : 0);
    else FModified = Value;
}

bool TCustomEdit::CanUndo() const {
    return HandleAllocated() && const_cast<TCustomEdit*>(this)->Perform(EM_CANUNDO) != 0;
}

int TCustomEdit::SelStart() const {
    auto* Self = const_cast<TCustomEdit*>(this);
    Self->HandleNeeded();
    int Start = 0;
    Self->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return Start;
}

void TCustomEdit::SetSelStart(int Value) {
    HandleNeeded();
    Perform(EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

int TCustomEdit::SelLength() const {
    auto* Self = const_cast<TCustomEdit*>(this);
    Self->HandleNeeded();
    int Start = 0, End = 0;
    Self->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), PointerToLParam(&End));
    return End - Start;
}

void TCustomEdit::SetSelLength(int Value) {
    HandleNeeded();
    int Start = 0;
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    Perform(EM_SETSEL, static_cast<WPARAM>(Start), Start + Value);
    Perform(EM_SCROLLCARET);
}

AnsiString TCustomEdit::SelText() const {
    AnsiString T = Text();
    int Start = std::min<int>(SelStart(), static_cast<int>(T.size()));
    return T.substr(static_cast<size_t>(Start), static_cast<size_t>(std::max(0, SelLength())));
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
    HandleNeeded();
    Perform(EM_REPLACESEL, 0, PointerToLParam(Value.c_str()));
}

void TCustomEdit::SelectAll() {
    HandleNeeded();
    Perform(EM_SETSEL, 0, -1);
}

void TCustomEdit::Clear() { SetText(""); }
// The clipboard commands go to the window (made when there is none yet),
// through the control's handlers.
void TCustomEdit::ClearSelection() { SendToWindow(WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { SendToWindow(WM_COPY); }
void TCustomEdit::CutToClipboard() { SendToWindow(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { SendToWindow(WM_PASTE); }

void TCustomEdit::SendToWindow(UINT Msg) {
    HandleNeeded();
    Perform(Msg);
}

void TCustomEdit::Undo() {
    if (HandleAllocated()) Perform(EM_UNDO);
}

void TCustomEdit::ClearUndo() {
    if (HandleAllocated()) Perform(EM_EMPTYUNDOBUFFER);
}

void TCustomEdit::Change() {
    if (Assigned(OnChange)) OnChange(this);
}

void TCustomEdit::CMEnter(TMessage& Message) {
    // A click puts the caret where it lands; tabbing in takes the whole text.
    if (FAutoSelect && !FControlState.Contains(csLButtonDown) && HandleAllocated() &&
        !(GetWindowLong(FHandle, GWL_STYLE) & ES_MULTILINE))
        SelectAll();
    TWinControl::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    TWinControl::CMFontChanged(Message);
    if (FControlStyle.Contains(csFixedHeight) && !ComponentState().Contains(csLoading)) AdjustHeight();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
    if (FBorderStyle == bsSingle) UpdateHeight();
    TWinControl::CMCtl3DChanged(Message);
}

void TCustomEdit::CNCommand(TMessage& Message) {
    if (HiWord(Message.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::CNCtlColor(TMessage& Message) { AnswerCtlColor(*this, Message); }

void TCustomEdit::WMSetFont(TMessage& Message) {
    TWinControl::WMSetFont(Message);
    // A one-line edit has no margins: its text starts at the border, as the forms were laid out.
    if (FHandle && !(GetWindowLong(FHandle, GWL_STYLE) & ES_MULTILINE))
        Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TCustomEdit::PublishEditProperties(TPropertyTable& T) {
    using E = TCustomEdit;
    TControl::PublishStandard(
        T, {"Anchors",    "BiDiMode",       "Color",       "Constraints",    "Ctl3D",       "DragCursor",
            "DragMode",   "Enabled",        "Font",        "ParentBiDiMode", "ParentColor", "ParentCtl3D",
            "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",       "TabOrder",    "TabStop",
            "Visible",    "OnClick",        "OnDblClick",  "OnEnter",        "OnExit",      "OnKeyDown",
            "OnKeyPress", "OnKeyUp",        "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    T.Property("AutoSelect", &E::AutoSelect, &E::SetAutoSelect).Default(true);
    T.Property("AutoSize", &E::AutoSize, &E::SetAutoSize).Default(true);
    T.Property("BorderStyle", &E::BorderStyle, &E::SetBorderStyle).Default(bsSingle);
    T.Property("CharCase", &E::CharCase, &E::SetCharCase).Default(ecNormal);
    T.Property("HideSelection", &E::HideSelection, &E::SetHideSelection).Default(true);
    T.Property("ImeMode", &E::ImeMode, &E::SetImeMode);
    T.Property("ImeName", &E::ImeName, &E::SetImeName);
    T.Property("MaxLength", &E::MaxLength, &E::SetMaxLength).Default(0);
    T.Property("OEMConvert", &E::OEMConvert, &E::SetOEMConvert).Default(false);
    T.Property("PasswordChar", &E::PasswordChar, &E::SetPasswordChar).Default('\0');
    T.Property("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
    T.Event("OnChange", &E::OnChange);
}

void TEdit::DescribeProperties(TPropertyTable& T) {
    PublishEditProperties(T);
    TControl::PublishStandard(T, {"Text"});
}

// ---------------------------------------------------------------------------
// TCustomMemo
// ---------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetBounds(FLeft, FTop, 185, 89);
    SetAutoSize(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    if (FWordWrap) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
    if (FAlignment == taCenter) Params.Style |= ES_CENTER;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FWantReturns) Params.Style |= ES_WANTRETURN;
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

TPoint TCustomMemo::CaretPos() const {
    auto* Self = const_cast<TCustomMemo*>(this);
    Self->HandleNeeded();
    int Start = 0, End = 0;
    Self->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), PointerToLParam(&End));
    int Line = static_cast<int>(Self->Perform(EM_LINEFROMCHAR, static_cast<WPARAM>(End)));
    int LineStart = static_cast<int>(Self->Perform(EM_LINEINDEX, static_cast<WPARAM>(Line)));
    return TPoint(End - LineStart, Line);
}

void TCustomMemo::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == '\r' && !FWantReturns) Key = 0;
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
    else Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!FWantReturns) Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

void TMemo::DescribeProperties(TPropertyTable& T) {
    PublishEditProperties(T);
    using M = TCustomMemo;
    T.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(false);
    T.Property("Alignment", &M::Alignment, &M::SetAlignment).Default(taLeftJustify);
    T.Property("Lines", &M::Lines, &M::SetLines);
    T.Property("ScrollBars", &M::ScrollBars, &M::SetScrollBars).Default(ssNone);
    T.Property("WantReturns", &M::WantReturns, &M::SetWantReturns).Default(true);
    T.Property("WantTabs", &M::WantTabs, &M::SetWantTabs).Default(false);
    T.Property("WordWrap", &M::WordWrap, &M::SetWordWrap).Default(true);
}

// ---------------------------------------------------------------------------
// TCustomLabel
// ---------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csReplicatable);
    SetParentColor(true);
    SetBounds(FLeft, FTop, 65, 17);
}

void TCustomLabel::DoDrawText(TRect& Rect, uint32_t Flags) {
    AnsiString Text = GetLabelText();
    // An empty caption still measures one line high.
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&"))) Text += ' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    TCanvas* C = FCanvas;
    C->Font()->Assign(Font());
    C->SetBkMode(TRANSPARENT);
    if (Flags & DT_CALCRECT) {
        C->DrawText(Text, Rect, Flags);
        return;
    }
    if (!Enabled()) {
        OffsetRect(Rect, 1, 1);
        C->Font()->SetColor(clBtnHighlight);
        C->SetTextColor(clBtnHighlight);
        C->DrawText(Text, Rect, Flags);
        OffsetRect(Rect, -1, -1);
        C->Font()->SetColor(clBtnShadow);
        C->SetTextColor(clBtnShadow);
        C->DrawText(Text, Rect, Flags);
        return;
    }
    C->SetTextColor(Font()->Color());
    C->DrawText(Text, Rect, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(R);
    }
    C->Brush()->SetStyle(bsClear);
    uint32_t Style = DT_EXPANDTABS | (FWordWrap ? uint32_t(DT_WORDBREAK) : 0u) |
                     (FAlignment == taRightJustify ? uint32_t(DT_RIGHT)
                      : FAlignment == taCenter     ? uint32_t(DT_CENTER)
                                                   : 0u);
    if (FLayout != tlTop) {
        TRect Calc = R;
        DoDrawText(Calc, Style | DT_CALCRECT);
        if (FLayout == tlBottom) OffsetRect(R, 0, Height() - Calc.Bottom);
        else OffsetRect(R, 0, (Height() - Calc.Bottom) / 2);
    }
    DoDrawText(R, Style);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return;
    TRect R = ClientRect();
    HDC DC = GetDC(nullptr);
    if (!DC) return;
    static_cast<TControlCanvas*>(FCanvas)->SetHandle(DC);
    DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? uint32_t(DT_WORDBREAK) : 0u));
    static_cast<TControlCanvas*>(FCanvas)->SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    int X = FLeft;
    // A right-aligned label keeps its right edge where it was.
    if (FAlignment == taRightJustify) X += FWidth - R.Right;
    SetBounds(X, FTop, R.Right, R.Bottom);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value) return;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage&) {
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Message.CharCode(), Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

void TLabel::DescribeProperties(TPropertyTable& T) {
    using L = TCustomLabel;
    TControl::PublishStandard(
        T, {"Align",      "Anchors",        "BiDiMode",    "Caption",  "Color",          "Constraints",
            "DragCursor", "DragMode",       "Enabled",     "Font",     "ParentBiDiMode", "ParentColor",
            "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint", "Visible",        "OnClick",
            "OnDblClick", "OnMouseDown",    "OnMouseMove", "OnMouseUp"});
    T.Property("Alignment", &L::Alignment, &L::SetAlignment).Default(taLeftJustify);
    T.Property("AutoSize", &L::AutoSize, &L::SetAutoSize).Default(true);
    T.Property("FocusControl", &L::FocusControl, &L::SetFocusControl);
    T.Property("Layout", &L::Layout, &L::SetLayout).Default(tlTop);
    T.Property("ShowAccelChar", &L::ShowAccelChar, &L::SetShowAccelChar).Default(true);
    T.Property("Transparent", &L::Transparent, &L::SetTransparent).Default(false);
    T.Property("WordWrap", &L::WordWrap, &L::SetWordWrap).Default(false);
}

// ---------------------------------------------------------------------------
// TButtonControl, TButton
// ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!ComponentState().Contains(csDesigning) && !Focused()) {
            // The focus first, and no click from its arrival; a refused focus ends the click.
            FClicksDisabled = true;
            ::SetFocus(Handle());
            FClicksDisabled = false;
            if (!Focused()) return;
        }
        break;
    case CN_COMMAND:
        if (FClicksDisabled) return;
        break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

void TButtonControl::CNCtlColor(TMessage& Message) { AnswerCtlColor(*this, Message); }

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = {csSetCaption, csDoubleClicks};
    SetBounds(FLeft, FTop, 75, 25);
    SetColor(clBtnFace);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    TButtonControl::CreateWnd();
    FActive = FDefault;
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated()) return;
    DWORD Style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLong(FHandle, GWL_STYLE) & BS_TYPEMASK) != Style) Perform(BM_SETSTYLE, Style, 1);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (!HandleAllocated()) return;
    if (TCustomForm* Form = GetParentForm(this))
        Form->Perform(CM_FOCUSCHANGED, 0, PointerToLParam(static_cast<TControl*>(Form->ActiveControl())));
}

void TButton::Click() {
    // The form has its answer before the handler runs, so a handler that fails cannot keep it open.
    if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::CNCommand(TMessage& Message) {
    if (HiWord(Message.WParam) == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& Message) {
    WORD Key = Message.CharCode();
    if (((Key == VK_RETURN && FActive) || (Key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TButtonControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    TControl* Sender = LParamToPointer<TControl>(Message.LParam);
    // The focused button is the one Enter presses; with the focus elsewhere, the default one.
    FActive = dynamic_cast<TButton*>(Sender) ? Sender == this : FDefault;
    SetButtonStyle(FActive);
    TButtonControl::CMFocusChanged(Message);
}

void TButton::DescribeProperties(TPropertyTable& T) {
    using B = TButton;
    TControl::PublishStandard(T,
                              {"Anchors",        "BiDiMode",  "Caption",     "Constraints",    "DragCursor",
                               "DragMode",       "Enabled",   "Font",        "ParentBiDiMode", "ParentFont",
                               "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",       "TabStop",
                               "Visible",        "OnClick",   "OnEnter",     "OnExit",         "OnKeyDown",
                               "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    T.Property("Cancel", &B::Cancel, &B::SetCancel).Default(false);
    T.Property("Default", &B::Default, &B::SetDefault).Default(false);
    T.Property("ModalResult", &B::ModalResult, &B::SetModalResult).Default(0);
}

// ---------------------------------------------------------------------------
// TCustomCheckBox, TRadioButton
// ---------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = {csSetCaption, csDoubleClicks};
    SetBounds(FLeft, FTop, 97, 17);
    SetTabStop(true);
    SetParentColor(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_3STATE;
    if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, FState);
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    if (HandleAllocated()) Perform(BM_SETCHECK, Value);
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::CNCommand(TMessage& Message) {
    if (HiWord(Message.WParam) == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TCheckBox::DescribeProperties(TPropertyTable& T) {
    using C = TCustomCheckBox;
    TControl::PublishStandard(
        T, {"Anchors",     "BiDiMode",   "Caption",        "Color",       "Constraints",    "Ctl3D",
            "DragCursor",  "DragMode",   "Enabled",        "Font",        "ParentBiDiMode", "ParentColor",
            "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",       "TabOrder",
            "TabStop",     "Visible",    "OnClick",        "OnEnter",     "OnExit",         "OnKeyDown",
            "OnKeyPress",  "OnKeyUp",    "OnMouseDown",    "OnMouseMove", "OnMouseUp"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    T.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(taRightJustify);
    T.Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).Default(false);
    T.PropertyOf<C>(
         "Checked", [](C& X) { return X.Checked(); }, [](C& X, bool V) { X.SetChecked(V); })
        .Default(false);
    T.Property("State", &C::State, &C::SetState).Default(cbUnchecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = {csSetCaption, csDoubleClicks};
    SetBounds(FLeft, FTop, 113, 17);
    SetParentColor(true);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON;
    if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED);
}

void TRadioButton::SetAlignment(TLeftRight Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::TurnSiblingsOff() {
    if (!FParent) return;
    for (int I = 0; I < FParent->ControlCount(); ++I)
        if (auto* R = dynamic_cast<TRadioButton*>(FParent->Controls(I)); R && R != this) R->SetChecked(false);
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    // Only the checked button of a group is reached by Tab.
    SetTabStop(Value);
    if (HandleAllocated()) Perform(BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED);
    if (Value) {
        TurnSiblingsOff();
        if (!ClicksDisabled()) Click();
    }
}

void TRadioButton::CNCommand(TMessage& Message) {
    switch (HiWord(Message.WParam)) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
    }
}

void TRadioButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        Message.Result = 1;
        return;
    }
    TButtonControl::CMDialogChar(Message);
}

void TRadioButton::DescribeProperties(TPropertyTable& T) {
    using R = TRadioButton;
    TControl::PublishStandard(
        T, {"Anchors",     "BiDiMode",   "Caption",        "Color",       "Constraints",    "Ctl3D",
            "DragCursor",  "DragMode",   "Enabled",        "Font",        "ParentBiDiMode", "ParentColor",
            "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",       "TabOrder",
            "TabStop",     "Visible",    "OnClick",        "OnDblClick",  "OnEnter",        "OnExit",
            "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
    T.Property("Alignment", &R::Alignment, &R::SetAlignment).Default(taRightJustify);
    T.PropertyOf<R>(
         "Checked", [](R& X) { return X.Checked(); }, [](R& X, bool V) { X.SetChecked(V); })
        .Default(false);
}

// ---------------------------------------------------------------------------
// TCustomGroupBox
// ---------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents,
                     csSetCaption,      csDoubleClicks, csReplicatable};
    SetBounds(FLeft, FTop, 185, 105);
    SetParentColor(true);
}

void TCustomGroupBox::Paint() {
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    int H = C->TextHeight("0");
    TRect R(0, H / 2 - 1, Width(), Height());
    if (Ctl3D()) {
        // An etched line: white, then grey one pixel up and left.
        ++R.Left;
        ++R.Top;
        C->Brush()->SetColor(clBtnHighlight);
        C->FrameRect(R);
        OffsetRect(R, -1, -1);
        C->Brush()->SetColor(clBtnShadow);
    } else {
        C->Brush()->SetColor(clWindowFrame);
    }
    C->FrameRect(R);
    AnsiString Text = Caption();
    if (Text.empty()) return;
    TRect T(8, 0, 0, H);
    C->DrawText(Text, T, DT_SINGLELINE | DT_CALCRECT);
    C->Brush()->SetColor(Color());
    C->FillRect(T);
    C->SetBkMode(TRANSPARENT);
    C->SetTextColor(Enabled() ? Font()->Color() : clGrayText);
    C->DrawText(Text, T, DT_SINGLELINE);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += TextHeightOf(Font(), "0");
    InflateRect(Rect, -1, -1);
    if (Ctl3D()) InflateRect(Rect, -1, -1);
}

void TCustomGroupBox::CMDialogChar(TMessage& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
    Invalidate();
    TCustomControl::CMTextChanged(Message);
}

void TCustomGroupBox::CMCtl3DChanged(TMessage& Message) {
    TCustomControl::CMCtl3DChanged(Message);
    Invalidate();
    Realign();
}

void TGroupBox::DescribeProperties(TPropertyTable& T) {
    TControl::PublishStandard(
        T, {"Align",       "Anchors",     "BiDiMode",    "Caption",        "Color",      "Constraints",
            "Ctl3D",       "DragCursor",  "DragMode",    "Enabled",        "Font",       "ParentBiDiMode",
            "ParentColor", "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint",
            "TabOrder",    "TabStop",     "Visible",     "OnClick",        "OnDblClick", "OnEnter",
            "OnExit",      "OnMouseDown", "OnMouseMove", "OnMouseUp"});
}

// ---------------------------------------------------------------------------
// TCustomListBox
// ---------------------------------------------------------------------------

TOwnerDrawState OwnerDrawStateOf(UINT ItemState) {
    TOwnerDrawState S;
    if (ItemState & ODS_SELECTED) S.Include(odSelected);
    if (ItemState & ODS_GRAYED) S.Include(odGrayed);
    if (ItemState & ODS_DISABLED) S.Include(odDisabled);
    if (ItemState & ODS_CHECKED) S.Include(odChecked);
    if (ItemState & ODS_FOCUS) S.Include(odFocused);
    if (ItemState & ODS_DEFAULT) S.Include(odDefault);
    if (ItemState & ODS_NOFOCUSRECT) S.Include(odNoFocusRect);
    if (ItemState & ODS_COMBOBOXEDIT) S.Include(odComboBoxEdit);
    return S;
}

namespace {

// The messages a list or a combo box keeps its items with.
struct TListMessages {
    UINT Add, Insert, Delete, Reset, Count, GetText, GetTextLen, GetData, SetData, FindExact;
};
constexpr TListMessages ListBoxMessages{LB_ADDSTRING,   LB_INSERTSTRING,   LB_DELETESTRING, LB_RESETCONTENT,
                                        LB_GETCOUNT,    LB_GETTEXT,        LB_GETTEXTLEN,   LB_GETITEMDATA,
                                        LB_SETITEMDATA, LB_FINDSTRINGEXACT};
constexpr TListMessages ComboBoxMessages{CB_ADDSTRING,   CB_INSERTSTRING,   CB_DELETESTRING, CB_RESETCONTENT,
                                         CB_GETCOUNT,    CB_GETLBTEXT,      CB_GETLBTEXTLEN, CB_GETITEMDATA,
                                         CB_SETITEMDATA, CB_FINDSTRINGEXACT};

// The items of a list or combo box: the window's while it has one, the
// control's own list otherwise.
class TWindowListStrings : public TStrings {
public:
    TWindowListStrings(TWinControl* Control, const TListMessages& Messages, TSavedListItems& Saved,
                       std::function<bool()> Sorted)
        : FControl(Control), FM(Messages), FSaved(Saved), FSorted(std::move(Sorted)) {}

    int Count() const override {
        return Live() ? static_cast<int>(FControl->Perform(FM.Count)) : FSaved.Items->Count();
    }
    AnsiString Get(int Index) const override {
        if (!Live()) return FSaved.Items->Get(Index);
        LRESULT Length = FControl->Perform(FM.GetTextLen, static_cast<WPARAM>(Index));
        if (Length == LB_ERR) Error("List index out of bounds (%d)", Index);
        std::string Buffer(static_cast<size_t>(Length) + 1, '\0');
        FControl->Perform(FM.GetText, static_cast<WPARAM>(Index), PointerToLParam(Buffer.data()));
        Buffer.resize(static_cast<size_t>(Length));
        return Buffer;
    }
    TObject* GetObject(int Index) const override {
        if (!Live()) return FSaved.Items->GetObject(Index);
        if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
        return reinterpret_cast<TObject*>(FControl->Perform(FM.GetData, static_cast<WPARAM>(Index)));
    }
    void PutObject(int Index, TObject* Object) override {
        if (!Live()) {
            FSaved.Items->PutObject(Index, Object);
            return;
        }
        if (FControl->Perform(FM.SetData, static_cast<WPARAM>(Index), PointerToLParam(Object)) == LB_ERR)
            Error("List index out of bounds (%d)", Index);
    }
    int Add(const AnsiString& S) override {
        if (Live()) {
            LRESULT I = FControl->Perform(FM.Add, 0, PointerToLParam(S.c_str()));
            if (I < 0) throw EOutOfResources("Error inserting into the list");
            return static_cast<int>(I);
        }
        int I = FSaved.Items->Count();
        if (FSorted()) {
            I = 0;
            while (I < FSaved.Items->Count() && AnsiCompareText(FSaved.Items->Get(I), S) <= 0) ++I;
        }
        Insert(I, S);
        return I;
    }
    void Insert(int Index, const AnsiString& S) override {
        if (Live()) {
            if (FControl->Perform(FM.Insert, static_cast<WPARAM>(Index), PointerToLParam(S.c_str())) < 0)
                Error("List index out of bounds (%d)", Index);
            return;
        }
        FSaved.Items->Insert(Index, S);
        auto& Sel = FSaved.Selected;
        Sel.insert(Sel.begin() +
                       static_cast<std::ptrdiff_t>(std::min<size_t>(static_cast<size_t>(Index), Sel.size())),
                   false);
        if (FSaved.ItemIndex >= Index) ++FSaved.ItemIndex;
    }
    void Delete(int Index) override {
        if (Live()) {
            if (FControl->Perform(FM.Delete, static_cast<WPARAM>(Index)) == LB_ERR)
                Error("List index out of bounds (%d)", Index);
            return;
        }
        FSaved.Items->Delete(Index);
        auto& Sel = FSaved.Selected;
        if (static_cast<size_t>(Index) < Sel.size()) Sel.erase(Sel.begin() + Index);
        if (FSaved.ItemIndex == Index) FSaved.ItemIndex = -1;
        else if (FSaved.ItemIndex > Index) --FSaved.ItemIndex;
    }
    void Clear() override {
        if (Live()) {
            FControl->Perform(FM.Reset);
            return;
        }
        FSaved.Items->Clear();
        FSaved.Selected.clear();
        FSaved.ItemIndex = -1;
        FSaved.TopIndex = 0;
    }
    int IndexOf(const AnsiString& S) const override {
        if (!Live()) return FSaved.Items->IndexOf(S);
        LRESULT I = FControl->Perform(FM.FindExact, static_cast<WPARAM>(-1), PointerToLParam(S.c_str()));
        return I == LB_ERR ? -1 : static_cast<int>(I);
    }

private:
    bool Live() const { return FControl->HandleAllocated(); }
    TWinControl* FControl;
    const TListMessages& FM;
    TSavedListItems& FSaved;
    std::function<bool()> FSorted;
};

// Puts the kept items into the new window (the list sorts them again if it sorts).
void PushSavedItems(TWinControl& Control, TStrings& Items, TSavedListItems& Saved, const TListMessages& M,
                    bool MultiSelect) {
    std::unique_ptr<TStringList> Kept = std::move(Saved.Items);
    Saved.Items = std::make_unique<TStringList>();
    std::vector<bool> Selected = std::move(Saved.Selected);
    Saved.Selected.clear();
    for (int I = 0; I < Kept->Count(); ++I) {
        int At = Items.Add(Kept->Get(I));
        if (Kept->GetObject(I))
            Control.Perform(M.SetData, static_cast<WPARAM>(At), PointerToLParam(Kept->GetObject(I)));
        if (MultiSelect && static_cast<size_t>(I) < Selected.size() && Selected[static_cast<size_t>(I)])
            Control.Perform(LB_SETSEL, 1, At);
    }
}

// Takes the window's items into the control before the window goes.
void PullItems(TStrings& Items, TSavedListItems& Saved, const std::function<bool(int)>& IsSelected) {
    auto Kept = std::make_unique<TStringList>();
    std::vector<bool> Selected;
    for (int I = 0; I < Items.Count(); ++I) {
        Kept->AddObject(Items.Get(I), Items.GetObject(I));
        Selected.push_back(IsSelected(I));
    }
    Saved.Items = std::move(Kept);
    Saved.Selected = std::move(Selected);
}

// WM_MEASUREITEM for an owner-drawn list: every item the fixed height, or
// (Variable) the height Measure gives it, at least 1.
void AnswerMeasureItem(TMessage& Message, int ItemHeight, bool Variable,
                       const std::function<void(int, int&)>& Measure) {
    TMeasureItemStruct* M = LParamToPointer<TMeasureItemStruct>(Message.LParam);
    if (!M) return;
    M->itemHeight = static_cast<UINT>(ItemHeight);
    int Index = static_cast<int>(M->itemID);
    if (Variable && Index >= 0) {
        int Height = ItemHeight;
        Measure(Index, Height);
        M->itemHeight = static_cast<UINT>(std::max(1, Height));
    }
    Message.Result = 1;
}

// WM_DRAWITEM for an owner-drawn list or combo box: the canvas in the
// control's font and colours (highlighted when selected), the item drawn,
// the focus rectangle on top.
void DrawOwnerItem(TWinControl& Control, TControlCanvas& Canvas, TMessage& Message,
                   const std::function<void(int, TRect, TOwnerDrawState)>& Draw) {
    const TDrawItemStruct* Item = LParamToPointer<const TDrawItemStruct>(Message.LParam);
    if (!Item) return;
    Message.Result = 1;
    const TDrawItemStruct& D = *Item;
    TOwnerDrawState State = OwnerDrawStateOf(D.itemState);
    Canvas.SetHandle(D.hDC);
    Canvas.Font()->Assign(Control.Font());
    Canvas.Brush()->Assign(Control.Brush());
    Canvas.SetTextColor(Control.Font()->Color());
    int Index = static_cast<int>(D.itemID);
    if (Index >= 0 && State.Contains(odSelected)) {
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.Font()->SetColor(clHighlightText);
        Canvas.SetTextColor(clHighlightText);
    }
    try {
        if (Index >= 0) Draw(Index, D.rcItem, State);
        else Canvas.FillRect(D.rcItem);
        if (State.Contains(odFocused)) Canvas.DrawFocusRect(D.rcItem);
    } catch (...) {
        Canvas.SetHandle(nullptr);
        throw;
    }
    Canvas.SetHandle(nullptr);
}

// The default drawing of an owner-drawn item: its background and its text.
void DrawItemText(TCanvas& Canvas, const AnsiString& Text, TRect Rect) {
    Canvas.FillRect(Rect);
    Rect.Left += 2;
    Canvas.SetBkMode(TRANSPARENT);
    Canvas.DrawText(Text, Rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
    FItems = std::make_unique<TWindowListStrings>(this, ListBoxMessages, FSaved, [this] { return FSorted; });
    FControlStyle = {csSetCaption, csDoubleClicks};
    SetBounds(FLeft, FTop, 121, 97);
    SetTabStop(true);
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomListBox::~TCustomListBox() { delete FCanvas; }

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY;
    if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
    if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
    if (FSorted) Params.Style |= LBS_SORT;
    if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (FTabWidth) Params.Style |= LBS_USETABSTOPS;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (FTabWidth) {
        int Width = FTabWidth;
        Perform(LB_SETTABSTOPS, 1, PointerToLParam(&Width));
    }
    int Index = FSaved.ItemIndex, Top = FSaved.TopIndex;
    PushSavedItems(*this, *FItems, FSaved, ListBoxMessages, FMultiSelect);
    if (Index >= 0) SetItemIndex(Index);
    if (Top > 0) SetTopIndex(Top);
    FSaved.ItemIndex = -1;
    FSaved.TopIndex = 0;
}

void TCustomListBox::DestroyWnd() {
    int Index = ItemIndex(), Top = TopIndex();
    PullItems(*FItems, FSaved,
              [this](int I) { return FMultiSelect && Perform(LB_GETSEL, static_cast<WPARAM>(I)) > 0; });
    TWinControl::DestroyWnd();
    FSaved.ItemIndex = Index;
    FSaved.TopIndex = Top;
}

int TCustomListBox::ItemIndex() const {
    if (!HandleAllocated()) return FSaved.ItemIndex;
    auto* Self = const_cast<TCustomListBox*>(this);
    LRESULT I = Self->Perform(FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL);
    return I == LB_ERR ? -1 : static_cast<int>(I);
}

void TCustomListBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FSaved.ItemIndex = Value < FItems->Count() ? Value : -1;
        return;
    }
    if (ItemIndex() == Value) return;
    if (FMultiSelect) Perform(LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
    else Perform(LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

bool TCustomListBox::Selected(int Index) const {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (!HandleAllocated())
        return FMultiSelect ? (static_cast<size_t>(Index) < FSaved.Selected.size() &&
                               FSaved.Selected[static_cast<size_t>(Index)])
                            : Index == FSaved.ItemIndex;
    return const_cast<TCustomListBox*>(this)->Perform(LB_GETSEL, static_cast<WPARAM>(Index)) > 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (!HandleAllocated()) {
        if (FMultiSelect) {
            FSaved.Selected.resize(static_cast<size_t>(FItems->Count()), false);
            FSaved.Selected[static_cast<size_t>(Index)] = Value;
        } else if (Value) {
            FSaved.ItemIndex = Index;
        } else if (FSaved.ItemIndex == Index) {
            FSaved.ItemIndex = -1;
        }
        return;
    }
    if (FMultiSelect) Perform(LB_SETSEL, Value ? 1 : 0, Index);
    else if (Value) Perform(LB_SETCURSEL, static_cast<WPARAM>(Index));
    else if (ItemIndex() == Index) Perform(LB_SETCURSEL, static_cast<WPARAM>(-1));
}

int TCustomListBox::SelCount() const {
    if (!FMultiSelect) return ItemIndex() >= 0 ? 1 : 0;
    if (!HandleAllocated())
        return static_cast<int>(std::count(FSaved.Selected.begin(), FSaved.Selected.end(), true));
    return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETSELCOUNT));
}

int TCustomListBox::TopIndex() const {
    if (!HandleAllocated()) return FSaved.TopIndex;
    return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETTOPINDEX));
}

void TCustomListBox::SetTopIndex(int Value) {
    if (!HandleAllocated()) {
        FSaved.TopIndex = Value;
        return;
    }
    if (TopIndex() != Value) Perform(LB_SETTOPINDEX, static_cast<WPARAM>(Value));
}

TRect TCustomListBox::ItemRect(int Index) const {
    TRect R;
    auto* Self = const_cast<TCustomListBox*>(this);
    Self->HandleNeeded();
    int Count = FItems->Count();
    if (Index == 0 || Index < Count) {
        Self->Perform(LB_GETITEMRECT, static_cast<WPARAM>(Index), PointerToLParam(&R));
    } else if (Index == Count && Count > 0) {
        // Where the next item would go.
        Self->Perform(LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), PointerToLParam(&R));
        OffsetRect(R, 0, R.Height());
    }
    return R;
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    if (PtInRect(ClientRect(), Pos)) {
        int Count = FItems->Count();
        for (int I = TopIndex(); I < Count; ++I)
            if (PtInRect(ItemRect(I), Pos)) return I;
        if (!Existing) return Count;
    }
    return -1;
}

int TCustomListBox::ItemHeight() const {
    if (HandleAllocated() && FStyle == lbStandard)
        return static_cast<int>(const_cast<TCustomListBox*>(this)->Perform(LB_GETITEMHEIGHT));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || FItemHeight == Value) return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
    if (FExtendedSelect == Value) return;
    FExtendedSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    if (FIntegralHeight == Value) return;
    FIntegralHeight = Value;
    RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value) return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    if (HandleAllocated()) {
        RecreateWnd();
    } else if (Value) {
        FSaved.Items->CustomSort(
            [](TStringList& L, int A, int B) { return AnsiCompareText(L.Get(A), L.Get(B)); });
        FSaved.Selected.assign(static_cast<size_t>(FSaved.Items->Count()), false);
        FSaved.ItemIndex = -1;
    }
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetTabWidth(int Value) {
    if (Value < 0) Value = 0;
    if (FTabWidth == Value) return;
    FTabWidth = Value;
    RecreateWnd();
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (Assigned(OnDrawItem)) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawItemText(*FCanvas, Index < FItems->Count() ? FItems->Get(Index) : AnsiString(), Rect);
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
    if (Assigned(OnMeasureItem)) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNCommand(TMessage& Message) {
    switch (HiWord(Message.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
    DrawOwnerItem(*this, *FCanvas, Message, [this](int I, TRect R, TOwnerDrawState S) { DrawItem(I, R, S); });
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
    AnswerMeasureItem(Message, FItemHeight, FStyle == lbOwnerDrawVariable,
                      [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomListBox::CNCtlColor(TMessage& Message) { AnswerCtlColor(*this, Message); }

void TListBox::DescribeProperties(TPropertyTable& T) {
    using L = TCustomListBox;
    TControl::PublishStandard(
        T, {"Align",       "Anchors",    "BiDiMode",       "Color",       "Constraints",    "Ctl3D",
            "DragCursor",  "DragMode",   "Enabled",        "Font",        "ParentBiDiMode", "ParentColor",
            "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",       "TabOrder",
            "TabStop",     "Visible",    "OnClick",        "OnDblClick",  "OnEnter",        "OnExit",
            "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    T.Property("BorderStyle", &L::BorderStyle, &L::SetBorderStyle).Default(bsSingle);
    T.Property("ExtendedSelect", &L::ExtendedSelect, &L::SetExtendedSelect).Default(true);
    T.Property("IntegralHeight", &L::IntegralHeight, &L::SetIntegralHeight).Default(false);
    T.Property("ItemHeight", &L::ItemHeight, &L::SetItemHeight).Default(16);
    T.Property("Items", &L::Items, &L::SetItems);
    T.Property("MultiSelect", &L::MultiSelect, &L::SetMultiSelect).Default(false);
    T.Property("Sorted", &L::Sorted, &L::SetSorted).Default(false);
    T.Property("Style", &L::Style, &L::SetStyle).Default(lbStandard);
    T.Property("TabWidth", &L::TabWidth, &L::SetTabWidth).Default(0);
    T.Event("OnDrawItem", &L::OnDrawItem);
    T.Event("OnMeasureItem", &L::OnMeasureItem);
}

// ---------------------------------------------------------------------------
// TCustomComboBox
// ---------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    FItems = std::make_unique<TWindowListStrings>(this, ComboBoxMessages, FSaved, [this] { return FSorted; });
    // No mouse capture of the control's own: the window holds the mouse while its list is down.
    FControlStyle = {csSetCaption, csDoubleClicks, csFixedHeight, csReplicatable};
    SetBounds(FLeft, FTop, 145, 21);
    SetTabStop(true);
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomComboBox::~TCustomComboBox() { delete FCanvas; }

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "COMBOBOX");
    switch (FStyle) {
    case csDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    Params.Style |= static_cast<DWORD>(WS_VSCROLL) | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    if (FSorted) Params.Style |= CBS_SORT;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    Perform(CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength));
    Perform(CB_SETMINVISIBLE, static_cast<WPARAM>(FDropDownCount));
    TComboBoxInfo Info;
    Perform(CB_GETCOMBOBOXINFO, 0, PointerToLParam(&Info));
    FEditHandle = Info.Item;
    FListHandle = Info.List;
    // The edit part's and the list's messages pass through ComboWndProc.
    auto Subclass = [this](HWND Wnd, TWndProc& Default) {
        if (!Wnd) return;
        Default = SubclassWindow(
            Wnd, [this, Wnd, &Default](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
                TMessage M;
                M.Msg = Msg;
                M.WParam = WParam;
                M.LParam = LParam;
                try {
                    ComboWndProc(M, Wnd, Default);
                } catch (const EScriptError&) {
                    throw;
                } catch (...) {
                    if (!Application) throw;
                    Application->HandleException(this);
                }
                return M.Result;
            });
    };
    Subclass(FEditHandle, FDefEditProc);
    Subclass(FListHandle, FDefListProc);
    int Index = FSaved.ItemIndex;
    PushSavedItems(*this, *FItems, FSaved, ComboBoxMessages, false);
    if (Index >= 0) SetItemIndex(Index);
    FSaved.ItemIndex = -1;
    // The list kinds show an item; other text came with the window.
}

void TCustomComboBox::DestroyWnd() {
    int Index = ItemIndex();
    PullItems(*FItems, FSaved, [](int) { return false; });
    TWinControl::DestroyWnd();
    FSaved.ItemIndex = Index;
    FEditHandle = FListHandle = nullptr;
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, const TWndProc& ComboProc) {
    switch (Message.Msg) {
    case WM_SETFOCUS: {
        // The focus in a part of the combo box is the combo box's focus.
        TCustomForm* Form = GetParentForm(this);
        if (Form && !Form->SetFocusedControl(this)) return;
        break;
    }
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing)) return;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (ComboWnd != FListHandle && DoKeyDown(Message)) return;
        break;
    case WM_CHAR:
        if (DoKeyPress(Message)) return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(Message)) return;
        break;
    case WM_MOUSEMOVE:
        if (Application) Application->HintMouseMessage(this, Message);
        break;
    case CN_KEYDOWN:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR: WndProc(Message); return;
    default: break;
    }
    Message.Result = CallWindowProc(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
    if (Message.Msg == WM_LBUTTONDBLCLK && FControlStyle.Contains(csDoubleClicks)) DblClick();
}

int TCustomComboBox::ItemIndex() const {
    if (!HandleAllocated()) return FSaved.ItemIndex;
    LRESULT I = const_cast<TCustomComboBox*>(this)->Perform(CB_GETCURSEL);
    return I == CB_ERR ? -1 : static_cast<int>(I);
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FSaved.ItemIndex = Value < FItems->Count() ? Value : -1;
        if (FSaved.ItemIndex >= 0) FText = FItems->Get(FSaved.ItemIndex);
        return;
    }
    if (ItemIndex() != Value) Perform(CB_SETCURSEL, static_cast<WPARAM>(Value));
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && const_cast<TCustomComboBox*>(this)->Perform(CB_GETDROPPEDSTATE) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    HandleNeeded();
    Perform(CB_SHOWDROPDOWN, Value ? 1 : 0);
}

void TCustomComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value;
    if (HandleAllocated()) Perform(CB_SETMINVISIBLE, static_cast<WPARAM>(Value));
}

int TCustomComboBox::ItemHeight() const {
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable || !HandleAllocated()) return FItemHeight;
    return static_cast<int>(const_cast<TCustomComboBox*>(this)->Perform(CB_GETITEMHEIGHT));
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value <= 0) return;
    FItemHeight = Value;
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (HandleAllocated()) Perform(CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength));
}

void TCustomComboBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    if (HandleAllocated()) {
        RecreateWnd();
    } else if (Value) {
        FSaved.Items->CustomSort(
            [](TStringList& L, int A, int B) { return AnsiCompareText(L.Get(A), L.Get(B)); });
        FSaved.ItemIndex = -1;
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

int TCustomComboBox::SelStart() const {
    int Start = 0;
    const_cast<TCustomComboBox*>(this)->Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return Start;
}

void TCustomComboBox::SetSelStart(int Value) {
    HandleNeeded();
    Perform(CB_SETEDITSEL, 0, MakeLParam(Value, Value));
}

int TCustomComboBox::SelLength() const {
    int Start = 0, End = 0;
    const_cast<TCustomComboBox*>(this)->Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start),
                                                PointerToLParam(&End));
    return End - Start;
}

void TCustomComboBox::SetSelLength(int Value) {
    HandleNeeded();
    int Start = SelStart();
    Perform(CB_SETEDITSEL, 0, MakeLParam(Start, Start + Value));
}

AnsiString TCustomComboBox::SelText() const {
    AnsiString T = Text();
    int Start = std::min<int>(SelStart(), static_cast<int>(T.size()));
    return T.substr(static_cast<size_t>(Start), static_cast<size_t>(std::max(0, SelLength())));
}

void TCustomComboBox::SetSelText(const AnsiString& Value) {
    HandleNeeded();
    if (FEditHandle) SendMessage(FEditHandle, EM_REPLACESEL, 0, PointerToLParam(Value.c_str()));
}

void TCustomComboBox::SelectAll() {
    HandleNeeded();
    Perform(CB_SETEDITSEL, 0, MakeLParam(0, -1));
}

void TCustomComboBox::Clear() {
    SetText("");
    FItems->Clear();
}

bool TCustomComboBox::Focused() const {
    if (!HandleAllocated()) return false;
    HWND F = GetFocus();
    return F && (F == FHandle || F == FEditHandle || F == FListHandle);
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (Assigned(OnDrawItem)) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawItemText(*FCanvas, Index < FItems->Count() ? FItems->Get(Index) : AnsiString(), Rect);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
    if (Assigned(OnMeasureItem)) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::Change() {
    if (Assigned(OnChange)) OnChange(this);
}

void TCustomComboBox::DropDown() {
    if (Assigned(OnDropDown)) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (Assigned(OnCloseUp)) OnCloseUp(this);
}

void TCustomComboBox::CNCommand(TMessage& Message) {
    switch (HiWord(Message.WParam)) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_SELCHANGE: {
        int Index = ItemIndex();
        if (Index >= 0) SetText(FItems->Get(Index));
        Click();
        Change();
        break;
    }
    default: break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
    DrawOwnerItem(*this, *FCanvas, Message, [this](int I, TRect R, TOwnerDrawState S) { DrawItem(I, R, S); });
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
    AnswerMeasureItem(Message, FItemHeight, FStyle == csOwnerDrawVariable,
                      [this](int Index, int& Height) { MeasureItem(Index, Height); });
}

void TCustomComboBox::CNCtlColor(TMessage& Message) { AnswerCtlColor(*this, Message); }

void TComboBox::DescribeProperties(TPropertyTable& T) {
    using C = TCustomComboBox;
    T.Property("Style", &C::Style, &C::SetStyle).Default(csDropDown);
    TControl::PublishStandard(
        T, {"Anchors",    "BiDiMode",       "Color",      "Constraints",    "Ctl3D",       "DragCursor",
            "DragMode",   "Enabled",        "Font",       "ParentBiDiMode", "ParentColor", "ParentCtl3D",
            "ParentFont", "ParentShowHint", "PopupMenu",  "ShowHint",       "TabOrder",    "TabStop",
            "Visible",    "OnClick",        "OnDblClick", "OnEnter",        "OnExit",      "OnKeyDown",
            "OnKeyPress", "OnKeyUp"});
    T.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    T.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
    T.Property("ItemHeight", &C::ItemHeight, &C::SetItemHeight);
    T.Property("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    T.Property("Sorted", &C::Sorted, &C::SetSorted).Default(false);
    T.Property("Items", &C::Items, &C::SetItems);
    T.Property("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
    TControl::PublishStandard(T, {"Text"});
    T.Event("OnChange", &C::OnChange);
    T.Event("OnCloseUp", &C::OnCloseUp);
    T.Event("OnDrawItem", &C::OnDrawItem);
    T.Event("OnDropDown", &C::OnDropDown);
    T.Event("OnMeasureItem", &C::OnMeasureItem);
}

void RegisterStdControls() {
    RegisterClasses({&TEdit::StaticClassInfo(), &TMemo::StaticClassInfo(), &TLabel::StaticClassInfo(),
                     &TButton::StaticClassInfo(), &TCheckBox::StaticClassInfo(),
                     &TRadioButton::StaticClassInfo(), &TGroupBox::StaticClassInfo(),
                     &TListBox::StaticClassInfo(), &TComboBox::StaticClassInfo()});
}
