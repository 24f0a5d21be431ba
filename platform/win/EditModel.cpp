#include "platform/win/EditModel.h"

#include <algorithm>

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

}  // namespace

void TEditModel::SetText(std::string_view Text) {
    FText.assign(Text);
    ++FVersion;
    FAnchor = FCaret = 0;
    ClearUndo();
}

AnsiString TEditModel::SelText() const {
    return FText.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelEnd() - SelStart()));
}

int TEditModel::Clamp(int Pos) const {
    Pos = std::clamp(Pos, 0, Length());
    if (Pos > 0 && Pos < Length() && FText[static_cast<size_t>(Pos - 1)] == '\r' &&
        FText[static_cast<size_t>(Pos)] == '\n')
        --Pos;
    return Pos;
}

int TEditModel::PrevPos(int Pos) const {
    Pos = Clamp(Pos);
    if (Pos == 0) return 0;
    if (Pos >= 2 && FText[static_cast<size_t>(Pos - 2)] == '\r' &&
        FText[static_cast<size_t>(Pos - 1)] == '\n')
        return Pos - 2;
    return Pos - 1;
}

int TEditModel::NextPos(int Pos) const {
    Pos = Clamp(Pos);
    if (Pos >= Length()) return Length();
    if (FText[static_cast<size_t>(Pos)] == '\r' && Pos + 1 < Length() &&
        FText[static_cast<size_t>(Pos + 1)] == '\n')
        return Pos + 2;
    return Pos + 1;
}

void TEditModel::SetSel(int Anchor, int Caret) {
    FAnchor = Clamp(Anchor);
    FCaret = Clamp(Caret);
    FRun = chOther;
}

void TEditModel::SetCaret(int Pos, bool Extend) {
    int Anchor = Extend ? FAnchor : Pos;
    SetSel(Anchor, Pos);
}

void TEditModel::Snapshot(TChange Kind, bool CanUndo) {
    if (!CanUndo) {
        FUndoValid = false;
        FRun = chOther;
        return;
    }
    // A run of typing (or of deleting) is undone as one step, as long as each
    // key carries on where the last one left the caret.
    bool Continues = Kind != chOther && Kind == FRun && FCaret == FRunEnd && !HasSelection();
    if (!Continues) {
        FUndoText = FText;
        FUndoAnchor = FAnchor;
        FUndoCaret = FCaret;
        FUndoValid = true;
    }
    FRun = Kind;
}

bool TEditModel::Replace(std::string_view S, TChange Kind, bool CanUndo) {
    int Start = SelStart(), End = SelEnd();
    size_t Room = S.size();
    if (FLimit > 0) {
        int Left = FLimit - (Length() - (End - Start));
        Room = static_cast<size_t>(std::max(0, Left));
        if (Room < S.size()) {
            // Never split a line break at the cut.
            if (Room > 0 && S[Room - 1] == '\r' && Room < S.size() && S[Room] == '\n') --Room;
        }
    }
    std::string_view Put = S.substr(0, std::min(Room, S.size()));
    if (Put.empty() && (!S.empty() || Start == End)) return false;
    Snapshot(Kind, CanUndo);
    FText.replace(static_cast<size_t>(Start), static_cast<size_t>(End - Start), Put);
    ++FVersion;
    FAnchor = FCaret = Start + static_cast<int>(Put.size());
    FRunEnd = FCaret;
    return true;
}

bool TEditModel::DeleteBack() {
    if (HasSelection()) return Replace("", chOther);
    if (FCaret == 0) return false;
    int From = PrevPos(FCaret);
    if (!(FRun == chBackspace && FCaret == FRunEnd)) {
        FUndoText = FText;
        FUndoAnchor = FUndoCaret = FCaret;
        FUndoValid = true;
    }
    FText.erase(static_cast<size_t>(From), static_cast<size_t>(FCaret - From));
    ++FVersion;
    FAnchor = FCaret = From;
    FRun = chBackspace;
    FRunEnd = From;
    return true;
}

bool TEditModel::DeleteForward() {
    if (HasSelection()) return Replace("", chOther);
    if (FCaret >= Length()) return false;
    int To = NextPos(FCaret);
    if (!(FRun == chDelete && FCaret == FRunEnd)) {
        FUndoText = FText;
        FUndoAnchor = FUndoCaret = FCaret;
        FUndoValid = true;
    }
    FText.erase(static_cast<size_t>(FCaret), static_cast<size_t>(To - FCaret));
    ++FVersion;
    FAnchor = FCaret;
    FRun = chDelete;
    FRunEnd = FCaret;
    return true;
}

bool TEditModel::Undo() {
    if (!FUndoValid) return false;
    int A = FAnchor, C = FCaret;
    std::swap(FText, FUndoText);
    ++FVersion;
    FAnchor = FUndoAnchor;
    FCaret = FUndoCaret;
    if (FText != FUndoText) {
        // What came back is selected; where text went away the caret stands.
        size_t N = std::min(FText.size(), FUndoText.size());
        size_t Pre = 0;
        while (Pre < N && FText[Pre] == FUndoText[Pre]) ++Pre;
        size_t Post = 0;
        while (Post < N - Pre && FText[FText.size() - 1 - Post] == FUndoText[FUndoText.size() - 1 - Post])
            ++Post;
        FAnchor = static_cast<int>(Pre);
        FCaret = static_cast<int>(FText.size() - Post);
    }
    FUndoAnchor = A;
    FUndoCaret = C;
    FRun = chOther;
    return true;
}

int TEditModel::WordLeft(int Pos) const {
    Pos = Clamp(Pos);
    while (Pos > 0 && IsBlank(FText[static_cast<size_t>(Pos - 1)])) --Pos;
    while (Pos > 0 && !IsBlank(FText[static_cast<size_t>(Pos - 1)])) --Pos;
    return Pos;
}

int TEditModel::WordRight(int Pos) const {
    Pos = Clamp(Pos);
    int N = Length();
    // A line break is a stop of its own: Ctrl+Right goes to the end of the line first.
    if (Pos < N && (FText[static_cast<size_t>(Pos)] == '\r' || FText[static_cast<size_t>(Pos)] == '\n'))
        return NextPos(Pos);
    while (Pos < N && !IsBlank(FText[static_cast<size_t>(Pos)])) ++Pos;
    while (Pos < N && (FText[static_cast<size_t>(Pos)] == ' ' || FText[static_cast<size_t>(Pos)] == '\t'))
        ++Pos;
    return Pos;
}

void TEditModel::WordAt(int Pos, int& Start, int& End) const {
    Pos = Clamp(Pos);
    int N = Length();
    Start = Pos;
    End = Pos;
    if (Pos < N && IsBlank(FText[static_cast<size_t>(Pos)])) {
        // On blanks: the blanks themselves.
        while (Start > 0 && (FText[static_cast<size_t>(Start - 1)] == ' ' ||
                             FText[static_cast<size_t>(Start - 1)] == '\t'))
            --Start;
        while (End < N && (FText[static_cast<size_t>(End)] == ' ' || FText[static_cast<size_t>(End)] == '\t'))
            ++End;
        return;
    }
    while (Start > 0 && !IsBlank(FText[static_cast<size_t>(Start - 1)])) --Start;
    while (End < N && !IsBlank(FText[static_cast<size_t>(End)])) ++End;
    while (End < N && (FText[static_cast<size_t>(End)] == ' ' || FText[static_cast<size_t>(End)] == '\t'))
        ++End;
}

std::vector<TEditLine> LayoutEditLines(std::string_view Text, bool Wrap, int Width,
                                       const std::function<int(std::string_view)>& Measure) {
    std::vector<TEditLine> Lines;
    int N = static_cast<int>(Text.size());
    int Pos = 0;
    while (true) {
        int HardEnd = Pos;
        while (HardEnd < N && Text[static_cast<size_t>(HardEnd)] != '\r' &&
               Text[static_cast<size_t>(HardEnd)] != '\n')
            ++HardEnd;
        int BreakLen = 0;
        if (HardEnd < N) {
            BreakLen = 1;
            if (Text[static_cast<size_t>(HardEnd)] == '\r' && HardEnd + 1 < N &&
                Text[static_cast<size_t>(HardEnd + 1)] == '\n')
                BreakLen = 2;
        }
        int Start = Pos;
        if (Wrap && Width > 0) {
            // Soft breaks inside this hard line.
            while (Start < HardEnd && Measure(Text.substr(static_cast<size_t>(Start),
                                                          static_cast<size_t>(HardEnd - Start))) > Width) {
                // The most characters that fit.
                int Fit = Start;
                while (Fit < HardEnd && Measure(Text.substr(static_cast<size_t>(Start),
                                                            static_cast<size_t>(Fit + 1 - Start))) <= Width)
                    ++Fit;
                int Cut = Fit;
                // Back to just after the last blank that fits, when there is one.
                int B = Fit;
                while (B > Start && Text[static_cast<size_t>(B)] != ' ' &&
                       Text[static_cast<size_t>(B)] != '\t')
                    --B;
                if (B > Start || Text[static_cast<size_t>(Start)] == ' ') {
                    Cut = B;
                    // The blanks at the break stay on the line they end.
                    while (Cut < HardEnd &&
                           (Text[static_cast<size_t>(Cut)] == ' ' || Text[static_cast<size_t>(Cut)] == '\t'))
                        ++Cut;
                }
                if (Cut <= Start) Cut = Start + 1;  // not even one character fits: one per line
                TEditLine L;
                L.Start = Start;
                L.End = Cut;
                L.Next = Cut;
                Lines.push_back(L);
                Start = Cut;
            }
        }
        TEditLine L;
        L.Start = Start;
        L.End = HardEnd;
        L.Next = HardEnd + BreakLen;
        Lines.push_back(L);
        if (BreakLen == 0) break;
        Pos = HardEnd + BreakLen;
    }
    return Lines;
}

int EditLineOf(const std::vector<TEditLine>& Lines, int Pos) {
    if (Lines.empty()) return 0;
    // At a soft wrap (End == Next) the position belongs to the next line.
    auto It = std::partition_point(Lines.begin(), Lines.end() - 1,
                                   [&](const TEditLine& L) { return Pos >= L.Next; });
    return static_cast<int>(It - Lines.begin());
}
