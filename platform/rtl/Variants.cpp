#include "platform/rtl/Variants.h"

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

TVariant TVariant::Null() {
    TVariant v;
    v.FType = varNull;
    return v;
}

TVariant TVariant::FromDate(TDateTime V) {
    TVariant v;
    v.FType = varDate;
    v.FFloat = V;
    return v;
}

TVariant TVariant::Array(int LowBound, int HighBound) {
    TVariant v;
    v.FType = static_cast<TVarType>(varArray | varVariant);
    v.FLowBound = LowBound;
    if (HighBound >= LowBound) v.FItems.resize(static_cast<size_t>(HighBound - LowBound + 1));
    return v;
}

const char* TVariant::TypeName(TVarType Type) {
    switch (static_cast<unsigned>(Type)) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varBoolean: return "Boolean";
    case varInt64: return "Int64";
    case varString: return "String";
    case varArray | varVariant: return "Array Variant";
    default: return "Unknown";
    }
}

void TVariant::CastError(TVarType To) const {
    throw EVariantError(AnsiString("Could not convert variant of type (") + TypeName(FType) +
                        ") into type (" + TypeName(To) + ")");
}

int64_t TVariant::AsInt64() const {
    switch (FType) {
    case varEmpty: return 0;
    case varInteger:
    case varInt64: return FInt;
    case varBoolean: return FInt ? -1 : 0;
    case varCurrency: return Round(CurrencyToDouble(Currency{FInt}));
    case varDouble:
    case varDate:
        if (!std::isfinite(FFloat) || std::fabs(FFloat) >= 9.2e18) break;
        return Round(FFloat);
    case varString: {
        int64_t i;
        if (TryStrToInt64(Trim(FString), i)) return i;
        long double f;
        if (TryStrToFloat(FString, f) && std::fabs(f) < 9.2e18L) return Round(f);
        break;
    }
    default: break;
    }
    CastError(varInt64);
}

int TVariant::AsInteger() const {
    int64_t v;
    try {
        v = AsInt64();
    } catch (const EVariantError&) {
        CastError(varInteger);
    }
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) CastError(varInteger);
    return static_cast<int>(v);
}

double TVariant::AsFloat() const {
    switch (FType) {
    case varEmpty: return 0;
    case varInteger:
    case varInt64: return static_cast<double>(FInt);
    case varBoolean: return FInt ? -1 : 0;
    case varCurrency: return static_cast<double>(CurrencyToDouble(Currency{FInt}));
    case varDouble:
    case varDate: return FFloat;
    case varString: {
        double d;
        if (TryStrToFloat(FString, d)) return d;
        break;
    }
    default: break;
    }
    CastError(varDouble);
}

bool TVariant::AsBoolean() const {
    switch (FType) {
    case varEmpty: return false;
    case varInteger:
    case varInt64:
    case varBoolean:
    case varCurrency: return FInt != 0;
    case varDouble:
    case varDate: return FFloat != 0;
    case varString: {
        AnsiString t = Trim(FString);
        if (SameText(t, "True")) return true;
        if (SameText(t, "False")) return false;
        long double f;
        if (TryStrToFloat(t, f)) return f != 0;
        break;
    }
    default: break;
    }
    CastError(varBoolean);
}

AnsiString TVariant::AsString() const {
    switch (FType) {
    case varEmpty: return {};
    case varInteger:
    case varInt64: return IntToStr(FInt);
    case varBoolean: return FInt ? "True" : "False";
    case varCurrency: return CurrToStr(Currency{FInt});
    case varDouble: return FloatToStr(FFloat);
    case varDate: return DateTimeToStr(FFloat);
    case varString: return FString;
    default: break;
    }
    CastError(varString);
}

TDateTime TVariant::AsDateTime() const {
    switch (FType) {
    case varDate:
    case varDouble: return FFloat;
    case varEmpty: return 0;
    case varInteger:
    case varInt64: return static_cast<double>(FInt);
    case varString: {
        TDateTime d;
        if (TryStrToDateTime(FString, d)) return d;
        break;
    }
    default: break;
    }
    CastError(varDate);
}

Currency TVariant::AsCurrency() const {
    if (FType == varCurrency) return Currency{FInt};
    if (FType == varNull || FType == (varArray | varVariant)) CastError(varCurrency);
    try {
        return DoubleToCurrency(AsFloat());
    } catch (const EMathError&) {
        CastError(varCurrency);
    } catch (const EVariantError&) {
        CastError(varCurrency);
    }
}

int TVariant::ArrayLowBound() const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return FLowBound;
}

int TVariant::ArrayHighBound() const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return FLowBound + static_cast<int>(FItems.size()) - 1;
}

const TVariant& TVariant::operator[](int Index) const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    if (Index < FLowBound || Index > ArrayHighBound())
        throw EVariantError("Variant array index out of bounds");
    return FItems[static_cast<size_t>(Index - FLowBound)];
}

TVariant& TVariant::operator[](int Index) {
    return const_cast<TVariant&>(static_cast<const TVariant&>(*this)[Index]);
}

TVarRec TVariant::ToVarRec() const {
    switch (FType) {
    case varInteger: return TVarRec(static_cast<int>(FInt));
    case varInt64: return TVarRec(FInt);
    case varBoolean: return TVarRec(FInt != 0);
    case varCurrency: return TVarRec(Currency{FInt});
    case varDouble:
    case varDate: return TVarRec(FFloat);
    case varString: return TVarRec(FString);
    case varEmpty:
    case varNull: return TVarRec::Null();
    default: break;
    }
    throw EVariantError("Variant array cannot be an array of const element");
}

bool VarIsNull(const TVariant& V) { return V.IsNull(); }
bool VarIsEmpty(const TVariant& V) { return V.IsEmpty(); }
bool VarIsArray(const TVariant& V) { return V.IsArray(); }

AnsiString VarToStr(const TVariant& V) {
    if (V.IsNull() || V.IsEmpty()) return {};
    return V.AsString();
}

TVariant VarArrayOf(std::initializer_list<TVariant> Values) {
    TVariant a = TVariant::Array(0, static_cast<int>(Values.size()) - 1);
    int i = 0;
    for (const TVariant& v : Values) a[i++] = v;
    return a;
}

int VarArrayLowBound(const TVariant& V) { return V.ArrayLowBound(); }
int VarArrayHighBound(const TVariant& V) { return V.ArrayHighBound(); }
