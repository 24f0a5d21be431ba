#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include "platform/ui/Forms.h"
#include "platform/ui/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")
ZELMOR_IMPLEMENT_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

ZELMOR_IMPLEMENT_CLASS(TCustomEdit, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TEdit, TCustomEdit)
ZELMOR_IMPLEMENT_CLASS(TCustomMemo, TCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TMemo, TCustomMemo)

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
        T.replace(L[static_cast<size_t>(Index)].Start, L[static_cast<size_t>(Index)].End - L[static_cast<size_t>(Index)].Start, S);
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
        T.erase(L[static_cast<size_t>(Index)].Start, L[static_cast<size_t>(Index)].Next - L[static_cast<size_t>(Index)].Start);
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
    HDC DC = GetDC(nullptr);
    TTextMetric TM;
    TM.tmHeight = 13;
    if (DC) {
        DC->Font()->Assign(Font());
        DC->GetTextMetrics(TM);
        ReleaseDC(nullptr, DC);
    }
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
    if (HandleAllocated())
        Perform(EM_SETMODIFY, Value ? 1 : 0);
    else
        FModified = Value;
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
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }

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
        T, {"Anchors", "BiDiMode", "Color", "Constraints", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font",
            "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
            "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit", "OnKeyDown",
            "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
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

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
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
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
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

void RegisterStdControls() {
    RegisterClasses({&TEdit::StaticClassInfo(), &TMemo::StaticClassInfo()});
}
