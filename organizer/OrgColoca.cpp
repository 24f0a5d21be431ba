// The checks that decide whether a batch fits a group, a division and a
// connection under the relaxation levels of a try, and the direct placement
// of a batch without moving anyone else.
//
// Levels: join 0 keeps a division to the groups it already has; split 0
// keeps the students of one group in one division of a subject; balance 0
// keeps groups and divisions within their averages (1: within their maxima);
// at 1, 1, 1 the block and connection rules are lifted.
#include <algorithm>

#include "organizer/Organizar.h"

int64_t Factorial(int N) {
    int64_t f = 1;
    for (int i = 2; i <= N; ++i) f *= i;
    return f;
}

void Permutacion(int N, int64_t Q, int* Orden) {
    int libres[SlotsPlaza];
    for (int i = 0; i < N; ++i) libres[i] = i;
    int quedan = N;
    for (int i = 0; i < N; ++i) {
        const int64_t f = Factorial(N - 1 - i);
        const int k = static_cast<int>(Q / f);
        Q %= f;
        Orden[N - 1 - i] = libres[k];
        std::copy(libres + k + 1, libres + quedan, libres + k);
        --quedan;
    }
}

bool TOrganizador::CabeEnGrupo(int Curso, int Grupo, int Equilibrio, int Cuenta) {
    ++Estadistica.Comprobaciones;
    const TFilaCurso& c = Memo.Cursos[Curso];
    int limite = c.MaxAlum;
    if (c.NMaxAl[Grupo] > 0 && c.NMaxAl[Grupo] < limite) limite = c.NMaxAl[Grupo];
    const int total = EstCurso[Curso].CuentaGrupo[Grupo] + Cuenta;
    return !(total > limite || (Equilibrio == 0 && total > EstCurso[Curso].Media));
}

bool TOrganizador::OpcionDelGrupo(int Curso, int Grupo, char Letra, int Separa, int Equilibrio) {
    ++Estadistica.Comprobaciones;
    if (Separa == 0 && Equilibrio == 1) return true;
    if (Letra < 'A' || Letra > 'J') return true;
    const auto& cuentas = EstCurso[Curso].CuentaOpcion[Grupo];
    if (cuentas[Letra - 'A'] > 0) return true;
    return std::all_of(cuentas.begin(), cuentas.end(), [](int n) { return n == 0; });
}

bool TOrganizador::DivisionDelGrupo(int Asig, int Div, int Grupo, int Une) {
    ++Estadistica.Comprobaciones;
    const TEstadoAsig& e = EstAsig[Asig];
    return Une == 1 || e.FilasDiv[Div] == 0 || e.Celdas[e.C(Div, Grupo)] > 0;
}

bool TOrganizador::GrupoEnDivision(int Asig, int Div, int Grupo, int Parte) {
    ++Estadistica.Comprobaciones;
    const TEstadoAsig& e = EstAsig[Asig];
    return Parte == 1 || e.Celdas[e.C(Div, Grupo)] > 0 || e.FilasConAlumnos[Grupo] == 0;
}

// The subject's maximum for the group being placed limits the whole
// division its students join, not only that group's share of it. The
// maxima of the groups already there do not bind the newcomers: a division
// that gathers groups takes the figure of the group that joins it.
bool TOrganizador::CabeEnDivision(int Asig, int Div, int Grupo, int Equilibrio, int Cuenta) {
    ++Estadistica.Comprobaciones;
    const TEstadoAsig& e = EstAsig[Asig];
    const TFilaAsigCurso& a = Memo.Asignaturas[Asig];
    int limite = a.MaxAlum;
    if (a.NMaxAl[Grupo] > 0 && a.NMaxAl[Grupo] < limite) limite = a.NMaxAl[Grupo];
    const int total = e.FilasDiv[Div] + Cuenta;
    return !(total > limite || (Equilibrio == 0 && total > e.Media));
}

bool TOrganizador::BloqueEnDivision(int Asig, int Div, int Grupo, int Une, int Parte, int Equilibrio) {
    ++Estadistica.Comprobaciones;
    if (Une == 1 && Parte == 1 && Equilibrio == 1) return true;
    int conAlumnos = 0;
    int t = Asig;
    do {
        const TEstadoAsig& e = EstAsig[t];
        conAlumnos += e.TieneCeldas() && Grupo < e.Grupos && e.FilasConAlumnos[Grupo] != 0;
        t = e.Siguiente;
    } while (t != Asig && t >= 0);
    const TEstadoAsig& e = EstAsig[Asig];
    if (conAlumnos == 0 || e.Celdas[e.C(Div, Grupo)] > 0) return true;
    return conAlumnos < 2;
}

bool TOrganizador::ConexionesNuevas(int Asig, int Div, int Grupo, int Codigo, int Une, int Parte,
                                    int Equilibrio) {
    ++Estadistica.Comprobaciones;
    TEstadoAsig& e = EstAsig[Asig];
    if ((Une == 1 && Parte == 1 && Equilibrio == 1) || e.Celdas[e.C(Div, Grupo)] > 0) return true;
    // The codes of the groups before this one stand until the subject's
    // codes change, while every division and code of a group is asked.
    if (e.VersionPrevios != e.VersionCodigos || e.GrupoPrevios != Grupo) {
        e.Previos.clear();
        for (int r = 0; r <= e.Divisiones; ++r)
            for (int h = 0; h < Grupo; ++h) {
                const int k = e.Codigos[e.C(r, h)];
                if (k >= 0 && std::find(e.Previos.begin(), e.Previos.end(), k) == e.Previos.end())
                    e.Previos.push_back(k);
            }
        e.VersionPrevios = e.VersionCodigos;
        e.GrupoPrevios = Grupo;
    }
    const int distintos = static_cast<int>(e.Previos.size()) +
                          (std::find(e.Previos.begin(), e.Previos.end(), Codigo) == e.Previos.end());
    const TFilaAsigCurso& a = Memo.Asignaturas[Asig];
    return distintos == std::min({a.NAsAlum, a.NDiv, Grupo + 1});
}

bool TOrganizador::ConexionRepetida(const TNodo& Nodo, const int* DivElegida, const int* CodElegido, int Asig,
                                    int Codigo) const {
    const int bloque = Memo.Asignaturas[Asig].BlOpt;
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = Nodo.Slots[m].Asig;
        if (s >= 0 && DivElegida[m] != -1 && Memo.Asignaturas[s].BlOpt == bloque && CodElegido[m] == Codigo)
            return true;
    }
    return false;
}

namespace {

// The first working code of each division row over the groups (-1: none);
// Coded counts the rows with a code, Distinct what is left once a code that
// a later row repeats is dropped (dropped entries become none).
struct TListaCodigos {
    std::array<int, 64> Codigo{};
    int Filas = 0;
    int Coded = 0;
    int Distinct = 0;
};

void ListaCodigos(const TEstadoAsig& E, TListaCodigos& L) {
    L.Filas = E.Divisiones + 1;
    L.Coded = L.Distinct = 0;
    for (int r = 0; r < L.Filas; ++r) {
        int c = -1;
        for (int g = 0; g < E.Grupos && c < 0; ++g)
            c = E.CodigosTrabajo[E.C(r, g)] >= 0 ? E.CodigosTrabajo[E.C(r, g)] : -1;
        L.Codigo[r] = c;
        L.Coded += c >= 0;
    }
    for (int r = 0; r < L.Filas; ++r) {
        if (L.Codigo[r] < 0) continue;
        for (int q = r + 1; q < L.Filas; ++q)
            if (L.Codigo[q] == L.Codigo[r]) {
                L.Codigo[r] = -1;
                break;
            }
        L.Distinct += L.Codigo[r] >= 0;
    }
}

}  // namespace

int TOrganizador::AsignaConexion(const TNodo& Nodo, const int* DivElegida, const int* CodElegido, int Asig,
                                 int Div, int Grupo, int Codigo) {
    ++Estadistica.Comprobaciones;
    if (ConexionRepetida(Nodo, DivElegida, CodElegido, Asig, Codigo)) return -2;
    TEstadoAsig& e = EstAsig[Asig];
    if (Div < e.Divisiones) {
        int actual = -1;
        for (int g = 0; g < e.Grupos && actual < 0; ++g)
            if (e.CodigosTrabajo[e.C(Div, g)] >= 0) actual = e.CodigosTrabajo[e.C(Div, g)];
        if (actual >= 0) {
            if (actual != Codigo) return -2;
            if (e.Celdas[e.C(Div, Grupo)] > 0) return 1;
        }
    }
    const int k = e.C(Div, Grupo);
    e.CodigosTrabajo[k] = Codigo;
    e.Cambiadas.push_back(k);
    // The rows of the block that the new connection reaches, which its
    // teachers must cover.
    AlcanzaConexion(Asig, Div, Grupo, Codigo);
    const uint32_t alcance = SelloRelleno;
    // The pair rule refuses a connection with which the subject and a block
    // mate would need more teachers at one time than the connections allow.
    // It asks about each mate once per division row of the mate, and its
    // answer depends on the row only through whether the new connection
    // reaches it: nothing moves while the block is asked, so the subject's
    // side is worked out once here and each mate's once, and every row still
    // counts as one check.
    const TEstadoAsig& es = e;
    int gruposConCodigo = 0;
    for (int h = 0; h < es.Grupos; ++h) gruposConCodigo += es.CodigosTrabajo[es.C(Div, h)] >= 0;
    // One connection, a cell already in use or a division shared by groups: no conflict.
    const bool nunca = Memo.Asignaturas[Asig].NAsAlum == 1 || es.Celdas[k] > 0 || gruposConCodigo > 1;
    // The subject's codes by division, listed when an answer needs them.
    TListaCodigos ls;
    bool listada = false;
    auto listaS = [&]() -> const TListaCodigos& {
        if (!listada) ListaCodigos(es, ls);
        listada = true;
        return ls;
    };
    // every division of the subject in one connection
    const bool siempre =
        !nunca && es.Divisiones > 1 && listaS().Coded == es.Divisiones && listaS().Distinct == 1;
    int t = Asig;
    do {
        const TEstadoAsig& et = EstAsig[t];
        const int filasMarcadas = et.SelloCuenta == alcance ? et.Alcanzadas : 0;
        if (filasMarcadas > Memo.Asignaturas[t].NProf) {
            e.CodigosTrabajo[k] = e.Codigos[k];
            return -1;
        }
        // the answer for a row the connection does not reach, and for one it
        // does (asked only when it reaches one)
        bool sinMarca = siempre, conMarca = siempre;
        if (!nunca && !siempre && t != Asig && filasMarcadas > 0 &&
            Comparten[static_cast<size_t>(Asig) * Memo.NumAsignaturas + static_cast<size_t>(t)] != 0 &&
            listaS().Coded >= es.Divisiones && listaS().Distinct == 1) {
            TListaCodigos lt;
            ListaCodigos(et, lt);
            // Two subjects that share students and each spread over two
            // connections are no conflict: a student in either connection of
            // one finds the other in the other connection. Refusing that pair
            // would leave two subjects taken together by more students than
            // one division holds (physics and biology, say) with no way to
            // open their fourth division.
            conMarca = lt.Coded >= et.Divisiones && lt.Distinct == 1;
        }
        for (int r = 0; et.TieneCeldas() && r <= et.Divisiones; ++r) {
            ++Estadistica.Comprobaciones;
            if (et.SelloAlcanzada[r] == alcance ? conMarca : sinMarca) {
                e.CodigosTrabajo[k] = e.Codigos[k];
                return -1;
            }
        }
        t = et.Siguiente;
    } while (t != Asig && t >= 0);
    return 1;
}

void TOrganizador::RestableceTrabajo(int Asig) {
    TEstadoAsig& e = EstAsig[Asig];
    if (e.BaseTrabajo == e.VersionCodigos) {
        for (int k : e.Cambiadas) e.CodigosTrabajo[k] = e.Codigos[k];
    } else {
        std::copy(e.Codigos.begin(), e.Codigos.end(), e.CodigosTrabajo.begin());
        e.BaseTrabajo = e.VersionCodigos;
    }
    e.Cambiadas.clear();
}

// Every ordering of a block starts from the kept codes, with nothing chosen.
void TOrganizador::EmpiezaOrden(const TNodo& Nodo, const std::vector<int>& Miembros, int64_t Q, int* Orden,
                                int* DivElegida, int* CodElegido) {
    Permutacion(static_cast<int>(Miembros.size()), Q, Orden);
    for (int x : Miembros) {
        DivElegida[x] = CodElegido[x] = -1;
        RestableceTrabajo(Nodo.Slots[x].Asig);
    }
}

void TOrganizador::Bloque(const TNodo& Nodo, int Slot, std::vector<int>& Miembros) const {
    Miembros.clear();
    const int bloque = Memo.Asignaturas[Nodo.Slots[Slot].Asig].BlOpt;
    for (int m = 0; m < NumAsigs; ++m) {
        const int s = Nodo.Slots[m].Asig;
        if (s >= 0 && Memo.Asignaturas[s].BlOpt == bloque) Miembros.push_back(m);
    }
}

bool TOrganizador::PruebaMiembro(TNodo& Nodo, int Miembro, int Grupo, int Une, int Parte, int Equilibrio,
                                 int DivDesde, int NumCodigos, int* DivElegida, int* CodElegido,
                                 int* UltimaDiv) {
    const int t = Nodo.Slots[Miembro].Asig;
    for (int v = std::max(0, DivDesde); v < EstAsig[t].DivLibres; ++v) {
        if (UltimaDiv) *UltimaDiv = v;
        RefrescaMemoria();
        if (Detenido()) return false;
        if (!DivisionDelGrupo(t, v, Grupo, Une) || !GrupoEnDivision(t, v, Grupo, Parte) ||
            !CabeEnDivision(t, v, Grupo, Equilibrio, Nodo.NAlum) ||
            !BloqueEnDivision(t, v, Grupo, Une, Parte, Equilibrio))
            continue;
        for (int w = 0; w < NumCodigos; ++w)
            if (ConexionesNuevas(t, v, Grupo, w, Une, Parte, Equilibrio) &&
                AsignaConexion(Nodo, DivElegida, CodElegido, t, v, Grupo, w) > 0) {
                DivElegida[Miembro] = v;
                CodElegido[Miembro] = w;
                return true;
            }
    }
    return false;
}

int TOrganizador::ColocaDirecto(TNodo& Nodo, int Une, int Parte, int Equilibrio) {
    if (Nodo.Curso == -1) return -1;
    const int curso = Nodo.Curso;
    for (int s = 0; s < Memo.NumAsignaturas; ++s)
        if (EstAsig[s].Curso == curso && EstAsig[s].TieneCeldas()) RestableceTrabajo(s);
    int divEl[SlotsPlaza], codEl[SlotsPlaza], orden[SlotsPlaza];
    std::vector<int> miembros;
    for (int g = 0; g < EstCurso[curso].Grupos; ++g) {
        if (!CabeEnGrupo(curso, g, Equilibrio, Nodo.NAlum) ||
            !OpcionDelGrupo(curso, g, Nodo.Opcion, SeparaOpciones, Equilibrio))
            continue;
        std::fill(divEl, divEl + SlotsPlaza, -1);
        std::fill(codEl, codEl + SlotsPlaza, -1);
        bool grupoServido = true;
        for (int m = 0; m < NumAsigs && grupoServido; ++m) {
            if (Nodo.Slots[m].Asig < 0 || divEl[m] != -1) continue;
            Bloque(Nodo, m, miembros);
            const int n = static_cast<int>(miembros.size());
            const int codigos = Memo.Asignaturas[Nodo.Slots[m].Asig].NAsAlum;
            const int64_t ordenes = Factorial(n);
            bool servido = false;
            for (int64_t q = 0; q < ordenes && !servido; ++q) {
                EmpiezaOrden(Nodo, miembros, q, orden, divEl, codEl);
                bool todos = true;
                for (int e = 0; e < n && todos; ++e) {
                    const int miembro = miembros[orden[e]];
                    bool hecho = false;
                    for (int x = 0; x <= Une && !hecho; ++x)
                        for (int y = 0; y <= Parte && !hecho; ++y)
                            hecho = PruebaMiembro(Nodo, miembro, g, x, y, Equilibrio, 0, codigos, divEl,
                                                  codEl, nullptr);
                    if (Detenido()) return -1;
                    todos = hecho;
                }
                servido = todos;
            }
            grupoServido = servido;
        }
        if (!grupoServido) continue;
        Nodo.GrupoNuevo = g;
        for (int m = 0; m < NumAsigs; ++m) {
            Nodo.Slots[m].Div = Nodo.Slots[m].Asig >= 0 ? divEl[m] : -1;
            Nodo.Slots[m].Con = Nodo.Slots[m].Asig >= 0 ? codEl[m] : -1;
        }
        return 0;
    }
    return -1;
}
