#include "platform/gfx/Types.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

#include "platform/classes/Properties.h"

namespace {

// The classic grey desktop scheme the program was designed on.
constexpr std::array<TColorRef, COLOR_ENDCOLORS + 1> DefaultSysColors = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application work space
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3D dark shadow
    0xC0C0C0,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background
    0xC0C0C0,  // (unused index 25)
    0xFF0000,  // hot-track
    0xD08410,  // gradient of the active caption
    0xB5B5B5,  // gradient of the inactive caption
    0x000000,
};
std::array<TColorRef, COLOR_ENDCOLORS + 1> SysColors = DefaultSysColors;

std::array<int, SM_CMETRICS> DefaultMetrics() {
    std::array<int, SM_CMETRICS> m{};
    m[SM_CXSCREEN] = 1024;
    m[SM_CYSCREEN] = 768;
    m[SM_CXVSCROLL] = 16;
    m[SM_CYHSCROLL] = 16;
    m[SM_CYCAPTION] = 18;
    m[SM_CXBORDER] = 1;
    m[SM_CYBORDER] = 1;
    m[SM_CXDLGFRAME] = 3;
    m[SM_CYDLGFRAME] = 3;
    m[SM_CYVTHUMB] = 16;
    m[SM_CXHTHUMB] = 16;
    m[SM_CXICON] = 32;
    m[SM_CYICON] = 32;
    m[SM_CXCURSOR] = 32;
    m[SM_CYCURSOR] = 32;
    m[SM_CYMENU] = 19;
    m[SM_CXFULLSCREEN] = 1024;
    m[SM_CYFULLSCREEN] = 768 - 18;
    m[SM_CYVSCROLL] = 16;
    m[SM_CXHSCROLL] = 16;
    m[SM_SWAPBUTTON] = 0;
    m[SM_CXFRAME] = 4;
    m[SM_CYFRAME] = 4;
    m[SM_CXDOUBLECLK] = 4;
    m[SM_CYDOUBLECLK] = 4;
    m[SM_CXEDGE] = 2;
    m[SM_CYEDGE] = 2;
    m[SM_CXSMICON] = 16;
    m[SM_CYSMICON] = 16;
    m[SM_CXMENUCHECK] = 13;
    m[SM_CYMENUCHECK] = 13;
    return m;
}
std::array<int, SM_CMETRICS> Metrics = DefaultMetrics();

}  // namespace

TColorRef GetSysColor(int Index) {
    if (Index < 0 || Index > COLOR_ENDCOLORS) return 0;
    return SysColors[size_t(Index)];
}

void SetSysColor(int Index, TColorRef Value) {
    if (Index >= 0 && Index <= COLOR_ENDCOLORS) SysColors[size_t(Index)] = Value & 0xFFFFFF;
}

void ResetSysColors() { SysColors = DefaultSysColors; }

TColorRef ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(int(uint32_t(Color) & 0xFF));
    return TColorRef(Color) & 0xFFFFFF;
}

int GetSystemMetrics(int Index) {
    if (Index < 0 || Index >= SM_CMETRICS) return 0;
    return Metrics[size_t(Index)];
}

void SetSystemMetric(int Index, int Value) {
    if (Index >= 0 && Index < SM_CMETRICS) Metrics[size_t(Index)] = Value;
}

void ResetSystemMetrics() { Metrics = DefaultMetrics(); }

bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

void SetRect(TRect& R, int L, int T, int Rt, int B) { R = {L, T, Rt, B}; }

void SetRectEmpty(TRect& R) { R = {}; }

void InflateRect(TRect& R, int Dx, int Dy) {
    R.Left -= Dx;
    R.Top -= Dy;
    R.Right += Dx;
    R.Bottom += Dy;
}

void OffsetRect(TRect& R, int Dx, int Dy) {
    R.Left += Dx;
    R.Right += Dx;
    R.Top += Dy;
    R.Bottom += Dy;
}

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
    TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
    if (IsRectEmpty(r)) {
        Dest = {};
        return false;
    }
    Dest = r;
    return true;
}

bool UnionRect(TRect& Dest, const TRect& A, const TRect& B) {
    if (IsRectEmpty(A)) {
        Dest = IsRectEmpty(B) ? TRect{} : B;
    } else if (IsRectEmpty(B)) {
        Dest = A;
    } else {
        Dest = {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                std::max(A.Bottom, B.Bottom)};
    }
    return !IsRectEmpty(Dest);
}

bool SubtractRect(TRect& Dest, const TRect& A, const TRect& B) {
    // Only a B that covers A completely along one axis can shrink A.
    TRect r = A;
    TRect i;
    if (IntersectRect(i, A, B)) {
        if (i.Top == A.Top && i.Bottom == A.Bottom) {
            if (i.Left == A.Left) r.Left = i.Right;
            else if (i.Right == A.Right) r.Right = i.Left;
        } else if (i.Left == A.Left && i.Right == A.Right) {
            if (i.Top == A.Top) r.Top = i.Bottom;
            else if (i.Bottom == A.Bottom) r.Bottom = i.Top;
        }
    }
    if (IsRectEmpty(r)) {
        Dest = {};
        return false;
    }
    Dest = r;
    return true;
}

bool PtInRect(const TRect& R, TPoint P) {
    return P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom;
}

bool EqualRect(const TRect& A, const TRect& B) { return A == B; }

void CopyRect(TRect& Dest, const TRect& Source) { Dest = Source; }

TRect NormalizedRect(const TRect& R) {
    return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom)};
}

const TTypeInfo& ColorTypeInfo() {
    // The first name of a value is the one written: clSilver before its
    // alias clLtGray, clGray before clDkGray.
    static const TTypeInfo info =
        MakeIntegerTypeInfo("TColor", INT32_MIN, INT32_MAX,
                            {{clBlack, "clBlack"},
                             {clMaroon, "clMaroon"},
                             {clGreen, "clGreen"},
                             {clOlive, "clOlive"},
                             {clNavy, "clNavy"},
                             {clPurple, "clPurple"},
                             {clTeal, "clTeal"},
                             {clGray, "clGray"},
                             {clSilver, "clSilver"},
                             {clRed, "clRed"},
                             {clLime, "clLime"},
                             {clYellow, "clYellow"},
                             {clBlue, "clBlue"},
                             {clFuchsia, "clFuchsia"},
                             {clAqua, "clAqua"},
                             {clWhite, "clWhite"},
                             {clMoneyGreen, "clMoneyGreen"},
                             {clSkyBlue, "clSkyBlue"},
                             {clCream, "clCream"},
                             {clMedGray, "clMedGray"},
                             {clScrollBar, "clScrollBar"},
                             {clBackground, "clBackground"},
                             {clActiveCaption, "clActiveCaption"},
                             {clInactiveCaption, "clInactiveCaption"},
                             {clMenu, "clMenu"},
                             {clWindow, "clWindow"},
                             {clWindowFrame, "clWindowFrame"},
                             {clMenuText, "clMenuText"},
                             {clWindowText, "clWindowText"},
                             {clCaptionText, "clCaptionText"},
                             {clActiveBorder, "clActiveBorder"},
                             {clInactiveBorder, "clInactiveBorder"},
                             {clAppWorkSpace, "clAppWorkSpace"},
                             {clHighlight, "clHighlight"},
                             {clHighlightText, "clHighlightText"},
                             {clBtnFace, "clBtnFace"},
                             {clBtnShadow, "clBtnShadow"},
                             {clGrayText, "clGrayText"},
                             {clBtnText, "clBtnText"},
                             {clInactiveCaptionText, "clInactiveCaptionText"},
                             {clBtnHighlight, "clBtnHighlight"},
                             {cl3DDkShadow, "cl3DDkShadow"},
                             {cl3DLight, "cl3DLight"},
                             {clInfoText, "clInfoText"},
                             {clInfoBk, "clInfoBk"},
                             {clHotLight, "clHotLight"},
                             {clGradientActiveCaption, "clGradientActiveCaption"},
                             {clGradientInactiveCaption, "clGradientInactiveCaption"},
                             {clNone, "clNone"},
                             {clDefault, "clDefault"},
                             {clLtGray, "clLtGray"},
                             {clDkGray, "clDkGray"}});
    return info;
}
