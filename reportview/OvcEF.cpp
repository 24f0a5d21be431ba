#include "reportview/OvcEF.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/classes/Filer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Variants.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcStr.h"

using namespace Ovcdate;

ZELMOR_IMPLEMENT_ENUM(TOvcEntryFieldOption, "efoArrowIncDec", "efoCaretToEnd", "efoForceInsert",
                      "efoForceOvertype", "efoInputRequired", "efoPasswordMode", "efoReadOnly",
                      "efoRightAlign", "efoRightJustify", "efoSoftValidation", "efoStripLiterals",
                      "efoTrimBlanks")
ZELMOR_IMPLEMENT_ENUM(TZeroDisplay, "zdShow", "zdHide", "zdHideUntilModified")
ZELMOR_IMPLEMENT_CLASS(TOvcEfColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcBaseEntryField, TOvcCustomControlEx)

const TCharSet PictureChars("!#123456789ABDEHKLMNOSXYabdhilmnstxy");
const TCharSet SimplePictureChars("!#123456789ABEKLOXYabilx");
const TCharSet IntegerCharSet(" 0123456789");
const TCharSet RealCharSet(" -.0123456789");

namespace {
constexpr UINT OM_GETDATASIZE = 0x7F03;

// A value of type T from the bytes at P (no alignment asked of P).
template <class T>
T LoadAs(const void* P) {
    T v;
    std::memcpy(&v, P, sizeof v);
    return v;
}

bool IsNumericSub(uint8_t Sub) { return Sub >= fsubLongInt && Sub <= fsubComp; }
bool IsIntegerSub(uint8_t Sub) { return Sub >= fsubLongInt && Sub <= fsubShortInt; }

AnsiString TrimSpaces(const AnsiString& S) {
    size_t b = S.find_first_not_of(' ');
    if (b == AnsiString::npos) return {};
    return S.substr(b, S.find_last_not_of(' ') - b + 1);
}
}  // namespace

// --- bounds as bytes ---

int32_t RangeAsLong(const TRangeType& R) {
    int32_t v;
    std::memcpy(&v, R.Bytes.data(), sizeof v);
    return v;
}

long double RangeAsExtended(const TRangeType& R) {
    long double v = 0;
    std::memcpy(&v, R.Bytes.data(), 10);
    return v;
}

double RangeAsReal(const TRangeType& R) {
    double v;
    std::memcpy(&v, R.Bytes.data(), sizeof v);
    return v;
}

void LongToRange(int32_t Value, TRangeType& R) { std::memcpy(R.Bytes.data(), &Value, sizeof Value); }

void ExtendedToRange(long double Value, TRangeType& R) { std::memcpy(R.Bytes.data(), &Value, 10); }

void RealToRange(double Value, TRangeType& R) { std::memcpy(R.Bytes.data(), &Value, sizeof Value); }

// --- colours ---

TOvcEfColors::TOvcEfColors()
    : FDisabled(std::make_unique<TOvcColors>(clGrayText, clWindow)),
      FError(std::make_unique<TOvcColors>(clBlack, clRed)),
      FHighlight(std::make_unique<TOvcColors>(clHighlightText, clHighlight)) {
    for (TOvcColors* c : {FDisabled.get(), FError.get(), FHighlight.get()})
        c->OnColorChange = [this](TObject*) {
            if (OnChange) OnChange(this);
        };
}

void TOvcEfColors::DescribeProperties(TPropertyTable& T) {
    using C = TOvcEfColors;
    T.Property("Disabled", &C::Disabled, &C::SetDisabled);
    T.Property("Error", &C::Error, &C::SetError);
    T.Property("Highlight", &C::Highlight, &C::SetHighlight);
}

void TOvcEfColors::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TOvcEfColors*>(Source)) {
        FDisabled->Assign(other->FDisabled.get());
        FError->Assign(other->FError.get());
        FHighlight->Assign(other->FHighlight.get());
        return;
    }
    TPersistent::Assign(Source);
}

// --- the field ---

TOvcBaseEntryField::TOvcBaseEntryField(TComponent* AOwner)
    : TOvcCustomControlEx(AOwner), FBorders(std::make_unique<TOvcBorders>()),
      FEFColors(std::make_unique<TOvcEfColors>()), FIntlSup(OvcIntlSup), FUserData(OvcUserData),
      FCaret(std::make_unique<TOvcCaretPair>(this)) {
    SetControlStyle({csCaptureMouse, csClickEvents, csOpaque});
    SetCursor(crIBeam);
    SetBounds(Left(), Top(), 130, 25);
    SetParentColor(false);
    SetTabStop(true);
    for (TOvcBorder* b :
         {FBorders->LeftBorder(), FBorders->RightBorder(), FBorders->TopBorder(), FBorders->BottomBorder()})
        b->OnChange = [this](TObject* S) { BordersChanged(S); };
    FEFColors->OnChange = [this](TObject*) { Invalidate(); };
    FTopMargin = efCalcTopMargin();
}

TOvcBaseEntryField::~TOvcBaseEntryField() {
    if (FState.Contains(sefHaveFocus))
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
}

AnsiString TOvcBaseEntryField::ErrorText(uint16_t Code, TOvcController* Controller) {
    if (Code >= oeCustomError) return Controller ? Controller->ErrorText : AnsiString();
    if (Code >= oeRangeError && Code <= oePartialEntry)
        return GetRvLibStr(uint16_t(30179 + (Code - oeRangeError)));
    return GetRvLibStr(30278);
}

// --- data type and size ---

void TOvcBaseEntryField::SetDataType(uint8_t FieldClass, uint8_t SubType) {
    FDataType = uint8_t(FieldClass * 64 + SubType);
    FDataSize = 0;
    FRangeLo = FRangeHi = BlankRange;
    switch (SubType) {
    case fsubChar: FRangeLo.Bytes[0] = FRangeHi.Bytes[0] = ' '; break;
    case fsubLongInt:
        LongToRange(INT32_MIN, FRangeLo);
        LongToRange(INT32_MAX, FRangeHi);
        break;
    case fsubWord: LongToRange(65535, FRangeHi); break;
    case fsubInteger:
        LongToRange(-32768, FRangeLo);
        LongToRange(32767, FRangeHi);
        break;
    case fsubByte: LongToRange(255, FRangeHi); break;
    case fsubShortInt:
        LongToRange(-128, FRangeLo);
        LongToRange(127, FRangeHi);
        break;
    case fsubReal:
        RealToRange(-1.7e38, FRangeLo);
        RealToRange(1.7e38, FRangeHi);
        break;
    case fsubExtended:
        ExtendedToRange(-1.1e4932L, FRangeLo);
        ExtendedToRange(1.1e4932L, FRangeHi);
        break;
    case fsubDouble:
        ExtendedToRange(-1.7e308L, FRangeLo);
        ExtendedToRange(1.7e308L, FRangeHi);
        break;
    case fsubSingle:
        ExtendedToRange(-3.4e38L, FRangeLo);
        ExtendedToRange(3.4e38L, FRangeHi);
        break;
    case fsubComp:
        ExtendedToRange(-9.2e18L, FRangeLo);
        ExtendedToRange(9.2e18L, FRangeHi);
        break;
    case fsubDate: LongToRange(MaxDate, FRangeHi); break;
    case fsubTime: LongToRange(SecondsInDay - 1, FRangeHi); break;
    default: break;
    }
}

uint16_t TOvcBaseEntryField::GetDataSize() {
    if (FDataSize) return FDataSize;
    switch (SubType()) {
    case fsubString: {
        uint16_t size = uint16_t(FMaxLength + 1);
        if (FieldClass() == fcPicture && FOptions.Contains(efoStripLiterals)) {
            int literals = 0;
            for (char c : FPictureMask)
                if (!PictureChars.Contains(c) && c != '$' && c != ',') ++literals;
            size = uint16_t(std::max(FMaxLength - literals, 0) + 1);
        }
        FDataSize = size;
        break;
    }
    case fsubChar:
    case fsubBoolean:
    case fsubYesNo:
    case fsubByte:
    case fsubShortInt: FDataSize = 1; break;
    case fsubWord:
    case fsubInteger: FDataSize = 2; break;
    case fsubLongInt:
    case fsubSingle:
    case fsubDate:
    case fsubTime: FDataSize = 4; break;
    case fsubReal:
    case fsubDouble:
    case fsubComp: FDataSize = 8; break;
    case fsubExtended: FDataSize = 10; break;
    default: FDataSize = 0; break;
    }
    return FDataSize;
}

// --- values ---

uint16_t TOvcBaseEntryField::efTransfer(void*, uint16_t TransferFlag) {
    if (TransferFlag == 2) {
        if (!FState.Contains(sefValidating)) FState.Exclude(sefRetainPos);
        if (FState.Contains(sefHaveFocus)) {
            if (!FState.Contains(sefGettingValue)) {
                efResetCaret();
                SetSelection(0, int(MaxEditLen));
                efPositionCaret(true);
            }
        } else FState.Exclude(sefInvalid);
    }
    if (TransferFlag != 0) {
        FState.Exclude(sefModified);
        FState.Exclude(sefEverModified);
        Invalidate();
    }
    return GetDataSize();
}

uint16_t TOvcBaseEntryField::GetValue(void* Data) {
    if (SubType() > fsubTime) throw EOvcException(GetRvLibStr(30188));
    FState.Include(sefGettingValue);
    FState.Include(sefValidating);
    struct TClear {
        TsefOptions& S;
        ~TClear() {
            S.Exclude(sefGettingValue);
            S.Exclude(sefValidating);
        }
    } clear{FState};
    uint16_t code = efValidateField();
    if (code) return code;
    efTransfer(Data, 1);
    return 0;
}

void TOvcBaseEntryField::SetValue(const void* Data) {
    if (SubType() > fsubTime) throw EOvcException(GetRvLibStr(30188));
    if (FState.Contains(sefUserValidating)) return;
    HandleNeeded();
    FState.Include(sefUpdating);
    struct TClear {
        TsefOptions& S;
        ~TClear() { S.Exclude(sefUpdating); }
    } clear{FState};
    efTransfer(const_cast<void*>(Data), 2);
}

void TOvcBaseEntryField::CheckSubTypes(std::initializer_list<uint8_t> SubTypes) {
    if (std::find(SubTypes.begin(), SubTypes.end(), SubType()) == SubTypes.end()) throw EInvalidDataType();
}

bool TOvcBaseEntryField::GetAsBoolean() {
    CheckSubTypes({fsubBoolean, fsubYesNo});
    uint8_t b = 0;
    FLastError = GetValue(&b);
    return FLastError == 0 && b != 0;
}

int32_t TOvcBaseEntryField::GetAsInteger() {
    CheckSubTypes({fsubLongInt, fsubWord, fsubInteger, fsubByte, fsubShortInt});
    uint8_t buf[8]{};
    FLastError = GetValue(buf);
    if (FLastError) return 0;
    switch (SubType()) {
    case fsubWord: return LoadAs<uint16_t>(buf);
    case fsubInteger: return LoadAs<int16_t>(buf);
    case fsubByte: return buf[0];
    case fsubShortInt: return static_cast<int8_t>(buf[0]);
    default: return LoadAs<int32_t>(buf);
    }
}

long double TOvcBaseEntryField::GetAsExtended() {
    CheckSubTypes({fsubLongInt, fsubWord, fsubInteger, fsubByte, fsubShortInt, fsubReal, fsubExtended,
                   fsubDouble, fsubSingle, fsubComp});
    if (IsIntegerSub(SubType())) return GetAsInteger();
    uint8_t buf[16]{};
    FLastError = GetValue(buf);
    if (FLastError) return 0;
    switch (SubType()) {
    case fsubReal:
    case fsubDouble: return LoadAs<double>(buf);
    case fsubSingle: return LoadAs<float>(buf);
    // "Comp" is a 64-bit integer, widened here.
    case fsubComp: return static_cast<long double>(LoadAs<int64_t>(buf));
    default: {
        long double v = 0;
        std::memcpy(&v, buf, 10);
        return v;
    }
    }
}

double TOvcBaseEntryField::GetAsFloat() { return static_cast<double>(GetAsExtended()); }

int64_t TOvcBaseEntryField::GetAsCents() {
    CheckSubTypes({fsubReal, fsubExtended, fsubDouble, fsubSingle});
    long double v = GetAsExtended();
    return FLastError ? 0 : std::llround(v * 100);
}

TDateTime TOvcBaseEntryField::GetAsDateTime() {
    CheckSubTypes({fsubDate, fsubTime});
    int32_t v = 0;
    FLastError = GetValue(&v);
    if (FLastError) return 0;
    return SubType() == fsubDate ? StDateToDateTime(v) : StTimeToDateTime(v);
}

TStDate TOvcBaseEntryField::GetAsStDate() {
    CheckSubTypes({fsubDate});
    int32_t v = BadDate;
    FLastError = GetValue(&v);
    return FLastError ? BadDate : v;
}

TStTime TOvcBaseEntryField::GetAsStTime() {
    CheckSubTypes({fsubTime});
    int32_t v = BadTime;
    FLastError = GetValue(&v);
    return FLastError ? BadTime : v;
}

AnsiString TOvcBaseEntryField::GetAsString() {
    if (SubType() == fsubString) {
        std::vector<char> buf(size_t(GetDataSize()) + 1, '\0');
        FLastError = GetValue(buf.data());
        if (FLastError) return {};
        buf.back() = '\0';
        return AnsiString(buf.data());
    }
    return FOptions.Contains(efoTrimBlanks) ? TrimSpaces(FEditString) : FEditString;
}

TVariant TOvcBaseEntryField::GetAsVariant() {
    const uint8_t sub = SubType();
    if (sub == fsubBoolean || sub == fsubYesNo) return TVariant(GetAsBoolean());
    if (IsIntegerSub(sub)) return TVariant(GetAsInteger());
    if (sub == fsubReal || sub == fsubDouble || sub == fsubSingle) return TVariant(GetAsFloat());
    if (sub == fsubExtended || sub == fsubComp) return TVariant(static_cast<double>(GetAsExtended()));
    return TVariant(GetAsString());
}

void TOvcBaseEntryField::SetAsVariant(const TVariant& Value) {
    const uint8_t sub = SubType();
    switch (Value.VarType()) {
    case varSmallint:
    case varInteger:
        if (IsIntegerSub(sub)) return SetAsInteger(Value.AsInteger());
        break;
    case varDouble:
    case varCurrency:
        if (sub >= fsubReal && sub <= fsubComp) return SetAsFloat(Value.AsFloat());
        break;
    case varDate:
        if (sub == fsubDate) return SetAsDateTime(Value.AsDateTime());
        break;
    case varBoolean:
        if (sub == fsubBoolean || sub == fsubYesNo) return SetAsBoolean(Value.AsBoolean());
        break;
    case varString: break;
    default: return;
    }
    SetAsString(Value.AsString());
}

void TOvcBaseEntryField::SetAsBoolean(bool Value) {
    CheckSubTypes({fsubBoolean, fsubYesNo});
    uint8_t b = Value ? 1 : 0;
    SetValue(&b);
}

void TOvcBaseEntryField::SetAsInteger(int32_t Value) {
    CheckSubTypes({fsubLongInt, fsubWord, fsubInteger, fsubByte, fsubShortInt});
    uint8_t buf[4];
    std::memcpy(buf, &Value, 4);  // little-endian: the narrow types are its first bytes
    SetValue(buf);
}

void TOvcBaseEntryField::SetAsFloat(double Value) {
    CheckSubTypes({fsubReal, fsubExtended, fsubDouble, fsubSingle, fsubComp});
    uint8_t buf[16]{};
    switch (SubType()) {
    case fsubSingle: {
        float v = static_cast<float>(Value);
        std::memcpy(buf, &v, 4);
        break;
    }
    case fsubComp: {
        int64_t v = std::llround(Value);
        std::memcpy(buf, &v, 8);
        break;
    }
    case fsubExtended: {
        long double v = Value;
        std::memcpy(buf, &v, 10);
        break;
    }
    default: std::memcpy(buf, &Value, 8); break;
    }
    SetValue(buf);
}

void TOvcBaseEntryField::SetAsExtended(long double Value) {
    CheckSubTypes({fsubExtended, fsubComp});
    uint8_t buf[16]{};
    if (SubType() == fsubComp) {
        int64_t v = std::llround(Value);
        std::memcpy(buf, &v, 8);
    } else std::memcpy(buf, &Value, 10);
    SetValue(buf);
}

void TOvcBaseEntryField::SetAsCents(int64_t Value) {
    CheckSubTypes({fsubReal, fsubExtended, fsubDouble, fsubSingle});
    SetAsFloat(static_cast<double>(Value) / 100);
}

void TOvcBaseEntryField::SetAsDateTime(TDateTime Value) {
    CheckSubTypes({fsubDate, fsubTime});
    int32_t v;
    if (SubType() == fsubDate) {
        int y, m, d;
        DecodeDate(Value, y, m, d);
        v = DateOf(Value) == -1 ? BadDate : DMYtoStDate(d, m, y, GetEpoch());
    } else v = DateTimeToStTime(Value);
    SetValue(&v);
}

void TOvcBaseEntryField::SetAsStDate(TStDate Value) {
    CheckSubTypes({fsubDate});
    SetValue(&Value);
}

void TOvcBaseEntryField::SetAsStTime(TStTime Value) {
    CheckSubTypes({fsubTime});
    SetValue(&Value);
}

void TOvcBaseEntryField::SetAsString(const AnsiString& Value) {
    uint8_t sub = SubType();
    if (sub == fsubString) {
        AnsiString s = Value.substr(0, std::min(Value.size(), MaxEditLen));
        std::vector<char> buf(std::max<size_t>(GetDataSize(), s.size() + 1), '\0');
        std::memcpy(buf.data(), s.data(), s.size());
        SetValue(buf.data());
        return;
    }
    if (sub == fsubBoolean || sub == fsubYesNo) {
        char c = Value.empty() ? '\0' : UpCaseChar(Value[0]);
        SetAsBoolean(!Value.empty() && (c == FIntlSup->TrueLetter || c == FIntlSup->YesLetter));
        return;
    }
    TRangeType r;
    if (!efStRangeToRange(Value, r)) throw EEntryFieldError(GetRvLibStr(30180));
    uint8_t buf[16]{};
    switch (sub) {
    case fsubChar: buf[0] = r.Bytes[0]; break;
    case fsubReal: std::memcpy(buf, r.Bytes.data(), 8); break;
    case fsubDouble: {
        double v = static_cast<double>(RangeAsExtended(r));
        std::memcpy(buf, &v, 8);
        break;
    }
    case fsubSingle: {
        float v = static_cast<float>(RangeAsExtended(r));
        std::memcpy(buf, &v, 4);
        break;
    }
    case fsubComp: {
        int64_t v = std::llround(RangeAsExtended(r));
        std::memcpy(buf, &v, 8);
        break;
    }
    case fsubExtended: std::memcpy(buf, r.Bytes.data(), 10); break;
    default: std::memcpy(buf, r.Bytes.data(), 4); break;
    }
    SetValue(buf);
}

void TOvcBaseEntryField::SetInitialValue() {
    TRangeType r = BlankRange;
    uint8_t sub = SubType();
    if (sub == fsubChar) {
        uint8_t lo = FRangeLo.Bytes[0], hi = FRangeHi.Bytes[0];
        r.Bytes[0] = (lo > ' ' || hi < ' ') ? lo : ' ';
    } else if (IsIntegerSub(sub)) {
        int32_t lo = RangeAsLong(FRangeLo), hi = RangeAsLong(FRangeHi);
        LongToRange(lo > 0 || hi < 0 ? lo : 0, r);
    } else if (sub == fsubReal) {
        double lo = RangeAsReal(FRangeLo), hi = RangeAsReal(FRangeHi);
        RealToRange(lo > 0 || hi < 0 ? lo : 0, r);
    } else if (IsNumericSub(sub)) {
        long double lo = RangeAsExtended(FRangeLo), hi = RangeAsExtended(FRangeHi);
        long double v = lo > 0 || hi < 0 ? lo : 0;
        switch (sub) {
        case fsubDouble: {
            double d = static_cast<double>(v);
            std::memcpy(r.Bytes.data(), &d, 8);
            break;
        }
        case fsubSingle: {
            float f = static_cast<float>(v);
            std::memcpy(r.Bytes.data(), &f, 4);
            break;
        }
        case fsubComp: {
            int64_t c = std::llround(v);
            std::memcpy(r.Bytes.data(), &c, 8);
            break;
        }
        default: ExtendedToRange(v, r); break;
        }
    } else if (sub == fsubDate || sub == fsubTime) LongToRange(-1, r);
    SetValue(r.Bytes.data());
}

// --- bounds ---

void TOvcBaseEntryField::SetRange(TRangeType& R, const void* Value) {
    const auto* p = static_cast<const uint8_t*>(Value);
    TRangeType r = R;
    switch (SubType()) {
    case fsubChar: r.Bytes[0] = p[0]; break;
    case fsubLongInt:
    case fsubDate:
    case fsubTime: std::memcpy(r.Bytes.data(), p, 4); break;
    case fsubWord: LongToRange(LoadAs<uint16_t>(p), r); break;
    case fsubInteger: LongToRange(LoadAs<int16_t>(p), r); break;
    case fsubByte: LongToRange(p[0], r); break;
    case fsubShortInt: LongToRange(static_cast<int8_t>(p[0]), r); break;
    case fsubReal: std::memcpy(r.Bytes.data(), p, 8); break;
    case fsubDouble: ExtendedToRange(LoadAs<double>(p), r); break;
    // A 64-bit integer, not a float of 8 bytes.
    case fsubComp: ExtendedToRange(static_cast<long double>(LoadAs<int64_t>(p)), r); break;
    case fsubSingle: ExtendedToRange(LoadAs<float>(p), r); break;
    default: std::memcpy(r.Bytes.data(), p, 10); break;
    }
    R = r;
}

void TOvcBaseEntryField::SetRangeLo(const void* Value) { SetRange(FRangeLo, Value); }
void TOvcBaseEntryField::SetRangeHi(const void* Value) { SetRange(FRangeHi, Value); }

AnsiString TOvcBaseEntryField::efRangeToStRange(const TRangeType& R) {
    uint8_t sub = SubType();
    if (sub == fsubChar) {
        uint8_t c = R.Bytes[0];
        return c > 32 ? AnsiString(1, char(c)) : "#" + IntToStr(c);
    }
    if (IsIntegerSub(sub)) {
        int32_t v = RangeAsLong(R);
        if (v == 0) return "0";
        uint16_t size = GetDataSize();
        auto u = static_cast<uint32_t>(v);
        if (FState.Contains(sefHexadecimal)) {
            char buf[9];
            std::snprintf(buf, sizeof buf, "%08X", u);
            return AnsiString(buf + 8 - 2 * size);
        }
        if (FState.Contains(sefOctal)) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%012o", u);
            int keep = size == 1 ? 4 : size == 2 ? 8 : 12;
            return AnsiString(buf + 12 - keep);
        }
        if (FState.Contains(sefBinary)) {
            AnsiString bits;
            for (int i = 31; i >= 0; --i) bits += (u >> i) & 1 ? '1' : '0';
            return bits.substr(32 - 8 * size);
        }
        return IntToStr(v);
    }
    if (IsNumericSub(sub)) {
        size_t dot = FPictureMask.find('.');
        int places = FDecimalPlaces;
        if (dot != AnsiString::npos) {
            places = 0;
            for (size_t i = dot + 1; i < FPictureMask.size() && i < FMaxLength; ++i)
                if (PictureChars.Contains(FPictureMask[i])) ++places;
        }
        long double v = sub == fsubReal ? RangeAsReal(R) : RangeAsExtended(R);
        char buf[128];
        AnsiString s;
        if (FPictureMask.find('E') == AnsiString::npos) {
            std::snprintf(buf, sizeof buf, "%.*Lf", places, v);
            s = TrimTrailingZeros(buf);
            if (s.size() > FMaxLength) s.clear();
        }
        if (s.empty()) {
            int width = places + 9;
            if (places == 0 || width >= FMaxLength) width = FMaxLength;
            std::snprintf(buf, sizeof buf, "%*.*Le", width, std::max(width - 8, 1), v);
            s = TrimEmbeddedZeros(TrimSpaces(buf));
        }
        std::replace(s.begin(), s.end(), '.', FIntlSup->DecimalSep);
        return s;
    }
    if (sub == fsubDate) {
        int32_t d = RangeAsLong(R);
        return d == BadDate ? AnsiString()
                            : FIntlSup->DateToDateString(FIntlSup->InternationalDate(true), d, false);
    }
    if (sub == fsubTime) {
        int32_t t = RangeAsLong(R);
        return t == BadTime ? AnsiString()
                            : FIntlSup->TimeToTimeString(FIntlSup->InternationalTime(false), t, false);
    }
    return {};
}

AnsiString TOvcBaseEntryField::GetRangeLoStr() { return efRangeToStRange(FRangeLo); }
AnsiString TOvcBaseEntryField::GetRangeHiStr() { return efRangeToStRange(FRangeHi); }

bool TOvcBaseEntryField::efStr2Long(AnsiString S, int32_t& L) {
    S = TrimSpaces(S);
    L = 0;
    if (S.empty()) return true;
    if (FState.Contains(sefBinary)) {
        if (S.size() > 32) return false;
        uint32_t v = 0;
        for (size_t i = 0; i < S.size(); ++i) {
            char c = S[S.size() - 1 - i];
            if (c != '0' && c != '1') return false;
            if (c == '1') v |= 1u << i;
        }
        L = static_cast<int32_t>(v);
        return true;
    }
    if (FState.Contains(sefOctal)) {
        uint32_t v = 0;
        for (char c : S) {
            if (c < '0' || c > '7' || (v >> 29) != 0) return false;
            v = (v << 3) + uint32_t(c - '0');
        }
        L = static_cast<int32_t>(v);
        return true;
    }
    if (FState.Contains(sefHexadecimal) && S[0] != '$') S.insert(0, 1, '$');
    if (S == "-2147483648") {
        L = INT32_MIN;
        return true;
    }
    return StrToLongPChar(S.c_str(), L);
}

bool TOvcBaseEntryField::efStRangeToRange(const AnsiString& Value, TRangeType& R) {
    R = BlankRange;
    uint8_t sub = SubType();
    if (sub == fsubChar) {
        if (Value.empty()) R.Bytes[0] = ' ';
        else if (Value[0] == '#' && Value.size() > 1) {
            int32_t code;
            AnsiString digits = Value.substr(1, 3);
            R.Bytes[0] = StrToLongPChar(digits.c_str(), code) ? uint8_t(code) : uint8_t(' ');
        } else R.Bytes[0] = uint8_t(Value[0]);
        return true;
    }
    if (IsIntegerSub(sub)) {
        int32_t v;
        if (!efStr2Long(Value, v)) return false;
        struct {
            uint8_t Sub;
            int32_t Lo, Hi;
        } limits[] = {{fsubWord, 0, 65535},
                      {fsubInteger, -32768, 32767},
                      {fsubByte, 0, 255},
                      {fsubShortInt, -128, 127}};
        for (auto& l : limits)
            if (l.Sub == sub && (v < l.Lo || v > l.Hi)) return false;
        LongToRange(v, R);
        return true;
    }
    if (IsNumericSub(sub)) {
        AnsiString s = TrimSpaces(Value);
        std::replace(s.begin(), s.end(), FIntlSup->DecimalSep, '.');
        long double v = 0;
        if (!s.empty()) {
            char* end = nullptr;
            v = std::strtold(s.c_str(), &end);
            if (end == s.c_str() || *end != '\0' || !std::isfinite(v)) return false;
        }
        if (sub == fsubReal) {
            RealToRange(static_cast<double>(v), R);
            return true;
        }
        long double limit = sub == fsubDouble   ? 1.7e308L
                            : sub == fsubSingle ? 3.4e38L
                            : sub == fsubComp   ? 9.2e18L
                                                : 0;
        if (limit > 0 && std::fabs(v) > limit) return false;
        ExtendedToRange(v, R);
        return true;
    }
    if (sub == fsubDate) {
        AnsiString picture = FIntlSup->InternationalDate(true);
        if (Value.size() != picture.size()) return false;
        TStDate d = FIntlSup->DateStringToDate(picture, Value, GetEpoch());
        if (d == BadDate) return false;
        LongToRange(d, R);
        return true;
    }
    if (sub == fsubTime) {
        AnsiString picture = FIntlSup->InternationalTime(false);
        if (Value.size() != picture.size()) return false;
        TStTime t = FIntlSup->TimeStringToTime(picture, Value);
        if (t == BadTime) return false;
        LongToRange(t, R);
        return true;
    }
    return true;
}

void TOvcBaseEntryField::SetRangeStr(TRangeType& R, const AnsiString& Value) {
    if (ComponentState().Contains(csLoading)) return;
    TRangeType r;
    if (!efStRangeToRange(Value, r)) throw EInvalidRangeValue(SubType());
    R = r;
}

void TOvcBaseEntryField::SetRangeLoStr(const AnsiString& Value) { SetRangeStr(FRangeLo, Value); }
void TOvcBaseEntryField::SetRangeHiStr(const AnsiString& Value) { SetRangeStr(FRangeHi, Value); }

void TOvcBaseEntryField::DefineProperties(TFiler* Filer) {
    TOvcCustomControlEx::DefineProperties(Filer);
    uint8_t sub = SubType();
    bool stored = sub != fsubString && sub != fsubBoolean && sub != fsubYesNo;
    auto define = [&](const char* Name, TRangeType& R) {
        Filer->DefineBinaryProperty(
            Name, [&R](TStream& S) { S.ReadBuffer(R.Bytes.data(), R.Bytes.size()); },
            [&R](TStream& S) { S.WriteBuffer(R.Bytes.data(), R.Bytes.size()); }, stored);
    };
    define("RangeHigh", FRangeHi);
    define("RangeLow", FRangeLo);
}

// --- properties ---

void TOvcBaseEntryField::SetUninitialized(bool Value) {
    FUninitialized = Value;
    efRemoveBadOptions();
}

void TOvcBaseEntryField::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    efAdjustSize();
}

void TOvcBaseEntryField::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TOvcBaseEntryField::SetCtrlColor(TColor Value) {
    FCtrlColor = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetDecimalPlaces(uint8_t Value) {
    FDecimalPlaces = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetIntlSupport(TOvcIntlSup* Value) { FIntlSup = Value ? Value : OvcIntlSup; }
void TOvcBaseEntryField::SetUserData(TOvcUserData* Value) { FUserData = Value ? Value : OvcUserData; }

void TOvcBaseEntryField::SetMaxLength(uint16_t Value) {
    if (ComponentState().Contains(csLoading)) {
        FMaxLength = Value;
        return;
    }
    if (Value == 0 || Value > MaxEditLen || Value < FPictureMask.size() || Value == FMaxLength) return;
    FMaxLength = Value;
    FDataSize = 0;
    if (FEditString.size() > Value) FEditString.resize(Value);
    if (HandleAllocated()) RecreateWnd();
}

void TOvcBaseEntryField::SetOptions(TOvcEntryFieldOptions Value) {
    if (Value == FOptions) return;
    if (Value.Contains(efoForceInsert)) Value.Exclude(efoForceOvertype);
    if (Value.Contains(efoRightJustify) && SubType() == fsubString) Value.Include(efoTrimBlanks);
    if (FieldClass() == fcPicture && SubType() == fsubString && !Value.Contains(efoTrimBlanks))
        Value.Exclude(efoRightJustify);
    bool realign = Value.Contains(efoRightAlign) != FOptions.Contains(efoRightAlign);
    FOptions = Value;
    if (!ComponentState().Contains(csLoading)) efRemoveBadOptions();
    FRightAlignedNow = FOptions.Contains(efoRightAlign);
    if (realign) efPositionCaret(true);
    Invalidate();
}

void TOvcBaseEntryField::efRemoveBadOptions() {
    uint8_t sub = SubType();
    auto drop = [&](std::initializer_list<TOvcEntryFieldOption> Options) {
        for (auto o : Options) FOptions.Exclude(o);
    };
    bool charLike = sub == fsubChar || sub == fsubBoolean || sub == fsubYesNo;
    switch (FieldClass()) {
    case fcSimple:
        if (sub == fsubString) drop({efoRightJustify, efoStripLiterals});
        else if (charLike)
            drop({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals});
        else if (IsNumericSub(sub)) drop({efoTrimBlanks, efoRightJustify, efoStripLiterals});
        break;
    case fcPicture:
        if (charLike) drop({efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals});
        else if (IsNumericSub(sub)) drop({efoTrimBlanks, efoStripLiterals});
        else if (sub == fsubDate || sub == fsubTime) drop({efoTrimBlanks, efoRightJustify, efoStripLiterals});
        break;
    case fcNumeric:
        drop(
            {efoCaretToEnd, efoForceInsert, efoTrimBlanks, efoRightJustify, efoStripLiterals, efoRightAlign});
        break;
    }
    Invalidate();
}

void TOvcBaseEntryField::SetPadChar(char Value) {
    FPadChar = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetPasswordChar(char Value) {
    FPasswordChar = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetTextMargin(int Value) {
    if (Value == FTextMargin || Value < 0) return;
    FTextMargin = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetZeroDisplay(TZeroDisplay Value) {
    FZeroDisplay = Value;
    Invalidate();
}

void TOvcBaseEntryField::SetZeroDisplayValue(double Value) {
    FZeroDisplayValue = Value;
    Invalidate();
}

int32_t TOvcBaseEntryField::GetEpoch() {
    int32_t e = FEpoch;
    if (OnGetEpoch) OnGetEpoch(this, e);
    if (e == 0 && Controller()) e = Controller()->Epoch();
    return e;
}

void TOvcBaseEntryField::SetEpoch(int32_t Value) {
    if (Value != 0 && (Value < MinYear || Value > MaxYear)) return;
    FEpoch = Controller() && Value == Controller()->Epoch() ? 0 : Value;
}

void TOvcBaseEntryField::SetModified(bool Value) {
    if (Value) {
        FState.Include(sefModified);
        FState.Include(sefEverModified);
    } else FState.Exclude(sefModified);
}

void TOvcBaseEntryField::SetEverModified(bool Value) {
    if (Value) FState.Include(sefEverModified);
    else {
        FState.Exclude(sefModified);
        FState.Exclude(sefEverModified);
    }
}

bool TOvcBaseEntryField::GetInsertMode() const {
    return Controller() ? Controller()->InsertMode : FState.Contains(sefInsert);
}

void TOvcBaseEntryField::SetInsertMode(bool Value) {
    if (Value == FState.Contains(sefInsert)) return;
    if (Value) FState.Include(sefInsert);
    else FState.Exclude(sefInsert);
    if (Controller()) Controller()->InsertMode = Value;
    FCaret->SetInsMode(Value);
}

// --- text ---

void TOvcBaseEntryField::MergeWithPicture(const AnsiString& S) {
    FEditString = S.substr(0, std::min<size_t>(S.size(), FMaxLength));
}

bool TOvcBaseEntryField::efFieldIsEmpty() { return FEditString.find_first_not_of(' ') == AnsiString::npos; }

bool TOvcBaseEntryField::FieldIsEmpty() {
    HandleNeeded();
    return efFieldIsEmpty();
}

AnsiString TOvcBaseEntryField::efGetDisplayString() {
    AnsiString s = FEditString;
    for (char& c : s)
        if (c >= 1 && c <= 31) c = char(c + 64);
    if (IsNumericSub(SubType()) && !FState.Contains(sefHaveFocus) &&
        (FZeroDisplay == zdHide || (FZeroDisplay == zdHideUntilModified && !GetEverModified()))) {
        AnsiString t = TrimSpaces(GetStrippedEditString());
        std::replace(t.begin(), t.end(), FIntlSup->DecimalSep, '.');
        char* end = nullptr;
        double v = t.empty() ? 0 : std::strtod(t.c_str(), &end);
        if (!t.empty() && end && *end == '\0' && v == FZeroDisplayValue) s.assign(s.size(), ' ');
    }
    return s;
}

char TOvcBaseEntryField::efNthMaskChar(int N) const {
    if (FPictureMask.empty()) return 'X';
    return N >= 0 && size_t(N) < FPictureMask.size() ? FPictureMask[size_t(N)] : FPictureMask.back();
}

void TOvcBaseEntryField::efChangeMask(const AnsiString& Mask) {
    if (Mask.empty()) return;
    AnsiString m = Mask.substr(0, std::min(Mask.size(), MaxEditLen));
    if (ComponentState().Contains(csLoading) || !HandleAllocated() || SubType() > fsubTime) {
        FPictureMask = m;
        return;
    }
    std::vector<uint8_t> buf(size_t(GetDataSize()) + 16, 0);
    efTransfer(buf.data(), 1);
    FPictureMask = m;
    FDataSize = 0;
    efTransfer(buf.data(), 2);
}

void TOvcBaseEntryField::efFixCase(char PicChar, char& Ch, char PrevCh) {
    auto asX = [&] {
        if (PrevCh == ' ' || PrevCh == '-') Ch = UpCaseChar(Ch);
    };
    switch (PicChar) {
    case '!':
    case 'A':
    case 'B':
    case 'E':
    case 'K':
    case 'N':
    case 'Y': Ch = UpCaseChar(Ch); break;
    case 'L':
    case 'l': Ch = LoCaseChar(Ch); break;
    case 'x': asX(); break;
    default:
        if (PicChar >= '1' && PicChar <= '8') switch (FUserData->GetForceCase(PicChar)) {
            case mcUpperCase: Ch = UpCaseChar(Ch); break;
            case mcLowerCase: Ch = LoCaseChar(Ch); break;
            case mcMixedCase: asX(); break;
            default: break;
            }
        break;
    }
}

bool TOvcBaseEntryField::efCharOK(char PicChar, char& Ch, char PrevCh, bool FixCase) {
    if (Ch == '\0') return false;
    if (FixCase) efFixCase(PicChar, Ch, PrevCh);
    switch (PicChar) {
    case 'A':
    case 'a':
    case 'l':
    case 'N':
    case 'n': return AlphaCharSet().Contains(Ch);
    case '9':
    case 'D':
    case 'd':
    case 'H':
    case 'h':
    case 'M':
    case 'm':
    case 'S':
    case 's':
    case 'y': return IntegerCharSet.Contains(Ch);
    case 'i': return Ch == '-' || IntegerCharSet.Contains(Ch);
    case '#': return RealCharSet.Contains(Ch);
    case 'E': return Ch == '+' || Ch == 'E' || RealCharSet.Contains(Ch);
    case 'K': return (Ch >= 'A' && Ch <= 'F') || IntegerCharSet.Contains(Ch);
    case 'O': return Ch == ' ' || (Ch >= '0' && Ch <= '7');
    case 'b': return Ch == ' ' || Ch == '0' || Ch == '1';
    case 'B': return Ch == FIntlSup->TrueLetter || Ch == FIntlSup->FalseLetter;
    case 'Y': return Ch == FIntlSup->YesLetter || Ch == FIntlSup->NoLetter;
    default:
        if (PicChar >= '1' && PicChar <= '8') {
            TCharSet set;
            FUserData->GetUserCharSet(PicChar, set);
            return set.Contains(Ch);
        }
        return true;
    }
}

// --- window ---

void TOvcBaseEntryField::CreateParams(TCreateParams& Params) {
    TOvcCustomControlEx::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
    if (FMaxLength == 0) FMaxLength = uint16_t(FPictureMask.size());
    FState = sefDefOptions;
}

void TOvcBaseEntryField::CreateWnd() {
    TOvcCustomControlEx::CreateWnd();
    FHOffset = FCurrentPos = FSelStart = FSelEnd = 0;
    GetDataSize();
    if (FOptions.Contains(efoInputRequired) && SubType() >= fsubChar && SubType() <= fsubComp)
        FUninitialized = true;
    if (FPictureMask.find('K') != AnsiString::npos) FState.Include(sefHexadecimal);
    if (FPictureMask.find('b') != AnsiString::npos) FState.Include(sefBinary);
    if (FPictureMask.find('O') != AnsiString::npos) FState.Include(sefOctal);
    if (FieldClass() == fcNumeric) FState.Include(sefNumeric);
    FState.Include(sefNoLiterals);
    efRemoveBadOptions();
    Canvas()->Font()->Assign(Font());
    efAdjustSize();
    FTopMargin = efCalcTopMargin();
    FRightAlignedNow = FOptions.Contains(efoRightAlign);
}

int TOvcBaseEntryField::efCalcTopMargin() {
    if (!HandleAllocated()) return 0;
    int m = GetTopTextMargin(Font(), FBorderStyle, Height(), Ctl3D());
    m += EnabledWidth(FBorders->TopBorder());
    return m;
}

void TOvcBaseEntryField::efAdjustSize() {
    if (!FAutoSize || !HandleAllocated()) return;
    HDC dc = GetDC(nullptr);
    dc->Font()->Assign(Font());
    TTextMetric tm;
    dc->GetTextMetrics(tm);
    ReleaseDC(nullptr, dc);
    int h = tm.tmHeight + (Ctl3D() ? 8 : 6) * GetSystemMetrics(SM_CYBORDER);
    if (h != Height()) {
        bool keep = FAutoSize;
        TOvcCustomControlEx::SetBounds(Left(), Top(), Width(), h);
        FAutoSize = keep;
    }
}

void TOvcBaseEntryField::BordersChanged(TObject*) {
    bool any = FBorders->AnyEnabled();
    FBorderStyle = any ? bsNone : bsSingle;
    SetCtl3D(!any);
    if (HandleAllocated()) RecreateWnd();
}

int TOvcBaseEntryField::efTextWidth(const AnsiString& S) {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    return c->TextWidth(S);
}

// --- selection, caret ---

void TOvcBaseEntryField::SetSelection(int Start, int End) {
    if (End < Start) return;
    int len = int(FEditString.size());
    Start = std::clamp(Start, 0, len);
    End = std::clamp(End, 0, len);
    if (FieldClass() == fcNumeric && Start != End) {
        Start = 0;
        End = len;
    }
    FSelStart = Start;
    FSelEnd = End;
    Invalidate();
}

void TOvcBaseEntryField::SelectAll() {
    if (HandleAllocated()) SendMessage(Handle(), EM_SETSEL, 0, MakeLParam(0, 0xFFFF));
}

AnsiString TOvcBaseEntryField::GetSelText() const {
    AnsiString s = FEditString.substr(size_t(FSelStart), size_t(FSelEnd - FSelStart));
    return s.substr(0, std::min(s.size(), MaxEditLen));
}

void TOvcBaseEntryField::SetSelText(const AnsiString& Value) {
    TMessage m{};
    m.Msg = WM_PASTE;
    m.LParam = reinterpret_cast<LPARAM>(Value.c_str());
    efPerformEdit(m, ccPaste);
}

void TOvcBaseEntryField::efCaretToEnd() { FCurrentPos = int(FEditString.size()); }

void TOvcBaseEntryField::efCaretToStart() {
    FCurrentPos = 0;
    FHOffset = 0;
}

void TOvcBaseEntryField::efResetCaret() {
    if (FOptions.Contains(efoCaretToEnd)) efCaretToEnd();
    else efCaretToStart();
}

void TOvcBaseEntryField::efSetCaretPos(int Value) {
    if (!FState.Contains(sefHaveFocus)) return;
    FCurrentPos = std::clamp(Value, 0, int(FEditString.size()));
    efPositionCaret(true);
}

void TOvcBaseEntryField::MoveCaret(int Delta) {
    if (!FState.Contains(sefHaveFocus)) return;
    for (int i = 0; i < std::abs(Delta); ++i) ProcessCommand(Delta > 0 ? ccRight : ccLeft, 0);
}

bool TOvcBaseEntryField::efPositionCaret(bool Adjust) {
    if (!FState.Contains(sefHaveFocus)) return false;
    int oldOffset = FHOffset;
    if (Adjust) {
        if (FCurrentPos <= efEditBegin() + 1 && FHOffset > 0) FHOffset = 0;
        else if (FCurrentPos < FHOffset) FHOffset = FCurrentPos;
    }
    AnsiString s = efGetDisplayString();
    int avail = ClientWidth() - FTextMargin - 1;
    FRightAlignedNow = FOptions.Contains(efoRightAlign) && efTextWidth(s) < avail;
    if (FRightAlignedNow) FHOffset = 0;
    auto widthTo = [&] {
        return FRightAlignedNow ? efTextWidth(s.substr(size_t(FCurrentPos)))
                                : efTextWidth(s.substr(size_t(FHOffset), size_t(FCurrentPos - FHOffset)));
    };
    while (!FRightAlignedNow && widthTo() >= avail && !FState.Contains(sefIgnoreFocus) && Adjust &&
           FHOffset < FCurrentPos)
        ++FHOffset;
    TTextMetric tm;
    Canvas()->Font()->Assign(Font());
    Canvas()->GetTextMetrics(tm);
    FCaret->SetCellHeight(tm.tmHeight);
    char under = size_t(FCurrentPos) < s.size() ? s[size_t(FCurrentPos)] : ' ';
    FCaret->SetCellWidth(std::max(efTextWidth(AnsiString(1, under)), 1));
    int w = widthTo();
    TOvcCaretShape shape = FCaret->CaretType()->Shape();
    if (shape == csBlock || shape == csHalfBlock || shape == csHorzLine ||
        FCaret->CaretType()->CaretWidth() > 4)
        w += FRightAlignedNow ? -1 : 1;
    int left = EnabledWidth(FBorders->LeftBorder());
    int right = EnabledWidth(FBorders->RightBorder());
    int x;
    if (FieldClass() == fcNumeric) x = ClientWidth() - FTextMargin - right - 1;
    else if (FRightAlignedNow) x = ClientWidth() - w - FTextMargin - right - 2;
    else x = FTextMargin + left + w - 2;
    FCaretPoint = TPoint(x, std::max(FTopMargin, 0));
    FCaret->SetPos(FCaretPoint);
    return FHOffset != oldOffset;
}

int TOvcBaseEntryField::efGetMousePos(int X) {
    AnsiString s = efGetDisplayString();
    int avg = std::max(efTextWidth("x"), 1);
    if (X < 0 && FHOffset > 0) FHOffset = std::max(FHOffset - (std::abs(X) + avg) / avg, 0);
    int left = FTextMargin + EnabledWidth(FBorders->LeftBorder());
    if (FRightAlignedNow) {
        int start = ClientWidth() - efTextWidth(s) - FTextMargin - 1;
        for (size_t i = 0; i < s.size(); ++i) {
            int mid = start + efTextWidth(s.substr(0, i)) + efTextWidth(s.substr(i, 1)) / 2;
            if (mid > X) return int(i);
        }
        return int(s.size());
    }
    for (size_t i = size_t(FHOffset); i < s.size(); ++i) {
        int mid = left + efTextWidth(s.substr(size_t(FHOffset), i - size_t(FHOffset))) +
                  efTextWidth(s.substr(i, 1)) / 2;
        if (mid > X) return std::max(int(i), 0);
    }
    return int(s.size());
}

// --- commands ---

void TOvcBaseEntryField::ProcessCommand(uint16_t Command, char Ch) {
    TMessage m{};
    m.Msg = WM_CHAR;
    m.WParam = static_cast<uint8_t>(Ch);
    efPerformEdit(m, Command);
}

void TOvcBaseEntryField::efConditionalBeep() {
    if (Controller() && Controller()->EntryOptions().Contains(efoBeepOnError)) MessageBeep(0);
}

void TOvcBaseEntryField::efPerformEdit(TMessage& Msg, uint16_t Command) {
    HandleNeeded();
    if (!HandleAllocated()) return;
    if (Command == ccChar && static_cast<uint8_t>(Msg.WParam) == 0) return;
    if (efIsReadOnly()) {
        static constexpr uint16_t refused[] = {ccBack,   ccCtrlChar, ccCut,     ccDec,     ccDel,
                                               ccDelBol, ccDelEol,   ccDelLine, ccDelWord, ccInc,
                                               ccPaste,  ccRestore,  ccChar};
        if (std::find(std::begin(refused), std::end(refused), Command) != std::end(refused)) {
            efConditionalBeep();
            return;
        }
    }
    if (Command >= ccUserFirst) {
        DoOnUserCommand(Command);
        Command = ccSequenceFailed;
    }
    efEdit(Msg, Command);
}

void TOvcBaseEntryField::efFieldModified() {
    FState.Include(sefModified);
    FState.Include(sefEverModified);
    DoOnChange();
}

void TOvcBaseEntryField::efPerformRepaint(bool Modified) {
    if (Modified) efFieldModified();
    Invalidate();
}

void TOvcBaseEntryField::DoOnChange() {
    if (!FState.Contains(sefUpdating) && OnChange) OnChange(this);
}

void TOvcBaseEntryField::DoOnError(uint16_t ErrorCode, const AnsiString& ErrorMsg) {
    if (OnError) OnError(this, ErrorCode, ErrorMsg);
    else if (Controller()) Controller()->DoOnError(this, ErrorCode, ErrorMsg);
}

void TOvcBaseEntryField::DoOnUserCommand(uint16_t Command) {
    if (OnUserCommand) OnUserCommand(this, Command);
}

void TOvcBaseEntryField::DoOnUserValidation(uint16_t& ErrorCode) {
    if (!FState.Contains(sefNoUserValidate) && OnUserValidation) OnUserValidation(this, ErrorCode);
}

void TOvcBaseEntryField::efSaveEditString() {
    if (FSavedEditString) *FSavedEditString = FEditString;
    else FSavedEditString = std::make_unique<AnsiString>(FEditString);
}

void TOvcBaseEntryField::Restore() {
    if (!FSavedEditString) return;
    FEditString = *FSavedEditString;
    efResetCaret();
    SetSelection(0, int(MaxEditLen));
    FState.Exclude(sefModified);
    Invalidate();
    DoOnChange();
}

void TOvcBaseEntryField::IncreaseValue(bool Wrap, double Delta) {
    efIncDecValue(Wrap, Delta);
    SetSelection(0, 0);
    Invalidate();
}

void TOvcBaseEntryField::DecreaseValue(bool Wrap, double Delta) {
    efIncDecValue(Wrap, -Delta);
    SetSelection(0, 0);
    Invalidate();
}

void TOvcBaseEntryField::ClearContents() {
    if (!HandleAllocated()) return;
    bool readOnly = FOptions.Contains(efoReadOnly);
    FOptions.Exclude(efoReadOnly);
    FState.Include(sefUpdating);
    SendMessage(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    FState.Exclude(sefUpdating);
    if (readOnly) FOptions.Include(efoReadOnly);
}

void TOvcBaseEntryField::ClearSelection() {
    if (HandleAllocated()) SendMessage(Handle(), WM_CLEAR, 0, 0);
}
void TOvcBaseEntryField::CopyToClipboard() {
    if (HandleAllocated()) SendMessage(Handle(), WM_COPY, 0, 0);
}
void TOvcBaseEntryField::CutToClipboard() {
    if (HandleAllocated()) SendMessage(Handle(), WM_CUT, 0, 0);
}
void TOvcBaseEntryField::PasteFromClipboard() {
    if (HandleAllocated()) SendMessage(Handle(), WM_PASTE, 0, 0);
}

void TOvcBaseEntryField::efCopyPrim() {
    if (FSelStart == FSelEnd) return;
    AnsiString shown = efGetDisplayString().substr(size_t(FSelStart), size_t(FSelEnd - FSelStart));
    // The control characters go back in place of the letters that show them.
    for (size_t i = 0; i < shown.size(); ++i) {
        char c = FEditString[size_t(FSelStart) + i];
        if (c >= 1 && c <= 31) shown[i] = c;
    }
    HGLOBAL mem = GlobalAlloc(GHND, shown.size() + 1);
    if (!mem) return;
    std::memcpy(GlobalLock(mem), shown.c_str(), shown.size() + 1);
    GlobalUnlock(mem);
    if (!OpenClipboard(reinterpret_cast<uintptr_t>(Handle()))) {
        GlobalFree(mem);
        return;
    }
    EmptyClipboard();
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
}

// --- validation ---

bool TOvcBaseEntryField::efCanClose(bool DoValidation) {
    if (!Visible() || !Enabled()) return true;
    HandleNeeded();
    FLastError = 0;
    if (FOptions.Contains(efoInputRequired) && !efIsReadOnly() &&
        (efFieldIsEmpty() || (FUninitialized && !GetModified())))
        FLastError = oeRequiredField;
    else {
        FState.Include(sefValidating);
        FLastError = efValidateField();
        FState.Exclude(sefValidating);
    }
    FCurrentPos = std::min(FCurrentPos, int(FEditString.size()));
    if (FLastError == 0) {
        FState.Exclude(sefInvalid);
        return true;
    }
    if (DoValidation && FOptions.Contains(efoSoftValidation)) {
        FState.Include(sefInvalid);
        return true;
    }
    if (FOptions.Contains(efoSoftValidation)) FState.Include(sefInvalid);
    FState.Include(sefErrorPending);
    if (FState.Contains(sefHaveFocus)) FState.Include(sefRetainPos);
    if (Controller()) {
        Controller()->RequestFocus(this);
        if (!Controller()->ErrorPending) PostMessage(Handle(), OM_REPORTERROR, FLastError, 0);
        Controller()->ErrorPending = true;
    }
    return false;
}

uint16_t TOvcBaseEntryField::ValidateContents(bool ReportError) {
    if (!Enabled()) return 0;
    HandleNeeded();
    bool was = FState.Contains(sefInvalid);
    uint16_t code;
    if (FOptions.Contains(efoInputRequired) && !efIsReadOnly() &&
        (efFieldIsEmpty() || (FUninitialized && !GetModified())))
        code = oeRequiredField;
    else {
        FState.Include(sefValidating);
        code = efValidateField();
        FState.Exclude(sefValidating);
    }
    FLastError = code;
    if (ReportError && code) PostMessage(Handle(), OM_REPORTERROR, code, 0);
    if (!code) FState.Exclude(sefInvalid);
    else if (FOptions.Contains(efoSoftValidation)) FState.Include(sefInvalid);
    if (was != FState.Contains(sefInvalid)) Invalidate();
    return code;
}

bool TOvcBaseEntryField::ValidateSelf() {
    return ValidateContents(!FOptions.Contains(efoSoftValidation)) == 0;
}

void TOvcBaseEntryField::OnReportError(uint16_t Code) {
    if (Code == 0) return;
    AnsiString text = ErrorText(Code, Controller());
    if (Controller() && Controller()->ErrorText != text) Controller()->ErrorText = text;
    DoOnError(Code, text);
}

// --- focus ---

bool TOvcBaseEntryField::efIsSibling(HWND Wnd) {
    TWinControl* c = FindControl(Wnd);
    if (!c && Wnd) c = FindControl(GetParent(Wnd));
    return c && c != this && GetParentForm(c) == GetParentForm(this);
}

void TOvcBaseEntryField::efMoveFocus(TWinControl* Control) {
    if (Controller()) Controller()->RequestFocus(Control);
}

void TOvcBaseEntryField::efMoveFocusToNextField() {
    if (TCustomForm* f = GetParentForm(this)) PostMessage(f->Handle(), WM_NEXTDLGCTL, 0, 0);
}

void TOvcBaseEntryField::efMoveFocusToPrevField() {
    if (TCustomForm* f = GetParentForm(this)) PostMessage(f->Handle(), WM_NEXTDLGCTL, 1, 0);
}

void TOvcBaseEntryField::OnSetFocus(TMessage& Message) {
    if (ComponentState().Contains(csLoading)) {
        TOvcCustomControlEx::WndProc(Message);
        return;
    }
    HWND losing = reinterpret_cast<HWND>(Message.WParam);
    FState.Include(sefHaveFocus);
    TOvcController* ctl = Controller();
    if (ctl && ctl->EntryCommands()) ctl->EntryCommands()->ResetCommandProcessor();
    bool pending = FState.Contains(sefValPending);
    if (!FOptions.Contains(efoForceInsert) && !FOptions.Contains(efoForceOvertype) && ctl) {
        if (ctl->InsertMode) FState.Include(sefInsert);
        else FState.Exclude(sefInsert);
    }
    bool passing = false, selectAll = false, reset = false;
    if (!FState.Contains(sefRetainPos)) {
        passing = ctl && ctl->ErrorPending && FLastError == 0;
        if (!passing) {
            if (!pending) FState.Exclude(sefModified);
            if (ctl) ctl->DoOnPreEdit(this, FindControl(losing));
            efSaveEditString();
        }
        if (!FState.Contains(sefNoHighlight) && !passing) {
            efResetCaret();
            reset = true;
            selectAll = true;
        }
    }
    if (passing && !FOptions.Contains(efoSoftValidation)) FState.Include(sefIgnoreFocus);
    else FState.Exclude(sefIgnoreFocus);
    for (TsefOption o : {sefErrorPending, sefRetainPos, sefNoHighlight, sefValPending}) FState.Exclude(o);
    if (!passing && ctl) ctl->ErrorPending = false;
    TOvcCustomControlEx::WndProc(Message);
    if (FOptions.Contains(efoForceInsert)) FState.Include(sefInsert);
    if (FOptions.Contains(efoForceOvertype)) FState.Exclude(sefInsert);
    FCaret->SetLinked(true);
    FCaret->SetVisible(true);
    FCaret->SetInsMode(FState.Contains(sefInsert));
    efPositionCaret(reset);
    if (selectAll && ctl && ctl->EntryOptions().Contains(efoAutoSelect)) SetSelection(0, int(MaxEditLen));
    Invalidate();
}

void TOvcBaseEntryField::OnKillFocus(TMessage& Message) {
    HWND gaining = reinterpret_cast<HWND>(Message.WParam);
    bool sibling = gaining && gaining != Handle() && efIsSibling(gaining);
    if (sibling) FState.Exclude(sefRetainPos);
    else FState.Include(sefRetainPos);
    FCaret->SetLinked(false);
    if (GetCapture() == Handle()) ReleaseCapture();
    TOvcCustomControlEx::WndProc(Message);
    TOvcController* ctl = Controller();
    if (!FOptions.Contains(efoForceInsert) && !FOptions.Contains(efoForceOvertype) && ctl)
        ctl->InsertMode = FState.Contains(sefInsert);
    if (FState.Contains(sefErrorPending) || FState.Contains(sefIgnoreFocus)) {
        if (FState.Contains(sefErrorPending)) FState.Include(sefValPending);
        else FState.Exclude(sefValPending);
    } else {
        FState.Include(sefValPending);
        if (sibling) {
            if (GetModified()) FUninitialized = false;
            if (ctl && ctl->IsSpecialButton(gaining)) {
                bool modified = GetModified();
                FState.Include(sefValidating);
                FLastError = efValidateField();
                FState.Exclude(sefValidating);
                SetModified(modified);
            } else {
                efCanClose(true);
                if (FState.Contains(sefErrorPending)) FState.Include(sefValPending);
                else FState.Exclude(sefValPending);
            }
        }
    }
    bool retain = FState.Contains(sefRetainPos), ignore = FState.Contains(sefIgnoreFocus);
    FState.Exclude(sefHaveFocus);
    if (sibling && !retain && !ignore && ctl) ctl->DoOnPostEdit(this, FindControl(gaining));
    FState.Exclude(sefIgnoreFocus);
    if (!retain) efCaretToStart();
    Invalidate();
}

// --- messages ---

void TOvcBaseEntryField::OnKeyDown(TMessage& Message, bool Sys) {
    WORD key = static_cast<WORD>(Message.WParam);
    TOvcController* ctl = Controller();
    if (!ctl || !ctl->EntryCommands()) return;
    if (key == 0 || key == VK_SHIFT) return;
    if (Sys && (key == VK_TAB || key == VK_MENU)) return;
    uint16_t cmd =
        Sys ? ctl->EntryCommands()->TranslateKey(key, {ssAlt}) : ctl->EntryCommands()->Translate(Message);
    if (cmd == ccUndo) cmd = ccRestore;
    // The character that follows a key is typed only when the key was no command.
    if (cmd == ccNotACommand) FState.Include(sefCharOK);
    else FState.Exclude(sefCharOK);
    if (cmd == ccNone) return;
    if (!Sys && cmd == ccIns && (FOptions.Contains(efoForceInsert) || FOptions.Contains(efoForceOvertype)))
        return;
    switch (cmd) {
    case ccCopy: SendMessage(Handle(), WM_COPY, 0, 0); break;
    case ccCut: SendMessage(Handle(), WM_CUT, 0, 0); break;
    case ccPaste: SendMessage(Handle(), WM_PASTE, 0, 0); break;
    default: efPerformEdit(Message, cmd); break;
    }
    if (Sys && key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        FState.Include(sefCharOK);
        FState.Include(sefAcceptChar);
    }
}

void TOvcBaseEntryField::OnPaste(const char* Text) {
    TMessage m{};
    m.Msg = WM_PASTE;
    m.LParam = reinterpret_cast<LPARAM>(Text);
    efPerformEdit(m, ccPaste);
}

void TOvcBaseEntryField::OnSetSel(TMessage& Message) {
    auto l = static_cast<uintptr_t>(Message.LParam);
    int start = LoWord(l), end = HiWord(l);
    if (start == 0xFFFF) SetSelection(FCurrentPos, FCurrentPos), FSelStart = FSelEnd = 0;
    else if (start == 0 && end == 0xFFFF) SetSelection(0, int(MaxEditLen));
    else if (start <= end) SetSelection(start, end);
    Invalidate();
}

std::unique_ptr<TPopupMenu> TOvcBaseEntryField::efBuildEditMenu() {
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    bool hasSel = FSelStart != FSelEnd, ro = efIsReadOnly();
    struct TItem {
        uint16_t Text;
        bool Enabled;
        std::function<void()> Action;
    } items[] = {
        {30287, GetModified(),
         [this] {
             Restore();
             efPositionCaret(true);
         }},
        {0, true, nullptr},
        {30288, hasSel && !ro, [this] { CutToClipboard(); }},
        {30289, hasSel, [this] { CopyToClipboard(); }},
        {30290, !ro && ClipboardHasText(), [this] { PasteFromClipboard(); }},
        {30291, hasSel && !ro, [this] { ClearSelection(); }},
        {0, true, nullptr},
        {30292, FSelEnd - FSelStart < int(FEditString.size()), [this] { SelectAll(); }},
    };
    for (TItem& i : items) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(i.Text ? GetRvLibStr(i.Text) : AnsiString("-"));
        item->SetEnabled(i.Enabled);
        if (i.Action) item->OnClick = [a = i.Action](TObject*) { a(); };
        menu->Items()->Add(item);
    }
    return menu;
}

void TOvcBaseEntryField::ShowEditMenu(TPoint At) {
    std::unique_ptr<TPopupMenu> menu = efBuildEditMenu();
    TPoint p = ClientToScreen(At);
    menu->Popup(p.x, p.y);
    Application->ProcessMessages();
}

void TOvcBaseEntryField::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: OnSetFocus(Message); return;
    case WM_KILLFOCUS: OnKillFocus(Message); return;
    case WM_KEYDOWN:
        TOvcCustomControlEx::WndProc(Message);
        OnKeyDown(Message, false);
        return;
    case WM_SYSKEYDOWN:
        TOvcCustomControlEx::WndProc(Message);
        OnKeyDown(Message, true);
        return;
    case WM_CHAR:
        TOvcCustomControlEx::WndProc(Message);
        if (FState.Contains(sefCharOK)) efPerformEdit(Message, ccChar);
        return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; return;
    case WM_COPY: efPerformEdit(Message, ccCopy); return;
    case WM_CUT:
        efCopyPrim();
        efPerformEdit(Message, ccCut);
        return;
    case WM_CLEAR: efPerformEdit(Message, ccCut); return;
    case WM_PASTE:
        if (ClipboardHasText()) {
            AnsiString text = ClipboardGetText();
            OnPaste(text.c_str());
        }
        return;
    case WM_SETTEXT:
        SetSelection(0, int(MaxEditLen));
        OnPaste(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "");
        Message.Result = 1;
        return;
    case EM_GETMODIFY: Message.Result = GetModified(); return;
    case EM_SETMODIFY: SetModified(static_cast<intptr_t>(Message.WParam) > 0); return;
    case EM_GETSEL:
        if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = DWORD(FSelStart);
        if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = DWORD(FSelEnd);
        Message.Result = MakeLParam(FSelStart, FSelEnd);
        return;
    case EM_SETSEL: OnSetSel(Message); return;
    case OM_REPORTERROR: OnReportError(static_cast<uint16_t>(Message.WParam)); return;
    case OM_GETDATASIZE: Message.Result = GetDataSize(); return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_LBUTTONDOWN:
        if (!FState.Contains(sefHaveFocus)) {
            FState.Include(sefNoHighlight);
            SetSelection(0, 0);
            if (CanFocus()) SetFocus();
        }
        TOvcCustomControlEx::WndProc(Message);
        if (FState.Contains(sefHaveFocus)) efPerformEdit(Message, ccMouse);
        return;
    case WM_LBUTTONDBLCLK:
        TOvcCustomControlEx::WndProc(Message);
        if (FState.Contains(sefHaveFocus)) efPerformEdit(Message, ccDblClk);
        return;
    case WM_MOUSEMOVE:
        TOvcCustomControlEx::WndProc(Message);
        if (GetCapture() == Handle() && GetAsyncKeyState(GetLeftButton()) < 0)
            efPerformEdit(Message, ccMouseMove);
        return;
    case WM_RBUTTONUP:
        if (!FState.Contains(sefHaveFocus) && CanFocus()) SetFocus();
        if (PopupMenu()) break;
        ShowEditMenu(TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(Message.LParam))),
                            static_cast<int16_t>(HiWord(static_cast<uintptr_t>(Message.LParam)))));
        return;
    case WM_SIZE:
        TOvcCustomControlEx::WndProc(Message);
        Invalidate();
        return;
    default: break;
    }
    TOvcCustomControlEx::WndProc(Message);
}

// --- drawing ---

void TOvcBaseEntryField::Paint() {
    TBitmap bmp;
    bmp.SetSize(ClientWidth(), ClientHeight());
    efPaintPrim(bmp.Canvas());
    Canvas()->Draw(0, 0, &bmp);
    efPaintBorders();
}

void TOvcBaseEntryField::efPaintPrim(TCanvas* C) {
    C->Font()->Assign(Font());
    TColor text = Font()->Color(), back = Color();
    if (!IsValid()) {
        text = FEFColors->Error()->TextColor();
        back = FEFColors->Error()->BackColor();
    } else if (!Enabled()) {
        text = FEFColors->Disabled()->TextColor();
        back = FEFColors->Disabled()->BackColor();
    }
    C->Brush()->SetColor(back);
    C->FillRect(TRect(0, 0, ClientWidth(), ClientHeight()));
    AnsiString s = efGetDisplayString();
    int left = EnabledWidth(FBorders->LeftBorder());
    int right = EnabledWidth(FBorders->RightBorder());
    TColor hiText = FEFColors->Highlight()->TextColor(), hiBack = FEFColors->Highlight()->BackColor();
    bool hasSel = FState.Contains(sefHaveFocus) && Enabled() && FSelStart != FSelEnd;
    int y = FTopMargin;
    C->SetBkMode(OPAQUE);
    if (FieldClass() == fcNumeric) {
        AnsiString t = TrimSpaces(s);
        int x = ClientWidth() - efTextWidth(t) - FTextMargin - right - 1;
        C->Font()->SetColor(hasSel ? hiText : text);
        C->Brush()->SetColor(hasSel ? hiBack : back);
        C->TextOut(x, y, t);
        return;
    }
    AnsiString visible = s.substr(std::min(size_t(FHOffset), s.size()));
    int textWidth = efTextWidth(visible);
    int x = FTextMargin + left - 1;
    if (FOptions.Contains(efoRightAlign) && textWidth < ClientWidth() - FTextMargin - 1)
        x = ClientWidth() - textWidth - FTextMargin - right - 1;
    int selFrom = hasSel ? std::max(FSelStart - FHOffset, 0) : 0;
    int selTo = hasSel ? std::max(FSelEnd - FHOffset, 0) : 0;
    // Runs of printable and of control characters, each split where the selection starts and ends.
    for (size_t i = 0; i < visible.size();) {
        size_t j = i + 1;
        bool ctrl = FEditString.size() > i + size_t(FHOffset) && FEditString[i + size_t(FHOffset)] >= 1 &&
                    FEditString[i + size_t(FHOffset)] <= 31;
        bool sel = int(i) >= selFrom && int(i) < selTo;
        while (j < visible.size()) {
            size_t k = j + size_t(FHOffset);
            bool c2 = k < FEditString.size() && FEditString[k] >= 1 && FEditString[k] <= 31;
            bool s2 = int(j) >= selFrom && int(j) < selTo;
            if (c2 != ctrl || s2 != sel) break;
            ++j;
        }
        AnsiString run = visible.substr(i, j - i);
        C->Font()->SetColor(ctrl ? FCtrlColor : sel ? hiText : text);
        C->Brush()->SetColor(sel ? hiBack : back);
        C->TextOut(x, y, run);
        x += efTextWidth(run);
        i = j;
    }
}

void TOvcBaseEntryField::efPaintBorders() { PaintOvcBorders(Canvas(), *FBorders, Width(), Height(), false); }
