#pragma once
// Record filters of the engine: text filter expressions and the binary filter
// blocks of the data-aware library. Both compile against one table into a
// TDbfFilter, whose AsRecordFilter goes into TDbfCursor::AddFilter.
//
// Text expressions
//   expression := term { OR term }          (OR binds loosest)
//   term       := factor { AND factor }
//   factor     := NOT factor | '(' expression ')' | comparison
//   comparison := operand op operand | operand IS [NOT] NULL
//   op         := = <> < > <= >=
//   operand    := field name (letters, digits, '_'; or any text in [ ])
//               | 'text' | "text" (a doubled quote stands for itself)
//               | number | TRUE | FALSE
// Words are recognised in any letter case. A field's value is compared by its
// kind:
// - C (and M, and foreign types): the text without trailing blanks against
//   the constant without trailing blanks, byte by byte, case-sensitive. With
//   = and <> a constant ending in '*' matches every text that begins with
//   what stands before the '*' ("NOMBRE='Ju*'").
// - N and F: numerically; a quoted constant is read as a number
//   ("TIPO='1'"), and one that is no number is refused when the filter is
//   compiled. A blank numeric is null: every comparison with it is false,
//   except "= ''" (true only for the blank) and "<> ''", and IS NULL.
// - L: TRUE/FALSE or 'T'/'F'/'Y'/'N'; a blank logical counts as false.
// - D: a constant "YYYYMMDD", "YYYY-MM-DD" or "DD/MM/YYYY"; blank is null.
// Two fields compare numerically when both are N/F, else as texts.
// Options: CaseInsensitive compares texts after the locale upper-case fold;
// NoPartialCompare makes '*' an ordinary character.
// Errors (dbeFilterSyntax, dbeFieldNotFound) are raised by the compile, with
// the expression in the text; evaluation never raises.
//
// Binary blocks (what the data-aware library's filter parser writes):
//   header   five 16-bit little-endian values: version (1), total size,
//            node count, offset of the node area, offset of the literal area
//            (offsets from the block start).
//   nodes    14-byte slots: 32-bit node class, 32-bit operator, then 16-bit
//            operands. A node is addressed by its offset in the node area;
//            the root is at offset 0, and every child lies after its parent
//            (this evaluator refuses anything else, so a block has no cycle).
//            class 2 (two operands): left node offset, right node offset
//            class 4 (field):        field number, offset of its name
//                                    (zero-terminated, in the literal area)
//            class 5 (constant):     type, size, offset of its value
//   operators  3 =, 4 <>, 5 >, 6 <, 7 >=, 8 <=, 10 AND, 11 OR,
//              15 and 17 minus, 16 +, 18 *, 19 /; 13 field, 14 constant.
//              The parser writes 15 (the code of the unary minus) between two
//              operands: in a two-operand node both 15 and 17 subtract.
//   constant types  1 zero-terminated text, 2 date (32-bit day number of the
//            class library's time stamp: days since 1 January of year 1, plus
//            one), 4 boolean (16-bit, non-zero true), 5 16-bit integer,
//            6 32-bit integer, 7 8-byte float, 8 BCD (34 bytes: precision,
//            sign bit 0x80 with the decimals in the low 6 bits, then 32 bytes
//            of digit nibbles, most significant first), 10 time (32-bit
//            milliseconds since midnight), 11 time stamp (8-byte float:
//            milliseconds since the start of the time stamp's day 1).
// Fields are found by name (the field number only counts field nodes).
// Texts compare as above (no wildcard); numbers numerically; an arithmetic
// node on texts joins them (+) and is null otherwise; division by zero and
// anything with a blank numeric or date is null, and a comparison with null
// is false. A block that breaks these rules is refused by the compile with
// dbeFilterSyntax.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/db/DbfTable.h"

struct TDbfFilterOptions {
    bool CaseInsensitive = false;
    bool NoPartialCompare = false;
};

class TDbfFilter {
public:
    virtual ~TDbfFilter() = default;
    virtual bool Matches(const char* Record) const = 0;
    // A predicate for TDbfCursor::AddFilter that shares this filter.
    static TDbfRecordFilter AsRecordFilter(std::shared_ptr<const TDbfFilter> Filter);
};

// The filter of a text expression on the table's fields.
std::shared_ptr<const TDbfFilter> DbfCompileFilter(const TDbfTable& Table, std::string_view Expression,
                                                   TDbfFilterOptions Options = {});

// The filter of a binary filter block of Size bytes. The block is copied.
std::shared_ptr<const TDbfFilter> DbfCompileFilterBlock(const TDbfTable& Table, const void* Block,
                                                        size_t Size);
