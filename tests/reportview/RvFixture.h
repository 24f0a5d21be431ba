#pragma once
// A plain report view on a form, with rows of the engine tests' kind:
// report fields X ("Equis"), Y ("Ye") and N ("Ene", right-aligned), a view
// "G" grouped on X with the totals of N ("Grupos") and a plain view "P"
// ("Plana"). Neither the view nor its list has a border, so the list body's
// lines start right below the header strip.
#include <memory>
#include <string>
#include <vector>

#include "OvcTestSupport.h"
#include "RvModel.h"
#include "reportview/OvcRptVw.h"

class RvFixture : public OvcFormTest {
protected:
    RvFixture();
    TOvcRvField* AddField(const char* Name, const char* Caption, TAlignment Alignment = taLeftJustify);
    struct VF {
        const char* Field;
        bool GroupBy = false;
        bool Totals = false;
        int Width = -1;
    };
    TOvcRVView* AddView(const char* Name, const char* Title, std::vector<VF> Fields);
    // Rows like the engine tests' ("a1": X a, Y 1), N as given (else the place, from 1).
    std::vector<rvtest::Row*> AddRows(const std::string& Names, std::vector<int> N = {});
    void Show();
    // The lines as the engine tests write them ("G:a+", "I:a1", "*" selected).
    std::vector<std::string> Lines();
    // The line of the body at a client point of the body, and back.
    TPoint LinePoint(int Line, int X = -1);
    int BodyTop();
    void Run() { Ui.RunUntilIdle(); }

    TForm* F = nullptr;
    TOvcController* Ctl = nullptr;
    TOvcReportView* RV = nullptr;
    std::vector<std::unique_ptr<rvtest::Row>> Rows;
    std::vector<std::pair<void*, int>> Asked;  // GetFieldAsString calls while recording
    bool Recording = false;
};
