#include "dataaware/Wwdbdlg.h"

#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwDBLookupComboDlg, TwwDBCustomLookupCombo)

namespace {

// Names and texts go to the form at most this long.
constexpr size_t NameLimit = 63;

AnsiString Cut(const AnsiString& Text) { return Text.substr(0, NameLimit); }

AnsiString FirstLookupField(const AnsiString& Fields) { return Trim(Fields.substr(0, Fields.find(';'))); }

TwwTable* TableWithoutMaster(TDataSet* DataSet) {
    auto* table = dynamic_cast<TwwTable*>(DataSet);
    return table && !table->MasterSource() ? table : nullptr;
}

AnsiString TextOf(TField* Field) { return Field ? Field->Text() : AnsiString(); }

}  // namespace

TwwDBLookupComboDlg::TwwDBLookupComboDlg(TComponent* AOwner)
    : TwwDBCustomLookupCombo(AOwner), FControlType(std::make_unique<TStringList>()),
      FPictureMasks(std::make_unique<TStringList>()) {
    SetButtonStyle(cbsEllipsis);
    // The list never shows: the form is the drop-down.
    LookupList()->SetGridDataChangeEnabled(false);
}

TwwDBLookupComboDlg::~TwwDBLookupComboDlg() = default;

void TwwDBLookupComboDlg::SetControlType(TStrings* Value) { FControlType->Assign(Value); }
void TwwDBLookupComboDlg::SetPictureMasks(TStrings* Value) { FPictureMasks->Assign(Value); }

TwwLookupDialogSettings TwwDBLookupComboDlg::DialogSettings(const AnsiString& InitialText) {
    TwwLookupDialogSettings s = LookupDialogSettingsOf(*this, LookupTable());
    s.InitialSearchText = InitialText;
    return s;
}

void TwwDBLookupComboDlg::DropDown() {
    if (ReadOnly()) return;
    if (Assigned(OnDropDown)) OnDropDown(this);
    TDataSet* lookup = LookupTable();
    const bool typed = OpenedByTyping();
    bool linkedChange = false;
    struct TFinish {
        TwwDBLookupComboDlg* Combo;
        bool& Changed;
        ~TFinish() {
            if (Combo->Style() != csDropDownList || Combo->AutoDropDown()) Combo->SelectAll();
            Combo->ClearLastSearchedText();
            Combo->SetInternalChange(false);
            TDataSet* table = Combo->LookupTable();
            if (Changed && table && table->Active()) {
                table->UpdateCursorPos();
                table->Resync({});
            }
        }
    } finish{this, linkedChange};
    if (!lookup || !lookup->Active()) {
        MessageDlg("No lookup table specified!", mtWarning, {mbOK}, 0);
        return;
    }
    if (Selected()->Count() == 0) {
        TField* field = IsLinkedLookupField() ? LookupList()->DisplayField()
                                              : lookup->FindField(Cut(FirstLookupField(LookupField())));
        if (field)
            Selected()->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                            field->DisplayLabel());
    }
    AnsiString initial;
    if (AutoDropDown() && typed)
        initial = ShowMatchText() ? Text().substr(0, static_cast<size_t>(SelStart())) : Text();
    initial = Cut(initial);
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    if (IsLinkedLookupField() && data) linkedChange = DropDownLinked(initial, typed);
    else DropDownPlain(initial, typed);
}

bool TwwDBLookupComboDlg::DropDownLinked(const AnsiString& InitialText, bool Typed) {
    TDataSet* lookup = LookupTable();
    TDataSet* data = DataSource()->DataSet();
    if (!Typed) LookupList()->LocateCurrentValue(true);
    if (TwwTable* table = TableWithoutMaster(lookup); table && OrderByDisplay())
        table->SetIndexForSelected(Selected());
    const bool ok = RunLookupDialog(DialogSettings(InitialText));
    TControlsDisabled disabled(data);
    bool changed = false;
    if (ok) {
        SetFound(true);
        if (!LookupField().empty()) {
            SyncFromList();
            WriteLinkedFields(changed);
            SetText(DisplayValue());
        }
    }
    if (Assigned(OnCloseUp)) OnCloseUp(this, lookup, data, changed);
    return changed;
}

void TwwDBLookupComboDlg::PositionOnCurrentValue() {
    TDataSet* lookup = LookupTable();
    TwwDBLookupList* list = LookupList();
    TField* key1 = list->KeyField();
    TField* key2 = list->KeyField2();
    TField* key3 = list->KeyField3();
    const bool differs = (key1 && TextOf(key1) != list->LookupValue()) ||
                         (key2 && TextOf(key2) != list->LookupValue2()) ||
                         (key3 && TextOf(key3) != list->LookupValue3());
    if (!list->LookupValue().empty() && !differs) return;
    if (TwwTable* table = TableWithoutMaster(lookup)) table->SetIndexForFields(LookupField());
    auto* table = dynamic_cast<TTable*>(lookup);
    const int keys = list->KeyFieldCount();
    if (keys >= 3 && table) {
        TableFindKeyValues(table, {list->LookupValue(), LinkValue2(), LinkValue3()});
    } else if (keys == 2 && table) {
        TableFindKeyValues(table, {list->LookupValue(), list->LookupValue2()});
    } else if (UsesSequentialSearch() || !table || !TableHasIndexFields(table)) {
        SearchLookupTable(list->LookupValue(), LookupField(), false, true, false);
    } else {
        TableFindKeyValues(table, {list->LookupValue()});
    }
}

void TwwDBLookupComboDlg::DropDownPlain(const AnsiString& InitialText, bool Typed) {
    TDataSet* lookup = LookupTable();
    TDataSet* data = DataSource() ? DataSource()->DataSet() : nullptr;
    PositionOnCurrentValue();
    if (TwwTable* table = TableWithoutMaster(lookup); table && OrderByDisplay())
        table->SetIndexForSelected(Selected());
    const bool ok = RunLookupDialog(DialogSettings(InitialText));
    TControlsDisabled disabled(data);
    SetInternalChange(true);
    if (ok) {
        SetFound(true);
        if (!LookupField().empty()) {
            TField* chosen = lookup->FindField(Cut(FirstLookupField(LookupField())));
            const AnsiString text = TextOf(chosen);
            TFieldDataLink* link = DataLink();
            link->Edit();
            if (!data) {
                SyncFromList();
                SetText(DisplayValue());
            }
            link->SetModified();
            if (TField* field = link->Field()) {
                field->SetAsString(text);
                SyncFromList();
                SetText(TextOf(LookupList()->DisplayField()));
                link->UpdateRecord();
            }
        }
    } else if (Typed && Style() == csDropDownList) {
        Perform(WM_CHAR, 27, 0);
    }
    if (Assigned(OnCloseUp)) OnCloseUp(this, lookup, data, ok);
}

bool TwwDBLookupComboDlg::GlyphStored() const {
    return const_cast<TwwDBLookupComboDlg*>(this)->IsButtonGlyphStored();
}

void TwwDBLookupComboDlg::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBLookupComboDlg;
    using E = TwwDBCustomEdit;
    using M = TwwCustomMaskEdit;
    using L = TwwDBCustomLookupCombo;
    using B = TwwDBCustomCombo;
    PublishEditProperties(T);
    T.Property("Controller", &E::Controller, &E::SetController);
    T.Property("DisableThemes", &E::DisableThemes, &E::SetDisableThemes).Default(false);
    T.Property("Picture", &E::GetPicture, &E::SetPicture);
    T.Property("Frame", &M::Frame, &M::SetFrame);
    T.Property("DataField", &L::DataField, &L::SetDataField);
    T.Property("DataSource", &L::DataSource, &L::SetDataSource);
    T.Property("LookupTable", &L::LookupTable, &L::SetLookupTable);
    T.Property("LookupField", &L::LookupField, &L::SetLookupField);
    T.Property("Selected", &L::Selected, &L::SetSelected);
    T.Property("SearchDelay", &L::SearchDelay, &L::SetSearchDelay).Default(0);
    T.Property("SeqSearchOptions", &L::SeqSearchOptions, &L::SetSeqSearchOptions)
        .Default(TwwSeqSearchOptions{ssoEnabled});
    T.Property("Style", &L::Style, &L::SetStyle).Default(csDropDown);
    T.Property("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle).Default(cbsEllipsis);
    T.Property("ButtonEffects", &B::ButtonEffects, &B::SetButtonEffects);
    T.Property("ButtonWidth", &B::ButtonWidth, &B::SetButtonWidth).Default(0);
    T.Property("ButtonGlyph", &B::ButtonGlyph, &B::SetButtonGlyph).Stored(&C::GlyphStored);
    T.Property("ReadOnly", &L::ReadOnly, &L::SetReadOnly).Default(false);
    T.Property("AutoDropDown", &L::AutoDropDown, &L::SetAutoDropDown).Default(false);
    T.Property("ShowButton", &B::GetShowButton, &B::SetShowButton);
    T.Property("OrderByDisplay", &L::OrderByDisplay, &L::SetOrderByDisplay).Default(true);
    T.Property("AllowClearKey", &L::AllowClearKey, &L::SetAllowClearKey).Default(false);
    T.Property("UseTFields", &L::UseTFields, &L::SetUseTFields).Default(true);
    T.Property("ShowMatchText", &L::ShowMatchText, &L::SetShowMatchText).Default(false);
    T.Event("OnDropDown", &L::OnDropDown);
    T.Event("OnCloseUp", &L::OnCloseUp);
    T.Event("OnPerformCustomSearch", &L::OnPerformCustomSearch);
    DescribeLookupDialogSettings<C>(T);
}
