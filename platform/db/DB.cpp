#include "platform/db/DB.h"

#include "platform/classes/Component.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Fields.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_ENUM(TFieldType, "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean",
                      "ftFloat", "ftCurrency", "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes",
                      "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo", "ftGraphic", "ftFmtMemo", "ftParadoxOle",
                      "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar", "ftWideString", "ftLargeint",
                      "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob", "ftVariant",
                      "ftInterface", "ftIDispatch", "ftGuid")
ZELMOR_IMPLEMENT_ENUM(TDataSetState, "dsInactive", "dsBrowse", "dsEdit", "dsInsert", "dsSetKey",
                      "dsCalcFields", "dsFilter", "dsNewValue", "dsOldValue", "dsCurValue", "dsBlockRead",
                      "dsInternalCalc")
ZELMOR_IMPLEMENT_ENUM(TFieldKind, "fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate")
ZELMOR_IMPLEMENT_ENUM(TLocateOption, "loCaseInsensitive", "loPartialKey")
ZELMOR_IMPLEMENT_ENUM(TFilterOption, "foCaseInsensitive", "foNoPartialCompare")
ZELMOR_IMPLEMENT_ENUM(TIndexOption, "ixPrimary", "ixUnique", "ixDescending", "ixCaseInsensitive",
                      "ixExpression", "ixNonMaintained")

AnsiString FieldTypeName(TFieldType Type) {
    static const char* const names[] = {
        "Unknown",    "String",     "SmallInt", "Integer",     "Word",      "Boolean",
        "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
        "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
        "FmtMemo",    "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor",    "FixedChar",
        "WideString", "Largeint",   "ADT",      "Array",       "Reference", "DataSet",
        "OraBlob",    "OraClob",    "Variant",  "Interface",   "IDispatch", "Guid"};
    auto index = static_cast<size_t>(Type);
    return index < std::size(names) ? names[index] : "Unknown";
}

bool IsNumericFieldType(TFieldType Type) {
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftAutoInc: return true;
    default: return false;
    }
}

void DatabaseError(const AnsiString& Message, const TComponent* Component) {
    if (Component && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
    throw EDatabaseError(Message);
}

void DatabaseErrorFmt(std::string_view Message, std::initializer_list<TVarRec> Args,
                      const TComponent* Component) {
    DatabaseError(Format(Message, Args), Component);
}

std::vector<AnsiString> SplitFieldNames(std::string_view List) {
    std::vector<AnsiString> names;
    size_t start = 0;
    while (start <= List.size()) {
        size_t end = List.find(';', start);
        if (end == std::string_view::npos) end = List.size();
        AnsiString name = Trim(List.substr(start, end - start));
        if (!name.empty()) names.push_back(name);
        start = end + 1;
    }
    return names;
}

void RegisterDBClasses() {
    RegisterClasses({&TDatabase::StaticClassInfo(),      &TTable::StaticClassInfo(),
                     &TQuery::StaticClassInfo(),         &TStoredProc::StaticClassInfo(),
                     &TDataSource::StaticClassInfo(),    &TStringField::StaticClassInfo(),
                     &TSmallintField::StaticClassInfo(), &TIntegerField::StaticClassInfo(),
                     &TWordField::StaticClassInfo(),     &TAutoIncField::StaticClassInfo(),
                     &TFloatField::StaticClassInfo(),    &TCurrencyField::StaticClassInfo(),
                     &TBCDField::StaticClassInfo(),      &TBooleanField::StaticClassInfo(),
                     &TDateField::StaticClassInfo(),     &TTimeField::StaticClassInfo(),
                     &TDateTimeField::StaticClassInfo(), &TBlobField::StaticClassInfo(),
                     &TMemoField::StaticClassInfo(),     &TGraphicField::StaticClassInfo()});
}
