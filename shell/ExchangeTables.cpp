#include "shell/ExchangeTables.h"

#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/SchoolTables.h"

namespace {

// A text read by the import (and written back by the export).
TCampoIntercambio Texto(const AnsiString& Nombre, int Ancho) {
    return {Nombre, TClaseIntercambio::Texto, Ancho, true, true};
}

std::vector<TTablaIntercambio> Tablas() {
    const std::vector<TCampoIntercambio> grupos = {
        Texto("ABREV", 4), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3), Texto("GRUPO", 1)};
    std::vector<TCampoIntercambio> grupt = grupos, grupost = grupos;
    for (auto& c : grupt) c.Exporta = false;
    for (auto& c : grupost) c.Importa = false;

    std::vector<TCampoIntercambio> alumnos = {Texto("EXPED", 20), Texto("NOMBRE", 50), Texto("TURNO", 1),
                                              Texto("NIVEL", 5),  Texto("CURSO", 3),
                                              // Groups and divisions go out only: an import starts without them.
                                              {"GRUPO", TClaseIntercambio::Texto, 2, false, true},
                                              Texto("OPCION", 1), {"REPITE", TClaseIntercambio::Logico, 0, true, true}};
    for (const auto& n : Numerados("ASIG", HuecosAsignatura)) alumnos.push_back(Texto(n, 4));
    for (const auto& n : Numerados("DIV", HuecosAsignatura)) alumnos.push_back({n, TClaseIntercambio::Texto, 1, false, true});

    return {
        {"AsigNomt", "AsigNomt.DBF", true, {Texto("NOMBRE", 40), Texto("COD", 4), Texto("CODLARGO", 8)}},
        {"Cursost", "CURSOSt.DBF", true, {Texto("ABREV", 3), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3)}},
        {"Asigcurt",
         "ASIGCURt.DBF",
         true,
         {Texto("NIVEL", 5), Texto("CURSO", 3), Texto("ASIG", 4), {"HORAS", TClaseIntercambio::Numero, 0, true, true}}},
        {"grupt", "GRUPT.DBF", false, grupt},
        {"grupost", "GRUPOST.DBF", false, grupost},
        {"proft", "PROFT.DBF", true, {Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("DEPART", 40)}},
        {"aulat", "AULAT.DBF", false, {Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("EDIFICIO", 1)}},
        {"alumnost", "ALUMNOST.DBF", true, alumnos},
    };
}

TClaseIntercambio ClaseDe(TFieldType Tipo) {
    switch (FieldCategory(Tipo)) {
    case TFieldCategory::Number: return TClaseIntercambio::Numero;
    case TFieldCategory::Boolean: return TClaseIntercambio::Logico;
    default: return TClaseIntercambio::Texto;
    }
}

const char* NombreClase(TClaseIntercambio Clase) {
    switch (Clase) {
    case TClaseIntercambio::Numero: return "num\xE9rico";
    case TClaseIntercambio::Logico: return "l\xF3gico";
    default: return "de texto";
    }
}

// The message for the first field the use relies on that the table lacks or
// holds in another kind or a larger width; "" when none.
AnsiString CompruebaCampos(TTable& Tabla, const TTablaIntercambio& Diseno, const AnsiString& Fichero,
                           TUsoIntercambio Uso) {
    for (const auto& c : Diseno.Campos) {
        bool usado = Uso == TUsoIntercambio::Importar ? c.Importa : c.Exporta;
        if (!usado) continue;
        TField* f = Tabla.FindField(c.Nombre);
        if (!f) return "La tabla de intercambio " + Fichero + " no tiene el campo " + c.Nombre + ".";
        if (f->FieldKind() != fkData || ClaseDe(f->DataType()) != c.Clase)
            return "El campo " + c.Nombre + " de la tabla de intercambio " + Fichero + " no es " + NombreClase(c.Clase) +
                   ".";
        if (Uso == TUsoIntercambio::Importar && c.Clase == TClaseIntercambio::Texto && f->Size() > c.Ancho)
            return "El campo " + c.Nombre + " de la tabla de intercambio " + Fichero + " tiene " +
                   IntToStr(f->Size()) + " caracteres; Zelmor guarda como mucho " + IntToStr(c.Ancho) + ".";
    }
    return {};
}

}  // namespace

const std::vector<TTablaIntercambio>& TablasIntercambio() {
    static const std::vector<TTablaIntercambio> tablas = Tablas();
    return tablas;
}

const TTablaIntercambio& TablaIntercambio(const AnsiString& Nombre) {
    for (const auto& t : TablasIntercambio())
        if (SameText(t.Nombre, Nombre)) return t;
    throw EDatabaseError("No hay tabla de intercambio " + Nombre);
}

AnsiString FicheroIntercambio(const AnsiString& Carpeta, const TTablaIntercambio& Tabla) {
    return IncludeTrailingBackslash(Carpeta) + Tabla.Fichero;
}

AnsiString CompruebaIntercambio(const AnsiString& Carpeta, TUsoIntercambio Uso) {
    if (!DirectoryExists(Carpeta)) return "No se encuentra la carpeta de intercambio " + Carpeta + ".";
    for (const auto& t : TablasIntercambio()) {
        bool usada = false;
        for (const auto& c : t.Campos) usada = usada || (Uso == TUsoIntercambio::Importar ? c.Importa : c.Exporta);
        if (!usada) continue;
        AnsiString fichero = FicheroIntercambio(Carpeta, t);
        if (!FileExists(fichero)) {
            if (Uso == TUsoIntercambio::Importar && t.Obligatoria)
                return "Falta la tabla de intercambio " + fichero + ".";
            continue;
        }
        AnsiString error;
        try {
            TTempTable tabla = OpenTempTable(Carpeta, t.Nombre);
            error = CompruebaCampos(*tabla, t, fichero, Uso);
        } catch (const EDatabaseError& E) {
            error = "No se puede leer la tabla de intercambio " + fichero + ": " + E.Message();
        }
        if (!error.empty()) return error;
    }
    return {};
}
