// The memo file (.dbt).
#include <algorithm>
#include <cstring>

#include "platform/db/DbfInternal.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr uint32_t MemoBlock = 512;
constexpr uint8_t Level4Mark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr char EndOfText = 0x1A;

}  // namespace

TDbfMemo::TDbfMemo(std::unique_ptr<TDbfFile> File, bool Strict, bool Level4Blocks)
    : FFile(std::move(File)), FStrict(Strict), FLevel4(Level4Blocks) {
    uint8_t head[28] = {};
    uint64_t size = FFile->Size();
    if (size < sizeof head || FFile->Read(0, head, sizeof head) != sizeof head)
        DbfRaiseDamaged(FFile->Path(), "el fichero de memos es demasiado corto");
    uint32_t blockSize = uint32_t(head[20]) | (uint32_t(head[21]) << 8);
    if (blockSize == 0 || !FLevel4) blockSize = MemoBlock;  // the older layout always has 512
    if (blockSize % MemoBlock != 0 || blockSize > 32768 || (FStrict && blockSize != MemoBlock))
        DbfRaiseDamaged(FFile->Path(), "el tama\xF1o de bloque de los memos no es v\xE1lido");
    FBlockSize = blockSize;
    FNextFree = DbfGet32(head);
    FTableId = DbfGet32(head + 24);
    if (FNextFree == 0 && FStrict)
        DbfRaiseDamaged(FFile->Path(), "la cabecera del fichero de memos no es v\xE1lida");
}

void TDbfMemo::WriteEmpty(TDbfFile& File, const std::string& TableBaseName, uint32_t TableId) {
    uint8_t head[MemoBlock] = {};
    DbfPut32(head, 1);
    DbfPut32(head + 24, TableId);
    std::string name = UpperCase(TableBaseName).substr(0, 8);
    std::memcpy(head + 8, name.data(), name.size());
    head[20] = uint8_t(MemoBlock & 0xFF);
    head[21] = uint8_t(MemoBlock >> 8);
    File.Write(0, head, sizeof head);
}

AnsiString TDbfMemo::Read(uint32_t Block) {
    // One read of the block's first bytes serves most memos whole; the
    // file's end shows as a read that comes back short.
    const std::string& path = FFile->Path();
    uint64_t at = uint64_t(Block) * FBlockSize;
    char chunk[512];
    size_t n = Block == 0 ? 0 : FFile->Read(at, chunk, sizeof chunk);
    if (n == 0)
        DbfRaiseDamaged(path, "el bloque de memo " + std::to_string(Block) + " est\xE1 fuera del fichero");
    if (n >= 8 && std::memcmp(chunk, Level4Mark, 4) == 0) {
        const uint32_t length = DbfGet32(reinterpret_cast<const uint8_t*>(chunk) + 4);
        if (length < 8 || (length - 8 > n - 8 && at + length > FFile->Size()))
            DbfRaiseDamaged(path,
                            "la longitud del bloque de memo " + std::to_string(Block) + " no es v\xE1lida");
        if (length - 8 <= n - 8) return AnsiString(chunk + 8, length - 8);
        AnsiString text(length - 8, '\0');
        std::memcpy(text.data(), chunk + 8, n - 8);
        if (FFile->Read(at + n, text.data() + (n - 8), text.size() - (n - 8)) != text.size() - (n - 8))
            DbfRaiseDamaged(path, "el bloque de memo " + std::to_string(Block) + " est\xE1 cortado");
        return text;
    }
    // The older layout: the text runs to an end-of-text character.
    AnsiString text;
    while (n > 0) {
        const char* end = static_cast<const char*>(std::memchr(chunk, EndOfText, n));
        if (end) {
            text.append(chunk, size_t(end - chunk));
            return text;
        }
        text.append(chunk, n);
        at += n;
        n = FFile->Read(at, chunk, sizeof chunk);
    }
    if (FStrict) DbfRaiseDamaged(path, "el bloque de memo " + std::to_string(Block) + " no tiene final");
    return text;
}

uint32_t TDbfMemo::Write(std::string_view Text, bool Held) {
    const std::string& path = FFile->Path();
    if (Text.size() > 0x7FFFFFF0u) DbfRaise(dbeValueRange, "Memo demasiado largo para " + DbfShownPath(path));
    if (!FLevel4 && Text.find(EndOfText) != std::string_view::npos)
        DbfRaise(dbeValueRange, "Un texto de memo no puede contener el car\xE1"
                                "cter de fin de texto (26): " +
                                    DbfShownPath(path));
    // Never below what the file holds: a header pointer that lags (a crash
    // between the text and the header) must not lead to overwriting.
    uint64_t used = Held && FHeldBlocks > 0 ? FHeldBlocks : (FFile->Size() + FBlockSize - 1) / FBlockSize;
    uint32_t start = uint32_t(std::max<uint64_t>({FNextFree, used, 1}));
    std::vector<uint8_t> data;
    if (FLevel4) {
        data.resize(8);
        std::memcpy(data.data(), Level4Mark, 4);
        DbfPut32(data.data() + 4, uint32_t(8 + Text.size()));
        data.insert(data.end(), Text.begin(), Text.end());
    } else {
        data.assign(Text.begin(), Text.end());
        data.push_back(EndOfText);
        data.push_back(EndOfText);
    }
    size_t blocks = (data.size() + FBlockSize - 1) / FBlockSize;
    data.resize(blocks * FBlockSize, 0);
    FFile->Write(uint64_t(start) * FBlockSize, data.data(), data.size());
    FNextFree = uint32_t(start + blocks);
    if (Held) {
        FHeldBlocks = FNextFree;
        FPointerOwed = true;
    } else {
        uint8_t next[4];
        DbfPut32(next, FNextFree);
        FFile->Write(0, next, 4);
    }
    return start;
}

void TDbfMemo::EndHeld() {
    FHeldBlocks = 0;  // first: from here on others may write the file
    if (!FPointerOwed) return;
    uint8_t next[4];
    DbfPut32(next, FNextFree);
    FFile->Write(0, next, 4);
    FPointerOwed = false;
}

void TDbfMemo::Reset() {
    FHeldBlocks = 0;
    FPointerOwed = false;
    uint8_t next[4];
    DbfPut32(next, 1);
    FFile->Write(0, next, 4);
    FNextFree = 1;
    FFile->Truncate(FBlockSize);
}
