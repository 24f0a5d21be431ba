#include "shell/forms/Tipos.h"

#include <algorithm>
#include <optional>

#include "dataaware/Wwtable.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Fields.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcRvCbx.h"
#include "reportview/OvcSplit.h"
#include "shell/AppState.h"
#include "shell/forms/EdiTipGrup.h"
#include "shell/forms/EdiTipos.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Reloj.h"
#include "shell/forms/Trasladar.h"

ZELMOR_IMPLEMENT_COMPONENT(TTiposForm, TForm)

TTiposForm* TiposForm = nullptr;

namespace {
// The screen sits under the main window's strip and leaves the task bar free.
constexpr int ArribaTipos = 60, MargenInferior = 85;
// The grids keep at least this many lines; more when there are more subjects.
constexpr int LineasRejilla = 100;

// The row under the focused line of a view: the line's own, or the first
// of the group the focused line stands for. Null when nothing is focused.
void* FilaEnfocada(TOvcDbReportView* V, bool* EsGrupo = nullptr) {
    void* item = V->GetCurrentItem();
    if (EsGrupo) *EsGrupo = false;
    if (item) return item;
    if (TOvcRvIndexGroup* g = V->GetCurrentGroup()) {
        if (EsGrupo) *EsGrupo = true;
        return V->GetGroupElement(g);
    }
    return nullptr;
}

// The display text of a field of that row.
std::optional<AnsiString> TextoEnfocado(TOvcDbReportView* V, TDataSet* Tabla, const char* Campo,
                                        bool* EsGrupo = nullptr) {
    void* fila = FilaEnfocada(V, EsGrupo);
    if (!fila || !Tabla->Active()) return std::nullopt;
    return V->GetFieldAsString(fila, Tabla->FieldByName(Campo)->Index());
}

std::optional<int> NEnfocado(TOvcDbReportView* V, TDataSet* Tabla, bool* EsGrupo = nullptr) {
    std::optional<AnsiString> n = TextoEnfocado(V, Tabla, "N", EsGrupo);
    int valor = 0;
    if (!n || !TryStrToInt(Trim(*n), valor)) return std::nullopt;
    return valor;
}

void PonRejilla(TStringGrid* G, const std::vector<std::vector<AnsiString>>& Lineas) {
    const int filas = std::max(LineasRejilla, static_cast<int>(Lineas.size()));
    if (G->RowCount() != filas) G->SetRowCount(filas);
    for (int f = 0; f < filas; ++f)
        for (int c = 0; c < G->ColCount(); ++c) {
            const bool hay =
                f < static_cast<int>(Lineas.size()) && c < static_cast<int>(Lineas[size_t(f)].size());
            G->SetCells(c, f, hay ? Lineas[size_t(f)][size_t(c)] : AnsiString());
        }
}
}  // namespace

TTiposForm::TTiposForm(TComponent* AOwner) : TForm(AOwner) {}

TTiposForm::~TTiposForm() {
    if (TiposForm == this) TiposForm = nullptr;
}

void TTiposForm::DescribeProperties(TPropertyTable& T) {
    using F = TTiposForm;
    T.Field("TTipos", &F::TTipos);
    T.Field("TTipGrup", &F::TTipGrup);
    T.Field("TConex", &F::TConex);
    T.Field("DSTipos", &F::DSTipos);
    T.Field("DSTipGrup", &F::DSTipGrup);
    T.Field("DSConex", &F::DSConex);
    T.Field("OvcController1", &F::OvcController1);
    T.Field("OvcSplitter1", &F::OvcSplitter1);
    T.Field("ODBRVTipos", &F::ODBRVTipos);
    T.Field("ODBRVTipGrup", &F::ODBRVTipGrup);
    T.Field("ODBRVConex", &F::ODBRVConex);
    T.Field("SGTipos", &F::SGTipos);
    T.Field("SGTipGrup", &F::SGTipGrup);
    T.Field("PBotones", &F::PBotones);
    T.Field("BCalcularTipos", &F::BCalcularTipos);
    T.Field("BTrasladarAbajo", &F::BTrasladarAbajo);
    T.Field("BTrasladarArriba", &F::BTrasladarArriba);
    T.Field("BEditarTipos", &F::BEditarTipos);
    T.Field("BEditarTipGrup", &F::BEditarTipGrup);
    T.Field("BOrgAuto", &F::BOrgAuto);
    T.Field("LabVistasTipos", &F::LabVistasTipos);
    T.Field("LabVistasGrupos", &F::LabVistasGrupos);
    T.Field("OvcViewComboBox1", &F::OvcViewComboBox1);
    T.Field("OvcViewComboBox2", &F::OvcViewComboBox2);
    T.Field("CBMostrarComunes", &F::CBMostrarComunes);
    T.Field("CBOpcion", &F::CBOpcion);
    T.Field("CBRepite", &F::CBRepite);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("FormCloseQuery", &F::FormCloseQuery);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("TTiposBeforePost", &F::TTiposBeforePost);
    T.Handler("TTiposNewRecord", &F::TTiposNewRecord);
    T.Handler("TTipGrupCalcFields", &F::TTipGrupCalcFields);
    T.Handler("ODBRVTiposDblClick", &F::ODBRVTiposDblClick);
    T.Handler("ODBRVTipGrupDblClick", &F::ODBRVTipGrupDblClick);
    T.Handler("ODBRVTiposEnter", &F::ODBRVTiposEnter);
    T.Handler("ODBRVTipGrupEnter", &F::ODBRVTipGrupEnter);
    T.Handler("ODBRVTipGrupMouseUp", &F::ODBRVTipGrupMouseUp);
    T.Handler("ODBRVTipGrupKeyUp", &F::ODBRVTipGrupKeyUp);
    T.Handler("ODBRVTiposEnumerate", &F::ODBRVTiposEnumerate);
    T.Handler("BRecontarClick", &F::BRecontarClick);
    T.Handler("BAbajoClick", &F::BAbajoClick);
    T.Handler("BArribaClick", &F::BArribaClick);
    T.Handler("CBMostrarComunesClick", &F::CBMostrarComunesClick);
    T.Handler("BOrgAutoClick", &F::BOrgAutoClick);
}

// --- lifecycle ---

void TTiposForm::MuestraEspera() {
    auto* espera = NewComponent<TEsperaForm>(Owner());
    EsperaForm = espera;
    espera->Texto->SetCaption("Clasificando los tipos");
    espera->Show();
    espera->Update();
}

void TTiposForm::QuitaEspera() {
    if (!EsperaForm) return;
    EsperaForm->Close();
    EsperaForm->Free();
}

void TTiposForm::FormCreate(TObject*) {
    SGTipos->SetColWidths(0, 28);
    SGTipos->SetColWidths(1, 23);
    SGTipGrup->SetColWidths(0, 42);
    SGTipGrup->SetColWidths(1, 22);
    SGTipGrup->SetColWidths(2, 23);
}

void TTiposForm::Abre(const TAppState& Estado) {
    FEstado = &Estado;
    SetCaption("Tipos de " + Estado.Turno + " " + Estado.Nivel + " " + Estado.Curso);
    SetBounds(0, ArribaTipos, Screen->Width(), Screen->Height() - MargenInferior);
    MuestraEspera();
    try {
        FMotor = std::make_unique<TMotorTipos>(Estado.Database()->DatabaseName(), Estado.TNCSeleccionado);
        FMotor->Abre();
        Reconstruye();
        TotalesTipos();
        TotalesGrupo();
    } catch (...) {
        QuitaEspera();
        throw;
    }
    QuitaEspera();
}

// A close that would merge under the organizer's run or an editor waits:
// they are modal, but the window manager may still ask this window to close.
void TTiposForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (FOrganizando || FEditando) CanClose = false;
}

// A merge that another program refuses keeps the screen open with its work
// when the user does not drop it: the step machine stays on the step.
void TTiposForm::FormClose(TObject*, TCloseAction& Action) {
    if (!FMotor || FMotor->Cerrado()) return;
    CierraTablas();
    switch (FMotor->CierraTrabajo(PreguntaDescartarTipos)) {
    case TCierreTipos::Pendiente:
        Action = caNone;
        Reconstruye();
        break;
    case TCierreTipos::Perdido: AvisaTiposPerdidos(); break;
    case TCierreTipos::Guardado:
    case TCierreTipos::Descartado: break;
    }
}

void TTiposForm::CierraTablas() {
    for (TwwTable* t : {TTipos, TTipGrup, TConex}) t->Close();
}

void TTiposForm::Reconstruye(bool PliegaConexiones) {
    struct TVista {
        TwwTable* Tabla;
        TOvcDbReportView* Vista;
        bool Pliega;
    };
    for (const TVista& v : {TVista{TTipos, ODBRVTipos, true}, TVista{TTipGrup, ODBRVTipGrup, true},
                            TVista{TConex, ODBRVConex, PliegaConexiones}}) {
        v.Tabla->Close();
        v.Tabla->Open();
        v.Vista->BeginUpdate();
        v.Vista->EndUpdate();
        if (v.Pliega) v.Vista->ExpandAll(false);
    }
}

// --- totals ---

void TTiposForm::TotalesTipos() {
    if (!FMotor) return;
    if (std::optional<TRejilla> r = FMotor->TotalesTipos()) PonRejilla(SGTipos, *r);
}

void TTiposForm::TotalesGrupo() {
    if (!FMotor) return;
    std::optional<AnsiString> grupo;
    if (TTipGrup->Active() && !TTipGrup->IsEmpty()) grupo = TextoEnfocado(ODBRVTipGrup, TTipGrup, "GRUPO");
    TTotalesGrupo t = FMotor->TotalesGrupo(grupo);
    PonRejilla(SGTipGrup, t.Lineas);
    if (t.HayGrupo) BTrasladarArriba->SetEnabled(true);
}

// --- the types table's hooks ---

void TTiposForm::TTiposBeforePost(TDataSet* DataSet) {
    if (FMotor) FMotor->PoneCursoEnFila(*DataSet);
}

// The number of a new row comes from the engine's allocator, which knows
// every number of the four tables: the last row's + 1 may be in use.
void TTiposForm::TTiposNewRecord(TDataSet* DataSet) {
    if (FMotor) FMotor->NumeraFilaNueva(*DataSet);
}

void TTiposForm::TTipGrupCalcFields(TDataSet* DataSet) {
    for (const char* sufijo : {"", "1", "2", "3"})
        DataSet->FieldByName(AnsiString("ASIGSDC") + sufijo)
            ->SetAsString(DataSet->FieldByName(AnsiString("ASIGSDCM") + sufijo)->AsString());
}

// The organizer takes the subtypes selected in the view: the engine marks
// exactly these (and clears the marks of an earlier start).
void TTiposForm::ODBRVTiposEnumerate(TObject*, bool&, void*) {
    FSeleccion.push_back(TTipos->FieldByName("N")->AsInteger());
}

// --- focus rules ---

void TTiposForm::ODBRVTiposEnter(TObject*) {
    BTrasladarAbajo->SetEnabled(true);
    BTrasladarArriba->SetEnabled(false);
}

void TTiposForm::ODBRVTipGrupEnter(TObject*) {
    BTrasladarArriba->SetEnabled(true);
    BTrasladarAbajo->SetEnabled(false);
}

void TTiposForm::ODBRVTipGrupMouseUp(TObject*, TMouseButton, TShiftState, int, int) { TotalesGrupo(); }

void TTiposForm::ODBRVTipGrupKeyUp(TObject*, WORD&, TShiftState) { TotalesGrupo(); }

// --- the editors ---
// Each editor is modal over the screen and changes the working tables
// through table components of its own; the screen's stay open meanwhile, so
// that the editor reads the screen's current row, and are opened again with
// the recomputation afterwards. A close of the screen while an editor is
// open waits (FormCloseQuery): the merge would run under the editor's rows.

template <class TEditor>
void TTiposForm::Edita(TEditor*& Global) {
    auto* e = NewComponent<TEditor>(this);
    Global = e;
    FEditando = true;
    try {
        e->Prepara(*this);
        e->ShowModal();
    } catch (...) {
        FEditando = false;
        e->Free();
        throw;
    }
    FEditando = false;
    e->Free();
}

// The subtype editor opens on the type of the focused line: the screen's
// subtypes are put on its row (the first of a type's line) first, so that
// "Ed&itar" on a collapsed type opens that type, not the row left current.
void TTiposForm::ODBRVTiposDblClick(TObject*) {
    if (!FMotor) return;
    if (const std::optional<int> n = NEnfocado(ODBRVTipos, TTipos)) TTipos->FindKey({TVarRec(*n)});
    Edita<TEdiTiposForm2>(EdiTiposForm2);
    CierraTablas();
    FMotor->ClasificaTipos();
    Reconstruye();
    TotalesTipos();
}

void TTiposForm::ODBRVTipGrupDblClick(TObject*) {
    if (!FMotor) return;
    if (const std::optional<int> n = NEnfocado(ODBRVTipGrup, TTipGrup))
        if (!TTipGrup->FindKey({TVarRec(*n)})) return;
    Edita<TEdiTipGrupForm2>(EdiTipGrupForm2);
    CierraTablas();
    FMotor->ClasificaTipos();
    FMotor->CreaConexiones();
    Reconstruye();
    TotalesGrupo();
}

// --- "&Calcular Tipos" and the display options ---

void TTiposForm::BRecontarClick(TObject*) {
    if (!FMotor) return;
    CierraTablas();
    {
        TReloj reloj;
        FMotor->RecuentaTipos([&reloj] {
            // The question comes with the normal cursor; the counting under the hourglass.
            reloj.Quita();
            TBorrarTipos r = PreguntaBorrarTipos();
            reloj.Pon();
            return r;
        });
        Reconstruye();
        TotalesTipos();
        TotalesGrupo();
    }
}

void TTiposForm::CBMostrarComunesClick(TObject*) {
    if (!FMotor) return;
    TReloj reloj;
    reloj.Pon();
    TOpcionesTipos o;
    o.MostrarComunes = CBMostrarComunes->Checked();
    o.Opcion = CBOpcion->Checked();
    o.Repite = CBRepite->Checked();
    CierraTablas();
    FMotor->CambiaOpciones(o);
    TotalesGrupo();
    TotalesTipos();
    Reconstruye();
}

// --- moves ---

// The move dialog for an offer: whether the user confirmed it, and with
// what number (and group).
bool TTiposForm::PideTraslado(const std::optional<TOfertaTraslado>& Oferta, int& Numero, AnsiString& Grupo) {
    if (!Oferta || !Oferta->Encontrado) return false;
    auto* d = NewComponent<TTrasladarForm>(this);
    TrasladarForm = d;
    d->Prepara(*Oferta);
    const bool confirmado = d->ShowModal() == mrOk;
    Numero = d->SENumero->Value();
    Grupo = d->EdGrupo->Text();
    d->Free();
    return confirmado;
}

// Moved or not, the screen is recomputed and redrawn.
void TTiposForm::Traslada(const std::function<bool()>& Movimiento) {
    TReloj reloj;
    reloj.Pon();
    CierraTablas();
    if (!Movimiento()) {
        FMotor->ClasificaTipos();
        FMotor->CreaConexiones();
    }
    Reconstruye();
    TotalesTipos();
    TotalesGrupo();
}

void TTiposForm::BAbajoClick(TObject*) {
    if (!FMotor) return;
    bool tipo = false;
    const std::optional<int> n = NEnfocado(ODBRVTipos, TTipos, &tipo);
    std::optional<TOfertaTraslado> oferta;
    if (n) oferta = tipo ? FMotor->OfertaTipo(*n) : FMotor->OfertaSubtipo(*n);
    int numero = 0;
    AnsiString grupo;
    const bool confirmado = PideTraslado(oferta, numero, grupo);
    Traslada([&] {
        if (!confirmado) return false;
        return tipo ? FMotor->TrasladaTipoAGrupo(*n, numero, grupo)
                    : FMotor->TrasladaSubtipoAGrupo(*n, numero, grupo);
    });
}

void TTiposForm::BArribaClick(TObject*) {
    if (!FMotor) return;
    bool grupo = false;
    const std::optional<int> n = NEnfocado(ODBRVTipGrup, TTipGrup, &grupo);
    std::optional<TOfertaTraslado> oferta;
    if (n) oferta = grupo ? FMotor->OfertaGrupo(*n) : FMotor->OfertaFila(*n);
    int numero = 0;
    AnsiString ninguno;
    const bool confirmado = PideTraslado(oferta, numero, ninguno);
    Traslada([&] {
        if (!confirmado) return false;
        return grupo ? FMotor->TrasladaGrupoATipos(*n, numero) : FMotor->TrasladaFilaATipos(*n, numero);
    });
}

// --- the organizer ---

void TTiposForm::BOrgAutoClick(TObject*) {
    if (!FMotor) return;
    FSeleccion.clear();
    if (TTipos->Active()) ODBRVTipos->EnumerateSelected(nullptr);
    CierraTablas();
    auto* dialogo = NewComponent<TFormOrganizar>(Owner());
    FormOrganizar = dialogo;
    FOrganizando = true;
    // The wait window comes up once the dialog has closed, before the
    // engine refills and reclassifies its working copies: after a run from
    // the stored tables; without one it keeps them, with the work not yet
    // merged.
    try {
        EjecutaOrganizar(
            *FMotor, FSeleccion, OpcionesOrganizar,
            [this, dialogo](ISesionOrganizar& Sesion) { return dialogo->Muestra(Sesion, *FEstado); }, dialogo,
            [this] { MuestraEspera(); });
        FOrganizando = false;
        dialogo->Free();
        TotalesTipos();
        TotalesGrupo();
        Reconstruye(true);
    } catch (...) {
        if (FOrganizando) {
            FOrganizando = false;
            dialogo->Free();
            Reconstruye(true);
        }
        QuitaEspera();
        throw;
    }
    QuitaEspera();
}
