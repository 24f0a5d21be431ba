// Value codecs of the dBase formats, index keys and the in-memory orders.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/db/DbfInternal.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"

// --- numbers ---

bool DbfParseNumber(std::string_view Text, double& Value) {
    size_t b = 0, e = Text.size();
    while (b < e && (Text[b] == ' ' || Text[b] == '\0')) ++b;
    while (e > b && (Text[e - 1] == ' ' || Text[e - 1] == '\0')) --e;
    if (b < e && Text[b] == '+') ++b;
    if (b == e) return false;
    bool digit = false;
    for (size_t i = b; i < e; ++i) {
        char c = Text[i];
        if (c >= '0' && c <= '9') digit = true;
        else if (c != '.' && c != '-' && c != 'e' && c != 'E' && c != '+') return false;
    }
    if (!digit) return false;
    double v = 0;
    auto r = std::from_chars(Text.data() + b, Text.data() + e, v);
    if (r.ec != std::errc() || r.ptr != Text.data() + e || !std::isfinite(v)) return false;
    Value = v == 0 ? 0.0 : v;  // no negative zero
    return true;
}

std::string DbfFormatNumber(double Value, int Width, int Decimals) {
    if (!std::isfinite(Value) || Width < 1 || Width > 64) return "";
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, Value, std::chars_format::fixed, Decimals);
    if (r.ec != std::errc()) return "";
    std::string s(buf, r.ptr);
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    if (int(s.size()) > Width) return "";
    return std::string(size_t(Width) - s.size(), ' ') + s;
}

// --- dates: day numbers of the program's date-time ---

bool DbfParseDate(std::string_view Text, double& DayNumber) {
    if (Text.size() != 8) return false;
    int v[8];
    for (int i = 0; i < 8; ++i) {
        if (Text[i] < '0' || Text[i] > '9') return false;
        v[i] = Text[i] - '0';
    }
    TDateTime date;
    if (!TryEncodeDate(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7], date))
        return false;
    DayNumber = date;
    return true;
}

bool DbfFormatDate(double DayNumber, std::string& Text) {
    if (!std::isfinite(DayNumber) || DayNumber < MinDateTime || DayNumber > MaxDateTime) return false;
    int y, m, d;
    DecodeDate(std::floor(DayNumber), y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    Text = buf;
    return true;
}

// --- little-endian fields and the date of today, for the file headers ---

uint16_t DbfGet16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
uint32_t DbfGet32(const uint8_t* P) {
    return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
void DbfPut16(uint8_t* P, uint32_t V) {
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}
void DbfPut32(uint8_t* P, uint32_t V) {
    for (int i = 0; i < 4; ++i) P[i] = uint8_t(V >> (8 * i));
}
void DbfPutToday(uint8_t* P) {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    P[0] = uint8_t(y - 1900);  // years since 1900, as the headers count them
    P[1] = uint8_t(m);
    P[2] = uint8_t(d);
}

// --- key encodings ---

void DbfEncodeOrderedDouble(double Value, uint8_t* Out) {
    uint64_t bits = 0;
    if (Value != 0) std::memcpy(&bits, &Value, 8);  // both zeros encode alike
    bits = (bits >> 63) ? ~bits : (bits | (uint64_t(1) << 63));
    for (int i = 0; i < 8; ++i) Out[i] = uint8_t(bits >> (56 - 8 * i));
}

double DbfDecodeOrderedDouble(const uint8_t* In) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | In[i];
    bits = (bits >> 63) ? (bits & ~(uint64_t(1) << 63)) : ~bits;
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

void DbfEncodeBcdKey(double Value, uint8_t* Out) {
    std::memset(Out, 0, 12);
    // The two low bits of the count byte are always set. Zero has no digits:
    // other dBase IV engines compare a zero with one digit 0 wrongly, and
    // corrupt their tags when they update such a key.
    Out[1] = 0x01;
    if (Value == 0 || !std::isfinite(Value)) {
        Out[0] = 0x34;
        return;
    }
    bool negative = Value < 0;
    const double magnitude = std::fabs(Value);
    // Fifteen significant digits, the last rounded.
    char digits[32];
    size_t count = 0;
    int exponent;
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        // A whole number (counts, row numbers, codes: nearly every key) has
        // its digits exactly, without a text to go through.
        char reversed[16];
        for (uint64_t n = uint64_t(magnitude); n > 0; n /= 10) reversed[count++] = char('0' + n % 10);
        for (size_t i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
        exponent = int(count) - 1;
    } else {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        *r.ptr = '\0';  // room is left: the text takes some twenty of its bytes
        const char* e = std::find(buf, r.ptr, 'e');
        exponent = std::atoi(e + 1);
        for (const char* c = buf; c < e; ++c)
            if (*c != '.') digits[count++] = *c;
    }
    while (count > 1 && digits[count - 1] == '0') --count;
    int point = std::clamp(exponent + 1, -0x34, 0xFF - 0x34);
    Out[0] = uint8_t(0x34 + point);
    Out[1] |= uint8_t((count << 2) | (negative ? 0x80 : 0));
    for (size_t i = 0; i < count; ++i) {
        uint8_t nibble = uint8_t(digits[i] - '0');
        Out[2 + i / 2] |= (i % 2 == 0) ? uint8_t(nibble << 4) : nibble;
    }
}

bool DbfDecodeBcdKey(const uint8_t* In, double& Value) {
    int point = int(In[0]) - 0x34;
    int count = (In[1] >> 2) & 0x1F;
    if (count > 20) return false;
    if (count <= 15 && point >= count && point <= 15) {
        // A whole number below 10^15: exact as a double, read digit by digit.
        uint64_t n = 0;
        for (int i = 0; i < point; ++i) {
            const int nibble = i >= count ? 0 : (i % 2 == 0) ? (In[2 + i / 2] >> 4) : (In[2 + i / 2] & 0x0F);
            if (nibble > 9) return false;
            n = n * 10 + uint64_t(nibble);
        }
        Value = (In[1] & 0x80) ? -double(n) : double(n);
        return true;
    }
    std::string text = "0.";
    for (int i = 0; i < count; ++i) {
        int nibble = (i % 2 == 0) ? (In[2 + i / 2] >> 4) : (In[2 + i / 2] & 0x0F);
        if (nibble > 9) return false;
        text += char('0' + nibble);
    }
    if (count == 0) text += '0';
    text += 'e';
    text += std::to_string(point);
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() && r.ec != std::errc::result_out_of_range) return false;
    Value = (In[1] & 0x80) ? -v : v;
    if (Value == 0) Value = 0.0;
    return true;
}

uint32_t DbfChecksum(const void* Data, size_t Count, uint32_t Seed) {
    uint32_t h = Seed;
    const uint8_t* p = static_cast<const uint8_t*>(Data);
    for (size_t i = 0; i < Count; ++i) {
        h ^= p[i];
        h *= 16777619u;
    }
    return h;
}

// --- key definitions ---

namespace {

bool MakePart(const TDbfFieldDef& F, int Index, bool Upper, bool AllowAll, TDbfKeyPart& Part,
              AnsiString& Why) {
    Part.Field = Index;
    Part.Upper = false;
    switch (F.Type) {
    case 'N':
    case 'F':
        Part.Kind = 'N';
        Part.Width = 8;
        break;
    case 'D':
        Part.Kind = 'D';
        Part.Width = 8;
        break;
    case 'L':
        if (!AllowAll) {
            Why = "un campo l\xF3gico no puede ser clave de un \xEDndice dBase: " + F.Name;
            return false;
        }
        Part.Kind = 'L';
        Part.Width = 1;
        break;
    case 'M': Why = "un campo de memo no puede ser clave de un \xEDndice: " + F.Name; return false;
    default:
        Part.Kind = 'C';
        Part.Width = F.Length;
        Part.Upper = Upper;
        break;
    }
    if (Upper && Part.Kind != 'C') {
        Why = "UPPER necesita un campo de caracteres: " + F.Name;
        return false;
    }
    return true;
}

int FindField(const std::vector<TDbfFieldDef>& Fields, std::string_view Name) {
    for (size_t i = 0; i < Fields.size(); ++i)
        if (SameText(Fields[i].Name, Name)) return int(i);
    return -1;
}

bool Finish(TDbfKeyDef& Def, AnsiString& Why) {
    Def.KeyLength = 0;
    for (const auto& p : Def.Parts) Def.KeyLength += p.Width;
    if (Def.Parts.empty()) {
        Why = "una clave vac\xED"
              "a";
        return false;
    }
    bool allText = std::all_of(Def.Parts.begin(), Def.Parts.end(),
                               [](const TDbfKeyPart& p) { return p.Kind == 'C' || p.Kind == 'S'; });
    if (Def.Parts.size() == 1 && Def.Parts[0].Kind == 'N') {
        Def.KeyType = 'N';
        Def.FileKeyLength = 12;
        Def.Storable = true;
    } else if (Def.Parts.size() == 1 && Def.Parts[0].Kind == 'D') {
        Def.KeyType = 'D';
        Def.FileKeyLength = 8;
        Def.Storable = true;
    } else {
        Def.KeyType = 'C';
        Def.FileKeyLength = Def.KeyLength;
        Def.Storable = allText && Def.KeyLength >= 1 && Def.KeyLength <= 100;
    }
    return true;
}

// Recursive descent over dBase key expressions: parts joined by '+'.
class TKeyExpressionParser {
public:
    TKeyExpressionParser(const std::vector<TDbfFieldDef>& Fields, std::string_view Text)
        : FFields(Fields), FText(Text) {}

    bool Parse(TDbfKeyDef& Def, AnsiString& Why) {
        if (!Sum(Def, false, Why)) return false;
        Blanks();
        if (FAt != FText.size()) {
            Why = "texto inesperado en la expresi\xF3n de la clave";
            return false;
        }
        return true;
    }

private:
    void Blanks() {
        while (FAt < FText.size() && (FText[FAt] == ' ' || FText[FAt] == '\t')) ++FAt;
    }
    std::string Word() {
        Blanks();
        size_t b = FAt;
        while (FAt < FText.size() && (IsCharAlphaNumeric(FText[FAt]) || FText[FAt] == '_')) ++FAt;
        return std::string(FText.substr(b, FAt - b));
    }
    bool Expect(char C) {
        Blanks();
        if (FAt < FText.size() && FText[FAt] == C) {
            ++FAt;
            return true;
        }
        return false;
    }
    bool Sum(TDbfKeyDef& Def, bool Upper, AnsiString& Why) {
        size_t first = Def.Parts.size();
        if (!Term(Def, Upper, Why)) return false;
        while (Expect('+')) {
            if (!Term(Def, Upper, Why)) return false;
        }
        if (Def.Parts.size() - first > 1)
            for (size_t i = first; i < Def.Parts.size(); ++i)
                if (Def.Parts[i].Kind != 'C' && Def.Parts[i].Kind != 'S') {
                    Why = "en una clave solo se pueden unir valores de caracteres";
                    return false;
                }
        return true;
    }
    bool Term(TDbfKeyDef& Def, bool Upper, AnsiString& Why) {
        if (++FDepth > 16) {
            Why = "la expresi\xF3n de la clave anida demasiados niveles";
            return false;
        }
        std::string word = Word();
        if (word.empty()) {
            Why = "falta un nombre de campo en la expresi\xF3n de la clave";
            return false;
        }
        bool ok;
        if (Expect('(')) {
            if (SameText(word, "UPPER")) {
                ok = Sum(Def, true, Why);
            } else if (SameText(word, "DTOS")) {
                std::string name = Word();
                int f = FindField(FFields, name);
                if (f < 0 || FFields[size_t(f)].Type != 'D') {
                    Why = "DTOS necesita un campo de fecha";
                    return false;
                }
                Def.Parts.push_back(TDbfKeyPart{f, 'S', false, 8});
                ok = true;
            } else {
                Why = "las claves no admiten la funci\xF3n " + word;
                return false;
            }
            if (ok && !Expect(')')) {
                Why = "falta un ')' en la expresi\xF3n de la clave";
                return false;
            }
        } else {
            int f = FindField(FFields, word);
            if (f < 0) {
                Why = "no hay campo " + word + " para la clave";
                return false;
            }
            TDbfKeyPart part;
            ok = MakePart(FFields[size_t(f)], f, Upper, false, part, Why);
            if (ok) Def.Parts.push_back(part);
        }
        --FDepth;
        return ok;
    }

    const std::vector<TDbfFieldDef>& FFields;
    std::string_view FText;
    size_t FAt = 0;
    int FDepth = 0;
};

}  // namespace

bool DbfCompileKeyExpression(const std::vector<TDbfFieldDef>& Fields, std::string_view Expression,
                             TDbfKeyDef& Def, AnsiString& Why) {
    Def = TDbfKeyDef{};
    TKeyExpressionParser parser(Fields, Expression);
    return parser.Parse(Def, Why) && Finish(Def, Why);
}

bool DbfCompileKeyFields(const std::vector<TDbfFieldDef>& Fields, std::string_view FieldList, bool Upper,
                         TDbfKeyDef& Def, AnsiString& Why) {
    Def = TDbfKeyDef{};
    size_t at = 0;
    while (at <= FieldList.size()) {
        size_t semi = FieldList.find(';', at);
        if (semi == std::string_view::npos) semi = FieldList.size();
        std::string name = Trim(FieldList.substr(at, semi - at));
        at = semi + 1;
        if (name.empty()) {
            if (semi == FieldList.size() && !Def.Parts.empty()) break;
            Why = "un nombre de campo vac\xEDo en la clave";
            return false;
        }
        int f = FindField(Fields, name);
        if (f < 0) {
            Why = "no hay campo " + name + " para la clave";
            return false;
        }
        TDbfKeyPart part;
        if (!MakePart(Fields[size_t(f)], f,
                      Upper && Fields[size_t(f)].Type != 'N' && Fields[size_t(f)].Type != 'F' &&
                          Fields[size_t(f)].Type != 'D' && Fields[size_t(f)].Type != 'L',
                      true, part, Why))
            return false;
        Def.Parts.push_back(part);
    }
    return Finish(Def, Why);
}

void DbfBuildKey(const TDbfKeyDef& Def, const std::vector<TDbfFieldDef>& Fields, const char* Record,
                 uint8_t* Out) {
    for (const TDbfKeyPart& part : Def.Parts) {
        const TDbfFieldDef& f = Fields[size_t(part.Field)];
        const char* raw = Record + f.Offset;
        switch (part.Kind) {
        case 'C':
            for (int i = 0; i < part.Width; ++i) {
                char c = raw[i] == '\0' ? ' ' : raw[i];
                Out[i] = uint8_t(part.Upper ? CharUpper(c) : c);
            }
            break;
        case 'S': std::memcpy(Out, raw, 8); break;
        case 'N': {
            double v = 0;
            if (!DbfParseNumber(std::string_view(raw, size_t(f.Length)), v)) v = 0;
            DbfEncodeOrderedDouble(v, Out);
            break;
        }
        case 'D': {
            double d = 0;
            double jd = DbfParseDate(std::string_view(raw, 8), d) ? d + DbfJulianOfDayNumber : 0;
            DbfEncodeOrderedDouble(jd, Out);
            break;
        }
        case 'L':
            Out[0] = (raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y') ? 'T' : 'F';
            break;
        }
        Out += part.Width;
    }
}

void DbfKeyToFile(const TDbfKeyDef& Def, const uint8_t* Key, uint8_t* Out) {
    if (Def.KeyType == 'N') {
        DbfEncodeBcdKey(DbfDecodeOrderedDouble(Key), Out);
    } else if (Def.KeyType == 'D') {
        double jd = DbfDecodeOrderedDouble(Key);
        std::memcpy(Out, &jd, 8);
    } else {
        std::memcpy(Out, Key, size_t(Def.FileKeyLength));
    }
}

bool DbfKeyFromFile(const TDbfKeyDef& Def, const uint8_t* In, uint8_t* Key) {
    if (Def.KeyType == 'N') {
        double v;
        if (!DbfDecodeBcdKey(In, v)) return false;
        DbfEncodeOrderedDouble(v, Key);
    } else if (Def.KeyType == 'D') {
        double jd;
        std::memcpy(&jd, In, 8);
        if (!std::isfinite(jd)) return false;
        DbfEncodeOrderedDouble(jd, Key);
    } else {
        std::memcpy(Key, In, size_t(Def.FileKeyLength));
    }
    return true;
}

bool DbfSameFileKey(const TDbfKeyDef& Def, const uint8_t* A, const uint8_t* B) {
    std::vector<uint8_t> a(size_t(Def.KeyLength)), b(size_t(Def.KeyLength));
    return DbfKeyFromFile(Def, A, a.data()) && DbfKeyFromFile(Def, B, b.data()) && a == b;
}

// --- orders ---

int TDbfOrdering::CompareKeys(const uint8_t* A, const uint8_t* B, size_t Length) const {
    int c = std::memcmp(A, B, Length);
    return Descending ? -c : c;
}

bool TDbfOrdering::Before(uint32_t A, uint32_t B) const {
    int c = CompareKeys(KeyOf(A), KeyOf(B), size_t(Key.KeyLength));
    return c != 0 ? c < 0 : A < B;
}

void TDbfOrdering::StartOver() {
    ++Version;
    Edits.clear();
    EditsFrom = Version;
}

void TDbfOrdering::Clear(uint32_t Count) {
    Keys.assign((size_t(Count) + 1) * size_t(Key.KeyLength), 0);
    Order.clear();
    StartOver();
}

void TDbfOrdering::Sort() {
    uint32_t count = uint32_t(Keys.size() / size_t(Key.KeyLength)) - 1;
    Order.resize(count);
    for (uint32_t i = 0; i < count; ++i) Order[i] = i + 1;
    std::sort(Order.begin(), Order.end(), [this](uint32_t a, uint32_t b) { return Before(a, b); });
    StartOver();
}

size_t TDbfOrdering::LowerBound(const uint8_t* K, size_t Length) const {
    auto it = std::partition_point(Order.begin(), Order.end(),
                                   [&](uint32_t r) { return CompareKeys(KeyOf(r), K, Length) < 0; });
    return size_t(it - Order.begin());
}

size_t TDbfOrdering::UpperBound(const uint8_t* K, size_t Length) const {
    auto it = std::partition_point(Order.begin(), Order.end(),
                                   [&](uint32_t r) { return CompareKeys(KeyOf(r), K, Length) <= 0; });
    return size_t(it - Order.begin());
}

size_t TDbfOrdering::PositionOf(uint32_t RecNo) const {
    auto it = std::partition_point(Order.begin(), Order.end(), [&](uint32_t r) { return Before(r, RecNo); });
    if (it != Order.end() && *it == RecNo) return size_t(it - Order.begin());
    return Order.size();
}

void TDbfOrdering::Insert(uint32_t RecNo, const uint8_t* NewKey) {
    size_t need = (size_t(RecNo) + 1) * size_t(Key.KeyLength);
    if (Keys.size() < need) Keys.resize(need, 0);
    std::memcpy(Keys.data() + size_t(RecNo) * Key.KeyLength, NewKey, size_t(Key.KeyLength));
    auto it = std::partition_point(Order.begin(), Order.end(), [&](uint32_t r) { return Before(r, RecNo); });
    size_t at = size_t(it - Order.begin());
    Order.insert(it, RecNo);
    ++Version;
    Edits.push_back({Version, uint32_t(at), true});
    // Past this, following the log costs more than starting over.
    if (Edits.size() > 4096 + Order.size() / 2) StartOver();
}

void TDbfOrdering::Change(uint32_t RecNo, const uint8_t* NewKey) {
    if (std::memcmp(KeyOf(RecNo), NewKey, size_t(Key.KeyLength)) == 0) return;
    size_t at = PositionOf(RecNo);
    ++Version;
    if (at < Order.size()) {
        Order.erase(Order.begin() + ptrdiff_t(at));
        Edits.push_back({Version, uint32_t(at), false});
    }
    std::memcpy(Keys.data() + size_t(RecNo) * Key.KeyLength, NewKey, size_t(Key.KeyLength));
    auto it = std::partition_point(Order.begin(), Order.end(), [&](uint32_t r) { return Before(r, RecNo); });
    Edits.push_back({Version, uint32_t(it - Order.begin()), true});
    Order.insert(it, RecNo);
    if (Edits.size() > 4096 + Order.size() / 2) StartOver();
}
