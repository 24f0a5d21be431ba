#include "platform/db/DbfClaim.h"

#include "platform/db/DbfFile.h"
#include "platform/db/DbfTable.h"

namespace {
constexpr int ClaimSlot = 2;
}  // namespace

TDbfClaim::TDbfClaim(TDbfFileSystem& Fs, std::unique_ptr<TDbfFile> File) : FFs(Fs), FFile(std::move(File)) {}

TDbfClaim::~TDbfClaim() {
    try {
        FFile->Lock(ClaimSlot, dbfUnlock, false);
    } catch (const EDatabaseError&) {
        // Goes with the file at the latest.
    }
}

std::unique_ptr<TDbfClaim> TDbfClaim::TryTake(const std::string& DbfPath, TDbfFileSystem* Fs) {
    TDbfFileSystem& fs = Fs ? *Fs : TDbfFileSystem::Native();
    for (;;) {
        std::unique_ptr<TDbfFile> file = fs.Open(DbfPath, true);
        if (!file->Lock(ClaimSlot, dbfLockExclusive, false)) return nullptr;
        std::unique_ptr<TDbfClaim> claim(new TDbfClaim(fs, std::move(file)));
        // A program that replaced the table between the open and the lock
        // left this claim on a file nobody will look at again: the new one
        // is claimed instead.
        if (claim->Intact()) return claim;
    }
}

const std::string& TDbfClaim::Path() const { return FFile->Path(); }

bool TDbfClaim::Intact() const {
    std::unique_ptr<TDbfFile> now;
    try {
        now = FFs.Open(FFile->Path(), false);
    } catch (const EDBEngineError& E) {
        if (E.ErrorCode() == dbeNotFound) return false;
        throw;
    }
    return FFile->SameFile(*now);
}
