// Fuzzes the .mdx of another program's table: a .dbf without this engine's
// marks (so with no table id) and the input as its index file, whose stamp
// area holds whatever the input has. The table takes its tags from the
// file's own expressions. First input byte: bit 0 pads the .dbf header by a
// byte (a layout this engine never writes, so the table stays another
// program's when written to), bit 1 writes through the table. Whatever the
// index holds, every order shows each row once in key order, the tag checker
// only reports, and an index this engine wrote for a table it made its own
// passes the checker.
#include "DbFuzzSupport.h"
#include "platform/db/DbfInternal.h"

namespace {

// The table as another dBase program would leave it: our file less the table
// id, the generation, the stale mark, the checksums and the mark of this
// engine (bytes 12..27 and 30..31; 28 is the production-index flag).
std::string ForeignTable() {
    TMemoryFs fs;
    MakeIndexedTable(fs, 60, true);
    std::string dbf = *fs.Files["/m/t.dbf"];
    for (size_t i = 12; i < 32; ++i)
        if (i != 28 && i != 29) dbf[i] = '\0';
    return dbf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const std::string foreign = ForeignTable();
    if (Size < 1) return 0;
    const bool padded = Data[0] & 1, write = Data[0] & 2;
    TMemoryFs fs;
    std::string dbf = foreign;
    if (padded) {
        uint16_t header = uint16_t(uint8_t(dbf[8]) | (uint8_t(dbf[9]) << 8));
        dbf.insert(header, 1, '\0');
        ++header;
        dbf[8] = char(header & 0xFF);
        dbf[9] = char(header >> 8);
    }
    fs.Put("/m/t.dbf", reinterpret_cast<const uint8_t*>(dbf.data()), dbf.size());
    fs.Put("/m/t.mdx", Data + 1, Size - 1);
    try {
        {
            auto table = TDbfTable::Open("/m/t", write ? dbfReadWrite : dbfReadOnly, &fs);
            table->CheckTags();
            CheckOrders(*table, IndexedRows);
            if (!write) return 0;
            std::vector<char> buffer(size_t(table->RecordLength()));
            table->Read(3, buffer.data());
            table->SetText(buffer.data(), 1, "Zoe");
            table->Update(3, buffer.data());
            table->Delete(5);
            table->BlankRecord(buffer.data());
            table->SetNumber(buffer.data(), 0, 99);
            table->Append(buffer.data());
            table->Flush();
        }
        auto table = TDbfTable::Open("/m/t", dbfReadOnly, &fs);
        CheckOrders(*table, IndexedRows);
        if (table->State().TableId != 0 && !table->CheckTags().empty()) __builtin_trap();
    } catch (const EDatabaseError&) {
    }
    return 0;
}
