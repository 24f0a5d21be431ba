// Command tables and the processor: translation (sequences, literal mode,
// scan priority), the tables as forms store them, and their text files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcCmd.h"
#include "reportview/OvcExcpt.h"

namespace {

constexpr uint8_t Sh = ss_Shift, Ct = ss_Ctrl;

// A component that streams a processor, as the controller does.
class TCmdHolder : public TComponent {
    ZELMOR_CLASS(TCmdHolder, TComponent)
public:
    explicit TCmdHolder(TComponent* AOwner) : TComponent(AOwner) {}
    static void DescribeProperties(TPropertyTable& T) {
        T.PropertyOf<TCmdHolder>("EntryCommands", [](TCmdHolder& H) { return &H.Commands; });
    }
    TOvcCommandProcessor Commands;
};
ZELMOR_IMPLEMENT_COMPONENT(TCmdHolder, TComponent)

uint16_t Key(TOvcCommandProcessor& P, WORD K, TShiftState S = {}) { return P.TranslateKey(K, S); }

TEST(OvcCommandProcessor, StartsWithTheThreeBuiltInTables) {
    TOvcCommandProcessor p;
    ASSERT_EQ(p.Count(), 3);
    struct Case {
        const char* Name;
        bool Active;
        int Rows;
    } cases[] = {{"Default", true, 64}, {"WordStar", false, 40}, {"Grid", false, 38}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.GetTable(i)->TableName(), cases[i].Name);
        EXPECT_EQ(p.GetTable(i)->IsActive(), cases[i].Active);
        EXPECT_EQ(p.GetCommandCount(cases[i].Name), cases[i].Rows);
    }
    EXPECT_EQ(p.GetTable(0)->GetCmdRec(2), (TOvcCmdRec{VK_LEFT, Ct, 0, 0, ccWordLeft}));
    EXPECT_EQ(p.GetTable(2)->GetCmdRec(37), (TOvcCmdRec{VK_F2, 0, 0, 0, ccTableEdit}));
    EXPECT_EQ(p.GetTable(1)->GetCmdRec(39), (TOvcCmdRec{'K', Ct, '9', 0x80, ccSetMarker9}));
    EXPECT_EQ(GetRvLibStr(CommandNameBase + ccWordLeft), "ccWordLeft");
}

TEST(OvcCommandProcessor, ScanPriorityDecidesBetweenTables) {
    TOvcCommandProcessor p;
    EXPECT_EQ(Key(p, 'Z', {ssCtrl}), ccUndo);
    EXPECT_EQ(Key(p, 'A'), ccNotACommand);
    p.GetCommandTable("grid")->SetIsActive(true);
    EXPECT_EQ(Key(p, 'Z', {ssCtrl}), ccUndo) << "Default still comes first";
    const AnsiString order[] = {"Grid", "Default"};
    p.SetScanPriority(order);
    EXPECT_EQ(p.GetTable(0)->TableName(), "Grid");
    EXPECT_EQ(p.GetTable(1)->TableName(), "Default");
    EXPECT_EQ(Key(p, 'Z', {ssCtrl}), ccRestore);
    const AnsiString onlyDefault[] = {"Default"};
    EXPECT_EQ(p.TranslateKeyUsing(onlyDefault, 'Z', {ssCtrl}), ccUndo);
    const AnsiString wordStar[] = {"WordStar", "Nowhere"};
    EXPECT_EQ(p.TranslateKeyUsing(wordStar, 'S', {ssCtrl}), ccLeft) << "named tables count even inactive";
}

TEST(OvcCommandProcessor, WordStarSequences) {
    TOvcCommandProcessor p;
    p.GetCommandTable("WordStar")->SetIsActive(true);
    struct Step {
        WORD Key;
        TShiftState Shift;
        uint16_t Answer;
    };
    const std::vector<std::vector<Step>> scripts = {
        {{'Q', {ssCtrl}, ccSequencePending}, {'D', {}, ccEnd}},
        {{'Q', {ssCtrl}, ccSequencePending}, {'D', {ssCtrl}, ccEnd}},
        {{'Q', {ssCtrl}, ccSequencePending}, {'D', {ssShift}, ccSequenceFailed}, {'D', {}, ccNotACommand}},
        {{'Q', {ssCtrl}, ccSequencePending}, {VK_SHIFT, {ssShift}, ccSequencePending}, {'S', {}, ccHome}},
        {{'K', {ssCtrl}, ccSequencePending}, {'3', {}, ccSetMarker3}},
        {{VK_CONTROL, {ssCtrl}, ccNotACommand}, {'S', {ssCtrl}, ccLeft}},
    };
    for (size_t s = 0; s < scripts.size(); ++s)
        for (const Step& step : scripts[s])
            EXPECT_EQ(Key(p, step.Key, step.Shift), step.Answer) << "script " << s;
}

TEST(OvcCommandProcessor, LiteralModeTakesOneKeyAsItIs) {
    TOvcCommandProcessor p;
    p.GetCommandTable("WordStar")->SetIsActive(true);
    EXPECT_EQ(Key(p, 'P', {ssCtrl}), ccCtrlChar);
    EXPECT_EQ(Key(p, VK_LEFT), ccNotACommand) << "the key after Ctrl+P is input";
    EXPECT_EQ(Key(p, VK_LEFT), ccLeft);
    TOvcProcessorState state;
    uint8_t k = 1, s = 1;
    p.GetState(state, k, s);
    EXPECT_EQ(state, stNone);
    p.SetState(stPartial, 'Q', Ct);
    EXPECT_EQ(Key(p, 'L'), ccRestore) << "a sequence begun in another control";
}

TEST(OvcCommandProcessor, KeyMessagesTakeTheShiftKeysHeldNow) {
    ResetWindowManager();
    TOvcCommandProcessor p;
    uint8_t keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    TMessage m;
    m.Msg = WM_KEYDOWN;
    m.WParam = 'Z';
    EXPECT_EQ(p.Translate(m), ccRedo);
    ResetWindowManager();
    EXPECT_EQ(p.Translate(m), ccNotACommand);
}

TEST(OvcCommandProcessor, TablesAndTheirNames) {
    TOvcCommandProcessor p;
    p.CreateCommandTable("Default", false);
    p.CreateCommandTable("Default", false);
    p.CreateCommandTable("Default1", false);
    EXPECT_EQ(p.GetTable(3)->TableName(), "Default1");
    EXPECT_EQ(p.GetTable(4)->TableName(), "Default2");
    EXPECT_EQ(p.GetTable(5)->TableName(), "Default3") << "its digits go before a number is sought";
    p.CreateCommandTable("7", false);
    p.CreateCommandTable("7", false);
    EXPECT_EQ(p.GetTable(7)->TableName(), "71") << "a one-character name keeps its digit";
    p.CreateCommandTable("Mine9", false);
    EXPECT_EQ(p.GetTable(8)->TableName(), "Mine9") << "a free name stays as it is";
    p.CreateCommandTable("Grid7", false);
    EXPECT_EQ(p.GetTable(9)->TableName(), "Grid7") << "free, though a table bears the name without digits";

    EXPECT_THROW(p.AddCommand("Nowhere", 'A', 0, 0, 0, 300), ETableNotFound);
    EXPECT_THROW(p.AddCommand("Default", VK_LEFT, 0, 0, 0, 300), EDuplicateCommand);
    EXPECT_EQ(p.AddCommand("Mine9", 'A', Ct, 0, 0, 300), 0);
    p.DeleteCommand("Mine9", 'B', Ct, 0, 0);
    EXPECT_EQ(p.GetCommandCount("Mine9"), 1);
    p.DeleteCommand("mine9", 'A', Ct, 0, 0);
    EXPECT_EQ(p.GetCommandCount("Mine9"), 0);
    EXPECT_THROW(p.GetTable(10), ETableNotFound);
    EXPECT_THROW(p.Delete(-1), ETableNotFound);
    EXPECT_THROW(p.DeleteCommandTable("Nowhere"), ETableNotFound);
    p.ChangeTableName("71", "Default");
    EXPECT_EQ(p.GetTable(7)->TableName(), "Default") << "renaming does not look for a free name";
    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(Key(p, VK_LEFT), ccNotACommand);
}

// --- the tables as forms store them ---

AnsiString FormOf(const char* TableList) {
    return AnsiString("object Holder: TCmdHolder\n  EntryCommands.TableList = ") + TableList + "\nend\n";
}

class OvcCommandLists : public ::testing::Test {
protected:
    OvcCommandLists() { RegisterClass(TCmdHolder::StaticClassInfo()); }
    TCmdHolder* Read(const AnsiString& Text) {
        Holder = std::make_unique<TCmdHolder>(nullptr);
        ReadComponentFromText(Holder.get(), Text);
        return Holder.get();
    }
    std::unique_ptr<TCmdHolder> Holder;
};

TEST_F(OvcCommandLists, TheProgramsControllersReadAndWriteBackUnchanged) {
    const char* list = "('Default' True () 'WordStar' False () 'Grid' False ())";
    TCmdHolder* h = Read(FormOf(list));
    ASSERT_EQ(h->Commands.Count(), 3);
    EXPECT_EQ(h->Commands.GetCommandCount("Default"), 64);
    EXPECT_EQ(WriteComponentToText(h), FormOf(list));
}

TEST_F(OvcCommandLists, TablesReadBackUnderTheirStoredNames) {
    const char* list = "('Custom' True () 'Custom2' False () 'Default' True ())";
    TCmdHolder* h = Read(FormOf(list));
    ASSERT_EQ(h->Commands.Count(), 3);
    EXPECT_EQ(h->Commands.GetTable(1)->TableName(), "Custom2");
    EXPECT_EQ(WriteComponentToText(h), FormOf(list));
}

TEST_F(OvcCommandLists, ReadingAppliesTheDifferences) {
    // Left becomes ccRight, Right goes, a new key with command 0 is a row.
    TCmdHolder* h = Read(FormOf("('Default' True (37 55 39 0 2113 0) 'Mine' False (1089 300))"));
    TOvcCommandTable* d = h->Commands.GetCommandTable("Default");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Count(), 64);
    EXPECT_EQ(d->GetCmdRec(0), (TOvcCmdRec{VK_LEFT, 0, 0, 0, ccRight}));
    EXPECT_EQ(d->IndexOf(TOvcCmdRec{VK_RIGHT, 0, 0, 0, 0}), -1);
    EXPECT_EQ(d->GetCmdRec(63), (TOvcCmdRec{'A', 8, 0, 0, 0}));
    TOvcCommandTable* mine = h->Commands.GetCommandTable("Mine");
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(mine->IsActive());
    EXPECT_EQ(mine->GetCmdRec(0), (TOvcCmdRec{'A', 4, 0, 0, 300}));
    EXPECT_EQ(h->Commands.Count(), 2) << "the streamed tables replace the built-in ones";
}

TEST_F(OvcCommandLists, ACommandThatDoesNotFitSixteenBitsIsADamagedForm) {
    // 70000 would be stored as 4464, another command.
    try {
        Read(FormOf("('Mine' True (65 70000))"));
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("Command 70000 out of range in Mine"), AnsiString::npos) << e.Message();
    }
}

TEST_F(OvcCommandLists, WritingStoresOnlyTheDifferences) {
    TCmdHolder* h = Read(FormOf("('Default' True () 'WordStar' False ())"));
    TOvcCommandProcessor& p = h->Commands;
    p.DeleteCommand("Default", VK_TAB, Ct, 0, 0);
    TOvcCommandTable* d = p.GetCommandTable("Default");
    d->PutCmdRec(0, TOvcCmdRec{VK_LEFT, 0, 0, 0, ccHome});
    p.AddCommand("Default", VK_F2, 0, 0, 0, 256);
    p.CreateCommandTable("Own", true);
    p.AddCommand("Own", 'Q', Ct, 'X', 0x80, 257);
    const AnsiString text = WriteComponentToText(h);
    // Tab with Ctrl is 9 + 4 x 256; F2 is 113; Ctrl+Q, X is 81 + 4 x 256 + 88 x 65536 + 128 x 16777216.
    EXPECT_EQ(text, FormOf("('Default' True (1033 0 37 42 113 256) 'WordStar' False () 'Own' True\n"
                           "    (-2141715375 257))"));
    std::unique_ptr<TCmdHolder> first = std::move(Holder);
    TCmdHolder* back = Read(text);
    for (const char* name : {"Default", "WordStar", "Own"}) {
        TOvcCommandTable* a = p.GetCommandTable(name);
        TOvcCommandTable* b = back->Commands.GetCommandTable(name);
        ASSERT_NE(b, nullptr) << name;
        ASSERT_EQ(a->Count(), b->Count()) << name;
        for (int i = 0; i < a->Count(); ++i)
            EXPECT_EQ(a->GetCmdRec(i).Keys(), b->GetCmdRec(i).Keys()) << name;
    }
}

// --- text files ---

class OvcCommandFiles : public ::testing::Test {
protected:
    OvcCommandFiles() : Dir(std::filesystem::temp_directory_path() / "zelmor-ovccmd") {
        std::filesystem::create_directories(Dir);
    }
    ~OvcCommandFiles() override { std::filesystem::remove_all(Dir); }
    std::string Write(const std::string& Name, const std::string& Text) {
        std::string path = (Dir / Name).string();
        std::ofstream(path, std::ios::binary) << Text;
        return path;
    }
    std::filesystem::path Dir;
};

TEST_F(OvcCommandFiles, TheTextFormRoundTrips) {
    TOvcCommandProcessor p;
    std::string path = (Dir / "default.cmd").string();
    p.SaveCommandTable("Default", path);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.substr(0, 9 + 2 * 24), "Default\r\n  37   0   0   0    46\r\n  39   0   0   0    55\r\n");
    EXPECT_NE(text.find("\r\n  37   4   0   0    74\r\n"), std::string::npos) << "Ctrl+Left = ccWordLeft";
    int at = p.LoadCommandTable(path);
    EXPECT_EQ(p.GetTable(at)->TableName(), "Default1");
    EXPECT_TRUE(p.GetTable(at)->IsActive());
    EXPECT_EQ(p.GetCommandCount("Default1"), 64);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(p.GetTable(at)->GetCmdRec(i), p.GetTable(0)->GetCmdRec(i));
}

TEST_F(OvcCommandFiles, MissingNumbersAreZeroAndTheRestOfALineIsIgnored) {
    TOvcCommandTable t;
    t.SetIsActive(false);
    t.LoadFromFile(Write("short.cmd", "Mine\n65 4\n66 4 0 0 300 the key B\n"));
    EXPECT_EQ(t.TableName(), "Mine");
    EXPECT_FALSE(t.IsActive());
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.GetCmdRec(0), (TOvcCmdRec{'A', 4, 0, 0, 0}));
    EXPECT_EQ(t.GetCmdRec(1), (TOvcCmdRec{'B', 4, 0, 0, 300}));
}

TEST_F(OvcCommandFiles, ANumberThatDoesNotFitIsRefusedAndTheTableStays) {
    struct Case {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"Bad\n65 4 0 0 300\n300 0 0 0 46\n", "line 3: 300 does not fit a key or its shift flags (0 to 255)"},
        {"Bad\n65 4 0 256 46\n", "line 2: 256 does not fit a key or its shift flags (0 to 255)"},
        {"Bad\n65 4 0 0 65536\n", "line 2: 65536 does not fit a command (0 to 65535)"},
        {"Bad\n65 -4 0 0 1\n", "line 2: -4 does not fit a key or its shift flags (0 to 255)"},
        {"Bad\n65 x4 0 0 1\n", "line 2: x4 is not a number"},
    };
    TOvcCommandProcessor p;
    for (const Case& c : cases) {
        TOvcCommandTable* d = p.GetCommandTable("Default");
        std::string path = Write("bad.cmd", c.Text);
        try {
            d->LoadFromFile(path);
            ADD_FAILURE() << c.Text;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), path + ", " + c.Message);
        }
        EXPECT_EQ(d->TableName(), "Default");
        EXPECT_EQ(d->Count(), 64);
        EXPECT_THROW(p.LoadCommandTable(path), EInOutError);
        EXPECT_EQ(p.Count(), 3) << "no half-read table joins the processor";
    }
    EXPECT_THROW(p.LoadCommandTable((Dir / "none.cmd").string()), EFOpenError);
}

}  // namespace
