// The history list's round trips through an ini file and through the
// registry store, the file name it falls back to, the order an ini section
// is read in and the merge into a combo's items.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "LibraryTestSupport.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwhistorylist.h"
#include "platform/classes/Component.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Paths.h"
#include "platform/sys/Registry.h"
#include "tests/support/TempMachine.h"

namespace fs = std::filesystem;

namespace {

class HistoryList : public ::testing::Test {
protected:
    TTempMachine Machine{"history"};
    fs::path User = Machine.UseUserDir();
    TLibraryScope Library;
    TComponent* Owner = NewComponent<TComponent>(nullptr);
    std::unique_ptr<TwwHistoryList> History = NewHistory();

    HistoryList() { ResetRegistryStore(); }
    ~HistoryList() override {
        History.reset();
        Owner->Free();
        ResetRegistryStore();
    }
    std::unique_ptr<TwwHistoryList> NewHistory() {
        auto history = std::make_unique<TwwHistoryList>();
        history->SetOwner(Owner);
        history->SetEnabled(true);
        return history;
    }
    static std::vector<AnsiString> Lines(const TStrings* L) {
        std::vector<AnsiString> v;
        for (int i = 0; i < L->Count(); ++i) v.push_back(L->Strings(i));
        return v;
    }
    static std::string Contents(const fs::path& File) {
        std::ifstream in(File, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Fill(std::initializer_list<const char*> Entries) {
        History->Entries()->Clear();
        for (const char* e : Entries) History->Entries()->Add(e);
    }
    using V = std::vector<AnsiString>;
};

TEST_F(HistoryList, AnIniFileNamedAfterTheProgramKeepsTheEntriesByNumber) {
    History->SetSection("Nombres");
    EXPECT_EQ(History->FileName(), "test_dataaware.ini");
    Fill({"Ana", "Luis", "Pedro"});
    History->Save();
    const fs::path file = User / "test_dataaware.ini";
    EXPECT_EQ(Contents(file), "[Nombres]\r\n0=Ana\r\n1=Luis\r\n2=Pedro\r\n");
    auto again = NewHistory();
    again->SetSection("Nombres");
    TStringList items;
    again->LoadAndMerge(&items);
    EXPECT_TRUE(again->IsLoaded());
    EXPECT_EQ(Lines(again->Entries()), (V{"Ana", "Luis", "Pedro"}));
    EXPECT_EQ(Lines(&items), (V{"Ana", "Luis", "Pedro"}));
}

TEST_F(HistoryList, MaxSizeWritesTheNewestUnderTheirPositions) {
    History->SetSection("S");
    History->SetFileName("hist.ini");
    History->SetMaxSize(2);
    Fill({"a", "b", "c", "d"});
    History->Save();
    EXPECT_EQ(Contents(User / "hist.ini"), "[S]\r\n2=c\r\n3=d\r\n");
    EXPECT_EQ(History->Entries()->Count(), 4);  // the list in memory is not cut
    // Read back by key number, whatever order the lines stand in; keys that
    // are not numbers were never written and are left out.
    std::ofstream(User / "hist.ini", std::ios::binary) << "[S]\r\n10=diez\r\n2=dos\r\nnota=x\r\n0=cero\r\n";
    auto again = NewHistory();
    again->SetSection("S");
    again->SetFileName("hist.ini");
    again->LoadAndMerge(nullptr);
    EXPECT_EQ(Lines(again->Entries()), (V{"cero", "dos", "diez"}));
}

TEST_F(HistoryList, TheRegistryKeepsTheNewestAsLinesOfOneBinaryValue) {
    History->SetStorageType(stRegistry);
    History->SetSection("Ciudades");
    History->SetFileName("Software\\Zelmor\\Historia");
    History->SetMaxSize(3);
    Fill({"uno", "dos", "tres", "cuatro", "cinco"});
    History->Save();
    EXPECT_EQ(Lines(History->Entries()), (V{"tres", "cuatro", "cinco"}));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Zelmor\\Historia", false));
    EXPECT_EQ(reg.GetDataType("Ciudades"), rdBinary);
    char data[64] = {};
    const int size = reg.ReadBinaryData("Ciudades", data, sizeof data);
    EXPECT_EQ(std::string(data, static_cast<size_t>(size)), "tres\r\ncuatro\r\ncinco\r\n");
    auto again = NewHistory();
    again->SetStorageType(stRegistry);
    again->SetSection("Ciudades");
    again->SetFileName("Software\\Zelmor\\Historia");
    again->LoadAndMerge(nullptr);
    EXPECT_EQ(Lines(again->Entries()), (V{"tres", "cuatro", "cinco"}));
}

TEST_F(HistoryList, WithoutAFileNameTheRegistryStoresNothing) {
    History->SetStorageType(stRegistry);
    History->SetSection("Ciudades");
    EXPECT_EQ(History->FileName(), "");
    Fill({"uno"});
    History->Save();
    History->LoadAndMerge(nullptr);
    EXPECT_FALSE(History->IsLoaded());
    EXPECT_EQ(Lines(History->Entries()), (V{"uno"}));
    // DefaultIntl's IniFileName names the key when it is set.
    DefaultIntl->SetIniFileName("Software\\Zelmor");
    EXPECT_EQ(History->FileName(), "Software\\Zelmor");
    DefaultIntl->SetIniFileName("");
}

TEST_F(HistoryList, AnEmptySectionOnlyMergesWhatIsInMemory) {
    History->SetFileName("hist.ini");
    Fill({"Madrid", "bilbao", "Sevilla"});
    TStringList items;
    items.Add("Bilbao");
    History->LoadAndMerge(&items);
    EXPECT_FALSE(History->IsLoaded());
    EXPECT_FALSE(fs::exists(User / "hist.ini"));
    // An entry the items hold in another case is not added again.
    EXPECT_EQ(Lines(&items), (V{"Bilbao", "Madrid", "Sevilla"}));
}

TEST_F(HistoryList, TheRecentBlockCountsOnlyWhenEnabled) {
    struct TCase {
        bool Enabled, MRU;
        int MaxSize, Entries, Count;
    };
    for (const TCase& c :
         {TCase{true, true, 2, 1, 1}, TCase{true, true, 2, 5, 2}, TCase{true, false, 2, 5, 0},
          TCase{false, true, 2, 5, 0}, TCase{true, true, 0, 5, 0}}) {
        History->SetEnabled(c.Enabled);
        History->SetMRUEnabled(c.MRU);
        History->SetMRUMaxSize(c.MaxSize);
        History->Entries()->Clear();
        for (int i = 0; i < c.Entries; ++i) History->Entries()->Add(std::to_string(i));
        EXPECT_EQ(History->MRUCount(), c.Count) << c.Enabled << c.MRU << c.MaxSize << c.Entries;
    }
}

TEST_F(HistoryList, ALoadedHistoryIsSavedWhenItGoes) {
    History->SetSection("S");
    History->SetFileName("fin.ini");
    History->LoadAndMerge(nullptr);
    History->Entries()->Add("nuevo");
    History.reset();
    EXPECT_EQ(Contents(User / "fin.ini"), "[S]\r\n0=nuevo\r\n");
}

}  // namespace
