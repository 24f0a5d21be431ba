#include "reportview/OvcRptVw.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/Printers.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Format.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Menus.h"
#include "platform/win/MessageQueue.h"
#include "reportview/OvcData.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcFiler.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_ENUM(TOvcRVGridLines, "glNone", "glVertical", "glHorizontal", "glBoth")
ZELMOR_IMPLEMENT_ENUM(TRVPrintMode, "pmCurrent", "pmExpandAll", "pmCollapseAll")
ZELMOR_IMPLEMENT_COMPONENT(TOvcRvField, TOvcAbstractRvField)
ZELMOR_IMPLEMENT_COMPONENT(TOvcRvViewField, TOvcAbstractRvViewField)
ZELMOR_IMPLEMENT_COMPONENT(TOvcRVView, TOvcAbstractRvView)
ZELMOR_IMPLEMENT_CLASS(TOvcRVOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcRvPrintProps, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcRVListBox, TOvcVirtualListBox)
ZELMOR_IMPLEMENT_CLASS(TOvcRVHeader, TOvcButtonHeader)
ZELMOR_IMPLEMENT_CLASS(TOvcRVFooter, TOvcButtonHeader)
ZELMOR_IMPLEMENT_CLASS(TOvcCustomReportView, TOvcAbstractReportView)
ZELMOR_IMPLEMENT_COMPONENT(TOvcReportView, TOvcCustomReportView)

namespace {

enum : uint16_t {
    SWy = 30282,
    SUnknownView = 30392,
    SKeySearchNotAsgnd = 30393,
    SOnEnumNotAsgnd = 30394,
    SOnEnumSelNotAsgnd = 30395,
    SNotMultiSelect = 30390,
};

bool IsReading(const TComponent* C) {
    return C->ComponentState().Contains(csLoading) || C->ComponentState().Contains(csReading);
}

// The views of a report view: clearing them ends the active view and every cached index.
class TOvcRvViews : public TOvcAbstractRvViews {
public:
    TOvcRvViews(TOvcCustomReportView* Owner, const TClassInfo* ItemClass)
        : TOvcAbstractRvViews(Owner, ItemClass), FReport(Owner) {}
    void Clear() override {
        FReport->SetActiveView("");
        TOvcAbstractRvViews::Clear();
        FReport->ClearIndexList();
    }

private:
    TOvcCustomReportView* FReport;
};

std::unique_ptr<TImageList> gArrows;
std::unique_ptr<TBitmap> gBrush;

uint32_t AlignFlags(TAlignment A) {
    return A == taRightJustify ? DT_RIGHT : (A == taCenter ? DT_CENTER : DT_LEFT);
}

}  // namespace

// --- report fields ---

void TOvcRvField::DescribeProperties(TPropertyTable& T) {
    using F = TOvcRvField;
    T.Property("Alignment", &F::Alignment, &F::SetAlignment).Default(taLeftJustify);
    T.Property("Caption", &F::Caption, &F::SetCaption);
    T.Property("DefaultPrintWidth", &F::DefaultPrintWidth, &F::SetDefaultPrintWidth).Default(1440);
    T.Property("DefaultWidth", &F::DefaultWidth, &F::SetDefaultWidth).Default(50);
}

TOvcRvField::TOvcRvField(TComponent* AOwner) : TOvcAbstractRvField(AOwner) {}

void TOvcRvField::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (!IsReading(this) && !(Owner() && IsReading(Owner()))) Changed();
}

void TOvcRvField::SetCaption(const AnsiString& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    if (!IsReading(this) && !(Owner() && IsReading(Owner()))) Changed();
}

void TOvcRvField::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TOvcRvField*>(Source)) {
        FCaption = f->FCaption;
        FAlignment = f->FAlignment;
        FDefaultPrintWidth = f->FDefaultPrintWidth;
        FDefaultWidth = f->FDefaultWidth;
        FDataType = f->FDataType;
        FFlag1 = f->FFlag1;
        FFlag2 = f->FFlag2;
        FFormat = f->FFormat;
    }
    TOvcAbstractRvField::Assign(Source);
}

AnsiString TOvcRvField::GetDisplayText() const {
    if (!FCaption.empty()) return Format("%s (\"%s\")", {Name(), FCaption});
    return Name().empty() ? ClassName() : Name();
}

void TOvcRvField::SetName(const AnsiString& NewName) {
    const AnsiString old = Name();
    TOvcAbstractRvField::SetName(NewName);
    auto* report = dynamic_cast<TOvcCustomReportView*>(GetOwnerReport());
    if (!report || old.empty() || old == NewName) return;
    // The view fields that named it follow it.
    for (int v = 0; v < report->Views()->Count(); ++v) {
        TOvcRVView* view = report->GetView(v);
        for (int k = 0; k < view->ViewFields()->Count(); ++k) {
            TOvcRvViewField* vf = view->GetViewField(k);
            if (vf->FieldName() == old) vf->SetFieldName(NewName);
        }
    }
}

// --- view fields ---

void TOvcRvViewField::DescribeProperties(TPropertyTable& T) {
    using F = TOvcRvViewField;
    T.Property("AllowResize", &F::AllowResize, &F::SetAllowResize).Default(true);
    T.Property("OwnerDraw", &F::OwnerDraw, &F::SetOwnerDraw).Default(false);
    T.Property("PrintWidth", &F::StoredPrintWidth, &F::SetPrintWidth).Default(-1);
    T.Property("ShowHint", &F::ShowHint, &F::SetShowHint).Default(true);
    T.Property("Width", &F::StoredWidth, &F::SetWidth).Default(-1);
}

TOvcRvViewField::TOvcRvViewField(TComponent* AOwner) : TOvcAbstractRvViewField(AOwner) {}
TOvcRvViewField::~TOvcRvViewField() = default;

TOvcCustomReportView* TOvcRvViewField::OwnerReportView() const {
    return dynamic_cast<TOvcCustomReportView*>(OwnerReport());
}

void TOvcRvViewField::BeforeDestruction() {
    TOvcCustomReportView* report = OwnerReportView();
    const bool active = report && !report->FDestroying && OwnerView() &&
                        !OwnerView()->ComponentState().Contains(csDestroying) &&
                        report->ActiveViewObject() == OwnerView();
    AnsiString name = active ? report->ActiveView() : AnsiString();
    if (active) report->SetActiveView("");
    TOvcAbstractRvViewField::BeforeDestruction();
    // The view comes back without this field: its index is built again.
    if (active) report->SetActiveView(name);
}

int32_t TOvcRvViewField::GetWidth() const {
    if (FWidth != -1) return FWidth;
    if (auto* f = dynamic_cast<TOvcRvField*>(BoundField())) return f->DefaultWidth();
    return 50;
}

int32_t TOvcRvViewField::GetPrintWidth() const {
    if (FPrintWidth != -1) return FPrintWidth;
    if (auto* f = dynamic_cast<TOvcRvField*>(BoundField())) return f->DefaultPrintWidth();
    return 1440;
}

void TOvcRvViewField::SetWidth(int32_t Value) {
    if (Value == GetWidth()) return;
    FWidth = Value;
    if (!Owner() || IsReading(Owner()) || IsReading(this)) return;
    TOvcCustomReportView* report = OwnerReportView();
    if (report && report->ActiveViewObject() == OwnerView()) {
        int index = OwnerView()->ViewFields()->IndexOf(this);
        if (index >= 0 && index < report->Header()->GetSectionCount())
            report->Header()->GetSection(index)->SetWidth(Value);
        if (report->FooterPanel()->Visible() && index >= 0 && index < report->Footer()->GetSectionCount())
            report->Footer()->GetSection(index)->SetWidth(Value);
        report->ListBox()->Invalidate();
    }
    Changed();
    if (report) report->SetWidthChanged(true);
}

void TOvcRvViewField::SetPrintWidth(int32_t Value) {
    if (Value == FPrintWidth) return;
    FPrintWidth = Value;
    Changed();
}

void TOvcRvViewField::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TOvcRvViewField*>(Source)) {
        FOwnerDraw = f->FOwnerDraw;
        FPrintWidth = f->FPrintWidth;
        FWidth = f->FWidth;
    }
    TOvcAbstractRvViewField::Assign(Source);
}

AnsiString TOvcRvViewField::GetDisplayText() const {
    if (!FieldName().empty()) return Format("%s (%s)", {Name(), FieldName()});
    return Name();
}

void TOvcRvViewField::SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    TOvcAbstractRvViewField::SaveToStorage(Store, Section);
    Store->WriteBoolean(Section, "OwnerDraw", FOwnerDraw);
    Store->WriteInteger(Section, "PrintWidth", GetPrintWidth());
    Store->WriteInteger(Section, "Width", GetWidth());
}

void TOvcRvViewField::LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    TOvcAbstractRvViewField::LoadFromStorage(Store, Section);
    FOwnerDraw = Store->ReadBoolean(Section, "OwnerDraw", false);
    SetPrintWidth(Store->ReadInteger(Section, "PrintWidth", 1440));
    SetWidth(Store->ReadInteger(Section, "Width", 50));
}

// --- views ---

void TOvcRVView::DescribeProperties(TPropertyTable& T) {
    using V = TOvcRVView;
    T.Property("DefaultSortColumn", &V::DefaultSortColumn, &V::SetDefaultSortColumn).Default(0);
    T.Property("DefaultSortDescending", &V::DefaultSortDescending, &V::SetDefaultSortDescending)
        .Default(false);
    T.Property("ShowFooter", &V::ShowFooter, &V::SetShowFooter).Default(false);
    T.Property("ShowGroupCounts", &V::ShowGroupCounts, &V::SetShowGroupCounts).Default(false);
    T.Property("ShowGroupTotals", &V::ShowGroupTotals, &V::SetShowGroupTotals).Default(false);
    T.Property("ShowHeader", &V::ShowHeader, &V::SetShowHeader).Default(true);
    T.Property("Title", &V::Title, &V::SetTitle);
}

TOvcRVView::TOvcRVView(TComponent* AOwner) : TOvcAbstractRvView(AOwner, &TOvcRvViewField::StaticClassInfo()) {
    if (TOvcCustomReportView* report = OwnerReportView()) report->DoChangeNotification(rvViewCreate);
    FTitle = Name();
}

TOvcRVView::~TOvcRVView() {
    TOvcCustomReportView* report = OwnerReportView();
    if (report && !report->FDestroying) report->DoChangeNotification(rvViewDestroy);
}

void TOvcRVView::BeforeDestruction() {
    TOvcCustomReportView* report = OwnerReportView();
    if (report && !report->FDestroying && report->ActiveViewObject() == this) report->SetActiveView("");
    TOvcAbstractRvView::BeforeDestruction();
}

TOvcCustomReportView* TOvcRVView::OwnerReportView() const {
    return dynamic_cast<TOvcCustomReportView*>(OwnerReport());
}

void TOvcRVView::SetTitle(const AnsiString& Value) {
    if (Value == FTitle) return;
    FTitle = Value;
    TOvcCustomReportView* report = OwnerReportView();
    if (!report || IsReading(this) || IsReading(report)) return;
    if (report->ActiveViewObject() == this) {
        AnsiString name = Name();
        report->SetActiveView("");
        try {
            report->SetActiveView(name);
        } catch (...) {
            report->DoChangeNotification(rvViewDestroy);
            report->DoChangeNotification(rvViewCreate);
            throw;
        }
    }
    // Pickers drop the old title and take the new one.
    report->DoChangeNotification(rvViewDestroy);
    report->DoChangeNotification(rvViewCreate);
}

void TOvcRVView::SetName(const AnsiString& NewName) {
    TOvcCustomReportView* report = OwnerReportView();
    if (report && !IsReading(this) && report->ActiveViewObject() == this) {
        report->SetActiveView("");
        TOvcAbstractRvView::SetName(NewName);
        report->SetActiveView(NewName);
        return;
    }
    TOvcAbstractRvView::SetName(NewName);
}

void TOvcRVView::SetShowHeader(bool Value) {
    FShowHeader = Value;
    TOvcCustomReportView* report = OwnerReportView();
    if (report && report->ActiveViewObject() == this) report->HeaderPanel()->SetVisible(Value);
}

void TOvcRVView::SetShowFooter(bool Value) {
    FShowFooter = Value;
    TOvcCustomReportView* report = OwnerReportView();
    if (report && report->ActiveViewObject() == this) {
        report->FooterPanel()->SetVisible(Value);
        if (Value) report->Footer()->Reload();
    }
}

void TOvcRVView::Assign(TPersistent* Source) {
    if (auto* v = dynamic_cast<TOvcRVView*>(Source)) {
        FDefaultSortColumn = v->FDefaultSortColumn;
        FDefaultSortDescending = v->FDefaultSortDescending;
        FShowGroupCounts = v->FShowGroupCounts;
        FShowGroupTotals = v->FShowGroupTotals;
        FShowFooter = v->FShowFooter;
        FShowHeader = v->FShowHeader;
        FTitle = v->FTitle;
        FFilter = v->FFilter;
    }
    TOvcAbstractRvView::Assign(Source);
}

void TOvcRVView::SaveToStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    Store->WriteInteger(Section, "DefSort", FDefaultSortColumn);
    Store->WriteBoolean(Section, "DefSortDesc", FDefaultSortDescending);
    Store->WriteBoolean(Section, "ShwGrpCnt", FShowGroupCounts);
    Store->WriteBoolean(Section, "ShwGrpTot", FShowGroupTotals);
    Store->WriteBoolean(Section, "Header", FShowHeader);
    Store->WriteBoolean(Section, "Footer", FShowFooter);
    Store->WriteString(Section, "Title", FTitle);
    Store->WriteString(Section, "Filter", FFilter);
    TOvcAbstractRvView::SaveToStorage(Store, Section);
}

void TOvcRVView::LoadFromStorage(TOvcAbstractStore* Store, const AnsiString& Section) {
    TOvcAbstractRvView::LoadFromStorage(Store, Section);
    // A missing "DefSort" reads as 1, the second view field, as stored views always did.
    FDefaultSortColumn = Store->ReadInteger(Section, "DefSort", 1);
    FDefaultSortDescending = Store->ReadBoolean(Section, "DefSortDesc", false);
    FShowGroupCounts = Store->ReadBoolean(Section, "ShwGrpCnt", false);
    FShowGroupTotals = Store->ReadBoolean(Section, "ShwGrpTot", false);
    SetShowHeader(Store->ReadBoolean(Section, "Header", true));
    SetShowFooter(Store->ReadBoolean(Section, "Footer", false));
    SetTitle(Store->ReadString(Section, "Title", ""));
    SetFilter(Store->ReadString(Section, "Filter", ""));
}

// --- options ---

void TOvcRVOptions::DescribeProperties(TPropertyTable& T) {
    using O = TOvcRVOptions;
    T.Property("FooterDrawingStyle", &O::FooterDrawingStyle, &O::SetFooterDrawingStyle).Default(bhsEtched);
    T.Property("FooterTextMargin", &O::FooterTextMargin, &O::SetFooterTextMargin).Default(1);
    T.Property("HeaderDrawingStyle", &O::HeaderDrawingStyle, &O::SetHeaderDrawingStyle).Default(bhsEtched);
    T.Property("HeaderLines", &O::HeaderLines, &O::SetHeaderLines).Default(1);
    T.Property("HeaderTextMargin", &O::HeaderTextMargin, &O::SetHeaderTextMargin).Default(1);
    T.Property("HeaderWordWrap", &O::HeaderWordWrap, &O::SetHeaderWordWrap).Default(false);
    T.Property("ListAutoRowHeight", &O::ListAutoRowHeight, &O::SetListAutoRowHeight).Default(true);
    T.Property("ListBorderStyle", &O::ListBorderStyle, &O::SetListBorderStyle).Default(bsSingle);
    T.Property("ListColor", &O::ListColor, &O::SetListColor).OfType(ColorTypeInfo()).Default(clWindow);
    T.Property("ListRowHeight", &O::ListRowHeight, &O::SetListRowHeight).Default(18);
    T.Property("ListSelectColor", &O::ListSelectColor, &O::SetListSelectColor);
    T.Property("WheelDelta", &O::WheelDelta, &O::SetWheelDelta).Default(3);
}

void TOvcRVOptions::SetHeaderLines(int32_t Value) {
    Value = std::max(1, Value);
    if (Value == FHeaderLines) return;
    FHeaderLines = Value;
    FOwner->ListBox()->RecalcRows();
}

TOvcBHDrawingStyle TOvcRVOptions::HeaderDrawingStyle() const { return FOwner->Header()->DrawingStyle(); }
void TOvcRVOptions::SetHeaderDrawingStyle(TOvcBHDrawingStyle V) { FOwner->Header()->SetDrawingStyle(V); }
TOvcBHDrawingStyle TOvcRVOptions::FooterDrawingStyle() const { return FOwner->Footer()->DrawingStyle(); }
void TOvcRVOptions::SetFooterDrawingStyle(TOvcBHDrawingStyle V) { FOwner->Footer()->SetDrawingStyle(V); }
bool TOvcRVOptions::HeaderWordWrap() const { return FOwner->Header()->WordWrap(); }
void TOvcRVOptions::SetHeaderWordWrap(bool V) { FOwner->Header()->SetWordWrap(V); }
int32_t TOvcRVOptions::HeaderTextMargin() const { return FOwner->Header()->TextMargin(); }
void TOvcRVOptions::SetHeaderTextMargin(int32_t V) { FOwner->Header()->SetTextMargin(V); }
int32_t TOvcRVOptions::FooterTextMargin() const { return FOwner->Footer()->TextMargin(); }
void TOvcRVOptions::SetFooterTextMargin(int32_t V) { FOwner->Footer()->SetTextMargin(V); }
bool TOvcRVOptions::ListAutoRowHeight() const { return FOwner->ListBox()->AutoRowHeight(); }
void TOvcRVOptions::SetListAutoRowHeight(bool V) { FOwner->ListBox()->SetAutoRowHeight(V); }
int32_t TOvcRVOptions::ListRowHeight() const { return FOwner->ListBox()->RowHeight(); }
void TOvcRVOptions::SetListRowHeight(int32_t V) { FOwner->ListBox()->SetRowHeight(V); }
TBorderStyle TOvcRVOptions::ListBorderStyle() const { return FOwner->ListBox()->BorderStyle(); }
void TOvcRVOptions::SetListBorderStyle(TBorderStyle V) { FOwner->ListBox()->SetBorderStyle(V); }
TColor TOvcRVOptions::ListColor() const { return FOwner->ListBox()->Color(); }
void TOvcRVOptions::SetListColor(TColor V) {
    FOwner->ListBox()->SetColor(V);
    if (!FOwner->IsGrouped()) FOwner->ListBox()->SetListFillColor(V);
}
TOvcColors* TOvcRVOptions::ListSelectColor() const { return FOwner->ListBox()->SelectColor(); }
void TOvcRVOptions::SetListSelectColor(TOvcColors* V) { FOwner->ListBox()->SetSelectColor(V); }
int32_t TOvcRVOptions::WheelDelta() const { return FOwner->ListBox()->WheelDelta(); }
void TOvcRVOptions::SetWheelDelta(int32_t V) { FOwner->ListBox()->SetWheelDelta(V); }

// --- printing settings ---

void TOvcRvPrintProps::DescribeProperties(TPropertyTable& T) {
    using P = TOvcRvPrintProps;
    T.Property("AutoScaleColumns", &P::AutoScaleColumns, &P::SetAutoScaleColumns).Default(false);
    T.Property("PrintColumnMargin", &P::PrintColumnMargin, &P::SetPrintColumnMargin).Default(72);
    T.Property("PrintFont", &P::PrintFont, &P::SetPrintFont);
    T.Property("PrintFooterLines", &P::PrintFooterLines, &P::SetPrintFooterLines).Default(0);
    T.Property("PrintGridLines", &P::PrintGridLines, &P::SetPrintGridLines).Default(false);
    T.Property("PrintHeaderLines", &P::PrintHeaderLines, &P::SetPrintHeaderLines).Default(0);
    T.Property("PrintLineWidth", &P::PrintLineWidth, &P::SetPrintLineWidth).Default(12);
}

TOvcRvPrintProps::TOvcRvPrintProps() : FPrintFont(std::make_unique<TFont>()) {
    FPrintFont->SetName("Arial");
    FPrintFont->SetSize(10);
}

TOvcRvPrintProps::~TOvcRvPrintProps() = default;

void TOvcRvPrintProps::SetPrintFont(TFont* Value) { FPrintFont->Assign(Value); }

void TOvcRvPrintProps::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TOvcRvPrintProps*>(Source)) {
        FPrintColumnMargin = p->FPrintColumnMargin;
        FPrintFont->Assign(p->FPrintFont.get());
        FPrintFooterLines = p->FPrintFooterLines;
        FPrintHeaderLines = p->FPrintHeaderLines;
        FPrintLineWidth = p->FPrintLineWidth;
        FAutoScaleColumns = p->FAutoScaleColumns;
        FPrintGridLines = p->FPrintGridLines;
        return;
    }
    TPersistent::Assign(Source);
}

// --- the list body ---

TOvcRVListBox::TOvcRVListBox(TComponent* AOwner)
    : TOvcVirtualListBox(AOwner), FReportView(dynamic_cast<TOvcCustomReportView*>(AOwner)),
      FLine(std::make_unique<TBitmap>()) {
    RowSpacing = 3;
}

TOvcRVListBox::~TOvcRVListBox() = default;

void TOvcRVListBox::SetGridLines(TOvcRVGridLines Value) {
    if (Value == FGridLines) return;
    FGridLines = Value;
    Invalidate();
}

void TOvcRVListBox::vlbCalcFontFields() {
    TOvcVirtualListBox::vlbCalcFontFields();
    if (!FReportView || !FReportView->Header()) return;
    FReportView->Header()->SetHeight(FReportView->Options()->HeaderLines() * RowHeight() + 2);
    FReportView->HeaderPanel()->SetHeight(FReportView->Header()->Height());
    FReportView->Footer()->SetHeight(RowHeight() + 2);
    FReportView->FooterPanel()->SetHeight(FReportView->Footer()->Height());
}

bool TOvcRVListBox::DoOnIsSelected(int32_t Index) {
    if (ComponentState().Contains(csDesigning) || !FReportView) return false;
    bool selected;
    if (FMultiSelect) {
        TOvcRvEngine& e = FReportView->Engine();
        selected = e.UpdateDepth() == 0 && Index >= 0 && Index < e.GetLines() && e.GetSelected(Index);
    } else selected = Index == FItemIndex;
    if (selected && FReportView->HideSelection() && !Focused()) return false;
    return selected;
}

void TOvcRVListBox::DoOnSelect(int32_t Index, bool Selected) {
    if (ComponentState().Contains(csDesigning) || FInClick || !FMultiSelect || !FReportView) return;
    TOvcRvEngine& e = FReportView->Engine();
    if (e.UpdateDepth() > 0) return;
    if (Index == -1) {
        auto before = VisibleStates();
        e.InternalSelectAll(Selected);
        RepaintChanged(before);
        return;
    }
    if (Index < 0 || Index >= e.GetLines() || e.GetSelected(Index) == Selected) return;
    auto before = VisibleStates();
    e.SetSelected(Index, Selected);
    RepaintChanged(before);
}

void TOvcRVListBox::SimulatedClick() {
    FSimulatedClick = true;
    try {
        Click();
    } catch (...) {
        FSimulatedClick = false;
        throw;
    }
    FSimulatedClick = false;
}

void TOvcRVListBox::WMKeyDown(TMessage& Message) {
    TOvcCustomReportView* rv = FReportView;
    if (rv && rv->FHScroll && Controller()) {
        TShiftState shift;
        if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
        if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
        uint16_t cmd = Controller()->EntryCommands()->TranslateKeyUsing(std::vector<AnsiString>{"Default"},
                                                                        WORD(Message.WParam), shift);
        if (cmd == ccLeft || cmd == ccRight) {
            rv->HScrollPrim(cmd == ccLeft ? -10 : 10);
            Message.Result = 0;
            return;
        }
    }
    TOvcVirtualListBox::WMKeyDown(Message);
}

void TOvcRVListBox::WMSetFocus(TMessage& Message) {
    TOvcVirtualListBox::WMSetFocus(Message);
    Invalidate();
}

void TOvcRVListBox::WMKillFocus(TMessage& Message) {
    TOvcVirtualListBox::WMKillFocus(Message);
    Invalidate();
}

void TOvcRVListBox::WMMouseMove(TMessage& Message) {
    TOvcRVListBox::TOvcVirtualListBox::WMMouseMove(Message);
    if (!FReportView) return;
    TPoint p(Message.XPos(), Message.YPos());
    if (FReportView->FHoverTrigger >= 0 && FReportView->FHoverController)
        FReportView->FHoverController->TimerPool()->ResetElapsedTime(FReportView->FHoverTrigger);
    if (p.x != FLastMouse.x && p.y != FLastMouse.y) {
        FReportView->HideHint();
        FReportView->FHintSuppressed = false;
    }
    FLastMouse = p;
}

void TOvcRVListBox::WMLButtonDown(TMessage& Message) {
    FPressLine = FItemIndex;
    FPressItem = nullptr;
    if (FReportView && FItemIndex >= 0 && FReportView->Engine().UpdateDepth() == 0 &&
        FItemIndex < FReportView->Engine().GetLines() && !FReportView->Engine().GetIsGroup(FItemIndex))
        FPressItem = FReportView->Engine().GetData(FItemIndex);
    FLastMouse = TPoint(Message.XPos(), Message.YPos());
    TOvcVirtualListBox::WMLButtonDown(Message);
}

void TOvcRVListBox::Click() {
    TOvcCustomReportView* rv = FReportView;
    if (!rv || rv->Engine().IsBusy()) return;
    FInClick = true;
    try {
        if (!FSimulatedClick && NumItems() > 0 && rv->IsGrouped()) {
            TPoint p = FLastMouse;
            int32_t line = -1;
            if (p.y >= 0 && p.y < ClientHeight()) {
                int row = std::min(p.y / RowHeight(), std::max(0, Rows() - 1));
                line = TopIndex() + row;
            }
            TOvcRvEngine& e = rv->Engine();
            if (line >= 0 && line < e.GetLines() && e.GetIsGroup(line)) {
                TOvcRvIndexGroup* group = e.GetGroupRef(line);
                int column = group->Level() - 1;
                int zone = 100;
                if (rv->HeaderPanel()->Visible()) {
                    zone = 0;
                    for (int i = 0; i <= column && i < rv->Header()->GetSectionCount(); ++i)
                        zone += rv->Header()->GetSection(i)->Width();
                    zone -= rv->HScrollPos();
                }
                if (p.x <= zone) {
                    const bool expand = !group->Expanded();
                    rv->SetExpanded(group, expand);
                    if (expand) rv->MakeGroupVisible(group);
                    if (!FMultiSelect && FPressItem && FPressLine >= 0) rv->SetCurrentItem(FPressItem);
                    FInClick = false;
                    return;
                }
            }
        }
        TOvcVirtualListBox::Click();
        rv->Click();
    } catch (...) {
        FInClick = false;
        throw;
    }
    FInClick = false;
}

void TOvcRVListBox::Paint() {
    TOvcCustomReportView* rv = FReportView;
    if (UpdateCount() > 0 || !rv || rv->LockUpdate()) return;
    rv->HideHint();
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->SetBkMode(TRANSPARENT);
    TRect clip = c->ClipRect();
    TOvcRvEngine& e = rv->Engine();
    const bool indexed = e.ActiveIndex() && e.UpdateDepth() == 0;
    int bottom = 0;
    if (indexed) {
        const int64_t shown = std::min<int64_t>(Rows(), int64_t(NumItems()) - TopIndex());
        for (int r = 0; r < shown; ++r) {
            TRect row(0, r * RowHeight(), ClientWidth(), (r + 1) * RowHeight());
            bottom = row.Bottom;
            if (row.Bottom > clip.Top && row.Top < clip.Bottom) InternalDrawItem(TopIndex() + r, row);
        }
    }
    if (bottom < ClientHeight()) {
        c->Brush()->SetColor(FillColor());
        c->FillRect(TRect(0, bottom, ClientWidth(), ClientHeight()));
    }
    if ((!indexed || NumItems() == 0) && Focused()) c->DrawFocusRect(TRect(0, 0, ClientWidth(), RowHeight()));
}

void TOvcRVListBox::InternalDrawItem(int32_t Line, const TRect& Rect) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRvEngine& e = rv->Engine();
    const int w = ClientWidth() + rv->HExtent(), h = RowHeight() + 1;
    if (FLine->Width() != w || FLine->Height() != h) FLine->SetSize(w, h);
    TCanvas* c = FLine->Canvas();
    c->SetFont(Font());
    c->SetBkMode(TRANSPARENT);
    const bool selected = DoOnIsSelected(Line);
    TColor fg = Font()->Color(), bg = Color();
    if (selected) {
        fg = SelectColor()->TextColor();
        bg = SelectColor()->BackColor();
    } else DoOnGetItemColor(Line, fg, bg);
    c->Font()->SetColor(fg);
    FDataStart = 0;
    const TRect row(0, 0, w, RowHeight());
    if (TOvcRvIndexGroup* group = e.GetElementAtLine(Line)) {
        if (bg == Color()) bg = rv->GroupColor();
        c->Brush()->SetColor(bg);
        c->FillRect(TRect(0, 0, w, h));
        DrawGroupItem(c, group, group->Level() - 1, group->Expanded(), selected);
        if (rv->ActiveViewObject() && rv->ActiveViewObject()->ShowGroupTotals())
            DrawItemG(c, group, selected);
    } else {
        c->Brush()->SetColor(bg);
        c->FillRect(TRect(0, 0, w, h));
        DrawItem(c, selected, e.GetData(Line), bg);
    }
    if (Line == FFocusedIndex && Focused()) c->DrawFocusRect(TRect(FDataStart, 0, w, RowHeight()));
    Canvas()->CopyRect(Rect, c, TRect(rv->HScrollPos(), 0, rv->HScrollPos() + Rect.Width(), Rect.Height()));
    (void)row;
}

namespace {
// Cells are laid out from x = 1, one per header section; the section's
// width less the header's text margin is the cell.
struct TCell {
    int Left, Right;
};
std::vector<TCell> CellsOf(TOvcRVHeader* Header) {
    std::vector<TCell> cells;
    int x = 1;
    for (int i = 0; i < Header->GetSectionCount(); ++i) {
        int right = x + Header->GetSection(i)->Width() - Header->TextMargin();
        cells.push_back({x, right});
        x = right + 1;
    }
    return cells;
}
}  // namespace

void TOvcRVListBox::DrawItem(TCanvas* C, bool Selected, void* Item, TColor Back) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRVView* view = rv->ActiveViewObject();
    if (!view) return;
    const std::vector<TCell> cells = CellsOf(rv->Header());
    const int rh = RowHeight();
    const int groups = view->GetGroupCount();
    for (size_t i = 0; i < cells.size() && int(i) < view->ViewFields()->Count(); ++i) {
        TOvcRvViewField* vf = view->GetViewField(int(i));
        TCell cell = cells[i];
        if (vf->GroupBy() && int(i) < groups) {
            C->Brush()->SetColor(rv->GroupColor());
            C->FillRect(TRect(cell.Left - 1, -1, cell.Right + 1, rh + 1));
            // A solid brush makes the texts opaque in its colour: the cells
            // after this one lie on the line's own.
            C->Brush()->SetColor(Back);
            FDataStart = cell.Right + 1;
            continue;
        }
        const int right = rv->Header()->DrawingStyle() == bhsFlat ? cell.Right : cell.Right - 1;
        TOvcRvField* field = vf->Field();
        const int fieldIndex = field->Index();
        AnsiString full = rv->DoGetFieldAsString(Item, fieldIndex);
        AnsiString text = GetDisplayString(C, full, 1, right - cell.Left - 6);
        TRect r(cell.Left + 2, 0, right - 4, rh);
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlags(field->Alignment());
        if (vf->OwnerDraw())
            rv->DoDrawViewField(C, Item, text, full, r, int(i), false, Selected, flags, vf, field);
        else C->DrawText(text, r, flags);
        if (FGridLines == glVertical || FGridLines == glBoth)
            C->FillRect(TRect(cell.Right - 1, 0, cell.Right, rh), *ReportViewGridBrush());
    }
    if (FGridLines == glHorizontal || FGridLines == glBoth)
        C->FillRect(TRect(0, rh - 1, FLine->Width() + 1, rh), *ReportViewGridBrush());
}

AnsiString TOvcRVListBox::GroupText(TOvcRvIndexGroup* Group, int Column, bool WithCount) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRVView* view = rv->ActiveViewObject();
    if (!view || Column < 0 || Column >= view->ViewFields()->Count()) return AnsiString();
    TOvcRvField* field = view->GetViewField(Column)->Field();
    AnsiString text = field->Caption();
    if (!text.empty()) text += " : ";
    text += rv->DoGetFieldAsString(Group->GetData(), field->Index());
    if (WithCount && view->ShowGroupCounts()) text += Format(" (%d)", {Group->GetItemCount()});
    return text;
}

void TOvcRVListBox::DrawGroupItem(TCanvas* C, TOvcRvIndexGroup* Group, int32_t Column, bool Expanded,
                                  bool Selected) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRVView* view = rv->ActiveViewObject();
    const std::vector<TCell> cells = CellsOf(rv->Header());
    const int rh = RowHeight();
    if (!view || Column < 0) return;
    const int left = Column < int(cells.size()) ? cells[size_t(Column)].Left : 1;
    // The box with its minus, and the stroke that makes it a plus.
    const int side = rh - 4;
    TRect box(left + 2, 2, left + 2 + side, 2 + side);
    C->DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONPUSH);
    const int cx = left + 2 + side / 2, cy = 2 + side / 2;
    // The strokes' brush goes back to the line's colour before any text:
    // the texts are drawn opaque in the brush's colour.
    const TColor back = C->Brush()->Color();
    C->Brush()->SetColor(clBtnText);
    C->FillRect(TRect(cx - 2, cy, cx + 3, cy + 1));
    if (!Expanded) C->FillRect(TRect(cx, cy - 2, cx + 1, cy + 3));
    C->Brush()->SetColor(back);
    // The text, from the next column to the end of the line.
    const int textLeft = Column + 1 < int(cells.size()) ? cells[size_t(Column) + 1].Left : box.Right + 2;
    FDataStart = textLeft;
    AnsiString full = GroupText(Group, Column, true);
    TRect r(textLeft, 0, FLine->Width(), rh);
    AnsiString text = GetDisplayString(C, full, 1, r.Width());
    TOvcRvViewField* vf = view->GetViewField(Column);
    if (vf->OwnerDraw())
        rv->DoDrawViewField(C, Group->GetData(), text, full, r, Column, true, Selected,
                            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT, vf, vf->Field());
    else C->DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (FGridLines == glHorizontal || FGridLines == glBoth)
        C->FillRect(TRect(0, rh - 1, FLine->Width() + 1, rh), *ReportViewGridBrush());
}

void TOvcRVListBox::DrawItemG(TCanvas* C, TOvcRvIndexGroup* Group, bool Selected) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRVView* view = rv->ActiveViewObject();
    const std::vector<TCell> cells = CellsOf(rv->Header());
    const int rh = RowHeight();
    for (size_t i = 0; i < cells.size() && int(i) < view->ViewFields()->Count(); ++i) {
        TOvcRvViewField* vf = view->GetViewField(int(i));
        if (vf->GroupBy() || !vf->ComputeTotals()) continue;
        TOvcRvField* field = vf->Field();
        AnsiString full = rv->DoGetGroupString(field->Index(), Group);
        TRect r(cells[i].Left + 2, 0, cells[i].Right - 3, rh);
        AnsiString text = GetDisplayString(C, full, 1, r.Width());
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | AlignFlags(field->Alignment());
        if (vf->OwnerDraw())
            rv->DoDrawViewField(C, Group->GetData(), text, full, r, int(i), true, Selected, flags, vf, field);
        else C->DrawText(text, r, flags);
    }
}

AnsiString TOvcRVListBox::GetStringAtPos(TPoint Point) {
    TOvcCustomReportView* rv = FReportView;
    TOvcRvEngine& e = rv->Engine();
    TOvcRVView* view = rv->ActiveViewObject();
    if (!view || !e.ActiveIndex() || e.UpdateDepth() > 0) return AnsiString();
    Point.x += rv->HScrollPos();
    const std::vector<TCell> cells = CellsOf(rv->Header());
    TCanvas* c = Canvas();
    c->SetFont(Font());
    const int rh = RowHeight();
    auto fits = [&](const AnsiString& Text, int Width) { return c->TextWidth(Text) <= Width; };
    for (int r = 0; r < Rows() && TopIndex() + r < NumItems(); ++r) {
        if (Point.y < r * rh || Point.y >= (r + 1) * rh) continue;
        const int line = TopIndex() + r;
        if (TOvcRvIndexGroup* g = e.GetElementAtLine(line)) {
            const int column = g->Level() - 1;
            const int textLeft = column + 1 < int(cells.size()) ? cells[size_t(column) + 1].Left : 0;
            if (Point.x > textLeft) {
                AnsiString text = GroupText(g, column, false);
                if (!fits(text, FLine->Width() - textLeft)) return text;
            }
            if (!view->ShowGroupTotals()) return AnsiString();
            for (size_t i = 0; i < cells.size() && int(i) < view->ViewFields()->Count(); ++i) {
                TOvcRvViewField* vf = view->GetViewField(int(i));
                if (vf->GroupBy() || !vf->ComputeTotals() || !vf->ShowHint()) continue;
                if (Point.x < cells[i].Left + 3 || Point.x > cells[i].Right - 3) continue;
                AnsiString text = rv->DoGetGroupString(vf->Field()->Index(), g);
                if (!fits(text, cells[i].Right - cells[i].Left - 6)) return text;
            }
            return AnsiString();
        }
        void* item = e.GetData(line);
        for (size_t i = 0; i < cells.size() && int(i) < view->ViewFields()->Count(); ++i) {
            TOvcRvViewField* vf = view->GetViewField(int(i));
            if (vf->GroupBy() || !vf->ShowHint()) continue;
            if (Point.x < cells[i].Left + 3 || Point.x > cells[i].Right - 3) continue;
            AnsiString text = rv->DoGetFieldAsString(item, vf->Field()->Index());
            if (!fits(text, cells[i].Right - cells[i].Left - 6)) return text;
        }
        return AnsiString();
    }
    return AnsiString();
}

// --- the header ---

TOvcRVHeader::TOvcRVHeader(TComponent* AOwner)
    : TOvcButtonHeader(AOwner), FReportView(dynamic_cast<TOvcCustomReportView*>(AOwner)) {
    SuppressItemNames = true;
    SetBorderStyle(bsNone);
    SetTextMargin(1);
    FItemIndex = -1;
    SetStyle(bhsButton);
    SetImages(ReportViewArrows());
    SetDrawingStyle(bhsEtched);
}

void TOvcRVHeader::Paint() {
    if (FReportView && FReportView->LockUpdate()) return;
    TOvcButtonHeader::Paint();
}

void TOvcRVHeader::Reload() {
    Sections()->Clear();
    TOvcRVView* view = FReportView->ActiveViewObject();
    if (view) {
        for (int i = 0; i < view->ViewFields()->Count(); ++i) {
            TOvcRvViewField* vf = view->GetViewField(i);
            auto* field = dynamic_cast<TOvcRvField*>(vf->BoundField());
            if (!field) continue;
            TOvcButtonHeaderSection* s = AddSection();
            s->SetCaption(vf->GroupBy() ? AnsiString() : field->Caption());
            s->SetWidth(vf->GetWidth());
            s->SetAlignment(field->Alignment());
            s->SetAllowResize(vf->AllowResize());
        }
    }
    Invalidate();
}

void TOvcRVHeader::SetSortGlyph() {
    for (int i = 0; i < GetSectionCount(); ++i) GetSection(i)->SetImageIndex(-1);
    const int k = FReportView->Engine().SortColumn();
    if (GetSectionCount() > 0 && k != 0 && std::abs(k) - 1 < GetSectionCount())
        GetSection(std::abs(k) - 1)->SetImageIndex(k > 0 ? 0 : 1);
}

void TOvcRVHeader::DoOnClick() {
    TOvcCustomReportView* rv = FReportView;
    if (!rv->Focused() && rv->ListBox()->CanFocus()) rv->ListBox()->SetFocus();
    const int i = ItemIndex();
    TOvcRVView* view = rv->ActiveViewObject();
    if (view && i >= 0 && i < GetSectionCount() && i < view->ViewFields()->Count() &&
        view->GetViewField(i)->Field()->CanSort()) {
        const int k = rv->Engine().SortColumn();
        if (std::abs(k) - 1 == i) rv->Engine().SetInternalSortColumn(-k);
        else rv->Engine().SetInternalSortColumn(i + 1);
        SetSortGlyph();
    }
    TOvcButtonHeader::DoOnClick();
}

void TOvcRVHeader::DrawSizer(int X) {
    TCanvas* c = FReportView->ListBox()->Canvas();
    TPenMode mode = c->Pen()->Mode();
    TColor color = c->Pen()->Color();
    int width = c->Pen()->Width();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(2);
    c->MoveTo(X, 0);
    c->LineTo(X, FReportView->ListBox()->ClientHeight());
    c->Pen()->SetMode(mode);
    c->Pen()->SetColor(color);
    c->Pen()->SetWidth(width);
}

void TOvcRVHeader::DoOnSizing(int32_t Section, int32_t Width) {
    if (FSizerShown) DrawSizer(FSizerX);
    int x = 0;
    for (int i = 0; i <= Section && i < GetSectionCount(); ++i) x += GetSection(i)->Width();
    FSizerX = x - FReportView->HScrollPos() - 1;
    DrawSizer(FSizerX);
    FSizerShown = true;
    TOvcButtonHeader::DoOnSizing(Section, Width);
}

void TOvcRVHeader::DoOnSized(int32_t Section, int32_t Width) {
    if (FSizerShown) DrawSizer(FSizerX);
    FSizerShown = false;
    TOvcButtonHeader::DoOnSized(Section, Width);
    FReportView->ListBox()->Invalidate();
    FReportView->ResizeColumn();
    FReportView->RecalcWidth();
}

void TOvcRVHeader::DblClick() {
    TOvcButtonHeader::DblClick();
    TPoint p;
    GetCursorPos(p);
    if (DetectBorder(ScreenToClient(p).x)) FReportView->ScaleColumn(FResizeSection);
}

// --- the footer ---

TOvcRVFooter::TOvcRVFooter(TComponent* AOwner)
    : TOvcButtonHeader(AOwner), FReportView(dynamic_cast<TOvcCustomReportView*>(AOwner)) {
    SuppressItemNames = true;
    SetBorderStyle(bsNone);
    SetTextMargin(1);
    SetStyle(bhsNone);
    SetAllowResize(false);
    SetDrawingStyle(bhsEtched);
}

void TOvcRVFooter::Paint() {
    if (FReportView && FReportView->LockUpdate()) return;
    TOvcButtonHeader::Paint();
}

void TOvcRVFooter::Describe(int I, AnsiString& Caption, int& Width, TAlignment& Alignment) {
    TOvcRvViewField* vf = FReportView->ActiveViewObject()->GetViewField(I);
    auto* field = dynamic_cast<TOvcRvField*>(vf->BoundField());
    Caption.clear();
    if (vf->ComputeTotals() && field && FReportView->Engine().ActiveIndex() &&
        FReportView->Engine().UpdateDepth() == 0)
        Caption = FReportView->DoGetGroupString(field->Index(), FReportView->Engine().GetTotalRef());
    Width = vf->GetWidth();
    Alignment = field ? field->Alignment() : taLeftJustify;
}

void TOvcRVFooter::Reload() {
    if (!FReportView->FooterPanel()->Visible()) return;
    Sections()->Clear();
    if (TOvcRVView* view = FReportView->ActiveViewObject()) {
        for (int i = 0; i < view->ViewFields()->Count(); ++i) {
            AnsiString caption;
            int width;
            TAlignment alignment;
            Describe(i, caption, width, alignment);
            TOvcButtonHeaderSection* s = AddSection();
            s->SetCaption(caption);
            s->SetWidth(width);
            s->SetAlignment(alignment);
            s->SetAllowResize(false);
        }
    }
    Invalidate();
}

void TOvcRVFooter::UpdateSections() {
    if (!FReportView->FooterPanel()->Visible()) return;
    TOvcRVView* view = FReportView->ActiveViewObject();
    if (!view) return;
    for (int i = 0; i < GetSectionCount() && i < view->ViewFields()->Count(); ++i) {
        AnsiString caption;
        int width;
        TAlignment alignment;
        Describe(i, caption, width, alignment);
        TOvcButtonHeaderSection* s = GetSection(i);
        s->SetCaption(caption);
        s->SetWidth(width);
        s->SetAlignment(alignment);
    }
}

// --- the control ---

TOvcCustomReportView::TOvcCustomReportView(TComponent* AOwner, const TClassInfo* FieldClass)
    : TOvcAbstractReportView(AOwner), FPrinterProperties(std::make_unique<TOvcRvPrintProps>()),
      FOptions(std::make_unique<TOvcRVOptions>(this)), FSpareFont(std::make_unique<TFont>()) {
    SetBounds(Left(), Top(), 100, 100);
    FControlStyle.Include(csOpaque);
    RegisterClasses({FieldClass, &TOvcRVView::StaticClassInfo(), &TOvcRvViewField::StaticClassInfo()});
    FOwnedFields = std::make_unique<TOvcAbstractRvFields>(this, FieldClass);
    FFields = FOwnedFields.get();
    FFields->OnChanged = [this](TObject*) { ColumnsChanged(); };
    FOwnedViews = std::make_unique<TOvcRvViews>(this, GetViewClassType());
    FViews = FOwnedViews.get();

    auto panel = [this](TAlign Align) {
        auto* p = NewComponent<TPanel>(this);
        p->SetBevelOuter(bvNone);
        p->SetBorderStyle(bsNone);
        p->SetHeight(18);
        p->SetAlign(Align);
        p->SetVisible(false);
        p->SetParent(this);
        p->OnResize = [this](TObject*) { PlaceParts(); };
        return p;
    };
    FHeaderPanel = panel(alTop);
    FFooterPanel = panel(alBottom);
    FListBox = NewComponent<TOvcRVListBox>(this);
    FListBox->SetAutoRowHeight(true);
    FListBox->SetNumItems(0);
    FListBox->SetBorderStyle(bsSingle);
    FListBox->SetAlign(alClient);
    FListBox->SetParent(this);
    FListBox->OnDblClick = [this](TObject* Sender) { ListDblClick(Sender); };
    FListBox->OnKeyPress = [this](TObject* Sender, char& Key) { ListKeyPress(Sender, Key); };
    FHeader = NewComponent<TOvcRVHeader>(this);
    FHeader->SetParent(FHeaderPanel);
    FFooter = NewComponent<TOvcRVFooter>(this);
    FFooter->SetParent(FFooterPanel);
    PlaceParts();
}

TOvcCustomReportView::~TOvcCustomReportView() = default;

void TOvcCustomReportView::BeforeDestruction() {
    FDestroying = true;
    DoChangeNotification(rvDestroying);
    RemoveHoverTrigger();
    HideHint();
    FHintSuppressed = true;
    if (FFields) FFields->OnChanged = nullptr;
    Engine().ClearIndex();
    // Views and fields go while the engine is there to drop their indexes;
    // the parts, which go with the control's components, must not reach back.
    FOwnedViews.reset();
    FOwnedFields.reset();
    FViews = nullptr;
    FFields = nullptr;
    FListBox->FReportView = nullptr;
    FHeader->FReportView = nullptr;
    FFooter->FReportView = nullptr;
    FListBox = nullptr;
    FHeader = nullptr;
    FFooter = nullptr;
    FHeaderPanel = nullptr;
    FFooterPanel = nullptr;
    FHintWindow = nullptr;
    TOvcAbstractReportView::BeforeDestruction();
}

const TClassInfo* TOvcCustomReportView::GetFieldClassType() const { return &TOvcRvField::StaticClassInfo(); }
const TClassInfo* TOvcCustomReportView::GetViewClassType() const { return &TOvcRVView::StaticClassInfo(); }

bool TOvcCustomReportView::IsGrouped() const { return FActiveView && FActiveView->GetGroupCount() > 0; }

// --- views ---

void TOvcCustomReportView::SetActiveView(const AnsiString& ViewName) {
    if (IsReading(this) || BindingPending()) {
        if (BindingPending()) StoreColumnWidths();
        FActiveViewName = ViewName;
        return;
    }
    if (ViewName == FActiveViewName && (ViewName.empty() || FActiveView)) {
        LoadColumnWidths();
        RecalcWidth();
        return;
    }
    StoreColumnWidths();
    if (ViewName.empty()) {
        FActiveViewName.clear();
        FActiveTitle.clear();
        Engine().SetActiveIndexerView("");
        FActiveView = nullptr;
        FListBox->SetNumItems(0);
        FHeaderPanel->SetVisible(false);
        FFooterPanel->SetVisible(false);
        FHeader->Sections()->Clear();
        FFooter->Sections()->Clear();
        SetSortArrows();
        Invalidate();
        DoChangeNotification(rvViewSelect);
        RecalcWidth();
        if (!FDestroying) SetCurrentItem(nullptr);
        return;
    }
    auto* view = static_cast<TOvcRVView*>(FindView(ViewName));
    // The selection goes, the group flags of every cached index with it:
    // a view coming back must not show groups selected before.
    Engine().InternalSelectAll(false);
    Engine().ClearGroupSelections();
    InternalBeginUpdate(false);
    try {
        FFooterPanel->SetVisible(false);
        FActiveViewName = ViewName;
        FActiveView = view;
        FActiveTitle = view->Title();
        FHeader->Reload();
        FListBox->SetListFillColor(IsGrouped() ? FGroupColor : FOptions->ListColor());
        Engine().SetInternalSortColumn(1);
        Engine().SetActiveIndexerView(ViewName);
        FHeaderPanel->SetVisible(view->ShowHeader());
        FFooterPanel->SetVisible(view->ShowFooter());
        FFooter->Reload();
    } catch (...) {
        InternalEndUpdate(false);
        throw;
    }
    InternalEndUpdate(false);
    const int count = view->ViewFields()->Count();
    const int def = view->DefaultSortColumn();
    if (def < 0 || def >= count) Engine().SetInternalSortColumn(1);
    else Engine().SetInternalSortColumn(view->DefaultSortDescending() ? -(def + 1) : def + 1);
    SetSortArrows();
    LoadColumnWidths();
    DoChangeNotification(rvViewSelect);
    RecalcWidth();
}

void TOvcCustomReportView::SetActiveViewByTitle(const AnsiString& Title) {
    AnsiString name = ViewNameByTitle(Title);
    if (name.empty()) throw EReportViewError(SUnknownView, {Title});
    SetActiveView(name);
}

AnsiString TOvcCustomReportView::ViewNameByTitle(const AnsiString& Title) const {
    for (int i = 0; FViews && i < FViews->Count(); ++i)
        if (GetView(i)->Title() == Title) return GetView(i)->Name();
    return AnsiString();
}

void TOvcCustomReportView::ReplaceView(const AnsiString& ViewName, TOvcRVView* View) {
    if (RvFindView(ViewName)) FindView(ViewName)->Free();
    FViews->Add()->Assign(View);
}

void TOvcCustomReportView::AssignStructure(TOvcCustomReportView* Source) {
    FViews->Clear();
    FFields->Clear();
    FFields->Assign(Source->Fields());
    FViews->Assign(Source->Views());
}

void TOvcCustomReportView::RebuildIndexes() {
    AnsiString name = FActiveViewName;
    SetActiveView("");
    Engine().DeleteInactiveIndexes(nullptr);
    SetActiveView(name);
}

void TOvcCustomReportView::SaveViewToStorage(TOvcAbstractStore* Store, TOvcRVView* View) {
    Store->Open();
    try {
        View->SaveToStorage(Store, Name());
    } catch (...) {
        Store->Close();
        throw;
    }
    Store->Close();
}

void TOvcCustomReportView::LoadColumnWidths() {
    if (!FActiveView) return;
    if (TCustomForm* form = GetImmediateParentForm(this))
        FWidthSection = Format("%s.%s.%s", {form->Name(), Name(), FActiveView->Name()});
    else FWidthSection = Format("%s.%s", {Name(), FActiveView->Name()});
    if (!FFieldWidthStore || ComponentState().Contains(csDesigning)) return;
    FFieldWidthStore->Open();
    try {
        for (int k = 0; k < FActiveView->ViewFields()->Count(); ++k) {
            TOvcRvViewField* vf = FActiveView->GetViewField(k);
            vf->SetWidth(FFieldWidthStore->ReadInteger(FWidthSection, IntToStr(k), vf->GetWidth()));
        }
    } catch (...) {
        FFieldWidthStore->Close();
        throw;
    }
    FFieldWidthStore->Close();
}

void TOvcCustomReportView::StoreColumnWidths() {
    if (!FActiveView || !FFieldWidthStore || !FWidthChanged || ComponentState().Contains(csDesigning)) return;
    FFieldWidthStore->Open();
    try {
        for (int k = 0; k < FActiveView->ViewFields()->Count(); ++k)
            FFieldWidthStore->WriteInteger(FWidthSection, IntToStr(k),
                                           FActiveView->GetViewField(k)->GetWidth());
    } catch (...) {
        FFieldWidthStore->Close();
        throw;
    }
    FFieldWidthStore->Close();
    FWidthChanged = false;
}

void TOvcCustomReportView::ColumnsChanged() {
    if (FDestroying || BindingPending()) return;
    ReloadHeaderFooter();
}

void TOvcCustomReportView::ReloadHeaderFooter() {
    FHeader->Reload();
    FFooter->Reload();
    SetSortArrows();
}

void TOvcCustomReportView::SetSortArrows() { FHeader->SetSortGlyph(); }

// --- updating ---

void TOvcCustomReportView::InternalBeginUpdate(bool WithIndex) {
    if (FUpdateDepth == 0) {
        DoBusy(true);
        if (WithIndex) Engine().BeginUpdateIndex();
        FListBox->BeginUpdate();
    }
    ++FUpdateDepth;
}

void TOvcCustomReportView::InternalEndUpdate(bool WithIndex) {
    if (FUpdateDepth > 1) {
        --FUpdateDepth;
        return;
    }
    FUpdateDepth = 0;
    try {
        if (WithIndex) Engine().EndUpdateIndex();
    } catch (...) {
        if (FListBox->UpdateCount() > 0) FListBox->EndUpdate();
        DoBusy(false);
        throw;
    }
    if (FListBox->UpdateCount() > 0) FListBox->EndUpdate();
    FListBox->Invalidate();
    if (FFooterPanel->Visible()) FFooter->Invalidate();
    DoBusy(false);
}

void TOvcCustomReportView::DoBusy(bool BusyFlag) {
    if (LockUpdate()) return;
    if (OnSignalBusy) OnSignalBusy(this, BusyFlag);
}

// --- the engine's notices ---

void TOvcCustomReportView::DoLinesWillChange() {
    Engine().ExpansionChanged = false;
    FShowGroup = nullptr;
    const int line = FListBox->ItemIndex();
    FRememberedLine = line;
    FRemembered = nullptr;
    if (line < 0 || !Engine().ActiveIndex() || line >= Engine().GetLines()) return;
    if (Engine().GetIsGroup(line)) SetFocusLine(-1);
    else FRemembered = Engine().GetData(line);
}

void TOvcCustomReportView::SetFocusLine(int32_t Line) {
    // The report view moves the focus without touching the selection.
    TOvcRVListBox* lb = FListBox;
    if (Line > lb->FLastIndex) Line = lb->FLastIndex;
    if (Line < -1) Line = -1;
    if (Line == lb->FItemIndex) return;
    lb->InvalidateItem(lb->FItemIndex);
    lb->FItemIndex = Line;
    if (Line >= 0) {
        if (Line < lb->TopIndex()) lb->SetTopIndex(Line);
        else if (Line >= lb->TopIndex() + lb->Rows()) lb->SetTopIndex(Line - lb->Rows() + 1);
        lb->FFocusedIndex = Line;
        lb->FAnchor = Line;
    }
    lb->InvalidateItem(Line);
    lb->SimulatedClick();
}

void TOvcCustomReportView::DoLinesChanged(int LineDelta, int StartLine) {
    if (FActiveViewName.empty() || FDestroying) return;
    TOvcRvEngine& e = Engine();
    bool full = StartLine == -1;
    if (full) FListBox->SetNumItems(e.GetLines());
    else {
        if (LineDelta >= 0) FListBox->InsertItemsAt(LineDelta, StartLine);
        else FListBox->DeleteItemsAt(-LineDelta, StartLine);
        if (StartLine - 1 >= 0 && StartLine - 1 < e.GetLines() && e.GetIsGroup(StartLine - 1))
            FListBox->InvalidateItem(StartLine - 1);
    }
    if (FRemembered && !e.ExpansionChanged) {
        int line = e.GetOffsetOfData(FRemembered);
        if (line == -1 && e.Contains(FRemembered)) {
            e.InternalMakeVisible(FRemembered);
            FListBox->SetNumItems(e.GetLines());
            line = e.GetOffsetOfData(FRemembered);
            full = true;
        }
        if (line == -1 || e.GetIsGroup(line)) SetFocusLine(-1);
        else {
            SetFocusLine(line);
            if (FAutoCenter) FListBox->CenterLine(line);
        }
    } else if (FRemembered) SetFocusLine(FRememberedLine < e.GetLines() ? FRememberedLine : -1);
    else if (FListBox->ItemIndex() >= e.GetLines()) SetFocusLine(-1);
    else if (FRememberedLine >= 0 || full) SetFocusLine(-1);
    if (!BindingPending()) RefreshFooter();
    if (full && !LockUpdate()) FListBox->Invalidate();
}

void TOvcCustomReportView::FieldGoing(TOvcAbstractRvField* Field) {
    if (FDestroying) return;
    // While fields are built again the views are bound again after.
    if (BindingPending()) return TOvcAbstractReportView::FieldGoing(Field);
    bool used = false;
    for (int k = 0; FActiveView && k < FActiveView->ViewFields()->Count(); ++k)
        used = used || FActiveView->GetViewField(k)->BoundField() == Field;
    const AnsiString name = FActiveViewName;
    if (FActiveView) SetActiveView("");
    TOvcAbstractReportView::FieldGoing(Field);
    // A view that did not show the field comes back on indexes built anew.
    if (!used && !name.empty()) SetActiveView(name);
}

void TOvcCustomReportView::RefreshFooter() { FFooter->UpdateSections(); }

void TOvcCustomReportView::DoSortingChanged() {
    if (OnSortingChanged) OnSortingChanged(this);
}

void TOvcCustomReportView::DoEnumEvent(void* Data, bool& Stop, void* UserData) {
    if (FEnumHook) FEnumHook(Stop);
    else if (OnEnumerate) OnEnumerate(this, Data, Stop, UserData);
}

// --- the current line ---

void* TOvcCustomReportView::GetCurrentItem() {
    Engine().CheckUpdate();
    const int line = FListBox->ItemIndex();
    if (line < 0 || !Engine().ActiveIndex() || line >= Engine().GetLines() || Engine().GetIsGroup(line))
        return nullptr;
    return Engine().GetData(line);
}

TOvcRvIndexGroup* TOvcCustomReportView::GetCurrentGroup() {
    Engine().CheckUpdate();
    const int line = FListBox->ItemIndex();
    if (line < 0 || !Engine().ActiveIndex() || line >= Engine().GetLines() || !Engine().GetIsGroup(line))
        return nullptr;
    return Engine().GetGroupRef(line);
}

void TOvcCustomReportView::SetCurrentItem(void* Data) {
    int line = Data ? Engine().GetOffsetOfData(Data) : -1;
    if (line == FListBox->ItemIndex() && line != -1) return;
    if (line == -1 && !Data && FListBox->ItemIndex() == -1) return;
    SetFocusLine(-1);
    if (line != -1) {
        if (FAutoCenter) FListBox->CenterLine(line);
        SetFocusLine(line);
    }
    if (FListBox->ItemIndex() == -1 && Data && Engine().Contains(Data)) {
        Engine().MakeVisible(Data);
        line = Engine().GetOffsetOfData(Data);
        if (line >= 0) SetFocusLine(line);
    }
    if (FAutoCenter) FListBox->CenterCurrentLine();
}

void TOvcCustomReportView::GotoNearest(void* Data) {
    if (!Data) {
        SetCurrentItem(nullptr);
        return;
    }
    int line = Engine().Find(Data);
    if (line >= Engine().GetLines()) line = Engine().GetLines() - 1;
    SetFocusLine(line);
}

void TOvcCustomReportView::Navigate(TRvCurrentPosition Position) {
    TOvcRvEngine& e = Engine();
    const int lines = e.GetLines();
    switch (Position) {
    case rvpMoveToFirst:
        if (lines > 0) SetCurrentItem(e.GetData(0));
        break;
    case rvpMoveToLast:
        if (lines > 0) SetCurrentItem(e.GetData(lines - 1));
        break;
    case rvpMoveToNext:
    case rvpMoveToPrevious: {
        void* current = GetCurrentItem();
        if (!current) break;
        int line = e.GetOffsetOfData(current);
        if (Position == rvpMoveToNext && line < lines - 1) SetCurrentItem(e.GetData(line + 1));
        if (Position == rvpMoveToPrevious && line > 0) SetCurrentItem(e.GetData(line - 1));
        break;
    }
    case rvpScrollToTop: FListBox->SetTopIndex(0); break;
    case rvpScrollToBottom: FListBox->SetTopIndex(std::max(0, FListBox->NumItems() - 1)); break;
    }
}

void TOvcCustomReportView::CenterCurrentLine() {
    if (GetCurrentItem()) FListBox->CenterCurrentLine();
}

void* TOvcCustomReportView::ItemAtPos(TPoint Point) {
    int line = FListBox->ItemAtPos(Point, true);
    return line < 0 ? nullptr : Engine().GetData(line);
}

void TOvcCustomReportView::MakeGroupVisible(TOvcRvIndexGroup* GroupRef) {
    // The group is kept here, not in the message: a change of the lines
    // before the message runs forgets it.
    FShowGroup = GroupRef;
    if (HandleAllocated()) PostMessage(Handle(), OM_SHOWGROUP, 0, 0);
}

void TOvcCustomReportView::ShowPendingGroup() {
    TOvcRvIndexGroup* group = FShowGroup;
    FShowGroup = nullptr;
    if (!group || Engine().UpdateDepth() > 0 || !Engine().ActiveIndex()) return;
    Update();
    int offset = Engine().GetOffsetOfGroup(group);
    if (offset <= 0) return;
    const int line = offset - 1;
    const int count = group->GetCount();
    const int rows = FListBox->Rows();
    if (line + count > FListBox->TopIndex() + rows - 1) {
        int top = line + 1 + count - rows;
        if (top < 0 || top > line) top = line;
        FListBox->SetTopIndex(top);
    }
}

void TOvcCustomReportView::WndProc(TMessage& Message) {
    if (Message.Msg == OM_SHOWGROUP) {
        ShowPendingGroup();
        return;
    }
    TOvcAbstractReportView::WndProc(Message);
}

// --- values and enumeration ---

AnsiString TOvcCustomReportView::DoGetFieldAsString(void* Data, int32_t FieldIndex) {
    AnsiString s;
    if (OnGetFieldAsString) OnGetFieldAsString(this, Data, FieldIndex, s);
    else s = Format("[%d]", {FieldIndex});
    return s;
}

AnsiString TOvcCustomReportView::DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef) {
    AnsiString s;
    if (OnGetGroupString) OnGetGroupString(this, FieldIndex, GroupRef, s);
    else s = Format("[%d]", {FieldIndex});
    return s;
}

void TOvcCustomReportView::DoKeySearch(int32_t SortColumn, const AnsiString& KeyString) {
    if (!OnKeySearch) throw EReportViewError(SKeySearchNotAsgnd);
    OnKeySearch(this, SortColumn, KeyString);
}

void TOvcCustomReportView::Enumerate(void* UserData) {
    if (!OnEnumerate) throw EReportViewError(SOnEnumNotAsgnd);
    Engine().DoEnumerate(UserData);
}

void TOvcCustomReportView::EnumerateSelected(void* UserData) {
    if (!MultiSelect()) throw ENotMultiSelect(SNotMultiSelect);
    if (!OnEnumerate) throw EReportViewError(SOnEnumSelNotAsgnd);
    Engine().DoEnumerateSelected(UserData);
}

void TOvcCustomReportView::EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) {
    if (SelectedOnly && !MultiSelect()) throw ENotMultiSelect(SNotMultiSelect);
    if (!OnEnumerate) throw EReportViewError(SOnEnumSelNotAsgnd);
    Engine().DoEnumerateEx(Backwards, SelectedOnly, StartAfter, UserData);
}

bool TOvcCustomReportView::GetHaveSelection() {
    bool found = false;
    FEnumHook = [&found](bool& Stop) {
        found = true;
        Stop = true;
    };
    try {
        Engine().DoEnumerateSelected(nullptr);
    } catch (...) {
        FEnumHook = nullptr;
        throw;
    }
    FEnumHook = nullptr;
    return found;
}

int32_t TOvcCustomReportView::GetSelectionCount() {
    int32_t count = 0;
    FEnumHook = [&count](bool&) { ++count; };
    try {
        Engine().DoEnumerateSelected(nullptr);
    } catch (...) {
        FEnumHook = nullptr;
        throw;
    }
    FEnumHook = nullptr;
    return count;
}

void TOvcCustomReportView::DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text,
                                           const AnsiString& FullText, const TRect& Rect,
                                           int32_t ViewFieldIndex, bool IsGroupLine, bool IsSelected,
                                           uint32_t TextFlags, TOvcRvViewField* ViewField,
                                           TOvcRvField* Field) {
    FSpareFont->Assign(Canvas->Font());
    try {
        if (OnDrawViewFieldEx) {
            bool defaultDrawing = true;
            OnDrawViewFieldEx(this, Canvas, Field, ViewField, TextFlags, IsSelected, IsGroupLine, Data, Rect,
                              FullText, Text, defaultDrawing);
            if (defaultDrawing) {
                TRect r = Rect;
                Canvas->DrawText(Text, r, TextFlags);
            }
        } else if (OnDrawViewField) OnDrawViewField(this, Canvas, Data, ViewFieldIndex, Rect, Text);
    } catch (...) {
        Canvas->Font()->Assign(FSpareFont.get());
        throw;
    }
    Canvas->Font()->Assign(FSpareFont.get());
}

// --- sorting ---

int32_t TOvcCustomReportView::SortColumn() const { return std::abs(Engine().SortColumn()) - 1; }

void TOvcCustomReportView::SetSortColumn(int32_t Value) {
    const int k = Value + 1;
    Engine().SetInternalSortColumn(SortDescending() ? -k : k);
    SetSortArrows();
}

void TOvcCustomReportView::SetSortDescending(bool Value) {
    if (Value == SortDescending()) return;
    Engine().SetInternalSortColumn(-Engine().SortColumn());
    SetSortArrows();
}

// --- change notifications ---

void TOvcCustomReportView::RegisterChangeNotification(TObject* Receiver, TRvChangeMethod Method) {
    FNotifications.push_back({Receiver, std::move(Method)});
}

void TOvcCustomReportView::UnRegisterChangeNotification(TObject* Receiver) {
    for (auto it = FNotifications.begin(); it != FNotifications.end(); ++it)
        if (it->Receiver == Receiver) {
            FNotifications.erase(it);
            return;
        }
    throw Exception("Change notification method not found");
}

void TOvcCustomReportView::DoChangeNotification(TRvChangeEvent Event) {
    if (Event == rvViewSelect && OnViewSelect) OnViewSelect(this);
    // A receiver may unregister itself while it is told.
    std::vector<TNotification> list = FNotifications;
    for (size_t i = list.size(); i-- > 0;) {
        bool still = std::any_of(FNotifications.begin(), FNotifications.end(),
                                 [&](const TNotification& N) { return N.Receiver == list[i].Receiver; });
        if (still) list[i].Method(this, Event);
    }
}

// --- keys, clicks and focus ---

void TOvcCustomReportView::ListKeyPress(TObject* Sender, char& Key) {
    TOvcRvEngine& e = Engine();
    const unsigned char k = static_cast<unsigned char>(Key);
    const int line = FListBox->ItemIndex();
    if (k == 13 || k == ' ' || k == '+' || k == '-') {
        if (line >= 0 && e.UpdateDepth() == 0 && e.ActiveIndex() && line < e.GetLines() &&
            e.GetIsGroup(line)) {
            TOvcRvIndexGroup* group = e.GetGroupRef(line);
            bool value = k == '+' ? true : (k == '-' ? false : !group->Expanded());
            e.SetExpanded(group, value);
            if (group->Expanded()) MakeGroupVisible(group);
            Key = 0;
            SetFocusLine(e.GetOffsetOfGroup(group) - 1);
        }
    } else if (k == 27) SetCurrentItem(nullptr);
    else if (FKeySearch && k >= 33 && k != 43 && k != 45) {
        if (!FActiveView || IsGrouped()) {
            MessageBeep(MB_ICONHAND);
            return;
        }
        const uint32_t now = Clock().TickCount();
        if (now - FKeySearchTick > uint32_t(FKeyTimeout) || FKeySearchText.empty())
            FKeySearchText = AnsiString(1, Key);
        else FKeySearchText += Key;
        FKeySearchTick = now;
        AnsiString key = FKeySearchText;
        if (e.SortColumn() < 0)
            while (key.size() < 255) key += char(255);
        int field = 0;
        if (e.ActiveIndex() && e.ActiveIndex()->SortField() >= 0) field = e.ActiveIndex()->SortField();
        DoKeySearch(field, key);
        Key = 0;
    }
    if (OnKeyPress) OnKeyPress(Sender, Key);
}

void TOvcCustomReportView::ListDblClick(TObject*) {
    TOvcRvEngine& e = Engine();
    const int line = FListBox->ItemIndex();
    if (line < 0 || e.UpdateDepth() > 0 || !e.ActiveIndex() || line >= e.GetLines()) return;
    if (e.GetIsGroup(line)) {
        TOvcRvIndexGroup* group = e.GetGroupRef(line);
        e.SetExpanded(group, !group->Expanded());
        if (group->Expanded()) MakeGroupVisible(group);
        SetFocusLine(e.GetOffsetOfGroup(group) - 1);
        return;
    }
    DblClick();
}

void TOvcCustomReportView::Click() {
    if (FListBox->ItemIndex() >= 0 && OnClick) OnClick(this);
}

void TOvcCustomReportView::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TOvcCustomReportView::Focused() const { return FListBox->Focused(); }

void TOvcCustomReportView::SetFocus() {
    if (FListBox->CanFocus()) FListBox->SetFocus();
}

void TOvcCustomReportView::WMSetFocus(TMessage& Message) {
    TOvcAbstractReportView::WMSetFocus(Message);
    if (FListBox->CanFocus()) FListBox->SetFocus();
    FListBox->Invalidate();
}

void TOvcCustomReportView::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

// --- properties ---

void TOvcCustomReportView::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

bool TOvcCustomReportView::ColumnResize() const { return FHeader->AllowResize(); }
void TOvcCustomReportView::SetColumnResize(bool Value) { FHeader->SetAllowResize(Value); }

void TOvcCustomReportView::SetFieldWidthStore(TOvcAbstractStore* Value) {
    FFieldWidthStore = Value;
    if (Value) Value->FreeNotification(this);
}

TOvcRVGridLines TOvcCustomReportView::GridLines() const { return FListBox->GridLines(); }
void TOvcCustomReportView::SetGridLines(TOvcRVGridLines Value) { FListBox->SetGridLines(Value); }

void TOvcCustomReportView::SetGroupColor(TColor Value) {
    if (Value == FGroupColor) return;
    FGroupColor = Value;
    if (IsGrouped()) FListBox->SetListFillColor(Value);
    FListBox->Invalidate();
}

void TOvcCustomReportView::SetHideSelection(bool Value) {
    FHideSelection = Value;
    FListBox->Invalidate();
}

void TOvcCustomReportView::SetMultiSelect(bool Value) {
    Engine().MultiSelect = Value;
    FListBox->SetMultiSelect(Value);
}

bool TOvcCustomReportView::SmoothScroll() const { return FListBox->SmoothScroll(); }
void TOvcCustomReportView::SetSmoothScroll(bool Value) { FListBox->SetSmoothScroll(Value); }

void TOvcCustomReportView::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    const bool oldH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    FScrollBars = Value;
    FListBox->SetScrollBars(Value == ssVertical || Value == ssBoth ? ssVertical : ssNone);
    const bool newH = Value == ssHorizontal || Value == ssBoth;
    FVScroll = Value == ssVertical || Value == ssBoth;
    FHScroll = newH;
    if (oldH != newH && HandleAllocated()) RecreateWnd();
    if (HandleAllocated()) RecalcWidth();
}

void TOvcCustomReportView::SetController(TOvcController* Value) {
    if (Value == Controller()) return;
    RemoveHoverTrigger();
    TOvcAbstractReportView::SetController(Value);
    if (FListBox) FListBox->SetController(Value);
    if (Value && HandleAllocated()) AddHoverTrigger();
}

void TOvcCustomReportView::SetWidthChanged(bool Value) {
    if (Value == FWidthChanged) return;
    FWidthChanged = Value;
    RecalcWidth();
}

// --- lifecycle ---

void TOvcCustomReportView::Loaded() {
    TOvcAbstractReportView::Loaded();
    if (!FActiveViewName.empty()) {
        AnsiString name = FActiveViewName;
        FActiveViewName.clear();
        FActiveView = nullptr;
        SetActiveView(name);
    }
}

void TOvcCustomReportView::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        if (AComponent == FFieldWidthStore) {
            StoreColumnWidths();
            FFieldWidthStore = nullptr;
        } else if (AComponent == this) StoreColumnWidths();
    }
    TOvcAbstractReportView::Notification(AComponent, Operation);
}

void TOvcCustomReportView::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TOvcAbstractReportView::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FListBox) RecalcWidth();
}

void TOvcCustomReportView::CreateParams(TCreateParams& Params) {
    TOvcAbstractReportView::CreateParams(Params);
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TOvcCustomReportView::CreateWnd() {
    TOvcAbstractReportView::CreateWnd();
    if (Controller()) AddHoverTrigger();
    FVScroll = FScrollBars == ssVertical || FScrollBars == ssBoth;
    FHScroll = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    FListBox->SetController(Controller());
    if (FHScroll) RecalcWidth();
}

void TOvcCustomReportView::AddHoverTrigger() {
    if (FHoverTrigger >= 0 || !Controller()) return;
    FHoverController = Controller();
    FHoverTrigger = FHoverController->TimerPool()->Add(
        [this](TObject*, int32_t, uint32_t, int32_t) { HoverTimerEvent(); }, 250);
}

void TOvcCustomReportView::RemoveHoverTrigger() {
    if (FHoverTrigger >= 0 && FHoverController) FHoverController->TimerPool()->Remove(FHoverTrigger);
    FHoverTrigger = -1;
    FHoverController = nullptr;
}

// --- hover hints ---

void TOvcCustomReportView::HideHint() {
    if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TOvcCustomReportView::HoverTimerEvent() {
    if (FHintSuppressed || !HandleAllocated() || !Parent()) return;
    TPoint screen;
    GetCursorPos(screen);
    TPoint p = ScreenToClient(screen);
    if (!Parent()->Visible() || LockUpdate() || !Application->Active() || p.x < 0 || p.y < 0 ||
        p.x > Width() || p.y > Height() || FDestroying) {
        HideHint();
        return;
    }
    if (FHoverTrigger < 0 || !FHoverController) return;
    const int32_t elapsed = FHoverController->TimerPool()->ElapsedTriggerTime(FHoverTrigger);
    const bool showing = FHintWindow && FHintWindow->HandleAllocated() && FHintWindow->Visible();
    if (Engine().ActiveIndex() && elapsed > 100 && !showing) {
        AnsiString text = FListBox->GetStringAtPos(FListBox->LastMouse());
        if (!text.empty()) {
            if (text.size() > 1023) text.resize(1023);
            if (!FHintWindow) {
                FHintWindow = NewComponent<THintWindow>(this);
                FHintWindow->SetColor(Application->HintColor());
            }
            TRect r = FHintWindow->CalcHintRect(ScreenRect().Width(), text, nullptr);
            const int half = r.Width() / 2 + 4;
            TRect at(screen.x - half, screen.y + 2 - r.Height(), screen.x + half, screen.y + 2);
            FHintWindow->ActivateHint(at, text);
        }
    }
    if (elapsed > 3000 && showing) {
        HideHint();
        FHintSuppressed = true;
    }
}

// --- column widths and horizontal scrolling ---

int32_t TOvcCustomReportView::ScaleWidth(TCanvas* Canvas, int Index, bool Print) {
    TOvcRVView* view = FActiveView;
    TOvcRvViewField* vf = view->GetViewField(Index);
    int width = Canvas->TextWidth(vf->Field()->Caption()) + 10;
    TOvcRvEngine& e = Engine();
    const int lines = e.GetLines();
    for (int line = 0; line < lines; ++line) {
        if (Index < view->GetGroupCount()) {
            width = 10;
            break;
        }
        void* item = e.GetData(line);
        width = std::max(width, Canvas->TextWidth(DoGetFieldAsString(item, vf->Field()->Index())));
    }
    (void)Print;
    return width;
}

void TOvcCustomReportView::ScaleColumnWidths() {
    if (!FActiveView) return;
    for (int i = 0; i < FActiveView->ViewFields()->Count(); ++i) ScaleColumn(i);
}

void TOvcCustomReportView::ScaleColumn(int Index) {
    if (!FActiveView || Index < 0 || Index >= FActiveView->ViewFields()->Count()) return;
    TOvcRvViewField* vf = FActiveView->GetViewField(Index);
    if (vf->OwnerDraw()) return;
    TCanvas* c = FListBox->Canvas();
    c->SetFont(Font());
    vf->SetWidth(ScaleWidth(c, Index, false) + c->TextWidth("W"));
}

void TOvcCustomReportView::ResizeColumn() {
    if (!FActiveView) return;
    for (int i = 0; i < FHeader->GetSectionCount() && i < FActiveView->ViewFields()->Count(); ++i) {
        FActiveView->GetViewField(i)->SetWidth(FHeader->GetSection(i)->Width());
        if (FFooterPanel->Visible() && i < FFooter->GetSectionCount())
            FFooter->GetSection(i)->SetWidth(FHeader->GetSection(i)->Width());
    }
    RecalcWidth();
}

TOvcRvField* TOvcCustomReportView::ColumnFromOffset(int X) {
    if (!FActiveView) return nullptr;
    int left = 1;
    for (int i = 0; i < FHeader->GetSectionCount() && i < FActiveView->ViewFields()->Count(); ++i) {
        int right = left + FHeader->GetSection(i)->Width();
        if (X >= left - 3 && X <= right + 2) return FActiveView->GetViewField(i)->Field();
        left = right;
    }
    return nullptr;
}

void TOvcCustomReportView::RecalcWidth() {
    if (FDestroying || !HandleAllocated() || !FListBox) return;
    int extent = 0;
    if (FActiveView && FHScroll) {
        int sum = 0;
        for (int i = 0; i < FHeader->GetSectionCount(); ++i) sum += FHeader->GetSection(i)->Width();
        extent = std::max(0, sum - ClientWidth() + 20);
    }
    if (extent != FHExtent && FHScrollPos != 0) {
        FHScrollPos = 0;
        PlaceParts();
        FListBox->Invalidate();
    }
    FHExtent = extent;
    if (extent == 0) FHScrollPos = 0;
    if (FHScroll) {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = ClientWidth() + FHExtent - 1;
        si.nPage = UINT(std::max(0, ClientWidth()));
        si.nPos = FHScrollPos;
        SetScrollInfo(Handle(), SB_HORZ, si, true);
    }
    PlaceParts();
}

void TOvcCustomReportView::HScrollPrim(int32_t Delta) {
    const int32_t pos = std::clamp(FHScrollPos + Delta, 0, FHExtent);
    if (pos == FHScrollPos) return;
    FHScrollPos = pos;
    if (HandleAllocated() && FHScroll) SetScrollPos(Handle(), SB_HORZ, pos, true);
    PlaceParts();
    FListBox->Invalidate();
}

void TOvcCustomReportView::WMHScroll(TMessage& Message) {
    const int whole = ClientWidth() + FHExtent;
    switch (LoWord(Message.WParam)) {
    case SB_LINELEFT: HScrollPrim(-(whole / 40)); break;
    case SB_LINERIGHT: HScrollPrim(whole / 40); break;
    case SB_PAGELEFT: HScrollPrim(-(3 * whole / 4)); break;
    case SB_PAGERIGHT: HScrollPrim(3 * whole / 4); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: HScrollPrim(int32_t(HiWord(Message.WParam)) - FHScrollPos); break;
    default: break;
    }
}

void TOvcCustomReportView::PlaceParts() {
    if (!FHeader || !FFooter) return;
    if (FHScroll) {
        FHeader->SetBounds(-FHScrollPos, 0, ClientWidth() + FHExtent, FHeaderPanel->Height());
        FFooter->SetBounds(-FHScrollPos, 0, ClientWidth() + FHExtent, FFooterPanel->Height());
    } else {
        FHeader->SetBounds(0, 0, FHeaderPanel->Width(), FHeaderPanel->Height());
        FFooter->SetBounds(0, 0, FFooterPanel->Width(), FFooterPanel->Height());
    }
}

// --- the published class ---

void TOvcCustomReportView::PublishListBodyEvents(TPropertyTable& T) {
    using V = TOvcCustomReportView;
    T.PropertyOf<V>(
        "OnKeyDown", [](V& R) -> const TKeyEvent& { return R.ListBox()->OnKeyDown; },
        [](V& R, TKeyEvent E) { R.ListBox()->OnKeyDown = std::move(E); });
    T.PropertyOf<V>(
        "OnKeyUp", [](V& R) -> const TKeyEvent& { return R.ListBox()->OnKeyUp; },
        [](V& R, TKeyEvent E) { R.ListBox()->OnKeyUp = std::move(E); });
    T.PropertyOf<V>(
        "OnMouseDown", [](V& R) -> const TMouseEvent& { return R.ListBox()->OnMouseDown; },
        [](V& R, TMouseEvent E) { R.ListBox()->OnMouseDown = std::move(E); });
    T.PropertyOf<V>(
        "OnMouseMove", [](V& R) -> const TMouseMoveEvent& { return R.ListBox()->OnMouseMove; },
        [](V& R, TMouseMoveEvent E) { R.ListBox()->OnMouseMove = std::move(E); });
    T.PropertyOf<V>(
        "OnMouseUp", [](V& R) -> const TMouseEvent& { return R.ListBox()->OnMouseUp; },
        [](V& R, TMouseEvent E) { R.ListBox()->OnMouseUp = std::move(E); });
}

void TOvcReportView::DescribeProperties(TPropertyTable& T) {
    using R = TOvcReportView;
    TControl::PublishStandard(T, {"Align", "Anchors", "Constraints", "Ctl3D", "Enabled", "Font",
                                  "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "ShowHint",
                                  "TabOrder", "TabStop", "Visible", "OnEnter", "OnExit", "OnClick",
                                  "OnDblClick", "OnKeyPress"});
    T.Property("ActiveView", &R::ActiveView, &R::SetActiveView);
    T.Property("AutoCenter", &R::AutoCenter, &R::SetAutoCenter).Default(false);
    T.Property("BorderStyle", &R::BorderStyle, &R::SetBorderStyle).Default(bsSingle);
    T.Property("ColumnResize", &R::ColumnResize, &R::SetColumnResize).Default(true);
    T.PropertyOf<R>(
        "Controller", [](R& V) { return V.Controller(); },
        [](R& V, TOvcController* C) { V.SetController(C); });
    T.Property("FieldWidthStore", &R::FieldWidthStore, &R::SetFieldWidthStore);
    T.Property("GridLines", &R::GridLines, &R::SetGridLines).Default(glNone);
    T.Property("GroupColor", &R::GroupColor, &R::SetGroupColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("HideSelection", &R::HideSelection, &R::SetHideSelection).Default(false);
    T.Property("KeySearch", &R::KeySearch, &R::SetKeySearch).Default(false);
    T.Property("KeyTimeout", &R::KeyTimeout, &R::SetKeyTimeout).Default(1000);
    T.Property("MultiSelect", &R::MultiSelect, &R::SetMultiSelect).Default(false);
    T.Property("Options", &R::Options, &R::SetOptions);
    T.PropertyOf<R>(
        "PopupMenu", [](R& V) { return V.ListBox()->PopupMenu(); },
        [](R& V, TPopupMenu* M) { V.ListBox()->SetPopupMenu(M); });
    T.Property("PrinterProperties", &R::PrinterProperties, &R::SetPrinterProperties);
    T.Property("ScrollBars", &R::ScrollBars, &R::SetScrollBars).Default(ssVertical);
    T.Property("SmoothScroll", &R::SmoothScroll, &R::SetSmoothScroll).Default(true);
    T.Event("OnCompareFields", &R::OnCompareFields);
    T.Event("OnDrawViewField", &R::OnDrawViewField);
    T.Event("OnDrawViewFieldEx", &R::OnDrawViewFieldEx);
    T.Event("OnEnumerate", &R::OnEnumerate);
    T.Event("OnFilter", &R::OnFilter);
    T.Event("OnGetFieldAsFloat", &R::OnGetFieldAsFloat);
    T.Event("OnGetFieldAsString", &R::OnGetFieldAsString);
    T.Event("OnGetGroupString", &R::OnGetGroupString);
    T.Event("OnGetPrintHeaderFooter", &R::OnGetPrintHeaderFooter);
    T.Event("OnKeySearch", &R::OnKeySearch);
    T.Event("OnPrintStatus", &R::OnPrintStatus);
    T.Event("OnSignalBusy", &R::OnSignalBusy);
    T.Event("OnSortingChanged", &R::OnSortingChanged);
    T.Event("OnViewSelect", &R::OnViewSelect);
    PublishListBodyEvents(T);
}

TOvcReportView::TOvcReportView(TComponent* AOwner) : TOvcCustomReportView(AOwner) {}

// --- the library's resources ---

namespace {
std::unique_ptr<TBrush> gGridBrush;
}

void CreateReportViewResources() {
    gArrows = std::make_unique<TImageList>(nullptr);
    gArrows->SetSize(10, 13);
    std::unique_ptr<TBitmap> arrows = LoadBaseBitmap("ORRVARROWS");
    gArrows->AddMasked(arrows.get(), TColor(32896));
    gBrush = LoadBaseBitmap("ORRVBRUSH");
    gGridBrush = std::make_unique<TBrush>();
    gGridBrush->SetBitmap(gBrush.get());
}

void FreeReportViewResources() {
    gGridBrush.reset();
    gBrush.reset();
    gArrows.reset();
}

TImageList* ReportViewArrows() { return gArrows.get(); }
TBitmap* ReportViewBrush() { return gBrush.get(); }

TBrush* ReportViewGridBrush() {
    if (gGridBrush) return gGridBrush.get();
    // Without the library started: a plain light line.
    static TBrush fallback;
    fallback.SetColor(clSilver);
    return &fallback;
}

// --- printing ---

namespace {

// One print job of a report view: the bands, pages and rows of Print.
class TPrintJob {
public:
    TPrintJob(TOvcCustomReportView& View, bool SelectedOnly) : V(View), FSelectedOnly(SelectedOnly) {}
    // False when OnPrintStatus aborted the job.
    bool Run();

private:
    int Px(int Twips) const { return Twips * P->PixelsPerInch() / 1440; }
    bool Status();
    void OpenPage();
    void HeaderFooter(bool IsHeader);
    void ColumnHeaderRow();
    void Line(int Line);
    void TotalsRow();
    // A cell at FX; Drawn, with its text and the lines asked for.
    void Cell(TOvcRvViewField* VF, bool Drawn, const AnsiString& Text, bool Shorten, bool TopLine,
              bool BottomLine, void* Item, bool IsGroupLine, bool Last);
    bool InBand(int I) const { return I < int(FBands.size()) && FBands[size_t(I)] == FBand; }
    bool LastInBand(int I) const;

    TOvcCustomReportView& V;
    bool FSelectedOnly;
    TPrinter* P = Printer();
    TCanvas* C = nullptr;
    TOvcRVView* FView = nullptr;
    std::vector<int> FBands;
    int FBand = 0;
    int FLineHeight = 1;
    int FLinesPerPage = 1;
    int FLinesLeft = 0;
    int FY = 0;
    int FX = 0;
    int FPage = 0;
    bool FPageOpen = false;
    bool FHeaderRowDone = false;
    bool FJustEnded = false;
};

bool TPrintJob::Status() {
    bool abort = false;
    if (V.OnPrintStatus) V.OnPrintStatus(&V, FPage, abort);
    return !abort;
}

bool TPrintJob::LastInBand(int I) const {
    for (int k = I + 1; k < int(FBands.size()); ++k)
        if (FBands[size_t(k)] == FBand) return false;
    return true;
}

void TPrintJob::Cell(TOvcRvViewField* VF, bool Drawn, const AnsiString& Text, bool Shorten, bool TopLine,
                     bool BottomLine, void* Item, bool IsGroupLine, bool Last) {
    TOvcRvPrintProps* props = V.PrinterProperties();
    const int margin = Px(props->PrintColumnMargin());
    const int right = FX + Px(VF->GetPrintWidth());
    if (Drawn) {
        C->Pen()->SetWidth(std::max(1, Px(props->PrintLineWidth())));
        if (TopLine) {
            C->MoveTo(FX, FY);
            C->LineTo(right + 1, FY);
        }
        if (BottomLine) {
            C->MoveTo(FX, FY + FLineHeight);
            C->LineTo(right + 1, FY + FLineHeight);
        }
        TRect r(FX + 2, FY + 2, right - 2, FY + FLineHeight - 2);
        TOvcRvField* field = VF->Field();
        uint32_t flags =
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | AlignFlags(field->Alignment());
        AnsiString text = Shorten ? GetDisplayString(C, Text, 1, r.Width()) : Text;
        if (VF->OwnerDraw() && Item) {
            TColor brush = C->Brush()->Color(), pen = C->Pen()->Color();
            V.DoDrawViewField(C, Item, text, Text, r, VF->OwnerView()->ViewFields()->IndexOf(VF), IsGroupLine,
                              false, flags, VF, field);
            C->Brush()->SetColor(brush);
            C->Pen()->SetColor(pen);
        } else C->DrawText(text, r, flags);
        if (props->PrintGridLines() && !TopLine && !BottomLine && !Last) {
            const TOvcRVGridLines grid = V.GridLines();
            if (grid == glVertical || grid == glBoth) {
                C->MoveTo(right + margin / 2, FY + margin / 2);
                C->LineTo(right + margin / 2, FY + FLineHeight - margin / 2);
            }
            if (grid == glHorizontal || grid == glBoth) {
                C->MoveTo(FX, FY + FLineHeight);
                C->LineTo(right, FY + FLineHeight);
            }
        }
    }
    FX = right + margin;
}

void TPrintJob::HeaderFooter(bool IsHeader) {
    TOvcRvPrintProps* props = V.PrinterProperties();
    const int lines = IsHeader ? props->PrintHeaderLines() : props->PrintFooterLines();
    const TFontStyles saved = C->Font()->Style();
    for (int line = 0; line < lines; ++line) {
        AnsiString left, center, right;
        TFontStyles la, ca, ra;
        if (V.OnGetPrintHeaderFooter)
            V.OnGetPrintHeaderFooter(&V, IsHeader, line, left, center, right, la, ca, ra);
        TRect r(2, FY + 2, P->PageWidth() - 2, FY + FLineHeight - 2);
        const uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP;
        auto draw = [&](const AnsiString& S, TFontStyles Style, uint32_t Align) {
            if (S.empty()) return;
            C->Font()->SetStyle(Style);
            TRect t = r;
            C->DrawText(GetDisplayString(C, S, 1, t.Width()), t, flags | Align);
        };
        draw(left, la, DT_LEFT);
        draw(center, ca, DT_CENTER);
        draw(right, ra, DT_RIGHT);
        C->Font()->SetStyle(saved);
        FY += FLineHeight;
    }
}

void TPrintJob::OpenPage() {
    C->SetFont(V.PrinterProperties()->PrintFont());
    C->SetBkMode(TRANSPARENT);
    FY = 0;
    FPageOpen = true;
    FHeaderRowDone = false;
    FJustEnded = false;
    HeaderFooter(true);
    TOvcRvPrintProps* props = V.PrinterProperties();
    FLinesLeft = FLinesPerPage - props->PrintHeaderLines() - props->PrintFooterLines();
}

void TPrintJob::ColumnHeaderRow() {
    const TFontStyles saved = C->Font()->Style();
    if (V.IsGrouped()) C->Font()->SetStyle(TFontStyles{fsBold});
    FX = 0;
    const int groups = FView->GetGroupCount();
    for (int i = 0; i < FView->ViewFields()->Count(); ++i) {
        if (!InBand(i)) continue;
        TOvcRvViewField* vf = FView->GetViewField(i);
        if (i < groups) Cell(vf, true, "", false, false, false, nullptr, false, LastInBand(i));
        else Cell(vf, true, vf->Field()->Caption(), true, false, true, nullptr, false, LastInBand(i));
    }
    C->Font()->SetStyle(saved);
    FY += FLineHeight;
    FHeaderRowDone = true;
}

void TPrintJob::Line(int Line) {
    TOvcRvEngine& e = V.Engine();
    const int groups = FView->GetGroupCount();
    FX = 0;
    if (TOvcRvIndexGroup* group = e.GetElementAtLine(Line)) {
        const TFontStyles saved = C->Font()->Style();
        C->Font()->SetStyle(TFontStyles{fsBold});
        const int column = group->Level() - 1;
        // Group lines lay out the columns of their band, as every other row
        // does, so that their totals stand under their columns; the group's
        // text prints where its own column is.
        for (int i = 0; i < groups; ++i) {
            if (!InBand(i)) continue;
            TOvcRvViewField* vf = FView->GetViewField(i);
            AnsiString text;
            if (i == column) {
                text = vf->Field()->Caption();
                if (!text.empty()) text += " : ";
                text += V.DoGetFieldAsString(group->GetData(), vf->Field()->Index());
            }
            Cell(vf, i == column, text, false, false, false, group->GetData(), true, LastInBand(i));
        }
        if (FView->ShowGroupTotals())
            for (int i = groups; i < FView->ViewFields()->Count(); ++i) {
                if (!InBand(i)) continue;
                TOvcRvViewField* vf = FView->GetViewField(i);
                if (vf->ComputeTotals())
                    Cell(vf, true, V.DoGetGroupString(vf->Field()->Index(), group), true, false, false,
                         group->GetData(), true, LastInBand(i));
                else Cell(vf, false, "", false, false, false, nullptr, true, LastInBand(i));
            }
        C->Font()->SetStyle(saved);
    } else {
        void* item = e.GetData(Line);
        for (int i = 0; i < FView->ViewFields()->Count(); ++i) {
            if (!InBand(i)) continue;
            TOvcRvViewField* vf = FView->GetViewField(i);
            if (i < groups) Cell(vf, true, "", false, false, false, item, false, LastInBand(i));
            else
                Cell(vf, true, V.DoGetFieldAsString(item, vf->Field()->Index()), true, false, false, item,
                     false, LastInBand(i));
        }
    }
    FY += FLineHeight;
}

void TPrintJob::TotalsRow() {
    if (!FView->ShowFooter()) return;
    const TFontStyles saved = C->Font()->Style();
    if (V.IsGrouped()) C->Font()->SetStyle(TFontStyles{fsBold});
    FX = 0;
    const int groups = FView->GetGroupCount();
    TOvcRvIndexGroup* total = V.Engine().GetTotalRef();
    for (int i = 0; i < FView->ViewFields()->Count(); ++i) {
        if (!InBand(i)) continue;
        TOvcRvViewField* vf = FView->GetViewField(i);
        if (i < groups) Cell(vf, false, "", false, false, false, nullptr, false, LastInBand(i));
        else {
            AnsiString text =
                vf->ComputeTotals() ? V.DoGetGroupString(vf->Field()->Index(), total) : AnsiString();
            Cell(vf, true, text, true, true, false, nullptr, false, LastInBand(i));
        }
    }
    C->Font()->SetStyle(saved);
    FY += FLineHeight;
}

bool TPrintJob::Run() {
    FView = V.ActiveViewObject();
    C = P->Canvas();
    TOvcRvPrintProps* props = V.PrinterProperties();
    C->SetFont(props->PrintFont());
    if (props->AutoScaleColumns()) V.ScaleColumnWidthsForPrint();
    FLineHeight = C->TextHeight(GetRvLibStr(SWy)) + 3;
    FLinesPerPage = P->PageHeight() / FLineHeight - 1;
    // The bands: a column that would pass the page's right edge (with the
    // margin after each column, as the cells are laid out) starts the next band.
    const int count = FView->ViewFields()->Count();
    FBands.assign(size_t(count), 0);
    int band = 0, sum = 0;
    for (int i = 0; i < count; ++i) {
        TOvcRvViewField* vf = FView->GetViewField(i);
        const int w = Px(vf->GetPrintWidth()) + Px(props->PrintColumnMargin());
        if (sum + w > P->PageWidth() && sum > 0) {
            ++band;
            sum = 0;
        }
        sum += w;
        FBands[size_t(i)] = band;
        vf->Field()->PrintBand = band;
    }
    TOvcRvEngine& e = V.Engine();
    const int lines = e.GetLines();
    for (FBand = 0; FBand <= band; ++FBand) {
        if (FBand > 0) P->NewPage();
        FPageOpen = false;
        FPage = 1;
        if (!Status()) return false;
        for (int line = 0; line < lines; ++line) {
            if (FSelectedOnly && !e.GetSelected(line)) continue;
            if (!FPageOpen) OpenPage();
            if (!FHeaderRowDone && FView->ShowHeader()) {
                ColumnHeaderRow();
                --FLinesLeft;
            }
            Line(line);
            if (--FLinesLeft < 0) {
                HeaderFooter(false);
                P->NewPage();
                ++FPage;
                FPageOpen = false;
                FJustEnded = true;
                if (!Status()) return false;
            }
        }
        // Data that ends just at a page break takes its totals to the top of the next page.
        if (FJustEnded && !FPageOpen && FView->ShowFooter()) {
            OpenPage();
            if (FView->ShowHeader()) ColumnHeaderRow();
        }
        if (FHeaderRowDone && FPageOpen) TotalsRow();
        if (FPageOpen) {
            FY = P->PageHeight() - props->PrintFooterLines() * FLineHeight;
            HeaderFooter(false);
        }
        V.SetPrintPage(FPage);
    }
    return true;
}

}  // namespace

void TOvcCustomReportView::Print(TRVPrintMode Mode, bool SelectedOnly) {
    if (Mode == pmExpandAll) Engine().BeginTemporaryIndex(emExpandAll);
    else if (Mode == pmCollapseAll) Engine().BeginTemporaryIndex(emCollapseAll);
    const bool temporary = Mode != pmCurrent;
    auto finish = [&] {
        if (temporary) Engine().EndTemporaryIndex();
        FListBox->Invalidate();
        DoBusy(false);
    };
    DoBusy(true);
    TPrinter* printer = Printer();
    try {
        if (!FActiveView) throw ENoActiveView(30388);
        printer->BeginDoc();
        TPrintJob job(*this, SelectedOnly);
        if (job.Run()) printer->EndDoc();
        else printer->Abort();
    } catch (...) {
        if (printer->Printing()) printer->Abort();
        finish();
        throw;
    }
    finish();
}

void TOvcCustomReportView::ScaleColumnWidthsForPrint() {
    if (!FActiveView) return;
    TPrinter* printer = Printer();
    TCanvas* c = printer->Canvas();
    c->SetFont(FPrinterProperties->PrintFont());
    for (int i = 0; i < FActiveView->ViewFields()->Count(); ++i) {
        TOvcRvViewField* vf = FActiveView->GetViewField(i);
        if (vf->OwnerDraw()) continue;
        int width = ScaleWidth(c, i, true);
        vf->SetPrintWidth(width * 1440 / printer->PixelsPerInch() + c->TextWidth("WW"));
    }
}
