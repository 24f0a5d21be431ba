// Bit sets that count their set bits before any place: the cursors' maps of
// the records they see.
#include <bit>

#include "platform/db/DbfInternal.h"

namespace {
constexpr size_t BlockBits = 512;
}

void TDbfBits::Assign(size_t Size, bool Value) {
    FSize = Size;
    FWords.assign((Size + 63) / 64, Value ? ~uint64_t(0) : 0);
    ClearTail();
    FCounted = 0;
}

void TDbfBits::Resize(size_t Size) {
    if (Size < FSize) Touch(Size);
    FSize = Size;
    FWords.resize((Size + 63) / 64, 0);
    ClearTail();
}

void TDbfBits::AssignNot(const TDbfBits& Other, size_t Size) {
    FSize = Size;
    FWords.assign((Size + 63) / 64, ~uint64_t(0));
    for (size_t w = 0; w < FWords.size() && w < Other.FWords.size(); ++w) FWords[w] = ~Other.FWords[w];
    ClearTail();
    FCounted = 0;
}

// Bits at and beyond Size stay clear, so whole words count right.
void TDbfBits::ClearTail() {
    if (FSize % 64 != 0) FWords.back() &= (uint64_t(1) << (FSize % 64)) - 1;
}

void TDbfBits::Set(size_t At, bool Value) {
    const uint64_t bit = uint64_t(1) << (At & 63);
    uint64_t& word = FWords[At >> 6];
    if (((word & bit) != 0) == Value) return;
    word ^= bit;
    Touch(At);
}

void TDbfBits::Insert(size_t At, bool Value) {
    Resize(FSize + 1);
    const size_t first = At >> 6, shift = At & 63;
    for (size_t w = FWords.size() - 1; w > first; --w) FWords[w] = (FWords[w] << 1) | (FWords[w - 1] >> 63);
    const uint64_t low = (uint64_t(1) << shift) - 1;
    uint64_t& word = FWords[first];
    word = (word & low) | ((word & ~low) << 1) | (uint64_t(Value) << shift);
    Touch(At);
}

void TDbfBits::Erase(size_t At) {
    const size_t first = At >> 6, shift = At & 63;
    const uint64_t low = (uint64_t(1) << shift) - 1;
    uint64_t& word = FWords[first];
    word = (word & low) | ((word >> 1) & ~low);
    for (size_t w = first; w + 1 < FWords.size(); ++w) {
        FWords[w] |= FWords[w + 1] << 63;
        FWords[w + 1] >>= 1;
    }
    Touch(At);
    Resize(FSize - 1);
}

void TDbfBits::CountUpTo(size_t Block) {
    const size_t blocks = (FWords.size() + BlockWords - 1) / BlockWords;
    if (FBefore.size() < blocks + 1) FBefore.resize(blocks + 1);
    for (; FCounted < Block; ++FCounted) {
        uint32_t n = 0;
        const size_t end = std::min(FWords.size(), (FCounted + 1) * BlockWords);
        for (size_t w = FCounted * BlockWords; w < end; ++w) n += uint32_t(std::popcount(FWords[w]));
        FBefore[FCounted + 1] = FBefore[FCounted] + n;
    }
}

size_t TDbfBits::Rank(size_t End) {
    End = std::min(End, FSize);
    const size_t block = End / BlockBits;
    CountUpTo(block);
    size_t n = FBefore[block];
    const size_t lastWord = End >> 6;
    for (size_t w = block * BlockWords; w < lastWord; ++w) n += size_t(std::popcount(FWords[w]));
    if (End & 63) n += size_t(std::popcount(FWords[lastWord] & ((uint64_t(1) << (End & 63)) - 1)));
    return n;
}

size_t TDbfBits::Select(size_t K) {
    const size_t blocks = (FWords.size() + BlockWords - 1) / BlockWords;
    CountUpTo(blocks);
    if (blocks == 0 || FBefore[blocks] <= K) return FSize;
    // The last block with at most K set bits before it holds the bit.
    const size_t block =
        size_t(std::upper_bound(FBefore.begin(), FBefore.begin() + ptrdiff_t(blocks) + 1, uint32_t(K)) -
               FBefore.begin()) -
        1;
    size_t left = K - FBefore[block];
    for (size_t w = block * BlockWords; w < FWords.size(); ++w) {
        uint64_t word = FWords[w];
        const size_t n = size_t(std::popcount(word));
        if (left >= n) {
            left -= n;
            continue;
        }
        for (; left > 0; --left) word &= word - 1;  // drops the lowest set bits before the one wanted
        return w * 64 + size_t(std::countr_zero(word));
    }
    return FSize;
}
