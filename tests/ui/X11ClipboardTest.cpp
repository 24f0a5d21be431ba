// The clipboard on a real X server: what the program copies other X
// programs paste, and the other way round. Skipped where no Xvfb can start.
#include <gtest/gtest.h>

#include "XvfbSupport.h"
#include "platform/backend/Backend.h"
#include "platform/backend/X11Peer.h"
#include "platform/gfx/Clipbrd.h"
#include "platform/sys/Clipboard.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"
#include "tests/support/OutsideTools.h"

namespace {

class XClipboard : public ::testing::Test {
protected:
    void SetUp() override {
        Name = Server.Start();
        ZELMOR_NEED_TOOL(!Name.empty(), "Xvfb");
        std::unique_ptr<TDisplay> X = CreateX11Display(Name.c_str());
        ASSERT_NE(X, nullptr);
        ResetWindowManager();
        SetDisplay(std::move(X));
        EnsureApplication();
        Other = std::make_unique<TX11Peer>(Name);
        ASSERT_TRUE(Other->Connected());
    }
    void TearDown() override {
        Other.reset();
        if (!Name.empty()) {
            ResetWindowManager();
            SetDisplay(nullptr);
        }
    }
    std::string Request(const char* Target, std::string& Type) {
        return Other->Request(Target, Type, [] { CurrentDisplay().Poll(); });
    }
    TXvfb Server;
    std::string Name;
    std::unique_ptr<TX11Peer> Other;
};

TEST_F(XClipboard, OtherProgramsGetTheCopiedTextInTheirEncodings) {
    ASSERT_TRUE(ClipboardSetText("A\xF1o 1\x80\r\nDos"));
    EXPECT_TRUE(Other->ClipboardOwned());
    struct TCase {
        const char* Target;
        const char* Type;
        std::string Bytes;
    };
    const TCase Cases[] = {
        {"UTF8_STRING", "UTF8_STRING", "A\xC3\xB1o 1\xE2\x82\xAC\nDos"},
        {"TEXT", "UTF8_STRING", "A\xC3\xB1o 1\xE2\x82\xAC\nDos"},
        {"STRING", "STRING", "A\xF1o 1?\nDos"},  // the euro has no Latin-1 byte
        {"image/png", "", ""},                   // nothing of the kind
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Target);
        std::string Type;
        EXPECT_EQ(Request(C.Target, Type), C.Bytes);
        EXPECT_EQ(Type, C.Type);
    }
    std::string Type;
    std::vector<std::string> Offered = Other->AtomNames(Request("TARGETS", Type));
    EXPECT_EQ(Type, "ATOM");
    for (const char* T : {"UTF8_STRING", "STRING", "TARGETS"})
        EXPECT_NE(std::find(Offered.begin(), Offered.end(), T), Offered.end()) << T;
}

TEST_F(XClipboard, OtherProgramsGetACopiedBitmapAsAPngImage) {
    TBitmap B(6, 4);
    B.Canvas()->SetPixel(5, 3, clRed);
    B.Canvas()->SetPixel(0, 0, clBlue);
    Clipboard()->Assign(&B);
    std::string Type;
    std::vector<std::string> Offered = Other->AtomNames(Request("TARGETS", Type));
    EXPECT_NE(std::find(Offered.begin(), Offered.end(), "image/png"), Offered.end());
    std::string Png = Request("image/png", Type);
    EXPECT_EQ(Type, "image/png");
    TSurface Back = DecodePng(std::vector<uint8_t>(Png.begin(), Png.end()));
    EXPECT_EQ(Back.Width(), 6);
    EXPECT_EQ(Back.GetPixel(5, 3), 0xFF0000u);
    EXPECT_EQ(Back.GetPixel(0, 0), 0x0000FFu);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP)) << "and the program itself keeps its bitmap";
}

TEST_F(XClipboard, TheProgramPastesWhatAnotherProgramCopiedAndSeesItGo) {
    ASSERT_TRUE(ClipboardSetText("nuestro"));
    // Another program copies (it answers only for UTF8_STRING, not even TARGETS).
    Other->StartOwning("Hola\nma\xC3\xB1"
                       "ana \xE2\x82\xAC");
    CurrentDisplay().Poll();  // our side hears it lost the selection
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(ClipboardGetText(), "Hola\r\nma\xF1"
                                  "ana \x80");
    TForm* F = TForm::CreateNew(Application);
    auto* M = NewComponent<TMemo>(F);
    M->SetParent(F);
    M->PasteFromClipboard();
    EXPECT_EQ(M->Text(), "Hola\r\nma\xF1"
                         "ana \x80")
        << "a memo pastes it through WM_PASTE";

    Other->StopOwning();  // its connection closes: nobody owns the clipboard now
    EXPECT_FALSE(Other->ClipboardOwned());
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(ClipboardGetText(), "");
    F->Free();
}

}  // namespace
