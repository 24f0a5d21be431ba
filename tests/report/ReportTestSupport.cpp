#include "ReportTestSupport.h"

#include <cmath>
#include <cstdio>

#include "platform/win/Display.h"

void ReportTest::SetUp() {
    DatasetFixture::SetUp();
    RegisterReportTestForms();
    FSession.emplace(std::make_unique<TUiDriver>());
    FUi = &static_cast<TUiDriver&>(CurrentDisplay());
}

void ReportTest::TearDown() {
    // The forms go first: their tables stand on the fixture's database.
    FAnswers.reset();
    FSession.reset();
    DatasetFixture::TearDown();
}

void ReportTest::MakeAlum(const std::vector<TAlumRow>& Rows) {
    CreateTable(
        "alum",
        {{"NOMBRE", ftString, 40}, {"GRUPO", ftString, 2}, {"ASIG1", ftString, 4}, {"ASIG2", ftString, 4}},
        {{"NOMBRE", "NOMBRE"}});
    std::vector<std::vector<std::pair<const char*, AnsiString>>> Values;
    for (const TAlumRow& R : Rows)
        Values.push_back({{"NOMBRE", R.Nombre}, {"GRUPO", R.Grupo}, {"ASIG1", R.Asig1}, {"ASIG2", R.Asig2}});
    AddRows("alum", Values);
}

std::vector<TAlumRow> ReportTest::School(int Count) {
    std::vector<TAlumRow> Rows;
    for (int I = 0; I < Count; ++I) {
        int N = (I * 7) % Count;  // a permutation while Count is no multiple of 7
        char Name[32];
        std::snprintf(Name, sizeof Name, "Alumno %04d", N + 1);
        Rows.push_back({Name, AnsiString(1, static_cast<char>('A' + N % 4)), N % 3 ? "MAT" : "", "LEN"});
    }
    return Rows;
}

TListadoPruebaForm* ReportTest::OpenListado() { return OpenScreen<TListadoPruebaForm>(); }

std::vector<AnsiString> Texts(const TReportPage& Page) {
    std::vector<AnsiString> T;
    for (const TReportTextRun& R : Page.Runs) T.push_back(R.Text);
    return T;
}

std::vector<AnsiString> ColumnAt(const TReport& Report, double Left) {
    std::vector<AnsiString> T;
    for (int P = 0; P < Report.PageCount(); ++P)
        for (const TReportTextRun& R : Report.Pages(P).Runs)
            if (std::fabs(R.Left - Left) < 1e-9) T.push_back(R.Text);
    return T;
}
