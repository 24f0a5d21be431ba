#pragma once
// The organizer's memory model: fixed-capacity copies of the course's subject
// names, course rows, subjects and type rows, with the lookups by abbreviation,
// the Shell sort of the students and the numbering alphabets of the labels.
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "organizer/FilasOrganizar.h"

constexpr int CapNombres = 400;
constexpr int CapCursos = 10;
constexpr int CapAsignaturas = 100;
constexpr int CapTipos = 600;  // the types and the student rows alike
constexpr int ReservaExtra = 2;

// Asked before each allocation of the organizer with the tag its failure
// would report; answering true makes that allocation fail (tests use it to
// reach the exhausted-memory paths).
using TFalloMemoria = std::function<bool(const AnsiString& Tag)>;

// "MEMORIA INSUFICIENTE " followed by the tag of the place.
AnsiString TextoMemInsuf(const AnsiString& Tag);

struct TSlotTipo {
    AnsiString Asig;  // at most 4 characters, empty when the slot holds none
    int Div = -1;
    int Con = -1;
};

// A type, or the row of one student.
struct TFilaTipo {
    int Numero = -1;  // position of a student row, 1-based number of a type
    int NAlum = 0;
    AnsiString Curso;
    int Grupo = -1;
    char Opcion = 0;
    bool Repite = false;
    bool Selec = false;
    std::array<TSlotTipo, SlotsFila> Slots;
};

struct TFilaCurso {
    AnsiString Abrev;
    int NGrup = 0;
    int MaxAlum = 0;
    std::array<int, MaximosGrupo> NMaxAl{};
};

struct TFilaAsigCurso {
    AnsiString Curso;
    AnsiString Asig;
    int NDiv = 0;
    int MaxAlum = 0;
    int NProf = 0;
    int BlOpt = 0;
    int NAsAlum = 0;  // subjects of its block each student takes: also the connection codes it offers
    std::array<int, MaximosGrupo> NMaxAl{};
};

class TMemoFija {
public:
    std::vector<AnsiString> Nombres;
    std::vector<TFilaCurso> Cursos;
    std::vector<TFilaAsigCurso> Asignaturas;
    std::vector<TFilaTipo> Tipos;
    std::vector<TFilaTipo> Filas;
    int NumNombres = 0;
    int NumCursos = 0;
    int NumAsignaturas = 0;
    int NumTipos = 0;
    int NumFilas = 0;

    // Allocates every array (capacity plus two) and initialises it; on a
    // failure frees what it made, puts the failing tag in TagFallo and answers false.
    bool MemoFija(const TFalloMemoria& Fallo, AnsiString& TagFallo);
    void IniciaMemoFija();
    void LiberaMemoFija();
    bool Reservada() const { return !Tipos.empty(); }

    // The initial state of a type record: no number, no group, every slot empty.
    void IniciaFilaTipo(TFilaTipo& Fila) const;

    int BuscaCurso(std::string_view Abrev, int Salta) const;
    // The course abbreviation is compared exactly, the subject code without
    // regard to letter case: the school types codes in either case and the
    // types screen's lists already treat them as one.
    int BuscaAsignatura(std::string_view Curso, std::string_view Asig, int Salta) const;
};

// Shell sort with the halving gap sequence. Compara(i, j) > 0 when element i
// must come after element j. Not stable: equal elements may change places,
// and the order of equal students depends on this exact procedure.
template <class Compara, class Cambia>
void OrdenaShell(int N, Compara&& Comp, Cambia&& Swap) {
    for (int gap = N / 2; gap > 0; gap /= 2) {
        for (int i = 1; i <= N - gap; ++i) {
            int j = i;
            while (Comp(j - 1, j - 1 + gap) > 0) {
                Swap(j - 1, j - 1 + gap);
                j -= gap;
                if (j < 1) break;
            }
        }
    }
}

// --- numbering alphabets of group, division and connection labels ---
enum class TNumeracion { ABC = 0, N123 = 1, abc = 2 };

const AnsiString& AlfabetoNumeracion(TNumeracion Numeracion);
// Index 0..61 is the one letter at that position; none (-1) is the empty
// text. Connection numbers of a whole course can pass the 62 letters: they
// go on with two and then three letters (CON is three characters wide),
// counting like a spreadsheet's columns, so that every one-letter label keeps
// its old meaning.
AnsiString EscribeNumero(TNumeracion Numeracion, int Indice);
// Groups and divisions: the position of the first character, -1 when empty
// or not in the alphabet.
int LeeNumero(TNumeracion Numeracion, std::string_view Texto);
// Connections: the whole label, read back as EscribeNumero wrote it.
int LeeConexion(TNumeracion Numeracion, std::string_view Texto);
constexpr int MaxConexionEscribible = 62 + 62 * 62 + 62 * 62 * 62 - 1;
