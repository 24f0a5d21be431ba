#pragma once
// Graphics: the abstract TGraphic, the bitmap TBitmap with its canvas, and
// TPicture, the holder that forms and buttons stream.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gfx/Graphics.h"

class TStream;
struct TBmpImage;

class TGraphic : public TPersistent {
    ZELMOR_CLASS(TGraphic, TPersistent)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // The graphic's file (for a bitmap, a BMP file) from the stream's
    // position to its end; a stream with nothing left empties the graphic.
    // A file that cannot be read raises and leaves the graphic as it was.
    virtual void LoadFromStream(TStream& Stream) = 0;
    // An empty graphic writes nothing.
    virtual void SaveToStream(TStream& Stream) const = 0;
    // The program's file names (platform/sys maps them); EFOpenError or
    // EFCreateError when the file cannot be opened or made.
    void LoadFromFile(std::string_view FileName);
    void SaveToFile(std::string_view FileName) const;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    friend class TPicture;
    // Form files carry a graphic as the binary property "Data" (Glyph.Data),
    // written for a graphic that is not empty.
    void DefineProperties(TFiler* Filer) override;
    // What "Data" holds; EReadError when the bytes cannot be used.
    virtual void ReadData(TStream& Stream) = 0;
    virtual void WriteData(TStream& Stream) const = 0;
    // Draws the graphic scaled into R (device work through the canvas).
    virtual void Draw(TCanvas* Canvas, const TRect& R) const = 0;
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};

enum TPixelFormat : uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

class TBitmap : public TGraphic {
    ZELMOR_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int Width, int Height);

    // pf24bit keeps three bytes per pixel in rows of 3 * width + width mod 4
    // bytes (ScanLine gives them); the other formats keep a 32-bit word per
    // pixel and remember their depth and colour table for saving. pf1bit is
    // the monochrome bitmap.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const;
    void SetMonochrome(bool Value);
    // 0x00RRGGBB entries of a palette format (kept from a loaded file).
    const std::vector<uint32_t>& ColorTable() const { return FColorTable; }
    void SetColorTable(std::vector<uint32_t> Table);

    // tmAuto: the bottom-left pixel; tmFixed: the colour set last.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);  // switches the mode to tmFixed
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    TCanvas* Canvas();
    const TCanvas* Canvas() const;
    TSurface& Surface() { return FSurface; }
    const TSurface& Surface() const { return FSurface; }
    uint8_t* ScanLine(int Row);

    // A monochrome mask: pixels of the colour become 1 (white), all others 0 (black).
    std::unique_ptr<TBitmap> CreateMask(TColor TransparentColor) const;

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;
    // A bitmap built into the program (resources/bitmaps), found without
    // regard to case; EResNotFound when there is none, and the bitmap stays.
    void LoadFromResourceName(std::string_view Name);
    void Assign(TPersistent* Source) override;

    // The platform frees device resources of bitmaps it does not show; ours
    // hold none, so these keep the pixels and do nothing else.
    void Dormant() {}
    void FreeImage() {}
    void ReleaseHandle() {}

protected:
    void Draw(TCanvas* Canvas, const TRect& R) const override;
    void AssignTo(TPersistent* Dest) override;
    // The BMP file's byte count as 32 bits, then the file.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) const override;

private:
    void TakeImage(TBmpImage& Image);
    void Resurface(int Width, int Height, TSurfaceFormat Format, bool Keep);
    void CanvasChanged(TObject*);
    TSurface FSurface;
    std::unique_ptr<TCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
    std::vector<uint32_t> FColorTable;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

class TPicture : public TPersistent {
    ZELMOR_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value);  // copies it; nullptr empties the picture
    // The bitmap, made (and the old graphic dropped) when the picture holds none.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;
    void Assign(TPersistent* Source) override;
    // A BMP file becomes the picture's bitmap; an empty picture saves
    // nothing (and makes no file).
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(std::string_view FileName);
    void SaveToFile(std::string_view FileName) const;

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;
    // The form property "Data" (Picture.Data): the graphic's class name as a
    // short string, then the graphic's own data (a bitmap: its byte count as
    // 32 bits, then the BMP file). An empty class name is an empty picture.
    // Raises EReadError when the bytes cannot be used; the picture stays.
    void DefineProperties(TFiler* Filer) override;

private:
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;
    void Adopt(std::unique_ptr<TGraphic> Graphic);
    void GraphicChanged(TObject*);
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};
