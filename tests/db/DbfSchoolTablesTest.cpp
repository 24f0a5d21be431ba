// The twelve school tables, and what other dBase readers make of our files.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "DbTestSupport.h"
#include "platform/rtl/Strings.h"

namespace {

// Fills a table with a few rows: varied, blank, accented and deleted ones.
void FillSample(TDbfTable& T, int Rows) {
    std::vector<char> buf(size_t(T.RecordLength()));
    for (int r = 0; r < Rows; ++r) {
        T.BlankRecord(buf.data());
        for (int f = 0; f < T.FieldCount(); ++f) {
            const TDbfFieldDef& d = T.Field(f);
            if ((r + f) % 5 == 4) continue;  // some blanks everywhere
            switch (d.Type) {
            case 'C': {
                std::string text = (r % 3 == 0 ? "\xC1lvaro Pe\xF1"
                                                 "a "
                                               : "ana ") +
                                   std::to_string((r * 37 + f) % 101);
                T.SetText(buf.data(), f, text);
                break;
            }
            case 'N':
                T.SetNumber(buf.data(), f, d.Decimals ? (r * 7 % 11) / 2.0 : double((r * 13 + f) % 17 - 3));
                break;
            case 'L': T.SetBoolean(buf.data(), f, (r + f) % 2 == 0); break;
            case 'D': T.SetDate(buf.data(), f, 45000 + r); break;
            case 'M':
                T.SetMemo(buf.data(), f, "Memo " + std::to_string(r) + " de \xE1rbol\r\nsegunda l\xEDnea");
                break;
            }
        }
        uint32_t recno = T.Append(buf.data());
        if (r % 4 == 1) T.Delete(recno);
    }
}

}  // namespace

TEST(DbfSchoolTables, TheTwelveTablesAreCreatedAndReadBack) {
    TTempFolder dir;
    const size_t fieldCounts[] = {4, 38, 8, 4, 4, 43, 48, 25, 30, 67, 71, 8};
    ASSERT_EQ(SchoolTables().size(), std::size(fieldCounts));
    int descending = 0;
    for (size_t i = 0; i < SchoolTables().size(); ++i) {
        const TSchoolTable& s = SchoolTables()[i];
        TDbfTable::Create(dir / s.Name, s.Fields, s.Indexes);
        auto t = TDbfTable::Open(dir / UpperCase(s.Name) + ".DBF");  // found whatever the case
        EXPECT_EQ(size_t(t->FieldCount()), fieldCounts[i]) << s.Name;
        for (size_t f = 0; f < s.Fields.size(); ++f) {
            EXPECT_EQ(t->Field(int(f)).Name, s.Fields[f].Name);
            EXPECT_EQ(t->Field(int(f)).Type, s.Fields[f].Type);
            EXPECT_EQ(t->Field(int(f)).Length, s.Fields[f].Length);
        }
        ASSERT_EQ(size_t(t->TagCount()), s.Indexes.size()) << s.Name;
        for (size_t k = 0; k < s.Indexes.size(); ++k) {
            TDbfOrderInfo info = t->OrderInfo(int(k));
            EXPECT_EQ(info.Name, s.Indexes[k].Name);
            EXPECT_EQ(info.Fields, s.Indexes[k].Fields);
            EXPECT_EQ(info.Descending, s.Indexes[k].Descending);
            descending += info.Descending;
        }
        FillSample(*t, 12);
        EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{}) << s.Name;
        t->Flush();
        EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{}) << s.Name;
    }
    EXPECT_EQ(descending, 5);
    EXPECT_TRUE(FileExists(dir / "tipgrup2.dbt"));
    EXPECT_FALSE(FileExists(dir / "alum.dbt"));
}

TEST(DbfSchoolTables, PythonReadersReadTheValuesWeWrote) {
    TTempFolder dir;
    std::string expected;
    std::vector<std::shared_ptr<TDbfTable>> tables;
    for (const TSchoolTable& s : SchoolTables()) {
        TDbfTable::Create(dir / s.Name, s.Fields, s.Indexes);
        auto t = TDbfTable::Open(dir / s.Name);
        FillSample(*t, 9);
        expected += OutsideView(*t, t->FileName());
        tables.push_back(t);
    }
    std::vector<TDbfTable*> read;
    for (const auto& t : tables) read.push_back(t.get());
    int ran = 0;
    for (const char* module : {"dbfread", "dbf"}) {
        if (PythonWith(module).empty()) {
            if (OutsideToolsRequired()) ADD_FAILURE() << "python3-" << module << " is missing";
            continue;
        }
        ++ran;
        std::string out;
        ASSERT_EQ(ReadOutside(module, read, out), 0) << module;
        EXPECT_EQ(out, expected) << module;
    }
    ZELMOR_NEED_TOOL(ran > 0, "python3-dbfread or python3-dbf");
}

TEST(DbfSchoolTables, PerlXBaseReadsOurTagsInOurOrder) {
    ZELMOR_NEED_TOOL(PerlHasXBase(), "the Perl XBase module");
    TTempFolder dir;
    const TSchoolTable& alum = SchoolTables()[6];
    std::vector<TDbfIndexSpec> indexes = alum.Indexes;
    indexes.push_back({"UNOMBRE", "NOMBRE", true, true, false});  // descending, case-insensitive
    TDbfTable::Create(dir / "alum", alum.Fields, indexes);
    auto t = TDbfTable::Open(dir / "alum");
    // Enough rows for the tags to need branch pages above their leaves.
    std::vector<char> buf(size_t(t->RecordLength()));
    for (int r = 0; r < 400; ++r) {
        t->BlankRecord(buf.data());
        t->SetNumber(buf.data(), t->FieldIndex("N"), (r * 7919) % 97);
        t->SetText(buf.data(), t->FieldIndex("EXPED"), "E" + std::to_string(100000 + r));
        const char* names[] = {"garc\xED"
                               "a",
                               "Garc\xED"
                               "a",
                               "\xC1lvarez",
                               "alvarez",
                               "Zamora",
                               "zamora"};
        t->SetText(buf.data(), t->FieldIndex("NOMBRE"),
                   std::string(names[r % 6]) + " " + std::to_string(r % 23));
        t->SetText(buf.data(), t->FieldIndex("TNC"), "M1ESO" + std::to_string(r % 4));
        uint32_t recno = t->Append(buf.data());
        if (r % 50 == 7) t->Delete(recno);
    }
    t->Flush();
    TDbfCursor c(t);
    int exped = t->FieldIndex("EXPED");
    for (const char* tag : {"N", "EXPED", "NOMBRE", "TNC", "UNOMBRE"}) {
        c.SetOrder(t->FindTag(tag));
        std::string ours;
        for (bool on = c.First(); on; on = c.Next()) ours += t->GetText(c.Record(), exped) + "\n";
        std::string theirs;
        ASSERT_EQ(PerlReadTag(t->FileName(), dir / "alum.mdx", tag, "EXPED", theirs), 0) << tag;
        EXPECT_EQ(theirs, ours) << tag;
    }
}
