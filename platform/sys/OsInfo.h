#pragma once
// Fixed answers to the questions the libraries ask the system: the platform
// is of the NT family, version 5.1; the common controls are version 5.82;
// modules answer present or absent from a fixed list (the rich edit is here;
// OLE, automation and the spell checker modules are not).
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

constexpr uint32_t VER_PLATFORM_WIN32s = 0;
constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

struct TOSVersionInfo {
    uint32_t dwOSVersionInfoSize = sizeof(TOSVersionInfo);
    uint32_t dwMajorVersion = 0;
    uint32_t dwMinorVersion = 0;
    uint32_t dwBuildNumber = 0;
    uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

bool GetVersionEx(TOSVersionInfo& Info);
// From the regional settings' "is NT" flag (true by default).
bool IsWindowsNT();

// The fixed part of a file's version block.
struct VS_FIXEDFILEINFO {
    uint32_t dwSignature = 0xFEEF04BDu;
    uint32_t dwStrucVersion = 0x00010000u;
    uint32_t dwFileVersionMS = 0;  // major << 16 | minor
    uint32_t dwFileVersionLS = 0;
    uint32_t dwProductVersionMS = 0;
    uint32_t dwProductVersionLS = 0;
    uint32_t dwFileFlagsMask = 0;
    uint32_t dwFileFlags = 0;
    uint32_t dwFileOS = 0x00040004u;
    uint32_t dwFileType = 2;
    uint32_t dwFileSubtype = 0;
    uint32_t dwFileDateMS = 0;
    uint32_t dwFileDateLS = 0;
};

// Version blocks exist for the system modules of the list below only
// ("comctl32.dll" 5.82). Size 0 when the file has none.
uint32_t GetFileVersionInfoSize(std::string_view FileName, uint32_t& Handle);
bool GetFileVersionInfo(std::string_view FileName, uint32_t Handle, uint32_t Len, void* Data);
// Only the root block "\" is answered: Buffer points into Block.
bool VerQueryValue(const void* Block, std::string_view SubBlock, void** Buffer, uint32_t* Len);

// Modules: a handle (non-zero) for a module that is present, 0 otherwise.
// Names compare without case, with or without ".dll".
using HMODULE = uintptr_t;
HMODULE LoadLibrary(std::string_view Name);
HMODULE GetModuleHandle(std::string_view Name);
bool FreeLibrary(HMODULE Module);
// No module here exports anything by name unless a layer registered it.
void* GetProcAddress(HMODULE Module, std::string_view ProcName);
void RegisterModuleProc(std::string_view Module, std::string_view ProcName, void* Proc);
