#include "platform/classes/Collection.h"

#include <algorithm>
#include <memory>

#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_COLLECTION_ITEM(TCollectionItem, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TCollection, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOwnedCollection, TCollection)

namespace {
// Holds a collection's updates so its owner hears once, even when a step fails.
class TUpdateScope {
public:
    explicit TUpdateScope(TCollection& Collection) : FCollection(Collection) { FCollection.BeginUpdate(); }
    ~TUpdateScope() { FCollection.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TCollection& FCollection;
};
}  // namespace

namespace zelmor_detail {
TCollection* CollectionArgument(TObject* Collection) {
    if (!Collection) return nullptr;
    if (auto* collection = dynamic_cast<TCollection*>(Collection)) return collection;
    throw EInvalidCast("A collection item cannot belong to a " + Collection->ClassName());
}
}  // namespace zelmor_detail

// --- items ---

TCollectionItem::TCollectionItem(TCollection* Collection) {
    // No class test here: while this constructor runs the item is only a
    // TCollectionItem; Add makes items of the collection's class.
    if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (Value == FCollection) return;
    if (Value && !InheritsFrom(Value->ItemClass()))
        throw EInvalidCast("A " + ClassName() + " cannot join a collection of " + Value->ItemClass().Name);
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int Value) {
    int current = Index();
    if (current < 0) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size())) Value = static_cast<int>(items.size()) - 1;
    if (Value == current) return;
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

AnsiString TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const AnsiString&) { Changed(false); }

AnsiString TCollectionItem::GetNamePath() const {
    if (!FCollection) return ClassName();
    return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

// --- collections ---

TCollection::TCollection(const TClassInfo& ItemClass) : FItemClass(&ItemClass) {
    if (!ItemClass.InheritsFrom(&TCollectionItem::StaticClassInfo()))
        throw EInvalidCast(AnsiString("A collection cannot hold ") + ItemClass.Name);
}

TCollection::~TCollection() {
    // No Update calls from a collection that is going away.
    FUpdateCount = 1;
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[Index];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::Add() {
    // Held so that Update sees the new item whole, not half built.
    TUpdateScope scope(*this);
    std::unique_ptr<TObject> created(FItemClass->Create(this));
    auto* item = dynamic_cast<TCollectionItem*>(created.get());
    if (!item || item->FCollection != this)
        throw EInvalidOperation(AnsiString("The factory of ") + FItemClass->Name +
                                " made no item of this collection");
    created.release();
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TUpdateScope scope(*this);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    TUpdateScope scope(*this);
    while (!FItems.empty()) delete FItems.back();
}

int TCollection::IndexOf(const TCollectionItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) return inherited::Assign(Source);
    if (source == this) return;
    TUpdateScope scope(*this);
    Clear();
    for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

AnsiString TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    AnsiString path = owner->GetNamePath();
    if (path.empty()) return ClassName();
    for (const TPropInfo* info : GetPropList(owner, {tkClass}))
        if (info->GetObject(owner) == this) return path + "." + info->Name();
    return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end()) FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}

TOwnedCollection::TOwnedCollection(TPersistent* Owner, const TClassInfo& ItemClass)
    : TCollection(ItemClass), FOwner(Owner) {}
