// Tags and cursors: key order, upkeep, seeks, ranges, navigation.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "DbTestSupport.h"

namespace {

struct TRow {
    std::string n, name, count;
};

// Numbers as dBase keys them: blank is 0.
double Num(const std::string& S) { return S.empty() ? 0 : std::stod(S); }

class DbfOrders : public ::testing::Test {
protected:
    void SetUp() override {
        TDbfTable::Create(Dir / "ord", {{"N", 'N', 6, 0}, {"NAME", 'C', 12, 0}, {"COUNT", 'N', 6, 0}},
                          {{"N", "N"}, {"NAME", "NAME"}, {"COUNT", "COUNT", true}});
        Table = TDbfTable::Open(Dir / "ord");
    }
    void Add(const TRow& R) {
        AppendRow(*Table, {{"N", R.n}, {"NAME", R.name}, {"COUNT", R.count}});
        Rows[Table->PhysicalCount()] = R;
    }
    // The visible records sorted by a key of the test's own, ties by record number.
    template <class Less>
    std::vector<uint32_t> Expected(Less Before) {
        std::vector<uint32_t> recnos;
        for (const auto& [r, row] : Rows) recnos.push_back(r);
        std::stable_sort(recnos.begin(), recnos.end(),
                         [&](uint32_t a, uint32_t b) { return Before(Rows[a], Rows[b]); });
        return recnos;
    }
    void ExpectAllOrders(const char* When) {
        TDbfCursor c(Table);
        c.SetOrder(Table->FindTag("N"));
        EXPECT_EQ(Walk(c), Expected([](const TRow& a, const TRow& b) { return Num(a.n) < Num(b.n); }))
            << When;
        c.SetOrder(Table->FindTag("NAME"));
        EXPECT_EQ(Walk(c), Expected([](const TRow& a, const TRow& b) {
                      return std::string_view(a.name).compare(b.name) < 0;  // bytes, unsigned
                  }))
            << When;
        c.SetOrder(Table->FindTag("COUNT"));
        EXPECT_EQ(Walk(c), Expected([](const TRow& a, const TRow& b) { return Num(a.count) > Num(b.count); }))
            << When;
    }

    TTempFolder Dir;
    std::shared_ptr<TDbfTable> Table;
    std::map<uint32_t, TRow> Rows;
};

}  // namespace

TEST_F(DbfOrders, TagsFollowASortOfTheRowsThroughChangesAndReopening) {
    const TRow rows[] = {
        {"10",
         "mar\xED"
         "a",
         "3"},
        {"2", "Zo\xEB", "7"},
        {"", "ana", ""},
        {"-4", "\xC1ngel", "7"},
        {"2", "ana", "3"},
        {"10", "Ana", "12"},
        {"0", "b", "7"},
        {"3.5", "", "-1"},
        {"999", "ANA", "3"},
    };
    for (const TRow& r : rows) Add(r);
    ExpectAllOrders("after appending");

    // Key changes move records; other changes leave them.
    Table->Update(2, Row(*Table, {{"N", "-10"}, {"NAME", "Zo\xEB"}, {"COUNT", "100"}}).data());
    Rows[2] = {"-10", "Zo\xEB", "100"};
    Table->Update(5, Row(*Table, {{"N", "2"}, {"NAME", "aaa"}, {"COUNT", "3"}}).data());
    Rows[5] = {"2", "aaa", "3"};
    Table->Delete(7);
    Rows.erase(7);
    Add({"1", "\xF1u", "7"});
    ExpectAllOrders("after changes");

    Table->Flush();
    EXPECT_EQ(Table->CheckTags(), std::vector<AnsiString>{});
    Table.reset();
    Table = TDbfTable::Open(Dir / "ord", dbfReadOnly);
    ExpectAllOrders("after reopening");
}

TEST_F(DbfOrders, EqualKeysKeepRecordOrderInBothDirections) {
    for (int i = 0; i < 6; ++i) Add({std::to_string(i % 2), "same", std::to_string(i % 2)});
    TDbfCursor c(Table);
    c.SetOrder(Table->FindTag("N"));
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{1, 3, 5, 2, 4, 6}));
    c.SetOrder(Table->FindTag("COUNT"));
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{2, 4, 6, 1, 3, 5}));
    c.SetOrder(Table->FindTag("NAME"));
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    c.SetOrder(Table->FindTag("COUNT"));
    EXPECT_LT(c.CompareRecords(2, 1), 0);
    EXPECT_LT(c.CompareRecords(1, 3), 0);  // equal keys: record order
    EXPECT_GT(c.CompareRecords(3, 1), 0);
    EXPECT_EQ(c.CompareRecords(4, 4), 0);
    c.SetOrder(-1);
    EXPECT_GT(c.CompareRecords(2, 1), 0);
}

TEST_F(DbfOrders, SeeksFindExactNearestAndPartialKeys) {
    for (const char* name : {"Juan", "Julia", "Ana", "Juan", "Pedro"}) Add({"1", name, "1"});
    TDbfCursor c(Table);
    int tag = Table->FindTag("NAME");
    c.SetOrder(tag);
    struct Case {
        const char* key;
        TDbfSeekMode mode;
        bool partial;
        bool found;
        uint32_t recno;  // where the cursor stands afterwards (0: Eof)
    } cases[] = {
        {"Juan", dbfSeekExact, false, true, 1},  // the first of the equal keys
        {"Ju", dbfSeekExact, false, false, 1},   // no move on a miss
        {"Ju", dbfSeekExact, true, true, 1},     {"Jul", dbfSeekExact, true, true, 2},
        {"Jo", dbfSeekNearest, false, true, 1},  {"Juanito", dbfSeekNearest, false, true, 2},
        {"Zz", dbfSeekNearest, false, false, 0},
    };
    for (const Case& k : cases) {
        c.GotoRecord(1);
        bool found = c.Seek(Table->MakeKey(tag, {TDbfValue::FromText(k.key)}, k.partial), k.mode);
        EXPECT_EQ(found, k.found) << k.key;
        EXPECT_EQ(c.RecNo(), k.recno) << k.key;
        EXPECT_EQ(c.Eof(), k.recno == 0) << k.key;
    }
    c.SetOrder(Table->FindTag("COUNT"));
    EXPECT_THROW(c.Seek(Table->MakeKey(tag, {TDbfValue::FromText("Ana")}), dbfSeekExact), EDBEngineError);
}

TEST_F(DbfOrders, SeeksAndCountsHonourFiltersAndDeletions) {
    for (int i = 1; i <= 6; ++i) Add({std::to_string(i), i % 2 ? "odd" : "even", "0"});
    Table->Delete(1);
    TDbfCursor c(Table);
    int tag = Table->FindTag("NAME");
    c.SetOrder(tag);
    c.AddFilter([&](const char* rec) { return Table->GetNumber(rec, 0) > 4; });
    EXPECT_TRUE(c.Seek(Table->MakeKey(tag, {TDbfValue::FromText("odd")}), dbfSeekExact));
    EXPECT_EQ(c.RecNo(), 5u);
    EXPECT_TRUE(c.Seek(Table->MakeKey(tag, {TDbfValue::FromText("even")}), dbfSeekExact));
    EXPECT_EQ(c.RecNo(), 6u);
    EXPECT_EQ(c.RecordCount(), 2u);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{6, 5}));
    int numbers = Table->FindTag("N");
    c.SetOrder(numbers);
    EXPECT_FALSE(c.Seek(Table->MakeKey(numbers, {TDbfValue::FromNumber(3)}), dbfSeekExact));
    EXPECT_TRUE(c.Seek(Table->MakeKey(numbers, {TDbfValue::FromText("3")}), dbfSeekNearest));
    EXPECT_EQ(c.RecNo(), 5u);
    EXPECT_EQ(c.SequenceNumber(), 1u);
}

TEST_F(DbfOrders, RangesLimitTheOrderInItsDirection) {
    for (int i = 1; i <= 8; ++i) Add({std::to_string(i), "n" + std::to_string(i), std::to_string(i)});
    TDbfCursor c(Table);
    int up = Table->FindTag("N"), down = Table->FindTag("COUNT");
    c.SetOrder(up);
    TDbfKey from = Table->MakeKey(up, {TDbfValue::FromNumber(3)}),
            to = Table->MakeKey(up, {TDbfValue::FromNumber(5)});
    c.SetRange(&from, &to);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{3, 4, 5}));
    EXPECT_EQ(c.RecordCount(), 3u);
    EXPECT_FALSE(c.GotoRecord(6));
    EXPECT_TRUE(c.Last());
    EXPECT_EQ(c.RecNo(), 5u);
    c.SetOrder(down);
    TDbfKey high = Table->MakeKey(down, {TDbfValue::FromNumber(6)});
    c.SetRange(&high, nullptr);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{6, 5, 4, 3, 2, 1}));
    int names = Table->FindTag("NAME");
    c.SetOrder(names);
    TDbfKey prefix = Table->MakeKey(names, {TDbfValue::FromText("n")}, true);
    TDbfKey upTo = Table->MakeKey(names, {TDbfValue::FromText("n4")});
    c.SetRange(&prefix, &upTo);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST_F(DbfOrders, NavigationStopsOnTheCracksAndResumesAroundAVanishedRecord) {
    for (int i = 1; i <= 4; ++i) Add({std::to_string(i), "x", "0"});
    TDbfCursor c(Table), other(Table);
    c.SetOrder(Table->FindTag("N"));
    EXPECT_TRUE(c.Bof());
    EXPECT_FALSE(c.Prior());
    EXPECT_TRUE(c.Last());
    EXPECT_FALSE(c.Next());
    EXPECT_TRUE(c.Eof());
    EXPECT_TRUE(c.Prior());
    EXPECT_EQ(c.RecNo(), 4u);
    ASSERT_TRUE(c.GotoRecord(2));
    Table->Delete(2);  // through another holder: the cursor sees it at once
    EXPECT_FALSE(c.Refresh());
    EXPECT_FALSE(c.OnRecord());
    EXPECT_TRUE(c.Next());
    EXPECT_EQ(c.RecNo(), 3u);
    ASSERT_TRUE(c.GotoRecord(3));
    Table->Update(3, Row(*Table, {{"N", "0"}, {"NAME", "x"}, {"COUNT", "0"}}).data());
    EXPECT_TRUE(c.Refresh());
    EXPECT_TRUE(c.Next());  // the record moved to the front: its neighbour follows
    EXPECT_EQ(c.RecNo(), 1u);
    Table->Empty();
    EXPECT_FALSE(c.Next());
    EXPECT_FALSE(c.First());
    EXPECT_EQ(other.RecordCount(), 0u);
}

TEST(DbfOrderKinds, CaseInsensitiveMultiFieldDateAndExpressionOrders) {
    TTempFolder dir;
    TDbfTable::Create(dir / "kinds", {{"NOMBRE", 'C', 8, 0}, {"TNC", 'C', 3, 0}, {"BORN", 'D', 8, 0}},
                      {{"UNOMBRE", "NOMBRE", false, true},
                       {"NOMTNC", "NOMBRE;TNC"},
                       {"BORN", "BORN", true},
                       {"BYTNC", "TNC+DTOS(BORN)", false, false, true}});
    auto t = TDbfTable::Open(dir / "kinds");
    AppendRow(*t, {{"NOMBRE", "beta"}, {"TNC", "B"}, {"BORN", "20200101"}});
    AppendRow(*t, {{"NOMBRE", "\xC1lvaro"}, {"TNC", "A"}, {"BORN", "19991231"}});
    AppendRow(*t, {{"NOMBRE", "Beta"}, {"TNC", "A"}, {"BORN", ""}});
    AppendRow(*t, {{"NOMBRE", "alba"}, {"TNC", "B"}, {"BORN", "20200101"}});
    AppendRow(*t, {{"NOMBRE", "Beta"}, {"TNC", "0"}, {"BORN", "20210101"}});
    TDbfCursor c(t);
    struct Case {
        const char* tag;
        std::vector<uint32_t> order;
    } cases[] = {
        {"UNOMBRE", {4, 1, 3, 5, 2}},  // ALBA, BETA x3 in record order, then the accented capital (0xC1)
        {"NOMTNC", {5, 3, 4, 1, 2}},   // bytes: "Beta0" < "BetaA" < "alba" < "beta" < accented
        {"BORN", {5, 1, 4, 2, 3}},     // descending; the blank date last
        {"BYTNC", {5, 3, 2, 1, 4}},
    };
    for (const Case& k : cases) {
        c.SetOrder(t->FindTag(k.tag));
        EXPECT_EQ(Walk(c), k.order) << k.tag;
    }
    TDbfOrderInfo ci = t->OrderInfo(t->FindTag("UNOMBRE"));
    EXPECT_EQ(ci.Fields, "NOMBRE");
    EXPECT_TRUE(ci.CaseInsensitive);
    EXPECT_FALSE(ci.IsExpression);
    EXPECT_EQ(ci.Expression, "UPPER(NOMBRE)");
    EXPECT_EQ(t->OrderInfo(t->FindTag("NOMTNC")).Fields, "NOMBRE;TNC");
    TDbfOrderInfo ex = t->OrderInfo(t->FindTag("BYTNC"));
    EXPECT_TRUE(ex.IsExpression);
    EXPECT_EQ(ex.Fields, "");
    int upper = t->FindTag("UNOMBRE");
    c.SetOrder(upper);
    EXPECT_TRUE(c.Seek(t->MakeKey(upper, {TDbfValue::FromText("BE")}, true), dbfSeekExact));
    EXPECT_EQ(c.RecNo(), 1u);
    EXPECT_TRUE(c.Seek(t->MakeKey(upper, {TDbfValue::FromText("\xE1lvaro")}), dbfSeekExact));
    EXPECT_EQ(c.RecNo(), 2u);
    t->Flush();
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

TEST(DbfOrderKinds, FieldListsWithoutATagGetAnOrderKeptUpToDate) {
    TTempFolder dir;
    TDbfTable::Create(dir / "lists", {{"A", 'C', 2, 0}, {"B", 'N', 4, 0}}, {{"A", "A"}});
    auto t = TDbfTable::Open(dir / "lists");
    for (auto [a, b] : {std::pair{"x", "2"}, {"y", "1"}, {"x", "1"}}) AppendRow(*t, {{"A", a}, {"B", b}});
    EXPECT_EQ(t->OrderForFields("a"), t->FindTag("A"));  // a tag serves it
    int ab = t->OrderForFields("A;B");
    EXPECT_FALSE(t->OrderInfo(ab).Stored);
    EXPECT_EQ(t->OrderForFields(" a ; b "), ab);
    int bDown = t->OrderForFields("B", false, true);
    TDbfCursor c(t);
    c.SetOrder(ab);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{3, 1, 2}));
    AppendRow(*t, {{"A", "x"}, {"B", "0"}});
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{4, 3, 1, 2}));
    c.SetOrder(bDown);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_THROW(c.Seek(t->MakeKey(ab, {TDbfValue::FromText("x")}), dbfSeekExact),
                 EDBEngineError);  // another order's key
    c.SetOrder(ab);
    EXPECT_TRUE(c.Seek(t->MakeKey(ab, {TDbfValue::FromText("x"), TDbfValue::FromNumber(1)}), dbfSeekExact));
    EXPECT_EQ(c.RecNo(), 3u);
    EXPECT_THROW(
        t->MakeKey(ab, {TDbfValue::FromText("x"), TDbfValue::FromNumber(1), TDbfValue::FromNumber(1)}),
        EDBEngineError);
    EXPECT_THROW(t->OrderForFields("A;NOPE"), EDBEngineError);
    t->Flush();
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});  // the in-memory orders stay out of the file
}
