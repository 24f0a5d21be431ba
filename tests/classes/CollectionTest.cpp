#include <gtest/gtest.h>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"

namespace {
class TColumn : public TCollectionItem {
    ZELMOR_CLASS(TColumn, TCollectionItem)
    using TCollectionItem::TCollectionItem;
    AnsiString Title;
    int Width = 64;
    AnsiString DisplayName() const override { return Title; }
    void SetDisplayName(const AnsiString& Value) override {
        Title = Value;
        inherited::SetDisplayName(Value);
    }
    void Assign(TPersistent* Source) override {
        if (auto* c = dynamic_cast<TColumn*>(Source)) {
            Title = c->Title;
            Width = c->Width;
            return;
        }
        inherited::Assign(Source);
    }
};

class TOtherItem : public TCollectionItem {
    ZELMOR_CLASS(TOtherItem, TCollectionItem)
    using TCollectionItem::TCollectionItem;
};

// Records what reaches Update: the item's title, or "*" for the whole collection.
class TColumns : public TOwnedCollection {
    ZELMOR_CLASS(TColumns, TOwnedCollection)
    explicit TColumns(TPersistent* Owner = nullptr) : TOwnedCollection(Owner, TColumn::StaticClassInfo()) {}
    std::vector<AnsiString> Updates;
    TColumn* Column(int Index) const { return static_cast<TColumn*>(Items(Index)); }
    std::vector<AnsiString> Titles() const {
        std::vector<AnsiString> titles;
        for (int i = 0; i < Count(); ++i) titles.push_back(Column(i)->Title);
        return titles;
    }

protected:
    void Update(TCollectionItem* Item) override {
        Updates.push_back(Item ? static_cast<TColumn*>(Item)->Title : AnsiString("*"));
    }
};

class TGrid : public TComponent {
    ZELMOR_CLASS(TGrid, TComponent)
    using TComponent::TComponent;
    TColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TColumns* Value) { FColumns->Assign(Value); }
    static void DescribeProperties(TPropertyTable& T) {
        T.Property("Columns", &TGrid::Columns, &TGrid::SetColumns);
    }

private:
    std::unique_ptr<TColumns> FColumns = std::make_unique<TColumns>(this);
};

ZELMOR_IMPLEMENT_COLLECTION_ITEM(TColumn, TCollectionItem)
ZELMOR_IMPLEMENT_COLLECTION_ITEM(TOtherItem, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TColumns, TOwnedCollection)
ZELMOR_IMPLEMENT_COMPONENT(TGrid, TComponent)

void Fill(TColumns& Columns, std::initializer_list<const char*> Titles) {
    for (const char* t : Titles) static_cast<TColumn*>(Columns.Add())->Title = t;
}
}  // namespace

TEST(Collections, ItemsAreMadeByTheItemClassAndMoveByIndex) {
    TColumns columns;
    Fill(columns, {"A", "B", "C", "D"});
    ASSERT_NE(dynamic_cast<TColumn*>(columns.Items(0)), nullptr);
    EXPECT_EQ(columns.Column(2)->ID(), 2);

    struct Case {
        int From, To;
        std::vector<AnsiString> Expected;
    };
    const Case moves[] = {
        {3, 0, {"D", "A", "B", "C"}},
        {0, 2, {"A", "B", "D", "C"}},
        {1, 99, {"A", "D", "C", "B"}},
        {0, -1, {"D", "C", "B", "A"}},
    };
    for (const Case& m : moves) {
        SCOPED_TRACE(m.From);
        columns.Items(m.From)->SetIndex(m.To);
        EXPECT_EQ(columns.Titles(), m.Expected);
    }
    for (int i = 0; i < columns.Count(); ++i) EXPECT_EQ(columns.Items(i)->Index(), i);

    // IDs follow the item, and a deleted item's ID is never given again.
    TCollectionItem* b = columns.Items(2);
    int idB = b->ID();
    columns.Delete(0);
    EXPECT_EQ(columns.FindItemID(idB), b);
    EXPECT_EQ(columns.Add()->ID(), 4);
    static_cast<TColumn*>(columns.Insert(1))->Title = "X";
    static_cast<TColumn*>(columns.Insert(-5))->Title = "Y";
    EXPECT_EQ(columns.Titles(), (std::vector<AnsiString>{"C", "X", "B", "A", "", "Y"}));
    EXPECT_THROW(columns.Items(6), EListError);
    EXPECT_THROW(columns.Delete(-1), EListError);
}

TEST(Collections, UpdatesReachTheCollectionOncePerBatch) {
    TColumns columns;
    columns.Add();
    EXPECT_EQ(columns.Updates, (std::vector<AnsiString>{"*"}));

    columns.Updates.clear();
    columns.BeginUpdate();
    Fill(columns, {"A", "B"});
    columns.BeginUpdate();
    columns.Delete(0);
    columns.EndUpdate();
    EXPECT_TRUE(columns.Updates.empty());
    columns.EndUpdate();
    EXPECT_EQ(columns.Updates, (std::vector<AnsiString>{"*"}));

    columns.Updates.clear();
    columns.Items(0)->SetDisplayName("Nombre");
    columns.Items(1)->SetIndex(0);
    delete columns.Items(0);  // an item freed directly leaves its collection
    columns.Clear();
    EXPECT_EQ(columns.Updates, (std::vector<AnsiString>{"Nombre", "*", "*", "*"}));
    EXPECT_EQ(columns.Count(), 0);
}

TEST(Collections, AssignCopiesEachItemThroughItsOwnAssign) {
    TColumns source, target;
    Fill(source, {"Curso", "Grupo"});
    source.Column(1)->Width = 30;
    Fill(target, {"Old"});
    target.Updates.clear();
    target.Assign(&source);
    EXPECT_EQ(target.Titles(), source.Titles());
    EXPECT_EQ(target.Column(1)->Width, 30);
    EXPECT_NE(target.Items(0), source.Items(0));
    EXPECT_EQ(target.Updates, (std::vector<AnsiString>{"*"}));

    TGrid grid(nullptr);
    EXPECT_THROW(target.Assign(&grid), EConvertError);
    EXPECT_EQ(target.Count(), 2);
    // Items of another class cannot be copied into columns, and the copy stops cleanly.
    TCollection others(TOtherItem::StaticClassInfo());
    others.Add();
    EXPECT_THROW(target.Assign(&others), EConvertError);
    EXPECT_EQ(target.UpdateCount(), 0);
}

TEST(Collections, ItemClassesAreCheckedAndItemsJoinOrLeaveSafely) {
    EXPECT_THROW(TCollection{TGrid::StaticClassInfo()}, EInvalidCast);
    TColumns columns;
    TCollection others(TOtherItem::StaticClassInfo());
    TCollectionItem* other = others.Add();
    EXPECT_THROW(other->SetCollection(&columns), EInvalidCast);
    EXPECT_EQ(other->Collection(), &others);

    TCollectionItem* column = columns.Add();
    TColumns second;
    column->SetCollection(&second);
    EXPECT_EQ(columns.Count(), 0);
    EXPECT_EQ(second.Count(), 1);
    EXPECT_EQ(column->Collection(), &second);
    EXPECT_EQ(column->Index(), 0);
}

TEST(Collections, NamePathsNameTheOwnersProperty) {
    TGrid grid(nullptr);
    grid.SetName("Grid1");
    Fill(*grid.Columns(), {"A", "B"});
    EXPECT_EQ(grid.Columns()->GetNamePath(), "Grid1.Columns");
    EXPECT_EQ(grid.Columns()->Items(1)->GetNamePath(), "Grid1.Columns[1]");
    TColumns loose;
    EXPECT_EQ(loose.GetNamePath(), "TColumns");

    // A collection property copies through the collection's Assign.
    TColumns other;
    Fill(other, {"Z"});
    SetObjectProp(&grid, "Columns", &other);
    EXPECT_EQ(grid.Columns()->Titles(), (std::vector<AnsiString>{"Z"}));
}
