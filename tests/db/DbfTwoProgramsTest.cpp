// Two programs on one table, as two staff at two machines on a shared
// folder: the locks of the file layer first.
#include <gtest/gtest.h>

#include "DbTestSupport.h"

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
        EXPECT_FALSE(second->Lock(1, dbfLockExclusive, false)); // as another program would be
        EXPECT_FALSE(second->Lock(1, dbfLockShared, true));     // and never waited for
        EXPECT_TRUE(second->Lock(0, dbfLockShared, false));
        auto reader = fs.Open(dir / "f", false);
        EXPECT_TRUE(reader->Lock(0, dbfLockShared, false));
    } // both close: their shared locks go, the holder's stays
    other.Say("try");
    EXPECT_EQ(other.Hear(), "- read");
    holder.reset();
    other.Say("again");
    EXPECT_EQ(other.Hear(), "write read");
    EXPECT_EQ(other.Finish(), 0);
}
