#pragma once
// What the organizer's tests share: scripted message boxes, a recording
// dialog view with a fake clock, small course builders, and the run of a
// whole organizer invocation.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "organizer/Organizar.h"
#include "platform/sys/Dialogs.h"
#include "tests/organizer/OrganizadorPrueba.h"
#include "tests/organizer/Validador.h"

namespace apoyo {

// The organizer's message boxes, answered and recorded while it lives.
using TMensajes = TScriptedDialogs;

struct TVista : IVistaOrganizar {
    std::vector<AnsiString> Textos;
    AnsiString Total, Actual, SinColocar_, Memoria_;
    int Refrescos = 0;
    int Pitidos = 0;
    int Sondeos = 0;
    std::function<void()> AlRefrescar;       // the dialog's handlers during a refresh
    std::function<bool(int)> PararEnSondeo;  // answer of the stop poll, by call number
    void TextoGeneral(const AnsiString& T) override { Textos.push_back(T); }
    void TotalAlumnos(const AnsiString& T) override { Total = T; }
    void AlumnoActual(const AnsiString& T) override { Actual = T; }
    void SinColocar(const AnsiString& T) override { SinColocar_ = T; }
    void Memoria(const AnsiString& T) override { Memoria_ = T; }
    void ProcesaMensajes() override {
        ++Refrescos;
        if (AlRefrescar) AlRefrescar();
    }
    bool PararPedido() override { return PararEnSondeo && PararEnSondeo(++Sondeos); }
    void Pitido() override { ++Pitidos; }
};

// A course row with its limits.
inline TFilaCursos Curso(const AnsiString& TNC, int Grupos, int MaxAlum, const AnsiString& Abrev = "1A") {
    TFilaCursos c;
    c.ABREV = Abrev;
    c.TNC = TNC;
    c.NGRUP = Grupos;
    c.MAXALUM = MaxAlum;
    return c;
}

// An optional subject (TIPO 1, counted).
inline TFilaAsigCur Optativa(const AnsiString& TNC, const AnsiString& Codigo, int NDiv, int MaxAlum,
                             int NProf, int BlOpt, int NAsAlum) {
    TFilaAsigCur a;
    a.TNC = TNC;
    a.ASIG = Codigo;
    a.CUENTA = true;
    a.TIPO = 1;
    a.NDIV = NDiv;
    a.MAXALUM = MaxAlum;
    a.NPROF = NProf;
    a.BLOPT = BlOpt;
    a.NASALUM = NAsAlum;
    return a;
}

inline TFilaTipos2 Subtipo(const AnsiString& TNC, int NAlum, const AnsiString& Opcion,
                           std::initializer_list<const char*> Asigs, bool Selec = false) {
    TFilaTipos2 t;
    t.NALUM = NAlum;
    t.TNC = TNC;
    t.OPCION = Opcion;
    t.SELEC = Selec;
    int k = 0;
    for (const char* a : Asigs) t.ASIG[k++] = a;
    return t;
}

// A course with its subjects and subtypes; the optional ones (counted, TIPO
// 1) make both lists of the types screen.
inline TDatosOrganizar Datos(const TFilaCursos& Curso, std::vector<TFilaAsigCur> Asigs,
                             std::vector<TFilaTipos2> Subtipos) {
    TDatosOrganizar d;
    d.TNCSeleccionado = Curso.TNC;
    d.Cursos = {Curso};
    for (const auto& a : Asigs) {
        d.NomAsg.push_back({a.ASIG});
        if (a.CUENTA && a.TIPO == 1) {
            d.AsigCuentaOptativas.push_back(a.ASIG);
            d.AsigOptativas.push_back(a.ASIG);
        }
    }
    d.AsigCur = std::move(Asigs);
    d.Tipos2 = std::move(Subtipos);
    return d;
}

struct TPrueba : ::testing::Test {
    TMensajes M;
};

// One whole invocation, with the options of a fresh program when the
// organizer starts: the dialog presses the button with Tag showing
// Opciones, Despues looks at the organizer, and the dialog closes showing
// Cierre (Opciones when none).
inline TResumenOrganizar Ejecuta(TOrganizadorPrueba& O, const TDatosOrganizar& D, int Tag,
                                 const TOpcionesOrganizar& Opciones = {},
                                 const std::function<void()>& Despues = {},
                                 const std::optional<TOpcionesOrganizar>& Cierre = {}) {
    return O.EjecutaOrganizar(D, TOpcionesOrganizar{}, [&](ISesionOrganizar& S) {
        S.Organiza(static_cast<TModoOrganizar>(Tag), Opciones);
        if (Despues) Despues();
        return Cierre.value_or(Opciones);
    });
}

// The same; answers the rows written back, if any.
inline std::optional<TResultadoOrganizar> Organiza(TOrganizadorPrueba& O, const TDatosOrganizar& D, int Tag,
                                                   const TOpcionesOrganizar& Opciones = {},
                                                   const std::function<void()>& Despues = {},
                                                   const std::optional<TOpcionesOrganizar>& Cierre = {}) {
    return Ejecuta(O, D, Tag, Opciones, Despues, Cierre).Filas;
}

// One invocation with the placement as the run left it (taken inside the
// dialog, before the write-back frees it).
struct TCorrida {
    std::optional<TResultadoOrganizar> Resultado;
    std::vector<validador::TAlumnoColocado> Colocacion;
    int SinGrupo = -1;
    int64_t Comprobaciones = 0;
};

inline TCorrida Corre(const TDatosOrganizar& D, int Tag = 1, const TOpcionesOrganizar& Opciones = {}) {
    TMensajes m;
    TOrganizadorPrueba o;
    TCorrida c;
    const TResumenOrganizar r = Ejecuta(o, D, Tag, Opciones, [&] {
        c.Colocacion = validador::Toma(o);
        c.Comprobaciones = o.Estadistica.Comprobaciones;
    });
    c.Resultado = r.Filas;
    c.SinGrupo = r.SinColocar;
    return c;
}

// The rows written back, as the types screen would load them again.
inline void Recarga(TDatosOrganizar& D, const TResultadoOrganizar& R) {
    D.Tipos2.clear();
    for (const auto& t : R.Tipos)
        if (t.NALUM != 0) D.Tipos2.push_back({t});
    D.TipGrup2 = R.TipGrup;
}

}  // namespace apoyo

namespace apoyo {

struct TCelda {
    const char* Asig;
    const char* Div;
    const char* Con;
};

// A type placed in a group, as tipgrup2 holds it.
inline TFilaTipGrup2 Colocado(const AnsiString& TNC, int NAlum, const AnsiString& Grupo,
                              const AnsiString& Opcion, std::initializer_list<TCelda> Celdas) {
    TFilaTipGrup2 t;
    t.NALUM = NAlum;
    t.TNC = TNC;
    t.GRUPO = Grupo;
    t.TNCG = TNC + Grupo;
    t.OPCION = Opcion;
    int k = 0;
    for (const auto& c : Celdas) {
        t.ASIG[k] = c.Asig;
        t.DIV[k] = c.Div;
        t.CON[k] = c.Con;
        ++k;
    }
    return t;
}

// Loads, groups and builds the working structures, as a run does before it searches.
inline bool Prepara(TOrganizadorPrueba& O, const TDatosOrganizar& D) {
    if (!O.CargaDatos(D)) return false;
    O.AgrupaTipos(true);
    return O.CompruebaDatos() && O.AsignaClav();
}

}  // namespace apoyo
