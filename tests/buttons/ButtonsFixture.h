#pragma once
// What the button tests share: the screen fixture (the off-screen display, a
// fresh application for each test, a clock that moves only when told) with
// the library's classes known by name, and small helpers for pictures and
// form text.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "buttons/fcBitmap.h"
#include "tests/support/ui/ScreenTest.h"

class ButtonsTest : public ScreenTest {
protected:
    ButtonsTest();
    // A frameless form at (100, 100) in the button face colour, so screen = client + (100, 100).
    TForm* NewForm(int Width = 300, int Height = 200);
    // The form's pixels, painted up to date (window coordinates).
    uint32_t PixelOf(TCustomForm* Form, int X, int Y) { return ::PixelOf(Ui, Form, X, Y); }
};

// A press, a move and a release of the left button as the display reports them (screen points).
void PressAt(TPoint P);
void ReleaseAt(TPoint P);
void MoveTo(TPoint P);

// The bytes of a stream, as the form text's hexadecimal block writes them.
std::string HexOf(const std::string& Bytes);
// A form text's binary block: lines of hexadecimal within { }.
std::string BinaryBlock(const std::string& Bytes, int Indent);

// 0x00RRGGBB of a colour, system colours resolved.
uint32_t PixelOfColor(TColor Color);

// The points of a picture that have a colour.
using TInk = std::set<std::pair<int, int>>;
TInk InkOf(const TSurface& S, uint32_t Pixel, const TRect& Within);
TInk Shifted(const TInk& Ink, int Dx, int Dy);
