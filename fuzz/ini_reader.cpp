// Ini files are edited by hand and written by other programs: whatever their
// bytes, reading every section and value, writing one back and reading the
// file again answers texts or raises our exceptions, never crashes. What was
// read must read the same after the file is written back.
#include <cstddef>
#include <cstdint>

#include "FuzzFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/IniFiles.h"
#include "platform/sys/Paths.h"

namespace {

const char* const Own = "~fuzz\x01~";

// Every section with its "name=value" lines, as the ini file answers them.
AnsiString Everything(TCustomIniFile& Ini) {
    AnsiString all;
    TStringList sections;
    Ini.ReadSections(sections);
    for (int i = 0; i < sections.Count() && i < 64; ++i) {
        TStringList names;
        Ini.ReadSection(sections[i], names);
        all += "[" + sections[i] + "]\n";
        for (int k = 0; k < names.Count() && k < 64; ++k) {
            all += names[k] + "=" + Ini.ReadString(sections[i], names[k], "") + "\n";
            Ini.ReadInteger(sections[i], names[k], 0);
            Ini.ReadBool(sections[i], names[k], false);
            Ini.ReadFloat(sections[i], names[k], 0);
        }
        TStringList values;
        Ini.ReadSectionValues(sections[i], values);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string file = FuzzFolder() + "/fuzz.ini";
    WriteFuzzFile(file, Data, Size);
    const AnsiString name = UnmapPath(file);
    try {
        AnsiString before;
        bool own = false;
        {
            TMemIniFile ini(name);
            before = Everything(ini);
            // A section of its own: what was there reads the same afterwards.
            own = !ini.SectionExists(Own);
            ini.WriteString(Own, "clave", "valor");
            ini.UpdateFile();
        }
        TMemIniFile again(name);
        again.EraseSection(Own);
        if (own && Everything(again) != before) std::abort();
        TIniFile direct(name);
        Everything(direct);
    } catch (const Exception&) {
    }
    return 0;
}
