#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Streams.h"

TEST(Lists, BadIndexesNameTheIndex) {
    TList l;
    int a = 1;
    l.Add(&a);
    try {
        l.Items(1);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    EXPECT_THROW(l.Insert(2, nullptr), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Move(0, 1), EListError);
}

TEST(Lists, DescendantsHearEveryAddAndRemoval) {
    struct Watched : TList {
        std::vector<std::pair<void*, TListNotification>> Heard;
        ~Watched() override { Clear(); }
        void Notify(void* Item, TListNotification Action) override { Heard.emplace_back(Item, Action); }
    };
    int a, b, c;
    Watched l;
    l.Add(&a);
    l.Insert(0, &b);
    l.Add(nullptr);  // nothing to tell about an empty slot
    l.SetItems(2, &c);
    EXPECT_EQ(l.Remove(&a), 1);
    EXPECT_EQ(l.Extract(&b), &b);
    EXPECT_EQ(l.Extract(&b), nullptr);
    using H = std::vector<std::pair<void*, TListNotification>>;
    EXPECT_EQ(l.Heard, (H{{&a, lnAdded}, {&b, lnAdded}, {&c, lnAdded}, {&a, lnDeleted}, {&b, lnExtracted}}));
    EXPECT_EQ(l.Count(), 1);
    EXPECT_EQ(l.First(), &c);
}

TEST(Lists, OrderOperations) {
    int v[5] = {3, 1, 4, 1, 5};
    TList l;
    for (int& x : v) l.Add(&x);
    l.Add(nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 5);
    l.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
    EXPECT_EQ(l[0], &v[1]);  // equal values keep their order
    EXPECT_EQ(l[1], &v[3]);
    EXPECT_EQ(l.Last(), &v[4]);
    l.Move(4, 0);
    EXPECT_EQ(l.First(), &v[4]);
    l.Exchange(0, 4);
    EXPECT_EQ(l.Last(), &v[4]);
    EXPECT_EQ(l.IndexOf(&v[2]), 0);
}

TEST(Lists, BitsGrowWhenSetAndRefuseReadsPastTheEnd) {
    TBits b;
    EXPECT_EQ(b.OpenBit(), 0);
    b.SetBits(0, true);
    b.SetBits(1, true);
    b.SetBits(4, true);
    EXPECT_EQ(b.Size(), 5);
    EXPECT_EQ(b.OpenBit(), 2);
    EXPECT_FALSE(b.Bits(3));
    EXPECT_THROW(b.Bits(5), EBitsError);
    EXPECT_THROW(b.SetBits(-1, true), EBitsError);
    b.SetSize(2);
    EXPECT_EQ(b.OpenBit(), 2);
}

TEST(Streams, MemoryStreamBoundsAndErrors) {
    TMemoryStream m;
    m.WriteString("hola");
    EXPECT_EQ(m.Size(), 4);
    EXPECT_EQ(m.Position(), 4);
    m.SetPosition(0);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 4);
    EXPECT_EQ(m.Read(buf, 8), 0);
    m.SetPosition(2);
    try {
        m.ReadBuffer(buf, 3);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_EQ(m.Seek(-1, soBeginning), -1);
    // Writing past the end leaves zeros in the gap.
    m.Seek(2, soEnd);
    m.WriteString("!");
    EXPECT_EQ(m.DataString(), AnsiString("hola\0\0!", 7));
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
    EXPECT_EQ(m.DataString(), "ho");
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Capacity(), 0);
}

TEST(Streams, StepStreamGrowsInWholeSteps) {
    TStepMemoryStream s;
    s.WriteString("x");
    EXPECT_EQ(s.Capacity(), 128 * 1024);
    std::vector<char> block(128 * 1024, 'y');
    s.WriteBuffer(block.data(), static_cast<int64_t>(block.size()));
    EXPECT_EQ(s.Capacity(), 256 * 1024);
    EXPECT_EQ(s.Size(), 128 * 1024 + 1);
    s.SetSize(0);
    s.SetCapacity(0);
    EXPECT_EQ(s.Capacity(), 0);
}

TEST(Streams, NoMemoryKeepsTheContents) {
    struct Starved : TMemoryStream {
        void* Realloc(void* Block, int64_t& NewCapacity) override {
            if (NewCapacity > 8192) return nullptr;
            return TMemoryStream::Realloc(Block, NewCapacity);
        }
    };
    Starved s;
    s.WriteString("abc");
    std::vector<char> big(10000, 'z');
    try {
        s.WriteBuffer(big.data(), static_cast<int64_t>(big.size()));
        ADD_FAILURE();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
    }
    EXPECT_EQ(s.DataString(), "abc");
}

TEST(Streams, PointerStreamStaysInsideTheCallersBuffer) {
    char buffer[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    TPointerStream p(buffer, 4);
    EXPECT_EQ(p.ReadString(10), "abcd");
    p.SetPosition(2);
    EXPECT_EQ(p.Write("XYZ", 3), 2);
    EXPECT_EQ(std::string(buffer, 6), "abXYef");
    p.SetPosition(3);
    EXPECT_THROW(p.WriteBuffer("12", 2), EWriteError);
    EXPECT_THROW(p.SetSize(10), EStreamError);
}

TEST(Streams, StringStreamAndCopies) {
    TStringStream s("abcdef");
    s.SetPosition(2);
    s.WriteString("XY");
    EXPECT_EQ(s.DataString(), "abXYef");
    s.WriteString("12345");
    EXPECT_EQ(s.DataString(), "abXY12345");
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(s, 0), 9);  // 0: all of it, from the start
    EXPECT_EQ(m.DataString(), "abXY12345");
    s.SetPosition(7);
    EXPECT_THROW(m.CopyFrom(s, 3), EReadError);
    TMemoryStream n;
    n.WriteInt32(-2);
    n.WriteInt32(0x01020304);
    EXPECT_EQ(n.DataString(), AnsiString("\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 8));
    n.SetPosition(0);
    EXPECT_EQ(n.ReadInt32(), -2);
    EXPECT_EQ(n.ReadInt32(), 0x01020304);
    TMemoryStream copy;
    copy.LoadFromStream(n);
    EXPECT_EQ(copy.DataString(), n.DataString());
}

TEST(Streams, HandleStreamWorksOnAnOpenFile) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    THandleStream h(fileno(f));
    h.WriteString("contenido");
    EXPECT_EQ(h.Size(), 9);
    h.SetPosition(3);
    EXPECT_EQ(h.ReadString(4), "teni");
    h.SetSize(5);
    EXPECT_EQ(h.Size(), 5);
    h.SetPosition(0);
    EXPECT_EQ(h.ReadString(100), "conte");
    std::fclose(f);
}
