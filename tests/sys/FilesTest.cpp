#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "SysFixture.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/FileStream.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"

using FilesTest = SysFixture;
namespace fs = std::filesystem;

namespace {
struct Found {
    AnsiString Name;
    int Attr;
};
std::vector<Found> Search(std::string_view Pattern, int Attr) {
    std::vector<Found> out;
    TSearchRec f;
    for (int r = FindFirst(Pattern, Attr, f); r == 0; r = FindNext(f)) out.push_back({f.Name, f.Attr});
    FindClose(f);
    return out;
}
}  // namespace

TEST_F(FilesTest, ExistsAndDeleteIgnoreCase) {
    Touch(DriveC / "datos" / "nomasg.dbf", "x");
    EXPECT_TRUE(FileExists("C:\\DATOS\\NOMASG.DBF"));
    EXPECT_FALSE(FileExists("C:\\DATOS"));  // a folder is not a file
    EXPECT_TRUE(DirectoryExists("c:\\Datos"));
    EXPECT_FALSE(DirectoryExists("C:\\DATOS\\nomasg.dbf"));
    EXPECT_TRUE(DeleteFile("C:\\DATOS\\NOMASG.DBF"));
    EXPECT_FALSE(fs::exists(DriveC / "datos" / "nomasg.dbf"));
    EXPECT_FALSE(DeleteFile("C:\\DATOS\\NOMASG.DBF"));  // gone: false, nothing else
    EXPECT_FALSE(DeleteFile("C:\\DATOS"));              // never a folder
}

TEST_F(FilesTest, RenameRefusesATakenNameButChangesCase) {
    Touch(DriveC / "tipos.dbf", "t");
    Touch(DriveC / "otro.dbf", "o");
    EXPECT_FALSE(RenameFile("C:\\TIPOS.DBF", "C:\\OTRO.dbf"));
    EXPECT_EQ(Contents(DriveC / "otro.dbf"), "o");
    EXPECT_TRUE(RenameFile("C:\\tipos.dbf", "C:\\TIPOS.DBF"));
    EXPECT_TRUE(fs::exists(DriveC / "TIPOS.DBF"));
    EXPECT_FALSE(fs::exists(DriveC / "tipos.dbf"));
    EXPECT_TRUE(RenameFile("C:\\TIPOS.DBF", "C:\\tipos2.dbf"));
    EXPECT_EQ(Contents(DriveC / "tipos2.dbf"), "t");
    EXPECT_FALSE(RenameFile("C:\\no.dbf", "C:\\si.dbf"));
}

TEST_F(FilesTest, CopyIsExactAndReportsFailure) {
    std::string bytes;
    for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7);
    Touch(Program / "Datos" / "TIPGRUP.DBF", bytes);
    fs::create_directories(DriveC / "QTEMP");
    Touch(DriveC / "QTEMP" / "tipgrup.dbf", "old and longer than nothing");
    ASSERT_TRUE(CopyFile("datos\\TIPGRUP.DBF", "C:\\QTEMP\\TIPGRUP.DBF", false));
    EXPECT_EQ(Contents(DriveC / "QTEMP" / "tipgrup.dbf"), bytes);  // replaced, same length and bytes
    EXPECT_EQ(FileAge("C:\\QTEMP\\TIPGRUP.DBF"), FileAge("datos\\TIPGRUP.DBF"));
    EXPECT_FALSE(CopyFile("datos\\TIPGRUP.DBF", "C:\\QTEMP\\TIPGRUP.DBF", true));
    // No source, or no target folder: false, and nothing is left behind.
    EXPECT_FALSE(CopyFile("datos\\CONEX.DBF", "C:\\QTEMP\\CONEX.DBF", false));
    EXPECT_FALSE(fs::exists(DriveC / "QTEMP" / "CONEX.DBF"));
    EXPECT_FALSE(CopyFile("datos\\TIPGRUP.DBF", "C:\\NOHAY\\TIPGRUP.DBF", false));
    EXPECT_FALSE(fs::exists(DriveC / "NOHAY"));
    EXPECT_EQ(std::distance(fs::directory_iterator(DriveC / "QTEMP"), fs::directory_iterator()), 1);
}

TEST_F(FilesTest, ForceDirectoriesReusesFoldersInAnyCase) {
    fs::create_directories(DriveC / "Datos");
    ASSERT_TRUE(ForceDirectories("C:\\DATOS\\Curso\\Sub\\"));
    EXPECT_TRUE(fs::is_directory(DriveC / "Datos" / "Curso" / "Sub"));
    EXPECT_FALSE(fs::exists(DriveC / "DATOS"));
    EXPECT_TRUE(ForceDirectories("nuevo\\uno"));
    EXPECT_TRUE(fs::is_directory(Program / "nuevo" / "uno"));
    ::setenv("ZELMOR_DRIVE_E", (Root / "e" / "deep").c_str(), 1);
    EXPECT_TRUE(ForceDirectories("E:\\x"));  // a drive's folder is made on first use
    EXPECT_TRUE(fs::is_directory(Root / "e" / "deep" / "x"));
    ::unsetenv("ZELMOR_DRIVE_E");
    EXPECT_TRUE(CreateDir("C:\\Otra"));
    EXPECT_FALSE(CreateDir("C:\\otra"));
    EXPECT_TRUE(RemoveDir("C:\\OTRA"));
    EXPECT_FALSE(RemoveDir("C:\\Datos"));  // not empty
}

TEST_F(FilesTest, SearchWithAttributeMasks) {
    fs::create_directories(Program / "Curso1");
    fs::create_directories(Program / "curso2");
    fs::create_directories(Program / ".oculta");
    Touch(Program / "a.dbf");
    Touch(Program / "B.DBF");
    Touch(Program / "notas.txt");
    Touch(Program / "sinext");
    Touch(Program / "solo.dbf");
    fs::permissions(Program / "solo.dbf", fs::perms::owner_read | fs::perms::group_read);

    // The folder list of the data-folder dialog: "exactly a directory", no "." or "..".
    std::vector<AnsiString> folders;
    for (const Found& f : Search("*.*", faDirectory))
        if (f.Attr == faDirectory && f.Name != "." && f.Name != "..") folders.push_back(f.Name);
    EXPECT_EQ(folders, (std::vector<AnsiString>{"Curso1", "curso2"}));

    std::vector<Found> all = Search("*.*", faDirectory);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].Name, ".");
    EXPECT_EQ(all[1].Name, "..");

    struct {
        const char* Pattern;
        int Attr;
        std::set<AnsiString> Names;
    } cases[] = {
        {"*.dbf", 0, {"a.dbf", "B.DBF", "solo.dbf"}},
        {"?.DBF", 0, {"a.dbf", "B.DBF"}},
        {"*", 0, {"a.dbf", "B.DBF", "notas.txt", "sinext", "solo.dbf"}},
        {"sinext.*", 0, {"sinext"}},
        {"*.*",
         faHidden | faDirectory,
         {".", "..", ".oculta", "Curso1", "curso2", "a.dbf", "B.DBF", "notas.txt", "sinext", "solo.dbf"}},
        {"CURSO*", faDirectory, {"Curso1", "curso2"}},
    };
    for (const auto& c : cases) {
        std::set<AnsiString> got;
        for (const Found& f : Search(c.Pattern, c.Attr)) got.insert(f.Name);
        EXPECT_EQ(got, c.Names) << c.Pattern;
    }
    std::map<AnsiString, int> attrs;
    for (const Found& f : Search("*.*", faAnyFile)) attrs[f.Name] = f.Attr;
    EXPECT_EQ(attrs["solo.dbf"], faReadOnly | faArchive);
    EXPECT_EQ(attrs["a.dbf"], faArchive);
    EXPECT_EQ(attrs[".oculta"], faDirectory | faHidden);
    EXPECT_EQ(attrs["Curso1"], faDirectory);
    TSearchRec f;
    EXPECT_EQ(FindFirst("*.xyz", faAnyFile, f), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirst("nohay\\*.*", faAnyFile, f), ERROR_PATH_NOT_FOUND);
    ASSERT_EQ(FindFirst("notas.TXT", 0, f), 0);
    EXPECT_EQ(f.Name, "notas.txt");
    EXPECT_EQ(FindNext(f), ERROR_NO_MORE_FILES);
    FindClose(f);
}

TEST_F(FilesTest, FileTimesAndSizes) {
    Touch(DriveC / "x.dat", "12345");
    TDateTime when = EncodeDate(2024, 9, 2) + EncodeTime(8, 30, 14, 0);
    ASSERT_TRUE(FileSetDate("C:\\X.DAT", DateTimeToFileDate(when)));
    EXPECT_DOUBLE_EQ(FileDateToDateTime(FileAge("c:\\x.dat")), when);
    TSearchRec f;
    ASSERT_EQ(FindFirst("C:\\X.DAT", 0, f), 0);
    EXPECT_EQ(f.Time, DateTimeToFileDate(when));
    EXPECT_EQ(f.Size, 5);
    EXPECT_EQ(FileSizeOf("C:\\x.dat"), 5);
    EXPECT_EQ(FileAge("C:\\nada.dat"), -1);
    EXPECT_EQ(FileGetAttr("C:\\"), faDirectory);
    EXPECT_EQ(FileGetAttr("C:\\nada"), -1);
}

TEST_F(FilesTest, TempFilesAreMadeWithThePrefix) {
    fs::create_directories(DriveC / "TEMP");
    AnsiString a, b;
    ASSERT_NE(GetTempFileName("C:\\TEMP", "_WWX", 0, a), 0u);
    ASSERT_NE(GetTempFileName("C:\\TEMP\\", "_WW", 0, b), 0u);
    EXPECT_NE(a, b);
    for (const AnsiString& n : {a, b}) {
        EXPECT_EQ(n.substr(0, 11), "C:\\TEMP\\_WW");
        EXPECT_EQ(ExtractFileExt(n), ".TMP");
        EXPECT_TRUE(FileExists(n));
    }
    AnsiString named;
    EXPECT_EQ(GetTempFileName("C:\\TEMP", "abc", 0x1F, named), 0x1Fu);
    EXPECT_EQ(named, "C:\\TEMP\\abc1F.TMP");
    EXPECT_FALSE(FileExists(named));  // a given number only names the file
    EXPECT_EQ(GetTempFileName("C:\\NOHAY", "_WW", 0, named), 0u);
    EXPECT_EQ(GetTempPath().back(), '\\');
}

TEST_F(FilesTest, FileStreamsOpenByWindowsNames) {
    {
        TFileStream f("C:\\Nuevo.DAT", fmCreate);
        f.WriteString("datos");
    }
    EXPECT_EQ(Contents(DriveC / "Nuevo.DAT"), "datos");
    {
        TFileStream f("c:\\NUEVO.dat", fmOpenReadWrite | fmShareDenyNone);
        f.Seek(0, soEnd);
        f.WriteString("+");
    }
    EXPECT_EQ(Contents(DriveC / "Nuevo.DAT"), "datos+");
    try {
        TFileStream f("C:\\NOHAY\\x.dat", fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "No se puede abrir el archivo C:\\NOHAY\\x.dat");
    }
    try {
        TFileStream f("C:\\NOHAY\\x.dat", fmCreate);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "No se puede crear el archivo C:\\NOHAY\\x.dat");
    }
    EXPECT_THROW(TFileStream("C:\\", fmOpenRead), EFOpenError);

    TStringList lines;
    lines.SetText("uno\ndos");
    SaveStringsToFile(lines, "C:\\lineas.txt");
    EXPECT_EQ(Contents(DriveC / "lineas.txt"), "uno\r\ndos\r\n");
    TStringList back;
    LoadStringsFromFile(back, "C:\\LINEAS.TXT");
    EXPECT_EQ(back.Text(), lines.Text());

    std::FILE* f = OpenStdFile("C:\\LINEAS.txt", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), 'u');
    std::fclose(f);
    EXPECT_EQ(OpenStdFile("C:\\nohay\\x", "rb"), nullptr);
}
