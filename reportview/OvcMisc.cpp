#include "reportview/OvcMisc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"
#include "platform/win/WindowManager.h"

TCharSet::TCharSet(std::string_view Chars) {
    for (char c : Chars) Include(c);
}

TCharSet& TCharSet::Include(char C) {
    FBits.set(static_cast<unsigned char>(C));
    return *this;
}

TCharSet& TCharSet::IncludeRange(char First, char Last) {
    for (unsigned c = static_cast<unsigned char>(First); c <= static_cast<unsigned char>(Last); ++c)
        FBits.set(c);
    return *this;
}

uint8_t GetShiftFlags() {
    uint8_t flags = 0;
    if (GetKeyState(VK_SHIFT) < 0) flags |= ss_Shift;
    if (GetKeyState(VK_CONTROL) < 0) flags |= ss_Ctrl;
    if (GetKeyState(VK_MENU) < 0) flags |= ss_Alt;
    return flags;
}

int GetLeftButton() { return GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON; }

HWND GetNextDlgItem(HWND Wnd) {
    HWND next = GetWindow(Wnd, GW_HWNDPREV);
    if (!next) next = GetWindow(Wnd, GW_HWNDLAST);
    return next ? next : Wnd;
}

AnsiString GetDisplayString(TCanvas* Canvas, const AnsiString& S, int MinChars, int MaxWidth) {
    const int dots = Canvas->TextWidth("...");
    AnsiString result = S;
    int allowed = MaxWidth;
    bool cut = false;
    while (Canvas->TextWidth(result) > allowed) {
        cut = true;
        allowed = MaxWidth - dots;
        if (static_cast<int>(result.size()) <= MinChars) break;
        result.pop_back();
    }
    if (cut) {
        result += "...";
        for (int i = 0; i < 3 && !result.empty() && Canvas->TextWidth(result) > MaxWidth; ++i)
            result.pop_back();
    }
    return result;
}

AnsiString PathEllipsis(const AnsiString& Path, int MaxWidth) {
    HDC DC = GetDC(nullptr);
    TFont menu;
    GetMenuFont(menu);
    DC->Font()->Assign(&menu);
    auto width = [&](const AnsiString& S) { return DC->TextWidth(S); };
    AnsiString result = Path;
    if (MaxWidth != 0 && width(Path) > MaxWidth) {
        size_t slash = Path.rfind('\\');
        AnsiString folder = slash == AnsiString::npos ? AnsiString() : Path.substr(0, slash);
        AnsiString file = slash == AnsiString::npos ? Path : Path.substr(slash + 1);
        // Folders give way one at a time down to the drive; a path whose folder
        // part is a drive already keeps it and is only cut at its end.
        while (folder.size() > 2) {
            size_t last = folder.rfind('\\');
            folder.resize(last == AnsiString::npos ? 0 : last);
            result = folder + "\\...\\" + file;
            if (width(result) <= MaxWidth) break;
        }
        if (width(result) > MaxWidth) {
            // The system's single-line drawing cuts what is left at its end.
            result.resize(std::min<size_t>(result.size(), 260));
            while (!result.empty() && width(result + "...") > MaxWidth) result.pop_back();
            result += "...";
        }
    }
    ReleaseDC(nullptr, DC);
    return result;
}

std::unique_ptr<TBitmap> LoadBaseBitmap(std::string_view Name) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromResourceName(Name);
    return bitmap;
}

HCURSOR LoadBaseCursor(std::string_view Name) {
    if (HCURSOR cursor = LoadResourceCursor(Name)) return cursor;
    throw EResNotFound("Cursor resource " + AnsiString(Name) + " not found");
}

void GetRGB(TColor Color, uint8_t& Red, uint8_t& Green, uint8_t& Blue) {
    TColorRef rgb = ColorToRGB(Color);
    Red = static_cast<uint8_t>(rgb & 0xFF);
    Green = static_cast<uint8_t>((rgb >> 8) & 0xFF);
    Blue = static_cast<uint8_t>((rgb >> 16) & 0xFF);
}

int DefaultEpoch() {
    int year = 0, month = 0, day = 0;
    DecodeDate(Clock().Now(), year, month, day);
    return year / 100 * 100;
}

AnsiString GenerateComponentName(TComponent* Owner, const AnsiString& BaseName) {
    if (!IsValidIdent(BaseName)) throw EComponentError("'" + BaseName + "' is not a valid component name");
    for (int n = 1;; ++n) {
        AnsiString name = BaseName + IntToStr(n);
        if (!Owner || !Owner->FindComponent(name)) return name;
    }
}

int CompStruct(const void* A, const void* B, size_t Size) {
    if (Size == 0) return 0;
    int c = std::memcmp(A, B, Size);
    return c == 0 ? 0 : (c > 0 ? 1 : -1);
}

ptrdiff_t PtrDiff(const void* P1, const void* P2) {
    return static_cast<const char*>(P1) - static_cast<const char*>(P2);
}

void PtrInc(const void*& P, size_t Delta) { P = static_cast<const char*>(P) + Delta; }
void PtrDec(const void*& P, size_t Delta) { P = static_cast<const char*>(P) - Delta; }

namespace {
// The 0-based start and the length of word N (from 1), or false.
bool FindWord(int N, std::string_view S, const TCharSet& Delimiters, size_t& Start, size_t& Length) {
    int count = 0;
    size_t i = 0;
    while (i < S.size()) {
        while (i < S.size() && Delimiters.Contains(S[i])) ++i;
        if (i >= S.size()) break;
        size_t start = i;
        while (i < S.size() && !Delimiters.Contains(S[i])) ++i;
        if (++count == N) {
            Start = start;
            Length = i - start;
            return true;
        }
    }
    return false;
}
}  // namespace

int WordCount(std::string_view S, const TCharSet& Delimiters) {
    int count = 0;
    bool inWord = false;
    for (char c : S) {
        bool delimiter = Delimiters.Contains(c);
        if (!delimiter && !inWord) ++count;
        inWord = !delimiter;
    }
    return count;
}

int WordPosition(int N, std::string_view S, const TCharSet& Delimiters) {
    size_t start = 0, length = 0;
    return FindWord(N, S, Delimiters, start, length) ? static_cast<int>(start) + 1 : 0;
}

AnsiString ExtractWord(int N, std::string_view S, const TCharSet& Delimiters) {
    size_t start = 0, length = 0;
    return FindWord(N, S, Delimiters, start, length) ? AnsiString(S.substr(start, length)) : AnsiString();
}

bool PartialCompare(std::string_view S1, std::string_view S2) {
    if (S1.empty() || S2.empty()) return false;
    size_t n = std::min(S1.size(), S2.size());
    return AnsiSameText(S1.substr(0, n), S2.substr(0, n));
}

char* FixRealPrim(std::span<char> S, char DecimalChar) {
    if (S.empty()) return S.data();
    size_t room = S.size() - 1;
    std::string text(S.data(), strnlen(S.data(), room));
    auto trim = [&] {
        size_t a = text.find_first_not_of(' ');
        text = a == std::string::npos ? std::string() : text.substr(a, text.find_last_not_of(' ') - a + 1);
    };
    trim();
    if (text.empty()) {
        text = "0";
    } else {
        if (text.back() == DecimalChar) {
            text.pop_back();
            trim();
        }
        size_t point = text.find(DecimalChar);
        if (point != std::string::npos && point > 0) text[point] = '.';
        else point = text.find('.');
        if (point != std::string::npos) {
            if (point + 1 == text.size()) text += '0';
            if (point == 0) {
                text.insert(0, "0");
                ++point;
            } else if (text[point - 1] == '-') {
                text.insert(point, "0");
                ++point;
            }
        }
        size_t e = text.find('E');
        if (e != std::string::npos && e > 0) {
            if (point == std::string::npos) {
                text.insert(e, ".");
                point = e++;
            }
            if (e - point < 12) text.insert(e, "00000");
        }
        if (point != std::string::npos) {
            while (point > 0 && text[point - 1] == ' ') text.erase(--point, 1);
            while (point + 1 < text.size() && text[point + 1] == ' ') text.erase(point + 1, 1);
        }
    }
    size_t n = std::min(text.size(), room);
    std::memcpy(S.data(), text.data(), n);
    S[n] = '\0';
    return S.data();
}

char* FixTextBuffer(const char* Source, std::span<char> Dest, size_t MaxLen) {
    if (Dest.empty()) return Dest.data();
    size_t room = std::min(MaxLen, Dest.size() - 1), out = 0;
    char previous = 0;
    for (const char* s = Source; *s && out < room; previous = *s++) {
        if (*s == '\n' && previous != '\r') {
            Dest[out++] = '\r';
            if (out >= room) break;
        }
        Dest[out++] = *s;
    }
    Dest[out] = '\0';
    return Dest.data();
}

bool IsForegroundTask() { return GetActiveWindow() != nullptr; }

int GetTopTextMargin(TFont* Font, TBorderStyle BorderStyle, int Height, bool Ctl3D) {
    HDC DC = GetDC(nullptr);
    TTextMetric sys, own;
    TFont system;
    GetSystemFont(system);
    DC->Font()->Assign(&system);
    DC->GetTextMetrics(sys);
    DC->Font()->Assign(Font);
    DC->GetTextMetrics(own);
    ReleaseDC(nullptr, DC);
    const int T = std::min(sys.tmHeight, own.tmHeight);
    // Our controls always have the new style of the platform.
    if (BorderStyle == bsNone) return T < Height - 2 ? 0 : (Height - T - 2) / 2 - ((Height - T) & 1);
    if (Ctl3D) return T < Height - 4 ? 1 : (Height - T - 4) / 2 - 1;
    return T < Height - 4 ? 1 : (Height - T - 4) / 2 - ((Height - T) & 1);
}

std::unique_ptr<TFont> CreateRotatedFont(TFont* Font, int Angle) {
    auto rotated = std::make_unique<TFont>();
    TLogFont lf;
    lf.lfHeight = Font->Height();
    lf.lfEscapement = Angle * 10;
    lf.lfOrientation = 0;
    lf.lfWeight = Font->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = Font->Style().Contains(fsItalic);
    lf.lfUnderline = Font->Style().Contains(fsUnderline);
    lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = Font->Pitch() == fpVariable ? VARIABLE_PITCH
                          : Font->Pitch() == fpFixed  ? FIXED_PITCH
                                                      : DEFAULT_PITCH;
    lf.lfFaceName = Font->Name();
    rotated->SetLogFont(lf);
    rotated->SetColor(Font->Color());
    return rotated;
}

TRect DrawButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style) {
    TRect R = Client;
    // Our controls have the platform's new look unless asked for the old one.
    const bool newLook = Style != bsWin31;
    auto frame = [&](TColor TopLeft, TColor BottomRight) { Frame3D(Canvas, R, TopLeft, BottomRight, 1); };
    if (IsDown) {
        if (newLook) {
            frame(clWindowFrame, clBtnHighlight);
            if (!IsFlat) frame(clBtnShadow, clBtnFace);
        } else if (!IsFlat) {
            frame(clWindowFrame, clWindowFrame);
            Canvas->Pen()->SetColor(clBtnShadow);
            Canvas->Pen()->SetWidth(1);
            Canvas->Pen()->SetStyle(psSolid);
            Canvas->MoveTo(R.Left, R.Bottom - 1);
            Canvas->LineTo(R.Left, R.Top);
            Canvas->LineTo(R.Right, R.Top);
        } else {
            frame(clWindowFrame, clBtnHighlight);
        }
    } else if (newLook) {
        if (!IsFlat) {
            frame(clBtnHighlight, clWindowFrame);
            frame(clBtnFace, clBtnShadow);
        } else {
            frame(clBtnHighlight, clBtnShadow);
        }
    } else if (!IsFlat) {
        frame(clWindowFrame, clWindowFrame);
        frame(clBtnHighlight, clBtnShadow);
    } else {
        frame(clBtnHighlight, clWindowFrame);
    }
    InflateRect(R, -1, -1);
    return R;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* Bitmap, TColor MaskColor) {
    const int w = Bitmap->Width(), h = Bitmap->Height();
    auto result = std::make_unique<TBitmap>(w, h);
    TCanvas* dest = result->Canvas();
    dest->Brush()->SetColor(clBtnFace);
    dest->FillRect(TRect(0, 0, w, h));
    const TColorRef mask = ColorToRGB(MaskColor);
    const TCanvas* source = Bitmap->Canvas();
    // The picture is every pixel that is not the mask colour: first its
    // highlight one pixel down and right, then its shadow in place.
    const TColorRef highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (ColorToRGB(source->Pixel(x, y)) == mask) continue;
                if (pass == 0) dest->SetPixel(x + 1, y + 1, static_cast<TColor>(highlight));
                else dest->SetPixel(x, y, static_cast<TColor>(shadow));
            }
    return result;
}

void CopyParentImage(TControl* Control, TCanvas* Dest) {
    TWinControl* parent = Control->Parent();
    if (!parent) return;
    int saved = Dest->SaveDC();
    MoveWindowOrg(Dest, -Control->Left(), -Control->Top());
    Dest->IntersectClipRect(0, 0, parent->ClientWidth(), parent->ClientHeight());
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dest), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dest), 0);
    Dest->RestoreDC(saved);
    const TRect self = Control->BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == Control) break;
        if (dynamic_cast<TWinControl*>(sibling) || !sibling->Visible()) continue;
        TRect overlap;
        if (!IntersectRect(overlap, self, sibling->BoundsRect())) continue;
        saved = Dest->SaveDC();
        MoveWindowOrg(Dest, sibling->Left() - Control->Left(), sibling->Top() - Control->Top());
        Dest->IntersectClipRect(0, 0, sibling->Width(), sibling->Height());
        sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dest), 0);
        Dest->RestoreDC(saved);
    }
}

void DrawTransparentBitmap(TCanvas* Dest, int X, int Y, int Width, int Height, const TRect& Source,
                           TBitmap* Bitmap, TColor TransparentColor) {
    TRect src = IsRectEmpty(Source) ? TRect(0, 0, Bitmap->Width(), Bitmap->Height()) : Source;
    int w = Width != 0 && Height != 0 ? Width : src.Width();
    int h = Width != 0 && Height != 0 ? Height : src.Height();
    const TCanvas* bits = Bitmap->Canvas();
    if (TransparentColor == clNone) {
        Dest->StretchBlt(X, Y, w, h, bits, src.Left, src.Top, src.Width(), src.Height(), SRCCOPY);
        return;
    }
    if (TransparentColor == clDefault) TransparentColor = bits->Pixel(0, Bitmap->Height() - 1);
    Dest->TransparentBlt(X, Y, w, h, bits, src.Left, src.Top, src.Width(), src.Height(), TransparentColor);
}

void TransStretchBlt(TCanvas* DstDC, int DstX, int DstY, int DstW, int DstH, const TCanvas* SrcDC, int SrcX,
                     int SrcY, int SrcW, int SrcH, const TBitmap* Mask, int MaskX, int MaskY) {
    if (DstW <= 0 || DstH <= 0 || SrcW <= 0 || SrcH <= 0) return;
    // Each destination pixel takes the source and mask pixel it falls on,
    // as a nearest-pixel stretch does.
    const TCanvas* mask = Mask->Canvas();
    const TColorRef white = ColorToRGB(clWhite);
    for (int y = 0; y < DstH; ++y)
        for (int x = 0; x < DstW; ++x) {
            int sx = x * SrcW / DstW, sy = y * SrcH / DstH;
            if (ColorToRGB(mask->Pixel(MaskX + sx, MaskY + sy)) == white) continue;
            DstDC->SetPixel(DstX + x, DstY + y, SrcDC->Pixel(SrcX + sx, SrcY + sy));
        }
}

void DebugOutput(const AnsiString& S) {
    std::string line = ToUtf8(S.substr(0, 255)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void OvcHandleException(TObject* Sender) {
    if (Application) {
        Application->HandleException(Sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        DebugOutput(e.what());
    } catch (...) {
        DebugOutput("Unknown exception");
    }
}
