#pragma once
// The vocabulary of the data-set classes: field types, data-set states, data
// events, option sets, bookmarks and the database error helpers. Everything
// the libraries name when they talk to a data set, a field or a data link.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Variants.h"

class TComponent;
class TDataSet;
class TField;

// The field types in the order of the old class library: the report views
// print the ordinal in "Unsupported data type:%d".
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid
};
ZELMOR_DECLARE_ENUM(TFieldType);
// "String", "Float" ... as the type-mismatch messages name them.
AnsiString FieldTypeName(TFieldType Type);
// The kinds whose values are numbers (and add up in totals).
bool IsNumericFieldType(TFieldType Type);

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc
};
ZELMOR_DECLARE_ENUM(TDataSetState);

enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
    deConnectChange,
    deReconcileError,
    deDisabledStateChange
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
ZELMOR_DECLARE_ENUM(TFieldKind);

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
ZELMOR_DECLARE_ENUM(TLocateOption);

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;
ZELMOR_DECLARE_ENUM(TFilterOption);

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = TSet<TIndexOption>;
ZELMOR_DECLARE_ENUM(TIndexOption);

enum TResyncModeFlag { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeFlag>;

enum TDataAction { daFail, daAbort, daRetry };
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };
enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

// A bookmark names one record for as long as the table lives (deleted records
// keep theirs, so a stale bookmark is recognised, not confused with another
// row). Empty means "no bookmark"; compare them only through the data set.
using TBookmark = AnsiString;
using TBookmarkStr = AnsiString;

// Key values of FindKey and SetRange: the "array of const" of the runtime
// library (Null, integer, float, text, Boolean, currency; dates as floats).
using TKeyValues = std::vector<TVarRec>;

using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
using TFilterRecordEvent = TEvent<void(TDataSet* DataSet, bool& Accept)>;
using TDataSetErrorEvent = TEvent<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;

// Registers the data classes by name for the form reader (tables, data
// sources, databases, statements and every field class).
void RegisterDBClasses();

// "A;B" as its names, blanks around each removed, empty names skipped.
std::vector<AnsiString> SplitFieldNames(std::string_view List);

// Raises EDatabaseError with the message, prefixed by the component's name
// ("TAlum: Field 'X' not found") when it has one.
[[noreturn]] void DatabaseError(const AnsiString& Message, const TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(std::string_view Message, std::initializer_list<TVarRec> Args,
                                   const TComponent* Component = nullptr);

// The messages the libraries and the program may show (English, as the data
// layer of the old class library gave them).
namespace DBText {
inline constexpr const char* FieldNotFound = "Field '%s' not found";
inline constexpr const char* DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* DataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* NotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* DataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* FieldRequired = "Field '%s' must have a value";
inline constexpr const char* FieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* InvalidValue = "'%s' is not a valid value for field '%s'";
inline constexpr const char* FieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* RecordNotFound = "Record not found";
inline constexpr const char* BookmarkNotFound = "Record not found or changed by another user";
inline constexpr const char* NoIndex = "No index currently active";
inline constexpr const char* IndexNotFound = "Index '%s' not found";
inline constexpr const char* NotIndexField = "Field '%s' is not indexed and cannot be modified";
inline constexpr const char* TooManyKeyValues = "Too many key values for the index '%s'";
inline constexpr const char* DuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* NoTableName = "Missing TableName property";
inline constexpr const char* UnknownDatabase = "Unknown database: '%s'";
inline constexpr const char* NotSupported = "Operation not supported: %s";
inline constexpr const char* CircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* FieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* NoDataSet = "Field '%s' has no dataset";
inline constexpr const char* DataSetMissing = "Missing DataSet property";
}  // namespace DBText
