#pragma once
// The subtype editor's grid as the type editor sets it up: the working
// table of subtypes with its check-box and "CustomEdit" lines, the grid of
// its count, option, repeater and twenty subject columns (under one group
// header), and the invisible lookup-dialog combo over the subjects of the
// course that edits every subject cell.
#include "platform/ui/Forms.h"

class TwwDBGrid;
class TwwDBLookupComboDlg;
class TwwDataSource;
class TwwTable;

class TTiposGridForm : public TForm {
    ZELMOR_CLASS(TTiposGridForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T);
    TwwTable* wwTableTipos = nullptr;
    TwwDataSource* DSTipos = nullptr;
    TwwTable* wwTableAsigcur = nullptr;
    TwwDBGrid* wwDBGridTipGrup = nullptr;
    TwwDBLookupComboDlg* wwDBLookupComboDlg1 = nullptr;
};
