// The placement loop: batches of one type, largest types first, each tried
// under a fixed sequence of relaxation levels; a try places its batch
// directly or displaces students already placed and places them again one
// level deeper. Whatever a failed try changed is undone exactly.
#include <algorithm>

#include "organizer/Organizar.h"

namespace {
constexpr int NodosAuxiliares = 200;
constexpr int MaxNodos = 201;
constexpr int MaxPorLote = 3;  // students of one displaced batch

// Buckets of the students by a key (-1: none), each in the students' order:
// Inicio[k] .. Inicio[k + 1] of Lista hold the students of key k.
// Orden, when given, is the order of the students within a bucket.
template <class TClave>
void Reparte(const std::vector<TPlazaAlumno>& Alumnos, int N, int Claves, TClave&& Clave,
             std::vector<int>& Inicio, std::vector<int>& Lista, const int* Orden = nullptr) {
    Inicio.assign(Claves + 1, 0);
    for (int i = 0; i < N; ++i)
        if (const int k = Clave(Alumnos[i]); k >= 0) ++Inicio[k + 1];
    for (int k = 0; k < Claves; ++k) Inicio[k + 1] += Inicio[k];
    Lista.resize(Inicio[Claves]);
    // Inicio[k] runs to the end of bucket k while it fills, and is put back
    for (int x = 0; x < N; ++x) {
        const int i = Orden ? Orden[x] : x;
        if (const int k = Clave(Alumnos[i]); k >= 0) Lista[Inicio[k]++] = i;
    }
    for (int k = Claves; k > 0; --k) Inicio[k] = Inicio[k - 1];
    Inicio[0] = 0;
}
}  // namespace

void TOrganizador::Pon(int& Campo, int Valor) {
    if (Campo == Valor) return;
    Diario.push_back({&Campo, Campo});
    Campo = Valor;
}

void TOrganizador::PonCelda(TEstadoAsig& E, int Fila, int Grupo, int Valor) {
    int& celda = E.Celdas[E.C(Fila, Grupo)];
    if ((celda != 0) != (Valor != 0))
        Pon(E.FilasConAlumnos[Grupo], E.FilasConAlumnos[Grupo] + (Valor != 0 ? 1 : -1));
    Pon(celda, Valor);
}

void TOrganizador::PonCodigo(TEstadoAsig& E, int Celda, int Valor) {
    const int viejo = E.Codigos[Celda];
    if (viejo == Valor) return;
    Pon(E.Codigos[Celda], Valor);
    Pon(E.VersionCodigos, ++RelojCodigos);
    if (E.GruposDeCodigo.empty()) return;
    const int fila = Celda / E.Grupos, bit = 1 << (Celda % E.Grupos);
    if (viejo >= 0 && viejo < CodigosEnPalabra) {
        int& m = E.GruposDeCodigo[fila * CodigosEnPalabra + viejo];
        Pon(m, m & ~bit);
    }
    if (Valor >= 0 && Valor < CodigosEnPalabra) {
        int& m = E.GruposDeCodigo[fila * CodigosEnPalabra + Valor];
        Pon(m, m | bit);
    }
}

void TOrganizador::CodigosCambiados() {
    for (auto& e : EstAsig) {
        e.VersionCodigos = ++RelojCodigos;
        e.BaseTrabajo = e.VersionPrevios = -1;
        e.Cambiadas.clear();
        e.GruposDeCodigo.clear();
        if (!e.TieneCeldas() || e.Grupos > GruposEnPalabra) continue;
        e.GruposDeCodigo.assign(static_cast<size_t>(e.Divisiones + 1) * CodigosEnPalabra, 0);
        for (int r = 0; r <= e.Divisiones; ++r)
            for (int g = 0; g < e.Grupos; ++g)
                if (const int c = e.Codigos[e.C(r, g)]; c >= 0 && c < CodigosEnPalabra)
                    e.GruposDeCodigo[r * CodigosEnPalabra + c] |= 1 << g;
    }
}

void TOrganizador::DeshaceHasta(size_t Marca) {
    while (Diario.size() > Marca) {
        *Diario.back().first = Diario.back().second;
        Diario.pop_back();
    }
}

TInstantanea TOrganizador::Instantanea() const {
    TInstantanea r;
    auto& v = r.Valores;
    for (int i = 0; i < NumAlumnos; ++i) {
        const TPlazaAlumno& p = Alumnos[i];
        v.push_back(p.Grupo);
        v.push_back(p.Fijo);
        v.push_back(p.Selec);
        v.push_back(p.Tipo);
        for (const auto& e : p.Asigs) {
            v.push_back(e.Asig);
            v.push_back(e.Div);
            v.push_back(e.Con);
        }
    }
    for (int s = 0; s < Memo.NumAsignaturas; ++s) {
        const TEstadoAsig& e = EstAsig[s];
        v.insert(v.end(), e.Celdas.begin(), e.Celdas.end());
        v.insert(v.end(), e.FilasConAlumnos.begin(), e.FilasConAlumnos.end());
        v.insert(v.end(), e.GruposDeCodigo.begin(), e.GruposDeCodigo.end());
        v.insert(v.end(), e.FilasDiv.begin(), e.FilasDiv.end());
        v.insert(v.end(), e.Codigos.begin(), e.Codigos.end());
        v.push_back(e.DivLibres);
    }
    for (int c = 0; c < Memo.NumCursos; ++c) {
        const TEstadoCurso& e = EstCurso[c];
        v.insert(v.end(), e.CuentaGrupo.begin(), e.CuentaGrupo.end());
        for (const auto& o : e.CuentaOpcion) v.insert(v.end(), o.begin(), o.end());
    }
    return r;
}

void TOrganizador::RefrescaMemoria() {
    if (!Vista) return;
    if (Vista->PararPedido()) Para();
    const uint32_t ahora = Tick();
    if (Refrescado && ahora - UltimoRefresco < IntervaloRefresco) return;
    Refrescado = true;
    UltimoRefresco = ahora;
    Vista->Memoria(IntToStr(ContadorMemoria * 100));
    Vista->ProcesaMensajes();
}

int TOrganizador::TamanoLote(int Posicion, int Anterior) const {
    const TPlazaAlumno& p = Alumnos[Posicion];
    int q = Posicion - 1;
    while (q > 0 && Alumnos[q].Tipo == p.Tipo) --q;
    const int corrida = Posicion - q;
    const bool optimos = PrimerEquilibrio == 0;
    const int a = optimos ? EstCurso[p.Curso].Media : Memo.Cursos[p.Curso].MaxAlum;
    int b = 1000;
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = p.Asigs[m].Asig;
        if (s >= 0 && Memo.Asignaturas[s].MaxAlum < b)
            b = optimos ? EstAsig[s].Media : Memo.Asignaturas[s].MaxAlum;
    }
    int tam = std::min({corrida, a, b});
    if (Posicion + 1 < NumAlumnos && Alumnos[Posicion + 1].Tipo == p.Tipo) tam = std::min(tam, Anterior);
    // A batch of none would never move the loop on.
    return std::max(tam, 1);
}

void TOrganizador::IniciaNodo(TNodo& Nodo) const {
    Nodo.Tipo = -1;
    Nodo.NAlum = 0;
    Nodo.Curso = -1;
    Nodo.Opcion = 0;
    Nodo.GrupoViejo = Nodo.GrupoNuevo = -1;
    for (auto& s : Nodo.Slots) s = TEleccionAsig{};
    Nodo.Hijos.reset();
}

std::unique_ptr<TArbol> TOrganizador::CreaArbol(int N) {
    N = std::min(N, MaxNodos);
    for (const char* tag : {"EN CREA ARBOL 1", "EN CREA ARBOL 2"})
        if (FalloMemoria && FalloMemoria(tag)) {
            Mensaje(TextoMemInsuf(tag));
            EstadoOrganizar = 2;
            AlumnoActual = -111;
            return nullptr;
        }
    // Every search level takes a full array for the batches its strategies
    // take out and gives it back when it ends: those are used again.
    if (N == MaxNodos && !ArbolesLibres.empty()) {
        std::unique_ptr<TArbol> arbol = std::move(ArbolesLibres.back());
        ArbolesLibres.pop_back();
        const int usados = NodosUsados(*arbol);
        for (int i = 0; i < usados; ++i) IniciaNodo((*arbol)[i]);
        return arbol;
    }
    auto arbol = std::make_unique<TArbol>(N);
    for (auto& n : *arbol) {
        n.Slots.resize(NumAsigs + 1);
        IniciaNodo(n);
    }
    arbol->back().Tipo = -2;
    return arbol;
}

// The batches of a strategy fill an array of batches from its start, each
// with one student at least, and the next call starts it afresh: past the
// first batch of none, every batch is as IniciaNodo leaves it.
int TOrganizador::NodosUsados(const TArbol& Auxiliar) {
    int n = 0;
    while (n < NodosAuxiliares && n < static_cast<int>(Auxiliar.size()) && Auxiliar[n].NAlum != 0) ++n;
    return n;
}

int TOrganizador::BuscaSinColocar(const TNodo& Nodo, int Desde) const {
    for (int i = Desde; i < NumAlumnos; ++i) {
        const TPlazaAlumno& p = Alumnos[i];
        if (!p.Fijo && p.Curso == Nodo.Curso && p.Grupo < 0 && p.Opcion == Nodo.Opcion && p.Tipo == Nodo.Tipo)
            return i;
    }
    return -1;
}

int TOrganizador::BuscaColocado(const TNodo& Nodo, bool Viejo, bool PorGrupo, int& Desde) const {
    const int grupo = Viejo ? Nodo.GrupoViejo : Nodo.GrupoNuevo;
    const int* desde = nullptr;
    const int* hasta = nullptr;
    if (PorGrupo && grupo >= 0 && grupo + 1 < static_cast<int>(GrupoInicio.size())) {
        desde = GrupoLista.data() + GrupoInicio[grupo];
        hasta = GrupoLista.data() + GrupoInicio[grupo + 1];
    }
    const int n = desde ? static_cast<int>(hasta - desde) : NumAlumnos;
    for (int x = Desde; x < n; ++x) {
        const int i = desde ? desde[x] : x;
        const TPlazaAlumno& p = Alumnos[i];
        if (p.Fijo || p.Curso != Nodo.Curso || p.Grupo != grupo || p.Opcion != Nodo.Opcion) continue;
        bool igual = true;
        for (int m = 0; m < NumAsigs && igual; ++m) {
            const TEleccionAsig& n = Nodo.Slots[m];
            const TEleccionAsig& e = p.Asigs[m];
            igual = e.Asig == n.Asig && (n.Asig < 0 || (e.Div != -1 && e.Div == (Viejo ? n.Div2 : n.Div)));
        }
        if (igual) {
            Desde = x;
            return i;
        }
    }
    return -1;
}

void TOrganizador::ColocacionCambiada() {
    VersionColocacion = ++RelojColocacion;
    VersionGrupoLista = VersionTipoLista = -1;
}

void TOrganizador::ColocaAlumno(int Alumno, int Grupo, const std::vector<TEleccionAsig>& Slots, bool Viejo) {
    Pon(VersionColocacion, ++RelojColocacion);
    TPlazaAlumno& p = Alumnos[Alumno];
    TEstadoCurso& curso = EstCurso[p.Curso];
    if (Grupo >= 0) {
        Pon(p.Grupo, Grupo);
        Pon(curso.CuentaGrupo[Grupo], curso.CuentaGrupo[Grupo] + 1);
    }
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = p.Asigs[m].Asig;
        const int v = Viejo ? Slots[m].Div2 : Slots[m].Div;
        const int con = Viejo ? Slots[m].Con2 : Slots[m].Con;
        if (s < 0) continue;
        TEstadoAsig& e = EstAsig[s];
        if (v < 0 || v >= e.Divisiones) continue;
        if (Grupo >= 0) {
            PonCelda(e, v, Grupo, e.Celdas[e.C(v, Grupo)] + 1);
            PonCodigo(e, e.C(v, Grupo), con);
        }
        Pon(e.FilasDiv[v], e.FilasDiv[v] + 1);
        Pon(p.Asigs[m].Div, v);
        Pon(p.Asigs[m].Con, con);
    }
    if (Grupo >= 0 && p.Opcion >= 'A' && p.Opcion <= 'J') {
        int& n = curso.CuentaOpcion[Grupo][p.Opcion - 'A'];
        Pon(n, n + 1);
    }
}

void TOrganizador::DescolocaAlumno(int Alumno, int Grupo, const std::vector<TEleccionAsig>& Slots,
                                   bool Viejo) {
    Pon(VersionColocacion, ++RelojColocacion);
    TPlazaAlumno& p = Alumnos[Alumno];
    TEstadoCurso& curso = EstCurso[p.Curso];
    if (Grupo >= 0) Pon(curso.CuentaGrupo[Grupo], curso.CuentaGrupo[Grupo] - 1);
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = p.Asigs[m].Asig;
        const int v = Viejo ? Slots[m].Div2 : Slots[m].Div;
        if (s >= 0) {
            TEstadoAsig& e = EstAsig[s];
            if (v >= 0 && v < e.Divisiones) {
                if (Grupo >= 0) {
                    const int k = e.C(v, Grupo);
                    PonCelda(e, v, Grupo, e.Celdas[k] - 1);
                    if (e.Celdas[k] == 0) PonCodigo(e, k, -1);
                }
                Pon(e.FilasDiv[v], e.FilasDiv[v] - 1);
            }
        }
        Pon(p.Asigs[m].Div, -1);
        Pon(p.Asigs[m].Con, -1);
    }
    if (Grupo >= 0 && p.Opcion >= 'A' && p.Opcion <= 'J') {
        int& n = curso.CuentaOpcion[Grupo][p.Opcion - 'A'];
        Pon(n, n - 1);
    }
    Pon(p.Grupo, -1);
}

// Placing or taking out a student changes that student alone: the next
// one is looked for from where the last was found.
void TOrganizador::ColocaNodo(TNodo& Nodo) {
    int s = 0;
    for (int k = 0; k < Nodo.NAlum; ++k) {
        s = BuscaSinColocar(Nodo, s);
        if (s < 0) break;
        ColocaAlumno(s, Nodo.GrupoNuevo, Nodo.Slots, false);
    }
}

void TOrganizador::QuitaNodo(TNodo& Nodo, bool PorGrupo) {
    int desde = 0;
    for (int k = 0; k < Nodo.NAlum; ++k) {
        const int s = BuscaColocado(Nodo, true, PorGrupo, desde);
        if (s < 0) break;
        DescolocaAlumno(s, Nodo.GrupoViejo, Nodo.Slots, true);
    }
}

int TOrganizador::AgregaLote(int Alumno, TArbol& Auxiliar) const {
    const TPlazaAlumno& p = Alumnos[Alumno];
    int enUso = 0;
    while (enUso < NodosAuxiliares && Auxiliar[enUso].Tipo != -1 && Auxiliar[enUso].Tipo != -2) ++enUso;
    for (int i = 0; i < enUso; ++i) {
        const TNodo& n = Auxiliar[i];
        if (n.NAlum >= MaxPorLote || n.Curso != p.Curso || n.GrupoViejo != p.Grupo || n.Opcion != p.Opcion)
            continue;
        bool igual = true;
        for (int m = 0; m < NumAsigs && igual; ++m)
            igual = n.Slots[m].Asig == p.Asigs[m].Asig && n.Slots[m].Div2 == std::max(-1, p.Asigs[m].Div);
        if (igual) {
            ++Auxiliar[i].NAlum;
            return enUso;
        }
    }
    if (enUso >= NodosAuxiliares) return enUso;
    TNodo& n = Auxiliar[enUso];
    n.Tipo = p.Tipo;
    n.Curso = p.Curso;
    n.GrupoViejo = p.Grupo;
    n.GrupoNuevo = -1;
    n.Opcion = p.Opcion;
    n.NAlum = 1;
    for (int m = 0; m < NumAsigs; ++m) {
        TEleccionAsig& e = n.Slots[m];
        e.Asig = p.Asigs[m].Asig;
        e.Div2 = p.Asigs[m].Div >= 0 ? p.Asigs[m].Div : -1;
        e.Con2 = p.Asigs[m].Div >= 0 ? p.Asigs[m].Con : -1;
        e.Div = e.Con = -1;
    }
    return enUso + 1;
}

bool TOrganizador::PruebaGrupo(TNodo& Nodo, TArbol& Auxiliar, int Grupo, int Curso, TPosicionEstrategia& Pos,
                               int* DivElegida, int* CodElegido, int Une, int Parte, int Equilibrio) {
    const size_t marca = MarcaDiario();
    for (int i = 0; i < NodosAuxiliares && Auxiliar[i].NAlum > 0; ++i) QuitaNodo(Auxiliar[i], true);
    int ultimaDiv = -1;
    int64_t ultimoOrden = 0;
    bool ok = CabeEnGrupo(Curso, Grupo, Equilibrio, Nodo.NAlum) &&
              OpcionDelGrupo(Curso, Grupo, Nodo.Opcion, SeparaOpciones, Equilibrio);
    if (ok) {
        std::fill(DivElegida, DivElegida + SlotsPlaza, -1);
        std::fill(CodElegido, CodElegido + SlotsPlaza, -1);
        // The connection codes as they stand with the displaced students out:
        // codes left behind by earlier tries must not decide this one.
        for (int s = 0; s < Memo.NumAsignaturas; ++s)
            if (EstAsig[s].Curso == Curso && EstAsig[s].TieneCeldas()) RestableceTrabajo(s);
        int orden[SlotsPlaza];
        std::vector<int> miembros;
        for (int m = 0; m < NumAsigs && ok; ++m) {
            if (Nodo.Slots[m].Asig < 0 || DivElegida[m] != -1) continue;
            Bloque(Nodo, m, miembros);
            const int n = static_cast<int>(miembros.size());
            const int codigos = Memo.Asignaturas[Nodo.Slots[m].Asig].NAsAlum;
            const int64_t ordenes = Factorial(n);
            bool servido = false;
            for (int64_t q = Pos.OrdenReanuda[m]; q < ordenes && !servido && !Detenido(); ++q) {
                ultimoOrden = q;
                EmpiezaOrden(Nodo, miembros, q, orden, DivElegida, CodElegido);
                bool todos = true;
                for (int e = 0; e < n && todos; ++e) {
                    const int miembro = miembros[orden[e]];
                    todos = PruebaMiembro(Nodo, miembro, Grupo, Une, Parte, Equilibrio,
                                          Pos.DivReanuda[miembro] + 1, codigos, DivElegida, CodElegido,
                                          &ultimaDiv);
                }
                servido = todos;
            }
            ok = servido;
        }
    }
    for (int m = 0; m < NumAsigs; ++m) {
        Pos.DivReanuda[m] = ultimaDiv;
        Pos.OrdenReanuda[m] = ultimoOrden;
    }
    DeshaceHasta(marca);  // the displaced batches go back to their places
    return ok;
}

namespace {
void ReiniciaReanuda(TPosicionEstrategia& Pos) {
    Pos.DivReanuda.fill(-1);
    Pos.OrdenReanuda.fill(0);
}
}  // namespace

// The three strategies share one frame: candidates in order from the saved
// position, the students a candidate takes out collected into batches, the
// node tried in the target group with them out.
int TOrganizador::Estrategia(int Cual, TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar,
                             bool Primera, TPosicionEstrategia& Pos) {
    if (Primera) {
        Pos.Grupo = Pos.Tipo = Pos.Asignatura = 0;
        ReiniciaReanuda(Pos);
    }
    const int curso = Nodo.Curso;
    if (curso < 0) return -1;
    const int grupos = EstCurso[curso].Grupos;
    int divEl[SlotsPlaza], codEl[SlotsPlaza];
    int enUso = NodosUsados(Auxiliar);
    // The students a candidate takes out, in the students' order: the
    // placement does not change while the candidates are tried (each try
    // puts everyone back), so they are sorted into buckets once per call.
    auto prueba = [&](int Grupo, const int* Desde, const int* Hasta) {
        if (Desde == Hasta) {  // nobody to take out
            ReiniciaReanuda(Pos);
            return false;
        }
        for (int i = 0; i < enUso; ++i) IniciaNodo(Auxiliar[i]);
        enUso = 0;
        for (const int* a = Desde; a != Hasta; ++a) enUso = AgregaLote(*a, Auxiliar);
        if (Grupo < 0 ||
            !PruebaGrupo(Nodo, Auxiliar, Grupo, curso, Pos, divEl, codEl, Une, Parte, Equilibrio)) {
            ReiniciaReanuda(Pos);
            return false;
        }
        Nodo.GrupoNuevo = Grupo;
        for (int m = 0; m < NumAsigs; ++m) {
            Nodo.Slots[m].Div = divEl[m];
            Nodo.Slots[m].Con = codEl[m];
        }
        return true;
    };
    // buckets: Inicio[k] .. Inicio[k + 1] of Lista hold the students of key k
    auto reparte = [&](int Claves, auto&& Clave) {
        Reparte(Alumnos, NumAlumnos, Claves, Clave, Inicio, Lista);
    };
    auto cubo = [&](int K, int Grupo) {
        return prueba(Grupo, Lista.data() + Inicio[K], Lista.data() + Inicio[K + 1]);
    };
    // Every candidate's students come from one group, and taking a batch
    // out looks for its students in their group: the displaceable students
    // by group, in the students' order, made again only when the placement
    // has changed since (a search level often comes back to the same one).
    auto desplazable = [&](const TPlazaAlumno& p) {
        return !p.Fijo && p.Grupo >= 0 && p.Grupo < grupos ? p.Grupo : -1;
    };
    if (VersionGrupoLista != VersionColocacion || static_cast<int>(GrupoInicio.size()) != grupos + 1) {
        Reparte(Alumnos, NumAlumnos, grupos, desplazable, GrupoInicio, GrupoLista);
        VersionGrupoLista = VersionColocacion;
    }
    const int tipos = Memo.NumTipos + 1;
    if (Cual == 1) {
        // Candidates are the types by their number, the one the students
        // carry: every other type of the course once, in the order of the
        // types array (the empty record after them takes nobody out).
        // AgrupaTipos numbers the types by their place in the array, so each
        // group's students ordered by that number (in the students' order
        // within one) give the group's candidates that take somebody out,
        // in the order they come. The others take nobody out: trying one
        // only starts the next try afresh (ReiniciaReanuda), which every
        // candidate after the first one does anyway.
        if (static_cast<int>(AlumnosPorTipo.size()) != NumAlumnos) {
            AlumnosPorTipo.resize(NumAlumnos);
            for (int x = 0; x < NumAlumnos; ++x) AlumnosPorTipo[x] = x;
            std::stable_sort(AlumnosPorTipo.begin(), AlumnosPorTipo.end(),
                             [&](int a, int b) { return Alumnos[a].Tipo < Alumnos[b].Tipo; });
        }
        // the buckets of GrupoLista again, each by type
        if (VersionTipoLista != VersionColocacion || static_cast<int>(TipoInicio.size()) != grupos + 1) {
            Reparte(Alumnos, NumAlumnos, grupos, desplazable, TipoInicio, TipoLista, AlumnosPorTipo.data());
            VersionTipoLista = VersionColocacion;
        }
        if (CursoTipos != curso || static_cast<int>(TipoDelCurso.size()) != Memo.NumTipos) {
            const AnsiString& abrev = Memo.Cursos[curso].Abrev;
            TipoDelCurso.resize(Memo.NumTipos);
            for (int t = 0; t < Memo.NumTipos; ++t) TipoDelCurso[t] = Memo.Tipos[t].Curso == abrev;
            CursoTipos = curso;
        }
        auto candidato = [&](int T) { return TipoDelCurso[T] && Memo.Tipos[T].Numero != Nodo.Tipo; };
        // the first candidate, empty or not: the only one tried with the
        // positions this call was given
        auto primerTipo = [&](int Desde) {
            while (Desde < Memo.NumTipos && !candidato(Desde)) ++Desde;
            return Desde;
        };
        int g0 = Pos.Grupo, t0 = primerTipo(Pos.Tipo);
        if (t0 == Memo.NumTipos) {
            ++g0;
            t0 = primerTipo(0);
        }
        const bool hayCandidatos = g0 < grupos && t0 < Memo.NumTipos;
        for (int g = Pos.Grupo; g < grupos; ++g) {
            const int desdeTipo = g == Pos.Grupo ? Pos.Tipo : 0;
            const int* a = TipoLista.data() + TipoInicio[g];
            const int* finGrupo = TipoLista.data() + TipoInicio[g + 1];
            while (a != finGrupo) {
                const int numero = Alumnos[*a].Tipo;
                const int* b = a;
                while (b != finGrupo && Alumnos[*b].Tipo == numero) ++b;
                const int t = numero - 1;
                if (numero >= 1 && numero < tipos && t >= desdeTipo && candidato(t)) {
                    if (g != g0 || t != t0) ReiniciaReanuda(Pos);
                    if (prueba(g, a, b)) {
                        Pos.Grupo = g;
                        Pos.Tipo = t;
                        return enUso;
                    }
                }
                a = b;
            }
        }
        if (hayCandidatos) ReiniciaReanuda(Pos);
        Pos.Grupo = grupos;
        Pos.Tipo = 0;
        return -1;
    }
    if (Cual == 2) {
        reparte(grupos, [&](const TPlazaAlumno& p) {
            return p.Curso == curso && !p.Fijo && p.Grupo >= 0 && p.Grupo < grupos ? p.Grupo : -1;
        });
        for (int g = Pos.Grupo; g < grupos; ++g)
            if (cubo(g, g)) {
                Pos.Grupo = g;
                return enUso;
            }
        Pos.Grupo = grupos;
        return -1;
    }
    // by subject: every placed student that takes it; the target is the
    // group of the last placed student of the course
    int destino = -1;
    for (int i = 0; i < NumAlumnos; ++i)
        if (Alumnos[i].Curso == curso && !Alumnos[i].Fijo && Alumnos[i].Grupo >= 0)
            destino = Alumnos[i].Grupo;
    for (int s = Pos.Asignatura; s < Memo.NumAsignaturas; ++s) {
        if (EstAsig[s].Curso != curso) continue;
        Lista.clear();
        for (int i = 0; i < NumAlumnos; ++i) {
            const TPlazaAlumno& p = Alumnos[i];
            if (p.Curso != curso || p.Fijo || p.Grupo < 0) continue;
            for (int m = 0; m < NumAsigs; ++m)
                if (p.Asigs[m].Asig == s) {
                    Lista.push_back(i);
                    break;
                }
        }
        if (prueba(destino, Lista.data(), Lista.data() + Lista.size())) {
            Pos.Asignatura = s;
            return enUso;
        }
    }
    Pos.Asignatura = Memo.NumAsignaturas;
    return -1;
}

int TOrganizador::DesplazaTipo(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar,
                               bool Primera, TPosicionEstrategia& Pos) {
    return Estrategia(1, Nodo, Une, Parte, Equilibrio, Auxiliar, Primera, Pos);
}

int TOrganizador::DesplazaGrupo(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar,
                                bool Primera, TPosicionEstrategia& Pos) {
    return Estrategia(2, Nodo, Une, Parte, Equilibrio, Auxiliar, Primera, Pos);
}

int TOrganizador::DesplazaAsignatura(TNodo& Nodo, int Une, int Parte, int Equilibrio, TArbol& Auxiliar,
                                     bool Primera, TPosicionEstrategia& Pos) {
    return Estrategia(3, Nodo, Une, Parte, Equilibrio, Auxiliar, Primera, Pos);
}

int TOrganizador::SecuenciaBusqueda(TNodo& Nodo, int Une, int Parte, int Equilibrio, int Profundidad,
                                    TArbol& Auxiliar, bool Primera, TSecuencia& Sec) {
    if (Profundidad == 0) return ColocaDirecto(Nodo, Une, Parte, Equilibrio);
    if (Primera) {
        Sec.Fase = 1;
        Sec.FasePrimera = true;
    }
    // by type; then, only at the loosest levels, by group and by subject
    for (; Sec.Fase <= 3; ++Sec.Fase, Sec.FasePrimera = true) {
        if (Sec.Fase >= 2 && (Une == 0 || Parte == 0 || Equilibrio == 0)) return -1;
        TPosicionEstrategia& pos = Sec.Fase == 1   ? Sec.PorTipo
                                   : Sec.Fase == 2 ? Sec.PorGrupo
                                                   : Sec.PorAsignatura;
        const int r = Estrategia(Sec.Fase, Nodo, Une, Parte, Equilibrio, Auxiliar, Sec.FasePrimera, pos);
        if (r > 0) {
            Sec.FasePrimera = false;
            return r;
        }
    }
    return -1;
}

int TOrganizador::BuscaNivel(TArbol& Nodos, int Une, int Parte, int Equilibrio, int Profundidad) {
    if (AlumnoActual < 0 && AlumnoActual != -111) {
        EstadoOrganizar = 1;
        return 0;
    }
    RefrescaMemoria();
    std::unique_ptr<TArbol> auxiliar = CreaArbol(MaxNodos);
    const int64_t estimacion = 1608LL * NumAsigs + 6432;
    ContadorMemoria -= estimacion;
    bool todos = true;
    const int n = static_cast<int>(Nodos.size());
    // The positions of the strategies belong to this level: a deeper level
    // has its own and never moves this one's.
    TSecuencia sec;
    for (int i = 0; i < NodosAuxiliares && i < n && Nodos[i].NAlum != 0 && Nodos[i].Tipo != -2; ++i) {
        if (!todos) break;  // a node after a failed one fails too
        TNodo& nodo = Nodos[i];
        bool primera = true;
        bool exito = false;
        while (!exito) {
            if (EstadoOrganizar != 0 || !auxiliar) break;
            const int r =
                SecuenciaBusqueda(nodo, Une, Parte, Equilibrio, Profundidad, *auxiliar, primera, sec);
            primera = false;
            if (r == -1) break;
            if (r == 0) {
                ColocaNodo(nodo);
                exito = true;
                break;
            }
            if (Profundidad == 0) break;
            const size_t marca = MarcaDiario();
            std::unique_ptr<TArbol> hijos = CreaArbol(r + 1);
            if (!hijos) break;
            for (int k = 0; k < r; ++k) {
                TNodo& h = (*hijos)[k];
                const TNodo& a = (*auxiliar)[k];
                h.Tipo = a.Tipo;
                h.NAlum = a.NAlum;
                h.Curso = a.Curso;
                h.Opcion = a.Opcion;
                h.GrupoViejo = a.GrupoViejo;
                h.GrupoNuevo = a.GrupoNuevo;
                std::copy(a.Slots.begin(), a.Slots.end(), h.Slots.begin());
            }
            for (int k = 0; k < r; ++k)
                if ((*hijos)[k].NAlum > 0) QuitaNodo((*hijos)[k]);
            ColocaNodo(nodo);
            if (BuscaNivel(*hijos, Une, Parte, Equilibrio, Profundidad - 1) == 1) {
                nodo.Hijos = std::move(hijos);
                exito = true;
            } else {
                DeshaceHasta(marca);
                ++Estadistica.AlternativasDeshechas;
            }
        }
        todos = exito;
    }
    ContadorMemoria += estimacion;
    if (auxiliar) ArbolesLibres.push_back(std::move(auxiliar));
    return todos ? 1 : 0;
}

AnsiString TOrganizador::TextoAsignaturasAlumno(int Alumno) const {
    AnsiString r;
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = Alumnos[Alumno].Asigs[m].Asig;
        if (s >= 0) r += Copy(Memo.Asignaturas[s].Asig, 1, 3) + " ";
    }
    return r;
}

void TOrganizador::MuestraProgreso(int Alumno, int Tamano) {
    if (!Vista) return;
    AnsiString t =
        Regenera == 0 ? "* *     G E N E R A N D O     * *\n" : "* *   R E G E N E R A N D O   * *\n";
    t += "* \n";
    t += " Colocando " + IntToStr(Tamano) + " alumnos del tipo:\n";
    t += "* " + TextoAsignaturasAlumno(Alumno) + " *";
    Vista->TextoGeneral(t);
    Vista->AlumnoActual(IntToStr(Alumno <= -1 ? 0 : Alumno + 1));
    Vista->SinColocar(IntToStr(AlumnosSinGrupo()));
}

void TOrganizador::BucleColocacion(const AnsiString& Curso) {
    const int curso = Memo.BuscaCurso(Curso, -1);
    Profundidad = 2;
    Lote = 1000;
    AlumnoActual = NumAlumnos - 1;
    EstadoOrganizar = 0;
    while (AlumnoActual >= 0) {
        if (EstadoOrganizar == 1) {
            RefrescaMemoria();
            return;
        }
        const TPlazaAlumno& p = Alumnos[AlumnoActual];
        if (p.Fijo || p.Curso != curso || (ModoEjecucion == "uno" && !p.Selec)) {
            --AlumnoActual;
            continue;
        }
        RefrescaMemoria();
        // A stop that arrives here, between batches, leaves no student to size a batch for.
        if (Detenido()) return;
        // The run of a type counts its students already placed too; a batch
        // larger than the students still to place would be refused for room
        // they do not need, so it is cut to them, and a type with nobody left
        // to place makes no batch.
        int pendientes = 0;
        for (int i = 0; i < NumAlumnos; ++i) {
            const TPlazaAlumno& q = Alumnos[i];
            pendientes +=
                !q.Fijo && q.Curso == p.Curso && q.Grupo < 0 && q.Opcion == p.Opcion && q.Tipo == p.Tipo;
        }
        if (pendientes == 0) {
            --AlumnoActual;
            continue;
        }
        Lote = std::min(TamanoLote(AlumnoActual, Lote), pendientes);
        MuestraProgreso(AlumnoActual, Lote);
        const int inicio = AlumnoActual;
        const int alumno = AlumnoActual;
        Diario.clear();
        // No undo goes back past a batch: the labels of the codes may start again.
        if (RelojCodigos > (1 << 30)) {
            RelojCodigos = 0;
            CodigosCambiados();
        }
        if (RelojColocacion > (1 << 30)) {
            RelojColocacion = 0;
            ColocacionCambiada();
        }
        bool colocado = false;
        for (int une = 0; une <= 1 && !colocado; ++une)
            for (int parte = 0; parte <= 1 && !colocado; ++parte)
                for (int eq = PrimerEquilibrio; eq <= 1 && !colocado; ++eq)
                    for (int prof = 0; prof < Profundidad && !colocado; ++prof) {
                        if (AntesDeIntento) AntesDeIntento(*this);
                        const size_t marca = MarcaDiario();
                        int r = 0;
                        if (std::unique_ptr<TArbol> nodos = CreaArbol(2)) {
                            TNodo& n0 = (*nodos)[0];
                            const TPlazaAlumno& q = Alumnos[alumno];
                            n0.Tipo = q.Tipo;
                            n0.NAlum = Lote;
                            n0.Curso = q.Curso;
                            n0.Opcion = q.Opcion;
                            for (int m = 0; m < NumAsigs; ++m) n0.Slots[m].Asig = q.Asigs[m].Asig;
                            EstadoOrganizar = 0;
                            r = BuscaNivel(*nodos, une, parte, eq, prof);
                        }
                        if (r != 1) DeshaceHasta(marca);
                        if (DespuesDeIntento) DespuesDeIntento(*this, r == 1);
                        if (r == 1) {
                            colocado = true;
                            ++Estadistica.Lotes;
                            Estadistica.LotesUne += une;
                            Estadistica.LotesParte += parte;
                            Estadistica.LotesEquilibrio += eq;
                            Estadistica.LotesDesplazando += prof;
                            AlumnoActual -= Lote;
                        } else {
                            EstadoOrganizar = 1;
                        }
                    }
        Diario.clear();
        if (!colocado) {
            ++Estadistica.LotesFallidos;
            TextoFallo = "\nNO PUEDO COLOCAR: " + IntToStr(Lote) + " alumnos del tipo: \n* " +
                         TextoAsignaturasAlumno(alumno) + " *";
            if (Vista) Vista->TextoGeneral(TextoFallo);
            AlumnoActual = inicio - Lote;
            return;
        }
    }
}
