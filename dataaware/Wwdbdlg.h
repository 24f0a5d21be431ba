#pragma once
// TwwDBLookupComboDlg: the published lookup combo of the library. It keeps
// everything of the lookup combo (the data field, the lookup table, the
// value, the typing search, the keys and the focus) but drops down the
// modal lookup form (wwidlg.h) in place of the drop-down grid: its button
// shows an ellipsis, and the button, Alt+Down, F4, a click in
// csDropDownList or a typed key with AutoDropDown run the form over the
// lookup table. OK writes the chosen record's key into the data field
// (also the second and third key fields into same-named fields of the data
// set); Cancel writes nothing.
//
// A grid uses it as the cell editor of the columns that a "CustomEdit"
// ControlType line names it for; it is then usually invisible until the
// grid places it in a cell.
//
// Decisions:
// - GridOptions is stored unless it equals what the constructor sets
//   (10236): a form that sets exactly that set reads it back.
// - Names and the search text handed to the form are cut to 63 characters,
//   as the combo has always cut them.
#include <memory>

#include "dataaware/wwdblook.h"
#include "dataaware/wwidlg.h"

class TwwDBLookupComboDlg : public TwwDBCustomLookupCombo {
    ZELMOR_CLASS(TwwDBLookupComboDlg, TwwDBCustomLookupCombo)
public:
    explicit TwwDBLookupComboDlg(TComponent* AOwner);
    ~TwwDBLookupComboDlg() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwDBLookupDlgOptions Options() const { return FOptions; }
    void SetOptions(TwwDBLookupDlgOptions Value) { FOptions = Value; }
    TwwDBGridOptions GridOptions() const { return FGridOptions; }
    void SetGridOptions(TwwDBGridOptions Value) { FGridOptions = Value; }
    TColor GridColor() const { return FGridColor; }
    void SetGridColor(TColor Value) { FGridColor = Value; }
    TAlignment GridTitleAlignment() const { return FGridTitleAlignment; }
    void SetGridTitleAlignment(TAlignment Value) { FGridTitleAlignment = Value; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { FMaxHeight = Value; }
    const AnsiString& UserButton1Caption() const { return FUserButton1Caption; }
    void SetUserButton1Caption(const AnsiString& Value) { FUserButton1Caption = Value; }
    const AnsiString& UserButton2Caption() const { return FUserButton2Caption; }
    void SetUserButton2Caption(const AnsiString& Value) { FUserButton2Caption = Value; }
    bool PictureMaskFromField() const { return FPictureMaskFromField; }
    void SetPictureMaskFromField(bool Value) { FPictureMaskFromField = Value; }
    TStrings* ControlType() const { return FControlType.get(); }
    void SetControlType(TStrings* Value);
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value) { FControlInfoInDataset = Value; }
    TStrings* PictureMasks() const { return FPictureMasks.get(); }
    void SetPictureMasks(TStrings* Value);
    bool PictureMaskFromDataset() const { return FPictureMaskFromDataset; }
    void SetPictureMaskFromDataset(bool Value) { FPictureMaskFromDataset = Value; }

    TwwUserButtonEvent OnUserButton1Click;
    TwwUserButtonEvent OnUserButton2Click;
    TwwOnInitDialogEvent OnInitDialog;
    TwwOnInitDialogEvent OnCloseDialog;
    TNotifyEvent OnSortChange;

    // Runs the lookup form over the lookup table and writes what it chose.
    void DropDown() override;
    bool CopiesLinkedFields() override { return true; }

private:
    bool GlyphStored() const;
    TwwLookupDialogSettings DialogSettings(const AnsiString& InitialText);
    // The lookup table on the record of the combo's value (plain fields).
    void PositionOnCurrentValue();
    bool DropDownLinked(const AnsiString& InitialText, bool Typed);
    void DropDownPlain(const AnsiString& InitialText, bool Typed);

    TwwDBLookupDlgOptions FOptions{opShowOKCancel, opShowSearchBy};
    TwwDBGridOptions FGridOptions = wwLookupDialogGridOptions;
    TColor FGridColor = clWhite;
    TAlignment FGridTitleAlignment = taLeftJustify;
    AnsiString FCaption = "Lookup";
    int FMaxWidth = 0;
    int FMaxHeight = 209;
    AnsiString FUserButton1Caption, FUserButton2Caption;
    bool FPictureMaskFromField = false;
    std::unique_ptr<TStringList> FControlType;
    std::unique_ptr<TStringList> FPictureMasks;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataset = true;
};
