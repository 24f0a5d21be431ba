#pragma once
// What a device context tells about its device: how many bits a pixel has
// and in how many planes. Code that keeps palettes for displays of 256
// colours or fewer asks here; our surfaces are all true colour.
#include "platform/gfx/Graphics.h"

// GetDeviceCaps indices.
enum : int { BITSPIXEL = 12, PLANES = 14 };

// BITSPIXEL: 32 on a colour surface (and for a canvas without one, which
// stands for the screen), 24 on a 24-bit bitmap, 1 on a monochrome one;
// PLANES: always 1. Any other index answers 0.
int GetDeviceCaps(const TCanvas* DC, int Index);
