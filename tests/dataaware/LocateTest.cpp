// The value searches: FindFieldValue on every road it takes, LocateFieldValue
// and the incremental index search.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Dialogs.h"

namespace {
using TNames = std::vector<AnsiString>;

class Locate : public DataAwareFixture {
protected:
    TwwTable* Table = nullptr;
    void SetUp() override {
        DataAwareFixture::SetUp();
        CreateTable("busca",
                    {{"NOMBRE", ftString, 10},
                     {"COD", ftString, 6},
                     {"NOTA", ftFloat},
                     {"FECHA", ftDate},
                     {"OBS", ftMemo}},
                    {{"NOMBRE", "NOMBRE"},
                     {"NOMBREI", "NOMBRE", {ixCaseInsensitive}},
                     {"COD", "COD"},
                     {"NOTA", "NOTA"},
                     {"NOTAD", "NOTA", {ixDescending}}});
        AddRows("busca", {{{"NOMBRE", "xab"}, {"COD", "C1"}, {"NOTA", "1,5"}, {"FECHA", "01/02/2003"}},
                          {{"NOMBRE", "ABC"}, {"COD", "C2"}, {"NOTA", "-1"}, {"OBS", "Sin novedad"}},
                          {{"NOMBRE", ""}, {"COD", "C3"}, {"NOTA", "7"}},
                          {{"NOMBRE", "abx"},
                           {"COD", "C4"},
                           {"NOTA", "2"},
                           {"OBS", "{\\rtf1{\\fonttbl{\\f0 Arial;}}Muy {\\b atenta}\\par}"}},
                          {{"NOMBRE", "Zoe"}, {"COD", "C5"}, {"NOTA", "3"}, {"FECHA", "15/06/2004"}}});
        Table = NewWwTable("busca");
        Table->Open();
    }
    AnsiString Cod() const { return Table->FieldByName("COD")->AsString(); }
    // The codes of the records a search from the first record finds, one search each.
    AnsiString Find(const char* Field, const AnsiString& Text, int Match, bool CaseSensitive = false) {
        Table->First();
        Table->Last();  // a start the search must not keep
        return FindFieldValue(true, Table, Field, Text, Match, CaseSensitive, false) ? Cod()
                                                                                     : AnsiString("-");
    }
};

TEST_F(Locate, FindsByEveryRoad) {
    for (const char* index : {"", "NOMBRE", "NOMBREI", "NOTA", "NOTAD"}) {
        Table->SetIndexName(index);
        struct Case {
            const char* Field;
            AnsiString Text;
            int Match;
            bool CaseSensitive;
            const char* Expected;  // the code found, with the index making no difference
        } cases[] = {
            {"NOMBRE", "", mtExactMatch, false, "C3"},
            {"NOMBRE", "abc", mtExactMatch, false, "C2"},
            {"NOMBRE", "abc", mtExactMatch, true, "-"},
            {"NOMBRE", "Zo", mtPartialMatchStart, true, "C5"},
            {"NOMBRE", "zz", mtPartialMatchStart, false, "-"},
            {"NOMBRE", "b", mtPartialMatchAny, false, nullptr},  // xab, ABC or abx: the first in order
            {"NOTA", "1,50", mtExactMatch, false, "C1"},
            {"NOTA", "-1", mtExactMatch, false, "C2"},
            {"NOTA", "abc", mtExactMatch, false, "-"},
            {"FECHA", "15/06/2004", mtExactMatch, false, "C5"},
            {"OBS", "novedad", mtPartialMatchAny, false, "C2"},
            // Rich text is searched as its plain text.
            {"OBS", "MUY ATENTA", mtExactMatch, false, "C4"},
            {"OBS", "fonttbl", mtPartialMatchAny, false, "-"},
        };
        for (const Case& c : cases) {
            AnsiString found = Find(c.Field, c.Text, c.Match, c.CaseSensitive);
            const std::string what = std::string(index) + " " + c.Field + " " + c.Text;
            if (c.Expected) EXPECT_EQ(found, c.Expected) << what;
            else EXPECT_NE(found, "-") << what;
        }
    }
}

TEST_F(Locate, FromTheStartWithAndWithoutCase) {
    Table->SetIndexName("NOMBREI");
    EXPECT_EQ(Find("NOMBRE", "ab", mtPartialMatchStart), "C2");  // ABC and abx; not xab
    ASSERT_TRUE(FindFieldValue(false, Table, "NOMBRE", "ab", mtPartialMatchStart, false, false));
    EXPECT_EQ(Cod(), "C4");
    // In index order, the search goes on from a record that begins with the
    // text and stops at the first that does not.
    EXPECT_FALSE(FindFieldValue(false, Table, "NOMBRE", "ab", mtPartialMatchStart, false, false));
    EXPECT_EQ(Cod(), "C4");
    EXPECT_EQ(Find("NOMBRE", "b", mtPartialMatchAny), "C2");
    ASSERT_TRUE(FindFieldValue(false, Table, "NOMBRE", "b", mtPartialMatchAny, false, false));
    EXPECT_EQ(Cod(), "C4");
    ASSERT_TRUE(FindFieldValue(false, Table, "NOMBRE", "b", mtPartialMatchAny, false, false));
    EXPECT_EQ(Cod(), "C1");  // xab, anywhere
    // The next match of a text that sorts before the current value: none, at once.
    Table->Last();
    EXPECT_FALSE(FindFieldValue(false, Table, "NOMBRE", "ab", mtPartialMatchStart, false, false));
    EXPECT_EQ(Cod(), "C5");
}

TEST_F(Locate, AMissLeavesTheRecordAndAMissingFieldSaysSo) {
    Table->SetIndexName("COD");
    Table->First();
    Table->Next();
    EXPECT_FALSE(FindFieldValue(true, Table, "NOMBRE", "nadie", mtPartialMatchAny, false, false));
    EXPECT_EQ(Cod(), "C2");
    EXPECT_FALSE(FindFieldValue(false, Table, "OBS", "nada de esto", mtPartialMatchAny, false, false));
    EXPECT_EQ(Cod(), "C2");
    EXPECT_FALSE(FindFieldValue(true, Table, "NOMBRE", "nadie", mtExactMatch, false, true));  // by Locate
    EXPECT_EQ(Cod(), "C2");
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK);
    EXPECT_FALSE(FindFieldValue(true, Table, "NOHAY", "x", mtExactMatch, false, false));
    EXPECT_EQ(dialogs.Texts(), TNames{"Field NOHAY not found."});
}

TEST_F(Locate, MemoSearchTextsAreNotCut) {
    AnsiString longText(300, 'k');
    AddRows("busca", {{{"NOMBRE", "Largo"}, {"COD", "C9"}, {"OBS", "A" + longText + "B"}}});
    Table->Close();
    Table->Open();
    EXPECT_EQ(Find("OBS", longText + "b", mtPartialMatchAny), "C9");
    EXPECT_EQ(Find("OBS", longText + "x", mtPartialMatchAny), "-");
}

TEST_F(Locate, LocateFieldValueStaysOnAMatchingRecord) {
    Table->SetIndexName("COD");
    Table->Last();  // Zoe
    std::vector<AnsiString> scrolls;
    Table->AfterScroll = [&](TDataSet*) { scrolls.push_back(Cod()); };
    EXPECT_TRUE(LocateFieldValue(Table, "ZOE", "NOMBRE", false, mtExactMatch));
    EXPECT_TRUE(scrolls.empty());
    EXPECT_FALSE(LocateFieldValue(Table, "ZOE", "NOMBRE", true, mtExactMatch));
    EXPECT_TRUE(LocateFieldValue(Table, "ab", "NOMBRE", false, mtPartialMatchStart));
    EXPECT_EQ(Cod(), "C2");
    EXPECT_TRUE(TableLocateFieldValue(Table, "xab", "NOMBRE", mtExactMatch, true));
    EXPECT_EQ(Cod(), "C1");
    EXPECT_EQ(Table->BusyCount(), 0);
}

TEST_F(Locate, IncrementalIndexSearch) {
    Table->SetIndexName("NOMBREI");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "aB", 0));  // a value in another letter case
    EXPECT_EQ(Cod(), "C2");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "abx", 0));
    EXPECT_EQ(Cod(), "C4");
    EXPECT_FALSE(IncrementalIndexSearch(Table, "abz", 0));
    EXPECT_TRUE(IncrementalIndexSearch(Table, "Z", 0));
    EXPECT_EQ(Cod(), "C5");
    Table->SetIndexName("NOTA");
    EXPECT_FALSE(IncrementalIndexSearch(Table, "x1", 0));  // a letter on a number index
    EXPECT_EQ(Cod(), "C5");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "1,5", 0));
    EXPECT_EQ(Cod(), "C1");
    // By the nearest key when Locate is not the way.
    DefaultIntl->SetUseLocateMethodForSearch(false);
    Table->SetIndexName("NOMBRE");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "Zo", 0));
    EXPECT_EQ(Cod(), "C5");
    EXPECT_FALSE(IncrementalIndexSearch(Table, "ZZ", 0));
    DefaultIntl->SetUseLocateMethodForSearch(true);
    // A table without an index says so, naming itself.
    TScriptedDialogs dialogs;
    dialogs.Then(IDOK).Then(IDOK);
    Table->SetIndexName("");
    EXPECT_FALSE(IncrementalIndexSearch(Table, "a", 0));
    EXPECT_EQ(dialogs.Texts(), TNames{"Table " + Table->Name() + ": Table index not found"});
    EXPECT_FALSE(Table->SearchIndexValue("a", 0));
    EXPECT_EQ(dialogs.Texts().size(), 2u);
}

TEST_F(Locate, NarrowSearchKeepsTheMatchingRecords) {
    Table->SetNarrowSearch(true);
    Table->SetNarrowSearchUpperChar('z');
    Table->SetIndexName("NOMBRE");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "ab", 0));
    EXPECT_EQ(Column(Table, "COD"), TNames{"C4"});  // from ab to abzzzzzzzz
    EXPECT_TRUE(IncrementalIndexSearch(Table, "A", 0));
    EXPECT_EQ(Column(Table, "COD"), TNames{"C2"});
    Table->SetIndexName("NOTAD");
    EXPECT_TRUE(IncrementalIndexSearch(Table, "2", 0));  // a number: a range from its key on
    EXPECT_EQ(Column(Table, "COD"), (TNames{"C4", "C1", "C2"}));
    Table->SetIndexName("NOMBRE");
    EXPECT_FALSE(IncrementalIndexSearch(Table, "", 0));  // the range goes
    EXPECT_EQ(Table->RecordCount(), 5);
}
}  // namespace
