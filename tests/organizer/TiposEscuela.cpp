#include "tests/organizer/TiposEscuela.h"

#include <algorithm>
#include <set>

#include "organizer/TablasTipos.h"
#include "platform/db/Database.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "tests/organizer/TiposFilasPrueba.h"

using namespace tipos_prueba;

namespace {

std::map<std::string, AnsiString> AsigCur(const char* TNC, const char* Asig, const char* Horas, bool Cuenta,
                                          const char* Tipo) {
    return {{"TNC", TNC},   {"ASIG", Asig},  {"HORAS", Horas},  {"CUENTA", Cuenta ? "T" : "F"},
            {"TIPO", Tipo}, {"NDIV", "2"},   {"MAXALUM", "30"}, {"NPROF", "1"},
            {"BLOPT", "1"}, {"NASALUM", "1"}};
}

}  // namespace

std::filesystem::path TiposEscuela::Carpeta() const { return Root / "c" / "PROG" / "datos"; }

void TiposEscuela::SetUp() {
    FMaquina.emplace("tipos");
    Root = FMaquina->Root();
    std::filesystem::create_directories(Carpeta());
    Estado = NewComponent<TAppState>(nullptr);
    Estado->ApuntaBaseDatos("C:\\PROG\\datos\\");
    CreaTablasNuevas(Base);

    Anade("cursos", {{{"TURNO", "D"},
                      {"NIVEL", "ESO"},
                      {"CURSO", "4"},
                      {"TNC", "DESO4"},
                      {"ABREV", "4E"},
                      {"NGRUP", "2"}},
                     {{"TURNO", "D"},
                      {"NIVEL", "BAC"},
                      {"CURSO", "1"},
                      {"TNC", "DBAC1"},
                      {"ABREV", "1B"},
                      {"NGRUP", "2"}},
                     {{"TURNO", "N"},
                      {"NIVEL", "BAC"},
                      {"CURSO", "1"},
                      {"TNC", "NBAC1"},
                      {"ABREV", "1N"},
                      {"NGRUP", "1"}}});
    // DESO4: LEN and MAT for everyone; FRA or ALE; TEC or MUS; REL or ETI,
    // which do not count for the types.
    Anade("asigcur", {AsigCur("DESO4", "LEN", "4", true, "2"), AsigCur("DESO4", "MAT", "4", true, "2"),
                      AsigCur("DESO4", "FRA", "3", true, "1"), AsigCur("DESO4", "ALE", "3", true, "1"),
                      AsigCur("DESO4", "TEC", "2", true, "1"), AsigCur("DESO4", "MUS", "2", true, "1"),
                      AsigCur("DESO4", "REL", "1", false, "1"), AsigCur("DESO4", "ETI", "1", false, "1"),
                      AsigCur("DBAC1", "FIL", "3", true, "2"), AsigCur("DBAC1", "FIS", "4", true, "1")});
    std::vector<TFilaAlumno> alumnos;
    const char* idiomas[] = {"FRA", "ALE"};
    const char* optativas[] = {"TEC", "MUS"};
    const char* religion[] = {"REL", "ETI"};
    for (int i = 0; i < 16; ++i) {
        TFilaAlumno a = Alu(i % 4 == 3 ? "B" : "A", i == 5 || i == 11,
                            {"LEN", "MAT", idiomas[i % 2], optativas[(i / 2) % 2], religion[(i / 4) % 2]});
        a.EXPED = Format("E%.3d", {i});
        a.NOMBRE = Format("Alumno %d de cuarto", {i});
        a.GRUPO = "X";  // left from an earlier year
        a.ANULAR = i == 15;
        alumnos.push_back(a);
    }
    for (int i = 0; i < 12; ++i) {
        TFilaAlumno a = Alu("", false, {"FIL", i % 3 ? "FIS" : "QUI"}, false, "", "DBAC1");
        a.NOMBRE = Format("Bach %d", {i});
        alumnos.push_back(a);
    }
    for (int i = 0; i < 13; ++i) {
        TFilaAlumno a = Alu("", i % 5 == 0, {"FIL", "HIS"}, false, "", "NBAC1");
        a.NOMBRE = Format("Nocturno %d", {i});
        alumnos.push_back(a);
    }
    AnadeAlumnos(alumnos);
    // The other courses' stored distribution; numbers as an earlier opening left them.
    AnadeSubtipos("tipos", {Sub(3, 4, "", false, {"FIL", "QUI"}, "DBAC1"),
                            Sub(1, 0, "", false, {"FIL", "FIS"}, "DBAC1"),
                            Sub(2, 13, "", false, {"FIL", "HIS"}, "NBAC1")});
    AnadeTiposEnGrupo("tipgrup", {Fila(4, 8, "A", "", false, {{"FIL", "1", "a"}, {"FIS", "1"}}, "DBAC1"),
                                  Fila(5, 0, "B", "", false, {{"FIL"}}, "DBAC1")});
    FijaReferencia();
}

void TiposEscuela::TearDown() {
    if (Estado) Estado->Free();
    Estado = nullptr;
    FMaquina.reset();
}

std::vector<TFilaSubtipo> TiposEscuela::Subtipos(const char* Tabla) {
    return LeeSubtipos(*OpenTempTable(Base, Tabla));
}
std::vector<TFilaEnGrupo> TiposEscuela::TiposEnGrupo(const char* Tabla) {
    return LeeTipGrup(*OpenTempTable(Base, Tabla));
}
std::vector<TFilaAlumno> TiposEscuela::Alumnos() { return LeeAlumnos(*OpenTempTable(Base, "alum")); }
int TiposEscuela::Cuenta(const char* Tabla) { return CuentaFilas(*OpenTempTable(Base, Tabla)); }

void TiposEscuela::Anade(const char* Tabla, const std::vector<std::map<std::string, AnsiString>>& Filas) {
    auto t = OpenTempTable(Base, Tabla);
    for (const auto& f : Filas) {
        t->Append();
        for (const auto& [campo, valor] : f) t->FieldByName(campo)->SetAsString(valor);
        t->Post();
    }
}

void TiposEscuela::AnadeAlumnos(std::vector<TFilaAlumno> Filas) {
    Sincroniza(*OpenTempTable(Base, "alum"), {}, Filas);
}
void TiposEscuela::AnadeSubtipos(const char* Tabla, std::vector<TFilaSubtipo> Filas) {
    Sincroniza(*OpenTempTable(Base, Tabla), {}, Filas);
}
void TiposEscuela::AnadeTiposEnGrupo(const char* Tabla, std::vector<TFilaEnGrupo> Filas) {
    Sincroniza(*OpenTempTable(Base, Tabla), {}, Filas);
}

int TiposEscuela::AlumnosEnTrabajo() {
    int n = 0;
    for (const auto& s : Subtipos("tipos2")) n += s.NALUM;
    for (const auto& f : TiposEnGrupo("tipgrup2")) n += f.NALUM;
    return n;
}

TFilaSubtipo SinNumero(TFilaSubtipo F) {
    TFilaSubtipo r;
    r.NALUM = F.NALUM;
    r.TNC = F.TNC;
    r.OPCION = F.OPCION;
    r.REPITE = F.REPITE;
    r.ASIG = F.ASIG;
    return r;
}

TFilaEnGrupo SinNumero(TFilaEnGrupo F) {
    F.Marca.clear();
    F.N = 0;
    for (auto& m : F.ASIGSDCM) m.clear();
    return F;
}

namespace {
template <class Fila>
std::vector<Fila> DeOtrosCursos(const std::vector<Fila>& Filas, const char* Curso) {
    std::vector<Fila> r;
    for (const auto& f : Filas)
        if (f.TNC != Curso) r.push_back(SinNumero(f));
    return r;
}
template <class Fila>
void SinRepetir(const std::vector<Fila>& Filas, const char* Tabla) {
    std::set<int> vistos;
    for (const auto& f : Filas) {
        EXPECT_TRUE(vistos.insert(f.N).second) << Tabla << ": N " << f.N << " twice";
    }
}
}  // namespace

void TiposEscuela::FijaReferencia() {
    FOtrosTipos = DeOtrosCursos(Subtipos("tipos"), Curso);
    FOtrosTipGrup = DeOtrosCursos(TiposEnGrupo("tipgrup"), Curso);
}

void TiposEscuela::CompruebaInvariantes(int AlumnosEsperados) {
    SinRepetir(Subtipos("tipos"), "tipos");
    SinRepetir(Subtipos("tipos2"), "tipos2");
    SinRepetir(TiposEnGrupo("tipgrup"), "tipgrup");
    SinRepetir(TiposEnGrupo("tipgrup2"), "tipgrup2");
    EXPECT_EQ(DeOtrosCursos(Subtipos("tipos"), Curso), FOtrosTipos);
    EXPECT_EQ(DeOtrosCursos(TiposEnGrupo("tipgrup"), Curso), FOtrosTipGrup);
    if (AlumnosEsperados >= 0) {
        EXPECT_EQ(AlumnosEnTrabajo(), AlumnosEsperados);
    }
}
