#pragma once
// Menu items, popup menus and a form's main menu.
//
// A popup menu holds a tree of items (each a component, so forms stream
// them); Popup shows it at a screen point as a window of its own and runs
// until the user picks an item or leaves: the keys go to the menu meanwhile
// (arrows, Return, Escape, the underlined letters), and a click outside
// closes it. The chosen item's OnClick runs once the menu is gone, from the
// message loop. An item's ShortCut works while a control that names the menu
// in its PopupMenu (or one of that control's parents) has the focus, and
// while any control of a form whose Menu is the main menu has it.
//
// A main menu shows as a bar of its top items between the form's caption and
// its client area. A click on a top item, or Alt with its underlined letter
// (F10 for the first), drops its items down as a popup menu does; Left and
// Right move to the next top item's, and a top item without items is chosen
// at once. A menu whose OwnerDraw is set lets items with OnMeasureItem and
// OnDrawItem measure and draw themselves; Images gives items their ImageIndex
// picture beside the caption.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/ui/Controls.h"

// A key with its modifiers in one word: the key in the low byte, Shift,
// Ctrl and Alt in the high bits (the way menus keep their short cuts).
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+S", "Ins", "Shift+F4" ... as menus show them; TextToShortCut reads
// them back (any case), giving scNone for a text that names no key.
AnsiString ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(std::string_view Text);

class TMenu;
class TCanvas;
class TCustomImageList;
class TCustomForm;

using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;

// Where an item starts a new column of its menu (kept with the item; the
// menus here show one column).
enum TMenuBreak : uint8_t { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
    ZELMOR_CLASS(TMenuItem, TComponent)
    friend class TMenu;

public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    static void DescribeProperties(TPropertyTable& T);

    // "-" makes a separator line; "&" marks the letter that chooses the item.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    // A checked radio item unchecks the radio items of its group among its siblings.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The picture of the menu's Images beside the caption; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Shown in bold: the item a double click would choose.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; }
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value) { FBreak = Value; }
    // A number that names the item in the WM_COMMAND that chooses it.
    WORD Command() const { return FCommand; }

    // --- the tree ---
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out (it is not freed).
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    // Frees every child.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The child whose caption, without its "&", is Caption (any case).
    TMenuItem* Find(std::string_view Caption) const;

    // The menu the item belongs to, at any depth; null for a loose item.
    TMenu* GetParentMenu() const;

    // Fires OnClick when the item is enabled.
    virtual void Click();
    TNotifyEvent OnClick;
    // Asked when the menu is OwnerDraw: the size the item takes (Width and
    // Height come with the size it would take drawn as text).
    TMenuMeasureItemEvent OnMeasureItem;
    // Draws the item when the menu is OwnerDraw; ARect is its whole row.
    TMenuDrawItemEvent OnDrawItem;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // for the root item of a menu
    std::vector<TMenuItem*> FItems;
    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    AnsiString FHint;
    int FHelpContext = 0;
    TMenuBreak FBreak = mbNone;
    WORD FCommand = 0;
    int FImageIndex = -1;
    void MenuChanged();
};

enum TFindItemKind : uint8_t { fkCommand, fkShortCut };

class TMenu : public TComponent {
    ZELMOR_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The root item: its children are the menu's items.
    TMenuItem* Items() const { return FItems; }
    // The visible item (at any depth) with that command or short cut.
    TMenuItem* FindItem(int Value, TFindItemKind Kind) const;
    // A key message (WM_KEYDOWN or WM_SYSKEYDOWN) that is an item's short
    // cut clicks the item when it is enabled; answers whether it was one.
    bool IsShortCut(TMessage& Message);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    // An item's caption, visibility, state or picture changed.
    virtual void ItemChanged() {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };
ZELMOR_DECLARE_ENUM(TPopupAlignment);

class TPopupMenu : public TMenu {
    ZELMOR_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);
    // Shows the menu with its top-left corner (its top-right, its top centre)
    // at the screen point and returns when it has closed.
    virtual void Popup(int X, int Y);
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // The control the menu was last popped up for (by a right click).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    TPoint PopupPoint() const { return FPopupPoint; }
    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
};

// The menu of a form (TCustomForm::Menu), shown as the bar over its client area.
class TMainMenu : public TMenu {
    ZELMOR_CLASS(TMainMenu, TMenu)
    friend class TCustomForm;

public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    static void DescribeProperties(TPropertyTable& T);
    // The form whose bar the menu is, or null.
    TCustomForm* Form() const { return FForm; }
    static int BarHeight();
    // The visible top items with their places on the bar (window coordinates
    // of the form, given the bar's rectangle).
    std::vector<std::pair<TMenuItem*, TRect>> BarItems(const TRect& Bar) const;
    // The top item dropped down (its index among the visible ones), -1 for none.
    int DroppedIndex() const { return FDropped; }
    // Drops the Index-th visible top item down and runs the menu until the
    // user chooses or leaves; ByKey starts with its first item lit.
    void DropDown(int Index, bool ByKey);
    // Alt with a top item's underlined letter drops it down; F10 the first.
    bool IsBarKey(TMessage& Message);
    void ItemChanged() override;
    void PaintBar(TCanvas* Canvas, const TRect& Bar) const;

private:
    TCustomForm* FForm = nullptr;
    int FDropped = -1;
};

// The menus a key may belong to: the popup menus of the control and of its
// parents, then the main menu of its form. Clicks the item and answers true
// when the key is a short cut.
bool IsMenuKey(TWinControl* Control, TMessage& Message);
// Alt with a letter or F10 for the main menu of the control's form: drops a
// top item down and answers true.
bool IsMenuBarKey(TWinControl* Control, TMessage& Message);

void RegisterMenuClasses();
