// A string table of the "STR0" layout, whatever its bytes: the reader
// refuses a table whose index points outside it, and every text of a table
// it takes reads within the table, whole or cut to a caller's buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/classes/Resources.h"
#include "reportview/OvcSrMgr.h"
#include "resources/ResourceTable.h"

namespace {

int32_t ReadInt32(const std::vector<uint8_t>& Bytes, size_t At) {
    return static_cast<int32_t>(uint32_t(Bytes[At]) | uint32_t(Bytes[At + 1]) << 8 |
                                uint32_t(Bytes[At + 2]) << 16 | uint32_t(Bytes[At + 3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    // A copy of exactly Size bytes: reading past it is the fault looked for.
    const std::vector<uint8_t> bytes(Data, Data + Size);
    const ZelmorResourceEntry table[] = {{"strings/FUZZ.str0", bytes.data(), bytes.size()},
                                         {nullptr, nullptr, 0}};
    AddResourceTable(table);
    try {
        TOvcStringResource reader("FUZZ");
        // The table was taken: its count fits its size.
        const size_t count = static_cast<size_t>(ReadInt32(bytes, 4));
        char ascii[5];
        char16_t wide[3];
        for (size_t i = 0; i < count && i < 4096; ++i) {
            const int32_t id = ReadInt32(bytes, 8 + 12 * i);
            reader.GetString(id);
            reader.GetString(id + 1);
            reader.GetAsciiZ(id, ascii);
            reader.GetWideChar(id, wide);
        }
        reader.ReportError = true;
        reader.GetString(INT32_MIN);
    } catch (const ETpsStringResourceError&) {
    }
    RemoveResourceTable(table);
    return 0;
}
