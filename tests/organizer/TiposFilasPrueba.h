#pragma once
// Small builders of the types screen's rows for the tests of the types
// engine, its moves and the placing.
#include <initializer_list>
#include <tuple>
#include <vector>

#include "organizer/FilasTipos.h"

namespace tipos_prueba {

inline THuecos Huecos(std::initializer_list<const char*> Codigos) {
    THuecos h;
    size_t i = 0;
    for (const char* c : Codigos) h[i++] = c;
    return h;
}

inline TFilaSubtipo Sub(int N, int NAlum, const char* Opcion, bool Repite,
                        std::initializer_list<const char*> Asigs, const char* TNC = "DESO4") {
    TFilaSubtipo s;
    s.N = N;
    s.NALUM = NAlum;
    s.TNC = TNC;
    s.OPCION = Opcion;
    s.REPITE = Repite;
    s.ASIG = Huecos(Asigs);
    return s;
}

struct THueco {
    const char* Asig;
    const char* Div = "";
    const char* Con = "";
};

inline TFilaEnGrupo Fila(int N, int NAlum, const char* Grupo, const char* Opcion, bool Repite,
                         std::initializer_list<THueco> Asigs, const char* TNC = "DESO4") {
    TFilaEnGrupo f;
    f.N = N;
    f.NALUM = NAlum;
    f.TNC = TNC;
    f.GRUPO = Grupo;
    f.TNCG = AnsiString(TNC) + Grupo;
    f.OPCION = Opcion;
    f.REPITE = Repite;
    size_t i = 0;
    for (const auto& h : Asigs) {
        f.ASIG[i] = h.Asig;
        f.DIV[i] = h.Div;
        f.CON[i] = h.Con;
        ++i;
    }
    return f;
}

inline TFilaAlumno Alu(const char* Opcion, bool Repite, std::initializer_list<const char*> Asigs,
                       bool Anular = false, const char* Nombre = "", const char* TNC = "DESO4") {
    TFilaAlumno a;
    a.NOMBRE = Nombre;
    a.EXPED = Nombre;
    a.TNC = TNC;
    a.OPCION = Opcion;
    a.REPITE = Repite;
    a.ANULAR = Anular;
    a.ASIG = Huecos(Asigs);
    return a;
}

inline TFilaAsignatura Asig(const char* Codigo, double Horas = 0, bool Cuenta = true, int Tipo = 1) {
    TFilaAsignatura a;
    a.ASIG = Codigo;
    a.HORAS = Horas;
    a.CUENTA = Cuenta;
    a.TIPO = Tipo;
    return a;
}

}  // namespace tipos_prueba
