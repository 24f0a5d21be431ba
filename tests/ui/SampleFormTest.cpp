// The sample screens read from their form files and driven the way a user
// would: typing, tabbing, clicking, answering a modal dialog; then saved as a
// picture. The same screen opens as a real X window when an X server can be
// started here.
#include <gtest/gtest.h>

#include <filesystem>

#include "FormTestSupport.h"
#include "forms/TestScreens.h"

namespace {

using Log = std::vector<std::string>;

TEST_F(FormTest, ASampleScreenCanBeDrivenEntirelyFromATestAndSavedAsAPicture) {
    auto* S = Open<TSampleForm>();
    S->Show();
    Ui.RunUntilIdle();
    ASSERT_TRUE(S->EName->Focused());

    Ui.Type("Jos\xE9");
    Ui.Key(VK_TAB);
    Ui.Type("P\xE9rez");
    Ui.RunUntilIdle();
    EXPECT_EQ(S->EName->Typed, "Jos\xE9");
    EXPECT_EQ(S->ESurname->Typed, "P\xE9rez");
    EXPECT_TRUE(S->ESurname->Focused());

    // The dialog's own loop runs the script: first Escape, then OK by a click.
    Ui.Click(S->BSave);
    Ui.Then([&] { Ui.Key(VK_ESCAPE); });
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Answer, mrCancel);
    EXPECT_EQ(S->Saved, 0);
    Clock.Advance(1000);  // a second press at once would be a double click
    Ui.Click(S->BSave);
    Ui.Then([&] { Ui.Click(Screen->ActiveForm(), "BOk"); });
    Ui.RunUntilIdle();
    EXPECT_EQ(S->Answer, mrOk);
    EXPECT_EQ(S->Saved, 1);
    EXPECT_TRUE(S->BSave->Focused()) << "the focus comes back to the screen after the dialog";
    EXPECT_EQ(Screen->ActiveForm(), S);

    std::string File = (std::filesystem::temp_directory_path() / "zelmor-sample.png").string();
    Ui.SaveToPng(S, File);
    TSurface Back = LoadSurfaceFromPng(File);
    std::filesystem::remove(File);
    TPoint Shape = S->Status->ClientToScreen(TPoint(5, 5));
    TPoint Corner(S->Left(), S->Top());
    EXPECT_EQ(Back.Width(), 320);
    EXPECT_EQ(Back.GetPixel(Shape.x - Corner.x, Shape.y - Corner.y), 0x00FF00u) << "the shape shows the save";
    TPoint Head = S->Header->ClientToScreen(TPoint(5, 5));
    EXPECT_EQ(Back.GetPixel(Head.x - Corner.x, Head.y - Corner.y), 0x000080u);
}

TEST_F(FormTest, AFormComesFromItsFormResourceWithItsFieldsAndHandlersBound) {
    auto* F = Open<TAlumnosForm>();
    ASSERT_NE(F->EName, nullptr);
    EXPECT_EQ(F->Done, (Log{"created with EName"})) << "OnCreate runs once the resource is read";
    EXPECT_EQ(F->Caption(), "Alumnos");
    EXPECT_EQ(F->Header->Align(), alTop);
    EXPECT_EQ(F->Header->Color(), clNavy);
    EXPECT_EQ(F->Header->Width(), F->ClientWidth()) << "aligned once the form was read";
    F->Show();
    Ui.RunUntilIdle();
    EXPECT_TRUE(F->EName->Focused());
    Ui.Type("Ana");
    Ui.Key(VK_TAB);
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Done.back(), "saved Ana") << "Enter on the focused button clicks it";
}

// --- the same screen on a real X server ---

TEST_F(X11Screen, TheSampleScreenOpensAsARealWindowThatShowsItsPixelsAndTakesKeys) {
    auto* S = Open<TSampleForm>();
    S->Show();
    Application->ProcessMessages();
    UpdateWindow(S->Handle());
    EXPECT_EQ(Screen->Width(), 800);
    // The header panel, in the client area of the X window.
    uint32_t Pixel = 0;
    ASSERT_TRUE(X11ReadBack(X(), S->Handle(), 5, 5, Pixel));
    EXPECT_EQ(Pixel, 0x000080u);
    // A key the server sends to the window reaches the focused edit.
    ASSERT_TRUE(X11SendKey(X(), S->Handle(), true, 0x0071 /* the q key */));
    ASSERT_TRUE(X11SendKey(X(), S->Handle(), false, 0x0071));
    Application->ProcessMessages();
    EXPECT_EQ(S->EName->Typed, "q");
}

}  // namespace
