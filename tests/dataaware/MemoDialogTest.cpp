// Memo and rich-text cells of the grid: the memo dialog opened from a cell by
// F2 or a double click, what it writes back (without posting) and what it
// asks on closing, its view-only cases, and the texts the cells show through
// the grid's hidden rich edit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwmemo.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwriched.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/StdCtrls.h"

namespace {

const char* const RichHello = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Hola {\\b mundo}\\par}";

class MemoCells : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("notas", {{"N", ftFloat}, {"NOMBRE", ftString, 20}, {"OBS", ftMemo}, {"TEXTO", ftMemo}},
                    {{"N", "N"}});
        AddRows("notas", {{{"N", "1"}, {"NOMBRE", "Ana"}, {"OBS", "Primera nota"}, {"TEXTO", RichHello}},
                          {{"N", "2"}, {"NOMBRE", "Luis"}, {"OBS", "Segunda"}, {"TEXTO", "abc"}}});
        Frm = NewPlainForm("NotasForm", 500, 240);
        Table = NewComponent<TwwTable>(Frm);
        Table->SetDatabaseName("Zelmor");
        Table->SetTableName("notas");
        Table->SetIndexName("N");
        Table->ControlType()->Add("TEXTO;RichEdit;NoSuchEditor;F");
        auto* Source = NewComponent<TwwDataSource>(Frm);
        Source->SetDataSet(Table);
        Grid = NewComponent<TwwDBGrid>(Frm);
        Grid->SetBounds(0, 0, 500, 240);
        Grid->SetUseTFields(false);
        for (const char* Line : {"NOMBRE\t12\tNombre\tF", "OBS\t14\tObs\tF", "TEXTO\t20\tTexto\tF"})
            Grid->Selected()->Add(Line);
        Grid->SetDataSource(Source);
        Grid->SetParent(Frm);
        Grid->OnMemoOpen = [this](TwwDBGrid*, TwwMemoDialog* D) { Opened.push_back(D->Caption()); };
        Grid->OnMemoClose = [this](TwwDBGrid*, bool Cancel) { Closed.push_back(Cancel); };
        Table->Open();
        ShowWithGrid(Frm, Grid);
    }
    static TwwMemoDlg* Dialog() { return dynamic_cast<TwwMemoDlg*>(Screen->ActiveForm()); }
    // The grid column of a field.
    int ColOf(const char* Field) {
        for (int C = 1; C < Grid->ColCount(); ++C)
            if (Grid->GetColumnFieldName(C) == Field) return C;
        return -1;
    }
    void ToCell(const char* Field) {
        Grid->SetSelectedIndex(ColOf(Field) - 1);
        Idle();
    }
    // What the table holds on disk: another table object sees only what was posted.
    AnsiString Stored(const char* Field, int N) {
        TTable* Other = NewTable("notas", "N");
        Other->Open();
        Other->FindKey({N});
        AnsiString Value = Other->FieldByName(Field)->AsString();
        Other->Free();
        return Value;
    }
    void PressF2() {
        Ui().Key(VK_F2);
        Idle();
    }
    AnsiString Cell(const char* Field) { return Grid->GetCellDisplayText(ColOf(Field) - 1); }

    TForm* Frm = nullptr;
    TwwTable* Table = nullptr;
    TwwDBGrid* Grid = nullptr;
    std::vector<AnsiString> Opened;
    std::vector<bool> Closed;
};

// F2 and a double click both open the dialog on the cell's text; OK writes
// the edited text into the record and leaves it unposted for the grid.
TEST_F(MemoCells, F2OrADoubleClickEditsTheMemoWithoutPosting) {
    struct TCase {
        const char* How;
        bool DoubleClick;
    };
    Table->FieldByName("OBS")->SetDisplayLabel("Obs~ervaciones");
    for (const TCase& C : {TCase{"F2", false}, TCase{"double click", true}}) {
        SCOPED_TRACE(C.How);
        Table->Cancel();
        Table->First();
        ToCell("OBS");
        AnsiString Seen, Caption;
        bool ViewOnly = true;
        Ui().Then([&] {
            TwwMemoDlg* D = Dialog();
            ASSERT_NE(D, nullptr) << "no memo window is showing";
            Seen = D->Memo->Text();
            Caption = D->Caption();
            ViewOnly = D->Memo->ReadOnly() || !D->CancelBtn->Visible();
            EXPECT_FALSE(D->OKBtn->Enabled()) << "OK waits for a change";
            D->Memo->SetFocus();
            Ui().Key(VK_END, TShiftState{ssCtrl});
            Ui().Type(" y mas");
            Ui().Key(VK_RETURN, TShiftState{ssCtrl});
        });
        if (C.DoubleClick) DoubleClickCell(Grid, ColOf("OBS"), 1);
        else PressF2();
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        EXPECT_EQ(Seen, "Primera nota");
        EXPECT_EQ(Caption, "Obs ervaciones");
        EXPECT_FALSE(ViewOnly);
        EXPECT_EQ(Table->FieldByName("OBS")->AsString(), "Primera nota y mas");
        EXPECT_EQ(Table->State(), dsEdit) << "written back, not posted";
        EXPECT_EQ(Stored("OBS", 1), "Primera nota");
        EXPECT_EQ(Dialog(), nullptr);
    }
    EXPECT_EQ(Opened, (std::vector<AnsiString>{"Obs ervaciones", "Obs ervaciones"}));
    EXPECT_EQ(Closed, (std::vector<bool>{false, false}));
}

// Closing any way but OK after a change asks the question; No keeps the
// window and the text, Yes closes and writes nothing. Unchanged text closes
// without a question.
TEST_F(MemoCells, ClosingWithoutOKAsksWhenTheTextChanged) {
    struct TCase {
        const char* Name;
        bool Change;
        std::vector<int> Answers;
        AnsiString Expected;
        bool Cancelled;
    };
    const AnsiString Question = DefaultIntl->UserMessages()->MemoChangesWarning();
    const std::vector<TCase> Cases = {
        {"unchanged", false, {}, "Primera nota", true},
        {"Yes drops the change", true, {mrYes}, "Primera nota", true},
        {"No keeps the window; OK then writes", true, {mrNo}, "Primera notaX", false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Table->Cancel();
        Table->First();
        ToCell("OBS");
        Closed.clear();
        const size_t AskedBefore = Answers.Texts().size();
        for (int A : C.Answers) Answers.Then(A);
        bool StillOpen = false;
        Ui().Then([&] {
            TwwMemoDlg* D = Dialog();
            ASSERT_NE(D, nullptr);
            D->Memo->SetFocus();
            Ui().Key(VK_END, TShiftState{ssCtrl});
            if (C.Change) Ui().Type("X");
            Ui().Click(D->CancelBtn);
        });
        if (C.Answers == std::vector<int>{mrNo}) {
            Ui().Then([&] {
                StillOpen = Dialog() != nullptr;
                if (StillOpen) Ui().Click(Dialog()->OKBtn);
            });
        }
        PressF2();
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        EXPECT_EQ(Answers.Pending(), 0u);
        ASSERT_EQ(Answers.Texts().size() - AskedBefore, C.Answers.size());
        if (!C.Answers.empty()) {
            EXPECT_EQ(Answers.Texts().back(), Question);
        }
        if (C.Answers == std::vector<int>{mrNo}) {
            EXPECT_TRUE(StillOpen);
        }
        EXPECT_EQ(Table->FieldByName("OBS")->AsString(), C.Expected);
        EXPECT_EQ(Closed, std::vector<bool>{C.Cancelled});
    }
}

// A grid that cannot edit opens the memo view-only: only OK, centred, and
// nothing written; with mDisableDialog no window opens at all.
TEST_F(MemoCells, AReadOnlyGridOpensTheMemoViewOnlyAndDisableDialogOpensNone) {
    Grid->SetReadOnly(true);
    ToCell("OBS");
    bool MemoReadOnly = false, CancelShown = true;
    int OkLeft = 0, Expected = -1;
    Ui().Then([&] {
        TwwMemoDlg* D = Dialog();
        ASSERT_NE(D, nullptr);
        MemoReadOnly = D->Memo->ReadOnly();
        CancelShown = D->CancelBtn->Visible();
        OkLeft = D->OKBtn->Left();
        Expected = D->Memo->Left() + D->Memo->Width() / 2 - D->CancelBtn->Width() / 2;
        Ui().Click(D->OKBtn);
    });
    PressF2();
    EXPECT_EQ(Ui().StepsLeft(), 0u);
    EXPECT_TRUE(MemoReadOnly);
    EXPECT_FALSE(CancelShown);
    EXPECT_EQ(OkLeft, Expected);
    EXPECT_EQ(Table->State(), dsBrowse);

    Grid->SetReadOnly(false);
    Grid->SetMemoAttributes(TwwMemoAttributes{mSizeable, mWordWrap, mDisableDialog});
    PressF2();
    EXPECT_EQ(Closed.size(), 1u) << "no second window";
    EXPECT_EQ(Table->State(), dsBrowse);
}

// A field that cannot be modified opens view-only whatever its type: its
// text, edited and then refused by the data set after the window closed,
// would be lost. (The memo dialog's other users, not only the grid, give it
// plain fields.)
TEST_F(MemoCells, AFieldThatCannotBeModifiedOpensViewOnly) {
    struct TCase {
        const char* Name;
        const char* Field;
        bool FieldReadOnly, TableReadOnly;
        bool ViewOnly;
    };
    const std::vector<TCase> Cases = {
        {"plain field", "NOMBRE", false, false, false},
        {"read-only plain field", "NOMBRE", true, false, true},
        {"plain field of a read-only table", "NOMBRE", false, true, true},
        {"read-only memo", "OBS", true, false, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Table->Close();
        Table->SetReadOnly(C.TableReadOnly);
        Table->Open();
        Table->FieldByName(C.Field)->SetReadOnly(C.FieldReadOnly);
        auto* Memo = NewComponent<TwwMemoDialog>(Frm);
        Memo->SetDataSource(Grid->DataSource());
        Memo->SetDataField(C.Field);
        bool ReadOnly = false, CancelShown = false;
        Ui().Then([&] {
            TwwMemoDlg* D = Dialog();
            ASSERT_NE(D, nullptr);
            ReadOnly = D->Memo->ReadOnly();
            CancelShown = D->CancelBtn->Visible();
            D->Memo->SetFocus();
            Ui().Type("Z");
            Ui().Key(VK_F2);
        });
        bool Ok = false;
        EXPECT_NO_THROW(Ok = Memo->Execute());
        Memo->Free();
        EXPECT_TRUE(Ok);
        EXPECT_EQ(ReadOnly, C.ViewOnly);
        EXPECT_EQ(CancelShown, !C.ViewOnly);
        EXPECT_EQ(Table->State(), C.ViewOnly ? dsBrowse : dsEdit);
        const AnsiString Value = Table->FieldByName(C.Field)->AsString();
        EXPECT_EQ(Value.find('Z') != AnsiString::npos, !C.ViewOnly) << Value;
        Table->Cancel();
    }
}

// Without a field the dialog edits its own Lines. The window takes the
// wanted size centred when DlgLeft and DlgTop are 0, the wanted bounds when
// either is above 0, and its designed 561 by 395, centred, for a negative
// one; the user buttons show beside each other under the text and fire
// their events with the window open.
TEST_F(MemoCells, TheWindowPlacesItselfAndItsUserButtons) {
    const int W = Screen->Width(), H = Screen->Height();
    struct TCase {
        int Left, Top;
        TRect Expected;
    };
    const std::vector<TCase> Cases = {
        {0, 0, TRect((W - 400) / 2, (H - 300) / 2, (W - 400) / 2 + 400, (H - 300) / 2 + 300)},
        {50, 0, TRect(50, 0, 450, 300)},
        {-1, 0, TRect((W - 561) / 2, (H - 395) / 2, (W - 561) / 2 + 561, (H - 395) / 2 + 395)},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Left);
        auto* Memo = NewComponent<TwwMemoDialog>(Frm);
        Memo->Lines()->Add("uno");
        Memo->SetDlgLeft(C.Left);
        Memo->SetDlgTop(C.Top);
        Memo->SetDlgWidth(400);
        Memo->SetDlgHeight(300);
        Memo->SetUserButton1Caption("Fecha");
        Memo->SetUserButton2Caption("Firma");
        Memo->OnUserButton2Click = [](TwwMemoDlg*, TMemo* M) { M->SetText(M->Text() + " firmado"); };
        TRect Bounds;
        int Left1 = 0, Left2 = 0, Right1 = 0;
        Ui().Then([&] {
            TwwMemoDlg* D = Dialog();
            ASSERT_NE(D, nullptr);
            Bounds = D->BoundsRect();
            Left1 = D->UserButton1->Left();
            Right1 = Left1 + D->UserButton1->Width();
            Left2 = D->UserButton2->Left();
            Ui().Click(D->UserButton2);
        });
        Ui().Then([&] { Ui().Click(Dialog()->OKBtn); });
        EXPECT_TRUE(Memo->Execute());
        EXPECT_EQ(Bounds, C.Expected);
        EXPECT_EQ(Left1, 10);
        EXPECT_EQ(Left2, Right1 + 15);
        EXPECT_EQ(Memo->Lines()->Text(), "uno\r\n firmado\r\n") << "the text the button made";
        Memo->Free();
    }
}

// The cells of a memo show "(Memo)" unless mGridShow, and nothing in an
// empty table; a rich-text cell shows the plain text of its rich text, and a
// text that does not begin with "{\rtf" (one shorter than 5 bytes too) as it is.
TEST_F(MemoCells, CellTextsOfMemoAndRichTextFields) {
    struct TCase {
        const char* Texto;
        const char* Shown;
    };
    const std::vector<TCase> Cases = {
        {RichHello, "Hola mundo"},      {"abc", "abc"}, {"{\\rt", "{\\rt"},
        {"Sin formato", "Sin formato"}, {"", ""},
    };
    Table->First();
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Texto);
        Table->Edit();
        Table->FieldByName("TEXTO")->SetAsString(C.Texto);
        Table->Post();
        EXPECT_EQ(Cell("TEXTO"), C.Shown);
    }
    ASSERT_NE(Grid->RichEdit(), nullptr);
    EXPECT_FALSE(Grid->RichEdit()->Visible());
    EXPECT_EQ(Grid->RichEdit()->Parent(), Grid);
    EXPECT_FALSE(Assigned(Grid->RichEdit()->OnProtectChange)) << "set only while loading";

    EXPECT_EQ(Cell("OBS"), "(Memo)");
    Grid->SetMemoAttributes(TwwMemoAttributes{mSizeable, mWordWrap, mGridShow});
    EXPECT_EQ(Cell("OBS"), "Primera nota");
    Table->EmptyTable();
    EXPECT_EQ(Cell("OBS"), "");
    Grid->SetMemoAttributes(TwwMemoAttributes{mSizeable, mWordWrap});
    EXPECT_EQ(Cell("OBS"), "");
}

// A long rich text shows only its first block's text unless LoadAllRTF.
TEST_F(MemoCells, ALongRichTextShowsItsFirstBlockUnlessLoadAllRTF) {
    const int Block = TwwDBRichEdit::PreviewBlockSize;
    AnsiString Head = "{\\rtf1\\ansi\\pard ";
    AnsiString Words;
    while (static_cast<int>(Head.size() + Words.size()) < Block) Words += "palabra ";
    Words.resize(static_cast<size_t>(Block) - Head.size());
    const AnsiString Tail = "FINAL\\par}";
    Table->First();
    Table->Edit();
    Table->FieldByName("TEXTO")->SetAsString(Head + Words + Tail);
    Table->Post();
    EXPECT_EQ(Cell("TEXTO"), Words);
    Grid->SetLoadAllRTF(true);
    EXPECT_EQ(Cell("TEXTO"), Words + "FINAL");
}

// The preview's cut, block by block as the rich edit's reader counts them:
// an even limit reads limit / 2 whole blocks, an odd one cuts its last block
// at the first group after the first "\pard".
TEST(RichTextPreview, ReadsWholeBlocksAndCutsOnlyAtAnOddLimit) {
    const int Block = TwwDBRichEdit::PreviewBlockSize;
    const AnsiString Small = "{\\rtf1{\\fonttbl{\\f0 A;}}\\pard Hola {\\b mundo}\\par}";
    AnsiString Long = "{\\rtf1\\pard ";
    Long += AnsiString(static_cast<size_t>(2 * Block), 'a');
    struct TCase {
        const char* Name;
        AnsiString Bytes;
        int Limit;
        AnsiString Expected;
    };
    const std::vector<TCase> Cases = {
        {"limit 2, one whole block", Small, 2, Small},
        {"limit 1, cut", Small, 1, "{\\rtf1{\\fonttbl{\\f0 A;}}\\pard Hola }"},
        {"no limit", Long, 0, Long},
        {"limit 2 of a long text", Long, 2, Long.substr(0, static_cast<size_t>(Block))},
        {"limit 4 of a long text", Long, 4, Long.substr(0, static_cast<size_t>(2 * Block))},
        {"line ends made CR LF", "a\nb\rc\r\nd", 2, "a\r\nb\r\nc\r\nd"},
        {"a block's last CR dropped", AnsiString(static_cast<size_t>(Block - 1), 'x') + "\r", 2,
         AnsiString(static_cast<size_t>(Block - 1), 'x')},
    };
    for (const TCase& C : Cases) EXPECT_EQ(RichTextPreview(C.Bytes, C.Limit), C.Expected) << C.Name;
}

}  // namespace
