#pragma once
// An abstract store of texts addressed by a section and an item name (the
// report view saves its views and column widths in one its user supplies),
// and a filer that saves and restores published properties through it.
//
// Item names: a property of a component "Edit1.Color"; a property of an
// object held in a class property of it "Edit1.FontName" (no separator); a
// property of item i of a collection property "View1.Views[0].Title". A
// string list goes to a section of its own, "Section.Edit1.Lines", as
// "Count" and "Item0", "Item1" ...
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/rtl/StringList.h"
#include "reportview/OvcBase.h"

class TOvcAbstractStore : public TOvcComponent {
    ZELMOR_CLASS(TOvcAbstractStore, TOvcComponent)
public:
    explicit TOvcAbstractStore(TComponent* AOwner) : TOvcComponent(AOwner) {}

    // Brackets may nest: only the outermost pair opens and closes the store.
    void Open();
    void Close();
    int OpenCount() const { return FOpenCount; }

    // The stored text, or Default when the item is absent.
    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Item,
                                  const AnsiString& Default);
    virtual void WriteString(const AnsiString& Section, const AnsiString& Item, const AnsiString& Value);
    // Removes a whole section; the base has nothing to remove.
    virtual void EraseSection(const AnsiString& /*Section*/) {}
    // "1" and "0"; a text read counts as true when it begins with "1".
    bool ReadBoolean(const AnsiString& Section, const AnsiString& Item, bool Default);
    void WriteBoolean(const AnsiString& Section, const AnsiString& Item, bool Value);
    // Decimal text; a text that is no integer reads as Default.
    int32_t ReadInteger(const AnsiString& Section, const AnsiString& Item, int32_t Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Item, int32_t Value);

protected:
    // A store supplies these four; the base raises EAbstractError.
    virtual void DoOpen();
    virtual void DoClose();

private:
    int FOpenCount = 0;
};

// One published property of an object, under a name that may carry a prefix.
struct TExPropInfo {
    const TPropInfo* Info;
    AnsiString Name;
    TObject* Object;
};

// The published properties of an object of the kinds asked for; a property
// holding a library collection stands for the properties of its items.
class TOvcPropertyList : public TObject {
public:
    TOvcPropertyList(TObject* Obj, TTypeKinds Kinds, const AnsiString& Prefix);
    int Count() const { return static_cast<int>(FItems.size()); }
    TExPropInfo* Get(int Index) { return &FItems.at(size_t(Index)); }
    // By name without regard to case; null when none.
    TExPropInfo* Find(std::string_view Name);
    // An entry of the same type and name.
    bool Contains(const TExPropInfo& Info) const;
    // Keeps the entries Other contains.
    void Intersect(const TOvcPropertyList& Other);
    void Delete(int Index);

private:
    std::vector<TExPropInfo> FItems;
};

class TOvcDataFiler {
public:
    virtual ~TOvcDataFiler() = default;
    AnsiString Prefix;
    AnsiString SectionName;
    TOvcAbstractStore* Storage = nullptr;  // not owned; without one nothing is written and texts read empty

    // A filer of the same kind, for the objects held in class properties.
    virtual std::unique_ptr<TOvcDataFiler> CreateDataFiler() const;
    virtual void EraseSection(const AnsiString& Section);
    virtual AnsiString GetItemName(const AnsiString& Name) const { return Prefix + Name; }
    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Item,
                                  const AnsiString& Default);
    virtual void WriteString(const AnsiString& Section, const AnsiString& Item, const AnsiString& Value);

    void StoreProperty(const TExPropInfo* Info);
    // An error of one property leaves it as far as it got; loading goes on.
    void LoadProperty(const TExPropInfo* Info);
    void StoreAllProperties(TObject* Obj);
    void LoadAllProperties(TObject* Obj);
    // The properties that List names ("Edit1.Color", one a line).
    void StoreObjectsProps(TComponent* Form, TStrings* List);
    void LoadObjectsProps(TComponent* Form, TStrings* List);
    // The property list of each component List names, by component name;
    // null when something fails.
    std::unique_ptr<TStringList> CreatePropertyList(TComponent* Form, TStrings* List);
    static void FreeInfoLists(std::unique_ptr<TStringList> Lists);

private:
    void FileProperties(TComponent* Form, TStrings* List, bool Store);
    std::unique_ptr<TOvcDataFiler> Nested(const AnsiString& PropertyName) const;
};

// "Component.Property"; empty when either part is.
AnsiString CreateStoredItem(const AnsiString& ComponentName, const AnsiString& PropertyName);
// Splits at the first "."; both parts trimmed and not empty.
bool ParseStoredItem(const AnsiString& Item, AnsiString& ComponentName, AnsiString& PropertyName);
// Resolve: each line's component, looked up among Form's, becomes its
// object; otherwise a line with an object is named again after it. Lines
// that cannot be kept go.
void UpdateStoredList(TComponent* Form, TStrings* List, bool Resolve);
const TTypeInfo& GetPropType(const TExPropInfo& Info);
// The property's value as the filer writes it, and back.
AnsiString GetPropertyText(const TExPropInfo& Info);
void SetPropertyText(const TExPropInfo& Info, const AnsiString& Text);
