#pragma once
// Cursor files (.cur): a picture, a mask of where the picture is seen, and
// the hot spot, the point of the picture that is the mouse position. The
// program's own cursors are such files under resources/cursors/.
#include <span>
#include <string_view>

#include "platform/gfx/Surface.h"

struct TCursorImage {
    TSurface Image;  // what shows where the mask is black
    TSurface Mask;   // white where the screen shows through
    TPoint HotSpot;
};

// The first picture of a cursor file; EInvalidGraphic when the bytes are not one.
TCursorImage ReadCursorFile(std::span<const uint8_t> Bytes);
// The cursor resource of that name; false when there is none.
bool LoadCursorResource(std::string_view Name, TCursorImage& Cursor);
