#pragma once
// The rows the organizer reads from the school tables and the rows its result
// replaces, field for field as the tables name them, so that binding them to
// the tables is a copy by field name. Texts are Windows-1252 as the engine
// gives them (trailing blanks already removed); numeric fields are the
// floating-point numbers the engine reports, turned into whole numbers by
// EnteroDeTabla only.
#include <array>
#include <vector>

#include "platform/rtl/Strings.h"

constexpr int SlotsFila = 20;     // ASIG1 .. ASIG20
constexpr int MaximosGrupo = 30;  // NMAXAL1 .. NMAXAL30

// The one rule by which a numeric field becomes a whole number: rounded to
// the nearest, not-a-number as 0, clamped to the 32-bit range.
int EnteroDeTabla(double Valor);

// nomasg, in the order of its ABREV tag.
struct TFilaNomAsg {
    AnsiString ABREV;
};

// cursos, every row in the order of its TNC tag (the loader takes those of
// the selected course).
struct TFilaCursos {
    AnsiString ABREV;
    AnsiString TNC;
    double NGRUP = 0;
    double MAXALUM = 0;
    std::array<double, MaximosGrupo> NMAXAL{};  // NMAXAL1 .. NMAXAL30
};

// asigcur, every row in the order of its TNC tag.
struct TFilaAsigCur {
    AnsiString TNC;
    AnsiString ASIG;
    bool CUENTA = false;
    double NDIV = 0;
    double MAXALUM = 0;
    double NPROF = 0;
    double BLOPT = 0;
    double NASALUM = 0;
    double TIPO = 0;
    std::array<double, MaximosGrupo> NMAXAL{};
};

// tipos: the subtypes of a course, with their number of students. The
// organizer writes the course's rows (NALUM 0 for students it placed).
struct TFilaTipos {
    double N = 0;
    double NALUM = 0;
    AnsiString TNC;
    AnsiString OPCION;
    bool REPITE = false;
    std::array<AnsiString, SlotsFila> ASIG;
};

// tipos2, the types screen's working copy, read in the order of its TNC tag
// with SELEC as the screen marked it for the run on the selection.
struct TFilaTipos2 : TFilaTipos {
    bool SELEC = false;
};

// tipgrup: the types placed in a group. The organizer reads the working copy
// tipgrup2 (same fields, its memo texts left out) in the order of its TNC tag
// and writes the course's rows of tipgrup.
struct TFilaTipGrup {
    double N = 0;
    double NALUM = 0;
    AnsiString TNC;
    AnsiString TNCG;
    AnsiString GRUPO;
    AnsiString OPCION;
    bool REPITE = false;
    std::array<AnsiString, SlotsFila> ASIG;
    std::array<AnsiString, SlotsFila> DIV;
    std::array<AnsiString, SlotsFila> CON;
};
using TFilaTipGrup2 = TFilaTipGrup;

// What the organizer hands over for one course. The lists are those of the
// types screen; AsigCuentaOptativas decides which subjects are organized.
struct TDatosOrganizar {
    AnsiString TNCSeleccionado;
    std::vector<TFilaNomAsg> NomAsg;
    std::vector<TFilaCursos> Cursos;
    std::vector<TFilaAsigCur> AsigCur;
    std::vector<TFilaTipGrup2>
        TipGrup2;  // every row of tipgrup2: its count decides whether "&Todos" is offered
    std::vector<TFilaTipos2> Tipos2;
    std::vector<AnsiString> AsigCuentaOptativas;
    std::vector<AnsiString> AsigOptativas;
};

// The course's rows of tipos and tipgrup, which replace the stored ones.
// N counts from 0 in the order of the rows; the binding adds the number of
// rows left in the table once the course's rows are deleted.
struct TResultadoOrganizar {
    std::vector<TFilaTipos> Tipos;
    std::vector<TFilaTipGrup> TipGrup;
};
