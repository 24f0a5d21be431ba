#pragma once
// TList, the growable list of untyped pointers the libraries keep their
// controls, listeners and caches in, and TBits, a growable bit array.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

ZELMOR_EXCEPTION(EBitsError, Exception);

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Raises EListError "List index out of bounds (<i>)" for a bad index.
class TList : public TObject {
public:
    using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

    TList() = default;
    ~TList() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    void SetCount(int NewCount);  // new slots hold nullptr
    int Capacity() const { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int NewCapacity);
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    const std::vector<void*>& List() const { return FItems; }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; its former index, or -1.
    int Remove(void* Item);
    // Removes Item without the "deleted" notification; the item, or nullptr.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack();  // drops the nullptr items
    void Sort(const TListSortCompare& Compare);
    void Assign(const TList& Source);

    [[noreturn]] static void Error(const char* Message, int Data);

protected:
    // Descendants that own or watch their items hear of every change here.
    // The base destructor can no longer reach an override, so such a
    // descendant calls Clear in its own destructor.
    virtual void Notify(void* /*Item*/, TListNotification /*Action*/) {}

private:
    void Check(int Index) const;
    std::vector<void*> FItems;
};

class TBits : public TObject {
public:
    int Size() const { return FSize; }
    // Growing adds false bits; EBitsError for a negative size.
    void SetSize(int Value);
    // EBitsError "Bits index out of range" for an index outside 0..Size-1.
    bool Bits(int Index) const;
    // Setting a bit past the end grows the array.
    void SetBits(int Index, bool Value);
    // The first false bit, or Size when all are set.
    int OpenBit() const;

private:
    std::vector<bool> FBits;
    int FSize = 0;
};
