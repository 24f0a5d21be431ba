#include "dataaware/wwcheckbox.h"

#include <algorithm>

#include "dataaware/Wwdbigrd.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwpaintoptions.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_CLASS(TwwCustomCheckBox, TCustomCheckBox)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomCheckBox, TwwCustomCheckBox)
ZELMOR_IMPLEMENT_COMPONENT(TwwCheckBox, TwwDBCustomCheckBox)
ZELMOR_IMPLEMENT_CLASS(TwwExpandGridIndents, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwExpandButton, TwwDBCustomCheckBox)

namespace {

TCheckBoxState Advanced(TCheckBoxState S, bool AllowGrayed) {
    switch (S) {
    case cbUnchecked: return AllowGrayed ? cbGrayed : cbChecked;
    case cbChecked: return cbUnchecked;
    default: return cbChecked;
    }
}

TPoint PointOf(LPARAM L) {
    return TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(L))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(L))));
}

TRect Grown(const TRect& R, int By) { return TRect(R.Left - By, R.Top - By, R.Right + By, R.Bottom + By); }

int64_t OrdPropOr(TObject* O, std::string_view Name) {
    return O && GetPropInfo(O, Name) ? GetOrdProp(O, Name) : 0;
}

bool GridOptionIn(TControl* Grid, TwwDBGridOption Option) {
    return TwwDBGridOptions::FromBits(static_cast<uint32_t>(OrdPropOr(Grid, "Options"))).Contains(Option);
}

TColor GridActiveRecordColor(TControl* Grid) {
    auto* Options = Grid && GetPropInfo(Grid, "PaintOptions")
                        ? dynamic_cast<TwwGridPaintOptions*>(GetObjectProp(Grid, "PaintOptions"))
                        : nullptr;
    return Options ? Options->ActiveRecordColor() : clNone;
}

bool GridFocused(TControl* Grid) {
    auto* G = dynamic_cast<TwwCustomDBGrid*>(Grid);
    return G && G->GridFocused();
}

}  // namespace

// ---------------------------------------------------------------------------
// TwwCustomCheckBox
// ---------------------------------------------------------------------------

TwwCustomCheckBox::TwwCustomCheckBox(TComponent* AOwner)
    : TCustomCheckBox(AOwner), FFrame(std::make_unique<TwwEditFrame>(this)),
      FIndents(std::make_unique<TwwWinButtonIndents>(this)) {}

TwwCustomCheckBox::~TwwCustomCheckBox() {
    TComponent* Slot = FController;
    if (Slot) RegisterWithController(Slot, nullptr, this);
}

bool TwwCustomCheckBox::IsTransparent() const { return FFrame->Transparent() && FFrame->IsEffective(); }

bool TwwCustomCheckBox::InCustomGrid() const { return Parent() && ::IsClassNamed(Parent(), "TCustomGrid"); }

void TwwCustomCheckBox::SetValueChecked(const AnsiString& Value) {
    FValueChecked = Value;
    DataChange();
}

void TwwCustomCheckBox::SetValueUnchecked(const AnsiString& Value) {
    FValueUnchecked = Value;
    DataChange();
}

AnsiString TwwCustomCheckBox::DisplayValueChecked() const {
    return FDisplayValueChecked.empty() ? FValueChecked : FDisplayValueChecked;
}

void TwwCustomCheckBox::SetDisplayValueChecked(const AnsiString& Value) {
    FDisplayValueChecked = Value;
    Invalidate();
}

AnsiString TwwCustomCheckBox::DisplayValueUnchecked() const {
    return FDisplayValueUnchecked.empty() ? FValueUnchecked : FDisplayValueUnchecked;
}

void TwwCustomCheckBox::SetDisplayValueUnchecked(const AnsiString& Value) {
    FDisplayValueUnchecked = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetShowFocusRect(bool Value) {
    FShowFocusRect = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetDynamicCaption(bool Value) {
    FDynamicCaption = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TwwCustomCheckBox::SetShowText(bool Value) {
    FShowText = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetCenterTextVertically(bool Value) {
    FCenterTextVertically = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetShowAsButton(bool Value) {
    FShowAsButton = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetTextAlignment(TLeftRight Value) {
    FTextAlignment = Value;
    Invalidate();
}

void TwwCustomCheckBox::SetController(TwwController* Value) {
    if (Value == FController) return;
    TComponent* Slot = FController;
    RegisterWithController(Slot, Value, this);
    FController = static_cast<TwwController*>(Slot);
    if (FController) {
        FFrame->Assign(FController->Frame());
        if (HandleAllocated()) RecreateWnd();
    }
}

void TwwCustomCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomCheckBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FController) FController = nullptr;
}

void TwwCustomCheckBox::CreateParams(TCreateParams& Params) {
    TCustomCheckBox::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(0xF)) | BS_OWNERDRAW;
    Params.WindowClass.Style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
    if (IsTransparent()) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TwwCustomCheckBox::CreateWnd() {
    TCustomCheckBox::CreateWnd();
    if (IsTransparent() && Parent()) ClearWindowStyleBit(Parent());
}

TCanvas* TwwCustomCheckBox::GetPaintCanvas() {
    if (!FPaintCanvas) {
        FPaintCanvas = std::make_unique<TControlCanvas>();
        FPaintCanvas->SetControl(this);
    }
    return FPaintCanvas.get();
}

void TwwCustomCheckBox::DrawFrameAfterPaint(HDC DC) {
    if (HandleAllocated() && FFrame->Enabled()) FFrame->PaintFrame(Focused(), FAlwaysTransparent, DC);
}

void TwwCustomCheckBox::PaintToDC(HDC DC) {
    GetPaintCanvas();
    FPaintCanvas->PaintThrough(DC, [this] { PaintControl(); });
    DrawFrameAfterPaint(DC);
}

void TwwCustomCheckBox::CNDrawItem(TMessage& Message) {
    if (auto* D = reinterpret_cast<TDrawItemStruct*>(Message.LParam)) PaintToDC(D->hDC);
    Message.Result = 1;
}

// The button's own click notification never toggles: the mouse and key handlers do.
void TwwCustomCheckBox::CNCommand(TMessage&) {}

void TwwCustomCheckBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case EM_GETMODIFY: Message.Result = FModified ? 1 : 0; return;
    case BM_SETCHECK:
        TCustomCheckBox::WndProc(Message);
        if (FDynamicCaption) {
            TCheckBoxState S = State();
            SetCaption(S == cbChecked     ? DisplayValueChecked()
                       : S == cbUnchecked ? DisplayValueUnchecked()
                                          : "");
        } else if (IsTransparent() && (!Focused() || FAlwaysTransparent) && Parent() &&
                   Parent()->HandleAllocated()) {
            TRect B;
            GetButtonRect(B);
            OffsetRect(B, Left(), Top());
            InvalidateRect(Parent()->Handle(), &B, false);
        }
        Invalidate();
        return;
    default: TCustomCheckBox::WndProc(Message);
    }
}

void TwwCustomCheckBox::WMEraseBkgnd(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning) &&
        (IsPaintingInInspector(this) || (IsTransparent() && !Focused()) || FAlwaysTransparent)) {
        Message.Result = 1;
        return;
    }
    TCustomCheckBox::WMEraseBkgnd(Message);
}

void TwwCustomCheckBox::WMLButtonUp(TMessage& Message) {
    TCustomCheckBox::WMLButtonUp(Message);
    const TPoint P = PointOf(Message.LParam);
    if (InCustomGrid()) {
        if (::IsClassNamed(this, "TwwExpandButton") && !Focused() && Checked()) return;
        TRect B;
        GetButtonRect(B);
        if (PtInRect(Grown(B, 3), P)) Toggle();
    } else if (PtInRect(ClientRect(), P)) {
        Toggle();
    }
}

void TwwCustomCheckBox::WMSetFocus(TMessage& Message) {
    TCustomCheckBox::WMSetFocus(Message);
    FSpacePressed = false;
    if (IsTransparent() && !FAlwaysTransparent && HandleAllocated()) {
        SetWindowLong(Handle(), GWL_EXSTYLE, GetWindowLong(Handle(), GWL_EXSTYLE) & ~WS_EX_TRANSPARENT);
        Invalidate();
    } else if (IsTransparent() && FAlwaysTransparent) {
        InvalidateUnderControl(this, false);
    }
    Invalidate();
}

void TwwCustomCheckBox::WMKillFocus(TMessage& Message) {
    TCustomCheckBox::WMKillFocus(Message);
    if (IsTransparent() && HandleAllocated()) {
        SetWindowLong(Handle(), GWL_EXSTYLE, GetWindowLong(Handle(), GWL_EXSTYLE) | WS_EX_TRANSPARENT);
        FFrame->RefreshBackground(true, false, true);
    }
    Invalidate();
}

void TwwCustomCheckBox::CMTextChanged(TMessage& Message) {
    if (IsTransparent() && (!Focused() || FAlwaysTransparent)) FFrame->RefreshBackground(false, true, false);
    TCustomCheckBox::CMTextChanged(Message);
}

void TwwCustomCheckBox::CMMouseEnter(TMessage& Message) {
    TCustomCheckBox::CMMouseEnter(Message);
    DoMouseEnter();
}

void TwwCustomCheckBox::CMMouseLeave(TMessage& Message) {
    TPoint P;
    GetCursorPos(P);
    if (PtInRect(ClientRect(), ScreenToClient(P))) return;
    TCustomCheckBox::CMMouseLeave(Message);
    DoMouseLeave();
}

void TwwCustomCheckBox::DoMouseEnter() {
    try {
        if (Assigned(OnMouseEnter)) OnMouseEnter(this);
    } catch (...) {
        return;
    }
    DrawHoverFrameEdges(this, FFrame.get(), true);
}

void TwwCustomCheckBox::DoMouseLeave() {
    try {
        if (Assigned(OnMouseLeave)) OnMouseLeave(this);
    } catch (...) {
        return;
    }
    if (FFrame->IsEffective() && !Focused() && FFrame->MouseEnterSameAsFocus() && HandleAllocated()) {
        HDC DC = GetWindowDC(Handle());
        DrawFrameEdges(this, FFrame.get(), DC, false);
        ReleaseDC(Handle(), DC);
        if (IsTransparent()) {
            FFrame->SetUseTransparentStyle(true);
            RecreateWnd();
        }
    }
}

void TwwCustomCheckBox::CNKeyDown(TMessage& Message) {
    if (!ComponentState().Contains(csDesigning) && Message.CharCode() == VK_SPACE) FSpacePressed = true;
    TCustomCheckBox::CNKeyDown(Message);
}

void TwwCustomCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) FSpacePressed = true;
    if (Key == VK_ESCAPE && InCustomGrid() && !FModified) {
        auto* Grid = Parent();
        Grid->SetFocus();
        if (Grid->Focused()) {
            if (auto* G = dynamic_cast<TwwCustomDBGrid*>(Grid)) G->Perform(WM_KEYDOWN, Key, 0);
        }
        Key = 0;
        return;
    }
    TCustomCheckBox::KeyDown(Key, Shift);
}

void TwwCustomCheckBox::KeyUp(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        if (FSpacePressed) Toggle();
        FSpacePressed = false;
    }
    TCustomCheckBox::KeyUp(Key, Shift);
}

bool TwwCustomCheckBox::IsMouseOver(bool WithinGlyph) {
    if (!Parent() || !Parent()->HandleAllocated() || !HandleAllocated()) return false;
    TPoint P;
    GetCursorPos(P);
    TPoint InParent = Parent()->ScreenToClient(P);
    if (ChildWindowFromPointEx(Parent()->Handle(), InParent, CWP_SKIPINVISIBLE) != Handle()) return false;
    if (!WithinGlyph) return true;
    TRect B;
    GetButtonRect(B);
    return PtInRect(Grown(B, 3), ScreenToClient(P));
}

// A glyph asked to stand in the middle stands in the middle: its centre is
// the client's (half the glyph's width less, as the other places count it).
void TwwCustomCheckBox::GetButtonRect(TRect& R) {
    int W = 13, H = 13;
    if (TCustomImageList* L = GetImages(); L && L->Count() > 0) {
        W = L->Width();
        H = L->Height();
    }
    int X = GetButtonLeftOffset() + FIndents->ButtonX() + 1 + (InCustomGrid() ? 1 : 0);
    if (FFrame->Enabled() && FFrame->FocusBorders().Contains(efLeftBorder)) X = std::max(X, 3);
    int C;
    switch (GetAlignment()) {
    case 1: C = X + W / 2; break;
    case 0: C = ClientWidth() - X - W / 2 - 2; break;
    default: C = ClientWidth() / 2; break;
    }
    const int M = Height() / 2;
    R = TRect(C - W / 2, M - H / 2 + FIndents->ButtonY(), C + W / 2 + 1, M + H / 2 + 1 + FIndents->ButtonY());
}

AnsiString TwwCustomCheckBox::GetDisplayCaption() {
    if (FDynamicCaption && FControlState.Contains(csPaintCopy)) {
        switch (GetState()) {
        case cbChecked: return DisplayValueChecked();
        case cbUnchecked: return DisplayValueUnchecked();
        default: return {};
        }
    }
    return Caption();
}

void TwwCustomCheckBox::GetCaptionRect(TRect& R) {
    TRect B;
    GetButtonRect(B);
    int TX = FIndents->TextX();
    if (FFrame->Enabled() && FFrame->FocusBorders().Contains(efLeftBorder)) TX = std::max(TX, 3);
    if (GetAlignment() == 1) R = TRect(B.Right + 4 + TX, 0, Width(), Height());
    else R = TRect(TX + 2, 0, B.Left, Height());
    AnsiString Text = GetDisplayCaption();
    if (FDynamicCaption) {
        AnsiString A = DisplayValueChecked(), U = DisplayValueUnchecked();
        Text = U.size() > A.size() ? U : A;
    }
    TBitmap Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas()->Font()->Assign(Font());
    TRect T = R;
    Measure.Canvas()->DrawText(Text, T, DT_CALCRECT | GetExtraDrawFlags());
    const int TH = T.Height();
    R.Right = T.Right;
    R.Top = FCenterTextVertically ? (ClientHeight() - TH) / 2 + FIndents->TextY() : FIndents->TextY() + 1;
    R.Bottom = R.Top + TH;
    if (Parent() && ::IsClassNamed(Parent(), "TwwDBGrid") && GridOptionIn(Parent(), dgRowLines)) ++R.Top;
}

bool TwwCustomCheckBox::RowTest(bool WithActiveRecordColor) {
    TWinControl* P = Parent();
    if (!::IsClassNamed(this, "TwwExpandbutton") || !P || !::IsClassNamed(P, "TwwCustomDBGrid")) return false;
    bool Row = GridOptionIn(P, dgRowSelect) || (WithActiveRecordColor && GridActiveRecordColor(P) != clNone);
    return Row && (GridOptionIn(P, dgAlwaysShowSelection) || Focused());
}

bool TwwCustomCheckBox::IsHighlighted() {
    TWinControl* P = Parent();
    return P && ::IsClassNamed(P, "TwwDBGrid") && (GridFocused(P) || RowTest(true));
}

void TwwCustomCheckBox::PaintControl() {
    TCanvas* C = GetPaintCanvas();
    const bool Copy = FControlState.Contains(csPaintCopy);
    const bool Highlighted = IsHighlighted();
    if (!((FFrame->Enabled() && FFrame->Transparent() && (FAlwaysTransparent || !Focused())) ||
          (Copy && InCustomGrid()))) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        if (!IsTransparent() && FFrame->Enabled() && !Focused() && FFrame->NonFocusColor() != clNone)
            C->Brush()->SetColor(FFrame->NonFocusColor());
        if (Highlighted) {
            C->Brush()->SetColor(clHighlight);
            C->Font()->SetColor(clHighlightText);
            if (Parent() && ::IsClassNamed(Parent(), "TwwCustomDBGrid")) {
                TColor Active = GridActiveRecordColor(Parent());
                if (Active != clNone) C->Brush()->SetColor(Active);
                if (TField* F = GetField())
                    if (auto* G = dynamic_cast<TwwCustomDBGrid*>(Parent()))
                        G->DoCalcCellColors(F, TGridDrawState{}, true, C->Font(), C->Brush());
            }
            C->FillRect(ClientRect());
        } else if (FillsBackground()) {
            C->FillRect(ClientRect());
        }
    }
    if (!IsButtonHidden()) DrawGlyph(C);
    if (FShowText) DrawCaption(C, Highlighted);
    if (Highlighted && !RowTest(false) && Parent() && GridFocused(Parent()) && !Copy) {
        C->Brush()->SetColor(clHighlight);
        C->FrameRect(ClientRect());
        C->SetTextColor(clHighlightText);
        C->SetBkColor(clHighlight);
        C->DrawFocusRect(ClientRect());
    }
}

void TwwCustomCheckBox::DrawGlyph(TCanvas* C) {
    TRect R;
    GetButtonRect(R);
    const bool Copy = FControlState.Contains(csPaintCopy);
    const TCheckBoxState S = Copy ? GetState() : State();
    uint32_t Flags = S == cbChecked  ? (DFCS_BUTTONCHECK | DFCS_CHECKED)
                     : S == cbGrayed ? (DFCS_BUTTON3STATE | DFCS_CHECKED)
                                     : DFCS_BUTTON3STATE;
    bool Pushed = false;
    if (!Copy && Focused()) {
        Pushed = (GetKeyState(VK_LBUTTON) < 0 && IsMouseOver(InCustomGrid())) ||
                 (FSpacePressed && GetKeyState(VK_SPACE) < 0);
    }
    if (Pushed) Flags |= DFCS_PUSHED;
    TCustomImageList* L = GetImages();
    if (L && L->Count() > 0) {
        if (FBoxedGlyph) {
            TRect Box = Grown(R, 1);
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(clWhite);
            C->FillRect(Box);
            C->Brush()->SetColor(clBlack);
            C->FrameRect(Box);
        }
        if (FShowAsButton) {
            TRect Button = Grown(R, 2);
            C->DrawFrameControl(Button, DFC_BUTTON,
                                DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0u) |
                                    (Enabled() ? 0u : DFCS_INACTIVE));
        }
        const int Index = S == cbChecked ? 1 : S == cbGrayed ? 2 : 0;
        if (Index < L->Count()) {
            L->Draw(C, R.Left, R.Top, Index);
            return;
        }
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    if (L) return;
    if (!Enabled()) Flags |= DFCS_INACTIVE;
    C->DrawFrameControl(R, DFC_BUTTON, Flags);
}

void TwwCustomCheckBox::DrawCaption(TCanvas* C, bool Highlighted) {
    const TColor SavedBrush = C->Brush()->Color();
    const TColor SavedFont = C->Font()->Color();
    TRect R;
    GetCaptionRect(R);
    const AnsiString Text = GetDisplayCaption();
    const bool Copy = FControlState.Contains(csPaintCopy);
    if (Focused() && FShowFocusRect && (FDynamicCaption || !Text.empty()) && !Copy) {
        TRect F(R.Left - 2, 0, std::min(R.Right + 2, R.Left + C->TextWidth(Text) + 2), 0);
        if (InCustomGrid()) {
            F.Top = R.Top - 1;
            F.Bottom = R.Bottom + 1;
        } else {
            F.Top = std::max(R.Top - 2, 0);
            F.Bottom = R.Bottom + 2;
        }
        C->Brush()->SetColor(Color());
        C->FrameRect(F);
        C->SetTextColor(Highlighted ? clWhite : clBlack);
        C->SetBkColor(Highlighted ? clBlack : clWhite);
        C->DrawFocusRect(F);
        C->Brush()->SetColor(SavedBrush);
        C->Font()->SetColor(SavedFont);
    }
    const int Old = C->SetBkMode(TRANSPARENT);
    R.Bottom += 2;
    TColor Text2 = C->Font()->Color();
    if (!Highlighted && !Copy) Text2 = Font()->Color();
    if (!Focused()) {
        if (IsTransparent() && FFrame->NonFocusTransparentFontColor() != clNone)
            Text2 = FFrame->NonFocusTransparentFontColor();
        else if (FFrame->Enabled() && FFrame->NonFocusFontColor() != clNone)
            Text2 = FFrame->NonFocusFontColor();
    }
    uint32_t Flags = GetExtraDrawFlags();
    if (FTextAlignment == taRightJustify) {
        R.Right = ClientWidth() - 2;
        Flags |= DT_RIGHT;
    }
    if (!Enabled()) {
        TRect S(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
        C->SetTextColor(clBtnHighlight);
        C->DrawText(Text, S, Flags);
        Text2 = clGrayText;
    }
    C->SetTextColor(Text2);
    C->DrawText(Text, R, Flags);
    C->SetBkMode(Old);
}

// ---------------------------------------------------------------------------
// TwwDBCustomCheckBox
// ---------------------------------------------------------------------------

TwwDBCustomCheckBox::TwwDBCustomCheckBox(TComponent* AOwner)
    : TwwCustomCheckBox(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
    FControlStyle.Include(csReplicatable);
    SetState(cbUnchecked);
}

TwwDBCustomCheckBox::~TwwDBCustomCheckBox() { FDataLink.reset(); }

TDataSource* TwwDBCustomCheckBox::DataSource() const { return FDataLink->DataSource(); }

void TwwDBCustomCheckBox::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwDBCustomCheckBox::DataField() const { return FDataLink->FieldName(); }
void TwwDBCustomCheckBox::SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
bool TwwDBCustomCheckBox::ReadOnly() const { return FDataLink->ReadOnly(); }
void TwwDBCustomCheckBox::SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
TField* TwwDBCustomCheckBox::GetField() { return FDataLink ? FDataLink->Field() : nullptr; }

void TwwDBCustomCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomCheckBox::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

TCheckBoxState TwwDBCustomCheckBox::GetState() {
    TField* F = GetField();
    if (!F) return DataSource() && !DataField().empty() ? NullAndBlankState() : State();
    if (F->IsNull()) return NullAndBlankState();
    if (F->DataType() == ftBoolean) return F->AsBoolean() ? cbChecked : cbUnchecked;
    const AnsiString Text = F->Text();
    auto Matches = [&](const AnsiString& List) {
        // Items up to each ";"; a trailing ";" adds no empty item.
        size_t Start = 0;
        while (Start < List.size() || (Start == 0 && List.empty())) {
            size_t End = List.find(';', Start);
            AnsiString Item = List.substr(Start, End == AnsiString::npos ? AnsiString::npos : End - Start);
            if (SameText(Item, Text)) return true;
            if (End == AnsiString::npos) break;
            Start = End + 1;
        }
        return false;
    };
    if (Matches(ValueChecked())) return cbChecked;
    if (Matches(ValueUnchecked())) return cbUnchecked;
    return NullAndBlankState();
}

void TwwDBCustomCheckBox::DataChange() {
    SetState(GetState());
    if (DataSource() && DataSource()->State() == dsBrowse) SetModifiedFlag(false);
}

void TwwDBCustomCheckBox::UpdateData() {
    TField* F = GetField();
    if (!F) return;
    if (State() == cbGrayed) {
        F->Clear();
        return;
    }
    if (F->DataType() == ftBoolean) {
        F->SetAsBoolean(Checked());
        return;
    }
    const AnsiString& List = Checked() ? ValueChecked() : ValueUnchecked();
    F->SetText(List.substr(0, List.find(';')));
}

void TwwDBCustomCheckBox::Toggle() {
    if (DataSource() && !DataField().empty()) {
        if (!FDataLink->Edit()) return;
        SetState(Advanced(State(), AllowGrayed()));
        FDataLink->SetModified();
        SetModifiedFlag(true);
        return;
    }
    if (!ReadOnly()) SetState(Advanced(State(), AllowGrayed()));
}

void TwwDBCustomCheckBox::KeyPress(char& Key) {
    TwwCustomCheckBox::KeyPress(Key);
    if (Key == '\b' || Key == ' ') {
        FDataLink->Edit();
    } else if (Key == 27) {
        FDataLink->Reset();
        SetModifiedFlag(false);
    }
}

void TwwDBCustomCheckBox::WMPaint(TMessage& Message) {
    if (!FControlState.Contains(csPaintCopy)) {
        TwwCustomCheckBox::WMPaint(Message);
        DrawFrameAfterPaint(nullptr);
        return;
    }
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC) return;
    const bool Disabled = ClicksDisabled();
    SetClicksDisabled(true);
    struct TRestore {
        TwwDBCustomCheckBox* Box;
        bool Disabled;
        ~TRestore() { Box->SetClicksDisabled(Disabled); }
    } Restore{this, Disabled};
    TCanvas* C = GetPaintCanvas();
    auto* Canvas = static_cast<TControlCanvas*>(C);
    const TColor CellText = static_cast<TColor>(DC->GetTextColor());
    Canvas->PaintThrough(DC, [&] {
        if (InCustomGrid()) C->Font()->SetColor(CellText);
        PaintControl();
    });
}

void TwwDBCustomCheckBox::WMSetFocus(TMessage& Message) {
    TwwCustomCheckBox::WMSetFocus(Message);
    if (GetField()) SetModifiedFlag(false);
}

void TwwDBCustomCheckBox::CMExit(TMessage& Message) {
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TwwCustomCheckBox::CMExit(Message);
}

void TwwDBCustomCheckBox::CMGetDataLink(TMessage& Message) {
    Message.Result = PointerToLParam(FDataLink.get());
}

void TwwCheckBox::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBCustomCheckBox;
    TControl::PublishStandard(
        T, {"Action",      "Anchors",     "BiDiMode",   "Caption",        "Color",       "Constraints",
            "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",        "ParentBiDiMode",
            "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint",
            "TabOrder",    "Visible",     "OnClick",    "OnContextPopup", "OnEnter",     "OnExit",
            "OnKeyDown",   "OnKeyPress",  "OnKeyUp",    "OnMouseDown",    "OnMouseMove", "OnMouseUp"});
    T.PropertyOf<C>(
         "TabStop", [](C& X) { return X.TabStop(); }, [](C& X, bool V) { X.SetTabStop(V); })
        .Default(true);
    T.PropertyOf<C>(
         "Alignment", [](C& X) { return X.Alignment(); }, [](C& X, TLeftRight V) { X.SetAlignment(V); })
        .Default(taRightJustify);
    T.PropertyOf<C>(
         "AllowGrayed", [](C& X) { return X.AllowGrayed(); }, [](C& X, bool V) { X.SetAllowGrayed(V); })
        .Default(false);
    T.Property("AlwaysTransparent", &C::AlwaysTransparent, &C::SetAlwaysTransparent);
    T.Property("CenterTextVertically", &C::CenterTextVertically, &C::SetCenterTextVertically).Default(true);
    T.PropertyOf<C>(
         "Checked", [](C& X) { return X.Checked(); }, [](C& X, bool V) { X.SetChecked(V); })
        .Default(false);
    T.Property("Controller", &C::Controller, &C::SetController);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DisableThemes", &C::DisableThemes, &C::SetDisableThemes);
    T.Property("DisplayValueChecked", &C::DisplayValueChecked, &C::SetDisplayValueChecked);
    T.Property("DisplayValueUnchecked", &C::DisplayValueUnchecked, &C::SetDisplayValueUnchecked);
    T.Property("DynamicCaption", &C::DynamicCaption, &C::SetDynamicCaption).Default(false);
    T.Property("Frame", &C::Frame, &C::SetFrame);
    T.Property("Images", &C::Images, &C::SetImages);
    T.Property("Indents", &C::Indents, &C::SetIndents);
    T.Property("NullAndBlankState", &C::NullAndBlankState, &C::SetNullAndBlankState);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
    T.Property("ShowText", &C::ShowText, &C::SetShowText).Default(true);
    T.PropertyOf<C>(
         "State", [](C& X) { return X.State(); }, [](C& X, TCheckBoxState V) { X.SetState(V); })
        .Default(cbUnchecked);
    T.Property("ValueChecked", &C::ValueChecked, &C::SetValueChecked);
    T.Property("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked);
    T.Event("OnMouseEnter", &C::OnMouseEnter);
    T.Event("OnMouseLeave", &C::OnMouseLeave);
}

// ---------------------------------------------------------------------------
// The expand button
// ---------------------------------------------------------------------------

void TwwExpandGridIndents::DescribeProperties(TPropertyTable& T) {
    T.Property("X", &TwwExpandGridIndents::X, &TwwExpandGridIndents::SetX).Default(0);
    T.Property("Y", &TwwExpandGridIndents::Y, &TwwExpandGridIndents::SetY).Default(0);
}

void TwwExpandGridIndents::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwExpandGridIndents*>(Source)) {
        FX = S->FX;
        FY = S->FY;
        return;
    }
    TPersistent::Assign(Source);
}

UINT ExpandButtonDropDownMessage() {
    static const UINT Message = RegisterWindowMessage("IPEXPANDBUTTONDROPDOWN");
    return Message;
}

void SetExpandButtonState(TWinControl* Control, bool Expanded) {
    auto* Button = dynamic_cast<TwwExpandButton*>(Control);
    if (!Button || Button->Checked() == Expanded) return;
    if (Expanded && Button->Parent() && ::IsClassNamed(Button->Parent(), "TwwDBGrid"))
        if (auto* Grid = dynamic_cast<TwwCustomDBGrid*>(Button->Parent())) Grid->PlaceCellControl();
    Button->Toggle();
}

bool GetExpandButtonState(TWinControl* Control) {
    auto* Button = dynamic_cast<TwwExpandButton*>(Control);
    return Button && Button->Checked();
}

bool ExpandButtonToggling(TWinControl* Control) {
    auto* Button = dynamic_cast<TwwExpandButton*>(Control);
    return Button && Button->Toggling();
}

bool ExpandButtonGlyphAt(TWinControl* Control, int X) {
    auto* Button = dynamic_cast<TwwExpandButton*>(Control);
    if (!Button) return false;
    TRect Glyph;
    Button->GetButtonRect(Glyph);
    InflateRect(Glyph, 4, 3);
    OffsetRect(Glyph, 0, -Glyph.Top);
    return PtInRect(Glyph, TPoint(X, 7));
}

void ExpandButtonAtRow(TWinControl* Control, int Row) {
    auto* Button = dynamic_cast<TwwExpandButton*>(Control);
    if (!Button) return;
    // The button forgets the row after it has expanded; a state that needs
    // no change must not leave it behind for a later expansion either.
    Button->SetDesiredRow(Row);
    try {
        SetExpandButtonState(Button, true);
    } catch (...) {
        Button->SetDesiredRow(-1);
        throw;
    }
    Button->SetDesiredRow(-1);
}

TwwExpandButton::TwwExpandButton(TComponent* AOwner)
    : TwwDBCustomCheckBox(AOwner), FGridIndents(std::make_unique<TwwExpandGridIndents>()) {
    SetShowText(false);
    FBoxedGlyph = true;
    TBitmap Plus, Minus;
    Plus.LoadFromResourceName("WWEXPAND");
    Minus.LoadFromResourceName("WWCOLLAPSE");
    FExpandImages = std::make_unique<TImageList>(nullptr, Plus.Width(), Plus.Height());
    FExpandImages->AddMasked(&Plus, clWhite);
    FExpandImages->AddMasked(&Minus, clWhite);
    ExpandButtonDropDownMessage();
}

TwwExpandButton::~TwwExpandButton() = default;

void TwwExpandButton::DescribeProperties(TPropertyTable& T) {
    using C = TwwExpandButton;
    TControl::PublishStandard(
        T, {"BiDiMode",       "Caption",     "Color",          "Constraints",    "Enabled",   "Font",
            "ParentBiDiMode", "ParentColor", "ParentFont",     "ParentShowHint", "PopupMenu", "ShowHint",
            "TabOrder",       "Visible",     "OnContextPopup", "OnEnter",        "OnExit",    "OnKeyDown",
            "OnKeyPress",     "OnKeyUp",     "OnMouseDown",    "OnMouseMove",    "OnMouseUp"});
    T.PropertyOf<C>(
         "TabStop", [](C& X) { return X.TabStop(); }, [](C& X, bool V) { X.SetTabStop(V); })
        .Default(true);
    T.Property("AutoHideExpand", &C::AutoHideExpand, &C::SetAutoHideExpand).Default(false);
    T.Property("AutoShrink", &C::AutoShrink, &C::SetAutoShrink).Default(true);
    T.Property("ButtonAlignment", &C::ButtonAlignment, &C::SetButtonAlignment).Default(taLeftJustify);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("DisableThemes", &C::DisableThemes, &C::SetDisableThemes);
    T.Property("Grid", &C::Grid, &C::SetGrid);
    T.Property("GridIndents", &C::GridIndents, &C::SetGridIndents);
    T.Property("Images", &C::Images, &C::SetImages);
    T.Property("Indents", &C::Indents, &C::SetIndents);
    T.Property("ShowAsButton", &C::ShowAsButton, &C::SetShowAsButton).Default(false);
    T.Property("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
    T.Property("ShowText", &C::ShowText, &C::SetShowText).Default(false);
    T.Property("TextAlignment", &C::TextAlignment, &C::SetTextAlignment).Default(taLeftJustify);
    T.Event("OnAfterCollapse", &C::OnAfterCollapse);
    T.Event("OnAfterExpand", &C::OnAfterExpand);
    T.Event("OnBeforeCollapse", &C::OnBeforeCollapse);
    T.Event("OnBeforeExpand", &C::OnBeforeExpand);
    T.Event("OnCheckVisibleButton", &C::OnCheckVisibleButton);
    T.Event("OnMouseEnter", &C::OnMouseEnter);
    T.Event("OnMouseLeave", &C::OnMouseLeave);
}

void TwwExpandButton::SetButtonAlignment(TAlignment Value) {
    FButtonAlignment = Value;
    Invalidate();
}

void TwwExpandButton::SetGrid(TWinControl* Value) {
    FGrid = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    Value->Hide();
    if (::IsClassNamed(Value, "TwwDBGrid")) Value->SetCtl3D(false);
}

void TwwExpandButton::Notification(TComponent* AComponent, TOperation Operation) {
    TwwDBCustomCheckBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid) FGrid = nullptr;
}

void TwwExpandButton::DoBeforeExpand() {
    if (Assigned(OnBeforeExpand)) OnBeforeExpand(this);
}
void TwwExpandButton::DoBeforeCollapse() {
    if (Assigned(OnBeforeCollapse)) OnBeforeCollapse(this);
}
void TwwExpandButton::DoAfterExpand() {
    if (Assigned(OnAfterExpand)) OnAfterExpand(this);
}
void TwwExpandButton::DoAfterCollapse() {
    if (Assigned(OnAfterCollapse)) OnAfterCollapse(this);
}

TCustomImageList* TwwExpandButton::GetImages() { return Images() ? Images() : FExpandImages.get(); }

TCheckBoxState TwwExpandButton::GetState() {
    if (FControlState.Contains(csPaintCopy))
        return InCustomGrid() && FGrid && FGrid->Visible() && PaintingCurrentCell() ? cbChecked : cbUnchecked;
    return TwwDBCustomCheckBox::GetState();
}

// The master grid makes the painted cell's record its link's active record;
// the current cell's is the one in the grid's current row (the only record
// whose detail can be open: moving off it closes the detail).
bool TwwExpandButton::PaintingCurrentCell() const {
    auto* Master = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (!Master || !Master->DataLink()->Active()) return false;
    return Master->DataLink()->ActiveRecord() == Master->Row() - Master->TitleOffset() - Master->RowOffset();
}

// Moving to another master record closes an open detail.
void TwwExpandButton::DataChange() {
    if (DataSource() && DataSource()->State() == dsBrowse && !FInClick && State() != cbUnchecked) Toggle();
}

AnsiString TwwExpandButton::GetDisplayCaption() {
    TField* F = GetField();
    return F && F->DataSet() && F->DataSet()->Active() ? F->DisplayText() : AnsiString();
}

bool TwwExpandButton::IsButtonHidden() {
    bool Hidden = false;
    if (!ComponentState().Contains(csDesigning) && AutoHideExpand()) {
        TField* F = GetField();
        const bool Shows =
            F && F->DataSet() && F->DataSet()->Active() && !F->IsNull() && F->AsString() != "0";
        if (!Shows)
            Hidden = (FControlState.Contains(csPaintCopy) && InCustomGrid()) || (FGrid && !FGrid->Visible());
    }
    if (Assigned(OnCheckVisibleButton) && DataLink()->DataSet()) {
        bool Show = !Hidden;
        OnCheckVisibleButton(this, DataLink()->DataSet(), Show);
        Hidden = !Show;
    }
    return Hidden;
}

int TwwExpandButton::GetAlignment() {
    switch (FButtonAlignment) {
    case taLeftJustify: return 1;
    case taRightJustify: return 0;
    default: return 2;
    }
}

uint32_t TwwExpandButton::GetExtraDrawFlags() { return DT_NOPREFIX; }

void TwwExpandButton::WndProc(TMessage& Message) {
    if (Message.Msg == ExpandButtonDropDownMessage()) {
        SetExpandButtonState(this, true);
        return;
    }
    TwwDBCustomCheckBox::WndProc(Message);
}

void TwwExpandButton::WMEraseBkgnd(TMessage& Message) {
    if (InCustomGrid() && !Focused()) {
        Message.Result = 1;
        return;
    }
    TwwDBCustomCheckBox::WMEraseBkgnd(Message);
}

void TwwExpandButton::WMKillFocus(TMessage& Message) {
    if (!InCustomGrid()) {
        TwwDBCustomCheckBox::WMKillFocus(Message);
        return;
    }
    DefaultHandler(Message);
    if (Parent()->HandleAllocated()) {
        TRect B = BoundsRect();
        InvalidateRect(Parent()->Handle(), &B, false);
    }
}

void TwwExpandButton::Toggle() {
    if (FInToggle) return;
    const bool WasChecked = Checked();
    FInToggle = true;
    TwwCustomDBGrid* Master = Parent() && ::IsClassNamed(Parent(), "TwwDBGrid")
                                  ? dynamic_cast<TwwCustomDBGrid*>(Parent())
                                  : nullptr;
    if (Master) Master->SetExpanding(true);
    struct TDone {
        TwwExpandButton* Button;
        TwwCustomDBGrid* Master;
        ~TDone() {
            Button->FInToggle = false;
            if (Master) Master->SetExpanding(false);
        }
    } Done{this, Master};
    if (WasChecked) DoBeforeCollapse();
    else DoBeforeExpand();
    if (Checked() == WasChecked) {
        switch (State()) {
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
        case cbUnchecked:
            if (AllowGrayed()) {
                SetState(cbGrayed);
            } else {
                if (Master && Master->RowHeightPercent() != Master->SavedRowHeightPercent()) {
                    Master->RestoreRowHeightPercent();
                    Master->Repaint();
                }
                SetState(cbChecked);
            }
            break;
        }
    }
    if (Checked()) DoAfterExpand();
    else DoAfterCollapse();
}

void TwwExpandButton::SelectMasterRow(int Row) {
    auto* M = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (!M || Row < 0 || Row >= M->RowCount()) return;
    const int SavedLeft = Left();
    if (FGrid && !::IsClassNamed(FGrid, "TwwDBGrid")) FGrid->Repaint();
    M->BeginRedrawLock();
    try {
        if (M->Row() != Row) M->SetRow(Row);
        TGridDrawInfo D;
        M->CalcGridDrawInfo(D);
        if (M->LeftCol() < D.Horz.FixedCellCount) M->SetLeftCol(D.Horz.FixedCellCount);
    } catch (...) {
        M->EndRedrawLock(false);
        throw;
    }
    M->EndRedrawLock(false);
    M->Invalidate();
    SetLeft(SavedLeft);
}

// The master scrolls its records so that the detail fits under the row; a
// detail that cannot fit (the data set ends too soon) is cut by the master's
// edge. The rows themselves are never shifted.
void TwwExpandButton::Expand(int H, int Pitch, bool Leaf) {
    auto* M = dynamic_cast<TwwCustomDBGrid*>(Parent());
    FSavedMasterHeight = 0;
    if (FRememberedHeight == 0) FRememberedHeight = FGrid->Height();
    FGrid->SetParent(M);
    auto* Detail = dynamic_cast<TwwCustomDBGrid*>(FGrid);
    if (Detail && ::IsClassNamed(Detail, "TwwDBGrid") && FAutoShrink) {
        if (Detail->HandleAllocated() &&
            (Detail->ScrollBars() == ssHorizontal || Detail->ScrollBars() == ssBoth))
            SetScrollRange(Detail->Handle(), SB_HORZ, 0, 0, true);
        Detail->SetHeight(FRememberedHeight);
        Detail->UpdateRowCount();
        Detail->ShrinkToRows();
    }
    TRect Cell;
    M->GetCellRect(M->LeftCol(), M->Row(), Cell);
    const int Need = (Leaf ? FGrid->Height() : FRememberedHeight) - 1 - (M->ClientHeight() - Cell.Bottom);
    int Scroll = Need <= 0 ? 0 : Need / Pitch + 1;
    const int OrigDesired = FDesiredRow;
    if (M->Options().Contains(dgTitles) && FAutoShrink && !Leaf) {
        int Limit = (M->ClientHeight() - FRememberedHeight - Height() - 1 - M->RowHeights(0) - 2) / H + 1;
        FDesiredRow = FDesiredRow == -1 ? std::min(Limit, M->Row() - Scroll) : std::min(FDesiredRow, Limit);
    }
    if (FDesiredRow >= 0 && Scroll > 0) FDesiredRow = std::min(FDesiredRow, M->Row() - Scroll);
    if (FDesiredRow < 0 && Scroll > 0) FDesiredRow = std::max(M->TitleOffset(), M->Row() - Scroll);
    TwwGridDataLink* Link = M->DataLink();
    if (FDesiredRow >= 0) {
        FDesiredRow = std::max(FDesiredRow, M->TitleOffset());
        TDataSet* DS = Link->DataSet();
        const int ActiveBefore = Link->ActiveRecord();
        const int Asked = Link->BufferCount() - FDesiredRow;
        if (FDesiredRow != Link->BufferCount() && DS) {
            const int Moved = DS->MoveBy(Asked);
            DS->MoveBy(-Moved);
            const int Shift = Link->ActiveRecord() + M->TitleOffset() - FDesiredRow;
            if (Moved < Asked && Shift < 0) {
                throw EwwExpandError("Shift Amount: " + IntToStr(Shift) + "\rTrue Scroll Amount: " +
                                     IntToStr(Moved) + "\rOrigActiveRecord: " + IntToStr(ActiveBefore) +
                                     "\rDesiredRow: " + IntToStr(FDesiredRow) +
                                     "\rOrigDesiredRow: " + IntToStr(OrigDesired) + "\r");
            }
        }
        M->SyncCurrentRow();
        SelectMasterRow(M->Row());
        TRect Current;
        M->GetCellRect(M->Col(), M->Row(), Current);
        SetTop(Current.Top);
        Show();
    }
    if (::IsClassNamed(FGrid, "TwwDBGrid")) FGrid->SetCtl3D(false);
    FGrid->SetParent(M);
    FGrid->SetBounds(Left() + 11 + FGridIndents->X(), Top() + Height() + FGridIndents->Y(), FGrid->Width(),
                     FGrid->Height());
    FGrid->Show();
    if (FGrid->CanFocus()) FGrid->SetFocus();
    if (auto* Outer = dynamic_cast<TwwCustomDBGrid*>(M->Parent());
        Outer && ::IsClassNamed(Outer, "TwwDBGrid")) {
        auto* OuterButton = dynamic_cast<TwwExpandButton*>(Outer->GetActiveExpandButton());
        if (OuterButton && OuterButton->AutoShrink()) {
            const int N = std::min(OuterButton->FRememberedHeight, M->Height() + FGrid->Height());
            FSavedMasterHeight = M->Height();
            FSavedOuterRowHeight = Outer->RowHeights(Outer->Row());
            M->SetHeight(N);
            Outer->SetRowHeights(Outer->Row(), N + Outer->DefaultRowHeight() - 1);
        }
    }
    M->SetRowOffset(0);
    FExpandedRow = M->Row();
    M->SetRowHeights(FExpandedRow, M->RowHeights(FExpandedRow) + FGrid->Height() - 1);
    SelectMasterRow(FExpandedRow);
}

void TwwExpandButton::Collapse(int H) {
    auto* M = dynamic_cast<TwwCustomDBGrid*>(Parent());
    for (int I = 0; I < FGrid->ControlCount(); ++I)
        if (auto* Inner = dynamic_cast<TwwExpandButton*>(FGrid->Controls(I)); Inner && Inner->Checked())
            SetExpandButtonState(Inner, false);
    FGrid->Hide();
    if (M->CanFocus() && !ComponentState().Contains(csDestroying)) M->SetFocus();
    if (FExpandedRow < M->RowCount()) M->SetRowHeights(FExpandedRow, H);
    if (M->DataLink()->DataSet()) SelectMasterRow(M->DataLink()->ActiveRecord() + M->TitleOffset());
    M->SetRowOffset(0);
    if (auto* Outer = dynamic_cast<TCustomGrid*>(M->Parent()); Outer && Outer->HandleAllocated()) {
        ValidateRect(Outer->Handle(), nullptr);
        TRect B = M->BoundsRect();
        if (M->Options().Contains(dgTitles)) B.Top += M->RowHeights(0) + 2;
        InvalidateRect(Outer->Handle(), &B, false);
    }
    if (FSavedMasterHeight) {
        M->SetHeight(FSavedMasterHeight);
        if (auto* Outer = dynamic_cast<TwwCustomDBGrid*>(M->Parent()))
            Outer->SetRowHeights(Outer->Row(), FSavedOuterRowHeight);
        FSavedMasterHeight = 0;
    }
}

void TwwExpandButton::Click() {
    if (FInClick || !FGrid) return;
    TwwDBCustomCheckBox::Click();
    auto* M = dynamic_cast<TwwCustomDBGrid*>(Parent());
    if (!M || !FGrid) return;
    const int H = M->DefaultRowHeight();
    const int Pitch = H + (M->HasRowLines() ? 1 : 0);
    bool Leaf = true;
    for (int I = 0; I < FGrid->ControlCount(); ++I)
        if (dynamic_cast<TwwExpandButton*>(FGrid->Controls(I))) Leaf = false;
    FInClick = true;
    struct TDone {
        TwwExpandButton* B;
        ~TDone() {
            B->FInClick = false;
            B->FDesiredRow = -1;
        }
    } Done{this};
    if (!Checked()) {
        Collapse(H);
        return;
    }
    try {
        Expand(H, Pitch, Leaf);
    } catch (const EwwExpandError&) {
        // The master stays as it was before the click: no detail over its
        // rows, and the button says so.
        FGrid->Hide();
        SetClicksDisabled(true);
        SetState(cbUnchecked);
        SetClicksDisabled(false);
        throw;
    }
}

void RegisterCheckBoxClasses() {
    RegisterClasses({&TwwCheckBox::StaticClassInfo(), &TwwExpandButton::StaticClassInfo()});
}
