#include "platform/gfx/Bmp.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/rtl/Streams.h"

namespace {

// Larger images are refused rather than allocated: no bitmap of the
// program comes near this, and a damaged header must not exhaust memory.
constexpr int64_t MaxPixels = 64LL * 1024 * 1024;

[[noreturn]] void Bad(const char* Why) {
    throw EInvalidGraphic(AnsiString("Bitmap image is not valid: ") + Why);
}

class TReader {
public:
    explicit TReader(std::span<const uint8_t> B) : FB(B) {}
    bool Has(size_t At, size_t N) const { return At <= FB.size() && N <= FB.size() - At; }
    uint32_t U32(size_t At) const {
        if (!Has(At, 4)) Bad("truncated header");
        return uint32_t(FB[At]) | (uint32_t(FB[At + 1]) << 8) | (uint32_t(FB[At + 2]) << 16) |
               (uint32_t(FB[At + 3]) << 24);
    }
    uint16_t U16(size_t At) const {
        if (!Has(At, 2)) Bad("truncated header");
        return uint16_t(FB[At] | (FB[At + 1] << 8));
    }
    uint8_t U8(size_t At) const { return FB[At]; }
    size_t Size() const { return FB.size(); }

private:
    std::span<const uint8_t> FB;
};

int MaskShift(uint32_t Mask) {
    int s = 0;
    if (Mask == 0) return 0;
    while (!(Mask & 1)) {
        Mask >>= 1;
        ++s;
    }
    return s;
}

int MaskBits(uint32_t Mask) {
    int n = 0;
    for (; Mask; Mask >>= 1) n += Mask & 1;
    return n;
}

uint8_t Channel(uint32_t V, uint32_t Mask) {
    if (!Mask) return 0;
    uint32_t c = (V & Mask) >> MaskShift(Mask);
    int bits = MaskBits(Mask);
    if (bits >= 8) return uint8_t(c >> (bits - 8));
    // Scale up so that the largest value becomes 255.
    return uint8_t(c * 255 / ((1u << bits) - 1));
}

void PutLE(std::vector<uint8_t>& Out, uint32_t V, int Bytes) {
    for (int i = 0; i < Bytes; ++i) Out.push_back(uint8_t(V >> (8 * i)));
}

std::vector<uint32_t> DefaultTable(int BitCount) {
    std::vector<uint32_t> t;
    if (BitCount == 1) return {0x000000, 0xFFFFFF};
    if (BitCount == 4)
        return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 256; ++i) {
        uint32_t r = uint32_t((i >> 5) & 7) * 255 / 7, g = uint32_t((i >> 2) & 7) * 255 / 7,
                 b = uint32_t(i & 3) * 255 / 3;
        t.push_back((r << 16) | (g << 8) | b);
    }
    return t;
}

TBmpImage ParseBmp(std::span<const uint8_t> Bytes) {
    TReader r(Bytes);
    if (Bytes.size() < 14 + 12 || Bytes[0] != 'B' || Bytes[1] != 'M') Bad("no BM header");
    uint32_t offBits = r.U32(10);
    uint32_t headerSize = r.U32(14);
    int64_t width, height;
    int bitCount, planes;
    uint32_t compression = 0, colorsUsed = 0;
    bool core = headerSize == 12;
    if (core) {
        width = r.U16(18);
        height = int16_t(r.U16(20));
        planes = r.U16(22);
        bitCount = r.U16(24);
    } else {
        if (headerSize < 40 || headerSize > 256) Bad("unknown header size");
        width = int32_t(r.U32(18));
        height = int32_t(r.U32(22));
        planes = r.U16(26);
        bitCount = r.U16(28);
        compression = r.U32(30);
        colorsUsed = r.U32(46);
    }
    if (planes != 1) Bad("more than one plane");
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > MaxPixels) Bad("bad size");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Bad("unsupported depth");
    bool rle = compression == 1 || compression == 2;
    if (compression == 1 && bitCount != 8) Bad("RLE8 needs 8 bits");
    if (compression == 2 && bitCount != 4) Bad("RLE4 needs 4 bits");
    if (compression > 3) Bad("unsupported compression");
    if (rle && topDown) Bad("compressed top-down image");
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    size_t tableAt = 14 + headerSize;
    if (compression == 3) {
        if (bitCount != 16 && bitCount != 32) Bad("bit fields need 16 or 32 bits");
        size_t at = headerSize >= 52 ? 14 + 40 : tableAt;
        masks[0] = r.U32(at);
        masks[1] = r.U32(at + 4);
        masks[2] = r.U32(at + 8);
        if (headerSize < 52) tableAt += 12;
    }
    TBmpImage img;
    img.BitCount = bitCount;
    if (bitCount <= 8) {
        size_t count = colorsUsed ? colorsUsed : (size_t(1) << bitCount);
        if (count > 256) Bad("colour table too large");
        size_t entry = core ? 3 : 4;
        // Tables cut short by the pixel offset are read as far as they go.
        for (size_t i = 0; i < count; ++i) {
            size_t at = tableAt + i * entry;
            if (!r.Has(at, 3) || (offBits >= tableAt && at + 3 > offBits)) break;
            img.ColorTable.push_back(uint32_t(r.U8(at)) | (uint32_t(r.U8(at + 1)) << 8) |
                                     (uint32_t(r.U8(at + 2)) << 16));
        }
        if (img.ColorTable.empty()) Bad("missing colour table");
    }
    if (offBits >= Bytes.size()) Bad("no pixel data");
    int w = int(width), h = int(height);
    img.Pixels.Reset(w, h, TSurfaceFormat::Xrgb32, 0);
    auto color = [&img](uint32_t Index) -> uint32_t {
        return Index < img.ColorTable.size() ? img.ColorTable[Index] : 0;
    };
    auto rowOf = [&](int FileRow) { return topDown ? FileRow : h - 1 - FileRow; };
    if (!rle) {
        size_t stride = ((size_t(w) * size_t(bitCount) + 31) / 32) * 4;
        std::vector<uint32_t> line(static_cast<size_t>(w));
        for (int fy = 0; fy < h; ++fy) {
            size_t at = size_t(offBits) + size_t(fy) * stride;
            // A file cut short keeps the rows it has; the rest stays black.
            if (!r.Has(at, (size_t(w) * size_t(bitCount) + 7) / 8)) break;
            const uint8_t* p = Bytes.data() + at;
            for (int x = 0; x < w; ++x) {
                uint32_t v;
                switch (bitCount) {
                case 1: v = color((p[x >> 3] >> (7 - (x & 7))) & 1); break;
                case 4: v = color((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 15); break;
                case 8: v = color(p[x]); break;
                case 16: {
                    uint32_t u = uint32_t(p[2 * x]) | (uint32_t(p[2 * x + 1]) << 8);
                    v = (uint32_t(Channel(u, masks[0])) << 16) | (uint32_t(Channel(u, masks[1])) << 8) |
                        Channel(u, masks[2]);
                    break;
                }
                case 24:
                    v = uint32_t(p[3 * x]) | (uint32_t(p[3 * x + 1]) << 8) | (uint32_t(p[3 * x + 2]) << 16);
                    break;
                default: {
                    const uint8_t* q = p + 4 * x;
                    uint32_t u = uint32_t(q[0]) | (uint32_t(q[1]) << 8) | (uint32_t(q[2]) << 16) |
                                 (uint32_t(q[3]) << 24);
                    v = (uint32_t(Channel(u, masks[0])) << 16) | (uint32_t(Channel(u, masks[1])) << 8) |
                        Channel(u, masks[2]);
                    break;
                }
                }
                line[size_t(x)] = v;
            }
            img.Pixels.WriteSpan(0, rowOf(fy), w, line.data());
        }
    } else {
        // Run-length encoding: pairs of count and value, escapes 0 0 (end of
        // line), 0 1 (end of image), 0 2 dx dy (move), 0 n (n literal values).
        size_t at = offBits;
        int x = 0, fy = 0;
        bool four = compression == 2;
        auto put = [&](uint32_t index) {
            if (x < w && fy < h) img.Pixels.SetPixel(x, rowOf(fy), color(index));
            ++x;
        };
        while (r.Has(at, 2) && fy < h) {
            uint8_t n = Bytes[at], v = Bytes[at + 1];
            at += 2;
            if (n > 0) {
                for (int i = 0; i < n; ++i) put(four ? ((i & 1) ? v & 15 : v >> 4) : v);
                continue;
            }
            if (v == 0) {
                x = 0;
                ++fy;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                if (!r.Has(at, 2)) break;
                x += Bytes[at];
                fy += Bytes[at + 1];
                at += 2;
            } else {
                size_t bytes = four ? (size_t(v) + 1) / 2 : v;
                if (!r.Has(at, bytes)) break;
                for (int i = 0; i < v; ++i)
                    put(four ? ((i & 1) ? Bytes[at + size_t(i) / 2] & 15 : Bytes[at + size_t(i) / 2] >> 4)
                             : Bytes[at + size_t(i)]);
                at += (bytes + 1) & ~size_t(1);
            }
        }
    }
    return img;
}

std::vector<uint8_t> FormatBmp(const TSurface& Pixels, int BitCount, std::span<const uint32_t> ColorTable) {
    int w = Pixels.Width(), h = Pixels.Height();
    if (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 32) BitCount = 24;
    std::vector<uint32_t> table;
    if (BitCount <= 8) {
        table.assign(ColorTable.begin(), ColorTable.end());
        if (table.empty() || table.size() > (size_t(1) << BitCount)) table = DefaultTable(BitCount);
    }
    size_t stride = ((size_t(w) * size_t(BitCount) + 31) / 32) * 4;
    size_t tableBytes = table.size() * 4;
    size_t off = 14 + 40 + tableBytes;
    std::vector<uint8_t> out;
    out.reserve(off + stride * size_t(h));
    out.push_back('B');
    out.push_back('M');
    PutLE(out, uint32_t(off + stride * size_t(h)), 4);
    PutLE(out, 0, 4);
    PutLE(out, uint32_t(off), 4);
    PutLE(out, 40, 4);
    PutLE(out, uint32_t(w), 4);
    PutLE(out, uint32_t(h), 4);
    PutLE(out, 1, 2);
    PutLE(out, uint32_t(BitCount), 2);
    PutLE(out, 0, 4);
    PutLE(out, uint32_t(stride * size_t(h)), 4);
    PutLE(out, 3780, 4);  // 96 pixels per inch
    PutLE(out, 3780, 4);
    PutLE(out, table.size() == (size_t(1) << BitCount) ? 0 : uint32_t(table.size()), 4);
    PutLE(out, 0, 4);
    for (uint32_t c : table) PutLE(out, c & 0xFFFFFF, 4);
    std::unordered_map<uint32_t, uint32_t> exact;
    for (size_t i = table.size(); i-- > 0;) exact[table[i] & 0xFFFFFF] = uint32_t(i);
    auto index = [&](uint32_t p) -> uint32_t {
        auto it = exact.find(p);
        if (it != exact.end()) return it->second;
        uint32_t best = 0;
        int bestD = 1 << 30;
        for (size_t i = 0; i < table.size(); ++i) {
            int dr = int((p >> 16) & 255) - int((table[i] >> 16) & 255),
                dg = int((p >> 8) & 255) - int((table[i] >> 8) & 255),
                db = int(p & 255) - int(table[i] & 255);
            int d = dr * dr + dg * dg + db * db;
            if (d < bestD) {
                bestD = d;
                best = uint32_t(i);
            }
        }
        exact[p] = best;
        return best;
    };
    std::vector<uint32_t> line(static_cast<size_t>(w));
    for (int fy = 0; fy < h; ++fy) {
        Pixels.ReadSpan(0, h - 1 - fy, w, line.data());
        size_t start = out.size();
        out.resize(start + stride, 0);
        uint8_t* p = out.data() + start;
        for (int x = 0; x < w; ++x) {
            uint32_t v = line[size_t(x)];
            switch (BitCount) {
            case 1: p[x >> 3] |= uint8_t((index(v) & 1) << (7 - (x & 7))); break;
            case 4: p[x >> 1] |= uint8_t((index(v) & 15) << ((x & 1) ? 0 : 4)); break;
            case 8: p[x] = uint8_t(index(v)); break;
            case 24:
                p[3 * x] = uint8_t(v);
                p[3 * x + 1] = uint8_t(v >> 8);
                p[3 * x + 2] = uint8_t(v >> 16);
                break;
            default:
                p[4 * x] = uint8_t(v);
                p[4 * x + 1] = uint8_t(v >> 8);
                p[4 * x + 2] = uint8_t(v >> 16);
                break;
            }
        }
    }
    return out;
}

}  // namespace

TBmpImage ReadBmp(TStream& Stream, int64_t Size) {
    // A size claimed by form data or a blob header is never trusted beyond
    // what the stream holds, so a damaged one cannot ask for memory.
    int64_t left = std::max<int64_t>(Stream.Size() - Stream.Position(), 0);
    int64_t want = Size < 0 ? left : std::min(Size, left);
    std::vector<uint8_t> bytes(static_cast<size_t>(want));
    int64_t got = want > 0 ? Stream.Read(bytes.data(), want) : 0;
    bytes.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
    return ParseBmp(bytes);
}

void WriteBmp(TStream& Stream, const TSurface& Pixels, int BitCount, std::span<const uint32_t> ColorTable) {
    std::vector<uint8_t> bytes = FormatBmp(Pixels, BitCount, ColorTable);
    Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}
