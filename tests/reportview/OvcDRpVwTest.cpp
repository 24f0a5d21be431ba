// The data report view: the "ODRD" bytes, typed values and their
// conversions, a form whose "Data" is read before its report fields are
// known, and the view's answers from its items.
#include <gtest/gtest.h>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"
#include "reportview/OvcDRpVw.h"
#include "reportview/OvcExcpt.h"

namespace {

class RvData : public OvcFormTest {
protected:
    RvData() {
        F = NewPlainForm("F", 300, 200);
        NewComponent<TOvcController>(F);
        V = NewComponent<TOvcDataReportView>(F);
        V->SetName("DV");
        V->SetParent(F);
    }
    TOvcDataRvField* AddField(const char* Name, TOvcDRDataType Type, const char* Format = "") {
        auto* f = static_cast<TOvcDataRvField*>(V->Fields()->Add());
        f->SetName(Name);
        f->SetDataType(Type);
        f->SetFormat(Format);
        return f;
    }
    std::string Bytes() {
        TMemoryStream s;
        V->Items()->SaveToStream(s);
        return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size()));
    }
    TForm* F;
    TOvcDataReportView* V;
};

TEST_F(RvData, OneItemOfTwoTextsIsEighteenBytesLong) {
    AddField("A", dtString);
    AddField("B", dtString);
    TOvcDataRvItem* item = V->Items()->Add();
    item->SetAsString(0, "A");
    const std::string expected("ODRD\x12\0\0\0\x01\0\0\0\x02\0\0\0A\0\0\0\0\0", 22);
    EXPECT_EQ(Bytes(), expected);
    // Read back into another view with the same fields.
    auto* w = NewComponent<TOvcDataReportView>(F);
    for (const char* n : {"A", "B"}) static_cast<TOvcDataRvField*>(w->Fields()->Add())->SetName(n);
    TMemoryStream s;
    s.WriteBuffer(expected.data(), int64_t(expected.size()));
    s.SetPosition(0);
    w->Items()->LoadFromStream(s);
    ASSERT_EQ(w->Items()->GetCount(), 1);
    EXPECT_EQ(w->Items()->GetItem(0)->GetAsString(0), "A");
    EXPECT_EQ(w->Items()->GetItem(0)->GetFieldSize(1), 0);
    TMemoryStream bad;
    bad.WriteBuffer("OXRD\0\0\0\0", 8);
    bad.SetPosition(0);
    try {
        w->Items()->LoadFromStream(bad);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Bad stream signature in report view data");
    }
}

TEST_F(RvData, ValuesKeepTheirTypes) {
    AddField("S", dtString);
    AddField("F", dtFloat, "0.00");
    AddField("I", dtInteger, "%.3d");
    AddField("D", dtDateTime, "dd/mm/yyyy");
    AddField("B", dtBoolean);
    AddField("W", dtDWord);
    TOvcDataRvItem* item = V->Items()->Add();
    struct Case {
        int Field;
        const char* Typed;
        const char* Shown;
    };
    for (const Case& c :
         {Case{0, "hola", "hola"}, Case{1, "2,5", "2,50"}, Case{2, "7,5", "008"}, Case{2, "6,5", "006"},
          Case{3, "03/02/2024", "03/02/2024"}, Case{4, "true", "TRUE"}, Case{4, "si", "FALSE"},
          Case{5, "4294967295", "4294967295"}, Case{1, "nada", "0,00"}}) {
        item->SetAsString(c.Field, c.Typed);
        EXPECT_EQ(item->GetAsString(c.Field), c.Shown) << c.Typed;
    }
    EXPECT_EQ(item->GetFieldSize(1), 10) << "an extended float";
    EXPECT_EQ(item->GetAsFloat(2), 6);
    EXPECT_EQ(item->GetAsDateTime(3), EncodeDate(2024, 2, 3));
    EXPECT_THROW(item->GetAsFloat(0), Exception) << "a text is no number";
    EXPECT_THROW(item->SetAsInteger(1, 3), Exception);
    EXPECT_THROW(item->GetAsString(6), Exception);
    item->SetAsDateTime(3, 0.5);
    EXPECT_EQ(item->GetAsString(3), "") << "below 1 no date";
    // A format that does not fit the value raises and reads nothing more.
    static_cast<TOvcDataRvField*>(V->Fields()->Item(2))->SetFormat("%s %d");
    EXPECT_THROW(item->GetAsString(2), EConvertError);
    // Data types are fixed while there are items.
    EXPECT_THROW(static_cast<TOvcDataRvField*>(V->Fields()->Item(0))->SetDataType(dtFloat), Exception);
}

// Counts the updates the engine runs.
class TCountingDataView : public TOvcDataReportView {
public:
    using TOvcDataReportView::TOvcDataReportView;
    void DoLinesWillChange() override {
        ++Updates;
        TOvcDataReportView::DoLinesWillChange();
    }
    int Updates = 0;
};

TEST_F(RvData, AnUnchangedValueTellsTheViewNothing) {
    auto* cv = NewComponent<TCountingDataView>(F);
    V = cv;
    AddField("I", dtInteger);
    auto* view = static_cast<TOvcRVView*>(V->Views()->Add());
    view->SetName("A");
    auto* vf = static_cast<TOvcRvViewField*>(view->ViewFields()->Add());
    vf->SetName("A_I");
    vf->SetFieldName("I");
    V->SetActiveView("A");
    TOvcDataRvItem* a = V->Items()->Add();
    TOvcDataRvItem* b = V->Items()->Add();
    a->SetAsInteger(0, 5);
    b->SetAsInteger(0, 3);
    EXPECT_EQ(V->Engine().GetData(0), b) << "a change re-sorts";
    const int updates = cv->Updates;
    a->SetAsInteger(0, 5);
    EXPECT_EQ(cv->Updates, updates) << "the same value: no change";
    // A field added after the items: the next change drops the stored values.
    AddField("S", dtString);
    b->SetAsString(1, "x");
    EXPECT_EQ(b->GetFieldSize(0), 0);
    EXPECT_EQ(b->GetAsString(1), "x");
    delete a;
    EXPECT_EQ(V->Items()->GetCount(), 1);
    EXPECT_EQ(V->Engine().ItemCount(), 1);
}

TEST_F(RvData, AFormsDataIsReadOnceTheFieldsAreKnown) {
    AddField("A", dtString);
    AddField("N", dtInteger);
    auto* view = static_cast<TOvcRVView*>(V->Views()->Add());
    view->SetName("V1");
    for (const char* n : {"A", "N"}) {
        auto* vf = static_cast<TOvcRvViewField*>(view->ViewFields()->Add());
        vf->SetName(std::string("V1_") + n);
        vf->SetFieldName(n);
    }
    V->SetActiveView("V1");
    for (auto [a, n] : {std::pair{"b", 2}, std::pair{"a", 1}}) {
        TOvcDataRvItem* item = V->Items()->Add();
        item->SetAsString(0, a);
        item->SetAsInteger(1, n);
    }
    AnsiString text = WriteComponentToText(F);
    EXPECT_NE(text.find("Items.Data = {"), AnsiString::npos);
    F->Free();
    TForm* G = TForm::CreateNew(Application);
    ReadComponentFromText(G, text, "data view");
    auto* w = static_cast<TOvcDataReportView*>(G->FindComponent("DV"));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->Items()->GetCount(), 2);
    EXPECT_EQ(w->GetFieldAsString(w->Engine().GetData(0), 0), "a");
    EXPECT_EQ(w->Items()->GetItem(0)->GetAsInteger(1), 2);
    EXPECT_EQ(w->Engine().GetLines(), 2);
}

TEST_F(RvData, TheViewAnswersFromItsItems) {
    AddField("A", dtString);
    AddField("N", dtFloat, "0.0");
    auto* view = static_cast<TOvcRVView*>(V->Views()->Add());
    view->SetName("G");
    for (auto [n, g, t] : {std::tuple{"A", true, false}, std::tuple{"N", false, true}}) {
        auto* vf = static_cast<TOvcRvViewField*>(view->ViewFields()->Add());
        vf->SetName(std::string("G_") + n);
        vf->SetFieldName(n);
        vf->SetGroupBy(g);
        vf->SetComputeTotals(t);
    }
    V->SetActiveView("G");
    V->SetMultiSelect(true);
    for (auto [a, n] : {std::pair{"x", 1.5}, std::pair{"X", 2.0}, std::pair{"y", 4.0}}) {
        TOvcDataRvItem* item = V->Items()->Add();
        item->SetAsString(0, a);
        item->SetAsFloat(1, n);
    }
    EXPECT_EQ(V->Engine().GetLines(), 2) << "x and X are one group";
    EXPECT_EQ(V->DoGetGroupString(1, V->Engine().GetGroupRef(0)), "3,5");
    std::vector<TOvcDataRvItem*> seen;
    V->OnEnumerate = [&](TObject*, TOvcDataRvItem* Item, bool&, void*) { seen.push_back(Item); };
    V->Engine().SetSelected(1, true);
    V->EnumerateSelected(nullptr);
    EXPECT_EQ(seen, std::vector<TOvcDataRvItem*>{V->Items()->GetItem(2)});
    EXPECT_TRUE(V->GetHaveSelection());
    EXPECT_EQ(V->GetSelectionCount(), 1);
    EXPECT_TRUE(V->OnEnumerate) << "the handler is put back";
    view->SetFilterIndex(0);
    EXPECT_THROW(V->RebuildIndexes(), EOnFilterNotAsgnd);
}

}  // namespace
