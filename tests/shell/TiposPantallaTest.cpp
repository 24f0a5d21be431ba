// The types screen on the sample school: how it opens (collapsed views in a
// fixed-pitch face, totals, pickers), which move button its views enable,
// the merge of its working copies however it closes, and the number a row
// added through its subtypes table takes.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "TiposFixture.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwtable.h"
#include "organizer/MotorTipos.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcDbRpV.h"
#include "reportview/OvcRvCbx.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/StepMachine.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Espera.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Tipos.h"
#include "shell/forms/Trasladar.h"

namespace {

class TiposPantalla : public TiposFixture {
protected:
    void SetUp() override {
        TiposFixture::SetUp();
        AbreCarpeta();
    }
    TFilasTabla DelCurso(const AnsiString& Tabla) {
        TFilasTabla todas = FilasDe(Carpeta, Tabla), curso;
        for (auto& f : todas)
            if (f["TNC"] == ToUtf8(Estado->TNCSeleccionado)) curso.push_back(f);
        return curso;
    }
    // The working and stored subtypes and types in groups of every course,
    // and the totals the screen shows.
    std::vector<TFilasTabla> Tablas(TTiposForm* T) {
        TFilasTabla rejilla;
        for (int f = 0; f < T->SGTipos->RowCount(); ++f)
            rejilla.push_back(
                {{"AsigDv", ToUtf8(T->SGTipos->Cells(0, f))}, {"Alum", ToUtf8(T->SGTipos->Cells(1, f))}});
        return {FilasDe(Carpeta, "tipos"),    FilasDe(Carpeta, "tipgrup"), FilasDe(Carpeta, "tipos2"),
                FilasDe(Carpeta, "tipgrup2"), FilasDe(Carpeta, "conex"),   rejilla};
    }
};

// The distinct texts of a field, with the sum of NALUM over each.
std::map<std::string, int> TotalesPor(const TFilasTabla& Filas, const std::string& Campo) {
    std::map<std::string, int> m;
    for (const auto& f : Filas) m[f.at(Campo)] += std::stoi(f.at("NALUM"));
    return m;
}

TEST_F(TiposPantalla, OpensWithEachGroupOnOneLineInAFixedPitchFace) {
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    // A type into group "A" so that the lower view has a group too.
    TipoAGrupo(T, "A");
    EXPECT_EQ(T->Caption(), "Tipos de " + Estado->Turno + " " + Estado->Nivel + " " + Estado->Curso);
    EXPECT_EQ(T->Left(), 0);
    EXPECT_EQ(T->Top(), 60);
    EXPECT_EQ(T->Width(), Screen->Width());
    EXPECT_EQ(T->Height(), Screen->Height() - 85);

    struct TCaso {
        TOvcDbReportView* Vista;
        const char* Tabla;
        const char* Agrupa;
    };
    for (const TCaso& c :
         {TCaso{T->ODBRVTipos, "tipos2", "ASIGSCU"}, TCaso{T->ODBRVTipGrup, "tipgrup2", "GRUPO"}}) {
        SCOPED_TRACE(c.Tabla);
        const std::map<std::string, int> grupos = TotalesPor(FilasDe(Carpeta, c.Tabla), c.Agrupa);
        ASSERT_FALSE(grupos.empty());
        TOvcRvEngine& e = c.Vista->Engine();
        ASSERT_EQ(e.GetLines(), static_cast<int>(grupos.size())) << "one line per group";
        const int campo = c.Vista->DataSource()->DataSet()->FieldByName(c.Agrupa)->Index();
        for (int l = 0; l < e.GetLines(); ++l) {
            ASSERT_TRUE(e.GetIsGroup(l));
            TOvcRvIndexGroup* g = e.GetGroupRef(l);
            const std::string clave = ToUtf8(c.Vista->GetFieldAsString(g->GetData(), campo));
            EXPECT_EQ(ToUtf8(c.Vista->DoGetGroupString(1, g)), std::to_string(grupos.at(clave))) << clave;
        }
        // Every character as wide as any other: the columns of the texts line up.
        TCanvas* canvas = c.Vista->ListBox()->Canvas();
        canvas->Font()->Assign(c.Vista->Font());
        EXPECT_EQ(c.Vista->Font()->Name(), "Terminal");
        EXPECT_EQ(c.Vista->Font()->Height(), -12);
        EXPECT_EQ(canvas->TextWidth("iiiiiiiiii"), canvas->TextWidth("WWWWWWWWWW"));
        EXPECT_EQ(canvas->TextWidth("MAT .1:a"), 8 * canvas->TextWidth("M"));
        // The first line on screen, a group: its text lies on the group
        // colour in the face's ink. The text is the caption, " : " and the
        // group's value: the space after the caption shows the colour, the
        // caption's first letter has ink.
        const TSurface& picture = Ui.Picture(T);
        auto pixel = [&](int X, int Y) {
            const TPoint p = c.Vista->ListBox()->ClientToScreen(TPoint(X, Y));
            return picture.GetPixel(p.x - T->Left(), p.y - T->Top());
        };
        TOvcRVHeader* h = c.Vista->Header();
        const int textLeft = 1 + h->GetSection(0)->Width() - h->TextMargin() + 1;
        const AnsiString caption = c.Vista->DataSource()->DataSet()->FieldByName(c.Agrupa)->DisplayLabel();
        const size_t word = caption.find_first_not_of(' ');
        ASSERT_NE(word, AnsiString::npos) << caption;
        const int rh = c.Vista->ListBox()->RowHeight(), space = canvas->TextWidth(" ");
        EXPECT_EQ(pixel(textLeft + canvas->TextWidth(caption) + space / 2, rh / 2),
                  ColorRefToPixel(ColorToRGB(c.Vista->GroupColor())))
            << "the group line's colour through its text";
        const uint32_t ink = ColorRefToPixel(ColorToRGB(c.Vista->Font()->Color()));
        const int letter = textLeft + canvas->TextWidth(caption.substr(0, word));
        int inked = 0;
        for (int y = 0; y < rh - 1; ++y)
            for (int x = letter; x < letter + canvas->TextWidth("M"); ++x) inked += pixel(x, y) == ink;
        EXPECT_GT(inked, 0) << "the caption's first letter";
        EXPECT_LT(inked, (rh - 1) * canvas->TextWidth("M")) << "a letter, not a box";
    }
    // The grid of totals: titles, the total, one line per subject.
    EXPECT_EQ(T->SGTipos->Cells(0, 0), "AsigDv");
    EXPECT_EQ(T->SGTipos->Cells(1, 0), "Alum");
    EXPECT_EQ(T->SGTipos->Cells(0, 1), "Total");
    int total = 0;
    for (const auto& f : FilasDe(Carpeta, "tipos2")) total += std::stoi(f.at("NALUM"));
    EXPECT_EQ(T->SGTipos->Cells(1, 1), IntToStr(total));

    // The pickers switch the named views.
    struct TPicker {
        TOvcViewComboBox* Combo;
        TOvcDbReportView* Vista;
        const char* Titulo;
        const char* Vista_;
    };
    for (const TPicker& p :
         {TPicker{T->OvcViewComboBox1, T->ODBRVTipos, "Columnas", "Coliumas"},
          TPicker{T->OvcViewComboBox2, T->ODBRVTipGrup, "Simple", "A"},
          TPicker{T->OvcViewComboBox2, T->ODBRVTipGrup, "Conex y Asig en Columnas", "C"}}) {
        const int i = p.Combo->GetList()->IndexOf(p.Titulo);
        ASSERT_GE(i, 0) << p.Titulo;
        p.Combo->SetDroppedDown(true);
        p.Combo->SetItemIndex(p.Combo->MRUCount() + i);
        p.Combo->SetDroppedDown(false);
        Ui.RunUntilIdle();
        EXPECT_EQ(p.Vista->ActiveView(), p.Vista_) << p.Titulo;
    }
}

// What each handler leaves: the move buttons it enables, and whether the
// working tables change (a cancelled move and a view's focus change none).
TEST_F(TiposPantalla, EachViewEnablesTheButtonThatMovesOutOfIt) {
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    TipoAGrupo(T, "B");
    ASSERT_EQ(Ui.StepsLeft(), 0u);
    ASSERT_FALSE(T->TTipGrup->IsEmpty());
    struct TCaso {
        const char* Que;
        std::function<void()> Hace;
        bool Abajo, Arriba;
        bool CambiaTablas;
    };
    const TCaso casos[] = {
        {"a line of the types", [&] { PulsaLinea(T->ODBRVTipos, 0); }, true, false, false},
        {"a line of the types in groups", [&] { PulsaLinea(T->ODBRVTipGrup, 0); }, false, true, false},
        {"the types again", [&] { PulsaLinea(T->ODBRVTipos, 0); }, true, false, false},
        {"a move down cancelled",
         [&] {
             PulsaLinea(T->ODBRVTipos, LineaConAlumnos(T->ODBRVTipos));
             Pulsa(T->BTrasladarAbajo);
             Luego([&](TCustomForm* D) { Ui.Click(D, "BCancelar"); });
             Ui.RunUntilIdle();
         },
         true, false, false},
        {"no student, told, then cancelled",
         [&] {
             PulsaLinea(T->ODBRVTipos, LineaConAlumnos(T->ODBRVTipos));
             Pulsa(T->BTrasladarAbajo);
             Luego([&](TCustomForm* D) {
                 auto* d = static_cast<TTrasladarForm*>(D);
                 d->SENumero->SetText("0");
                 Ui.Click(D, "BOK");
             });
             Responde();  // "Número de alumnos incorrecto"; the dialog stays
             Luego([&](TCustomForm* D) { Ui.Click(D, "BCancelar"); });
             Ui.RunUntilIdle();
         },
         true, false, false},
        {"no group typed, answered Cancel",
         [&] {
             PulsaLinea(T->ODBRVTipos, LineaConAlumnos(T->ODBRVTipos));
             Pulsa(T->BTrasladarAbajo);
             Luego([&](TCustomForm* D) { Ui.Click(D, "BOK"); });
             Responde("Cancel");
             Ui.RunUntilIdle();
         },
         true, false, false},
        {"the types in groups, a move up cancelled",
         [&] {
             PulsaLinea(T->ODBRVTipGrup, 0);
             Pulsa(T->BTrasladarArriba);
             Luego([&](TCustomForm* D) { Ui.Click(D, "BCancelar"); });
             Ui.RunUntilIdle();
         },
         false, true, false},
        {"\"Mostrar comunes\": the common subjects counted too",
         [&] {
             Pulsa(T->CBMostrarComunes);
             Ui.RunUntilIdle();
         },
         false, true, true},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Que);
        Mensajes.clear();
        const auto antes = Tablas(T);
        c.Hace();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
        EXPECT_EQ(T->BTrasladarAbajo->Enabled(), c.Abajo);
        EXPECT_EQ(T->BTrasladarArriba->Enabled(), c.Arriba);
        EXPECT_EQ(Tablas(T) != antes, c.CambiaTablas);
    }
    EXPECT_TRUE(Mensajes.empty()) << "the last case says nothing";
}

// However the screen closes, the course's stored rows become its working
// rows once; a close after that leaves them as the first left them.
enum class TCamino { CajaCierre, Anterior, Salir };
struct TCierre {
    const char* Que;
    TCamino Primero;
    std::optional<TCamino> Segundo;
};

class TiposCierre : public TiposPantalla, public ::testing::WithParamInterface<TCierre> {};

TEST_P(TiposCierre, MergesOnceAndOnlyOnce) {
    const TCierre& c = GetParam();
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    const TFilasTabla trabajo = FilasDe(Carpeta, "tipos2");
    ASSERT_FALSE(trabajo.empty());
    auto cierra = [&](TCamino Camino) {
        switch (Camino) {
        case TCamino::CajaCierre:
            PostMessage(T->Handle(), WM_CLOSE, 0, 0);
            Ui.RunUntilIdle();
            break;
        case TCamino::Anterior:
            Responde();  // the subjects' screen is not in this version
            Pulsa(F->BAnterior);
            Ui.RunUntilIdle();
            break;
        case TCamino::Salir:
            Pulsa(F->BSalir);
            Ui.RunUntilIdle();
            break;
        }
    };
    cierra(c.Primero);
    // The course's stored subtypes are the working ones, numbers and all.
    const TFilasTabla guardados = DelCurso("tipos");
    ASSERT_EQ(guardados.size(), trabajo.size());
    for (size_t i = 0; i < trabajo.size(); ++i)
        for (const char* campo : {"N", "NALUM", "OPCION", "REPITE", "ASIG1", "ASIG2", "ASIG3", "ASIG4"})
            EXPECT_EQ(guardados[i].at(campo), trabajo[i].at(campo)) << i << " " << campo;
    if (!c.Segundo) {
        EXPECT_EQ(TiposForm == nullptr, c.Primero != TCamino::CajaCierre);
        return;
    }
    // A change of the working copy after the merge is not merged again.
    {
        TTempTable t = OpenTempTable(Carpeta, "tipos2");
        t->First();
        t->Edit();
        t->FieldByName("NALUM")->SetAsInteger(t->FieldByName("NALUM")->AsInteger() + 7);
        t->Post();
    }
    const TFilasTabla antes = FilasDe(Carpeta, "tipos");
    cierra(*c.Segundo);
    EXPECT_EQ(FilasDe(Carpeta, "tipos"), antes);
    EXPECT_EQ(TiposForm, nullptr) << "the screen is freed";
}

const TCierre Cierres[] = {
    {"StepMachine", TCamino::Anterior, std::nullopt},
    {"MainWindowSalir", TCamino::Salir, std::nullopt},
    {"CloseBoxThenStepMachine", TCamino::CajaCierre, TCamino::Anterior},
    {"CloseBoxThenSalir", TCamino::CajaCierre, TCamino::Salir},
};
INSTANTIATE_TEST_SUITE_P(Caminos, TiposCierre, ::testing::ValuesIn(Cierres),
                         [](const auto& Info) { return std::string(Info.param.Que); });

// A row added through the screen's subtypes table takes a number no table
// of the types uses, whatever number the last row has.
TEST_F(TiposPantalla, ANewSubtypeRowTakesANumberNoTableUses) {
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    std::set<std::string> usados;
    for (const char* tabla : {"tipos", "tipos2", "tipgrup", "tipgrup2"})
        for (const auto& f : FilasDe(Carpeta, tabla)) usados.insert(f.at("N"));
    T->TTipos->Last();
    T->TTipos->Append();
    const int n = T->TTipos->FieldByName("N")->AsInteger();
    T->TTipos->Post();
    EXPECT_EQ(usados.count(std::to_string(n)), 0u) << n;
    EXPECT_EQ(T->TTipos->FieldByName("TNC")->AsString(), Estado->TNCSeleccionado);
}

// The subtypes selected in the types view are the ones the organizer's
// "&Selección" works on: their SELEC marks, and only theirs, are set when the
// organizer starts (kept here, as the dialog is left without a run).
TEST_F(TiposPantalla, TheSubtypesSelectedAreTheOnesMarkedForTheOrganizer) {
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    TOvcDbReportView* v = T->ODBRVTipos;
    v->ExpandAll(true);
    Ui.RunUntilIdle();
    std::vector<int> filas;
    for (int l = 0; l < v->Engine().GetLines() && filas.size() < 3; ++l)
        if (!v->Engine().GetIsGroup(l)) filas.push_back(l);
    ASSERT_EQ(filas.size(), 3u);
    PulsaLinea(v, filas[0]);
    Ui.KeyDown(VK_CONTROL);
    PulsaLinea(v, filas[2]);
    Ui.KeyUp(VK_CONTROL);
    Ui.RunUntilIdle();
    std::set<std::string> elegidos;
    for (int l : {filas[0], filas[2]})
        elegidos.insert(ToUtf8(v->GetFieldAsString(v->Engine().GetData(l), 0)));
    Pulsa(T->BOrgAuto);
    Luego([&](TCustomForm* D) {
        auto* o = dynamic_cast<TFormOrganizar*>(D);
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(o->BOrganizarActual->Visible());
        Ui.Click(o->BSalir);
    });
    Ui.RunUntilIdle();
    std::set<std::string> marcados;
    for (const auto& f : FilasDe(Carpeta, "tipos2"))
        if (f.at("SELEC") == "True") marcados.insert(f.at("N"));
    EXPECT_EQ(marcados, elegidos);
}

// After "&Org. Automática" the wait window is up before the engine fills its
// working copies again from the run's result and reclassifies them; and
// however the dialog was left, each of the three views, the connections'
// as well, shows one line per group again.
TEST_F(TiposPantalla, AfterTheOrganizerTheWaitWindowComesFirstAndEveryViewIsCollapsed) {
    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    CalculaTipos(T);
    const TFilasTabla antes = FilasDe(Carpeta, "tipgrup2");
    std::optional<TFilasTabla> alMostrarse;
    Ui.OnPresent = [&](HWND W) {
        if (!alMostrarse && EsperaForm && W == EsperaForm->Handle())
            alMostrarse = FilasDe(Carpeta, "tipgrup2");
    };
    Pulsa(T->BOrgAuto);
    Luego([&](TCustomForm* D) {
        auto* o = dynamic_cast<TFormOrganizar*>(D);
        ASSERT_NE(o, nullptr);
        Ui.Click(o->BOrganizarTodos);
    });
    Luego([&](TCustomForm* D) { Ui.Click(static_cast<TFormOrganizar*>(D)->BSalir); });
    Ui.RunUntilIdle();
    Ui.OnPresent = nullptr;
    ASSERT_EQ(Ui.StepsLeft(), 0u);
    EXPECT_EQ(EsperaForm, nullptr) << "the wait window went";
    ASSERT_TRUE(alMostrarse) << "the wait window showed";
    EXPECT_EQ(alMostrarse->size(), antes.size()) << "before the working copies were filled again";
    ASSERT_NE(FilasDe(Carpeta, "tipgrup2").size(), antes.size()) << "the run's result";

    // Every group open, the connections' with two or more rows among them;
    // the dialog again, left without a run.
    std::set<std::string> conexiones;
    for (const auto& f : FilasDe(Carpeta, "conex")) conexiones.insert(f.at("CON"));
    for (TOvcDbReportView* v : {T->ODBRVTipos, T->ODBRVTipGrup, T->ODBRVConex}) v->ExpandAll(true);
    Ui.RunUntilIdle();
    ASSERT_GT(T->ODBRVConex->Engine().GetLines(), static_cast<int>(conexiones.size()));
    Pulsa(T->BOrgAuto);
    Luego([&](TCustomForm* D) { Ui.Click(static_cast<TFormOrganizar*>(D)->BSalir); });
    Ui.RunUntilIdle();
    ASSERT_EQ(Ui.StepsLeft(), 0u);
    for (TOvcDbReportView* v : {T->ODBRVTipos, T->ODBRVTipGrup, T->ODBRVConex}) {
        SCOPED_TRACE(v->Name());
        ASSERT_GT(v->Engine().GetLines(), 0);
        for (int l = 0; l < v->Engine().GetLines(); ++l) EXPECT_TRUE(v->Engine().GetIsGroup(l)) << l;
    }
    EXPECT_EQ(T->ODBRVConex->Engine().GetLines(), static_cast<int>(conexiones.size()));
}

}  // namespace
