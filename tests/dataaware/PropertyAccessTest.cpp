// Properties read and written by name, classes tested by name, the owners of
// a control's lines, owner walks, controller registration and Selected lines.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/Params.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"

namespace {
using TNames = std::vector<AnsiString>;

// A control that keeps its own lines and decides whose lines apply.
class TLinesEdit : public TCustomEdit {
    ZELMOR_CLASS(TLinesEdit, TCustomEdit)
public:
    explicit TLinesEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    static void DescribeProperties(TPropertyTable& T) {
        T.Property("DataSource", &TLinesEdit::DataSource, &TLinesEdit::SetDataSource);
        T.Property("DataField", &TLinesEdit::DataField, &TLinesEdit::SetDataField);
        T.Property("PictureMasks", &TLinesEdit::PictureMasks, &TLinesEdit::SetPictureMasks);
        T.Property("PictureMaskFromDataSet", &TLinesEdit::FromDataSet, &TLinesEdit::SetFromDataSet);
    }
    TDataSource* DataSource() const { return FSource; }
    void SetDataSource(TDataSource* Value) { FSource = Value; }
    const AnsiString& DataField() const { return FField; }
    void SetDataField(const AnsiString& Value) { FField = Value; }
    TStrings* PictureMasks() const { return FMasks.get(); }
    void SetPictureMasks(TStrings* Value) { FMasks->Assign(Value); }
    bool FromDataSet() const { return FFromDataSet; }
    void SetFromDataSet(bool Value) { FFromDataSet = Value; }

private:
    TDataSource* FSource = nullptr;
    AnsiString FField;
    std::unique_ptr<TStringList> FMasks = std::make_unique<TStringList>();
    bool FFromDataSet = true;
};
ZELMOR_IMPLEMENT_CLASS(TLinesEdit, TCustomEdit)

class PropertyAccess : public DataAwareFixture {
protected:
    TwwTable* Alum = nullptr;
    TwwDataSource* Source = nullptr;
    void SetUp() override {
        DataAwareFixture::SetUp();
        MakeSchool();
        Alum = NewWwTable("alum", "N");
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Alum);
    }
};

TEST_F(PropertyAccess, FixedAnswersForAbsentProperties) {
    auto* plain = NewComponent<TComponent>(Form);
    EXPECT_EQ(GetPictureMasks(plain), nullptr);
    EXPECT_EQ(GetPictureMasks(nullptr), nullptr);
    EXPECT_EQ(GetControlType(plain), nullptr);
    EXPECT_TRUE(GetControlInfoInDataSet(plain));
    EXPECT_TRUE(GetPictureMaskFromDataSet(plain));
    EXPECT_EQ(GetCursorLocation(plain), 0);
    EXPECT_EQ(GetDatabaseName(plain), "");
    EXPECT_FALSE(SetDatabaseName(plain, "x"));
    EXPECT_FALSE(GetWantReturns(plain));
    EXPECT_FALSE(HasBorderStyleSingle(plain));
    EXPECT_FALSE(Assigned(GetOnInvalidValueEvent(plain)));
    EXPECT_EQ(GetControlList(nullptr), nullptr);
    EXPECT_EQ(GetParamsProp(plain), nullptr);
    TMethod kept = TMethod::Bind<void()>("Kept", std::function<void()>([] {}));
    GetOnCalcCellColorsEvent(plain, kept);
    EXPECT_TRUE(kept.Assigned());  // the caller's value stays

    EXPECT_EQ(GetPictureMasks(Alum), Alum->PictureMasks());
    EXPECT_EQ(GetLookupFields(Alum), Alum->LookupFields());
    EXPECT_EQ(GetDatabaseName(Alum), "Zelmor");
    EXPECT_TRUE(SetDatabaseName(Alum, "Otra"));
    EXPECT_EQ(Alum->DatabaseName(), "Otra");
    EXPECT_EQ(GetTableNameProp(Alum), "alum");
    EXPECT_EQ(GetMasterSource(Alum), nullptr);
    EXPECT_EQ(GetDataSetProp(Source), Alum);
    Alum->OnInvalidValue = [](TDataSet*, TField*) {};
    EXPECT_TRUE(Assigned(GetOnInvalidValueEvent(Alum)));

    auto* memo = NewComponent<TMemo>(Form);
    EXPECT_TRUE(GetWantReturns(memo));
    auto* edit = NewComponent<TEdit>(Form);
    EXPECT_TRUE(HasBorderStyleSingle(edit));
    EXPECT_TRUE(SetBorderStyleProp(edit, false));
    EXPECT_FALSE(HasBorderStyleSingle(edit));
}

TEST_F(PropertyAccess, DataSourceAndFieldOnlyForWindowedControls) {
    auto* query = NewComponent<TwwQuery>(Form);
    EXPECT_FALSE(SetDataSourceProp(query, Source));  // has the property, but is no control
    EXPECT_EQ(query->DataSource(), nullptr);
    auto* search = NewComponent<TwwIncrementalSearch>(Form);
    EXPECT_TRUE(SetDataSourceProp(search, Source));
    EXPECT_EQ(GetDataSourceProp(search), Source);
    EXPECT_EQ(GetDataFieldProp(query), "");
    auto* edit = NewComponent<TLinesEdit>(Form);
    EXPECT_TRUE(SetDataFieldProp(edit, "NOMBRE"));
    EXPECT_EQ(GetDataFieldProp(edit), "NOMBRE");
    EXPECT_FALSE(SetDataFieldProp(search, "NOMBRE"));  // no DataField
}

TEST_F(PropertyAccess, StringsAssignedByName) {
    TStringList lines;
    lines.Add("a");
    lines.Add("b");
    EXPECT_TRUE(AssignStringsProp(Alum, &lines, "LookupFields"));
    EXPECT_EQ(Alum->LookupFields()->Text(), "a\r\nb\r\n");
    EXPECT_NE(Alum->LookupFields(), &lines);  // a copy
    // A string property takes the lines joined, and the answer is false all the same.
    auto* search = NewComponent<TwwIncrementalSearch>(Form);
    EXPECT_FALSE(AssignStringsProp(search, &lines, "SearchField"));
    EXPECT_EQ(search->SearchField(), "a\r\nb");
    EXPECT_FALSE(AssignStringsProp(search, &lines, "NoSuchProperty"));
    EXPECT_FALSE(AssignStringsProp(search, &lines, "SearchDelay"));
}

TEST_F(PropertyAccess, WhoseLinesApply) {
    auto* edit = NewComponent<TLinesEdit>(Form);
    // No data source and no data set given: the control's own.
    EXPECT_EQ(PictureMasksOwner(edit, nullptr), edit);
    edit->SetDataSource(Source);
    EXPECT_EQ(PictureMasksOwner(edit, nullptr), Alum);
    edit->SetFromDataSet(false);
    EXPECT_EQ(PictureMasksOwner(edit, nullptr), edit);
    // A control without the flags takes its data set's lines whenever there are some.
    auto* search = NewComponent<TwwIncrementalSearch>(Form);
    search->SetDataSource(Source);
    EXPECT_EQ(ControlTypeOwner(search, nullptr), Alum);
    auto* plainTable = NewTable("alum");
    EXPECT_EQ(ControlTypeOwner(search, plainTable), search);  // a data set without the lines
}

TEST_F(PropertyAccess, ClassesByNameAndOwnersAndParents) {
    EXPECT_TRUE(IsClassNamed(Alum, "tdataset"));
    EXPECT_TRUE(IsClassNamed(Alum, "TwwTable"));
    EXPECT_FALSE(IsClassNamed(Alum, "TwwQuery"));
    EXPECT_FALSE(IsClassNamed(static_cast<const TObject*>(nullptr), "TObject"));
    EXPECT_TRUE(IsCompatibleDataSet(Alum));
    EXPECT_FALSE(IsCompatibleDataSet(nullptr));

    TForm* form = TForm::CreateNew(Application);
    auto* grid = NewComponent<TStringGrid>(form);
    grid->SetParent(form);
    auto* cell = NewComponent<TEdit>(form);
    cell->SetParent(grid);
    EXPECT_EQ(GetOwnerFormOf(cell), form);
    EXPECT_EQ(GetOwnerFormOf(form), form);
    EXPECT_EQ(GetOwnerFormOrFrame(cell), form);
    EXPECT_EQ(GetOwnerFormOf(Alum), nullptr);  // owned by a plain component, as by a data module
    EXPECT_TRUE(IsInCustomGrid(cell));
    EXPECT_FALSE(IsPaintingInCustomGrid(cell));
    cell->SetControlState(cell->ControlState() + TControlState{csPaintCopy});
    EXPECT_TRUE(IsPaintingInCustomGrid(cell));
    EXPECT_FALSE(IsPaintingInDBGrid(cell));
    EXPECT_FALSE(IsInInspector(cell));
    EXPECT_FALSE(IsInCustomGrid(grid));
    EXPECT_FALSE(IsDesigning(cell));
    form->Free();
}

TEST_F(PropertyAccess, ControllerRegistration) {
    auto* first = NewComponent<TwwController>(Form);
    auto* second = NewComponent<TwwController>(Form);
    auto* control = NewComponent<TEdit>(Form);
    TComponent* slot = nullptr;
    RegisterWithController(slot, first, control);
    RegisterWithController(slot, first, control);  // the same one: only the notification again
    EXPECT_EQ(first->ControlList()->Count(), 1);
    RegisterWithController(slot, second, control);
    EXPECT_EQ(first->ControlList()->Count(), 0);
    EXPECT_EQ(second->ControlList()->Count(), 1);
    EXPECT_EQ(GetControlList(second), second->ControlList());
    RegisterWithController(slot, nullptr, control);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(second->ControlList()->Count(), 0);
}

TEST_F(PropertyAccess, FieldsAndSelectedLines) {
    Alum->Open();
    EXPECT_TRUE(DataSetHasField(Alum, "nombre"));
    EXPECT_FALSE(DataSetHasField(Alum, "NOHAY"));
    EXPECT_FALSE(DataSetHasField(Source, "NOMBRE"));
    Alum->FieldByName("NOTA")->SetDisplayLabel("Nota~final");
    EXPECT_EQ(FieldNameByDisplayLabel(Alum, "NOTA FINAL"), "NOTA");
    EXPECT_EQ(FieldNameByDisplayLabel(Alum, "nota~FINAL"), "NOTA");
    EXPECT_EQ(FieldNameByDisplayLabel(Alum, "nada"), "");

    TStringList selected;
    selected.Add("NOMBRE\t12\tNombre~del alumno");
    selected.Add("NOHAY\t5\tX");
    selected.Add("nota\t6\tNota");
    ApplySelectedToFields(Alum, &selected);
    TStringList built;
    BuildDefaultSelected(Alum, built);
    EXPECT_EQ(built.Text(), "NOMBRE\t12\tNombre~del alumno\r\nNOTA\t6\tNota\r\n");
    int index = 9;
    EXPECT_TRUE(FindSelectedLine(&selected, "Nota", index));
    EXPECT_EQ(index, 2);
    index = 9;
    EXPECT_FALSE(FindSelectedLine(&selected, "ABREV", index));
    EXPECT_EQ(index, 9);
    EXPECT_FALSE(FindSelectedLine(nullptr, "NOTA", index));
    EXPECT_EQ(IndexOfTextNoCase(&selected, "NOHAY\t5\tx"), 1);
    EXPECT_EQ(StringsToPChar(&selected, true), "NOMBRE\t12\tNombre~del alumno NOHAY\t5\tX nota\t6\tNota");
    TStringList none;
    EXPECT_EQ(StringsToPChar(&none, false), "");
}

TEST_F(PropertyAccess, ControlTypeLines) {
    TStringList lines;
    lines.Add("ASIG;CustomEdit;wwDBLookupComboDlg1;F");
    lines.Add("ASIG;CheckBox;T;F");
    lines.Add("NOMBRE;RichEdit");
    lines.Add("GONE;Combo;x");
    Alum->SetControlType(&lines);
    AnsiString kind, params;
    GetFieldControlType(Alum, "ASIG", kind, params);
    EXPECT_EQ(kind, "CheckBox");  // the last line wins
    EXPECT_EQ(params, "T;F");
    GetFieldControlType(Alum, "asig", kind, params);
    EXPECT_EQ(kind, "");  // the name counts case here
    GetFieldControlType(Alum, "NOMBRE", kind, params);
    EXPECT_EQ(kind, "RichEdit");
    EXPECT_EQ(params, "");
    EXPECT_TRUE(IsSeparateControlKind("lookupcombo"));
    EXPECT_FALSE(IsSeparateControlKind("CheckBox"));

    Alum->Open();
    auto* lookupEdit = NewComponent<TEdit>(Form);
    lookupEdit->SetName("wwDBLookupComboDlg1");
    TWinControl* control = nullptr;
    EXPECT_TRUE(FindFieldCustomControl(Alum, Form, Alum->FieldByName("asig"), control));  // without case
    EXPECT_EQ(control, lookupEdit);
    EXPECT_FALSE(FindFieldCustomControl(Alum, Form, Alum->FieldByName("TNC"), control));
    EXPECT_TRUE(IsRichTextField(Alum->FieldByName("OBS"), false) == false);
    DropMissingFieldEntries(Alum, nullptr, nullptr, Alum->ControlType());
    EXPECT_EQ(Alum->ControlType()->Count(), 3);
}
}  // namespace
