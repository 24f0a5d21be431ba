// Edges and frame controls: the bevelled looks of buttons, check boxes,
// radio buttons and scroll arrows, drawn from the system colours.
#include <algorithm>
#include <cmath>

#include "platform/gfx/CanvasImpl.h"

namespace {

void Fill(TCanvasImpl& F, const TRect& R, TColorRef Color) {
    TBrushPaint b;
    b.K = TBrushPaint::Solid;
    b.Color = F.ToPixel(Color);
    F.RectBrush(R, b, R2_COPYPEN);
}

// One ring of an edge: the top and left sides in TopLeft, the bottom and
// right sides (with the two corners they share with the others) in BottomRight.
void Ring(TCanvasImpl& F, const TRect& R, uint32_t Sides, TColorRef TopLeft, TColorRef BottomRight) {
    if (IsRectEmpty(R)) return;
    if (Sides & BF_TOP) Fill(F, {R.Left, R.Top, R.Right - ((Sides & BF_RIGHT) ? 1 : 0), R.Top + 1}, TopLeft);
    if (Sides & BF_LEFT)
        Fill(F, {R.Left, R.Top, R.Left + 1, R.Bottom - ((Sides & BF_BOTTOM) ? 1 : 0)}, TopLeft);
    if (Sides & BF_BOTTOM) Fill(F, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, BottomRight);
    if (Sides & BF_RIGHT) Fill(F, {R.Right - 1, R.Top, R.Right, R.Bottom}, BottomRight);
}

void Shrink(TRect& R, uint32_t Sides) {
    if (Sides & BF_LEFT) ++R.Left;
    if (Sides & BF_TOP) ++R.Top;
    if (Sides & BF_RIGHT) --R.Right;
    if (Sides & BF_BOTTOM) --R.Bottom;
}

// A filled triangle pointing in a direction, centred in R: the arrows of
// scroll bars and combo boxes.
void Arrow(TCanvasImpl& F, const TRect& R, int Direction, TColorRef Color) {
    int size = std::max(1, std::min(R.Width(), R.Height()) / 4);  // half the base
    int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
    for (int i = 0; i <= size; ++i) {
        int half = size - i;
        switch (Direction) {
        case DFCS_SCROLLUP:
            Fill(F, {cx - i - 1, cy - size / 2 + i, cx + i, cy - size / 2 + i + 1}, Color);
            break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX:
            Fill(F,
                 {cx - half - 1, cy - size / 2 + (size - half), cx + half, cy - size / 2 + (size - half) + 1},
                 Color);
            break;
        case DFCS_SCROLLLEFT:
            Fill(F, {cx - size / 2 + i, cy - i - 1, cx - size / 2 + i + 1, cy + i}, Color);
            break;
        default:
            Fill(F,
                 {cx - size / 2 + (size - half), cy - half - 1, cx - size / 2 + (size - half) + 1, cy + half},
                 Color);
            break;
        }
    }
}

}  // namespace

bool TCanvas::DrawEdge(TRect& R, uint32_t Edge, uint32_t Flags) {
    TRect d = LPtoDP(R);
    F->Changing();
    uint32_t sides = Flags & BF_RECT;
    bool flat = Flags & BF_FLAT, mono = Flags & BF_MONO;
    // Colours of the outer and inner rings, top-left and bottom-right.
    TColorRef outerTL, outerBR, innerTL, innerBR;
    if (mono) {
        outerTL = outerBR = GetSysColor(COLOR_WINDOWFRAME);
        innerTL = innerBR = GetSysColor(COLOR_WINDOW);
    } else if (flat) {
        outerTL = outerBR = GetSysColor(COLOR_BTNSHADOW);
        innerTL = innerBR = GetSysColor(COLOR_BTNFACE);
    } else {
        outerTL = (Edge & BDR_RAISEDOUTER) ? GetSysColor(COLOR_3DLIGHT) : GetSysColor(COLOR_BTNSHADOW);
        outerBR = (Edge & BDR_RAISEDOUTER) ? GetSysColor(COLOR_3DDKSHADOW) : GetSysColor(COLOR_BTNHIGHLIGHT);
        innerTL = (Edge & BDR_RAISEDINNER) ? GetSysColor(COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_3DDKSHADOW);
        innerBR = (Edge & BDR_RAISEDINNER) ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_3DLIGHT);
        if (Flags & BF_SOFT) {
            std::swap(outerTL, innerTL);
        }
    }
    bool outer = Edge & BDR_OUTER, inner = Edge & BDR_INNER;
    TRect r = d;
    if (outer) {
        Ring(*F, r, sides, outerTL, outerBR);
        Shrink(r, sides);
    }
    if (inner) {
        Ring(*F, r, sides, innerTL, innerBR);
        Shrink(r, sides);
    }
    if (Flags & BF_MIDDLE) Fill(*F, r, GetSysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE));
    if (Flags & BF_ADJUST) R = DPtoLP(r);
    F->Changed();
    return true;
}

bool TCanvas::DrawFrameControl(TRect& R, uint32_t Type, uint32_t State) {
    TRect d = LPtoDP(R);
    if (IsRectEmpty(d)) return false;
    F->Changing();
    TColorRef face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT),
              window = GetSysColor(COLOR_WINDOW), gray = GetSysColor(COLOR_GRAYTEXT),
              hilite = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    bool pushed = State & DFCS_PUSHED, checked = State & DFCS_CHECKED, inactive = State & DFCS_INACTIVE;
    bool flat = State & DFCS_FLAT, mono = State & DFCS_MONO;
    uint32_t kind = State & 0xFF;
    auto edge = [&](TRect& r, uint32_t e) {
        TRect l = DPtoLP(r);
        DrawEdge(l, e,
                 BF_RECT | BF_ADJUST | (flat ? uint32_t(BF_FLAT) : 0u) | (mono ? uint32_t(BF_MONO) : 0u));
        r = LPtoDP(l);
    };
    if (Type == DFC_BUTTON && (kind & DFCS_BUTTONPUSH)) {
        TRect r = d;
        if (pushed || checked) {
            edge(r, EDGE_SUNKEN);
            if (checked && !pushed) {
                // A checked push button shows the dither of a pressed toggle.
                for (int y = r.Top; y < r.Bottom; ++y)
                    for (int x = r.Left; x < r.Right; ++x)
                        Fill(*F, {x, y, x + 1, y + 1}, ((x + y) & 1) ? hilite : face);
            } else {
                Fill(*F, r, face);
            }
        } else {
            edge(r, EDGE_RAISED);
            Fill(*F, r, face);
        }
        if (State & DFCS_ADJUSTRECT) R = DPtoLP(r);
    } else if (Type == DFC_BUTTON &&
               (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))) {
        // A 12-pixel round box, scaled to the smaller side of the rectangle.
        int size = std::min(d.Width(), d.Height());
        TRect b{d.Left + (d.Width() - size) / 2, d.Top + (d.Height() - size) / 2, 0, 0};
        b.Right = b.Left + size;
        b.Bottom = b.Top + size;
        auto disc = [&](const TRect& box, TColorRef c, bool TopLeftHalf, bool Half) {
            for (int y = box.Top; y < box.Bottom; ++y) {
                double cy = (box.Top + box.Bottom) / 2.0, cx = (box.Left + box.Right) / 2.0,
                       rr = box.Width() / 2.0;
                double dy = y + 0.5 - cy;
                if (std::abs(dy) > rr) continue;
                double half = std::sqrt(rr * rr - dy * dy);
                int l = int(std::ceil(cx - half - 0.5)), r = int(std::floor(cx + half - 0.5)) + 1;
                for (int x = l; x < r; ++x) {
                    if (Half) {
                        bool tl = (x + 0.5 - cx) + (y + 0.5 - cy) < 0;
                        if (tl != TopLeftHalf) continue;
                    }
                    Fill(*F, {x, y, x + 1, y + 1}, c);
                }
            }
        };
        if (kind & DFCS_BUTTONRADIOMASK) {
            disc(b, 0x000000, false, false);
        } else if (flat || mono) {
            disc(b, mono ? 0x000000 : shadow, false, false);
            TRect in = b;
            InflateRect(in, -1, -1);
            disc(in, inactive || pushed ? face : window, false, false);
        } else {
            disc(b, shadow, true, true);
            disc(b, hilite, false, true);
            TRect in = b;
            InflateRect(in, -1, -1);
            disc(in, GetSysColor(COLOR_3DDKSHADOW), true, true);
            disc(in, face, false, true);
            InflateRect(in, -1, -1);
            disc(in, inactive || pushed ? face : window, false, false);
        }
        if (checked && !(kind & DFCS_BUTTONRADIOMASK)) {
            TRect dot = b;
            InflateRect(dot, -(size * 4 / 12), -(size * 4 / 12));
            disc(dot, inactive ? gray : text, false, false);
        }
    } else if (Type == DFC_BUTTON) {
        // Check box and three-state box: a sunken square with a tick.
        int size = std::min(d.Width(), d.Height());
        TRect b{d.Left + (d.Width() - size) / 2, d.Top + (d.Height() - size) / 2, 0, 0};
        b.Right = b.Left + size;
        b.Bottom = b.Top + size;
        TRect r = b;
        if (flat || mono) {
            TRect l = DPtoLP(r);
            DrawEdge(l, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_FLAT | (mono ? uint32_t(BF_MONO) : 0u));
            r = LPtoDP(l);
        } else {
            edge(r, EDGE_SUNKEN);
        }
        bool third = (kind & DFCS_BUTTON3STATE) && checked;
        TColorRef back = (inactive || pushed) ? face : window;
        if (third && !pushed) {
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    Fill(*F, {x, y, x + 1, y + 1}, ((x + y) & 1) ? face : hilite);
        } else {
            Fill(*F, r, back);
        }
        if (checked) {
            // The tick: a short stroke down and a long stroke up, three pixels thick.
            TColorRef c = (inactive || third) ? gray : text;
            int w = r.Width(), h = r.Height();
            int x0 = r.Left + (w - 7) / 2, y0 = r.Top + (h - 7) / 2 + 2;
            for (int i = 0; i < 7; ++i) {
                int y = i < 3 ? y0 + i : y0 + 4 - i;
                Fill(*F, {x0 + i, y, x0 + i + 1, y + 3}, c);
            }
        }
    } else if (Type == DFC_SCROLL) {
        TRect r = d;
        if (kind == DFCS_SCROLLSIZEGRIP) {
            Fill(*F, r, face);
            for (int k = 0; k < 3; ++k) {
                int off = 4 * k + 1;
                for (int i = 0; i < r.Width() - off; ++i) {
                    Fill(*F,
                         {r.Right - 1 - i, r.Bottom - off - (r.Width() - off) + i, r.Right - i,
                          r.Bottom - off - (r.Width() - off) + i + 1},
                         hilite);
                }
            }
        } else {
            if (pushed && !flat) edge(r, BDR_SUNKENOUTER | BDR_SUNKENINNER);
            else if (pushed) edge(r, BDR_SUNKENOUTER);
            else edge(r, EDGE_RAISED);
            Fill(*F, r, face);
            TRect a = d;
            if (pushed) OffsetRect(a, 1, 1);
            if (inactive) {
                TRect a1 = a;
                OffsetRect(a1, 1, 1);
                Arrow(*F, a1, int(kind), hilite);
                Arrow(*F, a, int(kind), gray);
            } else {
                Arrow(*F, a, int(kind), text);
            }
        }
    } else if (Type == DFC_CAPTION) {
        TRect r = d;
        edge(r, pushed ? EDGE_SUNKEN : EDGE_RAISED);
        Fill(*F, r, face);
        TColorRef c = inactive ? gray : text;
        TRect g = d;
        InflateRect(g, -d.Width() / 4, -d.Height() / 4);
        if (pushed) OffsetRect(g, 1, 1);
        if (kind == DFCS_CAPTIONCLOSE) {
            for (int i = 0; i < g.Height(); ++i) {
                int x1 = g.Left + i * g.Width() / std::max(1, g.Height());
                Fill(*F, {x1, g.Top + i, x1 + 2, g.Top + i + 1}, c);
                int x2 = g.Right - 2 - i * g.Width() / std::max(1, g.Height());
                Fill(*F, {x2, g.Top + i, x2 + 2, g.Top + i + 1}, c);
            }
        } else if (kind == DFCS_CAPTIONMIN) {
            Fill(*F, {g.Left, g.Bottom - 2, g.Right - 2, g.Bottom}, c);
        } else {
            Fill(*F, {g.Left, g.Top, g.Right, g.Top + 2}, c);
            Fill(*F, {g.Left, g.Top, g.Left + 1, g.Bottom}, c);
            Fill(*F, {g.Right - 1, g.Top, g.Right, g.Bottom}, c);
            Fill(*F, {g.Left, g.Bottom - 1, g.Right, g.Bottom}, c);
        }
    } else {
        F->Changed();
        return false;
    }
    F->Changed();
    return true;
}
