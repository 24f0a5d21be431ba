#pragma once
// The file layer under the dBase engine. Every byte the engine reads or writes
// goes through TDbfFileSystem / TDbfFile, so that a test can put a layer of
// its own underneath: one that cuts the writes short at the Nth write
// (crash test) or hands out damaged bytes.
//
// Paths are POSIX paths in UTF-8, as the data-set layer gives them.
// Errors of the operating system become EDatabaseError naming the file.
//
// Locks are the operating system's advisory record locks (fcntl on a byte
// range), which also reach the server of a folder shared over NFS or SMB;
// what the engine locks and when is told in DbfTable.cpp.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/AnsiString.h"

enum TDbfLockKind { dbfUnlock, dbfLockShared, dbfLockExclusive };
constexpr int DbfLockSlots = 4;

class TDbfFile {
public:
    virtual ~TDbfFile() = default;
    // Reads up to Count bytes at Offset; fewer only at the end of the file.
    virtual size_t Read(uint64_t Offset, void* Buffer, size_t Count) = 0;
    // Writes all Count bytes at Offset (growing the file when needed).
    virtual void Write(uint64_t Offset, const void* Buffer, size_t Count) = 0;
    virtual uint64_t Size() = 0;
    virtual void Truncate(uint64_t Size) = 0;
    virtual const std::string& Path() const = 0;
    // Sets this file object's lock on byte Slot (0 .. DbfLockSlots-1) of a
    // range past the end of any table. False when another holder keeps a lock
    // that conflicts; with Wait it waits for that lock to go instead (but a
    // holder in this same process is never waited for). Two file objects of
    // one process conflict as two processes do. A shared lock needs the file
    // open for reading, an exclusive one open for writing. Files of other
    // layers (tests, memory) have nobody else: every lock is granted.
    virtual bool Lock(int /*Slot*/, TDbfLockKind /*Kind*/, bool /*Wait*/) { return true; }
    // When the file was last modified, in nanoseconds as its file system keeps
    // it; 0 when unknown.
    virtual uint64_t Modified() { return 0; }
    // Size() and Modified() together, in one look at the file where it can.
    virtual std::pair<uint64_t, uint64_t> SizeAndModified() { return {Size(), Modified()}; }
    // True when Path no longer names this file: another program moved it
    // away or deleted it, or put another file in its place. False when it
    // cannot be told.
    virtual bool Replaced() { return false; }
};

// Every mutation counts as one "write" for the crash test: Write, Truncate,
// Create, Remove and Rename.
class TDbfFileSystem {
public:
    virtual ~TDbfFileSystem() = default;
    // Opens an existing file; Writable asks for read/write access.
    virtual std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) = 0;
    // Creates (or truncates) a file for read/write.
    virtual std::unique_ptr<TDbfFile> Create(const std::string& Path) = 0;
    virtual bool Exists(const std::string& Path) = 0;
    virtual bool IsWritable(const std::string& Path) = 0;
    // Removing a missing file is no error.
    virtual void Remove(const std::string& Path) = 0;
    // Replaces To when it exists.
    virtual void Rename(const std::string& From, const std::string& To) = 0;
    // Names (not paths) of the plain files in Folder; empty for a missing folder.
    virtual std::vector<std::string> List(const std::string& Folder) = 0;
    // Names of every entry of Folder, plain files or not: nothing is asked
    // of each, so it costs less than List.
    virtual std::vector<std::string> Names(const std::string& Folder) { return List(Folder); }
    // When an entry of Folder was last added, removed or renamed, in
    // nanoseconds as its file system keeps it; 0 when unknown.
    virtual uint64_t FolderModified(const std::string& /*Folder*/) { return 0; }

    // The operating system's files.
    static TDbfFileSystem& Native();
};

// Finds the file Name inside Folder without regard to letter case
// ("TIPOS.DBF" finds "tipos.dbf"); gives the path with the name as it exists
// on disk, or "" when there is none. An exact match wins over a case-folded
// one; among these the first in byte order.
std::string DbfFindFile(TDbfFileSystem& Fs, const std::string& Folder, const std::string& Name);

// A file as the user's messages name it: the program's Windows form of the
// path ("C:\PROG\datos\alum.dbf"), as the window captions show folders.
AnsiString DbfShownPath(const std::string& Path);

// Splits "a/b/c.dbf" into "a/b" (or "." for a bare name) and "c.dbf".
std::string DbfFolderOf(const std::string& Path);
std::string DbfNameOf(const std::string& Path);
