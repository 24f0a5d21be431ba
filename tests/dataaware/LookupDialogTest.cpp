// The lookup form shown by RunLookupDialog and the lookup and search dialog
// components: its size, place and layout by formula with the pinned font,
// one reference picture, the incremental search on the injected clock, the
// keys and clicks that close it, the index picker, the status header, the
// refusals of the dialogs, and GridOptions through a form file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwidlg.h"
#include "platform/classes/Filer.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ReferencePicture.h"

namespace {

class LookupForm : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        MakeSubjects("materias");
        Subjects = NewWwTable("materias", "CODIGO");
        Subjects->Open();
    }
    // A subjects table with a text tag, a tag that ignores case and a
    // descending one; "lengua" is written in small letters on purpose.
    void MakeSubjects(const char* Name) {
        CreateTable(Name, {{"CODIGO", ftString, 4}, {"NOMBRE", ftString, 20}, {"HORAS", ftFloat}},
                    {{"CODIGO", "CODIGO"},
                     {"NOMBREI", "NOMBRE", {ixCaseInsensitive}},
                     {"HORASD", "HORAS", {ixDescending}}});
        const char* Rows[][3] = {{"MAT", "Matematicas", "5"}, {"LEN", "lengua", "4"},
                                 {"ING", "Ingles", "3"},      {"FIS", "Fisica", "3"},
                                 {"QUI", "Quimica", "2"},     {"HIS", "Historia", "3"},
                                 {"GEO", "Geografia", "2"},   {"MUS", "Musica", "1"}};
        std::vector<std::vector<std::pair<const char*, AnsiString>>> All;
        for (auto& R : Rows) All.push_back({{"CODIGO", R[0]}, {"NOMBRE", R[1]}, {"HORAS", R[2]}});
        AddRows(Name, All);
    }
    TwwLookupDialogSettings Basic() {
        TwwLookupDialogSettings S;
        S.Caption = "Lookup";
        S.DataSet = Subjects;
        S.Selected = &Lines;
        S.UseTFields = false;
        return S;
    }
    static TwwLookupDlg* Dialog() { return dynamic_cast<TwwLookupDlg*>(Screen->ActiveForm()); }
    // Runs the dialog; Step runs once it shows and must close it.
    bool Run(const TwwLookupDialogSettings& S, std::function<void(TwwLookupDlg*)> Step) {
        Ui().Then([Step] {
            TwwLookupDlg* D = Dialog();
            ASSERT_NE(D, nullptr) << "no lookup form is active";
            Step(D);
        });
        const bool Ok = RunLookupDialog(S);
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        return Ok;
    }
    AnsiString Code() { return Subjects->FieldByName("CODIGO")->AsString(); }

    TwwTable* Subjects = nullptr;
    TStringList Lines;
};

// What the layout must be, computed from the parts' own sizes.
struct TLayoutCase {
    const char* Why;
    TwwDBLookupDlgOptions Options;
    std::vector<const char*> Selected;
    int MaxWidth, MaxHeight;
    const char *User1, *User2;
};

TEST_F(LookupForm, SizePlaceAndLayoutFollowTheColumnsTheLimitsAndTheOptions) {
    const TLayoutCase Cases[] = {
        {"OK and Cancel",
         {opShowOKCancel},
         {"CODIGO\t6\tCodigo\tF", "NOMBRE\t20\tNombre\tF"},
         0,
         209,
         "",
         ""},
        {"the index picker under the grid",
         {opShowOKCancel, opShowSearchBy},
         {"CODIGO\t6\tCodigo\tF", "NOMBRE\t20\tNombre\tF"},
         0,
         209,
         "",
         ""},
        {"grouped on one line, the narrow columns widened and the short label",
         {opShowOKCancel, opShowSearchBy, opGroupControls},
         {"CODIGO\t3\tCod\tF"},
         0,
         209,
         "",
         ""},
        {"user buttons without OK and Cancel", {}, {"CODIGO\t6\tCodigo\tF"}, 0, 150, "Nuevo", "Borrar"},
        {"user buttons beside OK and Cancel",
         {opShowOKCancel},
         {"CODIGO\t6\tCodigo\tF"},
         0,
         150,
         "",
         "Borrar"},
        {"no height limit is the screen's less 200",
         {opShowOKCancel},
         {"NOMBRE\t20\tNombre\tF"},
         0,
         0,
         "",
         ""},
        {"a width limit below the columns keeps the scroll bar",
         {opShowOKCancel},
         {"CODIGO\t6\tCodigo\tF", "NOMBRE\t20\tNombre\tF", "HORAS\t10\tHoras\tF"},
         250,
         209,
         "",
         ""},
        {"the status header under the grid",
         {opShowOKCancel, opShowStatusBar},
         {"CODIGO\t6\tCodigo\tF", "NOMBRE\t20\tNombre\tF"},
         0,
         209,
         "",
         ""},
    };
    const int Frame = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) + 9;
    const TRect Work = Screen->WorkAreaRect();
    int DesignedWidth = 0;
    {
        auto* Fresh = NewComponent<TwwLookupDlg>(Application);
        DesignedWidth = Fresh->Width();
        Fresh->Free();
    }
    // More subjects than any of the limits shows.
    TTable* Filler = NewTable("materias");
    Filler->Open();
    for (int N = 0; N < 60; ++N) {
        Filler->Append();
        Filler->FieldByName("CODIGO")->SetAsString("Z" + IntToStr(N));
        Filler->FieldByName("NOMBRE")->SetAsString("Zoologia " + IntToStr(N));
        Filler->Post();
    }
    Filler->Free();
    Subjects->Refresh();
    for (const TLayoutCase& C : Cases) {
        SCOPED_TRACE(C.Why);
        Lines.Clear();
        for (const char* L : C.Selected) Lines.Add(L);
        TwwLookupDialogSettings S = Basic();
        S.Options = C.Options;
        S.MaxWidth = C.MaxWidth;
        S.MaxHeight = C.MaxHeight;
        S.UserButton1Caption = C.User1;
        S.UserButton2Caption = C.User2;
        Run(S, [&](TwwLookupDlg* D) {
            TwwDBGrid* G = D->wwDBGrid1;
            const bool OkCancel = C.Options.Contains(opShowOKCancel);
            const bool B1 = *C.User1 != 0, B2 = *C.User2 != 0;
            int Needed = GetSystemMetrics(SM_CXHTHUMB) + 4;
            for (int Col = 0; Col < G->ColCount(); ++Col) Needed += G->ColWidths(Col) + G->GridLineWidth();
            int Minimum;
            if (OkCancel) {
                Minimum = D->OKBtn->Width() + D->CancelBtn->Width() + 18;
                if (B1) Minimum += D->UserButton1->Width() + 30;
                if (B2) Minimum += D->UserButton2->Width() + 30;
            } else {
                Minimum = std::max(D->SortByLabel->Left() + D->SortByLabel->Width() + 3,
                                   B1 && B2 ? D->UserButton1->Width() + D->UserButton2->Width() + 35
                                            : D->UserButton1->Width() + 35);
            }
            // The status header as designed, before it took the grid's width.
            if (C.Options.Contains(opShowStatusBar)) Minimum = std::max(Minimum, 185);
            const int MaxW = C.MaxWidth ? std::min(C.MaxWidth, Screen->Width() - 40) : Screen->Width() - 40;
            const int MaxH =
                C.MaxHeight ? std::min(C.MaxHeight, Screen->Height() - 200) : Screen->Height() - 200;

            // Narrow columns: the last one takes what the minimum lacks, in
            // whole characters of its Selected line.
            TBitmap Measure;
            Measure.Canvas()->Font()->Assign(G->Font());
            EXPECT_GT(Needed, Minimum - Measure.Canvas()->TextWidth("0"));
            EXPECT_EQ(G->Width(), std::max(std::min(Needed, MaxW), Minimum));
            EXPECT_EQ(G->ShowHorzScrollBar(), G->Width() < Needed);
            // Whole rows within the limit.
            EXPECT_LE(G->Height(), MaxH);
            EXPECT_TRUE(G->Height() > MaxH - G->DefaultRowHeight() - G->GridLineWidth() -
                                          (G->ShowHorzScrollBar() ? GetSystemMetrics(SM_CYHSCROLL) : 0))
                << G->Height();
            EXPECT_EQ(D->Width(), DesignedWidth + G->Width() - 329);
            EXPECT_EQ(D->Left(), (Screen->Width() - D->Width()) / 2);
            EXPECT_EQ(D->Top(), std::max(0, (Work.Top + Work.Bottom - (MaxH + 200)) / 2));

            TwwIncrementalSearch* E = D->wwIncrementalSearch1;
            EXPECT_EQ(D->SearchCharacterLabel->Top(), 8);
            EXPECT_EQ(E->Top(), 13 + 8 + 3);
            EXPECT_EQ(G->Top(), E->Top() + E->Height() + 8);
            int Bottom = G->Top() + G->Height();
            if (C.Options.Contains(opShowStatusBar)) {
                ASSERT_TRUE(D->StatusHeader->Visible());
                EXPECT_EQ(D->StatusHeader->Top(), Bottom - 1);
                EXPECT_EQ(D->StatusHeader->Left(), G->Left());
                EXPECT_EQ(D->StatusHeader->Width(), G->Width());
                Bottom = D->StatusHeader->Top() + D->StatusHeader->Height();
            } else {
                EXPECT_FALSE(D->StatusHeader->Visible());
            }
            const bool SearchBy = C.Options.Contains(opShowSearchBy);
            EXPECT_EQ(D->wwKeyCombo1->Visible(), SearchBy);
            EXPECT_EQ(D->SortByLabel->Visible(), SearchBy);
            if (!SearchBy) {
                EXPECT_EQ(E->Width(), G->Width());
            } else if (C.Options.Contains(opGroupControls)) {
                const int Half = (G->Width() - 20) / 2;
                EXPECT_EQ(E->Width(), Half);
                EXPECT_EQ(D->wwKeyCombo1->Width(), Half);
                EXPECT_EQ(D->wwKeyCombo1->Left(), E->Left() + Half + 20);
                EXPECT_EQ(D->wwKeyCombo1->Top(), E->Top());
                EXPECT_EQ(D->SortByLabel->Left(), D->wwKeyCombo1->Left());
                EXPECT_EQ(D->SortByLabel->Top(), D->SearchCharacterLabel->Top());
                EXPECT_EQ(D->wwKeyCombo1->TabOrder(), 1);
                TBitmap B;
                B.Canvas()->Font()->Assign(D->Font());
                const bool Short = Half < B.Canvas()->TextWidth("Search Characters");
                EXPECT_TRUE(Short) << "the case is meant to be too narrow for the long label";
                EXPECT_EQ(D->SearchCharacterLabel->Caption(), "&Search Char");
            } else {
                EXPECT_EQ(E->Width(), G->Width());
                EXPECT_EQ(D->SortByLabel->Top(), Bottom + 8);
                EXPECT_EQ(D->SortByLabel->Left(), D->SearchCharacterLabel->Left());
                EXPECT_EQ(D->wwKeyCombo1->Top(), D->SortByLabel->Top() + D->SortByLabel->Height() + 3);
                EXPECT_EQ(D->wwKeyCombo1->Left(), G->Left());
                EXPECT_EQ(D->wwKeyCombo1->Width(), G->Width());
                Bottom = D->wwKeyCombo1->Top() + D->wwKeyCombo1->Height();
            }
            EXPECT_EQ(D->UserButtonPanel->Visible(), B1 || B2);
            if (B1 || B2) {
                EXPECT_EQ(D->UserButtonPanel->Top(), Bottom + 5);
                TButton* Last = B2 ? D->UserButton2 : D->UserButton1;
                if (B1) {
                    EXPECT_EQ(D->UserButton1->Left(), 10);
                }
                if (B2) {
                    EXPECT_EQ(D->UserButton2->Left(),
                              B1 ? D->UserButton1->Left() + D->UserButton1->Width() + 15 : 15);
                }
                EXPECT_EQ(D->UserButtonPanel->Width(),
                          OkCancel ? Last->Left() + Last->Width() + 10 : G->Width());
            }
            if (OkCancel) {
                const int Shift = G->Width() == Minimum ? 5 : 0;
                EXPECT_EQ(D->OKBtn->Top(), Bottom + 13);
                EXPECT_EQ(D->CancelBtn->Top(), Bottom + 13);
                EXPECT_EQ(D->OKBtn->Left(), D->Width() - 2 * D->OKBtn->Width() - 36 + Shift);
                EXPECT_EQ(D->CancelBtn->Left(), D->Width() - D->CancelBtn->Width() - 23 + Shift);
                EXPECT_EQ(D->Height(), D->OKBtn->Top() + D->OKBtn->Height() + Frame);
            } else {
                EXPECT_GE(D->OKBtn->Top(), D->ClientHeight()) << "OK waits below the visible area";
                EXPECT_EQ(D->Height(), B1 || B2
                                           ? D->UserButtonPanel->Top() + D->UserButtonPanel->Height() + Frame
                                           : Bottom + Frame);
            }
            Ui().Key(VK_ESCAPE);
        });
    }
}

// Made once more as it first shows, the window is the one the modal loop
// runs on: it is active, its search edit has the focus, it stands where the
// layout put it, and Escape and Enter close it.
TEST_F(LookupForm, TheWindowMadeAgainOnShowKeepsTheLoopTheFocusAndThePlace) {
    Lines.Add("NOMBRE\t20\tNombre\tF");
    for (const bool Enter : {false, true}) {
        SCOPED_TRACE(Enter ? "Enter" : "Escape");
        const bool Ok = Run(Basic(), [&](TwwLookupDlg* D) {
            EXPECT_TRUE(D->WindowRecreated());
            EXPECT_EQ(GetActiveWindow(), D->Handle());
            EXPECT_EQ(D->ActiveControl(), D->wwIncrementalSearch1);
            EXPECT_EQ(GetFocus(), D->wwIncrementalSearch1->Handle());
            TRect R;
            GetWindowRect(D->Handle(), R);
            EXPECT_EQ(R.Left, D->Left());
            EXPECT_EQ(R.Top, D->Top());
            EXPECT_EQ(R.Width(), D->Width());
            EXPECT_TRUE(IsWindowVisible(D->Handle()));
            Ui().Key(Enter ? VK_RETURN : VK_ESCAPE);
        });
        EXPECT_EQ(Ok, Enter);
    }
}

TEST_F(LookupForm, LooksAsDrawn) {
    Lines.Add("CODIGO\t6\tCodigo\tF");
    Lines.Add("NOMBRE\t20\tNombre\tF");
    TwwLookupDialogSettings S = Basic();
    S.Options = {opShowOKCancel, opShowSearchBy, opGroupControls};
    Subjects->SetIndexName("NOMBREI");
    Run(S, [&](TwwLookupDlg* D) {
        Ui().Type("ma");
        Idle();
        Clock.Advance(200);
        Idle();
        EXPECT_EQ(Code(), "MAT");
        const std::string File = std::string(ZELMOR_SOURCE_DIR) + "/tests/dataaware/reference/lookupdlg.png";
        EXPECT_TRUE(MatchesReferencePicture(Ui().Picture(D), File));
        Ui().Key(VK_ESCAPE);
    });
}

// The glyphs of OK and Cancel are whole: the tick and the cross span their
// pictures' width, as on the bit buttons of the program's own dialogs.
TEST_F(LookupForm, TheOkAndCancelGlyphsAreWhole) {
    Lines.Add("CODIGO\t6\tCodigo\tF");
    Run(Basic(), [&](TwwLookupDlg* D) {
        const TSurface& Picture = Ui().Picture(D);
        for (auto [B, Ink] :
             {std::pair<TButton*, uint32_t>{D->OKBtn, 0x008000u}, {D->CancelBtn, 0xFF0000u}}) {
            SCOPED_TRACE(B->Caption());
            ASSERT_NE(dynamic_cast<TBitBtn*>(B), nullptr);
            const TPoint At = B->ClientToScreen(TPoint(0, 0));
            int First = B->Width(), Last = -1;
            for (int Y = 0; Y < B->Height(); ++Y)
                for (int X = 0; X < B->Width(); ++X)
                    if ((Picture.GetPixel(At.x - D->Left() + X, At.y - D->Top() + Y) & 0xFFFFFF) == Ink) {
                        First = std::min(First, X);
                        Last = std::max(Last, X);
                    }
            EXPECT_GE(Last - First + 1, 11) << "of a picture 18 wide";
        }
        Ui().Key(VK_ESCAPE);
    });
}

// Typing waits for the pause after the last key (100 ms on an open local
// table), then moves to the first record that starts with the text, by the
// table's index; the arrows and the pages move the grid from the edit.
TEST_F(LookupForm, TypingSearchesAfterThePauseAndTheKeysMoveTheGrid) {
    struct TCase {
        const char* Index;
        const char* Typed;
        const char* Found;
    } Cases[] = {{"CODIGO", "G", "GEO"}, {"NOMBREI", "LEN", "LEN"}, {"NOMBREI", "in", "ING"}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Index) + " " + C.Typed);
        Subjects->SetIndexName(C.Index);
        Subjects->First();
        Lines.Clear();
        Run(Basic(), [&](TwwLookupDlg* D) {
            const AnsiString Before = Code();
            Ui().Type(C.Typed);
            Idle();
            Clock.Advance(99);
            Idle();
            EXPECT_EQ(Code(), Before) << "still within the pause";
            Clock.Advance(1);
            Idle();
            EXPECT_EQ(Code(), C.Found);
            EXPECT_EQ(D->wwIncrementalSearch1->SearchField(),
                      C.Index == std::string("CODIGO") ? "CODIGO" : "NOMBRE");
            EXPECT_EQ(D->wwDBGrid1->GetColumnFieldName(1), D->wwIncrementalSearch1->SearchField())
                << "the order's field comes first";
            const int At = Subjects->RecNo();
            Ui().Key(VK_DOWN);
            Idle();
            EXPECT_EQ(Subjects->RecNo(), At + 1);
            Ui().Key(VK_UP);
            Idle();
            EXPECT_EQ(Subjects->RecNo(), At);
            EXPECT_EQ(D->ActiveControl(), D->wwIncrementalSearch1) << D->ActiveControl()->Name();
            Ui().Key(VK_ESCAPE);
        });
    }
}

// Enter, the OK button and a double click on a row close with OK on the
// record shown; Escape and Cancel close without it.
TEST_F(LookupForm, EnterOkAndADoubleClickAcceptEscapeAndCancelDoNot) {
    struct TCase {
        const char* How;
        bool Accepts;
    } Cases[] = {{"Enter", true}, {"OK", true}, {"double click", true}, {"Escape", false}, {"Cancel", false}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.How);
        Subjects->First();
        const bool Ok = Run(Basic(), [&](TwwLookupDlg* D) {
            const std::string How = C.How;
            if (How == "Enter") Ui().Key(VK_RETURN);
            else if (How == "OK") Ui().Click(D->OKBtn);
            else if (How == "Cancel") Ui().Click(D->CancelBtn);
            else if (How == "Escape") Ui().Key(VK_ESCAPE);
            else DoubleClickCell(D->wwDBGrid1, 1, 3);
        });
        EXPECT_EQ(Ok, C.Accepts);
        if (std::string(C.How) == "double click") {
            EXPECT_EQ(Subjects->RecNo(), 3) << "the row clicked";
        }
    }
}

// Picking another order clears the search text, brings the new order's
// field to the front as the search field and tells OnSortChange; a
// descending tag is offered with " - Desc".
TEST_F(LookupForm, PickingAnotherIndexReordersAndSearchesByItsField) {
    Subjects->SetIndexName("CODIGO");
    Subjects->FieldByName("HORAS")->SetDisplayLabel("Horas");
    Subjects->FieldByName("NOMBRE")->SetDisplayLabel("Nombre");
    Subjects->FieldByName("CODIGO")->SetDisplayLabel("Codigo");
    TwwLookupDialogSettings S = Basic();
    S.Options = {opShowOKCancel, opShowSearchBy};
    std::vector<TObject*> SortChanges;
    S.OnSortChange = [&](TObject* Sender) { SortChanges.push_back(Sender); };
    Run(S, [&](TwwLookupDlg* D) {
        TwwKeyCombo* K = D->wwKeyCombo1;
        std::vector<AnsiString> Items;
        for (int I = 0; I < K->Items()->Count(); ++I) Items.push_back(K->Items()->Strings(I));
        EXPECT_EQ(Items, (std::vector<AnsiString>{"Codigo", "Nombre", "Horas - Desc"}));
        Ui().Type("q");
        Idle();
        K->SetFocus();
        Keys("{Down}");
        EXPECT_TRUE(K->IsDroppedDown()) << "Down opens the picker's list";
        Keys("{Down}{Down}{Enter}");
        EXPECT_FALSE(K->IsDroppedDown());
        EXPECT_EQ(D->ActiveControl(), D->wwIncrementalSearch1) << "Enter hands the focus back to the search";
        EXPECT_EQ(Subjects->IndexName(), "HORASD");
        EXPECT_EQ(D->wwIncrementalSearch1->Text(), "");
        EXPECT_EQ(D->wwIncrementalSearch1->SearchField(), "HORAS");
        EXPECT_EQ(D->wwDBGrid1->GetColumnFieldName(1), "HORAS");
        ASSERT_FALSE(SortChanges.empty());
        for (TObject* Sender : SortChanges) EXPECT_EQ(Sender, D) << "the form tells each change";
        Ui().Key(VK_ESCAPE);
    });
}

TEST_F(LookupForm, TheStatusHeaderShowsTheTableAndTheRecordPosition) {
    Subjects->SetIndexName("CODIGO");
    Subjects->First();
    TwwLookupDialogSettings S = Basic();
    S.Options = {opShowOKCancel, opShowStatusBar};
    Run(S, [&](TwwLookupDlg* D) {
        EXPECT_EQ(D->StatusHeader->Sections()->Strings(0), "materias");
        EXPECT_EQ(D->StatusHeader->Sections()->Strings(1), "Rec # 1 of 8");
        Ui().Key(VK_DOWN);
        Idle();
        EXPECT_EQ(D->StatusHeader->Sections()->Strings(1), "Rec # 2 of 8");
        Ui().Key(VK_ESCAPE);
    });
}

// OnInitDialog may change the limits: a changed MaxWidth centres the form
// again on the work area, and a form the handler moved keeps its left.
TEST_F(LookupForm, OnInitDialogMayChangeTheLimitsOrMoveTheForm) {
    Lines.Add("NOMBRE\t20\tNombre\tF");
    struct TCase {
        const char* Why;
        int NewMaxWidth;  // 0: unchanged
        int NewLeft;      // -1: unchanged
        int ExplicitLeft;
    } Cases[] = {{"untouched", 0, -1, -1}, {"a new width limit", 600, -1, -2}, {"moved", 0, 33, 33}};
    const TRect Work = Screen->WorkAreaRect();
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Why);
        TwwLookupDialogSettings S = Basic();
        int Inits = 0;
        S.OnInitDialog = [&](TwwLookupDlg* D) {
            ++Inits;
            if (C.NewMaxWidth) D->MaxWidth = C.NewMaxWidth;
            if (C.NewLeft >= 0) D->SetLeft(C.NewLeft);
        };
        AnsiString Closing;
        S.OnCloseDialog = [&](TwwLookupDlg* D) { Closing = D->wwIncrementalSearch1->Text(); };
        Run(S, [&](TwwLookupDlg* D) {
            // Centred again on the work area by the new limit: a left of its own.
            const int Expected =
                C.ExplicitLeft == -2 ? (Work.Left + Work.Right - (600 + 40)) / 2 : C.ExplicitLeft;
            EXPECT_EQ(D->ExplicitLeft(), Expected);
            EXPECT_EQ(D->Left(), Expected == -1 ? (Screen->Width() - D->Width()) / 2 : Expected);
            Ui().Type("x");
            Ui().Key(VK_ESCAPE);
        });
        EXPECT_EQ(Inits, 1);
        EXPECT_EQ(Closing, "x") << "OnCloseDialog reads the form as it closes";
    }
}

// ---------------------------------------------------------------- the dialog components

class LookupDialogs : public LookupForm {};

TEST_F(LookupDialogs, RefuseWithoutAUsableTableAndShowNoForm) {
    auto* Lookup = NewComponent<TwwLookupDialog>(Form);
    auto* Search = NewComponent<TwwSearchDialog>(Form);
    TwwTable* Closed = NewWwTable("materias", "CODIGO");
    TwwTable* Other = NewWwTable("otra", "CODIGO");
    MakeSubjects("otra");
    Other->Open();
    struct TCase {
        const char* Why;
        std::function<bool()> Execute;
        const char* Text;
    } Cases[] = {
        {"lookup without a table", [&] { return Lookup->Execute(); }, "You must define a lookupTable."},
        {"lookup on a closed table",
         [&] {
             Lookup->SetLookupTable(Closed);
             return Lookup->Execute();
         },
         "Search Table is not active."},
        {"search without a table", [&] { return Search->Execute(); }, "You must define a searchTable."},
        {"shadow that is the searched table",
         [&] {
             Search->SetSearchTable(Subjects);
             Search->SetShadowSearchTable(Subjects);
             return Search->Execute();
         },
         "Your SearchTable and ShadowSearchTable must reference two distinct TDataSet objects, but each must "
         "reference the same physical table."},
        {"shadow on another table",
         [&] {
             Search->SetShadowSearchTable(Other);
             return Search->Execute();
         },
         "Your SearchTable and ShadowSearchTable must reference two distinct TDataSet objects, and each must "
         "reference the same physical table."},
        {"closed shadow",
         [&] {
             Search->SetShadowSearchTable(Closed);
             return Search->Execute();
         },
         "Unable to open search or lookup table."},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Why);
        Answers.Then(mrOk);
        EXPECT_FALSE(C.Execute());
        ASSERT_FALSE(Answers.Asked().empty());
        EXPECT_EQ(Answers.Asked().back().Text, C.Text);
        EXPECT_EQ(Answers.Asked().back().DlgType, mtWarning);
        EXPECT_EQ(Answers.Pending(), 0u);
    }
    EXPECT_EQ(Search->GetPrimaryDataSet(), Subjects);
    Closed->Free();
    EXPECT_EQ(Lookup->LookupTable(), nullptr) << "a freed table is forgotten";
    EXPECT_EQ(Search->ShadowSearchTable(), nullptr);
    auto* Base = NewComponent<TwwCustomLookupDialog>(Form);
    try {
        Base->GetPrimaryDataSet();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(
            E.Message(),
            "Derived classes of \"TwwCustomLookupDialog\" must implement function \"GetPrimaryDataSet\"");
    }
}

// The user browses the shadow table; the searched table moves only on OK,
// and not to an empty shadow.
TEST_F(LookupDialogs, TheSearchedTableFollowsTheShadowOnlyOnOk) {
    auto* Search = NewComponent<TwwSearchDialog>(Form);
    TwwTable* Shadow = NewWwTable("materias", "CODIGO");
    Shadow->Open();
    Subjects->SetIndexName("CODIGO");
    Subjects->FindKey({"LEN"});
    Search->SetSearchTable(Subjects);
    Search->SetShadowSearchTable(Shadow);
    for (const bool Accept : {false, true}) {
        SCOPED_TRACE(Accept ? "OK" : "Cancel");
        Ui().Then([&] {
            EXPECT_EQ(Shadow->FieldByName("CODIGO")->AsString(), "LEN")
                << "the shadow starts where the table is";
            Ui().Type("Q");
            Idle();
            Clock.Advance(200);
            Idle();
            Ui().Key(Accept ? VK_RETURN : VK_ESCAPE);
        });
        EXPECT_EQ(Search->Execute(), Accept);
        EXPECT_EQ(Code(), Accept ? "QUI" : "LEN");
    }
    Shadow->SetFilter("CODIGO='ZZZ'");
    Shadow->SetFiltered(true);
    Ui().Then([&] { Ui().Key(VK_RETURN); });
    EXPECT_TRUE(Search->Execute());
    EXPECT_EQ(Code(), "QUI") << "an empty shadow moves nothing";
}

// With no lines the grid lists every visible field ("F" read-only flag);
// an inactive data set is told and leaves the list empty.
TEST_F(LookupDialogs, EmptySelectedListsTheVisibleFields) {
    Subjects->FieldByName("HORAS")->SetVisible(false);
    TStringList L;
    FillSelectedFromFields(&L, Subjects);
    ASSERT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Strings(0), "CODIGO\t4\tCODIGO\tF");
    EXPECT_EQ(L.Strings(1), "NOMBRE\t20\tNOMBRE\tF");
    TwwTable* Closed = NewWwTable("materias");
    Answers.Then(mrOk);
    FillSelectedFromFields(&L, Closed);
    EXPECT_EQ(L.Count(), 0);
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "DataSet for this component must be active.");
}

// GridOptions keeps what the constructor set unless a form says otherwise,
// and a form that names exactly that set reads it back; dgMultiSelect gives
// the grid its selection options.
TEST_F(LookupDialogs, GridOptionsRoundTripThroughAFormFile) {
    const TwwDBGridOptions Made{dgTitles,        dgIndicator,    dgColumnResize, dgColLines,
                                dgRowLines,      dgTabs,         dgRowSelect,    dgAlwaysShowSelection,
                                dgConfirmDelete, dgPerfectRowFit};
    const TwwDBGridOptions Old{dgEditing,  dgTitles,   dgIndicator, dgColumnResize,
                               dgColLines, dgRowLines, dgTabs,      dgConfirmDelete};
    EXPECT_EQ(Made, wwLookupDialogGridOptions);
    for (const TwwDBGridOptions& Value : {Made, Old, TwwDBGridOptions{dgTitles}}) {
        auto* Holder = TForm::CreateNew(Application);
        auto* D = NewComponent<TwwLookupDialog>(Holder);
        D->SetName("Dlg");
        D->SetGridOptions(Value);
        const AnsiString Text = WriteComponentToText(Holder);
        EXPECT_EQ(Text.find("GridOptions") == AnsiString::npos, Value == Made) << Text;
        auto* Back = TForm::CreateNew(Application);
        ReadComponentFromText(Back, Text);
        auto* Read = dynamic_cast<TwwLookupDialog*>(Back->FindComponent("Dlg"));
        ASSERT_NE(Read, nullptr);
        EXPECT_EQ(Read->GridOptions(), Value);
        Holder->Free();
        Back->Free();
    }
    TwwLookupDialogSettings S = Basic();
    S.GridOptions = {dgTitles, dgIndicator, dgMultiSelect};
    Run(S, [&](TwwLookupDlg* D) {
        EXPECT_EQ(D->wwDBGrid1->MultiSelectOptions(),
                  (TwwMultiSelectOptions{msoAutoUnselect, msoShiftSelect}));
        EXPECT_EQ(D->wwDBGrid1->Options(), S.GridOptions);
        Ui().Key(VK_ESCAPE);
    });
}

}  // namespace
