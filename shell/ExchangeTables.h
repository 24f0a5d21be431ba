#pragma once
// The exchange folder "C:\QTEMP": the tables through which the school's
// management program hands us its data and takes back our result.
//
// On this machine "C:\QTEMP" is the folder QTEMP of the folder drive C: maps
// to ($ZELMOR_DRIVE_C, else ~/.local/share/zelmor/c), with names found
// without regard to case: the management program's "CURSOSt.DBF" is found
// whatever case it was written in.
//
// We rely on the field names below and on the kinds of HORAS (a number) and
// REPITE (a logical); every other field is read as its text, whatever kind
// and width the exchange program gave it: numbers as written, dates as
// YYYYMMDD, logicals as T or F. A text field of the exchange may be narrower
// than ours (the export cuts to it). A name wider than our field is cut to
// it, and the import tells the user which; the export then leaves the whole
// name in the exchange unless the user changed it here. A code wider than
// our field (a subject, course, group, student's file number, option) is
// refused instead: cut, two codes could become one (two subjects counted as
// one in the types), and the export could not find its row again. A number
// or logical that cannot be read is refused too, never taken as 0 or false.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"

class TDbfTable;

inline constexpr const char* CarpetaIntercambio = "C:\\QTEMP";

enum class TClaseIntercambio { Texto, Numero, Logico };

struct TCampoIntercambio {
    AnsiString Nombre;
    TClaseIntercambio Clase;
    int Ancho;           // characters of the school field it fills (texts), 0 otherwise
    bool Importa;        // read by the import
    bool Exporta;        // written by the export
    bool Corta = false;  // a name: the import cuts a wider text (a code is refused)
};

struct TTablaIntercambio {
    const char* Nombre;   // the table name it is opened by ("Cursost")
    const char* Fichero;  // the file whose presence is tested ("CURSOSt.DBF")
    bool Obligatoria;     // the import cannot go on without it
    std::vector<TCampoIntercambio> Campos;
};

// AsigNomt, Cursost, Asigcurt, grupt, grupost, proft, aulat, alumnost.
const std::vector<TTablaIntercambio>& TablasIntercambio();
const TTablaIntercambio& TablaIntercambio(const AnsiString& Nombre);

// "C:\QTEMP\CURSOSt.DBF" for Carpeta "C:\QTEMP".
AnsiString FicheroIntercambio(const AnsiString& Carpeta, const TTablaIntercambio& Tabla);

enum class TUsoIntercambio { Importar, Exportar };

// A text of the exchange that the import cuts to the width of its field.
struct TTextoCortado {
    AnsiString Fichero;  // the exchange table's file name ("ALUMNOST.DBF")
    uint32_t Fila;       // its record number, as dBase tools number them
    AnsiString Campo;
    int Ancho;         // the characters the school field keeps
    AnsiString Texto;  // the whole text, as the exchange holds it
};

// Checks what the import or the export is about to rely on: the folder, the
// tables the import needs, and every present table's fields. The export
// needs texts, numbers and logicals where it writes them; the import needs
// a text of every field it reads and reads every row, refusing a code that
// would be cut, a text that holds a NUL byte followed by more text, and a
// number or logical that cannot be read. Gives the message for the user,
// naming table, field, row and value, or "" when all is well; the names the
// import will cut go to Cortados (in table and row order) when given.
// Nothing is written.
AnsiString CompruebaIntercambio(const AnsiString& Carpeta, TUsoIntercambio Uso,
                                std::vector<TTextoCortado>* Cortados = nullptr);

// An exchange table read the way the import takes it, one row after another
// in stored order (deleted rows skipped), every field as its text.
class TLectorIntercambio {
public:
    // Raises EDatabaseError naming the file when it cannot be read.
    TLectorIntercambio(const AnsiString& Carpeta, const TTablaIntercambio& Tabla);
    ~TLectorIntercambio();
    TLectorIntercambio(const TLectorIntercambio&) = delete;
    TLectorIntercambio& operator=(const TLectorIntercambio&) = delete;

    const AnsiString& Fichero() const { return FFichero; }
    // The stored field of that name (without regard to case), -1 when none.
    int Campo(const AnsiString& Nombre) const;
    // Its dBase type letter ('C', 'N', 'L', 'D', 'M' ...).
    char Tipo(int Campo) const;
    // Moves to the next row; false after the last.
    bool Siguiente();
    // The record number of the row, as dBase tools number them.
    uint32_t Fila() const { return FFila; }
    // Characters without trailing blanks; numbers as written; dates as
    // YYYYMMDD; logicals T or F; a memo's text. Blank fields give "".
    AnsiString Texto(int Campo) const;
    // The field's bytes as stored (for a memo, its block number).
    AnsiString Bytes(int Campo) const;
    // A number or logical field whose bytes hold neither a value nor a blank.
    bool Ilegible(int Campo) const;
    AnsiString Texto(const AnsiString& Nombre) const;
    // A number field's value (0 when blank); a logical field's value.
    double Numero(const AnsiString& Nombre) const;
    bool Logico(const AnsiString& Nombre) const;

private:
    int CampoObligado(const AnsiString& Nombre) const;
    AnsiString FFichero;
    std::shared_ptr<TDbfTable> FTabla;
    std::vector<char> FRegistro;
    uint32_t FFila = 0;
};
