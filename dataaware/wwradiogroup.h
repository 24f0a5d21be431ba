#pragma once
// The library's radio group: TwwCustomRadioGroup shows one item button
// (TGroupButton) per line of Items in one or more columns, with the frame
// look of the library's edits, indents, image-list glyphs and transparent or
// borderless painting; TwwRadioGroup binds it to a field, each item standing
// for a stored value (its Values line, or its caption when that is empty).
// In a grid cell the group drops its border and caption, and hands the arrow
// keys that would lead out of the first or last item back to the grid.
#include <memory>
#include <vector>

#include "dataaware/wwclearbuttongroup.h"
#include "dataaware/wwradiobutton.h"
#include "platform/db/DataSource.h"

class TwwController;
class TwwCustomRadioGroup;

// The item buttons' frame: no sides unless set.
class TwwRGEditFrame : public TwwEditFrame {
    ZELMOR_CLASS(TwwRGEditFrame, TwwEditFrame)
public:
    explicit TwwRGEditFrame(TComponent* AOwner) : TwwEditFrame(AOwner) {
        SetFocusBorders({});
        SetNonFocusBorders({});
    }
    static void DescribeProperties(TPropertyTable& T);
};

// A change of the indents rebuilds the group's buttons.
class TwwRGWinButtonIndents : public TwwWinButtonIndents {
    ZELMOR_CLASS(TwwRGWinButtonIndents, TwwWinButtonIndents)
public:
    explicit TwwRGWinButtonIndents(TwwCustomRadioGroup* Group);

protected:
    void Changed(TWinControl* Control) override;
};

class TGroupButton : public TwwRadioButton {
    ZELMOR_CLASS(TGroupButton, TwwRadioButton)
public:
    TGroupButton(TComponent* AOwner, TwwCustomRadioGroup* Group);
    ~TGroupButton() override;
    TwwCustomRadioGroup* Group() const { return FGroup; }

    bool GetShowText() override;
    TColor GetFontColor() override;
    TColor GetBackgroundColor() override;
    int GetGlyphIndex() override;
    bool GetPaintChecked() override;

protected:
    void KeyPress(char& Key) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void CNCommand(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;

private:
    TwwCustomRadioGroup* FGroup;
    bool FInCommand = false;
};

using TwwCreateRadioButton = TEvent<void(TwwCustomRadioGroup* Sender, TwwRadioButton* RadioButton)>;

class TwwCustomRadioGroup : public TwwCustomTransparentGroupBox {
    ZELMOR_CLASS(TwwCustomRadioGroup, TwwCustomTransparentGroupBox)
    friend class TGroupButton;

public:
    explicit TwwCustomRadioGroup(TComponent* AOwner);
    ~TwwCustomRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    virtual void SetItems(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    virtual void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool Value);
    bool ShowGroupCaption() const { return FShowGroupCaption; }
    void SetShowGroupCaption(bool Value);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    bool TransparentActiveItem() const { return FTransparentActiveItem; }
    void SetTransparentActiveItem(bool Value) { FTransparentActiveItem = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* GlyphImages() const { return FGlyphImages; }
    void SetGlyphImages(TCustomImageList* Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    bool NoSpacing() const { return FNoSpacing; }
    void SetNoSpacing(bool Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }
    bool ArrowsModifySelection() const { return FArrowsModifySelection; }
    void SetArrowsModifySelection(bool Value) { FArrowsModifySelection = Value; }
    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    TwwRGEditFrame* ButtonFrame() const { return FButtonFrame.get(); }
    void SetButtonFrame(TwwRGEditFrame* Value) { FButtonFrame->Assign(Value); }
    TwwWinButtonIndents* Indents() const { return FIndents.get(); }
    void SetIndents(TwwWinButtonIndents* Value) { FIndents->Assign(Value); }
    TwwController* Controller() const { return FController; }
    void SetController(TwwController* Value);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TGroupButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }
    bool HasFocus() const { return FHasFocus; }

    // An item's stored value: its Values line when not empty, else its caption.
    void GetItemValue(int Index, AnsiString& Text);
    // The caption of the first item whose value is Value (with case); empty for none.
    void GetItemCaptionForValue(const AnsiString& Value, AnsiString& Caption);

    TwwCreateRadioButton OnCreateRadioButton;

    virtual bool IsItemIndexStored() { return true; }
    virtual void DoCreateRadioButton(TwwRadioButton* Button);
    virtual bool CanModify() { return true; }
    virtual bool ShowsBorder();
    bool PaintsTransparent() const override;
    virtual TStrings* ValuesList() { return nullptr; }
    void RebuildButtons();
    void PlaceButtons();
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override { TwwCustomTransparentGroupBox::KeyPress(Key); }

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetParent(TWinControl* AParent) override;
    void Paint() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void Resize() override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    virtual void ButtonClicked(TGroupButton* Button);
    void ItemsChanged();
    bool FUpdating = false;
    TColor FPaintTextColor = clNone;
    TColor FPaintColor = clNone;
    bool FTabbing = false;
    bool FArrowKey = false;

private:
    void SetButtonCount(int Count);
    std::unique_ptr<TwwEditFrame> FFrame;
    std::unique_ptr<TwwRGWinButtonIndents> FIndents;
    std::unique_ptr<TwwRGEditFrame> FButtonFrame;
    std::unique_ptr<TStringList> FItems;
    std::vector<TGroupButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FShowBorder = true;
    bool FShowGroupCaption = true;
    bool FShowFocusRect = true;
    bool FTransparentActiveItem = false;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FGlyphImages = nullptr;
    bool FShowText = true;
    bool FHasFocus = false;
    bool FWordWrap = false;
    TLeftRight FAlignment = taRightJustify;
    bool FNoSpacing = false;
    bool FDisableThemes = false;
    TwwController* FController = nullptr;
    bool FArrowsModifySelection = false;
};

class TwwRadioGroup : public TwwCustomRadioGroup {
    ZELMOR_CLASS(TwwRadioGroup, TwwCustomRadioGroup)
public:
    explicit TwwRadioGroup(TComponent* AOwner);
    ~TwwRadioGroup() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TStrings* Values() const { return FValues.get(); }
    void SetValues(TStrings* Value);
    void SetItems(TStrings* Value) override;
    const AnsiString& Value() const { return FValue; }
    void SetValue(const AnsiString& Value);
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    TStrings* ValuesList() override { return FValues.get(); }

    TNotifyEvent OnChange;

    bool IsItemIndexStored() override { return !DataSource(); }
    bool CanModify() override;
    void Click() override;
    virtual void DataChange();
    virtual void UpdateData();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void CMExit(TMessage& Message) override;
    void KeyPress(char& Key) override;

private:
    std::unique_ptr<TFieldDataLink> FDataLink;
    std::unique_ptr<TStringList> FValues;
    AnsiString FValue;
    bool FInSetValue = false;
};

void RegisterRadioClasses();
