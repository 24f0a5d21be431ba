#include <gtest/gtest.h>

#include <cstdlib>

#include "SysFixture.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"

using PathsTest = SysFixture;
namespace fs = std::filesystem;

TEST_F(PathsTest, DriveLettersMapToTheirFolders) {
    EXPECT_EQ(MapPath("C:\\QTEMP\\CURSOSt.DBF"), (DriveC / "QTEMP" / "CURSOSt.DBF").string());
    EXPECT_EQ(MapPath("c:/qtemp/x"), (DriveC / "qtemp" / "x").string());
    EXPECT_EQ(MapPath("C:\\"), DriveC.string());
    EXPECT_EQ(MapPath("C:\\..\\..\\x"), (DriveC / "x").string());  // never above the drive
    EXPECT_EQ(MapPath("Z:\\tmp"), "/tmp");
    EXPECT_EQ(MapPath("\\\\servidor\\datos\\x"), "");
    EXPECT_EQ(MapPath(""), "");
    ::setenv("ZELMOR_DRIVE_D", (Root / "d").c_str(), 1);
    EXPECT_EQ(MapPath("D:\\uno"), (Root / "d" / "uno").string());
    ::unsetenv("ZELMOR_DRIVE_D");
}

TEST_F(PathsTest, ExistingNamesAreFoundWithoutRegardToCase) {
    Touch(DriveC / "qtemp" / "TIPOS.DBF");
    Touch(DriveC / "A\xC3\xB1o" / "Alum.dbf");  // "Año" on the disk
    struct {
        const char* Windows;
        fs::path Machine;
    } cases[] = {
        {"C:\\QTEMP\\tipos.dbf", DriveC / "qtemp" / "TIPOS.DBF"},
        {"C:\\QTemp\\TIPOS.DBF", DriveC / "qtemp" / "TIPOS.DBF"},
        {"C:\\A\xD1O\\ALUM.DBF", DriveC / "A\xC3\xB1o" / "Alum.dbf"},  // Ñ finds ñ
        {"C:\\QTEMP\\Nuevo.DBF", DriveC / "qtemp" / "Nuevo.DBF"},      // new names keep their case
        {"C:\\QTEMP\\Nueva\\Sub.DBF", DriveC / "qtemp" / "Nueva" / "Sub.DBF"},
        {"C:\\QTEMP\\.\\x\\..\\tipos.dbf", DriveC / "qtemp" / "TIPOS.DBF"},
    };
    for (const auto& c : cases) EXPECT_EQ(MapPath(c.Windows), c.Machine.string()) << c.Windows;
}

TEST_F(PathsTest, AnExactSpellingWinsOverAnotherCase) {
    Touch(DriveC / "a.txt", "lower");
    Touch(DriveC / "A.TXT", "upper");
    EXPECT_EQ(MapPath("C:\\a.txt"), (DriveC / "a.txt").string());
    EXPECT_EQ(MapPath("C:\\A.TXT"), (DriveC / "A.TXT").string());
    EXPECT_EQ(MapPath("C:\\A.txt"), (DriveC / "A.TXT").string());  // else the first in byte order
}

TEST_F(PathsTest, RelativePathsStartAtTheCurrentFolder) {
    Touch(Program / "Datos" / "alum.DBF");
    EXPECT_EQ(MapPath("datos\\ALUM.dbf"), (Program / "Datos" / "alum.DBF").string());
    EXPECT_TRUE(FileExists("DATOS\\alum.dbf"));
    AnsiString cur = GetCurrentDir();
    EXPECT_EQ(cur.substr(0, 3), "Z:\\");
    EXPECT_EQ(MapPath(cur), fs::current_path().string());
    EXPECT_EQ(MapPath(cur + "\\datos"), (Program / "Datos").string());

    fs::create_directories(DriveC / "Zelmor");
    ASSERT_TRUE(SetCurrentDir("C:\\ZELMOR"));
    EXPECT_EQ(GetCurrentDir(), "C:\\Zelmor");                    // the spelling on the disk
    EXPECT_EQ(MapPath("\\QTEMP"), (DriveC / "QTEMP").string());  // the root of the current drive
    ASSERT_TRUE(SetCurrentDir("C:\\"));
    EXPECT_EQ(GetCurrentDir(), "C:\\");
    EXPECT_FALSE(SetCurrentDir("C:\\no existe"));
}

TEST_F(PathsTest, CurrentFolderNamesInWindows1252) {
    fs::create_directories(DriveC / "Programaci\xC3\xB3n");
    ASSERT_TRUE(SetCurrentDir("C:\\Programaci\xF3n"));
    EXPECT_EQ(GetCurrentDir(), "C:\\Programaci\xF3n");
    EXPECT_EQ(ExpandFileName("datos\\..\\x.ini"), "C:\\Programaci\xF3n\\x.ini");
    EXPECT_EQ(ExpandFileName("\\QTEMP\\a.dbf"), "C:\\QTEMP\\a.dbf");
    EXPECT_EQ(ExpandFileName("c:\\a\\.\\b\\..\\c"), "C:\\a\\c");
}

TEST(PathNames, PiecesOfANameComeFromTheTextAlone) {
    struct {
        const char* Name;
        const char* Path;
        const char* Dir;
        const char* File;
        const char* Ext;
    } cases[] = {
        {"C:\\QTEMP\\CURSOSt.DBF", "C:\\QTEMP\\", "C:\\QTEMP", "CURSOSt.DBF", ".DBF"},
        {"C:\\x.dbf", "C:\\", "C:\\", "x.dbf", ".dbf"},
        {"datos\\alum", "datos\\", "datos", "alum", ""},
        {"C:fichero.txt", "C:", "C:", "fichero.txt", ".txt"},
        {"a.b\\c", "a.b\\", "a.b", "c", ""},
        {"nombre", "", "", "nombre", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << c.Name;
        EXPECT_EQ(ExtractFileDir(c.Name), c.Dir) << c.Name;
        EXPECT_EQ(ExtractFileName(c.Name), c.File) << c.Name;
        EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << c.Name;
    }
    EXPECT_EQ(ChangeFileExt("datos\\alum.DBF", ".MDX"), "datos\\alum.MDX");
    EXPECT_EQ(ChangeFileExt("a.b\\c", ".ini"), "a.b\\c.ini");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\QTEMP"), "C:\\QTEMP\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\QTEMP\\"), "C:\\QTEMP");
}

TEST(PathNames, PlainFolderNamesForWhatTheUserTypes) {
    for (const char* good : {"Curso 2024", "datos", "A\xF1o-2025", "v1.2"})
        EXPECT_TRUE(IsPlainFolderName(good)) << good;
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "C:x", "a:b", "x*", "que?", "a|b", "<a>", "\"q\"",
                            "tab\there", "punto.", "blanco ", "CON", "nul.txt", "COM1", "lpt9"})
        EXPECT_FALSE(IsPlainFolderName(bad)) << bad;
    AnsiString parent = "C:\\" + AnsiString(251, 'p');
    EXPECT_TRUE(IsPlainFolderName("abcd", parent));    // 254 characters, a backslash and 4 make 259
    EXPECT_FALSE(IsPlainFolderName("abcde", parent));  // 260
}
