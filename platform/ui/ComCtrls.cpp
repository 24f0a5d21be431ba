#include "platform/ui/ComCtrls.h"

#include <algorithm>

#include "platform/gfx/Graphics.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_ENUM(TTabPosition, "tpTop", "tpBottom")
ZELMOR_IMPLEMENT_COMPONENT(TTabSheet, TWinControl)
ZELMOR_IMPLEMENT_COMPONENT(TPageControl, TCustomControl)
ZELMOR_IMPLEMENT_COMPONENT(TTabControl, TCustomControl)
ZELMOR_IMPLEMENT_ENUM(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised")
ZELMOR_IMPLEMENT_COLLECTION_ITEM(TStatusPanel, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TStatusPanels, TOwnedCollection)
ZELMOR_IMPLEMENT_COMPONENT(TStatusBar, TCustomControl)

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

// ---------------------------------------------------------------------------
// The status bar
// ---------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::Assign(TPersistent* Source) {
    if (auto* P = dynamic_cast<TStatusPanel*>(Source)) {
        FText = P->FText;
        FWidth = P->FWidth;
        FBevel = P->FBevel;
        FAlignment = P->FAlignment;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TStatusPanel::SetText(const AnsiString& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    if (FBevel == Value) return;
    FBevel = Value;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::DescribeProperties(TPropertyTable& T) {
    using P = TStatusPanel;
    T.Property("Alignment", &P::Alignment, &P::SetAlignment).Default(taLeftJustify);
    T.Property("Bevel", &P::Bevel, &P::SetBevel).Default(pbLowered);
    T.Property("Text", &P::Text, &P::SetText);
    T.Property("Width", &P::Width, &P::SetWidth);
}

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TOwnedCollection(Owner, TStatusPanel::StaticClassInfo()), FStatusBar(Owner) {}

TStatusPanel* TStatusPanels::Items(int Index) const {
    return static_cast<TStatusPanel*>(TCollection::Items(Index));
}

TStatusPanel* TStatusPanels::Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

void TStatusPanels::Update(TCollectionItem*) {
    if (FStatusBar) FStatusBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
    FPanels = std::make_unique<TStatusPanels>(this);
    FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetColor(clBtnFace);
    SetBounds(FLeft, FTop, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }

void TStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const AnsiString& Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    if (FSimplePanel) Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    Invalidate();
}

bool TStatusBar::GripShows() const {
    if (!FSizeGrip) return false;
    TCustomForm* Form = GetParentForm(this);
    return Form && (Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin);
}

TRect TStatusBar::PanelRect(int Index) const {
    TRect C = ClientRect();
    // Panels stand 2 pixels below the top edge and 2 apart.
    int X = C.Left;
    for (int I = 0; I < FPanels->Count(); ++I) {
        int W = FPanels->Items(I)->Width();
        bool Last = I == FPanels->Count() - 1;
        int Right = (Last && W < 0) ? C.Right : X + std::max(0, W);
        if (I == Index) return TRect(X, C.Top + 2, std::max(X, Right - 2), C.Bottom);
        X = Right;
    }
    return TRect(0, 0, 0, 0);
}

void TStatusBar::Paint() {
    TCanvas* C = Canvas();
    TRect Client = ClientRect();
    C->Brush()->SetColor(Color());
    C->FillRect(Client);
    C->Font()->Assign(Font());
    C->SetBkMode(TRANSPARENT);
    C->SetTextColor(Font()->Color());
    auto Text = [&](TRect R, const AnsiString& S, TAlignment A) {
        InflateRect(R, -2, -1);
        uint32_t Align = A == taRightJustify ? uint32_t(DT_RIGHT) : A == taCenter ? uint32_t(DT_CENTER) : 0u;
        C->DrawText(S, R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | Align);
    };
    if (FSimplePanel) {
        TRect R(Client.Left, Client.Top + 2, Client.Right, Client.Bottom);
        C->DrawEdge(R, BDR_SUNKENOUTER, BF_RECT);
        Text(R, FSimpleText, taLeftJustify);
    } else {
        for (int I = 0; I < FPanels->Count(); ++I) {
            TStatusPanel* P = FPanels->Items(I);
            TRect R = PanelRect(I);
            if (R.Width() <= 0) continue;
            if (P->Bevel() != pbNone) {
                TRect E = R;
                C->DrawEdge(E, P->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            }
            Text(R, P->Text(), P->Alignment());
        }
    }
    if (GripShows()) {
        // Three diagonal ridges in the bottom-right corner.
        int R = Client.Right - 1, B = Client.Bottom - 1;
        for (int K = 0; K < 3; ++K) {
            int D = 4 * K + 3;
            C->Pen()->SetColor(clBtnHighlight);
            C->MoveTo(R - D - 1, B);
            C->LineTo(R, B - D - 1);
            C->Pen()->SetColor(clBtnShadow);
            C->MoveTo(R - D, B);
            C->LineTo(R, B - D);
            C->MoveTo(R - D + 1, B);
            C->LineTo(R, B - D + 1);
        }
    }
}

void TStatusBar::DescribeProperties(TPropertyTable& T) {
    using S = TStatusBar;
    TControl::PublishStandard(T,
                              {"Anchors", "Color", "Constraints", "Enabled", "Font", "ParentColor",
                               "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "Visible", "OnClick",
                               "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"});
    T.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alBottom);
    T.Property("Panels", &S::Panels, &S::SetPanels);
    T.Property("SimplePanel", &S::SimplePanel, &S::SetSimplePanel).Default(false);
    T.Property("SimpleText", &S::SimpleText, &S::SetSimpleText);
    T.Property("SizeGrip", &S::SizeGrip, &S::SetSizeGrip).Default(true);
}

void RegisterComControls() {
    RegisterClasses({&TTabSheet::StaticClassInfo(), &TPageControl::StaticClassInfo(),
                     &TTabControl::StaticClassInfo(), &TStatusBar::StaticClassInfo()});
}
