// The "EDIT" window class: one-line and multi-line edits drawn by us.
//
// The text and its selection are a TEditModel; this file adds the window:
// the font, the formatting rectangle and margins, scrolling, the caret, the
// keys and the mouse, the clipboard commands, painting, and the EN_
// notifications to the parent.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>

#include "platform/gfx/Graphics.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/win/EditModel.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/StdWindows.h"

namespace {

struct TEditWindow {
    HWND Wnd = nullptr;
    TEditModel M;
    TFont Font;
    TFont* GivenFont = nullptr;
    TRect Format;
    bool FormatSet = false;
    int LeftMargin = 0, RightMargin = 0;
    char Password = 0;
    bool Modified = false;
    int ScrollX = 0;  // pixels of the lines hidden at the left
    int TopLine = 0;  // the first line shown (multi-line)
    bool Tracking = false;
    int PreferredX = -1;        // the column Up and Down keep to, in pixels
    std::vector<int> TabStops;  // pixels; empty: every 8 average characters
    TEditView* View = nullptr;  // lays out and paints in place of the edit's own lines
    int CaretHeight = 0;
    mutable std::vector<TEditLine> OwnLines;  // the lines when there is no view

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    DWORD ExStyle() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_EXSTYLE)); }
    bool Multi() const { return Style() & ES_MULTILINE; }
    bool Wrap() const {
        return Multi() && !(Style() & (static_cast<DWORD>(ES_AUTOHSCROLL) | static_cast<DWORD>(WS_HSCROLL)));
    }
    bool ReadOnly() const { return Style() & ES_READONLY; }
    bool Focused() const { return GetFocus() == Wnd; }
};

std::unordered_map<HWND, std::unique_ptr<TEditWindow>>& Edits() {
    static std::unordered_map<HWND, std::unique_ptr<TEditWindow>> Map;
    return Map;
}

TEditWindow* Find(HWND Wnd) {
    auto It = Edits().find(Wnd);
    return It == Edits().end() ? nullptr : It->second.get();
}

// --- measuring ---

// A device context with the edit's font, for measuring; let go on destruction.
class TMeasure {
public:
    explicit TMeasure(const TEditWindow& E) : FDC(GetDC(nullptr)), FE(E) {
        if (FDC) FDC->Font()->Assign(const_cast<TFont*>(&E.Font));
    }
    ~TMeasure() {
        if (FDC) ReleaseDC(nullptr, FDC);
    }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;
    int Width(std::string_view S) const {
        if (!FDC || S.empty()) return 0;
        if (FE.Multi() && S.find('\t') != std::string_view::npos)
            return static_cast<int>(LoWord(FDC->GetTabbedTextExtent(S, FE.TabStops)));
        return FDC->TextWidth(S);
    }
    int LineHeight() const {
        TTextMetric TM;
        if (FDC && FDC->GetTextMetrics(TM)) return std::max(1, static_cast<int>(TM.tmHeight));
        return 13;
    }
    int AveCharWidth() const {
        TTextMetric TM;
        if (FDC && FDC->GetTextMetrics(TM)) return std::max(1, static_cast<int>(TM.tmAveCharWidth));
        return 6;
    }

private:
    HDC FDC;
    const TEditWindow& FE;
};

// What the window shows for the text: the password character in place of each character.
AnsiString Shown(const TEditWindow& E) {
    if (E.Password && !E.Multi()) return AnsiString(E.M.Text().size(), E.Password);
    return E.M.Text();
}

TRect FormatRect(const TEditWindow& E) {
    if (E.FormatSet) return E.Format;
    TRect C;
    GetClientRect(E.Wnd, C);
    InflateRect(C, -1, -1);
    return C;
}

// The text area: the formatting rectangle less the margins.
TRect TextArea(const TEditWindow& E) {
    TRect R = FormatRect(E);
    R.Left += E.LeftMargin;
    R.Right -= E.RightMargin;
    if (R.Right < R.Left) R.Right = R.Left;
    return R;
}

// The lines as laid out now; a later call lays them out again in place.
const std::vector<TEditLine>& Lines(const TEditWindow& E, const TMeasure& Me) {
    if (!E.Multi()) {
        TEditLine L;
        L.End = L.Next = E.M.Length();
        E.OwnLines.assign(1, L);
        return E.OwnLines;
    }
    if (E.View) return E.View->Lines(E.M.Text(), E.M.Version(), TextArea(E).Width());
    AnsiString S = Shown(E);
    return E.OwnLines = LayoutEditLines(S, E.Wrap(), TextArea(E).Width(),
                                        [&](std::string_view P) { return Me.Width(P); });
}

// A line's top in the client area and its height, the lines scrolled by TopLine.
int LineY(const TEditWindow& E, const TMeasure& Me, int Line) {
    if (E.View) return FormatRect(E).Top + E.View->LineTop(Line) - E.View->LineTop(E.TopLine);
    return FormatRect(E).Top + (Line - E.TopLine) * Me.LineHeight();
}

int LineHeightOf(const TEditWindow& E, const TMeasure& Me, int Line) {
    return E.View ? E.View->LineHeight(Line) : Me.LineHeight();
}

// How many lines show whole from the top line on (at least one).
int VisibleLines(const TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls) {
    if (!E.View) return std::max(1, FormatRect(E).Height() / Me.LineHeight());
    const int Bottom = FormatRect(E).Bottom;
    int N = 0;
    for (int I = E.TopLine; I < static_cast<int>(Ls.size()); ++I) {
        if (LineY(E, Me, I) + E.View->LineHeight(I) > Bottom) break;
        ++N;
    }
    return std::max(1, N);
}

// The highest top line that still fills the window with the last lines.
int MaxTopLine(const TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls) {
    const int Count = static_cast<int>(Ls.size());
    if (!E.View) return std::max(0, Count - VisibleLines(E, Me, Ls));
    const int Bottom = E.View->LineTop(Count - 1) + E.View->LineHeight(Count - 1);
    int Top = Count - 1;
    while (Top > 0 && Bottom - E.View->LineTop(Top - 1) <= FormatRect(E).Height()) --Top;
    return Top;
}

// Where a line starts on the x axis, before scrolling: its alignment in the text area.
int LineLeft(const TEditWindow& E, const TMeasure& Me, const TEditLine& L) {
    TRect A = TextArea(E);
    AnsiString S = Shown(E);
    int W = Me.Width(
        std::string_view(S).substr(static_cast<size_t>(L.Start), static_cast<size_t>(L.End - L.Start)));
    DWORD Style = E.Style();
    bool Right = (Style & ES_RIGHT) || (E.ExStyle() & WS_EX_RIGHT);
    if (Right && W < A.Width()) return A.Left + A.Width() - W - 1;
    if ((Style & ES_CENTER) && W < A.Width()) return A.Left + (A.Width() - W) / 2;
    return A.Left;
}

// The client point where the caret stands for Pos.
TPoint PosToPoint(const TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls, int Pos) {
    int LineIndex = EditLineOf(Ls, Pos);
    if (E.View) return TPoint(TextArea(E).Left + E.View->PosToX(Pos), LineY(E, Me, LineIndex));
    const TEditLine& L = Ls[static_cast<size_t>(LineIndex)];
    AnsiString S = Shown(E);
    int P = std::clamp(Pos, L.Start, L.End);
    int X =
        LineLeft(E, Me, L) - E.ScrollX +
        Me.Width(std::string_view(S).substr(static_cast<size_t>(L.Start), static_cast<size_t>(P - L.Start)));
    int Y = FormatRect(E).Top + (LineIndex - E.TopLine) * Me.LineHeight();
    return TPoint(X, Y);
}

// The position nearest to a client point: the line under it, then the
// character boundary nearest to its x.
int PointToPos(const TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls, TPoint P) {
    if (E.View) {
        int Line = E.TopLine;
        if (P.y < FormatRect(E).Top) Line = std::max(0, E.TopLine - 1);
        else
            while (Line + 1 < static_cast<int>(Ls.size()) && LineY(E, Me, Line + 1) <= P.y) ++Line;
        return E.View->XToPos(Line, P.x - TextArea(E).Left);
    }
    int LineIndex = E.TopLine + (P.y - FormatRect(E).Top) / Me.LineHeight();
    if (P.y < FormatRect(E).Top) LineIndex = E.TopLine - 1;
    LineIndex = std::clamp(LineIndex, 0, static_cast<int>(Ls.size()) - 1);
    const TEditLine& L = Ls[static_cast<size_t>(LineIndex)];
    AnsiString S = Shown(E);
    int X0 = LineLeft(E, Me, L) - E.ScrollX;
    int Best = L.Start;
    int Prev = 0;
    for (int I = L.Start + 1; I <= L.End; ++I) {
        int W = Me.Width(
            std::string_view(S).substr(static_cast<size_t>(L.Start), static_cast<size_t>(I - L.Start)));
        if (P.x - X0 >= (Prev + W) / 2 + ((Prev + W) % 2)) Best = I;
        else break;
        Prev = W;
    }
    return Best;
}

// --- notifications ---

void Notify(TEditWindow& E, WORD Code) {
    HWND Parent = GetParent(E.Wnd);
    if (!Parent) return;
    SendMessage(Parent, WM_COMMAND, MakeWParam(static_cast<int>(GetWindowLong(E.Wnd, GWL_ID)), Code),
                HandleToLParam(E.Wnd));
}

// --- keeping the caret in view ---

void UpdateScrollBars(TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls) {
    if (!(E.Style() & WS_VSCROLL)) return;
    // A memo's bar stays, disabled while the text fits.
    TScrollInfo SI;
    SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    SI.nMin = 0;
    SI.nMax = static_cast<int>(Ls.size()) - 1;
    SI.nPage = static_cast<UINT>(VisibleLines(E, Me, Ls));
    SI.nPos = E.TopLine;
    SetScrollInfo(E.Wnd, SB_VERT, SI, true);
}

void PlaceCaret(TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls) {
    if (!E.Focused()) return;
    TPoint P = PosToPoint(E, Me, Ls, E.M.Caret());
    const int Height = LineHeightOf(E, Me, EditLineOf(Ls, E.M.Caret()));
    if (E.View && Height != E.CaretHeight) {
        // The caret is as high as the line it stands on.
        E.CaretHeight = Height;
        CreateCaret(E.Wnd, 1, Height);
        ShowCaret(E.Wnd);
    }
    SetCaretPos(P.x, P.y);
}

void ScrollCaret(TEditWindow& E, const TMeasure& Me, const std::vector<TEditLine>& Ls) {
    int OldX = E.ScrollX, OldTop = E.TopLine;
    int LineIndex = EditLineOf(Ls, E.M.Caret());
    if (E.Multi() && E.View) {
        if (LineIndex < E.TopLine) E.TopLine = LineIndex;
        while (E.TopLine < LineIndex &&
               LineY(E, Me, LineIndex) + E.View->LineHeight(LineIndex) > FormatRect(E).Bottom)
            ++E.TopLine;
        E.TopLine = std::min(E.TopLine, MaxTopLine(E, Me, Ls));
    } else if (E.Multi()) {
        int Visible = VisibleLines(E, Me, Ls);
        if (LineIndex < E.TopLine) E.TopLine = LineIndex;
        else if (LineIndex >= E.TopLine + Visible) E.TopLine = LineIndex - Visible + 1;
        int MaxTop = std::max(0, static_cast<int>(Ls.size()) - Visible);
        if (E.TopLine > MaxTop) E.TopLine = MaxTop;
    }
    if (!E.Wrap() && !E.View) {
        const TEditLine& L = Ls[static_cast<size_t>(LineIndex)];
        AnsiString S = Shown(E);
        TRect A = TextArea(E);
        int Width = A.Width();
        int Base = LineLeft(E, Me, L) - A.Left;
        int CaretX = Base + Me.Width(std::string_view(S).substr(static_cast<size_t>(L.Start),
                                                                static_cast<size_t>(E.M.Caret() - L.Start)));
        // The text scrolls by a third of the width at a time, as typing runs on.
        if (CaretX - E.ScrollX >= Width) E.ScrollX = CaretX - Width + 1 + Width / 3;
        else if (CaretX < E.ScrollX) E.ScrollX = std::max(0, CaretX - Width / 3);
        int Widest = 0;
        for (const TEditLine& K : Ls)
            Widest =
                std::max(Widest, Me.Width(std::string_view(S).substr(static_cast<size_t>(K.Start),
                                                                     static_cast<size_t>(K.End - K.Start))));
        int MaxScroll = std::max(0, Widest + 1 - Width);
        E.ScrollX = std::clamp(E.ScrollX, 0, std::max(MaxScroll, CaretX - Width + 1));
    } else {
        E.ScrollX = 0;
    }
    if (OldX != E.ScrollX || OldTop != E.TopLine) InvalidateRect(E.Wnd, nullptr, true);
    UpdateScrollBars(E, Me, Ls);
    PlaceCaret(E, Me, Ls);
}

void Refresh(TEditWindow& E, bool Scroll = true) {
    TMeasure Me(E);
    const auto& Ls = Lines(E, Me);
    if (Scroll) ScrollCaret(E, Me, Ls);
    else {
        UpdateScrollBars(E, Me, Ls);
        PlaceCaret(E, Me, Ls);
    }
    InvalidateRect(E.Wnd, nullptr, true);
}

// --- changing the text ---

AnsiString WithCase(const TEditWindow& E, std::string_view S) {
    DWORD Style = E.Style();
    if (Style & ES_UPPERCASE) return AnsiUpperCase(S);
    if (Style & ES_LOWERCASE) return AnsiLowerCase(S);
    return AnsiString(S);
}

// Whether the text as it is now fits the window when it may not scroll:
// one-line edits without ES_AUTOHSCROLL, multi-line ones without ES_AUTOVSCROLL.
bool Fits(const TEditWindow& E) {
    if (E.View) return true;
    DWORD Style = E.Style();
    TMeasure Me(E);
    if (!E.Multi()) {
        if (Style & ES_AUTOHSCROLL) return true;
        return Me.Width(Shown(E)) < TextArea(E).Width();
    }
    if (Style & ES_AUTOVSCROLL) return true;
    const auto& Ls = Lines(E, Me);
    if (static_cast<int>(Ls.size()) > VisibleLines(E, Me, Ls)) return false;
    if (!E.Wrap() && !(Style & ES_AUTOHSCROLL)) {
        AnsiString S = Shown(E);
        for (const TEditLine& L : Ls)
            if (Me.Width(std::string_view(S).substr(static_cast<size_t>(L.Start),
                                                    static_cast<size_t>(L.End - L.Start))) >=
                TextArea(E).Width())
                return false;
    }
    return true;
}

// Runs a change of the model; undoes it when the window cannot hold the
// result. Answers whether the text changed, and tells the parent.
template <class F>
bool Change(TEditWindow& E, F&& Do, bool ByUser = true) {
    // A view takes any text: nothing to put back.
    std::optional<TEditModel> Saved;
    if (!E.View) Saved = E.M;
    // A view follows the text by its version; the edit alone compares.
    const uint64_t Version = E.M.Version();
    AnsiString Before = E.View ? AnsiString() : E.M.Text();
    if (!Do()) {
        if (ByUser) Notify(E, EN_MAXTEXT);
        return false;
    }
    if (Saved && !Fits(E)) {
        E.M = *Saved;
        Notify(E, EN_MAXTEXT);
        return false;
    }
    E.PreferredX = -1;
    if (E.View ? E.M.Version() == Version : E.M.Text() == Before) {
        Refresh(E);
        return false;
    }
    if (ByUser) E.Modified = true;
    Refresh(E);
    Notify(E, EN_UPDATE);
    Notify(E, EN_CHANGE);
    return true;
}

bool InsertText(TEditWindow& E, std::string_view S, TEditModel::TChange Kind) {
    AnsiString T = WithCase(E, S);
    return Change(E, [&] { return E.M.Replace(T, Kind); });
}

void Copy(TEditWindow& E) {
    if (!E.M.HasSelection() || E.Password) return;
    ClipboardSetText(E.M.SelText());
}

void Cut(TEditWindow& E) {
    if (E.ReadOnly() || !E.M.HasSelection() || E.Password) return;
    Copy(E);
    Change(E, [&] { return E.M.Replace("", TEditModel::chOther); });
}

void Clear(TEditWindow& E) {
    if (E.ReadOnly() || !E.M.HasSelection()) return;
    Change(E, [&] { return E.M.Replace("", TEditModel::chOther); });
}

void Paste(TEditWindow& E) {
    if (E.ReadOnly() || !ClipboardHasText()) return;
    AnsiString S = ClipboardGetText();
    if (!E.Multi()) {
        // A one-line edit takes the clipboard's first line.
        size_t Break = S.find_first_of("\r\n");
        if (Break != AnsiString::npos) S.resize(Break);
    }
    InsertText(E, S, TEditModel::chOther);
}

void Undo(TEditWindow& E) {
    if (E.ReadOnly()) return;
    Change(E, [&] { return E.M.Undo(); });
}

// --- the keys ---

void MoveTo(TEditWindow& E, int Pos, bool Extend, bool KeepColumn = false) {
    if (!KeepColumn) E.PreferredX = -1;
    E.M.SetCaret(Pos, Extend);
    Refresh(E);
}

void VerticalMove(TEditWindow& E, int Count, bool Extend) {
    TMeasure Me(E);
    const auto& Ls = Lines(E, Me);
    int LineIndex = EditLineOf(Ls, E.M.Caret());
    TPoint P = PosToPoint(E, Me, Ls, E.M.Caret());
    if (E.PreferredX < 0) E.PreferredX = P.x + E.ScrollX;
    int Target = std::clamp(LineIndex + Count, 0, static_cast<int>(Ls.size()) - 1);
    int Y = LineY(E, Me, Target);
    int Pos = PointToPos(E, Me, Ls, TPoint(E.PreferredX - E.ScrollX, Y));
    MoveTo(E, Pos, Extend, true);
}

void KeyDown(TEditWindow& E, WORD Key) {
    bool Shift = GetKeyState(VK_SHIFT) < 0, Ctrl = GetKeyState(VK_CONTROL) < 0;
    const TEditModel& M = E.M;
    TMeasure Me(E);
    const auto& Ls = Lines(E, Me);
    const TEditLine& Line = Ls[static_cast<size_t>(EditLineOf(Ls, M.Caret()))];
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        if (Key == VK_UP && E.Multi()) {
            VerticalMove(E, -1, Shift);
        } else if (Ctrl) {
            MoveTo(E, M.WordLeft(M.Caret()), Shift);
        } else if (M.HasSelection() && !Shift) {
            MoveTo(E, M.SelStart(), false);
        } else {
            MoveTo(E, M.PrevPos(M.Caret()), Shift);
        }
        break;
    case VK_RIGHT:
    case VK_DOWN:
        if (Key == VK_DOWN && E.Multi()) {
            VerticalMove(E, 1, Shift);
        } else if (Ctrl) {
            MoveTo(E, M.WordRight(M.Caret()), Shift);
        } else if (M.HasSelection() && !Shift) {
            MoveTo(E, M.SelEnd(), false);
        } else {
            MoveTo(E, M.NextPos(M.Caret()), Shift);
        }
        break;
    case VK_HOME: MoveTo(E, Ctrl || !E.Multi() ? 0 : Line.Start, Shift); break;
    case VK_END: MoveTo(E, Ctrl || !E.Multi() ? M.Length() : Line.End, Shift); break;
    case VK_PRIOR:
    case VK_NEXT:
        if (E.Multi()) {
            int Page = VisibleLines(E, Me, Ls);
            E.TopLine = std::clamp(E.TopLine + (Key == VK_NEXT ? Page : -Page), 0,
                                   std::max(0, static_cast<int>(Ls.size()) - 1));
            VerticalMove(E, Key == VK_NEXT ? Page : -Page, Shift);
        }
        break;
    case VK_DELETE:
        if (Shift) SendMessage(E.Wnd, WM_CUT, 0, 0);
        else if (!E.ReadOnly()) Change(E, [&] { return E.M.DeleteForward(); });
        break;
    case VK_INSERT:
        if (Ctrl) SendMessage(E.Wnd, WM_COPY, 0, 0);
        else if (Shift) SendMessage(E.Wnd, WM_PASTE, 0, 0);
        break;
    default: break;
    }
}

// The clipboard keys go through the messages, so that a control over the
// window (a masked edit) handles them as it handles the messages.
void CharTyped(TEditWindow& E, unsigned char C) {
    switch (C) {
    case 0x03: SendMessage(E.Wnd, WM_COPY, 0, 0); return;
    case 0x16: SendMessage(E.Wnd, WM_PASTE, 0, 0); return;
    case 0x18: SendMessage(E.Wnd, WM_CUT, 0, 0); return;
    case 0x1A: SendMessage(E.Wnd, WM_UNDO, 0, 0); return;
    case 0x08:
        if (!E.ReadOnly()) Change(E, [&] { return E.M.DeleteBack(); });
        return;
    case '\r':
    case '\n':
        if (E.Multi() && !E.ReadOnly()) InsertText(E, "\r\n", TEditModel::chOther);
        return;
    case '\t':
        if (E.Multi() && !E.ReadOnly()) InsertText(E, "\t", TEditModel::chTyping);
        return;
    default: break;
    }
    if (C < 0x20 || E.ReadOnly()) return;
    if ((E.Style() & ES_NUMBER) && !(C >= '0' && C <= '9')) {
        MessageBeep(0);
        return;
    }
    char S[1] = {static_cast<char>(C)};
    InsertText(E, std::string_view(S, 1), TEditModel::chTyping);
}

// --- painting ---

void Paint(TEditWindow& E, HDC DC) {
    TRect Client;
    GetClientRect(E.Wnd, Client);
    TBrush* Brush = reinterpret_cast<TBrush*>(
        SendMessage(E.Wnd, CN_CTLCOLOR, reinterpret_cast<WPARAM>(DC), HandleToLParam(E.Wnd)));
    TColor Back = Brush ? Brush->Color() : clWindow;
    if (!Brush) {
        DC->SetTextColor(clWindowText);
        DC->SetBkColor(clWindow);
    }
    TColor Text = DC->GetTextColor();
    if (!IsWindowEnabled(E.Wnd)) Text = clGrayText;
    if (!(E.ExStyle() & WS_EX_TRANSPARENT)) {
        TBrush B;
        B.SetColor(Back);
        DC->FillRect(Client, B);
    }
    TMeasure Me(E);
    const auto& Ls = Lines(E, Me);
    int Height = Me.LineHeight();
    TRect F = FormatRect(E);
    int Saved = DC->SaveDC();
    if (E.View) {
        DC->IntersectClipRect(F.Left, F.Top, F.Right, F.Bottom);
        TRect Area = TextArea(E);
        Area.Top = F.Top;
        Area.Bottom = F.Bottom;
        bool Sel = E.M.HasSelection() && (E.Focused() || (E.Style() & ES_NOHIDESEL));
        E.View->Paint(DC, Area, E.View->LineTop(E.TopLine), E.M.SelStart(), E.M.SelEnd(), Sel);
        DC->RestoreDC(Saved);
        return;
    }
    DC->IntersectClipRect(F.Left, F.Top, F.Right, F.Bottom);
    DC->Font()->Assign(&E.Font);
    DC->SetBkMode(TRANSPARENT);
    AnsiString S = Shown(E);
    bool ShowSel = E.M.HasSelection() && (E.Focused() || (E.Style() & ES_NOHIDESEL));
    int SelA = E.M.SelStart(), SelB = E.M.SelEnd();
    for (int I = E.TopLine; I < static_cast<int>(Ls.size()); ++I) {
        int Y = F.Top + (I - E.TopLine) * Height;
        if (Y >= F.Bottom) break;
        const TEditLine& L = Ls[static_cast<size_t>(I)];
        int X = LineLeft(E, Me, L) - E.ScrollX;
        auto Piece = [&](int A, int B) {
            return std::string_view(S).substr(static_cast<size_t>(A), static_cast<size_t>(B - A));
        };
        auto Draw = [&](int A, int B, bool Selected) {
            if (A >= B) return;
            int X1 = X + Me.Width(Piece(L.Start, A)), X2 = X + Me.Width(Piece(L.Start, B));
            if (Selected) {
                TBrush H;
                H.SetColor(clHighlight);
                DC->FillRect(TRect(X1, Y, X2, Y + Height), H);
                DC->SetTextColor(clHighlightText);
            } else {
                DC->SetTextColor(Text);
            }
            std::string_view P = Piece(A, B);
            if (E.Multi() && P.find('\t') != std::string_view::npos) {
                // Tabs are counted from the line's start, whatever part is drawn.
                DC->TabbedTextOut(X1, Y, P, E.TabStops, X);
            } else {
                DC->TextOut(X1, Y, P);
            }
        };
        int A = L.Start, B = L.End;
        if (ShowSel && SelB > A && SelA < B) {
            int SA = std::max(A, SelA), SB = std::min(B, SelB);
            Draw(A, SA, false);
            Draw(SA, SB, true);
            Draw(SB, B, false);
        } else {
            Draw(A, B, false);
        }
        // A selected line break shows as a little selected room after the line.
        if (ShowSel && L.Next > L.End && SelA <= L.End && SelB >= L.Next) {
            int X2 = X + Me.Width(Piece(L.Start, L.End));
            TBrush H;
            H.SetColor(clHighlight);
            DC->FillRect(TRect(X2, Y, X2 + Me.AveCharWidth() / 2 + 1, Y + Height), H);
        }
    }
    DC->RestoreDC(Saved);
}

// --- the window procedure ---

void SetFont(TEditWindow& E, TFont* Font) {
    E.GivenFont = Font;
    if (Font) E.Font.Assign(Font);
    TMeasure Me(E);
    int M = Me.AveCharWidth() / 3;
    E.LeftMargin = E.RightMargin = M;
}

int LineIndexArg(TEditWindow& E, const std::vector<TEditLine>& Ls, WPARAM W) {
    intptr_t Line = static_cast<intptr_t>(W);
    if (Line < 0) return EditLineOf(Ls, E.M.Caret());
    return static_cast<int>(Line);
}

LRESULT EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto E = std::make_unique<TEditWindow>();
        E->Wnd = Wnd;
        const TCreateStruct* CS = LParamToPointer<const TCreateStruct>(LParam);
        DWORD Style = CS ? CS->Style : 0;
        AnsiString Initial = CS ? CS->WindowName : AnsiString();
        if (Style & ES_UPPERCASE) Initial = AnsiUpperCase(Initial);
        else if (Style & ES_LOWERCASE) Initial = AnsiLowerCase(Initial);
        E->M.SetText(Initial);
        E->M.SetLimit(EditNoLimit);
        if (Style & ES_PASSWORD) E->Password = '*';
        Edits()[Wnd] = std::move(E);
        SetFont(*Edits()[Wnd], nullptr);
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    TEditWindow* P = Find(Wnd);
    if (!P) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TEditWindow& E = *P;
    switch (Msg) {
    case WM_NCDESTROY: Edits().erase(Wnd); return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_SETTEXT: {
        const char* S = LParamToPointer<const char>(LParam);
        E.M.SetText(WithCase(E, S ? S : ""));
        E.Modified = false;
        E.ScrollX = 0;
        E.TopLine = 0;
        DefWindowProc(Wnd, Msg, WParam, LParam);
        Refresh(E, false);
        Notify(E, EN_UPDATE);
        Notify(E, EN_CHANGE);
        return 1;
    }
    case WM_GETTEXTLENGTH: return E.M.Length();
    case WM_GETTEXT: {
        char* Buffer = LParamToPointer<char>(LParam);
        if (!Buffer || WParam == 0) return 0;
        size_t N = std::min<size_t>(E.M.Text().size(), WParam - 1);
        std::memcpy(Buffer, E.M.Text().data(), N);
        Buffer[N] = '\0';
        return static_cast<LRESULT>(N);
    }
    case WM_SETFONT:
        SetFont(E, reinterpret_cast<TFont*>(WParam));
        Refresh(E, false);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(E.GivenFont);
    case WM_SIZE: Refresh(E); return 0;
    case WM_ENABLE: InvalidateRect(Wnd, nullptr, true); return 0;
    case WM_ERASEBKGND: return 1;  // the painting fills the background
    case WM_PAINT: {
        HDC Given = reinterpret_cast<HDC>(WParam);
        if (Given) {
            Paint(E, Given);
            return 0;
        }
        TPaintStruct PS;
        HDC DC = BeginPaint(Wnd, PS);
        if (DC) Paint(E, DC);
        EndPaint(Wnd, PS);
        return 0;
    }
    case CN_CTLCOLOR: return 0;  // no control answered: the window colours
    case WM_GETDLGCODE: {
        LRESULT R = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if (E.Multi()) R |= DLGC_WANTALLKEYS;
        return R;
    }
    case WM_SETFOCUS: {
        TMeasure Me(E);
        E.CaretHeight = E.View ? LineHeightOf(E, Me, EditLineOf(Lines(E, Me), E.M.Caret())) : Me.LineHeight();
        CreateCaret(Wnd, 1, E.CaretHeight);
        Refresh(E, false);
        ShowCaret(Wnd);
        Notify(E, EN_SETFOCUS);
        return 0;
    }
    case WM_KILLFOCUS:
        E.Tracking = false;
        DestroyCaret();
        InvalidateRect(Wnd, nullptr, true);
        Notify(E, EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN: KeyDown(E, static_cast<WORD>(WParam)); return 0;
    case WM_CHAR: CharTyped(E, static_cast<unsigned char>(WParam)); return 0;
    case WM_SETCURSOR:
        if (LoWord(static_cast<uintptr_t>(LParam)) == HTCLIENT) {
            SetCursor(LoadStandardCursor(crIBeam));
            return 1;
        }
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!E.Focused()) SetFocus(Wnd);
        if (!IsWindow(Wnd) || !Find(Wnd)) return 0;
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Pos = PointToPos(E, Me, Ls,
                             TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                                    static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam)))));
        if (Msg == WM_LBUTTONDBLCLK) {
            int A, B;
            E.M.WordAt(Pos, A, B);
            E.M.SetSel(A, B);
            E.PreferredX = -1;
            Refresh(E);
        } else {
            MoveTo(E, Pos, (WParam & MK_SHIFT) != 0);
        }
        E.Tracking = true;
        SetCapture(Wnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (E.Tracking && GetCapture() == Wnd) {
            TMeasure Me(E);
            const auto& Ls = Lines(E, Me);
            int Pos = PointToPos(E, Me, Ls,
                                 TPoint(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                                        static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam)))));
            if (Pos != E.M.Caret()) MoveTo(E, Pos, true);
        }
        return 0;
    case WM_LBUTTONUP:
        if (E.Tracking) {
            E.Tracking = false;
            if (GetCapture() == Wnd) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED: E.Tracking = false; return 0;
    case WM_MOUSEWHEEL:
        if (E.Multi()) {
            int Delta = static_cast<int16_t>(HiWord(WParam));
            SendMessage(Wnd, EM_LINESCROLL, 0, Delta > 0 ? -3 : 3);
            return 0;
        }
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    case WM_VSCROLL: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Page = VisibleLines(E, Me, Ls);
        int Top = E.TopLine;
        switch (LoWord(WParam)) {
        case SB_LINEUP: --Top; break;
        case SB_LINEDOWN: ++Top; break;
        case SB_PAGEUP: Top -= Page; break;
        case SB_PAGEDOWN: Top += Page; break;
        case SB_TOP: Top = 0; break;
        case SB_BOTTOM: Top = static_cast<int>(Ls.size()); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Top = HiWord(WParam); break;
        default: return 0;
        }
        E.TopLine = std::clamp(Top, 0, MaxTopLine(E, Me, Ls));
        Refresh(E, false);
        return 0;
    }
    case WM_CUT: Cut(E); return 0;
    case WM_COPY: Copy(E); return 0;
    case WM_PASTE: Paste(E); return 0;
    case WM_CLEAR: Clear(E); return 0;
    case WM_UNDO:
    case EM_UNDO: {
        bool Could = E.M.CanUndo() && !E.ReadOnly();
        Undo(E);
        return Could ? 1 : 0;
    }

    // --- the edit messages ---
    case EM_GETSEL: {
        int Start = E.M.SelStart(), End = E.M.SelEnd();
        if (WParam) *reinterpret_cast<int*>(WParam) = Start;
        if (LParam) *reinterpret_cast<int*>(LParam) = End;
        return static_cast<LRESULT>(MakeLParam(std::min(Start, 0xFFFF), std::min(End, 0xFFFF)) & 0xFFFFFFFF);
    }
    case EM_SETSEL: {
        intptr_t Start = static_cast<intptr_t>(WParam), End = static_cast<intptr_t>(LParam);
        // WParam is unsigned: a 32-bit -1 may come in either width.
        if (static_cast<uint32_t>(WParam) == 0xFFFFFFFFu) Start = -1;
        if (static_cast<uint32_t>(LParam) == 0xFFFFFFFFu) End = -1;
        if (Start == -1) {
            E.M.SetSel(E.M.Caret(), E.M.Caret());
        } else {
            if (End < 0) End = E.M.Length();
            E.M.SetSel(static_cast<int>(std::min<intptr_t>(Start, E.M.Length())),
                       static_cast<int>(std::min<intptr_t>(End, E.M.Length())));
        }
        E.PreferredX = -1;
        Refresh(E);
        return 0;
    }
    case EM_GETRECT:
        if (LParam) *LParamToPointer<TRect>(LParam) = FormatRect(E);
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (LParam) {
            E.Format = *LParamToPointer<const TRect>(LParam);
            E.FormatSet = true;
        } else {
            E.FormatSet = false;
        }
        Refresh(E);
        return 0;
    case EM_SETMARGINS: {
        TMeasure Me(E);
        if (WParam == EC_USEFONTINFO) {
            E.LeftMargin = E.RightMargin = Me.AveCharWidth() / 3;
        } else {
            if (WParam & EC_LEFTMARGIN) E.LeftMargin = LoWord(static_cast<uintptr_t>(LParam));
            if (WParam & EC_RIGHTMARGIN) E.RightMargin = HiWord(static_cast<uintptr_t>(LParam));
        }
        Refresh(E);
        return 0;
    }
    case EM_GETMARGINS: return MakeLParam(E.LeftMargin, E.RightMargin);
    case EM_SCROLLCARET: Refresh(E); return 1;
    case EM_GETMODIFY: return E.Modified ? 1 : 0;
    case EM_SETMODIFY: E.Modified = WParam != 0; return 0;
    case EM_GETLINECOUNT: {
        TMeasure Me(E);
        return static_cast<LRESULT>(Lines(E, Me).size());
    }
    case EM_LINEINDEX: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Line = LineIndexArg(E, Ls, WParam);
        if (Line < 0 || Line >= static_cast<int>(Ls.size())) return -1;
        return Ls[static_cast<size_t>(Line)].Start;
    }
    case EM_LINELENGTH: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        intptr_t Char = static_cast<intptr_t>(WParam);
        if (Char < 0) {
            // The characters of the selected lines that are not selected.
            const TEditLine& A = Ls[static_cast<size_t>(EditLineOf(Ls, E.M.SelStart()))];
            const TEditLine& B = Ls[static_cast<size_t>(EditLineOf(Ls, E.M.SelEnd()))];
            return (E.M.SelStart() - A.Start) + (B.End - E.M.SelEnd());
        }
        const TEditLine& L = Ls[static_cast<size_t>(EditLineOf(Ls, static_cast<int>(Char)))];
        return L.End - L.Start;
    }
    case EM_LINEFROMCHAR: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        intptr_t Char = static_cast<intptr_t>(WParam);
        return EditLineOf(Ls, Char < 0 ? E.M.SelStart() : static_cast<int>(Char));
    }
    case EM_GETLINE: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Line = static_cast<int>(static_cast<intptr_t>(WParam));
        char* Buffer = LParamToPointer<char>(LParam);
        if (!Buffer || Line < 0 || Line >= static_cast<int>(Ls.size())) return 0;
        // The buffer's first word holds its size, as the platform passes it.
        WORD Size;
        std::memcpy(&Size, Buffer, sizeof Size);
        const TEditLine& L = Ls[static_cast<size_t>(Line)];
        size_t N = std::min<size_t>(Size, static_cast<size_t>(L.End - L.Start));
        std::memcpy(Buffer, E.M.Text().data() + L.Start, N);
        return static_cast<LRESULT>(N);
    }
    case EM_REPLACESEL: {
        const char* S = LParamToPointer<const char>(LParam);
        AnsiString T = WithCase(E, S ? S : "");
        Change(E, [&] { return E.M.Replace(T, TEditModel::chOther, WParam != 0); });
        return 0;
    }
    case EM_LIMITTEXT: {
        int Limit = static_cast<int>(static_cast<intptr_t>(WParam));
        E.M.SetLimit(Limit <= 0 ? EditNoLimit : Limit);
        return 0;
    }
    case EM_GETLIMITTEXT: return E.M.Limit();
    case EM_CANUNDO: return E.M.CanUndo() ? 1 : 0;
    case EM_EMPTYUNDOBUFFER: E.M.ClearUndo(); return 0;
    case EM_SETTABSTOPS: {
        TMeasure Me(E);
        int Unit = Me.AveCharWidth();
        E.TabStops.clear();
        const int* Stops = LParamToPointer<const int>(LParam);
        // Dialog units: a quarter of the average character.
        if (WParam == 1 && Stops) {
            for (int X = Stops[0] * Unit / 4; X > 0 && E.TabStops.size() < 64; X += Stops[0] * Unit / 4)
                E.TabStops.push_back(X);
        } else if (Stops) {
            for (WPARAM I = 0; I < WParam; ++I) E.TabStops.push_back(Stops[I] * Unit / 4);
        }
        Refresh(E, false);
        return 1;
    }
    case EM_SETPASSWORDCHAR:
        E.Password = static_cast<char>(WParam);
        Refresh(E, false);
        return 0;
    case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(E.Password);
    case EM_GETFIRSTVISIBLELINE: return E.Multi() ? E.TopLine : 0;
    case EM_SETREADONLY: {
        LONG_PTR Style = GetWindowLong(Wnd, GWL_STYLE);
        SetWindowLong(Wnd, GWL_STYLE,
                      WParam ? (Style | ES_READONLY) : (Style & ~static_cast<LONG_PTR>(ES_READONLY)));
        InvalidateRect(Wnd, nullptr, true);
        return 1;
    }
    case EM_SCROLL:
    case EM_LINESCROLL: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Page = VisibleLines(E, Me, Ls);
        int Dy = 0, Dx = 0;
        if (Msg == EM_SCROLL) {
            switch (WParam) {
            case SB_LINEUP: Dy = -1; break;
            case SB_LINEDOWN: Dy = 1; break;
            case SB_PAGEUP: Dy = -Page; break;
            case SB_PAGEDOWN: Dy = Page; break;
            default: return 0;
            }
        } else {
            Dx = static_cast<int>(static_cast<intptr_t>(WParam)) * Me.AveCharWidth();
            Dy = static_cast<int>(LParam);
        }
        if (E.Multi()) E.TopLine = std::clamp(E.TopLine + Dy, 0, MaxTopLine(E, Me, Ls));
        if (!E.Wrap()) E.ScrollX = std::max(0, E.ScrollX + Dx);
        Refresh(E, false);
        return Msg == EM_SCROLL ? MakeLParam(Dy, 1) : 1;
    }
    case EM_POSFROMCHAR: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        int Pos = static_cast<int>(static_cast<intptr_t>(WParam));
        if (Pos < 0 || Pos > E.M.Length()) return -1;
        TPoint Pt = PosToPoint(E, Me, Ls, Pos);
        return MakeLParam(Pt.x, Pt.y);
    }
    case EM_CHARFROMPOS: {
        TMeasure Me(E);
        const auto& Ls = Lines(E, Me);
        TPoint Pt(static_cast<int16_t>(LoWord(static_cast<uintptr_t>(LParam))),
                  static_cast<int16_t>(HiWord(static_cast<uintptr_t>(LParam))));
        int Pos = PointToPos(E, Me, Ls, Pt);
        return MakeLParam(Pos, EditLineOf(Ls, Pos));
    }
    default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void SetEditView(HWND Wnd, TEditView* View) {
    TEditWindow* E = Find(Wnd);
    if (!E) return;
    E->View = View;
    E->TopLine = 0;
    E->ScrollX = 0;
    Refresh(*E, false);
}

void RegisterEditClass() {
    TWndClass C;
    if (GetWindowClassInfo("EDIT", C)) return;
    C.Name = "EDIT";
    C.Style = CS_DBLCLKS;
    C.WndProc = EditProc;
    C.Background = clWindow;
    RegisterWindowClass(C);
}
