// Table files as a whole: names, creating, replacing, emptying, renaming,
// deleting, and the sharing of one open table.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "DbTestSupport.h"

namespace {

std::vector<std::string> Files(const TTempFolder& Dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<TDbfFieldSpec> MemoFields{{"N", 'N', 6, 0}, {"TEXT", 'M', 10, 0}};
const std::vector<TDbfIndexSpec> MemoTags{{"N", "N"}};

int ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EDBEngineError& e) {
        return e.ErrorCode();
    }
    return 0;
}

}  // namespace

TEST(DbfTableFiles, NamesAreFoundWithoutRegardToCaseOrExtension) {
    TTempFolder dir;
    TDbfTable::Create(dir / "TIPOS.DBF", MemoFields, MemoTags);
    TDbfTable::Create(dir / "tipos2", MemoFields, MemoTags);
    TDbfTable::Create(dir / "NomAsg.dbf", MemoFields, {});
    TDbfTable::Create(dir / "a\xC3\xB1o", MemoFields, {});  // file names are UTF-8 on the disk
    EXPECT_EQ(Files(dir), (std::vector<std::string>{"NomAsg.dbf", "NomAsg.dbt", "TIPOS.DBF", "TIPOS.DBT",
                                                    "TIPOS.MDX", "a\xC3\xB1o.dbf", "a\xC3\xB1o.dbt",
                                                    "tipos2.dbf", "tipos2.dbt", "tipos2.mdx"}));
    struct Case {
        const char* asked;
        const char* found;
    } cases[] = {{"tipos", "TIPOS.DBF"},          {"Tipos.dbf", "TIPOS.DBF"}, {"TIPOS2", "tipos2.dbf"},
                 {"tipos2.DBF", "tipos2.dbf"},    {"nomasg", "NomAsg.dbf"},   {"NOMASG.DBF", "NomAsg.dbf"},
                 {"A\xC3\x91O", "a\xC3\xB1o.dbf"}};
    for (const Case& c : cases) {
        EXPECT_EQ(TDbfTable::Find(dir / c.asked), dir / c.found) << c.asked;
        EXPECT_EQ(TDbfTable::Open(dir / c.asked, dbfReadOnly)->FileName(), dir / c.found) << c.asked;
    }
    EXPECT_EQ(TDbfTable::Find(dir / "tipos3"), "");
    try {
        TDbfTable::Open(dir / "tipos3");
        ADD_FAILURE();
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), dbeNotFound);
        EXPECT_NE(e.Message().find("tipos3"), std::string::npos);
    }
}

TEST(DbfTableFiles, CreateReplacesATableWhateverTheCaseOfItsFiles) {
    TTempFolder dir;
    TDbfTable::Create(dir / "ALUM.DBF", MemoFields, MemoTags);
    AppendRow(*TDbfTable::Open(dir / "alum"), {{"N", "1"}, {"TEXT", "old"}});
    TDbfTable::Create(dir / "alum", {{"NAME", 'C', 5, 0}}, {});
    EXPECT_EQ(Files(dir), (std::vector<std::string>{"ALUM.DBF"}));
    auto t = TDbfTable::Open(dir / "alum");
    EXPECT_EQ(t->PhysicalCount(), 0u);
    EXPECT_EQ(t->Field(0).Name, "NAME");
    EXPECT_EQ(ErrorOf([&] { TDbfTable::Create(dir / "alum", MemoFields, MemoTags); }), dbeTableOpen);
    EXPECT_EQ(ErrorOf([&] { TDbfTable::Delete(dir / "alum"); }), dbeTableOpen);
    EXPECT_EQ(ErrorOf([&] { TDbfTable::Rename(dir / "alum", dir / "other"); }), dbeTableOpen);
}

TEST(DbfTableFiles, EmptyingKeepsTheStructureAndTags) {
    TTempFolder dir;
    TDbfTable::Create(dir / "e", MemoFields, MemoTags);
    auto t = TDbfTable::Open(dir / "e");
    for (int i = 0; i < 5; ++i)
        AppendRow(*t, {{"N", std::to_string(5 - i)}, {"TEXT", std::string(900, 'x')}});
    t->Empty();
    EXPECT_EQ(t->PhysicalCount(), 0u);
    AppendRow(*t, {{"N", "9"}, {"TEXT", "after"}});
    t->Flush();
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    t.reset();
    EXPECT_LE(std::filesystem::file_size(dir / "e.dbt"), 1024u);  // the old memos are gone
    auto again = TDbfTable::Open(dir / "e");
    EXPECT_EQ(Snapshot(*again), (std::vector<std::string>{"1:9|after"}));
    EXPECT_EQ(again->TagCount(), 1);
}

TEST(DbfTableFiles, RenameAndDeleteTakeAllThreeFiles) {
    TTempFolder dir;
    TDbfTable::Create(dir / "cursosb", MemoFields, MemoTags);
    AppendRow(*TDbfTable::Open(dir / "cursosb"), {{"N", "4"}, {"TEXT", "kept"}});
    TDbfTable::Create(dir / "taken", MemoFields, {});
    EXPECT_EQ(ErrorOf([&] { TDbfTable::Rename(dir / "cursosb", dir / "TAKEN"); }), dbeTableExists);
    TDbfTable::Rename(dir / "cursosb", dir / "cursos");
    EXPECT_EQ(Files(dir),
              (std::vector<std::string>{"cursos.dbf", "cursos.dbt", "cursos.mdx", "taken.dbf", "taken.dbt"}));
    {
        auto t = TDbfTable::Open(dir / "cursos");
        EXPECT_EQ(Snapshot(*t), (std::vector<std::string>{"1:4|kept"}));
        EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});  // the renamed index is still taken as current
    }
    TDbfTable::Delete(dir / "CURSOS");
    TDbfTable::Delete(dir / "taken.dbf");
    EXPECT_EQ(Files(dir), std::vector<std::string>{});
    EXPECT_EQ(ErrorOf([&] { TDbfTable::Delete(dir / "cursos"); }), dbeNotFound);
}

TEST(DbfTableFiles, EveryHolderSharesOneTable) {
    TTempFolder dir;
    TDbfTable::Create(dir / "s", MemoFields, MemoTags);
    auto reader = TDbfTable::Open(dir / "s", dbfReadOnly);
    EXPECT_EQ(ErrorOf([&] { AppendRow(*reader, {{"N", "1"}}); }), dbeReadOnly);
    auto writer = TDbfTable::Open(dir / "S.DBF");
    EXPECT_EQ(writer, reader);  // one table: the read-only holder now sees a writable one
    TDbfCursor c(reader);
    c.SetOrder(0);
    uint64_t before = reader->Version();
    AppendRow(*writer, {{"N", "2"}});
    AppendRow(*writer, {{"N", "1"}});
    EXPECT_GT(reader->Version(), before);
    EXPECT_EQ(Walk(c), (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(c.RecordCount(), 2u);
}
