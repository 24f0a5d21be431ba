#include "platform/rtl/Format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

// The float texts of the old runtime worked on at most 15 significant digits
// of a double: that is what hides the binary noise (0.1 + 0.2 shows as 0,3)
// and makes 2.675 round up in a two-decimal column.
static constexpr int kDoubleDigits = 15;

TFloatRec FloatToDecimal(long double Value, int Precision, int Decimals) {
    TFloatRec r;
    if (std::isnan(Value)) {
        r.Special = true;
        r.Digits = "NAN";
        return r;
    }
    if (std::isinf(Value)) {
        r.Special = true;
        r.Negative = Value < 0;
        r.Digits = "INF";
        return r;
    }
    if (Value == 0) return r;
    if (Precision < 1) Precision = 1;
    if (Precision > 18) Precision = 18;
    r.Negative = Value < 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", Precision - 1, std::fabs(Value));
    AnsiString digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    int exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    r.Exponent = exp10 + 1;
    // Second rounding, half away from zero on the decimal digits.
    long keep = static_cast<long>(r.Exponent) + Decimals;
    if (keep < static_cast<long>(digits.size())) {
        if (keep < 0) {
            digits.clear();
        } else {
            bool up = digits[static_cast<size_t>(keep)] >= '5';
            digits.resize(static_cast<size_t>(keep));
            if (up) {
                int i = static_cast<int>(digits.size()) - 1;
                while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
                    digits[static_cast<size_t>(i--)] = '0';
                if (i >= 0) {
                    ++digits[static_cast<size_t>(i)];
                } else {
                    digits.insert(digits.begin(), '1');
                    ++r.Exponent;
                }
            }
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.empty()) {
        r.Exponent = 0;
        r.Negative = false;  // a value that rounds to nothing shows no sign
    }
    r.Digits = digits;
    return r;
}

namespace {

AnsiString SpecialText(const TFloatRec& r) {
    if (r.Digits == "INF") return r.Negative ? "-INF" : "INF";
    return r.Digits;
}

AnsiString ExponentText(int Exp, int MinDigits, bool AlwaysSign) {
    AnsiString digits = IntToStr(Exp < 0 ? -static_cast<int64_t>(Exp) : Exp);
    while (static_cast<int>(digits.size()) < MinDigits) digits.insert(digits.begin(), '0');
    if (Exp < 0) return "-" + digits;
    return AlwaysSign ? "+" + digits : digits;
}

AnsiString Group(const AnsiString& IntDigits, char Separator) {
    AnsiString out;
    size_t n = IntDigits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0 && Separator) out += Separator;
        out += IntDigits[i];
    }
    return out;
}

AnsiString FormatGeneral(const TFloatRec& r, int Precision, int Digits, const TFormatSettings& s) {
    if (r.Digits.empty()) return "0";
    AnsiString out = r.Negative ? "-" : "";
    const AnsiString& d = r.Digits;
    if (r.Exponent > Precision || r.Exponent < -3) {
        out += d[0];
        if (d.size() > 1) out += s.DecimalSeparator + d.substr(1);
        out += 'E';
        out += ExponentText(r.Exponent - 1, Digits, false);
        return out;
    }
    if (r.Exponent <= 0) {
        out += '0';
        out += s.DecimalSeparator;
        out += AnsiString(static_cast<size_t>(-r.Exponent), '0') + d;
        return out;
    }
    size_t e = static_cast<size_t>(r.Exponent);
    if (d.size() <= e) return out + d + AnsiString(e - d.size(), '0');
    return out + d.substr(0, e) + s.DecimalSeparator + d.substr(e);
}

AnsiString FormatExponent(const TFloatRec& r, int Precision, int Digits, const TFormatSettings& s) {
    AnsiString d = r.Digits;
    int exp = d.empty() ? 0 : r.Exponent - 1;
    d.resize(static_cast<size_t>(Precision), '0');
    AnsiString out = r.Negative ? "-" : "";
    out += d[0];
    if (Precision > 1) out += s.DecimalSeparator + d.substr(1);
    return out + "E" + ExponentText(exp, Digits, true);
}

// The unsigned text of a value with Digits decimals, grouped when asked.
AnsiString FixedDigits(const TFloatRec& r, int Digits, bool Grouped, const TFormatSettings& s) {
    const AnsiString& d = r.Digits;
    AnsiString intPart;
    if (r.Exponent <= 0 || d.empty()) intPart = "0";
    else {
        size_t e = static_cast<size_t>(r.Exponent);
        intPart = d.size() >= e ? d.substr(0, e) : d + AnsiString(e - d.size(), '0');
    }
    AnsiString out = Grouped ? Group(intPart, s.ThousandSeparator) : intPart;
    if (Digits > 0) {
        out += s.DecimalSeparator;
        for (int i = 0; i < Digits; ++i) {
            long idx = static_cast<long>(r.Exponent) + i;
            out += (!d.empty() && idx >= 0 && idx < static_cast<long>(d.size())) ? d[static_cast<size_t>(idx)]
                                                                                 : '0';
        }
    }
    return out;
}

AnsiString PlaceCurrency(const AnsiString& Amount, bool Negative, const TFormatSettings& s) {
    const AnsiString& c = s.CurrencyString;
    if (!Negative) {
        switch (s.CurrencyFormat) {
        case 0: return c + Amount;
        case 1: return Amount + c;
        case 2: return c + " " + Amount;
        default: return Amount + " " + c;
        }
    }
    switch (s.NegCurrFormat) {
    case 0: return "(" + c + Amount + ")";
    case 1: return "-" + c + Amount;
    case 2: return c + "-" + Amount;
    case 3: return c + Amount + "-";
    case 4: return "(" + Amount + c + ")";
    case 5: return "-" + Amount + c;
    case 6: return Amount + "-" + c;
    case 7: return Amount + c + "-";
    case 8: return "-" + Amount + " " + c;
    case 9: return "-" + c + " " + Amount;
    case 10: return Amount + " " + c + "-";
    case 11: return c + " " + Amount + "-";
    case 12: return c + " -" + Amount;
    case 13: return Amount + "- " + c;
    case 14: return "(" + c + " " + Amount + ")";
    default: return "(" + Amount + " " + c + ")";
    }
}

[[noreturn]] void FormatError(std::string_view Fmt) {
    throw EConvertError("Format '" + AnsiString(Fmt) + "' invalid or incompatible with argument");
}

bool IsInteger(const TVarRec& a) { return a.Kind() == TVarRec::vtInteger || a.Kind() == TVarRec::vtInt64; }

bool FloatArg(const TVarRec& a, long double& v) {
    if (a.Kind() == TVarRec::vtExtended) v = a.AsExtended();
    else if (a.Kind() == TVarRec::vtCurrency) v = CurrencyToDouble(a.AsCurrency());
    else return false;
    return true;
}

AnsiString HexDigits(uint64_t v) {
    static const char* hex = "0123456789ABCDEF";
    AnsiString r;
    do {
        r.insert(r.begin(), hex[v & 15]);
        v >>= 4;
    } while (v);
    return r;
}

}  // namespace

Currency DoubleToCurrency(long double Value) {
    long double scaled = Value * 10000.0L;
    if (!(std::fabs(scaled) < 9.2233720368547758e18L)) throw EOverflow("Floating point overflow");
    return Currency{static_cast<int64_t>(std::llroundl(scaled))};
}

long double CurrencyToDouble(Currency Value) { return static_cast<long double>(Value.Value) / 10000.0L; }

AnsiString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                       const TFormatSettings& s) {
    if (Precision < 1) Precision = 1;
    if (Precision > 18) Precision = 18;
    if (Digits < 0) Digits = 0;
    if (Digits > 18) Digits = 18;
    switch (Format) {
    case ffGeneral:
    case ffExponent: {
        TFloatRec r = FloatToDecimal(Value, Precision, 9999);
        if (r.Special) return SpecialText(r);
        return Format == ffGeneral ? FormatGeneral(r, Precision, std::min(Digits, 4), s)
                                   : FormatExponent(r, Precision, std::min(Digits, 4), s);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        TFloatRec r = FloatToDecimal(Value, Precision, Digits);
        if (r.Special) return SpecialText(r);
        if (r.Exponent > Precision)
            return FormatGeneral(FloatToDecimal(Value, Precision, 9999), Precision, 0, s);
        AnsiString amount = FixedDigits(r, Digits, Format != ffFixed, s);
        if (Format == ffCurrency) return PlaceCurrency(amount, r.Negative, s);
        return r.Negative ? "-" + amount : amount;
    }
    }
    return {};
}

AnsiString FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits) {
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings());
}

AnsiString FloatToStr(long double Value, const TFormatSettings& s) {
    return FloatToStrF(Value, ffGeneral, kDoubleDigits, 0, s);
}
AnsiString FloatToStr(long double Value) { return FloatToStr(Value, FormatSettings()); }

AnsiString CurrToStr(Currency Value) {
    return FloatToStrF(CurrencyToDouble(Value), ffGeneral, 19, 0, FormatSettings());
}

// --- display formats ---
namespace {

struct Section {
    std::string_view Text;
    int IntPlaces = 0;     // digit places before the decimal point
    int IntMin = 0;        // of them, from the first "0" on
    int DecMax = 0;        // digit places after the point
    int DecMin = 0;        // up to the last "0" after the point
    bool Grouped = false;  // a "," anywhere
    bool HasPoint = false;
    bool Scientific = false;
};

Section Scan(std::string_view t) {
    Section s;
    s.Text = t;
    bool afterPoint = false;
    int firstZero = -1;
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c == '"' || c == '\'') {
            size_t j = t.find(c, i + 1);
            i = j == std::string_view::npos ? t.size() : j;
            continue;
        }
        if ((c == 'E' || c == 'e') && i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) {
            s.Scientific = true;
            break;
        }
        if (c == '0' || c == '#') {
            if (afterPoint) {
                ++s.DecMax;
                if (c == '0') s.DecMin = s.DecMax;
            } else {
                if (c == '0' && firstZero < 0) firstZero = s.IntPlaces;
                ++s.IntPlaces;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            s.HasPoint = true;
        } else if (c == ',') {
            s.Grouped = true;
        }
    }
    s.IntMin = firstZero < 0 ? 0 : s.IntPlaces - firstZero;
    return s;
}

std::vector<std::string_view> SplitSections(std::string_view f) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (c == '"' || c == '\'') {
            size_t j = f.find(c, i + 1);
            i = j == std::string_view::npos ? f.size() - 1 : j;
        } else if (c == ';') {
            out.push_back(f.substr(start, i - start));
            start = i + 1;
            if (out.size() == 2) break;  // a third ";" belongs to the zero section
        }
    }
    out.push_back(f.substr(start));
    return out;
}

// Writes the unsigned value into the section's places.
AnsiString Render(const Section& s, long double AbsValue, const TFormatSettings& st) {
    AnsiString intStr, decStr;
    int exponent = 0;
    if (s.Scientific) {
        int sig = std::max(1, s.IntPlaces) + s.DecMax;
        TFloatRec r = FloatToDecimal(AbsValue, std::min(sig, kDoubleDigits), 9999);
        int lead = std::max(1, s.IntPlaces);
        if (!r.Digits.empty()) exponent = r.Exponent - lead;
        AnsiString d = r.Digits;
        if (d.empty()) d.assign(1, '0');
        if (d.size() < static_cast<size_t>(lead)) d.append(static_cast<size_t>(lead) - d.size(), '0');
        intStr = d.substr(0, static_cast<size_t>(lead));
        decStr = d.substr(static_cast<size_t>(lead));
        if (s.IntPlaces == 0 && intStr == "0") intStr.clear();
    } else {
        TFloatRec r = FloatToDecimal(AbsValue, kDoubleDigits, s.DecMax);
        const AnsiString& d = r.Digits;
        if (!d.empty() && r.Exponent > 0) {
            size_t e = static_cast<size_t>(r.Exponent);
            intStr = d.size() >= e ? d.substr(0, e) : d + AnsiString(e - d.size(), '0');
            if (d.size() > e) decStr = d.substr(e);
        } else if (!d.empty()) {
            decStr = AnsiString(static_cast<size_t>(-r.Exponent), '0') + d;
        }
    }
    while (static_cast<int>(intStr.size()) < s.IntMin) intStr.insert(intStr.begin(), '0');
    while (static_cast<int>(decStr.size()) < s.DecMin) decStr += '0';
    // Trailing zeros beyond the "0" places are not shown.
    while (static_cast<int>(decStr.size()) > s.DecMin && decStr.back() == '0') decStr.pop_back();

    const int n = static_cast<int>(intStr.size());
    const char sep = s.Grouped ? st.ThousandSeparator : 0;
    auto emitInt = [&](AnsiString& out, int from, int to) {
        for (int j = std::max(from, 0); j < std::min(to, n); ++j) {
            if (sep && j > 0 && (n - j) % 3 == 0) out += sep;
            out += intStr[static_cast<size_t>(j)];
        }
    };

    AnsiString out;
    std::string_view t = s.Text;
    int intPlace = 0, decPlace = 0;
    bool afterPoint = false, intDone = s.IntPlaces > 0, afterExponent = false;
    auto flushBarePoint = [&]() {
        // A format without integer places still shows the integer digits.
        if (!intDone) {
            emitInt(out, 0, n);
            intDone = true;
        }
    };
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c == '"' || c == '\'') {
            size_t j = t.find(c, i + 1);
            size_t end = j == std::string_view::npos ? t.size() : j;
            out.append(t.substr(i + 1, end - i - 1));
            i = end;
            continue;
        }
        if (afterExponent) {
            // Scan stopped at the exponent: what follows it is text.
            out += c;
            continue;
        }
        if (s.Scientific && (c == 'E' || c == 'e') && i + 1 < t.size() &&
            (t[i + 1] == '+' || t[i + 1] == '-')) {
            flushBarePoint();
            bool always = t[i + 1] == '+';
            int digits = 0;
            size_t k = i + 2;
            while (k < t.size() && t[k] == '0') ++digits, ++k;
            out += c;
            out += ExponentText(exponent, std::min(digits, 4), always);
            i = k - 1;
            afterExponent = true;
            continue;
        }
        if (c == '0' || c == '#') {
            if (afterPoint) {
                if (decPlace < static_cast<int>(decStr.size())) out += decStr[static_cast<size_t>(decPlace)];
                ++decPlace;
            } else {
                int pos = n - s.IntPlaces + intPlace;  // index of the digit this place shows
                if (intPlace == 0) emitInt(out, 0, pos + 1);
                else if (pos >= 0) emitInt(out, pos, pos + 1);
                ++intPlace;
            }
            continue;
        }
        if (c == '.' && !afterPoint) {
            flushBarePoint();
            afterPoint = true;
            if (!decStr.empty()) out += st.DecimalSeparator;
            continue;
        }
        if (c == ',') continue;
        out += c;
    }
    flushBarePoint();
    return out;
}

}  // namespace

AnsiString FormatFloat(std::string_view Fmt, long double Value, const TFormatSettings& st) {
    if (Fmt.empty() || std::isnan(Value) || std::isinf(Value)) return FloatToStr(Value, st);
    std::vector<std::string_view> sections = SplitSections(Fmt);
    bool negative = Value < 0;
    long double absValue = std::fabs(Value);
    size_t which = (negative && sections.size() >= 2 && !sections[1].empty()) ? 1 : 0;
    Section sec = Scan(sections[which]);
    bool roundsToZero =
        sec.Scientific ? Value == 0 : FloatToDecimal(absValue, kDoubleDigits, sec.DecMax).Digits.empty();
    if (roundsToZero) {
        if (sections.size() >= 3 && !sections[2].empty()) return Render(Scan(sections[2]), 0, st);
        if (which == 1) sec = Scan(sections[0]);
        return Render(sec, 0, st);
    }
    AnsiString body = Render(sec, absValue, st);
    return (negative && which == 0) ? "-" + body : body;
}

AnsiString FormatFloat(std::string_view Fmt, long double Value) {
    return FormatFloat(Fmt, Value, FormatSettings());
}

AnsiString FormatCurr(std::string_view Fmt, Currency Value) {
    return FormatFloat(Fmt, CurrencyToDouble(Value));
}

// --- text to floats ---
bool TryStrToFloat(std::string_view S, long double& Value, const TFormatSettings& st) {
    size_t i = 0, n = S.size();
    while (i < n && S[i] == ' ') ++i;
    while (n > i && S[n - 1] == ' ') --n;
    AnsiString c;
    if (i < n && (S[i] == '+' || S[i] == '-')) c += S[i++];
    size_t digits = 0;
    while (i < n && S[i] >= '0' && S[i] <= '9') c += S[i++], ++digits;
    if (i < n && S[i] == st.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < n && S[i] >= '0' && S[i] <= '9') c += S[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (S[i] == 'E' || S[i] == 'e')) {
        c += 'e';
        ++i;
        if (i < n && (S[i] == '+' || S[i] == '-')) c += S[i++];
        size_t expDigits = 0;
        while (i < n && S[i] >= '0' && S[i] <= '9') c += S[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    long double v = std::strtold(c.c_str(), nullptr);
    if (std::isinf(v)) return false;
    Value = v;
    return true;
}

bool TryStrToFloat(std::string_view S, long double& Value) {
    return TryStrToFloat(S, Value, FormatSettings());
}

bool TryStrToFloat(std::string_view S, double& Value) {
    long double v;
    if (!TryStrToFloat(S, v) || std::fabs(v) > std::numeric_limits<double>::max()) return false;
    Value = static_cast<double>(v);
    return true;
}

long double StrToFloat(std::string_view S, const TFormatSettings& st) {
    long double v;
    if (!TryStrToFloat(S, v, st))
        throw EConvertError("'" + AnsiString(S) + "' is not a valid floating point value");
    return v;
}
long double StrToFloat(std::string_view S) { return StrToFloat(S, FormatSettings()); }

long double StrToFloatDef(std::string_view S, long double Default) {
    long double v;
    return TryStrToFloat(S, v) ? v : Default;
}

bool TryStrToCurr(std::string_view S, Currency& Value) {
    long double v;
    if (!TryStrToFloat(S, v) || std::fabs(v) >= 922337203685477.5807L) return false;
    Value = DoubleToCurrency(v);
    return true;
}

Currency StrToCurr(std::string_view S) {
    Currency c;
    if (!TryStrToCurr(S, c))
        throw EConvertError("'" + AnsiString(S) + "' is not a valid floating point value");
    return c;
}

// --- Format ---
AnsiString VarRecToText(const TVarRec& v) {
    switch (v.Kind()) {
    case TVarRec::vtInteger:
    case TVarRec::vtInt64: return IntToStr(v.AsInt64());
    case TVarRec::vtExtended: return FloatToStr(v.AsExtended());
    case TVarRec::vtCurrency: return CurrToStr(v.AsCurrency());
    case TVarRec::vtString: return v.AsString();
    case TVarRec::vtChar: return AnsiString(1, v.AsChar());
    case TVarRec::vtBoolean: return v.AsBoolean() ? "True" : "False";
    case TVarRec::vtPointer: return HexDigits(static_cast<uint64_t>(v.AsInt64()));
    case TVarRec::vtNull: return {};
    }
    return {};
}

AnsiString Format(std::string_view Fmt, std::span<const TVarRec> Args, const TFormatSettings& st) {
    AnsiString out;
    size_t next = 0;
    auto take = [&]() -> const TVarRec& {
        if (next >= Args.size()) FormatError(Fmt);
        return Args[next++];
    };
    auto readNumber = [&](size_t& i, int& value) -> bool {
        if (i < Fmt.size() && Fmt[i] == '*') {
            const TVarRec& a = take();
            if (!IsInteger(a)) FormatError(Fmt);
            value = static_cast<int>(a.AsInt64());
            ++i;
            return true;
        }
        if (i >= Fmt.size() || Fmt[i] < '0' || Fmt[i] > '9') return false;
        int64_t v = 0;
        while (i < Fmt.size() && Fmt[i] >= '0' && Fmt[i] <= '9') {
            v = v * 10 + (Fmt[i++] - '0');
            if (v > 100000) FormatError(Fmt);  // no text of ours is that wide
        }
        value = static_cast<int>(v);
        return true;
    };
    for (size_t i = 0; i < Fmt.size();) {
        char c = Fmt[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < Fmt.size() && Fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        int width = -1, prec = -1;
        // An argument index "%1:s" moves the argument pointer.
        size_t j = i;
        while (j < Fmt.size() && Fmt[j] >= '0' && Fmt[j] <= '9') ++j;
        if (j > i && j < Fmt.size() && Fmt[j] == ':') {
            int index = 0;
            readNumber(i, index);
            next = static_cast<size_t>(index);
            ++i;
        }
        int number;
        if (i < Fmt.size() && Fmt[i] == '-') {
            left = true;
            ++i;
        }
        if (readNumber(i, number)) {
            if (number < 0) {
                left = true;
                number = -number;
            }
            width = number;
        }
        if (i < Fmt.size() && Fmt[i] == '.') {
            ++i;
            if (readNumber(i, number)) prec = number < 0 ? -1 : number;
            else prec = 0;
        }
        if (i >= Fmt.size()) FormatError(Fmt);
        char type = AsciiLower(Fmt[i++]);
        const TVarRec& a = take();
        AnsiString text;
        long double f;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!IsInteger(a)) FormatError(Fmt);
            int64_t v = a.AsInt64();
            bool neg = false;
            AnsiString digits;
            if (type == 'x' || type == 'u') {
                uint64_t u =
                    a.Kind() == TVarRec::vtInteger ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
                digits = type == 'x' ? HexDigits(u) : std::to_string(u);
            } else {
                neg = v < 0;
                digits = neg ? std::to_string(0 - static_cast<uint64_t>(v)) : std::to_string(v);
            }
            if (prec > 0 && static_cast<int>(digits.size()) < prec)
                digits.insert(0, static_cast<size_t>(prec) - digits.size(), '0');
            text = neg ? "-" + digits : digits;
            break;
        }
        case 'e':
            if (!FloatArg(a, f)) FormatError(Fmt);
            text = FloatToStrF(f, ffExponent, prec < 0 ? 15 : prec, 3, st);
            break;
        case 'f':
        case 'n':
        case 'm':
            if (!FloatArg(a, f)) FormatError(Fmt);
            text = FloatToStrF(f,
                               type == 'f'   ? ffFixed
                               : type == 'n' ? ffNumber
                                             : ffCurrency,
                               kDoubleDigits, prec < 0 ? (type == 'm' ? st.CurrencyDecimals : 2) : prec, st);
            break;
        case 'g':
            if (!FloatArg(a, f)) FormatError(Fmt);
            text = FloatToStrF(f, ffGeneral, prec < 0 ? 15 : prec, 0, st);
            break;
        case 's':
            if (a.Kind() == TVarRec::vtString) text = a.AsString();
            else if (a.Kind() == TVarRec::vtChar) text = AnsiString(1, a.AsChar());
            else FormatError(Fmt);
            if (prec >= 0 && static_cast<int>(text.size()) > prec) text.resize(static_cast<size_t>(prec));
            break;
        case 'p': {
            if (a.Kind() != TVarRec::vtPointer) FormatError(Fmt);
            text = HexDigits(static_cast<uint64_t>(a.AsInt64()));
            text.insert(0, sizeof(void*) * 2 - text.size(), '0');
            break;
        }
        default: FormatError(Fmt);
        }
        if (width > static_cast<int>(text.size())) {
            size_t pad = static_cast<size_t>(width) - text.size();
            if (left) text.append(pad, ' ');
            else text.insert(0, pad, ' ');
        }
        out += text;
    }
    return out;
}

AnsiString Format(std::string_view Fmt, std::span<const TVarRec> Args) {
    return Format(Fmt, Args, FormatSettings());
}

AnsiString Format(std::string_view Fmt, std::initializer_list<TVarRec> Args) {
    return Format(Fmt, std::span<const TVarRec>(Args.begin(), Args.size()), FormatSettings());
}
