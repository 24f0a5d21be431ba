#include "platform/db/DbfFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/db/DbfTable.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"

namespace {

// What: "No se puede leer el fichero" and so on, which the path follows.
[[noreturn]] void RaiseOs(const char* What, const std::string& Path, int Err) {
    throw EDBEngineError(dbeIO, AnsiString(What) + " " + DbfShownPath(Path) + ": " + SystemErrorText(Err));
}

constexpr const char* CannotRead = "No se puede leer el fichero";
constexpr const char* CannotWrite = "No se puede escribir en el fichero";

// The locked bytes: far past the end of any dBase file (they stop at 2 GB),
// so that a server that enforces byte-range locks never stops a read of the
// table itself.
constexpr off_t LockBase = 0x7FFFFFF0;

class TNativeFile;

// fcntl locks belong to the process, not to the descriptor, and closing any
// descriptor of a file drops every lock the process holds on it. So the
// process keeps, per file (device and inode), the lock each file object holds
// on each slot; the system is asked for the strongest of them; two objects of
// this process conflict as two processes would; and a descriptor of a file on
// which another object still holds a lock is parked, not closed, until the
// last lock on that file goes.
struct TFileLocks {
    std::map<const TNativeFile*, std::array<TDbfLockKind, DbfLockSlots>> Held;
    std::vector<int> Parked;
};
using TFileId = std::pair<dev_t, ino_t>;

std::mutex& LocksMutex() {
    static std::mutex* mutex = new std::mutex;  // never destroyed: files may close at exit
    return *mutex;
}
std::map<TFileId, TFileLocks>& AllLocks() {
    static auto* locks = new std::map<TFileId, TFileLocks>;
    return *locks;
}

class TNativeFile : public TDbfFile {
public:
    TNativeFile(int Fd, std::string Path) : FFd(Fd), FPath(std::move(Path)) {
        struct stat st {};
        if (::fstat(FFd, &st) == 0) FId = {st.st_dev, st.st_ino};
    }
    // A file whose look the opener already took.
    TNativeFile(int Fd, std::string Path, const struct stat& St)
        : FFd(Fd), FPath(std::move(Path)), FId{St.st_dev, St.st_ino} {}
    ~TNativeFile() override {
        std::lock_guard<std::mutex> guard(LocksMutex());
        auto it = AllLocks().find(FId);
        if (it != AllLocks().end()) {
            TFileLocks& locks = it->second;
            if (locks.Held.count(this))
                for (int slot = 0; slot < DbfLockSlots; ++slot) {
                    try {
                        SetProcessLock(locks, slot, dbfUnlock, false);
                    } catch (const EDatabaseError&) {
                        // At worst the lock stays until the file's last holder closes it.
                    }
                }
            locks.Held.erase(this);
            if (!locks.Held.empty()) {
                locks.Parked.push_back(FFd);
                return;
            }
            for (int fd : locks.Parked) ::close(fd);
            AllLocks().erase(it);
        }
        ::close(FFd);
    }

    size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
        size_t done = 0;
        while (done < Count) {
            ssize_t n = ::pread(FFd, static_cast<char*>(Buffer) + done, Count - done,
                                static_cast<off_t>(Offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                RaiseOs(CannotRead, FPath, errno);
            }
            if (n == 0) break;
            done += static_cast<size_t>(n);
        }
        return done;
    }
    void Write(uint64_t Offset, const void* Buffer, size_t Count) override {
        size_t done = 0;
        while (done < Count) {
            ssize_t n = ::pwrite(FFd, static_cast<const char*>(Buffer) + done, Count - done,
                                 static_cast<off_t>(Offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                RaiseOs(CannotWrite, FPath, errno);
            }
            done += static_cast<size_t>(n);
        }
    }
    uint64_t Size() override { return static_cast<uint64_t>(Stat().st_size); }
    void Truncate(uint64_t Size) override {
        if (::ftruncate(FFd, static_cast<off_t>(Size)) != 0) RaiseOs(CannotWrite, FPath, errno);
    }
    const std::string& Path() const override { return FPath; }

    bool Lock(int Slot, TDbfLockKind Kind, bool Wait) override {
        if (Slot < 0 || Slot >= DbfLockSlots)
            throw EDBEngineError(dbeIO,
                                 "Bloqueo fuera de los previstos en el fichero " + DbfShownPath(FPath));
        std::lock_guard<std::mutex> guard(LocksMutex());
        TFileLocks& locks = AllLocks()[FId];
        TDbfLockKind others = OthersLock(locks, Slot);
        bool granted =
            Kind == dbfUnlock || (others == dbfUnlock || (others == dbfLockShared && Kind == dbfLockShared));
        if (granted) granted = SetProcessLock(locks, Slot, Kind, Wait);
        auto& mine = locks.Held[this];
        if (granted) mine[Slot] = Kind;
        if (std::all_of(mine.begin(), mine.end(), [](TDbfLockKind k) { return k == dbfUnlock; }))
            locks.Held.erase(this);
        if (locks.Held.empty()) {
            for (int fd : locks.Parked) ::close(fd);
            AllLocks().erase(FId);
        }
        return granted;
    }

    uint64_t Modified() override { return ModifiedOf(Stat()); }
    std::pair<uint64_t, uint64_t> SizeAndModified() override {
        const struct stat st = Stat();
        return {static_cast<uint64_t>(st.st_size), ModifiedOf(st)};
    }
    bool Replaced() override {
        struct stat st {};
        if (::stat(FPath.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
        return TFileId{st.st_dev, st.st_ino} != FId;
    }

private:
    static uint64_t ModifiedOf(const struct stat& St) {
        return uint64_t(St.st_mtim.tv_sec) * 1000000000u + uint64_t(St.st_mtim.tv_nsec);
    }
    struct stat Stat() {
        struct stat st {};
        if (::fstat(FFd, &st) != 0) RaiseOs(CannotRead, FPath, errno);
        return st;
    }
    TDbfLockKind OthersLock(const TFileLocks& Locks, int Slot) const {
        TDbfLockKind strongest = dbfUnlock;
        for (const auto& [holder, kinds] : Locks.Held)
            if (holder != this) strongest = std::max(strongest, kinds[size_t(Slot)]);
        return strongest;
    }
    // Asks the system for the lock the process needs on Slot when this object
    // holds Kind there; false when another process holds a conflicting one.
    bool SetProcessLock(const TFileLocks& Locks, int Slot, TDbfLockKind Kind, bool Wait) {
        TDbfLockKind others = OthersLock(Locks, Slot);
        auto held = Locks.Held.find(this);
        TDbfLockKind before =
            std::max(others, held == Locks.Held.end() ? dbfUnlock : held->second[size_t(Slot)]);
        TDbfLockKind after = std::max(others, Kind);
        if (before == after) return true;
        struct flock fl {};
        fl.l_type = short(after == dbfUnlock ? F_UNLCK : after == dbfLockShared ? F_RDLCK : F_WRLCK);
        fl.l_whence = SEEK_SET;
        fl.l_start = LockBase + Slot;
        fl.l_len = 1;
        while (::fcntl(FFd, Wait && after != dbfUnlock ? F_SETLKW : F_SETLK, &fl) != 0) {
            if (errno == EINTR) continue;
            if (errno == EACCES || errno == EAGAIN || errno == EDEADLK) return false;
            // A shared folder without a lock service: the tables go on working
            // as they did before there were locks.
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return true;
            RaiseOs("No se puede bloquear el fichero", FPath, errno);
        }
        return true;
    }

    int FFd;
    std::string FPath;
    TFileId FId{};
};

class TNativeFileSystem : public TDbfFileSystem {
public:
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override {
        int fd = ::open(Path.c_str(), (Writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                throw EDBEngineError(dbeNotFound, "No existe el fichero " + DbfShownPath(Path));
            RaiseOs("No se puede abrir el fichero", Path, errno);
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw EDBEngineError(dbeDamaged,
                                 DbfShownPath(Path) + " no es un fichero sino una carpeta u otra cosa");
        }
        return std::make_unique<TNativeFile>(fd, Path, st);
    }
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override {
        int fd = ::open(Path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) RaiseOs("No se puede crear el fichero", Path, errno);
        return std::make_unique<TNativeFile>(fd, Path);
    }
    bool Exists(const std::string& Path) override {
        struct stat st {};
        return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    bool IsWritable(const std::string& Path) override { return ::access(Path.c_str(), W_OK) == 0; }
    void Remove(const std::string& Path) override {
        if (::unlink(Path.c_str()) != 0 && errno != ENOENT)
            RaiseOs("No se puede borrar el fichero", Path, errno);
    }
    void Rename(const std::string& From, const std::string& To) override {
        if (::rename(From.c_str(), To.c_str()) != 0)
            RaiseOs("No se puede cambiar el nombre del fichero", From, errno);
    }
    std::vector<std::string> List(const std::string& Folder) override {
        std::vector<std::string> names;
        for (std::string& name : Names(Folder))
            if (Exists(Folder + "/" + name)) names.push_back(std::move(name));
        return names;
    }
    uint64_t FolderModified(const std::string& Folder) override {
        struct stat st {};
        if (::stat(Folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return 0;
        return uint64_t(st.st_mtim.tv_sec) * 1000000000u + uint64_t(st.st_mtim.tv_nsec);
    }
    std::vector<std::string> Names(const std::string& Folder) override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(Folder.c_str());
        if (!dir) return names;
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(std::move(name));
        }
        ::closedir(dir);
        return names;
    }
};

}  // namespace

AnsiString DbfShownPath(const std::string& Path) {
    std::string full = Path;
    if (full.empty() || full[0] != '/') {
        char buf[4096];
        if (::getcwd(buf, sizeof buf)) full = std::string(buf) + "/" + full;
    }
    AnsiString shown = UnmapPath(full);
    return shown.empty() ? FromUtf8(Path) : shown;
}

TDbfFileSystem& TDbfFileSystem::Native() {
    static TNativeFileSystem fs;
    return fs;
}

std::string DbfFolderOf(const std::string& Path) {
    auto slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return Path.substr(0, slash);
}

std::string DbfNameOf(const std::string& Path) {
    auto slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string DbfFindFile(TDbfFileSystem& Fs, const std::string& Folder, const std::string& Name) {
    auto join = [&](const std::string& Entry) { return Folder == "/" ? "/" + Entry : Folder + "/" + Entry; };
    if (Fs.Exists(join(Name))) return join(Name);
    // The entries the file system of the engine lists, by the rule the path
    // mapping finds names with.
    const std::string found = FindEntryIgnoringCase(Fs.List(Folder), FromUtf8(Name));
    return found.empty() ? "" : join(found);
}
