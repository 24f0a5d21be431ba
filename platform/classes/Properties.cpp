#include "platform/classes/Properties.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <mutex>

#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"

namespace {
AnsiString Quoted(std::string_view Name) { return "'" + AnsiString(Name) + "'"; }

[[noreturn]] void RaiseUnknown(std::string_view Name) {
    throw EPropertyError("Unknown property: " + Quoted(Name));
}

[[noreturn]] void RaiseInvalidElement(std::string_view Name) {
    throw EPropertyError("Invalid property element: " + AnsiString(Name));
}

const TTypeInfo& ElementOf(const TTypeInfo& SetType) {
    return SetType.Kind == tkSet && SetType.ElementType ? *SetType.ElementType : SetType;
}
}  // namespace

// --- type information ---

TTypeInfo MakeEnumTypeInfo(const char* Name, std::initializer_list<const char*> Names) {
    TTypeInfo info{.Kind = tkEnumeration, .Name = Name};
    for (const char* n : Names) info.EnumNames.emplace_back(n);
    info.MaxValue = static_cast<int64_t>(info.EnumNames.size()) - 1;
    return info;
}

TTypeInfo MakeIntegerTypeInfo(const char* Name, int64_t MinValue, int64_t MaxValue,
                              std::initializer_list<TIdentMapEntry> Idents) {
    TTypeInfo info{.Kind = tkInteger, .Name = Name, .MinValue = MinValue, .MaxValue = MaxValue};
    info.Idents.assign(Idents.begin(), Idents.end());
    return info;
}

bool IntToIdent(const TTypeInfo& IntType, int64_t Value, AnsiString& Ident) {
    for (const TIdentMapEntry& entry : IntType.Idents)
        if (entry.Value == Value) {
            Ident = entry.Name;
            return true;
        }
    return false;
}

bool IdentToInt(const TTypeInfo& IntType, std::string_view Ident, int64_t& Value) {
    for (const TIdentMapEntry& entry : IntType.Idents)
        if (SameText(entry.Name, Ident)) {
            Value = entry.Value;
            return true;
        }
    return false;
}

const TTypeInfo& BooleanTypeInfo() {
    static const TTypeInfo info = MakeEnumTypeInfo("Boolean", {"False", "True"});
    return info;
}

namespace zelmor_detail {
void RaiseNotInstance(const TObject* Instance, const char* Expected) {
    AnsiString got = Instance ? Instance->ClassName() : AnsiString("nil");
    throw EPropertyError("A property of " + AnsiString(Expected) + " was asked of a " + got);
}

const TTypeInfo& IntegerTypeInfo(int Bytes, bool Signed) {
    static const TTypeInfo types[] = {
        {.Kind = tkInteger, .Name = "ShortInt", .MinValue = INT8_MIN, .MaxValue = INT8_MAX},
        {.Kind = tkInteger, .Name = "Byte", .MinValue = 0, .MaxValue = UINT8_MAX},
        {.Kind = tkInteger, .Name = "SmallInt", .MinValue = INT16_MIN, .MaxValue = INT16_MAX},
        {.Kind = tkInteger, .Name = "Word", .MinValue = 0, .MaxValue = UINT16_MAX},
        {.Kind = tkInteger, .Name = "Integer", .MinValue = INT32_MIN, .MaxValue = INT32_MAX},
        {.Kind = tkInteger, .Name = "Cardinal", .MinValue = 0, .MaxValue = UINT32_MAX},
        {.Kind = tkInt64, .Name = "Int64", .MinValue = INT64_MIN, .MaxValue = INT64_MAX},
    };
    switch (Bytes) {
    case 1: return types[Signed ? 0 : 1];
    case 2: return types[Signed ? 2 : 3];
    case 4: return types[Signed ? 4 : 5];
    default: return types[6];
    }
}

const TTypeInfo& CharTypeInfo() {
    static const TTypeInfo info{.Kind = tkChar, .Name = "Char", .MinValue = 0, .MaxValue = 255};
    return info;
}

const TTypeInfo& FloatTypeInfo(TFloatType Type) {
    static const TTypeInfo types[] = {
        {.Kind = tkFloat, .Name = "Single", .FloatType = ftSingle},
        {.Kind = tkFloat, .Name = "Double", .FloatType = ftDouble},
        {.Kind = tkFloat, .Name = "Extended", .FloatType = ftExtended},
        {.Kind = tkFloat, .Name = "Comp", .FloatType = ftComp},
        {.Kind = tkFloat, .Name = "Currency", .FloatType = ftCurr},
    };
    return types[Type];
}

const TTypeInfo& StringTypeInfo(TTypeKind Kind) {
    static const TTypeInfo shortString{.Kind = tkString, .Name = "ShortString"};
    static const TTypeInfo longString{.Kind = tkLString, .Name = "string"};
    static const TTypeInfo wideString{.Kind = tkWString, .Name = "WideString"};
    return Kind == tkString ? shortString : Kind == tkWString ? wideString : longString;
}

const TTypeInfo& VariantTypeInfo() {
    static const TTypeInfo info{.Kind = tkVariant, .Name = "Variant"};
    return info;
}

TTypeInfo MakeSetTypeInfo(const TTypeInfo& Element) {
    // Sets travel as a 32-bit mask, in form files and through SetOrdProp alike.
    if (Element.EnumNames.size() > 32)
        throw EPropertyError("A set of " + Element.Name + " would have more than 32 elements");
    TTypeInfo info{.Kind = tkSet, .Name = "set of " + Element.Name, .ElementType = &Element};
    info.MaxValue =
        Element.EnumNames.size() == 32 ? UINT32_MAX : (int64_t(1) << Element.EnumNames.size()) - 1;
    return info;
}

TTypeInfo MakeClassTypeInfo(const TClassInfo& Class) {
    return TTypeInfo{.Kind = tkClass, .Name = Class.Name, .ClassType = &Class};
}

TTypeInfo MakeMethodTypeInfo(const std::type_info& Signature) {
    return TTypeInfo{.Kind = tkMethod, .Name = "TMethod", .Signature = &Signature};
}
}  // namespace zelmor_detail

AnsiString GetEnumName(const TTypeInfo& EnumType, int64_t Value) {
    if (Value >= 0 && Value < static_cast<int64_t>(EnumType.EnumNames.size()))
        return EnumType.EnumNames[Value];
    return IntToStr(Value);
}

int GetEnumValue(const TTypeInfo& EnumType, std::string_view Name) {
    for (size_t i = 0; i < EnumType.EnumNames.size(); ++i)
        if (SameText(EnumType.EnumNames[i], Name)) return static_cast<int>(i);
    return -1;
}

AnsiString SetToString(const TTypeInfo& SetType, uint32_t Bits, bool Brackets) {
    const TTypeInfo& element = ElementOf(SetType);
    AnsiString text;
    for (int i = 0; i < 32; ++i) {
        if (!(Bits & (uint32_t(1) << i))) continue;
        if (!text.empty()) text += ',';
        text += GetEnumName(element, i);
    }
    return Brackets ? "[" + text + "]" : text;
}

uint32_t StringToSet(const TTypeInfo& SetType, std::string_view Text) {
    const TTypeInfo& element = ElementOf(SetType);
    AnsiString body = Trim(Text);
    if (!body.empty() && body.front() == '[') {
        if (body.back() != ']') RaiseInvalidElement(body);
        body = Trim(std::string_view(body).substr(1, body.size() - 2));
    }
    uint32_t bits = 0;
    if (body.empty()) return bits;
    size_t start = 0;
    for (;;) {
        size_t comma = body.find(',', start);
        std::string_view part = std::string_view(body).substr(
            start, comma == AnsiString::npos ? AnsiString::npos : comma - start);
        AnsiString name = Trim(part);
        int value = GetEnumValue(element, name);
        if (value < 0) RaiseInvalidElement(name);
        bits |= uint32_t(1) << value;
        if (comma == AnsiString::npos) return bits;
        start = comma + 1;
    }
}

// --- method values ---

void TMethod::RaiseSignatureMismatch() const {
    throw EPropertyError("The handler " + Quoted(FName) + " does not fit this event");
}

// --- one property ---

void TPropInfo::RaiseKind(const char* Wanted) const {
    throw EPropertyError("Property " + Quoted(FName) + " is not " + Wanted + " property");
}

void TPropInfo::RaiseRange() const {
    throw EPropertyError("Value out of range for property " + Quoted(FName));
}

template <class R>
const TPropInfo::TAccess<R>& TPropInfo::Access(const char* Wanted) const {
    if (const auto* access = std::get_if<TAccess<R>>(&FAccess)) return *access;
    RaiseKind(Wanted);
}

template <class R>
void TPropInfo::Write(TObject* Instance, R Value, const char* Wanted) const {
    const TAccess<R>& access = Access<R>(Wanted);
    if (!access.Set) throw EPropertyError("Property " + Quoted(FName) + " is read-only");
    access.Set(Instance, std::move(Value));
}

bool TPropInfo::IsWritable() const {
    return std::visit([](const auto& Access) { return static_cast<bool>(Access.Set); }, FAccess);
}

bool TPropInfo::IsStored(TObject* Instance) const {
    return FStoredPredicate ? FStoredPredicate(Instance) : FStored;
}

bool TPropInfo::IsDefaultValue(TObject* Instance) const {
    switch (Kind()) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet: return FHasDefault && GetOrd(Instance) == FOrdDefault;
    case tkInt64: return GetInt64(Instance) == (FHasDefault ? FOrdDefault : 0);
    case tkFloat: return GetFloat(Instance) == FFloatDefault;
    case tkString:
    case tkLString:
    case tkWString: return GetStr(Instance).empty();
    case tkClass: return GetObject(Instance) == nullptr;
    case tkMethod: return !GetMethod(Instance).Assigned();
    case tkVariant: return !GetVariant(Instance).has_value();
    }
    return false;
}

int64_t TPropInfo::GetOrd(TObject* Instance) const {
    if (const auto* object = std::get_if<TAccess<TObject*>>(&FAccess))
        return static_cast<int64_t>(reinterpret_cast<intptr_t>(object->Get(Instance)));
    return Access<int64_t>("an ordinal").Get(Instance);
}

void TPropInfo::SetOrd(TObject* Instance, int64_t Value) const {
    Access<int64_t>("an ordinal");
    bool inRange =
        Kind() == tkSet
            ? Value >= 0 && (static_cast<uint64_t>(Value) & ~static_cast<uint64_t>(FType->MaxValue)) == 0
            : Value >= FType->MinValue && Value <= FType->MaxValue;
    if (!inRange) RaiseRange();
    Write<int64_t>(Instance, Value, "an ordinal");
}

int64_t TPropInfo::GetInt64(TObject* Instance) const { return Access<int64_t>("an integer").Get(Instance); }

void TPropInfo::SetInt64(TObject* Instance, int64_t Value) const { SetOrd(Instance, Value); }

long double TPropInfo::GetFloat(TObject* Instance) const {
    return Access<long double>("a float").Get(Instance);
}

void TPropInfo::SetFloat(TObject* Instance, long double Value) const {
    Access<long double>("a float");
    long double limit = FType->FloatType == ftSingle   ? FLT_MAX
                        : FType->FloatType == ftDouble ? DBL_MAX
                                                       : LDBL_MAX;
    if (std::isfinite(Value) && std::fabs(Value) > limit) RaiseRange();
    Write<long double>(Instance, Value, "a float");
}

AnsiString TPropInfo::GetStr(TObject* Instance) const { return Access<AnsiString>("a string").Get(Instance); }

void TPropInfo::SetStr(TObject* Instance, const AnsiString& Value) const {
    Write<AnsiString>(Instance, Value, "a string");
}

TObject* TPropInfo::GetObject(TObject* Instance) const { return Access<TObject*>("a class").Get(Instance); }

void TPropInfo::SetObject(TObject* Instance, TObject* Value) const {
    if (Value && FType->ClassType && !Value->InheritsFrom(*FType->ClassType))
        throw EPropertyError("Property " + Quoted(FName) + " takes a " + FType->Name + ", not a " +
                             Value->ClassName());
    Write<TObject*>(Instance, Value, "a class");
}

TMethod TPropInfo::GetMethod(TObject* Instance) const { return Access<TMethod>("a method").Get(Instance); }

void TPropInfo::SetMethod(TObject* Instance, const TMethod& Value) const {
    if (Value.Assigned() && FType->Signature && Value.Signature() != *FType->Signature)
        throw EPropertyError("The handler " + Quoted(Value.Name()) + " does not fit the event " +
                             Quoted(FName));
    Write<TMethod>(Instance, Value, "a method");
}

std::any TPropInfo::GetVariant(TObject* Instance) const {
    return Access<std::any>("a variant").Get(Instance);
}

void TPropInfo::SetVariant(TObject* Instance, const std::any& Value) const {
    Write<std::any>(Instance, Value, "a variant");
}

AnsiString TPropInfo::GetEnum(TObject* Instance) const {
    if (Kind() != tkEnumeration) RaiseKind("an enumeration");
    return GetEnumName(*FType, GetOrd(Instance));
}

void TPropInfo::SetEnum(TObject* Instance, std::string_view Name) const {
    if (Kind() != tkEnumeration) RaiseKind("an enumeration");
    int value = GetEnumValue(*FType, Trim(Name));
    if (value < 0) RaiseInvalidElement(Name);
    SetOrd(Instance, value);
}

AnsiString TPropInfo::GetSet(TObject* Instance, bool Brackets) const {
    if (Kind() != tkSet) RaiseKind("a set");
    return SetToString(*FType, static_cast<uint32_t>(GetOrd(Instance)), Brackets);
}

void TPropInfo::SetSet(TObject* Instance, std::string_view Text) const {
    if (Kind() != tkSet) RaiseKind("a set");
    SetOrd(Instance, StringToSet(*FType, Text));
}

bool TPropInfo::IsStrings() const {
    return Kind() == tkClass && FType->ClassType &&
           FType->ClassType->InheritsFrom(&TStrings::StaticClassInfo());
}

// --- declaring ---

void TPropBuilder::SetOrdDefault(int64_t Value) {
    if (FInfo.Kind() == tkFloat) return SetFloatDefault(static_cast<long double>(Value));
    if (!std::holds_alternative<TPropInfo::TAccess<int64_t>>(FInfo.FAccess))
        throw EPropertyError("Property " + Quoted(FInfo.FName) + " cannot declare an ordinal default");
    FInfo.FHasDefault = true;
    FInfo.FOrdDefault = Value;
}

void TPropBuilder::SetFloatDefault(long double Value) {
    if (FInfo.Kind() != tkFloat)
        throw EPropertyError("Property " + Quoted(FInfo.FName) + " cannot declare a float default");
    FInfo.FHasDefault = true;
    FInfo.FFloatDefault = Value;
}

TPropBuilder& TPropBuilder::NoDefault() {
    FInfo.FHasDefault = false;
    FInfo.FOrdDefault = 0;
    FInfo.FFloatDefault = 0;
    return *this;
}

TPropBuilder& TPropBuilder::Stored(bool Value) {
    FInfo.FStored = Value;
    FInfo.FStoredPredicate = nullptr;
    return *this;
}

TPropBuilder& TPropBuilder::StringKind(TTypeKind Kind) {
    if (!tkStrings.Contains(FInfo.Kind()) || !tkStrings.Contains(Kind))
        throw EPropertyError("Property " + Quoted(FInfo.FName) + " is not a string property");
    FInfo.FType = &zelmor_detail::StringTypeInfo(Kind);
    return *this;
}

TPropBuilder& TPropBuilder::OfType(const TTypeInfo& IntType) {
    if (FInfo.Kind() != tkInteger || IntType.Kind != tkInteger)
        throw EPropertyError("Property " + Quoted(FInfo.FName) + " is not an integer property");
    if (IntType.MinValue < FInfo.FType->MinValue || IntType.MaxValue > FInfo.FType->MaxValue)
        throw EPropertyError("The type " + IntType.Name + " does not fit property " + Quoted(FInfo.FName));
    FInfo.FType = &IntType;
    return *this;
}

TPropBuilder TPropertyTable::Add(std::string_view Name, const TTypeInfo& Type, TPropInfo::TAccessors Access) {
    auto info = std::make_shared<TPropInfo>();
    info->FName = AnsiString(Name);
    info->FType = &Type;
    info->FAccess = std::move(Access);
    TPropInfo& built = *info;
    auto [it, added] = FIndex.emplace(UpperCase(Name), FProps.size());
    if (added) FProps.push_back(std::move(info));
    else FProps[it->second] = std::move(info);
    return TPropBuilder(built);
}

void TPropertyTable::AddHandler(std::string_view Name, std::function<TMethod(TObject*)> Bind) {
    FHandlers.insert_or_assign(UpperCase(Name), THandler{AnsiString(Name), std::move(Bind)});
}

void TPropertyTable::AddField(TFieldInfo Field) {
    AnsiString key = UpperCase(Field.Name);
    FFields.insert_or_assign(std::move(key), std::move(Field));
}

const TPropertyTable::TFieldInfo* TPropertyTable::FindField(std::string_view Name) const {
    auto it = FFields.find(UpperCase(Name));
    return it == FFields.end() ? nullptr : &it->second;
}

std::vector<const TPropertyTable::TFieldInfo*> TPropertyTable::Fields() const {
    std::vector<const TFieldInfo*> fields;
    for (const auto& [key, field] : FFields) fields.push_back(&field);
    return fields;
}

const TPropInfo* TPropertyTable::Find(std::string_view Name) const {
    auto it = FIndex.find(UpperCase(Name));
    return it == FIndex.end() ? nullptr : FProps[it->second].get();
}

TMethod TPropertyTable::BindHandler(TObject* Root, std::string_view Name) const {
    auto it = FHandlers.find(UpperCase(Name));
    return it == FHandlers.end() ? TMethod() : it->second.Bind(Root);
}

// --- tables by class ---

namespace {
struct TTableStore {
    std::recursive_mutex Lock;  // building a table builds its ancestors' first
    std::vector<std::unique_ptr<TPropertyTable>> Tables;
};
TTableStore& Store() {
    static TTableStore store;
    return store;
}
}  // namespace

const TPropertyTable& GetPropertyTable(const TClassInfo& Class) {
    TTableStore& store = Store();
    std::lock_guard lock(store.Lock);
    if (Class.Properties) return *Class.Properties;
    TPropertyTable* parent = nullptr;
    if (Class.Parent) {
        GetPropertyTable(*Class.Parent);
        parent = Class.Parent->Properties;
    }
    // A class that publishes nothing of its own shares its parent's table.
    if (!Class.Describe && parent) {
        Class.Properties = parent;
        return *parent;
    }
    auto table = parent ? std::make_unique<TPropertyTable>(*parent) : std::make_unique<TPropertyTable>();
    if (Class.Describe) Class.Describe(*table);
    Class.Properties = table.get();
    store.Tables.push_back(std::move(table));
    return *Class.Properties;
}

const TPropInfo* GetPropInfo(const TClassInfo& Class, std::string_view Name) {
    return GetPropertyTable(Class).Find(Name);
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name) {
    return Instance ? GetPropInfo(*Instance->ClassInfo(), Name) : nullptr;
}

const TPropInfo& FindPropInfo(const TObject* Instance, std::string_view Name) {
    const TPropInfo* info = GetPropInfo(Instance, Name);
    if (!info) RaiseUnknown(Name);
    return *info;
}

const TPropInfo* GetPropInfoPath(TObject*& Instance, std::string_view Path) {
    TObject* holder = Instance;
    size_t dot;
    while ((dot = Path.find('.')) != std::string_view::npos) {
        const TPropInfo* step = GetPropInfo(holder, Path.substr(0, dot));
        if (!step || step->Kind() != tkClass) return nullptr;
        holder = step->GetObject(holder);
        if (!holder) return nullptr;
        Path.remove_prefix(dot + 1);
    }
    const TPropInfo* info = GetPropInfo(holder, Path);
    if (info) Instance = holder;
    return info;
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo& Class, TTypeKinds Kinds) {
    std::vector<const TPropInfo*> list;
    for (const auto& info : GetPropertyTable(Class).Properties())
        if (Kinds.Contains(info->Kind())) list.push_back(info.get());
    return list;
}

std::vector<const TPropInfo*> GetPropList(const TObject* Instance, TTypeKinds Kinds) {
    return Instance ? GetPropList(*Instance->ClassInfo(), Kinds) : std::vector<const TPropInfo*>{};
}

bool IsPublishedProp(const TObject* Instance, std::string_view Name) {
    return GetPropInfo(Instance, Name) != nullptr;
}
TTypeKind PropType(const TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).Kind();
}
bool PropIsType(const TObject* Instance, std::string_view Name, TTypeKind Kind) {
    return PropType(Instance, Name) == Kind;
}
bool IsStoredProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).IsStored(Instance);
}
bool IsDefaultPropValue(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).IsDefaultValue(Instance);
}

int64_t GetOrdProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetOrd(Instance);
}
void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value) {
    FindPropInfo(Instance, Name).SetOrd(Instance, Value);
}
AnsiString GetEnumProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetEnum(Instance);
}
void SetEnumProp(TObject* Instance, std::string_view Name, std::string_view Value) {
    FindPropInfo(Instance, Name).SetEnum(Instance, Value);
}
AnsiString GetSetProp(TObject* Instance, std::string_view Name, bool Brackets) {
    return FindPropInfo(Instance, Name).GetSet(Instance, Brackets);
}
void SetSetProp(TObject* Instance, std::string_view Name, std::string_view Value) {
    FindPropInfo(Instance, Name).SetSet(Instance, Value);
}
AnsiString GetStrProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetStr(Instance);
}
void SetStrProp(TObject* Instance, std::string_view Name, const AnsiString& Value) {
    FindPropInfo(Instance, Name).SetStr(Instance, Value);
}
long double GetFloatProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetFloat(Instance);
}
void SetFloatProp(TObject* Instance, std::string_view Name, long double Value) {
    FindPropInfo(Instance, Name).SetFloat(Instance, Value);
}
int64_t GetInt64Prop(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetInt64(Instance);
}
void SetInt64Prop(TObject* Instance, std::string_view Name, int64_t Value) {
    FindPropInfo(Instance, Name).SetInt64(Instance, Value);
}
std::any GetVariantProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetVariant(Instance);
}
void SetVariantProp(TObject* Instance, std::string_view Name, const std::any& Value) {
    FindPropInfo(Instance, Name).SetVariant(Instance, Value);
}
TObject* GetObjectProp(TObject* Instance, std::string_view Name, const TClassInfo* MinClass) {
    TObject* object = FindPropInfo(Instance, Name).GetObject(Instance);
    if (object && MinClass && !object->InheritsFrom(*MinClass)) return nullptr;
    return object;
}
void SetObjectProp(TObject* Instance, std::string_view Name, TObject* Value) {
    FindPropInfo(Instance, Name).SetObject(Instance, Value);
}
const TClassInfo* GetObjectPropClass(const TObject* Instance, std::string_view Name) {
    const TPropInfo& info = FindPropInfo(Instance, Name);
    if (info.Kind() != tkClass) throw EPropertyError("Property " + Quoted(Name) + " is not a class property");
    return info.PropType().ClassType;
}
TMethod GetMethodProp(TObject* Instance, std::string_view Name) {
    return FindPropInfo(Instance, Name).GetMethod(Instance);
}
void SetMethodProp(TObject* Instance, std::string_view Name, const TMethod& Value) {
    FindPropInfo(Instance, Name).SetMethod(Instance, Value);
}

TMethod GetHandler(TObject* Root, std::string_view HandlerName) {
    return Root ? GetPropertyTable(*Root->ClassInfo()).BindHandler(Root, HandlerName) : TMethod();
}

void SetMethodPropByHandler(TObject* Instance, std::string_view Name, TObject* Root,
                            std::string_view HandlerName) {
    const TPropInfo& info = FindPropInfo(Instance, Name);
    TMethod handler = GetHandler(Root, HandlerName);
    if (!handler.Assigned()) throw EMethodNotFound("Method " + Quoted(HandlerName) + " not found");
    info.SetMethod(Instance, handler);
}
