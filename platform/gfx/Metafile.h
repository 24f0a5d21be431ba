#pragma once
// Metafiles: a picture that other programs open as a vector image.
//
// On this machine a metafile holds a picture, not a list of drawing calls: a
// TMetafileCanvas draws through an ordinary canvas onto a surface of the
// metafile's size, and what it drew becomes the metafile's picture when the
// canvas is freed. Saved, the metafile is a standard file holding that
// picture as one stretched-bitmap record: an enhanced metafile (.emf), or a
// placeable classic one (.wmf) when Enhanced is false. Loading reads back
// exactly what saving writes; any other file raises EInvalidGraphic. The
// metafile draws, and stretches, like a bitmap.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gfx/Bitmap.h"

class TMetafile : public TGraphic {
    ZELMOR_CLASS(TMetafile, TGraphic)
    friend class TMetafileCanvas;

public:
    TMetafile();
    ~TMetafile() override;

    // Empty until a canvas has drawn it or a file has been read.
    bool Empty() const override;
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The size the next canvas draws at (a picture already drawn is cut or
    // widened with white).
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool Value);
    const TSurface& Picture() const { return FPicture; }

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;
    void Assign(TPersistent* Source) override;

    // The two file formats, for the clipboard: the enhanced file, and the
    // classic one without its placeable header.
    std::vector<uint8_t> EnhancedBytes() const;
    std::vector<uint8_t> ClassicBytes() const;
    // Reads an enhanced file, a placeable classic one, or a classic one
    // without its placeable header; raises EInvalidGraphic for anything else.
    void LoadFromBytes(std::span<const uint8_t> Bytes);

protected:
    void Draw(TCanvas* Canvas, const TRect& R) const override;
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;

private:
    void Resize();
    int FWidth = 0, FHeight = 0;
    bool FEnhanced = true;
    TSurface FPicture;
    mutable std::unique_ptr<TCanvas> FPictureCanvas;
};

// Draws onto a white surface of the metafile's size (at least 1 x 1) and
// hands the picture to the metafile when it is freed. There is no reference
// device here: the argument is accepted for the callers that pass one.
class TMetafileCanvas : public TCanvas {
    ZELMOR_CLASS(TMetafileCanvas, TCanvas)
public:
    TMetafileCanvas(TMetafile* Metafile, TCanvas* ReferenceDevice);
    ~TMetafileCanvas() override;

private:
    TMetafile* FMetafile;
    std::unique_ptr<TSurface> FSurface;
};
