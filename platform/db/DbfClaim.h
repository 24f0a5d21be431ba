#pragma once
// A program's claim on a table for as long as it works on it: longer than any
// one write session, and whether or not it is writing right now. Two
// programs never hold a claim on one table at once (nor two claims of one
// program). The claim is the operating system's lock on byte slot 2 of the
// table's .dbf (TDbfFile::Lock; slots 0 and 1 are the engine's read and write
// locks, DbfTable.cpp), so a program that ends, or dies, lets go of it.
//
// A claim keeps nobody from reading or writing the table: it is a rule among
// the routines that take it before they empty, fill or replace a table that
// another program may be working on (the types screen's working tables,
// organizer/TablasTipos.h).
#include <memory>
#include <string>

class TDbfFile;
class TDbfFileSystem;

class TDbfClaim {
public:
    // Claims the table whose .dbf is DbfPath (an existing file). Null when
    // another holder has the claim.
    static std::unique_ptr<TDbfClaim> TryTake(const std::string& DbfPath, TDbfFileSystem* Fs = nullptr);
    ~TDbfClaim();
    TDbfClaim(const TDbfClaim&) = delete;
    TDbfClaim& operator=(const TDbfClaim&) = delete;

    const std::string& Path() const;
    // Whether the path still names the file claimed: false once a program
    // that takes no claim has deleted the table, or made it anew.
    bool Intact() const;

private:
    TDbfClaim(TDbfFileSystem& Fs, std::unique_ptr<TDbfFile> File);
    TDbfFileSystem& FFs;
    std::unique_ptr<TDbfFile> FFile;
};
