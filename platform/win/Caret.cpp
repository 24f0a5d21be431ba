// The caret: one for the thread, drawn by inverting its rectangle in the
// window that owns it, blinking on a timer, and taken off the pixels while
// its window paints or scrolls so that painting never leaves half a caret.
#include <algorithm>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/win/WindowTree.h"

namespace wm {
namespace {

struct TCaret {
    HWND Wnd = nullptr;
    int Width = 0, Height = 0;
    TPoint Pos;
    int HideLevel = 1;  // a new caret is hidden until ShowCaret
    bool OnScreen = false;
    bool Suspended = false;  // taken off while its window paints
    uintptr_t Timer = 0;
    UINT BlinkTime = 530;
    bool Gray = false;
    std::shared_ptr<TBitmap> Picture;  // xor-ed in place of the inversion
};

TCaret& C() {
    static TCaret Caret;
    return Caret;
}

void Invert() {
    TCaret& K = C();
    TWindow* W = Find(K.Wnd);
    if (!W) return;
    // A caret put far out of sight has nothing to draw (and its far edge would not fit an int).
    constexpr int Far = 1 << 24;
    if (K.Pos.x > Far || K.Pos.y > Far || K.Pos.x < -Far || K.Pos.y < -Far) return;
    HDC DC = GetDC(K.Wnd);
    if (!DC) return;
    if (K.Picture) DC->BitBlt(K.Pos.x, K.Pos.y, K.Width, K.Height, K.Picture->Canvas(), 0, 0, SRCINVERT);
    else if (K.Gray) {
        DC->Brush()->SetColor(TColor(0x808080));
        DC->PatBlt(K.Pos.x, K.Pos.y, K.Width, K.Height, PATINVERT);
    } else DC->InvertRect(TRect(K.Pos.x, K.Pos.y, K.Pos.x + K.Width, K.Pos.y + K.Height));
    if (DC->Surface()) DC->Surface()->Touch();
    ReleaseDC(K.Wnd, DC);
}

void Draw(bool On) {
    TCaret& K = C();
    if (K.OnScreen == On) return;
    Invert();
    K.OnScreen = On;
}

void Blink(HWND, UINT, uintptr_t, DWORD) {
    TCaret& K = C();
    if (!K.Wnd || K.HideLevel > 0 || K.Suspended) return;
    Draw(!K.OnScreen);
}

void StartBlink() {
    TCaret& K = C();
    if (!K.Timer && K.BlinkTime > 0) K.Timer = SetTimer(nullptr, 0, K.BlinkTime, Blink);
}

void StopBlink() {
    TCaret& K = C();
    if (K.Timer) KillTimer(nullptr, K.Timer);
    K.Timer = 0;
}

}  // namespace

void CaretHide(TWindow& W) {
    TCaret& K = C();
    if (K.Wnd != W.Handle || K.Suspended) return;
    K.Suspended = true;
    if (K.OnScreen) {
        Invert();
        K.OnScreen = false;
        K.Suspended = true;
    }
}

void CaretRestore(TWindow& W) {
    TCaret& K = C();
    if (K.Wnd != W.Handle || !K.Suspended || W.PaintDepth > 0) return;
    K.Suspended = false;
    if (K.HideLevel == 0) Draw(true);
}

void CaretWindowGone(TWindow& W) {
    if (C().Wnd == W.Handle) {
        StopBlink();
        UINT Blink = C().BlinkTime;
        C() = TCaret();
        C().BlinkTime = Blink;
    }
}

}  // namespace wm

using namespace wm;

bool CreateCaret(HWND Wnd, int Width, int Height) {
    if (!Find(Wnd)) return false;
    DestroyCaret();
    TCaret& K = C();
    K.Wnd = Wnd;
    K.Width = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
    K.Height = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
    K.Pos = TPoint(0, 0);
    K.HideLevel = 1;
    K.OnScreen = false;
    K.Suspended = false;
    return true;
}

bool CreateGrayCaret(HWND Wnd, int Width, int Height) {
    if (!CreateCaret(Wnd, Width, Height)) return false;
    C().Gray = true;
    return true;
}

bool CreateCaret(HWND Wnd, const TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Width() <= 0 || Bitmap->Height() <= 0) return false;
    if (!CreateCaret(Wnd, Bitmap->Width(), Bitmap->Height())) return false;
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(const_cast<TBitmap*>(Bitmap));
    C().Picture = std::move(copy);
    return true;
}

bool DestroyCaret() {
    TCaret& K = C();
    if (!K.Wnd) return false;
    if (K.OnScreen) Draw(false);
    StopBlink();
    UINT Blink = K.BlinkTime;
    K = TCaret();
    K.BlinkTime = Blink;
    return true;
}

bool SetCaretPos(int X, int Y) {
    TCaret& K = C();
    if (!K.Wnd) return false;
    bool Was = K.OnScreen;
    if (Was) Draw(false);
    K.Pos = TPoint(X, Y);
    if (Was || (K.HideLevel == 0 && !K.Suspended)) Draw(true);
    return true;
}

bool GetCaretPos(TPoint& P) {
    P = C().Pos;
    return C().Wnd != nullptr;
}

bool ShowCaret(HWND Wnd) {
    TCaret& K = C();
    if (!K.Wnd || (Wnd && Wnd != K.Wnd)) return false;
    if (K.HideLevel > 0) --K.HideLevel;
    if (K.HideLevel == 0) {
        if (!K.Suspended) Draw(true);
        StartBlink();
    }
    return true;
}

bool HideCaret(HWND Wnd) {
    TCaret& K = C();
    if (!K.Wnd || (Wnd && Wnd != K.Wnd)) return false;
    ++K.HideLevel;
    if (K.OnScreen) Draw(false);
    StopBlink();
    return true;
}

UINT GetCaretBlinkTime() { return C().BlinkTime; }

bool SetCaretBlinkTime(UINT MSecs) {
    C().BlinkTime = MSecs;
    if (C().Timer) {
        StopBlink();
        StartBlink();
    }
    return true;
}

int32_t GetDialogBaseUnits() {
    TFont system;
    GetSystemFont(system);
    HDC DC = GetDC(nullptr);
    int x = 8, y = 16;
    if (DC) {
        DC->Font()->Assign(&system);
        TTextMetric tm;
        if (DC->GetTextMetrics(tm)) {
            x = std::max(1, static_cast<int>(tm.tmAveCharWidth));
            y = std::max(1, static_cast<int>(tm.tmHeight));
        }
        ReleaseDC(nullptr, DC);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16));
}
