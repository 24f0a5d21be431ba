// The grid's cell hints and URL-Link cells, with the mouse moved by the test
// and the hint's timer on the test's clock: the hint laid over a cell too
// narrow for its text and the ways it goes, the links' colours and cursor,
// and the addresses handed to a recording shell opener.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwgridhint.h"
#include "platform/db/Fields.h"
#include "platform/sys/Shell.h"
#include "platform/win/WindowManager.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

using V = std::vector<AnsiString>;

class GridHint : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("hint", {{"NOMBRE", ftString, 60}, {"WEB", ftString, 60}});
        AddRows("hint", {{{"NOMBRE", "Ana"}, {"WEB", "Zelmor#https://example.org/"}},
                         {{"NOMBRE", "Un nombre muy largo que no cabe"}, {"WEB", "ana@ejemplo.es"}},
                         {{"NOMBRE", "Eva"}, {"WEB", "Local#file:///etc/passwd"}}});
        Fm = NewPlainForm("HintForm", 400, 200);
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("hint");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        G = NewComponent<TwwDBGrid>(Fm);
        G->SetParent(Fm);
        G->SetBounds(0, 0, 400, 200);
        G->SetUseTFields(false);
        G->Selected()->SetText("NOMBRE\t8\tNombre\tF\nWEB\t20\tWeb\tF\n");
        G->ControlType()->SetText("WEB;URL-Link\n");
        G->SetControlInfoInDataset(false);
        G->SetOptions(G->Options() + TwwDBGridOptions{dgShowCellHint} - TwwDBGridOptions{dgEditing});
        G->SetDataSource(S);
        T->Open();
        ShowWithGrid(Fm, G);
        Previous = SetShellOpener([this](const AnsiString& Address) {
            Opened.push_back(Address);
            return OpenerWorks;
        });
    }
    void TearDown() override {
        SetShellOpener(Previous);
        GridFixture::TearDown();
    }
    void MoveOver(int Col, int Row) {
        Ui().MoveTo(G->ClientToScreen(CellCenter(G, Col, Row)));
        Idle();
    }
    void Wait(int MSecs) {
        Clock.Advance(MSecs);
        Idle();
    }
    bool HintShown() {
        TwwGridHintWindow* W = G->CellHintWindow();
        return W && W->HandleAllocated() && IsWindowVisible(W->Handle());
    }
    // The pixels of a cell in a colour.
    int Count(int Col, int Row, TColor Color) {
        const TRect R = CellOf(G, Col, Row);
        int N = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) N += Px(G, X, Y) == RgbOf(Color) ? 1 : 0;
        return N;
    }
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;
    TwwDBGrid* G = nullptr;
    TShellOpener Previous;
    V Opened;
    bool OpenerWorks = true;
};

// A text that fits shows no hint, nor a row below the last record; one that
// does not fit shows the hint laid over its cell, one pixel higher, as wide as the text, still there 250 ms
// later.
TEST_F(GridHint, ACellTooNarrowShowsItsTextOverIt) {
    MoveOver(1, 1);
    EXPECT_FALSE(HintShown());
    MoveOver(1, 5);
    EXPECT_FALSE(HintShown());
    MoveOver(1, 2);
    ASSERT_TRUE(HintShown());
    Wait(250);
    ASSERT_TRUE(HintShown());
    TwwGridHintWindow* W = G->CellHintWindow();
    EXPECT_EQ(W->Caption(), "Un nombre muy largo que no cabe");
    const TRect Cell = CellOf(G, 1, 2);
    const TPoint Corner = G->ClientToScreen(TPoint(Cell.Left, Cell.Top));
    EXPECT_EQ(W->Left(), Corner.x);
    EXPECT_EQ(W->Top(), Corner.y - 1);
    EXPECT_EQ(W->Height(), Cell.Height() - 2);
    EXPECT_EQ(W->Width(), W->Canvas()->TextWidth(W->Caption()) + 8);
    EXPECT_GT(W->Width(), Cell.Width());
}

// With dgWordWrap a text that wraps within a tall enough cell fits it, and
// no hint shows; without it the same cell shows the hint.
TEST_F(GridHint, AWrappedTextThatFitsItsCellShowsNoHint) {
    Fm->SetHeight(500);
    G->SetHeight(480);
    G->SetRowHeightPercent(600);
    G->SetOptions(G->Options() + TwwDBGridOptions{dgWordWrap});
    Idle();
    ASSERT_GE(G->VisibleRowCount(), 2);
    MoveOver(1, 2);
    EXPECT_FALSE(HintShown());
    MoveOver(1, 1);
    G->SetOptions(G->Options() - TwwDBGridOptions{dgWordWrap});
    Idle();
    MoveOver(1, 2);
    EXPECT_TRUE(HintShown());
}

// An empty table still shows one empty row; it has no record, so no hint,
// even where a combo maps the empty value to a text too long for the cell.
TEST_F(GridHint, NoHintOnTheRowOfAnEmptyTable) {
    CreateTable("vacia", {{"NOMBRE", ftString, 60}, {"WEB", ftString, 60}});
    auto* Combo = NewComponent<TwwDBComboBox>(Fm);
    Combo->SetName("CBNombre");
    Combo->SetMapList(true);
    Combo->Items()->SetText("Sin nombre asignado todav\xED"
                            "a\t\n");
    Combo->SetParent(Fm);
    Combo->SetVisible(false);
    G->ControlType()->SetText("NOMBRE;CustomEdit;CBNombre\n");
    T->Close();
    T->SetTableName("vacia");
    T->Open();
    Idle();
    MoveOver(1, 1);
    EXPECT_FALSE(HintShown());
    T->Append();
    T->FieldByName("WEB")->SetAsString("x");
    T->Post();
    Idle();
    MoveOver(2, 1);
    MoveOver(1, 1);
    ASSERT_TRUE(HintShown());
    EXPECT_EQ(G->CellHintWindow()->Caption(), "Sin nombre asignado todav\xED"
                                              "a");
}

// The hint goes after the hide pause (16 ticks of 250 ms at the usual
// 2.5 seconds), when the mouse leaves its cell, and on a click.
TEST_F(GridHint, TheHintGoesAfterThePauseOnLeavingAndOnAClick) {
    MoveOver(1, 2);
    for (int Tick = 0; Tick < 16; ++Tick) Wait(250);
    EXPECT_TRUE(HintShown());
    Wait(250);
    EXPECT_FALSE(HintShown());

    MoveOver(1, 1);
    MoveOver(1, 2);
    ASSERT_TRUE(HintShown());
    const TRect Cell = CellOf(G, 1, 2);
    Ui().MoveTo(G->ClientToScreen(TPoint(Cell.Left + 5, Cell.Bottom + 6)));
    Wait(250);
    EXPECT_FALSE(HintShown());

    MoveOver(1, 2);
    ASSERT_TRUE(HintShown());
    ClickCell(G, 1, 2);
    EXPECT_FALSE(HintShown());
}

// OnCreateHintWindow may narrow the hint and let it grow: the text wraps
// into more lines than the cell holds. Clearing DoDefault shows nothing.
TEST_F(GridHint, TheHandlerWrapsOrSuppressesTheHint) {
    G->OnCreateHintWindow = [](TObject*, TwwGridHintWindow* W, TField*, const TRect&, bool& WordWrap,
                               int& MaxWidth, int& MaxHeight, bool&) {
        EXPECT_TRUE(WordWrap);
        MaxWidth = 0;
        MaxHeight = 200;
        (void)W;
    };
    MoveOver(1, 2);
    ASSERT_TRUE(HintShown());
    const TRect Cell = CellOf(G, 1, 2);
    EXPECT_GE(G->CellHintWindow()->Height(), 3 * G->CellHintWindow()->Canvas()->TextHeight("W"));
    EXPECT_GT(G->CellHintWindow()->Height(), Cell.Height());

    G->OnCreateHintWindow = [](TObject*, TwwGridHintWindow*, TField*, const TRect&, bool&, int&, int&,
                               bool& DoDefault) { DoDefault = false; };
    MoveOver(1, 1);
    MoveOver(1, 2);
    EXPECT_FALSE(HintShown());
}

// A link shows its display part in blue, red under the mouse with the hand
// cursor; leaving it brings the cursor and the blue back.
TEST_F(GridHint, ALinkIsBlueAndRedUnderTheMouse) {
    EXPECT_GT(Count(2, 1, clBlue), 0);
    EXPECT_EQ(Count(2, 1, clRed), 0);
    MoveOver(2, 1);
    EXPECT_EQ(G->Cursor(), crHandPoint);
    EXPECT_EQ(Ui().CursorShown(), crHandPoint);
    EXPECT_GT(Count(2, 1, clRed), 0);
    EXPECT_EQ(Count(2, 1, clBlue), 0);
    MoveOver(1, 1);
    EXPECT_EQ(G->Cursor(), crDefault);
    EXPECT_GT(Count(2, 1, clBlue), 0);

    // Straight out of the grid from the link: the same.
    MoveOver(2, 1);
    ASSERT_GT(Count(2, 1, clRed), 0);
    Ui().MoveTo(G->ClientToScreen(TPoint(G->Width() + 300, G->Height() + 300)));
    Idle();
    EXPECT_EQ(G->Cursor(), crDefault);
    EXPECT_EQ(Count(2, 1, clRed), 0);
    EXPECT_GT(Count(2, 1, clBlue), 0);
}

// A click opens the address: a bare e-mail address as MailTo:; one the
// opener refuses, or fails to open, is told; a handler may take over.
TEST_F(GridHint, AClickHandsTheAddressToTheShell) {
    ClickCell(G, 2, 1);
    ClickCell(G, 2, 2);
    EXPECT_EQ(Opened, (V{"https://example.org/", "MailTo:ana@ejemplo.es"}));
    Answers.Then(mrOk);
    ClickCell(G, 2, 3);
    EXPECT_EQ(Answers.Texts(), V{"Only web and mail addresses can be opened: file:///etc/passwd"});
    OpenerWorks = false;
    Answers.Then(mrOk);
    ClickCell(G, 2, 1);
    EXPECT_EQ(Answers.Texts().back(), "Unable to open https://example.org/");
    G->OnURLOpen = [](TObject*, AnsiString& URL, TField*, bool& UseDefault) { UseDefault = URL.empty(); };
    Opened.clear();
    ClickCell(G, 2, 2);
    EXPECT_TRUE(Opened.empty());
}

TEST(GridLinkText, DisplayPartAddressAndMailTo) {
    struct {
        const char *Text, *Display, *Address, *Opened;
    } const Cases[] = {
        {"Zelmor#https://example.org", "Zelmor", "https://example.org", "https://example.org"},
        {"https://example.org", "https://example.org", "https://example.org", "https://example.org"},
        {"Ana#", "Ana", "Ana", "Ana"},
        {"Ana#ana@ejemplo.es#extra", "Ana", "ana@ejemplo.es", "MailTo:ana@ejemplo.es"},
        {"a.b@ejemplo.es", "a.b@ejemplo.es", "a.b@ejemplo.es", "a.b@ejemplo.es"},
        {"@ejemplo.es", "@ejemplo.es", "@ejemplo.es", "@ejemplo.es"},
        {"mailto:ana@ejemplo.es", "mailto:ana@ejemplo.es", "mailto:ana@ejemplo.es", "mailto:ana@ejemplo.es"},
    };
    for (const auto& C : Cases) {
        AnsiString Display, Address;
        SplitURLLinkText(C.Text, Display, Address);
        EXPECT_EQ(Display, C.Display) << C.Text;
        EXPECT_EQ(Address, C.Address) << C.Text;
        EXPECT_EQ(WithMailTo(Address), C.Opened) << C.Text;
    }
}

}  // namespace
