// The sorted linked lists and their node pool: order by pointer and by user
// keys, positional access from any side, key rovers that stay on their
// positions through inserts and deletes, equal items that can each be
// deleted, and the errors that leave a list as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "reportview/OvcDlm.h"

namespace {

void* Ptr(intptr_t N) { return reinterpret_cast<void*>(N); }

template <typename F>
std::string MessageOf(F&& Call) {
    try {
        Call();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no exception)";
}

// Every rover stands on the node at its position, and every node is found where it is.
void ExpectChainWhole(TOvcSortedDoubleLinkManager& M) {
    for (int j = 0; j < M.RoversInUse(); ++j)
        ASSERT_EQ(M.GetNode(M.RoverPosition(j)), M.RoverNode(j)) << "rover " << j;
    int pos = 0;
    for (TOvcDoubleLinkNode n = M.First(); n; n = M.GetNext(n), ++pos) ASSERT_EQ(M.FindIndex(n), pos);
    ASSERT_EQ(pos, M.Count());
}

TEST(OvcPoolManager, PagesOfPointerSizedItems) {
    EXPECT_EQ(MessageOf([] { TOvcPoolManager p(TOvcPoolManager::ItemArea + 1); }),
              "PoolManager does not support items > 4K");
    TOvcPoolManager pool(5);
    EXPECT_EQ(pool.ItemSize(), 8u);
    EXPECT_EQ(pool.ItemsPerPage(), 511u);
    std::vector<void*> items;
    for (int i = 0; i < 511; ++i) items.push_back(pool.NewItem());
    EXPECT_EQ(pool.PageCount(), 1);
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_EQ(static_cast<char*>(items[i]) - static_cast<char*>(items[i - 1]), 8);
    void* next = pool.NewItem();
    EXPECT_EQ(pool.PageCount(), 2);
    pool.DeleteItem(items[3]);
    pool.DeleteItem(items[7]);
    EXPECT_EQ(pool.NewItem(), items[7]) << "last freed, first reused";
    EXPECT_EQ(pool.NewItem(), items[3]);
    EXPECT_EQ(static_cast<char*>(pool.NewItem()), static_cast<char*>(next) + 8);
    pool.Clear();
    EXPECT_EQ(pool.PageCount(), 0);
    EXPECT_EQ(TOvcPoolManager(TOvcPoolManager::ItemArea).ItemsPerPage(), 1u);
}

TEST(OvcList, KeepsSignedPointerOrderWithPositionsFromAnySide) {
    TOvcList list(false);
    std::vector<intptr_t> values;
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        intptr_t v = intptr_t(rng() % 100000) - 50000;
        values.push_back(v);
        list.AddObject(Ptr(v), Ptr(i));
    }
    std::sort(values.begin(), values.end());
    ASSERT_EQ(list.GetCount(), 300);
    // Positions in an order that uses the rover both ways and the two ends.
    for (int i : {0, 299, 150, 151, 149, 10, 290, 75, 76, 200, 3, 298, 150})
        EXPECT_EQ(list.GetItems(i), Ptr(values[size_t(i)])) << i;
    for (int i = 0; i < 300; ++i) ASSERT_EQ(list.GetItems(i), Ptr(values[size_t(i)]));
    for (int i = 299; i >= 0; --i) ASSERT_EQ(list.GetItems(i), Ptr(values[size_t(i)]));
    ExpectChainWhole(*list.Manager());
    EXPECT_EQ(MessageOf([&] { list.GetItems(300); }), "Node index out of bounds");
    EXPECT_EQ(MessageOf([&] { list.GetItems(-1); }), "Node index out of bounds");
    int at = list.IndexOf(Ptr(values[42]));
    EXPECT_EQ(list.GetItems(at), Ptr(values[42]));
    EXPECT_EQ(list.IndexOf(Ptr(60000)), -1);
    EXPECT_EQ(list.AddIfUnique(Ptr(values[0])), nullptr);
    EXPECT_EQ(list.GetCount(), 300);
    EXPECT_NE(list.AddIfUnique(Ptr(60000)), nullptr);
    EXPECT_EQ(list.GetItems(300), Ptr(60000));
    list.SetAllUserData(Ptr(5));
    EXPECT_EQ(list.GetUserData(17), Ptr(5));
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Pool(), nullptr);
}

TEST(OvcList, EqualPointersAreEachDeleted) {
    // Equal items between two others, deleted one by one from the first of
    // them, the last of them or the middle: whichever node is asked for goes,
    // even where a rover stands on another node of the same pointer.
    struct {
        int Equal;
        const char* From;
    } cases[] = {{2, "first"},  {5, "first"}, {5, "last"},   {5, "middle"},
                 {40, "first"}, {40, "last"}, {40, "middle"}};
    for (const auto& c : cases) {
        TOvcList list(false);
        for (int i = 0; i < c.Equal; ++i) list.Add(Ptr(10));
        list.Add(Ptr(5));
        list.Add(Ptr(20));
        while (list.GetCount() > 2) {
            const int n = list.GetCount();
            const int at = c.From[0] == 'f' ? 1 : c.From[0] == 'l' ? n - 2 : n / 2;
            const TOvcDoubleLinkNode node = list.GetNode(at);
            ASSERT_EQ(MessageOf([&] { list.Delete(at); }), "(no exception)") << c.Equal << " " << c.From;
            for (int i = 0; i < list.GetCount(); ++i)
                ASSERT_NE(list.GetNode(i), node) << "the node asked for went";
        }
        EXPECT_EQ(list.GetItems(0), Ptr(5));
        EXPECT_EQ(list.GetItems(1), Ptr(20));
    }
}

TEST(OvcSortedDoubleLinkManager, RoversAreRespacedAfterSixtyFiveInserts) {
    std::vector<std::array<void*, 4>> nodes(200);
    TOvcSortedDoubleLinkManager m(
        32, 0,
        [](TOvcDoubleLinkNode A, TOvcDoubleLinkNode B, int) {
            return int(reinterpret_cast<intptr_t>(NodeData(A)) - reinterpret_cast<intptr_t>(NodeData(B)));
        },
        0);
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i][0] = Ptr(intptr_t((i * 37) % 200));
    for (size_t i = 0; i < 64; ++i) m.Insert(nodes[i].data());
    EXPECT_EQ(m.RoversInUse(), 0) << "64 inserts pending";
    m.Insert(nodes[64].data());
    EXPECT_EQ(m.RoversInUse(), 32);
    EXPECT_EQ(m.RoverPosition(0), 1);
    EXPECT_EQ(m.RoverPosition(31), 63);
    ExpectChainWhole(m);
    for (size_t i = 65; i < nodes.size(); ++i) m.Insert(nodes[i].data());
    ExpectChainWhole(m);
    // Inserts between rovers move the rovers after them.
    std::mt19937 rng(3);
    std::vector<size_t> order(nodes.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    for (size_t k = 0; k < 150; ++k) {
        m.DeleteNode(nodes[order[k]].data());
        if (k % 10 == 0) ExpectChainWhole(m);
    }
    EXPECT_EQ(m.Count(), 50);
    ExpectChainWhole(m);
    while (m.Count() > 2) m.DeleteNode(m.GetNode(1));
    EXPECT_EQ(m.RoversInUse(), 0) << "two items use no rovers";
    for (int i = 1; i < m.Count(); ++i)
        EXPECT_LT(reinterpret_cast<intptr_t>(NodeData(m.GetNode(i - 1))),
                  reinterpret_cast<intptr_t>(NodeData(m.GetNode(i))));
}

TEST(OvcSortedDoubleLinkManager, ErrorsLeaveTheChain) {
    std::array<void*, 4> a{Ptr(1)}, b{Ptr(2)}, c{Ptr(3)};
    TOvcSortedDoubleLinkManager none(4, 0, nullptr, 0);
    EXPECT_EQ(MessageOf([&] { none.Insert(a.data()); }), "Compare not assigned");
    EXPECT_EQ(MessageOf([] { TOvcSortedDoubleLinkManager m(513, 0, nullptr, 0); }),
              "Too many key rovers requested");
    TOvcSortedDoubleLinkManager m(
        4, 0,
        [](TOvcDoubleLinkNode A, TOvcDoubleLinkNode B, int) {
            return int(reinterpret_cast<intptr_t>(NodeData(A)) - reinterpret_cast<intptr_t>(NodeData(B)));
        },
        0);
    m.Insert(a.data());
    m.Insert(b.data());
    EXPECT_EQ(MessageOf([&] { m.Insert(b.data()); }), "Duplicate item");
    EXPECT_EQ(MessageOf([&] { m.DeleteNode(c.data()); }), "Node not found");
    EXPECT_EQ(m.Count(), 2);
    EXPECT_EQ(m.GetNode(1), b.data());
}

struct TRecord {
    int Age;
    int Name;
};

TEST(OvcSortedList, KeysOrderTheSameItems) {
    auto compare = [](int Key, void* A, void* B) {
        auto* x = static_cast<TRecord*>(A);
        auto* y = static_cast<TRecord*>(B);
        if (Key == 0) return x->Age - y->Age;
        if (x->Age < 0 || y->Age < 0) throw Exception("compare failed");
        return y->Name - x->Name;  // key 1: names descending
    };
    std::vector<TRecord> recs{{30, 1}, {20, 5}, {30, 3}, {10, 4}, {20, 2}};
    TOvcSortedList list(2, compare, false);
    for (TRecord& r : recs) list.AddObject(&r, Ptr(r.Name));
    auto ages = [&] {
        std::vector<int> out;
        for (int i = 0; i < list.GetCount(); ++i) out.push_back(static_cast<TRecord*>(list.GetItems(i))->Age);
        return out;
    };
    auto names = [&] {
        std::vector<int> out;
        for (int i = 0; i < list.GetCount(); ++i)
            out.push_back(static_cast<TRecord*>(list.GetItems(i))->Name);
        return out;
    };
    list.SetCurrentKey(0);
    EXPECT_EQ(ages(), (std::vector<int>{10, 20, 20, 30, 30}));
    list.SetCurrentKey(1);
    EXPECT_EQ(names(), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(list.GetUserData(0), Ptr(5));
    EXPECT_EQ(list.IndexOf(&recs[3]), 1);
    list.SetCurrentKey(0);
    EXPECT_EQ(list.IndexOf(&recs[3]), 0);
    TRecord probe{20, 0};
    int at = list.IndexOfValue(&probe);
    EXPECT_TRUE(at == 1 || at == 2) << at;
    probe.Age = 25;
    EXPECT_EQ(list.IndexOfValue(&probe), -1);
    // Two items of equal age: either goes, from every order.
    list.Delete(2);
    list.Delete(1);
    EXPECT_EQ(ages(), (std::vector<int>{10, 30, 30}));
    list.SetCurrentKey(1);
    EXPECT_EQ(names(), (std::vector<int>{4, 3, 1}));
    list.SetCurrentKey(-1);
    EXPECT_EQ(list.GetCount(), 3);

    EXPECT_EQ(MessageOf([&] { list.SetCurrentKey(2); }), "Key number out of range");
    EXPECT_EQ(MessageOf([&] { list.SetCurrentKey(-2); }), "Key number out of range");
    EXPECT_EQ(MessageOf([&] { list.Delete(3); }), "List index out of bounds");
    TRecord bad{-1, 9};
    EXPECT_EQ(MessageOf([&] { list.Add(&bad); }), "compare failed");
    EXPECT_EQ(list.GetCount(), 3) << "a failed add leaves nothing behind";
    list.SetCurrentKey(1);
    EXPECT_EQ(names(), (std::vector<int>{4, 3, 1}));
    TRecord twin{30, 1};
    list.Add(&twin);
    EXPECT_EQ(MessageOf([&] { list.IndexOfValue(&bad); }), "compare failed");
    // The value search ended with the compare's failure: items of equal keys are told apart again.
    EXPECT_EQ(list.GetItems(list.IndexOf(&twin)), &twin);
    EXPECT_EQ(list.GetItems(list.IndexOf(&recs[0])), &recs[0]);
    EXPECT_EQ(MessageOf([] { TOvcSortedList l(65, nullptr, false); }), "Too many keys in list");
}

}  // namespace
