#pragma once
// The filter dialog's hidden form: it carries the record callback that tests
// each record of the filtered data set against the dialog's criteria, with
// what the test reuses from record to record (the value parameter of data
// sets that are not the library's, the stream and hidden rich edit that turn
// rich text into plain text). Its creation takes no name-space lock: forms
// are made on the user-interface thread only, so there is nothing to guard.
#include <memory>
#include <vector>

#include "dataaware/wwfltdlg.h"
#include "platform/ui/Forms.h"

class TCustomRichEdit;
class TMemoryStream;
class TParam;

class TwwDummyForm : public TForm {
    ZELMOR_CLASS(TwwDummyForm, TForm)
public:
    TwwDummyForm(TComponent* AOwner, TCreateNew Tag);
    ~TwwDummyForm() override;

    TwwFilterDialog* Dialog = nullptr;
    // The record being tested.
    TDataSet* DataSet = nullptr;

    // Whether the record the data set reads now passes every criterion
    // (OnAcceptFilterRecord may decide first).
    bool FilterRecord(TDataSet* Table);
    // One criterion against the record, before its negation.
    bool CriterionAccepts(TDataSet* Table, TwwFieldInfo& Info);
    // Drops what was read of earlier criteria (the criteria changed).
    void Forget() { FPrepared.clear(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // What a criterion's texts give once read (its pieces, its bounds as
    // numbers or dates), kept while the criterion stays the same: the
    // callback runs for every record.
    struct TPrepared {
        TwwFieldInfo Info;
        bool Or = false;
        std::vector<AnsiString> Pieces;
        bool HasLow = false, HasHigh = false;
        double Low = 0, High = 0;
        bool WholeDay = false;
        // The field it was found on, and that field's data set; cleared when the field goes.
        TDataSet* DataSet = nullptr;
        TField* Field = nullptr;
    };
    TPrepared& Prepare(const TwwFieldInfo& Info, TField* Field);
    std::vector<TPrepared> FPrepared;
    // The field's text in the record being filtered (dates in the short
    // formats, empty when null).
    AnsiString FieldText(TField* Field);
    TParam* FieldValue(TField* Field);
    // The data set being filtered as a library table (its own reader), or null.
    class TwwTable* LibraryTable();
    TDataSet* FCastDataSet = nullptr;
    class TwwTable* FLibraryTable = nullptr;
    std::unique_ptr<TParam> FParam;
    std::unique_ptr<TMemoryStream> FStream;
    TCustomRichEdit* FRichEdit = nullptr;
};
