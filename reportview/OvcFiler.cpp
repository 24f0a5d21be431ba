#include "reportview/OvcFiler.h"

#include <algorithm>
#include <any>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Variants.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_CLASS(TOvcAbstractStore, TOvcComponent)

// --- the store ---

void TOvcAbstractStore::Open() {
    if (FOpenCount++ == 0) DoOpen();
}

void TOvcAbstractStore::Close() {
    if (FOpenCount > 0) --FOpenCount;
    if (FOpenCount == 0) DoClose();
}

namespace {
[[noreturn]] void Abstract() { throw EAbstractError("Abstract error"); }
}  // namespace

void TOvcAbstractStore::DoOpen() { Abstract(); }
void TOvcAbstractStore::DoClose() { Abstract(); }

AnsiString TOvcAbstractStore::ReadString(const AnsiString&, const AnsiString&, const AnsiString&) {
    Abstract();
}

void TOvcAbstractStore::WriteString(const AnsiString&, const AnsiString&, const AnsiString&) { Abstract(); }

bool TOvcAbstractStore::ReadBoolean(const AnsiString& Section, const AnsiString& Item, bool Default) {
    AnsiString text = ReadString(Section, Item, Default ? "1" : "0");
    return !text.empty() && text[0] == '1';
}

void TOvcAbstractStore::WriteBoolean(const AnsiString& Section, const AnsiString& Item, bool Value) {
    WriteString(Section, Item, Value ? "1" : "0");
}

int32_t TOvcAbstractStore::ReadInteger(const AnsiString& Section, const AnsiString& Item, int32_t Default) {
    int value = 0;
    return TryStrToInt(ReadString(Section, Item, IntToStr(Default)), value) ? value : Default;
}

void TOvcAbstractStore::WriteInteger(const AnsiString& Section, const AnsiString& Item, int32_t Value) {
    WriteString(Section, Item, IntToStr(Value));
}

// --- property lists ---

namespace {

bool IsOvcCollection(const TPropInfo& Info) {
    return Info.Kind() == tkClass && SameText(Info.PropType().Name, "TOvcCollection");
}

AnsiString Prefixed(const AnsiString& Prefix, const AnsiString& Name) {
    AnsiString name = Prefix.empty() ? Name : Prefix + "." + Name;
    return name.substr(0, 255);
}

}  // namespace

TOvcPropertyList::TOvcPropertyList(TObject* Obj, TTypeKinds Kinds, const AnsiString& Prefix) {
    if (!Obj) return;
    for (const TPropInfo* info : GetPropList(Obj, Kinds))
        FItems.push_back({info, Prefixed(Prefix, info->Name()), Obj});
    // A collection of the library stands for the properties of its items.
    for (size_t i = 0; i < FItems.size();) {
        if (!IsOvcCollection(*FItems[i].Info)) {
            ++i;
            continue;
        }
        const TExPropInfo entry = FItems[i];
        FItems.erase(FItems.begin() + static_cast<ptrdiff_t>(i));
        if (auto* collection = dynamic_cast<TOvcCollection*>(entry.Info->GetObject(entry.Object)))
            for (int n = 0; n < collection->Count(); ++n) {
                TOvcPropertyList items(collection->Item(n), tkProperties,
                                       entry.Name + "[" + IntToStr(n) + "]");
                FItems.insert(FItems.end(), items.FItems.begin(), items.FItems.end());
            }
    }
}

TExPropInfo* TOvcPropertyList::Find(std::string_view Name) {
    for (TExPropInfo& e : FItems)
        if (SameText(e.Name, Name)) return &e;
    return nullptr;
}

bool TOvcPropertyList::Contains(const TExPropInfo& Info) const {
    return std::any_of(FItems.begin(), FItems.end(), [&](const TExPropInfo& e) {
        return &e.Info->PropType() == &Info.Info->PropType() && SameText(e.Name, Info.Name);
    });
}

void TOvcPropertyList::Intersect(const TOvcPropertyList& Other) {
    std::erase_if(FItems, [&](const TExPropInfo& e) { return !Other.Contains(e); });
}

void TOvcPropertyList::Delete(int Index) { FItems.erase(FItems.begin() + Index); }

// --- texts of property values ---

const TTypeInfo& GetPropType(const TExPropInfo& Info) { return Info.Info->PropType(); }

namespace {
bool IsTextKind(TTypeKind Kind) { return Kind == tkString || Kind == tkLString || Kind == tkChar; }

AnsiString VariantText(const std::any& Value) {
    if (const auto* v = std::any_cast<TVariant>(&Value)) return VarToStr(*v);
    if (const auto* s = std::any_cast<AnsiString>(&Value)) return *s;
    if (const auto* i = std::any_cast<int>(&Value)) return IntToStr(*i);
    if (const auto* d = std::any_cast<double>(&Value)) return FloatToStr(*d);
    if (const auto* b = std::any_cast<bool>(&Value)) return *b ? "True" : "False";
    return {};
}

int Precision(TFloatType Type) {
    switch (Type) {
    case ftSingle: return 7;
    case ftDouble: return 15;
    case ftCurr: return 19;
    default: return 18;
    }
}
}  // namespace

AnsiString GetPropertyText(const TExPropInfo& Info) {
    const TPropInfo& p = *Info.Info;
    TObject* obj = Info.Object;
    switch (p.Kind()) {
    case tkInteger: return IntToStr(p.GetOrd(obj));
    case tkChar: return AnsiString(1, static_cast<char>(p.GetOrd(obj)));
    case tkEnumeration: return p.GetEnum(obj);
    case tkFloat: return FloatToStrF(p.GetFloat(obj), ffGeneral, Precision(p.PropType().FloatType), 0);
    case tkString:
    case tkLString: return p.GetStr(obj);
    case tkSet: {
        // Only the first 32 elements have a place in the set.
        const uint32_t bits = static_cast<uint32_t>(p.GetOrd(obj));
        const TTypeInfo* element = p.PropType().ElementType;
        AnsiString text = "[";
        bool first = true;
        for (int i = 0; i < 32; ++i)
            if (bits & (uint32_t(1) << i)) {
                if (!first) text += ",";
                text += element ? GetEnumName(*element, i) : IntToStr(i);
                first = false;
            }
        return text + "]";
    }
    case tkVariant: return VariantText(p.GetVariant(obj));
    default: return {};
    }
}

void SetPropertyText(const TExPropInfo& Info, const AnsiString& Text) {
    const TPropInfo& p = *Info.Info;
    TObject* obj = Info.Object;
    switch (p.Kind()) {
    case tkInteger: p.SetOrd(obj, StrToIntDef(Text, 0)); break;
    case tkChar: p.SetOrd(obj, Text.empty() ? 0 : static_cast<unsigned char>(Text[0])); break;
    case tkEnumeration:
        if (GetEnumValue(p.PropType(), Text) >= 0) p.SetEnum(obj, Text);
        break;
    case tkFloat: p.SetFloat(obj, StrToFloat(Text)); break;
    case tkString:
    case tkLString: p.SetStr(obj, Text); break;
    case tkSet: {
        const TTypeInfo* element = p.PropType().ElementType;
        uint32_t bits = 0;
        const TCharSet delimiters(" ,[]");
        for (int n = 1; n <= WordCount(Text, delimiters); ++n) {
            int value = element ? GetEnumValue(*element, ExtractWord(n, Text, delimiters)) : -1;
            if (value >= 0 && value < 32) bits |= uint32_t(1) << value;
        }
        p.SetOrd(obj, bits);
        break;
    }
    case tkVariant: p.SetVariant(obj, std::any(Text)); break;
    default: break;
    }
}

// --- the filer ---

std::unique_ptr<TOvcDataFiler> TOvcDataFiler::CreateDataFiler() const {
    return std::make_unique<TOvcDataFiler>();
}

void TOvcDataFiler::EraseSection(const AnsiString& Section) {
    if (Storage) Storage->EraseSection(Section);
}

AnsiString TOvcDataFiler::ReadString(const AnsiString& Section, const AnsiString& Item,
                                     const AnsiString& Default) {
    return Storage ? Storage->ReadString(Section, Item, Default) : AnsiString();
}

void TOvcDataFiler::WriteString(const AnsiString& Section, const AnsiString& Item, const AnsiString& Value) {
    if (Storage) Storage->WriteString(Section, Item, Value);
}

std::unique_ptr<TOvcDataFiler> TOvcDataFiler::Nested(const AnsiString& PropertyName) const {
    std::unique_ptr<TOvcDataFiler> nested = CreateDataFiler();
    nested->Prefix = Prefix + PropertyName;
    nested->SectionName = SectionName;
    nested->Storage = Storage;
    return nested;
}

void TOvcDataFiler::StoreProperty(const TExPropInfo* Info) {
    if (!Info) return;
    const TTypeKind kind = Info->Info->Kind();
    if (kind == tkMethod || kind == tkWString || kind == tkInt64) return;
    if (kind == tkClass) {
        TObject* object = Info->Info->GetObject(Info->Object);
        if (!object) return;
        if (auto* lines = dynamic_cast<TStrings*>(object)) {
            const AnsiString section = SectionName + "." + GetItemName(Info->Name);
            EraseSection(section);
            if (lines->Count() > 0) {
                WriteString(section, "Count", IntToStr(lines->Count()));
                for (int i = 0; i < lines->Count(); ++i)
                    WriteString(section, Format("Item%d", {i}), lines->Get(i));
            }
        }
        Nested(Info->Name)->StoreAllProperties(object);
        return;
    }
    const AnsiString text = GetPropertyText(*Info);
    if (text.empty() && !IsTextKind(kind)) return;
    WriteString(SectionName, GetItemName(Info->Name), Trim(text));
}

void TOvcDataFiler::LoadProperty(const TExPropInfo* Info) {
    if (!Info) return;
    const TTypeKind kind = Info->Info->Kind();
    if (kind == tkMethod || kind == tkWString || kind == tkInt64) return;
    // A value that cannot be taken leaves the property as it was; the others still load.
    try {
        if (kind == tkClass) {
            TObject* object = Info->Info->GetObject(Info->Object);
            if (!object) return;
            if (auto* lines = dynamic_cast<TStrings*>(object)) {
                const AnsiString section = SectionName + "." + GetItemName(Info->Name);
                const int count = StrToIntDef(Trim(ReadString(section, "Count", "0")), 0);
                if (count > 0) {
                    TStringList read;
                    for (int i = 0; i < count; ++i) read.Add(ReadString(section, Format("Item%d", {i}), ""));
                    lines->Assign(&read);
                }
            }
            Nested(Info->Name)->LoadAllProperties(object);
            return;
        }
        const AnsiString current = GetPropertyText(*Info);
        AnsiString text;
        if (!current.empty() || IsTextKind(kind))
            text = Trim(ReadString(SectionName, GetItemName(Info->Name), current));
        SetPropertyText(*Info, text);
    } catch (const std::exception&) {
    }
}

void TOvcDataFiler::StoreAllProperties(TObject* Obj) {
    TOvcPropertyList list(Obj, tkProperties, "");
    for (int i = 0; i < list.Count(); ++i) StoreProperty(list.Get(i));
}

void TOvcDataFiler::LoadAllProperties(TObject* Obj) {
    TOvcPropertyList list(Obj, tkProperties, "");
    for (int i = 0; i < list.Count(); ++i) LoadProperty(list.Get(i));
}

std::unique_ptr<TStringList> TOvcDataFiler::CreatePropertyList(TComponent* Form, TStrings* List) {
    try {
        UpdateStoredList(Form, List, false);
        auto lists = std::make_unique<TStringList>();
        lists->SetSorted(true);
        for (int i = 0; List && i < List->Count(); ++i) {
            auto* component = dynamic_cast<TComponent*>(List->Objects(i));
            if (!component || lists->IndexOf(component->Name()) >= 0) continue;
            auto* properties = new TOvcPropertyList(component, tkProperties, "");
            lists->AddObject(component->Name(), properties);
        }
        return lists;
    } catch (...) {
        return nullptr;
    }
}

void TOvcDataFiler::FreeInfoLists(std::unique_ptr<TStringList> Lists) {
    if (!Lists) return;
    for (int i = 0; i < Lists->Count(); ++i) delete Lists->Objects(i);
}

void TOvcDataFiler::FileProperties(TComponent* Form, TStrings* List, bool Store) {
    std::unique_ptr<TStringList> lists = CreatePropertyList(Form, List);
    if (!lists) return;
    struct TFree {
        std::unique_ptr<TStringList>& Lists;
        ~TFree() { FreeInfoLists(std::move(Lists)); }
    } free{lists};
    for (int i = 0; i < List->Count(); ++i) {
        AnsiString component, property;
        if (!ParseStoredItem(List->Get(i), component, property)) continue;
        auto* object = dynamic_cast<TComponent*>(List->Objects(i));
        Prefix = object ? object->Name() : AnsiString();
        int at = lists->IndexOf(Prefix);
        if (at < 0) continue;
        Prefix += ".";
        auto* properties = static_cast<TOvcPropertyList*>(lists->Objects(at));
        if (TExPropInfo* info = properties->Find(property)) Store ? StoreProperty(info) : LoadProperty(info);
    }
}

void TOvcDataFiler::StoreObjectsProps(TComponent* Form, TStrings* List) { FileProperties(Form, List, true); }

void TOvcDataFiler::LoadObjectsProps(TComponent* Form, TStrings* List) { FileProperties(Form, List, false); }

// --- stored items ---

AnsiString CreateStoredItem(const AnsiString& ComponentName, const AnsiString& PropertyName) {
    if (ComponentName.empty() || PropertyName.empty()) return {};
    return ComponentName + "." + PropertyName;
}

bool ParseStoredItem(const AnsiString& Item, AnsiString& ComponentName, AnsiString& PropertyName) {
    size_t dot = Item.find('.');
    if (dot == AnsiString::npos) return false;
    ComponentName = Trim(Item.substr(0, dot));
    PropertyName = Trim(Item.substr(dot + 1));
    return !ComponentName.empty() && !PropertyName.empty();
}

void UpdateStoredList(TComponent* Form, TStrings* List, bool Resolve) {
    if (!List || (Resolve && !Form)) return;
    for (int i = List->Count() - 1; i >= 0; --i) {
        AnsiString component, property;
        bool keep = false;
        if (ParseStoredItem(List->Get(i), component, property)) {
            if (Resolve) {
                if (TComponent* found = Form->FindComponent(component)) {
                    List->SetObjects(i, found);
                    keep = true;
                }
            } else if (auto* object = dynamic_cast<TComponent*>(List->Objects(i))) {
                List->SetStrings(i, CreateStoredItem(object->Name(), property));
                keep = true;
            }
        }
        if (!keep) List->Delete(i);
    }
}
