#include "tools/SampleSchool.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "shell/ExchangeTables.h"
#include "shell/Import.h"
#include "shell/RecordRules.h"
#include "shell/SchoolTables.h"

namespace {

// splitmix64: the same numbers on every machine and library, which the
// standard distributions do not promise.
class TAzar {
public:
    explicit TAzar(uint64_t Semilla) : FEstado(Semilla) {}
    uint64_t Siguiente() {
        uint64_t z = (FEstado += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Entre(int Cuantos) { return static_cast<int>(Siguiente() % static_cast<uint64_t>(Cuantos)); }
    bool PorCiento(int P) { return Entre(100) < P; }
    template <class T>
    const T& Uno(const std::vector<T>& V) {
        return V[static_cast<size_t>(Entre(static_cast<int>(V.size())))];
    }

private:
    uint64_t FEstado;
};

struct TAsignatura {
    const char* Cod;
    const char* Largo;
    const char* Nombre;
};

const std::vector<TAsignatura>& Asignaturas() {
    static const std::vector<TAsignatura> a = {
        {"LCL", "LENGUA", "Lengua Castellana y Literatura"},
        {"MAT", "MATEMAT", "Matem\xE1ticas"},
        {"MCS", "MATCCSS", "Matem\xE1ticas Aplicadas a las CC. Sociales"},
        {"ING", "INGLES", "Primera Lengua Extranjera: Ingl\xE9s"},
        {"GEH", "GEOHIST",
         "Geograf\xED"
         "a e Historia"},
        {"EF", "EDFISICA", "Educaci\xF3n F\xEDsica"},
        {"REL", "RELIGION", "Religi\xF3n"},
        {"ATE", "ATENCION", "Atenci\xF3n Educativa"},
        {"FQ", "FISQUIM", "F\xEDsica y Qu\xEDmica"},
        {"BIO", "BIOGEO",
         "Biolog\xED"
         "a y Geolog\xED"
         "a"},
        {"LAT", "LATIN", "Lat\xEDn"},
        {"ECO", "ECONOMIA",
         "Econom\xED"
         "a"},
        {"TEC", "TECNOLOG",
         "Tecnolog\xED"
         "a"},
        {"CAP", "CIENAPL", "Ciencias Aplicadas a la Actividad Profesional"},
        {"IAE", "EMPRENDE", "Iniciaci\xF3n a la Actividad Emprendedora"},
        {"FRA", "FRANCES", "Segunda Lengua Extranjera: Franc\xE9s"},
        {"MUS", "MUSICA", "M\xFAsica"},
        {"INF", "INFORMAT", "Inform\xE1tica"},
        {"PLA", "PLASTICA", "Educaci\xF3n Pl\xE1stica, Visual y Audiovisual"},
        {"FIL", "FILOSOF",
         "Filosof\xED"
         "a"},
        {"DT", "DIBUJOT",
         "Dibujo T\xE9"
         "cnico"},
        {"HMC", "HISMUNDO", "Historia del Mundo Contempor\xE1neo"},
        {"GRI", "GRIEGO", "Griego"},
        {"ANA", "ANATOMIA",
         "Anatom\xED"
         "a Aplicada"},
        {"TIC", "TIC",
         "Tecnolog\xED"
         "as de la Informaci\xF3n y la Comunicaci\xF3n"},
        {"CUC", "CULTCIEN",
         "Cultura Cient\xED"
         "fica"},
    };
    return a;
}

struct TCursoPlan {
    const char* Abrev;
    const char* Turno;
    const char* Nivel;
    const char* Curso;
    int PorMil;  // share of the students
};

// A course of the school as generated: a plan taught in one shift.
struct TCursoEjemplo {
    AnsiString Abrev, Turno, Nivel, Curso;
    bool Nocturno;
    int Alumnos;
};

const std::vector<TCursoPlan>& Cursos() {
    static const std::vector<TCursoPlan> c = {
        {"4ES", "D", "ESO", "4", 420},
        {"1BD", "D", "BACH", "1", 330},
        {"1BN", "N", "BACH", "1", 250},
    };
    return c;
}

// A large school teaches a year in more shifts: no course takes more than
// this many students (15 groups), the rest go to copies of the course in the
// afternoon shifts. The sample's size never reaches it, so the sample keeps
// its three courses.
constexpr int MaxAlumnosCurso = 450;
const char* const TurnosDeTarde[] = {"T", "V", "M", "X", "Y", "Z"};

std::vector<TCursoEjemplo> CursosDe(int Alumnos) {
    std::vector<TCursoEjemplo> cursos;
    std::map<AnsiString, size_t> tardesUsadas;  // by level and year: the day and the night shift share them
    int repartidos = 0;
    for (size_t c = 0; c < Cursos().size(); ++c) {
        const TCursoPlan& p = Cursos()[c];
        int cuantos = c + 1 == Cursos().size() ? Alumnos - repartidos : Alumnos * p.PorMil / 1000;
        repartidos += cuantos;
        size_t& tardes = tardesUsadas[AnsiString(p.Nivel) + p.Curso];
        const int copias = std::clamp<int>((cuantos + MaxAlumnosCurso - 1) / MaxAlumnosCurso, 1,
                                           int(1 + std::size(TurnosDeTarde) - tardes));
        const bool nocturno = AnsiString(p.Turno) == "N";
        for (int k = 0; k < copias; ++k) {
            TCursoEjemplo e{p.Abrev, p.Turno, p.Nivel, p.Curso, nocturno, cuantos / copias};
            if (k < cuantos % copias) ++e.Alumnos;
            if (k > 0) {
                e.Turno = TurnosDeTarde[tardes++];
                e.Abrev = e.Abrev.substr(0, 2) + e.Turno;
            }
            cursos.push_back(e);
        }
    }
    return cursos;
}

struct THoras {
    const char* Nivel;
    const char* Curso;
    const char* Asig;
    double Horas;
};

// The management program knows third year too, which this school does not
// export: those rows match no course.
const std::vector<THoras>& HorasPorNivel() {
    static const std::vector<THoras> h = {
        {"ESO", "4", "LCL", 4},  {"ESO", "4", "MAT", 4},   {"ESO", "4", "ING", 4},  {"ESO", "4", "GEH", 3},
        {"ESO", "4", "EF", 2},   {"ESO", "4", "REL", 1},   {"ESO", "4", "ATE", 1},  {"ESO", "4", "FQ", 3},
        {"ESO", "4", "BIO", 3},  {"ESO", "4", "LAT", 3},   {"ESO", "4", "ECO", 3},  {"ESO", "4", "TEC", 3},
        {"ESO", "4", "CAP", 3},  {"ESO", "4", "IAE", 2.5}, {"ESO", "4", "FRA", 2},  {"ESO", "4", "MUS", 2},
        {"ESO", "4", "INF", 2},  {"ESO", "4", "PLA", 2},   {"ESO", "3", "LCL", 4},  {"ESO", "3", "MAT", 4},
        {"BACH", "1", "LCL", 3}, {"BACH", "1", "FIL", 3},  {"BACH", "1", "ING", 3}, {"BACH", "1", "EF", 2},
        {"BACH", "1", "MAT", 4}, {"BACH", "1", "MCS", 4},  {"BACH", "1", "FQ", 4},  {"BACH", "1", "BIO", 4},
        {"BACH", "1", "DT", 4},  {"BACH", "1", "LAT", 4},  {"BACH", "1", "GRI", 4}, {"BACH", "1", "ECO", 4},
        {"BACH", "1", "HMC", 4}, {"BACH", "1", "FRA", 2},  {"BACH", "1", "TIC", 2}, {"BACH", "1", "ANA", 2},
        {"BACH", "1", "CUC", 2}, {"BACH", "1", "REL", 1},
    };
    return h;
}

const std::vector<TBloqueEjemplo>& Bloques() {
    static const std::vector<TBloqueEjemplo> b = {
        {"ESO", "4", 1, 1, {"REL", "ATE"}},
        {"ESO", "4", 2, 2, {"FQ", "BIO", "LAT", "ECO"}},
        {"ESO", "4", 3, 1, {"CAP", "IAE"}},
        {"ESO", "4", 4, 1, {"FRA", "MUS", "INF", "PLA"}},
        {"ESO", "4", 5, 1, {"TEC"}},
        {"BACH", "1", 1, 2, {"FQ", "BIO", "DT"}},
        {"BACH", "1", 2, 2, {"ECO", "HMC", "GRI"}},
        {"BACH", "1", 3, 1, {"FRA", "TIC", "ANA", "CUC"}},
        // Mathematics of one road or the other, or Latin: each student takes one.
        {"BACH", "1", 4, 1, {"MAT", "MCS", "LAT"}},
        {"BACH", "1", 5, 1, {"REL"}},
    };
    return b;
}

using TLista = std::vector<AnsiString>;

const TLista& Nombres() {
    static const TLista n = {
        "Luc\xED"
        "a",
        "Mar\xED"
        "a",
        "Martina",
        "Paula",
        "Sof\xED"
        "a",
        "Alba",
        "Julia",
        "Noa",
        "Irene",
        "Nerea",
        "Ainhoa",
        "Bego\xF1"
        "a",
        "In\xE9s",
        "\xC1gueda",
        "Roc\xEDo",
        "Ver\xF3nica",
        "Ana Bel\xE9n",
        "Cristina",
        "Elena",
        "Nuria",
        "Aitana",
        "Hugo",
        "Mart\xEDn",
        "Lucas",
        "Mateo",
        "Pablo",
        "\xC1lvaro",
        "Adri\xE1n",
        "Iv\xE1n",
        "Rub\xE9n",
        "Sergio",
        "\xCD\xF1igo",
        "Joaqu\xEDn",
        "Jes\xFAs",
        "\xD3scar",
        "Ram\xF3n",
        "Andr\xE9s",
        "Tom\xE1s",
        "Nicol\xE1s",
        "Gonzalo",
        "Ra\xFAl",
        "Marcos",
    };
    return n;
}

const TLista& Apellidos() {
    static const TLista a = {
        "Alca\xF1iz",
        "Ben\xEDtez",
        "Ca\xF1izares",
        "Dom\xEDnguez",
        "Echeverr\xED"
        "a",
        "Fern\xE1ndez",
        "G\xE1lvez",
        "Hern\xE1ndez",
        "Ib\xE1\xF1"
        "ez",
        "Jim\xE9nez",
        "L\xF3pez",
        "Mart\xEDnez",
        "N\xFA\xF1"
        "ez",
        "Ortega",
        "Pe\xF1"
        "alver",
        "Quintana",
        "Ram\xEDrez",
        "S\xE1nchez",
        "T\xE9llez",
        "\xDA"
        "beda",
        "Vald\xE9s",
        "Z\xFA\xF1iga",
        "Mu\xF1oz",
        "Casta\xF1o",
        "Garc\xED"
        "a",
        "Rold\xE1n",
        "Aldecoa",
        "Urrutia",
        "Carrasco",
        "Salcedo",
        "Villanueva",
        "Bar\xF3",
        "Esteban",
        "Lozano",
        "Cabrera",
        "Mendoza",
        "Arag\xF3n",
        "Pe\xF1"
        "a",
    };
    return a;
}

const TLista& Departamentos() {
    static const TLista d = {
        "Lengua Castellana y Literatura",
        "Matem\xE1ticas",
        "Ingl\xE9s",
        "Geograf\xED"
        "a e Historia",
        "Educaci\xF3n F\xEDsica",
        "F\xEDsica y Qu\xEDmica",
        "Biolog\xED"
        "a y Geolog\xED"
        "a",
        "Cl\xE1sicas",
        "Econom\xED"
        "a",
        "Tecnolog\xED"
        "a",
        "Franc\xE9s",
        "M\xFAsica",
        "Dibujo",
        "Filosof\xED"
        "a",
        "Religi\xF3n",
    };
    return d;
}

AnsiString NombrePersona(TAzar& Azar) {
    AnsiString a1 = Azar.Uno(Apellidos()), a2 = Azar.Uno(Apellidos());
    while (a2 == a1) a2 = Azar.Uno(Apellidos());
    return a1 + " " + a2 + ", " + Azar.Uno(Nombres());
}

// A student's subjects and option letter, as the management program lists
// them: the common ones first, then the option's, then the electives.
struct TEleccion {
    AnsiString Opcion;
    TLista Asignaturas;
};

TEleccion EligeESO(TAzar& Azar) {
    TEleccion e;
    e.Asignaturas = {"LCL", "MAT", "ING", "GEH", "EF"};
    e.Asignaturas.push_back(Azar.PorCiento(45) ? "REL" : "ATE");
    if (Azar.PorCiento(62)) {
        e.Opcion = "A";  // the academic road: sciences or humanities
        if (Azar.PorCiento(65)) e.Asignaturas.insert(e.Asignaturas.end(), {"FQ", "BIO"});
        else e.Asignaturas.insert(e.Asignaturas.end(), {"LAT", "ECO"});
    } else {
        e.Opcion = "B";  // the applied road
        e.Asignaturas.push_back("TEC");
        e.Asignaturas.push_back(Azar.PorCiento(55) ? "CAP" : "IAE");
    }
    static const TLista optativas = {"FRA", "FRA", "MUS", "INF", "INF", "PLA"};
    e.Asignaturas.push_back(Azar.Uno(optativas));
    return e;
}

TEleccion EligeBachillerato(TAzar& Azar, bool Nocturno) {
    TEleccion e;
    e.Asignaturas = {"LCL", "FIL", "ING"};
    // Adults of the night shift are excused from physical education.
    if (!Nocturno) e.Asignaturas.push_back("EF");
    if (Azar.PorCiento(Nocturno ? 40 : 55)) {
        e.Opcion = "C";
        e.Asignaturas.push_back("MAT");
        e.Asignaturas.push_back("FQ");
        e.Asignaturas.push_back(Azar.PorCiento(60) ? "BIO" : "DT");
    } else {
        e.Opcion = "H";
        if (Azar.PorCiento(60)) e.Asignaturas.insert(e.Asignaturas.end(), {"MCS", "ECO", "HMC"});
        else e.Asignaturas.insert(e.Asignaturas.end(), {"LAT", "GRI", "HMC"});
    }
    static const TLista diurnas = {"FRA", "TIC", "TIC", "ANA", "CUC"};
    static const TLista nocturnas = {"TIC", "CUC"};
    e.Asignaturas.push_back(Azar.Uno(Nocturno ? nocturnas : diurnas));
    if (!Nocturno && Azar.PorCiento(25)) e.Asignaturas.push_back("REL");
    return e;
}

AnsiString Iniciales(const AnsiString& Nombre) {
    // "Apellido Apellido, Nombre" -> N A A
    AnsiString apellidos = Nombre.substr(0, Nombre.find(','));
    AnsiString nombre = Trim(Nombre.substr(Nombre.find(',') + 1));
    AnsiString i;
    i += nombre[0];
    i += apellidos[0];
    i += apellidos[apellidos.find(' ') + 1];
    return AnsiUpperCase(i);
}

}  // namespace

TEscuelaEjemplo GeneraEscuela(uint64_t Semilla, int Alumnos) {
    TAzar azar(Semilla);
    TEscuelaEjemplo e;
    e.Bloques = Bloques();
    TDatosIntercambio& d = e.Intercambio;

    for (const auto& a : Asignaturas())
        d["AsigNomt"].push_back({{"NOMBRE", a.Nombre}, {"COD", a.Cod}, {"CODLARGO", a.Largo}});
    for (const auto& h : HorasPorNivel())
        d["Asigcurt"].push_back(
            {{"NIVEL", h.Nivel}, {"CURSO", h.Curso}, {"ASIG", h.Asig}, {"HORAS", h.Horas}});

    int exped = 4100 + azar.Entre(500);
    for (const TCursoEjemplo& p : CursosDe(Alumnos)) {
        d["Cursost"].push_back(
            {{"ABREV", p.Abrev}, {"TURNO", p.Turno}, {"NIVEL", p.Nivel}, {"CURSO", p.Curso}});
        const int cuantos = p.Alumnos;
        // The management program plans its own groups of up to 28.
        int grupos = std::max(1, (cuantos + 27) / 28);
        for (int g = 0; g < grupos; ++g) {
            AnsiString letra(1, static_cast<char>('A' + g % 26));
            d["grupt"].push_back({{"ABREV", p.Abrev + letra},
                                  {"TURNO", p.Turno},
                                  {"NIVEL", p.Nivel},
                                  {"CURSO", p.Curso},
                                  {"GRUPO", letra}});
        }
        const bool eso = p.Nivel == "ESO", nocturno = p.Nocturno;
        for (int i = 0; i < cuantos; ++i) {
            TEleccion el = eso ? EligeESO(azar) : EligeBachillerato(azar, nocturno);
            exped += 1 + azar.Entre(3);
            TFilaIntercambio fila = {{"EXPED", IntToStr(exped)},
                                     {"NOMBRE", NombrePersona(azar)},
                                     {"TURNO", p.Turno},
                                     {"NIVEL", p.Nivel},
                                     {"CURSO", p.Curso},
                                     {"OPCION", el.Opcion},
                                     {"REPITE", azar.PorCiento(nocturno ? 15 : 7)}};
            for (size_t s = 0; s < el.Asignaturas.size(); ++s)
                fila["ASIG" + std::to_string(s + 1)] = el.Asignaturas[s];
            d["alumnost"].push_back(fila);
        }
    }
    // The exchange offers the table the export refills, still empty.
    d["grupost"];

    std::set<AnsiString> codigos;
    int profesores = std::max(14, Alumnos / 12);
    for (int i = 0; i < profesores; ++i) {
        AnsiString nombre = NombrePersona(azar);
        AnsiString codigo = Iniciales(nombre);
        for (int n = 2; codigos.count(codigo); ++n) codigo = Iniciales(nombre) + IntToStr(n % 10);
        codigos.insert(codigo);
        d["proft"].push_back({{"ABREV", codigo},
                              {"NOMBRE", nombre},
                              {"DEPART", Departamentos()[static_cast<size_t>(i) % Departamentos().size()]}});
    }

    static const std::vector<std::vector<const char*>> aulas = {
        {"A01", "Aula 1.01", "A"},
        {"A02", "Aula 1.02", "A"},
        {"A03", "Aula 1.03", "A"},
        {"A11", "Aula 2.01", "A"},
        {"A12", "Aula 2.02", "A"},
        {"LFQ", "Laboratorio de F\xEDsica y Qu\xEDmica", "B"},
        {"LBG",
         "Laboratorio de Biolog\xED"
         "a",
         "B"},
        {"INF", "Aula de Inform\xE1tica", "B"},
        {"MUS", "Aula de M\xFAsica", "B"},
        {"TEC",
         "Taller de Tecnolog\xED"
         "a",
         "B"},
        {"PLA", "Aula de Pl\xE1stica", "B"},
        {"GIM", "Gimnasio", "C"},
    };
    for (const auto& a : aulas) d["aulat"].push_back({{"ABREV", a[0]}, {"NOMBRE", a[1]}, {"EDIFICIO", a[2]}});
    return e;
}

void EscribeIntercambio(const TDatosIntercambio& Datos, const AnsiString& Carpeta) {
    if (!ForceDirectories(Carpeta)) throw EDatabaseError("No se puede crear la carpeta " + Carpeta);
    for (const auto& [nombre, filas] : Datos) {
        const TTablaIntercambio& diseno = TablaIntercambio(nombre);
        TTempTable t = NewTempTable(Carpeta, diseno.Fichero);
        t->FieldDefs()->Clear();
        for (const auto& c : diseno.Campos) {
            switch (c.Clase) {
            case TClaseIntercambio::Texto: t->FieldDefs()->Add(c.Nombre, ftString, c.Ancho); break;
            case TClaseIntercambio::Numero: t->FieldDefs()->Add(c.Nombre, ftFloat); break;
            case TClaseIntercambio::Logico: t->FieldDefs()->Add(c.Nombre, ftBoolean); break;
            }
        }
        t->IndexDefs()->Clear();
        t->CreateTable();
        t->Open();
        for (const auto& fila : filas) {
            t->Append();
            for (const auto& [campo, valor] : fila) t->FieldByName(campo)->SetValue(valor);
            t->Post();
        }
    }
}

void PreparaCarpetaDatos(const TEscuelaEjemplo& Escuela, const AnsiString& Intercambio,
                         const AnsiString& Carpeta) {
    ImportaEnCarpeta(Intercambio, Carpeta);
    const AnsiString db = ExcludeTrailingBackslash(Carpeta);

    struct TCurso {
        AnsiString TNC, Nivel, Curso;
        int Grupos;
    };
    std::vector<TCurso> cursos;
    {
        TTempTable t = OpenTempTable(db, "cursos");
        for (t->First(); !t->Eof(); t->Next())
            cursos.push_back({t->FieldByName("TNC")->AsString(), t->FieldByName("NIVEL")->AsString(),
                              t->FieldByName("CURSO")->AsString(), t->FieldByName("NGRUP")->AsInteger()});
    }
    for (const auto& c : cursos) {
        ClasificaAsignaturas(db, c.TNC);
        {
            TTempTable comunes = NewTempTable(db, "asigcur");
            TTempTable noUsadas = NewTempTable(db, "asigcur");
            FiltraPorClase(*comunes, c.TNC, TipoComun);
            FiltraPorClase(*noUsadas, c.TNC, TipoNoUsada);
            comunes->Open();
            noUsadas->Open();
            FijaCifrasAlCerrar(*comunes, *noUsadas, c.Grupos);
        }
        TTempTable optativas = NewTempTable(db, "asigcur");
        FiltraPorClase(*optativas, c.TNC, TipoOptativa);
        optativas->Open();
        for (optativas->First(); !optativas->Eof(); optativas->Next()) {
            AnsiString asig = optativas->FieldByName("ASIG")->AsString();
            for (const auto& b : Escuela.Bloques) {
                if (b.Nivel != c.Nivel || b.Curso != c.Curso ||
                    std::find(b.Asignaturas.begin(), b.Asignaturas.end(), asig) == b.Asignaturas.end())
                    continue;
                optativas->Edit();
                optativas->FieldByName("BLOPT")->SetAsInteger(b.Bloque);
                optativas->FieldByName("NASALUM")->SetAsInteger(b.Cuantas);
                optativas->Post();
            }
        }
    }
}
