#include "platform/rtl/Object.h"

#include <map>
#include <mutex>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info{"TObject", nullptr, nullptr, nullptr};
    return info;
}

ZELMOR_IMPLEMENT_CLASS(TPersistent, TObject)

bool TClassInfo::InheritsFrom(const TClassInfo* Other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == Other) return true;
    return false;
}

bool TClassInfo::IsNamed(std::string_view ClassName) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (SameText(c->Name, ClassName)) return true;
    return false;
}

TObject* TClassInfo::Create(TObject* Owner) const {
    if (!Factory) throw EInvalidOperation(AnsiString("Cannot create an instance of ") + Name);
    return Factory(Owner);
}

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

namespace {
struct ClassRegistry {
    // Keyed by the upper-cased name: class names are looked up without regard to case.
    std::map<AnsiString, const TClassInfo*> ByName;
};
ClassRegistry& Registry() {
    static ClassRegistry r;
    return r;
}
}  // namespace

void RegisterClass(const TClassInfo& Class) { Registry().ByName.emplace(UpperCase(Class.Name), &Class); }

void RegisterClasses(std::initializer_list<const TClassInfo*> Classes) {
    for (const TClassInfo* c : Classes) RegisterClass(*c);
}

const TClassInfo* GetClass(std::string_view Name) {
    auto& m = Registry().ByName;
    auto it = m.find(UpperCase(Name));
    return it == m.end() ? nullptr : it->second;
}

const TClassInfo& FindClass(std::string_view Name) {
    const TClassInfo* c = GetClass(Name);
    if (!c) throw EClassNotFound("Class " + AnsiString(Name) + " not found");
    return *c;
}

void UnRegisterClass(const TClassInfo& Class) {
    auto& m = Registry().ByName;
    auto it = m.find(UpperCase(Class.Name));
    if (it != m.end() && it->second == &Class) m.erase(it);
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
    AnsiString source = Source ? Source->ClassName() : AnsiString("nil");
    throw EConvertError("Cannot assign a " + source + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler*) {}

AnsiString TPersistent::GetNamePath() const { return ClassName(); }
