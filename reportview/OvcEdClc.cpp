#include "reportview/OvcEdClc.h"

#include <cmath>

#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_CLASS(TOvcCustomNumberEdit, TOvcEdPopup)
ZELMOR_IMPLEMENT_COMPONENT(TOvcNumberEdit, TOvcCustomNumberEdit)

TOvcCustomNumberEdit::TOvcCustomNumberEdit(TComponent* AOwner)
    : TOvcEdPopup(AOwner), FCalculator(new TOvcCalculator(this, true)) {
    std::unique_ptr<TBitmap> glyph = LoadBaseBitmap("ORBTNCLC");
    FGlyph->Assign(glyph.get());
    FButton->SetGlyph(FGlyph.get());
    FCalculator->OnButtonPressed = [this](TObject* S, TOvcCalculatorButton B) { PopupButtonPressed(S, B); };
    FCalculator->OnExit = [this](TObject*) { PopupClose(); };
    FCalculator->OnKeyDown = [this](TObject* S, WORD& K, TShiftState Sh) { PopupKeyDown(S, K, Sh); };
    FCalculator->OnKeyPress = [this](TObject* S, char& K) { PopupKeyPress(S, K); };
    FCalculator->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        PopupMouseDown(S, B, Sh, X, Y);
    };
    FCalculator->SetVisible(false);
    FCalculator->SetOptions({coShowItemCount});
    FCalculator->SetBorderStyle(bsSingle);
    FCalculator->SetParentFont(false);
}

TOvcCustomNumberEdit::~TOvcCustomNumberEdit() = default;

void TOvcCustomNumberEdit::GlyphChanged() {
    if (FGlyph->Width() == 0 || FGlyph->Height() == 0) {
        std::unique_ptr<TBitmap> glyph = LoadBaseBitmap("ORBTNCLC");
        FGlyph->Assign(glyph.get());
    }
}

double TOvcCustomNumberEdit::GetAsFloat() {
    char sep = FormatSettings().DecimalSeparator;
    AnsiString kept;
    for (char c : Text())
        if (c == '+' || c == '-' || (c >= '0' && c <= '9') || c == sep) kept += c;
    return static_cast<double>(StrToFloat(kept));
}

int32_t TOvcCustomNumberEdit::GetAsInteger() { return static_cast<int32_t>(std::lround(GetAsFloat())); }

void TOvcCustomNumberEdit::SetAsFloat(double Value) { SetText(FloatToStr(Value)); }
void TOvcCustomNumberEdit::SetAsInteger(int32_t Value) { SetText(IntToStr(Value)); }

void TOvcCustomNumberEdit::SetReadOnly(bool Value) {
    TOvcEdPopup::SetReadOnly(Value);
    FButton->SetEnabled(!Value);
}

void TOvcCustomNumberEdit::SetPopupHeight(int Value) {
    FCalculator->SetBounds(FCalculator->Left(), FCalculator->Top(), FCalculator->Width(), Value);
}

void TOvcCustomNumberEdit::SetPopupWidth(int Value) {
    FCalculator->SetBounds(FCalculator->Left(), FCalculator->Top(), Value, FCalculator->Height());
}

void TOvcCustomNumberEdit::PopupOpen() {
    if (FCalculator->Visible()) return;
    TOvcEdPopup::PopupOpen();
    TCustomForm* form = GetImmediateParentForm(this);
    FCalculator->SetParent(form ? static_cast<TWinControl*>(form) : Parent());
    // Forms here do not scroll by themselves: there is no auto-scroll to hold off meanwhile.
    FCalculator->SetCtl3D(false);
    TRect work = Screen->WorkAreaRect();
    TPoint anchor = FPopupAnchor == TOvcPopupAnchor::paRight
                        ? TPoint(Width() - FCalculator->Width() - 1, Height() - 2)
                        : TPoint(-3, Height() - 4);
    anchor = ClientToScreen(anchor);
    if (!Ctl3D()) anchor = TPoint(anchor.x + 3, anchor.y + 3);
    TPoint at = PlacePopup(anchor, TSize{FCalculator->Width(), FCalculator->Height()}, Height(), work);
    FCalculator->HandleNeeded();
    SetWindowPos(FCalculator->Handle(), HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW);
    FSavedCursor = Cursor();
    SetCursor(crArrow);
    FCalculator->PressButton(cbClear);
    FCalculator->SetVisible(true);
    long double value = 0;
    try {
        if (!Text().empty()) value = GetAsFloat();
    } catch (const EConvertError&) {
        value = 0;
    }
    FCalculator->PushOperand(value);
    if (FCalculator->CanFocus()) FCalculator->SetFocus();
    SetCapture(FCalculator->Handle());
}

void TOvcCustomNumberEdit::PopupClose() {
    if (!FCalculator->Visible() || FClosing) return;
    FClosing = true;
    TOvcEdPopup::PopupClose();
    if (GetCapture() == FCalculator->Handle()) ReleaseCapture();
    if (CanFocus()) SetFocus();
    FCalculator->SetVisible(false);
    SetCursor(FSavedCursor);
    FCalculator->SetParent(this);
    FClosing = false;
}

void TOvcCustomNumberEdit::Refocus(bool CaretToEnd) {
    if (CanFocus()) SetFocus();
    if (CaretToEnd) SetSelStart(int(Text().size()));
    SetSelLength(0);
}

void TOvcCustomNumberEdit::PopupButtonPressed(TObject*, TOvcCalculatorButton Button) {
    if (Button != cbEqual) return;
    SetText(FloatToStr(static_cast<double>(FCalculator->Display())));
    SetModified(true);
    PopupClose();
    Refocus(true);
}

void TOvcCustomNumberEdit::PopupKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        PopupClose();
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    } else if (Key == VK_UP && Shift.Contains(ssAlt)) {
        PopupClose();
        Refocus(false);
    }
}

void TOvcCustomNumberEdit::PopupKeyPress(TObject*, char& Key) {
    if (Key == 27) {
        PopupClose();
        Refocus(false);
    }
}

void TOvcCustomNumberEdit::PopupMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    if (PtInRect(FCalculator->ClientRect(), TPoint(X, Y))) return;
    PopupClose();
    TPoint inEdit = ScreenToClient(FCalculator->ClientToScreen(TPoint(X, Y)));
    if (PtInRect(ClientRect(), inEdit)) Refocus(false);
}

void TOvcCustomNumberEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TOvcEdPopup::KeyDown(Key, Shift);
    if (Key == VK_DOWN && Shift.Contains(ssAlt)) PopupOpen();
}

void TOvcCustomNumberEdit::KeyPress(char& Key) {
    TOvcEdPopup::KeyPress(Key);
    if (Key == 3 || Key == 22 || Key == 24 || Key == 0) return;
    char sep = FormatSettings().DecimalSeparator;
    bool accepted = Key == 8 || Key == 27 || Key == '*' || Key == '+' || Key == '-' || Key == '.' ||
                    Key == '/' || (Key >= '0' && Key <= '9') || Key == sep;
    if (!accepted) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    if (FAllowIncDec && (Key == '+' || Key == '-')) {
        if (Text().empty()) SetText("0");
        int start = SelStart(), length = SelLength();
        SetAsFloat(GetAsFloat() + (Key == '+' ? 1 : -1));
        SetSelStart(start);
        SetSelLength(length);
        Key = 0;
        return;
    }
    if (Key == '*' || Key == '+' || Key == '/') {
        PopupOpen();
        char k = Key;
        FCalculator->Perform(WM_CHAR, static_cast<uint8_t>(k), 0);
        Key = 0;
    }
}

void TOvcCustomNumberEdit::DoExit() {
    if (!FPopupActive) TOvcEdPopup::DoExit();
}

void TOvcNumberEdit::DescribeProperties(TPropertyTable& T) {
    using N = TOvcCustomNumberEdit;
    PublishEditProperties(T);
    T.Property("About", &N::About, &N::SetAbout);
    T.Property("AllowIncDec", &N::AllowIncDec, &N::SetAllowIncDec).Default(false);
    T.PropertyOf<N>(
        "ButtonGlyph", [](N& C) { return C.GetButtonGlyph(); },
        [](N& C, TBitmap* V) { C.SetButtonGlyph(V); });
    T.PropertyOf<N>(
        "LabelInfo", [](N& C) { return C.LabelInfo(); }, [](N& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.Property("PopupAnchor", &N::PopupAnchor, &N::SetPopupAnchor).Default(TOvcPopupAnchor::paLeft);
    T.Property("PopupColors", &N::PopupColors, &N::SetPopupColors);
    T.Property("PopupDecimals", &N::PopupDecimals, &N::SetPopupDecimals).Default(2);
    T.Property("PopupFont", &N::PopupFont, &N::SetPopupFont);
    T.Property("PopupHeight", &N::PopupHeight, &N::SetPopupHeight).NoDefault();
    T.Property("PopupWidth", &N::PopupWidth, &N::SetPopupWidth).NoDefault();
    T.Property("ShowButton", &N::ShowButton, &N::SetShowButton).Default(true);
    T.Event("OnPopupClose", &N::OnPopupClose);
    T.Event("OnPopupOpen", &N::OnPopupOpen);
}
