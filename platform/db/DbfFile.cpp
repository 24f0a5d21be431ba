#include "platform/db/DbfFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/db/DbfTable.h"
#include "platform/rtl/Strings.h"

namespace {

[[noreturn]] void RaiseOs(const std::string& What, const std::string& Path, int Err) {
    throw EDBEngineError(dbeIO, What + " " + FromUtf8(Path) + ": " + FromUtf8(std::strerror(Err)));
}

class TNativeFile : public TDbfFile {
public:
    TNativeFile(int Fd, std::string Path) : FFd(Fd), FPath(std::move(Path)) {}
    ~TNativeFile() override { ::close(FFd); }

    size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
        size_t done = 0;
        while (done < Count) {
            ssize_t n = ::pread(FFd, static_cast<char*>(Buffer) + done, Count - done,
                                static_cast<off_t>(Offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                RaiseOs("Cannot read", FPath, errno);
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
                RaiseOs("Cannot write", FPath, errno);
            }
            done += static_cast<size_t>(n);
        }
    }
    uint64_t Size() override {
        struct stat st {};
        if (::fstat(FFd, &st) != 0) RaiseOs("Cannot read", FPath, errno);
        return static_cast<uint64_t>(st.st_size);
    }
    void Truncate(uint64_t Size) override {
        if (::ftruncate(FFd, static_cast<off_t>(Size)) != 0) RaiseOs("Cannot write", FPath, errno);
    }
    const std::string& Path() const override { return FPath; }

private:
    int FFd;
    std::string FPath;
};

class TNativeFileSystem : public TDbfFileSystem {
public:
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override {
        int fd = ::open(Path.c_str(), (Writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) throw EDBEngineError(dbeNotFound, "File not found: " + FromUtf8(Path));
            RaiseOs("Cannot open", Path, errno);
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw EDBEngineError(dbeDamaged, "Not a plain file: " + FromUtf8(Path));
        }
        return std::make_unique<TNativeFile>(fd, Path);
    }
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override {
        int fd = ::open(Path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) RaiseOs("Cannot create", Path, errno);
        return std::make_unique<TNativeFile>(fd, Path);
    }
    bool Exists(const std::string& Path) override {
        struct stat st {};
        return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    bool IsWritable(const std::string& Path) override { return ::access(Path.c_str(), W_OK) == 0; }
    void Remove(const std::string& Path) override {
        if (::unlink(Path.c_str()) != 0 && errno != ENOENT) RaiseOs("Cannot delete", Path, errno);
    }
    void Rename(const std::string& From, const std::string& To) override {
        if (::rename(From.c_str(), To.c_str()) != 0) RaiseOs("Cannot rename", From, errno);
    }
    std::vector<std::string> List(const std::string& Folder) override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(Folder.c_str());
        if (!dir) return names;
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            if (Exists(Folder + "/" + name)) names.push_back(std::move(name));
        }
        ::closedir(dir);
        return names;
    }
};

} // namespace

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
    // As the path mapping of platform/sys finds names: the locale fold of
    // the Windows-1252 spelling ("\xD1" finds "\xF1"), the first match in byte order.
    const AnsiString wanted = AnsiUpperCase(FromUtf8(Name));
    std::string best;
    for (const std::string& candidate : Fs.List(Folder))
        if (AnsiUpperCase(FromUtf8(candidate)) == wanted && (best.empty() || candidate < best))
            best = candidate;
    return best.empty() ? "" : join(best);
}
