#include "organizer/MotorTipos.h"

#include <set>
#include <unordered_map>

#include "organizer/Subtipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "platform/sys/Dialogs.h"

namespace {

// What a stored table keeps of a working row.
TFilaSubtipo Guardada(TFilaSubtipo F) {
    F.ASIGS.clear();
    F.ASIGSCOL.clear();
    F.ASIGSCU.clear();
    F.ASIGSCUCOL.clear();
    F.SELEC = false;
    return F;
}
TFilaEnGrupo Guardada(TFilaEnGrupo F) {
    for (auto& m : F.ASIGSDCM) m.clear();
    return F;
}

void Vacia(const AnsiString& DatabaseName, const AnsiString& Tabla) {
    NewTempTable(DatabaseName, Tabla)->EmptyTable();
}

// A working table emptied and filled with Filas (bookmarks given to them).
template <class Fila>
void Llena(const AnsiString& DatabaseName, const AnsiString& Tabla, std::vector<Fila>& Filas) {
    auto t = OpenTempTable(DatabaseName, Tabla);
    t->EmptyTable();
    Sincroniza(*t, {}, Filas);
}

TTempTable AbreDelCurso(const AnsiString& DatabaseName, const AnsiString& Tabla, const AnsiString& TNC) {
    auto t = OpenTempTable(DatabaseName, Tabla);
    FilterEqual(*t, "TNC", TNC);
    return t;
}

// Every stored row of a table numbered on from Contador in the order of its
// TNC tag (one count over the subtypes, then the types-in-group, of every
// course), read and numbered in memory when made and written by Escribe; the
// course's rows, without bookmark, are its working copy.
template <class Fila>
class TTablaRenumerada {
public:
    TTablaRenumerada(const AnsiString& DatabaseName, const AnsiString& TNC, const AnsiString& Tabla,
                     std::vector<Fila> (*LeeFilas)(TDataSet&), int& Contador)
        : FTabla(OpenTempTable(DatabaseName, Tabla, "TNC")), FAntes(LeeFilas(*FTabla)), FDespues(FAntes) {
        for (auto& f : FDespues) {
            f.N = Contador++;
            if (f.TNC == TNC) {
                FDelCurso.push_back(f);
                FDelCurso.back().Marca.clear();
            }
        }
    }
    const std::vector<Fila>& DelCurso() const { return FDelCurso; }
    void Escribe() { Sincroniza(*FTabla, FAntes, FDespues); }

private:
    TTempTable FTabla;
    std::vector<Fila> FAntes, FDespues, FDelCurso;
};

template <class Fila>
std::vector<Fila> RenumeraGuardadas(const AnsiString& DatabaseName, const AnsiString& TNC,
                                    const AnsiString& Tabla, std::vector<Fila> (*LeeFilas)(TDataSet&),
                                    int& Contador) {
    TTablaRenumerada<Fila> t(DatabaseName, TNC, Tabla, LeeFilas, Contador);
    t.Escribe();
    return t.DelCurso();
}

}  // namespace

TMotorTipos::TMotorTipos(AnsiString DatabaseName, AnsiString TNCSeleccionado)
    : FDatabaseName(std::move(DatabaseName)), FTNC(std::move(TNCSeleccionado)) {}

TMotorTipos::~TMotorTipos() = default;

void TMotorTipos::Abre() { RellenaTrabajo(); }

void TMotorTipos::RefrescaNumerador() {
    for (const char* t : {"tipos", "tipos2", "tipgrup", "tipgrup2"})
        FNumerador.Observa(MayorN(FDatabaseName, t));
}

int TMotorTipos::NuevoN() {
    RefrescaNumerador();
    return FNumerador.Siguiente();
}

std::vector<int> TMotorTipos::NuevosN(size_t Cuantos) {
    RefrescaNumerador();
    std::vector<int> n(Cuantos);
    for (int& x : n) x = FNumerador.Siguiente();
    return n;
}

void TMotorTipos::TomaTrabajo() {
    if (!FReserva) FReserva = TReservaTrabajo::Toma(FDatabaseName);
    // Until the copy is whole it is nobody's work: a merge would take its
    // half for the course's truth.
    FCopiaPropia = false;
}

void TMotorTipos::CopiaTablasTrabajo() {
    TomaTrabajo();
    Vacia(FDatabaseName, "conex");
    int contador = 1;
    auto subtipos = RenumeraGuardadas(FDatabaseName, FTNC, "tipos", LeeSubtipos, contador);
    Llena(FDatabaseName, "tipos2", subtipos);
    auto filas = RenumeraGuardadas(FDatabaseName, FTNC, "tipgrup", LeeTipGrup, contador);
    Llena(FDatabaseName, "tipgrup2", filas);
    FNumerador.Observa(contador - 1);
    FCopiaPropia = true;
}

void TMotorTipos::RellenaTrabajo() {
    TomaTrabajo();
    // Everything is read and computed before the first write.
    int contador = 1;
    TTablaRenumerada<TFilaSubtipo> tipos(FDatabaseName, FTNC, "tipos", LeeSubtipos, contador);
    TTablaRenumerada<TFilaEnGrupo> tipgrup(FDatabaseName, FTNC, "tipgrup", LeeTipGrup, contador);
    auto subtipos = tipos.DelCurso();
    auto filas = tipgrup.DelCurso();
    auto alum = AbreDelCurso(FDatabaseName, "alum", FTNC);
    auto asigcur = AbreDelCurso(FDatabaseName, "asigcur", FTNC);
    const auto asigs = LeeAsigCur(*asigcur);
    auto contadas = asigs;
    Clasifica(subtipos, filas, LeeAsignaturasAlumnos(*alum), contadas);
    const auto conex = ::CreaConexiones(filas);

    tipos.Escribe();
    tipgrup.Escribe();
    auto tconex = OpenTempTable(FDatabaseName, "conex");
    tconex->EmptyTable();
    Llena(FDatabaseName, "tipos2", subtipos);
    Llena(FDatabaseName, "tipgrup2", filas);
    FNumerador.Observa(contador - 1);
    FCopiaPropia = true;
    Sincroniza(*asigcur, asigs, contadas);
    AnadeConexiones(*tconex, conex);
}

template <class Fila>
void TMotorTipos::MezclaTabla(const AnsiString& NombreGuardada, const AnsiString& NombreTrabajo,
                              std::vector<Fila> (*LeeFilas)(TDataSet&)) {
    auto g = OpenTempTable(FDatabaseName, NombreGuardada, "N");
    auto w = OpenTempTable(FDatabaseName, NombreTrabajo, "N");
    const auto guardadas = LeeFilas(*g);
    const auto trabajo = LeeFilas(*w);

    std::set<int> enUso;
    std::unordered_map<int, size_t> delCurso;
    std::vector<Fila> antesCurso;
    for (size_t i = 0; i < guardadas.size(); ++i) {
        enUso.insert(guardadas[i].N);
        if (guardadas[i].TNC == FTNC) {
            delCurso.emplace(guardadas[i].N, i);
            antesCurso.push_back(guardadas[i]);
        }
    }
    std::set<size_t> emparejadas;
    std::vector<Fila> despuesCurso;
    auto nuevoTrabajo = trabajo;
    for (auto& f : nuevoTrabajo) {
        auto par = delCurso.find(f.N);
        if (par != delCurso.end() && emparejadas.insert(par->second).second) {
            Fila s = Guardada(f);
            s.Marca = guardadas[par->second].Marca;
            despuesCurso.push_back(std::move(s));
            continue;
        }
        // A number another course's row holds, one a row already paired
        // holds, or none: the row would be dropped; it takes a free number
        // in both tables.
        if (f.N <= 0 || !enUso.insert(f.N).second) f.N = FNumerador.Siguiente();
        enUso.insert(f.N);
        Fila s = Guardada(f);
        s.Marca.clear();
        despuesCurso.push_back(std::move(s));
    }
    Sincroniza(*g, antesCurso, despuesCurso);
    Sincroniza(*w, trabajo, nuevoTrabajo);
}

void TMotorTipos::Cierra() {
    FListas = TListasTipos{};
    FReserva.reset();
    FCerrado = true;
}

bool TMotorTipos::MezclaTrabajo() {
    if (FCerrado) return true;
    if (!FCopiaPropia || !FReserva || !FReserva->Intacta()) {
        Cierra();
        return false;
    }
    {
        const auto tomadas = TomaParaEscribir(FDatabaseName, {"tipos", "tipgrup", "tipos2", "tipgrup2"});
        RefrescaNumerador();
        MezclaTabla<TFilaSubtipo>("tipos", "tipos2", LeeSubtipos);
        MezclaTabla<TFilaEnGrupo>("tipgrup", "tipgrup2", LeeTipGrup);
    }
    Cierra();
    return true;
}

TCierreTipos TMotorTipos::CierraTrabajo(const TPreguntaDescartarTipos& Descartar) {
    try {
        return MezclaTrabajo() ? TCierreTipos::Guardado : TCierreTipos::Perdido;
    } catch (const EDatabaseError& E) {
        if (!Descartar(E.Message())) return TCierreTipos::Pendiente;
    }
    Cierra();
    return TCierreTipos::Descartado;
}

bool PreguntaDescartarTipos(const AnsiString& Motivo) {
    return MessageBox("No se han podido guardar los tipos del curso: " + Motivo +
                          "\n\n\xBF"
                          "Descartar los cambios hechos en los tipos? Si responde No, la pantalla sigue "
                          "abierta y se volver\xE1n a guardar al cerrarla.",
                      "Atenci\xF3n", MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void AvisaTiposPerdidos() {
    MessageBox("Otro programa ha vaciado o sustituido las tablas de trabajo de los tipos mientras esta "
               "pantalla estaba abierta: sus cambios no se han guardado, y las tablas tipos y tipgrup "
               "quedan como estaban.",
               "Atenci\xF3n", MB_OK);
}

void TMotorTipos::Clasifica(std::vector<TFilaSubtipo>& Subtipos, std::vector<TFilaEnGrupo>& Filas,
                            const std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaAsignatura>& AsigCur) {
    CuentaContadores(AsigCur, Subtipos);
    FListas = CalculaListas(Alumnos, Subtipos, Filas, AsigCur);
    for (auto& s : Subtipos) {
        const auto t = TextosSubtipo(s, FListas, FOpciones);
        s.ASIGS = t.ASIGS;
        s.ASIGSCOL = t.ASIGSCOL;
        s.ASIGSCU = t.ASIGSCU;
        s.ASIGSCUCOL = t.ASIGSCUCOL;
    }
    for (auto& f : Filas) f.ASIGSDCM = MemosTipGrup(f, FListas, FOpciones);
}

void TMotorTipos::ClasificaTipos() {
    auto tipos = OpenTempTable(FDatabaseName, "tipos2");
    auto alum = AbreDelCurso(FDatabaseName, "alum", FTNC);
    auto tipgrup = OpenTempTable(FDatabaseName, "tipgrup2");
    auto asigcur = AbreDelCurso(FDatabaseName, "asigcur", FTNC);

    const auto subtipos = LeeSubtipos(*tipos);
    const auto filas = LeeTipGrup(*tipgrup);
    const auto asigs = LeeAsigCur(*asigcur);
    auto conTextos = subtipos;
    auto conMemos = filas;
    auto contadas = asigs;
    Clasifica(conTextos, conMemos, LeeAsignaturasAlumnos(*alum), contadas);
    Sincroniza(*asigcur, asigs, contadas);
    Sincroniza(*tipos, subtipos, conTextos);
    Sincroniza(*tipgrup, filas, conMemos);
}

std::optional<TRejilla> TMotorTipos::TotalesTipos() {
    auto tipos = OpenTempTable(FDatabaseName, "tipos2");
    return ::TotalesTipos(LeeSubtipos(*tipos), FListas, FOpciones);
}

TTotalesGrupo TMotorTipos::TotalesGrupo(const std::optional<AnsiString>& Grupo) {
    auto tipgrup = OpenTempTable(FDatabaseName, "tipgrup2");
    auto asigcur = AbreDelCurso(FDatabaseName, "asigcur", FTNC);
    return ::TotalesGrupo(LeeTipGrup(*tipgrup), Grupo, FTNC, LeeAsigCur(*asigcur), FListas, FOpciones);
}

void TMotorTipos::CreaConexiones() {
    Vacia(FDatabaseName, "conex");
    auto tipgrup = OpenTempTable(FDatabaseName, "tipgrup2");
    const auto filas = LeeTipGrup(*tipgrup);
    auto limpias = filas;
    const auto conex = ::CreaConexiones(limpias);
    Sincroniza(*tipgrup, filas, limpias);
    AnadeConexiones(*OpenTempTable(FDatabaseName, "conex"), conex);
}

void TMotorTipos::CambiaOpciones(const TOpcionesTipos& Opciones) {
    FOpciones = Opciones;
    ClasificaTipos();
}

void TMotorTipos::Recalcula() {
    ClasificaTipos();
    CreaConexiones();
}

TBorrarTipos PreguntaBorrarTipos() {
    switch (MessageBox("Borrar tipos?", "Atenci\xF3n", MB_YESNOCANCEL)) {
    case IDYES: return TBorrarTipos::Borrar;
    case IDNO: return TBorrarTipos::Conservar;
    default: return TBorrarTipos::Cancelar;
    }
}

void TMotorTipos::RecuentaTipos(const TPreguntaBorrarTipos& Pregunta) {
    CalculaSubtipos(Pregunta);
    Recalcula();
}

bool TMotorTipos::CalculaSubtipos(const TPreguntaBorrarTipos& Pregunta) {
    const bool hayFilas = CuentaFilas(*OpenTempTable(FDatabaseName, "tipos2")) > 0 ||
                          CuentaFilas(*OpenTempTable(FDatabaseName, "tipgrup2")) > 0;
    if (hayFilas) {
        const TBorrarTipos r = Pregunta();
        if (r == TBorrarTipos::Cancelar) return false;
        if (r == TBorrarTipos::Borrar)
            for (const char* t : {"tipos2", "tipgrup2", "conex"}) Vacia(FDatabaseName, t);
    }
    RefrescaNumerador();
    auto tipos = OpenTempTable(FDatabaseName, "tipos2");
    auto alum = AbreDelCurso(FDatabaseName, "alum", FTNC);
    const auto antes = LeeSubtipos(*tipos);
    auto despues = antes;
    CuentaSubtipos(despues, LeeAlumnos(*alum), FNumerador);
    Sincroniza(*tipos, antes, despues);
    return true;
}

TTrabajoTipos TMotorTipos::LeeTrabajo() {
    TTrabajoTipos t;
    t.TNC = FTNC;
    t.Tipos = LeeSubtipos(*OpenTempTable(FDatabaseName, "tipos2"));
    t.TipGrup = LeeTipGrup(*OpenTempTable(FDatabaseName, "tipgrup2"));
    return t;
}

void TMotorTipos::GuardaTrabajo(TTrabajoTipos& Nuevo, const TTrabajoTipos& Antes) {
    Sincroniza(*OpenTempTable(FDatabaseName, "tipos2"), Antes.Tipos, Nuevo.Tipos);
    Sincroniza(*OpenTempTable(FDatabaseName, "tipgrup2"), Antes.TipGrup, Nuevo.TipGrup);
}

TOfertaTraslado TMotorTipos::OfertaSubtipo(int N) { return ::OfertaSubtipo(LeeTrabajo(), N); }
TOfertaTraslado TMotorTipos::OfertaTipo(int N) { return ::OfertaTipo(LeeTrabajo(), N); }
TOfertaTraslado TMotorTipos::OfertaFila(int N) { return ::OfertaFila(LeeTrabajo(), N); }
TOfertaTraslado TMotorTipos::OfertaGrupo(int N) { return ::OfertaGrupo(LeeTrabajo(), N); }

bool TMotorTipos::Traslada(const std::function<bool(TTrabajoTipos&, TNumeradorFilas&)>& Movimiento) {
    RefrescaNumerador();
    const auto antes = LeeTrabajo();
    auto nuevo = antes;
    const bool movido = Movimiento(nuevo, FNumerador);
    if (movido) GuardaTrabajo(nuevo, antes);
    Recalcula();
    return movido;
}

bool TMotorTipos::TrasladaSubtipoAGrupo(int N, int Numero, const AnsiString& Grupo) {
    return Traslada([&](TTrabajoTipos& T, TNumeradorFilas& Num) {
        return ::TrasladaSubtipoAGrupo(T, N, Numero, Grupo, Num);
    });
}

bool TMotorTipos::TrasladaTipoAGrupo(int N, int Numero, const AnsiString& Grupo) {
    return Traslada([&](TTrabajoTipos& T, TNumeradorFilas& Num) {
        return ::TrasladaTipoAGrupo(T, N, Numero, Grupo, Num);
    });
}

bool TMotorTipos::TrasladaFilaATipos(int N, int Numero) {
    return Traslada([&](TTrabajoTipos& T, TNumeradorFilas& Num) {
        return ::TrasladaFilaATipos(T, N, Numero, FListas.AsigAlumnos, Num);
    });
}

bool TMotorTipos::TrasladaGrupoATipos(int N, int Numero) {
    return Traslada([&](TTrabajoTipos& T, TNumeradorFilas& Num) {
        return ::TrasladaGrupoATipos(T, N, Numero, FListas.AsigAlumnos, Num);
    });
}

int TMotorTipos::FilasTipGrup() { return CuentaFilas(*OpenTempTable(FDatabaseName, "tipgrup2")); }

void TMotorTipos::MarcaSeleccion(const std::vector<int>& N) {
    auto tipos = OpenTempTable(FDatabaseName, "tipos2");
    auto filas = LeeSubtipos(*tipos);
    MarcaSeleccion(*tipos, filas, N);
}

void TMotorTipos::MarcaSeleccion(TDataSet& Tipos2, std::vector<TFilaSubtipo>& Filas,
                                 const std::vector<int>& N) {
    const std::set<int> elegidos(N.begin(), N.end());
    const auto antes = Filas;
    for (auto& s : Filas) s.SELEC = elegidos.count(s.N) > 0;
    Sincroniza(Tipos2, antes, Filas);
}

void TMotorTipos::TrasOrganizador(bool HuboEjecucion) {
    if (HuboEjecucion) RellenaTrabajo();
    else Recalcula();
}

void TMotorTipos::NumeraFilaNueva(TDataSet& TTipos) { TTipos.FieldByName("N")->SetAsInteger(NuevoN()); }

void TMotorTipos::PoneCursoEnFila(TDataSet& TTipos) { TTipos.FieldByName("TNC")->SetAsString(FTNC); }
