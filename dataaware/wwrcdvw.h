#pragma once
// The record view: the current record of a data set in a form of its own,
// one label and one data-aware control per field, laid out vertically
// (labels in a right-aligned column, one field per line) or in rows (label
// above control, wrapping at the form's width), with a navigator on top and
// OK and Cancel below. The form is modal or stays open beside the
// application; it can post or cancel the record when it closes and asks
// before it throws changes away. Controls named by the ControlType lines
// (a lookup combo of a grid, say) are borrowed for the form and given back
// when it closes.
//
// Date-time fields get the library's date-time editor (rvoUseDateTimePicker),
// rich text the data-aware rich edit, memos the memo (the framed memo edit
// while EditFrame is enabled). A Menu with items shows as the form's menu bar.
#include <memory>
#include <vector>

#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtypes.h"
#include "dataaware/wwDBNavigator.h"
#include "dataaware/wwDialog.h"
#include "dataaware/wwdbedit.h"
#include "platform/dbctrls/DBCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

class TwwButtonEffects;
class TwwEditFrame;
class TwwController;
class TwwRecordViewForm;

enum TwwRecordViewStyle { rvsVertical, rvsHorizontal };
ZELMOR_DECLARE_ENUM(TwwRecordViewStyle);
enum TwwRecordViewOption {
    rvoHideReadOnly,
    rvoHideCalculated,
    rvoHideNavigator,
    rvoUseCustomControls,
    rvoShortenEditBox,
    rvoModalForm,
    rvoStayOnTopForm,
    rvoConsistentEditWidth,
    rvoEnterToTab,
    rvoConfirmCancel,
    rvoCloseIsCancel,
    rvoMaximizeMemoWidth,
    rvoSetControlMinWidth,
    rvoUseDateTimePicker,
    rvoLabelsBeneathControl
};
ZELMOR_DECLARE_ENUM(TwwRecordViewOption);
using TwwRecordViewOptions = TSet<TwwRecordViewOption>;
enum TwwRecordViewControlOption { rvcTransparentLabels, rvcTransparentButtons, rvcFlatButtons };
ZELMOR_DECLARE_ENUM(TwwRecordViewControlOption);
using TwwRecordViewControlOptions = TSet<TwwRecordViewControlOption>;
enum TwwRecordViewOKCancelOption { rvokShowOKCancel, rvokAutoPostRec, rvokAutoCancelRec };
ZELMOR_DECLARE_ENUM(TwwRecordViewOKCancelOption);
using TwwRecordViewOKCancelOptions = TSet<TwwRecordViewOKCancelOption>;

class TwwVertEditSpacing : public TPersistent {
    ZELMOR_CLASS(TwwVertEditSpacing, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    int BetweenLabelEdit() const { return FBetweenLabelEdit; }
    void SetBetweenLabelEdit(int Value) { FBetweenLabelEdit = Value; }
    int BetweenRow() const { return FBetweenRow; }
    void SetBetweenRow(int Value) { FBetweenRow = Value; }

private:
    int FBetweenLabelEdit = 5, FBetweenRow = 2;
};

class TwwHorzEditSpacing : public TPersistent {
    ZELMOR_CLASS(TwwHorzEditSpacing, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    int BetweenLabelEdit() const { return FBetweenLabelEdit; }
    void SetBetweenLabelEdit(int Value) { FBetweenLabelEdit = Value; }
    int BetweenEditsInRow() const { return FBetweenEditsInRow; }
    void SetBetweenEditsInRow(int Value) { FBetweenEditsInRow = Value; }
    int BetweenRow() const { return FBetweenRow; }
    void SetBetweenRow(int Value) { FBetweenRow = Value; }
    int LabelIndent() const { return FLabelIndent; }
    void SetLabelIndent(int Value) { FLabelIndent = Value; }

private:
    int FBetweenLabelEdit = 1, FBetweenEditsInRow = 5, FBetweenRow = 2, FLabelIndent = 1;
};

class TwwEditSpacing : public TPersistent {
    ZELMOR_CLASS(TwwEditSpacing, TPersistent)
public:
    TwwEditSpacing();
    static void DescribeProperties(TPropertyTable& T);
    TwwVertEditSpacing* VerticalView() const { return FVertical.get(); }
    void SetVerticalView(TwwVertEditSpacing* Value) { FVertical->Assign(Value); }
    TwwHorzEditSpacing* HorizontalView() const { return FHorizontal.get(); }
    void SetHorizontalView(TwwHorzEditSpacing* Value) { FHorizontal->Assign(Value); }

private:
    std::unique_ptr<TwwVertEditSpacing> FVertical;
    std::unique_ptr<TwwHorzEditSpacing> FHorizontal;
};

class TwwMargin : public TPersistent {
    ZELMOR_CLASS(TwwMargin, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    int LeftOffset() const { return FLeft; }
    void SetLeftOffset(int Value) { FLeft = Value; }
    int RightOffset() const { return FRight; }
    void SetRightOffset(int Value) { FRight = Value; }
    int TopOffset() const { return FTop; }
    void SetTopOffset(int Value) { FTop = Value; }
    int BottomOffset() const { return FBottom; }
    void SetBottomOffset(int Value) { FBottom = Value; }

private:
    int FLeft = 5, FRight = 5, FTop = 5, FBottom = 5;
};

using TwwRecordViewFieldEvent = TEvent<void(TwwRecordViewForm* Form, TField* curField, bool& Accept)>;
using TwwRecordViewControlEvent = TEvent<void(TwwRecordViewForm* Form, TField* curField, TControl* Control)>;
using TwwRecordViewFormEvent = TEvent<void(TwwRecordViewForm* Form)>;
using TwwRecordViewEffectsEvent = TEvent<void(TwwRecordViewForm* Form, TField* curField, TControl* Control,
                                              TwwEditFrame* Frame, TwwButtonEffects* ButtonEffects)>;

class TwwRecordViewDialog : public TwwCustomDialog {
    ZELMOR_CLASS(TwwRecordViewDialog, TwwCustomDialog)
public:
    explicit TwwRecordViewDialog(TComponent* AOwner);
    ~TwwRecordViewDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override;
    virtual bool IsSingleLineEdit(TControl* Control);
    virtual bool DoBeforeCreateControl(TField* Field);
    virtual void DoAfterCreateControl(TField* Field, TControl* Control);
    virtual void DoSetControlEffects(TField* Field, TControl* Control, TwwEditFrame* Frame,
                                     TwwButtonEffects* ButtonEffects);
    virtual void DoInitDialog();
    virtual void DoCloseDialog();
    virtual void DoCancelWarning(bool& CanClose);
    virtual void PostAndClose();
    virtual void CancelAndClose();

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    TwwRecordViewStyle Style() const { return FStyle; }
    void SetStyle(TwwRecordViewStyle Value) { FStyle = Value; }
    TwwRecordViewOptions Options() const { return FOptions; }
    void SetOptions(TwwRecordViewOptions Value) { FOptions = Value; }
    TwwRecordViewControlOptions ControlOptions() const { return FControlOptions; }
    void SetControlOptions(TwwRecordViewControlOptions Value) { FControlOptions = Value; }
    TwwRecordViewOKCancelOptions OKCancelOptions() const { return FOKCancelOptions; }
    void SetOKCancelOptions(TwwRecordViewOKCancelOptions Value) { FOKCancelOptions = Value; }
    TStrings* Selected() const { return FSelected.get(); }
    void SetSelected(TStrings* Value) { FSelected->Assign(Value); }
    TStrings* ControlType() const { return FControlType.get(); }
    void SetControlType(TStrings* Value) { FControlType->Assign(Value); }
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value) { FControlInfoInDataset = Value; }
    TStrings* PictureMasks() const { return FPictureMasks.get(); }
    void SetPictureMasks(TStrings* Value) { FPictureMasks->Assign(Value); }
    bool PictureMaskFromDataSet() const { return FPictureMaskFromDataSet; }
    void SetPictureMaskFromDataSet(bool Value) { FPictureMaskFromDataSet = Value; }
    TwwEditSpacing* EditSpacing() const { return FEditSpacing.get(); }
    void SetEditSpacing(TwwEditSpacing* Value);
    // The frame every field control that has one takes a copy of.
    TwwEditFrame* EditFrame() const { return FEditFrame.get(); }
    void SetEditFrame(TwwEditFrame* Value);
    // Registering with a controller copies its frame into EditFrame.
    TwwController* Controller() const { return FController; }
    void SetController(TwwController* Value);
    TwwMargin* Margin() const { return FMargin.get(); }
    void SetMargin(TwwMargin* Value) { FMargin->Assign(Value); }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
    TwwFormPosition* FormPosition() const { return FFormPosition.get(); }
    void SetFormPosition(TwwFormPosition* Value) { FFormPosition->Assign(Value); }
    TwwNavButtonNavStylesEx NavigatorButtons() const { return FNavigatorButtons; }
    void SetNavigatorButtons(TwwNavButtonNavStylesEx Value) { FNavigatorButtons = Value; }
    // Accepted from form files; NavigatorButtons is what counts.
    int NavigatorVisibleButtons() const { return FNavigatorVisibleButtons; }
    void SetNavigatorVisibleButtons(int Value) { FNavigatorVisibleButtons = Value; }
    bool NavigatorFlat() const { return FNavigatorFlat; }
    void SetNavigatorFlat(bool Value) { FNavigatorFlat = Value; }
    // Shown as the form's menu bar when it has items.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TwwDBNavigator* Navigator() const { return FNavigator; }
    void SetNavigator(TwwDBNavigator* Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(TFont* Value) { FLabelFont->Assign(Value); }
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    void SetReadOnlyColor(TColor Value) { FReadOnlyColor = Value; }
    int LinesPerMemoControl() const { return FLinesPerMemoControl; }
    void SetLinesPerMemoControl(int Value) { FLinesPerMemoControl = Value; }

    TwwRecordViewForm* Form() const { return FForm; }
    // The field controls and their labels of the form, in order.
    const std::vector<TControl*>& Controls() const { return FControls; }
    const std::vector<TControl*>& Labels() const { return FLabels; }
    // What the layout measured: the label column's edge, the needed size.
    int LabelEdge() const { return FLabelEdge; }
    int NeededWidth() const { return FNeededWidth; }
    int NeededHeight() const { return FNeededHeight; }

    TwwRecordViewFieldEvent OnBeforeCreateControl;
    TwwRecordViewControlEvent OnAfterCreateControl;
    TwwRecordViewEffectsEvent OnSetControlEffects;
    TwwRecordViewFormEvent OnInitDialog;
    // An error raised here keeps the form open, silently.
    TwwRecordViewFormEvent OnCloseDialog;
    TwwRecordViewFormEvent OnResizeDialog;
    TEvent<void(TwwRecordViewForm* Form, bool& CanClose)> OnCancelWarning;

    // The form's hooks.
    void FormShow();
    void FormCloseQuery(bool& CanClose);
    void FormClose(TCloseAction& Action);
    void FormResize();
    void FormKeyDown(WORD& Key, TShiftState Shift);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TwwRecordViewForm;
    struct TShownField {
        TField* Field = nullptr;  // null: a Selected line naming no field
        AnsiString Text;
        int Width = 0;
        bool ReadOnly = false;
        AnsiString Checked, Unchecked;  // a check-box field's values
        bool CheckBox = false;
    };
    struct TBorrowed {
        TWinControl* Control;
        TRect Bounds;
        TWinControl* Parent;
        bool Visible;
        // Its button effects' Flat and Transparent, when it has button effects.
        bool HasEffects = false;
        bool Flat = false, Transparent = false;
    };
    std::vector<TShownField> ShownFields();
    bool IsShown(const TShownField& F) const;
    int NaturalWidth(int Chars) const;
    int MemoHeight() const;
    int Clamp(int Width, int Avail) const;
    TControl* PlaceField(const TShownField& F, TLabel* Label, int X, int Y, int Avail, int WidestNatural,
                         bool Horizontal);
    void LayoutVertical();
    void LayoutHorizontal();
    TControl* MakeCheckBox(const TShownField& F, TLabel* Label, int X, int Y, int Height);
    TLabel* MakeLabel(const TShownField& F, int X, int Y, int Width, TAlignment Alignment);
    void ShowMenu();
    void SetVerticalScroll(int Y, int Line);
    void SetHorizontalScroll(int Range);
    void FinishHeight(int Y);
    void ReturnBorrowed();
    bool AnyModified() const;

    std::unique_ptr<TDataLink> FDataLink;
    AnsiString FCaption = "Record View";
    TwwRecordViewStyle FStyle = rvsVertical;
    TwwRecordViewOptions FOptions{rvoUseCustomControls, rvoShortenEditBox, rvoModalForm,
                                  rvoConfirmCancel,     rvoCloseIsCancel,  rvoMaximizeMemoWidth,
                                  rvoUseDateTimePicker};
    TwwRecordViewControlOptions FControlOptions;
    TwwRecordViewOKCancelOptions FOKCancelOptions{rvokShowOKCancel, rvokAutoPostRec, rvokAutoCancelRec};
    std::unique_ptr<TStringList> FSelected, FControlType, FPictureMasks;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataSet = true;
    std::unique_ptr<TwwEditSpacing> FEditSpacing;
    std::unique_ptr<TwwMargin> FMargin;
    TFormBorderStyle FBorderStyle = bsSizeable;
    std::unique_ptr<TwwFormPosition> FFormPosition;
    std::unique_ptr<TwwEditFrame> FEditFrame;
    TwwController* FController = nullptr;
    TwwNavButtonNavStylesEx FNavigatorButtons = wwNavigationStyles;
    int FNavigatorVisibleButtons = 0;
    bool FNavigatorFlat = true;
    TwwDBNavigator* FNavigator = nullptr;
    TMainMenu* FMenu = nullptr;
    TWinControl* FNavigatorParent = nullptr;
    std::unique_ptr<TFont> FFont, FLabelFont;
    TColor FReadOnlyColor = TColor(0x80000000 | 19);
    int FLinesPerMemoControl = 2;

    TwwRecordViewForm* FForm = nullptr;
    std::vector<TControl*> FControls, FLabels;
    std::vector<TBorrowed> FBorrowed;
    int FLabelEdge = 0, FNeededWidth = 0, FNeededHeight = 0;
    bool FShrunk = false;  // the form was cut to the work area's height
    TButton* FOKButton = nullptr;
    TButton* FCancelButton = nullptr;
    enum { csNone, csOK, csCancel } FClosing = csNone;
};

class TwwRecordViewForm : public TForm {
    ZELMOR_CLASS(TwwRecordViewForm, TForm)
public:
    TwwRecordViewForm(TComponent* AOwner, TCreateNew Tag);
    ~TwwRecordViewForm() override;
    TwwRecordViewDialog* Dialog = nullptr;
    TPanel* NavigatorPanel = nullptr;
    TPanel* RecordPanel = nullptr;
    TPanel* ButtonPanel = nullptr;
    TwwDBNavigator* Navigator = nullptr;
    TScrollBox* ScrollBox = nullptr;
    bool MadeTopmost = false;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

// The framed memo editor of the record view (a memo field when the dialog's
// EditFrame is in effect): a multi-line library edit that wraps its words and
// takes returns; F2 opens the memo dialog on its field.
class TwwDBEditMemo : public TwwDBCustomEdit {
    ZELMOR_CLASS(TwwDBEditMemo, TwwDBCustomEdit)
public:
    explicit TwwDBEditMemo(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

// The memo of the record view: F2 opens the memo dialog on its field.
class TwwDBMemo : public TDBMemo {
    ZELMOR_CLASS(TwwDBMemo, TDBMemo)
public:
    explicit TwwDBMemo(TComponent* AOwner) : TDBMemo(AOwner) {}

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

// The memo dialog opened from a memo editor: caret, font and caption from the editor and its field.
class TwwMemoDialogPopup : public TwwMemoDialog {
    ZELMOR_CLASS(TwwMemoDialogPopup, TwwMemoDialog)
public:
    explicit TwwMemoDialogPopup(TComponent* AOwner) : TwwMemoDialog(AOwner) {}
    TField* Field = nullptr;
    TCustomEdit* Editor = nullptr;
    void DoInitDialog(TwwMemoDlg* Dialog) override;
};

// A check box that repaints its label as it gains and loses the focus.
class TwwDBCheckBox : public TDBCheckBox {
    ZELMOR_CLASS(TwwDBCheckBox, TDBCheckBox)
public:
    explicit TwwDBCheckBox(TComponent* AOwner) : TDBCheckBox(AOwner) {}
    TControl* Label = nullptr;

protected:
    void DoEnter() override;
    void DoExit() override;
};

// A label that outlines itself in dotted grey while its focus control has the focus.
class TwwLabel : public TLabel {
    ZELMOR_CLASS(TwwLabel, TLabel)
public:
    explicit TwwLabel(TComponent* AOwner) : TLabel(AOwner) {}

protected:
    void Paint() override;
};

// Opens the memo dialog on the editor's field (F2 in a memo editor).
void OpenMemoPopup(TCustomEdit* Editor, TDataSource* Source, const AnsiString& FieldName);
