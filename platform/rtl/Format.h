#pragma once
// Formatted texts: Format with type-checked arguments, and the float <-> text
// conversions. All of them read the regional settings (Regional.h) on every
// call unless a settings object is passed.
//
// Format raises EConvertError "Format '<fmt>' invalid or incompatible with
// argument" for a bad specifier, a missing argument or one of the wrong kind:
// the report views pass formats that the user typed, so a mistake there must
// end in a message, never in a crash.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Regional.h"

// A money amount: an integer count of ten-thousandths.
struct Currency {
    int64_t Value = 0;  // amount x 10000
    static constexpr Currency FromRaw(int64_t Raw) { return Currency{Raw}; }
    constexpr bool operator==(const Currency&) const = default;
};
// Rounds half away from zero to four decimals; EOverflow outside the range.
Currency DoubleToCurrency(long double Value);
long double CurrencyToDouble(Currency Value);

// One element of an "array of const": a value that carries its kind. Format
// takes its arguments as these, and so do the key searches (FindKey([value])).
class TVarRec {
public:
    enum TKind : uint8_t {
        vtInteger,
        vtInt64,
        vtExtended,
        vtCurrency,
        vtString,
        vtChar,
        vtPointer,
        vtBoolean,
        vtNull
    };

    TVarRec() : FKind(vtNull) {}
    TVarRec(std::nullptr_t) : FKind(vtPointer) {}
    TVarRec(bool B) : FKind(vtBoolean) { FInt = B; }
    TVarRec(char C) : FKind(vtChar) { FInt = static_cast<unsigned char>(C); }
    template <std::integral T>
    requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) TVarRec(T V) {
        if constexpr (std::is_signed_v<T>) FInt = static_cast<int64_t>(V);
        else FInt = static_cast<int64_t>(static_cast<uint64_t>(V));
        bool fits32 = sizeof(T) < 8 && FInt >= INT32_MIN && FInt <= INT32_MAX;
        FKind = fits32 ? vtInteger : vtInt64;
    }
    template <std::floating_point T>
    TVarRec(T V) : FKind(vtExtended), FFloat(static_cast<long double>(V)) {}
    TVarRec(Currency C) : FKind(vtCurrency) { FInt = C.Value; }
    TVarRec(const char* S) : FKind(vtString), FString(S ? S : "") {}
    TVarRec(std::string_view S) : FKind(vtString), FString(S) {}
    TVarRec(const AnsiString& S) : FKind(vtString), FString(S) {}
    template <class T>
    requires(!std::is_same_v<std::remove_cv_t<T>, char>) TVarRec(T* P) : FKind(vtPointer) {
        FInt = static_cast<int64_t>(reinterpret_cast<uintptr_t>(P));
    }
    static TVarRec Null() { return TVarRec(); }

    TKind Kind() const { return FKind; }
    bool IsNull() const { return FKind == vtNull; }
    int64_t AsInt64() const { return FInt; }  // integer, int64, char, boolean, currency (raw), pointer
    long double AsExtended() const { return FFloat; }
    const AnsiString& AsString() const { return FString; }
    char AsChar() const { return static_cast<char>(FInt); }
    bool AsBoolean() const { return FInt != 0; }
    Currency AsCurrency() const { return Currency{FInt}; }
    const void* AsPointer() const { return reinterpret_cast<const void*>(static_cast<uintptr_t>(FInt)); }

private:
    TKind FKind = vtNull;
    int64_t FInt = 0;
    long double FFloat = 0;
    AnsiString FString;
};

// The value as the key searches and messages show it: integers and floats
// as FloatToStr and IntToStr give them, booleans "True"/"False", a null value
// as the empty text.
AnsiString VarRecToText(const TVarRec& Value);

// --- Format ---
// Specifiers: "%" [index ":"] ["-"] [width] ["." precision] type, width and
// precision also as "*" (taken from an integer argument); types d u x (integers;
// precision = least digits), e f g n m (floats; "m" is money in the regional
// layout), s (text or character; precision = most characters), p (pointer),
// and "%%" for a percent sign.
AnsiString Format(std::string_view Fmt, std::initializer_list<TVarRec> Args);
AnsiString Format(std::string_view Fmt, std::span<const TVarRec> Args);
AnsiString Format(std::string_view Fmt, std::span<const TVarRec> Args, const TFormatSettings& Settings);

// --- floats to text ---
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, the shortest form: "0,3" for 0.1 + 0.2, "1E20", "1,5E-7".
AnsiString FloatToStr(long double Value);
AnsiString FloatToStr(long double Value, const TFormatSettings& Settings);
// Precision: significant digits (at most 18). Digits: ffGeneral and
// ffExponent least exponent digits (0 to 4); ffFixed, ffNumber, ffCurrency
// decimals (0 to 18). A value too large for Precision digits comes in ffGeneral.
AnsiString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);
AnsiString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                       const TFormatSettings& Settings);
AnsiString CurrToStr(Currency Value);
// The display formats of fields and report columns: up to three sections
// separated by ";" (positive; negative; zero) built of "0" and "#" digit
// places, "." (the regional decimal separator), "," (thousands grouping),
// "E+"/"E-"/"e+"/"e-" exponents and literal text in quotes. An empty format
// gives FloatToStr.
AnsiString FormatFloat(std::string_view Format, long double Value);
AnsiString FormatFloat(std::string_view Format, long double Value, const TFormatSettings& Settings);
AnsiString FormatCurr(std::string_view Format, Currency Value);

// --- text to floats ---
// Blanks around the number, a sign, digits with the regional decimal separator,
// an exponent "E+12". No thousands separators. Raises EConvertError
// "'<S>' is not a valid floating point value".
long double StrToFloat(std::string_view S);
long double StrToFloat(std::string_view S, const TFormatSettings& Settings);
bool TryStrToFloat(std::string_view S, long double& Value);
bool TryStrToFloat(std::string_view S, double& Value);
bool TryStrToFloat(std::string_view S, long double& Value, const TFormatSettings& Settings);
long double StrToFloatDef(std::string_view S, long double Default);
Currency StrToCurr(std::string_view S);
bool TryStrToCurr(std::string_view S, Currency& Value);

// The decimal digits of a value, as the float texts build on them: Digits
// holds at most Precision significant digits without trailing zeros (empty
// for zero), and the value is 0.Digits x 10^Exponent. Rounding goes first to
// Precision significant digits and then, half away from zero, to Decimals
// places after the point, as the display formats of this platform always did
// ("0.00" shows 2.675 as 2,68).
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    bool Special = false;  // infinity or not-a-number: Digits holds "INF" or "NAN"
    AnsiString Digits;
};
TFloatRec FloatToDecimal(long double Value, int Precision, int Decimals);
