#pragma once
// TCollection: an owned, ordered list of items of one class, streamed as a
// property of its owner. Items are made through their class's factory, so the
// form reader can fill a collection knowing only the item class.
#include <vector>

#include "platform/rtl/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
    ZELMOR_CLASS(TCollectionItem, TPersistent)
    friend class TCollection;

public:
    // Joins Collection (when given) as its last item.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves its collection, which tells its owner.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    // Unique within the collection for its whole life, never reused.
    int ID() const { return FID; }
    int Index() const;  // -1 outside a collection
    // Moves the item; an index out of range moves it to the end.
    virtual void SetIndex(int Value);
    // The class name unless a descendant names its items.
    virtual AnsiString DisplayName() const;
    virtual void SetDisplayName(const AnsiString& Value);
    AnsiString GetNamePath() const override;

protected:
    // Tells the collection that this item (or, with AllItems, every item) changed.
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

private:
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    ZELMOR_CLASS(TCollection, TPersistent)
    friend class TCollectionItem;

public:
    explicit TCollection(const TClassInfo& ItemClass);
    ~TCollection() override;

    const TClassInfo& ItemClass() const { return *FItemClass; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    TCollectionItem* Items(int Index) const;
    // Assigns Value to the item at Index.
    void SetItems(int Index, TCollectionItem* Value);
    TCollectionItem* Add();
    // An index out of range inserts at the end.
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TCollectionItem* Item) const;
    TCollectionItem* FindItemID(int ID) const;

    // Changes between the two calls reach Update once, at the last EndUpdate.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // A collection of the same item class: clears this one and adds a copy of
    // each source item through the item's Assign.
    void Assign(TPersistent* Source) override;
    // The owner's name path and the name of the owner's property that holds
    // this collection ("Grid1.Columns"); the class name when that is unknown.
    AnsiString GetNamePath() const override;

protected:
    // Called after a change: Item is the changed item, or null when the whole
    // collection changed. Descendants pass it on to their owner.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    const TClassInfo* FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that answers its owner, so that name paths and the streamer can
// find where it lives.
class TOwnedCollection : public TCollection {
    ZELMOR_CLASS(TOwnedCollection, TCollection)

public:
    TOwnedCollection(TPersistent* Owner, const TClassInfo& ItemClass);

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

namespace zelmor_detail {
// The collection given to an item factory; raises EInvalidCast when it is not one.
TCollection* CollectionArgument(TObject* Collection);
template <class T>
TObject* CollectionItemFactory(TObject* Collection) {
    return new T(CollectionArgument(Collection));
}
}  // namespace zelmor_detail

// In the .cpp of a collection item class.
#define ZELMOR_IMPLEMENT_COLLECTION_ITEM(Self, Base)                                                         \
    ZELMOR_IMPLEMENT_CLASS_FACTORY(Self, Base, &zelmor_detail::CollectionItemFactory<Self>)
