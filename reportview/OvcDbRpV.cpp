#include "reportview/OvcDbRpV.h"

#include <cmath>

#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcFiler.h"

ZELMOR_IMPLEMENT_COMPONENT(TOvcDbRvField, TOvcRvField)
ZELMOR_IMPLEMENT_CLASS(TOvcDbRvDataLink, TDataLink)
ZELMOR_IMPLEMENT_COMPONENT(TOvcDbReportView, TOvcCustomReportView)

namespace {

enum : uint16_t { SOnEnumNotAsgnd = 30394, SOnEnumSelNotAsgnd = 30395, SNotMultiSelect = 30390 };

bool Supported(TFieldType Type) {
    switch (Type) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftAutoInc:
    case ftWideString: return true;
    default: return false;
    }
}

// The load's cap: the records added before it are kept and shown.
class EMaxDataCount : public Exception {
public:
    EMaxDataCount() : Exception("Maximum data count for the data aware report view reached") {}
};

// The item standing for the typed text during a key search.
void* const KeyItem = reinterpret_cast<void*>(intptr_t(-1));

intptr_t RecordOf(void* Data) { return reinterpret_cast<intptr_t>(Data); }

template <class T>
int Compare3(T A, T B) {
    return A < B ? -1 : (A > B ? 1 : 0);
}

}  // namespace

// While the view moves the data set itself, the data set's notices are its own.
struct TOvcDbReportView::TMoving {
    explicit TMoving(TOvcDbReportView& V) : View(V) { ++View.FMoveDepth; }
    ~TMoving() { --View.FMoveDepth; }
    TMoving(const TMoving&) = delete;
    TMoving& operator=(const TMoving&) = delete;
    TOvcDbReportView& View;
};

// --- the data link ---

TField* TOvcDbRvDataLink::GetFields(int Index) const {
    TDataSet* ds = DataSet();
    if (!ds || Index < 0 || Index >= ds->FieldCount()) throw Exception("Invalid Field Index");
    return ds->Fields()->Fields(Index);
}

bool TOvcDbRvDataLink::GetDefaultFields() const { return !DataSet() || DataSet()->DefaultFields(); }

void TOvcDbRvDataLink::ActiveChanged() { FView->ActiveChanged(); }
void TOvcDbRvDataLink::DataSetChanged() {
    FView->ValuesChanged();
    FView->DataSetChanged();
}
void TOvcDbRvDataLink::DataSetScrolled(int) { FView->DataSetChanged(); }

void TOvcDbRvDataLink::LayoutChanged() {
    FView->ClearAll();
    FView->BuildFieldTable();
}

// --- the view ---

void TOvcDbReportView::DescribeProperties(TPropertyTable& T) {
    using V = TOvcDbReportView;
    // What a plain report view publishes, less what the data set decides.
    TControl::PublishStandard(T, {"Align", "Anchors", "Constraints", "Ctl3D", "Enabled", "Font",
                                  "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "ShowHint",
                                  "TabOrder", "TabStop", "Visible", "OnEnter", "OnExit", "OnClick",
                                  "OnDblClick", "OnKeyPress"});
    T.Property("ActiveView", &V::ActiveView, &V::SetActiveView);
    T.Property("AutoCenter", &V::AutoCenter, &V::SetAutoCenter).Default(false);
    T.Property("BorderStyle", &V::BorderStyle, &V::SetBorderStyle).Default(bsSingle);
    T.Property("ColumnResize", &V::ColumnResize, &V::SetColumnResize).Default(true);
    T.PropertyOf<V>(
        "Controller", [](V& R) { return R.Controller(); },
        [](V& R, TOvcController* C) { R.SetController(C); });
    T.Property("DataSource", &V::DataSource, &V::SetDataSource);
    T.Property("FieldWidthStore", &V::FieldWidthStore, &V::SetFieldWidthStore);
    T.Property("GridLines", &V::GridLines, &V::SetGridLines).Default(glNone);
    T.Property("GroupColor", &V::GroupColor, &V::SetGroupColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("HideSelection", &V::HideSelection, &V::SetHideSelection).Default(false);
    T.Property("KeyTimeout", &V::KeyTimeout, &V::SetKeyTimeout).Default(1000);
    T.Property("MultiSelect", &V::MultiSelect, &V::SetMultiSelect).Default(false);
    T.Property("Options", &V::Options, &V::SetOptions);
    T.Property("PrinterProperties", &V::PrinterProperties, &V::SetPrinterProperties);
    T.Property("RefreshOnMove", &V::RefreshOnMove, &V::SetRefreshOnMove).Default(true);
    T.Property("ScrollBars", &V::ScrollBars, &V::SetScrollBars).Default(ssVertical);
    T.Property("SmoothScroll", &V::SmoothScroll, &V::SetSmoothScroll).Default(true);
    T.Property("SyncOnOwnerDraw", &V::SyncOnOwnerDraw, &V::SetSyncOnOwnerDraw).Default(false);
    T.Property("UseRecordCount", &V::UseRecordCount, &V::SetUseRecordCount).Default(false);
    T.Event("OnDrawViewField", &V::OnDrawViewField);
    T.Event("OnDrawViewFieldEx", &V::OnDrawViewFieldEx);
    T.Event("OnEnumerate", &V::OnEnumerate);
    T.Event("OnGetPrintHeaderFooter", &V::OnGetPrintHeaderFooter);
    T.Event("OnPrintStatus", &V::OnPrintStatus);
    T.Event("OnSignalBusy", &V::OnSignalBusy);
    T.Event("OnSortingChanged", &V::OnSortingChanged);
    T.Event("OnViewSelect", &V::OnViewSelect);
    PublishListBodyEvents(T);
}

TOvcDbReportView::TOvcDbReportView(TComponent* AOwner)
    : TOvcCustomReportView(AOwner, &TOvcDbRvField::StaticClassInfo()),
      FDataLink(std::make_unique<TOvcDbRvDataLink>(this)) {
    SetBindingPending(true);
    // The report fields come from the data set, never from form data.
    Fields()->ItemsStored = false;
    SetKeySearch(true);
}

TOvcDbReportView::~TOvcDbReportView() = default;

void TOvcDbReportView::BeforeDestruction() {
    // The link goes first: the data set tells nothing more.
    FDataLink.reset();
    FDataLink = std::make_unique<TOvcDbRvDataLink>(this);
    FCaches.clear();
    FBoundFields.clear();
    FItemList.clear();
    TOvcCustomReportView::BeforeDestruction();
}

const TClassInfo* TOvcDbReportView::GetFieldClassType() const { return &TOvcDbRvField::StaticClassInfo(); }

void TOvcDbReportView::SetDataSource(TDataSource* Value) {
    if (Value == FDataLink->DataSource()) return;
    ClearAll();
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    if (Fields()->Count() == 0) BuildFieldTable();
}

void TOvcDbReportView::Loaded() {
    TOvcCustomReportView::Loaded();
    BuildFieldTable();
}

void TOvcDbReportView::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcCustomReportView::Notification(AComponent, Operation);
    if (Operation != opRemove || !FDataLink) return;
    if (AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
    else if (auto* field = dynamic_cast<TField*>(AComponent)) {
        if (std::find(FBoundFields.begin(), FBoundFields.end(), field) != FBoundFields.end()) {
            ClearAll();
            BuildFieldTable();
        }
    }
}

AnsiString TOvcDbReportView::CreateValidFieldName(const AnsiString& Name) const {
    auto letter = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); };
    auto digit = [](char C) { return C >= '0' && C <= '9'; };
    AnsiString name = Name;
    for (size_t i = 0; i < name.size(); ++i)
        if (!(letter(name[i]) || (i > 0 && digit(name[i])))) name[i] = '_';
    for (int i = 0; i < Fields()->Count(); ++i)
        if (Fields()->Item(i)->Name() == name) name += "_1";
    return name;
}

void TOvcDbReportView::BuildFieldTable() {
    FBoundFields.clear();
    SetBindingPending(true);
    Fields()->Clear();
    TDataSet* ds = FDataLink->DataSet();
    if (!ds) return;
    try {
        FCaches.clear();
        // Widths are measured in the view's font wherever the view is.
        TBitmap measure(1, 1);
        measure.Canvas()->SetFont(Font());
        const int zero = measure.Canvas()->TextWidth("0");
        for (int i = 0; i < ds->FieldCount(); ++i) {
            TField* f = ds->Fields()->Fields(i);
            if (Supported(f->DataType())) {
                FBoundFields.push_back(f);
                auto* rf = static_cast<TOvcRvField*>(Fields()->Add());
                rf->SetName(CreateValidFieldName(Name() + f->FieldName()));
                rf->SetCaption(f->DisplayLabel());
                rf->SetAlignment(f->Alignment());
                rf->SetCanSort(true);
                rf->SetDefaultWidth(zero * f->DisplayWidth());
            }
            FCaches.push_back(std::make_unique<TOvcLiteStringCache>(256));
        }
        if (ds->Active()) {
            BindViews();
            if (ds->Active()) ReloadData();
        }
    } catch (const EMaxDataCount&) {
        throw;
    } catch (...) {
        ClearAll();
        throw;
    }
}

void TOvcDbReportView::BindViews() {
    SetBindingPending(false);
    for (int v = 0; v < Views()->Count(); ++v) {
        TOvcRVView* view = GetView(v);
        for (int k = 0; k < view->ViewFields()->Count(); ++k) {
            TOvcRvViewField* vf = view->GetViewField(k);
            vf->SetFieldName(vf->FieldName());
        }
    }
    if (!ActiveView().empty()) {
        AnsiString name = ActiveView();
        SetActiveView("");
        SetActiveView(name);
    }
}

void TOvcDbReportView::ClearBindings() {
    for (int v = 0; v < Views()->Count(); ++v) {
        TOvcRVView* view = GetView(v);
        for (int k = 0; k < view->ViewFields()->Count(); ++k) view->GetViewField(k)->ClearField();
    }
}

void TOvcDbReportView::ClearAll() {
    ListBox()->SetNumItems(0);
    SetBindingPending(true);
    Engine().ClearIndex();
    ClearBindings();
    Fields()->Clear();
    for (auto& cache : FCaches) cache->Clear();
    FBoundFields.clear();
    ClearDataList();
}

int TOvcDbReportView::InternalRecordCount() {
    TDataSet* ds = FDataLink->DataSet();
    if (FUseRecordCount) return ds->RecordCount();
    TControlsDisabled disabled(ds);
    int count = 0;
    ds->First();
    while (!ds->Eof()) {
        ++count;
        ds->Next();
    }
    return count;
}

void TOvcDbReportView::ReloadData() {
    if (FReloading) return;
    FReloading = true;
    TMoving moving(*this);
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FReloading};
    Engine().ClearIndex();
    ClearDataList();
    const int count = InternalRecordCount();
    FDataLink->SetBufferCount(count);
    const int window = FDataLink->RecordCount();
    FItemList.reserve(size_t(window));
    for (int i = 1; i <= window; ++i) FItemList.push_back(reinterpret_cast<void*>(intptr_t(i)));
    const TCursor cursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    BeginUpdate();
    try {
        for (size_t i = 0; i < FItemList.size(); ++i) {
            Engine().AddDataPrim(FItemList[i]);
            if (i > size_t(MaxDataCount)) throw EMaxDataCount();
        }
    } catch (...) {
        EndUpdate();
        Screen->SetCursor(cursor == crHourGlass ? crDefault : cursor);
        throw;
    }
    EndUpdate();
    Screen->SetCursor(cursor == crHourGlass ? crDefault : cursor);
}

void TOvcDbReportView::ActiveChanged() {
    TDataSet* ds = FDataLink->DataSet();
    if (!ds || !ds->Active()) ClearAll();
    BuildFieldTable();
}

void TOvcDbReportView::DataSetChanged() {
    if (FMoveDepth > 0 || !FDataLink->Active() || Engine().UpdateDepth() > 0) return;
    const int active = FDataLink->ActiveRecord();
    if (active == -1) {
        TDataSource* source = FDataLink->DataSource();
        SetDataSource(nullptr);
        SetDataSource(source);
        SetCurrentItem(nullptr);
        return;
    }
    void* item = reinterpret_cast<void*>(intptr_t(active + 1));
    if (GetCurrentItem() != item) SetCurrentItem(item);
}

void TOvcDbReportView::ValuesChanged() {
    Engine().ValuesChanged();
    // An update under way repaints at its end; a record being inserted or
    // edited is not summed (the rows are not where the items say).
    TDataSet* ds = FDataLink->DataSet();
    if (!ds || ds->State() != dsBrowse || LockUpdate() || Engine().UpdateDepth() > 0 || BindingPending() ||
        ActiveView().empty())
        return;
    Footer()->UpdateSections();
    ListBox()->Invalidate();
}

void TOvcDbReportView::MoveDataPointer(void* Data) {
    TMoving moving(*this);
    FDataLink->SetActiveRecord(int(RecordOf(Data)) - 1);
}

void TOvcDbReportView::UpdateCurrentSelection() {
    if (!FRefreshOnMove) return;
    TMoving moving(*this);
    if (TDataSet* ds = FDataLink->DataSet()) ds->Refresh();
}

void TOvcDbReportView::Click() {
    if (void* item = GetCurrentItem()) {
        MoveDataPointer(item);
        UpdateCurrentSelection();
        TOvcCustomReportView::Click();
    }
}

void TOvcDbReportView::DblClick() {
    if (void* item = GetCurrentItem()) {
        MoveDataPointer(item);
        UpdateCurrentSelection();
        TOvcCustomReportView::DblClick();
    }
}

bool TOvcDbReportView::ExecuteAction(TBasicAction* Action) {
    return TOvcCustomReportView::ExecuteAction(Action) || ExecuteActionOn(Action, DataSource());
}

bool TOvcDbReportView::UpdateAction(TBasicAction* Action) {
    return TOvcCustomReportView::UpdateAction(Action) || UpdateActionOn(Action, DataSource());
}

void TOvcDbReportView::DoEnumEvent(void* Data, bool& Stop, void* UserData) {
    if (EnumHooked()) {
        TOvcCustomReportView::DoEnumEvent(Data, Stop, UserData);
        return;
    }
    if (!OnEnumerate) return;
    MoveDataPointer(Data);
    UpdateCurrentSelection();
    OnEnumerate(this, Stop, UserData);
}

void TOvcDbReportView::Enumerate(void* UserData) {
    if (!OnEnumerate) throw EReportViewError(SOnEnumNotAsgnd);
    Engine().DoEnumerate(UserData);
}

void TOvcDbReportView::EnumerateSelected(void* UserData) {
    if (!OnEnumerate) throw EReportViewError(SOnEnumNotAsgnd);
    TMoving moving(*this);
    Engine().DoEnumerateSelected(UserData);
}

void TOvcDbReportView::EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) {
    if (SelectedOnly && !MultiSelect()) throw ENotMultiSelect(SNotMultiSelect);
    if (!OnEnumerate) throw EReportViewError(SOnEnumSelNotAsgnd);
    Engine().DoEnumerateEx(Backwards, SelectedOnly, StartAfter, UserData);
}

TField* TOvcDbReportView::FieldOf(int FieldIndex) const {
    if (FieldIndex < 0 || FieldIndex >= int(FBoundFields.size())) throw Exception("Invalid Field Index");
    return FBoundFields[size_t(FieldIndex)];
}

AnsiString TOvcDbReportView::DoGetFieldAsString(void* Data, int32_t FieldIndex) {
    AnsiString text;
    TOvcLiteStringCache* cache =
        FieldIndex < int(FCaches.size()) ? FCaches[size_t(FieldIndex)].get() : nullptr;
    if (cache && cache->GetValue(Data, text)) return text;
    MoveDataPointer(Data);
    TField* f = FieldOf(FieldIndex);
    text = f->IsNull() ? AnsiString() : f->DisplayText();
    if (cache) cache->AddValue(Data, text);
    return text;
}

double TOvcDbReportView::DoGetFieldAsFloat(void* Data, int FieldIndex) {
    TField* f = FieldOf(FieldIndex);
    if (!IsNumericFieldType(f->DataType())) return 0;
    MoveDataPointer(Data);
    return f->IsNull() ? 0 : f->AsFloat();
}

double TOvcDbReportView::GetFieldAsDateTime(void* Data, int32_t FieldIndex) {
    TField* f = FieldOf(FieldIndex);
    MoveDataPointer(Data);
    return f->IsNull() ? 0 : f->AsDateTime();
}

bool TOvcDbReportView::GetFieldAsBoolean(void* Data, int32_t FieldIndex) {
    TField* f = FieldOf(FieldIndex);
    MoveDataPointer(Data);
    return !f->IsNull() && f->AsBoolean();
}

AnsiString TOvcDbReportView::DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef) {
    // Summing reads every record of the group: the data set is put back on
    // the record it stood on, so that totals asked from a data set's notice
    // never move its user's record.
    double total;
    {
        TMoving moving(*this);
        const int row = FDataLink->ActiveRecord();
        try {
            total = Total(GroupRef, FieldIndex);
        } catch (...) {
            FDataLink->SetActiveRecord(row);
            throw;
        }
        FDataLink->SetActiveRecord(row);
    }
    TField* f = FieldOf(FieldIndex);
    if (auto* ff = dynamic_cast<TFloatField*>(f)) {
        if (!ff->DisplayFormat().empty()) return FormatFloat(ff->DisplayFormat(), total);
        if (ff->Currency() || ff->DataType() == ftCurrency)
            return FloatToStrF(total, ffCurrency, ff->Precision(), FormatSettings().CurrencyDecimals);
        return FloatToStrF(total, ffGeneral, ff->Precision(), 0);
    }
    if (dynamic_cast<TIntegerField*>(f)) return IntToStr(int64_t(std::llround(total)));
    return AnsiString();
}

int TOvcDbReportView::DoCompareFields(void* Data1, void* Data2, int FieldIndex) {
    TField* f = FieldOf(FieldIndex);
    const TFieldType type = f->DataType();
    const bool key1 = FKeySearchMode && Data1 == KeyItem;
    const bool key2 = FKeySearchMode && Data2 == KeyItem;
    switch (type) {
    case ftString:
    case ftWideString: {
        AnsiString a, b;
        if (key1) a = FKeyText;
        else {
            MoveDataPointer(Data1);
            a = f->AsString();
        }
        if (key2) b = FKeyText;
        else {
            MoveDataPointer(Data2);
            b = f->AsString();
        }
        return CompareText(a, b);
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: {
        if (key1 || key2) return 0;
        MoveDataPointer(Data1);
        const int a = f->AsInteger();
        MoveDataPointer(Data2);
        return Compare3(a, f->AsInteger());
    }
    case ftBoolean: {
        if (key1 || key2) return 0;
        MoveDataPointer(Data1);
        const bool a = f->AsBoolean();
        MoveDataPointer(Data2);
        const bool b = f->AsBoolean();
        // True sorts before false.
        return a && !b ? -1 : (!a && b ? 1 : 0);
    }
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime: {
        if (key1 || key2) return 0;
        MoveDataPointer(Data1);
        const double a = f->AsFloat();
        MoveDataPointer(Data2);
        return Compare3(a, f->AsFloat());
    }
    default: throw Exception(Format("Unsupported data type:%d", {int(type)}));
    }
}

void TOvcDbReportView::DoKeySearch(int32_t SortColumn, const AnsiString& KeyString) {
    if (SortColumn < 0 || SortColumn >= int(FBoundFields.size())) return;
    const TFieldType type = FBoundFields[size_t(SortColumn)]->DataType();
    if (type != ftString && type != ftWideString) return;
    FKeySearchMode = true;
    FKeyText = KeyString;
    try {
        GotoNearest(KeyItem);
    } catch (...) {
        FKeySearchMode = false;
        throw;
    }
    FKeySearchMode = false;
}

void TOvcDbReportView::DoBusy(bool BusyFlag) {
    if (LockUpdate()) return;
    if (OnSignalBusy) OnSignalBusy(this, BusyFlag);
    else Screen->SetCursor(BusyFlag ? crHourGlass : crDefault);
}

void TOvcDbReportView::DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text,
                                       const AnsiString& FullText, const TRect& Rect, int32_t ViewFieldIndex,
                                       bool IsGroupLine, bool IsSelected, uint32_t TextFlags,
                                       TOvcRvViewField* ViewField, TOvcRvField* Field) {
    if (FSyncOnOwnerDraw) MoveDataPointer(Data);
    TOvcCustomReportView::DoDrawViewField(Canvas, Data, Text, FullText, Rect, ViewFieldIndex, IsGroupLine,
                                          IsSelected, TextFlags, ViewField, Field);
}

void TOvcDbReportView::SetName(const AnsiString& NewName) {
    const AnsiString old = Name();
    if (NewName == old) return;
    TDataSet* ds = FDataLink ? FDataLink->DataSet() : nullptr;
    const bool active = ds && ds->Active();
    TOvcCustomReportView::SetName(NewName);
    if (!FDataLink || old.empty()) return;
    if (active) ClearAll();
    SetBindingPending(true);
    auto renamed = [&](const AnsiString& S) { return NewName + S.substr(old.size()); };
    for (int i = 0; i < Fields()->Count(); ++i) {
        TComponent* f = Fields()->Item(i);
        if (f->Name().compare(0, old.size(), old) == 0) f->SetName(renamed(f->Name()));
    }
    for (int v = 0; v < Views()->Count(); ++v) {
        TOvcRVView* view = GetView(v);
        for (int k = 0; k < view->ViewFields()->Count(); ++k) {
            TOvcRvViewField* vf = view->GetViewField(k);
            if (vf->FieldName().compare(0, old.size(), old) == 0)
                vf->SetFieldNameUnbound(renamed(vf->FieldName()));
        }
    }
    if (active) BuildFieldTable();
}
