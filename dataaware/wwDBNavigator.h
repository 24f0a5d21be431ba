#pragma once
// The data-set navigator: a panel of buttons (TwwNavButton, each a component
// of its own with a style that says what it does) that moves through and
// edits the data set of a data source, keeps one bookmark per data set, and
// opens the library's dialogs on that data set (filter, record view, locate,
// search), which it finds among their container's components or makes by
// class name. Buttons can be added, hidden, reordered, wrapped onto several
// lines and given their own hints and pictures; by default they take theirs
// from one glyph list shared by the process (18 by 18, enabled and disabled
// picture of each style). The buttons that move repeat while held, on a
// timer of their own (RepeatInterval: 500 ms, then every 100 ms).
//
// A bookmark that cannot be restored clears that data set's bookmarks
// without a word. A Dialog whose class names no dialog style is kept and
// leaves the button's Style as it was. A button asked for its list without
// a parent raises EInvalidOperation "Parent propety of TwwNavButton not
// defined" (the system's own text) instead of faulting.
#include <memory>
#include <vector>

#include "dataaware/wwSpeedButton.h"
#include "dataaware/wwclearpanel.h"
#include "platform/classes/Properties.h"
#include "platform/db/DataSource.h"

class TCustomImageList;
class TDataSet;
class TTimer;
class TwwCustomDialog;
class TwwDBNavigator;
class TwwNavButtons;

enum TwwNavButtonStyle {
    nbsFirst,
    nbsPrior,
    nbsNext,
    nbsLast,
    nbsInsert,
    nbsDelete,
    nbsEdit,
    nbsPost,
    nbsCancel,
    nbsRefresh,
    nbsPriorPage,
    nbsNextPage,
    nbsSaveBookmark,
    nbsRestoreBookmark,
    nbsFilterDialog,
    nbsRecordViewDialog,
    nbsLocateDialog,
    nbsSearchDialog,
    nbsCustom
};
ZELMOR_DECLARE_ENUM(TwwNavButtonStyle);
using TwwNavButtonNavStylesEx = TSet<TwwNavButtonStyle>;
enum TwwNavOption { noConfirmDelete, noUseInternationalText };
ZELMOR_DECLARE_ENUM(TwwNavOption);
using TwwNavOptions = TSet<TwwNavOption>;
enum TwwNavAutoSizeStyle { asSizeNavigator, asSizeNavButtons, asNone };
ZELMOR_DECLARE_ENUM(TwwNavAutoSizeStyle);
enum TwwNavLayout { nlHorizontal, nlVertical };
ZELMOR_DECLARE_ENUM(TwwNavLayout);
enum TwwUpdateCause { ucDataChange, ucEditingChange, ucActiveChange, ucAll };

// The first fourteen styles move and edit; the next four open dialogs; these repeat while held.
extern const TwwNavButtonNavStylesEx wwNavigationStyles;
extern const TwwNavButtonNavStylesEx wwDialogStyles;
extern const TwwNavButtonNavStylesEx wwRepeatingStyles;

// The style's name less "nbs" ("First", "RecordViewDialog").
AnsiString NavStyleName(TwwNavButtonStyle Style);
// "TwwLocateDialog" gives nbsLocateDialog; false when the name maps to no dialog style.
bool StyleFromDialogClassName(std::string_view ClassName, TwwNavButtonStyle& Style);
// The registered class of a dialog style ("Tww" + style name), or null.
const TClassInfo* DialogClassFromStyle(TwwNavButtonStyle Style);
// A search dialog takes the data set as its SearchTable, any other dialog
// the data source as its DataSource, when its class publishes that property.
void AssignDialogDataSource(TwwCustomDialog* Dialog, TDataSource* DataSource);

// The process's glyph list: style n's enabled picture at 2n, its disabled one at 2n + 1.
TCustomImageList* NavigatorGlyphs();

using TwwCustomDialogEvent = TEvent<void(TwwCustomDialog* Dialog)>;
using TwwUpdateStateEvent =
    TEvent<void(TwwDBNavigator* Navigator, class TwwNavButton* Button, TwwUpdateCause Cause)>;

class TwwNavRepeatInterval : public TPersistent {
    ZELMOR_CLASS(TwwNavRepeatInterval, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    int Interval() const { return FInterval; }
    void SetInterval(int Value) { FInterval = Value; }

private:
    int FInitialDelay = 500;
    int FInterval = 100;
};

class TwwNavButton : public TwwSpeedButton {
    ZELMOR_CLASS(TwwNavButton, TwwSpeedButton)
    friend class TwwNavButtons;
    friend class TwwDBNavigator;

public:
    explicit TwwNavButton(TComponent* AOwner);
    ~TwwNavButton() override;
    static void DescribeProperties(TPropertyTable& T);

    // -1 while the button shows the shared glyph list's picture of its style.
    int GetImageIndex() const override;
    // -1 goes back to the style's shared picture; any other index is one of the navigator's ImageList.
    void SetImageIndex(int Value) override;
    TwwCustomDialog* Dialog() const { return FDialog; }
    // Sets Style to the dialog's style; a class that names none keeps the old Style.
    virtual void SetDialog(TwwCustomDialog* Value);
    // Position among the navigator's buttons; raises when the button is not among them.
    virtual int GetIndex() const;
    virtual void SetIndex(int Value);
    bool LineBreak() const { return FLineBreak; }
    virtual void SetLineBreak(bool Value);
    TwwNavButtonStyle Style() const { return FStyle; }
    virtual void SetStyle(TwwNavButtonStyle Value);
    bool Visible() const { return TControl::Visible(); }

    // The list the button belongs to: the one that made it, else its navigator's.
    // Raises EInvalidOperation "Parent propety of TwwNavButton not defined" when it has neither.
    virtual TwwNavButtons* GetButtons() const;
    virtual TwwDBNavigator* GetNavigator() const;
    virtual AnsiString GetDefaultHint();
    virtual void UpdateState(TwwUpdateCause Cause);
    // The button's dialog for the data set, found or made (null for other styles).
    TwwCustomDialog* GetDialog(TDataSet* DataSet);
    bool Repeating() const { return FRepeatTimer != nullptr; }
    void Click() override;

    TwwCustomDialogEvent OnAfterCreateDialog;
    TNotifyEvent OnRowChanged;
    TwwUpdateStateEvent OnUpdateState;

protected:
    virtual void StopRepeatTimer();
    virtual void StartRepeatTimer(int Delay);
    virtual void RepeatTimerTick(TObject* Sender);
    virtual void AssignDefaultName();
    virtual void AssignDefaultGlyph();
    virtual bool FitsInNavigator() const;
    virtual void InvalidateTransparent();
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

public:
    void SetParent(TWinControl* AParent) override;

private:
    void RunAction();
    TwwNavButtons* FButtons = nullptr;
    TwwCustomDialog* FDialog = nullptr;
    bool FLineBreak = false;
    TwwNavButtonStyle FStyle = nbsFirst;
    bool FUsesSharedGlyphs = false;
    TTimer* FRepeatTimer = nullptr;
};

class TwwNavButtons : public TPersistent {
    ZELMOR_CLASS(TwwNavButtons, TPersistent)
    friend class TwwDBNavigator;

public:
    explicit TwwNavButtons(TwwDBNavigator* Navigator) : FNavigator(Navigator) {}

    virtual void ButtonAdded(TwwNavButton*) {}
    virtual void ButtonRemoved(TwwNavButton*) {}
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate() { --FUpdateCount; }
    int UpdateCount() const { return FUpdateCount; }
    virtual TwwNavButton* BottomMostButton();
    virtual TwwNavButton* ButtonAtPoint(TwwNavButton* Button, int X, int Y);
    virtual bool IsHiddenButton(TwwNavButton* Button);
    virtual TwwNavButton* RightMostButton();
    virtual void ShowButton(TwwNavButtonStyle Style);
    virtual void HideButtons(TwwNavButtonStyle Style);
    virtual int GetCount() const;
    int Count() const { return GetCount(); }
    // Raises EInvalidOperation "Index of Buttons[] out of range".
    virtual TwwNavButton* GetItem(int Index) const;
    TwwNavButton* operator[](int Index) const { return GetItem(Index); }
    virtual TwwDBNavigator* GetNavigator() const { return FNavigator; }
    // Raises EInvalidOperation "Index of VisibleButtons[] out of range".
    virtual TwwNavButton* GetVisibleItem(int Index) const;
    virtual int GetVisibleCount() const;
    virtual TwwNavButton* Add(TwwNavButtonStyle Style, TwwCustomDialog* Dialog = nullptr);
    virtual void AddDialogButtons();
    virtual void Clear();
    virtual void AddDefaultButtons();
    virtual void Relayout();
    virtual void Arrange();
    virtual void UpdateState(TwwUpdateCause Cause);
    // The buttons that take room: at run time the visible ones, at design time all.
    std::vector<TwwNavButton*> Shown() const;

private:
    TwwDBNavigator* FNavigator;
    int FUpdateCount = 0;
};

class TwwNavDataLink : public TDataLink {
    ZELMOR_CLASS(TwwNavDataLink, TDataLink)
public:
    explicit TwwNavDataLink(TwwDBNavigator* Navigator) : FNavigator(Navigator) {}
    ~TwwNavDataLink() override { FNavigator = nullptr; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void EditingChanged() override;

private:
    TwwDBNavigator* FNavigator;
};

class TwwDBNavigator : public TwwCustomTransparentPanel {
    ZELMOR_CLASS(TwwDBNavigator, TwwCustomTransparentPanel)
    friend class TwwNavButton;
    friend class TwwNavButtons;
    friend class TwwNavDataLink;

public:
    explicit TwwDBNavigator(TComponent* AOwner);
    ~TwwDBNavigator() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwNavButtons* Buttons() const { return FButtons.get(); }
    TwwNavAutoSizeStyle AutosizeStyle() const { return FAutosizeStyle; }
    virtual void SetAutosizeStyle(TwwNavAutoSizeStyle Value);
    TDataSource* DataSource() const;
    virtual void SetDataSource(TDataSource* Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value) { FDisableThemes = Value; }
    bool Flat() const { return FFlat; }
    virtual void SetFlat(bool Value);
    TCustomImageList* ImageList() const { return FImageList; }
    virtual void SetImageList(TCustomImageList* Value);
    TwwNavLayout Layout() const { return FLayout; }
    virtual void SetLayout(TwwNavLayout Value);
    int MoveBy() const { return FMoveBy; }
    virtual void SetMoveBy(int Value);
    TwwNavOptions Options() const { return FOptions; }
    virtual void SetOptions(TwwNavOptions Value);
    virtual bool GetShowHint() const { return ShowHint(); }
    virtual void SetNavShowHint(bool Value);
    TwwNavRepeatInterval* RepeatInterval() const { return FRepeatInterval.get(); }
    void SetRepeatInterval(TwwNavRepeatInterval* Value) { FRepeatInterval->Assign(Value); }
    bool TransparentClearsBackground() const { return FTransparentClearsBackground; }
    bool Destroying() const { return FDestroying; }
    void SetTransparentClearsBackground(bool Value) { FTransparentClearsBackground = Value; }

    // The navigation styles that have a button, hidden ones included.
    virtual TwwNavButtonNavStylesEx GetVisibleButtons() const;
    virtual void SetVisibleButtons(TwwNavButtonNavStylesEx Value);
    // 0, 1 or 2: the bevels that are drawn.
    virtual int BevelMargin() const;
    virtual int ButtonsTotalWidth() const;
    // Raises EInvalidOperation when asked and there is no data set.
    virtual TDataSet* GetDataSet(bool RaiseIfNone) const;
    virtual void AutoSizeNavigator();
    virtual void LinkToComponent(TComponent* Component, bool Force);

    // The bookmark saved for the data set (Save: take a new one), empty when none.
    TBookmark SaveBookmark(TDataSet* DataSet, bool Save);
    void ClearBookmarks(TDataSet* DataSet);
    bool HasBookmark(TDataSet* DataSet);

protected:
    virtual void ButtonListChanged(TControl* Control, bool Inserting);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void ActiveChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void CreateWnd() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMControlChange(TMessage& Message) override;
    void CMControlListChange(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

public:
    void SetName(const AnsiString& Value) override;

private:
    struct TBookmarkEntry {
        TDataSet* DataSet;
        TBookmark Bookmark;
    };
    std::unique_ptr<TwwNavButtons> FButtons;
    std::unique_ptr<TwwNavDataLink> FDataLink;
    std::unique_ptr<TwwNavRepeatInterval> FRepeatInterval;
    std::vector<TBookmarkEntry> FBookmarks;
    TwwNavAutoSizeStyle FAutosizeStyle = asSizeNavigator;
    bool FDisableThemes = false;
    bool FFlat = true;
    TCustomImageList* FImageList = nullptr;
    TwwNavLayout FLayout = nlHorizontal;
    int FMoveBy = 10;
    TwwNavOptions FOptions{noConfirmDelete};
    bool FTransparentClearsBackground = false;
    bool FPainting = false;
    bool FFirstPaintDone = false;
    bool FDestroying = false;
};

// Registers the navigator's classes and the dialog classes by name and builds the glyph list.
void StartNavigatorUnit();
void FinishNavigatorUnit();
