#pragma once
// The library's edits: the masked edit every edit-like control stands on
// (TwwCustomMaskEdit), its picture settings (TwwDBPicture) and the
// data-aware edit (TwwDBCustomEdit, published as TwwDBEdit).
//
// Besides the class library's edit mask, the masked edit checks typed text
// against a picture mask (wwpict.h): it fills in literal characters as the
// user types, beeps at characters that cannot fit, reports after each change
// whether the text passes (OnCheckValue) and may keep the focus until the
// text is complete. The data-aware edit shows one field through a field data
// link (or a value of its own when it has no field): it reads the field into
// its text, writes it back through display formats, the two-digit-year rule
// and edit-mask templates, fills in dates and times on the space bar, hands
// keys to a grid that hosts it, and paints itself whenever it must look
// otherwise than a plain focused edit (right-aligned or centred while
// unfocused, framed, transparent, painted as a copy into a grid cell).
//
// A grid painting a copy of the edit into a cell (csPaintCopy) may pass the
// cell's height in the paint message's LParam; 0 means the edit's own
// client height.
#include <cstdint>

#include "dataaware/Wwtypes.h"
#include "dataaware/wwframe.h"
#include "platform/classes/Alignment.h"
#include "platform/ui/Mask.h"

class TDataSource;
class TField;
class TFieldDataLink;
class TwwController;

// (Sender, passes): after a change, whether the text passes the picture.
using TwwValidateEvent = TEvent<void(TObject* Sender, bool PassesPictureTest)>;
// Without a field, the kind of value an edit takes.
enum TwwEditDataType : uint8_t { wwDefault, wwEdtDate, wwEdtTime, wwEdtDateTime };
ZELMOR_DECLARE_ENUM(TwwEditDataType);

// The picture settings of an edit. A data-aware edit bound to a field of a
// data set that has PictureMasks takes them from the field's line there
// (data-set mode), so that every edit of the field shares its picture;
// writing them writes the line. Other owners keep their own.
class TwwDBPicture : public TPersistent {
    ZELMOR_CLASS(TwwDBPicture, TPersistent)
    friend class TwwDBCustomEdit;

public:
    explicit TwwDBPicture(TComponent* RelatedComponent);
    static void DescribeProperties(TPropertyTable& T);

    AnsiString PictureMask() const;
    // Refused with a warning for a field whose table keeps a picture of its own.
    void SetPictureMask(const AnsiString& Value);
    bool AutoFill() const;
    void SetAutoFill(bool Value);
    // Never in data-set mode: a field's picture is always enforced.
    bool AllowInvalidExit() const;
    void SetAllowInvalidExit(bool Value);
    bool PictureMaskFromDataSet() const { return FPictureMaskFromDataSet; }
    void SetPictureMaskFromDataSet(bool Value) { FPictureMaskFromDataSet = Value; }
    TComponent* RelatedComponent() const { return FRelatedComponent; }
    bool InDataSetMode() const;

    // Copies the mask and AutoFill as the source gives them; no line is written.
    void Assign(TPersistent* Source) override;

private:
    TDataSet* ModeDataSet(AnsiString& FieldName) const;
    void AfterLineWritten();
    TComponent* FRelatedComponent;
    bool FPictureMaskFromDataSet = true;
    AnsiString FPictureMask;
    bool FAutoFill = true;
    bool FAllowInvalidExit = false;
};

class TwwCustomMaskEdit : public TCustomMaskEdit {
    ZELMOR_CLASS(TwwCustomMaskEdit, TCustomMaskEdit)
public:
    explicit TwwCustomMaskEdit(TComponent* AOwner);
    ~TwwCustomMaskEdit() override;

    TwwDBPicture* Picture() const { return FPicture.get(); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool UsePictureMask() const { return FUsePictureMask; }
    void SetUsePictureMask(bool Value) { FUsePictureMask = Value; }
    // Return types a line break instead of going to the form.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool ShowVertScrollBar() const { return FShowVertScrollBar; }
    void SetShowVertScrollBar(bool Value);
    TwwEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TwwEditFrame* Value) { FFrame->Assign(Value); }
    // An edit-mask text that holds only the mask's template is stored as it is.
    bool MaskStoreLiteralTemplate() const { return FMaskStoreLiteralTemplate; }
    void SetMaskStoreLiteralTemplate(bool Value) { FMaskStoreLiteralTemplate = Value; }
    // Leaving the edit failed the picture and it took the focus back.
    bool RefocusedOnExit() const { return FRefocusedOnExit; }
    // The last key press was taken and applied by the picture.
    bool PictureHandledKey() const { return FPictureHandledKey; }
    bool SettingPictureText() const { return FSettingPictureText; }

    bool UsesPictureMask() const;
    // Empty texts and empty masks pass; otherwise only a complete text.
    // OnCheckValue hears the answer.
    bool CheckValue(const AnsiString& Text);
    // The whole text completed by the picture (after a paste).
    void ApplyAutoFill();
    // The edit-mask text shows nothing but the mask's literals and blanks.
    bool IsTemplateOnly();
    virtual bool IsOwnerDraw() { return false; }
    // The formatting rectangle: the text's place inside the client area.
    virtual void SetEditRect();
    virtual void DoCheckValue(bool PassesPictureTest);

    TwwValidateEvent OnCheckValue;

protected:
    // Before the edit changes its own text; the data-aware edit starts editing its record here.
    virtual void PrepareEdit() {}
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DoExit() override;
    void WMSize(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;

    TComponent* FController = nullptr;

private:
    // What the picture does with a typed character.
    void PictureKeyPress(char& Key);
    std::unique_ptr<TwwDBPicture> FPicture;
    std::unique_ptr<TwwEditFrame> FFrame;
    bool FWordWrap = false;
    bool FUsePictureMask = false;
    bool FWantReturns = false;
    bool FShowVertScrollBar = false;
    bool FRefocusedOnExit = false;
    bool FMaskStoreLiteralTemplate = false;
    bool FPictureHandledKey = false;
    bool FSettingPictureText = false;
};

class TwwDBCustomEdit : public TwwCustomMaskEdit {
    ZELMOR_CLASS(TwwDBCustomEdit, TwwCustomMaskEdit)
public:
    explicit TwwDBCustomEdit(TComponent* AOwner);
    ~TwwDBCustomEdit() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    AnsiString DataField() const;
    void SetDataField(const AnsiString& Value);
    TField* Field() const;
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    // The link's read-only flag; an unbound edit's window follows it.
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TwwController* Controller() const;
    // The edit takes the controller's frame.
    void SetController(TwwController* Value);
    // Refreshes the stored settings from the field's line first.
    TwwDBPicture* GetPicture();
    void SetPicture(TwwDBPicture* Value);
    bool AutoFillDate() const { return FAutoFillDate; }
    void SetAutoFillDate(bool Value) { FAutoFillDate = Value; }
    TwwEditDataType UnboundDataType() const { return FUnboundDataType; }
    void SetUnboundDataType(TwwEditDataType Value) { FUnboundDataType = Value; }
    TAlignment UnboundAlignment() const { return FUnboundAlignment; }
    void SetUnboundAlignment(TAlignment Value);
    TwwEditAlignment EditAlignment() const { return FEditAlignment; }
    void SetEditAlignment(TwwEditAlignment Value);
    // Kept and streamed; the library never paints through themes.
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }
    // The edit shows its focused state (from entry to an exit that was not refused).
    bool IsFocused() const { return FIsFocused; }
    // The alignment of the shown text (a lookup combo shows another field's).
    virtual TAlignment EffectiveAlignment() const;

    virtual AnsiString GetDisplayFormat();
    virtual void SetDisplayFormat(const AnsiString& Value) { FDisplayFormat = Value; }
    // A data source that does not edit by itself and is not editing.
    virtual bool IsEditBlocked();
    virtual bool IsMemoField();
    virtual bool ShowsCaret() { return true; }
    virtual void GetTextAreaRect(TRect& R);
    // The text to store.
    virtual AnsiString GetFieldText();
    virtual void DrawDisplayText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, int X, int Y);
    virtual bool GetShowButton() { return false; }
    virtual void SetShowButton(bool) {}
    virtual void DrawFrame(TCanvas* Canvas);
    virtual void ReportMaskError(TField* Field);
    virtual bool IsDroppedDown() { return false; }
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    // The shown text of a stored value, for controls that map them.
    virtual bool GetDisplayForValue(const AnsiString& Value, AnsiString& DisplayText);
    virtual int GetButtonWidth() { return 0; }
    virtual int GetButtonLeft() { return ClientWidth() - 1; }

    // Writes the text into the record (through the link); an error leaves the
    // text selected, the focus here and the edit modified, and goes on.
    void UpdateRecord();
    void SetModifiedState(bool Value);
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PrepareEdit() override;
    void Change() override;
    bool EditCanModify() override;
    void Reset() override;
    void SetFocused(bool Value);
    void ReleaseMaxLength();
    bool IsGridFocused();
    bool IsEditTransparent();
    void KeyPress(char& Key) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

    void CMGetDataLink(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void WMUndo(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMSetFont(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void WMPaint(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

    // The field data link's data change: the text, mask and length from the field.
    virtual void DataChange(TObject* Sender);

private:
    void EditingStateChanged(TObject* Sender);
    void UpdateData(TObject* Sender);
    // A value the field cannot take: as for a text that fails its picture.
    void ReportInvalidValue(TField* Field);
    bool IsDateKind();
    bool IsTimeKind();
    bool IsDateTimeKind();
    // The space bar's date and time fill; true when it took the key.
    bool AutoFillDateTime();
    // Hands a key to the grid that hosts the edit.
    void KeyToGrid(WORD& Key, TShiftState Shift);
    bool PaintsItself();
    void PaintSelf(TMessage& Message);
    void EnsureCanvas();

    std::unique_ptr<TFieldDataLink> FDataLink;
    std::unique_ptr<TControlCanvas> FCanvas;
    TAlignment FShownFieldAlignment = taLeftJustify;
    TAlignment FUnboundAlignment = taLeftJustify;
    AnsiString FSavedText;
    bool FAutoFillDate = true;
    TwwEditDataType FUnboundDataType = wwDefault;
    TwwEditAlignment FEditAlignment = eaLeftAlignEditing;
    AnsiString FDisplayFormat;
    bool FDisableThemes = false;
    bool FIsFocused = false;
};

class TwwDBEdit : public TwwDBCustomEdit {
    ZELMOR_CLASS(TwwDBEdit, TwwDBCustomEdit)
public:
    explicit TwwDBEdit(TComponent* AOwner) : TwwDBCustomEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);

private:
    // A picture taken from the data set's lines is the data set's to store.
    bool PictureStored() const;
};
