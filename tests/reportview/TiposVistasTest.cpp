// The types screen's report views as a sample form over a small school
// whose types the types engine computed: the form as the screen has it,
// its lines, totals and pixels by formula, and the road the program takes
// through the views (reopening, collapsing, the current line, selection
// and its enumeration, the pickers).
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "OvcTestSupport.h"
#include "forms/TiposVistas.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/sys/Sound.h"
#include "shell/AppState.h"
#include "tests/support/TempMachine.h"
#include "tests/support/TestResources.h"

namespace {

using Texts = std::vector<std::string>;

class TiposVistas : public ScreenTest {
protected:
    TiposVistas() : ScreenTest(kTestResources) { RegisterTiposVistas(); }
    void SetUp() override {
        Machine.emplace("tiposvistas");
        std::filesystem::create_directories(Machine->Root() / "c" / "PROG" / "datos");
        State = NewComponent<TAppState>(nullptr);
        State->ApuntaBaseDatos("C:\\PROG\\datos\\");
        MakeTiposSchool();
        F = Open<TTiposVistasForm>();
        F->Show();
        Ui.RunUntilIdle();
    }
    void TearDown() override {
        if (F) F->Free();
        if (State) State->Free();
        Machine.reset();
    }
    // The rows of a table by record number: field to text.
    std::map<int, std::map<std::string, AnsiString>> Records(const char* Table) {
        std::map<int, std::map<std::string, AnsiString>> rows;
        auto t = OpenTempTable("Zelmor", Table);
        int recno = 1;
        for (t->First(); !t->Eof(); t->Next(), ++recno)
            for (int i = 0; i < t->FieldCount(); ++i)
                rows[recno][t->Fields()->Fields(i)->FieldName()] = t->Fields()->Fields(i)->AsString();
        return rows;
    }
    static intptr_t Rec(void* Item) { return reinterpret_cast<intptr_t>(Item); }
    // A pixel of the list body, at a point of its client area.
    uint32_t BodyPixel(TOvcDbReportView* V, int X, int Y) {
        TPoint p = V->ListBox()->ClientToScreen(TPoint(X, Y));
        return PixelOf(Ui, F, p.x - F->Left(), p.y - F->Top());
    }
    TPoint LineCenter(TOvcDbReportView* V, int Line, int X) {
        return TPoint(X, (Line - V->ListBox()->TopIndex()) * V->ListBox()->RowHeight() + 7);
    }

    std::optional<TTempMachine> Machine;
    TAppState* State = nullptr;
    TTiposVistasForm* F = nullptr;
};

TEST_F(TiposVistas, TheFormHasTheScreensViews) {
    struct VF {
        const char* Name;
        const char* Field;
        int Width;
        bool Group, Totals, Resize, Hint;
    };
    struct Expected {
        TOvcDbReportView* View;
        const char* Name;
        const char* Title;
        std::vector<VF> Fields;
    };
    std::vector<Expected> expected = {
        {F->ODBRVTipos,
         "A",
         "Simple",
         {{"A_ODBRVTiposASIGSCU", "ODBRVTiposASIGSCU", 18, true, false, false, true},
          {"A_ODBRVTiposNALUM", "ODBRVTiposNALUM", 29, false, true, true, false},
          {"A_ODBRVTiposASIGS", "ODBRVTiposASIGS", 447, false, false, true, true}}},
        {F->ODBRVTipos,
         "Coliumas",
         "Columnas",
         {{"Coliumas_ODBRVTiposASIGSCUCOL", "ODBRVTiposASIGSCUCOL", 19, true, false, false, true},
          {"Coliumas_ODBRVTiposNALUM", "ODBRVTiposNALUM", 29, false, true, true, false},
          {"Coliumas_ODBRVTiposASIGSCOL", "ODBRVTiposASIGSCOL", 800, false, false, true, true}}},
        {F->ODBRVTipGrup,
         "C_1",
         "Solo Conex en Columnas",
         {{"C_1_ODBRVTipGrupGRUPO", "ODBRVTipGrupGRUPO", 18, true, false, false, true},
          {"C_1_ODBRVTipGrupNALUM", "ODBRVTipGrupNALUM", 31, false, true, true, false},
          {"C_1_ODBRVTipGrupASIGSDC3", "ODBRVTipGrupASIGSDC3", 2000, false, false, true, true}}},
        {F->ODBRVConex,
         "A",
         "A",
         {{"A_ODBRVConexCON", "ODBRVConexCON", 18, true, false, false, true},
          {"A_ODBRVConexGRUPO", "ODBRVConexGRUPO", 14, false, false, true, true},
          {"A_ODBRVConexASIGDIV", "ODBRVConexASIGDIV", 39, false, false, true, true},
          {"A_ODBRVConexNALUM1", "ODBRVConexNALUM1", 29, false, false, true, false}}}};
    for (const Expected& e : expected) {
        auto* view = static_cast<TOvcRVView*>(e.View->FindView(e.Name));
        EXPECT_EQ(view->Title(), e.Title);
        ASSERT_EQ(view->ViewFields()->Count(), int(e.Fields.size())) << e.Name;
        for (size_t i = 0; i < e.Fields.size(); ++i) {
            TOvcRvViewField* vf = view->GetViewField(int(i));
            const VF& x = e.Fields[i];
            EXPECT_EQ(vf->Name(), x.Name);
            EXPECT_EQ(vf->FieldName(), x.Field);
            EXPECT_EQ(vf->GetWidth(), x.Width) << x.Name;
            EXPECT_EQ(vf->GetPrintWidth(), 1440);
            EXPECT_EQ(vf->GroupBy(), x.Group) << x.Name;
            EXPECT_EQ(vf->ComputeTotals(), x.Totals) << x.Name;
            EXPECT_EQ(vf->AllowResize(), x.Resize) << x.Name;
            EXPECT_EQ(vf->ShowHint(), x.Hint) << x.Name;
            EXPECT_NE(vf->BoundField(), nullptr) << x.Name;
        }
    }
    Texts titles;
    for (int i = 0; i < F->ODBRVTipGrup->Views()->Count(); ++i)
        titles.push_back(F->ODBRVTipGrup->GetView(i)->Title());
    EXPECT_EQ(titles,
              (Texts{"Simple", "Asig en columnas", "Conex y Asig en Columnas", "Solo Conex en Columnas"}));
    for (TOvcDbReportView* v : {F->ODBRVTipos, F->ODBRVTipGrup, F->ODBRVConex}) {
        EXPECT_EQ(v->Font()->Name(), "Terminal");
        EXPECT_EQ(v->Font()->Charset(), OEM_CHARSET);
        EXPECT_EQ(v->Font()->Height(), -12);
        EXPECT_EQ(v->ListBox()->RowHeight(), 15);
        EXPECT_EQ(v->GroupColor(), TColor(12713983));
        EXPECT_EQ(v->Options()->ListColor(), TColor(11658238));
        EXPECT_TRUE(v->RefreshOnMove());
        EXPECT_FALSE(v->UseRecordCount());
        EXPECT_EQ(v->KeyTimeout(), 1000);
        EXPECT_EQ(v->Controller(), F->OvcController1);
    }
    EXPECT_TRUE(F->ODBRVTipos->MultiSelect());
    EXPECT_EQ(F->ODBRVTipos->GridLines(), glBoth);
    EXPECT_FALSE(F->ODBRVTipGrup->MultiSelect());
    EXPECT_EQ(F->ODBRVTipGrup->GridLines(), glNone);
    EXPECT_EQ(F->ODBRVTipGrup->ActiveView(), "C_1");
    EXPECT_EQ(F->ODBRVTipGrup->WidthSection(), "TiposForm.ODBRVTipGrup.C_1");
}

TEST_F(TiposVistas, LinesTotalsAndCaptionsComeFromTheTables) {
    TOvcDbReportView* v = F->ODBRVTipos;
    auto rows = Records("tipos2");
    // One group line per type (ASIGSCU), each with its subtypes' students.
    std::map<AnsiString, int> types;
    for (auto& [recno, row] : rows) types[row["ASIGSCU"]] += std::stoi(row["NALUM"]);
    TOvcRvEngine& e = v->Engine();
    ASSERT_EQ(e.GetLines(), int(types.size()));
    for (int line = 0; line < e.GetLines(); ++line) {
        TOvcRvIndexGroup* g = e.GetGroupRef(line);
        AnsiString key = v->GetFieldAsString(g->GetData(), 7);  // ASIGSCU
        EXPECT_EQ(v->DoGetGroupString(1, g), IntToStr(types[key])) << key;
    }
    v->ExpandAll(true);
    for (int line = 0; line < e.GetLines(); ++line) {
        if (e.GetIsGroup(line)) continue;
        void* item = e.GetData(line);
        EXPECT_EQ(v->GetFieldAsString(item, 0), rows[int(Rec(item))]["N"]) << "field 0 is N";
    }
    TOvcRVHeader* h = v->Header();
    EXPECT_EQ(h->GetSection(0)->Caption(), "");
    EXPECT_EQ(h->GetSection(1)->Caption(), "Alum");
    EXPECT_EQ(h->GetSection(2)->Caption(), "Asignaturas");
    EXPECT_EQ(h->GetSection(0)->ImageIndex(), 0) << "sorted on the type, ascending";
    EXPECT_EQ(v->GetField(7)->Caption(), "      Tipo");
    // The types in groups: field 4 is GRUPO, the long texts are report fields.
    TOvcDbReportView* g = F->ODBRVTipGrup;
    auto groups = Records("tipgrup2");
    g->ExpandAll(true);
    std::set<AnsiString> seen;
    for (int line = 0; line < g->Engine().GetLines(); ++line) {
        if (g->Engine().GetIsGroup(line)) continue;
        void* item = g->Engine().GetData(line);
        EXPECT_EQ(g->GetFieldAsString(item, 4), groups[int(Rec(item))]["GRUPO"]);
        seen.insert(g->GetFieldAsString(item, 4));
    }
    EXPECT_EQ(seen, (std::set<AnsiString>{"A", "B"}));
    EXPECT_EQ(g->Header()->GetSection(2)->Caption(), "Asignatura.Division:Conexion");
    EXPECT_EQ(g->GetField(4)->Caption(), "        Alumnos en el grupo");
    std::set<AnsiString> connections;
    for (auto& [recno, row] : Records("conex")) connections.insert(row["CON"]);
    EXPECT_EQ(F->ODBRVConex->Engine().GetLines(), int(connections.size())) << "a line per connection";
}

TEST_F(TiposVistas, TheLinesAreDrawnWhereTheWidthsSay) {
    TOvcDbReportView* v = F->ODBRVTipos;
    v->SetExpanded(v->Engine().GetGroupRef(0), true);
    Ui.RunUntilIdle();
    const uint32_t group = Rgb(v->GroupColor()), list = Rgb(v->Options()->ListColor());
    const uint32_t text = Rgb(clBtnText);
    const int rh = 15;
    // Line 0 is an expanded group: its box shows a minus and no stroke.
    const int cx = 1 + 2 + (rh - 4) / 2, cy = 2 + (rh - 4) / 2;
    EXPECT_EQ(BodyPixel(v, cx, cy), text);
    EXPECT_NE(BodyPixel(v, cx, cy - 2), text);
    EXPECT_EQ(BodyPixel(v, 600, 3), group) << "the group line's colour";
    // Line 2 is collapsed (the next group): a plus.
    int next = 1;
    while (!v->Engine().GetIsGroup(next)) ++next;
    EXPECT_EQ(BodyPixel(v, cx, next * rh + cy - 2), text) << "the stroke of the plus";
    // Line 1 is an item: the group column is painted in the group colour,
    // the columns end in grid lines at the right edge of each cell.
    const int y = rh + 5;
    EXPECT_EQ(BodyPixel(v, 5, y), group);
    auto grid = [&](uint32_t P) { return P == 0xFFFFFF || P == 0xC0C0C0; };
    const int cell1Right = 1 + 18 - 1 + 1 + 29 - 1;  // cells from x 1, each its width less the margin
    EXPECT_TRUE(grid(BodyPixel(v, cell1Right - 1, y))) << "the vertical grid line";
    EXPECT_EQ(BodyPixel(v, cell1Right - 2, rh + 2), list);
    EXPECT_TRUE(grid(BodyPixel(v, 600, 2 * rh - 1))) << "the horizontal grid line";
    const int cell2Right = cell1Right + 1 + 447 - 1;
    EXPECT_TRUE(grid(BodyPixel(v, cell2Right - 1, y)));
    EXPECT_EQ(BodyPixel(v, cell2Right + 3, y), list);
    // The texts lie on their line's colour: the middle of a space inside
    // the group text (after the type's caption) and inside an item's
    // subjects shows the background, not a box in the last brush used.
    TCanvas* canvas = v->ListBox()->Canvas();
    canvas->Font()->Assign(v->Font());
    const int space = canvas->TextWidth(" ");
    const AnsiString caption = v->GetField(7)->Caption();
    const int textLeft = 1 + 18 - 1 + 1;
    EXPECT_EQ(BodyPixel(v, textLeft + canvas->TextWidth(caption) + space / 2, cy), group)
        << "a space in the group text";
    const AnsiString subjects = v->GetFieldAsString(v->Engine().GetData(1), 5);  // ASIGS
    const size_t gap = subjects.find(' ');
    ASSERT_NE(gap, AnsiString::npos) << subjects;
    EXPECT_EQ(BodyPixel(v, cell1Right + 1 + 2 + canvas->TextWidth(subjects.substr(0, gap)) + space / 2, y),
              list)
        << "a space in an item's text";
    // The view without grid lines has none.
    TOvcDbReportView* g = F->ODBRVTipGrup;
    g->ExpandAll(true);
    Ui.RunUntilIdle();
    EXPECT_EQ(BodyPixel(g, 1 + 18 - 1 + 1 + 31 - 2, rh + 5), Rgb(g->Options()->ListColor()));
}

TEST_F(TiposVistas, TheProgramsRoadThroughTheViews) {
    TOvcDbReportView* v = F->ODBRVTipos;
    // Collapsing leaves one line per type; a group line has no current
    // item, and its group gives its first row.
    v->ExpandAll(true);
    TTiposVistasForm::Rebuild(F->TTipos, v);
    const int types = v->Engine().GetLines();
    v->ListBox()->SetItemIndex(1);
    EXPECT_EQ(v->GetCurrentItem(), nullptr);
    ASSERT_NE(v->GetCurrentGroup(), nullptr);
    TOvcRvIndexGroup* group = v->GetCurrentGroup();
    void* first = group->GetData();
    EXPECT_EQ(first, v->Engine().GetData(1)) << "the group's first row";
    v->ExpandAll(true);
    EXPECT_EQ(v->Engine().GetData(v->Engine().GetOffsetOfGroup(group)), first) << "the first row shown in it";
    v->ExpandAll(false);
    // A new row appears after the table is opened again.
    {
        auto t = OpenTempTable("Zelmor", "tipos2");
        t->Append();
        t->FieldByName("N")->SetAsInteger(900);
        t->FieldByName("NALUM")->SetAsInteger(2);
        t->FieldByName("TNC")->SetAsString("DESO4");
        t->FieldByName("ASIGSCU")->SetAsString("zzz nuevo");
        t->Post();
    }
    TTiposVistasForm::Rebuild(F->TTipos, v);
    EXPECT_EQ(v->Engine().GetLines(), types + 1);
    F->TTipos->Locate("N", 900, {});
    Ui.RunUntilIdle();
    ASSERT_NE(v->GetCurrentItem(), nullptr) << "the focus follows the table";
    EXPECT_EQ(v->GetFieldAsString(v->GetCurrentItem(), 0), "900");
    // The pickers.
    Texts items;
    for (int i = 0; i < F->OvcViewComboBox1->GetList()->Count(); ++i)
        items.push_back(F->OvcViewComboBox1->GetList()->Get(i));
    EXPECT_EQ(items, (Texts{"Simple", "Columnas"}));
    EXPECT_EQ(F->OvcViewComboBox2->Text(), "Solo Conex en Columnas");
    v->SetActiveViewByTitle("Columnas");
    EXPECT_EQ(v->ActiveView(), "Coliumas");
    EXPECT_EQ(F->OvcViewComboBox1->Text(), "Columnas");
    // A letter in a grouped view beeps.
    v->SetFocus();
    Ui.RunUntilIdle();
    TBeepRecorder beeps;
    Ui.Type("a");
    Ui.RunUntilIdle();
    EXPECT_EQ(beeps.Beeps(), (std::vector<unsigned>{MB_ICONHAND}));
}

TEST_F(TiposVistas, TheSubtypesSelectedAreExactlyThoseMarked) {
    TOvcDbReportView* v = F->ODBRVTipos;
    v->ExpandAll(true);
    Ui.RunUntilIdle();
    TOvcRVListBox* lb = v->ListBox();
    TOvcRvEngine& e = v->Engine();
    std::vector<int> items;
    for (int line = 0; line < e.GetLines(); ++line)
        if (!e.GetIsGroup(line)) items.push_back(line);
    ASSERT_GE(items.size(), 3u);
    const int textX = 200;
    Ui.Click(lb, LineCenter(v, items[0], textX));
    Ui.RunUntilIdle();
    Clock.Advance(1000);
    Ui.KeyDown(VK_SHIFT);
    Ui.Click(lb, LineCenter(v, items[1], textX));
    Ui.KeyUp(VK_SHIFT);
    Ui.RunUntilIdle();
    EXPECT_TRUE(e.GetSelected(items[0]) && e.GetSelected(items[1])) << "a range from the anchor";
    Clock.Advance(1000);
    Ui.KeyDown(VK_CONTROL);
    Ui.Click(lb, LineCenter(v, items[2], textX));
    Ui.KeyUp(VK_CONTROL);
    Ui.RunUntilIdle();
    Clock.Advance(1000);
    // A whole group with Ctrl, then one of its rows off again with Ctrl.
    int groupLine = e.GetLines() - 1;
    while (!e.GetIsGroup(groupLine)) --groupLine;
    Ui.KeyDown(VK_CONTROL);
    Ui.Click(lb, LineCenter(v, groupLine, textX));
    Ui.RunUntilIdle();
    Clock.Advance(1000);
    const bool groupHasRow = groupLine + 1 < e.GetLines() && !e.GetIsGroup(groupLine + 1);
    if (groupHasRow) Ui.Click(lb, LineCenter(v, groupLine + 1, textX));
    Ui.KeyUp(VK_CONTROL);
    Ui.RunUntilIdle();
    // What shows selected, and the records under it.
    std::vector<int> shown;
    std::set<AnsiString> expected;
    for (int line = e.GetLines() - 1; line >= 0; --line)
        if (!e.GetIsGroup(line) && e.GetSelected(line)) {
            shown.push_back(line);
            expected.insert(v->GetFieldAsString(e.GetData(line), 0));
        }
    ASSERT_FALSE(shown.empty());
    if (groupHasRow) {
        EXPECT_FALSE(e.GetSelected(groupLine + 1)) << "the row taken off reads unselected";
    }
    std::vector<AnsiString> visited;
    v->OnEnumerate = [&](TObject* Sender, bool& Stop, void* UserData) {
        visited.push_back(F->TTipos->FieldByName("N")->AsString());
        F->ODBRVTiposEnumerate(Sender, Stop, UserData);
    };
    v->EnumerateSelected(nullptr);
    std::vector<AnsiString> inOrder;
    for (int line : shown) inOrder.push_back(v->GetFieldAsString(e.GetData(line), 0));
    EXPECT_EQ(visited, inOrder) << "each shown selected, the later line first, the table on it";
    std::set<AnsiString> marked;
    for (auto& [recno, row] : Records("tipos2"))
        if (row["SELEC"] == "True") marked.insert(row["N"]);
    EXPECT_EQ(marked, expected);
}

}  // namespace

namespace {

// The sample in a real X window.
class TiposVistasX11 : public X11ScreenTest {
protected:
    TiposVistasX11() : X11ScreenTest(kTestResources) { RegisterTiposVistas(); }
};

TEST_F(TiposVistasX11, ARealClickOnAGroupsBoxExpandsIt) {
    TDisplay& Xd = X();
    TTempMachine machine("tiposx11");
    std::filesystem::create_directories(machine.Root() / "c" / "PROG" / "datos");
    auto* state = NewComponent<TAppState>(nullptr);
    state->ApuntaBaseDatos("C:\\PROG\\datos\\");
    MakeTiposSchool();
    {
        auto* F = Open<TTiposVistasForm>();
        F->Show();
        Application->ProcessMessages();
        UpdateWindow(F->Handle());
        TOvcDbReportView* v = F->ODBRVTipos;
        TOvcRvIndexGroup* first = v->Engine().GetGroupRef(0);
        ASSERT_FALSE(first->Expanded());
        // The box of the first line: two pixels into the first cell, two below the top.
        const int side = v->ListBox()->RowHeight() - 4;
        TPoint box = v->ListBox()->ClientToScreen(TPoint(1 + 2 + side / 2, 2 + side / 2));
        const TPoint origin = F->ClientOrigin();
        const int x = box.x - origin.x, y = box.y - origin.y;
        uint32_t before = 0, after = 0;
        ASSERT_TRUE(X11ReadBack(Xd, F->Handle(), x, y - 2, before));
        Clock.Advance(1000);
        ASSERT_TRUE(X11SendButton(Xd, F->Handle(), true, 1, x, y));
        ASSERT_TRUE(X11SendButton(Xd, F->Handle(), false, 1, x, y));
        Application->ProcessMessages();
        UpdateWindow(F->Handle());
        EXPECT_TRUE(first->Expanded());
        EXPECT_FALSE(v->Engine().GetIsGroup(1)) << "its rows follow its line";
        ASSERT_TRUE(X11ReadBack(Xd, F->Handle(), x, y - 2, after));
        EXPECT_EQ(before, Rgb(clBtnText)) << "a plus";
        EXPECT_NE(after, Rgb(clBtnText)) << "a minus now";
        F->Free();
    }
    state->Free();
}

}  // namespace
