#include "organizer/Colocar.h"

#include <algorithm>
#include <cstdint>

#include "organizer/TablasTipos.h"
#include "platform/db/Table.h"
#include "platform/sys/Dialogs.h"

namespace {

int HuecoDe(const THuecos& Huecos, const AnsiString& Codigo) {
    int j = HuecoExacto(Huecos, Codigo);
    if (j >= 0) return j;
    for (int i = 0; i < HuecosAsig; ++i)
        if (!Huecos[static_cast<size_t>(i)].empty() &&
            MismaAsignatura(Huecos[static_cast<size_t>(i)], Codigo))
            return i;
    return -1;
}

constexpr int NombresEnMensaje = 20;

}  // namespace

namespace {

// A move of one student out of a row into another that covers it; Peso: the
// change in students outside their option letter (-1, 0, 1). Alumno is
// NingunAlumno on the arcs that stand for no move.
struct TMovimiento {
    size_t Hasta;
    int Peso;
    size_t Alumno;
};
constexpr size_t NingunAlumno = SIZE_MAX;

// The arcs of a cycle of negative weight, in order against the arcs'
// direction; empty when there is none. Bellman-Ford from every node at once,
// looking after each round for a cycle among the links to the arc that last
// improved each node: such a cycle has negative weight, and after as many
// rounds as there are nodes one is there if any cycle of negative weight is.
std::vector<TMovimiento> CicloNegativo(const std::vector<std::vector<TMovimiento>>& Arcos) {
    const size_t nodos = Arcos.size();
    std::vector<int> distancia(nodos, 0), previo(nodos, -1), camino(nodos);
    std::vector<size_t> arcoPrevio(nodos);
    for (size_t ronda = 0; ronda < nodos; ++ronda) {
        bool mejora = false;
        for (size_t u = 0; u < nodos; ++u)
            for (size_t n = 0; n < Arcos[u].size(); ++n) {
                const auto& m = Arcos[u][n];
                if (distancia[u] + m.Peso < distancia[m.Hasta]) {
                    distancia[m.Hasta] = distancia[u] + m.Peso;
                    previo[m.Hasta] = static_cast<int>(u);
                    arcoPrevio[m.Hasta] = n;
                    mejora = true;
                }
            }
        if (!mejora) return {};
        // Each walk back along the links stops at a node an earlier walk
        // passed, or at one it passed itself: the cycle.
        std::fill(camino.begin(), camino.end(), -1);
        for (size_t inicio = 0; inicio < nodos; ++inicio) {
            int v = static_cast<int>(inicio);
            while (v >= 0 && camino[static_cast<size_t>(v)] < 0) {
                camino[static_cast<size_t>(v)] = static_cast<int>(inicio);
                v = previo[static_cast<size_t>(v)];
            }
            if (v < 0 || camino[static_cast<size_t>(v)] != static_cast<int>(inicio)) continue;
            std::vector<TMovimiento> ciclo;
            size_t w = static_cast<size_t>(v);
            do {
                const size_t p = static_cast<size_t>(previo[w]);
                ciclo.push_back(Arcos[p][arcoPrevio[w]]);
                w = p;
            } while (w != static_cast<size_t>(v));
            return ciclo;
        }
    }
    return {};
}

// Which row each student takes. A student takes the first row, in record
// order, that covers it and has students left. When none has, the students
// already given a row may move to other rows that cover them, so that it
// gets a place: the subtypes count a student under a subtype whose subjects
// include its own, and the first rows that cover it may be the places of
// students still to come, who fit nowhere else. Nobody moves while the
// first free row serves.
//
// Then the option letters. After a run with "Separar opciones" each group's
// rows carry one letter, but the first covering row of a student may be a
// row of another letter, whose place the students of that letter then miss:
// the placing would undo the separation. So, once the places are given, the
// placed students move among the rows that cover them until as few as
// possible sit in a row of another letter. Those moves never take a place from anyone,
// and a student that only rows of another letter cover stays there.
class TReparto {
public:
    TReparto(const std::vector<TFilaAlumno>& Alumnos, const std::vector<TFilaEnGrupo>& TipGrup)
        : FCubren(Alumnos.size()), FLibres(TipGrup.size()), FOcupantes(TipGrup.size()),
          FFila(Alumnos.size(), -1), FVisto(TipGrup.size()) {
        for (size_t j = 0; j < TipGrup.size(); ++j) FLibres[j] = std::max(0, TipGrup[j].NALUM);
        for (size_t i = 0; i < Alumnos.size(); ++i) {
            const auto asigs = AsignaturasDe(Alumnos[i].ASIG);
            for (size_t j = 0; j < TipGrup.size(); ++j)
                if (FLibres[j] > 0 && IncluyeAsignaturas(TipGrup[j].ASIG, asigs)) FCubren[i].push_back(j);
        }
        // Annulled students are placed too, but after the others: the
        // counts of the rows were computed without them, and a student who
        // left the school must not take the place of one who stays.
        std::vector<size_t> orden;
        for (bool anulados : {false, true})
            for (size_t i = 0; i < Alumnos.size(); ++i)
                if (Alumnos[i].ANULAR == anulados) orden.push_back(i);
        for (size_t i : orden) {
            for (size_t j : FCubren[i])
                if (FLibres[j] > 0) {
                    Pon(i, j);
                    break;
                }
            if (FFila[i] >= 0) continue;
            std::fill(FVisto.begin(), FVisto.end(), false);
            Recoloca(i);
        }
        ReuneOpciones(Alumnos, TipGrup);
    }
    // The row of student I, -1 when it has none.
    int Fila(size_t I) const { return FFila[I]; }

private:
    void Pon(size_t I, size_t J) {
        if (FFila[I] >= 0) {
            auto& o = FOcupantes[static_cast<size_t>(FFila[I])];
            o.erase(std::find(o.begin(), o.end(), I));
            ++FLibres[static_cast<size_t>(FFila[I])];
        }
        FFila[I] = static_cast<int>(J);
        FOcupantes[J].push_back(I);
        --FLibres[J];
    }
    // A row for student I, moving others along rows not yet tried.
    bool Recoloca(size_t I) {
        for (size_t j : FCubren[I]) {
            if (FVisto[j]) continue;
            FVisto[j] = true;
            if (FLibres[j] > 0) {
                Pon(I, j);
                return true;
            }
            const auto ocupantes = FOcupantes[j];
            for (size_t k : ocupantes)
                if (Recoloca(k)) {
                    Pon(I, j);
                    return true;
                }
        }
        return false;
    }

    // Moves placed students between rows that cover them while that brings
    // one more of them into a row of their own letter. Each round looks for
    // a chain of moves that gains: a student leaves row j for row k, one of
    // k leaves for the next row, and so on, until the chain ends in a row
    // with a place left or comes back to j. The rows are the nodes and the
    // best move from one row to another the arcs (of equal moves, that of
    // the first student in record order); a chain that gains is a cycle of
    // negative weight, through an extra node that leads to every row with
    // students and that every row with a place leads to when the chain is
    // open. Each round gains at least one student, so the rounds end.
    void ReuneOpciones(const std::vector<TFilaAlumno>& Alumnos, const std::vector<TFilaEnGrupo>& TipGrup) {
        if (std::none_of(TipGrup.begin(), TipGrup.end(),
                         [](const TFilaEnGrupo& F) { return !F.OPCION.empty(); }))
            return;
        auto fuera = [&](size_t I, size_t J) { return Alumnos[I].OPCION != TipGrup[J].OPCION ? 1 : 0; };
        const size_t filas = TipGrup.size(), fin = filas, nodos = filas + 1;
        std::vector<std::vector<TMovimiento>> arcos(nodos);
        std::vector<size_t> marca(filas), posicion(filas);
        for (;;) {
            for (auto& a : arcos) a.clear();
            std::fill(marca.begin(), marca.end(), SIZE_MAX);
            for (size_t j = 0; j < filas; ++j) {
                auto ocupantes = FOcupantes[j];
                std::sort(ocupantes.begin(), ocupantes.end());
                for (size_t i : ocupantes)
                    for (size_t k : FCubren[i]) {
                        if (k == j) continue;
                        const TMovimiento m{k, fuera(i, k) - fuera(i, j), i};
                        if (marca[k] != j) {
                            marca[k] = j;
                            posicion[k] = arcos[j].size();
                            arcos[j].push_back(m);
                        } else if (m.Peso < arcos[j][posicion[k]].Peso) {
                            arcos[j][posicion[k]] = m;
                        }
                    }
            }
            for (size_t j = 0; j < filas; ++j) {
                if (!FOcupantes[j].empty()) arcos[fin].push_back({j, 0, NingunAlumno});
                if (FLibres[j] > 0) arcos[j].push_back({fin, 0, NingunAlumno});
            }
            const auto ciclo = CicloNegativo(arcos);
            if (ciclo.empty()) return;
            for (const auto& m : ciclo)
                if (m.Alumno != NingunAlumno) Pon(m.Alumno, m.Hasta);
        }
    }

    std::vector<std::vector<size_t>> FCubren;
    std::vector<int> FLibres;
    std::vector<std::vector<size_t>> FOcupantes;
    std::vector<int> FFila;
    std::vector<bool> FVisto;
};

}  // namespace

TResultadoColocar ColocaAlumnos(std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaEnGrupo>& TipGrup) {
    TResultadoColocar r;
    const TReparto reparto(Alumnos, TipGrup);
    for (size_t n = 0; n < Alumnos.size(); ++n) {
        auto& a = Alumnos[n];
        if (reparto.Fila(n) < 0) {
            r.NoColocados.push_back(a);
            continue;
        }
        TFilaEnGrupo* fila = &TipGrup[static_cast<size_t>(reparto.Fila(n))];
        --fila->NALUM;
        a.GRUPO = fila->GRUPO;
        for (int i = 0; i < HuecosAsig; ++i) {
            const auto& asig = a.ASIG[static_cast<size_t>(i)];
            if (asig.empty()) continue;
            const int j = HuecoDe(fila->ASIG, asig);
            if (j >= 0) a.DIV[static_cast<size_t>(i)] = fila->DIV[static_cast<size_t>(j)];
        }
        ++r.Colocados;
    }
    return r;
}

AnsiString MensajeColocar(const TResultadoColocar& R) {
    AnsiString m = "Proceso terminado";
    if (R.NoColocados.empty()) return m;
    const int n = static_cast<int>(R.NoColocados.size());
    m += n == 1 ? AnsiString("\n\nNo se ha podido colocar 1 alumno; conserva el grupo que ten\xED"
                             "a:")
                : "\n\nNo se han podido colocar " + IntToStr(n) +
                      " alumnos; conservan el grupo que ten\xED"
                      "an:";
    for (int i = 0; i < n && i < NombresEnMensaje; ++i) {
        const auto& a = R.NoColocados[static_cast<size_t>(i)];
        m += "\n" + a.EXPED + "  " + a.NOMBRE;
    }
    if (n > NombresEnMensaje) m += "\n...";
    return m;
}

AnsiString TituloColocar(const AnsiString& Turno, const AnsiString& Nivel, const AnsiString& Curso) {
    return "Colocar alumnos de " + Turno + " " + Nivel + " " + Curso + " en sus grupos";
}

void PreparaColocar(const AnsiString& DatabaseName, const AnsiString& TNC) {
    auto tipgrup = OpenTempTable(DatabaseName, "tipgrup", "TNC");
    FilterEqual(*tipgrup, "TNC", TNC);
    auto filas = LeeTipGrup(*tipgrup);
    for (auto& f : filas) f.Marca.clear();
    NewTempTable(DatabaseName, "tipgrup2")->EmptyTable();
    Sincroniza(*OpenTempTable(DatabaseName, "tipgrup2"), {}, filas);
}

TResultadoColocar ColocaAlumnosDelCurso(const AnsiString& DatabaseName, const AnsiString& TNC) {
    auto tipgrup = OpenTempTable(DatabaseName, "tipgrup2");
    FilterEqual(*tipgrup, "TNC", TNC);
    auto alum = OpenTempTable(DatabaseName, "alum");
    FilterEqual(*alum, "TNC", TNC);
    const auto filas = LeeTipGrup(*tipgrup);
    const auto alumnos = LeeAlumnos(*alum);
    auto filasDespues = filas;
    auto alumnosDespues = alumnos;
    auto r = ColocaAlumnos(alumnosDespues, filasDespues);
    Sincroniza(*alum, alumnos, alumnosDespues);
    Sincroniza(*tipgrup, filas, filasDespues);
    return r;
}

void AvisaResultadoColocar(const TResultadoColocar& R) {
    if (R.NoColocados.empty()) ShowMessage(MensajeColocar(R));
    else MessageBox(MensajeColocar(R), "Atenci\xF3n", MB_OK);
}
