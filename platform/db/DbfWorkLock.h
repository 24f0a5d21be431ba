#pragma once
// A program's work lock on a table, held for as long as it works on it: longer
// than any one write session (and than TDbfTable::Claim, which holds a
// table's write lock while its files are moved), whether or not it is writing
// right now. Two programs never hold the work lock of one table at once (nor
// one program twice). It is the operating system's lock on byte slot 2 of the
// table's .dbf (TDbfFile::Lock; slots 0 and 1 are the engine's read and write
// locks, DbfTable.cpp), so a program that ends, or dies, lets go of it.
//
// It keeps nobody from reading or writing the table: it is a rule among
// the routines that take it before they empty, fill or replace a table that
// another program may be working on (the types screen's working tables,
// organizer/TablasTipos.h).
#include <memory>
#include <string>

class TDbfFile;
class TDbfFileSystem;

class TDbfWorkLock {
public:
    // Claims the table whose .dbf is DbfPath (an existing file). Null when
    // another holder has the claim.
    static std::unique_ptr<TDbfWorkLock> TryTake(const std::string& DbfPath, TDbfFileSystem* Fs = nullptr);
    ~TDbfWorkLock();
    TDbfWorkLock(const TDbfWorkLock&) = delete;
    TDbfWorkLock& operator=(const TDbfWorkLock&) = delete;

    const std::string& Path() const;
    // Whether the path still names the file claimed: false once a program
    // that takes no claim has deleted the table, or made it anew.
    bool Intact() const;

private:
    explicit TDbfWorkLock(std::unique_ptr<TDbfFile> File);
    std::unique_ptr<TDbfFile> FFile;
};
