#pragma once
// The field-value search: a record whose value in one field equals the text,
// begins with it or holds it, with or without regard to case, from the first
// record or after the current one. It takes the fastest road the data set
// allows: the table's key search when the field leads its current index, the
// data set's Locate when asked, a scan of the engine cursor for plain fields
// of the engine's data sets (the data set neither scrolls nor tells its
// controls until the hit), and the data set's own walk otherwise. Memo
// fields are searched as text, rich text as its plain text.
#include <string>

#include "platform/rtl/AnsiString.h"

class TDataSet;
class TField;
class TCustomRichEdit;

// Case-insensitive searches compare by the locale fold (accented letters too).
// The data set stands on the found record; after a miss it stands where it
// stood (a failed key search of a table whose index leads with the field
// leaves it where the key search did). MatchType: mtExactMatch,
// mtPartialMatchStart, mtPartialMatchAny (wwhelpers.h).
bool FindFieldValue(bool FromFirst, TDataSet* DataSet, const AnsiString& FieldName,
                    const AnsiString& SearchText, int MatchType, bool CaseSensitive, bool UseLocate);

// Value against a search text already upper-cased unless case-sensitive.
bool TextMatches(const AnsiString& Value, const AnsiString& SearchText, int MatchType, bool CaseSensitive);
// A memo's text (with a rich edit: its rich text's plain text) compared the same way.
bool MemoMatches(TField* Field, const AnsiString& SearchText, TCustomRichEdit* RichEdit, bool CaseSensitive,
                 int MatchType);

// ---------------------------------------------------------------------------
// The locate dialog: a small modal form in which the user picks a field,
// types a value, chooses how it must match and moves the data set to the
// first or the next record that matches (FindFieldValue). The component keeps
// the field, the value, the match type and the case choice between calls.
// ---------------------------------------------------------------------------
#include "dataaware/wwDialog.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DataSource.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

class TwwLocateDlg;

enum TwwFieldSortType { fsSortByFieldNo, fsSortByFieldName };
ZELMOR_DECLARE_ENUM(TwwFieldSortType);
enum TwwDefaultButtonType { dbFindFirst, dbFindNext };
ZELMOR_DECLARE_ENUM(TwwDefaultButtonType);
enum TwwFieldSelection { fsAllFields, fsVisibleFields };
ZELMOR_DECLARE_ENUM(TwwFieldSelection);
enum TwwLocateDlgOption { ldoCaseSensitiveBelow, ldoCloseOnMatch, ldoPreserveSearchText };
ZELMOR_DECLARE_ENUM(TwwLocateDlgOption);
using TwwLocateDlgOptions = TSet<TwwLocateDlgOption>;

class TwwLocateDialog : public TwwCustomDialog {
    ZELMOR_CLASS(TwwLocateDialog, TwwCustomDialog)
public:
    explicit TwwLocateDialog(TComponent* AOwner);
    ~TwwLocateDialog() override;
    static void DescribeProperties(TPropertyTable& T);

    // False when there is no active data set to search (after saying so).
    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override;
    virtual void DoInitDialog();

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const AnsiString& SearchField() const { return FSearchField; }
    void SetSearchField(const AnsiString& Value) { FSearchField = Value; }
    TwwLocateMatchType MatchType() const { return FMatchType; }
    void SetMatchType(TwwLocateMatchType Value) { FMatchType = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    TwwFieldSortType SortFields() const { return FSortFields; }
    void SetSortFields(TwwFieldSortType Value) { FSortFields = Value; }
    TwwDefaultButtonType DefaultButton() const { return FDefaultButton; }
    void SetDefaultButton(TwwDefaultButtonType Value) { FDefaultButton = Value; }
    TwwFieldSelection FieldSelection() const { return FFieldSelection; }
    void SetFieldSelection(TwwFieldSelection Value) { FFieldSelection = Value; }
    // Kept for form files; the no-match boxes show whatever it says.
    bool ShowMessages() const { return FShowMessages; }
    void SetShowMessages(bool Value) { FShowMessages = Value; }
    bool UseLocateMethod() const { return FUseLocateMethod; }
    void SetUseLocateMethod(bool Value) { FUseLocateMethod = Value; }
    TwwLocateDlgOptions Options() const { return FOptions; }
    void SetOptions(TwwLocateDlgOptions Value) { FOptions = Value; }
    // The text searched last, offered again with its field.
    const AnsiString& SearchText() const { return FSearchText; }
    TwwLocateDlg* Form() const { return FForm; }

    TEvent<void(TwwLocateDlg* Dialog)> OnInitDialog;
    TEvent<void(TwwLocateDlg* Dialog, const AnsiString& SearchField)> OnSelectField;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TDataLink> FDataLink;
    AnsiString FCaption = "Locate Field Value";
    AnsiString FSearchField;
    TwwLocateMatchType FMatchType = mtPartialMatchStart;
    bool FCaseSensitive = false;
    TwwFieldSortType FSortFields = fsSortByFieldName;
    TwwDefaultButtonType FDefaultButton = dbFindNext;
    TwwFieldSelection FFieldSelection = fsAllFields;
    bool FShowMessages = true;
    bool FUseLocateMethod = false;
    TwwLocateDlgOptions FOptions{ldoCloseOnMatch};
    AnsiString FSearchText;
    TwwLocateDlg* FForm = nullptr;
};

// The form of the locate dialog, made in code as designed (client 212 by 238).
class TwwLocateDlg : public TForm {
    ZELMOR_CLASS(TwwLocateDlg, TForm)
public:
    TwwLocateDlg(TComponent* AOwner, TCreateNew Tag);

    TGroupBox* FieldValueGroup = nullptr;
    TEdit* SearchValue = nullptr;
    TGroupBox* SearchTypeGroup = nullptr;
    TCheckBox* CaseSensitiveCheckBox = nullptr;
    TPanel* Panel1 = nullptr;
    TRadioButton* ExactMatchBtn = nullptr;
    TRadioButton* PartialMatchStartBtn = nullptr;
    TRadioButton* PartialMatchAnyBtn = nullptr;
    TGroupBox* FieldsGroup = nullptr;
    TComboBox* FieldNameComboBox = nullptr;
    TButton* FirstButton = nullptr;
    TButton* NextButton = nullptr;
    TButton* CancelBtn = nullptr;

    TDataSet* DataSet = nullptr;
    TwwLocateDialog* Dialog = nullptr;

    TwwLocateMatchType MatchType() const;
    // The search from the first record or after the current one; false on no match.
    bool FindMatch(bool FromFirst);
    void FormShow(TObject* Sender);
    void FirstButtonClick(TObject* Sender);
    void NextButtonClick(TObject* Sender);
    void FieldNameComboBoxChange(TObject* Sender);

private:
    void SetDefaultFor(bool ListFocused);
};

// The field whose display label ("~" read as a blank) is the text: a data
// field before a calculated or lookup one; empty when none.
AnsiString LocateFieldNameOf(TDataSet* DataSet, const AnsiString& DisplayText);
