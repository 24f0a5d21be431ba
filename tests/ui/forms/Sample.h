#pragma once
// The sample screen: a header, two edits for a name and a surname, a button
// that asks in a dialog of its own (Confirm) before it saves, and a status
// shape that turns green once something was saved.
#include "platform/ui/Forms.h"
#include "tests/ui/TestControls.h"

class TSampleForm : public TForm {
    ZELMOR_CLASS(TSampleForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TTestPanel* Header = nullptr;
    TTestEdit* EName = nullptr;
    TTestEdit* ESurname = nullptr;
    TTestButton* BSave = nullptr;
    TTestShape* Status = nullptr;
    // What the dialog answered last, and how often the answer was OK.
    TModalResult Answer = mrNone;
    int Saved = 0;

    void BSaveClick(TObject* Sender);
};
