#include "platform/sys/Registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/rtl/Regional.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"

namespace {

struct RegValue {
    AnsiString Name;
    TRegDataType Type = rdString;
    std::string Data;  // text without terminator, 4 bytes little-endian, or raw bytes
};

struct RegKey {
    AnsiString Path;  // "HKEY_CURRENT_USER\Software\..." as created
    std::vector<RegValue> Values;
};

struct Store {
    std::string File;
    bool Loaded = false;
    std::map<AnsiString, RegKey> Keys;  // by upper-cased path
};

Store& TheStore() {
    static Store s;
    return s;
}

const char* RootName(HKEY Root) {
    switch (Root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return "HKEY_CURRENT_USER";
    }
}

const AnsiString kInternational = "HKEY_CURRENT_USER\\CONTROL PANEL\\INTERNATIONAL";

AnsiString Escape(std::string_view S, bool IsName) {
    AnsiString out;
    for (size_t i = 0; i < S.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(S[i]);
        if (c == '\\' || c == '=' || c == '[' || c == ']' || (IsName && i == 0 && c == '@')) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads an escaped text up to an unescaped Stop (or the end); I moves past it.
AnsiString Unescape(std::string_view S, size_t& I, char Stop) {
    AnsiString out;
    while (I < S.size() && S[I] != Stop) {
        if (S[I] == '\\' && I + 1 < S.size()) {
            if (S[I + 1] == 'x' && I + 3 < S.size() && HexValue(S[I + 2]) >= 0 && HexValue(S[I + 3]) >= 0) {
                out += static_cast<char>(HexValue(S[I + 2]) * 16 + HexValue(S[I + 3]));
                I += 4;
            } else {
                out += S[I + 1];
                I += 2;
            }
            continue;
        }
        out += S[I++];
    }
    if (I < S.size()) ++I;
    return out;
}

std::string RegistryFile() { return UserFolder() + "/registry.ini"; }

void Load(Store& s) {
    s.Keys.clear();
    s.File = RegistryFile();
    s.Loaded = true;
    std::ifstream in(s.File, std::ios::binary);
    if (!in) return;
    std::string line;
    RegKey* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        size_t i = 0;
        if (line[0] == '[') {
            i = 1;
            AnsiString path = Unescape(line, i, ']');
            current = &s.Keys[AnsiUpperCase(path)];
            current->Path = path;
            continue;
        }
        if (!current) continue;
        RegValue v;
        if (line[0] == '@') {
            i = 2;  // "@="
        } else {
            v.Name = Unescape(line, i, '=');
        }
        if (i + 2 > line.size() || line[i + 1] != ':') continue;  // damaged line: skipped
        char type = line[i];
        i += 2;
        std::string_view data(line);
        data = data.substr(i);
        if (type == 's' || type == 'e') {
            size_t k = 0;
            v.Type = type == 's' ? rdString : rdExpandString;
            v.Data = Unescape(data, k, '\0');
        } else if (type == 'd') {
            v.Type = rdInteger;
            int n = StrToIntDef(data, 0);
            uint32_t u = static_cast<uint32_t>(n);
            v.Data = std::string{static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                                 static_cast<char>(u >> 24)};
        } else if (type == 'b') {
            v.Type = rdBinary;
            for (size_t k = 0; k + 1 < data.size(); k += 2)
                v.Data += static_cast<char>(HexValue(data[k]) * 16 + HexValue(data[k + 1]));
        } else {
            continue;
        }
        current->Values.push_back(std::move(v));
    }
}

Store& Ready() {
    Store& s = TheStore();
    if (!s.Loaded || s.File != RegistryFile()) Load(s);
    return s;
}

void Save(Store& s) {
    std::ostringstream out;
    for (const auto& [upper, key] : s.Keys) {
        out << "[" << Escape(key.Path, false) << "]\r\n";
        for (const RegValue& v : key.Values) {
            out << (v.Name.empty() ? AnsiString("@") : Escape(v.Name, true)) << "=";
            switch (v.Type) {
            case rdInteger: {
                uint32_t u = 0;
                for (int k = 3; k >= 0; --k)
                    u = (u << 8) | static_cast<unsigned char>(v.Data[static_cast<size_t>(k)]);
                out << "d:" << static_cast<int32_t>(u);
                break;
            }
            case rdBinary:
            case rdUnknown:
                out << "b:";
                for (unsigned char c : v.Data) {
                    char buf[4];
                    std::snprintf(buf, sizeof buf, "%02X", c);
                    out << buf;
                }
                break;
            default: out << (v.Type == rdExpandString ? "e:" : "s:") << Escape(v.Data, false);
            }
            out << "\r\n";
        }
    }
    std::string folder = UserFolder();
    for (size_t i = 1; i <= folder.size(); ++i)
        if (i == folder.size() || folder[i] == '/') ::mkdir(folder.substr(0, i).c_str(), 0777);
    std::string temp = s.File + ".new";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f << out.str();
        if (!f.flush()) throw ERegistryException("No se puede escribir el archivo del registro");
    }
    if (std::rename(temp.c_str(), s.File.c_str()) != 0)
        throw ERegistryException("No se puede escribir el archivo del registro");
}

AnsiString Full(HKEY Root, const AnsiString& Path) {
    return Path.empty() ? AnsiString(RootName(Root)) : AnsiString(RootName(Root)) + "\\" + Path;
}

bool Exists(Store& s, const AnsiString& FullPath) {
    AnsiString up = AnsiUpperCase(FullPath);
    if (up.find('\\') == AnsiString::npos) return true;  // a root
    if (s.Keys.count(up) || kInternational == up || kInternational.rfind(up + "\\", 0) == 0) return true;
    auto it = s.Keys.lower_bound(up + "\\");
    return it != s.Keys.end() && it->first.rfind(up + "\\", 0) == 0;
}

void Create(Store& s, const AnsiString& FullPath) {
    // Every ancestor becomes a key of its own, spelled as asked.
    for (size_t at = FullPath.find('\\');; at = FullPath.find('\\', at + 1)) {
        AnsiString part = FullPath.substr(0, at);
        RegKey& k = s.Keys[AnsiUpperCase(part)];
        if (k.Path.empty()) k.Path = part;
        if (at == AnsiString::npos) break;
    }
}

RegKey* KeyOf(Store& s, const AnsiString& FullPath) {
    auto it = s.Keys.find(AnsiUpperCase(FullPath));
    return it == s.Keys.end() ? nullptr : &it->second;
}

RegValue* ValueOf(RegKey* k, std::string_view Name) {
    if (!k) return nullptr;
    for (RegValue& v : k->Values)
        if (AnsiSameText(v.Name, Name)) return &v;
    return nullptr;
}

}  // namespace

void ResetRegistryStore() { TheStore().Loaded = false; }

// --- TRegistry ---
void TRegistry::SetRootKey(HKEY Value) {
    CloseKey();
    FRootKey = Value;
}

AnsiString TRegistry::Resolve(std::string_view Key) const {
    AnsiString k(Key);
    bool absolute = !k.empty() && k[0] == '\\';
    while (!k.empty() && k[0] == '\\') k.erase(0, 1);
    while (!k.empty() && k.back() == '\\') k.pop_back();
    if (absolute || !FOpen || FCurrentPath.empty()) return k;
    return k.empty() ? FCurrentPath : FCurrentPath + "\\" + k;
}

bool TRegistry::OpenKey(std::string_view Key, bool CanCreate) {
    Store& s = Ready();
    AnsiString path = Resolve(Key);
    AnsiString full = Full(FRootKey, path);
    if (!Exists(s, full)) {
        if (!CanCreate) return false;
        Create(s, full);
        Save(s);
    }
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view Key) {
    if (!OpenKey(Key, false)) return false;
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

bool TRegistry::CreateKey(std::string_view Key) {
    Store& s = Ready();
    AnsiString full = Full(FRootKey, Resolve(Key));
    if (!KeyOf(s, full)) {
        Create(s, full);
        Save(s);
    }
    return true;
}

bool TRegistry::DeleteKey(std::string_view Key) {
    Store& s = Ready();
    AnsiString up = AnsiUpperCase(Full(FRootKey, Resolve(Key)));
    if (up.find('\\') == AnsiString::npos) return false;  // not a root
    bool found = false;
    for (auto it = s.Keys.begin(); it != s.Keys.end();) {
        if (it->first == up || it->first.rfind(up + "\\", 0) == 0) {
            it = s.Keys.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    if (found) Save(s);
    return found;
}

bool TRegistry::KeyExists(std::string_view Key) { return Exists(Ready(), Full(FRootKey, Resolve(Key))); }

bool TRegistry::HasSubKeys() {
    TStringList names;
    GetKeyNames(names);
    return names.Count() > 0;
}

void TRegistry::GetKeyNames(TStrings& Strings) {
    Store& s = Ready();
    Strings.BeginUpdate();
    Strings.Clear();
    AnsiString prefix = AnsiUpperCase(Full(FRootKey, FOpen ? FCurrentPath : AnsiString())) + "\\";
    for (auto it = s.Keys.lower_bound(prefix); it != s.Keys.end() && it->first.rfind(prefix, 0) == 0; ++it) {
        AnsiString rest = it->second.Path.substr(prefix.size());
        AnsiString child = rest.substr(0, rest.find('\\'));
        if (Strings.IndexOf(child) < 0) Strings.Add(child);
    }
    Strings.EndUpdate();
}

void TRegistry::GetValueNames(TStrings& Strings) {
    Store& s = Ready();
    Strings.BeginUpdate();
    Strings.Clear();
    if (RegKey* k = FOpen ? KeyOf(s, Full(FRootKey, FCurrentPath)) : nullptr)
        for (const RegValue& v : k->Values) Strings.Add(v.Name);
    Strings.EndUpdate();
}

namespace {
// A value of the open key, or the regional answer under Control Panel\International.
bool Lookup(Store& s, HKEY Root, bool Open, const AnsiString& Path, std::string_view Name, RegValue& Out) {
    if (!Open) return false;
    AnsiString full = Full(Root, Path);
    if (RegValue* v = ValueOf(KeyOf(s, full), Name)) {
        Out = *v;
        return true;
    }
    AnsiString regional;
    if (AnsiUpperCase(full) == kInternational && IntlProfileValue(Name, regional)) {
        Out = RegValue{AnsiString(Name), rdString, regional};
        return true;
    }
    return false;
}
}  // namespace

bool TRegistry::ValueExists(std::string_view Name) {
    RegValue v;
    return Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v);
}

bool TRegistry::DeleteValue(std::string_view Name) {
    Store& s = Ready();
    RegKey* k = FOpen && !FReadOnly ? KeyOf(s, Full(FRootKey, FCurrentPath)) : nullptr;
    if (!k) return false;
    size_t before = k->Values.size();
    std::erase_if(k->Values, [&](const RegValue& v) { return AnsiSameText(v.Name, Name); });
    if (k->Values.size() == before) return false;
    Save(s);
    return true;
}

TRegDataType TRegistry::GetDataType(std::string_view Name) {
    RegValue v;
    return Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v) ? v.Type : rdUnknown;
}

int TRegistry::GetDataSize(std::string_view Name) {
    RegValue v;
    if (!Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v)) return -1;
    int size = static_cast<int>(v.Data.size());
    return v.Type == rdString || v.Type == rdExpandString ? size + 1 : size;
}

void TRegistry::CheckWritable(std::string_view Name) const {
    if (!FOpen || FReadOnly) throw ERegistryException("Failed to set data for '" + AnsiString(Name) + "'");
}

namespace {
void Put(HKEY Root, const AnsiString& Path, std::string_view Name, TRegDataType Type, std::string Data) {
    Store& s = Ready();
    AnsiString full = Full(Root, Path);
    Create(s, full);
    RegKey* k = KeyOf(s, full);
    if (RegValue* v = ValueOf(k, Name)) {
        v->Type = Type;
        v->Data = std::move(Data);
    } else {
        k->Values.push_back(RegValue{AnsiString(Name), Type, std::move(Data)});
    }
    Save(s);
}
[[noreturn]] void BadType(std::string_view Name) {
    throw ERegistryException("Invalid data type for '" + AnsiString(Name) + "'");
}
}  // namespace

AnsiString TRegistry::ReadString(std::string_view Name) {
    RegValue v;
    if (!Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v)) return {};
    if (v.Type != rdString && v.Type != rdExpandString) BadType(Name);
    return v.Data;
}

void TRegistry::WriteString(std::string_view Name, std::string_view Value) {
    CheckWritable(Name);
    Put(FRootKey, FCurrentPath, Name, rdString, std::string(Value));
}

void TRegistry::WriteExpandString(std::string_view Name, std::string_view Value) {
    CheckWritable(Name);
    Put(FRootKey, FCurrentPath, Name, rdExpandString, std::string(Value));
}

int TRegistry::ReadInteger(std::string_view Name) {
    RegValue v;
    if (!Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v) || v.Type != rdInteger || v.Data.size() != 4)
        BadType(Name);
    uint32_t u = 0;
    for (int k = 3; k >= 0; --k) u = (u << 8) | static_cast<unsigned char>(v.Data[static_cast<size_t>(k)]);
    return static_cast<int32_t>(u);
}

void TRegistry::WriteInteger(std::string_view Name, int Value) {
    CheckWritable(Name);
    uint32_t u = static_cast<uint32_t>(Value);
    Put(FRootKey, FCurrentPath, Name, rdInteger,
        std::string{static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                    static_cast<char>(u >> 24)});
}

int TRegistry::ReadBinaryData(std::string_view Name, void* Buffer, int BufSize) {
    RegValue v;
    if (!Lookup(Ready(), FRootKey, FOpen, FCurrentPath, Name, v)) return 0;
    if ((v.Type != rdBinary && v.Type != rdUnknown) || static_cast<int>(v.Data.size()) > BufSize)
        BadType(Name);
    if (!v.Data.empty()) std::memcpy(Buffer, v.Data.data(), v.Data.size());
    return static_cast<int>(v.Data.size());
}

void TRegistry::WriteBinaryData(std::string_view Name, const void* Buffer, int BufSize) {
    CheckWritable(Name);
    std::string data(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize > 0 ? BufSize : 0));
    Put(FRootKey, FCurrentPath, Name, rdBinary, std::move(data));
}

// --- TRegIniFile ---
TRegIniFile::TRegIniFile(std::string_view FileName) : TCustomIniFile(FileName) {
    TRegistry r;
    r.CreateKey(this->FileName());
}

AnsiString TRegIniFile::SectionKey(std::string_view Section) const {
    return "\\" + FileName() + (Section.empty() ? AnsiString() : "\\" + AnsiString(Section));
}

AnsiString TRegIniFile::ReadString(std::string_view Section, std::string_view Ident,
                                   std::string_view Default) {
    TRegistry r;
    if (!r.OpenKeyReadOnly(SectionKey(Section)) || !r.ValueExists(Ident)) return AnsiString(Default);
    if (r.GetDataType(Ident) == rdInteger) return IntToStr(r.ReadInteger(Ident));
    return r.ReadString(Ident);
}

void TRegIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    TRegistry r;
    r.OpenKey(SectionKey(Section), true);
    r.WriteString(Ident, Value);
}

void TRegIniFile::ReadSection(std::string_view Section, TStrings& Strings) {
    TRegistry r;
    if (r.OpenKeyReadOnly(SectionKey(Section))) r.GetValueNames(Strings);
    else Strings.Clear();
}

void TRegIniFile::ReadSections(TStrings& Strings) {
    TRegistry r;
    if (r.OpenKeyReadOnly(SectionKey(""))) r.GetKeyNames(Strings);
    else Strings.Clear();
}

void TRegIniFile::ReadSectionValues(std::string_view Section, TStrings& Strings) {
    TStringList names;
    ReadSection(Section, names);
    Strings.BeginUpdate();
    Strings.Clear();
    for (int i = 0; i < names.Count(); ++i) Strings.Add(names[i] + "=" + ReadString(Section, names[i], ""));
    Strings.EndUpdate();
}

bool TRegIniFile::SectionExists(std::string_view Section) {
    TRegistry r;
    return r.KeyExists(SectionKey(Section));
}

bool TRegIniFile::ValueExists(std::string_view Section, std::string_view Ident) {
    TRegistry r;
    return r.OpenKeyReadOnly(SectionKey(Section)) && r.ValueExists(Ident);
}

void TRegIniFile::EraseSection(std::string_view Section) {
    TRegistry r;
    r.DeleteKey(SectionKey(Section));
}

void TRegIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    TRegistry r;
    if (r.OpenKey(SectionKey(Section), false)) r.DeleteValue(Ident);
}
