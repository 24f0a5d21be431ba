// The sample screen of tests/ui/fixtures/GridSample.zfm (a panel, two edits, a
// list box, a combo box, a check box, a string grid and a button) read from
// its form resource and driven the way a user would: typing, tabbing,
// choosing, clicking, editing a grid cell and answering the question the
// button asks; then saved as a picture. The same screen opens as a real X
// window when an X server can be started here.
//
// The standard controls are reached mostly by their published properties, as
// the libraries reach each other's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FormTestSupport.h"
#include "XvfbSupport.h"
#include "platform/backend/Backend.h"
#include "platform/classes/Properties.h"
#include "platform/classes/Resources.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"
#include "resources/ResourceTable.h"
#include "tests/support/OutsideTools.h"

namespace {

class TGridSampleForm : public TForm {
    ZELMOR_CLASS(TGridSampleForm, TForm)
public:
    using TForm::TForm;
    static void DescribeProperties(TPropertyTable& T) {
        T.Field("PTitulo", &TGridSampleForm::PTitulo);
        T.Field("ENombre", &TGridSampleForm::ENombre);
        T.Field("EApellidos", &TGridSampleForm::EApellidos);
        T.Field("LBCursos", &TGridSampleForm::LBCursos);
        T.Field("CBGrupo", &TGridSampleForm::CBGrupo);
        T.Field("CBRepite", &TGridSampleForm::CBRepite);
        T.Field("SGNotas", &TGridSampleForm::SGNotas);
        T.Field("BGuardar", &TGridSampleForm::BGuardar);
        T.Handler("FormCreate", &TGridSampleForm::FormCreate);
        T.Handler("BGuardarClick", &TGridSampleForm::BGuardarClick);
    }
    TWinControl* PTitulo = nullptr;
    TWinControl* ENombre = nullptr;
    TWinControl* EApellidos = nullptr;
    TListBox* LBCursos = nullptr;
    TWinControl* CBGrupo = nullptr;
    TWinControl* CBRepite = nullptr;
    TStringGrid* SGNotas = nullptr;
    TWinControl* BGuardar = nullptr;
    AnsiString Saved;

    void FormCreate(TObject*) {
        SGNotas->SetCells(0, 0, "Asig");
        SGNotas->SetCells(1, 0, "Nota");
        SGNotas->SetCells(2, 0, "Faltas");
        SGNotas->SetCells(0, 1, "MAT");
        SGNotas->SetCells(0, 2, "LEN");
        SGNotas->SetCells(0, 3, "ING");
    }
    // Asks before it keeps anything; the answer No keeps nothing.
    void BGuardarClick(TObject*) {
        if (MessageDlg("\xBFGuardar los datos del alumno?", mtConfirmation, {mbYes, mbNo}, 0) != mrYes)
            return;
        Saved = GetStrProp(ENombre, "Text") + " " + GetStrProp(EApellidos, "Text") + ", " +
                LBCursos->Items()->Strings(LBCursos->ItemIndex()) + " " + GetStrProp(CBGrupo, "Text") +
                (GetOrdProp(CBRepite, "Checked") ? ", repite" : "") + ", MAT " + SGNotas->Cells(1, 1);
        SetStrProp(PTitulo, "Caption", "Guardado: " + Saved);
    }
};
ZELMOR_IMPLEMENT_COMPONENT(TGridSampleForm, TForm)

// The sample needs the standard controls to be known by name.
bool StandardControlsRegistered() {
    RegisterUiClasses();
    RegisterStdControls();
    RegisterGridClasses();
    for (const char* Name : {"TPanel", "TEdit", "TListBox", "TComboBox", "TCheckBox", "TButton"})
        if (!GetClass(Name)) return false;
    return true;
}

// The sample is a test's form, not the program's: it is given to the form
// reader as the only resource while the form is made.
TGridSampleForm* LoadSample() {
    RegisterClass(TGridSampleForm::StaticClassInfo());
    std::ifstream In(std::string(ZELMOR_SOURCE_DIR) + "/tests/ui/fixtures/GridSample.zfm", std::ios::binary);
    static std::string Text;
    Text.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    const ZelmorResourceEntry Table[] = {
        {"forms/GridSample.zfm", reinterpret_cast<const unsigned char*>(Text.data()), Text.size()},
        {nullptr, nullptr, 0}};
    const ZelmorResourceEntry* Previous = UseResourceTable(Table);
    TGridSampleForm* F = nullptr;
    try {
        Application->CreateForm(F);
    } catch (...) {
        UseResourceTable(Previous);
        throw;
    }
    UseResourceTable(Previous);
    return F;
}

TEST_F(FormTest, TheSampleScreenFromItsResourceCanBeDrivenEntirelyFromATestAndSavedAsAPicture) {
    if (!StandardControlsRegistered()) GTEST_SKIP() << "the standard controls are not there yet";
    TGridSampleForm* F = LoadSample();
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
    TScriptedDialogs Answers;
    Answers.Then(mrNo).Then(mrYes);
    Clock.Advance(1000);
    Ui.Click(F->BGuardar);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Saved, "");
    Clock.Advance(1000);
    Ui.Click(F->BGuardar);
    Ui.RunUntilIdle();
    EXPECT_EQ(F->Saved, "Jos\xE9 P\xE9rez, 4 ESO B, repite, MAT 7,5");
    ASSERT_EQ(Answers.Texts().size(), 2u);
    EXPECT_EQ(Answers.Texts()[0], "\xBFGuardar los datos del alumno?");

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

TEST(X11Display, TheGridSampleScreenOpensAsARealWindow) {
    TXvfbDisplay X;
    std::string Name = X.Start();
    ZELMOR_NEED_TOOL(!Name.empty(), "Xvfb");
    TDisplay* Display = X.Install();
    ASSERT_NE(Display, nullptr) << "the X server " << Name << " started but cannot be opened";
    TDisplay& Xd = *Display;
    EnsureApplication();
    if (!StandardControlsRegistered()) GTEST_SKIP() << "the standard controls are not there yet";
    {
        TManualClock Clock{0, 1000};
        TClockScope UseClock{Clock};
        TGridSampleForm* F = LoadSample();
        F->Show();
        Application->ProcessMessages();
        UpdateWindow(F->Handle());
        // The grid's first title cell, as the X server shows it.
        TPoint P = F->SGNotas->ClientToScreen(TPoint(5, 5));
        TPoint Client = F->ClientOrigin();
        uint32_t Pixel = 0;
        ASSERT_TRUE(X11ReadBack(Xd, F->Handle(), P.x - Client.x, P.y - Client.y, Pixel));
        TColorRef Face = ColorToRGB(clBtnFace);
        EXPECT_EQ(Pixel, ((Face & 0xFF) << 16) | (Face & 0xFF00) | ((Face >> 16) & 0xFF));
        // A key the server sends to the window reaches the focused edit.
        ASSERT_TRUE(X11SendKey(Xd, F->Handle(), true, 0x0061 /* the a key */));
        ASSERT_TRUE(X11SendKey(Xd, F->Handle(), false, 0x0061));
        Application->ProcessMessages();
        EXPECT_EQ(GetStrProp(F->ENombre, "Text"), "a");
        F->Free();
    }
}

}  // namespace
