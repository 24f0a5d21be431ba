#pragma once
// Colour-table entries (blue, green, red, reserved) and palette entries
// (red, green, blue, flags) hold the same colours with red and blue
// exchanged; one routine turns either into the other.
#include <cstdint>

void fcSwapRedBlue(uint32_t* Entries, int Count);
