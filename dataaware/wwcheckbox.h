#pragma once
// The library's check boxes: TwwCustomCheckBox, owner-drawn with the frame
// look of the library's edits, glyph and caption indents, image-list glyphs,
// transparency and a caption that can follow the state; TwwDBCustomCheckBox,
// bound to one field whose values map to the three states; TwwCheckBox, which
// publishes it; and the expand button TwwExpandButton, a plus and minus glyph
// in a grid cell that opens a detail grid under the master grid's row.
//
// A check box may serve as a grid's cell control: the grid moves it onto the
// current cell and paints copies of it into the other cells. The two know
// each other by class name only ("TCustomGrid", "TwwCustomDBGrid",
// "TwwDBGrid"), and the check box reads the grid's Options and PaintOptions
// by property name.
#include <memory>

#include "dataaware/wwradiobutton.h"
#include "platform/db/DataSource.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/StdCtrls.h"

class TwwController;

class TwwCustomCheckBox : public TCustomCheckBox {
    ZELMOR_CLASS(TwwCustomCheckBox, TCustomCheckBox)
public:
    explicit TwwCustomCheckBox(TComponent* AOwner);
    ~TwwCustomCheckBox() override;

    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    TwwWinButtonIndents* Indents() const { return FIndents.get(); }
    void SetIndents(TwwWinButtonIndents* Value) { FIndents->Assign(Value); }
    bool AlwaysTransparent() const { return FAlwaysTransparent; }
    void SetAlwaysTransparent(bool Value) { FAlwaysTransparent = Value; }
    const AnsiString& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const AnsiString& Value);
    const AnsiString& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const AnsiString& Value);
    // The stored text, or ValueChecked (ValueUnchecked) while it is empty.
    AnsiString DisplayValueChecked() const;
    void SetDisplayValueChecked(const AnsiString& Value);
    AnsiString DisplayValueUnchecked() const;
    void SetDisplayValueUnchecked(const AnsiString& Value);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    bool DynamicCaption() const { return FDynamicCaption; }
    void SetDynamicCaption(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCheckBoxState NullAndBlankState() const { return FNullAndBlankState; }
    void SetNullAndBlankState(TCheckBoxState Value) { FNullAndBlankState = Value; }
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    bool CenterTextVertically() const { return FCenterTextVertically; }
    void SetCenterTextVertically(bool Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }
    bool ShowAsButton() const { return FShowAsButton; }
    void SetShowAsButton(bool Value);
    TLeftRight TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TLeftRight Value);
    TwwController* Controller() const { return FController; }
    void SetController(TwwController* Value);
    bool Modified() const { return FModified; }
    bool IsTransparent() const;
    bool ReadOnlyFlag() const { return FReadOnly; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void PaintToDC(HDC DC);
    virtual AnsiString GetDisplayCaption();
    virtual int GetButtonLeftOffset() { return 0; }
    virtual bool IsMouseOver(bool WithinGlyph);
    virtual bool FillsBackground() { return true; }
    virtual TCheckBoxState GetState() { return State(); }
    virtual void PaintControl();
    virtual void DataChange() {}
    virtual TCanvas* GetPaintCanvas();
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual TCustomImageList* GetImages() { return FImages; }
    virtual bool IsButtonHidden() { return false; }
    virtual TField* GetField() { return nullptr; }
    // 0 glyph at the right, 1 at the left, 2 centred.
    virtual int GetAlignment() { return Alignment() == taLeftJustify ? 0 : 1; }
    virtual uint32_t GetExtraDrawFlags() { return 0; }
    virtual void GetButtonRect(TRect& R);
    void GetCaptionRect(TRect& R);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void CNDrawItem(TMessage& Message) override;
    void CNCommand(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    bool InCustomGrid() const;
    bool IsHighlighted();
    bool RowTest(bool WithActiveRecordColor);
    void DrawGlyph(TCanvas* C);
    void DrawCaption(TCanvas* C, bool Highlighted);
    void DrawFrameAfterPaint(HDC DC);
    void SetModifiedFlag(bool Value) { FModified = Value; }
    bool FBoxedGlyph = false;
    bool FReadOnly = false;

private:
    std::unique_ptr<TControlCanvas> FPaintCanvas;
    std::unique_ptr<TwwEditFrame> FFrame;
    std::unique_ptr<TwwWinButtonIndents> FIndents;
    bool FAlwaysTransparent = false;
    AnsiString FValueChecked = "True";
    AnsiString FValueUnchecked = "False";
    AnsiString FDisplayValueChecked;
    AnsiString FDisplayValueUnchecked;
    bool FShowFocusRect = true;
    bool FDynamicCaption = false;
    TCustomImageList* FImages = nullptr;
    bool FSpacePressed = false;
    bool FModified = false;
    bool FShowAsButton = false;
    TCheckBoxState FNullAndBlankState = cbUnchecked;
    bool FShowText = true;
    bool FCenterTextVertically = true;
    bool FDisableThemes = false;
    TwwController* FController = nullptr;
    TLeftRight FTextAlignment = taLeftJustify;
};

class TwwDBCustomCheckBox : public TwwCustomCheckBox {
    ZELMOR_CLASS(TwwDBCustomCheckBox, TwwCustomCheckBox)
public:
    explicit TwwDBCustomCheckBox(TComponent* AOwner);
    ~TwwDBCustomCheckBox() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }

    TCheckBoxState GetState() override;
    void DataChange() override;
    TField* GetField() override;
    // The value for the field from the state.
    virtual void UpdateData();

protected:
    void Toggle() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyPress(char& Key) override;
    void WMPaint(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMGetDataLink(TMessage& Message) override;

private:
    std::unique_ptr<TFieldDataLink> FDataLink;
};

class TwwCheckBox : public TwwDBCustomCheckBox {
    ZELMOR_CLASS(TwwCheckBox, TwwDBCustomCheckBox)
public:
    explicit TwwCheckBox(TComponent* AOwner) : TwwDBCustomCheckBox(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

ZELMOR_EXCEPTION(EwwExpandError, Exception);

class TwwExpandButton;

// Extra offsets of the detail grid from its standard place.
class TwwExpandGridIndents : public TPersistent {
    ZELMOR_CLASS(TwwExpandGridIndents, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    int X() const { return FX; }
    void SetX(int Value) { FX = Value; }
    int Y() const { return FY; }
    void SetY(int Value) { FY = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FX = 0, FY = 0;
};

using TwwCheckVisibleButton = TEvent<void(TwwExpandButton* Sender, TDataSet* DataSet, bool& AShowExpand)>;

// A plus and minus button in a cell of a master grid: checked, it places its
// detail grid (Grid) inside the master grid under the current row, grows the
// row by the detail's height and shifts the rows below; unchecked, it hides
// the detail and gives the row its height back.
class TwwExpandButton : public TwwDBCustomCheckBox {
    ZELMOR_CLASS(TwwExpandButton, TwwDBCustomCheckBox)
public:
    explicit TwwExpandButton(TComponent* AOwner);
    ~TwwExpandButton() override;
    static void DescribeProperties(TPropertyTable& T);

    TAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TAlignment Value);
    TWinControl* Grid() const { return FGrid; }
    void SetGrid(TWinControl* Value);
    bool AutoShrink() const { return FAutoShrink; }
    void SetAutoShrink(bool Value) { FAutoShrink = Value; }
    bool AutoHideExpand() const { return FAutoHideExpand; }
    void SetAutoHideExpand(bool Value) { FAutoHideExpand = Value; }
    TwwExpandGridIndents* GridIndents() const { return FGridIndents.get(); }
    void SetGridIndents(TwwExpandGridIndents* Value) { FGridIndents->Assign(Value); }
    bool Toggling() const { return FInToggle; }
    void SetDesiredRow(int Value) { FDesiredRow = Value; }
    int ExpandedRow() const { return FExpandedRow; }

    TNotifyEvent OnBeforeExpand;
    TNotifyEvent OnBeforeCollapse;
    TNotifyEvent OnAfterExpand;
    TNotifyEvent OnAfterCollapse;
    TwwCheckVisibleButton OnCheckVisibleButton;

    virtual void DoBeforeExpand();
    virtual void DoBeforeCollapse();
    virtual void DoAfterExpand();
    virtual void DoAfterCollapse();

    TCustomImageList* GetImages() override;
    int GetButtonLeftOffset() override { return 2; }
    bool FillsBackground() override { return !Checked(); }
    TCheckBoxState GetState() override;
    void DataChange() override;
    AnsiString GetDisplayCaption() override;
    bool IsButtonHidden() override;
    int GetAlignment() override;
    uint32_t GetExtraDrawFlags() override;
    void Click() override;
    void Toggle() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;

private:
    void Expand(int H, int Pitch, bool Leaf);
    void Collapse(int H);
    void SelectMasterRow(int Row);
    // Whether the copy being painted is the master's current cell.
    bool PaintingCurrentCell() const;
    TAlignment FButtonAlignment = taLeftJustify;
    TWinControl* FGrid = nullptr;
    std::unique_ptr<TImageList> FExpandImages;
    bool FAutoShrink = true;
    bool FAutoHideExpand = false;
    bool FInClick = false;
    std::unique_ptr<TwwExpandGridIndents> FGridIndents;
    int FSavedMasterHeight = 0;
    int FSavedOuterRowHeight = 0;
    int FRememberedHeight = 0;
    int FDesiredRow = -1;
    int FExpandedRow = 0;
    bool FInToggle = false;
};

// The registered message that asks an expand button to expand.
UINT ExpandButtonDropDownMessage();
void RegisterCheckBoxClasses();
