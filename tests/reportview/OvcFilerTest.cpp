// The key/value store and the property filer: the store's open count and
// typed reads, the item names of properties, sub-objects, string lists and
// collection items, and a load that survives a bad value.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "OvcTestSupport.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "reportview/OvcClock.h"
#include "reportview/OvcFiler.h"

namespace {

class TFilerItem : public TOvcCollectible {
    ZELMOR_CLASS(TFilerItem, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T) {
        T.PropertyOf<TFilerItem>(
            "Title", [](TFilerItem& I) { return I.Title; }, [](TFilerItem& I, AnsiString V) { I.Title = V; });
        T.PropertyOf<TFilerItem>(
            "Width", [](TFilerItem& I) { return I.Width; }, [](TFilerItem& I, int V) { I.Width = V; });
    }
    explicit TFilerItem(TComponent* AOwner) : TOvcCollectible(AOwner) {}
    AnsiString Title;
    int Width = 0;
};
ZELMOR_IMPLEMENT_COMPONENT(TFilerItem, TOvcCollectible)

// A component with a property of every kind the filer handles.
class TFilerSubject : public TOvcComponent {
    ZELMOR_CLASS(TFilerSubject, TOvcComponent)
public:
    static void DescribeProperties(TPropertyTable& T) {
        using S = TFilerSubject;
        T.PropertyOf<S>(
            "Count", [](S& X) { return X.Count; }, [](S& X, int V) { X.Count = V; });
        T.PropertyOf<S>(
            "Letter", [](S& X) { return X.Letter; }, [](S& X, char V) { X.Letter = V; });
        T.PropertyOf<S>(
            "Mode", [](S& X) { return X.Mode; }, [](S& X, TOvcClockMode V) { X.Mode = V; });
        T.PropertyOf<S>(
            "Ratio", [](S& X) { return X.Ratio; }, [](S& X, double V) { X.Ratio = V; });
        T.PropertyOf<S>(
            "Caption", [](S& X) { return X.Caption; }, [](S& X, AnsiString V) { X.Caption = V; });
        T.PropertyOf<S>(
            "Options", [](S& X) { return X.Options; }, [](S& X, TOvcBaseEFOptions V) { X.Options = V; });
        T.PropertyOf<S>("Font", [](S& X) { return X.Font.get(); });
        T.PropertyOf<S>("Lines", [](S& X) { return X.Lines.get(); });
        T.PropertyOf<S>("Views", [](S& X) { return X.Views.get(); });
        T.Event("OnDone", &S::OnDone);
    }
    explicit TFilerSubject(TComponent* AOwner)
        : TOvcComponent(AOwner), Font(std::make_unique<TFont>()), Lines(std::make_unique<TStringList>()),
          Views(std::make_unique<TOvcCollection>(this, &TFilerItem::StaticClassInfo())) {}
    int Count = 0;
    char Letter = 'A';
    TOvcClockMode Mode = cmClock;
    double Ratio = 0;
    AnsiString Caption;
    TOvcBaseEFOptions Options;
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TStringList> Lines;
    std::unique_ptr<TOvcCollection> Views;
    TNotifyEvent OnDone;
};
ZELMOR_IMPLEMENT_COMPONENT(TFilerSubject, TOvcComponent)

TEST(OvcStore, OpenAndCloseNest) {
    TMemoryStore s(nullptr);
    s.Open();
    s.Open();
    s.Close();
    EXPECT_EQ(s.Opens, 1);
    EXPECT_EQ(s.Closes, 0) << "an inner pair leaves the store open";
    s.Close();
    EXPECT_EQ(s.Closes, 1);
    s.Close();
    EXPECT_EQ(s.Closes, 2) << "a close too many closes again";
    EXPECT_EQ(s.OpenCount(), 0);
    TOvcAbstractStore bare(nullptr);
    EXPECT_THROW(bare.Open(), EAbstractError);
    EXPECT_THROW(bare.ReadString("a", "b", "c"), EAbstractError);
}

TEST(OvcStore, TypedReadsAndWrites) {
    TMemoryStore s(nullptr);
    struct Case {
        const char* Stored;
        bool Boolean;
        int32_t Integer;
    } cases[] = {{"10", true, 10}, {"yes", false, -1}, {"0", false, 0}, {"", false, -1}, {"12x", true, -1}};
    for (const Case& c : cases) {
        s.WriteString("S", "I", c.Stored);
        EXPECT_EQ(s.ReadBoolean("S", "I", !c.Boolean), c.Boolean) << c.Stored;
        EXPECT_EQ(s.ReadInteger("S", "I", -1), c.Integer) << c.Stored;
    }
    EXPECT_TRUE(s.ReadBoolean("S", "absent", true));
    EXPECT_EQ(s.ReadInteger("S", "absent", 42), 42);
    s.WriteBoolean("S", "B", false);
    s.WriteInteger("S", "N", -7);
    EXPECT_EQ(s.Sections["S"]["B"], "0");
    EXPECT_EQ(s.Sections["S"]["N"], "-7");
}

TEST(OvcStore, StoredItemNames) {
    AnsiString c, p;
    struct Case {
        const char* Item;
        bool Ok;
        const char* Component;
        const char* Property;
    } cases[] = {{"Edit1.Color", true, "Edit1", "Color"},
                 {" Edit1 . Font.Name ", true, "Edit1", "Font.Name"},
                 {"Edit1.", false, "", ""},
                 {".Color", false, "", ""},
                 {"NoDot", false, "", ""}};
    for (const Case& k : cases) {
        EXPECT_EQ(ParseStoredItem(k.Item, c, p), k.Ok) << k.Item;
        if (k.Ok) {
            EXPECT_EQ(c, k.Component);
            EXPECT_EQ(p, k.Property);
        }
    }
    EXPECT_EQ(CreateStoredItem("A", "B"), "A.B");
    EXPECT_EQ(CreateStoredItem("", "B"), "");
}

class OvcFiler : public OvcFormTest {
protected:
    OvcFiler() {
        Form = NewPlainForm("F");
        Subject = NewComponent<TFilerSubject>(Form);
        Subject->SetName("Subject1");
        Subject->Count = 7;
        Subject->Letter = 'q';
        Subject->Mode = cmTimer;
        Subject->Ratio = 1.5;
        Subject->Caption = "  Tipos ";
        Subject->Options = {efoAutoAdvanceLeftRight, efoAutoSelect};
        Subject->Font->SetName("Arial");
        Subject->Lines->Add("uno");
        Subject->Lines->Add("dos");
        for (const char* t : {"Grupo", "Tipo"}) {
            auto* v = dynamic_cast<TFilerItem*>(Subject->Views->Add());
            v->Title = t;
            v->Width = static_cast<int>(std::string(t).size()) * 10;
        }
        Store = NewComponent<TMemoryStore>(Form);
        Store->SetName("Store");
        Filer.SectionName = "View";
        Filer.Storage = Store;
    }
    TStringList* Lines(std::initializer_list<const char*> Items) {
        List.Clear();
        for (const char* i : Items) List.Add(i);
        UpdateStoredList(Form, &List, true);
        return &List;
    }
    AnsiString Stored(const AnsiString& Item) { return Store->ReadString("View", Item, "<none>"); }
    TForm* Form;
    TFilerSubject* Subject;
    TMemoryStore* Store;
    TOvcDataFiler Filer;
    TStringList List;
};

TEST_F(OvcFiler, ListsOfStoredItemsAreResolvedAndRenamed) {
    Lines({"Subject1.Count", "Nowhere.Count", "bad", "Store.Tag", "Subject1.Caption"});
    ASSERT_EQ(List.Count(), 3) << "lines whose component is not on the form go; the others keep their order";
    EXPECT_EQ(List.Get(0), "Subject1.Count");
    EXPECT_EQ(List.Get(1), "Store.Tag");
    EXPECT_EQ(List.Objects(2), Subject);
    Subject->SetName("Renamed");
    UpdateStoredList(Form, &List, false);
    EXPECT_EQ(List.Get(0), "Renamed.Count");
    List.Add("Loose.Line");
    UpdateStoredList(Form, &List, false);
    EXPECT_EQ(List.Count(), 3) << "a line without its component goes";
    UpdateStoredList(nullptr, &List, true);
    EXPECT_EQ(List.Count(), 3);
}

TEST_F(OvcFiler, EveryKindUnderItsItemName) {
    Filer.StoreObjectsProps(Form,
                            Lines({"Subject1.Count", "Subject1.Letter", "Subject1.Mode", "Subject1.Ratio",
                                   "Subject1.Caption", "Subject1.Options", "Subject1.Font", "Subject1.Lines",
                                   "Subject1.Views[1].Title", "Subject1.OnDone", "Subject1.Nothing"}));
    EXPECT_EQ(Stored("Subject1.Count"), "7");
    EXPECT_EQ(Stored("Subject1.Letter"), "q");
    EXPECT_EQ(Stored("Subject1.Mode"), "cmTimer");
    EXPECT_EQ(Stored("Subject1.Ratio"), FloatToStr(1.5));
    EXPECT_EQ(Stored("Subject1.Caption"), "Tipos") << "texts are stored trimmed";
    EXPECT_EQ(Stored("Subject1.Options"), "[efoAutoAdvanceLeftRight,efoAutoSelect]");
    EXPECT_EQ(Stored("Subject1.FontName"), "Arial") << "a sub-object's properties follow its property's name";
    EXPECT_EQ(Stored("Subject1.FontHeight"), "-11");
    EXPECT_EQ(Stored("Subject1.Views[1].Title"), "Tipo");
    EXPECT_EQ(Stored("Subject1.Views[0].Title"), "<none>") << "only what the list names";
    EXPECT_EQ(Stored("Subject1.OnDone"), "<none>");
    EXPECT_EQ(Store->ReadString("View.Subject1.Lines", "Count", ""), "2");
    EXPECT_EQ(Store->ReadString("View.Subject1.Lines", "Item1", ""), "dos");
}

TEST_F(OvcFiler, EmptySetsAndListsAndUnnamedSubjects) {
    Subject->Options = {};
    Subject->Lines->Clear();
    Filer.Prefix = "Mine.";
    Filer.StoreAllProperties(Subject);
    EXPECT_EQ(Stored("Mine.Options"), "[]");
    EXPECT_EQ(Store->Sections.count("View.Mine.Lines"), 0u) << "an empty list stores no count";
    EXPECT_NE(std::find(Store->Erased.begin(), Store->Erased.end(), "View.Mine.Lines"), Store->Erased.end())
        << "but still erases its section";
    EXPECT_EQ(Stored("Mine.Views[0].Width"), "50");
    TOvcDataFiler none;
    none.StoreAllProperties(Subject);
    EXPECT_EQ(none.ReadString("View", "Mine.Count", "x"), "") << "without a store texts read empty";
}

TEST_F(OvcFiler, LoadingRestoresAndABadValueSpoilsOnlyItself) {
    Filer.StoreObjectsProps(Form,
                            Lines({"Subject1.Count", "Subject1.Ratio", "Subject1.Options", "Subject1.Font",
                                   "Subject1.Lines", "Subject1.Views[0].Title", "Subject1.Mode"}));
    Subject->Count = 0;
    Subject->Ratio = 0;
    Subject->Options = {};
    Subject->Font->SetName("Courier New");
    Subject->Lines->Clear();
    dynamic_cast<TFilerItem*>(Subject->Views->Item(0))->Title = "x";
    Subject->Mode = cmClock;
    Store->WriteString("View", "Subject1.Ratio", "not a number");
    Store->WriteString("View", "Subject1.Options", "[ efoInsertPushes, nonsense,efoAutoSelect]");
    Filer.LoadObjectsProps(Form, &List);
    EXPECT_EQ(Subject->Count, 7);
    EXPECT_EQ(Subject->Ratio, 0) << "the bad value leaves the property";
    EXPECT_EQ(Subject->Options, (TOvcBaseEFOptions{efoInsertPushes, efoAutoSelect}));
    EXPECT_EQ(Subject->Font->Name(), "Arial");
    EXPECT_EQ(Subject->Lines->Text(), "uno\r\ndos\r\n");
    EXPECT_EQ(dynamic_cast<TFilerItem*>(Subject->Views->Item(0))->Title, "Grupo");
    EXPECT_EQ(Subject->Mode, cmTimer);
    Store->WriteString("View", "Subject1.Mode", "cmNowhere");
    Filer.LoadObjectsProps(Form, &List);
    EXPECT_EQ(Subject->Mode, cmTimer) << "an unknown name leaves an enumeration";
}

TEST_F(OvcFiler, PropertyListsFindAndIntersect) {
    TOvcPropertyList all(Subject, tkProperties, "");
    EXPECT_NE(all.Find("views[1].width"), nullptr) << "names compare without case";
    EXPECT_EQ(all.Find("Views"), nullptr) << "the collection stands for its items";
    EXPECT_EQ(all.Find("OnDone"), nullptr);
    TOvcPropertyList prefixed(Subject, TTypeKinds{tkInteger}, "Sub");
    ASSERT_NE(prefixed.Find("Sub.Count"), nullptr);
    TOvcPropertyList strings(Subject, TTypeKinds{tkLString}, "");
    all.Intersect(strings);
    EXPECT_EQ(all.Count(), strings.Count());
    EXPECT_NE(all.Find("Caption"), nullptr);
    EXPECT_EQ(all.Find("Count"), nullptr);
}

}  // namespace
