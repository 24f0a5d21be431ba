// The registry is a file of ours that a user or another program may have
// changed: whatever its bytes, walking every key and value answers texts,
// numbers and bytes or raises our exceptions, never crashes. What was read
// must read the same after the store is written back and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzFolder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Registry.h"

namespace {

const char* const Own = "\\~fuzz\x01~";

// Keys and values below Path, in the store's order; Budget bounds the walk
// (a key named "" under itself would otherwise never end).
void Walk(TRegistry& Reg, const AnsiString& Path, int Depth, int& Budget, AnsiString& Out) {
    if (Depth > 6 || --Budget < 0) return;
    if (!Reg.OpenKeyReadOnly("\\" + Path)) return;
    Out += "[" + Path + "]\n";
    TStringList values;
    Reg.GetValueNames(values);
    for (int i = 0; i < values.Count() && i < 64; ++i) {
        const AnsiString& v = values[i];
        Out += v + ":" + std::to_string(Reg.GetDataType(v)) + ":" + std::to_string(Reg.GetDataSize(v)) + "\n";
        try {
            Out += Reg.ReadString(v) + "\n";
        } catch (const ERegistryException&) {
        }
        try {
            Out += std::to_string(Reg.ReadInteger(v)) + "\n";
        } catch (const ERegistryException&) {
        }
        try {
            char buffer[64];
            int n = Reg.ReadBinaryData(v, buffer, sizeof buffer);
            Out += std::string(buffer, size_t(n)) + "\n";
        } catch (const ERegistryException&) {
        }
    }
    TStringList keys;
    Reg.GetKeyNames(keys);
    for (int i = 0; i < keys.Count() && i < 16; ++i)
        Walk(Reg, Path.empty() ? keys[i] : Path + "\\" + keys[i], Depth + 1, Budget, Out);
}

AnsiString Everything() {
    AnsiString out;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS}) {
        TRegistry reg;
        reg.SetRootKey(root);
        int budget = 200;
        Walk(reg, "", 0, budget, out);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const bool ready = (::setenv("ZELMOR_USER_DIR", FuzzFolder().c_str(), 1), true);
    (void)ready;
    WriteFuzzFile(FuzzFolder() + "/registry.ini", Data, Size);
    ResetRegistryStore();
    try {
        AnsiString before = Everything();
        TRegistry reg;
        // A key of its own makes the store write itself back whole.
        const bool own = !reg.KeyExists(Own);
        reg.OpenKey(Own, true);
        reg.WriteString("clave", "valor");
        reg.CloseKey();
        reg.DeleteKey(Own);
        ResetRegistryStore();
        if (own && Everything() != before) std::abort();
        TRegIniFile ini("Software\\Zelmor");
        TStringList sections;
        ini.ReadSections(sections);
    } catch (const Exception&) {
    }
    return 0;
}
