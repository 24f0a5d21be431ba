#pragma once
// The filter dialog's hidden form: it carries the record callback that tests
// each record of the filtered data set against the dialog's criteria, with
// what the test reuses from record to record (the value parameter of data
// sets that are not the library's, the stream and hidden rich edit that turn
// rich text into plain text).
#include <memory>

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

private:
    // The field's text in the record being filtered (dates in the short
    // formats, empty when null).
    AnsiString FieldText(TField* Field);
    TParam* FieldValue(TField* Field);
    std::unique_ptr<TParam> FParam;
    std::unique_ptr<TMemoryStream> FStream;
    TCustomRichEdit* FRichEdit = nullptr;
};
