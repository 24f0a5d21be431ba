#include "dataaware/Wwdbcomb.h"

#include <algorithm>

#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_CLASS(TwwComboStringList, TStringList)
ZELMOR_IMPLEMENT_CLASS(TwwPopupListbox, TCustomListBox)
ZELMOR_IMPLEMENT_CLASS(TwwDBCustomComboBox, TwwDBCustomCombo)
ZELMOR_IMPLEMENT_COMPONENT(TwwDBComboBox, TwwDBCustomComboBox)

namespace {

// Owner-drawn lists start a new search after this pause between keys.
constexpr uint32_t ListSearchPause = 1500;

// "display<TAB>value<TAB>...": the display part and the value part of an item line.
AnsiString DisplayPart(const AnsiString& Line) { return Line.substr(0, Line.find('\t')); }

AnsiString ValuePart(const AnsiString& Line) {
    const size_t first = Line.find('\t');
    if (first == AnsiString::npos) return {};
    const size_t second = Line.find('\t', first + 1);
    return Line.substr(first + 1, second == AnsiString::npos ? AnsiString::npos : second - first - 1);
}

bool BeginsIgnoringCase(const AnsiString& Text, const AnsiString& Prefix) {
    return Prefix.size() <= Text.size() && EqualsIgnoreCase(Text.substr(0, Prefix.size()), Prefix);
}

}  // namespace

// ---------------------------------------------------------------- items

bool TwwComboStringList::HasListWindow() const {
    return FComboBox && FComboBox->PopupList() && FComboBox->PopupList()->HandleAllocated();
}

void TwwComboStringList::Changed() {
    TStringList::Changed();
    if (FComboBox) FComboBox->FItemsChanged = true;
}

// ---------------------------------------------------------------- list

TwwPopupListbox::TwwPopupListbox(TComponent* AOwner) : TCustomListBox(AOwner) {}

TwwDBCustomComboBox* TwwPopupListbox::Combo() const { return dynamic_cast<TwwDBCustomComboBox*>(Owner()); }

void TwwPopupListbox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    // A top-level window owned by the combo: its notifications still reach
    // the combo, and it never takes the focus from the edit.
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WindowClass.Style |= CS_SAVEBITS;
}

void TwwPopupListbox::CreateWnd() {
    TCustomListBox::CreateWnd();
    // The list draws its selection in the focused colours while the focus stays in the edit.
    CallWindowProc(DefWndProc(), Handle(), WM_SETFOCUS, 0, 0);
}

void TwwPopupListbox::WndProc(TMessage& Message) {
    // A click in the list must leave the focus, and the active window, with the edit.
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomListBox::WndProc(Message);
}

void TwwPopupListbox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TwwDBCustomComboBox* combo = Combo();
    if (!combo) {
        TCustomListBox::DrawItem(Index, Rect, State);
        return;
    }
    bool drawn = true;
    TCanvas* canvas = Canvas();
    if (Assigned(combo->OnDrawItem) && combo->IsOwnerDraw()) {
        if (!State.Contains(odSelected)) {
            canvas->Brush()->SetColor(Color());
            canvas->Font()->SetColor(Font()->Color());
            canvas->TextRect(Rect, Rect.Left, Rect.Top, "");
        }
        try {
            combo->OnDrawItem(combo, Index, Rect, State);
        } catch (...) {
            drawn = false;
        }
    }
    const int w1 = combo->Column1Width() != 0 ? combo->Column1Width() : Width() / 2;
    if (combo->TwoColumnDisplay() && drawn && Index >= 0 && Index < Items()->Count()) {
        const AnsiString item = Items()->Strings(Index);
        canvas->FillRect(Rect);
        TRect first = Rect;
        first.Right = std::min(Rect.Right, Rect.Left + w1);
        canvas->TextRect(first, first.Left + 1, first.Top + 1, item);
        TRect second = Rect;
        second.Left = first.Right;
        canvas->TextRect(second, second.Left + 1, second.Top + 1,
                         combo->MapList() ? combo->DisplayToValue(item) : combo->ValueToDisplay(item));
        drawn = false;
    }
    if (drawn && !Assigned(combo->OnDrawItem)) TCustomListBox::DrawItem(Index, Rect, State);
    const int mru = combo->MRUCount();
    if (mru > 0 && (Index == mru - 1 || Index == mru)) {
        canvas->Pen()->SetColor(clBtnShadow);
        const int y = Index == mru - 1 ? Rect.Bottom - 1 : Rect.Top + 1;
        canvas->MoveTo(0, y);
        canvas->LineTo(Width(), y);
    }
}

void TwwPopupListbox::WMKeyDown(TMessage& Message) {
    TwwDBCustomComboBox* combo = Combo();
    const WORD key = Message.CharCode();
    const bool moving = key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
    if (combo && moving) combo->FListKeyMoving = true;
    TwwFinally done([combo, moving] {
        if (combo && moving) combo->FListKeyMoving = false;
    });
    TCustomListBox::WMKeyDown(Message);
}

void TwwPopupListbox::CNCommand(TMessage& Message) {
    TCustomListBox::CNCommand(Message);
    TwwDBCustomComboBox* combo = Combo();
    if (!combo || HiWord(Message.WParam) != LBN_SELCHANGE) return;
    if (ItemIndex() < 0 || !combo->FListShowing || !combo->FListKeyMoving) return;
    if (combo->Field() && !combo->DataLink()->Editing()) return;
    if (combo->IsBound() || !combo->ReadOnly()) combo->SetText(Items()->Strings(ItemIndex()));
    combo->SelectAllIfCaret();
}

void TwwPopupListbox::KeyPress(char& Key) {
    TwwDBCustomComboBox* combo = Combo();
    const unsigned char code = static_cast<unsigned char>(Key);
    if (Key == '\x1B') FSearchText.clear();
    if (!combo || !(Key == '\b' || code >= 32)) {
        TCustomListBox::KeyPress(Key);
        return;
    }
    const bool ownerDraw = combo->IsOwnerDraw();
    if (ownerDraw) {
        const uint32_t now = GetTickCount();
        if (now - FLastKeyTime > ListSearchPause) FSearchText.clear();
        FLastKeyTime = now;
    } else {
        FSearchText = combo->Text();
    }
    const int selStart = combo->SelStart();
    const int selLength = combo->SelLength();
    AnsiString search;
    if (ownerDraw) {
        search = FSearchText + Key;
    } else if (Key == '\b') {
        search = FSearchText;
        const int len = static_cast<int>(search.size());
        const int from = std::min(selStart + 1, len);  // 1-based
        if (from >= 1)
            search.erase(static_cast<size_t>(from - 1), static_cast<size_t>(std::max(selLength, 1)));
    } else {
        const size_t start = std::min(static_cast<size_t>(selStart), FSearchText.size());
        const size_t after = std::min(start + static_cast<size_t>(selLength), FSearchText.size());
        search = FSearchText.substr(0, start) + Key + FSearchText.substr(after);
    }
    if (ownerDraw) FSearchText = search;
    const int oldIndex = ItemIndex();
    const int mru = combo->MRUCount();
    const AnsiString probe = search.substr(0, 255);
    const LRESULT found =
        Perform(LB_SELECTSTRING, static_cast<WPARAM>(mru - 1), PointerToLParam(probe.c_str()));
    const AnsiString foundText =
        found >= 0 && ItemIndex() >= 0 ? Items()->Strings(ItemIndex()) : AnsiString();
    if (!ownerDraw) FSearchText = search;
    ApplyListSearch(found >= 0, foundText, Key, oldIndex);
    Key = 0;
}

void TwwPopupListbox::StepBackSelection() {
    TwwDBCustomComboBox* combo = Combo();
    const int start = std::max(0, combo->SelStart() - 1);
    combo->SetSelStart(start);
    combo->SetSelLength(static_cast<int>(combo->Text().size()) - start);
}

void TwwPopupListbox::ApplyListSearch(bool Found, const AnsiString& FoundText, char Key, int OldIndex) {
    TwwDBCustomComboBox* combo = Combo();
    const bool listOnly = combo->Style() == csDropDownList;
    const bool backspace = Key == '\b';
    auto textToSearch = [&] {
        combo->SetText(FSearchText);
        combo->SetSelStart(static_cast<int>(FSearchText.size()));
    };
    if (!Found) {
        if (backspace) {
            if (listOnly) {
                if (FSearchText.empty() && combo->ShowMatchText()) StepBackSelection();
            } else {
                combo->SetListSelection(-1);
                textToSearch();
            }
        } else if (!listOnly && combo->ListShowing()) {
            combo->SetListSelection(-1);
        }
        return;
    }
    if (!backspace) return;
    if (listOnly) {
        const AnsiString text = combo->Text();
        if (EqualsIgnoreCase(text, FoundText)) {
            StepBackSelection();
        } else if (BeginsIgnoringCase(text, FoundText)) {
            combo->SetText(FoundText);
            combo->SetSelStart(static_cast<int>(FoundText.size()));
        } else {
            combo->SetListSelection(OldIndex);
            StepBackSelection();
        }
        return;
    }
    textToSearch();
    if (combo->ListShowing() && !EqualsIgnoreCase(FSearchText, FoundText)) combo->SetListSelection(-1);
}

// ---------------------------------------------------------------- combo box

TwwDBCustomComboBox::TwwDBCustomComboBox(TComponent* AOwner)
    : TwwDBCustomCombo(AOwner), FItems(std::make_unique<TwwComboStringList>(this)),
      FHistoryList(std::make_unique<TwwHistoryList>()) {
    FHistoryList->SetOwner(this);
    SetButtonStyle(cbsDownArrow);
}

TwwDBCustomComboBox::~TwwDBCustomComboBox() {
    RemoveMouseHook();
    FHistoryList.reset();
    // The list goes with the control's children.
}

void TwwDBCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TwwDBCustomCombo::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupList) {
        FPopupList = nullptr;
        FListShowing = false;
    }
}

void TwwDBCustomComboBox::SetItems(TStrings* Value) {
    FItems->Assign(Value);
    DataChange(this);
}

void TwwDBCustomComboBox::SetHistoryList(TwwHistoryList* Value) {
    if (!Value) return;
    FHistoryList->SetSection(Value->Section());
    FHistoryList->SetFileName(Value->FileName());
    FHistoryList->SetMaxSize(Value->MaxSize());
    FHistoryList->SetStorageType(Value->StorageType());
    FHistoryList->SetEnabled(Value->Enabled());
    FHistoryList->SetMRUEnabled(Value->MRUEnabled());
    FHistoryList->SetMRUMaxSize(Value->MRUMaxSize());
}

void TwwDBCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == csSimple) SetShowButton(false);
    else if (FStyle == csSimple) SetShowButton(true);
    FStyle = Value;
}

bool TwwDBCustomComboBox::IsBound() { return Field() != nullptr; }

bool TwwDBCustomComboBox::IsOwnerDraw() {
    return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable;
}

bool TwwDBCustomComboBox::ShowsCaret() {
    if (IsOwnerDraw()) return false;
    return !(FStyle == csDropDownList && !FShowMatchText);
}

bool TwwDBCustomComboBox::IsTypingAllowed() { return !IsOwnerDraw() && FStyle != csDropDownList; }

AnsiString TwwDBCustomComboBox::DisplayToValue(const AnsiString& Display) const {
    if (!FMapList && !FTwoColumnDisplay) return Display;
    AnsiString result = FTwoColumnDisplay ? Display : AnsiString();
    for (int i = 0; i < FItems->Count(); ++i) {
        const AnsiString line = FItems->Strings(i);
        if (EqualsIgnoreCase(DisplayPart(line), Display)) return ValuePart(line);
    }
    return result;
}

AnsiString TwwDBCustomComboBox::ValueToDisplay(const AnsiString& Value) const {
    if (!FMapList && !FTwoColumnDisplay) return Value;
    for (int i = 0; i < FItems->Count(); ++i) {
        const AnsiString line = FItems->Strings(i);
        if (ValuePart(line) == Value) return DisplayPart(line);
    }
    return {};
}

AnsiString TwwDBCustomComboBox::GetFieldText() {
    if (FStyle == csDropDown && Text().empty()) return {};
    return DisplayToValue(Text());
}

bool TwwDBCustomComboBox::GetDisplayForValue(const AnsiString& Value, AnsiString& DisplayText) {
    if (!FMapList) return false;
    DisplayText = ValueToDisplay(Value);
    return true;
}

void TwwDBCustomComboBox::CreatePopupList() {
    FPopupList = new TwwPopupListbox(this);
    FPopupList->SetVisible(false);
    FPopupList->SetIntegralHeight(true);
    FPopupList->SetItemHeight(11);
    FPopupList->SetParent(this);
    FPopupList->SetParentShowHint(false);
    FPopupList->SetShowHint(false);
    FPopupList->HandleNeeded();
    SetWindowPos(FPopupList->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    FPopupList->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ListMouseUp(Sender, Button, Shift, X, Y);
    };
}

void TwwDBCustomComboBox::ListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft) return;
    if (PtInRect(FPopupList->ClientRect(), TPoint(X, Y))) CloseUp(true);
}

void TwwDBCustomComboBox::EnsureListFilled() {
    if (!FPopupList) CreatePopupList();
    if (FPopupList->Items()->Count() == 0 || FItemsChanged) FillDropDownList();
    FItemsChanged = false;
}

void TwwDBCustomComboBox::FillDropDownList() {
    if (!FPopupList) CreatePopupList();
    TStrings* list = FPopupList->Items();
    list->BeginUpdate();
    TwwFinally endUpdate([list] { list->EndUpdate(); });
    list->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const AnsiString line = FItems->Strings(i);
        const AnsiString value = ValuePart(line);
        list->Add(FMapList || value.empty() ? DisplayPart(line) : value);
    }
    if (FHistoryList->Enabled()) FHistoryList->LoadAndMerge(list);
    if (FHistoryList->Enabled() && FHistoryList->MRUEnabled()) {
        TStringList copy;
        copy.Assign(list);
        if (Sorted()) copy.Sort();
        FPopupList->SetSorted(false);
        list->Assign(&copy);
        TStringList* entries = FHistoryList->Entries();
        const int n = entries->Count();
        const int m = FHistoryList->MRUCount();
        for (int i = n - m; i < n; ++i) list->Insert(0, entries->Strings(i));
    }
    FItemsChanged = false;
}

int TwwDBCustomComboBox::ItemIndex() { return FPopupList ? FPopupList->ItemIndex() : FStoredItemIndex; }

void TwwDBCustomComboBox::SetItemIndex(int Value) {
    FStoredItemIndex = Value;
    EnsureListFilled();
    SetListSelection(Value);
    if (Value >= 0 && Value < FPopupList->Items()->Count()) SetText(FPopupList->Items()->Strings(Value));
    else if (Value == -1) SetText("");
}

void TwwDBCustomComboBox::SetListSelection(int Index) {
    if (!FPopupList) return;
    if (FPopupList->HandleAllocated()) FPopupList->Perform(LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
    FPopupList->SetItemIndex(Index);
}

void TwwDBCustomComboBox::SelectAllIfCaret() {
    if (ShowsCaret()) SelectAll();
}

int TwwDBCustomComboBox::FindListItem(const AnsiString& Text, int Start) {
    if (!FPopupList || !FPopupList->HandleAllocated() || FPopupList->Items()->Count() == 0) {
        for (int i = 0; i < FItems->Count(); ++i)
            if (EqualsIgnoreCase(FItems->Strings(i), Text)) return i;
        return -1;
    }
    TStrings* list = FPopupList->Items();
    const int count = list->Count();
    if (Start == 0) {
        for (int i = 0; i < count; ++i)
            if (EqualsIgnoreCase(list->Strings(i), Text)) return i;
        return -1;
    }
    for (int k = 0; k < count; ++k) {
        const int i = ((Start % count) + count + k) % count;
        if (EqualsIgnoreCase(list->Strings(i), Text)) return i;
    }
    return -1;
}

void TwwDBCustomComboBox::AddHistoryItem(const AnsiString& Text, bool ToHistory) {
    AnsiString text = Text;
    TrimTrailingChars(text, TCharSet(" \t"));
    if (text.empty()) return;
    TStringList* entries = FHistoryList->Entries();
    int held = -1;
    for (int i = 0; i < entries->Count() && held < 0; ++i)
        if (EqualsIgnoreCase(entries->Strings(i), text)) held = i;
    if (held < 0 && Assigned(OnAddHistoryItem)) {
        bool accept = true;
        OnAddHistoryItem(this, text, accept);
        if (!accept) return;
    }
    if (ToHistory) {
        if (held >= 0) entries->Delete(held);
        entries->Add(text);
    }
    if (FPopupList && FPopupList->HandleAllocated()) {
        TStrings* list = FPopupList->Items();
        bool inList = false;
        for (int i = 0; i < list->Count() && !inList; ++i) inList = EqualsIgnoreCase(list->Strings(i), text);
        if (!inList) list->Add(text);
    }
}

void TwwDBCustomComboBox::RemoveHistoryItem(const AnsiString& Text, bool FromHistory) {
    if (FromHistory) {
        TStringList* entries = FHistoryList->Entries();
        for (int i = 0; i < entries->Count(); ++i)
            if (EqualsIgnoreCase(entries->Strings(i), Text)) {
                entries->Delete(i);
                break;
            }
    }
    if (FPopupList && FPopupList->HandleAllocated()) {
        TStrings* list = FPopupList->Items();
        for (int removed = 0, i = 0; i < list->Count() && removed < 2;) {
            if (EqualsIgnoreCase(list->Strings(i), Text)) {
                list->Delete(i);
                ++removed;
            } else {
                ++i;
            }
        }
    }
}

void TwwDBCustomComboBox::ClearHistory() {
    FHistoryList->Entries()->Clear();
    FHistoryList->Save();
}

void TwwDBCustomComboBox::SetDroppedDown(bool Value) {
    if (Value) {
        if (!FListShowing) DropDown();
    } else if (FListShowing) {
        CloseUp(true);
    }
}

void TwwDBCustomComboBox::DropDown() {
    if (FListShowing || FStyle == csSimple) return;
    Invalidate();
    FillDropDownList();
    FPopupList->SetColor(Color());
    FPopupList->Font()->Assign(Font());
    if (Assigned(OnDropDown)) {
        OnDropDown(this);
        if (FDisableDropDownList) return;
        FillDropDownList();
    } else if (FDisableDropDownList) {
        return;
    }
    const bool mru = FHistoryList->Enabled() && FHistoryList->MRUEnabled();
    if (FStyle == csOwnerDrawFixed) FPopupList->SetStyle(lbOwnerDrawFixed);
    else if (FStyle == csOwnerDrawVariable) FPopupList->SetStyle(lbOwnerDrawVariable);
    else if (mru || FTwoColumnDisplay) FPopupList->SetStyle(lbOwnerDrawFixed);
    FPopupList->SetSorted(mru ? false : Sorted());
    int rowHeight = FItemHeight;
    if (rowHeight == 0) {
        FPopupList->Canvas()->Font()->Assign(FPopupList->Font());
        rowHeight = FPopupList->Canvas()->TextHeight("A") + 2;
    }
    FPopupList->SetItemHeight(rowHeight);
    const int h = std::min(FPopupList->Items()->Count(), FDropDownCount) * rowHeight + 4;
    int w = FDropDownWidth;
    if (w == 0) w = FColumn1Width != 0 ? FColumn1Width * 3 / 2 : Width();
    if (IsOwnerDraw() && Field()) SetListSelection(FindListItem(Text(), 0));
    else SetListSelection(Text().empty() ? -1 : FindListItem(Text(), 0));
    const TPoint corner = Parent() ? Parent()->ClientToScreen(TPoint(Left(), Top())) : TPoint(Left(), Top());
    int y = corner.y + Height() - (BorderStyle() == bsNone ? 0 : 1);
    TRect work;
    GetWorkArea(work);
    if (y + h > work.Height()) y = corner.y - h;
    int x = corner.x;
    if (corner.x + w >= GetSystemMetrics(SM_CXSCREEN)) x = corner.x + Width() - 1 - w;
    SetWindowPos(FPopupList->Handle(), HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FListShowing = true;
    FEditOnNextKey = true;
    if (HandleAllocated()) ::SetFocus(Handle());
    if (!FAutoDroppingDown) SelectAllIfCaret();
    if (ShowsCaret() && HandleAllocated()) ShowCaret(Handle());
    FSavedShowHint = ShowHint();
    SetShowHint(false);
    Invalidate();
    InstallMouseHook(FPopupList);
    FTextAtDropDown = Text();
}

void TwwDBCustomComboBox::CloseUp(bool Accept) {
    if (FListShowing) {
        AnsiString newText;
        if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
        const int selected = FPopupList->ItemIndex();
        if (Accept && !ReadOnly() && selected >= 0 && FPopupList->Items()->Count() > 0)
            newText = FPopupList->Items()->Strings(selected);
        else if (FStyle == csDropDown || (FStyle == csDropDownList && selected < 0)) newText = Text();
        SetWindowPos(FPopupList->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        FListShowing = false;
        // Escape (the one way to close without accepting) discards what the
        // keys moving in the list copied into the edit, and ends its search.
        if (!Accept) {
            FPopupList->ClearSearch();
            if (Text() != FTextAtDropDown) SetText(FTextAtDropDown);
        }
        if (Accept && (IsBound() || !ReadOnly())) {
            FWritingFromList = true;
            TwwFinally done([this] { FWritingFromList = false; });
            if (newText != FTextAtDropDown && EditCanModify()) {
                if (!newText.empty()) SetText(newText);
                else if (FStyle == csDropDownList || FMapList) SetText("");
                FStoredItemIndex = FPopupList->ItemIndex();
                SetModifiedState(true);
                if (FHistoryList->Enabled() && Modified()) {
                    AddHistoryItem(Text(), true);
                    FHistoryList->Save();
                }
            }
        }
        if (!ShowsCaret() && HandleAllocated()) HideCaret(Handle());
        Invalidate();
        SelectAllIfCaret();
        DoCloseUp(Accept);
        SetShowHint(FSavedShowHint);
    } else if (Accept && !FMapList && Text().empty()) {
        SetItemIndex(-1);
    }
    RemoveMouseHook();
}

void TwwDBCustomComboBox::SetDisplayFromValue(const AnsiString& Value) {
    if (Value == GetFieldText() && !(Value.empty() && FMapList)) return;
    if (FStyle == csDropDown && !FMapList) {
        SetText(Value);
        FStoredItemIndex = FindListItem(Value, 0);
        return;
    }
    int i = -1;
    if (FMapList) {
        for (int k = 0; k < FItems->Count(); ++k) {
            const AnsiString line = FItems->Strings(k);
            if (ValuePart(line) == Value) {
                i = FindListItem(DisplayPart(line), 0);
                SetText(DisplayPart(line));
                break;
            }
        }
    } else if (!Value.empty()) {
        i = FindListItem(Value, 0);
    }
    if (FPopupList && FPopupList->HandleAllocated()) SetItemIndex(i);
    else FStoredItemIndex = i;
    if (i < 0 && ItemIndex() < 0) SetText("");
}

void TwwDBCustomComboBox::DataChange(TObject* Sender) {
    if (FWritingFromList || ComponentState().Contains(csDestroying)) return;
    if (FMapList || FHistoryList->Enabled()) EnsureListFilled();
    if (FMapList) {
        SetDisplayFromValue(Field() ? Field()->AsString() : AnsiString());
        return;
    }
    if (Field()) {
        SetDisplayFromValue(Field()->DisplayText());
        if (IsOwnerDraw()) {
            FStoredItemIndex = FindListItem(Field()->AsString(), 0);
            Invalidate();
        }
    }
    TwwDBCustomCombo::DataChange(Sender);
}

void TwwDBCustomComboBox::DrawDisplayText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, int X,
                                          int Y) {
    FDrawCanvas = Canvas;
    TwwFinally done([this] { FDrawCanvas = nullptr; });
    if (Assigned(OnDrawItem) && IsOwnerDraw()) {
        if (FListShowing) {
            Canvas->Brush()->SetColor(Color());
            Canvas->Font()->SetColor(Font()->Color());
        }
        Canvas->TextRect(R, R.Left, R.Top, "");
        try {
            OnDrawItem(this, FStoredItemIndex, R, TOwnerDrawState{odFocused});
        } catch (...) {
        }
        return;
    }
    Canvas->TextRect(R, X, Y, Text);
}

// ---------------------------------------------------------------- keys

void TwwDBCustomComboBox::WndProc(TMessage& Message) {
    if (Message.Msg != WM_KEYDOWN && Message.Msg != WM_CHAR && Message.Msg != WM_SYSKEYDOWN) {
        TwwDBCustomCombo::WndProc(Message);
        return;
    }
    const WORD k = Message.CharCode();
    const bool keyDown = Message.Msg == WM_KEYDOWN;
    const bool staysInEdit =
        FListShowing && keyDown && (k == VK_HOME || k == VK_END || k == VK_LEFT || k == VK_RIGHT);
    if (!staysInEdit) {
        if (keyDown && k == VK_F4) {
            TwwDBCustomCombo::WndProc(Message);
            return;
        }
        // Only key-down messages carry drop-down keys: "s" typed (115) is no F4.
        if (Message.Msg == WM_CHAR && k == VK_ESCAPE && FEscapeClosedList) {
            // The character of the Escape that closed the list: the edit's own
            // Escape would undo its text once more.
            FEscapeClosedList = false;
            return;
        }
        if (Message.Msg != WM_CHAR) {
            WORD key = k;
            const bool wasShowing = FListShowing;
            HandleDropDownKeys(key, KeyDataToShiftState(Message.KeyData()));
            FEscapeClosedList = wasShowing && k == VK_ESCAPE && key == 0;
            Message.SetCharCode(key);
        }
        if (Message.CharCode() != 0 && FListShowing && FPopupList)
            SendMessage(FPopupList->Handle(), Message.Msg, Message.WParam, Message.LParam);
        if (Message.CharCode() == 0) return;
    }
    if (FListShowing && Message.Msg != WM_CHAR && GetKeyState(VK_SHIFT) >= 0 &&
        (Message.CharCode() == VK_UP || Message.CharCode() == VK_DOWN))
        return;
    TwwDBCustomCombo::WndProc(Message);
}

bool TwwDBCustomComboBox::PrepareKeyChange() {
    if (!DataSource()) return true;
    if (DataLink()->Edit()) return true;
    if (Field() && Field()->Calculated() && EditCanModify()) {
        if (TDataSet* ds = DataSource()->DataSet()) ds->Edit();
        return true;
    }
    return false;
}

void TwwDBCustomComboBox::SelectItemFromKey(int Index) {
    EnsureListFilled();
    if (Index < 0 || Index >= FPopupList->Items()->Count()) return;
    if (!PrepareKeyChange()) return;
    SetItemIndex(Index);
    SetModifiedState(true);
}

void TwwDBCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN && FHistoryList->Enabled()) AddHistoryItem(Text(), true);
    if (!FListShowing && FAutoDropDown && IsCharacterKey(Key) && Key != VK_BACK && Key != VK_DELETE &&
        !Shift.Contains(ssAlt)) {
        FAutoDroppingDown = true;
        TwwFinally done([this] { FAutoDroppingDown = false; });
        DropDown();
    }
    if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
    const bool ctrlX = Key == 'X' && Shift.Contains(ssCtrl);
    if (FShowMatchText && FStyle == csDropDownList && (Key == VK_DELETE || Key == VK_BACK || ctrlX)) {
        if (FAllowClearKey && SelLength() == static_cast<int>(Text().size()) && (IsBound() || !ReadOnly())) {
            bool go = true;
            if (!Text().empty() && DataSource()) go = PrepareKeyChange();
            if (go) {
                SetItemIndex(-1);
                SetModifiedState(true);
            }
        }
        Key = 0;
        return;
    }
    if (!FListShowing && !(Parent() && ::IsClassNamed(Parent(), "TCustomGrid")) &&
        (Key == VK_DOWN || Key == VK_UP)) {
        if (IsBound() || !ReadOnly()) {
            EnsureListFilled();
            const int next = FStoredItemIndex + (Key == VK_DOWN ? 1 : -1);
            if (next >= 0 && next < FPopupList->Items()->Count() && (!DataSource() || PrepareKeyChange())) {
                SetItemIndex(next);
                SetModifiedState(true);
                SelectAllIfCaret();
            }
        }
        if (Assigned(OnKeyDown)) OnKeyDown(this, Key, Shift);
        Key = 0;
        return;
    }
    if (FListShowing && (FStyle != csDropDown || FAutoDropDown) && IsCharacterKey(Key) && FEditOnNextKey) {
        PrepareEdit();
        FEditOnNextKey = false;
    }
    TwwDBCustomCombo::KeyDown(Key, Shift);
}

void TwwDBCustomComboBox::KeyPress(char& Key) {
    const AnsiString text = Text();
    const int selStart = SelStart();
    const int selLength = SelLength();
    const size_t start = std::min(static_cast<size_t>(selStart), text.size());
    const size_t after = std::min(start + static_cast<size_t>(selLength), text.size());
    const AnsiString typed = text.substr(0, start) + Key + text.substr(after);
    EnsureListFilled();
    const unsigned char code = static_cast<unsigned char>(Key);
    if (Key == '\b' || Key == '\x18') {
        if (FListShowing) {
            Key = 0;
        } else if (FStyle == csDropDownList) {
            FillDropDownList();
            FPopupList->KeyPress(Key);
        }
    }
    if (Key != 0 && FShowMatchText && code >= 32 && code <= 254 && typed != text &&
        selStart >= static_cast<int>(typed.size()) - 1) {
        TStrings* list = FPopupList->Items();
        const int count = list->Count();
        const int first = MRUCount();
        int match = -1;
        for (int k = 0; k < count && match < 0; ++k) {
            const int i = (first + k) % count;
            if (BeginsIgnoringCase(list->Strings(i), typed)) match = i;
        }
        if (match >= 0) {
            SelectItemFromKey(match);
            if (!IsBound() || DataLink()->Editing()) {
                SetSelStart(static_cast<int>(typed.size()));
                SetSelLength(static_cast<int>(Text().size()) - static_cast<int>(typed.size()));
            }
            Key = 0;
        } else if (FStyle == csDropDownList) {
            Key = 0;
        }
    } else if (Key != 0 && !ShowsCaret() && code >= 32 && code <= 254) {
        TStrings* list = FPopupList->Items();
        const int count = list->Count();
        int match = -1;
        for (int k = 1; k <= count && match < 0; ++k) {
            const int i = ((FStoredItemIndex + k) % count + count) % count;
            if (BeginsIgnoringCase(list->Strings(i), AnsiString(1, Key))) match = i;
        }
        if (match >= 0) SelectItemFromKey(match);
        if (FStyle == csDropDownList) Key = 0;
    }
    if (Key != 0) {
        const bool autoFill = AutoFillDate();
        if (FMapList) SetAutoFillDate(false);
        TwwFinally restore([this, autoFill] { SetAutoFillDate(autoFill); });
        TwwDBCustomCombo::KeyPress(Key);
        if (!FMapList && Field() && DataSource() && DataSource()->DataSet() &&
            DataSource()->DataSet()->State() == dsBrowse && Field()->AsString() != Field()->DisplayText() &&
            SelStart() == 0) {
            SetSelStart(selStart);
            SetSelLength(selLength);
        }
    }
    if (Key == '\r') Key = 0;
}

void TwwDBCustomComboBox::KeyUp(WORD& Key, TShiftState Shift) {
    if (FAllowClearKey && (Key == VK_DELETE || Key == VK_BACK)) {
        if (FListShowing) {
            if (Text().empty()) SetItemIndex(-1);
        } else if (FStyle == csDropDownList && !FShowMatchText) {
            PrepareEdit();
            SetText("");
            SetItemIndex(-1);
            SetModifiedState(true);
        }
    }
    TwwDBCustomCombo::KeyUp(Key, Shift);
}

// ---------------------------------------------------------------- messages

void TwwDBCustomComboBox::CMCancelMode(TMessage& Message) {
    auto* sender = LParamToPointer<TControl>(Message.LParam);
    if (sender == this || (sender && (sender == FPopupList || sender == Button()))) return;
    CloseUp(true);
}

void TwwDBCustomComboBox::WMKillFocus(TMessage& Message) {
    TwwDBCustomCombo::WMKillFocus(Message);
    CloseUp(true);
    if (FHistoryList->Enabled() && Modified()) {
        AddHistoryItem(Text(), true);
        FHistoryList->Save();
    }
}

void TwwDBCustomComboBox::CNKeyDown(TMessage& Message) {
    const WORD key = Message.CharCode();
    if (FListShowing) {
        if (key == VK_TAB) CloseUp(true);
        if (key == VK_RETURN || key == VK_ESCAPE) return;
    }
    TwwDBCustomCombo::CNKeyDown(Message);
}

void TwwDBCustomComboBox::WMCut(TMessage& Message) {
    if (FStyle == csDropDownList && FShowMatchText && !FAllowClearKey) {
        Message.Result = 1;
        return;
    }
    TwwDBCustomCombo::WMCut(Message);
}

void TwwDBCustomComboBox::WMClear(TMessage& Message) {
    if (FStyle == csDropDownList && FShowMatchText && !FAllowClearKey) {
        Message.Result = 1;
        return;
    }
    TwwDBCustomCombo::WMClear(Message);
}

void TwwDBCustomComboBox::WMPaste(TMessage& Message) {
    if (FStyle == csDropDownList) return;
    TwwDBCustomCombo::WMPaste(Message);
}

void TwwDBCustomComboBox::CMEnter(TMessage& Message) {
    TwwDBCustomCombo::CMEnter(Message);
    if (FHistoryList->Enabled()) FillDropDownList();
}

// ---------------------------------------------------------------- published

bool TwwDBComboBox::GlyphStored() const { return const_cast<TwwDBComboBox*>(this)->IsButtonGlyphStored(); }

void TwwDBComboBox::DoCloseUp(bool Accept) {
    if (Assigned(OnCloseUp)) OnCloseUp(this, Accept);
}

void TwwDBComboBox::DescribeProperties(TPropertyTable& T) {
    using C = TwwDBComboBox;
    PublishEditProperties(T);
    T.Property("DataField", &C::DataField, &C::SetDataField);
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    T.Property("MapList", &C::MapList, &C::SetMapList).NoDefault();
    T.Property("Items", &C::Items, &C::SetItems);
    T.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).NoDefault();
    T.Property("ItemHeight", &C::ItemHeight, &C::SetItemHeight).NoDefault();
    T.Property("AllowClearKey", &C::AllowClearKey, &C::SetAllowClearKey).NoDefault();
    T.Property("Sorted", &C::Sorted, &C::SetSorted).NoDefault();
    T.Property("Style", &C::Style, &C::SetStyle).NoDefault();
    T.Property("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Default(false);
    T.Property("ShowMatchText", &C::ShowMatchText, &C::SetShowMatchText).Default(false);
    T.Property("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    T.Property("DisableDropDownList", &C::DisableDropDownList, &C::SetDisableDropDownList).Default(false);
    T.Property("Column1Width", &C::Column1Width, &C::SetColumn1Width).Default(0);
    T.Property("TwoColumnDisplay", &C::TwoColumnDisplay, &C::SetTwoColumnDisplay).Default(false);
    T.Property("HistoryList", &C::HistoryList, &C::SetHistoryList);
    T.Property("ButtonStyle", &C::ButtonStyle, &C::SetButtonStyle).Default(cbsDownArrow);
    T.Property("ButtonWidth", &C::ButtonWidth, &C::SetButtonWidth).Default(0);
    T.Property("ShowButton", &C::GetShowButton, &C::SetShowButton);
    T.Property("ButtonEffects", &C::ButtonEffects, &C::SetButtonEffects);
    T.Property("ButtonGlyph", &C::ButtonGlyph, &C::SetButtonGlyph).Stored(&C::GlyphStored);
    T.Event("OnDropDown", &C::OnDropDown);
    T.Event("OnCloseUp", &C::OnCloseUp);
    T.Event("OnDrawItem", &C::OnDrawItem);
    T.Event("OnMeasureItem", &C::OnMeasureItem);
    T.Event("OnAddHistoryItem", &C::OnAddHistoryItem);
}
