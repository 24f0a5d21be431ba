#include "platform/db/DbfWorkLock.h"

#include "platform/db/DbfFile.h"
#include "platform/db/DbfTable.h"

namespace {
constexpr int ClaimSlot = 2;
}  // namespace

TDbfWorkLock::TDbfWorkLock(std::unique_ptr<TDbfFile> File) : FFile(std::move(File)) {}

TDbfWorkLock::~TDbfWorkLock() {
    try {
        FFile->Lock(ClaimSlot, dbfUnlock, false);
    } catch (const EDatabaseError&) {
        // Goes with the file at the latest.
    }
}

std::unique_ptr<TDbfWorkLock> TDbfWorkLock::TryTake(const std::string& DbfPath, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    for (;;) {
        std::unique_ptr<TDbfFile> file = fs.Open(DbfPath, true);
        if (!file->Lock(ClaimSlot, dbfLockExclusive, false)) return nullptr;
        std::unique_ptr<TDbfWorkLock> claim(new TDbfWorkLock(std::move(file)));
        // A program that replaced the table between the open and the lock
        // left this claim on a file nobody will look at again: the new one
        // is claimed instead.
        if (claim->Intact()) return claim;
    }
}

const std::string& TDbfWorkLock::Path() const { return FFile->Path(); }

bool TDbfWorkLock::Intact() const { return !FFile->Replaced(); }
