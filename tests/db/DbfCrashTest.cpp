// A crash at any write leaves each table as it was before the operation, as
// it is after it, or refused as damaged: never with wrong values.
//
// The file layer below counts every write (writes, truncations, creations,
// removals, renames). Cut at write N, the Nth write and every later one never
// reach the disk, as when the process dies there; a write reaches the disk
// whole or not at all.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <sys/resource.h>

#include "DbTestSupport.h"
#include "platform/sys/Files.h"

namespace {

struct TSimulatedCrash {};

class TCrashFs : public TDbfFileSystem {
public:
    explicit TCrashFs(int CutAt) : FCutAt(CutAt) {}
    void Written() {
        if (Crashed) throw TSimulatedCrash{};
        if (++Writes == FCutAt) {
            Crashed = true;
            throw TSimulatedCrash{};
        }
    }
    std::unique_ptr<TDbfFile> Open(const std::string& Path, bool Writable) override;
    std::unique_ptr<TDbfFile> Create(const std::string& Path) override;
    bool Exists(const std::string& Path) override { return Native().Exists(Path); }
    bool IsWritable(const std::string& Path) override { return Native().IsWritable(Path); }
    void Remove(const std::string& Path) override {
        Written();
        Native().Remove(Path);
    }
    void Rename(const std::string& From, const std::string& To) override {
        Written();
        Native().Rename(From, To);
    }
    std::vector<std::string> List(const std::string& Folder) override { return Native().List(Folder); }

    int Writes = 0;
    bool Crashed = false;

private:
    int FCutAt;
};

class TCrashFile : public TDbfFile {
public:
    TCrashFile(std::unique_ptr<TDbfFile> Inner, TCrashFs& Fs) : FInner(std::move(Inner)), FFs(Fs) {}
    size_t Read(uint64_t Offset, void* Buffer, size_t Count) override {
        return FInner->Read(Offset, Buffer, Count);
    }
    void Write(uint64_t Offset, const void* Buffer, size_t Count) override {
        FFs.Written();
        FInner->Write(Offset, Buffer, Count);
    }
    uint64_t Size() override { return FInner->Size(); }
    void Truncate(uint64_t Size) override {
        FFs.Written();
        FInner->Truncate(Size);
    }
    const std::string& Path() const override { return FInner->Path(); }
    bool Lock(int Slot, TDbfLockKind Kind, bool Wait) override { return FInner->Lock(Slot, Kind, Wait); }
    uint64_t Modified() override { return FInner->Modified(); }

private:
    std::unique_ptr<TDbfFile> FInner;
    TCrashFs& FFs;
};

std::unique_ptr<TDbfFile> TCrashFs::Open(const std::string& Path, bool Writable) {
    return std::make_unique<TCrashFile>(Native().Open(Path, Writable), *this);
}
std::unique_ptr<TDbfFile> TCrashFs::Create(const std::string& Path) {
    Written();
    return std::make_unique<TCrashFile>(Native().Create(Path), *this);
}

struct TContext {
    TDbfFileSystem* Fs;
    std::string Dir;
    std::shared_ptr<TDbfTable> T;
    std::string Path(const char* Name) const { return Dir + "/" + Name; }
};

using TStep = std::function<void(TContext&)>;

std::vector<std::pair<const char*, TStep>> Script() {
    const std::vector<TDbfFieldSpec> fields{
        {"N", 'N', 6, 0}, {"NAME", 'C', 10, 0}, {"HOURS", 'N', 20, 4}, {"NOTE", 'M', 10, 0}};
    const std::vector<TDbfIndexSpec> tags{{"N", "N"}, {"NAME", "NAME", true}, {"UNAME", "NAME", false, true}};
    auto append = [](std::string N, std::string Name, std::string Note) {
        return [=](TContext& c) {
            AppendRow(*c.T, {{"N", N}, {"NAME", Name}, {"HOURS", "2.5"}, {"NOTE", Note}});
        };
    };
    return {
        {"create", [=](TContext& c) { TDbfTable::Create(c.Path("t"), fields, tags, c.Fs); }},
        {"open", [](TContext& c) { c.T = TDbfTable::Open(c.Path("t"), dbfReadWrite, c.Fs); }},
        {"append 1", append("3", "carmen", "first note")},
        {"append 2", append("1", "Blas", std::string(700, 'b'))},
        {"append 3", append("2", "alba", "")},
        {"flush", [](TContext& c) { c.T->Flush(); }},
        {"update 2",
         [](TContext& c) {
             auto row = Row(*c.T, {{"N", "9"}, {"NAME", "Zoe"}, {"HOURS", "1"}, {"NOTE", "changed note"}});
             c.T->Update(2, row.data());
         }},
        {"delete 1", [](TContext& c) { c.T->Delete(1); }},
        {"append 4", append("0", "dora", "fourth")},
        {"flush again", [](TContext& c) { c.T->Flush(); }},
        {"empty", [](TContext& c) { c.T->Empty(); }},
        {"append 5", append("5", "eva", "after emptying")},
        {"close", [](TContext& c) { c.T.reset(); }},
        {"replace", [=](TContext& c) { TDbfTable::Create(c.Path("t"), fields, tags, c.Fs); }},
        {"reopen", [](TContext& c) { c.T = TDbfTable::Open(c.Path("t"), dbfReadWrite, c.Fs); }},
        {"append 6", append("6", "fran", "in the new table")},
        {"close again", [](TContext& c) { c.T.reset(); }},
        {"rename", [](TContext& c) { TDbfTable::Rename(c.Path("t"), c.Path("u"), c.Fs); }},
        {"delete", [](TContext& c) { TDbfTable::Delete(c.Path("u"), c.Fs); }},
    };
}

// What a fresh start finds in the folder; Damaged tells of a clear refusal.
std::string Observe(const std::string& Dir, bool& Damaged) {
    std::string out;
    Damaged = false;
    for (const char* name : {"t", "u"}) {
        out += std::string(name) + ":\n";
        std::string path = Dir + "/" + name;
        if (TDbfTable::Find(path).empty()) {
            out += "absent\n";
            continue;
        }
        try {
            auto t = TDbfTable::Open(path, dbfReadOnly);
            for (const std::string& row : Snapshot(*t)) out += row + "\n";
            for (int o = 0; o < t->TagCount(); ++o) {
                TDbfOrderInfo info = t->OrderInfo(o);
                out += "tag " + info.Name + " " + info.Expression + (info.Descending ? " desc" : "") + "\n";
            }
            EXPECT_EQ(CheckOrdersAgainstSort(*t), std::vector<std::string>{}) << name;
        } catch (const EDatabaseError&) {
            Damaged = true;
        }
    }
    return out;
}

}  // namespace

TEST(DbfCrash, CrashAtEveryWriteLeavesTheOldStateTheNewStateOrAClearRefusal) {
    const auto script = Script();
    // The run without a crash: the state after each step.
    std::vector<std::string> states;
    int total;
    {
        TTempFolder dir;
        TCrashFs fs(0);
        TContext c{&fs, dir.Path(), nullptr};
        bool damaged;
        states.push_back(Observe(dir.Path(), damaged));
        for (const auto& [name, step] : script) {
            step(c);
            states.push_back(Observe(dir.Path(), damaged));
            ASSERT_FALSE(damaged) << name;
        }
        total = fs.Writes;
    }
    ASSERT_GT(total, 30);

    int refused = 0;
    for (int cut = 1; cut <= total; ++cut) {
        TTempFolder dir;
        size_t crashedIn = script.size();
        {
            TCrashFs fs(cut);
            TContext c{&fs, dir.Path(), nullptr};
            for (size_t k = 0; k < script.size(); ++k) {
                try {
                    script[k].second(c);
                } catch (const TSimulatedCrash&) {
                }
                if (fs.Crashed) {
                    crashedIn = k;
                    break;
                }
            }
            c.T.reset();  // what is still held dies with the process: its writes are lost
        }
        ASSERT_LT(crashedIn, script.size()) << "cut " << cut;
        bool damaged;
        std::string now = Observe(dir.Path(), damaged);
        if (damaged) {
            ++refused;
            continue;
        }
        EXPECT_TRUE(now == states[crashedIn] || now == states[crashedIn + 1])
            << "cut at write " << cut << " during '" << script[crashedIn].first << "' left:\n"
            << now << "before:\n"
            << states[crashedIn] << "after:\n"
            << states[crashedIn + 1];
        // And the table goes on working: its index is repaired on the next write.
        for (const char* name : {"t", "u"}) {
            if (TDbfTable::Find(dir.Path() + "/" + name).empty()) continue;
            auto t = TDbfTable::Open(dir.Path() + "/" + name);
            AppendRow(*t, {{"N", "7"}, {"NAME", "later"}});
            t->Flush();
            EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{}) << "cut " << cut << " " << name;
        }
    }
    // Even the windows where the files of a table are renamed one by one recover:
    // the companions carry the table id and are found under their other name.
    EXPECT_EQ(refused, 0);
}

// A write the system refuses half-way, as on a full disk (here a file size
// limit stands for it, in a process of its own): the append fails with the
// system's reason in Spanish, naming the file as the program shows paths,
// and the file keeps its records and its end mark, without the part of the
// record that got in.
TEST(DbfRefusedWrites, AnAppendRefusedForLackOfRoomLeavesTheFileAsItWas) {
    TTempFolder dir;
    TDbfTable::Create(dir / "t", {{"N", 'N', 6, 0}, {"NAME", 'C', 200, 0}}, {{"N", "N"}});
    {
        auto t = TDbfTable::Open(dir / "t");
        for (int n = 1; n <= 20; ++n)
            AppendRow(*t, {{"N", std::to_string(n)}, {"NAME", "row " + std::to_string(n)}});
    }
    const std::string before = ReadBytes(dir / "t.dbf");
    const size_t header = size_t(uint8_t(before[8]) | (uint8_t(before[9]) << 8));
    TPeer full([&](TPeer& P) {
        auto t = TDbfTable::Open(dir / "t");
        t->Reserve();  // the session's header is written while there is room
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit room{};
        ::getrlimit(RLIMIT_FSIZE, &room);
        const rlim_t unlimited = room.rlim_cur;
        room.rlim_cur = before.size() + 100;  // half a record
        ::setrlimit(RLIMIT_FSIZE, &room);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                AppendRow(*t, {{"N", "21"}, {"NAME", "does not fit"}});
                P.Say("appended");
            } catch (const EDBEngineError& e) {
                P.Say(std::to_string(e.ErrorCode()) + " " + e.Message());
            }
        }
        room.rlim_cur = unlimited;
        ::setrlimit(RLIMIT_FSIZE, &room);
    });
    const std::string refused = std::to_string(dbeIO) + " No se puede escribir en el fichero " +
                                DbfShownPath(dir / "t.dbf") +
                                ": el fichero ha llegado al mayor tama\xF1o que se le permite";
    EXPECT_EQ(full.Hear(), refused);
    EXPECT_EQ(full.Hear(), refused);
    ASSERT_EQ(full.Finish(), 0);
    const std::string after = ReadBytes(dir / "t.dbf");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(header), before.substr(header));
    EXPECT_FALSE(TDbfTable::MeasureEnd(dir / "t").Damaged());
    auto t = TDbfTable::Open(dir / "t");
    EXPECT_EQ(t->PhysicalCount(), 20u);
    EXPECT_EQ(t->CheckTags(), std::vector<AnsiString>{});
}

TEST(DbfRefusedWrites, TheSystemsReasonsAreGivenInSpanish) {
    const std::pair<int, const char*> reasons[] = {
        {ENOSPC, "no queda espacio en el disco"},
        {EDQUOT, "se ha agotado el espacio del usuario en el disco"},
        {EACCES, "no hay permiso"},
        {EROFS, "el disco es de solo lectura"},
        {12345, "error 12345 del sistema"},
    };
    for (const auto& [error, text] : reasons) EXPECT_EQ(SystemErrorText(error), text) << error;
}
