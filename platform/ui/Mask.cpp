#include "platform/ui/Mask.h"

#include <algorithm>

#include "platform/rtl/Regional.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_CLASS(TCustomMaskEdit, TCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TMaskEdit, TCustomMaskEdit)

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

}  // namespace

// ---------------------------------------------------------------------------
// TEditMask
// ---------------------------------------------------------------------------

TEditMask::TEditMask(std::string_view Mask) {
    // The fields start at the first ";" among the last four characters, so a
    // ";" earlier in the mask is a literal of it.
    size_t Length = Mask.size();
    size_t Separator = std::string_view::npos;
    for (size_t I = 0; I < Length; ++I) {
        if (Mask[I] == '\\') {
            ++I;
            continue;
        }
        if (Mask[I] == ';' && I + 4 >= Length) {
            Separator = I;
            break;
        }
    }
    std::string_view Body = Mask.substr(0, Separator);
    if (Separator != std::string_view::npos) {
        std::string_view Rest = Mask.substr(Separator + 1);
        if (!Rest.empty() && Rest[0] == '0') FSave = false;
        size_t Second = Rest.find(';');
        if (Second != std::string_view::npos && Second + 1 < Rest.size()) FBlank = Rest[Second + 1];
    }
    const TFormatSettings& Settings = FormatSettings();
    TCase Case = cNone;
    for (size_t I = 0; I < Body.size(); ++I) {
        char C = Body[I];
        TPosition P;
        P.Case = Case;
        switch (C) {
        case '!': FReverse = true; continue;
        case '>':
            if (I + 1 < Body.size() && Body[I + 1] == '<') {
                Case = cNone;
                ++I;
            } else {
                Case = cUpper;
            }
            continue;
        case '<':
            if (I + 1 < Body.size() && Body[I + 1] == '>') {
                Case = cNone;
                ++I;
            } else {
                Case = cLower;
            }
            continue;
        case '\\':
            if (I + 1 >= Body.size()) continue;
            P.Char = Body[++I];
            break;
        case 'L':
            P.Kind = kLetter;
            P.Required = true;
            break;
        case 'l': P.Kind = kLetter; break;
        case 'A':
            P.Kind = kAlnum;
            P.Required = true;
            break;
        case 'a': P.Kind = kAlnum; break;
        case 'C':
            P.Kind = kAny;
            P.Required = true;
            break;
        case 'c': P.Kind = kAny; break;
        case '0':
            P.Kind = kDigit;
            P.Required = true;
            break;
        case '9': P.Kind = kDigit; break;
        case '#': P.Kind = kDigitSign; break;
        case ':': P.Char = Settings.TimeSeparator; break;
        case '/': P.Char = Settings.DateSeparator; break;
        case '_': P.Char = ' '; break;
        default: P.Char = C; break;
        }
        FPositions.push_back(P);
    }
}

bool TEditMask::IsLiteral(int Pos) const {
    return Pos >= 0 && Pos < Length() && FPositions[static_cast<size_t>(Pos)].Kind == kLiteral;
}

bool TEditMask::IsRequired(int Pos) const {
    return Pos >= 0 && Pos < Length() && FPositions[static_cast<size_t>(Pos)].Required;
}

char TEditMask::Literal(int Pos) const {
    return IsLiteral(Pos) ? FPositions[static_cast<size_t>(Pos)].Char : 0;
}

bool TEditMask::Accepts(int Pos, char& C) const {
    if (Pos < 0 || Pos >= Length()) return false;
    const TPosition& P = FPositions[static_cast<size_t>(Pos)];
    bool Ok = false;
    switch (P.Kind) {
    case kLiteral: return false;
    case kLetter: Ok = IsCharAlpha(C); break;
    case kAlnum: Ok = IsCharAlphaNumeric(C); break;
    case kAny: Ok = static_cast<unsigned char>(C) >= 32; break;
    case kDigit: Ok = IsDigit(C); break;
    case kDigitSign: Ok = IsDigit(C) || C == '+' || C == '-'; break;
    }
    if (!Ok) return false;
    if (P.Case == cUpper) C = CharUpper(C);
    else if (P.Case == cLower) C = CharLower(C);
    return true;
}

int TEditMask::NextInput(int Pos) const {
    int P = std::max(0, Pos);
    while (P < Length() && IsLiteral(P)) ++P;
    return std::min(P, Length());
}

int TEditMask::PrevInput(int Pos) const {
    int P = std::min(Pos, Length()) - 1;
    while (P >= 0 && IsLiteral(P)) --P;
    return P;
}

AnsiString TEditMask::EmptyText() const { return Format("", FBlank); }

AnsiString TEditMask::Format(std::string_view Value, char Blank) const {
    AnsiString R(FPositions.size(), Blank);
    auto Put = [&](size_t I, size_t J) {
        char C = Value[J];
        R[I] = C == ' ' ? Blank : C;
    };
    if (FReverse) {
        size_t J = Value.size();
        for (size_t I = FPositions.size(); I-- > 0;) {
            if (FPositions[I].Kind == kLiteral) {
                R[I] = FPositions[I].Char;
            } else if (J > 0) {
                Put(I, --J);
            }
        }
    } else {
        size_t J = 0;
        for (size_t I = 0; I < FPositions.size(); ++I) {
            if (FPositions[I].Kind == kLiteral) {
                R[I] = FPositions[I].Char;
            } else if (J < Value.size()) {
                Put(I, J++);
            }
        }
    }
    return R;
}

AnsiString TEditMask::Strip(std::string_view EditText) const {
    AnsiString R;
    for (size_t I = 0; I < EditText.size(); ++I)
        if (!IsLiteral(static_cast<int>(I))) R += EditText[I];
    if (FReverse) {
        size_t N = 0;
        while (N < R.size() && R[N] == FBlank) ++N;
        R.erase(0, N);
    } else {
        while (!R.empty() && R.back() == FBlank) R.pop_back();
    }
    if (FBlank != ' ') std::replace(R.begin(), R.end(), FBlank, ' ');
    return R;
}

AnsiString TEditMask::TextOf(std::string_view EditText) const {
    AnsiString R = Strip(EditText);
    return FSave ? Format(R, ' ') : R;
}

AnsiString TEditMask::EditTextOf(std::string_view Text) const {
    if (!FSave) return Format(Text, FBlank);
    // The text carries its literals: each stretch between two literals fills
    // the positions between the mask's literals, so "1/5/99" fits "99/99/00".
    AnsiString R;
    size_t J = 0;
    int I = 0;
    while (I < Length()) {
        if (IsLiteral(I)) {
            if (J < Text.size() && Text[J] == Literal(I)) ++J;
            R += Literal(I);
            ++I;
            continue;
        }
        int K = I;
        while (K < Length() && !IsLiteral(K)) ++K;
        char Next = K < Length() ? Literal(K) : 0;
        // A stretch ends at the literal, or when its positions are full.
        size_t Room = static_cast<size_t>(K - I);
        AnsiString Section;
        while (J < Text.size() && Section.size() < Room && (Next == 0 || Text[J] != Next))
            Section += Text[J++];
        for (char& C : Section)
            if (C == ' ') C = FBlank;
        AnsiString Pad(Room - Section.size(), FBlank);
        R += FReverse ? Pad + Section : Section + Pad;
        I = K;
    }
    return R;
}

AnsiString TEditMask::Normalize(std::string_view EditText) const {
    AnsiString R(FPositions.size(), FBlank);
    for (int I = 0; I < Length(); ++I) {
        if (IsLiteral(I)) {
            R[static_cast<size_t>(I)] = Literal(I);
            continue;
        }
        if (static_cast<size_t>(I) >= EditText.size()) continue;
        char C = EditText[static_cast<size_t>(I)];
        if (C != FBlank && Accepts(I, C)) R[static_cast<size_t>(I)] = C;
    }
    return R;
}

bool TEditMask::Validate(std::string_view EditText, int& BadPos) const {
    for (int I = 0; I < Length(); ++I) {
        if (!IsRequired(I)) continue;
        char C = static_cast<size_t>(I) < EditText.size() ? EditText[static_cast<size_t>(I)] : FBlank;
        // A blank stands for nothing, but where any character goes.
        bool Empty = C == FBlank || (C == ' ' && FPositions[static_cast<size_t>(I)].Kind != kAny);
        if (Empty || !Accepts(I, C)) {
            BadPos = I;
            return false;
        }
    }
    BadPos = -1;
    return true;
}

AnsiString FormatMaskText(std::string_view EditMask, std::string_view Value) {
    TEditMask M(EditMask);
    if (M.Empty()) return AnsiString(Value);
    return M.TextOf(M.EditTextOf(Value));
}

// ---------------------------------------------------------------------------
// TCustomMaskEdit
// ---------------------------------------------------------------------------

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

AnsiString TCustomMaskEdit::EditText() const { return TCustomEdit::GetText(); }

AnsiString TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return TCustomEdit::GetText();
    return FMask.TextOf(EditText());
}

void TCustomMaskEdit::ReplaceEditText(const AnsiString& Value, int Caret) {
    if (EditText() != Value) {
        Perform(WM_SETTEXT, 0, PointerToLParam(Value.c_str()));
        Perform(CM_TEXTCHANGED);
    }
    if (Caret >= 0 && HandleAllocated()) SetCursor(Caret);
}

void TCustomMaskEdit::DestroyWnd() {
    // The next window starts from the text as shown, literals and blanks included.
    AnsiString Shown = EditText();
    TCustomEdit::DestroyWnd();
    FText = Shown;
}

void TCustomMaskEdit::SetEditText(const AnsiString& Value) {
    ReplaceEditText(IsMasked() ? FMask.Normalize(Value) : Value, -1);
    CheckCursor();
}

void TCustomMaskEdit::SetText(const AnsiString& Value) {
    if (!IsMasked()) {
        TCustomEdit::SetText(Value);
        return;
    }
    SetEditText(FMask.EditTextOf(Value));
}

void TCustomMaskEdit::SetEditMask(const AnsiString& Value) {
    if (Value == FEditMask) return;
    int Start = 0, Stop = 0;
    if (HandleAllocated()) GetSel(Start, Stop);
    // The input characters move into the new mask; a text without a mask is
    // taken as the text the new mask would give (literals included or not).
    bool WasMasked = IsMasked();
    AnsiString Raw = WasMasked ? FMask.Strip(EditText()) : EditText();
    FEditMask = Value;
    FMask = TEditMask(Value);
    if (IsMasked()) FMaskState.Include(msMasked);
    else FMaskState.Exclude(msMasked);
    TCustomEdit::SetMaxLength(IsMasked() ? FMask.Length() : 0);
    AnsiString NewText = Raw;
    if (IsMasked()) NewText = WasMasked ? FMask.Format(Raw, FMask.Blank()) : FMask.EditTextOf(Raw);
    ReplaceEditText(NewText, -1);
    if (HandleAllocated() && GetFocus() == FHandle) SetCursor(Start);
}

void TCustomMaskEdit::GetSel(int& Start, int& Stop) const {
    Start = Stop = 0;
    auto* Self = const_cast<TCustomMaskEdit*>(this);
    Self->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), PointerToLParam(&Stop));
}

void TCustomMaskEdit::SetSel(int Start, int Stop) { Perform(EM_SETSEL, static_cast<WPARAM>(Start), Stop); }

void TCustomMaskEdit::SetCursor(int Pos) {
    if (!HandleAllocated()) return;
    if (!IsMasked()) {
        SetSel(Pos, Pos);
        return;
    }
    int Start = std::max(0, Pos), Stop = Start + 1;
    if (Start >= FMask.Length()) Start = Stop = FMask.Length();
    // The caret stands left of the one character selected, which the next key overwrites.
    Perform(EM_SETSEL, static_cast<WPARAM>(Stop), Start);
    FCaretPos = Start;
}

void TCustomMaskEdit::CheckCursor() {
    if (!HandleAllocated() || !IsMasked()) return;
    int Start, Stop;
    GetSel(Start, Stop);
    if (Start == Stop) SetCursor(Start);
}

bool TCustomMaskEdit::EditCanModify() { return true; }

void TCustomMaskEdit::Reset() {
    if (Modified()) {
        SetEditText(FOldValue);
        SetModified(false);
    }
}

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
    throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::ValidateEdit() {
    int Pos = 0;
    if (!IsMasked() || !Modified() || FMask.Validate(EditText(), Pos)) return;
    if (!ComponentState().Contains(csDesigning)) {
        FMaskState.Include(msReEnter);
        SetFocus();
    }
    SetCursor(Pos);
    ValidateError();
}

bool TCustomMaskEdit::InputChar(char& C, int& Pos) {
    int P = FMask.NextInput(Pos);
    char X = C;
    if (P < FMask.Length() && FMask.Accepts(P, X)) {
        C = X;
        Pos = P;
        return true;
    }
    // A literal typed where it comes next: the caret skips to after it.
    for (int I = Pos; I < FMask.Length(); ++I) {
        if (!FMask.IsLiteral(I)) {
            if (I > Pos) break;
            continue;
        }
        if (FMask.Literal(I) == C) {
            SetCursor(FMask.NextInput(I + 1));
            Pos = -1;
            return false;
        }
    }
    return false;
}

void TCustomMaskEdit::DeleteKeys(WORD Key) {
    if (ReadOnly()) return;
    int Start, Stop;
    GetSel(Start, Stop);
    if (Stop - Start <= 1 && Key == VK_BACK) {
        int Was = Start;
        int P = FMask.PrevInput(Start);
        if (P < 0) return;
        SetCursor(P);
        GetSel(Start, Stop);
        if (Start == Was) return;
    }
    if (Stop - Start < 1) return;
    AnsiString Blanked = EditText().substr(static_cast<size_t>(Start), static_cast<size_t>(Stop - Start));
    for (int I = Start; I < Stop; ++I)
        if (!FMask.IsLiteral(I)) Blanked[static_cast<size_t>(I - Start)] = FMask.Blank();
    SetSel(Start, Stop);
    SetSelText(Blanked);
    SetCursor(Start);
}

void TCustomMaskEdit::ArrowKeys(WORD Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl)) return;
    int Start, Stop;
    GetSel(Start, Stop);
    if (Shift.Contains(ssShift)) {
        // The edit extends the selection; from the one-character cursor it
        // grows away from the character, not across it.
        if (Stop == Start + 1) {
            if (Key == VK_RIGHT) SetSel(Start, Stop);
            else SetSel(Start, Start);
        }
        return;
    }
    if (Stop - Start > 1) {
        SetCursor(Key == VK_LEFT ? Start : FMask.NextInput(Stop - 1));
    } else if (Key == VK_LEFT) {
        int P = FMask.PrevInput(Start);
        SetCursor(P < 0 ? FMask.NextInput(0) : P);
    } else if (Stop == Start) {
        SetCursor(Start);
    } else {
        int P = FMask.NextInput(Start + 1);
        SetCursor(P);
    }
}

void TCustomMaskEdit::HomeEndKeys(WORD Key, TShiftState Shift) {
    int Start, Stop;
    GetSel(Start, Stop);
    if (Key == VK_HOME) {
        if (Shift.Contains(ssShift)) Perform(EM_SETSEL, static_cast<WPARAM>(std::max(Stop, Start + 1)), 0);
        else SetCursor(0);
        FCaretPos = 0;
    } else {
        if (Shift.Contains(ssShift)) Perform(EM_SETSEL, static_cast<WPARAM>(Start), FMask.Length());
        else SetCursor(FMask.Length());
        FCaretPos = FMask.Length();
    }
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (!FSettingCursor) TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt)) return;
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
        ArrowKeys(Key, Shift);
        if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) Key = 0;
        return;
    case VK_UP:
    case VK_DOWN: Key = 0; return;
    case VK_HOME:
    case VK_END:
        HomeEndKeys(Key, Shift);
        Key = 0;
        return;
    case VK_DELETE:
        if (Shift.Contains(ssShift)) break;
        [[fallthrough]];
    case VK_BACK:
        if (EditCanModify()) DeleteKeys(Key);
        Key = 0;
        return;
    default: break;
    }
    CheckCursor();
}

void TCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyUp(Key, Shift);
    if (IsMasked() && Key != 0 && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Contains(ssCtrl))
        CheckCursor();
}

void TCustomMaskEdit::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    // The clipboard keys go on to the edit, which sends itself WM_COPY, WM_CUT and WM_PASTE.
    if (!IsMasked() || Key == 0 || Key == 0x03 || Key == 0x16 || Key == 0x18) return;
    char C = Key;
    Key = 0;
    unsigned char U = static_cast<unsigned char>(C);
    if (U == VK_ESCAPE) {
        Reset();
        return;
    }
    if (!EditCanModify() || ReadOnly()) return;
    if (U == VK_BACK) return;
    if (U == VK_RETURN) {
        ValidateEdit();
        return;
    }
    if (U < 32) return;
    int Start, Stop;
    GetSel(Start, Stop);
    if (Stop - Start > 1) {
        DeleteKeys(VK_DELETE);
        Start = FMask.NextInput(Start);
        SetCursor(Start);
    }
    int Pos = Start;
    if (InputChar(C, Pos)) {
        SetSel(Pos, Pos + 1);
        SetSelText(AnsiString(1, C));
        SetCursor(FMask.NextInput(Pos + 1));
    } else if (Pos >= 0) {
        MessageBeep(0);
    }
}

void TCustomMaskEdit::WMLButtonDown(TMessage& Message) { TCustomEdit::WMLButtonDown(Message); }

void TCustomMaskEdit::WMLButtonUp(TMessage& Message) {
    TCustomEdit::WMLButtonUp(Message);
    if (!IsMasked()) return;
    int Start, Stop;
    GetSel(Start, Stop);
    FCaretPos = Start;
    CheckCursor();
}

void TCustomMaskEdit::WMSetFocus(TMessage& Message) {
    TCustomEdit::WMSetFocus(Message);
    CheckCursor();
}

void TCustomMaskEdit::WMCut(TMessage& Message) {
    if (!IsMasked()) {
        TCustomEdit::WMCut(Message);
        return;
    }
    CopyToClipboard();
    DeleteKeys(VK_DELETE);
}

void TCustomMaskEdit::WMPaste(TMessage& Message) {
    if (!IsMasked() || ReadOnly()) {
        TCustomEdit::WMPaste(Message);
        return;
    }
    AnsiString Value = ClipboardGetText();
    int Start, Stop;
    GetSel(Start, Stop);
    AnsiString S = EditText();
    for (int I = Start; I < Stop && I < static_cast<int>(S.size()); ++I)
        if (!FMask.IsLiteral(I)) S[static_cast<size_t>(I)] = FMask.Blank();
    // The clipboard's characters fill the positions from the caret on; a
    // literal the text carries in its place is passed over.
    int Pos = Start;
    for (char C : Value) {
        if (Pos >= FMask.Length()) break;
        if (FMask.IsLiteral(Pos)) {
            if (C == FMask.Literal(Pos)) {
                ++Pos;
                continue;
            }
            Pos = FMask.NextInput(Pos);
            if (Pos >= FMask.Length()) break;
        }
        char X = C;
        S[static_cast<size_t>(Pos)] = FMask.Accepts(Pos, X) ? X : FMask.Blank();
        ++Pos;
    }
    bool Changed = S != EditText();
    ReplaceEditText(S, Pos);
    // Written as a whole, the text still counts as the user's change.
    if (Changed) SetModified(true);
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
    if (!IsMasked() || ComponentState().Contains(csDesigning)) {
        TCustomEdit::CMEnter(Message);
        return;
    }
    if (!FMaskState.Contains(msReEnter)) {
        FOldValue = EditText();
        TCustomEdit::CMEnter(Message);
    }
    FMaskState.Exclude(msReEnter);
    CheckCursor();
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
    if (IsMasked() && !ComponentState().Contains(csDesigning)) {
        ValidateEdit();
        CheckCursor();
    }
    TCustomEdit::CMExit(Message);
}

void TCustomMaskEdit::CMWantSpecialKey(TMessage& Message) {
    TCustomEdit::CMWantSpecialKey(Message);
    // Escape in a changed masked edit puts the old text back instead of closing the form.
    if (Message.CharCode() == VK_ESCAPE && IsMasked() && Modified()) Message.Result = 1;
}

void TMaskEdit::DescribeProperties(TPropertyTable& T) {
    PublishEditProperties(T);
    using M = TCustomMaskEdit;
    T.Property("EditMask", &M::EditMask, &M::SetEditMask);
    T.Property("Text", &M::Text, &M::SetText);
}

void RegisterMaskControls() { RegisterClass(TMaskEdit::StaticClassInfo()); }
