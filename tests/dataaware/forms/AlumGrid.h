#pragma once
// The students' grid as the students screen sets it up: the table of
// students with its check-box lines, a grid of 47 columns from Selected lines
// (forty of them under one group header), two title lines, one fixed column,
// the screen's title, grid and alternating colours, title buttons and Enter
// to the next cell; one column painted silver by OnCalcCellColors.
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"

class TwwDBGrid;
class TwwTable;
class TwwDataSource;
class TField;
class TFont;
class TBrush;

class TAlumGridForm : public TForm {
    ZELMOR_CLASS(TAlumGridForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TwwTable* TAlum = nullptr;
    TwwDataSource* DSAlum = nullptr;
    TwwDBGrid* DBGridAlum = nullptr;

    // The title buttons clicked, by the names the grid gave.
    std::vector<AnsiString> TitleClicks;

    // The options column (OPCION) is silver.
    void DBGridAlumCalcCellColors(TObject* Sender, TField* Field, TGridDrawState State, bool Highlight,
                                  TFont* AFont, TBrush* ABrush);
    void DBGridAlumTitleButtonClick(TObject* Sender, const AnsiString& AFieldName);
};
