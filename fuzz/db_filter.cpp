// Fuzzes the filter compilers: a first byte of 0 makes the rest a binary
// filter block, anything else a text expression; a compiled filter is run
// over every row.
#include "DbFuzzSupport.h"
#include "platform/db/DbfFilter.h"

namespace {

std::shared_ptr<TDbfTable> Sample(TMemoryFs& Fs) {
    TDbfTable::Create("/m/f",
                      {{"N", 'N', 6, 0},
                       {"TNC", 'C', 9, 0},
                       {"NOMBRE", 'C', 12, 0},
                       {"REPITE", 'L', 1, 0},
                       {"FECHA", 'D', 8, 0},
                       {"HORAS", 'F', 10, 2},
                       {"NOTE", 'M', 10, 0}},
                      {}, &Fs);
    auto table = TDbfTable::Open("/m/f", dbfReadWrite, &Fs);
    std::vector<char> buffer(size_t(table->RecordLength()));
    for (int i = 0; i < 6; ++i) {
        table->BlankRecord(buffer.data());
        if (i % 3) table->SetNumber(buffer.data(), 0, i);
        table->SetText(buffer.data(), 1, i % 2 ? "1ESO1" : "2ESO1");
        table->SetText(buffer.data(), 2, i % 2 ? "Juan" : "\xC1lvaro");
        if (i % 4) table->SetBoolean(buffer.data(), 3, i % 2);
        if (i % 5) table->SetDate(buffer.data(), 4, 45000 + i);
        table->SetNumber(buffer.data(), 5, i * 1.5);
        if (i == 2) table->SetMemo(buffer.data(), 6, "nota");
        table->Append(buffer.data());
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1 || Size > 4096) return 0;
    TMemoryFs fs;
    auto table = Sample(fs);
    try {
        std::shared_ptr<const TDbfFilter> filter;
        if (Data[0] == 0) {
            filter = DbfCompileFilterBlock(*table, Data + 1, Size - 1);
        } else {
            TDbfFilterOptions options{(Data[0] & 2) != 0, (Data[0] & 4) != 0};
            filter = DbfCompileFilter(
                *table, std::string_view(reinterpret_cast<const char*>(Data + 1), Size - 1), options);
        }
        TDbfCursor cursor(table);
        cursor.AddFilter(TDbfFilter::AsRecordFilter(filter));
        for (bool on = cursor.First(); on; on = cursor.Next()) {
        }
    } catch (const EDatabaseError&) {
    }
    return 0;
}
