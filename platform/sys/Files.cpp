#include "platform/sys/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"

struct TFindState {
    std::vector<TSearchRec> Entries;
    size_t Next = 0;
};

namespace {

bool StatPath(const std::string& p, struct stat& st) { return !p.empty() && ::stat(p.c_str(), &st) == 0; }

int PackedTime(time_t t) {
    tm local{};
    localtime_r(&t, &local);
    TDateTime d;
    if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, d)) return 0;
    return DateTimeToFileDate(
        ComposeDateTime(d, EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0)));
}

int AttributesOf(const std::string& Name, const struct stat& st) {
    int a = 0;
    if (S_ISDIR(st.st_mode)) a |= faDirectory;
    else {
        a |= faArchive;
        if (!(st.st_mode & S_IWUSR)) a |= faReadOnly;
    }
    if (Name.size() > 1 && Name[0] == '.' && Name != "..") a |= faHidden;
    return a;
}

// Windows wildcards, without regard to case: "*" any run, "?" one character;
// a pattern ending in ".*" also matches the name without an extension.
bool Matches(std::string_view Pattern, std::string_view Name) {
    if (Pattern == "*" || Pattern == "*.*") return true;
    AnsiString p = AnsiUpperCase(Pattern), n = AnsiUpperCase(Name);
    if (p.size() >= 2 && p.substr(p.size() - 2) == ".*" && n.find('.') == AnsiString::npos)
        p.resize(p.size() - 2);
    size_t pi = 0, ni = 0, star = AnsiString::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != AnsiString::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

int FillNext(TSearchRec& F) {
    TFindState* s = F.FindHandle.get();
    if (!s || s->Next >= s->Entries.size()) return ERROR_NO_MORE_FILES;
    std::shared_ptr<TFindState> keep = F.FindHandle;
    int exclude = F.ExcludeAttr;
    F = s->Entries[s->Next++];
    F.FindHandle = keep;
    F.ExcludeAttr = exclude;
    return 0;
}

}  // namespace

int FindFirst(std::string_view Path, int Attr, TSearchRec& F) {
    FindClose(F);
    AnsiString folder = ExtractFilePath(Path);
    AnsiString pattern = ExtractFileName(Path);
    std::string dir = MapPath(folder.empty() ? AnsiString(".") : folder);
    struct stat st {};
    if (!StatPath(dir, st) || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return ERROR_PATH_NOT_FOUND;
    auto state = std::make_shared<TFindState>();
    int exclude = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        AnsiString ansi = FromUtf8(name);
        if (ToUtf8(ansi) != name) continue;
        if (!Matches(pattern, ansi)) continue;
        struct stat est {};
        if (::stat((dir + "/" + name).c_str(), &est) != 0) continue;
        TSearchRec r;
        r.Name = ansi;
        r.Attr = AttributesOf(name, est);
        if (r.Attr & exclude) continue;
        r.Size = S_ISDIR(est.st_mode) ? 0 : static_cast<int64_t>(est.st_size);
        r.Time = PackedTime(est.st_mtime);
        state->Entries.push_back(std::move(r));
    }
    ::closedir(d);
    std::sort(state->Entries.begin(), state->Entries.end(), [](const TSearchRec& a, const TSearchRec& b) {
        auto rank = [](const AnsiString& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
        if (rank(a.Name) != rank(b.Name)) return rank(a.Name) < rank(b.Name);
        int c = AnsiCompareText(a.Name, b.Name);
        return c != 0 ? c < 0 : a.Name < b.Name;
    });
    if (state->Entries.empty()) return ERROR_FILE_NOT_FOUND;
    F.FindHandle = state;
    F.ExcludeAttr = exclude;
    return FillNext(F);
}

int FindNext(TSearchRec& F) { return FillNext(F); }

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }

bool FileExists(std::string_view FileName) {
    struct stat st {};
    return StatPath(MapPath(FileName), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view Directory) {
    struct stat st {};
    return StatPath(MapPath(Directory), st) && S_ISDIR(st.st_mode);
}

bool CreateDir(std::string_view Directory) {
    std::string p = MapPath(Directory);
    return !p.empty() && ::mkdir(p.c_str(), 0777) == 0;
}

bool ForceDirectories(std::string_view Directory) {
    AnsiString dir = ExcludeTrailingBackslash(Directory);
    if (dir.empty()) return false;
    if (DirectoryExists(dir)) return true;
    if (dir.size() == 2 && dir[1] == ':') {
        // A drive's folder is ours to make on first use.
        std::string root = MapPath(dir);
        for (size_t i = 1; i <= root.size(); ++i)
            if (i == root.size() || root[i] == '/') ::mkdir(root.substr(0, i).c_str(), 0777);
        return DirectoryExists(dir);
    }
    AnsiString parent = ExtractFileDir(dir);
    if (parent == dir) return false;
    if (!parent.empty() && !ForceDirectories(parent)) return false;
    return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(std::string_view Directory) {
    std::string p = MapPath(Directory);
    return !p.empty() && ::rmdir(p.c_str()) == 0;
}

bool DeleteFile(std::string_view FileName) {
    std::string p = MapPath(FileName);
    struct stat st {};
    if (!StatPath(p, st) || S_ISDIR(st.st_mode)) return false;
    return ::unlink(p.c_str()) == 0;
}

bool RenameFile(std::string_view OldName, std::string_view NewName) {
    std::string from = MapPath(OldName);
    std::string to = MapPath(NewName);
    struct stat a {
    }, b{};
    if (!StatPath(from, a) || to.empty()) return false;
    if (StatPath(to, b)) {
        if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return false;
        // The new name is the old entry in another case: rename to the spelling asked for.
        std::string folder = to.substr(0, to.find_last_of('/'));
        to = (folder.empty() ? std::string() : folder) + "/" + ToUtf8(ExtractFileName(NewName));
        if (to == from) return true;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(std::string_view ExistingFileName, std::string_view NewFileName, bool FailIfExists) {
    std::string from = MapPath(ExistingFileName);
    std::string to = MapPath(NewFileName);
    struct stat st {};
    if (!StatPath(from, st) || S_ISDIR(st.st_mode) || to.empty()) return false;
    if (FailIfExists && ::access(to.c_str(), F_OK) == 0) return false;
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    // Write beside the target and rename at the end, so that a failed copy
    // leaves the old target (or none) rather than a cut one.
    std::string temp = to + ".zelmor-copy";
    int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::vector<char> buf(65536);
    while (ok) {
        ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) ok = false;
            else done += w;
        }
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (ok) {
        timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, temp.c_str(), times, 0);
        ok = ::rename(temp.c_str(), to.c_str()) == 0;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

int FileAge(std::string_view FileName) {
    struct stat st {};
    if (!StatPath(MapPath(FileName), st) || S_ISDIR(st.st_mode)) return -1;
    return PackedTime(st.st_mtime);
}

int FileGetDate(int Handle) {
    struct stat st {};
    if (::fstat(Handle, &st) != 0) return -1;
    return PackedTime(st.st_mtime);
}

bool FileSetDate(std::string_view FileName, int Age) {
    std::string p = MapPath(FileName);
    TDateTime d = FileDateToDateTime(Age);
    if (p.empty() || d == 0) return false;
    TSystemTime s;
    DateTimeToSystemTime(d, s);
    tm local{};
    local.tm_year = s.wYear - 1900;
    local.tm_mon = s.wMonth - 1;
    local.tm_mday = s.wDay;
    local.tm_hour = s.wHour;
    local.tm_min = s.wMinute;
    local.tm_sec = s.wSecond;
    local.tm_isdst = -1;
    time_t t = std::mktime(&local);
    timespec times[2] = {{t, 0}, {t, 0}};
    return ::utimensat(AT_FDCWD, p.c_str(), times, 0) == 0;
}

int FileGetAttr(std::string_view FileName) {
    std::string p = MapPath(FileName);
    struct stat st {};
    if (!StatPath(p, st)) return -1;
    return AttributesOf(p.substr(p.find_last_of('/') + 1), st);
}

int64_t FileSizeOf(std::string_view FileName) {
    struct stat st {};
    if (!StatPath(MapPath(FileName), st) || S_ISDIR(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

int FileOpen(std::string_view FileName, int Mode) {
    std::string p = MapPath(FileName);
    if (p.empty()) return -1;
    int access = Mode & 3;
    int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    struct stat st {};
    if (StatPath(p, st) && S_ISDIR(st.st_mode)) return -1;
    return ::open(p.c_str(), flags | O_CLOEXEC);
}

int FileCreate(std::string_view FileName) {
    std::string p = MapPath(FileName);
    if (p.empty()) return -1;
    return ::open(p.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

void FileClose(int Handle) {
    if (Handle >= 0) ::close(Handle);
}

std::FILE* OpenStdFile(std::string_view FileName, const char* Mode) {
    std::string p = MapPath(FileName);
    if (p.empty()) return nullptr;
    struct stat st {};
    if (StatPath(p, st) && S_ISDIR(st.st_mode)) return nullptr;
    return std::fopen(p.c_str(), Mode);
}

AnsiString GetTempPath() {
    const char* t = std::getenv("TMPDIR");
    std::string dir = (t && *t) ? t : "/tmp";
    return IncludeTrailingBackslash(UnmapPath(dir));
}

unsigned GetTempFileName(std::string_view PathName, std::string_view Prefix, unsigned Unique,
                         AnsiString& TempFileName) {
    AnsiString base = IncludeTrailingBackslash(PathName) + AnsiString(Prefix.substr(0, 3));
    auto name = [&](unsigned n) { return base + IntToHex(n & 0xFFFF, 1) + ".TMP"; };
    if (Unique) {
        TempFileName = name(Unique);
        return Unique;
    }
    std::string folder = MapPath(PathName);
    struct stat st {};
    if (!StatPath(folder, st) || !S_ISDIR(st.st_mode)) return 0;
    // Start from the clock, as the numbers of other runs are likely taken
    // low; walk at most once round the 16-bit space.
    unsigned start = static_cast<unsigned>(::time(nullptr) ^ ::getpid()) & 0xFFFF;
    for (unsigned k = 0; k < 0x10000; ++k) {
        unsigned n = (start + k) & 0xFFFF;
        if (n == 0) continue;
        AnsiString candidate = name(n);
        std::string p = MapPath(candidate);
        int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            TempFileName = candidate;
            return n;
        }
        if (errno != EEXIST) return 0;
    }
    return 0;
}

AnsiString SystemErrorText(int Error) {
    switch (Error) {
    case ENOSPC: return "no queda espacio en el disco";
    case EDQUOT: return "se ha agotado el espacio del usuario en el disco";
    case EFBIG: return "el fichero ha llegado al mayor tama\xF1o que se le permite";
    case EACCES:
    case EPERM: return "no hay permiso";
    case EROFS: return "el disco es de solo lectura";
    case EIO: return "el disco no ha podido leer o escribir";
    case ENOENT: return "la carpeta o el fichero no existe";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case EISDIR: return "es una carpeta";
    case EEXIST: return "ya existe";
    case EMFILE:
    case ENFILE: return "hay demasiados ficheros abiertos";
    case ENAMETOOLONG: return "el nombre es demasiado largo";
    case EBUSY:
    case ETXTBSY: return "est\xE1 en uso";
    case EXDEV: return "no se puede llevar a otro disco";
    case ENOLCK: return "no quedan bloqueos libres";
    case ESTALE: return "la carpeta compartida ya no est\xE1 disponible";
    case ENOMEM: return "no queda memoria libre";
    default: return "error " + IntToStr(Error) + " del sistema";
    }
}
