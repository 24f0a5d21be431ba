#pragma once
// The types engine: everything the types screen (TTiposForm) does to the
// tables of the selected course, as plain routines with no drawing. The
// screen owns one TMotorTipos while it is open and calls it from its
// handlers; the organizer's binding reads the lists, the row count of the
// types-in-group and the SELEC marks through it.
//
// Tables: tipos2, tipgrup2 and conex are the working copies of the course;
// tipos and tipgrup keep every course's rows and change only at the merge
// (MezclaTrabajo, when the screen closes) and at the organizer's write-back. Every routine opens table
// objects of its own on the database and frees them before it returns; the
// screen closes its own table components before a routine that changes the
// tables and reopens them (and rebuilds its views) afterwards.
//
// What refills after what (the screen calls, in this order):
//   opening               Abre; then TotalesTipos, TotalesGrupo
//   "&Calcular Tipos"     RecuentaTipos; then the totals
//   a move                the Traslada... routine (it reclassifies and
//                         rebuilds conex); then the totals
//   the subtype editor    ClasificaTipos; then TotalesTipos (conex stays)
//   the type-in-group editor  ClasificaTipos, CreaConexiones; then TotalesGrupo
//   a display option      CambiaOpciones; then the totals (conex stays)
//   the organizer         TrasOrganizador; then the totals
//   leaving the screen    CierraTrabajo (the merge)
// The totals are computed from the tables when asked, so they are never
// stale; TotalesGrupo counts the connections of the rows as they are, even
// before CreaConexiones has rebuilt conex.
//
// Row numbers: every N handed out here (subtypes of a computation, rows made
// by moves, rows added in the editors) comes from one allocator that has
// seen every number of tipos, tipos2, tipgrup and tipgrup2, so the merge can
// pair rows by N without losing one (there is no "last number before the
// renumbering" to count on: it may lie inside the renumbered range). The
// merge itself cannot lose a row: a working row whose N is not free in the
// stored table gets a new number in both tables instead of being dropped.
// The working copy is the whole truth of its course: a stored row of the
// course that no working row pairs with is deleted, whatever its number, so
// a subtype deleted on the screen never comes back, even one numbered from
// 10000 as the computation numbers them.
//
// Two programs on one folder. The working tables are this engine's from
// before it fills them until its work is merged back or discarded: it holds
// their claim (TReservaTrabajo, organizer/TablasTipos.h), which keeps another
// program from opening the types or the placing on them, and the opening of
// the folder in another program from emptying them. The merge writes into
// tipos and tipgrup only the copy this engine filled: when filling it failed
// half-way, or a program that takes no claim has made the working tables
// anew meanwhile, the stored tables are left as they are.
//
// The merge of the two tables is one unit. Both stored tables and both
// working copies are taken for writing before a row is written, so another
// program writing either refuses the merge with nothing changed; the engine
// stays open with its work and lists, and the next close tries again, until
// the merge succeeds or the user discards the work (CierraTrabajo asks). A
// write that fails half-way (a full disk) leaves what it wrote, and the next
// close completes it: the working copy still holds the whole course, and
// merging it again over its own result changes nothing.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "organizer/Clasificacion.h"
#include "organizer/FilasTipos.h"
#include "organizer/Totales.h"
#include "organizer/Traslados.h"

class TDataSet;
class TReservaTrabajo;

// What the screen answers before the types are counted again over rows it
// already has.
enum class TBorrarTipos {
    Borrar,     // Yes: the working copies are emptied first
    Conservar,  // No: the students are counted again on top
    Cancelar,   // Cancel: nothing is counted
};
using TPreguntaBorrarTipos = std::function<TBorrarTipos()>;
// The types screen's question: "Borrar tipos?" in a box captioned
// "Atención" with Yes, No and Cancel.
TBorrarTipos PreguntaBorrarTipos();

// How the close of the screen ended.
enum class TCierreTipos {
    Guardado,    // the work is merged into tipos and tipgrup
    Descartado,  // the merge was refused and the user dropped the work
    Pendiente,   // the merge was refused and the user kept the work: the
                 // screen stays open and its next close tries again
    Perdido,     // the working copy was not this screen's any more: tipos
                 // and tipgrup are as they were (AvisaTiposPerdidos)
};
// Whether to drop the work whose merge was refused (Motivo: why).
using TPreguntaDescartarTipos = std::function<bool(const AnsiString& Motivo)>;
// The types screen's question, captioned "Atención" with Yes and No (No the
// default): "No se han podido guardar los tipos del curso: " Motivo, and
// whether to discard the changes, the screen staying open otherwise.
bool PreguntaDescartarTipos(const AnsiString& Motivo);
// What the types screen tells after TCierreTipos::Perdido.
void AvisaTiposPerdidos();

class TMotorTipos {
public:
    // The course whose working copies these are: fixed for the engine's
    // life, so the merge always goes back to the course that was copied.
    TMotorTipos(AnsiString DatabaseName, AnsiString TNCSeleccionado);
    ~TMotorTipos();

    const AnsiString& DatabaseName() const { return FDatabaseName; }
    const AnsiString& TNCSeleccionado() const { return FTNC; }

    // --- lifecycle of the working copies ---
    // The opening: what CopiaTablasTrabajo, ClasificaTipos and
    // CreaConexiones do one after the other, done in one pass: the stored
    // tables, the course's students and subjects are read once, the working
    // copies computed in memory, and each table written once.
    void Abre();
    // Claims the working tables (EDatabaseError when another program holds
    // them, nothing changed); empties conex; renumbers every stored subtype,
    // then every stored type-in-group, of every course, 1, 2, 3 ... in the
    // order of their TNC tag; copies the course's rows into the emptied
    // tipos2 and tipgrup2.
    void CopiaTablasTrabajo();
    // The merge back into tipos and tipgrup: the course's stored rows become
    // the working rows, paired by N; rows of other courses are not touched.
    // Then the engine is closed: its lists are emptied and its claim let go.
    // False, with nothing written (and the engine closed all the same), when
    // the working copy is not the one this engine filled. Raises, with the
    // engine still open, when another program is writing one of the tables
    // or a write fails. On a closed engine it does nothing.
    bool MezclaTrabajo();
    // The close of the screen: MezclaTrabajo; when it raises, Descartar
    // decides with its message whether to drop the work (the engine closes,
    // the stored tables stay as they are) or to keep it for the next close.
    TCierreTipos CierraTrabajo(const TPreguntaDescartarTipos& Descartar);
    bool Cerrado() const { return FCerrado; }

    // --- recomputations ---
    void ClasificaTipos();
    // Students per subject over the subtypes; no value when tipos2 is empty.
    std::optional<TRejilla> TotalesTipos();
    // The focused group's divisions and hours (Grupo: the GRUPO text of the
    // focused line, none when nothing is focused).
    TTotalesGrupo TotalesGrupo(const std::optional<AnsiString>& Grupo);
    void CreaConexiones();
    // The three check boxes (CBMostrarComunesClick): the texts again.
    void CambiaOpciones(const TOpcionesTipos& Opciones);
    const TOpcionesTipos& Opciones() const { return FOpciones; }
    const TListasTipos& Listas() const { return FListas; }

    // --- "&Calcular Tipos" ---
    // CalculaSubtipos, then ClasificaTipos and CreaConexiones, also when the
    // question was cancelled.
    void RecuentaTipos(const TPreguntaBorrarTipos& Pregunta);
    // When tipos2 or tipgrup2 has rows, Pregunta decides first: Cancelar
    // changes nothing (answers false); Borrar empties tipos2, tipgrup2 and
    // conex first; Conservar counts the students again on top of the
    // subtypes.
    bool CalculaSubtipos(const TPreguntaBorrarTipos& Pregunta);

    // --- moves (the dialog's arguments given) ---
    TTrabajoTipos LeeTrabajo();
    TOfertaTraslado OfertaSubtipo(int N);
    TOfertaTraslado OfertaTipo(int N);
    TOfertaTraslado OfertaFila(int N);
    TOfertaTraslado OfertaGrupo(int N);
    // Each reclassifies and rebuilds conex afterwards, whether or not it
    // moved anyone (answered).
    bool TrasladaSubtipoAGrupo(int N, int Numero, const AnsiString& Grupo);
    bool TrasladaTipoAGrupo(int N, int Numero, const AnsiString& Grupo);
    bool TrasladaFilaATipos(int N, int Numero);
    bool TrasladaGrupoATipos(int N, int Numero);

    // --- the organizer ---
    // Rows of tipgrup2: none means "&Todos" may be offered.
    int FilasTipGrup();
    // SELEC becomes true on exactly these subtypes (by N) and false on the
    // others: the marks always tell the selection the organizer started
    // with, never one left from an earlier start.
    void MarcaSeleccion(const std::vector<int>& N);
    // The same on the rows of tipos2 read already from Tipos2 (in any
    // order), which take the new marks: the table is not read again.
    static void MarcaSeleccion(TDataSet& Tipos2, std::vector<TFilaSubtipo>& Filas, const std::vector<int>& N);
    // After the organizer's dialog: with a run, the working copies are
    // filled again from the stored tables (which hold its result) as Abre
    // fills them; without one they are kept, with the work not yet merged,
    // and ClasificaTipos and CreaConexiones run on them.
    void TrasOrganizador(bool HuboEjecucion);

    // --- row numbers and the hooks of the screen's TTipos ---
    // A number free in tipos, tipos2, tipgrup and tipgrup2.
    int NuevoN();
    // Cuantos such numbers, the tables read once for all of them.
    std::vector<int> NuevosN(size_t Cuantos);
    // A new row of the screen's subtypes (its OnNewRecord): its N.
    void NumeraFilaNueva(TDataSet& TTipos);
    // A row of the screen's subtypes before it is posted: it belongs to the course.
    void PoneCursoEnFila(TDataSet& TTipos);

private:
    // Claims the working tables (raising when another program holds them);
    // the copy is nobody's work until it is whole again.
    void TomaTrabajo();
    // Abre's one pass.
    void RellenaTrabajo();
    // The classification of the working rows in memory: the counts of the
    // course's subjects, the lists, the subtypes' texts and the rows' memos.
    void Clasifica(std::vector<TFilaSubtipo>& Subtipos, std::vector<TFilaEnGrupo>& Filas,
                   const std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaAsignatura>& AsigCur);
    void Cierra();
    void RefrescaNumerador();
    void Recalcula();
    template <class Fila>
    void MezclaTabla(const AnsiString& Guardada, const AnsiString& Trabajo,
                     std::vector<Fila> (*LeeFilas)(TDataSet&));
    void GuardaTrabajo(TTrabajoTipos& Nuevo, const TTrabajoTipos& Antes);
    // A move on the working rows, written back, then the recomputations.
    bool Traslada(const std::function<bool(TTrabajoTipos&, TNumeradorFilas&)>& Movimiento);

    AnsiString FDatabaseName;
    AnsiString FTNC;
    TOpcionesTipos FOpciones;
    TListasTipos FListas;
    TNumeradorFilas FNumerador;
    std::unique_ptr<TReservaTrabajo> FReserva;
    // The working copy is the one this engine filled, whole.
    bool FCopiaPropia = false;
    bool FCerrado = false;
};
