#pragma once
// Filter expressions of the library's tables (their wwFilter lines) made into
// the engine's binary filter block, and the record callbacks of their
// OnFilter events, kept on the data set's cursor.
//
// The expression language:
//   expression := relation { AND | OR relation }     (one precedence, left to right)
//   relation   := sum [ = | <> | < | > | <= | >= sum ]
//   sum        := term { + | - term }
//   term       := factor { * | / factor }
//   factor     := ( expression ) | name | number | "string"
// A name may hold blanks and the characters ! # $ * + - / ("LAST NAME",
// "SHIP-TO"), so an operator is one only before a character no name takes
// ("(PRICE)*(2)"). The left side of an operation names a field of the table;
// a plain operand on its right is a constant of that field's type ("A = B"
// compares the field A with the text B). AND and OR count only as whole
// words after a complete relation ("ORDERS" is a name), and text left after
// a complete expression is refused: "NAME = Smith AND AGE > 3" does not
// parse (Smith AND AGE would be one constant), it must be written
// NAME = "Smith" AND (AGE > 3).
// Tokens are never cut to a length: a constant may be as long as the field
// it is compared with (a character field holds up to 254 characters), and
// filter texts are built from field values. Cut after its 64th character, a
// quoted constant would leave its rest as a name and an unclosed quote, and a
// valid filter on a long value would be refused.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Object.h"

class TDataSet;

enum TNodeKind : uint8_t { nkComparison, nkLogical, nkArithmetic, nkOperand };

// A constant's type, from the field on the left of its operation (0: the
// operand is a field reference).
enum TNodeConstType : uint8_t {
    nctField,
    nctString,
    nctFloat,
    nctDateTime,
    nctDate,
    nctTime,
    nctBoolean,
    nctInteger,
    nctBCD,
    nctSmallInt
};

// A node of the expression tree; owns its two operands.
class TNode : public TObject {
public:
    TNodeKind Kind = nkOperand;
    TNodeConstType ConstType = nctField;
    int Size = 0;        // a BCD constant's decimals
    AnsiString Text;     // the operator, or the operand as written
    int SlotOffset = 0;  // where the block holds it, from the first node slot
    std::unique_ptr<TNode> Left, Right;
};

// The tree of an expression on Table's fields; null when the text does not
// parse. A name on the left of an operation that is not a field of the table
// is reported in a warning box before the answer. A constant that does not
// convert raises EConvertError.
std::unique_ptr<TNode> ParseFilterExpression(std::string_view Text, TDataSet* Table);
// The engine's filter block of an expression (see platform/db/DbfFilter.h);
// empty when the text does not parse or its block would pass 65,535 bytes.
std::vector<uint8_t> BuildFilterBlock(std::string_view Text, TDataSet* Table);

// Replaces Table's expression filter, whose handle the caller keeps in
// Handle, by Text's (none for an empty text); refreshes an open table. A text
// that does not parse or that the engine refuses leaves the table without an
// expression filter and answers false. On a closed table this only clears
// the handle, unless the cursor is being prepared (ApplyWhenClosed).
bool ApplyFilterText(std::string_view Text, TDataSet* Table, int& Handle, bool ApplyWhenClosed);
// Removes the filter held in Handle and clears it.
void DropFilter(TDataSet* DataSet, int& Handle);

// A record callback: true keeps the record.
using TwwRecordFilterCallback = std::function<bool(const char* Record)>;
// Removes the callback held in Handle; installs Callback (when given) on the
// data set's cursor, and reads the records again. False, Handle clear, when
// the data set has no cursor.
bool SetRecordFilterCallback(TwwRecordFilterCallback Callback, TDataSet* DataSet, int& Handle);

// The optional query drivers of other table kinds are used only when one of
// them is already loaded; none ever is here, so this answers null.
void* LoadedQueryDriverModule();
