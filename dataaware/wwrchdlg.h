#pragma once
// The paragraph dialog of the rich edit: alignment, indents and spacing of
// the selected paragraphs in the control's measurement units, applied on OK
// once every measure is valid.
#include "platform/ui/Forms.h"

class TwwCustomRichEdit;
class TEdit;
class TComboBox;
class TButton;
class TLabel;
class TGroupBox;

class TwwRichParagraphDialog : public TForm {
    ZELMOR_CLASS(TwwRichParagraphDialog, TForm)
public:
    TwwRichParagraphDialog(TComponent* AOwner, TCreateNew Tag);
    void SetRichEdit(TwwCustomRichEdit* Value);
    void ApplyLabels();

    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TComboBox* AlignmentCombo = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TEdit* LeftEdit = nullptr;
    TEdit* RightEdit = nullptr;
    TEdit* FirstLineEdit = nullptr;
    TGroupBox* SpacingGroup = nullptr;
    TEdit* BeforeParagraphEdit = nullptr;
    TEdit* AfterParagraphEdit = nullptr;
    TComboBox* LineSpacingComboBox = nullptr;
    TEdit* WithinParagraphEdit = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* BeforeParagraphLabel = nullptr;
    TLabel* AfterParagraphLabel = nullptr;
    TLabel* WithinParagraphLabel = nullptr;
    TLabel* WithinParagraphAt = nullptr;

    // Whether a text is a measure the dialog accepts: a number (unit marks
    // aside) within 22 inches either way.
    bool IsValidMeasure(const AnsiString& Text) const;

private:
    void OKBtnClick();
    void LineSpacingChange();
    void WithinChange();
    TwwCustomRichEdit* FRichEdit = nullptr;
    bool FFilling = false;
};
