#pragma once
// The standard window classes: "EDIT", "LISTBOX", "COMBOBOX" (with its
// drop-down list "ComboLBox") and "BUTTON". Each keeps its state per window
// and answers the messages of its kind (EM_, LB_, CB_, BM_) with the
// platform's meanings; it tells its parent what the user did through
// WM_COMMAND (EN_, LBN_, CBN_, BN_ codes) and, for owner-drawn items,
// WM_DRAWITEM and WM_MEASUREITEM. It asks for its colours by sending
// CN_CTLCOLOR (WParam the device context, LParam the window) to itself: a
// control answers with its brush after setting the context's text and
// background colours; a window without a control gets the window colours.
//
// Pointers in messages: EM_GETSEL's WParam and LParam point to int (either
// may be 0); EM_GETRECT/EM_SETRECT/EM_SETRECTNP and LB_GETITEMRECT take a
// TRect*; LB_SETTABSTOPS/EM_SETTABSTOPS an int array; texts are
// zero-terminated Windows-1252.
#include <vector>

#include "platform/win/EditModel.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowManager.h"

// Registers the classes that are not registered yet (they survive
// ResetWindowManager, but a test may unregister them).
void EnsureStdWindowClasses();

// Each class's file registers its class (EnsureStdWindowClasses runs them).
void RegisterEditClass();
void RegisterListBoxClass();
void RegisterComboBoxClass();
void RegisterButtonClass();

// EM_SETMARGINS flags; with EC_USEFONTINFO the margins follow the font.
enum : WPARAM { EC_LEFTMARGIN = 1, EC_RIGHTMARGIN = 2, EC_USEFONTINFO = 0xFFFF };

// Button check states (BM_GETCHECK/BM_SETCHECK) and state bits (BM_GETSTATE).
enum : WPARAM { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_PUSHED = 4, BST_FOCUS = 8 };

// The most items a dropped combo list shows without scrolling.
enum : UINT { CB_SETMINVISIBLE = 0x1701, CB_GETMINVISIBLE = 0x1702 };

// CB_GETCOMBOBOXINFO fills this (LParam): the edit part and the list of a combo box.
enum : UINT { CB_GETCOMBOBOXINFO = 0x0164 };
struct TComboBoxInfo {
    TRect ItemRect;
    TRect ButtonRect;
    HWND Item = nullptr;  // the edit part, or none for the list kinds
    HWND List = nullptr;
};

// The edit class's default limit: no limit worth the name.
inline constexpr int EditNoLimit = 0x7FFFFFFE;

// A multi-line edit may hand its lines, their measures and its painting to a
// view (the rich edit lays out formatted paragraphs): the edit keeps the
// text, the selection, the keys, the caret and the scrolling. Positions are
// those of the text; Y counts pixels from the top of the whole text and X
// from the left of the text area. The view lays Text out within Width
// pixels when asked for the lines (Version tells whether Text changed since
// the last call), and answers the other calls from that.
class TEditView {
public:
    virtual ~TEditView() = default;
    virtual const std::vector<TEditLine>& Lines(const AnsiString& Text, uint64_t Version, int Width) = 0;
    virtual int LineTop(int Line) = 0;
    virtual int LineHeight(int Line) = 0;
    // Where the caret stands for Pos on its line, and the position nearest X on a line.
    virtual int PosToX(int Pos) = 0;
    virtual int XToPos(int Line, int X) = 0;
    // Paints the lines that meet Area, the text scrolled up by TopY pixels,
    // [SelStart, SelEnd) shown selected when ShowSel.
    virtual void Paint(HDC DC, const TRect& Area, int TopY, int SelStart, int SelEnd, bool ShowSel) = 0;
};
// Gives the edit window a view (or takes it back with nullptr); the caller keeps it.
void SetEditView(HWND Wnd, TEditView* View);
