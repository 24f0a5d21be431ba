// Damaged, truncated and foreign files: a clear EDatabaseError naming the
// file, or the table exactly as it was; never a crash, an over-read or other values.
#include <gtest/gtest.h>

#include <cstring>

#include "DbTestSupport.h"

namespace {

class DbfDamage : public ::testing::Test {
protected:
    void SetUp() override {
        TDbfTable::Create(Dir / "d", {{"N", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                          {{"N", "N"}, {"NAME", "NAME", true}});
        {
            auto t = TDbfTable::Open(Dir / "d");
            AppendRow(*t, {{"N", "3"}, {"NAME", "carmen"}, {"NOTE", "first"}});
            AppendRow(*t, {{"N", "1"}, {"NAME", "blas"}, {"NOTE", std::string(600, 'm')}});
            AppendRow(*t, {{"N", "2"}, {"NAME", "alba"}});
        }
        Dbf = ReadBytes(Dir / "d.dbf");
        Mdx = ReadBytes(Dir / "d.mdx");
        Dbt = ReadBytes(Dir / "d.dbt");
        Original = State();
        ASSERT_EQ(Original.rfind("ok", 0), 0u) << Original;
    }
    void Restore() {
        WriteBytes(Dir / "d.dbf", Dbf);
        WriteBytes(Dir / "d.mdx", Mdx);
        WriteBytes(Dir / "d.dbt", Dbt);
    }
    // "ok" and everything a reader sees, or "refused" when the engine said
    // the file is damaged (checking that the message names a file of the table).
    std::string State() {
        try {
            auto t = TDbfTable::Open(Dir / "d", dbfReadOnly);
            std::string out = "ok\n";
            for (const auto& row : Snapshot(*t)) out += row + "\n";
            for (int o = 0; o < t->TagCount(); ++o) {
                TDbfOrderInfo info = t->OrderInfo(o);
                out += info.Name + " " + info.Expression + (info.Descending ? " desc\n" : "\n");
            }
            for (const auto& problem : CheckOrdersAgainstSort(*t)) out += problem + "\n";
            return out;
        } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), dbeDamaged) << e.Message();
            // In Spanish, naming the file as the program shows paths.
            EXPECT_EQ(e.Message().rfind("El fichero " + DbfShownPath(Dir / "d") + ".", 0), 0u) << e.Message();
            return "refused";
        }
    }

    TTempFolder Dir;
    std::string Dbf, Mdx, Dbt, Original;
};

}  // namespace

TEST_F(DbfDamage, EveryFlippedHeaderByteIsRefusedOrHarmless) {
    const size_t headerLength = size_t(uint8_t(Dbf[8]) | (uint8_t(Dbf[9]) << 8));
    int refused = 0;
    for (size_t at = 0; at < headerLength; ++at)
        for (uint8_t mask : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
            std::string bad = Dbf;  // only read from here on: the other files stay as they are
            bad[at] = char(bad[at] ^ mask);
            WriteBytes(Dir / "d.dbf", bad);
            std::string now = State();
            if (now == "refused") {
                ++refused;
            } else {
                EXPECT_EQ(now, Original) << "byte " << at << " ^ " << int(mask);
            }
        }
    EXPECT_GT(refused, int(headerLength));  // the count, the structure and the field list are guarded
}

TEST_F(DbfDamage, TruncatedTablesAreRefused) {
    const size_t headerLength = size_t(uint8_t(Dbf[8]) | (uint8_t(Dbf[9]) << 8));
    const size_t recordLength = size_t(uint8_t(Dbf[10]) | (uint8_t(Dbf[11]) << 8));
    struct Case {
        size_t length;
        bool refused;
    } cases[] = {
        {0, true},
        {1, true},
        {31, true},
        {32, true},
        {headerLength - 1, true},
        {headerLength, true},
        {headerLength + recordLength / 2, true},
        {headerLength + 2 * recordLength + 7, true},
        {Dbf.size() - 1, false},  // without the end mark: nothing is missing
    };
    for (const Case& c : cases) {
        Restore();
        WriteBytes(Dir / "d.dbf", Dbf.substr(0, c.length));
        std::string now = State();
        EXPECT_EQ(now, c.refused ? std::string("refused") : Original) << c.length;
    }
    WriteBytes(Dir / "d.dbf", Dbf.substr(0, 20));
    try {
        TDbfTable::Open(Dir / "d", dbfReadOnly);
        ADD_FAILURE() << "opened";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.Message(), "El fichero " + DbfShownPath(Dir / "d.dbf") +
                                   " est\xE1 da\xF1"
                                   "ado: el fichero es demasiado corto para ser una tabla");
        const AnsiString shown = DbfShownPath(Dir / "d.dbf");  // "Z:\\tmp\\zelmor-db-...\\d.dbf"
        EXPECT_EQ(shown.substr(1, 2), ":\\") << shown;
        EXPECT_TRUE(shown.ends_with("\\d.dbf")) << shown;
        EXPECT_EQ(shown.find('/'), std::string::npos) << shown;
    }
}

TEST_F(DbfDamage, ADamagedMissingOrForeignIndexIsRebuiltNeverEmptied) {
    struct Case {
        const char* what;
        std::function<void()> damage;
    } cases[] = {
        {"missing", [&] { std::remove((Dir / "d.mdx").c_str()); }},
        {"truncated", [&] { WriteBytes(Dir / "d.mdx", Mdx.substr(0, 700)); }},
        {"cut in its pages", [&] { WriteBytes(Dir / "d.mdx", Mdx.substr(0, Mdx.size() - 1000)); }},
        {"not an index", [&] { WriteBytes(Dir / "d.mdx", std::string(4096, 'x')); }},
        {"of another table",
         [&] {
             TTempFolder other;
             TDbfTable::Create(other / "d", {{"N", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                               {{"NAME", "NAME"}});
             WriteBytes(Dir / "d.mdx", ReadBytes(other / "d.mdx"));
         }},
        {"an older copy",
         [&] {
             auto t = TDbfTable::Open(Dir / "d");
             t->Update(3, Row(*t, {{"N", "-1"}, {"NAME", "zoe"}}).data());
             t->Update(3, Row(*t, {{"N", "2"}, {"NAME", "alba"}}).data());  // same rows, new generation
             t->Flush();
             t.reset();
             WriteBytes(Dir / "d.mdx", Mdx);
         }},
    };
    for (const Case& c : cases) {
        Restore();
        c.damage();
        EXPECT_EQ(State(), Original) << c.what;
        // Damage inside the pages shows when a tag is first used; the next flush repairs it.
        auto t = TDbfTable::Open(Dir / "d");
        EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{}) << c.what;
        AppendRow(*t, {{"N", "8"}});
        t->Flush();
        EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{}) << c.what;
    }
    // Flipped bytes anywhere in the index file.
    Restore();
    for (size_t at = 0; at < Mdx.size(); at += 13) {
        std::string bad = Mdx;
        bad[at] = char(bad[at] ^ 0x24);
        WriteBytes(Dir / "d.mdx", bad);
        EXPECT_EQ(State(), Original) << "index byte " << at;
    }
}

TEST_F(DbfDamage, DamagedMemosAreRefusedWhenRead) {
    WriteBytes(Dir / "d.dbt", Dbt.substr(0, 700));  // the long memo loses its end
    EXPECT_EQ(State(), "refused");
    std::remove((Dir / "d.dbt").c_str());
    EXPECT_EQ(State(), "refused");
    // A header pointer that lags behind never lets a new memo overwrite an old one.
    Restore();
    std::string lagging = Dbt;
    lagging[0] = 1;
    lagging[1] = lagging[2] = lagging[3] = 0;
    WriteBytes(Dir / "d.dbt", lagging);
    {
        auto t = TDbfTable::Open(Dir / "d");
        AppendRow(*t, {{"N", "4"}, {"NAME", "dora"}, {"NOTE", "new"}});
    }
    auto t = TDbfTable::Open(Dir / "d", dbfReadOnly);
    auto rows = Snapshot(*t);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "1:3|carmen|first");
    EXPECT_EQ(rows[1], "2:1|blas|" + std::string(600, 'm'));
    EXPECT_EQ(rows[3], "4:4|dora|new");
}

// Files of other writers: unknown field kinds, wide character fields kept in
// the decimals byte, level-4 memo blocks, no end mark, bytes after the last record.
TEST(DbfForeign, OtherWritersTablesAreRead) {
    TTempFolder dir;
    auto descriptor = [](const char* Name, char Type, int Length, int Decimals) {
        std::string d(32, '\0');
        std::memcpy(d.data(), Name, std::strlen(Name));
        d[11] = Type;
        d[16] = char(Length);
        d[17] = char(Decimals);
        return d;
    };
    auto header = [](uint8_t Version, uint32_t Count, size_t Fields, size_t RecordLength) {
        std::string h(32, '\0');
        h[0] = char(Version);
        h[1] = 99;
        h[2] = 12;
        h[3] = 31;
        for (int i = 0; i < 4; ++i) h[4 + i] = char(Count >> (8 * i));
        size_t headerLength = 32 + 32 * Fields + 1;
        h[8] = char(headerLength);
        h[9] = char(headerLength >> 8);
        h[10] = char(RecordLength);
        h[11] = char(RecordLength >> 8);
        h[29] = 0x03;
        return h;
    };
    // Fields: X (unknown kind, 3), WIDE (C 300 through the decimals byte), M (level-4 memo).
    std::string dbf = header(0x8B, 2, 3, 1 + 3 + 300 + 10);
    dbf += descriptor("X", 'X', 3, 0) + descriptor("WIDE", 'C', 300 & 0xFF, 300 >> 8) +
           descriptor("M", 'M', 10, 0);
    dbf += '\r';
    dbf += " ab " + std::string("wide") + std::string(296, ' ') + "         1";
    dbf += "*zz " + std::string(300, 'w') + "          ";
    dbf += "trailing bytes of no record";
    WriteBytes(dir / "FOREIGN.DBF", dbf);
    std::string dbt(512, '\0');
    dbt[0] = 3;
    dbt[20] = 0;
    dbt[21] = 2;  // 512-byte blocks
    dbt += std::string("\xFF\xFF\x08\x00", 4) + std::string("\x0D\x00\x00\x00", 4) + "hello";
    dbt.resize(1024, '\0');
    // Block 2: a memo longer than its first block (8 + 700 bytes).
    std::string longMemo;
    for (int i = 0; i < 700; ++i) longMemo += char('a' + i % 26);
    dbt += std::string("\xFF\xFF\x08\x00", 4) + std::string("\xC4\x02\x00\x00", 4) + longMemo;
    dbt.resize(2048, '\0');
    WriteBytes(dir / "Foreign.DBT", dbt);

    auto t = TDbfTable::Open(dir / "foreign", dbfReadOnly);
    ASSERT_EQ(t->FieldCount(), 3);
    EXPECT_EQ(t->Field(1).Length, 300);
    EXPECT_EQ(DbfKindOf(t->Field(0)), TDbfKind::String);
    TDbfCursor c(t);
    ASSERT_TRUE(c.First());
    EXPECT_EQ(t->GetText(c.Record(), 0), "ab");
    EXPECT_EQ(t->GetText(c.Record(), 1), "wide");
    EXPECT_EQ(t->GetText(c.Record(), 2), "hello");
    std::string second(c.Record(), size_t(t->RecordLength()));
    second.replace(size_t(t->Field(2).Offset), 10, "         2");
    EXPECT_EQ(t->GetMemo(second.data(), 2), longMemo);
    EXPECT_FALSE(c.Next());  // the second record is deleted
    EXPECT_EQ(t->TagCount(), 0);
}

// Another writer's index is left as it is until the table is written to.
TEST(DbfForeign, AnotherWritersIndexIsOnlyRewrittenAfterAWrite) {
    TTempFolder dir;
    TDbfTable::Create(dir / "x", {{"N", 'N', 6, 0}}, {{"N", "N", true}});
    for (int i = 1; i <= 3; ++i) AppendRow(*TDbfTable::Open(dir / "x"), {{"N", std::to_string(i)}});
    std::string dbf = ReadBytes(dir / "x.dbf");
    dbf[24] = dbf[25] = 0;  // without our mark the files are another writer's
    WriteBytes(dir / "x.dbf", dbf);
    const std::string index = ReadBytes(dir / "x.mdx");
    {
        auto t = TDbfTable::Open(dir / "x");
        TDbfCursor c(t);
        c.SetOrder(0);
        EXPECT_EQ(Walk(c), (std::vector<uint32_t>{3, 2, 1}));
    }
    EXPECT_EQ(ReadBytes(dir / "x.mdx"), index);
    {
        auto t = TDbfTable::Open(dir / "x");
        AppendRow(*t, {{"N", "9"}});
    }
    EXPECT_NE(ReadBytes(dir / "x.mdx"), index);
    EXPECT_EQ(TDbfTable::Open(dir / "x")->CheckTags(), std::vector<AnsiString>{});
}

// A table damaged only at its end loses no whole record: cut short, or with
// a header that counts more or fewer records than its file holds, or with a
// part of a record after its last one. The engine opens a table that holds
// more whole records than it counts with all of them, and refuses one whose
// count goes past its end; the mending keeps every whole record and the end
// mark, after which the table opens, takes rows and keeps its tags whole.
TEST(DbfDamagedEnd, EveryWholeRecordIsKeptAndTheFileEndsRight) {
    const TSchoolTable& alum = SchoolTables()[6];
    TTempFolder dir;
    TDbfTable::Create(dir / "alum", alum.Fields, alum.Indexes);
    {
        auto t = TDbfTable::Open(dir / "alum");
        for (int r = 1; r <= 600; ++r)
            AppendRow(
                *t, {{"N", std::to_string(r)}, {"NOMBRE", "Alumno " + std::to_string(r)}, {"TNC", "DESO4"}});
    }
    const std::string written = ReadBytes(dir / "alum.dbf");
    const size_t header = size_t(uint8_t(written[8]) | (uint8_t(written[9]) << 8));
    const size_t length = size_t(uint8_t(written[10]) | (uint8_t(written[11]) << 8));
    ASSERT_EQ(written.size(), header + 600 * length + 1);
    auto counting = [&](uint32_t Count) {
        std::string bytes = written;
        for (int i = 0; i < 4; ++i) bytes[4 + size_t(i)] = char(Count >> (8 * i));
        return bytes;
    };
    struct TCase {
        const char* What;
        std::string Bytes;
        uint32_t Counted, Held;
        bool Whole;
        bool Opens;  // before mending, with the held records
    };
    const TCase cases[] = {
        {"as written", written, 600, 600, true, true},
        {"without its end mark", written.substr(0, written.size() - 1), 600, 600, true, true},
        {"700 bytes cut off", written.substr(0, written.size() - 700), 600, 596, false, false},
        {"cut inside its first record", written.substr(0, header + length / 2), 600, 0, false, false},
        {"a count 10 above", counting(610), 610, 600, true, false},
        {"a count 5 below", counting(595), 595, 600, true, true},
        {"a part of a record after the last",
         written.substr(0, written.size() - 1) + " " + std::string(length / 2, 'x'), 600, 600, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        WriteBytes(dir / "alum.dbf", c.Bytes);
        const TDbfTableEnd end = TDbfTable::MeasureEnd(dir / "alum");
        EXPECT_EQ(end.Fields.size(), alum.Fields.size());
        EXPECT_EQ(end.Counted, c.Counted);
        EXPECT_EQ(end.Held, c.Held);
        EXPECT_EQ(end.Whole, c.Whole);
        try {
            EXPECT_EQ(TDbfTable::Open(dir / "alum", dbfReadOnly)->PhysicalCount(), c.Held);
            EXPECT_TRUE(c.Opens);
        } catch (const EDBEngineError& e) {
            EXPECT_FALSE(c.Opens) << e.Message();
            EXPECT_EQ(e.ErrorCode(), dbeDamaged);
        }
        EXPECT_EQ(TDbfTable::RepairEnd(dir / "alum"), c.Held);
        const std::string mended = ReadBytes(dir / "alum.dbf");
        if (!end.Damaged()) {
            EXPECT_EQ(mended, c.Bytes);  // nothing to mend: not a byte changes
            continue;
        }
        ASSERT_EQ(mended.size(), header + c.Held * length + 1);
        EXPECT_EQ(mended.back(), '\x1A');
        EXPECT_EQ(mended.substr(header, c.Held * length), written.substr(header, c.Held * length));
        EXPECT_FALSE(TDbfTable::MeasureEnd(dir / "alum").Damaged());
        auto t = TDbfTable::Open(dir / "alum");
        ASSERT_EQ(t->PhysicalCount(), c.Held);
        AppendRow(*t, {{"N", "9999"}, {"NOMBRE", "Nuevo"}});
        t->Flush();
        EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
        EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
        if (PythonWith("dbfread").empty()) continue;
        std::string theirs;
        ASSERT_EQ(ReadOutside("dbfread", {t.get()}, theirs), 0);
        EXPECT_EQ(theirs, OutsideView(*t, t->FileName()));
    }
    ZELMOR_NEED_TOOL(!PythonWith("dbfread").empty(), "python3-dbfread");
}
