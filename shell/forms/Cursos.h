#pragma once
// Step 2: the courses, with their group figures. The course to work on is
// the row the user stands on when the screen closes: FormClose stores it as
// the selected course. A row edited and not yet posted is posted first (by
// the data set's CheckBrowseMode, as a close would), so the key stored is
// the one the row holds after that post.
#include "platform/ui/Forms.h"

class TDataSet;
class TRichEdit;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TCursosForm : public TForm {
    ZELMOR_CLASS(TCursosForm, TForm)
public:
    using TForm::TForm;
    ~TCursosForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TCursos = nullptr;
    TwwDataSource* DSCursos = nullptr;
    TwwDBGrid* DBGridCursos = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridCursosEnter(TObject* Sender);
    void DBGridCursosRowChanged(TObject* Sender);
    void TCursosBeforePost(TDataSet* DataSet);
    void TCursosNewRecord(TDataSet* DataSet);

private:
    void PonTitulo(const AnsiString& TNC);
};

extern TCursosForm* CursosForm;
