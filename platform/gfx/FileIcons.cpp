#include "platform/gfx/FileIcons.h"

#include <memory>

#include "platform/gfx/Bitmap.h"

void DrawFileIcon(TCanvas* Canvas, const TRect& R, bool IsFolder) {
    static std::unique_ptr<TBitmap> icons[2];
    std::unique_ptr<TBitmap>& icon = icons[IsFolder ? 1 : 0];
    if (!icon) {
        icon = std::make_unique<TBitmap>();
        icon->LoadFromResourceName(IsFolder ? "ORFOLDERICON" : "ORFILEICON");
    }
    Canvas->TransparentBlt(R.Left, R.Top, R.Width(), R.Height(), icon->Canvas(), 0, 0, icon->Width(),
                           icon->Height(), clWhite);
}
