#pragma once
// The classes every control of the report-view library stands on: its base
// component and controls, the attached label that a control keeps glued
// above itself, the per-form controller with its command tables, timer pool
// and posted notifications, and the library's collections, whose items are
// components owned by the component that holds them and stream as its
// children.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcCmd.h"
#include "reportview/OvcData.h"
#include "reportview/OvcTimer.h"

class TCustomForm;
class TForm;
class TOvcCollection;
class TOvcCollectionStreamer;
class TOvcController;
class TOvcAttachedLabel;

// --- what the controller needs of an entry field; the entry fields of the
// library implement it ---
class IOvcEntryField {
public:
    virtual ~IOvcEntryField() = default;
    // The field's control: whether it is visible and enabled, the window its
    // error report goes to and the control that takes the focus back.
    virtual TWinControl* EntryControl() = 0;
    // 0 when the contents are valid, else the error code (the field keeps it as LastError).
    virtual uint16_t ValidateContents() = 0;
    virtual uint16_t LastError() const = 0;
    virtual void SetUninitialized(bool Value) = 0;
};

// --- the collection streamer of a component: the collections it holds,
// whose items it hands out as its children ---
class TOvcCollectionStreamer {
public:
    explicit TOvcCollectionStreamer(TComponent* Owner) : FOwner(Owner) {}
    TComponent* Owner() const { return FOwner; }
    // The first collection whose item class Item belongs to; "No collection
    // found for this type" when none.
    TOvcCollection* CollectionFromType(const TComponent* Item) const;
    void GetChildren(const TGetChildProc& Proc) const;
    void Loaded();
    void Clear();

private:
    friend class TOvcCollection;
    std::vector<TOvcCollection*> FCollections;
    TComponent* FOwner;
};

// The part every holder of collections shares (the base component and the
// base controls).
class TOvcStreamerHolder {
public:
    TOvcCollectionStreamer* CollectionStreamer() const { return FStreamer.get(); }
    // Item names of a holder of collections come from form data only.
    bool SuppressItemNames = false;

protected:
    friend class TOvcCollection;
    std::unique_ptr<TOvcCollectionStreamer> FStreamer;
};

class TOvcComponent : public TComponent, public TOvcStreamerHolder {
    ZELMOR_CLASS(TOvcComponent, TComponent)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcComponent(TComponent* AOwner);
    ~TOvcComponent() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}
    // With collections: only their items, owned by this component.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override;

protected:
    void Loaded() override;
};

class TOvcGraphicControl : public TGraphicControl, public TOvcStreamerHolder {
    ZELMOR_CLASS(TOvcGraphicControl, TGraphicControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcGraphicControl(TComponent* AOwner);
    ~TOvcGraphicControl() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override;

protected:
    void Loaded() override;
};

// --- the attached label ---

// Where a control's label stands: OffsetX from the control's left edge to
// the label's, OffsetY from the control's top edge to the label's bottom.
class TOvcLabelInfo : public TPersistent {
    ZELMOR_CLASS(TOvcLabelInfo, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    void SetOffsets(int X, int Y);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TOvcAttachedLabel* ALabel = nullptr;  // not owned: the label belongs to the form

    TNotifyEvent OnChange;
    TEvent<void(TObject* Sender, bool Value)> OnAttach;

private:
    friend class TOvcLabelled;
    bool IsVisible() const { return FVisible; }
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FVisible = false;
};

class TOvcAttachedLabel : public TLabel {
    ZELMOR_CLASS(TOvcAttachedLabel, TLabel)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcAttachedLabel(TComponent* AOwner);
    TOvcAttachedLabel(TComponent* AOwner, TWinControl* AControl);
    TWinControl* Control() const { return FControl; }
    void SetControl(TWinControl* Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Moving the label by hand records its new offsets in its control.
    void SavePosition();
    TWinControl* FControl = nullptr;
};

// What the library's base control and its combo box share: the attached
// label, and the events that run once a change of the focus is complete.
class TOvcLabelled {
public:
    explicit TOvcLabelled(TWinControl* Control);
    virtual ~TOvcLabelled();
    TOvcLabelInfo* LabelInfo() const { return FLabelInfo.get(); }
    void SetLabelInfo(TOvcLabelInfo* Value);
    // "Label not attached" when the control has none.
    TOvcAttachedLabel* GetAttachedLabel() const;
    void PositionLabel();

    // Posted after the focus change is complete.
    TNotifyEvent AfterEnter;
    TNotifyEvent AfterExit;

protected:
    // The form the label is created on.
    virtual TCustomForm* LabelForm() const;
    // Whether the new label keeps sizing itself to its caption.
    virtual bool LabelAutoSize() const { return true; }
    void LabelAttach(TObject* Sender, bool Value);
    void LabelChange(TObject* Sender);
    // The label's offsets as it stands now.
    bool CurrentOffsets(int& X, int& Y) const;
    // Handles the label and after-enter/exit messages; true when Message was one.
    bool LibraryMessage(TMessage& Message);
    void LabelVisibility();
    void LabelGone(TComponent* AComponent);
    void DropLabel();

private:
    bool Loading() const;
    TWinControl* FControl;
    std::unique_ptr<TOvcLabelInfo> FLabelInfo;
};

// The mouse wheel as the library's controls report it: the rotation and the
// screen point, each as a 16-bit word.
using TOvcMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos)>;

class TOvcCustomControl : public TCustomControl, public TOvcStreamerHolder, public TOvcLabelled {
    ZELMOR_CLASS(TOvcCustomControl, TCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcCustomControl(TComponent* AOwner);
    ~TOvcCustomControl() override;
    void BeforeDestruction() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}

    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override;

    // The library's wheel event: it stands in for the platform's on these controls.
    TOvcMouseWheelEvent OnMouseWheel;

protected:
    virtual void DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMMouseWheel(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
};

class TOvcCustomControlEx : public TOvcCustomControl {
    ZELMOR_CLASS(TOvcCustomControlEx, TOvcCustomControl)
public:
    explicit TOvcCustomControlEx(TComponent* AOwner) : TOvcCustomControl(AOwner) {}
    TOvcController* Controller() const { return FController; }
    virtual void SetController(TOvcController* Value);
    bool ControllerAssigned() const { return FController != nullptr; }

protected:
    // Before the window: the streamed controller, or the first one of the
    // parent form once the form is read (ENoControllerAssigned when there is
    // none); a window made while the form is read keeps what it has.
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TOvcController* FController = nullptr;
};

// --- the controller ---

using TDelayNotifyEvent = TEvent<void(TObject* Sender, uint16_t NotifyCode)>;
using TDataErrorEvent = TEvent<void(TObject* Sender, uint16_t ErrorCode, const AnsiString& ErrorMsg)>;
using TGetEpochEvent = TEvent<void(TObject* Sender, int32_t& Epoch)>;
using TIsSpecialControlEvent = TEvent<void(TObject* Sender, TWinControl* Control, bool& Special)>;
using TPostEditEvent = TEvent<void(TObject* Sender, TWinControl* GainingControl)>;
using TPreEditEvent = TEvent<void(TObject* Sender, TWinControl* LosingControl)>;

class TOvcController : public TOvcComponent {
    ZELMOR_CLASS(TOvcController, TOvcComponent)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcController(TComponent* AOwner);
    ~TOvcController() override;

    TOvcBaseEFOptions EntryOptions() const { return FEntryOptions; }
    void SetEntryOptions(TOvcBaseEFOptions Value) { FEntryOptions = Value; }
    TOvcCommandProcessor* EntryCommands() const { return FEntryCommands.get(); }
    void SetEntryCommands(TOvcCommandProcessor* Value);
    TOvcTimerPool* TimerPool() const { return FTimerPool; }
    // The first year of the hundred in which two-digit years are placed,
    // as OnGetEpoch may change it. Set: only 1600 to 3999 is taken.
    int32_t Epoch() const;
    void SetEpoch(int32_t Value);
    int32_t StoredEpoch() const { return FEpoch; }

    // Shared state of the form's entry fields.
    bool ErrorPending = false;
    AnsiString ErrorText;
    bool InsertMode = true;

    // The hidden window the notifications are posted to (made on first use).
    HWND Handle();

    // Fires OnError; without a handler shows ErrorMsg in an error box.
    void DoOnError(TObject* Sender, uint16_t ErrorCode, const AnsiString& ErrorMsg);
    // Posted: the events fire after the current message, with the control
    // found again from its window (null when it is gone); a notification
    // whose sender is freed before it runs is dropped.
    void DoOnPreEdit(TObject* Sender, TWinControl* LosingControl);
    void DoOnPostEdit(TObject* Sender, TWinControl* GainingControl);
    void DelayNotify(TObject* Sender, uint16_t NotifyCode);
    void DoOnTimerTrigger(TObject* Sender, int32_t Handle, uint32_t Interval, int32_t ElapsedTime);
    // Posted: shows the entry field Sender and gives it the focus, after the current message.
    void RequestFocus(TObject* Sender);
    // Asked when the focus leaves an entry field for the control of that window.
    virtual bool IsSpecialButton(HWND Wnd);

    // The entry fields of the form (the controller's owner, a form) and,
    // in depth, of the components they own.
    void MarkAsUninitialized(bool Value);
    TComponent* ValidateEntryFields() { return ValidateEntryFieldsEx(true, true); }
    // The first field that fails; reports its error and takes the focus back
    // to it (unless an error is pending) when asked; without either it goes
    // on through all the fields. Hidden or disabled fields are skipped with
    // what they own.
    TComponent* ValidateEntryFieldsEx(bool ReportError, bool ChangeFocus);
    // The first of Fields that fails, reported and focused.
    TComponent* ValidateTheseEntryFields(std::span<TComponent* const> Fields);

    TDelayNotifyEvent OnDelayNotify;
    TDataErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TIsSpecialControlEvent OnIsSpecialControl;
    TPostEditEvent OnPostEdit;
    TPreEditEvent OnPreEdit;
    TTriggerEvent OnTimerTrigger;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    LRESULT WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    bool OwnerIsForm() const;
    // A posted notification carries a ticket for its sender, not the pointer.
    LPARAM Ticket(TObject* Sender);
    TObject* Redeem(LPARAM Ticket, bool& Known);
    void ReportAndRefocus(TComponent* Field, IOvcEntryField* Entry, bool ReportError, bool ChangeFocus);

    TOvcBaseEFOptions FEntryOptions{efoAutoSelect, efoBeepOnError, efoInsertPushes};
    std::unique_ptr<TOvcCommandProcessor> FEntryCommands;
    int32_t FEpoch;
    HWND FHandle = nullptr;
    TOvcTimerPool* FTimerPool;
    std::map<LPARAM, TObject*> FPending;
    LPARAM FLastTicket = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// --- the library's collections ---

// A typed list of items that are components owned by the collection's owner
// (a TOvcComponent or a TOvcCustomControl), streamed as the owner's children.
class TOvcCollection : public TPersistent {
    ZELMOR_CLASS(TOvcCollection, TPersistent)
public:
    // "Owner must be a TOvcComponent or TOvcCustomComponent descendant" otherwise.
    TOvcCollection(TComponent* AOwner, const TClassInfo* ItemClass);
    ~TOvcCollection() override;

    const TClassInfo* ItemClass() const { return FItemClass; }
    TComponent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TComponent* Item(int Index) const;
    void SetItem(int Index, TComponent* Value);  // assigns Value to the item there
    int IndexOf(const TComponent* Item) const;
    // An item of the item class ("Item class not set" without one).
    TComponent* Add();
    // An index below 0 or past the end inserts at the end.
    TComponent* Insert(int Index);
    void Delete(int Index);
    // Frees the items, last first, but those inherited from an ancestor form.
    virtual void Clear();
    // The first item of exactly that name (letter case counts), or null.
    TComponent* ItemByName(std::string_view Name) const;
    AnsiString GetEditorCaption() const;
    void DoOnItemSelected(int Index);
    // The first form up the owner chain from the collection's owner.
    TForm* ParentForm() const;
    void Loaded();
    virtual void Changed();

    bool ItemsStored = true;
    TNotifyEvent OnChanged;
    TEvent<void(TObject* Sender, int Index)> OnItemSelected;
    TEvent<void(AnsiString& Caption)> OnGetEditorCaption;

private:
    friend class TOvcCollectibleState;
    const TClassInfo* FItemClass;
    std::vector<TComponent*> FItems;
    TComponent* FOwner;
    TOvcCollectionStreamer* FStreamer;
    bool FLoading = false;
    bool FLoaded = false;
    bool FInChanged = false;
};

// The part of a collection item that its two kinds share.
class TOvcCollectibleState {
public:
    TOvcCollection* Collection() const { return FCollection; }
    // Leaves the old collection; "Item incompatible with collection" when the
    // item is not of Value's item class (it then stays out of any list).
    void SetCollection(TOvcCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    // The base name followed by the first number that no component of the
    // parent form (in depth) bears, without regard to case.
    AnsiString GenerateName() const;

protected:
    explicit TOvcCollectibleState(TComponent* Self) : FSelf(Self) {}
    ~TOvcCollectibleState() = default;
    // Joins the first collection of the owner that takes the item's class.
    void JoinOwnerCollection();
    void LeaveCollection();
    virtual AnsiString BaseName() const = 0;
    virtual void ItemChanged() = 0;
    void CollectionChanged();
    // A renamed item tells its collection, unless the form reader names it.
    void NameChanged();
    bool ItemLoading() const;

private:
    TComponent* FSelf;
    TOvcCollection* FCollection = nullptr;
    bool FInChanged = false;
};

class TOvcCollectible : public TOvcComponent, public TOvcCollectibleState {
    ZELMOR_CLASS(TOvcCollectible, TOvcComponent)
public:
    explicit TOvcCollectible(TComponent* AOwner);
    ~TOvcCollectible() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void SetName(const AnsiString& NewName) override;
    virtual AnsiString GetDisplayText() const { return ClassName(); }
    virtual void Changed() { CollectionChanged(); }

protected:
    AnsiString BaseName() const override { return GetBaseName(); }
    virtual AnsiString GetBaseName() const { return "CollectionItem"; }
    void ItemChanged() override { Changed(); }
};

class TOvcCollectibleControl : public TOvcCustomControl, public TOvcCollectibleState {
    ZELMOR_CLASS(TOvcCollectibleControl, TOvcCustomControl)
public:
    explicit TOvcCollectibleControl(TComponent* AOwner);
    ~TOvcCollectibleControl() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void SetName(const AnsiString& NewName) override;
    virtual AnsiString GetDisplayText() const { return ClassName(); }
    virtual void Changed() { CollectionChanged(); }

protected:
    AnsiString BaseName() const override { return GetBaseName(); }
    virtual AnsiString GetBaseName() const { return "CollectionItem"; }
    void ItemChanged() override { Changed(); }
};

// --- free routines ---
// The first form up the parent chain from Control's parent (Control itself is not tested).
TCustomForm* GetImmediateParentForm(const TControl* Control);
// The first controller Form owns, in its component order; null when none or Form is null.
TOvcController* FindController(TComponent* Form);
// What a control with a controller does before its window: keeps the
// controller it has; else, once its form is read, takes the first one of its
// parent form, or raises ENoControllerAssigned when there is none (a window
// made while the form is read takes none and raises nothing).
void LookUpController(TControl* Control, TOvcController*& Controller);
// Controller unless set: the form's first controller, or a new one named
// "OvcController1" (freed again, and the error passed on, when that name is taken).
void ResolveController(TComponent* Form, TOvcController*& Controller);
