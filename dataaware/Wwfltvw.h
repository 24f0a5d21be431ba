#pragma once
// The filter dialog's summary: a modal form listing the criteria, one row
// each (field, how it is searched, the value or the range), read-only.
#include "dataaware/wwfltdlg.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"

class TwwFilterDialogView : public TForm {
    ZELMOR_CLASS(TwwFilterDialogView, TForm)
public:
    TwwFilterDialogView(TComponent* AOwner, TCreateNew Tag);
    TStringGrid* StringGrid1 = nullptr;
    TButton* CancelBtn = nullptr;
    // Fills the grid: the header from the settings, one row per criterion.
    void Fill(TwwFilterDialog* Dialog, const TwwFieldInfoList& Criteria);
};

// The three cells of a criterion's row.
void SummaryRow(TwwFilterDialog* Dialog, const TwwFieldInfo& Info, AnsiString Cells[3]);
// Shows the summary modally and frees it.
void ShowFilterSummary(TwwFilterDialog* Dialog, const TwwFieldInfoList& Criteria);
