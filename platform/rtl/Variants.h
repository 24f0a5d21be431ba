#pragma once
// TVariant: a value that carries its type, as field values, locate keys and
// parameters pass around. Unassigned (empty) and Null are distinct: Null is
// a database's "no value". Conversions follow the regional settings; one
// that cannot be made raises EVariantError "Could not convert variant of
// type (<from>) into type (<to>)".
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"

enum TVarType : uint16_t {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varInt64 = 0x0014,
    varString = 0x0100,
    varArray = 0x2000,
};

class TVariant {
public:
    TVariant() = default;  // Unassigned
    static TVariant Null();
    template <std::integral T>
    requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) TVariant(T V)
        : FInt(static_cast<int64_t>(V)) {
        FType = sizeof(T) < 8 && FInt >= INT32_MIN && FInt <= INT32_MAX ? varInteger : varInt64;
    }
    template <std::floating_point T>
    TVariant(T V) : FType(varDouble), FFloat(static_cast<double>(V)) {}
    TVariant(bool V) : FType(varBoolean), FInt(V ? 1 : 0) {}
    TVariant(char V) : FType(varString), FString(1, V) {}
    TVariant(Currency V) : FType(varCurrency), FInt(V.Value) {}
    TVariant(const char* V) : FType(varString), FString(V ? V : "") {}
    TVariant(std::string_view V) : FType(varString), FString(V) {}
    TVariant(const AnsiString& V) : FType(varString), FString(V) {}
    static TVariant FromDate(TDateTime V);
    // An array of variants with the given bounds (VarArrayCreate).
    static TVariant Array(int LowBound, int HighBound);

    TVarType VarType() const { return FType; }
    bool IsEmpty() const { return FType == varEmpty; }
    bool IsNull() const { return FType == varNull; }
    bool IsArray() const { return FType == (varArray | varVariant); }

    int AsInteger() const;  // floats round half to even; True is -1
    int64_t AsInt64() const;
    double AsFloat() const;
    bool AsBoolean() const;
    AnsiString AsString() const;  // Null raises; Unassigned is ""
    TDateTime AsDateTime() const;
    Currency AsCurrency() const;

    // Arrays: EVariantError "Variant is not an array" on another type and
    // "Variant array index out of bounds" outside the bounds.
    int ArrayLowBound() const;
    int ArrayHighBound() const;
    const TVariant& operator[](int Index) const;
    TVariant& operator[](int Index);

    // The element of an "array of const": integers, floats, texts and booleans
    // keep their kind; Null and Unassigned become the null element.
    TVarRec ToVarRec() const;
    // The name of a type as the conversion errors give it ("Integer", "String").
    static const char* TypeName(TVarType Type);

private:
    [[noreturn]] void CastError(TVarType To) const;
    TVarType FType = varEmpty;
    int64_t FInt = 0;
    double FFloat = 0;
    AnsiString FString;
    int FLowBound = 0;
    std::vector<TVariant> FItems;
};

inline TVariant Unassigned() { return TVariant(); }
inline TVariant NullVariant() { return TVariant::Null(); }
bool VarIsNull(const TVariant& V);
bool VarIsEmpty(const TVariant& V);
bool VarIsArray(const TVariant& V);
// Null and Unassigned give ""; every other value its text.
AnsiString VarToStr(const TVariant& V);
// A zero-based array of the given values (the keys of a multi-field Locate).
TVariant VarArrayOf(std::initializer_list<TVariant> Values);
int VarArrayLowBound(const TVariant& V);
int VarArrayHighBound(const TVariant& V);
