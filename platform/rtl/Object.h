#pragma once
// The root of the class model: class metadata (name, ancestry, factory,
// registry by name), TObject, TPersistent, events and small sets.
//
// Every class that the libraries test by name, create by name or stream
// declares itself with ZELMOR_CLASS in its body and ZELMOR_IMPLEMENT_CLASS in
// its .cpp. The published-property table of a class is described by a static
// DescribeProperties(TPropertyTable&) in the class (see platform/classes).
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/AnsiString.h"

class TObject;
class TPersistent;
class TPropertyTable;
struct TTypeInfo;
class TFiler;

// Creates an instance of a class known only by its metadata (the "virtual
// constructor" of a class reference). Components receive their owner,
// collection items their collection.
using TObjectFactory = TObject* (*)(TObject* Owner);

struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    TObjectFactory Factory;
    void (*Describe)(TPropertyTable&);  // this class's own published properties, or null
    // Built on first use by platform/classes from Describe and the ancestors'
    // tables; lives as long as the process.
    mutable TPropertyTable* Properties = nullptr;

    bool InheritsFrom(const TClassInfo* Other) const;
    // True when this class or an ancestor has the name, compared without
    // regard to (ASCII) case: how the libraries recognise each other's classes.
    bool IsNamed(std::string_view ClassName) const;
    TObject* Create(TObject* Owner) const;  // raises EInvalidOperation when abstract
};

// ZELMOR_CLASS(Self, Base) inside the class body; leaves access public.
#define ZELMOR_CLASS(Self, Base)                                                                             \
public:                                                                                                      \
    using inherited = Base;                                                                                  \
    using ZelmorClassSelf = Self;                                                                            \
    static const TClassInfo& StaticClassInfo();                                                              \
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }                              \
                                                                                                             \
public:

namespace zelmor_detail {
template <class Self, class Base>
constexpr void (*OwnDescribe())(TPropertyTable&) {
    if constexpr (requires { &Self::DescribeProperties; }) {
        if constexpr (!std::is_same_v<decltype(&Self::DescribeProperties),
                                      decltype(&Base::DescribeProperties)>)
            return &Self::DescribeProperties;
        else
            return &Self::DescribeProperties == &Base::DescribeProperties ? nullptr
                                                                          : &Self::DescribeProperties;
    }
    return nullptr;
}
}  // namespace zelmor_detail

// In the .cpp: ZELMOR_IMPLEMENT_CLASS(Self, Base) for classes that are not
// created by name, ZELMOR_IMPLEMENT_CLASS_FACTORY(Self, Base, Factory) for
// those that are (platform/classes has the component form).
#define ZELMOR_IMPLEMENT_CLASS_FACTORY(Self, Base, FactoryFn)                                                \
    const TClassInfo& Self::StaticClassInfo() {                                                              \
        static const TClassInfo info{#Self, &Base::StaticClassInfo(), FactoryFn,                             \
                                     zelmor_detail::OwnDescribe<Self, Base>()};                              \
        return info;                                                                                         \
    }
#define ZELMOR_IMPLEMENT_CLASS(Self, Base) ZELMOR_IMPLEMENT_CLASS_FACTORY(Self, Base, nullptr)

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    using ZelmorClassSelf = TObject;
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo* ClassInfo() const { return &StaticClassInfo(); }
    static void DescribeProperties(TPropertyTable&) {}

    AnsiString ClassName() const { return ClassInfo()->Name; }
    bool InheritsFrom(const TClassInfo& Other) const { return ClassInfo()->InheritsFrom(&Other); }
    bool IsClassNamed(std::string_view Name) const { return ClassInfo()->IsNamed(Name); }

    // Runs before any destructor, while the object is still whole: components
    // use it to free what they own and to tell those that asked.
    virtual void BeforeDestruction() {}
    // BeforeDestruction, then delete. Prefer it to a bare delete for components.
    void Free();
};

template <class T>
void FreeAndNil(T*& Object) {
    T* o = Object;
    Object = nullptr;
    if (o) o->Free();
}

// --- the registry of classes by name ---
// Registers a class unless a class of that name is already registered.
void RegisterClass(const TClassInfo& Class);
void RegisterClasses(std::initializer_list<const TClassInfo*> Classes);
// nullptr when no class of that name (any case) is registered.
const TClassInfo* GetClass(std::string_view Name);
// Raises EClassNotFound "Class <Name> not found".
const TClassInfo& FindClass(std::string_view Name);
void UnRegisterClass(const TClassInfo& Class);

class TPersistent : public TObject {
    ZELMOR_CLASS(TPersistent, TObject)
    friend class TFiler;
    friend class TReader;
    friend class TWriter;

public:
    // Copies Source into this object; the default asks Source to AssignTo this
    // and raises EConvertError "Cannot assign a <source> to a <this>".
    virtual void Assign(TPersistent* Source);
    virtual AnsiString GetNamePath() const;

protected:
    virtual void AssignTo(TPersistent* Dest);
    // Extra streamed data that is not a published property (binary blocks,
    // legacy names); the form reader and writer call it.
    virtual void DefineProperties(TFiler* Filer);
    virtual TPersistent* GetOwner() const { return nullptr; }
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// --- events: a nullable callable that also remembers the name of the form
// method it was bound to, so forms can be written back ---
template <class Sig>
class TEvent;

template <class R, class... Args>
class TEvent<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class F>
    requires(std::is_invocable_r_v<R, F&, Args...> && !std::is_same_v<std::decay_t<F>, TEvent>) TEvent(F Fn)
        : FFunction(std::move(Fn)) {}
    TEvent(Function Fn, AnsiString HandlerName)
        : FFunction(std::move(Fn)), FHandlerName(std::move(HandlerName)) {}

    TEvent& operator=(std::nullptr_t) {
        FFunction = nullptr;
        FHandlerName.clear();
        return *this;
    }

    R operator()(Args... A) const { return FFunction(std::forward<Args>(A)...); }
    explicit operator bool() const { return static_cast<bool>(FFunction); }
    const Function& GetFunction() const { return FFunction; }
    const AnsiString& HandlerName() const { return FHandlerName; }

private:
    Function FFunction;
    AnsiString FHandlerName;
};

template <class R, class... Args>
bool Assigned(const TEvent<R(Args...)>& Event) {
    return static_cast<bool>(Event);
}
template <class T>
bool Assigned(const T* Pointer) {
    return Pointer != nullptr;
}

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// --- sets of up to 32 enumeration values ---
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Values) {
        for (E v : Values) FBits |= Bit(v);
    }
    static constexpr TSet FromBits(uint32_t Bits) {
        TSet s;
        s.FBits = Bits;
        return s;
    }
    constexpr uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E Value) {
        FBits |= Bit(Value);
        return *this;
    }
    constexpr TSet& Exclude(E Value) {
        FBits &= ~Bit(Value);
        return *this;
    }
    constexpr TSet operator+(TSet Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TSet operator-(TSet Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr TSet operator*(TSet Other) const { return FromBits(FBits & Other.FBits); }
    constexpr TSet& operator+=(TSet Other) {
        FBits |= Other.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet Other) {
        FBits &= ~Other.FBits;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint32_t Bit(E Value) { return uint32_t(1) << static_cast<unsigned>(Value); }
    uint32_t FBits = 0;
};
