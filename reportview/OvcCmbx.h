#pragma once
// The library's owner-drawn combo box: the platform's combo box with the
// most recently used rows repeated at the top of its list, a search that
// completes the typed text a moment after the last key (timed by the
// controller's pool), a flat look that lights up under the mouse, borders
// per side and an attached label. The view pickers of the types screen
// stand on it.
#include <cstdint>
#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcBordr.h"

// The two colours of the sunken frame that hot tracking draws.
class TOvcHTColors : public TPersistent {
    ZELMOR_CLASS(TOvcHTColors, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TColor Highlight() const { return FHighlight; }
    void SetHighlight(TColor Value) { FHighlight = Value; }
    TColor Shadow() const { return FShadow; }
    void SetShadow(TColor Value) { FShadow = Value; }
    void Assign(TPersistent* Source) override;

private:
    TColor FHighlight = clBtnHighlight;
    TColor FShadow = clBtnShadow;
};

// Texts (with their objects), the most recent first, at most MaxItems.
class TOvcMRUList {
public:
    int Count() const { return FItems.Count(); }
    const TStringList& Items() const { return FItems; }
    int MaxItems() const { return FMaxItems; }
    void SetMaxItems(int Value);
    // S moves (or comes) to the front; the list keeps its maximum.
    void NewItem(const AnsiString& S, TObject* Obj);
    bool RemoveItem(const AnsiString& S);
    void Shrink();
    void Clear() { FItems.Clear(); }

private:
    int FMaxItems = 3;
    TStringList FItems;
};

enum TOvcComboStyle : uint8_t { ocsDropDown, ocsDropDownList };
ZELMOR_DECLARE_ENUM(TOvcComboStyle);

class TOvcBaseComboBox : public TCustomComboBox, public TOvcLabelled {
    ZELMOR_CLASS(TOvcBaseComboBox, TCustomComboBox)
public:
    // The key the search sends itself when its delay is over.
    static constexpr WORD SearchKey = 9999;

    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcBaseComboBox(TComponent* AOwner);
    ~TOvcBaseComboBox() override;
    void BeforeDestruction() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}

    // --- the list below the most recently used rows ---
    // Items without the rows of the MRU block.
    TStrings* GetList();
    int GetListIndex() const { return ItemIndex() - MRUCount(); }
    void SetListIndex(int Index);
    // Answers the new row's index in the list, or -1 when S is there already.
    int AddItem(const AnsiString& S, TObject* Obj);
    void InsertItem(int Index, const AnsiString& S, TObject* Obj);
    void RemoveItem(const AnsiString& S);
    void AssignItems(TStrings* Source);
    void ClearItems();
    void ClearMRUList();
    // The row at Index becomes the most recent one.
    void AddItemToMRUList(int Index);
    const TOvcMRUList& MRUList() const { return *FMRUList; }
    int MRUCount() const { return FMRUList->Count(); }
    virtual void SelectionChanged();

    // --- properties ---
    bool AutoSearch() const { return FAutoSearch; }
    void SetAutoSearch(bool Value) { FAutoSearch = Value; }
    TOvcBorders* Borders() const { return FBorders.get(); }
    void SetBorders(TOvcBorders* Value) { FBorders->Assign(Value); }
    TOvcController* Controller() const { return FController; }
    void SetController(TOvcController* Value);
    int DroppedWidth() const { return FDroppedWidth; }
    void SetDroppedWidth(int Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    // The sunken frame of the flat look and the side borders exclude each
    // other. A change of a side border at run time decides the look: any
    // side on makes the flat look with no frame and no 3D edge, all sides
    // off bring the 3D edge back without the flat look. While a form is
    // read nothing is decided: the values stand as stored (the types
    // screen's pickers keep HotTrackBorder True with every side off).
    bool HotTrackBorder() const { return FHotTrackBorder; }
    // True disables the side borders first and then stands: the frame takes their place.
    void SetHTBorder(bool Value);
    TOvcHTColors* HotTrackColors() const { return FHotTrackColors.get(); }
    void SetHTColors(TOvcHTColors* Value) { FHotTrackColors->Assign(Value); }
    int OvcItemHeight() const { return FItemHeight; }
    void SetOvcItemHeight(int Value);
    int KeyDelay() const { return FKeyDelay; }
    void SetKeyDelay(int Value) {
        if (Value >= 0) FKeyDelay = Value;
    }
    TColor MRUListColor() const { return FMRUListColor; }
    void SetMRUListColor(TColor Value) { FMRUListColor = Value; }
    int MRUListCount() const { return FMRUListCount; }
    void SetMRUListCount(int Value);
    TOvcComboStyle OcbStyle() const { return FOcbStyle; }
    void SetOcbStyle(TOvcComboStyle Value);
    bool StandardHomeEnd() const { return FStandardHomeEnd; }
    void SetStandardHomeEnd(bool Value) { FStandardHomeEnd = Value; }
    // The mouse is over the control (hot tracking).
    bool Hot() const { return FHot; }

    TNotifyEvent OnSelectionChange;
    // The library's wheel event, after the platform's handling of the wheel.
    TOvcMouseWheelEvent OnMouseWheel;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

protected:
    TCustomForm* LabelForm() const override;
    bool LabelAutoSize() const override { return false; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ComboWndProc(TMessage& Message, HWND ComboWnd, const TWndProc& ComboProc) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoExit() override;
    void CNCommand(TMessage& Message) override;
    void CNDrawItem(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    virtual void DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos);
    void WMMouseWheel(TMessage& Message) override;

private:
    // Rebuilds the MRU block over the first Old rows of Items.
    void MRUListUpdate(int Old);
    void UpdateMRUList() { MRUListUpdate(MRUCount()); }
    void RecalcHeight();
    void BorderChanged();
    void SearchTimer(int32_t Handle);
    void HotTimer();
    void StartHotTimer(uint32_t Interval);
    void StopTimer(int32_t& Handle);
    void PaintHot(HDC DC);
    void PaintBorders();
    bool IsPartOf(HWND Wnd) const;

    bool FAutoSearch = true;
    std::unique_ptr<TOvcBorders> FBorders;
    TOvcController* FController = nullptr;
    bool FEditPartDrawing = false;
    int FDroppedWidth = -1;
    bool FHotTrack = false;
    bool FHotTrackBorder = true;
    std::unique_ptr<TOvcHTColors> FHotTrackColors;
    int FKeyDelay = 500;
    int FItemHeight = 12;
    TColor FMRUListColor = clWindow;
    int FMRUListCount = 3;
    TOvcComboStyle FOcbStyle = ocsDropDown;
    bool FInHotTimer = false;
    int32_t FHotTimer = -1;
    bool FHot = false;
    bool FFocused = false;
    bool FBackspaced = false;
    std::unique_ptr<TOvcMRUList> FMRUList;
    std::unique_ptr<TStringList> FWorkList;
    bool FStandardHomeEnd = true;
    int32_t FSearchTimer = -1;
    int FItemIndexAtDropDown = -1;
};

class TOvcComboBox : public TOvcBaseComboBox {
    ZELMOR_CLASS(TOvcComboBox, TOvcBaseComboBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcComboBox(TComponent* AOwner) : TOvcBaseComboBox(AOwner) {}
};
