#pragma once
// Parameters: named, typed values handed to statements, and the library's
// carrier of a field value read from a record being filtered.
#include "platform/classes/Collection.h"
#include "platform/db/DB.h"

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };
ZELMOR_DECLARE_ENUM(TParamType);

class TParam : public TCollectionItem {
    ZELMOR_CLASS(TParam, TCollectionItem)

public:
    explicit TParam(TCollection* Collection);
    TParam(TCollection* Collection, TParamType ParamType);
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) { FName = Value; }
    TFieldType DataType() const { return FDataType; }
    // Converts the value held to the new type (Null stays Null).
    void SetDataType(TFieldType Value);
    TParamType ParamType() const { return FParamType; }
    void SetParamType(TParamType Value) { FParamType = Value; }
    bool Bound() const { return FBound; }
    void SetBound(bool Value) { FBound = Value; }

    bool IsNull() const { return FValue.IsNull() || FValue.IsEmpty(); }
    void Clear();
    TVariant Value() const { return FValue; }
    // Takes the value's own type when DataType is still ftUnknown.
    void SetValue(const TVariant& Value);
    AnsiString AsString() const;
    void SetAsString(const AnsiString& Value);
    int AsInteger() const;
    void SetAsInteger(int Value);
    double AsFloat() const;
    void SetAsFloat(double Value);
    bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    double AsDateTime() const;
    void SetAsDateTime(double Value);
    Currency AsCurrency() const;
    void SetAsCurrency(Currency Value);

    // Name, type and value of a field.
    void AssignField(const TField* Field);
    // Type and value of a field, keeping the name.
    void AssignFieldValue(const TField* Field, const TVariant& Value);
    // The value from a buffer in the native layout of DataType (TField::GetData).
    void SetData(const void* Buffer);
    // Writes the native layout of DataType; false when Null.
    bool GetData(void* Buffer) const;
    // Bytes of the native layout of DataType (texts: length plus the zero).
    int GetDataSize() const;

    AnsiString DisplayName() const override { return FName; }
    void Assign(TPersistent* Source) override;

private:
    AnsiString FName;
    TFieldType FDataType = ftUnknown;
    TParamType FParamType = ptUnknown;
    TVariant FValue;
    bool FBound = false;
};

class TParams : public TOwnedCollection {
    ZELMOR_CLASS(TParams, TOwnedCollection)

public:
    explicit TParams(TPersistent* Owner = nullptr);

    TParam* Items(int Index) const;
    TParam* operator[](int Index) const { return Items(Index); }
    TParam* AddParam();
    TParam* CreateParam(TFieldType DataType, const AnsiString& Name, TParamType ParamType);
    // Without regard to case; null when absent.
    TParam* FindParam(std::string_view Name) const;
    // Raises EDatabaseError "Parameter 'X' not found".
    TParam* ParamByName(std::string_view Name) const;
    bool IsEqual(const TParams& Other) const;
};
