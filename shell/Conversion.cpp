#include "shell/Conversion.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <vector>

#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "shell/SchoolTables.h"

int GruposParaAlumnos(int Alumnos) { return Alumnos / AlumnosPorGrupo + 1; }

std::array<int, 30> MaximosPorGrupo(int Grupos) {
    std::array<int, 30> m{};
    for (int i = 0; i < 30; ++i) m[i] = i < Grupos ? AlumnosPorGrupo : 0;
    return m;
}

namespace {

std::vector<TField*> CamposNumerados(TDataSet& Tabla, const char* Prefijo, int Cuantos) {
    std::vector<TField*> v;
    for (const auto& n : Numerados(Prefijo, Cuantos)) v.push_back(Tabla.FieldByName(n));
    return v;
}

void EscribeMaximos(const std::vector<TField*>& Campos, int Grupos) {
    std::array<int, 30> m = MaximosPorGrupo(Grupos);
    for (int i = 0; i < 30; ++i) Campos[i]->SetAsInteger(m[i]);
}

}  // namespace

void CalculaDivisiones(const AnsiString& DatabaseName) {
    TTempTable cursos = OpenTempTable(DatabaseName, "cursos");
    TTempTable alum = OpenTempTable(DatabaseName, "alum");
    TTempTable asigcur = OpenTempTable(DatabaseName, "asigcur");

    // One pass over the students gives what a filter per course and per
    // subject would: the students of each course key, and the slots of each
    // course that hold each subject (a subject held twice counts twice).
    // Keys compare exactly, as the course filter does.
    std::unordered_map<AnsiString, int> alumnos;
    std::map<std::pair<AnsiString, AnsiString>, int> huecos;
    {
        TField* tnc = alum->FieldByName("TNC");
        std::vector<TField*> asig = CamposNumerados(*alum, "ASIG", HuecosAsignatura);
        for (alum->First(); !alum->Eof(); alum->Next()) {
            AnsiString clave = tnc->AsString();
            ++alumnos[clave];
            for (TField* f : asig) {
                AnsiString a = f->AsString();
                if (!a.empty()) ++huecos[{clave, a}];
            }
        }
    }
    auto gruposDe = [&](const AnsiString& Clave) {
        auto it = alumnos.find(Clave);
        return GruposParaAlumnos(it == alumnos.end() ? 0 : it->second);
    };

    {
        TField* tnc = cursos->FieldByName("TNC");
        TField* ngrup = cursos->FieldByName("NGRUP");
        TField* maxalum = cursos->FieldByName("MAXALUM");
        std::vector<TField*> maximos = CamposNumerados(*cursos, "NMAXAL", MaximosGrupo);
        for (cursos->First(); !cursos->Eof(); cursos->Next()) {
            int g = gruposDe(tnc->AsString());
            cursos->Edit();
            ngrup->SetAsInteger(g);
            maxalum->SetAsInteger(AlumnosPorGrupo);
            EscribeMaximos(maximos, g);
            cursos->Post();
        }
    }
    {
        TField* tnc = asigcur->FieldByName("TNC");
        TField* asig = asigcur->FieldByName("ASIG");
        TField* ndiv = asigcur->FieldByName("NDIV");
        TField* maxalum = asigcur->FieldByName("MAXALUM");
        TField* nprof = asigcur->FieldByName("NPROF");
        std::vector<TField*> maximos = CamposNumerados(*asigcur, "NMAXAL", MaximosGrupo);
        for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
            AnsiString clave = tnc->AsString();
            auto it = huecos.find({clave, asig->AsString()});
            int d = GruposParaAlumnos(it == huecos.end() ? 0 : it->second);
            int g = gruposDe(clave);
            asigcur->Edit();
            ndiv->SetAsInteger(d);
            maxalum->SetAsInteger(AlumnosPorGrupo);
            nprof->SetAsInteger(d);
            // A subject's limits follow the course's groups, not its divisions.
            EscribeMaximos(maximos, g);
            asigcur->Post();
        }
    }
}

namespace {

enum class TComo { Entero, Texto, Real, Logico };
struct TCampoM2 {
    AnsiString Nombre;
    TComo Como;
};

std::vector<TCampoM2> CamposM2(const AnsiString& Tabla) {
    using enum TComo;
    if (Tabla == "cursos")
        return {{"N", Entero},    {"ABREV", Texto}, {"TURNO", Texto},
                {"NIVEL", Texto}, {"CURSO", Texto}, {"TNC", Texto}};
    if (Tabla == "asigcur")
        return {{"N", Entero},      {"TNC", Texto},      {"ASIG", Texto},     {"HORAS", Real},
                {"CUENTA", Logico}, {"MOSTRAR", Logico}, {"CONTADOR", Entero}};
    std::vector<TCampoM2> alum = {{"N", Entero},  {"EXPED", Texto},  {"NOMBRE", Texto}, {"GRUPO", Texto},
                                  {"TNC", Texto}, {"OPCION", Texto}, {"REPITE", Logico}};
    for (const char* prefijo : {"ASIG", "DIV"})
        for (const auto& n : Numerados(prefijo, HuecosAsignatura)) alum.push_back({n, Texto});
    return alum;
}

void CopiaFilas(TTable& Viejo, TTable& Nuevo, const AnsiString& Tabla) {
    std::vector<TCampoM2> campos = CamposM2(Tabla);
    std::vector<std::pair<TField*, TField*>> pares;
    for (const auto& c : campos) pares.emplace_back(Viejo.FieldByName(c.Nombre), Nuevo.FieldByName(c.Nombre));
    TField* anular = Tabla == "alum" ? Nuevo.FieldByName("ANULAR") : nullptr;
    for (Viejo.First(); !Viejo.Eof(); Viejo.Next()) {
        Nuevo.Append();
        for (size_t i = 0; i < campos.size(); ++i) {
            auto [de, a] = pares[i];
            switch (campos[i].Como) {
            case TComo::Entero: a->SetAsInteger(de->AsInteger()); break;
            case TComo::Texto: a->SetAsString(de->AsString()); break;
            case TComo::Real: a->SetAsFloat(de->AsFloat()); break;
            case TComo::Logico: a->SetAsBoolean(de->AsBoolean()); break;
            }
        }
        if (anular) anular->SetAsBoolean(false);
        Nuevo.Post();
    }
}

}  // namespace

void TransformaM2(const AnsiString& DatabaseName) {
    // Every table is copied before any takes its new place: one that cannot
    // be read stops the conversion while the folder is still wholly in the
    // old layout, and the next opening offers the conversion again.
    std::vector<AnsiString> copiadas;
    try {
        for (const AnsiString nombre : {"cursos", "asigcur", "alum"}) {
            TTempTable viejo = NewTempTable(DatabaseName, nombre);
            // The index of an old table may be lost: the data file is what
            // counts, and the new table gets its tags anyway.
            if (!viejo->Exists()) continue;
            CreaTabla(DatabaseName, TablaEscolar(nombre), nombre + "b");
            copiadas.push_back(nombre);
            TTempTable nuevo = OpenTempTable(DatabaseName, nombre + "b");
            viejo->Open();
            CopiaFilas(*viejo, *nuevo, nombre);
        }
    } catch (...) {
        for (const AnsiString& nombre : copiadas) {
            try {
                NewTempTable(DatabaseName, nombre + "b")->DeleteTable();
            } catch (const EDatabaseError&) {
            }
        }
        throw;
    }
    for (const AnsiString& nombre : copiadas) {
        TTempTable viejo = NewTempTable(DatabaseName, nombre);
        TTempTable nuevo = NewTempTable(DatabaseName, nombre + "b");
        // The old files step aside under another name and go only once the
        // new table holds the table's name: a failed rename loses nothing.
        TTempTable respaldo = NewTempTable(DatabaseName, nombre + "m2");
        if (respaldo->Exists()) respaldo->DeleteTable();
        viejo->RenameTable(respaldo->TableName());
        try {
            nuevo->RenameTable(nombre);
        } catch (...) {
            // Nothing of the new table took the name: the old one goes back.
            // Otherwise both stay in the folder, and the error is told.
            if (!NewTempTable(DatabaseName, nombre)->Exists()) viejo->RenameTable(nombre);
            throw;
        }
        viejo->DeleteTable();
    }
}
