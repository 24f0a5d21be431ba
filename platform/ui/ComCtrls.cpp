#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/gfx/Graphics.h"

ZELMOR_IMPLEMENT_ENUM(TTabPosition, "tpTop", "tpBottom")
ZELMOR_IMPLEMENT_COMPONENT(TTabSheet, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TPageControl, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TTabControl, TCustomControl)

// ---------------------------------------------------------------------------
// TTabRow
// ---------------------------------------------------------------------------

std::vector<TRect> TTabRow::Layout(TCanvas* Canvas, const std::vector<AnsiString>& Captions,
                                   const TRect& Client, TTabPosition Position) {
    std::vector<TRect> Tabs;
    int X = Client.Left + 2;
    const int Top = Position == tpTop ? Client.Top : Client.Bottom - Height;
    for (const AnsiString& C : Captions) {
        const int W = Canvas->TextWidth(C) + 12;
        Tabs.push_back(TRect(X, Top, X + W, Top + Height));
        X += W;
    }
    return Tabs;
}

TRect TTabRow::DisplayRect(const TRect& Client, TTabPosition Position) {
    TRect R = Client;
    if (Position == tpTop) R.Top += Height;
    else R.Bottom -= Height;
    InflateRect(R, -2, -2);
    return R;
}

void TTabRow::Paint(TCanvas* Canvas, const std::vector<AnsiString>& Captions, const TRect& Client,
                    TTabPosition Position, int Selected, bool Enabled) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Client);
    TRect Page = Client;
    if (Position == tpTop) Page.Top += Height;
    else Page.Bottom -= Height;
    TRect Edge = Page;
    Canvas->DrawEdge(Edge, EDGE_RAISED, BF_RECT);
    std::vector<TRect> Tabs = Layout(Canvas, Captions, Client, Position);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(Enabled ? clBtnText : clGrayText);
    for (size_t I = 0; I < Tabs.size(); ++I) {
        TRect T = Tabs[I];
        const bool Chosen = int(I) == Selected;
        // The chosen tab stands a little out of the row and joins its page.
        if (!Chosen) {
            if (Position == tpTop) T.Top += 2;
            else T.Bottom -= 2;
        } else {
            InflateRect(T, 2, 0);
        }
        TRect Frame = T;
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect(Frame);
        Canvas->DrawEdge(Frame, EDGE_RAISED,
                         Position == tpTop ? BF_LEFT | BF_TOP | BF_RIGHT : BF_LEFT | BF_BOTTOM | BF_RIGHT);
        if (Chosen) {
            // No line between the chosen tab and its page.
            TRect Join = Position == tpTop ? TRect(T.Left + 1, T.Bottom - 1, T.Right - 1, T.Bottom + 1)
                                           : TRect(T.Left + 1, T.Top - 1, T.Right - 1, T.Top + 1);
            Canvas->FillRect(Join);
        }
        Canvas->Brush()->SetStyle(bsClear);
        TRect Text = T;
        Canvas->DrawText(Captions[I], Text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

int TTabRow::TabAt(TCanvas* Canvas, const std::vector<AnsiString>& Captions, const TRect& Client,
                   TTabPosition Position, TPoint P) {
    std::vector<TRect> Tabs = Layout(Canvas, Captions, Client, Position);
    for (size_t I = 0; I < Tabs.size(); ++I)
        if (PtInRect(Tabs[I], P)) return int(I);
    return -1;
}

// ---------------------------------------------------------------------------
// TTabSheet
// ---------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = {csAcceptsControls, csClickEvents, csSetCaption};
    SetAlign(alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::DescribeProperties(TPropertyTable& T) {
    using C = TTabSheet;
    TControl::PublishStandard(T, {"Caption", "Enabled", "Font", "Hint", "ParentFont", "ParentShowHint",
                                  "ShowHint", "OnEnter", "OnExit", "OnShow"});
    T.Property("TabVisible", &C::TabVisible, &C::SetTabVisible).Default(true);
    T.PropertyOf<C>(
         "PageIndex", [](C& X) { return X.PageIndex(); }, [](C&, int) {})
        .Stored(false);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* Value) {
    if (auto* P = dynamic_cast<TPageControl*>(Value)) SetPageControl(P);
    else TWinControl::SetParentComponent(Value);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    auto& Pages = FPageControl->FPages;
    return int(std::find(Pages.begin(), Pages.end(), this) - Pages.begin());
}

void TTabSheet::SetTabVisible(bool Value) {
    FTabVisible = Value;
    if (FPageControl) FPageControl->Invalidate();
}

void TTabSheet::CMTextChanged(TMessage& Message) {
    TWinControl::CMTextChanged(Message);
    if (FPageControl) FPageControl->Invalidate();
}

// ---------------------------------------------------------------------------
// TPageControl
// ---------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetBounds(FLeft, FTop, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl() {
    for (TTabSheet* P : FPages) P->FPageControl = nullptr;
}

void TPageControl::DescribeProperties(TPropertyTable& T) {
    using C = TPageControl;
    TControl::PublishStandard(T, {"Align", "Anchors", "Enabled", "Font", "ParentFont", "ParentShowHint",
                                  "ShowHint", "TabOrder", "TabStop", "Visible", "OnEnter", "OnExit"});
    T.Property("ActivePage", &C::ActivePage, &C::SetActivePage);
    T.Property("TabPosition", &C::TabPosition, &C::SetTabPosition).Default(tpTop);
    T.Event("OnChange", &C::OnChange);
    T.Event("OnChanging", &C::OnChanging);
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    if (!FActivePage) SetActivePage(Page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    Page->FPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        if (!FPages.empty()) SetActivePage(FPages.front());
    }
    Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* Value) {
    if (Value && Value->FPageControl != this) return;
    if (FActivePage == Value) return;
    TTabSheet* Old = FActivePage;
    FActivePage = Value;
    if (Value) {
        Value->SetVisible(true);
        Value->BringToFront();
    }
    if (Old) Old->SetVisible(false);
    Realign();
    Invalidate();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

void TPageControl::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value) return;
    FTabPosition = Value;
    Realign();
    Invalidate();
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const {
    std::vector<TTabSheet*> Tabs;
    for (TTabSheet* P : FPages)
        if (P->TabVisible()) Tabs.push_back(P);
    return Tabs;
}

std::vector<AnsiString> TPageControl::Captions() const {
    std::vector<AnsiString> C;
    for (TTabSheet* P : VisibleTabs()) C.push_back(P->Caption());
    return C;
}

TRect TPageControl::TabRect(int PageIndex) {
    std::vector<TTabSheet*> Tabs = VisibleTabs();
    auto It = std::find(Tabs.begin(), Tabs.end(),
                        PageIndex >= 0 && PageIndex < PageCount() ? Pages(PageIndex) : nullptr);
    if (It == Tabs.end()) return TRect();
    Canvas()->Font()->Assign(Font());
    return TTabRow::Layout(Canvas(), Captions(), ClientRect(), FTabPosition)[size_t(It - Tabs.begin())];
}

void TPageControl::AdjustClientRect(TRect& Rect) { Rect = TTabRow::DisplayRect(ClientRect(), FTabPosition); }

bool TPageControl::SelectPage(TTabSheet* Page) {
    if (Page == FActivePage) return true;
    bool Allow = true;
    if (Assigned(OnChanging)) OnChanging(this, Allow);
    if (!Allow) return false;
    SetActivePage(Page);
    if (Assigned(OnChange)) OnChange(this);
    return true;
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    Canvas()->Font()->Assign(Font());
    int I = TTabRow::TabAt(Canvas(), Captions(), ClientRect(), FTabPosition, TPoint(X, Y));
    if (I >= 0) SelectPage(VisibleTabs()[size_t(I)]);
}

void TPageControl::Paint() {
    Canvas()->Font()->Assign(Font());
    std::vector<TTabSheet*> Tabs = VisibleTabs();
    int Selected = int(std::find(Tabs.begin(), Tabs.end(), FActivePage) - Tabs.begin());
    TTabRow::Paint(Canvas(), Captions(), ClientRect(), FTabPosition, Selected, Enabled());
}

// ---------------------------------------------------------------------------
// TTabControl
// ---------------------------------------------------------------------------

TTabControl::TTabControl(TComponent* AOwner)
    : TCustomControl(AOwner), FTabs(std::make_unique<TStringList>()) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetBounds(FLeft, FTop, 289, 193);
    SetTabStop(true);
    FTabs->OnChange = [this](TObject*) {
        if (FTabIndex >= FTabs->Count()) FTabIndex = FTabs->Count() - 1;
        if (FTabIndex < 0 && FTabs->Count() > 0) FTabIndex = 0;
        Invalidate();
    };
}

TTabControl::~TTabControl() = default;

void TTabControl::DescribeProperties(TPropertyTable& T) {
    using C = TTabControl;
    TControl::PublishStandard(T,
                              {"Align", "Anchors", "Enabled", "Font", "Hint", "ParentFont", "ParentShowHint",
                               "ShowHint", "TabOrder", "TabStop", "Visible", "OnEnter", "OnExit"});
    T.Property("Tabs", &C::Tabs, &C::SetTabs);
    T.Property("TabIndex", &C::TabIndex, &C::SetTabIndex).Default(-1);
    T.Property("TabPosition", &C::TabPosition, &C::SetTabPosition).Default(tpTop);
    T.Event("OnChange", &C::OnChange);
    T.Event("OnChanging", &C::OnChanging);
}

void TTabControl::SetTabIndex(int Value) {
    if (Value < -1 || Value >= FTabs->Count()) Value = -1;
    if (FTabIndex == Value) return;
    FTabIndex = Value;
    Invalidate();
}

void TTabControl::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value) return;
    FTabPosition = Value;
    Realign();
    Invalidate();
}

std::vector<AnsiString> TTabControl::Captions() const {
    std::vector<AnsiString> C;
    for (int I = 0; I < FTabs->Count(); ++I) C.push_back(FTabs->Strings(I));
    return C;
}

TRect TTabControl::TabRect(int Index) {
    if (Index < 0 || Index >= FTabs->Count()) return TRect();
    Canvas()->Font()->Assign(Font());
    return TTabRow::Layout(Canvas(), Captions(), ClientRect(), FTabPosition)[size_t(Index)];
}

TRect TTabControl::DisplayRect() const { return TTabRow::DisplayRect(ClientRect(), FTabPosition); }

void TTabControl::AdjustClientRect(TRect& Rect) { Rect = DisplayRect(); }

bool TTabControl::SelectTab(int Index) {
    if (Index == FTabIndex) return true;
    bool Allow = true;
    if (Assigned(OnChanging)) OnChanging(this, Allow);
    if (!Allow) return false;
    SetTabIndex(Index);
    if (Assigned(OnChange)) OnChange(this);
    return true;
}

void TTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    Canvas()->Font()->Assign(Font());
    int I = TTabRow::TabAt(Canvas(), Captions(), ClientRect(), FTabPosition, TPoint(X, Y));
    if (I >= 0) SelectTab(I);
}

void TTabControl::Paint() {
    Canvas()->Font()->Assign(Font());
    TTabRow::Paint(Canvas(), Captions(), ClientRect(), FTabPosition, FTabIndex, Enabled());
}

void RegisterComControls() {
    RegisterClasses(
        {&TTabSheet::StaticClassInfo(), &TPageControl::StaticClassInfo(), &TTabControl::StaticClassInfo()});
}
