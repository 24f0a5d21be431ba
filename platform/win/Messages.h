#pragma once
// Window handles, the message record and every message, style and key number
// of our window layer. The numbers are our own; what the libraries rely on is
// kept: system messages below WM_USER (0x0400), so the libraries' private
// numbers (0x040A, 0x0464, 0x7F00-0x7F10) never meet ours; CM_ and CN_ above
// them; registered messages from 0xC000; a CN_ number is CN_BASE plus the
// WM_ number it reflects; key and mouse messages in one range each, for
// PeekMessage filters. Virtual-key codes are the usual keyboard numbers, since
// the libraries compare keys with numbers (Tab 9, F1 112, arrows 37-40).
#include <cstdint>

#include "platform/sys/ShowCommands.h"

struct TWindowTag;
// A window handle: an opaque id, never reused, so a stale handle finds nothing.
using HWND = TWindowTag*;
using UINT = unsigned;
using WORD = uint16_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;

inline WORD LoWord(uintptr_t V) { return static_cast<WORD>(V & 0xFFFF); }
inline WORD HiWord(uintptr_t V) { return static_cast<WORD>((V >> 16) & 0xFFFF); }
inline LPARAM MakeLParam(int Lo, int Hi) {
    return static_cast<LPARAM>(static_cast<uint32_t>(static_cast<WORD>(Lo)) |
                               (static_cast<uint32_t>(static_cast<WORD>(Hi)) << 16));
}
inline WPARAM MakeWParam(int Lo, int Hi) {
    return static_cast<WPARAM>(static_cast<uint32_t>(MakeLParam(Lo, Hi)));
}
inline WPARAM HandleToWParam(HWND H) { return reinterpret_cast<WPARAM>(H); }
inline LPARAM HandleToLParam(HWND H) { return reinterpret_cast<LPARAM>(H); }
inline HWND WParamToHandle(WPARAM W) { return reinterpret_cast<HWND>(W); }
inline HWND LParamToHandle(LPARAM L) { return reinterpret_cast<HWND>(L); }
template <class T>
LPARAM PointerToLParam(T* P) {
    return reinterpret_cast<LPARAM>(P);
}
template <class T>
T* LParamToPointer(LPARAM L) {
    return reinterpret_cast<T*>(L);
}

// The message as a window procedure and a control's handlers see it. The
// accessors read the usual packings of the parameters, so handlers need not
// repeat the bit work.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    // Mouse messages: client coordinates in LParam (signed 16 bits each),
    // button and modifier flags (MK_) in WParam.
    int XPos() const { return static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))); }
    int YPos() const { return static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))); }
    UINT Keys() const { return static_cast<UINT>(WParam); }
    // Key messages: the key or character in WParam, the key data in LParam
    // (bit 29: Alt held; bit 30: key was down; bit 31: released). A handler
    // that sets the code to 0 eats the key.
    WORD CharCode() const { return static_cast<WORD>(WParam); }
    void SetCharCode(WORD Code) { WParam = Code; }
    int32_t KeyData() const { return static_cast<int32_t>(LParam); }
    // WM_MOUSEWHEEL: the turn in the high word of WParam, in WHEEL_DELTA steps.
    int WheelDelta() const { return static_cast<int16_t>(HiWord(WParam)); }
};

inline constexpr int WHEEL_DELTA = 120;

// ---------------------------------------------------------------------------
// Window messages
// ---------------------------------------------------------------------------
enum : UINT {
    WM_NULL = 0x0000,
    // life and state of a window
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_NCCREATE = 0x0003,
    WM_NCDESTROY = 0x0004,
    WM_MOVE = 0x0005,
    WM_SIZE = 0x0006,
    WM_WINDOWPOSCHANGING = 0x0007,
    WM_WINDOWPOSCHANGED = 0x0008,
    WM_SHOWWINDOW = 0x0009,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_SETFONT = 0x000F,
    WM_GETFONT = 0x0010,
    WM_CLOSE = 0x0011,
    WM_QUIT = 0x0012,
    WM_GETMINMAXINFO = 0x0013,
    WM_STYLECHANGED = 0x0014,
    WM_WININICHANGE = 0x0015,
    WM_SYSCOLORCHANGE = 0x0016,
    WM_CANCELMODE = 0x0017,
    WM_SETCURSOR = 0x0018,
    WM_COMMAND = 0x0019,
    WM_NOTIFY = 0x001A,
    WM_SYSCOMMAND = 0x001B,
    WM_HELP = 0x001C,
    WM_CONTEXTMENU = 0x001D,
    WM_PARENTNOTIFY = 0x001E,
    WM_CAPTURECHANGED = 0x001F,
    WM_DRAWITEM = 0x0020,
    WM_MEASUREITEM = 0x0021,
    WM_DELETEITEM = 0x0022,
    WM_CTLCOLOR = 0x0023,
    // painting
    WM_PAINT = 0x0040,
    WM_ERASEBKGND = 0x0041,
    WM_NCPAINT = 0x0042,
    WM_PRINTCLIENT = 0x0043,
    // the non-client area
    WM_NCCALCSIZE = 0x0060,
    WM_NCHITTEST = 0x0061,
    WM_NCACTIVATE = 0x0062,
    WM_NCMOUSEMOVE = 0x0063,
    WM_NCLBUTTONDOWN = 0x0064,
    WM_NCLBUTTONUP = 0x0065,
    WM_NCLBUTTONDBLCLK = 0x0066,
    WM_NCRBUTTONDOWN = 0x0067,
    WM_NCRBUTTONUP = 0x0068,
    // focus, activation and dialog navigation
    WM_SETFOCUS = 0x0080,
    WM_KILLFOCUS = 0x0081,
    WM_ACTIVATE = 0x0082,
    WM_ACTIVATEAPP = 0x0083,
    WM_MOUSEACTIVATE = 0x0084,
    WM_GETDLGCODE = 0x0085,
    WM_NEXTDLGCTL = 0x0086,
    WM_ENTERIDLE = 0x0087,
    // keyboard: one range for PeekMessage filters
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_DEADCHAR = 0x0103,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_SYSDEADCHAR = 0x0107,
    WM_KEYLAST = 0x0107,
    // timers, scrolling and menus
    WM_TIMER = 0x0110,
    WM_HSCROLL = 0x0111,
    WM_VSCROLL = 0x0112,
    WM_INITMENUPOPUP = 0x0113,
    WM_MENUSELECT = 0x0114,
    WM_ENTERMENULOOP = 0x0115,
    WM_EXITMENULOOP = 0x0116,
    // mouse: one range for PeekMessage filters
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSELAST = 0x020A,
    WM_MOUSEHOVER = 0x0210,
    WM_MOUSELEAVE = 0x0211,
    // clipboard commands
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,

    WM_USER = 0x0400,
    // The first number RegisterWindowMessage hands out.
    WM_REGISTERED_FIRST = 0xC000,
};

// ---------------------------------------------------------------------------
// Control messages (the class library's own), sent between controls
// ---------------------------------------------------------------------------
enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,    // LParam: the control that asks (TControl*), or 0
    CM_DIALOGKEY = CM_BASE + 5,     // a key that may be the form's (Tab, Enter, Escape, arrows)
    CM_DIALOGCHAR = CM_BASE + 6,    // a character that may be an accelerator
    CM_FOCUSCHANGED = CM_BASE + 7,  // LParam: the control that took the focus
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16,
    CM_PARENTCTL3DCHANGED = CM_BASE + 17,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,  // LParam: the control entered
    CM_MOUSELEAVE = CM_BASE + 20,  // LParam: the control left
    CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22,
    CM_APPSYSCOMMAND = CM_BASE + 23,
    CM_BUTTONPRESSED = CM_BASE + 24,  // WParam: group index, LParam: the button pressed
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31,
    CM_WINDOWHOOK = CM_BASE + 32,
    CM_RELEASE = CM_BASE + 33,  // posted by TCustomForm::Release
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37,
    CM_FONTCHANGE = CM_BASE + 38,
    CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_UIACTIVATE = CM_BASE + 41,
    CM_UIDEACTIVATE = CM_BASE + 42,
    CM_DOCWINDOWACTIVATE = CM_BASE + 43,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_GETDATALINK = CM_BASE + 45,  // answered with the control's data link, or 0
    CM_CHILDKEY = CM_BASE + 46,
    CM_DRAG = CM_BASE + 47,
    CM_HINTSHOW = CM_BASE + 48,
    CM_DIALOGHANDLE = CM_BASE + 49,
    CM_ISTOOLCONTROL = CM_BASE + 50,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_DOCKCLIENT = CM_BASE + 56,
    CM_UNDOCKCLIENT = CM_BASE + 57,
    CM_FLOAT = CM_BASE + 58,
    CM_BORDERCHANGED = CM_BASE + 59,
    CM_BIDIMODECHANGED = CM_BASE + 60,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
    CM_ACTIONUPDATE = CM_BASE + 63,
    CM_ACTIONEXECUTE = CM_BASE + 64,
    CM_HINTSHOWPAUSE = CM_BASE + 65,
    CM_DOCKNOTIFICATION = CM_BASE + 66,
    CM_MOUSEWHEEL = CM_BASE + 67,
    CM_PARENTCHANGED = CM_BASE + 68,  // WParam: 1 before, 0 after the parent changes
};

// Notifications a parent reflects back to the control that sent them.
enum : UINT {
    CN_BASE = 0xBC00,
    CN_CHARTOITEM = CN_BASE + 0x002F,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_CTLCOLOR = CN_BASE + WM_CTLCOLOR,
    CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
    CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
    CN_VKEYTOITEM = CN_BASE + 0x002E,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP,
    CN_CHAR = CN_BASE + WM_CHAR,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
};

// ---------------------------------------------------------------------------
// Messages of the standard window classes (edit, list box, combo box, button)
// ---------------------------------------------------------------------------
enum : UINT {
    EM_GETSEL = 0x0140,
    EM_SETSEL = 0x0141,
    EM_GETRECT = 0x0142,
    EM_SETRECT = 0x0143,
    EM_SETRECTNP = 0x0144,
    EM_SCROLL = 0x0145,
    EM_LINESCROLL = 0x0146,
    EM_SCROLLCARET = 0x0147,
    EM_GETMODIFY = 0x0148,
    EM_SETMODIFY = 0x0149,
    EM_GETLINECOUNT = 0x014A,
    EM_LINEINDEX = 0x014B,
    EM_LINELENGTH = 0x014C,
    EM_REPLACESEL = 0x014D,
    EM_GETLINE = 0x014E,
    EM_LIMITTEXT = 0x014F,
    EM_CANUNDO = 0x0150,
    EM_UNDO = 0x0151,
    EM_LINEFROMCHAR = 0x0152,
    EM_SETTABSTOPS = 0x0153,
    EM_SETPASSWORDCHAR = 0x0154,
    EM_EMPTYUNDOBUFFER = 0x0155,
    EM_GETFIRSTVISIBLELINE = 0x0156,
    EM_SETREADONLY = 0x0157,
    EM_GETPASSWORDCHAR = 0x0158,
    EM_SETMARGINS = 0x0159,
    EM_GETMARGINS = 0x015A,
    EM_GETLIMITTEXT = 0x015B,
    EM_POSFROMCHAR = 0x015C,
    EM_CHARFROMPOS = 0x015D,

    LB_ADDSTRING = 0x0180,
    LB_INSERTSTRING = 0x0181,
    LB_DELETESTRING = 0x0182,
    LB_RESETCONTENT = 0x0183,
    LB_SETSEL = 0x0184,
    LB_SETCURSEL = 0x0185,
    LB_GETSEL = 0x0186,
    LB_GETCURSEL = 0x0187,
    LB_GETTEXT = 0x0188,
    LB_GETTEXTLEN = 0x0189,
    LB_GETCOUNT = 0x018A,
    LB_SELECTSTRING = 0x018B,
    LB_GETTOPINDEX = 0x018C,
    LB_FINDSTRING = 0x018D,
    LB_GETSELCOUNT = 0x018E,
    LB_GETSELITEMS = 0x018F,
    LB_SETTABSTOPS = 0x0190,
    LB_SETHORIZONTALEXTENT = 0x0191,
    LB_GETHORIZONTALEXTENT = 0x0192,
    LB_SETTOPINDEX = 0x0193,
    LB_GETITEMRECT = 0x0194,
    LB_GETITEMDATA = 0x0195,
    LB_SETITEMDATA = 0x0196,
    LB_SELITEMRANGE = 0x0197,
    LB_SETCARETINDEX = 0x0198,
    LB_GETCARETINDEX = 0x0199,
    LB_SETITEMHEIGHT = 0x019A,
    LB_GETITEMHEIGHT = 0x019B,
    LB_FINDSTRINGEXACT = 0x019C,
    LB_ITEMFROMPOINT = 0x019D,

    CB_GETEDITSEL = 0x01B0,
    CB_LIMITTEXT = 0x01B1,
    CB_SETEDITSEL = 0x01B2,
    CB_ADDSTRING = 0x01B3,
    CB_DELETESTRING = 0x01B4,
    CB_GETCOUNT = 0x01B5,
    CB_GETCURSEL = 0x01B6,
    CB_GETLBTEXT = 0x01B7,
    CB_GETLBTEXTLEN = 0x01B8,
    CB_INSERTSTRING = 0x01B9,
    CB_RESETCONTENT = 0x01BA,
    CB_FINDSTRING = 0x01BB,
    CB_SELECTSTRING = 0x01BC,
    CB_SETCURSEL = 0x01BD,
    CB_SHOWDROPDOWN = 0x01BE,
    CB_GETITEMDATA = 0x01BF,
    CB_SETITEMDATA = 0x01C0,
    CB_GETDROPPEDCONTROLRECT = 0x01C1,
    CB_SETITEMHEIGHT = 0x01C2,
    CB_GETITEMHEIGHT = 0x01C3,
    CB_GETDROPPEDSTATE = 0x01C4,
    CB_FINDSTRINGEXACT = 0x01C5,
    CB_SETDROPPEDWIDTH = 0x01C6,
    CB_GETDROPPEDWIDTH = 0x01C7,

    BM_GETCHECK = 0x01D0,
    BM_SETCHECK = 0x01D1,
    BM_GETSTATE = 0x01D2,
    BM_SETSTATE = 0x01D3,
    BM_SETSTYLE = 0x01D4,
    BM_CLICK = 0x01D5,
};

// Answers of the list messages.
inline constexpr LRESULT LB_ERR = -1;
inline constexpr LRESULT CB_ERR = -1;

// Notification codes in the high word of WM_COMMAND's WParam.
enum : WORD {
    BN_CLICKED = 0,
    BN_DOUBLECLICKED = 5,
    EN_SETFOCUS = 0x0100,
    EN_KILLFOCUS = 0x0200,
    EN_CHANGE = 0x0300,
    EN_UPDATE = 0x0400,
    EN_MAXTEXT = 0x0501,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    LBN_SELCANCEL = 3,
    LBN_SETFOCUS = 4,
    LBN_KILLFOCUS = 5,
    CBN_SELCHANGE = 1,
    CBN_DBLCLK = 2,
    CBN_SETFOCUS = 3,
    CBN_KILLFOCUS = 4,
    CBN_EDITCHANGE = 5,
    CBN_EDITUPDATE = 6,
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8,
    CBN_SELENDOK = 9,
    CBN_SELENDCANCEL = 10,
};

// ---------------------------------------------------------------------------
// Window styles (GWL_STYLE), extended styles (GWL_EXSTYLE), class styles
// ---------------------------------------------------------------------------
enum : DWORD {
    WS_OVERLAPPED = 0,
    WS_TABSTOP = 0x00010000,
    WS_GROUP = 0x00020000,
    // The two boxes matter only on top-level windows, so they share the bits
    // of the two flags that matter only on child windows.
    WS_MAXIMIZEBOX = WS_TABSTOP,
    WS_MINIMIZEBOX = WS_GROUP,
    WS_THICKFRAME = 0x00040000,
    WS_SYSMENU = 0x00080000,
    WS_HSCROLL = 0x00100000,
    WS_VSCROLL = 0x00200000,
    WS_DLGFRAME = 0x00400000,
    WS_BORDER = 0x00800000,
    WS_CAPTION = WS_BORDER | WS_DLGFRAME,
    WS_MAXIMIZE = 0x01000000,
    WS_MINIMIZE = 0x02000000,
    WS_CLIPCHILDREN = 0x04000000,
    WS_CLIPSIBLINGS = 0x08000000,
    WS_DISABLED = 0x10000000,
    WS_VISIBLE = 0x20000000,
    WS_POPUP = 0x40000000,
    WS_CHILD = 0x80000000,
    WS_OVERLAPPEDWINDOW = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
};

enum : DWORD {
    WS_EX_DLGMODALFRAME = 0x0001,
    WS_EX_TOPMOST = 0x0002,
    WS_EX_TRANSPARENT = 0x0004,
    WS_EX_TOOLWINDOW = 0x0008,
    WS_EX_WINDOWEDGE = 0x0010,
    WS_EX_CLIENTEDGE = 0x0020,
    WS_EX_STATICEDGE = 0x0040,
    WS_EX_CONTEXTHELP = 0x0080,
    WS_EX_RIGHT = 0x0100,
    WS_EX_RTLREADING = 0x0200,
    WS_EX_LEFTSCROLLBAR = 0x0400,
    WS_EX_CONTROLPARENT = 0x0800,
    WS_EX_APPWINDOW = 0x1000,
    WS_EX_NOPARENTNOTIFY = 0x2000,
    WS_EX_LAYOUTRTL = 0x4000,
    WS_EX_NOACTIVATE = 0x8000,
};

enum : UINT {
    CS_VREDRAW = 0x0001,
    CS_HREDRAW = 0x0002,
    CS_DBLCLKS = 0x0004,
    CS_SAVEBITS = 0x0008,
    CS_PARENTDC = 0x0010,
    CS_OWNDC = 0x0020,
};

// Styles of the standard classes share the low 16 bits of GWL_STYLE.
enum : DWORD {
    ES_LEFT = 0x0000,
    ES_CENTER = 0x0001,
    ES_RIGHT = 0x0002,
    ES_MULTILINE = 0x0004,
    ES_UPPERCASE = 0x0008,
    ES_LOWERCASE = 0x0010,
    ES_PASSWORD = 0x0020,
    ES_AUTOVSCROLL = 0x0040,
    ES_AUTOHSCROLL = 0x0080,
    ES_NOHIDESEL = 0x0100,
    ES_OEMCONVERT = 0x0200,
    ES_READONLY = 0x0400,
    ES_WANTRETURN = 0x0800,
    ES_NUMBER = 0x1000,
    ES_DISABLENOSCROLL = 0x2000,

    BS_PUSHBUTTON = 0x00,
    BS_DEFPUSHBUTTON = 0x01,
    BS_CHECKBOX = 0x02,
    BS_AUTOCHECKBOX = 0x03,
    BS_RADIOBUTTON = 0x04,
    BS_3STATE = 0x05,
    BS_AUTO3STATE = 0x06,
    BS_GROUPBOX = 0x07,
    BS_AUTORADIOBUTTON = 0x09,
    BS_OWNERDRAW = 0x0B,
    BS_TYPEMASK = 0x0F,
    BS_LEFTTEXT = 0x20,
    BS_MULTILINE = 0x2000,
    BS_PUSHLIKE = 0x1000,

    LBS_NOTIFY = 0x0001,
    LBS_SORT = 0x0002,
    LBS_NOREDRAW = 0x0004,
    LBS_MULTIPLESEL = 0x0008,
    LBS_OWNERDRAWFIXED = 0x0010,
    LBS_OWNERDRAWVARIABLE = 0x0020,
    LBS_HASSTRINGS = 0x0040,
    LBS_USETABSTOPS = 0x0080,
    LBS_NOINTEGRALHEIGHT = 0x0100,
    LBS_MULTICOLUMN = 0x0200,
    LBS_WANTKEYBOARDINPUT = 0x0400,
    LBS_EXTENDEDSEL = 0x0800,
    LBS_DISABLENOSCROLL = 0x1000,

    CBS_SIMPLE = 0x0001,
    CBS_DROPDOWN = 0x0002,
    CBS_DROPDOWNLIST = 0x0003,
    CBS_OWNERDRAWFIXED = 0x0010,
    CBS_OWNERDRAWVARIABLE = 0x0020,
    CBS_AUTOHSCROLL = 0x0040,
    CBS_SORT = 0x0100,
    CBS_HASSTRINGS = 0x0200,
    CBS_NOINTEGRALHEIGHT = 0x0400,

    SS_LEFT = 0x0000,
    SS_CENTER = 0x0001,
    SS_RIGHT = 0x0002,
    SS_NOPREFIX = 0x0080,
};

// ---------------------------------------------------------------------------
// Window data, placement and painting
// ---------------------------------------------------------------------------
enum : int {
    GWL_STYLE = -16,
    GWL_EXSTYLE = -20,
    GWL_ID = -12,
    GWL_USERDATA = -21,
    GWL_HWNDPARENT = -8,
};

enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010,
    SWP_FRAMECHANGED = 0x0020,
    SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080,
    SWP_NOCOPYBITS = 0x0100,
    SWP_NOOWNERZORDER = 0x0200,
    SWP_NOSENDCHANGING = 0x0400,
};

// Insert-after values of SetWindowPos.
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
// The parent of top-level windows: SetParent(Wnd, HWND_DESKTOP) makes Wnd top-level.
inline HWND const HWND_DESKTOP = nullptr;

// WM_SIZE kinds.
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// RedrawWindow flags.
enum : UINT {
    RDW_INVALIDATE = 0x0001,
    RDW_INTERNALPAINT = 0x0002,
    RDW_ERASE = 0x0004,
    RDW_VALIDATE = 0x0008,
    RDW_NOERASE = 0x0020,
    RDW_NOCHILDREN = 0x0040,
    RDW_ALLCHILDREN = 0x0080,
    RDW_UPDATENOW = 0x0100,
    RDW_ERASENOW = 0x0200,
    RDW_FRAME = 0x0400,
    RDW_NOFRAME = 0x0800,
};

// ScrollWindowEx flags.
enum : UINT { SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004 };

// GetWindow relations.
enum : UINT {
    GW_HWNDFIRST = 0,
    GW_HWNDLAST = 1,
    GW_HWNDNEXT = 2,
    GW_HWNDPREV = 3,
    GW_OWNER = 4,
    GW_CHILD = 5,
};

// ChildWindowFromPointEx flags.
enum : UINT { CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2, CWP_SKIPTRANSPARENT = 4 };

// WM_ACTIVATE kinds.
enum : WORD { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// WM_MOUSEACTIVATE answers.
enum : LRESULT { MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4 };

// WM_NCHITTEST answers.
enum : LRESULT {
    HTERROR = -2,
    HTTRANSPARENT = -1,
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMENU = 5,
    HTHSCROLL = 6,
    HTVSCROLL = 7,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
};

// WM_GETDLGCODE answers.
enum : LRESULT {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};

// WM_SYSCOMMAND commands.
enum : WPARAM {
    SC_SIZE = 0xF000,
    SC_MOVE = 0xF010,
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
    SC_KEYMENU = 0xF100,
    SC_RESTORE = 0xF120,
    SC_CONTEXTHELP = 0xF180,
};

// ---------------------------------------------------------------------------
// Scroll bars
// ---------------------------------------------------------------------------
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
enum : WORD {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};
enum : UINT {
    SIF_RANGE = 0x0001,
    SIF_PAGE = 0x0002,
    SIF_POS = 0x0004,
    SIF_DISABLENOSCROLL = 0x0008,
    SIF_TRACKPOS = 0x0010,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS,
};
enum : UINT { ESB_ENABLE_BOTH = 0, ESB_DISABLE_LEFT = 1, ESB_DISABLE_RIGHT = 2, ESB_DISABLE_BOTH = 3 };

struct TScrollInfo {
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// ---------------------------------------------------------------------------
// Keyboard and mouse
// ---------------------------------------------------------------------------
// Button and modifier flags of mouse messages.
enum : UINT {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
};

enum : WORD {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    // '0'..'9' and 'A'..'Z' are their own characters.
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62,
    VK_NUMPAD3 = 0x63,
    VK_NUMPAD4 = 0x64,
    VK_NUMPAD5 = 0x65,
    VK_NUMPAD6 = 0x66,
    VK_NUMPAD7 = 0x67,
    VK_NUMPAD8 = 0x68,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,       // ; :
    VK_OEM_PLUS = 0xBB,    // = +
    VK_OEM_COMMA = 0xBC,   // , <
    VK_OEM_MINUS = 0xBD,   // - _
    VK_OEM_PERIOD = 0xBE,  // . >
    VK_OEM_2 = 0xBF,       // / ?
    VK_OEM_3 = 0xC0,       // ` ~
    VK_OEM_4 = 0xDB,       // [ {
    VK_OEM_5 = 0xDC,       // \ |
    VK_OEM_6 = 0xDD,       // ] }
    VK_OEM_7 = 0xDE,       // ' "
    VK_OEM_102 = 0xE2,     // < > on the 102-key layouts
};

// Bits of the key data (LParam of key messages).
enum : uint32_t {
    KF_EXTENDED = 0x01000000,
    KF_ALTDOWN = 0x20000000,
    KF_REPEAT = 0x40000000,
    KF_UP = 0x80000000,
};

// MapVirtualKey kinds.
enum : UINT { MAPVK_VK_TO_VSC = 0, MAPVK_VSC_TO_VK = 1, MAPVK_VK_TO_CHAR = 2 };

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------
enum : int { WH_KEYBOARD = 2, WH_MOUSE = 7 };
enum : int { HC_ACTION = 0, HC_NOREMOVE = 3 };

// ---------------------------------------------------------------------------
// PeekMessage
// ---------------------------------------------------------------------------
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002 };

// Message box flags and answers (MB_, ID) are in platform/sys/Dialogs.h.

// The parameters of WM_WINDOWPOSCHANGING/WM_WINDOWPOSCHANGED (LParam points to it).
struct TWindowPos {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

// WM_HELP's LParam points to this: the window the user asked help for.
enum : int { HELPINFO_WINDOW = 1, HELPINFO_MENUITEM = 2 };
struct THelpInfo {
    int iContextType = HELPINFO_WINDOW;
    int iCtrlId = 0;
    HWND hItemHandle = nullptr;
    uintptr_t dwContextId = 0;
    int MouseX = 0, MouseY = 0;
};

// WM_NOTIFY's LParam points to a record that begins with this header.
struct TNMHdr {
    HWND hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    UINT code = 0;
};
