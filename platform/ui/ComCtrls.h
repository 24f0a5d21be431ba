#pragma once
// Tabbed controls: the page control, whose tab sheets are pages of child
// controls of which one shows at a time, and the tab control, one area of
// child controls with a row of tabs over it (or under it) whose choice the
// program reads. The tabs stand in one row at the top or the bottom, each as
// wide as its caption; a click on a tab chooses it, after OnChanging has let
// it, and OnChange follows.
//
// The status bar: a row of panels at the bottom of a form (or wherever the
// form places it), each with its width, bevel and text; the last panel of
// width -1 takes what is left. With SimplePanel it shows SimpleText alone.
#include <memory>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"

class TPageControl;

enum TTabPosition { tpTop, tpBottom };
ZELMOR_DECLARE_ENUM(TTabPosition);
using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// The row of tabs both controls draw and hit-test.
class TTabRow {
public:
    static constexpr int Height = 20;
    // The tab rectangles of the captions inside Client, in order.
    static std::vector<TRect> Layout(TCanvas* Canvas, const std::vector<AnsiString>& Captions,
                                     const TRect& Client, TTabPosition Position);
    // The area under (or over) the tabs that the pages take.
    static TRect DisplayRect(const TRect& Client, TTabPosition Position);
    static void Paint(TCanvas* Canvas, const std::vector<AnsiString>& Captions, const TRect& Client,
                      TTabPosition Position, int Selected, bool Enabled);
    // The tab under a point, -1 for none.
    static int TabAt(TCanvas* Canvas, const std::vector<AnsiString>& Captions, const TRect& Client,
                     TTabPosition Position, TPoint P);
};

class TTabSheet : public TWinControl {
    ZELMOR_CLASS(TTabSheet, TWinControl)
    friend class TPageControl;

public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    static void DescribeProperties(TPropertyTable& T);
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Its place among the control's pages.
    int PageIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);

protected:
    void SetParentComponent(TComponent* Value) override;
    void CMTextChanged(TMessage& Message) override;

private:
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

class TPageControl : public TCustomControl {
    ZELMOR_CLASS(TPageControl, TCustomControl)
    friend class TTabSheet;

public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    static void DescribeProperties(TPropertyTable& T);

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(size_t(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    // The tab of a page that shows its tab, or the empty rectangle.
    TRect TabRect(int PageIndex);
    // Chooses the page as a click on its tab does: OnChanging may refuse.
    bool SelectPage(TTabSheet* Page);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    std::vector<TTabSheet*> VisibleTabs() const;
    std::vector<AnsiString> Captions() const;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TTabPosition FTabPosition = tpTop;
};

class TTabControl : public TCustomControl {
    ZELMOR_CLASS(TTabControl, TCustomControl)
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;
    static void DescribeProperties(TPropertyTable& T);

    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    // -1: no tab chosen.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TRect TabRect(int Index);
    TRect DisplayRect() const;
    // Chooses the tab as a click does: OnChanging may refuse.
    bool SelectTab(int Index);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::vector<AnsiString> Captions() const;
    std::unique_ptr<TStringList> FTabs;
    int FTabIndex = -1;
    TTabPosition FTabPosition = tpTop;
};

class TStatusBar;

enum TStatusPanelBevel : uint8_t { pbNone, pbLowered, pbRaised };
ZELMOR_DECLARE_ENUM(TStatusPanelBevel);

class TStatusPanel : public TCollectionItem {
    ZELMOR_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* Collection);
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    AnsiString Text() const { return FText; }
    void SetText(const AnsiString& Value);
    // -1 on the last panel: up to the bar's right edge.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    AnsiString DisplayName() const override { return FText; }

private:
    AnsiString FText;
    int FWidth = 50;
    TStatusPanelBevel FBevel = pbLowered;
    TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels : public TOwnedCollection {
    ZELMOR_CLASS(TStatusPanels, TOwnedCollection)
public:
    explicit TStatusPanels(TStatusBar* Owner);
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TStatusPanel* Add();

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

class TStatusBar : public TCustomControl {
    ZELMOR_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    static void DescribeProperties(TPropertyTable& T);
    TStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* Value);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    AnsiString SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    // The grip at the right end, drawn while the form can be resized.
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // Where panel Index lies in the client area (its bevel included).
    TRect PanelRect(int Index) const;

protected:
    void Paint() override;

private:
    bool GripShows() const;
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    bool FSizeGrip = true;
};

void RegisterComControls();
