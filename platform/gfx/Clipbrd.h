#pragma once
// The clipboard as the class library shows it: pictures and texts go on it
// and come back through Assign.
//
// What the store holds for a picture: CF_BITMAP a BMP file; CF_ENHMETAFILE
// an enhanced metafile file; CF_METAFILEPICT the mapping record (mode,
// width and height in 0.01 mm, a null handle: four little-endian 32-bit
// values) followed by the classic metafile file. A metafile goes on as both
// metafile formats.
#include "platform/gfx/Bitmap.h"

ZELMOR_EXCEPTION(EClipboardException, Exception);

class TClipboard : public TPersistent {
    ZELMOR_CLASS(TClipboard, TPersistent)
public:
    void Clear();
    bool HasFormat(unsigned Format) const;
    AnsiString AsText() const;
    void SetAsText(const AnsiString& Value);
    // A bitmap, a metafile, or the graphic of a picture replace the contents;
    // EClipboardException when the clipboard cannot be opened.
    void Assign(TPersistent* Source) override;

protected:
    // Into a bitmap from CF_BITMAP, into a metafile from either metafile
    // format, into a picture whichever there is.
    void AssignTo(TPersistent* Dest) override;
};

// The process's clipboard object.
TClipboard* Clipboard();
