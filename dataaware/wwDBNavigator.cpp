#include "dataaware/wwDBNavigator.h"

#include <algorithm>

#include "dataaware/Wwintl.h"
#include "dataaware/wwDialog.h"
#include "dataaware/wwframe.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwidlg.h"
#include "platform/db/DB.h"
#include "platform/db/DataSet.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"

ZELMOR_IMPLEMENT_ENUM(TwwNavButtonStyle, "nbsFirst", "nbsPrior", "nbsNext", "nbsLast", "nbsInsert",
                      "nbsDelete", "nbsEdit", "nbsPost", "nbsCancel", "nbsRefresh", "nbsPriorPage",
                      "nbsNextPage", "nbsSaveBookmark", "nbsRestoreBookmark", "nbsFilterDialog",
                      "nbsRecordViewDialog", "nbsLocateDialog", "nbsSearchDialog", "nbsCustom")
ZELMOR_IMPLEMENT_ENUM(TwwNavOption, "noConfirmDelete", "noUseInternationalText")
ZELMOR_IMPLEMENT_ENUM(TwwNavAutoSizeStyle, "asSizeNavigator", "asSizeNavButtons", "asNone")
ZELMOR_IMPLEMENT_ENUM(TwwNavLayout, "nlHorizontal", "nlVertical")

ZELMOR_IMPLEMENT_CLASS(TwwNavRepeatInterval, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TwwNavButton, TwwSpeedButton)
ZELMOR_IMPLEMENT_CLASS(TwwNavButtons, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwNavDataLink, TDataLink)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBNavigator, TwwCustomTransparentPanel)

const TwwNavButtonNavStylesEx wwNavigationStyles{
    nbsFirst, nbsPrior,  nbsNext,    nbsLast,      nbsInsert,   nbsDelete,       nbsEdit,
    nbsPost,  nbsCancel, nbsRefresh, nbsPriorPage, nbsNextPage, nbsSaveBookmark, nbsRestoreBookmark};
const TwwNavButtonNavStylesEx wwDialogStyles{nbsFilterDialog, nbsRecordViewDialog, nbsLocateDialog,
                                             nbsSearchDialog};
const TwwNavButtonNavStylesEx wwRepeatingStyles{nbsFirst, nbsPrior,     nbsNext,
                                                nbsLast,  nbsPriorPage, nbsNextPage};

namespace {

const char* const ParentNotDefined = "Parent propety of TwwNavButton not defined";

std::unique_ptr<TCustomImageList> GlyphList;
int UnitStarts = 0;

bool IsDesigningComponent(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }
bool IsLoadingComponent(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

}  // namespace

AnsiString NavStyleName(TwwNavButtonStyle Style) {
    return TypeInfoOf(static_cast<TwwNavButtonStyle*>(nullptr)).EnumNames.at(size_t(Style)).substr(3);
}

bool StyleFromDialogClassName(std::string_view ClassName, TwwNavButtonStyle& Style) {
    if (ClassName.size() <= 3) return false;
    AnsiString Wanted = "nbs" + AnsiString(ClassName.substr(3));
    for (TwwNavButtonStyle S : {nbsFilterDialog, nbsRecordViewDialog, nbsLocateDialog, nbsSearchDialog}) {
        if (AnsiSameText("nbs" + NavStyleName(S), Wanted)) {
            Style = S;
            return true;
        }
    }
    return false;
}

const TClassInfo* DialogClassFromStyle(TwwNavButtonStyle Style) {
    if (!wwDialogStyles.Contains(Style)) return nullptr;
    return GetClass("Tww" + NavStyleName(Style));
}

void AssignDialogDataSource(TwwCustomDialog* Dialog, TDataSource* DataSource) {
    if (!Dialog) return;
    const bool Search = dynamic_cast<TwwSearchDialog*>(Dialog) != nullptr;
    const char* Name = Search ? "SearchTable" : "DataSource";
    if (!IsPublishedProp(Dialog, Name) || PropType(Dialog, Name) != tkClass) return;
    TObject* Value = DataSource;
    if (Search) Value = DataSource ? DataSource->DataSet() : nullptr;
    SetObjectProp(Dialog, Name, Value);
}

TCustomImageList* NavigatorGlyphs() { return GlyphList.get(); }

void StartNavigatorUnit() {
    if (UnitStarts++ > 0) return;
    RegisterClasses({&TwwNavButton::StaticClassInfo(), &TwwDBNavigator::StaticClassInfo(),
                     &TwwSearchDialog::StaticClassInfo()});
    GlyphList = std::make_unique<TCustomImageList>(nullptr, 18, 18);
    for (int S = nbsFirst; S < nbsCustom; ++S) {
        AnsiString Name = "WW_DBN_" + AnsiUpperCase(NavStyleName(TwwNavButtonStyle(S)));
        for (const char* State : {"_ENABLED", "_DISABLED"}) {
            TBitmap Picture;
            Picture.LoadFromResourceName(Name + State);
            // The bottom-left pixel is the transparent colour.
            TColor Mask = Picture.Height() > 0 ? Picture.Canvas()->Pixel(0, Picture.Height() - 1) : clNone;
            GlyphList->AddMasked(&Picture, Mask);
        }
    }
}

void FinishNavigatorUnit() {
    if (UnitStarts == 0 || --UnitStarts > 0) return;
    GlyphList.reset();
}

// ---------------------------------------------------------------------------
// TwwNavRepeatInterval
// ---------------------------------------------------------------------------

void TwwNavRepeatInterval::DescribeProperties(TPropertyTable& T) {
    using C = TwwNavRepeatInterval;
    T.Property("InitialDelay", &C::InitialDelay, &C::SetInitialDelay).Default(500);
    T.Property("Interval", &C::Interval, &C::SetInterval).Default(100);
}

void TwwNavRepeatInterval::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwNavRepeatInterval*>(Source)) {
        FInitialDelay = S->FInitialDelay;
        FInterval = S->FInterval;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TwwNavButton
// ---------------------------------------------------------------------------

TwwNavButton::TwwNavButton(TComponent* AOwner) : TwwSpeedButton(AOwner) {}

TwwNavButton::~TwwNavButton() { StopRepeatTimer(); }

void TwwNavButton::DescribeProperties(TPropertyTable& T) {
    using C = TwwNavButton;
    TControl::PublishStandard(T, {"Hint", "Visible"});
    T.Property("Dialog", &C::Dialog, &C::SetDialog);
    T.PropertyOf<C>(
        "Index", [](C& X) { return X.GetIndex(); }, [](C& X, int V) { X.SetIndex(V); });
    T.Property("LineBreak", &C::LineBreak, &C::SetLineBreak).Default(false);
    T.Property("Style", &C::Style, &C::SetStyle);
    T.Event("OnAfterCreateDialog", &C::OnAfterCreateDialog);
    T.Event("OnRowChanged", &C::OnRowChanged);
    T.Event("OnUpdateState", &C::OnUpdateState);
}

int TwwNavButton::GetImageIndex() const { return FUsesSharedGlyphs ? -1 : TwwSpeedButton::GetImageIndex(); }

void TwwNavButton::SetImageIndex(int Value) {
    if (Value == -1) {
        AssignDefaultGlyph();
        return;
    }
    FUsesSharedGlyphs = false;
    TwwSpeedButton::SetImageIndex(Value);
    TwwDBNavigator* Nav = dynamic_cast<TwwDBNavigator*>(Parent());
    SetImages(Nav ? Nav->ImageList() : nullptr);
}

void TwwNavButton::AssignDefaultGlyph() {
    if (FStyle == nbsCustom || IsLoadingComponent(this)) return;
    FUsesSharedGlyphs = true;
    SetImages(NavigatorGlyphs());
    TwwSpeedButton::SetImageIndex(2 * int(FStyle));
    SetNumGlyphs(2);
}

void TwwNavButton::Loaded() {
    TwwSpeedButton::Loaded();
    SetImageIndex(FUsesSharedGlyphs ? -1 : TwwSpeedButton::GetImageIndex());
}

TwwNavButtons* TwwNavButton::GetButtons() const {
    if (FButtons) return FButtons;
    auto* Nav = dynamic_cast<TwwDBNavigator*>(Parent());
    if (!Nav) throw EInvalidOperation(ParentNotDefined);
    return Nav->Buttons();
}

TwwDBNavigator* TwwNavButton::GetNavigator() const { return GetButtons()->GetNavigator(); }

int TwwNavButton::GetIndex() const {
    TwwNavButtons* List = GetButtons();
    for (int I = 0; I < List->Count(); ++I)
        if (List->GetItem(I) == this) return I;
    throw EInvalidOperation("Button parameter of RetrieveIndex not in Buttons list");
}

void TwwNavButton::SetIndex(int Value) {
    if (!Parent()) return;
    TwwNavButtons* List = GetButtons();
    Value = std::clamp(Value, 0, std::max(0, List->Count() - 1));
    SetZOrderPosition(Value);
    if (!IsLoadingComponent(this) && List->UpdateCount() == 0) List->Relayout();
}

void TwwNavButton::SetLineBreak(bool Value) {
    if (FLineBreak == Value) return;
    FLineBreak = Value;
    if (!IsLoadingComponent(this) && Parent() && GetButtons()->UpdateCount() == 0) GetButtons()->Relayout();
}

void TwwNavButton::SetStyle(TwwNavButtonStyle Value) {
    FStyle = Value;
    if (GetImageIndex() == -1) AssignDefaultGlyph();
    if (!IsLoadingComponent(this) && Parent()) {
        SetHint(GetDefaultHint());
        UpdateState(ucAll);
    }
}

void TwwNavButton::SetDialog(TwwCustomDialog* Value) {
    if (FDialog == Value) return;
    if (FDialog) {
        TwwCustomDialog* Old = FDialog;
        FDialog = nullptr;
        if (Old->Owner() == this) Old->Free();
        else Old->RemoveFreeNotification(this);
    }
    FDialog = Value;
    if (Value) {
        Value->FreeNotification(this);
        // A dialog class that names no dialog style leaves the style as it was.
        TwwNavButtonStyle S;
        if (StyleFromDialogClassName(Value->ClassName(), S)) SetStyle(S);
    }
    if (Parent()) UpdateState(ucAll);
}

void TwwNavButton::Notification(TComponent* AComponent, TOperation Operation) {
    TwwSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDialog) FDialog = nullptr;
}

void TwwNavButton::SetParent(TWinControl* AParent) {
    if (AParent && !dynamic_cast<TwwDBNavigator*>(AParent)) {
        MessageDlg("Parent of TwwNavButton must be TwwDBNavigator", mtError, {mbOK}, 0);
        throw EAbort("");
    }
    TwwSpeedButton::SetParent(AParent);
}

AnsiString TwwNavButton::GetDefaultHint() {
    AnsiString Text = Hint();
    TwwDBNavigator* Nav = GetNavigator();
    if (!Text.empty() && !Nav->Options().Contains(noUseInternationalText)) return Text;
    if (FStyle == nbsCustom) return Text;
    TObject* Hints = DefaultIntl->Navigator()->Hints();
    AnsiString Prop = NavStyleName(FStyle) + "Hint";
    if (IsPublishedProp(Hints, Prop)) Text = GetStrProp(Hints, Prop);
    if (FStyle == nbsPriorPage || FStyle == nbsNextPage) {
        Text = Format(Text, {Nav->MoveBy()});
        SetHint(Text);
    }
    return Text;
}

void TwwNavButton::UpdateState(TwwUpdateCause Cause) {
    const bool Before = Enabled();
    TwwDBNavigator* Nav = GetNavigator();
    if (Assigned(OnUpdateState)) {
        try {
            OnUpdateState(Nav, this, Cause);
        } catch (const std::exception&) {
            // A failing handler leaves the button as it left it.
            return;
        }
    }
    if (Cause == ucDataChange && Assigned(OnRowChanged)) OnRowChanged(this);
    if (Enabled() != Before || FStyle == nbsCustom) return;
    TDataSet* DataSet = Nav->GetDataSet(false);
    if (!DataSet) {
        SetEnabled(false);
        return;
    }
    TDataLink* Link = Nav->FDataLink.get();
    const bool A = Link->Active() && Nav->Enabled();
    const bool Editing = Link->Editing();
    bool On = Enabled();
    switch (FStyle) {
    case nbsFirst:
    case nbsPrior:
    case nbsPriorPage: On = A && !DataSet->Bof(); break;
    case nbsNext:
    case nbsLast:
    case nbsNextPage: On = A && !DataSet->Eof(); break;
    case nbsInsert:
    case nbsRefresh: On = A && DataSet->CanModify(); break;
    case nbsDelete: On = A && DataSet->CanModify() && !(DataSet->Bof() && DataSet->Eof()); break;
    case nbsEdit: On = A && DataSet->CanModify() && !Editing; break;
    case nbsPost:
    case nbsCancel: On = A && DataSet->CanModify() && Editing; break;
    case nbsSaveBookmark: On = A; break;
    case nbsRestoreBookmark:
        if (Cause == ucEditingChange) return;
        {
            TBookmark Saved = Nav->SaveBookmark(DataSet, false);
            On = !Saved.empty() && A;
        }
        break;
    case nbsFilterDialog:
    case nbsRecordViewDialog:
    case nbsLocateDialog:
    case nbsSearchDialog: On = A && (!FDialog || FDialog->GetPrimaryDataSet() != nullptr); break;
    case nbsCustom: break;
    }
    SetEnabled(On);
}

TwwCustomDialog* TwwNavButton::GetDialog(TDataSet* DataSet) {
    if (!wwDialogStyles.Contains(FStyle)) return nullptr;
    if (FDialog) return FDialog;
    if (IsDesigningComponent(this)) return nullptr;
    TwwDBNavigator* Nav = GetNavigator();
    TComponent* Container = FStyle == nbsFilterDialog ? static_cast<TComponent*>(DataSet) : Nav;
    const TClassInfo* Class = DialogClassFromStyle(FStyle);
    if (!Container || !Class) return nullptr;
    for (int I = 0; I < Container->ComponentCount(); ++I) {
        auto* D = dynamic_cast<TwwCustomDialog*>(Container->Components(I));
        if (D && D->GetPrimaryDataSet() == DataSet && D->InheritsFrom(*Class)) {
            FDialog = D;
            D->FreeNotification(this);
            return D;
        }
    }
    auto* D = dynamic_cast<TwwCustomDialog*>(Class->Create(Container));
    if (!D) return nullptr;
    FDialog = D;
    D->FreeNotification(this);
    AssignDialogDataSource(D, Nav->DataSource());
    if (Assigned(OnAfterCreateDialog)) OnAfterCreateDialog(D);
    return D;
}

void TwwNavButton::Click() {
    TwwSpeedButton::Click();
    try {
        RunAction();
    } catch (...) {
        StopRepeatTimer();
        throw;
    }
}

void TwwNavButton::RunAction() {
    if (FStyle == nbsCustom) return;
    TwwDBNavigator* Nav = GetNavigator();
    TDataSet* DataSet = Nav->GetDataSet(true);
    switch (FStyle) {
    case nbsFirst: DataSet->First(); break;
    case nbsPrior: DataSet->Prior(); break;
    case nbsNext: DataSet->Next(); break;
    case nbsLast: DataSet->Last(); break;
    case nbsInsert: DataSet->Insert(); break;
    case nbsEdit: DataSet->Edit(); break;
    case nbsPost: DataSet->Post(); break;
    case nbsCancel: DataSet->Cancel(); break;
    case nbsRefresh: DataSet->Refresh(); break;
    case nbsDelete:
        if (Nav->Options().Contains(noConfirmDelete) &&
            MessageDlg(DefaultIntl->Navigator()->ConfirmDeleteMessage(), mtConfirmation, {mbOK, mbCancel},
                       0) != mrOk)
            return;
        DataSet->Delete();
        break;
    case nbsPriorPage: DataSet->MoveBy(-std::abs(Nav->MoveBy())); break;
    case nbsNextPage: DataSet->MoveBy(std::abs(Nav->MoveBy())); break;
    case nbsSaveBookmark: Nav->SaveBookmark(DataSet, true); break;
    case nbsRestoreBookmark: {
        TBookmark Saved = Nav->SaveBookmark(DataSet, false);
        try {
            DataSet->GotoBookmark(Saved);
        } catch (const std::exception&) {
            // A bookmark that no longer leads anywhere is forgotten without a word.
            Nav->ClearBookmarks(Nav->GetDataSet(false));
        }
        break;
    }
    case nbsFilterDialog:
    case nbsRecordViewDialog:
    case nbsLocateDialog:
    case nbsSearchDialog:
        if (TwwCustomDialog* D = GetDialog(DataSet)) D->Execute();
        break;
    case nbsCustom: break;
    }
}

void TwwNavButton::StartRepeatTimer(int Delay) {
    StopRepeatTimer();
    FRepeatTimer = new TTimer(this);
    FRepeatTimer->SetInterval(unsigned(Delay));
    FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerTick(Sender); };
}

void TwwNavButton::StopRepeatTimer() {
    if (!FRepeatTimer) return;
    TTimer* T = FRepeatTimer;
    FRepeatTimer = nullptr;
    T->SetEnabled(false);
    T->Free();
}

void TwwNavButton::RepeatTimerTick(TObject*) {
    if (!Pressed()) {
        StopRepeatTimer();
        return;
    }
    FRepeatTimer->SetInterval(unsigned(GetNavigator()->RepeatInterval()->Interval()));
    Click();
}

void TwwNavButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TwwSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled() && wwRepeatingStyles.Contains(FStyle) && !IsDesigningComponent(this))
        StartRepeatTimer(GetNavigator()->RepeatInterval()->InitialDelay());
    InvalidateTransparent();
}

void TwwNavButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TwwSpeedButton::MouseUp(Button, Shift, X, Y);
    StopRepeatTimer();
    InvalidateTransparent();
}

void TwwNavButton::CMMouseEnter(TMessage& Message) {
    TwwSpeedButton::CMMouseEnter(Message);
    if (!FControlState.Contains(csLButtonDown)) return;
    if (GetKeyState(VK_LBUTTON) < 0) {
        if (wwRepeatingStyles.Contains(FStyle) && Enabled())
            StartRepeatTimer(GetNavigator()->RepeatInterval()->InitialDelay());
    } else {
        FControlState.Exclude(csLButtonDown);
    }
}

void TwwNavButton::CMMouseLeave(TMessage& Message) {
    TwwSpeedButton::CMMouseLeave(Message);
    StopRepeatTimer();
    InvalidateTransparent();
}

void TwwNavButton::CMEnabledChanged(TMessage& Message) {
    TwwSpeedButton::CMEnabledChanged(Message);
    InvalidateTransparent();
}

void TwwNavButton::InvalidateTransparent() {
    auto* Nav = dynamic_cast<TwwDBNavigator*>(Parent());
    if (Nav && Nav->PaintsTransparent() && Nav->HandleAllocated())
        InvalidateUnderControl(this, Nav->TransparentClearsBackground());
}

bool TwwNavButton::FitsInNavigator() const {
    TWinControl* Nav = Parent();
    if (!Nav) return true;
    return Top() + Height() <= Nav->Height() && Left() + Width() <= Nav->Width();
}

void TwwNavButton::AssignDefaultName() {
    TwwDBNavigator* Nav = GetNavigator();
    if (!Name().empty() || Nav->Name().empty() || !Nav->Owner()) return;
    AnsiString Base = Nav->Name() + (FStyle == nbsCustom ? AnsiString("Button") : NavStyleName(FStyle));
    for (int N = 0;; ++N) {
        AnsiString Candidate = N == 0 ? Base : Base + IntToStr(N);
        if (Owner() && Owner()->FindComponent(Candidate)) continue;
        try {
            SetName(Candidate);
            return;
        } catch (const std::exception&) {
        }
    }
}

// ---------------------------------------------------------------------------
// TwwNavButtons
// ---------------------------------------------------------------------------

int TwwNavButtons::GetCount() const {
    int N = 0;
    for (int I = 0; I < FNavigator->ControlCount(); ++I)
        if (dynamic_cast<TwwNavButton*>(FNavigator->Controls(I))) ++N;
    return N;
}

TwwNavButton* TwwNavButtons::GetItem(int Index) const {
    int N = 0;
    for (int I = 0; I < FNavigator->ControlCount(); ++I) {
        if (auto* B = dynamic_cast<TwwNavButton*>(FNavigator->Controls(I))) {
            if (N == Index) return B;
            ++N;
        }
    }
    throw EInvalidOperation("Index of Buttons[] out of range");
}

bool TwwNavButtons::IsHiddenButton(TwwNavButton* Button) {
    return !Button->Visible() && !IsDesigningComponent(FNavigator);
}

std::vector<TwwNavButton*> TwwNavButtons::Shown() const {
    std::vector<TwwNavButton*> List;
    for (int I = 0; I < GetCount(); ++I) {
        TwwNavButton* B = GetItem(I);
        if (B->Visible() || IsDesigningComponent(FNavigator)) List.push_back(B);
    }
    return List;
}

int TwwNavButtons::GetVisibleCount() const { return int(Shown().size()); }

TwwNavButton* TwwNavButtons::GetVisibleItem(int Index) const {
    std::vector<TwwNavButton*> List = Shown();
    if (Index < 0 || Index >= int(List.size()))
        throw EInvalidOperation("Index of VisibleButtons[] out of range");
    return List[size_t(Index)];
}

TwwNavButton* TwwNavButtons::BottomMostButton() {
    TwwNavButton* Best = nullptr;
    for (TwwNavButton* B : Shown())
        if (!Best || B->Top() + B->Height() > Best->Top() + Best->Height()) Best = B;
    return Best;
}

TwwNavButton* TwwNavButtons::RightMostButton() {
    TwwNavButton* Best = nullptr;
    for (TwwNavButton* B : Shown())
        if (!Best || B->Left() + B->Width() > Best->Left() + Best->Width()) Best = B;
    return Best;
}

TwwNavButton* TwwNavButtons::ButtonAtPoint(TwwNavButton* Button, int X, int Y) {
    for (TwwNavButton* B : Shown())
        if (B != Button && PtInRect(B->BoundsRect(), TPoint(X, Y))) return B;
    return nullptr;
}

void TwwNavButtons::ShowButton(TwwNavButtonStyle Style) {
    for (int I = 0; I < GetCount(); ++I) {
        TwwNavButton* B = GetItem(I);
        if (B->Style() == Style) {
            B->SetVisible(true);
            return;
        }
    }
    TwwNavButton* B = Add(Style);
    B->SetIndex(int(Style));
}

void TwwNavButtons::HideButtons(TwwNavButtonStyle Style) {
    for (int I = 0; I < GetCount(); ++I)
        if (GetItem(I)->Style() == Style) GetItem(I)->SetVisible(false);
}

TwwNavButton* TwwNavButtons::Add(TwwNavButtonStyle Style, TwwCustomDialog* Dialog) {
    BeginUpdate();
    TwwNavButton* B;
    try {
        B = NewComponent<TwwNavButton>(FNavigator->Owner());
        B->FButtons = this;
        B->SetParent(FNavigator);
        B->SetIndex(Count() - 1);
        B->SetStyle(Style);
        B->UpdateState(ucAll);
        B->SetFlat(FNavigator->Flat());
        if (wwDialogStyles.Contains(Style) && Dialog) B->SetDialog(Dialog);
        B->SetShowHint(FNavigator->ShowHint());
        B->SetHint(B->GetDefaultHint());
        if (IsDesigningComponent(FNavigator)) B->AssignDefaultName();
        B->UpdateState(ucAll);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Arrange();
    if (!B->FitsInNavigator()) {
        if (FNavigator->AutosizeStyle() == asSizeNavigator) {
            if (FNavigator->Layout() == nlHorizontal) FNavigator->SetHeight(B->Top() + B->Height());
            else FNavigator->SetWidth(B->Left() + B->Width());
        } else {
            FNavigator->AutoSizeNavigator();
        }
    }
    ButtonAdded(B);
    return B;
}

void TwwNavButtons::AddDefaultButtons() {
    for (TwwNavButtonStyle S :
         {nbsFirst, nbsPriorPage, nbsPrior, nbsNext, nbsNextPage, nbsLast, nbsInsert, nbsDelete, nbsEdit,
          nbsPost, nbsCancel, nbsRefresh, nbsSaveBookmark, nbsRestoreBookmark})
        Add(S);
}

void TwwNavButtons::AddDialogButtons() {
    for (TwwNavButtonStyle S : {nbsFilterDialog, nbsRecordViewDialog, nbsLocateDialog, nbsSearchDialog})
        Add(S);
    Relayout();
}

void TwwNavButtons::Clear() {
    for (int I = GetCount() - 1; I >= 0; --I) {
        TwwNavButton* B = GetItem(I);
        ButtonRemoved(B);
        B->Free();
    }
}

void TwwNavButtons::Relayout() {
    if (FNavigator->AutosizeStyle() == asSizeNavButtons) {
        FNavigator->AutoSizeNavigator();
        Arrange();
    } else {
        Arrange();
        FNavigator->AutoSizeNavigator();
    }
}

void TwwNavButtons::Arrange() {
    if (FNavigator->Destroying() || FUpdateCount > 0) return;
    BeginUpdate();
    const int M = FNavigator->BevelMargin();
    int X = M, Y = M;
    std::vector<TwwNavButton*> List = Shown();
    TwwNavButton* Previous = List.empty() ? nullptr : List.front();
    for (TwwNavButton* B : List) {
        if (FNavigator->Layout() == nlHorizontal) {
            if (B != List.front() && (FNavigator->Width() < X + B->Width() || B->LineBreak())) {
                Y += Previous->Height();
                X = M;
            }
        } else if (B != List.front() && (FNavigator->Height() < Y + B->Height() || B->LineBreak())) {
            X += Previous->Width();
            Y = M;
        }
        B->SetBounds(X, Y, B->Width(), B->Height());
        if (FNavigator->Layout() == nlHorizontal) X += B->Width();
        else Y += B->Height();
        Previous = B;
    }
    EndUpdate();
}

void TwwNavButtons::UpdateState(TwwUpdateCause Cause) {
    for (int I = 0; I < GetCount(); ++I) GetItem(I)->UpdateState(Cause);
}

// ---------------------------------------------------------------------------
// TwwNavDataLink
// ---------------------------------------------------------------------------

void TwwNavDataLink::ActiveChanged() {
    if (FNavigator) FNavigator->ActiveChanged();
}
void TwwNavDataLink::DataSetChanged() {
    if (FNavigator) FNavigator->DataChanged();
}
void TwwNavDataLink::EditingChanged() {
    if (FNavigator) FNavigator->EditingChanged();
}

// ---------------------------------------------------------------------------
// TwwDBNavigator
// ---------------------------------------------------------------------------

TwwDBNavigator::TwwDBNavigator(TComponent* AOwner)
    : TwwCustomTransparentPanel(AOwner), FButtons(std::make_unique<TwwNavButtons>(this)),
      FDataLink(std::make_unique<TwwNavDataLink>(this)),
      FRepeatInterval(std::make_unique<TwwNavRepeatInterval>()) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    // A width of 1 marks a navigator not yet sized.
    SetBounds(Left(), Top(), 1, Height());
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
}

TwwDBNavigator::~TwwDBNavigator() {
    FDestroying = true;
    FDataLink.reset();
    for (TBookmarkEntry& E : FBookmarks)
        if (E.DataSet) E.DataSet->FreeBookmark(E.Bookmark);
}

void TwwDBNavigator::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBNavigator;
    TControl::PublishStandard(T, {"Align", "Anchors", "Constraints", "BevelInner", "BevelOuter", "Color",
                                  "Enabled", "Font", "ParentShowHint", "Visible", "OnResize"});
    T.Property("AutosizeStyle", &C::AutosizeStyle, &C::SetAutosizeStyle).Default(asSizeNavigator);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("DisableThemes", &C::DisableThemes, &C::SetDisableThemes).Default(false);
    T.Property("Flat", &C::Flat, &C::SetFlat).Default(true);
    T.Property("ImageList", &C::ImageList, &C::SetImageList);
    T.Property("Layout", &C::Layout, &C::SetLayout).Default(nlHorizontal);
    T.Property("MoveBy", &C::MoveBy, &C::SetMoveBy).Default(10);
    T.Property("Options", &C::Options, &C::SetOptions).Default(TwwNavOptions{noConfirmDelete});
    T.PropertyOf<C>(
         "ShowHint", [](C& X) { return X.GetShowHint(); }, [](C& X, bool V) { X.SetNavShowHint(V); })
        .Default(false);
    T.Property("RepeatInterval", &C::RepeatInterval, &C::SetRepeatInterval);
    T.Property("Transparent", &C::Transparent, &C::SetTransparent).Default(false);
    T.Property("TransparentClearsBackground", &C::TransparentClearsBackground,
               &C::SetTransparentClearsBackground)
        .Default(false);
}

TDataSource* TwwDBNavigator::DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }

void TwwDBNavigator::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    if (!IsLoadingComponent(this)) FButtons->UpdateState(ucAll);
}

TDataSet* TwwDBNavigator::GetDataSet(bool RaiseIfNone) const {
    TDataSource* Source = DataSource();
    if (!Source) {
        if (RaiseIfNone) throw EInvalidOperation("Error, DataSource not assigned");
        return nullptr;
    }
    if (!Source->DataSet() && RaiseIfNone) throw EInvalidOperation(DBText::DataSetMissing);
    return Source->DataSet();
}

void TwwDBNavigator::LinkToComponent(TComponent* Component, bool Force) {
    TDataSource* Source = GetDataSourceProp(Component);
    if (Source || Force) SetDataSource(Source);
}

void TwwDBNavigator::SetAutosizeStyle(TwwNavAutoSizeStyle Value) {
    FAutosizeStyle = Value;
    if (!IsLoadingComponent(this)) FButtons->Relayout();
}

void TwwDBNavigator::SetLayout(TwwNavLayout Value) {
    FLayout = Value;
    if (!IsLoadingComponent(this)) FButtons->Relayout();
}

void TwwDBNavigator::SetFlat(bool Value) {
    FFlat = Value;
    for (int I = 0; I < FButtons->Count(); ++I) FButtons->GetItem(I)->SetFlat(Value);
}

void TwwDBNavigator::SetImageList(TCustomImageList* Value) {
    if (FImageList) FImageList->RemoveFreeNotification(this);
    FImageList = Value;
    if (Value) Value->FreeNotification(this);
    for (int I = 0; I < FButtons->Count(); ++I) {
        TwwNavButton* B = FButtons->GetItem(I);
        if (B->GetImageIndex() >= 0) B->SetImages(Value);
    }
}

void TwwDBNavigator::SetMoveBy(int Value) {
    if (FMoveBy == Value) return;
    FMoveBy = Value;
    // Only hints that still hold their placeholder change.
    for (int I = 0; I < FButtons->Count(); ++I) {
        TwwNavButton* B = FButtons->GetItem(I);
        if (B->Style() == nbsPriorPage || B->Style() == nbsNextPage) B->SetHint(Format(B->Hint(), {Value}));
    }
}

void TwwDBNavigator::SetOptions(TwwNavOptions Value) { FOptions = Value; }

void TwwDBNavigator::SetNavShowHint(bool Value) {
    SetShowHint(Value);
    for (int I = 0; I < FButtons->Count(); ++I) FButtons->GetItem(I)->SetShowHint(Value);
}

TwwNavButtonNavStylesEx TwwDBNavigator::GetVisibleButtons() const {
    TwwNavButtonNavStylesEx Set;
    for (int I = 0; I < FButtons->Count(); ++I) {
        TwwNavButtonStyle S = FButtons->GetItem(I)->Style();
        if (wwNavigationStyles.Contains(S)) Set.Include(S);
    }
    return Set;
}

void TwwDBNavigator::SetVisibleButtons(TwwNavButtonNavStylesEx Value) {
    if (!IsLoadingComponent(this) && FButtons->Count() == 0) FButtons->AddDefaultButtons();
    for (int S = nbsFirst; S <= nbsCustom; ++S) {
        if (Value.Contains(TwwNavButtonStyle(S))) FButtons->ShowButton(TwwNavButtonStyle(S));
        else FButtons->HideButtons(TwwNavButtonStyle(S));
    }
}

int TwwDBNavigator::BevelMargin() const { return (BevelInner() != bvNone) + (BevelOuter() != bvNone); }

int TwwDBNavigator::ButtonsTotalWidth() const {
    int W = 0;
    for (TwwNavButton* B : FButtons->Shown()) W += B->Width();
    return W;
}

void TwwDBNavigator::AutoSizeNavigator() {
    std::vector<TwwNavButton*> List = FButtons->Shown();
    if (List.empty()) return;
    const int M = BevelMargin();
    if (FAutosizeStyle == asSizeNavigator) {
        TwwNavButton* R = FButtons->RightMostButton();
        TwwNavButton* B = FButtons->BottomMostButton();
        SetBounds(Left(), Top(), M + R->Left() + R->Width(), M + B->Top() + B->Height());
    } else if (FAutosizeStyle == asSizeNavButtons) {
        const int W = Width() - 2 * M, H = Height() - 2 * M;
        std::vector<std::vector<TwwNavButton*>> Lines(1);
        for (TwwNavButton* B : List) {
            if (B->LineBreak() && !Lines.back().empty()) Lines.emplace_back();
            Lines.back().push_back(B);
        }
        const bool Horizontal = FLayout == nlHorizontal;
        const int Across = Horizontal ? H : W, Along = Horizontal ? W : H;
        const int N = int(Lines.size());
        for (int L = 0; L < N; ++L) {
            const int LineSize = Across / N + (L < Across % N ? 1 : 0);
            const int Count = int(Lines[size_t(L)].size());
            for (int I = 0; I < Count; ++I) {
                const int Size = Along / Count + (I < Along % Count ? 1 : 0);
                TwwNavButton* B = Lines[size_t(L)][size_t(I)];
                if (Horizontal) B->SetBounds(B->Left(), B->Top(), Size, LineSize);
                else B->SetBounds(B->Left(), B->Top(), LineSize, Size);
            }
        }
    }
}

TBookmark TwwDBNavigator::SaveBookmark(TDataSet* DataSet, bool Save) {
    if (!DataSet) return {};
    for (size_t I = FBookmarks.size(); I-- > 0;) {
        TBookmarkEntry& E = FBookmarks[I];
        if (E.DataSet != DataSet) continue;
        if (Save) {
            DataSet->FreeBookmark(E.Bookmark);
            E.Bookmark = DataSet->GetBookmark();
            FButtons->UpdateState(ucAll);
        }
        if (!E.Bookmark.empty() && DataSet->Active() && DataSet->BookmarkValid(E.Bookmark)) return E.Bookmark;
    }
    if (!Save) return {};
    TBookmark Taken = DataSet->GetBookmark();
    DataSet->FreeNotification(this);
    FBookmarks.push_back({DataSet, Taken});
    FButtons->UpdateState(ucAll);
    return Taken;
}

bool TwwDBNavigator::HasBookmark(TDataSet* DataSet) { return !SaveBookmark(DataSet, false).empty(); }

void TwwDBNavigator::ClearBookmarks(TDataSet* DataSet) {
    for (size_t I = FBookmarks.size(); I-- > 0;) {
        if (FBookmarks[I].DataSet != DataSet) continue;
        if (DataSet) DataSet->FreeBookmark(FBookmarks[I].Bookmark);
        FBookmarks.erase(FBookmarks.begin() + std::ptrdiff_t(I));
    }
}

void TwwDBNavigator::DataChanged() { FButtons->UpdateState(ucDataChange); }

void TwwDBNavigator::EditingChanged() { FButtons->UpdateState(ucEditingChange); }

void TwwDBNavigator::ActiveChanged() {
    TDataSet* DataSet = GetDataSet(false);
    if (DataSet && !DataSet->Active()) ClearBookmarks(DataSet);
    FButtons->UpdateState(ucActiveChange);
}

void TwwDBNavigator::ButtonListChanged(TControl*, bool) {
    if (!IsLoadingComponent(this) && FButtons->UpdateCount() == 0 && !FDestroying) FButtons->Arrange();
}

void TwwDBNavigator::CMControlChange(TMessage& Message) {
    TwwCustomTransparentPanel::CMControlChange(Message);
    ButtonListChanged(reinterpret_cast<TControl*>(Message.WParam), Message.LParam != 0);
}

void TwwDBNavigator::CMControlListChange(TMessage& Message) {
    auto* Control = reinterpret_cast<TControl*>(Message.WParam);
    if (Message.LParam != 0 && !dynamic_cast<TwwNavButton*>(Control))
        throw EInvalidOperation("TwwDBNavigator only accepts controls derived from TwwNavButton");
    TwwCustomTransparentPanel::CMControlListChange(Message);
}

void TwwDBNavigator::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomTransparentPanel::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
    if (AComponent == FImageList) SetImageList(nullptr);
    if (auto* DataSet = dynamic_cast<TDataSet*>(AComponent)) ClearBookmarks(DataSet);
}

void TwwDBNavigator::Loaded() {
    TwwCustomTransparentPanel::Loaded();
    SetFlat(FFlat);
    SetImageList(FImageList);
    if (FOptions.Contains(noUseInternationalText))
        for (int I = 0; I < FButtons->Count(); ++I)
            FButtons->GetItem(I)->SetHint(FButtons->GetItem(I)->GetDefaultHint());
}

void TwwDBNavigator::Paint() {
    if (!FPainting && FButtons->Count() == 0) {
        FPainting = true;
        try {
            FButtons->AddDefaultButtons();
            if (Width() == 1 && FButtons->Count() > 0) {
                SetBounds(Left(), Top(), ButtonsTotalWidth(), FButtons->GetItem(0)->Height());
                FButtons->Arrange();
                if (Parent()) Parent()->Update();
            } else if (FButtons->Count() > 0) {
                FButtons->Relayout();
            }
        } catch (...) {
            FPainting = false;
            throw;
        }
        FPainting = false;
    } else if (!FPainting && !FFirstPaintDone) {
        FButtons->Relayout();
    }
    FFirstPaintDone = true;
    TwwCustomTransparentPanel::Paint();
}

void TwwDBNavigator::AlignControls(TControl* AControl, TRect& Rect) {
    TwwCustomTransparentPanel::AlignControls(AControl, Rect);
    // The first paint lays the default buttons out itself, once they are all made.
    if (FButtons && FButtons->UpdateCount() == 0 && !FDestroying && !FPainting && !IsLoadingComponent(this))
        FButtons->Relayout();
}

void TwwDBNavigator::CreateWnd() {
    if (IsDesigningComponent(this))
        for (int I = 0; I < FButtons->Count(); ++I) FButtons->GetItem(I)->AssignDefaultName();
    SetDataSource(DataSource());
    FButtons->Arrange();
    AutoSizeNavigator();
    TwwCustomTransparentPanel::CreateWnd();
}

void TwwDBNavigator::CMEnabledChanged(TMessage& Message) {
    TwwCustomTransparentPanel::CMEnabledChanged(Message);
    for (int I = 0; I < FButtons->Count(); ++I) FButtons->GetItem(I)->SetEnabled(Enabled());
    if (Enabled()) FButtons->UpdateState(ucAll);
}

void TwwDBNavigator::CMDialogChar(TMessage& Message) {
    if (Parent() && Parent()->Showing()) {
        for (int I = 0; I < FButtons->Count(); ++I) {
            TwwNavButton* B = FButtons->GetItem(I);
            if (IsAccel(Message.CharCode(), B->Caption()) && B->Enabled() && B->Visible()) {
                B->Click();
                Message.Result = 1;
                return;
            }
        }
    }
    TwwCustomTransparentPanel::CMDialogChar(Message);
}

void TwwDBNavigator::SetName(const AnsiString& Value) {
    const AnsiString Old = Name();
    TwwCustomTransparentPanel::SetName(Value);
    if (Old.empty() || Old == Value) return;
    for (int I = 0; I < FButtons->Count(); ++I) {
        TwwNavButton* B = FButtons->GetItem(I);
        if (B->Name().compare(0, Old.size(), Old) == 0) B->SetName(Value + B->Name().substr(Old.size()));
    }
}
