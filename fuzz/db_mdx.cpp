// Fuzzes the .mdx reader: a valid table of ours with its index file replaced
// by the input. Whatever the index holds, the table reads the same rows in
// the right orders (a damaged index is rebuilt), and the tag checker only reports.
#include "DbFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryFs fs;
    TDbfTable::Create("/m/t", {{"N", 'N', 6, 0}, {"NAME", 'C', 8, 0}, {"BORN", 'D', 8, 0}},
                      {{"N", "N"}, {"NAME", "NAME", true}, {"UNAME", "NAME", false, true}, {"BORN", "BORN"}},
                      &fs);
    {
        auto table = TDbfTable::Open("/m/t", dbfReadWrite, &fs);
        std::vector<char> buffer(size_t(table->RecordLength()));
        const char* names[] = {"ana", "Blas", "carmen", "Dora", "eva"};
        for (int i = 0; i < 40; ++i) {
            table->BlankRecord(buffer.data());
            table->SetNumber(buffer.data(), 0, (i * 7) % 13);
            table->SetText(buffer.data(), 1, names[i % 5]);
            table->SetDate(buffer.data(), 2, 40000 + (i * 11) % 17);
            table->Append(buffer.data());
        }
    }
    fs.Put("/m/t.mdx", Data, Size);
    // The stamp names the table's id (new with every creation): give the input that id.
    std::string& index = *fs.Files["/m/t.mdx"];
    if (index.size() >= 52) index.replace(48, 4, fs.Files["/m/t.dbf"]->substr(16, 4));
    try {
        auto table = TDbfTable::Open("/m/t", dbfReadOnly, &fs);
        table->CheckTags();
        TDbfCursor cursor(table);
        for (int order = 0; order < table->OrderCount(); ++order) {
            cursor.SetOrder(order);
            uint32_t seen = 0;
            bool descending = table->OrderInfo(order).Descending;
            std::string last;
            for (bool on = cursor.First(); on; on = cursor.Next(), ++seen) {
                std::string key = table->KeyOf(order, cursor.Record()).Bytes;
                if (seen > 0 && (descending ? key > last : key < last)) __builtin_trap();
                last = key;
            }
            if (seen != 40) __builtin_trap();
        }
    } catch (const EDatabaseError&) {
    }
    return 0;
}
