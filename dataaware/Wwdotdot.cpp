#include "dataaware/Wwdotdot.h"

#include <algorithm>

#include "dataaware/wwhelpers.h"
#include "platform/db/DataSource.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_ENUM(TwwComboButtonStyle, "cbsEllipsis", "cbsDownArrow", "cbsCustom")
ZELMOR_IMPLEMENT_CLASS(TBtnWinControl, TWinControl)
ZELMOR_IMPLEMENT_CLASS(TwwComboDlgButton, TwwComboButton)
ZELMOR_IMPLEMENT_CLASS(TwwComboButtonEffects, TwwButtonEffects)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomCombo, TwwDBCustomEdit)

namespace {

bool AltHeld(TShiftState Shift) { return Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0; }

bool ParentIsDBGrid(TControl* Control) {
    return Control->Parent() && IsClassNamed(Control->Parent(), "TwwDBGrid");
}

}  // namespace

// ---------------------------------------------------------------- holder

TBtnWinControl::TBtnWinControl(TComponent* AOwner) : TWinControl(AOwner) {}

TwwDBCustomCombo* TBtnWinControl::Combo() const { return dynamic_cast<TwwDBCustomCombo*>(Owner()); }

void TBtnWinControl::WMEraseBkgnd(TMessage& Message) {
    TwwDBCustomCombo* combo = Combo();
    if (!combo || combo->FUpdatingBackground) {
        Message.Result = 1;
        return;
    }
    const bool inGridCopy = IsPaintingInCustomGrid(combo);
    if (!inGridCopy && !combo->IsEditTransparent()) {
        TWinControl::WMEraseBkgnd(Message);
        return;
    }
    if (!inGridCopy && combo->ButtonIsFlat() && combo->Button()->State() == bsDown)
        PaintParentUnderButtonHolder(combo, this, combo->FUpdatingBackground);
    Message.Result = 1;
}

void TBtnWinControl::CMMouseLeave(TMessage& Message) {
    TWinControl::CMMouseLeave(Message);
    TwwDBCustomCombo* combo = Combo();
    if (combo && combo->ButtonIsFlat() && !combo->IsFocused() && combo->IsEditTransparent())
        RefreshUnderButtonHolder(combo, this);
    Invalidate();
}

// ---------------------------------------------------------------- button

TwwDBCustomCombo* TwwComboDlgButton::Combo() const { return dynamic_cast<TwwDBCustomCombo*>(Owner()); }

void TwwComboDlgButton::Paint() {
    TwwDBCustomCombo* combo = Combo();
    if (!combo) {
        TwwComboButton::Paint();
        return;
    }
    if (combo->FUpdatingBackground) return;
    if (IsPaintCopy(combo->ControlState()) && IsInCustomGrid(combo)) return;
    const TRect r = ClientRect();
    bool drawDefault = true;
    combo->FButtonHot = MouseInside();
    const bool noGlyph = !Glyph() || Glyph()->Empty();
    const bool inDBGrid = ParentIsDBGrid(combo);
    if ((noGlyph || combo->FButtonHot || combo->IsFocused() || inDBGrid) &&
        !(combo->ButtonEffects()->Transparent() && combo->ButtonStyle() == cbsDownArrow))
        combo->DrawButton(Canvas(), r, State(), combo->ControlState(), drawDefault);
    if (drawDefault) TwwComboButton::Paint();
    if (!(!combo->FButtonHot && combo->ButtonEffects()->Flat() && !combo->IsFocused() && !inDBGrid)) {
        TRect edge = r;
        Canvas()->DrawEdge(edge, State() == bsDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
}

void TwwComboDlgButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TwwComboButton::MouseDown(Button, Shift, X, Y);
    if (TwwDBCustomCombo* combo = Combo()) combo->RepaintButtonArea();
}

void TwwComboDlgButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TwwComboButton::MouseUp(Button, Shift, X, Y);
    if (TwwDBCustomCombo* combo = Combo()) combo->RepaintButtonArea();
}

TwwComboButtonEffects::TwwComboButtonEffects(TwwDBCustomCombo* Control, TControl* Button)
    : TwwButtonEffects(Control, Button) {}

void TwwComboButtonEffects::Refresh() {
    if (auto* combo = dynamic_cast<TwwDBCustomCombo*>(Control())) combo->RefreshButtonGlyph();
}

// ---------------------------------------------------------------- combo

TwwDBCustomCombo::TwwDBCustomCombo(TComponent* AOwner) : TwwDBCustomEdit(AOwner) {
    FButtonHolder = new TBtnWinControl(this);
    FButtonHolder->SetControlStyle(FButtonHolder->ControlStyle().Include(csReplicatable));
    FButtonHolder->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
    FButtonHolder->SetParent(this);
    FButton = new TwwComboDlgButton(this);
    FButton->SetControlStyle(FButton->ControlStyle().Include(csReplicatable));
    FButton->SetBounds(0, 0, FButtonHolder->Width(), FButtonHolder->Height());
    FButton->SetWidth(AutomaticButtonWidth());
    FButton->SetParent(FButtonHolder);
    FButton->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
    FButtonEffects = std::make_unique<TwwComboButtonEffects>(this, FButton);
}

TwwDBCustomCombo::~TwwDBCustomCombo() {
    RemoveMouseHook();
    FButtonEffects.reset();
    // The holder and the button inside it go with the control's children.
}

void TwwDBCustomCombo::Notification(TComponent* AComponent, TOperation Operation) {
    TwwDBCustomEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FButton) {
        FButton = nullptr;
        if (FButtonEffects) FButtonEffects->SetButton(nullptr);
    }
    if (AComponent == FButtonHolder) FButtonHolder = nullptr;
}

int TwwDBCustomCombo::AutomaticButtonWidth() const { return std::max(GetSystemMetrics(SM_CXVSCROLL), 15); }

bool TwwDBCustomCombo::ButtonIsFlat() const {
    return FButtonEffects && (FButtonEffects->Flat() || FButtonEffects->Transparent());
}

void TwwDBCustomCombo::Loaded() {
    if (FButtonWidth == 0) FButton->SetWidth(AutomaticButtonWidth());
    if (Parent() || Owner()) LayoutButton();
    TwwDBCustomEdit::Loaded();
}

bool TwwDBCustomCombo::GetShowButton() { return FButtonHolder->Visible(); }

void TwwDBCustomCombo::SetShowButton(bool Value) {
    if (Value == FButtonHolder->Visible()) return;
    FButtonHolder->SetVisible(Value);
    if (!(Owner() && Owner()->ComponentState().Contains(csLoading))) SetEditRect();
    Invalidate();
}

void TwwDBCustomCombo::SetButtonStyle(TwwComboButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    RefreshButtonGlyph();
    FButton->Invalidate();
}

TBitmap* TwwDBCustomCombo::ButtonGlyph() const { return FButton->Glyph(); }

void TwwDBCustomCombo::SetButtonGlyph(TBitmap* Value) {
    FButton->SetGlyph(Value);
    Invalidate();
}

void TwwDBCustomCombo::SetButtonWidth(int Value) {
    if (Value == FButtonWidth) return;
    FButtonWidth = Value;
    FButton->SetWidth(Value != 0 ? Value : AutomaticButtonWidth());
    LayoutButton();
}

int TwwDBCustomCombo::GetButtonWidth() { return FButtonHolder->Width(); }

int TwwDBCustomCombo::GetButtonLeft() { return FButtonHolder->Left() - 1; }

void TwwDBCustomCombo::RefreshButtonGlyph() {
    if (FButtonStyle == cbsCustom) return;
    if (FButtonStyle == cbsDownArrow && ButtonIsFlat()) {
        TBitmap glyph;
        glyph.LoadFromResourceName("WWDROPDOWN");
        FButton->SetGlyph(&glyph);
    }
}

void TwwDBCustomCombo::LayoutButton() {
    const int bw = FButton->Width();
    const int f = Frame()->IsEffective() ? 2 : 0;
    if (BorderStyle() != bsNone && Ctl3D())
        FButtonHolder->SetBounds(Width() - bw - 4, f, bw, ClientHeight() - f);
    else FButtonHolder->SetBounds(Width() - bw - f, f, bw, ClientHeight() - 2 * f);
    if (BorderStyle() == bsNone)
        FButton->SetBounds(FButton->Left(), -1, FButton->Width(), FButtonHolder->Height() + 1);
    else FButton->SetBounds(FButton->Left(), 0, FButton->Width(), FButtonHolder->Height());
    SetEditRect();
}

void TwwDBCustomCombo::SetEditRect() {
    if (!HandleAllocated()) return;
    TRect r;
    r.Bottom = ClientHeight() + 1;
    r.Right = GetShowButton() ? FButtonHolder->Left() - 2 : ClientWidth() - 2;
    if (Frame()->IsEffective()) {
        Frame()->GetEditMargins(r);
    } else if (BorderStyle() == bsNone) {
        r.Left = r.Top = IsInInspector(this) ? 1 : 2;
    } else {
        r.Left = r.Top = 0;
    }
    Perform(EM_SETRECTNP, 0, PointerToLParam(&r));
}

void TwwDBCustomCombo::CreateParams(TCreateParams& Params) {
    TwwDBCustomEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(ES_WANTRETURN | ES_AUTOVSCROLL);
    Params.Style |= WS_CLIPCHILDREN;
    if (UseRightToLeftAlignment()) Params.Style |= ES_MULTILINE;
}

void TwwDBCustomCombo::DrawButton(TCanvas* Canvas, const TRect& R, TButtonState State,
                                  TControlState ControlState, bool& DefaultPaint) {
    if (FButtonStyle == cbsCustom) return;
    DefaultPaint = false;
    const bool flat = FButton->Flat() && !FButtonHot && !IsFocused();
    if (FButtonStyle == cbsDownArrow) DrawComboArrowButton(Canvas, R, State, ControlState, Enabled());
    else DrawEllipsisButton(Canvas, R, State, ControlState, FButtonEffects->Transparent(), flat, Enabled());
}

void TwwDBCustomCombo::DropDown() {
    if (!Assigned(OnDropDownAction)) return;
    FDropDownRunning = true;
    Invalidate();
    TwwFinally done([this] {
        if (!ShowsCaret() && HandleAllocated()) HideCaret(Handle());
        Invalidate();
        FDropDownRunning = false;
    });
    if (DataSource() && DataSource()->DataSet()) PrepareEdit();
    OnDropDownAction(this);
}

void TwwDBCustomCombo::CloseUp(bool Accept) {
    if (Accept) SetModified(true);
}

void TwwDBCustomCombo::ButtonClick(TObject*) {
    if (IsDroppedDown()) {
        CloseUp(true);
        return;
    }
    if (CanFocus()) SetFocus();
    TCustomForm* form = GetParentForm(this);
    if (form && form->FormStyle() == fsMDIChild) {
        if (Focused() || form->ActiveControl() == this) DropDown();
    } else if (Focused()) {
        DropDown();
    }
}

void TwwDBCustomCombo::RepaintButtonArea() {
    if (ButtonIsFlat() && Parent() && Parent()->HandleAllocated()) {
        TRect r = FButtonHolder->BoundsRect();
        OffsetRect(r, Left(), Top());
        InvalidateRect(Parent()->Handle(), &r, false);
        if (!ParentHasTransparentStyle(this)) Parent()->Update();
    }
    FButton->Invalidate();
}

void TwwDBCustomCombo::HandleDropDownKeys(WORD& Key, TShiftState Shift) {
    const bool alt = AltHeld(Shift);
    if ((Key == VK_F4 && !alt) || (alt && (Key == VK_UP || Key == VK_DOWN))) {
        if (IsDroppedDown()) CloseUp(true);
        else DropDown();
        Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && IsDroppedDown()) {
        CloseUp(Key == VK_RETURN);
        Key = 0;
    }
}

void TwwDBCustomCombo::KeyDown(WORD& Key, TShiftState Shift) {
    HandleDropDownKeys(Key, Shift);
    TwwDBCustomEdit::KeyDown(Key, Shift);
    if (!ShowsCaret() && IsCharacterKey(Key)) Key = 0;
}

void TwwDBCustomCombo::KeyPress(char& Key) {
    // A mask would take Tab for a character; the base edit never sees it.
    if (Key == '\t' && IsMasked()) {
        TCustomMaskEdit::KeyPress(Key);
        return;
    }
    TwwDBCustomEdit::KeyPress(Key);
}

void TwwDBCustomCombo::WMPaint(TMessage& Message) {
    TwwDBCustomEdit::WMPaint(Message);
    FButton->Invalidate();
    if (!IsInInspector(this)) FButton->Update();
}

void TwwDBCustomCombo::WMSize(TMessage& Message) {
    TwwDBCustomEdit::WMSize(Message);
    LayoutButton();
}

void TwwDBCustomCombo::WMSetFocus(TMessage& Message) {
    TwwDBCustomEdit::WMSetFocus(Message);
    Invalidate();
}

void TwwDBCustomCombo::MouseDropDown(TMessage& Message) {
    if (!(Parent() && ::IsClassNamed(Parent(), "TwwCustomDBGrid")) && CanFocus()) SetFocus();
    if (IsDroppedDown()) CloseUp(true);
    else DropDown();
    if (ControlStyle().Contains(csClickEvents)) SetControlState(ControlState().Include(csClicked));
    MouseDown(mbLeft, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TwwDBCustomCombo::WMLButtonDown(TMessage& Message) {
    if (IsTypingAllowed()) TwwDBCustomEdit::WMLButtonDown(Message);
    else MouseDropDown(Message);
}

void TwwDBCustomCombo::WMLButtonDblClk(TMessage& Message) {
    if (IsTypingAllowed()) TwwDBCustomEdit::WMLButtonDblClk(Message);
    else MouseDropDown(Message);
}

void TwwDBCustomCombo::WMLButtonUp(TMessage& Message) {
    if (!IsTypingAllowed()) ReleaseCapture();
    TwwDBCustomEdit::WMLButtonUp(Message);
}

void TwwDBCustomCombo::CMEnter(TMessage& Message) {
    TwwDBCustomEdit::CMEnter(Message);
    if (ButtonIsFlat()) {
        LayoutButton();
        FButton->Invalidate();
    }
}

void TwwDBCustomCombo::CMExit(TMessage& Message) {
    TwwDBCustomEdit::CMExit(Message);
    if (ButtonIsFlat()) FButton->Invalidate();
}

void TwwDBCustomCombo::CMEnabledChanged(TMessage& Message) {
    TwwDBCustomEdit::CMEnabledChanged(Message);
    FButton->SetEnabled(Enabled());
}

void TwwDBCustomCombo::InstallMouseHook(TWinControl* List) {
    if (FMouseHook) return;
    FMouseHook = InstallDropDownMouseHook(
        this, [List] { return List; }, [this] { return IsDroppedDown(); });
}

void TwwDBCustomCombo::RemoveMouseHook() {
    if (!FMouseHook) return;
    UnhookWindowsHookEx(FMouseHook);
    FMouseHook = nullptr;
}

void TwwDBCustomCombo::ReplaceButton(TwwComboDlgButton* NewButton) {
    TwwComboDlgButton* old = FButton;
    NewButton->SetControlStyle(NewButton->ControlStyle().Include(csReplicatable));
    NewButton->SetBounds(old->Left(), old->Top(), old->Width(), old->Height());
    NewButton->SetParent(FButtonHolder);
    FButton = NewButton;
    FButtonEffects->SetButton(NewButton);
    delete old;
}
