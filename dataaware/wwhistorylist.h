#pragma once
// The history of what was typed into a combo box of the library, kept
// between runs in the registry of the current user or in an ini file, and
// the size of the most-recently-used block the combo shows at the top of its
// list.
//
// Decisions where the stored forms leave room:
// - An ini section is read back by the number of its keys ("0", "1", ...),
//   smallest first, whatever order the lines stand in; keys that are not
//   numbers were never written by Save and are left out. A file edited by
//   hand thus keeps the order Save gave it.
// - Merging the history into a list of items compares without regard to
//   case, as the combo box's own searches do: "madrid" is not added beside
//   an item "Madrid".
// - Saving from the destructor never lets an error out of it (a destructor
//   that throws would end the program); Save called directly passes the
//   platform's errors to its caller.
#include <cstdint>
#include <memory>

#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/StringList.h"

enum TwwStorageType : uint8_t { stRegistry, stIniFile };
ZELMOR_DECLARE_ENUM(TwwStorageType);

class TwwHistoryList : public TPersistent {
    ZELMOR_CLASS(TwwHistoryList, TPersistent)
public:
    TwwHistoryList();
    ~TwwHistoryList() override;
    static void DescribeProperties(TPropertyTable& T);

    // Ini section or registry value name; empty: nothing is stored.
    const AnsiString& Section() const { return FSection; }
    void SetSection(const AnsiString& Value) { FSection = Value; }
    // Registry key below HKEY_CURRENT_USER, or ini file name. Empty, it is
    // DefaultIntl's IniFileName, else (ini storage with an owner) the
    // program's name with ".ini".
    AnsiString FileName() const;
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    // Most entries saved; 0 or less: no limit.
    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int Value) { FMaxSize = Value; }
    TwwStorageType StorageType() const { return FStorageType; }
    void SetStorageType(TwwStorageType Value) { FStorageType = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool MRUEnabled() const { return FMRUEnabled; }
    void SetMRUEnabled(bool Value) { FMRUEnabled = Value; }
    int MRUMaxSize() const { return FMRUMaxSize; }
    void SetMRUMaxSize(int Value) { FMRUMaxSize = Value; }

    TComponent* Owner() const { return FOwner; }
    void SetOwner(TComponent* Value) { FOwner = Value; }
    // Oldest entry first.
    TStringList* Entries() const { return FEntries.get(); }
    // The entries were read from storage.
    bool IsLoaded() const { return FLoaded; }

    // Reads the entries from storage (when there is one), then appends to
    // Items every entry it does not hold yet.
    void LoadAndMerge(TStrings* Items);
    void Save();
    // Rows of the most-recently-used block.
    int MRUCount() const;

private:
    bool HasStorage() const;
    void LoadFromRegistry(const AnsiString& Key);
    void LoadFromIniFile(const AnsiString& File);
    void SaveToRegistry(const AnsiString& Key);
    void SaveToIniFile(const AnsiString& File);

    AnsiString FSection;
    AnsiString FFileName;
    int FMaxSize = -1;
    TwwStorageType FStorageType = stIniFile;
    bool FEnabled = false;
    bool FMRUEnabled = false;
    int FMRUMaxSize = 2;
    TComponent* FOwner = nullptr;
    std::unique_ptr<TStringList> FEntries;
    bool FLoaded = false;
};

// The program's name before its first "." (all of it without one), with ".ini".
AnsiString ProgramIniFileName();
