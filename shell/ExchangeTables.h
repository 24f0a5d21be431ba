#pragma once
// The exchange folder "C:\QTEMP": the tables through which the school's
// management program hands us its data and takes back our result.
//
// On this machine "C:\QTEMP" is the folder QTEMP of the folder drive C: maps
// to ($ZELMOR_DRIVE_C, else ~/.local/share/zelmor/c), with names found
// without regard to case: the management program's "CURSOSt.DBF" is found
// whatever case it was written in.
//
// We rely on the field names below and on their kinds (texts, the float
// HORAS, the logical REPITE); the widths are the exchange program's. A text
// field of the exchange may be narrower than ours (the export cuts to it),
// but not wider where the import copies it: the import would cut the value
// and the next export would write the cut value back over the original.
#include <string>
#include <vector>

using AnsiString = std::string;

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
// tables the import needs, and every present table's fields (name, kind,
// width). Gives the message for the user, or "" when all is well. Nothing is
// written.
AnsiString CompruebaIntercambio(const AnsiString& Carpeta, TUsoIntercambio Uso);
