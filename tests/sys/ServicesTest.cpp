#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Regional.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Help.h"
#include "platform/sys/OsInfo.h"
#include "platform/sys/Shell.h"
#include "platform/sys/Sound.h"

namespace {

// Each clipboard test starts from an empty clipboard and no allocation limit.
class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetGlobalAllocLimit(SIZE_MAX);
        ASSERT_TRUE(OpenClipboard(1));
        EmptyClipboard();
        CloseClipboard();
    }
    void TearDown() override { SetGlobalAllocLimit(SIZE_MAX); }
};

HGLOBAL TextBlock(const char* Text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, std::strlen(Text) + 1);
    std::memcpy(GlobalLock(h), Text, std::strlen(Text));
    GlobalUnlock(h);
    return h;
}

}  // namespace

TEST_F(ClipboardTest, TextRoundTripsAndRegisteredFormatsKeepTheirNumber) {
    EXPECT_TRUE(ClipboardSetText("l\xEDnea\t1"));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(ClipboardGetText(), "l\xEDnea\t1");

    unsigned html = RegisterClipboardFormat("HTML Format");
    EXPECT_GE(html, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("html format"), html);
    EXPECT_NE(RegisterClipboardFormat("Otro"), html);
    EXPECT_EQ(GetClipboardFormatName(html), "HTML Format");

    ASSERT_TRUE(OpenClipboard(7));
    EXPECT_FALSE(OpenClipboard(8));  // one opener at a time
    EmptyClipboard();
    HGLOBAL t = TextBlock("<b>x</b>");
    EXPECT_NE(SetClipboardData(CF_TEXT, TextBlock("x")), nullptr);
    EXPECT_NE(SetClipboardData(html, t), nullptr);
    CloseClipboard();
    EXPECT_EQ(CountClipboardFormats(), 2);
    HGLOBAL got = GetClipboardData(html);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(got)), "<b>x</b>");
    GlobalUnlock(got);
    EXPECT_EQ(GlobalSize(got), 9u);
    EXPECT_EQ(ClipboardGetText(), "x");
}

TEST_F(ClipboardTest, FailedAllocationCopiesNothing) {
    ASSERT_TRUE(ClipboardSetText("anterior"));
    SetGlobalAllocLimit(4);
    EXPECT_EQ(GlobalAlloc(GHND, 100), nullptr);
    EXPECT_FALSE(ClipboardSetText("demasiado largo"));
    EXPECT_EQ(ClipboardGetText(), "anterior");
}

TEST_F(ClipboardTest, SetDataNeedsAnOpenClipboardAndTakesTheBlock) {
    HGLOBAL h = TextBlock("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);  // not open: the block stays the caller's
    EXPECT_EQ(GlobalSize(h), 2u);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
}

TEST_F(ClipboardTest, AnotherStoreCanBeInstalled) {
    struct Recording : TClipboardStore {
        std::vector<std::pair<unsigned, std::vector<uint8_t>>> Items;
        void Clear() override { Items.clear(); }
        void Put(unsigned F, std::vector<uint8_t> D) override { Items.emplace_back(F, std::move(D)); }
        bool Get(unsigned F, std::vector<uint8_t>& D) const override {
            for (auto& i : Items)
                if (i.first == F) return D = i.second, true;
            return false;
        }
        std::vector<unsigned> Formats() const override {
            std::vector<unsigned> f;
            for (auto& i : Items) f.push_back(i.first);
            return f;
        }
    } desktop;
    TClipboardStore* previous = SetClipboardStore(&desktop);
    EXPECT_TRUE(ClipboardSetText("hacia fuera"));
    ASSERT_EQ(desktop.Items.size(), 1u);
    EXPECT_EQ(desktop.Items[0].first, CF_TEXT);
    EXPECT_EQ(desktop.Items[0].second.size(), 12u);  // with its terminating zero
    SetClipboardStore(previous);
    EXPECT_FALSE(ClipboardHasText());
}

TEST(Services, BeepsAndHelpRequestsAreRecorded) {
    EXPECT_TRUE(MessageBeep(0));  // no recorder: nothing happens
    {
        TBeepRecorder beeps;
        MessageBeep(0);
        MessageBeep(MB_ICONHAND);
        MessageBeep(MB_ICONEXCLAMATION);
        EXPECT_EQ(beeps.Beeps(), (std::vector<unsigned>{0, 16, 0x30}));
    }
    THelpRecorder help;
    EXPECT_TRUE(WinHelp(0, "REZUDURAR3.HLP", HELP_CONTEXT, 2003));
    ASSERT_EQ(help.Requests().size(), 1u);
    EXPECT_EQ(help.Requests()[0].HelpFile, "REZUDURAR3.HLP");
    EXPECT_EQ(help.Requests()[0].Command, HELP_CONTEXT);
    EXPECT_EQ(help.Requests()[0].Data, 2003u);
}

TEST(Services, ShellOpensOnlyWebAndMailAddresses) {
    std::vector<AnsiString> opened;
    TShellOpener previous = SetShellOpener([&](const AnsiString& a) {
        opened.push_back(a);
        return true;
    });
    struct {
        const char* Verb;
        const char* File;
        bool Accepted;
    } cases[] = {
        {"OPEN", "http://escuela.example/horarios", true},
        {"open", " HTTPS://x.example ", true},
        {"", "mailto:secretaria@escuela.example", true},
        {"OPEN", "C:\\WINDOWS\\notepad.exe", false},
        {"OPEN", "file:///etc/passwd", false},
        {"OPEN", "javascript:alert(1)", false},
        {"OPEN", "http://x\n--y", false},
        {"PRINT", "http://x.example", false},
    };
    for (const auto& c : cases) {
        size_t before = opened.size();
        uintptr_t r = ShellExecute(0, c.Verb, c.File, "", "", SW_SHOWNORMAL);
        EXPECT_EQ(r > 32, c.Accepted) << c.File;
        EXPECT_EQ(opened.size() - before, c.Accepted ? 1u : 0u) << c.File;
    }
    EXPECT_EQ(opened[1], "HTTPS://x.example");
    SetShellOpener(previous);
}

TEST(Services, FixedSystemAnswers) {
    TFormatSettingsScope spanish{TFormatSettings()};
    EXPECT_TRUE(IsWindowsNT());
    TOSVersionInfo v;
    ASSERT_TRUE(GetVersionEx(v));
    EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(v.dwMajorVersion, 5u);

    // The month calendar's test: a comctl32 of 4.71 or later with a minor part above 70.
    uint32_t handle = 0;
    uint32_t size = GetFileVersionInfoSize("comctl32.dll", handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfo("comctl32.dll", handle, size, block.data()));
    void* p = nullptr;
    uint32_t len = 0;
    ASSERT_TRUE(VerQueryValue(block.data(), "\\", &p, &len));
    auto* info = static_cast<VS_FIXEDFILEINFO*>(p);
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_GE(info->dwFileVersionMS >> 16, 4u);
    EXPECT_GT(info->dwFileVersionMS & 0xFFFF, 70u);
    EXPECT_EQ(GetFileVersionInfoSize("nada.dll", handle), 0u);

    EXPECT_NE(LoadLibrary("RICHED20.DLL"), 0u);
    EXPECT_NE(LoadLibrary("msftedit"), 0u);
    for (const char* absent : {"SDE32", "SDE3032.DLL", "SDE2532", "OLEDLG.DLL", "OLE32.DLL"})
        EXPECT_EQ(LoadLibrary(absent), 0u) << absent;
    HMODULE user = LoadLibrary("user32.dll");
    EXPECT_EQ(GetProcAddress(user, "AnimateWindow"), nullptr);
    static int marker;
    RegisterModuleProc("USER32", "AnimateWindow", &marker);
    EXPECT_EQ(GetProcAddress(user, "AnimateWindow"), &marker);
    EXPECT_EQ(GetProcAddress(12345, "AnimateWindow"), nullptr);
}

TEST(Services, TickCountWrapsAsAnUnsigned32BitCount) {
    TManualClock clock(0, 0xFFFFFFF0u);
    TClockScope scope(clock);
    uint32_t start = GetTickCount();
    clock.Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount() - start, 0x20u);  // elapsed time survives the wrap
}
