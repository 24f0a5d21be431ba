// Tables that other dBase programs write in place: python3-dbf and Perl
// XBase append, rewrite, delete and empty the rows of our tables, leave the
// header bytes the format reserves as they found them and never touch the
// .mdx. Every row they wrote is read, by a program that had the table open
// as by one that opens it afterwards, and the stale index is rebuilt.
#include <gtest/gtest.h>

#include "DbTestSupport.h"

namespace {

// The students' table as the program makes it, with 30 rows (three of them
// deleted), flushed and closed.
void MakeStudentsTable(const TTempFolder& Dir) {
    const TSchoolTable& alum = SchoolTables()[6];
    TDbfTable::Create(Dir / "alum", alum.Fields, alum.Indexes);
    auto t = TDbfTable::Open(Dir / "alum");
    for (int r = 1; r <= 30; ++r) {
        uint32_t recno =
            AppendRow(*t, {{"N", std::to_string(r)},
                           {"EXPED", "E" + std::to_string(1000 + r)},
                           {"NOMBRE", std::string(r % 2 ? "Jim\xE9nez " : "Alonso ") + std::to_string(r)},
                           {"TNC", r % 3 ? "DESO4" : "DBAC1"},
                           {"REPITE", r % 4 ? "F" : "T"},
                           {"ASIG1", "MAT"},
                           {"DIV1", "A"}});
        if (r % 10 == 5) t->Delete(recno);
    }
}

// What another reader (python3-dbfread) makes of the table, in OutsideView's form.
std::string TheirView(TDbfTable& Table) {
    std::string out;
    EXPECT_EQ(ReadOutside("dbfread", {&Table}, out), 0);
    return out;
}

}  // namespace

TEST(DbfOtherWriters, RowsAppendedRewrittenDeletedOrEmptiedByOtherWritersAreAllRead) {
    struct TCase {
        const char* What;
        std::vector<std::string> Steps;
        uint32_t Visible;  // of the 27 visible before
    };
    const TCase cases[] = {
        {"one row appended",
         {"append:N=31,EXPED=E1031,NOMBRE=Ib\xE1\xF1"
          "ez Ruiz Ana,TNC=DESO4,REPITE=T,ASIG1=LEN,DIV1=B"},
         28},
        {"a row rewritten in place", {"update:2:NOMBRE=Zubiri Otra,REPITE=T"}, 27},
        {"a row deleted in place", {"delete:3"}, 26},
        {"emptied", {"empty"}, 0},
        {"all at once",
         {"append:N=31,NOMBRE=Abad Uno,TNC=DESO4", "append:N=32,NOMBRE=Abad Dos,TNC=DBAC1",
          "update:1:NOMBRE=Zapata Primero", "delete:4"},
         28},
    };
    int ran = 0;
    for (const char* writer : OtherWriters) {
        if (!OtherWriterAvailable(writer) || PythonWith("dbfread").empty()) {
            if (OutsideToolsRequired()) ADD_FAILURE() << writer << " or python3-dbfread is missing";
            continue;
        }
        ++ran;
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(writer) + ", " + c.What);
            TTempFolder dir;
            MakeStudentsTable(dir);
            {
                // A program that has the table open while the other writes
                // takes the rows in when its cursor goes back to the start.
                auto held = TDbfTable::Open(dir / "alum", dbfReadOnly);
                TDbfCursor cursor(held);
                ASSERT_EQ(cursor.RecordCount(), 27u);
                std::string said;
                ASSERT_EQ(OtherWriterWrites(writer, held->FileName(), c.Steps, said), 0) << said;
                cursor.First();
                EXPECT_EQ(cursor.RecordCount(), c.Visible);
                EXPECT_EQ(OutsideView(*held, held->FileName()), TheirView(*held));
                EXPECT_EQ(CheckOrdersAgainstSort(*held), std::vector<std::string>{});
            }
            // One that opens it afterwards reads the same, and its next write
            // leaves an index our checker and another reader find whole.
            auto t = TDbfTable::Open(dir / "alum");
            TDbfCursor cursor(t);
            EXPECT_EQ(cursor.RecordCount(), c.Visible);
            EXPECT_EQ(OutsideView(*t, t->FileName()), TheirView(*t));
            EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
            AppendRow(*t, {{"N", "99"}, {"NOMBRE", "Mart\xEDn Cuarenta"}, {"TNC", "DESO4"}});
            t->Flush();
            EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
            EXPECT_EQ(OutsideView(*t, t->FileName()), TheirView(*t));
            if (!PerlHasXBase()) continue;
            cursor.SetOrder(t->FindTag("NOMBRE"));
            std::string ours, theirs;
            for (bool on = cursor.First(); on; on = cursor.Next())
                ours += t->GetText(cursor.Record(), 0) + "\n";
            ASSERT_EQ(PerlReadTag(t->FileName(), dir / "alum.mdx", "NOMBRE", "N", theirs), 0);
            EXPECT_EQ(theirs, ours);
        }
    }
    ZELMOR_NEED_TOOL(ran == 2, "python3-dbf, Perl XBase and python3-dbfread");
}
