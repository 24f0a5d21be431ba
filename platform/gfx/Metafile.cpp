#include "platform/gfx/Metafile.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/Bmp.h"
#include "platform/rtl/Streams.h"

ZELMOR_IMPLEMENT_CLASS_FACTORY(TMetafile, TGraphic, [](TObject*) -> TObject* { return new TMetafile; })
ZELMOR_IMPLEMENT_CLASS(TMetafileCanvas, TCanvas)

namespace {

// The records of the two formats that a picture needs.
constexpr uint32_t EMR_HEADER = 1, EMR_STRETCHDIBITS = 81, EMR_EOF = 14;
constexpr uint32_t EmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t EmfVersion = 0x10000;
constexpr uint32_t EmfHeaderSize = 88, EmfStretchSize = 80, EmfEofSize = 20;
constexpr uint16_t META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_STRETCHDIB = 0x0F43;
constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint32_t DibHeaderSize = 40;
// The picture's pixels are the screen's: 96 to the inch. The reference
// device an enhanced file names is a screen of 1024 x 768 at that density.
constexpr int PixelsPerInch = 96;
constexpr int DeviceWidth = 1024, DeviceHeight = 768, DeviceWidthMm = 271, DeviceHeightMm = 203;
// A classic file keeps sizes in 16 bits; a larger picture would not survive
// a damaged header either.
constexpr int MaxSide = 32767;

[[noreturn]] void Bad(const char* Why) { throw EInvalidGraphic(AnsiString("Metafile is not valid: ") + Why); }

class TOut {
public:
    void U16(uint32_t V) {
        FBytes.push_back(uint8_t(V));
        FBytes.push_back(uint8_t(V >> 8));
    }
    void U32(uint32_t V) {
        U16(V & 0xFFFF);
        U16(V >> 16);
    }
    void I32(int32_t V) { U32(static_cast<uint32_t>(V)); }
    void Bytes(std::span<const uint8_t> B) { FBytes.insert(FBytes.end(), B.begin(), B.end()); }
    std::vector<uint8_t>& Result() { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

class TIn {
public:
    explicit TIn(std::span<const uint8_t> B) : FB(B) {}
    size_t Size() const { return FB.size(); }
    uint32_t U16(size_t At) const {
        Need(At, 2);
        return uint32_t(FB[At]) | (uint32_t(FB[At + 1]) << 8);
    }
    uint32_t U32(size_t At) const { return U16(At) | (U16(At + 2) << 16); }
    int32_t I32(size_t At) const { return static_cast<int32_t>(U32(At)); }
    int32_t I16(size_t At) const { return static_cast<int16_t>(U16(At)); }
    std::span<const uint8_t> Part(size_t At, size_t Count) const {
        Need(At, Count);
        return FB.subspan(At, Count);
    }
    void Expect(bool Condition, const char* Why) const {
        if (!Condition) Bad(Why);
    }

private:
    void Need(size_t At, size_t Count) const {
        if (At > FB.size() || Count > FB.size() - At) Bad("truncated");
    }
    std::span<const uint8_t> FB;
};

// The picture as a bottom-up 24-bit bitmap without its file header.
std::vector<uint8_t> DibOf(const TSurface& Picture) {
    TStringStream S;
    WriteBmp(S, Picture, 24);
    const AnsiString& File = S.DataString();
    return std::vector<uint8_t>(File.begin() + 14, File.end());
}

uint32_t DibBitsSize(int Width, int Height) {
    return static_cast<uint32_t>(SurfaceStride(Width, TSurfaceFormat::Bgr24)) * static_cast<uint32_t>(Height);
}

// The pixels of a bitmap such as DibOf writes, of the given size.
TSurface PictureOf(const TIn& In, size_t At, size_t Count, int Width, int Height) {
    In.Expect(Width > 0 && Height > 0 && Width <= MaxSide && Height <= MaxSide, "bad picture size");
    In.Expect(Count == DibHeaderSize + DibBitsSize(Width, Height), "bad bitmap size");
    In.Expect(In.U32(At) == DibHeaderSize && In.I32(At + 4) == Width && In.I32(At + 8) == Height &&
                  In.U16(At + 12) == 1 && In.U16(At + 14) == 24 && In.U32(At + 16) == 0,
              "bad bitmap header");
    TOut File;
    File.U16('B' | ('M' << 8));
    File.U32(static_cast<uint32_t>(14 + Count));
    File.U32(0);
    File.U32(14 + DibHeaderSize);
    File.Bytes(In.Part(At, Count));
    const std::vector<uint8_t>& Bytes = File.Result();
    TStringStream S(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
    return std::move(ReadBmp(S).Pixels);
}

int Himetric(int Pixels) { return MulDiv(Pixels, 2540, PixelsPerInch); }

std::vector<uint8_t> ClassicFile(const TSurface& Picture, bool Placeable) {
    int W = Picture.Width(), H = Picture.Height();
    if (W > MaxSide || H > MaxSide) throw EInvalidGraphic("Metafile is too large for the classic format");
    std::vector<uint8_t> Dib = DibOf(Picture);
    uint32_t StretchWords = 14 + static_cast<uint32_t>(Dib.size() / 2);
    uint32_t TotalWords = 9 + 5 + 5 + StretchWords + 3;
    TOut O;
    if (Placeable) {
        const uint16_t Head[10] = {uint16_t(PlaceableKey & 0xFFFF),
                                   uint16_t(PlaceableKey >> 16),
                                   0,
                                   0,
                                   0,
                                   uint16_t(W),
                                   uint16_t(H),
                                   PixelsPerInch,
                                   0,
                                   0};
        uint16_t Sum = 0;
        for (uint16_t V : Head) {
            O.U16(V);
            Sum ^= V;
        }
        O.U16(Sum);
    }
    O.U16(1);  // in memory
    O.U16(9);  // header words
    O.U16(0x0300);
    O.U32(TotalWords);
    O.U16(0);  // objects
    O.U32(StretchWords);
    O.U16(0);
    O.U32(5);
    O.U16(META_SETWINDOWORG);
    O.U16(0);
    O.U16(0);
    O.U32(5);
    O.U16(META_SETWINDOWEXT);
    O.U16(static_cast<uint32_t>(H));
    O.U16(static_cast<uint32_t>(W));
    O.U32(StretchWords);
    O.U16(META_STRETCHDIB);
    O.U32(SRCCOPY);
    O.U16(0);  // colours are RGB values
    for (int V : {H, W, 0, 0, H, W, 0, 0}) O.U16(static_cast<uint32_t>(V));
    O.Bytes(Dib);
    O.U32(3);
    O.U16(0);
    return std::move(O.Result());
}

}  // namespace

// ---------------------------------------------------------------------------
// TMetafile
// ---------------------------------------------------------------------------

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const { return FPicture.Empty(); }

void TMetafile::SetWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FWidth) return;
    FWidth = Value;
    Resize();
}

void TMetafile::SetHeight(int Value) {
    Value = std::max(Value, 0);
    if (Value == FHeight) return;
    FHeight = Value;
    Resize();
}

void TMetafile::Resize() {
    if (FPicture.Empty()) return;
    TSurface Old = std::move(FPicture);
    FPicture = TSurface(FWidth, FHeight);
    int W = std::min(FWidth, Old.Width()), H = std::min(FHeight, Old.Height());
    std::vector<uint32_t> Row(static_cast<size_t>(std::max(W, 0)));
    for (int Y = 0; Y < H; ++Y) {
        Old.ReadSpan(0, Y, W, Row.data());
        FPicture.WriteSpan(0, Y, W, Row.data());
    }
    FPictureCanvas.reset();
    Changed();
}

void TMetafile::SetEnhanced(bool Value) {
    if (FEnhanced == Value) return;
    FEnhanced = Value;
    Changed();
}

void TMetafile::Draw(TCanvas* Canvas, const TRect& R) const {
    if (Empty()) return;
    if (!FPictureCanvas) FPictureCanvas = std::make_unique<TCanvas>(const_cast<TSurface*>(&FPicture));
    int Old = Canvas->SetStretchBltMode(COLORONCOLOR);
    Canvas->StretchBlt(R.Left, R.Top, R.Width(), R.Height(), FPictureCanvas.get(), 0, 0, FPicture.Width(),
                       FPicture.Height(), SRCCOPY);
    Canvas->SetStretchBltMode(Old);
}

std::vector<uint8_t> TMetafile::EnhancedBytes() const {
    if (Empty()) return {};
    int W = FPicture.Width(), H = FPicture.Height();
    std::vector<uint8_t> Dib = DibOf(FPicture);
    uint32_t Stretch = EmfStretchSize + static_cast<uint32_t>(Dib.size());
    TOut O;
    O.U32(EMR_HEADER);
    O.U32(EmfHeaderSize);
    for (int V : {0, 0, W - 1, H - 1}) O.I32(V);                      // bounds, inclusive
    for (int V : {0, 0, Himetric(W) - 1, Himetric(H) - 1}) O.I32(V);  // frame in 0.01 mm
    O.U32(EmfSignature);
    O.U32(EmfVersion);
    O.U32(EmfHeaderSize + Stretch + EmfEofSize);
    O.U32(3);  // records
    O.U16(1);  // handles: the reserved first one
    O.U16(0);
    O.U32(0);  // no description
    O.U32(0);
    O.U32(0);  // no palette
    for (int V : {DeviceWidth, DeviceHeight, DeviceWidthMm, DeviceHeightMm}) O.I32(V);
    O.U32(EMR_STRETCHDIBITS);
    O.U32(Stretch);
    for (int V : {0, 0, W - 1, H - 1}) O.I32(V);
    for (int V : {0, 0, 0, 0, W, H}) O.I32(V);  // destination, source corner, source size
    O.U32(EmfStretchSize);
    O.U32(DibHeaderSize);
    O.U32(EmfStretchSize + DibHeaderSize);
    O.U32(static_cast<uint32_t>(Dib.size()) - DibHeaderSize);
    O.U32(0);  // colours are RGB values
    O.U32(SRCCOPY);
    O.I32(W);
    O.I32(H);
    O.Bytes(Dib);
    O.U32(EMR_EOF);
    O.U32(EmfEofSize);
    O.U32(0);
    O.U32(16);
    O.U32(EmfEofSize);
    return std::move(O.Result());
}

std::vector<uint8_t> TMetafile::ClassicBytes() const {
    if (Empty()) return {};
    return ClassicFile(FPicture, false);
}

void TMetafile::SaveToStream(TStream& Stream) const {
    if (Empty()) return;
    std::vector<uint8_t> Bytes = FEnhanced ? EnhancedBytes() : ClassicFile(FPicture, true);
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TMetafile::LoadFromStream(TStream& Stream) {
    int64_t Left = Stream.Size() - Stream.Position();
    if (Left <= 0) {
        Assign(nullptr);
        return;
    }
    if (Left > int64_t(64) * 1024 * 1024 * 3) Bad("too large");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Left));
    Stream.ReadBuffer(Bytes.data(), Left);
    LoadFromBytes(Bytes);
}

void TMetafile::LoadFromBytes(std::span<const uint8_t> Bytes) {
    TIn In(Bytes);
    TSurface Picture;
    bool Enhanced;
    if (In.Size() >= 4 && In.U32(0) == EMR_HEADER) {
        Enhanced = true;
        In.Expect(In.U32(4) == EmfHeaderSize && In.U32(40) == EmfSignature && In.U32(44) == EmfVersion,
                  "bad header");
        In.Expect(In.U32(48) == In.Size() && In.U32(52) == 3, "bad length");
        size_t At = EmfHeaderSize;
        In.Expect(In.U32(At) == EMR_STRETCHDIBITS, "no picture record");
        uint32_t Size = In.U32(At + 4);
        In.Expect(Size >= EmfStretchSize + DibHeaderSize && Size <= In.Size() - At, "bad picture record");
        int W = In.I32(At + 40), H = In.I32(At + 44);
        In.Expect(In.I32(At + 24) == 0 && In.I32(At + 28) == 0 && In.I32(At + 32) == 0 &&
                      In.I32(At + 36) == 0,
                  "bad picture position");
        In.Expect(In.U32(At + 48) == EmfStretchSize && In.U32(At + 52) == DibHeaderSize &&
                      In.U32(At + 56) == EmfStretchSize + DibHeaderSize &&
                      In.U32(At + 60) == Size - EmfStretchSize - DibHeaderSize && In.U32(At + 64) == 0 &&
                      In.U32(At + 68) == SRCCOPY && In.I32(At + 72) == W && In.I32(At + 76) == H,
                  "bad picture record");
        Picture = PictureOf(In, At + EmfStretchSize, Size - EmfStretchSize, W, H);
        At += Size;
        In.Expect(In.U32(At) == EMR_EOF && In.U32(At + 4) == EmfEofSize && At + EmfEofSize == In.Size(),
                  "bad end");
    } else {
        Enhanced = false;
        size_t At = 0;
        if (In.Size() >= 4 && In.U32(0) == PlaceableKey) {
            uint32_t Sum = 0;
            for (size_t I = 0; I < 10; ++I) Sum ^= In.U16(2 * I);
            In.Expect(Sum == In.U16(20), "bad checksum");
            At = 22;
        }
        In.Expect(In.U16(At) == 1 && In.U16(At + 2) == 9 && In.U16(At + 4) == 0x0300, "bad header");
        In.Expect(size_t(In.U32(At + 6)) * 2 == In.Size() - At, "bad length");
        At += 18;
        In.Expect(In.U32(At) == 5 && In.U16(At + 4) == META_SETWINDOWORG && In.U32(At + 6) == 0,
                  "bad origin");
        At += 10;
        In.Expect(In.U32(At) == 5 && In.U16(At + 4) == META_SETWINDOWEXT, "bad extent");
        int H = In.I16(At + 6), W = In.I16(At + 8);
        At += 10;
        size_t Size = size_t(In.U32(At)) * 2;
        In.Expect(In.U16(At + 4) == META_STRETCHDIB && In.U32(At + 6) == SRCCOPY && In.U16(At + 10) == 0,
                  "no picture record");
        In.Expect(Size >= 28 + DibHeaderSize && Size <= In.Size() - At, "bad picture record");
        const int Expected[8] = {H, W, 0, 0, H, W, 0, 0};
        for (size_t I = 0; I < 8; ++I)
            In.Expect(In.I16(At + 12 + 2 * I) == Expected[I], "bad picture position");
        Picture = PictureOf(In, At + 28, Size - 28, W, H);
        At += Size;
        In.Expect(In.U32(At) == 3 && In.U16(At + 4) == 0 && At + 6 == In.Size(), "bad end");
    }
    FPicture = std::move(Picture);
    FWidth = FPicture.Width();
    FHeight = FPicture.Height();
    FEnhanced = Enhanced;
    FPictureCanvas.reset();
    Changed();
}

void TMetafile::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (auto* M = dynamic_cast<TMetafile*>(Source)) {
        FPicture = M->FPicture;
        FWidth = M->FWidth;
        FHeight = M->FHeight;
        FEnhanced = M->FEnhanced;
        FPictureCanvas.reset();
        Changed();
        return;
    }
    if (!Source) {
        FPicture = TSurface();
        FWidth = FHeight = 0;
        FPictureCanvas.reset();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TMetafile::ReadData(TStream& Stream) {
    uint32_t Count = 0;
    Stream.ReadBuffer(&Count, 4);
    if (Count > Stream.Size() - Stream.Position()) throw EReadError("Metafile data is truncated");
    std::vector<uint8_t> Bytes(Count);
    Stream.ReadBuffer(Bytes.data(), Count);
    try {
        LoadFromBytes(Bytes);
    } catch (const EInvalidGraphic& E) {
        throw EReadError(E.what());
    }
}

void TMetafile::WriteData(TStream& Stream) const {
    TStringStream File;
    SaveToStream(File);
    uint32_t Count = static_cast<uint32_t>(File.DataString().size());
    Stream.WriteBuffer(&Count, 4);
    Stream.WriteString(File.DataString());
}

// ---------------------------------------------------------------------------
// TMetafileCanvas
// ---------------------------------------------------------------------------

TMetafileCanvas::TMetafileCanvas(TMetafile* Metafile, TCanvas*)
    : FMetafile(Metafile),
      FSurface(std::make_unique<TSurface>(std::max(Metafile->Width(), 1), std::max(Metafile->Height(), 1))) {
    SetSurface(FSurface.get());
}

TMetafileCanvas::~TMetafileCanvas() {
    SetSurface(nullptr);
    FMetafile->FPicture = std::move(*FSurface);
    FMetafile->FWidth = FMetafile->FPicture.Width();
    FMetafile->FHeight = FMetafile->FPicture.Height();
    FMetafile->FPictureCanvas.reset();
    FMetafile->Changed();
}
