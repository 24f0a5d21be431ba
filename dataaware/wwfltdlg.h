#pragma once
// The filter dialog: a component that lets the user state search criteria
// for the fields of a data set and then restricts the data set to the
// records that match. A criterion is a value (matched exactly, at the start
// or anywhere; an OR or AND list of pieces; the null word; with or without
// case; negated or not) or a range. The criteria are applied locally (a
// filter expression, a record callback or both, DatasetFilterType) or, for a
// data set with a statement, by rewriting the statement's WHERE clause and
// reopening it.
//
// Texts built from the user's values are always safe to hand on: a value's
// quotes are doubled inside whichever literal holds it, range bounds alike,
// and a piece for a numeric column that is no number after OnEncodeValue is
// written as a quoted literal, never as bare text. A criterion that adds no
// condition (a blob, lookup or calculated field in an expression; a match
// anywhere without LIKE; a range on a type without order) takes its
// connector with it: the first condition written has none, so the statement
// and the expression stay valid.
//
// The statement's clause scanner skips what stands in parentheses: a
// subquery's WHERE, ORDER and the like are not the statement's. Rounding's
// RoundingMethod is kept but takes part in no comparison: Epsilon is an
// absolute tolerance. A DlgHeight of 267 or less stays 267. A data set that
// is a TTable always filters locally (FilterMethod fdByFilter). On this
// engine a statement data set does not open: after the rewriting's warning
// the reopening fails with the engine's "not supported" error.
#include <functional>
#include <memory>
#include <vector>

#include "dataaware/wwDialog.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Properties.h"
#include "platform/db/DB.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/StringList.h"

class TDataSet;
class TField;
class TwwFilterDialog;
class TwwFilterDlg;
class TwwDummyForm;

enum TwwFilterDialogOption {
    fdCaseSensitive,
    fdShowCaseSensitive,
    fdShowOKCancel,
    fdShowViewSummary,
    fdShowFieldOrder,
    fdShowValueRangeTab,
    fdShowNonMatching,
    fdHidePartialAnywhere,
    fdDisableDateTimePicker,
    fdSizeable,
    fdTabsAtTop
};
ZELMOR_DECLARE_ENUM(TwwFilterDialogOption);
using TwwFilterDialogOptions = TSet<TwwFilterDialogOption>;
enum TwwFilterMatchType { fdMatchStart, fdMatchAny, fdMatchExact, fdMatchEnd, fdMatchRange, fdMatchNone };
ZELMOR_DECLARE_ENUM(TwwFilterMatchType);
enum TwwFilterMethod { fdByFilter, fdByQueryModify, fdByQueryParams };
ZELMOR_DECLARE_ENUM(TwwFilterMethod);
enum TwwDefaultFilterBy { fdSmartFilter, fdFilterByRange, fdFilterByValue };
ZELMOR_DECLARE_ENUM(TwwDefaultFilterBy);
enum TwwFilterDialogSort { fdSortByFieldNo, fdSortByFieldName };
ZELMOR_DECLARE_ENUM(TwwFilterDialogSort);
enum TwwFilterFieldsFetchType { fmUseTTable, fmUseSQL, fmUseTFields };
ZELMOR_DECLARE_ENUM(TwwFilterFieldsFetchType);
enum TwwFilterOptimization { fdNone, fdUseAllIndexes, fdUseActiveIndex };
ZELMOR_DECLARE_ENUM(TwwFilterOptimization);
enum TwwQueryFormatDateMode { qfdMonthDayYear, qfdDayMonthYear, qfdYearMonthDay };
ZELMOR_DECLARE_ENUM(TwwQueryFormatDateMode);
enum TwwDatasetFilterType { fdUseOnFilter, fdUseFilterProp, fdUseBothFilterTypes };
ZELMOR_DECLARE_ENUM(TwwDatasetFilterType);
enum TwwOnFilterPropertyOption { fdClearWhenNoCriteria, fdClearWhenCloseDataSet };
ZELMOR_DECLARE_ENUM(TwwOnFilterPropertyOption);
using TwwOnFilterPropertyOptions = TSet<TwwOnFilterPropertyOption>;
enum TwwFilterDialogRoundingMethod { fdrmFixed, fdrmRelative };
ZELMOR_DECLARE_ENUM(TwwFilterDialogRoundingMethod);

// One criterion.
struct TwwFieldInfo {
    AnsiString FieldName;    // the data set's field; resolved from DisplayName when empty
    AnsiString DisplayName;  // as the field list shows it ("~" as a blank)
    TwwFilterMatchType MatchType = fdMatchStart;
    AnsiString FilterValue;
    AnsiString MinValue, MaxValue;
    bool CaseSensitive = false;
    bool NonMatching = false;
    bool operator==(const TwwFieldInfo&) const = default;
};
using TwwFieldInfoList = std::vector<TwwFieldInfo>;

// One entry of the field catalog.
struct TwwDBFieldInfo {
    AnsiString FieldName;     // the name the dialog uses
    AnsiString SQLFieldName;  // the column's name in the statement
    AnsiString TableName;     // the table or alias that qualifies the column; may be empty
    TFieldType DataType = ftUnknown;
    AnsiString DisplayLabel;
    int Size = 0;
};
using TwwDBFieldInfoList = std::vector<TwwDBFieldInfo>;

class TwwFieldOperators : public TPersistent {
    ZELMOR_CLASS(TwwFieldOperators, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    const AnsiString& OrChar() const { return FOr; }
    void SetOrChar(const AnsiString& Value) { Store(FOr, Value); }
    const AnsiString& AndChar() const { return FAnd; }
    void SetAndChar(const AnsiString& Value) { Store(FAnd, Value); }
    const AnsiString& NullChar() const { return FNull; }
    void SetNullChar(const AnsiString& Value) { Store(FNull, Value); }

private:
    // Trims the text; two operators alike (any case) are warned of and kept.
    void Store(AnsiString& Field, const AnsiString& Value);
    AnsiString FOr = "or", FAnd = "and", FNull = "null";
};

class TwwFilterDialogRounding : public TPersistent {
    ZELMOR_CLASS(TwwFilterDialogRounding, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    // The absolute tolerance of float comparisons.
    double Epsilon() const { return FEpsilon; }
    void SetEpsilon(double Value) { FEpsilon = Value; }
    // Stored only: no comparison reads it.
    TwwFilterDialogRoundingMethod RoundingMethod() const { return FMethod; }
    void SetRoundingMethod(TwwFilterDialogRoundingMethod Value) { FMethod = Value; }

private:
    double FEpsilon = 0.0001;
    TwwFilterDialogRoundingMethod FMethod = fdrmFixed;
};

class TwwFilterPropertyOptions : public TPersistent {
    ZELMOR_CLASS(TwwFilterPropertyOptions, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    TwwDatasetFilterType DatasetFilterType() const { return FType; }
    void SetDatasetFilterType(TwwDatasetFilterType Value) { FType = Value; }
    bool UseLikeOperator() const { return FUseLike; }
    void SetUseLikeOperator(bool Value) { FUseLike = Value; }
    const AnsiString& LikeWildcardChar() const { return FWildcard; }
    void SetLikeWildcardChar(const AnsiString& Value) { FWildcard = Value; }
    bool LikeSupportsUpperKeyword() const { return FLikeUpper; }
    void SetLikeSupportsUpperKeyword(bool Value) { FLikeUpper = Value; }
    bool UseBracketsAroundFields() const { return FBrackets; }
    void SetUseBracketsAroundFields(bool Value) { FBrackets = Value; }

private:
    TwwDatasetFilterType FType = fdUseOnFilter;
    bool FUseLike = false;
    AnsiString FWildcard = "%";
    bool FLikeUpper = false;
    bool FBrackets = true;
};

class TwwSQLTablesCollectionItem : public TCollectionItem {
    ZELMOR_CLASS(TwwSQLTablesCollectionItem, TCollectionItem)
public:
    explicit TwwSQLTablesCollectionItem(TCollection* Collection) : TCollectionItem(Collection) {}
    static void DescribeProperties(TPropertyTable& T);
    const AnsiString& TableName() const { return FTableName; }
    void SetTableName(const AnsiString& Value) { FTableName = Value; }
    const AnsiString& TableAliasName() const { return FTableAliasName; }
    void SetTableAliasName(const AnsiString& Value) { FTableAliasName = Value; }
    AnsiString DisplayName() const override;

private:
    AnsiString FTableName, FTableAliasName;
};

class TwwSQLTablesCollection : public TOwnedCollection {
    ZELMOR_CLASS(TwwSQLTablesCollection, TOwnedCollection)
public:
    explicit TwwSQLTablesCollection(TPersistent* Owner)
        : TOwnedCollection(Owner, TwwSQLTablesCollectionItem::StaticClassInfo()) {}
    TwwSQLTablesCollectionItem* Item(int Index) const {
        return static_cast<TwwSQLTablesCollectionItem*>(Items(Index));
    }
};

class TwwFilterDataLink : public TDataLink {
    ZELMOR_CLASS(TwwFilterDataLink, TDataLink)
public:
    explicit TwwFilterDataLink(TwwFilterDialog* Dialog) : FDialog(Dialog) {}

protected:
    void ActiveChanged() override;

private:
    TwwFilterDialog* FDialog;
};

using TwwEncodeValueEvent =
    TEvent<void(TFieldType AFieldType, const AnsiString& AFieldName, AnsiString& AUserValue)>;
using TwwEncodeDateTimeEvent = TEvent<void(TDateTime ADateTime, TFieldType AFieldType,
                                           const AnsiString& AFieldName, AnsiString& FormattedDateStr)>;

class TwwFilterDialog : public TwwCustomDialog {
    ZELMOR_CLASS(TwwFilterDialog, TwwCustomDialog)
    friend class TwwFilterDataLink;

public:
    explicit TwwFilterDialog(TComponent* AOwner);
    ~TwwFilterDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override;
    virtual void ShowSummary(TwwFieldInfoList& Criteria);
    virtual AnsiString GetSQLPropertyName();
    virtual void DoInitDialog();
    virtual void DataSetActiveChanged(bool Active);
    virtual void DoSelectField(const AnsiString& FieldName, AnsiString& PictureMask, TStrings* List);
    virtual void DoInitTempDataSet(TDataSet* DataSet, TDataSet* TempDataSet);
    virtual void DoAcceptFilterRecord(TDataSet* DataSet, bool& Accept, bool& DefaultFiltering);
    virtual void BuildSQLFieldCatalog();
    virtual void BuildFieldCatalog();
    virtual void InsertWhereLines(TStrings* Lines);
    virtual TComponent* GetSQLOwner(TDataSet* DataSet);
    virtual void RebuildFieldCatalog();

    // --- properties ---
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TwwFilterDialogOptions Options() const { return FOptions; }
    void SetOptions(TwwFilterDialogOptions Value) { FOptions = Value; }
    TwwFilterDialogSort SortBy() const { return FSortBy; }
    void SetSortBy(TwwFilterDialogSort Value) { FSortBy = Value; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    TwwFilterMethod FilterMethod() const { return FFilterMethod; }
    void SetFilterMethod(TwwFilterMethod Value);
    TwwFilterMatchType DefaultMatchType() const { return FDefaultMatchType; }
    void SetDefaultMatchType(TwwFilterMatchType Value) { FDefaultMatchType = Value; }
    TwwDefaultFilterBy DefaultFilterBy() const { return FDefaultFilterBy; }
    void SetDefaultFilterBy(TwwDefaultFilterBy Value) { FDefaultFilterBy = Value; }
    const AnsiString& DefaultField() const { return FDefaultField; }
    void SetDefaultField(const AnsiString& Value) { FDefaultField = Value; }
    TStrings* SelectedFields() const { return FSelectedFields.get(); }
    void SetSelectedFields(TStrings* Value) { FSelectedFields->Assign(Value); }
    TwwFilterFieldsFetchType FieldsFetchMethod() const { return FFieldsFetchMethod; }
    void SetFieldsFetchMethod(TwwFilterFieldsFetchType Value) { FFieldsFetchMethod = Value; }
    TwwFieldOperators* FieldOperators() const { return FFieldOperators.get(); }
    void SetFieldOperators(TwwFieldOperators* Value) { FFieldOperators->Assign(Value); }
    TwwFilterDialogRounding* Rounding() const { return FRounding.get(); }
    void SetRounding(TwwFilterDialogRounding* Value) { FRounding->Assign(Value); }
    TwwFilterPropertyOptions* FilterPropertyOptions() const { return FFilterPropertyOptions.get(); }
    void SetFilterPropertyOptions(TwwFilterPropertyOptions* Value) { FFilterPropertyOptions->Assign(Value); }
    TwwOnFilterPropertyOptions OnFilterPropertyOptions() const { return FOnFilterOptions; }
    void SetOnFilterPropertyOptions(TwwOnFilterPropertyOptions Value) { FOnFilterOptions = Value; }
    TwwFilterOptimization FilterOptimization() const { return FFilterOptimization; }
    void SetFilterOptimization(TwwFilterOptimization Value) { FFilterOptimization = Value; }
    uint16_t UpperRangePadChar() const { return FUpperRangePadChar; }
    void SetUpperRangePadChar(uint16_t Value) { FUpperRangePadChar = Value; }
    // At 96 pixels per inch; 267 or less is taken as 267.
    int DlgHeight() const { return FDlgHeight; }
    void SetDlgHeight(int Value) { FDlgHeight = Value > 267 ? Value : 267; }
    TwwQueryFormatDateMode QueryFormatDateMode() const { return FQueryFormatDateMode; }
    void SetQueryFormatDateMode(TwwQueryFormatDateMode Value) { FQueryFormatDateMode = Value; }
    TwwSQLTablesCollection* SQLTables() const { return FSQLTables.get(); }
    void SetSQLTables(TwwSQLTablesCollection* Value) { FSQLTables->Assign(Value); }
    const AnsiString& SQLUpperString() const { return FSQLUpperString; }
    void SetSQLUpperString(const AnsiString& Value) { FSQLUpperString = Value; }
    const AnsiString& SQLPropertyName() const { return FSQLPropertyName; }
    void SetSQLPropertyName(const AnsiString& Value) { FSQLPropertyName = Value; }

    // --- state ---
    TwwFieldInfoList& FieldInfo() { return FFieldInfo; }
    TwwDBFieldInfoList& FieldCatalog() { return FCatalog; }
    TStrings* OriginalSQL() const { return FOriginalSQL.get(); }
    TwwFilterDlg* Form() const { return FForm; }
    TwwDummyForm* DummyForm();
    // True while the dialog itself closes and reopens the data set.
    bool Guarded() const { return FGuard; }

    // --- what OK starts: the working criteria in place of the dialog's, applied ---
    void ApplyCriteria(const TwwFieldInfoList& Criteria);
    // The criteria applied to the data set as FilterMethod and the data set say.
    void ApplyFilter();
    // Local filtering: the expression, the callback, the index range.
    void ApplyLocalFilter();
    // The statement rewritten with the criteria and reopened.
    void RewriteSQL();

    // --- the texts (public so that they can be read and tested as text) ---
    // The condition lines of the statement; false (after the warning) when a
    // criterion names no catalog entry.
    bool BuildSQLLines(TStrings* Lines);
    // The lines of the filter expression, or false when a field is missing
    // (after the warning).
    bool BuildFilterLines(TDataSet* DataSet, TStrings* Lines);
    // The expression the lines make: each line after a blank.
    static AnsiString FilterExpression(TStrings* Lines);
    // The SQL date, time and date-time texts in QueryFormatDateMode, after OnEncodeDateTime.
    AnsiString SQLDateText(TDateTime Value, TFieldType Type, const AnsiString& FieldName);
    AnsiString SQLTimeText(TDateTime Value, TFieldType Type, const AnsiString& FieldName);
    AnsiString SQLDateTimeText(TDateTime Value, TFieldType Type, const AnsiString& FieldName);
    // Pads a text with UpperRangePadChar up to Size.
    AnsiString ExtendUpperBound(const AnsiString& Text, int Size) const;
    // OrChar, AndChar or empty.
    AnsiString FindValueOperator(const AnsiString& Value) const;
    // The piece from Position on (-1 after the last).
    AnsiString NextValuePiece(const AnsiString& Value, const AnsiString& Operator, int& Position) const;
    // The catalog entry of a criterion (FieldName resolved), or null.
    const TwwDBFieldInfo* CatalogEntry(TwwFieldInfo& Info);
    // The criterion's field name from its display name, through SelectedFields.
    void ResolveFieldName(TwwFieldInfo& Info);

    // --- the record test (the callback's work) ---
    bool RecordAccepted(TDataSet* DataSet);
    bool CriterionAccepts(TDataSet* DataSet, TwwFieldInfo& Info);
    // Whether the record callback is installed on the data set.
    bool CallbackInstalled() const { return FCallbackOn; }

    TEvent<void(TwwFilterDlg* Dialog)> OnInitDialog;
    TEvent<void(TwwFilterDlg* Dialog, TDataSet* Query)> OnExecuteSQL;
    TwwEncodeValueEvent OnEncodeValue;
    TwwEncodeDateTimeEvent OnEncodeDateTime;
    TEvent<void(TObject* Sender, const AnsiString& FieldName, AnsiString& PictureMask, TStrings* ComboList)>
        OnSelectField;
    TEvent<void(TObject* Sender, TDataSet* OrigDataSet, TDataSet* TempDataSet)> OnInitTempDataSet;
    TEvent<void(TObject* Sender, TDataSet* DataSet, bool& Accept, bool& DefaultFiltering)>
        OnAcceptFilterRecord;
    TEvent<void(TObject* Sender, TwwFieldInfoList& AFieldInfo, bool& DoDefault)> OnDialogSummary;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The pieces of a value, each made a condition by Make (false: none),
    // joined by the value's operator in parentheses; empty when none is made.
    AnsiString JoinConditions(const AnsiString& Value, const AnsiString& Operator, bool DoubleQuotes,
                              const std::function<bool(AnsiString, AnsiString&)>& Make);
    // The equality of a date, time or date-time column with the piece read as one.
    bool DateCondition(const AnsiString& Column, TFieldType Type, const AnsiString& Piece,
                       const AnsiString& FieldName, AnsiString& Condition);
    void InstallCallback(TDataSet* DataSet, bool On);
    bool ApplyFilterExpression(TDataSet* DataSet);
    void ApplyIndexRange(TDataSet* DataSet);
    AnsiString ValueText(TDataSet* DataSet, TField* Field);

    std::unique_ptr<TwwFilterDataLink> FDataLink;
    TwwDummyForm* FDummyForm = nullptr;
    TwwFieldInfoList FFieldInfo;
    TwwDBFieldInfoList FCatalog;
    std::unique_ptr<TStringList> FOriginalSQL;
    TwwFilterDlg* FForm = nullptr;
    bool FGuard = false;
    bool FRangeApplied = false;
    bool FCallbackOn = false;

    TwwFilterDialogOptions FOptions{fdShowCaseSensitive, fdShowOKCancel, fdShowViewSummary, fdShowFieldOrder,
                                    fdShowValueRangeTab};
    TwwFilterDialogSort FSortBy = fdSortByFieldNo;
    AnsiString FCaption;
    TwwFilterMethod FFilterMethod = fdByFilter;
    TwwFilterMatchType FDefaultMatchType = fdMatchStart;
    TwwDefaultFilterBy FDefaultFilterBy = fdSmartFilter;
    AnsiString FDefaultField;
    std::unique_ptr<TStringList> FSelectedFields;
    TwwFilterFieldsFetchType FFieldsFetchMethod = fmUseTTable;
    std::unique_ptr<TwwFieldOperators> FFieldOperators;
    std::unique_ptr<TwwFilterDialogRounding> FRounding;
    std::unique_ptr<TwwFilterPropertyOptions> FFilterPropertyOptions;
    TwwOnFilterPropertyOptions FOnFilterOptions{fdClearWhenNoCriteria, fdClearWhenCloseDataSet};
    TwwFilterOptimization FFilterOptimization = fdNone;
    uint16_t FUpperRangePadChar = 'z';
    int FDlgHeight = 267;
    TwwQueryFormatDateMode FQueryFormatDateMode = qfdMonthDayYear;
    std::unique_ptr<TwwSQLTablesCollection> FSQLTables;
    AnsiString FSQLUpperString;
    AnsiString FSQLPropertyName;
};

// Whether the type is one of the numbers that a statement or an expression
// writes without quotes.
bool IsUnquotedNumberType(TFieldType Type);

// ---------------------------------------------------------------------------
// The form of the filter dialog ("Super Search"): the field list with its
// all/searched tabs and its order, the value page (value, match type, case,
// negation) and the range page (from, to), the summary and new-search
// buttons, OK and Cancel. It works on a copy of the dialog's criteria and
// hands it back only on OK.
// ---------------------------------------------------------------------------
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

class TwwDBEdit;
class TwwDBComboBox;
class TwwDBDateTimePicker;

class TwwFilterDlg : public TForm {
    ZELMOR_CLASS(TwwFilterDlg, TForm)
public:
    TwwFilterDlg(TComponent* AOwner, TCreateNew Tag);
    // The form's start: the working copy, the catalog, OK and Cancel.
    void Start(TwwFilterDialog* Dialog);

    TPanel* FieldCriteriaPanel = nullptr;
    TLabel* FieldCriteria = nullptr;
    TPageControl* SelectNotebook = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TLabel* FieldValueLbl = nullptr;
    TwwDBEdit* FilterValueEdit = nullptr;
    TwwDBComboBox* FilterValueCombo = nullptr;
    TButton* FilterValueClearButton = nullptr;
    TRadioGroup* MatchTypeGroup = nullptr;
    TPanel* Panel1 = nullptr;
    TCheckBox* CaseSensitive = nullptr;
    TCheckBox* Nonmatching = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TLabel* StartingRangeLbl = nullptr;
    TEdit* MinValueEdit = nullptr;
    TwwDBDateTimePicker* MinDateEdit = nullptr;
    TButton* MinValueClearButton = nullptr;
    TLabel* EndingRangeLbl = nullptr;
    TEdit* MaxValueEdit = nullptr;
    TwwDBDateTimePicker* MaxDateEdit = nullptr;
    TButton* MaxValueClearButton = nullptr;
    TPanel* ButtonPanel = nullptr;
    TButton* ViewButton = nullptr;
    TButton* ClearSearchButton = nullptr;
    TPanel* FieldListPanel = nullptr;
    TLabel* FieldsLbl = nullptr;
    TTabControl* FieldTabSet = nullptr;
    TListBox* FieldsListBox = nullptr;
    TRadioGroup* FieldOrder = nullptr;
    TPanel* OKCancelPanel = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    TwwFilterDialog* Dialog = nullptr;
    TDataSet* DataSet = nullptr;
    TwwFieldInfoList Working;
    bool CriteriaChanged = false;

    // The field shown now (its catalog entry), null when none.
    const TwwDBFieldInfo* CurrentField() const { return FCurrent; }
    // The value control in use: FilterValueEdit or FilterValueCombo.
    TWinControl* ValueControl() const { return FValueControl; }
    bool OnValuePage() const { return SelectNotebook->ActivePage() == TabSheet1; }
    // The range control in use for a bound: the edit, or the date-time
    // editor of a date or date-time field.
    TCustomEdit* RangeControl(bool Upper) const { return Upper ? FMaxControl : FMinControl; }
    // The range bounds as the criterion keeps them. From the date-time
    // editors: the date alone, with its time only on a date-time field (the
    // starting bound when its time is not midnight; the ending bound when
    // the editor has a time or shows one), so that an ending date without a
    // time takes in its whole day.
    AnsiString RangeText(bool Upper) const;
    // Stores what is typed for the current field, then takes the selected
    // list item as the current field and shows its criterion; false (the
    // offending control focused) when a value does not suit the field.
    bool CommitAndLoad();
    void FillFieldList();

    void FormShow(TObject* Sender);
    void FieldsListBoxClick(TObject* Sender);
    void ViewButtonClick(TObject* Sender);
    void ClearSearchButtonClick(TObject* Sender);
    void FieldTabSetChanging(TObject* Sender, bool& AllowChange);
    void FieldOrderClick(TObject* Sender);
    void OKBtnClick(TObject* Sender);
    void ControlChange(TObject* Sender);

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    bool Commit();
    void Load();
    void ChoosePage();
    // Focuses the value control, or the starting bound on the range page.
    void FocusEntry();
    void UpdateButtons();
    bool IsTypedField(const TwwDBFieldInfo* Entry) const;
    AnsiString ValueText() const;
    void SetValueText(const AnsiString& Text);
    int FindCriterion(const AnsiString& DisplayName) const;
    void ApplyTexts();
    // Shows a bound in the range control in use; the date-time editors take
    // a date-time or a date text, and are emptied by any other.
    void SetRangeText(bool Upper, const AnsiString& Text);
    // The edits, or the date-time editors for a date or date-time field
    // unless fdDisableDateTimePicker.
    void ChooseRangeControls();
    std::vector<const TwwDBFieldInfo*> FItems;
    const TwwDBFieldInfo* FCurrent = nullptr;
    TWinControl* FValueControl = nullptr;
    TCustomEdit* FMinControl = nullptr;
    TCustomEdit* FMaxControl = nullptr;
    bool FActivated = false;
    bool FLoading = false;
};
