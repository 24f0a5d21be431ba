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
// than ours (the export cuts to it); what the import refuses is a value that
// would not fit in our field, since the next export would write the cut value
// back over the original.
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
    int Ancho;     // characters of the school field it fills (texts), 0 otherwise
    bool Importa;  // read by the import
    bool Exporta;  // written by the export
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

// Checks what the import or the export is about to rely on: the folder, the
// tables the import needs, and every present table's fields. The export
// needs texts, numbers and logicals where it writes them; the import needs
// a text of every field it reads and reads every row, refusing a value that
// would be cut (or that holds a NUL byte followed by more text). Gives the
// message for the user, naming table, field, row and value, or "" when all is
// well. Nothing is written.
AnsiString CompruebaIntercambio(const AnsiString& Carpeta, TUsoIntercambio Uso);

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
