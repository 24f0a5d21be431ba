#pragma once
// The virtual list box: an owner-painted list of up to 2^31 - 1 rows that
// stores none of them. It knows only how many there are (NumItems) and asks
// its owner, through events or overridable operations, for the text,
// colours, protection and selection of each row it shows. It scrolls by
// whole rows, shows an optional header row, tab stops and a horizontal
// offset in characters, translates keys into commands through the
// controller's command tables and answers the list-box query messages. The
// selection itself belongs to the owner (OnIsSelected, OnSelect).
//
// The report view's list body stands on it (reportview/OvcRptVw.h).
#include <cstdint>
#include <vector>

#include "platform/ui/StdCtrls.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcColor.h"

using TCharToItemEvent = TEvent<void(TObject* Sender, char Ch, int32_t& Index)>;
using THeaderClickEvent = TEvent<void(TObject* Sender, TPoint Point)>;
// The platform's list box names its own draw event TDrawItemEvent.
using TOvcDrawItemEvent =
    TEvent<void(TObject* Sender, int32_t Index, const TRect& Rect, const AnsiString& S)>;
using TGetItemEvent = TEvent<void(TObject* Sender, int32_t Index, AnsiString& ItemString)>;
using TGetItemColorEvent = TEvent<void(TObject* Sender, int32_t Index, TColor& FG, TColor& BG)>;
using TGetItemStatusEvent = TEvent<void(TObject* Sender, int32_t Index, bool& Protect)>;
using TIsSelectedEvent = TEvent<void(TObject* Sender, int32_t Index, bool& Selected)>;
using TSelectEvent = TEvent<void(TObject* Sender, int32_t Index, bool Selected)>;
using TTopIndexChanged = TEvent<void(TObject* Sender, int32_t NewTopIndex)>;

class TOvcCustomVirtualListBox : public TOvcCustomControlEx {
    ZELMOR_CLASS(TOvcCustomVirtualListBox, TOvcCustomControlEx)
public:
    static constexpr int32_t MaxItems = 2147483647;
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcCustomVirtualListBox(TComponent* AOwner);
    ~TOvcCustomVirtualListBox() override;

    // --- properties ---
    int32_t ItemIndex() const { return FItemIndex; }
    virtual void SetItemIndex(int32_t Value);
    bool AutoRowHeight() const { return FAutoRowHeight; }
    void SetAutoRowHeight(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    uint8_t Columns() const { return FColumns; }
    void SetColumns(uint8_t Value);
    const AnsiString& Header() const { return FHeader; }
    void SetHeader(const AnsiString& Value);
    TOvcColors* HeaderColor() const { return FHeaderColor.get(); }
    void SetHeaderColor(TOvcColors* Value) { FHeaderColor->Assign(Value); }
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    virtual void SetMultiSelect(bool Value);
    int32_t NumItems() const { return FNumItems; }
    void SetNumItems(int32_t Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    TOvcColors* ProtectColor() const { return FProtectColor.get(); }
    void SetProtectColor(TOvcColors* Value) { FProtectColor->Assign(Value); }
    int32_t RowHeight() const { return FRowHeight; }
    void SetRowHeight(int32_t Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TOvcColors* SelectColor() const { return FSelectColor.get(); }
    void SetSelectColor(TOvcColors* Value) { FSelectColor->Assign(Value); }
    bool ShowHeader() const { return FShowHeader; }
    void SetShowHeader(bool Value);
    bool SmoothScroll() const { return FSmoothScroll; }
    void SetSmoothScroll(bool Value) { FSmoothScroll = Value; }
    int32_t TopIndex() const { return FTopIndex; }
    virtual void SetTopIndex(int32_t Value);
    bool UseTabStops() const { return FUseTabStops; }
    void SetUseTabStops(bool Value);
    int32_t WheelDelta() const { return FWheelDelta; }
    void SetWheelDelta(int32_t Value) { FWheelDelta = Value; }

    // --- operations ---
    virtual void ForceTopIndex(int32_t Value, bool Thumb);
    void CenterLine(int32_t Index);
    void CenterCurrentLine() { CenterLine(FItemIndex); }
    void Scroll(int32_t HDelta, int32_t VDelta);
    int32_t ItemAtPos(TPoint Pos, bool Existing);
    void InvalidateItem(int32_t Index);
    void DrawItem(int32_t Index);
    void InsertItemsAt(int32_t Count, int32_t Index);
    void DeleteItemsAt(int32_t Count, int32_t Index);
    void SelectAll();
    void DeselectAll();
    bool IsValidIndex(int32_t Index) const { return Index >= 0 && Index <= FLastIndex; }
    void SetTabStops(const std::vector<int32_t>& Tabs);
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int32_t UpdateCount() const { return FUpdateCount; }
    // Whole rows that fit below the header.
    int32_t Rows() const { return FRows; }
    int32_t HorizontalOffset() const { return FHDelta; }
    int32_t FocusedIndex() const { return FFocusedIndex; }
    int32_t ScrollDivisor() const { return FDivisor; }
    int32_t ScrollCount() const { return FScrollCount; }
    int32_t TabUnit() const { return FTabUnit; }
    const std::vector<int32_t>& TabStops() const { return FTabStops; }

    // While set a left press gets only the platform's handling (the report
    // view handles its own clicks then).
    bool SkipMouseSelect = false;

    TCharToItemEvent OnCharToItem;
    THeaderClickEvent OnClickHeader;
    TOvcDrawItemEvent OnDrawItem;
    TGetItemEvent OnGetItem;
    TGetItemColorEvent OnGetItemColor;
    TGetItemStatusEvent OnGetItemStatus;
    TIsSelectedEvent OnIsSelected;
    TSelectEvent OnSelect;
    TTopIndexChanged OnTopIndexChanged;
    TUserCommandEvent OnUserCommand;

    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    virtual void vlbCalcFontFields();
    virtual void DoOnDrawItem(int32_t Index, const TRect& Rect, const AnsiString& S);
    virtual AnsiString DoOnGetItem(int32_t Index);
    virtual void DoOnGetItemColor(int32_t Index, TColor& FG, TColor& BG);
    virtual bool DoOnGetItemStatus(int32_t Index);
    virtual bool DoOnIsSelected(int32_t Index);
    virtual void SimulatedClick() { Click(); }
    virtual void DoOnCharToItem(char Ch, int32_t& Index);
    virtual void DoOnClickHeader(TPoint Point);
    virtual void DoOnSelect(int32_t Index, bool Selected);
    virtual void DoOnTopIndexChanged(int32_t NewTopIndex);
    virtual void DoOnUserCommand(uint16_t Command);
    void DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos) override;
    void ChangeScale(int M, int D) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // The rows of the list area (below the header).
    TRect ListRect();
    void vlbAdjustIntegralHeight();
    void vlbInitScrollInfo();
    void vlbSetVScrollPos();
    void vlbSetHScrollPos();
    // Repaints the visible rows Lines (by index) whose selection state differs from Before.
    std::vector<bool> VisibleStates();
    void RepaintChanged(const std::vector<bool>& Before);
    void vlbDrawFocusRectPrim(int32_t Index);
    // Moves the active item; Extend extends the selection from the anchor.
    void MoveTo(int32_t Index, bool Extend);
    void SelectRange(int32_t From, int32_t To);
    // The color of the area below the last row (descendants paint it).
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor Value) { FFillColor = Value; }
    int32_t RowSpacing = 0;

    void WMChar(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void WMMouseActivate(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

    int32_t FItemIndex = -1;
    int32_t FTopIndex = 0;
    int32_t FNumItems = MaxItems;
    int32_t FLastIndex = MaxItems - 1;
    int32_t FRowHeight = 17;
    int32_t FRows = 1;
    int32_t FFocusedIndex = 0;
    int32_t FAnchor = 0;
    int32_t FHDelta = 0;
    bool FShowHeader = false;
    bool FMultiSelect = false;

private:
    // Answers the list-box message when it is one.
    bool ListBoxMessage(TMessage& Message);
    void TrackTo(int32_t Y);

    bool FAutoRowHeight = true;
    TBorderStyle FBorderStyle = bsSingle;
    uint8_t FColumns = 255;
    AnsiString FHeader;
    std::unique_ptr<TOvcColors> FHeaderColor;
    bool FIntegralHeight = true;
    bool FOwnerDraw = false;
    std::unique_ptr<TOvcColors> FProtectColor;
    TScrollStyle FScrollBars = ssVertical;
    std::unique_ptr<TOvcColors> FSelectColor;
    bool FSmoothScroll = true;
    bool FUseTabStops = false;
    int32_t FWheelDelta = 3;
    int32_t FDivisor = 1;
    int32_t FTabUnit = 2;
    bool FHasHorz = false;
    bool FHasVert = true;
    std::vector<int32_t> FTabStops;
    int32_t FUpdateCount = 0;
    int32_t FScrollCount = 0;
    TColor FFillColor = clWindow;
    bool FTracking = false;  // a plain press follows the mouse until released
    bool FTrackedOnce = false;
};

class TOvcVirtualListBox : public TOvcCustomVirtualListBox {
    ZELMOR_CLASS(TOvcVirtualListBox, TOvcCustomVirtualListBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcVirtualListBox(TComponent* AOwner) : TOvcCustomVirtualListBox(AOwner) {}
};
