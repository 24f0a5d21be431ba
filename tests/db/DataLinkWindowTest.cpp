// The record window the data links see: rows of a grid, every record of a
// report view, the active record set from outside, and the field data link.
#include <gtest/gtest.h>

#include "DatasetFixture.h"

namespace {
using TNames = std::vector<AnsiString>;

// A link that only remembers the scroll distances it was told.
class TScrollLink : public TDataLink {
public:
    std::vector<int> Scrolls;
    int Changes = 0;

protected:
    void DataSetScrolled(int Distance) override { Scrolls.push_back(Distance); }
    void DataSetChanged() override { ++Changes; }
};

class DataLinkWindow : public DatasetFixture {
protected:
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    void SetUp() override {
        DatasetFixture::SetUp();
        MakeStudents();
        Table = NewTable("alumnos", "N");
        Source = NewComponent<TDataSource>(Form);
        Source->SetDataSet(Table);
    }
    // The N of every row of a link's window, read as a grid paints them.
    static TNames Rows(TDataLink& Link) {
        TNames rows;
        int saved = Link.ActiveRecord();
        for (int i = 0; i < Link.RecordCount(); ++i) {
            Link.SetActiveRecord(i);
            rows.push_back(Link.DataSet()->FieldByName("N")->AsString());
        }
        Link.SetActiveRecord(saved);
        return rows;
    }
};

TEST_F(DataLinkWindow, GridRowsScrollByTheDistanceMoved) {
    TScrollLink grid;
    grid.SetDataSource(Source);
    grid.SetBufferCount(3);
    Table->Open();
    EXPECT_EQ(Table->BufferCount(), 3);
    EXPECT_EQ(Rows(grid), (TNames{"1", "2", "3"}));
    Table->Next();
    Table->Next();
    EXPECT_EQ(grid.ActiveRecord(), 2);
    Table->Next();  // past the last row: the rows move up one
    EXPECT_EQ(grid.Scrolls, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(Rows(grid), (TNames{"2", "3", "4"}));
    EXPECT_EQ(grid.ActiveRecord(), 2);
    Table->MoveBy(-3);  // two rows up inside the window, then one more record
    EXPECT_EQ(grid.Scrolls.back(), -1);
    EXPECT_EQ(Rows(grid), (TNames{"1", "2", "3"}));
    EXPECT_EQ(grid.ActiveRecord(), 0);
    Table->Last();
    EXPECT_EQ(Rows(grid), (TNames{"3", "4", "5"}));
    EXPECT_EQ(grid.ActiveRecord(), 2);
    EXPECT_EQ(Table->FieldByName("N")->AsString(), "5");
}

TEST_F(DataLinkWindow, SettingTheActiveRecordReadsAnotherRowWithoutMovingTheCursor) {
    TScrollLink grid;
    grid.SetDataSource(Source);
    grid.SetBufferCount(5);
    Table->Open();
    grid.SetActiveRecord(3);
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Eva");
    grid.SetActiveRecord(99);  // no such row: nothing changes
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Eva");
    // The cursor is brought there when the record is edited.
    Table->Edit();
    Table->FieldByName("NOMBRE")->SetAsString("Eva2");
    Table->Post();
    EXPECT_EQ(Column(Table, "NOMBRE"), (TNames{"Luis", "Ana", "Pedro", "Eva2", "Juan"}));
}

TEST_F(DataLinkWindow, ResizingTheWindowKeepsTheActiveRecord) {
    TScrollLink grid;
    grid.SetDataSource(Source);
    grid.SetBufferCount(2);
    Table->Open();
    Table->Last();
    EXPECT_EQ(Rows(grid), (TNames{"4", "5"}));
    grid.SetBufferCount(4);  // a taller grid shows the records before as well
    EXPECT_EQ(Rows(grid), (TNames{"2", "3", "4", "5"}));
    EXPECT_EQ(grid.ActiveRecord(), 3);
    grid.SetBufferCount(10);
    EXPECT_EQ(grid.RecordCount(), 5);
    grid.SetBufferCount(1);
    EXPECT_EQ(Rows(grid), (TNames{"5"}));
    EXPECT_EQ(Table->FieldByName("N")->AsString(), "5");
}

TEST_F(DataLinkWindow, TwoLinksOfDifferentHeightsFollowTheSameRecord) {
    TScrollLink tall, short_;
    tall.SetDataSource(Source);
    short_.SetDataSource(Source);
    tall.SetBufferCount(4);
    short_.SetBufferCount(2);
    Table->Open();
    EXPECT_EQ(Table->BufferCount(), 4);
    Table->MoveBy(3);
    EXPECT_EQ(tall.ActiveRecord(), 3);
    EXPECT_EQ(short_.ActiveRecord(), 1);
    EXPECT_EQ(Rows(short_), (TNames{"3", "4"}));
    tall.SetDataSource(nullptr);
    EXPECT_EQ(Table->BufferCount(), 2);
    EXPECT_EQ(Table->FieldByName("N")->AsString(), "4");
}

TEST_F(DataLinkWindow, ReportViewWindowHoldsEveryRecordAndSurvivesEditsInAnEnumeration) {
    TScrollLink view;
    view.SetDataSource(Source);
    Table->Open();
    int count = 0;
    {
        TControlsDisabled quiet(Table);
        Table->First();
        while (!Table->Eof()) {
            ++count;
            Table->Next();
        }
    }
    view.SetBufferCount(count);  // the window covers the whole data set
    ASSERT_EQ(view.RecordCount(), 5);
    EXPECT_EQ(Rows(view), (TNames{"1", "2", "3", "4", "5"}));
    // Selected items 2 and 4, handled from the last: the row is made active,
    // the data set refreshed there, then edited and posted.
    for (int item : {4, 2}) {
        view.SetActiveRecord(item - 1);
        Table->Refresh();
        Table->Edit();
        Table->FieldByName("ACTIVO")->SetAsBoolean(true);
        Table->Post();
        EXPECT_EQ(Rows(view), (TNames{"1", "2", "3", "4", "5"})) << item;
        EXPECT_EQ(view.ActiveRecord(), item - 1);
    }
    TNames active;
    for (int i = 0; i < 5; ++i) {
        view.SetActiveRecord(i);
        active.push_back(Table->FieldByName("ACTIVO")->AsString());
    }
    EXPECT_EQ(active, (TNames{"True", "True", "", "True", ""}));
}

TEST_F(DataLinkWindow, DataSourceSwitchesAndAutoEdit) {
    std::vector<std::string> log;
    TRecordingLink link(log);
    link.SetDataSource(Source);
    Table->Open();
    EXPECT_TRUE(link.Active());
    Source->SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(Source->State(), dsInactive);
    Source->SetEnabled(true);
    EXPECT_TRUE(link.Active());
    Source->SetAutoEdit(false);
    EXPECT_FALSE(link.Edit());
    EXPECT_EQ(Table->State(), dsBrowse);
    Source->SetAutoEdit(true);
    EXPECT_TRUE(link.Edit());
    link.SetReadOnly(true);
    EXPECT_FALSE(link.Editing());
    Table->Cancel();
    TField* changed = nullptr;
    int calls = 0;
    Source->OnDataChange = [&](TObject*, TField* Field) {
        changed = Field;
        ++calls;
    };
    Table->Edit();
    Table->FieldByName("NOTA")->SetAsFloat(3);
    EXPECT_EQ(changed, Table->FieldByName("NOTA"));
    Table->Cancel();
    EXPECT_EQ(changed, nullptr);
    EXPECT_GT(calls, 1);
}

TEST_F(DataLinkWindow, FreeingTheDataSetOrTheSourceDetachesTheOthers) {
    TScrollLink link;
    link.SetDataSource(Source);
    Table->Open();
    Table->Free();
    EXPECT_EQ(Source->DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    Source->Free();
    EXPECT_EQ(link.DataSource(), nullptr);
}

TEST_F(DataLinkWindow, FieldDataLinkFollowsItsField) {
    std::vector<std::string> log;
    TFieldDataLink link;
    auto* control = NewComponent<TComponent>(Form);
    link.SetControl(control);
    link.SetFieldName("NOMBRE");
    link.OnDataChange = [&](TObject*) {
        log.push_back("data " + (link.Field() ? link.Field()->AsString() : "-"));
    };
    link.OnEditingChange = [&](TObject*) { log.push_back(link.Editing() ? "editing" : "browsing"); };
    link.OnActiveChange = [&](TObject*) { log.push_back(link.Active() ? "active" : "inactive"); };
    link.OnUpdateData = [&](TObject*) {
        log.push_back("update");
        link.Field()->SetAsString("Typed");
    };
    link.SetDataSource(Source);
    Table->Open();
    EXPECT_EQ(link.Field(), Table->FieldByName("NOMBRE"));
    Table->Next();
    EXPECT_TRUE(link.Edit());
    link.SetModified();                         // the control's text changed
    Table->FieldByName("NOTA")->SetAsFloat(1);  // another field: no data change
    Table->Post();
    EXPECT_EQ(Table->FieldByName("NOMBRE")->AsString(), "Typed");
    link.Reset();
    Table->Close();
    // The link's own write during "update" comes back to it only with the post.
    EXPECT_EQ(log,
              (std::vector<std::string>{"data Luis", "active", "data Ana", "editing", "data Ana", "update",
                                        "browsing", "data Typed", "data Typed", "data -", "inactive"}));
}

TEST_F(DataLinkWindow, FieldDataLinkEditsOnlyModifiableFields) {
    TFieldDataLink link;
    link.SetFieldName("N");
    link.SetDataSource(Source);
    Table->Open();
    Table->FieldByName("N")->SetReadOnly(true);
    EXPECT_FALSE(link.CanModify());
    EXPECT_FALSE(link.Edit());
    EXPECT_EQ(Table->State(), dsBrowse);
    EXPECT_THROW(link.SetFieldName("NOEXISTE"), EDatabaseError);
}

TEST_F(DataLinkWindow, FocusRequestsReachTheControlOfTheField) {
    TComponent* focused = nullptr;
    SetFieldFocusHook([&focused](TComponent* Control) {
        focused = Control;
        return true;
    });
    TFieldDataLink link;
    auto* control = NewComponent<TComponent>(Form);
    link.SetControl(control);
    link.SetFieldName("NOMBRE");
    link.SetDataSource(Source);
    Table->Open();
    Table->FieldByName("NOTA")->FocusControl();
    EXPECT_EQ(focused, nullptr);
    Table->FieldByName("NOMBRE")->FocusControl();
    EXPECT_EQ(focused, control);
    SetFieldFocusHook(nullptr);
}
}  // namespace
