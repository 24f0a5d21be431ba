#include "shell/forms/Listados.h"

#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/report/Report.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/StdCtrls.h"
#include "shell/Listado.h"
#include "shell/SchoolTables.h"
#include "shell/forms/SelecListados.h"

ZELMOR_IMPLEMENT_COMPONENT(TListadosForm, TForm)

TListadosForm* ListadosForm = nullptr;

// The printed page keeps the column places and point sizes of the listing's
// form. The subjects column starts 93.1 mm into the band and widens to its
// text, but only about 97 mm are left to the right margin, where up to 100
// characters of subject codes would need some 150 mm: the report cuts the
// text at the right margin to the characters that fit whole. The places and
// sizes stay as they are (a smaller font or a second line would change the
// page everyone knows), and a student with that many subjects is rare: the
// schools list seven to ten.

TListadosForm::~TListadosForm() {
    if (ListadosForm == this) ListadosForm = nullptr;
}

void TListadosForm::DescribeProperties(TPropertyTable& T) {
    using F = TListadosForm;
    T.Field("TAlum", &F::TAlum);
    T.Field("QR", &F::QR);
    T.Field("QRBand1", &F::QRBand1);
    T.Field("LabelTitulo", &F::LabelTitulo);
    T.Field("QRBand2", &F::QRBand2);
    T.Handler("TAlumCalcFields", &F::TAlumCalcFields);
    T.Handler("QRBand2BeforePrint", &F::QRBand2BeforePrint);
}

void TListadosForm::Prepara(const AnsiString& TNC) {
    TAlum->Open();
    // Annulled students are listed like the others: only the course counts.
    FiltraPorCurso(*TAlum, TNC);

    auto* Dialogo = NewComponent<TSelecListadosForm>(this);
    SelecListadosForm = Dialogo;
    try {
        Dialogo->ShowModal();
        // However the dialog was closed, what it shows is what is listed.
        ListadoMostrarAsig = Dialogo->CBMostrarAsig->Checked();
        ListadoGrupo = Dialogo->EditGrup->Text();
        ListadoAsig = Dialogo->EditAsig->Text();
        ListadoDiv = Dialogo->EditDiv->Text();
    } catch (...) {
        Dialogo->Free();
        throw;
    }
    Dialogo->Free();
    LabelTitulo->SetCaption(TituloListado(TNC));
}

void TListadosForm::TAlumCalcFields(TDataSet* DataSet) {
    DataSet->FieldByName("ASIGS")->SetAsString(AsignaturasListado(*DataSet));
}

void TListadosForm::QRBand2BeforePrint(TReportBand*, bool& PrintBand) { PrintBand = AlumnoEnListado(*TAlum); }
