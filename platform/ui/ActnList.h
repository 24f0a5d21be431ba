#pragma once
// Actions: a command held apart from the controls that start it. A control
// names its action in Action; a link between the two keeps the control's
// caption, enabled state, hint and visibility in step with the action's and
// runs the action when the control is clicked. An action that has no
// OnExecute (OnUpdate) of its own offers itself to the focused control and
// its parents (ExecuteAction, UpdateAction), which serve the actions they
// know, as a data-aware control serves those of its data source.
//
// An action list holds actions (a form file writes them inside it) and the
// image list their ImageIndex points into.
#include <vector>

#include "platform/ui/Controls.h"

class TBasicActionLink;
class TCustomActionList;
class TCustomImageList;

class TBasicAction : public TComponent {
    ZELMOR_CLASS(TBasicAction, TComponent)
    friend class TBasicActionLink;

public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    static void DescribeProperties(TPropertyTable& T);

    // Whether the action can act on Target, and the acting; descendants that
    // serve controls or data sources override them.
    virtual bool HandlesTarget(TObject* Target);
    virtual void ExecuteTarget(TObject* Target);
    virtual void UpdateTarget(TObject* Target);
    // Fires OnExecute (OnUpdate); true when there is one.
    virtual bool Execute();
    virtual bool Update();
    // The control that started the last execution, when a control did.
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value) { FActionComponent = Value; }
    int ClientCount() const { return static_cast<int>(FClients.size()); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every linked client that a property changed.
    void Change();
    const std::vector<TBasicActionLink*>& Clients() const { return FClients; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    std::vector<TBasicActionLink*> FClients;
    TComponent* FActionComponent = nullptr;
};

// A client's end of the join with its action. The link hears of every change
// of the action (OnChange) and passes the properties it links to its client.
class TBasicActionLink : public TObject {
    ZELMOR_CLASS(TBasicActionLink, TObject)
    friend class TBasicAction;

public:
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action on behalf of Component (the control clicked).
    virtual bool Execute(TComponent* Component = nullptr);
    virtual bool Update();

    // Which of the action's properties reach the client; every one by default.
    // (A link of an action that is no TCustomAction links none of them.)
    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsVisibleLinked();
    // The action's properties as they change; a client's link passes on those it shows.
    virtual void SetCaption(const AnsiString&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const AnsiString&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetVisible(bool) {}

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    TBasicAction* FAction = nullptr;
};

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
    ZELMOR_CLASS(TContainedAction, TBasicAction)
    friend class TCustomActionList;

public:
    explicit TContainedAction(TComponent* AOwner);
    ~TContainedAction() override;
    static void DescribeProperties(TPropertyTable& T);

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    int Index() const;
    const AnsiString& Category() const { return FCategory; }
    void SetCategory(const AnsiString& Value) { FCategory = Value; }

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    TCustomActionList* FActionList = nullptr;
    AnsiString FCategory;
};

// The action the controls show: its caption, check mark, enabled state,
// hint, image and visibility pass to every control linked to it.
class TCustomAction : public TContainedAction {
    ZELMOR_CLASS(TCustomAction, TContainedAction)
public:
    explicit TCustomAction(TComponent* AOwner);

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    // The picture in the action list's Images; -1: none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // A disabled action does not run. Without OnExecute the action goes to
    // the focused control and its parents (ExecuteAction).
    bool Execute() override;
    // Without OnUpdate the same controls are asked (UpdateAction).
    bool Update() override;

private:
    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FHelpContext = 0;
    AnsiString FHint;
    int FImageIndex = -1;
    bool FVisible = true;
};

class TAction : public TCustomAction {
    ZELMOR_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

class TCustomActionList : public TComponent {
    ZELMOR_CLASS(TCustomActionList, TComponent)
    friend class TContainedAction;

public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const { return FActions.at(static_cast<size_t>(Index)); }
    int IndexOfAction(const TContainedAction* Action) const;
    // Where the actions' ImageIndex points; not owned.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
    ZELMOR_CLASS(TActionList, TCustomActionList)
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
    static void DescribeProperties(TPropertyTable& T);
};

// A control's link: the caption, enabled state, hint and visibility of its
// action become the control's, and a click runs the action.
class TControlActionLink : public TBasicActionLink {
    ZELMOR_CLASS(TControlActionLink, TBasicActionLink)
public:
    explicit TControlActionLink(TControl* Client) : FClient(Client) {}
    TControl* Client() const { return FClient; }

    void SetCaption(const AnsiString& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const AnsiString& Value) override;
    void SetVisible(bool Value) override;

private:
    TControl* FClient;
};

// Lets form files create action lists and actions by class name.
void RegisterActionClasses();
