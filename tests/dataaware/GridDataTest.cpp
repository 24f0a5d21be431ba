// The grid over a small table of its own: the events as records and cells
// change, which cells may be typed into, how a typed text reaches its field,
// the vertical scroll bar, and the column layout that Selected lines give.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwpaintoptions.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

// The grid with its protected hooks in reach of the tests.
class TProbeGrid : public TwwDBGrid {
    ZELMOR_CLASS(TProbeGrid, TwwDBGrid)
public:
    using TwwDBGrid::CanEditModify;
    using TwwDBGrid::SetEditText;
    using TwwDBGrid::Sizing;
    using TwwDBGrid::TwwDBGrid;
    using TwwDBGrid::WriteEditText;
};
ZELMOR_IMPLEMENT_COMPONENT(TProbeGrid, TwwDBGrid)

class GridData : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("notas", {{"NOMBRE", ftString, 20},
                              {"NOTA", ftFloat},
                              {"HORAS", ftInteger},
                              {"FECHA", ftDate},
                              {"CLAVE", ftString, 4}});
        AddRows("notas", {{{"NOMBRE", "Ana"}, {"NOTA", "7"}, {"HORAS", "3"}, {"CLAVE", "A1"}},
                          {{"NOMBRE", "Luis"}, {"NOTA", "5,5"}, {"HORAS", "4"}, {"CLAVE", "B2"}},
                          {{"NOMBRE", "Eva"}, {"NOTA", "9"}, {"HORAS", "2"}, {"CLAVE", "C3"}}});
        Fm = NewPlainForm("GridDataForm", 500, 200);
        Shown = Fm;
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("notas");
        // Persistent fields, so that the table also has a calculated
        // date-time field (the tables on disk cannot hold times).
        AddField<TStringField>("NOMBRE")->SetSize(20);
        AddField<TFloatField>("NOTA");
        AddField<TIntegerField>("HORAS");
        AddField<TDateField>("FECHA");
        AddField<TStringField>("CLAVE")->SetSize(4);
        AddField<TDateTimeField>("MOMENTO")->SetCalculated(true);
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        G = NewComponent<TProbeGrid>(Fm);
        G->SetParent(Fm);
        G->SetBounds(0, 0, 500, 200);
        G->SetUseTFields(false);
        G->Selected()->SetText("NOMBRE\t12\tNombre\tF\nNOTA\t6\tNota\tF\tDatos\nHORAS\t5\tHoras\tF\tDatos\n"
                               "FECHA\t10\tFecha\tF\nCLAVE\t4\tClave\tT\nMOMENTO\t16\tMomento\tF\n");
        G->SetDataSource(S);
    }
    template <class TKind>
    TKind* AddField(const char* Name) {
        auto* F = NewComponent<TKind>(Fm);
        F->SetFieldName(Name);
        F->SetDataSet(T);
        return F;
    }
    void Open() {
        T->Open();
        Fm->Show();
        G->SetFocus();
        Idle();
    }
    TField* Field(const char* Name) { return T->FieldByName(Name); }
    // Makes a record (1-based) and a column current.
    void GoTo(int RecNo, const char* FieldName) {
        T->First();
        T->MoveBy(RecNo - 1);
        G->SetSelectedIndex(IndexOf(FieldName));
        Idle();
    }
    int IndexOf(const char* FieldName) {
        for (int I = 0; I < G->Selected()->Count(); ++I)
            if (G->Selected()->Strings(I).rfind(AnsiString(FieldName) + "\t", 0) == 0) return I;
        return -1;
    }
    TScrollInfo ScrollBar() {
        TScrollInfo Info;
        Info.fMask = SIF_ALL;
        GetScrollInfo(G->Handle(), SB_VERT, Info);
        return Info;
    }
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
    TProbeGrid* G = nullptr;
};

// Row, cell, column and field events, in the order they come: one row
// change when the table opens, then as the keys move and a value is typed.
TEST_F(GridData, EventsComeOnceEachInTheirOrder) {
    std::vector<std::string> Log;
    G->OnRowChanged = [&](TObject*) { Log.push_back("row"); };
    G->OnCellChanged = [&](TObject*) { Log.push_back("cell"); };
    G->OnColEnter = [&](TObject*) { Log.push_back("enter " + G->SelectedField()->FieldName()); };
    G->OnColExit = [&](TObject*) { Log.push_back("exit " + G->SelectedField()->FieldName()); };
    G->OnFieldChanged = [&](TObject*, TField* F) { Log.push_back("field " + F->FieldName()); };
    auto Take = [&] {
        std::vector<std::string> Taken;
        Taken.swap(Log);
        return Taken;
    };
    // Opened before the window exists: the column entered is reported with
    // the first row, whose cell change stands for both.
    Open();
    EXPECT_EQ(Take(), (std::vector<std::string>{"row", "cell", "enter NOMBRE"}));
    Keys("{Down}");
    EXPECT_EQ(Take(), (std::vector<std::string>{"row", "cell"}));
    Keys("{Tab}");
    EXPECT_EQ(Take(), (std::vector<std::string>{"exit NOMBRE", "enter NOTA", "cell"}));
    Keys("8{Tab}");
    EXPECT_EQ(Take(), (std::vector<std::string>{"field NOTA", "exit NOTA", "enter HORAS", "cell"}));
    EXPECT_EQ(Field("NOTA")->AsFloat(), 8.0);
    Keys("{Up}");
    EXPECT_EQ(Take(), (std::vector<std::string>{"row", "cell"}));
    EXPECT_EQ(T->State(), dsBrowse);
}

// Whether a cell may be typed into, case by case, on record 1: a yes puts
// the table into edit (or insert) mode, a no leaves it browsing.
struct TEditCase {
    const char* Name;
    const char* Field;
    void (*Setup)(TProbeGrid* G, TwwTable* T, TwwDataSource* S);
    bool Modifiable;
};

class GridEditable : public GridData, public ::testing::WithParamInterface<TEditCase> {};

TEST_P(GridEditable, CanEditModifyAnswersByGridLinkFieldAndColumn) {
    const TEditCase& C = GetParam();
    Open();
    GoTo(1, C.Field);
    if (C.Setup) C.Setup(G, T, S);
    EXPECT_EQ(G->CanEditModify(), C.Modifiable);
    EXPECT_EQ(T->State() == dsEdit || T->State() == dsInsert, C.Modifiable);
}

void EmptyTheTable(TwwTable* T) {
    while (T->RecordCount() > 0) T->Delete();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridEditable,
    ::testing::Values(
        TEditCase{"PlainColumn", "NOMBRE", nullptr, true},
        TEditCase{"ReadOnlyGrid", "NOMBRE",
                  [](TProbeGrid* G, TwwTable*, TwwDataSource*) { G->SetReadOnly(true); }, false},
        TEditCase{"ReadOnlyLink", "NOMBRE",
                  [](TProbeGrid* G, TwwTable*, TwwDataSource*) { G->DataLink()->SetReadOnly(true); }, false},
        TEditCase{"SourceWithoutAutoEdit", "NOMBRE",
                  [](TProbeGrid*, TwwTable*, TwwDataSource* S) { S->SetAutoEdit(false); }, false},
        TEditCase{"ReadOnlyField", "NOTA",
                  [](TProbeGrid*, TwwTable* T, TwwDataSource*) { T->FieldByName("NOTA")->SetReadOnly(true); },
                  false},
        // Only an upper-case "T" in the Selected line makes the column read-only.
        TEditCase{"ColumnFlaggedT", "CLAVE", nullptr, false},
        TEditCase{"ColumnFlaggedLowerT", "CLAVE",
                  [](TProbeGrid* G, TwwTable*, TwwDataSource*) {
                      G->Selected()->SetStrings(4, "CLAVE\t4\tClave\tt");
                  },
                  true},
        TEditCase{"CalculatedField", "MOMENTO", nullptr, false},
        TEditCase{"CalculatedFieldWithEditCalculated", "MOMENTO",
                  [](TProbeGrid* G, TwwTable*, TwwDataSource*) { G->SetEditCalculated(true); }, true},
        TEditCase{"ReadOnlyCalculatedFieldWithEditCalculated", "MOMENTO",
                  [](TProbeGrid* G, TwwTable* T, TwwDataSource*) {
                      G->SetEditCalculated(true);
                      T->FieldByName("MOMENTO")->SetReadOnly(true);
                  },
                  false},
        // An empty table is typed into by inserting, which dgAllowInsert allows.
        TEditCase{"EmptyTableWithoutInsert", "NOMBRE",
                  [](TProbeGrid* G, TwwTable* T, TwwDataSource*) {
                      EmptyTheTable(T);
                      G->SetKeyOptions({dgAllowDelete});
                  },
                  false},
        TEditCase{"EmptyTableWithInsert", "NOMBRE",
                  [](TProbeGrid*, TwwTable* T, TwwDataSource*) { EmptyTheTable(T); }, true}),
    [](const ::testing::TestParamInfo<TEditCase>& Info) { return std::string(Info.param.Name); });

// A typed text reaches its field through the field's kind: numbers are read
// back through their display format (an integer field rounds halves to the
// even number), and a date keeps the time of day typed after it when its
// field can hold one.
TEST_F(GridData, WriteEditTextReadsNumbersAndDatesAsTheyAreShown) {
    const TDateTime Day = EncodeDate(2026, 12, 3);
    struct Case {
        const char* Field;
        const char* DisplayFormat;
        const char* Text;
        double Stored;
    } Cases[] = {
        {"NOTA", "", "6,25", 6.25},
        {"NOTA", "#,##0.00", "1.234,50", 1234.5},
        {"NOTA", "#,##0.00", "(12,50)", -12.5},
        {"NOTA", "0.0 pts", "7,5 pts", 7.5},
        {"HORAS", "0.0", "2,5", 2},
        {"HORAS", "0.0", "3,5", 4},
        {"HORAS", "0.0", "-2,5", -2},
        {"HORAS", "0 h", "7 h", 7},
        {"FECHA", "", "03/12/2026", Day},
        {"FECHA", "", "3/12/26", Day},
        // A date field keeps the day of a text with a time.
        {"FECHA", "", "03/12/2026 10:30", Day},
        {"MOMENTO", "", "03/12/2026 10:30", Day + EncodeTime(10, 30, 0, 0)},
        {"MOMENTO", "", "03/12/2026 23:59:59", Day + EncodeTime(23, 59, 59, 0)},
        {"MOMENTO", "", "03/12/2026", Day},
        {"MOMENTO", "", "3/12/26 9:05", Day + EncodeTime(9, 5, 0, 0)},
        {"MOMENTO", "", "3/12/2026 9:05:07", Day + EncodeTime(9, 5, 7, 0)},
    };
    G->SetEditCalculated(true);
    // Left to itself the table would calculate MOMENTO again after each write.
    T->SetAutoCalcFields(false);
    Open();
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Field) + " " + C.Text);
        GoTo(1, C.Field);
        if (auto* N = dynamic_cast<TNumericField*>(Field(C.Field))) N->SetDisplayFormat(C.DisplayFormat);
        ASSERT_TRUE(G->CanEditModify());
        G->SetEditText(G->Col(), G->Row(), C.Text);
        G->WriteEditText();
        EXPECT_DOUBLE_EQ(Field(C.Field)->AsFloat(), C.Stored);
        T->Cancel();
    }
}

// The vertical bar gives the record number over the record count, and its
// thumb, dropped, goes to the record it stands for: at a real school's size
// as on three rows.
TEST_F(GridData, TheScrollBarFollowsTheRecordNumberAtAnySize) {
    Open();
    // Three records fill three rows, and the page is what the grid shows.
    int Page = G->VisibleRowCount();
    EXPECT_EQ(Page, 3);
    EXPECT_EQ(ScrollBar().nMin, 1);
    EXPECT_EQ(ScrollBar().nPos, 1);
    T->Last();
    Idle();
    EXPECT_EQ(ScrollBar().nPos, 3);
    EXPECT_EQ(ScrollBar().nMax, 3 + Page - 1);
    EXPECT_EQ(static_cast<int>(ScrollBar().nPage), Page);

    T->Close();
    std::vector<std::vector<std::pair<const char*, AnsiString>>> Rows;
    for (int I = 0; I < 3000; ++I) Rows.push_back({{"NOMBRE", "Alumno " + std::to_string(I)}});
    AddRows("notas", Rows);
    T->Open();
    Idle();
    Page = G->VisibleRowCount();
    EXPECT_GT(Page, 3);
    // Where a dropped thumb lands: past either end on the first or last record.
    struct Move {
        int Thumb;
        int RecNo;
    } Moves[] = {{1500, 1500}, {1, 1}, {-5, 1}, {9999, 3003}, {1500, 1500}};
    for (const Move& M : Moves) {
        SCOPED_TRACE(M.Thumb);
        SendMessage(G->Handle(), WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, M.Thumb), 0);
        Idle();
        EXPECT_EQ(T->RecNo(), M.RecNo);
        EXPECT_EQ(ScrollBar().nPos, M.RecNo);
        EXPECT_EQ(ScrollBar().nMax, 3003 + Page - 1);
        EXPECT_EQ(G->SelectedField()->FieldName(), "NOMBRE");
    }
    SendMessage(G->Handle(), WM_VSCROLL, MakeWParam(SB_PAGEDOWN, 0), 0);
    Idle();
    EXPECT_EQ(T->RecNo(), 1500 + Page);
    EXPECT_EQ(ScrollBar().nPos, 1500 + Page);
}

// The grid's layout from its Selected lines: where a point falls, the span
// of a group header, and a row height percentage of 0.
TEST_F(GridData, PointsFallInTheCellsTheLayoutGives) {
    Open();
    const TRect Nombre = G->CellRect(1, 1), Nota = G->CellRect(2, 1), Clave = G->CellRect(5, 2);
    const TRect Last = G->CellRect(G->ColCount() - 1, 1);
    struct Case {
        const char* Name;
        TPoint P;
        int Col, Row;
    } Cases[] = {
        {"indicator", {2, Nombre.Top + 2}, 0, 1},
        {"title", {Nombre.Left + 3, 2}, 1, 0},
        {"first pixel of a cell", {Nombre.Left, Nombre.Top}, 1, 1},
        {"last pixel of a cell", {Nombre.Right - 1, Nombre.Bottom - 1}, 1, 1},
        // The line right of and under a cell belongs to the cell.
        {"its column line", {Nombre.Right, Nombre.Top + 2}, 1, 1},
        {"its row line", {Nombre.Left + 2, Nombre.Bottom}, 1, 1},
        {"next cell", {Nota.Left, Nota.Top}, 2, 1},
        {"a later row", {Clave.Left + 1, Clave.Top + 1}, 5, 2},
        {"right of the last column", {Last.Right + 3, Last.Top + 2}, -1, -1},
        {"below the last row", {Nombre.Left + 2, G->CellRect(1, 3).Bottom + 3}, -1, -1},
    };
    for (const Case& C : Cases) {
        int Col = 0, Row = 0;
        G->CellAtPoint(C.P.x, C.P.y, Col, Row);
        EXPECT_EQ(Col, C.Col) << C.Name;
        EXPECT_EQ(Row, C.Row) << C.Name;
    }

    // A hidden column takes no room: its neighbour starts where it did.
    const int NotaLeft = Nota.Left;
    G->SetColWidthQuietly(2, -1);
    int Col = 0, Row = 0;
    G->CellAtPoint(NotaLeft + 1, Nombre.Top + 1, Col, Row);
    EXPECT_EQ(Col, 3);
}

// A column reads its Selected line as the lines stand after any change,
// made through any of the list's operations, also while the list is
// inside BeginUpdate (when it tells no one); the first line of a field
// name counts.
TEST_F(GridData, AColumnReadsItsSelectedLineAfterEveryChange) {
    Open();
    TStrings* Lines = G->Selected();
    const AnsiString Original = Lines->Text();
    auto Nota = [&] {
        TwwColumn* C = G->ColumnByFieldName("nota");
        return C->GroupName() + "|" + C->DisplayLabel() + "|" + (C->ReadOnly() ? "T" : "F") + "|" +
               std::to_string(C->DisplayWidth());
    };
    ASSERT_EQ(Nota(), "Datos|Nota|F|6");
    TStringList Other;
    Other.SetText("NOTA\t9\tOtra\tT\n");
    struct Case {
        const char* Name;
        std::function<void()> Change;
        const char* Expected;
    } Cases[] = {
        {"put", [&] { Lines->SetStrings(1, "NOTA\t7\tNota final\tT\tOtro"); }, "Otro|Nota final|T|7"},
        {"delete", [&] { Lines->Delete(1); }, "||F|0"},
        {"insert before", [&] { Lines->Insert(0, "Nota\t3\tPrimera\tT\tG"); }, "G|Primera|T|3"},
        {"add after", [&] { Lines->Add("NOTA\t3\tSegunda\tT\tG"); }, "Datos|Nota|F|6"},
        {"exchange", [&] { Lines->Exchange(1, 2); }, "Datos|Nota|F|6"},
        {"move", [&] { Lines->Move(1, 4); }, "Datos|Nota|F|6"},
        {"clear", [&] { Lines->Clear(); }, "||F|0"},
        {"text", [&] { Lines->SetText("NOTA\t8\tTexto\n"); }, "|Texto|F|8"},
        {"assign", [&] { Lines->Assign(&Other); }, "|Otra|T|9"},
        {"inside an update",
         [&] {
             Lines->BeginUpdate();
             Lines->SetStrings(1, "NOTA\t5\tCallada\tF\tX");
             EXPECT_EQ(Nota(), "X|Callada|F|5");
             Lines->EndUpdate();
         },
         "X|Callada|F|5"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Lines->SetText(Original);
        ASSERT_EQ(Nota(), "Datos|Nota|F|6");
        C.Change();
        EXPECT_EQ(Nota(), C.Expected);
    }
}

// A paint of part of the grid (a row whose value changed) leaves on the
// screen what a paint of the whole grid shows, also where the grid leaves
// its cells' background to an OnBeforePaint handler (here none) and the
// cells show what is under them: nothing of an earlier paint.
TEST_F(GridData, APartialPaintShowsWhatAWholePaintShows) {
    G->OnBeforePaint = [](TObject*) {};
    Open();
    auto Screen = [&] {
        std::vector<uint32_t> Pixels;
        for (int Y = 0; Y < G->ClientHeight(); ++Y)
            for (int X = 0; X < G->ClientWidth(); ++X) Pixels.push_back(Px(G, X, Y));
        return Pixels;
    };
    GoTo(1, "CLAVE");
    T->Edit();
    Field("NOMBRE")->SetAsString("Mmmmmmmm");
    T->Post();
    Idle();
    T->Edit();
    Field("NOMBRE")->SetAsString("Ii");
    T->Post();
    Idle();
    const std::vector<uint32_t> Partial = Screen();
    // Nothing of the longer name is left right of the shorter one.
    const TRect Cell = G->CellRect(1, 1);
    int Dark = 0;
    for (int Y = Cell.Top + 1; Y < Cell.Bottom - 1; ++Y)
        for (int X = Cell.Left + Cell.Width() / 2; X < Cell.Right - 1; ++X) Dark += Px(G, X, Y) == 0;
    EXPECT_EQ(Dark, 0);
    G->Invalidate();
    Idle();
    EXPECT_TRUE(Partial == Screen());
}

TEST_F(GridData, AGroupHeaderSpansItsRunOverTheTitles) {
    G->SetTitleLines(2);
    Open();
    TRect R;
    int First = 0, Last = 0;
    for (int GridCol : {2, 3}) {
        G->GetGroupHeaderRect(GridCol, 0, R, false, First, Last);
        EXPECT_EQ(First, 2);
        EXPECT_EQ(Last, 3);
        EXPECT_EQ(R.Left, G->CellRect(2, 0).Left);
        EXPECT_EQ(R.Right, G->CellRect(3, 0).Right);
        EXPECT_EQ(R.Top, 0);
        EXPECT_EQ(R.Bottom, G->RowHeights(0) / 2);
    }
    // A column outside any group has no header of its own.
    G->GetGroupHeaderRect(1, 0, R, false, First, Last);
    EXPECT_EQ(First, 1);
    EXPECT_EQ(Last, 1);
    // A hidden member leaves the run whole; the span closes over it.
    G->SetColWidthQuietly(3, -1);
    G->GetGroupHeaderRect(2, 0, R, false, First, Last);
    EXPECT_EQ(Last, 3);
    EXPECT_EQ(R.Right, G->CellRect(2, 0).Right);
}

// A percentage of 0 stands for 100 and changes nothing else: the rows keep
// their height and the percentage to go back to stays.
TEST_F(GridData, ARowHeightPercentOfZeroReadsAsAHundredAndChangesNothing) {
    Open();
    const int Plain = G->DefaultRowHeight();
    G->SetRowHeightPercent(150);
    const int Tall = G->DefaultRowHeight();
    EXPECT_GT(Tall, Plain);
    G->SetRowHeightPercent(0);
    EXPECT_EQ(G->RowHeightPercent(), 100);
    EXPECT_EQ(G->DefaultRowHeight(), Tall);
    EXPECT_EQ(G->SavedRowHeightPercent(), 150);
    G->RestoreRowHeightPercent();
    EXPECT_EQ(G->DefaultRowHeight(), Tall);
}

// ControlType lines: the last line of a field decides how its
// cells are painted, the first line naming a separate control decides the
// control, also when that control is missing from the form.
TEST_F(GridData, ControlTypeLinesDecidePaintingByTheLastAndTheControlByTheFirst) {
    auto* ENota = NewComponent<TwwDBEdit>(Fm);
    ENota->SetName("ENota");
    ENota->SetParent(Fm);
    struct Case {
        std::vector<const char*> Lines;
        const char* Kind;
        const char* Params;
        TWinControl* Control;
    } Cases[] = {
        {{"NOTA;CheckBox;T;F"}, "CheckBox", "T;F", nullptr},
        {{"NOTA;CheckBox;T;F", "NOTA;CustomEdit;ENota;F"}, "CustomEdit", "ENota;F", ENota},
        {{"NOTA;CustomEdit;ENota;F", "NOTA;CheckBox;T;F"}, "CheckBox", "T;F", ENota},
        {{"NOTA;CustomEdit;Nadie;F", "NOTA;CustomEdit;ENota;F"}, "CustomEdit", "ENota;F", nullptr},
        {{"HORAS;CustomEdit;ENota;F"}, "", "", nullptr},
        {{"NOTA;CustomEdit"}, "CustomEdit", "", nullptr},
    };
    Open();
    const int NotaCol = IndexOf("NOTA") + G->IndicatorOffset();
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Lines.back());
        T->ControlType()->Clear();
        for (const char* Line : C.Lines) T->ControlType()->Add(Line);
        AnsiString Kind, Params;
        G->GetFieldControlType("NOTA", Kind, Params);
        EXPECT_EQ(Kind, C.Kind);
        EXPECT_EQ(Params, C.Params);
        TWinControl* Control = nullptr;
        G->GetCellControl(NotaCol, 1, Control);
        EXPECT_EQ(Control, C.Control);
        G->SetEditControlOptions({ecoSearchOwnerForm, ecoDisableCustomControls});
        G->GetCellControl(NotaCol, 1, Control);
        EXPECT_EQ(Control, nullptr) << "custom controls disabled";
        G->SetEditControlOptions({ecoSearchOwnerForm});
    }
    // The table's lines hold even when it has none; the grid's own count
    // only when it is told not to ask the table.
    T->ControlType()->Clear();
    G->ControlType()->Add("NOTA;CheckBox;T;F");
    AnsiString Kind, Params;
    G->GetFieldControlType("NOTA", Kind, Params);
    EXPECT_EQ(Kind, "");
    G->SetControlInfoInDataset(false);
    G->GetFieldControlType("NOTA", Kind, Params);
    EXPECT_EQ(Kind, "CheckBox");
}

// A text the field refuses, met as the grid loses the focus, is shown, and
// the grid keeps the focus and the typed text for the user to mend.
TEST_F(GridData, ATextRefusedOnLeavingTheGridIsShownAndKept) {
    auto* Other = NewComponent<TwwDBEdit>(Fm);
    Other->SetParent(Fm);
    Other->SetBounds(10, 170, 80, 20);
    G->SetHeight(160);
    // Typed in place: without the grid's date-time editor.
    G->SetEditControlOptions(G->EditControlOptions().Include(ecoDisableDateTimePicker));
    Open();
    GoTo(1, "FECHA");
    Keys("99/99/2026");
    ASSERT_TRUE(G->EditorMode());
    Other->SetFocus();
    Idle();
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_NE(Answers.Texts()[0].find("99/99/2026"), std::string::npos) << Answers.Texts()[0];
    EXPECT_FALSE(Other->Focused());
    EXPECT_TRUE(G->Focused() || G->InplaceEditor()->Focused());
    EXPECT_EQ(G->InplaceEditor()->Text(), "99/99/2026");
    EXPECT_EQ(T->State(), dsEdit);
    EXPECT_TRUE(TwwCustomDBGrid::KeyboardHookInstalled());
    // Mended, the text goes in and the focus may leave.
    Keys("{End}{Back}{Back}{Back}{Back}{Back}{Back}{Back}{Back}{Back}{Back}01/02/2026");
    Other->SetFocus();
    Idle();
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Answers.Texts().size(), 1u);
    EXPECT_DOUBLE_EQ(Field("FECHA")->AsFloat(), EncodeDate(2026, 2, 1));
}

// Backspace over a selection: the picture check judges the text that
// really results, without the whole selection, not one character less.
TEST_F(GridData, BackspaceOverASelectionChecksTheTextThatResults) {
    T->PictureMasks()->Add("HORAS\t1[#][#]\tF\tT");
    std::vector<bool> Checks;
    G->OnCheckValue = [&](TObject*, bool Passes) { Checks.push_back(Passes); };
    Open();
    GoTo(1, "HORAS");
    Keys("123");
    ASSERT_EQ(G->InplaceEditor()->Text(), "123");
    Checks.clear();
    Keys("{S+Left}{S+Left}{Back}");
    EXPECT_EQ(G->InplaceEditor()->Text(), "1");
    EXPECT_EQ(Checks, std::vector<bool>{true}) << "\"1\" passes where \"23\" would not";
}

// A background picture cleared at run time is gone from the cells at once:
// the bitmaps blended from it go with it.
TEST_F(GridData, AClearedBackgroundPictureLeavesNothingBehind) {
    TBitmap Yellow;
    Yellow.SetSize(8, 8);
    Yellow.Canvas()->Brush()->SetColor(clYellow);
    Yellow.Canvas()->FillRect(TRect(0, 0, 8, 8));
    TPicture Picture;
    Picture.SetGraphic(&Yellow);
    G->PaintOptions()->SetBackgroundOptions({coFillDataCells, coBlendAlternatingRow});
    G->PaintOptions()->SetAlternatingRowColor(clAqua);
    G->PaintOptions()->SetBackgroundBitmap(&Picture);
    Open();
    // Away from the current cell and from the texts.
    const TRect Cell = G->CellRect(3, 2);
    const TPoint Blank(Cell.Left + 2, Cell.Top + 2);
    EXPECT_NE(Px(G, Blank.x, Blank.y), RgbOf(G->Color()));
    EXPECT_NE(G->PaintOptions()->Background(), nullptr);
    G->PaintOptions()->BackgroundBitmap()->SetGraphic(nullptr);
    G->Invalidate();
    Idle();
    EXPECT_EQ(G->PaintOptions()->Background(), nullptr);
    EXPECT_EQ(G->PaintOptions()->AlternatingBitmap(), nullptr);
    for (int Row : {2, 3}) {
        const TRect R = G->CellRect(3, Row);
        const uint32_t Expected = RgbOf(G->IsAlternatingRow(Row - 1) ? clAqua : G->Color());
        EXPECT_EQ(Px(G, R.Left + 2, R.Top + 2), Expected) << Row;
    }
}

// A grid that goes takes the keyboard hook with it only when no other grid
// holds the focus.
TEST_F(GridData, AFreedGridLeavesTheHookToAFocusedOne) {
    Open();
    ASSERT_TRUE(TwwCustomDBGrid::KeyboardHookInstalled());
    auto* Dialog = NewComponent<TwwDBGrid>(Fm);
    Dialog->SetParent(Fm);
    Dialog->Free();
    EXPECT_TRUE(TwwCustomDBGrid::KeyboardHookInstalled());
    // With no grid focused the last one to go takes it.
    auto* Other = NewComponent<TwwDBEdit>(Fm);
    Other->SetParent(Fm);
    Other->SetFocus();
    Idle();
    EXPECT_FALSE(TwwCustomDBGrid::KeyboardHookInstalled());
    G->SetFocus();
    Idle();
    EXPECT_TRUE(TwwCustomDBGrid::KeyboardHookInstalled());
    Other->SetFocus();
    Idle();
    auto* Last = NewComponent<TwwDBGrid>(Fm);
    Last->Free();
    EXPECT_FALSE(TwwCustomDBGrid::KeyboardHookInstalled());
}

// Where lines cross, the column line wins: on a coloured grid its shadow
// and highlight run unbroken through the row lines.
TEST_F(GridData, AColumnLineCrossesTheRowLines) {
    G->SetColor(clYellow);
    Open();
    const TRect R = G->CellRect(3, 2);
    const int X = R.Right, Y = R.Bottom;
    const uint32_t Shadow = RgbOf(G->LineColors()->ShadowColor());
    const uint32_t Highlight = RgbOf(G->LineColors()->HighlightColor());
    ASSERT_NE(Shadow, Highlight);
    struct Case {
        int X, Y;
        uint32_t Rgb;
    } Cases[] = {{X, Y - 3, Shadow},    {X + 1, Y - 3, Highlight}, {X, Y, Shadow},
                 {X + 1, Y, Highlight}, {X - 4, Y, Shadow},        {X + 5, Y, Shadow}};
    for (const Case& C : Cases) EXPECT_EQ(Px(G, C.X, C.Y), C.Rgb) << C.X - X << "," << C.Y - Y;
}

// A title click is a press and a release on the same title: a release over
// a data cell of the pressed column, or over another title, clicks nothing.
// With column moving on, the release reaches the grid inside its capture.
TEST_F(GridData, ATitleClickNeedsTheReleaseOnThePressedTitle) {
    G->SetTitleButtons(true);
    std::vector<AnsiString> Clicked;
    G->OnTitleButtonClick = [&](TObject*, const AnsiString& Name) { Clicked.push_back(Name); };
    Open();
    const TRect Title = G->CellRect(1, 0), Data = G->CellRect(1, 2), Other = G->CellRect(4, 0);
    const TPoint Press(Title.Left + 4, Title.Bottom - 3);
    struct Case {
        const char* Name;
        TPoint Release;
        bool Clicks;
    } Cases[] = {{"the same title", {Title.Left + 6, Title.Bottom - 4}, true},
                 {"a data cell of the column", {Data.Left + 4, Data.Top + 3}, false},
                 {"another title", {Other.Left + 4, Other.Bottom - 3}, false}};
    for (bool Moving : {false, true}) {
        G->SetOptions(Moving ? G->Options() + TwwDBGridOptions{dgColumnResize}
                             : G->Options() - TwwDBGridOptions{dgColumnResize});
        Idle();
        for (const Case& C : Cases) {
            SCOPED_TRACE(std::string(C.Name) + (Moving ? ", column moving on" : ""));
            Clicked.clear();
            // The release is queued first, for the capture loop to find.
            PostMessage(G->Handle(), WM_LBUTTONUP, 0, MakeLParam(C.Release.x, C.Release.y));
            G->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(Press.x, Press.y));
            Idle();
            EXPECT_EQ(Clicked, C.Clicks ? std::vector<AnsiString>{"NOMBRE"} : std::vector<AnsiString>{});
        }
    }
}

// With proportional columns the last title's right edge is the grid's and
// sizes nothing, and neither does a point outside every cell (here just
// under the last row, within its edge's sizing band); an inner title edge
// and a row edge over the indicator's cells still size.
TEST_F(GridData, ProportionalColumnsHaveNoSizingEdgeOutsideTheCells) {
    G->SetOptions(G->Options() + TwwDBGridOptions{dgProportionalColResize, dgRowResize});
    Open();
    const TRect Indicator = G->CellRect(0, 1), First = G->CellRect(1, 0);
    const TRect Last = G->CellRect(G->ColCount() - 1, 0), LastRow = G->CellRect(0, G->RowCount() - 1);
    ASSERT_GT(Indicator.Right, 8);
    ASSERT_LT(LastRow.Bottom + 2, G->ClientHeight()) << "room under the last row";
    struct Case {
        const char* Name;
        TPoint P;
        bool Sizes;
    } Cases[] = {{"an inner title edge", {First.Right + 1, First.Top + 3}, true},
                 {"the last title's edge", {Last.Right - 1, Last.Top + 3}, false},
                 {"a row edge over the indicator", {8, Indicator.Bottom}, true},
                 {"the last row's edge from above", {8, LastRow.Bottom - 1}, true},
                 {"the last row's edge from under it", {8, LastRow.Bottom + 2}, false}};
    for (const Case& C : Cases) EXPECT_EQ(G->Sizing(C.P.x, C.P.y), C.Sizes) << C.Name;
}

// A double click on a title's right edge sizes the column to its widest
// value in whole characters, rounded up, so that the widest value fits.
TEST_F(GridData, ADoubleClickOnATitleEdgeFitsTheWidestValue) {
    G->SetOptions(G->Options() + TwwDBGridOptions{dgDblClickColSizing});
    Open();
    GoTo(2, "NOMBRE");
    Keys("Bartolom\xE9 Mitre Sol{Down}");
    T->First();
    T->MoveBy(1);
    ASSERT_EQ(Field("NOMBRE")->AsString(), "Bartolom\xE9 Mitre Sol");
    TBitmap B;
    B.SetSize(1, 1);
    B.Canvas()->Font()->Assign(G->Font());
    const int Widest = B.Canvas()->TextWidth("Bartolom\xE9 Mitre Sol");
    const int W0 = B.Canvas()->TextWidth("0");
    ASSERT_NE(Widest % W0, 0) << "a width between whole characters";
    const TRect Title = G->CellRect(1, 0);
    Ui().DoubleClick(G->ClientToScreen(TPoint(Title.Right + 2, Title.Top + 3)));
    Idle();
    const int Chars = (Widest + W0 - 1) / W0;
    EXPECT_EQ(G->Selected()->Strings(0), "NOMBRE\t" + std::to_string(Chars) + "\tNombre\tF");
    EXPECT_EQ(G->ColWidths(1), Chars * W0 + 4);
    EXPECT_GE(G->ColWidths(1), Widest + 4);
}

}  // namespace
