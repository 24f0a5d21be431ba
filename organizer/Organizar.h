#pragma once
// The automatic group organizer: it loads one course into the memory model,
// groups its students into types, checks that the course can be organized,
// places the students in batches into groups and subject divisions (with
// displacement of students already placed and step-by-step relaxation), and
// turns the placement into the course's rows of tipos and tipgrup.
//
// No drawing here. The screen hands the options in and shows the dialog
// (TDialogoOrganizar); the dialog starts its one run through
// ISesionOrganizar, shows the progress and asks for a stop through
// IVistaOrganizar, and the screen gets a TResumenOrganizar back. Refusals
// and exhausted memory are told in the program's message boxes
// (platform/sys/Dialogs.h): caption "Atención", exclamation icon, OK.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "organizer/FilasOrganizar.h"
#include "organizer/FilasTipos.h"
#include "organizer/Memofija.h"

// What the dialog shows while a run goes on, and its stop request.
class IVistaOrganizar {
public:
    virtual ~IVistaOrganizar() = default;
    virtual void TextoGeneral(const AnsiString& Texto) = 0;  // LabTextoGen, repainted at once
    virtual void TotalAlumnos(const AnsiString& Texto) = 0;  // LabTotAlum
    virtual void AlumnoActual(const AnsiString& Texto) = 0;  // LabActAlum
    virtual void SinColocar(const AnsiString& Texto) = 0;    // LabSinColAlum
    virtual void Memoria(const AnsiString& Texto) = 0;       // LabMemDisp
    // Repaint and let the dialog handle its pending messages (the clicks on
    // "&Parar" and "&Salir" among them). Called at most every
    // IntervaloRefresco ms.
    virtual void ProcesaMensajes() = 0;
    // Polled on every progress call, however often: true stops the run there.
    // "&Parar" and "&Salir" during a run answer true from their click on.
    virtual bool PararPedido() { return false; }
    virtual void Pitido() = 0;  // the exclamation sound at the end of a run
};

constexpr uint32_t IntervaloRefresco = 50;

// The options the dialog shows and the run takes. They last from one dialog
// to the next until the program ends (the screen keeps them and hands them
// in) and are not stored.
struct TOpcionesOrganizar {
    bool Optimos = false;   // "Intentar números óptimos": first balance level 0
    bool Opciones = false;  // "Separar opciones"
    TNumeracion Grupo = TNumeracion::ABC;
    TNumeracion Division = TNumeracion::abc;
    TNumeracion Conexion = TNumeracion::abc;
};

// The dialog's three runs, numbered as the Tag of their buttons.
enum class TModoOrganizar {
    Todos = 1,        // "&Todos": every student of the course placed anew
    NoColocados = 2,  // "&No colocados": the placed ones stay, the others are placed
    Seleccion = 3,    // "&Selección": as 2, for the students of the marked subtypes only
};

// What the dialog may do with the organizer while it is shown.
class ISesionOrganizar {
public:
    // "&Todos" is offered only while no type of the course is in a group.
    virtual bool TodosOfrecido() const = 0;
    // A run with the options the dialog shows when its button is pressed;
    // it returns when the run has ended, placed, failed or stopped. A dialog
    // allows one run, and "&Todos" only when offered: answers whether this
    // one took place.
    virtual bool Organiza(TModoOrganizar Modo, const TOpcionesOrganizar& Opciones) = 0;

protected:
    ~ISesionOrganizar() = default;
};

// The dialog, shown modally once the course has passed the checks. It
// answers the options it shows when it closes: the write-back uses their
// numbering.
using TDialogoOrganizar = std::function<TOpcionesOrganizar(ISesionOrganizar&)>;

// What an invocation of the organizer leaves.
struct TResumenOrganizar {
    // The course's students with a group and without one when the dialog
    // closed (as loaded when no run took place); none when the course was
    // refused before the dialog.
    int Colocados = 0;
    int SinColocar = 0;
    // The batch the run could not place, or during which it was stopped
    // ("\nNO PUEDO COLOCAR: ..."); empty when there was none.
    AnsiString TextoFallo;
    // The rows that replace the course's rows of tipos and tipgrup: there
    // after a run, unless exhausted memory took the working structures away.
    std::optional<TResultadoOrganizar> Filas;
    // Filas are in the stored tables (the tables' binding, OrgTablas.h, sets it).
    bool Escrito = false;
};

// --- working structures of a run ---
struct TEleccionAsig {
    int Asig = -1;  // subject index, -1 for none
    int Div = -1;
    int Con = -1;
    int Div2 = -1;  // in a node: the old place
    int Con2 = -1;
};

constexpr int SlotsPlaza = SlotsFila + 1;
constexpr int CodigosEnPalabra = 8;
constexpr int GruposEnPalabra = 31;

struct TPlazaAlumno {
    int Tipo = -1;  // 1-based type number
    int Fila = -1;  // student row it was built from
    int NAlum = 0;
    bool Fijo = false;
    int Curso = -1;
    int Grupo = -1;
    char Opcion = 0;
    bool Selec = false;
    std::array<TEleccionAsig, SlotsPlaza> Asigs;
};

struct TEstadoAsig {
    int Curso = -1;
    int Divisiones = 0;
    int DivLibres = 0;
    int Grupos = 0;  // groups of its course: the width of the cell tables
    int Total = 0;
    int Media = 0;
    int Siguiente = -1;  // next subject of its option block, cyclically
    int MayorConexion = 0;
    // (Divisiones + 1) rows x Grupos; row Divisiones counts the students
    // that have a group but no division of the subject.
    std::vector<int> Celdas;
    std::vector<int> FilasConAlumnos;  // per group: its cells that are not 0, kept with Celdas
    std::vector<int> FilasDiv;
    std::vector<int> Codigos;         // kept connection codes
    std::vector<int> CodigosTrabajo;  // the search's scratch copy
    std::vector<int> Marcas;
    // Codigos carries a label that changes with it (and comes back with it
    // when a try is undone). CodigosTrabajo is the Codigos of the label
    // BaseTrabajo (-1: of none) but in the cells of Cambiadas, which the
    // search wrote since (during a search only RestableceTrabajo and
    // AsignaConexion write it; whatever writes the codes wholesale calls
    // CodigosCambiados); Previos holds the distinct codes of the groups
    // before GrupoPrevios in the Codigos of VersionPrevios.
    int VersionCodigos = 0;
    int BaseTrabajo = -1;
    std::vector<int> Cambiadas;
    int VersionPrevios = -1;
    int GrupoPrevios = -1;
    std::vector<int> Previos;
    // Per division row and code below CodigosEnPalabra, the groups (as bits)
    // whose kept code it is, kept with Codigos; empty for more than
    // GruposEnPalabra groups.
    std::vector<int> GruposDeCodigo;
    // Per division row: the connection sweep that swept the row last, and
    // the last one that reached a cell of it; how many rows the sweep of
    // SelloCuenta reached.
    std::vector<uint32_t> SelloFila, SelloAlcanzada;
    uint32_t SelloCuenta = 0;
    int Alcanzadas = 0;
    bool TieneCeldas() const { return !Celdas.empty(); }
    int C(int Fila, int Grupo) const { return Fila * Grupos + Grupo; }
};

struct TEstadoCurso {
    int Grupos = 0;
    std::vector<int> CuentaGrupo;
    std::vector<std::array<int, 10>> CuentaOpcion;  // letters 'A'..'J' per group
    int Asignaturas = 0;
    int Total = 0;
    int Media = 0;
};

struct TNodo;
using TArbol = std::vector<TNodo>;

struct TNodo {
    int Tipo = -1;  // -2 marks the last node of an array
    int NAlum = 0;
    int Curso = -1;
    char Opcion = 0;
    int GrupoViejo = -1;
    int GrupoNuevo = -1;
    std::vector<TEleccionAsig> Slots;  // Div/Con new place, Div2/Con2 old place
    std::unique_ptr<TArbol> Hijos;
};

// Positions of one displacement strategy, kept by each search level.
struct TPosicionEstrategia {
    int Grupo = 0;
    int Tipo = 0;
    int Asignatura = 0;
    std::array<int, SlotsPlaza> DivReanuda{};
    std::array<int, SlotsPlaza> OrdenReanuda{};
};

struct TSecuencia {
    int Fase = 1;
    bool FasePrimera = true;
    TPosicionEstrategia PorTipo, PorGrupo, PorAsignatura;
};

// The placement state that a failed try must leave as it found it.
struct TInstantanea {
    std::vector<int> Valores;
    bool operator==(const TInstantanea&) const = default;
};

// Relaxation levels of one try, for the statistics of a run.
struct TEstadisticaOrganizar {
    int64_t Comprobaciones = 0;  // placement checks run
    int Lotes = 0;
    int LotesFallidos = 0;
    int AlternativasDeshechas = 0;  // displacements tried and undone
    // batches placed with each level relaxed (balance: at 1), and by displacement
    int LotesUne = 0, LotesParte = 0, LotesEquilibrio = 0, LotesDesplazando = 0;
};

class TOrganizador : private ISesionOrganizar {
public:
    // Tick paces the screen refresh; without one, the program's tick count.
    explicit TOrganizador(IVistaOrganizar* Vista = nullptr, std::function<uint32_t()> Tick = {});
    ~TOrganizador();
    TOrganizador(const TOrganizador&) = delete;
    TOrganizador& operator=(const TOrganizador&) = delete;

    // The whole organizer for one course: load (the stored labels read in
    // the numbering of Opciones), group, pre-check (a refusal is told and
    // shows no dialog), the dialog, and, when a run took place, the rows
    // that replace the course's rows, labelled in the numbering the dialog
    // answered.
    TResumenOrganizar EjecutaOrganizar(const TDatosOrganizar& Datos, const TOpcionesOrganizar& Opciones,
                                       const TDialogoOrganizar& Dialogo);

private:
    // The tests check the steps of the search one by one, and the benchmark
    // counts the work of a run, through this class
    // (tests/organizer/OrganizadorPrueba.h); the program never looks inside.
    friend class TOrganizadorPrueba;

    // --- the dialog's side ---
    bool TodosOfrecido() const override { return FilasTipGrup == 0; }
    bool Organiza(TModoOrganizar Modo, const TOpcionesOrganizar& Opciones) override;
    int TotalAlumnos() const;
    int AlumnosSinGrupo() const;  // students (before a run: student rows) without group
    // What the dialog shows when it opens.
    void IniciaDialogo();
    // The stop, as the view asked for it: the run ends at its next check.
    void Para();
    bool HuboEjecucion() const { return !ModoEjecucion.empty(); }
    // The organizer's message boxes; exhausted memory says "MEMORIA
    // INSUFICIENTE " and the place, as every such box of the program does.
    static void Mensaje(const AnsiString& Texto);

    // --- steps ---
    bool CargaDatos(const TDatosOrganizar& Datos);
    void AgrupaTipos(bool Colocacion);
    int CuentaTipos();
    int CuentaFilas();
    bool CompruebaDatos();
    int TipoDeAlumno(int Alumno);
    bool AsignaClav();
    bool PreparaNoColocados();
    void LiberaClav();
    void OrganizaCurso(TModoOrganizar Modo);
    void BucleColocacion(const AnsiString& Curso);
    TResultadoOrganizar GrabaResultado();

    // checks
    bool CabeEnGrupo(int Curso, int Grupo, int Equilibrio, int Cuenta);
    bool OpcionDelGrupo(int Curso, int Grupo, char Letra, int Separa, int Equilibrio);
    bool DivisionDelGrupo(int Asig, int Div, int Grupo, int Une);
    bool GrupoEnDivision(int Asig, int Div, int Grupo, int Parte);
    bool CabeEnDivision(int Asig, int Div, int Grupo, int Equilibrio, int Cuenta);
    bool BloqueEnDivision(int Asig, int Div, int Grupo, int Une, int Parte, int Equilibrio);
    bool ConexionesNuevas(int Asig, int Div, int Grupo, int Codigo, int Une, int Parte, int Equilibrio);
    bool ConexionRepetida(const TNodo& Nodo, const int* DivElegida, const int* CodElegido, int Asig,
                          int Codigo) const;
    int AsignaConexion(const TNodo& Nodo, const int* DivElegida, const int* CodElegido, int Asig, int Div,
                       int Grupo, int Codigo);
    int MarcaConexion(int Asig, int Fila, int Grupo, int Codigo, int Marca);
    // The rows of the block that the component of the cell reaches: those
    // whose SelloAlcanzada is SelloRelleno afterwards (Alcanzadas counts them).
    void AlcanzaConexion(int Asig, int Fila, int Grupo, int Codigo);
    template <class TEntra>
    void BarreConexion(int Asig, int Fila, int Grupo, int Codigo, TEntra&& Entra);
    uint32_t NuevoSello();  // SelloRelleno for a new sweep
    int ColocaDirecto(TNodo& Nodo, int Une, int Parte, int Equilibrio);
    void RenumeraConexiones();
    void MayorConexion();

    // search
    int TamanoLote(int Posicion, int Anterior) const;
    std::unique_ptr<TArbol> CreaArbol(int N);
    void IniciaNodo(TNodo& Nodo) const;
    static int NodosUsados(const TArbol& Auxiliar);  // the batches a strategy left in the array
    int BuscaNivel(TArbol& Nodos, int Une, int Parte, int Equilibrio, int Profundidad);
    int SecuenciaBusqueda(TNodo& Nodo, int Une, int Parte, int Equilibrio, int Profundidad, TArbol& Auxiliar,
                          bool Primera, TSecuencia& Sec);
    int DesplazaTipo(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar, bool Primera,
                     TPosicionEstrategia& Pos);
    int DesplazaGrupo(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar, bool Primera,
                      TPosicionEstrategia& Pos);
    int DesplazaAsignatura(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar, bool Primera,
                           TPosicionEstrategia& Pos);
    bool PruebaGrupo(TNodo& Nodo, TArbol& Auxiliar, int Grupo, int Curso, TPosicionEstrategia& Pos,
                     int* DivElegida, int* CodElegido, int Une, int Parte, int Equilibrio);
    int AgregaLote(int Alumno, TArbol& Auxiliar) const;
    void ColocaNodo(TNodo& Nodo);
    // PorGrupo: the batch's students are looked for in their group's bucket
    // of GrupoLista, as the strategy under way left it.
    void QuitaNodo(TNodo& Nodo, bool PorGrupo = false);
    void RefrescaMemoria();
    bool Detenido() const { return AlumnoActual == -1; }

    // undo: every change of the placement state is written down, and a failed
    // try or alternative goes back to the mark it took
    size_t MarcaDiario() const { return Diario.size(); }
    void DeshaceHasta(size_t Marca);
    TInstantanea Instantanea() const;

    // --- model and state ---
    IVistaOrganizar* Vista;
    std::function<uint32_t()> Tick;
    TFalloMemoria FalloMemoria;  // tests: make a tagged allocation fail
    // tests: called before and after every try of a batch
    std::function<void(TOrganizador&)> AntesDeIntento;
    std::function<void(TOrganizador&, bool Colocado)> DespuesDeIntento;

    TMemoFija Memo;
    AnsiString TNCSeleccionado;
    int FilasTipGrup = 0;
    int NGrupDefectos = 0;  // the course's number of groups for the defaults
    std::vector<AnsiString> AsigCuentaOptativas;
    std::unordered_map<AnsiString, int, THashCodigo> PosCuentaOptativas;  // key: upper-cased code
    std::unordered_map<AnsiString, int, THashCodigo> PosOptativas;
    int PosicionCuentaOptativa(std::string_view Codigo) const;
    bool EsOptativa(std::string_view Codigo) const;

    // options of the run: as given when the organizer starts, then those of
    // the run, then those the dialog answered when it closed
    TOpcionesOrganizar OpcionesEnVigor;
    int Regenera = 0;
    int Profundidad = 2;
    int PrimerEquilibrio = 1;
    int SeparaOpciones = 0;
    TNumeracion NumGrupo = TNumeracion::ABC, NumDivision = TNumeracion::abc, NumConexion = TNumeracion::abc;

    // run state
    int EstadoOrganizar = 0;  // 0 running, 1 stopped or failed, 2 memory exhausted
    int AlumnoActual = -1;    // -1 stop, -111 memory exhausted
    int Lote = 0;
    AnsiString ModoEjecucion;
    int64_t ContadorMemoria = 1048576;
    bool ClavValidas = false;
    AnsiString TextoFallo;
    TEstadisticaOrganizar Estadistica;

    // working structures
    int NumAsigs = 0;
    std::vector<TEstadoAsig> EstAsig;
    std::vector<TEstadoCurso> EstCurso;
    std::vector<TPlazaAlumno> Alumnos;
    int NumAlumnos = 0;
    std::vector<uint8_t> Comparten;  // subjects x subjects: some student takes both

    // --- inside the steps ---
    void Pon(int& Campo, int Valor);
    // A cell of the placement, and the count of its group's cells that are not 0.
    void PonCelda(TEstadoAsig& E, int Fila, int Grupo, int Valor);
    // A kept connection code, and its subject's label.
    void PonCodigo(TEstadoAsig& E, int Celda, int Valor);
    // Codes and working codes were written wholesale: every subject gets a new label.
    void CodigosCambiados();
    // The placement was set wholesale (loaded, or placed students fixed).
    void ColocacionCambiada();
    void ColocaAlumno(int Alumno, int Grupo, const std::vector<TEleccionAsig>& Slots, bool Viejo);
    void DescolocaAlumno(int Alumno, int Grupo, const std::vector<TEleccionAsig>& Slots, bool Viejo);
    // The first student from Desde on (a place in the list looked through,
    // which BuscaColocado leaves at the student found) that the batch takes.
    int BuscaSinColocar(const TNodo& Nodo, int Desde) const;
    int BuscaColocado(const TNodo& Nodo, bool Viejo, bool PorGrupo, int& Desde) const;
    bool PruebaMiembro(TNodo& Nodo, int Miembro, int Grupo, int Une, int Parte, int Equilibrio, int DivDesde,
                       int NumCodigos, int* DivElegida, int* CodElegido, int* UltimaDiv);
    void Bloque(const TNodo& Nodo, int Slot, std::vector<int>& Miembros) const;
    void EmpiezaOrden(const TNodo& Nodo, const std::vector<int>& Miembros, int64_t Q, int* Orden,
                      int* DivElegida, int* CodElegido);
    void NumeraComponentes(bool PorBloque);
    void RestableceTrabajo(int Asig);
    void AsignacionesDeCeldas();
    void PasaSinDivisionAFilas();
    void MuestraProgreso(int Alumno, int Lote);
    void MuestraFin();
    AnsiString TextoAsignaturasAlumno(int Alumno) const;
    int Estrategia(int Cual, TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar, bool Primera,
                   TPosicionEstrategia& Pos);
    void AgrupaColocados();
    void NumeraConexiones();
    using TPosiciones = std::array<int, SlotsFila>;  // place of each slot's code in AsigCuentaOptativas
    TPosiciones PosicionesFila(const TFilaTipo& Fila) const;
    bool MismoTipoFila(const TFilaTipo& Fila, const TPosiciones& Pf, const TFilaTipo& Tipo,
                       const TPosiciones& Pt, bool Colocacion) const;
    bool MismoTipoAlumno(int Tipo, const TPlazaAlumno& Alumno) const;
    void PreparaEntradasTipos();
    bool ReservaFallida(const char* Tag);

    std::vector<std::pair<int*, int>> Diario;
    std::vector<int> TipoDeFila;  // student row -> index of the type it was grouped into
    std::vector<std::vector<std::array<int, 3>>> EntradasTipos;  // per type: subject, division, connection
    std::vector<std::unique_ptr<TArbol>> ArbolesLibres;          // full arrays of the levels that ended
    std::vector<std::array<int, 3>> PilaMarca;
    struct TFilaBloque {
        int Asig, Fila;
        uint64_t Grupos;  // the groups where the row carries the code
    };
    std::vector<TFilaBloque> FilasBloque;
    uint32_t SelloRelleno = 0;         // the connection sweep under way, for the stamps of rows and groups
    std::vector<uint32_t> SelloGrupo;  // per group: the sweep that swept it last
    int RelojCodigos = 0;              // the last label of the codes given out
    std::vector<int> Lista, Inicio;    // students by candidate of a displacement strategy
    // The students a displacement may take out (placed, not fixed) by group,
    // in the students' order, as the placement stands when a strategy
    // starts: it stands still while the strategy's candidates are tried
    // (each try puts everyone back).
    std::vector<int> GrupoInicio, GrupoLista;
    // The same buckets with each group's students by type (AlumnosPorTipo).
    std::vector<int> TipoInicio, TipoLista;
    // The placement's label (which students have which group): it changes
    // with every student placed or taken out and comes back when that is
    // undone; the buckets above are of the placements of these labels.
    int VersionColocacion = 0, RelojColocacion = 0;
    int VersionGrupoLista = -1, VersionTipoLista = -1;
    // The students by type number, in the students' order within one: the
    // types do not change while a run searches.
    std::vector<int> AlumnosPorTipo;
    // By place in Memo.Tipos: a type of the course CursoTipos.
    std::vector<char> TipoDelCurso;
    int CursoTipos = -1;
    uint32_t UltimoRefresco = 0;
    bool Refrescado = false;
};

// Factorial(n) for the orderings of an option block; 64 bits hold it for
// every block a row can have (at most 20 subjects).
int64_t Factorial(int N);
// The Q-th ordering (from 0) of 0..N-1 in lexicographic order, written from
// its last element to its first.
void Permutacion(int N, int64_t Q, int* Orden);
