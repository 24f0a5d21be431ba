// The two type editors of the types screen on the sample school, opened by
// double clicks on the screen's views: what they show, what can be changed
// in them (and what not), the numbers of the rows added, what closing them
// stores, the screen's recomputation afterwards and where they sit, on the
// usual screen and on a small one.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "TiposFixture.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwidlg.h"
#include "organizer/EditoresTipos.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcDbRpV.h"
#include "shell/AppState.h"
#include "shell/forms/EdiTipGrup.h"
#include "shell/forms/EdiTipos.h"
#include "shell/forms/Tipos.h"

namespace {

// The distinct values of a field over the rows, in their order; with
// SinMayusculas two values that differ only in letter case are one.
std::vector<std::string> Distintos(const TFilasTabla& Filas, const std::string& Campo, bool SinMayusculas) {
    std::vector<std::string> r = {ItemTodos};
    for (const auto& f : Filas) {
        const std::string v = f.at(Campo);
        const bool esta = std::any_of(r.begin(), r.end(), [&](const std::string& x) {
            return SinMayusculas ? AnsiSameText(x, v) : x == v;
        });
        if (!esta) r.push_back(v);
    }
    return r;
}

std::vector<std::string> Items(TComboBox* C) {
    std::vector<std::string> r;
    for (int i = 0; i < C->Items()->Count(); ++i) r.push_back(ToUtf8(C->Items()->Strings(i)));
    return r;
}

std::set<std::string> Numeros(const TFilasTabla& Filas) {
    std::set<std::string> r;
    for (const auto& f : Filas) r.insert(f.at("N"));
    return r;
}

class EditoresTipos : public TiposFixture {
protected:
    using TiposFixture::TiposFixture;
    void SetUp() override {
        TiposFixture::SetUp();
        AbreCarpeta();
        T = AbreTipos();
        ASSERT_NE(T, nullptr);
        CalculaTipos(T);
        TipoAGrupo(T, "A");
        ASSERT_FALSE(T->TTipGrup->IsEmpty());
    }
    // The text of a field of a view's line.
    std::string Texto(TOvcDbReportView* V, int Linea, const char* Campo) {
        return ToUtf8(Trim(V->GetFieldAsString(V->Engine().GetData(Linea),
                                               V->DataSource()->DataSet()->FieldByName(Campo)->Index())));
    }
    // The item Index of a combo, chosen by the keys of its dropped list.
    void Elige(TComboBox* C, int Index) {
        Pulsa(C);
        Ui.Key(VK_HOME);
        for (int i = 0; i < Index; ++i) Ui.Key(VK_DOWN);
        Ui.Key(VK_RETURN);
    }
    // Each type on one line, with the screen's totals of what the table holds.
    void CompruebaPantalla() {
        std::set<std::string> tipos;
        int alumnos = 0;
        for (const auto& f : FilasDe(Carpeta, "tipos2")) {
            tipos.insert(f.at("ASIGSCU"));
            alumnos += std::stoi(f.at("NALUM"));
        }
        TOvcRvEngine& e = T->ODBRVTipos->Engine();
        EXPECT_EQ(e.GetLines(), static_cast<int>(tipos.size()));
        for (int l = 0; l < e.GetLines(); ++l) EXPECT_TRUE(e.GetIsGroup(l)) << l;
        EXPECT_EQ(T->SGTipos->Cells(1, 1), IntToStr(alumnos)) << "the total of the subtypes";
        std::set<std::string> grupos;
        for (const auto& f : FilasDe(Carpeta, "tipgrup2")) grupos.insert(f.at("GRUPO"));
        EXPECT_EQ(T->ODBRVTipGrup->Engine().GetLines(), static_cast<int>(grupos.size()));
    }
    TTiposForm* T = nullptr;
};

// The editors' place: left 20, as wide as the screen less 50, where the
// editor's formula puts it (Top, Height) as long as that is on the screen
// and not too low for its bar and a few rows; otherwise as high as needed
// and moved up so that its bottom stays on the screen.
void CompruebaLugar(TCustomForm* D, int Top, int Height) {
    SCOPED_TRACE(D->ClassName());
    EXPECT_EQ(D->Left(), 20);
    EXPECT_EQ(D->Width(), Screen->Width() - 50);
    EXPECT_GE(D->Top(), 0);
    EXPECT_LE(D->Top() + D->Height(), Screen->Height());
    EXPECT_EQ(D->Height(), std::max(Height, AltoMinimoEditor));
    if (Top + std::max(Height, AltoMinimoEditor) <= Screen->Height()) EXPECT_EQ(D->Top(), Top);
    else EXPECT_EQ(D->Top() + D->Height(), Screen->Height());
}

int TopEditorTipos(TTiposForm* T) {
    return T->Top() + T->Height() - T->ClientHeight() + T->ODBRVTipos->Height();
}
int AltoEditorTipos(TTiposForm* T) { return T->PBotones->Height() + T->ODBRVTipGrup->Height(); }
int AltoEditorTipGrup(TTiposForm* T) {
    return T->Height() - T->ClientHeight() + T->ODBRVTipos->Height() + T->PBotones->Height();
}

// The subtype editor opens on the subtype double clicked: its type's rows,
// the course's subjects for the lookup. "Todos" shows every row, and a row
// added then takes the subjects text of the whole table's first row; the
// rows added take numbers no table of the types uses. Closed, the screen
// counts and classifies again; its connections stay as they were.
TEST_F(EditoresTipos, TheSubtypeEditorOpensOnTheSubtypeDoubleClickedAndAddsRowsWithFreeNumbers) {
    const TFilasTabla tipos2 = FilasDe(Carpeta, "tipos2"), conex = FilasDe(Carpeta, "conex");
    std::set<std::string> usados;
    for (const char* tabla : {"tipos", "tipos2", "tipgrup", "tipgrup2"})
        for (const auto& n : Numeros(FilasDe(Carpeta, tabla))) usados.insert(n);
    TOvcDbReportView* v = T->ODBRVTipos;
    AbreEditor(v);
    const std::string bloque = Texto(v, 1, "ASIGS");
    int filasBloque = 0;
    for (const auto& f : tipos2) filasBloque += f.at("ASIGS") == bloque;
    std::vector<std::string> nuevos;
    TEdiTiposForm2* e = nullptr;
    Luego([&](TCustomForm* D) {
        e = dynamic_cast<TEdiTiposForm2*>(D);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Caption(), "Edici\xF3n de tipos en grupos");
        EXPECT_EQ(e->HelpContext(), 2007);
        EXPECT_EQ(Items(e->CBBloques), Distintos(tipos2, "ASIGS", true));
        EXPECT_EQ(ToUtf8(e->CBBloques->Text()), bloque);
        EXPECT_EQ(e->wwTableTipos->RecordCount(), filasBloque);
        EXPECT_EQ(ToUtf8(e->Bloque()), bloque);
        CompruebaLugar(e, TopEditorTipos(T), AltoEditorTipos(T));
        // The lookup offers the course's subjects, all of them.
        int asignaturas = 0;
        for (const auto& f : FilasDe(Carpeta, "asigcur"))
            asignaturas += f.at("TNC") == ToUtf8(Estado->TNCSeleccionado);
        EXPECT_EQ(e->wwTableAsigcur->RecordCount(), asignaturas);
        for (e->wwTableAsigcur->First(); !e->wwTableAsigcur->Eof(); e->wwTableAsigcur->Next())
            EXPECT_EQ(e->wwTableAsigcur->FieldByName("TNC")->AsString(), Estado->TNCSeleccionado);
        Guarda(e, "editor-subtipos");
        PulsaCelda(e->wwDBGridTipGrup, "ASIG2", 1);
    });
    // A subject cell is edited through the hidden lookup-dialog combo, over
    // the course's subjects; the dialog left with Escape changes nothing.
    std::string asig2;
    Luego([&](TCustomForm*) {
        TControl* combo = Ui.Find(e, "wwDBLookupComboDlg1");
        EXPECT_EQ(e->wwDBGridTipGrup->ActiveCellControl(), combo);
        auto* edit = dynamic_cast<TCustomEdit*>(combo);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->Text(), e->wwTableTipos->FieldByName("ASIG2")->AsString());
        asig2 = ToUtf8(e->wwTableTipos->FieldByName("ASIG2")->AsString());
        Ui.Key(VK_DOWN, {ssAlt});
    });
    Luego([&](TCustomForm* D) {
        auto* d = dynamic_cast<TwwLookupDlg*>(D);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Caption(), "Lookup");
        EXPECT_EQ(d->DataSet, e->wwTableAsigcur);
        EXPECT_EQ(ToUtf8(d->DataSet->FieldByName("ASIG")->AsString()), asig2) << "on the cell's subject";
        Ui.Key(VK_ESCAPE);
    });
    Luego([&](TCustomForm* D) {
        EXPECT_EQ(D, e);
        EXPECT_EQ(ToUtf8(e->wwTableTipos->FieldByName("ASIG2")->AsString()), asig2);
        Elige(e->CBBloques, 0);
    });
    Luego([&](TCustomForm*) {
        EXPECT_EQ(e->CBBloques->Text(), ItemTodos);
        EXPECT_EQ(e->wwTableTipos->RecordCount(), static_cast<int>(tipos2.size()));
        EXPECT_EQ(ToUtf8(e->Bloque()), tipos2.front().at("ASIGS"));
        PulsaCelda(e->wwDBGridTipGrup, "NALUM", 1);
        Ui.Key(VK_INSERT);
    });
    for (const char* alumnos : {"7", "8"})
        Luego([&, alumnos](TCustomForm*) {
            TDataSet* t = e->wwTableTipos;
            EXPECT_EQ(t->State(), dsInsert);
            EXPECT_EQ(ToUtf8(t->FieldByName("ASIGS")->AsString()), tipos2.front().at("ASIGS"));
            EXPECT_EQ(t->FieldByName("TNC")->AsString(), Estado->TNCSeleccionado);
            nuevos.push_back(ToUtf8(t->FieldByName("N")->AsString()));
            Ui.Type(alumnos);
            Ui.Key(VK_RETURN);
            // The second row: Insert posts the first and starts another.
            if (std::string(alumnos) == "7") Ui.Key(VK_INSERT);
            else Pulsa(e->BCerrar);
        });
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.StepsLeft(), 0u);
    EXPECT_EQ(EdiTiposForm2, nullptr) << "freed when closed";
    ASSERT_EQ(nuevos.size(), 2u);
    EXPECT_NE(nuevos[0], nuevos[1]);
    const TFilasTabla despues = FilasDe(Carpeta, "tipos2");
    std::map<std::string, std::string> alumnosDe;
    for (const auto& f : despues) alumnosDe[f.at("N")] = f.at("NALUM");
    for (size_t i = 0; i < nuevos.size(); ++i) {
        EXPECT_EQ(usados.count(nuevos[i]), 0u) << nuevos[i] << " is in use";
        EXPECT_EQ(alumnosDe[nuevos[i]], i == 0 ? "7" : "8") << nuevos[i];
    }
    EXPECT_EQ(despues.size(), tipos2.size() + 2);
    CompruebaPantalla();
    EXPECT_EQ(FilasDe(Carpeta, "conex"), conex) << "the connections are not built again";
}

// The type-in-group editor opens on the group of the row double clicked.
// Only the divisions and connections take what is typed; rows can be
// deleted but not added; every "AS..." cell is silver. Closed, the screen
// builds its connections again from what was typed.
TEST_F(EditoresTipos, TheTypeInGroupEditorChangesOnlyDivisionsAndConnectionsAndDeletesRows) {
    TipoAGrupo(T, "B");
    const TFilasTabla tipgrup2 = FilasDe(Carpeta, "tipgrup2");
    TOvcDbReportView* v = T->ODBRVTipGrup;
    AbreEditor(v);
    const std::string grupo = Texto(v, 1, "GRUPO");
    const std::string n = Texto(v, 1, "N");
    TEdiTipGrupForm2* e = nullptr;
    int filas = 0;
    Luego([&](TCustomForm* D) {
        e = dynamic_cast<TEdiTipGrupForm2*>(D);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->HelpContext(), 2008);
        EXPECT_EQ(Items(e->CBGrupos), Distintos(tipgrup2, "GRUPO", false));
        EXPECT_EQ(ToUtf8(e->CBGrupos->Text()), grupo);
        filas = e->wwTableTipGrup->RecordCount();
        int delGrupo = 0;
        for (const auto& f : tipgrup2) delGrupo += f.at("GRUPO") == grupo;
        EXPECT_EQ(filas, delGrupo);
        CompruebaLugar(e, T->Top(), AltoEditorTipGrup(T));

        // The cells of ASIG2 and DIV2 of the first row (not the current
        // cell, which is drawn highlighted), a pixel inside each.
        TwwDBGrid* g = e->wwDBGridTipGrup;
        const TSurface& foto = Ui.Picture(e);
        auto dentro = [&](const char* Campo) {
            const TRect r = g->CellRect(Columna(g, Campo), 1);
            const TPoint p = g->ClientToScreen(TPoint(r.Right - 2, r.Top + 1));
            return foto.GetPixel(p.x - e->Left(), p.y - e->Top());
        };
        EXPECT_EQ(dentro("ASIG2"), ColorRefToPixel(ColorToRGB(ColorAsignaturas)));
        EXPECT_EQ(dentro("DIV2"), ColorRefToPixel(ColorToRGB(g->Color())));
        Guarda(e, "editor-tipos-en-grupos");
        // "Todos" shows every row.
        Elige(e->CBGrupos, 0);
    });
    Luego([&](TCustomForm*) {
        EXPECT_EQ(e->wwTableTipGrup->RecordCount(), static_cast<int>(tipgrup2.size()));
        const std::vector<std::string> items = Items(e->CBGrupos);
        Elige(e->CBGrupos, static_cast<int>(std::find(items.begin(), items.end(), grupo) - items.begin()));
    });
    // What a cell takes: "9" typed into each column of the first row.
    struct TCelda {
        const char* Campo;
        bool Cambia;
    };
    static const TCelda celdas[] = {{"NALUM", false}, {"GRUPO", false}, {"OPCION", false}, {"ASIG1", false},
                                    {"ASIG3", false}, {"DIV1", true},   {"CON1", true},    {"DIV16", true}};
    for (const TCelda& c : celdas) {
        Luego([&, c](TCustomForm*) {
            e->wwTableTipGrup->First();
            PulsaCelda(e->wwDBGridTipGrup, c.Campo, 1);
            Ui.Type("9");
            Ui.Key(VK_RETURN);
        });
        Luego([&, c](TCustomForm*) {
            SCOPED_TRACE(c.Campo);
            TDataSet* t = e->wwTableTipGrup;
            EXPECT_EQ(ToUtf8(Trim(t->FieldByName(c.Campo)->AsString())) == "9", c.Cambia);
            t->CheckBrowseMode();
        });
    }
    // No row can be added: neither Insert nor Down past the last row.
    Luego([&](TCustomForm*) {
        EXPECT_EQ(e->wwTableTipGrup->FieldByName("N")->AsString(), n);
        Ui.Key(VK_INSERT);
        for (int i = 0; i <= filas; ++i) Ui.Key(VK_DOWN);
    });
    Luego([&](TCustomForm*) {
        EXPECT_EQ(e->wwTableTipGrup->State(), dsBrowse);
        EXPECT_EQ(e->wwTableTipGrup->RecordCount(), filas);
        // The first row deleted (after the grid's question).
        Ui.Key(VK_HOME, {ssCtrl});
        Ui.Key(VK_DELETE, {ssCtrl});
    });
    Responde();  // "Delete record?"
    Luego([&](TCustomForm*) {
        EXPECT_EQ(e->wwTableTipGrup->RecordCount(), filas - 1);
        Pulsa(e->BCerrar);
    });
    Ui.RunUntilIdle();
    EXPECT_EQ(Ui.StepsLeft(), 0u);
    ASSERT_EQ(Mensajes, std::vector<std::string>{"Delete record?"});
    EXPECT_EQ(EdiTipGrupForm2, nullptr) << "freed when closed";
    const TFilasTabla despues = FilasDe(Carpeta, "tipgrup2");
    EXPECT_EQ(despues.size(), tipgrup2.size() - 1);
    EXPECT_EQ(Numeros(despues).count(n), 0u) << "the row deleted";
    // The other rows are as they were.
    for (const auto& f : despues) {
        const auto antes = std::find_if(tipgrup2.begin(), tipgrup2.end(),
                                        [&](const auto& a) { return a.at("N") == f.at("N"); });
        ASSERT_NE(antes, tipgrup2.end()) << f.at("N");
        for (const char* campo : {"NALUM", "GRUPO", "ASIG1", "DIV1", "CON1"})
            EXPECT_EQ(f.at(campo), antes->at(campo)) << f.at("N") << " " << campo;
    }
    CompruebaPantalla();
}

// The connections are built anew from what the type-in-group editor leaves.
TEST_F(EditoresTipos, TheConnectionsComeFromWhatTheTypeInGroupEditorLeaves) {
    TOvcDbReportView* v = T->ODBRVTipGrup;
    AbreEditor(v);
    const std::string n = Texto(v, 1, "N");
    Luego([&](TCustomForm* D) {
        auto* e = static_cast<TEdiTipGrupForm2*>(D);
        PulsaCelda(e->wwDBGridTipGrup, "CON1", 1);
        Ui.Type("Z");
        Ui.Key(VK_RETURN);
        Pulsa(e->BCerrar);
    });
    Ui.RunUntilIdle();
    std::string grupo;
    for (const auto& f : FilasDe(Carpeta, "tipgrup2"))
        if (f.at("N") == n) {
            EXPECT_EQ(f.at("CON1"), "Z");
            grupo = f.at("GRUPO");
        }
    int conZ = 0;
    for (const auto& c : FilasDe(Carpeta, "conex")) conZ += c.at("CON") == "Z" && c.at("GRUPO") == grupo;
    EXPECT_EQ(conZ, 1) << "one connection row for the slot";
    EXPECT_EQ(T->ODBRVConex->Engine().GetLines(), static_cast<int>(FilasDe(Carpeta, "conex").size()));
}

// An editor closed with no row in its view stores nothing: it adds no row.
// While an editor is open the types screen does not close (nor merge).
TEST_F(EditoresTipos, AnEditorClosedEmptyStoresNoRowAndTheScreenWaitsForIt) {
    TipoAGrupo(T, "B");
    struct TCaso {
        const char* Que;
        TOvcDbReportView* Vista;
        const char* Tabla;
        std::function<TwwTable*(TCustomForm*)> TablaDe;
        std::function<TwwDBGrid*(TCustomForm*)> RejillaDe;
        std::function<TButton*(TCustomForm*)> Cerrar;
    };
    const TCaso casos[] = {
        {"subtypes", T->ODBRVTipos, "tipos2",
         [](TCustomForm* D) { return static_cast<TEdiTiposForm2*>(D)->wwTableTipos; },
         [](TCustomForm* D) { return static_cast<TEdiTiposForm2*>(D)->wwDBGridTipGrup; },
         [](TCustomForm* D) { return static_cast<TEdiTiposForm2*>(D)->BCerrar; }},
        {"types in groups", T->ODBRVTipGrup, "tipgrup2",
         [](TCustomForm* D) { return static_cast<TEdiTipGrupForm2*>(D)->wwTableTipGrup; },
         [](TCustomForm* D) { return static_cast<TEdiTipGrupForm2*>(D)->wwDBGridTipGrup; },
         [](TCustomForm* D) { return static_cast<TEdiTipGrupForm2*>(D)->BCerrar; }},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Que);
        const size_t antes = FilasDe(Carpeta, c.Tabla).size();
        const TFilasTabla guardados = FilasDe(Carpeta, "tipos");
        int borradas = 0;
        Mensajes.clear();
        AbreEditor(c.Vista);
        Luego([&](TCustomForm* D) {
            // The window manager asks the types screen to close meanwhile.
            PostMessage(T->Handle(), WM_CLOSE, 0, 0);
            borradas = c.TablaDe(D)->RecordCount();
            ASSERT_GT(borradas, 0);
            PulsaCelda(c.RejillaDe(D), "NALUM", 1);
            // One key at a time: a key queued behind a box would go to the box.
            for (int i = 0; i < borradas; ++i) {
                if (i > 0) Luego([&](TCustomForm*) { Ui.Key(VK_DELETE, {ssCtrl}); });
                else Ui.Key(VK_DELETE, {ssCtrl});
                Responde();  // "Delete record?"
            }
            Luego([&](TCustomForm* E) {
                EXPECT_TRUE(c.TablaDe(E)->IsEmpty());
                Pulsa(c.Cerrar(E));
            });
        });
        Ui.RunUntilIdle();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
        EXPECT_EQ(Mensajes.size(), static_cast<size_t>(borradas));
        EXPECT_EQ(FilasDe(Carpeta, c.Tabla).size(), antes - static_cast<size_t>(borradas));
        EXPECT_EQ(TiposForm, T) << "the screen stayed open";
        EXPECT_TRUE(T->Visible());
        EXPECT_EQ(FilasDe(Carpeta, "tipos"), guardados) << "nothing merged";
        CompruebaPantalla();
    }
}

// On a low screen the types screen's lower view is a sliver: the subtype
// editor's formula would make it too low and put its bottom off the screen.
// With the types screen dragged down, part of it off the screen, the
// type-in-group editor's would too. Opened by "Ed&itar", both stay on the
// screen, high enough for their bar and a few rows.
class EditoresPantallaPequena : public EditoresTipos {
protected:
    EditoresPantallaPequena() : EditoresTipos(800, 480) {}
};

TEST_F(EditoresPantallaPequena, TheEditorsStayOnTheScreen) {
    ASSERT_EQ(Screen->Height(), 480);
    struct TCaso {
        TButton* Boton;
        int Bajada;  // how far the types screen is dragged down first
        std::function<int()> Top, Alto;
    };
    const TCaso casos[] = {
        {T->BEditarTipos, 0, [&] { return TopEditorTipos(T); }, [&] { return AltoEditorTipos(T); }},
        {T->BEditarTipGrup, 150, [&] { return T->Top(); }, [&] { return AltoEditorTipGrup(T); }},
    };
    for (const TCaso& c : casos) {
        T->SetTop(T->Top() + c.Bajada);
        const int top = c.Top(), alto = c.Alto();
        EXPECT_GT(top + std::max(alto, AltoMinimoEditor), Screen->Height())
            << "the formula leaves the screen";
        Pulsa(c.Boton);
        Luego([&](TCustomForm* D) {
            CompruebaLugar(D, top, alto);
            Ui.Click(D, "BCerrar");
        });
        Ui.RunUntilIdle();
        EXPECT_EQ(Ui.StepsLeft(), 0u);
    }
}

}  // namespace
