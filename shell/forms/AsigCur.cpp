#include "shell/forms/AsigCur.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/ui/RichEdit.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"
#include "shell/forms/Registros.h"

ZELMOR_IMPLEMENT_COMPONENT(TAsigCurForm, TForm)

TAsigCurForm* AsigCurForm = nullptr;

namespace {
constexpr int MaxGrupos = 30;
// The optional grid's column of "G1": after the indicator and nine columns.
constexpr int ColumnaG1 = 10;
}  // namespace

TAsigCurForm::~TAsigCurForm() {
    if (AsigCurForm == this) AsigCurForm = nullptr;
}

void TAsigCurForm::DescribeProperties(TPropertyTable& T) {
    using F = TAsigCurForm;
    T.Field("TAsigCurOpt", &F::TAsigCurOpt);
    T.Field("TAsigCurCom", &F::TAsigCurCom);
    T.Field("TAsigCurNoUs", &F::TAsigCurNoUs);
    T.Field("DSAsigCurOpt", &F::DSAsigCurOpt);
    T.Field("DSAsigCurCom", &F::DSAsigCurCom);
    T.Field("DSAsigCurNoUs", &F::DSAsigCurNoUs);
    T.Field("DBGridAsigCurOpt", &F::DBGridAsigCurOpt);
    T.Field("DBGridAsigCurCom", &F::DBGridAsigCurCom);
    T.Field("DBGridAsigCurNoUs", &F::DBGridAsigCurNoUs);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("DBGridAsigCurOptEnter", &F::DBGridAsigCurOptEnter);
    T.Handler("DBGridAsigCurComEnter", &F::DBGridAsigCurComEnter);
    T.Handler("DBGridAsigCurNoUsEnter", &F::DBGridAsigCurNoUsEnter);
    T.Handler("TAsigCurOptNewRecord", &F::TAsigCurOptNewRecord);
    T.Handler("TAsigCurComNewRecord", &F::TAsigCurComNewRecord);
    T.Handler("TAsigCurNoUsNewRecord", &F::TAsigCurNoUsNewRecord);
    T.Handler("TAsigCurOptCUENTAChange", &F::TAsigCurOptCUENTAChange);
    T.Handler("TAsigCurOptNASALUMChange", &F::TAsigCurOptNASALUMChange);
}

void TAsigCurForm::FormCreate(TObject*) {
    if (!HayVentanaPrincipal()) return;
    PonMenuRejillas({DBGridAsigCurOpt, DBGridAsigCurCom, DBGridAsigCurNoUs});
    const TAppState& estado = EstadoPrograma();
    const AnsiString& tnc = estado.TNCSeleccionado;
    SetCaption("Asignaturas de [" + estado.RutaDatos + "] " + tnc);
    for (TwwTable* t : {TAsigCurOpt, TAsigCurCom, TAsigCurNoUs}) t->Close();
    FUltimoN = ClasificaAsignaturas(TAsigCurOpt->DatabaseName(), tnc);
    // The course's key goes into the filters quoted, whatever it holds.
    const struct {
        TwwTable* Tabla;
        int Tipo;
        const char* Orden;
    } clases[] = {{TAsigCurOpt, TipoOptativa, "N"},
                  {TAsigCurCom, TipoComun, "ASIG"},
                  {TAsigCurNoUs, TipoNoUsada, "ASIG"}};
    for (const auto& c : clases) {
        FiltraPorClase(*c.Tabla, tnc, c.Tipo);
        c.Tabla->SetIndexFieldNames(c.Orden);
        c.Tabla->Open();
        c.Tabla->First();
    }
}

void TAsigCurForm::FormActivate(TObject*) {
    int ngrup = 0;
    if (GruposDelCurso(TAsigCurOpt->DatabaseName(), EstadoPrograma().TNCSeleccionado, ngrup)) {
        FNGrup = ngrup;
        for (int g = AcotaGrupos(ngrup) + 1; g <= MaxGrupos; ++g)
            DBGridAsigCurOpt->SetColWidthQuietly(ColumnaG1 + g - 1, -1);
    }
    ColocaPantallaRegistros(*this);
}

void TAsigCurForm::DBGridAsigCurOptEnter(TObject*) { EstadoPrograma().SetTablaActual(TAsigCurOpt); }

void TAsigCurForm::DBGridAsigCurComEnter(TObject*) { EstadoPrograma().SetTablaActual(TAsigCurCom); }

void TAsigCurForm::DBGridAsigCurNoUsEnter(TObject*) { EstadoPrograma().SetTablaActual(TAsigCurNoUs); }

// A row typed in takes the class of its grid and the next number; the
// grid menu's NLinea is not used here.
void TAsigCurForm::FilaNueva(TDataSet& Tabla, int Tipo) {
    Tabla.FieldByName("TNC")->SetAsString(EstadoPrograma().TNCSeleccionado);
    Tabla.FieldByName("N")->SetAsInteger(++FUltimoN);
    Tabla.FieldByName("TIPO")->SetAsInteger(Tipo);
    Tabla.FieldByName("MOSTRAR")->SetAsBoolean(true);
}

void TAsigCurForm::TAsigCurOptNewRecord(TDataSet* DataSet) { FilaNueva(*DataSet, TipoOptativa); }

void TAsigCurForm::TAsigCurComNewRecord(TDataSet* DataSet) { FilaNueva(*DataSet, TipoComun); }

void TAsigCurForm::TAsigCurNoUsNewRecord(TDataSet* DataSet) { FilaNueva(*DataSet, TipoNoUsada); }

void TAsigCurForm::TAsigCurOptCUENTAChange(TField* Sender) { PropagaEnBloque(*TAsigCurOpt, *Sender); }

void TAsigCurForm::TAsigCurOptNASALUMChange(TField* Sender) { PropagaEnBloque(*TAsigCurOpt, *Sender); }

void TAsigCurForm::FormClose(TObject*, TCloseAction&) {
    for (TwwTable* t : {TAsigCurOpt, TAsigCurCom, TAsigCurNoUs})
        if (t->Active()) t->CheckBrowseMode();
    if (TAsigCurCom->Active() && TAsigCurNoUs->Active())
        FijaCifrasAlCerrar(*TAsigCurCom, *TAsigCurNoUs, FNGrup);
    for (TwwTable* t : {TAsigCurOpt, TAsigCurCom, TAsigCurNoUs}) t->Close();
}
