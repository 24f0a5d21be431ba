// The students' grid of the sample school in a real window on a private X
// server: drawn, clicked and typed into through the server, and what was
// typed posted into the table.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "dataaware/DataAware.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "forms/AlumGrid.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/gfx/Graphics.h"
#include "tests/support/TempMachine.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

class StudentsGridX11 : public X11ScreenTest {
protected:
    StudentsGridX11() : X11ScreenTest(kTestResources) {}
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        FMachine.emplace("gridx11");
        const auto Data = FMachine->DriveC() / "datos";
        std::filesystem::create_directories(Data);
        const auto Samples = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
        for (const char* File : {"alum.dbf", "alum.mdx"})
            std::filesystem::copy_file(Samples / File, Data / File);
        StartDataAwareLibrary();
        FStarted = true;
        RegisterDBClasses();
        RegisterClasses({&TAlumGridForm::StaticClassInfo()});
    }
    void TearDown() override {
        if (F) F->Free();
        if (FStarted) FinishDataAwareLibrary();
        FMachine.reset();
    }
    // A press and release of the left button at a point of the grid.
    void Click(TPoint GridPoint) {
        const TPoint P = F->DBGridAlum->ClientToScreen(GridPoint), Origin = F->ClientOrigin();
        ASSERT_TRUE(X11SendButton(X(), F->Handle(), true, 1, P.x - Origin.x, P.y - Origin.y));
        ASSERT_TRUE(X11SendButton(X(), F->Handle(), false, 1, P.x - Origin.x, P.y - Origin.y));
        Application->ProcessMessages();
    }
    void Press(unsigned long KeySymbol) {
        ASSERT_TRUE(X11SendKey(X(), F->Handle(), true, KeySymbol));
        ASSERT_TRUE(X11SendKey(X(), F->Handle(), false, KeySymbol));
        Application->ProcessMessages();
    }

    TAlumGridForm* F = nullptr;

private:
    std::optional<TTempMachine> FMachine;
    bool FStarted = false;
};

TEST_F(StudentsGridX11, ShowsTheStudentsAndPostsWhatIsTypedIntoACell) {
    F = Open<TAlumGridForm>();
    F->TAlum->SetDatabaseName("C:\\datos");
    F->TAlum->Open();
    F->Show();
    F->DBGridAlum->SetFocus();
    Application->ProcessMessages();
    UpdateWindow(F->Handle());
    TwwDBGrid* G = F->DBGridAlum;
    int Grupo = -1;
    for (int C = 1; C < G->ColCount(); ++C)
        if (G->GetColumnFieldName(C) == "GRUPO") Grupo = C;
    ASSERT_GT(Grupo, 0);

    // The title band in the title colour, as the server shows the window.
    const TRect Title = G->CellRect(Grupo, 0);
    const TPoint P = G->ClientToScreen(TPoint(Title.Right - 3, Title.Top + 3)), Origin = F->ClientOrigin();
    uint32_t Pixel = 0;
    ASSERT_TRUE(X11ReadBack(X(), F->Handle(), P.x - Origin.x, P.y - Origin.y, Pixel));
    EXPECT_EQ(Pixel, 0xB5D3DDu) << "14537653: red 181, green 211, blue 221";

    // A click on the second student's group, a letter, and Down to the next
    // student, which posts the row.
    const TRect Cell = G->CellRect(Grupo, 2);
    Clock.Advance(1000);
    Click(TPoint((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2));
    ASSERT_EQ(G->SelectedField()->FieldName(), "GRUPO");
    ASSERT_EQ(F->TAlum->RecNo(), 2);
    const AnsiString Exped = F->TAlum->FieldByName("EXPED")->AsString();
    Press(0x0071 /* the q key */);
    EXPECT_EQ(F->TAlum->State(), dsEdit);
    Press(0xFF54 /* Down */);
    EXPECT_EQ(F->TAlum->State(), dsBrowse);
    EXPECT_EQ(F->TAlum->RecNo(), 3);

    // What the table holds on disk.
    auto* Stored = NewComponent<TTable>(F);
    Stored->SetDatabaseName("C:\\datos");
    Stored->SetTableName("alum");
    Stored->Open();
    ASSERT_TRUE(Stored->Locate("EXPED", Exped, {}));
    EXPECT_EQ(Stored->FieldByName("GRUPO")->AsString(), "q");
}

}  // namespace
