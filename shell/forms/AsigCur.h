#pragma once
// Step 4: the subjects of the selected course in their three classes
// (optional, common, not used), classified anew from the course's students
// each time the screen opens. The optional grid shows the per-group limits
// of the course's groups only; closing the screen gives the common and
// unused subjects the course's figures.
//
// The course's number of groups is kept within 0..30 before columns are
// hidden: a negative NGRUP typed in the courses screen would otherwise hide
// columns left of the per-group ones (or of the grid itself).
//
// The per-group columns' group title is "Número máximo de alumnos" with ten
// blanks after it, which keeps it apart from the columns' own titles.
#include "platform/ui/Forms.h"

class TDataSet;
class TField;
class TRichEdit;
class TwwDBGrid;
class TwwDataSource;
class TwwTable;

class TAsigCurForm : public TForm {
    ZELMOR_CLASS(TAsigCurForm, TForm)
public:
    using TForm::TForm;
    ~TAsigCurForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TAsigCurOpt = nullptr;
    TwwTable* TAsigCurCom = nullptr;
    TwwTable* TAsigCurNoUs = nullptr;
    TwwDataSource* DSAsigCurOpt = nullptr;
    TwwDataSource* DSAsigCurCom = nullptr;
    TwwDataSource* DSAsigCurNoUs = nullptr;
    TwwDBGrid* DBGridAsigCurOpt = nullptr;
    TwwDBGrid* DBGridAsigCurCom = nullptr;
    TwwDBGrid* DBGridAsigCurNoUs = nullptr;
    TRichEdit* RichEdit1 = nullptr;

    // The course's groups as the screen last read them (0 before a course
    // was found in `cursos`).
    int NGrup() const { return FNGrup; }

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridAsigCurOptEnter(TObject* Sender);
    void DBGridAsigCurComEnter(TObject* Sender);
    void DBGridAsigCurNoUsEnter(TObject* Sender);
    void TAsigCurOptNewRecord(TDataSet* DataSet);
    void TAsigCurComNewRecord(TDataSet* DataSet);
    void TAsigCurNoUsNewRecord(TDataSet* DataSet);
    void TAsigCurOptCUENTAChange(TField* Sender);
    void TAsigCurOptNASALUMChange(TField* Sender);

private:
    void FilaNueva(TDataSet& Tabla, int Tipo);
    // The last N handed out: the course's largest when the screen opened,
    // counted up by each row typed in.
    int FUltimoN = 0;
    int FNGrup = 0;
};

extern TAsigCurForm* AsigCurForm;
