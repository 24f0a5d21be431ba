// Fuzzes the .mdx reader: a valid table of ours with its index file replaced
// by the input. Whatever the index holds, the table reads the same rows in
// the right orders (a damaged index is rebuilt), and the tag checker only reports.
#include "DbFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryFs fs;
    MakeIndexedTable(fs, 8, false);
    fs.Put("/m/t.mdx", Data, Size);
    // The stamp names the table's id (new with every creation): give the input that id.
    std::string& index = *fs.Files["/m/t.mdx"];
    if (index.size() >= 52) index.replace(48, 4, fs.Files["/m/t.dbf"]->substr(16, 4));
    try {
        auto table = TDbfTable::Open("/m/t", dbfReadOnly, &fs);
        table->CheckTags();
        CheckOrders(*table, IndexedRows);
    } catch (const EDatabaseError&) {
    }
    return 0;
}
