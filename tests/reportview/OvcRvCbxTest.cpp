// The view picker: the titles it lists, picking one, and how it follows
// views made, freed and retitled and a report view that goes away first.
#include <gtest/gtest.h>

#include "RvFixture.h"
#include "reportview/OvcRvCbx.h"

namespace {

using Texts = std::vector<std::string>;

class RvPicker : public RvFixture {
protected:
    RvPicker() {
        AddView("E", "", {{"X"}});
        AddView("C", "Columnas", {{"Y"}});
        RV->SetActiveView("C");
        RV->SetBounds(0, 30, 400, 250);
        RV->SetAlign(alNone);
        Picker = NewComponent<TOvcViewComboBox>(F);
        Picker->SetBounds(10, 4, 150, 21);
        Picker->SetParent(F);
        Picker->SetReportView(RV);
    }
    Texts Items() {
        Texts t;
        for (int i = 0; i < Picker->GetList()->Count(); ++i) t.push_back(Picker->GetList()->Get(i));
        return t;
    }
    TOvcViewComboBox* Picker;
};

TEST_F(RvPicker, ListsTheTitlesAndPicksAView) {
    EXPECT_EQ(Items(), (Texts{"Grupos", "Plana", "Columnas"})) << "an empty title is left out";
    EXPECT_EQ(Picker->Text(), "Columnas");
    Show();
    Picker->SetDroppedDown(true);
    Picker->SetItemIndex(Picker->MRUCount() + 1);
    Picker->SetDroppedDown(false);
    Run();
    EXPECT_EQ(RV->ActiveView(), "P");
    EXPECT_TRUE(RV->Focused()) << "the report view takes the focus";
    RV->SetActiveView("G");
    EXPECT_EQ(Picker->Text(), "Grupos") << "the report view's switch shows";
}

TEST_F(RvPicker, FollowsViewsMadeFreedAndRetitled) {
    Show();
    AddView("NV", "Nueva", {{"X"}});
    EXPECT_EQ(Items().back(), "Nueva");
    RV->FindView("P")->Free();
    EXPECT_EQ(Items(), (Texts{"Grupos", "Columnas", "Nueva"}));
    static_cast<TOvcRVView*>(RV->FindView("G"))->SetTitle("Otra");
    EXPECT_EQ(Items(), (Texts{"Columnas", "Nueva", "Otra"})) << "a new title goes to the end";
    // Two views with one title give one item, which picks the first.
    AddView("D", "Columnas", {{"Y"}});
    EXPECT_EQ(Items(), (Texts{"Columnas", "Nueva", "Otra"}));
    RV->SetActiveViewByTitle("Columnas");
    EXPECT_EQ(RV->ActiveView(), "C");
}

TEST_F(RvPicker, EitherMayGoFirst) {
    Picker->Free();
    AddView("Z", "Zeta", {{"X"}});  // reaches no freed picker
    auto* other = NewComponent<TOvcViewComboBox>(F);
    other->SetReportView(RV);
    RV->Free();
    EXPECT_EQ(other->ReportView(), nullptr);
    EXPECT_EQ(other->GetList()->Count(), 0);
    RV = nullptr;
}

}  // namespace
