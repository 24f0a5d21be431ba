// The production index as other programs meet it: the shape of each tag's
// tree as tables grow past the point where a level is added.
#include <gtest/gtest.h>

#include <functional>

#include "DbTestSupport.h"
#include "platform/db/DbfInternal.h"

namespace {

// A .mdx read straight from its bytes, apart from the engine's reader: the
// tests see the file as another program does.
class TRawMdx {
public:
    explicit TRawMdx(std::string Path) : FPath(std::move(Path)), FBytes(ReadBytes(FPath)) {}

    struct TTag {
        int Slot = 0; // 0-based
        uint32_t Root = 0;
        int KeyLength = 0, MaxKeys = 0, ItemLength = 0;
    };
    TTag Tag(const std::string& Name) {
        for (int i = 0; i < DbfGet16(At(28)); ++i) {
            const uint8_t* slot = At(512 + 32 * (i + 1));
            if (Name != reinterpret_cast<const char*>(slot + 4)) continue;
            const uint8_t* head = At(size_t(DbfGet32(slot)) * 512);
            return {i, DbfGet32(head), DbfGet16(head + 12), DbfGet16(head + 14), DbfGet16(head + 18)};
        }
        ADD_FAILURE() << "no tag " << Name << " in " << FPath;
        return {};
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

} // namespace

// A branch page holds as many keys as a leaf and one pointer more. Every tag
// is grown through the sizes where its tree gains a second and a third level
// and where the last child of a full branch first appears, and must read back
// whole in our checker and in an outside reader at each size.
TEST(MdxTrees, TagsStayWholeAcrossTheLevelBoundaries) {
    struct TStep {
        uint32_t Rows;
        int Depth;
    };
    struct TWidth {
        const char* What;
        TDbfFieldSpec Field;
        int KeysPerPage;
        std::function<std::string(uint32_t)> Value;
        std::vector<TStep> Steps;
    };
    // Values repeat (ties stand in record order) and come in no order.
    auto spread = [](uint32_t R, uint32_t Modulo) { return (R * 7919u) % Modulo; };
    const std::string pad(40, 'x');
    std::vector<TWidth> widths = {
        {"numeric key",
         {"K", 'N', 8, 1},
         63,
         [&](uint32_t R) { return std::to_string(int(spread(R, 3001)) - 1500) + ".5"; },
         {{63, 1}, {64, 2}, {65, 2}, {3969, 2}, {3970, 2}, {4032, 2}, {4033, 3}, {4034, 3}}},
        {"20 characters",
         {"K", 'C', 20, 0},
         42,
         [&](uint32_t R) { return "Clave " + std::to_string(spread(R, 1499)); },
         {{42, 1}, {43, 2}, {44, 2}, {1764, 2}, {1765, 2}, {1806, 2}, {1807, 3}, {1808, 3}}},
        {"50 characters",
         {"K", 'C', 50, 0},
         18,
         [&](uint32_t R) { return "Jim\xE9nez " + std::to_string(spread(R, 211)) + pad; },
         {{18, 1}, {19, 2}, {20, 2}, {324, 2}, {325, 2}, {342, 2}, {343, 3}, {344, 3}}},
        {"date key",
         {"K", 'D', 8, 0},
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
        TDbfTable::Create(dir / "t", {{"ID", 'N', 6, 0}, w.Field}, {{"K", "K"}});
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
    if (!perl) GTEST_SKIP() << "the Perl XBase module is not installed: checked by our own reader only";
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
    if (!PerlHasXBase()) GTEST_SKIP() << "the Perl XBase module is not installed";
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
