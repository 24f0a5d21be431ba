#include "platform/sys/OsInfo.h"

#include <cstring>
#include <map>

#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"

namespace {

struct Module {
    const char* Name;
    uint16_t Major, Minor;  // file version, 0.0 for none
};

// Present modules; anything else is absent.
const Module kModules[] = {
    {"KERNEL32", 5, 1},  {"USER32", 5, 1},    {"GDI32", 5, 1},     {"ADVAPI32", 5, 1},     {"SHELL32", 6, 0},
    {"COMCTL32", 5, 82}, {"COMDLG32", 6, 0},  {"VERSION", 5, 1},   {"WINSPOOL.DRV", 5, 1}, {"IMM32", 5, 1},
    {"RICHED20", 5, 30}, {"RICHED32", 5, 30}, {"MSFTEDIT", 5, 41},
};

AnsiString Canonical(std::string_view Name) {
    AnsiString n = UpperCase(Trim(Name));
    size_t slash = n.find_last_of("\\/");
    if (slash != AnsiString::npos) n = n.substr(slash + 1);
    if (n.size() > 4 && n.substr(n.size() - 4) == ".DLL") n.resize(n.size() - 4);
    return n;
}

const Module* FindModule(std::string_view Name) {
    AnsiString n = Canonical(Name);
    for (const Module& m : kModules)
        if (n == m.Name) return &m;
    return nullptr;
}

std::map<std::pair<AnsiString, AnsiString>, void*>& Procs() {
    static std::map<std::pair<AnsiString, AnsiString>, void*> procs;
    return procs;
}

}  // namespace

bool GetVersionEx(TOSVersionInfo& Info) {
    bool nt = IsWindowsNT();
    Info.dwMajorVersion = nt ? 5 : 4;
    Info.dwMinorVersion = nt ? 1 : 90;
    Info.dwBuildNumber = nt ? 2600 : 3000;
    Info.dwPlatformId = nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
    std::memset(Info.szCSDVersion, 0, sizeof Info.szCSDVersion);
    return true;
}

bool IsWindowsNT() { return FormatSettings().IsNT; }

uint32_t GetFileVersionInfoSize(std::string_view FileName, uint32_t& Handle) {
    Handle = 0;
    const Module* m = FindModule(FileName);
    return m ? static_cast<uint32_t>(sizeof(VS_FIXEDFILEINFO)) : 0;
}

bool GetFileVersionInfo(std::string_view FileName, uint32_t, uint32_t Len, void* Data) {
    const Module* m = FindModule(FileName);
    if (!m || !Data || Len < sizeof(VS_FIXEDFILEINFO)) return false;
    VS_FIXEDFILEINFO info;
    info.dwFileVersionMS = info.dwProductVersionMS = (uint32_t(m->Major) << 16) | m->Minor;
    std::memcpy(Data, &info, sizeof info);
    return true;
}

bool VerQueryValue(const void* Block, std::string_view SubBlock, void** Buffer, uint32_t* Len) {
    if (!Block || SubBlock != "\\") return false;
    if (Buffer) *Buffer = const_cast<void*>(Block);
    if (Len) *Len = sizeof(VS_FIXEDFILEINFO);
    return true;
}

HMODULE LoadLibrary(std::string_view Name) {
    const Module* m = FindModule(Name);
    return m ? reinterpret_cast<HMODULE>(m) : 0;
}

HMODULE GetModuleHandle(std::string_view Name) { return LoadLibrary(Name); }

bool FreeLibrary(HMODULE Module) { return Module != 0; }

void* GetProcAddress(HMODULE Handle, std::string_view ProcName) {
    const Module* m = nullptr;
    for (const Module& k : kModules)
        if (reinterpret_cast<HMODULE>(&k) == Handle) m = &k;
    if (!m) return nullptr;
    auto it = Procs().find({m->Name, UpperCase(ProcName)});
    return it == Procs().end() ? nullptr : it->second;
}

void RegisterModuleProc(std::string_view ModuleName, std::string_view ProcName, void* Proc) {
    const Module* m = FindModule(ModuleName);
    if (m) Procs()[{m->Name, UpperCase(ProcName)}] = Proc;
}
