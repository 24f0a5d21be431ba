// Field kinds: what goes into a record comes back out of the file.
#include <gtest/gtest.h>

#include <cstring>

#include "DbTestSupport.h"

namespace {

std::vector<TDbfFieldSpec> AllKinds() {
    return {{"NAME", 'C', 10, 0}, {"SMALL", 'N', 6, 0}, {"HOURS", 'N', 20, 4}, {"RATE", 'F', 10, 3},
            {"FLAG", 'L', 1, 0},  {"BORN", 'D', 8, 0},  {"NOTES", 'M', 10, 0}};
}

}  // namespace

TEST(DbfFields, EachKindRoundTripsThroughTheFile) {
    TTempFolder dir;
    TDbfTable::Create(dir / "kinds", AllKinds(), {});
    struct Case {
        const char* field;
        std::string written;
        std::string read;
    };
    const Case cases[] = {
        {"NAME", "  lead", "  lead"},                // leading blanks are data
        {"NAME", "tail   ", "tail"},                 // trailing ones are padding
        {"NAME", "cut to ten chars", "cut to ten"},  // cut to the width
        {"NAME", "\xC1rbol \xF1", "\xC1rbol \xF1"},  // Windows-1252 bytes as they are
        {"NAME", "", ""},
        {"SMALL", "12", "12"},
        {"SMALL", "-5", "-5"},
        {"SMALL", "", ""},  // blank numeric stays blank (null)
        {"HOURS", "2.5", "2.5000"},
        {"HOURS", "1234567.125", "1234567.1250"},
        {"RATE", "3.14159", "3.142"},  // rounded to the decimals
        {"FLAG", "T", "T"},
        {"FLAG", "f", "F"},
        {"FLAG", "y", "T"},
        {"FLAG", "", ""},
        {"BORN", "20240229", "20240229"},
        {"BORN", "", ""},
        {"NOTES", "a memo\r\nof two lines", "a memo\r\nof two lines"},
        {"NOTES", std::string(1500, 'x'), std::string(1500, 'x')},  // several blocks
        {"NOTES", "", ""},
    };
    std::vector<uint32_t> recnos;
    {
        auto t = TDbfTable::Open(dir / "kinds");
        for (const Case& c : cases) recnos.push_back(AppendRow(*t, {{c.field, c.written}}));
    }
    auto t = TDbfTable::Open(dir / "KINDS.DBF", dbfReadOnly);
    std::vector<char> buf(size_t(t->RecordLength()));
    for (size_t i = 0; i < std::size(cases); ++i) {
        t->Read(recnos[i], buf.data());
        int f = t->FieldIndex(cases[i].field);
        EXPECT_EQ(t->GetText(buf.data(), f), cases[i].read)
            << cases[i].field << " <- '" << cases[i].written << "'";
    }
}

TEST(DbfFields, BlankValuesReadAsNullExceptLogicalFalse) {
    TTempFolder dir;
    TDbfTable::Create(dir / "blank", AllKinds(), {});
    auto t = TDbfTable::Open(dir / "blank");
    AppendRow(*t, {});
    std::vector<char> buf(size_t(t->RecordLength()));
    t->Read(1, buf.data());
    bool null = false;
    EXPECT_EQ(t->GetNumber(buf.data(), t->FieldIndex("SMALL"), &null), 0);
    EXPECT_TRUE(null);
    EXPECT_FALSE(t->GetBoolean(buf.data(), t->FieldIndex("FLAG"), &null));
    EXPECT_TRUE(null);
    EXPECT_EQ(t->GetDate(buf.data(), t->FieldIndex("BORN"), &null), 0);
    EXPECT_TRUE(null);
    for (int f = 0; f < t->FieldCount(); ++f) EXPECT_TRUE(t->IsBlank(buf.data(), f)) << t->Field(f).Name;
    EXPECT_EQ(t->GetMemo(buf.data(), t->FieldIndex("NOTES")), "");
}

TEST(DbfFields, NumbersDatesAndLogicalsAsValues) {
    TTempFolder dir;
    TDbfTable::Create(dir / "values", AllKinds(), {});
    auto t = TDbfTable::Open(dir / "values");
    std::vector<char> buf(size_t(t->RecordLength()));
    t->BlankRecord(buf.data());
    t->SetNumber(buf.data(), t->FieldIndex("HOURS"), 2.5);
    t->SetNumber(buf.data(), t->FieldIndex("SMALL"), 999999);
    t->SetBoolean(buf.data(), t->FieldIndex("FLAG"), true);
    t->SetDate(buf.data(), t->FieldIndex("BORN"), 45351);  // 29 February 2024
    t->Append(buf.data());
    t->Read(1, buf.data());
    EXPECT_EQ(t->GetNumber(buf.data(), t->FieldIndex("HOURS")), 2.5);
    EXPECT_EQ(t->GetNumber(buf.data(), t->FieldIndex("SMALL")), 999999);
    EXPECT_TRUE(t->GetBoolean(buf.data(), t->FieldIndex("FLAG")));
    EXPECT_EQ(t->GetDate(buf.data(), t->FieldIndex("BORN")), 45351);
    EXPECT_EQ(t->GetText(buf.data(), t->FieldIndex("BORN")), "20240229");
}

TEST(DbfFields, ValuesThatDoNotFitAreRefusedAndTheBufferKept) {
    TTempFolder dir;
    TDbfTable::Create(dir / "refuse", AllKinds(), {});
    auto t = TDbfTable::Open(dir / "refuse");
    auto buf = Row(*t, {{"SMALL", "7"}});
    const std::string before(buf.begin(), buf.end());
    auto refused = [&](auto&& Write) {
        try {
            Write();
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), dbeValueRange) << e.Message();
            return true;
        }
        return false;
    };
    EXPECT_TRUE(refused([&] { t->SetNumber(buf.data(), t->FieldIndex("SMALL"), 1234567); }));
    EXPECT_TRUE(refused([&] { t->SetText(buf.data(), t->FieldIndex("SMALL"), "12a"); }));
    EXPECT_TRUE(refused([&] { t->SetText(buf.data(), t->FieldIndex("FLAG"), "maybe"); }));
    EXPECT_TRUE(refused([&] { t->SetText(buf.data(), t->FieldIndex("BORN"), "20230230"); }));
    EXPECT_TRUE(refused([&] { t->SetNumber(buf.data(), t->FieldIndex("NAME"), 1); }));
    EXPECT_TRUE(refused([&] {
        t->SetMemo(buf.data(), t->FieldIndex("NOTES"),
                   std::string("a\x1A"
                               "b"));
    }));
    EXPECT_EQ(std::string(buf.begin(), buf.end()), before);
}

TEST(DbfFields, ForeignSpellingsOfLogicalsAndNumbersAreRead) {
    TTempFolder dir;
    TDbfTable::Create(dir / "foreign", AllKinds(), {});
    auto t = TDbfTable::Open(dir / "foreign");
    std::vector<char> buf(size_t(t->RecordLength()));
    const TDbfFieldDef& flag = t->Field(t->FieldIndex("FLAG"));
    const TDbfFieldDef& hours = t->Field(t->FieldIndex("HOURS"));
    struct Case {
        char stored;
        bool value, null;
    } cases[] = {{'Y', true, false},  {'y', true, false},  {'t', true, false}, {'N', false, false},
                 {'n', false, false}, {'f', false, false}, {'?', false, true}, {' ', false, true}};
    for (const Case& c : cases) {
        t->BlankRecord(buf.data());
        buf[size_t(flag.Offset)] = c.stored;
        bool null;
        EXPECT_EQ(t->GetBoolean(buf.data(), t->FieldIndex("FLAG"), &null), c.value) << c.stored;
        EXPECT_EQ(null, c.null) << c.stored;
    }
    std::memcpy(buf.data() + hours.Offset, "  ***overflow******", 19);
    bool null;
    EXPECT_EQ(t->GetNumber(buf.data(), t->FieldIndex("HOURS"), &null), 0);
    EXPECT_TRUE(null);
}

TEST(DbfFields, DeletedRowsAreHiddenButKept) {
    TTempFolder dir;
    TDbfTable::Create(dir / "del", {{"N", 'N', 6, 0}}, {{"N", "N"}});
    auto t = TDbfTable::Open(dir / "del");
    for (int i = 1; i <= 5; ++i) AppendRow(*t, {{"N", std::to_string(i)}});
    t->Delete(2);
    t->Delete(4);
    t->Delete(4);  // twice is once
    TDbfCursor physical(t), ordered(t);
    ordered.SetOrder(0);
    EXPECT_EQ(Walk(physical), (std::vector<uint32_t>{1, 3, 5}));
    EXPECT_EQ(Walk(ordered), (std::vector<uint32_t>{1, 3, 5}));
    EXPECT_EQ(physical.RecordCount(), 3u);
    EXPECT_EQ(t->PhysicalCount(), 5u);  // never packed
    EXPECT_FALSE(physical.GotoRecord(2));
    t->Flush();
    EXPECT_TRUE(t->CheckTags().empty());
}

TEST(DbfFields, KindsOfTheDataSetLayerTakeTheirFixedWidths) {
    struct Case {
        TDbfKind kind;
        int size;
        char type;
        int length, decimals;
    } cases[] = {
        {TDbfKind::String, 40, 'C', 40, 0},  {TDbfKind::SmallInt, 0, 'N', 6, 0},
        {TDbfKind::Word, 0, 'N', 6, 0},      {TDbfKind::Integer, 0, 'N', 11, 0},
        {TDbfKind::AutoInc, 0, 'N', 11, 0},  {TDbfKind::Float, 0, 'N', 20, 4},
        {TDbfKind::Currency, 0, 'N', 20, 4}, {TDbfKind::BCD, 2, 'N', 20, 2},
        {TDbfKind::Boolean, 0, 'L', 1, 0},   {TDbfKind::Date, 0, 'D', 8, 0},
        {TDbfKind::Memo, 0, 'M', 10, 0},
    };
    for (const Case& c : cases) {
        TDbfFieldSpec s = DbfFieldSpecFor("F", c.kind, c.size);
        EXPECT_EQ(s.Type, c.type);
        EXPECT_EQ(s.Length, c.length);
        EXPECT_EQ(s.Decimals, c.decimals);
    }
    EXPECT_THROW(DbfFieldSpecFor("T", TDbfKind::Time, 0), EDBEngineError);
    EXPECT_EQ(DbfKindOf({"X", 'N', 6, 0, 1}), TDbfKind::Float);  // small integers read back as floats
    EXPECT_EQ(DbfKindOf({"X", 'Q', 6, 0, 1}), TDbfKind::String);
}

TEST(DbfFields, BadDefinitionsCreateNothing) {
    TTempFolder dir;
    struct Case {
        const char* why;
        std::vector<TDbfFieldSpec> fields;
        std::vector<TDbfIndexSpec> indexes;
    } cases[] = {
        {"no fields", {}, {}},
        {"bad name", {{"1ST", 'C', 5, 0}}, {}},
        {"long name", {{"ELEVENCHARS", 'C', 5, 0}}, {}},
        {"duplicate", {{"A", 'C', 5, 0}, {"a", 'N', 5, 0}}, {}},
        {"too wide", {{"A", 'C', 255, 0}}, {}},
        {"decimals", {{"A", 'N', 4, 3}}, {}},
        {"logical width", {{"A", 'L', 2, 0}}, {}},
        {"unknown type", {{"A", 'X', 2, 0}}, {}},
        {"index field", {{"A", 'C', 5, 0}}, {{"B", "B"}}},
        {"memo key", {{"A", 'M', 10, 0}}, {{"A", "A"}}},
        {"logical key", {{"A", 'L', 1, 0}}, {{"A", "A"}}},
        {"numbers joined", {{"A", 'N', 5, 0}, {"B", 'C', 5, 0}}, {{"AB", "A;B"}}},
        {"long key", {{"A", 'C', 200, 0}}, {{"A", "A"}}},
        {"index name twice", {{"A", 'C', 5, 0}}, {{"A", "A"}, {"a", "A", true}}},
    };
    for (const Case& c : cases) {
        try {
            TDbfTable::Create(dir / "bad", c.fields, c.indexes);
            ADD_FAILURE() << c.why << " was accepted";
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), dbeBadDefinition) << c.why;
        }
        EXPECT_EQ(TDbfTable::Find(dir / "bad"), "") << c.why;
    }
}
