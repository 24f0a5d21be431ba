#pragma once
// The machine's files with failures the test puts in: one move or removal
// that fails (a file in use, a full disk), a machine that stops (every
// change from one on never happens, as when the process is killed there), a
// process that is killed at a change, and folders that answer "not
// writable" whoever runs the test.
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "platform/db/DbfFile.h"
#include "platform/rtl/Exceptions.h"

class TFaultyFiles : public TDbfFileSystem {
public:
    // The FailRename-th rename fails, alone (0: none); so does the FailRemove-th removal.
    int FailRename = 0;
    int FailRemove = 0;
    // The process ends at once, as a killed one does, instead of the
    // KillAt-th change (0: never). Only for a child process of the test.
    int KillAt = 0;
    // From the StopAt-th change on (creates, removes, renames, writes), none happens (0: never).
    int StopAt = 0;
    // Machine paths that are not writable.
    std::set<std::string> ReadOnly;

    int Renames = 0, Removes = 0, Changes = 0;
    // Every change asked for, in order: what and the path.
    std::vector<std::string> Log;
    bool Stopped() const { return StopAt && Changes >= StopAt; }

    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override {
        return std::make_unique<TFile>(Native().Open(Path, Writable), *this);
    }
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override {
        Change("create", Path);
        return std::make_unique<TFile>(Native().Create(Path), *this);
    }
    bool Exists(const std::string& Path) override { return Native().Exists(Path); }
    bool IsWritable(const std::string& Path) override {
        return !ReadOnly.count(Path) && Native().IsWritable(Path);
    }
    void Remove(const std::string& Path) override {
        Change("remove", Path);
        if (++Removes == FailRemove) throw EDatabaseError("Cannot delete " + Path + ": injected failure");
        Native().Remove(Path);
    }
    void Rename(const std::string& From, const std::string& To) override {
        Change("rename", From);
        if (++Renames == FailRename) throw EDatabaseError("Cannot rename " + From + ": injected failure");
        Native().Rename(From, To);
    }
    std::vector<std::string> List(const std::string& Folder) override { return Native().List(Folder); }

    void Change(const char* What, const std::string& Path) {
        ++Changes;
        if (Changes == KillAt) ::_exit(9);
        Log.push_back(std::string(What) + " " + Path);
        if (Stopped()) throw EDatabaseError(std::string("Stopped before ") + What + " " + Path);
    }

private:
    class TFile : public TDbfFile {
    public:
        TFile(std::unique_ptr<TDbfFile> Inner, TFaultyFiles& Fs) : FInner(std::move(Inner)), FFs(Fs) {}
        size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
            return FInner->Read(Offset, Buffer, Count);
        }
        void Write(uint64_t Offset, const void* Buffer, size_t Count) override {
            FFs.Change("write", FInner->Path());
            FInner->Write(Offset, Buffer, Count);
        }
        uint64_t Size() override { return FInner->Size(); }
        void Truncate(uint64_t Size) override {
            FFs.Change("truncate", FInner->Path());
            FInner->Truncate(Size);
        }
        const std::string& Path() const override { return FInner->Path(); }
        bool Lock(int Slot, TDbfLockKind Kind, bool Wait) override { return FInner->Lock(Slot, Kind, Wait); }
        uint64_t Modified() override { return FInner->Modified(); }
        bool Replaced() override { return FInner->Replaced(); }

    private:
        std::unique_ptr<TDbfFile> FInner;
        TFaultyFiles& FFs;
    };
};
