// The record screens on the off-screen display, made by the step machine of
// the main window as the program makes them: their place, their numbering,
// their grid menu and line clipboard, the course they select, the students'
// bulk commands, and a school of thousands of students.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ScreensFixture.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Table.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/Display.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcSplit.h"
#include "shell/AppState.h"
#include "shell/DataFolders.h"
#include "shell/RecordRules.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Alum.h"
#include "shell/forms/AsigCur.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Cursos.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/ui/KeyScript.h"
#include "tests/support/ui/X11Support.h"
#include "tools/SampleSchool.h"

namespace {

// A table's column, read in the order of one of its tags (none: file order).
std::vector<std::string> Columna(const AnsiString& Carpeta, const AnsiString& Tabla, const AnsiString& Campo,
                                 const AnsiString& Etiqueta = {}, const AnsiString& TNC = {}) {
    TTempTable t = NewTempTable(Carpeta, Tabla);
    if (!Etiqueta.empty()) t->SetIndexName(Etiqueta);
    if (!TNC.empty()) FiltraPorCurso(*t, TNC);
    t->Open();
    std::vector<std::string> v;
    for (t->First(); !t->Eof(); t->Next()) v.push_back(t->FieldByName(Campo)->AsString());
    return v;
}

std::vector<std::string> UnoAEne(size_t N) {
    std::vector<std::string> v;
    for (size_t i = 1; i <= N; ++i) v.push_back(std::to_string(i));
    return v;
}

}  // namespace

class RecordScreens : public ScreensFixture {
protected:
    TControlaForm* F = nullptr;
    const AnsiString Ejemplo = "C:\\ZELMOR\\ejemplo";

    // The main window on the sample school, the given course selected.
    void Abre(const AnsiString& TNC = {}, const std::string& Carpeta = "ejemplo") {
        if (Carpeta == "ejemplo") PonEjemplo();
        F = AbrePrincipal();
        ASSERT_EQ(SeleccionaCarpeta(F->Estado(), Carpeta, [] { return false; }), TApertura::Actual);
        F->Estado().TNCSeleccionado = TNC;
    }
    // A step through its item of the step menu.
    TCustomForm* Paso(TMenuItem* Item) {
        Clock.Advance(1000);
        Item->Click();
        Ui.RunUntilIdle();
        return F->PantallaDelPaso();
    }
    // The grid menu's short cut, typed into the focused grid.
    void Teclas(const char* Keys) {
        PlayKeys(Ui, Keys);
        Ui.RunUntilIdle();
    }
};

// Each screen of a table step: made and shown by the step machine, placed
// under the strip, its rows numbered 1..n in code (or name) order, its grid
// given the focus so that the grid menu works on its table; once the
// machine moves on, the menu finds no table and does nothing.
TEST_F(RecordScreens, EachOpensInItsPlaceNumberedAndWiredToTheGridMenu) {
    Abre("DESO4");
    const int alto = Screen->Height() - 85;
    struct {
        TMenuItem* TControlaForm::*Item;
        const char* Clase;
        std::string Titulo;
        const char* Tabla;
        const char* Orden;  // the tag of the numbering order
        TRect Sitio;        // left, top, width, height
        int Ayuda;
    } casos[] = {
        {&TControlaForm::MISelecCurso, "TCursosForm", "Cursos [C:\\ZELMOR\\ejemplo\\] DESO4", "cursos",
         "ABREV", TRect(0, 60, 587, 429), 2003},
        // Leaving the courses selected the row under the cursor: the first.
        {&TControlaForm::MIAlumnos, "TAlumForm", "Alumnos de [C:\\ZELMOR\\ejemplo\\] DBACH1", "alum",
         "NOMBRE", TRect(0, 60, Screen->Width(), alto), 2004},
        {&TControlaForm::Nombresdelasasignaturas1, "TNomAsgForm", "Nombres de asignaturas", "nomasg", "ABREV",
         TRect(0, 60, 500, alto), 2000},
        {&TControlaForm::Profesores1, "TProfesForm", "Profesores", "prof", "ABREV", TRect(0, 60, 617, alto),
         2000},
        {&TControlaForm::Aulas1, "TAulasForm", "Aulas", "aulas", "ABREV", TRect(0, 60, 400, alto), 2000},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Clase);
        TCustomForm* P = Paso(F->*c.Item);
        ASSERT_NE(P, nullptr);
        EXPECT_EQ(P->ClassName(), c.Clase);
        EXPECT_EQ(P->Caption(), c.Titulo);
        EXPECT_EQ(TRect(P->Left(), P->Top(), P->Width(), P->Height()), c.Sitio);
        EXPECT_EQ(P->HelpContext(), c.Ayuda);
        TTable* tabla = F->Estado().TablaActual();
        ASSERT_NE(tabla, nullptr) << "the grid took the focus when the screen showed";
        EXPECT_EQ(tabla->Owner(), P);
        // Numbered 1..n in code order, shown in that numbering.
        const AnsiString tnc = std::string(c.Tabla) == "alum" ? "DBACH1" : "";
        std::vector<std::string> porN;
        for (tabla->First(); !tabla->Eof(); tabla->Next())
            porN.push_back(tabla->FieldByName("N")->AsString());
        tabla->First();
        ASSERT_FALSE(porN.empty());
        EXPECT_EQ(porN, UnoAEne(porN.size()));
        EXPECT_EQ(Columna(Ejemplo, c.Tabla, "N", c.Orden, tnc), UnoAEne(porN.size()));
    }
    // A step whose screen has no grid (the types): the last grid's table
    // went with its screen, and the grid menu reaches nothing.
    const size_t aulas = Columna(Ejemplo, "aulas", "N").size();
    Paso(F->MITipos);
    ASSERT_NE(F->PantallaDelPaso(), nullptr);
    EXPECT_EQ(F->PantallaDelPaso()->ClassName(), "TTiposForm");
    EXPECT_EQ(F->Estado().TablaActual(), nullptr);
    for (TMenuItem* item : {F->Inserta, F->Suprime, F->Recupera}) item->Click();
    EXPECT_EQ(Columna(Ejemplo, "aulas", "N").size(), aulas);
    EXPECT_TRUE(F->Recupera->Enabled());
}

// The groups are rebuilt from the stored types in group at each opening:
// the sample school has none stored, so the screen opens on an empty table
// and the rows on disk go too.
TEST_F(RecordScreens, TheGroupsScreenRebuildsItsTableFromTheTypesInGroup) {
    Abre();
    ASSERT_FALSE(Columna(Ejemplo, "grupos", "N").empty());
    TCustomForm* P = Paso(F->Grupos1);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->ClassName(), "TGrupForm");
    EXPECT_EQ(P->Caption(), "Grupos");
    EXPECT_EQ(F->Estado().TablaActual()->Owner(), P);
    EXPECT_TRUE(F->Estado().TablaActual()->IsEmpty());
    EXPECT_TRUE(Columna(Ejemplo, "grupos", "N").empty());
}

// The course is the row under the cursor when the screen closes; the
// caption follows the cursor at once. An edit typed into the grid and not
// posted is posted as the screen closes, and the key selected is the one
// that post gives the row.
TEST_F(RecordScreens, TheCourseSelectedIsTheRowUnderTheCursorWithItsEditPosted) {
    Abre();
    auto* P = dynamic_cast<TCursosForm*>(Paso(F->MISelecCurso));
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->Caption(), "Cursos [C:\\ZELMOR\\ejemplo\\] ");
    // In N order: 1BD (DBACH1), 1BN (NBACH1), 4ES (DESO4).
    Teclas("{Down}");
    EXPECT_EQ(P->Caption(), "Cursos [C:\\ZELMOR\\ejemplo\\] NBACH1");
    EXPECT_EQ(F->Estado().TNCSeleccionado, "") << "nothing is selected before the screen closes";
    // From ABREV (N is the fixed column) over to CURSO, and a new year typed in.
    Teclas("{Tab}{Tab}{Tab}2");
    Paso(F->Nombresdelasasignaturas1);
    EXPECT_EQ(F->Estado().TNCSeleccionado, "NBACH2");
    EXPECT_EQ(F->Estado().Turno, "N");
    EXPECT_EQ(F->Estado().Nivel, "BACH");
    EXPECT_EQ(F->Estado().Curso, "2");
    EXPECT_EQ(Columna(Ejemplo, "cursos", "TNC", "N"),
              (std::vector<std::string>{"DBACH1", "NBACH2", "DESO4"}));
}

// The clipboard copies a line by the position of the fields the screen
// declares (the students' ANULAR last, though the file holds it eighth), so
// a student comes back whole: into its own course, and into another
// course's view, where it keeps its own course key. A teacher's line does
// not fit the classrooms.
TEST_F(RecordScreens, TheLineClipboardCarriesAStudentWholeByTheDeclaredFields) {
    Abre("DESO4");
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    TwwTable* alum = P->TAlum;
    // The first student, annulled, with a group and a division.
    alum->First();
    const AnsiString exped = alum->FieldByName("EXPED")->AsString();
    const AnsiString nombre = alum->FieldByName("NOMBRE")->AsString();
    const AnsiString asig1 = alum->FieldByName("ASIG1")->AsString();
    alum->Edit();
    alum->FieldByName("ANULAR")->SetAsBoolean(true);
    alum->FieldByName("GRUPO")->SetAsString("B");
    alum->FieldByName("DIV2")->SetAsString("3");
    alum->Post();
    const int filas = alum->RecordCount();

    Teclas("{C+S}");
    EXPECT_EQ(alum->RecordCount(), filas - 1);
    const std::vector<std::string> campos = Columna("C:\\ZELMOR\\ejemplo", "Deposito", "EXPED");
    EXPECT_EQ(campos, std::vector<std::string>{exped});
    {
        TTempTable deposito = OpenTempTable("C:\\ZELMOR\\ejemplo", "Deposito");
        ASSERT_EQ(deposito->FieldCount(), 48);
        EXPECT_EQ(deposito->Fields()->Fields(47)->FieldName(), "ANULAR");
        EXPECT_TRUE(deposito->FieldByName("ANULAR")->AsBoolean());
    }
    // Back before the third row, twice: each time with that row's N.
    Teclas("{Down}{Down}");
    const int n = alum->FieldByName("N")->AsInteger();
    Teclas("{C+R}");
    Teclas("{C+R}");
    EXPECT_EQ(alum->RecordCount(), filas + 1);
    {
        TTempTable t = NewTempTable("C:\\ZELMOR\\ejemplo", "alum");
        FilterEqual(*t, "EXPED", exped);
        t->Open();
        ASSERT_EQ(t->RecordCount(), 2);
        for (t->First(); !t->Eof(); t->Next()) {
            EXPECT_EQ(t->FieldByName("N")->AsInteger(), n);
            EXPECT_EQ(t->FieldByName("NOMBRE")->AsString(), nombre);
            EXPECT_EQ(t->FieldByName("TNC")->AsString(), "DESO4");
            EXPECT_TRUE(t->FieldByName("ANULAR")->AsBoolean());
            EXPECT_EQ(t->FieldByName("GRUPO")->AsString(), "B");
            EXPECT_EQ(t->FieldByName("DIV2")->AsString(), "3");
            EXPECT_EQ(t->FieldByName("ASIG1")->AsString(), asig1);
        }
    }

    // Another course: the line comes back with its own key, out of that
    // course's view.
    F->Estado().TNCSeleccionado = "DBACH1";
    auto* P7 = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P7, nullptr);
    const int bach = P7->TAlum->RecordCount();
    Teclas("{C+R}");
    EXPECT_EQ(P7->TAlum->RecordCount(), bach);
    EXPECT_EQ(Columna("C:\\ZELMOR\\ejemplo", "alum", "TNC", {}, "DESO4").size(),
              static_cast<size_t>(filas + 2));

    // A teacher (DEPART 40 characters) does not come back as a classroom
    // (EDIFICIO 1): nothing happens, nothing is said.
    Paso(F->Profesores1);
    Teclas("{C+S}");
    const size_t aulas = Columna("C:\\ZELMOR\\ejemplo", "aulas", "N").size();
    Paso(F->Aulas1);
    Teclas("{C+R}");
    EXPECT_EQ(Columna("C:\\ZELMOR\\ejemplo", "aulas", "N").size(), aulas);
}

// The clipboard lives in the folder open when the line was moved: once
// another folder is opened, "&Recuperar línea" does nothing until a line is
// moved again there.
TEST_F(RecordScreens, AnotherDataFolderEmptiesTheLineClipboard) {
    PonEjemplo("otro");
    Abre("DESO4");
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    Teclas("{C+S}");
    Paso(F->Profesores1);
    ASSERT_EQ(SeleccionaCarpeta(F->Estado(), "otro", [] { return false; }), TApertura::Actual);
    P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    const int filas = P->TAlum->RecordCount();
    Teclas("{C+R}");
    EXPECT_EQ(P->TAlum->RecordCount(), filas);
    Teclas("{C+S}{C+R}");
    EXPECT_EQ(P->TAlum->RecordCount(), filas) << "a line moved in the new folder comes back";
    EXPECT_TRUE(std::filesystem::exists(Programa / "otro" / "Deposito.dbf") ||
                std::filesystem::exists(Programa / "otro" / "deposito.dbf"));
}

// "&Insertar línea" on the k-th row: a new row numbered k before it, with
// the course's key; left untouched, it goes when the cursor leaves it.
TEST_F(RecordScreens, AnInsertedLineTakesTheNumberOfTheRowItGoesBefore) {
    Abre("DESO4");
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    const int filas = P->TAlum->RecordCount();
    Teclas("{Down}{Down}{Down}{Down}{Ins}");
    EXPECT_EQ(P->TAlum->State(), dsInsert);
    EXPECT_EQ(P->TAlum->FieldByName("N")->AsInteger(), 5);
    EXPECT_EQ(P->TAlum->FieldByName("TNC")->AsString(), "DESO4");
    // From ANULAR (N is the fixed column) over to NOMBRE; going up posts it.
    Teclas("{Tab}{Tab}Nuevo{Up}");
    EXPECT_EQ(P->TAlum->State(), dsBrowse);
    EXPECT_EQ(P->TAlum->RecordCount(), filas + 1);
    const std::vector<std::string> enCurso = Columna(Ejemplo, "alum", "N", "N", "DESO4");
    EXPECT_EQ(std::count(enCurso.begin(), enCurso.end(), "5"), 2) << "the old fifth row keeps its 5";
}

// The bulk commands from their buttons, on the course's students only; the
// code typed is matched exactly.
TEST_F(RecordScreens, TheBulkCommandsWorkOnTheCoursesStudents) {
    Abre("DESO4");
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    auto anulados = [&](const AnsiString& TNC) {
        std::vector<std::string> v = Columna(Ejemplo, "alum", "ANULAR", {}, TNC);
        return std::count(v.begin(), v.end(), "True");
    };
    auto conMat = [&] {
        size_t n = 0;
        TTempTable t = NewTempTable(Ejemplo, "alum");
        FiltraPorCurso(*t, "DESO4");
        t->Open();
        for (t->First(); !t->Eof(); t->Next())
            for (const AnsiString& a : Numerados("ASIG", HuecosAsignatura))
                if (t->FieldByName(a)->AsString() == "MAT") {
                    ++n;
                    break;
                }
        return n;
    };
    const size_t alumnos = Columna(Ejemplo, "alum", "N", {}, "DESO4").size();
    const long otros = anulados("DBACH1");
    Pulsa(P->EdAsig);
    Ui.Type("mat");
    Pulsa(P->BAnular);
    Ui.RunUntilIdle();
    EXPECT_EQ(anulados("DESO4"), 0) << "the code is matched as typed";
    P->EdAsig->SetText("MAT");
    Pulsa(P->BAnular);
    Ui.RunUntilIdle();
    ASSERT_GT(conMat(), 0u);
    EXPECT_EQ(static_cast<size_t>(anulados("DESO4")), conMat());
    Pulsa(P->BInvertirAnular);
    Ui.RunUntilIdle();
    EXPECT_EQ(static_cast<size_t>(anulados("DESO4")), alumnos - conMat());
    Pulsa(P->BLimpiarAnular);
    Ui.RunUntilIdle();
    EXPECT_EQ(anulados("DESO4"), 0);
    EXPECT_EQ(anulados("DBACH1"), otros);
    EXPECT_EQ(P->TAlum->FieldByName("N")->AsInteger(), 1) << "each command ends on the first row";
}

// A course key holding an apostrophe still names exactly its students: the
// filter quotes it.
TEST_F(RecordScreens, ACourseKeyWithAnApostropheShowsOnlyItsStudents) {
    Abre();
    {
        TTempTable t = OpenTempTable(Ejemplo, "alum");
        for (const char* tnc : {"D'ES1", "D'ES1' or TNC<>'"}) {
            t->Append();
            t->FieldByName("NOMBRE")->SetAsString(tnc);
            t->FieldByName("TNC")->SetAsString(tnc);
            t->Post();
        }
    }
    F->Estado().TNCSeleccionado = "D'ES1";
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->TAlum->RecordCount(), 1);
    EXPECT_EQ(P->TAlum->FieldByName("NOMBRE")->AsString(), "D'ES1");
}

// A school of 3,000 students: the students screen shows exactly the
// course's students, numbered 1..n in name order, and the line clipboard
// and a bulk command work through the whole course.
TEST_F(RecordScreens, AtASchoolOfThousandsTheStudentsScreenShowsItsWholeCourse) {
    const TEscuelaEjemplo escuela = GeneraEscuela(SemillaEjemplo + 7, 3000);
    EscribeIntercambio(escuela.Intercambio, "C:\\GRANDE");
    PreparaCarpetaDatos(escuela, "C:\\GRANDE", "C:\\ZELMOR\\grande");
    // The biggest course.
    std::map<std::string, size_t> porCurso;
    for (const std::string& tnc : Columna("C:\\ZELMOR\\grande", "alum", "TNC")) ++porCurso[tnc];
    auto mayor = std::max_element(porCurso.begin(), porCurso.end(),
                                  [](const auto& a, const auto& b) { return a.second < b.second; });
    ASSERT_GT(mayor->second, 200u);
    Abre(mayor->first, "grande");
    auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(static_cast<size_t>(P->TAlum->RecordCount()), mayor->second);
    EXPECT_EQ(Columna("C:\\ZELMOR\\grande", "alum", "N", "NOMBRE", mayor->first), UnoAEne(mayor->second));
    // The last student out and back, before the first.
    Teclas("{C+End}{C+S}{C+Home}{C+R}");
    EXPECT_EQ(static_cast<size_t>(P->TAlum->RecordCount()), mayor->second);
    Pulsa(P->BInvertirAnular);
    Ui.RunUntilIdle();
    const std::vector<std::string> anular = Columna("C:\\ZELMOR\\grande", "alum", "ANULAR", {}, mayor->first);
    EXPECT_EQ(static_cast<size_t>(std::count(anular.begin(), anular.end(), "True")), mayor->second);
}

// The students screen as the staff see it, against its reference picture.
TEST_F(RecordScreens, TheStudentsScreenLooksAsItsReference) {
    Abre("DESO4");
    TCustomForm* P = Paso(F->MIAlumnos);
    ASSERT_NE(P, nullptr);
    Guarda(P, "alumnos");
    EXPECT_TRUE(
        MatchesReferencePicture(Ui.Picture(P), ZELMOR_SOURCE_DIR "/tests/shell/reference/alumnos.png"));
}

// The subjects of the course: the optional grid shows "G1" to "G<NGRUP>"
// only, NGRUP taken within 0..30 (a negative count hides no other column);
// closing the screen gives the common and unused subjects as many
// divisions and teachers as the course has groups, and no limit.
TEST_F(RecordScreens, TheSubjectsScreenShowsTheCoursesGroupsAndFixesTheirFiguresOnClose) {
    Abre("DESO4");
    const struct {
        int NGrup;
        int Visibles;  // of G1 .. G30
    } casos[] = {{4, 4}, {0, 0}, {-5, 0}, {-12, 0}, {30, 30}, {45, 30}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.NGrup);
        {
            TTempTable cursos = OpenTempTable(Ejemplo, "cursos", "TNC");
            ASSERT_TRUE(cursos->FindKey({TVarRec(AnsiString("DESO4"))}));
            cursos->Edit();
            cursos->FieldByName("NGRUP")->SetAsInteger(c.NGrup);
            cursos->Post();
        }
        auto* P = dynamic_cast<TAsigCurForm*>(Paso(F->MIAsiCur));
        ASSERT_NE(P, nullptr);
        EXPECT_EQ(P->Caption(), "Asignaturas de [C:\\ZELMOR\\ejemplo\\] DESO4");
        EXPECT_EQ(F->Estado().TablaActual(), P->TAsigCurOpt);
        TwwDBGrid* g = P->DBGridAsigCurOpt;
        ASSERT_EQ(g->ColCount(), 40);
        for (int col = 1; col < 10; ++col) EXPECT_GT(g->ColWidths(col), 0) << col;
        for (int n = 1; n <= 30; ++n) EXPECT_EQ(g->ColWidths(n + 9) > 0, n <= c.Visibles) << "G" << n;
        // Each grid holds its class.
        for (auto [tabla, tipo] : {std::pair{P->TAsigCurOpt, 1}, {P->TAsigCurCom, 2}, {P->TAsigCurNoUs, 3}})
            for (tabla->First(); !tabla->Eof(); tabla->Next())
                EXPECT_EQ(tabla->FieldByName("TIPO")->AsInteger(), tipo);
        EXPECT_FALSE(P->TAsigCurCom->IsEmpty());
        // Whatever was typed in a common row, closing fixes it.
        P->TAsigCurCom->First();
        P->TAsigCurCom->Edit();
        P->TAsigCurCom->FieldByName("MAXALUM")->SetAsInteger(17);
        Paso(F->Profesores1);
        const int grupos = std::clamp(c.NGrup, 0, 30);
        TTempTable asigcur = NewTempTable(Ejemplo, "asigcur");
        FiltraPorCurso(*asigcur, "DESO4");
        asigcur->Open();
        for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
            if (asigcur->FieldByName("TIPO")->AsInteger() == 1) continue;
            EXPECT_EQ(asigcur->FieldByName("NDIV")->AsInteger(), grupos);
            EXPECT_EQ(asigcur->FieldByName("NPROF")->AsInteger(), grupos);
            EXPECT_EQ(asigcur->FieldByName("MAXALUM")->AsInteger(), 0);
        }
    }
}

// The subjects screen's own rules through its tables: a row typed in takes
// its grid's class and the next number; a change of CUENTA or NASALUM
// reaches the whole optional block; the clipboard carries a line between
// the common and the unused grids (13 declared fields each) but not into
// the optional one (43).
TEST_F(RecordScreens, TheSubjectsScreenNumbersNewRowsFollowsBlocksAndKeepsTheClipboardToItsShape) {
    Abre("DESO4");
    auto* P = dynamic_cast<TAsigCurForm*>(Paso(F->MIAsiCur));
    ASSERT_NE(P, nullptr);
    TwwTable* opt = P->TAsigCurOpt;
    ASSERT_GE(opt->RecordCount(), 3);
    int mayorN = 0;
    for (const std::string& n : Columna(Ejemplo, "asigcur", "N", {}, "DESO4"))
        mayorN = std::max(mayorN, std::stoi(n));

    // Two optional subjects in block 2, a third in block 0.
    std::vector<AnsiString> bloque2;
    opt->First();
    for (int i = 0; i < 3; ++i, opt->Next()) {
        opt->Edit();
        opt->FieldByName("BLOPT")->SetAsInteger(i < 2 ? 2 : 0);
        opt->Post();
        if (i < 2) bloque2.push_back(opt->FieldByName("ASIG")->AsString());
    }
    std::map<std::string, std::pair<bool, int>> antes;
    for (opt->First(); !opt->Eof(); opt->Next())
        antes[opt->FieldByName("ASIG")->AsString()] = {opt->FieldByName("CUENTA")->AsBoolean(),
                                                       opt->FieldByName("NASALUM")->AsInteger()};
    // The block follows the change at once (its rows posted on the way).
    opt->First();
    opt->Edit();
    opt->FieldByName("CUENTA")->SetAsBoolean(false);
    opt->CheckBrowseMode();
    opt->First();
    opt->Edit();
    opt->FieldByName("NASALUM")->SetAsInteger(7);
    opt->CheckBrowseMode();
    {
        TTempTable t = NewTempTable(Ejemplo, "asigcur");
        FiltraPorClase(*t, "DESO4", TipoOptativa);
        t->Open();
        for (t->First(); !t->Eof(); t->Next()) {
            const bool enBloque = t->FieldByName("BLOPT")->AsInteger() == 2;
            const std::string asig = t->FieldByName("ASIG")->AsString();
            SCOPED_TRACE(asig);
            EXPECT_EQ(t->FieldByName("CUENTA")->AsBoolean(), enBloque ? false : antes[asig].first);
            EXPECT_EQ(t->FieldByName("NASALUM")->AsInteger(), enBloque ? 7 : antes[asig].second);
        }
    }

    // A new common subject from the grid menu, in the common grid.
    // A click on a grid's first row gives it the focus.
    auto entra = [&](TwwDBGrid* Rejilla) {
        Clock.Advance(1000);
        Ui.Click(Rejilla, TPoint(40, 28));
        Ui.RunUntilIdle();
    };
    entra(P->DBGridAsigCurCom);
    EXPECT_EQ(F->Estado().TablaActual(), P->TAsigCurCom);
    Teclas("{Ins}");
    EXPECT_EQ(P->TAsigCurCom->FieldByName("N")->AsInteger(), mayorN + 1);
    EXPECT_EQ(P->TAsigCurCom->FieldByName("TIPO")->AsInteger(), TipoComun);
    EXPECT_EQ(P->TAsigCurCom->FieldByName("TNC")->AsString(), "DESO4");
    EXPECT_TRUE(P->TAsigCurCom->FieldByName("MOSTRAR")->AsBoolean());
    P->TAsigCurCom->Cancel();

    // A common line out, into the unused grid; not into the optional one.
    const int comunes = P->TAsigCurCom->RecordCount();
    const int noUsadas = P->TAsigCurNoUs->RecordCount();
    const int optativas = opt->RecordCount();
    Teclas("{C+S}");
    EXPECT_EQ(P->TAsigCurCom->RecordCount(), comunes - 1);
    entra(P->DBGridAsigCurOpt);
    EXPECT_EQ(F->Estado().TablaActual(), opt);
    Teclas("{C+R}");
    EXPECT_EQ(opt->RecordCount(), optativas);
    entra(P->DBGridAsigCurNoUs);
    EXPECT_EQ(F->Estado().TablaActual(), P->TAsigCurNoUs);
    Teclas("{C+R}");
    // Brought back with its TIPO 2, it leaves the unused class's view.
    EXPECT_EQ(P->TAsigCurNoUs->RecordCount(), noUsadas);
    EXPECT_EQ(Columna(Ejemplo, "asigcur", "N", {}, "DESO4").size(),
              static_cast<size_t>(comunes + noUsadas + optativas));
}

// A new optional subject typed in its grid, in the block of two others:
// the figure typed in "Asig. cada alumno", or "Tener en cuenta" changed,
// before the row was ever stored reaches the whole block at once; the new
// row is stored on the way and stays the row the user is on.
TEST_F(RecordScreens, ANewOptionalSubjectsFiguresReachItsBlockBeforeItWasEverStored) {
    const struct {
        const char* Campo;
        const char* Tecleado;  // typed into the cell; none: the check box changed
        const char* Valor;     // what every row of the block holds then
        const char* Bloque;    // a block no subject of the sample has
        const char* Asig;
    } casos[] = {{"NASALUM", "3", "3", "8", "ZZY"}, {"CUENTA", nullptr, "False", "9", "ZZZ"}};
    // An error of the handler would come as a message box: it is kept here.
    TScriptedDialogs& cajas = Answers();
    Abre("DESO4");
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Campo);
        auto* P = dynamic_cast<TAsigCurForm*>(Paso(F->MIAsiCur));
        ASSERT_NE(P, nullptr);
        TwwTable* opt = P->TAsigCurOpt;
        TwwDBGrid* g = P->DBGridAsigCurOpt;
        opt->First();
        for (int i = 0; i < 2; ++i, opt->Next()) {
            opt->Edit();
            opt->FieldByName("BLOPT")->SetAsString(c.Bloque);
            opt->Post();
        }
        auto columna = [&](const char* Campo) {
            for (int i = 0; i < g->Selected()->Count(); ++i)
                if (g->Selected()->Strings(i).rfind(AnsiString(Campo) + "\t", 0) == 0) return i;
            ADD_FAILURE() << "no column " << Campo;
            return 0;
        };
        auto teclea = [&](const char* Campo, const char* Texto) {
            g->SetSelectedIndex(columna(Campo));
            Ui.Type(Texto);
            Ui.RunUntilIdle();
        };
        g->SetFocus();
        Teclas("{Ins}");
        ASSERT_EQ(opt->State(), dsInsert);
        teclea("ASIG", c.Asig);
        teclea("BLOPT", c.Bloque);
        if (c.Tecleado) {
            teclea(c.Campo, c.Tecleado);
            Teclas("{Tab}");
        } else {
            g->SetSelectedIndex(columna(c.Campo));
            opt->FieldByName(c.Campo)->SetAsBoolean(false);
            Ui.RunUntilIdle();
        }
        EXPECT_EQ(cajas.Texts(), std::vector<AnsiString>{}) << "no error";
        EXPECT_EQ(opt->State(), dsBrowse);
        EXPECT_EQ(opt->FieldByName("ASIG")->AsString(), c.Asig) << "the new row is the current one";
        TTempTable t = NewTempTable(Ejemplo, "asigcur");
        FiltraPorClase(*t, "DESO4", TipoOptativa);
        t->Open();
        int enBloque = 0;
        for (t->First(); !t->Eof(); t->Next()) {
            if (t->FieldByName("BLOPT")->AsString() != c.Bloque) continue;
            ++enBloque;
            EXPECT_EQ(t->FieldByName(c.Campo)->AsString(), c.Valor) << t->FieldByName("ASIG")->AsString();
        }
        EXPECT_EQ(enBloque, 3) << "the new row is stored";
        Paso(F->Profesores1);
    }
}

// Leaving the program closes the step's screen as a move closes it: a
// student's name typed into the grid and not yet posted is in the table
// afterwards, whichever way the user leaves.
class LeavingWithAnEditPending : public RecordScreens {
protected:
    enum TSalida { BotonSalir, MenuSalir, CierrePrincipal };
    void TecleaYSale(TSalida Salida) {
        Abre("DESO4");
        auto* P = dynamic_cast<TAlumForm*>(Paso(F->MIAlumnos));
        ASSERT_NE(P, nullptr);
        const AnsiString exped = P->TAlum->FieldByName("EXPED")->AsString();
        // From ANULAR (N is the fixed column) over to NOMBRE.
        Teclas("{Tab}{Tab}");
        Ui.Type("Pendiente Sin Guardar, Eva");
        Ui.RunUntilIdle();
        EXPECT_EQ(P->TAlum->State(), dsEdit);
        if (Salida == BotonSalir) Pulsa(F->BSalir);
        if (Salida == MenuSalir) {
            Pulsa(F->BIrA);
            Ui.Then([&] { Ui.Type("s"); });
        }
        if (Salida == CierrePrincipal) InputCloseRequest(F->Handle());
        Ui.RunUntilIdle();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
        EXPECT_TRUE(Application->Terminated()) << "the program ends";
        EXPECT_EQ(AlumForm, nullptr) << "the screen went with its step";
        EXPECT_EQ(F->PantallaDelPaso(), nullptr);
        TTempTable t = NewTempTable(Ejemplo, "alum");
        FilterEqual(*t, "EXPED", exped);
        t->Open();
        ASSERT_EQ(t->RecordCount(), 1);
        EXPECT_EQ(t->FieldByName("NOMBRE")->AsString(), "Pendiente Sin Guardar, Eva");
    }
};

TEST_F(LeavingWithAnEditPending, BySalir) { TecleaYSale(BotonSalir); }
TEST_F(LeavingWithAnEditPending, BySalirOfTheStepMenu) { TecleaYSale(MenuSalir); }
TEST_F(LeavingWithAnEditPending, ByTheCloseBoxOfTheMainWindow) { TecleaYSale(CierrePrincipal); }

// The main window and the students screen on a real X server: the screen
// shows with its right-hand pane in its colour as the server has it, and
// leaving the program closes it with its step.
class RecordScreensX11 : public TMaquinaPantallas, public X11ScreenTest {
protected:
    void TearDown() override {
        while (Screen && Screen->CustomFormCount() > 0) Screen->CustomForms(0)->Free();
    }
    TProgramLibraries Libraries;
};

TEST_F(RecordScreensX11, TheStudentsScreenShowsOnARealXServerAndClosesWithTheProgram) {
    std::filesystem::copy(std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos",
                          Programa / "ejemplo", std::filesystem::copy_options::recursive);
    Application->CreateForm(ControlaForm);
    ControlaForm->Show();
    Application->ProcessMessages();
    ASSERT_EQ(SeleccionaCarpeta(ControlaForm->Estado(), "ejemplo", [] { return false; }), TApertura::Actual);
    ControlaForm->Estado().TNCSeleccionado = "DESO4";
    ControlaForm->MIAlumnos->Click();
    Application->ProcessMessages();
    ASSERT_NE(AlumForm, nullptr);
    UpdateWindow(AlumForm->Handle());
    auto* splitter = dynamic_cast<TOvcSplitter*>(AlumForm->FindComponent("OvcSplitter1"));
    ASSERT_NE(splitter, nullptr);
    TControl* panel = splitter->GetSection(1);
    ASSERT_NE(panel, nullptr);
    const TPoint centro = panel->ClientToScreen(TPoint(panel->Width() / 2, panel->Height() / 2));
    const TPoint origen = AlumForm->ClientToScreen(TPoint(0, 0));
    uint32_t pixel = 0;
    ASSERT_TRUE(X11ReadBack(X(), AlumForm->Handle(), centro.x - origen.x, centro.y - origen.y, pixel));
    EXPECT_EQ(pixel, 0xB5D3DDu) << "colour 14537653, blue-green-red $DDD3B5";
    ControlaForm->Close();
    Application->ProcessMessages();
    EXPECT_EQ(AlumForm, nullptr);
    EXPECT_TRUE(Application->Terminated());
}
