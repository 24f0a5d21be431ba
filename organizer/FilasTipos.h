#pragma once
// The rows the types screen works on, field for field as the tables name
// them, and the few rules about subjects that every routine of the screen
// shares.
//
// Each row keeps the bookmark of the record it was read from (empty for a
// row made in memory and not yet in its table), so that a routine can read a
// whole table, change rows in memory and write back exactly what changed
// (Sincroniza, TablasTipos.h).
//
// Letter case of subject codes, the one trap every routine meets:
// - Whether a subject is in a list, and whether a row "has" a subject when a
//   student or a row is matched against another row, ignores letter case
//   ("mat" is "MAT"): the students type codes by hand.
// - Where a text or a division is taken from a slot, the slot must hold the
//   code exactly as the list holds it; the classification's texts and the
//   divisions handed to a student rely on the exact spelling.
#include <array>
#include <unordered_set>
#include <vector>

#include "platform/rtl/Strings.h"

// The bookmark of the record a row was read from (the data-set layer's
// TBookmark, a text); empty for a row not yet in its table.
using TMarcaFila = AnsiString;

constexpr int HuecosAsig = 20;  // ASIG1 .. ASIG20 (DIVn, CONn)
using THuecos = std::array<AnsiString, HuecosAsig>;

// tipos and its working copy tipos2 (whose texts and SELEC stay empty in tipos).
struct TFilaSubtipo {
    TMarcaFila Marca;
    int N = 0;
    int NALUM = 0;
    AnsiString TNC;
    AnsiString OPCION;
    bool REPITE = false;
    THuecos ASIG;
    AnsiString ASIGS, ASIGSCOL, ASIGSCU, ASIGSCUCOL;
    bool SELEC = false;
    bool operator==(const TFilaSubtipo&) const = default;
};

// tipgrup and its working copy tipgrup2 (whose memos stay empty in tipgrup).
struct TFilaEnGrupo {
    TMarcaFila Marca;
    int N = 0;
    int NALUM = 0;
    AnsiString TNC;
    AnsiString TNCG;
    AnsiString GRUPO;
    AnsiString OPCION;
    bool REPITE = false;
    THuecos ASIG, DIV, CON;
    std::array<AnsiString, 4> ASIGSDCM;  // ASIGSDCM, ASIGSDCM1, ASIGSDCM2, ASIGSDCM3
    bool operator==(const TFilaEnGrupo&) const = default;
};

// alum: what the types screen and the placing read and write of a student.
struct TFilaAlumno {
    TMarcaFila Marca;
    AnsiString EXPED;
    AnsiString NOMBRE;
    AnsiString GRUPO;
    AnsiString TNC;
    AnsiString OPCION;
    bool REPITE = false;
    bool ANULAR = false;
    THuecos ASIG, DIV;
    bool operator==(const TFilaAlumno&) const = default;
};

// asigcur: a subject of the course.
struct TFilaAsignatura {
    TMarcaFila Marca;
    AnsiString ASIG;
    double HORAS = 0;
    bool CUENTA = false;
    int CONTADOR = 0;
    // CONTADOR was blank in its record. A blank count reads 0, so without
    // this a count of 0 would look unchanged and the record stay blank.
    bool CONTADORVacio = false;
    int TIPO = 0;
    bool operator==(const TFilaAsignatura&) const = default;
};

// conex: one division of a group taught under a connection code.
struct TFilaConex {
    AnsiString TNC;
    AnsiString TNCCON;
    AnsiString CON;
    AnsiString GRUPO;
    AnsiString ASIGDIV;
    int NALUM1 = 0;
    int NALUM2 = 0;
    bool operator==(const TFilaConex&) const = default;
};

// The subjects of a row: its non-empty slots, in slot order.
std::vector<AnsiString> AsignaturasDe(const THuecos& Huecos);
// Two subject codes name the same subject (letter case ignored).
bool MismaAsignatura(std::string_view A, std::string_view B);
// Every subject of Asignaturas is among the non-empty slots of Huecos.
bool IncluyeAsignaturas(const THuecos& Huecos, const std::vector<AnsiString>& Asignaturas);
// A code left-justified in four characters ("%-4s"), as every text shows it.
AnsiString CodigoEn4(const AnsiString& Codigo);
// The first slot (0-based) whose text equals Codigo exactly; -1 when none.
int HuecoExacto(const THuecos& Huecos, std::string_view Codigo);

// The hash of a code for the standard unordered containers, which look a
// code up by it however few they hold (with the standard hash of a text a
// small set is searched code by code).
struct THashCodigo {
    size_t operator()(std::string_view Codigo) const noexcept {
        return std::hash<std::string_view>{}(Codigo);
    }
};

// A list of subject codes, each at most once (letter case ignored), in the
// order they were added.
class TListaAsig {
public:
    // Adds the code unless the list holds it already; answers whether it did.
    bool Anade(const AnsiString& Codigo);
    bool Contiene(std::string_view Codigo) const { return Posicion(Codigo) >= 0; }
    // 0-based; -1 when absent.
    int Posicion(std::string_view Codigo) const;
    int Cuenta() const { return static_cast<int>(FCodigos.size()); }
    const AnsiString& operator[](int I) const { return FCodigos[static_cast<size_t>(I)]; }
    const std::vector<AnsiString>& Codigos() const { return FCodigos; }
    void Vacia() {
        FCodigos.clear();
        FVistos.clear();
    }
    // Orders the list with the locale's case-insensitive comparison.
    void Ordena();
    bool operator==(const TListaAsig& O) const { return FCodigos == O.FCodigos; }

private:
    std::vector<AnsiString> FCodigos;
    // Spellings known to be in the list: the lists are filled from every
    // subject of every student, nearly all of them spelt as before.
    std::unordered_set<AnsiString, THashCodigo> FVistos;
};

// The one source of row numbers N for tipos, tipos2, tipgrup and tipgrup2.
//
// The merge pairs a working row with its stored row by N alone, so a number
// handed out must be in use in none of the four tables: the allocator is told
// every number in use (Observa) and never goes back below what it has seen or
// handed out. One counter serves both pairs of tables, as the renumbering of
// the stored rows is one count over both.
class TNumeradorFilas {
public:
    void Observa(int N);
    // The next free number, at least Minimo.
    int Siguiente(int Minimo = 1);
    // The number Siguiente would hand out now.
    int Proximo() const { return FProximo; }

private:
    int FProximo = 1;
};
