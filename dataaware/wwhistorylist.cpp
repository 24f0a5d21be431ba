#include "dataaware/wwhistorylist.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

#include "dataaware/Wwintl.h"
#include "dataaware/wwstr.h"
#include "platform/sys/IniFiles.h"
#include "platform/sys/Paths.h"
#include "platform/sys/Registry.h"

ZELMOR_IMPLEMENT_ENUM(TwwStorageType, "stRegistry", "stIniFile")
ZELMOR_IMPLEMENT_CLASS(TwwHistoryList, TPersistent)

TwwHistoryList::TwwHistoryList() : FEntries(std::make_unique<TStringList>()) {}

TwwHistoryList::~TwwHistoryList() {
    if (FLoaded && !(FOwner && FOwner->ComponentState().Contains(csDesigning))) {
        try {
            Save();
        } catch (...) {
            // The history is lost for this run; the control still goes.
        }
    }
}

void TwwHistoryList::DescribeProperties(TPropertyTable& T) {
    using H = TwwHistoryList;
    T.Property("Section", &H::Section, &H::SetSection);
    T.Property("FileName", &H::FileName, &H::SetFileName);
    T.Property("MaxSize", &H::MaxSize, &H::SetMaxSize).Default(-1);
    T.Property("StorageType", &H::StorageType, &H::SetStorageType).Default(stIniFile);
    T.Property("Enabled", &H::Enabled, &H::SetEnabled).Default(false);
    T.Property("MRUEnabled", &H::MRUEnabled, &H::SetMRUEnabled).Default(false);
    T.Property("MRUMaxSize", &H::MRUMaxSize, &H::SetMRUMaxSize).Default(2);
}

AnsiString TwwHistoryList::FileName() const {
    if (!FFileName.empty()) return FFileName;
    if (DefaultIntl && !DefaultIntl->IniFileName().empty()) return DefaultIntl->IniFileName();
    if (FStorageType == stIniFile && FOwner && !FOwner->ComponentState().Contains(csDesigning))
        return ProgramIniFileName();
    return {};
}

AnsiString ProgramIniFileName() {
    // A program here has no ".exe": its whole name is the stem then.
    const AnsiString name = ExtractFileName(ProgramFileName());
    return (name.find('.') == AnsiString::npos ? name : FileNameStem(name)) + ".ini";
}

bool TwwHistoryList::HasStorage() const { return !FSection.empty() && !FileName().empty(); }

int TwwHistoryList::MRUCount() const {
    if (!FEnabled || !FMRUEnabled) return 0;
    return std::max(0, std::min(FMRUMaxSize, FEntries->Count()));
}

void TwwHistoryList::LoadAndMerge(TStrings* Items) {
    if (HasStorage()) {
        if (FStorageType == stRegistry) LoadFromRegistry(FileName());
        else LoadFromIniFile(FileName());
        FLoaded = true;
    }
    if (!Items) return;
    for (int i = 0; i < FEntries->Count(); ++i) {
        const AnsiString& Entry = FEntries->Strings(i);
        bool Held = false;
        for (int j = 0; j < Items->Count() && !Held; ++j) Held = EqualsIgnoreCase(Items->Strings(j), Entry);
        if (!Held) Items->Add(Entry);
    }
}

void TwwHistoryList::Save() {
    if (!HasStorage()) return;
    if (FStorageType == stRegistry) SaveToRegistry(FileName());
    else SaveToIniFile(FileName());
}

void TwwHistoryList::LoadFromRegistry(const AnsiString& Key) {
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CURRENT_USER);
    FEntries->Clear();
    if (!Reg.OpenKey(Key, true)) return;
    const int Size = Reg.GetDataSize(FSection);
    if (Size <= 0) return;
    std::vector<char> Data(static_cast<size_t>(Size));
    Reg.ReadBinaryData(FSection, Data.data(), Size);
    // Lines end in CR LF; a lone CR or LF ends one as well.
    AnsiString Line;
    for (size_t i = 0; i < Data.size(); ++i) {
        const char C = Data[i];
        if (C == '\r' || C == '\n') {
            FEntries->Add(Line);
            Line.clear();
            if (C == '\r' && i + 1 < Data.size() && Data[i + 1] == '\n') ++i;
        } else {
            Line += C;
        }
    }
    if (!Line.empty()) FEntries->Add(Line);
}

void TwwHistoryList::SaveToRegistry(const AnsiString& Key) {
    if (FMaxSize > 0)
        while (FEntries->Count() > FMaxSize) FEntries->Delete(0);
    AnsiString Data;
    for (int i = 0; i < FEntries->Count(); ++i) Data += FEntries->Strings(i) + "\r\n";
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CURRENT_USER);
    if (!Reg.OpenKey(Key, true)) throw ERegistryException("Failed to create key " + Key);
    Reg.WriteBinaryData(FSection, Data.data(), static_cast<int>(Data.size()));
}

void TwwHistoryList::LoadFromIniFile(const AnsiString& File) {
    TIniFile Ini(File);
    TStringList Keys;
    Ini.ReadSection(FSection, Keys);
    std::map<long long, AnsiString> ByNumber;
    for (int i = 0; i < Keys.Count(); ++i) {
        const AnsiString& Name = Keys.Strings(i);
        long long Number = 0;
        const auto [End, Error] = std::from_chars(Name.data(), Name.data() + Name.size(), Number);
        if (Error != std::errc() || End != Name.data() + Name.size() || Number < 0) continue;
        ByNumber.emplace(Number, Ini.ReadString(FSection, Name, ""));
    }
    FEntries->Clear();
    for (const auto& [Number, Value] : ByNumber) FEntries->Add(Value);
}

void TwwHistoryList::SaveToIniFile(const AnsiString& File) {
    TIniFile Ini(File);
    Ini.EraseSection(FSection);
    const int Count = FEntries->Count();
    const int First = FMaxSize > 0 ? std::max(0, Count - FMaxSize) : 0;
    for (int i = First; i < Count; ++i) Ini.WriteString(FSection, std::to_string(i), FEntries->Strings(i));
}
