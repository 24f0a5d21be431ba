#include "dataaware/wwhelpers.h"

#include <algorithm>
#include <cstring>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwlocate.h"
#include "dataaware/Wwqbe.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwpict.h"
#include "dataaware/wwstorep.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/DbfTable.h"
#include "platform/db/Params.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Forms.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/MessageQueue.h"

namespace {

const TPropInfo* Prop(TObject* Object, std::string_view Name) {
    return Object ? GetPropInfo(Object, Name) : nullptr;
}

TObject* ObjectProp(TObject* Object, std::string_view Name) {
    const TPropInfo* info = Prop(Object, Name);
    return info && info->Kind() == tkClass ? info->GetObject(Object) : nullptr;
}

AnsiString StringProp(TObject* Object, std::string_view Name) {
    const TPropInfo* info = Prop(Object, Name);
    return info && tkStrings.Contains(info->Kind()) ? info->GetStr(Object) : AnsiString();
}

bool SetStringProp(TObject* Object, std::string_view Name, const AnsiString& Value, TTypeKinds Kinds) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info || !Kinds.Contains(info->Kind())) return false;
    info->SetStr(Object, Value);
    return true;
}

bool SetObjectPropOfClass(TObject* Object, std::string_view Name, TObject* Value) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info || info->Kind() != tkClass) return false;
    info->SetObject(Object, Value);
    return true;
}

bool BoolProp(TObject* Object, std::string_view Name, bool Absent) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info) return Absent;
    return info->GetOrd(Object) != 0;
}

int64_t OrdProp(TObject* Object, std::string_view Name) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info) return 0;
    if (info->Kind() == tkClass)
        return static_cast<int64_t>(reinterpret_cast<intptr_t>(info->GetObject(Object)));
    return info->GetOrd(Object);
}

bool SetOrdPropIfAny(TObject* Object, std::string_view Name, int64_t Value) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info) return false;
    info->SetOrd(Object, Value);
    return true;
}

template <class Sig>
TEvent<Sig> EventProp(TObject* Object, std::string_view Name) {
    const TPropInfo* info = Prop(Object, Name);
    if (!info || info->Kind() != tkMethod) return {};
    TMethod method = info->GetMethod(Object);
    if (!method.Assigned() || !method.Fits<Sig>()) return {};
    return method.ToEvent<Sig>();
}

TStrings* StringsProp(TObject* Object, std::string_view Name) {
    return dynamic_cast<TStrings*>(ObjectProp(Object, Name));
}

bool IsWindowed(TObject* Component) { return dynamic_cast<TWinControl*>(Component) != nullptr; }

// The parts of a line cut at one character.
std::unique_ptr<TStringList> Parts(std::string_view Line, char Separator) {
    auto parts = std::make_unique<TStringList>();
    SplitToList(Line, Separator, *parts);
    return parts;
}

AnsiString Part(const TStrings& Parts, int Index) {
    return Index < Parts.Count() ? Parts.Strings(Index) : "";
}

AnsiString FirstPart(const AnsiString& List) {
    int position = 1;
    return NextToken(List, ";", position);
}

}  // namespace

// ---------------------------------------------------------------- properties by name

TwwInvalidValueEvent GetOnInvalidValueEvent(TObject* DataSet) {
    return EventProp<void(TDataSet*, TField*)>(DataSet, "OnInvalidValue");
}

TwwPerformSearchEvent GetOnPerformCustomSearchEvent(TObject* Component) {
    return EventProp<void(TObject*, TDataSet*, const AnsiString&, const AnsiString&, bool, bool&)>(
        Component, "OnPerformCustomSearch");
}

void GetOnCalcCellColorsEvent(TObject* Control, TMethod& Event) {
    const TPropInfo* info = Prop(Control, "OnCalcCellColors");
    if (info && info->Kind() == tkMethod) Event = info->GetMethod(Control);
}

TStrings* GetPictureMasks(TObject* Component) { return StringsProp(Component, "PictureMasks"); }
TStrings* GetControlType(TObject* Component) { return StringsProp(Component, "ControlType"); }
TStrings* GetLookupFields(TObject* DataSet) { return StringsProp(DataSet, "LookupFields"); }
TStrings* GetLookupLinks(TObject* DataSet) { return StringsProp(DataSet, "LookupLinks"); }
bool GetControlInfoInDataSet(TObject* Component) { return BoolProp(Component, "ControlInfoInDataSet", true); }
bool GetPictureMaskFromDataSet(TObject* Component) {
    return BoolProp(Component, "PictureMaskFromDataSet", true);
}
int64_t GetCursorLocation(TObject* Object) { return OrdProp(Object, "CursorLocation"); }
bool SetCursorLocation(TObject* DataSet, int64_t Value) {
    return SetOrdPropIfAny(DataSet, "CursorLocation", Value);
}
bool SetMaxRecords(TObject* DataSet, int64_t Value) { return SetOrdPropIfAny(DataSet, "MaxRecords", Value); }
AnsiString GetDatabaseName(TObject* DataSet) { return StringProp(DataSet, "DatabaseName"); }
bool SetDatabaseName(TObject* DataSet, const AnsiString& Value) {
    return SetStringProp(DataSet, "DatabaseName", Value, {tkLString});
}
TObject* GetDatabaseComponent(TObject* DataSet) { return ObjectProp(DataSet, "DataBase"); }
bool SetDatabaseComponent(TObject* DataSet, TObject* Value) {
    return SetObjectPropOfClass(DataSet, "Database", Value);
}
TObject* GetConnection(TObject* DataSet) { return ObjectProp(DataSet, "Connection"); }
bool SetConnection(TObject* DataSet, TObject* Value) {
    return SetObjectPropOfClass(DataSet, "Connection", Value);
}
AnsiString GetConnectionString(TObject* DataSet) { return StringProp(DataSet, "ConnectionString"); }
bool SetConnectionString(TObject* DataSet, const AnsiString& Value) {
    return SetStringProp(DataSet, "ConnectionString", Value, tkAny);
}
AnsiString GetSessionName(TObject* DataSet) { return StringProp(DataSet, "SessionName"); }
bool SetSessionName(TObject* DataSet, const AnsiString& Value) {
    return SetStringProp(DataSet, "SessionName", Value, {tkLString});
}
AnsiString GetTableNameProp(TObject* DataSet) { return StringProp(DataSet, "TableName"); }
TDataSource* GetMasterSource(TObject* DataSet) {
    return dynamic_cast<TDataSource*>(ObjectProp(DataSet, "MasterSource"));
}
TDataSet* GetDataSetProp(TObject* Object) { return dynamic_cast<TDataSet*>(ObjectProp(Object, "DataSet")); }
TDataSource* GetDataSourceProp(TObject* Component) {
    return dynamic_cast<TDataSource*>(ObjectProp(Component, "DataSource"));
}

bool SetDataSourceProp(TObject* Component, TDataSource* Value) {
    if (!IsWindowed(Component)) return false;
    return SetObjectPropOfClass(Component, "DataSource", Value);
}

AnsiString GetDataFieldProp(TObject* Component) {
    if (!IsWindowed(Component)) return {};
    return StringProp(Component, "DataField");
}

bool SetDataFieldProp(TObject* Component, const AnsiString& Value) {
    if (!IsWindowed(Component)) return false;
    return SetStringProp(Component, "DataField", Value, {tkLString});
}

bool SetBorderStyleProp(TObject* Control, bool Single) {
    return SetOrdPropIfAny(Control, "BorderStyle", Single ? 1 : 0);
}

bool HasBorderStyleSingle(TObject* Control) { return OrdProp(Control, "BorderStyle") != 0; }
bool GetWantReturns(TObject* Control) { return BoolProp(Control, "WantReturns", false); }
bool GetEditCalculated(TObject* Control) { return BoolProp(Control, "EditCalculated", false); }
TParams* GetParamsProp(TObject* DataSet) { return dynamic_cast<TParams*>(ObjectProp(DataSet, "Params")); }

bool AssignParamsProp(TObject* DataSet, TParams* Value) {
    TParams* params = GetParamsProp(DataSet);
    if (!params) return false;
    params->Assign(Value);
    return true;
}

bool AssignStringsProp(TObject* DataSet, TStrings* Lines, std::string_view PropName) {
    TObject* target = DataSet;
    if (IsClassNamed(DataSet, "TSimpleDataSet")) target = ObjectProp(DataSet, "DataSet");
    const TPropInfo* info = Prop(target, PropName);
    if (!info) return false;
    TStringList copy;
    if (Lines) copy.Assign(Lines);
    if (info->Kind() == tkClass) {
        info->SetObject(target, &copy);
        return true;
    }
    if (tkStrings.Contains(info->Kind())) {
        AnsiString joined;
        for (int i = 0; i < copy.Count(); ++i) joined += (i ? "\r\n" : "") + copy.Strings(i);
        info->SetStr(target, joined);
    }
    return false;
}

int64_t GetOrdPropByName(TObject* Control, std::string_view PropName) { return OrdProp(Control, PropName); }

TList* GetControlList(TObject* Controller) {
    return dynamic_cast<TList*>(ObjectProp(Controller, "ControlList"));
}

// ---------------------------------------------------------------- classes, owners, parents

bool IsClassNamed(const TClassInfo* Class, std::string_view Name) {
    for (const TClassInfo* c = Class; c; c = c->Parent)
        if (EqualsIgnoreCase(c->Name, Name)) return true;
    return false;
}

bool IsClassNamed(const TObject* Object, std::string_view Name) {
    return Object && IsClassNamed(Object->ClassInfo(), Name);
}

bool IsCompatibleDataSet(TDataSet* DataSet) { return DataSet != nullptr; }

namespace {
TComponent* LinesOwner(TComponent* Control, TDataSet* DataSet, bool FromDataSet,
                       TStrings* (*Lines)(TObject*)) {
    if (!DataSet) {
        TDataSource* source = GetDataSourceProp(Control);
        DataSet = source ? source->DataSet() : nullptr;
    }
    if (DataSet && FromDataSet && Lines(DataSet)) return DataSet;
    return Control;
}
}  // namespace

TComponent* PictureMasksOwner(TComponent* Control, TDataSet* DataSet) {
    return LinesOwner(Control, DataSet, GetPictureMaskFromDataSet(Control), &GetPictureMasks);
}

TComponent* ControlTypeOwner(TComponent* Control, TDataSet* DataSet) {
    return LinesOwner(Control, DataSet, GetControlInfoInDataSet(Control), &GetControlType);
}

TCustomForm* GetOwnerFormOf(TComponent* Component) {
    TComponent* c = Component;
    while (c && !dynamic_cast<TCustomForm*>(c) && c->Owner()) c = c->Owner();
    return dynamic_cast<TCustomForm*>(c);
}

TComponent* GetOwnerFormOrFrame(TComponent* Component) {
    auto isFormOrFrame = [](TComponent* C) {
        return dynamic_cast<TCustomForm*>(C) || IsClassNamed(C, "TCustomFrame");
    };
    TComponent* c = Component;
    while (c && !isFormOrFrame(c) && c->Owner()) c = c->Owner();
    return c && isFormOrFrame(c) ? c : nullptr;
}

void NotifyFormDesigner(TComponent*) {}

bool IsPaintCopy(TControlState State) { return State.Contains(csPaintCopy); }

namespace {
bool ParentNamed(TControl* Control, std::string_view Name) {
    return Control && Control->Parent() && IsClassNamed(Control->Parent(), Name);
}
}  // namespace

bool IsInCustomGrid(TControl* Control) { return ParentNamed(Control, "TCustomGrid"); }
bool IsPaintingInCustomGrid(TControl* Control) {
    return ParentNamed(Control, "TCustomGrid") && IsPaintCopy(Control->ControlState());
}
bool IsPaintingInInspector(TControl* Control) {
    return ParentNamed(Control, "TwwDataInspector") && IsPaintCopy(Control->ControlState());
}
bool IsPaintingInDBGrid(TControl* Control) {
    return ParentNamed(Control, "TwwCustomDBGrid") && IsPaintCopy(Control->ControlState());
}
bool IsInInspector(TControl* Control) { return ParentNamed(Control, "TwwDataInspector"); }

bool IsDesigning(TControl* Control) {
    if (!Control) return false;
    TCustomForm* form = GetParentForm(Control);
    return (form ? form->ComponentState() : Control->ComponentState()).Contains(csDesigning);
}

void RegisterWithController(TComponent*& Slot, TComponent* NewController, TComponent* Control) {
    if (NewController) NewController->FreeNotification(Control);
    if (NewController == Slot) return;
    if (TList* list = GetControlList(Slot)) list->Remove(Control);
    Slot = NewController;
    if (TList* list = GetControlList(NewController)) list->Add(Control);
}

// ---------------------------------------------------------------- fields and Selected lines

bool DataSetHasField(TObject* DataSet, std::string_view FieldName) {
    auto* data = dynamic_cast<TDataSet*>(DataSet);
    if (!data) return false;
    const AnsiString wanted = UpperCase(FieldName);
    for (TField* field : data->Fields()->List())
        if (UpperCase(field->FieldName()) == wanted) return true;
    return false;
}

AnsiString FieldNameByDisplayLabel(TDataSet* DataSet, std::string_view Label) {
    const AnsiString wanted = ReplaceChar(Label, '~', ' ');
    for (TField* field : DataSet->Fields()->List())
        if (EqualsIgnoreCase(ReplaceChar(field->DisplayLabel(), '~', ' '), wanted)) return field->FieldName();
    return {};
}

int IndexOfTextNoCase(TStrings* Lines, std::string_view Text) {
    if (!Lines) return -1;
    for (int i = 0; i < Lines->Count(); ++i)
        if (EqualsIgnoreCase(Lines->Strings(i), Text)) return i;
    return -1;
}

void BuildDefaultSelected(TDataSet* DataSet, TStrings& Lines) {
    Lines.Clear();
    for (TField* field : DataSet->Fields()->List())
        if (field->Visible())
            Lines.Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" +
                      field->DisplayLabel());
}

bool FindSelectedLine(TStrings* Lines, std::string_view FieldName, int& Index) {
    if (!Lines) return false;
    const AnsiString wanted = UpperCase(FieldName);
    for (int i = 0; i < Lines->Count(); ++i) {
        if (UpperCase(Part(*Parts(Lines->Strings(i), '\t'), 0)) != wanted) continue;
        Index = i;
        return true;
    }
    return false;
}

void ApplySelectedToFields(TDataSet* DataSet, TStrings* Lines) {
    TControlsDisabled disabled(DataSet);
    for (TField* field : std::vector<TField*>(DataSet->Fields()->List())) field->SetVisible(false);
    if (!Lines) return;
    for (int i = 0; i < Lines->Count(); ++i) {
        auto parts = Parts(Lines->Strings(i), '\t');
        if (!DataSetHasField(DataSet, parts->Strings(0))) continue;
        TField* field = DataSet->FieldByName(parts->Strings(0));
        field->SetDisplayWidth(StrToInt(parts->Strings(1)));
        field->SetDisplayLabel(parts->Strings(2));
        field->SetIndex(i);
        field->SetVisible(true);
    }
}

AnsiString StringsToPChar(TStrings* Lines, bool UseBlanks) {
    AnsiString text;
    if (!Lines) return text;
    const char* separator = UseBlanks ? " " : "\r\n";
    for (int i = 0; i < Lines->Count(); ++i) {
        if (i) text += separator;
        text += Lines->Strings(i);
    }
    return text;
}

// ---------------------------------------------------------------- lookup lines

namespace {
TStrings* LinesOf(TDataSet* DataSet, TStrings* (*Reader)(TObject*)) {
    return DataSet ? Reader(DataSet) : nullptr;
}

AnsiString LinkLineAt(TStrings* Links, int Index) {
    return Links && Index < Links->Count() ? Links->Strings(Index) : AnsiString();
}

// The calculated field of a line whose own link field is missing: hidden.
void HideLookupField(TDataSet* DataSet, const AnsiString& FieldName) {
    if (TField* field = DataSet->FindField(FieldName)) field->SetVisible(false);
}

bool OwnLinkFieldsPresent(TDataSet* DataSet, const TStrings& LinkParts) {
    for (int i = 0; i < LinkParts.Count(); i += 2)
        if (!DataSetHasField(DataSet, LinkParts.Strings(i))) return false;
    return true;
}

// The index fields of a line of six or more parts: parts 6 to the one
// before the last (part 6 alone when there are six or seven).
AnsiString LookupIndexFields(const TStrings& Parts) {
    AnsiString fields;
    const int last = std::max(6, Parts.Count() - 1);
    for (int i = 5; i < last && i < Parts.Count(); ++i) {
        if (!fields.empty()) fields += ';';
        fields += Parts.Strings(i);
    }
    return fields;
}

AnsiString LookupTableName(const TStrings& Parts) {
    return IsExtensionlessLookupLine(Parts) ? TableNameWithoutExtension(Part(Parts, 2)) : Part(Parts, 2);
}

// Re-entry guard of FindLookupResultField: positioning one lookup table may
// read filter values that ask for another.
bool FindingLookupResult = false;

TKeyValues KeyTexts(TDataSet* DataSet, const TStrings& LinkParts, const TwwFieldValueProvider& Provider) {
    TKeyValues values;
    for (int i = 0; i < LinkParts.Count(); i += 2) {
        const AnsiString own = LinkParts.Strings(i);
        values.push_back(Provider ? Provider(own)->AsString() : DataSet->FieldByName(own)->AsString());
    }
    return values;
}

bool FindByKeyTexts(TwwTable* Table, TDataSet* DataSet, const TStrings& LinkParts,
                    const TwwFieldValueProvider& Provider) {
    const int parts = LinkParts.Count();
    if (parts < 2 || parts > 12 || parts % 2 != 0) return false;
    return TableFindKeyValues(Table, KeyTexts(DataSet, LinkParts, Provider));
}
}  // namespace

AnsiString GetLookupLinkLine(TDataSet* DataSet, std::string_view FieldName) {
    TStrings* fields = LinesOf(DataSet, &GetLookupFields);
    TStrings* links = LinesOf(DataSet, &GetLookupLinks);
    if (!fields || !links) return {};
    for (int i = 0; i < fields->Count(); ++i)
        if (Part(*Parts(fields->Strings(i), ';'), 0) == FieldName) return LinkLineAt(links, i);
    return {};
}

AnsiString GetLookupResultFieldName(TDataSet* DataSet, std::string_view FieldName) {
    TStrings* fields = LinesOf(DataSet, &GetLookupFields);
    if (!fields) return {};
    for (int i = 0; i < fields->Count(); ++i) {
        auto parts = Parts(fields->Strings(i), ';');
        if (Part(*parts, 0) == FieldName) return Part(*parts, 3);
    }
    return {};
}

void GetLookupDefinition(TField* Field, AnsiString& Database, AnsiString& Table, AnsiString& ResultField,
                         AnsiString& LinkLine) {
    TDataSet* dataSet = Field->DataSet();
    if (!dataSet) return;
    TStrings* fields = GetLookupFields(dataSet);
    for (int i = 0; fields && i < fields->Count(); ++i) {
        auto parts = Parts(fields->Strings(i), ';');
        if (Part(*parts, 0) != Field->FieldName() || parts->Count() < 5) continue;
        Database = parts->Strings(1);
        Table = parts->Strings(2);
        ResultField = parts->Strings(3);
        LinkLine = LinkLineAt(GetLookupLinks(dataSet), i);
        return;
    }
    Database = GetDatabaseName(dataSet);
    Table.clear();
    ResultField.clear();
    LinkLine.clear();
}

bool IsExtensionlessLookupLine(const TStrings& Parts) {
    return Parts.Count() >= 6 && Parts.Strings(Parts.Count() - 1) == "N";
}

AnsiString TableNameWithoutExtension(std::string_view Name) {
    size_t dot = Name.find('.');
    return AnsiString(dot == std::string_view::npos ? Name : Name.substr(0, dot));
}

bool LookupTableMatchesLine(TwwTable* Table, const TStrings& Parts) {
    return Table->DatabaseName() == Part(Parts, 1) && Table->TableName() == LookupTableName(Parts);
}

TwwLookupTables* GetLookupTables(TDataSet* DataSet) {
    if (auto* table = dynamic_cast<TwwTable*>(DataSet)) return &table->LookupTables();
    if (auto* query = dynamic_cast<TwwQuery*>(DataSet)) return &query->LookupTables();
    if (auto* qbe = dynamic_cast<TwwQBE*>(DataSet)) return &qbe->LookupTables();
    if (auto* proc = dynamic_cast<TwwStoredProc*>(DataSet)) return &proc->LookupTables();
    return nullptr;
}

void CalcLookupFields(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                      TwwLookupTables& Tables) {
    if (!LookupFields) return;
    for (TwwTable* table : Tables) table->SetLookupPositioned(false);
    for (int i = 0; i < LookupFields->Count(); ++i) {
        auto parts = Parts(LookupFields->Strings(i), ';');
        if (parts->Count() < 5) continue;
        const AnsiString linkLine = LinkLineAt(LookupLinks, i);
        TwwTable* table = nullptr;
        for (TwwTable* t : Tables)
            if (LookupTableMatchesLine(t, *parts) && EqualsIgnoreCase(t->LookupLinkLine(), linkLine)) {
                table = t;
                break;
            }
        if (!table) {
            auto* made = NewComponent<TwwTable>(DataSet);
            try {
                made->SetDatabaseName(parts->Strings(1));
                made->SetTableName(LookupTableName(*parts));
                if (parts->Count() < 6) made->SetIndexName(parts->Strings(4));
                else made->SetIndexName(made->FindIndexForFieldsAnyCase(LookupIndexFields(*parts)));
                made->SetReadOnly(true);
                made->Open();
            } catch (const Exception&) {
                // The field stays empty this time; the next record tries again.
                made->Free();
                continue;
            }
            Tables.push_back(made);
            made->SetLookupPositioned(false);
            made->SetLookupLinkLine(linkLine);
            table = made;
        } else if (!table->Active()) {
            table->Open();
        }
        auto linkParts = Parts(linkLine, ';');
        if (!OwnLinkFieldsPresent(DataSet, *linkParts)) {
            HideLookupField(DataSet, parts->Strings(0));
            return;
        }
        bool found;
        if (table->LookupPositioned()) {
            found = table->LookupFound();
        } else {
            table->SetInLookupSearch(true);
            TwwFinally done([table] { table->SetInLookupSearch(false); });
            found = FindLookupRecord(table, DataSet, *linkParts);
            table->SetLookupFound(found);
        }
        TField* own = DataSet->FieldByName(parts->Strings(0));
        if (found) {
            TField* result = table->FieldByName(parts->Strings(3));
            own->SetText(result->IsBlob() ? result->AsString() : result->Text());
        } else {
            own->SetText("");
        }
        table->SetLookupPositioned(true);
    }
}

bool FindLookupRecord(TDataSet* LookupTable, TDataSet* DataSet, const TStrings& LinkParts) {
    auto* table = dynamic_cast<TwwTable*>(LookupTable);
    if (!table) throw EInvalidCast("Invalid class typecast");
    if (table->IndexFieldCount() == 0) {
        if (LinkParts.Count() < 2) return false;
        return TableLocateFieldValue(table, DataSet->FieldByName(LinkParts.Strings(0))->AsString(),
                                     LinkParts.Strings(1), mtExactMatch, false);
    }
    return FindByKeyTexts(table, DataSet, LinkParts, nullptr);
}

bool PositionLookupTable(TDataSet* DataSet, TDataSet* LookupTable, std::string_view FieldName,
                         AnsiString& LinkFieldName) {
    auto* table = dynamic_cast<TwwTable*>(LookupTable);
    if (!table) throw EInvalidCast("Invalid class typecast");
    TStrings* fields = GetLookupFields(DataSet);
    TStrings* links = GetLookupLinks(DataSet);
    DropMissingFieldEntries(DataSet, fields, links, GetControlType(DataSet));
    if (!fields) return false;
    const AnsiString wanted = UpperCase(FieldName);
    for (int i = 0; i < fields->Count(); ++i) {
        auto parts = Parts(fields->Strings(i), ';');
        if (UpperCase(Part(*parts, 0)) != wanted) continue;
        if (UpperCase(TableNameWithoutExtension(table->TableName())) ==
            UpperCase(TableNameWithoutExtension(Part(*parts, 2)))) {
            if (parts->Count() < 6) {
                if (Part(*parts, 4) != table->IndexName()) table->SetIndexName(Part(*parts, 4));
            } else {
                table->SetInIndexChange(true);
                TwwFinally done([table] { table->SetInIndexChange(false); });
                table->SetIndexForFields(LookupIndexFields(*parts));
            }
        }
        auto linkParts = Parts(LinkLineAt(links, i), ';');
        if (!OwnLinkFieldsPresent(DataSet, *linkParts)) {
            HideLookupField(DataSet, parts->Strings(0));
            return false;
        }
        LinkFieldName = Part(*linkParts, 0);
        return FindLookupRecord(table, DataSet, *linkParts);
    }
    return false;
}

// The lookup table that serves a field is found as CalcLookupFields opened
// it: under the name without extension when its line ends in "N".
bool ResolveLookupDisplay(TField* Field, AnsiString& KeyText, TField*& ResultField) {
    ResultField = Field;
    TDataSet* dataSet = Field->DataSet();
    TwwLookupTables* tables = dataSet ? GetLookupTables(dataSet) : nullptr;
    TStrings* fields = dataSet ? GetLookupFields(dataSet) : nullptr;
    if (!tables || !fields) return false;
    for (int i = 0; i < fields->Count(); ++i) {
        auto parts = Parts(fields->Strings(i), ';');
        if (Part(*parts, 0) != Field->FieldName() || parts->Count() < 5) continue;
        const AnsiString linkLine = LinkLineAt(GetLookupLinks(dataSet), i);
        for (TwwTable* table : *tables) {
            if (!LookupTableMatchesLine(table, *parts) ||
                !EqualsIgnoreCase(table->LookupLinkLine(), linkLine))
                continue;
            ResultField = table->FieldByName(parts->Strings(3));
            KeyText = dataSet->FieldByName(Part(*Parts(linkLine, ';'), 0))->AsString();
            return TableFindKeyValues(table, {KeyText});
        }
        return false;
    }
    return false;
}

TField* FindLookupResultField(TDataSet* DataSet, TField* Field, const TwwFieldValueProvider& Provider) {
    if (Field->Calculated()) {
        TwwLookupTables* tables = GetLookupTables(DataSet);
        TStrings* fields = GetLookupFields(DataSet);
        if (FindingLookupResult || !tables || !fields) return nullptr;
        auto linkParts = Parts(GetLookupLinkLine(DataSet, Field->FieldName()), ';');
        for (int i = 0; i < fields->Count(); ++i) {
            auto parts = Parts(fields->Strings(i), ';');
            if (!EqualsIgnoreCase(Part(*parts, 0), Field->FieldName())) continue;
            const AnsiString linkLine = LinkLineAt(GetLookupLinks(DataSet), i);
            for (TwwTable* table : *tables) {
                if (!LookupTableMatchesLine(table, *parts) ||
                    !EqualsIgnoreCase(table->LookupLinkLine(), linkLine))
                    continue;
                FindingLookupResult = true;
                TwwFinally done([] { FindingLookupResult = false; });
                if (!FindLookupRecordByProvider(DataSet, table, *linkParts, Provider)) return nullptr;
                return table->FieldByName(GetLookupResultFieldName(DataSet, Field->FieldName()));
            }
        }
        return nullptr;
    }
    TDataSet* lookup = Field->LookupDataSet();
    if (!lookup) return nullptr;
    TStringList linkParts;
    int own = 1, other = 1;
    while (own > 0 && other > 0) {
        AnsiString key = NextToken(Field->KeyFields(), ";", own);
        AnsiString lookupKey = NextToken(Field->LookupKeyFields(), ";", other);
        if (key.empty() || lookupKey.empty()) break;
        linkParts.Add(key);
        linkParts.Add(lookupKey);
    }
    if (!FindLookupRecordByProvider(DataSet, lookup, linkParts, Provider)) return nullptr;
    return lookup->FieldByName(Field->LookupResultField());
}

bool FindLookupRecordByProvider(TDataSet* DataSet, TDataSet* LookupDataSet, const TStrings& LinkParts,
                                const TwwFieldValueProvider& Provider) {
    if (auto* table = dynamic_cast<TwwTable*>(LookupDataSet))
        return FindByKeyTexts(table, DataSet, LinkParts, Provider);
    if (LinkParts.Count() < 2) return false;
    if (Provider)
        return LookupDataSet->Locate(LinkParts.Strings(1), Provider(LinkParts.Strings(0))->AsString(), {});
    TField* own = DataSet->FieldByName(LinkParts.Strings(0));
    return LookupDataSet->Locate(LinkParts.Strings(1),
                                 own->IsNull() ? TVariant::Null() : TVariant(own->AsString()), {});
}

// ---------------------------------------------------------------- ControlType lines

void GetFieldControlType(TComponent* Component, std::string_view FieldName, AnsiString& Kind,
                         AnsiString& Params) {
    GetFieldControlType(GetControlType(Component), FieldName, Kind, Params);
}

void GetFieldControlType(TStrings* lines, std::string_view FieldName, AnsiString& Kind, AnsiString& Params) {
    Kind.clear();
    Params.clear();
    // Asked for every cell a grid paints: the line is cut where it stands,
    // the last line of the field counting.
    for (int i = 0; lines && i < lines->Count(); ++i) {
        const AnsiString line = lines->Strings(i);
        const size_t first = line.find(';');
        if (std::string_view(line).substr(0, first) != FieldName) continue;
        const size_t second = first == AnsiString::npos ? first : line.find(';', first + 1);
        Kind = first == AnsiString::npos ? AnsiString() : line.substr(first + 1, second - first - 1);
        Params = second == AnsiString::npos ? AnsiString() : line.substr(second + 1, 255);
    }
}

bool IsSeparateControlKind(std::string_view Kind) {
    return EqualsIgnoreCase(Kind, "CustomEdit") || EqualsIgnoreCase(Kind, "LookupCombo") ||
           EqualsIgnoreCase(Kind, "Combo") || EqualsIgnoreCase(Kind, "RichEdit");
}

bool FindFieldCustomControl(TComponent* Component, TComponent* Form, TField* Field, TWinControl*& Control) {
    if (!Component || !Field || !Form) return false;
    TStrings* lines = GetControlType(Component);
    TStrings* dataSetLines = Field->DataSet() ? GetControlType(Field->DataSet()) : nullptr;
    if (GetControlInfoInDataSet(Component) && dataSetLines && dataSetLines->Count() > 0) lines = dataSetLines;
    for (int i = 0; lines && i < lines->Count(); ++i) {
        auto parts = Parts(lines->Strings(i), ';');
        if (parts->Count() < 2 || !EqualsIgnoreCase(parts->Strings(0), Field->FieldName()) ||
            !IsSeparateControlKind(parts->Strings(1)))
            continue;
        auto* found = dynamic_cast<TWinControl*>(Form->FindComponent(Part(*parts, 2)));
        if (!found) return false;
        Control = found;
        return true;
    }
    return false;
}

void DropMissingFieldEntries(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                             TStrings* ControlType) {
    for (int i = LookupFields ? LookupFields->Count() - 1 : -1; i >= 0; --i) {
        if (DataSetHasField(DataSet, Part(*Parts(LookupFields->Strings(i), ';'), 0))) continue;
        LookupFields->Delete(i);
        // The links stay line for line with their lookup lines.
        if (LookupLinks && i < LookupLinks->Count()) LookupLinks->Delete(i);
    }
    for (int i = ControlType ? ControlType->Count() - 1 : -1; i >= 0; --i)
        if (!DataSetHasField(DataSet, Part(*Parts(ControlType->Strings(i), ';'), 0))) ControlType->Delete(i);
}

bool IsCalcOrLookupField(TField* Field) { return Field->Calculated() || Field->Lookup(); }

// The engine's data sets are the TDBDataSet family here.
bool IsCalcLookupOrNonBDEField(TField* Field) {
    if (IsCalcOrLookupField(Field)) return true;
    TDataSet* dataSet = Field->DataSet();
    return dataSet && !IsClassNamed(dataSet, "TBDEDataSet") && !IsClassNamed(dataSet, "TDBDataSet");
}

void CopyFieldToParam(TField* Field, TParam* Param, std::vector<char>& Buffer) {
    auto put = [&Buffer](const auto& Value) {
        Buffer.resize(sizeof Value);
        std::memcpy(Buffer.data(), &Value, sizeof Value);
    };
    if (!Field) {
        Buffer.assign(1, '\0');
        Param->SetData(Buffer.data());
        return;
    }
    Param->SetDataType(Field->DataType());
    if (Field->IsNull() && !Field->IsBlob() && Field->DataType() != ftString) {
        Param->Clear();
        return;
    }
    switch (Field->DataType()) {
    case ftString:
    case ftMemo:
    case ftFmtMemo:
    case ftFixedChar:
    case ftWideString: {
        AnsiString text = Field->AsString().substr(0, 32767);
        Buffer.assign(text.begin(), text.end());
        Buffer.push_back('\0');
        break;
    }
    case ftSmallint: put(static_cast<int16_t>(Field->AsInteger())); break;
    case ftWord: put(static_cast<uint16_t>(Field->AsInteger())); break;
    case ftInteger:
    case ftAutoInc: put(static_cast<int32_t>(Field->AsInteger())); break;
    case ftBoolean: put(static_cast<uint16_t>(Field->AsBoolean() ? 0xFFFF : 0)); break;
    // The parameter keeps a BCD value as its number, as it keeps a float.
    case ftFloat:
    case ftCurrency:
    case ftBCD: put(Field->AsFloat()); break;
    case ftDate: put(static_cast<int32_t>(DateTimeToTimeStamp(Field->AsDateTime()).Date)); break;
    case ftTime: put(static_cast<int32_t>(DateTimeToTimeStamp(Field->AsDateTime()).Time)); break;
    case ftDateTime:
        put(static_cast<double>(TimeStampToMSecs(DateTimeToTimeStamp(Field->AsDateTime()))));
        break;
    default: return;
    }
    Param->SetData(Buffer.data());
}

// ---------------------------------------------------------------- picture masks

namespace {
// The line of a field in PictureMasks (names compared without regard to case), or -1.
int PictureMaskLine(TStrings* Lines, std::string_view FieldName) {
    const AnsiString wanted = LowerCase(FieldName);
    for (int i = 0; Lines && i < Lines->Count(); ++i)
        if (LowerCase(Part(*Parts(Lines->Strings(i), '\t'), 0)) == wanted) return i;
    return -1;
}
}  // namespace

void GetFieldPictureMask(TComponent* Component, std::string_view FieldName, bool UseTableChecks,
                         AnsiString& Mask, bool& AutoFill, bool& GridFlag) {
    Mask.clear();
    AutoFill = true;
    GridFlag = true;
    TStrings* lines = GetPictureMasks(Component);
    int line = PictureMaskLine(lines, FieldName);
    if (line >= 0) {
        auto parts = Parts(lines->Strings(line), '\t');
        Mask = Part(*parts, 1);
        AutoFill = Part(*parts, 2) == "T";
        GridFlag = Part(*parts, 3) == "T";
    }
    auto* table = dynamic_cast<TwwTable*>(Component);
    if (!table || !UseTableChecks) return;
    AnsiString picture = table->GetParadoxPicture(FieldName);
    if (picture.empty()) return;
    if (!Mask.empty()) SetFieldPictureMask(Component, FieldName, "", AutoFill, GridFlag, true, true, false);
    Mask = picture;
}

void SetFieldPictureMask(TComponent* Component, std::string_view FieldName, const AnsiString& Mask,
                         bool AutoFill, bool GridFlag, bool TakeMask, bool TakeAutoFill, bool TakeGridFlag) {
    TStrings* lines = GetPictureMasks(Component);
    if (!lines) return;
    AnsiString mask = Mask;
    if (auto* table = dynamic_cast<TwwTable*>(Component)) {
        AnsiString picture = GetTablePictureForField(table, FieldName);
        if (!picture.empty()) mask = picture;
    }
    int line = PictureMaskLine(lines, FieldName);
    if (line >= 0) {
        auto parts = Parts(lines->Strings(line), '\t');
        if (!TakeMask) mask = Part(*parts, 1);
        if (!TakeAutoFill) AutoFill = Part(*parts, 2) == "T";
        if (!TakeGridFlag) GridFlag = Part(*parts, 3) == "T";
    }
    const AnsiString text =
        AnsiString(FieldName) + "\t" + mask + "\t" + BoolToTF(AutoFill) + "\t" + BoolToTF(GridFlag);
    if (line >= 0) {
        if (mask.empty()) lines->Delete(line);
        else lines->Put(line, text);
    } else if (!mask.empty()) {
        lines->Add(text);
    }
}

AnsiString GetTablePictureForField(TDataSet* DataSet, std::string_view FieldName) {
    auto* table = dynamic_cast<TwwTable*>(DataSet);
    if (!table || !DataSetHasField(table, FieldName)) return {};
    return table->GetParadoxPicture(FieldName);
}

AnsiString BoolToTF(bool Value) { return Value ? "T" : "F"; }

bool TextMatchesPicture(const AnsiString& Mask, const AnsiString& Text) {
    if (Text.empty()) return true;
    TwwPictureValidator validator(Mask, false);
    AnsiString text = Text;
    return validator.CheckPicture(text, false) == prComplete;
}

void ValidateFieldsWithMasks(TDataSet* DataSet, const TwwInvalidValueEvent& OnInvalidValue) {
    for (TField* field : std::vector<TField*>(DataSet->Fields()->List())) {
        AnsiString mask;
        bool autoFill, gridFlag;
        GetFieldPictureMask(DataSet, field->FieldName(), true, mask, autoFill, gridFlag);
        if (mask.empty() || TextMatchesPicture(mask, field->AsString()) || !field->CanModify()) continue;
        field->FocusControl();
        if (Assigned(OnInvalidValue)) OnInvalidValue(DataSet, field);
        DatabaseError(DefaultIntl->UserMessages()->PictureValidateError() + field->DisplayName());
    }
}

bool PictureMaskKeyPress(TCustomEdit* Edit, const AnsiString& Mask, bool AutoFill, char& Key) {
    if (static_cast<unsigned char>(Key) < 32 || static_cast<unsigned char>(Key) == 255) return false;
    const AnsiString old = Edit->Text();
    const int start = Edit->SelStart(), length = Edit->SelLength(), size = static_cast<int>(old.size());
    // The mask is applied to typing at the end only.
    if (start < size - length) return false;
    AnsiString text =
        old.substr(0, static_cast<size_t>(start)) + Key + old.substr(static_cast<size_t>(start + length));
    TwwPictureValidator validator(Mask, AutoFill);
    const TwwPicResult result = validator.CheckPicture(text, AutoFill);
    // What the key and the auto-filled literals added.
    const int growth = static_cast<int>(text.size()) - size;
    switch (result) {
    case prComplete:
        Edit->SetText(text);
        Edit->SetSelStart(size == length ? static_cast<int>(text.size())
                          : growth > 0   ? start + growth
                                         : start + 1);
        Edit->SetSelLength(0);
        break;
    case prIncomplete:
        Edit->SetText(text);
        Edit->SetSelStart(size == length ? static_cast<int>(text.size())
                          : length > 0   ? start + 1
                                         : start + growth);
        break;
    case prError:
        if (start + length >= size) MessageBeep(0);
        break;
    default: break;
    }
    Key = '\0';
    return true;
}

bool TextFitsFieldType(TFieldType Type, std::string_view Text) {
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return IsIntegerText(Text);
    case ftFloat:
    case ftCurrency:
    case ftBCD: return IsFloatText(Text);
    case ftDate: return IsDateText(Text);
    case ftTime: return IsTimeText(Text);
    case ftDateTime: return IsDateTimeText(Text) || IsDateText(Text);
    default: return true;
    }
}

bool TextFitsField(TField* Field, std::string_view Text) {
    return TextFitsFieldType(Field->DataType(), Text);
}

bool TextFitsFieldStrict(TField* Field, std::string_view Text) {
    if (!Field) return false;
    if (Text.empty()) {
        switch (Field->DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftDate:
        case ftTime:
        case ftDateTime:
        case ftAutoInc: return false;
        default: break;
        }
    }
    return TextFitsField(Field, Text);
}

bool IsCharacterKey(unsigned Key) {
    return Key == 8 || Key == 32 || Key == 46 || (Key >= 48 && Key <= 111) || Key > 145;
}

// ---------------------------------------------------------------- index search and locate

TwwHourGlass::TwwHourGlass() {
    if (Screen) Screen->SetCursor(crHourGlass);
}

TwwHourGlass::~TwwHourGlass() {
    if (Screen) Screen->SetCursor(crDefault);
}

bool IsSQLBasedTable(TDataSet* DataSet) {
    auto* data = dynamic_cast<TDBDataSet*>(DataSet);
    return data && data->Database() && data->Database()->IsSQLBased();
}

namespace {
bool CurrentIndexDescending(TTable* Table) {
    if (!Table->IndexFieldNames().empty()) return false;
    TIndexDef* def = Table->IndexDefs()->FindDef(Table->IndexName());
    return def && def->Options().Contains(ixDescending);
}

// The key values for a search at Position: the current values of the index
// fields before it, then the text.
TKeyValues KeyUpTo(TTable* Table, int Position, const AnsiString& Text) {
    TKeyValues values;
    for (int i = 0; i < Position; ++i) values.push_back(Table->IndexFields(i)->AsString());
    values.push_back(Text);
    for (int i = 0; i <= Position; ++i)
        values[static_cast<size_t>(i)] =
            KeyValueForField(Table->IndexFields(i), values[static_cast<size_t>(i)]);
    return values;
}

bool IndexFieldMatches(TField* Field, const AnsiString& Text) {
    if (Field->DataType() == ftFloat || Field->DataType() == ftCurrency) {
        if (Text.empty()) return Field->AsString().empty();
        long double wanted;
        return !Field->IsNull() && TryStrToFloat(Text, wanted) &&
               Field->AsFloat() == static_cast<double>(wanted);
    }
    if (IsNumericFieldType(Field->DataType())) return Field->AsString() == Text;
    if (Text.empty()) return false;
    return AnsiLowerCase(Field->AsString()).compare(0, Text.size(), AnsiLowerCase(Text)) == 0;
}
}  // namespace

bool IncrementalIndexSearch(TDataSet* DataSet, const AnsiString& Text, int Position) {
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (!table) return false;
    auto* wwTable = dynamic_cast<TwwTable*>(table);
    const bool narrow = wwTable && wwTable->NarrowSearch();
    const bool sync = wwTable && wwTable->SyncSQLByRange();
    if (table->IndexFieldCount() == 0) {
        MessageDlg("Table " + table->Name() + ": Table index not found", mtWarning, {mbOK}, 0);
        return false;
    }
    TField* field = table->IndexFields(Position);
    if (!field || !TextFitsField(field, Text)) return false;
    const TFieldCategory category = FieldCategory(field->DataType());
    const bool textType = category == TFieldCategory::Text || category == TFieldCategory::Boolean;
    if (narrow) {
        TwwHourGlass hourGlass;
        TControlsDisabled disabled(table);
        if (textType && !Text.empty()) {
            TField* first = table->IndexFields(0);
            AnsiString upper = Text;
            if (static_cast<int>(upper.size()) < first->Size())
                upper += AnsiString(static_cast<size_t>(first->Size()) - upper.size(),
                                    static_cast<char>(wwTable->NarrowSearchUpperChar()));
            if (CurrentIndexDescending(table)) table->SetRange({upper}, {Text});
            else table->SetRange({Text}, {upper});
        } else if (textType) {
            wwTable->ClearRange();
        } else {
            wwTable->SetRangeFromKey({KeyValueForField(field, Text)});
        }
    } else if (IsSQLBasedTable(table) && sync && !table->MasterSource()) {
        TwwHourGlass hourGlass;
        TControlsDisabled disabled(table);
        if (Text.empty()) wwTable->ClearRange();
        else if (Position <= 3) wwTable->SetRangeFromKey(KeyUpTo(table, Position, Text));
    } else if (DefaultIntl->UseLocateMethodForSearch()) {
        TField* first = table->FindField(FirstPart(table->IndexFieldNames().empty()
                                                       ? GetIndexFieldsOfIndex(table, table->IndexName())
                                                       : table->IndexFieldNames()));
        TLocateOptions options{loPartialKey};
        if (first && table->MapsToIndex({first}, true)) options.Include(loCaseInsensitive);
        if (Text.empty()) {
            table->First();
        } else if (Position == 0) {
            table->Locate(table->IndexFields(0)->FieldName(), Text, options);
        } else {
            AnsiString names;
            TVariant values = TVariant::Array(0, Position);
            bool anyNull = false;
            for (int i = 0; i <= Position; ++i) {
                TField* key = table->IndexFields(i);
                anyNull = anyNull || key->IsNull();
                names += (i ? ";" : "") + key->FieldName();
                values[i] = i < Position ? TVariant(key->AsString()) : TVariant(Text);
            }
            if (!anyNull) table->Locate(names, values, options);
        }
    } else if (Position <= 3) {
        table->FindNearest(KeyUpTo(table, Position, Text));
    }
    return IndexFieldMatches(field, Text);
}

void SelectIndexDef(TDataSet* DataSet, TIndexDef* IndexDef) {
    auto* table = dynamic_cast<TTable*>(DataSet);
    if (!table) return;
    auto* wwTable = dynamic_cast<TwwTable*>(table);
    if (!IsSQLBasedTable(table) || (wwTable && !wwTable->SyncSQLByRange())) {
        table->SetIndexName(IndexDef->Name());
        return;
    }
    if (SameText(table->IndexName(), IndexDef->Name())) return;
    // A server keeps no order of its own: the table opens again on the new
    // index, on a range that starts at the record that was current.
    TwwHourGlass hourGlass;
    TKeyValues values;
    int position = 1;
    while (position > 0) {
        AnsiString name = NextToken(IndexDef->Fields(), ";", position);
        if (!name.empty()) values.push_back(table->FieldByName(name)->AsString());
    }
    TControlsDisabled disabled(table);
    table->Close();
    table->SetIndexName(IndexDef->Name());
    table->Open();
    table->SetRange(values, {});
}

void SelectIndexForFields(TDataSet* Table, std::string_view Fields) {
    auto* table = dynamic_cast<TTable*>(Table);
    if (!table) throw EInvalidCast("Invalid class typecast");
    table->UpdateIndexDefs();
    TIndexDefs* defs = table->IndexDefs();
    for (bool exact : {true, false}) {
        for (int i = 0; i < defs->Count(); ++i) {
            const AnsiString& fields = defs->Items(i)->Fields();
            if (exact ? fields == Fields : EqualsIgnoreCase(fields, Fields)) {
                table->SetIndexName(defs->Items(i)->Name());
                return;
            }
        }
    }
}

bool TableHasIndexFields(TDataSet* DataSet) {
    auto* table = dynamic_cast<TwwTable*>(DataSet);
    return table && table->IndexFieldCount() > 0;
}

bool TableUsesQuery(TDataSet* DataSet) {
    auto* table = dynamic_cast<TwwTable*>(DataSet);
    return table && table->Query()->Count() > 0;
}

bool LocateFieldValue(TDataSet* DataSet, const AnsiString& Text, const AnsiString& FieldName,
                      bool CaseSensitive, int MatchKind) {
    TField* field = DataSet->FindField(FieldName);
    if (field && !DataSet->IsEmpty()) {
        const AnsiString value = field->AsString();
        if (CaseSensitive ? value == Text : AnsiLowerCase(value) == AnsiLowerCase(Text)) return true;
    }
    return FindFieldValue(true, DataSet, FieldName, Text, MatchKind, CaseSensitive, false);
}

bool IsLowOnMemory() { return false; }

bool IsSearchableFieldType(TFieldType Type) {
    return Type != ftBytes && Type != ftVarBytes && Type != ftBlob && Type != ftGraphic;
}

AnsiString GetAliasPath(std::string_view Alias) {
    TStringList params;
    Session().GetAliasParams(Alias, params);
    for (int i = 0; i < params.Count(); ++i)
        if (LowerCase(params.Names(i)) == "path") return params.ValueFromIndex(i);
    return {};
}

bool PrepareAnswerTable(TDataSet* DataSet, TDbfCursor* AnswerCursor, const AnsiString& AnswerName) {
    if (AnswerName.empty()) return false;
    AnsiString name = AnswerName;
    if (name[0] == ':') {
        size_t second = name.find(':', 1);
        AnsiString path =
            second == AnsiString::npos ? AnsiString() : GetAliasPath(name.substr(1, second - 1));
        if (path.empty()) {
            MessageDlg("Invalid Alias in QBE", mtError, {mbOK}, 0);
            return false;
        }
        AnsiString rest = name.substr(second + 1);
        bool joined = path.back() == '\\' || (!rest.empty() && rest[0] == '\\') || rest.empty();
        name = rest.empty() ? path : path + (joined ? "" : "\\") + rest;
    }
    try {
        if (!AnswerCursor) throw EDatabaseError("no answer");
        // The rows of the answer become a table of their own under the name.
        const bool hasFolder = name.find_first_of("\\/:") != AnsiString::npos;
        const std::string path =
            hasFolder ? MapPath(name) : Session().FolderOf(GetDatabaseName(DataSet)) + "/" + ToUtf8(name);
        const TDbfTable& source = AnswerCursor->Table();
        std::vector<TDbfFieldSpec> fields;
        for (int i = 0; i < source.FieldCount(); ++i) {
            const TDbfFieldDef& def = source.Field(i);
            fields.push_back({def.Name, def.Type, def.Length, def.Decimals});
        }
        TDbfTable::Create(path, fields, {});
        std::shared_ptr<TDbfTable> answer = TDbfTable::Open(path);
        std::vector<char> record(static_cast<size_t>(answer->RecordLength()));
        for (bool on = AnswerCursor->First(); on; on = AnswerCursor->Next()) {
            answer->BlankRecord(record.data());
            for (int i = 0; i < source.FieldCount(); ++i) {
                if (source.Field(i).Type == 'M')
                    answer->SetMemo(record.data(), i, source.GetMemo(AnswerCursor->Record(), i));
                else answer->SetText(record.data(), i, source.GetText(AnswerCursor->Record(), i));
            }
            answer->Append(record.data());
        }
        answer->Flush();
        return true;
    } catch (const Exception&) {
        MessageDlg("Unable to create answer table " + name, mtWarning, {mbOK}, 0);
        return false;
    }
}

TwwOnFilterOptions GetFilterOptions(TDataSet* DataSet) {
    const TPropInfo* info = Prop(DataSet, "OnFilterOptions");
    if (info) return TwwOnFilterOptions::FromBits(static_cast<uint32_t>(info->GetOrd(DataSet)));
    return DataSet->Filtered() ? TwwOnFilterOptions{ofoEnabled} : TwwOnFilterOptions{};
}

void SetFilterEnabled(TDataSet* DataSet, bool Enabled) {
    const TPropInfo* info = Prop(DataSet, "OnFilterOptions");
    if (!info) return;
    TwwOnFilterOptions options = GetFilterOptions(DataSet);
    if (Enabled) options.Include(ofoEnabled);
    else options.Exclude(ofoEnabled);
    info->SetOrd(DataSet, options.Bits());
}

bool PollEscapeKey(TDataSet* DataSet) {
    TMsg msg;
    if (!PeekMessage(msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) return false;
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE) return false;
    SetFilterEnabled(DataSet, false);
    return true;
}

int GetFilterMemoSize() { return DefaultIntl->FilterMemoSize(); }

int ReadBlobForFilter(TDataSet* DataSet, const char* Record, AnsiString& Destination, int WantedLength,
                      TField* Field) {
    // The area is sized at each read from the cap in force.
    Destination.clear();
    if (WantedLength <= 0 || !DataSet->Handle() || Field->FieldNo() <= 0) return 0;
    const TDbfTable& table = DataSet->Handle()->Table();
    const int index = Field->FieldNo() - 1;
    AnsiString value =
        table.Field(index).Type == 'M' ? table.GetMemo(Record, index) : table.GetText(Record, index);
    const size_t count =
        std::min(value.size(), static_cast<size_t>(std::min(WantedLength, GetFilterMemoSize())));
    Destination.assign(value, 0, count);
    return static_cast<int>(count);
}

bool IsRichTextField(TField* Field, bool LookAtData) {
    if (!Field || !Field->IsBlob()) return false;
    if (TStrings* lines = Field->DataSet() ? GetControlType(Field->DataSet()) : nullptr) {
        const AnsiString prefix = Field->FieldName() + ";RichEdit";
        for (int i = 0; i < lines->Count(); ++i)
            if (lines->Strings(i).compare(0, prefix.size(), prefix) == 0) return true;
    }
    if (!LookAtData) return false;
    AnsiString head = Field->AsString().substr(0, 5);
    head.resize(5, ' ');
    return head == "{\\rtf";
}

void RichTextToPlainText(TComponent* Owner, AnsiString& Buffer, std::unique_ptr<TMemoryStream>& StreamSlot,
                         TCustomRichEdit*& RichEditSlot) {
    if (!StreamSlot) StreamSlot = std::make_unique<TMemoryStream>();
    StreamSlot->SetSize(0);
    StreamSlot->Write(Buffer.data(), static_cast<int64_t>(Buffer.size()));
    if (!RichEditSlot) {
        auto* edit = NewComponent<TRichEdit>(Owner);
        edit->SetVisible(false);
        if (auto* parent = dynamic_cast<TWinControl*>(Owner)) edit->SetParent(parent);
        RichEditSlot = edit;
    }
    RichEditSlot->SetPlainText(false);
    StreamSlot->SetPosition(0);
    RichEditSlot->Lines()->LoadFromStream(*StreamSlot);
    Buffer = RichEditSlot->Text();
}

AnsiString ScanFilterToken(std::string_view Text, int& Position) {
    const int length = static_cast<int>(Text.size());
    if (Position < 1 || Position > length) return {};
    auto at = [&](int P) { return Text[static_cast<size_t>(P) - 1]; };
    while (Position <= length && (at(Position) == ' ' || at(Position) == '\t')) ++Position;
    if (Position > length) return {};
    const char c = at(Position);
    if (c == '"' || c == '\'') {
        int close = Position + 1;
        while (close <= length && at(close) != c) ++close;
        if (close > length) return {};
        AnsiString token(
            Text.substr(static_cast<size_t>(Position) - 1, static_cast<size_t>(close - Position + 1)));
        Position = close + 1;
        return token;
    }
    auto isWordChar = [](char C) {
        return C == '$' || C == '.' || C == '_' || (C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z');
    };
    int end = Position;
    while (end <= length && isWordChar(at(end))) ++end;
    if (end == Position) ++end;
    AnsiString token(Text.substr(static_cast<size_t>(Position) - 1, static_cast<size_t>(end - Position)));
    Position = end;
    return token;
}

int CompareBookmarksOf(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

// ---------------------------------------------------------------- drawing and window routines

void DrawEllipsisButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState ControlState,
                        bool Transparent, bool Flat, bool) {
    const bool down = State == bsDown;
    uint32_t flags = BF_RECT;
    if (down && !IsPaintCopy(ControlState)) flags |= BF_FLAT;
    if (!Transparent) flags |= BF_MIDDLE;
    if (!Flat) {
        TRect edge = R;
        Canvas->DrawEdge(edge, EDGE_RAISED, flags);
    }
    const int width = R.Width(), height = R.Height();
    const int size = std::max(1, (width + 1) / 8);
    int y = R.Top + (height + 1) / 2;
    int x = R.Left + width / 2;
    // The dots move one pixel down and right when the button is pressed.
    if (!down) {
        --x;
        --y;
    }
    for (int left : {x, x - 2 * size, x + 2 * size}) Canvas->PatBlt(left, y, size, size, BLACKNESS);
}

void DrawComboArrowButton(TCanvas* Canvas, const TRect& R, TButtonState State, TControlState ControlState,
                          bool Enabled) {
    uint32_t flags = DFCS_SCROLLCOMBOBOX;
    // A disabled control's arrow is the inactive one and never pressed: the
    // arrow takes one of three looks.
    if (!Enabled) flags |= DFCS_INACTIVE;
    else if (State != bsUp && !IsPaintCopy(ControlState)) flags |= DFCS_PUSHED | DFCS_FLAT;
    TRect box = R;
    Canvas->DrawFrameControl(box, DFC_SCROLL, flags);
}

void DrawFocusRectangle(TCanvas* Canvas, const TRect& R) {
    const TBrushStyle brushStyle = Canvas->Brush()->Style();
    const TColor penColor = Canvas->Pen()->Color();
    const TColorRef textColor = Canvas->GetTextColor();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(clHighlight);
    Canvas->Rectangle(R);
    Canvas->SetTextColor(clHighlight);
    Canvas->DrawFocusRect(R);
    Canvas->Brush()->SetStyle(brushStyle);
    Canvas->Pen()->SetColor(penColor);
    Canvas->SetTextColor(static_cast<TColor>(textColor));
}

bool SingleLineFillsRect(HDC DC, const TRect& R, uint32_t Format) {
    TRect line = R;
    DC->DrawText(" ", line, Format | DT_CALCRECT);
    return line.Height() + 2 * GetSystemMetrics(SM_CYBORDER) + 3 >= R.Height();
}

void DrawCellText(TCanvas* Canvas, const TRect& R, int Left, int Top, const AnsiString& Text,
                  TAlignment Alignment, int Options) {
    const int width = R.Width(), height = R.Height();
    TRect text;
    switch (Alignment) {
    case taRightJustify: text = TRect(Left, Top, width - 2, height - 1); break;
    case taCenter: text = TRect(Left < 4 ? 0 : 2, Top, width, height - 1); break;
    default: text = TRect(Left, Top, width, height - 1); break;
    }
    OffsetRect(text, R.Left, R.Top);
    Canvas->Refresh();
    Canvas->Brush()->SetStyle(bsSolid);
    if (!(Options & dctNoFill)) Canvas->FillRect(R);
    Canvas->SetBkMode(TRANSPARENT);
    uint32_t format = DT_EXPANDTABS | DT_NOPREFIX;
    if (Alignment == taRightJustify) format |= DT_RIGHT;
    else if (Alignment == taCenter) format |= DT_CENTER;
    if (Options & dctPrefix) format &= ~static_cast<uint32_t>(DT_NOPREFIX);
    if (Options & dctWordWrap) format |= DT_WORDBREAK;
    if (Options & dctSingleVCenter) format |= DT_VCENTER | DT_SINGLELINE;
    // Wrapping in a cell one line high would show the line's first word only.
    if (SingleLineFillsRect(Canvas, text, format) || (Options & dctEndEllipsis))
        format &= ~static_cast<uint32_t>(DT_WORDBREAK);
    if (Options & dctEndEllipsis) format |= DT_END_ELLIPSIS;
    Canvas->DrawText(Text, text, format);
}

void ReleasePressedControl() {
    TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
    if (!form) return;
    TWinControl* target = nullptr;
    if (form->ControlState().Contains(csLButtonDown)) {
        target = form;
    } else {
        for (int i = 0; i < form->ControlCount() && !target; ++i) {
            auto* child = dynamic_cast<TWinControl*>(form->Controls(i));
            if (child && child->ControlState().Contains(csLButtonDown)) target = child;
        }
    }
    if (target) PostMessage(target->Handle(), WM_LBUTTONUP, 0, 0);
}

void PostKeyWithModifier(HWND Window, WORD Key, WORD Modifier) {
    uint8_t saved[256], pressed[256];
    GetKeyboardState(saved);
    std::memcpy(pressed, saved, sizeof pressed);
    pressed[Modifier & 0xFF] = 0x81;
    pressed[Key & 0xFF] = 0x81;
    SetKeyboardState(pressed);
    PostMessage(Window, WM_KEYDOWN, Key, 1);
    PostMessage(Window, WM_KEYUP, Key, 1);
    SetKeyboardState(saved);
}

void GetWorkArea(TRect& R) { R = WorkAreaRect(); }

void ClearWindowStyleBit(TWinControl* Control) {
    HWND window = Control->Handle();
    SetWindowLong(window, GWL_STYLE,
                  GetWindowLong(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
}

bool HasChildOutsideClient(TWinControl* Control) {
    if (!Control) return false;
    const TRect client = Control->ClientRect();
    for (int i = 0; i < Control->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Control->Controls(i));
        if (!child || !child->HandleAllocated() || !IsWindowVisible(child->Handle())) continue;
        if (!PtInRect(client, TPoint(child->Left(), child->Top()))) return true;
    }
    return false;
}

bool IsThemed(TControl*) { return false; }

int IntMax(int A, int B) { return A > B ? A : B; }
int IntMin(int A, int B) { return A < B ? A : B; }
int ClampInt(int Value, int Low, int High) { return Value < Low ? Low : Value > High ? High : Value; }
int ScaleByPixelsPerInch(int Value, int PixelsPerInch) { return Value * PixelsPerInch / 96; }
int RectWidth(const TRect& R) { return R.Right - R.Left; }
int RectHeight(const TRect& R) { return R.Bottom - R.Top; }

bool GridOptionSet(TWinControl* Grid, std::string_view Option) {
    const TPropInfo* info = Grid ? GetPropInfo(Grid, "Options") : nullptr;
    if (!info || info->Kind() != tkSet || !info->PropType().ElementType) return false;
    const std::vector<AnsiString>& names = info->PropType().ElementType->EnumNames;
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoreCase(names[i], Option)) return (info->GetOrd(Grid) >> i) & 1;
    return false;
}

void HandKeyToGrid(TWinControl* Grid, WORD& Key) {
    if (Grid->Visible() && Grid->CanFocus()) Grid->SetFocus();
    if (Grid->Focused()) Grid->Perform(WM_KEYDOWN, Key, 0);
    Key = 0;
}

HHOOK InstallDropDownMouseHook(TWinControl* Control, std::function<TWinControl*()> DropDown,
                               std::function<bool()> Watching) {
    auto hook = std::make_shared<HHOOK>(nullptr);
    *hook = SetWindowsHookEx(WH_MOUSE, [=](int Code, WPARAM WParam, LPARAM LParam) -> LRESULT {
        const LRESULT result = CallNextHookEx(*hook, Code, WParam, LParam);
        if (WParam != WM_LBUTTONDOWN && WParam != WM_NCLBUTTONDOWN) return result;
        TWinControl* list = DropDown();
        if (!Watching() || !Control->HandleAllocated() || !list || !list->HandleAllocated()) return result;
        const auto* mouse = LParamToPointer<TMouseHookStruct>(LParam);
        TRect listRect, controlRect;
        GetWindowRect(list->Handle(), listRect);
        GetWindowRect(Control->Handle(), controlRect);
        if (!PtInRect(listRect, mouse->pt) && !PtInRect(controlRect, mouse->pt))
            PostMessage(Control->Handle(), CM_CANCELMODE, 0, 0);
        return result;
    });
    return *hook;
}

namespace {

struct TKeyPressAccess : TWinControl {
    using TWinControl::KeyPress;
};

}  // namespace

void GridKeyPress(TWinControl* Grid, char& Key) { (Grid->*(&TKeyPressAccess::KeyPress))(Key); }
