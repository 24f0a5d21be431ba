// The modeless record view in real windows on a private X server: it opens
// as a window of its own beside its form, its navigator moves the table
// through the server's clicks, and it closes.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "dataaware/DataAware.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwrcdvw.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "tests/support/TempMachine.h"
#include "tests/support/ui/ScreenTest.h"

namespace {

class RecordViewX11 : public X11ScreenTest {
protected:
    void SetUp() override {
        X11ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        FMachine.emplace("recordviewx11");
        const auto Data = FMachine->DriveC() / "datos";
        std::filesystem::create_directories(Data);
        const auto Samples = std::filesystem::path(ZELMOR_SOURCE_DIR) / "samples" / "datos";
        for (const char* File : {"alum.dbf", "alum.mdx"})
            std::filesystem::copy_file(Samples / File, Data / File);
        StartDataAwareLibrary();
        FStarted = true;
    }
    void TearDown() override {
        if (Main) Main->Free();
        if (FStarted) FinishDataAwareLibrary();
        FMachine.reset();
    }
    TForm* Main = nullptr;

private:
    std::optional<TTempMachine> FMachine;
    bool FStarted = false;
};

}  // namespace

TEST_F(RecordViewX11, AModelessRecordViewOpensMovesAndCloses) {
    Main = NewPlainForm("MainForm", 300, 200);
    auto* Table = NewComponent<TwwTable>(Main);
    Table->SetDatabaseName("C:\\datos");
    Table->SetTableName("alum");
    auto* Source = NewComponent<TwwDataSource>(Main);
    Source->SetDataSet(Table);
    auto* Dialog = NewComponent<TwwRecordViewDialog>(Main);
    Dialog->SetDataSource(Source);
    Dialog->SetOptions(Dialog->Options() - TwwRecordViewOptions{rvoModalForm});
    Table->Open();
    Main->Show();
    Application->ProcessMessages();

    ASSERT_TRUE(Dialog->Execute());
    Application->ProcessMessages();
    TwwRecordViewForm* F = Dialog->Form();
    ASSERT_NE(F, nullptr);
    EXPECT_NE(F->Handle(), Main->Handle()) << "a window of its own";
    EXPECT_TRUE(F->Visible());
    UpdateWindow(F->Handle());
    uint32_t Pixel = 0;
    EXPECT_TRUE(X11ReadBack(X(), F->Handle(), 10, 10, Pixel)) << "the server has the window";

    // The navigator's Next button, clicked through the server.
    TwwNavButton* Next = nullptr;
    for (int I = 0; I < F->Navigator->Buttons()->Count(); ++I)
        if (F->Navigator->Buttons()->GetItem(I)->Style() == nbsNext)
            Next = F->Navigator->Buttons()->GetItem(I);
    ASSERT_NE(Next, nullptr);
    Table->First();
    const TBookmark First = Table->GetBookmark();
    const TPoint P = Next->Parent()->ClientToScreen(TPoint(Next->Left() + 12, Next->Top() + 12));
    const TPoint Origin = F->ClientOrigin();
    ASSERT_TRUE(X11SendButton(X(), F->Handle(), true, 1, P.x - Origin.x, P.y - Origin.y));
    ASSERT_TRUE(X11SendButton(X(), F->Handle(), false, 1, P.x - Origin.x, P.y - Origin.y));
    Application->ProcessMessages();
    EXPECT_NE(Table->CompareBookmarks(First, Table->GetBookmark()), 0) << "moved to the next record";

    F->Close();
    Application->ProcessMessages();
    EXPECT_EQ(Dialog->Form(), nullptr);
}
