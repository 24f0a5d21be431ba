// wwFilter expressions: the trees the parser makes, the block bytes it
// writes, what it refuses, and the records its blocks keep against the
// engine's text filter of the same meaning.
#include <gtest/gtest.h>

#include <cstring>

#include "LibraryTestSupport.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwfilterexpr.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"

namespace {
using TNames = std::vector<AnsiString>;

// "(op left right)", operands with their constant type after a colon.
std::string Shape(const TNode* Node) {
    if (!Node) return "null";
    if (Node->Kind == nkOperand)
        return Node->Text + (Node->ConstType ? ":" + std::to_string(Node->ConstType) : "");
    return "(" + Node->Text + " " + Shape(Node->Left.get()) + " " + Shape(Node->Right.get()) + ")";
}

uint32_t Get16(const std::vector<uint8_t>& B, size_t At) { return B[At] | (B[At + 1] << 8); }
uint32_t Get32(const std::vector<uint8_t>& B, size_t At) { return Get16(B, At) | (Get16(B, At + 2) << 16); }

class FilterParser : public DataAwareFixture {
protected:
    TwwTable* Table = nullptr;
    void SetUp() override {
        DataAwareFixture::SetUp();
        CreateTable("filtro",
                    {{"NOMBRE", ftString, 70},
                     {"TNC", ftString, 4},
                     {"NOTA", ftFloat},
                     {"QTY", ftFloat},
                     {"PRICE", ftFloat},
                     {"X", ftFloat},
                     {"Y", ftFloat},
                     {"Z", ftFloat},
                     {"ANDERSON", ftFloat},
                     {"ORDERS", ftFloat},
                     {"ACTIVO", ftBoolean},
                     {"FECHA", ftDate}},
                    {{"NOMBRE", "NOMBRE"}});
        AddRows("filtro",
                {{{"NOMBRE", "Ana"},
                  {"TNC", "M1A"},
                  {"NOTA", "9"},
                  {"X", "1"},
                  {"Y", "5"},
                  {"Z", "3"},
                  {"ACTIVO", "T"},
                  {"FECHA", "01/02/2003"},
                  {"QTY", "2"},
                  {"PRICE", "10"}},
                 {{"NOMBRE", "Bea"},
                  {"TNC", "M1A"},
                  {"NOTA", "5,5"},
                  {"X", "2"},
                  {"Y", "2"},
                  {"Z", "3"},
                  {"ACTIVO", "F"},
                  {"FECHA", "15/06/2004"},
                  {"QTY", "0"},
                  {"PRICE", "3"}},
                 {{"NOMBRE", "Carlos"},
                  {"TNC", "M2A"},
                  {"NOTA", "7"},
                  {"X", "1"},
                  {"Y", "2"},
                  {"Z", "4"},
                  {"ACTIVO", "T"},
                  {"FECHA", "31/12/2002"},
                  {"QTY", "-7"},
                  {"PRICE", "1"}},
                 {{"NOMBRE", "ana"}, {"TNC", "M2A"}, {"NOTA", ""}, {"X", "3"}, {"Y", "2"}, {"Z", "3"}},
                 {{"NOMBRE", "Smith AND AGE"},
                  {"TNC", "M1B"},
                  {"NOTA", "4"},
                  {"X", "1"},
                  {"Y", "1"},
                  {"Z", "1"},
                  {"ACTIVO", "T"},
                  {"FECHA", "01/02/2003"}}});
        Table = NewWwTable("filtro", "NOMBRE");
        Table->Open();
    }
    TNames Kept(const char* WwFilter) {
        TStringList lines;
        lines.Add(WwFilter);
        Table->SetwwFilter(&lines);
        return Column(Table, "NOMBRE");
    }
    TNames KeptByEngine(const char* Filter) {
        TTable* plain = NewTable("filtro", "NOMBRE");
        plain->SetFilter(Filter);
        plain->SetFiltered(true);
        plain->Open();
        TNames names = Column(plain, "NOMBRE");
        plain->Free();
        return names;
    }
};

TEST_F(FilterParser, TreesGroupAsTheLanguageSays) {
    struct Case {
        const char* Text;
        const char* Shape;
    } cases[] = {
        {"X = 1 OR Y = 2 AND Z = 3", "(AND (OR (= X 1:2) (= Y 2:2)) (= Z 3:2))"},
        {"(PRICE)*(2)/(QTY)", "(/ (* PRICE 2:2) QTY)"},
        {"QTY > -5", "(> QTY -5:2)"},
        {"NOMBRE = \"Smith\"", "(= NOMBRE \"Smith\":1)"},
        {"NOMBRE = Smith", "(= NOMBRE Smith:1)"},
        {"NOMBRE = NOTA", "(= NOMBRE NOTA:1)"},  // the right side of a field is a constant
        {"ANDERSON = 1", "(= ANDERSON 1:2)"},    // AND is no operator before a relation
        {"X = 1 or ORDERS = 2", "(or (= X 1:2) (= ORDERS 2:2))"},
        {"(ACTIVO = T) AND FECHA >= \"01/02/2003\"", "(AND (= ACTIVO T:6) (>= FECHA \"01/02/2003\":4))"},
        {"(X = 1)", "(= X 1:2)"},
        {"\tX\t=\t1\t", "(= X 1:2)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Shape(ParseFilterExpression(c.Text, Table).get()), c.Shape) << c.Text;
}

TEST_F(FilterParser, RefusesWhatIsNoWholeExpression) {
    for (const char* text : {"", "X =", "(X = 1", "X = 1)", "X == 1", "= 1", "X = 1 AND", "X = 1 % 2",
                             // Text after a complete expression is no longer passed over.
                             "NOMBRE = Smith AND NOTA > 3",
                             // ORDERS is a name, not OR followed by DERS.
                             "X = 1 ORDERS = 2", "X = \"open"}) {
        EXPECT_EQ(ParseFilterExpression(text, Table), nullptr) << text;
        EXPECT_TRUE(BuildFilterBlock(text, Table).empty()) << text;
    }
    // A name on the left that the table lacks is said in a warning.
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK);
    EXPECT_EQ(ParseFilterExpression("LAST NAME = 1", Table), nullptr);
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].Text, "LAST NAME\rField not found in Table. ");
    EXPECT_EQ(dialogs.Asked()[0].DlgType, mtWarning);
}

TEST_F(FilterParser, BlockOfAComparison) {
    std::vector<uint8_t> block = BuildFilterBlock("NOMBRE = \"Smith\"", Table);
    ASSERT_EQ(block.size(), 10u + 3 * 14 + 7 + 6);
    // Header: version, size, nodes, node area, literal area.
    EXPECT_EQ(Get16(block, 0), 1u);
    EXPECT_EQ(Get16(block, 2), block.size());
    EXPECT_EQ(Get16(block, 4), 3u);
    EXPECT_EQ(Get16(block, 6), 10u);
    EXPECT_EQ(Get16(block, 8), 52u);
    // Slot 0, the root: the comparison "=" of the nodes at 28 and 14.
    EXPECT_EQ(Get32(block, 10), 2u);
    EXPECT_EQ(Get32(block, 14), 3u);
    EXPECT_EQ(Get16(block, 18), 28u);
    EXPECT_EQ(Get16(block, 20), 14u);
    // Slot 1: the constant, a text of 6 bytes after the field's name.
    EXPECT_EQ(Get32(block, 24), 5u);
    EXPECT_EQ(Get32(block, 28), 14u);
    EXPECT_EQ(Get16(block, 32), 1u);
    EXPECT_EQ(Get16(block, 34), 6u);
    EXPECT_EQ(Get16(block, 36), 7u);
    // Slot 2: the field, number 1, its name at the literal area's start.
    EXPECT_EQ(Get32(block, 38), 4u);
    EXPECT_EQ(Get32(block, 42), 13u);
    EXPECT_EQ(Get16(block, 46), 1u);
    EXPECT_EQ(Get16(block, 48), 0u);
    EXPECT_EQ(std::memcmp(block.data() + 52, "NOMBRE\0Smith\0", 13), 0);
}

TEST_F(FilterParser, BlockOperatorsAndConstants) {
    // "-" between two operands is the engine's binary minus.
    std::vector<uint8_t> minus = BuildFilterBlock("(X)-(1)", Table);
    ASSERT_FALSE(minus.empty());
    EXPECT_EQ(Get32(minus, 14), 17u);
    std::vector<uint8_t> block = BuildFilterBlock("(ACTIVO = t) OR FECHA = \"01/02/2003\"", Table);
    ASSERT_EQ(Get16(block, 4), 7u);
    const size_t literals = Get16(block, 8);
    // Post-order from the last slot: ACTIVO, T, =, FECHA, date, =, OR at slot 0.
    EXPECT_EQ(Get32(block, 10 + 4), 11u);
    const size_t trueConstant = 10 + 5 * 14, dateConstant = 10 + 2 * 14;
    EXPECT_EQ(Get16(block, trueConstant + 8), 4u);
    EXPECT_EQ(Get16(block, literals + Get16(block, trueConstant + 12)), 0xFFFFu);
    EXPECT_EQ(Get16(block, dateConstant + 8), 2u);
    EXPECT_EQ(Get32(block, literals + Get16(block, dateConstant + 12)),
              static_cast<uint32_t>(DateTimeToTimeStamp(EncodeDate(2003, 2, 1)).Date));
    // The second field node is field number 2.
    EXPECT_EQ(Get16(block, 10 + 3 * 14 + 8), 2u);
}

TEST_F(FilterParser, BlocksKeepWhatTheEnginesTextFilterKeeps) {
    struct Case {
        const char* WwFilter;
        const char* Engine;
    } cases[] = {
        {"NOMBRE = \"Ana\"", "NOMBRE = 'Ana'"},
        {"NOMBRE = Ana", "NOMBRE = 'Ana'"},
        {"NOMBRE <> \"Ana\"", "NOMBRE <> 'Ana'"},
        {"NOMBRE > \"B\"", "NOMBRE > 'B'"},
        {"NOMBRE = \"Smith AND AGE\"", "NOMBRE = 'Smith AND AGE'"},
        {"NOTA >= 7", "NOTA >= 7"},
        {"NOTA < 5,6", "NOTA < 5.6"},
        {"NOTA = 9", "NOTA = 9"},
        {"NOTA <> 9", "NOTA <> 9"},
        {"TNC = \"M1A\" AND NOTA > 6", "TNC = 'M1A' AND NOTA > 6"},
        {"TNC = \"M1A\" OR TNC = \"M2A\" AND NOTA > 6", "(TNC = 'M1A' OR TNC = 'M2A') AND NOTA > 6"},
        {"X = 1 OR Y = 2 AND Z = 3", "(X = 1 OR Y = 2) AND Z = 3"},
        {"ACTIVO = T", "ACTIVO = TRUE"},
        {"ACTIVO = F", "ACTIVO = FALSE"},
        {"FECHA > \"01/01/2003\"", "FECHA > '01/01/2003'"},
        {"FECHA = \"01/02/2003\" AND (NOTA < 5)", "FECHA = '01/02/2003' AND NOTA < 5"},
        {"QTY <= -1", "QTY <= -1"},
    };
    for (const Case& c : cases) EXPECT_EQ(Kept(c.WwFilter), KeptByEngine(c.Engine)) << c.WwFilter;
    // Arithmetic, which the text filter has no words for: a number is no truth.
    EXPECT_EQ(Kept("(PRICE)*(2)"), TNames{});
}

TEST_F(FilterParser, LongExpressionsAndTheirLimits) {
    // Twenty long constants need more than 1,000 bytes of literals.
    std::string text, engine;
    for (int i = 0; i < 20; ++i) {
        std::string name = "Nadie " + std::string(60, static_cast<char>('a' + i));
        text += (i ? " OR " : "") + std::string("NOMBRE = \"") + name + "\"";
        engine += (i ? " OR " : "") + std::string("NOMBRE = '") + name + "'";
    }
    text += " OR NOMBRE = \"Bea\"";
    engine += " OR NOMBRE = 'Bea'";
    ASSERT_GT(BuildFilterBlock(text, Table).size(), 1000u + 10 + 14 * 81);
    EXPECT_EQ(Kept(text.c_str()), KeptByEngine(engine.c_str()));
    EXPECT_EQ(Kept(text.c_str()), TNames{"Bea"});
    // A constant of 70 characters is kept whole, not cut after its 64th: a
    // value as long as a character field may be filtered on (the reason is
    // told in wwfilterexpr.h).
    std::string seventy(70, 'q');
    std::unique_ptr<TNode> tree = ParseFilterExpression("NOMBRE = \"" + seventy + "\"", Table);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Right->Text, "\"" + seventy + "\"");
    // A block past the header's 16 bits is refused.
    EXPECT_TRUE(BuildFilterBlock("NOMBRE = \"" + std::string(70000, 'z') + "\"", Table).empty());
}

TEST_F(FilterParser, AFailedTextLeavesNoFilterBehind) {
    int handle = 0;
    ASSERT_TRUE(ApplyFilterText("TNC = \"M1A\"", Table, handle, false));
    EXPECT_GT(handle, 0);
    EXPECT_EQ(Table->RecordCount(), 2);
    // A text that does not parse drops the old filter too, so it cannot stay unreachable.
    EXPECT_FALSE(ApplyFilterText("TNC = ", Table, handle, false));
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(Table->RecordCount(), 5);
    // A constant that does not convert raises, and leaves no filter either.
    ASSERT_TRUE(ApplyFilterText("TNC = \"M1A\"", Table, handle, false));
    EXPECT_THROW(ApplyFilterText("NOTA > \"mucho\"", Table, handle, false), EConvertError);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(Table->RecordCount(), 5);
    // A block the engine refuses (a calculated field is no column of the file).
    ASSERT_TRUE(ApplyFilterText("TNC = \"M1A\"", Table, handle, false));
    EXPECT_FALSE(ApplyFilterText("(X)-(1) > 0", Table, handle, false));  // "0" names no field
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(Table->RecordCount(), 5);
    // An empty text drops the filter and answers true; a closed table only forgets it.
    ASSERT_TRUE(ApplyFilterText("TNC = \"M1A\"", Table, handle, false));
    EXPECT_TRUE(ApplyFilterText("", Table, handle, false));
    EXPECT_EQ(Table->RecordCount(), 5);
    handle = 7;
    Table->Close();
    EXPECT_TRUE(ApplyFilterText("TNC = \"M1A\"", Table, handle, false));
    EXPECT_EQ(handle, 0);
}

TEST_F(FilterParser, RecordCallbackNeedsACursor) {
    int handle = 0;
    ASSERT_TRUE(SetRecordFilterCallback([](const char*) { return false; }, Table, handle));
    EXPECT_TRUE(Table->IsEmpty());
    EXPECT_TRUE(SetRecordFilterCallback(nullptr, Table, handle));
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(Table->RecordCount(), 5);
    Table->Close();
    EXPECT_FALSE(SetRecordFilterCallback([](const char*) { return true; }, Table, handle));
    EXPECT_EQ(handle, 0);
}

TEST_F(FilterParser, QueryDriversOfOtherTableKinds) {
    // Those tables take their text through a driver module, used only when one
    // is loaded; none ever is here.
    if (!LoadedQueryDriverModule()) GTEST_SKIP() << "no query driver module is loaded";
    FAIL() << "a query driver module is loaded";
}
}  // namespace
