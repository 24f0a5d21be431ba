// Fuzzes the .dbf reader: any bytes as a table file (with no memo or index
// file beside it), read whole and then written to.
#include "DbFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryFs fs;
    fs.Put("/m/t.dbf", Data, Size);
    try {
        auto table = TDbfTable::Open("/m/t.dbf", dbfReadWrite, &fs);
        ReadEverything(*table);
        std::vector<char> buffer(size_t(table->RecordLength()));
        table->BlankRecord(buffer.data());
        table->Append(buffer.data());
        if (table->PhysicalCount() > 1) table->Delete(1);
        table->Flush();
        table->CheckTags();
    } catch (const EDatabaseError&) {
    }
    return 0;
}
