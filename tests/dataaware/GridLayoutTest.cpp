// The grid's column layout kept between runs, each case through an ini file
// and through the registry store: saved when a grid is freed and loaded
// when the next one makes its window, new columns kept on request, and the
// stores that are empty, missing or damaged by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwgridlayout.h"
#include "dataaware/wwhistorylist.h"
#include "platform/db/Fields.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/IniFiles.h"
#include "platform/sys/Paths.h"
#include "platform/sys/Registry.h"
#include "tests/support/ui/ScreenSession.h"

namespace {

using V = std::vector<AnsiString>;

V Lines(const TStrings* L) {
    V Out;
    for (int I = 0; I < L->Count(); ++I) Out.push_back(L->Strings(I));
    return Out;
}

const char* const Designed = "ABREV\t6\t1\tF\tASIGNATURAS\nNOMBRE\t16\tNombre\tF\nTURNO\t4\tTurno~d\xED"
                             "a\tT\n";
const V DesignedLines{"ABREV\t6\t1\tF\tASIGNATURAS", "NOMBRE\t16\tNombre\tF",
                      "TURNO\t4\tTurno~d\xED"
                      "a\tT"};

// Run through the ini file (false) and the registry store (true).
class GridLayout : public GridFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        const char* Old = std::getenv("ZELMOR_USER_DIR");
        if (Old) FOldUser = Old;
        FHadUser = Old != nullptr;
        std::filesystem::create_directories(Root / "user");
        setenv("ZELMOR_USER_DIR", (Root / "user").c_str(), 1);
        ResetRegistryStore();
        CreateTable("cursol", {{"ABREV", ftString, 6},
                               {"NOMBRE", ftString, 20},
                               {"TURNO", ftString, 1},
                               {"OBS", ftString, 10}});
        AddRows("cursol", {{{"ABREV", "1A"}, {"NOMBRE", "Primero A"}, {"TURNO", "M"}}});
        Fm = NewPlainForm("LayoutForm", 500, 200);
        Shown = Fm;
        T = NewComponent<TwwTable>(Fm);
        T->SetDatabaseName("Zelmor");
        T->SetTableName("cursol");
        S = NewComponent<TwwDataSource>(Fm);
        S->SetDataSet(T);
        T->Open();
        Fm->Show();
        Idle();
    }
    void TearDown() override {
        GridFixture::TearDown();
        if (FHadUser) setenv("ZELMOR_USER_DIR", FOldUser.c_str(), 1);
        else unsetenv("ZELMOR_USER_DIR");
        ResetRegistryStore();
    }
    bool Registry() const { return GetParam(); }
    // A grid with the designed lines that keeps its layout in the store.
    TwwDBGrid* NewGrid(const AnsiString& Lines = Designed, const AnsiString& FileName = "",
                       bool CheckNewFields = false) {
        auto* G = NewComponent<TwwDBGrid>(Fm);
        G->SetName("GridCursos");
        G->SetUseTFields(false);
        G->Selected()->SetText(Lines);
        TwwIniAttributes* A = G->IniAttributes();
        A->SetFormName("LayoutForm");
        A->SetSaveToRegistry(Registry());
        A->SetFileName(!FileName.empty() ? FileName
                       : Registry()      ? AnsiString("Software\\Zelmor\\Rejillas")
                                         : IniName);
        A->SetCheckNewFields(CheckNewFields);
        A->SetEnabled(true);
        G->SetBounds(0, 0, 500, 200);
        G->SetParent(Fm);
        G->SetDataSource(S);
        Idle();
        return G;
    }
    // The stored entries of the grid's section, as "name=value" lines.
    V Stored() {
        TStringList Entries;
        if (Registry()) TRegIniFile("Software\\Zelmor\\Rejillas").ReadSectionValues(Section, Entries);
        else TIniFile(IniName).ReadSectionValues(Section, Entries);
        return Lines(&Entries);
    }
    void Store(const V& Entries) {
        std::unique_ptr<TCustomIniFile> File;
        if (Registry()) File = std::make_unique<TRegIniFile>("Software\\Zelmor\\Rejillas");
        else File = std::make_unique<TIniFile>(IniName);
        File->EraseSection(Section);
        for (const AnsiString& E : Entries)
            File->WriteString(Section, E.substr(0, E.find('=')), E.substr(E.find('=') + 1));
    }
    const AnsiString IniName = "C:\\rejillas.ini";
    const AnsiString Section = "LayoutFormGridCursos";
    TForm* Fm = nullptr;
    TwwTable* T = nullptr;
    TwwDataSource* S = nullptr;

private:
    std::string FOldUser;
    bool FHadUser = false;
};

// Freed, a grid stores one entry per column ("6;;1;;F;;ASIGNATURAS"); the
// next grid of that form and name loads them at its window's creation.
TEST_P(GridLayout, ASavedLayoutComesBackInTheNextGrid) {
    TwwDBGrid* G = NewGrid();
    G->Selected()->SetText("TURNO\t9\tTurno\tT\nABREV\t6\t1\tF\tASIGNATURAS\nNOMBRE\t20\tNombre\tF\n");
    G->Free();
    EXPECT_EQ(Stored(), (V{"TURNO=9;;Turno;;T", "ABREV=6;;1;;F;;ASIGNATURAS", "NOMBRE=20;;Nombre;;F"}));
    EXPECT_EQ(Answers.Asked().size(), 0u);
    G = NewGrid();
    EXPECT_EQ(Lines(G->Selected()),
              (V{"TURNO\t9\tTurno\tT", "ABREV\t6\t1\tF\tASIGNATURAS", "NOMBRE\t20\tNombre\tF"}));
    EXPECT_EQ(G->GetColumnFieldName(G->IndicatorOffset()), "TURNO");
}

// With the data set's fields as columns, each field is stored with its
// display width and label, read-only when the field is.
TEST_P(GridLayout, FieldColumnsAreStoredFromTheirFields) {
    auto* G = NewComponent<TwwDBGrid>(Fm);
    G->SetName("GridCursos");
    G->IniAttributes()->SetFormName("LayoutForm");
    G->IniAttributes()->SetSaveToRegistry(Registry());
    G->IniAttributes()->SetFileName(Registry() ? AnsiString("Software\\Zelmor\\Rejillas") : IniName);
    G->SetParent(Fm);
    G->SetDataSource(S);
    T->FieldByName("TURNO")->SetReadOnly(true);
    T->FieldByName("NOMBRE")->SetDisplayLabel("Nombre~largo");
    Idle();
    G->SaveColumnLayout();
    EXPECT_EQ(Stored(),
              (V{"ABREV=6;;ABREV;;F", "NOMBRE=20;;Nombre~largo;;F", "TURNO=1;;TURNO;;T", "OBS=10;;OBS;;F"}));
}

// A column the form has gained since the layout was stored is lost, unless
// CheckNewFields appends it; an empty section keeps the designed layout.
TEST_P(GridLayout, NewColumnsAndEmptySections) {
    TwwDBGrid* G = NewGrid();
    EXPECT_EQ(Lines(G->Selected()), DesignedLines);
    G->IniAttributes()->SetEnabled(false);
    G->Free();
    Store({"NOMBRE=16;;Nombre;;F", "ABREV=6;;1;;F;;ASIGNATURAS"});
    const AnsiString Gained = AnsiString(Designed) + "OBS\t10\tObs\tF\n";
    G = NewGrid(Gained);
    EXPECT_EQ(Lines(G->Selected()), (V{"NOMBRE\t16\tNombre\tF", "ABREV\t6\t1\tF\tASIGNATURAS"}));
    G->IniAttributes()->SetEnabled(false);
    G->Free();
    G = NewGrid(Gained, "", true);
    EXPECT_EQ(Lines(G->Selected()), (V{"NOMBRE\t16\tNombre\tF", "ABREV\t6\t1\tF\tASIGNATURAS",
                                       "TURNO\t4\tTurno~d\xED"
                                       "a\tT",
                                       "OBS\t10\tObs\tF"}));
    G->IniAttributes()->SetEnabled(false);
    G->Free();
}

// A value without the delimiter: "Key Delimiter Not Found" and the designed
// lines. A value the grid cannot lay out: a warning and the designed lines.
// A folder that does not exist: "Directory does not exist" when saving and
// when loading, and nothing written.
TEST_P(GridLayout, DamagedAndMissingStoresKeepTheDesignedLayout) {
    Store({"NOMBRE=16;;Nombre;;F", "ABREV=6"});
    Answers.Then(mrOk);
    TwwDBGrid* G = NewGrid();
    EXPECT_EQ(Answers.Texts(), V{"Key Delimiter Not Found"});
    EXPECT_EQ(Lines(G->Selected()), DesignedLines);
    G->IniAttributes()->SetEnabled(false);
    G->Free();

    Store({"NOMBRE=ancho;;Nombre;;F"});
    Answers.Then(mrOk);
    G = NewGrid();
    EXPECT_EQ(Answers.Texts().back(), "Invalid column layout stored for NOMBRE");
    EXPECT_EQ(Lines(G->Selected()), DesignedLines);
    EXPECT_GT(G->ColWidths(G->IndicatorOffset() + 1), 0);
    G->IniAttributes()->SetEnabled(false);
    G->Free();

    if (Registry()) {
        Store({});
        G = NewGrid(Designed, "");
        G->IniAttributes()->SetFileName("");
        Answers.Then(mrOk);
        G->SaveColumnLayout();
        EXPECT_EQ(Answers.Texts().back(), "FileName required when saving to registry");
        G->IniAttributes()->SetEnabled(false);
        G->Free();
        return;
    }
    Answers.Then(mrOk);
    G = NewGrid(Designed, "C:\\nada\\rejillas.ini");
    EXPECT_EQ(Answers.Texts().back(), "Directory does not exist");
    Answers.Then(mrOk);
    G->SaveColumnLayout();
    EXPECT_EQ(Answers.Texts().back(), "Directory does not exist");
    const size_t Asked = Answers.Asked().size();
    G->Free();
    EXPECT_EQ(Answers.Asked().size(), Asked);
    EXPECT_FALSE(std::filesystem::exists(MapPath("C:\\nada")));
}

// Without a FileName the layout goes to DefaultIntl's IniFileName, else (an
// ini file) to the program's name with ".ini". Without a delimiter nothing
// is saved, and a grid without columns leaves the stored section alone.
TEST_P(GridLayout, DefaultStoresAndWhatIsNotSaved) {
    const AnsiString Named = Registry() ? AnsiString("Software\\Zelmor\\Otras") : AnsiString("C:\\otras.ini");
    auto StoredIn = [&](const AnsiString& File) {
        TStringList Entries;
        if (Registry()) TRegIniFile(File).ReadSectionValues(Section, Entries);
        else TIniFile(File).ReadSectionValues(Section, Entries);
        return Lines(&Entries);
    };
    DefaultIntl->SetIniFileName(Named);
    TwwDBGrid* G = NewGrid();
    G->IniAttributes()->SetFileName("");
    G->Free();
    EXPECT_EQ(StoredIn(Named).size(), 3u);
    DefaultIntl->SetIniFileName("");
    if (!Registry()) {
        G = NewGrid();
        G->IniAttributes()->SetFileName("");
        EXPECT_EQ(G->IniAttributes()->EffectiveFileName(), ProgramIniFileName());
        G->Free();
        EXPECT_EQ(StoredIn(ProgramIniFileName()).size(), 3u);
    }

    Store({"NOMBRE=16;;Nombre;;F"});
    G = NewGrid();
    G->IniAttributes()->SetDelimiter("");
    Answers.Then(mrOk);
    G->SaveColumnLayout();
    EXPECT_EQ(Answers.Texts().back(), "Key delimiter required");
    G->IniAttributes()->SetDelimiter(";;");
    G->Selected()->Clear();
    G->Free();
    EXPECT_EQ(Stored(), V{"NOMBRE=16;;Nombre;;F"});
}

INSTANTIATE_TEST_SUITE_P(Stores, GridLayout, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& I) {
                             return I.param ? "Registry" : "IniFile";
                         });

// The stored value of a Selected line and back: a line with a width but no
// title is stored with an empty one; a title that holds the delimiter
// splits, so its second half becomes the read-only flag.
TEST(GridLayoutFormat, StoredValuesAndTheirLines) {
    EXPECT_EQ(StoredLayoutValue("A\t6\t1\tF\tG", ";;"), "6;;1;;F;;G");
    EXPECT_EQ(StoredLayoutValue("A\t6\tT\tT\t", ";;"), "6;;T;;T");
    EXPECT_EQ(StoredLayoutValue("A\t6\tT", ";;"), "6;;T;;F");
    EXPECT_EQ(StoredLayoutValue("A\t6", ";;"), "6;;;;F");
    EXPECT_EQ(StoredLayoutValue("A", ";;"), "");
    AnsiString Line;
    EXPECT_TRUE(SelectedLineOfStored("A", "6;;Uno;;Dos;;F", ";;", Line));
    EXPECT_EQ(Line, "A\t6\tUno\tDos\tF");
    EXPECT_FALSE(SelectedLineOfStored("A", "seis;;Uno;;F", ";;", Line));
    EXPECT_FALSE(SelectedLineOfStored("A", "6", ";;", Line));
}

}  // namespace
