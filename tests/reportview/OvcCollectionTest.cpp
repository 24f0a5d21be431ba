// The library's collections (items that are components and stream as their
// owner's children) and the attached label that follows its control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "reportview/OvcExcpt.h"

namespace {

class TTestItem : public TOvcCollectible {
    ZELMOR_CLASS(TTestItem, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T) {
        T.PropertyOf<TTestItem>(
            "Caption", [](TTestItem& I) { return I.Caption; },
            [](TTestItem& I, AnsiString V) { I.Caption = V; });
    }
    explicit TTestItem(TComponent* AOwner) : TOvcCollectible(AOwner) {}
    AnsiString Caption;

protected:
    AnsiString GetBaseName() const override { return "Section"; }
};
ZELMOR_IMPLEMENT_COMPONENT(TTestItem, TOvcCollectible)

class TTestStray : public TOvcCollectible {
    ZELMOR_CLASS(TTestStray, TOvcCollectible)
public:
    explicit TTestStray(TComponent* AOwner) : TOvcCollectible(AOwner) {}
};
ZELMOR_IMPLEMENT_COMPONENT(TTestStray, TOvcCollectible)

class TTestHolder : public TOvcComponent {
    ZELMOR_CLASS(TTestHolder, TOvcComponent)
public:
    explicit TTestHolder(TComponent* AOwner) : TOvcComponent(AOwner) {
        Items = std::make_unique<TOvcCollection>(this, &TTestItem::StaticClassInfo());
        Items->OnChanged = [this](TObject*) { ++Changes; };
    }
    std::unique_ptr<TOvcCollection> Items;
    int Changes = 0;
};
ZELMOR_IMPLEMENT_COMPONENT(TTestHolder, TOvcComponent)

class OvcCollections : public OvcFormTest {
protected:
    OvcCollections() {
        RegisterClasses(
            {&TTestItem::StaticClassInfo(), &TTestHolder::StaticClassInfo(), &TTestStray::StaticClassInfo()});
        F = NewPlainForm("F");
        H = NewComponent<TTestHolder>(F);
        H->SetName("Holder1");
    }
    TTestItem* Item(int I) { return dynamic_cast<TTestItem*>(H->Items->Item(I)); }
    std::vector<std::string> Captions() {
        std::vector<std::string> c;
        for (int i = 0; i < H->Items->Count(); ++i) c.push_back(Item(i)->Caption);
        return c;
    }
    TForm* F;
    TTestHolder* H;
};

TEST_F(OvcCollections, ItemsAreComponentsOfTheirOwnerInCollectionOrder) {
    for (const char* c : {"a", "b", "c"}) dynamic_cast<TTestItem*>(H->Items->Add())->Caption = c;
    EXPECT_EQ(Item(0)->Owner(), H);
    EXPECT_EQ(Item(2)->Index(), 2);
    dynamic_cast<TTestItem*>(H->Items->Insert(-5))->Caption = "end";
    dynamic_cast<TTestItem*>(H->Items->Insert(1))->Caption = "second";
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "second", "b", "c", "end"}));
    Item(4)->SetIndex(0);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"end", "a", "second", "b", "c"}));
    H->Items->Delete(2);
    H->Items->Delete(99);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"end", "a", "b", "c"}));
    Item(1)->Free();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"end", "b", "c"}))
        << "a freed item leaves its collection";
    EXPECT_GT(H->Changes, 0);
    H->Items->Clear();
    EXPECT_EQ(H->Items->Count(), 0);
    EXPECT_EQ(H->ComponentCount(), 0);
    EXPECT_EQ(H->Items->GetEditorCaption(), "Editing TOvcCollection");
}

TEST_F(OvcCollections, NamesOfItems) {
    TComponent* a = H->Items->Add();
    a->SetName("Section1");
    EXPECT_EQ(H->Items->ItemByName("Section1"), a);
    EXPECT_EQ(H->Items->ItemByName("section1"), nullptr) << "item names compare with case";
    auto* b = dynamic_cast<TTestItem*>(H->Items->Add());
    // Anything of the form in depth counts, without regard to case.
    NewComponent<TTestField>(F)->SetName("SECTION2");
    EXPECT_EQ(b->GenerateName(), "Section3");
    TTestHolder loose(nullptr);
    auto* c = dynamic_cast<TTestItem*>(loose.Items->Add());
    EXPECT_EQ(c->GenerateName(), "Section1") << "without a form the first candidate";
}

TEST_F(OvcCollections, ItemsWithoutAPlaceCannotBeMade) {
    struct Case {
        std::function<void()> Make;
        const char* Message;
    } cases[] = {
        {[&] { NewComponent<TTestStray>(H); }, "No collection found for this type"},
        {[&] { NewComponent<TTestItem>(F); },
         "Owner must be a TOvcComponent or TOvcCustomComponent descendant"},
        {[&] { NewComponent<TTestItem>(NewComponent<TOvcComponent>(F)); },
         "No collection exists in the owner component"},
        {[&] { TOvcCollection c(F, &TTestItem::StaticClassInfo()); },
         "Owner must be a TOvcComponent or TOvcCustomComponent descendant"},
        {[&] { TOvcCollection(H, nullptr).Add(); }, "Item class not set"},
        {[&] {
             TOvcCollection others(H, &TTestStray::StaticClassInfo());
             dynamic_cast<TTestItem*>(H->Items->Add())->SetCollection(&others);
         },
         "Item incompatible with collection"},
    };
    for (const Case& c : cases) {
        int before = H->ComponentCount();
        try {
            c.Make();
            ADD_FAILURE() << c.Message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_LE(H->ComponentCount(), before + 1);
    }
    EXPECT_EQ(H->Items->Count(), 0) << "the incompatible item left its collection";
}

TEST_F(OvcCollections, ItemsStreamAsTheirOwnersChildren) {
    for (const char* c : {"first", "second"}) dynamic_cast<TTestItem*>(H->Items->Add())->Caption = c;
    Item(0)->SetName("Section1");
    Item(1)->SetName("Section2");
    AnsiString text = WriteComponentToText(F);
    EXPECT_NE(text.find("  object Holder1: TTestHolder\n"
                        "    object Section1: TTestItem\n"
                        "      Caption = 'first'\n"
                        "    end\n"
                        "    object Section2: TTestItem\n"
                        "      Caption = 'second'\n"
                        "    end\n"
                        "  end\n"),
              AnsiString::npos)
        << text;
    TForm* back = ReadForm(text);
    auto* holder = dynamic_cast<TTestHolder*>(back->FindComponent("Holder1"));
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(holder->Items->Count(), 2);
    EXPECT_EQ(holder->Items->Item(1)->Owner(), holder) << "owned by the holder, not by the form";
    EXPECT_EQ(dynamic_cast<TTestItem*>(holder->Items->Item(1))->Caption, "second");
    EXPECT_EQ(back->FindComponent("Section1"), nullptr);
    EXPECT_EQ(holder->Changes, 1) << "the collection hears once, when the form is loaded";
    H->Items->ItemsStored = false;
    EXPECT_EQ(WriteComponentToText(F).find("Section1"), AnsiString::npos);
}

// --- the attached label ---

class OvcAttachedLabel : public OvcFormTest {
protected:
    OvcAttachedLabel() {
        F = NewPlainForm("F");
        NewComponent<TOvcController>(F)->SetName("Controller");
        View = NewComponent<TTestOvcView>(F);
        View->SetName("View1");
        View->SetBounds(40, 60, 100, 30);
        View->SetParent(F);
        F->Show();
        Ui.RunUntilIdle();
    }
    TForm* F;
    TTestOvcView* View;
};

TEST_F(OvcAttachedLabel, TheLabelStandsOnItsControlAndFollowsIt) {
    EXPECT_THROW(View->GetAttachedLabel(), Exception);
    View->LabelInfo()->SetVisible(true);
    TOvcAttachedLabel* label = View->GetAttachedLabel();
    EXPECT_EQ(label->Name(), "View1Label1");
    EXPECT_EQ(label->Caption(), "View1Label1");
    EXPECT_EQ(label->Owner(), F);
    EXPECT_EQ(label->Parent(), F);
    EXPECT_EQ(label->Control(), View);
    EXPECT_EQ(label->FocusControl(), View);
    EXPECT_GT(label->Height(), 0);
    EXPECT_EQ(label->Left(), 40);
    EXPECT_EQ(label->Top(), 60 - label->Height()) << "its bottom on the control's top";

    View->SetBounds(70, 100, 100, 30);
    EXPECT_EQ(label->Left(), 40) << "the label moves after the current message";
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 70);
    EXPECT_EQ(label->Top(), 100 - label->Height());

    // Moved by hand, the label records where it stands.
    label->SetBounds(75, 80, label->Width(), label->Height());
    EXPECT_EQ(View->LabelInfo()->OffsetX(), 5);
    EXPECT_EQ(View->LabelInfo()->OffsetY(), 80 + label->Height() - 100);
    View->SetBounds(10, 150, 100, 30);
    Ui.RunUntilIdle();
    EXPECT_EQ(label->Left(), 15);
    EXPECT_EQ(label->Top() + label->Height(), 150 + View->LabelInfo()->OffsetY());

    View->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    View->SetVisible(true);
    EXPECT_TRUE(label->Visible());

    label->Free();
    EXPECT_FALSE(View->LabelInfo()->Visible());
    EXPECT_THROW(View->GetAttachedLabel(), Exception);
}

TEST_F(OvcAttachedLabel, TheLabelGoesWithItsSettingOrItsControl) {
    View->LabelInfo()->SetVisible(true);
    View->LabelInfo()->SetVisible(false);
    EXPECT_EQ(F->FindComponent("View1Label1"), nullptr);
    View->LabelInfo()->SetVisible(true);
    EXPECT_NE(F->FindComponent("View1Label1"), nullptr);
    View->Free();
    EXPECT_EQ(F->FindComponent("View1Label1"), nullptr);
}

TEST_F(OvcAttachedLabel, AStreamedLabelJoinsItsControl) {
    View->LabelInfo()->SetVisible(true);
    TOvcAttachedLabel* first = View->GetAttachedLabel();
    first->SetBounds(45, 20, first->Width(), first->Height());
    const int offsetY = 20 + first->Height() - 60;
    AnsiString text = WriteComponentToText(F);
    EXPECT_NE(text.find("LabelInfo.OffsetY = " + IntToStr(offsetY)), AnsiString::npos) << text;
    TForm* back = ReadForm(text);
    auto* view = dynamic_cast<TTestOvcView*>(back->FindComponent("View1"));
    ASSERT_NE(view, nullptr);
    TOvcAttachedLabel* label = view->GetAttachedLabel();
    EXPECT_EQ(label->Name(), "View1Label1");
    EXPECT_EQ(label->Control(), view);
    EXPECT_EQ(view->LabelInfo()->OffsetX(), 5);
    EXPECT_EQ(view->LabelInfo()->OffsetY(), offsetY);
}

TEST_F(OvcAttachedLabel, AfterEnterAndAfterExitRunOnceTheFocusHasMoved) {
    auto* other = NewComponent<TTestOvcView>(F);
    other->SetBounds(40, 120, 100, 30);
    other->SetParent(F);
    std::vector<std::string> log;
    auto focus = [](TWinControl* C) { return std::string(C->Focused() ? " focused" : " not focused"); };
    View->AfterEnter = [&](TObject*) { log.push_back("enter," + focus(View)); };
    View->AfterExit = [&](TObject*) { log.push_back("exit, other" + focus(other)); };
    other->SetFocus();
    Ui.RunUntilIdle();
    log.clear();
    View->SetFocus();
    EXPECT_TRUE(log.empty()) << "posted, after the focus change";
    Ui.RunUntilIdle();
    other->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"enter, focused", "exit, other focused"}));
}

}  // namespace
