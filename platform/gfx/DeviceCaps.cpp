#include "platform/gfx/DeviceCaps.h"

int GetDeviceCaps(const TCanvas* DC, int Index) {
    switch (Index) {
    case PLANES: return 1;
    case BITSPIXEL: {
        const TSurface* S = DC ? DC->Surface() : nullptr;
        if (!S) return 32;
        if (S->Monochrome()) return 1;
        return S->Format() == TSurfaceFormat::Bgr24 ? 24 : 32;
    }
    default: return 0;
    }
}
