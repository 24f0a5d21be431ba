// Speed of the rich edit's document: reading rich text costs the same per
// byte at 1 MB as at 100 KB (the counter "bytes_per_second" of the two runs;
// their ratio stays within 1.2), and a paragraph edited in a long document
// is laid out again alone, at the cost of the same in a short one: in the
// document alone, and typed into the control on its window, painting
// included (fifty pages within 1.5 times the cost of one).
#include <benchmark/benchmark.h>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/RichDocument.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/RichLayout.h"
#include "platform/ui/RtfReader.h"
#include "platform/ui/RtfWriter.h"
#include "platform/win/Messages.h"
#include "tests/support/ui/UiDriver.h"

namespace {

// A document of Paragraphs paragraphs of some sixty words in three formats.
TRichDocument Sample(int Paragraphs) {
    TRichDocument d;
    TRichCharFormat plain, bold, italic;
    bold.Bold = true;
    italic.Italic = true;
    italic.AutoColor = false;
    italic.Color = 0x0000C0;
    std::vector<TRichParagraph> list;
    for (int p = 0; p < Paragraphs; ++p) {
        TRichParagraph par;
        par.Format.StartIndent = (p % 3) * 360;
        par.Format.Tabs = {720, 1440};
        for (int w = 0; w < 20; ++w) {
            par.Runs.push_back(TRichRun{"palabra n\xFAmero " + IntToStr(w) + " ", plain});
            par.Runs.push_back(TRichRun{"negrita ", bold});
            par.Runs.push_back(TRichRun{"cursiva ", italic});
        }
        list.push_back(std::move(par));
    }
    d.SetParagraphs(std::move(list));
    return d;
}

// Rich text of about Bytes bytes.
AnsiString SampleRtf(size_t Bytes) {
    const AnsiString one = WriteRtf(Sample(10));
    const int paragraphs = static_cast<int>(10 * Bytes / one.size()) + 1;
    return WriteRtf(Sample(paragraphs));
}

void ReadRichText(benchmark::State& State) {
    const AnsiString rtf = SampleRtf(static_cast<size_t>(State.range(0)));
    for (auto _ : State) {
        TRichDocument d = ReadRtf(rtf);
        benchmark::DoNotOptimize(d.ParagraphCount());
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(rtf.size()));
}
BENCHMARK(ReadRichText)->Arg(100 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

// A character typed into the middle paragraph, and that paragraph laid out
// again, in a document of one page and of fifty (about 12 paragraphs a page).
void TypeIntoDocument(benchmark::State& State) {
    TRichDocument d = Sample(static_cast<int>(State.range(0)) * 12);
    TBitmap screen(10, 10);
    const int middle = d.ParagraphCount() / 2;
    const int at = d.ParagraphStart(middle) + 10;
    for (auto _ : State) {
        d.Replace(at, at, "x");
        TRichParagraphLayout layout =
            LayoutRichParagraph(*screen.Canvas(), d.Paragraph(d.ParagraphAt(at)), 600);
        benchmark::DoNotOptimize(layout.Lines.size());
        d.Replace(at, at + 1, "");
    }
}
BENCHMARK(TypeIntoDocument)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);

// A character typed into the middle paragraph of the control and taken back
// with Backspace, the window painted after each.
void TypeIntoRichEdit(benchmark::State& State) {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    EnsureApplication();
    TForm* F = TForm::CreateNew(Application);
    F->SetBounds(0, 0, 700, 500);
    auto* Rich = NewComponent<TRichEdit>(F);
    Rich->SetParent(F);
    Rich->SetBounds(0, 0, 680, 480);
    const TRichDocument d = Sample(static_cast<int>(State.range(0)) * 12);
    Rich->SetDocument(d);
    F->Show();
    Rich->SetFocus();
    Rich->SetSelStart(d.ParagraphStart(d.ParagraphCount() / 2) + 10);
    Ui.RunUntilIdle();
    for (auto _ : State) {
        Ui.Type("x");
        Ui.RunUntilIdle();
        Ui.Key(VK_BACK);
        Ui.RunUntilIdle();
    }
    benchmark::DoNotOptimize(Rich->Text().size());
    F->Free();
}
BENCHMARK(TypeIntoRichEdit)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
