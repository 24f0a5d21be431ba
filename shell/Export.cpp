#include "shell/Export.h"

#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/AppState.h"
#include "shell/RecordRules.h"

namespace {

// The merge of a school table into an exchange table: each school row
// updates the first exchange row with its key (texts compared exactly, case
// counting) or, when none has it, adds a row. Exchange rows are never
// deleted. The exchange table is read once; the first row of every key is
// remembered, rows added by the merge included.
class TMezcla {
public:
    TMezcla(TTable& Intercambio, std::vector<const char*> Claves) : FTabla(Intercambio) {
        for (const char* c : Claves) FClaves.push_back(FTabla.FieldByName(c));
        for (FTabla.First(); !FTabla.Eof(); FTabla.Next())
            FPrimera.emplace(ClaveActual(), FTabla.GetBookmark());
    }

    // Puts the table in edit on the row with the key, or appends a row: true
    // when the row was there.
    bool Abre(const std::vector<AnsiString>& Valores) {
        auto it = FPrimera.find(Une(Valores));
        if (it != FPrimera.end()) {
            FTabla.GotoBookmark(it->second);
            FTabla.Edit();
            return true;
        }
        FTabla.Append();
        return false;
    }

    void Guarda() {
        FTabla.Post();
        FPrimera.emplace(ClaveActual(), FTabla.GetBookmark());
    }

    TField* Campo(const char* Nombre) const { return FTabla.FieldByName(Nombre); }

private:
    static AnsiString Une(const std::vector<AnsiString>& Valores) {
        AnsiString k;
        for (const auto& v : Valores) k += v + '\0';
        return k;
    }
    AnsiString ClaveActual() const {
        std::vector<AnsiString> v;
        for (TField* f : FClaves) v.push_back(f->AsString());
        return Une(v);
    }

    TTable& FTabla;
    std::vector<TField*> FClaves;
    std::unordered_map<AnsiString, TBookmark> FPrimera;
};

// A name the import cut to our field is the exchange's whole name, cut: it
// goes back only when the user changed it here.
bool EsCorteDe(const AnsiString& Nuestro, const AnsiString& Suyo, int Ancho) {
    return Ancho > 0 && Suyo.size() > size_t(Ancho) && TrimRight(Suyo.substr(0, size_t(Ancho))) == Nuestro;
}

void Textos(TDataSet& De, TMezcla& A, std::initializer_list<std::pair<const char*, const char*>> Pares) {
    for (const auto& [de, a] : Pares) {
        TField* origen = De.FieldByName(de);
        TField* destino = A.Campo(a);
        const AnsiString valor = origen->AsString();
        if (origen->DataType() == ftString && EsCorteDe(valor, destino->AsString(), origen->Size())) continue;
        destino->SetAsString(valor);
    }
}

bool Existe(const AnsiString& Intercambio, const char* Tabla) {
    return FileExists(FicheroIntercambio(Intercambio, TablaIntercambio(Tabla)));
}

void ExportaNombres(const AnsiString& Datos, const AnsiString& Intercambio) {
    TTempTable de = OpenTempTable(Datos, "nomasg");
    TTempTable a = OpenTempTable(Intercambio, "AsigNomt");
    TMezcla m(*a, {"COD"});
    for (de->First(); !de->Eof(); de->Next()) {
        if (!m.Abre({de->FieldByName("ABREV")->AsString()})) Textos(*de, m, {{"ABREV", "COD"}});
        Textos(*de, m, {{"NOMBRE", "NOMBRE"}, {"ABREV8", "CODLARGO"}});
        m.Guarda();
    }
}

struct TAsignaturaCurso {
    AnsiString TNC, Asig;
    double Horas;
};

void ExportaCursos(const AnsiString& Datos, const AnsiString& Intercambio) {
    std::vector<TAsignaturaCurso> asignaturas;
    {
        TTempTable t = OpenTempTable(Datos, "asigcur");
        for (t->First(); !t->Eof(); t->Next())
            asignaturas.push_back({t->FieldByName("TNC")->AsString(), t->FieldByName("ASIG")->AsString(),
                                   t->FieldByName("HORAS")->AsFloat()});
    }
    TTempTable cursos = OpenTempTable(Datos, "cursos");
    TTempTable cursost = OpenTempTable(Intercambio, "Cursost");
    TTempTable asigcurt = OpenTempTable(Intercambio, "Asigcurt");
    TMezcla mc(*cursost, {"ABREV"});
    TMezcla ma(*asigcurt, {"NIVEL", "CURSO", "ASIG"});
    for (cursos->First(); !cursos->Eof(); cursos->Next()) {
        if (!mc.Abre({cursos->FieldByName("ABREV")->AsString()})) Textos(*cursos, mc, {{"ABREV", "ABREV"}});
        Textos(*cursos, mc, {{"TURNO", "TURNO"}, {"NIVEL", "NIVEL"}, {"CURSO", "CURSO"}});
        mc.Guarda();
        // The key as the exchange row holds it now (cut to its widths): the
        // course's subjects are the rows of asigcur with that key.
        AnsiString nivel = mc.Campo("NIVEL")->AsString(), curso = mc.Campo("CURSO")->AsString();
        AnsiString clave = ClaveCurso(mc.Campo("TURNO")->AsString(), nivel, curso);
        for (const auto& s : asignaturas) {
            if (s.TNC != clave) continue;
            if (!ma.Abre({nivel, curso, s.Asig})) {
                ma.Campo("NIVEL")->SetAsString(nivel);
                ma.Campo("CURSO")->SetAsString(curso);
                ma.Campo("ASIG")->SetAsString(s.Asig);
            }
            ma.Campo("HORAS")->SetAsFloat(s.Horas);
            ma.Guarda();
        }
    }
}

void ExportaGrupos(const AnsiString& Datos, const AnsiString& Intercambio) {
    TTempTable de = OpenTempTable(Datos, "grupos");
    TTempTable a = OpenTempTable(Intercambio, "grupost");
    a->EmptyTable();
    for (de->First(); !de->Eof(); de->Next()) {
        a->Append();
        for (const char* c : {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO"})
            a->FieldByName(c)->SetAsString(de->FieldByName(c)->AsString());
        a->Post();
    }
}

void ExportaLista(const AnsiString& Datos, const char* Tabla, const AnsiString& Intercambio,
                  const char* TablaInt, const char* Tercero) {
    TTempTable de = OpenTempTable(Datos, Tabla);
    TTempTable a = OpenTempTable(Intercambio, TablaInt);
    TMezcla m(*a, {"ABREV"});
    for (de->First(); !de->Eof(); de->Next()) {
        if (!m.Abre({de->FieldByName("ABREV")->AsString()})) Textos(*de, m, {{"ABREV", "ABREV"}});
        Textos(*de, m, {{"NOMBRE", "NOMBRE"}, {Tercero, Tercero}});
        m.Guarda();
    }
}

struct TCursoClave {
    AnsiString Turno, Nivel, Curso;
};

void ExportaAlumnos(const AnsiString& Datos, const AnsiString& Intercambio) {
    // The first course of each key, as a key search on the TNC tag finds it.
    std::unordered_map<AnsiString, TCursoClave> cursos;
    {
        TTempTable t = OpenTempTable(Datos, "cursos");
        for (t->First(); !t->Eof(); t->Next())
            cursos.emplace(t->FieldByName("TNC")->AsString(),
                           TCursoClave{t->FieldByName("TURNO")->AsString(),
                                       t->FieldByName("NIVEL")->AsString(),
                                       t->FieldByName("CURSO")->AsString()});
    }
    TTempTable de = OpenTempTable(Datos, "alum");
    TTempTable a = OpenTempTable(Intercambio, "alumnost");
    TMezcla m(*a, {"EXPED"});
    std::vector<AnsiString> huecos = Numerados("ASIG", HuecosAsignatura),
                            div = Numerados("DIV", HuecosAsignatura);
    huecos.insert(huecos.end(), div.begin(), div.end());
    for (de->First(); !de->Eof(); de->Next()) {
        // A student known to the exchange keeps the course it has there.
        if (!m.Abre({de->FieldByName("EXPED")->AsString()})) {
            Textos(*de, m, {{"EXPED", "EXPED"}});
            auto it = cursos.find(de->FieldByName("TNC")->AsString());
            if (it != cursos.end()) {
                m.Campo("TURNO")->SetAsString(it->second.Turno);
                m.Campo("NIVEL")->SetAsString(it->second.Nivel);
                m.Campo("CURSO")->SetAsString(it->second.Curso);
            }
        }
        Textos(*de, m, {{"NOMBRE", "NOMBRE"}, {"GRUPO", "GRUPO"}, {"OPCION", "OPCION"}});
        m.Campo("REPITE")->SetAsBoolean(de->FieldByName("REPITE")->AsBoolean());
        for (const auto& h : huecos) m.Campo(h.c_str())->SetAsString(de->FieldByName(h)->AsString());
        m.Guarda();
    }
}

AnsiString Lista(const std::vector<AnsiString>& Nombres) {
    AnsiString lista;
    for (const AnsiString& n : Nombres) lista += (lista.empty() ? "" : ", ") + n;
    return lista;
}

AnsiString ExportacionDetenida(const AnsiString& Intercambio, const std::vector<AnsiString>& Fallidas,
                               const std::vector<AnsiString>& Escritas, const AnsiString& Error) {
    AnsiString texto = "La exportaci\xF3n se ha detenido al escribir " + Lista(Fallidas) + ": " + Error;
    if (!texto.empty() && texto.back() != '.') texto += '.';
    texto += Escritas.empty() ? " No se hab\xED"
                                "a escrito ninguna otra tabla en " +
                                    Intercambio + "."
                              : " Se hab\xED"
                                "an escrito en " +
                                    Intercambio + ": " + Lista(Escritas) + ".";
    return texto + " " + Lista(Fallidas) + " puede haber quedado a medias; no se ha escrito nada m\xE1s.";
}

}  // namespace

bool CopiaFichero(const AnsiString& Destino, const AnsiString& Origen) {
    return CopyFile(Origen, Destino, false);
}

TResultadoExportar ExportaDatos(const AnsiString& DatabaseName, const AnsiString& Intercambio) {
    TResultadoExportar r;
    r.Intercambio = Intercambio;
    RehaceGrupos(DatabaseName);

    r.Error = CompruebaIntercambio(Intercambio, TUsoIntercambio::Exportar);
    if (!r.Error.empty()) {
        r.Fin = TFinExportar::NadaExportado;
        return r;
    }
    // Each stage writes its exchange tables whole; a stage that fails
    // midway (a file the machine will not write, a full disk) stops the
    // export, and the user learns which tables were written before it.
    struct TEtapa {
        std::vector<const char*> Tablas;
        std::function<void()> Escribe;
    };
    const std::vector<TEtapa> etapas = {
        {{"AsigNomt"}, [&] { ExportaNombres(DatabaseName, Intercambio); }},
        // Courses without their subjects (or the reverse) would leave the
        // exchange half-told: the stage needs both tables.
        {{"Cursost", "Asigcurt"}, [&] { ExportaCursos(DatabaseName, Intercambio); }},
        {{"grupost"}, [&] { ExportaGrupos(DatabaseName, Intercambio); }},
        {{"proft"}, [&] { ExportaLista(DatabaseName, "prof", Intercambio, "proft", "DEPART"); }},
        {{"aulat"}, [&] { ExportaLista(DatabaseName, "aulas", Intercambio, "aulat", "EDIFICIO"); }},
        {{"alumnost"}, [&] { ExportaAlumnos(DatabaseName, Intercambio); }},
    };
    for (const TEtapa& etapa : etapas) {
        std::vector<AnsiString> ficheros;
        bool presentes = true;
        for (const char* t : etapa.Tablas) {
            presentes = presentes && Existe(Intercambio, t);
            ficheros.push_back(TablaIntercambio(t).Fichero);
        }
        if (!presentes) continue;
        try {
            etapa.Escribe();
        } catch (const Exception& E) {
            r.Fin = TFinExportar::Detenida;
            r.Fallidas = std::move(ficheros);
            r.Error = E.Message();
            return r;
        }
        r.Escritas.insert(r.Escritas.end(), ficheros.begin(), ficheros.end());
    }

    const AnsiString datos = CarpetaDeBase(DatabaseName);
    for (const char* fichero : {"TIPGRUP.DBF", "TIPGRUP.MDX", "CONEX.DBF", "CONEX.MDX"}) {
        if (!FileExists(datos + fichero)) continue;
        if (!CopiaFichero(IncludeTrailingBackslash(Intercambio) + fichero, datos + fichero))
            r.NoCopiados.push_back(fichero);
    }
    if (!r.NoCopiados.empty()) r.Fin = TFinExportar::CopiasFallidas;
    return r;
}

AnsiString MensajeExportar(const TResultadoExportar& R) {
    switch (R.Fin) {
    case TFinExportar::Hecha: return "";
    case TFinExportar::NadaExportado: return "No se ha exportado nada. " + R.Error;
    case TFinExportar::Detenida: return ExportacionDetenida(R.Intercambio, R.Fallidas, R.Escritas, R.Error);
    case TFinExportar::CopiasFallidas:
        return "No se ha podido copiar en " + R.Intercambio + ": " + Lista(R.NoCopiados) + ".";
    }
    return "";
}

void AvisaResultadoExportar(const TResultadoExportar& R) {
    if (!R.Exportado()) Aviso(MensajeExportar(R));
}
