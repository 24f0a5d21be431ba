// The organizer on the tables of a data folder, and the whole road on the
// sample school: types computed and classified, "&Todos" run and written
// back, the types screen refilled, and every student placed in its group and
// divisions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "organizer/TablasTipos.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/OutsideTools.h"
#include "tests/support/TempMachine.h"

namespace {

const std::filesystem::path Muestras = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
constexpr const char* Carpeta = "C:\\ESCUELA";

// --- the tables read back as plain rows, with no code of the organizer ---

AnsiString Campo(TDataSet& T, const AnsiString& Nombre) { return T.FieldByName(Nombre)->AsString(); }
int Entero(TDataSet& T, const AnsiString& Nombre) { return T.FieldByName(Nombre)->AsInteger(); }

struct TCelda {
    AnsiString Asig, Div, Con;
    auto operator<=>(const TCelda&) const = default;
};
void PrintTo(const TCelda& C, std::ostream* Os) { *Os << C.Asig << "." << C.Div << ":" << C.Con; }

// A row of tipos or tipgrup as the school reads it: how many students, in
// which group, with which option letter and which classes.
struct TFila {
    int N = 0;
    int NALUM = 0;
    AnsiString GRUPO, TNCG, OPCION;
    bool REPITE = false;
    std::vector<TCelda> Celdas;  // its non-empty slots, in slot order
    auto operator<=>(const TFila&) const = default;
};
void PrintTo(const TFila& F, std::ostream* Os) {
    *Os << "\n  N" << F.N << " x" << F.NALUM << " " << F.GRUPO << " op" << F.OPCION << (F.REPITE ? " R" : "")
        << " ";
    for (const auto& c : F.Celdas) PrintTo(c, Os), *Os << " ";
}

std::vector<TFila> Filas(const AnsiString& Tabla, const AnsiString& TNC) {
    std::vector<TFila> r;
    TTempTable t = OpenTempTable(Carpeta, Tabla);
    FilterEqual(*t, "TNC", TNC);
    const bool enGrupo = t->FindField("GRUPO") != nullptr;
    for (t->First(); !t->Eof(); t->Next()) {
        TFila f;
        f.N = Entero(*t, "N");
        f.NALUM = Entero(*t, "NALUM");
        f.OPCION = Campo(*t, "OPCION");
        f.REPITE = t->FieldByName("REPITE")->AsBoolean();
        if (enGrupo) {
            f.GRUPO = Campo(*t, "GRUPO");
            f.TNCG = Campo(*t, "TNCG");
        }
        for (int k = 1; k <= 20; ++k) {
            const AnsiString n = IntToStr(k);
            if (Campo(*t, "ASIG" + n).empty()) continue;
            f.Celdas.push_back({Campo(*t, "ASIG" + n), enGrupo ? Campo(*t, "DIV" + n) : AnsiString(),
                                enGrupo ? Campo(*t, "CON" + n) : AnsiString()});
        }
        r.push_back(f);
    }
    return r;
}

// The rows without their numbers, in a fixed order: what a write-back means.
std::vector<TFila> Contenido(std::vector<TFila> F) {
    for (auto& f : F) f.N = 0;
    std::sort(F.begin(), F.end());
    return F;
}

struct TAlumno {
    AnsiString EXPED, GRUPO;
    std::vector<TCelda> Asigs;  // subject and division
};

std::vector<TAlumno> Alumnos(const AnsiString& TNC) {
    std::vector<TAlumno> r;
    TTempTable t = OpenTempTable(Carpeta, "alum");
    FilterEqual(*t, "TNC", TNC);
    for (t->First(); !t->Eof(); t->Next()) {
        TAlumno a{Campo(*t, "EXPED"), Campo(*t, "GRUPO"), {}};
        for (int k = 1; k <= 20; ++k)
            if (!Campo(*t, "ASIG" + IntToStr(k)).empty())
                a.Asigs.push_back({Campo(*t, "ASIG" + IntToStr(k)), Campo(*t, "DIV" + IntToStr(k)), {}});
        r.push_back(a);
    }
    return r;
}

std::vector<AnsiString> Cursos() {
    std::vector<AnsiString> r;
    TTempTable t = OpenTempTable(Carpeta, "cursos");
    for (t->First(); !t->Eof(); t->Next()) r.push_back(Campo(*t, "TNC"));
    return r;
}

// Group and divisions of every student as another dBase reader sees them
// (python3-dbfread), one line per row in record order.
std::string LeidoPorDbfread(const std::string& Python, const std::filesystem::path& Dbf) {
    const std::string orden = Python +
                              " -c 'import sys, dbfread\n"
                              "for r in dbfread.DBF(sys.argv[1], encoding=\"cp1252\"):\n"
                              "    print(\"\\t\".join([r[\"EXPED\"] or \"\", r[\"GRUPO\"] or \"\"] + "
                              "[r[\"DIV%d\" % k] or \"\" for k in range(1, 21)]))' '" +
                              Dbf.string() + "'";
    std::string salida;
    EXPECT_EQ(RunCommand(orden, salida), 0);
    return salida;
}

std::string LeidoPorNosotros() {
    std::string salida;
    TTempTable t = OpenTempTable(Carpeta, "alum");
    for (t->First(); !t->Eof(); t->Next()) {
        salida += ToUtf8(Campo(*t, "EXPED")) + "\t" + ToUtf8(Campo(*t, "GRUPO"));
        for (int k = 1; k <= 20; ++k) salida += "\t" + ToUtf8(Campo(*t, "DIV" + IntToStr(k)));
        salida += "\n";
    }
    return salida;
}

// A student's kind as the organizer must keep it: option letter and the set
// of its subjects.
using TClase = std::pair<AnsiString, std::vector<AnsiString>>;
TClase ClaseDe(const AnsiString& Opcion, const std::vector<TCelda>& Celdas) {
    std::vector<AnsiString> v;
    for (const auto& c : Celdas) v.push_back(AnsiUpperCase(c.Asig));
    std::sort(v.begin(), v.end());
    return {Opcion, v};
}

// --- the school's rules, checked on the written rows ---

struct TLimites {
    int NGrup = 0, MaxAlum = 0;
    std::array<int, 30> NMaxAl{};
    struct TAsig {
        int NDiv = 0, MaxAlum = 0, NProf = 0;
        std::array<int, 30> NMaxAl{};
    };
    std::map<AnsiString, TAsig> Asigs;  // upper-cased code
};

TLimites Limites(const AnsiString& TNC) {
    TLimites l;
    TTempTable c = OpenTempTable(Carpeta, "cursos");
    FilterEqual(*c, "TNC", TNC);
    c->First();
    l.NGrup = Entero(*c, "NGRUP");
    l.MaxAlum = Entero(*c, "MAXALUM");
    for (int g = 0; g < 30; ++g) l.NMaxAl[g] = Entero(*c, "NMAXAL" + IntToStr(g + 1));
    TTempTable a = OpenTempTable(Carpeta, "asigcur");
    FilterEqual(*a, "TNC", TNC);
    for (a->First(); !a->Eof(); a->Next()) {
        TLimites::TAsig s{Entero(*a, "NDIV"), Entero(*a, "MAXALUM"), Entero(*a, "NPROF"), {}};
        for (int g = 0; g < 30; ++g) s.NMaxAl[g] = Entero(*a, "NMAXAL" + IntToStr(g + 1));
        l.Asigs[AnsiUpperCase(Campo(*a, "ASIG"))] = s;
    }
    return l;
}

const AnsiString LetrasGrupo = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";
const AnsiString LetrasDivision = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";

bool EnLista(const std::vector<AnsiString>& Lista, const AnsiString& Codigo) {
    return std::any_of(Lista.begin(), Lista.end(),
                       [&](const AnsiString& x) { return AnsiSameText(x, Codigo); });
}

// Organized: the subjects of the course's counted optional list; each is
// taught in classes (a division letter, shared by the groups it gathers, or
// no letter: the whole group), and the classes of one connection meet at
// once, each with its own teacher. A subject every student takes has the
// course's groups and teachers and room for all when its figures are empty.
std::vector<std::string> Incumplidas(const TLimites& L, const std::vector<TFila>& TipGrup,
                                     const std::vector<AnsiString>& Organizadas,
                                     const std::vector<AnsiString>& Optativas) {
    std::vector<std::string> faltas;
    int total = 0;
    std::map<int, int> porGrupo;
    for (const auto& f : TipGrup) {
        total += f.NALUM;
        const auto g = LetrasGrupo.find(f.GRUPO);
        if (f.GRUPO.size() != 1 || g == AnsiString::npos || static_cast<int>(g) >= L.NGrup)
            faltas.push_back("group label " + f.GRUPO);
        else porGrupo[static_cast<int>(g)] += f.NALUM;
    }
    const int media = (total + L.NGrup - 1) / L.NGrup;
    for (const auto& [g, n] : porGrupo) {
        int limite = std::max(L.MaxAlum, media);
        if (L.NMaxAl[g] > 0) limite = std::min(limite, L.NMaxAl[g]);
        if (n > limite) faltas.push_back("group " + std::to_string(g) + " holds " + std::to_string(n));
    }
    for (const auto& codigo : Organizadas) {
        TLimites::TAsig s = L.Asigs.at(AnsiUpperCase(codigo));
        if (!EnLista(Optativas, codigo)) {
            if (s.NDiv < 1) s.NDiv = L.NGrup;
            if (s.MaxAlum < 1) s.MaxAlum = 1000;
            if (s.NProf < 1) s.NProf = L.NGrup;
        }
        // class: division letter, or the group for a class without one
        std::map<AnsiString, int> alumnos;
        std::map<AnsiString, std::set<int>> grupos;
        std::map<AnsiString, std::set<AnsiString>> porConexion;
        int toman = 0;
        for (const auto& f : TipGrup)
            for (const auto& c : f.Celdas) {
                if (!AnsiSameText(c.Asig, codigo)) continue;
                toman += f.NALUM;
                if (!c.Div.empty() && static_cast<int>(LetrasDivision.find(c.Div)) >= s.NDiv)
                    faltas.push_back(codigo + ": division " + c.Div + " beyond its divisions");
                const AnsiString clase = c.Div.empty() ? "grupo " + f.GRUPO : c.Div;
                alumnos[clase] += f.NALUM;
                grupos[clase].insert(static_cast<int>(LetrasGrupo.find(f.GRUPO)));
                if (!c.Con.empty()) porConexion[c.Con].insert(clase);
            }
        const int maximo = std::max(s.MaxAlum, (toman + s.NDiv - 1) / std::max(1, s.NDiv));
        // A group joins a class only within its own maximum for the subject:
        // the class ends within the largest of its groups' figures.
        for (const auto& [clase, n] : alumnos) {
            int limite = 0;
            for (int g : grupos[clase]) {
                int propio = maximo;
                if (g >= 0 && g < 30 && s.NMaxAl[g] > 0) propio = std::min(propio, s.NMaxAl[g]);
                limite = std::max(limite, propio);
            }
            if (n > limite) faltas.push_back(codigo + " class " + clase + " holds " + std::to_string(n));
        }
        for (const auto& [con, clases] : porConexion)
            if (static_cast<int>(clases.size()) > s.NProf)
                faltas.push_back(codigo + ": connection " + con + " needs " + std::to_string(clases.size()) +
                                 " teachers");
    }
    return faltas;
}

// Rows appended to a stored table: N, NALUM, TNC, and for tipgrup the group.
void AnadeGuardadas(const AnsiString& Tabla,
                    const std::vector<std::tuple<int, int, AnsiString, AnsiString>>& Filas) {
    TTempTable t = OpenTempTable(Carpeta, Tabla);
    for (const auto& [n, nalum, tnc, grupo] : Filas) {
        t->Append();
        t->FieldByName("N")->SetAsInteger(n);
        t->FieldByName("NALUM")->SetAsInteger(nalum);
        t->FieldByName("TNC")->SetAsString(tnc);
        t->FieldByName("ASIG1")->SetAsString("MAT");
        if (!grupo.empty()) {
            t->FieldByName("GRUPO")->SetAsString(grupo);
            t->FieldByName("TNCG")->SetAsString(tnc + grupo);
        }
        t->Post();
    }
}

std::vector<int> Numeros(const AnsiString& Tabla) {
    std::vector<int> r;
    TTempTable t = OpenTempTable(Carpeta, Tabla);
    for (t->First(); !t->Eof(); t->Next()) r.push_back(Entero(*t, "N"));
    return r;
}

// Option letter and organized subjects: what makes two students one type.
TClase TipoDe(const TFila& F, const std::vector<AnsiString>& Organizadas) {
    std::vector<TCelda> c;
    for (const auto& x : F.Celdas)
        if (EnLista(Organizadas, x.Asig)) c.push_back(x);
    return ClaseDe(F.OPCION, c);
}

class OrgTablas : public ::testing::Test {
protected:
    std::filesystem::path Root;
    TScriptedDialogs Dialogos;

    void SetUp() override {
        FMaquina.emplace("orgtablas");
        Root = FMaquina->Root();
        std::filesystem::copy(Muestras, Root / "c" / "ESCUELA", std::filesystem::copy_options::recursive);
    }
    void TearDown() override { FMaquina.reset(); }

    // What the staff types on the course's subjects screen before the
    // organizer accepts the course: an optional subject outside every block
    // gets a block of its own, of which each student takes one.
    // Sets a subject's block and subjects per student; gives back the old pair.
    static std::pair<int, int> PonBloque(const AnsiString& TNC, const AnsiString& Asig,
                                         std::pair<int, int> Bloque) {
        TTempTable t = OpenTempTable(Carpeta, "asigcur");
        FilterEqual(*t, "TNC", TNC);
        std::pair<int, int> antes{-1, -1};
        for (t->First(); !t->Eof(); t->Next()) {
            if (t->FieldByName("ASIG")->AsString() != Asig) continue;
            antes = {Entero(*t, "BLOPT"), Entero(*t, "NASALUM")};
            t->Edit();
            t->FieldByName("BLOPT")->SetAsInteger(Bloque.first);
            t->FieldByName("NASALUM")->SetAsInteger(Bloque.second);
            t->Post();
        }
        return antes;
    }

    // The dialog of a fresh program: a run of the mode Tag, then "&Salir".
    static TDialogoOrganizar Dialogo(int Tag, bool* Mostrado = nullptr, bool* TodosOfrecido = nullptr) {
        return [=](ISesionOrganizar& S) {
            if (Mostrado) *Mostrado = true;
            if (TodosOfrecido) *TodosOfrecido = S.TodosOfrecido();
            S.Organiza(static_cast<TModoOrganizar>(Tag), {});
            return TOpcionesOrganizar{};
        };
    }

private:
    std::optional<TTempMachine> FMaquina;
};

}  // namespace

TEST_F(OrgTablas, EverySampleCourseIsOrganizedWrittenBackAndPlaced) {
    const auto cursos = Cursos();
    ASSERT_EQ(cursos.size(), 3u);
    std::map<AnsiString, std::vector<TFila>> guardados;  // every course's rows once it is done
    for (const auto& tnc : cursos) {
        SCOPED_TRACE(tnc);
        TMotorTipos motor(Carpeta, tnc);
        motor.Abre();
        motor.RecuentaTipos(PreguntaBorrarTipos);
        const auto subtipos = Contenido(Filas("tipos2", tnc));
        const std::vector<AnsiString> organizadas = motor.Listas().AsigCuentaOptativas.Codigos();
        const std::vector<AnsiString> optativas = motor.Listas().AsigOptativas.Codigos();
        ASSERT_FALSE(organizadas.empty());

        // An optional subject without its block: the organizer refuses the
        // course and writes nothing.
        const auto bloque = PonBloque(tnc, optativas.front(), {0, 0});
        ASSERT_GT(bloque.first, 0) << "the sample gives every optional subject its block";
        bool mostrado = false;
        const size_t antes = Dialogos.Asked().size();
        EXPECT_FALSE(EjecutaOrganizar(motor, {}, {}, Dialogo(1, &mostrado)).Escrito);
        EXPECT_FALSE(mostrado);
        ASSERT_EQ(Dialogos.Asked().size(), antes + 1);
        const TDialogRequest& caja = Dialogos.Asked().back();
        EXPECT_EQ(caja.Text,
                  "Para utilizar el organizador autom\xE1tico, deben rellenarse todas las columnas de "
                  "las asignaturas optativas en ASIGNATURAS POR CURSO.");
        EXPECT_EQ(caja.Caption, "Atenci\xF3n");
        EXPECT_EQ(caja.Flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_TRUE(Filas("tipos", tnc).empty());
        EXPECT_TRUE(Filas("tipgrup", tnc).empty());
        EXPECT_EQ(Contenido(Filas("tipos2", tnc)), subtipos);

        PonBloque(tnc, optativas.front(), bloque);
        bool todos = false;
        ASSERT_TRUE(EjecutaOrganizar(motor, {}, {}, Dialogo(1, &mostrado, &todos)).Escrito);
        EXPECT_TRUE(todos);

        // Every student placed; the course's rows are the result: no
        // subtype left with students, each student once in tipgrup, with
        // its option letter and subjects, and the school's limits kept.
        std::map<TClase, int> esperado, escrito;
        for (const auto& s : subtipos) esperado[ClaseDe(s.OPCION, s.Celdas)] += s.NALUM;
        const auto tipos = Filas("tipos", tnc);
        const auto tipgrup = Filas("tipgrup", tnc);
        for (const auto& t : tipos) EXPECT_EQ(t.NALUM, 0);
        for (const auto& f : tipgrup) {
            escrito[ClaseDe(f.OPCION, f.Celdas)] += f.NALUM;
            EXPECT_EQ(f.TNCG, tnc + f.GRUPO);
            EXPECT_FALSE(f.REPITE);
        }
        EXPECT_EQ(escrito, esperado);
        EXPECT_EQ(tipos.size(), tipgrup.size());
        const auto faltas = Incumplidas(Limites(tnc), tipgrup, organizadas, optativas);
        EXPECT_TRUE(faltas.empty()) << ::testing::PrintToString(faltas);

        // The types screen holds the result now, and a run over the students
        // not placed (none) writes the same rows again.
        EXPECT_EQ(Contenido(Filas("tipgrup2", tnc)), Contenido(tipgrup));
        EXPECT_EQ(Contenido(Filas("tipos2", tnc)), Contenido(tipos));
        ASSERT_TRUE(EjecutaOrganizar(motor, {}, {}, Dialogo(2, nullptr, &todos)).Escrito);
        EXPECT_FALSE(todos);
        EXPECT_EQ(Contenido(Filas("tipgrup", tnc)), Contenido(tipgrup));
        EXPECT_EQ(Contenido(Filas("tipos", tnc)), Contenido(tipos));

        // Leaving the screen, then "&Colocar": every student in its group and
        // divisions, as the written rows distribute them.
        motor.MezclaTrabajo();
        PreparaColocar(Carpeta, tnc);
        const auto colocar = ColocaAlumnosDelCurso(Carpeta, tnc);
        EXPECT_TRUE(colocar.NoColocados.empty());
        // A student takes a row whose subjects include its own, with the
        // row's group and divisions; the groups fill up as the rows say.
        std::map<AnsiString, int> grupoFilas, grupoAlumnos;
        for (const auto& f : tipgrup) grupoFilas[f.GRUPO] += f.NALUM;
        for (const auto& a : Alumnos(tnc)) {
            ++grupoAlumnos[a.GRUPO];
            const bool deUnaFila = std::any_of(tipgrup.begin(), tipgrup.end(), [&](const TFila& f) {
                return f.GRUPO == a.GRUPO &&
                       std::all_of(a.Asigs.begin(), a.Asigs.end(), [&](const TCelda& c) {
                           return std::any_of(f.Celdas.begin(), f.Celdas.end(), [&](const TCelda& x) {
                               return x.Asig == c.Asig && x.Div == c.Div;
                           });
                       });
            });
            EXPECT_TRUE(deUnaFila) << a.EXPED << " in group '" << a.GRUPO << "'";
        }
        EXPECT_EQ(grupoAlumnos, grupoFilas);

        for (const auto& [otro, filas] : guardados)
            EXPECT_EQ(Contenido(Filas("tipgrup", otro)), filas) << otro;
        guardados[tnc] = Contenido(Filas("tipgrup", tnc));
    }

    // Another reader finds the same groups and divisions in alum.
    const std::string python = PythonWith("dbfread");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbfread");
    EXPECT_EQ(LeidoPorDbfread(python, Root / "c" / "ESCUELA" / "alum.dbf"), LeidoPorNosotros());
}

TEST_F(OrgTablas, LoadingReadsTheCourseItsSubjectsAndTheMarkedSubtypes) {
    TMotorTipos motor(Carpeta, "DESO4");
    motor.Abre();
    motor.RecuentaTipos(PreguntaBorrarTipos);
    const auto subtipos = Filas("tipos2", "DESO4");
    ASSERT_GE(subtipos.size(), 2u);
    motor.MarcaSeleccion({subtipos[1].N});

    const TDatosOrganizar d = LeeDatosOrganizar(motor);
    EXPECT_EQ(d.TNCSeleccionado, "DESO4");
    ASSERT_EQ(d.Cursos.size(), 1u);
    EXPECT_EQ(d.Cursos[0].ABREV, "4ES");
    EXPECT_EQ(d.Cursos[0].NGRUP, 3);
    EXPECT_EQ(d.Cursos[0].MAXALUM, 30);
    EXPECT_EQ(d.Cursos[0].NMAXAL[2], 30);
    EXPECT_EQ(d.Cursos[0].NMAXAL[3], 0);

    EXPECT_EQ(d.AsigCur.size(), 18u);
    const auto fq = std::find_if(d.AsigCur.begin(), d.AsigCur.end(),
                                 [](const TFilaAsigCur& a) { return a.ASIG == "FQ"; });
    ASSERT_NE(fq, d.AsigCur.end());
    EXPECT_EQ(fq->TNC, "DESO4");
    EXPECT_TRUE(fq->CUENTA);
    EXPECT_EQ(std::vector<double>(
                  {fq->NDIV, fq->MAXALUM, fq->NPROF, fq->BLOPT, fq->NASALUM, fq->TIPO, fq->NMAXAL[0]}),
              std::vector<double>({2, 30, 2, 2, 2, 1, 30}));

    std::vector<AnsiString> nombres;
    for (const auto& n : d.NomAsg) nombres.push_back(n.ABREV);
    EXPECT_TRUE(std::is_sorted(nombres.begin(), nombres.end()));
    EXPECT_EQ(static_cast<int>(nombres.size()), OpenTempTable(Carpeta, "nomasg")->RecordCount());

    ASSERT_EQ(d.Tipos2.size(), subtipos.size());
    int alumnos = 0, marcados = 0;
    for (const auto& t : d.Tipos2) {
        alumnos += static_cast<int>(t.NALUM);
        marcados += t.SELEC;
        EXPECT_EQ(t.SELEC, t.N == subtipos[1].N) << t.N;
    }
    EXPECT_EQ(alumnos, 84);
    EXPECT_EQ(marcados, 1);
    EXPECT_TRUE(d.TipGrup2.empty());
    EXPECT_EQ(d.AsigCuentaOptativas, motor.Listas().AsigCuentaOptativas.Codigos());
    EXPECT_EQ(d.AsigOptativas, motor.Listas().AsigOptativas.Codigos());
}

// Counting the rows left, as the old write-back did, would number the new
// rows 2 and 3 here: 2 is another course's row.
TEST_F(OrgTablas, TheWriteBackReplacesOnlyTheCoursesRowsWithNumbersUsedNowhere) {
    AnadeGuardadas("tipos",
                   {{1, 3, "NBACH1", ""}, {2, 0, "NBACH1", ""}, {3, 4, "DESO4", ""}, {4, 0, "DESO4", ""}});
    AnadeGuardadas("tipgrup", {{5, 2, "NBACH1", "A"}, {6, 1, "DESO4", "B"}});
    const auto otrosTipos = Filas("tipos", "NBACH1");
    const auto otrosTipGrup = Filas("tipgrup", "NBACH1");

    TResultadoOrganizar r;
    TFilaTipos libre;
    libre.NALUM = 5;
    libre.TNC = "DESO4";
    libre.OPCION = "A";
    libre.ASIG[0] = "FQ";
    TFilaTipos colocado = libre;
    colocado.NALUM = 0;
    colocado.ASIG[1] = "BIO";
    r.Tipos = {libre, colocado};
    TFilaTipGrup g;
    g.NALUM = 7;
    g.TNC = "DESO4";
    g.GRUPO = "C";
    g.TNCG = "DESO4C";
    g.OPCION = "A";
    g.ASIG[0] = "FQ";
    g.DIV[0] = "b";
    g.CON[0] = "a";
    g.ASIG[1] = "BIO";
    r.TipGrup = {g};

    TMotorTipos motor(Carpeta, "DESO4");
    GrabaEnTablas(motor, r);

    EXPECT_EQ(Filas("tipos", "NBACH1"), otrosTipos);
    EXPECT_EQ(Filas("tipgrup", "NBACH1"), otrosTipGrup);
    const auto tipos = Filas("tipos", "DESO4");
    ASSERT_EQ(tipos.size(), 2u);
    EXPECT_EQ(tipos[0].NALUM, 5);
    EXPECT_EQ(tipos[0].Celdas, std::vector<TCelda>({{"FQ", "", ""}}));
    EXPECT_EQ(tipos[1].NALUM, 0);
    const auto tipgrup = Filas("tipgrup", "DESO4");
    ASSERT_EQ(tipgrup.size(), 1u);
    EXPECT_EQ(tipgrup[0].NALUM, 7);
    EXPECT_EQ(tipgrup[0].TNCG, "DESO4C");
    EXPECT_EQ(tipgrup[0].Celdas, std::vector<TCelda>({{"FQ", "b", "a"}, {"BIO", "", ""}}));

    std::vector<int> numeros = Numeros("tipos");
    for (int n : Numeros("tipgrup")) numeros.push_back(n);
    std::sort(numeros.begin(), numeros.end());
    EXPECT_EQ(std::adjacent_find(numeros.begin(), numeros.end()), numeros.end());
    for (const auto& f : tipos) EXPECT_GT(f.N, 6);
    EXPECT_GT(tipgrup[0].N, 6);
    // The new rows took the records of the course's old ones: no record was added.
    for (const auto& [tabla, registros] : {std::pair{"tipos", 4u}, std::pair{"tipgrup", 2u}})
        EXPECT_EQ(TDbfTable::Open(NewTempTable(Carpeta, tabla)->TablePath())->PhysicalCount(), registros)
            << tabla;
}

TEST_F(OrgTablas, ASelectionRunPlacesTheTypeOfTheMarkedSubtypeOnly) {
    TMotorTipos motor(Carpeta, "DESO4");
    motor.Abre();
    motor.RecuentaTipos(PreguntaBorrarTipos);
    const std::vector<AnsiString> organizadas = motor.Listas().AsigCuentaOptativas.Codigos();
    const auto subtipos = Filas("tipos2", "DESO4");
    const TFila elegido = *std::max_element(subtipos.begin(), subtipos.end(),
                                            [](const TFila& a, const TFila& b) { return a.NALUM < b.NALUM; });

    ASSERT_TRUE(EjecutaOrganizar(motor, {elegido.N}, {}, Dialogo(3)).Escrito);
    int colocados = 0, libres = 0;
    for (const auto& f : Filas("tipgrup", "DESO4")) {
        colocados += f.NALUM;
        EXPECT_EQ(TipoDe(f, organizadas), TipoDe(elegido, organizadas));
    }
    for (const auto& f : Filas("tipos", "DESO4")) libres += f.NALUM;
    EXPECT_GE(colocados, elegido.NALUM);
    EXPECT_EQ(colocados + libres, 84);
    // The working copies came back from the stored tables: no mark is left.
    TTempTable t = OpenTempTable(Carpeta, "tipos2");
    for (t->First(); !t->Eof(); t->Next()) EXPECT_FALSE(t->FieldByName("SELEC")->AsBoolean());
}

TEST_F(OrgTablas, AWriteBackThatCannotOpenItsTablesChangesNothing) {
    TMotorTipos motor(Carpeta, "DESO4");
    motor.Abre();
    motor.RecuentaTipos(PreguntaBorrarTipos);
    const auto subtipos = Contenido(Filas("tipos2", "DESO4"));
    std::filesystem::remove(Root / "c" / "ESCUELA" / "tipgrup.dbf");

    bool mostrado = false;
    EXPECT_THROW(EjecutaOrganizar(motor, {}, {}, Dialogo(1, &mostrado)), EDatabaseError);
    EXPECT_TRUE(mostrado);
    EXPECT_TRUE(Filas("tipos", "DESO4").empty());
    EXPECT_EQ(Contenido(Filas("tipos2", "DESO4")), subtipos);
    EXPECT_TRUE(Filas("tipgrup2", "DESO4").empty());
}
