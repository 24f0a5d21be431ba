// The working structures of a run: one state per subject (its cells of
// division rows by groups, with their connection codes), one per course and
// one place per student, with the placements already loaded accounted for.
#include <algorithm>
#include <limits>

#include "organizer/Organizar.h"

namespace {

int Techo(int A, int B) { return B > 0 ? (A + B - 1) / B : 0; }

}  // namespace

bool TOrganizador::ReservaFallida(const char* Tag) {
    if (!FalloMemoria || !FalloMemoria(Tag)) return false;
    Mensaje(TextoMemInsuf(Tag));
    LiberaClav();
    AlumnoActual = -111;
    return true;
}

void TOrganizador::LiberaClav() {
    std::vector<TEstadoAsig>().swap(EstAsig);
    std::vector<TEstadoCurso>().swap(EstCurso);
    std::vector<TPlazaAlumno>().swap(Alumnos);
    std::vector<uint8_t>().swap(Comparten);
    AlumnosPorTipo.clear();
    CursoTipos = -1;
    ArbolesLibres.clear();
    Diario.clear();
    NumAlumnos = 0;
    ClavValidas = false;
}

bool TOrganizador::AsignaClav() {
    if (ClavValidas) LiberaClav();
    CuentaFilas();
    const int nAsig = Memo.NumAsignaturas;
    if (ReservaFallida("EN ASIGNACLAV 1")) return false;
    EstAsig.assign(nAsig + 5, TEstadoAsig{});
    if (ReservaFallida("EN ASIGNACLAV 2")) return false;
    EstCurso.assign(Memo.NumCursos + 5, TEstadoCurso{});

    NumAsigs = 0;
    for (int i = 0; i < Memo.NumFilas; ++i)
        for (int k = 0; k < SlotsFila; ++k)
            if (!Memo.Filas[i].Slots[k].Asig.empty()) NumAsigs = std::max(NumAsigs, k + 1);

    int n = 0;
    for (int t = 0; t < CapTipos; ++t) n += std::max(0, Memo.Tipos[t].NAlum);
    if (ReservaFallida("EN ASIGNACLAV 3") || ReservaFallida("EN ASIGNACLAV 31")) return false;
    Alumnos.assign(n + 5, TPlazaAlumno{});

    for (int s = 0; s < nAsig; ++s) {
        EstAsig[s].Curso = Memo.BuscaCurso(Memo.Asignaturas[s].Curso, -1);
        EstAsig[s].Divisiones = Memo.Asignaturas[s].NDiv;
    }

    int a = 0;
    for (int i = 0; i < Memo.NumFilas && a < n; ++i, ++a) {
        const TFilaTipo& fila = Memo.Filas[i];
        TPlazaAlumno& p = Alumnos[a];
        const int c = Memo.BuscaCurso(fila.Curso, -1);
        p.Fila = fila.Numero;
        p.NAlum = 1;
        p.Curso = c;
        p.Opcion = fila.Opcion;
        p.Selec = fila.Selec;
        if (fila.Grupo >= 0) p.Grupo = fila.Grupo;
        int m = 0;
        for (const auto& slot : fila.Slots) {
            if (slot.Asig.empty() || PosicionCuentaOptativa(slot.Asig) < 0) continue;
            TEleccionAsig& e = p.Asigs[m++];
            const int s = Memo.BuscaAsignatura(fila.Curso, slot.Asig, -1);
            if (s >= 0) {
                EstAsig[s].Total += fila.NAlum;
                EstAsig[s].Curso = c;
                e.Asig = s;
            }
            if (fila.Grupo >= 0) {
                if (slot.Div >= 0) e.Div = slot.Div;
                e.Con = slot.Con;
            }
        }
        // Students of one type may list their subjects in different orders;
        // every search step matches a batch with its students slot by slot,
        // so each student keeps its subjects in the order of the course's.
        std::stable_sort(p.Asigs.begin(), p.Asigs.begin() + m,
                         [](const TEleccionAsig& x, const TEleccionAsig& y) {
                             return static_cast<unsigned>(x.Asig) < static_cast<unsigned>(y.Asig);
                         });
    }
    NumAlumnos = a;
    for (int i = 0; i < NumAlumnos; ++i) {
        int t = TipoDeAlumno(i);
        // A student that matches no type (its row's divisions no longer agree
        // with any type) still needs one to be placed and written back: the
        // type its row was grouped into.
        if (t < 0 && Alumnos[i].Fila >= 0 && Alumnos[i].Fila < static_cast<int>(TipoDeFila.size()))
            t = TipoDeFila[Alumnos[i].Fila] + 1;
        Alumnos[i].Tipo = t;
    }

    auto cuentaTipo = [&](int i) {
        const int t = Alumnos[i].Tipo;
        return t >= 1 && t <= CapTipos ? Memo.Tipos[t - 1].NAlum : 0;
    };
    OrdenaShell(
        NumAlumnos,
        [&](int i, int j) {
            const int ci = cuentaTipo(i), cj = cuentaTipo(j);
            return ci != cj ? ci - cj : Alumnos[i].Tipo - Alumnos[j].Tipo;
        },
        [&](int i, int j) { std::swap(Alumnos[i], Alumnos[j]); });

    for (int f = 0; f < nAsig; ++f) {
        if (EstAsig[f].Siguiente != -1) continue;
        for (int k = 1; k < nAsig; ++k) {
            const int g = (f + k) % nAsig;
            if (Memo.Asignaturas[g].BlOpt == Memo.Asignaturas[f].BlOpt) {
                EstAsig[f].Siguiente = g;
                break;
            }
        }
    }
    for (int f = 0; f < nAsig; ++f)
        if (EstAsig[f].Siguiente == -1) EstAsig[f].Siguiente = f;

    for (int s = 0; s < nAsig; ++s) {
        TEstadoAsig& e = EstAsig[s];
        const int d = Memo.Asignaturas[s].NDiv;
        const int g = e.Curso >= 0 ? std::max(0, Memo.Cursos[e.Curso].NGrup) : 0;
        e.Grupos = g;
        if (d <= 0) continue;
        e.Media = Techo(e.Total, d);
        if (Memo.Asignaturas[s].MaxAlum < e.Media) Memo.Asignaturas[s].MaxAlum = e.Media;
        for (const char* tag :
             {"EN ASIGNACLAV 4", "EN ASIGNACLAV 5", "EN ASIGNACLAV 6", "EN ASIGNACLAV 7", "EN ASIGNACLAV 8",
              "EN ASIGNACLAV 9", "EN ASIGNACLAV 10", "EN ASIGNACLAV 11", "EN ASIGNACLAV 12"})
            if (ReservaFallida(tag)) return false;
        const size_t celdas = static_cast<size_t>(d + 1) * static_cast<size_t>(g);
        e.Celdas.assign(celdas, 0);
        e.Codigos.assign(celdas, -1);
        e.CodigosTrabajo.assign(celdas, -1);
        e.Marcas.assign(celdas, -1);
        e.FilasDiv.assign(d + 1, 0);
        e.SelloFila.assign(d + 1, 0u);
        e.SelloAlcanzada.assign(d + 1, 0u);
    }

    for (int c = 0; c < Memo.NumCursos; ++c) {
        TEstadoCurso& e = EstCurso[c];
        TFilaCurso& cur = Memo.Cursos[c];
        e.Grupos = std::max(0, cur.NGrup);
        for (int t = 0; t < CapTipos; ++t)
            if (Memo.Tipos[t].NAlum > 0 && Memo.Tipos[t].Curso == cur.Abrev) e.Total += Memo.Tipos[t].NAlum;
        if (cur.NGrup > 0) {
            e.Media = Techo(e.Total, cur.NGrup);
            if (cur.MaxAlum < e.Media) cur.MaxAlum = e.Media;
            for (const char* tag : {"EN ASIGNACLAV 13", "EN ASIGNACLAV 14", "EN ASIGNACLAV 15"})
                if (ReservaFallida(tag)) return false;
            e.CuentaGrupo.assign(cur.NGrup, 0);
            e.CuentaOpcion.assign(cur.NGrup, std::array<int, 10>{});
        }
    }

    NumAsigs = 0;
    for (int i = 0; i < NumAlumnos; ++i)
        for (int k = 0; k < SlotsPlaza; ++k)
            if (Alumnos[i].Asigs[k].Asig >= 0) NumAsigs = std::max(NumAsigs, k + 1);
    for (int s = 0; s < nAsig; ++s)
        if (EstAsig[s].Curso >= 0) ++EstCurso[EstAsig[s].Curso].Asignaturas;

    AsignacionesDeCeldas();
    PasaSinDivisionAFilas();
    for (int s = 0; s < nAsig; ++s) {
        TEstadoAsig& e = EstAsig[s];
        if (!e.TieneCeldas()) continue;
        e.FilasConAlumnos.assign(e.Grupos, 0);
        for (int r = 0; r <= e.Divisiones; ++r)
            for (int g = 0; g < e.Grupos; ++g) e.FilasConAlumnos[g] += e.Celdas[e.C(r, g)] != 0;
        int conExtra = 0;
        for (int g = 0; g < e.Grupos; ++g) conExtra += e.Celdas[e.C(e.Divisiones, g)] > 0;
        e.DivLibres = e.Divisiones - conExtra;
    }

    Comparten.assign(static_cast<size_t>(nAsig) * nAsig, 0);
    for (int i = 0; i < NumAlumnos; ++i)
        for (int x = 0; x < NumAsigs; ++x)
            for (int y = 0; y < NumAsigs; ++y) {
                const int sx = Alumnos[i].Asigs[x].Asig, sy = Alumnos[i].Asigs[y].Asig;
                if (sx >= 0 && sy >= 0) Comparten[static_cast<size_t>(sx) * nAsig + sy] = 1;
            }

    CodigosCambiados();
    ColocacionCambiada();
    AlumnosPorTipo.clear();  // the students and their types are new
    CursoTipos = -1;
    ClavValidas = true;
    MayorConexion();
    return true;
}

void TOrganizador::AsignacionesDeCeldas() {
    for (int i = 0; i < NumAlumnos; ++i) {
        TPlazaAlumno& p = Alumnos[i];
        if (p.Curso < 0) {
            p.Grupo = -1;
            continue;
        }
        TEstadoCurso& curso = EstCurso[p.Curso];
        if (p.Grupo >= curso.Grupos) p.Grupo = -1;
        if (p.Grupo >= 0) curso.CuentaGrupo[p.Grupo] += p.NAlum;
        for (int m = 0; m < NumAsigs; ++m) {
            TEleccionAsig& e = p.Asigs[m];
            if (e.Asig < 0) continue;
            TEstadoAsig& s = EstAsig[e.Asig];
            if (e.Div > s.Divisiones) e.Div = -1;
            if (p.Grupo < 0 || !s.TieneCeldas()) continue;
            const int fila = e.Div >= 0 ? e.Div : s.Divisiones;
            s.Celdas[s.C(fila, p.Grupo)] += p.NAlum;
            s.FilasDiv[fila] += p.NAlum;
            s.Codigos[s.C(fila, p.Grupo)] = e.Con;
        }
    }
}

// The write-back leaves out the division of a class that a group has on its
// own (it says nothing to the timetable), so on reload those students stand
// in the row without division, which the search does not offer to newcomers,
// and every such group took one division away from the subject. Each such
// class goes back into a division row nobody uses, so that reloading a
// result gives the search the room it had when it made it.
void TOrganizador::PasaSinDivisionAFilas() {
    for (int s = 0; s < Memo.NumAsignaturas; ++s) {
        TEstadoAsig& e = EstAsig[s];
        if (!e.TieneCeldas()) continue;
        const int extra = e.Divisiones;
        for (int g = 0; g < e.Grupos; ++g) {
            const int desde = e.C(extra, g);
            if (e.Celdas[desde] == 0) continue;
            int v = 0;
            while (v < extra && e.FilasDiv[v] != 0) ++v;
            if (v == extra) break;
            const int hasta = e.C(v, g);
            e.Celdas[hasta] = e.Celdas[desde];
            e.Codigos[hasta] = e.Codigos[desde];
            e.FilasDiv[v] += e.Celdas[desde];
            e.FilasDiv[extra] -= e.Celdas[desde];
            e.Celdas[desde] = 0;
            e.Codigos[desde] = -1;
            for (int i = 0; i < NumAlumnos; ++i) {
                if (Alumnos[i].Grupo != g) continue;
                for (int m = 0; m < NumAsigs; ++m) {
                    TEleccionAsig& x = Alumnos[i].Asigs[m];
                    if (x.Asig == s && (x.Div < 0 || x.Div == extra)) x.Div = v;
                }
            }
        }
    }
}

// A connection's component: a cell joins the cells of its code in its
// division row in the other groups (the row without division joins none)
// and in its group in every row of the block. Each row and each group is
// swept once, when the first of its cells joins, so a sweep costs at most
// twice the block's cells however large the component. Entra(S, D, G) is
// asked for each cell of the code that a sweep meets and answers whether it
// joins (a cell may be met more than once).
uint32_t TOrganizador::NuevoSello() {
    if (++SelloRelleno == 0) {  // the stamps wrapped: start them again
        for (auto& e : EstAsig) {
            std::fill(e.SelloFila.begin(), e.SelloFila.end(), 0u);
            std::fill(e.SelloAlcanzada.begin(), e.SelloAlcanzada.end(), 0u);
            e.SelloCuenta = 0;
        }
        std::fill(SelloGrupo.begin(), SelloGrupo.end(), 0u);
        SelloRelleno = 1;
    }
    return SelloRelleno;
}

template <class TEntra>
void TOrganizador::BarreConexion(int Asig, int Fila, int Grupo, int Codigo, TEntra&& Entra) {
    const uint32_t sello = NuevoSello();
    PilaMarca.clear();  // {subject, row, -1}: a row to sweep; {-1, -1, group}: a group
    auto barreFila = [&](int S, int D) {
        TEstadoAsig& e = EstAsig[S];
        if (D < e.Divisiones && e.SelloFila[D] != sello) {
            e.SelloFila[D] = sello;
            PilaMarca.push_back({S, D, -1});
        }
    };
    auto barreGrupo = [&](int G) {
        if (static_cast<int>(SelloGrupo.size()) <= G) SelloGrupo.resize(G + 1, 0u);
        if (SelloGrupo[G] != sello) {
            SelloGrupo[G] = sello;
            PilaMarca.push_back({-1, -1, G});
        }
    };
    auto visita = [&](int S, int D, int G) {
        const TEstadoAsig& e = EstAsig[S];
        if (e.CodigosTrabajo[e.C(D, G)] == Codigo && Entra(S, D, G)) {
            barreFila(S, D);
            barreGrupo(G);
        }
    };
    barreFila(Asig, Fila);
    barreGrupo(Grupo);
    while (!PilaMarca.empty()) {
        const auto [s, d, g] = PilaMarca.back();
        PilaMarca.pop_back();
        if (s >= 0) {
            for (int h = 0; h < EstAsig[s].Grupos; ++h) visita(s, d, h);
            continue;
        }
        int t = Asig;
        do {
            const TEstadoAsig& et = EstAsig[t];
            if (et.TieneCeldas() && g < et.Grupos)
                for (int r = 0; r <= et.Divisiones; ++r) visita(t, r, g);
            t = et.Siguiente;
        } while (t != Asig && t >= 0);
    }
}

int TOrganizador::MarcaConexion(int Asig, int Fila, int Grupo, int Codigo, int Marca) {
    // The marked set is the whole connected component (less the start when
    // it stands alone). The start stays out of its own sweeps; it joins once
    // the fill has reached a neighbour, which always sweeps back over it.
    TEstadoAsig& inicial = EstAsig[Asig];
    int& inicio = inicial.Marcas[inicial.C(Fila, Grupo)];
    const bool inicioLibre = inicio == -1;
    if (inicioLibre) inicio = std::numeric_limits<int>::min();
    int marcadas = 0;
    BarreConexion(Asig, Fila, Grupo, Codigo, [&](int S, int D, int G) {
        TEstadoAsig& e = EstAsig[S];
        int& m = e.Marcas[e.C(D, G)];
        if (m != -1) return false;
        m = Marca;
        ++marcadas;
        return true;
    });
    if (inicioLibre) {
        const bool vuelve = marcadas > 0 && inicial.CodigosTrabajo[inicial.C(Fila, Grupo)] == Codigo;
        inicio = vuelve ? Marca : -1;
        marcadas += vuelve;
    }
    return marcadas;
}

void TOrganizador::AlcanzaConexion(int Asig, int Fila, int Grupo, int Codigo) {
    auto alcanza = [&](TEstadoAsig& E, int D) {
        if (E.SelloAlcanzada[D] == SelloRelleno) return;
        E.SelloAlcanzada[D] = SelloRelleno;
        if (E.SelloCuenta != SelloRelleno) {
            E.SelloCuenta = SelloRelleno;
            E.Alcanzadas = 0;
        }
        ++E.Alcanzadas;
    };
    // With the groups of a row as the bits of a word, the component is the
    // groups that rows of the code join to the start's group (a division row
    // joins all its groups of the code; the row without division joins
    // none), and a row is reached when it has the code in one of them.
    int t = Asig;
    bool enPalabra = true;
    do {
        enPalabra = enPalabra && EstAsig[t].Grupos <= 64;
        t = EstAsig[t].Siguiente;
    } while (t != Asig && t >= 0);
    if (!enPalabra) {
        BarreConexion(Asig, Fila, Grupo, Codigo, [&](int S, int D, int) {
            alcanza(EstAsig[S], D);
            return true;
        });
        return;
    }
    NuevoSello();
    FilasBloque.clear();
    uint64_t grupos = uint64_t{1} << Grupo;
    t = Asig;
    do {
        const TEstadoAsig& et = EstAsig[t];
        if (et.TieneCeldas()) {
            const size_t primera = FilasBloque.size();
            if (Codigo >= 0 && Codigo < CodigosEnPalabra && !et.GruposDeCodigo.empty() &&
                et.BaseTrabajo == et.VersionCodigos) {
                // the words of the kept codes, and the cells the search wrote since
                for (int r = 0; r <= et.Divisiones; ++r)
                    FilasBloque.push_back(
                        {t, r, static_cast<uint64_t>(et.GruposDeCodigo[r * CodigosEnPalabra + Codigo])});
                for (int k : et.Cambiadas) {
                    uint64_t& m = FilasBloque[primera + k / et.Grupos].Grupos;
                    const uint64_t bit = uint64_t{1} << (k % et.Grupos);
                    m = et.CodigosTrabajo[k] == Codigo ? m | bit : m & ~bit;
                }
            } else {
                for (int r = 0; r <= et.Divisiones; ++r) {
                    const int* c = et.CodigosTrabajo.data() + et.C(r, 0);
                    uint64_t m = 0;
                    for (int g = 0; g < et.Grupos; ++g) m |= uint64_t{c[g] == Codigo} << g;
                    FilasBloque.push_back({t, r, m});
                }
            }
            if (t == Asig && Fila < et.Divisiones) grupos |= FilasBloque[primera + Fila].Grupos;
        }
        t = et.Siguiente;
    } while (t != Asig && t >= 0);
    for (bool crece = true; crece;) {
        crece = false;
        for (const auto& f : FilasBloque)
            if ((f.Grupos & grupos) && (f.Grupos & ~grupos) && f.Fila < EstAsig[f.Asig].Divisiones) {
                grupos |= f.Grupos;
                crece = true;
            }
    }
    for (const auto& f : FilasBloque)
        if (f.Grupos & grupos) alcanza(EstAsig[f.Asig], f.Fila);
}

void TOrganizador::MayorConexion() {
    std::vector<std::pair<int, int>> usos;  // (code, division row)
    for (int s = 0; s < Memo.NumAsignaturas; ++s) {
        TEstadoAsig& e = EstAsig[s];
        e.Marcas = e.Codigos;
        usos.clear();
        for (int r = 0; e.TieneCeldas() && r <= e.Divisiones; ++r)
            for (int g = 0; g < e.Grupos; ++g)
                if (e.Marcas[e.C(r, g)] >= 0) usos.push_back({e.Marcas[e.C(r, g)], r});
        // Every code counts, however high: a connection numbered past the
        // first few must not escape the teachers' limit.
        std::sort(usos.begin(), usos.end());
        usos.erase(std::unique(usos.begin(), usos.end()), usos.end());
        int mayor = 0;
        for (size_t i = 0; i < usos.size();) {
            size_t j = i;
            while (j < usos.size() && usos[j].first == usos[i].first) ++j;
            mayor = std::max(mayor, static_cast<int>(j - i));
            i = j;
        }
        e.MayorConexion = mayor > 0 ? mayor : 1;
    }
}

// Marks every connected component of two or more cells with a number of
// its own, counting from 0 in the order subjects, division rows, groups (from
// 0 again for every option block when PorBloque); a cell alone stays unmarked.
void TOrganizador::NumeraComponentes(bool PorBloque) {
    int c = 0;
    for (int i = 0; i < Memo.NumAsignaturas; ++i) {
        if (PorBloque) c = 0;
        int t = i;
        do {
            TEstadoAsig& e = EstAsig[t];
            for (int r = 0; e.TieneCeldas() && r <= e.Divisiones; ++r)
                for (int h = 0; h < e.Grupos; ++h) {
                    const int k = e.C(r, h);
                    if (e.CodigosTrabajo[k] < 0 || e.Marcas[k] != -1) continue;
                    e.Marcas[k] = c;
                    if (MarcaConexion(t, r, h, e.CodigosTrabajo[k], c) > 0) ++c;
                    else e.Marcas[k] = -1;
                }
            t = e.Siguiente;
        } while (t != i && t >= 0);
    }
}

void TOrganizador::RenumeraConexiones() {
    const int nAsig = Memo.NumAsignaturas;
    for (int s = 0; s < nAsig; ++s) {
        TEstadoAsig& e = EstAsig[s];
        e.CodigosTrabajo = e.Codigos;
        std::fill(e.Codigos.begin(), e.Codigos.end(), -1);
        std::fill(e.Marcas.begin(), e.Marcas.end(), -1);
    }
    NumeraComponentes(true);
    for (int s = 0; s < nAsig; ++s) EstAsig[s].Codigos = EstAsig[s].Marcas;
    CodigosCambiados();
    for (int i = 0; i < NumAlumnos; ++i) {
        TPlazaAlumno& p = Alumnos[i];
        for (auto& e : p.Asigs) e.Con = -1;
        if (p.Grupo < 0) continue;
        for (int m = 0; m < NumAsigs; ++m) {
            TEleccionAsig& e = p.Asigs[m];
            if (e.Asig < 0 || e.Div < 0) continue;
            const TEstadoAsig& s = EstAsig[e.Asig];
            if (!s.TieneCeldas() || e.Div > s.Divisiones || p.Grupo >= s.Grupos) continue;
            if (s.Celdas[s.C(e.Div, p.Grupo)] != 0) e.Con = s.Codigos[s.C(e.Div, p.Grupo)];
        }
    }
}

bool TOrganizador::PreparaNoColocados() {
    if (Memo.BuscaCurso(Memo.Cursos[0].Abrev, -1) < 0) return false;
    RenumeraConexiones();
    MayorConexion();
    for (int s = 0; s < Memo.NumAsignaturas; ++s)
        if (Memo.Asignaturas[s].NProf < EstAsig[s].MayorConexion) {
            Mensaje("Imposible generar. Se necesitan demasiados profesores en alguna asignatura");
            return false;
        }
    for (int i = 0; i < NumAlumnos; ++i)
        if (Alumnos[i].Grupo >= 0) Alumnos[i].Fijo = true;
    ColocacionCambiada();
    return true;
}
