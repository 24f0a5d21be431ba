#pragma once
// The production index file (.mdx) of dBase IV, as the engine reads and
// writes it. Layout (little-endian; "page" = 512 bytes, "block" = 2 pages):
//
//   header, page 0      version 2, creation date, table name, block size,
//                       production flag, 48 tag slots of 32 bytes, tags in
//                       use, pages in the file, last-update date; bytes
//                       48..511 are free in the format and carry our stamp
//                       (below)
//   tag table, pages 1-3  slot i (1..47) at 512 + 32 i: page of the tag
//                       header, name, key format, the three links of the
//                       binary tree of tag names, key type
//   per tag             a header block (root page, key format and type, key
//                       length, keys per block, key item length, key
//                       expression at byte 24, 1 at byte 246 when the tag
//                       holds entries, as dBase IV writes it), then the
//                       tree's blocks
//   tree block          count of keys, the previous leaf's page, then items of
//                       (32-bit pointer, key) padded to a multiple of 4; in a
//                       leaf the pointer is a record number and the pointer
//                       after the last key is 0; in a branch it is a child's
//                       page, the key is the last key of that child, and the
//                       pointer after the last key leads to the last child.
//
// Stamp (bytes 48..): table id, record count and .dbf size when the file was
// written, the number of tags, a checksum of the header and tag headers, the
// table's write generation and one checksum of each tag's tree; at 264 a mark
// and the .dbf's modification time (files written before it have no mark). A
// .mdx whose stamp does not match its table is stale: the engine rebuilds it
// from the .dbf.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/DbfFile.h"

struct TMdxTagDef {
    std::string Name;
    std::string Expression;
    char KeyType = 'C';
    bool Descending = false;
    bool FieldTag = false;  // the key format says "one data field"
    bool HasKeys = false;   // byte 246 of the tag header: the tag holds entries
    uint32_t HeaderPage = 0;
    uint32_t RootPage = 0;
    int KeyLength = 0;
    int ItemLength = 0;
    int MaxKeys = 0;
};

struct TMdxStamp {
    bool Present = false;
    uint32_t TableId = 0;
    uint32_t Count = 0;
    uint64_t DbfSize = 0;
    uint32_t HeaderSum = 0;
    uint32_t Generation = 0;
    std::vector<uint32_t> TagSums;
    // The .dbf's modification time (TDbfFile::Modified): another program
    // that rewrites a record in place changes neither the count nor the size.
    bool HasModified = false;
    uint64_t Modified = 0;
};

class TMdxReader {
public:
    // Reads the header and the tag headers; raises dbeDamaged naming the file
    // for anything out of shape.
    explicit TMdxReader(TDbfFile& File);
    const std::vector<TMdxTagDef>& Tags() const { return FTags; }
    const TMdxStamp& Stamp() const { return FStamp; }
    // Whether the header checksum of the stamp holds.
    bool HeaderSumMatches() const { return FHeaderSumOk; }
    // Walks the leaves of a tag in order, giving (record number, key bytes).
    // Raises dbeDamaged for pages outside the file, loops, or counts that do
    // not fit a block. Gives the checksum of the tree's blocks.
    uint32_t Walk(const TMdxTagDef& Tag, const std::function<void(uint32_t, const uint8_t*)>& Entry);

private:
    TDbfFile& FFile;
    uint64_t FSize = 0;
    uint32_t FBlockBytes = 1024;
    std::vector<TMdxTagDef> FTags;
    TMdxStamp FStamp;
    bool FHeaderSumOk = false;
};

// One tag to write: its definition and its entries in order.
struct TMdxTagOut {
    std::string Name;
    std::string Expression;
    char KeyType = 'C';
    bool Descending = false;
    bool FieldTag = false;
    int KeyLength = 0;
    size_t EntryCount = 0;
    // Entry i: its record number, and its key (KeyLength bytes) written to Key.
    std::function<uint32_t(size_t Index, uint8_t* Key)> Entry;
};

// Writes a whole .mdx into File (which must be empty).
void MdxWrite(TDbfFile& File, const std::string& TableBaseName, const std::vector<TMdxTagOut>& Tags,
              const TMdxStamp& Stamp);
// Puts the .dbf's modification time into the stamp of a written .mdx: it is
// known only after the table's header is written, which follows the index.
void MdxWriteModified(TDbfFile& File, uint64_t Modified);

constexpr int MdxMaxTags = 47;
constexpr int MdxMaxKeyLength = 100;
