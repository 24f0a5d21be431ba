#pragma once
// More standard controls: the panel, the bevel, the radio group, the scroll
// box and the sectioned header. (The timer is in platform/ui/Timers.h.)
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

enum TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
ZELMOR_DECLARE_ENUM(TPanelBevel);

// A container with raised or lowered bevels and a caption in the middle.
// From the outside in: the outer bevel, BorderWidth pixels of its colour,
// the inner bevel; the children align inside all three.
class TCustomPanel : public TCustomControl {
    ZELMOR_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void CMTextChanged(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;

private:
    int BevelSize() const;
    TAlignment FAlignment = taCenter;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    ZELMOR_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

enum TBevelShape : uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
ZELMOR_DECLARE_ENUM(TBevelShape);
enum TBevelStyle : uint8_t { bsLowered, bsRaised };
ZELMOR_DECLARE_ENUM(TBevelStyle);

// Lines or a frame in the two bevel colours, drawn on the parent.
class TBevel : public TGraphicControl {
    ZELMOR_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// A group box with one radio button per line of Items, in Columns columns,
// top to bottom first. ItemIndex is the checked one (-1: none).
class TCustomRadioGroup : public TCustomGroupBox {
    ZELMOR_CLASS(TCustomRadioGroup, TCustomGroupBox)
    friend class TRadioGroupButton;

public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TRadioButton* Buttons(int Index) const;

protected:
    // Whether the user may change the choice now (a data-aware group asks its data).
    virtual bool CanModify() { return true; }
    void Loaded() override;
    void WMSize(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void ArrangeButtons();
    void UpdateButtons();

private:
    void ItemsChange(TObject* Sender);
    void ButtonClick(TObject* Sender);
    void SetButtonCount(int Value);
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    ZELMOR_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

class TScrollBox;

// One scroll bar of a scroll box: how far its contents reach (Range, taken
// from the children while the box scrolls by itself), how far a line step
// moves (Increment) and where it stands (Position). It shows while the range
// exceeds the client area.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox* AOwner, int ABar) : FOwner(AOwner), FBar(ABar) {}
    int Range() const { return FRange; }
    void SetRange(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = std::max(1, Value); }
    // Room kept after the farthest child when the range is taken from the children.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Position() const;
    void SetPosition(int Value);
    bool IsScrollBarVisible() const;

private:
    friend class TScrollBox;
    TScrollBox* FOwner;
    int FBar;
    int FRange = 0;
    int FIncrement = 8;
    int FMargin = 0;
};

// A container that scrolls its children when they reach beyond it.
class TScrollBox : public TScrollingWinControl {
    ZELMOR_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    // How far the contents are scrolled (pixels).
    TPoint ScrollPos() const { return FScroll; }
    void ScrollBy(int DeltaX, int DeltaY);
    void ScrollInView(TControl* Control);
    TControlScrollBar* HorzScrollBar() { return &FHorzScrollBar; }
    TControlScrollBar* VertScrollBar() { return &FVertScrollBar; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    // With the focus the box scrolls by the keys: the arrows a line, Page Up
    // and Page Down a page, Home and End to the top and the bottom.
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    friend class TControlScrollBar;
    void UpdateScrollBars();
    void Scroll(int Bar, WORD Code, int Pos);
    TControlScrollBar FHorzScrollBar{this, SB_HORZ}, FVertScrollBar{this, SB_VERT};
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoScroll = true;
    TPoint FScroll;
    TSize FRange;
    bool FUpdating = false;
};

using TSectionEvent = TEvent<void(TObject* Sender, int ASection, int AWidth)>;

// A row of sections drawn as buttons, whose widths the user drags.
class THeader : public TCustomControl {
    ZELMOR_CLASS(THeader, TCustomControl)
public:
    explicit THeader(TComponent* AOwner);
    ~THeader() override;
    static void DescribeProperties(TPropertyTable& T);

    TStrings* Sections() const { return FSections.get(); }
    void SetSections(TStrings* Value) { FSections->Assign(Value); }
    int SectionWidth(int Index) const;
    void SetSectionWidth(int Index, int Value);
    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    TSectionEvent OnSizing;
    TSectionEvent OnSized;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMSetCursor(TMessage& Message) override;

private:
    // The section whose right edge lies within a few pixels of X, or -1.
    int EdgeAt(int X) const;
    void SectionsChange(TObject* Sender);
    std::unique_ptr<TStringList> FSections;
    std::vector<int> FWidths;
    bool FAllowResize = true;
    TBorderStyle FBorderStyle = bsSingle;
    int FSizing = -1;
    int FSizingStart = 0;
};

void RegisterExtControls();
