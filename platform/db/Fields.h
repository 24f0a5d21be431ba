#pragma once
// The field classes: one object per column a data set shows, reading and
// writing the value of that column in the data set's current record.
//
// A field belongs to its owner (the form that declares it, or the data set
// that made it by default) and works for one data set. Fields declared before
// the data set opens are its whole field list, in their own order, bound to
// the file's fields by name; without declared fields the data set makes one
// field per file field, in file order, and frees them when it closes.
//
// Values:
// - AsString reads a text field without its trailing blanks (the file pads
//   them) and cuts a text written longer than Size. Any kind answers AsString.
// - An empty (blank) numeric or date is null: IsNull is true, AsString and
//   DisplayText are "", AsFloat and AsInteger are 0, AsDateTime is 0.
// - An empty logical is null too, and AsBoolean reads it as false.
// - Numbers as texts use the regional decimal separator (",").
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Component.h"
#include "platform/db/DB.h"

class TStream;
class TStrings;

// A value in transit between a field and its data set. Which member counts
// follows the field's kind: Text for texts and memos, Number for numbers,
// dates and times (date-time numbers), Boolean for logicals.
struct TFieldData {
    bool Null = true;
    AnsiString Text;
    double Number = 0;
    bool Boolean = false;
};

// The four ways a field's kind keeps its value.
enum class TFieldCategory { Text, Number, Boolean, DateTime };
TFieldCategory FieldCategory(TFieldType Type);

// The native layout of a value of a type (see TField::GetData): false, and
// nothing written, for Null. Texts are written zero-terminated whole.
bool FieldDataToNative(TFieldType Type, const TFieldData& Data, void* Buffer);
TFieldData NativeToFieldData(TFieldType Type, const void* Buffer);
// A float read from a text: the regional form ("2,5") or the file's ("2.5").
bool TextToFloat(std::string_view Text, double& Value);

using TFieldNotifyEvent = TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = TEvent<void(TField* Sender, AnsiString& Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField* Sender, const AnsiString& Text)>;

class TField : public TComponent {
    ZELMOR_CLASS(TField, TComponent)
    friend class TDataSet;

public:
    explicit TField(TComponent* AOwner);
    ~TField() override;
    void BeforeDestruction() override;
    static void DescribeProperties(TPropertyTable& T);

    // --- description ---
    TDataSet* DataSet() const { return FDataSet; }
    // Joins the data set's field list (at its end); the data set must be closed.
    void SetDataSet(TDataSet* Value);
    const AnsiString& FieldName() const { return FFieldName; }
    void SetFieldName(const AnsiString& Value);
    TFieldType DataType() const { return FDataType; }
    // The label of grid titles and report columns; FieldName when not set.
    // A "~" inside it starts a second title line in the grids (and shows as
    // a blank in lists and pickers).
    AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const AnsiString& Value);
    AnsiString DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth(); }
    void SetDisplayWidth(int Value);
    // Position in the data set's field list; setting it moves the field.
    int Index() const;
    void SetIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    // Not read-only, a data field (or being calculated), and a data set that
    // can be changed.
    bool CanModify() const;
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }
    bool Lookup() const { return FFieldKind == fkLookup; }
    void SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Bytes of the value in the native layout of GetData.
    virtual int DataSize() const { return 0; }
    virtual bool IsBlob() const { return false; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // 1-based position of the file field it reads; 0 for calculated and
    // lookup fields and before the data set opens.
    int FieldNo() const { return FFieldNo; }

    // --- lookups: the value is LookupResultField of the LookupDataSet record
    // whose LookupKeyFields equal this data set's KeyFields ---
    const AnsiString& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const AnsiString& Value);
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const AnsiString& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const AnsiString& Value);
    const AnsiString& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const AnsiString& Value);

    // --- editing ---
    const AnsiString& EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value);
    // Whether a typed character may go into the field (digits and signs for
    // numbers, anything for texts).
    virtual bool IsValidChar(char C) const;
    // Asks the data set's controls to put the focus on this field's control.
    void FocusControl();

    // --- values ---
    bool IsNull() const;
    void Clear();
    // From another field: its value (null stays null); anything else as TPersistent does.
    void Assign(TPersistent* Source) override;
    AnsiString AsString() const { return GetAsString(); }
    void SetAsString(const AnsiString& Value) { DoSetAsString(Value); }
    int AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(int Value) { DoSetAsInteger(Value); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double Value) { DoSetAsFloat(Value); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool Value) { DoSetAsBoolean(Value); }
    double AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(double Value) { DoSetAsDateTime(Value); }
    Currency AsCurrency() const { return DoubleToCurrency(GetAsFloat()); }
    void SetAsCurrency(Currency Value) { DoSetAsFloat(static_cast<double>(CurrencyToDouble(Value))); }
    // The value with its kind: Null, a text, an integer, a float, a date or
    // a Boolean.
    TVariant Value() const { return GetAsVariant(); }
    void SetValue(const TVariant& Value) { DoSetAsVariant(Value); }
    TVariant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const TVariant& Value) { DoSetAsVariant(Value); }
    // The edit text (OnGetText with DisplayText false, or EditFormat).
    AnsiString Text() const;
    // Through OnSetText when assigned, else as AsString.
    void SetText(const AnsiString& Value);
    AnsiString EditText() const { return Text(); }
    void SetEditText(const AnsiString& Value) { SetText(Value); }
    AnsiString DisplayText() const;
    // The value in the native layout of its type (text zero-terminated;
    // 16-bit smallint, word and logical; 32-bit integer; 8-byte float for
    // numbers; 32-bit day count since 1 January of year 1 plus one for dates;
    // 32-bit milliseconds for times; 8-byte milliseconds for date-times).
    // False, and nothing written, when the value is null.
    bool GetData(void* Buffer) const;
    void SetData(const void* Buffer);

    // Runs OnChange; the data set calls it after a change of the value.
    virtual void Change();
    // Runs OnValidate with the new value visible through the field.
    virtual void Validate();

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    // --- form streaming: a field is the child of its data set ---
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetDataType(TFieldType Value) { FDataType = Value; }
    virtual int DefaultDisplayWidth() const { return 10; }
    virtual void CheckSize(int Value) const;
    // Reads the current value through the data set: false when null.
    bool Fetch(TFieldData& Data) const;
    // The same for a bound column of a character field while no validation
    // runs, straight from the record's bytes (valid until the record window
    // changes): false (and nothing read) for any other field.
    bool FetchPlainText(std::string_view& Text) const;
    // Writes through the data set (validation, events, calculated fields).
    void Store(TFieldData& Data);
    void StoreNull();

    virtual AnsiString GetAsString() const;
    virtual void DoSetAsString(const AnsiString& Value);
    virtual int GetAsInteger() const;
    virtual void DoSetAsInteger(int Value);
    virtual double GetAsFloat() const;
    virtual void DoSetAsFloat(double Value);
    virtual bool GetAsBoolean() const;
    virtual void DoSetAsBoolean(bool Value);
    virtual double GetAsDateTime() const;
    virtual void DoSetAsDateTime(double Value);
    virtual TVariant GetAsVariant() const;
    virtual void DoSetAsVariant(const TVariant& Value);
    // The text of the value for show (DisplayText) or for editing.
    virtual AnsiString FormatText(bool DisplayText) const;
    [[noreturn]] void AccessError(const char* TypeName) const;
    [[noreturn]] void RangeError(double Value, double Min, double Max) const;
    void PropertyChanged(bool LayoutAffected);

private:
    TDataSet* FDataSet = nullptr;
    AnsiString FFieldName;
    TFieldType FDataType = ftUnknown;
    AnsiString FDisplayLabel;
    int FDisplayWidth = 0;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    TFieldKind FFieldKind = fkData;
    int FSize = 0;
    TAlignment FAlignment = taLeftJustify;
    int FFieldNo = 0;
    int FCalcSlot = -1;  // position in the record buffer's calculated area
    // Where a data field's bytes are in the record, and their dBase type
    // (set when the data set binds its fields).
    char FStorage = 0;
    int FOffset = 0, FWidth = 0;
    bool FPlainText = false;  // a text field on a character column
    AnsiString FKeyFields;
    TDataSet* FLookupDataSet = nullptr;
    AnsiString FLookupKeyFields;
    AnsiString FLookupResultField;
    AnsiString FEditMask;
    const TFieldData* FValidating = nullptr;  // the new value while OnValidate runs
};

class TStringField : public TField {
    ZELMOR_CLASS(TStringField, TField)

public:
    explicit TStringField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    int DataSize() const override { return Size() + 1; }
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool Value) { FTransliterate = Value; }
    bool FixedChar() const { return FFixedChar; }
    void SetFixedChar(bool Value) { FFixedChar = Value; }

protected:
    int DefaultDisplayWidth() const override { return Size(); }
    void CheckSize(int Value) const override;
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    int GetAsInteger() const override;
    void DoSetAsInteger(int Value) override;
    double GetAsFloat() const override;
    void DoSetAsFloat(double Value) override;
    bool GetAsBoolean() const override;
    void DoSetAsBoolean(bool Value) override;
    double GetAsDateTime() const override;
    void DoSetAsDateTime(double Value) override;
    TVariant GetAsVariant() const override;

private:
    bool FTransliterate = true;
    bool FFixedChar = false;
};

// Numbers: right-aligned, DisplayFormat and EditFormat in FormatFloat's terms.
class TNumericField : public TField {
    ZELMOR_CLASS(TNumericField, TField)

public:
    explicit TNumericField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    const AnsiString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const AnsiString& Value);
    const AnsiString& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const AnsiString& Value);

protected:
    AnsiString FormatNumber(double Value, bool DisplayText, const AnsiString& Plain) const;

private:
    AnsiString FDisplayFormat;
    AnsiString FEditFormat;
};

class TIntegerField : public TNumericField {
    ZELMOR_CLASS(TIntegerField, TNumericField)

public:
    explicit TIntegerField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    int DataSize() const override { return 4; }
    // 0 and 0: the kind's own range.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    bool IsValidChar(char C) const override;

protected:
    TIntegerField(TComponent* AOwner, TFieldType Type, int64_t Min, int64_t Max);
    int DefaultDisplayWidth() const override { return 11; }
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    int GetAsInteger() const override;
    void DoSetAsInteger(int Value) override;
    double GetAsFloat() const override;
    void DoSetAsFloat(double Value) override;
    TVariant GetAsVariant() const override;
    AnsiString FormatText(bool DisplayText) const override;

private:
    int64_t FKindMin;
    int64_t FKindMax;
    int FMinValue = 0;
    int FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
    ZELMOR_CLASS(TSmallintField, TIntegerField)

public:
    explicit TSmallintField(TComponent* AOwner);
    int DataSize() const override { return 2; }

protected:
    int DefaultDisplayWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
    ZELMOR_CLASS(TWordField, TIntegerField)

public:
    explicit TWordField(TComponent* AOwner);
    int DataSize() const override { return 2; }

protected:
    int DefaultDisplayWidth() const override { return 5; }
};

// dBase has no counter: the program gives the value, as for any integer.
class TAutoIncField : public TIntegerField {
    ZELMOR_CLASS(TAutoIncField, TIntegerField)

public:
    explicit TAutoIncField(TComponent* AOwner);
};

class TFloatField : public TNumericField {
    ZELMOR_CLASS(TFloatField, TNumericField)

public:
    explicit TFloatField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    int DataSize() const override { return 8; }
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    // Both 0: no range check.
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    bool IsValidChar(char C) const override;

protected:
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    int GetAsInteger() const override;
    void DoSetAsInteger(int Value) override;
    double GetAsFloat() const override;
    void DoSetAsFloat(double Value) override;
    TVariant GetAsVariant() const override;
    AnsiString FormatText(bool DisplayText) const override;

private:
    bool FCurrency = false;
    int FPrecision = 15;
    double FMinValue = 0;
    double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
    ZELMOR_CLASS(TCurrencyField, TFloatField)

public:
    explicit TCurrencyField(TComponent* AOwner);
};

// Size is the number of decimals.
class TBCDField : public TFloatField {
    ZELMOR_CLASS(TBCDField, TFloatField)

public:
    explicit TBCDField(TComponent* AOwner);
    int DataSize() const override { return 34; }

protected:
    void CheckSize(int Value) const override;
};

class TBooleanField : public TField {
    ZELMOR_CLASS(TBooleanField, TField)

public:
    explicit TBooleanField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    int DataSize() const override { return 2; }
    // "True;False": the texts of the two values.
    const AnsiString& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const AnsiString& Value);

protected:
    int DefaultDisplayWidth() const override { return 5; }
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    bool GetAsBoolean() const override;
    void DoSetAsBoolean(bool Value) override;
    int GetAsInteger() const override;
    void DoSetAsInteger(int Value) override;
    TVariant GetAsVariant() const override;
    void DoSetAsVariant(const TVariant& Value) override;

private:
    AnsiString FDisplayValues = "True;False";
    AnsiString FTrueText = "True";
    AnsiString FFalseText = "False";
};

class TDateTimeField : public TField {
    ZELMOR_CLASS(TDateTimeField, TField)

public:
    explicit TDateTimeField(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    int DataSize() const override { return 8; }
    const AnsiString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const AnsiString& Value);

protected:
    TDateTimeField(TComponent* AOwner, TFieldType Type);
    int DefaultDisplayWidth() const override { return 18; }
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    double GetAsDateTime() const override;
    void DoSetAsDateTime(double Value) override;
    double GetAsFloat() const override;
    void DoSetAsFloat(double Value) override;
    TVariant GetAsVariant() const override;
    AnsiString FormatText(bool DisplayText) const override;

private:
    AnsiString FDisplayFormat;
};

class TDateField : public TDateTimeField {
    ZELMOR_CLASS(TDateField, TDateTimeField)

public:
    explicit TDateField(TComponent* AOwner);
    int DataSize() const override { return 4; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    ZELMOR_CLASS(TTimeField, TDateTimeField)

public:
    explicit TTimeField(TComponent* AOwner);
    int DataSize() const override { return 4; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

// Texts of any length kept in the memo file. As lines: Assign from a
// TStrings, or assign the field to a TStrings; as bytes: the streams.
class TBlobField : public TField {
    ZELMOR_CLASS(TBlobField, TField)

public:
    explicit TBlobField(TComponent* AOwner);
    bool IsBlob() const override { return true; }
    int BlobSize() const;
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void Assign(TPersistent* Source) override;

protected:
    TBlobField(TComponent* AOwner, TFieldType Type);
    void AssignTo(TPersistent* Dest) override;
    AnsiString FormatText(bool DisplayText) const override;
    AnsiString GetAsString() const override;
    void DoSetAsString(const AnsiString& Value) override;
    TVariant GetAsVariant() const override;
    void CheckSize(int Value) const override;
};

class TMemoField : public TBlobField {
    ZELMOR_CLASS(TMemoField, TBlobField)

public:
    explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
    ZELMOR_CLASS(TGraphicField, TBlobField)

public:
    explicit TGraphicField(TComponent* AOwner);
};

// The field class a data set makes by default for a type; null for types it
// cannot show.
const TClassInfo* DefaultFieldClass(TFieldType Type);

// The fields of a data set in their order. Not an owner: fields belong to
// their components' owners.
class TFields {
public:
    explicit TFields(TDataSet* DataSet) : FDataSet(DataSet) {}
    int Count() const { return static_cast<int>(FList.size()); }
    // Raises EListError for an index out of range.
    TField* Fields(int Index) const;
    TField* operator[](int Index) const { return Fields(Index); }
    int IndexOf(const TField* Field) const;
    // Without regard to case; null when absent.
    TField* FindField(std::string_view FieldName) const;
    // Raises EDatabaseError "Field 'X' not found".
    TField* FieldByName(std::string_view FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    TDataSet* DataSet() const { return FDataSet; }
    const std::vector<TField*>& List() const { return FList; }

private:
    friend class TDataSet;
    friend class TField;
    void Add(TField* Field);
    void Remove(TField* Field);
    void Move(int CurIndex, int NewIndex);
    // A field was renamed or the list changed: the names are hashed anew
    // on the next search.
    void NamesChanged() { FByName.clear(); }
    // Names fold to upper case (ASCII, as SameText compares them).
    struct TFoldHash {
        using is_transparent = void;
        size_t operator()(std::string_view Name) const;
    };
    struct TFoldEqual {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };
    TDataSet* FDataSet;
    std::vector<TField*> FList;
    // Every field by its name (the first in the list when two share one);
    // empty until the first search after a change.
    mutable std::unordered_map<std::string, TField*, TFoldHash, TFoldEqual> FByName;
};
