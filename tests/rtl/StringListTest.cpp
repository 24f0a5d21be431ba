#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "rtl/LinesOf.h"

TEST(StringList, SortedListsHandleDuplicatesAsTold) {
    struct {
        TDuplicates Mode;
        V Expected;
    } cases[] = {
        {dupIgnore, {"a", "B", "c"}},
        {dupAccept, {"a", "b", "B", "c"}},  // a new equal line goes before the old ones
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetSorted(true);
        l.SetDuplicates(c.Mode);
        for (const char* s : {"c", "B", "a"}) l.Add(s);
        int at = l.Add("b");  // equal to "B" without regard to case
        EXPECT_EQ(at, 1);
        EXPECT_EQ(Lines(l), c.Expected);
    }
    TStringList refuse;
    refuse.SetSorted(true);
    refuse.SetDuplicates(dupError);
    refuse.Add("TIPO");
    try {
        refuse.Add("tipo");
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(refuse.Count(), 1);
    // An unsorted list keeps every line, duplicates included.
    TStringList plain;
    plain.SetDuplicates(dupError);
    plain.Add("x");
    plain.Add("x");
    EXPECT_EQ(plain.Count(), 2);
}

TEST(StringList, SortedOrderIsTheLocaleOrder) {
    TStringList l;
    for (const char* s : {"b", "\xE1rbol", "Zona", "\xF1u", "o", "arbol", "nube"}) l.Add(s);
    l.SetSorted(true);
    EXPECT_EQ(Lines(l), (V{"arbol", "\xE1rbol", "b", "nube", "\xF1u", "o", "Zona"}));
    int i = -1;
    EXPECT_TRUE(l.Find("ZONA", i));
    EXPECT_EQ(i, 6);
    EXPECT_FALSE(l.Find("p", i));
    EXPECT_EQ(i, 6);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.SetStrings(0, "x"), EStringListError);
}

TEST(StringList, IndexOfIgnoresCaseButNotAccentsUnlessCaseSensitive) {
    TStringList l;
    for (const char* s : {"TIPO", "\xC1RBOL", "a"}) l.Add(s);
    EXPECT_EQ(l.IndexOf("tipo"), 0);
    EXPECT_EQ(l.IndexOf("\xE1rbol"), 1);
    EXPECT_EQ(l.IndexOf("\xE1"), -1);
    EXPECT_EQ(l.IndexOf("arbol"), -1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("tipo"), -1);
    EXPECT_EQ(l.IndexOf("TIPO"), 0);
    // Sorted and case-sensitive: the search runs on the sorted order.
    l.SetSorted(true);
    l.Add("tipo");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_NE(l.IndexOf("tipo"), l.IndexOf("TIPO"));
}

TEST(StringList, TextReadsEveryKindOfLineBreak) {
    struct {
        const char* Text;
        V Expected;
    } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"", {}},
        {"\r\n", {""}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"\n\r", {"", ""}},  // LF then a lone CR: two breaks
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetText(c.Text);
        EXPECT_EQ(Lines(l), c.Expected) << c.Text;
    }
    TStringList l;
    l.SetText("uno\ndos");
    EXPECT_EQ(l.Text(), "uno\r\ndos\r\n");
}

TEST(StringList, NameValueLines) {
    TStringList l;
    l.SetText("ASIG1=MAT\r\nsin separador\r\nASIG2=LEN=G\r\n");
    EXPECT_EQ(l.Values("asig1"), "MAT");
    EXPECT_EQ(l.Values("ASIG2"), "LEN=G");
    EXPECT_EQ(l.Values("sin separador"), "");
    EXPECT_EQ(l.IndexOfName("sin separador"), -1);
    EXPECT_EQ(l.Names(2), "ASIG2");
    EXPECT_EQ(l.Names(1), "");
    EXPECT_EQ(l.ValueFromIndex(0), "MAT");
    l.SetValues("ASIG3", "FIS");
    l.SetValues("asig1", "QUI");
    l.SetValues("ASIG2", "");
    EXPECT_EQ(Lines(l), (V{"asig1=QUI", "sin separador", "ASIG3=FIS"}));
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList l;
    for (const char* s : {"a", "b c", "d\"e", ""}) l.Add(s);
    EXPECT_EQ(l.CommaText(), "a,\"b c\",\"d\"\"e\",");
    TStringList back;
    back.SetCommaText(l.CommaText());
    EXPECT_EQ(Lines(back), Lines(l));
    back.SetCommaText("x y, z");
    EXPECT_EQ(Lines(back), (V{"x", "y", "z"}));
    back.SetCommaText("\"\"");
    EXPECT_EQ(Lines(back), V{""});
    EXPECT_EQ(back.CommaText(), "\"\"");
    back.SetDelimiter(';');
    back.SetDelimitedText("1;\"2;3\";4");
    EXPECT_EQ(Lines(back), (V{"1", "2;3", "4"}));
    EXPECT_EQ(back.DelimitedText(), "1;\"2;3\";4");
}

TEST(StringList, ChangeEventsAreHeldDuringUpdates) {
    TStringList l;
    int changing = 0, changed = 0;
    l.OnChanging = [&](TObject*) { ++changing; };
    l.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changed;
    };
    l.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    l.BeginUpdate();
    l.Add("b");
    l.BeginUpdate();
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changed, 1);
    l.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    l.SetText("x\ny\nz");  // one notice for the whole text
    EXPECT_EQ(changed, 3);
}

TEST(StringList, ObjectsTravelWithTheirLines) {
    TObject one, two, three;
    TStringList l;
    l.AddObject("c", &three);
    l.AddObject("a", &one);
    l.AddObject("b", &two);
    l.Sort();
    EXPECT_EQ(l.Objects(0), &one);
    EXPECT_EQ(l.Objects(2), &three);
    l.Exchange(0, 2);
    EXPECT_EQ(l.Objects(0), &three);
    EXPECT_EQ(l.IndexOfObject(&one), 2);
    TStringList copy;
    copy.Assign(&l);
    EXPECT_EQ(Lines(copy), Lines(l));
    EXPECT_EQ(copy.Objects(1), &two);
    l.Move(0, 2);
    EXPECT_EQ(Lines(l), (V{"b", "a", "c"}));
    EXPECT_EQ(l.Objects(2), &three);
}

TEST(StringList, CustomSortComparesTheLinesAsTheyStand) {
    TStringList l;
    for (const char* s : {"10", "9", "100", "9"}) l.Add(s);
    l.CustomSort([](TStringList& L, int a, int b) { return std::stoi(L[a]) - std::stoi(L[b]); });
    EXPECT_EQ(Lines(l), (V{"9", "9", "10", "100"}));
}

TEST(StringList, BadIndexesRaiseListErrors) {
    TStringList l;
    l.Add("a");
    try {
        l.Get(5);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(3, "x"), EStringListError);
    EXPECT_THROW(l.Objects(1), EStringListError);
}

TEST(StringList, StreamsCarryTheText) {
    TStringList l;
    l.SetText("uno\ndos");
    TStringStream s;
    l.SaveToStream(s);
    EXPECT_EQ(s.DataString(), "uno\r\ndos\r\n");
    TStringStream in("cabecera|a\rb");
    in.SetPosition(8);  // reads from the position on
    TStringList back;
    back.LoadFromStream(in);
    EXPECT_EQ(Lines(back), (V{"|a", "b"}));
}

TEST(StringList, CreatedByNameAndAssignedOnlyFromStrings) {
    RegisterClass(TStringList::StaticClassInfo());
    const TClassInfo* c = GetClass("tstringlist");
    ASSERT_NE(c, nullptr);
    TObject* o = c->Create(nullptr);
    EXPECT_TRUE(o->IsClassNamed("TStrings"));
    o->Free();
    TStringList l;
    TPersistent other;
    EXPECT_THROW(l.Assign(&other), EConvertError);
}
