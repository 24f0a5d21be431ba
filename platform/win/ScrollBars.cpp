// The scroll bars of a window: range, page and position, when they show,
// how they are drawn in the non-client area, and the mouse on them.
#include <algorithm>

#include "platform/win/WindowTree.h"

namespace wm {
namespace {

struct TBarGeometry {
    bool Vertical = true;
    TRect Bar, Arrow1, Arrow2, Track, Thumb;
    int Movable = 0;  // how far the thumb can travel
    bool HasThumb = false;
};

int PosRange(const TScrollBarState& B) {
    int Page = B.Page > 0 ? static_cast<int>(B.Page) - 1 : 0;
    return std::max(0, B.Max - B.Min - Page);
}

int ClampPos(const TScrollBarState& B, int Pos) { return std::clamp(Pos, B.Min, B.Min + PosRange(B)); }

bool Needed(const TScrollBarState& B) {
    if (B.Max <= B.Min) return false;
    return B.Page == 0 || static_cast<int>(B.Page) <= B.Max - B.Min;
}

DWORD StyleBit(int Bar) { return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

TBarGeometry Geometry(const TWindow& W, int Bar, int PosOverride = INT32_MIN) {
    TBarGeometry G;
    G.Vertical = Bar == SB_VERT;
    TInsets I = NonClientInsets(W);
    int Cx = GetSystemMetrics(SM_CXVSCROLL), Cy = GetSystemMetrics(SM_CYHSCROLL);
    int Width = W.Bounds.Width(), Height = W.Bounds.Height();
    if (G.Vertical) {
        int Right = Width - (I.Right - Cx);
        G.Bar = TRect(Right - Cx, I.Top, Right, Height - I.Bottom);
        int Arrow = std::min(Cx, G.Bar.Height() / 2);
        G.Arrow1 = TRect(G.Bar.Left, G.Bar.Top, G.Bar.Right, G.Bar.Top + Arrow);
        G.Arrow2 = TRect(G.Bar.Left, G.Bar.Bottom - Arrow, G.Bar.Right, G.Bar.Bottom);
        G.Track = TRect(G.Bar.Left, G.Arrow1.Bottom, G.Bar.Right, G.Arrow2.Top);
    } else {
        int Bottom = Height - (I.Bottom - Cy);
        G.Bar = TRect(I.Left, Bottom - Cy, Width - I.Right, Bottom);
        int Arrow = std::min(Cy, G.Bar.Width() / 2);
        G.Arrow1 = TRect(G.Bar.Left, G.Bar.Top, G.Bar.Left + Arrow, G.Bar.Bottom);
        G.Arrow2 = TRect(G.Bar.Right - Arrow, G.Bar.Top, G.Bar.Right, G.Bar.Bottom);
        G.Track = TRect(G.Arrow1.Right, G.Bar.Top, G.Arrow2.Left, G.Bar.Bottom);
    }
    const TScrollBarState& B = W.Bars[Bar];
    int Length = G.Vertical ? G.Track.Height() : G.Track.Width();
    int Range = B.Max - B.Min;
    int Thumb = B.Page > 0 ? static_cast<int>(static_cast<int64_t>(Length) * B.Page / (Range + 1))
                           : (G.Vertical ? Cx : Cy);
    Thumb = std::max(Thumb, 8);
    G.HasThumb = Range > 0 && Length >= Thumb && B.Disabled != ESB_DISABLE_BOTH && Needed(B);
    if (!G.HasThumb) return G;
    G.Movable = Length - Thumb;
    int Pos = PosOverride == INT32_MIN ? (B.Tracking ? B.TrackPos : B.Pos) : PosOverride;
    int Span = PosRange(B);
    int Offset = Span > 0 ? static_cast<int>(static_cast<int64_t>(G.Movable) * (Pos - B.Min) / Span) : 0;
    if (G.Vertical)
        G.Thumb = TRect(G.Track.Left, G.Track.Top + Offset, G.Track.Right, G.Track.Top + Offset + Thumb);
    else G.Thumb = TRect(G.Track.Left + Offset, G.Track.Top, G.Track.Left + Offset + Thumb, G.Track.Bottom);
    return G;
}

// The client area changes size when a bar comes or goes.
void ApplyVisibility(TWindow& W, int Bar, bool Show) {
    DWORD Bit = StyleBit(Bar);
    if (((W.Style & Bit) != 0) == Show) return;
    TRect Before = ClientRect(W);
    if (Show) W.Style |= Bit;
    else W.Style &= ~Bit;
    TRect After = ClientRect(W);
    InvalidateFrame(W);
    InvalidateInternal(W, TRegion(After), true, false);
    if (Before.Width() != After.Width() || Before.Height() != After.Height())
        Send(W, WM_SIZE, SIZE_RESTORED, MakeLParam(After.Width(), After.Height()));
}

TPoint WindowPointOf(const TWindow& W, TPoint Screen) {
    TRect R;
    GetWindowRect(W.Handle, R);
    return TPoint(Screen.x - R.Left, Screen.y - R.Top);
}

}  // namespace

LRESULT ScrollBarHitTest(const TWindow& W, TPoint WindowPt) {
    if ((W.Style & WS_VSCROLL) && PtInRect(Geometry(W, SB_VERT).Bar, WindowPt)) return HTVSCROLL;
    if ((W.Style & WS_HSCROLL) && PtInRect(Geometry(W, SB_HORZ).Bar, WindowPt)) return HTHSCROLL;
    return HTNOWHERE;
}

void DrawScrollBars(TWindow& W, TCanvas& C) {
    // The track is a fine checker of the face and highlight colours.
    static const uint16_t Checker[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
    TBrush Track;
    Track.SetPattern(TBrush::MonoPattern8(Checker));
    C.SetTextColor(clBtnFace);
    C.SetBkColor(clBtnHighlight);
    for (int Bar : {SB_HORZ, SB_VERT}) {
        if (!(W.Style & StyleBit(Bar))) continue;
        TBarGeometry G = Geometry(W, Bar);
        const TScrollBarState& B = W.Bars[Bar];
        bool Off = !Needed(B) || B.Disabled == ESB_DISABLE_BOTH;
        uint32_t First = G.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
        uint32_t Second = G.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
        TRect A1 = G.Arrow1, A2 = G.Arrow2;
        C.DrawFrameControl(
            A1, DFC_SCROLL,
            First | ((Off || (B.Disabled & ESB_DISABLE_LEFT)) ? static_cast<uint32_t>(DFCS_INACTIVE) : 0u));
        C.DrawFrameControl(
            A2, DFC_SCROLL,
            Second | ((Off || (B.Disabled & ESB_DISABLE_RIGHT)) ? static_cast<uint32_t>(DFCS_INACTIVE) : 0u));
        C.FillRect(G.Track, Track);
        if (G.HasThumb) {
            TRect T = G.Thumb;
            C.DrawEdge(T, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
    }
    if ((W.Style & WS_VSCROLL) && (W.Style & WS_HSCROLL)) {
        TBarGeometry V = Geometry(W, SB_VERT), H = Geometry(W, SB_HORZ);
        TBrush Face;
        Face.SetColor(clBtnFace);
        C.FillRect(TRect(V.Bar.Left, H.Bar.Top, V.Bar.Right, H.Bar.Bottom), Face);
    }
}

void TrackScrollBar(TWindow& W, int Bar, TPoint WindowPt) {
    HWND Wnd = W.Handle;
    TBarGeometry G = Geometry(W, Bar);
    const TScrollBarState& B = W.Bars[Bar];
    if (!Needed(B) || B.Disabled == ESB_DISABLE_BOTH) return;
    UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    bool OnThumb = G.HasThumb && PtInRect(G.Thumb, WindowPt);
    if (!OnThumb) {
        WORD Code;
        if (PtInRect(G.Arrow1, WindowPt)) Code = SB_LINEUP;
        else if (PtInRect(G.Arrow2, WindowPt)) Code = SB_LINEDOWN;
        else if (G.HasThumb && (G.Vertical ? WindowPt.y < G.Thumb.Top : WindowPt.x < G.Thumb.Left))
            Code = SB_PAGEUP;
        else Code = SB_PAGEDOWN;
        Send(W, Msg, MakeWParam(Code, 0), 0);
    }
    int StartPos = B.Pos;
    int StartMouse = G.Vertical ? WindowPt.y : WindowPt.x;
    int StartOffset = OnThumb ? (G.Vertical ? G.Thumb.Top - G.Track.Top : G.Thumb.Left - G.Track.Left) : 0;
    if (OnThumb) {
        W.Bars[Bar].Tracking = true;
        W.Bars[Bar].TrackPos = StartPos;
    }
    SetCapture(Wnd);
    TMsg M;
    bool Quit = false;
    while (Find(Wnd) && GetCapture() == Wnd) {
        if (!GetMessage(M, nullptr, 0, 0)) {
            Quit = true;
            break;
        }
        bool Mouse = (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
                     (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCRBUTTONUP);
        if (!Mouse) {
            TranslateMessage(M);
            DispatchMessage(M);
            continue;
        }
        if (M.message == WM_LBUTTONUP || M.message == WM_NCLBUTTONUP) break;
        if ((M.message == WM_MOUSEMOVE || M.message == WM_NCMOUSEMOVE) && OnThumb) {
            TWindow* Now = Find(Wnd);
            if (!Now) break;
            TPoint P = WindowPointOf(*Now, M.pt);
            int Mouse1 = G.Vertical ? P.y : P.x;
            int Offset = std::clamp(StartOffset + Mouse1 - StartMouse, 0, G.Movable);
            const TScrollBarState& NB = Now->Bars[Bar];
            int Pos =
                G.Movable > 0
                    ? NB.Min + static_cast<int>(
                                   (static_cast<int64_t>(Offset) * PosRange(NB) + G.Movable / 2) / G.Movable)
                    : NB.Min;
            if (Pos != NB.TrackPos) {
                Now->Bars[Bar].TrackPos = Pos;
                InvalidateFrame(*Now);
                Send(*Now, Msg, MakeWParam(SB_THUMBTRACK, Pos), 0);
            }
        }
    }
    if (GetCapture() == Wnd) ReleaseCapture();
    if (TWindow* Now = Find(Wnd)) {
        if (OnThumb) {
            int Pos = Now->Bars[Bar].TrackPos;
            Now->Bars[Bar].Tracking = false;
            Send(*Now, Msg, MakeWParam(SB_THUMBPOSITION, Pos), 0);
        }
        if (Find(Wnd)) Send(*Now, Msg, MakeWParam(SB_ENDSCROLL, 0), 0);
    }
    if (Quit) PostQuitMessage(static_cast<int>(M.wParam));
}

}  // namespace wm

using namespace wm;

int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw) {
    TWindow* W = Find(Wnd);
    if (!W || (Bar != SB_HORZ && Bar != SB_VERT)) return 0;
    TScrollBarState& B = W->Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        B.Min = Info.nMin;
        B.Max = std::max(Info.nMin, Info.nMax);
    }
    if (Info.fMask & SIF_PAGE) B.Page = Info.nPage;
    if (B.Page > static_cast<UINT>(B.Max - B.Min + 1)) B.Page = static_cast<UINT>(B.Max - B.Min + 1);
    if (Info.fMask & SIF_POS) B.Pos = Info.nPos;
    B.Pos = ClampPos(B, B.Pos);
    if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
        if (Needed(B)) {
            if (B.Disabled == ESB_DISABLE_BOTH) B.Disabled = ESB_ENABLE_BOTH;
            ApplyVisibility(*W, Bar, true);
        } else if (Info.fMask & SIF_DISABLENOSCROLL) {
            B.Disabled = ESB_DISABLE_BOTH;
        } else {
            ApplyVisibility(*W, Bar, false);
        }
    }
    if ((W = Find(Wnd)) && Redraw) InvalidateFrame(*W);
    return W ? W->Bars[Bar].Pos : 0;
}

bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info) {
    TWindow* W = Find(Wnd);
    if (!W || (Bar != SB_HORZ && Bar != SB_VERT)) return false;
    const TScrollBarState& B = W->Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        Info.nMin = B.Min;
        Info.nMax = B.Max;
    }
    if (Info.fMask & SIF_PAGE) Info.nPage = B.Page;
    if (Info.fMask & SIF_POS) Info.nPos = B.Pos;
    if (Info.fMask & SIF_TRACKPOS) Info.nTrackPos = B.Tracking ? B.TrackPos : B.Pos;
    return true;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw) {
    TWindow* W = Find(Wnd);
    if (!W || (Bar != SB_HORZ && Bar != SB_VERT)) return 0;
    int Old = W->Bars[Bar].Pos;
    TScrollInfo Info;
    Info.fMask = SIF_POS;
    Info.nPos = Pos;
    SetScrollInfo(Wnd, Bar, Info, Redraw);
    return Old;
}

int GetScrollPos(HWND Wnd, int Bar) {
    TScrollInfo Info;
    Info.fMask = SIF_POS;
    return GetScrollInfo(Wnd, Bar, Info) ? Info.nPos : 0;
}

bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw) {
    TScrollInfo Info;
    Info.fMask = SIF_RANGE;
    Info.nMin = Min;
    Info.nMax = Max;
    return Find(Wnd) && (SetScrollInfo(Wnd, Bar, Info, Redraw), true);
}

bool GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max) {
    TScrollInfo Info;
    Info.fMask = SIF_RANGE;
    if (!GetScrollInfo(Wnd, Bar, Info)) return false;
    Min = Info.nMin;
    Max = Info.nMax;
    return true;
}

bool ShowScrollBar(HWND Wnd, int Bar, bool Show) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (Bar == SB_HORZ || Bar == SB_BOTH) ApplyVisibility(*W, SB_HORZ, Show);
    if ((W = Find(Wnd)) && (Bar == SB_VERT || Bar == SB_BOTH)) ApplyVisibility(*W, SB_VERT, Show);
    return W != nullptr;
}

bool EnableScrollBar(HWND Wnd, int Bar, UINT Arrows) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (Bar == SB_HORZ || Bar == SB_BOTH) W->Bars[SB_HORZ].Disabled = Arrows;
    if (Bar == SB_VERT || Bar == SB_BOTH) W->Bars[SB_VERT].Disabled = Arrows;
    InvalidateFrame(*W);
    return true;
}
