// A keystroke in the lookup form's search edit over a lookup table of 20,000
// subjects against the same over 200: the key, the pause of the search on
// the injected clock, the search by the table's index and the grid painted
// again. The iteration's time is the large table's; the goal, as the counter
// "large_over_small", is within 1.5 times the small table's.
#include <benchmark/benchmark.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchFolder.h"
#include "dataaware/DataAware.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwidlg.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"
#include "tests/support/ui/UiDriver.h"

namespace {

constexpr int Small = 200, Large = 20000;
const char* const Letters = "abcdefghijklmnopqrstuvwxyz";

// The lookup form, shown as it is when it runs, over one subjects table.
class TLookupScreen {
public:
    TLookupScreen(const std::filesystem::path& Folder, int Rows) {
        Owner = new TComponent(nullptr);
        Table = NewComponent<TwwTable>(Owner);
        Table->SetDatabaseName(FromUtf8(Folder.string()));
        Table->SetTableName("asig" + IntToStr(Rows));
        Table->SetIndexName("NOMBRE");
        Table->Open();
        TwwLookupDialogSettings S;
        S.Caption = "Lookup";
        S.DataSet = Table;
        S.Options = {opShowOKCancel};
        Form = NewLookupDlg(S);
        Form->Show();
    }
    ~TLookupScreen() {
        Form->Free();
        Owner->Free();
    }
    TComponent* Owner;
    TwwTable* Table;
    TwwLookupDlg* Form;
};

struct TBench {
    TManualClock Clock{0, 1000};
    TClockScope UseClock{Clock};
    TUiDriver& Ui = InstallUiDriver();
    std::filesystem::path Folder = MakeBenchFolder("lookup");
    std::unique_ptr<TLookupScreen> SmallScreen, LargeScreen;
    TBench() {
        EnsureApplication();
        StartDataAwareLibrary();
        for (int Rows : {Small, Large}) MakeSubjects(Rows);
        // Made here, so that they go before what the library keeps for the life of the program.
        SmallScreen = std::make_unique<TLookupScreen>(Folder, Small);
        LargeScreen = std::make_unique<TLookupScreen>(Folder, Large);
    }
    ~TBench() {
        SmallScreen.reset();
        LargeScreen.reset();
        FinishDataAwareLibrary();
        std::error_code Ec;
        std::filesystem::remove_all(Folder, Ec);
    }
    // Subjects named by every letter in turn, in no order of their names.
    void MakeSubjects(int Rows) {
        auto* Owner = new TComponent(nullptr);
        auto* Maker = NewComponent<TTable>(Owner);
        Maker->SetDatabaseName(FromUtf8(Folder.string()));
        Maker->SetTableName("asig" + IntToStr(Rows));
        Maker->FieldDefs()->Add("ASIG", ftString, 6);
        Maker->FieldDefs()->Add("NOMBRE", ftString, 30);
        Maker->FieldDefs()->Add("HORAS", ftFloat);
        Maker->IndexDefs()->Add("NOMBRE", "NOMBRE", {ixCaseInsensitive});
        Maker->IndexDefs()->Add("ASIG", "ASIG", {});
        Maker->IndexDefs()->Add("HORASD", "HORAS", {ixDescending});
        Maker->CreateTable();
        Maker->Open();
        for (int R = 0; R < Rows; ++R) {
            const int Scrambled = (R * 7919) % Rows;
            Maker->Append();
            Maker->FieldByName("ASIG")->SetAsString("A" + std::to_string(R));
            Maker->FieldByName("NOMBRE")->SetAsString(std::string(1, Letters[Scrambled % 26]) + "signatura " +
                                                      std::to_string(Scrambled));
            Maker->FieldByName("HORAS")->SetAsFloat(R % 6);
            Maker->Post();
        }
        Owner->Free();
    }
};

TBench& Bench() {
    static TBench B;
    return B;
}

// One letter typed into an empty search edit, until the grid is painted on
// the record found.
double Keystroke(TLookupScreen& S, char Letter) {
    TBench& B = Bench();
    S.Form->BringToFront();
    S.Form->wwIncrementalSearch1->SetFocus();
    S.Form->wwIncrementalSearch1->Clear();
    S.Table->First();
    B.Ui.RunUntilIdle();
    const auto Start = std::chrono::steady_clock::now();
    B.Ui.Type(std::string(1, Letter));
    B.Ui.RunUntilIdle();
    B.Clock.Advance(S.Form->wwIncrementalSearch1->DelayTimer()->Interval());
    B.Ui.RunUntilIdle();
    const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    if (std::tolower(S.Table->FieldByName("NOMBRE")->AsString()[0]) != Letter) std::abort();
    return Seconds;
}

void BM_LookupSearchKeystroke(benchmark::State& State) {
    TBench& B = Bench();
    double SmallSum = 0, LargeSum = 0;
    int Turn = 0;
    for (auto _ : State) {
        const char Letter = Letters[(Turn++ * 7) % 26];
        SmallSum += Keystroke(*B.SmallScreen, Letter);
        const double Large = Keystroke(*B.LargeScreen, Letter);
        LargeSum += Large;
        State.SetIterationTime(Large);
    }
    State.counters["large_over_small"] = SmallSum > 0 ? LargeSum / SmallSum : 0;
    // The screens go before the program's end: freed from the static
    // bench's destructor, their grids would leave a registry that is gone.
    B.SmallScreen.reset();
    B.LargeScreen.reset();
}
BENCHMARK(BM_LookupSearchKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
