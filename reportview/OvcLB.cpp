#include "reportview/OvcLB.h"

#include <algorithm>

#include "platform/rtl/Format.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcExcpt.h"

ZELMOR_IMPLEMENT_CLASS(TOvcCustomListBox, TCustomListBox)
ZELMOR_IMPLEMENT_COMPONENT(TOvcListBox, TOvcCustomListBox)

int TabStopPixels(int Value, int Average) { return Value * Average; }

int TabStopDialogUnits(int Value, int Average, int BaseUnit) {
    return BaseUnit > 0 ? Value * Average * 4 / BaseUnit : 0;
}

TOvcCustomListBox::TOvcCustomListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), TOvcLabelled(this), FTabStops(std::make_unique<TStringList>()) {}

TOvcCustomListBox::~TOvcCustomListBox() = default;

void TOvcCustomListBox::BeforeDestruction() {
    if (TOvcAttachedLabel* label = LabelInfo()->ALabel) {
        if (!label->ComponentState().Contains(csDestroying)) LabelInfo()->SetVisible(false);
        LabelInfo()->ALabel = nullptr;
    }
    TCustomListBox::BeforeDestruction();
}

TCustomForm* TOvcCustomListBox::LabelForm() const { return GetParentForm(this); }

void TOvcCustomListBox::SetController(TOvcController* Value) {
    FController = Value;
    if (Value) Value->FreeNotification(this);
}

void TOvcCustomListBox::SetHorizontalScroll(bool Value) {
    if (Value == FHorizontalScroll) return;
    FHorizontalScroll = Value;
    if (!ComponentState().Contains(csLoading) && HandleAllocated()) RecreateWnd();
}

void TOvcCustomListBox::TabStopsChanged() {
    tlSetTabStops();
    Invalidate();
    DoOnTabStopsChagned();
}

void TOvcCustomListBox::SetTabStopsStr(TStrings* Value) {
    if (Value)
        for (int i = 0; i < Value->Count(); ++i) StrToInt(Value->Strings(i));  // a bad line changes nothing
    if (Value) FTabStops->Assign(Value);
    else FTabStops->Clear();
    TabStopsChanged();
}

void TOvcCustomListBox::SetTabStops(const std::vector<int>& Values) {
    FTabStops->Clear();
    for (int v : Values) FTabStops->Add(IntToStr(v));
    TabStopsChanged();
}

void TOvcCustomListBox::ClearTabStops() {
    FTabStops->Clear();
    TabStopsChanged();
}

void TOvcCustomListBox::DoOnTabStopsChagned() {
    if (!ComponentState().Contains(csLoading) && OnTabStopsChange) OnTabStopsChange(this);
}

void TOvcCustomListBox::tlSetTabStops() {
    if (!HandleAllocated()) return;
    Canvas()->Font()->Assign(Font());
    AnsiString sample = GetRvLibStr(30281);
    int average = Canvas()->TextWidth(sample) / std::max<int>(int(sample.size()), 1);
    int base = LoWord(static_cast<uint32_t>(GetDialogBaseUnits()));
    FPixelTabs.clear();
    FDialogTabs.clear();
    for (int i = 0; i < FTabStops->Count() && i < MaxTabStops; ++i) {
        int v = StrToInt(FTabStops->Strings(i));
        FPixelTabs.push_back(TabStopPixels(v, average));
        FDialogTabs.push_back(TabStopDialogUnits(v, average, base));
    }
    Perform(LB_SETTABSTOPS, WPARAM(FDialogTabs.size()),
            FDialogTabs.empty() ? 0 : reinterpret_cast<LPARAM>(FDialogTabs.data()));
    tlResetHorizontalExtent();
}

int TOvcCustomListBox::tlGetItemWidth(int Index) {
    Canvas()->Font()->Assign(Font());
    AnsiString s = Items()->Strings(Index);
    if (FPixelTabs.empty()) return Canvas()->TextWidth(s);
    return LoWord(Canvas()->GetTabbedTextExtent(s, FPixelTabs));
}

void TOvcCustomListBox::tlResetHorizontalExtent() {
    if (!FHorizontalScroll || !HandleAllocated()) return;
    int widest = 0;
    for (int i = 0; i < Items()->Count(); ++i) widest = std::max(widest, tlGetItemWidth(i));
    Perform(LB_SETHORIZONTALEXTENT, WPARAM(widest + 5), 0);
}

void TOvcCustomListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    Params.Style |= LBS_USETABSTOPS;
    if (FHorizontalScroll) Params.Style |= WS_HSCROLL;
}

void TOvcCustomListBox::CreateWnd() {
    TOvcController* controller = FController;
    LookUpController(this, controller);
    if (controller != FController) SetController(controller);
    TCustomListBox::CreateWnd();
    tlSetTabStops();
}

void TOvcCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated()) PostMessage(Handle(), OM_POSITIONLABEL, 0, 0);
}

void TOvcCustomListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        LabelGone(AComponent);
        if (AComponent == FController) FController = nullptr;
    } else if (!FController) {
        if (auto* c = dynamic_cast<TOvcController*>(AComponent)) SetController(c);
    }
}

void TOvcCustomListBox::WndProc(TMessage& Message) {
    if (LibraryMessage(Message)) return;
    TCustomListBox::WndProc(Message);
    if ((Message.Msg == LB_ADDSTRING || Message.Msg == LB_INSERTSTRING || Message.Msg == LB_DELETESTRING) &&
        FHorizontalScroll)
        tlResetHorizontalExtent();
}

void TOvcCustomListBox::CMVisibleChanged(TMessage& Message) {
    TCustomListBox::CMVisibleChanged(Message);
    LabelVisibility();
}

void TOvcCustomListBox::CMFontChanged(TMessage& Message) {
    TCustomListBox::CMFontChanged(Message);
    if (!ComponentState().Contains(csLoading) && HandleAllocated()) tlSetTabStops();
}

void TOvcListBox::DescribeProperties(TPropertyTable& T) {
    using L = TOvcCustomListBox;
    TControl::PublishStandard(
        T, {"Align",          "BorderStyle", "Color",          "Columns",        "Ctl3D",     "Enabled",
            "ExtendedSelect", "Font",        "IntegralHeight", "ItemHeight",     "Items",     "MultiSelect",
            "ParentColor",    "ParentCtl3D", "ParentFont",     "ParentShowHint", "PopupMenu", "ShowHint",
            "Sorted",         "TabOrder",    "TabStop",        "Visible",        "OnClick",   "OnDblClick",
            "OnEnter",        "OnExit",      "OnKeyDown",      "OnKeyPress",     "OnKeyUp",   "OnMouseDown",
            "OnMouseMove",    "OnMouseUp"});
    T.Property("About", &L::About, &L::SetAbout);
    T.PropertyOf<L>(
        "Controller", [](L& C) { return C.Controller(); },
        [](L& C, TOvcController* V) { C.SetController(V); });
    T.Property("HorizontalScroll", &L::HorizontalScroll, &L::SetHorizontalScroll).Default(false);
    T.PropertyOf<L>(
        "LabelInfo", [](L& C) { return C.LabelInfo(); }, [](L& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.PropertyOf<L>(
        "TabStops", [](L& C) { return C.TabStops(); }, [](L& C, TStrings* V) { C.SetTabStopsStr(V); });
    T.Event("OnTabStopsChange", &L::OnTabStopsChange);
}
