// Invalidation, WM_PAINT and its order, device contexts on the top-level
// surfaces, scrolling of window contents, the non-client frame, and handing
// changed pixels to the display.
#include <algorithm>
#include <cstring>

#include "platform/win/Display.h"
#include "platform/win/WindowTree.h"

namespace wm {
namespace {

struct TDCRecord {
    std::unique_ptr<TCanvas> Canvas;
    HWND Wnd = nullptr;
    HWND Top = nullptr;
    uint64_t Generation = 0;
    TRect Box;  // what the context can touch, in surface coordinates
};

struct TPaintState {
    std::vector<TDCRecord> DCs;
    bool MaybeDirty = false;  // some window may wait for WM_PAINT
    TSurface Scratch{1, 1};
};

TPaintState& P() {
    static TPaintState State;
    return State;
}

enum class TChildMode { None, Default, All };

void InvalidateTree(TWindow& W, const TRegion& Area, bool Erase, TChildMode Mode, bool Frame) {
    TRegion Part = Area.Intersected(ClientRect(W));
    if (!Part.Empty()) {
        W.Update = TRegion::Combine(W.Update, Part, RGN_OR);
        if (Erase) W.EraseNeeded = true;
        P().MaybeDirty = true;
    }
    if (Mode == TChildMode::None) return;
    if (Mode == TChildMode::Default && (W.Style & WS_CLIPCHILDREN)) return;
    if (Part.Empty()) return;
    for (TWindow* C : W.Children) {
        if (!(C->Style & WS_VISIBLE)) continue;
        TRegion InChild = TRegion::Combine(Part, CoveredArea(*C), RGN_AND);
        if (InChild.Empty()) continue;
        InChild.Offset(-C->Bounds.Left, -C->Bounds.Top);
        TInsets I = NonClientInsets(*C);
        TRect ClientInWindow = ClientRect(*C);
        OffsetRect(ClientInWindow, I.Left, I.Top);
        if (Frame || !TRegion::Combine(InChild, TRegion(ClientInWindow), RGN_DIFF).Empty()) {
            C->FrameNeeded = true;
            P().MaybeDirty = true;
        }
        InChild.Offset(-I.Left, -I.Top);
        InvalidateTree(*C, InChild, Erase, Mode, Frame);
    }
}

void ValidateTree(TWindow& W, const TRegion* Area, TChildMode Mode) {
    if (Area) W.Update = TRegion::Combine(W.Update, *Area, RGN_DIFF);
    else W.Update.Clear();
    if (W.Update.Empty()) W.EraseNeeded = false;
    if (Mode == TChildMode::None || (Mode == TChildMode::Default && (W.Style & WS_CLIPCHILDREN))) return;
    for (TWindow* C : W.Children) {
        if (!Area) {
            ValidateTree(*C, nullptr, Mode);
            continue;
        }
        TRegion InChild = *Area;
        TInsets I = NonClientInsets(*C);
        InChild.Offset(-C->Bounds.Left - I.Left, -C->Bounds.Top - I.Top);
        ValidateTree(*C, &InChild, Mode);
    }
}

bool NeedsPaint(const TWindow& W) { return (!W.Update.Empty() || W.FrameNeeded) && !W.RedrawOff; }

TWindow* FindPaint(TWindow& W, HWND Filter) {
    if (!(W.Style & WS_VISIBLE) || W.RedrawOff) return nullptr;
    if (NeedsPaint(W) && (!Filter || W.Handle == Filter)) return &W;
    for (auto It = W.Children.rbegin(); It != W.Children.rend(); ++It)
        if (TWindow* Found = FindPaint(**It, Filter)) return Found;
    return nullptr;
}

HDC MakeDC(TWindow& W, bool Client, const TRegion* ClientClip) {
    TWindow* Top = TopLevelOf(&W);
    TPoint Origin = Client ? ClientOriginOnSurface(W) : WindowOriginOnSurface(W);
    TRegion Visible = VisibleRegion(W, Client, (W.Style & WS_CLIPCHILDREN) != 0);
    if (ClientClip) {
        TRegion Extra = *ClientClip;
        Extra.Offset(Origin.x, Origin.y);
        Visible = TRegion::Combine(Visible, Extra, RGN_AND);
    }
    TDCRecord R;
    R.Canvas = std::make_unique<TCanvas>(Top->Surface.get());
    R.Wnd = W.Handle;
    R.Top = Top->Handle;
    R.Box = Visible.Box();
    Visible.Offset(-Origin.x, -Origin.y);
    R.Canvas->SetDeviceOrigin(Origin);
    R.Canvas->SetDeviceClip(&Visible);
    R.Generation = Top->Surface ? Top->Surface->Generation() : 0;
    HDC DC = R.Canvas.get();
    P().DCs.push_back(std::move(R));
    return DC;
}

TDCRecord* FindDC(HDC DC) {
    for (TDCRecord& R : P().DCs)
        if (R.Canvas.get() == DC) return &R;
    return nullptr;
}

// Moves the pixels of the surface that land in Dest (surface coordinates)
// from Dest offset back by (Dx, Dy), reading every source pixel before any is written.
void MovePixels(TSurface& S, const TRegion& Dest, int Dx, int Dy) {
    if (Dest.Empty() || S.Empty()) return;
    TRect Box = Dest.Box();
    TRect Source = Box;
    OffsetRect(Source, -Dx, -Dy);
    TRect Bounds(0, 0, S.Width(), S.Height());
    TRect Readable;
    if (!IntersectRect(Readable, Source, Bounds)) return;
    int W = Box.Width(), H = Box.Height();
    std::vector<uint32_t> Copy(static_cast<size_t>(W) * static_cast<size_t>(H));
    for (int Y = 0; Y < H; ++Y) {
        int SY = Source.Top + Y;
        if (SY < 0 || SY >= S.Height()) continue;
        int X0 = std::max(Source.Left, 0), X1 = std::min(Source.Right, S.Width());
        if (X1 > X0) S.ReadSpan(X0, SY, X1 - X0, &Copy[static_cast<size_t>(Y) * W + (X0 - Source.Left)]);
    }
    for (const TRect& R : Dest.Rects()) {
        TRect D;
        if (!IntersectRect(D, R, Bounds)) continue;
        for (int Y = D.Top; Y < D.Bottom; ++Y)
            S.WriteSpan(D.Left, Y, D.Width(),
                        &Copy[static_cast<size_t>(Y - Box.Top) * W + (D.Left - Box.Left)]);
    }
    S.Touch();
}

}  // namespace

void SurfaceResized(TWindow& Top) {
    if (!Top.Surface) return;
    Top.Surface->Reset(Top.Bounds.Width(), Top.Bounds.Height(), TSurfaceFormat::Xrgb32,
                       ColorRefToPixel(ColorToRGB(clBtnFace)));
    Top.Dirty = TRect(0, 0, Top.Bounds.Width(), Top.Bounds.Height());
    // Contexts on the old pixels would draw into freed memory: point them at the new ones.
    for (TDCRecord& R : P().DCs)
        if (R.Top == Top.Handle) R.Canvas->SetSurface(Top.Surface.get());
}

void MarkDirty(TWindow& Top, const TRect& SurfaceRect) {
    TRect R;
    if (!IntersectRect(R, SurfaceRect, TRect(0, 0, Top.Bounds.Width(), Top.Bounds.Height()))) return;
    if (IsRectEmpty(Top.Dirty)) Top.Dirty = R;
    else UnionRect(Top.Dirty, Top.Dirty, R);
}

void PresentDirty() {
    for (TWindow* T : TopLevels()) {
        if (IsRectEmpty(T->Dirty)) continue;
        TRect D = T->Dirty;
        T->Dirty = TRect();
        if (T->DisplayMapped && (T->Style & WS_VISIBLE) && T->Surface)
            CurrentDisplay().Present(T->Handle, *T->Surface, D);
    }
}

void ForgetWindowDCs(TWindow& W) {
    auto& DCs = P().DCs;
    DCs.erase(std::remove_if(DCs.begin(), DCs.end(), [&](const TDCRecord& R) { return R.Wnd == W.Handle; }),
              DCs.end());
}

TWindow* NextWindowToPaint(HWND Filter) {
    if (!P().MaybeDirty) return nullptr;
    for (auto It = TopLevels().rbegin(); It != TopLevels().rend(); ++It)
        if (TWindow* Found = FindPaint(**It, Filter)) return Found;
    if (!Filter) P().MaybeDirty = false;
    return nullptr;
}

void PaintOne(TWindow& W) {
    HWND H = W.Handle;
    if (W.FrameNeeded) {
        W.FrameNeeded = false;
        Send(W, WM_NCPAINT, 1, 0);
        if (!Find(H)) return;
    }
    if (W.Update.Empty()) return;
    W.PaintValidated = false;
    Send(W, WM_PAINT, 0, 0);
    if (TWindow* Still = Find(H); Still && !Still->PaintValidated) {
        Still->Update.Clear();
        Still->EraseNeeded = false;
    }
}

void InvalidateInternal(TWindow& W, const TRegion& ClientArea, bool Erase, bool Children) {
    InvalidateTree(W, ClientArea, Erase, Children ? TChildMode::Default : TChildMode::None, false);
}

void InvalidateFrame(TWindow& W) {
    W.FrameNeeded = true;
    P().MaybeDirty = true;
}

// The frame, caption and scroll bars, drawn at the canvas's logical (0, 0).
static void DrawFrame(TWindow& W, TCanvas& C) {
    TRect R(0, 0, W.Bounds.Width(), W.Bounds.Height());
    TBrush Face;
    Face.SetColor(clBtnFace);
    if ((W.Style & WS_THICKFRAME) || (W.Style & WS_DLGFRAME) || (W.ExStyle & WS_EX_DLGMODALFRAME)) {
        int Border =
            (W.Style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME);
        C.DrawEdge(R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        C.Brush()->SetColor(clBtnFace);
        for (int K = 2; K < Border; ++K) {
            C.FrameRect(R);
            InflateRect(R, -1, -1);
        }
    } else if (W.Style & WS_BORDER) {
        C.Brush()->SetColor(clWindowFrame);
        C.FrameRect(R);
        InflateRect(R, -1, -1);
    }
    if (W.ExStyle & WS_EX_CLIENTEDGE) C.DrawEdge(R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (W.ExStyle & WS_EX_STATICEDGE) C.DrawEdge(R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if ((W.Style & WS_CAPTION) == WS_CAPTION) {
        int H = GetSystemMetrics(SM_CYCAPTION);
        TRect Bar(R.Left, R.Top, R.Right, R.Top + H - 1);
        bool Active = GetActiveWindow() == TopLevelOf(&W)->Handle;
        TBrush Back;
        Back.SetColor(Active ? clActiveCaption : clInactiveCaption);
        C.FillRect(Bar, Back);
        C.FillRect(TRect(R.Left, Bar.Bottom, R.Right, Bar.Bottom + 1), Face);
        TRect Text = Bar;
        Text.Left += 4;
        if (W.Style & WS_SYSMENU) {
            TRect Box(Bar.Right - H + 1, Bar.Top + 2, Bar.Right - 2, Bar.Bottom - 2);
            Text.Right = Box.Left - 2;
            C.DrawFrameControl(Box, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        }
        C.Font()->SetStyle({fsBold});
        C.SetTextColor(Active ? clCaptionText : clInactiveCaptionText);
        C.SetBkMode(TRANSPARENT);
        C.DrawText(W.Text, Text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    DrawScrollBars(W, C);
}

void DrawNonClient(TWindow& W) {
    TInsets I = NonClientInsets(W);
    if (I.Left == 0 && I.Top == 0 && I.Right == 0 && I.Bottom == 0) return;
    TWindow* Top = TopLevelOf(&W);
    if (!Top->Surface) return;
    TPoint Origin = WindowOriginOnSurface(W);
    TRegion Visible = VisibleRegion(W, false, false);
    TRect Client = ClientRect(W);
    OffsetRect(Client, Origin.x + I.Left, Origin.y + I.Top);
    Visible = TRegion::Combine(Visible, TRegion(Client), RGN_DIFF);
    if (Visible.Empty()) return;
    TRect Box = Visible.Box();
    Visible.Offset(-Origin.x, -Origin.y);
    TCanvas C(Top->Surface.get());
    C.SetDeviceOrigin(Origin);
    C.SetDeviceClip(&Visible);
    DrawFrame(W, C);
    Top->Surface->Touch();
    MarkDirty(*Top, Box);
}

}  // namespace wm

using namespace wm;

bool RedrawWindow(HWND Wnd, const TRect* R, const TRegion* Region, UINT Flags) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    TRegion Area = Region ? *Region : R ? TRegion(*R) : TRegion(ClientRect(*W));
    TChildMode Mode = (Flags & RDW_ALLCHILDREN)  ? TChildMode::All
                      : (Flags & RDW_NOCHILDREN) ? TChildMode::None
                                                 : TChildMode::Default;
    if (Flags & RDW_INVALIDATE) {
        if (Flags & RDW_FRAME) InvalidateFrame(*W);
        InvalidateTree(*W, Area, (Flags & RDW_ERASE) != 0, Mode, (Flags & RDW_FRAME) != 0);
    }
    if (Flags & RDW_VALIDATE) ValidateTree(*W, (Region || R) ? &Area : nullptr, Mode);
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow(Wnd);
    return true;
}

bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase) {
    return RedrawWindow(Wnd, R, nullptr, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0u));
}

bool InvalidateRgn(HWND Wnd, const TRegion* Region, bool Erase) {
    return RedrawWindow(Wnd, nullptr, Region, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0u));
}

bool ValidateRect(HWND Wnd, const TRect* R) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (R) {
        TRegion Area(*R);
        ValidateTree(*W, &Area, TChildMode::None);
    } else {
        ValidateTree(*W, nullptr, TChildMode::None);
    }
    return true;
}

bool ValidateRgn(HWND Wnd, const TRegion* Region) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    ValidateTree(*W, Region, TChildMode::None);
    return true;
}

static void UpdateTree(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W || !(W->Style & WS_VISIBLE) || W->RedrawOff) return;
    if (NeedsPaint(*W)) PaintOne(*W);
    W = Find(Wnd);
    if (!W) return;
    std::vector<HWND> Kids;
    for (auto It = W->Children.rbegin(); It != W->Children.rend(); ++It) Kids.push_back((*It)->Handle);
    for (HWND K : Kids) UpdateTree(K);
}

bool UpdateWindow(HWND Wnd) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (IsShowing(*W)) UpdateTree(Wnd);
    PresentDirty();
    return true;
}

bool GetUpdateRect(HWND Wnd, TRect* R, bool) {
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (R) *R = W->Update.Box();
    return !W->Update.Empty();
}

int GetUpdateRgn(HWND Wnd, TRegion& Region, bool) {
    TWindow* W = Find(Wnd);
    if (!W) return RGN_ERROR;
    Region = W->Update;
    return Region.Kind();
}

HDC BeginPaint(HWND Wnd, TPaintStruct& Paint) {
    Paint = TPaintStruct();
    TWindow* W = Find(Wnd);
    if (!W) return nullptr;
    W->PaintValidated = true;
    ++W->PaintDepth;
    CaretHide(*W);
    TRegion Area = W->Update;
    bool Erase = W->EraseNeeded;
    W->Update.Clear();
    W->EraseNeeded = false;
    HDC DC = MakeDC(*W, true, &Area);
    Paint.hdc = DC;
    Paint.rcPaint = Area.Box();
    if (Erase) Paint.fErase = Send(*W, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0) == 0;
    return DC;
}

bool EndPaint(HWND Wnd, const TPaintStruct& Paint) {
    if (Paint.hdc) ReleaseDC(Wnd, Paint.hdc);
    TWindow* W = Find(Wnd);
    if (!W) return false;
    if (W->PaintDepth > 0) --W->PaintDepth;
    CaretRestore(*W);
    return true;
}

HDC GetDC(HWND Wnd) {
    if (!Wnd) {
        TDCRecord R;
        R.Canvas = std::make_unique<TCanvas>(&P().Scratch);
        HDC DC = R.Canvas.get();
        P().DCs.push_back(std::move(R));
        return DC;
    }
    TWindow* W = Find(Wnd);
    return W ? MakeDC(*W, true, nullptr) : nullptr;
}

HDC GetWindowDC(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W ? MakeDC(*W, false, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC DC) {
    auto& DCs = P().DCs;
    auto It = std::find_if(DCs.begin(), DCs.end(), [&](const TDCRecord& R) { return R.Canvas.get() == DC; });
    if (It == DCs.end()) return 0;
    if (TWindow* Top = Find(It->Top); Top && Top->Surface && Top->Surface->Generation() != It->Generation)
        MarkDirty(*Top, It->Box);
    DCs.erase(It);
    return 1;
}

HWND WindowFromDC(HDC DC) {
    TDCRecord* R = FindDC(DC);
    return R ? R->Wnd : nullptr;
}

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const TRect* Scroll, const TRect* Clip, TRegion* Update,
                   TRect* UpdateRect, UINT Flags) {
    TWindow* W = Find(Wnd);
    if (!W) return RGN_ERROR;
    TRect Client = ClientRect(*W);
    TRect Area = Client, ClipR = Client;
    if (Scroll) IntersectRect(Area, *Scroll, Client);
    if (Clip) IntersectRect(ClipR, *Clip, Client);
    TPoint Origin = ClientOriginOnSurface(*W);
    TRegion Visible = VisibleRegion(*W, true, (W->Style & WS_CLIPCHILDREN) != 0);
    Visible.Offset(-Origin.x, -Origin.y);
    TRegion Source = Visible.Intersected(Area);
    TRegion Moved = Source;
    Moved.Offset(Dx, Dy);
    Moved = TRegion::Combine(Moved.Intersected(ClipR), Visible, RGN_AND);
    TRegion Uncovered = TRegion::Combine(Visible.Intersected(Area).Intersected(ClipR), Moved, RGN_DIFF);
    TWindow* Top = TopLevelOf(W);
    if (Top->Surface && !Moved.Empty()) {
        CaretHide(*W);
        TRegion OnSurface = Moved;
        OnSurface.Offset(Origin.x, Origin.y);
        MovePixels(*Top->Surface, OnSurface, Dx, Dy);
        MarkDirty(*Top, OnSurface.Box());
        CaretRestore(*W);
    }
    // What was waiting to be painted moves with the pixels.
    TRegion Waiting = W->Update.Intersected(Area);
    if (!Waiting.Empty()) {
        W->Update = TRegion::Combine(W->Update, Waiting, RGN_DIFF);
        Waiting.Offset(Dx, Dy);
        W->Update = TRegion::Combine(W->Update, Waiting.Intersected(ClipR), RGN_OR);
    }
    if (Flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> Kids;
        for (TWindow* C : W->Children)
            if (!Scroll || TRegion(Area).Intersects(C->Bounds)) Kids.push_back(C->Handle);
        for (HWND K : Kids) {
            TWindow* C = Find(K);
            if (!C) continue;
            SetWindowPos(K, nullptr, C->Bounds.Left + Dx, C->Bounds.Top + Dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if ((Flags & SW_INVALIDATE) && !Uncovered.Empty())
        InvalidateInternal(*W, Uncovered, (Flags & SW_ERASE) != 0, true);
    if (Update) *Update = Uncovered;
    if (UpdateRect) *UpdateRect = Uncovered.Box();
    return Uncovered.Kind();
}

bool ScrollWindow(HWND Wnd, int Dx, int Dy, const TRect* Scroll, const TRect* Clip) {
    return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, nullptr, nullptr,
                          SW_INVALIDATE | SW_ERASE | (Scroll ? 0u : static_cast<UINT>(SW_SCROLLCHILDREN))) !=
           RGN_ERROR;
}

bool ScrollDC(HDC DC, int Dx, int Dy, const TRect* Scroll, const TRect* Clip, TRegion* Update,
              TRect* UpdateRect) {
    if (!DC || !DC->Surface()) return false;
    TSurface& S = *DC->Surface();
    TPoint Origin = DC->DeviceOrigin();
    // What the context may touch, in device coordinates.
    TRect Box;
    DC->GetClipBox(Box);
    TRect DevBox = DC->LPtoDP(Box);
    TRegion Visible(DevBox);
    TRegion Clipping;
    if (DC->GetClipRgn(Clipping) == 1) Visible = TRegion::Combine(Visible, Clipping, RGN_AND);
    TRect Area = Scroll ? DC->LPtoDP(*Scroll) : DevBox;
    TRect ClipR = Clip ? DC->LPtoDP(*Clip) : Area;
    TRegion Moved = Visible.Intersected(Area);
    Moved.Offset(Dx, Dy);
    Moved = TRegion::Combine(Moved.Intersected(ClipR), Visible, RGN_AND);
    TRegion Uncovered = TRegion::Combine(Visible.Intersected(Area).Intersected(ClipR), Moved, RGN_DIFF);
    TRegion OnSurface = Moved;
    OnSurface.Offset(Origin.x, Origin.y);
    MovePixels(S, OnSurface, Dx, Dy);
    if (TDCRecord* R = FindDC(DC))
        if (TWindow* Top = Find(R->Top)) MarkDirty(*Top, OnSurface.Box());
    TPoint LogicalOrigin = DC->DPtoLP(TPoint(0, 0));
    Uncovered.Offset(LogicalOrigin.x, LogicalOrigin.y);
    if (Update) *Update = Uncovered;
    if (UpdateRect) *UpdateRect = Uncovered.Box();
    return true;
}

void PaintNonClient(HWND Wnd, TCanvas& Canvas) {
    TWindow* W = Find(Wnd);
    if (!W) return;
    int Saved = Canvas.SaveDC();
    DrawFrame(*W, Canvas);
    Canvas.RestoreDC(Saved);
}

void AdoptDC(TCanvas& Target, HDC DC) {
    if (!DC || !DC->Surface()) {
        Target.SetSurface(nullptr);
        return;
    }
    TSurface* S = DC->Surface();
    TPoint Origin = DC->DeviceOrigin();
    TRegion Visible(TRect(-Origin.x, -Origin.y, S->Width() - Origin.x, S->Height() - Origin.y));
    if (const TRegion* Clip = DC->DeviceClip()) Visible = TRegion::Combine(Visible, *Clip, RGN_AND);
    TRegion Clipping;
    if (DC->GetClipRgn(Clipping) == 1) Visible = TRegion::Combine(Visible, Clipping, RGN_AND);
    TPoint Logical = DC->LPtoDP(TPoint(0, 0));
    Visible.Offset(-Logical.x, -Logical.y);
    TPoint NewOrigin(Origin.x + Logical.x, Origin.y + Logical.y);
    // The context's clip and mapping start afresh; the canvas keeps its tools.
    Target.SetSurface(S);
    Target.ResetDeviceState();
    Target.SetDeviceOrigin(NewOrigin);
    Target.SetDeviceClip(&Visible);
}

const TSurface* WindowSurface(HWND Wnd) {
    TWindow* W = Find(Wnd);
    return W && !W->Parent ? W->Surface.get() : nullptr;
}
