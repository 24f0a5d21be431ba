#include "shell/ExchangeTables.h"

#include <string_view>

#include "platform/db/DbfTable.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/SchoolTables.h"

namespace {

// A text read by the import (and written back by the export).
TCampoIntercambio Texto(const AnsiString& Nombre, int Ancho) {
    return {Nombre, TClaseIntercambio::Texto, Ancho, true, true};
}
// A name: cut when wider than ours.
TCampoIntercambio Nombre(const AnsiString& Nombre, int Ancho) {
    return {Nombre, TClaseIntercambio::Texto, Ancho, true, true, true};
}

std::vector<TTablaIntercambio> Tablas() {
    const std::vector<TCampoIntercambio> grupos = {Texto("ABREV", 4), Texto("TURNO", 1), Texto("NIVEL", 5),
                                                   Texto("CURSO", 3), Texto("GRUPO", 1)};
    std::vector<TCampoIntercambio> grupt = grupos, grupost = grupos;
    for (auto& c : grupt) c.Exporta = false;
    for (auto& c : grupost) c.Importa = false;

    std::vector<TCampoIntercambio> alumnos = {
        Texto("EXPED", 20),
        Nombre("NOMBRE", 50),
        Texto("TURNO", 1),
        Texto("NIVEL", 5),
        Texto("CURSO", 3),
        // Groups and divisions go out only: an import starts without them.
        {"GRUPO", TClaseIntercambio::Texto, 2, false, true},
        Texto("OPCION", 1),
        {"REPITE", TClaseIntercambio::Logico, 0, true, true}};
    for (const auto& n : Numerados("ASIG", HuecosAsignatura)) alumnos.push_back(Texto(n, 4));
    for (const auto& n : Numerados("DIV", HuecosAsignatura))
        alumnos.push_back({n, TClaseIntercambio::Texto, 1, false, true});

    return {
        {"AsigNomt", "AsigNomt.DBF", true, {Nombre("NOMBRE", 40), Texto("COD", 4), Texto("CODLARGO", 8)}},
        {"Cursost",
         "CURSOSt.DBF",
         true,
         {Texto("ABREV", 3), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3)}},
        {"Asigcurt",
         "ASIGCURt.DBF",
         true,
         {Texto("NIVEL", 5),
          Texto("CURSO", 3),
          Texto("ASIG", 4),
          {"HORAS", TClaseIntercambio::Numero, 0, true, true}}},
        {"grupt", "GRUPT.DBF", false, grupt},
        {"grupost", "GRUPOST.DBF", false, grupost},
        {"proft", "PROFT.DBF", true, {Texto("ABREV", 4), Nombre("NOMBRE", 40), Nombre("DEPART", 40)}},
        {"aulat", "AULAT.DBF", false, {Texto("ABREV", 4), Nombre("NOMBRE", 40), Texto("EDIFICIO", 1)}},
        {"alumnost", "ALUMNOST.DBF", true, alumnos},
    };
}

// The class a stored field serves as when the export writes it.
TClaseIntercambio ClaseDe(char Tipo) {
    switch (Tipo) {
    case 'N':
    case 'F': return TClaseIntercambio::Numero;
    case 'L': return TClaseIntercambio::Logico;
    default: return TClaseIntercambio::Texto;
    }
}

// Kinds whose bytes are a text: the others (binary, general, pictures, the
// binary numbers of later dBase levels) hold nothing the school can read.
bool TieneTexto(char Tipo) { return std::string_view("CNFLDM").find(Tipo) != std::string_view::npos; }

const char* NombreClase(TClaseIntercambio Clase) {
    switch (Clase) {
    case TClaseIntercambio::Numero: return "num\xE9rico";
    case TClaseIntercambio::Logico: return "l\xF3gico";
    default: return "de texto";
    }
}

AnsiString FaltaCampo(const AnsiString& Fichero, const AnsiString& Campo) {
    return "La tabla de intercambio " + Fichero + " no tiene el campo " + Campo + ".";
}

bool Usado(const TCampoIntercambio& Campo, TUsoIntercambio Uso) {
    return Uso == TUsoIntercambio::Importar ? Campo.Importa : Campo.Exporta;
}

// A value as the user can find it in the exchange program: NUL bytes shown,
// and a long memo cut short.
AnsiString Muestra(const AnsiString& Valor) {
    constexpr size_t Largo = 60;
    AnsiString m;
    for (char c : Valor.substr(0, Largo)) m += c == '\0' ? AnsiString("[NUL]") : AnsiString(1, c);
    return "\"" + m + (Valor.size() > Largo ? "...\"" : "\"");
}

// The message for the first field the use relies on that the table lacks or
// holds in a kind it cannot use; "" when none.
AnsiString CompruebaCampos(const TLectorIntercambio& Tabla, const TTablaIntercambio& Diseno,
                           TUsoIntercambio Uso) {
    for (const auto& c : Diseno.Campos) {
        if (!Usado(c, Uso)) continue;
        int i = Tabla.Campo(c.Nombre);
        if (i < 0) return FaltaCampo(Tabla.Fichero(), c.Nombre);
        bool sirve = Uso == TUsoIntercambio::Importar && c.Clase == TClaseIntercambio::Texto
                         ? TieneTexto(Tabla.Tipo(i))
                         : ClaseDe(Tabla.Tipo(i)) == c.Clase;
        if (!sirve)
            return "El campo " + c.Nombre + " de la tabla de intercambio " + Tabla.Fichero() +
                   (c.Clase == TClaseIntercambio::Texto ? AnsiString(" no se puede leer como texto.")
                                                        : " no es " + AnsiString(NombreClase(c.Clase)) + ".");
    }
    return {};
}

// The message for the first value the import would not keep as it is: a
// code longer than our field, a text with more after a NUL byte (a reader
// stops there), a number or logical that is neither a value nor blank. The
// names longer than our field go to Cortados.
AnsiString CompruebaValores(TLectorIntercambio& Tabla, const TTablaIntercambio& Diseno,
                            std::vector<TTextoCortado>* Cortados) {
    std::vector<std::pair<const TCampoIntercambio*, int>> campos;
    for (const auto& c : Diseno.Campos)
        if (c.Importa) campos.emplace_back(&c, Tabla.Campo(c.Nombre));
    std::vector<TTextoCortado> cortados;
    while (Tabla.Siguiente()) {
        for (const auto& [c, i] : campos) {
            AnsiString v = Tabla.Texto(i);
            AnsiString fallo;
            if (c->Clase != TClaseIntercambio::Texto) {
                if (Tabla.Ilegible(i)) {
                    v = Tabla.Bytes(i);
                    fallo = c->Clase == TClaseIntercambio::Numero ? "no es un n\xFAmero"
                                                                  : "no es un valor l\xF3gico (T, F, Y o N)";
                }
            } else if (v.find('\0') != AnsiString::npos) {
                fallo = "lleva un car\xE1"
                        "cter nulo y se perder\xED"
                        "a lo que le sigue";
            } else if (v.size() > static_cast<size_t>(c->Ancho)) {
                if (c->Corta) {
                    cortados.push_back({Diseno.Fichero, Tabla.Fila(), c->Nombre, c->Ancho, v});
                    continue;
                }
                fallo = "tiene " + IntToStr(int(v.size())) + " caracteres y Zelmor guarda como mucho " +
                        IntToStr(c->Ancho) + "; un c\xF3" + "digo no se corta, porque podr\xED" +
                        "a confundirse con otro";
            }
            if (!fallo.empty())
                return "En la fila " + IntToStr(int(Tabla.Fila())) + " de la tabla de intercambio " +
                       Tabla.Fichero() + ", el campo " + c->Nombre + " vale " + Muestra(v) + ": " + fallo +
                       ".";
        }
    }
    if (Cortados) Cortados->insert(Cortados->end(), cortados.begin(), cortados.end());
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

AnsiString CompruebaIntercambio(const AnsiString& Carpeta, TUsoIntercambio Uso,
                                std::vector<TTextoCortado>* Cortados) {
    if (!DirectoryExists(Carpeta)) return "No se encuentra la carpeta de intercambio " + Carpeta + ".";
    for (const auto& t : TablasIntercambio()) {
        bool usada = false;
        for (const auto& c : t.Campos) usada = usada || Usado(c, Uso);
        if (!usada) continue;
        AnsiString fichero = FicheroIntercambio(Carpeta, t);
        if (!FileExists(fichero)) {
            if (Uso == TUsoIntercambio::Importar && t.Obligatoria)
                return "Falta la tabla de intercambio " + fichero + ".";
            continue;
        }
        AnsiString error;
        try {
            TLectorIntercambio tabla(Carpeta, t);
            error = CompruebaCampos(tabla, t, Uso);
            if (error.empty() && Uso == TUsoIntercambio::Importar)
                error = CompruebaValores(tabla, t, Cortados);
        } catch (const EDatabaseError& E) {
            error = "No se puede leer la tabla de intercambio " + fichero + ": " + E.Message();
        }
        if (!error.empty()) return error;
    }
    return {};
}

TLectorIntercambio::TLectorIntercambio(const AnsiString& Carpeta, const TTablaIntercambio& Tabla)
    : FFichero(FicheroIntercambio(Carpeta, Tabla)) {
    FTabla = TDbfTable::Open(MapPath(FFichero), dbfReadOnly);
    FRegistro.resize(static_cast<size_t>(FTabla->RecordLength()));
}

TLectorIntercambio::~TLectorIntercambio() = default;

int TLectorIntercambio::Campo(const AnsiString& Nombre) const { return FTabla->FieldIndex(Nombre); }

char TLectorIntercambio::Tipo(int Campo) const { return FTabla->Field(Campo).Type; }

bool TLectorIntercambio::Siguiente() {
    while (FFila < FTabla->PhysicalCount()) {
        FTabla->Read(++FFila, FRegistro.data());
        if (!TDbfTable::IsDeleted(FRegistro.data())) return true;
    }
    return false;
}

AnsiString TLectorIntercambio::Texto(int Campo) const { return FTabla->GetText(FRegistro.data(), Campo); }

AnsiString TLectorIntercambio::Texto(const AnsiString& Nombre) const { return Texto(CampoObligado(Nombre)); }

AnsiString TLectorIntercambio::Bytes(int Campo) const {
    const TDbfFieldDef& f = FTabla->Field(Campo);
    return AnsiString(FRegistro.data() + f.Offset, static_cast<size_t>(f.Length));
}

bool TLectorIntercambio::Ilegible(int Campo) const {
    bool nulo = false;
    switch (Tipo(Campo)) {
    case 'N':
    case 'F': FTabla->GetNumber(FRegistro.data(), Campo, &nulo); break;
    case 'L': FTabla->GetBoolean(FRegistro.data(), Campo, &nulo); break;
    default: return false;
    }
    // Blanks are no value; so is a logical's '?', dBase's "not known".
    const AnsiString bytes = Trim(Bytes(Campo));
    return nulo && !bytes.empty() && !(Tipo(Campo) == 'L' && bytes == "?");
}

double TLectorIntercambio::Numero(const AnsiString& Nombre) const {
    return FTabla->GetNumber(FRegistro.data(), CampoObligado(Nombre));
}

bool TLectorIntercambio::Logico(const AnsiString& Nombre) const {
    return FTabla->GetBoolean(FRegistro.data(), CampoObligado(Nombre));
}

int TLectorIntercambio::CampoObligado(const AnsiString& Nombre) const {
    int i = Campo(Nombre);
    if (i < 0) throw EDatabaseError(FaltaCampo(FFichero, Nombre));
    return i;
}
