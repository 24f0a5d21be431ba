#include "platform/sys/Paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/rtl/Strings.h"

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string Env(const char* Name) {
    const char* v = std::getenv(Name);
    return v ? std::string(v) : std::string();
}

std::string DataHome() {
    std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty()) return xdg;
    return Env("HOME") + "/.local/share";
}

std::string StripSlashes(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// The real spelling of a folder, so that a root given through a symbolic
// link still recognises the current folder inside it.
std::string Canonical(const std::string& p) {
    char* r = ::realpath(p.c_str(), nullptr);
    if (!r) return StripSlashes(p);
    std::string s(r);
    std::free(r);
    return s;
}

bool IsFolder(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

std::string Join(const std::string& Folder, const std::string& Name) {
    if (!Folder.empty() && Folder.back() == '/') return Folder + Name;
    return Folder + "/" + Name;
}

std::string CurrentMachineDir() {
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (buf.size() > (1u << 20)) return "/";
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

// The entry of Folder that Name (Windows-1252) stands for, compared with
// the locale fold; empty when none.
std::string FindEntry(const std::string& Folder, std::string_view Name) {
    std::string exact = ToUtf8(Name);
    if (Exists(Join(Folder, exact))) return exact;
    std::vector<std::string> entries;
    DIR* d = ::opendir(Folder.c_str());
    if (!d) return {};
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") entries.push_back(n);
    }
    ::closedir(d);
    return FindEntryIgnoringCase(entries, Name);
}

}  // namespace

std::string FindEntryIgnoringCase(const std::vector<std::string>& Entries, std::string_view Name) {
    const AnsiString wanted = AnsiUpperCase(Name);
    const std::string* best = nullptr;
    for (const std::string& entry : Entries)
        if ((!best || entry < *best) && AnsiUpperCase(FromUtf8(entry)) == wanted) best = &entry;
    return best ? *best : std::string();
}

namespace {

// The drive letter of the current folder.
char CurrentDrive() {
    AnsiString cur = GetCurrentDir();
    return cur.size() >= 2 && cur[1] == ':' ? cur[0] : 'Z';
}

}  // namespace

std::string DriveFolder(char Letter) {
    char up = AsciiUpper(Letter);
    std::string name = std::string("ZELMOR_DRIVE_") + up;
    std::string v = Env(name.c_str());
    if (!v.empty()) return StripSlashes(v);
    if (up == 'Z') return "/";
    return DataHome() + "/zelmor/" + AsciiLower(up);
}

std::string UserFolder() {
    std::string v = Env("ZELMOR_USER_DIR");
    if (!v.empty()) return StripSlashes(v);
    return DataHome() + "/zelmor";
}

std::string MapPath(std::string_view WindowsPath) {
    std::string_view p = WindowsPath;
    if (p.empty()) return {};
    std::string base;
    std::string root;  // ".." never climbs above it
    size_t i = 0;
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
        root = base = DriveFolder(p[0]);
        i = 2;
    } else if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
        return {};
    } else if (IsSep(p[0])) {
        root = base = DriveFolder(CurrentDrive());
    } else {
        base = CurrentMachineDir();
        root = "/";
    }
    std::string path = base;
    bool lookup = IsFolder(path);
    while (i < p.size()) {
        while (i < p.size() && IsSep(p[i])) ++i;
        size_t start = i;
        while (i < p.size() && !IsSep(p[i])) ++i;
        std::string_view part = p.substr(start, i - start);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (path.size() > root.size()) {
                size_t slash = path.find_last_of('/');
                path = slash == 0 ? "/" : path.substr(0, slash);
                if (path.size() < root.size()) path = root;
            }
            lookup = IsFolder(path);
            continue;
        }
        std::string name;
        if (lookup) name = FindEntry(path, part);
        if (name.empty()) {
            name = ToUtf8(part);
            lookup = false;  // nothing exists below a component that does not
        }
        path = Join(path, name);
        if (lookup) lookup = IsFolder(path);
    }
    return path;
}

AnsiString UnmapPath(std::string_view MachinePath) {
    std::string path = StripSlashes(std::string(MachinePath));
    // Drives named in the environment and C: first, the machine root last.
    std::vector<char> letters{'C'};
    for (char c = 'A'; c <= 'Y'; ++c) {
        std::string name = std::string("ZELMOR_DRIVE_") + c;
        if (c != 'C' && std::getenv(name.c_str())) letters.push_back(c);
    }
    letters.push_back('Z');
    char best = 0;
    std::string bestRoot;
    for (char c : letters) {
        std::string r = DriveFolder(c);
        for (const std::string& root : {r, Canonical(r)}) {
            bool inside = root == "/" || path == root || path.rfind(root + "/", 0) == 0;
            if (inside && (best == 0 || root.size() > bestRoot.size())) {
                best = c;
                bestRoot = root;
            }
        }
    }
    if (!best) return {};
    std::string rest =
        bestRoot == "/" ? path.substr(1) : path.substr(std::min(path.size(), bestRoot.size() + 1));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return AnsiString(1, best) + ":\\" + FromUtf8(rest);
}

AnsiString GetCurrentDir() {
    AnsiString dir = UnmapPath(CurrentMachineDir());
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    return dir;
}

bool SetCurrentDir(std::string_view Dir) {
    std::string p = MapPath(Dir);
    return !p.empty() && ::chdir(p.c_str()) == 0;
}

AnsiString ExpandFileName(std::string_view FileName) {
    AnsiString f(FileName);
    std::replace(f.begin(), f.end(), '/', '\\');
    AnsiString full;
    if (f.size() >= 2 && IsDriveLetter(f[0]) && f[1] == ':') {
        full = AnsiString(1, AsciiUpper(f[0])) + ":\\" + f.substr(2);
    } else if (f.size() >= 2 && f[0] == '\\' && f[1] == '\\') {
        return f;
    } else if (!f.empty() && f[0] == '\\') {
        full = AnsiString(1, CurrentDrive()) + ":" + f;
    } else {
        full = IncludeTrailingBackslash(GetCurrentDir()) + f;
    }
    // Resolve "." and ".." on the text; never above the drive root.
    std::vector<AnsiString> parts;
    size_t i = 3;
    while (i <= full.size()) {
        size_t j = full.find('\\', i);
        if (j == AnsiString::npos) j = full.size();
        AnsiString part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    AnsiString out = full.substr(0, 3);
    for (size_t k = 0; k < parts.size(); ++k) out += (k ? "\\" : "") + parts[k];
    if (!parts.empty() && !f.empty() && f.back() == '\\') out += '\\';
    return out;
}

// --- name routines ---
namespace {
size_t LastDelimiter(std::string_view S, std::string_view Delims) {
    size_t p = S.find_last_of(Delims);
    return p;
}
}  // namespace

AnsiString ExtractFilePath(std::string_view FileName) {
    size_t p = LastDelimiter(FileName, "\\:");
    return p == std::string_view::npos ? AnsiString() : AnsiString(FileName.substr(0, p + 1));
}

AnsiString ExtractFileDir(std::string_view FileName) {
    size_t p = LastDelimiter(FileName, "\\:");
    if (p == std::string_view::npos) return {};
    if (p > 0 && FileName[p] == '\\' && FileName[p - 1] != '\\' && FileName[p - 1] != ':')
        return AnsiString(FileName.substr(0, p));
    return AnsiString(FileName.substr(0, p + 1));
}

AnsiString ExtractFileName(std::string_view FileName) {
    size_t p = LastDelimiter(FileName, "\\:");
    return AnsiString(p == std::string_view::npos ? FileName : FileName.substr(p + 1));
}

AnsiString ExtractFileExt(std::string_view FileName) {
    size_t p = LastDelimiter(FileName, ".\\:");
    if (p == std::string_view::npos || FileName[p] != '.') return {};
    return AnsiString(FileName.substr(p));
}

AnsiString ChangeFileExt(std::string_view FileName, std::string_view Extension) {
    size_t p = LastDelimiter(FileName, ".\\:");
    if (p == std::string_view::npos || FileName[p] != '.') p = FileName.size();
    return AnsiString(FileName.substr(0, p)) + AnsiString(Extension);
}

AnsiString IncludeTrailingBackslash(std::string_view S) {
    if (!S.empty() && S.back() == '\\') return AnsiString(S);
    return AnsiString(S) + "\\";
}

AnsiString ExcludeTrailingBackslash(std::string_view S) {
    if (!S.empty() && S.back() == '\\') return AnsiString(S.substr(0, S.size() - 1));
    return AnsiString(S);
}

bool IsPlainFolderName(std::string_view Name, std::string_view ParentFolder) {
    if (Name.empty() || Name == "." || Name == "..") return false;
    for (char c : Name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
    }
    if (Name.back() == ' ' || Name.back() == '.') return false;
    // Device names that Windows would never let a folder carry.
    AnsiString stem = UpperCase(Name.substr(0, Name.find('.')));
    static const char* const reserved[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* r : reserved)
        if (stem == r) return false;
    if (stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '1' &&
        stem[3] <= '9')
        return false;
    size_t joined =
        ParentFolder.empty() ? Name.size() : IncludeTrailingBackslash(ParentFolder).size() + Name.size();
    return joined <= static_cast<size_t>(MAX_PATH_LENGTH);
}

AnsiString ProgramFileName() {
    std::error_code Error;
    const auto Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? AnsiString() : UnmapPath(Exe.string());
}
