// Fuzzes the .dbt reader: a valid table whose rows point at memo blocks 1..8
// of a memo file made of the input. The first byte chooses a table of ours
// (strict about memos) or a foreign one.
#include "DbFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    TMemoryFs fs;
    TDbfTable::Create("/m/t", {{"N", 'N', 4, 0}, {"NOTE", 'M', 10, 0}}, {}, &fs);
    if (Data[0] & 1) (*fs.Files["/m/t.dbf"])[24] = 0;  // no mark: a foreign table
    {
        auto table = TDbfTable::Open("/m/t", dbfReadWrite, &fs);
        std::vector<char> buffer(size_t(table->RecordLength()));
        for (int block = 1; block <= 8; ++block) {
            table->BlankRecord(buffer.data());
            table->SetText(buffer.data(), 0, std::to_string(block));
            std::string number = std::to_string(block);
            std::memcpy(buffer.data() + table->Field(1).Offset + 10 - number.size(), number.data(),
                        number.size());
            table->Append(buffer.data());
        }
    }
    fs.Put("/m/t.dbt", Data + 1, Size - 1);
    // A memo file of ours names its table's id: give the input that id.
    std::string& memo = *fs.Files["/m/t.dbt"];
    if (memo.size() >= 28) memo.replace(24, 4, fs.Files["/m/t.dbf"]->substr(16, 4));
    try {
        auto table = TDbfTable::Open("/m/t", dbfReadWrite, &fs);
        ReadEverything(*table);
        std::vector<char> buffer(size_t(table->RecordLength()));
        table->BlankRecord(buffer.data());
        table->SetMemo(buffer.data(), 1, "a new memo");
        table->Append(buffer.data());
        table->Read(table->PhysicalCount(), buffer.data());
        if (table->GetMemo(buffer.data(), 1) != "a new memo") __builtin_trap();
    } catch (const EDatabaseError&) {
    }
    return 0;
}
