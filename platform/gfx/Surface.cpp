#include "platform/gfx/Surface.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

int SurfaceStride(int Width, TSurfaceFormat Format) {
    if (Width <= 0) return 0;
    // 3 * w + w mod 4 is the 4-byte aligned row of a 24-bit bitmap.
    return Format == TSurfaceFormat::Xrgb32 ? Width * 4 : 3 * Width + Width % 4;
}

TSurface::TSurface(int Width, int Height, TSurfaceFormat Format) { Reset(Width, Height, Format); }

void TSurface::Reset(int Width, int Height, TSurfaceFormat Format, uint32_t Fill) {
    FFormat = Format;
    FMonochrome = false;
    if (Width <= 0 || Height <= 0) {
        FWidth = FHeight = FStride = 0;
        FBits.clear();
        FBits.shrink_to_fit();
        Touch();
        return;
    }
    FWidth = Width;
    FHeight = Height;
    FStride = SurfaceStride(Width, Format);
    FBits.assign(size_t(FStride) * size_t(Height), 0);
    this->Fill(Fill);
}

void TSurface::SetMonochrome(bool Value) {
    if (Value == FMonochrome) return;
    FMonochrome = Value;
    if (!Value) return;
    std::vector<uint32_t> row(static_cast<size_t>(std::max(FWidth, 0)));
    for (int y = 0; y < FHeight; ++y) {
        ReadSpan(0, y, FWidth, row.data());
        for (auto& p : row) p = (p & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
        WriteSpan(0, y, FWidth, row.data());
    }
    Touch();
}

uint32_t TSurface::GetPixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
    uint32_t p;
    ReadSpan(X, Y, 1, &p);
    return p;
}

void TSurface::SetPixel(int X, int Y, uint32_t Rgb) {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
    WriteSpan(X, Y, 1, &Rgb);
}

void TSurface::Fill(uint32_t Rgb) {
    Rgb &= 0xFFFFFF;
    if (FMonochrome) Rgb = Rgb == 0xFFFFFF ? 0xFFFFFF : 0;
    if (FFormat == TSurfaceFormat::Xrgb32) {
        for (int y = 0; y < FHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(ScanLine(y));
            std::fill(row, row + FWidth, Rgb);
        }
    } else {
        std::vector<uint32_t> row(size_t(FWidth), Rgb);
        for (int y = 0; y < FHeight; ++y) WriteSpan(0, y, FWidth, row.data());
    }
    Touch();
}

void TSurface::ReadSpan(int X, int Y, int Count, uint32_t* Out) const {
    const uint8_t* row = ScanLine(Y);
    if (FFormat == TSurfaceFormat::Xrgb32) {
        const auto* p = reinterpret_cast<const uint32_t*>(row) + X;
        for (int i = 0; i < Count; ++i) Out[i] = p[i] & 0xFFFFFF;
    } else {
        const uint8_t* p = row + size_t(X) * 3;
        for (int i = 0; i < Count; ++i, p += 3)
            Out[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
}

void TSurface::WriteSpan(int X, int Y, int Count, const uint32_t* In) {
    uint8_t* row = ScanLine(Y);
    if (FFormat == TSurfaceFormat::Xrgb32) {
        auto* p = reinterpret_cast<uint32_t*>(row) + X;
        if (FMonochrome)
            for (int i = 0; i < Count; ++i) p[i] = (In[i] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
        else
            for (int i = 0; i < Count; ++i) p[i] = In[i] & 0xFFFFFF;
    } else {
        uint8_t* p = row + size_t(X) * 3;
        for (int i = 0; i < Count; ++i, p += 3) {
            p[0] = uint8_t(In[i]);
            p[1] = uint8_t(In[i] >> 8);
            p[2] = uint8_t(In[i] >> 16);
        }
    }
}

namespace {
// A cairo image of the surface's pixels (at least 1 x 1); the caller destroys it.
cairo_surface_t* CairoImageOf(const TSurface& Surface) {
    int w = std::max(Surface.Width(), 1), h = std::max(Surface.Height(), 1);
    cairo_surface_t* png = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(png);
    uint8_t* data = cairo_image_surface_get_data(png);
    int stride = cairo_image_surface_get_stride(png);
    std::memset(data, 0, size_t(stride) * size_t(h));
    for (int y = 0; y < Surface.Height(); ++y)
        Surface.ReadSpan(0, y, Surface.Width(),
                         reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride)));
    cairo_surface_mark_dirty(png);
    return png;
}

// The pixels of a cairo image, which the caller destroys.
TSurface SurfaceOfCairoImage(cairo_surface_t* png) {
    int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
    cairo_format_t format = cairo_image_surface_get_format(png);
    TSurface result(w, h);
    cairo_surface_flush(png);
    const uint8_t* data = cairo_image_surface_get_data(png);
    int stride = cairo_image_surface_get_stride(png);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        auto* dst = reinterpret_cast<uint32_t*>(result.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            uint32_t p = src[x];
            if (format == CAIRO_FORMAT_ARGB32) {
                // Premultiplied: undo it so a fully opaque image comes back exactly.
                uint32_t a = p >> 24;
                if (a != 0 && a != 255) {
                    uint32_t r = ((p >> 16) & 0xFF) * 255 / a, g = ((p >> 8) & 0xFF) * 255 / a,
                             b = (p & 0xFF) * 255 / a;
                    p = (r << 16) | (g << 8) | b;
                }
            }
            dst[x] = p & 0xFFFFFF;
        }
    }
    return result;
}

struct TPngReadState {
    std::span<const uint8_t> Bytes;
    size_t Position = 0;
};
}  // namespace

void SaveSurfaceToPng(const TSurface& Surface, const std::string& FileName) {
    cairo_surface_t* png = CairoImageOf(Surface);
    cairo_status_t status = cairo_surface_write_to_png(png, FileName.c_str());
    cairo_surface_destroy(png);
    if (status != CAIRO_STATUS_SUCCESS) throw EInOutError("Cannot write " + FileName);
}

std::vector<uint8_t> EncodePng(const TSurface& Surface) {
    std::vector<uint8_t> Bytes;
    cairo_surface_t* png = CairoImageOf(Surface);
    cairo_status_t status = cairo_surface_write_to_png_stream(
        png,
        [](void* Closure, const unsigned char* Data, unsigned int Length) {
            auto* Out = static_cast<std::vector<uint8_t>*>(Closure);
            Out->insert(Out->end(), Data, Data + Length);
            return CAIRO_STATUS_SUCCESS;
        },
        &Bytes);
    cairo_surface_destroy(png);
    if (status != CAIRO_STATUS_SUCCESS) throw EInOutError("Cannot make a PNG image");
    return Bytes;
}

TSurface DecodePng(std::span<const uint8_t> Bytes) {
    TPngReadState State{Bytes};
    cairo_surface_t* png = cairo_image_surface_create_from_png_stream(
        [](void* Closure, unsigned char* Data, unsigned int Length) {
            auto* S = static_cast<TPngReadState*>(Closure);
            if (S->Bytes.size() - S->Position < Length) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(Data, S->Bytes.data() + S->Position, Length);
            S->Position += Length;
            return CAIRO_STATUS_SUCCESS;
        },
        &State);
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        throw EInOutError("Not a PNG image");
    }
    TSurface Result = SurfaceOfCairoImage(png);
    cairo_surface_destroy(png);
    return Result;
}

TSurface LoadSurfaceFromPng(const std::string& FileName) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(FileName.c_str());
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        throw EInOutError("Cannot read " + FileName);
    }
    TSurface result = SurfaceOfCairoImage(png);
    cairo_surface_destroy(png);
    return result;
}
