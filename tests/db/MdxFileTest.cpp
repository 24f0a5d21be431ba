// The production index as other programs meet it: the shape of each tag's
// tree as tables grow past the point where a level is added, and the bytes of
// numeric keys.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "DbTestSupport.h"
#include "platform/db/DbfInternal.h"

namespace {

// A .mdx read straight from its bytes, apart from the engine's reader: the
// tests see the file as another program does.
class TRawMdx {
public:
    explicit TRawMdx(std::string Path) : FPath(std::move(Path)), FBytes(ReadBytes(FPath)) {}

    struct TTag {
        int Slot = 0;  // 0-based
        uint32_t Root = 0;
        int KeyLength = 0, MaxKeys = 0, ItemLength = 0;
        uint8_t HasKeys = 0;  // byte 246 of the tag header
    };
    TTag Tag(const std::string& Name) {
        for (int i = 0; i < DbfGet16(At(28)); ++i) {
            const uint8_t* slot = At(512 + 32 * (i + 1));
            if (Name != reinterpret_cast<const char*>(slot + 4)) continue;
            const uint8_t* head = At(size_t(DbfGet32(slot)) * 512);
            return {i,        DbfGet32(head), DbfGet16(head + 12), DbfGet16(head + 14), DbfGet16(head + 18),
                    head[246]};
        }
        ADD_FAILURE() << "no tag " << Name << " in " << FPath;
        return {};
    }
    // The slot of a tag found as a reader that looks tags up by name finds
    // it: down the binary tree of the tag slots from the first, left for a
    // smaller name, right for a larger one; 0 when not found. Checks each
    // link back to the parent on the way.
    int SlotByTree(const std::string& Name) {
        int slot = 1, parent = 0;
        for (int steps = 0; slot != 0 && steps <= 48; ++steps) {
            const uint8_t* s = At(512 + 32 * size_t(slot));
            EXPECT_EQ(s[18], parent) << "the parent link of slot " << slot;
            std::string here = reinterpret_cast<const char*>(s + 4);
            if (Name == here) return slot;
            parent = slot;
            slot = Name < here ? s[16] : s[17];
        }
        return 0;
    }
    // Levels from the root down to the leaves, along the first child.
    int Depth(const TTag& T) {
        int depth = 1;
        for (uint32_t page = T.Root; !IsLeaf(T, page); page = DbfGet32(At(size_t(page) * 512 + 8))) ++depth;
        return depth;
    }
    // The leaves' entries in order: record number and key bytes.
    std::vector<std::pair<uint32_t, std::string>> Entries(const TTag& T) {
        std::vector<std::pair<uint32_t, std::string>> out;
        Visit(T, [&](uint8_t* Item) {
            out.push_back(
                {DbfGet32(Item), std::string(reinterpret_cast<char*>(Item + 4), size_t(T.KeyLength))});
        });
        return out;
    }
    // Rewrites every key of a tag in place, stamps the checksum of its pages
    // again (as if the table's own writer had written these bytes) and saves
    // the file.
    void ChangeKeys(const TTag& T, const std::function<void(uint8_t* Key)>& Change) {
        uint32_t sum = Visit(T, [&](uint8_t* Item) { Change(Item + 4); });
        DbfPut32(At(76 + 4 * size_t(T.Slot)), sum);
        WriteBytes(FPath, FBytes);
    }

private:
    uint8_t* At(size_t Offset) {
        EXPECT_LE(Offset + 32, FBytes.size()) << FPath;
        return reinterpret_cast<uint8_t*>(FBytes.data()) + Offset;
    }
    bool IsLeaf(const TTag& T, uint32_t Page) {
        const uint8_t* b = At(size_t(Page) * 512);
        return DbfGet32(b + 8 + DbfGet32(b) * uint32_t(T.ItemLength)) == 0;
    }
    // Calls Leaf for each leaf item in order (changes are kept); gives the
    // checksum of the pages in the order the engine sums them.
    uint32_t Visit(const TTag& T, const std::function<void(uint8_t*)>& Leaf) {
        uint32_t sum = DbfChecksum(nullptr, 0);
        std::function<void(uint32_t)> visit = [&](uint32_t page) {
            uint8_t* b = At(size_t(page) * 512);
            uint32_t n = DbfGet32(b);
            bool leaf = IsLeaf(T, page);
            if (leaf)
                for (uint32_t i = 0; i < n; ++i) Leaf(b + 8 + i * uint32_t(T.ItemLength));
            sum = DbfChecksum(b, 1024, sum);
            if (!leaf)
                for (uint32_t i = 0; i <= n; ++i) visit(DbfGet32(b + 8 + i * uint32_t(T.ItemLength)));
        };
        visit(T.Root);
        return sum;
    }

    std::string FPath;
    std::string FBytes;
};

// "35 05 10" as the 12 bytes of a numeric key.
std::string KeyBytes(const char* Hex) {
    std::string out;
    for (const char* p = Hex; *p; p += p[2] ? 3 : 2) out += char(std::stoi(std::string(p, 2), nullptr, 16));
    out.resize(12, '\0');
    return out;
}

std::string Hex(const std::string& Bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : Bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

}  // namespace

// A branch page holds as many keys as a leaf and one pointer more. Every tag
// is grown through the sizes where its tree gains a second and a third level
// and where the last child of a full branch first appears, and must read back
// whole in our checker and in an outside reader at each size.
TEST(MdxTrees, TagsStayWholeAcrossTheLevelBoundaries) {
    struct TStep {
        uint32_t Rows;
        int Depth;
    };
    // The key field "K" (a name of its own in each row trips a false
    // uninitialised-use warning of the optimiser).
    struct TKey {
        char Type;
        int Length, Decimals;
    };
    struct TWidth {
        const char* What;
        TKey Key;
        int KeysPerPage;
        std::function<std::string(uint32_t)> Value;
        std::vector<TStep> Steps;
    };
    // Values repeat (ties stand in record order) and come in no order.
    auto spread = [](uint32_t R, uint32_t Modulo) { return (R * 7919u) % Modulo; };
    const std::string pad(40, 'x');
    const std::vector<TWidth> widths = {
        {"numeric key",
         {'N', 8, 1},
         63,
         [&](uint32_t R) { return std::to_string(int(spread(R, 3001)) - 1500) + ".5"; },
         {{63, 1}, {64, 2}, {65, 2}, {3969, 2}, {3970, 2}, {4032, 2}, {4033, 3}, {4034, 3}}},
        {"20 characters",
         {'C', 20, 0},
         42,
         [&](uint32_t R) { return "Clave " + std::to_string(spread(R, 1499)); },
         {{42, 1}, {43, 2}, {44, 2}, {1764, 2}, {1765, 2}, {1806, 2}, {1807, 3}, {1808, 3}}},
        {"50 characters",
         {'C', 50, 0},
         18,
         [&](uint32_t R) { return "Jim\xE9nez " + std::to_string(spread(R, 211)) + pad; },
         {{18, 1}, {19, 2}, {20, 2}, {324, 2}, {325, 2}, {342, 2}, {343, 3}, {344, 3}}},
        {"date key",
         {'D', 8, 0},
         84,
         [&](uint32_t R) {
             uint32_t d = spread(R, 3650);
             return std::to_string(2000 + d / 365) + (d % 12 < 9 ? "0" : "") + std::to_string(d % 12 + 1) +
                    std::to_string(10 + d % 18);
         },
         {{84, 1}, {85, 2}, {86, 2}, {7056, 2}, {7057, 2}, {7140, 2}, {7141, 3}, {7142, 3}}},
    };
    const bool perl = PerlHasXBase();
    for (const TWidth& w : widths) {
        SCOPED_TRACE(w.What);
        TTempFolder dir;
        TDbfTable::Create(dir / "t", {{"ID", 'N', 6, 0}, {"K", w.Key.Type, w.Key.Length, w.Key.Decimals}},
                          {{"K", "K"}});
        auto t = TDbfTable::Open(dir / "t");
        for (const TStep& step : w.Steps) {
            SCOPED_TRACE(std::to_string(step.Rows) + " rows");
            while (t->PhysicalCount() < step.Rows) {
                uint32_t r = t->PhysicalCount() + 1;
                AppendRow(*t, {{"ID", std::to_string(r)}, {"K", w.Value(r)}});
            }
            ASSERT_NO_THROW(t->Flush());
            EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
            TRawMdx mdx(dir / "t.mdx");
            TRawMdx::TTag tag = mdx.Tag("K");
            EXPECT_EQ(tag.MaxKeys, w.KeysPerPage);
            EXPECT_EQ(mdx.Depth(tag), step.Depth);
            EXPECT_EQ(mdx.Entries(tag).size(), step.Rows);
            EXPECT_EQ(tag.HasKeys, 1);
            TDbfCursor c(t);
            c.SetOrder(0);
            std::string ours;
            for (bool on = c.First(); on; on = c.Next()) ours += std::to_string(c.RecNo()) + "\n";
            if (!perl) continue;
            std::string theirs;
            ASSERT_EQ(PerlReadTag(t->FileName(), dir / "t.mdx", "K", "ID", theirs), 0);
            EXPECT_EQ(theirs, ours);
        }
    }
    ZELMOR_NEED_TOOL(perl, "the Perl XBase module (the trees were checked by our own reader only)");
}

// Each tag header says whether the tag holds entries (byte 246), as dBase
// IV writers write it: 1 while it has keys, 0 when its table is empty.
TEST(MdxTrees, TagHeadersSayWhetherTheTagHasKeys) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", {{"N", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"BORN", 'D', 8, 0}},
                      {{"N", "N"}, {"NAME", "NAME", true}, {"BORN", "BORN"}});
    auto hasKeys = [&] {
        TRawMdx mdx(dir / "t.mdx");
        std::string bytes;
        for (const char* tag : {"N", "NAME", "BORN"}) bytes += std::to_string(mdx.Tag(tag).HasKeys);
        return bytes;
    };
    EXPECT_EQ(hasKeys(), "000");
    auto t = TDbfTable::Open(dir / "t");
    AppendRow(*t, {{"N", "1"}, {"NAME", "ana"}, {"BORN", "20100304"}});
    t->Flush();
    EXPECT_EQ(hasKeys(), "111");
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    t->Empty();
    t->Flush();
    EXPECT_EQ(hasKeys(), "000");
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

// The tag slots form a binary tree by name, which readers that look a tag up
// by name walk: every tag is found down it, whatever order the tags were
// made in.
TEST(MdxTrees, EveryTagIsFoundDownTheTreeOfNames) {
    const std::vector<std::vector<const char*>> orders = {
        {"N", "EXPED", "NOMBRE", "TNC"},
        {"TNC", "NOMBRE", "N", "EXPED", "ASIG1", "DIV1", "ZONA", "B"},
        {"A", "B", "C", "D", "E"},
        {"E", "D", "C", "B", "A"},
    };
    for (const auto& names : orders) {
        TTempFolder dir;
        std::vector<TDbfFieldSpec> fields;
        std::vector<TDbfIndexSpec> tags;
        for (const char* name : names) {
            fields.push_back({name, 'C', 4, 0});
            tags.push_back({name, name});
        }
        TDbfTable::Create(dir / "t", fields, tags);
        TRawMdx mdx(dir / "t.mdx");
        for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(mdx.SlotByTree(names[i]), int(i + 1)) << names[i];
        EXPECT_EQ(mdx.SlotByTree("NOSUCH"), 0);
    }
}

// The students table of a large school, flushed and read back by every tag.
TEST(MdxTrees, AStudentsTableOfFiveThousandRowsIsFlushedAndReadBack) {
    TTempFolder dir;
    const TSchoolTable& alum = SchoolTables()[6];
    ASSERT_EQ(alum.Name, "alum");
    TDbfTable::Create(dir / "alum", alum.Fields, alum.Indexes);
    auto t = TDbfTable::Open(dir / "alum");
    const char* surnames[] = {"Jim\xE9nez", "Mart\xEDnez", "L\xF3pez", "S\xE1nchez",
                              "P\xE9rez",   "G\xF3mez",    "Mu\xF1oz", "\xC1lvarez"};
    const char* names[] = {"Ana", "Luis", "\xC1ngel", "Jos\xE9", "Ra\xFAl", "Pablo", "Irene"};
    for (uint32_t r = 1; r <= 5000; ++r) {
        std::string name = std::string(surnames[r % 8]) + " " + surnames[(r / 8) % 8] + ", " + names[r % 7];
        AppendRow(*t, {{"N", std::to_string(r)},
                       {"EXPED", std::to_string(20000 + (r * 7919) % 5000)},
                       {"NOMBRE", name},
                       {"TNC", "M" + std::to_string(1 + r % 4) + "ESO" + std::to_string(1 + r % 3)}});
    }
    ASSERT_NO_THROW(t->Flush());
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    t.reset();
    t = TDbfTable::Open(dir / "alum");
    EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
    ZELMOR_NEED_TOOL(PerlHasXBase(), "the Perl XBase module");
    TDbfCursor c(t);
    for (const char* tag : {"N", "EXPED", "NOMBRE", "TNC"}) {
        c.SetOrder(t->FindTag(tag));
        std::string ours;
        for (bool on = c.First(); on; on = c.Next()) ours += t->GetText(c.Record(), 0) + "\n";
        std::string theirs;
        ASSERT_EQ(PerlReadTag(t->FileName(), dir / "alum.mdx", tag, "N", theirs), 0) << tag;
        EXPECT_EQ(theirs, ours) << tag;
    }
}

// Numeric keys are laid out as dBase IV writes them: the exponent byte, then
// the digit count times 4 with the sign in the top bit and the two low bits
// set, then the digits, two to a byte.
TEST(MdxNumericKeys, KeysHaveTheBytesDBaseWrites) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"0", "34 01"},         {"1", "35 05 10"},  {"9", "35 05 90"},   {"10", "36 05 10"},
        {"123", "37 0D 12 30"}, {"-5", "35 85 50"}, {"2.5", "35 09 25"}, {"99999", "39 15 99 99 90"},
    };
    TTempFolder dir;
    TDbfTable::Create(dir / "n", {{"V", 'N', 10, 1}}, {{"V", "V"}});
    auto t = TDbfTable::Open(dir / "n");
    auto expectKey = [](const char* Value, const char* Bytes) {
        uint8_t key[12];
        double back = -1;
        DbfEncodeBcdKey(std::stod(Value), key);
        EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(key), 12)), Hex(KeyBytes(Bytes))) << Value;
        EXPECT_TRUE(DbfDecodeBcdKey(key, back));
        EXPECT_EQ(back, std::stod(Value));
    };
    for (const auto& [value, bytes] : cases) {
        AppendRow(*t, {{"V", value}});
        expectKey(value, bytes);
    }
    // Whole numbers up to fifteen digits and past them, and others, wider
    // than the field above.
    const std::vector<std::pair<const char*, const char*>> wide = {
        {"-120", "37 89 12"},
        {"100000000000000", "43 05 10"},
        {"123456789012345", "43 3D 12 34 56 78 90 12 34 50"},
        {"999999999999999", "43 3D 99 99 99 99 99 99 99 90"},
        {"1000000000000000", "44 05 10"},
        {"1234567.25", "3B 25 12 34 56 72 50"},
    };
    for (const auto& [value, bytes] : wide) expectKey(value, bytes);
    t->Flush();
    // And so they reach the file.
    TRawMdx mdx(dir / "n.mdx");
    auto entries = mdx.Entries(mdx.Tag("V"));
    ASSERT_EQ(entries.size(), cases.size());
    std::map<uint32_t, std::string> byRecord(entries.begin(), entries.end());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Hex(byRecord[uint32_t(i + 1)]), Hex(KeyBytes(cases[i].second))) << cases[i].first;
}

// Date keys are the Julian day number as an 8-byte little-endian double, as
// dBase IV writes them; the tag built from the rows is read back from the
// file and sought by date.
TEST(MdxDateKeys, KeysHaveTheBytesDBaseWritesAndAreSoughtByDate) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"20240229", "00 00 00 00 69 C5 42 41 "},  // Julian day 2460370
        {"20000101", "00 00 00 80 2C B4 42 41 "},  // 2451545
        {"18991231", "00 00 00 00 D6 6C 42 41 "},  // 2415020
        {"19991231", "00 00 00 00 2C B4 42 41 "},  // 2451544
    };
    TTempFolder dir;
    TDbfTable::Create(dir / "d", {{"N", 'N', 6, 0}, {"BORN", 'D', 8, 0}}, {{"BORN", "BORN"}});
    {
        auto t = TDbfTable::Open(dir / "d");
        for (size_t i = 0; i < cases.size(); ++i)
            AppendRow(*t, {{"N", std::to_string(i + 1)}, {"BORN", cases[i].first}});
    }
    TRawMdx mdx(dir / "d.mdx");
    auto entries = mdx.Entries(mdx.Tag("BORN"));
    ASSERT_EQ(entries.size(), cases.size());
    const std::vector<uint32_t> byDate = {3, 4, 2, 1};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].first, byDate[i]);
        EXPECT_EQ(Hex(entries[i].second), cases[entries[i].first - 1].second)
            << cases[entries[i].first - 1].first;
    }
    // Opened again, the tag comes from the file.
    auto t = TDbfTable::Open(dir / "d", dbfReadOnly);
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    TDbfCursor c(t);
    c.SetOrder(t->FindTag("BORN"));
    for (size_t i = 0; i < cases.size(); ++i) {
        double day = 0;
        ASSERT_TRUE(DbfParseDate(cases[i].first, day));
        ASSERT_TRUE(c.Seek(t->MakeKey(c.Order(), {TDbfValue::FromDate(day)}), dbfSeekExact))
            << cases[i].first;
        EXPECT_EQ(c.RecNo(), uint32_t(i + 1));
    }
}

// Other writers (and this engine before) lay out some numbers in other bytes
// of equal value: the low bits of the count clear, trailing zero digits
// kept, zero as one digit 0. Such a file is read by value: its order is
// taken, the tag checker finds nothing wrong, and a real difference is still
// found.
TEST(MdxNumericKeys, OtherLayoutsOfTheSameNumberAreReadByValue) {
    auto count = [](const uint8_t* K) { return (K[1] >> 2) & 0x1F; };
    struct TLayout {
        const char* What;
        std::function<void(uint8_t*)> Change;
    } layouts[] = {
        {"low bits clear, zero as one digit",
         [&](uint8_t* K) {
             K[1] &= 0xFC;
             if (count(K) == 0) K[1] = 1 << 2;
         }},
        {"a trailing zero digit kept",
         [&](uint8_t* K) { K[1] = uint8_t(((count(K) + 1) << 2) | (K[1] & 0x83)); }},
        {"both", [&](uint8_t* K) { K[1] = uint8_t(((count(K) + 1) << 2) | (K[1] & 0x80)); }},
    };
    for (const TLayout& layout : layouts) {
        SCOPED_TRACE(layout.What);
        TTempFolder dir;
        TDbfTable::Create(dir / "n", {{"V", 'N', 10, 1}}, {{"V", "V"}, {"VD", "V", true}});
        {
            auto t = TDbfTable::Open(dir / "n");
            for (const char* v : {"10", "0", "-5", "2.5", "123", "1", "-0.5", "0", "99999"})
                AppendRow(*t, {{"V", v}});
        }
        TRawMdx mdx(dir / "n.mdx");
        for (const char* tag : {"V", "VD"}) mdx.ChangeKeys(mdx.Tag(tag), layout.Change);
        const std::string changed = ReadBytes(dir / "n.mdx");
        {
            auto t = TDbfTable::Open(dir / "n");
            EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
            TDbfCursor c(t);
            c.SetOrder(t->FindTag("V"));
            EXPECT_EQ(Walk(c), (std::vector<uint32_t>{3, 7, 2, 8, 6, 4, 1, 5, 9}));
            c.SetOrder(t->FindTag("VD"));
            EXPECT_EQ(Walk(c),
                      (std::vector<uint32_t>{9, 5, 1, 4, 6, 2, 8, 7, 3}));  // equal keys in record order
        }
        // Taken as it is: a file found wanting would have been written anew.
        EXPECT_EQ(ReadBytes(dir / "n.mdx"), changed);
        TRawMdx spoiled(dir / "n.mdx");
        spoiled.ChangeKeys(spoiled.Tag("V"), [](uint8_t* K) {
            if (K[0] == 0x37) K[2] = 0x13;  // 123 becomes 133
        });
        auto t = TDbfTable::Open(dir / "n");
        auto problems = t->CheckTags();
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0], "tag V: record 5 has a key that differs from its fields");
    }
}
