#pragma once
// A small screen that notes what happens to it: its creation (with the
// edit its form gave it) and each save, with the name typed.
#include <string>
#include <vector>

#include "platform/ui/Forms.h"
#include "tests/ui/TestControls.h"

class TAlumnosForm : public TForm {
    ZELMOR_CLASS(TAlumnosForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TTestPanel* Header = nullptr;
    TTestEdit* EName = nullptr;
    TTestButton* BSave = nullptr;
    std::vector<std::string> Done;

    void FormCreate(TObject* Sender);
    void BSaveClick(TObject* Sender);
};
