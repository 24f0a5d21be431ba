// The students' grid of the sample school (forms/AlumGrid.zfm), drawn and
// driven as the students screen would be: its columns, colours, lines and
// check boxes checked by formula, its text against one reference picture,
// and its keys and mouse with the table's values checked after each step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwgridmodel.h"
#include "dataaware/wwpaintoptions.h"
#include "forms/AlumGrid.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Sound.h"
#include "platform/win/Display.h"
#include "tests/support/ReferencePicture.h"

namespace {

class StudentsGrid : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CopySampleStudents();
        F = NewComponent<TAlumGridForm>(Application);
        F->TAlum->Open();
        ShowWithGrid(F, F->DBGridAlum);
    }
    TwwDBGrid* G() { return F->DBGridAlum; }
    TwwTable* T() { return F->TAlum; }
    // The grid column of a field.
    int ColOf(const char* Field) { return GridColOf(G(), Field); }
    int Width0() {
        TBitmap B;
        B.SetSize(1, 1);
        B.Canvas()->Font()->Assign(G()->Font());
        return B.Canvas()->TextWidth("0");
    }
    int TitleWidth(const AnsiString& Piece) {
        TBitmap B;
        B.SetSize(1, 1);
        B.Canvas()->Font()->Assign(G()->TitleFont());
        return B.Canvas()->TextWidth(Piece);
    }
    // Whether the 13-pixel check glyph of a cell shows a tick: dark pixels
    // inside its white face.
    bool Ticked(int Col, int Row) {
        TRect R = G()->CellRect(Col, Row);
        R.Bottom = R.Top + G()->DefaultRowHeight();
        const int L = (R.Left + R.Right - 10) / 2 - 1, Tp = (R.Top + R.Bottom - 10) / 2 - 1;
        int Dark = 0;
        for (int Y = Tp + 3; Y < Tp + 10; ++Y)
            for (int X = L + 3; X < L + 10; ++X)
                if (Px(G(), X, Y) == 0) ++Dark;
        return Dark > 0;
    }
    AnsiString Value(const char* Field) { return T()->FieldByName(Field)->AsString(); }
    // Makes a record (1-based) and a field current.
    void GoTo(int RecNo, const char* Field) {
        T()->First();
        T()->MoveBy(RecNo - 1);
        G()->SetSelectedIndex(ColOf(Field) - 1);
        Idle();
    }
    AnsiString Current() {
        TField* Field = G()->SelectedField();
        return Field ? Field->FieldName() : AnsiString("(none)");
    }
    TAlumGridForm* F = nullptr;
};

const uint32_t TitleRgb = 0xB5D3DD;      // 14537653: red 181, green 211, blue 221
const uint32_t GridRgb = 0xFFFFA4;       // 10813439
const uint32_t AlternateRgb = 0xFFFFC1;  // 12713983

TEST_F(StudentsGrid, HasTheScreensColumnsTitlesAndLooks) {
    EXPECT_EQ(G()->ColCount(), 48) << "47 columns and the indicator";
    EXPECT_EQ(G()->TitleLines(), 2);
    EXPECT_EQ(G()->FixedCols(), 1);
    EXPECT_EQ(G()->TCustomGrid::FixedCols(), 2) << "the indicator and one data column";
    EXPECT_EQ(RgbOf(G()->TitleColor()), TitleRgb);
    EXPECT_EQ(RgbOf(G()->Color()), GridRgb);
    for (int I = 1; I <= 20; ++I) {
        EXPECT_EQ(G()->ColumnByFieldName("ASIG" + IntToStr(I))->GroupName(), "Asignaturas y divisiones");
        EXPECT_EQ(G()->ColumnByFieldName("DIV" + IntToStr(I))->GroupName(), "Asignaturas y divisiones");
    }
    EXPECT_EQ(G()->ColumnByFieldName("NOMBRE")->GroupName(), "");
}

// Each column is its characters' width of "0" and 4, or its widest title
// line and 4 when that is wider; the next column starts one line further on.
TEST_F(StudentsGrid, ColumnEdgesFollowTheWidthOfZero) {
    const int W = Width0();
    int X = G()->CellRect(2, 0).Left;
    for (int C = 2; C < G()->ColCount(); ++C) {
        TwwSelectedLine Line = TwwSelectedLine::Parse(G()->Selected()->Strings(C - 1));
        const int Width = std::max(Line.WidthInChars() * W + 4, TitleWidth(Line.Part(spTitle)) + 4);
        ASSERT_EQ(G()->ColWidths(C), Width) << Line.Part(spFieldName);
        TRect R = G()->CellRect(C, 1);
        if (IsRectEmpty(R)) break;
        ASSERT_EQ(R.Left, X) << Line.Part(spFieldName);
        X += Width + 1;
    }
}

TEST_F(StudentsGrid, TitlesRowsAndTheSilverColumnHaveTheirColours) {
    const int Exped = ColOf("EXPED"), Opcion = ColOf("OPCION");
    auto Right = [&](int Col, int Row) {
        TRect R = G()->CellRect(Col, Row);
        return TPoint(R.Right - 3, (R.Top + R.Bottom) / 2);
    };
    TRect Title = G()->CellRect(Exped, 0);
    EXPECT_EQ(Px(G(), Title.Right - 5, Title.Top + 4), TitleRgb);
    // Rows 2 and 4 (data rows 1 and 3) take the alternating colour; the
    // current row, 1, is left out.
    for (int Row = 2; Row <= 6; ++Row) {
        TPoint P = Right(Exped, Row);
        EXPECT_EQ(Px(G(), P.x, P.y), Row % 2 == 0 ? AlternateRgb : GridRgb) << "row " << Row;
        P = Right(Opcion, Row);
        EXPECT_EQ(Px(G(), P.x, P.y), 0xC0C0C0u) << "silver, row " << Row;
    }
}

// The alternating colour belongs to the records, not to the screen rows:
// the even records keep it as the grid scrolls down and up by odd and even
// numbers of records.
TEST_F(StudentsGrid, AlternatingRowsKeepToTheirRecordsWhileScrolling) {
    const int Exped = ColOf("EXPED"), Visible = G()->VisibleRowCount();
    ASSERT_GT(T()->RecordCount(), Visible + 12);
    T()->First();
    // Within the rows shown first, then past the last row and the first.
    const int Moves[] = {Visible - 1, 1, 2, 3, 1, -(Visible - 1), -3, -1, -2};
    for (int Move : Moves) {
        SCOPED_TRACE(Move);
        T()->MoveBy(Move);
        Idle();
        const int Top = T()->RecNo() - (G()->Row() - 1);
        for (int Row = 1; Row <= Visible; ++Row) {
            if (Row == G()->Row()) continue;
            const TRect R = G()->CellRect(Exped, Row);
            const int RecNo = Top + Row - 1;
            EXPECT_EQ(Px(G(), R.Right - 3, (R.Top + R.Bottom) / 2), RecNo % 2 == 0 ? AlternateRgb : GridRgb)
                << "record " << RecNo << " on row " << Row;
        }
    }
}

TEST_F(StudentsGrid, CheckGlyphsFollowTheValues) {
    const int Repite = ColOf("REPITE"), Anular = ColOf("ANULAR");
    T()->First();
    T()->Next();
    T()->Edit();
    T()->FieldByName("REPITE")->SetAsBoolean(true);
    T()->FieldByName("ANULAR")->SetAsBoolean(false);
    T()->Post();
    T()->Next();
    T()->Edit();
    T()->FieldByName("ANULAR")->SetAsBoolean(true);
    T()->Post();
    T()->First();
    Idle();
    EXPECT_FALSE(Ticked(Repite, 1));
    EXPECT_TRUE(Ticked(Repite, 2));
    EXPECT_FALSE(Ticked(Anular, 2));
    EXPECT_TRUE(Ticked(Anular, 3));
}

// The upper half of the title row over a group's visible columns is one
// band that no column line crosses. The group's name is centred on the run
// from where it enters the scrolling area to its last member's edge, and cut
// at the grid's right edge. The lower half keeps each member's own edge.
TEST_F(StudentsGrid, AGroupHeaderSpansItsRunAlsoWhenScrolled) {
    const AnsiString Group = "Asignaturas y divisiones";
    const int First = ColOf("ASIG1"), Last = ColOf("DIV20");
    for (int Left : {G()->TCustomGrid::FixedCols(), First + 5}) {
        G()->SetLeftCol(Left);
        Idle();
        int RunLeft = G()->CellRect(std::max(First, G()->LeftCol()), 0).Left;
        for (int C = First; C < G()->LeftCol(); ++C) RunLeft -= G()->ColWidths(C) + 1;
        int RunRight = RunLeft;
        for (int C = First; C <= Last; ++C) RunRight += G()->ColWidths(C) + 1;
        const int ScrollLeft = G()->CellRect(G()->LeftCol(), 0).Left;
        const int X0 = std::max(RunLeft, ScrollLeft), X1 = std::min(RunRight, G()->ClientWidth());
        const int BandBottom = G()->CellRect(0, 0).Bottom / 2 - 1;
        int Leftmost = X1, Rightmost = X0;
        // The run's own outer edges are left out.
        for (int X = X0 + 1; X < X1 - 2; ++X) {
            int Plain = 0;
            for (int Y = 1; Y < BandBottom; ++Y) {
                const uint32_t P = Px(G(), X, Y);
                if (P == TitleRgb) ++Plain;
                if (P == 0) {
                    Leftmost = std::min(Leftmost, X);
                    Rightmost = std::max(Rightmost, X);
                }
            }
            ASSERT_GT(Plain, 0) << "a line crosses the group band at x " << X << ", left column " << Left;
        }
        const double Middle = (X0 + RunRight) / 2.0, Half = TitleWidth(Group) / 2.0;
        EXPECT_NEAR(Leftmost, std::max(Middle - Half, double(X0)), 2.0) << "left column " << Left;
        EXPECT_NEAR(Rightmost + 1, std::min(Middle + Half, double(X1)), 2.0) << "left column " << Left;
        const TColor Edge = G()->LineColors()->FixedColor();
        for (int C = std::max(First, G()->LeftCol()); C < Last; ++C) {
            const TRect Title = G()->CellRect(C, 0);
            if (G()->CellRect(C + 1, 0).Right >= G()->ClientWidth() || IsRectEmpty(G()->CellRect(C + 1, 0)))
                break;
            EXPECT_EQ(Px(G(), Title.Right, Title.Bottom - 3), RgbOf(Edge)) << "column " << C;
        }
    }
}

// On the grid's own colour every line is a shadow with a highlight after
// it; on a white grid it is one silver line.
TEST_F(StudentsGrid, LinesAre3DOnAColouredGridAndSingleSilverOnAWhiteOne) {
    struct Case {
        TColor Color;
        uint32_t Line, After;
    } Cases[] = {{G()->Color(), RgbOf(clBtnShadow), RgbOf(clBtnHighlight)}, {clWhite, 0xC0C0C0, 0xFFFFFF}};
    for (const Case& K : Cases) {
        G()->SetColor(K.Color);
        G()->PaintOptions()->SetAlternatingRowColor(clNone);
        Idle();
        const TRect R = G()->CellRect(ColOf("EXPED"), 3);
        const int Y = (R.Top + R.Bottom) / 2, X = (R.Left + R.Right) / 2;
        EXPECT_EQ(Px(G(), R.Right, Y), K.Line) << "column edge, colour " << K.Color;
        EXPECT_EQ(Px(G(), R.Right + 1, Y), K.After) << "column edge, colour " << K.Color;
        EXPECT_EQ(Px(G(), X, R.Bottom), K.Line) << "row edge, colour " << K.Color;
        EXPECT_EQ(Px(G(), X, R.Bottom + 1), K.After) << "row edge, colour " << K.Color;
    }
}

// Right of the last column: the title colour from top to bottom under a
// highlight line, over the title row only, or nothing but the grid.
TEST_F(StudentsGrid, ThePadStripRightOfTheLastColumn) {
    struct Case {
        TwwPadColumnStyle Style;
        uint32_t Title, Data;
    } Cases[] = {{pcsPadHeaderAndData, TitleRgb, TitleRgb},
                 {pcsPadHeader, TitleRgb, GridRgb},
                 {pcsPlain, GridRgb, GridRgb}};
    for (const Case& K : Cases) {
        G()->SetPadColumnStyle(K.Style);
        G()->SetLeftCol(G()->ColCount() - 1);
        Idle();
        const TRect Last = G()->CellRect(G()->ColCount() - 1, 0);
        for (int X : {Last.Right + 3, (Last.Right + G()->ClientWidth()) / 2, G()->ClientWidth() - 1}) {
            EXPECT_EQ(Px(G(), X, Last.Bottom / 2), K.Title) << "style " << K.Style << ", x " << X;
            EXPECT_EQ(Px(G(), X, G()->ClientHeight() / 2), K.Data) << "style " << K.Style << ", x " << X;
            EXPECT_EQ(Px(G(), X, G()->ClientHeight() - 1), K.Data) << "style " << K.Style << ", x " << X;
            if (K.Style != pcsPlain) {
                EXPECT_EQ(Px(G(), X, 0), 0xFFFFFFu) << "style " << K.Style << ", x " << X;
            }
        }
    }
}

// The text of the titles, group header, cells and check boxes, against one
// picture; the grid painted through a bitmap canvas gives the same pixels.
TEST_F(StudentsGrid, LooksAsItsPictureInBothPaintStyles) {
    const std::string File = std::string(ZELMOR_SOURCE_DIR) + "/tests/dataaware/reference/students.png";
    EXPECT_EQ(DefaultIntl->GridPaintStyle(), gpsDynamicDeviceContext);
    EXPECT_TRUE(MatchesReferencePicture(Ui().Picture(F), File));
    const TSurface Direct = Ui().Picture(F);
    G()->SetLeftCol(ColOf("ASIG1") + 5);
    Idle();
    const TSurface DirectScrolled = Ui().Picture(F);
    DefaultIntl->SetGridPaintStyle(gpsBitmapCanvas);
    G()->SetLeftCol(G()->TCustomGrid::FixedCols());
    Idle();
    EXPECT_TRUE(SamePicture(Direct, Ui().Picture(F)));
    G()->SetLeftCol(ColOf("ASIG1") + 5);
    Idle();
    EXPECT_TRUE(SamePicture(DirectScrolled, Ui().Picture(F)));
    DefaultIntl->SetGridPaintStyle(gpsDynamicDeviceContext);
}

// Keys and mouse. The sample table holds 200 students.

// Enter (the screen's Enter to the next cell) and Tab go to the next cell;
// past the last column to the first of the next record, posting what was
// typed; past the last record they append, but not in a read-only grid.
TEST_F(StudentsGrid, EnterAndTabMoveOnWrapAndAppendUnlessReadOnly) {
    for (const char* Key : {"{Enter}", "{Tab}"}) {
        GoTo(3, "EXPED");
        Keys(Key);
        EXPECT_EQ(Current(), "NOMBRE") << Key;
        EXPECT_EQ(T()->RecNo(), 3) << Key;
        GoTo(3, "DIV20");
        Keys("4{Left}{Right}");
        EXPECT_EQ(T()->State(), dsEdit) << Key;
        Keys(Key);
        EXPECT_EQ(T()->RecNo(), 4) << Key;
        EXPECT_EQ(Current(), "ANULAR") << Key << ": the fixed number column is passed over";
        EXPECT_EQ(T()->State(), dsBrowse) << Key;
        T()->Prior();
        EXPECT_EQ(Value("DIV20"), "4") << Key;
        for (bool ReadOnly : {false, true}) {
            G()->SetReadOnly(ReadOnly);
            T()->Last();
            G()->SetSelectedIndex(ColOf("DIV20") - 1);
            Idle();
            Keys(Key);
            EXPECT_EQ(T()->State(), ReadOnly ? dsBrowse : dsInsert) << Key << ", read-only " << ReadOnly;
            // The editable grid stands on the new row, a record not yet in the file.
            EXPECT_EQ(T()->RecNo(), ReadOnly ? 200 : -1) << Key;
            if (T()->State() == dsInsert) T()->Cancel();
            EXPECT_EQ(T()->RecordCount(), 200) << Key;
        }
        G()->SetReadOnly(false);
    }
}

// Down leaves an inserted row that nobody typed into. A row typed into is
// posted, at the end of the table's natural order, so Down goes on past the
// end and appends; there an untouched row stays, and Up leaves it.
TEST_F(StudentsGrid, DownOnAnUntouchedInsertedRowCancelsIt) {
    GoTo(5, "NOMBRE");
    const AnsiString Fifth = Value("NOMBRE");
    Keys("{Ins}");
    EXPECT_EQ(T()->State(), dsInsert);
    Keys("{Down}");
    EXPECT_EQ(T()->State(), dsBrowse);
    EXPECT_EQ(T()->RecordCount(), 200);
    EXPECT_EQ(Value("NOMBRE"), Fifth);

    GoTo(5, "NOMBRE");
    Keys("{Ins}Ruiz Gil, Ana{Down}");
    EXPECT_EQ(T()->State(), dsInsert);
    EXPECT_TRUE(T()->Eof());
    Keys("{Down}");
    EXPECT_EQ(T()->State(), dsInsert) << "the untouched appended row stays";
    Keys("{Up}");
    EXPECT_EQ(T()->State(), dsBrowse);
    EXPECT_EQ(T()->RecordCount(), 201);
    EXPECT_EQ(T()->RecNo(), 201);
    EXPECT_EQ(Value("NOMBRE"), "Ruiz Gil, Ana");
}

// Ctrl+Delete asks first; Cancel keeps the record, OK deletes it. A
// read-only grid neither asks nor deletes.
TEST_F(StudentsGrid, CtrlDeleteAsksDeleteRecord) {
    GoTo(7, "NOMBRE");
    const AnsiString Seventh = Value("NOMBRE");
    Answers.Then(mrCancel);
    Keys("{C+Del}");
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "Delete record?");
    EXPECT_EQ(T()->RecordCount(), 200);
    EXPECT_EQ(Value("NOMBRE"), Seventh);
    Answers.Then(mrOk);
    Keys("{C+Del}");
    EXPECT_EQ(T()->RecordCount(), 199);
    EXPECT_NE(Value("NOMBRE"), Seventh);
    G()->SetReadOnly(true);
    Keys("{C+Del}");
    EXPECT_EQ(Answers.Texts().size(), 2u);
    EXPECT_EQ(T()->RecordCount(), 199);
}

// The expedient's picture "E-####": typing the digits fills in the "E-",
// and a letter where a digit belongs is refused with a beep.
TEST_F(StudentsGrid, APictureLineAutoFillsAndARefusedCharacterBeeps) {
    TBeepRecorder Beeps;
    GoTo(2, "EXPED");
    Keys("{Del}");
    Keys("12");
    EXPECT_TRUE(Beeps.Beeps().empty());
    Keys("x");
    EXPECT_EQ(Beeps.Beeps().size(), 1u);
    Keys("34{Tab}");
    EXPECT_EQ(Value("EXPED"), "E-1234");
}

// A check box cell toggles by a double click, or by one click with
// ecoCheckboxSingleClick, and by Space; never in a read-only column.
TEST_F(StudentsGrid, ACheckBoxTogglesByClickAndSpaceButNotInAReadOnlyColumn) {
    struct Case {
        const char* How;
        bool SingleClickOption;
        int Toggles;
    } Cases[] = {{"click", false, 0}, {"double", false, 1}, {"space", false, 1},
                 {"click", true, 1},  {"double", true, 1},  {"space", true, 1}};
    const int Anular = ColOf("ANULAR");
    for (const Case& K : Cases) {
        for (bool ReadOnly : {false, true}) {
            TStrings* Lines = G()->Selected();
            Lines->SetStrings(Anular - 1, AnsiString("ANULAR\t5\tAnular\t") + (ReadOnly ? "T" : "F"));
            G()->ApplySelected();
            G()->SetEditControlOptions(K.SingleClickOption ? TwwEditControlOptions{ecoCheckboxSingleClick}
                                                           : TwwEditControlOptions{});
            GoTo(4, "NOMBRE");
            const bool Before = T()->FieldByName("ANULAR")->AsBoolean();
            const std::string How = K.How;
            if (How == "click") ClickCell(G(), Anular, G()->Row());
            else if (How == "double") DoubleClickCell(G(), Anular, G()->Row());
            else {
                G()->SetSelectedIndex(Anular - 1);
                Keys("{Space}");
            }
            if (T()->State() == dsEdit) T()->Post();
            EXPECT_EQ(T()->RecNo(), 4);
            const bool Toggled = T()->FieldByName("ANULAR")->AsBoolean() != Before;
            EXPECT_EQ(Toggled, !ReadOnly && K.Toggles == 1)
                << K.How << ", single-click option " << K.SingleClickOption << ", read-only " << ReadOnly;
        }
    }
}

// A title click names its column; on the upper half of a grouped title it
// names the group.
TEST_F(StudentsGrid, ATitleClickNamesTheColumnOrTheGroup) {
    auto ClickTitle = [&](int Col, bool Upper) {
        const TRect R = G()->CellRect(Col, 0);
        Ui().Click(G(), TPoint((R.Left + R.Right) / 2, Upper ? R.Top + 4 : R.Bottom - 4));
        Idle();
    };
    ClickTitle(ColOf("NOMBRE"), true);
    ClickTitle(ColOf("ASIG2"), true);
    ClickTitle(ColOf("ASIG2"), false);
    ClickTitle(ColOf("DIV1"), false);
    EXPECT_EQ(F->TitleClicks,
              (std::vector<AnsiString>{"NOMBRE", "Asignaturas y divisiones", "ASIG2", "DIV1"}));
}

// Dragging a column's right edge in the title row sizes it; its width goes
// back into its Selected line in characters of "0", rounded as the line
// will give it back.
TEST_F(StudentsGrid, SizingAColumnWritesItsWidthIntoSelected) {
    const int Nombre = ColOf("NOMBRE");
    const int W = Width0();
    for (int Delta : {40, -60}) {
        const int Before = G()->ColWidths(Nombre);
        const TRect R = G()->CellRect(Nombre, 0);
        const TPoint From = G()->ClientToScreen(TPoint(R.Right, R.Bottom - 4));
        const TPoint To(From.x + Delta, From.y);
        InputMouseMove(From);
        InputMouseButton(0, true, From);
        Idle();
        InputMouseMove(To);
        InputMouseButton(0, false, To);
        Idle();
        const int Chars = (Before + Delta - 4 + std::max(0, W / 2 - 3)) / W;
        TwwSelectedLine Line = TwwSelectedLine::Parse(G()->Selected()->Strings(Nombre - 1));
        EXPECT_EQ(Line.Part(spFieldName), "NOMBRE");
        EXPECT_EQ(Line.WidthInChars(), Chars) << "moved by " << Delta;
        EXPECT_EQ(G()->ColWidths(Nombre), Chars * W + 4) << "moved by " << Delta;
        EXPECT_EQ(Line.Part(spTitle), "Nombre");
    }
}

// Dragging titles: a plain column dropped inside the group lands after the
// whole group; a group dragged by its header moves as one block; a member
// moves only inside its group. The forty columns stay together every time.
TEST_F(StudentsGrid, AColumnDragNeverSplitsAGroup) {
    struct Case {
        const char* Name;
        const char* Grab;
        bool Header;
        const char* Onto;
        std::vector<std::pair<const char*, int>> Places;
    } Cases[] = {
        {"plain onto a member", "NOMBRE", false, "ASIG3", {{"NOMBRE", 46}, {"ASIG1", 6}, {"DIV20", 45}}},
        {"group onto a plain column", "ASIG2", true, "EXPED", {{"ASIG1", 2}, {"DIV20", 41}, {"EXPED", 42}}},
        {"member out of its group", "ASIG2", false, "NOMBRE", {{"ASIG2", 9}, {"NOMBRE", 3}}},
        {"member inside its group", "DIV2", false, "ASIG1", {{"DIV2", 7}, {"ASIG1", 8}}},
    };
    TStringList Original;
    Original.Assign(G()->Selected());
    auto IndexOf = [&](const char* Field) {
        for (int I = 0; I < G()->Selected()->Count(); ++I)
            if (TwwSelectedLine::Parse(G()->Selected()->Strings(I)).Part(spFieldName) == Field) return I;
        return -1;
    };
    for (const Case& K : Cases) {
        G()->Selected()->Assign(&Original);
        G()->ApplySelected();
        G()->SetLeftCol(G()->TCustomGrid::FixedCols());
        Idle();
        const TRect From = G()->CellRect(ColOf(K.Grab), 0), To = G()->CellRect(ColOf(K.Onto), 0);
        const int Y = K.Header ? From.Top + 4 : From.Bottom - 4;
        const TPoint Start = G()->ClientToScreen(TPoint((From.Left + From.Right) / 2, Y));
        const TPoint End = G()->ClientToScreen(TPoint((To.Left + To.Right) / 2, Y));
        // The grid follows the drag in a loop of its own; each step of the
        // script runs when that loop waits for the pointer.
        InputMouseMove(Start);
        InputMouseButton(0, true, Start);
        for (int Step = 1; Step <= 4; ++Step) {
            const TPoint P(Start.x + (End.x - Start.x) * Step / 4, Start.y);
            Ui().Then([P] { InputMouseMove(P); });
        }
        Ui().Then([End] { InputMouseButton(0, false, End); });
        Idle();
        EXPECT_EQ(Ui().StepsLeft(), 0u) << K.Name;
        Clock.Advance(1000);
        for (const auto& [Field, Index] : K.Places)
            EXPECT_EQ(IndexOf(Field), Index) << K.Name << ": " << Field;
        std::vector<int> Members;
        for (int I = 0; I < G()->Selected()->Count(); ++I)
            if (!TwwSelectedLine::Parse(G()->Selected()->Strings(I)).Part(spGroupName).empty())
                Members.push_back(I);
        ASSERT_EQ(Members.size(), 40u) << K.Name;
        EXPECT_EQ(Members.back() - Members.front(), 39) << K.Name << ": the group is split";
        EXPECT_TRUE(F->TitleClicks.empty()) << K.Name << ": a drag is no click";
    }
}

// Columns hidden with -1 are passed over by Tab, Enter, the arrows, the
// selection and clicks.
TEST_F(StudentsGrid, TabEnterAndArrowsPassOverHiddenColumns) {
    G()->SetColWidthQuietly(ColOf("OPCION"), -1);
    G()->SetColWidthQuietly(ColOf("REPITE"), -1);
    for (const char* Key : {"{Tab}", "{Enter}", "{Right}"}) {
        GoTo(2, "NOMBRE");
        Keys(Key);
        EXPECT_EQ(Current(), "GRUPO") << Key;
    }
    for (const char* Key : {"{S+Tab}", "{S+Enter}", "{Left}"}) {
        GoTo(2, "GRUPO");
        Keys(Key);
        EXPECT_EQ(Current(), "NOMBRE") << Key;
    }
    // Selecting a hidden column goes on the way the move went; making one
    // visible scrolls nothing; a click where it was lands on its neighbour.
    GoTo(2, "NOMBRE");
    G()->SetSelectedIndex(ColOf("OPCION") - G()->IndicatorOffset());
    EXPECT_EQ(Current(), "GRUPO");
    G()->SetSelectedIndex(ColOf("REPITE") - G()->IndicatorOffset());
    EXPECT_EQ(Current(), "NOMBRE");
    const int Left = G()->LeftCol();
    G()->MakeColumnVisible(ColOf("OPCION"));
    EXPECT_EQ(G()->LeftCol(), Left);
    GoTo(2, "NOMBRE");
    const TRect Nombre = G()->CellRect(ColOf("NOMBRE"), 3);
    Ui().Click(G(), TPoint(Nombre.Right + 2, Nombre.Top + 2));
    Idle();
    EXPECT_EQ(Current(), "GRUPO");
}

}  // namespace
