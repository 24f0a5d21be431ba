#pragma once
// TwwIncrementalSearch: an edit that moves a data set to the first record
// whose search field begins with what has been typed. The search runs a
// short pause after the last key (200 ms; 100 ms on an open local table of
// the engine; or SearchDelay), by the table's index where there is one, by
// Locate, or by the field-value search; a handler can take it over. With
// ShowMatchText the edit completes the typed text with the found value and
// selects what it added.
//
// TwwKeyCombo: a drop-down list of a data set's sort orders that switches
// the data set to the one picked. A table lists one item per index, named by
// the display label of its first field (" - Desc" after a descending one),
// or by the index names with ShowAllIndexes; a data set ordered by field
// lists its searchable fields and sets IndexFieldNames.
//
// Decision: the combo shows the current order by setting its own text while
// it fills its items; that text change is not a pick, so it never switches
// the data set's order (only a change made by the user does).
#include <memory>
#include <string>

#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwtypes.h"
#include "platform/db/DataSource.h"
#include "platform/ui/StdCtrls.h"

class TDataLink;
class TDataSource;
class TTimer;
class TwwIncrementalSearch;

enum TwwSearchCaseSensitivity : uint8_t { wwcsAutoDetect, wwcsCaseSensitive, wwcsCaseInsensitive };
ZELMOR_DECLARE_ENUM(TwwSearchCaseSensitivity);

using TwwAfterSearchEvent = TEvent<void(TwwIncrementalSearch* Sender, bool MatchFound)>;

class TwwIncrementalSearch : public TCustomEdit {
    ZELMOR_CLASS(TwwIncrementalSearch, TCustomEdit)
public:
    explicit TwwIncrementalSearch(TComponent* AOwner);
    ~TwwIncrementalSearch() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    // Empty: the data set's index decides the field.
    const AnsiString& SearchField() const { return FSearchField; }
    void SetSearchField(const AnsiString& Value) { FSearchField = Value; }
    // Milliseconds of pause before the search; 0 keeps the automatic delay.
    int SearchDelay() const { return FSearchDelay; }
    void SetSearchDelay(int Value) { FSearchDelay = Value; }
    TwwSearchCaseSensitivity CaseSensitivity() const { return FCaseSensitivity; }
    void SetCaseSensitivity(TwwSearchCaseSensitivity Value) { FCaseSensitivity = Value; }
    bool ShowMatchText() const { return FShowMatchText; }
    void SetShowMatchText(bool Value) { FShowMatchText = Value; }
    const AnsiString& PictureMask() const { return FPictureMask; }
    void SetPictureMask(const AnsiString& Value) { FPictureMask = Value; }
    bool PictureMaskAutoFill() const { return FPictureMaskAutoFill; }
    void SetPictureMaskAutoFill(bool Value) { FPictureMaskAutoFill = Value; }
    // Takes the search field's mask from the data set's PictureMasks lines.
    bool PictureMaskFromField() const { return FPictureMaskFromField; }
    void SetPictureMaskFromField(bool Value) { FPictureMaskFromField = Value; }

    TwwAfterSearchEvent OnAfterSearch;
    TwwPerformSearchEvent OnPerformCustomSearch;

    // Searches now for the text.
    void Search();
    // Runs a pending delayed search now (before the lookup form closes).
    void SearchNow();
    // Empties the text and forgets the last search.
    void Clear();
    // The field whose picture mask applies to typing.
    AnsiString GetSearchFieldName();
    virtual void DoPerformCustomSearch(const AnsiString& SearchField, const AnsiString& SearchValue,
                                       bool PerformLookup, bool& Found);
    // The delay timer (its interval is the pause in force).
    TTimer* DelayTimer() const { return FTimer; }

protected:
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TDataSet* SearchedDataSet() const;

    std::unique_ptr<TDataLink> FDataLink;
    TTimer* FTimer;
    AnsiString FSearchField;
    int FSearchDelay = 0;
    TwwSearchCaseSensitivity FCaseSensitivity = wwcsAutoDetect;
    bool FShowMatchText = false;
    AnsiString FPictureMask;
    bool FPictureMaskAutoFill = true;
    bool FPictureMaskFromField = false;
    AnsiString FLastSearched;
};

class TwwKeyCombo;
using TwwKeyComboCloseUpEvent = TEvent<void(TwwKeyCombo* Sender, bool Select)>;

// Tells the key combo when its data set opens or changes.
class TwwKeyDataLink : public TDataLink {
public:
    explicit TwwKeyDataLink(TwwKeyCombo* Combo) : FCombo(Combo) {}

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;

private:
    TwwKeyCombo* FCombo;
};

class TwwKeyCombo : public TwwDBCustomComboBox {
    ZELMOR_CLASS(TwwKeyCombo, TwwDBCustomComboBox)
public:
    explicit TwwKeyCombo(TComponent* AOwner);
    ~TwwKeyCombo() override;
    static void DescribeProperties(TPropertyTable& T);

    TDataSource* DataSource() const;
    // A source whose data set carries no index information is refused with a warning.
    void SetDataSource(TDataSource* Value);
    bool ShowAllIndexes() const { return FShowAllIndexes; }
    void SetShowAllIndexes(bool Value);
    // The text of an index without a name; empty reads as "PrimaryKey".
    AnsiString PrimaryKeyName() const {
        return FPrimaryKeyName.empty() ? AnsiString("PrimaryKey") : FPrimaryKeyName;
    }
    void SetPrimaryKeyName(const AnsiString& Value) { FPrimaryKeyName = Value; }

    virtual void DataChanged();
    virtual bool IsFieldModeDataSet(TDataSet* DataSet);
    // Rebuilds the items and selects the current order; with a grid, only
    // the fields in its Selected lines are offered.
    void FillItems(TComponent* Grid = nullptr);
    void RefillItems();
    void CloseUp(bool Accept) override;
    void DropDown() override;

    TwwKeyComboCloseUpEvent OnCloseUp;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change() override;

private:
    TDataSet* KeyDataSet() const;
    void SelectItem(int Index);
    // False when the data set cannot be ordered (warned).
    bool ChangeTableOrder(TDataSet* DataSet);

    std::unique_ptr<TwwKeyDataLink> FKeyDataLink;
    bool FShowAllIndexes = false;
    AnsiString FPrimaryKeyName = "PrimaryKey";
    bool FRefilling = false;
    bool FChanging = false;
    bool FFilling = false;
};
