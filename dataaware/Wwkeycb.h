#pragma once
// TwwIncrementalSearch: an edit that moves a data set to the first record
// whose search field begins with what has been typed. The search runs a
// short pause after the last key (200 ms; 100 ms on an open local table of
// the engine; or SearchDelay), by the table's index where there is one, by
// Locate, or by the field-value search; a handler can take it over. With
// ShowMatchText the edit completes the typed text with the found value and
// selects what it added.
#include <memory>
#include <string>

#include "dataaware/Wwtypes.h"
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
