#include "platform/db/Fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/db/DataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COMPONENT(TField, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TStringField, TField)
ZELMOR_IMPLEMENT_COMPONENT(TNumericField, TField)
ZELMOR_IMPLEMENT_COMPONENT(TIntegerField, TNumericField)
ZELMOR_IMPLEMENT_COMPONENT(TSmallintField, TIntegerField)
ZELMOR_IMPLEMENT_COMPONENT(TWordField, TIntegerField)
ZELMOR_IMPLEMENT_COMPONENT(TAutoIncField, TIntegerField)
ZELMOR_IMPLEMENT_COMPONENT(TFloatField, TNumericField)
ZELMOR_IMPLEMENT_COMPONENT(TCurrencyField, TFloatField)
ZELMOR_IMPLEMENT_COMPONENT(TBCDField, TFloatField)
ZELMOR_IMPLEMENT_COMPONENT(TBooleanField, TField)
ZELMOR_IMPLEMENT_COMPONENT(TDateTimeField, TField)
ZELMOR_IMPLEMENT_COMPONENT(TDateField, TDateTimeField)
ZELMOR_IMPLEMENT_COMPONENT(TTimeField, TDateTimeField)
ZELMOR_IMPLEMENT_COMPONENT(TBlobField, TField)
ZELMOR_IMPLEMENT_COMPONENT(TMemoField, TBlobField)
ZELMOR_IMPLEMENT_COMPONENT(TGraphicField, TBlobField)

TFieldCategory FieldCategory(TFieldType Type) {
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint: return TFieldCategory::Number;
    case ftBoolean: return TFieldCategory::Boolean;
    case ftDate:
    case ftTime:
    case ftDateTime: return TFieldCategory::DateTime;
    default: return TFieldCategory::Text;
    }
}

bool TextToFloat(std::string_view Text, double& Value) {
    if (TryStrToFloat(Text, Value)) return true;
    if (FormatSettings().DecimalSeparator == '.') return false;
    TFormatSettings fileForm = FormatSettings();
    fileForm.DecimalSeparator = '.';
    long double v = 0;
    if (!TryStrToFloat(Text, v, fileForm)) return false;
    Value = static_cast<double>(v);
    return true;
}

bool FieldDataToNative(TFieldType Type, const TFieldData& Data, void* Buffer) {
    if (Data.Null) return false;
    auto put = [Buffer](const auto& Value) { std::memcpy(Buffer, &Value, sizeof(Value)); };
    switch (Type) {
    case ftSmallint: put(static_cast<int16_t>(Round(Data.Number))); break;
    case ftWord: put(static_cast<uint16_t>(Round(Data.Number))); break;
    case ftInteger:
    case ftAutoInc: put(static_cast<int32_t>(Round(Data.Number))); break;
    case ftLargeint: put(static_cast<int64_t>(Round(Data.Number))); break;
    case ftFloat:
    case ftCurrency:
    case ftBCD: put(Data.Number); break;
    case ftBoolean: put(static_cast<int16_t>(Data.Boolean ? 1 : 0)); break;
    case ftDate: put(static_cast<int32_t>(DateTimeToTimeStamp(Data.Number).Date)); break;
    case ftTime: put(static_cast<int32_t>(DateTimeToTimeStamp(Data.Number).Time)); break;
    case ftDateTime: put(static_cast<double>(TimeStampToMSecs(DateTimeToTimeStamp(Data.Number)))); break;
    default: std::memcpy(Buffer, Data.Text.c_str(), Data.Text.size() + 1); break;
    }
    return true;
}

TFieldData NativeToFieldData(TFieldType Type, const void* Buffer) {
    TFieldData data;
    data.Null = false;
    auto get = [Buffer](auto Value) {
        std::memcpy(&Value, Buffer, sizeof(Value));
        return Value;
    };
    switch (Type) {
    case ftSmallint: data.Number = get(int16_t{}); break;
    case ftWord: data.Number = get(uint16_t{}); break;
    case ftInteger:
    case ftAutoInc: data.Number = get(int32_t{}); break;
    case ftLargeint: data.Number = static_cast<double>(get(int64_t{})); break;
    case ftFloat:
    case ftCurrency:
    case ftBCD: data.Number = get(double{}); break;
    case ftBoolean: data.Boolean = get(int16_t{}) != 0; break;
    case ftDate: data.Number = TimeStampToDateTime(TTimeStamp{0, get(int32_t{})}); break;
    case ftTime: data.Number = TimeStampToDateTime(TTimeStamp{get(int32_t{}), DateDelta}); break;
    case ftDateTime: data.Number = TimeStampToDateTime(MSecsToTimeStamp(get(double{}))); break;
    default: data.Text = static_cast<const char*>(Buffer); break;
    }
    return data;
}

// ---------------------------------------------------------------- TField

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
    if (FDataSet) {
        FDataSet->FFields->Remove(this);
        FDataSet = nullptr;
    }
}

void TField::BeforeDestruction() {
    // A field that goes takes its column out of an open data set: close it
    // first, as its record buffers count this field's calculated slot.
    if (FDataSet) {
        if (FDataSet->Active() && !FDataSet->ComponentState().Contains(csDestroying)) FDataSet->Close();
        FDataSet->FFields->Remove(this);
        FDataSet = nullptr;
    }
    TComponent::BeforeDestruction();
}

void TField::DescribeProperties(TPropertyTable& T) {
    T.Property("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
    T.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
    T.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
    T.Property("EditMask", &TField::EditMask, &TField::SetEditMask);
    T.Property("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
    T.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
    T.Property("Index", &TField::Index, &TField::SetIndex).Stored(false);
    T.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
    T.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
    T.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
    T.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
    T.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
    T.Property("Required", &TField::Required, &TField::SetRequired).Default(false);
    T.Property("Visible", &TField::Visible, &TField::SetVisible).Default(true);
    T.Property("Calculated", &TField::Calculated, &TField::SetCalculated).Stored(false);
    T.Property("Lookup", &TField::Lookup, &TField::SetLookup).Stored(false);
    T.Event("OnChange", &TField::OnChange);
    T.Event("OnGetText", &TField::OnGetText);
    T.Event("OnSetText", &TField::OnSetText);
    T.Event("OnValidate", &TField::OnValidate);
}

void TField::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if (FDataSet) FDataSet->CheckInactive();
    if (Value) {
        Value->CheckInactive();
        if (!FFieldName.empty() && Value->FFields->FindField(FFieldName))
            DatabaseErrorFmt(DBText::DuplicateFieldName, {FFieldName}, Value);
    }
    if (FDataSet) FDataSet->FFields->Remove(this);
    FDataSet = Value;
    if (FDataSet) FDataSet->FFields->Add(this);
}

void TField::SetFieldName(const AnsiString& Value) {
    if (Value == FFieldName) return;
    if (FDataSet) {
        FDataSet->CheckInactive();
        if (TField* other = FDataSet->FFields->FindField(Value); other && other != this)
            DatabaseErrorFmt(DBText::DuplicateFieldName, {Value}, FDataSet);
        FDataSet->FFields->NamesChanged();
    }
    FFieldName = Value;
}

void TField::SetDisplayLabel(const AnsiString& Value) {
    FDisplayLabel = Value == FFieldName ? AnsiString() : Value;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
    FDisplayWidth = Value;
    PropertyChanged(true);
}

int TField::Index() const { return FDataSet ? FDataSet->FFields->IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
    if (!FDataSet) return;
    int current = Index();
    int last = FDataSet->FFields->Count() - 1;
    Value = std::clamp(Value, 0, last);
    if (Value == current) return;
    FDataSet->FFields->Move(current, Value);
    PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    PropertyChanged(false);
}

bool TField::CanModify() const {
    if (FReadOnly || !FDataSet || !FDataSet->Active()) return false;
    if (FFieldKind == fkData || FFieldKind == fkLookup) return FDataSet->CanModify();
    return FDataSet->State() == dsCalcFields;
}

void TField::SetFieldKind(TFieldKind Value) {
    if (Value == FFieldKind) return;
    if (FDataSet) FDataSet->CheckInactive();
    FFieldKind = Value;
}

void TField::SetSize(int Value) {
    if (FDataSet) FDataSet->CheckInactive();
    CheckSize(Value);
    FSize = Value;
}

void TField::CheckSize(int Value) const {
    if (Value != 0) DatabaseErrorFmt("Invalid field size %d for field '%s'", {Value, FFieldName}, this);
}

void TField::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    PropertyChanged(false);
}

void TField::SetKeyFields(const AnsiString& Value) {
    if (FDataSet) FDataSet->CheckInactive();
    FKeyFields = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet) return;
    if (FDataSet) FDataSet->CheckInactive();
    if (Value && Value == FDataSet) DatabaseError(DBText::CircularDataLink, this);
    if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::SetLookupKeyFields(const AnsiString& Value) {
    if (FDataSet) FDataSet->CheckInactive();
    FLookupKeyFields = Value;
}

void TField::SetLookupResultField(const AnsiString& Value) {
    if (FDataSet) FDataSet->CheckInactive();
    FLookupResultField = Value;
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::SetEditMask(const AnsiString& Value) {
    FEditMask = Value;
    PropertyChanged(false);
}

bool TField::IsValidChar(char C) const { return static_cast<unsigned char>(C) >= ' '; }

void TField::FocusControl() {
    if (!FDataSet || !FDataSet->Active()) return;
    TField* field = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&field));
}

void TField::PropertyChanged(bool LayoutAffected) {
    if (FDataSet && FDataSet->Active())
        FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

bool TField::Fetch(TFieldData& Data) const {
    if (FValidating) {
        Data = *FValidating;
        return !Data.Null;
    }
    if (!FDataSet) DatabaseErrorFmt(DBText::NoDataSet, {FFieldName}, this);
    return FDataSet->GetFieldData(this, Data);
}

bool TField::FetchPlainText(std::string_view& Text) const {
    if (!FPlainText || FValidating || !FDataSet) return false;
    Text = FDataSet->GetPlainText(this);
    return true;
}

void TField::Store(TFieldData& Data) {
    if (!FDataSet) DatabaseErrorFmt(DBText::NoDataSet, {FFieldName}, this);
    FDataSet->SetFieldData(this, Data);
}

void TField::StoreNull() {
    TFieldData data;
    Store(data);
}

bool TField::IsNull() const {
    TFieldData data;
    return !Fetch(data);
}

void TField::Clear() { StoreNull(); }

AnsiString TField::Text() const {
    AnsiString text;
    if (Assigned(OnGetText)) OnGetText(const_cast<TField*>(this), text, false);
    else text = FormatText(false);
    return text;
}

void TField::SetText(const AnsiString& Value) {
    if (Assigned(OnSetText)) OnSetText(this, Value);
    else DoSetAsString(Value);
}

AnsiString TField::DisplayText() const {
    AnsiString text;
    if (Assigned(OnGetText)) OnGetText(const_cast<TField*>(this), text, true);
    else text = FormatText(true);
    return text;
}

AnsiString TField::FormatText(bool) const { return GetAsString(); }

bool TField::GetData(void* Buffer) const {
    TFieldData data;
    if (!Fetch(data)) return false;
    return FieldDataToNative(FDataType, data, Buffer);
}

void TField::SetData(const void* Buffer) {
    if (!Buffer) return StoreNull();
    TFieldData data = NativeToFieldData(FDataType, Buffer);
    Store(data);
}

void TField::Change() {
    if (Assigned(OnChange)) OnChange(this);
}

void TField::Validate() {
    if (Assigned(OnValidate)) OnValidate(this);
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

void TField::SetParentComponent(TComponent* Value) {
    if (auto* dataSet = dynamic_cast<TDataSet*>(Value)) SetDataSet(dataSet);
}

void TField::AccessError(const char* TypeName) const {
    DatabaseErrorFmt(DBText::FieldAccessError, {DisplayName(), TypeName}, this);
}

void TField::RangeError(double Value, double Min, double Max) const {
    DatabaseErrorFmt(DBText::FieldRangeError,
                     {FloatToStr(Value), DisplayName(), FloatToStr(Min), FloatToStr(Max)}, this);
}

AnsiString TField::GetAsString() const { AccessError("String"); }
void TField::DoSetAsString(const AnsiString&) { AccessError("String"); }
int TField::GetAsInteger() const { AccessError("Integer"); }
void TField::DoSetAsInteger(int) { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::DoSetAsFloat(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::DoSetAsBoolean(bool) { AccessError("Boolean"); }
double TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::DoSetAsDateTime(double) { AccessError("DateTime"); }

TVariant TField::GetAsVariant() const {
    if (IsNull()) return TVariant::Null();
    return TVariant(GetAsString());
}

void TField::DoSetAsVariant(const TVariant& Value) {
    switch (Value.VarType()) {
    case varEmpty:
    case varNull: return Clear();
    case varSmallint:
    case varInteger:
    case varInt64: return DoSetAsFloat(static_cast<double>(Value.AsInt64()));
    case varDouble:
    case varCurrency: return DoSetAsFloat(Value.AsFloat());
    case varDate: return DoSetAsDateTime(Value.AsDateTime());
    case varBoolean: return DoSetAsBoolean(Value.AsBoolean());
    case varString: return DoSetAsString(Value.AsString());
    default: AccessError("Variant");
    }
}

// ---------------------------------------------------------------- TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftString);
    TField::SetSize(20);
}

void TStringField::DescribeProperties(TPropertyTable& T) {
    T.Property("Size", &TField::Size, &TField::SetSize).Default(20);
    T.Property("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(false);
    T.Property("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate).Default(true);
}

void TStringField::CheckSize(int Value) const {
    // Calculated texts of the types screen hold up to 2000 characters.
    if (Value < 0 || Value > 8192)
        DatabaseErrorFmt("Invalid field size %d for field '%s'", {Value, FieldName()}, this);
}

AnsiString TStringField::GetAsString() const {
    if (std::string_view text; FetchPlainText(text)) return AnsiString(text);
    TFieldData data;
    if (!Fetch(data)) return {};
    return std::move(data.Text);
}

void TStringField::DoSetAsString(const AnsiString& Value) {
    TFieldData data;
    data.Null = Value.empty();
    data.Text = Size() > 0 && static_cast<int>(Value.size()) > Size()
                    ? Value.substr(0, static_cast<size_t>(Size()))
                    : Value;
    Store(data);
}

int TStringField::GetAsInteger() const {
    AnsiString text = Trim(GetAsString());
    return text.empty() ? 0 : StrToInt(text);
}

void TStringField::DoSetAsInteger(int Value) { DoSetAsString(IntToStr(Value)); }

double TStringField::GetAsFloat() const {
    AnsiString text = Trim(GetAsString());
    if (text.empty()) return 0;
    double value = 0;
    if (!TextToFloat(text, value)) throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

void TStringField::DoSetAsFloat(double Value) { DoSetAsString(FloatToStr(Value)); }

bool TStringField::GetAsBoolean() const {
    AnsiString text = GetAsString();
    return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
}

void TStringField::DoSetAsBoolean(bool Value) { DoSetAsString(Value ? "T" : "F"); }

double TStringField::GetAsDateTime() const {
    AnsiString text = Trim(GetAsString());
    return text.empty() ? 0 : StrToDateTime(text);
}

void TStringField::DoSetAsDateTime(double Value) { DoSetAsString(DateTimeToStr(Value)); }

TVariant TStringField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant(data.Text);
}

// ---------------------------------------------------------------- numbers

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { TField::SetAlignment(taRightJustify); }

void TNumericField::DescribeProperties(TPropertyTable& T) {
    T.Property("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taRightJustify);
    T.Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
    T.Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

void TNumericField::SetDisplayFormat(const AnsiString& Value) {
    FDisplayFormat = Value;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const AnsiString& Value) {
    FEditFormat = Value;
    PropertyChanged(false);
}

AnsiString TNumericField::FormatNumber(double Value, bool DisplayText, const AnsiString& Plain) const {
    const AnsiString& format = DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    return format.empty() ? Plain : FormatFloat(format, Value);
}

TIntegerField::TIntegerField(TComponent* AOwner) : TIntegerField(AOwner, ftInteger, INT32_MIN, INT32_MAX) {}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType Type, int64_t Min, int64_t Max)
    : TNumericField(AOwner), FKindMin(Min), FKindMax(Max) {
    SetDataType(Type);
}

void TIntegerField::DescribeProperties(TPropertyTable& T) {
    T.Property("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
    T.Property("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}

bool TIntegerField::IsValidChar(char C) const { return (C >= '0' && C <= '9') || C == '+' || C == '-'; }

int TIntegerField::GetAsInteger() const {
    TFieldData data;
    return Fetch(data) ? static_cast<int>(Round(data.Number)) : 0;
}

void TIntegerField::DoSetAsInteger(int Value) { DoSetAsFloat(Value); }

double TIntegerField::GetAsFloat() const {
    TFieldData data;
    return Fetch(data) ? data.Number : 0;
}

void TIntegerField::DoSetAsFloat(double Value) {
    if (!std::isfinite(Value))
        RangeError(Value, static_cast<double>(FKindMin), static_cast<double>(FKindMax));
    double whole = static_cast<double>(Round(Value));
    int64_t min = FMinValue != 0 || FMaxValue != 0 ? FMinValue : FKindMin;
    int64_t max = FMinValue != 0 || FMaxValue != 0 ? FMaxValue : FKindMax;
    if (whole < static_cast<double>(min) || whole > static_cast<double>(max))
        RangeError(whole, static_cast<double>(min), static_cast<double>(max));
    TFieldData data;
    data.Null = false;
    data.Number = whole;
    Store(data);
}

AnsiString TIntegerField::GetAsString() const {
    TFieldData data;
    return Fetch(data) ? IntToStr(Round(data.Number)) : AnsiString();
}

void TIntegerField::DoSetAsString(const AnsiString& Value) {
    AnsiString text = Trim(Value);
    if (text.empty()) return Clear();
    int64_t number = 0;
    if (!TryStrToInt64(text, number)) throw EConvertError("'" + text + "' is not a valid integer value");
    DoSetAsFloat(static_cast<double>(number));
}

TVariant TIntegerField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant(static_cast<int64_t>(Round(data.Number)));
}

AnsiString TIntegerField::FormatText(bool DisplayText) const {
    TFieldData data;
    if (!Fetch(data)) return AnsiString();
    return FormatNumber(data.Number, DisplayText, IntToStr(Round(data.Number)));
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint, -32768, 32767) {}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner, ftWord, 0, 65535) {}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner, ftAutoInc, INT32_MIN, INT32_MAX) {}

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

void TFloatField::DescribeProperties(TPropertyTable& T) {
    T.Property("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
    T.Property("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue).Default(0.0);
    T.Property("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue).Default(0.0);
    T.Property("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}

void TFloatField::SetCurrency(bool Value) {
    FCurrency = Value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value) {
    FPrecision = std::clamp(Value, 2, 15);
    PropertyChanged(false);
}

bool TFloatField::IsValidChar(char C) const {
    return (C >= '0' && C <= '9') || C == '+' || C == '-' || C == 'E' || C == 'e' ||
           C == FormatSettings().DecimalSeparator;
}

double TFloatField::GetAsFloat() const {
    TFieldData data;
    return Fetch(data) ? data.Number : 0;
}

void TFloatField::DoSetAsFloat(double Value) {
    if (!std::isfinite(Value)) RangeError(Value, FMinValue, FMaxValue);
    if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
        RangeError(Value, FMinValue, FMaxValue);
    TFieldData data;
    data.Null = false;
    data.Number = Value;
    Store(data);
}

int TFloatField::GetAsInteger() const { return static_cast<int>(Round(GetAsFloat())); }

void TFloatField::DoSetAsInteger(int Value) { DoSetAsFloat(Value); }

namespace {
// FloatToStr of a whole number below 10^15 is its digits and sign: said at
// once for the number fields of the tables, which mostly hold whole numbers.
AnsiString NumberText(double Value) {
    if (std::fabs(Value) < 1e15 && Value == std::trunc(Value)) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(Value)).ptr;
        return AnsiString(digits, end);
    }
    return FloatToStr(Value);
}
}  // namespace

AnsiString TFloatField::GetAsString() const {
    TFieldData data;
    return Fetch(data) ? NumberText(data.Number) : AnsiString();
}

void TFloatField::DoSetAsString(const AnsiString& Value) {
    AnsiString text = Trim(Value);
    if (text.empty()) return Clear();
    double number = 0;
    if (!TextToFloat(text, number)) throw EConvertError("'" + text + "' is not a valid floating point value");
    DoSetAsFloat(number);
}

TVariant TFloatField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant(data.Number);
}

AnsiString TFloatField::FormatText(bool DisplayText) const {
    TFieldData data;
    if (!Fetch(data)) return AnsiString();
    const AnsiString& format = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    if (!format.empty()) return FormatFloat(format, data.Number);
    if (FCurrency)
        return FloatToStrF(data.Number, DisplayText ? ffCurrency : ffFixed, FPrecision,
                           FormatSettings().CurrencyDecimals);
    return FloatToStrF(data.Number, ffGeneral, FPrecision, 0);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataType(ftCurrency);
    SetCurrency(true);
}

TBCDField::TBCDField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataType(ftBCD);
    TField::SetSize(4);
}

void TBCDField::CheckSize(int Value) const {
    if (Value < 0 || Value > 15)
        DatabaseErrorFmt("Invalid field size %d for field '%s'", {Value, FieldName()}, this);
}

// ---------------------------------------------------------------- TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::DescribeProperties(TPropertyTable& T) {
    T.Property("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}

void TBooleanField::SetDisplayValues(const AnsiString& Value) {
    int separator = Pos(";", Value);
    AnsiString trueText = separator ? Copy(Value, 1, separator - 1) : Value;
    AnsiString falseText =
        separator ? Copy(Value, separator + 1, static_cast<int>(Value.size())) : AnsiString();
    if (trueText.empty() && falseText.empty())
        DatabaseErrorFmt("'%s' is not a valid value for DisplayValues", {Value}, this);
    FDisplayValues = Value;
    FTrueText = trueText;
    FFalseText = falseText;
    PropertyChanged(false);
}

bool TBooleanField::GetAsBoolean() const {
    TFieldData data;
    return Fetch(data) && data.Boolean;
}

void TBooleanField::DoSetAsBoolean(bool Value) {
    TFieldData data;
    data.Null = false;
    data.Boolean = Value;
    Store(data);
}

AnsiString TBooleanField::GetAsString() const {
    TFieldData data;
    if (!Fetch(data)) return AnsiString();
    return data.Boolean ? FTrueText : FFalseText;
}

void TBooleanField::DoSetAsString(const AnsiString& Value) {
    AnsiString text = Trim(Value);
    if (text.empty()) return Clear();
    // A beginning of either text is enough, as typed into a grid cell.
    auto begins = [&text](const AnsiString& Whole) {
        return !Whole.empty() && AnsiSameText(Copy(Whole, 1, static_cast<int>(text.size())), text);
    };
    if (begins(FFalseText)) DoSetAsBoolean(false);
    else if (begins(FTrueText)) DoSetAsBoolean(true);
    else throw EConvertError("'" + text + "' is not a valid boolean value");
}

int TBooleanField::GetAsInteger() const { return GetAsBoolean() ? 1 : 0; }

void TBooleanField::DoSetAsInteger(int Value) { DoSetAsBoolean(Value != 0); }

TVariant TBooleanField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant(data.Boolean);
}

void TBooleanField::DoSetAsVariant(const TVariant& Value) {
    switch (Value.VarType()) {
    case varSmallint:
    case varInteger:
    case varInt64:
    case varDouble: return DoSetAsBoolean(Value.AsFloat() != 0);
    default: TField::DoSetAsVariant(Value);
    }
}

// ---------------------------------------------------------------- dates and times

TDateTimeField::TDateTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftDateTime) {}

TDateTimeField::TDateTimeField(TComponent* AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }

void TDateTimeField::DescribeProperties(TPropertyTable& T) {
    T.Property("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}

void TDateTimeField::SetDisplayFormat(const AnsiString& Value) {
    FDisplayFormat = Value;
    PropertyChanged(false);
}

double TDateTimeField::GetAsDateTime() const {
    TFieldData data;
    return Fetch(data) ? data.Number : 0;
}

void TDateTimeField::DoSetAsDateTime(double Value) {
    TFieldData data;
    data.Null = false;
    data.Number = DataType() == ftDate ? static_cast<double>(Trunc(Value)) : Value;
    Store(data);
}

double TDateTimeField::GetAsFloat() const { return GetAsDateTime(); }

void TDateTimeField::DoSetAsFloat(double Value) { DoSetAsDateTime(Value); }

AnsiString TDateTimeField::FormatText(bool DisplayText) const {
    TFieldData data;
    if (!Fetch(data)) return AnsiString();
    if (DisplayText && !FDisplayFormat.empty()) return FormatDateTime(FDisplayFormat, data.Number);
    switch (DataType()) {
    case ftDate: return FormatDateTime(FormatSettings().ShortDateFormat, data.Number);
    case ftTime: return FormatDateTime(FormatSettings().LongTimeFormat, data.Number);
    default: return FormatDateTime("c", data.Number);
    }
}

AnsiString TDateTimeField::GetAsString() const { return FormatText(false); }

void TDateTimeField::DoSetAsString(const AnsiString& Value) {
    AnsiString text = Trim(Value);
    if (text.empty()) return Clear();
    switch (DataType()) {
    case ftDate: return DoSetAsDateTime(StrToDate(text));
    case ftTime: return DoSetAsDateTime(StrToTime(text));
    default: return DoSetAsDateTime(StrToDateTime(text));
    }
}

TVariant TDateTimeField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant::FromDate(data.Number);
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner, ftDate) {}

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) {}

// ---------------------------------------------------------------- blobs

TBlobField::TBlobField(TComponent* AOwner) : TBlobField(AOwner, ftBlob) {}

TBlobField::TBlobField(TComponent* AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }

void TBlobField::CheckSize(int Value) const {
    if (Value < 0) DatabaseErrorFmt("Invalid field size %d for field '%s'", {Value, FieldName()}, this);
}

int TBlobField::BlobSize() const { return static_cast<int>(AsString().size()); }

AnsiString TBlobField::GetAsString() const {
    TFieldData data;
    if (!Fetch(data)) return {};
    return std::move(data.Text);
}

void TBlobField::DoSetAsString(const AnsiString& Value) {
    TFieldData data;
    data.Null = Value.empty();
    data.Text = Value;
    Store(data);
}

void TBlobField::LoadFromStream(TStream& Stream) {
    Stream.Seek(0, soBeginning);
    AnsiString text(static_cast<size_t>(Stream.Size()), '\0');
    int64_t read = text.empty() ? 0 : Stream.Read(text.data(), static_cast<int64_t>(text.size()));
    text.resize(static_cast<size_t>(std::max<int64_t>(read, 0)));
    DoSetAsString(text);
}

void TBlobField::SaveToStream(TStream& Stream) const {
    AnsiString text = AsString();
    if (!text.empty()) Stream.Write(text.data(), static_cast<int64_t>(text.size()));
}

void TField::Assign(TPersistent* Source) {
    auto* field = dynamic_cast<TField*>(Source);
    if (!field) return TComponent::Assign(Source);
    if (field->IsNull()) Clear();
    else SetAsVariant(field->AsVariant());
}

void TBlobField::Assign(TPersistent* Source) {
    if (auto* lines = dynamic_cast<TStrings*>(Source)) return DoSetAsString(lines->Text());
    if (auto* field = dynamic_cast<TField*>(Source)) return DoSetAsString(field->AsString());
    TField::Assign(Source);
}

void TBlobField::AssignTo(TPersistent* Dest) {
    if (auto* lines = dynamic_cast<TStrings*>(Dest)) return lines->SetText(AsString());
    TField::AssignTo(Dest);
}

AnsiString TBlobField::FormatText(bool DisplayText) const {
    if (!DisplayText) return AsString();
    bool empty = IsNull();
    if (DataType() == ftMemo) return empty ? "(Memo)" : "(MEMO)";
    if (DataType() == ftGraphic) return empty ? "(Graphic)" : "(GRAPHIC)";
    return empty ? "(Blob)" : "(BLOB)";
}

TVariant TBlobField::GetAsVariant() const {
    TFieldData data;
    if (!Fetch(data)) return TVariant::Null();
    return TVariant(data.Text);
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) {}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner, ftGraphic) {}

const TClassInfo* DefaultFieldClass(TFieldType Type) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return &TStringField::StaticClassInfo();
    case ftSmallint: return &TSmallintField::StaticClassInfo();
    case ftInteger: return &TIntegerField::StaticClassInfo();
    case ftWord: return &TWordField::StaticClassInfo();
    case ftAutoInc: return &TAutoIncField::StaticClassInfo();
    case ftFloat: return &TFloatField::StaticClassInfo();
    case ftCurrency: return &TCurrencyField::StaticClassInfo();
    case ftBCD: return &TBCDField::StaticClassInfo();
    case ftBoolean: return &TBooleanField::StaticClassInfo();
    case ftDate: return &TDateField::StaticClassInfo();
    case ftTime: return &TTimeField::StaticClassInfo();
    case ftDateTime: return &TDateTimeField::StaticClassInfo();
    case ftMemo:
    case ftFmtMemo: return &TMemoField::StaticClassInfo();
    case ftBlob: return &TBlobField::StaticClassInfo();
    case ftGraphic: return &TGraphicField::StaticClassInfo();
    default: return nullptr;
    }
}

// ---------------------------------------------------------------- TFields

TField* TFields::Fields(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FList[static_cast<size_t>(Index)];
}

int TFields::IndexOf(const TField* Field) const {
    auto it = std::find(FList.begin(), FList.end(), Field);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

size_t TFields::TFoldHash::operator()(std::string_view Name) const {
    size_t h = 14695981039346656037u;
    for (char c : Name)
        h = (h ^ static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c)) * 1099511628211u;
    return h;
}

bool TFields::TFoldEqual::operator()(std::string_view A, std::string_view B) const { return SameText(A, B); }

TField* TFields::FindField(std::string_view FieldName) const {
    if (FByName.empty() && !FList.empty())
        for (TField* field : FList) FByName.emplace(field->FieldName(), field);
    auto it = FByName.find(FieldName);
    return it == FByName.end() ? nullptr : it->second;
}

TField* TFields::FieldByName(std::string_view FieldName) const {
    TField* field = FindField(FieldName);
    if (!field) DatabaseErrorFmt(DBText::FieldNotFound, {FieldName}, FDataSet);
    return field;
}

TField* TFields::FieldByNumber(int FieldNo) const {
    for (TField* field : FList)
        if (field->FieldNo() == FieldNo) return field;
    return nullptr;
}

void TFields::Add(TField* Field) {
    FList.push_back(Field);
    // A map already made takes the name in (a field of a name already there
    // does not, as in a map made anew): a table's fields are added one by
    // one, each looked up first.
    if (!FByName.empty()) FByName.emplace(Field->FieldName(), Field);
}

void TFields::Remove(TField* Field) {
    auto it = std::find(FList.begin(), FList.end(), Field);
    if (it != FList.end()) FList.erase(it);
    NamesChanged();
}

void TFields::Move(int CurIndex, int NewIndex) {
    TField* field = FList[static_cast<size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, field);
    NamesChanged();
}
