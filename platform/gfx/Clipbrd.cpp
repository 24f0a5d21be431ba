#include "platform/gfx/Clipbrd.h"

#include <cstring>

#include "platform/gfx/Metafile.h"
#include "platform/rtl/Streams.h"
#include "platform/sys/Clipboard.h"

ZELMOR_IMPLEMENT_CLASS(TClipboard, TPersistent)

namespace {

constexpr uint32_t MappingRecordSize = 16;

// Holds the clipboard open for a scope.
class TOpenClipboard {
public:
    TOpenClipboard() {
        if (!OpenClipboard(0)) throw EClipboardException("No se puede abrir el portapapeles");
    }
    ~TOpenClipboard() { CloseClipboard(); }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
};

void Put(unsigned Format, const std::vector<uint8_t>& Bytes) {
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
    if (!Mem) throw EOutOfMemory("No hay memoria para el portapapeles");
    if (!Bytes.empty()) std::memcpy(GlobalLock(Mem), Bytes.data(), Bytes.size());
    GlobalUnlock(Mem);
    if (!SetClipboardData(Format, Mem)) {
        GlobalFree(Mem);
        throw EClipboardException("No se pueden poner los datos en el portapapeles");
    }
}

bool Get(unsigned Format, std::vector<uint8_t>& Bytes) {
    HGLOBAL Mem = GetClipboardData(Format);
    if (!Mem) return false;
    const auto* P = static_cast<const uint8_t*>(GlobalLock(Mem));
    Bytes.assign(P, P + GlobalSize(Mem));
    GlobalUnlock(Mem);
    return true;
}

std::vector<uint8_t> BitmapFile(const TBitmap& Bitmap) {
    TStringStream S;
    Bitmap.SaveToStream(S);
    return std::vector<uint8_t>(S.DataString().begin(), S.DataString().end());
}

std::vector<uint8_t> MappedClassic(const TMetafile& Metafile) {
    std::vector<uint8_t> Bytes(MappingRecordSize);
    auto Put32 = [&](size_t At, int32_t V) {
        for (int I = 0; I < 4; ++I) Bytes[At + size_t(I)] = uint8_t(uint32_t(V) >> (8 * I));
    };
    Put32(0, MM_ANISOTROPIC);
    Put32(4, MulDiv(Metafile.Width(), 2540, ScreenPixelsPerInch));
    Put32(8, MulDiv(Metafile.Height(), 2540, ScreenPixelsPerInch));
    Put32(12, 0);
    std::vector<uint8_t> Classic = Metafile.ClassicBytes();
    Bytes.insert(Bytes.end(), Classic.begin(), Classic.end());
    return Bytes;
}

}  // namespace

TClipboard* Clipboard() {
    static TClipboard Instance;
    return &Instance;
}

void TClipboard::Clear() {
    TOpenClipboard Open;
    EmptyClipboard();
}

bool TClipboard::HasFormat(unsigned Format) const { return IsClipboardFormatAvailable(Format); }

AnsiString TClipboard::AsText() const { return ClipboardGetText(); }

void TClipboard::SetAsText(const AnsiString& Value) {
    if (!ClipboardSetText(Value)) throw EClipboardException("No se puede poner el texto en el portapapeles");
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* Picture = dynamic_cast<TPicture*>(Source)) {
        if (Picture->Graphic()) Assign(Picture->Graphic());
        return;
    }
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Source)) {
        TOpenClipboard Open;
        EmptyClipboard();
        Put(CF_BITMAP, BitmapFile(*Bitmap));
        return;
    }
    if (auto* Metafile = dynamic_cast<TMetafile*>(Source)) {
        TOpenClipboard Open;
        EmptyClipboard();
        Put(CF_ENHMETAFILE, Metafile->EnhancedBytes());
        Put(CF_METAFILEPICT, MappedClassic(*Metafile));
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    std::vector<uint8_t> Bytes;
    auto* Picture = dynamic_cast<TPicture*>(Dest);
    if (dynamic_cast<TBitmap*>(Dest) || (Picture && HasFormat(CF_BITMAP))) {
        {
            TOpenClipboard Open;
            if (!Get(CF_BITMAP, Bytes))
                throw EClipboardException("El portapapeles no contiene ninguna imagen");
        }
        TStringStream S(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
        if (Picture) Picture->LoadFromStream(S);
        else static_cast<TBitmap*>(Dest)->LoadFromStream(S);
        return;
    }
    if (dynamic_cast<TMetafile*>(Dest) || Picture) {
        bool Mapped = false;
        {
            TOpenClipboard Open;
            if (!Get(CF_ENHMETAFILE, Bytes)) {
                if (!Get(CF_METAFILEPICT, Bytes) || Bytes.size() < MappingRecordSize)
                    throw EClipboardException("El portapapeles no contiene ninguna imagen");
                Mapped = true;
            }
        }
        TMetafile Metafile;
        Metafile.LoadFromBytes(std::span<const uint8_t>(Bytes).subspan(Mapped ? MappingRecordSize : 0));
        if (Picture) Picture->SetGraphic(&Metafile);
        else static_cast<TMetafile*>(Dest)->Assign(&Metafile);
        return;
    }
    TPersistent::AssignTo(Dest);
}
