#include "dataaware/wwradiogroup.h"

#include <algorithm>

#include "dataaware/Wwdbigrd.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_CLASS(TwwRGEditFrame, TwwEditFrame)
ZELMOR_IMPLEMENT_CLASS(TwwRGWinButtonIndents, TwwWinButtonIndents)
ZELMOR_IMPLEMENT_CLASS(TGroupButton, TwwRadioButton)
ZELMOR_IMPLEMENT_CLASS(TwwCustomRadioGroup, TwwCustomTransparentGroupBox)
ZELMOR_IMPLEMENT_COMPONENT(TwwRadioGroup, TwwCustomRadioGroup)

void TwwRGEditFrame::DescribeProperties(TPropertyTable& T) {
    T.Property("FocusBorders", &TwwEditFrame::FocusBorders, &TwwEditFrame::SetFocusBorders)
        .Default(TwwEditFrameEnabledSet{});
    T.Property("NonFocusBorders", &TwwEditFrame::NonFocusBorders, &TwwEditFrame::SetNonFocusBorders)
        .Default(TwwEditFrameEnabledSet{});
}

TwwRGWinButtonIndents::TwwRGWinButtonIndents(TwwCustomRadioGroup* Group) : TwwWinButtonIndents(Group) {}

void TwwRGWinButtonIndents::Changed(TWinControl* Control) {
    auto* Group = dynamic_cast<TwwCustomRadioGroup*>(Control);
    if (!Group) return;
    Group->RebuildButtons();
    if (Group->Parent() && ::IsClassNamed(Group->Parent(), "TCustomGrid")) Group->Parent()->Invalidate();
}

// ---------------------------------------------------------------------------
// TGroupButton
// ---------------------------------------------------------------------------

TGroupButton::TGroupButton(TComponent* AOwner, TwwCustomRadioGroup* Group)
    : TwwRadioButton(AOwner), FGroup(Group) {
    Group->FButtons.push_back(this);
    Hide();
    SetEnabled(Group->Enabled());
    SetParentShowHint(false);
    OnClick = [this](TObject*) { FGroup->ButtonClicked(this); };
    SetParent(Group);
}

TGroupButton::~TGroupButton() {
    auto& B = FGroup->FButtons;
    B.erase(std::remove(B.begin(), B.end(), this), B.end());
}

bool TGroupButton::GetShowText() { return FGroup->ShowText(); }
TColor TGroupButton::GetFontColor() { return FGroup->FPaintTextColor; }
TColor TGroupButton::GetBackgroundColor() { return FGroup->FPaintColor; }

int TGroupButton::GetGlyphIndex() {
    const auto& B = FGroup->FButtons;
    auto It = std::find(B.begin(), B.end(), this);
    return It == B.end() ? 0 : static_cast<int>(It - B.begin());
}

bool TGroupButton::GetPaintChecked() {
    auto* Bound = dynamic_cast<TwwRadioGroup*>(FGroup);
    if (FControlState.Contains(csPaintCopy) && Bound && Bound->DataLink()->Active() &&
        Bound->DataLink()->Field()) {
        AnsiString Value;
        FGroup->GetItemValue(GetGlyphIndex(), Value);
        return Bound->DataLink()->Field()->Text() == Value;
    }
    return Checked();
}

void TGroupButton::CNCommand(TMessage& Message) {
    if (FInCommand) return;
    const UINT Code = HiWord(Message.WParam);
    if (Code != BN_CLICKED && Code != BN_DOUBLECLICKED) return;
    FInCommand = true;
    try {
        if (FGroup->CanModify()) TwwRadioButton::CNCommand(Message);
    } catch (...) {
        Application->HandleException(this);
    }
    FInCommand = false;
}

void TGroupButton::KeyPress(char& Key) {
    TwwRadioButton::KeyPress(Key);
    FGroup->KeyPress(Key);
    if ((Key == '\b' || Key == ' ') && !FGroup->CanModify()) Key = 0;
}

void TGroupButton::KeyDown(WORD& Key, TShiftState Shift) {
    TwwRadioButton::KeyDown(Key, Shift);
    FGroup->KeyDown(Key, Shift);
}

void TGroupButton::CMEnter(TMessage& Message) {
    TwwRadioButton::CMEnter(Message);
    if (FGroup->FArrowKey && FGroup->ArrowsModifySelection() && FGroup->CanModify()) SetChecked(true);
}

void TGroupButton::CNKeyDown(TMessage& Message) {
    const WORD Key = Message.CharCode();
    if (Key == VK_TAB) {
        FGroup->FTabbing = true;
        FGroup->SetFocus();
        FGroup->FTabbing = false;
    }
    const auto& B = FGroup->FButtons;
    const bool First = !B.empty() && B.front() == this, Last = !B.empty() && B.back() == this;
    if (((Key == VK_LEFT || Key == VK_UP) && First) || ((Key == VK_RIGHT || Key == VK_DOWN) && Last)) {
        TWinControl* Grid = FGroup->Parent();
        if (Grid && ::IsClassNamed(Grid, "TwwDBGrid")) {
            Grid->SetFocus();
            if (Grid->Focused()) PostMessage(Grid->Handle(), WM_KEYDOWN, Key, 0);
            Message.Result = 1;
        }
        return;
    }
    const bool Arrow = Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN;
    if (Arrow) FGroup->FArrowKey = true;
    try {
        TwwRadioButton::CNKeyDown(Message);
    } catch (...) {
        FGroup->FArrowKey = false;
        throw;
    }
    FGroup->FArrowKey = false;
}

// ---------------------------------------------------------------------------
// TwwCustomRadioGroup
// ---------------------------------------------------------------------------

TwwCustomRadioGroup::TwwCustomRadioGroup(TComponent* AOwner)
    : TwwCustomTransparentGroupBox(AOwner), FFrame(std::make_unique<TwwEditFrame>(this)),
      FIndents(std::make_unique<TwwRGWinButtonIndents>(this)),
      FButtonFrame(std::make_unique<TwwRGEditFrame>(this)), FItems(std::make_unique<TStringList>()) {
    SetTabStop(true);
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TwwCustomRadioGroup::~TwwCustomRadioGroup() {
    SetButtonCount(0);
    FItems->OnChange = nullptr;
}

void TwwCustomRadioGroup::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TwwCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == FItemIndex) return;
    FUpdating = true;
    try {
        if (FItemIndex >= 0 && FItemIndex < ButtonCount())
            FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
        FItemIndex = Value;
        if (FItemIndex >= 0) FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TwwCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns) return;
    FColumns = Value;
    PlaceButtons();
    Invalidate();
}

void TwwCustomRadioGroup::SetShowBorder(bool Value) {
    FShowBorder = Value;
    PlaceButtons();
    Invalidate();
}

void TwwCustomRadioGroup::SetShowGroupCaption(bool Value) {
    FShowGroupCaption = Value;
    PlaceButtons();
    Invalidate();
}

void TwwCustomRadioGroup::SetShowFocusRect(bool Value) {
    FShowFocusRect = Value;
    PlaceButtons();
}

void TwwCustomRadioGroup::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    PlaceButtons();
}

void TwwCustomRadioGroup::SetGlyphImages(TCustomImageList* Value) {
    FGlyphImages = Value;
    if (Value) Value->FreeNotification(this);
    PlaceButtons();
}

void TwwCustomRadioGroup::SetShowText(bool Value) {
    FShowText = Value;
    Invalidate();
}

void TwwCustomRadioGroup::SetWordWrap(bool Value) {
    FWordWrap = Value;
    PlaceButtons();
}

void TwwCustomRadioGroup::SetAlignment(TLeftRight Value) {
    FAlignment = Value;
    PlaceButtons();
}

void TwwCustomRadioGroup::SetNoSpacing(bool Value) {
    FNoSpacing = Value;
    PlaceButtons();
}

void TwwCustomRadioGroup::SetController(TwwController* Value) {
    if (Value == FController) return;
    TComponent* Slot = FController;
    RegisterWithController(Slot, Value, this);
    FController = static_cast<TwwController*>(Slot);
    if (FController) {
        FFrame->Assign(FController->Frame());
        if (HandleAllocated()) RecreateWnd();
    }
}

void TwwCustomRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomTransparentGroupBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FGlyphImages) FGlyphImages = nullptr;
    if (AComponent == FController) FController = nullptr;
}

void TwwCustomRadioGroup::GetItemValue(int Index, AnsiString& Text) {
    TStrings* Values = ValuesList();
    if (Values && Index >= 0 && Index < Values->Count() && !Values->Strings(Index).empty()) {
        Text = Values->Strings(Index);
        return;
    }
    Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : AnsiString();
}

void TwwCustomRadioGroup::GetItemCaptionForValue(const AnsiString& Value, AnsiString& Caption) {
    Caption.clear();
    for (int I = 0; I < FItems->Count(); ++I) {
        AnsiString V;
        GetItemValue(I, V);
        if (V == Value) {
            Caption = FItems->Strings(I);
            return;
        }
    }
}

void TwwCustomRadioGroup::DoCreateRadioButton(TwwRadioButton* Button) {
    if (Assigned(OnCreateRadioButton)) OnCreateRadioButton(this, Button);
}

bool TwwCustomRadioGroup::ShowsBorder() {
    return FShowBorder && !(Parent() && ::IsClassNamed(Parent(), "TCustomGrid"));
}

bool TwwCustomRadioGroup::PaintsTransparent() const {
    if (TwwCustomTransparentGroupBox::PaintsTransparent()) return true;
    return FFrame->Enabled() && FFrame->Transparent() && !FHasFocus;
}

void TwwCustomRadioGroup::ItemsChanged() {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return;
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    RebuildButtons();
}

void TwwCustomRadioGroup::SetButtonCount(int Count) {
    while (ButtonCount() < Count) NewComponent<TGroupButton>(this, this);
    while (ButtonCount() > Count) FButtons.back()->Free();
}

void TwwCustomRadioGroup::RebuildButtons() {
    SetButtonCount(FItems->Count());
    for (int I = 0; I < ButtonCount(); ++I) FButtons[static_cast<size_t>(I)]->SetCaption(FItems->Strings(I));
    if (FItemIndex >= 0 && FItemIndex < ButtonCount()) {
        FUpdating = true;
        FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
        FUpdating = false;
    }
    PlaceButtons();
    Invalidate();
}

void TwwCustomRadioGroup::PlaceButtons() {
    if (FButtons.empty() || ComponentState().Contains(csReading) || ComponentState().Contains(csLoading))
        return;
    TBitmap Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas()->Font()->Assign(Font());
    TTextMetric TM;
    Measure.Canvas()->GetTextMetrics(TM);
    const int Count = ButtonCount();
    const int PerColumn = (Count + FColumns - 1) / FColumns;
    int W = Width();
    if (ShowsBorder()) W -= 7;
    if (!FButtonFrame->Enabled()) W -= 4;
    int BW;
    if (FNoSpacing) {
        if (FFrame->Enabled()) W -= 2;
        BW = W / FColumns;
    } else {
        BW = (W - 1) / FColumns - 1 - (FFrame->Enabled() ? 2 : 0);
    }
    int A, BH, Top;
    if (ShowsBorder() && FShowGroupCaption) {
        A = Height() - TM.tmHeight - 5;
        BH = A / PerColumn;
        Top = (A % PerColumn) / 2 + TM.tmHeight + 1;
    } else if (ShowsBorder()) {
        A = Height() - 5;
        BH = A / PerColumn;
        Top = (A % PerColumn) / 2 + 2;
    } else {
        A = (FNoSpacing ? Height() : Height() - 3) - (FFrame->Enabled() ? 2 : 0);
        BH = A / PerColumn;
        Top = 2;
    }
    const bool InGrid = Parent() && ::IsClassNamed(Parent(), "TCustomGrid");
    for (int I = 0; I < Count; ++I) {
        TGroupButton* B = FButtons[static_cast<size_t>(I)];
        B->SetBiDiMode(BiDiMode());
        int X = (I / PerColumn) * BW + 9;
        if (!ShowsBorder() && B->Frame()->Enabled()) X += 1;
        if (FButtonFrame->Enabled()) X -= 4;
        if (!ShowsBorder()) X -= 4;
        B->Frame()->AssignFrom(FButtonFrame.get(), true);
        B->SetWordWrap(FWordWrap);
        B->SetAlignment(FAlignment);
        if (InGrid || PaintsTransparent()) {
            B->Frame()->SetEnabled(true);
            B->Frame()->SetTransparent(!InGrid);
        }
        if (FTransparentActiveItem && Transparent()) B->SetAlwaysTransparent(true);
        B->SetImages(FImages);
        B->SetShowFocusRect(FShowFocusRect);
        B->SetGlyphImages(FGlyphImages);
        B->Indents()->Assign(FIndents.get());
        DoCreateRadioButton(B);
        int Wd = BW, Ht = BH;
        if (FNoSpacing && I >= (FColumns - 1) * PerColumn) Wd = W - (FColumns - 1) * BW;
        if (FNoSpacing && I % PerColumn == PerColumn - 1) Ht = A - (PerColumn - 1) * BH;
        B->SetBounds(X, (I % PerColumn) * BH + Top, Wd, Ht);
        B->Show();
    }
}

void TwwCustomRadioGroup::ButtonClicked(TGroupButton* Button) {
    if (FUpdating) return;
    const auto& B = FButtons;
    auto It = std::find(B.begin(), B.end(), Button);
    FItemIndex = It == B.end() ? -1 : static_cast<int>(It - B.begin());
    Perform(CM_CHANGED, 0, 0);
    Click();
    if (Transparent()) Invalidate();
}

// Only the item buttons stay out of the form file: every other child the
// root owns is written, also one that comes after an item button.
void TwwCustomRadioGroup::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (dynamic_cast<TGroupButton*>(C)) continue;
        if (C->Owner() == Root) Proc(C);
    }
}

void TwwCustomRadioGroup::KeyDown(WORD& Key, TShiftState Shift) {
    TwwCustomTransparentGroupBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN || (Key == VK_F2 && Parent() && ::IsClassNamed(Parent(), "TwwDBGrid"))) {
        if (Parent() && Parent()->CanFocus()) Parent()->SetFocus();
    }
}

void TwwCustomRadioGroup::Loaded() {
    TwwCustomTransparentGroupBox::Loaded();
    RebuildButtons();
}

void TwwCustomRadioGroup::SetParent(TWinControl* AParent) {
    TwwCustomTransparentGroupBox::SetParent(AParent);
    if (AParent) PlaceButtons();
}

void TwwCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
    TwwCustomTransparentGroupBox::CMEnabledChanged(Message);
    for (TGroupButton* B : FButtons) B->SetEnabled(Enabled());
}

void TwwCustomRadioGroup::CMFontChanged(TMessage& Message) {
    TwwCustomTransparentGroupBox::CMFontChanged(Message);
    PlaceButtons();
}

void TwwCustomRadioGroup::WMSize(TMessage& Message) {
    TwwCustomTransparentGroupBox::WMSize(Message);
    PlaceButtons();
}

// A group without a window gets no WM_SIZE, yet a grid sizes its hidden cell
// control to each cell it paints a copy of: the buttons follow here.
void TwwCustomRadioGroup::Resize() {
    TwwCustomTransparentGroupBox::Resize();
    if (!HandleAllocated()) PlaceButtons();
}

void TwwCustomRadioGroup::CMEnter(TMessage& Message) {
    FHasFocus = true;
    if (FFrame->Enabled() && FFrame->Transparent() && !Transparent() && HandleAllocated())
        SetWindowLong(Handle(), GWL_EXSTYLE, GetWindowLong(Handle(), GWL_EXSTYLE) & ~WS_EX_TRANSPARENT);
    if (FFrame->Enabled()) Invalidate();
    TwwCustomTransparentGroupBox::CMEnter(Message);
}

void TwwCustomRadioGroup::CMExit(TMessage& Message) {
    FHasFocus = false;
    if (FFrame->Enabled() && FFrame->Transparent() && !Transparent() && HandleAllocated()) RecreateWnd();
    if (FFrame->Enabled()) Invalidate();
    TwwCustomTransparentGroupBox::CMExit(Message);
}

void TwwCustomRadioGroup::WMSetFocus(TMessage& Message) {
    TwwCustomTransparentGroupBox::WMSetFocus(Message);
    if (FTabbing || FButtons.empty()) return;
    TGroupButton* Target = FItemIndex >= 0 && FItemIndex < ButtonCount()
                               ? FButtons[static_cast<size_t>(FItemIndex)]
                               : FButtons.front();
    if (Target->CanFocus()) Target->SetFocus();
}

void TwwCustomRadioGroup::WMEraseBkgnd(TMessage& Message) {
    if (FFrame->Enabled() && FFrame->NonFocusColor() != clNone && !FHasFocus) {
        Message.Result = 1;
        return;
    }
    TwwCustomTransparentGroupBox::WMEraseBkgnd(Message);
}

void TwwCustomRadioGroup::WMPaint(TMessage& Message) {
    FPaintTextColor = clNone;
    if (FControlState.Contains(csPaintCopy) && Parent() && ::IsClassNamed(Parent(), "TCustomGrid") &&
        Message.WParam)
        FPaintTextColor = static_cast<TColor>(reinterpret_cast<HDC>(Message.WParam)->GetTextColor());
    TwwCustomTransparentGroupBox::WMPaint(Message);
}

void TwwCustomRadioGroup::Paint() {
    TCanvas* C = Canvas();
    if (FFrame->Enabled() && !FFrame->Transparent() && !FHasFocus && FFrame->NonFocusColor() != clNone) {
        C->Brush()->SetColor(FFrame->NonFocusColor());
        C->FillRect(ClientRect());
    }
    if (!ShowsBorder()) {
        if (FFrame->Enabled() && HandleAllocated()) DrawFrameEdges(this, FFrame.get(), C, FHasFocus);
        return;
    }
    if (Caption().empty()) return;
    C->Font()->Assign(Font());
    const int TH = FShowGroupCaption ? C->TextHeight("0") : 2;
    TRect R(0, TH / 2 - 1, Width(), Height());
    TRect Cap(8, 0, 8, TH);
    if (FShowGroupCaption) C->DrawText(Caption(), Cap, DT_SINGLELINE | DT_CALCRECT);
    const int GapLeft = Cap.Left, GapRight = FShowGroupCaption ? Cap.Right : Cap.Left;
    auto Outline = [&](int Dx, int Dy, TColor Color) {
        C->Pen()->SetColor(Color);
        const TPoint P[] = {
            {GapLeft + Dx, R.Top + Dy},           {R.Left + Dx, R.Top + Dy},
            {R.Left + Dx, R.Bottom - 1 + Dy - 1}, {R.Right - 1 + Dx - 1, R.Bottom - 1 + Dy - 1},
            {R.Right - 1 + Dx - 1, R.Top + Dy},   {GapRight + Dx, R.Top + Dy}};
        C->Polyline(P);
    };
    if (Ctl3D()) {
        Outline(1, 1, clBtnHighlight);
        Outline(0, 0, clBtnShadow);
    } else {
        Outline(0, 0, clWindowFrame);
    }
    if (FShowGroupCaption) {
        int Old = C->SetBkMode(TRANSPARENT);
        C->SetTextColor(Font()->Color());
        C->DrawText(Caption(), Cap, DT_SINGLELINE);
        C->SetBkMode(Old);
    }
}

// ---------------------------------------------------------------------------
// TwwRadioGroup
// ---------------------------------------------------------------------------

TwwRadioGroup::TwwRadioGroup(TComponent* AOwner)
    : TwwCustomRadioGroup(AOwner), FDataLink(std::make_unique<TFieldDataLink>()),
      FValues(std::make_unique<TStringList>()) {
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
}

TwwRadioGroup::~TwwRadioGroup() { FDataLink.reset(); }

void TwwRadioGroup::DescribeProperties(TPropertyTable& T) {
    using C = TwwRadioGroup;
    TControl::PublishStandard(
        T, {"Align",       "Anchors",     "BiDiMode",   "Caption",        "Color",     "Constraints",
            "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",      "ParentBiDiMode",
            "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
            "TabOrder",    "Visible",     "OnClick",    "OnContextPopup", "OnEnter",   "OnExit"});
    T.PropertyOf<C>(
         "TabStop", [](C& X) { return X.TabStop(); }, [](C& X, bool V) { X.SetTabStop(V); })
        .Default(true);
    T.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(taRightJustify);
    T.Property("ArrowsModifySelection", &C::ArrowsModifySelection, &C::SetArrowsModifySelection)
        .Default(false);
    T.Property("ButtonFrame", &C::ButtonFrame, &C::SetButtonFrame);
    T.Property("Columns", &C::Columns, &C::SetColumns).Default(1);
    T.Property("Controller", &C::Controller, &C::SetController);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DisableThemes", &C::DisableThemes, &C::SetDisableThemes);
    T.Property("Frame", &C::Frame, &C::SetFrame);
    T.Property("GlyphImages", &C::GlyphImages, &C::SetGlyphImages);
    T.Property("Images", &C::Images, &C::SetImages);
    T.Property("Indents", &C::Indents, &C::SetIndents);
    T.Property("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
    T.PropertyOf<C>(
        "Items", [](C& X) { return X.Items(); }, [](C& X, TStrings* V) { X.SetItems(V); });
    T.Property("NoSpacing", &C::NoSpacing, &C::SetNoSpacing).Default(false);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("ShowBorder", &C::ShowBorder, &C::SetShowBorder).Default(true);
    T.Property("ShowGroupCaption", &C::ShowGroupCaption, &C::SetShowGroupCaption).Default(true);
    T.Property("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
    T.Property("ShowText", &C::ShowText, &C::SetShowText).Default(true);
    T.Property("Transparent", &C::Transparent, &C::SetTransparent).Default(false);
    T.Property("TransparentActiveItem", &C::TransparentActiveItem, &C::SetTransparentActiveItem)
        .Default(false);
    T.Property("Values", &C::Values, &C::SetValues);
    T.Property("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
    T.Event("OnChange", &C::OnChange);
    T.Event("OnCreateRadioButton", &C::OnCreateRadioButton);
}

TDataSource* TwwRadioGroup::DataSource() const { return FDataLink->DataSource(); }

void TwwRadioGroup::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

AnsiString TwwRadioGroup::DataField() const { return FDataLink->FieldName(); }
void TwwRadioGroup::SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
bool TwwRadioGroup::ReadOnly() const { return FDataLink->ReadOnly(); }
void TwwRadioGroup::SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }

void TwwRadioGroup::SetValues(TStrings* Value) {
    FValues->Assign(Value);
    DataChange();
}

void TwwRadioGroup::SetItems(TStrings* Value) {
    TwwCustomRadioGroup::SetItems(Value);
    DataChange();
}

void TwwRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomRadioGroup::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

bool TwwRadioGroup::CanModify() {
    if (ReadOnly()) return false;
    if (FDataLink->DataSet()) return FDataLink->Edit();
    return true;
}

void TwwRadioGroup::SetValue(const AnsiString& Value) {
    if (Value == FValue) return;
    FInSetValue = true;
    try {
        int Index = -1;
        for (int I = 0; I < Items()->Count() && Index < 0; ++I) {
            AnsiString V;
            GetItemValue(I, V);
            if (V == Value) Index = I;
        }
        SetItemIndex(Index);
        FValue = Value;
        if (Assigned(OnChange)) OnChange(this);
    } catch (...) {
        FInSetValue = false;
        throw;
    }
    FInSetValue = false;
}

void TwwRadioGroup::Click() {
    if (FInSetValue) return;
    TwwCustomRadioGroup::Click();
    if (ItemIndex() >= 0) {
        AnsiString V;
        GetItemValue(ItemIndex(), V);
        SetValue(V);
    }
    if (FDataLink->Editing()) FDataLink->SetModified();
}

void TwwRadioGroup::DataChange() {
    TField* F = FDataLink ? FDataLink->Field() : nullptr;
    SetValue(F ? F->Text() : AnsiString());
}

void TwwRadioGroup::UpdateData() {
    if (TField* F = FDataLink->Field()) F->SetText(FValue);
}

void TwwRadioGroup::CMExit(TMessage& Message) {
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        int Index = ItemIndex() >= 0 ? ItemIndex() : 0;
        if (Index < ButtonCount() && Buttons(Index)->CanFocus()) Buttons(Index)->SetFocus();
        throw;
    }
    TwwCustomRadioGroup::CMExit(Message);
}

void TwwRadioGroup::KeyPress(char& Key) {
    TwwCustomRadioGroup::KeyPress(Key);
    if (Key == '\b' || Key == ' ') FDataLink->Edit();
    else if (Key == 27) FDataLink->Reset();
}

void TwwRadioGroup::Paint() {
    FPaintColor = clNone;
    TWinControl* P = Parent();
    if (P && ::IsClassNamed(P, "TCustomGrid") && !FControlState.Contains(csPaintCopy)) {
        auto* Grid = dynamic_cast<TwwCustomDBGrid*>(P);
        if (Grid && Grid->GridFocused()) {
            TCanvas* C = Canvas();
            C->Brush()->SetColor(Color());
            const bool Highlighted = ::IsClassNamed(P, "TwwDBGrid");
            if (Highlighted) {
                C->Brush()->SetColor(clHighlight);
                C->Font()->SetColor(clHighlightText);
                if (TField* F = FDataLink->Field())
                    Grid->DoCalcCellColors(F, TGridDrawState{}, true, C->Font(), C->Brush());
            }
            C->FillRect(ClientRect());
            FPaintColor = C->Brush()->Color();
            if (Highlighted) {
                C->Brush()->SetColor(clHighlight);
                C->FrameRect(ClientRect());
                C->SetTextColor(clHighlightText);
                C->SetBkColor(clHighlight);
                C->DrawFocusRect(ClientRect());
            }
        }
    }
    TwwCustomRadioGroup::Paint();
}

void RegisterRadioClasses() {
    RegisterClasses({&TwwRadioButton::StaticClassInfo(), &TwwRadioGroup::StaticClassInfo()});
}
