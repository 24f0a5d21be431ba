// Two programs on one table, as two staff at two machines on a shared
// folder: one writer at a time, the other refused with nothing changed,
// readers taking in the writer's rows; and an index that another program's
// rewrite of a row in place leaves behind is rebuilt, not trusted.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DbTestSupport.h"
#include "platform/db/DbfInternal.h"
#include "platform/db/DbfWorkLock.h"

namespace {

const std::vector<TDbfFieldSpec> Fields{{"N", 'N', 6, 0}, {"NAME", 'C', 12, 0}, {"NOTE", 'M', 10, 0}};
const std::vector<TDbfIndexSpec> Tags{{"N", "N"}, {"NAME", "NAME"}};
const std::string InUse = std::to_string(dbeInUse) + " La tabla t est\xE1 siendo usada por otro usuario";

// What a failed action raised, as "<code> <message>"; "ok" when it did not.
std::string Outcome(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EDBEngineError& e) {
        return std::to_string(e.ErrorCode()) + " " + e.Message();
    }
    return "ok";
}

void AppendNamed(TDbfTable& Table, int N, const std::string& Name) {
    AppendRow(Table, {{"N", std::to_string(N)}, {"NAME", Name}, {"NOTE", "note of " + Name}});
}

// The table t with carmen, blas and alba (in that record order), flushed.
void CreateWithThreeRows(const TTempFolder& Dir) {
    TDbfTable::Create(Dir / "t", Fields, Tags);
    auto t = TDbfTable::Open(Dir / "t");
    for (const char* name : {"carmen", "blas", "alba"}) AppendNamed(*t, 1, name);
}

// Every row as "N|NAME|NOTE", sorted: what must be there whatever the record numbers.
std::vector<std::string> Rows(TDbfTable& Table) {
    std::vector<std::string> rows;
    for (const std::string& row : Snapshot(Table)) rows.push_back(row.substr(row.find(':') + 1));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The names along the tag NAME, taking in what another program wrote.
std::string Names(TDbfCursor& Cursor) {
    std::string out;
    for (uint32_t r : Walk(Cursor)) {
        std::vector<char> buf(size_t(Cursor.Table().RecordLength()));
        Cursor.Table().Read(r, buf.data());
        out += (out.empty() ? "" : ",") + Cursor.Table().GetText(buf.data(), 1);
    }
    return out;
}

bool Finds(TDbfCursor& Cursor, const std::string& Name) {
    TDbfTable& t = Cursor.Table();
    return Cursor.Seek(t.MakeKey(t.FindTag("NAME"), {TDbfValue::FromText(Name)}), dbfSeekExact);
}

// Every file of the folder and its bytes, read through the engine's file
// layer: a descriptor closed by any other reader would take this program's
// locks with it.
std::map<std::string, std::string> FilesOf(const TTempFolder& Dir) {
    std::map<std::string, std::string> files;
    for (const std::string& name : TDbfFileSystem::Native().List(Dir.Path())) {
        auto file = TDbfFileSystem::Native().Open(Dir / name, false);
        std::string bytes(size_t(file->Size()), '\0');
        bytes.resize(file->Read(0, bytes.data(), bytes.size()));
        files[name] = bytes;
    }
    return files;
}

}  // namespace

// The system's locks belong to the process and go with any descriptor of
// the file it closes; the file layer keeps them to the object that took them.
TEST(DbfFileLocks, ALockOutlivesOtherDescriptorsOfTheFileAndBindsTheObjectsOfOneProgram) {
    TTempFolder dir;
    WriteBytes(dir / "f", "table");
    TDbfFileSystem& fs = TDbfFileSystem::Native();
    TPeer other([&](TPeer& P) {
        auto f = fs.Open(dir / "f", true);
        for (int round = 0; round < 2; ++round) {
            P.Hear();
            bool write = f->Lock(1, dbfLockExclusive, false), read = f->Lock(0, dbfLockExclusive, false);
            P.Say(std::string(write ? "write" : "-") + " " + (read ? "read" : "-"));
            f->Lock(1, dbfUnlock, false);
            f->Lock(0, dbfUnlock, false);
        }
    });
    auto holder = fs.Open(dir / "f", true);
    ASSERT_TRUE(holder->Lock(1, dbfLockExclusive, false));
    {
        auto second = fs.Open(dir / "f", true);
        EXPECT_FALSE(second->Lock(1, dbfLockExclusive, false));  // as another program would be
        EXPECT_FALSE(second->Lock(1, dbfLockShared, true));      // and never waited for
        EXPECT_TRUE(second->Lock(0, dbfLockShared, false));
        auto reader = fs.Open(dir / "f", false);
        EXPECT_TRUE(reader->Lock(0, dbfLockShared, false));
    }  // both close: their shared locks go, the holder's stays
    other.Say("try");
    EXPECT_EQ(other.Hear(), "- read");
    holder.reset();
    other.Say("again");
    EXPECT_EQ(other.Hear(), "write read");
    EXPECT_EQ(other.Finish(), 0);
}

// A claim is one program's at a time, writing or not, and goes with the
// program, however it ends; it tells when the table was made anew under it
// by a program that takes no claim.
TEST(DbfTwoPrograms, AClaimIsOneProgramsAtATimeAndGoesWithItsProgram) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TPeer other([&](TPeer& P) {
        std::unique_ptr<TDbfWorkLock> claim;
        for (std::string order = P.Hear(); !order.empty(); order = P.Hear()) {
            if (order == "claim") claim = TDbfWorkLock::TryTake(dir / "t.dbf");
            if (order == "die") ::_exit(0);
            P.Say(claim ? "held" : "-");
        }
    });
    other.Say("claim");
    ASSERT_EQ(other.Hear(), "held");
    EXPECT_EQ(TDbfWorkLock::TryTake(dir / "t.dbf"), nullptr);
    // Writing is another matter: the claim keeps nobody from it.
    AppendNamed(*TDbfTable::Open(dir / "t"), 4, "dora");
    other.Say("die");
    EXPECT_EQ(other.Finish(), 0);

    auto mine = TDbfWorkLock::TryTake(dir / "t.dbf");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(TDbfWorkLock::TryTake(dir / "t.dbf"), nullptr);  // nor twice in one program
    EXPECT_TRUE(mine->Intact());
    TPeer remaker([&](TPeer& P) {
        P.Hear();
        TDbfTable::Create(dir / "t", Fields, Tags);
        P.Say("made");
    });
    remaker.Say("remake");
    EXPECT_EQ(remaker.Hear(), "made");
    EXPECT_EQ(remaker.Finish(), 0);
    EXPECT_FALSE(mine->Intact());
    mine.reset();
    EXPECT_NE(TDbfWorkLock::TryTake(dir / "t.dbf"), nullptr);
}

// Within one program, lock objects of one file bind each other as two
// programs would: shared locks go together, an exclusive one goes alone,
// and nothing is waited for.
TEST(DbfFileLocks, ObjectsOfOneProgramShareOrExcludeAsTwoProgramsWould) {
    TTempFolder dir;
    WriteBytes(dir / "f", "table");
    TDbfFileSystem& fs = TDbfFileSystem::Native();
    auto a = fs.Open(dir / "f", true), b = fs.Open(dir / "f", true), c = fs.Open(dir / "f", true);
    struct TStep {
        TDbfFile* File;
        TDbfLockKind Kind;
        bool Wait, Granted;
    } steps[] = {
        {a.get(), dbfLockShared, false, true},     {b.get(), dbfLockShared, false, true},
        {c.get(), dbfLockExclusive, false, false}, {c.get(), dbfLockExclusive, true, false},
        {a.get(), dbfUnlock, false, true},         {c.get(), dbfLockExclusive, false, false},
        {b.get(), dbfUnlock, false, true},         {c.get(), dbfLockExclusive, false, true},
        {a.get(), dbfLockShared, true, false},     {b.get(), dbfLockExclusive, false, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(steps[i].File->Lock(0, steps[i].Kind, steps[i].Wait), steps[i].Granted) << "step " << i;
}

TEST(DbfTwoPrograms, TheSecondWriterIsRefusedUntilTheFirstFlushesAndThenAppendsAfterItsRows) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    TPeer other([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t");
        P.Say("open");
        P.Hear();
        P.Say(Outcome([&] { AppendNamed(*t, 100, "B100"); }));
        P.Hear();
        for (int i = 101; i <= 110; ++i) AppendNamed(*t, i, "B" + std::to_string(i));
        t.reset();
        P.Say("done");
    });
    ASSERT_EQ(other.Hear(), "open");  // both have the table open for writing
    auto t = TDbfTable::Open(dir / "t");
    AppendNamed(*t, 1, "A1");
    other.Say("try");
    EXPECT_EQ(other.Hear(), InUse);
    for (int i = 2; i <= 50; ++i) AppendNamed(*t, i, "A" + std::to_string(i));
    t->Flush();  // the end of the session: the other may write from here on
    other.Say("again");
    EXPECT_EQ(other.Hear(), "done");
    EXPECT_EQ(other.Finish(), 0);
    // The other program wrote after these rows, not over them.
    EXPECT_EQ(t->PhysicalCount(), 50u);  // this program has not looked again yet
    std::vector<std::string> expected;
    for (int i = 1; i <= 50; ++i)
        expected.push_back(std::to_string(i) + "|A" + std::to_string(i) + "|note of A" + std::to_string(i));
    for (int i = 101; i <= 110; ++i)
        expected.push_back(std::to_string(i) + "|B" + std::to_string(i) + "|note of B" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    {
        TDbfCursor c(t);
        c.SetOrder(t->FindTag("NAME"));
        EXPECT_TRUE(c.First());
        EXPECT_EQ(t->PhysicalCount(), 60u);
        EXPECT_EQ(Rows(*t), expected);
        EXPECT_TRUE(Finds(c, "B105"));
        EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
    }
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    // And this program's next write starts from the other's rows too.
    AppendNamed(*t, 51, "A51");
    t.reset();
    auto again = TDbfTable::Open(dir / "t", dbfReadOnly);
    EXPECT_EQ(again->PhysicalCount(), 61u);
    EXPECT_EQ(again->CheckTags(), std::vector<AnsiString>{});
}

TEST(DbfTwoPrograms, TwoAppendersAtOnceLoseNoRow) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    constexpr int Each = 1500;  // a school's worth of rows
    auto appender = [&](std::string Who) {
        return [&dir, Who](TPeer& P) {
            auto t = TDbfTable::Open(dir / "t");
            P.Say("ready");
            P.Hear();
            int done = 0;
            std::string refused = Outcome([&] {
                for (; done < Each; ++done) AppendNamed(*t, done, Who + std::to_string(done));
            });
            t.reset();
            P.Say(std::to_string(done) + " " + refused);
        };
    };
    TPeer a(appender("A")), b(appender("B"));
    ASSERT_EQ(a.Hear(), "ready");
    ASSERT_EQ(b.Hear(), "ready");
    a.Say("go");
    b.Say("go");
    std::string resultA = a.Hear(), resultB = b.Hear();
    EXPECT_EQ(a.Finish(), 0);
    EXPECT_EQ(b.Finish(), 0);
    // Whoever writes first keeps the table to its close; the other is refused
    // at its first row, unless it came after that close and wrote all of its own.
    const std::string all = std::to_string(Each) + " ok", none = "0 " + InUse;
    EXPECT_TRUE(resultA == all || resultA == none) << resultA;
    EXPECT_TRUE(resultB == all || resultB == none) << resultB;
    EXPECT_TRUE(resultA == all || resultB == all) << resultA << " / " << resultB;
    std::vector<std::string> expected;
    for (const auto& [who, result] : {std::pair{"A", resultA}, std::pair{"B", resultB}})
        if (result == all)
            for (int i = 0; i < Each; ++i) {
                std::string name = who + std::to_string(i);
                expected.push_back(std::to_string(i) + "|" + name + "|note of " + name);
            }
    std::sort(expected.begin(), expected.end());
    auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
    EXPECT_EQ(Rows(*t), expected);
    EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

TEST(DbfTwoPrograms, AReaderTakesInTheWritersRowsAndItsChangedKeys) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TPeer reader([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
        TDbfCursor c(t);
        c.SetOrder(t->FindTag("NAME"));
        P.Say(Names(c));
        P.Hear();
        std::string names = Names(c);
        P.Say(names + " " + (Finds(c, "zoe") ? "zoe" : "-") + (Finds(c, "dora") ? "dora" : "-") +
              (Finds(c, "blas") ? "blas" : "-"));
        P.Say(std::to_string(CheckOrdersAgainstSort(*t).size()));
    });
    EXPECT_EQ(reader.Hear(), "alba,blas,carmen");
    auto t = TDbfTable::Open(dir / "t");
    AppendNamed(*t, 4, "zoe");
    t->Update(2, Row(*t, {{"N", "2"}, {"NAME", "dora"}}).data());  // a key changed in place
    t->Flush();
    reader.Say("look");
    EXPECT_EQ(reader.Hear(), "alba,carmen,dora,zoe zoedora-");
    EXPECT_EQ(reader.Hear(), "0");
    EXPECT_EQ(reader.Finish(), 0);
}

// A hold keeps the table's read lock (slot 0) for its whole length:
// exclusive when it writes, so that another program reads the batch only
// whole; shared when it only reads, so that the view it took in stays and
// another program's write waits for it (not refused) and lands after. A
// write of this program in a read hold takes the table for writing, and
// the index is written once, when the hold ends.
TEST(DbfTwoPrograms, AHoldKeepsTheReadLockAndAnotherProgramsWriteWaitsForIt) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TPeer other([&](TPeer& P) {
        // Whether the read lock could be had now, without waiting.
        auto free = [&](TDbfLockKind Kind) {
            auto f = TDbfFileSystem::Native().Open(dir / "t.dbf", true);
            const bool got = f->Lock(0, Kind, false);
            if (got) f->Lock(0, dbfUnlock, false);
            return std::string(got ? "free" : "held");
        };
        for (int i = 0; i < 3; ++i) {
            P.Hear();
            P.Say(free(dbfLockShared) + " " + free(dbfLockExclusive));
        }
        auto t = TDbfTable::Open(dir / "t");
        P.Hear();
        AppendNamed(*t, 4, "dora");  // waits for the read hold
        t.reset();
        P.Say("written");
    });
    auto t = TDbfTable::Open(dir / "t");
    TDbfCursor c(t);
    c.SetOrder(t->FindTag("NAME"));
    t->BeginHold(true);
    other.Say("probe");
    EXPECT_EQ(other.Hear(), "held held");
    t->EndHold();
    t->BeginHold(false);
    other.Say("probe");
    EXPECT_EQ(other.Hear(), "free held");
    t->EndHold();
    other.Say("probe");
    EXPECT_EQ(other.Hear(), "free free");

    t->BeginHold(false);
    other.Say("write");
    EXPECT_EQ(Names(c), "alba,blas,carmen");
    t->EndHold();
    EXPECT_EQ(other.Hear(), "written");
    EXPECT_EQ(other.Finish(), 0);
    EXPECT_EQ(Names(c), "alba,blas,carmen,dora");

    t->BeginHold(false);
    AppendNamed(*t, 5, "eva");
    t->Flush();  // left to the end of the hold
    EXPECT_NE(t->CheckTags(), std::vector<AnsiString>{});
    t->EndHold();
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    EXPECT_EQ(Names(c), "alba,blas,carmen,dora,eva");
}

// Rows appended in a hold have their count, and their memos the memo file's
// pointer to its next free block, written once, when the hold ends: other
// readers (other dBase programs read only the count) find them all then,
// and a program killed in the middle leaves whole records past the count,
// which are rows at the next opening, and a pointer behind its memos, which
// the next memo is not written over. With tags (whose session marks the
// index stale in the header) and without.
TEST(DbfTwoPrograms, RowsAppendedInAHoldAreCountedInTheHeaderWhenItEnds) {
    for (const bool etiquetas : {true, false}) {
        SCOPED_TRACE(etiquetas ? "with tags" : "without tags");
        TTempFolder dir;
        TDbfTable::Create(dir / "t", Fields, etiquetas ? Tags : std::vector<TDbfIndexSpec>{});
        {
            auto t = TDbfTable::Open(dir / "t");
            for (const char* name : {"carmen", "blas", "alba"}) AppendNamed(*t, 1, name);
        }
        auto counted = [&] {
            const std::string dbf = FilesOf(dir).at("t.dbf");
            return DbfGet32(reinterpret_cast<const uint8_t*>(dbf.data()) + 4);
        };
        // The memo file's blocks, and those its header says are taken.
        auto memoBlocks = [&] {
            const std::string dbt = FilesOf(dir).at("t.dbt");
            return std::make_pair(dbt.size() / 512,
                                  size_t(DbfGet32(reinterpret_cast<const uint8_t*>(dbt.data()))));
        };
        {
            auto t = TDbfTable::Open(dir / "t");
            t->BeginHold(true);
            AppendNamed(*t, 4, "dora");
            AppendNamed(*t, 5, "eva");
            t->EndHold();
            EXPECT_EQ(counted(), 5u);
            EXPECT_EQ(memoBlocks(), std::make_pair(size_t(6), size_t(6)));
            EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
        }
        TPeer killed([&](TPeer&) {
            auto t = TDbfTable::Open(dir / "t");
            t->BeginHold(true);
            AppendNamed(*t, 6, "fede");
            ::_exit(0);
        });
        ASSERT_EQ(killed.Finish(), 0);
        EXPECT_EQ(counted(), 5u);
        EXPECT_EQ(memoBlocks(), std::make_pair(size_t(7), size_t(6)));
        auto t = TDbfTable::Open(dir / "t");
        AppendNamed(*t, 7, "gema");
        EXPECT_EQ(Rows(*t), (std::vector<std::string>{"1|alba|note of alba", "1|blas|note of blas",
                                                      "1|carmen|note of carmen", "4|dora|note of dora",
                                                      "5|eva|note of eva", "6|fede|note of fede",
                                                      "7|gema|note of gema"}));
    }
}

TEST(DbfTwoPrograms, ARefusedWriterLeavesEveryFileAsItWas) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TPeer other([&](TPeer& P) {
        P.Hear();
        auto t = TDbfTable::Open(dir / "t");
        std::vector<char> row(size_t(t->RecordLength()));
        t->BlankRecord(row.data());
        P.Say(Outcome([&] { AppendNamed(*t, 9, "eva"); }));
        P.Say(Outcome([&] { t->Update(2, row.data()); }));
        P.Say(Outcome([&] { t->Delete(3); }));
        P.Say(Outcome([&] { t->Empty(); }));
        P.Say(Outcome([&] { t->Reserve(); }));
        P.Say(Outcome([&] { t->Flush(); }));  // nothing of its own to write
        t.reset();
        P.Say(Outcome([&] { TDbfTable::Create(dir / "t", Fields, {}); }));
        P.Say(Outcome([&] { TDbfTable::Rename(dir / "t", dir / "u"); }));
        P.Say(Outcome([&] { TDbfTable::Delete(dir / "t"); }));
    });
    auto t = TDbfTable::Open(dir / "t");
    t->Update(1, Row(*t, {{"N", "7"}, {"NAME", "carmen"}, {"NOTE", "changed"}}).data());
    const auto before = FilesOf(dir);
    other.Say("try");
    for (const char* action : {"append", "update", "delete", "empty", "reserve"})
        EXPECT_EQ(other.Hear(), InUse) << action;
    EXPECT_EQ(other.Hear(), "ok") << "flush";
    for (const char* action : {"create", "rename", "delete"}) EXPECT_EQ(other.Hear(), InUse) << action;
    EXPECT_EQ(other.Finish(), 0);
    EXPECT_TRUE(FilesOf(dir) == before);  // byte for byte, and no file more or less
    t.reset();
    auto again = TDbfTable::Open(dir / "t", dbfReadOnly);
    EXPECT_EQ(Rows(*again),
              (std::vector<std::string>{"1|alba|note of alba", "1|blas|note of blas", "7|carmen|changed"}));
    EXPECT_EQ(again->CheckTags(), std::vector<AnsiString>{});
}

TEST(DbfTwoPrograms, HoldersInOneProgramShareTheWriteSession) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    auto first = TDbfTable::Open(dir / "t");
    auto second = TDbfTable::Open(dir / "T.DBF");
    AppendNamed(*first, 1, "uno");
    AppendNamed(*second, 2, "dos");  // the same program: no refusal
    TDbfCursor c(first);
    c.SetOrder(first->FindTag("NAME"));
    EXPECT_EQ(Names(c), "dos,uno");
}

// Another program that knows nothing of our stamp rewrites a name in place:
// same size, same count, header untouched.
TEST(DbfIndexStamp, ARowRewrittenInPlaceByAnotherProgramGetsItsIndexRebuilt) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    {
        auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
        EXPECT_TRUE(t->State().MdxTrusted);  // our own flush leaves an index that is trusted
    }
    const std::string path = dir / "t.dbf";
    const std::string dbf = ReadBytes(path);
    const size_t headerLength = uint8_t(dbf[8]) | (uint8_t(dbf[9]) << 8);
    const size_t recordLength = uint8_t(dbf[10]) | (uint8_t(dbf[11]) << 8);
    struct stat old {};
    ASSERT_EQ(::stat(path.c_str(), &old), 0);
    int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string name = "zoe         ";  // record 2, field NAME (after the flag and N)
    ASSERT_EQ(::pwrite(fd, name.data(), name.size(), off_t(headerLength + recordLength + 7)),
              ssize_t(name.size()));
    // A file system with a coarse clock may give the rewrite the very time of
    // our flush; another program works later than that.
    struct stat now {};
    ASSERT_EQ(::fstat(fd, &now), 0);
    if (now.st_mtim.tv_sec == old.st_mtim.tv_sec && now.st_mtim.tv_nsec == old.st_mtim.tv_nsec) {
        timespec later[2] = {{0, UTIME_OMIT}, {old.st_mtim.tv_sec + 1, old.st_mtim.tv_nsec}};
        ASSERT_EQ(::futimens(fd, later), 0);
    }
    ::close(fd);
    ASSERT_EQ(ReadBytes(path).size(), dbf.size());

    auto t = TDbfTable::Open(dir / "t");
    EXPECT_FALSE(t->State().MdxTrusted);
    TDbfCursor c(t);
    c.SetOrder(t->FindTag("NAME"));
    EXPECT_TRUE(Finds(c, "zoe"));
    EXPECT_EQ(c.RecNo(), 2u);
    EXPECT_FALSE(Finds(c, "blas"));
    EXPECT_EQ(Names(c), "alba,carmen,zoe");
    t->Flush();  // a table opened for writing repairs its index
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
    t.reset();
    EXPECT_TRUE(TDbfTable::Open(dir / "t", dbfReadOnly)->State().MdxTrusted);
}

// An index written before the stamp kept the modification time is rebuilt
// once, then trusted again.
TEST(DbfIndexStamp, AnIndexWithoutTheModificationTimeIsRebuiltOnce) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    std::string mdx = ReadBytes(dir / "t.mdx");
    std::fill(mdx.begin() + 264, mdx.begin() + 276, '\0');
    WriteBytes(dir / "t.mdx", mdx);
    {
        auto t = TDbfTable::Open(dir / "t");
        EXPECT_FALSE(t->State().MdxTrusted);
        EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{});
    }
    auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
    EXPECT_TRUE(t->State().MdxTrusted);
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

// A reader that holds every row in its record cache, and counts under a
// filter from its position map, sees another program's rewrite of rows in
// place (same count, same size) once that program has flushed.
TEST(DbfTwoPrograms, AReadersCachedRowsAndCountsFollowAnotherProgramsRewrite) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    {
        auto t = TDbfTable::Open(dir / "t");
        for (int i = 1; i <= 2000; ++i) AppendNamed(*t, i, "n" + std::to_string(i));
    }
    TPeer reader([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
        const int name = t->FieldIndex("NAME");
        TDbfCursor c(t);
        c.SetOrder(t->FindTag("NAME"));
        c.AddFilter([&](const char* Record) { return t->GetText(Record, name).starts_with("x"); });
        auto report = [&] {
            TDbfCursor all(t);
            size_t letters = 0;
            for (uint32_t r : Walk(all)) {
                std::vector<char> buf(size_t(t->RecordLength()));
                t->Read(r, buf.data());
                letters += t->GetText(buf.data(), name).size();
            }
            c.Last();
            P.Say(std::to_string(c.RecordCount()) + " " + std::to_string(c.SequenceNumber()) + " " +
                  std::to_string(letters));
        };
        report();
        P.Hear();
        report();
    });
    // The letters of every name, before and after every fourth row is named x.
    auto letters = [](bool Rewritten) {
        size_t n = 0;
        for (int i = 1; i <= 2000; ++i) n += Rewritten && i % 4 == 1 ? 1 : ("n" + std::to_string(i)).size();
        return std::to_string(n);
    };
    EXPECT_EQ(reader.Hear(), "0 0 " + letters(false));
    auto t = TDbfTable::Open(dir / "t");
    for (uint32_t r = 1; r <= 2000; r += 4) t->Update(r, Row(*t, {{"N", "1"}, {"NAME", "x"}}).data());
    t->Flush();
    reader.Say("look");
    EXPECT_EQ(reader.Hear(), "500 500 " + letters(true));
    EXPECT_EQ(reader.Finish(), 0);
}

// A walk along a tag after another program rewrote a row in place (a field
// the tag does not hold) hands out the new row, not the one the walks before
// had read.
TEST(DbfTwoPrograms, AWalkAlongATagTakesInARowAnotherProgramRewroteInPlace) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TPeer other([&](TPeer& P) {
        P.Hear();
        auto t = TDbfTable::Open(dir / "t");
        t->Update(2, Row(*t, {{"N", "77"}, {"NAME", "blas"}}).data());
        t.reset();
        P.Say("done");
    });
    auto t = TDbfTable::Open(dir / "t", dbfReadOnly);
    TDbfCursor c(t);
    c.SetOrder(t->FindTag("NAME"));
    auto numbers = [&] {
        std::string out;
        for (bool on = c.First(); on; on = c.Next())
            out += std::to_string(int(t->GetNumber(c.Record(), 0))) + " ";
        return out;
    };
    EXPECT_EQ(numbers(), "1 1 1 ");
    EXPECT_EQ(numbers(), "1 1 1 ");  // the second walk reads what the first kept
    other.Say("go");
    EXPECT_EQ(other.Hear(), "done");
    EXPECT_EQ(other.Finish(), 0);
    EXPECT_EQ(numbers(), "1 77 1 ");
}

// A table whose files another program sets aside (an import putting a new
// set in their place): that program holds the table first, and what this
// one writes afterwards is refused instead of going into the file set aside.
TEST(DbfReplacedTable, AWriteIntoAFileMovedAwayIsRefusedAndTheTableInItsPlaceStaysAsItWas) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    {
        auto t = TDbfTable::Open(dir / "t");
        AppendNamed(*t, 1, "old");
    }
    // Open and read only: no write session when the other program comes.
    TPeer other([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t");
        P.Say(std::to_string(t->PhysicalCount()));
        P.Hear();
        P.Say(Outcome([&] { AppendNamed(*t, 2, "late"); }));
        P.Say(Outcome([&] { t->Flush(); }));
        t.reset();
        P.Say("closed");
    });
    ASSERT_EQ(other.Hear(), "1");
    {
        auto claim = TDbfTable::Claim(dir / "t");
        ASSERT_NE(claim, nullptr);
        std::filesystem::create_directory(dir / "aside");
        for (const char* f : {"t.dbf", "t.dbt", "t.mdx"})
            std::filesystem::rename(dir / f, dir / ("aside/" + std::string(f)));
        TDbfTable::Create(dir / "t", Fields, Tags);
        auto fresh = TDbfTable::Open(dir / "t");
        AppendNamed(*fresh, 1, "new");
    }
    std::map<std::string, std::string> before;
    for (const char* f : {"t.dbf", "t.dbt", "t.mdx"}) before[f] = ReadBytes(dir / f);
    other.Say("write");
    EXPECT_EQ(other.Hear(),
              std::to_string(dbeReplaced) +
                  " La tabla t ha sido sustituida por otro programa mientras estaba abierta: el "
                  "cambio no se ha guardado. Ci\xE9rrela y vuelva a abrirla.");
    EXPECT_EQ(other.Hear(), "ok");
    EXPECT_EQ(other.Hear(), "closed");
    EXPECT_EQ(other.Finish(), 0);
    for (const char* f : {"t.dbf", "t.dbt", "t.mdx"}) EXPECT_EQ(ReadBytes(dir / f), before[f]) << f;
    auto aside = TDbfTable::Open(dir / "aside/t", dbfReadOnly);
    EXPECT_EQ(aside->PhysicalCount(), 1u);
}

TEST(DbfReplacedTable, AClaimIsRefusedWhileAProgramWritesAndKeepsOthersFromBeginning) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", Fields, Tags);
    TPeer other([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t");
        AppendNamed(*t, 1, "one");  // its write session stays open
        P.Say("writing");
        P.Hear();
        t->Flush();
        P.Say("free");
        P.Hear();
        P.Say(Outcome([&] { AppendNamed(*t, 2, "two"); }));
    });
    ASSERT_EQ(other.Hear(), "writing");
    EXPECT_EQ(Outcome([&] { TDbfTable::Claim(dir / "t"); }), InUse);
    other.Say("end");
    ASSERT_EQ(other.Hear(), "free");
    auto claim = TDbfTable::Claim(dir / "t");
    ASSERT_NE(claim, nullptr);
    other.Say("write");
    EXPECT_EQ(other.Hear(), InUse);
    EXPECT_EQ(other.Finish(), 0);
    EXPECT_EQ(TDbfTable::Claim(dir / "nobody"), nullptr);
}

namespace {

// The native files, but the rename that puts a flushed index in place ends
// the process (as a kill during the flush would) or fails.
class TFlushEndsFs : public TDbfFileSystem {
public:
    enum TEnd { Killed, Failed } End;
    explicit TFlushEndsFs(TEnd E) : End(E) {}
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override {
        return Native().Open(Path, Writable);
    }
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override { return Native().Create(Path); }
    bool Exists(const std::string& Path) override { return Native().Exists(Path); }
    bool IsWritable(const std::string& Path) override { return Native().IsWritable(Path); }
    void Remove(const std::string& Path) override { Native().Remove(Path); }
    void Rename(const std::string& From, const std::string& To) override {
        if (From.ends_with(".new") && To.ends_with(".mdx")) {
            if (End == Killed) ::_exit(0);
            throw EDBEngineError(dbeIO, "refused");
        }
        Native().Rename(From, To);
    }
    std::vector<std::string> List(const std::string& Folder) override { return Native().List(Folder); }
};

std::vector<std::string> SideFiles(const TTempFolder& Dir) {
    std::vector<std::string> names;
    for (const std::string& name : TDbfFileSystem::Native().List(Dir.Path()))
        if (name.ends_with(".new")) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Every kill during a flush, and every failed flush, left the new index's
// side file behind, and they piled up. The side files of processes that are
// gone go when a program opens the table for writing while nobody writes
// it; those of a living process, of another table, or of a table another
// program is writing stay.
TEST(DbfSideFiles, SideFilesOfFlushesThatNeverEndedGoWhenTheTableIsOpened) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    {
        TPeer killed([&](TPeer&) {
            TFlushEndsFs fs(TFlushEndsFs::Killed);
            auto t = TDbfTable::Open(dir / "t", dbfReadWrite, &fs);
            AppendNamed(*t, 4, "dora");
            t->Flush();
        });
        ASSERT_EQ(killed.Finish(), 0);
    }
    std::vector<std::string> left = SideFiles(dir);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].starts_with("t.mdx.")) << left[0];
    TPeer living([&](TPeer& P) {
        P.Say(std::to_string(::getpid()));
        P.Hear();
    });
    const std::string livingSide = "t.mdx." + living.Hear() + "_0000abcd.new";
    for (const std::string& name : {livingSide, std::string("t.mdx.new"), std::string("t.dbt.4194305_1.new"),
                                    std::string("u.mdx.4194305_1.new")})
        WriteBytes(dir / name, "side");
    ASSERT_EQ(SideFiles(dir).size(), 5u);
    const std::vector<std::string> kept{livingSide, "u.mdx.4194305_1.new"};

    // Another program that opens the table for writing sweeps them; while it
    // writes, nothing goes, nor when the table is opened read-only.
    TPeer writer([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t");
        t->Reserve();
        P.Say("writing");
        P.Hear();
    });
    ASSERT_EQ(writer.Hear(), "writing");
    EXPECT_EQ(SideFiles(dir), kept);
    WriteBytes(dir / "t.mdx.4194305_2.new", "side");
    TDbfTable::Open(dir / "t");
    TDbfTable::Open(dir / "t", dbfReadOnly);
    EXPECT_EQ(SideFiles(dir).size(), 3u);
    writer.Say("done");
    EXPECT_EQ(writer.Finish(), 0);
    auto t = TDbfTable::Open(dir / "t");
    EXPECT_EQ(SideFiles(dir), kept);
    EXPECT_EQ(Rows(*t), (std::vector<std::string>{"1|alba|note of alba", "1|blas|note of blas",
                                                  "1|carmen|note of carmen", "4|dora|note of dora"}));
    t.reset();
    living.Say("end");
    EXPECT_EQ(living.Finish(), 0);

    // Once that process is gone, so is its side file; and a flush that
    // fails in this program takes its own side file away.
    TFlushEndsFs failing(TFlushEndsFs::Failed);
    auto f = TDbfTable::Open(dir / "t", dbfReadWrite, &failing);
    EXPECT_EQ(SideFiles(dir), std::vector<std::string>{"u.mdx.4194305_1.new"});
    AppendNamed(*f, 5, "eva");
    EXPECT_THROW(f->Flush(), EDBEngineError);
    EXPECT_EQ(SideFiles(dir), std::vector<std::string>{"u.mdx.4194305_1.new"});
}

// The sweep reads the folder's names again only when the folder changed:
// a side file that appears after an opening, or whose process ends after
// it, still goes at the next opening in this same program.
TEST(DbfSideFiles, EveryOpeningSweepsWhatChangedSinceTheLastOne) {
    TTempFolder dir;
    CreateWithThreeRows(dir);
    TDbfTable::Open(dir / "t");
    WriteBytes(dir / "t.mdx.4194305_3.new", "side");
    TDbfTable::Open(dir / "t");
    EXPECT_EQ(SideFiles(dir), std::vector<std::string>{});

    TPeer living([&](TPeer& P) {
        P.Say(std::to_string(::getpid()));
        P.Hear();
    });
    WriteBytes(dir / ("t.mdx." + living.Hear() + "_0000abcd.new"), "side");
    TDbfTable::Open(dir / "t");
    EXPECT_EQ(SideFiles(dir).size(), 1u);
    living.Say("end");
    EXPECT_EQ(living.Finish(), 0);
    TDbfTable::Open(dir / "t");
    EXPECT_EQ(SideFiles(dir), std::vector<std::string>{});
}
