// The filter-expression parser reads the wwFilter lines of tables on forms:
// whatever the text, it answers a block or none, the engine takes or refuses
// the block, and running it over the rows never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "FuzzFolder.h"
#include "dataaware/wwfilterexpr.h"
#include "platform/db/DbfFilter.h"
#include "platform/db/Table.h"
#include "platform/rtl/Exceptions.h"
#include "platform/sys/Dialogs.h"

namespace {

// The field-not-found warning is answered and the parse goes on.
class TSilentDialogs : public TDialogAnswerer {
public:
    TDialogAnswer Answer(const TDialogRequest&) override { return {}; }
};

TTable* SampleTable() {
    std::filesystem::create_directories(FuzzFolder() + "/c/DATOS");
    ::setenv("ZELMOR_DRIVE_C", (FuzzFolder() + "/c").c_str(), 1);
    static TSilentDialogs dialogs;
    SetDialogAnswerer(&dialogs);
    TTable* table = NewComponent<TTable>(nullptr);
    table->SetDatabaseName("C:\\DATOS");
    table->SetTableName("filtro");
    table->SetTableType(ttDBase);
    table->FieldDefs()->Add("NOMBRE", ftString, 20);
    table->FieldDefs()->Add("NOTA", ftFloat, 0);
    table->FieldDefs()->Add("ACTIVO", ftBoolean, 0);
    table->FieldDefs()->Add("FECHA", ftDate, 0);
    table->FieldDefs()->Add("OBS", ftMemo, 0);
    table->CreateTable();
    table->Open();
    const char* names[] = {"Ana", "", "Luis Mar\xEDn", "Smith AND AGE"};
    for (int i = 0; i < 4; ++i) {
        table->Append();
        table->FieldByName("NOMBRE")->SetAsString(names[i]);
        if (i % 2) table->FieldByName("NOTA")->SetAsFloat(i * 2.5);
        table->FieldByName("ACTIVO")->SetAsBoolean(i % 3 == 0);
        if (i) table->FieldByName("FECHA")->SetAsDateTime(37000 + i);
        table->Post();
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > 8192) return 0;
    static TTable* table = SampleTable();
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    try {
        std::vector<uint8_t> block = BuildFilterBlock(text, table);
        if (block.empty()) return 0;
        auto filter = DbfCompileFilterBlock(table->Handle()->Table(), block.data(), block.size());
        TDbfCursor cursor(table->Handle()->SharedTable());
        cursor.AddFilter(TDbfFilter::AsRecordFilter(filter));
        for (bool on = cursor.First(); on; on = cursor.Next()) {
        }
    } catch (const EConvertError&) {
        // A constant that is no number, date or time.
    } catch (const EDatabaseError&) {
        // A block the engine refuses (a name that is no column of the file).
    }
    return 0;
}
