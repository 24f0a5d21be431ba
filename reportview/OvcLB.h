#pragma once
// The list box with tab stops given in average character widths (so that
// tab-separated columns line up in any font), a horizontal scroll bar that
// follows the widest item, the attached label and the form's controller.
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcBase.h"

// A tab stop of Value average characters in pixels, and in the dialog units
// of a base unit (both in pixels): Value x Average x 4 div BaseUnit.
int TabStopPixels(int Value, int Average);
int TabStopDialogUnits(int Value, int Average, int BaseUnit);

class TOvcCustomListBox : public TCustomListBox, public TOvcLabelled {
    ZELMOR_CLASS(TOvcCustomListBox, TCustomListBox)
public:
    static constexpr int MaxTabStops = 100;

    explicit TOvcCustomListBox(TComponent* AOwner);
    ~TOvcCustomListBox() override;
    void BeforeDestruction() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}

    TOvcController* Controller() const { return FController; }
    void SetController(TOvcController* Value);
    bool HorizontalScroll() const { return FHorizontalScroll; }
    void SetHorizontalScroll(bool Value);
    TStrings* TabStops() const { return FTabStops.get(); }
    // Every line a whole number (EConvertError otherwise, nothing changed).
    void SetTabStopsStr(TStrings* Value);
    void SetTabStops(const std::vector<int>& Values);
    void ClearTabStops();
    // The stops as the list box was given them, in pixels and in dialog units.
    const std::vector<int>& PixelTabs() const { return FPixelTabs; }
    const std::vector<int>& DialogTabs() const { return FDialogTabs; }
    int tlGetItemWidth(int Index);
    void ResetHorizontalScrollbar() { tlResetHorizontalExtent(); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnTabStopsChange;

protected:
    virtual void tlResetHorizontalExtent();
    void tlSetTabStops();
    void DoOnTabStopsChagned();
    TCustomForm* LabelForm() const override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    void TabStopsChanged();
    TOvcController* FController = nullptr;
    bool FHorizontalScroll = false;
    std::unique_ptr<TStringList> FTabStops;
    std::vector<int> FPixelTabs, FDialogTabs;
};

class TOvcListBox : public TOvcCustomListBox {
    ZELMOR_CLASS(TOvcListBox, TOvcCustomListBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcListBox(TComponent* AOwner) : TOvcCustomListBox(AOwner) {}
};
