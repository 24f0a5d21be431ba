#include <gtest/gtest.h>

#include "WindowTestSupport.h"

namespace {

using Log = std::vector<std::string>;

class WindowManagerTest : public ::testing::Test {
protected:
    TWindowLab Lab;
    // A top-level window without a frame, so client and surface coordinates agree.
    HWND Top = Lab.Make("top", nullptr, Bounds(100, 50, 200, 150), WS_VISIBLE | WS_CLIPCHILDREN);
    void SetUp() override {
        SetActiveWindow(Top);
        Lab.Log.clear();
    }
    // Runs what creation queued (the first paint) and starts a fresh log.
    void Settle() {
        Lab.Pump();
        Lab.Log.clear();
    }
};

TEST_F(WindowManagerTest, PaintsParentsBeforeChildrenAndLowerSiblingsFirst) {
    HWND Low = Lab.Make("low", Top, Bounds(10, 10, 50, 50));
    HWND High = Lab.Make("high", Top, Bounds(30, 30, 50, 50));  // created later: on top
    HWND Inner = Lab.Make("inner", Low, Bounds(5, 5, 10, 10));
    (void)High;
    (void)Inner;
    Lab.Watch({WM_PAINT, WM_ERASEBKGND});
    Lab.Pump();
    // BeginPaint, inside WM_PAINT, asks for the erase.
    EXPECT_EQ(Lab.Log, (Log{"top:PAINT", "top:ERASEBKGND", "low:PAINT", "low:ERASEBKGND", "inner:PAINT",
                            "inner:ERASEBKGND", "high:PAINT", "high:ERASEBKGND"}));
}

TEST_F(WindowManagerTest, UpdateWindowPaintsAtOnceWithoutALoop) {
    HWND Child = Lab.Make("child", Top, Bounds(10, 10, 50, 50));
    Lab.Pump();
    Lab.Watch({WM_PAINT});
    Lab.Log.clear();
    InvalidateRect(Top, nullptr, true);
    InvalidateRect(Child, nullptr, true);
    UpdateWindow(Top);
    EXPECT_EQ(Lab.Log, (Log{"top:PAINT", "child:PAINT"}));
    Lab.Log.clear();
    Lab.Pump();
    EXPECT_TRUE(Lab.Log.empty()) << "nothing is left to paint";
}

TEST_F(WindowManagerTest, PaintIsClippedToWhatCanBeSeen) {
    HWND Under = Lab.Make("under", Top, Bounds(0, 0, 100, 100));
    HWND Over = Lab.Make("over", Top, Bounds(50, 50, 100, 100));
    TRegion Round = TRegion::Ellipse(TRect(0, 0, 100, 100));
    SetWindowRgn(Over, &Round, false);
    Lab.PaintWith(Under, clRed);
    Lab.PaintWith(Over, clBlue);
    Lab.PaintWith(Top, clLime);
    Lab.Pump();
    // "under" loses the corner "over" covers; "over" loses what its round region leaves out.
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0xFF0000u);
    EXPECT_EQ(Lab.PixelAt(Top, 95, 95), 0x0000FFu);
    EXPECT_EQ(Lab.PixelAt(Top, 52, 52), 0xFF0000u) << "outside the ellipse the window beneath shows";
    EXPECT_EQ(Lab.PixelAt(Top, 148, 52), 0x00FF00u) << "outside the ellipse and beyond \"under\": the parent";
    // Repainting the lower window alone cannot draw over the upper one.
    Lab.PaintWith(Under, clYellow);
    InvalidateRect(Under, nullptr, true);
    UpdateWindow(Under);
    EXPECT_EQ(Lab.PixelAt(Top, 95, 95), 0x0000FFu);
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0xFFFF00u);
}

TEST_F(WindowManagerTest, ParentWithoutClipChildrenRepaintsTheChildrenItCovers) {
    HWND Plain = Lab.Make("plain", nullptr, Bounds(0, 0, 100, 100), WS_VISIBLE);
    HWND Child = Lab.Make("child", Plain, Bounds(10, 10, 20, 20));
    Lab.PaintWith(Plain, clRed);
    Lab.PaintWith(Child, clBlue);
    Lab.Pump();
    InvalidateRect(Plain, nullptr, true);
    UpdateWindow(Plain);
    EXPECT_EQ(Lab.PixelAt(Plain, 15, 15), 0x0000FFu);
    (void)Child;
}

TEST_F(WindowManagerTest, FocusChangeTellsTheLoserFirstAndNamesTheOtherWindow) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 10, 10));
    HWND B = Lab.Make("b", Top, Bounds(20, 0, 10, 10));
    SetFocus(A);
    Lab.Log.clear();
    HWND SeenFocus = nullptr;
    WPARAM KillOther = 0, SetOther = 0;
    Lab.On(A, [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT&) {
        if (M == WM_KILLFOCUS) {
            SeenFocus = GetFocus();
            KillOther = WP;
        }
        return false;
    });
    Lab.On(B, [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT&) {
        if (M == WM_SETFOCUS) SetOther = WP;
        return false;
    });
    EXPECT_EQ(SetFocus(B), A);
    EXPECT_EQ(Lab.Log, (Log{"a:KILLFOCUS", "b:SETFOCUS"}));
    EXPECT_EQ(WParamToHandle(KillOther), B);
    EXPECT_EQ(WParamToHandle(SetOther), A);
    EXPECT_EQ(SeenFocus, B) << "the focus has already moved when the loser hears of it";
}

TEST_F(WindowManagerTest, FocusLeavesHiddenDisabledAndDestroyedWindows) {
    HWND Panel = Lab.Make("panel", Top, Bounds(0, 0, 100, 100));
    HWND Edit = Lab.Make("edit", Panel, Bounds(0, 0, 10, 10));
    SetFocus(Edit);
    ShowWindow(Edit, SW_HIDE);
    EXPECT_EQ(GetFocus(), Panel) << "hiding passes the focus to the parent";
    ShowWindow(Edit, SW_SHOW);
    SetFocus(Edit);
    EnableWindow(Edit, false);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(Edit), nullptr) << "a disabled window cannot take the focus";
    EXPECT_EQ(GetFocus(), nullptr);
    EnableWindow(Edit, true);
    SetFocus(Edit);
    DestroyWindow(Panel);
    EXPECT_EQ(GetFocus(), Top);
    EXPECT_FALSE(IsWindow(Edit));
    EXPECT_FALSE(IsWindow(Panel));
}

TEST_F(WindowManagerTest, DestroyTellsParentsFirstAndForgetsTheHandles) {
    HWND Panel = Lab.Make("panel", Top, Bounds(0, 0, 100, 100));
    HWND Edit = Lab.Make("edit", Panel, Bounds(0, 0, 10, 10));
    PostMessage(Edit, WM_USER, 0, 0);
    Lab.Watch({WM_DESTROY, WM_NCDESTROY, WM_USER});
    DestroyWindow(Panel);
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"panel:DESTROY", "edit:DESTROY", "edit:NCDESTROY", "panel:NCDESTROY"}))
        << "and the message posted to a destroyed window is never delivered";
    EXPECT_FALSE(PostMessage(Edit, WM_USER, 0, 0));
    HWND Fresh = Lab.Make("fresh", Top, Bounds(0, 0, 10, 10));
    EXPECT_NE(Fresh, Edit) << "handles are never reused";
    EXPECT_NE(Fresh, Panel);
}

TEST_F(WindowManagerTest, ClicksOutsideAWindowRegionFallThrough) {
    HWND Under = Lab.Make("under", Top, Bounds(0, 0, 100, 100));
    HWND Over = Lab.Make("over", Top, Bounds(0, 0, 100, 100));
    TRegion Left = TRegion(TRect(0, 0, 50, 100));
    SetWindowRgn(Over, &Left, true);
    // Screen = client + (100, 50) for this frameless top-level window.
    EXPECT_EQ(WindowFromPoint(TPoint(110, 60)), Over);
    EXPECT_EQ(WindowFromPoint(TPoint(170, 60)), Under);
    EXPECT_EQ(WindowFromPoint(TPoint(250, 60)), Top);
    SetWindowRgn(Over, nullptr, true);
    EXPECT_EQ(WindowFromPoint(TPoint(170, 60)), Over) << "removing the region restores the rectangle";
    Settle();
    // A window that calls itself transparent to hit tests lets the click through too.
    Lab.On(Over, [](HWND, UINT M, WPARAM, LPARAM, LRESULT& R) {
        if (M != WM_NCHITTEST) return false;
        R = HTTRANSPARENT;
        return true;
    });
    EXPECT_EQ(WindowFromPoint(TPoint(110, 60)), Under);
    InputMouseButton(0, true, TPoint(110, 60));
    InputMouseButton(0, false, TPoint(110, 60));
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"under:LBUTTONDOWN", "under:LBUTTONUP"}));
}

TEST_F(WindowManagerTest, CaptureTakesTheMouseWhereverItIs) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    HWND B = Lab.Make("b", Top, Bounds(60, 0, 50, 50));
    (void)B;
    Settle();
    SetCapture(A);
    InputMouseButton(0, true, TPoint(170, 60));  // over b
    Lab.Pump();
    ASSERT_EQ(Lab.Log, (Log{"a:LBUTTONDOWN"}));
    Lab.Watch({WM_CAPTURECHANGED});
    Lab.Log.clear();
    ReleaseCapture();
    EXPECT_EQ(Lab.Log, (Log{"a:CAPTURECHANGED"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowManagerTest, DoubleClicksNeedTheClassStyleTheTimeAndTheSameWindow) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    (void)A;
    Settle();
    auto Click = [&](int X) {
        InputMouseButton(0, true, TPoint(100 + X, 60));
        InputMouseButton(0, false, TPoint(100 + X, 60));
    };
    Click(10);
    Lab.Clock.Advance(100);
    Click(10);
    Lab.Clock.Advance(100);
    Click(10);  // a third click starts over
    Lab.Clock.Advance(GetDoubleClickTime() + 1);
    Click(10);  // too late to pair with the third
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"a:LBUTTONDOWN", "a:LBUTTONUP", "a:LBUTTONDBLCLK", "a:LBUTTONUP", "a:LBUTTONDOWN",
                            "a:LBUTTONUP", "a:LBUTTONDOWN", "a:LBUTTONUP"}));
}

TEST_F(WindowManagerTest, PostedMessagesGoBeforeInputAndQuitComesLast) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    SetFocus(A);
    Lab.Log.clear();
    InputKey('X', true);
    PostQuitMessage(3);
    PostMessage(A, WM_USER, 0, 0);
    TMsg M;
    ASSERT_TRUE(PeekMessage(M, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessage(M, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(GetMessage(M, nullptr, 0, 0));
    EXPECT_EQ(M.wParam, 3u);
    EXPECT_FALSE(PeekMessage(M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT is taken once";
}

TEST_F(WindowManagerTest, TranslateMessageTypesTheCharacterOfTheKey) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    SetFocus(A);
    std::string Typed;
    Lab.On(A, [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT&) {
        if (M == WM_CHAR) Typed += static_cast<char>(WP);
        return false;
    });
    struct {
        std::vector<WORD> Held;
        WORD Key;
        char Reported;
        char Expected;
    } Cases[] = {
        {{}, 'A', 0, 'a'},          {{VK_SHIFT}, 'A', 0, 'A'},  {{VK_SHIFT}, '1', 0, '!'},
        {{VK_CONTROL}, 'V', 0, 22}, {{}, VK_OEM_MINUS, 0, '-'}, {{}, VK_RETURN, 0, '\r'},
        {{}, 'N', '\xF1', '\xF1'},  // the display's layout wins: n with tilde
    };
    for (const auto& C : Cases) {
        Typed.clear();
        for (WORD H : C.Held) InputKey(H, true);
        InputKey(C.Key, true, C.Reported);
        InputKey(C.Key, false);
        for (WORD H : C.Held) InputKey(H, false);
        Lab.Pump();
        EXPECT_EQ(Typed, std::string(1, C.Expected)) << "key " << C.Key;
    }
}

TEST_F(WindowManagerTest, KeyStateFollowsTheMessagesTheThreadTakes) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    SetFocus(A);
    bool ShiftInTab = false;
    Lab.On(A, [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT&) {
        if (M == WM_KEYDOWN && WP == VK_TAB) ShiftInTab = GetKeyState(VK_SHIFT) < 0;
        return false;
    });
    InputKey(VK_SHIFT, true);
    InputKey(VK_TAB, true);
    InputKey(VK_TAB, false);
    InputKey(VK_SHIFT, false);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "nothing taken yet";
    Lab.Pump();
    EXPECT_TRUE(ShiftInTab) << "a handler reads the state as of its own message";
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    uint8_t Keys[256] = {};
    Keys[VK_CONTROL] = 0x80;
    SetKeyboardState(Keys);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0) << "a faked modifier is seen at once";
}

TEST_F(WindowManagerTest, KeyboardHooksSeeKeysBeforeTheFocusedWindowAndMayEatThem) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    HWND B = Lab.Make("b", Top, Bounds(60, 0, 50, 50));
    SetFocus(A);
    Lab.Log.clear();
    Lab.Watch({WM_KEYDOWN, WM_KEYUP});
    HHOOK Outer = nullptr;
    HHOOK Inner = nullptr;
    Outer = SetWindowsHookEx(WH_KEYBOARD, [&](int Code, WPARAM WP, LPARAM LP) -> LRESULT {
        Lab.Log.push_back("outer:" + std::to_string(WP));
        return CallNextHookEx(Outer, Code, WP, LP);
    });
    // Installed last, called first: it sends Tab presses to b instead.
    Inner = SetWindowsHookEx(WH_KEYBOARD, [&](int Code, WPARAM WP, LPARAM LP) -> LRESULT {
        Lab.Log.push_back("inner:" + std::to_string(WP));
        if (WP == VK_TAB && !(LP & KF_UP)) {
            PostMessage(B, WM_KEYDOWN, WP, LP);
            return 1;
        }
        return CallNextHookEx(Inner, Code, WP, LP);
    });
    InputKey('Q', true);
    InputKey(VK_TAB, true);
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"inner:81", "outer:81", "a:KEYDOWN", "inner:9", "b:KEYDOWN"}))
        << "the key posted by a hook is not seen by the hooks again";
    UnhookWindowsHookEx(Inner);
    UnhookWindowsHookEx(Outer);
    Lab.Log.clear();
    InputKey(VK_TAB, false);
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"a:KEYUP"}));
}

TEST_F(WindowManagerTest, MouseHooksSeeButtonsAndCanPostToAControl) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    HWND B = Lab.Make("b", Top, Bounds(60, 0, 50, 50));
    Settle();
    HHOOK Hook = nullptr;
    HWND SeenWnd = nullptr;
    Hook = SetWindowsHookEx(WH_MOUSE, [&](int Code, WPARAM WP, LPARAM LP) -> LRESULT {
        LRESULT R = CallNextHookEx(Hook, Code, WP, LP);
        auto* Info = LParamToPointer<TMouseHookStruct>(LP);
        if (WP == WM_LBUTTONDOWN) {
            SeenWnd = Info->hwnd;
            PostMessage(A, WM_USER, 0, 0);
        }
        return R;
    });
    InputMouseButton(0, true, TPoint(170, 60));
    Lab.Pump();
    EXPECT_EQ(SeenWnd, B);
    EXPECT_EQ(Lab.Log, (Log{"b:LBUTTONDOWN", "a:USER"}));
    UnhookWindowsHookEx(Hook);
}

TEST_F(WindowManagerTest, TimersFireWhenTheClockSaysSoAndOnlyOncePerWait) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    Lab.Pump();
    Lab.Log.clear();
    ASSERT_EQ(SetTimer(A, 1, 100, nullptr), 1u);
    Lab.Clock.Advance(99);
    Lab.Pump();
    EXPECT_TRUE(Lab.Log.empty());
    EXPECT_EQ(NextTimerDue(), 1);
    Lab.Clock.Advance(1);
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"a:TIMER"}));
    Lab.Clock.Advance(1000);
    Lab.Pump();
    EXPECT_EQ(Lab.Log, (Log{"a:TIMER", "a:TIMER"})) << "a late timer fires once, not ten times";
    KillTimer(A, 1);
    Lab.Clock.Advance(1000);
    Lab.Pump();
    EXPECT_EQ(Lab.Log.size(), 2u);
    int Calls = 0;
    uintptr_t Id = SetTimer(nullptr, 0, 50, [&](HWND, UINT, uintptr_t, DWORD) { ++Calls; });
    EXPECT_NE(Id, 0u);
    Lab.Clock.Advance(50);
    Lab.Pump();
    EXPECT_EQ(Calls, 1) << "a thread timer calls its procedure";
    KillTimer(nullptr, Id);
}

TEST_F(WindowManagerTest, SetTimerReportsWhenNoTimerIsAvailable) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 50, 50));
    SetTimerCapacity(1);
    EXPECT_EQ(SetTimer(A, 7, 100, nullptr), 7u);
    EXPECT_EQ(SetTimer(A, 7, 200, nullptr), 7u) << "resetting an existing timer needs no new one";
    EXPECT_EQ(SetTimer(A, 8, 100, nullptr), 0u);
    EXPECT_EQ(SetTimer(Top, 1, 100, nullptr), 0u);
}

TEST_F(WindowManagerTest, ScrollBarsFollowRangePageAndPosition) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 100, 100));
    int Resized = 0;
    Lab.On(A, [&](HWND, UINT M, WPARAM, LPARAM LP, LRESULT&) {
        if (M == WM_SIZE) Resized = LoWord(static_cast<uintptr_t>(LP));
        return false;
    });
    TScrollInfo Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = 99;
    Info.nPage = 10;
    Info.nPos = 95;
    EXPECT_EQ(SetScrollInfo(A, SB_VERT, Info, true), 90) << "the position stops where the last page begins";
    EXPECT_TRUE(GetWindowLong(A, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(Resized, 100 - GetSystemMetrics(SM_CXVSCROLL)) << "the client area shrinks for the bar";
    Info.nPage = 100;
    SetScrollInfo(A, SB_VERT, Info, true);
    EXPECT_FALSE(GetWindowLong(A, GWL_STYLE) & WS_VSCROLL) << "a page that shows everything hides the bar";
    EXPECT_EQ(Resized, 100);
    Info.fMask |= SIF_DISABLENOSCROLL;
    ShowScrollBar(A, SB_VERT, true);
    SetScrollInfo(A, SB_VERT, Info, true);
    EXPECT_TRUE(GetWindowLong(A, GWL_STYLE) & WS_VSCROLL) << "disable-no-scroll keeps it, disabled";
    TScrollInfo Back;
    Back.fMask = SIF_ALL;
    GetScrollInfo(A, SB_VERT, Back);
    EXPECT_EQ(Back.nPos, 0);
    EXPECT_EQ(Back.nPage, 100u);
}

TEST_F(WindowManagerTest, DraggingTheThumbSendsTrackThenPosition) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 100, 116));
    std::vector<std::pair<int, int>> Scrolls;
    Lab.On(A, [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT&) {
        if (M == WM_VSCROLL) Scrolls.push_back({LoWord(WP), HiWord(WP)});
        return false;
    });
    TScrollInfo Info;
    Info.fMask = SIF_RANGE | SIF_PAGE;
    Info.nMax = 83;  // 84 lines, 42 per page: the thumb fills half the 84-pixel track
    Info.nPage = 42;
    SetScrollInfo(A, SB_VERT, Info, true);
    // The bar sits at x 84..100 of the window; arrows 16 high; track y 16..100.
    InputMouseButton(0, true, TPoint(100 + 92, 50 + 20));
    InputMouseMove(TPoint(100 + 92, 50 + 41));
    InputMouseButton(0, false, TPoint(100 + 92, 50 + 41));
    Lab.Pump();
    std::vector<std::pair<int, int>> Expected = {
        {SB_THUMBTRACK, 21}, {SB_THUMBPOSITION, 21}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(Scrolls, Expected);
    Scrolls.clear();
    InputMouseButton(0, true,
                     TPoint(100 + 92, 50 + 20));  // the thumb did not move: the position is the caller's
    InputMouseMove(TPoint(100 + 92, 50 + 200));
    InputMouseButton(0, false, TPoint(100 + 92, 50 + 200));
    Lab.Pump();
    Expected = {{SB_THUMBTRACK, 42}, {SB_THUMBPOSITION, 42}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(Scrolls, Expected) << "dragging past the end stops at the last page";
    Scrolls.clear();
    InputMouseButton(0, true, TPoint(100 + 92, 50 + 5));  // the up arrow
    InputMouseButton(0, false, TPoint(100 + 92, 50 + 5));
    Lab.Pump();
    Expected = {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(Scrolls, Expected);
}

TEST_F(WindowManagerTest, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 100, 100));
    Lab.On(A, [](HWND W, UINT M, WPARAM, LPARAM, LRESULT& R) {
        if (M != WM_PAINT) return false;
        TPaintStruct PS;
        HDC DC = BeginPaint(W, PS);
        TBrush B;
        for (int Y = 0; Y < 100; Y += 10) {
            B.SetColor(RGB(Y, 0, 0));
            DC->FillRect(TRect(0, Y, 100, Y + 10), B);
        }
        EndPaint(W, PS);
        R = 0;
        return true;
    });
    Lab.Pump();
    ScrollWindow(A, 0, -20, nullptr, nullptr);
    EXPECT_EQ(Lab.PixelAt(Top, 5, 5), 0x140000u) << "row 20 moved up to row 0";
    TRect Update;
    ASSERT_TRUE(GetUpdateRect(A, &Update, false));
    EXPECT_EQ(Update, TRect(0, 80, 100, 100));
}

TEST_F(WindowManagerTest, ShownCaretInvertsItsRectangleAndSurvivesRepaints) {
    HWND A = Lab.Make("a", Top, Bounds(0, 0, 100, 100));
    Lab.PaintWith(A, clWhite);
    Lab.Pump();
    ASSERT_TRUE(CreateCaret(A, 2, 10));
    SetCaretPos(10, 10);
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0xFFFFFFu) << "a new caret is hidden";
    ShowCaret(A);
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0x000000u);
    EXPECT_EQ(Lab.PixelAt(Top, 12, 10), 0xFFFFFFu);
    InvalidateRect(A, nullptr, true);
    UpdateWindow(A);
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0x000000u) << "painting over the caret puts it back after";
    Lab.Clock.Advance(GetCaretBlinkTime());
    Lab.Pump();
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0xFFFFFFu) << "it blinks";
    DestroyCaret();
    EXPECT_EQ(Lab.PixelAt(Top, 10, 10), 0xFFFFFFu);
}

TEST_F(WindowManagerTest, SetWindowPosKeepsStayOnTopWindowsAboveTheOthers) {
    HWND Plain = Lab.Make("plain", nullptr, Bounds(0, 0, 10, 10), WS_VISIBLE);
    HWND Pinned = Lab.Make("pinned", nullptr, Bounds(0, 0, 10, 10), WS_VISIBLE);
    SetWindowPos(Pinned, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetActiveWindow(Plain);
    BringWindowToTop(Top);
    std::vector<HWND> Order = GetChildWindows(nullptr);
    ASSERT_GE(Order.size(), 3u);
    EXPECT_EQ(Order[0], Pinned);
    EXPECT_EQ(Order[1], Top);
    EXPECT_TRUE(GetWindowLong(Pinned, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(WindowFromPoint(TPoint(5, 5)), Pinned);
}

TEST_F(WindowManagerTest, RegisteredMessagesAreOnePerNameWhateverTheCase) {
    UINT A = RegisterWindowMessage("IPDATEPICKERDESTROYCALENDAR");
    UINT B = RegisterWindowMessage("IPEXPANDBUTTONDROPDOWN");
    EXPECT_GE(A, static_cast<UINT>(WM_REGISTERED_FIRST));
    EXPECT_NE(A, B);
    EXPECT_EQ(RegisterWindowMessage("ipdatepickerdestroycalendar"), A);
    ResetWindowManager();
    EXPECT_EQ(RegisterWindowMessage("IPDATEPICKERDESTROYCALENDAR"), A)
        << "libraries keep the number for good";
}

TEST_F(WindowManagerTest, HiddenUtilityWindowsTakeMessagesAndTimers) {
    int Timers = 0, Users = 0;
    HWND H = AllocateHWnd([&](HWND W, UINT M, WPARAM WP, LPARAM LP) -> LRESULT {
        if (M == WM_TIMER) ++Timers;
        if (M == WM_USER) ++Users;
        return DefWindowProc(W, M, WP, LP);
    });
    ASSERT_TRUE(IsWindow(H));
    EXPECT_FALSE(IsWindowVisible(H));
    SetTimer(H, 1, 55, nullptr);
    PostMessage(H, WM_USER, 0, 0);
    Lab.Clock.Advance(55);
    Lab.Pump();
    EXPECT_EQ(Timers, 1);
    EXPECT_EQ(Users, 1);
    DeallocateHWnd(H);
    EXPECT_FALSE(IsWindow(H));
    EXPECT_EQ(ActiveTimerCount(), 0u) << "its timers go with it";
}

TEST_F(WindowManagerTest, NonClientInsetsFollowTheStyles) {
    struct {
        DWORD Style, ExStyle;
        TRect Client;
    } Cases[] = {
        {WS_VISIBLE, 0, TRect(0, 0, 100, 80)},
        {WS_VISIBLE | WS_BORDER, 0, TRect(0, 0, 98, 78)},
        {WS_VISIBLE, WS_EX_CLIENTEDGE, TRect(0, 0, 96, 76)},
        {WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, TRect(0, 0, 84, 64)},
    };
    for (const auto& C : Cases) {
        HWND W = Lab.Make("w", Top, Bounds(5, 5, 100, 80), C.Style, C.ExStyle);
        TRect R;
        GetClientRect(W, R);
        EXPECT_EQ(R, C.Client) << std::hex << C.Style << " " << C.ExStyle;
        TPoint P(0, 0);
        ClientToScreen(W, P);
        TRect WR;
        GetWindowRect(W, WR);
        EXPECT_EQ(P.x - WR.Left, (100 - C.Client.Right - ((C.Style & WS_VSCROLL) ? 16 : 0)) / 2);
        DestroyWindow(W);
    }
}

}  // namespace

namespace {

TEST_F(WindowManagerTest, AChildMovedToTheDesktopBecomesATopLevelWindowAndComesBack) {
    HWND List = Lab.Make("list", Top, Bounds(10, 10, 50, 40));
    Lab.PaintWith(List, clBlue);
    Settle();
    // A drop-down list floats above its form: screen coordinates from now on.
    SetParent(List, HWND_DESKTOP);
    SetWindowPos(List, HWND_TOPMOST, 400, 300, 50, 40, SWP_NOACTIVATE);
    Lab.Pump();
    EXPECT_EQ(GetParent(List), nullptr);
    EXPECT_EQ(WindowFromPoint(TPoint(410, 310)), List);
    ASSERT_NE(WindowSurface(List), nullptr) << "a top-level window has pixels of its own";
    EXPECT_EQ(Lab.PixelAt(List, 5, 5), 0x0000FFu);
    EXPECT_EQ(WindowFromPoint(TPoint(115, 65)), Top) << "nothing is left where it was";
    SetParent(List, Top);
    SetWindowPos(List, nullptr, 10, 10, 50, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowSurface(List), nullptr);
    EXPECT_EQ(WindowFromPoint(TPoint(115, 65)), List);
    EXPECT_TRUE(IsChild(Top, List));
}

}  // namespace
