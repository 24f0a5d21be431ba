#pragma once
// The report tests' machine: the data-set machine (drive C:, the data folder
// with the database "Zelmor"), the off-screen display with a fresh
// application, a clock that moves only when told, and this executable's own
// forms (forms/ListadoPrueba.zfm). Everything is undone when the test ends.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/DatasetFixture.h"
#include "forms/ListadoPrueba.h"
#include "platform/rtl/Clock.h"
#include "platform/sys/Dialogs.h"
#include "tests/support/TestResources.h"
#include "tests/support/ui/ScreenSession.h"
#include "tests/support/ui/UiDriver.h"

struct TAlumRow {
    AnsiString Nombre, Grupo, Asig1, Asig2;
};

class ReportTest : public DatasetFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The students table "alum" (NOMBRE C 40, GRUPO C 2, ASIG1 C 4, ASIG2
    // C 4; tag NOMBRE) with these rows in this physical order.
    void MakeAlum(const std::vector<TAlumRow>& Rows);
    // Count students named "Alumno NNNN" in a physical order other than their
    // names' (every seventh name first), in groups A, B, C, D by turn.
    static std::vector<TAlumRow> School(int Count);
    // The listing form, read from its form file, on "alum".
    TListadoPruebaForm* OpenListado();

    TUiDriver& Ui() { return *FUi; }
    // Message boxes answered by script from here to the end of the test.
    TScriptedDialogs& Answers() {
        if (!FAnswers) FAnswers.emplace();
        return *FAnswers;
    }

    TManualClock Clock{0, 1000};

private:
    TClockScope FUseClock{Clock};
    TResourceScope FForms{kTestResources};
    std::optional<TUiSession> FSession;
    TUiDriver* FUi = nullptr;
    std::optional<TScriptedDialogs> FAnswers;
};

// The texts of a page's runs, in order.
std::vector<AnsiString> Texts(const TReportPage& Page);
// The runs of the pages that lie at Left millimetres (a column), in order.
std::vector<AnsiString> ColumnAt(const TReport& Report, double Left);
