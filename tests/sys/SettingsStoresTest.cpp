#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "SysFixture.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/IniFiles.h"
#include "platform/sys/Registry.h"
#include "rtl/LinesOf.h"

namespace fs = std::filesystem;
using IniTest = SysFixture;
using RegistryTest = SysFixture;

TEST_F(IniTest, ValuesRoundTripAndKeepFileOrder) {
    Touch(DriveC / "cfg.ini", "; comentario\r\n[Nombres]\nzeta=1\r\nalfa = 2\n\n[Otra]\nx=y\n");
    {
        TIniFile ini("C:\\CFG.INI");
        EXPECT_EQ(ini.ReadString("nombres", "ALFA", "?"), "2");
        ini.WriteString("Nombres", "medio", "Atenci\xF3n");
        ini.WriteInteger("Nueva", "n", -5);
        ini.WriteBool("Nueva", "b", true);
    }
    TIniFile ini("C:\\cfg.ini");
    TStringList l;
    ini.ReadSectionValues("NOMBRES", l);
    EXPECT_EQ(Lines(l), (V{"zeta=1", "alfa=2", "medio=Atenci\xF3n"}));
    ini.ReadSection("Nombres", l);
    EXPECT_EQ(Lines(l), (V{"zeta", "alfa", "medio"}));
    ini.ReadSections(l);
    EXPECT_EQ(Lines(l), (V{"Nombres", "Otra", "Nueva"}));
    EXPECT_EQ(ini.ReadInteger("Nueva", "n", 0), -5);
    EXPECT_TRUE(ini.ReadBool("Nueva", "b", false));
    EXPECT_TRUE(ini.SectionExists("otra"));
    EXPECT_TRUE(ini.ValueExists("Otra", "X"));
    EXPECT_FALSE(ini.ValueExists("Otra", "z"));
    // The comment and the blank line stay where they were.
    EXPECT_EQ(Contents(DriveC / "cfg.ini"),
              "; comentario\r\n[Nombres]\r\nzeta=1\r\nalfa=2\r\nmedio=Atenci\xF3n\r\n\r\n[Otra]\r\nx=y\r\n"
              "[Nueva]\r\nn=-5\r\nb=1\r\n");
    ini.EraseSection("OTRA");
    ini.DeleteKey("Nombres", "ZETA");
    EXPECT_FALSE(ini.SectionExists("Otra"));
    EXPECT_EQ(ini.ReadString("Nombres", "zeta", "gone"), "gone");
}

TEST_F(IniTest, NumbersAndQuotes) {
    Touch(User / "z.ini", "[s]\nhex=$1F\nox=0x10\nmal=12abc\nq=\"  con blancos  \"\nsq='a'\nf=2,5\n");
    TIniFile ini("z.ini");  // a bare name lives in the user folder
    EXPECT_EQ(ini.FileName().substr(ini.FileName().size() - 6), "\\z.ini");
    EXPECT_EQ(ini.ReadInteger("s", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("s", "ox", 0), 16);
    EXPECT_EQ(ini.ReadInteger("s", "mal", 7), 7);
    EXPECT_EQ(ini.ReadString("s", "q", ""), "  con blancos  ");
    EXPECT_EQ(ini.ReadString("s", "sq", ""), "a");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "f", 0), 2.5);
    TMemIniFile mem("z.ini");
    EXPECT_EQ(mem.ReadString("s", "q", ""), "\"  con blancos  \"");  // kept as written
}

TEST_F(IniTest, MemIniFileWritesOnlyOnUpdate) {
    TMemIniFile mem("Prefs.ini");
    mem.WriteString("Grid", "Width", "80");
    EXPECT_FALSE(fs::exists(User / "Prefs.ini"));
    EXPECT_EQ(mem.ReadString("grid", "width", ""), "80");
    mem.UpdateFile();  // makes the user folder as well
    EXPECT_EQ(Contents(User / "Prefs.ini"), "[Grid]\r\nWidth=80\r\n");
    TIniFile again("Prefs.ini");
    EXPECT_EQ(again.ReadString("Grid", "Width", ""), "80");
}

TEST_F(IniTest, UnwritableFileRaises) {
    Touch(DriveC / "fichero", "no es una carpeta");
    TIniFile ini("C:\\fichero\\x.ini");
    try {
        ini.WriteString("a", "b", "c");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "No se puede escribir el archivo C:\\fichero\\x.ini");
    }
    EXPECT_EQ(ini.ReadString("a", "b", "none"), "none");
}

TEST_F(RegistryTest, ValuesSurviveAReadOfTheFile) {
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey("Software\\Zelmor\\Grid", true));
        r.WriteString("Titulo", "Atenci\xF3n = [l\xEDnea]\r\nsegunda");
        r.WriteInteger("Ancho", -120);
        const uint8_t bin[] = {0, 1, 0xFF, '\r', '\n'};
        r.WriteBinaryData("Datos", bin, sizeof bin);
        r.WriteString("", "por defecto");
        r.WriteString("@raro", "x");
    }
    ResetRegistryStore();  // read the file again
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\SOFTWARE\\zelmor\\grid", false));
    EXPECT_EQ(r.CurrentPath(), "SOFTWARE\\zelmor\\grid");
    EXPECT_EQ(r.ReadString("titulo"), "Atenci\xF3n = [l\xEDnea]\r\nsegunda");
    EXPECT_EQ(r.ReadInteger("ANCHO"), -120);
    EXPECT_EQ(r.ReadString(""), "por defecto");
    EXPECT_EQ(r.ReadString("@raro"), "x");
    uint8_t buf[8] = {};
    EXPECT_EQ(r.GetDataSize("Datos"), 5);
    EXPECT_EQ(r.ReadBinaryData("Datos", buf, sizeof buf), 5);
    EXPECT_EQ(buf[2], 0xFF);
    EXPECT_THROW(r.ReadBinaryData("Datos", buf, 2), ERegistryException);
    EXPECT_THROW(r.ReadInteger("Titulo"), ERegistryException);
    EXPECT_THROW(r.ReadInteger("nada"), ERegistryException);
    EXPECT_EQ(r.ReadString("nada"), "");
    EXPECT_EQ(r.GetDataType("Ancho"), rdInteger);
    TStringList names;
    r.GetValueNames(names);
    EXPECT_EQ(Lines(names), (V{"Titulo", "Ancho", "Datos", "", "@raro"}));
}

TEST_F(RegistryTest, KeysExistCreateAndDeleteWithTheirSubKeys) {
    TRegistry r;
    EXPECT_FALSE(r.KeyExists("Software\\Zelmor"));
    EXPECT_FALSE(r.OpenKey("Software\\Zelmor", false));
    ASSERT_TRUE(r.CreateKey("Software\\Zelmor\\Historial\\Nombres"));
    ASSERT_TRUE(r.CreateKey("Software\\Zelmor\\Rejilla"));
    EXPECT_TRUE(r.KeyExists("software\\zelmor"));
    ASSERT_TRUE(r.OpenKey("Software\\Zelmor", false));
    TStringList keys;
    r.GetKeyNames(keys);
    EXPECT_EQ(Lines(keys), (V{"Historial", "Rejilla"}));
    EXPECT_TRUE(r.HasSubKeys());
    EXPECT_TRUE(r.OpenKey("Historial", false));  // relative to the open key
    EXPECT_EQ(r.CurrentPath(), "Software\\Zelmor\\Historial");
    r.CloseKey();
    EXPECT_TRUE(r.DeleteKey("SOFTWARE\\ZELMOR\\HISTORIAL"));
    EXPECT_FALSE(r.KeyExists("Software\\Zelmor\\Historial\\Nombres"));
    EXPECT_TRUE(r.KeyExists("Software\\Zelmor\\Rejilla"));
    EXPECT_FALSE(r.DeleteKey("Software\\Zelmor\\Historial"));
    ASSERT_TRUE(r.OpenKeyReadOnly("Software\\Zelmor"));
    EXPECT_THROW(r.WriteString("x", "y"), ERegistryException);
    r.CloseKey();
    EXPECT_THROW(r.WriteString("x", "y"), ERegistryException);
}

TEST_F(RegistryTest, InternationalKeyAnswersFromTheRegionalSettings) {
    TFormatSettingsScope spanish{TFormatSettings()};
    TRegistry r;
    EXPECT_TRUE(r.KeyExists("Control Panel\\International"));
    ASSERT_TRUE(r.OpenKeyReadOnly("Control Panel\\International"));
    EXPECT_EQ(r.ReadString("sShortDate"), "dd/MM/yyyy");
    EXPECT_EQ(r.ReadString("sDecimal"), ",");
    EXPECT_TRUE(r.ValueExists("sLongDate"));
    EXPECT_FALSE(r.ValueExists("sNoExiste"));
}

TEST_F(RegistryTest, RegIniFileKeepsSectionsAsSubKeys) {
    {
        TRegIniFile ini("Software\\Zelmor\\Prefs");
        ini.WriteString("Historial", "0",
                        "Garc\xED"
                        "a");
        ini.WriteString("Historial", "1", "L\xF3pez");
        ini.WriteInteger("Rejilla", "Ancho", 64);
        ini.WriteBool("Rejilla", "Ver", true);
    }
    TRegIniFile reg("Software\\Zelmor\\Prefs");
    TCustomIniFile& ini = reg;  // the history lists take either kind of store
    EXPECT_EQ(ini.ReadString("historial", "1", ""), "L\xF3pez");
    EXPECT_TRUE(ini.SectionExists("REJILLA"));
    EXPECT_TRUE(ini.ValueExists("Rejilla", "ancho"));
    EXPECT_FALSE(ini.ValueExists("Rejilla", "alto"));
    EXPECT_EQ(ini.ReadInteger("Rejilla", "Ancho", 0), 64);
    EXPECT_TRUE(ini.ReadBool("Rejilla", "Ver", false));
    EXPECT_EQ(ini.ReadString("Nada", "x", "dflt"), "dflt");
    TStringList l;
    ini.ReadSections(l);
    EXPECT_EQ(Lines(l), (V{"Historial", "Rejilla"}));
    ini.ReadSectionValues("Historial", l);
    EXPECT_EQ(Lines(l), (V{"0=Garc\xED"
                           "a",
                           "1=L\xF3pez"}));
    ini.DeleteKey("Historial", "0");
    ini.ReadSection("Historial", l);
    EXPECT_EQ(Lines(l), V{"1"});
    ini.EraseSection("Historial");
    TRegistry r;
    EXPECT_FALSE(r.KeyExists("Software\\Zelmor\\Prefs\\Historial"));
    EXPECT_TRUE(r.KeyExists("Software\\Zelmor\\Prefs\\Rejilla"));
}

TEST_F(RegistryTest, TheFileFollowsTheUserFolder) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\A", true));
    r.WriteString("v", "1");
    EXPECT_TRUE(fs::exists(User / "registry.ini"));
    fs::path other = Root / "otro";
    ::setenv("ZELMOR_USER_DIR", other.c_str(), 1);
    TRegistry fresh;
    EXPECT_FALSE(fresh.KeyExists("Software\\A"));
    ::setenv("ZELMOR_USER_DIR", User.c_str(), 1);
    EXPECT_TRUE(fresh.KeyExists("Software\\A"));
}
