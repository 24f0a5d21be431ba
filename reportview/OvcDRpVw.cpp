#include "reportview/OvcDRpVw.h"

#include <cmath>
#include <cstring>

#include "platform/classes/Filer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcFiler.h"

ZELMOR_IMPLEMENT_ENUM(TOvcDRDataType, "dtString", "dtFloat", "dtInteger", "dtDateTime", "dtBoolean",
                      "dtDWord")
ZELMOR_IMPLEMENT_COMPONENT(TOvcDataRvField, TOvcRvField)
ZELMOR_IMPLEMENT_CLASS(TOvcDataRvItems, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TOvcDataReportView, TOvcCustomReportView)

namespace {

enum : uint16_t {
    SOnFilterNotAsgnd = 30383,
    SNotMultiSelect = 30390,
    SOnEnumNotAsgnd = 30394,
    SOnEnumSelNotAsgnd = 30395
};

[[noreturn]] void TypeMismatch() { throw Exception("Type mismatch"); }

// The 10-byte extended float of the stream, written and read the same on
// any machine: sign and 15-bit exponent in the last two bytes, a 64-bit
// mantissa with its leading one written out.
void ToExtended(long double Value, uint8_t* Out) {
    std::memset(Out, 0, 10);
    uint16_t sign = std::signbit(Value) ? 0x8000 : 0;
    uint64_t mantissa = 0;
    int exponent = 0;
    if (std::isnan(Value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(Value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (Value != 0) {
        int e = 0;
        long double m = std::frexp(std::fabs(Value), &e);  // m in [0.5, 1)
        mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
        exponent = e - 1 + 16383;
    }
    for (int i = 0; i < 8; ++i) Out[i] = uint8_t(mantissa >> (8 * i));
    uint16_t top = uint16_t(sign | exponent);
    Out[8] = uint8_t(top);
    Out[9] = uint8_t(top >> 8);
}

long double FromExtended(const uint8_t* In) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= uint64_t(In[i]) << (8 * i);
    uint16_t top = uint16_t(In[8] | (In[9] << 8));
    const bool negative = top & 0x8000;
    const int exponent = top & 0x7FFF;
    long double v;
    if (exponent == 0x7FFF) v = (mantissa << 1) ? NAN : INFINITY;
    else v = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
    return negative ? -v : v;
}

int32_t ReadInt32(TStream& S) {
    uint8_t b[4];
    S.ReadBuffer(b, 4);
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

void WriteInt32(TStream& S, int32_t V) {
    const uint32_t u = uint32_t(V);
    const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    S.WriteBuffer(b, 4);
}

// Halves go to the even integer.
int64_t RoundEven(long double V) { return static_cast<int64_t>(std::nearbyint(V)); }

bool Loading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

template <class T>
int Compare3(T A, T B) {
    return A < B ? -1 : (A > B ? 1 : 0);
}

}  // namespace

// --- fields ---

void TOvcDataRvField::DescribeProperties(TPropertyTable& T) {
    T.Property("DataType", &TOvcDataRvField::DataType, &TOvcDataRvField::SetDataType).Default(dtString);
    T.Property("Format", &TOvcDataRvField::Format, &TOvcDataRvField::SetFormat);
}

void TOvcDataRvField::SetDataType(TOvcDRDataType Value) {
    if (Value == DataType()) return;
    auto* view = dynamic_cast<TOvcDataReportView*>(GetOwnerReport());
    if (view && view->Items()->GetCount() > 0)
        throw Exception("It is not possible to change data types while the view contains data");
    FDataType = uint8_t(Value);
}

// --- items ---

TOvcDataRvItem::TOvcDataRvItem(TOvcDataReportView* View, TOvcDataRvItems* Items, bool Private)
    : FView(View), FItems(Items), FPrivate(Private) {
    if (!Private && View) {
        View->Engine().AddDataPrim(this);
        FRegistered = true;
    }
    if (Items) Items->FList.push_back(this);
}

TOvcDataRvItem::~TOvcDataRvItem() {
    const bool clearing = FItems && FItems->FClearing;
    if (FRegistered && !clearing && FView && FView->Engine().Contains(this))
        FView->Engine().RemoveDataPrim(this);
    if (FItems && !clearing) std::erase(FItems->FList, this);
}

TOvcDRDataType TOvcDataRvItem::TypeOf(int FieldIndex) const {
    return static_cast<TOvcDataRvField*>(FView->Fields()->Item(FieldIndex))->DataType();
}

void TOvcDataRvItem::CheckIndex(int FieldIndex) const {
    if (FieldIndex < 0 || !FView || FieldIndex >= FView->Fields()->Count())
        throw Exception("Field index out of range");
}

void TOvcDataRvItem::CheckType(int FieldIndex, TOvcDRDataType Type) const {
    CheckIndex(FieldIndex);
    if (TypeOf(FieldIndex) != Type) TypeMismatch();
}

int TOvcDataRvItem::GetFieldSize(int FieldIndex) const {
    if (FSizes.empty()) return 0;
    CheckIndex(FieldIndex);
    return FieldIndex < int(FSizes.size()) ? FSizes[size_t(FieldIndex)] : 0;
}

void TOvcDataRvItem::ValidateData() {
    const size_t fields = size_t(FView ? FView->Fields()->Count() : 0);
    if (FSizes.size() == fields) return;
    FData.clear();
    FSizes.assign(fields, 0);
    FOffsets.assign(fields, 0);
}

void TOvcDataRvItem::ClearData() {
    FData.clear();
    FSizes.clear();
    FOffsets.clear();
}

void TOvcDataRvItem::SetFieldSize(int FieldIndex, int Size) {
    ValidateData();
    CheckIndex(FieldIndex);
    if (FSizes[size_t(FieldIndex)] == Size) return;
    std::vector<uint8_t> data;
    std::vector<int> offsets(FSizes.size(), 0);
    int at = 0;
    for (size_t i = 0; i < FSizes.size(); ++i) {
        offsets[i] = at;
        const int size = int(i) == FieldIndex ? Size : FSizes[i];
        if (int(i) != FieldIndex)
            data.insert(data.end(), FData.begin() + FOffsets[i], FData.begin() + FOffsets[i] + size);
        else data.resize(data.size() + size_t(size), 0);
        at += size;
    }
    FData.swap(data);
    FOffsets.swap(offsets);
    FSizes[size_t(FieldIndex)] = Size;
}

const uint8_t* TOvcDataRvItem::Bytes(int FieldIndex) const {
    return FData.data() + FOffsets[size_t(FieldIndex)];
}
uint8_t* TOvcDataRvItem::Bytes(int FieldIndex) { return FData.data() + FOffsets[size_t(FieldIndex)]; }

void TOvcDataRvItem::Store(int FieldIndex, const void* Data, int Size) {
    SetFieldSize(FieldIndex, Size);
    if (Size > 0) std::memcpy(Bytes(FieldIndex), Data, size_t(Size));
    Changed();
}

void TOvcDataRvItem::Changed() {
    if (!FPrivate && FRegistered && FView) FView->Engine().ChangeDataPrim(this);
}

long double TOvcDataRvItem::InternalGetAsFloat(int FieldIndex) const {
    return GetFieldSize(FieldIndex) == 10 ? FromExtended(Bytes(FieldIndex)) : 0;
}

int32_t TOvcDataRvItem::InternalGetAsInteger(int FieldIndex) const {
    if (GetFieldSize(FieldIndex) != 4) return 0;
    int32_t v;
    std::memcpy(&v, Bytes(FieldIndex), 4);
    return v;
}

double TOvcDataRvItem::InternalGetAsDateTime(int FieldIndex) const {
    if (GetFieldSize(FieldIndex) != 8) return 0;
    double v;
    std::memcpy(&v, Bytes(FieldIndex), 8);
    return v;
}

bool TOvcDataRvItem::InternalGetAsBoolean(int FieldIndex) const {
    return GetFieldSize(FieldIndex) == 1 && *Bytes(FieldIndex) != 0;
}

uint32_t TOvcDataRvItem::InternalGetAsDWord(int FieldIndex) const {
    if (GetFieldSize(FieldIndex) != 4) return 0;
    uint32_t v;
    std::memcpy(&v, Bytes(FieldIndex), 4);
    return v;
}

AnsiString TOvcDataRvItem::GetAsPChar(int FieldIndex) const {
    if (GetFieldSize(FieldIndex) < 2) return AnsiString();
    return AnsiString(reinterpret_cast<const char*>(Bytes(FieldIndex)));
}

double TOvcDataRvItem::GetAsFloat(int FieldIndex) const {
    CheckIndex(FieldIndex);
    switch (TypeOf(FieldIndex)) {
    case dtFloat: return double(InternalGetAsFloat(FieldIndex));
    case dtInteger: return InternalGetAsInteger(FieldIndex);
    case dtDWord: return InternalGetAsDWord(FieldIndex);
    default: TypeMismatch();
    }
}

void TOvcDataRvItem::SetAsFloat(int FieldIndex, double Value) {
    CheckType(FieldIndex, dtFloat);
    if (GetFieldSize(FieldIndex) == 10 && InternalGetAsFloat(FieldIndex) == Value) return;
    uint8_t bytes[10];
    ToExtended(Value, bytes);
    Store(FieldIndex, bytes, 10);
}

int32_t TOvcDataRvItem::GetAsInteger(int FieldIndex) const {
    CheckType(FieldIndex, dtInteger);
    return InternalGetAsInteger(FieldIndex);
}

void TOvcDataRvItem::SetAsInteger(int FieldIndex, int32_t Value) {
    if (GetAsInteger(FieldIndex) == Value && GetFieldSize(FieldIndex) == 4) return;
    uint8_t b[4];
    std::memcpy(b, &Value, 4);
    Store(FieldIndex, b, 4);
}

double TOvcDataRvItem::GetAsDateTime(int FieldIndex) const {
    CheckType(FieldIndex, dtDateTime);
    return InternalGetAsDateTime(FieldIndex);
}

void TOvcDataRvItem::SetAsDateTime(int FieldIndex, double Value) {
    if (GetAsDateTime(FieldIndex) == Value && GetFieldSize(FieldIndex) == 8) return;
    Store(FieldIndex, &Value, 8);
}

bool TOvcDataRvItem::GetAsBoolean(int FieldIndex) const {
    CheckType(FieldIndex, dtBoolean);
    return InternalGetAsBoolean(FieldIndex);
}

void TOvcDataRvItem::SetAsBoolean(int FieldIndex, bool Value) {
    if (GetAsBoolean(FieldIndex) == Value && GetFieldSize(FieldIndex) == 1) return;
    const uint8_t b = Value ? 1 : 0;
    Store(FieldIndex, &b, 1);
}

uint32_t TOvcDataRvItem::GetAsDWord(int FieldIndex) const {
    CheckType(FieldIndex, dtDWord);
    return InternalGetAsDWord(FieldIndex);
}

void TOvcDataRvItem::SetAsDWord(int FieldIndex, uint32_t Value) {
    if (GetAsDWord(FieldIndex) == Value && GetFieldSize(FieldIndex) == 4) return;
    Store(FieldIndex, &Value, 4);
}

AnsiString TOvcDataRvItem::GetAsString(int FieldIndex) const {
    CheckIndex(FieldIndex);
    auto* field = static_cast<TOvcDataRvField*>(FView->Fields()->Item(FieldIndex));
    switch (field->DataType()) {
    case dtString: return GetAsPChar(FieldIndex);
    case dtFloat: {
        const double value = double(InternalGetAsFloat(FieldIndex));
        if (field->FormatByOwner() && FView->OnFormatFieldFloat) {
            AnsiString text;
            FView->OnFormatFieldFloat(FView, FieldIndex, value, text);
            return text;
        }
        return FormatFloat(field->Format(), value);
    }
    case dtInteger: {
        // The user's format goes through the checked Format: one that does
        // not fit the value raises instead of reading past its argument.
        const AnsiString format = Trim(field->Format());
        const int32_t value = InternalGetAsInteger(FieldIndex);
        return format.empty() ? IntToStr(value) : ::Format(format, {value});
    }
    case dtDateTime: {
        const double value = InternalGetAsDateTime(FieldIndex);
        return value >= 1 ? FormatDateTime(field->Format(), value) : AnsiString();
    }
    case dtBoolean: return InternalGetAsBoolean(FieldIndex) ? "TRUE" : "FALSE";
    case dtDWord: {
        const uint32_t value = InternalGetAsDWord(FieldIndex);
        return field->Format().empty() ? IntToStr(int64_t(value)) : ::Format(field->Format(), {value});
    }
    }
    return AnsiString();
}

void TOvcDataRvItem::SetAsString(int FieldIndex, const AnsiString& Value) {
    CheckIndex(FieldIndex);
    switch (TypeOf(FieldIndex)) {
    case dtString: {
        if (GetAsPChar(FieldIndex) == Value && (GetFieldSize(FieldIndex) > 0 || Value.empty())) return;
        Store(FieldIndex, Value.c_str(), int(Value.size()) + 1);
        return;
    }
    case dtFloat: {
        long double v = 0;
        if (!TryStrToFloat(Value, v)) v = 0;
        SetAsFloat(FieldIndex, double(v));
        return;
    }
    case dtInteger:
    case dtDWord: {
        long double v = 0;
        if (!TryStrToFloat(Value, v)) v = 0;
        if (TypeOf(FieldIndex) == dtInteger) SetAsInteger(FieldIndex, int32_t(RoundEven(v)));
        else SetAsDWord(FieldIndex, uint32_t(RoundEven(v)));
        return;
    }
    case dtDateTime: SetAsDateTime(FieldIndex, StrToDateTime(Value)); return;
    case dtBoolean: SetAsBoolean(FieldIndex, UpperCase(Value) == "TRUE"); return;
    }
}

bool TOvcDataRvItem::GetSelected() const {
    return FView && FView->MultiSelect() && FView->Engine().IsSelectedItem(const_cast<TOvcDataRvItem*>(this));
}

void TOvcDataRvItem::SetSelected(bool Value) {
    if (!FView) return;
    TOvcRvEngine& e = FView->Engine();
    const int line = e.GetOffsetOfData(this);
    if (line >= 0) e.SetSelected(line, Value);
}

void TOvcDataRvItem::ReadFromStream(TStream& Stream) {
    ValidateData();
    for (int i = 0; i < int(FSizes.size()); ++i) {
        const int32_t size = ReadInt32(Stream);
        if (size < 0 || size > Stream.Size() - Stream.Position()) throw EReadError("Stream read error");
        if (size == 0) continue;
        SetFieldSize(i, size);
        Stream.ReadBuffer(Bytes(i), size);
    }
}

void TOvcDataRvItem::WriteToStream(TStream& Stream) const {
    const int fields = FView ? FView->Fields()->Count() : 0;
    for (int i = 0; i < fields; ++i) {
        const int size = i < int(FSizes.size()) ? FSizes[size_t(i)] : 0;
        WriteInt32(Stream, size);
        if (size > 0) Stream.WriteBuffer(Bytes(i), size);
    }
}

// --- the item collection ---

TOvcDataRvItems::TOvcDataRvItems(TOvcDataReportView* View) : FView(View) {}

TOvcDataRvItems::~TOvcDataRvItems() { Clear(); }

TOvcDataRvItem* TOvcDataRvItems::Add() { return new TOvcDataRvItem(FView, this); }

void TOvcDataRvItems::Clear() {
    FClearing = true;
    try {
        for (size_t i = FList.size(); i-- > 0;) delete FList[i];
    } catch (...) {
        FClearing = false;
        FList.clear();
        if (FView) FView->Engine().ClearIndex();
        throw;
    }
    FClearing = false;
    FList.clear();
    if (FView) FView->Engine().ClearIndex();
}

void TOvcDataRvItems::SaveToStream(TStream& Stream) const {
    Stream.WriteBuffer("ODRD", 4);
    const int64_t lengthAt = Stream.Position();
    WriteInt32(Stream, 0);
    WriteInt32(Stream, GetCount());
    for (TOvcDataRvItem* item : FList) item->WriteToStream(Stream);
    const int64_t end = Stream.Position();
    Stream.SetPosition(lengthAt);
    WriteInt32(Stream, int32_t(end - lengthAt));
    Stream.SetPosition(end);
}

void TOvcDataRvItems::LoadFromStream(TStream& Stream) {
    const int64_t start = Stream.Position();
    char magic[4];
    Stream.ReadBuffer(magic, 4);
    if (std::memcmp(magic, "ODRD", 4) != 0) throw Exception("Bad stream signature in report view data");
    const int32_t length = ReadInt32(Stream);
    if (FView && Loading(FView)) {
        // The report fields are not known yet: the bytes wait for Loaded.
        if (length < 0 || length > Stream.Size() - start - 4) throw EReadError("Stream read error");
        Stream.SetPosition(start);
        FPending = std::make_unique<TMemoryStream>();
        FPending->CopyFrom(Stream, 4 + length);
        return;
    }
    const int32_t count = ReadInt32(Stream);
    FView->BeginUpdate();
    try {
        for (int32_t i = 0; i < count; ++i) Add()->ReadFromStream(Stream);
    } catch (...) {
        FView->EndUpdate();
        throw;
    }
    FView->EndUpdate();
}

void TOvcDataRvItems::LoadPending() {
    if (!FPending) return;
    std::unique_ptr<TMemoryStream> pending = std::move(FPending);
    pending->SetPosition(0);
    LoadFromStream(*pending);
}

void TOvcDataRvItems::Assign(TPersistent* Source) {
    if (auto* items = dynamic_cast<TOvcDataRvItems*>(Source)) {
        Clear();
        TMemoryStream copy;
        items->SaveToStream(copy);
        copy.SetPosition(0);
        LoadFromStream(copy);
        return;
    }
    TPersistent::Assign(Source);
}

void TOvcDataRvItems::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { LoadFromStream(S); }, [this](TStream& S) { SaveToStream(S); },
        GetCount() > 0);
}

// --- the view ---

void TOvcDataReportView::DescribeProperties(TPropertyTable& T) {
    using V = TOvcDataReportView;
    TControl::PublishStandard(T, {"Align", "Anchors", "Enabled", "Font", "ParentFont", "TabOrder", "TabStop",
                                  "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit", "OnKeyPress"});
    T.Property("ActiveView", &V::ActiveView, &V::SetActiveView);
    T.PropertyOf<V>(
        "Controller", [](V& R) { return R.Controller(); },
        [](V& R, TOvcController* C) { R.SetController(C); });
    T.Property("FieldWidthStore", &V::FieldWidthStore, &V::SetFieldWidthStore);
    T.Property("GridLines", &V::GridLines, &V::SetGridLines).Default(glNone);
    T.Property("GroupColor", &V::GroupColor, &V::SetGroupColor).OfType(ColorTypeInfo()).Default(clBtnFace);
    T.Property("Items", &V::Items, &V::SetItems);
    T.Property("KeySearch", &V::KeySearch, &V::SetKeySearch).Default(false);
    T.Property("KeyTimeout", &V::KeyTimeout, &V::SetKeyTimeout).Default(1000);
    T.Property("MultiSelect", &V::MultiSelect, &V::SetMultiSelect).Default(false);
    T.Property("Options", &V::Options, &V::SetOptions);
    T.Property("PrinterProperties", &V::PrinterProperties, &V::SetPrinterProperties);
    T.Event("OnDrawViewField", &V::OnDrawViewField);
    T.Event("OnDrawViewFieldEx", &V::OnDrawViewFieldEx);
    T.Event("OnEnumerate", &V::OnEnumerate);
    T.Event("OnFilter", &V::OnFilter);
    T.Event("OnSignalBusy", &V::OnSignalBusy);
    T.Event("OnSortingChanged", &V::OnSortingChanged);
    T.Event("OnViewSelect", &V::OnViewSelect);
}

TOvcDataReportView::TOvcDataReportView(TComponent* AOwner)
    : TOvcCustomReportView(AOwner, &TOvcDataRvField::StaticClassInfo()),
      FItems(std::make_unique<TOvcDataRvItems>(this)) {}

TOvcDataReportView::~TOvcDataReportView() = default;

void TOvcDataReportView::BeforeDestruction() {
    FItems->Clear();
    TOvcCustomReportView::BeforeDestruction();
}

const TClassInfo* TOvcDataReportView::GetFieldClassType() const {
    return &TOvcDataRvField::StaticClassInfo();
}

void TOvcDataReportView::Loaded() {
    TOvcCustomReportView::Loaded();
    FItems->LoadPending();
}

int TOvcDataReportView::DoCompareFields(void* Data1, void* Data2, int FieldIndex) {
    auto* a = static_cast<TOvcDataRvItem*>(Data1);
    auto* b = static_cast<TOvcDataRvItem*>(Data2);
    switch (GetField(FieldIndex)->DataType()) {
    case dtString: return CompareText(a->GetAsPChar(FieldIndex), b->GetAsPChar(FieldIndex));
    case dtFloat: return Compare3(a->GetAsFloat(FieldIndex), b->GetAsFloat(FieldIndex));
    case dtDateTime: return Compare3(a->GetAsDateTime(FieldIndex), b->GetAsDateTime(FieldIndex));
    case dtInteger: return Compare3(a->GetAsInteger(FieldIndex), b->GetAsInteger(FieldIndex));
    case dtBoolean: return Compare3(int(a->GetAsBoolean(FieldIndex)), int(b->GetAsBoolean(FieldIndex)));
    case dtDWord: return Compare3(a->GetAsDWord(FieldIndex), b->GetAsDWord(FieldIndex));
    }
    throw Exception("Unsupported datatype");
}

bool TOvcDataReportView::DoFilter(void* Data, int FilterIndex) {
    if (ComponentState().Contains(csDesigning)) return true;
    if (FilterIndex >= 0 && !OnFilter) throw EOnFilterNotAsgnd(SOnFilterNotAsgnd);
    bool include = true;
    if (OnFilter) OnFilter(this, static_cast<TOvcDataRvItem*>(Data), FilterIndex, include);
    return include;
}

double TOvcDataReportView::DoGetFieldAsFloat(void* Data, int FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsFloat(FieldIndex);
}

double TOvcDataReportView::GetFieldAsFloat(void* Data, int32_t FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsFloat(FieldIndex);
}

double TOvcDataReportView::GetFieldAsDateTime(void* Data, int32_t FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsDateTime(FieldIndex);
}

bool TOvcDataReportView::GetFieldAsBoolean(void* Data, int32_t FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsBoolean(FieldIndex);
}

AnsiString TOvcDataReportView::GetFieldAsString(void* Data, int32_t FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsString(FieldIndex);
}

AnsiString TOvcDataReportView::DoGetFieldAsString(void* Data, int32_t FieldIndex) {
    return static_cast<TOvcDataRvItem*>(Data)->GetAsString(FieldIndex);
}

AnsiString TOvcDataReportView::DoGetGroupString(int32_t FieldIndex, TOvcRvIndexGroup* GroupRef) {
    return FormatFloat(GetField(FieldIndex)->Format(), Total(GroupRef, FieldIndex));
}

void TOvcDataReportView::DoKeySearch(int32_t FieldIndex, const AnsiString& Text) {
    if (FieldIndex < 0 || FieldIndex >= Fields()->Count() || GetField(FieldIndex)->DataType() != dtString)
        return;
    TOvcDataRvItem probe(this, nullptr, true);
    probe.SetAsString(FieldIndex, Text);
    GotoNearest(&probe);
}

void TOvcDataReportView::DoDrawViewField(TCanvas* Canvas, void* Data, const AnsiString& Text,
                                         const AnsiString& FullText, const TRect& Rect,
                                         int32_t ViewFieldIndex, bool IsGroupLine, bool IsSelected,
                                         uint32_t TextFlags, TOvcRvViewField* ViewField, TOvcRvField* Field) {
    auto* item = static_cast<TOvcDataRvItem*>(Data);
    TFont saved;
    saved.Assign(Canvas->Font());
    try {
        if (OnDrawViewFieldEx) {
            bool defaultDrawing = true;
            uint32_t align = TextFlags;
            OnDrawViewFieldEx(this, Canvas, static_cast<TOvcDataRvField*>(Field), ViewField, align,
                              IsSelected, IsGroupLine, item, Rect, FullText, Text, defaultDrawing);
            if (defaultDrawing) {
                TRect r = Rect;
                Canvas->DrawText(Text, r, align);
            }
        } else if (OnDrawViewField) OnDrawViewField(this, Canvas, item, ViewFieldIndex, Rect, Text);
    } catch (...) {
        Canvas->Font()->Assign(&saved);
        throw;
    }
    Canvas->Font()->Assign(&saved);
}

void TOvcDataReportView::DoEnumEvent(void* Data, bool& Stop, void* UserData) {
    if (EnumHooked()) TOvcCustomReportView::DoEnumEvent(Data, Stop, UserData);
    else if (OnEnumerate) OnEnumerate(this, static_cast<TOvcDataRvItem*>(Data), Stop, UserData);
}

void TOvcDataReportView::Enumerate(void* UserData) {
    if (!OnEnumerate) throw EReportViewError(SOnEnumNotAsgnd);
    Engine().DoEnumerate(UserData);
}

void TOvcDataReportView::EnumerateSelected(void* UserData) {
    if (!MultiSelect()) throw ENotMultiSelect(SNotMultiSelect);
    if (!OnEnumerate) throw EReportViewError(SOnEnumSelNotAsgnd);
    Engine().DoEnumerateSelected(UserData);
}

void TOvcDataReportView::EnumerateEx(bool Backwards, bool SelectedOnly, void* StartAfter, void* UserData) {
    if (SelectedOnly && !MultiSelect()) throw ENotMultiSelect(SNotMultiSelect);
    if (!OnEnumerate) throw EReportViewError(SOnEnumSelNotAsgnd);
    Engine().DoEnumerateEx(Backwards, SelectedOnly, StartAfter, UserData);
}
