// The subtype editor's grid in a real window on a private X server: F2 and
// F4 on a subject cell open the lookup form as a real modal window, made anew as it
// shows, and Enter sent through the server closes it with OK.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "dataaware/DataAware.h"
#include "dataaware/Wwdbdlg.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "forms/TiposGrid.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "tests/support/TempMachine.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

constexpr unsigned long KeyF2 = 0xFFBF, KeyF4 = 0xFFC1, KeyReturn = 0xFF0D;

class TypeEditorX11 : public X11ScreenTest {
protected:
    TypeEditorX11() : X11ScreenTest(kTestResources) {}
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        FMachine.emplace("tiposgridx11");
        const auto Data = FMachine->DriveC() / "datos";
        std::filesystem::create_directories(Data);
        const auto Samples = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
        for (const char* File : {"tipos2.dbf", "tipos2.mdx", "asigcur.dbf", "asigcur.mdx"})
            std::filesystem::copy_file(Samples / File, Data / File);
        StartDataAwareLibrary();
        FStarted = true;
        RegisterDBClasses();
        RegisterClasses({&TTiposGridForm::StaticClassInfo()});
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        if (F) F->Free();
        if (FStarted) FinishDataAwareLibrary();
        FMachine.reset();
    }
    void Press(HWND Wnd, unsigned long KeySymbol) {
        ASSERT_TRUE(X11SendKey(X(), Wnd, true, KeySymbol));
        ASSERT_TRUE(X11SendKey(X(), Wnd, false, KeySymbol));
    }

    TTiposGridForm* F = nullptr;

private:
    std::optional<TTempMachine> FMachine;
    bool FStarted = false;
};

TEST_F(TypeEditorX11, TheLookupFormOpensAsAModalWindowAndClosesWithEnter) {
    F = Open<TTiposGridForm>();
    F->wwTableTipos->SetDatabaseName("C:\\datos");
    F->wwTableAsigcur->SetDatabaseName("C:\\datos");
    F->wwTableTipos->Open();
    F->wwTableTipos->Append();
    F->wwTableTipos->FieldByName("N")->SetAsInteger(1);
    F->wwTableTipos->FieldByName("TNC")->SetAsString("DESO4");
    F->wwTableTipos->FieldByName("ASIG1")->SetAsString("MAT");
    F->wwTableTipos->Post();
    F->wwTableAsigcur->Open();
    F->wwTableAsigcur->SetFilter("TNC='DESO4'");
    F->wwTableAsigcur->SetFiltered(true);
    F->Show();
    TwwDBGrid* G = F->wwDBGridTipGrup;
    G->SetFocus();
    G->SetSelectedIndex(3);
    Application->ProcessMessages();
    ASSERT_EQ(G->SelectedField()->FieldName(), "ASIG1");

    // While the form's loop idles: once its window is on the server, Enter
    // goes to it there; a form that never shows is closed after a while.
    TwwLookupDlg* Shown = nullptr;
    bool OnServer = false, Recreated = false, Sent = false;
    int Idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
        Done = false;
        auto* D = dynamic_cast<TwwLookupDlg*>(Screen->ActiveForm());
        if (!D || Sent) return;
        if (++Idles > 5000) {
            D->SetModalResult(mrCancel);
            return;
        }
        UpdateWindow(D->Handle());
        uint32_t Pixel = 0;
        if (!X11ReadBack(X(), D->Handle(), 3, 3, Pixel)) return;
        Shown = D;
        OnServer = true;
        Recreated = D->WindowRecreated();
        Sent = true;
        Press(D->Handle(), KeyReturn);
    };
    // F2 puts the focus in the cell's combo, F4 there drops it down.
    Clock.Advance(1000);
    Press(F->Handle(), KeyF2);
    Application->ProcessMessages();
    ASSERT_EQ(Screen->ActiveControl(), F->wwDBLookupComboDlg1);
    Press(F->Handle(), KeyF4);
    Application->ProcessMessages();
    Application->OnIdle = nullptr;

    EXPECT_NE(Shown, nullptr) << "no lookup form became active";
    EXPECT_TRUE(OnServer);
    EXPECT_TRUE(Recreated);
    EXPECT_TRUE(Sent);
    EXPECT_LT(Idles, 5000) << "Enter did not close the form";
    EXPECT_EQ(Screen->ActiveForm(), F);
    EXPECT_EQ(F->wwTableTipos->FieldByName("ASIG1")->AsString(), "MAT") << "OK on the cell's own subject";
    EXPECT_EQ(F->wwTableAsigcur->FieldByName("ASIG")->AsString(), "MAT");
}

}  // namespace
