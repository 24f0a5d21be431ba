#pragma once
// A seeded generator of synthetic schools for the organizer's tests and
// benchmark: one course of students with common and optional subjects in
// option blocks, skewed choices, option letters, repeaters and annulled
// students; and what the types screen makes of it (the subtypes and the two
// subject lists), done here the plain way.
#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "organizer/FilasOrganizar.h"

namespace escuela {

// Own generator and draws: the same numbers on every library.
struct TAzar {
    uint64_t Estado;
    explicit TAzar(uint64_t Semilla) : Estado(Semilla * 0x9E3779B97F4A7C15ULL + 1) {}
    uint32_t Siguiente() {
        Estado = Estado * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(Estado >> 33);
    }
    int Entre(int N) { return N <= 0 ? 0 : static_cast<int>(Siguiente() % static_cast<uint32_t>(N)); }
    bool Prob(int Porcentaje) { return Entre(100) < Porcentaje; }
};

struct TAlumno {
    AnsiString OPCION;
    bool REPITE = false;
    bool ANULAR = false;
    std::vector<AnsiString> Asigs;
};

struct TParametros {
    int Alumnos = 120;
    int Grupos = 4;
    int Optativas = 8;      // 6..15
    int Bloques = 3;        // 2..4
    bool Ajustado = false;  // tight limits and "Separar opciones"
    uint64_t Semilla = 1;
};

// The parameters by which the organizer's benchmarks and recorded runs size
// a school from its students and groups: more optional subjects for more
// students, up to 15, in two to four blocks.
inline TParametros Medidas(int Alumnos, int Grupos, bool Ajustado, uint64_t Semilla) {
    return {Alumnos, Grupos, std::min(15, 6 + Alumnos / 40), 2 + (Alumnos / 100) % 3, Ajustado, Semilla};
}

struct TEscuela {
    AnsiString TNC = "1ESO001";
    TDatosOrganizar Datos;
    std::vector<TAlumno> Alumnos;
    bool SepararOpciones = false;
};

inline int Techo(int A, int B) { return (A + B - 1) / B; }

// Subtypes as the types screen counts them: a student joins the first
// subtype with its REPITE and OPCION whose subjects include all of its own.
inline std::vector<TFilaTipos2> Subtipos(const AnsiString& TNC, const std::vector<TAlumno>& Alumnos) {
    std::vector<TFilaTipos2> r;
    for (const auto& a : Alumnos) {
        if (a.ANULAR) continue;
        auto incluye = [&](const TFilaTipos2& t) {
            if (t.REPITE != a.REPITE || t.OPCION != a.OPCION) return false;
            for (const auto& s : a.Asigs) {
                bool esta = false;
                for (const auto& x : t.ASIG) esta = esta || (!x.empty() && AnsiSameText(x, s));
                if (!esta) return false;
            }
            return true;
        };
        auto it = std::find_if(r.begin(), r.end(), incluye);
        if (it != r.end()) {
            it->NALUM += 1;
            continue;
        }
        TFilaTipos2 t;
        t.N = 10000 + static_cast<double>(r.size());
        t.NALUM = 1;
        t.TNC = TNC;
        t.OPCION = a.OPCION;
        t.REPITE = a.REPITE;
        for (size_t k = 0; k < a.Asigs.size() && k < 20; ++k) t.ASIG[k] = a.Asigs[k];
        r.push_back(t);
    }
    return r;
}

// The two lists the organizer reads: the counted optional subjects (in
// descending order of the subtypes that list them) and the subjects that not
// every non-annulled student takes.
inline void Listas(TDatosOrganizar& D, const std::vector<TAlumno>& Alumnos) {
    D.AsigCuentaOptativas.clear();
    D.AsigOptativas.clear();
    std::vector<std::pair<int, AnsiString>> cuenta;
    for (const auto& a : D.AsigCur) {
        if (a.TNC != D.TNCSeleccionado || !a.CUENTA || a.TIPO != 1) continue;
        int n = 0;
        for (const auto& t : D.Tipos2)
            for (const auto& x : t.ASIG) n += !x.empty() && AnsiSameText(x, a.ASIG);
        if (n > 0) cuenta.push_back({-n, a.ASIG});
    }
    std::stable_sort(cuenta.begin(), cuenta.end(), [](auto& x, auto& y) { return x.first < y.first; });
    for (auto& c : cuenta) D.AsigCuentaOptativas.push_back(c.second);
    std::vector<AnsiString> todas;
    for (const auto& a : Alumnos)
        if (!a.ANULAR)
            for (const auto& s : a.Asigs)
                if (std::none_of(todas.begin(), todas.end(), [&](auto& x) { return AnsiSameText(x, s); }))
                    todas.push_back(s);
    for (const auto& s : todas) {
        bool todos = true;
        for (const auto& a : Alumnos)
            if (!a.ANULAR &&
                std::none_of(a.Asigs.begin(), a.Asigs.end(), [&](auto& x) { return AnsiSameText(x, s); }))
                todos = false;
        if (!todos) D.AsigOptativas.push_back(s);
    }
}

inline TEscuela Genera(const TParametros& P) {
    TAzar azar(P.Semilla);
    TEscuela e;
    e.SepararOpciones = P.Ajustado;
    TDatosOrganizar& d = e.Datos;
    d.TNCSeleccionado = e.TNC;
    static const char* comunes[] = {"LEN", "MAT", "ING", "EF"};
    for (const char* c : comunes) d.NomAsg.push_back({c});

    // optional subjects spread over the blocks; block b takes 1 or 2 of them
    const int nOpt = std::clamp(P.Optativas, 2, 15);
    const int nBloq = std::clamp(P.Bloques, 1, 4);
    std::vector<std::vector<int>> bloques(nBloq);
    std::vector<AnsiString> codOpt;
    for (int i = 0; i < nOpt; ++i) {
        codOpt.push_back("OP" + AnsiString(1, static_cast<char>('A' + i)));
        bloques[i % nBloq].push_back(i);
        d.NomAsg.push_back({codOpt.back()});
    }
    std::vector<int> toma(nBloq);
    for (int b = 0; b < nBloq; ++b) toma[b] = bloques[b].size() > 3 && azar.Prob(40) ? 2 : 1;

    // skewed popularity: weight 1..n in a random order, squared
    std::vector<int> peso(nOpt);
    for (int i = 0; i < nOpt; ++i) peso[i] = (1 + azar.Entre(6)) * (1 + azar.Entre(6));

    static const char* letras[] = {"A", "B", "C", "D"};
    for (int n = 0; n < P.Alumnos; ++n) {
        TAlumno a;
        a.OPCION = azar.Prob(85) ? letras[std::min(3, azar.Entre(4) * azar.Entre(2) + azar.Entre(2))] : "";
        a.REPITE = azar.Prob(10);
        a.ANULAR = azar.Prob(3);
        for (const char* c : comunes) a.Asigs.push_back(c);
        for (int b = 0; b < nBloq; ++b) {
            std::vector<int> elegibles = bloques[b];
            for (int k = 0; k < toma[b] && !elegibles.empty(); ++k) {
                int total = 0;
                for (int i : elegibles) total += peso[i];
                int x = azar.Entre(total);
                size_t j = 0;
                while (x >= peso[elegibles[j]]) x -= peso[elegibles[j++]];
                a.Asigs.push_back(codOpt[elegibles[j]]);
                elegibles.erase(elegibles.begin() + static_cast<long>(j));
            }
        }
        // some students list their subjects in another order
        if (azar.Prob(15)) std::reverse(a.Asigs.begin() + 4, a.Asigs.end());
        e.Alumnos.push_back(a);
    }

    int activos = 0;
    std::vector<int> tomanOpt(nOpt);
    for (const auto& a : e.Alumnos) {
        if (a.ANULAR) continue;
        ++activos;
        for (int i = 0; i < nOpt; ++i)
            tomanOpt[i] += std::count(a.Asigs.begin(), a.Asigs.end(), codOpt[i]) > 0;
    }
    TFilaCursos c;
    c.ABREV = "1A";
    c.TNC = e.TNC;
    c.NGRUP = P.Grupos;
    c.MAXALUM = Techo(std::max(activos, 1), P.Grupos) + (P.Ajustado ? 0 : 3);
    d.Cursos.push_back(c);
    for (const char* s : comunes) {
        TFilaAsigCur a;
        a.TNC = e.TNC;
        a.ASIG = s;
        a.TIPO = 2;
        d.AsigCur.push_back(a);
    }
    for (int i = 0; i < nOpt; ++i) {
        TFilaAsigCur a;
        a.TNC = e.TNC;
        a.ASIG = codOpt[i];
        a.CUENTA = true;
        a.TIPO = 1;
        const int tamano = P.Ajustado ? 22 : 28;
        const int ndiv = std::clamp(Techo(std::max(tomanOpt[i], 1), tamano), 1, P.Grupos);
        a.NDIV = ndiv;
        a.MAXALUM = std::max(Techo(std::max(tomanOpt[i], 1), ndiv) + (P.Ajustado ? 1 : 6), 1);
        a.NPROF = ndiv;
        a.BLOPT = 1 + i % nBloq;
        a.NASALUM = toma[i % nBloq];
        d.AsigCur.push_back(a);
    }
    d.Tipos2 = Subtipos(e.TNC, e.Alumnos);
    Listas(d, e.Alumnos);
    return e;
}

}  // namespace escuela
