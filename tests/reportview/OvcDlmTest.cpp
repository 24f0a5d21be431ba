// The containers: growth steps, order, last-match search, errors that keep
// the list whole, and the caches' eviction order.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "reportview/OvcDlm.h"

namespace {

void* P(intptr_t N) { return reinterpret_cast<void*>(N); }

TEST(OvcFastList, GrowsInItsSteps) {
    TOvcFastList list;
    EXPECT_EQ(list.Capacity(), 0);
    // The capacity after each add, from the first.
    std::vector<int> after;
    for (int i = 1; i <= 29; ++i) {
        list.Add(P(i));
        after.push_back(list.Capacity());
    }
    EXPECT_EQ(after[0], 4);
    EXPECT_EQ(after[4], 8);
    EXPECT_EQ(after[8], 12);
    EXPECT_EQ(after[12], 28) << "above 8: plus 16";
    EXPECT_EQ(after[28], 44);
    TOvcFastList big;
    big.SetCapacity(80);
    for (int i = 0; i < 81; ++i) big.Add(P(i));
    EXPECT_EQ(big.Capacity(), 100) << "above 64: plus a quarter";
}

TEST(OvcFastList, OrderSearchAndCount) {
    TOvcFastList list;
    for (int i : {1, 2, 3, 2, 4}) list.Add(P(i));
    EXPECT_EQ(list.IndexOf(P(2)), 3) << "the last match";
    EXPECT_EQ(list.IndexOf(P(9)), -1);
    list.Delete(1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Get(1), P(3));
    EXPECT_EQ(list.Get(2), P(2));
    EXPECT_EQ(list.Capacity(), 8) << "a delete keeps the capacity";
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
    list.SetCount(3);
    EXPECT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.Get(i), nullptr);
    list.SetCount(1);
    EXPECT_EQ(list.Capacity(), 3);
}

TEST(OvcFastList, ErrorsNameTheValueAndChangeNothing) {
    TOvcFastList list;
    list.Add(P(1));
    struct Case {
        std::function<void()> Call;
        const char* Message;
    } cases[] = {{[&] { list.Get(1); }, "List index out of bounds:1"},
                 {[&] { list.Put(-1, nullptr); }, "List index out of bounds:-1"},
                 {[&] { list.Delete(5); }, "List index out of bounds:5"},
                 {[&] { list.SetCapacity(0); }, "Invalid list capacity:0"},
                 {[&] { list.SetCapacity(TOvcFastList::MaxCount + 1); }, "Invalid list capacity:134217728"},
                 {[&] { list.SetCount(-1); }, "Invalid list count:-1"}};
    for (const Case& c : cases) {
        try {
            c.Call();
            ADD_FAILURE() << c.Message;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Get(0), P(1));
    }
}

TEST(OvcDataList, ItemsAndTheirDataMoveTogether) {
    TOvcDataList list;
    list.AddObject(P(1), P(10));
    list.Add(P(2));
    list.AddIfUnique(P(1));
    list.AddIfUnique(P(3));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.UserData(1), nullptr);
    list.Delete(0);
    EXPECT_EQ(list.Items(0), P(2));
    EXPECT_EQ(list.UserData(0), nullptr);
    list.SetAllUserData(P(7));
    EXPECT_EQ(list.UserData(1), P(7));
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_EQ(list.Count(), 2);
}

TEST(OvcLiteCache, TheOldestAdditionGoesFirstEvenWithinOneMillisecond) {
    // Every entry comes at the same tick, as when a view fills its rows.
    TManualClock clock(0, 5000);
    TClockScope use(clock);
    TOvcLiteStringCache cache(256);
    std::vector<int> keys(260);
    for (int i = 0; i < 256; ++i) cache.AddValue(&keys[size_t(i)], "row " + IntToStr(i));
    AnsiString s = "unchanged";
    ASSERT_TRUE(cache.GetValue(&keys[0], s)) << "read a moment before it goes";
    EXPECT_EQ(s, "row 0");
    cache.AddValue(&keys[256], "row 256");
    cache.AddValue(&keys[257], "row 257");
    s = "unchanged";
    EXPECT_FALSE(cache.GetValue(&keys[0], s));
    EXPECT_EQ(s, "unchanged") << "a miss leaves the caller's text";
    EXPECT_FALSE(cache.GetValue(&keys[1], s));
    EXPECT_TRUE(cache.GetValue(&keys[256], s));
    EXPECT_TRUE(cache.GetValue(&keys[257], s)) << "the newest entry is not the next to go";
    EXPECT_TRUE(cache.GetValue(&keys[2], s));
    EXPECT_EQ(s, "row 2");
}

TEST(OvcLiteCache, ARemovedEntryIsTheFirstSlotReused) {
    TOvcLiteStringCache cache(3);
    int a = 0, b = 0, c = 0, d = 0;
    cache.AddValue(&a, "a");
    cache.AddValue(&b, "b");
    cache.AddValue(&c, "c");
    cache.RemoveValue(&b);
    AnsiString s;
    EXPECT_FALSE(cache.GetValue(&b, s));
    EXPECT_EQ(cache.Count(), 3) << "a dead entry still counts";
    cache.AddValue(&d, "d");
    EXPECT_TRUE(cache.GetValue(&a, s));
    EXPECT_TRUE(cache.GetValue(&c, s));
    EXPECT_TRUE(cache.GetValue(&d, s));
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_FALSE(cache.GetValue(&a, s));
}

TEST(OvcLiteCache, ValuesOfAnySizeAndTheRemoveNotice) {
    struct TValue {
        int A;
        double B;
    };
    TOvcLiteCache cache(sizeof(TValue), 2);
    std::vector<int> removed;
    cache.OnRemove = [&](void* V) { removed.push_back(static_cast<TValue*>(V)->A); };
    int k1 = 0, k2 = 0, k3 = 0;
    TValue v{1, 1.5};
    cache.AddValue(&k1, &v);
    v.A = 2;
    cache.AddValue(&k2, &v);
    v.A = 3;
    cache.AddValue(&k3, &v);
    EXPECT_EQ(removed, std::vector<int>{1});
    TValue out{0, 0};
    EXPECT_TRUE(cache.GetValue(&k3, &out));
    EXPECT_EQ(out.A, 3);
    EXPECT_EQ(out.B, 1.5);
    cache.Clear();
    EXPECT_EQ(removed, (std::vector<int>{1, 3, 2}));
}

}  // namespace
