#pragma once
// An independent check of an organizer result against the school's rules,
// computed from the input rows: group sizes within the course's maxima,
// division sizes within the subject's (a group's own maximum bounding the
// division it joins), connections within the number of teachers, one option
// letter per group when asked, every placed student in a division of each of
// its organized subjects, and every student in exactly one written row with
// its own subjects.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "organizer/Organizar.h"
#include "tests/organizer/OrganizadorPrueba.h"

namespace validador {

struct TAlumnoColocado {
    char Opcion = 0;
    int Grupo = -1;
    bool Fijo = false;
    struct TAsig {
        AnsiString Codigo;
        int Div = -1;
        int Con = -1;
    };
    std::vector<TAsig> Asigs;  // organized subjects only
};

// The placement as the run left it (taken inside the dialog, before the
// write-back frees it).
inline std::vector<TAlumnoColocado> Toma(const TOrganizadorPrueba& O) {
    std::vector<TAlumnoColocado> r;
    for (int i = 0; i < O.NumAlumnos; ++i) {
        const TPlazaAlumno& p = O.Alumnos[i];
        TAlumnoColocado a;
        a.Opcion = p.Opcion;
        a.Grupo = p.Grupo;
        a.Fijo = p.Fijo;
        for (const auto& e : p.Asigs)
            if (e.Asig >= 0) a.Asigs.push_back({O.Memo.Asignaturas[e.Asig].Asig, e.Div, e.Con});
        r.push_back(a);
    }
    return r;
}

inline bool Esta(const std::vector<AnsiString>& Lista, const AnsiString& C) {
    return std::any_of(Lista.begin(), Lista.end(), [&](const AnsiString& x) { return AnsiSameText(x, C); });
}

inline int Techo(int A, int B) { return B > 0 ? (A + B - 1) / B : 0; }

inline int Num(double V) { return static_cast<int>(V); }

struct TReglas {
    bool SepararOpciones = false;
};

inline std::vector<std::string> Comprueba(const TDatosOrganizar& D, const std::vector<TAlumnoColocado>& A,
                                          const TReglas& Reglas) {
    std::vector<std::string> faltas;
    auto falta = [&](const std::string& s) { faltas.push_back(s); };
    const TFilaCursos* curso = nullptr;
    for (const auto& c : D.Cursos)
        if (c.TNC == D.TNCSeleccionado && !curso) curso = &c;
    if (!curso) return {"no course"};
    const int ngrup = Num(curso->NGRUP);
    const int total = static_cast<int>(A.size());

    // groups
    std::vector<int> enGrupo(ngrup);
    for (const auto& a : A) {
        if (a.Grupo >= ngrup) falta("group out of range");
        if (a.Grupo >= 0 && a.Grupo < ngrup) ++enGrupo[a.Grupo];
    }
    for (int g = 0; g < ngrup; ++g) {
        int limite = std::max(Num(curso->MAXALUM), Techo(total, ngrup));
        if (Num(curso->NMAXAL[g]) > 0) limite = std::min(limite, Num(curso->NMAXAL[g]));
        if (enGrupo[g] > limite)
            falta("group " + std::to_string(g) + " has " + std::to_string(enGrupo[g]) + " > " +
                  std::to_string(limite));
    }

    // subjects
    for (const auto& s : D.AsigCur) {
        if (s.TNC != D.TNCSeleccionado || !Esta(D.AsigCuentaOptativas, s.ASIG)) continue;
        const bool optativa = Esta(D.AsigOptativas, s.ASIG);
        int ndiv = Num(s.NDIV), maxal = Num(s.MAXALUM), nprof = Num(s.NPROF);
        if (!optativa) {
            if (ndiv < 1) ndiv = ngrup;
            if (maxal < 1) maxal = 1000;
            if (nprof < 1) nprof = ngrup;
        }
        const std::string nombre(s.ASIG);
        int toman = 0;
        std::map<int, int> porDiv;
        std::map<int, std::set<int>> gruposDiv;
        std::map<int, std::set<int>> divsPorCodigo;
        for (const auto& a : A)
            for (const auto& x : a.Asigs) {
                if (!AnsiSameText(x.Codigo, s.ASIG)) continue;
                ++toman;
                if (a.Grupo < 0) continue;
                if (x.Div < 0 || x.Div >= ndiv) {
                    if (!a.Fijo) falta(nombre + ": placed student without a division");
                    continue;
                }
                ++porDiv[x.Div];
                gruposDiv[x.Div].insert(a.Grupo);
                if (x.Con >= 0) divsPorCodigo[x.Con].insert(x.Div);
            }
        const int maximo = std::max(maxal, Techo(toman, ndiv));
        // A group's students join a division only while it stays within that
        // group's maximum for the subject; the last group to join bounds the
        // total, so a division ends within the largest bound of its groups.
        for (const auto& [d, n] : porDiv) {
            int limite = 0;
            for (int g : gruposDiv[d]) {
                int propio = maximo;
                if (g < MaximosGrupo && Num(s.NMAXAL[g]) > 0) propio = std::min(propio, Num(s.NMAXAL[g]));
                limite = std::max(limite, propio);
            }
            if (n > limite)
                falta(nombre + " division " + std::to_string(d) + " has " + std::to_string(n) + " > " +
                      std::to_string(limite));
        }
        for (const auto& [c, divs] : divsPorCodigo)
            if (static_cast<int>(divs.size()) > nprof)
                falta(nombre + ": connection " + std::to_string(c) + " needs " + std::to_string(divs.size()) +
                      " teachers > " + std::to_string(nprof));
    }

    if (Reglas.SepararOpciones) {
        std::vector<std::set<char>> letras(ngrup);
        for (const auto& a : A)
            if (!a.Fijo && a.Grupo >= 0 && a.Grupo < ngrup && a.Opcion >= 'A' && a.Opcion <= 'J')
                letras[a.Grupo].insert(a.Opcion);
        for (int g = 0; g < ngrup; ++g)
            if (letras[g].size() > 1) falta("group " + std::to_string(g) + " mixes option letters");
    }
    return faltas;
}

// Every student of the input rows stands in exactly one written row, with
// its option letter and its subjects; the written groups hold as many
// students as the run placed there.
inline std::vector<std::string> CompruebaFilas(const TDatosOrganizar& D,
                                               const std::vector<TAlumnoColocado>& A,
                                               const TResultadoOrganizar& R, TNumeracion NumGrupo) {
    std::vector<std::string> faltas;
    using TClave = std::pair<AnsiString, std::vector<AnsiString>>;
    auto clave = [](const AnsiString& Op, const std::array<AnsiString, SlotsFila>& As) {
        std::vector<AnsiString> v;
        for (const auto& a : As)
            if (!a.empty()) v.push_back(AnsiUpperCase(a));
        std::sort(v.begin(), v.end());
        return TClave{Op, v};
    };
    std::map<TClave, int> entrada, salida;
    for (const auto& t : D.Tipos2)
        if (t.TNC == D.TNCSeleccionado && t.NALUM != 0) entrada[clave(t.OPCION, t.ASIG)] += Num(t.NALUM);
    for (const auto& t : D.TipGrup2)
        if (t.TNC == D.TNCSeleccionado && t.NALUM != 0) entrada[clave(t.OPCION, t.ASIG)] += Num(t.NALUM);
    for (const auto& t : R.Tipos)
        if (t.NALUM != 0) salida[clave(t.OPCION, t.ASIG)] += Num(t.NALUM);
    std::map<int, int> porGrupo;
    for (const auto& t : R.TipGrup) {
        salida[clave(t.OPCION, t.ASIG)] += Num(t.NALUM);
        porGrupo[LeeNumero(NumGrupo, t.GRUPO)] += Num(t.NALUM);
    }
    if (entrada != salida) faltas.push_back("students lost, doubled or changed in the written rows");
    std::map<int, int> colocados;
    for (const auto& a : A)
        if (a.Grupo >= 0) ++colocados[a.Grupo];
    if (porGrupo != colocados) faltas.push_back("written groups do not hold the placed students");
    return faltas;
}

// Both checks at once.
inline std::vector<std::string> Todo(const TDatosOrganizar& D, const std::vector<TAlumnoColocado>& A,
                                     const TResultadoOrganizar& R, bool SepararOpciones) {
    std::vector<std::string> f = Comprueba(D, A, {SepararOpciones});
    for (auto& x : CompruebaFilas(D, A, R, TNumeracion::ABC)) f.push_back(x);
    return f;
}

}  // namespace validador
