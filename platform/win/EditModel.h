#pragma once
// What an edit control holds apart from its looks: the text, the selection
// (an anchor and a caret, in characters), the limit on what the user may
// add, and one level of undo; the word rules of Ctrl+arrows and double
// clicks; and the breaking of a multi-line text into the lines it shows.
// The edit window (EditWindow.cpp) draws and measures; this class decides.
//
// Lines of a multi-line text end in CR LF; the caret never stands between the
// two characters of a break.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/rtl/Strings.h"

class TEditModel {
public:
    // How a change joins the one before it for Undo: typing (or deleting)
    // character after character is one step, any other change a step of its own.
    enum TChange { chTyping, chBackspace, chDelete, chOther };

    const AnsiString& Text() const { return FText; }
    // Grows with every change of the text.
    uint64_t Version() const { return FVersion; }
    int Length() const { return static_cast<int>(FText.size()); }
    // The whole text anew: caret at the start, nothing selected, no undo.
    void SetText(std::string_view Text);

    int Anchor() const { return FAnchor; }
    int Caret() const { return FCaret; }
    int SelStart() const { return FAnchor < FCaret ? FAnchor : FCaret; }
    int SelEnd() const { return FAnchor < FCaret ? FCaret : FAnchor; }
    bool HasSelection() const { return FAnchor != FCaret; }
    AnsiString SelText() const;
    // Anchor and caret, clamped to the text and kept off the middle of a line
    // break. Ends any typing run.
    void SetSel(int Anchor, int Caret);
    void SetCaret(int Pos, bool Extend);

    // The most the user may make the text (characters); 0 means no limit.
    int Limit() const { return FLimit; }
    void SetLimit(int Value) { FLimit = Value < 0 ? 0 : Value; }

    // Replaces the selection by S, cut to what the limit leaves room for, and
    // leaves the caret after it. False, with nothing changed, when none of a
    // non-empty S fits (or there was nothing to do).
    bool Replace(std::string_view S, TChange Kind, bool CanUndo = true);
    // Backspace and Delete: the selection, or the character (line break)
    // before or after the caret. False when there was nothing to delete.
    bool DeleteBack();
    bool DeleteForward();

    bool CanUndo() const { return FUndoValid; }
    // Puts back the text and selection before the last step; a second Undo
    // takes the step again.
    bool Undo();
    void ClearUndo() {
        FUndoValid = false;
        FRun = chOther;
    }

    // --- words: runs of anything but blanks, tabs and line breaks ---
    // Ctrl+Left: the start of the word at or before Pos.
    int WordLeft(int Pos) const;
    // Ctrl+Right: the start of the next word (after the blanks that follow this one).
    int WordRight(int Pos) const;
    // The word under Pos with the blanks after it, as a double click selects it.
    void WordAt(int Pos, int& Start, int& End) const;

    // The position one character left or right of Pos, a line break counting as one.
    int PrevPos(int Pos) const;
    int NextPos(int Pos) const;
    // Pos moved off the middle of a line break, within the text.
    int Clamp(int Pos) const;

private:
    void Snapshot(TChange Kind, bool CanUndo);
    AnsiString FText;
    uint64_t FVersion = 0;
    int FAnchor = 0, FCaret = 0;
    int FLimit = 0;
    TChange FRun = chOther;  // the kind of the typing run in progress
    int FRunEnd = -1;        // where the run's caret stood after its last step
    bool FUndoValid = false;
    AnsiString FUndoText;
    int FUndoAnchor = 0, FUndoCaret = 0;
};

// One line of a laid-out text: the characters [Start, End) are shown; Next
// is where the following line starts (after the line break, or equal to End
// where a long line was wrapped).
struct TEditLine {
    int Start = 0;
    int End = 0;
    int Next = 0;
};

// Breaks Text into lines at its CR LF breaks and, when Wrap is set, where a
// line grows wider than Width: after the last blank that fits, or inside a
// word too long for a line. Measure gives the width of a piece of text.
// There is always at least one line.
std::vector<TEditLine> LayoutEditLines(std::string_view Text, bool Wrap, int Width,
                                       const std::function<int(std::string_view)>& Measure);
// The index of the line that holds Pos (a position at a wrap belongs to the next line).
int EditLineOf(const std::vector<TEditLine>& Lines, int Pos);
