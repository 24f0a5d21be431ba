// The directory and file combo boxes over a folder tree made here: the chain
// of parent folders with the current one selected, its sorted sub-folders,
// choosing one that passes on to the linked file list, and file lists that
// never hold folders and follow their mask and attributes.
#include <gtest/gtest.h>

#include <fstream>

#include "OvcTestSupport.h"
#include "platform/classes/Properties.h"
#include "platform/sys/Files.h"
#include "reportview/OvcDrCbx.h"
#include "tests/support/TempMachine.h"

namespace {

class OvcFolderCombos : public OvcFormTest {
protected:
    OvcFolderCombos() : Machine("ovccbx") {
        namespace fs = std::filesystem;
        fs::path root = Machine.DriveC() / "ovc" / "uno";
        for (const char* sub : {"b", "a", "a/hondo"}) fs::create_directories(root / sub);
        for (const char* file : {"y.dat", "x.txt", ".oculto.txt"}) std::ofstream(root / file) << "x";
        F = NewPlainForm("F", 400, 300);
        NewComponent<TOvcController>(F);
        Files = NewComponent<TOvcFileComboBox>(F);
        Files->SetParent(F);
        Dirs = NewComponent<TOvcDirectoryComboBox>(F);
        Dirs->SetParent(F);
        Dirs->SetFileComboBox(Files);
        F->Show();
        Ui.RunUntilIdle();
    }
    std::vector<AnsiString> ItemsOf(TOvcBaseComboBox* C) {
        std::vector<AnsiString> out;
        for (int i = 0; i < C->Items()->Count(); ++i) out.push_back(C->Items()->Get(i));
        return out;
    }
    TTempMachine Machine;
    TForm* F;
    TOvcFileComboBox* Files;
    TOvcDirectoryComboBox* Dirs;
};

TEST_F(OvcFolderCombos, TheChainOfFoldersThenTheSubFolders) {
    Dirs->SetDirectory("C:\\ovc\\uno");
    EXPECT_EQ(ItemsOf(Dirs), (std::vector<AnsiString>{"C:\\", "C:\\ovc", "C:\\ovc\\uno", "C:\\ovc\\uno\\a",
                                                      "C:\\ovc\\uno\\b"}));
    EXPECT_EQ(Dirs->Depth(), 3);
    EXPECT_EQ(Dirs->ItemIndex(), 2) << "the current folder is selected";
    Dirs->SetItemIndex(3);
    Dirs->SelectionChanged();
    EXPECT_EQ(Dirs->Directory(), "C:\\ovc\\uno\\a");
    EXPECT_EQ(ItemsOf(Dirs), (std::vector<AnsiString>{"C:\\", "C:\\ovc", "C:\\ovc\\uno", "C:\\ovc\\uno\\a",
                                                      "C:\\ovc\\uno\\a\\hondo"}));
    EXPECT_EQ(Dirs->ItemIndex(), 3);
    EXPECT_EQ(Files->Directory(), "C:\\ovc\\uno\\a") << "the linked file list follows";
    // The edit field shows the current folder's name after its open folder.
    Dirs->SetOcbStyle(ocsDropDownList);
    Dirs->SetColor(clWhite);
    Dirs->SetBounds(10, 10, 200, 24);
    Ui.RunUntilIdle();
    TRect box = Dirs->ClientRect();
    int h = 16, half = h / 2;
    bool yellow = false;
    for (int x = half; x < half + h; ++x)
        for (int y = 0; y < box.Height(); ++y)
            if (PixelAt(F, 10 + 2 + x, 10 + 2 + y) == 0xFFFF00u) yellow = true;
    EXPECT_TRUE(yellow) << "the folder picture";
    // A folder that cannot be searched leaves the list as it was.
    Dirs->SetDirectory("C:\\no\\existe");
    EXPECT_EQ(Dirs->Items()->Count(), 5);
    Dirs->SetDirectory("D:\\x");
    Dirs->SetDrive('C');
    EXPECT_EQ(Dirs->Directory(), "C:\\");
    EXPECT_EQ(Dirs->Items()->Get(0), "C:\\");
    EXPECT_EQ(Dirs->Items()->Get(1), "C:\\ovc");
    // Drive is published and stored with the folder; set by name it moves
    // to that drive's root.
    EXPECT_TRUE(IsStoredProp(Dirs, "Drive"));
    EXPECT_EQ(GetOrdProp(Dirs, "Drive"), 'C');
    Dirs->SetDirectory("D:\\x");
    SetOrdProp(Dirs, "Drive", 'C');
    EXPECT_EQ(Dirs->Directory(), "C:\\");
    Files->Free();
    EXPECT_EQ(Dirs->FileComboBox(), nullptr);
}

TEST_F(OvcFolderCombos, FileListsHoldFilesOnly) {
    Files->SetDirectory("C:\\ovc\\uno");
    EXPECT_EQ(ItemsOf(Files), (std::vector<AnsiString>{".oculto.txt", "x.txt", "y.dat"})) << "no folders";
    Files->SetFileMask("*.txt");
    EXPECT_EQ(ItemsOf(Files), (std::vector<AnsiString>{".oculto.txt", "x.txt"}));
    Files->SetAttributes({cbxArchive});
    EXPECT_EQ(ItemsOf(Files), (std::vector<AnsiString>{"x.txt"})) << "hidden files only when asked";
    Files->SetAttributes({cbxHidden});
    EXPECT_EQ(ItemsOf(Files), (std::vector<AnsiString>{".oculto.txt", "x.txt"}));
}

}  // namespace
