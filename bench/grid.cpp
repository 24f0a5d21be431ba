// The data-aware grid over the students table of a school made by the sample
// generator, as the students screen sets it up (47 columns, one group header,
// check boxes, alternating rows), filling a screen of the off-screen display
// of 1024 x 768 and one of 1920 x 1080 (the benchmark's argument is the
// screen's width). Each operation ends when the screen is painted:
// - Repaint: the whole grid painted again;
// - ScrollOneRow: Down on the last row shown, so the rows move up by one;
// - ScrollOnePage: Page Down;
// - JumpToLast: Ctrl+End, to the table's last record.
// Each iteration does the operation at record 100 and at the record 100 from
// the end, on a table of 10,000 students and on one of 1,000; the
// iteration's time is the large table's far case. Goals, as counters:
// - "far_over_near": the large table's far case within 1.2 times its near one;
// - "large_over_small": both cases on 10,000 rows within 1.2 times the same
//   on 1,000 rows;
// - "reads_large" and "reads_small": the engine records read per operation,
//   the same on both tables (no walk of the table per paint);
// - "over_canvas": the operation's time over a plain repaint of a form of
//   the same size (its background filled and shown), measured in the same
//   iterations, so that the figure holds on any machine: a full repaint of
//   the grid within 6 times that. Both on the thread's clock, which a busy
//   machine disturbs less than the wall's ("over_canvas_wall").
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "dataaware/DataAware.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwpaintoptions.h"
#include "platform/db/DbfInternal.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "shell/Import.h"
#include "tests/support/ui/UiDriver.h"
#include "tools/SampleSchool.h"

namespace {

constexpr int Small = 1000, Large = 10000, FromEnd = 100;

struct TScreenSize {
    int Width, Height;
};
constexpr TScreenSize Sizes[] = {{1024, 768}, {1920, 1080}};

// A drive C: of the benchmark's own with the data folders of both schools.
class TSchools {
public:
    TSchools() {
        char pattern[] = "/tmp/zelmor-bench-grid-XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        FRoot = pattern;
        ::setenv("ZELMOR_DRIVE_C", FRoot.c_str(), 1);
        for (int Students : {Small, Large}) {
            const AnsiString Exchange = "C:\\QTEMP" + IntToStr(Students);
            EscribeIntercambio(GeneraEscuela(SemillaEjemplo, Students).Intercambio, Exchange);
            ImportaEnCarpeta(Exchange, Folder(Students));
        }
    }
    ~TSchools() {
        std::error_code ec;
        std::filesystem::remove_all(FRoot, ec);
    }
    static AnsiString Folder(int Students) { return "C:\\DATOS" + IntToStr(Students); }

private:
    std::string FRoot;
};

// The students screen's grid over one school's students, in name order.
class TStudentsScreen {
public:
    TStudentsScreen(int Students, TScreenSize Size) {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Size.Width, Size.Height);
        Alum = NewComponent<TwwTable>(Form);
        Alum->SetDatabaseName(TSchools::Folder(Students));
        Alum->SetTableName("alum");
        Alum->ControlType()->Add("REPITE;CheckBox;true;false");
        Alum->ControlType()->Add("ANULAR;CheckBox;True;False");
        auto* Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Alum);
        Grid = NewComponent<TwwDBGrid>(Form);
        Grid->SetAlign(alClient);
        Grid->SetUseTFields(false);
        for (const char* Line :
             {"N\t4\tN\xBA\tF", "ANULAR\t5\tAnular\tF", "EXPED\t10\tExped\tF", "NOMBRE\t33\tNombre\tF",
              "OPCION\t3\tOp\tF", "REPITE\t4\tRep\tF", "GRUPO\t2\tGru\tF"})
            Grid->Selected()->Add(Line);
        for (int I = 1; I <= 20; ++I) {
            Grid->Selected()->Add("ASIG" + IntToStr(I) + "\t5\tAs" + IntToStr(I) +
                                  "\tF\tAsignaturas y divisiones");
            Grid->Selected()->Add("DIV" + IntToStr(I) + "\t2\tD\tF\tAsignaturas y divisiones");
        }
        Grid->SetTitleColor(static_cast<TColor>(14537653));
        Grid->SetFixedCols(1);
        Grid->SetColor(static_cast<TColor>(10813439));
        Grid->SetTitleLines(2);
        Grid->SetTitleButtons(true);
        Grid->PaintOptions()->SetAlternatingRowColor(static_cast<TColor>(12713983));
        Grid->SetDataSource(Source);
        Grid->SetParent(Form);
        Alum->Open();
        Alum->UseIndexForFields("NOMBRE");
        Form->Show();
    }
    ~TStudentsScreen() { Form->Free(); }
    // Every record the table's engine handed out so far.
    uint64_t Reads() const { return Alum->Handle()->Table().State().RecordsRead; }

    TForm* Form;
    TwwTable* Alum;
    TwwDBGrid* Grid;
};

// A form of the same size with nothing on it: what a repaint of that area
// costs the window manager and the canvas alone.
class TPlainScreen {
public:
    explicit TPlainScreen(TScreenSize Size) {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Size.Width, Size.Height);
        Form->SetColor(static_cast<TColor>(10813439));
        Form->Show();
    }
    ~TPlainScreen() { Form->Free(); }
    TForm* Form;
};

struct TScreens {
    std::unique_ptr<TStudentsScreen> Small, Large;
    std::unique_ptr<TPlainScreen> Plain;
};

struct TBench {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver(1920, 1080);
    TSchools Schools;
    std::map<int, TScreens> BySize;
    TBench() {
        EnsureApplication();
        StartDataAwareLibrary();
        for (const TScreenSize& Size : Sizes) {
            TScreens& S = BySize[Size.Width];
            S.Small = std::make_unique<TStudentsScreen>(Small, Size);
            S.Large = std::make_unique<TStudentsScreen>(Large, Size);
            S.Plain = std::make_unique<TPlainScreen>(Size);
        }
    }
    ~TBench() {
        BySize.clear();
        FinishDataAwareLibrary();
    }
};

TBench& Bench() {
    static TBench bench;
    return bench;
}

// A key as the user presses it: it runs with the queue.
void Key(WORD Key, TShiftState Shift = {}) { Bench().Ui.Key(Key, Shift); }

struct TOperation {
    // Puts the screen in place for the operation (not measured).
    std::function<void(TStudentsScreen&)> Prepare;
    std::function<void(TStudentsScreen&)> Run;
    // The record it ends on, from the one it started on.
    std::function<int(TStudentsScreen&, int From)> Lands;
};

struct TCost {
    double Seconds = 0;
    double CpuSeconds = 0;  // on the thread's clock
    uint64_t Reads = 0;
    bool Landed = true;
};

// Seconds of work of this thread: what the machine's other work does not add to.
double ThreadSeconds() {
    timespec T;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
}

// The operation once with record RecNo current, until the screen is painted.
TCost Measure(TStudentsScreen& S, int RecNo, const TOperation& Op) {
    TBench& B = Bench();
    S.Form->BringToFront();
    S.Grid->SetFocus();
    S.Alum->SetRecNo(RecNo);
    B.Ui.RunUntilIdle();
    if (Op.Prepare) {
        Op.Prepare(S);
        B.Ui.RunUntilIdle();
    }
    const uint64_t Reads = S.Reads();
    const int From = S.Alum->RecNo();
    const auto Start = std::chrono::steady_clock::now();
    const double CpuStart = ThreadSeconds();
    Op.Run(S);
    B.Ui.RunUntilIdle();
    TCost Cost;
    Cost.CpuSeconds = ThreadSeconds() - CpuStart;
    Cost.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    Cost.Reads = S.Reads() - Reads;
    Cost.Landed = S.Alum->RecNo() == Op.Lands(S, From);
    return Cost;
}

// The plain form of the size repainted once, until the screen is shown,
// right after the grids' own operations, as they are measured.
TCost PlainRepaint(TPlainScreen& P) {
    TBench& B = Bench();
    P.Form->BringToFront();
    B.Ui.RunUntilIdle();
    const auto Start = std::chrono::steady_clock::now();
    const double CpuStart = ThreadSeconds();
    P.Form->Repaint();
    B.Ui.RunUntilIdle();
    TCost Cost;
    Cost.CpuSeconds = ThreadSeconds() - CpuStart;
    Cost.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    return Cost;
}

void RunGridOperation(benchmark::State& State, const TOperation& Op) {
    TBench& B = Bench();
    TScreens& Screens = B.BySize.at(static_cast<int>(State.range(0)));
    TCost SmallNear, SmallFar, LargeNear, LargeFar;
    TCost Plain;
    auto Add = [](TCost& Sum, const TCost& One) {
        Sum.Seconds += One.Seconds;
        Sum.CpuSeconds += One.CpuSeconds;
        Sum.Reads += One.Reads;
        Sum.Landed = Sum.Landed && One.Landed;
    };
    for (auto _ : State) {
        Add(SmallNear, Measure(*Screens.Small, FromEnd, Op));
        Add(SmallFar, Measure(*Screens.Small, Small - FromEnd, Op));
        Add(LargeNear, Measure(*Screens.Large, FromEnd, Op));
        const TCost Far = Measure(*Screens.Large, Large - FromEnd, Op);
        Add(Plain, PlainRepaint(*Screens.Plain));
        Add(LargeFar, Far);
        State.SetIterationTime(Far.Seconds);
        if (!(SmallNear.Landed && SmallFar.Landed && LargeNear.Landed && LargeFar.Landed)) {
            State.SkipWithError("the operation did not end on the record it should");
            return;
        }
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["far_over_near"] = LargeFar.Seconds / LargeNear.Seconds;
    State.counters["large_over_small"] =
        (LargeNear.Seconds + LargeFar.Seconds) / (SmallNear.Seconds + SmallFar.Seconds);
    State.counters["reads_large"] = static_cast<double>(LargeNear.Reads + LargeFar.Reads) / (2 * N);
    State.counters["reads_small"] = static_cast<double>(SmallNear.Reads + SmallFar.Reads) / (2 * N);
    State.counters["near_us"] = LargeNear.Seconds * 1e6 / N;
    State.counters["plain_us"] = Plain.Seconds * 1e6 / N;
    State.counters["over_canvas"] = LargeFar.CpuSeconds / Plain.CpuSeconds;
    State.counters["over_canvas_wall"] = LargeFar.Seconds / Plain.Seconds;
}

void ScreenSizes(benchmark::internal::Benchmark* B) {
    for (const TScreenSize& Size : Sizes) B->Arg(Size.Width);
    B->UseManualTime()->Unit(benchmark::kMicrosecond);
}

void Repaint(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen& S) { S.Grid->Repaint(); },
                             [](TStudentsScreen&, int From) { return From; }});
}
BENCHMARK(Repaint)->Apply(ScreenSizes);

void ScrollOneRow(benchmark::State& State) {
    RunGridOperation(State, {[](TStudentsScreen&) { Key(VK_DOWN, TShiftState{ssCtrl}); },
                             [](TStudentsScreen&) { Key(VK_DOWN); },
                             [](TStudentsScreen&, int From) { return From + 1; }});
}
BENCHMARK(ScrollOneRow)->Apply(ScreenSizes);

void ScrollOnePage(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen&) { Key(VK_NEXT); },
                             [](TStudentsScreen& S, int From) { return From + S.Grid->VisibleRowCount(); }});
}
BENCHMARK(ScrollOnePage)->Apply(ScreenSizes);

void JumpToLast(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen&) { Key(VK_END, TShiftState{ssCtrl}); },
                             [](TStudentsScreen& S, int) { return S.Alum->RecordCount(); }});
}
BENCHMARK(JumpToLast)->Apply(ScreenSizes);

}  // namespace

BENCHMARK_MAIN();
