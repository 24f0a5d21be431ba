#include "platform/db/MdxFile.h"

#include <cstring>
#include <set>

#include "platform/db/DbfInternal.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr uint32_t PageBytes = 512;
constexpr uint32_t WriteBlockBytes = 1024;
constexpr uint32_t HeaderBytes = 2048;  // header page and the 48 tag slots
constexpr int MaxDepth = 24;
constexpr size_t HasKeysAt = 246;  // in a tag header

int ItemLengthFor(int KeyLength) { return (KeyLength + 4 + 3) & ~3; }
int MaxKeysFor(int ItemLength) { return int(WriteBlockBytes - 12) / ItemLength; }

// The walk shared by the reader and by the writer (which stamps the sums the
// reader will find).
using TBlockSource = std::function<const uint8_t*(uint32_t Page)>;

uint32_t WalkTree(const TBlockSource& Block, uint32_t Root, int ItemLength, uint32_t BlockBytes,
                  const std::function<void(uint32_t, const uint8_t*)>& Entry, const std::string& Path) {
    uint32_t sum = DbfChecksum(nullptr, 0);
    std::set<uint32_t> seen;
    const uint32_t capacity = (BlockBytes - 8) / uint32_t(ItemLength);
    std::function<void(uint32_t, int)> visit = [&](uint32_t page, int depth) {
        if (depth > MaxDepth) DbfRaiseDamaged(Path, "el \xE1rbol del \xEDndice tiene demasiados niveles");
        if (!seen.insert(page).second) DbfRaiseDamaged(Path, "una p\xE1gina del \xEDndice se usa dos veces");
        const uint8_t* b = Block(page);
        if (!b) DbfRaiseDamaged(Path, "una p\xE1gina del \xEDndice est\xE1 fuera del fichero");
        sum = DbfChecksum(b, BlockBytes, sum);
        uint32_t n = DbfGet32(b);
        if (n > capacity) DbfRaiseDamaged(Path, "una p\xE1gina del \xEDndice tiene demasiadas claves");
        uint32_t trailing = 0;
        if (8 + n * uint32_t(ItemLength) + 4 <= BlockBytes) trailing = DbfGet32(b + 8 + n * ItemLength);
        if (trailing == 0) {
            for (uint32_t i = 0; i < n; ++i) {
                const uint8_t* item = b + 8 + i * ItemLength;
                Entry(DbfGet32(item), item + 4);
            }
            return;
        }
        // Copy the child pointers first: Block may reuse its buffer.
        std::vector<uint32_t> children;
        for (uint32_t i = 0; i <= n; ++i) children.push_back(DbfGet32(b + 8 + i * ItemLength));
        for (uint32_t child : children) visit(child, depth + 1);
    };
    visit(Root, 0);
    return sum;
}

// The mark of the stamp's modification time and where it lies (past the
// sums of 47 tags). Outside the header checksum: it is written last, in place.
constexpr uint8_t ModifiedMark[4] = {'M', 'T', 'I', 'M'};
constexpr size_t ModifiedAt = 264;

void PutModified(uint8_t* At, uint64_t Modified) {
    std::memcpy(At, ModifiedMark, 4);
    DbfPut32(At + 4, uint32_t(Modified));
    DbfPut32(At + 8, uint32_t(Modified >> 32));
}

// The table name (bytes 4..19) is left out: renaming a table rewrites it.
uint32_t HeaderSum(const uint8_t* Header, const std::vector<const uint8_t*>& TagHeaders) {
    uint32_t sum = DbfChecksum(Header, 4);
    sum = DbfChecksum(Header + 20, 28, sum);
    sum = DbfChecksum(Header + PageBytes, HeaderBytes - PageBytes, sum);
    for (const uint8_t* t : TagHeaders) sum = DbfChecksum(t, 256, sum);
    return sum;
}

}  // namespace

TMdxReader::TMdxReader(TDbfFile& File) : FFile(File) {
    const std::string& path = File.Path();
    FSize = File.Size();
    if (FSize < HeaderBytes) DbfRaiseDamaged(path, "el fichero de \xEDndices es demasiado corto");
    std::vector<uint8_t> head(HeaderBytes);
    if (File.Read(0, head.data(), HeaderBytes) != HeaderBytes)
        DbfRaiseDamaged(path, "el fichero de \xEDndices es demasiado corto");
    if (head[0] != 2) DbfRaiseDamaged(path, "no es un fichero de \xEDndices dBase IV");
    FBlockBytes = DbfGet16(head.data() + 22);
    uint32_t adder = DbfGet16(head.data() + 20);
    if (FBlockBytes < PageBytes || FBlockBytes > 32768 || FBlockBytes % PageBytes != 0 ||
        adder != FBlockBytes / PageBytes)
        DbfRaiseDamaged(path, "el tama\xF1o de bloque del \xEDndice no es v\xE1lido");
    if (head[26] != 32 || head[25] < 1 || head[25] > 48)
        DbfRaiseDamaged(path, "la tabla de etiquetas del \xEDndice no es v\xE1lida");
    uint32_t tags = DbfGet16(head.data() + 28);
    if (tags > uint32_t(MdxMaxTags) || tags >= head[25])
        DbfRaiseDamaged(path, "el n\xFAmero de etiquetas del \xEDndice no es v\xE1lido");

    std::vector<std::vector<uint8_t>> tagHeaders;
    for (uint32_t i = 1; i <= tags; ++i) {
        const uint8_t* slot = head.data() + PageBytes + 32 * i;
        TMdxTagDef tag;
        tag.HeaderPage = DbfGet32(slot);
        size_t nameLength = 0;
        while (nameLength < 11 && slot[4 + nameLength] != 0) ++nameLength;
        tag.Name.assign(reinterpret_cast<const char*>(slot + 4), nameLength);
        if (nameLength == 0 || nameLength > 10)
            DbfRaiseDamaged(path, "un nombre de etiqueta del \xEDndice no es v\xE1lido");
        if (tag.HeaderPage < HeaderBytes / PageBytes ||
            uint64_t(tag.HeaderPage) * PageBytes + PageBytes > FSize)
            DbfRaiseDamaged(path, "la cabecera de una etiqueta est\xE1 fuera del fichero");
        std::vector<uint8_t> th(PageBytes);
        if (File.Read(uint64_t(tag.HeaderPage) * PageBytes, th.data(), PageBytes) != PageBytes)
            DbfRaiseDamaged(path, "la cabecera de una etiqueta est\xE1 fuera del fichero");
        tag.RootPage = DbfGet32(th.data());
        uint8_t format = th[8];
        tag.Descending = (format & 0x08) != 0;
        tag.FieldTag = (format & 0x10) != 0;
        tag.KeyType = char(th[9]);
        tag.HasKeys = th[HasKeysAt] != 0;
        tag.KeyLength = DbfGet16(th.data() + 12);
        tag.MaxKeys = DbfGet16(th.data() + 14);
        tag.ItemLength = DbfGet16(th.data() + 18);
        bool typeOk = (tag.KeyType == 'C' && tag.KeyLength >= 1 && tag.KeyLength <= MdxMaxKeyLength) ||
                      (tag.KeyType == 'N' && tag.KeyLength == 12) ||
                      (tag.KeyType == 'D' && tag.KeyLength == 8);
        if (!typeOk) DbfRaiseDamaged(path, "la clave de la etiqueta " + tag.Name + " no es v\xE1lida");
        if (tag.ItemLength < tag.KeyLength + 4 || tag.ItemLength > int(FBlockBytes) - 12)
            DbfRaiseDamaged(path, "la longitud de clave de la etiqueta " + tag.Name + " no es v\xE1lida");
        size_t exprLength = 0;
        while (exprLength < 221 && th[24 + exprLength] != 0) ++exprLength;
        if (exprLength == 0 || exprLength > 220)
            DbfRaiseDamaged(path, "la expresi\xF3n de la etiqueta " + tag.Name + " no es v\xE1lida");
        tag.Expression.assign(reinterpret_cast<const char*>(th.data() + 24), exprLength);
        FTags.push_back(std::move(tag));
        tagHeaders.push_back(std::move(th));
    }

    FStamp.TableId = DbfGet32(head.data() + 48);
    FStamp.Count = DbfGet32(head.data() + 52);
    FStamp.DbfSize = uint64_t(DbfGet32(head.data() + 56)) | (uint64_t(DbfGet32(head.data() + 60)) << 32);
    uint32_t stampedTags = DbfGet32(head.data() + 64);
    FStamp.HeaderSum = DbfGet32(head.data() + 68);
    FStamp.Generation = DbfGet32(head.data() + 72);
    FStamp.Present = FStamp.TableId != 0 && stampedTags == tags;
    const uint8_t* modified = head.data() + ModifiedAt;
    FStamp.HasModified = std::memcmp(modified, ModifiedMark, 4) == 0;
    if (FStamp.HasModified)
        FStamp.Modified = uint64_t(DbfGet32(modified + 4)) | (uint64_t(DbfGet32(modified + 8)) << 32);
    if (FStamp.Present)
        for (uint32_t i = 0; i < tags; ++i) FStamp.TagSums.push_back(DbfGet32(head.data() + 76 + 4 * i));
    std::vector<const uint8_t*> thp;
    for (auto& t : tagHeaders) thp.push_back(t.data());
    FHeaderSumOk = FStamp.Present && HeaderSum(head.data(), thp) == FStamp.HeaderSum;
}

uint32_t TMdxReader::Walk(const TMdxTagDef& Tag, const std::function<void(uint32_t, const uint8_t*)>& Entry) {
    std::vector<uint8_t> block(FBlockBytes);
    auto source = [&](uint32_t page) -> const uint8_t* {
        if (page < HeaderBytes / PageBytes || uint64_t(page) * PageBytes + FBlockBytes > FSize)
            return nullptr;
        if (FFile.Read(uint64_t(page) * PageBytes, block.data(), FBlockBytes) != FBlockBytes) return nullptr;
        return block.data();
    };
    return WalkTree(source, Tag.RootPage, Tag.ItemLength, FBlockBytes, Entry, FFile.Path());
}

void MdxWrite(TDbfFile& File, const std::string& TableBaseName, const std::vector<TMdxTagOut>& Tags,
              const TMdxStamp& Stamp) {
    std::vector<uint8_t> out(HeaderBytes, 0);
    uint8_t* head = out.data();
    head[0] = 2;
    DbfPutToday(head + 1);
    std::string base = UpperCase(TableBaseName).substr(0, 15);
    std::memcpy(head + 4, base.data(), base.size());
    DbfPut16(head + 20, WriteBlockBytes / PageBytes);
    DbfPut16(head + 22, WriteBlockBytes);
    head[24] = 1;
    head[25] = 48;
    head[26] = 32;
    DbfPut16(head + 28, uint32_t(Tags.size()));
    DbfPutToday(head + 44);

    // The tag slots form a binary tree by name (left, right, parent).
    std::vector<std::array<uint8_t, 3>> links(Tags.size() + 1, {0, 0, 0});
    for (size_t i = 2; i <= Tags.size(); ++i) {
        size_t at = 1;
        while (true) {
            bool left = Tags[i - 1].Name < Tags[at - 1].Name;
            uint8_t& next = links[at][left ? 0 : 1];
            if (next == 0) {
                next = uint8_t(i);
                links[i][2] = uint8_t(at);
                break;
            }
            at = next;
        }
    }

    std::vector<uint32_t> sums;
    std::vector<size_t> tagHeaderOffsets;
    uint32_t page = HeaderBytes / PageBytes;
    const uint32_t pagesPerBlock = WriteBlockBytes / PageBytes;
    for (size_t t = 0; t < Tags.size(); ++t) {
        const TMdxTagOut& tag = Tags[t];
        const int itemLength = ItemLengthFor(tag.KeyLength);
        const int maxKeys = MaxKeysFor(itemLength);
        const uint32_t headerPage = page;
        page += pagesPerBlock;
        out.resize(out.size() + WriteBlockBytes, 0);
        tagHeaderOffsets.push_back(size_t(headerPage) * PageBytes);

        struct TNode {
            uint32_t Page;
            std::vector<uint8_t> LastKey;
        };
        std::vector<TNode> level;
        std::vector<uint8_t> key(size_t(tag.KeyLength));
        // Leaves, filled evenly.
        size_t leaves = tag.EntryCount == 0 ? 1 : (tag.EntryCount + maxKeys - 1) / maxKeys;
        size_t next = 0;
        for (size_t l = 0; l < leaves; ++l) {
            size_t take = tag.EntryCount / leaves + (l < tag.EntryCount % leaves ? 1 : 0);
            size_t at = out.size();
            out.resize(at + WriteBlockBytes, 0);
            DbfPut32(out.data() + at, uint32_t(take));
            for (size_t k = 0; k < take; ++k, ++next) {
                uint8_t* item = out.data() + at + 8 + k * itemLength;
                DbfPut32(item, tag.Entry(next, key.data()));
                std::memcpy(item + 4, key.data(), key.size());
            }
            level.push_back({page, key});
            page += pagesPerBlock;
        }
        // Branches, until one node is left: the root. A branch holds up to
        // maxKeys keys and one pointer more, to its last child; the block
        // size less 12 that maxKeys comes from leaves room for that pointer
        // but not for the last child's key. That key is only a copy readers
        // pass over, written where it fits, as small trees always had it.
        while (level.size() > 1) {
            const size_t children = size_t(maxKeys) + 1;
            size_t branches = (level.size() + children - 1) / children;
            std::vector<TNode> upper;
            size_t child = 0;
            for (size_t b = 0; b < branches; ++b) {
                size_t take = level.size() / branches + (b < level.size() % branches ? 1 : 0);
                size_t at = out.size();
                out.resize(at + WriteBlockBytes, 0);
                DbfPut32(out.data() + at, uint32_t(take - 1));
                for (size_t k = 0; k < take; ++k, ++child) {
                    const size_t offset = 8 + k * size_t(itemLength);
                    uint8_t* item = out.data() + at + offset;
                    DbfPut32(item, level[child].Page);
                    const std::vector<uint8_t>& last = level[child].LastKey;
                    if (offset + 4 + last.size() <= WriteBlockBytes)
                        std::memcpy(item + 4, last.data(), last.size());
                }
                upper.push_back({page, level[child - 1].LastKey});
                page += pagesPerBlock;
            }
            level = std::move(upper);
        }
        uint8_t* th = out.data() + tagHeaderOffsets.back();
        DbfPut32(th, level.front().Page);
        DbfPut32(th + 4, page - headerPage);
        th[8] = uint8_t((tag.FieldTag ? 0x10 : 0x00) | (tag.Descending ? 0x08 : 0x00));
        th[9] = uint8_t(tag.KeyType);
        DbfPut16(th + 12, uint32_t(tag.KeyLength));
        DbfPut16(th + 14, uint32_t(maxKeys));
        DbfPut16(th + 18, uint32_t(itemLength));
        std::string expr = tag.Expression.substr(0, 220);
        std::memcpy(th + 24, expr.data(), expr.size());
        th[HasKeysAt] = tag.EntryCount > 0 ? 1 : 0;

        uint8_t* slot = out.data() + PageBytes + 32 * (t + 1);
        DbfPut32(slot, headerPage);
        std::string name = UpperCase(tag.Name).substr(0, 10);
        std::memcpy(slot + 4, name.data(), name.size());
        slot[15] = tag.FieldTag ? 0x10 : 0x00;
        slot[16] = links[t + 1][0];
        slot[17] = links[t + 1][1];
        slot[18] = links[t + 1][2];
        slot[19] = 0x02;
        slot[20] = uint8_t(tag.KeyType);

        const uint64_t size = out.size();
        auto source = [&](uint32_t p) -> const uint8_t* {
            if (uint64_t(p) * PageBytes + WriteBlockBytes > size) return nullptr;
            return out.data() + size_t(p) * PageBytes;
        };
        sums.push_back(WalkTree(
            source, level.front().Page, itemLength, WriteBlockBytes, [](uint32_t, const uint8_t*) {},
            File.Path()));
    }
    head = out.data();
    DbfPut32(head + 32, page);
    DbfPut32(head + 48, Stamp.TableId);
    DbfPut32(head + 52, Stamp.Count);
    DbfPut32(head + 56, uint32_t(Stamp.DbfSize));
    DbfPut32(head + 60, uint32_t(Stamp.DbfSize >> 32));
    DbfPut32(head + 64, uint32_t(Tags.size()));
    DbfPut32(head + 72, Stamp.Generation);
    if (Stamp.HasModified) PutModified(head + ModifiedAt, Stamp.Modified);
    for (size_t i = 0; i < sums.size(); ++i) DbfPut32(head + 76 + 4 * i, sums[i]);
    std::vector<const uint8_t*> thp;
    for (size_t offset : tagHeaderOffsets) thp.push_back(out.data() + offset);
    DbfPut32(head + 68, HeaderSum(head, thp));
    File.Write(0, out.data(), out.size());
}

void MdxWriteModified(TDbfFile& File, uint64_t Modified) {
    uint8_t bytes[12];
    PutModified(bytes, Modified);
    File.Write(ModifiedAt, bytes, sizeof bytes);
}
