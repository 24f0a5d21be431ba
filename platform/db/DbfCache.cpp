// The record cache of a table: pages of whole records, read on a miss and
// kept up to date by every write of this program.
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

#include "platform/db/DbfInternal.h"

void TDbfRecordCache::Shape(uint64_t HeaderLength, uint32_t RecordLength) {
    Drop();
    FHeader = HeaderLength;
    FRecordLength = RecordLength;
    FPerPage = uint32_t(std::max<size_t>(1, PageBytes / RecordLength));
    FPageBytes = size_t(FPerPage) * RecordLength;
    FMaxPages = std::max<size_t>(4 * RunPages, FBudget / FPageBytes);
}

void TDbfRecordCache::SetBudget(size_t Bytes) {
    FBudget = Bytes;
    FRecordLength = 0;  // shaped again on the next read
    Drop();
}

void TDbfRecordCache::Drop() {
    ++FGeneration;
    FEntries.clear();
    FSlots.clear();
    FChunks.clear();
    FChunkLeft = 0;
    FHand = 0;
    FLastMiss = NoPage;
    FRun = 1;
}

const char* TDbfRecordCache::Miss(TDbfFile& File, uint64_t HeaderLength, uint32_t RecordLength,
                                  uint32_t RecNo) {
    if (HeaderLength != FHeader || RecordLength != FRecordLength) Shape(HeaderLength, RecordLength);
    const uint32_t page = (RecNo - 1) / FPerPage;
    if (page >= FEntries.size() || !FEntries[page].Bytes) Load(File, page);
    return Find(File, HeaderLength, RecordLength, RecNo);
}

void TDbfRecordCache::Forget(uint32_t Page) {
    TEntry& e = FEntries[Page];
    FSlots[e.Slot].Page = NoPage;
    e = TEntry{};
}

void TDbfRecordCache::TChunkFree::operator()(char* P) const { std::free(P); }

uint32_t TDbfRecordCache::Allocate() {
    if (FSlots.size() < FMaxPages) {
        if (FChunkLeft < FPageBytes) {
            // Each chunk as large as the cache so far, from 16 pages up to a
            // large page: a small table takes little memory.
            constexpr size_t Large = size_t(2) << 20;
            size_t size = std::clamp<size_t>(FSlots.size() * FPageBytes, 16 * FPageBytes, Large);
            size = (size + 4095) / 4096 * 4096;
            char* chunk = static_cast<char*>(std::aligned_alloc(size == Large ? Large : 4096, size));
            if (!chunk) throw std::bad_alloc();
            if (size == Large) ::madvise(chunk, size, MADV_HUGEPAGE);
            FChunks.emplace_back(chunk);
            FChunkSize = size;
            FChunkLeft = size;
        }
        FSlots.emplace_back();
        FSlots.back().Bytes = FChunks.back().get() + (FChunkSize - FChunkLeft);
        FChunkLeft -= FPageBytes;
        return uint32_t(FSlots.size() - 1);
    }
    for (;;) {
        const uint32_t at = uint32_t(FHand);
        FHand = (FHand + 1) % FSlots.size();
        const uint32_t page = FSlots[at].Page;
        if (page == NoPage) return at;
        if (FEntries[page].Referenced) {
            FEntries[page].Referenced = false;
            continue;
        }
        Forget(page);
        return at;
    }
}

void TDbfRecordCache::Load(TDbfFile& File, uint32_t Page) {
    // Misses one page after the other are a scan: each read takes twice the
    // pages of the one before, up to RunPages, in the scan's direction.
    const bool up = FLastMiss != NoPage && Page == FLastMiss + 1;
    const bool down = FLastMiss != NoPage && Page + 1 == FLastMiss;
    if ((up && !FDescending) || (down && FDescending)) FRun = std::min(FRun * 2, RunPages);
    else if (up || down) FRun = 2;
    else FRun = 1;
    FDescending = down;
    // Pages already here end the run.
    auto cached = [this](uint32_t P) { return P < FEntries.size() && FEntries[P].Bytes; };
    uint32_t first = Page, count = 1;
    if (FDescending)
        while (count < FRun && first > 0 && !cached(first - 1)) --first, ++count;
    else
        while (count < FRun && !cached(Page + count)) ++count;
    FLastMiss = FDescending ? first : first + count - 1;

    FStaging.resize(FPageBytes * count);
    const size_t got = File.Read(FHeader + uint64_t(first) * FPageBytes, FStaging.data(), FStaging.size());
    if (FEntries.size() < size_t(first) + count) FEntries.resize(size_t(first) + count);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t from = size_t(i) * FPageBytes;
        // Beyond the end of the file only the page asked for is kept (empty).
        if (from >= got && first + i != Page) continue;
        // The slot first: making room may forget a page, never one of this run.
        const uint32_t slot = Allocate();
        TEntry& e = FEntries[first + i];
        e.Bytes = FSlots[slot].Bytes;
        e.Slot = slot;
        e.Valid = uint32_t(from < got ? std::min(FPageBytes, got - from) : 0);
        e.Referenced = true;
        FSlots[slot].Page = first + i;
        std::memcpy(e.Bytes, FStaging.data() + from, e.Valid);
    }
}

void TDbfRecordCache::Wrote(uint64_t Offset, const char* Data, size_t Count) {
    ++FGeneration;
    if (FPageBytes == 0 || Offset + Count <= FHeader) return;
    const uint64_t from = std::max(Offset, FHeader), to = Offset + Count;
    for (uint64_t page = (from - FHeader) / FPageBytes; page <= (to - 1 - FHeader) / FPageBytes; ++page) {
        if (page >= FEntries.size()) break;
        TEntry& e = FEntries[page];
        if (!e.Bytes) continue;
        const uint64_t start = FHeader + page * FPageBytes;
        const uint64_t a = std::max(from, start), b = std::min(to, start + FPageBytes);
        if (a > start + e.Valid) {
            // A gap between what the page holds and what was written: the
            // page is read again when it is wanted.
            Forget(uint32_t(page));
            continue;
        }
        std::memcpy(e.Bytes + (a - start), Data + (a - Offset), size_t(b - a));
        e.Valid = std::max(e.Valid, uint32_t(b - start));
    }
}

void TDbfAlongCopy::Keep(size_t At, size_t Count, const char* Bytes, uint64_t Generation, uint64_t Version,
                         uint32_t RecordLength, size_t Budget) {
    if (Generation != FGeneration || Version != FVersion || RecordLength != FRecordLength ||
        FHeld.size() != Count) {
        if (size_t(RecordLength) * Count > Budget) {
            Release();
            return;
        }
        FBytes.resize(size_t(RecordLength) * Count);
        FHeld.assign(Count, 0);
        FGeneration = Generation;
        FVersion = Version;
        FRecordLength = RecordLength;
    }
    if (At >= Count) return;
    std::memcpy(FBytes.data() + At * RecordLength, Bytes, RecordLength);
    FHeld[At] = 1;
}

void TDbfAlongCopy::Release() {
    std::vector<char>().swap(FBytes);
    std::vector<uint8_t>().swap(FHeld);
    FGeneration = FVersion = 0;
    FRecordLength = 0;
}
