#include "dataaware/wwrcdvw.h"

#include <algorithm>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwmemo.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwdblook.h"
#include "dataaware/wwframe.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwradiogroup.h"
#include "dataaware/wwriched.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"

ZELMOR_IMPLEMENT_ENUM(TwwRecordViewStyle, "rvsVertical", "rvsHorizontal")
ZELMOR_IMPLEMENT_ENUM(TwwRecordViewOption, "rvoHideReadOnly", "rvoHideCalculated", "rvoHideNavigator",
                      "rvoUseCustomControls", "rvoShortenEditBox", "rvoModalForm", "rvoStayOnTopForm",
                      "rvoConsistentEditWidth", "rvoEnterToTab", "rvoConfirmCancel", "rvoCloseIsCancel",
                      "rvoMaximizeMemoWidth", "rvoSetControlMinWidth", "rvoUseDateTimePicker",
                      "rvoLabelsBeneathControl")
ZELMOR_IMPLEMENT_ENUM(TwwRecordViewControlOption, "rvcTransparentLabels", "rvcTransparentButtons",
                      "rvcFlatButtons")
ZELMOR_IMPLEMENT_ENUM(TwwRecordViewOKCancelOption, "rvokShowOKCancel", "rvokAutoPostRec", "rvokAutoCancelRec")
ZELMOR_IMPLEMENT_CLASS(TwwVertEditSpacing, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwHorzEditSpacing, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwEditSpacing, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwMargin, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwRecordViewDialog, TwwCustomDialog)
ZELMOR_IMPLEMENT_CLASS(TwwRecordViewForm, TForm)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBEditMemo, TwwDBCustomEdit)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBMemo, TDBMemo)
ZELMOR_IMPLEMENT_COMPONENT(TwwMemoDialogPopup, TwwMemoDialog)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBCheckBox, TDBCheckBox)
ZELMOR_IMPLEMENT_COMPONENT(TwwLabel, TLabel)

void TwwVertEditSpacing::DescribeProperties(TPropertyTable& T) {
    using C = TwwVertEditSpacing;
    T.Property("BetweenLabelEdit", &C::BetweenLabelEdit, &C::SetBetweenLabelEdit);
    T.Property("BetweenRow", &C::BetweenRow, &C::SetBetweenRow);
}

void TwwHorzEditSpacing::DescribeProperties(TPropertyTable& T) {
    using C = TwwHorzEditSpacing;
    T.Property("BetweenLabelEdit", &C::BetweenLabelEdit, &C::SetBetweenLabelEdit);
    T.Property("BetweenEditsInRow", &C::BetweenEditsInRow, &C::SetBetweenEditsInRow);
    T.Property("BetweenRow", &C::BetweenRow, &C::SetBetweenRow);
    T.Property("LabelIndent", &C::LabelIndent, &C::SetLabelIndent);
}

void TwwVertEditSpacing::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TwwVertEditSpacing*>(Source);
    if (!S) return TPersistent::Assign(Source);
    FBetweenLabelEdit = S->FBetweenLabelEdit;
    FBetweenRow = S->FBetweenRow;
}

void TwwHorzEditSpacing::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TwwHorzEditSpacing*>(Source);
    if (!S) return TPersistent::Assign(Source);
    FBetweenLabelEdit = S->FBetweenLabelEdit;
    FBetweenEditsInRow = S->FBetweenEditsInRow;
    FBetweenRow = S->FBetweenRow;
    FLabelIndent = S->FLabelIndent;
}

void TwwMargin::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TwwMargin*>(Source);
    if (!S) return TPersistent::Assign(Source);
    FLeft = S->FLeft;
    FRight = S->FRight;
    FTop = S->FTop;
    FBottom = S->FBottom;
}

TwwEditSpacing::TwwEditSpacing()
    : FVertical(std::make_unique<TwwVertEditSpacing>()), FHorizontal(std::make_unique<TwwHorzEditSpacing>()) {
}

void TwwEditSpacing::DescribeProperties(TPropertyTable& T) {
    using C = TwwEditSpacing;
    T.Property("VerticalView", &C::VerticalView, &C::SetVerticalView);
    T.Property("HorizontalView", &C::HorizontalView, &C::SetHorizontalView);
}

void TwwMargin::DescribeProperties(TPropertyTable& T) {
    using C = TwwMargin;
    T.Property("LeftOffset", &C::LeftOffset, &C::SetLeftOffset);
    T.Property("RightOffset", &C::RightOffset, &C::SetRightOffset);
    T.Property("TopOffset", &C::TopOffset, &C::SetTopOffset);
    T.Property("BottomOffset", &C::BottomOffset, &C::SetBottomOffset);
}

// ---------------------------------------------------------------------------
// TwwRecordViewDialog
// ---------------------------------------------------------------------------

TwwRecordViewDialog::TwwRecordViewDialog(TComponent* AOwner)
    : TwwCustomDialog(AOwner), FDataLink(std::make_unique<TDataLink>()),
      FSelected(std::make_unique<TStringList>()), FControlType(std::make_unique<TStringList>()),
      FPictureMasks(std::make_unique<TStringList>()), FEditSpacing(std::make_unique<TwwEditSpacing>()),
      FMargin(std::make_unique<TwwMargin>()), FFormPosition(std::make_unique<TwwFormPosition>()),
      FEditFrame(std::make_unique<TwwEditFrame>(this)), FFont(std::make_unique<TFont>()),
      FLabelFont(std::make_unique<TFont>()) {}

TwwRecordViewDialog::~TwwRecordViewDialog() {
    if (FForm) {
        FForm->Dialog = nullptr;
        FForm->Free();
    }
}

void TwwRecordViewDialog::DescribeProperties(TPropertyTable& T) {
    using C = TwwRecordViewDialog;
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("Caption", &C::Caption, &C::SetCaption);
    T.Property("Style", &C::Style, &C::SetStyle).Default(rvsVertical);
    T.Property("Options", &C::Options, &C::SetOptions);
    T.Property("ControlOptions", &C::ControlOptions, &C::SetControlOptions);
    T.Property("OKCancelOptions", &C::OKCancelOptions, &C::SetOKCancelOptions);
    T.Property("Selected", &C::Selected, &C::SetSelected);
    T.Property("ControlType", &C::ControlType, &C::SetControlType);
    T.Property("ControlInfoInDataset", &C::ControlInfoInDataset, &C::SetControlInfoInDataset).Default(true);
    T.Property("PictureMasks", &C::PictureMasks, &C::SetPictureMasks);
    T.Property("PictureMaskFromDataSet", &C::PictureMaskFromDataSet, &C::SetPictureMaskFromDataSet)
        .Default(true);
    T.Property("EditSpacing", &C::EditSpacing, &C::SetEditSpacing);
    T.Property("Margin", &C::Margin, &C::SetMargin);
    T.Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSizeable);
    T.Property("FormPosition", &C::FormPosition, &C::SetFormPosition);
    T.Property("NavigatorButtons", &C::NavigatorButtons, &C::SetNavigatorButtons);
    T.Property("NavigatorVisibleButtons", &C::NavigatorVisibleButtons, &C::SetNavigatorVisibleButtons);
    T.Property("NavigatorFlat", &C::NavigatorFlat, &C::SetNavigatorFlat).Default(false);
    T.Property("Menu", &C::Menu, &C::SetMenu);
    T.Property("Navigator", &C::Navigator, &C::SetNavigator);
    T.Property("EditFrame", &C::EditFrame, &C::SetEditFrame);
    T.Property("Controller", &C::Controller, &C::SetController);
    T.Property("Font", &C::Font, &C::SetFont);
    T.Property("LabelFont", &C::LabelFont, &C::SetLabelFont);
    T.Property("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor);
    T.Property("LinesPerMemoControl", &C::LinesPerMemoControl, &C::SetLinesPerMemoControl).Default(2);
    T.Event("OnBeforeCreateControl", &C::OnBeforeCreateControl);
    T.Event("OnAfterCreateControl", &C::OnAfterCreateControl);
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnCloseDialog", &C::OnCloseDialog);
    T.Event("OnResizeDialog", &C::OnResizeDialog);
    T.Event("OnCancelWarning", &C::OnCancelWarning);
}

void TwwRecordViewDialog::SetEditSpacing(TwwEditSpacing* Value) {
    FEditSpacing->SetVerticalView(Value->VerticalView());
    FEditSpacing->SetHorizontalView(Value->HorizontalView());
}

void TwwRecordViewDialog::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TwwRecordViewDialog::SetEditFrame(TwwEditFrame* Value) { FEditFrame->Assign(Value); }

void TwwRecordViewDialog::SetController(TwwController* Value) {
    if (Value == FController) return;
    TComponent* Slot = FController;
    RegisterWithController(Slot, Value, this);
    FController = static_cast<TwwController*>(Slot);
    if (FController) FEditFrame->Assign(FController->Frame());
}

void TwwRecordViewDialog::SetNavigator(TwwDBNavigator* Value) {
    FNavigator = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetVisible(false);
    }
}

void TwwRecordViewDialog::SetMenu(TMainMenu* Value) {
    FMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TwwRecordViewDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomDialog::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
    if (AComponent == FNavigator) FNavigator = nullptr;
    if (AComponent == FMenu) FMenu = nullptr;
    if (AComponent == FController) FController = nullptr;
    for (TBorrowed& B : FBorrowed)
        if (B.Parent == AComponent) B.Parent = dynamic_cast<TWinControl*>(Owner());
}

TDataSet* TwwRecordViewDialog::GetPrimaryDataSet() {
    return DataSource() ? DataSource()->DataSet() : nullptr;
}

bool TwwRecordViewDialog::IsSingleLineEdit(TControl* Control) {
    return dynamic_cast<TwwDBEdit*>(Control) != nullptr ||
           dynamic_cast<TwwDBCustomDateTimePicker*>(Control) != nullptr;
}

bool TwwRecordViewDialog::DoBeforeCreateControl(TField* Field) {
    bool Accept = true;
    if (Assigned(OnBeforeCreateControl)) OnBeforeCreateControl(FForm, Field, Accept);
    return Accept;
}

void TwwRecordViewDialog::DoInitDialog() {
    if (Assigned(OnInitDialog)) OnInitDialog(FForm);
}

void TwwRecordViewDialog::DoCloseDialog() {
    if (Assigned(OnCloseDialog)) OnCloseDialog(FForm);
}

void TwwRecordViewDialog::DoCancelWarning(bool& CanClose) {
    if (Assigned(OnCancelWarning)) OnCancelWarning(FForm, CanClose);
}

void TwwRecordViewDialog::PostAndClose() {
    FClosing = csOK;
    // A modal form closes through its modal result (its loop asks CloseQuery).
    FForm->SetModalResult(mrOk);
    if (!FOptions.Contains(rvoModalForm)) FForm->Close();
}

void TwwRecordViewDialog::CancelAndClose() {
    FClosing = csCancel;
    FForm->SetModalResult(mrCancel);
    if (!FOptions.Contains(rvoModalForm)) FForm->Close();
}

namespace {
// A control's published object property of that name, or null.
TObject* ObjectPropOf(TObject* Control, const char* Name) {
    return IsPublishedProp(Control, Name) ? GetObjectProp(Control, Name) : nullptr;
}
}  // namespace

void TwwRecordViewDialog::DoAfterCreateControl(TField* Field, TControl* Control) {
    TObject* Effects = ObjectPropOf(Control, "ButtonEffects");
    if (Effects) {
        if (IsPublishedProp(Effects, "Transparent"))
            SetOrdProp(Effects, "Transparent", FControlOptions.Contains(rvcTransparentButtons));
        if (IsPublishedProp(Effects, "Flat"))
            SetOrdProp(Effects, "Flat", FControlOptions.Contains(rvcFlatButtons));
    }
    TObject* Frame = ObjectPropOf(Control, "Frame");
    if (!Frame) Frame = ObjectPropOf(Control, "EditFrame");
    if (auto* Own = dynamic_cast<TwwEditFrame*>(Frame)) {
        Own->Assign(FEditFrame.get());
        DoSetControlEffects(Field, Control, Own, dynamic_cast<TwwButtonEffects*>(Effects));
    }
    if (Assigned(OnAfterCreateControl)) OnAfterCreateControl(FForm, Field, Control);
}

void TwwRecordViewDialog::DoSetControlEffects(TField* Field, TControl* Control, TwwEditFrame* Frame,
                                              TwwButtonEffects* ButtonEffects) {
    if (Assigned(OnSetControlEffects)) OnSetControlEffects(FForm, Field, Control, Frame, ButtonEffects);
}

std::vector<TwwRecordViewDialog::TShownField> TwwRecordViewDialog::ShownFields() {
    std::vector<TShownField> List;
    TDataSet* DataSet = GetPrimaryDataSet();
    auto CheckBoxOf = [&](TShownField& F) {
        if (!FOptions.Contains(rvoUseCustomControls) || !F.Field) return;
        TStrings* Lines = FControlType.get();
        TStrings* Own = GetControlType(DataSet);
        if (FControlInfoInDataset && Own && Own->Count() > 0) Lines = Own;
        for (int I = 0; I < Lines->Count(); ++I) {
            auto Parts = std::make_unique<TStringList>();
            SplitToList(Lines->Strings(I), ';', *Parts);
            if (Parts->Count() >= 4 && Parts->Strings(0) == F.Field->FieldName() &&
                Parts->Strings(1) == "CheckBox") {
                F.CheckBox = true;
                F.Checked = Parts->Strings(2);
                F.Unchecked = Parts->Strings(3);
                return;
            }
        }
    };
    if (FSelected->Count() == 0) {
        for (int I = 0; I < DataSet->FieldCount(); ++I) {
            TField* Fld = DataSet->Fields()->Fields(I);
            TShownField F;
            F.Field = Fld;
            F.Text = Fld->DisplayLabel();
            F.Width = Fld->DisplayWidth();
            F.ReadOnly = Fld->ReadOnly();
            CheckBoxOf(F);
            List.push_back(F);
        }
        return List;
    }
    for (int I = 0; I < FSelected->Count(); ++I) {
        auto Parts = std::make_unique<TStringList>();
        SplitToList(FSelected->Strings(I), '\t', *Parts);
        TShownField F;
        F.Field = Parts->Count() > 0 ? DataSet->FindField(Parts->Strings(0)) : nullptr;
        int Width = 0;
        if (Parts->Count() > 1) TryStrToInt(Parts->Strings(1), Width);
        F.Width = Width;
        F.Text = Parts->Count() > 2 ? Parts->Strings(2) : (F.Field ? F.Field->DisplayLabel() : AnsiString());
        F.ReadOnly = Parts->Count() > 3 && Parts->Strings(3) == "T";
        CheckBoxOf(F);
        List.push_back(F);
    }
    return List;
}

bool TwwRecordViewDialog::IsShown(const TShownField& F) const {
    if (!F.Field) return false;
    if (FOptions.Contains(rvoHideReadOnly) && (F.ReadOnly || F.Field->ReadOnly())) return false;
    if (FOptions.Contains(rvoHideCalculated) && F.Field->Calculated()) return false;
    return true;
}

int TwwRecordViewDialog::NaturalWidth(int Chars) const {
    TCanvas* C = FForm->Canvas();
    C->Font()->Assign(FForm->Font());
    return C->TextWidth("0") * (Chars + 1) + 3;
}

int TwwRecordViewDialog::MemoHeight() const {
    TCanvas* C = FForm->Canvas();
    C->Font()->Assign(FForm->Font());
    return C->TextHeight("0") * FLinesPerMemoControl + 8;
}

int TwwRecordViewDialog::Clamp(int Width, int Avail) const {
    if (FOptions.Contains(rvoShortenEditBox)) Width = std::min(Width, Avail);
    if (FOptions.Contains(rvoConsistentEditWidth)) Width = std::max(Width, Avail);
    return Width;
}

TControl* TwwRecordViewDialog::PlaceField(const TShownField& F, TLabel* Label, int X, int Y, int Avail,
                                          int WidestNatural, bool Horizontal) {
    TField* Field = F.Field;
    TScrollBox* Box = FForm->ScrollBox;
    TWinControl* Borrowed = nullptr;
    if (FOptions.Contains(rvoUseCustomControls) &&
        FindFieldCustomControl(this, GetOwnerFormOrFrame(this), Field, Borrowed) && Borrowed) {
        TBorrowed Record{Borrowed, Borrowed->BoundsRect(), Borrowed->Parent(), Borrowed->Visible()};
        if (TObject* Effects = ObjectPropOf(Borrowed, "ButtonEffects");
            Effects && IsPublishedProp(Effects, "Flat") && IsPublishedProp(Effects, "Transparent")) {
            Record.HasEffects = true;
            Record.Flat = GetOrdProp(Effects, "Flat") != 0;
            Record.Transparent = GetOrdProp(Effects, "Transparent") != 0;
        }
        FBorrowed.push_back(Record);
        if (Label) Label->SetFocusControl(Borrowed);
        Borrowed->SetParent(Box);
        Borrowed->SetVisible(true);
        if (SetDataSourceProp(Borrowed, DataSource()) && SetDataFieldProp(Borrowed, Field->FieldName())) {
            if (auto* Look = dynamic_cast<TwwDBCustomLookupCombo*>(Borrowed);
                Look && !IsCalcOrLookupField(Field))
                Look->RefreshDisplayValue();
            Borrowed->SetCtl3D(true);
            SetBorderStyleProp(Borrowed, true);
            int C = NaturalWidth(F.Width);
            if (FOptions.Contains(rvoSetControlMinWidth) && Label) C = std::max(C, Label->Width() + 1);
            C = Horizontal ? std::min(C, Avail) : Clamp(C, Avail);
            Borrowed->SetBounds(X, Y, C, Borrowed->Height());
            Borrowed->HandleNeeded();
            FControls.push_back(Borrowed);
            DoAfterCreateControl(Field, Borrowed);
        }
        return Borrowed;
    }
    TWinControl* Control;
    if (FOptions.Contains(rvoUseDateTimePicker) &&
        (Field->DataType() == ftDate || Field->DataType() == ftTime || Field->DataType() == ftDateTime))
        Control = NewComponent<TwwDBDateTimePicker>(Box);
    else if (IsRichTextField(Field, true)) Control = NewComponent<TwwDBRichEdit>(Box);
    else if (Field->DataType() == ftMemo && FEditFrame->Enabled()) Control = NewComponent<TwwDBEditMemo>(Box);
    else if (Field->DataType() == ftMemo) Control = NewComponent<TwwDBMemo>(Box);
    else if (Field->DataType() == ftGraphic) Control = NewComponent<TDBImage>(Box);
    else Control = NewComponent<TwwDBEdit>(Box);
    const bool Multi = !IsSingleLineEdit(Control);
    Control->SetParent(Box);
    if (Label) Label->SetFocusControl(Control);
    if (!SetDataSourceProp(Control, DataSource()) || !SetDataFieldProp(Control, Field->FieldName()))
        return nullptr;
    if (F.ReadOnly || Field->ReadOnly() || Field->Calculated()) {
        Control->SetColor(FReadOnlyColor);
        Control->SetTabStop(false);
    }
    if (auto* Edit = dynamic_cast<TwwDBEdit*>(Control); Edit && Field->DataType() == ftString)
        Edit->SetMaxLength(Field->Size());
    int C = NaturalWidth(F.Width);
    if (Multi && FOptions.Contains(rvoMaximizeMemoWidth))
        C = Horizontal ? std::max(WidestNatural, Avail) : Avail;
    // The picker's drop-down button takes room beside its text.
    if (auto* Picker = dynamic_cast<TwwDBCustomDateTimePicker*>(Control)) C += Picker->Button()->Width();
    if (FOptions.Contains(rvoEnterToTab)) {
        if (auto* Memo = dynamic_cast<TDBMemo*>(Control)) Memo->SetWantReturns(false);
        if (auto* Memo = dynamic_cast<TwwDBEditMemo*>(Control)) Memo->SetWantReturns(false);
    }
    C = Clamp(C, Avail);
    const int H = Multi ? MemoHeight() : Control->Height();
    if (F.ReadOnly) Control->SetEnabled(false);
    if (auto* Edit = dynamic_cast<TwwDBCustomEdit*>(Control)) {
        AnsiString Mask;
        bool AutoFill = false, UseInGrid = false;
        GetFieldPictureMask(FPictureMaskFromDataSet ? static_cast<TComponent*>(GetPrimaryDataSet()) : this,
                            Field->FieldName(), false, Mask, AutoFill, UseInGrid);
        if (!Mask.empty()) {
            Edit->Picture()->SetPictureMask(Mask);
            Edit->Picture()->SetAutoFill(AutoFill);
        }
        Edit->Picture()->SetPictureMaskFromDataSet(false);
        Edit->Picture()->SetAllowInvalidExit(false);
    }
    Control->SetBounds(X, Y, Control->Width(), H);
    FControls.push_back(Control);
    const int Before = Control->Width();
    Control->SetWidth(C);
    DoAfterCreateControl(Field, Control);
    if (Control->Width() != C && Control->Width() != Before) C = Control->Width();
    C = Clamp(C, Avail);
    if (Horizontal && FOptions.Contains(rvoSetControlMinWidth) && Label) C = std::max(C, Label->Width() + 1);
    Control->SetWidth(C);
    return Control;
}

TControl* TwwRecordViewDialog::MakeCheckBox(const TShownField& F, TLabel* Label, int X, int Y, int Height) {
    auto* Box = NewComponent<TwwDBCheckBox>(FForm->ScrollBox);
    Box->SetParent(FForm->ScrollBox);
    Box->Label = Label;
    Label->SetFocusControl(Box);
    Box->SetCaption("");
    Box->SetValueChecked(F.Checked);
    Box->SetValueUnchecked(F.Unchecked);
    Box->SetDataSource(DataSource());
    Box->SetDataField(F.Field->FieldName());
    Box->SetBounds(X, Y, 17, Height > 0 ? Height : Box->Height());
    if (F.ReadOnly || F.Field->ReadOnly() || F.Field->Calculated()) Box->SetTabStop(false);
    FControls.push_back(Box);
    DoAfterCreateControl(F.Field, Box);
    return Box;
}

TLabel* TwwRecordViewDialog::MakeLabel(const TShownField& F, int X, int Y, int Width, TAlignment Alignment) {
    TLabel* Label =
        F.CheckBox ? NewComponent<TwwLabel>(FForm->ScrollBox) : NewComponent<TLabel>(FForm->ScrollBox);
    Label->SetParent(FForm->ScrollBox);
    Label->Font()->Assign(FLabelFont.get());
    Label->SetCaption(ReplaceChar(F.Text, '~', ' '));
    Label->SetAutoSize(false);
    Label->SetBounds(X, Y, Width, Label->Height());
    Label->SetAlignment(Alignment);
    Label->SetTransparent(FControlOptions.Contains(rvcTransparentLabels));
    DoAfterCreateControl(F.Field, Label);
    return Label;
}

void TwwRecordViewDialog::ShowMenu() {
    if (FMenu && FMenu->Items()->Count() > 0) FForm->SetMenu(FMenu);
}

void TwwRecordViewDialog::FinishHeight(int Y) {
    const int ButtonPanel = FOKCancelOptions.Contains(rvokShowOKCancel) ? FForm->ButtonPanel->Height() : 0;
    FNeededHeight = GetSystemMetrics(SM_CYCAPTION) + FForm->RecordPanel->Top() + Y + ButtonPanel + 21;
    if (FForm->Menu() && FBorderStyle != bsDialog) FNeededHeight += GetSystemMetrics(SM_CYMENU);
    int H = FNeededHeight;
    if (FFormPosition->Height() >= 1) H = std::min(FFormPosition->Height(), FNeededHeight);
    TRect Work;
    GetWorkArea(Work);
    FShrunk = H > Work.Height() - 12;
    if (FShrunk) H = Work.Height() - 12;
    FForm->SetHeight(H);
}

// The vertical scroll bar over the record's height Y, a line being Line
// pixels; the form widens by the bar when the record panel is lower than Y.
void TwwRecordViewDialog::SetVerticalScroll(int Y, int Line) {
    TControlScrollBar* Bar = FForm->ScrollBox->VertScrollBar();
    Bar->SetMargin(6);
    Bar->SetRange(Y);
    Bar->SetIncrement(Line);
    if (FForm->RecordPanel->Height() - 12 < Y)
        FForm->SetWidth(FForm->Width() + GetSystemMetrics(SM_CXVSCROLL));
}

void TwwRecordViewDialog::SetHorizontalScroll(int Range) {
    TControlScrollBar* Bar = FForm->ScrollBox->HorzScrollBar();
    Bar->SetMargin(6);
    Bar->SetRange(Range - (FShrunk ? GetSystemMetrics(SM_CXVSCROLL) : 0));
}

void TwwRecordViewDialog::LayoutVertical() {
    TwwVertEditSpacing* S = FEditSpacing->VerticalView();
    TCanvas* C = FForm->Canvas();
    std::vector<TShownField> Fields = ShownFields();
    C->Font()->Assign(FLabelFont.get());
    int W = 0, E = 0;
    for (const TShownField& F : Fields)
        if (IsShown(F)) {
            C->Font()->Assign(FLabelFont.get());
            W = std::max(W, C->TextWidth(ReplaceChar(F.Text, '~', ' ')));
            E = std::max(E, F.CheckBox ? 17 : NaturalWidth(F.Width));
        }
    const int L = FMargin->LeftOffset() + W + S->BetweenLabelEdit();
    FLabelEdge = L;
    const int Nav = FOptions.Contains(rvoHideNavigator) ? 0
                    : FForm->Navigator                  ? FForm->Navigator->Width()
                                                        : 0;
    const int Left = FForm->RecordPanel->Left() + FForm->ScrollBox->Left();
    FNeededWidth = std::max(Left + L + E + FMargin->RightOffset() + 14, Nav + FMargin->RightOffset() + 14);
    if (FFormPosition->Width() >= 1)
        FNeededWidth = std::max(FFormPosition->Width(), Nav + FMargin->RightOffset() + 14);
    TRect Work;
    GetWorkArea(Work);
    FForm->SetWidth(std::min(FNeededWidth, Work.Width() - FMargin->RightOffset() - 14));
    const int Avail = FForm->Width() - L - FMargin->RightOffset() - 20;
    int Y = FMargin->TopOffset(), LastHeight = 0;
    for (const TShownField& F : Fields) {
        if (!IsShown(F) || !DoBeforeCreateControl(F.Field)) continue;
        TLabel* Label = MakeLabel(F, FMargin->LeftOffset(), Y + (F.CheckBox ? 1 : 4), W, taRightJustify);
        TControl* Control;
        if (F.CheckBox) {
            Control = MakeCheckBox(F, Label, L, Y, 0);
        } else {
            Control = PlaceField(F, Label, L, Y, Avail, E, false);
            if (!Control) continue;
        }
        FLabels.push_back(Label);
        Y += Control->Height() + S->BetweenRow();
        LastHeight = Control->Height();
    }
    ShowMenu();
    Y += FMargin->BottomOffset() - S->BetweenRow();
    FinishHeight(Y);
    SetVerticalScroll(Y, S->BetweenRow() + LastHeight);
    int Widest = 0;
    for (TControl* Control : FControls) Widest = std::max(Widest, Control->Width());
    const int Needed = Left + L + Widest + FMargin->RightOffset() + 14;
    if (FForm->Width() > Work.Width()) FForm->SetWidth(Work.Width());
    if (FForm->Width() < Needed) FForm->SetHeight(FForm->Height() + GetSystemMetrics(SM_CYHSCROLL));
    SetHorizontalScroll(FOptions.Contains(rvoConsistentEditWidth) ? Widest
                                                                  : L + Widest + FMargin->RightOffset());
}

void TwwRecordViewDialog::LayoutHorizontal() {
    TwwHorzEditSpacing* S = FEditSpacing->HorizontalView();
    TCanvas* C = FForm->Canvas();
    std::vector<TShownField> Fields = ShownFields();
    int E = 0;
    for (const TShownField& F : Fields)
        if (IsShown(F)) E = std::max(E, NaturalWidth(F.Width));
    const int L = FMargin->LeftOffset();
    FLabelEdge = L;
    const int Nav = FOptions.Contains(rvoHideNavigator) ? 0
                    : FForm->Navigator                  ? FForm->Navigator->Width()
                                                        : 0;
    const int Left = FForm->RecordPanel->Left() + FForm->ScrollBox->Left();
    FNeededWidth =
        std::max({Left + L + E + FMargin->RightOffset() + 14, Nav + FMargin->RightOffset() + 14, 400});
    if (FFormPosition->Width() >= 1)
        FNeededWidth = std::max(FFormPosition->Width(), Nav + FMargin->RightOffset() + 14);
    TRect Work;
    GetWorkArea(Work);
    FForm->SetWidth(std::min(FNeededWidth, Work.Width() - FMargin->RightOffset() - 14));
    const int Avail =
        FForm->Width() - FForm->ScrollBox->Left() - FMargin->LeftOffset() - FMargin->RightOffset() - 20;
    int Y = FMargin->TopOffset(), X = 0, RowHeight = 0, LabelHeight = 0, WidestRowEnd = 0, LastRowHeight = 0;
    auto Break = [&] {
        X = 0;
        Y += S->BetweenLabelEdit() + RowHeight + S->BetweenRow() + LabelHeight;
        RowHeight = 0;
    };
    for (const TShownField& F : Fields) {
        if (!F.Field) {
            Break();
            continue;
        }
        if (!IsShown(F)) continue;
        C->Font()->Assign(FLabelFont.get());
        const AnsiString Caption = ReplaceChar(F.Text, '~', ' ');
        const int LabelWidth = C->TextWidth(Caption);
        const int EditWidth =
            FOptions.Contains(rvoMaximizeMemoWidth) && F.Field->IsBlob() ? Avail : NaturalWidth(F.Width);
        if (X > 0 && Avail < std::max(EditWidth, S->LabelIndent() + LabelWidth) + S->BetweenEditsInRow() + X)
            Break();
        if (!DoBeforeCreateControl(F.Field)) continue;
        TLabel* Label =
            MakeLabel(F, FMargin->LeftOffset() + X + S->LabelIndent(), Y, LabelWidth, taLeftJustify);
        LabelHeight = Label->Height();
        const int LabelRoom = LabelWidth + S->LabelIndent();
        const int Top = Y + S->BetweenLabelEdit() + LabelHeight;
        TControl* Control;
        if (F.CheckBox) {
            Control = MakeCheckBox(F, Label, L + X, Top, RowHeight);
        } else {
            Control = PlaceField(F, Label, L + X, Top, Avail, E, true);
            if (!Control) continue;
        }
        FLabels.push_back(Label);
        RowHeight = std::max(RowHeight, Control->Height());
        LastRowHeight = RowHeight;
        X += std::max(Control->Width(), LabelRoom) + S->BetweenEditsInRow();
        WidestRowEnd = std::max(WidestRowEnd, X - S->BetweenEditsInRow());
    }
    ShowMenu();
    Y += S->BetweenLabelEdit() + RowHeight + LabelHeight + FMargin->BottomOffset();
    FinishHeight(Y);
    const int Before = FForm->Width();
    SetVerticalScroll(Y, LastRowHeight + S->BetweenRow());
    const int Widened = FForm->Width() - Before;
    const int Needed = Left + L + WidestRowEnd + FMargin->RightOffset() + 14;
    if (std::min(Needed, Work.Width()) > Before || Needed > Work.Width())
        FForm->SetHeight(FForm->Height() + GetSystemMetrics(SM_CYHSCROLL));
    FForm->SetWidth(std::min(std::max(Before, Needed) + Widened, Work.Width()));
    int Widest = 0;
    for (TControl* Control : FControls) Widest = std::max(Widest, Control->Width());
    SetHorizontalScroll(L + Widest + FMargin->RightOffset());
}

bool TwwRecordViewDialog::Execute() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) {
        MessageDlg("DataSource or DataSource.DataSet not defined.", mtWarning, {mbOK}, 0);
        return false;
    }
    if (!DataSet->Active()) {
        MessageDlg("DataSet must be active.", mtWarning, {mbOK}, 0);
        return false;
    }
    FClosing = csNone;
    if (FForm) {
        FForm->Show();
        FForm->BringToFront();
        return false;
    }
    auto* F = TForm::CreateNew<TwwRecordViewForm>(Application);
    FForm = F;
    F->Dialog = this;
    F->SetBorderStyle(FBorderStyle);
    F->SetCaption(FCaption);
    F->Font()->Assign(FFont.get());
    F->SetKeyPreview(true);
    FControls.clear();
    FLabels.clear();
    if (!FOptions.Contains(rvoHideNavigator)) {
        F->NavigatorPanel = NewComponent<TPanel>(F);
        F->NavigatorPanel->SetCaption("");
        F->NavigatorPanel->SetAlign(alTop);
        F->NavigatorPanel->SetParent(F);
        TwwDBNavigator* Nav = FNavigator;
        if (Nav) {
            FNavigatorParent = Nav->Parent();
            Nav->SetVisible(true);
        } else {
            Nav = NewComponent<TwwDBNavigator>(F);
            Nav->SetAutosizeStyle(asNone);
            Nav->SetNavShowHint(true);
            Nav->SetFlat(FNavigatorFlat);
            Nav->SetParent(F->NavigatorPanel);
            Nav->SetVisibleButtons(FNavigatorButtons);
        }
        Nav->SetParent(F->NavigatorPanel);
        Nav->SetBounds(8, 8, Nav->Width(), 25);
        Nav->SetDataSource(DataSource());
        Nav->SetTabOrder(0);
        if (Nav->Flat()) {
            Nav->SetTop(1);
            F->NavigatorPanel->SetHeight(Nav->Height() + 2);
        }
        F->Navigator = Nav;
    }
    F->RecordPanel = NewComponent<TPanel>(F);
    F->RecordPanel->SetName("RecordPanel");
    F->RecordPanel->SetCaption("");
    F->RecordPanel->SetBevelInner(bvLowered);
    F->RecordPanel->SetBorderWidth(4);
    F->RecordPanel->SetTop(41);
    F->RecordPanel->SetAlign(alClient);
    F->RecordPanel->SetParent(F);
    F->ButtonPanel = NewComponent<TPanel>(F);
    F->ButtonPanel->SetName("UserPanel");
    F->ButtonPanel->SetCaption("");
    F->ButtonPanel->SetAlign(alBottom);
    F->ButtonPanel->SetParent(F);
    if (FOKCancelOptions.Contains(rvokShowOKCancel)) {
        FOKButton = CreateDialogButton(F, bkOK);
        FCancelButton = CreateDialogButton(F, bkCancel);
        for (TButton* B : {FOKButton, FCancelButton}) {
            B->SetParent(F->ButtonPanel);
            B->SetModalResult(mrNone);
            B->SetTabStop(false);
            B->SetTop(GetSystemMetrics(SM_CYDLGFRAME) + 5);
            B->SetVisible(true);
        }
        FOKButton->SetDefault(!FOptions.Contains(rvoEnterToTab));
        FCancelButton->SetCancel(false);
        FOKButton->OnClick = [this](TObject*) { PostAndClose(); };
        FCancelButton->OnClick = [this](TObject*) { CancelAndClose(); };
        F->ButtonPanel->SetHeight(2 * GetSystemMetrics(SM_CYDLGFRAME) + FOKButton->Top() +
                                  FOKButton->Height() + 10);
    } else {
        F->ButtonPanel->SetVisible(false);
    }
    F->ScrollBox = NewComponent<TScrollBox>(F);
    F->ScrollBox->SetBorderStyle(bsNone);
    F->ScrollBox->SetAutoScroll(false);
    F->ScrollBox->SetBounds(6, 6, 100, 100);
    F->ScrollBox->SetAlign(alClient);
    F->ScrollBox->SetParent(F->RecordPanel);
    if (FStyle == rvsVertical) LayoutVertical();
    else LayoutHorizontal();
    for (TControl* C : FControls)
        if (auto* E = dynamic_cast<TCustomEdit*>(C)) E->SetModified(false);
    TRect Work;
    GetWorkArea(Work);
    F->SetLeft(FFormPosition->Left() >= 1 ? FFormPosition->Left()
                                          : Work.Left + (Work.Width() - F->Width()) / 2);
    F->SetTop(FFormPosition->Top() >= 1 ? FFormPosition->Top()
                                        : Work.Top + (Work.Height() - F->Height()) / 2);
    if (F->Navigator) F->Navigator->SetWidth(F->NavigatorPanel->Width() - 10);
    F->OnShow = [this](TObject*) { FormShow(); };
    F->OnCloseQuery = [this](TObject*, bool& CanClose) { FormCloseQuery(CanClose); };
    F->OnClose = [this](TObject*, TCloseAction& Action) { FormClose(Action); };
    F->OnResize = [this](TObject*) { FormResize(); };
    FormResize();
    if (FOptions.Contains(rvoModalForm)) {
        bool Ok = false;
        try {
            Ok = F->ShowModal() == mrOk;
        } catch (...) {
            ReturnBorrowed();
            FForm = nullptr;
            F->Free();
            throw;
        }
        if (FNavigator) {
            FNavigator->SetVisible(false);
            FNavigator->SetParent(FNavigatorParent);
        }
        FForm = nullptr;
        F->Free();
        return Ok;
    }
    F->Show();
    F->SetModalResult(mrCancel);
    return true;
}

void TwwRecordViewDialog::FormShow() {
    if (FOptions.Contains(rvoLabelsBeneathControl) && FStyle == rvsHorizontal)
        for (size_t I = 0; I < FLabels.size() && I < FControls.size(); ++I)
            FLabels[I]->SetTop(FControls[I]->Top() + FControls[I]->Height() +
                               FEditSpacing->HorizontalView()->BetweenLabelEdit() - 1);
    DoInitDialog();
}

bool TwwRecordViewDialog::AnyModified() const {
    for (TControl* C : FControls) {
        if (auto* E = dynamic_cast<TCustomEdit*>(C); E && E->Modified()) return true;
        if (auto* B = dynamic_cast<TDBCheckBox*>(C); B && B->DataLink()->Modified()) return true;
    }
    return false;
}

void TwwRecordViewDialog::FormCloseQuery(bool& CanClose) {
    if (FClosing == csNone && !FOptions.Contains(rvoCloseIsCancel)) FForm->SetModalResult(mrOk);
    if (FClosing == csNone && FOptions.Contains(rvoCloseIsCancel)) FForm->SetModalResult(mrCancel);
    if (FForm->ModalResult() == mrOk) return;
    TDataSet* DataSet = GetPrimaryDataSet();
    const bool Pending =
        DataSet && DataSet->State() != dsBrowse && FOKCancelOptions.Contains(rvokAutoCancelRec);
    if (FOptions.Contains(rvoConfirmCancel) && (AnyModified() || Pending)) {
        if (Assigned(OnCancelWarning)) {
            DoCancelWarning(CanClose);
            return;
        }
        const int Answer = MessageDlg(DefaultIntl->UserMessages()->RecordViewExitWarning(), mtConfirmation,
                                      {mbYes, mbNo, mbCancel}, 0);
        if (Answer == mrYes) FForm->SetModalResult(mrOk);
        else if (Answer == mrNo) FForm->SetModalResult(mrCancel);
        else {
            CanClose = false;
            FClosing = csNone;
            FForm->SetModalResult(mrNone);
        }
        return;
    }
    FForm->SetModalResult(mrCancel);
}

void TwwRecordViewDialog::FormClose(TCloseAction& Action) {
    try {
        DoCloseDialog();
    } catch (const std::exception&) {
        // A failing close handler keeps the form open, without a word.
        Action = caNone;
        return;
    }
    TDataSet* DataSet = GetPrimaryDataSet();
    if (DataSet) {
        if (FOKCancelOptions.Contains(rvokAutoCancelRec) && FForm->ModalResult() == mrCancel) {
            DataSet->Cancel();
        } else {
            if (TWinControl* Active = FForm->ActiveControl()) Active->Perform(CM_EXIT);
            if (FOKCancelOptions.Contains(rvokAutoPostRec) && FForm->ModalResult() == mrOk)
                DataSet->CheckBrowseMode();
        }
    }
    FForm->SetMenu(nullptr);
    if (!FOptions.Contains(rvoModalForm)) {
        if (FNavigator) {
            FNavigator->SetVisible(false);
            FNavigator->SetParent(FNavigatorParent);
        }
        Action = caFree;
        ReturnBorrowed();
        FForm = nullptr;
        return;
    }
    ReturnBorrowed();
}

void TwwRecordViewDialog::ReturnBorrowed() {
    for (TBorrowed& B : FBorrowed) {
        B.Control->SetVisible(false);
        B.Control->SetParent(B.Parent);
        if (B.Parent && B.Parent->IsClassNamed("TwwDBGrid")) {
            // Back in the grid: no 3D look, no border, its own button look.
            B.Control->SetCtl3D(false);
            SetBorderStyleProp(B.Control, false);
            if (TObject* Effects = ObjectPropOf(B.Control, "ButtonEffects"); Effects && B.HasEffects) {
                SetOrdProp(Effects, "Flat", B.Flat);
                SetOrdProp(Effects, "Transparent", B.Transparent);
            }
        }
        // Its own place last, as a border change may resize it.
        B.Control->SetBoundsRect(B.Bounds);
        B.Control->SetVisible(B.Visible);
    }
    FBorrowed.clear();
}

void TwwRecordViewDialog::FormResize() {
    if (!FForm) return;
    const int W = FForm->Width();
    if (FOptions.Contains(rvoConsistentEditWidth) && FStyle == rvsVertical) {
        const int Bar = FForm->Height() < FNeededHeight ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        for (TControl* C : FControls) C->SetWidth(W - FLabelEdge - FMargin->RightOffset() - 20 - Bar);
    }
    if (FOKButton && FCancelButton) {
        if (W < FOKButton->Width() + FCancelButton->Width() + 41) {
            FOKButton->SetLeft(5);
            FCancelButton->SetLeft(FOKButton->Width() + 18);
        } else {
            FOKButton->SetLeft(W - 2 * FOKButton->Width() - 36);
            FCancelButton->SetLeft(W - FOKButton->Width() - 23);
        }
    }
    if (FForm->Navigator && FForm->NavigatorPanel)
        FForm->Navigator->SetWidth(FForm->NavigatorPanel->Width() - 10);
    if (Assigned(OnResizeDialog)) OnResizeDialog(FForm);
}

void TwwRecordViewDialog::FormKeyDown(WORD& Key, TShiftState Shift) {
    if (Shift.Contains(ssAlt)) return;
    if (Key == VK_RETURN && Shift.Contains(ssCtrl) && FOptions.Contains(rvoModalForm) &&
        !FOptions.Contains(rvoEnterToTab)) {
        Key = 0;
        PostAndClose();
        return;
    }
    if (Key == VK_ESCAPE) {
        TWinControl* Active = FForm->ActiveControl();
        Key = 0;
        auto* Edit = dynamic_cast<TCustomEdit*>(Active);
        if (!Active || !Edit || !Edit->Modified()) CancelAndClose();
        return;
    }
    const bool EnterMoves = Key == VK_RETURN && FOptions.Contains(rvoEnterToTab) &&
                            !(FForm->ActiveControl() && GetWantReturns(FForm->ActiveControl()));
    if (EnterMoves) {
        Key = 0;
        FForm->Perform(WM_NEXTDLGCTL, Shift.Contains(ssShift) ? 1 : 0, 0);
    }
}

// ---------------------------------------------------------------------------
// The form and the field controls
// ---------------------------------------------------------------------------

TwwRecordViewForm::TwwRecordViewForm(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetName("wwRecordViewForm");
    SetBounds(0, 0, 342, 362);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    OnActivate = [this](TObject*) {
        if (MadeTopmost) {
            SetFormStyle(fsNormal);
            MadeTopmost = false;
        }
    };
    OnDeactivate = [this](TObject*) {
        if (Dialog && Dialog->Options().Contains(rvoStayOnTopForm)) {
            SetFormStyle(fsStayOnTop);
            MadeTopmost = true;
        }
    };
}

TwwRecordViewForm::~TwwRecordViewForm() {
    if (Dialog && Dialog->FForm == this) Dialog->FForm = nullptr;
}

void TwwRecordViewForm::KeyDown(WORD& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Dialog && Key != 0) Dialog->FormKeyDown(Key, Shift);
}

void OpenMemoPopup(TCustomEdit* Editor, TDataSource* Source, const AnsiString& FieldName) {
    TDataSet* DataSet = Source ? Source->DataSet() : nullptr;
    TField* Field = DataSet ? DataSet->FindField(FieldName) : nullptr;
    if (!Field) return;
    auto* Popup = NewComponent<TwwMemoDialogPopup>(Editor);
    try {
        Popup->SetDataSource(Source);
        Popup->SetDataField(FieldName);
        Popup->SetCaption(FieldName);
        Popup->Field = Field;
        Popup->Editor = Editor;
        if (Field->ReadOnly() ||
            (dynamic_cast<TTable*>(DataSet) && static_cast<TTable*>(DataSet)->ReadOnly()))
            Popup->SetMemoAttributes(Popup->MemoAttributes() + TwwMemoAttributes{mViewOnly});
        if (Editor->Modified()) {
            DataSet->Edit();
            Field->SetAsString(Editor->Text());
        }
        Popup->Execute();
    } catch (...) {
        Popup->Free();
        throw;
    }
    Popup->Free();
}

TwwDBEditMemo::TwwDBEditMemo(TComponent* AOwner) : TwwDBCustomEdit(AOwner) {
    SetAutoSize(false);
    SetAutoSelect(false);
    SetWantReturns(true);
    SetWordWrap(true);
}

void TwwDBEditMemo::DescribeProperties(TPropertyTable& T) {
    using E = TwwDBCustomEdit;
    T.Property("DataField", &E::DataField, &E::SetDataField);
    T.Property("DataSource", &E::DataSource, &E::SetDataSource);
    T.Property("Frame", &E::Frame, &E::SetFrame);
    T.Property("WantReturns", &E::WantReturns, &E::SetWantReturns);
    T.Property("WordWrap", &E::WordWrap, &E::SetWordWrap);
}

namespace {
// F2 in a memo editor opens the memo dialog on its field and is consumed.
void MemoEditorKey(TCustomEdit* Editor, WORD& Key, TDataSource* Source, const AnsiString& FieldName) {
    if (Key != VK_F2) return;
    Key = 0;
    OpenMemoPopup(Editor, Source, FieldName);
}
}  // namespace

void TwwDBEditMemo::KeyDown(WORD& Key, TShiftState Shift) {
    TwwDBCustomEdit::KeyDown(Key, Shift);
    MemoEditorKey(this, Key, DataSource(), DataField());
}

void TwwDBMemo::KeyDown(WORD& Key, TShiftState Shift) {
    TDBMemo::KeyDown(Key, Shift);
    MemoEditorKey(this, Key, DataSource(), DataField());
}

void TwwMemoDialogPopup::DoInitDialog(TwwMemoDlg* Dialog) {
    if (Editor) {
        Dialog->Memo->SetSelStart(Editor->SelStart());
        Dialog->Memo->Font()->Assign(Editor->Font());
    }
    if (Field) Dialog->SetCaption(Field->DisplayLabel());
    TwwMemoDialog::DoInitDialog(Dialog);
}

void TwwDBCheckBox::DoEnter() {
    TDBCheckBox::DoEnter();
    if (Label) Label->Invalidate();
}

void TwwDBCheckBox::DoExit() {
    TDBCheckBox::DoExit();
    if (Label) Label->Invalidate();
}

void TwwLabel::Paint() {
    TLabel::Paint();
    TWinControl* Focus = FocusControl();
    if (!Focus || !Focus->Focused()) return;
    TCanvas* C = Canvas();
    C->Pen()->SetColor(TColor(0x808080));
    C->Pen()->SetStyle(psDot);
    C->Pen()->SetWidth(1);
    const int R = Width() - 1, B = Height() - 1;
    C->MoveTo(0, 0);
    C->LineTo(0, B);
    C->LineTo(R, B);
    C->LineTo(R, 0);
    C->LineTo(0, 0);
}
