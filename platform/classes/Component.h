#pragma once
// TComponent: ownership, names, notifications and the state flags of streaming.
//
// A component belongs to its owner, which frees it. Free() is the way to end a
// component: BeforeDestruction runs while the whole object still exists, so
// its owned components are freed, and the components that asked for a free
// notification hear of it, while its own overrides (Notification above all)
// still work. A plain delete is safe too: the destructor does the same work
// if Free did not, but by then only the TComponent part of the object is left
// to answer. Either way a component owned by another leaves its owner's list
// and its owner and siblings get Notification(it, opRemove).
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/Object.h"

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,  // never set: there is no form designer
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,  // someone asked to hear when this component goes
    csInline,
};
using TComponentState = TSet<TComponentStateFlag>;

class TComponent;
class TReader;
using TGetChildProc = std::function<void(TComponent* Child)>;

namespace zelmor_detail {
class TWholeInsert;
}

class TComponent : public TPersistent {
    ZELMOR_CLASS(TComponent, TPersistent)
    friend class TReader;
    friend class TWriter;
    friend class zelmor_detail::TWholeInsert;

public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    void BeforeDestruction() override;
    // Runs once the object is whole, its owner told (NewComponent calls it):
    // what a constructor cannot do because the object does not have its
    // final class yet. A form reads its form resource here, so that the
    // reader finds the handlers and fields of the form's own class. When it
    // raises, the component is freed.
    virtual void AfterConstruction() {}
    static void DescribeProperties(TPropertyTable& T);

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;  // -1 without an owner
    void SetComponentIndex(int Index);
    // Moves AComponent here from its current owner. Raises EComponentError when
    // its name is taken here; it then stays where it was.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, last first.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();
    // The owned component of that name, compared without regard to case; null
    // for an empty name or none.
    TComponent* FindComponent(std::string_view AName) const;

    const AnsiString& Name() const { return FName; }
    // A name is empty or an identifier, unique among the owner's components
    // without regard to case (EComponentError otherwise).
    virtual void SetName(const AnsiString& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    // AComponent hears Notification(this, opRemove) when this component goes,
    // and this one hears when AComponent goes. Components of one owner need no
    // link: their owner tells them all.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // What the form writer streams inside this component, and who owns and
    // parents what the reader creates there.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual TComponent* GetChildOwner();
    virtual TComponent* GetChildParent();
    virtual bool HasParent() const;
    virtual TComponent* GetParentComponent() const;
    virtual void SetParentComponent(TComponent* Value);

    virtual void Updating();
    virtual void Updated();
    AnsiString GetNamePath() const override;

protected:
    // Reads this component's data from a form file: the reader's ReadData.
    // A component that must prepare for its streamed children (clear default
    // items, install a handler on the reader) does so around the inherited call.
    virtual void ReadState(TReader* Reader);
    // Sent to the owner, which passes it to every component it owns.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loading();
    // After the whole form is read: the component takes its streamed state.
    virtual void Loaded();
    virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
    void SetAncestor(bool Value);
    void SetInline(bool Value);
    TPersistent* GetOwner() const override { return FOwner; }

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void TearDown();

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    AnsiString FName;
    intptr_t FTag = 0;
    TComponentState FComponentState;
    bool FInsertPending = false;
    bool FTornDown = false;
};

namespace zelmor_detail {
// Holds back the owner's opInsert notification until the component's
// constructors have all run, so that the owner and its components can tell
// the new component's class (C++ gives an object its class only when its
// constructor ends).
class TWholeInsert {
public:
    TWholeInsert();
    ~TWholeInsert();
    TWholeInsert(const TWholeInsert&) = delete;
    TWholeInsert& operator=(const TWholeInsert&) = delete;
    void Finish(TComponent* Created);
    // Runs Created's AfterConstruction; frees it when that fails.
    static void Complete(TComponent* Created);
};
// The owner given to a class factory; raises EInvalidCast when it is not a component.
TComponent* OwnerArgument(TObject* Owner);
}  // namespace zelmor_detail

// Creates a component whose owner (and the owner's components) hear of it
// once it is whole, then runs its AfterConstruction. The class factories and
// the form reader create this way; `new T(Owner)` tells them while only the
// TComponent part exists, and skips AfterConstruction.
template <class T, class... A>
T* NewComponent(TComponent* Owner, A&&... Args) {
    T* created;
    {
        zelmor_detail::TWholeInsert insert;
        created = new T(Owner, std::forward<A>(Args)...);
        insert.Finish(created);
    }
    zelmor_detail::TWholeInsert::Complete(created);
    return created;
}

namespace zelmor_detail {
template <class T>
TObject* ComponentFactory(TObject* Owner) {
    return NewComponent<T>(OwnerArgument(Owner));
}
}  // namespace zelmor_detail

// In the .cpp of a component class that is created by name.
#define ZELMOR_IMPLEMENT_COMPONENT(Self, Base)                                                               \
    ZELMOR_IMPLEMENT_CLASS_FACTORY(Self, Base, &zelmor_detail::ComponentFactory<Self>)

// A name a component may bear: a letter or "_", then letters, digits and "_".
bool IsValidIdent(std::string_view S);

// "Frame1.Edit1": each dotted part found among the components of the one before.
TComponent* FindNestedComponent(TComponent* Root, std::string_view Path);
