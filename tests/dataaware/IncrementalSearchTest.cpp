// The incremental-search edit under synthetic keys and a clock the test
// moves, and typing under a picture mask.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"
#include "tests/support/ui/UiDriver.h"

namespace {

class IncrementalSearch : public DataAwareFixture {
protected:
    TManualClock Clock{EncodeDate(2026, 9, 14), 1000};
    std::unique_ptr<TClockScope> ClockScope;
    TUiDriver* Ui = nullptr;
    TForm* Dialog = nullptr;
    TwwTable* Alum = nullptr;
    TwwIncrementalSearch* Search = nullptr;
    int Searches = 0;
    bool LastFound = false;

    void SetUp() override {
        DataAwareFixture::SetUp();
        ClockScope = std::make_unique<TClockScope>(Clock);
        Ui = &InstallUiDriver();
        MakeSchool();
        Alum = NewWwTable("alum", "NOMBREI");
        Alum->Open();
        auto* source = NewComponent<TwwDataSource>(Form);
        source->SetDataSet(Alum);
        Dialog = TForm::CreateNew(Application);
        Dialog->SetBounds(10, 10, 300, 100);
        Search = NewComponent<TwwIncrementalSearch>(Dialog);
        Search->SetName("Buscar");
        Search->SetParent(Dialog);
        Search->SetBounds(10, 10, 200, 24);
        Search->SetDataSource(source);
        Search->OnAfterSearch = [this](TwwIncrementalSearch*, bool Found) {
            ++Searches;
            LastFound = Found;
        };
        Dialog->Show();
        Search->SetFocus();
        Ui->RunUntilIdle();
    }
    void TearDown() override {
        Dialog->Free();
        ClockScope.reset();
        DataAwareFixture::TearDown();
    }
    // The keys typed so far are handled first: the pause runs from them.
    void Wait(uint32_t MSecs) {
        Ui->RunUntilIdle();
        Clock.Advance(MSecs);
        Ui->RunUntilIdle();
    }
    AnsiString Name() const { return Alum->FieldByName("NOMBRE")->AsString(); }
};

TEST_F(IncrementalSearch, OneSearchAfterThePause) {
    Ui->Type("an");
    Ui->RunUntilIdle();
    EXPECT_EQ(Searches, 0);
    // An open local table of the engine waits half the standard pause.
    EXPECT_EQ(Search->DelayTimer()->Interval(), 100u);
    Wait(99);
    EXPECT_EQ(Searches, 0);
    Wait(1);
    EXPECT_EQ(Searches, 1);  // one search for both letters
    EXPECT_TRUE(LastFound);
    EXPECT_EQ(Name(), "Ana");
    // A key that leaves the text as it was searched starts nothing.
    Ui->Key(VK_SHIFT);
    Wait(500);
    EXPECT_EQ(Searches, 1);
    Ui->Type("ab");
    Wait(100);
    EXPECT_EQ(Searches, 2);
    EXPECT_EQ(Name(), "Anabel");
    Ui->Type("z");
    Wait(100);
    EXPECT_FALSE(LastFound);
    EXPECT_EQ(Name(), "Anabel");
}

TEST_F(IncrementalSearch, ThePauseByTheDataSet) {
    Search->SetSearchDelay(300);
    Ui->Type("p");
    Ui->RunUntilIdle();
    EXPECT_EQ(Search->DelayTimer()->Interval(), 300u);
    Wait(300);
    EXPECT_EQ(Name(), "Pedro");
    Search->SetSearchDelay(0);
    Alum->Close();
    Search->Clear();
    Search->DelayTimer()->SetInterval(200);
    Ui->Type("q");
    Ui->RunUntilIdle();
    EXPECT_EQ(Search->DelayTimer()->Interval(), 200u);  // a closed table keeps the standard pause
    Wait(200);
    EXPECT_EQ(Searches, 1);  // nothing to search in a closed table
}

TEST_F(IncrementalSearch, ShowMatchTextCompletesTheText) {
    Search->SetShowMatchText(true);
    Ui->Type("anab");
    Wait(100);
    EXPECT_EQ(Search->Text(), "Anabel");
    EXPECT_EQ(Search->SelStart(), 4);
    EXPECT_EQ(Search->SelLength(), 2);
    // Deleting what the search added is no new search.
    Ui->Key(VK_BACK);
    Wait(500);
    EXPECT_EQ(Searches, 1);
    EXPECT_EQ(Search->Text(), "Anab");
}

TEST_F(IncrementalSearch, CaseAndFieldsDecideTheRoad) {
    // Forcing case sensitivity searches the field's values, not the index.
    Search->SetCaseSensitivity(wwcsCaseSensitive);
    Ui->Type("pedro");
    Wait(100);
    EXPECT_FALSE(LastFound);
    Search->Clear();
    Search->SetCaseSensitivity(wwcsAutoDetect);
    Ui->Type("pedro");
    Wait(100);
    EXPECT_TRUE(LastFound);
    EXPECT_EQ(Name(), "Pedro");
    // Letters for a number index move nothing.
    Alum->SetIndexName("N");
    Search->Clear();
    Ui->Type("x");
    Wait(100);
    EXPECT_FALSE(LastFound);
    EXPECT_EQ(Name(), "Pedro");
    Search->Clear();
    Ui->Type("4");
    Wait(100);
    EXPECT_EQ(Name(), "Eva");
    EXPECT_EQ(Search->GetSearchFieldName(), "N");
}

TEST_F(IncrementalSearch, ACustomSearchTakesOver) {
    std::vector<AnsiString> asked;
    Search->SetSearchField("ABREV");
    Search->OnPerformCustomSearch = [&](TObject* Sender, TDataSet* Table, const AnsiString& Field,
                                        const AnsiString& Value, bool PerformLookup, bool& Found) {
        EXPECT_EQ(Sender, Search);
        EXPECT_EQ(Table, Alum);
        EXPECT_FALSE(PerformLookup);
        asked.push_back(Field + "=" + Value);
        Found = true;
    };
    Ui->Type("abcdef");  // cut to the field's four characters
    Wait(100);
    EXPECT_EQ(asked, std::vector<AnsiString>{"ABREV=abcd"});
    EXPECT_TRUE(LastFound);
}

TEST_F(IncrementalSearch, MissingDataSourceIsSaid) {
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK);
    Search->SetDataSource(nullptr);
    Ui->Type("a");
    Ui->RunUntilIdle();
    EXPECT_EQ(dialogs.Texts(), std::vector<AnsiString>{"DataSource not defined - object Buscar"});
}

TEST_F(IncrementalSearch, PictureMaskTyping) {
    Search->SetPictureMask("&&-##");
    Ui->Type("ab1");
    Ui->RunUntilIdle();
    EXPECT_EQ(Search->Text(), "AB-1");  // upper-cased, the literal added
    TBeepRecorder beeps;
    Ui->Type("2x");
    Ui->RunUntilIdle();
    EXPECT_EQ(Search->Text(), "AB-12");
    EXPECT_EQ(beeps.Beeps().size(), 1u);  // the x after a complete text
}

TEST_F(IncrementalSearch, PictureMaskKeyPressOnAnEdit) {
    auto* edit = NewComponent<TEdit>(Dialog);
    edit->SetParent(Dialog);
    edit->SetText("1");
    edit->SetSelStart(1);
    char key = '2';
    EXPECT_TRUE(PictureMaskKeyPress(edit, "##/##", true, key));
    EXPECT_EQ(key, '\0');
    EXPECT_EQ(edit->Text(), "12/");  // the literal the mask wants next
    EXPECT_EQ(edit->SelStart(), 3);
    key = '3';
    EXPECT_TRUE(PictureMaskKeyPress(edit, "##/##", true, key));
    EXPECT_EQ(edit->Text(), "12/3");
    EXPECT_EQ(edit->SelStart(), 4);
    // The whole text selected: replaced, caret at the end.
    edit->SelectAll();
    key = '9';
    EXPECT_TRUE(PictureMaskKeyPress(edit, "##/##", true, key));
    EXPECT_EQ(edit->Text(), "9");
    EXPECT_EQ(edit->SelStart(), 1);
    // Typing in the middle is left to the edit.
    edit->SetText("12/34");
    edit->SetSelStart(1);
    key = '5';
    EXPECT_FALSE(PictureMaskKeyPress(edit, "##/##", true, key));
    EXPECT_EQ(key, '5');
    // A control character is no typing.
    key = '\b';
    EXPECT_FALSE(PictureMaskKeyPress(edit, "##/##", true, key));
    // A wrong character at the end: the text stays and the beep sounds.
    TBeepRecorder beeps;
    edit->SetSelStart(5);
    key = '7';
    EXPECT_TRUE(PictureMaskKeyPress(edit, "##/##", true, key));
    EXPECT_EQ(edit->Text(), "12/34");
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0});
    EXPECT_TRUE(IsCharacterKey(VK_NUMPAD5));
    EXPECT_FALSE(IsCharacterKey(VK_LEFT));
    EXPECT_FALSE(IsCharacterKey(VK_F1));
}
}  // namespace
