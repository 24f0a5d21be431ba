// The sample screen of tests/ui/forms/GridSample.zfm (a panel, two edits, a
// list box, a combo box, a check box, a string grid and a button) read from
// its form file and driven the way a user would: typing, tabbing, choosing,
// clicking, editing a grid cell and answering the question the button asks;
// then saved as a picture. The same screen opens as a real X window when an
// X server can be started here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FormTestSupport.h"
#include "forms/TestScreens.h"
#include "platform/classes/Properties.h"

namespace {

TEST_F(FormTest, TheSampleScreenFromItsResourceCanBeDrivenEntirelyFromATestAndSavedAsAPicture) {
    auto* F = Open<TGridSampleForm>();
    ASSERT_NE(F->SGNotas, nullptr);
    EXPECT_EQ(F->SGNotas->ColWidths(0), 60) << "the widths come from the resource";
    F->Show();
    Ui.RunUntilIdle();
    ASSERT_TRUE(F->ENombre->Focused());

    // Typing and tabbing.
    Ui.Type("Jos\xE9");
    Ui.Key(VK_TAB);
    Ui.Type("P\xE9rez");
    Ui.Key(VK_TAB);
    Ui.RunUntilIdle();
    EXPECT_EQ(GetStrProp(F->ENombre, "Text"), "Jos\xE9");
    EXPECT_EQ(GetStrProp(F->EApellidos, "Text"), "P\xE9rez");
    ASSERT_TRUE(F->LBCursos->Focused());

    // Choosing: the last course by key, the group by its letter, and a click on the check box.
    Ui.Key(VK_END);
    Ui.Key(VK_TAB);
    Ui.Type("B");
    Ui.RunUntilIdle();
    EXPECT_EQ(F->LBCursos->ItemIndex(), 3);
    EXPECT_EQ(GetStrProp(F->CBGrupo, "Text"), "B");
    Ui.Click(F->CBRepite);
    Ui.RunUntilIdle();
    EXPECT_TRUE(GetOrdProp(F->CBRepite, "Checked"));

    // A grid cell: the first click on the current cell opens its editor.
    TStringGrid* G = F->SGNotas;
    TRect Cell = G->CellRect(1, 1);
    Clock.Advance(1000);
    Ui.Click(G, TPoint((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2));
    Ui.RunUntilIdle();
    ASSERT_TRUE(G->EditorMode());
    Ui.Type("7,5");
    Ui.Key(VK_TAB);  // the grid takes Tab: on to the next cell
    Ui.Type("2");
    Ui.Key(VK_RETURN);
    Ui.RunUntilIdle();
    EXPECT_EQ(G->Cells(1, 1), "7,5");
    EXPECT_EQ(G->Cells(2, 1), "2");
    EXPECT_FALSE(G->EditorMode());

    // The button asks; No keeps nothing, Yes keeps the student.
    Answers().Then(mrNo).Then(mrYes);
    Clock.Advance(1000);
    Ui.Click(F->BGuardar);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Saved, "");
    Clock.Advance(1000);
    Ui.Click(F->BGuardar);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Saved, "Jos\xE9 P\xE9rez, 4 ESO B, repite, MAT 7,5");
    ASSERT_EQ(Answers().Texts().size(), 2u);
    EXPECT_EQ(Answers().Texts()[0], "\xBFGuardar los datos del alumno?");

    std::string File = (std::filesystem::temp_directory_path() / "zelmor-grid-sample.png").string();
    Ui.SaveToPng(F, File);
    TSurface Back = LoadSurfaceFromPng(File);
    if (!std::getenv("ZELMOR_KEEP_SAMPLE_PNG")) std::filesystem::remove(File);
    EXPECT_EQ(Back.Width(), F->Width());
    // The grid's fixed column in the picture: its colour inside the first title cell.
    TPoint Fixed = G->ClientToScreen(TPoint(5, 5));
    TColorRef Face = ColorToRGB(clBtnFace);
    uint32_t FaceRgb = ((Face & 0xFF) << 16) | (Face & 0xFF00) | ((Face >> 16) & 0xFF);
    EXPECT_EQ(Back.GetPixel(Fixed.x - F->Left(), Fixed.y - F->Top()), FaceRgb);
}

TEST_F(X11Screen, TheGridSampleScreenOpensAsARealWindow) {
    auto* F = Open<TGridSampleForm>();
    F->Show();
    Application->ProcessMessages();
    UpdateWindow(F->Handle());
    // The grid's first title cell, as the X server shows it.
    TPoint P = F->SGNotas->ClientToScreen(TPoint(5, 5));
    TPoint Client = F->ClientOrigin();
    uint32_t Pixel = 0;
    ASSERT_TRUE(X11ReadBack(X(), F->Handle(), P.x - Client.x, P.y - Client.y, Pixel));
    TColorRef Face = ColorToRGB(clBtnFace);
    EXPECT_EQ(Pixel, ((Face & 0xFF) << 16) | (Face & 0xFF00) | ((Face >> 16) & 0xFF));
    // A key the server sends to the window reaches the focused edit.
    ASSERT_TRUE(X11SendKey(X(), F->Handle(), true, 0x0061 /* the a key */));
    ASSERT_TRUE(X11SendKey(X(), F->Handle(), false, 0x0061));
    Application->ProcessMessages();
    EXPECT_EQ(GetStrProp(F->ENombre, "Text"), "a");
}

}  // namespace
