#include "shell/SchoolTables.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "organizer/TablasTipos.h"
#include "platform/db/Database.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"

namespace {

TCampoEscolar Texto(const AnsiString& Nombre, int Ancho) { return {Nombre, ftString, Ancho}; }
TCampoEscolar Numero(const AnsiString& Nombre) { return {Nombre, ftSmallint, 0}; }
TCampoEscolar Logico(const AnsiString& Nombre) { return {Nombre, ftBoolean, 0}; }

// The thirty per-group limits of a course or of a subject of a course.
void AnadeMaximosPorGrupo(std::vector<TCampoEscolar>& Campos) {
    for (const auto& n : Numerados("NMAXAL", MaximosGrupo)) Campos.push_back(Numero(n));
}

// Subject slots: ASIGn, then DIVn when Divisiones, then CONn when Conexiones.
void AnadeHuecos(std::vector<TCampoEscolar>& Campos, bool Divisiones, bool Conexiones) {
    std::vector<AnsiString> asig = Numerados("ASIG", HuecosAsignatura),
                            div = Numerados("DIV", HuecosAsignatura),
                            con = Numerados("CON", HuecosAsignatura);
    for (size_t i = 0; i < asig.size(); ++i) {
        Campos.push_back(Texto(asig[i], 4));
        if (Divisiones) Campos.push_back(Texto(div[i], 1));
        if (Conexiones) Campos.push_back(Texto(con[i], 3));
    }
}

std::vector<TTablaEscolar> Disenos() {
    std::vector<TTablaEscolar> t;

    t.push_back({"nomasg",
                 {Numero("N"), Texto("ABREV", 4), Texto("ABREV8", 8), Texto("NOMBRE", 40)},
                 {"N", "ABREV"}});

    TTablaEscolar cursos{"cursos",
                         {Numero("N"), Texto("ABREV", 3), Texto("TURNO", 1), Texto("NIVEL", 5),
                          Texto("CURSO", 3), Texto("TNC", 9), Numero("NGRUP"), Numero("MAXALUM")},
                         {"N", "TNC", "ABREV"}};
    AnadeMaximosPorGrupo(cursos.Campos);
    t.push_back(cursos);

    t.push_back({"grupos",
                 {Numero("N"), Texto("ABREV", 4), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3),
                  Texto("GRUPO", 1), Texto("TNC", 9), Texto("TNCG", 11)},
                 {"N", "TNC", "TNCG"}});
    t.push_back(
        {"prof", {Numero("N"), Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("DEPART", 40)}, {"N", "ABREV"}});
    t.push_back({"aulas",
                 {Numero("N"), Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("EDIFICIO", 1)},
                 {"N", "ABREV"}});

    TTablaEscolar asigcur{"asigcur",
                          {Numero("N"),
                           Texto("TNC", 9),
                           Texto("ASIG", 4),
                           {"HORAS", ftFloat, 0},
                           Logico("CUENTA"),
                           Logico("MOSTRAR"),
                           Numero("CONTADOR"),
                           Numero("NDIV"),
                           Numero("MAXALUM"),
                           Numero("NPROF"),
                           Numero("BLOPT"),
                           Numero("NASALUM"),
                           Numero("TIPO")},
                          {"N", "TNC", "ASIG", "CONTADOR"}};
    AnadeMaximosPorGrupo(asigcur.Campos);
    t.push_back(asigcur);

    TTablaEscolar alum{"alum",
                       {Numero("N"), Texto("EXPED", 20), Texto("NOMBRE", 50), Texto("GRUPO", 2),
                        Texto("TNC", 9), Texto("OPCION", 1), Logico("REPITE"), Logico("ANULAR")},
                       {"N", "EXPED", "NOMBRE", "TNC"}};
    AnadeHuecos(alum.Campos, true, false);
    t.push_back(alum);

    const std::vector<TCampoEscolar> cabezaTipos = {Numero("N"), Numero("NALUM"), Texto("TNC", 9),
                                                    Texto("OPCION", 1), Logico("REPITE")};
    TTablaEscolar tipos{"tipos", cabezaTipos, {"N", "TNC", "NALUM"}};
    AnadeHuecos(tipos.Campos, false, false);
    t.push_back(tipos);

    TTablaEscolar tipos2{"tipos2", cabezaTipos, {"N", "TNC", "NALUM"}, true};
    for (const char* n : {"ASIGS", "ASIGSCOL", "ASIGSCU", "ASIGSCUCOL"})
        tipos2.Campos.push_back(Texto(n, 254));
    tipos2.Campos.push_back(Logico("SELEC"));
    AnadeHuecos(tipos2.Campos, false, false);
    t.push_back(tipos2);

    const std::vector<TCampoEscolar> cabezaTipGrup = {
        Numero("N"),       Numero("NALUM"),    Texto("TNC", 9), Texto("TNCG", 11),
        Texto("GRUPO", 2), Texto("OPCION", 1), Logico("REPITE")};
    TTablaEscolar tipgrup{"tipgrup", cabezaTipGrup, {"N", "TNC", "TNCG", "NALUM"}};
    AnadeHuecos(tipgrup.Campos, true, true);
    t.push_back(tipgrup);

    TTablaEscolar tipgrup2{"tipgrup2", cabezaTipGrup, {"N", "TNC", "TNCG", "NALUM"}, true};
    for (const char* n : {"ASIGSDCM", "ASIGSDCM1", "ASIGSDCM2", "ASIGSDCM3"})
        tipgrup2.Campos.push_back({n, ftMemo, 0});
    AnadeHuecos(tipgrup2.Campos, true, true);
    t.push_back(tipgrup2);

    t.push_back({"conex",
                 {Texto("TNC", 9), Texto("TNCCON", 12), Texto("CON", 3), Texto("GRUPO", 2),
                  Texto("ASIGDIV", 6), Numero("NALUM1"), Numero("NALUM2"), Numero("NCON")},
                 {"TNC", "TNCCON"},
                 true});
    return t;
}

// The kind of the engine our layouts ask for; the engine decides its width.
TDbfKind ClaseDbf(TFieldType Tipo) {
    switch (Tipo) {
    case ftSmallint: return TDbfKind::SmallInt;
    case ftFloat: return TDbfKind::Float;
    case ftBoolean: return TDbfKind::Boolean;
    case ftMemo: return TDbfKind::Memo;
    default: return TDbfKind::String;
    }
}

AnsiString DescribeCampo(char Tipo, int Ancho, int Decimales) {
    AnsiString d = AnsiString(1, Tipo) + " " + IntToStr(Ancho);
    return Decimales ? d + "," + IntToStr(Decimales) : d;
}

// How the stored fields differ from the layout (the first difference found),
// or "" when they are the layout's: the same names, each of the same type
// and width. Their order is free, since every reader takes fields by name.
AnsiString DiferenciaDeDiseno(const std::vector<TDbfFieldDef>& Campos, const TTablaEscolar& Diseno) {
    auto busca = [&](const AnsiString& Nombre) {
        return std::find_if(Campos.begin(), Campos.end(),
                            [&](const TDbfFieldDef& F) { return SameText(F.Name, Nombre); });
    };
    for (const auto& c : Diseno.Campos) {
        auto f = busca(c.Nombre);
        if (f == Campos.end()) return "le falta el campo " + c.Nombre;
        TDbfFieldSpec e = DbfFieldSpecFor(c.Nombre, ClaseDbf(c.Tipo), c.Ancho);
        // dBase readers take F for N: both are numbers written as digits.
        char tipo = f->Type == 'F' ? 'N' : f->Type;
        if (tipo != e.Type || f->Length != e.Length || f->Decimals != e.Decimals)
            return "el campo " + c.Nombre + " es " + DescribeCampo(f->Type, f->Length, f->Decimals) +
                   " y debe ser " + DescribeCampo(e.Type, e.Length, e.Decimals);
    }
    for (const TDbfFieldDef& f : Campos) {
        bool nuestro = false;
        for (const auto& c : Diseno.Campos) nuestro = nuestro || SameText(c.Nombre, f.Name);
        if (!nuestro) return "le sobra el campo " + f.Name;
    }
    return {};
}

const AnsiString Danada = "estaba da\xF1"
                          "ada";

AnsiString RutaDbf(TTable& Tabla) { return CarpetaDeBase(Tabla.DatabaseName()) + Tabla.TableName() + ".dbf"; }

// A stored table damaged only at the end of its file (cut short, or a
// header that counts more or fewer records than the file holds) keeps every
// whole record: the file as it was is copied to "<name>.dbf.bak" and the
// table mended in place. The user is told how many rows it kept.
void ReparaFinal(TTable& Tabla) {
    AnsiString copia = RutaDbf(Tabla) + ".bak";
    DeleteFile(copia);
    if (!CopyFile(RutaDbf(Tabla), copia, true))
        DatabaseError("No se puede copiar el fichero " + RutaDbf(Tabla) + " en " + copia + ".");
    TDbfTable::RepairEnd(Tabla.TablePath());
    auto dbf = TDbfTable::Open(Tabla.TablePath(), dbfReadOnly);
    const uint32_t n = TDbfCursor(dbf).RecordCount();
    AnsiString conservadas = n == 0   ? AnsiString("no quedaba ninguna fila entera")
                             : n == 1 ? AnsiString("se ha conservado su \xFA"
                                                   "nica fila entera")
                                      : "se han conservado sus " + IntToStr(int(n)) + " filas enteras";
    Aviso("La tabla " + Tabla.TableName() +
          " ten\xED"
          "a da\xF1"
          "ado el final de su fichero: " +
          conservadas + " y el fichero anterior se ha guardado como " + ExtractFileName(copia) + ".");
}

// Why a stored table cannot serve as it is: its header is damaged beyond
// reading, it is another table's (a file copied over it), or its data file
// is damaged beyond what ReparaFinal mends. "" when it serves, mended or not.
// Mended says whether its former bytes are in the .bak copy already.
AnsiString DefectoDeTabla(TTable& Tabla, const TTablaEscolar& Diseno, bool& Mended) {
    Mended = false;
    try {
        TDbfTableEnd fin = TDbfTable::MeasureEnd(Tabla.TablePath());
        AnsiString diferencia = DiferenciaDeDiseno(fin.Fields, Diseno);
        if (!diferencia.empty()) return "no tiene los campos que le corresponden (" + diferencia + ")";
        if (fin.Damaged()) {
            ReparaFinal(Tabla);
            Mended = true;
        }
        Tabla.Open();
        Tabla.Close();
        return {};
    } catch (const EDBEngineError& E) {
        if (E.ErrorCode() != dbeDamaged) throw;
        return Danada;
    }
}

// The data file of a table that cannot serve goes aside as
// "<name>.dbf.bak", unless the copy there already holds its bytes from
// before a mending (then the mended file goes).
AnsiString GuardaAparte(TTable& Tabla, bool Mended) {
    AnsiString dbf = RutaDbf(Tabla);
    AnsiString copia = dbf + ".bak";
    if (Mended) {
        if (!DeleteFile(dbf)) DatabaseError("No se puede borrar el fichero " + dbf + ".");
        return ExtractFileName(copia);
    }
    DeleteFile(copia);
    if (!RenameFile(dbf, copia)) DatabaseError("No se puede apartar el fichero " + dbf + ".");
    return ExtractFileName(copia);
}

// Every name a table's files take must be free for a file: something else
// there (a folder) would stop CreaTablas half-way, after it had changed
// other tables.
void CompruebaNombresLibres(const AnsiString& Carpeta) {
    for (const auto& t : TablasEscolares())
        for (const char* ext : {".dbf", ".mdx", ".dbt"}) {
            AnsiString nombre = AnsiString(t.Nombre) + ext;
            std::string ruta = MapPath(Carpeta + nombre);
            std::error_code ec;
            if (ruta.empty() || !std::filesystem::exists(ruta, ec)) continue;
            if (std::filesystem::is_regular_file(ruta, ec)) continue;
            DatabaseError("En la carpeta " + Carpeta +
                          " hay una carpeta u otra cosa que no es un fichero con el " + "nombre " + nombre +
                          ", que es de la tabla " + t.Nombre + ".");
        }
}

AnsiString Lista(const std::vector<AnsiString>& Nombres) {
    AnsiString l;
    for (size_t i = 0; i < Nombres.size(); ++i)
        l += (i == 0 ? "" : i + 1 == Nombres.size() ? " y " : ", ") + Nombres[i];
    return l;
}

}  // namespace

const std::vector<TTablaEscolar>& TablasEscolares() {
    static const std::vector<TTablaEscolar> tablas = Disenos();
    return tablas;
}

const TTablaEscolar& TablaEscolar(std::string_view Nombre) {
    for (const auto& t : TablasEscolares())
        if (SameText(t.Nombre, Nombre)) return t;
    DatabaseError("No hay tabla escolar " + AnsiString(Nombre));
}

bool EsFicheroDeTablaEscolar(std::string_view Nombre) {
    static const std::set<AnsiString> nombres = [] {
        std::set<AnsiString> n;
        for (const auto& t : TablasEscolares())
            for (const char* ext : {".dbf", ".mdx", ".dbt"}) n.insert(AnsiString(t.Nombre) + ext);
        return n;
    }();
    return nombres.count(LowerCase(Nombre)) != 0;
}

bool EtiquetaDescendente(std::string_view Campo) { return Campo == "NALUM" || Campo == "CONTADOR"; }

void DefineTabla(TTable& Tabla, const TTablaEscolar& Diseno) {
    Tabla.FieldDefs()->Clear();
    for (const auto& c : Diseno.Campos) Tabla.FieldDefs()->Add(c.Nombre, c.Tipo, c.Ancho);
    Tabla.IndexDefs()->Clear();
    for (const char* e : Diseno.Etiquetas)
        Tabla.IndexDefs()->Add(e, e, EtiquetaDescendente(e) ? TIndexOptions{ixDescending} : TIndexOptions{});
}

void CreaTabla(const AnsiString& DatabaseName, const TTablaEscolar& Diseno, const AnsiString& TableName) {
    TTempTable t = NewTempTable(DatabaseName, TableName.empty() ? AnsiString(Diseno.Nombre) : TableName);
    DefineTabla(*t, Diseno);
    t->CreateTable();
}

void CreaTablas(const AnsiString& DatabaseName) {
    CompruebaNombresLibres(CarpetaDeBase(DatabaseName));
    // The working tables may hold another program's types work: they are
    // made anew only under their claim, held until they are.
    const std::unique_ptr<TReservaTrabajo> reserva = TReservaTrabajo::Intenta(DatabaseName);
    std::vector<AnsiString> faltan;
    for (const auto& d : TablasEscolares()) {
        TTempTable t = NewTempTable(DatabaseName, d.Nombre);
        if (d.DeTrabajo) {
            if (!reserva) continue;
            if (t->Exists()) t->DeleteTable();
        } else if (t->Exists()) {
            bool mended = false;
            AnsiString defecto = DefectoDeTabla(*t, d, mended);
            if (defecto.empty()) continue;
            AnsiString copia = GuardaAparte(*t, mended);
            Aviso("La tabla " + AnsiString(d.Nombre) + " " + defecto +
                  ". Se ha creado vac\xED"
                  "a y el fichero anterior se ha guardado como " +
                  copia + ".");
        } else {
            faltan.push_back(d.Nombre);
        }
        DefineTabla(*t, d);
        t->CreateTable();
    }
    if (!reserva)
        Aviso(AnsiString(TextoTrabajoOcupado) +
              " Sus tablas de trabajo (tipos2, tipgrup2 y conex) se han dejado como estaban.");
    // A table that vanished is not a new school year's empty one: the user
    // must know which rows are gone.
    if (faltan.size() == 1)
        Aviso("No estaba la tabla " + faltan[0] +
              ": se ha creado vac\xED"
              "a.");
    if (faltan.size() > 1)
        Aviso("No estaban las tablas " + Lista(faltan) +
              ": se han creado vac\xED"
              "as.");
}

void CreaTablasNuevas(const AnsiString& DatabaseName) {
    for (const auto& d : TablasEscolares()) CreaTabla(DatabaseName, d);
}

AnsiString CarpetaDeBase(const AnsiString& DatabaseName) {
    if (TDatabase* db = Session().FindDatabase(DatabaseName))
        return IncludeTrailingBackslash(db->Directory());
    return IncludeTrailingBackslash(DatabaseName);
}

std::vector<AnsiString> Numerados(std::string_view Prefijo, int Cuantos) {
    std::vector<AnsiString> v;
    for (int i = 1; i <= Cuantos; ++i) v.push_back(AnsiString(Prefijo) + IntToStr(i));
    return v;
}

AnsiString ClaveCurso(const AnsiString& Turno, const AnsiString& Nivel, const AnsiString& Curso) {
    return Turno + Nivel + Curso;
}

AnsiString FiltroCurso(const AnsiString& TNC) { return "TNC=" + QuotedStr(TNC); }

void FiltraPorCurso(TDataSet& Tabla, const AnsiString& TNC) { FilterEqual(Tabla, "TNC", TNC); }
