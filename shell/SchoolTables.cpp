#include "shell/SchoolTables.h"

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
    std::vector<AnsiString> asig = Numerados("ASIG", HuecosAsignatura), div = Numerados("DIV", HuecosAsignatura),
                            con = Numerados("CON", HuecosAsignatura);
    for (size_t i = 0; i < asig.size(); ++i) {
        Campos.push_back(Texto(asig[i], 4));
        if (Divisiones) Campos.push_back(Texto(div[i], 1));
        if (Conexiones) Campos.push_back(Texto(con[i], 3));
    }
}

std::vector<TTablaEscolar> Disenos() {
    std::vector<TTablaEscolar> t;

    t.push_back({"nomasg", {Numero("N"), Texto("ABREV", 4), Texto("ABREV8", 8), Texto("NOMBRE", 40)}, {"N", "ABREV"}});

    TTablaEscolar cursos{"cursos",
                         {Numero("N"), Texto("ABREV", 3), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3),
                          Texto("TNC", 9), Numero("NGRUP"), Numero("MAXALUM")},
                         {"N", "TNC", "ABREV"}};
    AnadeMaximosPorGrupo(cursos.Campos);
    t.push_back(cursos);

    t.push_back({"grupos",
                 {Numero("N"), Texto("ABREV", 4), Texto("TURNO", 1), Texto("NIVEL", 5), Texto("CURSO", 3),
                  Texto("GRUPO", 1), Texto("TNC", 9), Texto("TNCG", 11)},
                 {"N", "TNC", "TNCG"}});
    t.push_back({"prof", {Numero("N"), Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("DEPART", 40)}, {"N", "ABREV"}});
    t.push_back({"aulas", {Numero("N"), Texto("ABREV", 4), Texto("NOMBRE", 40), Texto("EDIFICIO", 1)}, {"N", "ABREV"}});

    TTablaEscolar asigcur{"asigcur",
                          {Numero("N"), Texto("TNC", 9), Texto("ASIG", 4), {"HORAS", ftFloat, 0}, Logico("CUENTA"),
                           Logico("MOSTRAR"), Numero("CONTADOR"), Numero("NDIV"), Numero("MAXALUM"), Numero("NPROF"),
                           Numero("BLOPT"), Numero("NASALUM"), Numero("TIPO")},
                          {"N", "TNC", "ASIG", "CONTADOR"}};
    AnadeMaximosPorGrupo(asigcur.Campos);
    t.push_back(asigcur);

    TTablaEscolar alum{"alum",
                       {Numero("N"), Texto("EXPED", 20), Texto("NOMBRE", 50), Texto("GRUPO", 2), Texto("TNC", 9),
                        Texto("OPCION", 1), Logico("REPITE"), Logico("ANULAR")},
                       {"N", "EXPED", "NOMBRE", "TNC"}};
    AnadeHuecos(alum.Campos, true, false);
    t.push_back(alum);

    const std::vector<TCampoEscolar> cabezaTipos = {Numero("N"), Numero("NALUM"), Texto("TNC", 9), Texto("OPCION", 1),
                                                    Logico("REPITE")};
    TTablaEscolar tipos{"tipos", cabezaTipos, {"N", "TNC", "NALUM"}};
    AnadeHuecos(tipos.Campos, false, false);
    t.push_back(tipos);

    TTablaEscolar tipos2{"tipos2", cabezaTipos, {"N", "TNC", "NALUM"}, true};
    for (const char* n : {"ASIGS", "ASIGSCOL", "ASIGSCU", "ASIGSCUCOL"}) tipos2.Campos.push_back(Texto(n, 254));
    tipos2.Campos.push_back(Logico("SELEC"));
    AnadeHuecos(tipos2.Campos, false, false);
    t.push_back(tipos2);

    const std::vector<TCampoEscolar> cabezaTipGrup = {Numero("N"),        Numero("NALUM"),   Texto("TNC", 9),
                                                      Texto("TNCG", 11),  Texto("GRUPO", 2), Texto("OPCION", 1),
                                                      Logico("REPITE")};
    TTablaEscolar tipgrup{"tipgrup", cabezaTipGrup, {"N", "TNC", "TNCG", "NALUM"}};
    AnadeHuecos(tipgrup.Campos, true, true);
    t.push_back(tipgrup);

    TTablaEscolar tipgrup2{"tipgrup2", cabezaTipGrup, {"N", "TNC", "TNCG", "NALUM"}, true};
    for (const char* n : {"ASIGSDCM", "ASIGSDCM1", "ASIGSDCM2", "ASIGSDCM3"}) tipgrup2.Campos.push_back({n, ftMemo, 0});
    AnadeHuecos(tipgrup2.Campos, true, true);
    t.push_back(tipgrup2);

    t.push_back({"conex",
                 {Texto("TNC", 9), Texto("TNCCON", 12), Texto("CON", 3), Texto("GRUPO", 2), Texto("ASIGDIV", 6),
                  Numero("NALUM1"), Numero("NALUM2"), Numero("NCON")},
                 {"TNC", "TNCCON"},
                 true});
    return t;
}

// A data file the engine refuses as damaged is kept beside the folder's
// tables under another name before the table is made anew.
bool DatosIlegibles(TTable& Tabla) {
    try {
        Tabla.Open();
        Tabla.Close();
        return false;
    } catch (const EDBEngineError& E) {
        if (E.ErrorCode() != dbeDamaged) throw;
        return true;
    }
}

AnsiString GuardaAparte(TTable& Tabla) {
    AnsiString dbf = CarpetaDeBase(Tabla.DatabaseName()) + Tabla.TableName() + ".dbf";
    AnsiString copia = dbf + ".bak";
    DeleteFile(copia);
    if (!RenameFile(dbf, copia)) DatabaseError("No se puede apartar el fichero " + dbf + ".");
    return ExtractFileName(copia);
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
    for (const auto& d : TablasEscolares()) {
        TTempTable t = NewTempTable(DatabaseName, d.Nombre);
        if (d.DeTrabajo) {
            if (t->Exists()) t->DeleteTable();
        } else if (t->Exists()) {
            if (!DatosIlegibles(*t)) continue;
            AnsiString copia = GuardaAparte(*t);
            Aviso("La tabla " + AnsiString(d.Nombre) + " estaba da\xF1" "ada y se ha creado vac\xED" "a. El fichero " +
                  "da\xF1" "ado se ha guardado como " + copia + ".");
        }
        DefineTabla(*t, d);
        t->CreateTable();
    }
}

AnsiString CarpetaDeBase(const AnsiString& DatabaseName) {
    if (TDatabase* db = Session().FindDatabase(DatabaseName)) return IncludeTrailingBackslash(db->Directory());
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
