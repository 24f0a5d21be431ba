#pragma once
// The tab dialog of the rich edit: the tab stops of the selected paragraph
// in the control's measurement units, set one by one, cleared, and applied
// on OK (at most the control's 32).
#include "platform/ui/Forms.h"

class TwwCustomRichEdit;
class TEdit;
class TListBox;
class TButton;
class TGroupBox;

class TwwRichTabDialog : public TForm {
    ZELMOR_CLASS(TwwRichTabDialog, TForm)
public:
    TwwRichTabDialog(TComponent* AOwner, TCreateNew Tag);
    // The rich edit the dialog works for; labels the dialog.
    void SetRichEdit(TwwCustomRichEdit* Value);
    void ApplyLabels();

    TGroupBox* GroupBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button1 = nullptr;  // Set
    TButton* Button2 = nullptr;  // Clear
    TButton* OKButton = nullptr;
    TButton* Button3 = nullptr;  // Cancel
    TButton* Button4 = nullptr;  // Clear All

    // Adds the edit's measure (from 0 to 22 inches) once, in order; anything
    // else is passed over. The edit is emptied when a measure was taken.
    void SetClick();
    void ClearClick();
    void ClearAllClick();

private:
    // The measure's number without its unit marks, or empty when it is none.
    bool ReadMeasure(const AnsiString& Text, double& Number, int& Twips) const;
    void OKButtonClick();
    TwwCustomRichEdit* FRichEdit = nullptr;
};
