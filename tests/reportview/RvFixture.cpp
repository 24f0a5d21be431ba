#include "RvFixture.h"

#include <sstream>

#include "platform/rtl/Format.h"

using namespace rvtest;

RvFixture::RvFixture() {
    F = NewPlainForm("F", 420, 300);
    Ctl = NewComponent<TOvcController>(F);
    Ctl->SetName("OvcController1");
    RV = NewComponent<TOvcReportView>(F);
    RV->SetName("RV");
    RV->SetBorderStyle(bsNone);
    RV->Options()->SetListBorderStyle(bsNone);
    RV->SetAlign(alClient);
    RV->SetParent(F);
    AddField("X", "Equis");
    AddField("Y", "Ye");
    AddField("N", "Ene", taRightJustify);
    RV->OnCompareFields = [](TObject*, void* A, void* B, int32_t Field, int32_t& Res) {
        Res = CompareRows(static_cast<Row*>(A), static_cast<Row*>(B), Field);
    };
    RV->OnGetFieldAsString = [this](TObject*, void* Data, int32_t Field, AnsiString& S) {
        if (Recording) Asked.push_back({Data, Field});
        S = FieldText(static_cast<Row*>(Data), Field);
    };
    RV->OnGetFieldAsFloat = [](TObject*, void* Data, int32_t Field, double& V) {
        V = RowValue(static_cast<Row*>(Data), Field);
    };
    RV->OnGetGroupString = [this](TObject*, int32_t Field, TOvcRvIndexGroup* G, AnsiString& S) {
        S = Format("%.0f", {RV->Total(G, Field)});
    };
    AddView("G", "Grupos", {{"X", true}, {"Y"}, {"N", false, true}})->SetShowGroupTotals(true);
    AddView("P", "Plana", {{"X"}, {"Y"}, {"N"}});
}

TOvcRvField* RvFixture::AddField(const char* Name, const char* Caption, TAlignment Alignment) {
    auto* f = static_cast<TOvcRvField*>(RV->Fields()->Add());
    f->SetName(Name);
    f->SetCaption(Caption);
    f->SetAlignment(Alignment);
    return f;
}

TOvcRVView* RvFixture::AddView(const char* Name, const char* Title, std::vector<VF> Fields) {
    auto* v = static_cast<TOvcRVView*>(RV->Views()->Add());
    v->SetName(Name);
    v->SetTitle(Title);
    for (const VF& f : Fields) {
        auto* vf = static_cast<TOvcRvViewField*>(v->ViewFields()->Add());
        vf->SetName(std::string(Name) + "_" + f.Field);
        vf->SetFieldName(f.Field);
        vf->SetGroupBy(f.GroupBy);
        vf->SetComputeTotals(f.Totals);
        if (f.Width > 0) vf->SetWidth(f.Width);
    }
    return v;
}

std::vector<Row*> RvFixture::AddRows(const std::string& Names, std::vector<int> N) {
    std::istringstream in(Names);
    std::vector<Row*> rows;
    std::string name;
    RV->BeginUpdate();
    for (size_t i = 0; in >> name; ++i) {
        Rows.push_back(std::make_unique<Row>(Row{name, name.substr(0, 1), name.substr(1, name.find('.') - 1),
                                                 i < N.size() ? N[i] : int(i) + 1}));
        rows.push_back(Rows.back().get());
        RV->AddData(rows.back());
    }
    RV->EndUpdate();
    return rows;
}

void RvFixture::Show() {
    F->Show();
    Run();
}

std::vector<std::string> RvFixture::Lines() {
    TOvcRvEngine& e = RV->Engine();
    LineSource source;
    source.Count = [&e] { return e.GetLines(); };
    source.At = [&e](int Line, Row*& Item, std::string& Keys, bool& Expanded) {
        if (TOvcRvIndexGroup* g = e.GetElementAtLine(Line)) {
            Keys = FieldText(static_cast<Row*>(g->GetData()), g->KeyField());
            Expanded = g->Expanded();
            return true;
        }
        Item = static_cast<Row*>(e.GetDataAtLine(Line));
        return false;
    };
    if (e.MultiSelect) source.Selected = [&e](int Line) { return e.GetSelected(Line); };
    return Render(source);
}

int RvFixture::BodyTop() { return RV->ListBox()->Top(); }

TPoint RvFixture::LinePoint(int Line, int X) {
    TOvcRVListBox* lb = RV->ListBox();
    const int x = X < 0 ? lb->ClientWidth() - 10 : X;
    return TPoint(x, (Line - lb->TopIndex()) * lb->RowHeight() + lb->RowHeight() / 2);
}
