// The print preview as a user drives it: paging by keys and buttons, the
// three zooms, printing through the print dialog, and closing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "ReportTestSupport.h"
#include "platform/gfx/Printers.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/ui/KeyScript.h"

namespace {

class ReportPreviewTest : public ReportTest {
protected:
    // The preview up, on a listing of Students students.
    TListadoPruebaForm* Listing(int Students) {
        MakeAlum(School(Students));
        TListadoPruebaForm* F = OpenListado();
        F->LabelTitulo->SetCaption("Listado de alumnos de 1A");
        return F;
    }
    TReportPreviewForm* Preview() { return dynamic_cast<TReportPreviewForm*>(Screen->ActiveForm()); }
    AnsiString PageLabel(TReportPreviewForm* P) {
        return static_cast<TLabel*>(P->FindComponent("PageLabel"))->Caption();
    }
    // A pixel of the page box, at a point of its client area.
    uint32_t BoxPixel(TReportPreviewForm* P, TPoint Client) {
        auto* Box = static_cast<TControl*>(P->FindComponent("PageBox"));
        TPoint S = Box->ClientToScreen(Client);
        return Ui().Picture(P).GetPixel(S.x - P->Left(), S.y - P->Top()) & 0xFFFFFF;
    }
};

TEST_F(ReportPreviewTest, PagesTurnByKeysAndButtonsWithinTheReport) {
    TListadoPruebaForm* F = Listing(300);
    F->QR->Prepare();
    const int Last = F->QR->PageCount();
    ASSERT_GE(Last, 4);
    TReportPreviewForm* P = nullptr;
    struct Step {
        std::function<void()> Act;
        int Page;  // 1-based, after the act
    };
    std::vector<Step> Steps = {
        {[&] { PlayKeys(Ui(), "{PgDn}"); }, 2},        {[&] { PlayKeys(Ui(), "{PgDn}"); }, 3},
        {[&] { PlayKeys(Ui(), "{End}"); }, Last},      {[&] { PlayKeys(Ui(), "{PgDn}"); }, Last},
        {[&] { PlayKeys(Ui(), "{PgUp}"); }, Last - 1}, {[&] { PlayKeys(Ui(), "{Home}"); }, 1},
        {[&] { PlayKeys(Ui(), "{PgUp}"); }, 1},        {[&] { Ui().Click(P, "NextPage"); }, 2},
        {[&] { Ui().Click(P, "LastPage"); }, Last},    {[&] { Ui().Click(P, "PriorPage"); }, Last - 1},
        {[&] { Ui().Click(P, "FirstPage"); }, 1},
    };
    std::vector<AnsiString> Seen, Expected;
    Ui().Then([&] {
        P = Preview();
        ASSERT_NE(P, nullptr);
        Seen.push_back(PageLabel(P));
    });
    Expected.push_back("P\xE1gina 1 de " + IntToStr(Last));
    for (const Step& S : Steps) {
        Ui().Then(S.Act);
        Ui().Then([&] { Seen.push_back(PageLabel(P)); });
        Expected.push_back("P\xE1gina " + IntToStr(S.Page) + " de " + IntToStr(Last));
    }
    Ui().Then([&] { PlayKeys(Ui(), "{Esc}"); });
    F->QR->PreviewModal();
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(Ui().StepsLeft(), 0u) << "Escape closed the preview";
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
}

// The paper on the desk at each zoom: its size by the zoom's rule, white
// inside a black frame with a shadow, on the grey desk; at 100 % its pixels
// are those of the page's picture at the screen's resolution.
TEST_F(ReportPreviewTest, EachZoomShowsThePaperAtItsScale) {
    TListadoPruebaForm* F = Listing(20);
    const double Wide = 210 / 25.4, High = 297 / 25.4;
    Ui().Then([&] {
        TReportPreviewForm* P = Preview();
        ASSERT_NE(P, nullptr);
        auto* Box = static_cast<TControl*>(P->FindComponent("PageBox"));
        const int Room = Box->ClientWidth() - 2 * 10 - 3, RoomH = Box->ClientHeight() - 2 * 10 - 3;
        struct Case {
            const char* Button;
            TPreviewZoom Zoom;
            int Width;
        } Cases[] = {
            {"PageWidth", pzPageWidth, Room - GetSystemMetrics(SM_CXVSCROLL)},
            {"Zoom100", pz100, static_cast<int>(std::lround(Wide * 96))},
            {"WholePage", pzWholePage,
             static_cast<int>(std::lround(Wide * std::min(Room / Wide, RoomH / High)))},
        };
        for (const Case& C : Cases) {
            Ui().Click(P, C.Button);
            Ui().RunUntilIdle();
            EXPECT_EQ(P->Zoom(), C.Zoom) << C.Button;
            TRect Page = P->PageRect();
            EXPECT_NEAR(Page.Width(), C.Width, 1) << C.Button;
            EXPECT_NEAR(Page.Height(), Page.Width() * High / Wide, 1.5) << C.Button;
            if (C.Zoom == pzWholePage) {
                EXPECT_LE(Page.Bottom + 3, Box->ClientHeight()) << "the whole page is in view";
                EXPECT_LE(Page.Right + 3, Box->ClientWidth());
            }
            EXPECT_EQ(BoxPixel(P, Page.TopLeft()), 0x000000u) << C.Button << ": the frame";
            EXPECT_EQ(BoxPixel(P, TPoint(Page.Right - 4, Page.Top + 4)), 0xFFFFFFu)
                << C.Button << ": the paper";
            EXPECT_EQ(BoxPixel(P, TPoint(Page.Right + 1, Page.Top + 8)), 0x000000u)
                << C.Button << ": the shadow";
            EXPECT_EQ(BoxPixel(P, TPoint(Page.Left - 3, Page.Top + 8)),
                      ColorRefToPixel(ColorToRGB(clAppWorkSpace)))
                << C.Button << ": the desk";
            if (C.Zoom == pz100) {
                TSurface Expected = F->QR->PagePicture(0, 96);
                int Differ = 0;
                for (int Y = Page.Top + 1; Y < std::min(Page.Bottom - 1, Box->ClientHeight()); ++Y)
                    for (int X = Page.Left + 1; X < std::min(Page.Right - 1, Box->ClientWidth()); ++X)
                        if (BoxPixel(P, TPoint(X, Y)) !=
                            (Expected.GetPixel(X - Page.Left, Y - Page.Top) & 0xFFFFFF))
                            ++Differ;
                EXPECT_EQ(Differ, 0) << "the paper at 100 % is the page's picture";
            }
        }
        PlayKeys(Ui(), "{Esc}");
    });
    F->QR->PreviewModal();
}

// Print asks the print dialog; the pages, range and copies chosen there go
// to the printer as one job; Cancel prints nothing.
TEST_F(ReportPreviewTest, PrintGoesThroughThePrintDialogToThePrinter) {
    TListadoPruebaForm* F = Listing(300);
    auto* Recorder = new TRecordingPrinter(30);
    TPrinterOverride UsePrinter{std::unique_ptr<TPrinter>(Recorder)};
    TReportPreviewForm* P = nullptr;
    Ui().Then([&] {
        P = Preview();
        ASSERT_NE(P, nullptr);
        Ui().Click(P, "Print");
    });
    Ui().Then([&] { Ui().Click(Screen->ActiveForm(), "Cancel"); });
    Ui().Then([&] {
        EXPECT_EQ(Screen->ActiveForm(), P);
        EXPECT_TRUE(Recorder->Documents().empty());
        Ui().Click(P, "Print");
    });
    Ui().Then([&] {
        TForm* D = Screen->ActiveForm();
        ASSERT_NE(D, P);
        Ui().Click(D, "FromPage");
        PlayKeys(Ui(), "{End}{Back}{Back}2");
        Ui().Click(D, "ToPage");
        PlayKeys(Ui(), "{End}{Back}{Back}3");
        Ui().Click(D, "Copies");
        PlayKeys(Ui(), "{End}{Back}{Back}2");
        Ui().Click(D, "OK");
    });
    Ui().Then([&] { PlayKeys(Ui(), "{Esc}"); });
    F->QR->PreviewModal();
    ASSERT_EQ(Recorder->Documents().size(), 1u);
    const auto& Job = Recorder->Documents()[0];
    EXPECT_EQ(Job.Title, "Listado de prueba");
    ASSERT_EQ(Job.Pages.size(), 4u);
    // Pages 2, 3, 2, 3: the second copy repeats the first.
    for (int I = 0; I < 2; ++I) {
        EXPECT_TRUE(SamePicture(Job.Pages[static_cast<size_t>(I)], Job.Pages[static_cast<size_t>(I + 2)]))
            << I;
        EXPECT_TRUE(SamePicture(F->QR->PagePicture(I + 1, 30), Job.Pages[static_cast<size_t>(I)]))
            << "page " << I + 2;
    }
}

}  // namespace
