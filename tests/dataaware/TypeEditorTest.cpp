// The subtype editor's grid (forms/TiposGrid.zfm) over the working table of
// subtypes of the sample school, its subject cells edited through the
// invisible lookup-dialog combo: keys and clicks reach the combo, its
// button and drop-down keys open the lookup form modally over the subjects
// of one course, the form's search and its OK write the subject's code into
// the cell, Cancel and Escape write nothing, and Tab goes on to the next
// cell. Also the combo's own rules: no form without an open lookup table,
// none for a read-only combo, the text handed to the form cut at 63
// characters, and GridOptions through a form file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbdlg.h"
#include "dataaware/Wwtable.h"
#include "forms/TiposGrid.h"
#include "platform/classes/Filer.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Timers.h"

namespace {

// The course whose subjects the lookup form offers.
const char* const Course = "DESO4";

class TypeEditor : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        RegisterClasses({&TTiposGridForm::StaticClassInfo()});
        const auto Samples = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
        for (const char* File : {"tipos2.dbf", "tipos2.mdx", "asigcur.dbf", "asigcur.mdx"})
            std::filesystem::copy_file(Samples / File, Data / File,
                                       std::filesystem::copy_options::overwrite_existing);
        // The sample's working table is empty until the types are computed: two subtypes.
        AddRows("tipos2", {{{"N", "1"},
                            {"NALUM", "12"},
                            {"TNC", Course},
                            {"OPCION", "A"},
                            {"ASIG1", "LCL"},
                            {"ASIG2", "MAT"},
                            {"ASIG3", "ING"}},
                           {{"N", "2"}, {"NALUM", "7"}, {"TNC", Course}, {"OPCION", "B"}, {"ASIG1", "LCL"}}});
        OpenForm();
    }
    // The editor as the types screen opens it, on the stored rows.
    void OpenForm(bool LookupOpen = true) {
        if (F) {
            F->wwTableTipos->Cancel();
            F->Free();
            Shown = nullptr;
        }
        F = NewComponent<TTiposGridForm>(Application);
        F->wwTableTipos->Open();
        if (LookupOpen) F->wwTableAsigcur->Open();
        F->wwTableAsigcur->SetFilter("TNC='" + AnsiString(Course) + "'");
        F->wwTableAsigcur->SetFiltered(true);
        ShowWithGrid(F, G());
    }
    TwwDBGrid* G() { return F->wwDBGridTipGrup; }
    TwwDBLookupComboDlg* Combo() { return F->wwDBLookupComboDlg1; }
    TwwTable* Tipos() { return F->wwTableTipos; }
    static TwwLookupDlg* Dialog() { return dynamic_cast<TwwLookupDlg*>(Screen->ActiveForm()); }
    // The cell of a field on the first subtype, clicked.
    void ToCell(const char* Field) {
        Tipos()->First();
        ClickCell(G(), GridColOf(G(), Field), 1);
    }
    AnsiString Value(const char* Field) { return Tipos()->FieldByName(Field)->AsString(); }
    AnsiString Chosen() { return F->wwTableAsigcur->FieldByName("ASIG")->AsString(); }
    // The search of the form's edit, after its pause on the clock.
    void Search(TwwLookupDlg* D, const char* Text) {
        const AnsiString Before = Chosen();
        Ui().Type(Text);
        Idle();
        const unsigned Pause = D->wwIncrementalSearch1->DelayTimer()->Interval();
        Clock.Advance(Pause - 1);
        Idle();
        EXPECT_EQ(Chosen(), Before) << "not before the pause";
        Clock.Advance(1);
        Idle();
    }

    TTiposGridForm* F = nullptr;
};

TEST_F(TypeEditor, TheSubjectCellsHaveTheComboAsEditor) {
    ToCell("ASIG2");
    EXPECT_EQ(G()->SelectedField()->FieldName(), "ASIG2");
    EXPECT_EQ(G()->ActiveCellControl(), Combo());
    EXPECT_EQ(Combo()->DataField(), "ASIG2");
    EXPECT_EQ(Combo()->Text(), "MAT");
    EXPECT_EQ(Combo()->GridOptions(), wwLookupDialogGridOptions);
    EXPECT_EQ(Combo()->ButtonStyle(), cbsEllipsis);
    EXPECT_FALSE(Combo()->AutoDropDown()) << "the type editor opens no form on a typed key";
}

// The button, Alt+Down from the grid and F4 in the combo (F2 gives it the
// focus) open the form modally, over the subjects of the course alone.
TEST_F(TypeEditor, TheButtonAndTheDropDownKeysOpenTheFormModally) {
    struct TCase {
        const char* How;
    } Cases[] = {{"button"}, {"F2 F4"}, {"Alt+Down"}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.How);
        ToCell("ASIG1");
        int Shown = 0;
        Ui().Then([&] {
            TwwLookupDlg* D = Dialog();
            ASSERT_NE(D, nullptr);
            ++Shown;
            EXPECT_TRUE(D->FormState().Contains(fsModal));
            EXPECT_EQ(D->Caption(), "Lookup");
            EXPECT_EQ(D->DataSet, F->wwTableAsigcur);
            EXPECT_EQ(D->wwDBGrid1->GetColumnFieldName(1), "ASIG");
            EXPECT_EQ(Chosen(), "LCL") << "the form opens on the cell's subject";
            EXPECT_LE(D->wwDBGrid1->Height(), 209);
            Ui().Key(VK_ESCAPE);
        });
        const std::string How = C.How;
        if (How == "button") {
            const TPoint P = Combo()->ButtonHolder()->ClientToScreen(
                TPoint(Combo()->ButtonHolder()->Width() / 2, Combo()->ButtonHolder()->Height() / 2));
            Ui().Click(P);
        } else if (How == "F2 F4") {
            Ui().Key(VK_F2);
            Idle();
            EXPECT_EQ(Screen->ActiveControl(), Combo());
            Ui().Key(VK_F4);
        } else {
            Ui().Key(VK_DOWN, TShiftState{ssAlt});
        }
        Idle();
        EXPECT_EQ(Shown, 1);
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        EXPECT_EQ(Value("ASIG1"), "LCL");
    }
}

// The form's search moves to the first subject that starts with the text;
// Enter and OK write its code into the cell's field and show it, Cancel
// and Escape leave the field; Tab then goes to the next cell.
TEST_F(TypeEditor, OkWritesTheSubjectFoundCancelWritesNothingAndTabMovesOn) {
    struct TCase {
        const char* How;
        bool Writes;
    } Cases[] = {{"Enter", true}, {"OK", true}, {"Escape", false}, {"Cancel", false}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.How);
        OpenForm();
        ToCell("ASIG3");
        const AnsiString Before = Value("ASIG3");
        Ui().Then([&] {
            TwwLookupDlg* D = Dialog();
            ASSERT_NE(D, nullptr);
            Search(D, "FR");
            EXPECT_EQ(Chosen(), "FRA");
            const std::string How = C.How;
            if (How == "Enter") Ui().Key(VK_RETURN);
            else if (How == "OK") Ui().Click(D->OKBtn);
            else if (How == "Cancel") Ui().Click(D->CancelBtn);
            else Ui().Key(VK_ESCAPE);
        });
        Ui().Key(VK_DOWN, TShiftState{ssAlt});
        Idle();
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        EXPECT_EQ(Value("ASIG3"), C.Writes ? "FRA" : Before);
        EXPECT_EQ(Combo()->Text(), C.Writes ? "FRA" : Before);
        EXPECT_EQ(Screen->ActiveForm(), F);
        Ui().Key(VK_TAB);
        Idle();
        EXPECT_EQ(G()->SelectedField()->FieldName(), "ASIG4") << "Tab right after the form closed";
        EXPECT_EQ(Value("ASIG3"), C.Writes ? "FRA" : Before);
        if (C.Writes) {
            Tipos()->Post();
            TTable* Stored = NewTable("tipos2");
            Stored->Open();
            EXPECT_EQ(Stored->FieldByName("ASIG3")->AsString(), "FRA");
            Stored->Edit();
            Stored->FieldByName("ASIG3")->SetAsString(Before);
            Stored->Post();
            Stored->Free();
        }
    }
}

// A key typed on a subject cell goes to the combo. Without AutoDropDown
// (the type editor's setting) it is typed there; with it, the form opens
// with the key as its search.
TEST_F(TypeEditor, ATypedKeyReachesTheComboAndOpensTheFormOnlyWithAutoDropDown) {
    for (const bool Auto : {false, true}) {
        SCOPED_TRACE(Auto ? "AutoDropDown" : "no AutoDropDown");
        OpenForm();
        Combo()->SetAutoDropDown(Auto);
        ToCell("ASIG2");
        int Shown = 0;
        AnsiString Offered;
        if (Auto) {
            Ui().Then([&] {
                TwwLookupDlg* D = Dialog();
                ASSERT_NE(D, nullptr);
                ++Shown;
                Offered = D->wwIncrementalSearch1->Text();
                Ui().Key(VK_ESCAPE);
            });
        }
        Ui().Type("I");
        Idle();
        EXPECT_EQ(Screen->ActiveControl(), Combo());
        EXPECT_EQ(Shown, Auto ? 1 : 0);
        EXPECT_EQ(Ui().StepsLeft(), 0u);
        if (Auto) EXPECT_EQ(Offered, "I");
        else EXPECT_EQ(Combo()->Text().substr(0, 1), "I");
        Ui().Key(VK_ESCAPE);
        Idle();
        Ui().Key(VK_TAB);
        Idle();
        EXPECT_EQ(G()->SelectedField()->FieldName(), "ASIG3");
    }
}

// OnDropDown comes first, then the check of the lookup table; a read-only
// combo opens nothing and says nothing.
TEST_F(TypeEditor, AClosedLookupTableIsToldAndAReadOnlyComboOpensNothing) {
    int DropDowns = 0;
    OpenForm(false);
    Combo()->OnDropDown = [&](TObject*) { ++DropDowns; };
    ToCell("ASIG1");
    Answers.Then(mrOk);
    Ui().Key(VK_DOWN, TShiftState{ssAlt});
    Idle();
    EXPECT_EQ(DropDowns, 1);
    ASSERT_EQ(Answers.Texts().size(), 1u);
    EXPECT_EQ(Answers.Texts()[0], "No lookup table specified!");
    EXPECT_EQ(Answers.Asked()[0].DlgType, mtWarning);
    EXPECT_EQ(Screen->ActiveForm(), F);
    EXPECT_EQ(Value("ASIG1"), "LCL");

    F->wwTableAsigcur->Open();
    Combo()->SetReadOnly(true);
    Combo()->DropDown();
    Idle();
    EXPECT_EQ(DropDowns, 1);
    EXPECT_EQ(Answers.Texts().size(), 1u);
}

// What was typed before the form opened reaches its search edit cut at 63
// characters; an empty Selected gets the lookup field's line and keeps it.
TEST_F(TypeEditor, TheTypedTextReachesTheFormCutAt63Characters) {
    auto* Holder = TForm::CreateNew(Application);
    auto* C = NewComponent<TwwDBLookupComboDlg>(Holder);
    C->SetParent(Holder);
    C->SetLookupTable(F->wwTableAsigcur);
    C->SetLookupField("ASIG");
    C->SetAutoDropDown(true);
    Holder->Show();
    const AnsiString Long(70, 'X');
    C->SetText(Long);
    C->SetOpenedByTyping(true);
    AnsiString Offered;
    Ui().Then([&] {
        Offered = Dialog()->wwIncrementalSearch1->Text();
        Ui().Key(VK_ESCAPE);
    });
    C->DropDown();
    EXPECT_EQ(Offered, Long.substr(0, 63));
    ASSERT_EQ(C->Selected()->Count(), 1);
    EXPECT_EQ(C->Selected()->Strings(0), "ASIG\t4\tASIG");
    Holder->Free();
}

// GridOptions keeps the constructor's set unless a form says otherwise; a
// form that names exactly that set reads it back.
TEST_F(TypeEditor, GridOptionsRoundTripThroughAFormFile) {
    const TwwDBGridOptions Old{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                               dgRowLines, dgTabs,   dgConfirmDelete, dgPerfectRowFit};
    for (const TwwDBGridOptions& Value : {wwLookupDialogGridOptions, Old}) {
        auto* Holder = TForm::CreateNew(Application);
        auto* C = NewComponent<TwwDBLookupComboDlg>(Holder);
        C->SetName("Combo");
        C->SetParent(Holder);
        C->SetGridOptions(Value);
        const AnsiString Text = WriteComponentToText(Holder);
        EXPECT_EQ(Text.find("GridOptions") == AnsiString::npos, Value == wwLookupDialogGridOptions) << Text;
        auto* Back = TForm::CreateNew(Application);
        ReadComponentFromText(Back, Text);
        auto* Read = dynamic_cast<TwwDBLookupComboDlg*>(Back->FindComponent("Combo"));
        ASSERT_NE(Read, nullptr);
        EXPECT_EQ(Read->GridOptions(), Value);
        Holder->Free();
        Back->Free();
    }
}

}  // namespace

// With two lookup fields, OK writes the first into the data field and
// copies the second into the same-named field of the edited record.
TEST_F(TypeEditor, OkAlsoCopiesTheSecondKeyField) {
    CreateTable("ofertas",
                {{"ASIG", ftString, 4}, {"TNC", ftString, 9}, {"NOMBRE", ftString, 20}, {"HORAS", ftFloat}},
                {{"ASIGTNC", "ASIG;TNC"},
                 {"NOMBREI", "NOMBRE", {ixCaseInsensitive}},
                 {"HORASD", "HORAS", {ixDescending}}});
    AddRows("ofertas", {{{"ASIG", "LCL"}, {"TNC", "DESO4"}, {"NOMBRE", "Lengua"}, {"HORAS", "4"}},
                        {{"ASIG", "LCL"}, {"TNC", "DBACH1"}, {"NOMBRE", "lengua I"}, {"HORAS", "3"}},
                        {{"ASIG", "MAT"}, {"TNC", "NBACH1"}, {"NOMBRE", "Matematicas"}, {"HORAS", "4"}}});
    TwwTable* Offers = NewWwTable("ofertas", "ASIGTNC");
    Offers->Open();
    CreateTable("elegidas", {{"ASIG", ftString, 4}, {"TNC", ftString, 9}});
    AddRows("elegidas", {{{"ASIG", "LCL"}, {"TNC", "DESO4"}}});
    TwwTable* Chosen = NewWwTable("elegidas");
    Chosen->Open();
    auto* Source = NewComponent<TwwDataSource>(Form);
    Source->SetDataSet(Chosen);
    auto* Holder = TForm::CreateNew(Application);
    auto* C = NewComponent<TwwDBLookupComboDlg>(Holder);
    C->SetParent(Holder);
    C->SetLookupTable(Offers);
    C->SetLookupField("ASIG;TNC");
    C->SetDataSource(Source);
    C->SetDataField("ASIG");
    Holder->Show();
    C->SetFocus();
    Idle();
    Ui().Then([&] {
        EXPECT_EQ(Offers->FieldByName("TNC")->AsString(), "DESO4") << "on both keys of the value";
        Offers->Last();
        Ui().Key(VK_RETURN);
    });
    C->DropDown();
    Idle();
    EXPECT_EQ(Chosen->FieldByName("ASIG")->AsString(), "MAT");
    EXPECT_EQ(Chosen->FieldByName("TNC")->AsString(), "NBACH1");
    Holder->Free();
}
