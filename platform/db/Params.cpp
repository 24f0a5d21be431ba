#include "platform/db/Params.h"

#include <cstring>

#include "platform/db/Fields.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COLLECTION_ITEM(TParam, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TParams, TOwnedCollection)
ZELMOR_IMPLEMENT_ENUM(TParamType, "ptUnknown", "ptInput", "ptOutput", "ptInputOutput", "ptResult")

namespace {
// The value as field data of a type, and back: the one place where a
// parameter's value meets the native layouts of the field classes.
TFieldData ToFieldData(const TVariant& Value, TFieldType Type) {
    TFieldData data;
    if (Value.IsNull() || Value.IsEmpty()) return data;
    data.Null = false;
    switch (FieldCategory(Type)) {
    case TFieldCategory::Text: data.Text = VarToStr(Value); break;
    case TFieldCategory::Boolean: data.Boolean = Value.AsBoolean(); break;
    case TFieldCategory::DateTime: data.Number = Value.AsDateTime(); break;
    default:
        if (Value.VarType() == varString) {
            if (!TextToFloat(Trim(Value.AsString()), data.Number))
                throw EConvertError("'" + Value.AsString() + "' is not a valid floating point value");
        } else {
            data.Number = Value.AsFloat();
        }
        break;
    }
    return data;
}

TVariant FromFieldData(const TFieldData& Data, TFieldType Type) {
    if (Data.Null) return TVariant::Null();
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return TVariant(static_cast<int64_t>(Round(Data.Number)));
    case ftBoolean: return TVariant(Data.Boolean);
    case ftDate:
    case ftTime:
    case ftDateTime: return TVariant::FromDate(Data.Number);
    default:
        if (FieldCategory(Type) == TFieldCategory::Text) return TVariant(Data.Text);
        return TVariant(Data.Number);
    }
}

TFieldType TypeOfValue(const TVariant& Value) {
    switch (Value.VarType()) {
    case varSmallint: return ftSmallint;
    case varInteger: return ftInteger;
    case varInt64: return ftLargeint;
    case varDouble: return ftFloat;
    case varCurrency: return ftCurrency;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString: return ftString;
    default: return ftUnknown;
    }
}
}  // namespace

TParam::TParam(TCollection* Collection) : TCollectionItem(Collection) {}

TParam::TParam(TCollection* Collection, TParamType ParamType)
    : TCollectionItem(Collection), FParamType(ParamType) {}

void TParam::DescribeProperties(TPropertyTable& T) {
    T.Property("DataType", &TParam::DataType, &TParam::SetDataType);
    T.Property("Name", &TParam::Name, &TParam::SetName);
    T.Property("ParamType", &TParam::ParamType, &TParam::SetParamType);
}

void TParam::SetDataType(TFieldType Value) {
    if (Value == FDataType) return;
    TFieldType old = FDataType;
    FDataType = Value;
    if (!IsNull() && old != ftUnknown && Value != ftUnknown)
        FValue = FromFieldData(ToFieldData(FValue, Value), Value);
}

void TParam::Clear() { FValue = TVariant::Null(); }

void TParam::SetValue(const TVariant& Value) {
    if (FDataType == ftUnknown) FDataType = TypeOfValue(Value);
    FValue = FDataType == ftUnknown ? Value : FromFieldData(ToFieldData(Value, FDataType), FDataType);
    FBound = true;
}

AnsiString TParam::AsString() const { return VarToStr(FValue); }

void TParam::SetAsString(const AnsiString& Value) {
    if (FDataType == ftUnknown) FDataType = ftString;
    SetValue(TVariant(Value));
}

int TParam::AsInteger() const {
    if (IsNull()) return 0;
    return static_cast<int>(Round(ToFieldData(FValue, ftFloat).Number));
}

void TParam::SetAsInteger(int Value) {
    if (FDataType == ftUnknown) FDataType = ftInteger;
    SetValue(TVariant(Value));
}

double TParam::AsFloat() const {
    if (IsNull()) return 0;
    return ToFieldData(FValue, ftFloat).Number;
}

void TParam::SetAsFloat(double Value) {
    if (FDataType == ftUnknown) FDataType = ftFloat;
    SetValue(TVariant(Value));
}

bool TParam::AsBoolean() const {
    if (IsNull()) return false;
    return ToFieldData(FValue, ftBoolean).Boolean;
}

void TParam::SetAsBoolean(bool Value) {
    if (FDataType == ftUnknown) FDataType = ftBoolean;
    SetValue(TVariant(Value));
}

double TParam::AsDateTime() const { return AsFloat(); }

void TParam::SetAsDateTime(double Value) {
    if (FDataType == ftUnknown) FDataType = ftDateTime;
    SetValue(TVariant::FromDate(Value));
}

Currency TParam::AsCurrency() const { return DoubleToCurrency(AsFloat()); }

void TParam::SetAsCurrency(Currency Value) {
    if (FDataType == ftUnknown) FDataType = ftCurrency;
    SetValue(TVariant(Value));
}

void TParam::AssignField(const TField* Field) {
    if (!Field) return;
    FName = Field->FieldName();
    AssignFieldValue(Field, Field->Value());
}

void TParam::AssignFieldValue(const TField* Field, const TVariant& Value) {
    if (!Field) return;
    FDataType = Field->DataType() == ftAutoInc ? ftInteger : Field->DataType();
    FValue = FromFieldData(ToFieldData(Value, FDataType), FDataType);
    FBound = true;
}

void TParam::SetData(const void* Buffer) {
    if (!Buffer) return Clear();
    FValue = FromFieldData(NativeToFieldData(FDataType, Buffer), FDataType);
    FBound = true;
}

bool TParam::GetData(void* Buffer) const {
    return FieldDataToNative(FDataType, ToFieldData(FValue, FDataType), Buffer);
}

int TParam::GetDataSize() const {
    switch (FDataType) {
    case ftSmallint:
    case ftWord:
    case ftBoolean: return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime: return 4;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDateTime:
    case ftLargeint: return 8;
    default: return static_cast<int>(AsString().size()) + 1;
    }
}

void TParam::Assign(TPersistent* Source) {
    if (auto* param = dynamic_cast<TParam*>(Source)) {
        FName = param->FName;
        FDataType = param->FDataType;
        FParamType = param->FParamType;
        FValue = param->FValue;
        FBound = param->FBound;
        return;
    }
    if (auto* field = dynamic_cast<TField*>(Source)) return AssignField(field);
    TCollectionItem::Assign(Source);
}

TParams::TParams(TPersistent* Owner) : TOwnedCollection(Owner, TParam::StaticClassInfo()) {}

TParam* TParams::Items(int Index) const { return static_cast<TParam*>(TCollection::Items(Index)); }

TParam* TParams::AddParam() { return static_cast<TParam*>(TCollection::Add()); }

TParam* TParams::CreateParam(TFieldType DataType, const AnsiString& Name, TParamType ParamType) {
    TParam* param = AddParam();
    param->SetName(Name);
    param->SetDataType(DataType);
    param->SetParamType(ParamType);
    return param;
}

TParam* TParams::FindParam(std::string_view Name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), Name)) return Items(i);
    return nullptr;
}

TParam* TParams::ParamByName(std::string_view Name) const {
    TParam* param = FindParam(Name);
    if (!param) DatabaseErrorFmt("Parameter '%s' not found", {Name}, dynamic_cast<TComponent*>(GetOwner()));
    return param;
}

bool TParams::IsEqual(const TParams& Other) const {
    if (Count() != Other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        const TParam* a = Items(i);
        const TParam* b = Other.Items(i);
        if (a->Name() != b->Name() || a->DataType() != b->DataType() || a->ParamType() != b->ParamType() ||
            a->IsNull() != b->IsNull() || a->AsString() != b->AsString())
            return false;
    }
    return true;
}
