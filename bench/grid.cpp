// The data-aware grid over the students table of a school made by the sample
// generator, as the students screen sets it up (47 columns, one group header,
// check boxes, alternating rows), filling a 1024 x 768 screen of the
// off-screen display. Each operation ends when the screen is painted:
// - Repaint: the whole grid painted again;
// - ScrollOneRow: Down on the last row shown, so the rows move up by one;
// - ScrollOnePage: Page Down;
// - JumpToLast: Ctrl+End, to the table's last record.
// Each iteration does the operation at record 50 and at the record 50 from
// the end, on a table of 10,000 students and on one of 1,000; the
// iteration's time is the large table's far case. Goals, as counters:
// - "far_over_near": the large table's far case within 1.2 times its near one;
// - "large_over_small": both cases on 10,000 rows within 1.2 times the same
//   on 1,000 rows;
// - "reads_large" and "reads_small": the engine records read per operation,
//   the same on both tables (no walk of the table per paint).
#include <benchmark/benchmark.h>

#include <stdlib.h>

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

constexpr int Small = 1000, Large = 10000, FromEnd = 50;

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
    explicit TStudentsScreen(int Students) {
        Form = TForm::CreateNew(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Screen->Width(), Screen->Height());
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

struct TBench {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    TSchools Schools;
    std::unique_ptr<TStudentsScreen> SmallScreen, LargeScreen;
    TBench() {
        EnsureApplication();
        StartDataAwareLibrary();
        SmallScreen = std::make_unique<TStudentsScreen>(Small);
        LargeScreen = std::make_unique<TStudentsScreen>(Large);
    }
    ~TBench() {
        SmallScreen.reset();
        LargeScreen.reset();
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
    uint64_t Reads = 0;
    bool Landed = true;
};

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
    Op.Run(S);
    B.Ui.RunUntilIdle();
    TCost Cost;
    Cost.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    Cost.Reads = S.Reads() - Reads;
    Cost.Landed = S.Alum->RecNo() == Op.Lands(S, From);
    return Cost;
}

void RunGridOperation(benchmark::State& State, const TOperation& Op) {
    TBench& B = Bench();
    TCost SmallNear, SmallFar, LargeNear, LargeFar;
    auto Add = [](TCost& Sum, const TCost& One) {
        Sum.Seconds += One.Seconds;
        Sum.Reads += One.Reads;
        Sum.Landed = Sum.Landed && One.Landed;
    };
    for (auto _ : State) {
        Add(SmallNear, Measure(*B.SmallScreen, FromEnd, Op));
        Add(SmallFar, Measure(*B.SmallScreen, Small - FromEnd, Op));
        Add(LargeNear, Measure(*B.LargeScreen, FromEnd, Op));
        const TCost Far = Measure(*B.LargeScreen, Large - FromEnd, Op);
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
}

void Repaint(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen& S) { S.Grid->Repaint(); },
                             [](TStudentsScreen&, int From) { return From; }});
}
BENCHMARK(Repaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

void ScrollOneRow(benchmark::State& State) {
    RunGridOperation(State, {[](TStudentsScreen&) { Key(VK_DOWN, TShiftState{ssCtrl}); },
                             [](TStudentsScreen&) { Key(VK_DOWN); },
                             [](TStudentsScreen&, int From) { return From + 1; }});
}
BENCHMARK(ScrollOneRow)->UseManualTime()->Unit(benchmark::kMicrosecond);

void ScrollOnePage(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen&) { Key(VK_NEXT); },
                             [](TStudentsScreen& S, int From) { return From + S.Grid->VisibleRowCount(); }});
}
BENCHMARK(ScrollOnePage)->UseManualTime()->Unit(benchmark::kMicrosecond);

void JumpToLast(benchmark::State& State) {
    RunGridOperation(State, {nullptr, [](TStudentsScreen&) { Key(VK_END, TShiftState{ssCtrl}); },
                             [](TStudentsScreen& S, int) { return S.Alum->RecordCount(); }});
}
BENCHMARK(JumpToLast)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
