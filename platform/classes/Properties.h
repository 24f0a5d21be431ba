#pragma once
// Published properties: one table per class, read and written by name.
//
// The libraries cooperate without seeing each other's declarations: an edit
// asks its data set for "PictureMasks", a dialog sets the "DataSource" of a
// control it did not create, the form reader sets "Font.Name". All of that goes
// through the table built here from each class's DescribeProperties:
//
//     void TMyButton::DescribeProperties(TPropertyTable& T) {
//         T.Property("Caption", &TMyButton::Caption, &TMyButton::SetCaption);
//         T.Property("Width", &TMyButton::Width, &TMyButton::SetWidth).Default(75);
//         T.Property("Align", &TMyButton::Align, &TMyButton::SetAlign).Default(alNone);
//         T.Property("Font", &TMyButton::Font, &TMyButton::SetFont);
//         T.Event("OnClick", &TMyButton::OnClick);
//     }
//
// The kind of each property follows from the getter's type: bool is the
// enumeration False/True, char is a character, other enumerations need their
// names declared once (ZELMOR_DECLARE_ENUM / ZELMOR_IMPLEMENT_ENUM), TSet<E> is
// a set of E, a pointer to a TObject class is a class property (a sub-object or
// a reference to a component), TEvent<...> is a method, std::any a variant.
// A class inherits its ancestors' properties; declaring a name again replaces
// the ancestor's entry in place, so the streaming order stays the ancestors'.
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <variant>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

enum TTypeKind {
    tkInteger,      // up to 32 bits
    tkChar,         // one Windows-1252 byte
    tkEnumeration,  // Boolean included
    tkFloat,
    tkString,  // a short string
    tkSet,
    tkClass,
    tkMethod,
    tkLString,  // the ordinary string
    tkWString,
    tkVariant,
    tkInt64,
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny{tkInteger, tkChar,   tkEnumeration, tkFloat,   tkString,  tkSet,
                                  tkClass,   tkMethod, tkLString,     tkWString, tkVariant, tkInt64};
inline constexpr TTypeKinds tkProperties = tkAny - TTypeKinds{tkMethod};
inline constexpr TTypeKinds tkStrings{tkString, tkLString, tkWString};

enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// One named value of an integer type that forms write by name.
struct TIdentMapEntry {
    int64_t Value;
    AnsiString Name;
};

// The type of a property as the run-time type information describes it.
struct TTypeInfo {
    TTypeKind Kind;
    AnsiString Name;       // "Integer", "Boolean", "TAlign", "TOvcCollection" ...
    int64_t MinValue = 0;  // ordinal kinds but sets
    int64_t MaxValue = 0;
    std::vector<AnsiString> EnumNames = {};     // enumerations: the value names in ordinal order
    const TTypeInfo* ElementType = nullptr;     // sets: the enumeration of the elements
    const TClassInfo* ClassType = nullptr;      // classes
    TFloatType FloatType = ftDouble;            // floats
    const std::type_info* Signature = nullptr;  // methods: the std::function type a handler must have
    std::vector<TIdentMapEntry> Idents = {};    // integers: values that forms write by name
};

// --- enumeration and set texts ---
// The name of an enumeration value; the number as text when it has no name.
AnsiString GetEnumName(const TTypeInfo& EnumType, int64_t Value);
// The value whose name matches without regard to case, or -1.
int GetEnumValue(const TTypeInfo& EnumType, std::string_view Name);
// "a,b" or "[a,b]"; SetType is the set's type (or its element enumeration).
AnsiString SetToString(const TTypeInfo& SetType, uint32_t Bits, bool Brackets = false);
// Reads "a,b", "[a, b]" or "[]"; raises EPropertyError "Invalid property element: x".
uint32_t StringToSet(const TTypeInfo& SetType, std::string_view Text);

const TTypeInfo& BooleanTypeInfo();
TTypeInfo MakeEnumTypeInfo(const char* Name, std::initializer_list<const char*> Names);

// --- integer types with names for some values ---
// An integer type is a C++ alias (TColor is an int32_t), so its names cannot
// follow from the C++ type: the unit that defines it builds the type once and
// each property of that type says so with OfType. Forms then read and write
// the named values by name ("Color = clBtnFace") and any other as a number:
//   const TTypeInfo& ColorTypeInfo() {
//       static const TTypeInfo info = MakeIntegerTypeInfo("TColor", INT32_MIN, INT32_MAX,
//                                                         {{clBlack, "clBlack"}, {clBtnFace, "clBtnFace"}});
//       return info;
//   }
//   T.Property("Color", &TPanel::Color, &TPanel::SetColor).OfType(ColorTypeInfo()).Default(clBtnFace);
TTypeInfo MakeIntegerTypeInfo(const char* Name, int64_t MinValue, int64_t MaxValue,
                              std::initializer_list<TIdentMapEntry> Idents);
// The name of Value (the first entry with that value); false when it has none.
bool IntToIdent(const TTypeInfo& IntType, int64_t Value, AnsiString& Ident);
// The value named Ident, compared without regard to case; false when none.
bool IdentToInt(const TTypeInfo& IntType, std::string_view Ident, int64_t& Value);

// Enumerations used as properties declare their names once, next to the enum
// (at namespace scope; the function is found by argument-dependent lookup):
//   header: enum TAlign { alNone, alTop, ... };  ZELMOR_DECLARE_ENUM(TAlign);
//   .cpp:   ZELMOR_IMPLEMENT_ENUM(TAlign, "alNone", "alTop", ...)
#define ZELMOR_DECLARE_ENUM(E) const TTypeInfo& TypeInfoOf(E*)
#define ZELMOR_IMPLEMENT_ENUM(E, ...)                                                                        \
    const TTypeInfo& TypeInfoOf(E*) {                                                                        \
        static const TTypeInfo info = MakeEnumTypeInfo(#E, {__VA_ARGS__});                                   \
        return info;                                                                                         \
    }

// --- a method value as the property table carries it: the callable, its
// signature and the name of the form method it is bound to ---
class TMethod {
public:
    TMethod() = default;
    template <class R, class... A>
    TMethod(const TEvent<R(A...)>& Event) : FName(Event.HandlerName()) {
        if (Event) FFunction = Event.GetFunction();
    }
    template <class Sig>
    static TMethod Bind(AnsiString Name, std::function<Sig> Function) {
        TMethod m;
        m.FName = std::move(Name);
        if (Function) m.FFunction = std::move(Function);
        return m;
    }

    bool Assigned() const { return FFunction.has_value(); }
    const AnsiString& Name() const { return FName; }
    // typeid(std::function<Sig>) of the callable; typeid(void) when unassigned.
    const std::type_info& Signature() const { return FFunction.type(); }
    template <class Sig>
    bool Fits() const {
        return !Assigned() || Signature() == typeid(std::function<Sig>);
    }
    // Raises EPropertyError when the callable has another signature.
    template <class Sig>
    TEvent<Sig> ToEvent() const {
        if (!Assigned()) return {};
        if (!Fits<Sig>()) RaiseSignatureMismatch();
        return TEvent<Sig>(std::any_cast<const std::function<Sig>&>(FFunction), FName);
    }

private:
    [[noreturn]] void RaiseSignatureMismatch() const;
    AnsiString FName;
    std::any FFunction;
};

class TPropInfo {
public:
    const AnsiString& Name() const { return FName; }
    const TTypeInfo& PropType() const { return *FType; }
    TTypeKind Kind() const { return FType->Kind; }
    bool IsWritable() const;
    // Ordinals and sets: the declared default, if any (sets as their bits).
    bool HasDefault() const { return FHasDefault; }
    int64_t Default() const { return FOrdDefault; }
    long double FloatDefault() const { return FFloatDefault; }

    // Whether the form writer stores the property (the stored predicate).
    bool IsStored(TObject* Instance) const;
    // Whether the value equals the declared default: ordinals and sets only
    // when a default is declared, floats the default or 0, strings empty,
    // objects and variants unset, methods unassigned.
    bool IsDefaultValue(TObject* Instance) const;

    // Access by kind. A getter of the wrong kind, a setter of a read-only
    // property or a value out of the type's range raises EPropertyError.
    // GetOrd also gives a class property's object pointer as a number.
    int64_t GetOrd(TObject* Instance) const;
    void SetOrd(TObject* Instance, int64_t Value) const;
    int64_t GetInt64(TObject* Instance) const;  // ordinal kinds too
    void SetInt64(TObject* Instance, int64_t Value) const;
    long double GetFloat(TObject* Instance) const;
    void SetFloat(TObject* Instance, long double Value) const;
    AnsiString GetStr(TObject* Instance) const;
    void SetStr(TObject* Instance, const AnsiString& Value) const;
    TObject* GetObject(TObject* Instance) const;
    void SetObject(TObject* Instance, TObject* Value) const;  // the value must be of the property's class
    TMethod GetMethod(TObject* Instance) const;
    void SetMethod(TObject* Instance, const TMethod& Value) const;  // the signature must match
    std::any GetVariant(TObject* Instance) const;
    void SetVariant(TObject* Instance, const std::any& Value) const;
    AnsiString GetEnum(TObject* Instance) const;
    void SetEnum(TObject* Instance, std::string_view Name) const;
    AnsiString GetSet(TObject* Instance, bool Brackets = false) const;
    void SetSet(TObject* Instance, std::string_view Text) const;

    // Whether a class property holds a string list (its class or an ancestor is TStrings).
    bool IsStrings() const;

private:
    friend class TPropertyTable;
    friend class TPropBuilder;
    template <class R>
    struct TAccess {
        std::function<R(TObject*)> Get;
        std::function<void(TObject*, R)> Set;
    };
    using TAccessors = std::variant<TAccess<int64_t>, TAccess<long double>, TAccess<AnsiString>,
                                    TAccess<TObject*>, TAccess<TMethod>, TAccess<std::any>>;
    template <class R>
    const TAccess<R>& Access(const char* Wanted) const;
    template <class R>
    void Write(TObject* Instance, R Value, const char* Wanted) const;
    [[noreturn]] void RaiseKind(const char* Wanted) const;
    [[noreturn]] void RaiseRange() const;

    AnsiString FName;
    const TTypeInfo* FType = nullptr;
    TAccessors FAccess;
    bool FHasDefault = false;
    int64_t FOrdDefault = 0;
    long double FFloatDefault = 0;
    bool FStored = true;
    std::function<bool(TObject*)> FStoredPredicate;
};

// Fine-tunes the property just declared.
class TPropBuilder {
public:
    explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}
    // An ordinal, enumeration, Boolean, set or float default.
    template <class T>
    TPropBuilder& Default(T Value);
    TPropBuilder& NoDefault();
    TPropBuilder& Stored(bool Value);
    template <class C>
    TPropBuilder& Stored(bool (C::*Predicate)() const);
    // A string property that is a short (tkString) or wide (tkWString) string.
    TPropBuilder& StringKind(TTypeKind Kind);
    // An integer property of a named integer type (see MakeIntegerTypeInfo).
    // The type's range must lie within the C++ type's (EPropertyError
    // otherwise): values are checked against it before they are narrowed.
    TPropBuilder& OfType(const TTypeInfo& IntType);

private:
    void SetOrdDefault(int64_t Value);
    void SetFloatDefault(long double Value);
    TPropInfo& FInfo;
};

namespace zelmor_detail {
[[noreturn]] void RaiseNotInstance(const TObject* Instance, const char* Expected);

template <class C>
C& InstanceAs(TObject* Object) {
    if (C* c = dynamic_cast<C*>(Object)) return *c;
    RaiseNotInstance(Object, C::StaticClassInfo().Name);
}

template <class T>
struct TSetTraits : std::false_type {};
template <class E>
struct TSetTraits<TSet<E>> : std::true_type {
    using Element = E;
};
template <class T>
struct TEventTraits : std::false_type {};
template <class Sig>
struct TEventTraits<TEvent<Sig>> : std::true_type {
    using Signature = Sig;
};

template <class M>
struct TMemberClass;
template <class R, class C>
struct TMemberClass<R (C::*)()> {
    using Class = C;
};
template <class R, class C>
struct TMemberClass<R (C::*)() const> {
    using Class = C;
};
template <class R, class C>
struct TMemberClass<R (C::*)() noexcept> {
    using Class = C;
};
template <class R, class C>
struct TMemberClass<R (C::*)() const noexcept> {
    using Class = C;
};

const TTypeInfo& IntegerTypeInfo(int Bytes, bool Signed);
const TTypeInfo& CharTypeInfo();
const TTypeInfo& FloatTypeInfo(TFloatType Type);
const TTypeInfo& StringTypeInfo(TTypeKind Kind);
const TTypeInfo& VariantTypeInfo();
TTypeInfo MakeSetTypeInfo(const TTypeInfo& Element);
TTypeInfo MakeClassTypeInfo(const TClassInfo& Class);
TTypeInfo MakeMethodTypeInfo(const std::type_info& Signature);

template <class E>
const TTypeInfo& SetTypeInfoOf() {
    static const TTypeInfo info = MakeSetTypeInfo(TypeInfoOf(static_cast<E*>(nullptr)));
    return info;
}
template <class P>
const TTypeInfo& ClassTypeInfoOf() {
    static_assert(
        std::is_same_v<typename P::ZelmorClassSelf, P>,
        "the class of a class property needs ZELMOR_CLASS, or its type name would be its ancestor's");
    static const TTypeInfo info = MakeClassTypeInfo(P::StaticClassInfo());
    return info;
}
template <class Sig>
const TTypeInfo& MethodTypeInfoOf() {
    static const TTypeInfo info = MakeMethodTypeInfo(typeid(std::function<Sig>));
    return info;
}

template <class V>
constexpr bool IsOrdinal = std::is_integral_v<V> || std::is_enum_v<V> || TSetTraits<V>::value;
template <class V>
constexpr bool IsClassPointer =
    std::is_pointer_v<V>&& std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<V>>>;

// How a value of type V travels through TPropInfo.
template <class V>
auto RepOf() {
    if constexpr (IsOrdinal<V>) return int64_t{};
    else if constexpr (std::is_floating_point_v<V>) return static_cast<long double>(0);
    else if constexpr (std::is_same_v<V, AnsiString>) return AnsiString{};
    else if constexpr (IsClassPointer<V>) return static_cast<TObject*>(nullptr);
    else if constexpr (TEventTraits<V>::value) return TMethod{};
    else if constexpr (std::is_same_v<V, std::any>) return std::any{};
    else static_assert(sizeof(V) == 0, "no published property kind for this type");
}
template <class V>
using Rep = decltype(RepOf<V>());

template <class V>
const TTypeInfo& TypeInfoFor() {
    if constexpr (std::is_same_v<V, bool>) return BooleanTypeInfo();
    else if constexpr (std::is_same_v<V, char>) return CharTypeInfo();
    else if constexpr (std::is_enum_v<V>) return TypeInfoOf(static_cast<V*>(nullptr));
    else if constexpr (TSetTraits<V>::value) return SetTypeInfoOf<typename TSetTraits<V>::Element>();
    else if constexpr (std::is_integral_v<V>) {
        static_assert(sizeof(V) < 8 || std::is_signed_v<V>, "unsigned 64-bit properties are not supported");
        return IntegerTypeInfo(sizeof(V), std::is_signed_v<V>);
    } else if constexpr (std::is_same_v<V, float>) return FloatTypeInfo(ftSingle);
    else if constexpr (std::is_same_v<V, double>) return FloatTypeInfo(ftDouble);
    else if constexpr (std::is_same_v<V, long double>) return FloatTypeInfo(ftExtended);
    else if constexpr (std::is_same_v<V, AnsiString>) return StringTypeInfo(tkLString);
    else if constexpr (IsClassPointer<V>)
        return ClassTypeInfoOf<std::remove_cv_t<std::remove_pointer_t<V>>>();
    else if constexpr (TEventTraits<V>::value) return MethodTypeInfoOf<typename TEventTraits<V>::Signature>();
    else return VariantTypeInfo();
}

template <class V>
int64_t OrdOf(const V& Value) {
    if constexpr (TSetTraits<V>::value) return Value.Bits();
    else if constexpr (std::is_same_v<V, char>) return static_cast<unsigned char>(Value);
    else return static_cast<int64_t>(Value);
}

template <class V>
Rep<V> ToRep(const V& Value) {
    if constexpr (IsOrdinal<V>) return OrdOf(Value);
    else if constexpr (IsClassPointer<V>) return const_cast<TObject*>(static_cast<const TObject*>(Value));
    else return Rep<V>(Value);
}

// The value has passed TPropInfo's kind, range, class and signature checks.
template <class V>
V FromRep(Rep<V> Value) {
    if constexpr (TSetTraits<V>::value) return V::FromBits(static_cast<uint32_t>(Value));
    else if constexpr (std::is_same_v<V, bool>) return Value != 0;
    else if constexpr (std::is_same_v<V, char>) return static_cast<char>(static_cast<unsigned char>(Value));
    else if constexpr (IsOrdinal<V> || std::is_floating_point_v<V>) return static_cast<V>(Value);
    else if constexpr (IsClassPointer<V>) return dynamic_cast<V>(Value);
    else if constexpr (TEventTraits<V>::value)
        return Value.template ToEvent<typename TEventTraits<V>::Signature>();
    else return Value;
}
}  // namespace zelmor_detail

class TPropertyTable {
public:
    // A property read through Getter and written through Setter, both members
    // of the class (or of an ancestor). Without a setter it is read-only.
    template <class G, class S>
    requires std::is_member_function_pointer_v<G> TPropBuilder Property(std::string_view Name, G Getter,
                                                                        S Setter) {
        return PropertyOf<typename zelmor_detail::TMemberClass<G>::Class>(Name, Getter, Setter);
    }
    template <class G>
    requires std::is_member_function_pointer_v<G> TPropBuilder Property(std::string_view Name, G Getter) {
        return PropertyOf<typename zelmor_detail::TMemberClass<G>::Class>(Name, Getter, nullptr);
    }
    // The same with any callables on a C&: for properties that share one
    // getter by an index, or whose getter is not a plain member.
    template <class C, class G, class S = std::nullptr_t>
    TPropBuilder PropertyOf(std::string_view Name, G Getter, S Setter = nullptr);
    // An event kept in a public TEvent member.
    template <class C, class Sig>
    TPropBuilder Event(std::string_view Name, TEvent<Sig> C::*Member) {
        return PropertyOf<C>(
            Name, [Member](C& Object) -> const TEvent<Sig>& { return Object.*Member; },
            [Member](C& Object, TEvent<Sig> Value) { Object.*Member = std::move(Value); });
    }
    // A handler method that form files bind events to by its name
    // ("OnClick = BSiguienteClick").
    template <class C, class R, class... A>
    void Handler(std::string_view Name, R (C::*Method)(A...));
    // A field of a form class that points at the component of that name the
    // form owns ("BSiguiente"): set when such a component gets the name,
    // cleared when it leaves the form, is renamed or is freed.
    template <class C, class T>
    void Field(std::string_view Name, T* C::*Member);

    // Lookup without regard to case; null when absent.
    const TPropInfo* Find(std::string_view Name) const;
    // In declaration order, ancestors first.
    const std::vector<std::shared_ptr<const TPropInfo>>& Properties() const { return FProps; }
    // The handler of that name bound to Root; unassigned when Root's class has none.
    TMethod BindHandler(TObject* Root, std::string_view Name) const;
    struct TFieldInfo {
        AnsiString Name;
        const TClassInfo* Class;  // of the components the field can point at
        std::function<TObject*(TObject* Owner)> Get;
        std::function<void(TObject* Owner, TObject* Value)> Set;
    };
    // Null when the class has no field of that name.
    const TFieldInfo* FindField(std::string_view Name) const;
    // Every field, ancestors' included, by name.
    std::vector<const TFieldInfo*> Fields() const;

private:
    friend const TPropertyTable& GetPropertyTable(const TClassInfo& Class);
    struct THandler {
        AnsiString Name;
        std::function<TMethod(TObject*)> Bind;
    };
    TPropBuilder Add(std::string_view Name, const TTypeInfo& Type, TPropInfo::TAccessors Access);
    void AddHandler(std::string_view Name, std::function<TMethod(TObject*)> Bind);
    void AddField(TFieldInfo Field);

    std::vector<std::shared_ptr<const TPropInfo>> FProps;
    std::map<AnsiString, size_t> FIndex;       // upper-cased name -> position in FProps
    std::map<AnsiString, THandler> FHandlers;  // upper-cased name
    std::map<AnsiString, TFieldInfo> FFields;  // upper-cased name
};

// --- access by name on any object ---
// The table of a class, built on first use from its DescribeProperties and its ancestors'.
const TPropertyTable& GetPropertyTable(const TClassInfo& Class);
// Null when the class has no published property of that name (or Instance is null).
const TPropInfo* GetPropInfo(const TClassInfo& Class, std::string_view Name);
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name);
// Raises EPropertyError "Unknown property: 'Name'".
const TPropInfo& FindPropInfo(const TObject* Instance, std::string_view Name);
// A dotted path through class properties ("Font.Name", "ButtonEffects.Flat"):
// Instance moves to the object that holds the last property. Null, with
// Instance unchanged, when a step is absent, not a class property or nil.
const TPropInfo* GetPropInfoPath(TObject*& Instance, std::string_view Path);
std::vector<const TPropInfo*> GetPropList(const TClassInfo& Class, TTypeKinds Kinds = tkAny);
std::vector<const TPropInfo*> GetPropList(const TObject* Instance, TTypeKinds Kinds = tkAny);

bool IsPublishedProp(const TObject* Instance, std::string_view Name);
TTypeKind PropType(const TObject* Instance, std::string_view Name);
bool PropIsType(const TObject* Instance, std::string_view Name, TTypeKind Kind);
bool IsStoredProp(TObject* Instance, std::string_view Name);
bool IsDefaultPropValue(TObject* Instance, std::string_view Name);

int64_t GetOrdProp(TObject* Instance, std::string_view Name);
void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value);
AnsiString GetEnumProp(TObject* Instance, std::string_view Name);
void SetEnumProp(TObject* Instance, std::string_view Name, std::string_view Value);
AnsiString GetSetProp(TObject* Instance, std::string_view Name, bool Brackets = false);
void SetSetProp(TObject* Instance, std::string_view Name, std::string_view Value);
AnsiString GetStrProp(TObject* Instance, std::string_view Name);
void SetStrProp(TObject* Instance, std::string_view Name, const AnsiString& Value);
long double GetFloatProp(TObject* Instance, std::string_view Name);
void SetFloatProp(TObject* Instance, std::string_view Name, long double Value);
int64_t GetInt64Prop(TObject* Instance, std::string_view Name);
void SetInt64Prop(TObject* Instance, std::string_view Name, int64_t Value);
std::any GetVariantProp(TObject* Instance, std::string_view Name);
void SetVariantProp(TObject* Instance, std::string_view Name, const std::any& Value);
// MinClass given: null unless the object is of that class.
TObject* GetObjectProp(TObject* Instance, std::string_view Name, const TClassInfo* MinClass = nullptr);
void SetObjectProp(TObject* Instance, std::string_view Name, TObject* Value);
const TClassInfo* GetObjectPropClass(const TObject* Instance, std::string_view Name);
TMethod GetMethodProp(TObject* Instance, std::string_view Name);
void SetMethodProp(TObject* Instance, std::string_view Name, const TMethod& Value);

// The handler method of that name of Root's class, bound to Root; unassigned
// when there is none.
TMethod GetHandler(TObject* Root, std::string_view HandlerName);
// Binds the event property Name of Instance to Root's handler: EMethodNotFound
// "Method 'X' not found" when Root has none, EPropertyError when its signature
// is not the event's.
void SetMethodPropByHandler(TObject* Instance, std::string_view Name, TObject* Root,
                            std::string_view HandlerName);

// --- templates ---
template <class T>
TPropBuilder& TPropBuilder::Default(T Value) {
    if constexpr (std::is_floating_point_v<T>) SetFloatDefault(Value);
    else SetOrdDefault(zelmor_detail::OrdOf(Value));
    return *this;
}

template <class C>
TPropBuilder& TPropBuilder::Stored(bool (C::*Predicate)() const) {
    FInfo.FStoredPredicate = [Predicate](TObject* Instance) {
        return (zelmor_detail::InstanceAs<C>(Instance).*Predicate)();
    };
    return *this;
}

template <class C, class G, class S>
TPropBuilder TPropertyTable::PropertyOf(std::string_view Name, G Getter, S Setter) {
    using V = std::remove_cvref_t<std::invoke_result_t<G&, C&>>;
    using R = zelmor_detail::Rep<V>;
    TPropInfo::TAccess<R> access;
    access.Get = [Getter](TObject* Instance) -> R {
        return zelmor_detail::ToRep<V>(std::invoke(Getter, zelmor_detail::InstanceAs<C>(Instance)));
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
        access.Set = [Setter](TObject* Instance, R Value) {
            std::invoke(Setter, zelmor_detail::InstanceAs<C>(Instance),
                        zelmor_detail::FromRep<V>(std::move(Value)));
        };
    }
    return Add(Name, zelmor_detail::TypeInfoFor<V>(), std::move(access));
}

template <class C, class R, class... A>
void TPropertyTable::Handler(std::string_view Name, R (C::*Method)(A...)) {
    AddHandler(Name, [Method, HandlerName = AnsiString(Name)](TObject* Root) {
        C* self = &zelmor_detail::InstanceAs<C>(Root);
        return TMethod::Bind<R(A...)>(HandlerName, std::function<R(A...)>([self, Method](A... Args) -> R {
                                          return (self->*Method)(std::forward<A>(Args)...);
                                      }));
    });
}

template <class C, class T>
void TPropertyTable::Field(std::string_view Name, T* C::*Member) {
    static_assert(std::is_same_v<typename T::ZelmorClassSelf, T>, "the field's class needs ZELMOR_CLASS");
    AddField(TFieldInfo{
        AnsiString(Name), &T::StaticClassInfo(),
        [Member](TObject* Owner) -> TObject* { return zelmor_detail::InstanceAs<C>(Owner).*Member; },
        [Member](TObject* Owner, TObject* Value) {
            zelmor_detail::InstanceAs<C>(Owner).*Member = dynamic_cast<T*>(Value);
        }});
}
