#include "buttons/fcPixelSwap.h"

void fcSwapRedBlue(uint32_t* Entries, int Count) {
    for (int i = Count - 1; i >= 0; --i) {
        uint32_t e = Entries[i];
        Entries[i] = ((e & 0xFF) << 16) | (e & 0xFF00) | ((e >> 16) & 0xFF);
    }
}
