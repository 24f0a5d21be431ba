#pragma once
// The grid's cell hints and URL-Link cells; their code is in wwgridhint.cpp
// (the grid's own operations among it).
//
// Cell hints (dgShowCellHint): as the mouse comes onto a data cell whose text
// does not fit, a tooltip-coloured window is laid exactly over the cell
// with the whole text. A timer of 250 ms watches it: the hint goes when the
// mouse leaves the cell (by more than a pixel) or the grid, after the
// application's HintHidePause (at least 16 ticks, about 4 seconds), on a
// click, and when the grid scrolls. A hint that would pass the screen's
// right edge keeps its right edge and grows to the left; its top stays the
// cell's.
//
// URL-Link cells (ControlType "URL-Link"): the text "display#address" shows
// its display part in blue, underlined, red under the mouse with the hand
// cursor; a left press opens the address through the shell's opener, a bare
// e-mail address as "MailTo:" + address. The opener takes only web and mail
// addresses: any other address, or one the desktop fails to open, is told
// to the user in a message box ("Only web and mail addresses can be opened:
// ..." or "Unable to open ...").
#include "platform/classes/Alignment.h"
#include "platform/ui/HintWindow.h"

class TField;
class TTimer;
class TwwCustomDBGrid;

// A link cell's text: the display part before the first "#", the address
// after it up to a further "#"; without an address the display text is it.
void SplitURLLinkText(const AnsiString& Text, AnsiString& Display, AnsiString& Address);
// The address with "MailTo:" in front when it is a bare e-mail address: its
// first "@" after the first character and before its first ".", and no
// "MAILTO:" in it.
AnsiString WithMailTo(const AnsiString& Address);

// The hint window laid over a cell.
class TwwGridHintWindow : public THintWindow {
    ZELMOR_CLASS(TwwGridHintWindow, THintWindow)
public:
    explicit TwwGridHintWindow(TComponent* AOwner);
    TField* Field = nullptr;
    bool WordWrap = true;
    TAlignment Alignment = taLeftJustify;

protected:
    void Paint() override;
};

// What the grid keeps of its hint and of the link under the mouse.
struct TwwGridHintState {
    int HintCol = 0, HintRow = 0;
    TwwGridHintWindow* Window = nullptr;
    TTimer* Timer = nullptr;
    int Ticks = 0;
    bool Freeing = false;
    int HoverCol = -1, HoverRow = -1;
    TCursor SavedCursor = 0;
    bool Hovering = false;
    // The window or the timer is being freed (by its owner, the grid).
    void Forget(const void* Component) {
        if (Component == static_cast<const void*>(Window)) Window = nullptr;
        if (Component == static_cast<const void*>(Timer)) Timer = nullptr;
    }
};
