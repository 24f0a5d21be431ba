// Command tables are text files a user may edit: whatever their bytes, a
// load takes the whole file or refuses it and leaves the table as it was,
// and a table that was taken is written and read back the same.
#include <cstddef>
#include <cstdint>

#include "FuzzFolder.h"
#include "platform/rtl/Exceptions.h"
#include "reportview/OvcCmd.h"

namespace {

bool Same(const TOvcCommandTable& A, const TOvcCommandTable& B) {
    if (A.TableName() != B.TableName() || A.Count() != B.Count()) return false;
    for (int i = 0; i < A.Count(); ++i)
        if (!(A.GetCmdRec(i) == B.GetCmdRec(i))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string file = FuzzFolder() + "/fuzz.cmd", again = FuzzFolder() + "/again.cmd";
    WriteFuzzFile(file, Data, Size);
    TOvcCommandTable table;
    table.SetTableName("Before");
    table.AddRec(TOvcCmdRec{'A', 4, 0, 0, 300});
    try {
        table.LoadFromFile(file);
    } catch (const Exception&) {
        if (table.TableName() != "Before" || table.Count() != 1) std::abort();
        return 0;
    }
    table.SaveToFile(again);
    TOvcCommandTable back;
    back.LoadFromFile(again);
    if (!Same(table, back)) std::abort();
    return 0;
}
