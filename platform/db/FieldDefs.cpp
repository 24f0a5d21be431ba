#include "platform/db/FieldDefs.h"

#include "platform/db/DataSet.h"
#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COLLECTION_ITEM(TFieldDef, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TFieldDefs, TOwnedCollection)
ZELMOR_IMPLEMENT_COLLECTION_ITEM(TIndexDef, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TIndexDefs, TOwnedCollection)

namespace {
// The definitions of both lists are found by name without regard to case.
template <class TDefs>
int IndexOfName(const TDefs& Defs, std::string_view Name) {
    for (int i = 0; i < Defs.Count(); ++i)
        if (SameText(Defs.Items(i)->Name(), Name)) return i;
    return -1;
}

template <class TDefs>
auto* FindByName(const TDefs& Defs, std::string_view Name, const char* Missing, TPersistent* Owner) {
    auto* def = Defs.FindDef(Name);
    if (!def) DatabaseErrorFmt(Missing, {Name}, dynamic_cast<TComponent*>(Owner));
    return def;
}
}  // namespace

// --- field definitions ---

TFieldDef::TFieldDef(TCollection* Collection) : TCollectionItem(Collection) {}

void TFieldDef::DescribeProperties(TPropertyTable& T) {
    T.Property("Name", &TFieldDef::Name, &TFieldDef::SetName);
    T.Property("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType);
    T.Property("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
    T.Property("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
    T.Property("Required", &TFieldDef::Required, &TFieldDef::SetRequired).Default(false);
}

void TFieldDef::SetName(const AnsiString& Value) {
    FName = Value;
    Changed(false);
}

void TFieldDef::SetDataType(TFieldType Value) {
    FDataType = Value;
    Changed(false);
}

void TFieldDef::SetSize(int Value) {
    FSize = Value;
    Changed(false);
}

void TFieldDef::Assign(TPersistent* Source) {
    auto* def = dynamic_cast<TFieldDef*>(Source);
    if (!def) return TCollectionItem::Assign(Source);
    FName = def->FName;
    FDataType = def->FDataType;
    FSize = def->FSize;
    FPrecision = def->FPrecision;
    FRequired = def->FRequired;
    FFieldNo = def->FFieldNo;
    Changed(false);
}

TFieldDefs::TFieldDefs(TPersistent* Owner) : TOwnedCollection(Owner, TFieldDef::StaticClassInfo()) {}

TFieldDef* TFieldDefs::Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }

TFieldDef* TFieldDefs::AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }

TFieldDef* TFieldDefs::Add(const AnsiString& Name, TFieldType DataType, int Size, bool Required) {
    if (Name.empty() || IndexOf(Name) >= 0)
        DatabaseErrorFmt(DBText::DuplicateFieldName, {Name}, dynamic_cast<TComponent*>(GetOwner()));
    BeginUpdate();
    TFieldDef* def = AddFieldDef();
    def->SetName(Name);
    def->SetDataType(DataType);
    def->SetSize(Size);
    def->SetRequired(Required);
    EndUpdate();
    return def;
}

int TFieldDefs::IndexOf(std::string_view Name) const { return IndexOfName(*this, Name); }

TFieldDef* TFieldDefs::FindDef(std::string_view Name) const {
    int i = IndexOf(Name);
    return i < 0 ? nullptr : Items(i);
}

TFieldDef* TFieldDefs::Find(std::string_view Name) const {
    return FindByName(*this, Name, DBText::FieldNotFound, GetOwner());
}

void TFieldDefs::Update() {
    if (auto* dataSet = dynamic_cast<TDataSet*>(GetOwner())) dataSet->UpdateFieldDefs();
}

void TFieldDefs::Update(TCollectionItem*) { FUpdated = false; }

// --- index definitions ---

TIndexDef::TIndexDef(TCollection* Collection) : TCollectionItem(Collection) {}

void TIndexDef::DescribeProperties(TPropertyTable& T) {
    T.Property("Name", &TIndexDef::Name, &TIndexDef::SetName);
    T.Property("Fields", &TIndexDef::Fields, &TIndexDef::SetFields);
    T.Property("Expression", &TIndexDef::Expression, &TIndexDef::SetExpression);
    T.Property("Options", &TIndexDef::Options, &TIndexDef::SetOptions).Default(TIndexOptions{});
}

void TIndexDef::SetName(const AnsiString& Value) {
    FName = Value;
    Changed(false);
}

void TIndexDef::SetFields(const AnsiString& Value) {
    FFields = Value;
    Changed(false);
}

void TIndexDef::SetExpression(const AnsiString& Value) {
    FExpression = Value;
    Changed(false);
}

void TIndexDef::SetOptions(TIndexOptions Value) {
    FOptions = Value;
    Changed(false);
}

void TIndexDef::Assign(TPersistent* Source) {
    auto* def = dynamic_cast<TIndexDef*>(Source);
    if (!def) return TCollectionItem::Assign(Source);
    FName = def->FName;
    FFields = def->FFields;
    FExpression = def->FExpression;
    FOptions = def->FOptions;
    Changed(false);
}

TIndexDefs::TIndexDefs(TPersistent* Owner) : TOwnedCollection(Owner, TIndexDef::StaticClassInfo()) {}

TIndexDef* TIndexDefs::Items(int Index) const { return static_cast<TIndexDef*>(TCollection::Items(Index)); }

TIndexDef* TIndexDefs::AddIndexDef() { return static_cast<TIndexDef*>(TCollection::Add()); }

TIndexDef* TIndexDefs::Add(const AnsiString& Name, const AnsiString& Fields, TIndexOptions Options) {
    BeginUpdate();
    TIndexDef* def = AddIndexDef();
    def->SetName(Name);
    if (Options.Contains(ixExpression)) def->SetExpression(Fields);
    else def->SetFields(Fields);
    def->SetOptions(Options);
    EndUpdate();
    return def;
}

int TIndexDefs::IndexOf(std::string_view Name) const { return IndexOfName(*this, Name); }

TIndexDef* TIndexDefs::FindDef(std::string_view Name) const {
    int i = IndexOf(Name);
    return i < 0 ? nullptr : Items(i);
}

TIndexDef* TIndexDefs::Find(std::string_view Name) const {
    return FindByName(*this, Name, DBText::IndexNotFound, GetOwner());
}

TIndexDef* TIndexDefs::GetIndexForFields(std::string_view Fields, bool CaseInsensitive) const {
    std::vector<AnsiString> wanted = SplitFieldNames(Fields);
    if (wanted.empty()) return nullptr;
    for (int i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        if (def->Options().Contains(ixExpression)) continue;
        if (CaseInsensitive != def->Options().Contains(ixCaseInsensitive)) continue;
        std::vector<AnsiString> have = SplitFieldNames(def->Fields());
        if (have.size() < wanted.size()) continue;
        bool match = true;
        for (size_t k = 0; k < wanted.size() && match; ++k) match = SameText(have[k], wanted[k]);
        if (match) return def;
    }
    return nullptr;
}

void TIndexDefs::Update() {
    if (auto* table = dynamic_cast<TTable*>(GetOwner())) table->UpdateIndexDefs();
}

void TIndexDefs::Update(TCollectionItem*) { FUpdated = false; }
