// Filters: text expressions, the data-aware library's filter blocks and
// record callbacks, as cursors apply them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "DbTestSupport.h"
#include "platform/db/DbfFilter.h"
#include "platform/rtl/DateTime.h"

namespace {

class DbfFilters : public ::testing::Test {
protected:
    void SetUp() override {
        TDbfTable::Create(Dir / "f",
                          {{"N", 'N', 6, 0},
                           {"TNC", 'C', 9, 0},
                           {"TIPO", 'N', 6, 0},
                           {"NOMBRE", 'C', 20, 0},
                           {"REPITE", 'L', 1, 0},
                           {"FECHA", 'D', 8, 0},
                           {"HORAS", 'N', 20, 4},
                           {"NOTE", 'M', 10, 0}},
                          {{"NOMBRE", "NOMBRE"}});
        T = TDbfTable::Open(Dir / "f");
        AppendRow(*T, {{"N", "1"},
                       {"TNC", "1ESO1"},
                       {"TIPO", "1"},
                       {"NOMBRE", "Juan"},
                       {"REPITE", "T"},
                       {"FECHA", "20240115"},
                       {"HORAS", "2.5"},
                       {"NOTE", "apuntes"}});
        AppendRow(*T, {{"N", "2"},
                       {"TNC", "1ESO1"},
                       {"TIPO", "2"},
                       {"NOMBRE", "juana"},
                       {"REPITE", "F"},
                       {"FECHA", "20230101"},
                       {"HORAS", "4"}});
        AppendRow(*T, {{"N", "3"}, {"TNC", "2ESO1"}, {"TIPO", "1"}, {"NOMBRE", "Julia O'Neil"}});
        AppendRow(*T,
                  {{"N", "4"}, {"TNC", "1ESO1"}, {"NOMBRE", "\xC1lvaro"}, {"REPITE", "T"}, {"HORAS", "1"}});
        AppendRow(*T, {{"N", "5"}, {"TNC", "2ESO1"}, {"TIPO", "3"}, {"NOMBRE", "Ju*"}, {"REPITE", "F"}});
        AppendRow(*T, {{"N", "6"}, {"TIPO", "1"}});
        T->Delete(AppendRow(*T, {{"N", "7"}, {"TNC", "1ESO1"}, {"TIPO", "1"}, {"NOMBRE", "Juan"}}));
    }
    // The N of the rows a cursor shows under the filter, in physical order.
    std::vector<int> Matching(std::shared_ptr<const TDbfFilter> Filter) {
        TDbfCursor c(T);
        c.AddFilter(TDbfFilter::AsRecordFilter(std::move(Filter)));
        std::vector<int> ns;
        for (bool on = c.First(); on; on = c.Next()) ns.push_back(int(T->GetNumber(c.Record(), 0)));
        EXPECT_EQ(c.RecordCount(), ns.size());
        return ns;
    }

    TTempFolder Dir;
    std::shared_ptr<TDbfTable> T;
};

}  // namespace

TEST_F(DbfFilters, TextExpressionsSelectTheRowsTheProgramExpects) {
    struct Case {
        const char* expression;
        std::vector<int> rows;
    } cases[] = {
        {"TNC='1ESO1'", {1, 2, 4}},
        {"TNC='1ESO1' and TIPO='1'", {1}},  // a quoted constant against a numeric field
        {"TNC='1ESO1' AND TIPO=1", {1}},
        {"tnc = '1ESO1' and (TIPO='1' or TIPO='2')", {1, 2}},
        {"NOT TNC='1ESO1'", {3, 5, 6}},
        {"NOMBRE='Ju*'", {1, 3, 5}},  // the trailing "*" matches a beginning
        {"NOMBRE='Juan'", {1}},       // exact and case-sensitive; the deleted Juan stays hidden
        {"NOMBRE='Jua'", {}},
        {"NOMBRE<>'Ju*'", {2, 4, 6}},
        {"NOMBRE='Julia O''Neil'", {3}},
        {"NOMBRE = \"Julia O'Neil\"", {3}},
        {"NOMBRE=''", {6}},
        {"NOMBRE > 'Julia' and NOMBRE < 'juana'", {3}},  // bytes: upper case before lower case
        {"TIPO=''", {4}},                                // the blank number
        {"TIPO<>''", {1, 2, 3, 5, 6}},
        {"TIPO IS NULL", {4}},
        {"TIPO IS NOT NULL", {1, 2, 3, 5, 6}},
        {"TIPO >= 2", {2, 5}},  // a blank number is no number
        {"TIPO < 2", {1, 3, 6}},
        {"HORAS = 2.5", {1}},
        {"HORAS > '1'", {1, 2}},
        {"REPITE = TRUE", {1, 4}},
        {"REPITE='F'", {2, 3, 5, 6}},  // a blank logical reads false
        {"FECHA > '2023-06-30'", {1}},
        {"FECHA < '20240101'", {2}},
        {"FECHA = '15/01/2024'", {1}},
        {"NOTE = 'apuntes'", {1}},
        {"[TNC] = '2ESO1'", {3, 5}},
        {"N > 2 AND N < 5 OR N = 6", {3, 4, 6}},  // AND binds tighter than OR
        {"N = 1 OR N = 2 AND TIPO = 2", {1, 2}},
        {"'1ESO1' = TNC", {1, 2, 4}},
        {"TIPO = N", {1, 2}},
        {"TIPO < N", {3, 5, 6}},
        {"1 = 1", {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Matching(DbfCompileFilter(*T, c.expression)), c.rows) << c.expression;
}

// "5 < N" asks for N > 5: with the constant first, the comparison is turned.
TEST_F(DbfFilters, AConstantOnTheLeftMirrorsTheComparison) {
    struct Case {
        const char* expression;
        const char* fieldFirst;
        std::vector<int> rows;
        TDbfFilterOptions options = {};
    } cases[] = {
        {"2 < TIPO", "TIPO > 2", {5}},
        {"2 > TIPO", "TIPO < 2", {1, 3, 6}},  // the blank number matches neither way
        {"2 <= TIPO", "TIPO >= 2", {2, 5}},
        {"2 >= TIPO", "TIPO <= 2", {1, 2, 3, 6}},
        {"'2' < TIPO", "TIPO > '2'", {5}},
        {"3 <> N", "N <> 3", {1, 2, 4, 5, 6}},
        {"2.5 <= HORAS", "HORAS >= 2.5", {1, 2}},
        {"0 < N AND 3 > N", "N > 0 AND N < 3", {1, 2}},
        {"'20240101' > FECHA", "FECHA < '20240101'", {2}},
        {"'2023-06-30' <= FECHA", "FECHA >= '2023-06-30'", {1}},
        {"'Julia' < NOMBRE", "NOMBRE > 'Julia'", {2, 3, 4}},
        {"'Juan' >= NOMBRE", "NOMBRE <= 'Juan'", {1, 5, 6}},
        {"'JULIA' < NOMBRE", "NOMBRE > 'JULIA'", {3, 4}, {true, false}},
        {"FALSE < REPITE", "REPITE > FALSE", {1, 4}},
        {"1 < 2", "2 > 1", {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matching(DbfCompileFilter(*T, c.expression, c.options)), c.rows) << c.expression;
        EXPECT_EQ(Matching(DbfCompileFilter(*T, c.fieldFirst, c.options)), c.rows) << c.fieldFirst;
    }
}

TEST_F(DbfFilters, OptionsFoldCaseAndTurnOffPartialMatching) {
    TDbfFilterOptions fold{true, false}, literal{false, true};
    EXPECT_EQ(Matching(DbfCompileFilter(*T, "NOMBRE='JUAN'", fold)), (std::vector<int>{1}));
    EXPECT_EQ(Matching(DbfCompileFilter(*T, "NOMBRE='ju*'", fold)), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(Matching(DbfCompileFilter(*T, "NOMBRE='\xE1lvaro'", fold)), (std::vector<int>{4}));
    EXPECT_EQ(Matching(DbfCompileFilter(*T, "NOMBRE='Ju*'", literal)), (std::vector<int>{5}));
}

TEST_F(DbfFilters, BadExpressionsAreRefusedWithTheirText) {
    struct Case {
        const char* expression;
        int code;
    } cases[] = {
        {"", dbeFilterSyntax},
        {"TNC=", dbeFilterSyntax},
        {"TNC='1ESO1", dbeFilterSyntax},
        {"(TNC='x'", dbeFilterSyntax},
        {"TNC='x' TIPO='1'", dbeFilterSyntax},
        {"TNC=='x'", dbeFilterSyntax},
        {"TNC = 'x' AND", dbeFilterSyntax},
        {"TNC # 'x'", dbeFilterSyntax},
        {"TIPO='x'", dbeFilterSyntax},
        {"FECHA='yesterday'", dbeFilterSyntax},
        {"REPITE='maybe'", dbeFilterSyntax},
        {"TIPO IS 3", dbeFilterSyntax},
        {"NOPE='x'", dbeFieldNotFound},
    };
    for (const Case& c : cases) {
        try {
            DbfCompileFilter(*T, c.expression);
            ADD_FAILURE() << c.expression << " was accepted";
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), c.code) << c.expression;
            EXPECT_NE(e.Message().find(c.expression), std::string::npos) << e.Message();
        }
    }
}

TEST_F(DbfFilters, CursorFiltersCombineAndCanBeSwitched) {
    TDbfCursor c(T);
    int byCourse = c.AddFilter(TDbfFilter::AsRecordFilter(DbfCompileFilter(*T, "TNC='1ESO1'")));
    int calls = 0;
    int callback = c.AddFilter([&](const char* rec) {
        ++calls;
        return T->GetNumber(rec, 0) != 2;
    });
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{1, 4}));
    EXPECT_GT(calls, 0);
    c.SetFilterActive(byCourse, false);
    EXPECT_EQ(c.RecordCount(), 5u);
    c.RemoveFilter(callback);
    EXPECT_EQ(c.RecordCount(), 6u);
    c.SetFilterActive(byCourse, true);
    EXPECT_EQ(c.RecordCount(), 3u);
    AppendRow(*T, {{"N", "8"}, {"TNC", "1ESO1"}});  // counts follow the table
    EXPECT_EQ(c.RecordCount(), 4u);
    c.AddFilter([](const char*) -> bool { throw EDatabaseError("from the callback"); });
    EXPECT_THROW(c.First(), EDatabaseError);
}

// --- binary filter blocks, laid out as the data-aware library's parser writes them ---

namespace {

struct TExpr {
    uint32_t Op = 0;  // two-operand node
    std::shared_ptr<TExpr> L, R;
    std::string Field;  // field node
    uint16_t Type = 0;  // constant node
    std::string Value;
};
using PExpr = std::shared_ptr<TExpr>;

PExpr Fld(const char* Name) {
    auto e = std::make_shared<TExpr>();
    e->Field = Name;
    return e;
}
PExpr Const(uint16_t Type, std::string Bytes) {
    auto e = std::make_shared<TExpr>();
    e->Type = Type;
    e->Value = std::move(Bytes);
    return e;
}
template <class T>
std::string Bytes(T V) {
    std::string s(sizeof V, '\0');
    std::memcpy(s.data(), &V, sizeof V);
    return s;
}
PExpr Str(const std::string& S) { return Const(1, S + '\0'); }
PExpr Flt(double V) { return Const(7, Bytes(V)); }
PExpr Bin(uint32_t Op, PExpr L, PExpr R) {
    auto e = std::make_shared<TExpr>();
    e->Op = Op;
    e->L = std::move(L);
    e->R = std::move(R);
    return e;
}
constexpr uint32_t Eq = 3, Ne = 4, Gt = 5, Lt = 6, Ge = 7, Le = 8, And = 10, Or = 11, MinusUnary = 15,
                   Mul = 18, Div = 19, Sub = 17;

int CountNodes(const TExpr& E) { return 1 + (E.L ? CountNodes(*E.L) + CountNodes(*E.R) : 0); }

void Put16(std::string& S, size_t At, uint32_t V) {
    S[At] = char(V);
    S[At + 1] = char(V >> 8);
}
void Put32(std::string& S, size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i) S[At + i] = char(V >> (8 * i));
}

// Post-order, each node in the next slot counting down from the last; the
// root ends in slot 0. Header: version, total size, node count, node start,
// literal start; 1000 bytes of literal room.
std::string Block(const PExpr& Root) {
    const int n = CountNodes(*Root);
    std::string nodes(size_t(14 * n), '\0'), literals;
    int next = n - 1, fields = 0;
    std::function<uint32_t(const TExpr&)> write = [&](const TExpr& e) -> uint32_t {
        uint32_t left = 0, right = 0;
        if (e.L) {
            left = write(*e.L);
            right = write(*e.R);
        }
        size_t at = size_t(14 * next--);
        if (e.L) {
            Put32(nodes, at, 2);
            Put32(nodes, at + 4, e.Op);
            Put16(nodes, at + 8, left);
            Put16(nodes, at + 10, right);
        } else if (!e.Field.empty()) {
            Put32(nodes, at, 4);
            Put32(nodes, at + 4, 13);
            Put16(nodes, at + 8, uint32_t(++fields));
            Put16(nodes, at + 10, uint32_t(literals.size()));
            literals += e.Field + '\0';
        } else {
            Put32(nodes, at, 5);
            Put32(nodes, at + 4, 14);
            Put16(nodes, at + 8, e.Type);
            Put16(nodes, at + 10, uint32_t(e.Value.size()));
            Put16(nodes, at + 12, uint32_t(literals.size()));
            literals += e.Value;
        }
        return uint32_t(at);
    };
    write(*Root);
    std::string block(10, '\0');
    Put16(block, 0, 1);
    Put16(block, 2, uint32_t(10 + nodes.size() + literals.size()));
    Put16(block, 4, uint32_t(n));
    Put16(block, 6, 10);
    Put16(block, 8, uint32_t(10 + nodes.size()));
    block += nodes + literals;
    block.resize(10 + nodes.size() + 1000, '\0');
    return block;
}

}  // namespace

TEST_F(DbfFilters, FilterBlocksEvaluateWhatTheParserWrites) {
    const int32_t jan15 = 45306 + DateDelta, jan1 = 45292 + DateDelta;
    std::string bcdOne(34, '\0');
    bcdOne[0] = 3;  // three digits, two of them decimals: 1.00
    bcdOne[1] = 2;
    bcdOne[2] = 0x10;
    struct Case {
        const char* what;
        PExpr root;
        std::vector<int> rows;
    } cases[] = {
        {"NOMBRE = \"Juan\"", Bin(Eq, Fld("NOMBRE"), Str("Juan")), {1}},
        {"TNC = \"1ESO1\" AND TIPO = 1",
         Bin(And, Bin(Eq, Fld("TNC"), Str("1ESO1")), Bin(Eq, Fld("TIPO"), Flt(1))),
         {1}},
        {"N = 1 OR N = 2 AND TIPO = 2, grouped left to right",
         Bin(And, Bin(Or, Bin(Eq, Fld("N"), Flt(1)), Bin(Eq, Fld("N"), Flt(2))),
             Bin(Eq, Fld("TIPO"), Flt(2))),
         {2}},
        {"(HORAS)*(2) > 4", Bin(Gt, Bin(Mul, Fld("HORAS"), Flt(2)), Flt(4)), {1, 2}},
        {"N - 1 = 2 written with 15", Bin(Eq, Bin(MinusUnary, Fld("N"), Flt(1)), Flt(2)), {3}},
        {"N - 1 = 2 written with 17", Bin(Eq, Bin(Sub, Fld("N"), Flt(1)), Flt(2)), {3}},
        {"N / 0 = 1", Bin(Eq, Bin(Div, Fld("N"), Flt(0)), Flt(1)), {}},
        {"TIPO = 16-bit 1", Bin(Eq, Fld("TIPO"), Const(5, Bytes<int16_t>(1))), {1, 3, 6}},
        {"TIPO = 32-bit 1", Bin(Eq, Fld("TIPO"), Const(6, Bytes<int32_t>(1))), {1, 3, 6}},
        {"TIPO = BCD 1.00", Bin(Eq, Fld("TIPO"), Const(8, bcdOne)), {1, 3, 6}},
        {"TIPO <> 1, blanks are null", Bin(Ne, Fld("TIPO"), Flt(1)), {2, 5}},
        {"REPITE = TRUE", Bin(Eq, Fld("REPITE"), Const(4, Bytes<uint16_t>(0xFFFF))), {1, 4}},
        {"FECHA = 15/01/2024", Bin(Eq, Fld("FECHA"), Const(2, Bytes(jan15))), {1}},
        {"FECHA < 01/01/2024 00:00", Bin(Lt, Fld("FECHA"), Const(11, Bytes(double(jan1) * 86400000.0))), {2}},
        {"NOMBRE = \"\"", Bin(Eq, Fld("NOMBRE"), Str("")), {6}},
        {"2 < TIPO", Bin(Lt, Flt(2), Fld("TIPO")), {5}},
        {"2 >= TIPO", Bin(Ge, Flt(2), Fld("TIPO")), {1, 2, 3, 6}},
        {"\"Julia\" > NOMBRE", Bin(Gt, Str("Julia"), Fld("NOMBRE")), {1, 5, 6}},
        {"01/01/2024 <= FECHA", Bin(Le, Const(2, Bytes(jan1)), Fld("FECHA")), {1}},
    };
    for (const Case& c : cases) {
        std::string block = Block(c.root);
        EXPECT_EQ(Matching(DbfCompileFilterBlock(*T, block.data(), block.size())), c.rows) << c.what;
    }
}

TEST_F(DbfFilters, MalformedFilterBlocksAreRefused) {
    const std::string good = Block(Bin(Eq, Fld("NOMBRE"), Str("Juan")));
    struct Case {
        const char* what;
        std::function<void(std::string&)> spoil;
        int code = dbeFilterSyntax;
    } cases[] = {
        {"short", [](std::string& b) { b.resize(8); }},
        {"version", [](std::string& b) { Put16(b, 0, 2); }},
        {"size beyond the block", [](std::string& b) { Put16(b, 2, uint32_t(b.size() + 1)); }},
        {"no nodes", [](std::string& b) { Put16(b, 4, 0); }},
        {"nodes over the literals", [](std::string& b) { Put16(b, 8, 20); }},
        {"child before its parent", [](std::string& b) { Put16(b, 10 + 8, 0); }},
        {"child used twice", [](std::string& b) { Put16(b, 10 + 8, 14); }},
        {"offset between slots", [](std::string& b) { Put16(b, 10 + 8, 15); }},
        {"unknown class", [](std::string& b) { Put32(b, 10, 3); }},
        {"unknown operator", [](std::string& b) { Put32(b, 10 + 4, 9); }},
        {"unknown constant type", [](std::string& b) { Put16(b, 10 + 14 + 8, 3); }},
        {"constant of a wrong size", [](std::string& b) { Put16(b, 10 + 14 + 8, 7); }},
        {"literal outside", [](std::string& b) { Put16(b, 10 + 28 + 10, 2000); }},
        {"name without its end", [](std::string& b) { Put16(b, 2, uint32_t(10 + 42 + 3)); }},
        {"unknown field", [](std::string& b) { b[10 + 42] = 'X'; }, dbeFieldNotFound},
    };
    for (const Case& c : cases) {
        std::string block = good;
        c.spoil(block);
        try {
            DbfCompileFilterBlock(*T, block.data(), block.size());
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), c.code) << c.what << ": " << e.Message();
        }
    }
}
