#pragma once
// The registry, kept in a file of ours: UserFolder()/registry.ini, one
// "[ROOT\key\path]" section per key and one line per value
// ("name=s:text", "name=d:123", "name=b:0A0B"; "@" is the default value; "\"
// escapes "=", "@", brackets, line breaks and control characters). The file is
// read once and written after every change. Key and value names compare
// without regard to case and keep the spelling they were created with.
//
// HKEY_CURRENT_USER\Control Panel\International answers, for every value not
// written there, from the regional settings (sShortDate, sDecimal ...), as
// the libraries read their settings from it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"
#include "platform/sys/IniFiles.h"

class TStrings;

using HKEY = uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

ZELMOR_EXCEPTION(ERegistryException, Exception);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry() = default;
    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);  // closes the open key

    // Key: relative to the open key, or from the root when it starts with "\".
    bool OpenKey(std::string_view Key, bool CanCreate);
    bool OpenKeyReadOnly(std::string_view Key);
    void CloseKey();
    bool HasOpenKey() const { return FOpen; }
    // The open key's path below the root, without a leading "\".
    const AnsiString& CurrentPath() const { return FCurrentPath; }

    bool CreateKey(std::string_view Key);
    // Deletes the key with all its sub-keys and values.
    bool DeleteKey(std::string_view Key);
    bool KeyExists(std::string_view Key);
    bool HasSubKeys();
    void GetKeyNames(TStrings& Strings);    // sub-keys of the open key
    void GetValueNames(TStrings& Strings);  // in the order they were created

    bool ValueExists(std::string_view Name);
    bool DeleteValue(std::string_view Name);
    TRegDataType GetDataType(std::string_view Name);
    // Bytes of the value (a text counts its terminating zero); -1 when missing.
    int GetDataSize(std::string_view Name);

    // A missing value reads as ""; a value of another type raises
    // ERegistryException "Invalid data type for '<name>'".
    AnsiString ReadString(std::string_view Name);
    void WriteString(std::string_view Name, std::string_view Value);
    void WriteExpandString(std::string_view Name, std::string_view Value);
    // A missing value or one of another type raises ERegistryException.
    int ReadInteger(std::string_view Name);
    void WriteInteger(std::string_view Name, int Value);
    bool ReadBool(std::string_view Name) { return ReadInteger(Name) != 0; }
    void WriteBool(std::string_view Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }
    // Copies the value into Buffer and answers its size (0 when missing);
    // ERegistryException when it is not binary or Buffer is too small.
    int ReadBinaryData(std::string_view Name, void* Buffer, int BufSize);
    void WriteBinaryData(std::string_view Name, const void* Buffer, int BufSize);

private:
    AnsiString Resolve(std::string_view Key) const;
    void CheckWritable(std::string_view Name) const;
    HKEY FRootKey = HKEY_CURRENT_USER;
    AnsiString FCurrentPath;
    bool FOpen = false;
    bool FReadOnly = false;
};

// Ini-file calls over the registry: the file name is a key under
// HKEY_CURRENT_USER, each section a sub-key, each entry a text value.
class TRegIniFile : public TCustomIniFile {
public:
    explicit TRegIniFile(std::string_view FileName);

    AnsiString ReadString(std::string_view Section, std::string_view Ident,
                          std::string_view Default) override;
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) override;
    void ReadSection(std::string_view Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(std::string_view Section, TStrings& Strings) override;
    bool SectionExists(std::string_view Section) override;
    bool ValueExists(std::string_view Section, std::string_view Ident) override;
    void EraseSection(std::string_view Section) override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    void UpdateFile() override {}

private:
    AnsiString SectionKey(std::string_view Section) const;
};

// Drops what was read of the registry file, so that the next call reads it
// again (tests that switch the user folder; the file is re-read by itself
// when the folder changes).
void ResetRegistryStore();
